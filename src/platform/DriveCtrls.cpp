// The drive picker (TDriveComboBox of FileCtrls.h).
#include "platform/FileCtrls.h"

#include "platform/DeviceContext.h"
#include "platform/SystemLibrary.h"

#include <algorithm>

namespace {
constexpr int DriveIconLeft = 2;
constexpr int DriveTextGap = 6;

using TWNetGetConnectionA = DWORD(WINAPI*)(LPCSTR localName, LPSTR remoteName, LPDWORD length);

// mpr.dll is no KnownDLL: it comes from the system folder only.
TWNetGetConnectionA NetConnectionEntry()
{
    static const TWNetGetConnectionA entry = SystemProc<TWNetGetConnectionA>("mpr.dll", "WNetGetConnectionA");
    return entry;
}

bool RemoteName(char letter, std::string& name)
{
    const TWNetGetConnectionA connection = NetConnectionEntry();
    if (!connection)
        return false;
    const std::string local{UpperChar(letter), ':'};
    std::string buffer(MAX_PATH, '\0');
    DWORD length = static_cast<DWORD>(buffer.size());
    DWORD result = connection(local.c_str(), &buffer[0], &length);
    if (result == ERROR_MORE_DATA) {
        buffer.assign(length, '\0');
        result = connection(local.c_str(), &buffer[0], &length);
    }
    if (result != NO_ERROR)
        return false;
    name = buffer.c_str();
    return true;
}

// A network drive by the share it connects to, any other by its volume
// label in brackets; empty when neither can be read.
std::string DriveName(char letter, UINT type, const std::string& root)
{
    std::string name;
    if (type == DRIVE_REMOTE && RemoteName(letter, name))
        return LowerText(name);
    std::string label;
    if (ReadVolumeInfo(root, &label, nullptr) && !label.empty())
        return "[" + LowerText(label) + "]";
    return std::string();
}
}  // namespace

TDriveComboBox::TDriveComboBox() : FixedIcon("FIXEDDRIVE"), RemovableIcon("REMOVABLEDRIVE") {}

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

void TDriveComboBox::Loaded(const TControlDef&, const TCreateContext&)
{
    const int height = std::max(FontLineHeight() + 4, FixedIcon.Height());
    // -1: the closed field; 0: the items of the list.
    SendMessageA(Handle, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), height);
    SendMessageA(Handle, CB_SETITEMHEIGHT, 0, height);
    BuildList();
}

bool TDriveComboBox::SetLink(TControl* other)
{
    DirList = dynamic_cast<TDirectoryListBox*>(other);
    if (DirList)
        DirList->DriveCombo = this;
    return DirList != nullptr;
}

void TDriveComboBox::Command(WORD code)
{
    if (code != CBN_SELCHANGE)
        return;
    const std::string text = Text();
    if (!text.empty())
        SetDrive(text[0]);
}

void TDriveComboBox::BuildList()
{
    SendMessageA(Handle, CB_RESETCONTENT, 0, 0);
    DriveMask = GetLogicalDrives();
    for (int bit = 2; bit < 26; ++bit) {
        if (!(DriveMask & (1u << bit)))
            continue;
        const char letter = static_cast<char>('a' + bit);
        const std::string root{letter, ':', '\\'};
        const UINT type = GetDriveTypeA(root.c_str());
        if (type == DRIVE_CDROM)
            continue;
        const std::string text = std::string(1, letter) + ": " + DriveName(letter, type, root);
        const LRESULT index = SendMessageA(Handle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (index >= 0)
            SendMessageA(Handle, CB_SETITEMDATA, static_cast<WPARAM>(index),
                         FileCtrlServices().IsExternalDrive(root) ? diRemovableDrive : diFixedDrive);
    }
}

void TDriveComboBox::SetDrive(char letter)
{
    if (ItemIndex() >= 0 && SameLetter(letter, DriveLetter))
        return;
    DriveLetter = LowerChar(letter);
    for (int i = 0, n = ItemCount(); i < n; ++i) {
        const std::string text = ItemText(i);
        if (text.size() >= 2 && SameLetter(text[0], letter) && text[1] == ':') {
            SendMessageA(Handle, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            break;
        }
    }
    if (DirList)
        DirList->DriveChanged(DriveLetter);
}

int TDriveComboBox::ItemCount() const
{
    return static_cast<int>(SendMessageA(Handle, CB_GETCOUNT, 0, 0));
}

int TDriveComboBox::ItemIndex() const
{
    return static_cast<int>(SendMessageA(Handle, CB_GETCURSEL, 0, 0));
}

std::string TDriveComboBox::ItemText(int index) const
{
    const LRESULT n = SendMessageA(Handle, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n <= 0)
        return std::string();
    std::string text(static_cast<size_t>(n) + 1, '\0');
    const LRESULT got =
        SendMessageA(Handle, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

TDriveComboBox::TDriveIcon TDriveComboBox::ItemIcon(int index) const
{
    return SendMessageA(Handle, CB_GETITEMDATA, static_cast<WPARAM>(index), 0) == diRemovableDrive ? diRemovableDrive
                                                                                                  : diFixedDrive;
}

std::string TDriveComboBox::Text() const
{
    const int index = ItemIndex();
    return index >= 0 ? ItemText(index) : std::string();
}

void TDriveComboBox::SelectText(const std::string& text)
{
    int found = -1;
    for (int i = 0, n = ItemCount(); i < n && found < 0; ++i)
        if (FileCtrlServices().SameText(ItemText(i), text))
            found = i;
    SendMessageA(Handle, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
}

// Every item on the window colour, the selected one too: only the focus
// rectangle marks where the user is.
void TDriveComboBox::DrawItem(const DRAWITEMSTRUCT& item)
{
    RECT r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(COLOR_WINDOW));
    if (item.itemID != static_cast<UINT>(-1)) {
        const int index = static_cast<int>(item.itemID);
        const TTransparentBitmap& icon = ItemIcon(index) == diRemovableDrive ? RemovableIcon : FixedIcon;
        const int x = r.left + DriveIconLeft;
        icon.Draw(item.hDC, x, r.top + (r.bottom - r.top - icon.Height()) / 2);
        SetBkMode(item.hDC, TRANSPARENT);
        SetTextColor(item.hDC, GetSysColor(COLOR_WINDOWTEXT));
        r.left = x + icon.Width() + DriveTextGap;
        const std::string text = ItemText(index);
        DrawTextA(item.hDC, text.c_str(), static_cast<int>(text.size()), &r,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
}
