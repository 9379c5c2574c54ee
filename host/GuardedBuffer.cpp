#include "host/GuardedBuffer.h"

#include "host/HostError.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

namespace vorlatek::host {

GuardedBuffer::GuardedBuffer(std::size_t size) : size_(size) {
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t usable = (size + page - 1) / page * page;
    mappingSize_ = usable + page;
    mapping_ = ::mmap(nullptr, mappingSize_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping_ == MAP_FAILED) throw HostError("cannot map a guarded buffer");
    char* guard = static_cast<char*>(mapping_) + usable;
    if (::mprotect(guard, page, PROT_NONE) != 0) {
        ::munmap(mapping_, mappingSize_);
        throw HostError("cannot protect a guarded buffer");
    }
    data_ = guard - size;
}

GuardedBuffer::~GuardedBuffer() { ::munmap(mapping_, mappingSize_); }

void GuardedBuffer::clear() { std::memset(data_, 0, size_); }

bool GuardedBuffer::terminated() const { return std::memchr(data_, 0, size_) != nullptr; }

}  // namespace vorlatek::host
