#include "host/PluginLibrary.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

#include <climits>
#include <filesystem>
#include <vector>

namespace host {

bool PluginEntryPoints::complete() const
{
    return nbRegisterPlugIn && nbInitPlugIn && nbEditAction && nbExecAction && nbMessage
        && nbRegisterScriptProcessor && nbRegisterInterfaceAccess;
}

namespace {

#ifdef _WIN32

void* openLibrary(const std::string& path, std::string& error)
{
    // LoadLibrary searches the DLL path for a bare name and wants
    // backslashes; a host loads the file it was given.
    std::string file = path;
    for (char& c : file)
        if (c == '/')
            c = '\\';
    if (file.find('\\') == std::string::npos)
        file = ".\\" + file;
    HMODULE module = LoadLibraryA(file.c_str());
    if (!module) {
        const DWORD code = GetLastError();
        char message[512] = {};
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, message,
                       sizeof message, nullptr);
        std::string text = message;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
            text.pop_back();
        error = path + ": " + (text.empty() ? "error " + std::to_string(code) : text);
    }
    return module;
}

void* findSymbol(void* handle, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

void closeLibrary(void* handle)
{
    FreeLibrary(static_cast<HMODULE>(handle));
}

#else

void* openLibrary(const std::string& path, std::string& error)
{
    // dlopen searches the library path for a name without a slash; a host
    // loads the file it was given.
    std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* message = dlerror();
        error = message ? message : "cannot open " + path;
    }
    return handle;
}

void* findSymbol(void* handle, const char* name)
{
    return dlsym(handle, name);
}

void closeLibrary(void* handle)
{
    dlclose(handle);
}

#endif

template <typename Fn>
void resolve(void* handle, const char* name, Fn& slot, std::vector<std::string>& missing)
{
    void* symbol = findSymbol(handle, name);
    if (!symbol)
        missing.emplace_back(name);
    // Function pointers from dlsym and GetProcAddress: the conversion both
    // systems sanction.
    slot = reinterpret_cast<Fn>(symbol);
}

} // namespace

bool PluginLibrary::open(const std::string& path, std::string& error)
{
    void* handle = openLibrary(path, error);
    if (!handle)
        return false;

    PluginEntryPoints found;
    std::vector<std::string> missing;
    resolve(handle, "nbRegisterPlugIn", found.nbRegisterPlugIn, missing);
    resolve(handle, "nbInitPlugIn", found.nbInitPlugIn, missing);
    resolve(handle, "nbEditAction", found.nbEditAction, missing);
    resolve(handle, "nbExecAction", found.nbExecAction, missing);
    resolve(handle, "nbMessage", found.nbMessage, missing);
    resolve(handle, "nbRegisterScriptProcessor", found.nbRegisterScriptProcessor, missing);
    resolve(handle, "nbRegisterInterfaceAccess", found.nbRegisterInterfaceAccess, missing);
    if (!missing.empty()) {
        error = path + " lacks the entry point" + (missing.size() > 1 ? "s" : "");
        for (std::size_t i = 0; i < missing.size(); ++i)
            error += (i == 0 ? " " : ", ") + missing[i];
        closeLibrary(handle);
        return false;
    }
    handle_ = handle;
    entryPoints_ = found;
    return true;
}

namespace {

// The running executable's folder with a trailing separator; empty when the
// system does not say.
std::string executableFolder()
{
#ifdef _WIN32
    char buffer[MAX_PATH];
    const DWORD got = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    const long length = got < sizeof buffer ? long(got) : 0;
    const char* separators = "\\/";
#else
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    const char* separators = "/";
#endif
    if (length <= 0)
        return {};
    std::string exe(buffer, static_cast<std::size_t>(length));
    return exe.substr(0, exe.find_last_of(separators) + 1);
}

} // namespace

// These are names of the system's own (the command line's, the
// executable's), not host texts: they go to the file system unconverted.
std::string defaultPluginPath()
{
    const std::string folder = executableFolder();
    std::error_code error;
    if (!folder.empty())
        for (std::string candidate : {folder + "Zenvas.nbp", folder + ZENVAS_INSTALLED_PLUGIN})
            if (std::filesystem::is_regular_file(candidate, error))
                return std::filesystem::path(candidate).lexically_normal().string();
    return std::string(ZENVAS_BUILD_BIN_DIR) + "/Zenvas.nbp";
}

std::string documentationFolder()
{
    const std::string folder = executableFolder();
    std::error_code error;
    if (!folder.empty()) {
        const std::filesystem::path installed = std::filesystem::path(folder + ZENVAS_INSTALLED_DOCDIR).lexically_normal();
        if (std::filesystem::is_regular_file(installed / "host-script.md", error))
            return installed.string();
    }
    // Run from the build tree: the documents are in the sources.
    return ZENVAS_SOURCE_DOCDIR;
}

} // namespace host
