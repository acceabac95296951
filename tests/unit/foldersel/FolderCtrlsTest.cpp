// The folder list and the drive picker on a form of their own, over scratch
// trees on C: and on Z: (the Unix root): the items with their paths, icons,
// indents and texts, the walk up to an existing folder, the drive changes
// between the two controls, the change event and the drawing.
#include "platform/Application.h"
#include "platform/ControlRegistry.h"
#include "platform/FileCtrls.h"
#include "platform/Forms.h"
#include "utils/InstUtils.h"

#include "../utils/TestSupport.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string ProgramFilesForTest;  // what CSIDL 38 gives the controls

std::string TestSpecialFolder(int csidl)
{
    return csidl == CSIDL_PROGRAM_FILES ? ProgramFilesForTest : GetSpecialFolder(csidl);
}

const TControlDef Rows[] = {
    {"TDirectoryListBox", "Dirs", "", 0, 0, 300, 400, {.Id = 10, .ItemHeight = 17, .OnEvent = "Changed"}},
    {"TDriveComboBox", "Drives", "", 0, 410, 300, 19, {.Id = 11, .Link = "Dirs"}},
};
const TFormDef TestLayout{320, 460, 13, "", Rows, sizeof Rows / sizeof Rows[0]};

class TTestForm : public TForm {
public:
    std::vector<std::string> Changes;  // the current folder at each change event
    TTestForm() : TForm("TFolderTestForm") { CreateFromLayout(TestLayout); }

protected:
    TNotifyEvent NotifyHandler(const std::string& name) override
    {
        if (name == "Changed")
            return [this](TControl* sender) { Changes.push_back(static_cast<TDirectoryListBox*>(sender)->Directory()); };
        return TForm::NotifyHandler(name);
    }
};

// A drive letter with nothing behind it.
char MissingDrive()
{
    const DWORD mask = GetLogicalDrives();
    for (char c = 'x'; c > 'd'; --c)
        if (!(mask & (1u << (c - 'a'))))
            return c;
    return 0;
}

std::string Join(const std::vector<std::string>& items)
{
    std::string s;
    for (const std::string& item : items)
        s += (s.empty() ? "" : " | ") + item;
    return s;
}

class FolderCtrls : public ::testing::Test {
protected:
    static std::string Name;      // foldersel-<pid>
    static std::string TreeC;     // C:\tmp\foldersel-<pid>
    static std::string TreeZ;     // Z:\tmp\foldersel-<pid>
    static bool MadeTmpOnC;

    static void SetUpTestSuite()
    {
        InitCommonControlsRuntime();
        RegisterControlClasses();
        SetFileCtrlServices(
            {&DirExists, &AddBackslash, &DrivePart, &SameFileText, &IsExternalDrive, &TestSpecialFolder});
        Name = "foldersel-" + std::to_string(GetCurrentProcessId());
        MadeTmpOnC = CreateDirectoryA("C:\\tmp", nullptr) != FALSE;
        TreeC = "C:\\tmp\\" + Name;
        TreeZ = "Z:\\tmp\\" + Name;
        for (const std::string& root : {TreeC, TreeZ}) {
            test::MakeDir(root);
            test::MakeDir(root + "\\Tree");
            test::MakeDir(root + "\\Tree\\Both");
        }
        const std::string tree = TreeC + "\\Tree";
        for (const char* sub : {"beta", "Alpha", "gamma", "Delta", "ZETA", "Hidden", "System", "Programs",
                                "Programs\\Scrivora", "Both\\Deeper"})
            test::MakeDir(tree + "\\" + sub);
        SetFileAttributesA((tree + "\\Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
        SetFileAttributesA((tree + "\\System").c_str(), FILE_ATTRIBUTE_SYSTEM);
        HANDLE f = CreateFileA((tree + "\\file.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(f);
        test::MakeDir(TreeZ + "\\OnlyOnZ");
    }
    static void TearDownTestSuite()
    {
        test::RemoveTree(TreeC);
        test::RemoveTree(TreeZ);
        if (MadeTmpOnC)
            RemoveDirectoryA("C:\\tmp");
    }
    void SetUp() override
    {
        ProgramFilesForTest = "";
        Form = std::make_unique<TTestForm>();
        Dirs = Form->Control<TDirectoryListBox>("Dirs");
        Drives = Form->Control<TDriveComboBox>("Drives");
    }

    std::vector<std::string> Paths() const
    {
        std::vector<std::string> items;
        for (int i = 0; i < Dirs->ItemCount(); ++i)
            items.push_back(Dirs->ItemPath(i));
        return items;
    }
    std::vector<std::string> Captions() const
    {
        std::vector<std::string> items;
        for (int i = 0; i < Dirs->ItemCount(); ++i)
            items.push_back(Dirs->ItemCaption(i));
        return items;
    }
    // Starts from `path` and forgets the change events that brought it.
    void StartAt(const std::string& path)
    {
        Dirs->SetDirectory(path);
        ASSERT_TRUE(SameFileText(Dirs->Directory(), path)) << Dirs->Directory();
        Form->Changes.clear();
    }
    void SelectByUser(int index)
    {
        SendMessageA(Dirs->Handle, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(Form->Handle, WM_COMMAND, MAKEWPARAM(10, LBN_SELCHANGE), reinterpret_cast<LPARAM>(Dirs->Handle));
    }
    void PickDriveByUser(char letter)
    {
        int index = -1;
        for (int i = 0; i < Drives->ItemCount(); ++i)
            if (Drives->ItemText(i)[0] == letter)
                index = i;
        ASSERT_GE(index, 0) << "no item for drive " << letter;
        SendMessageA(Drives->Handle, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageA(Form->Handle, WM_COMMAND, MAKEWPARAM(11, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(Drives->Handle));
    }

    std::unique_ptr<TTestForm> Form;
    TDirectoryListBox* Dirs = nullptr;
    TDriveComboBox* Drives = nullptr;
};
std::string FolderCtrls::Name;
std::string FolderCtrls::TreeC;
std::string FolderCtrls::TreeZ;
bool FolderCtrls::MadeTmpOnC = false;

TEST_F(FolderCtrls, ListsTheChainThenTheVisibleSubfoldersSorted)
{
    const std::string tree = TreeC + "\\Tree";
    ASSERT_TRUE(GetFileAttributesA((tree + "\\Hidden").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(GetFileAttributesA((tree + "\\System").c_str()) & FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(Dirs->ItemCount(), 0) << "no folder before the first assignment";

    Dirs->SetDirectory(tree);
    EXPECT_EQ(Dirs->Directory(), tree);
    EXPECT_EQ(Join(Paths()), Join({"C:\\", "C:\\tmp", TreeC, tree, tree + "\\Alpha", tree + "\\beta", tree + "\\Both",
                                   tree + "\\Delta", tree + "\\gamma", tree + "\\Programs", tree + "\\ZETA"}));
    EXPECT_EQ(Join(Captions()), Join({"C:", "tmp", Name, "Tree", "Alpha", "beta", "Both", "Delta", "gamma",
                                      "Programs", "ZETA"}));
    std::string icons, indents;
    for (int i = 0; i < Dirs->ItemCount(); ++i) {
        icons += Dirs->ItemIcon(i) == TDirectoryListBox::fiOpenFolder ? 'O' : 'C';
        indents += std::to_string(Dirs->ItemIndent(i)) + " ";
    }
    EXPECT_EQ(icons, "OOOOCCCCCCC");
    EXPECT_EQ(indents, "3 15 27 39 51 51 51 51 51 51 51 ");
    EXPECT_EQ(SendMessageA(Dirs->Handle, LB_GETCURSEL, 0, 0), 3) << "the current folder's item is selected";
    EXPECT_EQ(SendMessageA(Dirs->Handle, LB_GETITEMHEIGHT, 0, 0), 17);
    EXPECT_EQ(Join(Form->Changes), tree);
    EXPECT_EQ(Drives->Drive(), 'c');
    EXPECT_EQ(Drives->Text().substr(0, 3), "c: ") << Drives->Text();
}

TEST_F(FolderCtrls, RootAndTrailingBackslashIndents)
{
    Dirs->SetDirectory("C:\\");
    ASSERT_GE(Dirs->ItemCount(), 2);
    EXPECT_EQ(Dirs->ItemPath(0), "C:\\");
    EXPECT_EQ(Dirs->ItemCaption(0), "C:");
    EXPECT_EQ(Dirs->ItemIndent(1), 15) << "subfolders of a root: one level in";

    Dirs->SetDirectory(TreeC + "\\Tree\\");
    EXPECT_EQ(Dirs->ItemPath(3), TreeC + "\\Tree") << "the chain drops the trailing backslash";
    EXPECT_EQ(Dirs->ItemPath(4), TreeC + "\\Tree\\Alpha");
    EXPECT_EQ(Dirs->ItemIndent(4), 51) << "a trailing backslash is no level";
}

TEST_F(FolderCtrls, SettingAMissingFolderWalksUpToAnExistingOne)
{
    const std::string tree = TreeC + "\\Tree";
    const char missing = MissingDrive();
    ASSERT_NE(missing, 0);
    const std::string missingRoot = std::string(1, static_cast<char>(missing - 32)) + ":\\";
    struct TRow {
        const char* Label;
        std::string Path, Expected;
    } rows[] = {
        {"missing leaf", tree + "\\Missing", tree + "\\"},
        {"two missing levels with a trailing backslash", tree + "\\M1\\M2\\", tree + "\\"},
        {"a file is no folder", tree + "\\file.txt", tree + "\\"},
        {"missing drive: its root", missingRoot + "A\\B", missingRoot},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        StartAt(TreeC);
        Dirs->SetDirectory(row.Path);
        EXPECT_EQ(Dirs->Directory(), row.Expected);
        EXPECT_EQ(Join(Form->Changes), row.Expected) << "one change event";
    }
    // The list of a missing drive holds its root alone; the picker takes the
    // letter but keeps showing the item it showed.
    EXPECT_EQ(Join(Paths()), missingRoot);
    EXPECT_EQ(Drives->Drive(), missing);
    EXPECT_EQ(Drives->Text().substr(0, 3), "c: ") << Drives->Text();
}

TEST_F(FolderCtrls, SettingTheSameOrNoFolderChangesNothing)
{
    const std::string tree = TreeC + "\\Tree";
    DWORD flags = 0;
    ReadVolumeInfo("C:\\", nullptr, &flags);
    const bool caseSensitive = (flags & FS_CASE_SENSITIVE) != 0;
    struct TRow {
        const char* Label;
        std::string Path;
        bool Changes;
    } rows[] = {
        {"same text", tree, false},
        {"other letter case", "c:\\TMP\\" + Name + "\\tree", caseSensitive},
        {"empty", "", false},
        {"relative path that exists nowhere", "Tools\\Scrivora", false},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        StartAt(tree);
        Dirs->SetDirectory(row.Path);
        EXPECT_EQ(Form->Changes.size(), row.Changes ? 1u : 0u) << Join(Form->Changes);
        if (!row.Changes) {
            EXPECT_EQ(Dirs->Directory(), tree);
        }
    }
}

TEST_F(FolderCtrls, EverySelectionChangeSetsTheFolderAtOnce)
{
    const std::string tree = TreeC + "\\Tree";
    StartAt(tree);
    SelectByUser(5);  // beta
    EXPECT_EQ(Dirs->Directory(), tree + "\\beta");
    EXPECT_EQ(Join(Form->Changes), tree + "\\beta");
    EXPECT_EQ(SendMessageA(Dirs->Handle, LB_GETCURSEL, 0, 0), 4) << "beta's item after the rebuild";

    Form->Changes.clear();
    SelectByUser(0);
    EXPECT_EQ(Dirs->Directory(), "C:\\");
    EXPECT_EQ(Join(Form->Changes), "C:\\");

    // Arrow keys go through the list box's own selection change.
    StartAt(tree);
    SetFocus(Dirs->Handle);
    SendMessageA(Dirs->Handle, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Dirs->Directory(), tree + "\\Alpha");
    SendMessageA(Dirs->Handle, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(Dirs->Directory(), tree);
    EXPECT_EQ(Join(Form->Changes), Join({tree + "\\Alpha", tree}));
}

TEST_F(FolderCtrls, ADriveChangeMovesTheList)
{
    const std::string treeZ = TreeZ + "\\Tree";
    const std::string treeCLower = "c" + TreeC.substr(1) + "\\Tree";
    struct TRow {
        const char* Label;
        std::string Start;
        std::string ProgramFiles;
        char Letter;
        std::string Expected;
    } rows[] = {
        {"same path on the new drive", treeZ + "\\Both", "", 'c', treeCLower + "\\Both"},
        {"path missing on the new drive: its root", TreeZ + "\\OnlyOnZ", "", 'c', "c:\\"},
        {"Program Files drive with its Scrivora folder", treeZ, TreeC + "\\Tree\\Programs", 'c',
         TreeC + "\\Tree\\Programs\\Scrivora"},
        {"Program Files drive without a Scrivora folder", treeZ, TreeC + "\\Tree\\Both\\", 'c',
         TreeC + "\\Tree\\Both\\"},
        {"Program Files drive, other case", treeZ, TreeC + "\\Tree", 'C', TreeC + "\\Tree\\"},
        {"back to Z: on the same path", TreeC + "\\Tree\\Both", "", 'z', "z" + treeZ.substr(1) + "\\Both"},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        StartAt(row.Start);
        ProgramFilesForTest = row.ProgramFiles;
        Drives->SetDrive(row.Letter);
        EXPECT_EQ(Dirs->Directory(), row.Expected);
        EXPECT_EQ(Join(Form->Changes), row.Expected) << "one change event";
        EXPECT_EQ(Drives->Drive(), LowerChar(row.Letter));
        EXPECT_EQ(Drives->Text()[0], LowerChar(row.Letter)) << Drives->Text();
    }
}

TEST_F(FolderCtrls, ThePickerActsOnlyOnANewDrive)
{
    StartAt(TreeC + "\\Tree");
    Drives->SetDrive('C');
    EXPECT_TRUE(Form->Changes.empty()) << "the drive it shows: " << Join(Form->Changes);

    PickDriveByUser('z');
    EXPECT_EQ(Drives->Drive(), 'z');
    EXPECT_EQ(Dirs->Directory(), "z" + TreeZ.substr(1) + "\\Tree");

    // Control characters and spaces are no drives for the list.
    Form->Changes.clear();
    Dirs->DriveChanged(' ');
    Dirs->DriveChanged('\0');
    EXPECT_TRUE(Form->Changes.empty()) << Join(Form->Changes);

    // After a rebuild nothing is selected, so even the same letter is set again.
    Drives->BuildList();
    EXPECT_EQ(Drives->ItemIndex(), -1);
    Drives->SetDrive('z');
    EXPECT_EQ(Drives->Text()[0], 'z') << Drives->Text();
    EXPECT_TRUE(Form->Changes.empty()) << "the list is on z already: " << Join(Form->Changes);
}

TEST_F(FolderCtrls, TheDriveListHoldsDrivesCToZWithoutCdRoms)
{
    EXPECT_EQ(Drives->DriveMask, GetLogicalDrives());
    EXPECT_EQ(Drives->ItemIndex(), -1);
    std::string letters, expected;
    for (int i = 0; i < Drives->ItemCount(); ++i) {
        const std::string text = Drives->ItemText(i);
        ASSERT_GE(text.size(), 3u) << text;
        EXPECT_EQ(text.substr(1, 2), ": ") << text;
        letters += text[0];
        const std::string rest = text.substr(3);
        EXPECT_TRUE(rest.empty() || (rest.front() == '[' && rest.back() == ']') || GetDriveTypeA(text.substr(0, 1).append(":\\").c_str()) == DRIVE_REMOTE)
            << text;
        EXPECT_EQ(rest, LowerText(rest)) << "names are lower case";
    }
    for (char c = 'c'; c <= 'z'; ++c)
        if ((GetLogicalDrives() & (1u << (c - 'a'))) && GetDriveTypeA((std::string(1, c) + ":\\").c_str()) != DRIVE_CDROM)
            expected += c;
    EXPECT_EQ(letters, expected);
    EXPECT_NE(letters.find('c'), std::string::npos);
    EXPECT_NE(letters.find('z'), std::string::npos);

    TEXTMETRICA tm{};
    HDC dc = GetDC(Drives->Handle);
    HGDIOBJ old = SelectObject(dc, Drives->Font());
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(Drives->Handle, dc);
    EXPECT_EQ(SendMessageA(Drives->Handle, CB_GETITEMHEIGHT, 0, 0), std::max<LRESULT>(tm.tmHeight + 4, 11));
}

TEST_F(FolderCtrls, SelectTextMatchesCaseAside)
{
    ASSERT_GE(Drives->ItemCount(), 2);
    const std::string second = Drives->ItemText(1);
    std::string upper = second;
    CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
    Drives->SelectText(upper);
    EXPECT_EQ(Drives->ItemIndex(), 1);
    Drives->SelectText("no such drive");
    EXPECT_EQ(Drives->ItemIndex(), -1);
}

// Draws one item into a 32-bit bitmap and checks the icon's pixels: its own
// colours where they differ from its bottom-left pixel, the background elsewhere.
class ItemPicture {
public:
    ItemPicture(int width, int height) : Width(width), Height(height)
    {
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        Dc = CreateCompatibleDC(nullptr);
        Bitmap = CreateDIBSection(Dc, &bi, DIB_RGB_COLORS, nullptr, nullptr, 0);
        Old = SelectObject(Dc, Bitmap);
    }
    ~ItemPicture()
    {
        SelectObject(Dc, Old);
        DeleteObject(Bitmap);
        DeleteDC(Dc);
    }
    DRAWITEMSTRUCT Item(HWND control, UINT index, UINT state) const
    {
        DRAWITEMSTRUCT d{};
        d.CtlType = ODT_LISTBOX;
        d.itemID = index;
        d.itemAction = ODA_DRAWENTIRE;
        d.itemState = state;
        d.hwndItem = control;
        d.hDC = Dc;
        d.rcItem = RECT{0, 0, Width, Height};
        return d;
    }
    // "" when the icon at (x, y) shows as expected on `background`.
    std::string CheckIcon(const char* resource, int x, int y, COLORREF background) const
    {
        HBITMAP icon = LoadBitmapA(GetModuleHandleA(nullptr), resource);
        BITMAP info{};
        GetObjectA(icon, sizeof info, &info);
        HDC mem = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(mem, icon);
        const COLORREF transparent = GetPixel(mem, 0, info.bmHeight - 1);
        std::string fault;
        int opaque = 0;
        for (int j = 0; j < info.bmHeight && fault.empty(); ++j)
            for (int i = 0; i < info.bmWidth && fault.empty(); ++i) {
                const COLORREF src = GetPixel(mem, i, j);
                const COLORREF want = src == transparent ? background : src;
                opaque += src != transparent;
                const COLORREF got = GetPixel(Dc, x + i, y + j);
                if (got != want)
                    fault = std::string(resource) + " pixel " + std::to_string(i) + "," + std::to_string(j) +
                            ": got " + std::to_string(got) + ", want " + std::to_string(want);
            }
        SelectObject(mem, old);
        DeleteDC(mem);
        DeleteObject(icon);
        if (fault.empty() && opaque == 0)
            fault = std::string(resource) + " has no opaque pixel";
        return fault;
    }
    COLORREF Pixel(int x, int y) const { return GetPixel(Dc, x, y); }

private:
    int Width, Height;
    HDC Dc;
    HBITMAP Bitmap;
    HGDIOBJ Old;
};

TEST_F(FolderCtrls, ItemsDrawTheirIconsTransparentAtTheirIndent)
{
    const std::string tree = TreeC + "\\Tree";
    StartAt(tree);
    struct TRow {
        const char* Label;
        UINT Index;
        UINT State;
        const char* Icon;
        int Indent;
        int Color;
    } rows[] = {
        {"root, not selected", 0, 0, "OPENFOLDER", 3, COLOR_WINDOW},
        {"current folder, selected", 3, ODS_SELECTED, "OPENFOLDER", 39, COLOR_HIGHLIGHT},
        {"subfolder", 4, 0, "CLOSEDFOLDER", 51, COLOR_WINDOW},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        ItemPicture picture(300, 17);
        Dirs->DrawItem(picture.Item(Dirs->Handle, row.Index, row.State));
        EXPECT_EQ(picture.CheckIcon(row.Icon, row.Indent, 0, GetSysColor(row.Color)), "");
        EXPECT_EQ(picture.Pixel(1, 8), GetSysColor(row.Color)) << "background left of the icon";
    }

    const int height = static_cast<int>(SendMessageA(Drives->Handle, CB_GETITEMHEIGHT, 0, 0));
    for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED)}) {
        SCOPED_TRACE(state ? "selected drive: not highlighted" : "drive");
        ItemPicture picture(300, height);
        Drives->DrawItem(picture.Item(Drives->Handle, 0, state));
        const char* icon = Drives->ItemIcon(0) == TDriveComboBox::diRemovableDrive ? "REMOVABLEDRIVE" : "FIXEDDRIVE";
        const int iconHeight = icon[0] == 'R' ? 10 : 11;
        EXPECT_EQ(picture.CheckIcon(icon, 2, (height - iconHeight) / 2, GetSysColor(COLOR_WINDOW)), "");
    }
}

}  // namespace
