#include "platform/FileStream.h"

#include "platform/Errors.h"
#include "platform/Handles.h"

std::string ReadFileStream(const std::wstring& path)
{
    TFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw EAbort("cannot open the file");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x7FFFFFFF)
        throw EAbort("cannot read the file");
    std::string data(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!data.empty() && (!ReadFile(file.Get(), &data[0], static_cast<DWORD>(data.size()), &read, nullptr) ||
                          read != data.size()))
        throw EAbort("cannot read the file");
    return data;
}
