// Scoped device contexts and small text helpers shared by the controls.
#pragma once

#include <windows.h>

// The client DC of a window with a font selected; both released on every path.
class TWindowDC {
public:
    TWindowDC(HWND window, HFONT font) : Window(window), Dc(GetDC(window))
    {
        OldFont = font ? SelectObject(Dc, font) : nullptr;
    }
    ~TWindowDC()
    {
        if (OldFont)
            SelectObject(Dc, OldFont);
        ReleaseDC(Window, Dc);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC Get() const { return Dc; }

private:
    HWND Window;
    HDC Dc;
    HGDIOBJ OldFont;
};

// ANSI upper case of one character, as the system's code page has it.
inline char UpperChar(char c)
{
    UINT_PTR v = static_cast<unsigned char>(c);
    return static_cast<char>(reinterpret_cast<UINT_PTR>(CharUpperA(reinterpret_cast<LPSTR>(v))));
}
