#include "ui/WindowPlacement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace qm {

namespace {

constexpr const char* kPlacedProperty = "qmPlacedBeside";

int keptWithin(int at, int length, int start, int room) {
    return std::max(start, std::min(at, start + room - length));
}

} // namespace

QPoint placeBeside(const QRect& owner, const QSize& size, const QRect& screen) {
    const int top = keptWithin(owner.top(), size.height(), screen.top(), screen.height());
    if (owner.right() + 1 + size.width() <= screen.right() + 1) return {owner.right() + 1, top};
    if (owner.left() - size.width() >= screen.left()) return {owner.left() - size.width(), top};
    const QPoint centred(owner.x() + (owner.width() - size.width()) / 2,
                         owner.y() + (owner.height() - size.height()) / 2);
    return {keptWithin(centred.x(), size.width(), screen.left(), screen.width()),
            keptWithin(centred.y(), size.height(), screen.top(), screen.height())};
}

void showBeside(QWidget* window, const QWidget* owner) {
    if (!window->property(kPlacedProperty).toBool() && owner) {
        // The frame's margins are the system's; before the first show they are guessed
        // from the owner's own.
        const QRect ownerFrame = owner->frameGeometry();
        const QSize margins = ownerFrame.size() - owner->geometry().size();
        const QSize frame = window->size() + margins;
        const QScreen* screen = owner->screen();
        const QRect room = screen ? screen->availableGeometry() : ownerFrame;
        window->move(placeBeside(ownerFrame, frame, room));
        window->setProperty(kPlacedProperty, true);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace qm
