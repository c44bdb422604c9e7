#pragma once

#include "platform/forms/Control.h"

#include <functional>
#include <string>
#include <vector>

namespace forms {

class ComboList;

// A drop-down list: its text is always one of its items or empty. A press
// opens the list under the box (above it when there is no room below); the
// list is a child of the box's form, in front of everything else, showing
// up to dropDownCount() items with a scroll bar for the rest. A click on an
// item selects it and closes the list; a press anywhere else closes it. Up
// and Down change the selection, open or closed; Enter and Escape close the
// list; losing the focus closes it.
class ComboBox : public Control {
public:
    explicit ComboBox(std::string name = {});

    void addItem(std::string item);
    void clearItems();
    const std::vector<std::string>& items() const { return items_; }
    // -1 for none; an index out of range selects none.
    int itemIndex() const { return index_; }
    void setItemIndex(int index);
    std::string text() const;
    // Runs when the author changes the selection (a click in the list, the
    // arrow keys, a scripted value), not on setItemIndex().
    std::function<void()> onChange;

    bool droppedDown() const { return dropped_; }
    void setDroppedDown(bool open);
    int dropDownCount() const { return dropDownCount_; }
    void setDropDownCount(int count) { dropDownCount_ = count < 1 ? 1 : count; }

    // Where the author's hand goes, in the open list's own coordinates: the
    // row of an item (empty when closed or scrolled out of view) and the
    // list's scroll arrows (empty when the list does not scroll).
    Control* dropDownList() const;
    int topIndex() const;
    gdi::IntRect listItemRect(int index) const;
    gdi::IntRect listScrollRect(bool up) const;
    // The drop-down arrow button, in the box's own coordinates.
    gdi::IntRect buttonRect() const;

    // Selects the item equal to `text` (case-sensitive); false when the list
    // does not offer it.
    bool setValueText(const std::string& text) override;
    bool focusable() const override { return true; }
    bool wantsDialogKey(Key key) const override;
    void keyDown(Key key, char character, ShiftState shift) override;
    void focusChanged(bool focused) override;
    void mouseDown(MouseButton button, ShiftState shift, int x, int y) override;
    void setVisible(bool visible) override;

protected:
    void paint(gdi::Canvas& canvas) override;

private:
    friend class ComboList;
    void choose(int index);

    std::vector<std::string> items_;
    int index_ = -1;
    bool dropped_ = false;
    int dropDownCount_ = 8;
    ComboList* list_;
};

} // namespace forms
