// Payloads built in the test, scratch folders, file inspection, and message
// boxes answered from a hook on the test's own thread.
#pragma once

#include "../utils/TestSupport.h"
#include "app/Messages.h"
#include "payload/ArchiveFormat.h"
#include "payload/AttachFiles.h"
#include "utils/DateTime.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ptest {

struct TRawEntry {
    std::string Name;
    TDateTime Time;
    std::string Data;
};

inline std::string Compressed(const std::vector<TRawEntry>& entries)
{
    std::string raw, z;
    for (const auto& e : entries)
        Archive::AppendEntry(raw, e.Name, e.Time, e.Data);
    EXPECT_TRUE(Archive::Compress(raw, 9, z));
    return z;
}

inline std::unique_ptr<TAttachedFiles> Load(const std::vector<TRawEntry>& entries)
{
    const std::string z = Compressed(entries);
    return std::make_unique<TAttachedFiles>(reinterpret_cast<const uint8_t*>(z.data()), static_cast<uint32_t>(z.size()));
}

inline TDateTime Time(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    TDateParts p;
    p.Year = y, p.Month = mo, p.Day = d, p.Hour = h, p.Minute = mi, p.Second = s, p.MSec = ms;
    return EncodeDateTime(p);
}

inline std::string TempRoot()
{
    char buf[MAX_PATH + 1];
    return std::string(buf, GetTempPathA(sizeof buf, buf));
}

inline DWORD Attributes(const std::string& path)
{
    return GetFileAttributesA(path.c_str());
}

inline bool Exists(const std::string& path)
{
    return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

inline std::string ReadFileBytes(const std::string& path)
{
    std::string data;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got)
        data.append(buf, got);
    CloseHandle(h);
    return data;
}

inline void WriteFileBytes(const std::string& path, const std::string& data)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << path << " error " << GetLastError();
    DWORD written = 0;
    WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(h);
    ASSERT_EQ(data.size(), written) << path;
}

inline FILETIME WriteTimeUtc(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    EXPECT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) << path;
    return data.ftLastWriteTime;
}

// The last-write time as local "YYYY-MM-DD hh:mm:ss.mmm".
inline std::string LocalWriteTime(const std::string& path)
{
    const FILETIME utc = WriteTimeUtc(path);
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st))
        return "<no time>";
    char buf[40];
    wsprintfA(buf, "%04u-%02u-%02u %02u:%02u:%02u.%03u", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
              st.wSecond, st.wMilliseconds);
    return buf;
}

// Gives a file a local last-write time at MS-DOS precision.
inline void SetLocalWriteTime(const std::string& path, TDateTime time)
{
    uint16_t dosDate, dosTime;
    ASSERT_TRUE(DateTimeToDos(time, dosDate, dosTime));
    FILETIME local, utc;
    ASSERT_TRUE(DosDateTimeToFileTime(dosDate, dosTime, &local));
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << path;
    EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &utc));
    CloseHandle(h);
}

// The extraction failure text for an ASCII path, as the box shows it.
inline std::wstring CannotCreate(const std::string& path)
{
    std::string text = Msg::CannotCreateFile;
    text.replace(text.find("%s"), 2, path);
    return std::wstring(text.begin(), text.end());
}

// Removes a tree whatever its attributes; independent of the code under test.
using test::RemoveTree;

// A fresh, empty folder; Path ends in "\". Names carry the process id, since
// other test programs share the Wine prefix.
class TScratchDir {
public:
    explicit TScratchDir(const std::string& parent, const std::string& tag)
        : Bare(parent + "unit_payload_" + std::to_string(GetCurrentProcessId()) + "_" + tag), Path(Bare + "\\")
    {
        RemoveTree(Bare);
        CreateDirectoryA(Bare.c_str(), nullptr);
    }
    explicit TScratchDir(const std::string& tag) : TScratchDir(TempRoot(), tag) {}
    ~TScratchDir() { RemoveTree(Bare); }
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;
    const std::string Bare, Path;
};

// Answers the message boxes of this thread in turn. Each answer may first run
// an action, as the user would act before pressing the button; a box beyond
// the planned answers is ended with Abort and counted.
class TBoxAnswerer {
public:
    struct TAnswer {
        int ButtonId;  // IDABORT, IDRETRY, IDIGNORE, ...
        std::function<void()> Before;
    };
    explicit TBoxAnswerer(std::vector<TAnswer> answers) : Answers(std::move(answers))
    {
        Active = this;
        Hook = SetWindowsHookExW(WH_CALLWNDPROCRET, HookProc, nullptr, GetCurrentThreadId());
        EXPECT_NE(nullptr, Hook);
    }
    ~TBoxAnswerer()
    {
        UnhookWindowsHookEx(Hook);
        Active = nullptr;
    }
    TBoxAnswerer(const TBoxAnswerer&) = delete;
    TBoxAnswerer& operator=(const TBoxAnswerer&) = delete;

    std::vector<std::wstring> Texts;  // the text of every box shown
    std::vector<std::vector<int>> Buttons;  // the button IDs of every box
    int Unplanned = 0;

private:
    // After WM_INITDIALOG the box holds its text and its buttons.
    static LRESULT CALLBACK HookProc(int code, WPARAM wp, LPARAM lp)
    {
        // Nothing may unwind through user32.
        try {
            const auto* msg = reinterpret_cast<const CWPRETSTRUCT*>(lp);
            if (code == HC_ACTION && Active && msg->message == WM_INITDIALOG)
                Active->Seen(msg->hwnd);
        } catch (...) {
            if (Active)
                ++Active->Unplanned;
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }

    void Seen(HWND box)
    {
        wchar_t cls[16];
        GetClassNameW(box, cls, 16);
        if (lstrcmpW(cls, L"#32770") != 0)
            return;
        std::wstring text;
        std::vector<int> buttons;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t childCls[16], buf[2048];
            GetClassNameW(child, childCls, 16);
            if (lstrcmpiW(childCls, L"Button") == 0 && (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE))
                buttons.push_back(GetDlgCtrlID(child));
            else if (lstrcmpiW(childCls, L"Static") == 0 && text.empty())
                text.assign(buf, static_cast<size_t>(GetWindowTextW(child, buf, 2048)));
        }
        Texts.push_back(text);
        Buttons.push_back(buttons);
        int press = IDABORT;
        if (Next < Answers.size()) {
            if (Answers[Next].Before)
                Answers[Next].Before();
            press = Answers[Next++].ButtonId;
        } else {
            ++Unplanned;
        }
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(press, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, press)));
    }

    static inline TBoxAnswerer* Active = nullptr;
    HHOOK Hook = nullptr;
    std::vector<TAnswer> Answers;
    size_t Next = 0;
};

}  // namespace ptest
