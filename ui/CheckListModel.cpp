#include "ui/CheckListModel.h"

#include "ui/TextCodec.h"

namespace qm {

CheckListModel::CheckListModel(ServerList& list, QObject* parent) : QAbstractListModel(parent), m_list(list) {
    m_list.setObserver(this);
}

CheckListModel::~CheckListModel() {
    m_list.setObserver(nullptr);
}

int CheckListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_list.count());
}

QVariant CheckListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<size_t>(index.row()) >= m_list.count()) return {};
    const size_t row = static_cast<size_t>(index.row());
    if (role == Qt::DisplayRole) return toDisplay(m_list.text(row));
    if (role == Qt::CheckStateRole) return m_list.isChecked(row) ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool CheckListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole) return false;
    m_list.setChecked(static_cast<size_t>(index.row()), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags CheckListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
}

void CheckListModel::aboutToInsert(size_t row) {
    beginInsertRows(QModelIndex(), static_cast<int>(row), static_cast<int>(row));
}
void CheckListModel::inserted() {
    endInsertRows();
}
void CheckListModel::aboutToReset() {
    beginResetModel();
}
void CheckListModel::reset() {
    endResetModel();
}
void CheckListModel::marksChanged(size_t first, size_t last) {
    emit dataChanged(index(static_cast<int>(first)), index(static_cast<int>(last)), {Qt::CheckStateRole});
}

} // namespace qm
