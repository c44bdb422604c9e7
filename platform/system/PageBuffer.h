#pragma once

#include <cstddef>
#include <cstdint>

namespace sys {

// A working buffer taken straight from the system's pages. Released, its
// memory goes back to the system at once, whatever the allocator would
// have kept for later; meant for buffers the size of a picture.
class PageBuffer {
public:
    PageBuffer() = default;
    ~PageBuffer() { release(); }
    PageBuffer(const PageBuffer&) = delete;
    PageBuffer& operator=(const PageBuffer&) = delete;

    // At least `bytes` bytes, zeroed when new; the buffer is kept when it
    // is already large enough, its contents then left as they were. Throws
    // std::bad_alloc when the system has no pages to give.
    std::uint8_t* reserve(std::size_t bytes);
    void release();

    std::uint8_t* data() const { return data_; }
    std::size_t capacity() const { return capacity_; }

private:
    std::uint8_t* data_ = nullptr;
    std::size_t capacity_ = 0;
};

} // namespace sys
