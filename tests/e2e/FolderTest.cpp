// The home folder page of the real setup: the drive picker lists the drives
// with their pictures, the folder list and the picker move the edit, and the
// picker follows drives that come and go while the wizard runs.
// Drives linked before Wine starts: f: removable, g: fixed, n: CD-ROM, o: network.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "Driver.h"
#include "wizard/ControlIds.h"

using namespace e2e;

namespace {

constexpr LRESULT kRemovableIcon = 1;  // item data of a drive with the removable-drive picture

std::string Lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return s;
}

bool SameText(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

class Folders : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSetupState();
        RemoveTree(ProgramFiles() + "\\Scrivora");
        Setup = std::make_unique<TSetup>();
    }
    void TearDown() override
    {
        Setup.reset();
        RemoveTree(ProgramFiles() + "\\Scrivora");
        ResetSetupState();
    }

    // Starts the setup and goes on to the home folder page.
    void OpenFolderPage()
    {
        Setup->WaitForWizard();
        for (int page = 1; page <= 2; ++page) {
            Setup->Click(idNextBtn);
            ASSERT_TRUE(WaitUntil(kTimeout, [&] { return Setup->ActivePage() == page; }))
                << "page " << Setup->ActivePage() << " instead of " << page;
        }
    }
    std::vector<std::string> Drives() const
    {
        std::vector<std::string> items;
        for (int i = 0; i < Setup->ItemCount(idDestDirCmbBx); ++i)
            items.push_back(Setup->ItemText(idDestDirCmbBx, i));
        return items;
    }
    int DriveItem(char letter) const
    {
        for (int i = 0; i < Setup->ItemCount(idDestDirCmbBx); ++i)
            if (Setup->ItemText(idDestDirCmbBx, i)[0] == letter)
                return i;
        return -1;
    }
    std::string SelectedDrive() const
    {
        const int i = Setup->Selection(idDestDirCmbBx);
        return i < 0 ? std::string() : Setup->ItemText(idDestDirCmbBx, i);
    }
    int FolderItem(const std::string& path) const
    {
        for (int i = 0; i < Setup->ItemCount(idDestDirLstBx); ++i)
            if (SameText(Setup->ItemText(idDestDirLstBx, i), path))
                return i;
        return -1;
    }
    std::string CurrentFolder() const
    {
        const int i = Setup->Selection(idDestDirLstBx);
        return i < 0 ? std::string() : Setup->ItemText(idDestDirLstBx, i);
    }
    // Polls until the edit reads `text`; the edit's text in the message otherwise.
    ::testing::AssertionResult EditBecomes(const std::string& text) const
    {
        if (WaitUntil(kTimeout, [&] { return Setup->Text(idDestDirEdt) == text; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the edit reads \"" << Setup->Text(idDestDirEdt) << "\", not \"" << text
                                             << "\"";
    }
    std::unique_ptr<TSetup> Setup;  // started after the clean-up
};

// Saves the wizard with the drive list dropped down as a bitmap file, when
// SCRIVORA_SCREENS names a folder.
void SaveScreen(HWND wizard, HWND combo, const char* name)
{
    const char* folder = std::getenv("SCRIVORA_SCREENS");
    if (!folder)
        return;
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    Sleep(500);  // the drop-down reaches the X server after its paint
    RECT r{}, list{};
    GetWindowRect(wizard, &r);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(combo, &info) && info.hwndList) {
        GetWindowRect(info.hwndList, &list);
        UnionRect(&r, &r, &list);
    }
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) & ~3u), size = stride * static_cast<DWORD>(h);
    BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader + size), 0, 0,
                        static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader)};
    std::string file(reinterpret_cast<const char*>(&fh), sizeof fh);
    file.append(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof bi.bmiHeader);
    file.append(static_cast<const char*>(bits), size);
    WriteFileBytes(std::string(folder) + "\\" + name + ".bmp", file);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
}

TEST_F(Folders, ThePickerListsDrivesWithTheirPictures)
{
    OpenFolderPage();
    struct TRow {
        const char* Label;
        char Letter;
        bool Listed;
        LRESULT Icon;
        const char* Text;  // nullptr: only the "x: " prefix is checked
    } rows[] = {
        {"internal disk C:", 'c', true, 0, nullptr},
        {"removable F: without a label", 'f', true, kRemovableIcon, "f: "},
        {"fixed G: (Wine gives a folder drive no label)", 'g', true, 0, "g: "},
        {"CD-ROM N: is left out", 'n', false, 0, nullptr},
        {"network O: with the fixed picture", 'o', true, 0, nullptr},
    };
    const std::vector<std::string> drives = Drives();
    std::string all;
    for (const std::string& d : drives)
        all += "\"" + d + "\" ";
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        const int i = DriveItem(row.Letter);
        ASSERT_EQ(i >= 0, row.Listed) << all;
        if (!row.Listed)
            continue;
        const std::string text = Setup->ItemText(idDestDirCmbBx, i);
        EXPECT_EQ(text.substr(0, 3), std::string(1, row.Letter) + ": ") << text;
        if (row.Text) {
            EXPECT_EQ(text, row.Text);
        }
        EXPECT_EQ(SendMessageA(Setup->Control(idDestDirCmbBx), CB_GETITEMDATA, static_cast<WPARAM>(i), 0), row.Icon)
            << text;
    }
    for (const std::string& d : drives)
        EXPECT_TRUE(d[0] >= 'c' && d[0] <= 'z') << "no A: or B:, no upper case: " << all;

    SaveScreen(Setup->Wizard(), Setup->Control(idDestDirCmbBx), "page2-removable");
}

TEST_F(Folders, ClickingTheRootAndProgramFilesProposesScrivora)
{
    OpenFolderPage();
    const std::string pf = ProgramFiles();
    // The default home folder does not exist: the list stands on Program Files.
    EXPECT_TRUE(SameText(CurrentFolder(), pf)) << CurrentFolder();
    EXPECT_TRUE(SameText(Setup->Text(idDestDirEdt), pf + "\\Scrivora")) << Setup->Text(idDestDirEdt);

    Setup->Type(idDestDirEdt, "D:\\Typed\\Path");
    const std::string root = Setup->ItemText(idDestDirLstBx, 0);
    ASSERT_TRUE(SameText(root, "c:\\")) << root;
    Setup->Select(idDestDirLstBx, 0);
    EXPECT_TRUE(EditBecomes(root + "Scrivora")) << "the typed text is replaced";
    EXPECT_TRUE(SameText(CurrentFolder(), "c:\\"));

    const int pfItem = FolderItem(pf);
    ASSERT_GE(pfItem, 0) << "Program Files among the subfolders of the root";
    const std::string pfPath = Setup->ItemText(idDestDirLstBx, pfItem);
    Setup->Select(idDestDirLstBx, pfItem);
    EXPECT_TRUE(EditBecomes(pfPath + "\\Scrivora"));
}

TEST_F(Folders, PickingADriveMovesTheListAndTheEdit)
{
    MakeDirs("G:\\Program Files");
    OpenFolderPage();
    const std::string pf = ProgramFiles();

    // The same path on the new drive when it exists there, else its root.
    Setup->Select(idDestDirCmbBx, DriveItem('g'));
    EXPECT_TRUE(EditBecomes("g" + pf.substr(1)));
    EXPECT_TRUE(SameText(CurrentFolder(), "g" + pf.substr(1)));
    Setup->Select(idDestDirCmbBx, DriveItem('f'));
    EXPECT_TRUE(EditBecomes("f:\\Scrivora"));
    EXPECT_EQ(CurrentFolder(), "f:\\");

    // The Program Files drive: Program Files itself, or its Scrivora folder.
    Setup->Select(idDestDirCmbBx, DriveItem('c'));
    EXPECT_TRUE(EditBecomes(pf + "\\Scrivora"));
    EXPECT_EQ(CurrentFolder(), pf);
    Setup->Select(idDestDirCmbBx, DriveItem('f'));
    MakeDirs(pf + "\\Scrivora");
    Setup->Select(idDestDirCmbBx, DriveItem('c'));
    EXPECT_TRUE(EditBecomes(pf + "\\Scrivora"));
    EXPECT_EQ(CurrentFolder(), pf + "\\Scrivora");
    RemoveTree("G:\\Program Files");
}

TEST_F(Folders, ThePickerFollowsDrivesThatComeAndGo)
{
    const std::string target = TempRoot() + "\\drive-h";
    MakeDirs(target);
    Setup->WaitForWizard();
    const std::string pfDrive = Lower(ProgramFiles().substr(0, 1));

    // On the welcome page: a new drive is selected and the edit follows.
    DefineDrive('h', target, TDriveKind::Removable);
    EXPECT_TRUE(EditBecomes("h:\\Scrivora"));
    EXPECT_EQ(SelectedDrive(), "h: ");
    EXPECT_EQ(SendMessageA(Setup->Control(idDestDirCmbBx), CB_GETITEMDATA, DriveItem('h'), 0), kRemovableIcon);

    // Losing the picker's drive: back to the Program Files drive.
    RemoveDrive('h');
    EXPECT_TRUE(EditBecomes(ProgramFiles() + "\\Scrivora"));
    EXPECT_EQ(SelectedDrive().substr(0, 2), pfDrive + ":");
    EXPECT_EQ(DriveItem('h'), -1);

    // Losing another drive keeps the selected item.
    OpenFolderPage();
    DefineDrive('k', target, TDriveKind::Fixed);
    EXPECT_TRUE(EditBecomes("k:\\Scrivora"));
    Setup->Select(idDestDirCmbBx, DriveItem('g'));
    EXPECT_TRUE(EditBecomes("g:\\Scrivora"));
    RemoveDrive('k');
    EXPECT_TRUE(WaitUntil(kTimeout, [&] { return DriveItem('k') < 0; })) << "the list was rebuilt";
    Setup->Settle();
    EXPECT_EQ(SelectedDrive().substr(0, 3), "g: ");
    EXPECT_EQ(Setup->Text(idDestDirEdt), "g:\\Scrivora");

    // A CD-ROM is not listed, yet it becomes the drive: nothing is selected.
    DefineDrive('m', target, TDriveKind::CdRom);
    EXPECT_TRUE(EditBecomes("m:\\Scrivora"));
    EXPECT_EQ(Setup->Selection(idDestDirCmbBx), -1);
    EXPECT_EQ(DriveItem('m'), -1);
    EXPECT_EQ(CurrentFolder(), "m:\\");
    RemoveDrive('m');
    EXPECT_TRUE(EditBecomes(ProgramFiles() + "\\Scrivora"));
}

}  // namespace
