#pragma once
// An allocator for the large tables of big structures (site tables, the
// values of a CIF loop). A table of 2 MB or more is placed on 2 MB boundaries
// and marked for the kernel's huge pages, so filling it costs one page fault
// per 2 MB instead of one per 4 KB; on a virtual machine those faults are most
// of the time a large file takes to read. Smaller tables are ordinary.
#include <sys/mman.h>

#include <cstddef>
#include <cstdlib>
#include <new>
#include <vector>

template <class T>
struct LargeAllocator {
    using value_type = T;
    static constexpr std::size_t kHugePage = std::size_t{1} << 21;

    LargeAllocator() = default;
    template <class U>
    LargeAllocator(const LargeAllocator<U>&) noexcept {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T) / 2) throw std::bad_alloc();
        const std::size_t bytes = n * sizeof(T);
        void* p = nullptr;
        if (bytes >= kHugePage) {
            const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
            p = std::aligned_alloc(kHugePage, rounded);
            if (p) madvise(p, rounded, MADV_HUGEPAGE);
        } else {
            p = std::malloc(bytes ? bytes : 1);
        }
        if (!p) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t) noexcept { std::free(p); }

    template <class U>
    bool operator==(const LargeAllocator<U>&) const noexcept {
        return true;
    }
};

template <class T>
using LargeVector = std::vector<T, LargeAllocator<T>>;
