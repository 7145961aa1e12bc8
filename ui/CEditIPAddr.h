#pragma once
#include <QFrame>

#include <array>
#include <string>

class QLineEdit;

namespace qm {

/// The four-part IPv4 address edit. It types like the address control of the game's
/// own platform: Tab enters it at its first part and the next Tab leaves it; "." or a
/// blank moves on to the next part, as does a part that can take no further digit;
/// Backspace in an empty part and the arrow keys at a part's edge move between parts;
/// a dotted address pasted into any part fills all four, and a pasted "address:port" (as
/// Copy address gives it, a game directory after it or not) is reported for the port.
class CEditIPAddr : public QFrame {
    Q_OBJECT
  public:
    explicit CEditIPAddr(QWidget* parent);

    /// Empty when all parts are empty; otherwise fills empty parts with 0 in the field,
    /// rewrites each part without leading zeros and joins them with dots.
    std::string text() const;
    /// Empties the field for an empty text; otherwise accepts only a valid address and
    /// throws a Failure for anything else.
    void setText(const std::string& text);

    QLineEdit* part(int i) { return m_parts[static_cast<size_t>(i)]; }

  signals:
    /// A pasted server's port and game directory (empty when it named none).
    void serverPasted(const QString& port, const QString& gameDir);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int indexOf(QObject* part) const;
    void moveTo(int index, bool cursorAtEnd);
    /// Fills all four parts from a pasted dotted address; false when the text is none.
    bool pasteAddress(const QString& text);
    bool handleKey(int index, class QKeyEvent* key);

    std::array<QLineEdit*, 4> m_parts{};
    bool m_forwarding = false;
};

} // namespace qm
