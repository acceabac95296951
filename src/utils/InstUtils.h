// Install utilities: paths, special folders, files and folders on disk, file
// times, temporary files and drive classification. Strings are ANSI bytes;
// every wide call converts with ToWidePath.
#pragma once

#include "utils/DateTime.h"

#include <cstdint>
#include <string>

// --- Paths and special folders ---------------------------------------------

void AddBackslash(std::string& path);
std::string JoinPath(const std::string& folder, const std::string& name);
char LastChar(const std::string& s);
void DeleteFirstChar(std::string& s);
void DeleteLastChar(std::string& s);
bool SameFileText(const std::string& a, const std::string& b);

std::string GetCurDir();
void PushCurDir();
void PopCurDir();
bool DirExists(const std::string& path);

// Looks up SHGetFolderPathA once, at start-up (shell32.dll, else shfolder.dll).
void InitSpecialFolderLookup();
std::string GetSpecialFolder(int csidl);
std::string GetTempDir();

// --- Files and folders on disk ---------------------------------------------

std::wstring ToWidePath(const std::string& text);
bool IsExistingFile(const std::string& path);
void ForceDirs(const std::string& path);
void WriteFileData(const std::string& path, const std::string& data);
void DeleteTree(const std::string& path);

enum class TFileTimeKind { LastWrite, Creation };
TDateTime GetFileDateTime(const std::string& path, TFileTimeKind which);
TDateTime GetFileWriteTime(const std::string& path);

// The local clock to the millisecond.
TDateTime NowLocal();

// --- Temporary files --------------------------------------------------------

std::string TempPrefix();
std::string MakeTempFileName();
void CleanTempFiles();

// --- Drive classification ---------------------------------------------------

// "E:" for "E:\Apps", "\\server\share" for "\\server\share\dir", else "".
std::string DrivePart(const std::string& path);
unsigned GetDriveKind(const std::string& path);
bool IsExternalDrive(const std::string& path);
// The decision on a STORAGE_DEVICE_DESCRIPTOR as returned by the storage query.
bool IsExternalDescriptor(const uint8_t* descriptor, size_t size);
