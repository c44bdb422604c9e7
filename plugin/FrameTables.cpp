// The 32-bit Windows DLL unwinds exceptions by its own frame tables (the
// .eh_frame section) through the runtime linked into it. Its start-up code
// registers those tables with whichever runtime DLL of the same compiler is
// already in the process, when one is (a host or another plug-in built with
// it): the unwinder inside this DLL then knows none of its own frames, and
// every exception thrown here would end the host. So once the DLL is up,
// its own unwinder is asked about its own code, and given the tables when
// it does not know them.
#include "plugin/FrameTables.h"

#include <windows.h>

#include <cstring>

extern "C" {
void __register_frame_info(const void* begin, void* object);
void* __deregister_frame_info(const void* begin);
const void* _Unwind_Find_FDE(void* pc, void* bases);
}

namespace zenvas {
namespace {

// The runtime's record of one registered table: a handful of words, kept
// for as long as the table is registered.
alignas(16) unsigned char g_record[64];
const void* g_tables = nullptr;

const void* OwnTables(HINSTANCE module)
{
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    // The image keeps the first eight characters of ".eh_frame".
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i)
        if (std::memcmp(section[i].Name, ".eh_fram", 8) == 0)
            return base + section[i].VirtualAddress;
    return nullptr;
}

} // namespace

void RegisterOwnFrameTables(HINSTANCE module)
{
    void* bases[3] = {};
    void* here = reinterpret_cast<void*>(&RegisterOwnFrameTables);
    if (_Unwind_Find_FDE(here, bases))
        return; // the start-up code gave them to this DLL's own unwinder
    g_tables = OwnTables(module);
    if (g_tables)
        __register_frame_info(g_tables, g_record);
}

void ReleaseOwnFrameTables()
{
    if (g_tables)
        __deregister_frame_info(g_tables);
    g_tables = nullptr;
}

} // namespace zenvas
