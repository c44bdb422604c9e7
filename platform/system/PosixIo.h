#pragma once

// The POSIX descriptor calls the picture codecs read and write files with.
// On Windows they are made from the C runtime's descriptors: binary mode,
// not inherited, and positioned reads as a seek and a read.
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

inline ssize_t ReadSpans(int fd, const iovec* spans, int count)
{
    ssize_t total = 0;
    for (int i = 0; i < count; ++i) {
        std::size_t done = 0;
        while (done < spans[i].iov_len) {
            const std::size_t chunk = std::min<std::size_t>(spans[i].iov_len - done, 1u << 30);
            const int n = _read(fd, static_cast<char*>(spans[i].iov_base) + done, unsigned(chunk));
            if (n < 0)
                return total > 0 ? total : -1;
            if (n == 0)
                return total;
            done += std::size_t(n);
            total += n;
        }
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
    ssize_t total = 0;
    for (int i = 0; i < count; ++i) {
        std::size_t done = 0;
        while (done < spans[i].iov_len) {
            const std::size_t chunk = std::min<std::size_t>(spans[i].iov_len - done, 1u << 30);
            const int n = _write(fd, static_cast<const char*>(spans[i].iov_base) + done, unsigned(chunk));
            if (n <= 0)
                return total > 0 ? total : -1;
            done += std::size_t(n);
            total += n;
        }
    }
    return total;
}

#endif
