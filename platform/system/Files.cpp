#include "platform/system/Files.h"

#include "platform/system/Diagnostics.h"
#include "platform/system/PosixIo.h"
#include "platform/system/Text1251.h"

#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace sys {

std::optional<std::string> SystemFileName(std::string_view name)
{
#ifdef _WIN32
    return std::string(name);
#else
    if (name.find('\x98') != std::string_view::npos) {
        RecordReason(std::string(name) + ": the byte 0x98 has no character, so the name cannot be a file name");
        return std::nullopt;
    }
    return Utf8From1251(name);
#endif
}

std::optional<std::string> FileNameFromSystem(std::string_view name)
{
#ifdef _WIN32
    return std::string(name);
#else
    return Text1251FromUtf8(name);
#endif
}

namespace {

bool StatIs(const std::string& path, bool directory)
{
    if (path.empty())
        return false;
    const std::optional<std::string> name = SystemFileName(path);
    struct stat info {};
    return name && ::stat(name->c_str(), &info) == 0 && (directory ? S_ISDIR(info.st_mode) : S_ISREG(info.st_mode));
}

} // namespace

bool FileExists(const std::string& path)
{
    return StatIs(path, false);
}

bool DirectoryExists(const std::string& path)
{
    return StatIs(path, true);
}

bool DeleteFile(const std::string& path)
{
    const std::optional<std::string> name = FileExists(path) ? SystemFileName(path) : std::nullopt;
    return name && ::unlink(name->c_str()) == 0;
}

bool CreateDirectories(const std::string& path)
{
    const std::optional<std::string> name = SystemFileName(path);
    if (!name)
        return false;
    std::error_code ignored;
    std::filesystem::create_directories(*name, ignored);
    return std::filesystem::is_directory(*name, ignored);
}

int OpenFile(const std::string& path, int flags, int mode)
{
    const std::optional<std::string> name = SystemFileName(path);
    if (!name) {
        errno = EILSEQ;
        return -1;
    }
    return ::open(name->c_str(), flags, mode);
}

std::FILE* OpenFileStream(const std::string& path, const char* mode)
{
    const std::optional<std::string> name = SystemFileName(path);
    if (!name) {
        errno = EILSEQ;
        return nullptr;
    }
    return std::fopen(name->c_str(), mode);
}

} // namespace sys
