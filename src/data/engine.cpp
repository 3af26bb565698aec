#include "data/engine.h"

#include "data/database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <unistd.h>

namespace tavo::db {

QString installedFirebirdDir()
{
    const QString override = qEnvironmentVariable("TAVO_FIREBIRD_INSTALL");
    QStringList candidates;
    if (!override.isEmpty())
        candidates << override;
    const QDir usrLib(QStringLiteral("/usr/lib"));
    for (const QString &arch : usrLib.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        candidates << usrLib.filePath(arch + QStringLiteral("/firebird/3.0"));
    candidates << QStringLiteral("/usr/lib/firebird/3.0") << QStringLiteral("/opt/firebird");
    for (const QString &dir : candidates) {
        if (QFileInfo::exists(dir + QStringLiteral("/plugins/libEngine12.so")))
            return dir;
    }
    return {};
}

static void writeIfChanged(const QString &path, const QByteArray &content)
{
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == content)
        return;
    current.close();
    QSaveFile file(path); // written aside and renamed: another process never reads half a file
    if (file.open(QIODevice::WriteOnly)) {
        file.write(content);
        file.commit();
    }
}

QString preparePrivateRoot()
{
    static QString root;
    if (!root.isEmpty())
        return root;

    const QString installed = installedFirebirdDir();
    if (installed.isEmpty())
        throw DbError(QStringLiteral("Firebird 3 non è installato: manca il motore del database (libEngine12.so)."));

    QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (base.isEmpty() || !QFileInfo(base).isWritable())
        base = QDir::tempPath();
    const QString dir = base + QStringLiteral("/tavo-firebird-%1").arg(getuid());
    QDir().mkpath(dir);

    for (const char *entry : {"plugins", "lib", "UDF", "firebird.msg"}) {
        const QString target = installed + QLatin1Char('/') + QLatin1String(entry);
        const QString link = dir + QLatin1Char('/') + QLatin1String(entry);
        if (!QFileInfo::exists(target))
            continue;
        if (QFileInfo(link).symLinkTarget() != QFileInfo(target).absoluteFilePath()) {
            QFile::remove(link);
            QFile::link(target, link);
        }
    }

    // The engine refuses a character set module reached through a symbolic link: the intl
    // folder holds a real copy (a hard link when the file system allows it).
    const QString intl = dir + QStringLiteral("/intl");
    if (QFileInfo(intl).isSymLink())
        QFile::remove(intl);
    QDir().mkpath(intl);
    for (const char *entry : {"libfbintl.so", "fbintl.conf"}) {
        const QString source = installed + QStringLiteral("/intl/") + QLatin1String(entry);
        const QString copy = intl + QLatin1Char('/') + QLatin1String(entry);
        const QFileInfo s(source), c(copy);
        if (c.exists() && c.size() == s.size() && c.lastModified() >= s.lastModified())
            continue;
        QFile::remove(copy);
        const QString part = copy + QStringLiteral(".%1").arg(getpid());
        if (::link(QFile::encodeName(s.canonicalFilePath()).constData(), QFile::encodeName(part).constData()) != 0)
            QFile::copy(source, part);
        QFile::rename(part, copy);
    }

    QByteArray plugins;
    QFile installedPlugins(installed + QStringLiteral("/plugins.conf"));
    if (installedPlugins.open(QIODevice::ReadOnly))
        plugins = installedPlugins.readAll();
    writeIfChanged(dir + QStringLiteral("/plugins.conf"), plugins);
    writeIfChanged(dir + QStringLiteral("/firebird.conf"),
                   "# Written by Tavo: every Tavo program shares database files through the embedded engine.\n"
                   "ServerMode = SuperClassic\n"
                   "# Each attachment has its own page cache here: 16 MiB instead of 2 keep a whole list's pages.\n"
                   "DefaultDbCachePages = 2048\n"
                   "# Sorts of whole lists (distinct, order by) stay in memory instead of going through temporary files.\n"
                   "TempCacheLimit = 64M\n");

    qputenv("FIREBIRD", QFile::encodeName(dir));
    root = dir;
    return root;
}

} // namespace tavo::db
