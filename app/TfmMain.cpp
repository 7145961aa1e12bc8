#include "app/TfmMain.h"

#include "app/AppTitle.h"
#include "app/ErrorReport.h"
#include "ui/CheckListBox.h"
#include "ui/ClickLabel.h"
#include "ui/GradientButton.h"
#include "ui/TextCodec.h"

#include <QLabel>
#include <QShowEvent>
#include <QTimer>

namespace qm {

TfmMain::TfmMain(const TfmMainEnvironment& env, QWidget* parent) : QWidget(parent), m_env(env) {
    buildWindow();
    connectHandlers();
    FormCreate();
}

TfmMain::~TfmMain() { FormDestroy(); }

void TfmMain::connectHandlers() {
    auto on = [this](GradientButton* b, void (TfmMain::*handler)()) {
        connect(b, &QPushButton::clicked, this, [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    };
    on(bbInvert, &TfmMain::bbInvertClick);
    on(bbSelectAll, &TfmMain::bbSelectAllClick);
    on(bbDeselectAll, &TfmMain::bbDeselectAllClick);
    on(bbDelete, &TfmMain::bbDeleteClick);
    on(bbClear, &TfmMain::bbClearClick);
    on(bbOpenHelp, &TfmMain::bbOpenHelpClick);
    on(bbPath2HL, &TfmMain::bbPath2HLClick);
    on(bbOverwrite, &TfmMain::bbOverwriteClick);
    on(bbImportFavourites, &TfmMain::bbImportFavouritesClick);
    on(bbBackUp, &TfmMain::bbBackUpClick);
    on(bbRestore, &TfmMain::bbRestoreClick);
    for (ClickLabel* logo : {imLogo, lbVisit4Updates, imLogoUpdate, imHelpLogo})
        connect(logo, &ClickLabel::clicked, this, [this] { guarded([this] { imLogoClick(); }); });
    connect(clbIPs, &CheckListBox::clicked, this, [this] { guarded([this] { clbIPsClick(); }); });
}

void TfmMain::guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        m_env.dialogs->showError(kApplicationTitle, errorReportText(e.what()));
    }
}

QString TfmMain::statusText() const { return sbStatusPanel->text(); }

void TfmMain::setStatusText(const std::string& text) { sbStatusPanel->setText(toDisplay(text)); }

void TfmMain::showMessage(const std::string& text) { m_env.dialogs->showMessage(kApplicationTitle, text); }

void TfmMain::FormCreate() {
    m_countsPerMs = m_env.clock->frequency() / 1000;
    imLogoUpdate->setPixmap(imLogo->pixmap());
    imHelpLogo->setPixmap(imLogo->pixmap());
}

void TfmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_startupChecksDone && !event->spontaneous())
        QTimer::singleShot(0, this, [this] { runStartupChecks(); });
}

void TfmMain::runStartupChecks() {
    if (m_startupChecksDone)
        return;
    m_startupChecksDone = true;
    detectGameLocation();
}

void TfmMain::FormDestroy() {}

} // namespace qm
