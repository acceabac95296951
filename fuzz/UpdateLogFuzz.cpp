// Input: 8 bytes of install time, the public paths as text up to the first
// form feed, the rest as the bytes of an existing update log. Checks what
// any merge must give: the new group last, the log read back as written, a
// clean older part, and a second merge of the same install changing nothing.
#include "wizard/UpdateLog.h"

#include "LineCompare.h"

#include <cstdlib>
#include <cstring>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 8)
        return 0;
    TDateTime installTime;
    std::memcpy(&installTime, data, 8);
    const std::string rest(reinterpret_cast<const char*>(data + 8), size - 8);
    const size_t split = rest.find('\f');
    const std::string publicText = rest.substr(0, split);
    const std::string logText = split == std::string::npos ? std::string() : rest.substr(split + 1);

    // Public lines are what the plan produces: full paths, never empty and
    // never starting like a marker.
    std::vector<std::string> publicFiles;
    for (std::string& line : SplitLogText(publicText)) {
        if (!line.empty() && line[0] != '*')
            publicFiles.push_back(std::move(line));
    }
    SortPublicFiles(publicFiles, CompareAsciiNoCase);
    for (size_t i = 1; i < publicFiles.size(); ++i)
        Require(CompareAsciiNoCase(publicFiles[i - 1], publicFiles[i]) <= 0);

    const std::vector<std::string> log = SplitLogText(logText);
    for (const std::string& line : log)
        Require(line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
    Require(SplitLogText(JoinLogLines(log)) == log);

    const std::string marker = LogMarker(installTime);
    Require(marker.size() == 17 && marker[0] == '*' &&
            marker.find_first_not_of("0123456789ABCDEF", 1) == std::string::npos);

    const std::vector<std::string> merged = MergeUpdateLog(log, publicFiles, marker, CompareAsciiNoCase);
    Require(merged.size() >= 1 + publicFiles.size());
    const size_t older = merged.size() - 1 - publicFiles.size();
    Require(merged[older] == marker);
    Require(std::equal(publicFiles.begin(), publicFiles.end(), merged.begin() + older + 1));
    for (size_t i = 0; i < older; ++i) {
        Require(!merged[i].empty());
        Require(!(i > 0 && merged[i][0] == '*' && merged[i - 1][0] == '*'));
        for (const std::string& p : publicFiles)
            Require(CompareAsciiNoCase(merged[i], p) != 0);
    }
    Require(older == 0 || merged[older - 1][0] != '*');

    Require(SplitLogText(JoinLogLines(merged)) == merged);
    Require(MergeUpdateLog(merged, publicFiles, marker, CompareAsciiNoCase) == merged);
    return 0;
}
