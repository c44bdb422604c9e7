#include "platform/backends/win32/Win32Backend.h"

#include "platform/backends/Desktop.h"
#include "platform/backends/win32/Win32Translate.h"
#include "platform/forms/Cursor.h"
#include "platform/forms/Form.h"
#include "platform/forms/Window.h"
#include "platform/gdi/Text.h"

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <windowsx.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <cwchar>

namespace forms {

namespace {

constexpr const wchar_t* kWindowClass = L"ZenvasWindow";
constexpr const wchar_t* kAreaClass = L"ZenvasArea";
constexpr UINT kFrameMessage = WM_APP + 0x2A;
constexpr UINT kInterruptMessage = WM_APP + 0x2B;
// Our mark on the other program's window a hosted window fills.
constexpr UINT_PTR kHostSubclass = 0x5A56;

// The window receiving frame requests, timers and interrupts; a console's
// Ctrl+C arrives on a thread of its own, which may only post to it.
std::atomic<HWND> g_messageWindow{nullptr};

std::wstring Wide(const std::string& text1251)
{
    const std::u16string wide = win32::Utf16From1251(text1251);
    return std::wstring(wide.begin(), wide.end());
}

HWND Hwnd(void* handle)
{
    return static_cast<HWND>(handle);
}

HWND HwndOf(std::int64_t native)
{
    return reinterpret_cast<HWND>(static_cast<std::intptr_t>(native));
}

std::int64_t NativeOf(HWND hwnd)
{
    return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(hwnd));
}

BOOL WINAPI ConsoleInterrupt(DWORD)
{
    if (HWND target = g_messageWindow.load())
        PostMessageW(target, kInterruptMessage, 0, 0);
    return TRUE;
}

HCURSOR CursorFrom(const CursorFrame& frame, int hotspotX, int hotspotY)
{
    const win32::CursorBits bits = win32::CursorBitsOf(frame);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bits.width;
    info.bmiHeader.biHeight = -bits.height; // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP color = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    HBITMAP mask = CreateBitmap(bits.width, bits.height, 1, 1, bits.mask.data());
    HCURSOR cursor = nullptr;
    if (color && mask && pixels) {
        std::memcpy(pixels, bits.color.data(), bits.color.size() * sizeof(std::uint32_t));
        ICONINFO icon{FALSE, DWORD(hotspotX), DWORD(hotspotY), mask, color};
        cursor = reinterpret_cast<HCURSOR>(CreateIconIndirect(&icon));
    }
    if (color)
        DeleteObject(color);
    if (mask)
        DeleteObject(mask);
    return cursor;
}

// The windows a modal form disables: all of its thread's but the form.
struct Disabled {
    HWND self;
    std::vector<HWND> windows;
};

BOOL CALLBACK DisableOther(HWND hwnd, LPARAM data)
{
    auto* d = reinterpret_cast<Disabled*>(data);
    if (hwnd == d->self || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd))
        return TRUE;
    try {
        d->windows.push_back(hwnd); // nothing may unwind through the system's frames
    } catch (...) {
        return FALSE;
    }
    EnableWindow(hwnd, FALSE);
    return TRUE;
}

// The common dialogs and message boxes of a thread are dialogs of the
// system's class: each is cancelled as its Cancel button would.
BOOL CALLBACK CancelDialog(HWND hwnd, LPARAM)
{
    wchar_t name[16] = {};
    if (GetClassNameW(hwnd, name, 16) && std::wcscmp(name, L"#32770") == 0)
        PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return TRUE;
}

// The window a dialog belongs to: the active one of this thread.
HWND DialogOwner()
{
    return GetActiveWindow();
}

} // namespace

LRESULT CALLBACK HostWindowChanged(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

// One window of the desktop showing one window of ours.
class Win32Native final : public NativeWindow {
public:
    Win32Native(Window& w, HWND h, HWND parent) : window(w), hwnd(h), hostParentHwnd(parent)
    {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        // The other program's window tells us of its new size as it
        // changes; without the mark (a window of another thread) the
        // hosted window keeps its first size.
        if (hostParentHwnd)
            followsHost = SetWindowSubclass(hostParentHwnd, &HostWindowChanged, kHostSubclass,
                                            reinterpret_cast<DWORD_PTR>(this)) != FALSE;
    }
    ~Win32Native() override
    {
        stopFollowingHost();
        setModal(false);
        dropCursorFrames();
        if (hwnd) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            DestroyWindow(hwnd);
        }
        if (dib)
            DeleteObject(dib);
    }

    void place(const NativePlacement& p) override;
    void show() override { ShowWindow(hwnd, hostParentHwnd ? SW_SHOWNA : SW_SHOW); }
    void hide() override
    {
        if (hwnd)
            ShowWindow(hwnd, SW_HIDE);
    }
    // Read from our own WS_VISIBLE: a hosted window stays shown on a page
    // the host has hidden.
    bool shown() const override { return hwnd && (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }
    void present(const gdi::Bitmap& frame, std::span<const gdi::IntRect> areas) override;
    void setCursor(const CursorShape* shape, int frame, int builtin) override;
    void setModal(bool modal) override;
    std::int64_t handle() const override { return NativeOf(hwnd); }
    std::int64_t hostParent() const override { return hostParentHwnd ? NativeOf(hostParentHwnd) : 0; }

    // Copies `r` of the picture to the window's device context.
    void blit(HDC dc, const RECT& r)
    {
        if (!dib)
            return;
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(memory, dib);
        BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, memory, r.left, r.top, SRCCOPY);
        SelectObject(memory, previous);
        DeleteDC(memory);
    }

    // The hosted window takes the size of the client area of the window it
    // fills.
    void followHost()
    {
        RECT client{};
        if (hwnd && GetClientRect(hostParentHwnd, &client))
            Win32Backend::instance().hostResized(window, client.right - client.left, client.bottom - client.top);
    }
    void stopFollowingHost()
    {
        if (followsHost)
            RemoveWindowSubclass(hostParentHwnd, &HostWindowChanged, kHostSubclass);
        followsHost = false;
    }

    Window& window;
    HWND hwnd;
    HWND hostParentHwnd; // for a hosted window: the window it fills
    bool followsHost = false;
    HCURSOR cursor = nullptr;

private:
    void dropCursorFrames()
    {
        for (HCURSOR c : cursorFrames_)
            if (c)
                DestroyCursor(c);
        cursorFrames_.clear();
        cursorShape_ = nullptr;
    }

    HBITMAP dib = nullptr;
    void* bits = nullptr;
    int dibWidth = 0;
    int dibHeight = 0;
    const CursorShape* cursorShape_ = nullptr;
    std::vector<HCURSOR> cursorFrames_;
    std::vector<HWND> disabled_; // the windows a modal window disabled
    bool modal_ = false;
};

// The window procedure: what happened goes to the desktop layer.
struct Win32Events {
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
    {
        // Nothing may unwind through the system's frames (the 32-bit DLL's
        // exceptions cannot cross them at all).
        try {
            LRESULT result = 0;
            if (handle(hwnd, message, wparam, lparam, result))
                return result;
        } catch (...) {
        }
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }

    static bool handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result)
    {
        Win32Backend& backend = Win32Backend::instance();
        if (hwnd == Hwnd(backend.messageWindow_)) {
            switch (message) {
            case kFrameMessage:
                backend.wakePosted_ = false;
                backend.frame();
                return true;
            case kInterruptMessage:
                backend.quit();
                return true;
            case WM_TIMER:
                backend.timerDue(int(wparam));
                return true;
            default:
                return false;
            }
        }
        auto* n = reinterpret_cast<Win32Native*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!n)
            return false;
        if (const std::optional<win32::PointerMessage> pointer = win32::PointerFromMessage(message)) {
            mouse(*n, *pointer, wparam, lparam);
            return true;
        }
        switch (message) {
        case WM_PAINT:
            paint(*n);
            return true;
        case WM_ERASEBKGND:
            result = 1;
            return true;
        case WM_NCHITTEST:
            return hitTest(*n, lparam, result);
        case WM_MOUSEWHEEL: {
            POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
            ScreenToClient(hwnd, &at);
            backend.wheelEvent(n->window, win32::WheelDelta(wparam),
                               win32::ShiftFromMouseKeys(wparam, GetKeyState(VK_MENU) < 0), at.x, at.y);
            return true;
        }
        case WM_SETCURSOR:
            if (LOWORD(lparam) != HTCLIENT)
                return false;
            SetCursor(n->cursor ? n->cursor : LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
            result = TRUE;
            return true;
        case WM_KEYDOWN:
            if (const std::optional<Key> key = win32::KeyFromVirtualKey(unsigned(wparam)))
                backend.keyEvent(n->window, *key, 0, keyShift());
            return true;
        case WM_CHAR:
            if (const std::optional<char> typed = win32::CharacterFromUtf16(unsigned(wparam)))
                backend.keyEvent(n->window, Key::Character, *typed, keyShift());
            return true;
        case WM_MOUSEACTIVATE:
            // A hosted window takes the keys once clicked, as a control of
            // the host's window would.
            if (n->hostParentHwnd)
                SetFocus(hwnd);
            return false;
        case WM_CLOSE:
            backend.closeRequested(n->window);
            return true;
        case WM_DESTROY: {
            // Destroyed from outside (the host destroyed the window a hosted
            // window fills, or the thread ends): forget it.
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            n->hwnd = nullptr;
            backend.nativeGone(n->window);
            return false;
        }
        default:
            return false;
        }
    }

    static ShiftState keyShift()
    {
        ShiftState shift = 0;
        if (GetKeyState(VK_SHIFT) < 0)
            shift |= ssShift;
        if (GetKeyState(VK_CONTROL) < 0)
            shift |= ssCtrl;
        if (GetKeyState(VK_MENU) < 0)
            shift |= ssAlt;
        return shift;
    }

    static void mouse(Win32Native& n, win32::PointerMessage pointer, WPARAM wparam, LPARAM lparam)
    {
        const HWND hwnd = n.hwnd;
        const gdi::Point at = win32::PointFromLParam(lparam);
        // A press keeps the pointer until every button is let go, so a drag
        // goes on outside the window.
        if (pointer.kind == PointerKind::Down)
            SetCapture(hwnd);
        Win32Backend::instance().pointerEvent(n.window, pointer.kind, pointer.button,
                                              win32::ShiftFromMouseKeys(wparam, GetKeyState(VK_MENU) < 0), at.x,
                                              at.y);
        // The handler may have destroyed the window; only the handle is
        // used from here.
        if (pointer.kind == PointerKind::Up && (wparam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 &&
            GetCapture() == hwnd)
            ReleaseCapture();
    }

    static void paint(Win32Native& n)
    {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(n.hwnd, &ps);
        if (dc)
            n.blit(dc, ps.rcPaint);
        EndPaint(n.hwnd, &ps);
    }

    // Our own caption bar moves the window, as the desktop's would.
    static bool hitTest(Win32Native& n, LPARAM lparam, LRESULT& result)
    {
        if (n.hostParentHwnd || !(n.window.style() & wsCaption))
            return false;
        POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        ScreenToClient(n.hwnd, &at);
        if (!Win32Backend::instance().onOwnCaption(n.window, at.x, at.y))
            return false;
        result = HTCAPTION;
        return true;
    }
};

// Runs in the other program's window procedure, after its own handling.
LRESULT CALLBACK HostWindowChanged(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR data)
{
    auto* n = reinterpret_cast<Win32Native*>(data);
    if (message == WM_NCDESTROY) {
        n->stopFollowingHost();
        return DefSubclassProc(hwnd, message, wparam, lparam);
    }
    const LRESULT result = DefSubclassProc(hwnd, message, wparam, lparam);
    // WM_SIZE comes from the default handling of WM_WINDOWPOSCHANGED, which
    // a program may leave out.
    if (message == WM_SIZE || message == WM_WINDOWPOSCHANGED) {
        try {
            n->followHost();
        } catch (...) {
        }
    }
    return result;
}

void Win32Native::place(const NativePlacement& p)
{
    if (!hwnd)
        return;
    const int w = int(p.bounds.width()), h = int(p.bounds.height());
    if (hostParentHwnd) {
        SetWindowPos(hwnd, nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
        return;
    }
    SetWindowTextW(hwnd, Wide(p.caption).c_str());
    // The desktop's frame goes around the window's own area.
    RECT outer{0, 0, w, h};
    AdjustWindowRectEx(&outer, DWORD(GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
    int x = p.bounds.left, y = p.bounds.top;
    const int outerWidth = outer.right - outer.left, outerHeight = outer.bottom - outer.top;
    if (p.centred) {
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        x = work.left + (work.right - work.left - outerWidth) / 2;
        y = work.top + (work.bottom - work.top - outerHeight) / 2;
    }
    SetWindowPos(hwnd, p.stayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, x, y, outerWidth, outerHeight, SWP_NOACTIVATE);
}

void Win32Native::present(const gdi::Bitmap& frame, std::span<const gdi::IntRect> areas)
{
    const gdi::IntRect whole = frame.bounds();
    if (!dib || dibWidth != frame.width() || dibHeight != frame.height()) {
        if (dib)
            DeleteObject(dib);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = frame.width();
        info.bmiHeader.biHeight = -frame.height(); // rows from the top
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bits = nullptr;
        dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!dib || !bits) {
            dib = nullptr;
            return;
        }
        dibWidth = frame.width();
        dibHeight = frame.height();
        areas = std::span<const gdi::IntRect>(&whole, 1);
    }
    GdiFlush();
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (const gdi::IntRect& r : areas) {
        for (int y = r.top; y < r.bottom; ++y) {
            const std::uint8_t* src = frame.scanLine(y) + std::size_t(r.left) * 3;
            std::uint32_t* out = pixels + std::size_t(y) * std::size_t(dibWidth) + std::size_t(r.left);
            for (int x = r.left; x < r.right; ++x, src += 3)
                *out++ = std::uint32_t(src[0]) | std::uint32_t(src[1]) << 8 | std::uint32_t(src[2]) << 16;
        }
        const RECT rect{r.left, r.top, r.right, r.bottom};
        InvalidateRect(hwnd, &rect, FALSE);
    }
}

void Win32Native::setCursor(const CursorShape* shape, int frame, int builtin)
{
    if (!shape) {
        const int id = win32::StandardCursorId(builtin);
        cursor = id ? LoadCursorW(nullptr, MAKEINTRESOURCEW(id)) : nullptr;
    } else {
        if (shape != cursorShape_) {
            dropCursorFrames();
            for (const CursorFrame& f : shape->frames())
                cursorFrames_.push_back(CursorFrom(f, shape->hotspotX(), shape->hotspotY()));
            cursorShape_ = shape;
        }
        cursor = frame >= 0 && std::size_t(frame) < cursorFrames_.size() ? cursorFrames_[std::size_t(frame)] : nullptr;
    }
    // Shown at once when the pointer is over the window.
    POINT at{};
    GetCursorPos(&at);
    if (hwnd && WindowFromPoint(at) == hwnd)
        SetCursor(cursor ? cursor : LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
}

void Win32Native::setModal(bool modal)
{
    if (modal == modal_)
        return;
    modal_ = modal;
    if (modal) {
        // Every other window of this thread (the host's too) waits while
        // this one runs.
        Disabled disabled{hwnd, {}};
        EnumThreadWindows(GetCurrentThreadId(), &DisableOther, reinterpret_cast<LPARAM>(&disabled));
        disabled_ = std::move(disabled.windows);
        SetForegroundWindow(hwnd);
        return;
    }
    for (HWND other : disabled_)
        if (IsWindow(other))
            EnableWindow(other, TRUE);
    disabled_.clear();
}

Win32Backend& Win32Backend::instance()
{
    static auto* backend = new Win32Backend; // lives as long as the process
    return *backend;
}

bool Win32Backend::openPlatform(std::string& problem)
{
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&Win32Events::procedure), &module);
    instance_ = module;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &Win32Events::procedure;
    windowClass.hInstance = module;
    windowClass.hCursor = nullptr; // WM_SETCURSOR sets it
    windowClass.lpszClassName = kWindowClass;
    WNDCLASSEXW areaClass{};
    areaClass.cbSize = sizeof(areaClass);
    areaClass.lpfnWndProc = &DefWindowProcW;
    areaClass.hInstance = module;
    areaClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    areaClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    areaClass.lpszClassName = kAreaClass;
    if (!RegisterClassExW(&windowClass) || !RegisterClassExW(&areaClass)) {
        problem = "cannot register the window classes (error " + std::to_string(GetLastError()) + ")";
        UnregisterClassW(kWindowClass, module);
        return false;
    }
    messageWindow_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr);
    if (!messageWindow_) {
        problem = "cannot create a window (error " + std::to_string(GetLastError()) + "): is there a display?";
        UnregisterClassW(kWindowClass, module);
        UnregisterClassW(kAreaClass, module);
        return false;
    }
    g_messageWindow = Hwnd(messageWindow_);
    return true;
}

void Win32Backend::detach()
{
    forgetAll();
    for (auto& [window, area] : areas_)
        DestroyWindow(Hwnd(area.hwnd));
    areas_.clear();
    if (!messageWindow_)
        return;
    g_messageWindow = nullptr;
    DestroyWindow(Hwnd(messageWindow_));
    messageWindow_ = nullptr;
    UnregisterClassW(kWindowClass, static_cast<HINSTANCE>(instance_));
    UnregisterClassW(kAreaClass, static_cast<HINSTANCE>(instance_));
}

std::unique_ptr<NativeWindow> Win32Backend::makeNative(Window& window, NativeWindow* owner)
{
    DWORD style = WS_CLIPCHILDREN;
    DWORD exStyle = 0;
    HWND ownerHwnd = nullptr;
    if (window.style() & wsCaption) {
        // Windows drawing their own caption keep our frame: pop-ups. An
        // owned window (the zoom window) stays with its owner's window; a
        // dialog with the window active when it appeared.
        style |= WS_POPUP;
        if (owner)
            ownerHwnd = owner->hostParent() ? GetAncestor(HwndOf(owner->hostParent()), GA_ROOT) : HwndOf(owner->handle());
        if (!ownerHwnd)
            ownerHwnd = DialogOwner();
    } else {
        style |= WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    }
    if (window.style() & wsStayOnTop)
        exStyle |= WS_EX_TOPMOST;
    if (window.style() & wsToolWindow)
        exStyle |= WS_EX_TOOLWINDOW;
    HWND hwnd = CreateWindowExW(exStyle, kWindowClass, Wide(window.caption()).c_str(), style, CW_USEDEFAULT,
                                CW_USEDEFAULT, 1, 1, ownerHwnd, nullptr, static_cast<HINSTANCE>(instance_), nullptr);
    if (!hwnd)
        return nullptr;
    return std::make_unique<Win32Native>(window, hwnd, nullptr);
}

void Win32Backend::wake()
{
    if (wakePosted_ || !messageWindow_)
        return;
    wakePosted_ = PostMessageW(Hwnd(messageWindow_), kFrameMessage, 0, 0) != FALSE;
}

bool Win32Backend::waitForEvents()
{
    MSG message;
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
        if (got == 0)
            PostQuitMessage(int(message.wParam)); // the outer loop ends too
        return false;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
}

bool Win32Backend::handleWaiting()
{
    bool handled = false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitting_ = true;
            PostQuitMessage(int(message.wParam));
            return false;
        }
        handled = true;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return handled;
}

void Win32Backend::endDialogs()
{
    EnumThreadWindows(GetCurrentThreadId(), &CancelDialog, 0);
}

void Win32Backend::catchInterrupts(bool on)
{
    SetConsoleCtrlHandler(&ConsoleInterrupt, on ? TRUE : FALSE);
}

void Win32Backend::scheduleTimer(int id, int milliseconds)
{
    if (messageWindow_)
        SetTimer(Hwnd(messageWindow_), UINT_PTR(id), UINT(milliseconds), nullptr);
}

void Win32Backend::cancelTimer(int id)
{
    if (messageWindow_)
        KillTimer(Hwnd(messageWindow_), UINT_PTR(id));
}

void Win32Backend::beforeFrame()
{
    // Native areas of rectangles that are gone go with them.
    for (auto it = areas_.begin(); it != areas_.end();) {
        if (it->second.alive.expired()) {
            DestroyWindow(Hwnd(it->second.hwnd));
            it = areas_.erase(it);
        } else {
            ++it;
        }
    }
}

Window* Win32Backend::hostedWindow(std::int64_t native)
{
    const HWND parent = HwndOf(native);
    if (native == 0 || !IsWindow(parent))
        return nullptr;
    if (Window* ours = windowShownBy(native))
        return ours;
    if (Window* existing = findHosted(native))
        return existing;
    std::string problem;
    if (!open(problem))
        return nullptr;
    RECT client{};
    GetClientRect(parent, &client);
    auto window = std::make_unique<Window>("Hosted");
    window->setBounds(0, 0, client.right - client.left, client.bottom - client.top);
    HWND hwnd = CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                std::max(window->width(), 1), std::max(window->height(), 1), parent, nullptr,
                                static_cast<HINSTANCE>(instance_), nullptr);
    if (!hwnd)
        return nullptr;
    auto made = std::make_unique<Win32Native>(*window, hwnd, parent);
    return adoptHosted(std::move(window), std::move(made));
}

bool Win32Backend::sharesWindowHandles() const
{
#ifdef ZENVAS_WIN32_SCREEN
    return false; // the shipped DLL: a host knows only the desktop's windows
#else
    return true;
#endif
}

Window* Win32Backend::hostedIn(const Window& child) const
{
    const std::int64_t area = areaOf(child);
    return area ? findHosted(area) : nullptr;
}

std::int64_t Win32Backend::areaOf(const Window& child) const
{
    auto it = areas_.find(&child);
    return it == areas_.end() || it->second.alive.expired() ? 0 : NativeOf(Hwnd(it->second.hwnd));
}

std::int64_t Win32Backend::nativeArea(Window& child)
{
    if (const std::int64_t existing = areaOf(child))
        return existing;
    if (auto stale = areas_.find(&child); stale != areas_.end()) {
        // A window gone before the last frame, whose address came back.
        DestroyWindow(Hwnd(stale->second.hwnd));
        areas_.erase(stale);
    }
    Window& root = RootOf(child);
    if (&root == &child)
        return 0;
    std::string problem;
    if (!open(problem))
        return 0;
    if (root.visible() && !nativeOf(root))
        screenChange(root, ScreenChange::Shown);
    NativeWindow* top = nativeOf(root);
    if (!top)
        return 0;
    const gdi::Point client = root.clientOrigin();
    const gdi::Point at = child.originIn(&root);
    HWND area = CreateWindowExW(0, kAreaClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                at.x + client.x, at.y + client.y, std::max(child.width(), 1),
                                std::max(child.height(), 1), HwndOf(top->handle()), nullptr,
                                static_cast<HINSTANCE>(instance_), nullptr);
    if (!area)
        return 0;
    areas_[&child] = Area{area, child.lifetime()};
    return NativeOf(area);
}

bool Win32Backend::deliverPointer(Window& window, PointerKind kind, MouseButton button, ShiftState shift, int x,
                                  int y)
{
    Window& root = RootOf(window);
    NativeWindow* n = nativeOf(root);
    if (!n)
        return DesktopBackend::deliverPointer(window, kind, button, shift, x, y);
    gdi::Point at = window.clientOrigin();
    at.x += x;
    at.y += y;
    if (&root != &window) {
        const gdi::Point inRoot = window.originIn(&root);
        const gdi::Point client = root.clientOrigin();
        at.x += inRoot.x + client.x;
        at.y += inRoot.y + client.y;
    }
    PostMessageW(HwndOf(n->handle()), win32::MessageFromPointer(kind, button), win32::MouseKeysFromShift(shift),
                 win32::LParamFromPoint(at.x, at.y));
    processPending();
    return true;
}

std::string Win32Backend::clipboardText() const
{
    std::string text;
    if (!OpenClipboard(Hwnd(messageWindow_)))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT))
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
            const std::wstring w(wide);
            GlobalUnlock(data);
            // Characters code page 1251 lacks cannot be pasted into our fields.
            text = win32::Text1251FromUtf16(std::u16string(w.begin(), w.end())).value_or(std::string());
        }
    CloseClipboard();
    return text;
}

void Win32Backend::setClipboardText(const std::string& text)
{
    const std::wstring wide = Wide(text);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, (wide.size() + 1) * sizeof(wchar_t));
    if (!block)
        return;
    if (auto* out = static_cast<wchar_t*>(GlobalLock(block))) {
        std::copy(wide.begin(), wide.end(), out);
        out[wide.size()] = 0;
        GlobalUnlock(block);
    }
    if (!OpenClipboard(Hwnd(messageWindow_))) {
        GlobalFree(block);
        return;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_UNICODETEXT, block))
        GlobalFree(block);
    CloseClipboard();
}

std::optional<gdi::Color> Win32Backend::chooseColor(gdi::Color initial)
{
    static COLORREF custom[16] = {};
    const gdi::Color c = gdi::ResolveColor(initial);
    CHOOSECOLORW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = DialogOwner();
    dialog.rgbResult = RGB(gdi::RedOf(c), gdi::GreenOf(c), gdi::BlueOf(c));
    dialog.lpCustColors = custom;
    dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (!ChooseColorW(&dialog))
        return std::nullopt;
    return gdi::Rgb(GetRValue(dialog.rgbResult), GetGValue(dialog.rgbResult), GetBValue(dialog.rgbResult));
}

std::optional<gdi::Font> Win32Backend::chooseFont(const gdi::Font& initial)
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    win32::FontChoice start = win32::ChoiceFromFont(initial, dpi);
    // The dialog starts on the face the font really resolves to: a name the
    // system lacks ("MS Sans Serif") would start it on its first face and
    // size.
    try {
        if (std::string face = gdi::FontFaceName(initial); !face.empty())
            start.face = face;
    } catch (const std::exception&) {
    }
    LOGFONTW font{};
    font.lfHeight = start.height;
    font.lfWeight = start.weight;
    font.lfItalic = start.italic;
    font.lfUnderline = start.underline;
    font.lfStrikeOut = start.strikeOut;
    font.lfCharSet = BYTE(start.charset);
    const std::wstring face = Wide(start.face).substr(0, LF_FACESIZE - 1);
    std::copy(face.begin(), face.end(), font.lfFaceName);
    CHOOSEFONTW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = DialogOwner();
    dialog.lpLogFont = &font;
    dialog.iPointSize = start.pointTenths;
    dialog.rgbColors = start.color;
    dialog.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
    if (!ChooseFontW(&dialog))
        return std::nullopt;
    win32::FontChoice chosen;
    const std::wstring chosenFace(font.lfFaceName);
    chosen.face = win32::Text1251FromUtf16(std::u16string(chosenFace.begin(), chosenFace.end())).value_or("");
    chosen.height = font.lfHeight;
    chosen.pointTenths = dialog.iPointSize;
    chosen.weight = font.lfWeight;
    chosen.italic = font.lfItalic != 0;
    chosen.underline = font.lfUnderline != 0;
    chosen.strikeOut = font.lfStrikeOut != 0;
    chosen.charset = font.lfCharSet;
    chosen.color = dialog.rgbColors;
    return win32::FontFromChoice(initial, chosen);
}

std::optional<std::string> Win32Backend::chooseFile(bool save, const std::string& filter, const std::string& initial)
{
    const std::wstring filters = Wide(win32::DialogFilter(filter));
    std::vector<wchar_t> name(32768, L'\0');
    const std::wstring start = Wide(initial).substr(0, name.size() - 1);
    std::copy(start.begin(), start.end(), name.begin());
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = DialogOwner();
    dialog.lpstrFilter = filters.size() > 1 ? filters.c_str() : nullptr;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = DWORD(name.size());
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    if (!(save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog)))
        return std::nullopt;
    std::wstring chosen(name.data());
    if (auto text = win32::Text1251FromUtf16(std::u16string(chosen.begin(), chosen.end())))
        return text;
    // A name code page 1251 cannot hold: the short name of an existing file
    // is plain ASCII.
    std::vector<wchar_t> shortName(chosen.size() + 1);
    const DWORD length = GetShortPathNameW(chosen.c_str(), shortName.data(), DWORD(shortName.size()));
    if (length > 0 && length < shortName.size()) {
        const std::wstring plain(shortName.data(), length);
        if (auto text = win32::Text1251FromUtf16(std::u16string(plain.begin(), plain.end())))
            return text;
    }
    CurrentBackend().errorBox("The file name cannot be written in the plug-in's character set: choose another name.");
    return std::nullopt;
}

void Win32Backend::messageBox(const std::string& text, const std::string& caption)
{
    MessageBoxW(DialogOwner(), Wide(text).c_str(), Wide(caption).c_str(), MB_OK);
}

void Win32Backend::errorBox(const std::string& message)
{
    MessageBoxW(DialogOwner(), Wide(message).c_str(), L"Error", MB_OK | MB_ICONERROR);
}

void Win32Backend::openAddress(const std::string& address)
{
    ShellExecuteW(nullptr, L"open", Wide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

Backend* OpenDesktopBackend(std::string& problem)
{
    Win32Backend& desktop = Win32Backend::instance();
    return desktop.open(problem) ? &desktop : nullptr;
}

} // namespace forms
