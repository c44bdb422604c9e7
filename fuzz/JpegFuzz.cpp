// The JPEG reader over any bytes, from memory and from a file; the header
// alone for the picture size.
#include "platform/gdi/Error.h"
#include "platform/gdi/codecs/Jpeg.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path = "/tmp/zenvas-fuzz-jpeg-" + std::to_string(::getpid()) + ".jpg";
    bool fromMemory = false;
    try {
        const gdi::Bitmap b = gdi::LoadJpeg(std::span<const std::uint8_t>(data, size));
        fromMemory = true;
        if (b.isEmpty())
            std::abort(); // a loaded picture always has pixels
    } catch (const gdi::Error&) {
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(data, 1, size, f) != size || std::fclose(f) != 0)
        std::abort();
    gdi::Bitmap kept(2, 2);
    try {
        gdi::LoadJpeg(path, kept);
        if (!fromMemory)
            std::abort(); // the file loaded what memory refused
    } catch (const gdi::Error&) {
        if (fromMemory)
            std::abort(); // the file refused what memory loaded
        if (kept.width() != 2 || kept.height() != 2)
            std::abort(); // a failed load changed the bitmap it was given
    }
    try {
        gdi::ReadJpegSize(path);
    } catch (const gdi::Error&) {
    }
    return 0;
}
