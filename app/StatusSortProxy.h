#pragma once
#include "app/ServerStatusModel.h"

#include <QSortFilterProxyModel>

#include <vector>

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

    // A comparison would otherwise decode and fold both rows' texts again: millions of
    // times for 100,000 rows. The keys are made once for each sort instead.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override {
        m_keys.clear();
        if (column >= 0) {
            const int rows = m_model->rowCount();
            m_keys.reserve(static_cast<size_t>(rows));
            for (int r = 0; r < rows; ++r)
                m_keys.push_back(m_model->index(r, column).data(ServerStatusModel::SortRole));
        }
        m_keyColumn = column;
        QSortFilterProxyModel::sort(column, order);
        std::vector<QVariant>().swap(m_keys);
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
        if (left.column() == m_keyColumn && !m_keys.empty())
            return keyLess(m_keys[static_cast<size_t>(left.row())], m_keys[static_cast<size_t>(right.row())]);
        return keyLess(left.data(ServerStatusModel::SortRole), right.data(ServerStatusModel::SortRole));
    }

  private:
    // Counts as numbers, texts (already folded) by their characters.
    static bool keyLess(const QVariant& left, const QVariant& right) {
        if (left.typeId() == QMetaType::Int && right.typeId() == QMetaType::Int)
            return left.toInt() < right.toInt();
        if (left.typeId() == QMetaType::QString && right.typeId() == QMetaType::QString)
            return *static_cast<const QString*>(left.constData()) <
                   *static_cast<const QString*>(right.constData());
        return left.toString() < right.toString();
    }

    ServerStatusModel* m_model;
    QString m_country;
    std::vector<QVariant> m_keys; // the model's rows' keys, while a sort runs
    int m_keyColumn = -1;
};

} // namespace qm
