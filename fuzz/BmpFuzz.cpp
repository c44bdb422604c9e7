// The BMP reader over any bytes: from memory and from a file, which must
// agree (both fail, or both give the same picture).
#include "platform/gdi/Error.h"
#include "platform/gdi/codecs/Bmp.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

std::optional<gdi::Bitmap> Load(auto&& source)
{
    try {
        return gdi::LoadBmp(source);
    } catch (const gdi::Error&) {
        return std::nullopt;
    }
}

const std::string& ScratchFile()
{
    static const std::string path = "/tmp/zenvas-fuzz-bmp-" + std::to_string(::getpid()) + ".bmp";
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto fromMemory = Load(std::span<const std::uint8_t>(data, size));
    std::FILE* f = std::fopen(ScratchFile().c_str(), "wb");
    if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0)
        std::abort();
    const auto fromFile = Load(ScratchFile());
    if (fromMemory.has_value() != fromFile.has_value())
        std::abort(); // one path refused what the other read
    if (fromMemory) {
        const gdi::Bitmap& a = *fromMemory;
        const gdi::Bitmap& b = *fromFile;
        if (a.width() != b.width() || a.height() != b.height() ||
            std::memcmp(a.scanLine(0), b.scanLine(0), a.stride() * std::size_t(a.height())) != 0)
            std::abort(); // the two paths decoded different pictures
    }
    return 0;
}
