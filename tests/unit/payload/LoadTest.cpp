// Loading: the embedded resource inflated and indexed, payloads in memory,
// rejected payloads, and the clean-up that ends the object's life.
#include "PayloadTestSupport.h"

#include "platform/Errors.h"
#include "utils/InstUtils.h"

#include <cstring>

using namespace ptest;

namespace {

// Every test program of the tree shares one temporary folder: the clean-up
// of temporary files that each payload does when freed stays in one of ours.
class TOwnTempFolder : public ::testing::Environment {
public:
    void SetUp() override
    {
        Dir = TempRoot() + "unit_payload_" + std::to_string(GetCurrentProcessId()) + "_tmp";
        CreateDirectoryA(Dir.c_str(), nullptr);
        SetEnvironmentVariableA("TMP", Dir.c_str());
        SetEnvironmentVariableA("TEMP", Dir.c_str());
        InitSpecialFolderLookup();
    }
    void TearDown() override { RemoveTree(Dir); }
    std::string Dir;
};

TOwnTempFolder* const OwnTempFolder =
    static_cast<TOwnTempFolder*>(::testing::AddGlobalTestEnvironment(new TOwnTempFolder));

uint64_t Bits(double d)
{
    uint64_t b;
    std::memcpy(&b, &d, 8);
    return b;
}

}  // namespace

TEST(EmbeddedPayload, LoadsEveryEntryInArchiveOrder)
{
    EXPECT_EQ(nullptr, AttachedFiles) << "start-up sets the one payload, nothing else does";
    const struct {
        const char* Name;
        double Time;
    } expected[] = {
        {"License.txt", 44237.49914351852},   {"hunspell.dll", 41370.896689814814},
        {"Danish.asc", 41370.03046296296},    {"userdicda.tlx", 37843.50699074074},
        {"da_DK.dic", 41370.02983796296},     {"da_DK.aff", 41370.02967592593},
        {"Danish.hyph", 45227.25141203704},   {"Danish.thes", 45287.70861111111},
        {"Logo.bmp", 40596.60747685185},      {"LogoSmall.bmp", 43567.151041666664},
    };
    TAttachedFiles files;
    ASSERT_EQ(std::size(expected), files.Files.size());
    int32_t next = 0;  // where the next entry starts
    for (size_t i = 0; i < files.Files.size(); ++i) {
        const TAttachedFile& f = *files.Files[i];
        SCOPED_TRACE(expected[i].Name);
        EXPECT_EQ(expected[i].Name, f.Name);
        EXPECT_EQ(Bits(expected[i].Time), Bits(f.Time)) << f.Time;
        EXPECT_EQ(next + 13 + static_cast<int32_t>(f.Name.size()), f.Offset);
        const std::string source = ReadFileBytes(std::string(PAYLOAD_FIXTURE_DIR "/files/") + expected[i].Name);
        ASSERT_EQ(source.size(), static_cast<size_t>(f.Size));
        EXPECT_EQ(source, std::string(reinterpret_cast<const char*>(files.Data + f.Offset), source.size()));
        next = f.Offset + f.Size;
    }
    EXPECT_EQ(next, files.DataSize) << "the last entry ends the archive";
    EXPECT_EQ(0, files.Files[3]->Size) << "userdicda.tlx";
    EXPECT_TRUE(files.Queues[0].empty());
    EXPECT_TRUE(files.PublicFiles.empty());
    EXPECT_FALSE(files.ReplaceAll);
}

TEST(EmbeddedPayload, ResourceIsReadInPlaceWhole)
{
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(GetResourceData("FILES", "FILES", data, size));
    const std::string packed = ReadFileBytes("Z:" TEST_PAYLOAD_PATH);
    ASSERT_EQ(packed.size(), size);
    EXPECT_EQ(packed, std::string(reinterpret_cast<const char*>(data), size));
    EXPECT_EQ(GetModuleHandleA(nullptr), [&] {
        HMODULE owner = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<const char*>(data), &owner);
        return owner;
    }()) << "the bytes lie in the program's own image";

    EXPECT_FALSE(GetResourceData("NOSUCH", "FILES", data, size));
    EXPECT_FALSE(GetResourceData("FILES", "BITMAPS", data, size));
}

TEST(PayloadInMemory, IndexesEdgeCases)
{
    const struct {
        const char* Label;
        std::vector<TRawEntry> Entries;
    } cases[] = {
        {"empty stream", {}},
        {"zero-size entries first and last", {{"a", 1.0, ""}, {"b", 2.0, "bb"}, {"c", 3.0, ""}}},
        {"two entries of one name, both kept in order", {{"Logo.bmp", 1.0, "one"}, {"LOGO.BMP", 2.0, "two"}}},
        {"beyond 5:1, growing the buffer", {{"zeros", 4.0, std::string(3 << 20, '\0')}, {"tail", 5.0, "end"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        auto files = Load(c.Entries);
        ASSERT_EQ(c.Entries.size(), files->Files.size());
        int32_t next = 0;
        for (size_t i = 0; i < c.Entries.size(); ++i) {
            const TAttachedFile& f = *files->Files[i];
            EXPECT_EQ(c.Entries[i].Name, f.Name);
            EXPECT_EQ(Bits(c.Entries[i].Time), Bits(f.Time));
            EXPECT_EQ(next + 13 + static_cast<int32_t>(f.Name.size()), f.Offset);
            ASSERT_EQ(c.Entries[i].Data.size(), static_cast<size_t>(f.Size));
            EXPECT_TRUE(std::memcmp(files->Data + f.Offset, c.Entries[i].Data.data(), c.Entries[i].Data.size()) == 0);
            next = f.Offset + f.Size;
        }
        EXPECT_EQ(next, files->DataSize);
    }
}

TEST(PayloadInMemory, RejectedPayloadsThrowPayloadError)
{
    const std::string good = Compressed({{"License.txt", 1.0, std::string(4000, 'L')}});
    std::string adler = good;
    adler.back() = static_cast<char>(adler.back() ^ 0x10);
    std::string raw, negative, pastEnd, cutHeader;
    Archive::AppendEntry(raw, "a.txt", 1.0, "data");
    std::string neg = raw;
    const int32_t minusOne = -1;
    std::memcpy(&neg[1 + 5 + 8], &minusOne, 4);
    Archive::Compress(neg, 9, negative);
    Archive::Compress(raw.substr(0, raw.size() - 1), 9, pastEnd);
    Archive::Compress(raw + "\x03" "ab", 9, cutHeader);

    const struct {
        const char* Label;
        std::string Stream;
        const char* Message;
    } cases[] = {
        {"not a zlib stream", "garbage!", "payload stream is damaged: incorrect header check"},
        {"ends early", good.substr(0, good.size() / 2), "payload stream ends early"},
        {"no bytes", "", "payload stream ends early"},
        {"Adler-32 mismatch", adler, "payload stream is damaged: incorrect data check"},
        {"bytes after the stream", good + std::string(1, '\0'), "bytes follow the payload stream"},
        {"negative size", negative, "the payload archive is malformed: entry at offset 0 has a negative size"},
        {"data past the end", pastEnd, "the payload archive is malformed: data of entry at offset 0 runs past the end"},
        {"header past the end", cutHeader,
         "the payload archive is malformed: entry header at offset 22 runs past the end"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        try {
            TAttachedFiles files(reinterpret_cast<const uint8_t*>(c.Stream.data()),
                                 static_cast<uint32_t>(c.Stream.size()));
            ADD_FAILURE() << "loaded " << files.Files.size() << " entries";
        } catch (const EPayloadError& e) {
            EXPECT_EQ(c.Message, e.Message);
        }
    }
}

TEST(PayloadLifetime, FreeingCleansTheTemporaryFilesLast)
{
    const std::string tempDir = GetTempDir();
    ASSERT_EQ(OwnTempFolder->Dir + "\\", tempDir);
    auto files = Load({{"Logo.bmp", 1.0, "BM"}});
    // As the wizard does: an entry extracted to a temporary file.
    const std::string logo = MakeTempFileName();
    ASSERT_TRUE(files->ExtractFile(nullptr, "Logo.bmp", logo));
    const std::string folder = tempDir + TempPrefix() + "folder";
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteFileBytes(folder + "\\inner.txt", "x");
    const std::string other = tempDir + "keep.txt";
    WriteFileBytes(other, "stays");
    files.reset();
    EXPECT_FALSE(Exists(logo)) << logo;
    EXPECT_FALSE(Exists(folder)) << folder;
    EXPECT_EQ("stays", ReadFileBytes(other));
    DeleteFileA(other.c_str());
}
