#include "platform/Controls.h"

#include "platform/DeviceContext.h"
#include "platform/ErrorBox.h"
#include "platform/Forms.h"

COLORREF ColorToRGB(TColor color)
{
    return (color & clSystemColor) ? GetSysColor(static_cast<int>(color & 0xFF)) : color;
}

int ScaleByTextHeight(int value, int textHeight, int designTextHeight)
{
    if (textHeight == designTextHeight || designTextHeight <= 0)
        return value;
    long long num = static_cast<long long>(value) * textHeight;
    long long half = designTextHeight / 2;
    return static_cast<int>(num >= 0 ? (num + half) / designTextHeight : -((-num + half) / designTextHeight));
}

void Frame3D(HDC dc, RECT& rect, COLORREF topColor, COLORREF bottomColor)
{
    const LONG l = rect.left, t = rect.top, r = rect.right - 1, b = rect.bottom - 1;
    TGdiObject topPen(CreatePen(PS_SOLID, 1, topColor));
    TGdiObject bottomPen(CreatePen(PS_SOLID, 1, bottomColor));
    HGDIOBJ old = SelectObject(dc, topPen.Get());
    const POINT topLeft[] = {{l, b}, {l, t}, {r, t}};
    Polyline(dc, topLeft, 3);
    SelectObject(dc, bottomPen.Get());
    const POINT bottomRight[] = {{r, t}, {r, b}, {l - 1, b}};
    Polyline(dc, bottomRight, 3);
    SelectObject(dc, old);
    InflateRect(&rect, -1, -1);
}

// --- TControl ----------------------------------------------------------------

RECT TControl::InitialBounds(const TControlDef& def, const TCreateContext& ctx) const
{
    const int l = ctx.Scale(def.Left), t = ctx.Scale(def.Top);
    return RECT{l, t, l + ctx.Scale(def.Width), t + ctx.Scale(def.Height)};
}

void TControl::Create(const TControlDef& def, const TCreateContext& ctx)
{
    Parent = ctx.Parent;
    Name = def.Name;
    const TControlSettings& s = def.Settings;
    if (s.Font) {
        LOGFONTA lf{};
        lf.lfHeight = ctx.Scale(s.Font->Height);
        lf.lfWeight = s.Font->Bold ? FW_BOLD : FW_NORMAL;
        lf.lfCharSet = DEFAULT_CHARSET;
        lstrcpynA(lf.lfFaceName, s.Font->Name, LF_FACESIZE);
        OwnFont = TGdiObject(CreateFontIndirectA(&lf));
        FontColor = s.Font->Color;
    }
    const TWindowParams p = Params(def);
    const RECT r = InitialBounds(def, ctx);
    HWND hwnd = CreateWindowExA(p.ExStyle, p.ClassName, s.Caption, p.Style | WS_CHILD | WS_CLIPSIBLINGS, r.left, r.top,
                                r.right - r.left, r.bottom - r.top, Parent->Handle,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(s.Id)), GetModuleHandleA(nullptr), this);
    if (!hwnd)
        throw ESetupError("cannot create the control " + Name);
    Handle = hwnd;
    Parent->Controls.push_back(this);
    // New child windows go below their siblings; a later control must lie above.
    SetWindowPos(Handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageA(Handle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
    Loaded(def, ctx);
}

std::string TControl::Caption() const
{
    std::string text(static_cast<size_t>(GetWindowTextLengthA(Handle)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(Handle, &text[0], static_cast<int>(text.size()))));
    return text;
}

bool TControl::SetCaption(const std::string& text)
{
    return SetWindowTextA(Handle, text.c_str()) != FALSE;
}

bool TControl::Visible() const
{
    return (GetWindowLongPtrA(Handle, GWL_STYLE) & WS_VISIBLE) != 0;
}

void TControl::SetVisible(bool visible)
{
    ShowWindow(Handle, visible ? SW_SHOWNA : SW_HIDE);
}

bool TControl::Enabled() const
{
    return IsWindowEnabled(Handle) != FALSE;
}

void TControl::SetEnabled(bool enabled)
{
    EnableWindow(Handle, enabled);
}

bool TControl::CanFocus() const
{
    const TForm* form = Form();
    if (!form || !TabStop())
        return false;
    for (const TControl* c = this; c != form; c = c->Parent)
        if (!c->Visible() || !c->Enabled())
            return false;
    return true;
}

bool TControl::Focused() const
{
    return Handle && GetFocus() == Handle;
}

void TControl::SetFocus()
{
    if (TForm* form = Form())
        form->FocusControl(this);
}

RECT TControl::BoundsRect() const
{
    RECT r{};
    GetWindowRect(Handle, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(Handle), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool TControl::SetBounds(int left, int top, int width, int height)
{
    return SetWindowPos(Handle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

HFONT TControl::Font() const
{
    if (OwnFont)
        return static_cast<HFONT>(OwnFont.Get());
    return Parent ? Parent->Font() : nullptr;
}

TForm* TControl::Form() const
{
    const TControl* c = this;
    while (c->Parent)
        c = c->Parent;
    return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

char TControl::Accelerator() const
{
    const std::string text = Caption();
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            return UpperChar(text[i + 1]);
        ++i;
    }
    return 0;
}

HBRUSH TControl::ParentColors(HDC dc) const
{
    SetTextColor(dc, ColorToRGB(FontColor));
    SetBkColor(dc, ColorToRGB(Parent->Color));
    return Parent->Brush();
}

SIZE TControl::TextExtent(const std::string& text) const
{
    TWindowDC dc(Handle, Font());
    if (text.empty())
        return SIZE{0, FontLineHeight()};
    RECT r{};
    DrawTextA(dc.Get(), text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_LEFT);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

int TControl::FontLineHeight() const
{
    TWindowDC dc(Handle, Font());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc.Get(), &tm);
    return tm.tmHeight;
}

bool TControl::WndProc(UINT msg, WPARAM, LPARAM, LRESULT& result)
{
    switch (msg) {
    case WM_ERASEBKGND:
        result = 1;  // Paint covers the whole client area
        return true;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle, &ps);
        Paint(dc);
        EndPaint(Handle, &ps);
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

LRESULT CALLBACK TControl::ClassWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    TControl* self;
    if (msg == WM_NCCREATE) {
        self = static_cast<TControl*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        self->Handle = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<TControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    }
    if (!self)
        return DefWindowProcA(hwnd, msg, wp, lp);
    LRESULT result = 0;
    bool handled = false;
    GuardedCall([&] { handled = self->WndProc(msg, wp, lp, result); });
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->Handle = nullptr;
    }
    return handled ? result : DefWindowProcA(hwnd, msg, wp, lp);
}

bool TControl::RegisterWindowClass(const char* className, HBRUSH background)
{
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ClassWndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// --- TWinControl -------------------------------------------------------------

void TWinControl::SetColor(TColor color)
{
    Color = color;
    BrushHandle.Close();
    if (Handle)
        InvalidateRect(Handle, nullptr, TRUE);
}

HBRUSH TWinControl::Brush()
{
    if (!BrushHandle)
        BrushHandle = TGdiObject(CreateSolidBrush(ColorToRGB(Color)));
    return static_cast<HBRUSH>(BrushHandle.Get());
}

TControl* TWinControl::FindChild(HWND child) const
{
    for (TControl* c : Controls)
        if (c->Handle == child)
            return c;
    return nullptr;
}

void TWinControl::FillBackground(HDC dc)
{
    RECT r;
    GetClientRect(Handle, &r);
    FillRect(dc, &r, Brush());
}

bool TWinControl::WndProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    switch (msg) {
    case WM_COMMAND:
        if (TControl* c = lp ? FindChild(reinterpret_cast<HWND>(lp)) : nullptr) {
            c->Command(HIWORD(wp));
            result = 0;
            return true;
        }
        return false;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        if (TControl* c = FindChild(reinterpret_cast<HWND>(lp)))
            if (HBRUSH brush = c->CtlColor(reinterpret_cast<HDC>(wp))) {
                result = reinterpret_cast<LRESULT>(brush);
                return true;
            }
        return false;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        if (TControl* c = FindChild(item->hwndItem)) {
            c->DrawItem(*item);
            result = TRUE;
            return true;
        }
        return false;
    }
    case WM_ERASEBKGND:
        FillBackground(reinterpret_cast<HDC>(wp));
        result = 1;
        return true;
    default:
        return TControl::WndProc(msg, wp, lp, result);
    }
}
