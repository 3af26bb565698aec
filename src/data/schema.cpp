#include "data/schema.h"

#include "data/database.h"
#include "data/scriptrunner.h"

#include <QFile>

// Resources of a static library are not registered by themselves; once is enough.
static void initScriptResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(dbscripts);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace tavo::db {

namespace {
const char *const scriptNames[] = {"schema.sql", "lookup.sql", "geografia.sql"};
}

QStringList creationScripts()
{
    initScriptResources();
    QStringList scripts;
    for (const char *name : scriptNames) {
        QFile file(QStringLiteral(":/db/") + QLatin1String(name));
        if (!file.open(QIODevice::ReadOnly))
            throw DbError(QStringLiteral("Script di creazione del database mancante: %1").arg(QLatin1String(name)));
        scripts << QString::fromUtf8(file.readAll());
    }
    return scripts;
}

void createAgencyDatabase(const QString &path, const QString &user, const QString &password)
{
    const QStringList scripts = creationScripts();
    bool created = false;
    try {
        Database db;
        db.create(path, user, password);
        created = true;
        for (int i = 0; i < scripts.size(); ++i) {
            Transaction tr(db);
            ScriptRunner runner(tr);
            if (!runner.run(scripts.at(i), ScriptRunner::Strict))
                throw DbError(QStringLiteral("%1: %2").arg(QLatin1String(scriptNames[i]), runner.checkError()));
            if (tr.isActive())
                tr.commit();
        }
        db.close();
    } catch (const DbError &) {
        // A database that lacks part of its content must not be mistaken for a good one.
        if (created)
            QFile::remove(path);
        throw;
    }
}

} // namespace tavo::db
