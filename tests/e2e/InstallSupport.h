// Shared by the installation and Finish scenarios: the payload the setup
// carries, the expected install results, and the walk through the wizard.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "Driver.h"

namespace e2e {

struct TPayloadEntry {
    std::string Name;
    double Time = 0;
    std::string Data;
};

// The entries of the FILES resource of the setup executable, in archive order.
const std::vector<TPayloadEntry>& SetupPayload();
const TPayloadEntry& PayloadEntry(const std::string& name);  // throws when missing

// The seven add-on files in the order the setup writes them into a folder.
extern const char* const kAddOnFiles[7];

// The last-write time a file written from an entry of that time carries:
// MS-DOS precision, local time.
FILETIME EntryFileTime(double time);
bool SameFileTime(const FILETIME& a, const FILETIME& b);
std::string FormatFileTime(const FILETIME& t);  // local time, for messages

// The shared add-on folder ("Spellcheck" or "Orthographe") below the common
// application data folder, and the records there.
std::string SharedFolder(const std::string& name);
std::string UpdateLogPath();
std::string StampPath();

// The local clock as the setup's TDateTime.
double NowAsDateTime();
// The TDateTime that a log marker "*" + 16 hex digits holds; NaN when malformed.
double MarkerTime(const std::string& marker);

// Lines of a text, split at CR LF; anything else (a lone CR or LF, a missing
// last CR LF) is kept in the lines, so that the format is checked too.
std::vector<std::string> CrLfLines(const std::string& text);

// Clicks Next from the Welcome page to the Ready to Install page, typing
// `home` into the home folder edit unless it is empty (keeping what
// construction put there). Throws with the open message box when a page is
// not reached.
void WalkToReady(TSetup& setup, const std::string& home = "");
// Then Next once more: the installation runs.
void WalkToComplete(TSetup& setup, const std::string& home = "");
// Throws, naming any open message box, unless the wizard shows `page`.
void ExpectPage(const TSetup& setup, int page, const std::string& after);
// From the Ready to Install page: Next, and the first message box of the run.
TMsgBox InstallUntilMsgBox(TSetup& setup, const std::string& home);

// The home folder of the word processor in the shared-installation scenarios.
constexpr char kHomeFolder[] = "C:\\Apps\\Scrivora";

// A home folder with the word processor stand-in, made fresh for each test
// on a clean prefix.
class THomeFixture : public ::testing::Test {
protected:
    explicit THomeFixture(std::string home = kHomeFolder) : Home(std::move(home)) {}
    void SetUp() override
    {
        ResetSetupState();
        RemoveTree(Home);
        InstallOrvex(Home);
    }
    void TearDown() override
    {
        ResetSetupState();
        RemoveTree(Home);
    }
    const std::string Home;
};

// Saves the wizard window as BMP into the screenshot folder (SCRIVORA_SCREENS_DIR).
void SaveScreenshot(const TSetup& setup, const std::string& name);

}  // namespace e2e
