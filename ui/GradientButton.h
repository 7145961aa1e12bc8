#pragma once
#include <QColor>
#include <QPushButton>

namespace qm {

/// A push button drawn as a vertical gradient; the window's buttons go from white to a
/// light blue-grey, the Overwrite button from red to maroon with bold white text.
class GradientButton : public QPushButton {
  public:
    GradientButton(const QString& caption, QWidget* parent);
    void setColours(QColor top, QColor bottom, QColor textColour);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor m_top{255, 255, 255};
    QColor m_bottom{180, 184, 201};
    QColor m_text{20, 20, 40};
};

} // namespace qm
