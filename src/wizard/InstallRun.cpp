// The installation run: entering the Installing page plans the add-on files
// into the shared Public folder (or, portable, into the home folder) and
// writes them.
#include "wizard/MainDlg.h"

#include "payload/AttachFiles.h"
#include "utils/InstUtils.h"
#include "wizard/DataFolder.h"
#include "wizard/DestDir.h"

#include <cstddef>

namespace {

// The two folders the word processor looks for its spell-checking files in.
const char* const SpellFolderNames[] = {"Spellcheck\\", "Orthographe\\"};

struct TAddOnFile {
    const char* Name;
    TInstallMode Mode;
};

// In this order into each chosen folder. The language description is always
// rewritten; a user dictionary that exists is the user's own.
const TAddOnFile AddOnFiles[] = {
    {"Danish.asc", imReplaceAlways},     {"hunspell.dll", imReplaceDifferent},
    {"da_DK.dic", imReplaceDifferent},   {"da_DK.aff", imReplaceDifferent},
    {"userdicda.tlx", imKeepExisting},   {"Danish.hyph", imReplaceDifferent},
    {"Danish.thes", imReplaceDifferent},
};

}  // namespace

bool TMainDlgForm::IsPortableInstall()
{
    // Not cached: the drive may change between the run and Finish.
    return IsExternalDrive(MainDir);
}

void TMainDlgForm::RunInstallation()
{
    AttachedFiles->ReplaceAll = !IsPortableInstall();

    std::string folders[std::size(SpellFolderNames)];
    for (size_t i = 0; i < std::size(folders); ++i)
        folders[i] = IsPortableInstall()
                         ? JoinPath(MainDir, SpellFolderNames[i])
                         : JoinPath(DataFolder(), std::string("Scrivora\\Public\\") + SpellFolderNames[i]);

    // Both tests before anything is written: extracting into folder 0
    // creates it.
    const auto chosen = ChooseSpellFolders(DirExists(folders[0]), DirExists(folders[1]));
    for (size_t i = 0; i < std::size(folders); ++i)
        if (chosen[i])
            for (const TAddOnFile& file : AddOnFiles)
                AttachedFiles->AddFiles(file.Name, folders[i], 0, file.Mode);

    InstallStarted = true;
    for (const auto& item : AttachedFiles->Queues[0]) {
        if (!AttachedFiles->ExtractFile(item->Entry, std::string(), item->FileName)) {
            EndWizard(2);
            return;
        }
    }
    GoToPage(4, 5);
}
