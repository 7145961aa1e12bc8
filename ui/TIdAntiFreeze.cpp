#include "ui/TIdAntiFreeze.h"

#include "platform/Failure.h"

#include <QApplication>

namespace qm {

bool TIdAntiFreeze::s_exists = false;

TIdAntiFreeze::TIdAntiFreeze() {
    if (s_exists) throw Failure("Only one TIdAntiFreeze can exist per application.");
    s_exists = true;
}

TIdAntiFreeze::~TIdAntiFreeze() {
    s_exists = false;
}

void TIdAntiFreeze::process() {
    QApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace qm
