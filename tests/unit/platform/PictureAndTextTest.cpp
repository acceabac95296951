// Loading pictures and text files into controls.
#include "platform/Application.h"
#include "platform/Bitmap.h"
#include "platform/ControlRegistry.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>

namespace {
// A bottom-up 24-bit bitmap file, w x h, every pixel (b, g, r).
std::string MakeBmp(int w, int h, uint8_t b = 0, uint8_t g = 0, uint8_t r = 255)
{
    const int stride = (w * 3 + 3) / 4 * 4;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(stride * h);
    std::string file(reinterpret_cast<const char*>(&fh), sizeof fh);
    file.append(reinterpret_cast<const char*>(&ih), sizeof ih);
    std::string row(static_cast<size_t>(stride), '\0');
    for (int x = 0; x < w; ++x) {
        row[static_cast<size_t>(x * 3)] = static_cast<char>(b);
        row[static_cast<size_t>(x * 3 + 1)] = static_cast<char>(g);
        row[static_cast<size_t>(x * 3 + 2)] = static_cast<char>(r);
    }
    for (int y = 0; y < h; ++y)
        file += row;
    return file;
}

template <typename T>
void Poke(std::string& s, size_t at, T v)
{
    std::memcpy(&s[at], &v, sizeof v);
}

std::wstring TempPath(const wchar_t* name)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

void WriteFile(const std::wstring& path, const std::string& data)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(h);
}

const TControlDef Rows[] = {
    {"TPanel", "Band", "", 0, 0, 200, 100, {.Id = 1, .Color = 0xFFFFFF}},
    {"TImage", "Picture", "Band", 10, 10, 40, 40, {.Id = 2}},
    {"TMemo", "Memo", "", 0, 100, 200, 100, {.Id = 3, .ReadOnly = true, .WordWrap = true, .VertScrollBar = true}},
};
const TFormDef Layout{200, 200, 13, "", Rows, 3};

class THost : public TForm {
public:
    THost() : TForm("TPictureHost") { CreateFromLayout(Layout); }
};

class ControlFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        InitCommonControlsRuntime();
        RegisterControlClasses();
    }
    void SetUp() override { Host = std::make_unique<THost>(); }
    void TearDown() override { DeleteFileW(Path.c_str()); }
    std::unique_ptr<THost> Host;
    std::wstring Path = TempPath(L"~ui-control-test.tmp");
};
}  // namespace

TEST(LoadBitmapFromBytes, AcceptsWholeBitmapsAndRejectsDamagedOnes)
{
    HBITMAP ok = LoadBitmapFromBytes(MakeBmp(32, 32));
    BITMAP bm{};
    GetObjectA(ok, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 32);
    EXPECT_EQ(bm.bmHeight, 32);
    DeleteObject(ok);

    struct TRow {
        const char* Label;
        std::string File;
    };
    std::string truncated = MakeBmp(32, 32);
    truncated.resize(truncated.size() - 1);
    std::string huge = MakeBmp(4, 4);
    Poke<int32_t>(huge, 18, 30000);  // width far past the pixel data
    std::string badOffset = MakeBmp(4, 4);
    Poke<uint32_t>(badOffset, 10, 0x7FFFFFF0);
    std::string badBits = MakeBmp(4, 4);
    Poke<uint16_t>(badBits, 28, 7);
    std::string badHeader = MakeBmp(4, 4);
    Poke<uint32_t>(badHeader, 14, 20);
    std::string zeroWidth = MakeBmp(4, 4);
    Poke<int32_t>(zeroWidth, 18, 0);
    std::string tooManyColors = MakeBmp(4, 4);
    Poke<uint16_t>(tooManyColors, 28, 8);
    Poke<uint32_t>(tooManyColors, 46, 300);
    const TRow rows[] = {
        {"empty file", ""},
        {"text file", "This is not a picture at all."},
        {"signature only", "BM"},
        {"one byte short of its pixels", truncated},
        {"width larger than the data", huge},
        {"pixel offset past the end", badOffset},
        {"7 bits per pixel", badBits},
        {"unknown header size", badHeader},
        {"zero width", zeroWidth},
        {"colour table larger than 8 bits allow", tooManyColors},
    };
    for (const TRow& r : rows)
        EXPECT_THROW(DeleteObject(LoadBitmapFromBytes(r.File)), EInvalidGraphic) << r.Label;
}

TEST_F(ControlFiles, ImageLoadsAFileAndReportsMissingOrInvalidOnes)
{
    auto* image = Host->Control<TImage>("Picture");
    EXPECT_THROW(image->LoadFromFile(TempPath(L"~ui-no-such-file.bmp")), EAbort);
    WriteFile(Path, MakeBmp(32, 32));
    image->LoadFromFile(Path);
    ASSERT_NE(image->Bitmap(), nullptr);
    HBITMAP loaded = image->Bitmap();
    WriteFile(Path, "not a bitmap");
    EXPECT_THROW(image->LoadFromFile(Path), EInvalidGraphic);
    EXPECT_EQ(image->Bitmap(), loaded) << "a failed load must keep the picture";

    // A file held open without sharing cannot be opened as a stream.
    HANDLE locked = CreateFileW(Path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_THROW(image->LoadFromFile(Path), EAbort);
    CloseHandle(locked);
}

TEST_F(ControlFiles, MemoShowsTheTextWithItsLineBreaks)
{
    auto* memo = Host->Control<TMemo>("Memo");
    EXPECT_EQ(memo->LineCount(), 0);
    WriteFile(Path, std::string("first\r\nsecond\rthird\nfourth\0hidden", 33));
    memo->LoadFromFile(Path);
    EXPECT_EQ(memo->Caption(), "first\r\nsecond\r\nthird\r\nfourth");
    EXPECT_EQ(memo->LineCount(), 4);
    WriteFile(Path, "one\r\n");
    memo->LoadFromFile(Path);
    EXPECT_EQ(memo->LineCount(), 1) << "a last empty line counts as none";
    EXPECT_THROW(memo->LoadFromFile(TempPath(L"~ui-no-such-file.txt")), EAbort);
    EXPECT_EQ(memo->Caption(), "one\r\n");
}
