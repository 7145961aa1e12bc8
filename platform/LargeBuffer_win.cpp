#include "platform/LargeBuffer.h"

namespace qm {

// Windows gives large pages only to processes holding the "lock pages in memory" right,
// and only through allocations of their own: ordinary arrays get no hint.
void adviseLargeBuffer(void*, size_t) {}

} // namespace qm
