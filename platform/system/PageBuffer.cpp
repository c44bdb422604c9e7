#include "platform/system/PageBuffer.h"

#include <sys/mman.h>

#include <new>

namespace sys {

std::uint8_t* PageBuffer::reserve(std::size_t bytes)
{
    if (bytes <= capacity_)
        return data_;
    release();
    void* pages = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED)
        throw std::bad_alloc();
    data_ = static_cast<std::uint8_t*>(pages);
    capacity_ = bytes;
    return data_;
}

void PageBuffer::release()
{
    if (data_)
        ::munmap(data_, capacity_);
    data_ = nullptr;
    capacity_ = 0;
}

} // namespace sys
