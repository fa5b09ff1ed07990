#include "ui/ListModel.h"

#include "model/PackItem.h"
#include "support/TextCodec.h"
#include "view/ListColumns.h"
#include "view/ListRows.h"

CListModel::CListModel(CListRows& rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows) {
    rows_.SetObserver(this);
}

CListModel::~CListModel() {
    rows_.SetObserver(nullptr);
}

int CListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.Count());
}

int CListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CListModel::data(const QModelIndex& index, int role) const {
    if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || suspended_ || !index.isValid())
        return QVariant();
    const auto row = static_cast<size_t>(index.row());
    if (row >= rows_.Count()) return QVariant();
    // The tip of a cut path is the item's whole path, not the cut name again.
    if (role == Qt::ToolTipRole && index.column() == ColumnPath) {
        if (const CPackItem* item = rows_.Item(row))
            return QString::fromStdU16String(zel::ForDisplay(item->GetPath()));
    }
    return QString::fromStdU16String(rows_.CellText(row, index.column()));
}

QVariant CListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return QVariant();
    if (role == Qt::DisplayRole) {
        if (section >= 0 && section < ColumnCount) return QString::fromUtf16(ColumnTitle(section));
    } else if (role == Qt::TextAlignmentRole) {
        const Qt::Alignment align = section == ColumnPath   ? Qt::AlignLeft
                                    : section == ColumnSize ? Qt::AlignRight
                                                            : Qt::AlignHCenter;
        return QVariant::fromValue(align | Qt::AlignVCenter);
    }
    return QVariant();
}

Qt::ItemFlags CListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

void CListModel::BeginInsertRows(size_t first, size_t count) {
    beginInsertRows(QModelIndex(), static_cast<int>(first), static_cast<int>(first + count - 1));
}
void CListModel::EndInsertRows() {
    endInsertRows();
}
void CListModel::BeginRemoveRows(size_t first, size_t count) {
    beginRemoveRows(QModelIndex(), static_cast<int>(first), static_cast<int>(first + count - 1));
}
void CListModel::EndRemoveRows() {
    endRemoveRows();
}
void CListModel::BeginReset() {
    beginResetModel();
}
void CListModel::EndReset() {
    endResetModel();
}
void CListModel::CellsChanged(size_t firstRow, size_t lastRow, int firstColumn, int lastColumn) {
    emit dataChanged(index(static_cast<int>(firstRow), firstColumn),
                     index(static_cast<int>(lastRow), lastColumn), {Qt::DisplayRole});
}
