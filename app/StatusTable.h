#pragma once
class QAbstractItemModel;
class QTableView;
class QWidget;

namespace qm {

/// A table of servers' answers as the status window shows them: whole rows selected, no
/// editing, sorted by a click on a header, columns as wide as their contents, the name
/// taking what is left and a long state cut short.
QTableView* newStatusTable(QAbstractItemModel* sortedModel, QWidget* parent);

} // namespace qm
