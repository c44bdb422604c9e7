#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where the drawing layer finds the font file behind a face name: fontconfig
// on Linux, the system's font mapper on Windows. The text engine opens what
// it is given with FreeType.
namespace gdi {

struct FontFile {
    std::string path;                                 // a file to open, or
    std::shared_ptr<const std::vector<unsigned char>> data; // the face's bytes
    long index = 0;                                   // the face in a collection
    // Whether the face found is itself bold or italic; unknown, FreeType's
    // style flags decide. A face that lacks a requested style gets it drawn.
    std::optional<bool> bold, italic;
};

class FontSource {
public:
    FontSource();
    ~FontSource();
    FontSource(const FontSource&) = delete;
    FontSource& operator=(const FontSource&) = delete;

    // The closest installed face to `name` ("Times New Roman"); `key` is the
    // name without blanks, lower-cased. Null when nothing at all is found.
    std::optional<FontFile> find(std::string_view name, const std::string& key, bool bold, bool italic);
};

} // namespace gdi
