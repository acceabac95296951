// The Zopfli payload: the setup inflates it with the same code as a zlib
// level 9 payload, so it must be one zlib stream of the same shape that gives
// back exactly the archive bytes.
#include "Packer.h"
#include "Zopfli.h"
#include "payload/ArchiveFormat.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

namespace fs = std::filesystem;

namespace {

// An archive with the kinds of data the real payload holds: text that
// compresses well, bytes that do not, and an empty file; large enough for
// several deflate blocks, small enough for Zopfli to take a moment only.
std::string SampleArchive()
{
    std::string text;
    for (int i = 0; text.size() < 150000; ++i)
        text += "ord" + std::to_string(i * 7919 % 100003) + "/ABC\r\n";
    std::mt19937 rng(1);
    std::string noise(40000, '\0');
    for (auto& c : noise)
        c = static_cast<char>(rng());
    std::string archive;
    Archive::AppendEntry(archive, "License.txt", 47000.5, "License text\r\n");
    Archive::AppendEntry(archive, "da_DK.dic", 41370.02983796296, text);
    Archive::AppendEntry(archive, "userdicda.tlx", 37843.50699074074, "");
    Archive::AppendEntry(archive, "hunspell.dll", 41370.896689814814, noise);
    return archive;
}

const std::string& Sample()
{
    static const std::string archive = SampleArchive();
    return archive;
}

// Zopfli is slow; the sample is compressed once for all the tests.
const std::string& SampleZopfli()
{
    static const std::string z = [] {
        std::string out;
        return Packer::CompressZopfli(Sample(), 1, out) ? out : std::string();
    }();
    return z;
}

TEST(Zopfli, IsOneZlibStreamWithA32KiBWindowAndTheLevel9Header)
{
    const std::string& z = SampleZopfli();
    ASSERT_GE(z.size(), 6u);
    const auto cmf = static_cast<unsigned char>(z[0]), flg = static_cast<unsigned char>(z[1]);
    EXPECT_EQ(0x78, cmf);  // deflate, 32 KiB window
    EXPECT_EQ(0xDA, flg);  // no preset dictionary, maximum-compression level
    EXPECT_EQ(0, (cmf * 256 + flg) % 31);
}

TEST(Zopfli, InflatesByteForByteToTheArchiveThatLevel9Gives)
{
    const std::string& z = SampleZopfli();
    std::string nine, fromZ, fromNine, error;
    ASSERT_FALSE(z.empty());
    ASSERT_TRUE(Archive::Compress(Sample(), 9, nine));
    // The setup's own inflater, which also refuses bytes after the stream.
    ASSERT_TRUE(Packer::InflatePayload(z, fromZ, error)) << error;
    ASSERT_TRUE(Packer::InflatePayload(nine, fromNine, error)) << error;
    EXPECT_TRUE(fromZ == Sample());
    EXPECT_TRUE(fromZ == fromNine);

    std::vector<Archive::TEntryInfo> entries;
    ASSERT_TRUE(Archive::ParseEntries(reinterpret_cast<const uint8_t*>(fromZ.data()), fromZ.size(), entries, error));
    ASSERT_EQ(4u, entries.size());
    EXPECT_EQ("userdicda.tlx", entries[2].Name);
    EXPECT_EQ(0, entries[2].Size);
}

TEST(Zopfli, IsSmallerThanLevel9)
{
    const std::string& z = SampleZopfli();
    std::string nine;
    ASSERT_FALSE(z.empty());
    ASSERT_TRUE(Archive::Compress(Sample(), 9, nine));
    EXPECT_LT(z.size(), nine.size());
}

TEST(Zopfli, EmptyArchiveGivesAStreamThatInflatesToNothing)
{
    std::string z, raw = "x", error;
    ASSERT_TRUE(Packer::CompressZopfli("", 1, z));
    ASSERT_TRUE(Packer::InflatePayload(z, raw, error)) << error;
    EXPECT_TRUE(raw.empty());
}

TEST(Zopfli, RefusesZeroIterations)
{
    std::string z;
    EXPECT_FALSE(Packer::CompressZopfli(Sample(), 0, z));
}

std::string ReadAll(const fs::path& path)
{
    std::string data;
    Packer::ReadWholeFile(path.string(), data);
    return data;
}

class ZopfliPacker : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string tmpl = (fs::temp_directory_path() / "mkpayload-zopfli-XXXXXX").string();
        ASSERT_NE(nullptr, ::mkdtemp(&tmpl[0]));
        Dir = tmpl;
        std::FILE* f = std::fopen((Dir / "a.txt").c_str(), "wb");
        ASSERT_NE(nullptr, f);
        for (int i = 0; i < 2000; ++i)
            std::fprintf(f, "line %d of the sample\n", i % 97);
        std::fclose(f);
        f = std::fopen((Dir / "m").c_str(), "wb");
        ASSERT_NE(nullptr, f);
        std::fputs("a.txt\ta.txt\t2020-01-02 03:04:06\nb.txt\ta.txt\t2021-05-06 07:08:10\n", f);
        std::fclose(f);
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(Dir, ec);
    }
    int Run(const std::string& args)
    {
        const std::string cmd = std::string("'") + MKPAYLOAD_PATH + "' " + args + " >/dev/null 2>&1";
        const int status = std::system(cmd.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string P(const char* name) const { return "'" + (Dir / name).string() + "'"; }
    fs::path Dir;
};

TEST_F(ZopfliPacker, ZopfliAndLevel9BuildsOfOneManifestCarryTheSameArchive)
{
    ASSERT_EQ(0, Run("--zopfli --zopfli-iterations 2 --raw " + P("z.raw") + " -o " + P("z.bin") + " " + P("m")));
    ASSERT_EQ(0, Run("--level 9 -o " + P("9.bin") + " " + P("m")));
    ASSERT_EQ(0, Run("--list " + P("z.bin") + " --raw " + P("z.back")));
    ASSERT_EQ(0, Run("--list " + P("9.bin") + " --raw " + P("9.back")));
    const std::string raw = ReadAll(Dir / "z.raw");
    ASSERT_FALSE(raw.empty());
    EXPECT_TRUE(raw == ReadAll(Dir / "z.back"));
    EXPECT_TRUE(raw == ReadAll(Dir / "9.back"));
    EXPECT_LT(fs::file_size(Dir / "z.bin"), fs::file_size(Dir / "9.bin"));
}

TEST_F(ZopfliPacker, RefusesALevelBesideZopfliAndBadIterationCounts)
{
    EXPECT_NE(0, Run("--zopfli --level 9 -o " + P("o.bin") + " " + P("m")));
    EXPECT_NE(0, Run("--zopfli-iterations 0 -o " + P("o.bin") + " " + P("m")));
    EXPECT_NE(0, Run("--zopfli-iterations x -o " + P("o.bin") + " " + P("m")));
    EXPECT_FALSE(fs::exists(Dir / "o.bin"));
}

}  // namespace
