// Writing one archive entry to disk, straight from the inflated buffer.
#include "payload/AttachFiles.h"

#include "app/Messages.h"
#include "app/MsgBox.h"
#include "platform/Handles.h"
#include "utils/InstUtils.h"

#include <windows.h>

namespace {

// The folder part of a path: up to and including its last "\" or ":".
std::string FolderOf(const std::string& fileName)
{
    const size_t sep = fileName.find_last_of("\\:");
    return sep == std::string::npos ? std::string() : fileName.substr(0, sep + 1);
}

// The entry's time as last-write time, at MS-DOS precision. Through a second
// handle after the data is closed, so that the write cannot move the time.
// A time with no MS-DOS form leaves the time of writing.
void SetWriteTime(const std::wstring& path, TDateTime time)
{
    uint16_t dosDate, dosTime;
    if (!DateTimeToDos(time, dosDate, dosTime))
        return;
    FILETIME local, utc;
    if (!DosDateTimeToFileTime(dosDate, dosTime, &local) || !LocalFileTimeToFileTime(&local, &utc))
        return;
    TFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file)
        SetFileTime(file.Get(), nullptr, nullptr, &utc);
}

}  // namespace

bool TAttachedFiles::WriteEntry(const TAttachedFile& entry, const std::string& fileName)
{
    ForceDirs(FolderOf(fileName));
    TFileHandle file(CreateFileW(ToWidePath(fileName).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    // One write from the buffer; a full disk stores less and is a failure.
    DWORD written = 0;
    const BOOL ok = WriteFile(file.Get(), Data + entry.Offset, static_cast<DWORD>(entry.Size), &written, nullptr);
    return ok && written == static_cast<DWORD>(entry.Size);
}

bool TAttachedFiles::ExtractFile(const TAttachedFile* entry, const std::string& name, const std::string& fileName)
{
    // By name, the last of equal names wins.
    for (auto it = Files.rbegin(); !entry && it != Files.rend(); ++it)
        if (SameFileText((*it)->Name, name))
            entry = it->get();
    // Nothing to write: never leave an empty file or a box behind.
    if (!entry)
        return false;

    std::string message = Msg::CannotCreateFile;
    message.replace(message.find("%s"), 2, fileName);
    for (;;) {
        if (WriteEntry(*entry, fileName)) {
            SetWriteTime(ToWidePath(fileName), entry->Time);
            return true;
        }
        switch (SetupMsgBox(message, mkError, btAbort | btRetry | btIgnore)) {
        case maAbort:
            return false;
        case maIgnore:
            return true;
        default:
            break;  // Retry, and any other answer, tries again
        }
    }
}
