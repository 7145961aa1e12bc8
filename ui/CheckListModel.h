#pragma once
#include "serverlist/ServerList.h"

#include <QAbstractListModel>

namespace qm {

/// Shows a ServerList in a list view: one row per entry with a check box. The list stays
/// the only store of the entries; the model reads from it on demand.
class CheckListModel : public QAbstractListModel, private ServerListObserver {
  public:
    CheckListModel(ServerList& list, QObject* parent);
    ~CheckListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    ServerList& list() { return m_list; }

  private:
    void aboutToInsert(size_t row) override;
    void inserted() override;
    void aboutToReset() override;
    void reset() override;
    void marksChanged(size_t first, size_t last) override;

    ServerList& m_list;
};

} // namespace qm
