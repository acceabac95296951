// The install plan: which entries go where, by their install mode.
#include "payload/AttachFiles.h"

#include "utils/InstUtils.h"

bool TAttachedFiles::AddFiles(const std::string& name, const std::string& destDir, uint8_t queue, TInstallMode mode)
{
    if (queue >= std::size(Queues))
        return false;
    const TInstallMode rule = ReplaceAll ? imReplaceAlways : mode;
    if (LastChar(name) == '\\') {
        bool planned = false;
        for (const auto& file : Files)
            if (SameFileText(file->Name.substr(0, name.size()), name))
                planned = AddFileToInstall(*file, destDir, queue, mode, rule) || planned;
        return planned;
    }
    // A single name takes the first of equal names.
    for (const auto& file : Files)
        if (SameFileText(file->Name, name))
            return AddFileToInstall(*file, destDir, queue, mode, rule);
    return false;
}

bool TAttachedFiles::AddFileToInstall(const TAttachedFile& entry, const std::string& destDir, uint8_t queue,
                                      TInstallMode asked, TInstallMode rule)
{
    // The entry's own letter case names the file.
    const std::string dest = JoinPath(destDir, entry.Name);
    if (rule != imReplaceAlways && IsExistingFile(dest)) {
        // An unchanged file reads back exactly the entry's time.
        if (rule != imReplaceDifferent || GetFileWriteTime(dest) == entry.Time)
            return false;
    }
    auto item = std::make_unique<TFileToInstall>();
    item->Entry = &entry;
    item->FileName = dest;
    Queues[queue].push_back(std::move(item));

    // No fallback here: without the common data folder nothing is public.
    const std::string publicFolder = JoinPath(GetSpecialFolder(35), "Scrivora\\Public\\");
    if (SameFileText(dest.substr(0, publicFolder.size()), publicFolder))
        PublicFiles.push_back(asked == imKeepExisting ? dest + "\t!" : dest);
    return true;
}
