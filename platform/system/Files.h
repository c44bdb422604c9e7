#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

// The file system as the plug-in and its host reach it. Every file name
// here is a host text in code page 1251. On Linux the file system takes
// UTF-8, so a name is converted on its way in, and names that come back
// (from a file chooser) are converted to 1251; on Windows the ANSI calls
// take the 1251 bytes as they are.
namespace sys {

// The name to hand the file system; nothing when the name cannot be
// converted (the byte 0x98 has no character), after recording a reason.
std::optional<std::string> SystemFileName(std::string_view name);

// A name the file system or a chooser gave, as a host text; nothing when
// code page 1251 lacks one of its characters.
std::optional<std::string> FileNameFromSystem(std::string_view name);

// True when `path` names an existing regular file (not a directory).
bool FileExists(const std::string& path);

// True when `path` names an existing directory.
bool DirectoryExists(const std::string& path);

// Deletes the file; false when it does not exist or cannot be deleted.
// Never deletes directories.
bool DeleteFile(const std::string& path);

// Creates the folder and the missing folders above it; true when it exists
// afterwards.
bool CreateDirectories(const std::string& path);

// open(2) and fopen by a host text name: -1 or null (errno EILSEQ) when the
// name cannot be converted.
int OpenFile(const std::string& path, int flags, int mode = 0);
std::FILE* OpenFileStream(const std::string& path, const char* mode);

} // namespace sys
