#pragma once
// TMemTable: the in-memory table behind every search screen and the match tables.
//
//   - typed columns (integer, float, text of a size, memo, date-time), each with a caption, a required flag,
//     a hidden flag, an optional display hook, or a calculation (calculated columns are computed on read);
//   - rows kept in loading ("natural") order, each with a stable row id (the bookmark) that survives sorting,
//     filtering and the deletion of other rows;
//   - a cursor over the visible rows (filtered, then sorted) with first/next/eof/recNo, and a current-row
//     edit cycle: append or edit, setValue, post or cancel; deleteCurrent;
//   - locate by a column's value, sorting on any column ignoring case, and a filter expression
//     (see filterexpression.h for the language) switched on and off with setFiltered;
//   - beginUpdate/endUpdate: while the counter is above zero no row-level signal is sent; the attached models
//     are reset once at the end (a fill of 50,000 rows costs one reset).
//
// Nulls are invalid QVariants. Values given to setValue are converted to the column's type (see setValue).
// Errors of use (no current row, closed table, unknown column, missing required value, value that does not
// convert) throw tavo::MemTableError with an Italian message; the table is left as it was.
// Everything runs on the thread that owns the table.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace tavo {

class TMemTable;
class TMemRecord;
class TFilterExpression;

// Error of use of a TMemTable (message in Italian, ready for a message box).
class MemTableError : public std::runtime_error
{
public:
    explicit MemTableError(const QString &message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

// Stable identity of a row inside one table: assigned at post of an appended row, never reused while the table
// lives. 0 means "no row".
using RowId = quint64;

enum class FieldType {
    Integer,  // 32-bit integer, stored as int
    Float,    // double
    Text,     // QString, cut to the column's size when it has one (size > 0)
    Memo,     // QString of any length, or a value of a registered type that makes its text when read (toString())
    DateTime, // QDateTime (local time)
};

// Turns a raw value into the text shown in grids. Never called for null values (they show as "").
using DisplayHook = std::function<QString(const QVariant &value)>;
// Computes a calculated column from the other columns of a row; evaluated on every read.
using CalcFunction = std::function<QVariant(const TMemRecord &record)>;

// Definition of one column. Built with chained setters:
//   TMemColumn("PREZZO", FieldType::Float).setCaption("Prezzo").setDisplay(currencyDisplay())
class TMemColumn
{
public:
    TMemColumn(const QString &name, FieldType type, int size = 0);

    TMemColumn &setCaption(const QString &caption);
    TMemColumn &setRequired(bool required = true);
    TMemColumn &setHidden(bool hidden = true);
    TMemColumn &setDisplay(DisplayHook hook);
    TMemColumn &setCalculated(CalcFunction calc);

    QString name() const { return m_name; }
    FieldType type() const { return m_type; }
    int size() const { return m_size; }
    // The caption, or the name when no caption was given.
    QString caption() const { return m_caption.isEmpty() ? m_name : m_caption; }
    bool isRequired() const { return m_required; }
    bool isHidden() const { return m_hidden; }
    bool isCalculated() const { return static_cast<bool>(m_calc); }
    bool isNumeric() const { return m_type == FieldType::Integer || m_type == FieldType::Float; }
    bool isText() const { return m_type == FieldType::Text || m_type == FieldType::Memo; }
    const DisplayHook &display() const { return m_display; }
    const CalcFunction &calculation() const { return m_calc; }

    // Converts a value to this column's type: invalid QVariant -> null; numbers between number types
    // (a float into an integer column is rounded, halves to the even one); texts parsed with "." as decimal
    // point (an empty or blank text gives null for non-text columns); dates from QDate/QDateTime or texts in the
    // forms yyyy-MM-dd[Thh:mm:ss] or yyyy/MM/dd [hh.mm.ss]; anything into text columns through its text, cut to
    // the size. A value that does not convert throws MemTableError naming the column.
    QVariant convert(const QVariant &value) const;

private:
    QString m_name;
    FieldType m_type;
    int m_size = 0;
    QString m_caption;
    bool m_required = false;
    bool m_hidden = false;
    DisplayHook m_display;
    CalcFunction m_calc;
};

// Read-only view of one row, given to calculated columns and to filter evaluation.
class TMemRecord
{
public:
    TMemRecord(const TMemTable *table, const QVariant *values) : m_table(table), m_values(values) {}
    // Null for an index out of range. Reading a calculated column runs its calculation.
    QVariant value(int column) const;
    // Column looked up ignoring case; throws MemTableError for an unknown name.
    QVariant value(const QString &column) const;
    const TMemTable *table() const { return m_table; }

private:
    const TMemTable *m_table;
    const QVariant *m_values;
};

class TMemTable : public QObject
{
    Q_OBJECT

public:
    enum class State { Closed, Browse, Insert, Edit };
    enum LocateOption { NoLocateOptions = 0, CaseInsensitive = 1, PartialKey = 2 };
    Q_DECLARE_FLAGS(LocateOptions, LocateOption)

    explicit TMemTable(const QString &name = QString(), QObject *parent = nullptr);
    ~TMemTable() override;

    QString name() const { return m_name; }

    // ---- Columns (defined while the table is closed) ----
    // Adds a column; returns its index. Throws on a duplicate name (ignoring case) or an open table.
    int addColumn(const TMemColumn &column);
    int columnCount() const { return int(m_columns.size()); }
    const TMemColumn &column(int index) const { return m_columns[size_t(index)]; }
    // Index of the column named `name` ignoring case, or -1.
    int columnIndex(const QString &name) const;
    bool hasColumn(const QString &name) const { return columnIndex(name) >= 0; }

    // ---- Open / close ----
    // Called by open() on a closed table, after it is open and empty, inside beginUpdate/endUpdate: the place where
    // the owner fills the rows. If it throws, the table is closed again (no partial rows stay) and the exception
    // goes on to the caller of open().
    void setOpenHandler(std::function<void(TMemTable &)> handler) { m_openHandler = std::move(handler); }
    // Opens the table (empty, then the open handler) and goes to the first row. Opening an open table does nothing.
    void open();
    // Discards every row, the pending edit and the sort. The filter text and the filtering switch are kept.
    void close();
    bool isOpen() const { return m_state != State::Closed; }
    State state() const { return m_state; }
    // Deletes every row; the table stays open.
    void emptyTable();

    // ---- Cursor over the visible rows ----
    int recordCount() const;                                 // visible rows
    int totalRowCount() const { return int(m_rows.size()); } // all rows, ignoring the filter
    bool isEmpty() const { return recordCount() == 0; }
    void first();
    void last();
    void next();  // past the last row sets eof()
    void prior(); // before the first row sets bof()
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    // 1-based position of the current row among the visible rows; 0 when there is none.
    int recNo() const;
    void setRecNo(int recNo);

    // ---- Fields of the current row (in Insert/Edit state: of the edit buffer) ----
    QVariant value(const QString &column) const;
    QVariant value(int column) const;
    bool isNull(const QString &column) const { return !value(column).isValid(); }
    QString displayText(const QString &column) const;
    // Only in Insert or Edit state; the value is converted as TMemColumn::convert says.
    void setValue(const QString &column, const QVariant &value);
    void setValue(int column, const QVariant &value);

    // ---- Editing ----
    // Starts a new row (all null) in the edit buffer; posted at the end of the natural order.
    void append();
    // Puts the current row in the edit buffer.
    void edit();
    // Puts the row `id` in the edit buffer even when the filter hides it; false when there is no such row.
    bool editRow(RowId id);
    // Stores the edit buffer: checks required columns first (MemTableError, buffer kept). An appended row gets
    // its id; the cursor goes to the posted row when it is visible.
    void post();
    void cancel();
    // Deletes the current row; the cursor goes to the row that followed it (or the new last one).
    void deleteCurrent();
    // All-or-nothing bulk append: every record is converted and checked first (MemTableError naming the record,
    // 1-based, nothing appended), then all are appended in one update. A record holds values in column order
    // (calculated columns and missing trailing values count as null). Returns the number appended.
    // The records are taken over (pass them with std::move to avoid a copy).
    int appendRecords(std::vector<QVector<QVariant>> records);

    // ---- Bookmarks and search ----
    RowId bookmark() const; // id of the current row, 0 when none (or while appending)
    // Moves to the row `id`; false (cursor unchanged) when it does not exist or the filter hides it.
    bool gotoBookmark(RowId id);
    bool containsRow(RowId id) const;  // exists, visible or not
    bool isRowVisible(RowId id) const; // passes the filter
    // Moves to the first visible row (in the current order) whose column equals `value`; false when none.
    // Values are compared after conversion to the column's type; CaseInsensitive and PartialKey (prefix) apply
    // to text columns.
    bool locate(const QString &column, const QVariant &value, LocateOptions options = NoLocateOptions);
    // Same search over all rows in natural order, ignoring the filter, without moving the cursor; 0 when none.
    RowId findRow(const QString &column, const QVariant &value, LocateOptions options = NoLocateOptions) const;

    // ---- Access by row id and position (models, exports) ----
    QVector<RowId> visibleRowIds() const;
    RowId visibleRowId(int position) const;        // 0-based; 0 when out of range
    int visiblePosition(RowId id) const;           // 0-based; -1 when hidden or missing
    QVariant rowValue(RowId id, int column) const; // null for a missing row
    QString rowDisplayText(RowId id, int column) const;
    // The text shown for `value` in `column` (hook, or the default formats of displayformat.h).
    QString formatValue(int column, const QVariant &value) const;

    // ---- Sorting ----
    // Sorts the visible rows on a column (calculated and memo columns too): texts ignoring case in the Italian
    // collation, numbers numerically, date-times chronologically; nulls come first ascending (last descending);
    // equal values keep their natural order. The order holds for rows posted later. Unknown column: MemTableError.
    void sortOn(const QString &column, Qt::SortOrder order = Qt::AscendingOrder);
    // Back to natural (loading) order.
    void clearSort();
    bool isSorted() const { return m_sortColumn >= 0; }
    QString sortColumn() const;
    Qt::SortOrder sortOrder() const { return m_sortOrder; }

    // ---- Filter ----
    // Parses the expression at once (FilterError on a malformed one, leaving the previous filter in place).
    // An empty or blank text means no filter. The filter applies while filtering is on.
    void setFilter(const QString &expression);
    QString filter() const { return m_filterText; }
    void setFiltered(bool on);
    bool isFiltered() const { return m_filtered; }

    // ---- Update counter ("disable controls") ----
    void beginUpdate();
    void endUpdate();
    bool isUpdating() const { return m_updateCount > 0; }
    // RAII pair of beginUpdate/endUpdate.
    class UpdateGuard
    {
    public:
        explicit UpdateGuard(TMemTable &table) : m_table(table) { m_table.beginUpdate(); }
        ~UpdateGuard() { m_table.endUpdate(); }
        UpdateGuard(const UpdateGuard &) = delete;
        UpdateGuard &operator=(const UpdateGuard &) = delete;

    private:
        TMemTable &m_table;
    };

signals:
    // Row set, order or columns changed wholesale (open, close, sort, filter, end of an update with changes).
    void tableReset();
    // Single-row changes outside updates, in positions of the visible rows after the change.
    void rowInserted(int position);
    void rowRemoved(int position);
    void rowChanged(int position);
    void rowMoved(int from, int to); // an edited row moved to its sorted place; `to` is its final position
    void currentChanged();           // the cursor moved (not sent during updates; once at their end)

private:
    struct Row
    {
        RowId id = 0;
        QVector<QVariant> values; // one per column; calculated columns keep an unused null
    };
    struct SortKey;

    void requireOpen() const;
    void requireColumn(int column) const;
    int requireColumnIndex(const QString &name) const;
    void checkBrowseMode();
    void checkRequired(const QVector<QVariant> &values) const;
    Row *findById(RowId id) const;
    size_t storageIndex(RowId id) const; // m_rows.size() when missing
    bool passesFilter(const Row &row) const;
    bool isCurrentVisible(const Row &row) const;
    bool sortLess(const Row *a, const Row *b) const;
    size_t sortedInsertPosition(const Row *row) const;
    void ensureView() const;
    void rebuildView() const;
    void invalidateView();
    void setCursorAfterViewChange(RowId keep);
    void setCursor(int position);
    void emitReset();
    void noteCurrentMoved(RowId before);
    bool valueMatches(int column, const QVariant &cell, const QVariant &key, LocateOptions options) const;

    QString m_name;
    std::vector<TMemColumn> m_columns;
    std::vector<std::unique_ptr<Row>> m_rows; // natural order = ascending id
    mutable std::vector<Row *> m_view;        // visible rows in current order
    mutable bool m_viewDirty = false;
    State m_state = State::Closed;
    RowId m_nextId = 1;
    RowId m_currentId = 0;
    mutable int m_position = -1; // cached position of m_currentId in m_view
    bool m_eof = true;
    bool m_bof = true;
    QVector<QVariant> m_buffer;
    RowId m_editId = 0; // row being edited (Edit state)
    State m_returnState = State::Browse;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    QString m_filterText;
    std::unique_ptr<TFilterExpression> m_filterExpr;
    bool m_filtered = false;
    int m_updateCount = 0;
    bool m_pendingReset = false;
    RowId m_updateStartCurrent = 0;
    std::function<void(TMemTable &)> m_openHandler;
};

} // namespace tavo

Q_DECLARE_OPERATORS_FOR_FLAGS(tavo::TMemTable::LocateOptions)
