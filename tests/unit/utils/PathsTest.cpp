// Path strings, the current folder, the folder test, special folders and the
// temporary folder.
#include "utils/InstUtils.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(PathStrings, AddBackslashLooksOnlyAtTheLastCharacter)
{
    const struct {
        const char* In;
        const char* Out;
    } cases[] = {
        {"", ""},           {"C:", "C:\\"},         {"C:/", "C:\\"},
        {"C:\\Data\\", "C:\\Data\\"}, {"a/b/", "a/b\\"}, {"a/b", "a/b\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.In);
        std::string path = c.In;
        AddBackslash(path);
        EXPECT_EQ(path, c.Out);
    }
}

TEST(PathStrings, JoinPathAddsOneSeparatorOnlyWhenMissing)
{
    const struct {
        const char* Folder;
        const char* Name;
        const char* Out;
    } cases[] = {
        {"C:\\Prog", "orvex.exe", "C:\\Prog\\orvex.exe"},
        {"C:\\Prog\\", "orvex.exe", "C:\\Prog\\orvex.exe"},
        {"C:\\Prog/", "orvex.exe", "C:\\Prog\\orvex.exe"},
        {"", "Scrivora\\Public\\", "Scrivora\\Public\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Folder) + " + " + c.Name);
        EXPECT_EQ(JoinPath(c.Folder, c.Name), c.Out);
    }
}

TEST(PathStrings, SameFileTextIgnoresCaseOnly)
{
    const struct {
        const char* A;
        const char* B;
        bool Same;
    } cases[] = {
        {"c:\\program files\\", "C:\\PROGRAM FILES\\", true},
        {"", "", true},
        {"C:\\A", "C:\\A\\", false},
        {"C:/A", "C:\\A", false},
        {"C:\\A", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.A) + " vs " + c.B);
        EXPECT_EQ(SameFileText(c.A, c.B), c.Same);
    }
}

TEST(PathStrings, ByteOperationsLeaveAnEmptyStringEmpty)
{
    std::string s;
    DeleteFirstChar(s);
    EXPECT_EQ(s, "");
    s = "\\abc/";
    EXPECT_EQ(LastChar(s), '/');
    DeleteFirstChar(s);
    DeleteLastChar(s);
    EXPECT_EQ(s, "abc");
}

class CurrentFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::MakeDir(Scratch.Path + "sub");
        test::MakeFile(Scratch.Path + "file.txt");
        ASSERT_TRUE(SetCurrentDirectoryA(Scratch.Path.c_str()));
    }
    test::TScratchDir Scratch{"curdir"};
    test::TCurDirRestore Restore;  // runs first, so that the scratch folder can go
};

TEST_F(CurrentFolder, GetCurDirEndsInOneBackslash)
{
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    EXPECT_EQ(GetCurDir(), "C:\\");
    ASSERT_TRUE(SetCurrentDirectoryA((Scratch.Path + "sub").c_str()));
    EXPECT_EQ(GetCurDir(), Scratch.Path + "sub\\");
}

TEST_F(CurrentFolder, DirExistsOnlyForAbsolutePathsWrittenThePlatformsWay)
{
    const std::string before = test::CurrentDir();
    const struct {
        std::string Path;
        bool Exists;
    } cases[] = {
        {"C:\\windows", true},
        {"C:\\WINDOWS\\", true},
        {"c:\\Windows", true},
        {"C:", true},
        {Scratch.Path + "sub", true},
        {"", false},
        {"sub", false},
        {"C:\\windows\\..\\windows", false},
        {Scratch.Path + "sub\\..\\sub\\", false},
        {Scratch.Path + "file.txt", false},
        {Scratch.Path + "missing", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("\"" + c.Path + "\"");
        EXPECT_EQ(DirExists(c.Path), c.Exists);
        EXPECT_EQ(test::CurrentDir(), before);
    }
}

TEST_F(CurrentFolder, PopCurDirRestoresInReverseOrderAndIgnoresAnEmptyStack)
{
    PopCurDir();  // nothing saved: stays where it is
    EXPECT_EQ(test::CurrentDir(), Scratch.Bare);
    PushCurDir();
    SetCurrentDirectoryA("C:\\");
    PushCurDir();
    SetCurrentDirectoryA((Scratch.Path + "sub").c_str());
    PopCurDir();
    EXPECT_EQ(test::CurrentDir(), "C:\\");
    PopCurDir();
    EXPECT_EQ(test::CurrentDir(), Scratch.Bare);
}

TEST(SpecialFolders, ProgramFilesComesWithoutTrailingBackslash)
{
    InitSpecialFolderLookup();
    const std::string dir = GetSpecialFolder(38);  // CSIDL_PROGRAM_FILES
    ASSERT_FALSE(dir.empty());
    EXPECT_NE(LastChar(dir), '\\') << dir;
    EXPECT_TRUE(test::IsFolder(dir)) << dir;
    EXPECT_EQ(GetSpecialFolder(0x7f), "");  // no such CSIDL
}

TEST(TempFolder, IsTheTempPathOrElseTheDocumentsFolderWithOneBackslash)
{
    InitSpecialFolderLookup();
    test::TScratchDir scratch("tempdir");
    const std::string documents = GetSpecialFolder(5);  // CSIDL_PERSONAL
    ASSERT_FALSE(documents.empty());
    const struct {
        const char* Label;
        std::string Tmp;
        std::string Expected;
    } cases[] = {
        {"existing, no backslash", scratch.Bare, scratch.Path},
        {"existing, backslash", scratch.Path, scratch.Path},
        {"missing", scratch.Path + "missing", documents + "\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        test::TTempEnv env(c.Tmp);
        EXPECT_EQ(GetTempDir(), c.Expected);
    }
}

}  // namespace
