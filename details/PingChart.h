#pragma once
#include "details/PingHistory.h"

#include <QWidget>

namespace qm {

/// The ping (a line) and the players (bars, against the server's slots) of every refresh
/// since the window opened, the newest at the right; a silent refresh is a gap in the line.
class PingChart : public QWidget {
    Q_OBJECT
  public:
    explicit PingChart(const PingHistory& history, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {260, 110}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const PingHistory& m_history;
};

} // namespace qm
