// Loads the built plug-in library as a host would and compares its
// registration calls with the action table kept beside this test.
#include "zenvas/zenvas.h"

#include "platform/system/GlobalMemory.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_calls;

void ZENVAS_CALL AddAction(int32_t number, const char* name, const char* hint, const uint8_t* types,
                           int32_t highIndex, int32_t count)
{
    std::string line = std::to_string(number);
    line.append("\t").append(name).append("\t").append(hint).append("\t");
    for (int32_t i = 0; i <= highIndex; ++i)
        line.append(i ? " " : "").append(std::to_string(types[i]));
    // Headings carry no parameters but still one type byte.
    EXPECT_EQ(count, number == 0 ? 0 : highIndex + 1) << name;
    g_calls.push_back(line);
}

class Plugin : public ::testing::Test {
protected:
    void SetUp() override
    {
        handle_ = dlopen(ZENVAS_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
    }
    void TearDown() override
    {
        if (handle_)
            dlclose(handle_);
    }
    template <class Fn>
    Fn entry(const char* name)
    {
        return reinterpret_cast<Fn>(dlsym(handle_, name));
    }
    void* handle_ = nullptr;
};

std::vector<std::string> ExpectedTable()
{
    std::ifstream file(ZENVAS_ACTION_TABLE);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

TEST_F(Plugin, RegistersTheWholeTableEveryTime)
{
    auto registerPlugIn = entry<ZenvasRegisterPlugInFn>("nbRegisterPlugIn");
    ASSERT_NE(registerPlugIn, nullptr);
    const auto expected = ExpectedTable();
    ASSERT_EQ(expected.size(), 54u);

    g_calls.clear();
    registerPlugIn(&AddAction, 11, 22, nullptr);
    EXPECT_EQ(g_calls, expected);
    g_calls.clear();
    registerPlugIn(&AddAction, 0, 0, nullptr);
    EXPECT_EQ(g_calls, expected);
}

TEST_F(Plugin, HostAndPluginShareOneGlobalAllocator)
{
    auto init = entry<ZenvasInitPlugInFn>("nbInitPlugIn");
    char* title = sys::GlobalAllocText("made by the host");
    char* author = nullptr;
    char* description = nullptr;
    init(0, &title, &author, &description);
    EXPECT_STREQ(title, "Zenvas");
    for (char* block : {title, author, description})
        EXPECT_TRUE(sys::GlobalFree(block)); // the plug-in's blocks are released by the host
}

} // namespace
