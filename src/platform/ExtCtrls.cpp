#include "platform/ExtCtrls.h"

#include "platform/Application.h"
#include "platform/Bitmap.h"
#include "platform/FileStream.h"

namespace {
void DrawLine(HDC dc, COLORREF color, int x1, int y1, int x2, int y2)
{
    TGdiObject pen(CreatePen(PS_SOLID, 1, color));
    HGDIOBJ old = SelectObject(dc, pen.Get());
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
}

void FillClient(HWND window, HDC dc, HBRUSH brush)
{
    RECT r;
    GetClientRect(window, &r);
    FillRect(dc, &r, brush);
}
}  // namespace

// --- TPanel -----------------------------------------------------------------

TControl::TWindowParams TPanel::Params(const TControlDef&) const
{
    return {"TPanel", WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
}

void TPanel::Loaded(const TControlDef& def, const TCreateContext&)
{
    SetColor(def.Settings.Color);
    BevelInner = def.Settings.BevelInner;
    BevelOuter = def.Settings.BevelOuter;
}

void TPanel::SetParentBackground(bool on)
{
    ParentBackground = on;
    InvalidateRect(Handle, nullptr, TRUE);
}

bool TPanel::WndProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result)
{
    if (msg == WM_ERASEBKGND) {
        result = 1;  // Paint fills the background
        return true;
    }
    return TWinControl::WndProc(msg, wp, lp, result);
}

void TPanel::Paint(HDC dc)
{
    RECT r;
    GetClientRect(Handle, &r);
    FillRect(dc, &r, ParentBackground && ThemesActive() ? Parent->Brush() : Brush());
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
    for (TBevelCut cut : {BevelOuter, BevelInner})
        if (cut != bvNone)
            Frame3D(dc, r, cut == bvRaised ? highlight : shadow, cut == bvRaised ? shadow : highlight);
}

// --- TBevel -----------------------------------------------------------------

TControl::TWindowParams TBevel::Params(const TControlDef&) const
{
    return {"TBevel", WS_VISIBLE, 0};
}

void TBevel::Loaded(const TControlDef& def, const TCreateContext&)
{
    Shape = def.Settings.Shape;
}

void TBevel::Paint(HDC dc)
{
    FillClient(Handle, dc, Parent->Brush());
    RECT c;
    GetClientRect(Handle, &c);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    if (Shape == bsLeftLine) {
        DrawLine(dc, shadow, 0, 0, 0, c.bottom);
        DrawLine(dc, highlight, 1, 0, 1, c.bottom);
        return;
    }
    const LONG r = c.right - 1, b = c.bottom - 1;
    TGdiObject shadowPen(CreatePen(PS_SOLID, 1, shadow)), highlightPen(CreatePen(PS_SOLID, 1, highlight));
    HGDIOBJ old = SelectObject(dc, shadowPen.Get());
    const POINT leftTop[] = {{0, b}, {0, 0}, {r, 0}};
    Polyline(dc, leftTop, 3);
    SelectObject(dc, highlightPen.Get());
    const POINT rightBottom[] = {{r, 0}, {r, b}, {0, b}};
    Polyline(dc, rightBottom, 3);
    SelectObject(dc, old);
}

// --- TImage -----------------------------------------------------------------

TControl::TWindowParams TImage::Params(const TControlDef&) const
{
    return {"TImage", WS_VISIBLE, 0};
}

void TImage::LoadFromFile(const std::wstring& path)
{
    Picture = TGdiObject(LoadBitmapFromBytes(ReadFileStream(path)));
    InvalidateRect(Handle, nullptr, TRUE);
}

void TImage::Paint(HDC dc)
{
    FillClient(Handle, dc, Parent->Brush());
    if (!Picture)
        return;
    BITMAP bm{};
    GetObjectA(Picture.Get(), sizeof bm, &bm);
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, Picture.Get());
    BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}
