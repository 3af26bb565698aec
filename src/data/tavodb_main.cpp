// tavo-db: creates agency databases.
//
//   tavo-db create PATH [--demo] [--user NAME] [--password TEXT]
//
// PATH is a local file (embedded engine) or "server:path". --demo adds the sample agency, whose
// photos go into the folder "Foto" beside a local database file.

#include "data/database.h"
#include "data/demo.h"
#include "data/schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

namespace {
int uso()
{
    std::fprintf(stderr, "uso: tavo-db create PERCORSO [--demo] [--user NOME] [--password TESTO]\n");
    return 2;
}
} // namespace

int main(int argc, char *argv[])
{
    // The demo photos are drawn with QtGui: no display is needed.
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2 || args.at(0) != QLatin1String("create"))
        return uso();
    const QString path = args.at(1);
    bool demo = false;
    QString user = QStringLiteral("SYSDBA");
    QString password = QStringLiteral("masterkey");
    for (int i = 2; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--demo"))
            demo = true;
        else if (args.at(i) == QLatin1String("--user") && i + 1 < args.size())
            user = args.at(++i);
        else if (args.at(i) == QLatin1String("--password") && i + 1 < args.size())
            password = args.at(++i);
        else
            return uso();
    }
    if (QFileInfo::exists(path)) {
        std::fprintf(stderr, "tavo-db: il file %s esiste già: non lo sovrascrivo.\n", qPrintable(path));
        return 1;
    }
    try {
        QElapsedTimer t;
        t.start();
        tavo::db::createAgencyDatabase(path, user, password);
        std::printf("Database creato: %s (%lld ms)\n", qPrintable(path), t.elapsed());
        if (demo) {
            tavo::db::Database db;
            db.open(path, user, password);
            const QFileInfo file(path);
            const QString foto = file.exists() ? file.absolutePath() + QStringLiteral("/Foto") : QString();
            tavo::db::addDemoAgency(db, foto);
            std::printf("Agenzia dimostrativa aggiunta.\n");
        }
    } catch (const tavo::db::DbError &e) {
        std::fprintf(stderr, "tavo-db: %s\n", e.message().toLocal8Bit().constData());
        return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tavo-db: %s\n", e.what());
        return 1;
    }
    return 0;
}
