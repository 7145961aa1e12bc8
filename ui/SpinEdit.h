#pragma once
#include <QWidget>

class QLineEdit;

namespace qm {

/// A number edit with up and down buttons. Its text may be anything the user types; the
/// value is that text read as an integer, or the minimum when it is not one. Every change
/// of the text reports changed(), whether typed or set from code.
class SpinEdit : public QWidget {
    Q_OBJECT
  public:
    SpinEdit(int minimum, int maximum, QWidget* parent);

    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    int value() const;
    /// Sets the value brought into range; reports changed() only when the text changes.
    void setValue(int value);
    QString text() const;
    void setText(const QString& text);
    QLineEdit* edit() { return m_edit; }

  signals:
    void changed();

  protected:
    /// Leaving the edit brings its text into range.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void step(int delta);

    int m_min;
    int m_max;
    QLineEdit* m_edit;
};

} // namespace qm
