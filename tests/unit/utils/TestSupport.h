// Scratch folders, files and environment overrides for the utility tests.
// Names carry the process id: other test programs share the Wine prefix.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace test {

inline std::string RealTempDir()
{
    char buf[MAX_PATH + 1];
    const DWORD len = GetTempPathA(sizeof buf, buf);
    return std::string(buf, len);
}

inline bool PathExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline bool IsFolder(const std::string& path)
{
    const DWORD attrs = GetFileAttributesA(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY);
}

inline void MakeFile(const std::string& path, const std::string& data = "x", DWORD attrs = FILE_ATTRIBUTE_NORMAL)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(h);
    if (attrs != FILE_ATTRIBUTE_NORMAL)
        SetFileAttributesA(path.c_str(), attrs);
}

inline void MakeDir(const std::string& path)
{
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path << " error " << GetLastError();
}

// Removes a tree whatever its attributes; independent of the code under test.
inline void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = dir + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                RemoveTree(path);
            else if (!DeleteFileA(path.c_str()))
                RemoveDirectoryA(path.c_str());
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(dir.c_str());
}

// A fresh, empty folder below the real temporary folder; Path ends in "\".
class TScratchDir {
public:
    explicit TScratchDir(const std::string& tag)
    {
        Bare = RealTempDir() + "unit_utils_" + std::to_string(GetCurrentProcessId()) + "_" + tag;
        RemoveTree(Bare);
        CreateDirectoryA(Bare.c_str(), nullptr);
        Path = Bare + "\\";
    }
    ~TScratchDir() { RemoveTree(Bare); }
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;
    std::string Bare;  // without the trailing backslash
    std::string Path;
};

// Points TMP and TEMP elsewhere for the life of the object.
class TTempEnv {
public:
    explicit TTempEnv(const std::string& dir) : OldTmp(Get("TMP")), OldTemp(Get("TEMP"))
    {
        SetEnvironmentVariableA("TMP", dir.c_str());
        SetEnvironmentVariableA("TEMP", dir.c_str());
    }
    ~TTempEnv()
    {
        SetEnvironmentVariableA("TMP", OldTmp.empty() ? nullptr : OldTmp.c_str());
        SetEnvironmentVariableA("TEMP", OldTemp.empty() ? nullptr : OldTemp.c_str());
    }
    TTempEnv(const TTempEnv&) = delete;
    TTempEnv& operator=(const TTempEnv&) = delete;

private:
    static std::string Get(const char* name)
    {
        char buf[MAX_PATH * 4];
        const DWORD len = GetEnvironmentVariableA(name, buf, sizeof buf);
        return len < sizeof buf ? std::string(buf, len) : std::string();
    }
    std::string OldTmp, OldTemp;
};

// Restores the current folder of the process after a test that moves it.
class TCurDirRestore {
public:
    TCurDirRestore()
    {
        char buf[MAX_PATH * 4];
        Saved.assign(buf, GetCurrentDirectoryA(sizeof buf, buf));
    }
    ~TCurDirRestore() { SetCurrentDirectoryA(Saved.c_str()); }
    TCurDirRestore(const TCurDirRestore&) = delete;
    TCurDirRestore& operator=(const TCurDirRestore&) = delete;
    std::string Saved;
};

inline std::string CurrentDir()
{
    char buf[MAX_PATH * 4];
    return std::string(buf, GetCurrentDirectoryA(sizeof buf, buf));
}

}  // namespace test
