// Checks of the built product that need no Windows: the i686 setup executable
// and hunspell.dll as files, the resources the setup loads, and the payload it
// carries. Run by the win32 tree's CTest with the paths of what it built:
//   product_checks --setup EXE --hunspell DLL --payload FILES.bin
//                  --manifest payload.manifest --hunspell-source DIR
//                  --source SRCDIR --build BUILDDIR
// The win64 tree runs the hardening checks on its x86_64 build:
//   product_checks --setup64 EXE --gtest_filter=Builds/SetupHardening.*/x86_64
#include "PeImage.h"

#include "Packer.h"
#include "payload/ArchiveFormat.h"
#include "utils/DateTime.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <set>

namespace {

std::map<std::string, std::string> Args;

std::string Arg(const std::string& name)
{
    const auto it = Args.find(name);
    return it == Args.end() ? std::string() : it->second;
}

std::string Slurp(const std::string& path)
{
    std::string data;
    Packer::ReadWholeFile(path, data);
    return data;
}

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Loaded once per program: the files are megabytes and never change during a run.
const TPeImage& Image(const std::string& option)
{
    static std::map<std::string, std::unique_ptr<TPeImage>> cache;
    std::unique_ptr<TPeImage>& image = cache[option];
    if (!image) {
        image = std::make_unique<TPeImage>();
        std::string error;
        const std::string bytes = Slurp(Arg(option));
        EXPECT_FALSE(bytes.empty()) << "cannot read " << option << " '" << Arg(option) << "'";
        if (!bytes.empty()) {
            EXPECT_TRUE(image->Load(bytes, error)) << Arg(option) << ": " << error;
        }
    }
    return *image;
}

const TPeImage& SetupExe() { return Image("--setup"); }
const TPeImage& Hunspell() { return Image("--hunspell"); }

struct TPayload {
    std::string Raw;
    std::vector<Archive::TEntryInfo> Entries;
    std::string Data(const std::string& name) const
    {
        for (const auto& e : Entries)
            if (e.Name == name)
                return Raw.substr(static_cast<size_t>(e.Offset), static_cast<size_t>(e.Size));
        ADD_FAILURE() << "no payload entry " << name;
        return {};
    }
};

const TPayload& Payload()
{
    static std::unique_ptr<TPayload> payload;
    if (!payload) {
        payload = std::make_unique<TPayload>();
        const std::string packed = Slurp(Arg("--payload"));
        EXPECT_FALSE(packed.empty()) << "cannot read --payload '" << Arg("--payload") << "'";
        if (packed.empty())
            return *payload;
        int32_t size = 0;
        uint8_t* raw = Archive::InflateBuffer(reinterpret_cast<const uint8_t*>(packed.data()),
                                              static_cast<uint32_t>(packed.size()), 0, size);
        payload->Raw.assign(reinterpret_cast<char*>(raw), static_cast<size_t>(size));
        std::free(raw);
        std::string error;
        EXPECT_TRUE(Archive::ParseEntries(reinterpret_cast<const uint8_t*>(payload->Raw.data()), payload->Raw.size(),
                                          payload->Entries, error))
            << error;
    }
    return *payload;
}

// The seven add-on files the installation run plans, as the archive must hold them.
const char* const AddOnFiles[] = {"Danish.asc", "hunspell.dll", "da_DK.dic", "da_DK.aff",
                                  "userdicda.tlx", "Danish.hyph", "Danish.thes"};

// DLLs that every Windows from XP on has in its system folder.
const std::set<std::string> SystemDlls = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll", "oleaut32.dll",
    "comctl32.dll", "comdlg32.dll", "mpr.dll", "msvcrt.dll", "shlwapi.dll", "uxtheme.dll", "version.dll"};

void ExpectOnlySystemImports(const TPeImage& image)
{
    EXPECT_FALSE(image.Imports.empty());
    for (const TPeImport& imp : image.Imports)
        EXPECT_TRUE(SystemDlls.count(Lower(imp.Dll))) << "imports " << imp.Dll << " (" << imp.Functions.size()
                                                       << " functions), which is not part of Windows";
}

void ExpectReproducibleI386(const TPeImage& image, bool dll)
{
    EXPECT_EQ(0x14c, image.Machine) << "not built for i386";
    EXPECT_EQ(0x10b, image.Magic) << "not PE32";
    EXPECT_EQ(0u, image.TimeDateStamp) << "a time stamp makes every build differ";
    EXPECT_EQ(0u, image.SymbolCount) << "not stripped";
    EXPECT_EQ(0u, image.SymbolTable) << "not stripped";
    EXPECT_EQ(dll, (image.Characteristics & 0x2000) != 0) << "IMAGE_FILE_DLL, characteristics 0x" << std::hex
                                                          << image.Characteristics;
    for (const std::string& name : image.SectionNames)
        EXPECT_NE(0u, name.rfind(".debug", 0)) << "debug section " << name;
}

// Absolute paths of this machine would make builds differ between checkouts.
void ExpectNoBuildPaths(const std::string& what, const std::string& bytes)
{
    for (const char* option : {"--source", "--build", "--hunspell-source"}) {
        const std::string path = Arg(option);
        ASSERT_FALSE(path.empty()) << option << " not given";
        EXPECT_EQ(std::string::npos, bytes.find(path)) << what << " holds the path " << path;
    }
}

TEST(SetupExecutable, IsAStrippedReproducibleGuiProgramForI386)
{
    const TPeImage& exe = SetupExe();
    ExpectReproducibleI386(exe, false);
    EXPECT_EQ(2, exe.Subsystem) << "not the Windows GUI subsystem";
    ExpectNoBuildPaths("the setup", exe.Bytes());
}

// --- Hardening of the setup ----------------------------------------------------

// The setup runs elevated from a downloads folder, where anyone can leave a DLL
// beside it. The loader takes these only from the system folder, whatever
// lies beside the program: KnownDLLs of every Windows from 7 on. Everything
// else (comctl32, uxtheme, mpr) is loaded at run time from the system folder,
// and the runtime is linked in, so no MinGW DLL is named either.
const std::set<std::string> KnownDlls = {
    "advapi32.dll", "comdlg32.dll", "gdi32.dll", "imagehlp.dll", "imm32.dll", "kernel32.dll", "msvcrt.dll",
    "normaliz.dll", "nsi.dll", "ole32.dll", "oleaut32.dll", "psapi.dll", "rpcrt4.dll", "setupapi.dll",
    "shell32.dll", "shlwapi.dll", "user32.dll", "wldap32.dll", "ws2_32.dll"};

constexpr uint16_t RelocsStripped = 0x0001;  // IMAGE_FILE_RELOCS_STRIPPED
constexpr uint16_t HighEntropyVa = 0x0020;   // IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA
constexpr uint16_t DynamicBase = 0x0040;     // IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE
constexpr uint16_t NxCompat = 0x0100;        // IMAGE_DLLCHARACTERISTICS_NX_COMPAT

struct THardeningCase {
    const char* Label;
    const char* Option;  // the command-line option that names the executable
    uint16_t Machine;
    uint16_t Flags;      // DLL characteristics that must be set
};

void PrintTo(const THardeningCase& c, std::ostream* os) { *os << c.Label; }

// The win32 tree names the i686 product, the win64 tree the x86_64 build.
const THardeningCase HardeningCases[] = {
    {"i686", "--setup", 0x14c, DynamicBase | NxCompat},
    {"x86_64", "--setup64", 0x8664, DynamicBase | NxCompat | HighEntropyVa},
};

class SetupHardening : public testing::TestWithParam<THardeningCase> {
protected:
    void SetUp() override
    {
        if (Arg(GetParam().Option).empty())
            GTEST_SKIP() << GetParam().Option << " not given: this tree does not build the " << GetParam().Label
                         << " setup";
    }
    const TPeImage& Exe() const { return Image(GetParam().Option); }
};

TEST_P(SetupHardening, IsBuiltForItsMachine)
{
    EXPECT_EQ(GetParam().Machine, Exe().Machine) << std::hex << "machine 0x" << Exe().Machine;
}

TEST_P(SetupHardening, ImportsOnlyKnownDlls)
{
    EXPECT_FALSE(Exe().Imports.empty());
    for (const TPeImport& imp : Exe().Imports)
        EXPECT_TRUE(KnownDlls.count(Lower(imp.Dll)))
            << "imports " << imp.Dll << " (" << imp.Functions.size() << " functions, the first "
            << (imp.Functions.empty() ? std::string("none") : imp.Functions[0])
            << "), which is no KnownDLL: a copy beside the setup would be loaded instead";
    EXPECT_EQ(0u, Exe().DelayImportRva) << "delay-loaded DLLs are searched for like any other";
}

TEST_P(SetupHardening, HasAslrAndDep)
{
    const uint16_t flags = Exe().DllCharacteristics;
    EXPECT_EQ(GetParam().Flags, flags & GetParam().Flags)
        << std::hex << "DLL characteristics 0x" << flags << ", missing 0x" << (GetParam().Flags & ~flags);
}

// Without relocations a dynamic base is a promise the loader cannot keep.
TEST_P(SetupHardening, KeepsItsRelocations)
{
    EXPECT_EQ(0, Exe().Characteristics & RelocsStripped)
        << std::hex << "relocations stripped, characteristics 0x" << Exe().Characteristics;
    EXPECT_GT(Exe().RelocationSize, 0u) << "empty base relocation directory";
    const std::vector<std::string>& names = Exe().SectionNames;
    EXPECT_NE(names.end(), std::find(names.begin(), names.end(), ".reloc")) << "no .reloc section";
}

INSTANTIATE_TEST_SUITE_P(Builds, SetupHardening, testing::ValuesIn(HardeningCases),
                         [](const auto& info) { return std::string(info.param.Label); });

// --- Resources -----------------------------------------------------------------

// The attributes of the nth element <tag ...> of an XML text.
std::map<std::string, std::string> XmlAttributes(const std::string& xml, const std::string& tag, int nth)
{
    std::map<std::string, std::string> attributes;
    size_t at = 0;
    for (int i = 0; i <= nth; ++i) {
        at = xml.find("<" + tag, at);
        if (at == std::string::npos)
            return attributes;
        at += tag.size() + 1;
    }
    const size_t end = xml.find('>', at);
    while (at < end) {
        const size_t eq = xml.find('=', at);
        if (eq >= end)
            break;
        size_t name = xml.find_last_not_of(" \t\r\n", eq - 1);
        const size_t nameStart = xml.find_last_of(" \t\r\n", name) + 1;
        const size_t open = eq + 1, close = xml.find(xml[open], open + 1);
        attributes[xml.substr(nameStart, name + 1 - nameStart)] = xml.substr(open + 1, close - open - 1);
        at = close + 1;
    }
    return attributes;
}

TEST(SetupResources, ManifestAsksForCommonControls6AndTheHighestLevel)
{
    const TPeResource* res = SetupExe().FindResource(TResId::Number(24), TResId::Number(1));
    ASSERT_NE(nullptr, res) << "no RT_MANIFEST resource 1";
    const std::string& xml = res->Data;

    using Attrs = std::map<std::string, std::string>;
    EXPECT_EQ((Attrs{{"type", "win32"}, {"name", "Setup"}, {"version", "5.1.0.0"}, {"processorArchitecture", "x86"}}),
              XmlAttributes(xml, "assemblyIdentity", 0))
        << xml;
    EXPECT_NE(std::string::npos, xml.find("<description>Windows Shell</description>")) << xml;
    const Attrs controls = XmlAttributes(xml, "assemblyIdentity", 1);
    EXPECT_EQ("Microsoft.Windows.Common-Controls", controls.count("name") ? controls.at("name") : "") << xml;
    EXPECT_EQ("6.0.0.0", controls.count("version") ? controls.at("version") : "") << xml;
    EXPECT_EQ("x86", controls.count("processorArchitecture") ? controls.at("processorArchitecture") : "") << xml;
    EXPECT_EQ("6595b64144ccf1df", controls.count("publicKeyToken") ? controls.at("publicKeyToken") : "") << xml;
    EXPECT_LT(xml.find("<dependentAssembly>"), xml.find("Microsoft.Windows.Common-Controls")) << xml;
    const Attrs level = XmlAttributes(xml, "requestedExecutionLevel", 0);
    EXPECT_EQ("highestAvailable", level.count("level") ? level.at("level") : "") << xml;
}

uint16_t Le16(const std::string& s, size_t at)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8);
}

uint32_t Le32(const std::string& s, size_t at)
{
    return Le16(s, at) | static_cast<uint32_t>(Le16(s, at + 2)) << 16;
}

// Icon 1 is the program's and the wizard's: LoadIconA picks the 32-pixel image
// for the big icon and the title bar shows the 16-pixel one.
TEST(SetupResources, IconOneIsAGroupOfFourImages)
{
    const TPeImage& exe = SetupExe();
    const TPeResource* group = exe.FindResource(TResId::Number(14), TResId::Number(1));
    ASSERT_NE(nullptr, group) << "no RT_GROUP_ICON resource 1";
    const std::string& dir = group->Data;
    ASSERT_GE(dir.size(), 6u);
    EXPECT_EQ(1, Le16(dir, 2)) << "not an icon group";
    const uint16_t count = Le16(dir, 4);
    EXPECT_EQ(4, count);
    ASSERT_GE(dir.size(), 6u + 14u * count);
    std::set<int> sizes;
    for (uint16_t i = 0; i < count; ++i) {
        const size_t e = 6 + 14u * i;
        const int width = static_cast<uint8_t>(dir[e]) ? static_cast<uint8_t>(dir[e]) : 256;
        const int height = static_cast<uint8_t>(dir[e + 1]) ? static_cast<uint8_t>(dir[e + 1]) : 256;
        const uint32_t bytes = Le32(dir, e + 8);
        const uint16_t id = Le16(dir, e + 12);
        SCOPED_TRACE("image " + std::to_string(i) + ", RT_ICON " + std::to_string(id) + ", " + std::to_string(width) +
                     " pixels");
        const TPeResource* image = exe.FindResource(TResId::Number(3), TResId::Number(id));
        ASSERT_NE(nullptr, image) << "the group names an icon image that is missing";
        EXPECT_EQ(bytes, image->Data.size());
        ASSERT_GE(image->Data.size(), 40u);
        EXPECT_EQ(40u, Le32(image->Data, 0)) << "not a BITMAPINFOHEADER image";
        EXPECT_EQ(static_cast<uint32_t>(width), Le32(image->Data, 4));
        EXPECT_EQ(static_cast<uint32_t>(2 * height), Le32(image->Data, 8)) << "height of colour and mask together";
        sizes.insert(width);
    }
    EXPECT_EQ(count, sizes.size()) << "two images of the same size";
    EXPECT_TRUE(sizes.count(16) && sizes.count(32)) << "needs a 16- and a 32-pixel image";
}

// The list controls draw a picture's bottom-left colour as transparent. That
// colour must be the background around the drawing only: used inside it, it
// would punch holes into the picture.
void ExpectTransparentBackgroundOnly(const TBitmapInfo& b)
{
    const size_t h = b.Rows.size(), w = b.Rows[0].size();
    const uint32_t clear = b.Rows[h - 1][0];
    std::vector<std::vector<bool>> seen(h, std::vector<bool>(w));
    std::vector<std::pair<size_t, size_t>> todo;
    for (size_t y = 0; y < h; ++y)
        for (size_t x = 0; x < w; ++x)
            if ((y == 0 || x == 0 || y == h - 1 || x == w - 1) && b.Rows[y][x] == clear) {
                seen[y][x] = true;
                todo.emplace_back(y, x);
            }
    while (!todo.empty()) {
        const auto [y, x] = todo.back();
        todo.pop_back();
        const std::pair<size_t, size_t> next[] = {{y - 1, x}, {y + 1, x}, {y, x - 1}, {y, x + 1}};
        for (const auto& [ny, nx] : next)
            if (ny < h && nx < w && !seen[ny][nx] && b.Rows[ny][nx] == clear) {
                seen[ny][nx] = true;
                todo.emplace_back(ny, nx);
            }
    }
    size_t drawn = 0;
    for (size_t y = 0; y < h; ++y)
        for (size_t x = 0; x < w; ++x) {
            drawn += b.Rows[y][x] != clear;
            EXPECT_TRUE(b.Rows[y][x] != clear || seen[y][x])
                << "pixel (" << x << ", " << y << ") inside the drawing has the transparent colour";
        }
    EXPECT_GT(drawn, w * h / 3) << "hardly anything is drawn";
}

TEST(SetupResources, DriveAndFolderPicturesAre16ColourBitmapsOfTheirSizes)
{
    const struct {
        const char* Name;
        int Width, Height;
    } cases[] = {{"FIXEDDRIVE", 16, 11}, {"REMOVABLEDRIVE", 16, 10}, {"OPENFOLDER", 16, 16}, {"CLOSEDFOLDER", 16, 16}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TPeResource* res = SetupExe().FindResource(TResId::Number(2), TResId::Named(c.Name));
        ASSERT_NE(nullptr, res) << "no RT_BITMAP resource";
        TBitmapInfo b;
        std::string error;
        ASSERT_TRUE(DecodeBitmap(res->Data, false, b, error)) << error;
        EXPECT_EQ(c.Width, b.Width);
        EXPECT_EQ(c.Height, std::abs(b.Height));
        EXPECT_EQ(4, b.BitCount) << "not 16 colours";
        ExpectTransparentBackgroundOnly(b);
    }
}

TEST(SetupResources, FilesResourceIsTheBuiltPayload)
{
    const TPeResource* res = SetupExe().FindResource(TResId::Named("FILES"), TResId::Named("FILES"));
    ASSERT_NE(nullptr, res) << "no resource of type FILES named FILES";
    const std::string packed = Slurp(Arg("--payload"));
    EXPECT_EQ(packed.size(), res->Data.size());
    EXPECT_TRUE(packed == res->Data) << "the embedded payload differs from " << Arg("--payload");
    ASSERT_GE(res->Data.size(), 2u);
    EXPECT_EQ("\x78\xda", res->Data.substr(0, 2)) << "not a zlib stream at the best compression";
}

// --- Payload -----------------------------------------------------------------

TEST(DefaultPayload, HoldsTheTenEntriesInSetupOrder)
{
    const char* const order[] = {"License.txt", "hunspell.dll", "Danish.asc", "userdicda.tlx", "da_DK.dic",
                                 "da_DK.aff", "Danish.hyph", "Danish.thes", "Logo.bmp", "LogoSmall.bmp"};
    std::vector<std::string> names;
    for (const auto& e : Payload().Entries)
        names.push_back(e.Name);
    EXPECT_EQ(std::vector<std::string>(std::begin(order), std::end(order)), names);
}

// Each entry carries its source's bytes, and a time that survives being
// written to disk and read back, so that an unchanged installed file compares equal.
TEST(DefaultPayload, EntriesCarryTheirSourcesAtMsDosPrecision)
{
    std::vector<Packer::TManifestEntry> manifest;
    std::string error;
    const std::string manifestPath = Arg("--manifest");
    ASSERT_TRUE(Packer::ParseManifest(Slurp(manifestPath), manifestPath.substr(0, manifestPath.rfind('/')), manifest,
                                      error))
        << manifestPath << ": " << error;
    ASSERT_EQ(manifest.size(), Payload().Entries.size());
    for (size_t i = 0; i < manifest.size(); ++i) {
        const Archive::TEntryInfo& e = Payload().Entries[i];
        SCOPED_TRACE(e.Name);
        EXPECT_EQ(manifest[i].Name, e.Name);
        const std::string source = Slurp(manifest[i].Source);
        EXPECT_TRUE(source == Payload().Data(e.Name)) << "differs from " << manifest[i].Source;
        uint16_t date = 0, time = 0;
        ASSERT_TRUE(DateTimeToDos(e.Time, date, time)) << "time " << e.Time << " outside 1980 to 2099";
        const TDateTime back = DosToDateTime(date, time);
        EXPECT_EQ(0, std::memcmp(&back, &e.Time, sizeof back))
            << "time " << e.Time << " reads back as " << back << " from disk";
    }
    EXPECT_EQ(0, [] {
        for (const auto& e : Payload().Entries)
            if (e.Name == "userdicda.tlx")
                return e.Size;
        return -1;
    }()) << "the user dictionary must start empty";
}

// The memo shows the text up to its first zero byte, in the ANSI code page.
void ExpectWindowsText(const std::string& what, const std::string& text)
{
    EXPECT_FALSE(text.empty()) << what;
    EXPECT_EQ(std::string::npos, text.find('\0')) << what << " holds a zero byte at " << text.find('\0');
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n')
            EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << what << ": bare LF at " << i;
        else if (c == '\r')
            EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << what << ": bare CR at " << i;
        else
            EXPECT_TRUE(c >= 0x20 && c != 0x7f && c != 0x81 && c != 0x8d && c != 0x8f && c != 0x90 && c != 0x9d)
                << what << ": byte 0x" << std::hex << int(c) << std::dec << " at " << i << " is no Windows-1252 text";
    }
    EXPECT_EQ("\r\n", text.substr(text.size() - std::min<size_t>(2, text.size()))) << what << " ends without a line break";
}

TEST(DefaultPayload, LicenseNamesEveryThirdPartyFileAndTheHunspellVersion)
{
    const std::string license = Payload().Data("License.txt");
    ExpectWindowsText("License.txt", license);
    for (const char* file : {"hunspell.dll", "da_DK.dic", "da_DK.aff", "Danish.hyph", "Danish.thes"})
        EXPECT_NE(std::string::npos, license.find(file)) << "License.txt does not name " << file;
    // The source folder is named hunspell-<version>.
    const std::string source = Arg("--hunspell-source");
    const std::string version = source.substr(source.rfind('-') + 1);
    EXPECT_NE(std::string::npos, license.find("version " + version))
        << "License.txt does not name the Hunspell version built, " << version;
}

// Every file the language description refers to is installed beside it.
TEST(DefaultPayload, LanguageDescriptionRefersToInstalledFiles)
{
    const std::string asc = Payload().Data("Danish.asc");
    ExpectWindowsText("Danish.asc", asc);
    int referred = 0;
    for (size_t at = 0; at < asc.size();) {
        const size_t end = asc.find("\r\n", at);
        const std::string line = asc.substr(at, end - at);
        at = end == std::string::npos ? asc.size() : end + 2;
        const size_t eq = line.find('=');
        if (line.empty() || line[0] == ';' || eq == std::string::npos || line.find('.', eq) == std::string::npos)
            continue;
        const std::string file = line.substr(eq + 1);
        ++referred;
        EXPECT_TRUE(std::find(std::begin(AddOnFiles), std::end(AddOnFiles), file) != std::end(AddOnFiles))
            << line << ": not an add-on file";
    }
    EXPECT_GT(referred, 0) << asc;
}

TEST(DefaultPayload, LogosAreBitmapsOfTheImageSizes)
{
    const struct {
        const char* Name;
        int Width, Height;
    } cases[] = {{"Logo.bmp", 120, 260}, {"LogoSmall.bmp", 32, 32}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TBitmapInfo b;
        std::string error;
        ASSERT_TRUE(DecodeBitmap(Payload().Data(c.Name), true, b, error)) << error;
        EXPECT_EQ(c.Width, b.Width);
        EXPECT_EQ(c.Height, std::abs(b.Height));
    }
}

// --- hunspell.dll --------------------------------------------------------------

TEST(HunspellDll, IsAStrippedReproducibleDllForI386)
{
    const TPeImage& dll = Hunspell();
    ExpectReproducibleI386(dll, true);
    EXPECT_EQ(0u, dll.ExportTimeDateStamp) << "a time stamp makes every build differ";
    ExpectNoBuildPaths("hunspell.dll", dll.Bytes());
    ExpectOnlySystemImports(dll);
}

// The C interface by its plain names: what a program that is no C++ program loads.
TEST(HunspellDll, ExportsTheCInterface)
{
    const std::set<std::string> exports(Hunspell().Exports.begin(), Hunspell().Exports.end());
    for (const char* name : {"Hunspell_create", "Hunspell_create_key", "Hunspell_destroy", "Hunspell_add_dic",
                             "Hunspell_spell", "Hunspell_get_dic_encoding", "Hunspell_suggest", "Hunspell_analyze",
                             "Hunspell_stem", "Hunspell_stem2", "Hunspell_generate", "Hunspell_generate2",
                             "Hunspell_add", "Hunspell_add_with_affix", "Hunspell_remove", "Hunspell_free_list"})
        EXPECT_TRUE(exports.count(name)) << "does not export " << name;
}

}  // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i + 1 < argc; i += 2)
        Args[argv[i]] = argv[i + 1];
    return RUN_ALL_TESTS();
}
