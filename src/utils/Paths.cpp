// Path strings, the current folder, the folder test, special folders and the
// temporary folder.
#include "utils/InstUtils.h"

#include "platform/SystemLibrary.h"

#include <windows.h>

#include <vector>

namespace {

using TSHGetFolderPathA = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);

// Set once at start-up; null when no system library provides the function.
TSHGetFolderPathA SHGetFolderPathEntry = nullptr;

// Saved current folders, last in first out; DirExists pushes and pops in pairs.
std::vector<std::string>& DirStack()
{
    static std::vector<std::string> stack;
    return stack;
}

// Restores the current folder however DirExists is left.
struct TCurDirGuard {
    TCurDirGuard() { PushCurDir(); }
    ~TCurDirGuard() { PopCurDir(); }
    TCurDirGuard(const TCurDirGuard&) = delete;
    TCurDirGuard& operator=(const TCurDirGuard&) = delete;
};

void CutAtNul(std::string& s)
{
    const size_t end = s.find('\0');
    if (end != std::string::npos)
        s.resize(end);
}

}  // namespace

void AddBackslash(std::string& path)
{
    if (path.empty())
        return;
    char& last = path.back();
    if (last == '/' || last == '\\')
        last = '\\';
    else
        path += '\\';
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    std::string result = folder;
    AddBackslash(result);
    return result + name;
}

char LastChar(const std::string& s)
{
    return s.empty() ? '\0' : s.back();
}

void DeleteFirstChar(std::string& s)
{
    if (!s.empty())
        s.erase(0, 1);
}

void DeleteLastChar(std::string& s)
{
    if (!s.empty())
        s.pop_back();
}

bool SameFileText(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    std::string ua = a, ub = b;
    CharUpperBuffA(ua.data(), static_cast<DWORD>(ua.size()));
    CharUpperBuffA(ub.data(), static_cast<DWORD>(ub.size()));
    return ua == ub;
}

std::string GetCurDir()
{
    std::string dir;
    // The size asked for counts the NUL; ask again if the folder changed in between.
    DWORD need = GetCurrentDirectoryA(0, nullptr);
    for (;;) {
        if (need == 0)
            return std::string();
        dir.assign(need, '\0');
        const DWORD got = GetCurrentDirectoryA(need, dir.data());
        if (got < need) {
            dir.resize(got);
            break;
        }
        need = got;
    }
    AddBackslash(dir);
    return dir;
}

void PushCurDir()
{
    DirStack().push_back(GetCurDir());
}

void PopCurDir()
{
    std::vector<std::string>& stack = DirStack();
    if (stack.empty())
        return;
    SetCurrentDirectoryA(stack.back().c_str());
    stack.pop_back();
}

bool DirExists(const std::string& path)
{
    TCurDirGuard guard;
    std::string dir = path;
    AddBackslash(dir);
    SetCurrentDirectoryA(dir.c_str());
    return SameFileText(GetCurDir(), dir);
}

void InitSpecialFolderLookup()
{
    // From the system folder only: a shfolder.dll beside the setup is never used.
    SHGetFolderPathEntry = SystemProc<TSHGetFolderPathA>("shell32.dll", "SHGetFolderPathA");
    if (!SHGetFolderPathEntry)
        SHGetFolderPathEntry = SystemProc<TSHGetFolderPathA>("shfolder.dll", "SHGetFolderPathA");
}

std::string GetSpecialFolder(int csidl)
{
    if (!SHGetFolderPathEntry)
        return std::string();
    std::string path(MAX_PATH, '\0');
    // S_FALSE (a valid CSIDL whose folder is missing) counts as failure too.
    if (SHGetFolderPathEntry(nullptr, csidl, nullptr, 0, path.data()) != 0)
        return std::string();
    CutAtNul(path);
    return path;
}

std::string GetTempDir()
{
    std::string dir;
    DWORD need = GetTempPathA(0, nullptr);
    if (need != 0) {
        dir.assign(need, '\0');
        GetTempPathA(need, dir.data());
        CutAtNul(dir);
    }
    if (!DirExists(dir))
        dir = GetSpecialFolder(5);  // CSIDL_PERSONAL
    AddBackslash(dir);
    return dir;
}
