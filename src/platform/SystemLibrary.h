// DLLs from the system folder only. The setup runs elevated from a downloads
// folder, where anyone can leave a DLL of a common name beside it.
#pragma once

#include <windows.h>

// Takes the program's folder and the current folder out of the DLL search of
// the whole process, for the system's own loads too. Runs first in WinMain,
// before anything else loads a library.
void RestrictDllSearch();

// Loads `name` from the system folder, never from another one; null when it
// cannot be loaded. The library stays loaded for the life of the process.
HMODULE LoadSystemLibrary(const char* name);

// A function of a system-folder DLL, or null.
template <typename Fn>
Fn SystemProc(const char* dll, const char* proc)
{
    HMODULE module = LoadSystemLibrary(dll);
    // Through void*: GCC warns on a direct cast between unrelated function types.
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, proc))) : nullptr;
}
