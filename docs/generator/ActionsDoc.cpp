// zenvas-actions-doc: the generated parts of docs/actions.md, made from the
// action table and the action editors, so the reference cannot drift from
// the code.
//
//   zenvas-actions-doc              print every generated block
//   zenvas-actions-doc --check FILE exit 1 when FILE's blocks differ
//   zenvas-actions-doc --update FILE rewrite FILE's blocks in place
//
// A block starts with a line "<!-- generated: zenvas-actions-doc KEY -->"
// and ends with the line "<!-- end generated -->"; KEY is "summary" or an
// action number. Everything outside the blocks is left as written.

#include "editor/ActionEditors.h"
#include "editor/Layouts.h"
#include "plugin/ActionTable.h"

#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

namespace {

using namespace zenvas;
using namespace zenvas::editor;

const std::string kEnd = "<!-- end generated -->";

std::string startMarker(const std::string& key)
{
    return "<!-- generated: zenvas-actions-doc " + key + " -->";
}

// Text for a Markdown table cell: bars escaped, a line break and the blanks
// around it as one blank, other blanks as written.
std::string cell(std::string_view text)
{
    std::string out;
    bool afterBreak = false; // blanks around a line break become one
    for (char c : text) {
        if (c == '\n') {
            while (!out.empty() && out.back() == ' ')
                out.pop_back();
            out += ' ';
            afterBreak = true;
            continue;
        }
        if (afterBreak && c == ' ')
            continue;
        afterBreak = false;
        if (c == '|')
            out += "\\|";
        else
            out += c;
    }
    std::size_t begin = out.find_first_not_of(' ');
    std::size_t end = out.find_last_not_of(' ');
    return begin == std::string::npos ? std::string() : out.substr(begin, end - begin + 1);
}

std::string code(std::string_view text)
{
    std::string inner = cell(text);
    return inner.empty() ? std::string("(empty)") : "`" + inner + "`";
}

std::string typeName(std::uint8_t type)
{
    switch (type) {
    case kTypeOrdinary:
        return "1 value";
    case kTypeCursorFile:
        return "5 cursor file";
    case kTypeVariable:
        return "6 variable";
    default:
        return std::to_string(type);
    }
}

std::string typeCodes(const ActionEntry& entry)
{
    std::string out;
    for (int i = 0; i < entry.parameterCount(); ++i) {
        if (i)
            out += ' ';
        out += std::to_string(entry.types[std::size_t(i)]);
    }
    return out;
}

const Component* componentOf(const ActionEditor& editor, std::string_view name)
{
    for (const Row& row : LayoutOf(editor.dialog).rows)
        for (const Component& c : row.components)
            if (c.name == name)
                return &c;
    return nullptr;
}

std::string buttonName(ButtonKind kind)
{
    switch (kind) {
    case ButtonKind::Rectangle:
        return "rectangle picker";
    case ButtonKind::Variable:
        return "variable picker";
    case ButtonKind::SubList:
        return "subroutine list";
    case ButtonKind::Colour:
        return "colour dialog";
    case ButtonKind::Font:
        return "font dialog";
    case ButtonKind::File:
        return "file dialog";
    }
    return "";
}

std::string ruleText(const Field& field, const SpinRange& range)
{
    const std::string def = std::to_string(range.value);
    switch (field.rule) {
    case Rule::Text:
        return "as written";
    case Rule::Choice:
        return "the equal item, else none";
    case Rule::Floor:
        return "digits: at least " + std::to_string(field.floor) + "; else " + std::to_string(field.floor);
    case Rule::FloorKeepDefault:
        return "empty: " + def + "; digits: at least " + std::to_string(field.floor) + "; else "
               + std::to_string(field.floor);
    case Rule::Digits:
        return "digits: the value; else " + def;
    case Rule::Integer:
        return "an integer: the value; else " + def;
    }
    return "";
}

std::string dialogName(DialogClass id)
{
    return std::string(LayoutOf(id).className);
}

std::string fieldRow(const ActionEditor& editor, const Field& field, const ActionEntry& entry)
{
    std::ostringstream row;
    const Component* component = componentOf(editor, field.control);
    SpinRange range = field.ranged ? field.range : (component ? component->range : SpinRange{});
    std::string control = std::string(field.control);
    std::string extra;
    if (component && component->part == Part::Spin)
        extra = std::to_string(range.min) + " to " + std::to_string(range.max) + ", starts at "
                + std::to_string(range.value);
    if (field.items != Items::None) {
        for (std::string_view item : ItemsOf(field.items)) {
            if (!extra.empty())
                extra += ' ';
            extra.append("`").append(item).append("`");
        }
    }
    // The buttons beside the field: those the editor names for it, and those
    // of the layout aimed at it that the dialog shows.
    auto listed = [](std::span<const std::string_view> names, std::string_view name) {
        for (std::string_view n : names)
            if (n == name)
                return true;
        return false;
    };
    std::string buttons;
    for (const Row& layoutRow : LayoutOf(editor.dialog).rows) {
        for (const Component& button : layoutRow.components) {
            if (button.part != Part::Button)
                continue;
            const bool named = listed(field.buttons, button.name);
            const bool aimed = button.target == field.control
                               && ((button.visible && !listed(editor.hidden, button.name))
                                   || listed(editor.shown, button.name));
            if (!named && !aimed)
                continue;
            if (!buttons.empty())
                buttons += ", ";
            buttons.append(button.name).append(" (").append(buttonName(button.kind)).append(")");
        }
    }
    row << "| " << field.slot << " | " << typeName(entry.types[std::size_t(field.slot)]) << " | " << code(field.prompt)
        << " | " << control << " | " << ruleText(field, range) << " | " << (extra.empty() ? "" : extra) << " | "
        << (buttons.empty() ? "" : buttons) << " |\n";
    return row.str();
}

std::string actionBlock(const ActionEntry& entry)
{
    const ActionEditor* editor = FindActionEditor(entry.number);
    std::ostringstream out;
    out << startMarker(std::to_string(entry.number)) << "\n";
    out << "**" << entry.number << " `" << entry.name << "`** — hint: " << code(entry.hint) << "\n\n";
    out << "Parameters: " << entry.parameterCount() << "; type codes `" << typeCodes(entry) << "`; editor "
        << dialogName(editor->dialog) << ", whose footer reads " << code(editor->hint) << ".\n\n";
    out << "| Slot | Type | Editor prompt | Control | Loaded from the slot | Range or items | Buttons |\n";
    out << "|---|---|---|---|---|---|---|\n";
    // By slot, whatever the order the dialog fills them in.
    for (int slot = 0; slot < entry.parameterCount(); ++slot)
        for (const Field& field : editor->fields)
            if (field.slot == slot)
                out << fieldRow(*editor, field, entry);
    out << kEnd << "\n";
    return out.str();
}

std::string anchorOf(std::string_view name)
{
    std::string out;
    for (char c : name)
        out += char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return out;
}

std::string summaryBlock()
{
    std::ostringstream out;
    out << startMarker("summary") << "\n";
    out << "| No. | Action | Hint | Types |\n|---|---|---|---|\n";
    for (const ActionEntry& entry : kActionTable) {
        if (entry.isHeading()) {
            out << "| | **" << entry.name << "** (heading) | | |\n";
            continue;
        }
        out << "| " << entry.number << " | [" << entry.name << "](#" << anchorOf(entry.name) << ") | "
            << cell(entry.hint) << " | " << typeCodes(entry) << " |\n";
    }
    out << kEnd << "\n";
    return out.str();
}

std::map<std::string, std::string> allBlocks()
{
    std::map<std::string, std::string> blocks;
    blocks["summary"] = summaryBlock();
    for (const ActionEntry& entry : kActionTable)
        if (!entry.isHeading())
            blocks[std::to_string(entry.number)] = actionBlock(entry);
    return blocks;
}

// Replaces every block of `text`; reports keys that are unknown, repeated or
// missing in `problems`.
std::string refresh(const std::string& text, std::string& problems)
{
    const auto blocks = allBlocks();
    std::map<std::string, int> seen;
    const std::string prefix = "<!-- generated: zenvas-actions-doc ";
    std::string out;
    std::size_t pos = 0;
    while (true) {
        std::size_t start = text.find(prefix, pos);
        if (start == std::string::npos) {
            out += text.substr(pos);
            break;
        }
        std::size_t close = text.find(" -->", start);
        std::size_t end = text.find(kEnd, start);
        if (close == std::string::npos || end == std::string::npos) {
            problems += "a generated block that does not end\n";
            out += text.substr(pos);
            break;
        }
        std::string key = text.substr(start + prefix.size(), close - start - prefix.size());
        out += text.substr(pos, start - pos);
        auto found = blocks.find(key);
        if (found == blocks.end()) {
            problems += "unknown generated block \"" + key + "\"\n";
            out += text.substr(start, end + kEnd.size() + 1 - start);
        } else {
            out += found->second;
            ++seen[key];
        }
        pos = end + kEnd.size();
        if (pos < text.size() && text[pos] == '\n')
            ++pos;
    }
    for (const auto& [key, block] : blocks) {
        if (seen[key] == 0)
            problems += "no generated block \"" + key + "\"\n";
        else if (seen[key] > 1)
            problems += "generated block \"" + key + "\" appears " + std::to_string(seen[key]) + " times\n";
    }
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 1) {
        const auto blocks = allBlocks();
        std::cout << blocks.at("summary");
        for (const ActionEntry& entry : kActionTable)
            if (!entry.isHeading())
                std::cout << "\n" << blocks.at(std::to_string(entry.number));
        return 0;
    }
    const std::string mode = argv[1];
    if (argc != 3 || (mode != "--check" && mode != "--update")) {
        std::cerr << "usage: zenvas-actions-doc [--check FILE | --update FILE]\n";
        return 2;
    }
    const std::string file = argv[2];
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::cerr << "zenvas-actions-doc: cannot read " << file << "\n";
        return 2;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    std::string problems;
    const std::string fresh = refresh(text, problems);
    if (mode == "--update") {
        if (fresh != text) {
            std::ofstream(file, std::ios::binary) << fresh;
            std::cout << "zenvas-actions-doc: refreshed " << file << "\n";
        }
        if (!problems.empty()) {
            std::cerr << problems;
            return 1;
        }
        return 0;
    }
    if (fresh != text || !problems.empty()) {
        std::cerr << problems;
        if (fresh != text)
            std::cerr << file << ": the generated parts are out of date with the action table and the editors.\n";
        std::cerr << "Refresh them with: bash scripts/update-docs.sh (or cmake --build BUILD --target "
                     "zenvas-update-docs) and commit the result.\n";
        return 1;
    }
    return 0;
}
