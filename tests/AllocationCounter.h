#pragma once
// Counts heap allocations while `counting` is set, by replacing the global operator new.
// Include this header in exactly one source file of a test program.

#include <atomic>
#include <cstdlib>
#include <new>

namespace allocation_counter {
inline std::atomic<bool> counting{false};
inline std::atomic<long> allocations{0};

inline void* allocate(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

// Allocations made by `work`.
template <class Work>
long countAllocations(Work&& work) {
    allocations = 0;
    counting = true;
    work();
    counting = false;
    return allocations.load();
}
}  // namespace allocation_counter

void* operator new(std::size_t size) { return allocation_counter::allocate(size); }
void* operator new[](std::size_t size) { return allocation_counter::allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
