#include "platform/backends/gtk/GtkBackend.h"

#include "platform/backends/gtk/GtkTranslate.h"
#include "platform/forms/Cursor.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Form.h"
#include "platform/forms/Window.h"
#include "platform/gdi/Text.h"
#include "platform/system/Text1251.h"

#include <gtk/gtk.h>

#include <climits>
#include <cmath>
#include <iostream>

namespace forms {

struct GtkBackend::Native {
    Window* window = nullptr;
    GtkWidget* top = nullptr;
    GtkWidget* area = nullptr;
    cairo_surface_t* surface = nullptr;
    // The pointer shape shown: the control's number and the shape object
    // the screen table held for it (a replaced entry shows at once).
    int cursorNumber = INT_MIN;
    std::shared_ptr<const CursorShape> cursorShape;
    std::vector<GdkCursor*> cursorFrames;
    guint animation = 0;
    std::size_t step = 0;

    void dropCursor()
    {
        if (animation)
            g_source_remove(animation);
        animation = 0;
        for (GdkCursor* c : cursorFrames)
            g_object_unref(c);
        cursorFrames.clear();
        cursorShape.reset();
    }
    ~Native()
    {
        dropCursor();
        if (surface)
            cairo_surface_destroy(surface);
        if (top)
            gtk_widget_destroy(top);
    }
};

namespace {

std::string Utf8(const std::string& text1251)
{
    return sys::Utf8From1251(text1251);
}

// The client-area point of an event at (x, y) of the window's outer area.
gdi::Point ClientPoint(Window& window, double x, double y)
{
    const gdi::Point client = window.clientOrigin();
    return {gdi::ClampToInt(std::int64_t(std::floor(x)) - client.x),
            gdi::ClampToInt(std::int64_t(std::floor(y)) - client.y)};
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

// The signal handlers, with access to the backend's insides.
struct GtkEvents {
    using Native = GtkBackend::Native;

    static gboolean draw(GtkWidget*, cairo_t* cr, gpointer data)
    {
        auto* n = static_cast<Native*>(data);
        if (n->surface) {
            cairo_set_source_surface(cr, n->surface, 0, 0);
            cairo_paint(cr);
        }
        return TRUE;
    }

    static gboolean press(GtkWidget*, GdkEventButton* event, gpointer data)
    {
        auto* n = static_cast<Native*>(data);
        if (event->type != GDK_BUTTON_PRESS)
            return TRUE; // double and triple clicks come as single presses too
        const std::optional<MouseButton> button = gtk::ButtonFromGdk(event->button);
        if (!button)
            return TRUE;
        Window& window = *n->window;
        const int frame = CurrentBackend().frameThickness(window.style());
        const int caption = CurrentBackend().captionHeight(window.style());
        const int ex = int(event->x), ey = int(event->y);
        if (*button == MouseButton::Left && caption > 0 && ey >= frame && ey < frame + caption &&
            !window.closeBoxRect().contains(ex, ey)) {
            // Our own caption bar moves the window, as the desktop's would.
            gtk_window_begin_move_drag(GTK_WINDOW(n->top), int(event->button), int(event->x_root),
                                       int(event->y_root), event->time);
            return TRUE;
        }
        const gdi::Point p = ClientPoint(window, event->x, event->y);
        WindowSystem::instance().pointer(window.handle(), PointerKind::Down, *button,
                                         gtk::ShiftFromGdk(event->state, button), p.x, p.y);
        return TRUE;
    }

    static gboolean release(GtkWidget*, GdkEventButton* event, gpointer data)
    {
        auto* n = static_cast<Native*>(data);
        const std::optional<MouseButton> button = gtk::ButtonFromGdk(event->button);
        if (!button)
            return TRUE;
        const gdi::Point p = ClientPoint(*n->window, event->x, event->y);
        WindowSystem::instance().pointer(n->window->handle(), PointerKind::Up, *button,
                                         gtk::ShiftFromGdk(event->state, std::nullopt, button), p.x, p.y);
        return TRUE;
    }

    static gboolean motion(GtkWidget*, GdkEventMotion* event, gpointer data)
    {
        auto* n = static_cast<Native*>(data);
        const std::weak_ptr<void> alive = n->window->lifetime();
        const gdi::Point p = ClientPoint(*n->window, event->x, event->y);
        WindowSystem::instance().pointer(n->window->handle(), PointerKind::Move, MouseButton::Left,
                                         gtk::ShiftFromGdk(event->state), p.x, p.y);
        if (!alive.expired())
            GtkBackend::instance().updatePointerShape(*n->window, *n, p.x, p.y);
        return TRUE;
    }

    static gboolean scroll(GtkWidget*, GdkEventScroll* event, gpointer data)
    {
        auto* n = static_cast<Native*>(data);
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
        const gdi::Point p = ClientPoint(*n->window, event->x, event->y);
        WindowSystem::instance().wheel(n->window->handle(), delta, gtk::ShiftFromGdk(event->state), p.x, p.y);
        return TRUE;
    }

    static gboolean key(GtkWidget*, GdkEventKey* event, gpointer data)
    {
        auto* n = static_cast<Native*>(data);
        const std::optional<gtk::KeyPress> press = gtk::KeyFromGdk(event->keyval, gdk_keyval_to_unicode(event->keyval));
        if (!press)
            return FALSE;
        WindowSystem::instance().key(n->window->handle(), press->key, press->character, gtk::ShiftFromGdk(event->state));
        return TRUE;
    }

    static gboolean closeRequest(GtkWidget*, GdkEvent*, gpointer data)
    {
        GtkBackend::instance().closeRequested(*static_cast<Native*>(data)->window);
        return TRUE; // the window lives on; the framework decides
    }

    static gboolean composeIdle(gpointer)
    {
        GtkBackend& backend = GtkBackend::instance();
        backend.composeScheduled_ = false;
        backend.composeAll();
        return G_SOURCE_REMOVE;
    }

    static gboolean animate(gpointer data)
    {
        auto* n = static_cast<Native*>(data);
        const auto& steps = n->cursorShape->steps();
        n->step = (n->step + 1) % steps.size();
        const CursorStep& step = steps[n->step];
        if (GdkWindow* gdkWindow = gtk_widget_get_window(n->area))
            gdk_window_set_cursor(gdkWindow, n->cursorFrames.at(std::size_t(step.frame)));
        n->animation = g_timeout_add(std::max<guint>(1, guint(step.jiffies * 1000 / 60)), &GtkEvents::animate, n);
        return G_SOURCE_REMOVE;
    }
};

bool GtkBackend::open(std::string& problem)
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

GtkBackend::Native* GtkBackend::native(const Window& window) const
{
    auto it = natives_.find(&window);
    return it == natives_.end() ? nullptr : it->second.get();
}

GtkBackend::Native& GtkBackend::ensureNative(Window& window)
{
    if (Native* existing = native(window))
        return *existing;
    auto made = std::make_unique<Native>();
    Native& n = *made;
    n.window = &window;
    n.top = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    n.area = gtk_drawing_area_new();
    gtk_widget_set_can_focus(n.area, TRUE);
    gtk_widget_add_events(n.area, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                      GDK_SCROLL_MASK | GDK_SMOOTH_SCROLL_MASK | GDK_KEY_PRESS_MASK);
    gtk_container_add(GTK_CONTAINER(n.top), n.area);
    g_signal_connect(n.area, "draw", G_CALLBACK(&GtkEvents::draw), &n);
    g_signal_connect(n.area, "button-press-event", G_CALLBACK(&GtkEvents::press), &n);
    g_signal_connect(n.area, "button-release-event", G_CALLBACK(&GtkEvents::release), &n);
    g_signal_connect(n.area, "motion-notify-event", G_CALLBACK(&GtkEvents::motion), &n);
    g_signal_connect(n.area, "scroll-event", G_CALLBACK(&GtkEvents::scroll), &n);
    g_signal_connect(n.top, "key-press-event", G_CALLBACK(&GtkEvents::key), &n);
    g_signal_connect(n.top, "delete-event", G_CALLBACK(&GtkEvents::closeRequest), &n);
    natives_[&window] = std::move(made);
    place(window, n);
    return n;
}

void GtkBackend::place(Window& window, Native& n)
{
    GtkWindow* top = GTK_WINDOW(n.top);
    gtk_window_set_title(top, Utf8(window.caption()).c_str());
    // A window that draws its own caption keeps it; the others get the
    // desktop's frame.
    gtk_window_set_decorated(top, (window.style() & wsCaption) == 0);
    gtk_window_set_keep_above(top, (window.style() & wsStayOnTop) != 0);
    gtk_window_set_type_hint(top, (window.style() & wsToolWindow) ? GDK_WINDOW_TYPE_HINT_UTILITY
                                                                  : GDK_WINDOW_TYPE_HINT_NORMAL);
    // An owned window (the zoom window) stays with its owner's window.
    if (auto* owned = dynamic_cast<Form*>(&window))
        if (Control* owner = WindowSystem::instance().find(owned->ownerWindow())) {
            while (owner->parent())
                owner = owner->parent();
            if (auto* root = dynamic_cast<Window*>(owner); root && root != &window)
                if (Native* ownerNative = native(*root))
                    gtk_window_set_transient_for(top, GTK_WINDOW(ownerNative->top));
        }
    const int w = std::max(window.width(), 1), h = std::max(window.height(), 1);
    gtk_widget_set_size_request(n.area, w, h);
    gtk_window_set_resizable(top, FALSE);
    gtk_window_resize(top, w, h);
    auto* form = dynamic_cast<Form*>(&window);
    if (form && form->position() == FormPosition::ScreenCenter)
        gtk_window_set_position(top, GTK_WIN_POS_CENTER);
    else
        gtk_window_move(top, window.left(), window.top());
}

bool GtkBackend::shownOnScreen(const Window& window) const
{
    const Native* n = native(window);
    return n && gtk_widget_get_visible(n->top);
}

void GtkBackend::hideOnScreen(Window& window)
{
    if (Native* n = native(window))
        gtk_widget_hide(n->top);
}

void GtkBackend::placeOnScreen(Window& window)
{
    if (Native* n = native(window))
        place(window, *n);
}

void GtkBackend::forgetOnScreen(Window& window)
{
    natives_.erase(&window);
}

void GtkBackend::present(Window& window)
{
    Native& n = ensureNative(window);
    place(window, n);
    window.damage({0, 0, window.width(), window.height()});
    gtk_widget_show_all(n.top);
    gtk_widget_grab_focus(n.area);
    scheduleCompose();
}

void GtkBackend::scheduleCompose()
{
    if (composeScheduled_)
        return;
    composeScheduled_ = true;
    g_idle_add(&GtkEvents::composeIdle, nullptr);
}

void GtkBackend::composeAll()
{
    syncWindows();
    for (auto& [window, n] : natives_)
        if (window->visible() && (!window->damagedAreas().empty() || !n->surface))
            uploadWindow(*n->window, *n);
}

void GtkBackend::uploadWindow(Window& window, Native& n)
{
    const std::vector<gdi::IntRect> areas = window.compose();
    const gdi::Bitmap& frame = window.frame();
    if (frame.isEmpty())
        return;
    if (!n.surface || cairo_image_surface_get_width(n.surface) != frame.width() ||
        cairo_image_surface_get_height(n.surface) != frame.height()) {
        if (n.surface)
            cairo_surface_destroy(n.surface);
        n.surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, frame.width(), frame.height());
    }
    cairo_surface_flush(n.surface);
    unsigned char* data = cairo_image_surface_get_data(n.surface);
    const int stride = cairo_image_surface_get_stride(n.surface);
    for (const gdi::IntRect& r : areas) {
        for (int y = r.top; y < r.bottom; ++y) {
            const std::uint8_t* src = frame.scanLine(y) + std::size_t(r.left) * 3;
            auto* out = reinterpret_cast<std::uint32_t*>(data + std::size_t(y) * std::size_t(stride)) + r.left;
            for (int x = r.left; x < r.right; ++x, src += 3)
                *out++ = std::uint32_t(src[0]) | std::uint32_t(src[1]) << 8 | std::uint32_t(src[2]) << 16;
        }
        uploaded_ += std::uint64_t(r.width()) * std::uint64_t(r.height()) * 4;
        gtk_widget_queue_draw_area(n.area, r.left, r.top, int(r.width()), int(r.height()));
    }
    cairo_surface_mark_dirty(n.surface);
}

void GtkBackend::updatePointerShape(Window& window, Native& n, int x, int y)
{
    Control* under = WindowSystem::instance().controlAt(window.handle(), x, y);
    const int number = under ? under->cursor() : 0;
    std::shared_ptr<const CursorShape> shape = Screen::instance().cursor(number);
    if (number == n.cursorNumber && shape == n.cursorShape)
        return;
    n.dropCursor();
    n.cursorNumber = number;
    GdkWindow* gdkWindow = gtk_widget_get_window(n.area);
    if (!gdkWindow)
        return;
    GdkDisplay* display = gdk_window_get_display(gdkWindow);
    if (!shape) {
        GdkCursor* standard = gdk_cursor_new_from_name(display, gtk::StandardCursorName(number));
        gdk_window_set_cursor(gdkWindow, standard);
        if (standard)
            g_object_unref(standard);
        return;
    }
    for (const CursorFrame& frame : shape->frames()) {
        GdkPixbuf* pixbuf = PixbufOf(frame);
        GdkCursor* cursor = pixbuf ? gdk_cursor_new_from_pixbuf(display, pixbuf, shape->hotspotX(), shape->hotspotY())
                                   : gdk_cursor_new_from_name(display, "default");
        if (pixbuf)
            g_object_unref(pixbuf);
        n.cursorFrames.push_back(cursor);
    }
    n.cursorShape = std::move(shape);
    n.step = 0;
    const auto& steps = n.cursorShape->steps();
    const int first = steps.empty() ? 0 : steps.front().frame;
    gdk_window_set_cursor(gdkWindow, n.cursorFrames.at(std::size_t(first)));
    if (n.cursorShape->isAnimated() && steps.size() > 1)
        n.animation = g_timeout_add(std::max<guint>(1, guint(steps.front().jiffies * 1000 / 60)),
                                    &GtkEvents::animate, &n);
}

ModalResult GtkBackend::runModal(Form& form)
{
    if (answerWaiting())
        return queued().runModal(form);
    if (quitting_)
        return ModalResult::Cancel;
    present(form);
    gtk_window_set_modal(GTK_WINDOW(ensureNative(form).top), TRUE);
    const std::weak_ptr<void> alive = form.lifetime();
    while (!quitting_ && !alive.expired() && form.visible() && form.modalResult() == ModalResult::None)
        gtk_main_iteration();
    if (alive.expired())
        return ModalResult::Cancel;
    if (Native* still = native(form))
        gtk_window_set_modal(GTK_WINDOW(still->top), FALSE);
    return form.modalResult() == ModalResult::Ok ? ModalResult::Ok : ModalResult::Cancel;
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
    if (answerWaiting() || quitting_)
        return queued().chooseColor(initial);
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
    if (answerWaiting() || quitting_)
        return queued().chooseFont(initial);
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
    if (answerWaiting() || quitting_)
        return queued().chooseFile(save, filter, initial);
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
    if (!initial.empty()) {
        if (save)
            gtk_file_chooser_set_current_name(chooser, initial.c_str());
        else
            gtk_file_chooser_set_filename(chooser, initial.c_str());
    }
    const int response = runDialog(dialog);
    std::optional<std::string> chosen;
    if (response == GTK_RESPONSE_ACCEPT && !quitting_)
        if (char* name = gtk_file_chooser_get_filename(chooser)) {
            chosen = name;
            g_free(name);
        }
    gtk_widget_destroy(dialog);
    return chosen;
}

void GtkBackend::messageBox(const std::string& text, const std::string& caption)
{
    if (quitting_) {
        queued().messageBox(text, caption);
        return;
    }
    GtkWidget* dialog = gtk_message_dialog_new(ActiveGtkWindow(), GTK_DIALOG_MODAL, GTK_MESSAGE_INFO, GTK_BUTTONS_OK,
                                               "%s", Utf8(text).c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), Utf8(caption).c_str());
    runDialog(dialog);
    gtk_widget_destroy(dialog);
}

void GtkBackend::errorBox(const std::string& message)
{
    // Counted and reported as without a screen, then shown.
    queued().errorBox(message);
    if (quitting_)
        return;
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

void GtkBackend::runUntilClosed(Window& window)
{
    const std::weak_ptr<void> alive = window.lifetime();
    composeAll();
    while (!quitting_ && !alive.expired() && window.visible())
        gtk_main_iteration();
}

void GtkBackend::quit()
{
    quitting_ = true;
    endModalLoops();
    g_main_context_wakeup(nullptr);
}

int GtkBackend::runDialog(void* dialog)
{
    // Known while it runs, so that quit() can end it.
    activeDialog_ = dialog;
    const int response = gtk_dialog_run(GTK_DIALOG(dialog));
    activeDialog_ = nullptr;
    return response;
}

void GtkBackend::endModalLoops()
{
    if (activeDialog_)
        gtk_dialog_response(GTK_DIALOG(activeDialog_), GTK_RESPONSE_CANCEL);
}

} // namespace forms
