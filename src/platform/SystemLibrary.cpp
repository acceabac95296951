#include "platform/SystemLibrary.h"

#include <string>

void RestrictDllSearch()
{
    // Looked up at run time: Windows before 8 has it only with the loader update.
    using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<TSetDefaultDllDirectories>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    // Without it at least the current folder leaves the search; our own loads
    // name the system folder in full (LoadSystemLibrary).
    SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const char* name)
{
    // The bare name keeps the activation context in play, so that comctl32
    // comes in the version the manifest asks for.
    if (HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return module;
    // A loader that does not know the flag refuses it: name the file in full.
    char dir[MAX_PATH];
    const UINT len = GetSystemDirectoryA(dir, MAX_PATH);
    if (len == 0 || len >= MAX_PATH)
        return nullptr;
    const std::string path = std::string(dir, len) + "\\" + name;
    return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
