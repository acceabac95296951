#include "wizard/UpdateLog.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsMarker(const std::string& line)
{
    return !line.empty() && line[0] == '*';
}

}  // namespace

std::vector<std::string> SplitLogText(const std::string& bytes)
{
    std::vector<std::string> lines;
    const size_t end = std::min(bytes.find('\0'), bytes.size());
    size_t p = 0;
    while (p < end) {
        const size_t start = p;
        while (p < end && bytes[p] != '\r' && bytes[p] != '\n')
            ++p;
        lines.push_back(bytes.substr(start, p - start));
        if (p < end && bytes[p] == '\r')
            ++p;
        if (p < end && bytes[p] == '\n')
            ++p;
    }
    return lines;
}

std::string JoinLogLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string LogMarker(TDateTime installTime)
{
    static const char digits[] = "0123456789ABCDEF";
    unsigned char bytes[sizeof installTime];
    std::memcpy(bytes, &installTime, sizeof installTime);
    std::string marker = "*";
    for (unsigned char b : bytes) {
        marker += digits[b >> 4];
        marker += digits[b & 15];
    }
    return marker;
}

// Stable sort: it never reads outside the range, even should the platform's
// comparison fail to be a strict order for some bytes.
void SortPublicFiles(std::vector<std::string>& publicFiles, TLineCompare compare)
{
    std::stable_sort(publicFiles.begin(), publicFiles.end(),
                     [compare](const std::string& a, const std::string& b) { return compare(a, b) < 0; });
}

std::vector<std::string> MergeUpdateLog(const std::vector<std::string>& log,
                                        const std::vector<std::string>& sortedPublicFiles,
                                        const std::string& marker, TLineCompare compare)
{
    const auto less = [compare](const std::string& a, const std::string& b) { return compare(a, b) < 0; };

    std::vector<std::string> kept;
    for (const std::string& line : log) {
        if (!line.empty() && !std::binary_search(sortedPublicFiles.begin(), sortedPublicFiles.end(), line, less))
            kept.push_back(line);
    }

    // A marker directly after a marker goes; the paths behind it now follow
    // the older one.
    std::vector<std::string> merged;
    for (size_t i = 0; i < kept.size(); ++i) {
        if (!(i > 0 && IsMarker(kept[i]) && IsMarker(kept[i - 1])))
            merged.push_back(kept[i]);
    }
    if (!merged.empty() && IsMarker(merged.back()))
        merged.pop_back();

    merged.push_back(marker);
    merged.insert(merged.end(), sortedPublicFiles.begin(), sortedPublicFiles.end());
    return merged;
}
