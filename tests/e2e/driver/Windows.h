// Window lookups shared by the driver's parts.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e::detail {

std::vector<HWND> TopLevelWindowsOf(DWORD pid);  // all, shown or not
std::vector<HWND> ChildWindows(HWND parent);     // all descendants
std::string ClassOf(HWND wnd);
std::string CaptionOf(HWND wnd);  // GetWindowTextA: needs no answer from the owner
std::string TextOf(HWND wnd);     // WM_GETTEXT: also edits and controls of other processes
std::string StripAmpersands(const std::string& caption);
std::string Quoted(const std::string& text);  // for failure messages: control characters escaped

}  // namespace e2e::detail
