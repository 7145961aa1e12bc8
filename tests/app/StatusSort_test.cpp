// The status tables' order: each column by its own kind of value, both ways, with the
// servers that told nothing after the others, and rows added later sorted with the rest.
#include "app/ServerStatusModel.h"
#include "app/StatusTable.h"
#include "tests/app/WindowTest.h"

#include <QSortFilterProxyModel>
#include <QTableView>

#include <gtest/gtest.h>

using namespace qm;
using namespace qm::test;

namespace {

ListedServer listed(uint16_t port, const std::string& name, const std::string& players) {
    ListedServer s;
    s.address = Endpoint::fromDotted("127.0.0.1", port);
    if (!name.empty()) {
        s.described = true;
        s.summary = {name, "de_dust2", players, "32", "0"};
    }
    return s;
}

// The ports of the rows as the table shows them.
std::vector<int> portsInOrder(const StatusTable& table) {
    std::vector<int> ports;
    for (int r = 0; r < table.sorted->rowCount(); ++r) {
        const QString entry = table.sorted->index(r, ServerStatusModel::Entry).data().toString();
        ports.push_back(entry.section(QLatin1Char(':'), 1).toInt());
    }
    return ports;
}

} // namespace

TEST(StatusSort, EachColumnSortsByItsKindBothWaysAndSilentRowsStayLast) {
    application();
    QWidget parent;
    const StatusTable table = makeStatusTable(&parent, "tvFoundServers", true);
    // Port 4 is a master's address alone: nothing to show, so last either way.
    table.model->append(
        {listed(1, "beta", "10"), listed(2, "Alpha", "9"), listed(3, "gamma", "100"), listed(4, "", "")});
    const struct {
        ServerStatusModel::Column column;
        Qt::SortOrder order;
        std::vector<int> ports;
    } cases[] = {
        {ServerStatusModel::Name, Qt::AscendingOrder, {2, 1, 3, 4}}, // case is folded
        {ServerStatusModel::Name, Qt::DescendingOrder, {3, 1, 2, 4}},
        {ServerStatusModel::Players, Qt::AscendingOrder, {2, 1, 3, 4}}, // 9 < 10 < 100 as numbers
        {ServerStatusModel::Players, Qt::DescendingOrder, {3, 1, 2, 4}},
        {ServerStatusModel::Entry, Qt::DescendingOrder, {3, 2, 1, 4}},
    };
    for (const auto& c : cases) {
        table.view->sortByColumn(c.column, c.order);
        EXPECT_EQ(portsInOrder(table), c.ports) << "column " << c.column << ", order " << c.order;
    }

    // Rows found after a sort come at the end, and the next sort takes them in with
    // their own names, not the keys of the sort before.
    table.view->sortByColumn(ServerStatusModel::Name, Qt::AscendingOrder);
    table.model->append({listed(5, "aardvark", "1"), listed(6, "zulu", "2")});
    EXPECT_EQ(portsInOrder(table), (std::vector<int>{2, 1, 3, 4, 5, 6}));
    table.view->sortByColumn(ServerStatusModel::Name, Qt::AscendingOrder);
    EXPECT_EQ(portsInOrder(table), (std::vector<int>{5, 2, 1, 3, 6, 4}));
    table.view->sortByColumn(ServerStatusModel::Players, Qt::AscendingOrder);
    EXPECT_EQ(portsInOrder(table), (std::vector<int>{5, 6, 2, 1, 3, 4}));
}
