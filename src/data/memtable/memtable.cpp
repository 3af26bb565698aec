#include "memtable.h"

#include "filterexpression.h"
#include "valueformat.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace tavo {

namespace {

// Texts sort ignoring case the Italian way (accented letters beside their base letter).
const QCollator &italianCollator()
{
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Italian, QLocale::Italy));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(false);
        return c;
    }();
    return collator;
}

// Date-times compared as (day, time of day): independent of time zones and daylight saving.
qint64 dateTimeKey(const QDateTime &dt)
{
    return dt.date().toJulianDay() * qint64(86400000) + dt.time().msecsSinceStartOfDay();
}

bool isNumberType(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

bool isTextType(int typeId)
{
    return typeId == QMetaType::QString || typeId == QMetaType::QByteArray || typeId == QMetaType::QChar;
}

QString shortText(const QVariant &value)
{
    QString t = value.toString();
    if (t.size() > 40)
        t = t.left(37) + QStringLiteral("...");
    return t;
}

} // namespace

// ---------------------------------------------------------------------------------------------------------------

MemTableError::MemTableError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}

// ---------------------------------------------------------------------------------------------------------------

TMemColumn::TMemColumn(const QString &name, FieldType type, int size) : m_name(name), m_type(type), m_size(size) {}

TMemColumn &TMemColumn::setCaption(const QString &caption)
{
    m_caption = caption;
    return *this;
}

TMemColumn &TMemColumn::setRequired(bool required)
{
    m_required = required;
    return *this;
}

TMemColumn &TMemColumn::setHidden(bool hidden)
{
    m_hidden = hidden;
    return *this;
}

TMemColumn &TMemColumn::setDisplay(DisplayHook hook)
{
    m_display = std::move(hook);
    return *this;
}

TMemColumn &TMemColumn::setCalculated(CalcFunction calc)
{
    m_calc = std::move(calc);
    return *this;
}

QVariant TMemColumn::convert(const QVariant &value) const
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    const int typeId = value.typeId();
    // Values that already have the stored type pass unchanged (the common case of fills and bulk loads).
    switch (m_type) {
    case FieldType::Integer:
        if (typeId == QMetaType::Int)
            return value;
        break;
    case FieldType::Float:
        if (typeId == QMetaType::Double && std::isfinite(*static_cast<const double *>(value.constData())))
            return value;
        break;
    case FieldType::Text:
        if (typeId == QMetaType::QString &&
            (m_size <= 0 || static_cast<const QString *>(value.constData())->size() <= m_size))
            return value;
        break;
    case FieldType::Memo:
        if (typeId == QMetaType::QString)
            return value;
        // A compact value that converts to text on demand stays as it is: millions of match ids, for one, would
        // take several times the memory as text.
        if (typeId >= QMetaType::User && QMetaType::canConvert(value.metaType(), QMetaType::fromType<QString>()))
            return value;
        break;
    case FieldType::DateTime:
        break;
    }
    auto invalid = [&]() {
        return MemTableError(QStringLiteral("Valore non valido per il campo %1: %2").arg(m_name, shortText(value)));
    };

    switch (m_type) {
    case FieldType::Integer: {
        double d = 0;
        if (typeId == QMetaType::Double || typeId == QMetaType::Float) {
            d = value.toDouble();
            if (!std::isfinite(d))
                throw invalid();
            d = std::nearbyint(d); // default rounding mode: halves to the even one
        } else if (isNumberType(typeId)) {
            bool ok = false;
            const qlonglong n = value.toLongLong(&ok);
            if (!ok)
                throw invalid();
            if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
                throw invalid();
            return QVariant(int(n));
        } else if (isTextType(typeId)) {
            const QString t = value.toString().trimmed();
            if (t.isEmpty())
                return QVariant();
            bool ok = false;
            const qlonglong n = plainNumberLocale().toLongLong(t, &ok);
            if (!ok || n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
                throw invalid();
            return QVariant(int(n));
        } else {
            throw invalid();
        }
        if (d < std::numeric_limits<int>::min() || d > std::numeric_limits<int>::max())
            throw invalid();
        return QVariant(int(d));
    }
    case FieldType::Float: {
        double d = 0;
        if (isNumberType(typeId)) {
            d = value.toDouble();
        } else if (isTextType(typeId)) {
            const QString t = value.toString().trimmed();
            if (t.isEmpty())
                return QVariant();
            bool ok = false;
            d = plainNumberLocale().toDouble(t, &ok);
            if (!ok)
                throw invalid();
        } else {
            throw invalid();
        }
        if (!std::isfinite(d))
            throw invalid();
        return QVariant(d);
    }
    case FieldType::Text:
    case FieldType::Memo: {
        QString t;
        if (typeId == QMetaType::QString)
            t = value.toString();
        else if (typeId == QMetaType::QDateTime)
            t = formatDateTime(value.toDateTime());
        else if (typeId == QMetaType::Double || typeId == QMetaType::Float)
            t = QString::number(value.toDouble(), 'g', 15);
        else if (value.canConvert<QString>())
            t = value.toString();
        else
            throw invalid();
        if (m_type == FieldType::Text && m_size > 0 && t.size() > m_size)
            t.truncate(m_size);
        return QVariant(t);
    }
    case FieldType::DateTime: {
        if (typeId == QMetaType::QDateTime) {
            const QDateTime dt = value.toDateTime();
            return dt.isValid() ? QVariant(dt) : QVariant();
        }
        if (typeId == QMetaType::QDate) {
            const QDate d = value.toDate();
            return d.isValid() ? QVariant(QDateTime(d, QTime(0, 0))) : QVariant();
        }
        if (isTextType(typeId)) {
            const QString t = value.toString().trimmed();
            if (t.isEmpty())
                return QVariant();
            const QDateTime dt = parseIsoLikeDateTime(t);
            if (!dt.isValid())
                throw invalid();
            return QVariant(dt);
        }
        throw invalid();
    }
    }
    throw invalid();
}

// ---------------------------------------------------------------------------------------------------------------

QVariant TMemRecord::value(int column) const
{
    if (column < 0 || column >= m_table->columnCount())
        return QVariant();
    const TMemColumn &c = m_table->column(column);
    if (c.isCalculated())
        return c.calculation()(*this);
    return m_values[column];
}

QVariant TMemRecord::value(const QString &column) const
{
    const int index = m_table->columnIndex(column);
    if (index < 0)
        throw MemTableError(QStringLiteral("Colonna sconosciuta: %1").arg(column));
    return value(index);
}

// ---------------------------------------------------------------------------------------------------------------

TMemTable::TMemTable(const QString &name, QObject *parent) : QObject(parent), m_name(name) {}

TMemTable::~TMemTable() = default;

int TMemTable::addColumn(const TMemColumn &column)
{
    if (isOpen())
        throw MemTableError(QStringLiteral("Le colonne della tabella %1 si definiscono a tabella chiusa.").arg(m_name));
    if (column.name().trimmed().isEmpty())
        throw MemTableError(QStringLiteral("Nome di colonna vuoto."));
    if (columnIndex(column.name()) >= 0)
        throw MemTableError(QStringLiteral("Colonna già definita: %1").arg(column.name()));
    m_columns.push_back(column);
    emitReset();
    return int(m_columns.size()) - 1;
}

int TMemTable::columnIndex(const QString &name) const
{
    // Linear and without allocation: tables have a few dozen columns, and most lookups match the exact case.
    const int n = int(m_columns.size());
    for (int i = 0; i < n; ++i)
        if (m_columns[size_t(i)].name() == name)
            return i;
    for (int i = 0; i < n; ++i)
        if (m_columns[size_t(i)].name().compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

void TMemTable::requireOpen() const
{
    if (!isOpen())
        throw MemTableError(m_name.isEmpty() ? QStringLiteral("La tabella non è aperta.")
                                             : QStringLiteral("La tabella %1 non è aperta.").arg(m_name));
}

void TMemTable::requireColumn(int column) const
{
    if (column < 0 || column >= columnCount())
        throw MemTableError(QStringLiteral("Colonna inesistente: %1").arg(column));
}

int TMemTable::requireColumnIndex(const QString &name) const
{
    const int index = columnIndex(name);
    if (index < 0)
        throw MemTableError(QStringLiteral("Colonna sconosciuta: %1").arg(name));
    return index;
}

// ---- Open / close ---------------------------------------------------------------------------------------------

void TMemTable::open()
{
    if (isOpen())
        return;
    beginUpdate();
    m_state = State::Browse;
    m_pendingReset = true;
    try {
        if (m_openHandler)
            m_openHandler(*this);
        checkBrowseMode();
    } catch (...) {
        close();
        endUpdate();
        throw;
    }
    first();
    endUpdate();
}

void TMemTable::close()
{
    if (!isOpen())
        return;
    m_state = State::Closed;
    m_buffer.clear();
    m_editId = 0;
    m_view.clear();
    m_rows.clear();
    m_viewDirty = false;
    m_sortColumn = -1;
    m_sortOrder = Qt::AscendingOrder;
    m_currentId = 0;
    m_position = -1;
    m_eof = m_bof = true;
    emitReset();
}

void TMemTable::emptyTable()
{
    requireOpen();
    if (m_state != State::Browse)
        cancel();
    m_view.clear();
    m_rows.clear();
    m_viewDirty = false;
    m_currentId = 0;
    m_position = -1;
    m_eof = m_bof = true;
    emitReset();
}

void TMemTable::emitReset()
{
    if (m_updateCount > 0) {
        m_pendingReset = true;
        return;
    }
    m_pendingReset = false;
    emit tableReset();
}

// ---- Update counter -------------------------------------------------------------------------------------------

void TMemTable::beginUpdate()
{
    if (m_updateCount++ == 0)
        m_updateStartCurrent = m_currentId;
}

void TMemTable::endUpdate()
{
    if (m_updateCount == 0)
        return;
    if (--m_updateCount > 0)
        return;
    if (m_viewDirty)
        rebuildView();
    if (isOpen() && visiblePosition(m_currentId) < 0) {
        // The current row went away or was hidden during the update: the first row takes its place.
        setCursor(0);
        m_bof = true;
        m_eof = m_view.empty();
    }
    if (m_pendingReset) {
        m_pendingReset = false;
        emit tableReset();
    }
    if (m_currentId != m_updateStartCurrent)
        emit currentChanged();
}

// ---- View ------------------------------------------------------------------------------------------------------

bool TMemTable::isCurrentVisible(const Row &row) const
{
    // While an update has left the order stale, ask the filter instead of rebuilding the order.
    if (m_viewDirty)
        return passesFilter(row);
    return visiblePosition(row.id) >= 0;
}

bool TMemTable::passesFilter(const Row &row) const
{
    if (!m_filtered || !m_filterExpr)
        return true;
    return m_filterExpr->matches(TMemRecord(this, row.values.constData()));
}

void TMemTable::invalidateView()
{
    m_viewDirty = true;
    m_position = -1;
}

void TMemTable::ensureView() const
{
    if (m_viewDirty)
        rebuildView();
}

struct TMemTable::SortKey
{
    bool null = true;
    double number = 0;
    qint64 moment = 0;
    std::optional<QCollatorSortKey> text;
};

void TMemTable::rebuildView() const
{
    m_viewDirty = false;
    m_position = -1;
    m_view.clear();
    m_view.reserve(m_rows.size());
    for (const auto &row : m_rows)
        if (passesFilter(*row))
            m_view.push_back(row.get());
    if (m_sortColumn < 0)
        return;

    // Keys are computed once per row; equal keys keep natural (id) order in both directions.
    const TMemColumn &col = m_columns[size_t(m_sortColumn)];
    const size_t n = m_view.size();
    std::vector<SortKey> keys(n);
    const QCollator &collator = italianCollator();
    for (size_t i = 0; i < n; ++i) {
        const QVariant v = TMemRecord(this, m_view[i]->values.constData()).value(m_sortColumn);
        SortKey &k = keys[i];
        if (!v.isValid())
            continue;
        k.null = false;
        switch (col.type()) {
        case FieldType::Integer:
        case FieldType::Float:
            k.number = v.toDouble();
            break;
        case FieldType::DateTime:
            k.moment = dateTimeKey(v.toDateTime());
            break;
        case FieldType::Text:
        case FieldType::Memo:
            k.text = collator.sortKey(v.toString());
            break;
        }
    }
    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i)
        order[i] = i;
    const bool descending = m_sortOrder == Qt::DescendingOrder;
    const FieldType type = col.type();
    auto compareKeys = [type](const SortKey &a, const SortKey &b) -> int {
        if (a.null || b.null)
            return int(!a.null) - int(!b.null);
        switch (type) {
        case FieldType::Integer:
        case FieldType::Float:
            return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
        case FieldType::DateTime:
            return a.moment < b.moment ? -1 : (a.moment > b.moment ? 1 : 0);
        case FieldType::Text:
        case FieldType::Memo:
            return a.text->compare(*b.text);
        }
        return 0;
    };
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        int c = compareKeys(keys[a], keys[b]);
        if (descending)
            c = -c;
        if (c != 0)
            return c < 0;
        return m_view[a]->id < m_view[b]->id;
    });
    std::vector<Row *> sorted(n);
    for (size_t i = 0; i < n; ++i)
        sorted[i] = m_view[order[i]];
    m_view.swap(sorted);
}

bool TMemTable::sortLess(const Row *a, const Row *b) const
{
    const QVariant va = TMemRecord(this, a->values.constData()).value(m_sortColumn);
    const QVariant vb = TMemRecord(this, b->values.constData()).value(m_sortColumn);
    int c = 0;
    if (!va.isValid() || !vb.isValid()) {
        c = int(va.isValid()) - int(vb.isValid());
    } else {
        switch (m_columns[size_t(m_sortColumn)].type()) {
        case FieldType::Integer:
        case FieldType::Float: {
            const double x = va.toDouble(), y = vb.toDouble();
            c = x < y ? -1 : (x > y ? 1 : 0);
            break;
        }
        case FieldType::DateTime: {
            const qint64 x = dateTimeKey(va.toDateTime()), y = dateTimeKey(vb.toDateTime());
            c = x < y ? -1 : (x > y ? 1 : 0);
            break;
        }
        case FieldType::Text:
        case FieldType::Memo:
            c = italianCollator().compare(va.toString(), vb.toString());
            break;
        }
    }
    if (m_sortOrder == Qt::DescendingOrder)
        c = -c;
    if (c != 0)
        return c < 0;
    return a->id < b->id;
}

size_t TMemTable::sortedInsertPosition(const Row *row) const
{
    if (m_sortColumn < 0) {
        // Natural order: after every visible row with a smaller id.
        auto it =
            std::lower_bound(m_view.begin(), m_view.end(), row->id, [](const Row *r, RowId id) { return r->id < id; });
        return size_t(it - m_view.begin());
    }
    auto it = std::lower_bound(m_view.begin(), m_view.end(), row,
                               [this](const Row *r, const Row *x) { return sortLess(r, x); });
    return size_t(it - m_view.begin());
}

// ---- Rows by id -----------------------------------------------------------------------------------------------

size_t TMemTable::storageIndex(RowId id) const
{
    auto it = std::lower_bound(m_rows.begin(), m_rows.end(), id,
                               [](const std::unique_ptr<Row> &r, RowId key) { return r->id < key; });
    if (it == m_rows.end() || (*it)->id != id)
        return m_rows.size();
    return size_t(it - m_rows.begin());
}

TMemTable::Row *TMemTable::findById(RowId id) const
{
    if (id == 0)
        return nullptr;
    const size_t i = storageIndex(id);
    return i < m_rows.size() ? m_rows[i].get() : nullptr;
}

bool TMemTable::containsRow(RowId id) const
{
    return findById(id) != nullptr;
}

bool TMemTable::isRowVisible(RowId id) const
{
    const Row *row = findById(id);
    return row && passesFilter(*row);
}

QVector<RowId> TMemTable::visibleRowIds() const
{
    ensureView();
    QVector<RowId> ids;
    ids.reserve(qsizetype(m_view.size()));
    for (const Row *r : m_view)
        ids.append(r->id);
    return ids;
}

RowId TMemTable::visibleRowId(int position) const
{
    ensureView();
    if (position < 0 || size_t(position) >= m_view.size())
        return 0;
    return m_view[size_t(position)]->id;
}

int TMemTable::visiblePosition(RowId id) const
{
    if (id == 0)
        return -1;
    ensureView();
    if (m_position >= 0 && size_t(m_position) < m_view.size() && m_view[size_t(m_position)]->id == id)
        return m_position;
    for (size_t i = 0; i < m_view.size(); ++i)
        if (m_view[i]->id == id)
            return int(i);
    return -1;
}

QVariant TMemTable::rowValue(RowId id, int column) const
{
    const Row *row = findById(id);
    if (!row || column < 0 || column >= columnCount())
        return QVariant();
    return TMemRecord(this, row->values.constData()).value(column);
}

QString TMemTable::rowDisplayText(RowId id, int column) const
{
    if (column < 0 || column >= columnCount())
        return QString();
    return formatValue(column, rowValue(id, column));
}

QString TMemTable::formatValue(int column, const QVariant &value) const
{
    if (!value.isValid())
        return QString();
    const TMemColumn &c = m_columns[size_t(column)];
    if (c.display())
        return c.display()(value);
    switch (c.type()) {
    case FieldType::Integer:
        return QString::number(value.toLongLong());
    case FieldType::Float:
        return formatFloat(value.toDouble());
    case FieldType::DateTime:
        return formatDateTime(value.toDateTime());
    case FieldType::Text:
        return value.toString();
    case FieldType::Memo: {
        // One line in a grid cell: line breaks become blanks.
        QString t = value.toString();
        t.replace(QLatin1String("\r\n"), QLatin1String(" "));
        t.replace(QLatin1Char('\r'), QLatin1Char(' '));
        t.replace(QLatin1Char('\n'), QLatin1Char(' '));
        return t;
    }
    }
    return value.toString();
}

// ---- Cursor ---------------------------------------------------------------------------------------------------

int TMemTable::recordCount() const
{
    if (!isOpen())
        return 0;
    ensureView();
    return int(m_view.size());
}

void TMemTable::noteCurrentMoved(RowId before)
{
    if (m_currentId != before && m_updateCount == 0)
        emit currentChanged();
}

void TMemTable::setCursor(int position)
{
    ensureView();
    if (m_view.empty()) {
        m_currentId = 0;
        m_position = -1;
        return;
    }
    position = std::clamp(position, 0, int(m_view.size()) - 1);
    m_position = position;
    m_currentId = m_view[size_t(position)]->id;
}

void TMemTable::setCursorAfterViewChange(RowId keep)
{
    // Stay on the same row when it is still visible, otherwise go to the first one.
    const RowId before = m_currentId;
    const int pos = visiblePosition(keep);
    setCursor(pos >= 0 ? pos : 0);
    m_bof = pos < 0;
    m_eof = m_view.empty();
    noteCurrentMoved(before);
}

void TMemTable::first()
{
    requireOpen();
    checkBrowseMode();
    const RowId before = m_currentId;
    setCursor(0);
    m_bof = true;
    m_eof = m_view.empty();
    noteCurrentMoved(before);
}

void TMemTable::last()
{
    requireOpen();
    checkBrowseMode();
    const RowId before = m_currentId;
    ensureView();
    setCursor(int(m_view.size()) - 1);
    m_eof = true;
    m_bof = m_view.empty();
    noteCurrentMoved(before);
}

void TMemTable::next()
{
    requireOpen();
    checkBrowseMode();
    const RowId before = m_currentId;
    const int pos = visiblePosition(m_currentId);
    if (pos < 0) {
        setCursor(0);
        m_eof = m_view.empty();
    } else if (size_t(pos) + 1 < m_view.size()) {
        setCursor(pos + 1);
        m_eof = false;
    } else {
        m_eof = true;
    }
    m_bof = m_view.empty();
    noteCurrentMoved(before);
}

void TMemTable::prior()
{
    requireOpen();
    checkBrowseMode();
    const RowId before = m_currentId;
    const int pos = visiblePosition(m_currentId);
    if (pos > 0) {
        setCursor(pos - 1);
        m_bof = false;
    } else {
        if (pos < 0)
            setCursor(0);
        m_bof = true;
    }
    m_eof = m_view.empty();
    noteCurrentMoved(before);
}

int TMemTable::recNo() const
{
    if (!isOpen())
        return 0;
    return visiblePosition(m_currentId) + 1;
}

void TMemTable::setRecNo(int recNo)
{
    requireOpen();
    checkBrowseMode();
    const RowId before = m_currentId;
    setCursor(recNo - 1);
    m_bof = m_eof = m_view.empty();
    noteCurrentMoved(before);
}

RowId TMemTable::bookmark() const
{
    switch (m_state) {
    case State::Edit:
        return m_editId;
    case State::Browse: {
        const Row *row = findById(m_currentId);
        return row && isCurrentVisible(*row) ? m_currentId : 0;
    }
    default:
        return 0;
    }
}

bool TMemTable::gotoBookmark(RowId id)
{
    requireOpen();
    checkBrowseMode();
    const int pos = visiblePosition(id);
    if (pos < 0)
        return false;
    const RowId before = m_currentId;
    setCursor(pos);
    m_bof = m_eof = false;
    noteCurrentMoved(before);
    return true;
}

// ---- Fields ---------------------------------------------------------------------------------------------------

QVariant TMemTable::value(int column) const
{
    requireOpen();
    requireColumn(column);
    if (m_state == State::Insert || m_state == State::Edit)
        return TMemRecord(this, m_buffer.constData()).value(column);
    const Row *row = findById(m_currentId);
    if (!row || !isCurrentVisible(*row))
        return QVariant(); // no current row: every field reads null, as on an empty dataset
    return TMemRecord(this, row->values.constData()).value(column);
}

QVariant TMemTable::value(const QString &column) const
{
    return value(requireColumnIndex(column));
}

QString TMemTable::displayText(const QString &column) const
{
    const int index = requireColumnIndex(column);
    return formatValue(index, value(index));
}

void TMemTable::setValue(int column, const QVariant &value)
{
    requireOpen();
    requireColumn(column);
    if (m_state != State::Insert && m_state != State::Edit)
        throw MemTableError(QStringLiteral("La tabella %1 non è in inserimento o modifica.").arg(m_name));
    const TMemColumn &c = m_columns[size_t(column)];
    if (c.isCalculated())
        throw MemTableError(QStringLiteral("Il campo calcolato %1 non si può modificare.").arg(c.name()));
    m_buffer[column] = c.convert(value);
}

void TMemTable::setValue(const QString &column, const QVariant &value)
{
    setValue(requireColumnIndex(column), value);
}

// ---- Editing --------------------------------------------------------------------------------------------------

void TMemTable::checkBrowseMode()
{
    if (m_state == State::Insert || m_state == State::Edit)
        post();
}

void TMemTable::checkRequired(const QVector<QVariant> &values) const
{
    for (size_t i = 0; i < m_columns.size(); ++i) {
        const TMemColumn &c = m_columns[i];
        if (c.isRequired() && !c.isCalculated() && !values[qsizetype(i)].isValid())
            throw MemTableError(QStringLiteral("Il campo %1 deve avere un valore.").arg(c.name()));
    }
}

void TMemTable::append()
{
    requireOpen();
    checkBrowseMode();
    m_buffer = QVector<QVariant>(qsizetype(m_columns.size()));
    m_editId = 0;
    m_state = State::Insert;
}

void TMemTable::edit()
{
    requireOpen();
    if (m_state == State::Edit || m_state == State::Insert)
        return;
    const RowId id = bookmark();
    if (id == 0)
        throw MemTableError(QStringLiteral("Nessuna riga corrente da modificare."));
    editRow(id);
}

bool TMemTable::editRow(RowId id)
{
    requireOpen();
    checkBrowseMode();
    const Row *row = findById(id);
    if (!row)
        return false;
    const int pos = visiblePosition(id);
    if (pos >= 0) {
        const RowId before = m_currentId;
        setCursor(pos);
        noteCurrentMoved(before);
    }
    m_buffer = row->values;
    m_editId = id;
    m_state = State::Edit;
    return true;
}

void TMemTable::cancel()
{
    if (m_state != State::Insert && m_state != State::Edit)
        return;
    m_buffer.clear();
    m_editId = 0;
    m_state = State::Browse;
}

void TMemTable::post()
{
    requireOpen();
    if (m_state != State::Insert && m_state != State::Edit)
        return;
    checkRequired(m_buffer);

    const RowId before = m_currentId;
    if (m_updateCount == 0)
        ensureView(); // the view must not already hold the row inserted below
    Row *row = nullptr;
    int oldPos = -1;
    if (m_state == State::Insert) {
        auto fresh = std::make_unique<Row>();
        fresh->id = m_nextId++;
        fresh->values = std::move(m_buffer);
        row = fresh.get();
        m_rows.push_back(std::move(fresh));
    } else {
        row = findById(m_editId);
        if (!row) { // deleted meanwhile: nothing to store
            cancel();
            return;
        }
        if (m_updateCount == 0)
            oldPos = visiblePosition(row->id);
        row->values = std::move(m_buffer);
    }
    m_buffer.clear();
    m_editId = 0;
    m_state = State::Browse;
    const bool visible = passesFilter(*row);

    if (m_updateCount > 0) {
        // Bulk work: the order is rebuilt once, at endUpdate (or on demand).
        invalidateView();
        m_pendingReset = true;
        if (visible)
            m_currentId = row->id;
        return;
    }

    ensureView();
    if (oldPos >= 0)
        m_view.erase(m_view.begin() + oldPos);
    int newPos = -1;
    if (visible) {
        newPos = int(sortedInsertPosition(row));
        m_view.insert(m_view.begin() + newPos, row);
    }
    m_position = -1;
    if (visible)
        setCursor(newPos);
    else if (oldPos >= 0)
        setCursor(oldPos); // the edited row left the view: the next one takes its place
    else
        setCursor(std::max(0, visiblePosition(before)));
    m_bof = m_eof = m_view.empty();

    if (oldPos >= 0 && newPos >= 0) {
        if (oldPos == newPos)
            emit rowChanged(newPos);
        else
            emit rowMoved(oldPos, newPos);
    } else if (oldPos >= 0) {
        emit rowRemoved(oldPos);
    } else if (newPos >= 0) {
        emit rowInserted(newPos);
    }
    noteCurrentMoved(before);
}

void TMemTable::deleteCurrent()
{
    requireOpen();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    cancel();
    const int pos = visiblePosition(m_currentId);
    if (pos < 0)
        throw MemTableError(QStringLiteral("Nessuna riga corrente da eliminare."));
    const RowId id = m_currentId;
    m_view.erase(m_view.begin() + pos);
    m_rows.erase(m_rows.begin() + std::ptrdiff_t(storageIndex(id)));
    m_position = -1;
    setCursor(pos);
    m_bof = m_eof = m_view.empty();
    if (m_updateCount > 0)
        m_pendingReset = true;
    else
        emit rowRemoved(pos);
    noteCurrentMoved(id);
}

int TMemTable::appendRecords(std::vector<QVector<QVariant>> records)
{
    requireOpen();
    checkBrowseMode();
    // Convert and check everything first (in place): a bad record leaves the table untouched.
    const qsizetype columns = qsizetype(m_columns.size());
    for (size_t r = 0; r < records.size(); ++r) {
        QVector<QVariant> &values = records[r];
        values.resize(columns);
        try {
            for (qsizetype c = 0; c < columns; ++c) {
                const TMemColumn &col = m_columns[size_t(c)];
                values[c] = col.isCalculated() ? QVariant() : col.convert(values.at(c));
            }
            checkRequired(values);
        } catch (const MemTableError &e) {
            throw MemTableError(QStringLiteral("Riga %1: %2").arg(r + 1).arg(e.message()));
        }
    }
    if (records.empty())
        return 0;
    UpdateGuard guard(*this);
    const RowId keep = m_currentId;
    m_rows.reserve(m_rows.size() + records.size());
    for (auto &values : records) {
        auto row = std::make_unique<Row>();
        row->id = m_nextId++;
        row->values = std::move(values);
        m_rows.push_back(std::move(row));
    }
    invalidateView();
    m_pendingReset = true;
    setCursorAfterViewChange(keep);
    return int(records.size());
}

// ---- Locate ---------------------------------------------------------------------------------------------------

bool TMemTable::valueMatches(int column, const QVariant &cell, const QVariant &key, LocateOptions options) const
{
    if (!key.isValid())
        return !cell.isValid();
    if (!cell.isValid())
        return false;
    const TMemColumn &c = m_columns[size_t(column)];
    switch (c.type()) {
    case FieldType::Integer:
    case FieldType::Float:
        return cell.toDouble() == key.toDouble();
    case FieldType::DateTime:
        return dateTimeKey(cell.toDateTime()) == dateTimeKey(key.toDateTime());
    case FieldType::Text:
    case FieldType::Memo: {
        const Qt::CaseSensitivity cs = options.testFlag(CaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
        const QString text = cell.toString();
        const QString wanted = key.toString();
        if (options.testFlag(PartialKey))
            return text.startsWith(wanted, cs);
        return text.compare(wanted, cs) == 0;
    }
    }
    return false;
}

bool TMemTable::locate(const QString &column, const QVariant &value, LocateOptions options)
{
    requireOpen();
    checkBrowseMode();
    const int index = requireColumnIndex(column);
    const TMemColumn &c = m_columns[size_t(index)];
    // A text key is kept as given (not cut to the column size) so that a longer key finds nothing.
    QVariant key;
    try {
        key = c.isText() ? (value.isValid() ? QVariant(value.toString()) : QVariant()) : c.convert(value);
    } catch (const MemTableError &) {
        return false; // a key that cannot be a value of the column matches no row
    }
    ensureView();
    for (size_t i = 0; i < m_view.size(); ++i) {
        if (valueMatches(index, TMemRecord(this, m_view[i]->values.constData()).value(index), key, options)) {
            const RowId before = m_currentId;
            setCursor(int(i));
            m_bof = m_eof = false;
            noteCurrentMoved(before);
            return true;
        }
    }
    return false;
}

RowId TMemTable::findRow(const QString &column, const QVariant &value, LocateOptions options) const
{
    const int index = requireColumnIndex(column);
    const TMemColumn &c = m_columns[size_t(index)];
    QVariant key;
    try {
        key = c.isText() ? (value.isValid() ? QVariant(value.toString()) : QVariant()) : c.convert(value);
    } catch (const MemTableError &) {
        return 0;
    }
    for (const auto &row : m_rows)
        if (valueMatches(index, TMemRecord(this, row->values.constData()).value(index), key, options))
            return row->id;
    return 0;
}

// ---- Sort and filter ------------------------------------------------------------------------------------------

void TMemTable::sortOn(const QString &column, Qt::SortOrder order)
{
    requireOpen();
    const int index = requireColumnIndex(column);
    checkBrowseMode();
    const RowId keep = m_currentId;
    m_sortColumn = index;
    m_sortOrder = order;
    invalidateView();
    setCursorAfterViewChange(keep);
    emitReset();
}

void TMemTable::clearSort()
{
    if (m_sortColumn < 0)
        return;
    checkBrowseMode();
    const RowId keep = m_currentId;
    m_sortColumn = -1;
    m_sortOrder = Qt::AscendingOrder;
    if (!isOpen())
        return;
    invalidateView();
    setCursorAfterViewChange(keep);
    emitReset();
}

QString TMemTable::sortColumn() const
{
    return m_sortColumn >= 0 ? m_columns[size_t(m_sortColumn)].name() : QString();
}

void TMemTable::setFilter(const QString &expression)
{
    std::unique_ptr<TFilterExpression> parsed;
    if (!expression.trimmed().isEmpty())
        parsed = TFilterExpression::parse(expression, *this); // throws before anything changes
    checkBrowseMode();
    m_filterText = expression;
    m_filterExpr = std::move(parsed);
    if (m_filtered && isOpen()) {
        const RowId keep = m_currentId;
        invalidateView();
        setCursorAfterViewChange(keep);
        emitReset();
    }
}

void TMemTable::setFiltered(bool on)
{
    if (on == m_filtered)
        return;
    checkBrowseMode();
    m_filtered = on;
    if (isOpen()) {
        const RowId keep = m_currentId;
        invalidateView();
        setCursorAfterViewChange(keep);
        emitReset();
    }
}

} // namespace tavo
