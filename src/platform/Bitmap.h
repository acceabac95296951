// Bitmaps from the bytes of a .bmp file.
#pragma once

#include <windows.h>

#include <string>

// A device-dependent bitmap of the screen from a whole .bmp file. Raises
// EInvalidGraphic for anything that is not a complete, uncorrupted bitmap.
HBITMAP LoadBitmapFromBytes(const std::string& file);
