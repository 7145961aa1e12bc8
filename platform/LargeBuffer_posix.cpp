#include "platform/LargeBuffer.h"

#include <cstdint>
#include <sys/mman.h>

namespace qm {

void adviseLargeBuffer(void* data, size_t size) {
#if defined(MADV_HUGEPAGE)
    constexpr uintptr_t kLargePage = uintptr_t{2} << 20;
    // A smaller array cannot hold a whole large page: no hint, and no system call.
    if (size < kLargePage) return;
    const auto start = reinterpret_cast<uintptr_t>(data);
    const uintptr_t first = (start + kLargePage - 1) & ~(kLargePage - 1);
    const uintptr_t last = (start + size) & ~(kLargePage - 1);
    if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

} // namespace qm
