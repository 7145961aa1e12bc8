#include "tests/app/WindowTest.h"
#include "ui/CEditIPAddr.h"
#include "ui/CheckListBox.h"
#include "ui/SpinEdit.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

using namespace qm;
using namespace qm::test;

class MainWindow : public WindowTest {
  protected:
    void SetUp() override { makeWindow(); }
};

TEST_F(MainWindow, HasItsCaptionAndFixedSize) {
    EXPECT_EQ(window->windowTitle().toStdString(), "Quillmark 3.51");
    EXPECT_EQ(window->minimumSize(), QSize(592, 435));
    EXPECT_EQ(window->maximumSize(), QSize(592, 435));
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
}

TEST_F(MainWindow, OpensOnTheHelpPageWithFivePagesInOrder) {
    auto* pages = control<QTabWidget>("pcMenu");
    ASSERT_EQ(pages->count(), 5);
    const char* captions[] = {"Options", "Import", "Monitoring", "Update", "Help"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(pages->tabText(i).toStdString(), captions[i]);
    EXPECT_EQ(pages->currentIndex(), 4);
    EXPECT_EQ(pages->currentWidget()->objectName().toStdString(), "tsHelp");
}

TEST_F(MainWindow, ControlsStartInTheirDesignState) {
    const std::pair<const char*, const char*> captions[] = {{"bbInvert", "Invert"},
                                                            {"bbSelectAll", "Select All"},
                                                            {"bbDeselectAll", "Deselect All"},
                                                            {"bbDelete", "Delete"},
                                                            {"bbClear", "Clear"},
                                                            {"bbSaveList", "Export List"},
                                                            {"bbOverwrite", "Overwrite"},
                                                            {"bbPath2HL", "Browse"},
                                                            {"bbLanguageOpen", "Open"},
                                                            {"bbSaveSettings", "Save settings"},
                                                            {"bbBackUp", "Back Up"},
                                                            {"bbRestore", "Restore"},
                                                            {"bbOpenDB", "Find"},
                                                            {"bbAddCountry", "Add"},
                                                            {"bbMove", "Move"},
                                                            {"bbDeleteCountryIP", "Delete"},
                                                            {"bbCountryClear", "Clear"},
                                                            {"bbImportFavourites", "Import Favourites"},
                                                            {"bbDetect", "Detect"},
                                                            {"bbAddIP", "Add IP"},
                                                            {"bbUDPRefresh", "Refresh"},
                                                            {"bbUDPClear", "Clear"},
                                                            {"bbCheck4Updates", "Check for updates now"},
                                                            {"bbOpenHelp", "Open Help File"}};
    for (const auto& [name, caption] : captions)
        EXPECT_EQ(control<QPushButton>(name)->text().toStdString(), caption) << name;
    EXPECT_FALSE(control<QPushButton>("bbAddIP")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("bbLanguageOpen")->isEnabled());
    EXPECT_FALSE(control<QLineEdit>("edLanguage")->isEnabled());
    EXPECT_TRUE(control<QLineEdit>("edPath2HL")->isReadOnly());
    EXPECT_TRUE(control<QLineEdit>("edPath2DB")->isReadOnly());
    EXPECT_TRUE(control<QLineEdit>("edGameType")->isReadOnly());
    EXPECT_EQ(control<QLineEdit>("edNewPort")->maxLength(), 5);
    EXPECT_EQ(control<QLineEdit>("edNewPort")->text().toStdString(), "27015");
    EXPECT_EQ(control<QLineEdit>("edExportName")->text().toStdString(), "custom.db2");
    // Without a settings file the load's default replaces the design text "Custom".
    EXPECT_EQ(control<QLineEdit>("edExportBuild")->text().toStdString(), "custom");
    EXPECT_EQ(control<QLineEdit>("edExportDate")->text().toStdString(), "00/00/00");
    for (const char* box :
         {"cbSaveOnExit", "cbEnableMonitor", "cbRefreshOnClick", "cbRefreshOnTimer", "cbCheck4Updates"})
        EXPECT_TRUE(control<QCheckBox>(box)->isChecked()) << box;
    EXPECT_EQ(text("lbCount"), "0 servers");
    EXPECT_EQ(text("lbPathHLFound"), "'hl.exe' not found");
    EXPECT_EQ(text("lbFavouritesCount"), "0 servers imported");
    EXPECT_EQ(text("lbBuild"), "Build 000");
    EXPECT_EQ(text("lbDBDate"), "00/00/00");
    EXPECT_EQ(text("lbDBCount"), "0 server(s)");
    EXPECT_EQ(text("lbPing"), "000");
    EXPECT_EQ(text("lbVisit4Updates"), "Visit 4 updates");
    auto* timer = control<SpinEdit>("seTimer");
    EXPECT_EQ(timer->value(), 3000);
    EXPECT_EQ(timer->minimum(), 100);
    EXPECT_EQ(timer->maximum(), 99999);
    auto* timeout = control<SpinEdit>("seTimeout");
    EXPECT_EQ(timeout->value(), 500);
    EXPECT_EQ(timeout->minimum(), -1);
    EXPECT_TRUE(control<QPlainTextEdit>("mmUDPInfo")->isReadOnly());
    EXPECT_FALSE(control<QPlainTextEdit>("mmAbout")->isReadOnly());
    EXPECT_TRUE(control<QPlainTextEdit>("mmAbout")->toPlainText().contains("Version 3.51"));
    EXPECT_NE(control<CEditIPAddr>("edNewIP"), nullptr);
    EXPECT_EQ(control<CEditIPAddr>("edProxyIP")->text(), "");
}

TEST_F(MainWindow, CountsPerMillisecondIsTheFrequencyOverAThousand) {
    EXPECT_EQ(window->countsPerMillisecond(), 3579);
}

TEST_F(MainWindow, LogoPicturesAreCopiedAtStartUp) {
    EXPECT_FALSE(control<QLabel>("imLogoUpdate")->pixmap().isNull());
    EXPECT_FALSE(control<QLabel>("imHelpLogo")->pixmap().isNull());
}

TEST_F(MainWindow, EveryLogoAndTheLinkOpenTheSite) {
    for (const char* name : {"imLogo", "lbVisit4Updates", "imLogoUpdate", "imHelpLogo"}) {
        window->setStatusText("");
        auto* w = control<QLabel>(name);
        w->show();
        window->show();
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(status(), "Opening Quillmark site at updates.test") << name;
    }
    EXPECT_EQ(dialogs.opened, std::vector<std::string>(4, "http://updates.test/"));
}

TEST_F(MainWindow, OpenHelpOpensTheLocalFileAndLeavesTheStatus) {
    writeAll(dir.file("index.html"), "<html></html>");
    window->setStatusText("before");
    click("bbOpenHelp");
    EXPECT_EQ(dialogs.opened, std::vector<std::string>{"index.html"});
    EXPECT_EQ(status(), "before");
}

TEST_F(MainWindow, OpenHelpWithoutTheFileSaysWhereToGetIt) {
    click("bbOpenHelp");
    EXPECT_TRUE(dialogs.opened.empty());
    EXPECT_EQ(status(), "Help File not found on hard drive. Visit http://updates.test/ to download it");
}

TEST_F(MainWindow, DeleteWithNothingMarkedRewritesTheCountLabel) {
    click("bbDelete");
    EXPECT_EQ(text("lbCount"), "0 server(s)");
}

TEST_F(MainWindow, ListCommandsWorkOnTheView) {
    ServerList& list = window->servers();
    for (const char* t : {"1.0.0.1:27015 cstrike", "1.0.0.2:27015 cstrike", "1.0.0.3:27015 valve"})
        list.addIfAbsent(t);
    auto* view = control<CheckListBox>("clbIPs");
    window->setStatusText("");
    EXPECT_EQ(view->model()->rowCount(), 3);
    click("bbSelectAll");
    EXPECT_EQ(view->model()->index(1, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    click("bbInvert");
    EXPECT_FALSE(list.isChecked(2));
    list.setChecked(1, true);
    click("bbDelete");
    EXPECT_EQ(view->model()->rowCount(), 2);
    EXPECT_EQ(text("lbCount"), "2 server(s)");
    EXPECT_EQ(status(), "");
    click("bbClear");
    EXPECT_EQ(text("lbCount"), "0 server(s)");
    EXPECT_EQ(view->model()->rowCount(), 0);
}

TEST_F(MainWindow, SpaceBarFlipsTheHighlightedEntry) {
    ServerList& list = window->servers();
    list.addIfAbsent("1.0.0.1:27015 cstrike");
    list.addIfAbsent("1.0.0.2:27015 cstrike");
    auto* view = control<CheckListBox>("clbIPs");
    window->show();
    view->setFocus();
    view->clickRow(1);
    EXPECT_EQ(list.highlighted(), 1u);
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_TRUE(list.isChecked(1));
    EXPECT_FALSE(list.isChecked(0));
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_FALSE(list.isChecked(1));
}

TEST(ProjectSite, TheProgramAsksItsOwnSite) {
    const TfmMainEnvironment real;
    EXPECT_EQ(real.site.rootUrl, "http://quillmark.example/");
    EXPECT_EQ(real.site.hostName, "quillmark.example");
    EXPECT_EQ(real.site.updatePageUrl, "http://quillmark.example/update.html");
    EXPECT_TRUE(real.startupChecksOnShow);
}

// Every control of a page, group or panel lies inside it and clear of its neighbours,
// on every page, so that nothing added to the fixed layout covers what was there.
TEST_F(MainWindow, NoControlOverlapsAnotherOrLeavesItsParent) {
    std::vector<QWidget*> containers = {window.get()};
    for (int i = 0; i < window->pcMenu->count(); ++i)
        containers.push_back(window->pcMenu->widget(i));
    for (QWidget* w : window->findChildren<QWidget*>())
        if (qobject_cast<QGroupBox*>(w) || w->objectName() == "pnPing" || w->objectName() == "pnLogo")
            containers.push_back(w);
    for (QWidget* container : containers) {
        std::vector<QWidget*> children;
        for (QObject* o : container->children())
            if (auto* w = qobject_cast<QWidget*>(o);
                w && !w->isWindow() && w->objectName() != "qt_tabwidget_stackedwidget")
                children.push_back(w);
        for (size_t a = 0; a < children.size(); ++a) {
            const std::string name =
                children[a]->objectName().toStdString() + " in " + container->objectName().toStdString();
            EXPECT_TRUE(container->rect().contains(children[a]->geometry())) << name;
            for (size_t b = a + 1; b < children.size(); ++b)
                EXPECT_FALSE(children[a]->geometry().intersects(children[b]->geometry()))
                    << name << " and " << children[b]->objectName().toStdString();
        }
    }
}
