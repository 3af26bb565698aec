// bench_incroci: times the filling of the two match tables on an agency database, with one method, and prints
// the figures on one line with the process's peak memory.
//
//   bench_incroci PERCORSO [--per-riga] [--dettaglio]
//
// --dettaglio times the parts of the in-memory engine instead: reading the two source queries, the set-oriented
// reads, building the indexes and searching every row in both directions.

#include "data/database.h"
#include "data/dmQueryComposte.h"
#include "data/incrocidb.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <sys/resource.h>

#include <cstdio>

using namespace tavo;
using namespace tavo::incroci;

namespace {

long piccoMiB()
{
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return uso.ru_maxrss / 1024;
}

void dettaglio(db::Database &database)
{
    TDataModuleQueryComposte modulo(database);
    QElapsedTimer t;
    t.start();
    modulo.IBDataSetRichieste().open();
    modulo.IBDataSetRichieste().close();
    const qint64 sorgenteRichieste = t.restart();
    modulo.IBDataSetAnnunci().open();
    modulo.IBDataSetAnnunci().close();
    const qint64 sorgenteAnnunci = t.restart();

    db::Transaction tr(database);
    const Collegamenti collegamenti = caricaCollegamenti(tr);
    const qint64 tCollegamenti = t.restart();
    const std::vector<ValoriRichiesta> richieste = caricaRichieste(tr, collegamenti);
    const qint64 tRichieste = t.restart();
    const std::vector<ValoriAnnuncio> annunci = caricaAnnunci(tr);
    const qint64 tAnnunci = t.restart();
    QHash<int, Invii> inviiR, inviiA;
    caricaInvii(tr, &inviiR, &inviiA);
    const qint64 tInvii = t.restart();
    const NomiCollegamenti nomi = caricaNomi(tr);
    const qint64 tNomi = t.restart();
    tr.commit();
    const IndiceAnnunci indiceAnnunci(annunci);
    const IndiceRichieste indiceRichieste(richieste);
    const qint64 tIndici = t.restart();
    qint64 incroci = 0;
    for (const ValoriRichiesta &r : richieste)
        incroci += indiceAnnunci.cerca(r).size();
    const qint64 tCercaRichieste = t.restart();
    for (const ValoriAnnuncio &a : annunci)
        incroci += indiceRichieste.cerca(a).size();
    const qint64 tCercaAnnunci = t.restart();
    std::printf("query sorgenti: richieste %lld ms, annunci %lld ms; letture: collegamenti %lld ms, richieste %lld ms, "
                "annunci %lld ms, invii %lld ms, nomi %lld ms; indici %lld ms; ricerca: richieste->annunci %lld ms, "
                "annunci->richieste %lld ms; %lld incroci\n",
                sorgenteRichieste, sorgenteAnnunci, tCollegamenti, tRichieste, tAnnunci, tInvii, tNomi, tIndici,
                tCercaRichieste, tCercaAnnunci, incroci);
}

} // namespace

int main(int argc, char *argv[])
{
    // As tavo-incroci: local times without glibc looking at /etc/localtime at every conversion.
    if (qEnvironmentVariableIsEmpty("TZ"))
        qputenv("TZ", ":/etc/localtime");
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.at(0).startsWith(QLatin1String("--"))) {
        std::fprintf(stderr, "uso: bench_incroci PERCORSO [--per-riga] [--dettaglio]\n");
        return 1;
    }
    const bool perRiga = args.contains(QStringLiteral("--per-riga"));
    try {
        db::Database database;
        database.open(args.at(0), QStringLiteral("SYSDBA"), QStringLiteral("masterkey"));
        if (args.contains(QStringLiteral("--dettaglio"))) {
            dettaglio(database);
            return 0;
        }
        TDataModuleQueryComposte modulo(database);
        modulo.setMetodo(perRiga ? MetodoIncroci::PerRiga : MetodoIncroci::Massivo);
        QElapsedTimer t;
        t.start();
        modulo.MemTableRichieste()->open();
        const qint64 tRichieste = t.restart();
        modulo.MemTableAnnunci()->open();
        const qint64 tAnnunci = t.elapsed();
        std::printf("%-8s richieste %6d in %8lld ms, annunci %6d in %8lld ms, totale %8lld ms, memoria di picco %ld MiB\n",
                    perRiga ? "per riga" : "massivo", modulo.MemTableRichieste()->recordCount(), tRichieste,
                    modulo.MemTableAnnunci()->recordCount(), tAnnunci, tRichieste + tAnnunci, piccoMiB());
    } catch (const db::DbError &e) {
        std::fprintf(stderr, "bench_incroci: %s\n", e.message().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
