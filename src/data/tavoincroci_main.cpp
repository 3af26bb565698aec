// tavo-incroci: computes the match tables of an agency database and writes them as CSV on standard output.
//
//   tavo-incroci [--per-riga] [--user NOME] [--password TESTO] [DATABASE]
//
// Both tables are filled with their default slots (all requests, all listings). Without DATABASE the connection
// string, user and password of Setup.ini beside the program are used, as the program does. --per-riga computes
// with the per-row queries instead of the in-memory engine (the output must be the same).

#include "app/core/configurazione.h"
#include "data/database.h"
#include "data/dmQueryComposte.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace {

int errore(const QString &testo)
{
    std::fprintf(stderr, "tavo-incroci: %s\n", testo.toLocal8Bit().constData());
    return 1;
}

int uso()
{
    std::fprintf(stderr, "uso: tavo-incroci [--per-riga] [--user NOME] [--password TESTO] [DATABASE]\n");
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // Local times without glibc looking at /etc/localtime again at every conversion (one per date read).
    if (qEnvironmentVariableIsEmpty("TZ"))
        qputenv("TZ", ":/etc/localtime");
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    bool perRiga = false;
    QString database, utente, password;
    bool conUtente = false, conPassword = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--per-riga")) {
            perRiga = true;
        } else if (a == QLatin1String("--user") && i + 1 < args.size()) {
            utente = args.at(++i);
            conUtente = true;
        } else if (a == QLatin1String("--password") && i + 1 < args.size()) {
            password = args.at(++i);
            conPassword = true;
        } else if (a.startsWith(QLatin1String("--")) || !database.isEmpty()) {
            return uso();
        } else {
            database = a;
        }
    }
    try {
        if (database.isEmpty() || !conUtente || !conPassword) {
            const tavo::Configurazione config = tavo::leggiConfigurazione(QCoreApplication::applicationDirPath());
            if (database.isEmpty())
                database = config.stringaDiConnessione;
            if (!conUtente)
                utente = config.nomeUtente;
            if (!conPassword)
                password = config.password;
        }
        tavo::db::Database db;
        try {
            db.open(database, utente, password);
        } catch (const tavo::db::DbError &e) {
            return errore(QStringLiteral("impossibile aprire il database %1: %2").arg(database, e.message()));
        }
        tavo::TDataModuleQueryComposte modulo(db);
        modulo.setMetodo(perRiga ? tavo::MetodoIncroci::PerRiga : tavo::MetodoIncroci::Massivo);
        modulo.MemTableRichieste()->open();
        modulo.MemTableAnnunci()->open();
        QTextStream out(stdout);
        tavo::scriviCsvIncroci(*modulo.MemTableRichieste(), *modulo.MemTableAnnunci(), out);
        out.flush();
        if (out.status() != QTextStream::Ok)
            return errore(QStringLiteral("impossibile scrivere il risultato."));
    } catch (const tavo::db::DbError &e) {
        return errore(QStringLiteral("errore del database: %1").arg(e.message()));
    } catch (const tavo::MemTableError &e) {
        return errore(e.message());
    } catch (const std::exception &e) {
        return errore(QString::fromLocal8Bit(e.what()));
    }
    return 0;
}
