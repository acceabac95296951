#include "platform/Bitmap.h"

#include "platform/Errors.h"

#include <cstdint>
#include <cstring>

namespace {
template <typename T>
T Read(const std::string& s, size_t at)
{
    T v;
    std::memcpy(&v, s.data() + at, sizeof v);
    return v;
}

[[noreturn]] void Invalid()
{
    throw EInvalidGraphic("not a valid bitmap");
}
}  // namespace

HBITMAP LoadBitmapFromBytes(const std::string& file)
{
    constexpr size_t fileHeader = sizeof(BITMAPFILEHEADER);  // 14
    if (file.size() < fileHeader + sizeof(DWORD) || file[0] != 'B' || file[1] != 'M')
        Invalid();
    const uint32_t infoSize = Read<uint32_t>(file, fileHeader);
    if ((infoSize != sizeof(BITMAPCOREHEADER) && infoSize < sizeof(BITMAPINFOHEADER)) ||
        infoSize > file.size() - fileHeader)
        Invalid();

    int64_t width, height;
    uint32_t planes, bits, compression = BI_RGB, colorsUsed = 0, imageSize = 0;
    size_t colorEntry;
    if (infoSize == sizeof(BITMAPCOREHEADER)) {
        width = Read<uint16_t>(file, fileHeader + 4);
        height = Read<uint16_t>(file, fileHeader + 6);
        planes = Read<uint16_t>(file, fileHeader + 8);
        bits = Read<uint16_t>(file, fileHeader + 10);
        colorEntry = sizeof(RGBTRIPLE);
    } else {
        width = Read<int32_t>(file, fileHeader + 4);
        height = Read<int32_t>(file, fileHeader + 8);
        planes = Read<uint16_t>(file, fileHeader + 12);
        bits = Read<uint16_t>(file, fileHeader + 14);
        compression = Read<uint32_t>(file, fileHeader + 16);
        imageSize = Read<uint32_t>(file, fileHeader + 20);
        colorsUsed = Read<uint32_t>(file, fileHeader + 32);
        colorEntry = sizeof(RGBQUAD);
    }
    const int64_t rows = height < 0 ? -height : height;
    if (planes != 1 || width <= 0 || rows == 0 || width > 32768 || rows > 32768)
        Invalid();
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        Invalid();

    // Colour table, and the masks that follow a plain info header for bit fields.
    uint64_t tableBytes = 0;
    if (bits <= 8) {
        const uint32_t maxColors = 1u << bits;
        if (colorsUsed > maxColors)
            Invalid();
        tableBytes = uint64_t(colorsUsed ? colorsUsed : maxColors) * colorEntry;
    } else if (compression == BI_BITFIELDS && infoSize == sizeof(BITMAPINFOHEADER)) {
        tableBytes = 3 * sizeof(DWORD);
    }
    const uint64_t headerEnd = fileHeader + infoSize + tableBytes;
    uint64_t bitsOffset = Read<uint32_t>(file, 10);
    if (bitsOffset == 0)
        bitsOffset = headerEnd;
    if (bitsOffset < headerEnd || bitsOffset > file.size())
        Invalid();

    uint64_t needed;
    if (compression == BI_RGB || compression == BI_BITFIELDS) {
        if (compression == BI_BITFIELDS && bits != 16 && bits != 32)
            Invalid();
        needed = (uint64_t(width) * bits + 31) / 32 * 4 * uint64_t(rows);
    } else if ((compression == BI_RLE8 && bits == 8) || (compression == BI_RLE4 && bits == 4)) {
        if (height < 0 || imageSize == 0)
            Invalid();
        needed = imageSize;
    } else {
        Invalid();
    }
    if (needed > file.size() - bitsOffset)
        Invalid();

    // The info header is copied so that it is aligned whatever the file offset.
    std::string info(file.data() + fileHeader, static_cast<size_t>(headerEnd - fileHeader));
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, reinterpret_cast<const BITMAPINFOHEADER*>(info.data()), CBM_INIT,
                                    file.data() + bitsOffset, reinterpret_cast<const BITMAPINFO*>(info.data()),
                                    DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (!bitmap)
        Invalid();
    return bitmap;
}
