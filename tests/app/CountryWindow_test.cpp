// Countries in the window: the tables' Country column and the Find window's filter, the
// details and the Monitoring page, Export as database and back in through the Import page,
// and another country database chosen on the Options page.
#include "app/ServerStatusModel.h"
#include "app/TfmFindServers.h"
#include "app/TfmServerStatus.h"
#include "database/DatabaseBrowser.h"
#include "details/TfmServerDetails.h"
#include "query/InfoQuery.h"
#include "query/InfoReply.h"
#include "tests/app/WindowTest.h"
#include "tests/support/UdpResponder.h"
#include "ui/CheckListBox.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTreeWidget>

using namespace qm;
using namespace qm::test;

namespace {

ListedServer listed(const char* address, uint16_t port, const char* gameDir = "cstrike") {
    ListedServer s;
    s.address = Endpoint::fromDotted(address, port);
    s.gameDir = gameDir;
    return s;
}

std::vector<std::string> shownColumn(QTableView* table, int column, int role = Qt::DisplayRole) {
    std::vector<std::string> values;
    for (int r = 0; r < table->model()->rowCount(); ++r)
        values.push_back(table->model()->index(r, column).data(role).toString().toStdString());
    return values;
}

} // namespace

class CountryWindow : public WindowTest {
  protected:
    CountryWindow()
        : server([](const std::string& request) {
              ServerInfo info;
              return request == kInfoRequest ? buildInfoReply(info) : std::string();
          }) {}
    void SetUp() override {
        env.countryData = QM_TEST_MMDB;
        env.exportDir = dir.path();
        env.statusOptions.silenceMs = 200;
        env.statusOptions.retries = 0;
        env.statusOptions.playersWaitMs = 200;
        makeWindow();
        window->show();
    }
    TfmFindServers& findWindowWithThreeCountries() {
        click("bbFindServers");
        TfmFindServers& find = *window->fmFindServers;
        find.model().append({listed("127.0.0.1", 27015), listed("127.128.0.1", 27016, "valve"),
                             listed("127.230.0.1", 27017)});
        return find;
    }
    UdpResponder server;
};

TEST_F(CountryWindow, TheTablesShowTheCodeWithTheNameAsTooltip) {
    for (const char* entry : {"127.0.0.1:27015 cstrike", "127.128.0.1:27015 valve", "127.230.0.1:27015 dod"})
        window->servers().addIfAbsent(entry);
    click("bbServerStatus");
    TfmServerStatus& status = *window->fmServerStatus;
    EXPECT_EQ(shownColumn(status.tvServerStatus, ServerStatusModel::Country),
              (std::vector<std::string>{"DE", "AU", ""}));
    EXPECT_EQ(shownColumn(status.tvServerStatus, ServerStatusModel::Country, Qt::ToolTipRole),
              (std::vector<std::string>{"Germany", "Australia", ""}));
    EXPECT_EQ(
        status.tvServerStatus->model()->headerData(ServerStatusModel::Country, Qt::Horizontal).toString(),
        "Country");
    // Sorted by it, the unknown ones go last.
    status.tvServerStatus->sortByColumn(ServerStatusModel::Country, Qt::AscendingOrder);
    EXPECT_EQ(shownColumn(status.tvServerStatus, ServerStatusModel::Country).front(), "AU");
}

TEST_F(CountryWindow, TheFindWindowFiltersByCodeOrName) {
    TfmFindServers& find = findWindowWithThreeCountries();
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"germ", {"DE"}}, {"au", {"AU"}}, {"  DE ", {"DE"}}, {"", {"DE", "AU", ""}}, {"nowhere", {}}};
    for (const auto& [typed, shown] : cases) {
        find.edFindCountry->setText(QString::fromLatin1(typed));
        EXPECT_EQ(shownColumn(find.tvFoundServers, ServerStatusModel::Country), shown) << typed;
    }
}

TEST_F(CountryWindow, ExportAsDatabaseComesBackThroughTheImportPage) {
    TfmFindServers& find = findWindowWithThreeCountries();
    const std::string path = dir.file("found.db2");
    find.edDatabaseBuild->setText(QStringLiteral("B42"));
    dialogs.pickNext(path);
    find.bbExportDatabase->menu()->findChild<QAction*>(QStringLiteral("miExportAll"))->trigger();
    EXPECT_EQ(find.lbFindState->text().toStdString(), "Exporting complete: " + path);
    ASSERT_FALSE(dialogs.saveDialogStarts.empty());
    EXPECT_EQ(dialogs.saveDialogStarts.back().rfind(dir.path() + "servers-", 0), 0u);
    const auto summary = loadDatabase(path);
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->build, "B42");
    EXPECT_EQ(summary->countries, (std::vector<std::string>{"Australia", "Germany", "Unknown"}));

    // Find, Add and Move on the Import page: the same servers, under the same countries.
    dialogs.pickNext(path);
    click("bbOpenDB");
    auto* box = control<QComboBox>("cbCountry");
    for (const auto& [country, entry] :
         std::vector<std::pair<std::string, std::string>>{{"Australia", "127.128.0.1:27016 valve"},
                                                          {"Germany", "127.0.0.1:27015 cstrike"},
                                                          {"Unknown", "127.230.0.1:27017 cstrike"}}) {
        box->setCurrentText(QString::fromStdString(country));
        click("bbAddCountry");
        ASSERT_EQ(window->databaseServers().texts(), std::vector<std::string>{entry}) << country;
        click("bbMove");
    }
    EXPECT_EQ(window->servers().count(), 3u);

    // Nothing chosen: said, and no dialog.
    const size_t dialogsBefore = dialogs.saveDialogStarts.size();
    find.bbExportDatabase->menu()->findChild<QAction*>(QStringLiteral("miExportChecked"))->trigger();
    EXPECT_EQ(find.lbFindState->text().toStdString(), "No server to export.");
    EXPECT_EQ(dialogs.saveDialogStarts.size(), dialogsBefore);
}

TEST_F(CountryWindow, DetailsAndTheMonitoringPageSayWhereTheServerIs) {
    const std::string entry = "127.0.0.1:" + std::to_string(server.port()) + " cstrike";
    window->servers().addIfAbsent(entry);
    window->pcMenu->setCurrentWidget(window->tsMonitoring);
    window->clbIPs->clickRow(0);
    EXPECT_EQ(control<QPlainTextEdit>("mmUDPInfo")->toolTip().toStdString(), "Country: Germany (DE)");
    window->showEntryDetails(0);
    auto* details = window->findChild<TfmServerDetails*>();
    ASSERT_NE(details, nullptr);
    ASSERT_TRUE(waitFor([&] { return details->tvFacts->topLevelItemCount() > 0; }));
    const auto rows = details->tvFacts->findItems(QStringLiteral("Country"), Qt::MatchExactly, 0);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0]->text(1).toStdString(), "Germany (DE)");
    details->close();
}

TEST_F(CountryWindow, AnotherDatabaseIsChosenKeptOrRefused) {
    EXPECT_EQ(window->countryOf("127.0.0.1"), "DE");
    writeAll(dir.file("broken.mmdb"), "not a database");
    dialogs.pickNext(dir.file("broken.mmdb"));
    click("bbCountryData");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].error);
    EXPECT_NE(dialogs.shown[0].text.find("is no MaxMind DB file"), std::string::npos)
        << dialogs.shown[0].text;
    EXPECT_EQ(window->countryOf("127.0.0.1"), "DE"); // the one in use stays
    EXPECT_EQ(window->countryDataPath(), QM_TEST_MMDB);

    dialogs.pickNext(QM_TEST_MMDB);
    click("bbCountryData");
    EXPECT_EQ(status(), std::string("Countries of servers from ") + QM_TEST_MMDB);
    click("bbSaveSettings");
    EXPECT_NE(readAll(dir.file("userpref.ini")).find(std::string("CountryDatabase=") + QM_TEST_MMDB),
              std::string::npos);
    // A chosen file that is gone later: every country unknown, the window works on.
    window.reset(); // saves its settings on the way out
    writeAll(dir.file("userpref.ini"), "[Options]\nCountryDatabase=" + dir.file("gone.mmdb") + "\n");
    makeWindow();
    EXPECT_EQ(window->countryOf("127.0.0.1"), "");
    EXPECT_EQ(window->countryDataPath(), "");
}
