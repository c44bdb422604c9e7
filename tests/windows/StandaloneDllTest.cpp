// The DLL a host loads (the platform and the runtimes inside it), loaded the
// way a host does: LoadLibrary, the seven names, texts in the system's global
// memory. ZENVAS_STANDALONE_DLL names the file.
#define ZENVAS_DECLARE_ENTRY_POINTS
#include "zenvas/zenvas.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Registered {
    int32_t number;
    std::string name;
};
std::vector<Registered> registered;

void ZENVAS_CALL AddAction(int32_t number, const char* name, const char*, const uint8_t*, int32_t, int32_t)
{
    registered.push_back({number, name});
}

void ZENVAS_CALL SetVariable(const char*, const char*) {}

class StandaloneDll : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        const char* path = std::getenv("ZENVAS_STANDALONE_DLL");
        ASSERT_NE(path, nullptr) << "ZENVAS_STANDALONE_DLL names the DLL";
        std::string file = path;
        for (char& c : file)
            if (c == '/')
                c = '\\';
        module = LoadLibraryA(file.c_str());
        modulePath = file;
        ASSERT_NE(module, nullptr) << file << ": error " << GetLastError();
    }

    template <typename Fn>
    static Fn entry(const char* name)
    {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }

    static HMODULE module;
    static std::string modulePath;
};
HMODULE StandaloneDll::module = nullptr;
std::string StandaloneDll::modulePath;

TEST_F(StandaloneDll, RegistersTheActionTableThroughItsPlainNames)
{
    auto registerPlugIn = entry<ZenvasRegisterPlugInFn>("nbRegisterPlugIn");
    ASSERT_NE(registerPlugIn, nullptr);
    for (const char* name : {"nbInitPlugIn", "nbEditAction", "nbExecAction", "nbMessage",
                             "nbRegisterScriptProcessor", "nbRegisterInterfaceAccess"})
        EXPECT_NE(entry<void (*)()>(name), nullptr) << name;
    registered.clear();
    registerPlugIn(&AddAction, 0, 0, &SetVariable);
    ASSERT_EQ(registered.size(), 54u);
    EXPECT_EQ(registered.front().number, 0); // a heading
    EXPECT_EQ(registered.back().number, 52);
}

// The host's blocks are released with the system's GlobalFree and replaced by
// fresh ones the host can release; a slot holding something that is not a
// live global block (a block the host already released, a buffer of its
// own) is overwritten without releasing it.
TEST_F(StandaloneDll, InitTextsAreGlobalBlocksEitherSideReleases)
{
    auto initPlugIn = entry<ZenvasInitPlugInFn>("nbInitPlugIn");
    ASSERT_NE(initPlugIn, nullptr);
    // The host's live block is made first: the heap hands a released
    // address out again, and no one can tell a stale pointer from the live
    // block that took its place.
    char* description = static_cast<char*>(::GlobalAlloc(GPTR, 16));
    char* released = static_cast<char*>(::GlobalAlloc(GPTR, 16));
    ASSERT_EQ(::GlobalFree(released), nullptr);
    char notABlock[] = "not a global block";
    char* title = released;
    char* author = notABlock;
    initPlugIn(0, &title, &author, &description);
    EXPECT_STREQ(title, "Zenvas");
    EXPECT_STREQ(notABlock, "not a global block");
    for (char* text : {title, author, description}) {
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(::GlobalSize(text), std::strlen(text) + 1);
        EXPECT_EQ(::GlobalFree(text), nullptr);
    }
}

TEST_F(StandaloneDll, RefusesUnknownActionsAndReleasesEverything)
{
    auto execAction = entry<ZenvasExecActionFn>("nbExecAction");
    auto message = entry<ZenvasMessageFn>("nbMessage");
    ASSERT_NE(execAction, nullptr);
    ASSERT_NE(message, nullptr);
    char* params[1] = {nullptr};
    EXPECT_EQ(execAction(53, params), ZENVAS_FALSE);
    EXPECT_EQ(execAction(0, params), ZENVAS_FALSE);
    message(2);
}

// A host's own window, as an authoring host's page rectangle is: the canvas
// fills it with a window of the plug-in's, which goes with the canvas and
// gives the host its window back.
HWND hostRectangle = nullptr;

ZenvasBool ZENVAS_CALL AnswerQuery(int32_t code, char** slot)
{
    if (code != 7)
        return ZENVAS_FALSE;
    const std::string handle = std::to_string(reinterpret_cast<std::intptr_t>(hostRectangle));
    ::GlobalFree(*slot);
    *slot = static_cast<char*>(::GlobalAlloc(GPTR, handle.size() + 1));
    std::memcpy(*slot, handle.c_str(), handle.size() + 1);
    return ZENVAS_TRUE;
}

void Execute(ZenvasExecActionFn execAction, int32_t number, std::vector<std::string> texts, ZenvasBool expected)
{
    std::vector<char*> params;
    for (const std::string& text : texts) {
        params.push_back(static_cast<char*>(::GlobalAlloc(GPTR, text.size() + 1)));
        std::memcpy(params.back(), text.c_str(), text.size() + 1);
    }
    EXPECT_EQ(execAction(number, params.data()), expected) << "action " << number;
    for (char* param : params)
        ::GlobalFree(param);
}

void HandleMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

TEST_F(StandaloneDll, ACanvasFillsTheHostsWindowUntilItIsDeleted)
{
    auto execAction = entry<ZenvasExecActionFn>("nbExecAction");
    auto registerAccess = entry<ZenvasRegisterInterfaceAccessFn>("nbRegisterInterfaceAccess");
    ASSERT_NE(execAction, nullptr);
    ASSERT_NE(registerAccess, nullptr);
    WNDCLASSW hostClass{};
    hostClass.lpfnWndProc = &DefWindowProcW;
    hostClass.hInstance = GetModuleHandleW(nullptr);
    hostClass.lpszClassName = L"HostPage";
    RegisterClassW(&hostClass);
    HWND page = CreateWindowExW(0, L"HostPage", L"Page", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                hostClass.hInstance, nullptr);
    if (!page)
        GTEST_SKIP() << "no display to make windows on (desktop.sh runs this under a virtual X server)";
    hostRectangle = CreateWindowExW(0, L"HostPage", L"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 150, page, nullptr,
                                    hostClass.hInstance, nullptr);
    registerAccess(&AnswerQuery);

    Execute(execAction, 1, {"Pen", "320", "240"}, ZENVAS_TRUE); // ZenvasCreate
    HandleMessages();
    HWND canvas = FindWindowExW(hostRectangle, nullptr, L"ZenvasWindow", nullptr);
    ASSERT_NE(canvas, nullptr);
    RECT client{};
    GetClientRect(canvas, &client);
    EXPECT_EQ(client.right, 200); // the host's rectangle, whatever the picture's size
    EXPECT_EQ(client.bottom, 150);
    // Shown, though the host's page is not: the messages above came to an
    // end instead of showing it again and again.
    EXPECT_NE(GetWindowLongPtrW(canvas, GWL_STYLE) & WS_VISIBLE, 0);

    Execute(execAction, 2, {"Pen"}, ZENVAS_TRUE); // ZenvasDelete
    HandleMessages();
    EXPECT_EQ(FindWindowExW(hostRectangle, nullptr, L"ZenvasWindow", nullptr), nullptr);

    // The host destroying its window first takes the plug-in's with it;
    // deleting the canvas afterwards still works.
    HWND pen = hostRectangle;
    hostRectangle = CreateWindowExW(0, L"HostPage", L"", WS_CHILD | WS_VISIBLE, 220, 10, 100, 100, page, nullptr,
                                    hostClass.hInstance, nullptr);
    Execute(execAction, 1, {"Other", "50", "50"}, ZENVAS_TRUE);
    HandleMessages();
    ASSERT_NE(FindWindowExW(hostRectangle, nullptr, L"ZenvasWindow", nullptr), nullptr);
    DestroyWindow(hostRectangle);
    HandleMessages();
    Execute(execAction, 2, {"Other"}, ZENVAS_TRUE);
    HandleMessages();

    // A host letting go of the DLL while a canvas shows: the DLL's windows
    // go before its code does, and the host's window lives on.
    hostRectangle = pen;
    Execute(execAction, 1, {"Pen", "50", "50"}, ZENVAS_TRUE);
    HandleMessages();
    ASSERT_NE(FindWindowExW(pen, nullptr, L"ZenvasWindow", nullptr), nullptr);
    ASSERT_TRUE(FreeLibrary(module));
    module = nullptr;
    EXPECT_EQ(FindWindowExW(pen, nullptr, L"ZenvasWindow", nullptr), nullptr);
    InvalidateRect(page, nullptr, TRUE);
    HandleMessages();
    DestroyWindow(page);
    module = LoadLibraryA(modulePath.c_str());
}

// What a host's window shows at (x, y), read back through GDI.
COLORREF ScreenPixel(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    const COLORREF pixel = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return pixel;
}

TEST_F(StandaloneDll, DrawingByCoordinatesReachesTheScreenAtOnce)
{
    auto execAction = entry<ZenvasExecActionFn>("nbExecAction");
    auto registerAccess = entry<ZenvasRegisterInterfaceAccessFn>("nbRegisterInterfaceAccess");
    ASSERT_NE(execAction, nullptr);
    WNDCLASSW hostClass{};
    hostClass.lpfnWndProc = &DefWindowProcW;
    hostClass.hInstance = GetModuleHandleW(nullptr);
    hostClass.lpszClassName = L"HostShownPage";
    RegisterClassW(&hostClass);
    HWND page = CreateWindowExW(0, L"HostShownPage", L"Page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                                nullptr, nullptr, hostClass.hInstance, nullptr);
    if (!page)
        GTEST_SKIP() << "no display to make windows on (desktop.sh runs this under a virtual X server)";
    hostRectangle = CreateWindowExW(0, L"HostShownPage", L"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 150, page,
                                    nullptr, hostClass.hInstance, nullptr);
    registerAccess(&AnswerQuery);
    // A 20 x 20 green picture, for the picture load.
    {
        std::ofstream bmp("green.bmp", std::ios::binary);
        const std::uint32_t rowBytes = 60, size = 54 + rowBytes * 20;
        const std::uint8_t header[54] = {'B', 'M', std::uint8_t(size), std::uint8_t(size >> 8), 0, 0, 0, 0, 0, 0, 54,
                                         0, 0, 0, 40, 0, 0, 0, 20, 0, 0, 0, 20, 0, 0, 0, 1, 0, 24};
        bmp.write(reinterpret_cast<const char*>(header), sizeof header);
        for (int i = 0; i < 20 * 20; ++i)
            bmp.write("\x00\xFF\x00", 3);
    }

    Execute(execAction, 1, {"Shown", "200", "150"}, ZENVAS_TRUE); // ZenvasCreate
    HandleMessages();
    HWND canvas = FindWindowExW(hostRectangle, nullptr, L"ZenvasWindow", nullptr);
    ASSERT_NE(canvas, nullptr);
    EXPECT_EQ(ScreenPixel(canvas, 30, 30), RGB(255, 255, 255));

    // Each drawing shows as soon as the host's message loop has run, with
    // no input, repaint or other action in between.
    struct Step {
        int action;
        std::vector<std::string> texts;
        int x, y;
        COLORREF shown;
    };
    const Step steps[] = {
        {46, {"Shown", "1", "0,0,255", "Solid", "Solid", "255,0,0", "10 | 10 | 60 | 50"}, 30, 30, RGB(255, 0, 0)},
        {45, {"Shown", "1", "0,0,255", "Solid", "5", "100", "90", "100"}, 50, 100, RGB(0, 0, 255)},
        {44, {"Shown", "0,255,255", "150", "20"}, 150, 20, RGB(0, 255, 255)},
        {51, {"Shown", "Arial|clBlack|24||1", "Hi", "120 | 110 | 99"}, -1, -1, 0},
        {52, {"Shown", "255,255,0", "Solid", "30 | 30"}, 30, 30, RGB(255, 255, 0)},
        {33, {"Shown", "green.bmp", "150", "100"}, 160, 110, RGB(0, 255, 0)},
        {28, {"Shown"}, -1, -1, 0},                                          // ZenvasCopyMemory
        {46, {"Shown", "1", "0,0,0", "Solid", "Solid", "0,0,0", "0 | 0 | 200 | 150"}, 30, 30, RGB(0, 0, 0)},
        {29, {"Shown"}, 30, 30, RGB(255, 255, 0)},                            // ZenvasPasteMemory
    };
    for (const Step& step : steps) {
        SCOPED_TRACE("action " + std::to_string(step.action));
        Execute(execAction, step.action, step.texts, ZENVAS_TRUE);
        HandleMessages();
        if (step.x >= 0) {
            EXPECT_EQ(ScreenPixel(canvas, step.x, step.y), step.shown);
        } else if (step.action == 51) {
            // Text: some pixel of the line's box is no longer white.
            bool inked = false;
            for (int y = 110; y < 140 && !inked; ++y)
                for (int x = 120; x < 190 && !inked; ++x)
                    inked = ScreenPixel(canvas, x, y) != RGB(255, 255, 255);
            EXPECT_TRUE(inked);
        }
    }
    Execute(execAction, 2, {"Shown"}, ZENVAS_TRUE);
    HandleMessages();
    DestroyWindow(page);
    DeleteFileA("green.bmp");
}

} // namespace
