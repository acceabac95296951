#include "wizard/StartSettings.h"

#include <cstdint>
#include <cstring>

std::optional<std::string> ReadRegValue(HKEY key, const char* name)
{
    if (!key)
        return std::nullopt;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::string data(size, '\0');
    if (size == 0)
        return data;
    // The value may have changed since its size was asked: then it reads as empty.
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
        return std::string();
    data.resize(size);
    return data;
}

std::string RegText(const std::string& data)
{
    return data.substr(0, data.find('\0'));
}

bool LaunchChecked(const std::optional<std::string>& data)
{
    if (!data || data->size() != sizeof(uint32_t))
        return true;
    uint32_t value = 0;
    std::memcpy(&value, data->data(), sizeof value);
    return value != 0;
}

namespace {
bool IsSeparator(char c)
{
    return c >= 1 && c <= ' ';
}

// Reads one parameter from p on; p then points after it.
std::optional<std::string> NextParameter(const char*& p)
{
    while (IsSeparator(*p))
        ++p;
    if (!*p)
        return std::nullopt;
    std::string param;
    bool quoted = false;
    for (; *p && (quoted || !IsSeparator(*p)); ++p) {
        if (*p == '"')
            quoted = !quoted;
        else
            param += *p;
    }
    return param;
}
}  // namespace

std::optional<std::string> FirstParameter(const char* commandLine)
{
    const char* p = commandLine ? commandLine : "";
    if (!NextParameter(p))
        return std::nullopt;
    return NextParameter(p);
}

std::optional<std::string> HomeFolderOption(const std::string& param)
{
    if (param.compare(0, 2, "-d") != 0)
        return std::nullopt;
    return param.substr(2);
}
