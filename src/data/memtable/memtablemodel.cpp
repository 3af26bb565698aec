#include "memtablemodel.h"

namespace tavo {

TMemTableModel::TMemTableModel(TMemTable *table, QObject *parent) : QAbstractTableModel(parent), m_table(table)
{
    if (table) {
        connect(table, &TMemTable::tableReset, this, &TMemTableModel::onTableReset);
        connect(table, &TMemTable::rowInserted, this, &TMemTableModel::onRowInserted);
        connect(table, &TMemTable::rowRemoved, this, &TMemTableModel::onRowRemoved);
        connect(table, &TMemTable::rowChanged, this, &TMemTableModel::onRowChanged);
        connect(table, &TMemTable::rowMoved, this, &TMemTableModel::onRowMoved);
        connect(table, &QObject::destroyed, this, &TMemTableModel::onTableDestroyed);
    }
    reload();
}

void TMemTableModel::reload()
{
    m_columns.clear();
    m_ids.clear();
    if (!m_table)
        return;
    for (int c = 0; c < m_table->columnCount(); ++c)
        if (!m_table->column(c).isHidden())
            m_columns.append(c);
    if (m_table->isOpen())
        m_ids = m_table->visibleRowIds();
}

int TMemTableModel::tableColumn(int section) const
{
    return section >= 0 && section < m_columns.size() ? m_columns.at(section) : -1;
}

int TMemTableModel::sectionOf(const QString &columnName) const
{
    if (!m_table)
        return -1;
    return int(m_columns.indexOf(m_table->columnIndex(columnName)));
}

QString TMemTableModel::columnName(int section) const
{
    const int c = tableColumn(section);
    return c >= 0 && m_table ? m_table->column(c).name() : QString();
}

RowId TMemTableModel::bookmark(int row) const
{
    return row >= 0 && row < m_ids.size() ? m_ids.at(row) : 0;
}

int TMemTableModel::rowOf(RowId id) const
{
    return id == 0 ? -1 : int(m_ids.indexOf(id));
}

int TMemTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_ids.size());
}

int TMemTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant TMemTableModel::data(const QModelIndex &index, int role) const
{
    if (!m_table || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const int column = m_columns.at(index.column());
    const RowId id = m_ids.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return m_table->rowDisplayText(id, column);
    case Qt::EditRole:
        return m_table->rowValue(id, column);
    case Qt::TextAlignmentRole:
        if (m_table->column(column).isNumeric())
            return QVariant(int(Qt::AlignRight | Qt::AlignVCenter));
        return QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
    case BookmarkRole:
        return QVariant(qulonglong(id));
    default:
        return QVariant();
    }
}

QVariant TMemTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole && section >= 0 && section < m_ids.size())
            return section + 1;
        return QVariant();
    }
    const int c = tableColumn(section);
    if (c < 0 || !m_table)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_table->column(c).caption();
    case ColumnNameRole:
        return m_table->column(c).name();
    case Qt::TextAlignmentRole:
        return m_table->column(c).isNumeric() ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                                              : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return QVariant();
    }
}

Qt::ItemFlags TMemTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void TMemTableModel::sort(int column, Qt::SortOrder order)
{
    const int c = tableColumn(column);
    if (c < 0 || !m_table || !m_table->isOpen())
        return;
    try {
        m_table->sortOn(m_table->column(c).name(), order);
    } catch (const MemTableError &) {
        // A pending edit that cannot be posted: the order stays as it was.
    }
}

void TMemTableModel::onTableReset()
{
    beginResetModel();
    reload();
    endResetModel();
}

void TMemTableModel::onRowInserted(int position)
{
    if (position < 0 || position > m_ids.size())
        return onTableReset();
    beginInsertRows(QModelIndex(), position, position);
    m_ids.insert(position, m_table->visibleRowId(position));
    endInsertRows();
}

void TMemTableModel::onRowRemoved(int position)
{
    if (position < 0 || position >= m_ids.size())
        return onTableReset();
    beginRemoveRows(QModelIndex(), position, position);
    m_ids.remove(position);
    endRemoveRows();
}

void TMemTableModel::onRowChanged(int position)
{
    if (position < 0 || position >= m_ids.size() || m_columns.isEmpty())
        return;
    emit dataChanged(index(position, 0), index(position, int(m_columns.size()) - 1));
}

void TMemTableModel::onRowMoved(int from, int to)
{
    if (from < 0 || from >= m_ids.size() || to < 0 || to >= m_ids.size())
        return onTableReset();
    if (from != to) {
        // Qt's destination is the row before which the moved row lands, counted before the move.
        beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
        m_ids.move(from, to);
        endMoveRows();
    }
    onRowChanged(to);
}

void TMemTableModel::onTableDestroyed()
{
    beginResetModel();
    m_table = nullptr;
    m_columns.clear();
    m_ids.clear();
    endResetModel();
}

} // namespace tavo
