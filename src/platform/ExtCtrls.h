// Panel, bevel and picture: window classes of the setup's own.
#pragma once

#include "platform/Controls.h"

class TPanel : public TWinControl {
public:
    TBevelCut BevelInner = bvNone;
    TBevelCut BevelOuter = bvNone;
    // While visual styles are active the panel shows its parent's background;
    // false keeps it painting its own colour.
    bool ParentBackground = true;
    void SetParentBackground(bool on);

protected:
    TWindowParams Params(const TControlDef& def) const override;
    void Loaded(const TControlDef& def, const TCreateContext& ctx) override;
    void Paint(HDC dc) override;
    bool WndProc(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

// Lowered lines: a box (shadow left and top, highlight right and bottom) or
// a left line (shadow at x 0, highlight at x 1).
class TBevel : public TControl {
public:
    TBevelShape Shape = bsBox;

protected:
    TWindowParams Params(const TControlDef& def) const override;
    void Loaded(const TControlDef& def, const TCreateContext& ctx) override;
    void Paint(HDC dc) override;
};

// Draws its bitmap once at the top-left corner, unscaled.
class TImage : public TControl {
public:
    // A file that cannot be opened raises EAbort, one that holds no bitmap
    // EInvalidGraphic; the picture is then unchanged.
    void LoadFromFile(const std::wstring& path);
    HBITMAP Bitmap() const { return static_cast<HBITMAP>(Picture.Get()); }

protected:
    TWindowParams Params(const TControlDef& def) const override;
    void Paint(HDC dc) override;

private:
    TGdiObject Picture;
};
