#pragma once
// For the start-up probes: ends the program once a window has painted for the first time,
// which is when a user sees it.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>

namespace qm::bench {

class QuitOnFirstPaint : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) QCoreApplication::exit(0);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace qm::bench
