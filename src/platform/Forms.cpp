#include "platform/Forms.h"

#include "platform/Application.h"
#include "platform/ControlRegistry.h"
#include "platform/DeviceContext.h"
#include "platform/ErrorBox.h"
#include "platform/StdCtrls.h"

namespace {
constexpr DWORD FormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD FormExStyle = WS_EX_CONTROLPARENT;
constexpr int mrCancel = 2;

bool KeyDown(int key)
{
    return GetKeyState(key) < 0;
}

bool IsComboBox(HWND hwnd)
{
    char name[16];
    return GetClassNameA(hwnd, name, sizeof name) > 0 && lstrcmpiA(name, "ComboBox") == 0;
}
}  // namespace

const char* DefaultFontFace(DWORD platformId, DWORD majorVersion)
{
    return platformId == VER_PLATFORM_WIN32_NT && majorVersion > 4 ? "MS Shell Dlg 2" : "MS Sans Serif";
}

TForm::TForm(const char* className) : ClassName(className) {}

TForm::~TForm()
{
    if (Handle)
        DestroyWindow(Handle);
}

TControl::TWindowParams TForm::Params(const TControlDef&) const
{
    return {ClassName.c_str(), FormStyle, FormExStyle};
}

void TForm::CreateFromLayout(const TFormDef& def)
{
    if (!RegisterWindowClass(ClassName.c_str(), nullptr))
        throw ESetupError("cannot register the window class " + ClassName);
    Name = ClassName;
    CreateWindowExA(FormExStyle, ClassName.c_str(), "", FormStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr,
                    nullptr, GetModuleHandleA(nullptr), static_cast<TControl*>(this));
    if (!Handle)
        throw ESetupError("cannot create the window " + ClassName);

    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    int pixelsPerInch;
    {
        TWindowDC screen(nullptr, nullptr);
        pixelsPerInch = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    }
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(8, pixelsPerInch, 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, DefaultFontFace(version.dwPlatformId, version.dwMajorVersion), LF_FACESIZE);
    OwnFont = TGdiObject(CreateFontIndirectA(&lf));
    SendMessageA(Handle, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);

    TCreateContext ctx{this, this, TextHeight(), def.DesignTextHeight};
    RECT frame{0, 0, ctx.Scale(def.ClientWidth), ctx.Scale(def.ClientHeight)};
    AdjustWindowRectEx(&frame, FormStyle, FALSE, FormExStyle);
    SetWindowPos(Handle, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    for (size_t i = 0; i < def.RowCount; ++i) {
        const TControlDef& row = def.Rows[i];
        ctx.Parent = this;
        if (*row.ParentName) {
            ctx.Parent = dynamic_cast<TWinControl*>(FindControl(row.ParentName));
            if (!ctx.Parent)
                throw ESetupError(std::string("no container ") + row.ParentName + " for " + row.Name);
        }
        Components.push_back(CreateControl(row.ClassName));
        Components.back()->Create(row, ctx);
    }
    for (size_t i = 0; i < def.RowCount; ++i) {
        const TControlSettings& s = def.Rows[i].Settings;
        TControl* c = Components[i].get();
        if (*s.Link && !c->SetLink(FindControl(s.Link)))
            throw ESetupError(c->Name + " cannot be linked to " + s.Link);
        if (*s.OnEvent && !c->SetEvent(NotifyHandler(s.OnEvent)))
            throw ESetupError(c->Name + " raises no event for " + s.OnEvent);
    }
    if (*def.OnCloseQuery)
        OnCloseQuery = CloseQueryHandler(def.OnCloseQuery);
}

TNotifyEvent TForm::NotifyHandler(const std::string& name)
{
    throw ESetupError("no handler " + name);
}

TCloseQueryEvent TForm::CloseQueryHandler(const std::string& name)
{
    throw ESetupError("no close query handler " + name);
}

int TForm::TextHeight() const
{
    TWindowDC dc(Handle, Font());
    SIZE size{};
    GetTextExtentPoint32A(dc.Get(), "0", 1, &size);
    return size.cy;
}

TControl* TForm::FindControl(const std::string& name) const
{
    for (const auto& c : Components)
        if (c->Name == name)
            return c.get();
    return nullptr;
}

TControl* TForm::ControlFromHandle(HWND hwnd) const
{
    if (!hwnd)
        return nullptr;
    for (const auto& c : Components)
        if (c->Handle == hwnd)
            return c.get();
    return nullptr;
}

void TForm::CollectControls(const TWinControl* container, std::vector<TControl*>& out) const
{
    for (TControl* c : container->Controls) {
        out.push_back(c);
        if (const auto* inner = dynamic_cast<const TWinControl*>(c))
            CollectControls(inner, out);
    }
}

TControl* TForm::FindNextControl(const TControl* current, bool forward) const
{
    std::vector<TControl*> all;
    CollectControls(this, all);
    const size_t n = all.size();
    size_t pos = n;  // none: the scan starts at either end
    for (size_t i = 0; i < n; ++i)
        if (all[i] == current)
            pos = i;
    for (size_t step = 1; step <= n; ++step) {
        size_t i;
        if (pos == n)
            i = forward ? step - 1 : n - step;
        else
            i = forward ? (pos + step) % n : (pos + n - step % n) % n;
        if (all[i]->CanFocus())
            return all[i];
    }
    return nullptr;
}

bool TForm::Showing(const TControl* control) const
{
    for (const TControl* c = control; c && c != this; c = c->Parent)
        if (!c->Visible())
            return false;
    return true;
}

void TForm::FocusControl(TControl* control)
{
    if (GetActiveWindow() == Handle && IsWindowVisible(Handle))
        ::SetFocus(control->Handle);
    else
        SavedFocus = control->Handle;
}

int TForm::ShowModal()
{
    RECT r;
    GetWindowRect(Handle, &r);
    SetWindowPos(Handle, nullptr, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!SavedFocus)
        if (TControl* first = FindNextControl(nullptr, true))
            SavedFocus = first->Handle;
    ModalResult = 0;
    ShowWindow(Handle, SW_SHOWNORMAL);
    UpdateWindow(Handle);
    while (ModalResult == 0) {
        MSG msg;
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));
            ModalResult = mrCancel;
            break;
        }
        if (!PreTranslateMessage(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        UpdateDefaultLook();
        if (ModalResult != 0)
            CloseModal();
    }
    ShowWindow(Handle, SW_HIDE);
    return ModalResult;
}

void TForm::Close()
{
    ModalResult = mrCancel;
}

bool TForm::CloseQuery()
{
    bool canClose = true;
    if (OnCloseQuery)
        OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::CloseModal()
{
    bool canClose = false;
    if (!GuardedCall([&] { canClose = CloseQuery(); }) || !canClose)
        ModalResult = 0;
}

bool TForm::PreTranslateMessage(const MSG& msg)
{
    if (msg.hwnd != Handle && !IsChild(Handle, msg.hwnd))
        return false;
    if (msg.message == WM_KEYDOWN)
        return DialogKey(msg.wParam);
    if (msg.message == WM_SYSCHAR)
        return DialogChar(static_cast<char>(msg.wParam));
    return false;
}

bool TForm::DialogKey(WPARAM key)
{
    const bool shift = KeyDown(VK_SHIFT), ctrl = KeyDown(VK_CONTROL), alt = KeyDown(VK_MENU);
    const HWND focus = GetFocus();
    if (key == VK_TAB && !ctrl && !alt) {
        if (TControl* next = FindNextControl(ControlFromHandle(focus), !shift))
            FocusControl(next);
        return true;
    }
    if ((key != VK_RETURN && key != VK_ESCAPE) || shift || ctrl || alt)
        return false;
    // An open drop-down list takes Enter and Esc itself.
    if (focus && IsComboBox(focus) && SendMessageA(focus, CB_GETDROPPEDSTATE, 0, 0))
        return false;
    TButton* target = CancelButton;
    if (key == VK_RETURN) {
        target = dynamic_cast<TButton*>(ControlFromHandle(focus));
        if (!target)
            target = DefaultButton;
    }
    if (!target || !target->CanFocus())
        return false;
    GuardedCall([&] { target->Click(); });
    return true;
}

bool TForm::DialogChar(char key)
{
    const char upper = UpperChar(key);
    std::vector<TControl*> all;
    CollectControls(this, all);
    for (TControl* c : all) {
        if (c->Accelerator() != upper || !Showing(c))
            continue;
        if (auto* label = dynamic_cast<TLabel*>(c)) {
            if (label->FocusControl && label->FocusControl->CanFocus()) {
                FocusControl(label->FocusControl);
                return true;
            }
        } else if (auto* button = dynamic_cast<TButton*>(c)) {
            if (button->CanFocus()) {
                GuardedCall([&] { button->Click(); });
                return true;
            }
        } else if (auto* check = dynamic_cast<TCheckBox*>(c)) {
            if (check->CanFocus()) {
                FocusControl(check);
                SendMessageA(check->Handle, BM_CLICK, 0, 0);
                return true;
            }
        }
    }
    return false;
}

void TForm::UpdateDefaultLook()
{
    const HWND focus = GetFocus();
    if (focus == LastFocus)
        return;
    LastFocus = focus;
    auto* focused = dynamic_cast<TButton*>(ControlFromHandle(focus));
    for (const auto& c : Components)
        if (auto* button = dynamic_cast<TButton*>(c.get()))
            button->SetDefaultLook(focused ? button == focused : button == DefaultButton);
}

bool TForm::WndProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    switch (msg) {
    case WM_CLOSE:
        Close();
        result = 0;
        return true;
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(Handle, focus))
                SavedFocus = focus;
            return false;
        }
        if (SavedFocus && IsWindow(SavedFocus) && IsWindowVisible(SavedFocus) && IsWindowEnabled(SavedFocus)) {
            ::SetFocus(SavedFocus);
            result = 0;
            return true;
        }
        return false;
    case WM_ENDSESSION:
        // Windows ends: the process goes at once, nothing more is saved or freed.
        if (wp && Handle == ApplicationWindow())
            ApplicationExit(0);
        result = 0;
        return true;
    default:
        return TWinControl::WndProc(msg, wp, lp, result);
    }
}
