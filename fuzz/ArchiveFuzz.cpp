// Any bytes as a compressed payload, and the same bytes as an inflated one:
// neither may read outside its buffer, and every entry must lie inside it.
#include "payload/ArchiveFormat.h"

#include "platform/Errors.h"

#include <cstdlib>
#include <memory>

namespace {

void CheckEntries(const uint8_t* data, size_t size)
{
    std::vector<Archive::TEntryInfo> entries;
    std::string error;
    if (!Archive::ParseEntries(data, size, entries, error)) {
        if (error.empty())
            std::abort();
        return;
    }
    size_t next = 0;
    for (const Archive::TEntryInfo& e : entries) {
        // Entries are contiguous: header (1 + name + 12 bytes) then data.
        if (e.Size < 0 || static_cast<size_t>(e.Offset) != next + 13 + e.Name.size())
            std::abort();
        next = static_cast<size_t>(e.Offset) + static_cast<size_t>(e.Size);
        if (next > size)
            std::abort();
    }
    if (next != size)
        std::abort();
}

struct TFree {
    void operator()(uint8_t* p) const { std::free(p); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckEntries(data, size);

    // An odd size starts from a one-byte buffer, so the growth path runs too.
    const uint32_t estimate = size % 2;
    try {
        int32_t inflated = 0;
        std::unique_ptr<uint8_t, TFree> buffer(
            Archive::InflateBuffer(data, static_cast<uint32_t>(size), estimate, inflated));
        if (!buffer || inflated < 0)
            std::abort();
        CheckEntries(buffer.get(), static_cast<size_t>(inflated));
    } catch (const ESetupError&) {
        // A rejected stream is the expected outcome for most inputs.
    }
    return 0;
}
