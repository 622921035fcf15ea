#pragma once
// Shows the channel grid of the document in a table view.
#include <QAbstractTableModel>
#include <QSize>

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
    // The size of every row label, given as the labels' size hint: the row
    // labels have one fixed size, and without it the view measures the label
    // texts of the first and last hundred rows whenever it lays itself out.
    void setLabelSize(QSize size) { labelSize_ = size; }

private:
    ChannelGrid& grid_;
    QSize labelSize_;
    Listeners<int, int>::Token rowsToken_;
};

}  // namespace tqm5
