// The folder list and the drive picker: owner-drawn list controls. They draw
// their items as plain text here; the folder and drive behaviour builds on them.
#pragma once

#include "platform/Controls.h"

class TDriveComboBox;

class TDirectoryListBox : public TControl {
public:
    TNotifyEvent OnChange;
    TDriveComboBox* DriveCombo = nullptr;  // the picker linked to this list
    // The folder the list shows; empty before the first assignment.
    const std::string& Directory() const { return CurrentDir; }
    // Makes the nearest existing folder of path current (see FileCtrls.cpp).
    void SetDirectory(const std::string& path);
    bool SetEvent(TNotifyEvent handler) override;
    bool TabStop() const override { return true; }
    void Command(WORD code) override;
    void DrawItem(const DRAWITEMSTRUCT& item) override;

protected:
    TWindowParams Params(const TControlDef& def) const override;
    void Loaded(const TControlDef& def, const TCreateContext& ctx) override;
    // Raises OnChange.
    virtual void Change();

    std::string CurrentDir;
};

class TDriveComboBox : public TControl {
public:
    TDirectoryListBox* DirList = nullptr;  // the linked folder list
    DWORD DriveMask = 0;                   // GetLogicalDrives when the list was last built
    // The current drive letter, lower case; 0 before the first drive was set.
    char Drive() const { return DriveLetter; }
    void SetDrive(char letter);
    void BuildList();
    bool SetLink(TControl* other) override;
    bool TabStop() const override { return true; }
    void DrawItem(const DRAWITEMSTRUCT& item) override;

protected:
    TWindowParams Params(const TControlDef& def) const override;
    RECT InitialBounds(const TControlDef& def, const TCreateContext& ctx) const override;

    char DriveLetter = 0;
};

// Fills the item in the window or highlight colours and draws its text.
void DrawPlainItem(const DRAWITEMSTRUCT& item, const std::string& text);
