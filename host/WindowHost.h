#pragma once

#include "host/Interpreter.h"
#include "host/Rectangles.h"
#include "platform/forms/Window.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace host {

// The page and its rectangles as windows of the platform's window system,
// and the script commands that need them: Rectangle, Pointer, Drag,
// Button, ButtonDown, Page, Choose, Ask, CursorInfo, WindowMessage,
// Snapshot, SnapshotPicture, SnapshotWindow, Answer, Edit and ExpectPixel. It also routes the headless backend's error
// boxes and dialog traces to the interpreter.
class WindowHost final : public RectangleRegistry {
public:
    explicit WindowHost(Interpreter& interpreter);
    ~WindowHost() override;
    WindowHost(const WindowHost&) = delete;
    WindowHost& operator=(const WindowHost&) = delete;

    std::int64_t handleOf(std::string_view name) const override;
    forms::Window* rectangle(std::string_view name) const;
    // The page window holding the rectangles and buttons.
    forms::Window& page() { return page_; }
    // Opens the editor of the action `name` on `slots` (replaced by what
    // the editor leaves in them); false when it was cancelled. A wrong name
    // or slot count is a script error at `line`.
    bool editAction(const std::string& name, std::vector<std::string>& slots, int line);

private:
    void defineCommands();
    forms::Window& requireRectangle(const Statement& statement, const std::string& name) const;
    void pointer(const Statement& statement);
    void drag(const Statement& statement);
    void answer(const Statement& statement);
    void edit(const Statement& statement);
    void button(const Statement& statement);
    void choose(const Statement& statement);
    void ask(const Statement& statement);
    void send(forms::WindowHandle handle, forms::PointerKind kind, forms::MouseButton button,
              forms::ShiftState shift, int x, int y);
    void checkDialogErrors(const Statement& statement);

    Interpreter& interpreter_;
    forms::Window page_{"Page"};
    std::map<std::string, std::unique_ptr<forms::Window>> rectangles_; // lower-case name
    forms::ShiftState heldButtons_ = 0;
    std::string dialogError_;
};

} // namespace host
