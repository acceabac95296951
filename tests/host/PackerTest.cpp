// The payload packer as the build runs it: mkpayload on a manifest, checked
// by reading the written archive back with the setup's own parser.
#include "payload/ArchiveFormat.h"
#include "utils/DateTime.h"

#include "Packer.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct TRun {
    int ExitCode = -1;
    std::string Out, Err;
};

std::string ReadAll(const fs::path& path)
{
    std::string data;
    Packer::ReadWholeFile(path.string(), data);
    return data;
}

void WriteAll(const fs::path& path, const std::string& data)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f) << path;
    ASSERT_EQ(data.size(), std::fwrite(data.data(), 1, data.size(), f));
    ASSERT_EQ(0, std::fclose(f));
}

// Sets a file's last-write time to a local date and time.
void SetLocalMTime(const fs::path& path, int y, int mo, int d, int h, int mi, int s)
{
    std::tm t{};
    t.tm_year = y - 1900, t.tm_mon = mo - 1, t.tm_mday = d;
    t.tm_hour = h, t.tm_min = mi, t.tm_sec = s, t.tm_isdst = -1;
    const time_t when = std::mktime(&t);
    const timeval tv[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(0, ::utimes(path.c_str(), tv)) << path;
}

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string s; in >> s;)
        w.push_back(s);
    return w;
}

std::string Join(const std::vector<std::string>& w)
{
    std::string r;
    for (const auto& s : w)
        r += (r.empty() ? "" : " ") + s;
    return r;
}

uint64_t DoubleBits(double d)
{
    uint64_t bits;
    std::memcpy(&bits, &d, 8);
    return bits;
}

class PackerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string tmpl = (fs::temp_directory_path() / "mkpayload-test-XXXXXX").string();
        ASSERT_NE(nullptr, ::mkdtemp(&tmpl[0]));
        Dir = tmpl;
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(Dir, ec);
    }

    TRun Run(const std::string& args)
    {
        TRun r;
        const fs::path out = Dir / "stdout.txt", err = Dir / "stderr.txt";
        const std::string cmd = std::string("'") + MKPAYLOAD_PATH + "' " + args + " >'" + out.string() + "' 2>'" +
                                err.string() + "'";
        const int status = std::system(cmd.c_str());
        r.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.Out = ReadAll(out);
        r.Err = ReadAll(err);
        fs::remove(out);
        fs::remove(err);
        return r;
    }

    TRun Pack(const std::string& manifest)
    {
        WriteAll(Dir / "payload.manifest", manifest);
        return Run("-o '" + Output().string() + "' '" + (Dir / "payload.manifest").string() + "'");
    }

    fs::path Output() const { return Dir / "FILES.bin"; }

    fs::path Dir;
};

}  // namespace

TEST_F(PackerTest, BadInputsFailWithAReasonAndLeaveNoOutput)
{
    const std::string name256(256, 'n');
    const struct {
        const char* Label;
        std::string Manifest;
        const char* Reason;
    } cases[] = {
        {"missing source", "a.txt\tmissing.txt\n", "line 1 (a.txt): cannot read source file"},
        {"source is a folder", "a.txt\tsub\n", "line 1 (a.txt): cannot read source file"},
        {"empty name", "\tsrc.txt\t2020-01-01 00:00:00\n", "line 1 (): the name is empty"},
        {"256-byte name", name256 + "\tsrc.txt\n", "the name is longer than 255 bytes"},
        {"duplicate name, case aside", "# logos\nLogo.bmp\tsrc.txt\n\nLOGO.BMP\tsrc.txt\n",
         "line 4 (LOGO.BMP): the name is already used by an earlier entry"},
        {"duplicate name, code page 1252 letters", "\xE6" "ble.txt\tsrc.txt\n\xC6" "BLE.TXT\tsrc.txt\n",
         "line 2 (\xC6" "BLE.TXT): the name is already used"},
        {"stated time in 1979", "a.txt\tsrc.txt\t1979-12-31 23:59:58\n", "the time lies outside 1980 to 2099"},
        {"stated time in 2100", "a.txt\tsrc.txt\t2100-01-01 00:00:00\n", "the time lies outside 1980 to 2099"},
        {"file's own time in 1975", "a.txt\told.txt\n", "line 1 (a.txt): the time lies outside 1980 to 2099"},
        {"30 February", "a.txt\tsrc.txt\t2024-02-30 10:00:00\n", "line 1: time must read YYYY-MM-DD HH:MM:SS"},
        {"29 February of a common year", "a.txt\tsrc.txt\t2023-02-29 10:00:00\n", "time must read"},
        {"time with trailing text", "a.txt\tsrc.txt\t2023-01-01 10:00:00Z\n", "time must read"},
        {"a fourth column", "a.txt\tsrc.txt\t2023-01-01 10:00:00\textra\n", "line 1: expected name, source"},
        {"name only", "a.txt\n", "line 1: expected name, source"},
        {"absolute, backslash", "\\abs.txt\tsrc.txt\n", "the name is absolute"},
        {"absolute, slash", "/abs.txt\tsrc.txt\n", "the name is absolute"},
        {"UNC path", "\\\\server\\share\\x.txt\tsrc.txt\n", "the name is absolute"},
        {"drive and root", "C:\\x.txt\tsrc.txt\n", "the name holds a \":\""},
        {"drive-relative", "C:x.txt\tsrc.txt\n", "the name holds a \":\""},
        {"stream name", "x.txt:secret\tsrc.txt\n", "the name holds a \":\""},
        {"\"..\" first", "..\\x.txt\tsrc.txt\n", "the name holds a \"..\" step"},
        {"\"..\" climbing out after a folder", "a\\..\\..\\x.txt\tsrc.txt\n", "the name holds a \"..\" step"},
        {"\"..\" with slashes", "a/../../x.txt\tsrc.txt\n", "the name holds a \"..\" step"},
        {"\"...\"", "...\\x.txt\tsrc.txt\n", "the name holds a \"..\" step"},
        {"\".. \" with a trailing space", "a\\.. \\..\\x\tsrc.txt\n", "the name holds a \"..\" step"},
        {"the name \"..\" itself", "..\tsrc.txt\n", "the name holds a \"..\" step"},
        {"empty folder step", "a\\\\x.txt\tsrc.txt\n", "the name holds an empty folder step"},
        {"trailing backslash", "folder\\\tsrc.txt\n", "the name holds an empty folder step"},
        {"NUL", "NUL\tsrc.txt\n", "the name holds the device name \"NUL\""},
        {"CON", "CON\tsrc.txt\n", "the name holds the device name \"CON\""},
        {"COM1", "COM1\tsrc.txt\n", "the name holds the device name \"COM1\""},
        {"nul with an extension", "nul.txt\tsrc.txt\n", "the name holds the device name \"nul.txt\""},
        {"device name as a folder", "sub\\Con\\x.dic\tsrc.txt\n", "the name holds the device name \"Con\""},
        {"LPT9 with an extension", "a\\LPT9.dat\tsrc.txt\n", "the name holds the device name \"LPT9.dat\""},
        {"AUX with a trailing space", "AUX .txt\tsrc.txt\n", "the name holds the device name \"AUX .txt\""},
        {"CONIN$", "CONIN$\tsrc.txt\n", "the name holds the device name \"CONIN$\""},
    };
    WriteAll(Dir / "src.txt", "data");
    WriteAll(Dir / "old.txt", "old");
    SetLocalMTime(Dir / "old.txt", 1975, 6, 1, 12, 0, 0);
    fs::create_directory(Dir / "sub");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        const TRun r = Pack(c.Manifest);
        EXPECT_EQ(1, r.ExitCode);
        EXPECT_EQ(0u, r.Err.find("mkpayload: " + (Dir / "payload.manifest").string() + ": ")) << r.Err;
        EXPECT_NE(std::string::npos, r.Err.find(c.Reason)) << r.Err;
        EXPECT_EQ("", r.Out);
        EXPECT_FALSE(fs::exists(Output()));
        EXPECT_FALSE(fs::exists(Output().string() + ".part"));
    }
}

TEST_F(PackerTest, FileOf2GiBIsRefused)
{
    {
        FILE* f = std::fopen((Dir / "big.bin").c_str(), "wb");
        ASSERT_NE(nullptr, f);
        const bool sparse = ::ftruncate(fileno(f), 1LL << 31) == 0;
        std::fclose(f);
        if (!sparse)
            GTEST_SKIP() << "no sparse file of 2 GiB here";
    }
    const TRun r = Pack("big.bin\tbig.bin\t2020-01-01 00:00:00\n");
    EXPECT_EQ(1, r.ExitCode);
    EXPECT_NE(std::string::npos, r.Err.find("line 1 (big.bin): the file is 2 GiB or larger")) << r.Err;
    EXPECT_FALSE(fs::exists(Output()));
}

TEST_F(PackerTest, RoundTripKeepsNamesSizesTimesAndData)
{
    std::string dll(70000, '\0');
    for (size_t i = 0; i < dll.size(); ++i)
        dll[i] = static_cast<char>((i * 2654435761u) >> 13);
    const std::string name255 = "Orthographe\\" + std::string(243, 'x');
    const struct {
        std::string Name, Source, Data, When;
        uint64_t TimeBits;  // 0: not checked bit for bit
        const char* Listed;
    } files[] = {
        // Odd seconds are rounded down to MS-DOS precision.
        {"License.txt", "License.txt", "License text\r\n", "\t2021-02-10 11:58:47", DoubleBits(44237.49914351852),
         "2021-02-10 11:58:46"},
        // No stated time: the file's own, in local time.
        {"hunspell.dll", "bin/hunspell.dll", dll, "", DoubleBits(41370.896689814814), "2013-04-06 21:31:14"},
        {"userdicda.tlx", "userdicda.tlx", "", "\t2003-08-10 12:10:04", DoubleBits(37843.50699074074),
         "2003-08-10 12:10:04"},
        {"Spellcheck\\Zeros.bin", "zeros.bin", std::string(1 << 19, '\0'), "\t2023-10-28 06:02:02",
         DoubleBits(45227.25141203704), "2023-10-28 06:02:02"},
        {"CONSOLE.txt", "c.txt", "not a device", "\t2000-02-29 23:59:59", 0, "2000-02-29 23:59:58"},
        {"COM10.txt", "c10.txt", "not a device either", "\t1980-01-01 00:00:00", 0, "1980-01-01 00:00:00"},
        {"a..b.txt", "ab.txt", "dots inside a name", "\t2099-12-31 23:59:59", 0, "2099-12-31 23:59:58"},
        {name255, "long.txt", "long name", "\t2019-04-12 03:37:30", DoubleBits(43567.151041666664),
         "2019-04-12 03:37:30"},
        {"Danish.thes", "Danish.thes", "last entry, ending the archive", "\t2023-12-27 17:00:24",
         DoubleBits(45287.70861111111), "2023-12-27 17:00:24"},
    };
    fs::create_directory(Dir / "bin");
    std::string manifest = "# name\tsource\ttime\n";
    for (const auto& f : files) {
        WriteAll(Dir / f.Source, f.Data);
        manifest += f.Name + "\t\t" + f.Source + f.When + "\r\n";
    }
    SetLocalMTime(Dir / "bin/hunspell.dll", 2013, 4, 6, 21, 31, 15);
    const TRun r = Pack(manifest);
    ASSERT_EQ(0, r.ExitCode) << r.Err;
    EXPECT_EQ("", r.Err);
    EXPECT_FALSE(fs::exists(Output().string() + ".part"));

    const std::string z = ReadAll(Output());
    ASSERT_GE(z.size(), 2u);
    EXPECT_EQ("\x78\xDA", z.substr(0, 2));
    int32_t size = 0;
    uint8_t* data = Archive::InflateBuffer(reinterpret_cast<const uint8_t*>(z.data()), static_cast<uint32_t>(z.size()),
                                           Archive::FirstEstimate(static_cast<uint32_t>(z.size())), size);
    const std::string raw(reinterpret_cast<const char*>(data), static_cast<size_t>(size));
    std::free(data);
    EXPECT_GT(raw.size(), 5 * z.size()) << "the payload must inflate beyond 5:1 to take the growth path";

    std::vector<Archive::TEntryInfo> entries;
    std::string error;
    ASSERT_TRUE(Archive::ParseEntries(reinterpret_cast<const uint8_t*>(raw.data()), raw.size(), entries, error))
        << error;
    ASSERT_EQ(std::size(files), entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const auto& f = files[i];
        const auto& e = entries[i];
        SCOPED_TRACE(f.Name);
        EXPECT_EQ(f.Name, e.Name);
        EXPECT_EQ(f.Data.size(), static_cast<size_t>(e.Size));
        EXPECT_TRUE(raw.compare(static_cast<size_t>(e.Offset), static_cast<size_t>(e.Size), f.Data) == 0);
        if (f.TimeBits) {
            EXPECT_EQ(f.TimeBits, DoubleBits(e.Time)) << std::to_string(e.Time);
        }
        // Every stored time sits at MS-DOS precision.
        uint16_t dosDate, dosTime;
        ASSERT_TRUE(DateTimeToDos(e.Time, dosDate, dosTime)) << e.Time;
        EXPECT_EQ(DoubleBits(e.Time), DoubleBits(DosToDateTime(dosDate, dosTime))) << e.Time;
    }
    EXPECT_EQ(entries[3].Offset, entries[2].Offset + 13 + static_cast<int32_t>(entries[3].Name.size()))
        << "a zero-size entry is followed at once by the next header";
    EXPECT_EQ(raw.size(), static_cast<size_t>(entries.back().Offset + entries.back().Size));

    // --list reads it back the same way.
    const TRun list = Run("--list '" + Output().string() + "'");
    ASSERT_EQ(0, list.ExitCode) << list.Err;
    std::vector<std::string> lines;
    std::istringstream in(list.Out);
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    ASSERT_EQ(std::size(files) + 2, lines.size()) << list.Out;
    EXPECT_EQ("# name size time stored double offset", Join(Words(lines[0])));
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(lines[i + 1]);
        const auto w = Words(lines[i + 1]);
        ASSERT_EQ(7u, w.size());
        EXPECT_EQ(std::to_string(i), w[0]);
        EXPECT_EQ(files[i].Name, w[1]);
        EXPECT_EQ(std::to_string(entries[i].Size), w[2]);
        EXPECT_EQ(files[i].Listed, w[3] + " " + w[4]);
        EXPECT_EQ(DoubleBits(entries[i].Time), DoubleBits(std::strtod(w[5].c_str(), nullptr)))
            << "the stored double is listed exactly";
        EXPECT_EQ(std::to_string(entries[i].Offset), w[6]);
    }
    EXPECT_EQ(std::to_string(entries.size()) + " entries, " + std::to_string(raw.size()) + " bytes inflated from " +
                  std::to_string(z.size()) + " bytes",
              lines.back());
}

TEST_F(PackerTest, ListRefusesADamagedOrMissingPayload)
{
    WriteAll(Dir / "a.txt", std::string(3000, 'a'));
    ASSERT_EQ(0, Pack("a.txt\ta.txt\t2020-01-01 00:00:00\n").ExitCode);
    std::string z = ReadAll(Output());
    z.back() = static_cast<char>(z.back() ^ 0x40);
    WriteAll(Dir / "damaged.bin", z);
    std::string extra;
    Archive::AppendEntry(extra, "a.txt", 1.0, "x");
    extra.pop_back();
    std::string shortEntry;
    ASSERT_TRUE(Archive::Compress(extra, 9, shortEntry));
    WriteAll(Dir / "short.bin", shortEntry);

    const struct {
        const char* Label;
        const char* File;
        const char* Reason;
    } cases[] = {
        {"Adler-32 mismatch", "damaged.bin", "damaged.bin: payload stream is damaged: incorrect data check"},
        {"entry running past the end", "short.bin", "short.bin: data of entry at offset 0 runs past the end"},
        {"no such file", "none.bin", "mkpayload: cannot read"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        const TRun r = Run(std::string("--list '") + (Dir / c.File).string() + "'");
        EXPECT_EQ(1, r.ExitCode);
        EXPECT_NE(std::string::npos, r.Err.find(c.Reason)) << r.Err;
        EXPECT_EQ("", r.Out);
    }
}
