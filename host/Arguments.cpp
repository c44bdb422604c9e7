#include "host/Arguments.h"

#include "host/Interpreter.h"
#include "platform/gdi/ColorNames.h"
#include "platform/gdi/codecs/Bmp.h"
#include "platform/gdi/codecs/Jpeg.h"
#include "platform/gdi/codecs/Png.h"
#include "platform/system/Files.h"
#include "platform/system/Text1251.h"

#include <filesystem>
#include <sstream>

namespace host {

using forms::MouseButton;

int readInt32(const Statement& statement, const std::string& text, const char* what)
{
    std::int64_t value = 0;
    if (!readInteger(text, value) || value < INT32_MIN || value > INT32_MAX)
        throw ScriptError{statement.line, std::string(what) + ": " + host::quoted(text) + " is not a 32-bit integer"};
    return static_cast<int>(value);
}

MouseButton readButton(const Statement& statement, const std::string& text)
{
    const std::string word = sys::LowerCaseAscii(text);
    if (word == "left")
        return MouseButton::Left;
    if (word == "right")
        return MouseButton::Right;
    if (word == "middle")
        return MouseButton::Middle;
    throw ScriptError{statement.line, "unknown button " + host::quoted(text) + " (left, right or middle)"};
}

// Comma-separated buttons and keys; "none" is the empty set.
forms::ShiftState readShift(const Statement& statement, const std::string& text, bool buttonsAllowed)
{
    forms::ShiftState shift = 0;
    std::stringstream words(sys::LowerCaseAscii(text));
    for (std::string word; std::getline(words, word, ',');) {
        if (word == "shift")
            shift |= forms::ssShift;
        else if (word == "ctrl")
            shift |= forms::ssCtrl;
        else if (word == "alt")
            shift |= forms::ssAlt;
        else if (word == "none")
            continue;
        else if (buttonsAllowed && (word == "left" || word == "right" || word == "middle"))
            shift |= forms::ButtonFlag(readButton(statement, word));
        else
            throw ScriptError{statement.line, "unknown key " + host::quoted(word)};
    }
    return shift;
}

std::string rgbText(gdi::Color c)
{
    return std::to_string(gdi::RedOf(c)) + "," + std::to_string(gdi::GreenOf(c)) + "," + std::to_string(gdi::BlueOf(c));
}

gdi::Color readRgb(const Statement& statement, const std::string& text)
{
    std::stringstream parts(text);
    int channel[3];
    std::string part;
    for (int i = 0; i < 3; ++i) {
        if (!std::getline(parts, part, ','))
            throw ScriptError{statement.line, host::quoted(text) + " is not a colour R,G,B"};
        channel[i] = readInt32(statement, part, "colour");
        if (channel[i] < 0 || channel[i] > 255)
            throw ScriptError{statement.line, host::quoted(text) + " has a component outside 0..255"};
    }
    if (std::getline(parts, part, ','))
        throw ScriptError{statement.line, host::quoted(text) + " is not a colour R,G,B"};
    return gdi::Rgb(channel[0], channel[1], channel[2]);
}

// A colour as the host's font chooser gives it: an identifier, or an integer
// in decimal or hexadecimal ($ or 0x).
namespace {

gdi::Color readFontColor(const Statement& statement, const std::string& text)
{
    if (auto named = gdi::ColorFromIdentifier(text))
        return *named;
    std::string digits = text;
    int base = 10;
    if (!digits.empty() && digits[0] == '$') {
        digits = digits.substr(1);
        base = 16;
    } else if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits = digits.substr(2);
        base = 16;
    }
    try {
        std::size_t used = 0;
        const unsigned long long value = std::stoull(digits, &used, base);
        if (used == digits.size() && value <= 0xFFFFFFFFull && !digits.empty() && digits[0] != '-' && digits[0] != '+')
            return static_cast<gdi::Color>(value);
    } catch (const std::exception&) {
    }
    throw ScriptError{statement.line, host::quoted(text) + " is not a colour identifier or integer"};
}

} // namespace

gdi::Font readFont(const Statement& statement, const std::string& text)
{
    std::vector<std::string> fields;
    std::stringstream parts(text);
    for (std::string field; std::getline(parts, field, '|');)
        fields.push_back(field);
    if (!text.empty() && text.back() == '|')
        fields.emplace_back();
    if (fields.size() != 5)
        throw ScriptError{statement.line, "a font answer has five fields Name|Colour|Size|Styles|Charset, got "
                                              + host::quoted(text)};
    gdi::Font font;
    font.setName(fields[0]);
    font.setColor(readFontColor(statement, fields[1]));
    font.setSize(readInt32(statement, fields[2], "font size"));
    font.setBold(fields[3].find("fsBold") != std::string::npos);
    font.setItalic(fields[3].find("fsItalic") != std::string::npos);
    font.setUnderline(fields[3].find("fsUnderline") != std::string::npos);
    font.setStrikeOut(fields[3].find("fsStrikeOut") != std::string::npos);
    font.setCharset(readInt32(statement, fields[4], "character set"));
    return font;
}

void writePicture(const Statement& statement, const std::string& file, const gdi::Bitmap& picture)
{
    const std::string extension = sys::LowerCaseAscii(std::filesystem::path(file).extension().string());
    if (extension != ".png" && extension != ".bmp")
        throw ScriptError{statement.line, "snapshots are written as .png or .bmp, not " + host::quoted(file)};
    // The name is a host text: the file system layer converts it.
    if (!sys::SystemFileName(file))
        throw ScriptError{statement.line, "cannot write " + host::quoted(file)
                                              + ": the name holds the byte 0x98, which no character has"};
    const std::string parent = std::filesystem::path(file).parent_path().string();
    if (!parent.empty())
        sys::CreateDirectories(parent);
    try {
        if (extension == ".png")
            gdi::SavePng(file, picture);
        else
            gdi::SaveBmp24(file, picture);
    } catch (const std::exception& failure) {
        throw ScriptError{statement.line, "cannot write " + host::quoted(file) + ": " + failure.what()};
    }
}

forms::Answer readAnswer(const Interpreter& in, const Statement& s)
{
    const std::string kind = sys::LowerCaseAscii(in.argument(s, 0));
    auto needs = [&](std::size_t count) {
        if (s.args.size() != count)
            throw ScriptError{s.line, "Answer " + kind + " takes " + std::to_string(count - 1) + " argument"
                                          + (count == 2 ? "" : "s")};
    };
    forms::Answer answer;
    if (kind == "color") {
        needs(2);
        answer.kind = forms::Answer::Kind::Color;
        answer.color = readRgb(s, in.argument(s, 1));
    } else if (kind == "font") {
        needs(2);
        answer.kind = forms::Answer::Kind::Font;
        answer.font = readFont(s, in.argument(s, 1));
    } else if (kind == "file") {
        needs(2);
        answer.kind = forms::Answer::Kind::File;
        answer.text = in.argument(s, 1);
    } else if (kind == "pick") {
        needs(2);
        answer.kind = forms::Answer::Kind::Pick;
        answer.text = in.argument(s, 1);
    } else if (kind == "cancel") {
        needs(1);
        answer.kind = forms::Answer::Kind::Cancel;
    } else if (kind == "dialog") {
        static const char* const kEndings = "OK, Cancel, key:Enter, key:Escape or close";
        if (s.args.size() < 2)
            throw ScriptError{s.line, std::string("Answer dialog needs its operations, the last ") + kEndings};
        answer.kind = forms::Answer::Kind::Dialog;
        for (std::size_t i = 1; i < s.args.size(); ++i)
            answer.steps.push_back(in.argument(s, i));
        const std::string last = sys::LowerCaseAscii(answer.steps.back());
        if (last != "ok" && last != "cancel" && last != "key:enter" && last != "key:escape" && last != "close")
            throw ScriptError{s.line, std::string("Answer dialog: the last operation is ") + kEndings};
    } else {
        throw ScriptError{s.line, "unknown answer " + host::quoted(in.argument(s, 0))
                                      + " (color, font, file, pick, cancel or dialog)"};
    }
    return answer;
}

ButtonStatement readButtonStatement(const Interpreter& in, const Statement& s)
{
    ButtonStatement button;
    button.name = in.argument(s, 0);
    button.x = readInt32(s, in.argument(s, 1), "Button");
    button.y = readInt32(s, in.argument(s, 2), "Button");
    button.width = readInt32(s, in.argument(s, 3), "Button");
    button.height = readInt32(s, in.argument(s, 4), "Button");
    if (button.width < 0 || button.height < 0)
        throw ScriptError{s.line, "Button: negative size"};
    button.caption = in.argument(s, 5);
    button.subroutine = in.argument(s, 6);
    if (s.args.size() == 8) {
        const std::string file = in.argument(s, 7);
        const std::string extension = sys::LowerCaseAscii(std::filesystem::path(file).extension().string());
        try {
            if (extension == ".bmp")
                button.picture = gdi::LoadBmp(file);
            else if (extension == ".jpg" || extension == ".jpeg")
                button.picture = gdi::LoadJpeg(file);
            else
                throw ScriptError{s.line, "Button: the picture " + host::quoted(file) + " is not .bmp, .jpg or .jpeg"};
        } catch (const ScriptError&) {
            throw;
        } catch (const std::exception& failure) {
            throw ScriptError{s.line, "Button: cannot read " + host::quoted(file) + ": " + failure.what()};
        }
    }
    return button;
}

} // namespace host
