#include "data/scriptrunner.h"

#include <QRegularExpression>

namespace tavo::db {

ScriptRunner::ScriptRunner(Transaction &tr) : m_tr(tr) {}

namespace {

// Classifies a complete statement: the interactive tool's own directives, or SQL.
bool classify(ScriptStatement &s, QString *error)
{
    static const QRegularExpression setTerm(QStringLiteral("^SET\\s+TERM\\s+(\\S+)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression commit(QStringLiteral("^COMMIT(\\s+WORK)?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression rollback(QStringLiteral("^ROLLBACK(\\s+WORK)?$"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression autoddl(QStringLiteral("^SET\\s+AUTODDL(\\s+(\\S+))?$"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression dialect(QStringLiteral("^SET\\s+SQL\\s+DIALECT\\s+(\\S+)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression names(QStringLiteral("^SET\\s+NAMES(\\s+(\\S+))?$"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression createDb(QStringLiteral("^CREATE\\s+(DATABASE|SCHEMA)\\s"),
                                             QRegularExpression::CaseInsensitiveOption);

    QRegularExpressionMatch m;
    if ((m = setTerm.match(s.text)).hasMatch()) {
        s.kind = ScriptStatement::SetTerm;
        s.argument = m.captured(1);
    } else if (commit.match(s.text).hasMatch()) {
        s.kind = ScriptStatement::Commit;
    } else if (rollback.match(s.text).hasMatch()) {
        s.kind = ScriptStatement::Rollback;
    } else if ((m = autoddl.match(s.text)).hasMatch()) {
        s.kind = ScriptStatement::SetAutoDdl;
        s.argument = m.captured(2).toUpper();
        if (s.argument.isEmpty())
            s.argument = QStringLiteral("ON"); // alone, the directive switches it on
        if (s.argument != QLatin1String("ON") && s.argument != QLatin1String("OFF")) {
            *error = QStringLiteral("Riga %1: SET AUTODDL accetta solo ON oppure OFF.").arg(s.line);
            return false;
        }
    } else if ((m = dialect.match(s.text)).hasMatch()) {
        s.kind = ScriptStatement::SetDialect;
        s.argument = m.captured(1);
        if (s.argument != QLatin1String("1") && s.argument != QLatin1String("2") && s.argument != QLatin1String("3")) {
            *error = QStringLiteral("Riga %1: dialetto SQL non valido (%2).").arg(s.line).arg(s.argument);
            return false;
        }
    } else if ((m = names.match(s.text)).hasMatch()) {
        s.kind = ScriptStatement::SetNames;
        s.argument = m.captured(2).toUpper();
    } else if (createDb.match(s.text).hasMatch()) {
        s.kind = ScriptStatement::CreateDatabase;
    } else {
        s.kind = ScriptStatement::Sql;
    }
    return true;
}

} // namespace

bool ScriptRunner::parse(const QString &script, QVector<ScriptStatement> *statements, QString *error)
{
    QVector<ScriptStatement> out;
    QString term = QStringLiteral(";");
    QString current;
    int startLine = 0;
    int line = 1;
    const int n = script.size();
    int i = 0;

    auto note = [&](QChar c) {
        if (startLine == 0 && !c.isSpace())
            startLine = line;
        current += c;
    };

    while (i < n) {
        const QChar c = script.at(i);
        if (c == QLatin1Char('/') && i + 1 < n && script.at(i + 1) == QLatin1Char('*')) {
            const int end = script.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0) {
                *error = QStringLiteral("Riga %1: commento non chiuso.").arg(line);
                return false;
            }
            line += script.mid(i, end + 2 - i).count(QLatin1Char('\n'));
            current += QLatin1Char(' ');
            i = end + 2;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && script.at(i + 1) == QLatin1Char('-')) {
            int end = script.indexOf(QLatin1Char('\n'), i);
            if (end < 0)
                end = n;
            i = end; // the line break itself is taken below
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const int open = line;
            note(c);
            int j = i + 1;
            bool closed = false;
            while (j < n) {
                const QChar d = script.at(j);
                if (d == QLatin1Char('\n'))
                    ++line;
                current += d;
                if (d == c) {
                    if (j + 1 < n && script.at(j + 1) == c) {
                        current += c;
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                ++j;
            }
            if (!closed) {
                *error = QStringLiteral("Riga %1: stringa non chiusa.").arg(open);
                return false;
            }
            i = j + 1;
            continue;
        }
        if (QStringView(script).mid(i, term.size()).compare(term, Qt::CaseInsensitive) == 0) {
            ScriptStatement s;
            s.text = current.trimmed();
            s.line = startLine;
            current.clear();
            startLine = 0;
            i += term.size();
            if (s.text.isEmpty())
                continue; // an empty statement is harmless, as in the interactive tool
            if (!classify(s, error))
                return false;
            if (s.kind == ScriptStatement::SetTerm)
                term = s.argument;
            out.append(s);
            continue;
        }
        if (c == QLatin1Char('\n'))
            ++line;
        note(c);
        ++i;
    }
    if (!current.trimmed().isEmpty()) {
        *error = QStringLiteral("Riga %1: istruzione non terminata (manca \"%2\").").arg(startLine).arg(term);
        return false;
    }
    *statements = out;
    return true;
}

bool ScriptRunner::run(const QString &script, Mode mode)
{
    m_errors.clear();
    m_checkError.clear();
    QVector<ScriptStatement> statements;
    if (!parse(script, &statements, &m_checkError))
        return false;

    bool autoDdl = true;
    int dialect = 1;
    for (const ScriptStatement &s : statements) {
        switch (s.kind) {
        case ScriptStatement::SetTerm:
        case ScriptStatement::SetNames: // takes effect at the next connection in the interactive tool
            break;
        case ScriptStatement::SetAutoDdl:
            autoDdl = s.argument == QLatin1String("ON");
            break;
        case ScriptStatement::SetDialect:
            dialect = s.argument.toInt();
            break;
        case ScriptStatement::Commit:
            m_tr.commitRetaining();
            break;
        case ScriptStatement::Rollback:
            m_tr.rollbackRetaining();
            break;
        case ScriptStatement::CreateDatabase: {
            const QString message = QStringLiteral("riga %1: CREATE DATABASE non si esegue su un database aperto").arg(s.line);
            if (mode == Strict)
                throw DbError(message);
            m_errors << message;
            break;
        }
        case ScriptStatement::Sql:
            try {
                const bool ddl = executeImmediate(m_tr, s.text, dialect);
                if (ddl && autoDdl)
                    m_tr.commitRetaining(); // later statements may use what this one defined
            } catch (const DbError &e) {
                const QString message = QStringLiteral("riga %1: %2").arg(s.line).arg(e.message());
                if (mode == Strict)
                    throw DbError(message, e.sqlCode(), e.gdsCode());
                m_errors << message;
            }
            break;
        }
    }
    if (m_tr.isActive())
        m_tr.commitRetaining();
    return true;
}

} // namespace tavo::db
