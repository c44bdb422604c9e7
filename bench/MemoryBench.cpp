// The process's resident memory (VmRSS from /proc/self/status) around one
// 4096 x 4096 canvas: before it is made, once it is made, after every
// picture transform has run on it (their working memory held), and after
// ZenvasDelete. Then the same with a small canvas kept alive, and with
// message 2 in place of the delete. Prints one line per step.
#include "tests/support/PluginHarness.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

using harness::Exec;

double ResidentMiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0; // kB
    return -1;
}

// One line: the step, the resident memory and its change since `since`.
double Report(const char* step, double since)
{
    const double now = ResidentMiB();
    std::printf("%-52s %8.1f MiB  %+8.1f MiB\n", step, now, now - since);
    return now;
}

// Every transform once, each with the working memory it keeps.
void RunTransforms(const std::string& name)
{
    Exec(36, {name, "7"});
    Exec(35, {name, "10", "-10", "5"});
    Exec(38, {name, "50,10,90"});
    Exec(39, {name, "0,0,255", "50", "5"});
    Exec(40, {name, "255,255,255", "5"});
    Exec(41, {name, "2"});
    Exec(42, {name, "True", "100"});
}

} // namespace

int main()
{
    forms::Window big("Big"), small("Small");
    big.setBounds(0, 0, 1024, 768);
    small.setBounds(0, 0, 200, 200);
    harness::Connect();
    harness::AddRectangle("Big", big);
    harness::AddRectangle("Small", small);
    std::printf("%-52s %12s  %12s\n", "step", "VmRSS", "change");

    // Warm-up: code pages, the allocator's first arenas, the font cache.
    Exec(1, {"Big", "64", "64"});
    RunTransforms("Big");
    Exec(2, {"Big"});

    const double before = ResidentMiB();
    std::printf("%-52s %8.1f MiB\n", "before the 4096 x 4096 canvas", before);
    Exec(1, {"Big", "4096", "4096"});
    Report("canvas made (vs before)", before);
    RunTransforms("Big");
    Report("after the eight transforms: during (vs before)", before);
    Exec(2, {"Big"});
    Report("after ZenvasDelete (vs before)", before);

    Exec(1, {"Small", "512", "512"});
    const double smallAlone = Report("a 512 x 512 canvas made (vs before)", before);
    Exec(1, {"Big", "4096", "4096"});
    RunTransforms("Big");
    Report("4096 x 4096 beside it, transformed (vs small alone)", smallAlone);
    Exec(2, {"Big"});
    Report("ZenvasDelete of the large one (vs small alone)", smallAlone);

    Exec(1, {"Big", "4096", "4096"});
    RunTransforms("Big");
    Report("4096 x 4096 again, transformed (vs before)", before);
    nbMessage(2);
    Report("after message 2 (vs before)", before);
    harness::Disconnect();
    return 0;
}
