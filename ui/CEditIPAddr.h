#pragma once
#include <QFrame>

#include <array>
#include <string>

class QLineEdit;

namespace qm {

/// The four-part IPv4 address edit.
class CEditIPAddr : public QFrame {
public:
    explicit CEditIPAddr(QWidget* parent);

    /// Empty when all parts are empty; otherwise fills empty parts with 0 in the field,
    /// rewrites each part without leading zeros and joins them with dots.
    std::string text();
    /// Empties the field for an empty text; otherwise accepts only a valid address and
    /// throws a Failure for anything else.
    void setText(const std::string& text);

    QLineEdit* part(int i) { return m_parts[static_cast<size_t>(i)]; }

private:
    std::array<QLineEdit*, 4> m_parts{};
};

} // namespace qm
