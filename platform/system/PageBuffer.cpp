#include "platform/system/PageBuffer.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

#include <new>

namespace sys {

std::uint8_t* PageBuffer::reserve(std::size_t bytes)
{
    if (bytes <= capacity_)
        return data_;
    release();
#ifdef _WIN32
    void* pages = ::VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!pages)
        throw std::bad_alloc();
#else
    void* pages = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED)
        throw std::bad_alloc();
#endif
    data_ = static_cast<std::uint8_t*>(pages);
    capacity_ = bytes;
    return data_;
}

void PageBuffer::release()
{
#ifdef _WIN32
    if (data_)
        ::VirtualFree(data_, 0, MEM_RELEASE);
#else
    if (data_)
        ::munmap(data_, capacity_);
#endif
    data_ = nullptr;
    capacity_ = 0;
}

} // namespace sys
