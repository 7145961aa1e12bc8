#include "update/PageLines.h"

namespace qm {

bool PageLines::next(std::string_view& line) {
    if (m_pos >= m_page.size()) return false;
    const size_t end = m_page.find_first_of("\r\n", m_pos);
    if (end == std::string_view::npos) {
        line = m_page.substr(m_pos);
        m_pos = m_page.size();
        return true;
    }
    line = m_page.substr(m_pos, end - m_pos);
    m_pos = end + 1;
    if (m_page[end] == '\r' && m_pos < m_page.size() && m_page[m_pos] == '\n') ++m_pos;
    return true;
}

} // namespace qm
