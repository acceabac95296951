// The form: a top-level window built from a layout table, with a modal run,
// a close query, default and cancel buttons and keyboard navigation.
#pragma once

#include "platform/Controls.h"
#include "platform/Errors.h"

#include <memory>

class TButton;

struct TFormDef {
    int ClientWidth, ClientHeight;
    int DesignTextHeight;      // height of "0" in the font the layout was drawn with
    const char* OnCloseQuery;  // handler name, "" for none
    const TControlDef* Rows;   // parents before their children
    size_t RowCount;
};

using TCloseQueryEvent = std::function<void(TControl* Sender, bool& CanClose)>;

// The face of the default form font: "MS Shell Dlg 2" on NT from version 5 on.
const char* DefaultFontFace(DWORD platformId, DWORD majorVersion);

class TForm : public TWinControl {
public:
    // 0 while the modal run goes on; 2 after a close request.
    int ModalResult = 0;
    TButton* DefaultButton = nullptr;  // Enter, while the focus is not on a button
    TButton* CancelButton = nullptr;   // Esc

    explicit TForm(const char* className);
    ~TForm() override;

    // Shows the form centred on the screen and runs its messages until
    // ModalResult is non-zero and the close query allows the close.
    int ShowModal();
    // A close request: the modal run asks the close query next.
    void Close();

    TControl* FindControl(const std::string& name) const;
    template <typename T>
    T* Control(const std::string& name) const
    {
        T* c = dynamic_cast<T*>(FindControl(name));
        if (!c)
            throw ESetupError("the layout has no control " + name + " of the expected class");
        return c;
    }
    TControl* ControlFromHandle(HWND hwnd) const;
    // The control after (or before) current in tab order that can take the
    // focus, wrapping around; the first (last) one for a current of none.
    TControl* FindNextControl(const TControl* current, bool forward) const;
    // Focuses the control now when the form is active, else on its activation.
    void FocusControl(TControl* control);
    // Tab, Enter, Esc and Alt with an accelerator; true when it handled msg.
    bool PreTranslateMessage(const MSG& msg);
    // Height of "0" in the form font.
    int TextHeight() const;

protected:
    // Creates the window and every control of the layout, binds the handlers.
    void CreateFromLayout(const TFormDef& def);
    // The handler of a layout row by name; throws for an unknown name.
    virtual TNotifyEvent NotifyHandler(const std::string& name);
    virtual TCloseQueryEvent CloseQueryHandler(const std::string& name);
    virtual bool CloseQuery();
    TWindowParams Params(const TControlDef& def) const override;
    bool WndProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    std::string ClassName;
    std::vector<std::unique_ptr<TControl>> Components;  // every control, in layout order
    TCloseQueryEvent OnCloseQuery;
    HWND SavedFocus = nullptr;  // the focus while the form is inactive
    HWND LastFocus = nullptr;

    void CloseModal();
    bool DialogKey(WPARAM key);
    bool DialogChar(char key);
    void UpdateDefaultLook();
    bool Showing(const TControl* control) const;
    void CollectControls(const TWinControl* container, std::vector<TControl*>& out) const;
};
