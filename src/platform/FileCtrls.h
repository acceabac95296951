// The folder list and the drive picker: owner-drawn list controls that show
// the folders and drives with their pictures and keep each other in step.
#pragma once

#include "platform/Controls.h"

#include <string>

// What the two controls ask of the application: its folder test, its path
// rules, its special folders and its drive classification. Set once, before
// the first folder or drive is set.
struct TFileCtrlServices {
    bool (*DirExists)(const std::string& path);
    void (*AddBackslash)(std::string& path);
    std::string (*DrivePart)(const std::string& path);  // "c:", "\\server\share" or ""
    bool (*SameText)(const std::string& a, const std::string& b);  // case aside
    bool (*IsExternalDrive)(const std::string& path);
    std::string (*SpecialFolder)(int csidl);  // "" when unknown
};
void SetFileCtrlServices(const TFileCtrlServices& services);
// Throws ESetupError while none are set.
const TFileCtrlServices& FileCtrlServices();

// A bitmap resource of the module, drawn with the colour of its bottom-left
// pixel left out. Without the resource it has no size and draws nothing.
class TTransparentBitmap {
public:
    explicit TTransparentBitmap(const char* resourceName);
    int Width() const { return Size.cx; }
    int Height() const { return Size.cy; }
    void Draw(HDC dc, int x, int y) const;

private:
    TGdiObject Bitmap;
    SIZE Size{};
    COLORREF Transparent = 0;
};

// GetVolumeInformationA of a root with critical-error dialogs suppressed, so
// that an empty removable drive does not bring up a system prompt.
bool ReadVolumeInfo(const std::string& root, std::string* label, DWORD* flags);

// ANSI case of one character, as the system's code page has it.
char LowerChar(char c);
std::string LowerText(std::string text);
bool SameLetter(char a, char b);

class TDriveComboBox;

class TDirectoryListBox : public TControl {
public:
    // Item data: the picture of an item.
    enum TFolderIcon : LPARAM { fiOpenFolder = 0, fiClosedFolder = 1 };

    TDirectoryListBox();
    TNotifyEvent OnChange;
    TDriveComboBox* DriveCombo = nullptr;  // the picker linked to this list
    // The folder the list shows; empty before the first assignment.
    const std::string& Directory() const { return CurrentDir; }
    // Makes the nearest existing folder of path current: see FileCtrls.cpp.
    void SetDirectory(const std::string& path);
    // The linked picker's drive became letter: moves to a folder on it.
    void DriveChanged(char letter);

    // The items as drawn: full path, picture, indent and the text shown.
    int ItemCount() const;
    std::string ItemPath(int index) const;
    TFolderIcon ItemIcon(int index) const;
    int ItemIndent(int index) const;
    std::string ItemCaption(int index) const;

    bool SetEvent(TNotifyEvent handler) override;
    bool TabStop() const override { return true; }
    void Command(WORD code) override;
    void DrawItem(const DRAWITEMSTRUCT& item) override;

protected:
    TWindowParams Params(const TControlDef& def) const override;
    void Loaded(const TControlDef& def, const TCreateContext& ctx) override;
    // Raises OnChange.
    virtual void Change();

private:
    std::string CurrentDir;
    int ChainCount = 0;        // items from the root down to the current folder
    int SubfolderIndent = 0;   // indent of the items after the chain
    bool NamesAsStored = true; // else the volume ignores case and names show in lower case
    TTransparentBitmap OpenIcon, ClosedIcon;

    bool IsCurrent(const std::string& path) const;
    void BuildList();
    void AddItem(const std::string& path, TFolderIcon icon);
};

class TDriveComboBox : public TControl {
public:
    // Item data: the picture of an item.
    enum TDriveIcon : LPARAM { diFixedDrive = 0, diRemovableDrive = 1 };

    TDriveComboBox();
    TDirectoryListBox* DirList = nullptr;  // the linked folder list
    DWORD DriveMask = 0;                   // GetLogicalDrives when the list was last built
    // The current drive letter, lower case; 0 before the first drive was set.
    char Drive() const { return DriveLetter; }
    void SetDrive(char letter);
    // Lists drives C: to Z: without CD-ROM drives; no item is selected afterwards.
    void BuildList();
    int ItemCount() const;
    int ItemIndex() const;  // -1 when none is selected
    std::string ItemText(int index) const;
    TDriveIcon ItemIcon(int index) const;
    // The text of the selected item; "" when none is selected.
    std::string Text() const;
    // Selects the first item with this text, case aside; none when no item has it.
    void SelectText(const std::string& text);

    bool SetLink(TControl* other) override;
    bool TabStop() const override { return true; }
    void Command(WORD code) override;
    void DrawItem(const DRAWITEMSTRUCT& item) override;

protected:
    TWindowParams Params(const TControlDef& def) const override;
    RECT InitialBounds(const TControlDef& def, const TCreateContext& ctx) const override;
    void Loaded(const TControlDef& def, const TCreateContext& ctx) override;

private:
    char DriveLetter = 0;
    TTransparentBitmap FixedIcon, RemovableIcon;
};
