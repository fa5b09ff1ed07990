#pragma once

#include <QAbstractTableModel>

#include "view/ListRowsObserver.h"

class CListRows;

// The table the list view shows: the core's row store, one row per entry,
// five columns, texts made when a cell is shown. The store's block notices
// become the model's, so expanding a folder of any size is one insertion.
class CListModel : public QAbstractTableModel, public IListRowsObserver {
    Q_OBJECT
public:
    explicit CListModel(CListRows& rows, QObject* parent = nullptr);
    ~CListModel() override;

    // While a worker may change what the rows point at, cells report nothing.
    void SetSuspended(bool suspended) { suspended_ = suspended; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void BeginInsertRows(size_t first, size_t count) override;
    void EndInsertRows() override;
    void BeginRemoveRows(size_t first, size_t count) override;
    void EndRemoveRows() override;
    void BeginReset() override;
    void EndReset() override;
    void CellsChanged(size_t firstRow, size_t lastRow, int firstColumn, int lastColumn) override;

private:
    CListRows& rows_;
    bool suspended_ = false;
};
