#pragma once
#include "join/JoinPlan.h"

#include <functional>

class QAbstractItemModel;
class QMenu;
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

/// What a table's rows lead to: a join of the server, and its details window.
struct ServerActions {
    std::function<void(const JoinTarget&)> join;
    std::function<void(const JoinTarget&)> details;
};

/// "Join server" (Ctrl+J) and "Details..." for the table's servers: in the rows' context
/// menu, Ctrl+J anywhere in `window`, and a double-click or Enter on a row for the details.
void addServerActions(const StatusTable& table, QWidget* window, ServerActions actions);

/// The context menu of the row at `sortedRow` (of the sorted model); null for no server.
QMenu* serverMenu(const StatusTable& table, int sortedRow, const ServerActions& actions, QWidget* parent);

} // namespace qm
