#pragma once
// A fresh agency database for one test, in a temporary folder.
//
// The first use in a test binary creates a template with the real creation scripts (cached in
// TAVO_TEST_DB_DIR, keyed by the scripts' content) and every TempDatabase is a copy of it.

#include "data/database.h"

#include <QTemporaryDir>

#include <memory>

namespace tavo::test {

class TempDatabase
{
public:
    TempDatabase(); // copies the template and opens it
    ~TempDatabase();

    QString path() const { return m_path; }
    QString folder() const { return m_dir.path(); }
    db::Database &db() { return m_db; }

    // Runs statements on a transaction of its own and commits (handy for fixtures).
    void exec(const QString &sql);
    // First column of the first row of a query, on a fresh transaction.
    QVariant scalar(const QString &sql);

    static QString user() { return QStringLiteral("SYSDBA"); }
    static QString password() { return QStringLiteral("masterkey"); }
    // Path of the cached template (created on first call).
    static QString templatePath();

private:
    QTemporaryDir m_dir;
    QString m_path;
    db::Database m_db;
};

} // namespace tavo::test
