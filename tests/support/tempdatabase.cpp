#include "tempdatabase.h"

#include "data/schema.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>

namespace tavo::test {

QString TempDatabase::templatePath()
{
    static QString cached;
    if (!cached.isEmpty())
        return cached;
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString &script : db::creationScripts())
        hash.addData(script.toUtf8());
    QString dir = qEnvironmentVariable("TAVO_TEST_DB_DIR");
    if (dir.isEmpty())
        dir = QDir::tempPath() + QStringLiteral("/tavo-test-db");
    QDir().mkpath(dir);
    const QString path = dir + QStringLiteral("/template-") + QString::fromLatin1(hash.result().toHex().left(12)) +
                         QStringLiteral(".fdb");
    // Test binaries run in parallel: one of them builds the template, the others wait.
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    lock.lock();
    if (!QFile::exists(path)) {
        const QString building = path + QStringLiteral(".new");
        QFile::remove(building);
        db::createAgencyDatabase(building, user(), password());
        QFile::rename(building, path);
    }
    cached = path;
    return cached;
}

TempDatabase::TempDatabase()
{
    m_path = m_dir.filePath(QStringLiteral("Tavo.fdb"));
    if (!QFile::copy(templatePath(), m_path))
        qFatal("cannot copy the template database");
    QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
    m_db.open(m_path, user(), password());
}

TempDatabase::~TempDatabase()
{
    try {
        m_db.close();
    } catch (...) {
    }
}

void TempDatabase::exec(const QString &sql)
{
    db::Transaction tr(m_db);
    db::Query q(tr, sql);
    q.exec();
    tr.commit();
}

QVariant TempDatabase::scalar(const QString &sql)
{
    db::Transaction tr(m_db);
    db::Query q(tr, sql);
    QVariant v;
    if (q.first())
        v = q.value(0);
    q.close();
    tr.commit();
    return v;
}

} // namespace tavo::test
