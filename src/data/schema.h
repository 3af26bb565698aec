#pragma once
// The scripts that create an agency database, and the creation itself.
//
// The scripts live in db/ (schema.sql, lookup.sql, geografia.sql) and are built into the program
// as Qt resources (":/db/..."), so every program and test creates the same database.

#include <QString>
#include <QStringList>

namespace tavo::db {

// The creation scripts (schema, lookup content, geography), as text, in the order to run them.
QStringList creationScripts();

// Creates a new database at path (SQL dialect 1, WIN1252) and runs every creation script in
// strict mode, committing after each. Throws DbError on any failure; a half-built file is removed.
void createAgencyDatabase(const QString &path, const QString &user, const QString &password);

} // namespace tavo::db
