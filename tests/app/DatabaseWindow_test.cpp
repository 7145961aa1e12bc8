#include "platform/Paths.h"
#include "tests/app/WindowTest.h"
#include "tests/database/DatabaseTestFile.h"
#include "tests/support/TestSystem.h"

#include <QComboBox>
#include <QLineEdit>

#include <fstream>

using namespace qm;
using namespace qm::test;

class DatabaseWindow : public WindowTest {
  protected:
    void SetUp() override { makeWindow(); }
    std::string db() const { return dir.file("servers-test.db2"); }
    void find(const std::string& path) {
        dialogs.pickNext(path);
        click("bbOpenDB");
    }
    std::string country() { return control<QComboBox>("cbCountry")->currentText().toStdString(); }
    void writeSample() {
        writeDatabase(db(), {"Quillmark", "7", "08/12/26", "5", "/Spain", "1.1.1.1:27015 cstrike",
                             "2.2.2.2:27015 valve", "/Italy", "3.3.3.3:27015 cstrike", "/Spain",
                             "4.4.4.4:27015 dod", "/Austria", "5.5.5.5:27015 cstrike"});
    }
};

TEST_F(DatabaseWindow, FindLoadsTheHeaderAndSortedCountries) {
    writeSample();
    find(db());
    EXPECT_EQ(dialogs.filters.back(),
              std::make_pair(std::string("Quillmark Database v2 (*.db2)"), std::string("*.db2")));
    EXPECT_EQ(control<QLineEdit>("edPath2DB")->text().toStdString(), db());
    EXPECT_EQ(text("lbBuild"), "Build 7");
    EXPECT_EQ(text("lbDBDate"), "08/12/26");
    EXPECT_EQ(text("lbDBCount"), "5");
    auto* box = control<QComboBox>("cbCountry");
    ASSERT_EQ(box->count(), 4);
    EXPECT_EQ(box->itemText(0).toStdString(), "Austria");
    EXPECT_EQ(box->itemText(2).toStdString(), "Spain");
    EXPECT_EQ(box->itemText(3).toStdString(), "Spain");
    EXPECT_EQ(country(), "Austria");
    EXPECT_EQ(status(), "Importing complete");
}

TEST_F(DatabaseWindow, CancelledFindWithTheStartTextReportsFileNotFound) {
    click("bbOpenDB");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].error);
    EXPECT_EQ(dialogs.shown[0].caption, "Quillmark");
    EXPECT_EQ(dialogs.shown[0].text, "File not found.");
}

TEST_F(DatabaseWindow, CancelledFindReloadsTheNamedFile) {
    writeSample();
    find(db());
    click("bbAddCountry");
    ASSERT_GT(window->databaseServers().count(), 0u);
    click("bbOpenDB");
    EXPECT_EQ(window->databaseServers().count(), 0u);
    EXPECT_EQ(status(), "Importing complete");
}

TEST_F(DatabaseWindow, RejectedFileKeepsWhatWasShown) {
    writeSample();
    find(db());
    writeDatabase(dir.file("bad.db2"), {"quillmark", "9"});
    find(dir.file("bad.db2"));
    EXPECT_EQ(status(), "DataBase2 file is corrupted");
    EXPECT_EQ(dialogs.shown.back().text, "File is incorrect");
    EXPECT_EQ(control<QLineEdit>("edPath2DB")->text().toStdString(), dir.file("bad.db2"));
    EXPECT_EQ(text("lbBuild"), "Build 7");
    EXPECT_EQ(control<QComboBox>("cbCountry")->count(), 4);
}

TEST_F(DatabaseWindow, AddTwiceAddsNothingNewAndRestoresMarks) {
    writeSample();
    find(db());
    control<QComboBox>("cbCountry")->setEditText("Spain");
    click("bbAddCountry");
    EXPECT_EQ(status(), "Country was added");
    ServerList& list = window->databaseServers();
    // The first "/Spain" block only.
    EXPECT_EQ(list.texts(), (std::vector<std::string>{"1.1.1.1:27015 cstrike", "2.2.2.2:27015 valve"}));
    EXPECT_TRUE(list.isChecked(0));
    list.setAllMarks(false);
    click("bbAddCountry");
    EXPECT_EQ(list.count(), 2u);
    EXPECT_TRUE(list.isChecked(0));
    EXPECT_TRUE(list.isChecked(1));
}

TEST_F(DatabaseWindow, TypedCountryMustMatchItsCase) {
    writeSample();
    find(db());
    control<QComboBox>("cbCountry")->setEditText("spain");
    click("bbAddCountry");
    EXPECT_EQ(window->databaseServers().count(), 0u);
    EXPECT_EQ(status(), "Country was added");
}

TEST_F(DatabaseWindow, DeleteClearAndMove) {
    writeSample();
    find(db());
    control<QComboBox>("cbCountry")->setEditText("Spain");
    click("bbAddCountry");
    control<QComboBox>("cbCountry")->setEditText("Italy");
    click("bbAddCountry");
    ServerList& list = window->databaseServers();
    ASSERT_EQ(list.count(), 3u);
    list.setChecked(1, false);
    list.setChecked(0, false);
    click("bbDeleteCountryIP");
    EXPECT_EQ(status(), "Selected IPs deleted");
    EXPECT_EQ(list.count(), 2u);
    window->servers().addIfAbsent("1.1.1.1:27015 cstrike");
    click("bbMove");
    EXPECT_EQ(status(), "IPs were moved");
    EXPECT_EQ(list.count(), 0u);
    EXPECT_EQ(window->servers().texts(),
              (std::vector<std::string>{"1.1.1.1:27015 cstrike", "2.2.2.2:27015 valve"}));
    EXPECT_TRUE(window->servers().isChecked(0));
    EXPECT_EQ(text("lbCount"), "2 server(s)");
    click("bbCountryClear");
    EXPECT_EQ(status(), "List cleared");
}

TEST_F(DatabaseWindow, ExportThenFindThenAddGivesBackEveryEntryChecked) {
    window->servers().addIfAbsent("10.0.0.5:27015 cstrike");
    window->servers().addIfAbsent("9.0.0.1:27015 valve");
    click("bbDelete"); // refreshes the count label to "2 server(s)"
    control<QLineEdit>("edExportName")->setText("mine.db2");
    control<QLineEdit>("edExportBuild")->setText("B1");
    control<QLineEdit>("edExportDate")->setText("today");
    click("bbSaveList");
    // The status names where the file went.
    const std::string said = status();
    ASSERT_EQ(said.rfind("Exporting complete: ", 0), 0u) << said;
    EXPECT_TRUE(isFile(said.substr(20))) << said;
    EXPECT_EQ(said.substr(said.size() - 8), "mine.db2");
    find(dir.file("mine.db2"));
    EXPECT_EQ(text("lbBuild"), "Build B1");
    EXPECT_EQ(text("lbDBDate"), "today");
    EXPECT_EQ(text("lbDBCount"), "2");
    EXPECT_EQ(country(), "Custom build");
    click("bbAddCountry");
    EXPECT_EQ(window->databaseServers().texts(), window->servers().texts());
    EXPECT_TRUE(window->databaseServers().isChecked(0));
    EXPECT_TRUE(window->databaseServers().isChecked(1));
}

TEST_F(DatabaseWindow, ExportWithAnEmptyOptionTouchesNothing) {
    control<QLineEdit>("edExportDate")->setText("");
    click("bbSaveList");
    EXPECT_EQ(status(), "Error: fill export options first");
    EXPECT_FALSE(std::ifstream(dir.file("custom.db2")).good());
}

TEST_F(DatabaseWindow, ExportIntoAMissingFolderShowsTheFileError) {
    control<QLineEdit>("edExportName")->setText(QString::fromStdString(dir.file("no/such/x.db2")));
    click("bbSaveList");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, "Invalid filename (" + systemPathOf(dir.file("no/such/x.db2")) + ")");
}

TEST_F(DatabaseWindow, StartUpLoadsTheStoredDatabaseSilently) {
    writeSample();
    window.reset(); // saves its own settings on the way out
    writeAll(dir.file("userpref.ini"), "[Import]\nedPath2DB=" + db() + "\n[Update]\ncbCheck4Updates=0\n");
    makeWindow();
    window->runStartupChecks();
    EXPECT_EQ(status(), "Importing complete");
    EXPECT_EQ(control<QComboBox>("cbCountry")->count(), 4);
}

TEST_F(DatabaseWindow, StartUpWithTheHintTextSaysNothing) {
    window->setStatusText("kept");
    window->runStartupChecks();
    EXPECT_TRUE(dialogs.shown.empty());
}
