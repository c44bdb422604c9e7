#pragma once

#include "editor/Layouts.h"

#include <array>
#include <span>
#include <string_view>

// What each of the 52 action editors puts into its dialog: the class, the
// hint, and per parameter slot the control that edits it, its prompt, how
// the slot's text is loaded and which buttons are shown beside it.
namespace zenvas::editor {

// How a slot's text becomes a field's value when the dialog opens.
enum class Rule {
    Text,             // unchanged into a text field
    Choice,           // the item equal to it (case-sensitive) is selected, else none
    Floor,            // all digits: max(value, floor); anything else: floor
    FloorKeepDefault, // empty: the default; not all digits: floor; else max(value, floor)
    Digits,           // all digits: its value; anything else: the default
    Integer,          // a signed decimal integer; empty or not an integer: the default
};

enum class Items { None, PenStyles, BrushStyles, Booleans, Extensions };

std::span<const std::string_view> ItemsOf(Items items);

struct Field {
    int slot;
    std::string_view control;     // LEdit2, SpinEdit1, ComboBox1 ...
    std::string_view prompt;
    std::string_view promptLabel; // the Label over a spin field or choice list; an edit has its own
    Rule rule = Rule::Text;
    int floor = 0;
    bool ranged = false; // `range` replaces the class's range and default
    SpinRange range = {};
    Items items = Items::None;
    std::array<std::string_view, 2> buttons = {}; // shown beside the field
};

// A component put somewhere else (-1 keeps that coordinate).
struct Move {
    std::string_view name;
    int left = -1;
    int top = -1;
};

struct ActionEditor {
    int number;
    DialogClass dialog;
    std::string_view hint;
    // In the order the dialog is filled, slot 0 first.
    std::span<const Field> fields;
    std::span<const std::string_view> shown = {};
    std::span<const std::string_view> hidden = {};
    std::span<const Move> moves = {};
};

// The editor of action `number` (1..52), or null.
const ActionEditor* FindActionEditor(int number);

// All 52, by number.
std::span<const ActionEditor> ActionEditors();

} // namespace zenvas::editor
