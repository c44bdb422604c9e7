#include "host/PluginLibrary.h"

#include "platform/system/Files.h"

#include <dlfcn.h>
#include <unistd.h>

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

template <typename Fn>
void resolve(void* handle, const char* name, Fn& slot, std::vector<std::string>& missing)
{
    void* symbol = dlsym(handle, name);
    if (!symbol)
        missing.emplace_back(name);
    // Function pointers from dlsym: the POSIX-sanctioned conversion.
    slot = reinterpret_cast<Fn>(symbol);
}

} // namespace

bool PluginLibrary::open(const std::string& path, std::string& error)
{
    // dlopen searches the library path for a name without a slash; a host
    // loads the file it was given.
    std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* message = dlerror();
        error = message ? message : "cannot open " + path;
        return false;
    }

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
        dlclose(handle);
        return false;
    }
    handle_ = handle;
    entryPoints_ = found;
    return true;
}

std::string defaultPluginPath()
{
    char buffer[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length > 0) {
        std::string exe(buffer, static_cast<std::size_t>(length));
        std::string folder = exe.substr(0, exe.rfind('/') + 1);
        for (std::string candidate : {folder + "Zenvas.nbp", folder + ZENVAS_INSTALLED_PLUGIN})
            if (sys::FileExists(candidate))
                return std::filesystem::path(candidate).lexically_normal().string();
    }
    return std::string(ZENVAS_BUILD_BIN_DIR) + "/Zenvas.nbp";
}

} // namespace host
