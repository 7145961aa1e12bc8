#include "app/StatusTable.h"

#include "app/ServerStatusModel.h"
#include "app/StatusSortProxy.h"

#include <QHeaderView>
#include <QMenu>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QTableView>

namespace qm {

namespace {
// Wide enough for "port closed (Socket Error # 10054)"; longer states are cut with a tooltip.
constexpr int kStateColumnWidth = 230;
// The server's name is what the table is read for: it never gets less than this.
constexpr int kNameColumnFloor = 200;

// The name column takes the room the others leave; when their contents leave it too little
// (wider fonts, long entries), it keeps the floor and the table scrolls sideways instead.
void keepTheNameReadable(QHeaderView* header) {
    int others = 0;
    for (int c = 0; c < header->count(); ++c)
        if (c != ServerStatusModel::Name) others += header->sectionSize(c);
    const bool cramped = header->viewport()->width() - others < kNameColumnFloor;
    const QHeaderView::ResizeMode wanted = cramped ? QHeaderView::Interactive : QHeaderView::Stretch;
    if (header->sectionResizeMode(ServerStatusModel::Name) != wanted)
        header->setSectionResizeMode(ServerStatusModel::Name, wanted);
    if (cramped && header->sectionSize(ServerStatusModel::Name) != kNameColumnFloor)
        header->resizeSection(ServerStatusModel::Name, kNameColumnFloor);
}
} // namespace

QTableView* newStatusTable(QAbstractItemModel* sortedModel, QWidget* parent) {
    auto* table = new QTableView(parent);
    table->setModel(sortedModel);
    table->setSortingEnabled(true);
    table->sortByColumn(-1, Qt::AscendingOrder);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab moves on to the window's buttons; the arrows move within the table.
    table->setTabKeyNavigation(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(20);
    // Columns as wide as their contents and header (its sort arrow too).
    QHeaderView* header = table->horizontalHeader();
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(40);
    for (int c = 0; c < ServerStatusModel::ColumnCount; ++c)
        header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(ServerStatusModel::Name, QHeaderView::Stretch);
    header->setSectionResizeMode(ServerStatusModel::State, QHeaderView::Interactive);
    table->setColumnWidth(ServerStatusModel::State, kStateColumnWidth);
    // Queued, so that the header has finished its own layout when the name's is weighed.
    QObject::connect(
        header, &QHeaderView::geometriesChanged, header, [header] { keepTheNameReadable(header); },
        Qt::QueuedConnection);
    QObject::connect(
        header, &QHeaderView::sectionResized, header,
        [header](int section) {
            if (section != ServerStatusModel::Name) keepTheNameReadable(header);
        },
        Qt::QueuedConnection);
    table->setTextElideMode(Qt::ElideRight);
    return table;
}

StatusTable makeStatusTable(QWidget* parent, const char* objectName, bool checkable) {
    StatusTable t;
    t.model = new ServerStatusModel(parent);
    t.model->setCheckable(checkable);
    t.sorted = new StatusSortProxy(t.model, parent);
    t.sorted->setDynamicSortFilter(false);
    t.view = newStatusTable(t.sorted, parent);
    t.view->setObjectName(QString::fromLatin1(objectName));
    return t;
}

namespace {

std::optional<JoinTarget> serverAt(const StatusTable& table, int sortedRow) {
    const QModelIndex row = table.sorted->mapToSource(table.sorted->index(sortedRow, 0));
    if (!row.isValid()) return std::nullopt;
    return table.model->joinTarget(static_cast<size_t>(row.row()), {});
}

} // namespace

QMenu* serverMenu(const StatusTable& table, int sortedRow, const ServerActions& actions, QWidget* parent) {
    const std::optional<JoinTarget> server = serverAt(table, sortedRow);
    if (!server) return nullptr;
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("pmServer"));
    QAction* join = menu->addAction(QStringLiteral("Join server"));
    join->setObjectName(QStringLiteral("miJoinServer"));
    join->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
    join->setShortcutVisibleInContextMenu(true);
    QObject::connect(join, &QAction::triggered, parent, [actions, s = *server] { actions.join(s); });
    QAction* details = menu->addAction(QStringLiteral("Details..."));
    details->setObjectName(QStringLiteral("miDetails"));
    QObject::connect(details, &QAction::triggered, parent, [actions, s = *server] { actions.details(s); });
    return menu;
}

void addServerActions(const StatusTable& table, QWidget* window, ServerActions actions) {
    QTableView* view = table.view;
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(view, &QWidget::customContextMenuRequested, window,
                     [table, window, actions](const QPoint& at) {
                         const QModelIndex under = table.view->indexAt(at);
                         if (!under.isValid()) return;
                         QMenu* menu = serverMenu(table, under.row(), actions, window);
                         if (!menu) return;
                         menu->exec(table.view->viewport()->mapToGlobal(at));
                         menu->deleteLater();
                     });
    QObject::connect(view, &QAbstractItemView::activated, window, [table, actions](const QModelIndex& index) {
        if (const auto server = serverAt(table, index.row())) actions.details(*server);
    });
    auto* joinKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_J), window);
    QObject::connect(joinKey, &QShortcut::activated, window, [table, actions] {
        const QModelIndex current = table.view->currentIndex();
        if (!current.isValid()) return;
        if (const auto server = serverAt(table, current.row())) actions.join(*server);
    });
}

} // namespace qm
