#pragma once

#include <string>

// File system tests the plug-in needs: existence and deletion by name.
namespace sys {

// True when `path` names an existing regular file (not a directory).
bool FileExists(const std::string& path);

// True when `path` names an existing directory.
bool DirectoryExists(const std::string& path);

// Deletes the file; false when it does not exist or cannot be deleted.
// Never deletes directories.
bool DeleteFile(const std::string& path);

} // namespace sys
