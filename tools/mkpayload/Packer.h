// The payload packer: reads a manifest and writes the archive the setup embeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Packer {

struct TManifestEntry {
    std::string Name;    // entry name as stored
    std::string Source;  // file to read
    bool HasTime = false;
    int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;  // stated time, local
    int Line = 0;
};

// Manifest: one entry a line, "name<TAB>source[<TAB>YYYY-MM-DD HH:MM:SS]";
// blank lines and lines starting with "#" are skipped. A relative source is
// taken from baseDir.
bool ParseManifest(const std::string& text, const std::string& baseDir,
                   std::vector<TManifestEntry>& entries, std::string& error);

// Checks a name as the archive stores it: 1 to 255 bytes, and nothing that
// could leave the destination folder.
bool CheckEntryName(const std::string& name, std::string& error);

// Builds the inflated archive; times come from the stated time or from the
// file's last-write time in local time, at MS-DOS precision.
bool BuildArchive(const std::vector<TManifestEntry>& entries, std::string& archive, std::string& error);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& data);

// Writes data to path through a temporary file, so that no partial output is left.
bool WriteWhole(const std::string& path, const std::string& data, std::string& error);

// The listing printed by --list.
bool ListPayload(const std::string& compressed, std::string& listing, std::string& error);

// The archive bytes a payload inflates to, as the setup inflates them.
bool InflatePayload(const std::string& compressed, std::string& raw, std::string& error);

}  // namespace Packer
