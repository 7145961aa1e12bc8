#pragma once
class QAbstractItemModel;
class QSortFilterProxyModel;
class QTableView;
class QWidget;

namespace qm {

class ServerStatusModel;

/// A table of servers' answers as the status window shows them: whole rows selected, no
/// editing, sorted by a click on a header, columns as wide as their contents, the name
/// taking what is left and a long state cut short.
QTableView* newStatusTable(QAbstractItemModel* sortedModel, QWidget* parent);

/// The status table with its rows and their sorting, as every window that shows servers'
/// answers has it: rows keep their place while answers come in, a click on a header sorts
/// again. All three belong to `parent`.
struct StatusTable {
    ServerStatusModel* model = nullptr;
    QSortFilterProxyModel* sorted = nullptr;
    QTableView* view = nullptr;
};
StatusTable makeStatusTable(QWidget* parent, const char* objectName, bool checkable);

} // namespace qm
