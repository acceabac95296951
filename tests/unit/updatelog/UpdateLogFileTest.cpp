// The update log on disk and the setup's own line comparison.
#include "wizard/UpdateLogFile.h"

#include "../utils/TestSupport.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

namespace {

using TLines = std::vector<std::string>;

const TDateTime InstallTime = 45292.5;
const std::string Marker = "*00000000901DE640";
const std::string Older = "*0000000000F9E540";

std::string ReadBytes(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes(1 << 16, '\0');
    DWORD got = 0;
    ReadFile(h, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(h);
    bytes.resize(got);
    return bytes;
}

// Every name in the folder, to see that no temporary file stays behind.
TLines FolderNames(const std::string& dir)
{
    TLines names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir + "*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name != "." && name != "..")
                names.push_back(name);
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    return names;
}

class UpdateLogFile : public testing::Test {
protected:
    test::TScratchDir Dir{"updatelog"};
    std::string Log = Dir.Path + "Update.log";
};

TEST(CompareLogLines, CaseAsideAndMarkedPathsApart)
{
    struct TRow {
        const char* A;
        const char* B;
        int Sign;
    } rows[] = {
        {"C:\\Data\\da_DK.dic", "c:\\data\\DA_DK.DIC", 0},
        {"C:\\Data\\a", "C:\\Data\\b", -1},
        {"C:\\Data\\B", "C:\\Data\\a", 1},
        {"C:\\Data\\userdicda.tlx", "C:\\Data\\userdicda.tlx\t!", -1},
        {"", "", 0},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(std::string(row.A) + " | " + row.B);
        const int result = CompareLogLines(row.A, row.B);
        EXPECT_EQ((result > 0) - (result < 0), row.Sign) << "result " << result;
    }
}

TEST_F(UpdateLogFile, NoLogYet)
{
    TLines files = {Dir.Path + "b.aff", Dir.Path + "A.dic"};
    MergeIntoUpdateLog(Log, files, InstallTime);
    EXPECT_EQ(files, (TLines{Dir.Path + "A.dic", Dir.Path + "b.aff"})) << "public files sorted in place";
    EXPECT_EQ(ReadBytes(Log), Marker + "\r\n" + Dir.Path + "A.dic\r\n" + Dir.Path + "b.aff\r\n");
    EXPECT_EQ(FolderNames(Dir.Path), TLines{"Update.log"});
}

TEST_F(UpdateLogFile, ExistingLogMergedWithMixedLineEnds)
{
    test::MakeFile(Log, Older + "\n\nP1\rp2\r\nP3");
    TLines files = {"P2", "P4"};
    MergeIntoUpdateLog(Log, files, InstallTime);
    EXPECT_EQ(ReadBytes(Log), Older + "\r\nP1\r\nP3\r\n" + Marker + "\r\nP2\r\nP4\r\n");
    EXPECT_EQ(FolderNames(Dir.Path), TLines{"Update.log"});
}

TEST_F(UpdateLogFile, NoPublicFilesLeavesTheLogAlone)
{
    TLines files;
    MergeIntoUpdateLog(Log, files, InstallTime);
    EXPECT_EQ(FolderNames(Dir.Path), TLines{});
}

TEST_F(UpdateLogFile, LogHeldOpenByAnotherProgramAborts)
{
    test::MakeFile(Log, Older + "\r\nP1\r\n");
    HANDLE other = CreateFileA(Log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    TLines files = {"P2"};
    EXPECT_THROW(MergeIntoUpdateLog(Log, files, InstallTime), EAbort);
    CloseHandle(other);
    EXPECT_EQ(ReadBytes(Log), Older + "\r\nP1\r\n");
    EXPECT_EQ(FolderNames(Dir.Path), TLines{"Update.log"});
}

TEST_F(UpdateLogFile, MissingFolderAborts)
{
    const std::string log = Dir.Path + "Scrivora\\Update.log";
    EXPECT_EQ(ReadLogFile(log), TLines{});
    EXPECT_THROW(WriteLogFileAtomically(log, {"P1"}), EAbort);
    EXPECT_EQ(FolderNames(Dir.Path), TLines{});
}

TEST_F(UpdateLogFile, LogThatCannotBeReplacedStaysAsItWas)
{
    test::MakeFile(Log, "old\r\n");
    // Open without delete sharing: the log cannot be replaced meanwhile.
    HANDLE other = CreateFileA(Log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_THROW(WriteLogFileAtomically(Log, {"new"}), EAbort);
    CloseHandle(other);
    EXPECT_EQ(ReadBytes(Log), "old\r\n");
    EXPECT_EQ(FolderNames(Dir.Path), TLines{"Update.log"});
}

TEST_F(UpdateLogFile, ZeroByteEndsTheText)
{
    test::MakeFile(Log, std::string("P1\r\nP2\0P3\r\n", 11));
    EXPECT_EQ(ReadLogFile(Log), (TLines{"P1", "P2"}));
}

}  // namespace
