// The archive format on the host: inflating one zlib stream into one buffer
// and indexing the inflated bytes into entries.
#include "payload/ArchiveFormat.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct TFree {
    void operator()(uint8_t* p) const { std::free(p); }
};
using TBuffer = std::unique_ptr<uint8_t, TFree>;

std::string Deflate(const std::string& raw, int level = 9)
{
    std::string out;
    EXPECT_TRUE(Archive::Compress(raw, level, out));
    return out;
}

// Inflates with the loaders' first capacity; the bytes as a string.
std::string Inflate(const std::string& compressed, uint32_t estimate)
{
    int32_t size = -1;
    TBuffer b(Archive::InflateBuffer(reinterpret_cast<const uint8_t*>(compressed.data()),
                                     static_cast<uint32_t>(compressed.size()), estimate, size));
    EXPECT_GE(size, 0);
    return std::string(reinterpret_cast<const char*>(b.get()), static_cast<size_t>(size));
}

std::string Inflate(const std::string& compressed)
{
    return Inflate(compressed, Archive::FirstEstimate(static_cast<uint32_t>(compressed.size())));
}

std::string Raw(const char* name, double time, int32_t size, const std::string& data)
{
    std::string a(1, static_cast<char>(std::strlen(name)));
    a += name;
    a.append(reinterpret_cast<const char*>(&time), 8);
    a.append(reinterpret_cast<const char*>(&size), 4);
    return a + data;
}

double BitsToDouble(uint64_t bits)
{
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

uint64_t DoubleBits(double d)
{
    uint64_t bits;
    std::memcpy(&bits, &d, 8);
    return bits;
}

bool Parse(const std::string& raw, std::vector<Archive::TEntryInfo>& entries, std::string& error)
{
    return Archive::ParseEntries(reinterpret_cast<const uint8_t*>(raw.data()), raw.size(), entries, error);
}

struct TExpected {
    std::string Name;
    int32_t Size;
    uint64_t TimeBits;
    int32_t Offset;
};

struct TGoodCase {
    const char* Label;
    std::string Raw;
    std::vector<TExpected> Entries;
};

}  // namespace

TEST(ArchiveParse, WellFormedArchivesIndexEveryEntry)
{
    std::string a;
    Archive::AppendEntry(a, "License.txt", 44237.49914351852, "lic");
    Archive::AppendEntry(a, "userdicda.tlx", 37843.50699074074, "");
    Archive::AppendEntry(a, "hunspell.dll", 41370.896689814814, "DLL!");
    std::string twice;
    Archive::AppendEntry(twice, "Logo.bmp", 1.0, "first");
    Archive::AppendEntry(twice, "LOGO.BMP", 2.0, "second");
    const std::string name255(255, 'n');
    std::string odd = Raw(name255.c_str(), BitsToDouble(0x7FF8000000000123ull), 1, "x") +
                      Raw("", BitsToDouble(0x8000000000000000ull), 0, "");

    const TGoodCase cases[] = {
        {"no entries", "", {}},
        {"zero-size entry between two, the next starting where its data would",
         a,
         {{"License.txt", 3, DoubleBits(44237.49914351852), 24},
          {"userdicda.tlx", 0, DoubleBits(37843.50699074074), 27 + 26},
          {"hunspell.dll", 4, DoubleBits(41370.896689814814), 53 + 25}}},
        {"zero-size entry last, ending exactly at the end",
         Raw("a", 3.5, 0, ""),
         {{"a", 0, DoubleBits(3.5), 14}}},
        {"two entries of the same name, both in archive order",
         twice,
         {{"Logo.bmp", 5, DoubleBits(1.0), 21}, {"LOGO.BMP", 6, DoubleBits(2.0), 26 + 21}}},
        {"255-byte name, a NaN time and an empty name with -0.0, kept bit for bit",
         odd,
         {{name255, 1, 0x7FF8000000000123ull, 268}, {"", 0, 0x8000000000000000ull, 269 + 13}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        std::vector<Archive::TEntryInfo> got;
        std::string error;
        ASSERT_TRUE(Parse(c.Raw, got, error)) << error;
        ASSERT_EQ(c.Entries.size(), got.size());
        for (size_t i = 0; i < got.size(); ++i) {
            SCOPED_TRACE("entry " + std::to_string(i));
            EXPECT_EQ(c.Entries[i].Name, got[i].Name);
            EXPECT_EQ(c.Entries[i].Size, got[i].Size);
            EXPECT_EQ(c.Entries[i].TimeBits, DoubleBits(got[i].Time)) << got[i].Time;
            EXPECT_EQ(c.Entries[i].Offset, got[i].Offset);
        }
        if (!got.empty()) {
            EXPECT_EQ(c.Raw.size(), static_cast<size_t>(got.back().Offset + got.back().Size));
        }
    }
}

TEST(ArchiveParse, MalformedArchivesAreRejectedWithTheirOffset)
{
    const std::string good = Raw("a.txt", 1.0, 2, "ok");
    const struct {
        const char* Label;
        std::string Raw;
        const char* Reason;
    } cases[] = {
        {"lone length byte", std::string(1, '\x05'), "entry header at offset 0 runs past the end"},
        {"name cut short", std::string("\x05" "ab", 3), "entry header at offset 0 runs past the end"},
        {"header one byte short of its size field", Raw("a", 1.0, 0, "").substr(0, 13),
         "entry header at offset 0 runs past the end"},
        {"second header cut short", good + "\x01" "b", "entry header at offset 20 runs past the end"},
        {"data one byte short", Raw("a", 1.0, 5, "four"), "data of entry at offset 0 runs past the end"},
        {"data of the second entry past the end", good + Raw("b", 1.0, 1, ""),
         "data of entry at offset 20 runs past the end"},
        {"size -1", Raw("a", 1.0, -1, ""), "entry at offset 0 has a negative size"},
        {"size 2^31 (INT32_MIN as stored)", Raw("a", 1.0, INT32_MIN, "xx"), "entry at offset 0 has a negative size"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        std::vector<Archive::TEntryInfo> got;
        std::string error;
        EXPECT_FALSE(Parse(c.Raw, got, error));
        EXPECT_EQ(c.Reason, error);
    }
}

TEST(ArchiveInflate, RoundTripsAtAnyRatio)
{
    std::string text;
    for (int i = 0; text.size() < 300000; ++i)
        text += "linje " + std::to_string(i * 7919 % 100003) + " ord\n";
    std::string noise(20000, '\0');
    uint32_t x = 12345;
    for (auto& ch : noise) {
        x = x * 1103515245 + 12345;
        ch = static_cast<char>(x >> 24);
    }
    const struct {
        const char* Label;
        std::string Raw;
    } cases[] = {
        {"empty stream", ""},
        {"one byte", "x"},
        {"text, below 5:1", noise + text.substr(0, 4000)},
        {"text, beyond 5:1", text},
        {"zeros, about 1000:1, many growth steps", std::string(1 << 20, '\0')},
        {"incompressible, larger than its input", noise},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        const std::string z = Deflate(c.Raw);
        ASSERT_GE(z.size(), 2u);
        EXPECT_EQ("\x78\xDA", z.substr(0, 2));
        const std::string pass = Inflate(z);
        EXPECT_EQ(c.Raw.size(), pass.size());
        EXPECT_TRUE(pass == c.Raw);
        // The same bytes as one pass into a buffer that holds everything.
        EXPECT_TRUE(Inflate(z, static_cast<uint32_t>(c.Raw.size() + 1)) == pass);
        // An estimate of 0 starts with one growth step.
        EXPECT_TRUE(Inflate(z, 0) == pass);
    }
}

TEST(ArchiveInflate, EmptyStreamIndexesToNoEntries)
{
    const std::string z = Deflate("");
    int32_t size = -1;
    TBuffer b(Archive::InflateBuffer(reinterpret_cast<const uint8_t*>(z.data()), static_cast<uint32_t>(z.size()),
                                     Archive::FirstEstimate(static_cast<uint32_t>(z.size())), size));
    EXPECT_EQ(0, size);
    std::vector<Archive::TEntryInfo> entries(1);
    std::string error;
    EXPECT_TRUE(Archive::ParseEntries(b.get(), 0, entries, error)) << error;
    EXPECT_TRUE(entries.empty());
}

TEST(ArchiveInflate, RejectedStreamsThrowPayloadError)
{
    std::string payload;
    Archive::AppendEntry(payload, "Danish.asc", 41370.03046296296, std::string(5000, 'd') + "end");
    const std::string z = Deflate(payload);
    std::string adler = z;
    adler.back() = static_cast<char>(adler.back() ^ 1);

    // A stream made with a preset dictionary (the FDICT bit set).
    std::string dict(256, '\0');
    {
        z_stream s{};
        ASSERT_EQ(Z_OK, deflateInit(&s, 9));
        ASSERT_EQ(Z_OK, deflateSetDictionary(&s, reinterpret_cast<const Bytef*>("Danish"), 6));
        s.next_in = reinterpret_cast<Bytef*>(payload.data());
        s.avail_in = static_cast<uInt>(payload.size());
        s.next_out = reinterpret_cast<Bytef*>(&dict[0]);
        s.avail_out = static_cast<uInt>(dict.size());
        ASSERT_EQ(Z_STREAM_END, deflate(&s, Z_FINISH));
        dict.resize(s.total_out);
        deflateEnd(&s);
    }
    std::string badData = z;
    badData[2] = static_cast<char>(0xFF);  // reserved block type 3

    const struct {
        const char* Label;
        std::string Stream;
        const char* Reason;
    } cases[] = {
        {"no bytes at all", "", "payload stream ends early"},
        {"header only", z.substr(0, 2), "payload stream ends early"},
        {"cut in the deflate data", z.substr(0, z.size() / 2), "payload stream ends early"},
        {"cut in the trailer", z.substr(0, z.size() - 2), "payload stream ends early"},
        {"Adler-32 mismatch", adler, "payload stream is damaged: incorrect data check"},
        {"bytes after the stream", z + "x", "bytes follow the payload stream"},
        {"a second stream after the first", z + z, "bytes follow the payload stream"},
        {"header check bits wrong", "\x78\xDB" + z.substr(2), "payload stream is damaged: incorrect header check"},
        {"compression method 7", "\x77\x85" + z.substr(2), "payload stream is damaged: unknown compression method"},
        {"window of 64 KiB", "\x88\x98" + z.substr(2), "payload stream is damaged: invalid window size"},
        {"preset dictionary", dict, "payload stream needs a preset dictionary"},
        {"invalid block type", badData, "payload stream is damaged: invalid block type"},
        {"not zlib at all", "PK\x03\x04 not a zlib stream", "payload stream is damaged: incorrect header check"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        int32_t size = -7;
        try {
            TBuffer b(Archive::InflateBuffer(reinterpret_cast<const uint8_t*>(c.Stream.data()),
                                             static_cast<uint32_t>(c.Stream.size()),
                                             Archive::FirstEstimate(static_cast<uint32_t>(c.Stream.size())), size));
            ADD_FAILURE() << "inflated to " << size << " bytes";
        } catch (const EPayloadError& e) {
            EXPECT_EQ(c.Reason, e.Message);
        }
        EXPECT_EQ(-7, size) << "the output size is not set on failure";
    }
}
