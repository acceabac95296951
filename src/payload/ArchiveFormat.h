// The payload archive: one zlib stream whose inflated bytes are a plain
// concatenation of entries
//   u8 n | n bytes name | f64 time | i32 size | size bytes data
// (little-endian, no header, no terminator). Pure code over byte ranges,
// shared by the setup, the payload packer and the fuzz targets.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Archive {

struct TEntryInfo {
    std::string Name;
    int32_t Size = 0;
    double Time = 0;
    int32_t Offset = 0;  // first data byte, from the start of the inflated bytes
};

// Indexes inflated bytes into entries in archive order. Never reads outside
// [data, data + size); on a malformed archive returns false with a reason.
bool ParseEntries(const uint8_t* data, size_t size, std::vector<TEntryInfo>& entries, std::string& error);

// Inflates one whole zlib stream into a malloc'ed buffer that the caller frees.
// The first capacity is estimate (or the growth step when 0); the buffer grows
// by the input size rounded up to 256 and is shrunk to the output at the end.
// Throws EOutOfMemory when memory runs out and EPayloadError when zlib rejects
// the stream, it ends early, bytes follow it or it inflates past 2 GiB.
uint8_t* InflateBuffer(const uint8_t* input, uint32_t inputSize, uint32_t estimate, int32_t& outputSize);

// The first capacity the loaders ask for: five times the compressed size, so
// that a payload compressed up to 5:1 inflates in one pass.
uint32_t FirstEstimate(uint32_t inputSize);

// Producer side.
void AppendEntry(std::string& archive, const std::string& name, double time, const std::string& data);
// One zlib stream with a 32 KiB window; level 9 gives the header 0x78 0xDA.
bool Compress(const std::string& raw, int level, std::string& out);

}  // namespace Archive
