#include "platform/backends/gtk/GtkBackend.h"

#include "platform/backends/gtk/GtkTranslate.h"
#include "platform/forms/Cursor.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Form.h"
#include "platform/forms/Window.h"
#include "platform/gdi/Text.h"
#include "platform/system/Files.h"
#include "platform/system/Text1251.h"

#include <gtk/gtk.h>

#include <glib-unix.h>

#include <climits>
#include <csignal>
#include <cmath>
#include <iostream>

namespace forms {

namespace {

std::string Utf8(const std::string& text1251)
{
    return sys::Utf8From1251(text1251);
}

GdkPixbuf* PixbufOf(const CursorFrame& frame)
{
    const int w = frame.image.width(), h = frame.image.height();
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, w, h);
    if (!pixbuf)
        return nullptr;
    guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    const int rowstride = gdk_pixbuf_get_rowstride(pixbuf);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = frame.image.scanLine(y);
        guchar* out = pixels + std::size_t(y) * std::size_t(rowstride);
        for (int x = 0; x < w; ++x, src += 3, out += 4) {
            const std::uint8_t alpha = frame.opacityAt(x, y);
            const bool inverting = alpha == 0 && (src[0] | src[1] | src[2]) != 0;
            // The desktop cannot invert what lies below a cursor: such
            // pixels are drawn solid black, which keeps the outline seen.
            out[0] = inverting ? 0 : src[2];
            out[1] = inverting ? 0 : src[1];
            out[2] = inverting ? 0 : src[0];
            out[3] = inverting ? 255 : alpha;
        }
    }
    return pixbuf;
}

} // namespace

// One GtkWindow showing one window of ours.
class GtkNative final : public NativeWindow {
public:
    explicit GtkNative(Window& window);
    ~GtkNative() override
    {
        dropCursorFrames();
        if (surface_)
            cairo_surface_destroy(surface_);
        gtk_widget_destroy(top_);
    }

    void place(const NativePlacement& p) override;
    void show() override
    {
        gtk_widget_show_all(top_);
        gtk_widget_grab_focus(area_);
    }
    void hide() override { gtk_widget_hide(top_); }
    bool shown() const override { return gtk_widget_get_visible(top_); }
    void present(const gdi::Bitmap& frame, std::span<const gdi::IntRect> areas) override;
    void setCursor(const CursorShape* shape, int frame, int builtin) override;
    void setModal(bool modal) override { gtk_window_set_modal(GTK_WINDOW(top_), modal); }
    std::int64_t handle() const override { return std::int64_t(reinterpret_cast<std::intptr_t>(top_)); }
    void setOwner(GtkNative* owner) { gtk_window_set_transient_for(GTK_WINDOW(top_), GTK_WINDOW(owner->top_)); }

    Window& window;

private:
    void dropCursorFrames()
    {
        for (GdkCursor* c : cursorFrames_)
            if (c)
                g_object_unref(c);
        cursorFrames_.clear();
        cursorShape_ = nullptr;
    }

    GtkWidget* top_;
    GtkWidget* area_;
    cairo_surface_t* surface_ = nullptr;
    // The converted frames of the shape shown last.
    const CursorShape* cursorShape_ = nullptr;
    std::vector<GdkCursor*> cursorFrames_;

    friend struct GtkEvents;
};

// The signal handlers: they hand what happened to the desktop layer.
struct GtkEvents {
    static DesktopBackend& desktop() { return GtkBackend::instance(); }

    static gboolean draw(GtkWidget*, cairo_t* cr, gpointer data)
    {
        auto* n = static_cast<GtkNative*>(data);
        if (n->surface_) {
            cairo_set_source_surface(cr, n->surface_, 0, 0);
            cairo_paint(cr);
        }
        return TRUE;
    }

    static gboolean press(GtkWidget*, GdkEventButton* event, gpointer data)
    {
        auto* n = static_cast<GtkNative*>(data);
        if (event->type != GDK_BUTTON_PRESS)
            return TRUE; // double and triple clicks come as single presses too
        const std::optional<MouseButton> button = gtk::ButtonFromGdk(event->button);
        if (!button)
            return TRUE;
        const int x = int(std::floor(event->x)), y = int(std::floor(event->y));
        if (*button == MouseButton::Left && desktop().onOwnCaption(n->window, x, y)) {
            gtk_window_begin_move_drag(GTK_WINDOW(n->top_), int(event->button), int(event->x_root),
                                       int(event->y_root), event->time);
            return TRUE;
        }
        desktop().pointerEvent(n->window, PointerKind::Down, *button, gtk::ShiftFromGdk(event->state, button), x, y);
        return TRUE;
    }

    static gboolean release(GtkWidget*, GdkEventButton* event, gpointer data)
    {
        auto* n = static_cast<GtkNative*>(data);
        const std::optional<MouseButton> button = gtk::ButtonFromGdk(event->button);
        if (!button)
            return TRUE;
        desktop().pointerEvent(n->window, PointerKind::Up, *button,
                               gtk::ShiftFromGdk(event->state, std::nullopt, button), int(std::floor(event->x)),
                               int(std::floor(event->y)));
        return TRUE;
    }

    static gboolean motion(GtkWidget*, GdkEventMotion* event, gpointer data)
    {
        auto* n = static_cast<GtkNative*>(data);
        desktop().pointerEvent(n->window, PointerKind::Move, MouseButton::Left, gtk::ShiftFromGdk(event->state),
                               int(std::floor(event->x)), int(std::floor(event->y)));
        return TRUE;
    }

    static gboolean scroll(GtkWidget*, GdkEventScroll* event, gpointer data)
    {
        auto* n = static_cast<GtkNative*>(data);
        int delta = 0;
        switch (event->direction) {
        case GDK_SCROLL_UP:
            delta = 120;
            break;
        case GDK_SCROLL_DOWN:
            delta = -120;
            break;
        case GDK_SCROLL_SMOOTH:
            delta = int(std::lround(-event->delta_y * 120));
            break;
        default:
            return TRUE;
        }
        desktop().wheelEvent(n->window, delta, gtk::ShiftFromGdk(event->state), int(std::floor(event->x)),
                             int(std::floor(event->y)));
        return TRUE;
    }

    static gboolean key(GtkWidget*, GdkEventKey* event, gpointer data)
    {
        auto* n = static_cast<GtkNative*>(data);
        const std::optional<gtk::KeyPress> press = gtk::KeyFromGdk(event->keyval, gdk_keyval_to_unicode(event->keyval));
        if (!press)
            return FALSE;
        desktop().keyEvent(n->window, press->key, press->character, gtk::ShiftFromGdk(event->state));
        return TRUE;
    }

    static gboolean closeRequest(GtkWidget*, GdkEvent*, gpointer data)
    {
        desktop().closeRequested(static_cast<GtkNative*>(data)->window);
        return TRUE; // the window lives on; the framework decides
    }

    static gboolean frameDue(gpointer)
    {
        GtkBackend& backend = GtkBackend::instance();
        backend.wakeQueued_ = false;
        backend.frame();
        return G_SOURCE_REMOVE;
    }

    static gboolean timer(gpointer data)
    {
        const int id = int(reinterpret_cast<std::intptr_t>(data));
        GtkBackend& backend = GtkBackend::instance();
        if (!backend.timers_.count(id))
            return G_SOURCE_REMOVE;
        backend.timerDue(id);
        return backend.timers_.count(id) ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
    }

    static gboolean interrupt(gpointer)
    {
        GtkBackend::instance().quit();
        return G_SOURCE_CONTINUE;
    }
};

GtkNative::GtkNative(Window& w)
    : window(w), top_(gtk_window_new(GTK_WINDOW_TOPLEVEL)), area_(gtk_drawing_area_new())
{
    gtk_widget_set_can_focus(area_, TRUE);
    gtk_widget_add_events(area_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                     GDK_SCROLL_MASK | GDK_SMOOTH_SCROLL_MASK | GDK_KEY_PRESS_MASK);
    gtk_container_add(GTK_CONTAINER(top_), area_);
    g_signal_connect(area_, "draw", G_CALLBACK(&GtkEvents::draw), this);
    g_signal_connect(area_, "button-press-event", G_CALLBACK(&GtkEvents::press), this);
    g_signal_connect(area_, "button-release-event", G_CALLBACK(&GtkEvents::release), this);
    g_signal_connect(area_, "motion-notify-event", G_CALLBACK(&GtkEvents::motion), this);
    g_signal_connect(area_, "scroll-event", G_CALLBACK(&GtkEvents::scroll), this);
    g_signal_connect(top_, "key-press-event", G_CALLBACK(&GtkEvents::key), this);
    g_signal_connect(top_, "delete-event", G_CALLBACK(&GtkEvents::closeRequest), this);
    gtk_window_set_resizable(GTK_WINDOW(top_), FALSE);
}

void GtkNative::place(const NativePlacement& p)
{
    GtkWindow* top = GTK_WINDOW(top_);
    gtk_window_set_title(top, Utf8(p.caption).c_str());
    gtk_window_set_decorated(top, !p.ownFrame);
    gtk_window_set_keep_above(top, p.stayOnTop);
    gtk_window_set_type_hint(top, p.toolWindow ? GDK_WINDOW_TYPE_HINT_UTILITY : GDK_WINDOW_TYPE_HINT_NORMAL);
    const int w = int(p.bounds.width()), h = int(p.bounds.height());
    gtk_widget_set_size_request(area_, w, h);
    gtk_window_resize(top, w, h);
    if (p.centred)
        gtk_window_set_position(top, GTK_WIN_POS_CENTER);
    else
        gtk_window_move(top, p.bounds.left, p.bounds.top);
}

void GtkNative::present(const gdi::Bitmap& frame, std::span<const gdi::IntRect> areas)
{
    const gdi::IntRect whole = frame.bounds();
    if (!surface_ || cairo_image_surface_get_width(surface_) != frame.width() ||
        cairo_image_surface_get_height(surface_) != frame.height()) {
        if (surface_)
            cairo_surface_destroy(surface_);
        surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, frame.width(), frame.height());
        areas = std::span<const gdi::IntRect>(&whole, 1);
    }
    cairo_surface_flush(surface_);
    unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    for (const gdi::IntRect& r : areas) {
        for (int y = r.top; y < r.bottom; ++y) {
            const std::uint8_t* src = frame.scanLine(y) + std::size_t(r.left) * 3;
            auto* out = reinterpret_cast<std::uint32_t*>(data + std::size_t(y) * std::size_t(stride)) + r.left;
            for (int x = r.left; x < r.right; ++x, src += 3)
                *out++ = std::uint32_t(src[0]) | std::uint32_t(src[1]) << 8 | std::uint32_t(src[2]) << 16;
        }
        gtk_widget_queue_draw_area(area_, r.left, r.top, int(r.width()), int(r.height()));
    }
    cairo_surface_mark_dirty(surface_);
}

void GtkNative::setCursor(const CursorShape* shape, int frame, int builtin)
{
    GdkWindow* gdkWindow = gtk_widget_get_window(area_);
    if (!gdkWindow)
        return;
    GdkDisplay* display = gdk_window_get_display(gdkWindow);
    if (!shape) {
        GdkCursor* standard = gdk_cursor_new_from_name(display, gtk::StandardCursorName(builtin));
        gdk_window_set_cursor(gdkWindow, standard);
        if (standard)
            g_object_unref(standard);
        return;
    }
    if (shape != cursorShape_) {
        dropCursorFrames();
        for (const CursorFrame& f : shape->frames()) {
            GdkPixbuf* pixbuf = PixbufOf(f);
            GdkCursor* cursor = pixbuf ? gdk_cursor_new_from_pixbuf(display, pixbuf, shape->hotspotX(), shape->hotspotY())
                                       : gdk_cursor_new_from_name(display, "default");
            if (pixbuf)
                g_object_unref(pixbuf);
            cursorFrames_.push_back(cursor);
        }
        cursorShape_ = shape;
    }
    if (frame >= 0 && std::size_t(frame) < cursorFrames_.size())
        gdk_window_set_cursor(gdkWindow, cursorFrames_[std::size_t(frame)]);
}

bool GtkBackend::openPlatform(std::string& problem)
{
    if (!gtk_init_check(nullptr, nullptr)) {
        problem = "cannot open a display (is DISPLAY set?)";
        return false;
    }
    // GTK's text layout keeps fontconfig's caches until the process ends.
    gdi::ShareFontconfig();
    return true;
}

GtkBackend& GtkBackend::instance()
{
    static auto* backend = new GtkBackend; // lives as long as the process
    return *backend;
}

std::unique_ptr<NativeWindow> GtkBackend::makeNative(Window& window, NativeWindow* owner)
{
    auto made = std::make_unique<GtkNative>(window);
    if (owner)
        made->setOwner(static_cast<GtkNative*>(owner));
    return made;
}

void GtkBackend::wake()
{
    if (wakeQueued_)
        return;
    wakeQueued_ = true;
    g_idle_add(&GtkEvents::frameDue, nullptr);
}

bool GtkBackend::waitForEvents()
{
    gtk_main_iteration();
    return true;
}

bool GtkBackend::handleWaiting()
{
    bool handled = false;
    while (gtk_events_pending()) {
        gtk_main_iteration_do(FALSE);
        handled = true;
    }
    return handled;
}

void GtkBackend::catchInterrupts(bool on)
{
    if (on && !interrupt_) {
        interrupt_ = g_unix_signal_add(SIGINT, &GtkEvents::interrupt, nullptr);
        terminate_ = g_unix_signal_add(SIGTERM, &GtkEvents::interrupt, nullptr);
    } else if (!on && interrupt_) {
        g_source_remove(interrupt_);
        g_source_remove(terminate_);
        interrupt_ = terminate_ = 0;
    }
}

void GtkBackend::scheduleTimer(int id, int milliseconds)
{
    timers_[id] = g_timeout_add(guint(milliseconds), &GtkEvents::timer, reinterpret_cast<gpointer>(std::intptr_t(id)));
}

void GtkBackend::cancelTimer(int id)
{
    auto it = timers_.find(id);
    if (it == timers_.end())
        return;
    // A timer stopped from its own tick is removed by the tick's answer.
    g_source_remove(it->second);
    timers_.erase(it);
}

std::string GtkBackend::clipboardText() const
{
    GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    gchar* text = clipboard ? gtk_clipboard_wait_for_text(clipboard) : nullptr;
    if (!text)
        return {};
    // Characters code page 1251 lacks cannot be pasted into our fields.
    std::string converted = sys::Text1251FromUtf8(text).value_or(std::string());
    g_free(text);
    return converted;
}

void GtkBackend::setClipboardText(const std::string& text)
{
    if (GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD)) {
        const std::string utf8 = Utf8(text);
        gtk_clipboard_set_text(clipboard, utf8.c_str(), int(utf8.size()));
    }
}

namespace {

GtkWindow* ActiveGtkWindow()
{
    GtkWindow* found = nullptr;
    GList* all = gtk_window_list_toplevels();
    for (GList* it = all; it; it = it->next)
        if (gtk_window_is_active(GTK_WINDOW(it->data)))
            found = GTK_WINDOW(it->data);
    g_list_free(all);
    return found;
}

} // namespace

std::optional<gdi::Color> GtkBackend::chooseColor(gdi::Color initial)
{
    GtkWidget* dialog = gtk_color_chooser_dialog_new("Color", ActiveGtkWindow());
    const gdi::Color c = gdi::ResolveColor(initial);
    const GdkRGBA start{gdi::RedOf(c) / 255.0, gdi::GreenOf(c) / 255.0, gdi::BlueOf(c) / 255.0, 1.0};
    gtk_color_chooser_set_use_alpha(GTK_COLOR_CHOOSER(dialog), FALSE);
    gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(dialog), &start);
    const int response = runDialog(dialog);
    std::optional<gdi::Color> chosen;
    if (response == GTK_RESPONSE_OK && !quitting_) {
        GdkRGBA rgba;
        gtk_color_chooser_get_rgba(GTK_COLOR_CHOOSER(dialog), &rgba);
        auto channel = [](double v) { return int(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
        chosen = gdi::Rgb(channel(rgba.red), channel(rgba.green), channel(rgba.blue));
    }
    gtk_widget_destroy(dialog);
    return chosen;
}

std::optional<gdi::Font> GtkBackend::chooseFont(const gdi::Font& initial)
{
    GtkWidget* dialog = gtk_font_chooser_dialog_new("Font", ActiveGtkWindow());
    // The chooser starts on the face the font really resolves to: a name
    // the desktop lacks ("MS Sans Serif") would leave nothing chosen.
    std::string start = Utf8(initial.name());
    try {
        if (std::string face = gdi::FontFaceName(initial); !face.empty())
            start = face;
    } catch (const std::exception&) {
    }
    if (initial.bold())
        start += " Bold";
    if (initial.italic())
        start += " Italic";
    start.append(" ").append(std::to_string(std::max(1, initial.size())));
    gtk_font_chooser_set_font(GTK_FONT_CHOOSER(dialog), start.c_str());
    const int response = runDialog(dialog);
    std::optional<gdi::Font> chosen;
    if (response == GTK_RESPONSE_OK && !quitting_) {
        if (PangoFontDescription* desc = gtk_font_chooser_get_font_desc(GTK_FONT_CHOOSER(dialog))) {
            // The chooser has no colour, underline, strike-out or character
            // set: those stay as they were.
            gdi::Font font = initial;
            // A family whose name code page 1251 cannot hold keeps the old
            // name.
            if (const char* family = pango_font_description_get_family(desc))
                font.setName(sys::Text1251FromUtf8(family).value_or(initial.name()));
            double points = double(pango_font_description_get_size(desc)) / PANGO_SCALE;
            if (pango_font_description_get_size_is_absolute(desc))
                points = points * 72.0 / 96.0;
            font.setSize(std::max(1, int(std::lround(points))));
            font.setBold(pango_font_description_get_weight(desc) >= PANGO_WEIGHT_BOLD);
            font.setItalic(pango_font_description_get_style(desc) != PANGO_STYLE_NORMAL);
            pango_font_description_free(desc);
            chosen = font;
        }
    }
    gtk_widget_destroy(dialog);
    return chosen;
}

std::optional<std::string> GtkBackend::chooseFile(bool save, const std::string& filter, const std::string& initial)
{
    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        save ? "Save As" : "Open", ActiveGtkWindow(), save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN,
        "_Cancel", GTK_RESPONSE_CANCEL, save ? "_Save" : "_Open", GTK_RESPONSE_ACCEPT, nullptr);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    for (const FileFilter& entry : FileFiltersFrom(filter)) {
        GtkFileFilter* f = gtk_file_filter_new();
        gtk_file_filter_set_name(f, Utf8(entry.name).c_str());
        for (const std::string& pattern : entry.patterns) {
            // Windows matches names without regard to case.
            std::string upper = pattern;
            for (char& ch : upper)
                ch = char(std::toupper(static_cast<unsigned char>(ch)));
            gtk_file_filter_add_pattern(f, pattern.c_str());
            gtk_file_filter_add_pattern(f, upper.c_str());
        }
        gtk_file_chooser_add_filter(chooser, f);
    }
    if (save)
        gtk_file_chooser_set_do_overwrite_confirmation(chooser, TRUE);
    // Names are host texts in code page 1251; GTK and the file system
    // speak UTF-8.
    if (const std::optional<std::string> name = initial.empty() ? std::nullopt : sys::SystemFileName(initial)) {
        if (save)
            gtk_file_chooser_set_current_name(chooser, name->c_str());
        else
            gtk_file_chooser_set_filename(chooser, name->c_str());
    }
    const int response = runDialog(dialog);
    std::optional<std::string> chosen;
    bool unwritable = false;
    if (response == GTK_RESPONSE_ACCEPT && !quitting_)
        if (char* name = gtk_file_chooser_get_filename(chooser)) {
            chosen = sys::FileNameFromSystem(name);
            unwritable = !chosen;
            g_free(name);
        }
    gtk_widget_destroy(dialog);
    if (unwritable)
        CurrentBackend().errorBox("The file name cannot be written in the plug-in's character set: choose another name.");
    return chosen;
}

void GtkBackend::messageBox(const std::string& text, const std::string& caption)
{
    GtkWidget* dialog = gtk_message_dialog_new(ActiveGtkWindow(), GTK_DIALOG_MODAL, GTK_MESSAGE_INFO, GTK_BUTTONS_OK,
                                               "%s", Utf8(text).c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), Utf8(caption).c_str());
    runDialog(dialog);
    gtk_widget_destroy(dialog);
}

void GtkBackend::errorBox(const std::string& message)
{
    GtkWidget* dialog = gtk_message_dialog_new(ActiveGtkWindow(), GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_OK,
                                               "%s", Utf8(message).c_str());
    runDialog(dialog);
    gtk_widget_destroy(dialog);
}

void GtkBackend::openAddress(const std::string& address)
{
    GError* error = nullptr;
    if (!gtk_show_uri_on_window(ActiveGtkWindow(), address.c_str(), GDK_CURRENT_TIME, &error)) {
        std::cerr << "cannot open " << address << ": " << (error ? error->message : "no handler") << '\n';
        if (error)
            g_error_free(error);
    }
}



int GtkBackend::runDialog(void* dialog)
{
    // Known while it runs, so that quit() can end it.
    activeDialog_ = dialog;
    const int response = gtk_dialog_run(GTK_DIALOG(dialog));
    activeDialog_ = nullptr;
    return response;
}

void GtkBackend::endDialogs()
{
    if (activeDialog_)
        gtk_dialog_response(GTK_DIALOG(activeDialog_), GTK_RESPONSE_CANCEL);
}

} // namespace forms

namespace forms {

Backend* OpenDesktopBackend(std::string& problem)
{
    GtkBackend& desktop = GtkBackend::instance();
    return desktop.open(problem) ? &desktop : nullptr;
}

} // namespace forms
