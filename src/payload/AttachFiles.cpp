// The payload object: the embedded archive inflated once and indexed.
#include "payload/AttachFiles.h"

#include "payload/ArchiveFormat.h"
#include "platform/Errors.h"
#include "utils/InstUtils.h"

#include <windows.h>

#include <cstdlib>

TAttachedFiles* AttachedFiles = nullptr;

bool GetResourceData(const char* name, const char* resType, const uint8_t*& data, uint32_t& size)
{
    // The resource stays mapped with the module: read in place, never freed.
    HMODULE self = GetModuleHandleA(nullptr);
    HRSRC res = FindResourceA(self, name, resType);
    if (!res)
        return false;
    size = SizeofResource(self, res);
    HGLOBAL loaded = LoadResource(self, res);
    data = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    return data != nullptr;
}

TAttachedFiles::TAttachedFiles()
{
    const uint8_t* compressed = nullptr;
    uint32_t size = 0;
    if (!GetResourceData("FILES", "FILES", compressed, size))
        throw EPayloadError("the setup carries no payload (resource FILES of type FILES)");
    Load(compressed, size);
}

TAttachedFiles::TAttachedFiles(const uint8_t* compressed, uint32_t size)
{
    Load(compressed, size);
}

void TAttachedFiles::Load(const uint8_t* compressed, uint32_t size)
{
    int32_t inflated = 0;
    uint8_t* data = Archive::InflateBuffer(compressed, size, Archive::FirstEstimate(size), inflated);
    std::vector<Archive::TEntryInfo> entries;
    std::string error;
    // A throwing constructor runs no destructor: check before taking ownership.
    if (!Archive::ParseEntries(data, static_cast<size_t>(inflated), entries, error)) {
        std::free(data);
        throw EPayloadError("the payload archive is malformed: " + error);
    }
    Data = data;
    DataSize = inflated;
    Files.reserve(entries.size());
    for (auto& e : entries) {
        auto file = std::make_unique<TAttachedFile>();
        file->Name = std::move(e.Name);
        file->Size = e.Size;
        file->Time = e.Time;
        file->Offset = e.Offset;
        Files.push_back(std::move(file));
    }
}

TAttachedFiles::~TAttachedFiles()
{
    // The plan first: its items refer to the entries.
    PublicFiles.clear();
    Queues[0].clear();
    std::free(Data);
    Data = nullptr;
    Files.clear();
    CleanTempFiles();
}
