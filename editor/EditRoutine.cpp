#include "editor/EditRoutine.h"

#include "editor/ActionEditors.h"
#include "editor/EditorDialog.h"
#include "plugin/ActionTable.h"
#include "plugin/Reasons.h"
#include "plugin/Dispatch.h"
#include "plugin/Values.h"
#include "platform/forms/ComboBox.h"
#include "platform/forms/LabeledEdit.h"
#include "platform/forms/SpinEdit.h"
#include "platform/forms/Window.h"
#include "platform/system/GlobalMemory.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <utility>
#include <vector>

namespace zenvas::editor {

namespace {

std::string_view SlotText(std::span<char*> slots, int slot)
{
    return std::size_t(slot) < slots.size() && slots[std::size_t(slot)] ? slots[std::size_t(slot)]
                                                                        : std::string_view();
}

// A decimal text with an optional sign that fits 32 bits.
std::optional<int> DecimalInteger(std::string_view text)
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// What a spin field shows for a slot under a loading rule; nothing keeps
// its default. Texts that are not 32-bit integers keep the default too.
std::optional<int> SpinLoad(Rule rule, int floor, std::string_view text)
{
    const bool digits = !HasNonDigit(text);
    const std::optional<int> value = digits ? DecimalInteger(text) : std::nullopt;
    switch (rule) {
    case Rule::FloorKeepDefault:
        if (text.empty())
            return std::nullopt;
        [[fallthrough]];
    case Rule::Floor:
        if (!digits)
            return floor;
        return value ? std::optional(std::max(*value, floor)) : std::nullopt;
    case Rule::Digits:
        return value;
    case Rule::Integer:
        return DecimalInteger(text);
    case Rule::Text:
    case Rule::Choice:
        break;
    }
    return std::nullopt;
}

void Fill(TEditorDialog& dialog, const Field& field, std::string_view text)
{
    if (auto* edit = dialog.component<forms::LabeledEdit>(field.control)) {
        edit->editLabel().setCaption(std::string(field.prompt));
        edit->setText(std::string(text));
        edit->show();
    } else if (auto* spin = dialog.component<forms::SpinEdit>(field.control)) {
        if (field.ranged) {
            spin->setMinValue(field.range.min);
            spin->setMaxValue(field.range.max);
            spin->setMaxLength(field.range.maxLength);
            spin->setValue(field.range.value);
        }
        if (const std::optional<int> value = SpinLoad(field.rule, field.floor, text))
            spin->setValue(*value);
        spin->show();
    } else if (auto* combo = dialog.component<forms::ComboBox>(field.control)) {
        combo->clearItems();
        const auto items = ItemsOf(field.items);
        for (std::string_view item : items)
            combo->addItem(std::string(item));
        const auto match = std::find(items.begin(), items.end(), text);
        combo->setItemIndex(match == items.end() ? -1 : int(match - items.begin()));
        combo->show();
    }
    if (auto* label = dialog.component<forms::Label>(field.promptLabel)) {
        label->setCaption(std::string(field.prompt));
        label->show();
    }
    for (std::string_view button : field.buttons)
        if (forms::Control* shown = dialog.component<forms::Control>(button))
            shown->show();
}

std::string FieldText(TEditorDialog& dialog, const Field& field)
{
    if (auto* edit = dialog.component<forms::LabeledEdit>(field.control))
        return edit->text();
    if (auto* spin = dialog.component<forms::SpinEdit>(field.control))
        return std::to_string(spin->value());
    if (auto* combo = dialog.component<forms::ComboBox>(field.control))
        return combo->text();
    return {};
}

// Every copy is made before any slot changes: a failure part way leaves
// every slot as it was.
bool WriteBack(TEditorDialog& dialog, const ActionEditor& editor, std::span<char*> slots)
{
    std::vector<char*> copies;
    try {
        for (std::size_t slot = 0; slot < slots.size(); ++slot)
            for (const Field& field : editor.fields)
                if (field.slot == int(slot))
                    copies.push_back(sys::GlobalAllocText(FieldText(dialog, field)));
    } catch (...) {
        RecordCurrentFailure("parameters left unchanged");
        for (char* copy : copies)
            sys::GlobalFree(copy);
        return false;
    }
    for (std::size_t slot = 0; slot < copies.size(); ++slot) {
        sys::GlobalFree(slots[slot]);
        slots[slot] = copies[slot];
    }
    return true;
}

} // namespace

bool RunEditor(int number, std::span<char*> slots)
{
    const ActionEditor* editor = FindActionEditor(number);
    const ActionEntry* action = FindAction(number);
    if (!editor || !action)
        return false;
    std::unique_ptr<TEditorDialog> dialog = MakeDialog(editor->dialog);
    // A host query answered while the dialog is open may open another
    // editor of the same class; this dialog is current again after it.
    TEditorDialog* const outer = CurrentDialog(editor->dialog);
    CurrentDialog(editor->dialog) = dialog.get();
    dialog->setOwnerWindow(forms::WindowSystem::instance().activeWindow());
    const std::string name(action->name);
    dialog->setCaption(name);

    for (const Field& field : editor->fields)
        Fill(*dialog, field, SlotText(slots, field.slot));
    for (std::string_view hidden : editor->hidden)
        dialog->component<forms::Control>(hidden)->hide();
    for (std::string_view shown : editor->shown) {
        forms::Control* control = dialog->component<forms::Control>(shown);
        control->show();
        control->bringToFront();
    }
    for (const Move& move : editor->moves) {
        forms::Control* control = dialog->component<forms::Control>(move.name);
        control->setBounds(move.left >= 0 ? move.left : control->left(), move.top >= 0 ? move.top : control->top(),
                           control->width(), control->height());
    }
    dialog->LabelCommand->setCaption(name);
    dialog->GradientLabel->setWidth(10 * int(name.size()));
    dialog->LabelInfo->setCaption(std::string(editor->hint));

    struct Restore {
        TEditorDialog*& current;
        TEditorDialog* outer;
        ~Restore() { current = outer; }
    } restore{CurrentDialog(editor->dialog), outer};
    const bool confirmed = dialog->showModal() == forms::ModalResult::Ok && WriteBack(*dialog, *editor, slots);
    forms::WindowSystem::instance().releaseLater(std::move(dialog));
    return confirmed;
}

namespace {

template <std::size_t... N>
constexpr std::array<ActionRoutines, sizeof...(N)> EditRoutines(std::index_sequence<N...>)
{
    return {{{int(N) + 1, nullptr, [](std::span<char*> slots) { return RunEditor(int(N) + 1, slots); }}...}};
}

constexpr auto kRoutines = EditRoutines(std::make_index_sequence<kActionCount>());

// Only the edit routines: the run-time routines installed elsewhere stay.
bool InstallEditRoutines()
{
    for (const ActionRoutines& routine : kRoutines)
        InstallEditRoutine(routine.number, routine.edit);
    return true;
}

const bool kInstalled = InstallEditRoutines();

} // namespace

} // namespace zenvas::editor
