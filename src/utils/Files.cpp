// Files and folders on disk: the wide-path conversion, the file test, folder
// creation and deletion, whole-file writes and file times.
#include "utils/InstUtils.h"

#include "platform/Handles.h"

#include <windows.h>

namespace {

// The parent of a folder path: up to and including its last "\" or ":".
// Trail bytes of double-byte characters are never taken for separators.
std::string ParentOf(const std::string& path)
{
    std::string dir = path;
    if (!dir.empty() && dir.back() == '\\')
        dir.pop_back();
    size_t end = 0;
    for (size_t i = 0; i < dir.size(); ++i) {
        const char c = dir[i];
        if (c == '\\' || c == ':')
            end = i + 1;
        else if (IsDBCSLeadByte(static_cast<BYTE>(c)))
            ++i;
    }
    return dir.substr(0, end);
}

TDateTime FileTimeToDateTime(const FILETIME& utc)
{
    FILETIME local;
    WORD dosDate, dosTime;
    // A time with no MS-DOS form (before 1980, after 2107) reads as now: its
    // only use is a comparison with an archive time, which then differs.
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, &dosDate, &dosTime))
        return NowLocal();
    return DosToDateTime(dosDate, dosTime);
}

}  // namespace

std::wstring ToWidePath(const std::string& text)
{
    if (text.empty())
        return std::wstring();
    // Code page 1252 maps every byte to exactly one UTF-16 unit.
    std::wstring wide(text.size(), L'\0');
    const int len = MultiByteToWideChar(1252, MB_PRECOMPOSED, text.data(), static_cast<int>(text.size()),
                                        wide.data(), static_cast<int>(wide.size()));
    wide.resize(len > 0 ? static_cast<size_t>(len) : 0);
    return wide;
}

bool IsExistingFile(const std::string& path)
{
    WIN32_FIND_DATAA data;
    TFindHandle find(FindFirstFileA(path.c_str(), &data));
    return find.Valid() && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ForceDirs(const std::string& path)
{
    if (path.empty() || DirExists(path))
        return;
    // A root's parent is the root again, which ends the recursion.
    const std::string parent = ParentOf(path);
    if (parent.size() < path.size())
        ForceDirs(parent);
    CreateDirectoryW(ToWidePath(path).c_str(), nullptr);
}

void WriteFileData(const std::string& path, const std::string& data)
{
    TFileHandle file(CreateFileW(ToWidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 CREATE_ALWAYS, FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    DWORD written = 0;
    WriteFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
}

void DeleteTree(const std::string& path)
{
    // An empty path would name the current folder: never wipe that by accident.
    if (path.empty())
        return;
    std::string dir = path;
    AddBackslash(dir);
    // A junction or folder link is removed itself, never followed: the setup
    // runs elevated, and a planted link must not aim the deletion elsewhere.
    std::string bare = dir;
    DeleteLastChar(bare);
    const DWORD attrs = GetFileAttributesA(bare.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_REPARSE_POINT)) {
        RemoveDirectoryW(ToWidePath(bare).c_str());
        return;
    }
    WIN32_FIND_DATAA data;
    TFindHandle find(FindFirstFileA((dir + "*.*").c_str(), &data));
    if (find) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(dir + name);
            else
                DeleteFileW(ToWidePath(dir + name).c_str());
        } while (FindNextFileA(find.Get(), &data));
        find.Close();  // an open search keeps the folder from being removed
    }
    RemoveDirectoryW(ToWidePath(dir).c_str());
}

TDateTime GetFileDateTime(const std::string& path, TFileTimeKind which)
{
    WIN32_FIND_DATAA data;
    {
        TFindHandle find(FindFirstFileA(path.c_str(), &data));
        if (!find)
            return NowLocal();
    }
    return FileTimeToDateTime(which == TFileTimeKind::LastWrite ? data.ftLastWriteTime : data.ftCreationTime);
}

TDateTime GetFileWriteTime(const std::string& path)
{
    return GetFileDateTime(path, TFileTimeKind::LastWrite);
}

TDateTime NowLocal()
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    TDateParts p;
    p.Year = st.wYear;
    p.Month = st.wMonth;
    p.Day = st.wDay;
    p.Hour = st.wHour;
    p.Minute = st.wMinute;
    p.Second = st.wSecond;
    p.MSec = st.wMilliseconds;
    return EncodeDateTime(p);
}
