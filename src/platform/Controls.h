// The control layer on raw Win32. A control holds its window and the few
// properties the wizard uses; it is made from one row of a layout table by
// the class registered under its class name. The form owns every control;
// a container only lists its children, in creation order.
#pragma once

#include "platform/Handles.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// 0x00BBGGRR, or clSystemColor | a COLOR_* index.
using TColor = uint32_t;
constexpr TColor clSystemColor = 0x80000000u;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
COLORREF ColorToRGB(TColor color);

enum TBevelCut : uint8_t { bvNone, bvLowered, bvRaised };
enum TBevelShape : uint8_t { bsBox, bsLeftLine };

// A font of a control's own; Height as in LOGFONT (negative: character height).
struct TFontDef {
    const char* Name;
    int Height;
    bool Bold;
    TColor Color;
};

// The settings of one layout row; each class reads the ones it knows.
struct TControlSettings {
    int Id = 0;
    const char* Caption = "";
    TColor Color = clBtnFace;
    const TFontDef* Font = nullptr;
    TBevelCut BevelInner = bvNone;
    TBevelCut BevelOuter = bvNone;
    TBevelShape Shape = bsBox;
    bool AutoSize = false;
    bool Default = false;  // button clicked by Enter
    bool Cancel = false;   // button clicked by Esc
    bool Checked = false;
    bool ReadOnly = false;
    bool WordWrap = false;
    bool VertScrollBar = false;
    int ItemHeight = 0;
    const char* Link = "";     // a label's associated control, a drive picker's folder list
    const char* OnEvent = "";  // click of a button, change of a folder list
};

struct TControlDef {
    const char* ClassName;
    const char* Name;
    const char* ParentName;  // "" for the form itself
    int Left, Top, Width, Height;
    TControlSettings Settings;
};

class TControl;
class TWinControl;
class TForm;
using TNotifyEvent = std::function<void(TControl* Sender)>;

// Design pixels to screen pixels: the layout is drawn for a form font whose
// "0" is designTextHeight high; multiply by textHeight / designTextHeight,
// rounding to the nearest integer (halves away from zero).
int ScaleByTextHeight(int value, int textHeight, int designTextHeight);

// What a layout row is created with, after scaling.
struct TCreateContext {
    TForm* Form;
    TWinControl* Parent;
    int TextHeight;
    int DesignTextHeight;
    int Scale(int value) const { return ScaleByTextHeight(value, TextHeight, DesignTextHeight); }
};

class TControl {
public:
    TControl() = default;
    virtual ~TControl() = default;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    HWND Handle = nullptr;
    std::string Name;
    TWinControl* Parent = nullptr;

    // Makes the window for a row; throws ESetupError when it cannot.
    void Create(const TControlDef& def, const TCreateContext& ctx);
    // Resolves the row's Link once every control exists; false when the class has none.
    virtual bool SetLink(TControl* /*other*/) { return false; }
    // Binds the row's event handler; false when the class raises no event.
    virtual bool SetEvent(TNotifyEvent /*handler*/) { return false; }

    std::string Caption() const;
    virtual bool SetCaption(const std::string& text);
    bool Visible() const;  // the control's own flag, whatever its parents show
    void SetVisible(bool visible);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    // Visible and enabled up to the form, and a control that takes the focus.
    bool CanFocus() const;
    bool Focused() const;
    // Focuses now, or when the form is next shown.
    void SetFocus();
    virtual bool TabStop() const { return false; }
    // Rectangle in the parent's client coordinates.
    RECT BoundsRect() const;
    bool SetBounds(int left, int top, int width, int height);
    HFONT Font() const;
    TForm* Form() const;
    // The letter after a single "&" of the caption, upper-cased; 0 when none.
    char Accelerator() const;

    // Messages that the parent reflects to the control.
    virtual void Command(WORD /*code*/) {}
    virtual HBRUSH CtlColor(HDC /*dc*/) { return nullptr; }
    virtual void DrawItem(const DRAWITEMSTRUCT& /*item*/) {}

    // The window procedure of the setup's own window classes.
    virtual bool WndProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    static LRESULT CALLBACK ClassWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static bool RegisterWindowClass(const char* className, HBRUSH background);

protected:
    struct TWindowParams {
        const char* ClassName;
        DWORD Style;
        DWORD ExStyle;
    };
    virtual TWindowParams Params(const TControlDef& def) const = 0;
    virtual RECT InitialBounds(const TControlDef& def, const TCreateContext& ctx) const;
    // Class settings once the window exists.
    virtual void Loaded(const TControlDef& /*def*/, const TCreateContext& /*ctx*/) {}
    virtual void Paint(HDC /*dc*/) {}
    // Colours a standard control like its parent, with its own text colour.
    HBRUSH ParentColors(HDC dc) const;
    // Extent of text drawn as one line in the control's font, "&" as accelerator.
    SIZE TextExtent(const std::string& text) const;
    int FontLineHeight() const;

    TColor FontColor = clWindowText;
    TGdiObject OwnFont;  // none: the parent's font
};

// A control that holds others. Standard controls tell their parent what
// happened; the container passes it on to the child.
class TWinControl : public TControl {
public:
    std::vector<TControl*> Controls;  // children in creation order, not owned
    TColor Color = clBtnFace;
    void SetColor(TColor color);
    HBRUSH Brush();
    TControl* FindChild(HWND child) const;
    bool WndProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

protected:
    void FillBackground(HDC dc);

private:
    TGdiObject BrushHandle;
};

// Draws a 3-D frame of 1 pixel: top and left in topColor, bottom and right in
// bottomColor, then shrinks rect by 1 on every side.
void Frame3D(HDC dc, RECT& rect, COLORREF topColor, COLORREF bottomColor);
