#include "platform/FileCtrls.h"

#include "platform/DeviceContext.h"
#include "platform/Errors.h"

#include <shlobj.h>

#include <algorithm>
#include <vector>

namespace {
TFileCtrlServices Installed{};

constexpr int FolderIndentBase = 3;
constexpr int FolderIndentStep = 12;
constexpr int FolderTextGap = 4;

// The text of a list item with a full path, as the list stores it.
std::string ListItemText(HWND list, int index)
{
    const LRESULT n = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n <= 0)
        return std::string();
    std::string text(static_cast<size_t>(n) + 1, '\0');
    const LRESULT got = SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

// Removes p's last name: cuts after its last "\" (none left: empty).
void CutAfterLastBackslash(std::string& p)
{
    const size_t cut = p.find_last_of('\\');
    p.erase(cut == std::string::npos ? 0 : cut + 1);
}

bool LessByLocale(const std::string& a, const std::string& b)
{
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_LESS_THAN;
}
}  // namespace

void SetFileCtrlServices(const TFileCtrlServices& services)
{
    Installed = services;
}

const TFileCtrlServices& FileCtrlServices()
{
    if (!Installed.DirExists)
        throw ESetupError("the folder controls have no file services");
    return Installed;
}

std::string LowerText(std::string text)
{
    if (!text.empty())
        CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

char LowerChar(char c)
{
    UINT_PTR v = static_cast<unsigned char>(c);
    return static_cast<char>(reinterpret_cast<UINT_PTR>(CharLowerA(reinterpret_cast<LPSTR>(v))));
}

bool SameLetter(char a, char b)
{
    return UpperChar(a) == UpperChar(b);
}

bool ReadVolumeInfo(const std::string& root, std::string* label, DWORD* flags)
{
    char name[MAX_PATH + 1] = {};
    DWORD maxLength = 0, fsFlags = 0;
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    const BOOL ok = GetVolumeInformationA(root.c_str(), name, sizeof name, nullptr, &maxLength, &fsFlags, nullptr, 0);
    SetErrorMode(oldMode);
    if (label)
        *label = ok ? name : "";
    if (flags)
        *flags = ok ? fsFlags : 0;
    return ok != FALSE;
}

// --- TTransparentBitmap ---------------------------------------------------------

TTransparentBitmap::TTransparentBitmap(const char* resourceName)
    : Bitmap(LoadBitmapA(GetModuleHandleA(nullptr), resourceName))
{
    BITMAP info{};
    if (!Bitmap || !GetObjectA(Bitmap.Get(), sizeof info, &info))
        return;
    Size = SIZE{info.bmWidth, info.bmHeight};
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, Bitmap.Get());
    Transparent = GetPixel(mem, 0, Size.cy - 1);
    SelectObject(mem, old);
    DeleteDC(mem);
}

void TTransparentBitmap::Draw(HDC dc, int x, int y) const
{
    if (!Bitmap)
        return;
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, Bitmap.Get());
    GdiTransparentBlt(dc, x, y, Size.cx, Size.cy, mem, 0, 0, Size.cx, Size.cy, Transparent);
    SelectObject(mem, old);
    DeleteDC(mem);
}

// --- TDirectoryListBox ------------------------------------------------------

TDirectoryListBox::TDirectoryListBox() : OpenIcon("OPENFOLDER"), ClosedIcon("CLOSEDFOLDER") {}

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
    BuildList();
}

bool TDirectoryListBox::SetEvent(TNotifyEvent handler)
{
    OnChange = std::move(handler);
    return true;
}

void TDirectoryListBox::Command(WORD code)
{
    // Mouse and arrow keys alike: the selected folder becomes current at once.
    if (code != LBN_SELCHANGE)
        return;
    const int index = static_cast<int>(SendMessageA(Handle, LB_GETCURSEL, 0, 0));
    if (index >= 0)
        SetDirectory(ItemPath(index));
}

void TDirectoryListBox::Change()
{
    if (OnChange)
        OnChange(this);
}

bool TDirectoryListBox::IsCurrent(const std::string& path) const
{
    if (CurrentDir.empty())
        return false;
    const TFileCtrlServices& fs = FileCtrlServices();
    std::string root = fs.DrivePart(CurrentDir);
    fs.AddBackslash(root);
    DWORD flags = 0;
    if (ReadVolumeInfo(root, nullptr, &flags) && (flags & FS_CASE_SENSITIVE))
        return path == CurrentDir;
    return fs.SameText(path, CurrentDir);
}

// The nearest existing folder of path becomes current; a path on a missing
// drive ends at that drive's root, which does not exist either. A relative
// path that exists nowhere leaves nothing to fall back on and changes nothing.
void TDirectoryListBox::SetDirectory(const std::string& path)
{
    if (path.empty() || IsCurrent(path))
        return;
    const TFileCtrlServices& fs = FileCtrlServices();
    std::string p = path;
    while (!fs.DirExists(p) && p.size() > fs.DrivePart(p).size() + 1) {
        if (p.back() == '\\')
            p.pop_back();
        const size_t cut = p.find_last_of("\\:");
        p.erase(cut == std::string::npos ? 0 : cut + 1);
    }
    if (p.empty())
        return;
    const char oldDrive = CurrentDir.empty() ? 0 : CurrentDir[0];
    CurrentDir = p;
    // The picker passes the drive change back; DriveChanged sees the folder
    // already on that drive and leaves it.
    if (DriveCombo && !SameLetter(p[0], oldDrive))
        DriveCombo->SetDrive(p[0]);
    BuildList();
    Change();
}

void TDirectoryListBox::DriveChanged(char letter)
{
    if (static_cast<unsigned char>(letter) <= ' ' || (!CurrentDir.empty() && SameLetter(letter, CurrentDir[0])))
        return;
    const TFileCtrlServices& fs = FileCtrlServices();
    const std::string programFiles = fs.SpecialFolder(CSIDL_PROGRAM_FILES);
    if (!programFiles.empty() && SameLetter(letter, programFiles[0])) {
        std::string folder = programFiles;
        fs.AddBackslash(folder);
        CurrentDir = fs.DirExists(folder + "Scrivora") ? folder + "Scrivora" : folder;
    } else {
        const size_t colon = CurrentDir.find(':');
        const std::string samePath = colon == std::string::npos ? "" : letter + CurrentDir.substr(colon);
        CurrentDir = !samePath.empty() && fs.DirExists(samePath) ? samePath : letter + std::string(":\\");
    }
    BuildList();
    Change();
}

void TDirectoryListBox::AddItem(const std::string& path, TFolderIcon icon)
{
    const LRESULT index = SendMessageA(Handle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
    if (index >= 0)
        SendMessageA(Handle, LB_SETITEMDATA, static_cast<WPARAM>(index), icon);
}

void TDirectoryListBox::BuildList()
{
    SendMessageA(Handle, LB_RESETCONTENT, 0, 0);
    ChainCount = 0;
    if (CurrentDir.empty())
        return;
    const TFileCtrlServices& fs = FileCtrlServices();
    std::string root = fs.DrivePart(CurrentDir);
    fs.AddBackslash(root);
    DWORD flags = 0;
    ReadVolumeInfo(root, nullptr, &flags);
    NamesAsStored = (flags & (FS_CASE_IS_PRESERVED | FS_CASE_SENSITIVE)) != 0;

    // The chain from the root down to the current folder, built bottom up.
    std::vector<std::string> chain;
    std::string p = CurrentDir;
    while (p.size() > 3) {
        if (p.back() == '\\')
            p.pop_back();
        chain.push_back(p);
        CutAfterLastBackslash(p);
    }
    if (!p.empty())
        chain.push_back(p);
    std::reverse(chain.begin(), chain.end());
    for (const std::string& level : chain)
        AddItem(level, fiOpenFolder);
    ChainCount = static_cast<int>(chain.size());

    std::string folder = CurrentDir;
    fs.AddBackslash(folder);
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    TFindHandle search(FindFirstFileA((folder + "*.*").c_str(), &found));
    if (search) {
        do {
            const std::string name = found.cFileName;
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) && name != "." &&
                name != "..")
                names.push_back(name);
        } while (FindNextFileA(search.Get(), &found));
    }
    std::sort(names.begin(), names.end(), LessByLocale);
    for (const std::string& name : names)
        AddItem(folder + name, fiClosedFolder);

    size_t depth = static_cast<size_t>(std::count(CurrentDir.begin(), CurrentDir.end(), '\\'));
    if (CurrentDir.back() == '\\')
        --depth;
    SubfolderIndent = FolderIndentBase + FolderIndentStep * static_cast<int>(depth + 1);
    SendMessageA(Handle, LB_SETCURSEL, static_cast<WPARAM>(ChainCount - 1), 0);
}

int TDirectoryListBox::ItemCount() const
{
    return static_cast<int>(SendMessageA(Handle, LB_GETCOUNT, 0, 0));
}

std::string TDirectoryListBox::ItemPath(int index) const
{
    return ListItemText(Handle, index);
}

TDirectoryListBox::TFolderIcon TDirectoryListBox::ItemIcon(int index) const
{
    return SendMessageA(Handle, LB_GETITEMDATA, static_cast<WPARAM>(index), 0) == fiClosedFolder ? fiClosedFolder
                                                                                                 : fiOpenFolder;
}

int TDirectoryListBox::ItemIndent(int index) const
{
    return index < ChainCount ? FolderIndentBase + FolderIndentStep * index : SubfolderIndent;
}

std::string TDirectoryListBox::ItemCaption(int index) const
{
    const std::string path = ItemPath(index);
    // The root shows its drive only; every other level its last name.
    std::string caption = index == 0 ? path.substr(0, 2) : path.substr(path.find_last_of('\\') + 1);
    return NamesAsStored ? caption : LowerText(caption);
}

void TDirectoryListBox::DrawItem(const DRAWITEMSTRUCT& item)
{
    if (item.itemID == static_cast<UINT>(-1)) {
        if (item.itemState & ODS_FOCUS)
            DrawFocusRect(item.hDC, &item.rcItem);
        return;
    }
    const int index = static_cast<int>(item.itemID);
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    RECT r = item.rcItem;
    FillRect(item.hDC, &r, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const TTransparentBitmap& icon = ItemIcon(index) == fiClosedFolder ? ClosedIcon : OpenIcon;
    const int x = r.left + ItemIndent(index);
    icon.Draw(item.hDC, x, r.top + (r.bottom - r.top - icon.Height()) / 2);
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    r.left = x + icon.Width() + FolderTextGap;
    const std::string caption = ItemCaption(index);
    DrawTextA(item.hDC, caption.c_str(), static_cast<int>(caption.size()), &r,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(item.hDC, &item.rcItem);
}
