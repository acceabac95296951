#include "wizard/DestDir.h"

#include "utils/InstUtils.h"

std::string NormalizeDestDirText(std::string text, char driveLetter, const std::string& programFiles)
{
    // Only the space character: other white space is part of the text.
    const size_t first = text.find_first_not_of(' ');
    text = first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(' ') - first + 1);

    if (DrivePart(text).empty())
        text = std::string(1, driveLetter) + ":";
    if (!text.empty() && LastChar(text) == '\\')
        DeleteLastChar(text);

    const size_t lastSeparator = text.find_last_of("\\:");
    const bool lastNameEmpty = lastSeparator != std::string::npos && lastSeparator + 1 == text.size();
    if (lastNameEmpty || SameFileText(text, programFiles))
        text = JoinPath(text, "Scrivora");
    return text;
}

std::array<bool, 2> ChooseSpellFolders(bool folder0Exists, bool folder1Exists)
{
    return {folder0Exists || !folder1Exists, folder1Exists};
}
