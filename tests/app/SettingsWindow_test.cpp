#include "tests/app/WindowTest.h"
#include "ui/CEditIPAddr.h"
#include "ui/SpinEdit.h"

#include <QLineEdit>
#include <QTimer>

using namespace qm;
using namespace qm::test;

class SettingsWindow : public WindowTest {
  protected:
    std::string ini() const { return dir.file("userpref.ini"); }
    void store(const std::string& text) { writeAll(ini(), text); }
};

TEST_F(SettingsWindow, NoFileGivesTheDefaults) {
    makeWindow();
    EXPECT_EQ(status(), "Loading 'userpref.ini' complete");
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(control<QLineEdit>("edPath2HL")->text().toStdString(), "");
    EXPECT_EQ(control<QLineEdit>("edPath2DB")->text().toStdString(), "Click Browse to add path to .db2 file");
    EXPECT_EQ(control<CEditIPAddr>("edProxyIP")->text(), "");
}

TEST_F(SettingsWindow, LoadsAndClampsValues) {
    store("[Monitoring]\nseTimer=50\nseTimeout=-5\ncbRefreshOnClick=yes\ncbRefreshOnTimer=2\n"
          "[Options]\nedPath2HL=C:\\Games\\hl.exe\n[Update]\nedProxyIP=10.0.0.1\nedProxyPort=3128\n");
    makeWindow();
    EXPECT_EQ(control<SpinEdit>("seTimer")->value(), 100);
    EXPECT_EQ(window->udpTimer->interval(), 100);
    EXPECT_EQ(control<SpinEdit>("seTimeout")->value(), -1);
    EXPECT_EQ(window->udpClient.ReceiveTimeout, -1);
    EXPECT_TRUE(control<QCheckBox>("cbRefreshOnClick")->isChecked());
    EXPECT_TRUE(control<QCheckBox>("cbRefreshOnTimer")->isChecked());
    EXPECT_TRUE(window->udpTimer->isActive());
    EXPECT_EQ(control<QLineEdit>("edPath2HL")->text().toStdString(), "C:\\Games\\hl.exe");
    EXPECT_EQ(control<CEditIPAddr>("edProxyIP")->text(), "10.0.0.1");
    EXPECT_EQ(control<QLineEdit>("edProxyPort")->text().toStdString(), "3128");
}

TEST_F(SettingsWindow, HexTimerValue) {
    store("[Monitoring]\nseTimer=0x1F4\n");
    makeWindow();
    EXPECT_EQ(control<SpinEdit>("seTimer")->value(), 500);
}

TEST_F(SettingsWindow, DisabledMonitoringDisablesItsBoxesDuringTheLoad) {
    store("[Monitoring]\ncbEnabledMonitor=0\n");
    makeWindow();
    EXPECT_FALSE(control<QCheckBox>("cbEnableMonitor")->isChecked());
    EXPECT_FALSE(control<QCheckBox>("cbRefreshOnClick")->isEnabled());
    EXPECT_FALSE(control<QCheckBox>("cbRefreshOnTimer")->isEnabled());
    EXPECT_TRUE(control<QCheckBox>("cbRefreshOnTimer")->isChecked());
}

TEST_F(SettingsWindow, UncheckedTimerBoxStopsTheTimer) {
    store("[Monitoring]\ncbRefreshOnTimer=0\n");
    makeWindow();
    EXPECT_FALSE(window->udpTimer->isActive());
}

TEST_F(SettingsWindow, RejectedProxyAddressStopsTheLoad) {
    store("[Update]\nedProxyIP=192.168.001.1\nedProxyPort=3128\nedProxyLogin=me\n");
    makeWindow();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Error reading 'userpref.ini' file");
    EXPECT_FALSE(dialogs.shown[0].error);
    EXPECT_NE(status(), "Loading 'userpref.ini' complete");
    EXPECT_EQ(control<QLineEdit>("edProxyPort")->text().toStdString(), "");
    EXPECT_EQ(control<QLineEdit>("edProxyLogin")->text().toStdString(), "");
}

TEST_F(SettingsWindow, SaveWritesEveryKeyInOrder) {
    makeWindow();
    control<SpinEdit>("seTimer")->setText("");
    control<CEditIPAddr>("edProxyIP")->part(0)->setText("192");
    click("bbSaveSettings");
    EXPECT_EQ(status(), "Saving 'userpref.ini' complete");
    EXPECT_EQ(
        readAll(ini()),
        "[Options]\r\nedPath2HL=\r\nedLanguage=English\r\nedExportName=custom.db2\r\nedExportBuild=custom\r\n"
        "edExportDate=00/00/00\r\ncbSaveOnExit=1\r\n[Import]\r\nedPath2DB=Click Browse to add path to .db2 "
        "file\r\n"
        "[Monitoring]\r\ncbEnabledMonitor=1\r\ncbRefreshOnClick=1\r\ncbRefreshOnTimer=1\r\nseTimer=100\r\n"
        "seTimeout=500\r\n[Update]\r\ncbCheck4Updates=1\r\nedProxyIP=192.0.0.0\r\nedProxyPort=\r\n"
        "edProxyLogin=\r\nedProxyPassword=\r\n");
    EXPECT_EQ(control<CEditIPAddr>("edProxyIP")->part(3)->text().toStdString(), "0");
}

TEST_F(SettingsWindow, SaveKeepsUnknownKeysAndComments) {
    store("; keep me\n[Options]\nedLanguage=English\nfuture=1\n[Mine]\na=b\n");
    makeWindow();
    click("bbSaveSettings");
    const std::string written = readAll(ini());
    EXPECT_EQ(written.rfind("; keep me\r\n", 0), 0u);
    EXPECT_NE(written.find("future=1\r\n"), std::string::npos);
    EXPECT_NE(written.find("[Mine]\r\na=b\r\n"), std::string::npos);
}

TEST_F(SettingsWindow, ReadOnlyFileGivesTheWriteErrorAndStaysIntact) {
    store("[Options]\nedLanguage=English\n");
    setReadOnly(ini(), true);
    makeWindow();
    click("bbSaveSettings");
    EXPECT_EQ(status(), "Error writing 'userpref.ini' file");
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(readAll(ini()), "[Options]\nedLanguage=English\n");
}

TEST_F(SettingsWindow, SavedValuesComeBackAtTheNextStart) {
    makeWindow();
    control<QCheckBox>("cbCheck4Updates")->setChecked(false);
    control<SpinEdit>("seTimeout")->setValue(750);
    control<QLineEdit>("edProxyPassword")->setText(" secret ");
    click("bbSaveSettings");
    window.reset();
    makeWindow();
    EXPECT_FALSE(control<QCheckBox>("cbCheck4Updates")->isChecked());
    EXPECT_EQ(control<SpinEdit>("seTimeout")->value(), 750);
    EXPECT_EQ(control<QLineEdit>("edProxyPassword")->text().toStdString(), " secret ");
}

TEST_F(SettingsWindow, ClosingWithSaveOnExitWritesTheFile) {
    makeWindow();
    control<QLineEdit>("edExportName")->setText("mine.db2");
    window.reset();
    EXPECT_NE(readAll(ini()).find("edExportName=mine.db2\r\n"), std::string::npos);
}

TEST_F(SettingsWindow, ClosingWithoutSaveOnExitLeavesTheFile) {
    store("[Options]\nedExportName=kept.db2\n");
    makeWindow();
    control<QCheckBox>("cbSaveOnExit")->setChecked(false);
    control<QLineEdit>("edExportName")->setText("mine.db2");
    window->close();
    window.reset();
    EXPECT_EQ(readAll(ini()), "[Options]\nedExportName=kept.db2\n");
}
