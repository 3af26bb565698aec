#pragma once
// Runs SQL scripts written for the interactive SQL tool: statements end with ";" or with the
// terminator set by SET TERM, /* */ comments are skipped, and COMMIT, ROLLBACK, SET AUTODDL,
// SET SQL DIALECT and SET NAMES act as they do there. The whole script is checked before
// anything runs. Used to create databases and to apply the numbered update scripts.

#include "data/database.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace tavo::db {

struct ScriptStatement
{
    enum Kind { Sql, Commit, Rollback, SetAutoDdl, SetDialect, SetNames, SetTerm, CreateDatabase };
    Kind kind = Sql;
    QString text;  // the statement without its terminator
    int line = 0;  // first line of the statement in the script (from 1)
    QString argument; // ON/OFF, the dialect, the character set, the new terminator
};

class ScriptRunner
{
public:
    enum Mode {
        Strict, // the first failing statement stops the run with a DbError naming its line
        Update  // a failing statement is skipped and noted in errors()
    };

    explicit ScriptRunner(Transaction &tr);

    // Splits a script into statements. Returns false, with a message in *error (Italian, with
    // the line), when the script does not pass the check: an unterminated statement, comment or
    // string literal, or a directive with a bad argument.
    static bool parse(const QString &script, QVector<ScriptStatement> *statements, QString *error);

    // Checks and runs the script. Returns false without running anything when the check fails.
    // Afterwards the transaction, when still active, is committed keeping its context.
    bool run(const QString &script, Mode mode);

    QString checkError() const { return m_checkError; }
    QStringList errors() const { return m_errors; } // "riga N: server text", Update mode

private:
    Transaction &m_tr;
    QString m_checkError;
    QStringList m_errors;
};

} // namespace tavo::db
