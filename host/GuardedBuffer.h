#pragma once
// A buffer that ends right where an inaccessible page begins: a plug-in that writes one
// byte too many into it is stopped by the processor at that byte, instead of silently
// overwriting the host's memory.

#include <cstddef>

namespace vorlatek::host {

class GuardedBuffer {
public:
    // `size` bytes, zeroed; throws HostError when the memory cannot be had.
    explicit GuardedBuffer(std::size_t size);
    ~GuardedBuffer();
    GuardedBuffer(const GuardedBuffer&) = delete;
    GuardedBuffer& operator=(const GuardedBuffer&) = delete;

    char* data() const { return data_; }
    std::size_t size() const { return size_; }
    // Zeroes the buffer again.
    void clear();
    // True when a zero byte ends the text within the buffer.
    bool terminated() const;

private:
    void* mapping_ = nullptr;
    std::size_t mappingSize_ = 0;
    char* data_ = nullptr;
    std::size_t size_ = 0;
};

}  // namespace vorlatek::host
