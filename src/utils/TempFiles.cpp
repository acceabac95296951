// Temporary files: names of one family in the temporary folder, and the
// clean-up of whatever of that family is left at the end.
#include "utils/InstUtils.h"

#include "app/Messages.h"
#include "platform/Handles.h"

#include <windows.h>

std::string TempPrefix()
{
    std::string prefix = "~";
    for (const char* p = Msg::SetupTitle; *p; ++p)
        if ((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z'))
            prefix += *p;
    return prefix;
}

std::string MakeTempFileName()
{
    const std::string stem = GetTempDir() + TempPrefix();
    // Not reserved: the caller writes the file before it asks for another name.
    for (unsigned long long n = 0;; ++n) {
        std::string name = stem + std::to_string(n) + ".tmp";
        if (!IsExistingFile(name))
            return name;
    }
}

void CleanTempFiles()
{
    const std::string dir = GetTempDir();
    const std::string prefix = TempPrefix();
    WIN32_FIND_DATAA data;
    TFindHandle find(FindFirstFileA((dir + "*.*").c_str(), &data));
    if (!find)
        return;
    do {
        const std::string name = data.cFileName;
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            DeleteTree(dir + name);
        else
            DeleteFileW(ToWidePath(dir + name).c_str());
    } while (FindNextFileA(find.Get(), &data));
}
