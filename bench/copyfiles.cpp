// The floor for installation figures: copies files into DEST\Spellcheck\ with
// CopyFileW, as plainly as Win32 allows, and writes the microseconds the copy
// took (folder creation included, process start excluded) to RESULT.
//   copyfiles RESULT DEST SOURCE...
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4)
        return 2;
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t0);
    std::wstring dest = std::wstring(argv[2]) + L"\\";
    CreateDirectoryW(dest.c_str(), nullptr);
    dest += L"Spellcheck\\";
    CreateDirectoryW(dest.c_str(), nullptr);
    for (int i = 3; i < argc; ++i) {
        const wchar_t* src = argv[i];
        const wchar_t* name = src;
        for (const wchar_t* p = src; *p; ++p)
            if (*p == L'\\' || *p == L'/')
                name = p + 1;
        if (!CopyFileW(src, (dest + name).c_str(), FALSE))
            return 3;
    }
    QueryPerformanceCounter(&t1);
    FILE* f = _wfopen(argv[1], L"w");
    if (!f)
        return 4;
    std::fprintf(f, "%lld\n", static_cast<long long>((t1.QuadPart - t0.QuadPart) * 1000000 / freq.QuadPart));
    std::fclose(f);
    return 0;
}
