#pragma once
#include <QLabel>

namespace qm {

/// A label or picture that reacts to a click, with a hand cursor; drawn as a link when
/// asked (blue and underlined).
class ClickLabel : public QLabel {
    Q_OBJECT
  public:
    explicit ClickLabel(QWidget* parent);
    void setLinkStyle();

  signals:
    void clicked();

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace qm
