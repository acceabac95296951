// The update log on disk: the setup's line comparison, reading, and a write
// that leaves the old log untouched when anything fails.
#pragma once

#include "utils/DateTime.h"

#include <string>
#include <vector>

// CompareStringA in the user's locale, case ignored, string sort.
int CompareLogLines(const std::string& a, const std::string& b);

// The lines of the log at path; none when there is no log. Raises EAbort
// when the log exists but cannot be opened with no sharing, or read.
std::vector<std::string> ReadLogFile(const std::string& path);

// Writes the lines, each with CR LF, to a temporary file beside path and
// moves it over path. Raises EAbort, with the old log as it was and no
// temporary file left, when the file cannot be created, written or moved.
void WriteLogFileAtomically(const std::string& path, const std::vector<std::string>& lines);

// Merges publicFiles (sorted in place) into the log at path under the marker
// of installTime. Nothing is read or written when publicFiles is empty.
void MergeIntoUpdateLog(const std::string& path, std::vector<std::string>& publicFiles, TDateTime installTime);
