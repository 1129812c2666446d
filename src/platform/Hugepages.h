#pragma once

#include <cstddef>
#include <cstdint>
#include <sys/mman.h>

namespace platform {

// An array of tens of megabytes filled once is touched page by page, and the page faults are
// most of the cost; where the system offers huge pages for such memory, they are asked for.
// Only whole huge pages inside [data, data + size) are concerned; a refusal changes nothing.
inline void preferHugePages(const void* data, std::size_t size)
{
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t hugePage = 2 << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + hugePage - 1) & ~(hugePage - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(hugePage - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    static_cast<void>(data);
    static_cast<void>(size);
#endif
}

} // namespace platform
