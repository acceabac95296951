// The DLL search of the setup: it runs elevated from a downloads folder, so
// a DLL that someone left beside it or in the current folder must never be
// loaded. Canary DLLs under common names lie in both folders while a copy of
// the setup is worked to the home-folder page and cancelled; none may load.
//
// Wine prefers its own builtin DLL to a planted file of the same name, so a
// canary's marker shows only for names Wine has no builtin for. What shows
// for every name is where the loader found it: Wine's loaddll trace names the
// path. Wine writes it to the Unix stderr of the setup's process, which it
// shares with this program: CTest runs this program with stderr in the file
// named by SCRIVORA_STDERR_LOG, and the test reads it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "Driver.h"
#include "wizard/ControlIds.h"

using namespace e2e;

namespace {

constexpr char kMarker[] = ".loaded";  // the canary leaves "<its path>.loaded"
constexpr char kNoBuiltin[] = "textshaping.dll";  // a canary that Wine has no builtin for

// Wine's own user32 imports version.dll; Wine resolves it from the program's
// folder before the program's first instruction (any program that imports
// user32 shows it), and maps its builtin, so no planted code runs.
constexpr char kWineStartupImport[] = "version.dll";

std::string Lower(std::string s)
{
    CharLowerBuffA(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

bool EndsWith(const std::string& s, const std::string& end)
{
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

std::vector<std::string> CanaryNames()
{
    std::vector<std::string> names;
    for (const std::string& name : ListDir(SCRIVORA_CANARY_DIR))
        if (EndsWith(Lower(name), ".dll"))
            names.push_back(name);
    return names;
}

void PlantCanaries(const std::string& folder)
{
    MakeDirs(folder);
    for (const std::string& name : CanaryNames()) {
        const std::string from = std::string(SCRIVORA_CANARY_DIR) + "\\" + name, to = folder + "\\" + name;
        if (!CopyFileA(from.c_str(), to.c_str(), FALSE))
            throw TDriverError("cannot copy " + from + " to " + to);
    }
}

std::vector<std::string> Markers(const std::string& folder)
{
    std::vector<std::string> found;
    for (const std::string& name : ListDir(folder))
        if (EndsWith(name, kMarker))
            found.push_back(name);
    return found;
}

std::string Joined(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : ", ") + item;
    return out.empty() ? "none" : out;
}

// The path of a loaddll line: 0124:trace:loaddll:build_module Loaded L"C:\\windows\\system32\\x.dll" at ...
std::optional<std::string> LoadedPath(const std::string& line)
{
    if (line.find(":loaddll:") == std::string::npos)
        return std::nullopt;
    const size_t open = line.find("Loaded L\"");
    if (open == std::string::npos)
        return std::nullopt;
    const size_t start = open + 9, end = line.find('"', start);
    if (end == std::string::npos)
        return std::nullopt;
    std::string path;
    for (size_t i = start; i < end; ++i) {
        path += line[i];
        if (line[i] == '\\' && i + 1 < end && line[i + 1] == '\\')
            ++i;  // the trace doubles backslashes
    }
    return path;
}

std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

class DllSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSetupState();
        RemoveTree(Root);
        ASSERT_FALSE(CanaryNames().empty()) << "no canary DLLs in " << SCRIVORA_CANARY_DIR;
    }
    void TearDown() override
    {
        ResetSetupState();
        RemoveTree(Root);
    }
    const std::string Root = TempRoot() + "\\planted";
    const std::string ExeDir = Root + "\\Downloads";
    const std::string WorkDir = Root + "\\current";
};

// Without this the test below would prove nothing: a canary that is loaded
// leaves its marker.
TEST_F(DllSearch, CanaryLeavesItsMarkerWhenLoaded)
{
    const std::string folder = Root + "\\control";
    PlantCanaries(folder);
    const std::string dll = folder + "\\" + kNoBuiltin;
    HMODULE m = LoadLibraryExA(dll.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    ASSERT_NE(m, nullptr) << "cannot load " << dll << ": error " << GetLastError();
    FreeLibrary(m);
    EXPECT_EQ(Markers(folder), std::vector<std::string>{std::string(kNoBuiltin) + kMarker});
}

TEST_F(DllSearch, NoDllIsLoadedFromTheSetupFolderOrTheCurrentFolder)
{
    const char* log = std::getenv("SCRIVORA_STDERR_LOG");
    ASSERT_TRUE(log && *log) << "SCRIVORA_STDERR_LOG is not set: CTest runs this test with Wine's stderr in that file";
    const std::string logPath = ToWinePath(log);
    const size_t logStart = ReadFileBytes(logPath).value_or("").size();

    PlantCanaries(ExeDir);
    PlantCanaries(WorkDir);
    const std::string exe = ExeDir + "\\ScrivoraDanishSpellcheckerSetup.exe";
    ASSERT_TRUE(CopyFileA(SetupExe().c_str(), exe.c_str(), FALSE)) << "cannot copy the setup to " << exe;

    TStartOptions options;
    options.Exe = exe;
    options.WorkDir = WorkDir;
    options.Env = {{"WINEDEBUG", std::string("+loaddll")}};
    TSetup setup(options);
    setup.WaitForWizard();
    // As far as the wizard goes: the license, then the home-folder page with
    // its drive picker (network drives: mpr.dll).
    setup.Click(idNextBtn);
    EXPECT_EQ(setup.ActivePage(), 1) << "Next on the welcome page";
    if (setup.ActivePage() == 1) {
        setup.SetChecked(idLicenseChkBx, true);
        setup.Click(idNextBtn);
        EXPECT_EQ(setup.ActivePage(), 2) << "Next on the license page";
    }
    EXPECT_EQ(setup.Quit(), 0u);

    EXPECT_EQ(Joined(Markers(ExeDir)), "none") << "canaries loaded from the setup's folder " << ExeDir;
    EXPECT_EQ(Joined(Markers(WorkDir)), "none") << "canaries loaded from the current folder " << WorkDir;

    const std::string trace = ReadFileBytes(logPath).value_or("").substr(logStart);
    int loaded = 0;
    for (size_t at = 0; at < trace.size();) {
        const size_t end = std::min(trace.find('\n', at), trace.size());
        const std::string line = trace.substr(at, end - at);
        at = end + 1;
        const auto path = LoadedPath(line);
        if (!path)
            continue;
        ++loaded;
        const std::string file = Lower(*path), folder = Lower(Folder(*path));
        if (file == Lower(exe))
            continue;  // the setup itself
        if (file == Lower(ExeDir) + "\\" + kWineStartupImport) {
            EXPECT_TRUE(EndsWith(line, ": builtin")) << "planted code of Wine's start-up import ran: " << line;
            continue;
        }
        EXPECT_TRUE(folder != Lower(ExeDir) && folder != Lower(WorkDir)) << line;
    }
    EXPECT_GT(loaded, 0) << "no loaddll trace of the setup in " << log << ": the check above saw nothing";
}

}  // namespace
