// Temporary file names and the clean-up, in a private temporary folder.
#include "utils/InstUtils.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const std::string Prefix = "~ScrivoraDanishSpellcheckerSetup";

class TempFiles : public ::testing::Test {
protected:
    test::TScratchDir Scratch{"temp"};
    test::TTempEnv Env{Scratch.Bare};
};

TEST_F(TempFiles, PrefixIsTheLettersOfTheTitle)
{
    EXPECT_EQ(TempPrefix(), Prefix);
}

TEST_F(TempFiles, MakeTempFileNameGivesTheFirstNumberNotTakenByAFile)
{
    const struct {
        const char* Label;
        std::vector<int> Files;
        std::vector<int> Folders;
        int Expected;
    } cases[] = {
        {"no leftovers", {}, {}, 0},
        {"0 and 1 taken", {0, 1}, {}, 2},
        {"only 1 taken", {1}, {}, 0},
        {"a folder of the first name", {}, {0}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        auto name = [&](int n) { return Scratch.Path + Prefix + std::to_string(n) + ".tmp"; };
        for (int n : c.Files)
            test::MakeFile(name(n));
        for (int n : c.Folders)
            test::MakeDir(name(n));
        EXPECT_EQ(MakeTempFileName(), name(c.Expected));
        EXPECT_EQ(test::PathExists(name(c.Expected)), !c.Folders.empty());  // nothing reserved
        for (int n : c.Files)
            DeleteFileA(name(n).c_str());
        for (int n : c.Folders)
            RemoveDirectoryA(name(n).c_str());
    }
}

TEST_F(TempFiles, CleanTempFilesRemovesExactlyThePrefixedEntries)
{
    const std::string& dir = Scratch.Path;
    test::MakeFile(dir + Prefix + "0.tmp");
    test::MakeFile(dir + Prefix + "7.tmp", "x", FILE_ATTRIBUTE_HIDDEN);
    test::MakeDir(dir + Prefix + "X");
    test::MakeDir(dir + Prefix + "X\\sub");
    test::MakeFile(dir + Prefix + "X\\sub\\a.bmp");
    test::MakeFile(dir + Prefix + "X\\b.txt", "x", FILE_ATTRIBUTE_SYSTEM);
    const char* kept[] = {"~scrivoradanishspellcheckersetup3.tmp", "x~ScrivoraDanishSpellcheckerSetup0.tmp",
                          "~ScrivoraDanish.tmp", "other.txt"};
    for (const char* name : kept)
        test::MakeFile(dir + name);
    test::MakeDir(dir + "keepdir");
    test::MakeFile(dir + "keepdir\\" + Prefix + "1.tmp");

    CleanTempFiles();

    for (const char* gone : {"0.tmp", "7.tmp", "X"}) {
        SCOPED_TRACE(gone);
        EXPECT_FALSE(test::PathExists(dir + Prefix + gone));
    }
    for (const char* name : kept) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(test::PathExists(dir + name));
    }
    EXPECT_TRUE(test::PathExists(dir + "keepdir\\" + Prefix + "1.tmp"));
}

}  // namespace
