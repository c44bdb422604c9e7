#pragma once

#include "platform/gdi/Color.h"

#include <string>

namespace gdi {

// A logical font: the face is looked up by name when text is drawn.
class Font {
public:
    const std::string& name() const { return name_; }
    void setName(std::string n) { name_ = std::move(n); }
    // The colour as it was given (a system colour or clNone stays one);
    // drawing resolves it.
    Color color() const { return color_; }
    void setColor(Color c) { color_ = c; }
    // Size in points at 96 pixels per inch.
    int size() const { return size_; }
    void setSize(int s) { size_ = s; }
    bool bold() const { return bold_; }
    void setBold(bool b) { bold_ = b; }
    bool italic() const { return italic_; }
    void setItalic(bool b) { italic_ = b; }
    bool underline() const { return underline_; }
    void setUnderline(bool b) { underline_ = b; }
    bool strikeOut() const { return strikeOut_; }
    void setStrikeOut(bool b) { strikeOut_ = b; }
    // Character set number as the platform numbers them (1 = default).
    int charset() const { return charset_; }
    void setCharset(int c) { charset_ = c; }

    friend bool operator==(const Font&, const Font&) = default;

private:
    std::string name_ = "Arial";
    Color color_ = 0;
    int size_ = 8;
    bool bold_ = false;
    bool italic_ = false;
    bool underline_ = false;
    bool strikeOut_ = false;
    int charset_ = 1;
};

} // namespace gdi
