#include "platform/ComCtrls.h"

#include "platform/Errors.h"

#include <commctrl.h>

#include <algorithm>

// --- TPageControl -----------------------------------------------------------

TControl::TWindowParams TPageControl::Params(const TControlDef&) const
{
    return {WC_TABCONTROLA, WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
}

int TPageControl::ActivePageIndex() const
{
    const auto it = std::find(Pages.begin(), Pages.end(), ActivePage);
    return it == Pages.end() ? -1 : static_cast<int>(it - Pages.begin());
}

void TPageControl::SetActivePage(TTabSheet* page)
{
    if (page == ActivePage)
        return;
    TTabSheet* old = ActivePage;
    const HWND focus = GetFocus();
    const bool focusOnOld = old && focus && (focus == old->Handle || IsChild(old->Handle, focus));
    ActivePage = page;
    if (page)
        SetWindowPos(page->Handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (old)
        old->SetVisible(false);
    // The focus does not stay behind on a hidden page.
    if (focusOnOld && page)
        ::SetFocus(page->Handle);
}

void TPageControl::SetActivePageIndex(int index)
{
    SetActivePage(index >= 0 && index < static_cast<int>(Pages.size()) ? Pages[static_cast<size_t>(index)] : nullptr);
}

RECT TPageControl::DisplayRect() const
{
    RECT r{};
    GetClientRect(Handle, &r);
    SendMessageA(Handle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    r.top += 2;
    return r;
}

// --- TTabSheet --------------------------------------------------------------

TControl::TWindowParams TTabSheet::Params(const TControlDef&) const
{
    return {"TTabSheet", WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
}

RECT TTabSheet::InitialBounds(const TControlDef&, const TCreateContext& ctx) const
{
    const auto* pages = dynamic_cast<const TPageControl*>(ctx.Parent);
    if (!pages)
        throw ESetupError("a tab sheet must lie on a page control");
    return pages->DisplayRect();
}

void TTabSheet::Loaded(const TControlDef&, const TCreateContext&)
{
    PageControl()->Pages.push_back(this);
}

TPageControl* TTabSheet::PageControl() const
{
    return static_cast<TPageControl*>(Parent);
}

int TTabSheet::PageIndex() const
{
    const auto& pages = PageControl()->Pages;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}
