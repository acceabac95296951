// The installation run of the real setup: which folders receive the add-on
// files, their bytes and times, the replacement rules of a shared and of a
// portable installation, and files that cannot be created.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "InstallSupport.h"
#include "app/Messages.h"
#include "wizard/ControlIds.h"

using namespace e2e;

namespace {

const std::string kHome = kHomeFolder;

std::string CannotCreate(const std::string& path)
{
    char text[2048];
    std::snprintf(text, sizeof text, Msg::CannotCreateFile, path.c_str());
    return text;
}

// A file opened with no sharing for the lifetime of the object, as another
// program would hold it.
class THeldFile {
public:
    explicit THeldFile(const std::string& path, const std::string& content = "held")
    {
        WriteFileBytes(path, content);
        File = TFileHandle(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!File)
            throw TDriverError("cannot hold " + path);
    }
    void Release() { File.Close(); }

private:
    TFileHandle File;
};

class Install : public THomeFixture {
protected:
    using THomeFixture::THomeFixture;
    // Presses Finish with the launch box cleared; the setup must end cleanly.
    static void Finish(TSetup& setup)
    {
        setup.SetChecked(idFinishChkBx, false);
        setup.Click(idNextBtn);
        EXPECT_EQ(setup.WaitForExit(), 0u);
        EXPECT_EQ(ListTree(setup.TempDir()), std::vector<std::string>{}) << "temporary files left";
    }
};

// Every add-on file in `folder` carries its entry's bytes and time.
void ExpectAddOnFiles(const std::string& folder)
{
    for (const char* name : kAddOnFiles) {
        SCOPED_TRACE(folder + "\\" + name);
        const TPayloadEntry& entry = PayloadEntry(name);
        const auto bytes = ReadFileBytes(folder + "\\" + name);
        ASSERT_TRUE(bytes.has_value()) << "not written";
        EXPECT_TRUE(*bytes == entry.Data) << "size " << bytes->size() << ", the entry has " << entry.Data.size();
        const FILETIME written = LastWriteTime(folder + "\\" + name), expected = EntryFileTime(entry.Time);
        EXPECT_TRUE(SameFileTime(written, expected))
            << "last write " << FormatFileTime(written) << ", the entry's time is " << FormatFileTime(expected);
    }
}

std::vector<std::string> SortedAddOnNames()
{
    std::vector<std::string> names(std::begin(kAddOnFiles), std::end(kAddOnFiles));
    std::sort(names.begin(), names.end());
    return names;
}

struct TFolderCase {
    const char* Label;
    bool SpellcheckExists;
    bool OrthographeExists;
    bool IntoSpellcheck;
    bool IntoOrthographe;
};

void PrintTo(const TFolderCase& c, std::ostream* os) { *os << c.Label; }

class SharedFolders : public Install, public ::testing::WithParamInterface<TFolderCase> {};

TEST_P(SharedFolders, ReceiveTheSevenFilesWithTheEntriesBytesAndTimes)
{
    const TFolderCase& c = GetParam();
    if (c.SpellcheckExists)
        MakeDirs(SharedFolder("Spellcheck"));
    if (c.OrthographeExists)
        MakeDirs(SharedFolder("Orthographe"));
    TSetup setup;
    WalkToComplete(setup, kHome);
    EXPECT_FALSE(setup.Enabled(idBackBtn));
    EXPECT_FALSE(setup.Enabled(idCancelBtn));
    EXPECT_EQ(setup.Text(idNextBtn), "&Finish");

    const struct {
        const char* Name;
        bool Existed, Into;
    } folders[] = {{"Spellcheck", c.SpellcheckExists, c.IntoSpellcheck},
                   {"Orthographe", c.OrthographeExists, c.IntoOrthographe}};
    for (const auto& f : folders) {
        SCOPED_TRACE(f.Name);
        if (f.Into) {
            EXPECT_EQ(ListTree(SharedFolder(f.Name)), SortedAddOnNames());
            ExpectAddOnFiles(SharedFolder(f.Name));
        } else {
            EXPECT_EQ(DirExists(SharedFolder(f.Name)), f.Existed) << "a folder that receives nothing is not made";
            EXPECT_EQ(ListTree(SharedFolder(f.Name)), std::vector<std::string>{});
        }
    }
    Finish(setup);
}

const TFolderCase kFolderCases[] = {
    {"neither_exists", false, false, true, false},
    {"only_spellcheck_exists", true, false, true, false},
    {"only_orthographe_exists", false, true, false, true},
    {"both_exist", true, true, true, true},
};
INSTANTIATE_TEST_SUITE_P(Existing, SharedFolders, ::testing::ValuesIn(kFolderCases),
                         [](const auto& info) { return std::string(info.param.Label); });

TEST_F(Install, WithBothFoldersWritesSpellcheckFirst)
{
    // The first file of the second folder cannot be created: when Abort ends
    // the run there, the whole first folder must already have been written.
    MakeDirs(SharedFolder("Spellcheck"));
    const std::string blocked = SharedFolder("Orthographe") + "\\Danish.asc";
    THeldFile held(blocked);
    TSetup setup;
    const TMsgBox box = InstallUntilMsgBox(setup, kHome);
    EXPECT_EQ(box.Text, CannotCreate(blocked));
    EXPECT_EQ(ListTree(SharedFolder("Spellcheck")), SortedAddOnNames());
    box.Press("Abort");
    EXPECT_EQ(setup.WaitForExit(), 0u);
    ExpectAddOnFiles(SharedFolder("Spellcheck"));
    EXPECT_EQ(ListTree(SharedFolder("Orthographe")), std::vector<std::string>{"Danish.asc"});
    held.Release();
    EXPECT_EQ(ReadFileBytes(blocked), "held");
}

TEST_F(Install, SharedOverAnExistingInstallationReplacesEveryFile)
{
    // Old copies, some of them with the entry's own time: shared folders are
    // replaced whatever is there, the user dictionary too.
    const std::string folder = SharedFolder("Spellcheck");
    for (const char* name : kAddOnFiles) {
        const std::string path = folder + "\\" + name;
        WriteFileBytes(path, std::string("old ") + name);
        TFileHandle f(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        const FILETIME t = EntryFileTime(PayloadEntry(name).Time);
        ASSERT_TRUE(f && SetFileTime(f.Get(), nullptr, nullptr, &t)) << path;
    }
    TSetup setup;
    WalkToComplete(setup, kHome);
    ExpectAddOnFiles(folder);
    EXPECT_EQ(ReadFileBytes(folder + "\\userdicda.tlx"), "") << "the archive's user dictionary is empty";
    Finish(setup);
}

TEST_F(Install, IgnoreOnEveryFileStillReachesTheLastPage)
{
    const std::string folder = SharedFolder("Spellcheck");
    std::vector<std::unique_ptr<THeldFile>> held;
    for (const char* name : kAddOnFiles)
        held.push_back(std::make_unique<THeldFile>(folder + "\\" + name));
    TSetup setup;
    WalkToReady(setup, kHome);
    setup.Click(idNextBtn);
    for (const char* name : kAddOnFiles) {
        SCOPED_TRACE(name);
        const TMsgBox box = setup.WaitForMsgBox();
        EXPECT_EQ(box.Text, CannotCreate(folder + "\\" + name));
        EXPECT_EQ(box.Caption, kSetupTitle);
        EXPECT_EQ(box.Icon, TMsgIcon::Error);
        ASSERT_EQ(box.ButtonList(), "Abort|Retry|Ignore");
        box.Press("Ignore");
    }
    setup.Settle();
    ExpectPage(setup, 5, "Ignore on every file");
    EXPECT_EQ(setup.MsgBoxes().size(), 0u);
    held.clear();
    for (const char* name : kAddOnFiles)
        EXPECT_EQ(ReadFileBytes(folder + "\\" + name), "held") << name << " was written although ignored";
    Finish(setup);
}

TEST_F(Install, RetryAfterTheFileWasReleasedWritesIt)
{
    const std::string blocked = SharedFolder("Spellcheck") + "\\da_DK.dic";
    THeldFile held(blocked);
    TSetup setup;
    const TMsgBox box = InstallUntilMsgBox(setup, kHome);
    EXPECT_EQ(box.Text, CannotCreate(blocked));
    held.Release();
    box.Press("Retry");
    setup.Settle();
    ExpectPage(setup, 5, "Retry");
    ExpectAddOnFiles(SharedFolder("Spellcheck"));
    Finish(setup);
}

TEST_F(Install, AbortOnTheFirstFileClosesAtOnceAndStillSavesTheSettings)
{
    const std::string blocked = SharedFolder("Spellcheck") + "\\Danish.asc";
    THeldFile held(blocked);
    // Remembered settings of another kind and value, so that the saved ones show.
    reg::WriteString("MAINDIR", "C:\\windows");
    reg::Write("LAUNCH", REG_BINARY, std::string(4, '\0'));
    TSetup setup;
    const TMsgBox box = InstallUntilMsgBox(setup, kHome);
    EXPECT_EQ(box.Text, CannotCreate(blocked));
    box.Press("Abort");
    // No close question: WaitForExit names any box that stays open.
    EXPECT_EQ(setup.WaitForExit(), 0u);
    EXPECT_EQ(ListTree(CommonAppData() + "\\Scrivora"), std::vector<std::string>{"Public\\Spellcheck\\Danish.asc"})
        << "an add-on file, or a record, was written";
    held.Release();
    EXPECT_EQ(ReadFileBytes(blocked), "held");
    EXPECT_EQ(reg::ReadString("MAINDIR"), kHome);
    const auto launch = reg::Read("LAUNCH");
    ASSERT_TRUE(launch.has_value());
    EXPECT_EQ(launch->Type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(launch->Data, std::string(4, '\0'));
    EXPECT_EQ(ListTree(setup.TempDir()), std::vector<std::string>{}) << "temporary files left";
    EXPECT_TRUE(OrvexWindows().empty());
}

// A home folder on drive P:, a floppy drive to Wine (see CMakeLists.txt).
class Portable : public Install {
protected:
    Portable() : Install("P:\\Scrivora") {}
    void SetUp() override
    {
        if (GetDriveTypeA("P:\\") != DRIVE_REMOVABLE)
            GTEST_SKIP() << "drive P: is not the removable drive of the test set-up";
        Install::SetUp();
        // A stamp would land here; the folder exists so that its absence counts.
        MakeDirs(CommonAppData() + "\\Scrivora\\Hidden");
    }
    const std::string Folder = Home + "\\Spellcheck";

    void ExpectNoRecords()
    {
        EXPECT_FALSE(FileExists(StampPath()));
        EXPECT_FALSE(FileExists(UpdateLogPath()));
        EXPECT_FALSE(DirExists(SharedFolder("Spellcheck")));
        EXPECT_FALSE(DirExists(Home + "\\Orthographe"));
    }
};

TEST_F(Portable, FreshInstallGoesIntoTheHomeFolderAndLeavesNoRecords)
{
    TSetup setup;
    WalkToComplete(setup, Home);
    EXPECT_EQ(ListTree(Folder), SortedAddOnNames());
    ExpectAddOnFiles(Folder);
    Finish(setup);
    ExpectNoRecords();
    EXPECT_EQ(reg::ReadString("MAINDIR"), Home);
}

TEST_F(Portable, OverAnExistingInstallationKeepsWhatItsModesKeep)
{
    // Each file holds text of its own, so that a rewrite shows; the times
    // decide for the replace-when-different files.
    const struct {
        const char* Name;
        bool EntryTime;  // carries the entry's own time
        bool Rewritten;
    } files[] = {
        {"Danish.asc", true, true},     {"hunspell.dll", false, true},  {"da_DK.dic", true, false},
        {"da_DK.aff", true, false},     {"userdicda.tlx", false, false}, {"Danish.hyph", false, true},
        {"Danish.thes", true, false},
    };
    for (const auto& f : files) {
        const std::string path = Folder + "\\" + f.Name;
        WriteFileBytes(path, std::string("mine ") + f.Name);
        FILETIME t = EntryFileTime(PayloadEntry(f.Name).Time);
        if (!f.EntryTime) {
            ULARGE_INTEGER earlier{{t.dwLowDateTime, t.dwHighDateTime}};
            earlier.QuadPart -= 20000000;  // two seconds: another MS-DOS time
            t = {earlier.u.LowPart, earlier.u.HighPart};
        }
        TFileHandle h(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(h && SetFileTime(h.Get(), nullptr, nullptr, &t)) << path;
    }
    TSetup setup;
    WalkToComplete(setup, Home);
    for (const auto& f : files) {
        SCOPED_TRACE(f.Name);
        const auto bytes = ReadFileBytes(Folder + "\\" + f.Name);
        ASSERT_TRUE(bytes.has_value());
        if (f.Rewritten)
            EXPECT_TRUE(*bytes == PayloadEntry(f.Name).Data) << "kept: " << bytes->substr(0, 40);
        else
            EXPECT_EQ(*bytes, std::string("mine ") + f.Name) << "replaced";
    }
    Finish(setup);
    ExpectNoRecords();
}

}  // namespace
