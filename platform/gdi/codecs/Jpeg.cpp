#include "platform/gdi/codecs/Jpeg.h"

#include "platform/gdi/Error.h"
#include "platform/system/Files.h"

#include <sys/stat.h>

#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace gdi {

namespace {

// libjpeg reports errors through this manager, which jumps back into the
// function that armed it instead of exiting the process. The functions that
// arm it hold no objects with destructors.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnError(j_common_ptr info)
{
    auto* mgr = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, mgr->message);
    std::longjmp(mgr->jump, 1);
}

// Warnings about damaged data end decoding as errors.
void OnMessage(j_common_ptr info, int level)
{
    if (level < 0)
        OnError(info);
}

void InitErrors(ErrorManager& mgr)
{
    std::memset(&mgr, 0, sizeof mgr);
    jpeg_std_error(&mgr.base);
    mgr.base.error_exit = OnError;
    mgr.base.emit_message = OnMessage;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File OpenRead(const std::string& path)
{
    File f(sys::OpenFileStream(path, "rb"));
    if (!f)
        throw Error("cannot open " + path);
    return f;
}

// Source: a FILE (path) or bytes in memory.
struct Source {
    std::FILE* file = nullptr;
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;

    std::uint64_t bytes() const
    {
        if (!file)
            return size;
        struct stat st {};
        return ::fstat(fileno(file), &st) == 0 && st.st_size > 0 ? std::uint64_t(st.st_size) : 0;
    }
};

// Whether the data can back the picture its frame header claims; checked
// after the header and before anything is sized from it. Huffman coding
// spends at least one bit on the DC coefficient of every 8 x 8 block of
// every component, so a valid file holds at least blocks / 8 bytes.
// Arithmetic coding has no such floor (a flat picture costs a small
// fraction of a bit per block, and libjpeg reads zeros once the data runs
// out), so those pictures have a lower cap instead.
bool DataCanBackHeader(const jpeg_decompress_struct& info, std::uint64_t bytes)
{
    const std::uint64_t pixels = std::uint64_t(info.image_width) * info.image_height;
    if (info.arith_code)
        return pixels <= kMaxArithmeticJpegPixels;
    if (pixels > kMaxJpegPixels)
        return false;
    std::uint64_t blocks = 0;
    for (int c = 0; c < info.num_components; ++c)
        blocks += std::uint64_t(info.comp_info[c].width_in_blocks) * info.comp_info[c].height_in_blocks;
    return blocks <= bytes * 8;
}

enum class HeaderStep { Failed, TooLarge, Read };

// Reads the header and, when `start`, starts decompression once the data
// can back the header.
HeaderStep ReadHeader(jpeg_decompress_struct& info, ErrorManager& err, const Source& src, bool start)
{
    if (setjmp(err.jump))
        return HeaderStep::Failed;
    jpeg_create_decompress(&info);
    if (src.file)
        jpeg_stdio_src(&info, src.file);
    else
        jpeg_mem_src(&info, src.data, static_cast<unsigned long>(src.size));
    jpeg_read_header(&info, TRUE);
    if (start) {
        if (!DataCanBackHeader(info, src.bytes()))
            return HeaderStep::TooLarge;
        // Progressive files keep every coefficient in libjpeg's own memory;
        // with arithmetic coding only this bounds it.
        if (info.arith_code)
            info.mem->max_memory_to_use = kMaxJpegDecoderBytes;
        info.out_color_space = JCS_EXT_BGR; // our row layout
        jpeg_start_decompress(&info);
    }
    return HeaderStep::Read;
}

bool ReadRows(jpeg_decompress_struct& info, ErrorManager& err, Bitmap& out)
{
    if (setjmp(err.jump))
        return false;
    JSAMPROW rows[16];
    while (info.output_scanline < info.output_height) {
        const int first = int(info.output_scanline);
        const int n = std::min<int>(16, int(info.output_height) - first);
        for (int i = 0; i < n; ++i)
            rows[i] = out.scanLine(first + i);
        jpeg_read_scanlines(&info, rows, JDIMENSION(n));
    }
    jpeg_finish_decompress(&info);
    return true;
}

void Decode(const Source& src, Bitmap& out, const std::string& what)
{
    jpeg_decompress_struct info;
    ErrorManager err;
    InitErrors(err);
    info.err = &err.base;
    const HeaderStep step = ReadHeader(info, err, src, true);
    if (step != HeaderStep::Read) {
        jpeg_destroy_decompress(&info);
        throw Error(step == HeaderStep::TooLarge ? "bad JPEG " + what + ": the data cannot hold the picture size"
                                                 : "bad JPEG " + what + ": " + err.message);
    }
    if (info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        throw Error("unsupported JPEG colour layout in " + what);
    }
    // A picture of another size is decoded aside and moved into `out` only
    // once every row has arrived: a damaged file leaves `out` as it was.
    const bool sameSize = out.width() == int(info.output_width) && out.height() == int(info.output_height);
    Bitmap decoded;
    try {
        if (!sameSize)
            decoded.setSize(int(info.output_width), int(info.output_height));
    } catch (...) {
        jpeg_destroy_decompress(&info);
        throw;
    }
    const bool ok = ReadRows(info, err, sameSize ? out : decoded);
    jpeg_destroy_decompress(&info);
    if (!ok)
        throw Error("bad JPEG " + what + ": " + err.message);
    if (!sameSize)
        out = std::move(decoded);
}

struct Sink {
    std::FILE* file = nullptr;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
};

bool Encode(jpeg_compress_struct& info, ErrorManager& err, const Bitmap& bitmap, int quality, Sink& sink)
{
    if (setjmp(err.jump))
        return false;
    jpeg_create_compress(&info);
    if (sink.file)
        jpeg_stdio_dest(&info, sink.file);
    else
        jpeg_mem_dest(&info, &sink.buffer, &sink.size);
    info.image_width = JDIMENSION(bitmap.width());
    info.image_height = JDIMENSION(bitmap.height());
    info.input_components = 3;
    info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    JSAMPROW rows[16];
    while (info.next_scanline < info.image_height) {
        const int first = int(info.next_scanline);
        const int n = std::min<int>(16, bitmap.height() - first);
        for (int i = 0; i < n; ++i)
            rows[i] = const_cast<JSAMPROW>(bitmap.scanLine(first + i));
        jpeg_write_scanlines(&info, rows, JDIMENSION(n));
    }
    jpeg_finish_compress(&info);
    return true;
}

void EncodeTo(const Bitmap& bitmap, int quality, Sink& sink, const std::string& what)
{
    if (bitmap.isEmpty() || bitmap.width() > 65500 || bitmap.height() > 65500)
        throw Error("a picture of this size cannot be saved as JPEG: " + what);
    jpeg_compress_struct info;
    ErrorManager err;
    InitErrors(err);
    info.err = &err.base;
    const bool ok = Encode(info, err, bitmap, std::clamp(quality, 1, 100), sink);
    jpeg_destroy_compress(&info);
    if (!ok) {
        std::free(sink.buffer);
        sink.buffer = nullptr;
        throw Error("cannot write JPEG " + what + ": " + err.message);
    }
}

} // namespace

JpegSize ReadJpegSize(const std::string& path)
{
    File file = OpenRead(path);
    jpeg_decompress_struct info;
    ErrorManager err;
    InitErrors(err);
    info.err = &err.base;
    Source src;
    src.file = file.get();
    const bool ok = ReadHeader(info, err, src, false) == HeaderStep::Read;
    const JpegSize size{int(info.image_width), int(info.image_height)};
    jpeg_destroy_decompress(&info);
    if (!ok)
        throw Error("bad JPEG " + path + ": " + err.message);
    return size;
}

void LoadJpeg(const std::string& path, Bitmap& out)
{
    File file = OpenRead(path);
    Source src;
    src.file = file.get();
    Decode(src, out, path);
}

Bitmap LoadJpeg(const std::string& path)
{
    Bitmap out;
    LoadJpeg(path, out);
    return out;
}

Bitmap LoadJpeg(std::span<const std::uint8_t> bytes)
{
    if (bytes.empty())
        throw Error("bad JPEG data: empty");
    Source src;
    src.data = bytes.data();
    src.size = bytes.size();
    Bitmap out;
    Decode(src, out, "data");
    return out;
}

void SaveJpeg(const std::string& path, const Bitmap& bitmap, int quality)
{
    File file(sys::OpenFileStream(path, "wb"));
    if (!file)
        throw Error("cannot create " + path);
    Sink sink;
    sink.file = file.get();
    EncodeTo(bitmap, quality, sink, path);
    if (std::fflush(file.get()) != 0 || std::ferror(file.get()))
        throw Error("cannot write " + path);
    if (std::fclose(file.release()) != 0)
        throw Error("cannot write " + path);
}

std::vector<std::uint8_t> EncodeJpeg(const Bitmap& bitmap, int quality)
{
    Sink sink;
    EncodeTo(bitmap, quality, sink, "data");
    std::vector<std::uint8_t> out(sink.buffer, sink.buffer + sink.size);
    std::free(sink.buffer);
    return out;
}

} // namespace gdi
