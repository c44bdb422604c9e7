#include "platform/system/GlobalMemory.h"

#include <cstdlib>
#include <new>
#include <unordered_set>

namespace sys {
namespace {

std::unordered_set<const void*>& liveBlocks()
{
    static auto* blocks = new std::unordered_set<const void*>; // outlives every static destructor
    return *blocks;
}

} // namespace

char* GlobalAlloc(std::size_t bytes)
{
    auto& blocks = liveBlocks();
    blocks.reserve(blocks.size() + 1); // the only step that may throw comes before the allocation
    void* block = std::calloc(bytes == 0 ? 1 : bytes, 1);
    if (!block)
        throw std::bad_alloc();
    blocks.insert(block);
    return static_cast<char*>(block);
}

bool GlobalFree(void* block)
{
    if (!block)
        return true;
    if (liveBlocks().erase(block) == 0)
        return false;
    std::free(block);
    return true;
}

bool GlobalIsBlock(const void* block)
{
    return block && liveBlocks().count(block) != 0;
}

std::size_t GlobalLiveBlocks()
{
    return liveBlocks().size();
}

} // namespace sys
