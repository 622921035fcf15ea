#include "ui/grid_model.h"

namespace tqm5 {

// Grid row 0 (headings) and column 0 (labels) are the view's headers, so the
// model's row r is grid row r + 1 and column c is grid column c + 1.
GridModel::GridModel(ChannelGrid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {
    rowsToken_ = grid_.rowsChanged.connect([this](int first, int last) {
        first = std::max(first, 1);
        if (last < first) return;
        emit dataChanged(index(first - 1, 0), index(last - 1, GridCols - 2));
        emit headerDataChanged(Qt::Vertical, first - 1, last - 1);
    });
}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : LastRow; }
int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : GridCols - 1; }

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || index.row() >= LastRow || index.column() < 0 ||
        index.column() >= GridCols - 1)
        return {};
    if (role == Qt::DisplayRole) return QString::fromStdString(grid_.cell(index.row() + 1, index.column() + 1));
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation o, int role) const {
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
    if (role == Qt::SizeHintRole && o == Qt::Vertical && labelSize_.isValid()) return labelSize_;
    if (role != Qt::DisplayRole) return {};
    // Accessibility and header views ask for sections past the end too.
    if (section < 0 || section >= (o == Qt::Horizontal ? GridCols - 1 : LastRow)) return {};
    if (o == Qt::Horizontal) return QString::fromStdString(grid_.cell(0, section + 1));
    return QString::fromStdString(grid_.cell(section + 1, 0));
}

}  // namespace tqm5
