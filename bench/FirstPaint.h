#pragma once
// For the start-up probes: ends the program once a window has painted for the first time,
// which is when a user sees it. It ends there and then, without the tidying up that
// follows (a real quit would save the settings), which is no part of starting.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <cstdlib>

namespace qm::bench {

class QuitOnFirstPaint : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            // Once this paint is done and on the screen.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] { std::_Exit(0); }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool m_painted = false;
};

} // namespace qm::bench
