#pragma once
// TMemTableModel: a read-only QAbstractTableModel over a TMemTable, for grids.
//
//   rows    = the table's visible rows (filtered, sorted) in the table's current order;
//   columns = the table's columns that are not hidden, in table order; headers = their captions;
//   DisplayRole       the table's display text (display hook, currency, Italian decimal comma, dd/MM/yyyy);
//   EditRole          the raw value (invalid QVariant for null);
//   TextAlignmentRole right-aligned numbers, left-aligned texts and dates;
//   BookmarkRole      the row's RowId (stable across sorting and filtering);
//   ColumnNameRole    (headerData, horizontal) the column's name.
//
// The model follows the table's signals: one reset for open/close/sort/filter and for the end of a bulk update
// (TMemTable::beginUpdate/endUpdate), row-level inserts/removes/moves/changes for single posts and deletes, so
// that selections and the current index stay on their rows. It keeps its own list of row ids, changed only
// inside the begin/end notifications, so views never see a half-changed model.
// sort() forwards to TMemTable::sortOn. The model never throws into the event loop.

#include "memtable.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <QVector>

namespace tavo {

class TMemTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Role {
        BookmarkRole = Qt::UserRole + 1, // data(): RowId as qulonglong
        ColumnNameRole,                  // headerData(): the column's name
    };

    explicit TMemTableModel(TMemTable *table, QObject *parent = nullptr);

    TMemTable *table() const { return m_table; }

    // Model column <-> table column.
    int tableColumn(int section) const;
    int sectionOf(const QString &columnName) const; // -1 when hidden or unknown
    QString columnName(int section) const;

    RowId bookmark(int row) const; // 0 when out of range
    int rowOf(RowId id) const;     // -1 when not shown

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    void reload();
    void onTableReset();
    void onRowInserted(int position);
    void onRowRemoved(int position);
    void onRowChanged(int position);
    void onRowMoved(int from, int to);
    void onTableDestroyed();

    QPointer<TMemTable> m_table;
    QVector<int> m_columns; // table column of each section
    QVector<RowId> m_ids;   // row id of each model row
};

} // namespace tavo
