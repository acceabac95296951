// What the tests prepare and inspect around a setup run: paths, registry,
// files, payload copies, the word processor stand-in and drives.
#include <windows.h>
#include <winioctl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "Driver.h"
#include "Windows.h"

namespace e2e {
namespace {

using namespace detail;

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string Join(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

std::string SpecialFolder(int csidl)
{
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path)))
        throw TDriverError("no special folder " + std::to_string(csidl));
    std::string s = path;
    if (s.size() > 3 && s.back() == '\\')
        s.pop_back();
    return s;
}

}  // namespace

std::string ToWinePath(const std::string& path)
{
    if (path.empty() || path[0] != '/')
        return path;
    std::string out = "Z:" + path;
    std::replace(out.begin(), out.end(), '/', '\\');
    return out;
}

std::string ToUnixPath(const std::string& winPath)
{
    using TGetUnixName = char*(CDECL*)(LPCWSTR);
    auto get = reinterpret_cast<TGetUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!get)
        throw TDriverError("not running under Wine: no wine_get_unix_file_name");
    std::wstring wide(winPath.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, winPath.c_str(), -1, wide.data(), static_cast<int>(wide.size())));
    char* unix = get(wide.c_str());
    if (!unix)
        throw TDriverError("no Unix path for " + winPath);
    std::string out = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return out;
}

std::string SetupExe()
{
    const std::string env = Env("SCRIVORA_SETUP_EXE");
    return ToWinePath(env.empty() ? SCRIVORA_SETUP_EXE_BUILT : env);
}

std::string OrvexExe()
{
    const std::string env = Env("SCRIVORA_ORVEX_EXE");
    return ToWinePath(env.empty() ? SCRIVORA_ORVEX_EXE_BUILT : env);
}

// --- Registry ---------------------------------------------------------------

namespace reg {
namespace {
TRegKey Open(bool create)
{
    TRegKey key;
    if (create)
        RegCreateKeyExA(HKEY_CURRENT_USER, InstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr);
    else
        RegOpenKeyExA(HKEY_CURRENT_USER, InstallKey, 0, KEY_READ, key.Receive());
    return key;
}
}  // namespace

bool KeyExists() { return Open(false).Valid(); }

void DeleteKey()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, InstallKey);
    // The parent goes too when nothing else lives in it.
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Scrivora Word Processor");
}

std::vector<std::string> ValueNames()
{
    std::vector<std::string> names;
    TRegKey key = Open(false);
    for (DWORD i = 0; key; ++i) {
        char name[16384];
        DWORD len = sizeof name;
        if (RegEnumValueA(key.Get(), i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, len);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<TValue> Read(const std::string& name)
{
    TRegKey key = Open(false);
    TValue v;
    DWORD size = 0;
    if (!key || RegQueryValueExA(key.Get(), name.c_str(), nullptr, &v.Type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    v.Data.resize(size);
    if (RegQueryValueExA(key.Get(), name.c_str(), nullptr, &v.Type, reinterpret_cast<BYTE*>(v.Data.data()), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    v.Data.resize(size);
    return v;
}

std::optional<std::string> ReadString(const std::string& name)
{
    auto v = Read(name);
    if (!v)
        return std::nullopt;
    return v->Data.substr(0, v->Data.find('\0'));
}

std::optional<DWORD> ReadDword(const std::string& name)
{
    auto v = Read(name);
    if (!v || v->Data.size() != sizeof(DWORD))
        return std::nullopt;
    DWORD d;
    std::memcpy(&d, v->Data.data(), sizeof d);
    return d;
}

void Write(const std::string& name, DWORD type, const std::string& data)
{
    TRegKey key = Open(true);
    if (!key || RegSetValueExA(key.Get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                               static_cast<DWORD>(data.size())) != ERROR_SUCCESS)
        throw TDriverError("cannot write registry value " + name);
}

void WriteString(const std::string& name, const std::string& value)
{
    Write(name, REG_SZ, std::string(value.c_str(), value.size() + 1));
}

void WriteDword(const std::string& name, DWORD value)
{
    Write(name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value));
}

void DeleteValue(const std::string& name)
{
    if (TRegKey key = Open(true))
        RegDeleteValueA(key.Get(), name.c_str());
}
}  // namespace reg

// --- Files ------------------------------------------------------------------

bool FileExists(const std::string& path)
{
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(const std::string& path)
{
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadFileBytes(const std::string& path)
{
    TFileHandle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr));
    if (!f)
        return std::nullopt;
    std::string data;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f.Get(), buf, sizeof buf, &got, nullptr) && got)
        data.append(buf, got);
    return data;
}

void WriteFileBytes(const std::string& path, const std::string& data)
{
    const size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos)
        MakeDirs(path.substr(0, slash));
    TFileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!f || !WriteFile(f.Get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) ||
        written != data.size())
        throw TDriverError("cannot write " + path);
}

void MakeDirs(const std::string& path)
{
    for (size_t pos = path.find('\\', 3); ; pos = path.find('\\', pos + 1)) {
        CreateDirectoryA(path.substr(0, pos).c_str(), nullptr);
        if (pos == std::string::npos)
            break;
    }
    if (!DirExists(path))
        throw TDriverError("cannot make folder " + path);
}

void RemoveTree(const std::string& path)
{
    const DWORD a = GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(a & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    for (const auto& name : ListDir(path))
        RemoveTree(Join(path, name));
    RemoveDirectoryA(path.c_str());
}

std::vector<std::string> ListDir(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    TFindHandle find(FindFirstFileA(Join(folder, "*").c_str(), &fd));
    for (bool more = find.Valid(); more; more = FindNextFileA(find.Get(), &fd))
        if (std::strcmp(fd.cFileName, ".") != 0 && std::strcmp(fd.cFileName, "..") != 0)
            names.push_back(fd.cFileName);
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> ListTree(const std::string& folder)
{
    std::vector<std::string> files;
    for (const auto& name : ListDir(folder)) {
        const std::string path = Join(folder, name);
        if (DirExists(path))
            for (const auto& sub : ListTree(path))
                files.push_back(name + "\\" + sub);
        else
            files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    return files;
}

FILETIME LastWriteTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        throw TDriverError("no file " + path);
    return data.ftLastWriteTime;
}

std::string CommonAppData() { return SpecialFolder(CSIDL_COMMON_APPDATA); }

std::string ProgramFiles() { return SpecialFolder(CSIDL_PROGRAM_FILES); }

std::string TempRoot()
{
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    return Join(temp, "scrivora-e2e");
}

// --- Payload copies ---------------------------------------------------------

namespace {
BOOL CALLBACK LanguageProc(HMODULE, LPCSTR, LPCSTR, WORD lang, LONG_PTR lp)
{
    auto* langs = reinterpret_cast<std::vector<WORD>*>(lp);
    if (langs->size() < langs->capacity())
        langs->push_back(lang);
    return TRUE;
}

// The size of FILES/FILES in `exe`; std::nullopt when it has none.
std::optional<DWORD> PayloadSize(const std::string& exe, std::vector<WORD>* langs = nullptr)
{
    HMODULE m = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!m)
        throw TDriverError("cannot read the resources of " + exe);
    std::optional<DWORD> size;
    if (HRSRC r = FindResourceA(m, "FILES", "FILES"))
        size = SizeofResource(m, r);
    if (langs) {
        langs->reserve(64);
        EnumResourceLanguagesA(m, "FILES", "FILES", LanguageProc, reinterpret_cast<LONG_PTR>(langs));
    }
    FreeLibrary(m);
    return size;
}

// Wine's UpdateResource does not delete resources, so a copy without a
// payload gets its resource names "FILES" (counted UTF-16 strings in the
// resource directory) renamed instead: the lookup by name then finds nothing.
void RenamePayloadResource(const std::string& exe)
{
    auto data = ReadFileBytes(exe);
    static const char name[] = {5, 0, 'F', 0, 'I', 0, 'L', 0, 'E', 0, 'S', 0};
    const std::string pattern(name, sizeof name);
    for (size_t at = data ? data->find(pattern) : std::string::npos; at != std::string::npos;
         at = data->find(pattern, at + 1))
        (*data)[at + sizeof name - 2] = 'X';
    if (data)
        WriteFileBytes(exe, *data);
}
}  // namespace

void CopySetupWithPayload(const std::string& dest, const std::optional<std::string>& payload, const std::string& source)
{
    if (!CopyFileA(source.c_str(), dest.c_str(), FALSE))
        throw TDriverError("cannot copy " + source + " to " + dest);
    if (payload) {
        std::vector<WORD> langs;
        PayloadSize(source, &langs);
        if (langs.empty())
            langs.push_back(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
        HANDLE update = BeginUpdateResourceA(dest.c_str(), FALSE);
        if (!update)
            throw TDriverError("cannot update the resources of " + dest);
        // Every language the original has, so that no lookup finds the old data.
        for (WORD lang : langs)
            UpdateResourceA(update, "FILES", "FILES", lang, const_cast<char*>(payload->data()),
                            static_cast<DWORD>(payload->size()));
        if (!EndUpdateResourceA(update, FALSE))
            throw TDriverError("cannot write the resources of " + dest);
    } else {
        RenamePayloadResource(dest);
    }
    const auto size = PayloadSize(dest);
    if (payload ? size != payload->size() : size.has_value())
        throw TDriverError("the FILES resource of " + dest + " did not change as asked");
}

std::string InstallOrvex(const std::string& homeDir)
{
    MakeDirs(homeDir);
    const std::string exe = Join(homeDir, "orvex.exe");
    if (!CopyFileA(OrvexExe().c_str(), exe.c_str(), FALSE))
        throw TDriverError("cannot copy orvex.exe to " + homeDir);
    return exe;
}

// --- The word processor stand-in ---------------------------------------------

std::vector<HWND> OrvexWindows()
{
    std::vector<HWND> out;
    for (HWND w : TopLevelWindowsOf(0))
        if (GetPropA(w, "1.x Nimbrel"))
            out.push_back(w);
    return out;
}

void CloseOrvexWindows(DWORD timeoutMs)
{
    for (HWND w : OrvexWindows())
        PostMessageA(w, WM_CLOSE, 0, 0);
    if (!WaitUntil(timeoutMs, [] { return OrvexWindows().empty(); }))
        throw TDriverError("orvex.exe windows stayed open");
}

TOrvex::TOrvex(const std::string& exe)
{
    std::string cmdline = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(exe.c_str(), cmdline.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        throw TDriverError("cannot start " + exe);
    CloseHandle(pi.hThread);
    Process = TKernelHandle(pi.hProcess);
    WaitUntil(kTimeout, [&] {
        for (HWND w : TopLevelWindowsOf(pi.dwProcessId))
            if (GetPropA(w, "1.x Nimbrel"))
                Wnd = w;
        return Wnd != nullptr;
    });
    if (!Wnd) {
        TerminateProcess(Process.Get(), 255);
        throw TDriverError("orvex.exe showed no window");
    }
}

TOrvex::~TOrvex()
{
    if (WaitForSingleObject(Process.Get(), 0) == WAIT_TIMEOUT) {
        PostMessageA(Wnd, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(Process.Get(), kTimeout) != WAIT_OBJECT_0)
            TerminateProcess(Process.Get(), 255);
    }
}

DWORD TOrvex::Close(DWORD timeoutMs)
{
    PostMessageA(Wnd, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(Process.Get(), timeoutMs) != WAIT_OBJECT_0)
        throw TDriverError("orvex.exe did not end on WM_CLOSE");
    DWORD code = 0;
    GetExitCodeProcess(Process.Get(), &code);
    return code;
}

// --- Drives -----------------------------------------------------------------

namespace {
// Wine's own extension of the mount manager, as its drive settings use it.
constexpr DWORD kDefineUnixDrive = CTL_CODE(0x6D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
struct TUnixDrive {
    ULONG Size;
    ULONG Type;
    ULONG FsType;
    DWORD Serial;
    ULONGLONG UnixDev;
    WCHAR Letter;
    USHORT MountPointOffset;
    USHORT DeviceOffset;
    USHORT LabelOffset;
};

void SetUnixDrive(char letter, ULONG type, const std::string& unixPath)
{
    std::string buf(sizeof(TUnixDrive), '\0');
    TUnixDrive d{};
    d.Type = type;
    d.Letter = static_cast<WCHAR>(letter | 0x20);
    if (!unixPath.empty()) {
        d.MountPointOffset = static_cast<USHORT>(buf.size());
        buf += unixPath + '\0';
    }
    d.Size = static_cast<ULONG>(buf.size());
    std::memcpy(buf.data(), &d, sizeof d);
    TFileHandle mgr(CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD got = 0;
    if (!mgr ||
        !DeviceIoControl(mgr.Get(), kDefineUnixDrive, buf.data(), static_cast<DWORD>(buf.size()), nullptr, 0, &got,
                         nullptr))
        throw TDriverError(std::string("the mount manager refused drive ") + letter + ": error " +
                           std::to_string(GetLastError()));
}

bool DriveListed(char letter) { return (GetLogicalDrives() >> ((letter | 0x20) - 'a')) & 1; }
}  // namespace

void DefineDrive(char letter, const std::string& target, TDriveKind kind)
{
    SetUnixDrive(letter, static_cast<ULONG>(kind), ToUnixPath(target));
    if (!WaitUntil(kTimeout, [&] { return DriveListed(letter); }))
        throw TDriverError(std::string("drive ") + letter + ": did not appear");
}

void RemoveDrive(char letter)
{
    SetUnixDrive(letter, DRIVE_NO_ROOT_DIR, "");
    if (!WaitUntil(kTimeout, [&] { return !DriveListed(letter); }))
        throw TDriverError(std::string("drive ") + letter + ": did not go away");
}

TDrive::TDrive(char letter, const std::string& target, TDriveKind kind) : Letter(letter)
{
    DefineDrive(letter, target, kind);
}

TDrive::~TDrive()
{
    try {
        RemoveDrive(Letter);
    } catch (const TDriverError&) {
        // A destructor cannot report; the next DefineDrive replaces the link anyway.
    }
}

std::string TDrive::Root() const { return std::string(1, static_cast<char>(Letter & ~0x20)) + ":\\"; }

// --- Clean state ------------------------------------------------------------

void ResetSetupState()
{
    reg::DeleteKey();
    RemoveTree(CommonAppData() + "\\Scrivora");
    RemoveTree(TempRoot());
    CloseOrvexWindows();
}

}  // namespace e2e
