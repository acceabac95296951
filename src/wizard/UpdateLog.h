// The update log that the word processor reads: groups of a marker line for
// one install followed by the paths that install wrote, oldest group first.
// The text rules and the merge are pure; the file side is in UpdateLogFile.h.
#pragma once

#include "utils/DateTime.h"

#include <string>
#include <vector>

// Orders two log lines: negative, zero (equal) or positive.
using TLineCompare = int (*)(const std::string& a, const std::string& b);

// Splits file bytes into lines at CR LF, a lone CR and a lone LF; a zero byte
// ends the text. A line break at the very end adds no empty line.
std::vector<std::string> SplitLogText(const std::string& bytes);

// Every line followed by CR LF, the last one too.
std::string JoinLogLines(const std::vector<std::string>& lines);

// "*" and 16 upper-case hex digits: the raw bytes of the time in memory order.
std::string LogMarker(TDateTime installTime);

void SortPublicFiles(std::vector<std::string>& publicFiles, TLineCompare compare);

// The log after one more install: the old mentions of its paths and empty
// lines dropped, each run of markers cut to its first (oldest), a marker left
// without paths at the end dropped, then marker and the sorted public paths.
std::vector<std::string> MergeUpdateLog(const std::vector<std::string>& log,
                                        const std::vector<std::string>& sortedPublicFiles,
                                        const std::string& marker, TLineCompare compare);
