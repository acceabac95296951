// Bench driver: runs inside Wine and times the setup beside its peers, each
// program started by CreateProcess from here, so that Wine's own start-up
// (wineserver, prefix) is paid once and equally by all. Rounds alternate the
// programs; every figure is the median of the rounds. Writes Markdown tables
// to --out. Figures only: nothing here passes or fails on a time.
//
//   benchdriver --out=F --runs=N --work=DIR --setup=EXE --minwin=EXE
//               --copyfiles=EXE --nsis=EXE --files=DIR --payload=BIN
//               [--payload-zlib9=BIN] [--payload-small=BIN]
// Paths are Unix paths (drive Z:) or Windows paths.
#include "Clock.h"
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Driver.h"
#include "payload/ArchiveFormat.h"
#include "platform/Errors.h"
#include "wizard/ControlIds.h"

using namespace e2e;

namespace {

// The seven add-on files, in the order the setup writes them.
const char* const AddOnFiles[] = {"Danish.asc",    "hunspell.dll", "da_DK.dic",  "da_DK.aff",
                                  "userdicda.tlx", "Danish.hyph",  "Danish.thes"};

std::map<std::string, std::string> Args;

std::string Arg(const std::string& name)
{
    auto it = Args.find(name);
    return it == Args.end() ? std::string() : it->second;
}

std::string PathArg(const std::string& name)
{
    const std::string v = Arg(name);
    return v.empty() ? v : ToWinePath(v);
}

std::wstring Wide(const std::string& s)
{
    std::wstring w(s.size(), L'\0');
    w.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(),
                                                     static_cast<int>(w.size()))));
    return w;
}

// Peak working set of a process in bytes; 0 when Wine cannot tell.
double PeakWorkingSet(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    return GetProcessMemoryInfo(process, &pmc, sizeof pmc) ? static_cast<double>(pmc.PeakWorkingSetSize) : 0;
}

struct TSeries {
    std::vector<double> Values;
    bool Failed = false;
    std::string Why;
    double Median() const
    {
        if (Values.empty())
            return 0;
        std::vector<double> v = Values;
        std::sort(v.begin(), v.end());
        const size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }
    double Min() const { return Values.empty() ? 0 : *std::min_element(Values.begin(), Values.end()); }
    double Max() const { return Values.empty() ? 0 : *std::max_element(Values.begin(), Values.end()); }
    bool Usable() const { return !Failed && !Values.empty(); }
};

PROCESS_INFORMATION Start(const std::string& exe, const std::string& args)
{
    std::wstring cmd = L"\"" + Wide(exe) + L"\"" + (args.empty() ? L"" : L" " + Wide(args));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(Wide(exe).c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        throw TDriverError("cannot start " + exe + ": error " + std::to_string(GetLastError()));
    CloseHandle(pi.hThread);
    return pi;
}

void EndProcess(HANDLE process)
{
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process, 255);
        WaitForSingleObject(process, kTimeout);
    }
    CloseHandle(process);
}

struct TFind {
    DWORD Pid;
    HWND Found;
};

BOOL CALLBACK FindVisible(HWND wnd, LPARAM lp)
{
    auto* f = reinterpret_cast<TFind*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid == f->Pid && IsWindowVisible(wnd)) {
        f->Found = wnd;
        return FALSE;
    }
    return TRUE;
}

// Process start to the first visible top-level window of the process, in ms;
// the peak working set once the program waits for input.
void TimeToWindow(const std::string& exe, TSeries& ms, TSeries& peak)
{
    const double t0 = NowMs();
    PROCESS_INFORMATION pi = Start(exe, "");
    TFind find{pi.dwProcessId, nullptr};
    for (;;) {
        EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&find));
        if (find.Found)
            break;
        if (WaitForSingleObject(pi.hProcess, 1) != WAIT_TIMEOUT || NowMs() - t0 > kTimeout) {
            EndProcess(pi.hProcess);
            throw TDriverError(exe + ": no window appeared");
        }
    }
    ms.Values.push_back(NowMs() - t0);
    WaitForInputIdle(pi.hProcess, kTimeout);
    peak.Values.push_back(PeakWorkingSet(pi.hProcess));
    EndProcess(pi.hProcess);
}

// Runs a program to its end; ms from process start to exit.
double RunToExit(const std::string& exe, const std::string& args)
{
    const double t0 = NowMs();
    PROCESS_INFORMATION pi = Start(exe, args);
    if (WaitForSingleObject(pi.hProcess, 120000) != WAIT_OBJECT_0) {
        EndProcess(pi.hProcess);
        throw TDriverError(exe + " did not end");
    }
    const double t1 = NowMs();
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    if (code != 0)
        throw TDriverError(exe + " ended with code " + std::to_string(code));
    return t1 - t0;
}

void ExpectInstalled(const std::string& folder)
{
    for (const char* name : AddOnFiles)
        if (!FileExists(folder + "\\" + name))
            throw TDriverError(folder + "\\" + name + " was not written");
}

bool WaitForPage(const TSetup& setup, int page)
{
    return WaitUntil(kTimeout, [&] { return setup.ActivePage() == page || !setup.Running() || !setup.MsgBoxes().empty(); }) &&
           setup.ActivePage() == page;
}

// Our wizard, driven to page 3; ms from Next there to page 5 shown.
void OursInstall(const std::string& exe, const std::string& home, TSeries& ms, TSeries& peak)
{
    RemoveTree(CommonAppData() + "\\Scrivora");
    reg::DeleteKey();
    TStartOptions options;
    options.Exe = exe;
    TSetup setup(options);
    setup.WaitForWizard();
    setup.Click(idNextBtn);
    if (WaitForPage(setup, 1)) {
        setup.SetChecked(idLicenseChkBx, true);
        setup.Click(idNextBtn);
    }
    if (WaitForPage(setup, 2)) {
        setup.Type(idDestDirEdt, home);
        setup.Click(idNextBtn);
    }
    if (!WaitForPage(setup, 3))
        throw TDriverError("page 3 not reached (page " + std::to_string(setup.ActivePage()) + ")");
    const double t0 = NowMs();
    setup.Click(idNextBtn);
    while (setup.ActivePage() != 5) {
        if (!setup.Running() || NowMs() - t0 > kTimeout || !setup.MsgBoxes().empty())
            throw TDriverError("page 5 not reached (page " + std::to_string(setup.ActivePage()) + ")");
        Sleep(1);
    }
    ms.Values.push_back(NowMs() - t0);
    if (HANDLE h = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, setup.Pid())) {
        peak.Values.push_back(PeakWorkingSet(h));
        CloseHandle(h);
    }
    ExpectInstalled(CommonAppData() + "\\Scrivora\\Public\\Spellcheck");
    setup.Kill();
}

// Runs `body` once per series per round, in an order that rotates every round.
void Alternate(int runs, std::vector<std::function<void()>> bodies, std::vector<TSeries*> failures)
{
    for (int round = 0; round < runs; ++round)
        for (size_t k = 0; k < bodies.size(); ++k) {
            const size_t i = (k + static_cast<size_t>(round)) % bodies.size();
            if (failures[i]->Failed)
                continue;
            try {
                bodies[i]();
            } catch (const std::exception& e) {
                failures[i]->Failed = true;
                failures[i]->Why = e.what();
                std::fprintf(stderr, "benchdriver: %s\n", e.what());
            }
        }
}

std::string ReadText(const std::string& path)
{
    auto data = ReadFileBytes(path);
    return data ? *data : std::string();
}

FILE* Out = nullptr;

std::string Ratio(const TSeries& a, const TSeries& b)
{
    if (!a.Usable() || !b.Usable() || b.Median() <= 0)
        return "n/a";
    char r[32];
    std::snprintf(r, sizeof r, "%.2f", a.Median() / b.Median());
    return r;
}

std::string MiB(double bytes)
{
    if (bytes <= 0)
        return "n/a";
    char b[32];
    std::snprintf(b, sizeof b, "%.1f MiB", bytes / 1048576.0);
    return b;
}

void TimeRow(const char* what, const TSeries& s, const TSeries& base)
{
    if (!s.Usable()) {
        std::fprintf(Out, "| %s | n/a (not reached) | | | |\n", what);
        if (!s.Why.empty())
            std::fprintf(Out, "|   (%s) | | | | |\n", s.Why.c_str());
        return;
    }
    std::fprintf(Out, "| %s | %.1f | %.1f | %.1f | %s |\n", what, s.Median(), s.Min(), s.Max(), Ratio(s, base).c_str());
}

void MemRow(const char* what, const TSeries& s, const TSeries& base)
{
    if (!s.Usable() || s.Median() <= 0) {
        std::fprintf(Out, "| %s | n/a | |\n", what);
        return;
    }
    std::fprintf(Out, "| %s | %s | %s |\n", what, MiB(s.Median()).c_str(), Ratio(s, base).c_str());
}

// The inflation the setup does at start-up, timed here in-process on the
// same machine: the largest part of its start-up beyond a bare window.
void InflateRow(const char* what, const std::string& path, int runs)
{
    const auto data = ReadFileBytes(path);
    if (!data) {
        std::fprintf(Out, "| %s | n/a | | |\n", what);
        return;
    }
    TSeries s;
    int32_t size = 0;
    try {
        for (int i = 0; i < runs; ++i) {
            const double t0 = NowMs();
            uint8_t* raw = Archive::InflateBuffer(reinterpret_cast<const uint8_t*>(data->data()),
                                                  static_cast<uint32_t>(data->size()),
                                                  Archive::FirstEstimate(static_cast<uint32_t>(data->size())), size);
            std::vector<Archive::TEntryInfo> entries;
            std::string error;
            Archive::ParseEntries(raw, static_cast<size_t>(size), entries, error);
            s.Values.push_back(NowMs() - t0);
            std::free(raw);
        }
    } catch (const ESetupError& e) {
        std::fprintf(Out, "| %s | n/a (%s) | | |\n", what, e.Message.c_str());
        return;
    }
    std::fprintf(Out, "| %s | %zu | %d | %.1f |\n", what, data->size(), size, s.Median());
}

int Run()
{
    const int runs = std::max(1, std::atoi(Arg("runs").c_str()));
    const std::string work = PathArg("work");
    MakeDirs(work);
    // Children inherit this temporary folder; the setup's leftovers stay in it.
    const std::string temp = work + "\\tmp";
    MakeDirs(temp);
    SetEnvironmentVariableA("TMP", temp.c_str());
    SetEnvironmentVariableA("TEMP", temp.c_str());

    const std::string setup = PathArg("setup"), minwin = PathArg("minwin"), nsis = PathArg("nsis");
    const std::string copyfiles = PathArg("copyfiles"), files = PathArg("files"), nsisSilent = nsis;
    const std::string payload = PathArg("payload"), payload9 = PathArg("payload-zlib9"),
                      payloadSmall = PathArg("payload-small");

    // Variants of our setup with another payload, to see what the payload costs.
    std::string setup9, setupSmall;
    if (!payload9.empty()) {
        setup9 = work + "\\setup-zlib9.exe";
        CopySetupWithPayload(setup9, ReadText(payload9), setup);
    }
    if (!payloadSmall.empty()) {
        setupSmall = work + "\\setup-small.exe";
        CopySetupWithPayload(setupSmall, ReadText(payloadSmall), setup);
    }

    Out = std::fopen(Arg("out").c_str(), "w");
    if (!Out)
        Out = std::fopen(PathArg("out").c_str(), "w");
    if (!Out)
        throw TDriverError("cannot write " + Arg("out"));

    // --- Start-up ---
    std::fprintf(stderr, "benchdriver: start-up, %d rounds\n", runs);
    TSeries minMs, oursMs, ours9Ms, oursSmallMs, nsisMs;
    TSeries minMem, oursMem, ours9Mem, oursSmallMem, nsisMem;
    std::vector<std::function<void()>> bodies = {
        [&] { TimeToWindow(minwin, minMs, minMem); },
        [&] { TimeToWindow(setup, oursMs, oursMem); },
        [&] { TimeToWindow(nsis, nsisMs, nsisMem); },
    };
    std::vector<TSeries*> series = {&minMs, &oursMs, &nsisMs};
    if (!setup9.empty()) {
        bodies.push_back([&] { TimeToWindow(setup9, ours9Ms, ours9Mem); });
        series.push_back(&ours9Ms);
    }
    if (!setupSmall.empty()) {
        bodies.push_back([&] { TimeToWindow(setupSmall, oursSmallMs, oursSmallMem); });
        series.push_back(&oursSmallMs);
    }
    Alternate(runs, bodies, series);

    std::fprintf(Out, "### Start-up: process start to the first visible window (x86_64, wine64, %d rounds)\n\n", runs);
    std::fprintf(Out, "| Program | median ms | min ms | max ms | ratio to minimal window |\n|---|---|---|---|---|\n");
    TimeRow("minimal Win32 window (minwin.exe)", minMs, minMs);
    TimeRow("our setup, release payload", oursMs, minMs);
    TimeRow("NSIS installer, amd64, zlib", nsisMs, minMs);
    if (!setup9.empty())
        TimeRow("our setup, zlib level 9 payload", ours9Ms, minMs);
    if (!setupSmall.empty())
        TimeRow("our setup, payload of license and logos only", oursSmallMs, minMs);
    std::fprintf(Out, "\nIn-process, same machine (the setup's inflate and index code, median of %d):\n\n", runs);
    std::fprintf(Out, "| Payload | compressed bytes | inflated bytes | inflate + index ms |\n|---|---|---|---|\n");
    InflateRow("release payload", payload, runs);
    if (!payload9.empty())
        InflateRow("zlib level 9", payload9, runs);

    // --- Installation ---
    std::fprintf(stderr, "benchdriver: installation, %d rounds\n", runs);
    const std::string home = work + "\\home";
    InstallOrvex(home);
    const std::string copyRoot = CommonAppData() + "\\ScrivoraBenchCopy", nsisRoot = CommonAppData() + "\\ScrivoraBenchNsis";
    RemoveTree(copyRoot);
    RemoveTree(nsisRoot);
    MakeDirs(copyRoot);
    MakeDirs(nsisRoot);
    std::string sources;
    for (const char* name : AddOnFiles)
        sources += " \"" + files + "\\" + name + "\"";
    TSeries oursInst, oursInstMem, copyInner, copyOuter, nsisInst;
    int copyRun = 0, nsisRun = 0;
    Alternate(runs,
              {
                  [&] { OursInstall(setup, home, oursInst, oursInstMem); },
                  [&] {
                      const std::string dest = copyRoot + "\\" + std::to_string(copyRun++);
                      const std::string result = work + "\\copy-us.txt";
                      copyOuter.Values.push_back(RunToExit(copyfiles, "\"" + result + "\" \"" + dest + "\"" + sources));
                      copyInner.Values.push_back(std::atof(ReadText(result).c_str()) / 1000.0);
                      ExpectInstalled(dest + "\\Spellcheck");
                  },
                  [&] {
                      const std::string dest = nsisRoot + "\\" + std::to_string(nsisRun++);
                      nsisInst.Values.push_back(RunToExit(nsisSilent, "/S /D=" + dest));
                      ExpectInstalled(dest + "\\Spellcheck");
                  },
              },
              {&oursInst, &copyInner, &nsisInst});
    copyOuter.Failed = copyInner.Failed;
    RemoveTree(copyRoot);
    RemoveTree(nsisRoot);
    RemoveTree(CommonAppData() + "\\Scrivora");
    reg::DeleteKey();

    std::fprintf(Out, "\n### Installation of the seven add-on files into a fresh folder (%d rounds)\n\n", runs);
    std::fprintf(Out, "| Run | median ms | min ms | max ms | ratio |\n|---|---|---|---|---|\n");
    TimeRow("our setup: Next on page 3 to page 5 shown (ratio to the CopyFileW loop)", oursInst, copyInner);
    TimeRow("plain CopyFileW loop, in-process (ratio to itself)", copyInner, copyInner);
    TimeRow("plain CopyFileW program, process start to exit (ratio to itself)", copyOuter, copyOuter);
    TimeRow("NSIS /S /D=, process start to exit (ratio to the CopyFileW program)", nsisInst, copyOuter);

    std::fprintf(Out, "\n### Memory: peak working set (GetProcessMemoryInfo on the process handle)\n\n");
    std::fprintf(Out, "| Process | median peak working set | ratio to minimal window |\n|---|---|---|\n");
    MemRow("minimal Win32 window, at its window", minMem, minMem);
    MemRow("our setup, at the wizard window", oursMem, minMem);
    MemRow("our setup, at page 5 after the installation run", oursInstMem, minMem);
    MemRow("our setup with a license-and-logos payload, at the wizard", oursSmallMem, minMem);
    MemRow("NSIS amd64 zlib, at its window", nsisMem, minMem);
    std::fclose(Out);
    RemoveTree(temp);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const size_t eq = a.find('=');
        if (a.rfind("--", 0) != 0 || eq == std::string::npos) {
            std::fprintf(stderr, "benchdriver: bad argument %s\n", a.c_str());
            return 2;
        }
        Args[a.substr(2, eq - 2)] = a.substr(eq + 1);
    }
    try {
        return Run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "benchdriver: %s\n", e.what());
        return 1;
    }
}
