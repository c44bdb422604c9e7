// The DLL a host loads (the platform and the runtimes inside it), loaded the
// way a host does: LoadLibrary, the seven names, texts in the system's global
// memory. ZENVAS_STANDALONE_DLL names the file.
#define ZENVAS_DECLARE_ENTRY_POINTS
#include "zenvas/zenvas.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <map>
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
// Rectangles the host answers with something else than hostRectangle.
std::map<std::string, std::string> otherAnswers;

ZenvasBool ZENVAS_CALL AnswerQuery(int32_t code, char** slot)
{
    if (code != 7)
        return ZENVAS_FALSE;
    const auto other = otherAnswers.find(*slot);
    const std::string handle = other != otherAnswers.end()
                                   ? other->second
                                   : std::to_string(reinterpret_cast<std::intptr_t>(hostRectangle));
    ::GlobalFree(*slot);
    *slot = static_cast<char*>(::GlobalAlloc(GPTR, handle.size() + 1));
    std::memcpy(*slot, handle.c_str(), handle.size() + 1);
    return ZENVAS_TRUE;
}

// Runs an action with its parameters in global blocks, as the host passes
// them, and gives the blocks back.
ZenvasBool Run(ZenvasExecActionFn execAction, int32_t number, const std::vector<std::string>& texts)
{
    std::vector<char*> params;
    for (const std::string& text : texts) {
        params.push_back(static_cast<char*>(::GlobalAlloc(GPTR, text.size() + 1)));
        std::memcpy(params.back(), text.c_str(), text.size() + 1);
    }
    const ZenvasBool result = execAction(number, params.data());
    for (char* param : params)
        ::GlobalFree(param);
    return result;
}

void Execute(ZenvasExecActionFn execAction, int32_t number, const std::vector<std::string>& texts,
             ZenvasBool expected)
{
    EXPECT_EQ(Run(execAction, number, texts), expected) << "action " << number;
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

    // A host answering code 7 with what is no window of its own: none is
    // made, and the canvas already shown goes on drawing. The window
    // system inside the DLL numbers its windows from 65536; those numbers
    // mean nothing to a host, and are no windows of the desktop here.
    HWND gone = CreateWindowExW(0, L"HostShownPage", L"", WS_CHILD, 0, 0, 10, 10, page, nullptr, hostClass.hInstance,
                                nullptr);
    const std::string goneHandle = std::to_string(reinterpret_cast<std::intptr_t>(gone));
    DestroyWindow(gone);
    otherAnswers = {{"Gone", goneHandle},   {"Random", "123456789"}, {"Negative", "-5"},
                    {"Own0", "65536"},      {"Own1", "65537"},       {"Own2", "65538"},
                    {"Nowhere", "0"},       {"NotANumber", "0x1234"}};

    // Each drawing shows as soon as the host's message loop has run, with
    // no input, repaint or other action in between.
    struct Step {
        int action;
        std::vector<std::string> texts;
        int x, y;
        COLORREF shown;
        ZenvasBool result = ZENVAS_TRUE;
    };
    const Step steps[] = {
        {1, {"Gone", "10", "10"}, 30, 30, RGB(255, 255, 255), ZENVAS_FALSE},
        {1, {"Random", "10", "10"}, 30, 30, RGB(255, 255, 255), ZENVAS_FALSE},
        {1, {"Negative", "10", "10"}, 30, 30, RGB(255, 255, 255), ZENVAS_FALSE},
        {1, {"Own0", "10", "10"}, 30, 30, RGB(255, 255, 255), ZENVAS_FALSE},
        {1, {"Own1", "10", "10"}, 30, 30, RGB(255, 255, 255), ZENVAS_FALSE},
        {1, {"Own2", "10", "10"}, 30, 30, RGB(255, 255, 255), ZENVAS_FALSE},
        {1, {"NotANumber", "10", "10"}, 30, 30, RGB(255, 255, 255), ZENVAS_FALSE},
        // "0" is the host's word for a rectangle it does not have: no
        // canvas, and true.
        {1, {"Nowhere", "10", "10"}, 30, 30, RGB(255, 255, 255), ZENVAS_TRUE},
        {7, {"Gone"}, -1, -1, 0, ZENVAS_FALSE},    // no canvas was made for any of them
        {7, {"Own1"}, -1, -1, 0, ZENVAS_FALSE},
        {7, {"Nowhere"}, -1, -1, 0, ZENVAS_FALSE},
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
        SCOPED_TRACE("action " + std::to_string(step.action) + " " + step.texts.front());
        Execute(execAction, step.action, step.texts, step.result);
        HandleMessages();
        EXPECT_EQ(FindWindowExW(hostRectangle, canvas, L"ZenvasWindow", nullptr), nullptr); // the one canvas
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
    otherAnswers.clear();
}

// A shown host page at (x, y) of the screen, with the rectangle window the
// host hands out as a child; the host paints magenta wherever nothing of
// the plug-in's covers its rectangle.
struct HostPage {
    HWND page = nullptr;
    HWND rectangle = nullptr;

    HostPage(const wchar_t* className, int x, int y, int width, int height)
    {
        WNDCLASSW hostClass{};
        hostClass.lpfnWndProc = &DefWindowProcW;
        hostClass.hInstance = GetModuleHandleW(nullptr);
        hostClass.hbrBackground = CreateSolidBrush(RGB(255, 0, 255));
        hostClass.lpszClassName = className;
        RegisterClassW(&hostClass);
        page = CreateWindowExW(0, className, L"Page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, width, height, nullptr,
                               nullptr, hostClass.hInstance, nullptr);
        if (page)
            rectangle = CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 150, page, nullptr,
                                        hostClass.hInstance, nullptr);
    }
    ~HostPage()
    {
        if (page)
            DestroyWindow(page);
        HandleMessages();
    }
};

// Opens a shown host page for the test, its rectangle the one code 7
// answers; a test without a display to make windows on is skipped.
#define ZENVAS_HOST_PAGE(host, ...)                                                                        \
    HostPage host(__VA_ARGS__);                                                                            \
    if (!host.page)                                                                                        \
        GTEST_SKIP() << "no display to make windows on (desktop.sh runs this under a virtual X server)"; \
    hostRectangle = host.rectangle;                                                                        \
    entry<ZenvasRegisterInterfaceAccessFn>("nbRegisterInterfaceAccess")(&AnswerQuery)

void PostPointer(HWND window, UINT message, WPARAM keys, int x, int y)
{
    PostMessageW(window, message, keys, MAKELPARAM(x, y));
    HandleMessages();
}

// The host resizes and moves the window it gave the canvas while a drag
// holds the button and the zoom window is open: the canvas covers the
// window's new client area as soon as the message loop has run, and where
// the picture ends the scroll box's face shows, not the host's magenta.
TEST_F(StandaloneDll, ACanvasFollowsTheHostsWindowAsItChanges)
{
    auto execAction = entry<ZenvasExecActionFn>("nbExecAction");
    ASSERT_NE(execAction, nullptr);
    ZENVAS_HOST_PAGE(host, L"HostResizedPage", 500, 400, 640, 520);

    Execute(execAction, 1, {"Follow", "100", "80"}, ZENVAS_TRUE);
    Execute(execAction, 21, {"Follow", "True"}, ZENVAS_TRUE); // ZenvasZoomCreate
    HandleMessages();
    HWND canvas = FindWindowExW(hostRectangle, nullptr, L"ZenvasWindow", nullptr);
    ASSERT_NE(canvas, nullptr);
    HWND zoom = FindWindowW(L"ZenvasWindow", L"Zenvas Zoom");
    ASSERT_NE(zoom, nullptr);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(ScreenPixel(hostRectangle, 150, 100), face);
    EXPECT_EQ(ScreenPixel(hostRectangle, 195, 145), face);

    PostPointer(canvas, WM_LBUTTONDOWN, MK_LBUTTON, 30, 30);
    PostPointer(canvas, WM_MOUSEMOVE, MK_LBUTTON, 50, 40);

    struct Change {
        int x, y, width, height;
        int probeX, probeY; // a point of the new client area outside the last one
    };
    const Change changes[] = {
        {10, 10, 300, 220, 250, 190}, // larger
        {60, 40, 300, 220, 290, 210}, // moved only
        {60, 40, 160, 120, 150, 110}, // smaller
        {5, 5, 420, 330, 400, 310},   // larger than ever, moved back
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(std::to_string(change.width) + " x " + std::to_string(change.height) + " at " +
                     std::to_string(change.x) + "," + std::to_string(change.y));
        SetWindowPos(hostRectangle, nullptr, change.x, change.y, change.width, change.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        HandleMessages();
        RECT client{};
        GetClientRect(canvas, &client);
        EXPECT_EQ(client.right, change.width);
        EXPECT_EQ(client.bottom, change.height);
        POINT canvasAt{0, 0}, hostAt{0, 0};
        ClientToScreen(canvas, &canvasAt);
        ClientToScreen(hostRectangle, &hostAt);
        EXPECT_EQ(canvasAt.x, hostAt.x);
        EXPECT_EQ(canvasAt.y, hostAt.y);
        EXPECT_EQ(ScreenPixel(hostRectangle, change.probeX, change.probeY), face);
        EXPECT_EQ(ScreenPixel(hostRectangle, change.width - 6, change.height - 6), face);
        // The drag goes on into the new area, the button still held.
        PostPointer(canvas, WM_MOUSEMOVE, MK_LBUTTON, change.width - 10, change.height - 10);
        EXPECT_EQ(GetCapture(), canvas);
        EXPECT_TRUE(IsWindowVisible(zoom));
    }
    PostPointer(canvas, WM_LBUTTONUP, 0, 90, 70);
    EXPECT_EQ(GetCapture(), nullptr);
    // The picture kept its size; the rest is face.
    EXPECT_EQ(ScreenPixel(hostRectangle, 90, 10), RGB(255, 255, 255));
    EXPECT_EQ(ScreenPixel(hostRectangle, 110, 90), face);

    Execute(execAction, 2, {"Follow"}, ZENVAS_TRUE);
    HandleMessages();
    EXPECT_EQ(FindWindowExW(hostRectangle, nullptr, L"ZenvasWindow", nullptr), nullptr);
    // The host's window lives on and changes without the plug-in.
    SetWindowPos(hostRectangle, nullptr, 0, 0, 50, 50, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    HandleMessages();
}

// System colours are the running system's: the scroll box's face beside a
// picture smaller than the host's window is COLOR_BTNFACE, as the host's
// process has it when the canvas is made.
TEST_F(StandaloneDll, TheSystemsButtonFaceReachesTheScreen)
{
    auto execAction = entry<ZenvasExecActionFn>("nbExecAction");
    ASSERT_NE(execAction, nullptr);
    ZENVAS_HOST_PAGE(host, L"HostColouredPage", 500, 400, 400, 300);
    // Wine's own scheme has f5f5f5, Windows' f0f0f0: each is a change on
    // the other.
    const COLORREF original = GetSysColor(COLOR_BTNFACE);
    const COLORREF faces[] = {original, RGB(0xF0, 0xF0, 0xF0), RGB(0xF5, 0xF5, 0xF5), RGB(200, 100, 50), original};
    for (const COLORREF face : faces) {
        SCOPED_TRACE("face " + std::to_string(face));
        const INT element = COLOR_BTNFACE;
        ASSERT_TRUE(SetSysColors(1, &element, &face));
        ASSERT_EQ(GetSysColor(COLOR_BTNFACE), face);
        Execute(execAction, 1, {"Face", "100", "80"}, ZENVAS_TRUE);
        HandleMessages();
        EXPECT_EQ(ScreenPixel(hostRectangle, 150, 40), face);  // beside the picture
        EXPECT_EQ(ScreenPixel(hostRectangle, 50, 120), face);  // below it
        EXPECT_EQ(ScreenPixel(hostRectangle, 50, 40), RGB(255, 255, 255));
        Execute(execAction, 2, {"Face"}, ZENVAS_TRUE);
        HandleMessages();
    }
    const INT element = COLOR_BTNFACE;
    SetSysColors(1, &element, &original);
}

// The plug-in's texts are code page 1251, file names too; where the
// system's ANSI code page is 1251 (desktop.sh runs this once more with a
// Russian locale) a picture saved under a Cyrillic name is the file a person
// sees under that name, and loads back from it.
TEST_F(StandaloneDll, CyrillicFileNamesReachTheDiskUnderCodePage1251)
{
    if (GetACP() != 1251)
        GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 1251";
    auto execAction = entry<ZenvasExecActionFn>("nbExecAction");
    ASSERT_NE(execAction, nullptr);
    ZENVAS_HOST_PAGE(host, L"HostCyrillicPage", 500, 400, 400, 300);
    Execute(execAction, 1, {"Cyr", "20", "20"}, ZENVAS_TRUE);
    ASSERT_TRUE(CreateDirectoryW(L"cyrillic", nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);

    struct Name {
        const char* text1251;    // without the extension
        const wchar_t* expected; // as the system lists it
    };
    const Name names[] = {
        {"\xD5\xEE\xEB\xF1\xF2", L"\x0425\x043E\x043B\x0441\x0442.bmp"},                 // Холст
        {"\xA8\xEB\xEA\xE0 \xB9" "1", L"\x0401\x043B\x043A\x0430 \x2116" L"1.jpg"},      // Ёлка №1
        {"\xFF\xE7\xFB\xEA-\xDF\xC7\xDB\xCA", L"\x044F\x0437\x044B\x043A-\x042F\x0417\x042B\x041A.bmp"}, // язык-ЯЗЫК
    };
    for (const Name& name : names) {
        const std::wstring expected = name.expected;
        const std::string extension = expected.substr(expected.size() - 4) == L".jpg" ? ".jpg" : ".bmp";
        SCOPED_TRACE(std::string(name.text1251) + extension);
        const std::string path = std::string("cyrillic\\") + name.text1251;
        Execute(execAction, 31, {"Cyr", path, extension}, ZENVAS_TRUE); // ZenvasSavePicture
        std::vector<std::wstring> listed;
        WIN32_FIND_DATAW found{};
        HANDLE walk = FindFirstFileW(L"cyrillic\\*", &found);
        ASSERT_NE(walk, INVALID_HANDLE_VALUE);
        do {
            if (std::wcscmp(found.cFileName, L".") != 0 && std::wcscmp(found.cFileName, L"..") != 0)
                listed.push_back(found.cFileName);
        } while (FindNextFileW(walk, &found));
        FindClose(walk);
        ASSERT_EQ(listed.size(), 1u);
        EXPECT_TRUE(listed.front() == expected);
        Execute(execAction, 33, {"Cyr", path + extension, "0", "0"}, ZENVAS_TRUE); // ZenvasSetPicture
        EXPECT_TRUE(DeleteFileW((L"cyrillic\\" + expected).c_str()));
    }
    Execute(execAction, 2, {"Cyr"}, ZENVAS_TRUE);
    EXPECT_TRUE(RemoveDirectoryW(L"cyrillic"));
}

// What a 32-bit host's process can give: 2 GiB of addresses. Every request
// beyond them either works (the 64-bit build) or answers false; the host
// goes on, and a deleted canvas leaves the process's private bytes where
// they were. Failures inside a mouse handler show the framework's error
// box, which the host's loop closes (counted, never required).
// The committed private pages of the process, counted region by region
// (wine leaves the counters' private usage at 0).
std::size_t PrivateBytes()
{
    std::size_t total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (auto* at = static_cast<unsigned char*>(nullptr);
         VirtualQuery(at, &region, sizeof region) == sizeof region; at = static_cast<unsigned char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        if (static_cast<unsigned char*>(region.BaseAddress) + region.RegionSize < at)
            break;
    }
    return total;
}

int errorBoxesClosed = 0;

BOOL CALLBACK CloseErrorBox(HWND window, LPARAM)
{
    wchar_t className[16]{};
    GetClassNameW(window, className, 16);
    if (std::wcscmp(className, L"#32770") == 0 && IsWindowVisible(window)) {
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        ++errorBoxesClosed;
    }
    return TRUE;
}

void CALLBACK CloseErrorBoxes(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), &CloseErrorBox, 0);
}

TEST_F(StandaloneDll, AddressSpaceLimitsAnswerFalseAndGiveEverythingBack)
{
    auto execAction = entry<ZenvasExecActionFn>("nbExecAction");
    ASSERT_NE(execAction, nullptr);
    ZENVAS_HOST_PAGE(host, L"HostLargePage", 0, 0, 400, 300);
    const UINT_PTR closer = SetTimer(nullptr, 0, 100, &CloseErrorBoxes);
    // A 300 x 300 picture for the stamp, stretched with halftone to 10000 %.
    {
        std::ofstream bmp("stamp.bmp", std::ios::binary);
        const std::uint32_t size = 54 + 900 * 300;
        const std::uint8_t header[54] = {'B', 'M', std::uint8_t(size), std::uint8_t(size >> 8),
                                         std::uint8_t(size >> 16), 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                         44, 1, 0, 0, 44, 1, 0, 0, 1, 0, 24};
        bmp.write(reinterpret_cast<const char*>(header), sizeof header);
        for (int i = 0; i < 300 * 300; ++i)
            bmp.write("\x40\x80\xC0", 3);
    }
    auto Run = [&](int number, const std::vector<std::string>& texts) {
        const ZenvasBool result = ::Run(execAction, number, texts);
        HandleMessages();
        return result;
    };
    // The largest picture a canvas can hold here.
    std::string largest;
    for (const char* side : {"20000", "16000", "13000", "11000", "9000", "7000", "5000"}) {
        const bool made = Run(1, {"Large", side, side}) == ZENVAS_TRUE;
        Run(2, {"Large"});
        if (made) {
            largest = side;
            break;
        }
    }
    ASSERT_FALSE(largest.empty());
    std::printf("[ memory   ] the largest canvas here: %s x %s\n", largest.c_str(), largest.c_str());

    struct Row {
        const char* what;
        int action; // 0: the stamp, with the pointer
        std::vector<std::string> texts;
        bool large = true; // on the largest picture, else on a small one
    };
    const Row rows[] = {
        {"a 20000 x 20000 canvas", 1, {"Large", "20000", "20000"}, false},
        {"a 30000 x 30000 halftone stamp", 34, {"Large", "stamp.bmp", "False", "10000", "", ""}, false},
        {"ZenvasChangeRGB", 35, {"Large", "10", "-10", "5"}},
        {"ZenvasChangeGamma", 36, {"Large", "5"}},
        {"ZenvasNegative", 37, {"Large"}},
        {"ZenvasMonochrome", 38, {"Large", "50,60,70"}},
        {"ZenvasBlock", 39, {"Large", "0,0,0", "4", "5"}},
        {"ZenvasFrostGlass", 40, {"Large", "0,0,255", "5"}},
        {"ZenvasMonoPixel", 41, {"Large", "3"}},
        {"ZenvasAddNoise", 42, {"Large", "False", "40"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.what) + (row.large ? " on " + largest + " x " + largest : ""));
        const std::size_t before = PrivateBytes();
        const std::string side = row.large ? largest : "300";
        ZenvasBool result = ZENVAS_TRUE;
        if (row.action != 1) {
            ASSERT_EQ(Run(1, {"Large", side, side}), ZENVAS_TRUE);
        }
        result = Run(row.action, row.texts);
        if (row.action == 34 && result) {
            HWND canvas = FindWindowExW(hostRectangle, nullptr, L"ZenvasWindow", nullptr);
            ASSERT_NE(canvas, nullptr);
            PostPointer(canvas, WM_MOUSEMOVE, 0, 100, 100);
            PostPointer(canvas, WM_LBUTTONDOWN, MK_LBUTTON, 100, 100);
            PostPointer(canvas, WM_LBUTTONUP, 0, 100, 100);
        }
        const std::size_t peak = PrivateBytes();
        // The host lives on and the canvas, when there is one, answers.
        if (row.action != 1 || result) {
            EXPECT_EQ(Run(24, {"Large", "", ""}), ZENVAS_TRUE);
        }
        Run(2, {"Large"});
        const std::size_t after = PrivateBytes();
        std::printf("[ memory   ] %s: %s, private bytes %zu MiB before, %zu MiB with the canvas, %zu MiB after\n",
                    row.what, result ? "True" : "False", before >> 20, peak >> 20, after >> 20);
        EXPECT_LE(after, before + (2u << 20));
        // A fresh canvas works afterwards.
        EXPECT_EQ(Run(1, {"Small", "50", "50"}), ZENVAS_TRUE);
        EXPECT_EQ(Run(44, {"Small", "255,0,0", "5", "5"}), ZENVAS_TRUE);
        EXPECT_EQ(Run(2, {"Small"}), ZENVAS_TRUE);
    }
    KillTimer(nullptr, closer);
    std::printf("[ memory   ] error boxes closed: %d\n", errorBoxesClosed);
    DeleteFileA("stamp.bmp");
}

// Failures inside the window procedure, a host callback or a drag stay on
// the plug-in's side of the system's frames: the host survives, and later
// calls and new canvases work.
ZenvasExecActionFn reentrantExec = nullptr;
std::vector<std::string> scriptsRun;

void ZENVAS_CALL RunScript(const char* script)
{
    scriptsRun.push_back(script);
    // The click subroutine deletes the very canvas whose handler runs it.
    char* name = static_cast<char*>(::GlobalAlloc(GPTR, 8));
    std::memcpy(name, "Click", 6);
    reentrantExec(2, &name);
    ::GlobalFree(name);
}

TEST_F(StandaloneDll, FailuresInHandlersAndCallbacksNeverReachTheHost)
{
    auto execAction = entry<ZenvasExecActionFn>("nbExecAction");
    auto registerAccess = entry<ZenvasRegisterInterfaceAccessFn>("nbRegisterInterfaceAccess");
    auto registerScripts = entry<ZenvasRegisterScriptProcessorFn>("nbRegisterScriptProcessor");
    ASSERT_NE(execAction, nullptr);
    HostPage host(L"HostFailingPage", 0, 0, 400, 300);
    if (!host.page)
        GTEST_SKIP() << "no display to make windows on (desktop.sh runs this under a virtual X server)";
    registerAccess(&AnswerQuery);
    registerScripts(&RunScript);
    reentrantExec = execAction;
    errorBoxesClosed = 0;
    const UINT_PTR closer = SetTimer(nullptr, 0, 100, &CloseErrorBoxes);

    struct Row {
        const char* what;
        const char* name;
        std::vector<std::vector<std::string>> setUp; // actions after ZenvasCreate, number first
        ZenvasBool created = ZENVAS_TRUE;
        bool click = false;
        bool destroyDuringDrag = false;
    };
    const Row rows[] = {
        {"code 7 answered abc", "Letters", {}, ZENVAS_FALSE},
        {"a click subroutine deletes its canvas", "Click", {{"27", "Click", "Left", "Right"}, {"26", "Click"}},
         ZENVAS_TRUE, true},
        {"the host destroys its window during a pen drag", "Drag", {{"9", "Drag", "255,0,0", "", ""}},
         ZENVAS_TRUE, false, true},
        {"the host destroys its window during a rubber band", "Band",
         {{"11", "Band", "1", "0,0,0", "Solid", "Clear", "", ""}, {"24", "Band", "X", "Y"}}, ZENVAS_TRUE, false,
         true},
    };
    otherAnswers = {{"Letters", "abc"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        hostRectangle = CreateWindowExW(0, L"HostFailingPage", L"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 150,
                                        host.page, nullptr, GetModuleHandleW(nullptr), nullptr);
        Execute(execAction, 1, {row.name, "100", "80"}, row.created);
        for (const auto& texts : row.setUp)
            Execute(execAction, std::stoi(texts.front()), {texts.begin() + 1, texts.end()}, ZENVAS_TRUE);
        HandleMessages();
        HWND canvas = FindWindowExW(hostRectangle, nullptr, L"ZenvasWindow", nullptr);
        EXPECT_EQ(canvas != nullptr, row.created == ZENVAS_TRUE);
        if (row.click) {
            scriptsRun.clear();
            PostPointer(canvas, WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
            PostPointer(canvas, WM_MOUSEMOVE, MK_LBUTTON, 25, 25);
            PostPointer(canvas, WM_LBUTTONUP, 0, 25, 25);
            EXPECT_EQ(scriptsRun, std::vector<std::string>{"GoSub \"Left\""});
            EXPECT_EQ(FindWindowExW(hostRectangle, nullptr, L"ZenvasWindow", nullptr), nullptr);
            Execute(execAction, 2, {row.name}, ZENVAS_FALSE); // gone already
        }
        if (row.destroyDuringDrag) {
            PostPointer(canvas, WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
            PostPointer(canvas, WM_MOUSEMOVE, MK_LBUTTON, 40, 30);
            DestroyWindow(hostRectangle);
            PostPointer(canvas, WM_MOUSEMOVE, MK_LBUTTON, 60, 50);
            PostPointer(canvas, WM_LBUTTONUP, 0, 60, 50);
            EXPECT_FALSE(IsWindow(canvas));
            EXPECT_EQ(GetCapture(), nullptr);
            Execute(execAction, 46, {row.name, "1", "0,0,0", "Solid", "Solid", "0,0,0", "0|0|5|5"}, ZENVAS_TRUE);
            Execute(execAction, 2, {row.name}, ZENVAS_TRUE);
        }
        HandleMessages();
        if (IsWindow(hostRectangle))
            DestroyWindow(hostRectangle);
        // A new canvas in a new window of the host's works and draws.
        hostRectangle = CreateWindowExW(0, L"HostFailingPage", L"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 150,
                                        host.page, nullptr, GetModuleHandleW(nullptr), nullptr);
        Execute(execAction, 1, {"After", "100", "80"}, ZENVAS_TRUE);
        Execute(execAction, 44, {"After", "0,0,255", "5", "5"}, ZENVAS_TRUE);
        HandleMessages();
        HWND after = FindWindowExW(hostRectangle, nullptr, L"ZenvasWindow", nullptr);
        ASSERT_NE(after, nullptr);
        EXPECT_EQ(ScreenPixel(after, 5, 5), RGB(0, 0, 255));
        Execute(execAction, 2, {"After"}, ZENVAS_TRUE);
        DestroyWindow(hostRectangle);
        HandleMessages();
    }
    KillTimer(nullptr, closer);
    otherAnswers.clear();
    EXPECT_EQ(errorBoxesClosed, 0);
}

} // namespace
