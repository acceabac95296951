// Phase timings: the steps of the setup's start-up and of its installation
// run, timed with QueryPerformanceCounter inside one process as the setup
// runs them, on the real payload (resource FILES/FILES, linked in as in the
// setup). Writes one Markdown table to --out. Figures only.
//
//   phases --out=F --runs=N --home=DIR
//
// Every round starts three fresh processes of this program, so that every
// phase is timed the first time it runs in a process, as in the setup:
//   split: start-up, then the wizard construction step by step (the same
//          calls on the same layout, through a form of its own), then the
//          installation run step by step, twice (the second pass shows what
//          the first call in a process costs);
//   whole: start-up, then the wizard's real constructor, then its real
//          installation run (GoToPage from page 3, which ends on page 5);
//   click: the same, the run started by a posted click on Next, as the
//          bench driver starts it.
// The medians are over the rounds. DIR is the home folder whose drive is
// tested for a portable installation (the bench's home folder, on drive Z:).
#include "Clock.h"
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "payload/AttachFiles.h"
#include "platform/Application.h"
#include "platform/ControlRegistry.h"
#include "platform/Errors.h"
#include "platform/Handles.h"
#include "platform/SystemLibrary.h"
#include "utils/InstUtils.h"
#include "wizard/DestDir.h"
#include "wizard/Layout.h"
#include "wizard/MainDlg.h"
#include "wizard/ResConst.h"
#include "wizard/StartSettings.h"

namespace {

const char* const AddOnNames[] = {"Danish.asc",    "hunspell.dll", "da_DK.dic",  "da_DK.aff",
                                  "userdicda.tlx", "Danish.hyph",  "Danish.thes"};
const TInstallMode AddOnModes[] = {imReplaceAlways,    imReplaceDifferent, imReplaceDifferent, imReplaceDifferent,
                                   imKeepExisting,     imReplaceDifferent, imReplaceDifferent};
const char* const SpellFolderNames[] = {"Spellcheck\\", "Orthographe\\"};

// --- Child: the phases of one process, as "key<TAB>ms" lines --------------

std::FILE* Result = nullptr;

void Record(const std::string& key, double ms)
{
    std::fprintf(Result, "%s\t%.4f\n", key.c_str(), ms);
}

// Times body() and records it under key; returns its result.
template <typename F>
auto Timed(const std::string& key, F body)
{
    const double t0 = NowMs();
    if constexpr (std::is_void_v<decltype(body())>) {
        body();
        Record(key, NowMs() - t0);
    } else {
        auto r = body();
        Record(key, NowMs() - t0);
        return r;
    }
}

// A form of the wizard's class and layout, built step by step with the same
// calls as the wizard's constructor, so that each step can be timed.
class TStepForm : public TForm {
public:
    TStepForm() : TForm("TMainDlgForm") {}
    void Build() { CreateFromLayout(WizardLayout); }

protected:
    TNotifyEvent NotifyHandler(const std::string&) override
    {
        return [](TControl*) {};
    }
    TCloseQueryEvent CloseQueryHandler(const std::string&) override
    {
        return [](TControl*, bool& canClose) { canClose = true; };
    }
};

// The controls the page change touches, from either form.
struct TPageControls {
    TButton* Back;
    TButton* Next;
    TButton* Cancel;
    TLabel* Title;
    TPageControl* Pages;
};

// The common step of a page change, as the wizard does it (no focus on pages 0, 4, 5).
void ShowPageAsWizard(const TPageControls& c, int page)
{
    c.Back->SetVisible(page != 0);
    c.Back->SetEnabled(page < 4);
    c.Back->SetCaption("< &Back");
    c.Next->SetEnabled(page != 4);
    c.Next->SetCaption(page == 5 ? "&Finish" : "&Next >");
    c.Cancel->SetEnabled(page != 5);
    c.Cancel->SetCaption("Cancel");
    c.Title->SetCaption(PageTitles[page]);
    c.Pages->SetActivePageIndex(page);
}

BOOL CALLBACK EnumInstanceProc(HWND window, LPARAM found) noexcept
{
    if (!GetPropA(window, "1.x Nimbrel"))
        return TRUE;
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
}

// The messages that showing or a page change left, handled outside the timings.
void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// What the modal run does first: the wizard shown, and its first paint.
void ShowWizard(HWND wizard)
{
    Timed("show", [&] {
        ShowWindow(wizard, SW_SHOWNORMAL);
        SetForegroundWindow(wizard);
        UpdateWindow(wizard);
        Pump();
    });
}

std::string FolderOf(const std::string& fileName)
{
    const size_t sep = fileName.find_last_of("\\:");
    return sep == std::string::npos ? std::string() : fileName.substr(0, sep + 1);
}

void RemoveInstalled()
{
    DeleteTree(JoinPath(GetSpecialFolder(35), "Scrivora"));
    AttachedFiles->Queues[0].clear();
    AttachedFiles->PublicFiles.clear();
}

// The installation run step by step: the calls of entering page 4 in order.
void InstallSteps(const TPageControls& c, const std::string& mainDir, const std::string& pass)
{
    RemoveInstalled();
    Pump();
    const std::string p = pass + "/";
    const double start = NowMs();
    Timed(p + "InstanceRunning", [] {
        bool found = false;
        EnumWindows(EnumInstanceProc, reinterpret_cast<LPARAM>(&found));
        return found;
    });
    Timed(p + "ShowPage4", [&] { ShowPageAsWizard(c, 4); });
    bool portable[3];
    double t0 = NowMs();
    for (bool& b : portable)
        b = IsExternalDrive(mainDir);
    Record(p + "IsExternalDrive", NowMs() - t0);
    AttachedFiles->ReplaceAll = !portable[0];

    std::string folders[2];
    t0 = NowMs();
    for (size_t i = 0; i < 2; ++i)
        folders[i] = portable[1 + i] ? JoinPath(mainDir, SpellFolderNames[i])
                                     : JoinPath(GetSpecialFolder(35), std::string("Scrivora\\Public\\") + SpellFolderNames[i]);
    Record(p + "GetSpecialFolder2", NowMs() - t0);
    t0 = NowMs();
    const bool e0 = DirExists(folders[0]);
    const bool e1 = DirExists(folders[1]);
    Record(p + "DirExists", NowMs() - t0);
    const auto chosen = ChooseSpellFolders(e0, e1);
    t0 = NowMs();
    for (size_t i = 0; i < 2; ++i)
        if (chosen[i])
            for (size_t f = 0; f < std::size(AddOnNames); ++f)
                AttachedFiles->AddFiles(AddOnNames[f], folders[i], 0, AddOnModes[f]);
    Record(p + "AddFiles", NowMs() - t0);
    // What the planning spends in its GetSpecialFolder(35) per planned file.
    t0 = NowMs();
    for (size_t i = 0; i < AttachedFiles->Queues[0].size(); ++i)
        GetSpecialFolder(35);
    Record(p + "GetSpecialFolderN", NowMs() - t0);

    double dirs = 0, write = 0, times = 0;
    for (const auto& item : AttachedFiles->Queues[0]) {
        const TAttachedFile& entry = *item->Entry;
        const std::string& fileName = item->FileName;
        double a = NowMs();
        ForceDirs(FolderOf(fileName));
        double b = NowMs();
        dirs += b - a;
        {
            TFileHandle file(CreateFileW(ToWidePath(fileName).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            DWORD written = 0;
            if (!file || !WriteFile(file.Get(), AttachedFiles->Data + entry.Offset, static_cast<DWORD>(entry.Size),
                                    &written, nullptr))
                throw ESetupError("cannot write " + fileName);
        }
        a = NowMs();
        write += a - b;
        uint16_t dosDate, dosTime;
        FILETIME local, utc;
        if (DateTimeToDos(entry.Time, dosDate, dosTime) && DosDateTimeToFileTime(dosDate, dosTime, &local) &&
            LocalFileTimeToFileTime(&local, &utc)) {
            TFileHandle file(CreateFileW(ToWidePath(fileName).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, nullptr));
            if (file)
                SetFileTime(file.Get(), nullptr, nullptr, &utc);
        }
        times += NowMs() - a;
    }
    Record(p + "ForceDirs", dirs);
    Record(p + "CreateWrite", write);
    Record(p + "SetTime", times);
    Timed(p + "ShowPage5", [&] { ShowPageAsWizard(c, 5); });
    Record(p + "total", NowMs() - start);
}

// Start-up up to the wizard, as the setup's entry runs it.
void StartupSteps()
{
    Timed("RestrictDllSearch", [] { RestrictDllSearch(); });
    Timed("ApplicationInit", [] { ApplicationInit(); });
    Timed("InitSpecialFolderLookup", [] { InitSpecialFolderLookup(); });
    Timed("InitCommonControlsRuntime", [] { InitCommonControlsRuntime(); });
    Timed("RegisterControlClasses", [] { RegisterControlClasses(); });
    Timed("LoadIcon", [] { return LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)); });
    AttachedFiles = Timed("TAttachedFiles", [] { return new TAttachedFiles(); });
}

void ChildSplit(const std::string& home)
{
    const double start = NowMs();
    StartupSteps();
    const double formStart = NowMs();
    TStepForm form;
    Timed("form/layout", [&] { form.Build(); });
    TPageControls c{form.Control<TButton>("BackBtn"), form.Control<TButton>("NextBtn"),
                    form.Control<TButton>("CancelBtn"), form.Control<TLabel>("TopLbl"),
                    form.Control<TPageControl>("PgCtrl")};
    auto* logo = form.Control<TImage>("LogoImage");
    auto* logoSmall = form.Control<TImage>("LogoSmallImage");
    auto* dirList = form.Control<TDirectoryListBox>("DestDirLstBx");
    Timed("form/captions", [&] {
        form.SetCaption("Scrivora Danish Spellchecker - Setup");
        form.Control<TPanel>("TopPanel")->SetParentBackground(false);
    });
    Timed("form/logos", [&] {
        const std::string path = MakeTempFileName();
        const std::wstring widePath = ToWidePath(path);
        AttachedFiles->ExtractFile(nullptr, "Logo.bmp", path);
        logo->LoadFromFile(widePath);
        AttachedFiles->ExtractFile(nullptr, "LogoSmall.bmp", path);
        logoSmall->LoadFromFile(widePath);
        DeleteFileW(widePath.c_str());
    });
    const std::string mainDir = Timed("form/registry", [] {
        TRegKey key;
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Scrivora Word Processor\\Install", 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr);
        const std::optional<std::string> value = ReadRegValue(key.Get(), "MAINDIR");
        std::string dir = value ? RegText(*value) : std::string();
        if (dir.empty() || !DirExists(dir))
            dir = JoinPath(GetSpecialFolder(38), "Scrivora");
        LaunchChecked(ReadRegValue(key.Get(), "LAUNCH"));
        return dir;
    });
    Timed("form/edit", [&] { form.Control<TEdit>("DestDirEdt")->SetCaption(mainDir); });
    Timed("form/SetDirectory", [&] { dirList->SetDirectory(mainDir); });
    Timed("form/page0", [&] {
        SetTimer(form.Handle, 1, 1000, nullptr);
        ShowPageAsWizard(c, 0);
    });
    Record("form/total", NowMs() - formStart);
    ShowWizard(form.Handle);
    Record("startup/total", NowMs() - start);
    ShowPageAsWizard(c, 3);
    InstallSteps(c, home, "first");
    InstallSteps(c, home, "second");
    RemoveInstalled();
}

void ChildWhole(const std::string& home, bool click)
{
    const double start = NowMs();
    StartupSteps();
    MainDlgForm = Timed("TMainDlgForm", [] { return new TMainDlgForm(); });
    ShowWizard(MainDlgForm->Handle);
    Record("whole/startup", NowMs() - start);
    RemoveInstalled();
    MainDlgForm->MainDir = home;
    MainDlgForm->PgCtrl->SetActivePageIndex(3);
    Pump();
    if (click) {
        // The way the bench driver ends page 3: a posted click on Next, then
        // the messages until page 5 is the active page.
        const double t0 = NowMs();
        PostMessageA(MainDlgForm->NextBtn->Handle, BM_CLICK, 0, 0);
        while (MainDlgForm->PgCtrl->ActivePageIndex() != 5 && NowMs() - t0 < 60000) {
            MSG msg;
            if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        Record("click/install", NowMs() - t0);
    } else {
        Timed("whole/install", [] { MainDlgForm->GoToPage(3, 4); });
    }
    if (MainDlgForm->PgCtrl->ActivePageIndex() != 5)
        throw ESetupError("the installation run did not reach page 5");
    RemoveInstalled();
    delete MainDlgForm;
    MainDlgForm = nullptr;
}

// --- Parent: rounds of child processes and the table -----------------------

std::map<std::string, std::string> Args;

std::string Arg(const std::string& name)
{
    auto it = Args.find(name);
    return it == Args.end() ? std::string() : it->second;
}

std::string ToWindowsPath(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return path;
    std::string p = "Z:" + path;
    std::replace(p.begin(), p.end(), '/', '\\');
    return p;
}

std::map<std::string, std::vector<double>> Samples;

void RunChild(const std::string& kind, const std::string& home, const std::string& resultPath)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string cmd = "\"" + std::string(self) + "\" --child=" + kind + " \"--home=" + home + "\" \"--result=" +
                      resultPath + "\"";
    DeleteFileA(resultPath.c_str());
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        throw ESetupError("cannot start " + cmd);
    CloseHandle(pi.hThread);
    WaitForSingleObject(pi.hProcess, 120000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    if (code != 0)
        throw ESetupError("child " + kind + " ended with code " + std::to_string(code));
    std::FILE* in = std::fopen(resultPath.c_str(), "r");
    if (!in)
        throw ESetupError("child " + kind + " wrote no result");
    char line[512];
    while (std::fgets(line, sizeof line, in)) {
        char* tab = std::strchr(line, '\t');
        if (!tab)
            continue;
        *tab = '\0';
        Samples[line].push_back(std::atof(tab + 1));
    }
    std::fclose(in);
}

double Median(const std::string& key)
{
    auto it = Samples.find(key);
    if (it == Samples.end() || it->second.empty())
        return -1;
    std::vector<double> v = it->second;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::FILE* Out = nullptr;

void Row(const char* what, const std::string& key, const std::string& second = std::string())
{
    const double m = Median(key);
    std::string a = m < 0 ? "n/a" : std::to_string(m);
    char buf[64];
    if (m >= 0) {
        std::snprintf(buf, sizeof buf, "%.2f", m);
        a = buf;
    }
    std::string b;
    if (!second.empty()) {
        const double s = Median(second);
        if (s >= 0) {
            std::snprintf(buf, sizeof buf, "%.2f", s);
            b = buf;
        } else {
            b = "n/a";
        }
    }
    std::fprintf(Out, "| %s | %s | %s |\n", what, a.c_str(), b.c_str());
}

int Parent()
{
    const int runs = std::max(1, std::atoi(Arg("runs").c_str()));
    const std::string home = ToWindowsPath(Arg("home"));
    const std::string outPath = ToWindowsPath(Arg("out"));
    CreateDirectoryA(home.c_str(), nullptr);
    const std::string resultPath = GetTempDir() + "phases-" + std::to_string(GetCurrentProcessId()) + ".txt";
    for (int r = 0; r < runs; ++r) {
        static const char* const kinds[] = {"split", "whole", "click"};
        for (int k = 0; k < 3; ++k)
            RunChild(kinds[(k + r) % 3], home, resultPath);
    }
    DeleteFileA(resultPath.c_str());
    Out = std::fopen(outPath.c_str(), "w");
    if (!Out)
        throw ESetupError("cannot write " + outPath);
    std::fprintf(Out, "### Phases, in-process (bench/phases.cpp, QueryPerformanceCounter, median of %d rounds)\n\n",
                 runs);
    std::fprintf(Out, "Start-up, as the setup's entry runs it (the wizard's construction step by step: the same\n"
                      "calls on the same layout, through a form of the bench's own):\n\n");
    std::fprintf(Out, "| Phase | median ms | |\n|---|---|---|\n");
    Row("RestrictDllSearch", "RestrictDllSearch");
    Row("ApplicationInit (OleInitialize)", "ApplicationInit");
    Row("InitSpecialFolderLookup", "InitSpecialFolderLookup");
    Row("InitCommonControlsRuntime", "InitCommonControlsRuntime");
    Row("RegisterControlClasses (control classes)", "RegisterControlClasses");
    Row("LoadIcon", "LoadIcon");
    Row("TAttachedFiles: inflate + index the FILES resource", "TAttachedFiles");
    Row("wizard: window and controls from the layout", "form/layout");
    Row("wizard: caption, header background", "form/captions");
    Row("wizard: both logos through the temporary file", "form/logos");
    Row("wizard: registry read (and the folder test of MAINDIR)", "form/registry");
    Row("wizard: home folder into the edit", "form/edit");
    Row("wizard: folder list SetDirectory", "form/SetDirectory");
    Row("wizard: timer, GoToPage(255, 0) (page 0 shown)", "form/page0");
    Row("wizard, step by step: total", "form/total");
    Row("wizard: the real TMainDlgForm constructor, whole", "TMainDlgForm");
    Row("wizard shown: ShowWindow, first paint (messages until idle)", "show");
    Row("start-up to the wizard shown, step by step: total", "startup/total");
    Row("start-up to the wizard shown, real constructor: total", "whole/startup");
    std::fprintf(Out, "\nInstallation run, Next on page 3 until page 5 (step by step with the setup's own calls;\n"
                      "the wizard shown on page 3; the seven files into the common application data folder,\n"
                      "removed before each pass):\n\n");
    std::fprintf(Out, "| Phase | first in the process, median ms | second pass, same process |\n|---|---|---|\n");
    Row("InstanceRunning (EnumWindows)", "first/InstanceRunning", "second/InstanceRunning");
    Row("ShowPage(4)", "first/ShowPage4", "second/ShowPage4");
    Row("IsExternalDrive(home folder) x3 (the portable test)", "first/IsExternalDrive", "second/IsExternalDrive");
    Row("GetSpecialFolder(35) x2 (the two folder names)", "first/GetSpecialFolder2", "second/GetSpecialFolder2");
    Row("DirExists x2", "first/DirExists", "second/DirExists");
    Row("AddFiles x7 (planning)", "first/AddFiles", "second/AddFiles");
    Row("  of which: GetSpecialFolder(35) x7, timed apart", "first/GetSpecialFolderN", "second/GetSpecialFolderN");
    Row("extraction x7: folder creation (ForceDirs)", "first/ForceDirs", "second/ForceDirs");
    Row("extraction x7: CreateFileW + WriteFile + close", "first/CreateWrite", "second/CreateWrite");
    Row("extraction x7: time-setting open + SetFileTime + close", "first/SetTime", "second/SetTime");
    Row("ShowPage(5)", "first/ShowPage5", "second/ShowPage5");
    Row("step by step: total", "first/total", "second/total");
    Row("the real GoToPage(3, 4), whole (page 5 at its end)", "whole/install");
    Row("Next posted as BM_CLICK, messages until page 5 is active", "click/install");
    std::fclose(Out);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a.rfind("--", 0) != 0)
            continue;
        const size_t eq = a.find('=');
        Args[a.substr(2, eq == std::string::npos ? std::string::npos : eq - 2)] =
            eq == std::string::npos ? std::string() : a.substr(eq + 1);
    }
    try {
        const std::string kind = Arg("child");
        if (kind.empty())
            return Parent();
        Result = std::fopen(Arg("result").c_str(), "w");
        if (!Result)
            return 3;
        if (kind == "split")
            ChildSplit(Arg("home"));
        else
            ChildWhole(Arg("home"), kind == "click");
        std::fclose(Result);
        return 0;
    } catch (const ESetupError& e) {
        std::fprintf(stderr, "phases: %s\n", e.Message.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "phases: %s\n", e.what());
    }
    return 2;
}
