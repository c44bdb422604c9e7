#include "platform/system/Files.h"

#include <sys/stat.h>
#include <unistd.h>

namespace sys {

bool FileExists(const std::string& path)
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool DirectoryExists(const std::string& path)
{
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool DeleteFile(const std::string& path)
{
    return FileExists(path) && ::unlink(path.c_str()) == 0;
}

} // namespace sys
