#include "ui/CEditIPAddr.h"

#include "platform/Failure.h"
#include "ui/IpAddressRules.h"

#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>

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
        edit->setFocusPolicy(Qt::ClickFocus);
        m_parts[i] = edit;
        row->addWidget(edit, 1);
        if (i < 3) {
            auto* dot = new QLabel(QStringLiteral("."), this);
            dot->setBackgroundRole(QPalette::Base);
            row->addWidget(dot);
        }
    }
    setFocusPolicy(Qt::NoFocus);
}

std::string CEditIPAddr::text() {
    std::array<std::string, 4> parts;
    for (size_t i = 0; i < 4; ++i)
        parts[i] = m_parts[i]->text().toStdString();
    const std::string text = addressTextFromParts(parts);
    if (text.empty())
        return text;
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
    if (!parts)
        throw Failure("'" + text + "' is not a valid IP address");
    for (size_t i = 0; i < 4; ++i)
        m_parts[i]->setText(QString::number((*parts)[i]));
}

} // namespace qm
