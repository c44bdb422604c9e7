#include "platform/backends/win32/Win32Backend.h"

#include "platform/backends/win32/Win32Translate.h"
#include "platform/forms/Cursor.h"
#include "platform/forms/Form.h"
#include "platform/forms/Window.h"
#include "platform/gdi/Text.h"

#include <windows.h>

#include <commdlg.h>
#include <windowsx.h>
#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace forms {

namespace {

constexpr const wchar_t* kWindowClass = L"ZenvasWindow";
constexpr const wchar_t* kAreaClass = L"ZenvasArea";
constexpr UINT kComposeMessage = WM_APP + 0x2A;
constexpr UINT_PTR kCursorTimer = 1;

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

Window& RootOf(Window& window)
{
    Control* root = &window;
    while (root->parent())
        root = root->parent();
    auto* top = dynamic_cast<Window*>(root);
    return top ? *top : window;
}

// Windows drawing their own caption keep our frame; the others get the
// desktop's.
bool OwnFrame(const Window& window)
{
    return (window.style() & wsCaption) != 0;
}

// Whether the window itself is shown, whatever its parents are: a hosted
// window stays shown on a page the host has hidden.
bool Shown(HWND hwnd)
{
    return hwnd && (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
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

// The window a dialog belongs to: the active one of this thread.
HWND DialogOwner()
{
    return GetActiveWindow();
}

} // namespace

struct Win32Backend::Native {
    Window* window = nullptr;
    HWND hwnd = nullptr;
    HWND hostParent = nullptr; // for a hosted window: the window it fills
    HBITMAP dib = nullptr;
    void* bits = nullptr;
    int dibWidth = 0;
    int dibHeight = 0;
    // The pointer shape shown: the control's number and the shape object
    // the screen table held for it (a replaced entry shows at once).
    int cursorNumber = INT_MIN;
    std::shared_ptr<const CursorShape> cursorShape;
    std::vector<HCURSOR> cursorFrames;
    HCURSOR cursor = nullptr;
    std::size_t step = 0;

    void dropCursor()
    {
        if (hwnd)
            KillTimer(hwnd, kCursorTimer);
        for (HCURSOR c : cursorFrames)
            if (c)
                DestroyCursor(c);
        cursorFrames.clear();
        cursorShape.reset();
        cursor = nullptr;
    }
    ~Native()
    {
        dropCursor();
        if (hwnd) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            DestroyWindow(hwnd);
        }
        if (dib)
            DeleteObject(dib);
    }
};

// The window procedure's work, with access to the backend's insides.
struct Win32Events {
    using Native = Win32Backend::Native;

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
        if (message == kComposeMessage) {
            backend.composeScheduled_ = false;
            backend.composeAll();
            return true;
        }
        auto* n = reinterpret_cast<Native*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
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
            const gdi::Point origin = n->window->clientOrigin();
            WindowSystem::instance().wheel(n->window->handle(), win32::WheelDelta(wparam),
                                           win32::ShiftFromMouseKeys(wparam, GetKeyState(VK_MENU) < 0),
                                           at.x - origin.x, at.y - origin.y);
            return true;
        }
        case WM_SETCURSOR:
            if (LOWORD(lparam) != HTCLIENT)
                return false;
            {
                POINT at{};
                GetCursorPos(&at);
                ScreenToClient(hwnd, &at);
                backend.updateCursor(*n, at.x, at.y);
            }
            result = TRUE;
            return true;
        case WM_TIMER:
            if (wparam == kCursorTimer)
                animate(*n);
            return true;
        case WM_KEYDOWN:
            if (const std::optional<Key> key = win32::KeyFromVirtualKey(unsigned(wparam)))
                WindowSystem::instance().key(n->window->handle(), *key, 0, keyShift());
            return true;
        case WM_CHAR:
            if (const std::optional<char> typed = win32::CharacterFromUtf16(unsigned(wparam)))
                WindowSystem::instance().key(n->window->handle(), Key::Character, *typed, keyShift());
            return true;
        case WM_MOUSEACTIVATE:
            // A hosted window takes the keys once clicked, as a control of
            // the host's window would.
            if (n->hostParent)
                SetFocus(hwnd);
            return false;
        case WM_CLOSE:
            closeRequest(*n);
            return true;
        case WM_DESTROY:
            // Destroyed from outside (the host destroyed the window a hosted
            // window fills, or the thread ends): forget it.
            backend.nativeGone(*n);
            return false;
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

    static void mouse(Native& n, win32::PointerMessage pointer, WPARAM wparam, LPARAM lparam)
    {
        const HWND hwnd = n.hwnd;
        Window& window = *n.window;
        const gdi::Point at = win32::PointFromLParam(lparam);
        const gdi::Point origin = window.clientOrigin();
        // A press keeps the pointer until every button is let go, so a drag
        // goes on outside the window.
        if (pointer.kind == PointerKind::Down)
            SetCapture(hwnd);
        WindowSystem::instance().pointer(window.handle(), pointer.kind, pointer.button,
                                         win32::ShiftFromMouseKeys(wparam, GetKeyState(VK_MENU) < 0),
                                         at.x - origin.x, at.y - origin.y);
        // The handler may have destroyed the window; only the handle is
        // used from here.
        if (pointer.kind == PointerKind::Up && (wparam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 &&
            GetCapture() == hwnd)
            ReleaseCapture();
    }

    static void paint(Native& n)
    {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(n.hwnd, &ps);
        if (dc && n.dib) {
            HDC memory = CreateCompatibleDC(dc);
            HGDIOBJ previous = SelectObject(memory, n.dib);
            const RECT& r = ps.rcPaint;
            BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, memory, r.left, r.top, SRCCOPY);
            SelectObject(memory, previous);
            DeleteDC(memory);
        }
        EndPaint(n.hwnd, &ps);
    }

    // Our own caption bar moves the window, as the desktop's would.
    static bool hitTest(Native& n, LPARAM lparam, LRESULT& result)
    {
        Window& window = *n.window;
        if (n.hostParent || !OwnFrame(window))
            return false;
        POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        ScreenToClient(n.hwnd, &at);
        const int frame = Win32Backend::instance().frameThickness(window.style());
        const int caption = Win32Backend::instance().captionHeight(window.style());
        if (at.y >= frame && at.y < frame + caption && !window.closeBoxRect().contains(at.x, at.y)) {
            result = HTCAPTION;
            return true;
        }
        result = HTCLIENT;
        return true;
    }

    static void animate(Native& n)
    {
        KillTimer(n.hwnd, kCursorTimer);
        if (!n.cursorShape || n.cursorShape->steps().empty())
            return;
        const auto& steps = n.cursorShape->steps();
        n.step = (n.step + 1) % steps.size();
        const CursorStep& step = steps[n.step];
        n.cursor = n.cursorFrames.at(std::size_t(step.frame));
        POINT at{};
        GetCursorPos(&at);
        if (WindowFromPoint(at) == n.hwnd)
            SetCursor(n.cursor);
        SetTimer(n.hwnd, kCursorTimer, std::max<UINT>(1, UINT(step.jiffies * 1000 / 60)), nullptr);
    }

    static void closeRequest(Native& n)
    {
        // A hosted window belongs to the host's window, which decides.
        if (!n.hostParent)
            Win32Backend::instance().closeRequested(*n.window);
    }
};

Win32Backend& Win32Backend::instance()
{
    static auto* backend = new Win32Backend; // lives as long as the process
    return *backend;
}

bool Win32Backend::open(std::string& problem)
{
    if (open_)
        return true;
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
    open_ = true;
    return true;
}

void Win32Backend::detach()
{
    auto natives = std::move(natives_);
    natives_.clear();
    for (auto& [window, n] : natives)
        if (n->hwnd)
            SetWindowLongPtrW(n->hwnd, GWLP_USERDATA, 0);
    natives.clear();
    for (auto& [window, area] : areas_)
        DestroyWindow(Hwnd(area.hwnd));
    areas_.clear();
    if (!open_)
        return;
    DestroyWindow(Hwnd(messageWindow_));
    messageWindow_ = nullptr;
    UnregisterClassW(kWindowClass, static_cast<HINSTANCE>(instance_));
    UnregisterClassW(kAreaClass, static_cast<HINSTANCE>(instance_));
    open_ = false;
}

Win32Backend::Native* Win32Backend::native(const Window& window) const
{
    auto it = natives_.find(&window);
    return it == natives_.end() ? nullptr : it->second.get();
}

Win32Backend::Native* Win32Backend::ensureNative(Window& window)
{
    if (Native* existing = native(window))
        return existing;
    std::string problem;
    if (!open(problem))
        return nullptr;
    DWORD style = WS_CLIPCHILDREN;
    DWORD exStyle = 0;
    HWND owner = nullptr;
    if (OwnFrame(window)) {
        style |= WS_POPUP;
        // An owned window (the zoom window) stays with its owner's window;
        // a dialog with the window active when it appeared.
        if (auto* form = dynamic_cast<Form*>(&window))
            if (Window* ownerWindow = WindowSystem::instance().find(form->ownerWindow()))
                if (Native* ownerNative = native(RootOf(*ownerWindow)); ownerNative && ownerNative->hwnd)
                    owner = ownerNative->hostParent ? GetAncestor(ownerNative->hostParent, GA_ROOT) : ownerNative->hwnd;
        if (!owner)
            owner = DialogOwner();
    } else {
        style |= WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    }
    if (window.style() & wsStayOnTop)
        exStyle |= WS_EX_TOPMOST;
    if (window.style() & wsToolWindow)
        exStyle |= WS_EX_TOOLWINDOW;
    HWND hwnd = CreateWindowExW(exStyle, kWindowClass, Wide(window.caption()).c_str(), style, CW_USEDEFAULT,
                                CW_USEDEFAULT, 1, 1, owner, nullptr, static_cast<HINSTANCE>(instance_), nullptr);
    if (!hwnd)
        return nullptr;
    auto made = std::make_unique<Native>();
    made->window = &window;
    made->hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(made.get()));
    Native* n = made.get();
    natives_[&window] = std::move(made);
    place(window, *n);
    return n;
}

void Win32Backend::place(Window& window, Native& n)
{
    if (!n.hwnd)
        return;
    const int w = std::max(window.width(), 1), h = std::max(window.height(), 1);
    if (n.hostParent) {
        SetWindowPos(n.hwnd, nullptr, 0, 0, w, h, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
        return;
    }
    SetWindowTextW(n.hwnd, Wide(window.caption()).c_str());
    // The desktop's frame goes around the window's own area.
    RECT outer{0, 0, w, h};
    AdjustWindowRectEx(&outer, DWORD(GetWindowLongPtrW(n.hwnd, GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrW(n.hwnd, GWL_EXSTYLE)));
    int x = window.left(), y = window.top();
    const int outerWidth = outer.right - outer.left, outerHeight = outer.bottom - outer.top;
    auto* form = dynamic_cast<Form*>(&window);
    if (form && form->position() == FormPosition::ScreenCenter) {
        RECT work{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        x = work.left + (work.right - work.left - outerWidth) / 2;
        y = work.top + (work.bottom - work.top - outerHeight) / 2;
    }
    const HWND order = (window.style() & wsStayOnTop) ? HWND_TOPMOST : HWND_NOTOPMOST;
    SetWindowPos(n.hwnd, order, x, y, outerWidth, outerHeight, SWP_NOACTIVATE);
}

bool Win32Backend::shownOnScreen(const Window& window) const
{
    const Native* n = native(window);
    return n && Shown(n->hwnd);
}

void Win32Backend::hideOnScreen(Window& window)
{
    if (Native* n = native(window); n && n->hwnd)
        ShowWindow(n->hwnd, SW_HIDE);
}

void Win32Backend::placeOnScreen(Window& window)
{
    if (Native* n = native(window))
        place(window, *n);
}

void Win32Backend::forgetOnScreen(Window& window)
{
    // Out of the map before it goes: destroying a window destroys its
    // children, whose natives leave the map on the way.
    auto gone = natives_.extract(&window);
}

void Win32Backend::present(Window& window)
{
    Native* n = ensureNative(window);
    if (!n)
        return;
    place(window, *n);
    window.damage({0, 0, window.width(), window.height()});
    ShowWindow(n->hwnd, n->hostParent ? SW_SHOWNA : SW_SHOW);
    scheduleCompose();
}

void Win32Backend::scheduleCompose()
{
    if (composeScheduled_ || !open_)
        return;
    composeScheduled_ = PostMessageW(Hwnd(messageWindow_), kComposeMessage, 0, 0) != FALSE;
}

void Win32Backend::composeAll()
{

    // A hosted window whose canvas went (deleted, or the project closed)
    // gives the host's window back.
    std::vector<Window*> empty;
    for (const auto& hosted : hosted_) {
        const auto& children = hosted->children();
        if (std::none_of(children.begin(), children.end(), [](const Control* c) { return c->visible(); }))
            empty.push_back(hosted.get());
    }
    for (Window* window : empty)
        letGo(*window);
    for (auto it = areas_.begin(); it != areas_.end();) {
        if (it->second.alive.expired()) {
            DestroyWindow(Hwnd(it->second.hwnd));
            it = areas_.erase(it);
        } else {
            ++it;
        }
    }
    syncWindows();
    for (auto& [window, n] : natives_)
        if (n->hwnd && window->visible() && (!window->damagedAreas().empty() || !n->dib))
            upload(*n->window, *n);
}

void Win32Backend::upload(Window& window, Native& n)
{
    std::vector<gdi::IntRect> areas = window.compose();
    const gdi::Bitmap& frame = window.frame();
    if (frame.isEmpty())
        return;
    if (!n.dib || n.dibWidth != frame.width() || n.dibHeight != frame.height()) {
        if (n.dib)
            DeleteObject(n.dib);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = frame.width();
        info.bmiHeader.biHeight = -frame.height(); // rows from the top
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        n.bits = nullptr;
        n.dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &n.bits, nullptr, 0);
        if (!n.dib || !n.bits) {
            n.dib = nullptr;
            return;
        }
        n.dibWidth = frame.width();
        n.dibHeight = frame.height();
        areas.assign(1, frame.bounds());
    }
    GdiFlush();
    auto* pixels = static_cast<std::uint32_t*>(n.bits);
    for (const gdi::IntRect& r : areas) {
        for (int y = r.top; y < r.bottom; ++y) {
            const std::uint8_t* src = frame.scanLine(y) + std::size_t(r.left) * 3;
            std::uint32_t* out = pixels + std::size_t(y) * std::size_t(n.dibWidth) + std::size_t(r.left);
            for (int x = r.left; x < r.right; ++x, src += 3)
                *out++ = std::uint32_t(src[0]) | std::uint32_t(src[1]) << 8 | std::uint32_t(src[2]) << 16;
        }
        uploaded_ += std::uint64_t(r.width()) * std::uint64_t(r.height()) * 4;
        const RECT rect{r.left, r.top, r.right, r.bottom};
        InvalidateRect(n.hwnd, &rect, FALSE);
    }
}

void Win32Backend::updateCursor(Native& n, int x, int y)
{
    const gdi::Point origin = n.window->clientOrigin();
    Control* under = WindowSystem::instance().controlAt(n.window->handle(), x - origin.x, y - origin.y);
    const int number = under ? under->cursor() : 0;
    std::shared_ptr<const CursorShape> shape = Screen::instance().cursor(number);
    if (number != n.cursorNumber || shape != n.cursorShape) {
        n.dropCursor();
        n.cursorNumber = number;
        if (!shape) {
            const int id = win32::StandardCursorId(number);
            n.cursor = id ? LoadCursorW(nullptr, MAKEINTRESOURCEW(id)) : nullptr;
        } else {
            for (const CursorFrame& frame : shape->frames())
                n.cursorFrames.push_back(CursorFrom(frame, shape->hotspotX(), shape->hotspotY()));
            n.cursorShape = std::move(shape);
            n.step = 0;
            const auto& steps = n.cursorShape->steps();
            n.cursor = n.cursorFrames.at(std::size_t(steps.empty() ? 0 : steps.front().frame));
            if (n.cursorShape->isAnimated() && steps.size() > 1)
                SetTimer(n.hwnd, kCursorTimer, std::max<UINT>(1, UINT(steps.front().jiffies * 1000 / 60)), nullptr);
        }
    }
    SetCursor(n.cursor);
}

Window* Win32Backend::findHosted(std::int64_t native) const
{
    const HWND parent = HwndOf(native);
    for (const auto& hosted : hosted_)
        if (Native* n = this->native(*hosted); n && n->hostParent == parent)
            return hosted.get();
    return nullptr;
}

std::int64_t Win32Backend::nativeHandle(const Window& window) const
{
    Native* n = native(window);
    return n ? NativeOf(n->hwnd) : 0;
}

Window* Win32Backend::hostedWindow(std::int64_t native)
{
    const HWND parent = HwndOf(native);
    if (native == 0 || !IsWindow(parent))
        return nullptr;
    for (auto& [window, n] : natives_)
        if (n->hwnd == parent)
            return n->window;
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
    auto made = std::make_unique<Native>();
    made->window = window.get();
    made->hwnd = hwnd;
    made->hostParent = parent;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(made.get()));
    natives_[window.get()] = std::move(made);
    Window* result = window.get();
    hosted_.push_back(std::move(window));
    result->show();
    return result;
}

void Win32Backend::nativeGone(Native& n)
{
    SetWindowLongPtrW(n.hwnd, GWLP_USERDATA, 0);
    n.hwnd = nullptr;
    Window* window = n.window;
    auto forgotten = natives_.extract(window); // a top-level window shown again gets a new one
    letGo(*window); // a hosted window has nothing left to fill
}

void Win32Backend::letGo(Window& hosted)
{
    auto it = std::find_if(hosted_.begin(), hosted_.end(), [&hosted](const auto& h) { return h.get() == &hosted; });
    if (it == hosted_.end())
        return;
    std::unique_ptr<Window> gone = std::move(*it);
    hosted_.erase(it);
    WindowSystem::instance().releaseLater(std::move(gone));
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
        // A window gone before the last compose, whose address came back.
        DestroyWindow(Hwnd(stale->second.hwnd));
        areas_.erase(stale);
    }
    Window& root = RootOf(child);
    if (&root == &child)
        return 0;
    if (root.visible())
        present(root);
    Native* top = native(root);
    if (!top || !top->hwnd)
        return 0;
    const gdi::Point client = root.clientOrigin();
    const gdi::Point at = child.originIn(&root);
    HWND area = CreateWindowExW(0, kAreaClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                at.x + client.x, at.y + client.y, std::max(child.width(), 1),
                                std::max(child.height(), 1), top->hwnd, nullptr, static_cast<HINSTANCE>(instance_),
                                nullptr);
    if (!area)
        return 0;
    areas_[&child] = Area{area, child.lifetime()};
    return NativeOf(area);
}

bool Win32Backend::postPointer(Window& window, PointerKind kind, MouseButton button, ShiftState shift, int x, int y)
{
    Window& root = RootOf(window);
    Native* n = native(root);
    if (!n || !n->hwnd)
        return false;
    gdi::Point at = window.clientOrigin();
    at.x += x;
    at.y += y;
    if (&root != &window) {
        const gdi::Point inRoot = window.originIn(&root);
        const gdi::Point client = root.clientOrigin();
        at.x += inRoot.x + client.x;
        at.y += inRoot.y + client.y;
    }
    PostMessageW(n->hwnd, win32::MessageFromPointer(kind, button), win32::MouseKeysFromShift(shift),
                 win32::LParamFromPoint(at.x, at.y));
    processPending();
    return true;
}

void Win32Backend::processPending()
{
    // Handling a message may post more (a compose, a paint): go on until
    // the queue stays empty.
    for (int round = 0; round < 64; ++round) {
        bool handled = false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quitting_ = true;
                return;
            }
            handled = true;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (composeScheduled_) {
            composeScheduled_ = false;
            composeAll();
            handled = true;
        }
        if (!handled)
            return;
    }
}

ModalResult Win32Backend::runModal(Form& form)
{
    if (answerWaiting())
        return queued().runModal(form);
    if (quitting_)
        return ModalResult::Cancel;
    present(form);
    Native* n = native(form);
    if (!n)
        return queued().runModal(form); // no desktop window: answered as without a screen
    const HWND self = n->hwnd;
    // Every other window of this thread (the host's too) waits while the
    // form runs.
    Disabled disabled{self, {}};
    EnumThreadWindows(GetCurrentThreadId(), &DisableOther, reinterpret_cast<LPARAM>(&disabled));
    SetForegroundWindow(self);
    const std::weak_ptr<void> alive = form.lifetime();
    while (!quitting_ && !alive.expired() && form.visible() && form.modalResult() == ModalResult::None) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                PostQuitMessage(int(message.wParam)); // the outer loop ends too
            quitting_ = true;
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // The owner comes back before the form goes, so the activation returns
    // to it.
    for (HWND hwnd : disabled.windows)
        if (IsWindow(hwnd))
            EnableWindow(hwnd, TRUE);
    if (alive.expired())
        return ModalResult::Cancel;
    return form.modalResult() == ModalResult::Ok ? ModalResult::Ok : ModalResult::Cancel;
}

std::optional<gdi::Color> Win32Backend::chooseColor(gdi::Color initial)
{
    if (answerWaiting() || quitting_)
        return queued().chooseColor(initial);
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
    if (answerWaiting() || quitting_)
        return queued().chooseFont(initial);
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
    if (answerWaiting() || quitting_)
        return queued().chooseFile(save, filter, initial);
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
    errorBox("The file name cannot be written in the plug-in's character set: choose another name.");
    return std::nullopt;
}

void Win32Backend::messageBox(const std::string& text, const std::string& caption)
{
    if (quitting_) {
        queued().messageBox(text, caption);
        return;
    }
    MessageBoxW(DialogOwner(), Wide(text).c_str(), Wide(caption).c_str(), MB_OK);
}

void Win32Backend::errorBox(const std::string& message)
{
    // Counted and reported as without a screen, then shown.
    queued().errorBox(message);
    if (quitting_)
        return;
    MessageBoxW(DialogOwner(), Wide(message).c_str(), L"Error", MB_OK | MB_ICONERROR);
}

void Win32Backend::openAddress(const std::string& address)
{
    ShellExecuteW(nullptr, L"open", Wide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Backend::runUntilClosed(Window& window)
{
    const std::weak_ptr<void> alive = window.lifetime();
    composeAll();
    while (!quitting_ && !alive.expired() && window.visible()) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            quitting_ = true;
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Win32Backend::quit()
{
    quitting_ = true;
    // Wakes a loop waiting for a message.
    if (messageWindow_)
        PostMessageW(Hwnd(messageWindow_), WM_NULL, 0, 0);
}

} // namespace forms
