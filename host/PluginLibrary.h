#pragma once

#include "zenvas/zenvas.h"

#include <string>

// Loading a plug-in library and finding its seven entry points.
namespace host {

// The seven entry points of a plug-in. The interpreter calls the plug-in only
// through this table, so tests can hand it functions of their own.
struct PluginEntryPoints {
    ZenvasRegisterPlugInFn nbRegisterPlugIn = nullptr;
    ZenvasInitPlugInFn nbInitPlugIn = nullptr;
    ZenvasEditActionFn nbEditAction = nullptr;
    ZenvasExecActionFn nbExecAction = nullptr;
    ZenvasMessageFn nbMessage = nullptr;
    ZenvasRegisterScriptProcessorFn nbRegisterScriptProcessor = nullptr;
    ZenvasRegisterInterfaceAccessFn nbRegisterInterfaceAccess = nullptr;

    bool complete() const;
};

// A plug-in library opened with dlopen (LoadLibrary on Windows). The library
// stays loaded for the rest of the process, as with any host: the plug-in may
// keep the host's callbacks and its own process-wide objects until the
// process ends.
class PluginLibrary {
public:
    // Opens `path` and resolves all seven entry points. On failure returns
    // false and leaves in `error` what went wrong (the loader's message, or
    // the names of the missing entry points).
    bool open(const std::string& path, std::string& error);

    const PluginEntryPoints& entryPoints() const { return entryPoints_; }

private:
    void* handle_ = nullptr;
    PluginEntryPoints entryPoints_;
};

// Where the plug-in is looked for without --plugin: Zenvas.nbp beside the
// running executable, else where an install puts it relative to the
// executable (../lib/zenvas/), else in the build tree's output folder.
std::string defaultPluginPath();

// The folder of the host's documents (host-script.md, actions.md): the
// install's own, found relative to the executable as the plug-in is
// (../share/doc/zenvas/), else the sources' docs/ for a host run from its
// build tree.
std::string documentationFolder();

} // namespace host
