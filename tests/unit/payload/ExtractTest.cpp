// Extraction: one entry to disk with its time, the lookup by name, and the
// Abort/Retry/Ignore question when the file cannot be created.
#include "PayloadTestSupport.h"

using namespace ptest;

namespace {

ULONGLONG Ticks(const FILETIME& ft)
{
    return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

ULONGLONG NowTicks()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return Ticks(ft);
}

const std::vector<int> AbortRetryIgnore = {IDABORT, IDRETRY, IDIGNORE};

class Extraction : public ::testing::Test {
protected:
    TScratchDir Dir{"extract"};
};

}  // namespace

TEST_F(Extraction, WritesTheDataWithTheEntryTimeAtDosPrecision)
{
    const struct {
        const char* Label;
        TDateTime Time;
        std::string Data;
        const char* LocalTime;  // nullptr: the time of writing stays
    } cases[] = {
        {"zero-size entry", 37843.50699074074, "", "2003-08-10 12:10:04.000"},
        {"hunspell.dll's stored time", 41370.896689814814, "MZ", "2013-04-06 21:31:14.000"},
        {"21:31:15.900 goes down to an even second", Time(2013, 4, 6, 21, 31, 15, 900), "x", "2013-04-06 21:31:14.000"},
        {"first MS-DOS second", Time(1980, 1, 1, 0, 0, 0), "x", "1980-01-01 00:00:00.000"},
        {"last second of 2099", Time(2099, 12, 31, 23, 59, 59), "x", "2099-12-31 23:59:58.000"},
        {"1979", Time(1979, 12, 31, 23, 59, 58), "old", nullptr},
        {"2100", Time(2100, 1, 1, 0, 0, 0), "new", nullptr},
        {"negative time", -1.5, "neg", nullptr},
    };
    TBoxAnswerer boxes({});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        auto files = Load({{"entry.bin", c.Time, c.Data}});
        const std::string path = Dir.Path + "entry.bin";
        DeleteFileA(path.c_str());
        const ULONGLONG before = NowTicks();
        EXPECT_TRUE(files->ExtractFile(files->Files[0].get(), "", path));
        const ULONGLONG after = NowTicks();
        EXPECT_EQ(c.Data, ReadFileBytes(path));
        if (c.LocalTime) {
            EXPECT_EQ(c.LocalTime, LocalWriteTime(path));
        } else {
            // File systems stamp with a coarse clock: allow two seconds either side.
            const ULONGLONG written = Ticks(WriteTimeUtc(path));
            EXPECT_GE(written + 20000000, before) << LocalWriteTime(path);
            EXPECT_LE(written, after + 20000000) << LocalWriteTime(path);
        }
    }
    EXPECT_TRUE(boxes.Texts.empty());
}

TEST_F(Extraction, ReplacesAnExistingFileEntirelyAndCreatesMissingFolders)
{
    auto files = Load({{"License.txt", 44237.49914351852, "short"}});
    const std::string existing = Dir.Path + "License.txt";
    WriteFileBytes(existing, std::string(100000, 'L'));
    const std::string nested = Dir.Path + "A\\B\\C\\License.txt";
    TBoxAnswerer boxes({});
    EXPECT_TRUE(files->ExtractFile(nullptr, "License.txt", existing));
    EXPECT_EQ("short", ReadFileBytes(existing));
    EXPECT_TRUE(files->ExtractFile(nullptr, "License.txt", nested));
    EXPECT_EQ("short", ReadFileBytes(nested));
    EXPECT_EQ("2021-02-10 11:58:46.000", LocalWriteTime(nested));
    EXPECT_TRUE(boxes.Texts.empty());
}

TEST_F(Extraction, LookupIgnoresCaseAndTakesTheLastOfEqualNames)
{
    auto files = Load({{"Logo.bmp", 1000.0, "first"}, {"LOGO.BMP", 2000.0, "second"}, {"License.txt", 3000.0, "lic"}});
    const struct {
        const char* Label;
        int Entry;  // -1: by name
        const char* Name;
        const char* Written;
    } cases[] = {
        {"other letter case, later of two", -1, "logo.Bmp", "second"},
        {"exact name of the first, still the later", -1, "Logo.bmp", "second"},
        {"a given entry ignores the name", 0, "License.txt", "first"},
        {"a given entry with an empty name", 2, "", "lic"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        const std::string path = Dir.Path + "out.bin";
        DeleteFileA(path.c_str());
        const TAttachedFile* entry = c.Entry < 0 ? nullptr : files->Files[static_cast<size_t>(c.Entry)].get();
        EXPECT_TRUE(files->ExtractFile(entry, c.Name, path));
        EXPECT_EQ(c.Written, ReadFileBytes(path));
    }
}

TEST_F(Extraction, UnknownNameReturnsFalseAndCreatesNothing)
{
    auto files = Load({{"Logo.bmp", 1000.0, "BM"}});
    TBoxAnswerer boxes({});
    const std::string path = Dir.Path + "new\\sub\\Logo2.bmp";
    EXPECT_FALSE(files->ExtractFile(nullptr, "Logo2.bmp", path));
    EXPECT_FALSE(files->ExtractFile(nullptr, "", path));
    EXPECT_FALSE(Exists(Dir.Path + "new")) << "not even the folder";
    EXPECT_TRUE(boxes.Texts.empty());
}

TEST_F(Extraction, FileThatCannotBeCreatedAsksAbortRetryIgnore)
{
    auto files = Load({{"userdicda.tlx", 41370.896689814814, "fresh data"}});
    const std::string path = Dir.Path + "userdicda.tlx";
    HANDLE holder = INVALID_HANDLE_VALUE;  // another program's handle, no sharing
    auto release = [&] {
        CloseHandle(holder);
        holder = INVALID_HANDLE_VALUE;
    };
    const struct {
        const char* Label;
        bool Folder;  // a folder, not a held file, stands in the way
        std::vector<TBoxAnswerer::TAnswer> Answers;
        bool Result;
        const char* Content;  // afterwards
    } cases[] = {
        {"Retry after the other handle is closed writes", false, {{IDRETRY, release}}, true, "fresh data"},
        {"Retry while still held asks again", false, {{IDRETRY, nullptr}, {IDRETRY, nullptr}, {IDIGNORE, nullptr}},
         true, "held"},
        {"Ignore returns true and writes nothing", false, {{IDIGNORE, nullptr}}, true, "held"},
        {"Abort returns false", false, {{IDABORT, nullptr}}, false, "held"},
        {"a folder of that name", true, {{IDABORT, nullptr}}, false, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        RemoveTree(path);
        DeleteFileA(path.c_str());
        if (c.Folder) {
            CreateDirectoryA(path.c_str(), nullptr);
        } else {
            WriteFileBytes(path, "held");
            holder = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, holder);
        }
        bool result;
        std::vector<std::wstring> texts;
        std::vector<std::vector<int>> buttons;
        {
            TBoxAnswerer boxes(c.Answers);
            result = files->ExtractFile(files->Files[0].get(), "", path);
            EXPECT_EQ(0, boxes.Unplanned);
            texts = boxes.Texts;
            buttons = boxes.Buttons;
        }
        if (holder != INVALID_HANDLE_VALUE)
            release();
        EXPECT_EQ(c.Result, result);
        ASSERT_EQ(c.Answers.size(), texts.size()) << "one box per failed attempt";
        for (size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(CannotCreate(path), texts[i]);
            EXPECT_EQ(AbortRetryIgnore, buttons[i]);
        }
        if (c.Content) {
            EXPECT_EQ(c.Content, ReadFileBytes(path));
            if (std::string(c.Content) == "fresh data") {
                EXPECT_EQ("2013-04-06 21:31:14.000", LocalWriteTime(path)) << "a retried write gets the time too";
            }
        } else {
            EXPECT_NE(0u, Attributes(path) & FILE_ATTRIBUTE_DIRECTORY) << "the folder stays";
        }
    }
}
