// The install plan: the existing-file rule of each mode, entry selection,
// destination paths, and the lines for the shared Public folder.
#include "PayloadTestSupport.h"

#include "utils/InstUtils.h"

using namespace ptest;

namespace {

constexpr TDateTime EntryTime = 41370.896689814814;  // 2013-04-06 21:31:14
constexpr TDateTime TwoSeconds = 2.0 / 86400.0;

enum TExisting { None, SameTime, Earlier, Later, Folder };

std::string Lower(std::string s)
{
    CharLowerBuffA(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

std::string Upper(std::string s)
{
    CharUpperBuffA(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

std::vector<std::string> Queued(const TAttachedFiles& files)
{
    std::vector<std::string> names;
    for (const auto& item : files.Queues[0])
        names.push_back(item->FileName);
    return names;
}

// A folder below the shared Public folder, as the plan computes it.
class TPublicScratch {
public:
    TPublicScratch() : Public(JoinPath(GetSpecialFolder(35), "Scrivora\\Public\\"))
    {
        CreateDirectoryA(JoinPath(GetSpecialFolder(35), "Scrivora").c_str(), nullptr);
        CreateDirectoryA(Public.c_str(), nullptr);
        Dir = std::make_unique<TScratchDir>(Public, "plan");
    }
    ~TPublicScratch()
    {
        Dir.reset();
        // Only when empty: leave what others may have put there.
        RemoveDirectoryA(Public.c_str());
        RemoveDirectoryA(JoinPath(GetSpecialFolder(35), "Scrivora").c_str());
    }
    TPublicScratch(const TPublicScratch&) = delete;
    TPublicScratch& operator=(const TPublicScratch&) = delete;
    const std::string Public;
    std::unique_ptr<TScratchDir> Dir;
};

class Plan : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitSpecialFolderLookup();
        ASSERT_NE("", GetSpecialFolder(35)) << "the common data folder";
        Shared = std::make_unique<TPublicScratch>();
    }
    void TearDown() override { Shared.reset(); }

    std::unique_ptr<TPublicScratch> Shared;
    TScratchDir Plain{"plan"};
};

}  // namespace

TEST_F(Plan, ModeExistingFileAndReplaceAll)
{
    const struct {
        TInstallMode Mode;
        TExisting Existing;
        bool ReplaceAll;
        bool Queued;
    } cases[] = {
        {imKeepExisting, None, false, true},          {imKeepExisting, SameTime, false, false},
        {imKeepExisting, Earlier, false, false},      {imKeepExisting, Later, false, false},
        {imKeepExisting, Folder, false, true},        {imKeepExisting, None, true, true},
        {imKeepExisting, SameTime, true, true},       {imKeepExisting, Earlier, true, true},
        {imKeepExisting, Later, true, true},          {imKeepExisting, Folder, true, true},
        {imReplaceDifferent, None, false, true},      {imReplaceDifferent, SameTime, false, false},
        {imReplaceDifferent, Earlier, false, true},   {imReplaceDifferent, Later, false, true},
        {imReplaceDifferent, Folder, false, true},    {imReplaceDifferent, None, true, true},
        {imReplaceDifferent, SameTime, true, true},   {imReplaceDifferent, Earlier, true, true},
        {imReplaceDifferent, Later, true, true},      {imReplaceDifferent, Folder, true, true},
        {imReplaceAlways, None, false, true},         {imReplaceAlways, SameTime, false, true},
        {imReplaceAlways, Earlier, false, true},      {imReplaceAlways, Later, false, true},
        {imReplaceAlways, Folder, false, true},       {imReplaceAlways, None, true, true},
        {imReplaceAlways, SameTime, true, true},      {imReplaceAlways, Earlier, true, true},
        {imReplaceAlways, Later, true, true},         {imReplaceAlways, Folder, true, true},
        // A mode the plan does not know keeps an existing file.
        {static_cast<TInstallMode>(7), SameTime, false, false},
        {static_cast<TInstallMode>(7), None, false, true},
    };
    static const char* const ExistingNames[] = {"none", "same time", "2 s earlier", "2 s later", "a folder"};
    for (const auto& c : cases) {
        for (const bool inPublic : {true, false}) {
            SCOPED_TRACE(std::string("mode ") + std::to_string(c.Mode) + ", existing: " + ExistingNames[c.Existing] +
                         (c.ReplaceAll ? ", ReplaceAll" : "") + (inPublic ? ", in Public" : ", elsewhere"));
            const std::string dir = inPublic ? Shared->Dir->Path : Plain.Path;
            const std::string dest = dir + "Danish.asc";
            RemoveTree(dest);
            DeleteFileA(dest.c_str());
            if (c.Existing == Folder) {
                CreateDirectoryA(dest.c_str(), nullptr);
            } else if (c.Existing != None) {
                WriteFileBytes(dest, "installed");
                SetLocalWriteTime(dest, EntryTime + (c.Existing == Earlier ? -TwoSeconds : c.Existing == Later ? TwoSeconds : 0));
            }
            auto files = Load({{"Danish.asc", EntryTime, "[Language]"}});
            files->ReplaceAll = c.ReplaceAll;
            EXPECT_EQ(c.Queued, files->AddFiles("Danish.asc", dir, 0, c.Mode));
            if (c.Queued) {
                ASSERT_EQ(1u, files->Queues[0].size());
                EXPECT_EQ(files->Files[0].get(), files->Queues[0][0]->Entry);
                EXPECT_EQ(dest, files->Queues[0][0]->FileName) << "never marked";
            } else {
                EXPECT_TRUE(files->Queues[0].empty());
            }
            std::vector<std::string> lines;
            if (c.Queued && inPublic)
                lines.push_back(c.Mode == imKeepExisting ? dest + "\t!" : dest);
            EXPECT_EQ(lines, files->PublicFiles);
        }
    }
}

TEST_F(Plan, FolderPrefixAndSingleSelection)
{
    auto files = Load({{"Spellcheck\\da_DK.dic", 1.0, "0"},
                       {"Spellcheck\\da_DK.aff", 1.0, "1"},
                       {"SpellcheckX.txt", 1.0, "2"},
                       {"spellcheck\\DA_DK.DIC", 1.0, "3"},
                       {"Orthographe\\Danish.hyph", 1.0, "4"},
                       {"Spell", 1.0, "5"}});
    const struct {
        const char* Name;
        bool Result;
        std::vector<size_t> Entries;
    } cases[] = {
        {"SPELLCHECK\\", true, {0, 1, 3}},
        {"Spellcheck\\da_dk.dic", true, {0}},
        {"spellcheck\\DA_DK.DIC", true, {0}},
        {"Orthographe\\", true, {4}},
        {"Spell", true, {5}},
        {"Spellcheck", false, {}},
        {"Spellcheck\\da_DK.dic\\", false, {}},
        {"Thesaurus\\", false, {}},
        {"Missing.txt", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        files->Queues[0].clear();
        EXPECT_EQ(c.Result, files->AddFiles(c.Name, Plain.Bare, 0, imReplaceAlways));
        ASSERT_EQ(c.Entries.size(), files->Queues[0].size());
        for (size_t i = 0; i < c.Entries.size(); ++i) {
            const TAttachedFile* entry = files->Files[c.Entries[i]].get();
            EXPECT_EQ(entry, files->Queues[0][i]->Entry) << "item " << i;
            EXPECT_EQ(Plain.Path + entry->Name, files->Queues[0][i]->FileName) << "the entry's own letter case";
        }
    }
    EXPECT_TRUE(files->PublicFiles.empty());
}

TEST_F(Plan, FolderSelectionIsTrueWhenAnyEntryIsPlanned)
{
    auto files = Load({{"Spellcheck\\da_DK.dic", EntryTime, "0"}, {"Spellcheck\\da_DK.aff", EntryTime, "1"}});
    CreateDirectoryA((Plain.Path + "Spellcheck").c_str(), nullptr);
    WriteFileBytes(Plain.Path + "Spellcheck\\da_DK.dic", "kept");
    EXPECT_TRUE(files->AddFiles("Spellcheck\\", Plain.Path, 0, imKeepExisting));
    EXPECT_EQ(std::vector<std::string>{Plain.Path + "Spellcheck\\da_DK.aff"}, Queued(*files));
    WriteFileBytes(Plain.Path + "Spellcheck\\da_DK.aff", "kept");
    EXPECT_FALSE(files->AddFiles("Spellcheck\\", Plain.Path, 0, imKeepExisting));
    EXPECT_EQ(1u, files->Queues[0].size());
}

TEST_F(Plan, DestinationPathsAndPublicLines)
{
    const std::string pub = Shared->Dir->Path;
    const struct {
        const char* Label;
        std::string Name, DestDir, FileName;
        bool Public;
    } cases[] = {
        {"other letter case takes the entry's", "DANISH.ASC", Plain.Path, Plain.Path + "Danish.asc", false},
        {"destination with trailing backslash", "Danish.asc", Plain.Path, Plain.Path + "Danish.asc", false},
        {"destination without it", "Danish.asc", Plain.Bare, Plain.Path + "Danish.asc", false},
        {"Public folder", "Danish.asc", pub, pub + "Danish.asc", true},
        {"Public folder without trailing backslash", "Danish.asc", Shared->Dir->Bare, pub + "Danish.asc", true},
        {"Public folder in lower case", "Danish.asc", Lower(pub), Lower(pub) + "Danish.asc", true},
        {"Public folder in upper case", "danish.asc", Upper(pub), Upper(pub) + "Danish.asc", true},
        {"the Public folder itself", "Danish.asc", Shared->Public, Shared->Public + "Danish.asc", true},
        {"a sibling of the Public folder", "Danish.asc", Shared->Public.substr(0, Shared->Public.size() - 1) + "X\\",
         Shared->Public.substr(0, Shared->Public.size() - 1) + "X\\Danish.asc", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        auto files = Load({{"Danish.asc", EntryTime, "[Language]"}});
        EXPECT_TRUE(files->AddFiles(c.Name, c.DestDir, 0, imReplaceAlways));
        EXPECT_EQ(std::vector<std::string>{c.FileName}, Queued(*files));
        EXPECT_EQ(c.Public ? std::vector<std::string>{c.FileName} : std::vector<std::string>{}, files->PublicFiles);
    }
}

TEST_F(Plan, QueueBeyondTheOneIsRefused)
{
    auto files = Load({{"Danish.asc", EntryTime, "[Language]"}});
    EXPECT_FALSE(files->AddFiles("Danish.asc", Shared->Dir->Path, 1, imReplaceAlways));
    EXPECT_TRUE(files->Queues[0].empty());
    EXPECT_TRUE(files->PublicFiles.empty());
}

// The seven add-on entries as the installation run plans them.
TEST_F(Plan, RoundTripOfTheAddOnFiles)
{
    const struct {
        const char* Name;
        TInstallMode Mode;
    } plan[] = {
        {"Danish.asc", imReplaceAlways},     {"hunspell.dll", imReplaceDifferent}, {"da_DK.dic", imReplaceDifferent},
        {"da_DK.aff", imReplaceDifferent},   {"userdicda.tlx", imKeepExisting},    {"Danish.hyph", imReplaceDifferent},
        {"Danish.thes", imReplaceDifferent},
    };
    const std::string dir = Shared->Dir->Path;
    auto planAll = [&](bool replaceAll) {
        auto files = std::make_unique<TAttachedFiles>();
        files->ReplaceAll = replaceAll;
        for (const auto& p : plan)
            files->AddFiles(p.Name, dir, 0, p.Mode);
        return files;
    };

    auto first = planAll(false);
    std::vector<std::string> all, lines;
    for (const auto& p : plan) {
        all.push_back(dir + p.Name);
        lines.push_back(dir + p.Name + (p.Mode == imKeepExisting ? "\t!" : ""));
    }
    EXPECT_EQ(all, Queued(*first));
    EXPECT_EQ(lines, first->PublicFiles);
    TBoxAnswerer boxes({});
    for (const auto& item : first->Queues[0])
        EXPECT_TRUE(first->ExtractFile(item->Entry, "", item->FileName)) << item->FileName;
    EXPECT_TRUE(boxes.Texts.empty());
    EXPECT_EQ("", ReadFileBytes(dir + "userdicda.tlx"));
    EXPECT_EQ("2013-04-06 21:31:14.000", LocalWriteTime(dir + "hunspell.dll"));
    first.reset();

    // A portable run again: the unchanged files read back equal and stay.
    auto again = planAll(false);
    EXPECT_EQ(std::vector<std::string>{dir + "Danish.asc"}, Queued(*again));
    EXPECT_EQ(std::vector<std::string>{dir + "Danish.asc"}, again->PublicFiles);
    again.reset();

    // A shared run replaces everything; the user dictionary keeps its mark.
    auto shared = planAll(true);
    EXPECT_EQ(all, Queued(*shared));
    EXPECT_EQ(lines, shared->PublicFiles);
}
