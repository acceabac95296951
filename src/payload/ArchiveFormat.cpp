#include "payload/ArchiveFormat.h"

#include "platform/Errors.h"

#include <zlib.h>

#include <climits>
#include <cstdlib>
#include <cstring>

namespace Archive {

bool ParseEntries(const uint8_t* data, size_t size, std::vector<TEntryInfo>& entries, std::string& error)
{
    entries.clear();
    if (size > static_cast<size_t>(INT32_MAX)) {
        error = "archive larger than 2 GiB";
        return false;
    }
    size_t p = 0;
    while (p < size) {
        const size_t start = p;
        const size_t n = data[p];
        if (size - p < 13 + n) {
            error = "entry header at offset " + std::to_string(start) + " runs past the end";
            return false;
        }
        TEntryInfo e;
        e.Name.assign(reinterpret_cast<const char*>(data + p + 1), n);
        p += 1 + n;
        std::memcpy(&e.Time, data + p, 8);
        p += 8;
        std::memcpy(&e.Size, data + p, 4);
        p += 4;
        if (e.Size < 0) {
            error = "entry at offset " + std::to_string(start) + " has a negative size";
            return false;
        }
        if (size - p < static_cast<size_t>(e.Size)) {
            error = "data of entry at offset " + std::to_string(start) + " runs past the end";
            return false;
        }
        e.Offset = static_cast<int32_t>(p);
        p += static_cast<size_t>(e.Size);
        entries.push_back(std::move(e));
    }
    return true;
}

uint32_t FirstEstimate(uint32_t inputSize)
{
    const uint64_t estimate = static_cast<uint64_t>(inputSize) * 5;
    return estimate > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(estimate);
}

namespace {

// Ends the zlib stream and frees the buffer on every way out.
struct TInflateState {
    z_stream Stream{};
    bool Open = false;
    uint8_t* Buffer = nullptr;
    ~TInflateState()
    {
        if (Open)
            inflateEnd(&Stream);
        std::free(Buffer);
    }
};

}  // namespace

uint8_t* InflateBuffer(const uint8_t* input, uint32_t inputSize, uint32_t estimate, int32_t& outputSize)
{
    const uint64_t growth = (static_cast<uint64_t>(inputSize) + 255) & ~static_cast<uint64_t>(255);
    uint64_t capacity = estimate ? estimate : growth;
    if (capacity == 0)
        capacity = 256;

    TInflateState s;
    s.Buffer = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(capacity)));
    if (!s.Buffer)
        throw EOutOfMemory("cannot allocate " + std::to_string(capacity) + " bytes for the payload");

    s.Stream.next_in = const_cast<Bytef*>(input);
    s.Stream.avail_in = inputSize;
    s.Stream.next_out = s.Buffer;
    s.Stream.avail_out = static_cast<uInt>(capacity);
    const int init = inflateInit(&s.Stream);
    if (init == Z_MEM_ERROR)
        throw EOutOfMemory("zlib ran out of memory");
    if (init != Z_OK)
        throw EPayloadError("zlib cannot start inflating");
    s.Open = true;

    for (;;) {
        const int rc = inflate(&s.Stream, Z_NO_FLUSH);
        if (rc == Z_STREAM_END)
            break;
        if ((rc == Z_OK || rc == Z_BUF_ERROR) && s.Stream.avail_out == 0) {
            const uint64_t produced = s.Stream.total_out;
            capacity += growth;
            if (capacity > static_cast<uint64_t>(INT32_MAX) + growth)
                throw EPayloadError("payload inflates past 2 GiB");
            auto* grown = static_cast<uint8_t*>(std::realloc(s.Buffer, static_cast<size_t>(capacity)));
            if (!grown)
                throw EOutOfMemory("cannot grow the payload buffer to " + std::to_string(capacity) + " bytes");
            s.Buffer = grown;
            s.Stream.next_out = s.Buffer + produced;
            s.Stream.avail_out = static_cast<uInt>(growth);
            continue;
        }
        if (rc == Z_MEM_ERROR)
            throw EOutOfMemory("zlib ran out of memory");
        if (rc == Z_OK || rc == Z_BUF_ERROR)
            throw EPayloadError("payload stream ends early");
        if (rc == Z_NEED_DICT)
            throw EPayloadError("payload stream needs a preset dictionary");
        throw EPayloadError(std::string("payload stream is damaged: ") + (s.Stream.msg ? s.Stream.msg : "zlib error"));
    }
    if (s.Stream.avail_in != 0)
        throw EPayloadError("bytes follow the payload stream");
    if (s.Stream.total_out > static_cast<uLong>(INT32_MAX))
        throw EPayloadError("payload inflates past 2 GiB");

    outputSize = static_cast<int32_t>(s.Stream.total_out);
    inflateEnd(&s.Stream);
    s.Open = false;
    // Shrinking cannot lose the data; keep the larger block if realloc declines.
    if (auto* shrunk = static_cast<uint8_t*>(std::realloc(s.Buffer, outputSize ? static_cast<size_t>(outputSize) : 1)))
        s.Buffer = shrunk;
    uint8_t* result = s.Buffer;
    s.Buffer = nullptr;
    return result;
}

void AppendEntry(std::string& archive, const std::string& name, double time, const std::string& data)
{
    archive.push_back(static_cast<char>(static_cast<uint8_t>(name.size())));
    archive += name;
    char buf[12];
    const int32_t size = static_cast<int32_t>(data.size());
    std::memcpy(buf, &time, 8);
    std::memcpy(buf + 8, &size, 4);
    archive.append(buf, 12);
    archive += data;
}

bool Compress(const std::string& raw, int level, std::string& out)
{
    z_stream s{};
    if (deflateInit2(&s, level, Z_DEFLATED, 15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    out.resize(deflateBound(&s, static_cast<uLong>(raw.size())));
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.data()));
    s.avail_in = static_cast<uInt>(raw.size());
    s.next_out = reinterpret_cast<Bytef*>(&out[0]);
    s.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&s, Z_FINISH);
    out.resize(s.total_out);
    deflateEnd(&s);
    return rc == Z_STREAM_END;
}

}  // namespace Archive
