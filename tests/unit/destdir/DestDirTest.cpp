// Runs under Wine so that the rules use the setup's own path helpers and
// its case-aside comparison.
#include "wizard/DestDir.h"

#include <gtest/gtest.h>

namespace {

TEST(NormalizeDestDirText, PickerOnCAndProgramFilesOnC)
{
    struct TRow {
        const char* Name;
        const char* Text;
        const char* Expected;
    } rows[] = {
        {"spaces at both ends and a trailing backslash", "  D:\\Tools\\  ", "D:\\Tools"},
        {"drive root", "D:\\", "D:\\Scrivora"},
        {"bare drive", "D:", "D:\\Scrivora"},
        {"empty text takes the picker's drive", "", "c:\\Scrivora"},
        {"spaces only", "   ", "c:\\Scrivora"},
        {"no drive: the text is replaced, not prefixed", "Tools\\Scrivora", "c:\\Scrivora"},
        {"Program Files in other letter case", "c:\\program files\\", "c:\\program files\\Scrivora"},
        {"Program Files as given", "C:\\Program Files", "C:\\Program Files\\Scrivora"},
        {"inside Program Files", "C:\\Program Files\\Scrivora", "C:\\Program Files\\Scrivora"},
        {"two trailing backslashes: only one dropped", "D:\\Tools\\\\", "D:\\Tools\\Scrivora"},
        {"share", "\\\\server\\share", "\\\\server\\share"},
        {"share with a trailing backslash", "\\\\server\\share\\", "\\\\server\\share"},
        {"named folder", "D:\\Scrivora", "D:\\Scrivora"},
        {"tab is not trimmed", "D:\\Tools\t", "D:\\Tools\t"},
        {"leading tab hides the drive", "\tD:\\Tools", "c:\\Scrivora"},
        {"forward slash is no separator here", "D:\\Tools/", "D:\\Tools/"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        EXPECT_EQ(NormalizeDestDirText(row.Text, 'c', "C:\\Program Files"), row.Expected);
    }
}

TEST(NormalizeDestDirText, UnknownProgramFilesFolder)
{
    EXPECT_EQ(NormalizeDestDirText("C:\\Program Files", 'c', ""), "C:\\Program Files");
    EXPECT_EQ(NormalizeDestDirText("", 'd', ""), "d:\\Scrivora");
}

TEST(ChooseSpellFolders, ExistingFoldersOrTheFirst)
{
    struct TRow {
        const char* Name;
        bool Exists0, Exists1;
        bool Into0, Into1;
    } rows[] = {
        {"both exist", true, true, true, true},
        {"only Spellcheck exists", true, false, true, false},
        {"only Orthographe exists", false, true, false, true},
        {"neither exists: Spellcheck is created", false, false, true, false},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Name);
        const std::array<bool, 2> into = ChooseSpellFolders(row.Exists0, row.Exists1);
        EXPECT_EQ(into[0], row.Into0);
        EXPECT_EQ(into[1], row.Into1);
    }
}

}  // namespace
