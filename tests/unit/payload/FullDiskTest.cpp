// A disk that fills up during the write: the short write is a failure that
// asks Abort/Retry/Ignore like any other. The drive is a 64 KiB tmpfs that
// the CTest fixture mounts and links into the prefix (see CMakeLists.txt).
#include "PayloadTestSupport.h"

using namespace ptest;

namespace {

constexpr char Root[] = FULL_DISK_DRIVE "\\";

std::string Pattern(size_t size)
{
    std::string data(size, '\0');
    for (size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>(i * 7 + i / 251);
    return data;
}

uint64_t FreeBytes()
{
    ULARGE_INTEGER free{};
    GetDiskFreeSpaceExA(Root, &free, nullptr, nullptr);
    return free.QuadPart;
}

}  // namespace

TEST(FullDisk, ShortWriteAsksAndRetryAfterSpaceIsFreedWrites)
{
    ULARGE_INTEGER total{};
    if (!GetDiskFreeSpaceExA(Root, nullptr, &total, nullptr))
        GTEST_SKIP() << "no full-disk drive " << Root << " (the fixture could not mount one)";
    ASSERT_LE(total.QuadPart, 64u * 1024) << "not the small fixture drive";

    const std::string ballast = std::string(Root) + "ballast.bin";
    const std::string path = std::string(Root) + "Spellcheck\\da_DK.dic";
    const std::string data = Pattern(40 * 1024);
    auto files = Load({{"da_DK.dic", 41370.02983796296, data}});
    const struct {
        const char* Label;
        int Answer;
        bool FreeSpace;  // delete the ballast before answering
        bool Result;
        bool Written;
    } cases[] = {
        {"Abort", IDABORT, false, false, false},
        {"Ignore", IDIGNORE, false, true, false},
        {"Retry after space is freed", IDRETRY, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        DeleteFileA(path.c_str());
        WriteFileBytes(ballast, std::string(32 * 1024, 'b'));
        ASSERT_LT(FreeBytes(), data.size()) << "the entry must not fit";
        bool result;
        size_t shown;
        std::vector<std::wstring> texts;
        {
            TBoxAnswerer boxes({{c.Answer, [&] {
                                     if (c.FreeSpace)
                                         DeleteFileA(ballast.c_str());
                                 }}});
            result = files->ExtractFile(files->Files[0].get(), "", path);
            shown = boxes.Texts.size();
            texts = boxes.Texts;
        }
        EXPECT_EQ(c.Result, result);
        ASSERT_EQ(1u, shown) << "one box for the one short write";
        EXPECT_EQ(CannotCreate(path), texts[0]);
        const std::string onDisk = ReadFileBytes(path);
        if (c.Written) {
            EXPECT_TRUE(onDisk == data) << "size " << onDisk.size();
            EXPECT_EQ("2013-04-06 00:42:58.000", LocalWriteTime(path));
        } else {
            // Created, then short of space: the partial file stays as the system left it.
            EXPECT_TRUE(Exists(path));
            EXPECT_LT(onDisk.size(), data.size());
        }
        DeleteFileA(ballast.c_str());
    }
    DeleteFileA(path.c_str());
    RemoveDirectoryA((std::string(Root) + "Spellcheck").c_str());
}
