#include "platform/system/GlobalMemory.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

// Texts cross between the host and the plug-in as the system's own fixed
// global memory: each side releases what the other made.
TEST(GlobalMemoryWin32, BlocksAreTheSystemsFixedGlobalMemory)
{
    char* ours = sys::GlobalAllocText("abc");
    EXPECT_EQ(::GlobalSize(ours), 4u);
    EXPECT_EQ(::GlobalHandle(ours), ours); // fixed: the pointer is the handle
    EXPECT_EQ(::GlobalFree(ours), nullptr);

    void* hosts = ::GlobalAlloc(GPTR, 8);
    ASSERT_NE(hosts, nullptr);
    EXPECT_TRUE(sys::GlobalIsBlock(hosts));
    EXPECT_TRUE(sys::GlobalFree(hosts));
}

// A slot may hold anything a careless host put there; releasing it is
// refused, and whatever it points to is left alone.
TEST(GlobalMemoryWin32, PointersThatAreNotLiveBlocksAreRefused)
{
    char* block = sys::GlobalAllocText("abcdef");
    EXPECT_FALSE(sys::GlobalFree(block + 2));
    EXPECT_FALSE(sys::GlobalIsBlock(block + 2));
    EXPECT_STREQ(block, "abcdef");

    HANDLE heap = HeapCreate(0, 0, 0);
    void* elsewhere = HeapAlloc(heap, 0, 16);
    EXPECT_FALSE(sys::GlobalFree(elsewhere));
    EXPECT_TRUE(HeapFree(heap, 0, elsewhere));
    HeapDestroy(heap);

    static char constant[] = "static";
    EXPECT_FALSE(sys::GlobalFree(constant));
    EXPECT_TRUE(sys::GlobalFree(block));
    EXPECT_FALSE(sys::GlobalFree(block));
}

} // namespace
