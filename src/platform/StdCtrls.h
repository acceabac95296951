// Static text, push button, check box, single-line edit and memo: the
// standard window classes.
#pragma once

#include "platform/Controls.h"

class TLabel : public TControl {
public:
    bool AutoSize = true;
    TControl* FocusControl = nullptr;  // Alt + accelerator focuses it
    bool SetCaption(const std::string& text) override;
    bool SetLink(TControl* other) override;
    HBRUSH CtlColor(HDC dc) override;
    // The caption's one-line extent plus four border widths and heights.
    void AdjustBounds();

protected:
    TWindowParams Params(const TControlDef& def) const override;
    void Loaded(const TControlDef& def, const TCreateContext& ctx) override;
};

class TButton : public TControl {
public:
    TNotifyEvent OnClick;
    bool SetEvent(TNotifyEvent handler) override;
    bool TabStop() const override { return true; }
    void Command(WORD code) override;
    void Click();
    // Shows or drops the thick frame of the button that Enter clicks.
    void SetDefaultLook(bool on);

protected:
    TWindowParams Params(const TControlDef& def) const override;
    void Loaded(const TControlDef& def, const TCreateContext& ctx) override;
};

class TCheckBox : public TControl {
public:
    TNotifyEvent OnClick;
    bool Checked() const;
    void SetChecked(bool checked);
    bool SetEvent(TNotifyEvent handler) override;
    bool TabStop() const override { return true; }
    void Command(WORD code) override;
    HBRUSH CtlColor(HDC dc) override;

protected:
    TWindowParams Params(const TControlDef& def) const override;
    void Loaded(const TControlDef& def, const TCreateContext& ctx) override;
};

class TEdit : public TControl {
public:
    bool AutoSize = true;
    bool TabStop() const override { return true; }
    // Line height of the font plus 8 border heights.
    void AdjustHeight();

protected:
    TWindowParams Params(const TControlDef& def) const override;
    void Loaded(const TControlDef& def, const TCreateContext& ctx) override;
};

class TMemo : public TControl {
public:
    bool TabStop() const override { return true; }
    HBRUSH CtlColor(HDC dc) override;
    // Lines as shown, a last empty line not counted: 0 for an empty memo.
    int LineCount() const;
    // The file's text up to its first zero byte, every line break shown as
    // one. A file that cannot be opened raises EAbort.
    void LoadFromFile(const std::wstring& path);

protected:
    TWindowParams Params(const TControlDef& def) const override;
};

// CR LF, CR and LF each become CR LF; the text ends at its first zero byte.
std::string AdjustLineBreaks(const std::string& text);
