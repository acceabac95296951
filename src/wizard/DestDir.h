// Pure rules of the destination page and the installation run, apart from
// the controls so that they can be tested on their own.
#pragma once

#include <array>
#include <string>

// NormalizeDestDir's rules for the edit text: spaces trimmed at both ends; a
// text without a drive part becomes driveLetter + ":"; one trailing backslash
// dropped; a drive root or the Program Files folder gets "Scrivora" added.
// driveLetter is the drive picker's letter, programFiles the CSIDL 38 folder
// (may be empty).
std::string NormalizeDestDirText(std::string text, char driveLetter, const std::string& programFiles);

// Which of the two add-on folders ("Spellcheck\", "Orthographe\") receive the
// files, from whether each exists before anything is written: every existing
// one, and folder 0 when folder 1 does not exist.
std::array<bool, 2> ChooseSpellFolders(bool folder0Exists, bool folder1Exists);
