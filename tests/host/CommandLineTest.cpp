#include "host/CommandLine.h"
#include "host/Interpreter.h"

#include <gtest/gtest.h>

using namespace host;
using Mode = CommandLine::Mode;

TEST(CommandLine, OptionsInAnyOrder)
{
    CommandLine run = parseCommandLine({"--trace", "--plugin", "p.nbp", "s.zhs"});
    EXPECT_EQ(run.mode, Mode::Run);
    EXPECT_TRUE(run.trace);
    EXPECT_EQ(run.plugin, "p.nbp");
    EXPECT_EQ(run.script, "s.zhs");
    EXPECT_EQ(run.maxLoop, kDefaultMaxLoop);
    EXPECT_EQ(parseCommandLine({"--max-loop", "5000000000", "s.zhs"}).maxLoop, 5000000000u);

    CommandLine actions = parseCommandLine({"actions", "--plugin", "p.nbp"});
    EXPECT_EQ(actions.mode, Mode::Actions);
    EXPECT_EQ(actions.plugin, "p.nbp");
    EXPECT_FALSE(actions.trace);

    EXPECT_EQ(parseCommandLine({"s.zhs", "--bogus", "--help"}).mode, Mode::Help);
    EXPECT_EQ(parseCommandLine({"s.zhs", "--version"}).mode, Mode::Version);
}

TEST(CommandLine, Mistakes)
{
    EXPECT_EQ(parseCommandLine({}).error, "no script given");
    EXPECT_EQ(parseCommandLine({"a.zhs", "b.zhs"}).error, "more than one script given");
    EXPECT_EQ(parseCommandLine({"s.zhs", "--plugin"}).error, "--plugin needs a path");
    EXPECT_EQ(parseCommandLine({"-x", "s.zhs"}).error, "unknown option -x");
    for (const char* rounds : {"", "-1", "1e6", "12x", "99999999999999999999999"})
        EXPECT_EQ(parseCommandLine({"--max-loop", rounds, "s.zhs"}).error,
                  std::string("--max-loop needs a number of rounds, got \"") + rounds + "\"")
            << rounds;
    EXPECT_EQ(parseCommandLine({"s.zhs", "--max-loop"}).error, "--max-loop needs a number of rounds, got \"\"");
}
