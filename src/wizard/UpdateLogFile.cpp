#include "wizard/UpdateLogFile.h"

#include "platform/Errors.h"
#include "platform/Handles.h"
#include "utils/InstUtils.h"
#include "wizard/UpdateLog.h"

#include <windows.h>

namespace {

// Deletes the temporary file on every way out between its creation and its
// move into place.
struct TTempFile {
    std::wstring Path;
    bool Pending = false;
    ~TTempFile()
    {
        if (Pending)
            DeleteFileW(Path.c_str());
    }
};

}  // namespace

int CompareLogLines(const std::string& a, const std::string& b)
{
    const int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT, a.data(),
                                      static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()));
    // 0 is a failed call; byte order then keeps the sort and the search consistent.
    return result == 0 ? a.compare(b) : result - CSTR_EQUAL;
}

std::vector<std::string> ReadLogFile(const std::string& path)
{
    if (!IsExistingFile(path))
        return {};
    TFileHandle file(CreateFileW(ToWidePath(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw EAbort("cannot open " + path);
    std::string bytes;
    std::string chunk(65536, '\0');
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), &chunk[0], static_cast<DWORD>(chunk.size()), &got, nullptr))
            throw EAbort("cannot read " + path);
        if (got == 0)
            break;
        bytes.append(chunk, 0, got);
    }
    return SplitLogText(bytes);
}

void WriteLogFileAtomically(const std::string& path, const std::vector<std::string>& lines)
{
    const std::string text = JoinLogLines(lines);
    TTempFile temp{ToWidePath(path + ".new")};
    {
        TFileHandle file(CreateFileW(temp.Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            throw EAbort("cannot create " + path);
        temp.Pending = true;
        DWORD written = 0;
        if (!WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
            written != text.size() || !FlushFileBuffers(file.Get()))
            throw EAbort("cannot write " + path);
    }
    if (!MoveFileExW(temp.Path.c_str(), ToWidePath(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw EAbort("cannot replace " + path);
    temp.Pending = false;
}

void MergeIntoUpdateLog(const std::string& path, std::vector<std::string>& publicFiles, TDateTime installTime)
{
    if (publicFiles.empty())
        return;
    SortPublicFiles(publicFiles, CompareLogLines);
    const std::vector<std::string> log = ReadLogFile(path);
    WriteLogFileAtomically(path, MergeUpdateLog(log, publicFiles, LogMarker(installTime), CompareLogLines));
}
