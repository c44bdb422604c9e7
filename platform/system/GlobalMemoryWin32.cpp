#include "platform/system/GlobalMemory.h"

#include <windows.h>

#include <new>

// On Windows the blocks are the system's own fixed global memory, so a host
// that allocates or releases texts with GlobalAlloc / GlobalFree shares them
// with the plug-in.
namespace sys {

namespace {

// Blocks made minus blocks released through this module.
std::size_t liveCount = 0;

} // namespace

char* GlobalAlloc(std::size_t bytes)
{
    void* block = ::GlobalAlloc(GPTR, bytes == 0 ? 1 : bytes);
    if (!block)
        throw std::bad_alloc();
    ++liveCount;
    return static_cast<char*>(block);
}

bool GlobalIsBlock(const void* block)
{
    // Fixed blocks are blocks of the process heap. HeapValidate answers for
    // any pointer, a freed block or one from elsewhere included, where
    // GlobalFree on such a pointer may stop the process on heap corruption.
    return block && HeapValidate(GetProcessHeap(), 0, block) && GlobalHandle(block) != nullptr;
}

bool GlobalFree(void* block)
{
    if (!block)
        return true;
    if (!GlobalIsBlock(block) || ::GlobalFree(block) != nullptr)
        return false;
    if (liveCount > 0)
        --liveCount;
    return true;
}

std::size_t GlobalLiveBlocks()
{
    return liveCount;
}

} // namespace sys
