// Whole-file reads the way the setup opens files as streams.
#pragma once

#include <string>

// Opens an existing file without sharing and reads all of it. A file that
// cannot be opened, or read to its end, raises EAbort.
std::string ReadFileStream(const std::wstring& path);
