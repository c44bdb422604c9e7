// The black-box host on Windows: a page window with rectangle windows and
// push buttons of the system's own, the plug-in's windows found inside them
// as a UI test tool finds them, and the system's dialogs answered through
// their controls when a thread hook sees them activate.
#include "host/BlackBox.h"

#include "host/Arguments.h"
#include "platform/backends/scripted/ScriptedAnswers.h"
#include "platform/gdi/codecs/Bmp.h"
#include "platform/system/GlobalMemory.h"
#include "platform/system/Text1251.h"

#include <windows.h>

#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <vector>

namespace host {
namespace {

constexpr UINT kDialogShown = WM_APP + 0x31;
constexpr UINT_PTR kLookAgain = 0x5A31;
constexpr wchar_t kPageClass[] = L"ZenvasHostPage";
constexpr wchar_t kRectangleClass[] = L"ZenvasHostRectangle";

std::wstring Wide(std::string_view text1251)
{
    std::wstring wide;
    for (unsigned char c : text1251)
        wide.push_back(static_cast<wchar_t>(sys::CharFrom1251(c)));
    return wide;
}

std::string Narrow(const std::wstring& wide)
{
    std::string text;
    for (wchar_t c : wide)
        text.push_back(static_cast<char>(sys::CharTo1251(char32_t(c)).value_or('?')));
    return text;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window)
{
    std::wstring text(std::size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

// What a window shows, read back from its device context: the client area,
// or the whole window with its frame.
gdi::Bitmap Capture(HWND window, bool whole)
{
    RECT area{};
    if (whole) {
        GetWindowRect(window, &area);
        OffsetRect(&area, -area.left, -area.top);
    } else {
        GetClientRect(window, &area);
    }
    const int w = area.right, h = area.bottom;
    gdi::Bitmap picture(std::max(w, 0), std::max(h, 0));
    if (w <= 0 || h <= 0)
        return picture;
    HDC source = whole ? GetWindowDC(window) : GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, w, h, source, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* words = static_cast<const std::uint32_t*>(bits);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = picture.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = words[std::size_t(y) * std::size_t(w) + std::size_t(x)];
            row[3 * x] = std::uint8_t(p);
            row[3 * x + 1] = std::uint8_t(p >> 8);
            row[3 * x + 2] = std::uint8_t(p >> 16);
        }
    }
    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return picture;
}

struct WindowSearch {
    const std::wstring& caption;
    HWND found;
};

// A stdcall function of its own: the 32-bit build cannot pass a lambda.
BOOL CALLBACK FindCaption(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<WindowSearch*>(data);
    if (IsWindowVisible(window) && TextOf(window) == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The text a message box shows: its static control's.
BOOL CALLBACK FindStaticText(HWND window, LPARAM data)
{
    if (ClassOf(window) == L"Static" && GetWindowTextLengthW(window) > 0) {
        *reinterpret_cast<std::wstring*>(data) = TextOf(window);
        return FALSE;
    }
    return TRUE;
}

class Win32BlackBox;
Win32BlackBox* g_host = nullptr;

class Win32BlackBox final : public BlackBox, public RectangleRegistry {
public:
    explicit Win32BlackBox(Interpreter& interpreter) : in_(interpreter)
    {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSW page{};
        page.lpfnWndProc = &Win32BlackBox::PageProc;
        page.hInstance = instance;
        page.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
        page.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        page.lpszClassName = kPageClass;
        RegisterClassW(&page);
        WNDCLASSW rectangle = page;
        rectangle.lpfnWndProc = DefWindowProcW;
        rectangle.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        rectangle.lpszClassName = kRectangleClass;
        RegisterClassW(&rectangle);
        RECT frame{0, 0, 1024, 768};
        AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
        page_ = CreateWindowExW(0, kPageClass, L"Page", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
        ShowWindow(page_, SW_SHOWNORMAL);
        UpdateWindow(page_);
        hook_ = SetWindowsHookExW(WH_CBT, &Win32BlackBox::Activation, nullptr, GetCurrentThreadId());
        g_host = this;
        in_.setRectangles(this);
        // What an action drew reaches the screen, and what went wrong in a
        // dialog it opened is reported at its line.
        in_.setAfterAction([this](const Statement& s) {
            pump();
            throwDeferred(s);
        });
        defineCommands();
    }

    ~Win32BlackBox() override
    {
        in_.setAfterAction(nullptr);
        in_.setRectangles(nullptr);
        if (hook_)
            UnhookWindowsHookEx(hook_);
        g_host = nullptr;
        DestroyWindow(page_);
        pump();
    }

    bool valid() const { return page_ != nullptr; }

    void setCaption(const std::string& caption) override { SetWindowTextW(page_, Wide(caption).c_str()); }

    std::int64_t handleOf(std::string_view name) const override
    {
        const HWND window = find(name);
        return window ? std::int64_t(reinterpret_cast<std::intptr_t>(window)) : 0;
    }

private:
    struct HostButton {
        HWND window = nullptr;
        std::string subroutine;
        HBITMAP picture = nullptr;
    };

    // ------------------------------------------------------------ windows

    static LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
    {
        if (g_host && message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED && lparam) {
            g_host->clicked(reinterpret_cast<HWND>(lparam));
            return 0;
        }
        if (g_host && message == kDialogShown) {
            g_host->answerDialog(reinterpret_cast<HWND>(wparam));
            return 0;
        }
        if (g_host && message == WM_TIMER && wparam == kLookAgain) {
            KillTimer(window, kLookAgain);
            std::vector<HWND> waiting;
            waiting.swap(g_host->waiting_);
            for (HWND again : waiting)
                g_host->answerDialog(again);
            return 0;
        }
        if (message == WM_CLOSE)
            return 0; // the script decides when the page goes
        return DefWindowProcW(window, message, wparam, lparam);
    }

    // A host button's subroutine runs as a click subroutine does; the
    // interpreter reports what goes wrong in it, and nothing leaves this
    // window procedure.
    void clicked(HWND button)
    {
        for (auto& [name, entry] : buttons_)
            if (entry.window == button) {
                const std::string subroutine = entry.subroutine;
                try {
                    in_.runSubroutine(subroutine);
                } catch (...) {
                    deferred_ = "the subroutine " + host::quoted(subroutine) + " of button " + host::quoted(name) + " failed";
                }
                return;
            }
    }

    // Every message waiting, including the paints and timers they cause,
    // until the queue stays empty (a bounded number of rounds).
    void pump()
    {
        MSG message;
        for (int round = 0; round < 64; ++round) {
            bool any = false;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                any = true;
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            if (!any)
                break;
        }
    }

    HWND find(std::string_view name) const
    {
        const std::string key = sys::LowerCaseAscii(name);
        if (auto it = rectangles_.find(key); it != rectangles_.end())
            return it->second;
        if (auto it = buttons_.find(key); it != buttons_.end())
            return it->second.window;
        return nullptr;
    }

    HWND requireWindow(const Statement& s, const std::string& name) const
    {
        const HWND window = find(name);
        if (!window)
            throw ScriptError{s.line, "no rectangle named " + host::quoted(name)};
        return window;
    }

    // The plug-in's window inside a rectangle, as a person sees it there.
    HWND canvasIn(const Statement& s, const std::string& name) const
    {
        const HWND rectangle = requireWindow(s, name);
        const HWND inner = GetWindow(rectangle, GW_CHILD);
        if (!inner)
            throw ScriptError{s.line, "rectangle " + host::quoted(name) + " holds no window of the plug-in"};
        return inner;
    }

    void throwDeferred(const Statement& s)
    {
        if (deferred_.empty())
            return;
        std::string problem = std::move(deferred_);
        deferred_.clear();
        throw ScriptError{s.line, problem};
    }

    // ------------------------------------------------------------ pointer

    // As the system routes a real pointer: to the window holding the
    // capture, else the deepest visible window under the point.
    void post(HWND rectangle, UINT message, WPARAM flags, int x, int y)
    {
        POINT at{x, y};
        ClientToScreen(rectangle, &at);
        HWND target = GetCapture();
        if (!target) {
            target = rectangle;
            for (;;) {
                POINT inside = at;
                ScreenToClient(target, &inside);
                const HWND child = ChildWindowFromPointEx(target, inside, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
                if (!child || child == target)
                    break;
                target = child;
            }
        }
        // Only the messages travel: the system's own pointer stays where it
        // is, so that its moves do not mix with these.
        ScreenToClient(target, &at);
        PostMessageW(target, message, flags, MAKELPARAM(std::int16_t(at.x), std::int16_t(at.y)));
        pump();
    }

    static WPARAM Flags(forms::ShiftState shift)
    {
        WPARAM flags = 0;
        if (shift & forms::ssLeft)
            flags |= MK_LBUTTON;
        if (shift & forms::ssRight)
            flags |= MK_RBUTTON;
        if (shift & forms::ssMiddle)
            flags |= MK_MBUTTON;
        if (shift & forms::ssShift)
            flags |= MK_SHIFT;
        if (shift & forms::ssCtrl)
            flags |= MK_CONTROL;
        return flags;
    }

    static UINT Press(forms::MouseButton button, bool down)
    {
        switch (button) {
        case forms::MouseButton::Right: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        case forms::MouseButton::Middle: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        default: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        }
    }

    void pointer(const Statement& s)
    {
        const HWND window = requireWindow(s, in_.argument(s, 0));
        const std::string what = sys::LowerCaseAscii(in_.argument(s, 1));
        if (what == "move") {
            if (s.args.size() > 5)
                throw ScriptError{s.line, "Pointer move takes NAME move X Y [HELD]"};
            const int x = readInt32(s, in_.argument(s, 2), "Pointer");
            const int y = readInt32(s, in_.argument(s, 3), "Pointer");
            const forms::ShiftState shift = s.args.size() == 5 ? readShift(s, in_.argument(s, 4), true) : held_;
            post(window, WM_MOUSEMOVE, Flags(shift), x, y);
        } else if (what == "down" || what == "up") {
            if (s.args.size() < 5)
                throw ScriptError{s.line, "Pointer " + what + " takes NAME " + what + " BUTTON X Y [KEYS]"};
            const forms::MouseButton button = readButton(s, in_.argument(s, 2));
            const int x = readInt32(s, in_.argument(s, 3), "Pointer");
            const int y = readInt32(s, in_.argument(s, 4), "Pointer");
            const forms::ShiftState keys = s.args.size() == 6 ? readShift(s, in_.argument(s, 5), false) : 0;
            if (what == "down")
                held_ |= forms::ButtonFlag(button);
            else
                held_ &= ~forms::ButtonFlag(button);
            post(window, Press(button, what == "down"), Flags(held_ | keys), x, y);
        } else {
            throw ScriptError{s.line, "Pointer: " + host::quoted(in_.argument(s, 1)) + " is not down, move or up"};
        }
        throwDeferred(s);
    }

    void drag(const Statement& s)
    {
        const HWND window = requireWindow(s, in_.argument(s, 0));
        const forms::MouseButton button = readButton(s, in_.argument(s, 1));
        const int x1 = readInt32(s, in_.argument(s, 2), "Drag"), y1 = readInt32(s, in_.argument(s, 3), "Drag");
        const int x2 = readInt32(s, in_.argument(s, 4), "Drag"), y2 = readInt32(s, in_.argument(s, 5), "Drag");
        const int steps = s.args.size() == 7 ? readInt32(s, in_.argument(s, 6), "Drag") : 8;
        if (steps < 0 || steps > 100000)
            throw ScriptError{s.line, "Drag: steps must be 0 to 100000"};
        held_ |= forms::ButtonFlag(button);
        post(window, Press(button, true), Flags(held_), x1, y1);
        for (int i = 1; i <= steps; ++i) {
            const auto at = [&](int a, int b) { return int(a + (std::int64_t(b) - a) * i / steps); };
            post(window, WM_MOUSEMOVE, Flags(held_), at(x1, x2), at(y1, y2));
        }
        held_ &= ~forms::ButtonFlag(button);
        post(window, Press(button, false), Flags(held_), x2, y2);
        throwDeferred(s);
    }

    // ------------------------------------------------------------ dialogs

    static LRESULT CALLBACK Activation(int code, WPARAM wparam, LPARAM lparam)
    {
        // A top-level window made or activated is looked at once it is up:
        // the message waits in the queue, which the dialog's own modal loop
        // empties after the dialog has set itself up.
        if ((code == HCBT_CREATEWND || code == HCBT_ACTIVATE) && g_host) {
            const HWND window = reinterpret_cast<HWND>(wparam);
            const LONG style = code == HCBT_CREATEWND ? reinterpret_cast<CBT_CREATEWNDW*>(lparam)->lpcs->style
                                                      : GetWindowLongW(window, GWL_STYLE);
            if (window != g_host->page_ && !(style & WS_CHILD) && !g_host->seen(window))
                PostMessageW(g_host->page_, kDialogShown, wparam, 0);
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }

    bool seen(HWND window)
    {
        for (HWND known : answered_)
            if (known == window && IsWindow(window))
                return true;
        answered_.push_back(window);
        if (answered_.size() > 64)
            answered_.erase(answered_.begin());
        return false;
    }

    static void Click(HWND dialog, int id)
    {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    }

    static void Key(HWND window, WPARAM key)
    {
        PostMessageW(window, WM_KEYDOWN, key, 1);
        if (key == VK_RETURN || key == VK_ESCAPE || key == VK_TAB)
            PostMessageW(window, WM_CHAR, key == VK_RETURN ? L'\r' : key == VK_ESCAPE ? 27 : L'\t', 1);
        PostMessageW(window, WM_KEYUP, key, 0xC0000001);
    }

    void fail(const std::string& problem)
    {
        if (deferred_.empty())
            deferred_ = problem;
    }

    // A window that came up while the plug-in (or the host's own chooser)
    // was running: a dialog of the system's, a message box, or a form of
    // the plug-in's shown modally (the page is disabled while it runs).
    void answerDialog(HWND window)
    {
        if (!IsWindow(window))
            return;
        if (!IsWindowVisible(window)) {
            // Made but not yet shown: a dialog shows itself once its queue
            // is empty, so it is looked at again on a timer, which comes
            // only then.
            if (++looks_[window] < 500) {
                waiting_.push_back(window);
                SetTimer(page_, kLookAgain, 10, nullptr);
            }
            return;
        }
        const bool system = ClassOf(window) == L"#32770";
        in_.traceLine("window up: " + Narrow(ClassOf(window)) + " " + host::quoted(Narrow(TextOf(window))));
        if (!system && IsWindowEnabled(page_))
            return; // a window of the plug-in's own that is not modal: the zoom window
        auto& answers = forms::ScriptedAnswers::instance();
        if (system && GetDlgItem(window, IDOK) && !GetDlgItem(window, IDCANCEL) && !GetDlgItem(window, cmb1) &&
            !GetDlgItem(window, 706) && !GetDlgItem(window, cmb13) && !GetDlgItem(window, edt1)) {
            // A message box with one button, read as the end user reads it:
            // an error box is counted as the other hosts count it.
            std::wstring text;
            EnumChildWindows(window, &FindStaticText, reinterpret_cast<LPARAM>(&text));
            if (TextOf(window) == L"Error")
                in_.reportErrorBox(Narrow(text));
            else
                in_.printLine("message box: " + Narrow(text));
            Click(window, IDOK);
            return;
        }
        std::optional<forms::Answer> answer = answers.next();
        const auto cancel = [&] {
            if (system)
                Click(window, IDCANCEL);
            else
                Key(window, VK_ESCAPE);
        };
        if (!answer || answer->kind == forms::Answer::Kind::Cancel) {
            cancel();
            return;
        }
        if (system && GetDlgItem(window, 706) && answer->kind == forms::Answer::Kind::Color) {
            SetDlgItemInt(window, 706, UINT(gdi::RedOf(answer->color)), FALSE);
            SetDlgItemInt(window, 707, UINT(gdi::GreenOf(answer->color)), FALSE);
            SetDlgItemInt(window, 708, UINT(gdi::BlueOf(answer->color)), FALSE);
            Click(window, IDOK);
        } else if (system && (GetDlgItem(window, cmb13) || GetDlgItem(window, edt1)) &&
                   answer->kind == forms::Answer::Kind::File) {
            const HWND name = GetDlgItem(window, cmb13) ? GetDlgItem(window, cmb13) : GetDlgItem(window, edt1);
            SetWindowTextW(name, Wide(answer->text).c_str());
            Click(window, IDOK);
        } else if (system && GetDlgItem(window, cmb1) && answer->kind == forms::Answer::Kind::Font) {
            answerFont(window, answer->font);
        } else if (!system && answer->kind == forms::Answer::Kind::Dialog) {
            answerForm(window, answer->steps);
        } else {
            fail("a dialog came up (" + Narrow(TextOf(window)) + ") that the next answer does not fit");
            cancel();
        }
    }

    // The font chooser: the face and size typed into their boxes, the
    // effects ticked, and the style and script chosen from their lists.
    void answerFont(HWND dialog, const gdi::Font& font)
    {
        const auto select = [&](int id, const std::wstring& text) {
            const HWND box = GetDlgItem(dialog, id);
            const LRESULT index = SendMessageW(box, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()));
            if (index == CB_ERR)
                return false;
            SendMessageW(box, CB_SETCURSEL, WPARAM(index), 0);
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
            return true;
        };
        if (!select(cmb1, Wide(font.name()))) {
            fail("the font chooser does not offer the face " + host::quoted(font.name()));
            Click(dialog, IDCANCEL);
            return;
        }
        const HWND size = GetDlgItem(dialog, cmb3);
        const std::wstring points = std::to_wstring(font.size());
        if (!select(cmb3, points)) {
            SetWindowTextW(size, points.c_str());
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb3, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(size));
        }
        // Styles are listed regular, italic, bold, bold italic, whatever
        // their names in the system's language.
        const HWND styles = GetDlgItem(dialog, cmb2);
        const int wanted = (font.bold() ? 2 : 0) + (font.italic() ? 1 : 0);
        if (SendMessageW(styles, CB_GETCOUNT, 0, 0) > wanted) {
            SendMessageW(styles, CB_SETCURSEL, WPARAM(wanted), 0);
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb2, CBN_SELCHANGE), reinterpret_cast<LPARAM>(styles));
        }
        CheckDlgButton(dialog, chx1, font.strikeOut() ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dialog, chx2, font.underline() ? BST_CHECKED : BST_UNCHECKED);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(chx1, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, chx1)));
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(chx2, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, chx2)));
        // The colour list holds the sixteen basic colours, each an item's
        // data; the script list holds the character sets the same way.
        const auto pick = [&](int id, LRESULT data) {
            const HWND box = GetDlgItem(dialog, id);
            const LRESULT count = SendMessageW(box, CB_GETCOUNT, 0, 0);
            for (LRESULT i = 0; i < count; ++i)
                if (SendMessageW(box, CB_GETITEMDATA, WPARAM(i), 0) == data) {
                    SendMessageW(box, CB_SETCURSEL, WPARAM(i), 0);
                    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
                    return true;
                }
            return false;
        };
        if (!pick(cmb4, LRESULT(gdi::ResolveColor(font.color()))))
            fail("the font chooser's colour list has no " + rgbText(gdi::ResolveColor(font.color())));
        pick(cmb5, LRESULT(font.charset()));
        Click(dialog, IDOK);
    }

    // A form of the plug-in's, driven by the keyboard as an author's hands
    // would drive it; operations that need a control by its name are
    // refused, for a host sees no names inside the plug-in's windows.
    void answerForm(HWND form, const std::vector<std::string>& steps)
    {
        for (const std::string& step : steps) {
            const std::string word = sys::LowerCaseAscii(step);
            if (word == "ok" || word == "key:enter") {
                Key(form, VK_RETURN);
            } else if (word == "cancel" || word == "key:escape") {
                Key(form, VK_ESCAPE);
            } else if (word == "key:tab") {
                Key(form, VK_TAB);
            } else if (word == "close") {
                PostMessageW(form, WM_CLOSE, 0, 0);
            } else if (word.rfind("snapshot:", 0) == 0) {
                pump();
                try {
                    writePicture(Statement{}, step.substr(9), Capture(form, true));
                } catch (const ScriptError& error) {
                    fail(error.message);
                }
            } else {
                fail("the dialog step " + host::quoted(step)
                     + " needs a control by its name, which a host cannot see inside the plug-in's windows "
                       "(black-box mode drives a dialog by key:Enter, key:Escape, key:Tab, OK, Cancel, close and snapshot:)");
                Key(form, VK_ESCAPE);
                return;
            }
            pump();
        }
    }

    // ------------------------------------------------------------ pictures

    // The canvas picture of a rectangle as the plug-in's own save action
    // writes it.
    gdi::Bitmap savedPicture(const Statement& s, const std::string& name)
    {
        const Registration* save = in_.action("ZenvasSavePicture");
        if (!save)
            throw ScriptError{s.line, "the plug-in has no action ZenvasSavePicture to read its picture through"};
        const std::filesystem::path folder = std::filesystem::temp_directory_path();
        const std::string base = (folder / ("zenvas-host-" + std::to_string(GetCurrentProcessId()))).string();
        std::vector<char*> slots{sys::GlobalAllocText(name), sys::GlobalAllocText(base), sys::GlobalAllocText(".bmp")};
        in_.discardReasons();
        const bool saved = in_.plugin().nbExecAction(save->number, slots.data()) != ZENVAS_FALSE;
        in_.discardReasons();
        for (char* slot : slots)
            sys::GlobalFree(slot);
        if (!saved)
            throw ScriptError{s.line, "rectangle " + host::quoted(name) + " holds no canvas the plug-in would save"};
        gdi::Bitmap picture = gdi::LoadBmp(base + ".bmp");
        std::filesystem::remove(base + ".bmp");
        return picture;
    }

    // ------------------------------------------------------------ commands

    void refuse(const char* command, const char* reason)
    {
        in_.defineCommand(command, 0, kAnyCount, [command, reason](const Statement& s) {
            throw ScriptError{s.line, std::string(command) + " is not available in black-box mode: " + reason};
        });
    }

    void defineCommands()
    {
        Interpreter& in = in_;
        in.defineCommand("Rectangle", 5, 5, [this, &in](const Statement& s) {
            const std::string name = in.argument(s, 0);
            const int x = readInt32(s, in.argument(s, 1), "Rectangle"), y = readInt32(s, in.argument(s, 2), "Rectangle");
            const int w = readInt32(s, in.argument(s, 3), "Rectangle"), h = readInt32(s, in.argument(s, 4), "Rectangle");
            if (w < 0 || h < 0)
                throw ScriptError{s.line, "Rectangle: negative size"};
            const std::string key = sys::LowerCaseAscii(name);
            if (auto old = rectangles_.find(key); old != rectangles_.end())
                DestroyWindow(old->second);
            rectangles_[key] = CreateWindowExW(0, kRectangleClass, Wide(name).c_str(),
                                               WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, w, h, page_, nullptr,
                                               GetModuleHandleW(nullptr), nullptr);
            pump();
        });
        in.defineCommand("Button", 7, 8, [this](const Statement& s) { button(s); });
        in.defineCommand("ButtonDown", 2, 2, [this, &in](const Statement& s) {
            const std::string state = sys::LowerCaseAscii(in.argument(s, 1));
            auto it = buttons_.find(sys::LowerCaseAscii(in.argument(s, 0)));
            if (it == buttons_.end() || !it->second.picture)
                throw ScriptError{s.line, "ButtonDown: no button with a picture named " + host::quoted(in.argument(s, 0))};
            if (state != "true" && state != "false")
                throw ScriptError{s.line, "ButtonDown: " + host::quoted(in.argument(s, 1)) + " is not True or False"};
            SendMessageW(it->second.window, BM_SETSTATE, state == "true", 0);
            pump();
        });
        in.defineCommand("Page", 2, 2, [this, &in](const Statement& s) {
            const int w = readInt32(s, in.argument(s, 0), "Page"), h = readInt32(s, in.argument(s, 1), "Page");
            if (w < 1 || h < 1)
                throw ScriptError{s.line, "Page: the size must be at least 1 x 1"};
            RECT frame{0, 0, w, h};
            AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
            SetWindowPos(page_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                         SWP_NOMOVE | SWP_NOZORDER);
            pump();
        });
        in.defineCommand("Pointer", 4, 6, [this](const Statement& s) { pointer(s); });
        in.defineCommand("Drag", 6, 7, [this](const Statement& s) { drag(s); });
        in.defineCommand("WindowMessage", 2, 2, [this, &in](const Statement& s) {
            const HWND canvas = canvasIn(s, in.argument(s, 0));
            const int message = readInt32(s, in.argument(s, 1), "WindowMessage");
            const LRESULT result = SendMessageW(canvas, UINT(message), 0, 0);
            pump();
            in.variables().set("LastResult", std::to_string(std::intptr_t(result)));
        });
        in.defineCommand("Snapshot", 2, 2, [this, &in](const Statement& s) {
            const HWND window = requireWindow(s, in.argument(s, 0));
            pump();
            writePicture(s, in.argument(s, 1), Capture(window, false));
        });
        in.defineCommand("SnapshotWindow", 2, 2, [this, &in](const Statement& s) {
            const std::wstring caption = Wide(in.argument(s, 0));
            pump();
            WindowSearch search{caption, nullptr};
            EnumThreadWindows(GetCurrentThreadId(), &FindCaption, reinterpret_cast<LPARAM>(&search));
            const HWND found = search.found;
            if (!found)
                throw ScriptError{s.line, "no window with the caption " + host::quoted(in.argument(s, 0))};
            writePicture(s, in.argument(s, 1), Capture(found, true));
        });
        in.defineCommand("SnapshotPicture", 2, 2, [this, &in](const Statement& s) {
            writePicture(s, in.argument(s, 1), savedPicture(s, in.argument(s, 0)));
        });
        in.defineCommand("ExpectPixel", 4, 4, [this, &in](const Statement& s) {
            const int x = readInt32(s, in.argument(s, 1), "ExpectPixel"), y = readInt32(s, in.argument(s, 2), "ExpectPixel");
            const std::string expected = rgbText(readRgb(s, in.argument(s, 3)));
            const gdi::Bitmap picture = savedPicture(s, in.argument(s, 0));
            const bool inside = x >= 0 && y >= 0 && x < picture.width() && y < picture.height();
            in.expect(s, inside ? rgbText(picture.pixel(x, y)) : "outside the picture", expected);
        });
        in.defineCommand("Answer", 1, kAnyCount, [this](const Statement& s) { answer(s); });
        in.defineCommand("Edit", 1, kAnyCount, [this](const Statement& s) { edit(s); });
        refuse("CursorInfo", "a host sees the shape the pointer has, not how many frames an animated one runs through");
        refuse("Choose", "it opens a chooser of the host's own, not of the plug-in");
        refuse("Ask", "it opens a dialog of the host's own, not of the plug-in");
    }

    // The answers are queued as for the other hosts; the hook takes them
    // as the dialogs come up.
    void answer(const Statement& s) { forms::ScriptedAnswers::instance().queue(readAnswer(in_, s)); }

    void edit(const Statement& s)
    {
        const Registration* action = in_.action(in_.argument(s, 0));
        if (!action)
            throw ScriptError{s.line, "Edit: no action named " + host::quoted(in_.argument(s, 0))};
        const std::size_t count = std::size_t(action->count);
        if (s.args.size() - 1 != count)
            throw ScriptError{s.line, "Edit " + action->name + " takes " + std::to_string(count) + " slots, got "
                                          + std::to_string(s.args.size() - 1)};
        std::vector<char*> slots(std::max<std::size_t>(count, 1), nullptr);
        for (std::size_t i = 0; i < count; ++i)
            slots[i] = sys::GlobalAllocText(in_.argument(s, i + 1));
        in_.discardReasons();
        const bool result = in_.plugin().nbEditAction(action->number, slots.data()) != ZENVAS_FALSE;
        in_.traceLine("edit " + action->name + " -> " + (result ? "True" : "False"));
        in_.takeReasons();
        in_.variables().set("LastResult", result ? "True" : "False");
        for (std::size_t i = 0; i < count; ++i) {
            in_.variables().set("Slot" + std::to_string(i), slots[i] ? slots[i] : "");
            sys::GlobalFree(slots[i]);
        }
        pump();
        throwDeferred(s);
    }

    void button(const Statement& s)
    {
        const ButtonStatement button = readButtonStatement(in_, s);
        HostButton entry;
        entry.subroutine = button.subroutine;
        DWORD style = WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON;
        if (!button.picture.isEmpty()) {
            entry.picture = Picture(button.picture);
            style |= BS_BITMAP;
        }
        const std::string key = sys::LowerCaseAscii(button.name);
        if (auto old = buttons_.find(key); old != buttons_.end()) {
            DestroyWindow(old->second.window);
            if (old->second.picture)
                DeleteObject(old->second.picture);
        }
        entry.window = CreateWindowExW(0, L"BUTTON", Wide(button.caption).c_str(), style, button.x, button.y,
                                       button.width, button.height, page_,
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
        if (entry.picture)
            SendMessageW(entry.window, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(entry.picture));
        buttons_[key] = entry;
        pump();
    }

    static HBITMAP Picture(const gdi::Bitmap& picture)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = picture.width();
        info.bmiHeader.biHeight = -picture.height();
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap)
            return nullptr;
        auto* words = static_cast<std::uint32_t*>(bits);
        for (int y = 0; y < picture.height(); ++y) {
            const std::uint8_t* row = picture.scanLine(y);
            for (int x = 0; x < picture.width(); ++x)
                words[std::size_t(y) * std::size_t(picture.width()) + std::size_t(x)] =
                    std::uint32_t(row[3 * x]) | std::uint32_t(row[3 * x + 1]) << 8 | std::uint32_t(row[3 * x + 2]) << 16;
        }
        return bitmap;
    }

    Interpreter& in_;
    HWND page_ = nullptr;
    HHOOK hook_ = nullptr;
    std::map<std::string, HWND> rectangles_; // lower-case name
    std::map<std::string, HostButton> buttons_;
    std::vector<HWND> answered_;
    std::vector<HWND> waiting_;    // made, not yet shown
    std::map<HWND, int> looks_;
    forms::ShiftState held_ = 0;
    std::string deferred_; // a failure inside a window procedure, reported after the call
};

} // namespace

std::unique_ptr<BlackBox> OpenBlackBox(Interpreter& interpreter, std::string& problem)
{
    auto host = std::make_unique<Win32BlackBox>(interpreter);
    if (!host->valid()) {
        problem = "the page window could not be made (error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    return host;
}

} // namespace host
