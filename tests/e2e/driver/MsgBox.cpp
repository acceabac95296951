// Reading and answering message boxes of another process.
#include <algorithm>
#include <cstdint>

#include "Driver.h"
#include "Windows.h"

namespace e2e {
namespace {

using namespace detail;

// Icon handles cannot be examined across processes under Wine, so the icon
// is told by its pixels: the icon control as it shows on the screen against
// each system icon drawn here over the same background.
class TPixels {
public:
    TPixels(int w, int h) : W(w), H(h)
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        Dc = CreateCompatibleDC(nullptr);
        Bitmap = TGdiObject(CreateDIBSection(Dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&Bits), nullptr, 0));
        Old = SelectObject(Dc, Bitmap.Get());
    }
    ~TPixels()
    {
        SelectObject(Dc, Old);
        DeleteDC(Dc);
    }
    TPixels(const TPixels&) = delete;
    TPixels& operator=(const TPixels&) = delete;
    bool Valid() const { return Bits != nullptr; }
    HDC Dc = nullptr;
    uint32_t At(int x, int y) const { return Bits[y * W + x] & 0xFFFFFF; }
    void Fill(uint32_t rgb) { std::fill(Bits, Bits + W * H, rgb); }
    int W, H;

private:
    TGdiObject Bitmap;
    HGDIOBJ Old = nullptr;
    uint32_t* Bits = nullptr;
};

int Mismatches(const TPixels& a, const TPixels& b)
{
    int n = 0;
    for (int y = 0; y < a.H; ++y)
        for (int x = 0; x < a.W; ++x)
            n += a.At(x, y) != b.At(x, y);
    return n;
}

TMsgIcon MatchIcon(HWND iconCtl)
{
    RECT r;
    GetWindowRect(iconCtl, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0)
        return TMsgIcon::Unknown;
    static const struct {
        LPCSTR Id;
        TMsgIcon Icon;
    } candidates[] = {
        {IDI_HAND, TMsgIcon::Error},
        {IDI_EXCLAMATION, TMsgIcon::Warning},
        {IDI_ASTERISK, TMsgIcon::Information},
        {IDI_QUESTION, TMsgIcon::Question},
    };
    TMsgIcon found = TMsgIcon::Unknown;
    // Polled: the box may not have painted yet when it is first seen.
    WaitUntil(5000, [&] {
        TPixels shown(w, h), drawn(w, h);
        if (!shown.Valid() || !drawn.Valid())
            return false;
        HDC screen = GetDC(nullptr);
        BitBlt(shown.Dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
        int best = w * h;
        for (const auto& c : candidates) {
            drawn.Fill(shown.At(0, 0));
            DrawIconEx(drawn.Dc, 0, 0, LoadIconA(nullptr, c.Id), w, h, 0, nullptr, DI_NORMAL);
            const int n = Mismatches(shown, drawn);
            if (n < best) {
                best = n;
                found = c.Icon;
            }
        }
        if (best * 50 <= w * h)
            return true;
        found = TMsgIcon::Unknown;
        return false;
    });
    return found;
}

}  // namespace

const char* IconName(TMsgIcon icon)
{
    switch (icon) {
    case TMsgIcon::None: return "none";
    case TMsgIcon::Error: return "error";
    case TMsgIcon::Warning: return "warning";
    case TMsgIcon::Information: return "information";
    case TMsgIcon::Question: return "question";
    case TMsgIcon::Unknown: break;
    }
    return "unknown";
}

TMsgBox ReadMsgBox(HWND box)
{
    TMsgBox m;
    m.Hwnd = box;
    m.Caption = CaptionOf(box);
    HWND iconCtl = nullptr;
    std::vector<std::pair<LONG, std::string>> buttons;
    for (HWND child : ChildWindows(box)) {
        if (!IsWindowVisible(child))
            continue;
        const std::string cls = ClassOf(child);
        if (lstrcmpiA(cls.c_str(), "Static") == 0) {
            if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                iconCtl = child;
            else if (m.Text.empty())
                m.Text = TextOf(child);
        } else if (lstrcmpiA(cls.c_str(), "Button") == 0) {
            RECT r;
            GetWindowRect(child, &r);
            buttons.emplace_back(r.left, TextOf(child));
        }
    }
    std::stable_sort(buttons.begin(), buttons.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& b : buttons)
        m.Buttons.push_back(b.second);
    DWORD_PTR icon = 0;
    if (iconCtl && SendMessageTimeoutA(iconCtl, STM_GETICON, 0, 0, SMTO_NORMAL, 10000, &icon) && icon)
        m.Icon = MatchIcon(iconCtl);
    return m;
}

std::string TMsgBox::ButtonList() const
{
    std::string out;
    for (const auto& b : Buttons)
        out += (out.empty() ? "" : "|") + StripAmpersands(b);
    return out;
}

void TMsgBox::Press(const std::string& button) const
{
    HWND target = nullptr;
    for (HWND child : ChildWindows(Hwnd))
        if (IsWindowVisible(child) && lstrcmpiA(ClassOf(child).c_str(), "Button") == 0 &&
            StripAmpersands(TextOf(child)) == button)
            target = child;
    if (!target)
        throw TDriverError("message box " + Quoted(Text) + " has no button " + Quoted(button) + "; it has " +
                           ButtonList());
    PostMessageA(target, BM_CLICK, 0, 0);
    if (!WaitUntil(kTimeout, [&] { return !IsWindow(Hwnd) || !IsWindowVisible(Hwnd); }))
        throw TDriverError("message box " + Quoted(Text) + " stayed open after " + Quoted(button));
}

}  // namespace e2e
