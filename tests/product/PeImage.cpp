#include "PeImage.h"

#include <cstring>

namespace {

bool Read16(const std::string& s, uint64_t at, uint16_t& v)
{
    if (at + 2 > s.size())
        return false;
    v = static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8);
    return true;
}

bool Read32(const std::string& s, uint64_t at, uint32_t& v)
{
    if (at + 4 > s.size())
        return false;
    v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<uint8_t>(s[at + i]);
    return true;
}

bool Fail(std::string& error, const std::string& what)
{
    error = what;
    return false;
}

}  // namespace

bool TPeImage::Load(std::string bytes, std::string& error)
{
    File = std::move(bytes);
    uint32_t pe = 0;
    if (File.compare(0, 2, "MZ") != 0 || !Read32(File, 0x3c, pe) || File.compare(pe, 4, std::string("PE\0\0", 4)) != 0)
        return Fail(error, "no PE signature");
    const uint64_t coff = pe + 4;
    uint16_t sectionCount = 0, optionalSize = 0;
    if (!Read16(File, coff, Machine) || !Read16(File, coff + 2, sectionCount) || !Read32(File, coff + 4, TimeDateStamp) ||
        !Read32(File, coff + 8, SymbolTable) || !Read32(File, coff + 12, SymbolCount) ||
        !Read16(File, coff + 16, optionalSize) || !Read16(File, coff + 18, Characteristics))
        return Fail(error, "short COFF header");
    const uint64_t opt = coff + 20;
    if (!Read16(File, opt, Magic) || (Magic != 0x10b && Magic != 0x20b))
        return Fail(error, "unknown optional header");
    Is64 = Magic == 0x20b;
    uint32_t dirCount = 0;
    const uint64_t dirs = opt + (Is64 ? 112 : 96);
    if (!Read16(File, opt + 68, Subsystem) || !Read16(File, opt + 70, DllCharacteristics) || !Read32(File, dirs - 4, dirCount) || dirs + 8ull * dirCount > opt + optionalSize)
        return Fail(error, "short optional header");

    for (uint16_t i = 0; i < sectionCount; ++i) {
        const uint64_t h = opt + optionalSize + 40ull * i;
        if (h + 40 > File.size())
            return Fail(error, "short section table");
        std::string name = File.substr(h, 8);
        name.resize(std::strlen(name.c_str()));
        TSection s{};
        Read32(File, h + 8, s.VirtualSize);
        Read32(File, h + 12, s.Rva);
        Read32(File, h + 16, s.RawSize);
        Read32(File, h + 20, s.FileOffset);
        SectionNames.push_back(name);
        Sections.push_back(s);
    }

    auto directory = [&](uint32_t index, uint32_t& rva) {
        rva = 0;
        return index >= dirCount || Read32(File, dirs + 8ull * index, rva);
    };
    uint32_t exportRva = 0, importRva = 0, resourceRva = 0;
    directory(0, exportRva);
    directory(1, importRva);
    directory(2, resourceRva);
    directory(13, DelayImportRva);
    if (dirCount > 5 && !Read32(File, dirs + 8ull * 5 + 4, RelocationSize))
        return Fail(error, "short optional header");
    return (!exportRva || ReadExports(exportRva, error)) && (!importRva || ReadImports(importRva, error)) &&
           (!resourceRva || ReadResources(resourceRva, error));
}

bool TPeImage::RvaToOffset(uint32_t rva, uint32_t size, uint32_t& offset) const
{
    for (const TSection& s : Sections) {
        if (rva >= s.Rva && static_cast<uint64_t>(rva) + size <= static_cast<uint64_t>(s.Rva) + s.RawSize) {
            offset = s.FileOffset + (rva - s.Rva);
            return static_cast<uint64_t>(offset) + size <= File.size();
        }
    }
    return false;
}

bool TPeImage::CString(uint32_t rva, std::string& out) const
{
    uint32_t at = 0;
    if (!RvaToOffset(rva, 1, at))
        return false;
    const size_t end = File.find('\0', at);
    if (end == std::string::npos)
        return false;
    out = File.substr(at, end - at);
    return true;
}

bool TPeImage::ReadImports(uint32_t rva, std::string& error)
{
    for (uint32_t i = 0;; ++i) {
        uint32_t d = 0, lookup = 0, nameRva = 0, thunks = 0;
        if (!RvaToOffset(rva + 20 * i, 20, d))
            return Fail(error, "import directory outside the sections");
        Read32(File, d, lookup);
        Read32(File, d + 12, nameRva);
        Read32(File, d + 16, thunks);
        if (!nameRva)
            return true;
        TPeImport imp;
        if (!CString(nameRva, imp.Dll))
            return Fail(error, "import name outside the sections");
        const uint32_t width = Is64 ? 8 : 4;
        for (uint32_t t = lookup ? lookup : thunks;; t += width) {
            uint32_t at = 0, low = 0, high = 0;
            if (!RvaToOffset(t, width, at))
                return Fail(error, "import thunks outside the sections");
            Read32(File, at, low);
            if (Is64)
                Read32(File, at + 4, high);
            if (!low && !high)
                break;
            const bool byOrdinal = Is64 ? (high & 0x80000000u) != 0 : (low & 0x80000000u) != 0;
            std::string fn;
            if (byOrdinal)
                fn = "#" + std::to_string(low & 0xffff);
            else if (!CString(low + 2, fn))
                return Fail(error, "import hint outside the sections");
            imp.Functions.push_back(fn);
        }
        Imports.push_back(std::move(imp));
    }
}

bool TPeImage::ReadExports(uint32_t rva, std::string& error)
{
    uint32_t d = 0, count = 0, names = 0;
    if (!RvaToOffset(rva, 40, d))
        return Fail(error, "export directory outside the sections");
    Read32(File, d + 4, ExportTimeDateStamp);
    Read32(File, d + 24, count);
    Read32(File, d + 32, names);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t at = 0, nameRva = 0;
        std::string name;
        if (!RvaToOffset(names + 4 * i, 4, at) || !Read32(File, at, nameRva) || !CString(nameRva, name))
            return Fail(error, "export names outside the sections");
        Exports.push_back(name);
    }
    return true;
}

bool TPeImage::ReadResources(uint32_t rva, std::string& error)
{
    ResourceBase = rva;
    TPeResource path;
    return ReadResourceDir(rva, 0, 0, path, error);
}

// Three levels: type, name, language; entries with the high bit point to a
// subdirectory, names with the high bit to a counted UTF-16 string.
bool TPeImage::ReadResourceDir(uint32_t base, uint32_t dir, int level, TPeResource& path, std::string& error)
{
    uint32_t d = 0;
    uint16_t named = 0, numbered = 0;
    if (level > 2 || !RvaToOffset(base + dir, 16, d) || !Read16(File, d + 12, named) || !Read16(File, d + 14, numbered))
        return Fail(error, "resource directory outside the sections");
    for (uint32_t i = 0; i < 0u + named + numbered; ++i) {
        uint32_t e = 0, id = 0, target = 0;
        if (!RvaToOffset(base + dir + 16 + 8 * i, 8, e))
            return Fail(error, "resource entry outside the sections");
        Read32(File, e, id);
        Read32(File, e + 4, target);
        TResId key = TResId::Number(static_cast<uint16_t>(id));
        if (id & 0x80000000u) {
            uint32_t s = 0;
            uint16_t length = 0;
            if (!RvaToOffset(base + (id & 0x7fffffffu), 2, s) || !Read16(File, s, length) ||
                !RvaToOffset(base + (id & 0x7fffffffu), 2 + 2u * length, s))
                return Fail(error, "resource name outside the sections");
            key = TResId::Named({});
            for (uint16_t c = 0; c < length; ++c) {
                uint16_t ch = 0;
                Read16(File, s + 2 + 2u * c, ch);
                key.Name += ch < 0x80 ? static_cast<char>(ch) : '?';
            }
        }
        if (level == 0)
            path.Type = key;
        else if (level == 1)
            path.Name = key;
        else
            path.Language = key.Id;
        if (target & 0x80000000u) {
            if (!ReadResourceDir(base, target & 0x7fffffffu, level + 1, path, error))
                return false;
            continue;
        }
        uint32_t leaf = 0, dataRva = 0, size = 0, at = 0;
        if (level != 2 || !RvaToOffset(base + target, 16, leaf))
            return Fail(error, "resource leaf outside the sections");
        Read32(File, leaf, dataRva);
        Read32(File, leaf + 4, size);
        if (!RvaToOffset(dataRva, size, at))
            return Fail(error, "resource data of " + path.Type.Text() + "/" + path.Name.Text() + " outside the sections");
        path.Data = File.substr(at, size);
        Resources.push_back(path);
    }
    return true;
}

const TPeResource* TPeImage::FindResource(const TResId& type, const TResId& name) const
{
    for (const TPeResource& r : Resources)
        if (r.Type.Id == type.Id && r.Type.Name == type.Name && r.Name.Id == name.Id && r.Name.Name == name.Name)
            return &r;
    return nullptr;
}

bool DecodeBitmap(const std::string& data, bool fileHeader, TBitmapInfo& bitmap, std::string& error)
{
    uint64_t info = 0;
    uint32_t bitsOffset = 0;
    if (fileHeader) {
        uint32_t fileSize = 0;
        if (data.compare(0, 2, "BM") != 0 || !Read32(data, 2, fileSize) || !Read32(data, 10, bitsOffset))
            return Fail(error, "no BITMAPFILEHEADER");
        if (fileSize != data.size())
            return Fail(error, "bfSize " + std::to_string(fileSize) + " but the file has " + std::to_string(data.size()) + " bytes");
        info = 14;
    }
    uint32_t headerSize = 0, width = 0, height = 0, compression = 0, used = 0;
    uint16_t planes = 0;
    if (!Read32(data, info, headerSize) || headerSize != 40 || !Read32(data, info + 4, width) ||
        !Read32(data, info + 8, height) || !Read16(data, info + 12, planes) || !Read16(data, info + 14, bitmap.BitCount) ||
        !Read32(data, info + 16, compression) || !Read32(data, info + 32, used))
        return Fail(error, "no BITMAPINFOHEADER");
    bitmap.Width = static_cast<int32_t>(width);
    bitmap.Height = static_cast<int32_t>(height);
    bitmap.Compression = compression;
    const uint16_t bits = bitmap.BitCount;
    if (planes != 1 || compression != 0 || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32))
        return Fail(error, "not an uncompressed bitmap: " + std::to_string(bits) + " bits, compression " + std::to_string(compression));
    if (bitmap.Width <= 0 || bitmap.Height == 0 || bitmap.Width > 4096 || bitmap.Height > 4096 || bitmap.Height < -4096)
        return Fail(error, "size " + std::to_string(bitmap.Width) + " x " + std::to_string(bitmap.Height));
    const uint32_t colours = bits <= 8 ? (used ? used : 1u << bits) : 0;
    if (colours > (bits <= 8 ? 1u << bits : 0))
        return Fail(error, std::to_string(colours) + " palette entries for " + std::to_string(bits) + " bits");
    const uint64_t palette = info + headerSize;
    for (uint32_t i = 0; i < colours; ++i) {
        uint32_t bgr = 0;
        if (!Read32(data, palette + 4 * i, bgr))
            return Fail(error, "short palette");
        bitmap.Palette.push_back(bgr & 0xffffff);
    }
    const uint64_t pixels = fileHeader ? bitsOffset : palette + 4ull * colours;
    if (fileHeader && pixels < palette + 4ull * colours)
        return Fail(error, "bfOffBits inside the palette");
    const uint32_t rows = static_cast<uint32_t>(bitmap.Height < 0 ? -bitmap.Height : bitmap.Height);
    const uint64_t stride = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
    if (pixels + stride * rows > data.size())
        return Fail(error, "pixel rows run past the end");
    bitmap.Rows.assign(rows, std::vector<uint32_t>(width));
    for (uint32_t r = 0; r < rows; ++r) {
        const uint64_t line = pixels + stride * r;
        std::vector<uint32_t>& out = bitmap.Rows[bitmap.Height > 0 ? rows - 1 - r : r];
        for (uint32_t x = 0; x < width; ++x) {
            const uint64_t bit = static_cast<uint64_t>(x) * bits;
            const uint8_t byte = static_cast<uint8_t>(data[line + bit / 8]);
            if (bits <= 8) {
                const uint32_t index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
                if (index >= colours)
                    return Fail(error, "pixel index " + std::to_string(index) + " past the palette");
                out[x] = bitmap.Palette[index];
            } else {
                const uint8_t* p = reinterpret_cast<const uint8_t*>(data.data() + line + bit / 8);
                out[x] = static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
            }
        }
    }
    return true;
}
