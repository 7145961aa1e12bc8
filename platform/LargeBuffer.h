#pragma once
#include <cstddef>

namespace qm {

/// Tells the system that a buffer of many megabytes is about to be filled from start to
/// end, so that it can back it with large pages: a few faults rather than one every 4 KiB.
/// Only whole large pages inside the buffer are touched; nothing happens where the system
/// has no such pages or the buffer is small.
void adviseLargeBuffer(void* data, size_t size);

} // namespace qm
