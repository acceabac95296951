// A read-only view of a PE file as it lies on disk: headers, sections,
// imports, exports and the resource tree. Every read is bounds-checked, so a
// damaged file gives an error, never a read outside the bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TPeImport {
    std::string Dll;
    std::vector<std::string> Functions;  // by name; ordinals as "#n"
};

// A resource type or name: a number, or a string when Name is not empty.
struct TResId {
    uint16_t Id = 0;
    std::string Name;
    static TResId Number(uint16_t id) { return {id, {}}; }
    static TResId Named(std::string name) { return {0, std::move(name)}; }
    std::string Text() const { return Name.empty() ? "#" + std::to_string(Id) : Name; }
};

struct TPeResource {
    TResId Type, Name;
    uint16_t Language = 0;
    std::string Data;
};

class TPeImage {
public:
    // False with a reason when the bytes are no PE file this reader understands.
    bool Load(std::string bytes, std::string& error);

    uint16_t Machine = 0;
    uint16_t Characteristics = 0;
    uint32_t TimeDateStamp = 0;
    uint32_t SymbolTable = 0, SymbolCount = 0;
    uint16_t Magic = 0;  // 0x10b PE32, 0x20b PE32+
    uint16_t Subsystem = 0;
    uint16_t DllCharacteristics = 0;  // IMAGE_DLLCHARACTERISTICS_*: ASLR, DEP and the like
    uint32_t RelocationSize = 0;      // bytes of the base relocation directory
    uint32_t DelayImportRva = 0;      // 0 when no DLL is delay-loaded
    std::vector<std::string> SectionNames;
    std::vector<TPeImport> Imports;
    std::vector<std::string> Exports;
    uint32_t ExportTimeDateStamp = 0;
    std::vector<TPeResource> Resources;

    // The first resource of that type and name in any language, or null.
    const TPeResource* FindResource(const TResId& type, const TResId& name) const;

    const std::string& Bytes() const { return File; }

private:
    struct TSection {
        uint32_t Rva, VirtualSize, FileOffset, RawSize;
    };
    bool RvaToOffset(uint32_t rva, uint32_t size, uint32_t& offset) const;
    bool ReadImports(uint32_t rva, std::string& error);
    bool ReadExports(uint32_t rva, std::string& error);
    bool ReadResources(uint32_t rva, std::string& error);
    bool ReadResourceDir(uint32_t base, uint32_t dir, int level, TPeResource& path, std::string& error);
    bool CString(uint32_t rva, std::string& out) const;

    std::string File;
    std::vector<TSection> Sections;
    uint32_t ResourceBase = 0;
    bool Is64 = false;
};

// A 16- or 256-colour or true-colour bitmap as a loader sees it.
struct TBitmapInfo {
    int32_t Width = 0, Height = 0;  // Height as stored: positive means bottom-up
    uint16_t BitCount = 0;
    uint32_t Compression = 0;
    std::vector<uint32_t> Palette;  // 0x00RRGGBB
    std::vector<std::vector<uint32_t>> Rows;  // top row first, each pixel 0x00RRGGBB
};

// Decodes a BITMAPINFOHEADER with its palette and uncompressed pixels, as a
// bitmap resource stores it (fileHeader false) or as a .bmp file does (true).
bool DecodeBitmap(const std::string& data, bool fileHeader, TBitmapInfo& bitmap, std::string& error);
