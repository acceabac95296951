#include "NavigationSupport.h"

#include "wizard/ControlIds.h"

#include <vector>

namespace e2e {

void WaitForActiveWizard(TSetup& setup)
{
    setup.WaitForWizard();
    if (!WaitUntil(kTimeout, [&] { return setup.FocusId() != 0; }))
        throw TDriverError("the wizard never took the focus");
    setup.Settle();
}

void WalkTo(TSetup& setup, int page)
{
    for (int at = setup.ActivePage(); at != page; at = setup.ActivePage()) {
        const int want = at < page ? at + 1 : at - 1;
        setup.Click(at < page ? idNextBtn : idBackBtn);
        if (setup.ActivePage() != want)
            throw TDriverError("from page " + std::to_string(at) + " the wizard went to page " +
                               std::to_string(setup.ActivePage()) + " instead of " + std::to_string(want));
    }
}

std::string WithCrLf(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

void SaveWindowPicture(HWND window, const std::string& bmpPath)
{
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(mem, old);

    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) / 4 * 4;
    std::vector<char> bits(stride * static_cast<DWORD>(h));
    GetDIBits(mem, bitmap, 0, static_cast<UINT>(h), bits.data(), reinterpret_cast<BITMAPINFO*>(&ih), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + static_cast<DWORD>(bits.size());
    std::string file(reinterpret_cast<const char*>(&fh), sizeof fh);
    file.append(reinterpret_cast<const char*>(&ih), sizeof ih);
    file.append(bits.data(), bits.size());
    WriteFileBytes(bmpPath, file);
}

}  // namespace e2e
