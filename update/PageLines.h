#pragma once
#include <string_view>

namespace qm {

/// Walks a page fetched from the network line by line. A line ends at CR LF, LF or a lone
/// CR; every other byte, 0x1A and NUL included, belongs to its line. A line break at the
/// very end starts no further line.
class PageLines {
  public:
    explicit PageLines(std::string_view page) : m_page(page) {}
    /// The next line, or false at the end of the page.
    bool next(std::string_view& line);

  private:
    std::string_view m_page;
    size_t m_pos = 0;
};

} // namespace qm
