#include "app/StatusTable.h"

#include "app/ServerStatusModel.h"

#include <QHeaderView>
#include <QTableView>

namespace qm {

namespace {
// Wide enough for "port closed (Socket Error # 10054)"; longer states are cut with a tooltip.
constexpr int kStateColumnWidth = 230;
} // namespace

QTableView* newStatusTable(QAbstractItemModel* sortedModel, QWidget* parent) {
    auto* table = new QTableView(parent);
    table->setModel(sortedModel);
    table->setSortingEnabled(true);
    table->sortByColumn(-1, Qt::AscendingOrder);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
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
    table->setTextElideMode(Qt::ElideRight);
    return table;
}

} // namespace qm
