// Host stand-in for the setup's line comparison (CompareStringA with case
// ignored): ASCII letters compared case aside, other bytes as unsigned values.
#pragma once

#include <string>

inline int CompareAsciiNoCase(const std::string& a, const std::string& b)
{
    const auto fold = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; };
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const int d = fold(static_cast<unsigned char>(a[i])) - fold(static_cast<unsigned char>(b[i]));
        if (d != 0)
            return d;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}
