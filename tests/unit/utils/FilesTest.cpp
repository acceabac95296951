// Files and folders on disk: wide paths, the file test, folder creation and
// deletion, whole-file writes and file times.
#include "utils/InstUtils.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

std::string ReadAll(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string data(64, '\0');
    DWORD read = 0;
    ReadFile(h, data.data(), static_cast<DWORD>(data.size()), &read, nullptr);
    CloseHandle(h);
    data.resize(read);
    return data;
}

// Sets a file's last-write time to a local time given by its parts.
void SetLocalWriteTime(const std::string& path, WORD year, WORD hour, WORD minute, WORD second)
{
    SYSTEMTIME st{};
    st.wYear = year;
    st.wMonth = 6;
    st.wDay = 15;
    st.wHour = hour;
    st.wMinute = minute;
    st.wSecond = second;
    FILETIME local, utc;
    ASSERT_TRUE(SystemTimeToFileTime(&st, &local));
    ASSERT_TRUE(LocalFileTimeToFileTime(&local, &utc));
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(SetFileTime(h, nullptr, nullptr, &utc));
    CloseHandle(h);
}

// A drive letter that names no drive, or 0.
char MissingDrive()
{
    const DWORD drives = GetLogicalDrives();
    for (char d = 'Z'; d >= 'D'; --d)
        if (!(drives & (1u << (d - 'A'))))
            return d;
    return 0;
}

TEST(WidePath, MapsEveryByteByCodePage1252)
{
    const struct {
        const char* In;
        const wchar_t* Out;
    } cases[] = {
        {"", L""},
        {"\x80", L"\u20AC"},
        {"\xE6", L"\u00E6"},
        {"C:\\\xC6r\x80\\a.txt", L"C:\\\u00C6r\u20AC\\a.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.In);
        EXPECT_EQ(ToWidePath(c.In), c.Out);
    }
}

TEST(ExistingFile, OnlyForFilesWhateverTheirAttributes)
{
    test::TScratchDir scratch("isfile");
    test::MakeFile(scratch.Path + "plain.txt");
    test::MakeFile(scratch.Path + "hidden.txt", "x", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    test::MakeDir(scratch.Path + "folder");
    const struct {
        std::string Path;
        bool Exists;
    } cases[] = {
        {scratch.Path + "plain.txt", true},
        {scratch.Path + "hidden.txt", true},
        {scratch.Path + "folder", false},
        {scratch.Path + "missing.txt", false},
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("\"" + c.Path + "\"");
        EXPECT_EQ(IsExistingFile(c.Path), c.Exists);
    }
}

TEST(ForceDirs, CreatesTheWholeChainOnceAndLeavesTheCurrentFolder)
{
    test::TScratchDir scratch("force");
    const std::string before = test::CurrentDir();
    for (const char* leaf : {"A\\B\\C\\", "D\\E\\F"}) {
        SCOPED_TRACE(leaf);
        const std::string target = scratch.Path + leaf;
        ForceDirs(target);
        // Each level can only have been made after its parent.
        ASSERT_TRUE(test::IsFolder(target));
        test::MakeFile(target + "\\sentinel");
        ForceDirs(target);
        EXPECT_TRUE(test::PathExists(target + "\\sentinel"));
        EXPECT_EQ(test::CurrentDir(), before);
    }
}

TEST(ForceDirs, OnAMissingDriveCreatesNothing)
{
    const char drive = MissingDrive();
    if (!drive)
        GTEST_SKIP() << "every drive letter is in use";
    const std::string root = std::string(1, drive) + ":\\";
    ForceDirs(root + "A\\B\\");
    EXPECT_FALSE(test::PathExists(root + "A"));
    ForceDirs("");  // names no folder: returns without effect
}

TEST(WriteFileData, LeavesExactlyTheGivenBytes)
{
    test::TScratchDir scratch("write");
    const std::string eight("\x00\x01\x7f\x80\xff\r\n\x00", 8);
    const struct {
        const char* Label;
        const char* Existing;  // content before, or null for no file
        std::string Data;
    } cases[] = {
        {"empty, new file", nullptr, ""},
        {"empty, truncates", "old content", ""},
        {"eight bytes, new file", nullptr, eight},
        {"eight bytes, replaces", "a longer old content", eight},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        const std::string path = scratch.Path + "f" + std::to_string(n++) + ".bin";
        if (c.Existing)
            test::MakeFile(path, c.Existing);
        WriteFileData(path, c.Data);
        EXPECT_EQ(ReadAll(path), c.Data);
    }
}

TEST(WriteFileData, IntoAMissingFolderLeavesNoFile)
{
    test::TScratchDir scratch("writemissing");
    WriteFileData(scratch.Path + "missing\\a.txt", "data");
    EXPECT_FALSE(test::PathExists(scratch.Path + "missing"));
}

TEST(DeleteTree, RemovesNestedFoldersAndHiddenAndSystemFiles)
{
    test::TScratchDir scratch("deltree");
    const std::string top = scratch.Path + "top";
    test::MakeDir(top);
    test::MakeDir(top + "\\a");
    test::MakeDir(top + "\\a\\b");
    test::MakeDir(top + "\\empty");
    test::MakeFile(top + "\\plain.txt");
    test::MakeFile(top + "\\a\\hidden.txt", "x", FILE_ATTRIBUTE_HIDDEN);
    test::MakeFile(top + "\\a\\b\\system.txt", "x", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
    test::MakeFile(top + "\\a\\b\\noext");
    SetFileAttributesA((top + "\\a").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    DeleteTree(top);
    EXPECT_FALSE(test::PathExists(top));
    EXPECT_TRUE(test::IsFolder(scratch.Bare));
}

TEST(DeleteTree, AReadOnlyFileKeepsItsFolderChain)
{
    test::TScratchDir scratch("delro");
    const std::string top = scratch.Path + "top\\";
    test::MakeDir(top);
    test::MakeDir(top + "keep");
    test::MakeDir(top + "gone");
    test::MakeFile(top + "keep\\ro.txt", "x", FILE_ATTRIBUTE_READONLY);
    test::MakeFile(top + "keep\\other.txt");
    test::MakeFile(top + "gone\\a.txt");
    test::MakeFile(top + "b.txt");
    DeleteTree(top);
    EXPECT_TRUE(test::PathExists(top + "keep\\ro.txt"));
    EXPECT_FALSE(test::PathExists(top + "keep\\other.txt"));
    EXPECT_FALSE(test::PathExists(top + "gone"));
    EXPECT_FALSE(test::PathExists(top + "b.txt"));
}

TEST(DeleteTree, AnEmptyPathLeavesTheCurrentFolderAlone)
{
    test::TScratchDir scratch("delempty");
    test::MakeFile(scratch.Path + "keep.txt");
    test::TCurDirRestore restore;
    ASSERT_TRUE(SetCurrentDirectoryA(scratch.Path.c_str()));
    DeleteTree("");
    EXPECT_TRUE(test::PathExists(scratch.Path + "keep.txt"));
}

TEST(DeleteTree, RemovesAFolderLinkWithoutFollowingIt)
{
    test::TScratchDir scratch("dellink");
    test::MakeDir(scratch.Path + "target");
    test::MakeFile(scratch.Path + "target\\precious.txt");
    test::MakeDir(scratch.Path + "top");
    const std::string link = scratch.Path + "top\\link";
    CreateSymbolicLinkA(link.c_str(), (scratch.Path + "target").c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY);
    const DWORD attrs = GetFileAttributesA(link.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_REPARSE_POINT))
        GTEST_SKIP() << "no folder links on this system";
    const struct {
        const char* Label;
        std::string Path;
        std::string Gone;
    } cases[] = {
        {"the link itself", link, link},
        {"a folder holding the link", scratch.Path + "top", scratch.Path + "top"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        if (!test::PathExists(link)) {
            CreateDirectoryA((scratch.Path + "top").c_str(), nullptr);
            ASSERT_TRUE(CreateSymbolicLinkA(link.c_str(), (scratch.Path + "target").c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY));
        }
        DeleteTree(c.Path);
        EXPECT_FALSE(test::PathExists(c.Gone));
        EXPECT_TRUE(test::PathExists(scratch.Path + "target\\precious.txt"));
    }
}

TEST(FileTime, ReadsAtMsDosPrecision)
{
    test::TScratchDir scratch("time");
    const std::string path = scratch.Path + "a.txt";
    test::MakeFile(path);
    SetLocalWriteTime(path, 2021, 10, 15, 37);
    TDateParts expected;
    expected.Year = 2021;
    expected.Month = 6;
    expected.Day = 15;
    expected.Hour = 10;
    expected.Minute = 15;
    expected.Second = 36;
    EXPECT_EQ(GetFileWriteTime(path), EncodeDateTime(expected));
    EXPECT_EQ(GetFileDateTime(path, TFileTimeKind::LastWrite), EncodeDateTime(expected));
}

TEST(FileTime, WithoutAnMsDosFormIsTheCurrentTime)
{
    test::TScratchDir scratch("timenow");
    const std::string old = scratch.Path + "1975.txt";
    test::MakeFile(old);
    SetLocalWriteTime(old, 1975, 12, 0, 0);
    const struct {
        const char* Label;
        std::string Path;
    } cases[] = {
        {"missing path", scratch.Path + "missing.txt"},
        {"before 1980", old},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        const TDateTime before = NowLocal();
        const TDateTime t = GetFileWriteTime(c.Path);
        const TDateTime after = NowLocal();
        EXPECT_GE(t, before);
        EXPECT_LE(t, after);
    }
}

}  // namespace
