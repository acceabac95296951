#include "platform/StdCtrls.h"

#include "platform/FileStream.h"
#include "platform/Forms.h"

// --- TLabel -----------------------------------------------------------------

TControl::TWindowParams TLabel::Params(const TControlDef&) const
{
    // SS_LEFT wraps long lines at word boundaries and underlines the accelerator.
    return {"STATIC", WS_VISIBLE | SS_LEFT, 0};
}

void TLabel::Loaded(const TControlDef& def, const TCreateContext&)
{
    AutoSize = def.Settings.AutoSize;
    AdjustBounds();
}

bool TLabel::SetCaption(const std::string& text)
{
    bool ok = TControl::SetCaption(text);
    AdjustBounds();
    return ok;
}

void TLabel::AdjustBounds()
{
    if (!AutoSize)
        return;
    const SIZE extent = TextExtent(Caption());
    // The control already drew the new caption at its old size (wrapped when it
    // was too narrow): nothing of that drawing may survive the resize.
    SetWindowPos(Handle, nullptr, 0, 0, extent.cx + 4 * GetSystemMetrics(SM_CXBORDER),
                 extent.cy + 4 * GetSystemMetrics(SM_CYBORDER),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    InvalidateRect(Handle, nullptr, TRUE);
}

bool TLabel::SetLink(TControl* other)
{
    FocusControl = other;
    return true;
}

HBRUSH TLabel::CtlColor(HDC dc)
{
    return ParentColors(dc);
}

// --- TButton ----------------------------------------------------------------

TControl::TWindowParams TButton::Params(const TControlDef& def) const
{
    const DWORD kind = def.Settings.Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    return {"BUTTON", WS_VISIBLE | WS_TABSTOP | kind, 0};
}

void TButton::Loaded(const TControlDef& def, const TCreateContext& ctx)
{
    if (def.Settings.Default)
        ctx.Form->DefaultButton = this;
    if (def.Settings.Cancel)
        ctx.Form->CancelButton = this;
}

bool TButton::SetEvent(TNotifyEvent handler)
{
    OnClick = std::move(handler);
    return true;
}

void TButton::Command(WORD code)
{
    if (code == BN_CLICKED)
        Click();
}

void TButton::Click()
{
    if (OnClick)
        OnClick(this);
}

void TButton::SetDefaultLook(bool on)
{
    const LONG_PTR style = GetWindowLongPtrA(Handle, GWL_STYLE);
    const bool isOn = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    if (isOn != on)
        SendMessageA(Handle, BM_SETSTYLE, on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

// --- TCheckBox --------------------------------------------------------------

TControl::TWindowParams TCheckBox::Params(const TControlDef&) const
{
    return {"BUTTON", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0};
}

void TCheckBox::Loaded(const TControlDef& def, const TCreateContext&)
{
    SetChecked(def.Settings.Checked);
}

bool TCheckBox::Checked() const
{
    return SendMessageA(Handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool checked)
{
    SendMessageA(Handle, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TCheckBox::SetEvent(TNotifyEvent handler)
{
    OnClick = std::move(handler);
    return true;
}

void TCheckBox::Command(WORD code)
{
    if (code == BN_CLICKED && OnClick)
        OnClick(this);
}

HBRUSH TCheckBox::CtlColor(HDC dc)
{
    return ParentColors(dc);
}

// --- TEdit ------------------------------------------------------------------

TControl::TWindowParams TEdit::Params(const TControlDef&) const
{
    return {"EDIT", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
}

void TEdit::Loaded(const TControlDef& def, const TCreateContext&)
{
    AutoSize = def.Settings.AutoSize;
    AdjustHeight();
}

void TEdit::AdjustHeight()
{
    if (!AutoSize)
        return;
    const RECT r = BoundsRect();
    SetWindowPos(Handle, nullptr, 0, 0, r.right - r.left, FontLineHeight() + 8 * GetSystemMetrics(SM_CYBORDER),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- TMemo ------------------------------------------------------------------

TControl::TWindowParams TMemo::Params(const TControlDef& def) const
{
    const TControlSettings& s = def.Settings;
    DWORD style = WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_LEFT | ES_AUTOVSCROLL;
    if (s.ReadOnly)
        style |= ES_READONLY;
    if (s.VertScrollBar)
        style |= WS_VSCROLL;
    if (!s.WordWrap)
        style |= ES_AUTOHSCROLL;
    return {"EDIT", style, WS_EX_CLIENTEDGE};
}

HBRUSH TMemo::CtlColor(HDC dc)
{
    // A read-only edit asks with WM_CTLCOLORSTATIC; it stays on the window colour.
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return GetSysColorBrush(COLOR_WINDOW);
}

int TMemo::LineCount() const
{
    int count = static_cast<int>(SendMessageA(Handle, EM_GETLINECOUNT, 0, 0));
    const LRESULT lastStart = SendMessageA(Handle, EM_LINEINDEX, static_cast<WPARAM>(count - 1), 0);
    if (count > 0 && SendMessageA(Handle, EM_LINELENGTH, static_cast<WPARAM>(lastStart), 0) == 0)
        --count;
    return count;
}

void TMemo::LoadFromFile(const std::wstring& path)
{
    SetCaption(AdjustLineBreaks(ReadFileStream(path)));
}

std::string AdjustLineBreaks(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}
