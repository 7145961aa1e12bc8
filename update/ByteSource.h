#pragma once
#include <cstddef>

namespace qm {

/// Where the HTTP response reader gets its bytes: a socket, or test data.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    /// Reads up to `max` bytes, waiting at most `waitMs` (-2 without limit). Returns the
    /// count, 0 when the peer has closed. Throws "Read Timeout" when the wait runs out,
    /// and the socket error of a failed read.
    virtual size_t read(char* into, size_t max, int waitMs) = 0;
};

} // namespace qm
