// A damaged copy of the setup never installs anything: damage to the payload
// ends with the fatal error box and exit code 1 before any wizard window,
// damage that misses the payload and the resource table leaves a setup that
// runs normally, and an image that the loader refuses shows no window.
// Nothing is written to disk or the registry unless the setup runs normally.
#include <gtest/gtest.h>

#include "Driver.h"

using namespace e2e;

namespace {

enum class TOutcome { Runs, FatalBox, Refused };

const char* OutcomeName(TOutcome o)
{
    switch (o) {
    case TOutcome::Runs:
        return "runs normally";
    case TOutcome::FatalBox:
        return "fatal error box, exit code 1";
    case TOutcome::Refused:
        return "refused by the loader";
    }
    return "?";
}

enum class TDamage { FlipPayloadByte, CutOneByte, CutHalf, AppendJunk };

struct TCorruptionCase {
    const char* Label;
    TDamage Damage;
    TOutcome Expected;
};

void PrintTo(const TCorruptionCase& c, std::ostream* os) { *os << c.Label; }

// Where the FILES resource lies in the file: a data-file mapping is the file
// as it is, so a pointer into it is an offset.
std::pair<size_t, size_t> PayloadSpan(const std::string& exe)
{
    HMODULE m = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!m)
        throw TDriverError("cannot read the resources of " + exe);
    std::pair<size_t, size_t> span{0, 0};
    HRSRC r = FindResourceA(m, "FILES", "FILES");
    if (const void* data = r ? LockResource(LoadResource(m, r)) : nullptr) {
        // The handle of a data-file mapping has its low bits set.
        const auto base = reinterpret_cast<uintptr_t>(m) & ~static_cast<uintptr_t>(3);
        span = {reinterpret_cast<uintptr_t>(data) - base, SizeofResource(m, r)};
    }
    FreeLibrary(m);
    if (span.second == 0)
        throw TDriverError("no FILES resource in " + exe);
    return span;
}

std::string Damaged(std::string bytes, TDamage damage, std::pair<size_t, size_t> payload)
{
    switch (damage) {
    case TDamage::FlipPayloadByte:
        bytes[payload.first + payload.second / 2] ^= 0x01;
        break;
    case TDamage::CutOneByte:
        bytes.pop_back();
        break;
    case TDamage::CutHalf:
        bytes.resize(bytes.size() / 2);
        break;
    case TDamage::AppendJunk:
        for (int i = 0; i < 65536; ++i)
            bytes += static_cast<char>(i * 131 + 7);
        break;
    }
    return bytes;
}

// True once the wizard is up, as the driver finds it.
bool WizardUp(TSetup& setup)
{
    try {
        setup.WaitForWizard(0);
        return true;
    } catch (const TDriverError&) {
        return false;
    }
}

class Corruption : public ::testing::TestWithParam<TCorruptionCase> {
protected:
    void SetUp() override
    {
        ResetSetupState();
        RemoveTree(Dir);
    }
    void TearDown() override
    {
        ResetSetupState();
        RemoveTree(Dir);
    }
    const std::string Dir = TempRoot() + "\\damaged";
    const std::string Exe = Dir + "\\ScrivoraDanishSpellcheckerSetup.exe";
};

TEST_P(Corruption, NeverInstallsFromADamagedSetup)
{
    const std::string original = ReadFileBytes(SetupExe()).value_or("");
    ASSERT_FALSE(original.empty()) << "cannot read " << SetupExe();
    const auto payload = PayloadSpan(SetupExe());
    ASSERT_LE(payload.first + payload.second, original.size()) << "payload outside the file";
    if (GetParam().Damage == TDamage::CutOneByte) {
        ASSERT_LT(payload.first + payload.second, original.size()) << "the last byte belongs to the payload";
    }
    WriteFileBytes(Exe, Damaged(original, GetParam().Damage, payload));
    const std::string temp = TempRoot() + "\\tmp";
    RemoveTree(temp);

    TOutcome outcome = TOutcome::Refused;
    std::string detail;
    std::optional<DWORD> exitCode;  // none: no process was started
    {
        TStartOptions options;
        options.Exe = Exe;
        options.WorkDir = Dir;
        options.TempDir = temp;
        std::optional<TSetup> setup;
        try {
            setup.emplace(options);
        } catch (const TDriverError& e) {
            detail = e.what();  // CreateProcess refused the image
        }
        if (setup) {
            WaitUntil(kTimeout, [&] { return !setup->MsgBoxes().empty() || WizardUp(*setup) || !setup->Running(); });
            if (WizardUp(*setup)) {
                outcome = TOutcome::Runs;
                exitCode = setup->Quit();
            } else if (!setup->MsgBoxes().empty()) {
                const TMsgBox box = setup->WaitForMsgBox(0);
                detail = "box \"" + box.Text + "\",";
                if (box.Text.rfind("Exception ", 0) == 0)
                    outcome = TOutcome::FatalBox;
                box.Press(box.Buttons.empty() ? "OK" : box.Buttons.front());
                exitCode = setup->WaitForExit();
            } else {
                exitCode = setup->WaitForExit();
            }
            detail += " exit code " + std::to_string(*exitCode);
        }
    }
    ASSERT_EQ(OutcomeName(outcome), std::string(OutcomeName(GetParam().Expected))) << detail;
    switch (outcome) {
    case TOutcome::Runs:
        EXPECT_EQ(exitCode, 0u);
        return;  // an ordinary run, cancelled on its first page
    case TOutcome::FatalBox:
        EXPECT_EQ(exitCode, 1u);
        break;
    case TOutcome::Refused:
        EXPECT_NE(exitCode, 0u) << detail;
        break;
    }
    EXPECT_EQ(ListTree(temp), std::vector<std::string>{}) << "temporary files written";
    EXPECT_EQ(ListDir(Dir), std::vector<std::string>{"ScrivoraDanishSpellcheckerSetup.exe"}) << "files beside it";
    EXPECT_FALSE(reg::KeyExists()) << "registry key written";
    EXPECT_FALSE(DirExists(CommonAppData() + "\\Scrivora")) << "shared data folder made";
}

const TCorruptionCase kCases[] = {
    // zlib's Adler-32 of the inflated archive catches any changed bit.
    {"payload_byte_flipped", TDamage::FlipPayloadByte, TOutcome::FatalBox},
    // The last byte is zero padding of the last section (.reloc), past the
    // payload and the resource table; Wine maps the short file as it is.
    {"cut_by_one_byte", TDamage::CutOneByte, TOutcome::Runs},
    // The last section starts past the end: CreateProcess fails with
    // ERROR_BAD_EXE_FORMAT and no process exists.
    {"cut_in_half", TDamage::CutHalf, TOutcome::Refused},
    // The loader maps the sections only; the payload ends where its resource says.
    {"junk_appended", TDamage::AppendJunk, TOutcome::Runs},
};
INSTANTIATE_TEST_SUITE_P(Damage, Corruption, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.Label); });

}  // namespace
