#pragma once
// The private Firebird root every program of the project runs the embedded engine from.
//
// In its default mode the embedded engine opens a database file for one process only: a second
// program on the same file fails with "Database already opened with engine instance,
// incompatible with current". With ServerMode = SuperClassic several processes share the file.
// The client library reads its configuration from the folder named by the FIREBIRD variable,
// so we keep a small folder with our firebird.conf beside links to the installed engine.

#include <QString>

namespace tavo::db {

// Folder of the installed Firebird 3 (plugins, intl, firebird.msg); empty when not found.
QString installedFirebirdDir();

// Creates (or refreshes) the private root and sets FIREBIRD before the client library's first
// call. Returns the root folder. Throws DbError when no Firebird installation is found.
QString preparePrivateRoot();

} // namespace tavo::db
