#pragma once

#include "platform/forms/Input.h"
#include "platform/gdi/Bitmap.h"
#include "platform/gdi/Canvas.h"
#include "platform/gdi/Rect.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace forms {

class Window;

// A node of the control tree. A control has a name, bounds in its parent's
// client coordinates, visibility, children in z-order (last = topmost),
// pointer events and a way to paint itself. Windowed controls (forms and the
// host's rectangles) derive from Window and have a handle.
class Control {
public:
    explicit Control(std::string name = {});
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    // The display tree: a control is painted and hit inside its parent.
    // Parenting does not own; ownership is separate (below), as a canvas
    // form is owned by the canvas list but shown inside a host window.
    Control* parent() const { return parent_; }
    // Moves the control into `parent` (null: top level), on top of its new
    // siblings.
    void setParent(Control* parent);
    const std::vector<Control*>& children() const { return children_; }
    void bringToFront();
    // The first descendant in the display tree (depth first) with that name.
    Control* find(const std::string& name);

    // Ownership: owned components are destroyed with their owner.
    template <class T>
    T* own(std::unique_ptr<T> component)
    {
        T* raw = component.get();
        owned_.push_back(std::unique_ptr<Control>(std::move(component)));
        return raw;
    }
    // Owns `child` and makes this control its parent.
    template <class T>
    T* addChild(std::unique_ptr<T> child)
    {
        T* raw = own(std::move(child));
        raw->setParent(this);
        return raw;
    }
    // Destroys an owned component now; false when it is not owned here.
    bool destroyOwned(Control* component);
    // Gives up ownership of a component (null when it is not owned here).
    std::unique_ptr<Control> disown(Control* component);

    // Bounds in the parent's client coordinates (outer size for windows).
    // A width or height may be negative: the control then covers nothing.
    const gdi::IntRect& bounds() const { return bounds_; }
    void setBounds(int left, int top, int width, int height);
    int left() const { return bounds_.left; }
    int top() const { return bounds_.top; }
    int width() const { return static_cast<int>(bounds_.width()); }
    int height() const { return static_cast<int>(bounds_.height()); }
    void setLeft(int left) { setBounds(left, top(), width(), height()); }
    void setTop(int top) { setBounds(left(), top, width(), height()); }
    void setWidth(int width) { setBounds(left(), top(), width, height()); }
    void setHeight(int height) { setBounds(left(), top(), width(), height); }
    // Whether (x, y) of the control's own coordinates lies on it.
    bool covers(int x, int y) const { return x >= 0 && y >= 0 && x < width() && y < height(); }
    // Moves without telling the parent (scrolling).
    void moveBy(int dx, int dy);

    bool visible() const { return visible_; }
    virtual void setVisible(bool visible);
    void show() { setVisible(true); }
    void hide() { setVisible(false); }
    // Whether this control and every ancestor are visible.
    bool showing() const;

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled)
    {
        if (enabled != enabled_) {
            enabled_ = enabled;
            invalidate();
        }
    }

    // Controls that let the pointer fall through to what lies below them.
    bool transparentToPointer() const { return transparentToPointer_; }
    void setTransparentToPointer(bool transparent) { transparentToPointer_ = transparent; }

    // Pointer shape number shown over the control (0 default).
    int cursor() const { return cursor_; }
    void setCursor(int cursor) { cursor_ = cursor; }

    // Where the client area starts inside the bounds, and its size.
    virtual gdi::Point clientOrigin() const { return {0, 0}; }
    virtual int clientWidth() const { return width(); }
    virtual int clientHeight() const { return height(); }
    // Offset added to every child's position (scrolling).
    virtual gdi::Point childOffset() const { return {0, 0}; }
    // The visible part of the client area children are clipped to, in
    // client coordinates.
    virtual gdi::IntRect childClip() const { return {0, 0, clientWidth(), clientHeight()}; }

    // Position of this control's top-left in the coordinates of `ancestor`'s
    // client area (or the screen when null).
    gdi::Point originIn(const Control* ancestor) const;

    // The window this control lives in (itself if it is one).
    Window* window();

    // Pointer events, in this control's own coordinates.
    std::function<void(MouseButton, ShiftState, int, int)> onMouseDown;
    std::function<void(ShiftState, int, int)> onMouseMove;
    std::function<void(MouseButton, ShiftState, int, int)> onMouseUp;
    std::function<void()> onClick;

    virtual void mouseDown(MouseButton button, ShiftState shift, int x, int y);
    virtual void mouseMove(ShiftState shift, int x, int y);
    virtual void mouseUp(MouseButton button, ShiftState shift, int x, int y);
    virtual void click();
    // The wheel turned by `delta` (120 a notch, positive away from the
    // user) over the control. Answers whether it was used; the default
    // hands it to the parent, at the parent's coordinates.
    virtual bool mouseWheel(int delta, ShiftState shift, int x, int y);

    // Keyboard input. A focusable control takes its form's focus when it is
    // pressed or tabbed to; keys entering at the window go to the focused
    // control unless the form uses them (Tab, Enter, Escape).
    virtual bool focusable() const { return false; }
    // Whether the focused control takes Enter, Escape or Tab itself instead
    // of the form (an open drop-down list closes on Enter).
    virtual bool wantsDialogKey(Key) const { return false; }
    // `character` is set for Key::Character only.
    virtual void keyDown(Key key, char character, ShiftState shift);
    virtual void focusChanged(bool) {}
    // This control holds the focus of the form it lives in.
    bool focused() const;

    // The deepest visible, enabled control under (x, y) of this control's
    // own coordinates, or this control itself; null when outside. `local`,
    // when given, receives the point in the found control's coordinates.
    Control* controlAt(int x, int y, gdi::Point* local = nullptr);

    // Paints the control with its children through `canvas`, whose origin
    // is the control's top-left; only the canvas's clip changes.
    void paintTo(gdi::Canvas& canvas);
    // The control alone, with its children, as a picture of its own size.
    gdi::Bitmap snapshot();

    // Marks the control's area, or `rect` of its own coordinates, for
    // repainting in the top-level window that shows it. A control that
    // shows only part of its area (a frame) may mark just that.
    virtual void invalidate();
    void invalidate(const gdi::IntRect& rect);

    // Weak observer of this control: false once it is destroyed.
    std::weak_ptr<void> lifetime() const { return alive_; }

    // Hook for a driver that sets a control's value by text (dialog
    // automation): false when the control takes no such value.
    virtual bool setValueText(const std::string& text);

protected:
    // Draws the control itself (not its children) through `canvas`: the
    // origin is the control's top-left, the clip lies within its bounds,
    // and the pen, brush and font start as new ones.
    virtual void paint(gdi::Canvas& canvas);
    // False for controls that leave parts of their area alone (transparent
    // labels, rounded bands): paint() then draws over the pixels already
    // composed below the control. An opaque control starts from white
    // unless it covers its whole area itself.
    virtual bool opaque() const { return true; }
    virtual bool coversArea() const { return false; }
    // Drawn after the children, directly over the composed picture of the
    // parent (overlays such as frames), with the origin at the control's
    // top-left and the parent's child clip. Default: nothing.
    virtual bool paintsAsOverlay() const { return false; }
    virtual void paintOverlay(gdi::Canvas& canvas);
    virtual void boundsChanged() {}
    // Called after setParent() moved the control to another parent.
    virtual void parentChanged() {}

private:
    std::string name_;
    Control* parent_ = nullptr;
    std::vector<Control*> children_;
    std::vector<std::unique_ptr<Control>> owned_;
    gdi::IntRect bounds_;
    bool visible_ = true;
    bool enabled_ = true;
    bool transparentToPointer_ = false;
    int cursor_ = 0;
    std::shared_ptr<char> alive_ = std::make_shared<char>(0);
};

} // namespace forms
