#pragma once
#include <functional>

namespace qm {

/// Called while a network call waits, so the window stays alive. It returns false when
/// the wait should be given up (the window is closing).
using MessagePump = std::function<bool()>;

} // namespace qm
