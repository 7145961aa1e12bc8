#pragma once
#include "update/ByteSource.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace qm {

/// Bytes held in memory, handed out at most `step` at a time as a socket would, then the
/// close: for reading answers that are already at hand, and for tests.
class MemoryBytes : public ByteSource {
  public:
    explicit MemoryBytes(std::string bytes, size_t step = 7) : m_bytes(std::move(bytes)), m_step(step) {}
    size_t read(char* into, size_t max, int) override {
        const size_t n = std::min({max, m_step, m_bytes.size() - m_pos});
        std::memcpy(into, m_bytes.data() + m_pos, n);
        m_pos += n;
        return n;
    }

  private:
    std::string m_bytes;
    size_t m_step;
    size_t m_pos = 0;
};

} // namespace qm
