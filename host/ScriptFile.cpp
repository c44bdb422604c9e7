#include "host/ScriptFile.h"

#include "platform/system/Text1251.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace host {

namespace {

std::string describe(int error)
{
    switch (error) {
    case ENOENT: return "no such file";
    case EACCES: return "permission denied";
    case EISDIR: return "is a directory";
    default: break;
    }
    std::string text = std::strerror(error);
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] + 0x20);
    return text;
}

char hexDigit(unsigned value)
{
    return "0123456789ABCDEF"[value & 0xF];
}

std::string codePoint(char32_t c)
{
    std::string digits;
    for (unsigned value = static_cast<unsigned>(c); value != 0 || digits.size() < 4; value >>= 4)
        digits.insert(digits.begin(), hexDigit(value));
    return "U+" + digits;
}

} // namespace

bool readScriptFile(const std::string& path, std::string& bytes, std::string& problem)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) {
        problem = describe(errno);
        return false;
    }
    // A directory opens on Linux; reading it fails with EISDIR.
    char buffer[65536];
    bytes.clear();
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        bytes.append(buffer, got);
    if (std::ferror(file.get())) {
        problem = describe(errno);
        return false;
    }
    return true;
}

std::string scriptText1251(std::string_view bytes, std::vector<ScriptError>& errors)
{
    constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    if (bytes.starts_with(byteOrderMark))
        bytes.remove_prefix(byteOrderMark.size());
    else if (!sys::IsUtf8(bytes))
        return std::string(bytes);
    if (!sys::IsUtf8(bytes))
        return std::string(byteOrderMark) + std::string(bytes);

    std::string text;
    text.reserve(bytes.size());
    int line = 1, column = 1;
    bool comment = false, lineStart = true;
    for (std::size_t pos = 0; pos < bytes.size(); ++column) {
        char32_t c = 0;
        pos += sys::DecodeUtf8(bytes, pos, c);
        if (lineStart && c != ' ' && c != '\t') {
            comment = c == '#';
            lineStart = false;
        }
        if (auto byte = sys::CharTo1251(c)) {
            text += static_cast<char>(*byte);
        } else {
            if (!comment)
                errors.push_back({line, "the character " + codePoint(c) + " is not in code page 1251", column});
            text += '?';
        }
        if (c == '\n') {
            ++line;
            column = 0;
            lineStart = true;
            comment = false;
        }
    }
    return text;
}

} // namespace host
