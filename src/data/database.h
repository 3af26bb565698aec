#pragma once
// Access to the agency database over the Firebird client library (object API).
//
//   tavo::db::Database    one attachment (a local file through the embedded engine,
//                         or "server:path" through a Firebird server)
//   tavo::db::Transaction read_committed, rec_version, nowait; commit, commit retaining, rollback
//   tavo::db::Query       SQL held as lines, parameters by ":NAME", values by column name
//
// Every failure throws tavo::db::DbError carrying the server's message text.
// Nothing here opens a dialog.

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>
#include <stdexcept>

namespace Firebird {
class IAttachment;
class IStatement;
class IResultSet;
class ITransaction;
class IMessageMetadata;
} // namespace Firebird

namespace tavo::db {

class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &message, int sqlCode = 0, int gdsCode = 0);
    QString message() const { return m_message; }
    int sqlCode() const { return m_sqlCode; }
    // First isc error code of the status vector (0 when not from the server).
    int gdsCode() const { return m_gdsCode; }

private:
    QString m_message;
    int m_sqlCode;
    int m_gdsCode;
};

// Prepares the client library before its first use: every program of the project runs the
// embedded engine in SuperClassic mode, so that several processes can open one database file.
// Safe to call many times; Database calls it itself.
void prepareEngine();

class Database
{
public:
    Database();
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    // The connection string is passed to the client library unchanged: a local path opens the
    // file through the embedded engine, "host:path" or "host/port:path" goes to a server.
    void open(const QString &connection, const QString &user, const QString &password);
    // Creates a new SQL dialect 1 database with default character set WIN1252 and keeps it open.
    void create(const QString &connection, const QString &user, const QString &password);
    // Opens another attachment to the database that `other` is attached to, with the same credentials: work
    // running on another thread needs its own attachment.
    void openLike(const Database &other);
    void close();
    bool isOpen() const;
    QString connectionString() const { return m_connection; }

    Firebird::IAttachment *attachment() const { return m_attachment; }

private:
    Firebird::IAttachment *m_attachment = nullptr;
    QString m_connection;
    QString m_user;
    QString m_password;
};

class Transaction
{
public:
    explicit Transaction(Database &db);
    ~Transaction(); // rolls back when still active
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void start(); // does nothing when already active
    void commit();
    void commitRetaining(); // durable, and the transaction stays usable
    void rollback();
    void rollbackRetaining();
    bool isActive() const { return m_tra != nullptr; }

    Database &database() const { return m_db; }
    // Starts the transaction when needed and returns the handle.
    Firebird::ITransaction *handle();

private:
    Database &m_db;
    Firebird::ITransaction *m_tra = nullptr;
};

// A column of a result set.
struct Column
{
    QString name;      // alias, upper case
    int sqlType = 0;   // SQL_* without the null bit
    int subType = 0;
    int scale = 0;
    int length = 0;    // bytes in the message
    int charLength = 0;
    int charSet = 0;
    int offset = 0;
    int nullOffset = 0;
};

class Query
{
public:
    explicit Query(Transaction &tr);
    Query(Transaction &tr, const QString &sql);
    ~Query();
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;

    // The statement as a list of lines (joined with "\n" when prepared). Changing it unprepares.
    QStringList &sql();
    void setSql(const QString &sql);
    void setSql(const QStringList &lines);

    // ":NAME" parameters. A name may occur several times; inside string literals and comments it
    // is not a parameter. A null QVariant writes NULL. Values persist across executions.
    void setParam(const QString &name, const QVariant &value);
    QStringList paramNames();

    void prepare();
    // Runs the statement. For a select, the cursor is opened and next() fetches rows.
    void exec();
    bool next();
    void close(); // closes the cursor, keeps the statement prepared
    bool isOpen() const { return m_cursor != nullptr; }

    // Convenience: exec() then next(); false when no row.
    bool first();

    int columnCount() const { return m_columns.size(); }
    const QVector<Column> &columns() const { return m_columns; }
    int columnIndex(const QString &name) const; // -1 when absent
    bool isNull(int i) const;
    bool isNull(const QString &name) const;
    // integer/smallint -> int (bigint -> qint64), float/double -> double, text/memo -> QString,
    // timestamp/date -> QDateTime, time -> QTime; NULL -> invalid QVariant.
    QVariant value(int i) const;
    QVariant value(const QString &name) const;
    QString text(const QString &name) const { return value(name).toString(); }
    int integer(const QString &name) const { return value(name).toInt(); }
    double number(const QString &name) const { return value(name).toDouble(); }

    int rowsAffected() const { return m_rowsAffected; }

    // Rewrites ":NAME" parameters as "?" and lists the names in order. Exposed for tests.
    static QString parseParameters(const QString &sql, QStringList *names);

private:
    void unprepare();
    void buildInput(QByteArray &buffer, Firebird::IMessageMetadata **meta);
    QByteArray blobBytes(const unsigned char *id) const;
    QString text(int column, const char *bytes, int length) const;

    Transaction &m_tr;
    QStringList m_lines;
    bool m_dirty = true;
    QStringList m_paramOrder; // one entry per "?", by name
    QHash<QString, QVariant> m_params;
    Firebird::IStatement *m_stmt = nullptr;
    Firebird::IResultSet *m_cursor = nullptr;
    Firebird::IMessageMetadata *m_outMeta = nullptr;
    QVector<Column> m_columns;
    QHash<QString, int> m_columnIndex;
    QByteArray m_outBuffer;
    // Short texts already read, by column: lists repeat the same flags, municipalities, types and clients on many
    // rows, and one shared string each saves an allocation per value.
    mutable QVector<QHash<QByteArray, QString>> m_repeatedTexts;
    int m_rowsAffected = 0;
    bool m_isSelect = false;
};

// Runs one statement as written, with no parameters (":name" stays PSQL's own, as in trigger
// bodies). Returns whether it was a DDL statement.
bool executeImmediate(Transaction &tr, const QString &sql, int dialect = 1);

// Next value of a generator ("select GEN_ID(name, step) from RDB$DATABASE").
qint64 generatorValue(Transaction &tr, const QString &generator, int step = 1);

} // namespace tavo::db
