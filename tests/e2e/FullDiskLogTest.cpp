// Finish with the update log's folder on a disk that is full: the wizard
// stays on its last page with the old log as it was and no temporary file,
// and Finish succeeds once there is room. Drive W: is a 64 KiB tmpfs that the
// CTest fixture links into the prefix (see CMakeLists.txt); while the test
// runs, the prefix's common application data folder is a folder on it.
#include <gtest/gtest.h>

#include <memory>

#include "InstallSupport.h"
#include "wizard/ControlIds.h"

using namespace e2e;

namespace {

const std::string kHome = kHomeFolder;
const std::string kData = "W:\\ProgramData";
const std::string kScrivora = kData + "\\Scrivora";
const std::string kLog = kScrivora + "\\Update.log";

// Points CSIDL_COMMON_APPDATA of the prefix at `folder` for the lifetime of
// the object, for every process.
class TCommonAppDataRedirect {
public:
    explicit TCommonAppDataRedirect(const std::string& folder)
    {
        for (auto& v : Values) {
            v.Old = Read(v.Key, v.Type);
            Write(v.Key, v.Type, folder);
        }
    }
    ~TCommonAppDataRedirect()
    {
        for (auto& v : Values)
            Write(v.Key, v.Type, v.Old);
    }
    TCommonAppDataRedirect(const TCommonAppDataRedirect&) = delete;
    TCommonAppDataRedirect& operator=(const TCommonAppDataRedirect&) = delete;

private:
    struct TValue {
        const char* Key;
        DWORD Type;
        std::string Old;
    };
    TValue Values[2] = {
        {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", REG_EXPAND_SZ, ""},
        {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", REG_SZ, ""},
    };
    static std::string Read(const char* key, DWORD type)
    {
        char data[MAX_PATH] = {};
        DWORD size = sizeof data - 1;
        if (RegGetValueA(HKEY_LOCAL_MACHINE, key, "Common AppData",
                         type == REG_EXPAND_SZ ? RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND : RRF_RT_REG_SZ, nullptr, data,
                         &size) != ERROR_SUCCESS)
            throw TDriverError(std::string("cannot read Common AppData of ") + key);
        return data;
    }
    static void Write(const char* key, DWORD type, const std::string& value)
    {
        if (RegSetKeyValueA(HKEY_LOCAL_MACHINE, key, "Common AppData", type, value.c_str(),
                            static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
            throw TDriverError(std::string("cannot write Common AppData of ") + key);
    }
};

// Writes a file until the disk takes no more.
void FillDisk(const std::string& path)
{
    TFileHandle f(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!f)
        throw TDriverError("cannot create " + path);
    const std::string block(512, 'b');
    DWORD written = 0;
    while (WriteFile(f.Get(), block.data(), static_cast<DWORD>(block.size()), &written, nullptr) &&
           written == block.size()) {
    }
}

class FullDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        ULARGE_INTEGER total{};
        if (!DirExists(kScrivora) || !GetDiskFreeSpaceExA("W:\\", nullptr, &total, nullptr) ||
            total.QuadPart > 64u * 1024)
            GTEST_SKIP() << "no small fixture disk W: (the fixture could not mount one)";
        Redirect = std::make_unique<TCommonAppDataRedirect>(kData);
        ASSERT_EQ(CommonAppData(), kData) << "the prefix did not take the redirected folder";
        Clean();
        InstallOrvex(kHome);
    }
    void TearDown() override
    {
        if (!Redirect)
            return;
        Clean();
        Redirect.reset();
    }
    std::unique_ptr<TCommonAppDataRedirect> Redirect;

    // The fixture's folders stay; only what a run leaves inside them goes.
    static void Clean()
    {
        reg::DeleteKey();
        RemoveTree(TempRoot());
        RemoveTree(kHome);
        for (const auto& name : ListDir(kScrivora))
            RemoveTree(kScrivora + "\\" + (name == "Public" ? "Public\\Spellcheck" : name));
    }
};

TEST_F(FullDisk, KeepsTheWizardOnTheLastPageAndTheOldLogAsItWas)
{
    const std::string oldLog = "*0000000000C0E540\r\nC:\\Other\\file.txt\r\n";
    WriteFileBytes(kLog, oldLog);
    TSetup setup;
    WalkToComplete(setup, kHome);
    ASSERT_EQ(ListTree(kScrivora + "\\Public\\Spellcheck").size(), 7u) << "the setup did not install on drive W:";
    setup.SetChecked(idFinishChkBx, false);
    const std::string ballast = kScrivora + "\\ballast.bin";
    FillDisk(ballast);

    setup.Click(idNextBtn);
    const bool stayed = setup.Running() && setup.ActivePage() == 5;
    ASSERT_TRUE(stayed) << "the wizard did not stay on its last page";
    EXPECT_EQ(setup.MsgBoxes().size(), 0u) << "the failure is silent";
    EXPECT_TRUE(setup.Enabled(idNextBtn));
    EXPECT_FALSE(setup.Enabled(idCancelBtn));
    EXPECT_EQ(ReadFileBytes(kLog), oldLog);
    EXPECT_EQ(ListDir(kScrivora), (std::vector<std::string>{"Public", "Update.log", "ballast.bin"}))
        << "a temporary file was left beside the log";

    DeleteFileA(ballast.c_str());
    setup.Click(idNextBtn);
    EXPECT_EQ(setup.WaitForExit(), 0u);
    const auto log = ReadFileBytes(kLog);
    ASSERT_TRUE(log.has_value());
    const auto lines = CrLfLines(*log);
    ASSERT_EQ(lines.size(), 10u) << *log;
    EXPECT_EQ(lines[1], "C:\\Other\\file.txt");
    EXPECT_EQ(ListTree(setup.TempDir()), std::vector<std::string>{}) << "temporary files left";
}

}  // namespace
