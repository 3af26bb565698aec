#include "data/database.h"

#include "data/engine.h"
#include "data/testo/win1252.h"

#include <firebird/Interface.h>

#include <QDate>
#include <QTime>

#include <cmath>
#include <cstring>
#include <mutex>

using namespace Firebird;

namespace tavo::db {

namespace {

// The connection speaks the database's own single-byte character set: texts and text blobs then
// travel as stored, with no conversion on the server, and are converted here.
constexpr unsigned CharsetOctets = 1;
constexpr unsigned CharsetUtf8 = 4;
constexpr unsigned CharsetWin1252 = 53;
constexpr int SqlDialect = 1;

IMaster *master()
{
    static IMaster *m = [] {
        prepareEngine();
        return fb_get_master_interface();
    }();
    return m;
}

QString statusText(IStatus *status)
{
    char buffer[4096];
    master()->getUtilInterface()->formatStatus(buffer, sizeof buffer, status);
    QString text = QString::fromUtf8(buffer);
    if (text.contains(QChar::ReplacementCharacter))
        text = fromWin1252(QByteArray(buffer));
    return text.trimmed();
}

DbError errorFrom(const FbException &e)
{
    IStatus *status = e.getStatus();
    const ISC_STATUS *vector = status->getErrors();
    const int gds = (vector && vector[0] == isc_arg_gds) ? int(vector[1]) : 0;
    return DbError(statusText(status), int(isc_sqlcode(vector)), gds);
}

// One status object for the duration of a call into the client library.
class Status
{
public:
    Status() : m_status(master()->getStatus()), m_wrapper(m_status) {}
    ~Status() { m_status->dispose(); }
    ThrowStatusWrapper *operator&() { return &m_wrapper; }

private:
    IStatus *m_status;
    ThrowStatusWrapper m_wrapper;
};

// Runs a call into the client library, turning its failure into DbError.
template<typename F>
auto guarded(F &&f) -> decltype(f())
{
    try {
        return f();
    } catch (const FbException &e) {
        throw errorFrom(e);
    }
}

// Dates in the client library count days from 17 November 1858.
constexpr qint64 FirebirdEpochJulianDay = 2400001;

ISC_TIMESTAMP toTimestamp(const QDateTime &dt)
{
    ISC_TIMESTAMP ts;
    ts.timestamp_date = ISC_DATE(dt.date().toJulianDay() - FirebirdEpochJulianDay);
    ts.timestamp_time = ISC_TIME(dt.time().msecsSinceStartOfDay()) * 10;
    return ts;
}

QDateTime fromTimestamp(const ISC_TIMESTAMP &ts)
{
    const QDate date = QDate::fromJulianDay(qint64(ts.timestamp_date) + FirebirdEpochJulianDay);
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ts.timestamp_time / 10)));
}

QByteArray buildDpb(const QString &user, const QString &password, bool creating)
{
    Status st;
    return guarded([&] {
        IXpbBuilder *dpb = master()->getUtilInterface()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
        dpb->insertString(&st, isc_dpb_user_name, user.toUtf8().constData());
        dpb->insertString(&st, isc_dpb_password, password.toUtf8().constData());
        dpb->insertString(&st, isc_dpb_lc_ctype, "WIN1252");
        dpb->insertInt(&st, isc_dpb_sql_dialect, SqlDialect);
        if (creating) {
            dpb->insertInt(&st, isc_dpb_page_size, 8192);
            dpb->insertString(&st, isc_dpb_set_db_charset, "WIN1252");
        }
        QByteArray bytes(reinterpret_cast<const char *>(dpb->getBuffer(&st)), int(dpb->getBufferLength(&st)));
        dpb->dispose();
        return bytes;
    });
}

bool isIdentifierStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool isIdentifierChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); }

} // namespace

DbError::DbError(const QString &message, int sqlCode, int gdsCode)
    : std::runtime_error(message.toStdString()), m_message(message), m_sqlCode(sqlCode), m_gdsCode(gdsCode)
{
}

void prepareEngine()
{
    static std::once_flag once;
    std::call_once(once, [] { preparePrivateRoot(); });
}

// --- Database ---------------------------------------------------------------------------------

Database::Database() = default;

Database::~Database()
{
    try {
        close();
    } catch (...) {
    }
}

void Database::open(const QString &connection, const QString &user, const QString &password)
{
    close();
    const QByteArray dpb = buildDpb(user, password, false);
    Status st;
    m_attachment = guarded([&] {
        return master()->getDispatcher()->attachDatabase(&st, connection.toUtf8().constData(), unsigned(dpb.size()),
                                                         reinterpret_cast<const unsigned char *>(dpb.constData()));
    });
    m_connection = connection;
    m_user = user;
    m_password = password;
}

void Database::openLike(const Database &other)
{
    if (!other.isOpen())
        throw DbError(QStringLiteral("Il database non è aperto."));
    open(other.m_connection, other.m_user, other.m_password);
}

void Database::create(const QString &connection, const QString &user, const QString &password)
{
    close();
    const QByteArray dpb = buildDpb(user, password, true);
    Status st;
    m_attachment = guarded([&] {
        return master()->getDispatcher()->createDatabase(&st, connection.toUtf8().constData(), unsigned(dpb.size()),
                                                         reinterpret_cast<const unsigned char *>(dpb.constData()));
    });
    m_connection = connection;
    m_user = user;
    m_password = password;
}

void Database::close()
{
    if (!m_attachment)
        return;
    IAttachment *att = m_attachment;
    m_attachment = nullptr;
    Status st;
    try {
        att->detach(&st);
    } catch (const FbException &e) {
        att->release();
        throw errorFrom(e);
    }
}

bool Database::isOpen() const { return m_attachment != nullptr; }

// --- Transaction ------------------------------------------------------------------------------

Transaction::Transaction(Database &db) : m_db(db) {}

Transaction::~Transaction()
{
    try {
        rollback();
    } catch (...) {
    }
}

void Transaction::start()
{
    if (m_tra)
        return;
    if (!m_db.isOpen())
        throw DbError(QStringLiteral("Il database non è aperto."));
    static const unsigned char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed, isc_tpb_rec_version,
                                        isc_tpb_nowait};
    Status st;
    m_tra = guarded([&] { return m_db.attachment()->startTransaction(&st, sizeof tpb, tpb); });
}

ITransaction *Transaction::handle()
{
    start();
    return m_tra;
}

void Transaction::commit()
{
    if (!m_tra)
        return;
    Status st;
    guarded([&] { m_tra->commit(&st); }); // the interface is released by a successful commit
    m_tra = nullptr;
}

void Transaction::commitRetaining()
{
    if (!m_tra)
        return;
    Status st;
    guarded([&] { m_tra->commitRetaining(&st); });
}

void Transaction::rollback()
{
    if (!m_tra)
        return;
    ITransaction *tra = m_tra;
    m_tra = nullptr;
    Status st;
    try {
        tra->rollback(&st);
    } catch (const FbException &e) {
        tra->release();
        throw errorFrom(e);
    }
}

void Transaction::rollbackRetaining()
{
    if (!m_tra)
        return;
    Status st;
    guarded([&] { m_tra->rollbackRetaining(&st); });
}

// --- Query ------------------------------------------------------------------------------------

Query::Query(Transaction &tr) : m_tr(tr) {}

Query::Query(Transaction &tr, const QString &sql) : m_tr(tr) { setSql(sql); }

Query::~Query() { unprepare(); }

QStringList &Query::sql()
{
    // The caller may change the lines through the reference: prepare again next time.
    unprepare();
    return m_lines;
}

void Query::setSql(const QString &sql)
{
    unprepare();
    m_lines = sql.split(QLatin1Char('\n'));
}

void Query::setSql(const QStringList &lines)
{
    unprepare();
    m_lines = lines;
}

void Query::setParam(const QString &name, const QVariant &value) { m_params.insert(name.toUpper(), value); }

QStringList Query::paramNames()
{
    QStringList names;
    parseParameters(m_lines.join(QLatin1Char('\n')), &names);
    names.removeDuplicates();
    return names;
}

QString Query::parseParameters(const QString &sql, QStringList *names)
{
    QString out;
    out.reserve(sql.size());
    const int n = sql.size();
    int i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // String literal (dialect 1 takes double quotes as strings too); doubled quote escapes.
            int j = i + 1;
            while (j < n) {
                if (sql.at(j) == c) {
                    if (j + 1 < n && sql.at(j + 1) == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += sql.mid(i, qMin(j + 1, n) - i);
            i = j + 1;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql.at(i + 1) == QLatin1Char('*')) {
            const int end = sql.indexOf(QLatin1String("*/"), i + 2);
            const int stop = end < 0 ? n : end + 2;
            out += sql.mid(i, stop - i);
            i = stop;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
            const int end = sql.indexOf(QLatin1Char('\n'), i);
            const int stop = end < 0 ? n : end;
            out += sql.mid(i, stop - i);
            i = stop;
        } else if (c == QLatin1Char(':') && i + 1 < n && isIdentifierStart(sql.at(i + 1))) {
            int j = i + 1;
            while (j < n && isIdentifierChar(sql.at(j)))
                ++j;
            if (names)
                names->append(sql.mid(i + 1, j - i - 1).toUpper());
            out += QLatin1Char('?');
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

void Query::unprepare()
{
    Status st;
    if (m_cursor) {
        try {
            m_cursor->close(&st);
        } catch (const FbException &) {
            m_cursor->release();
        }
        m_cursor = nullptr;
    }
    if (m_outMeta) {
        m_outMeta->release();
        m_outMeta = nullptr;
    }
    if (m_stmt) {
        try {
            m_stmt->free(&st);
        } catch (const FbException &) {
            m_stmt->release();
        }
        m_stmt = nullptr;
    }
    m_columns.clear();
    m_columnIndex.clear();
    m_repeatedTexts.clear();
    m_dirty = true;
}

void Query::prepare()
{
    if (!m_dirty && m_stmt)
        return;
    unprepare();
    m_paramOrder.clear();
    const QString text = parseParameters(m_lines.join(QLatin1Char('\n')), &m_paramOrder);
    Status st;
    guarded([&] {
        m_stmt = m_tr.database().attachment()->prepare(&st, m_tr.handle(), 0, toWin1252(text).constData(), SqlDialect,
                                                      IStatement::PREPARE_PREFETCH_METADATA);
        const unsigned type = m_stmt->getType(&st);
        m_isSelect = type == isc_info_sql_stmt_select || type == isc_info_sql_stmt_select_for_upd;
        m_outMeta = m_stmt->getOutputMetadata(&st);
        const unsigned count = m_outMeta->getCount(&st);
        m_columns.resize(int(count));
        for (unsigned i = 0; i < count; ++i) {
            Column &col = m_columns[int(i)];
            col.name = fromWin1252(QByteArray(m_outMeta->getAlias(&st, i))).toUpper();
            if (col.name.isEmpty())
                col.name = fromWin1252(QByteArray(m_outMeta->getField(&st, i))).toUpper();
            col.sqlType = int(m_outMeta->getType(&st, i) & ~1u);
            col.subType = m_outMeta->getSubType(&st, i);
            col.scale = m_outMeta->getScale(&st, i);
            col.length = int(m_outMeta->getLength(&st, i));
            const unsigned cs = m_outMeta->getCharSet(&st, i);
            col.charSet = int(cs);
            col.charLength = cs == CharsetUtf8 ? col.length / 4 : col.length;
            col.offset = int(m_outMeta->getOffset(&st, i));
            col.nullOffset = int(m_outMeta->getNullOffset(&st, i));
            if (!m_columnIndex.contains(col.name))
                m_columnIndex.insert(col.name, int(i));
        }
        m_outBuffer = QByteArray(int(m_outMeta->getMessageLength(&st)), '\0');
        m_repeatedTexts.resize(int(count));
    });
    m_dirty = false;
}

void Query::buildInput(QByteArray &buffer, IMessageMetadata **meta)
{
    // The message format of a statement must stay the same across executions (the engine keeps
    // the first one), so it is derived from the statement's declared parameters only, and each
    // value is converted here to its parameter's type.
    Status st;
    guarded([&] {
        IMessageMetadata *original = m_stmt->getInputMetadata(&st);
        const unsigned count = original->getCount(&st);
        IMetadataBuilder *builder = original->getBuilder(&st);
        QVector<unsigned> types(qsizetype(count), 0u);
        for (unsigned i = 0; i < count; ++i) {
            const unsigned declared = original->getType(&st, i) & ~1u;
            unsigned type = declared;
            switch (declared) {
            case SQL_SHORT:
            case SQL_LONG:
            case SQL_INT64:
                type = original->getScale(&st, i) < 0 ? SQL_DOUBLE : SQL_INT64;
                builder->setScale(&st, i, 0);
                break;
            case SQL_FLOAT:
            case SQL_DOUBLE:
            case SQL_D_FLOAT:
                type = SQL_DOUBLE;
                break;
            case SQL_TYPE_DATE:
            case SQL_TYPE_TIME:
            case SQL_TIMESTAMP:
                type = SQL_TIMESTAMP;
                break;
            case SQL_TEXT:
            case SQL_VARYING:
                type = SQL_VARYING;
                if (original->getCharSet(&st, i) != CharsetOctets) // octets stay bytes
                    builder->setCharSet(&st, i, CharsetWin1252);
                break;
            case SQL_BLOB:
            case SQL_BOOLEAN:
                break;
            default: // untyped positions (":X is null"): a text the server converts as needed
                type = SQL_VARYING;
                builder->setCharSet(&st, i, CharsetWin1252);
                builder->setLength(&st, i, 32765);
                break;
            }
            builder->setType(&st, i, type + 1);
            if (type == SQL_INT64 || type == SQL_DOUBLE || type == SQL_TIMESTAMP)
                builder->setLength(&st, i, 8); // the builder keeps the declared length otherwise
            types[int(i)] = type;
        }
        original->release();
        IMessageMetadata *m = builder->getMetadata(&st);
        builder->release();
        *meta = m;

        buffer = QByteArray(int(m->getMessageLength(&st)), '\0');
        unsigned char *data = reinterpret_cast<unsigned char *>(buffer.data());
        for (unsigned i = 0; i < count; ++i) {
            const QString name = m_paramOrder.value(int(i));
            if (!m_params.contains(name))
                throw DbError(QStringLiteral("Parametro :%1 senza valore.").arg(name));
            const QVariant v = m_params.value(name);
            short *nullFlag = reinterpret_cast<short *>(data + m->getNullOffset(&st, i));
            unsigned char *field = data + m->getOffset(&st, i);
            if (!v.isValid() || v.isNull()) {
                *nullFlag = -1;
                continue;
            }
            *nullFlag = 0;
            auto invalid = [&] {
                return DbError(QStringLiteral("Valore non valido per il parametro :%1: \"%2\".").arg(name, v.toString()));
            };
            switch (types[int(i)]) {
            case SQL_INT64: {
                bool ok = true;
                qint64 n = 0;
                if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
                    n = qint64(std::llround(v.toDouble())); // as the server converts a float
                else if (v.typeId() == QMetaType::Bool)
                    n = v.toBool() ? 1 : 0;
                else
                    n = v.toLongLong(&ok);
                if (!ok)
                    throw invalid();
                std::memcpy(field, &n, sizeof n);
                break;
            }
            case SQL_DOUBLE: {
                bool ok = true;
                const double d = v.toDouble(&ok);
                if (!ok)
                    throw invalid();
                std::memcpy(field, &d, sizeof d);
                break;
            }
            case SQL_TIMESTAMP: {
                QDateTime dt;
                if (v.typeId() == QMetaType::QDate)
                    dt = v.toDate().startOfDay();
                else if (v.typeId() == QMetaType::QTime)
                    dt = QDateTime(QDate(1858, 11, 17), v.toTime());
                else
                    dt = v.toDateTime();
                if (!dt.isValid())
                    throw invalid();
                const ISC_TIMESTAMP ts = toTimestamp(dt);
                std::memcpy(field, &ts, sizeof ts);
                break;
            }
            case SQL_BOOLEAN:
                *field = v.toBool() ? 1 : 0;
                break;
            case SQL_VARYING: {
                const QByteArray bytes = v.typeId() == QMetaType::QByteArray ? v.toByteArray() : toWin1252(v.toString());
                const unsigned room = m->getLength(&st, i);
                if (unsigned(bytes.size()) > room) {
                    const unsigned chars = m->getCharSet(&st, i) == CharsetUtf8 ? room / 4 : room;
                    throw DbError(QStringLiteral("Testo troppo lungo per il parametro :%1 (al massimo %2 caratteri).")
                                      .arg(name)
                                      .arg(chars));
                }
                const unsigned short len = static_cast<unsigned short>(bytes.size());
                std::memcpy(field, &len, sizeof len);
                std::memcpy(field + 2, bytes.constData(), size_t(bytes.size()));
                break;
            }
            case SQL_BLOB: {
                const bool binary = v.typeId() == QMetaType::QByteArray;
                const QByteArray bytes = binary ? v.toByteArray() : toWin1252(v.toString());
                ISC_QUAD id;
                IBlob *blob = m_tr.database().attachment()->createBlob(&st, m_tr.handle(), &id, 0, nullptr);
                for (int pos = 0; pos < bytes.size(); pos += 32000) {
                    const int len = qMin(32000, int(bytes.size()) - pos);
                    blob->putSegment(&st, unsigned(len), bytes.constData() + pos);
                }
                blob->close(&st);
                std::memcpy(field, &id, sizeof id);
                break;
            }
            default:
                throw DbError(QStringLiteral("Tipo di parametro non gestito per :%1.").arg(name));
            }
        }
    });
}

void Query::exec()
{
    prepare();
    if (m_cursor) {
        Status st;
        try {
            m_cursor->close(&st);
        } catch (const FbException &) {
            m_cursor->release();
        }
        m_cursor = nullptr;
    }
    QByteArray input;
    IMessageMetadata *inMeta = nullptr;
    buildInput(input, &inMeta);
    Status st;
    try {
        const auto *in = reinterpret_cast<const unsigned char *>(input.constData());
        if (m_isSelect) {
            m_cursor = m_stmt->openCursor(&st, m_tr.handle(), inMeta, const_cast<unsigned char *>(in), m_outMeta, 0);
            m_rowsAffected = 0;
        } else {
            m_stmt->execute(&st, m_tr.handle(), inMeta, const_cast<unsigned char *>(in), m_outMeta,
                            reinterpret_cast<unsigned char *>(m_outBuffer.data()));
            m_rowsAffected = int(m_stmt->getAffectedRecords(&st));
        }
    } catch (const FbException &e) {
        if (inMeta)
            inMeta->release();
        throw errorFrom(e);
    }
    if (inMeta)
        inMeta->release();
}

bool Query::next()
{
    if (!m_cursor)
        return false;
    Status st;
    const int result = guarded(
        [&] { return m_cursor->fetchNext(&st, reinterpret_cast<unsigned char *>(m_outBuffer.data())); });
    if (result == IStatus::RESULT_OK)
        return true;
    guarded([&] { m_cursor->close(&st); });
    m_cursor = nullptr;
    return false;
}

bool Query::first()
{
    exec();
    if (!m_isSelect)
        return m_columns.size() > 0; // "insert ... returning" and procedures give their row at once
    return next();
}

void Query::close()
{
    if (!m_cursor)
        return;
    Status st;
    IResultSet *cursor = m_cursor;
    m_cursor = nullptr;
    try {
        cursor->close(&st);
    } catch (const FbException &e) {
        cursor->release();
        throw errorFrom(e);
    }
}

int Query::columnIndex(const QString &name) const { return m_columnIndex.value(name.toUpper(), -1); }

bool Query::isNull(int i) const
{
    if (i < 0 || i >= m_columns.size())
        return true;
    return *reinterpret_cast<const short *>(m_outBuffer.constData() + m_columns[i].nullOffset) != 0;
}

bool Query::isNull(const QString &name) const { return isNull(columnIndex(name)); }

QByteArray Query::blobBytes(const unsigned char *id) const
{
    QByteArray result;
    Status st;
    guarded([&] {
        ISC_QUAD quad;
        std::memcpy(&quad, id, sizeof quad);
        IBlob *blob = m_tr.database().attachment()->openBlob(&st, m_tr.handle(), &quad, 0, nullptr);
        char chunk[32768];
        for (;;) {
            unsigned got = 0;
            const int r = blob->getSegment(&st, sizeof chunk, chunk, &got);
            if (r == IStatus::RESULT_NO_DATA)
                break;
            result.append(chunk, int(got));
        }
        blob->close(&st);
    });
    return result;
}

QString Query::text(int column, const char *bytes, int length) const
{
    // Only short texts are worth sharing; a column that keeps giving new values (codes, names) stops being
    // remembered once its table is full.
    constexpr int MaxLength = 40;
    constexpr int MaxEntries = 2048;
    if (length > MaxLength || column >= m_repeatedTexts.size())
        return fromWin1252(QByteArray::fromRawData(bytes, length));
    QHash<QByteArray, QString> &known = m_repeatedTexts[column];
    const auto found = known.constFind(QByteArray::fromRawData(bytes, length));
    if (found != known.constEnd())
        return found.value();
    QString value = fromWin1252(QByteArray::fromRawData(bytes, length));
    if (known.size() < MaxEntries)
        known.insert(QByteArray(bytes, length), value);
    return value;
}

QVariant Query::value(int i) const
{
    if (i < 0 || i >= m_columns.size())
        throw DbError(QStringLiteral("Colonna %1 inesistente.").arg(i));
    if (isNull(i))
        return {};
    const Column &col = m_columns[i];
    const unsigned char *p = reinterpret_cast<const unsigned char *>(m_outBuffer.constData()) + col.offset;
    auto scaled = [&](qint64 n) -> QVariant {
        if (col.scale < 0)
            return double(n) / std::pow(10.0, -col.scale);
        return n;
    };
    switch (col.sqlType) {
    case SQL_VARYING: {
        unsigned short len;
        std::memcpy(&len, p, sizeof len);
        if (col.charSet == int(CharsetOctets))
            return QByteArray(reinterpret_cast<const char *>(p + 2), len);
        return text(i, reinterpret_cast<const char *>(p + 2), len);
    }
    case SQL_TEXT: {
        if (col.charSet == int(CharsetOctets))
            return QByteArray(reinterpret_cast<const char *>(p), col.length);
        QString s = col.charSet == int(CharsetUtf8) ? QString::fromUtf8(reinterpret_cast<const char *>(p), col.length)
                                                    : text(i, reinterpret_cast<const char *>(p), col.length);
        // Fixed-length text arrives padded to its byte length; keep the declared characters.
        if (s.size() > col.charLength)
            s.truncate(col.charLength);
        return s;
    }
    case SQL_SHORT: {
        short n;
        std::memcpy(&n, p, sizeof n);
        return col.scale < 0 ? scaled(n) : QVariant(int(n));
    }
    case SQL_LONG: {
        ISC_LONG n;
        std::memcpy(&n, p, sizeof n);
        return col.scale < 0 ? scaled(n) : QVariant(int(n));
    }
    case SQL_INT64: {
        ISC_INT64 n;
        std::memcpy(&n, p, sizeof n);
        return scaled(n);
    }
    case SQL_FLOAT: {
        float f;
        std::memcpy(&f, p, sizeof f);
        return double(f);
    }
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        double d;
        std::memcpy(&d, p, sizeof d);
        return d;
    }
    case SQL_TIMESTAMP: {
        ISC_TIMESTAMP ts;
        std::memcpy(&ts, p, sizeof ts);
        return fromTimestamp(ts);
    }
    case SQL_TYPE_DATE: {
        ISC_DATE d;
        std::memcpy(&d, p, sizeof d);
        return QDate::fromJulianDay(qint64(d) + FirebirdEpochJulianDay);
    }
    case SQL_TYPE_TIME: {
        ISC_TIME t;
        std::memcpy(&t, p, sizeof t);
        return QTime::fromMSecsSinceStartOfDay(int(t / 10));
    }
    case SQL_BOOLEAN:
        return *p != 0;
    case SQL_BLOB: {
        const QByteArray bytes = blobBytes(p);
        if (col.subType == 1)
            return fromWin1252(bytes);
        return bytes;
    }
    default:
        return {};
    }
}

QVariant Query::value(const QString &name) const
{
    const int i = columnIndex(name);
    if (i < 0)
        throw DbError(QStringLiteral("Colonna %1 inesistente.").arg(name));
    return value(i);
}


bool executeImmediate(Transaction &tr, const QString &sql, int dialect)
{
    Status st;
    return guarded([&] {
        IStatement *stmt = tr.database().attachment()->prepare(&st, tr.handle(), 0, toWin1252(sql).constData(),
                                                               unsigned(dialect), 0);
        bool ddl = false;
        try {
            ddl = stmt->getType(&st) == isc_info_sql_stmt_ddl;
            stmt->execute(&st, tr.handle(), nullptr, nullptr, nullptr, nullptr);
        } catch (...) {
            stmt->release();
            throw;
        }
        stmt->free(&st);
        return ddl;
    });
}

qint64 generatorValue(Transaction &tr, const QString &generator, int step)
{
    Query q(tr, QStringLiteral("select GEN_ID(%1, %2) from RDB$DATABASE").arg(generator).arg(step));
    if (!q.first())
        throw DbError(QStringLiteral("Il generatore %1 non ha risposto.").arg(generator));
    return q.value(0).toLongLong();
}

} // namespace tavo::db
