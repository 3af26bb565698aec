// bench_ricercaannunci: the listing search on a large agency, as a user meets it. Prints, on one line each:
// the opening from the main window's menu (the match table filled, the filter lists read, the grid shown), the
// filters typed into the panel, a sort, and the reload of the filter lists.
//
//   bench_ricercaannunci PERCORSO
//
// PERCORSO is an agency database, for instance one made by bench_incroci_genera. It runs offscreen unless a
// display is chosen with QT_QPA_PLATFORM; the per-user settings go to a temporary file.

#include "app/core/impostazioni.h"
#include "app/frmMain.h"
#include "data/dmQueryComposte.h"
#include "listings/datiricercaannunci.h"
#include "listings/frmRicercaAnnunci.h"
#include "widgets/tavoapplication.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <functional>

namespace {

long piccoMiB()
{
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return uso.ru_maxrss / 1024;
}

// Lets the windows process what the last step posted (repaints, deferred layouts), as the event loop would.
void attendiInterfaccia()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("TZ"))
        qputenv("TZ", ":/etc/localtime");
    tavo::TavoApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || !QFile::exists(args.at(0))) {
        std::fprintf(stderr, "uso: bench_ricercaannunci PERCORSO\n");
        return 1;
    }
    QTemporaryDir cartella;
    {
        QFile setup(cartella.filePath(QStringLiteral("Setup.ini")));
        if (!setup.open(QIODevice::WriteOnly))
            return 1;
        setup.write("[DB]\nStringaDiConnessione=" + QFile::encodeName(args.at(0)) + "\n");
    }
    tavo::impostaFileImpostazioni(cartella.filePath(QStringLiteral("impostazioni.ini")));
    qputenv("TAVO_CARTELLA_APPLICAZIONE", QFile::encodeName(cartella.filePath(QStringLiteral("dati"))));

    TFormMain main(cartella.path());
    if (!main.Avvia())
        return 1;
    main.resize(1280, 900);
    main.show();
    attendiInterfaccia();

    QElapsedTimer t;
    t.start();
    main.findChild<QAction *>(QStringLiteral("MenuRicercaAnnunci"))->trigger();
    attendiInterfaccia();
    const qint64 apertura = t.elapsed();
    auto *f = qobject_cast<TFormRicercaAnnunci *>(main.finestraAperta(QStringLiteral("TFormRicercaAnnunci")));
    tavo::TMemTable *tabella = main.DataModuleQueryComposte()->MemTableAnnunci();
    if (!f || !tabella->isOpen())
        return 1;
    std::printf(
        "apertura: %d annunci (%d attivi mostrati) in %lld ms; elenchi: %d comuni, %d clienti, %d riferimenti\n",
        tabella->totalRowCount(), tabella->recordCount(), apertura, f->EditComune->count(), f->EditCliente->count(),
        f->EditRiferimento->count());

    auto misura = [&](const char *nome, const std::function<void()> &passo) {
        t.restart();
        passo();
        attendiInterfaccia();
        std::printf("%-34s %7lld ms, %6d righe\n", nome, t.elapsed(), tabella->recordCount());
    };
    misura("filtro comune (primo dell'elenco)", [&] { f->EditComune->setCurrentIndex(0); });
    misura("+ prezzo minimo 100.000 (Invio)", [&] {
        f->EditPrezzoMin->setValue(100000);
        f->ButtonFiltraClick();
    });
    misura("+ tipologia annuncio VENDITA", [&] { f->EditTipAnnuncio->setCurrentIndex(0); });
    misura("Annulla i Parametri di Filtro", [&] { f->AnnullaParametriFiltro(); });
    misura("stato Tutti (nessun filtro)", [&] { f->ComboBoxStatoAnnunci->setCurrentIndex(2); });
    misura("priorità Pubblicabili", [&] { f->ComboBoxPriorita->setCurrentIndex(6); });
    misura("ordinamento su Riferimento", [&] { f->DBGridAnnunciTitleClick(QStringLiteral("RIFERIMENTO")); });
    misura("riferimento digitato (una riga)",
           [&] { f->EditRiferimento->setEditText(f->EditRiferimento->itemText(f->EditRiferimento->count() / 2)); });
    misura("AggiornaElenchi", [&] { f->AggiornaElenchi(); });
    {
        // The share of the database in the lists' reload.
        tavo::db::Transaction tr(main.database());
        t.restart();
        const tavo::ElenchiFiltroAnnunci elenchi = tavo::caricaElenchiFiltroAnnunci(tr);
        std::printf("%-34s %7lld ms\n", "  di cui letture degli elenchi", t.elapsed());
    }
    {
        // The share of the matching engine in the opening: the match table filled again on its own.
        tabella->close();
        t.restart();
        tabella->open();
        std::printf("%-34s %7lld ms\n", "MemTableAnnunci riempita da sola", t.elapsed());
    }
    std::printf("memoria di picco %ld MiB\n", piccoMiB());

    main.MenuChiudiTuttoClick();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
