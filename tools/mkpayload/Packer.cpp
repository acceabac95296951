#include "Packer.h"

#include "payload/ArchiveFormat.h"
#include "platform/Errors.h"
#include "utils/DateTime.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <set>

namespace Packer {

namespace {

std::string Upper(const std::string& s)
{
    // Letter case as the setup folds it in code page 1252.
    std::string r = s;
    for (auto& ch : r) {
        auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
            c = static_cast<unsigned char>(c - 0x20);
        else if (c == 0x9A || c == 0x9C || c == 0x9E)
            c = static_cast<unsigned char>(c - 0x10);
        else if (c == 0xFF)
            c = 0x9F;
        ch = static_cast<char>(c);
    }
    return r;
}

bool IsDeviceName(std::string part)
{
    part = Upper(part.substr(0, part.find('.')));
    while (!part.empty() && part.back() == ' ')
        part.pop_back();
    static const char* const fixed[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* d : fixed)
        if (part == d)
            return true;
    return part.size() == 4 && (part.compare(0, 3, "COM") == 0 || part.compare(0, 3, "LPT") == 0) &&
           part[3] >= '1' && part[3] <= '9';
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \r");
    size_t e = s.find_last_not_of(" \r");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

std::string At(const TManifestEntry& e)
{
    return "line " + std::to_string(e.Line) + " (" + e.Name + "): ";
}


}  // namespace

bool ReadWholeFile(const std::string& path, std::string& data)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    data.clear();
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        data.append(buf, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool CheckEntryName(const std::string& name, std::string& error)
{
    if (name.empty()) {
        error = "the name is empty";
        return false;
    }
    if (name.size() > 255) {
        error = "the name is longer than 255 bytes";
        return false;
    }
    if (name.find(':') != std::string::npos) {
        error = "the name holds a \":\" (a drive or a stream)";
        return false;
    }
    if (name[0] == '\\' || name[0] == '/') {
        error = "the name is absolute";
        return false;
    }
    size_t start = 0;
    for (;;) {
        const size_t end = name.find_first_of("\\/", start);
        const std::string part = name.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty()) {
            error = "the name holds an empty folder step";
            return false;
        }
        // Windows drops trailing dots and spaces, so "..." and ". ." climb as ".." does.
        if (part.find_first_not_of(". ") == std::string::npos && part.find("..") != std::string::npos) {
            error = "the name holds a \"..\" step";
            return false;
        }
        if (IsDeviceName(part)) {
            error = "the name holds the device name \"" + part + "\"";
            return false;
        }
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return true;
}

bool ParseManifest(const std::string& text, const std::string& baseDir,
                   std::vector<TManifestEntry>& entries, std::string& error)
{
    entries.clear();
    int lineNo = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t nl = text.find('\n', pos);
        std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        pos = nl == std::string::npos ? text.size() + 1 : nl + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (Trim(line).empty() || Trim(line)[0] == '#')
            continue;
        std::vector<std::string> fields;
        size_t s = 0;
        for (;;) {
            size_t tab = line.find('\t', s);
            fields.push_back(line.substr(s, tab == std::string::npos ? std::string::npos : tab - s));
            if (tab == std::string::npos)
                break;
            s = tab + 1;
        }
        // Several tabs may align the columns after the name; the name itself
        // is the first field, so that a line starting with a tab cannot shift
        // the source into the name.
        std::vector<std::string> cols{fields[0]};
        for (size_t i = 1; i < fields.size(); ++i)
            if (!fields[i].empty())
                cols.push_back(fields[i]);
        if (cols.size() < 2 || cols.size() > 3) {
            error = "line " + std::to_string(lineNo) + ": expected name, source and an optional time, separated by tabs";
            return false;
        }
        TManifestEntry e;
        e.Line = lineNo;
        e.Name = cols[0];
        e.Source = Trim(cols[1]);
        if (!e.Source.empty() && e.Source[0] != '/' && !baseDir.empty())
            e.Source = baseDir + "/" + e.Source;
        if (cols.size() == 3) {
            char extra;
            if (std::sscanf(cols[2].c_str(), "%d-%d-%d %d:%d:%d%c", &e.Year, &e.Month, &e.Day, &e.Hour,
                            &e.Minute, &e.Second, &extra) != 6 ||
                e.Month < 1 || e.Month > 12 || e.Day < 1 || e.Day > DaysInMonth(e.Year, e.Month) || e.Hour < 0 || e.Hour > 23 ||
                e.Minute < 0 || e.Minute > 59 || e.Second < 0 || e.Second > 59) {
                error = "line " + std::to_string(lineNo) + ": time must read YYYY-MM-DD HH:MM:SS";
                return false;
            }
            e.HasTime = true;
        }
        entries.push_back(e);
    }
    return true;
}

bool BuildArchive(const std::vector<TManifestEntry>& entries, std::string& archive, std::string& error)
{
    archive.clear();
    std::set<std::string> seen;
    for (const auto& e : entries) {
        std::string why;
        if (!CheckEntryName(e.Name, why)) {
            error = At(e) + why;
            return false;
        }
        if (!seen.insert(Upper(e.Name)).second) {
            error = At(e) + "the name is already used by an earlier entry (letter case aside)";
            return false;
        }
        struct stat st;
        if (::stat(e.Source.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            error = At(e) + "cannot read source file " + e.Source;
            return false;
        }
        if (st.st_size > static_cast<off_t>(INT32_MAX)) {
            error = At(e) + "the file is 2 GiB or larger";
            return false;
        }
        TDateParts p;
        if (e.HasTime) {
            p.Year = e.Year, p.Month = e.Month, p.Day = e.Day;
            p.Hour = e.Hour, p.Minute = e.Minute, p.Second = e.Second;
        } else {
            struct tm lt;
            const time_t t = st.st_mtime;
            if (!localtime_r(&t, &lt)) {
                error = At(e) + "cannot convert the file time";
                return false;
            }
            p.Year = lt.tm_year + 1900, p.Month = lt.tm_mon + 1, p.Day = lt.tm_mday;
            p.Hour = lt.tm_hour, p.Minute = lt.tm_min, p.Second = lt.tm_sec;
        }
        if (p.Year < 1980 || p.Year > 2099) {
            error = At(e) + "the time lies outside 1980 to 2099";
            return false;
        }
        p.Second -= p.Second % 2;  // MS-DOS precision: even seconds, rounded down
        std::string data;
        if (!ReadWholeFile(e.Source, data)) {
            error = At(e) + "cannot read source file " + e.Source;
            return false;
        }
        if (data.size() > static_cast<size_t>(INT32_MAX) || archive.size() + data.size() + 268 > static_cast<size_t>(INT32_MAX)) {
            error = At(e) + "the archive would reach 2 GiB";
            return false;
        }
        Archive::AppendEntry(archive, e.Name, EncodeDateTime(p), data);
    }
    return true;
}

bool WriteWhole(const std::string& path, const std::string& data, std::string& error)
{
    const std::string tmp = path + ".part";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) {
        error = "cannot create " + tmp + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed || std::rename(tmp.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

bool InflatePayload(const std::string& compressed, std::string& raw, std::string& error)
{
    int32_t size = 0;
    uint8_t* data = nullptr;
    try {
        data = Archive::InflateBuffer(reinterpret_cast<const uint8_t*>(compressed.data()),
                                      static_cast<uint32_t>(compressed.size()),
                                      Archive::FirstEstimate(static_cast<uint32_t>(compressed.size())), size);
    } catch (const ESetupError& e) {
        error = e.Message;
        return false;
    }
    raw.assign(reinterpret_cast<const char*>(data), static_cast<size_t>(size));
    std::free(data);
    return true;
}

bool ListPayload(const std::string& compressed, std::string& listing, std::string& error)
{
    std::string raw;
    if (!InflatePayload(compressed, raw, error))
        return false;
    const auto* data = reinterpret_cast<const uint8_t*>(raw.data());
    const auto size = static_cast<int32_t>(raw.size());
    std::vector<Archive::TEntryInfo> entries;
    if (!Archive::ParseEntries(data, raw.size(), entries, error))
        return false;
    char line[512];
    std::snprintf(line, sizeof line, "%3s  %-24s %10s  %-19s  %-22s %10s\n", "#", "name", "size", "time", "stored double", "offset");
    listing = line;
    int i = 0;
    for (const auto& e : entries) {
        TDateParts p;
        char when[32] = "(no valid date)";
        if (DecodeDateTime(e.Time, p))
            std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02d", p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second);
        std::snprintf(line, sizeof line, "%3d  %-24s %10" PRId32 "  %-19s  %-22.17g %10" PRId32 "\n", i++, e.Name.c_str(),
                      e.Size, when, e.Time, e.Offset);
        listing += line;
    }
    std::snprintf(line, sizeof line, "%zu entries, %" PRId32 " bytes inflated from %zu bytes\n", entries.size(), size,
                  compressed.size());
    listing += line;
    return true;
}

}  // namespace Packer
