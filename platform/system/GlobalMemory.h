#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

// The process-wide global memory allocator that host texts live in. The host
// and every plug-in allocate and release text blocks through it, so either
// side may release a block the other made (the GlobalAlloc / GlobalFree pair
// of the platform we stand in for).
namespace sys {

// A fixed block of `bytes` bytes, zero-filled. Throws std::bad_alloc when the
// memory cannot be had.
char* GlobalAlloc(std::size_t bytes);

// A fresh block holding `text` and its terminator.
inline char* GlobalAllocText(std::string_view text)
{
    char* block = GlobalAlloc(text.size() + 1);
    if (!text.empty())
        std::memcpy(block, text.data(), text.size());
    return block;
}

// Releases a block made by GlobalAlloc. Null is accepted and does nothing.
// A pointer that is not a live block (never allocated, or already released)
// is left alone and the call returns false instead of corrupting the heap.
bool GlobalFree(void* block);

// Whether `block` is a live block of this allocator.
bool GlobalIsBlock(const void* block);

// Number of live blocks: lets tests prove that every block was released. On
// Windows, where the system keeps the blocks, the blocks this module made
// less those it released.
std::size_t GlobalLiveBlocks();

} // namespace sys
