#include "host/PluginLibrary.h"

#include <gtest/gtest.h>

using namespace host;

TEST(PluginLibrary, ResolvesAllSevenEntryPoints)
{
    PluginLibrary library;
    std::string error;
    ASSERT_TRUE(library.open(FAKE_PLUGIN, error)) << error;
    EXPECT_TRUE(library.entryPoints().complete());
    EXPECT_EQ(error, "");
}

TEST(PluginLibrary, NamesEveryMissingEntryPoint)
{
    PluginLibrary library;
    std::string error;
    EXPECT_FALSE(library.open(FAKE_INCOMPLETE, error));
    EXPECT_EQ(error, std::string(FAKE_INCOMPLETE) + " lacks the entry points nbEditAction, nbMessage");
    EXPECT_FALSE(library.entryPoints().complete());
}
