#include "platform/FileCtrls.h"

namespace {
std::string ItemText(HWND list, UINT getLength, UINT getText, UINT index)
{
    const LRESULT n = SendMessageA(list, getLength, index, 0);
    if (n <= 0)
        return std::string();
    std::string text(static_cast<size_t>(n) + 1, '\0');
    const LRESULT got = SendMessageA(list, getText, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}
}  // namespace

void DrawPlainItem(const DRAWITEMSTRUCT& item, const std::string& text)
{
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    RECT r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    r.left += 2;
    DrawTextA(item.hDC, text.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
}

// --- TDirectoryListBox ------------------------------------------------------

TControl::TWindowParams TDirectoryListBox::Params(const TControlDef&) const
{
    return {"LISTBOX",
            WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY |
                LBS_NOINTEGRALHEIGHT,
            WS_EX_CLIENTEDGE};
}

void TDirectoryListBox::Loaded(const TControlDef& def, const TCreateContext& ctx)
{
    if (def.Settings.ItemHeight > 0)
        SendMessageA(Handle, LB_SETITEMHEIGHT, 0, ctx.Scale(def.Settings.ItemHeight));
}

bool TDirectoryListBox::SetEvent(TNotifyEvent handler)
{
    OnChange = std::move(handler);
    return true;
}

void TDirectoryListBox::Command(WORD code)
{
    if (code == LBN_SELCHANGE)
        Change();
}

void TDirectoryListBox::Change()
{
    if (OnChange)
        OnChange(this);
}

void TDirectoryListBox::DrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.itemID != static_cast<UINT>(-1))
        DrawPlainItem(item, ItemText(Handle, LB_GETTEXTLEN, LB_GETTEXT, item.itemID));
}

// --- TDriveComboBox ---------------------------------------------------------

TControl::TWindowParams TDriveComboBox::Params(const TControlDef&) const
{
    return {"COMBOBOX",
            WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 0};
}

RECT TDriveComboBox::InitialBounds(const TControlDef& def, const TCreateContext& ctx) const
{
    // The window height of a combo box includes its dropped-down list; the
    // closed height follows from the item height.
    constexpr int DropDownRows = 8;
    RECT r = TControl::InitialBounds(def, ctx);
    r.bottom += DropDownRows * (r.bottom - r.top);
    return r;
}

bool TDriveComboBox::SetLink(TControl* other)
{
    DirList = dynamic_cast<TDirectoryListBox*>(other);
    return DirList != nullptr;
}

void TDriveComboBox::DrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.itemID != static_cast<UINT>(-1))
        DrawPlainItem(item, ItemText(Handle, CB_GETLBTEXTLEN, CB_GETLBTEXT, item.itemID));
}

// Folder and drive behaviour: filled in with the owner-drawn items.
void TDirectoryListBox::SetDirectory(const std::string& path)
{
    CurrentDir = path;
}

void TDriveComboBox::SetDrive(char letter)
{
    DriveLetter = letter;
}

void TDriveComboBox::BuildList() {}
