// The embedded payload: the archive inflated once into memory and indexed,
// extraction of one entry to disk, and the install plan.
#pragma once

#include "utils/DateTime.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TAttachedFile {
public:
    std::string Name;
    int32_t Size = 0;
    TDateTime Time = 0;
    int32_t Offset = 0;  // first data byte, from the start of Data
};

enum TInstallMode : uint8_t { imKeepExisting = 0, imReplaceDifferent = 1, imReplaceAlways = 2 };

class TFileToInstall {
public:
    const TAttachedFile* Entry = nullptr;  // not owned
    std::string FileName;
};

// Address and size of a resource of the setup's own module; false when missing.
bool GetResourceData(const char* name, const char* resType, const uint8_t*& data, uint32_t& size);

class TAttachedFiles {
public:
    // Inflates and indexes resource "FILES" of type "FILES". Throws EPayloadError
    // for a missing or malformed payload, EOutOfMemory when memory runs out.
    TAttachedFiles();
    // The same from a compressed archive in memory (tests).
    TAttachedFiles(const uint8_t* compressed, uint32_t size);
    virtual ~TAttachedFiles();
    TAttachedFiles(const TAttachedFiles&) = delete;
    TAttachedFiles& operator=(const TAttachedFiles&) = delete;

    // Writes one entry (given, or looked up by name from the last entry
    // backwards) to fileName with the entry's time as last-write time.
    // False when the user chose Abort, or when no entry bears the name.
    bool ExtractFile(const TAttachedFile* entry, const std::string& name, const std::string& fileName);

    // Plans an entry (or every entry below a folder prefix ending in "\")
    // into Queues[queue]; true when at least one entry was planned.
    bool AddFiles(const std::string& name, const std::string& destDir, uint8_t queue, TInstallMode mode);

    uint8_t* Data = nullptr;
    int32_t DataSize = 0;
    std::vector<std::unique_ptr<TAttachedFile>> Files;
    std::vector<std::unique_ptr<TFileToInstall>> Queues[1];
    std::vector<std::string> PublicFiles;
    bool ReplaceAll = false;

private:
    void Load(const uint8_t* compressed, uint32_t size);
    // The per-entry step of AddFiles: asked is the caller's mode, rule the
    // one the existing-file test follows (imReplaceAlways under ReplaceAll).
    bool AddFileToInstall(const TAttachedFile& entry, const std::string& destDir, uint8_t queue, TInstallMode asked,
                          TInstallMode rule);
    // One try at writing the entry; false when the file cannot be created
    // or takes fewer bytes than the entry holds.
    bool WriteEntry(const TAttachedFile& entry, const std::string& fileName);
};

// The one payload of the process, owned by start-up.
extern TAttachedFiles* AttachedFiles;
