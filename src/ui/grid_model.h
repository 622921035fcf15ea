#pragma once
// Shows the channel grid of the document in a table view.
#include <QAbstractTableModel>

#include "channels/channel_grid.h"

namespace tqm5 {

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(ChannelGrid& grid, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    ChannelGrid& grid() { return grid_; }

private:
    ChannelGrid& grid_;
    Listeners<int, int>::Token rowsToken_;
};

}  // namespace tqm5
