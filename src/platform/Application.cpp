#include "platform/Application.h"

#include "platform/SystemLibrary.h"

#include <commctrl.h>
#include <ole2.h>

namespace {
HWND TheApplicationWindow = nullptr;
}  // namespace

void ApplicationInit()
{
    OleInitialize(nullptr);
}

void InitCommonControlsRuntime()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    using TInitCommonControlsEx = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    if (auto init = SystemProc<TInitCommonControlsEx>("comctl32.dll", "InitCommonControlsEx")) {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        init(&icc);
    }
}

bool ThemesActive()
{
    using TBoolFn = BOOL(WINAPI*)();
    static TBoolFn isAppThemed = SystemProc<TBoolFn>("uxtheme.dll", "IsAppThemed");
    static TBoolFn isThemeActive = SystemProc<TBoolFn>("uxtheme.dll", "IsThemeActive");
    return isAppThemed && isThemeActive && isAppThemed() && isThemeActive();
}

void SetApplicationWindow(HWND window, HICON icon, const char* title)
{
    TheApplicationWindow = window;
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SetWindowTextA(window, title);
}

HWND ApplicationWindow()
{
    return TheApplicationWindow;
}

void ApplicationExit(UINT exitCode)
{
    OleUninitialize();
    ExitProcess(exitCode);
}
