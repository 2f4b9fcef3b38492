#pragma once

#include <sys/mman.h>
#include <unistd.h>
#include <cstddef>
#include <cstdint>

namespace culvex {

// Maps the whole pages within the memory in one call rather than one fault per page as
// they are first written. Where the system cannot, the faults happen as before.
inline void mapPages(void* bytes, std::size_t size) {
    const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = (reinterpret_cast<std::uintptr_t>(bytes) + pageSize - 1) & ~(pageSize - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(bytes) + size) & ~(pageSize - 1);
    if (end > begin) {
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
    }
}

}  // namespace culvex
