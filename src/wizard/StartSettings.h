// The remembered settings as construction reads them: registry values of any
// size or type, and the option "-d" from the command line.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The data of a value as stored, however large; nullopt when the value does
// not exist or the key is null.
std::optional<std::string> ReadRegValue(HKEY key, const char* name);

// MAINDIR's data as text: up to its first zero byte.
std::string RegText(const std::string& data);

// The launch box from LAUNCH's data: a missing value, or one that does not
// hold exactly four bytes, leaves it checked; else checked when not zero.
bool LaunchChecked(const std::optional<std::string>& data);

// The first parameter after the program name, split as the platform's
// standard parsing does: characters 1 to 32 separate parameters, a stretch in
// double quotes may hold them and the quotes are removed. nullopt when there
// is none. The parameter is taken whole, whatever its length.
std::optional<std::string> FirstParameter(const char* commandLine);

// The folder after the option "-d" (letter case counts); nullopt when the
// parameter is not that option.
std::optional<std::string> HomeFolderOption(const std::string& param);
