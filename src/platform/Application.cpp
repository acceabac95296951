#include "platform/Application.h"

#include <commctrl.h>
#include <ole2.h>

namespace {
HWND TheApplicationWindow = nullptr;

// Loads a DLL of the system folder only, never one planted beside the setup.
// The plain name lets the activation context pick the side-by-side comctl32;
// the full path is the fallback where the search flag is unknown.
HMODULE LoadSystemLibrary(const char* name)
{
    if (HMODULE m = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return m;
    char path[MAX_PATH];
    UINT n = GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n + 1 + lstrlenA(name) >= MAX_PATH)
        return nullptr;
    lstrcatA(path, "\\");
    lstrcatA(path, name);
    return LoadLibraryA(path);
}

template <typename Fn>
Fn SystemProc(const char* dll, const char* proc)
{
    HMODULE m = LoadSystemLibrary(dll);
    return m ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(m, proc))) : nullptr;
}
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
