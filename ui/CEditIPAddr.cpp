#include "ui/CEditIPAddr.h"

#include "platform/Failure.h"
#include "platform/TextTools.h"
#include "serverlist/PastedEntries.h"
#include "ui/IpAddressRules.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

namespace qm {

CEditIPAddr::CEditIPAddr(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 0, 2, 0);
    row->setSpacing(0);
    for (size_t i = 0; i < 4; ++i) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("part%1").arg(i));
        edit->setFrame(false);
        edit->setMaxLength(3);
        edit->setAlignment(Qt::AlignCenter);
        edit->setValidator(new QIntValidator(0, 255, edit));
        // Only the first part is a tab stop, so the field is one stop in the tab chain.
        edit->setFocusPolicy(i == 0 ? Qt::StrongFocus : Qt::ClickFocus);
        edit->installEventFilter(this);
        m_parts[i] = edit;
        row->addWidget(edit, 1);
        if (i < 3) {
            auto* dot = new QLabel(QStringLiteral("."), this);
            dot->setBackgroundRole(QPalette::Base);
            row->addWidget(dot);
        }
    }
    setFocusPolicy(Qt::NoFocus);
    setFocusProxy(m_parts[0]);
}

int CEditIPAddr::indexOf(QObject* part) const {
    for (size_t i = 0; i < 4; ++i)
        if (m_parts[i] == part) return static_cast<int>(i);
    return -1;
}

void CEditIPAddr::moveTo(int index, bool cursorAtEnd) {
    QLineEdit* target = part(index);
    target->setFocus(Qt::OtherFocusReason);
    if (cursorAtEnd)
        target->setCursorPosition(static_cast<int>(target->text().size()));
    else
        target->selectAll();
}

bool CEditIPAddr::pasteAddress(const QString& text) {
    const std::string bytes = text.toStdString();
    const std::string_view line = trimmed(bytes, true);
    const size_t blank = line.find_first_of(" \t");
    const std::string server = pastedAddress(line.substr(0, blank));
    if (!server.empty()) {
        const size_t colon = server.find(':');
        pasteAddress(QString::fromStdString(server.substr(0, colon)));
        const std::string_view gameDir =
            blank == std::string_view::npos ? std::string_view() : trimmed(line.substr(blank));
        emit serverPasted(QString::fromStdString(server.substr(colon + 1)),
                          QString::fromUtf8(gameDir.data(), static_cast<qsizetype>(gameDir.size())));
        return true;
    }
    const auto parts = partsOfPastedAddress(bytes);
    if (!parts) return false;
    for (size_t i = 0; i < 4; ++i)
        m_parts[i]->setText(QString::fromStdString((*parts)[i]));
    moveTo(3, true);
    return true;
}

bool CEditIPAddr::handleKey(int index, QKeyEvent* key) {
    QLineEdit* edit = part(index);
    if (key->matches(QKeySequence::Paste)) return pasteAddress(QApplication::clipboard()->text());
    switch (key->key()) {
    case Qt::Key_Period:
    case Qt::Key_Space:
        // An empty part ignores it, so "." after a part that moved on by itself is harmless.
        if (index < 3 && !edit->text().isEmpty()) moveTo(index + 1, false);
        return true;
    case Qt::Key_Backspace:
        if (index > 0 &&
            (edit->text().isEmpty() || (edit->cursorPosition() == 0 && !edit->hasSelectedText()))) {
            moveTo(index - 1, true);
            return true;
        }
        return false;
    case Qt::Key_Left:
        if (index > 0 && edit->cursorPosition() == 0 && !edit->hasSelectedText()) {
            moveTo(index - 1, true);
            return true;
        }
        return false;
    case Qt::Key_Right:
        if (index < 3 && edit->cursorPosition() == edit->text().size() && !edit->hasSelectedText()) {
            moveTo(index + 1, false);
            edit = part(index + 1);
            edit->deselect();
            edit->setCursorPosition(0);
            return true;
        }
        return false;
    case Qt::Key_Backtab:
        // Back out of the whole field, from whichever part has the focus.
        if (index > 0) {
            part(0)->setFocus(Qt::BacktabFocusReason);
            QKeyEvent again(QEvent::KeyPress, Qt::Key_Backtab, key->modifiers());
            QApplication::sendEvent(part(0), &again);
            return true;
        }
        return false;
    default:
        break;
    }
    if (key->text().size() == 1 && key->text()[0].isDigit()) {
        // Type the digit, then move on when the part can take no further one.
        m_forwarding = true;
        QApplication::sendEvent(edit, key);
        m_forwarding = false;
        if (index < 3 && partIsComplete(edit->text().toStdString())) moveTo(index + 1, false);
        return true;
    }
    return false;
}

bool CEditIPAddr::eventFilter(QObject* watched, QEvent* event) {
    const int index = indexOf(watched);
    if (index < 0 || m_forwarding) return QFrame::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) return handleKey(index, static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::ContextMenu) {
        // The menu's Paste takes a whole address too.
        QMenu* menu = part(index)->createStandardContextMenu();
        for (QAction* action : menu->actions()) {
            if (action->objectName() == QLatin1String("edit-paste")) {
                action->disconnect();
                connect(action, &QAction::triggered, this, [this, index] {
                    if (!pasteAddress(QApplication::clipboard()->text())) part(index)->paste();
                });
            }
        }
        menu->exec(static_cast<QContextMenuEvent*>(event)->globalPos());
        delete menu;
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

std::string CEditIPAddr::text() const {
    std::array<std::string, 4> parts;
    for (size_t i = 0; i < 4; ++i)
        parts[i] = m_parts[i]->text().toStdString();
    const std::string text = addressTextFromParts(parts);
    if (text.empty()) return text;
    size_t start = 0;
    for (size_t i = 0; i < 4; ++i) {
        const size_t dot = text.find('.', start);
        m_parts[i]->setText(QString::fromStdString(text.substr(start, dot - start)));
        start = dot + 1;
    }
    return text;
}

void CEditIPAddr::setText(const std::string& text) {
    if (text.empty()) {
        for (QLineEdit* p : m_parts)
            p->clear();
        return;
    }
    const auto parts = parseAddressText(text);
    if (!parts) throw Failure("'" + text + "' is not a valid IP address");
    for (size_t i = 0; i < 4; ++i)
        m_parts[i]->setText(QString::number((*parts)[i]));
}

} // namespace qm
