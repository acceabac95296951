// The process as the platform sees it: OLE for the one GUI thread, the common
// controls, the window that stands for the program, and the end of the process.
#pragma once

#include <windows.h>

// OleInitialize(null); the result is not looked at.
void ApplicationInit();

// Loads comctl32 from the system folder (version 6 through the manifest) and
// registers its window classes. Does nothing after the first call.
void InitCommonControlsRuntime();

// True while visual styles are drawn for this process.
bool ThemesActive();

// The window that stands for the program on the taskbar: it gets the big icon
// and the title. Its WM_ENDSESSION ends the process (see TForm).
void SetApplicationWindow(HWND window, HICON icon, const char* title);
HWND ApplicationWindow();

// OleUninitialize, then ExitProcess.
[[noreturn]] void ApplicationExit(UINT exitCode);
