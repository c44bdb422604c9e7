#pragma once

// The POSIX descriptor calls the picture codecs read and write files with.
// On Windows they are made from the C runtime's descriptors: binary mode,
// not inherited, positioned reads as a seek and a read, and the spans of a
// scattered read or gathered write moved in large runs.
#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#else

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#ifndef O_CLOEXEC
#define O_CLOEXEC (O_BINARY | O_NOINHERIT)
#endif
#ifndef IOV_MAX
#define IOV_MAX 1024
#endif

struct iovec {
    void* iov_base;
    std::size_t iov_len;
};

namespace sys::posix {

// Each _read and _write is a system call of its own (ReadFile, WriteFile),
// while a picture's rows are thousands of spans of a few kilobytes: spans
// below kGatherSpan are gathered into runs of up to kGatherBytes, each
// moved by one call through a buffer that stays in the processor's cache,
// and larger spans go straight to the call.
inline constexpr std::size_t kGatherSpan = 64u << 10;
inline constexpr std::size_t kGatherBytes = 512u << 10;

// All of `size` bytes, however the calls split them: the count moved, short
// only at the end of the file, or -1 when nothing could be.
inline ssize_t ReadAll(int fd, void* buffer, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const std::size_t chunk = std::min<std::size_t>(size - done, 1u << 30);
        const int n = _read(fd, static_cast<char*>(buffer) + done, unsigned(chunk));
        if (n < 0)
            return done > 0 ? ssize_t(done) : -1;
        if (n == 0)
            break;
        done += std::size_t(n);
    }
    return ssize_t(done);
}

inline ssize_t WriteAll(int fd, const void* buffer, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const std::size_t chunk = std::min<std::size_t>(size - done, 1u << 30);
        const int n = _write(fd, static_cast<const char*>(buffer) + done, unsigned(chunk));
        if (n <= 0)
            return done > 0 ? ssize_t(done) : -1;
        done += std::size_t(n);
    }
    return ssize_t(done);
}

// The spans from `first` that make one run: either one large span, or
// small ones up to kGatherBytes together. Returns the end of the run and
// its byte count.
inline int RunEnd(const iovec* spans, int first, int count, std::size_t& bytes)
{
    bytes = spans[first].iov_len;
    if (bytes >= kGatherSpan)
        return first + 1;
    int end = first + 1;
    while (end < count && spans[end].iov_len < kGatherSpan && bytes + spans[end].iov_len <= kGatherBytes)
        bytes += spans[end++].iov_len;
    return end;
}

class GatherBuffer {
public:
    char* get()
    {
        if (!data_)
            data_ = new char[kGatherBytes];
        return data_;
    }
    ~GatherBuffer() { delete[] data_; }

private:
    char* data_ = nullptr;
};

inline ssize_t ReadSpans(int fd, const iovec* spans, int count)
{
    GatherBuffer gather;
    ssize_t total = 0;
    for (int first = 0; first < count;) {
        std::size_t bytes = 0;
        const int end = RunEnd(spans, first, count, bytes);
        if (end == first + 1) {
            const ssize_t n = ReadAll(fd, spans[first].iov_base, bytes);
            if (n < 0)
                return total > 0 ? total : -1;
            total += n;
            if (std::size_t(n) < bytes)
                return total;
        } else {
            const ssize_t n = ReadAll(fd, gather.get(), bytes);
            if (n < 0)
                return total > 0 ? total : -1;
            std::size_t left = std::size_t(n), at = 0;
            for (int i = first; i < end && left > 0; ++i) {
                const std::size_t part = std::min(left, spans[i].iov_len);
                std::memcpy(spans[i].iov_base, gather.get() + at, part);
                at += part;
                left -= part;
            }
            total += n;
            if (std::size_t(n) < bytes)
                return total;
        }
        first = end;
    }
    return total;
}

} // namespace sys::posix

inline ssize_t preadv(int fd, const iovec* spans, int count, std::int64_t offset)
{
    if (_lseeki64(fd, offset, SEEK_SET) < 0)
        return -1;
    return sys::posix::ReadSpans(fd, spans, count);
}

inline ssize_t pread(int fd, void* buffer, std::size_t size, std::int64_t offset)
{
    const iovec span{buffer, size};
    return preadv(fd, &span, 1, offset);
}

inline ssize_t writev(int fd, const iovec* spans, int count)
{
    using namespace sys::posix;
    GatherBuffer gather;
    ssize_t total = 0;
    for (int first = 0; first < count;) {
        std::size_t bytes = 0;
        const int end = RunEnd(spans, first, count, bytes);
        const char* from = static_cast<const char*>(spans[first].iov_base);
        if (end > first + 1) {
            std::size_t at = 0;
            for (int i = first; i < end; ++i) {
                std::memcpy(gather.get() + at, spans[i].iov_base, spans[i].iov_len);
                at += spans[i].iov_len;
            }
            from = gather.get();
        }
        const ssize_t n = WriteAll(fd, from, bytes);
        if (n < 0)
            return total > 0 ? total : -1;
        total += n;
        if (std::size_t(n) < bytes)
            return total;
        first = end;
    }
    return total;
}

#endif
