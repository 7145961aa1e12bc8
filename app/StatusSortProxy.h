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

    /// Shows only the rows whose country's code or name holds `text` (any case); all rows
    /// for an empty text.
    void setCountryFilter(const QString& text) {
        m_country = text.trimmed();
        invalidateFilter();
    }

  protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        if (m_country.isEmpty()) return true;
        const QModelIndex country = m_model->index(row, ServerStatusModel::Country, parent);
        return country.data(Qt::DisplayRole).toString().contains(m_country, Qt::CaseInsensitive) ||
               country.data(Qt::ToolTipRole).toString().contains(m_country, Qt::CaseInsensitive);
    }
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        const bool leftShown = m_model->hasAnswer(left.row());
        if (leftShown != m_model->hasAnswer(right.row()))
            // Qt reverses the order for a descending sort: answer it the other way round then.
            return leftShown == (sortOrder() == Qt::AscendingOrder);
        return QSortFilterProxyModel::lessThan(left, right);
    }

  private:
    ServerStatusModel* m_model;
    QString m_country;
};

} // namespace qm
