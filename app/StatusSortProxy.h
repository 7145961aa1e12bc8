#pragma once
#include "app/ServerStatusModel.h"

#include <QSortFilterProxyModel>

namespace qm {

/// The status table's order: by the column's sort values, with the rows that have no
/// answer to show after all others whichever way the column is sorted.
class StatusSortProxy : public QSortFilterProxyModel {
  public:
    explicit StatusSortProxy(ServerStatusModel* model, QObject* parent)
        : QSortFilterProxyModel(parent), m_model(model) {
        setSourceModel(model);
        setSortRole(ServerStatusModel::SortRole);
    }

  protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        const bool leftShown = m_model->hasAnswer(left.row());
        if (leftShown != m_model->hasAnswer(right.row()))
            // Qt reverses the order for a descending sort: answer it the other way round then.
            return leftShown == (sortOrder() == Qt::AscendingOrder);
        return QSortFilterProxyModel::lessThan(left, right);
    }

  private:
    ServerStatusModel* m_model;
};

} // namespace qm
