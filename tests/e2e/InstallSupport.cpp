#include "InstallSupport.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "NavigationSupport.h"
#include "payload/ArchiveFormat.h"
#include "utils/DateTime.h"
#include "utils/InstUtils.h"
#include "wizard/ControlIds.h"

namespace e2e {

const char* const kAddOnFiles[7] = {"Danish.asc",    "hunspell.dll", "da_DK.dic",  "da_DK.aff",
                                    "userdicda.tlx", "Danish.hyph",  "Danish.thes"};

namespace {

std::vector<TPayloadEntry> ReadPayload()
{
    const std::string exe = SetupExe();
    HMODULE m = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!m)
        throw TDriverError("cannot load " + exe + " as data");
    std::vector<TPayloadEntry> out;
    HRSRC res = FindResourceA(m, "FILES", "FILES");
    const auto* compressed = res ? static_cast<const uint8_t*>(LockResource(LoadResource(m, res))) : nullptr;
    if (!compressed) {
        FreeLibrary(m);
        throw TDriverError("no FILES resource in " + exe);
    }
    int32_t size = 0;
    uint8_t* data = Archive::InflateBuffer(compressed, SizeofResource(m, res), 0, size);
    FreeLibrary(m);
    std::vector<Archive::TEntryInfo> entries;
    std::string error;
    const bool parsed = Archive::ParseEntries(data, static_cast<size_t>(size), entries, error);
    for (const auto& e : entries)
        out.push_back({e.Name, e.Time, std::string(reinterpret_cast<const char*>(data) + e.Offset, e.Size)});
    std::free(data);
    if (!parsed)
        throw TDriverError("the payload of " + exe + " is malformed: " + error);
    return out;
}

std::string Join(const std::string& folder, const std::string& name)
{
    return folder.empty() || folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

}  // namespace

const std::vector<TPayloadEntry>& SetupPayload()
{
    static const std::vector<TPayloadEntry> payload = ReadPayload();
    return payload;
}

const TPayloadEntry& PayloadEntry(const std::string& name)
{
    for (const auto& e : SetupPayload())
        if (e.Name == name)
            return e;
    throw TDriverError("the setup's payload has no entry " + name);
}

FILETIME EntryFileTime(double time)
{
    uint16_t dosDate = 0, dosTime = 0;
    FILETIME local{}, utc{};
    if (!DateTimeToDos(time, dosDate, dosTime) || !DosDateTimeToFileTime(dosDate, dosTime, &local) ||
        !LocalFileTimeToFileTime(&local, &utc))
        throw TDriverError("entry time " + std::to_string(time) + " has no MS-DOS form");
    return utc;
}

bool SameFileTime(const FILETIME& a, const FILETIME& b)
{
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

std::string FormatFileTime(const FILETIME& t)
{
    FILETIME local{};
    SYSTEMTIME st{};
    FileTimeToLocalFileTime(&t, &local);
    FileTimeToSystemTime(&local, &st);
    char text[64];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u.%03u", st.wYear, st.wMonth, st.wDay, st.wHour,
                  st.wMinute, st.wSecond, st.wMilliseconds);
    return text;
}

std::string SharedFolder(const std::string& name) { return CommonAppData() + "\\Scrivora\\Public\\" + name; }
std::string UpdateLogPath() { return CommonAppData() + "\\Scrivora\\Update.log"; }
std::string StampPath() { return CommonAppData() + "\\Scrivora\\Hidden\\install_stamp"; }

double NowAsDateTime() { return NowLocal(); }

double MarkerTime(const std::string& marker)
{
    const double bad = std::numeric_limits<double>::quiet_NaN();
    if (marker.size() != 17 || marker[0] != '*')
        return bad;
    unsigned char bytes[8];
    for (size_t i = 0; i < 8; ++i) {
        unsigned value = 0;
        for (size_t k = 0; k < 2; ++k) {
            const char c = marker[1 + 2 * i + k];
            const char* digits = "0123456789ABCDEF";
            const char* at = std::strchr(digits, c);
            if (!at || c == '\0')
                return bad;
            value = value * 16 + static_cast<unsigned>(at - digits);
        }
        bytes[i] = static_cast<unsigned char>(value);
    }
    double time;
    std::memcpy(&time, bytes, sizeof time);
    return time;
}

std::vector<std::string> CrLfLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(text.substr(start, at - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

void ExpectPage(const TSetup& setup, int page, const std::string& after)
{
    const int shown = setup.ActivePage();
    if (shown == page)
        return;
    std::string why = "after " + after + " the wizard shows page " + std::to_string(shown) + ", not " +
                      std::to_string(page);
    for (HWND box : setup.MsgBoxes())
        why += "; a message box is open: \"" + ReadMsgBox(box).Text + "\"";
    throw TDriverError(why);
}

void WalkToReady(TSetup& setup, const std::string& home)
{
    setup.WaitForWizard();
    ExpectPage(setup, 0, "the start");
    setup.Click(idNextBtn);
    ExpectPage(setup, 1, "Next on the Welcome page");
    setup.Click(idNextBtn);
    ExpectPage(setup, 2, "Next on the License page");
    if (!home.empty())
        setup.Type(idDestDirEdt, home);
    setup.Click(idNextBtn);
    ExpectPage(setup, 3, "Next on the home folder page with " + setup.Text(idDestDirEdt));
}

void WalkToComplete(TSetup& setup, const std::string& home)
{
    WalkToReady(setup, home);
    setup.Click(idNextBtn);
    ExpectPage(setup, 5, "the installation run");
}

TMsgBox InstallUntilMsgBox(TSetup& setup, const std::string& home)
{
    WalkToReady(setup, home);
    setup.Click(idNextBtn);
    return setup.WaitForMsgBox();
}

void SaveScreenshot(const TSetup& setup, const std::string& name)
{
    const char* dir = std::getenv("SCRIVORA_SCREENS_DIR");
    if (!dir || !*dir)
        return;
    MakeDirs(ToWinePath(dir));
    setup.Settle();
    SaveWindowPicture(setup.Wizard(), Join(ToWinePath(dir), name + ".bmp"));
}

}  // namespace e2e
