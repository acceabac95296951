// Finish on the last page of the real setup: the install stamp and the update
// log of a shared installation, the start of the word processor, the saved
// settings, and a log that cannot be read or written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

#include "InstallSupport.h"
#include "wizard/ControlIds.h"

using namespace e2e;

namespace {

const std::string kHome = kHomeFolder;

std::string PublicPath(const std::string& folder, const std::string& name)
{
    return SharedFolder(folder) + "\\" + name + (name == "userdicda.tlx" ? "\t!" : "");
}

// The update log as the word processor would read it: its marker lines and
// the paths after them.
struct TLog {
    std::vector<std::string> Lines;
    std::vector<std::string> Markers() const
    {
        std::vector<std::string> m;
        for (const auto& l : Lines)
            if (!l.empty() && l[0] == '*')
                m.push_back(l);
        return m;
    }
};

TLog ReadLog()
{
    const auto bytes = ReadFileBytes(UpdateLogPath());
    if (!bytes)
        throw TDriverError("no update log " + UpdateLogPath());
    if (bytes->size() < 2 || bytes->compare(bytes->size() - 2, 2, "\r\n") != 0)
        throw TDriverError("the update log does not end with CR LF");
    return {CrLfLines(*bytes)};
}

bool LogOrder(const std::string& a, const std::string& b)
{
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT, a.data(), static_cast<int>(a.size()),
                          b.data(), static_cast<int>(b.size())) == CSTR_LESS_THAN;
}

// The paths one install into `folders` lists, sorted as the log keeps them.
std::vector<std::string> PublicPaths(std::initializer_list<const char*> folders)
{
    std::vector<std::string> paths;
    for (const char* folder : folders)
        for (const char* name : kAddOnFiles)
            paths.push_back(PublicPath(folder, name));
    std::sort(paths.begin(), paths.end(), LogOrder);
    return paths;
}

class Finishing : public THomeFixture {
protected:

    // A whole run to the last page with the launch box cleared.
    static void InstallToLastPage(TSetup& setup)
    {
        WalkToComplete(setup, kHome);
        setup.SetChecked(idFinishChkBx, false);
    }
    static void FinishAndExit(TSetup& setup)
    {
        setup.Click(idNextBtn);
        EXPECT_EQ(setup.WaitForExit(), 0u);
        EXPECT_EQ(ListTree(setup.TempDir()), std::vector<std::string>{}) << "temporary files left";
    }
};

TEST_F(Finishing, SharedInstallWritesTheStampAndAFreshLog)
{
    MakeDirs(CommonAppData() + "\\Scrivora\\Hidden");
    TSetup setup;
    InstallToLastPage(setup);
    EXPECT_FALSE(FileExists(UpdateLogPath())) << "the log is written at Finish, not before";
    const double before = NowAsDateTime();
    FinishAndExit(setup);
    const double after = NowAsDateTime();

    const TLog log = ReadLog();
    ASSERT_EQ(log.Lines.size(), 8u);
    const double marked = MarkerTime(log.Lines[0]);
    EXPECT_TRUE(marked >= before && marked <= after)
        << log.Lines[0] << " holds " << marked << ", Finish was between " << before << " and " << after;
    EXPECT_EQ(std::vector<std::string>(log.Lines.begin() + 1, log.Lines.end()), PublicPaths({"Spellcheck"}));

    const auto stamp = ReadFileBytes(StampPath());
    ASSERT_TRUE(stamp.has_value()) << "no install stamp";
    ASSERT_EQ(stamp->size(), 8u);
    double stamped;
    std::memcpy(&stamped, stamp->data(), sizeof stamped);
    EXPECT_EQ(stamped, marked) << "the stamp and the log's marker hold different install times";
    EXPECT_EQ(ListTree(CommonAppData() + "\\Scrivora\\Hidden"), std::vector<std::string>{"install_stamp"});
}

TEST_F(Finishing, WithoutTheHiddenFolderThereIsNoStampAndTheRestGoesOn)
{
    TSetup setup;
    InstallToLastPage(setup);
    FinishAndExit(setup);
    EXPECT_FALSE(DirExists(CommonAppData() + "\\Scrivora\\Hidden")) << "the stamp's folder is not made";
    EXPECT_EQ(ReadLog().Markers().size(), 1u);
    EXPECT_EQ(reg::ReadString("MAINDIR"), kHome);
}

TEST_F(Finishing, BothFoldersAreListedInOneGroup)
{
    MakeDirs(SharedFolder("Spellcheck"));
    MakeDirs(SharedFolder("Orthographe"));
    TSetup setup;
    InstallToLastPage(setup);
    FinishAndExit(setup);
    const TLog log = ReadLog();
    ASSERT_EQ(log.Lines.size(), 15u);
    EXPECT_FALSE(std::isnan(MarkerTime(log.Lines[0]))) << log.Lines[0];
    EXPECT_EQ(std::vector<std::string>(log.Lines.begin() + 1, log.Lines.end()),
              PublicPaths({"Spellcheck", "Orthographe"}));
}

TEST_F(Finishing, AnExistingLogIsMergedAndASecondInstallReplacesItsOwnGroup)
{
    // An older group of another product, an empty line, lone LF endings and
    // a path of ours in other letter case, followed by a group of ours.
    const std::string oldMarker = "*0000000000C0E540";
    std::string ours = PublicPath("Spellcheck", "Danish.asc");
    std::transform(ours.begin(), ours.end(), ours.begin(), [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    WriteFileBytes(UpdateLogPath(), oldMarker + "\r\nC:\\Other\\file.txt\n\r\n" + ours + "\n" +
                                        "*00000000003AE640\r\n" + PublicPath("Spellcheck", "da_DK.dic") + "\r\n");
    std::string firstMarker;
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        TSetup setup;
        InstallToLastPage(setup);
        FinishAndExit(setup);
        const TLog log = ReadLog();
        std::vector<std::string> expected = {oldMarker, "C:\\Other\\file.txt"};
        ASSERT_EQ(log.Lines.size(), expected.size() + 8) << "log:\n" << testing::PrintToString(log.Lines);
        EXPECT_EQ(std::vector<std::string>(log.Lines.begin(), log.Lines.begin() + 2), expected);
        const std::string marker = log.Lines[2];
        EXPECT_FALSE(std::isnan(MarkerTime(marker))) << marker;
        EXPECT_NE(marker, firstMarker) << "the second install has a time of its own";
        firstMarker = marker;
        EXPECT_EQ(std::vector<std::string>(log.Lines.begin() + 3, log.Lines.end()), PublicPaths({"Spellcheck"}));
    }
}

struct TLaunchCase {
    const char* Label;
    const char* Args;   // command line of the setup
    const char* Typed;  // home folder typed on page 2; "" keeps the edit's text
};

void PrintTo(const TLaunchCase& c, std::ostream* os) { *os << c.Label; }

class Launch : public Finishing, public ::testing::WithParamInterface<TLaunchCase> {};

TEST_P(Launch, StartsTheWordProcessorFromTheHomeFolderAndSavesTheChoice)
{
    const TLaunchCase& c = GetParam();
    TStartOptions options;
    options.Args = c.Args;
    TSetup setup(options);
    WalkToComplete(setup, c.Typed);
    EXPECT_TRUE(setup.Checked(idFinishChkBx)) << "with no remembered choice the box starts checked";
    FinishAndExit(setup);

    const std::string recordPath = kHome + "\\" + kOrvexRecord;
    ASSERT_TRUE(WaitUntil(kTimeout, [&] { return FileExists(recordPath) && !OrvexWindows().empty(); }))
        << "orvex.exe was not started";
    const auto record = ReadFileBytes(recordPath);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(CrLfLines(*record).at(0), "\"" + kHome + "\\orvex.exe\"");

    const auto mainDir = reg::Read("MAINDIR");
    ASSERT_TRUE(mainDir.has_value());
    EXPECT_EQ(mainDir->Type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(mainDir->Data, kHome + std::string(1, '\0')) << "the home folder with its one zero byte";
    const auto launch = reg::Read("LAUNCH");
    ASSERT_TRUE(launch.has_value());
    EXPECT_EQ(launch->Type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(launch->Data, std::string("\1\0\0\0", 4));
}

const TLaunchCase kLaunchCases[] = {
    {"typed_home_folder", "", "C:\\Apps\\Scrivora"},
    {"option_with_trailing_backslash", "-dC:\\Apps\\Scrivora\\", ""},
};
INSTANTIATE_TEST_SUITE_P(Homes, Launch, ::testing::ValuesIn(kLaunchCases),
                         [](const auto& info) { return std::string(info.param.Label); });

TEST_F(Finishing, ClearedLaunchBoxStartsNothingAndIsRememberedCleared)
{
    {
        TSetup setup;
        InstallToLastPage(setup);
        FinishAndExit(setup);
    }
    EXPECT_EQ(reg::ReadDword("LAUNCH"), 0u);
    // The next run takes seconds to come up: time enough for a started
    // word processor to have left its record.
    TSetup next;
    next.WaitForWizard();
    EXPECT_FALSE(next.Checked(idFinishChkBx));
    EXPECT_EQ(next.Quit(), 0u);
    EXPECT_FALSE(FileExists(kHome + "\\" + kOrvexRecord)) << "orvex.exe was started";
    EXPECT_TRUE(OrvexWindows().empty());
}

// After a press of Finish that the update log stopped: still the last page,
// no message, nothing saved yet; and the next press does it all.
void ExpectStillOnTheLastPage(TSetup& setup)
{
    ASSERT_TRUE(setup.Running() && setup.HasControl(idPgCtrl)) << "the wizard closed";
    EXPECT_EQ(setup.ActivePage(), 5);
    EXPECT_EQ(setup.MsgBoxes().size(), 0u) << "the failure is silent";
    EXPECT_TRUE(setup.Enabled(idNextBtn));
    EXPECT_EQ(setup.Text(idNextBtn), "&Finish");
    EXPECT_FALSE(setup.Enabled(idCancelBtn));
    EXPECT_FALSE(reg::Read("LAUNCH").has_value()) << "the settings come after the log";
}

const char kOldLog[] = "*0000000000C0E540\r\nC:\\Other\\file.txt\r\n";

TEST_F(Finishing, ALogHeldOpenKeepsTheWizardOnTheLastPageAndTheLogAsItWas)
{
    MakeDirs(CommonAppData() + "\\Scrivora\\Hidden");
    WriteFileBytes(UpdateLogPath(), kOldLog);
    TSetup setup;
    InstallToLastPage(setup);
    {
        TFileHandle held(CreateFileA(UpdateLogPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held) << "cannot hold " << UpdateLogPath();
        setup.Click(idNextBtn);
        ExpectStillOnTheLastPage(setup);
    }
    EXPECT_EQ(ReadFileBytes(UpdateLogPath()), kOldLog);
    EXPECT_EQ(ListDir(CommonAppData() + "\\Scrivora"), (std::vector<std::string>{"Hidden", "Public", "Update.log"}))
        << "a temporary file was left beside the log";
    EXPECT_TRUE(FileExists(StampPath())) << "the stamp comes before the log";

    FinishAndExit(setup);
    const TLog log = ReadLog();
    ASSERT_EQ(log.Lines.size(), 10u);
    EXPECT_EQ(log.Lines[1], "C:\\Other\\file.txt");
    EXPECT_EQ(reg::ReadDword("LAUNCH"), 0u);
}

TEST_F(Finishing, ALogThatCannotBeCreatedKeepsTheWizardOnTheLastPage)
{
    TSetup setup;
    InstallToLastPage(setup);
    // Without its folder the log cannot be created, and the folder is the
    // word processor's: it is not made.
    RemoveTree(CommonAppData() + "\\Scrivora");
    setup.Click(idNextBtn);
    ExpectStillOnTheLastPage(setup);
    EXPECT_FALSE(DirExists(CommonAppData() + "\\Scrivora"));

    MakeDirs(CommonAppData() + "\\Scrivora");
    FinishAndExit(setup);
    EXPECT_EQ(ReadLog().Lines.size(), 8u);
    EXPECT_EQ(ListDir(CommonAppData() + "\\Scrivora"), std::vector<std::string>{"Update.log"});
}

TEST_F(Finishing, ScreenshotsOfTheLastTwoPages)
{
    // The Installing page passes too fast to be caught; a held file keeps the
    // run on it while its message box is open.
    TFileHandle held;
    const std::string blocked = SharedFolder("Spellcheck") + "\\Danish.asc";
    WriteFileBytes(blocked, "held");
    held = TFileHandle(CreateFileA(blocked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    TSetup setup;
    const TMsgBox box = InstallUntilMsgBox(setup, kHome);
    EXPECT_EQ(setup.ActivePage(), 4);
    EXPECT_EQ(setup.Text(idTopLbl), "Installing");
    SaveScreenshot(setup, "page4-installing");
    held.Close();
    box.Press("Retry");
    setup.Settle();
    ExpectPage(setup, 5, "Retry");
    EXPECT_EQ(setup.Text(idTopLbl), "Installation Complete");
    SaveScreenshot(setup, "page5-complete");
    setup.SetChecked(idFinishChkBx, false);
    FinishAndExit(setup);
}

}  // namespace
