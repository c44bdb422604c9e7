#include "platform/forms/CursorFile.h"

#include "platform/system/Files.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <tuple>

namespace forms {

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr int kMaxSide = 256;
constexpr std::uint32_t kMaxFrames = 1024;
constexpr std::uint32_t kMaxSteps = 4096;
constexpr std::uint64_t kMaxAnimationPixels = std::uint64_t(16) << 20;
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t(32) << 20;

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint32_t kAnimationFramesAreIcons = 1;

// Little-endian reads; callers check the bounds first.
std::uint16_t U16(Bytes b, std::size_t at)
{
    return std::uint16_t(b[at] | (b[at + 1] << 8));
}

std::uint32_t U32(Bytes b, std::size_t at)
{
    return std::uint32_t(b[at]) | (std::uint32_t(b[at + 1]) << 8) | (std::uint32_t(b[at + 2]) << 16) |
           (std::uint32_t(b[at + 3]) << 24);
}

std::int32_t I32(Bytes b, std::size_t at)
{
    return std::int32_t(U32(b, at));
}

bool HasTag(Bytes b, std::size_t at, const char (&tag)[5])
{
    return b.size() >= at + 4 && std::memcmp(b.data() + at, tag, 4) == 0;
}

bool IsPng(Bytes image)
{
    return image.size() >= sizeof kPngSignature &&
           std::memcmp(image.data(), kPngSignature, sizeof kPngSignature) == 0;
}

// With real transparency a see-through pixel is simply absent; making it
// black keeps it from reading as a screen-inverting pixel of a mask pair.
void ClearSeeThroughColours(CursorFrame& frame)
{
    const int width = frame.image.width();
    for (int y = 0; y < frame.image.height(); ++y) {
        std::uint8_t* colour = frame.image.scanLine(y);
        const std::uint8_t* alpha = frame.opacity.data() + std::size_t(y) * std::size_t(width);
        for (int x = 0; x < width; ++x, colour += 3)
            if (alpha[x] == 0)
                colour[0] = colour[1] = colour[2] = 0;
    }
}

// --- Device-independent bitmaps (colour rows, then the 1-bit mask) --------

std::optional<CursorFrame> DecodeDib(Bytes image)
{
    if (image.size() < 40)
        return std::nullopt;
    const std::uint32_t headerSize = U32(image, 0);
    const std::int32_t width = I32(image, 4);
    const std::int32_t doubleHeight = I32(image, 8);
    const int bits = U16(image, 14);
    const std::uint32_t compression = U32(image, 16);
    const std::uint32_t coloursUsed = U32(image, 32);
    // The height counts the colour rows and the mask rows; top-down images
    // do not occur in cursors.
    if (headerSize < 40 || headerSize > image.size() || width < 1 || width > kMaxSide ||
        doubleHeight < 2 || doubleHeight > 2 * kMaxSide || compression != 0)
        return std::nullopt;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
        return std::nullopt;
    const int height = doubleHeight / 2;

    // Deep images may carry an optional palette, which is skipped.
    std::uint32_t paletteSize = coloursUsed;
    if (bits <= 8 && paletteSize == 0)
        paletteSize = 1u << bits;
    if (paletteSize > (bits <= 8 ? 1u << bits : 256u))
        return std::nullopt;
    const std::uint64_t colourStride = (std::uint64_t(width) * std::uint64_t(bits) + 31) / 32 * 4;
    const std::uint64_t maskStride = (std::uint64_t(width) + 31) / 32 * 4;
    const std::uint64_t colourAt = std::uint64_t(headerSize) + std::uint64_t(paletteSize) * 4;
    const std::uint64_t maskAt = colourAt + colourStride * std::uint64_t(height);
    if (maskAt > image.size())
        return std::nullopt;
    const bool hasMask = maskAt + maskStride * std::uint64_t(height) <= image.size();
    // Only an image with its own alpha may do without the mask.
    if (!hasMask && bits != 32)
        return std::nullopt;

    CursorFrame frame;
    frame.image = gdi::Bitmap(width, height);
    frame.opacity.assign(std::size_t(width) * std::size_t(height), 255);
    const std::uint8_t* palette = image.data() + headerSize;
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = image.data() + colourAt + colourStride * std::uint64_t(height - 1 - y);
        std::uint8_t* dst = frame.image.scanLine(y);
        std::uint8_t* alpha = frame.opacity.data() + std::size_t(y) * std::size_t(width);
        for (int x = 0; x < width; ++x, dst += 3) {
            if (bits >= 24) {
                const std::uint8_t* p = src + std::size_t(x) * std::size_t(bits / 8);
                dst[0] = p[0];
                dst[1] = p[1];
                dst[2] = p[2];
                if (bits == 32) {
                    alpha[x] = p[3];
                    anyAlpha = anyAlpha || p[3] != 0;
                }
                continue;
            }
            const std::size_t bit = std::size_t(x) * std::size_t(bits);
            const int shift = 8 - bits - int(bit % 8);
            const std::uint32_t index = (src[bit / 8] >> shift) & ((1u << bits) - 1);
            if (index < paletteSize) {
                std::memcpy(dst, palette + index * 4, 3);
            } else {
                dst[0] = dst[1] = dst[2] = 0;
            }
        }
    }
    if (bits == 32 && anyAlpha) {
        ClearSeeThroughColours(frame);
        return frame;
    }
    for (int y = 0; y < height; ++y) {
        std::uint8_t* alpha = frame.opacity.data() + std::size_t(y) * std::size_t(width);
        if (!hasMask) {
            std::fill(alpha, alpha + width, std::uint8_t(255));
            continue;
        }
        const std::uint8_t* mask = image.data() + maskAt + maskStride * std::uint64_t(height - 1 - y);
        for (int x = 0; x < width; ++x)
            alpha[x] = (mask[x / 8] >> (7 - x % 8)) & 1 ? 0 : 255;
    }
    return frame;
}

// --- PNG images through libpng ----------------------------------------------

struct PngSource {
    Bytes data;
    std::size_t at = 0;
};

void ReadPngBytes(png_structp png, png_bytep out, png_size_t count)
{
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->data.size() - source->at)
        png_error(png, "image ends early");
    std::memcpy(out, source->data.data() + source->at, count);
    source->at += count;
}

[[noreturn]] void FailPng(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void IgnorePngWarning(png_structp, png_const_charp) {}

// Everything a decode touches after setjmp lives here, behind a pointer set
// before it, so a longjmp leaves nothing in an unknown state.
struct PngJob {
    PngSource source;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<std::uint8_t> pixels;
    std::vector<png_bytep> rows;
    png_uint_32 width = 0;
    png_uint_32 height = 0;

    ~PngJob()
    {
        if (png)
            png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

bool RunPng(PngJob* job)
{
    png_structp png = job->png;
    png_infop info = job->info;
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &job->source, ReadPngBytes);
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_set_chunk_malloc_max(png, 1 << 20);
    png_read_info(png, info);
    job->width = png_get_image_width(png, info);
    job->height = png_get_image_height(png, info);
    if (job->width < 1 || job->width > png_uint_32(kMaxSide) || job->height < 1 ||
        job->height > png_uint_32(kMaxSide))
        return false;
    const int colourType = png_get_color_type(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (!(colourType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t(job->width) * 4)
        return false;
    job->pixels.resize(std::size_t(job->width) * job->height * 4);
    job->rows.resize(job->height);
    for (png_uint_32 y = 0; y < job->height; ++y)
        job->rows[y] = job->pixels.data() + std::size_t(y) * job->width * 4;
    png_read_image(png, job->rows.data());
    return true;
}

std::optional<CursorFrame> DecodePng(Bytes image)
{
    auto job = std::make_unique<PngJob>();
    job->source.data = image;
    job->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, FailPng, IgnorePngWarning);
    if (!job->png)
        return std::nullopt;
    job->info = png_create_info_struct(job->png);
    if (!job->info || !RunPng(job.get()))
        return std::nullopt;

    const int width = int(job->width);
    const int height = int(job->height);
    CursorFrame frame;
    frame.image = gdi::Bitmap(width, height);
    frame.opacity.resize(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = job->rows[std::size_t(y)];
        std::uint8_t* dst = frame.image.scanLine(y);
        for (int x = 0; x < width; ++x, src += 4, dst += 3) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
            frame.opacity[std::size_t(y) * std::size_t(width) + std::size_t(x)] = src[3];
        }
    }
    ClearSeeThroughColours(frame);
    return frame;
}

// --- Icon directories (.cur and .ico) ---------------------------------------

struct DirectoryImage {
    CursorFrame frame;
    int hotspotX = 0;
    int hotspotY = 0;
};

int ColourDepth(Bytes image)
{
    if (IsPng(image))
        return 32;
    return image.size() >= 16 ? U16(image, 14) : 0;
}

std::optional<DirectoryImage> ReadIconDirectory(Bytes file)
{
    if (file.size() < 6 || U16(file, 0) != 0)
        return std::nullopt;
    const int type = U16(file, 2);
    const std::size_t count = U16(file, 4);
    if ((type != 1 && type != 2) || count == 0 || 6 + 16 * count > file.size())
        return std::nullopt;

    std::optional<std::size_t> best;
    std::tuple<bool, int, int> bestRank;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * i;
        const int width = file[entry] ? file[entry] : 256;
        const int height = file[entry + 1] ? file[entry + 1] : 256;
        const std::uint64_t size = U32(file, entry + 8);
        const std::uint64_t offset = U32(file, entry + 12);
        if (size == 0 || offset + size > file.size())
            continue;
        const std::tuple<bool, int, int> rank{width == 32 && height == 32, width * height,
                                              ColourDepth(file.subspan(offset, size))};
        if (!best || rank > bestRank) {
            best = entry;
            bestRank = rank;
        }
    }
    if (!best)
        return std::nullopt;

    const Bytes image = file.subspan(U32(file, *best + 12), U32(file, *best + 8));
    std::optional<CursorFrame> frame = IsPng(image) ? DecodePng(image) : DecodeDib(image);
    if (!frame)
        return std::nullopt;
    DirectoryImage result;
    const int width = frame->image.width();
    const int height = frame->image.height();
    if (type == 2) {
        result.hotspotX = std::min<int>(U16(file, *best + 4), width - 1);
        result.hotspotY = std::min<int>(U16(file, *best + 6), height - 1);
    } else {
        result.hotspotX = width / 2;
        result.hotspotY = height / 2;
    }
    result.frame = std::move(*frame);
    return result;
}

std::shared_ptr<const CursorShape> ReadStatic(Bytes file)
{
    std::optional<DirectoryImage> image = ReadIconDirectory(file);
    if (!image)
        return nullptr;
    const int width = image->frame.image.width();
    const int height = image->frame.image.height();
    std::vector<CursorFrame> frames;
    frames.push_back(std::move(image->frame));
    return std::make_shared<const CursorShape>(width, height, image->hotspotX, image->hotspotY,
                                               std::move(frames), std::vector<CursorStep>{{0, 0}});
}

// --- Animated cursors (RIFF "ACON") -----------------------------------------

// Walks the chunks of a RIFF body, calling visit(tag, data) for each; false
// when a chunk runs past the body. Every step moves forward by at least the
// 8-byte chunk header, so the walk ends.
template <class Visit>
bool WalkChunks(Bytes body, Visit&& visit)
{
    std::size_t at = 0;
    while (at < body.size()) {
        if (body.size() - at < 8)
            return false;
        const std::size_t size = U32(body, at + 4);
        if (size > body.size() - at - 8)
            return false;
        if (!visit(body.subspan(at, 4), body.subspan(at + 8, size)))
            return false;
        // Odd lengths are padded; the pad byte after the last chunk may be
        // missing, which simply ends the walk.
        at += 8 + size + size % 2;
    }
    return true;
}

bool TagIs(Bytes tag, const char (&name)[5])
{
    return std::memcmp(tag.data(), name, 4) == 0;
}

std::shared_ptr<const CursorShape> ReadAnimated(Bytes file)
{
    if (file.size() < 12 || !HasTag(file, 0, "RIFF") || !HasTag(file, 8, "ACON"))
        return nullptr;
    const std::uint64_t riffSize = U32(file, 4);
    if (riffSize < 4 || 8 + riffSize > file.size())
        return nullptr;
    const Bytes body = file.subspan(12, riffSize - 4);

    std::optional<Bytes> header;
    std::optional<Bytes> rates;
    std::optional<Bytes> sequence;
    std::optional<std::vector<Bytes>> icons;
    const bool walked = WalkChunks(body, [&](Bytes tag, Bytes data) {
        auto once = [](std::optional<Bytes>& slot, Bytes d) {
            if (slot)
                return false;
            slot = d;
            return true;
        };
        if (TagIs(tag, "anih"))
            return once(header, data);
        if (TagIs(tag, "rate"))
            return once(rates, data);
        if (TagIs(tag, "seq "))
            return once(sequence, data);
        if (!TagIs(tag, "LIST") || data.size() < 4 || !HasTag(data, 0, "fram"))
            return true;
        if (icons)
            return false;
        icons.emplace();
        return WalkChunks(data.subspan(4), [&](Bytes innerTag, Bytes icon) {
            if (!TagIs(innerTag, "icon"))
                return true;
            if (icons->size() >= kMaxFrames)
                return false;
            icons->push_back(icon);
            return true;
        });
    });
    if (!walked || !header || !icons || header->size() < 36 || U32(*header, 0) != 36)
        return nullptr;

    const std::uint32_t frameCount = U32(*header, 4);
    const std::uint32_t stepCount = U32(*header, 8);
    const std::uint32_t defaultRate = U32(*header, 28);
    const std::uint32_t flags = U32(*header, 32);
    if (!(flags & kAnimationFramesAreIcons) || frameCount == 0 || frameCount > kMaxFrames ||
        stepCount == 0 || stepCount > kMaxSteps || icons->size() < frameCount)
        return nullptr;
    if ((rates && rates->size() < std::size_t(stepCount) * 4) ||
        (sequence && sequence->size() < std::size_t(stepCount) * 4))
        return nullptr;

    std::vector<CursorStep> steps(stepCount);
    for (std::uint32_t i = 0; i < stepCount; ++i) {
        const std::uint32_t frame = sequence ? U32(*sequence, i * 4) : i % frameCount;
        if (frame >= frameCount)
            return nullptr;
        steps[i].frame = int(frame);
        steps[i].jiffies = rates ? U32(*rates, i * 4) : defaultRate;
    }

    std::vector<CursorFrame> frames;
    frames.reserve(frameCount);
    int hotspotX = 0;
    int hotspotY = 0;
    for (std::uint32_t i = 0; i < frameCount; ++i) {
        std::optional<DirectoryImage> image = ReadIconDirectory((*icons)[i]);
        if (!image)
            return nullptr;
        if (i == 0) {
            const std::uint64_t pixels = std::uint64_t(image->frame.image.width()) *
                                         std::uint64_t(image->frame.image.height());
            if (pixels * frameCount > kMaxAnimationPixels)
                return nullptr;
            hotspotX = image->hotspotX;
            hotspotY = image->hotspotY;
        } else if (image->frame.image.width() != frames[0].image.width() ||
                   image->frame.image.height() != frames[0].image.height()) {
            return nullptr;
        }
        frames.push_back(std::move(image->frame));
    }
    const int width = frames[0].image.width();
    const int height = frames[0].image.height();
    return std::make_shared<const CursorShape>(width, height, hotspotX, hotspotY, std::move(frames),
                                               std::move(steps));
}

} // namespace

std::shared_ptr<const CursorShape> LoadCursorFromBytes(std::span<const std::uint8_t> bytes)
{
    try {
        return HasTag(bytes, 0, "RIFF") ? ReadAnimated(bytes) : ReadStatic(bytes);
    } catch (...) {
        // Out of memory for a bitmap is a file we cannot read, like any other.
        return nullptr;
    }
}

std::shared_ptr<const CursorShape> LoadCursorFile(const std::string& file)
{
    try {
        const std::optional<std::string> name = sys::SystemFileName(file);
        if (!name)
            return nullptr;
        const std::filesystem::path path(*name);
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error))
            return nullptr;
        const std::uintmax_t size = std::filesystem::file_size(path, error);
        if (error || size > kMaxFileBytes)
            return nullptr;
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return nullptr;
        std::vector<std::uint8_t> bytes(std::size_t(size) + 1);
        in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
        // A file that changed size under us is read as it was.
        bytes.resize(std::size_t(in.gcount()));
        if (in.bad())
            return nullptr;
        return LoadCursorFromBytes(bytes);
    } catch (...) {
        return nullptr;
    }
}

} // namespace forms
