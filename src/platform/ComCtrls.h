// Page control: a tab control that never gets a tab item, with the pages
// stacked in its display area.
#pragma once

#include "platform/Controls.h"

class TTabSheet;

class TPageControl : public TWinControl {
public:
    std::vector<TTabSheet*> Pages;  // in creation order; the index is the page number
    TTabSheet* ActivePage = nullptr;
    // -1 while no page is active.
    int ActivePageIndex() const;
    // Brings the page to the front and shows it, then hides the one before.
    void SetActivePage(TTabSheet* page);
    void SetActivePageIndex(int index);
    // The tab control's display area for its client rectangle, 2 pixels lower at the top.
    RECT DisplayRect() const;

protected:
    TWindowParams Params(const TControlDef& def) const override;
};

// A page: hidden until it becomes the active page.
class TTabSheet : public TWinControl {
public:
    TPageControl* PageControl() const;
    int PageIndex() const;

protected:
    TWindowParams Params(const TControlDef& def) const override;
    RECT InitialBounds(const TControlDef& def, const TCreateContext& ctx) const override;
    void Loaded(const TControlDef& def, const TCreateContext& ctx) override;
};
