// The listing search driven offscreen as a user would: the main window started on a test database, the screen
// opened from its menu, the filter panel typed into, the commands run through their buttons and menu entries, the
// results read from the grid and the database. The request search is the real one; screens not yet part of the
// program are stood in for by small doubles registered under their class names.

#include "fixtureannunci.h"
#include "scripteduiservice.h"
#include "tempdatabase.h"

#include "app/core/impostazioni.h"
#include "app/frmMain.h"
#include "clients/frmInsVarClienti.h"
#include "data/dmQueryComposte.h"
#include "listings/frmRicercaAnnunci.h"
#include "listings/registroschermate.h"
#include "requests/frmRicercaRichieste.h"
#include "widgets/searchgrid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using tavo::ParametriFiltroAnnunci;
using tavo::UiService;
using tavo::test::ScriptedUiService;
using tavo::test::TempDatabase;
namespace db = tavo::db;
namespace annunci = tavo::test::annunci;

namespace {

// The listing editor: the two operations the search calls.
class TEditorAnnunciFinto : public QWidget
{
    Q_OBJECT
public:
    TEditorAnnunciFinto() { setObjectName(QStringLiteral("FormInsVarAnnunci")); }
    Q_INVOKABLE void CaricaAnnuncio(int id) { chiamate << QStringLiteral("CaricaAnnuncio %1").arg(id); }
    Q_INVOKABLE void DuplicaAnnuncio(int id) { chiamate << QStringLiteral("DuplicaAnnuncio %1").arg(id); }
    static inline QStringList chiamate;
};

// The client search: its lock button.
class TRicercaClientiFinta : public QWidget
{
    Q_OBJECT
public:
    TRicercaClientiFinta()
    {
        SpeedButtonLock = new QToolButton(this);
        SpeedButtonLock->setObjectName(QStringLiteral("SpeedButtonLock"));
        SpeedButtonLock->setCheckable(true);
        SpeedButtonLock->setChecked(true);
        connect(SpeedButtonLock, &QToolButton::toggled, this, [this] { ++scritture; });
    }
    QToolButton *SpeedButtonLock;
    int scritture = 0;
};

// The listing sheets: the kind and the ids passed.
class TSchedeFinte : public QWidget
{
    Q_OBJECT
public:
    TSchedeFinte() { setObjectName(QStringLiteral("FormSelezioneAnnunciPerScheda")); }
    Q_INVOKABLE void ImpostaScheda(int tipo, const QString &ids)
    {
        chiamate << QStringLiteral("%1 %2 %3").arg(windowTitle()).arg(tipo).arg(ids);
    }
    static inline QStringList chiamate;
};

// Registers doubles for one test and removes them at its end.
class Doppi
{
public:
    template <class T> void registra(const QString &classe)
    {
        tavo::registraSchermata(classe, [] { return new T; });
        m_classi << classe;
    }
    ~Doppi()
    {
        for (const QString &c : std::as_const(m_classi))
            tavo::registraSchermata(c, {});
        TEditorAnnunciFinto::chiamate.clear();
        TSchedeFinte::chiamate.clear();
    }

private:
    QStringList m_classi;
};

void elaboraEliminazioni()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The main window on the test database, shown and active; every screen closed before it goes (their
// transactions use its connection).
class Programma
{
public:
    explicit Programma(TempDatabase &d) : main(d.folder()) {}
    ~Programma()
    {
        main.MenuChiudiTuttoClick();
        elaboraEliminazioni();
    }
    bool avvia()
    {
        if (!main.Avvia())
            return false;
        main.show();
        main.activateWindow();
        return QTest::qWaitForWindowExposed(&main);
    }
    TFormRicercaAnnunci *ricerca() const
    {
        return qobject_cast<TFormRicercaAnnunci *>(main.finestraAperta(QStringLiteral("TFormRicercaAnnunci")));
    }
    TFormRicercaAnnunci *menuRicerca()
    {
        main.findChild<QAction *>(QStringLiteral("MenuRicercaAnnunci"))->trigger();
        return ricerca();
    }
    tavo::TMemTable *tabella() const { return main.DataModuleQueryComposte()->MemTableAnnunci(); }
    QStringList &sqlAnnunci() const { return main.DataModuleQueryComposte()->IBDataSetAnnunci().SQL(); }

    TFormMain main;
};

QStringList colonna(const tavo::TSearchGrid *griglia, const QString &nome)
{
    tavo::TMemTableModel *m = griglia->modelloTabella();
    const int s = m->sectionOf(nome);
    QStringList valori;
    for (int r = 0; r < m->rowCount(); ++r)
        valori << m->index(r, s).data().toString();
    return valori;
}

// In the grid's order.
QStringList riferimenti(const TFormRicercaAnnunci *f)
{
    return colonna(f->DBGridAnnunci, QStringLiteral("RIFERIMENTO"));
}

// Sorted: the natural order is the one the database returns the listing query in, which it does not fix.
QStringList righe(const TFormRicercaAnnunci *f)
{
    QStringList r = riferimenti(f);
    r.sort();
    return r;
}

// The visible columns in the order they are shown.
QStringList colonneVisibili(const tavo::TSearchGrid *griglia)
{
    QStringList nomi;
    const QHeaderView *h = griglia->horizontalHeader();
    for (int v = 0; v < h->count(); ++v) {
        const int s = h->logicalIndex(v);
        if (!griglia->isColumnHidden(s))
            nomi << griglia->nomeColonna(s);
    }
    return nomi;
}

bool vaiA(Programma &p, const QString &riferimento)
{
    return p.tabella()->locate(QStringLiteral("RIFERIMENTO"), riferimento);
}

} // namespace

class TestRicercaAnnunci : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_n = 0;

private slots:
    void init()
    {
        // A settings file and a data folder of its own for each test.
        tavo::impostaFileImpostazioni(m_dir.filePath(QStringLiteral("impostazioni%1.ini").arg(++m_n)));
        qputenv("TAVO_CARTELLA_APPLICAZIONE", QFile::encodeName(m_dir.filePath(QStringLiteral("dati"))));
    }

    void menuEToolbarAprono_LaRicercaSugliAnnunciAttivi()
    {
        ScriptedUiService ui;
        TempDatabase d;
        annunci::agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        auto *pulsante = p.main.findChild<QToolButton *>(QStringLiteral("SXSkinButtonAnnunci"));
        QVERIFY(pulsante->isEnabled());
        pulsante->click();
        TFormRicercaAnnunci *f = p.ricerca();
        QVERIFY(f);
        QCOMPARE(f->finestra()->windowTitle(), QStringLiteral("Elenco Annunci"));
        QVERIFY(!f->PanelTop->isHidden());
        QCOMPARE(f->idRichiestaElenco(), 0);
        QCOMPARE(f->ComboBoxStatoAnnunci->currentText(), QStringLiteral("Attivi"));
        QCOMPARE(righe(f), (QStringList{"AQ1", "MI1", "MI2", "TO1"}));
        QCOMPARE(p.tabella()->filter(), QStringLiteral("ELIMINATO='N'"));
        QCOMPARE(f->DBGridAnnunci->voceDefault(), f->MenuVaiAllAnnuncio);

        // The lists: owners only, the one without a name by its e-mail; municipalities and types in use.
        QStringList clienti;
        for (int i = 0; i < f->EditCliente->count(); ++i)
            clienti << f->EditCliente->itemText(i);
        QCOMPARE(clienti, (QStringList{"verdi@mail.it", "BIANCHI", "ROSSI MARIO"}));
        QCOMPARE(f->EditComune->count(), 4);
        QCOMPARE(f->EditComune->itemText(0), QStringLiteral("L'AQUILA"));
        QCOMPARE(f->EditLocalita->count(), 3);
        QCOMPARE(f->EditRiferimento->count(), 5);
        QCOMPARE(f->EditCliente->currentIndex(), -1);

        QCOMPARE(colonneVisibili(f->DBGridAnnunci), TFormRicercaAnnunci::colonneGriglia());
        QCOMPARE(colonneVisibili(f->DBGridEsportazione), TFormRicercaAnnunci::colonneEsportazione());

        // What works now, and what waits for its screen.
        QVERIFY(f->ButtonCliente->isEnabled());
        QVERIFY(f->MenuEliminaAnnuncio->isEnabled());
        QVERIFY(f->ButtonUscita->isEnabled());
        QVERIFY(f->ButtonAnnuncio->isEnabled()); // the listing editor is part of the program
        QVERIFY(f->ButtonNuovoAnnuncio->isEnabled());
        QVERIFY(f->ButtonIncroci->isEnabled()); // the request search is part of the program
        QVERIFY(!f->ButtonInviaEMail->isEnabled());
        QVERIFY(!f->ButtonAppuntamento->isEnabled());
        QVERIFY(f->MenuAnteprimaFoto->isEnabled());
        QVERIFY(f->PopupMenuAnnunci->findChild<QAction *>(QStringLiteral("MenuEsportainHTML"))->isEnabled());
        QVERIFY(!f->PopupMenuAnnunci->findChild<QAction *>(QStringLiteral("MenuEsportainMSExcel"))->isEnabled());

        // Filtered down to nothing, the row commands go off.
        f->EditRiferimento->setEditText(QStringLiteral("RM1"));
        QCOMPARE(riferimenti(f), QStringList());
        QVERIFY(!f->ButtonCliente->isEnabled());
        QVERIFY(!f->MenuEliminaAnnuncio->isEnabled());
        QVERIFY(!f->PopupMenuAnnunci->findChild<QAction *>(QStringLiteral("MenuEsportainHTML"))->isEnabled());
        QVERIFY(f->ButtonUscita->isEnabled());

        // Escape closes it.
        QTest::keyClick(f->DBGridAnnunci, Qt::Key_Escape);
        elaboraEliminazioni();
        QVERIFY(!p.ricerca());
        QVERIFY(ui.senzaRisposta.isEmpty());
    }

    void filtri_data()
    {
        QTest::addColumn<QString>("comune");
        QTest::addColumn<QString>("localita");  // typed
        QTest::addColumn<QString>("prezzoMin"); // typed, then Enter
        QTest::addColumn<QString>("cliente");
        QTest::addColumn<int>("stato");
        QTest::addColumn<int>("priorita");
        QTest::addColumn<QStringList>("attesi");
        QTest::addColumn<QString>("espressione");
        QTest::newRow("L'Aquila") << "L'AQUILA"
                                  << ""
                                  << ""
                                  << "" << 0 << -1 << QStringList{"AQ1"} << "COMUNE='L''AQUILA' and ELIMINATO='N'";
        QTest::newRow("99999,99 cut to 99999")
            << ""
            << ""
            << "99999,99"
            << "" << 0 << -1 << QStringList{"AQ1", "MI1", "MI2"} << "PREZZO>=99999 and ELIMINATO='N'";
        QTest::newRow("Pubblicabili") << ""
                                      << ""
                                      << ""
                                      << "" << 2 << 6 << QStringList{"AQ1", "MI2", "RM1"} << "PRIORITA>0";
        QTest::newRow("Tutti alone: no filter")
            << ""
            << ""
            << ""
            << "" << 2 << -1 << QStringList{"AQ1", "MI1", "MI2", "RM1", "TO1"} << "";
        QTest::newRow("Inattivi") << ""
                                  << ""
                                  << ""
                                  << "" << 1 << -1 << QStringList{"RM1"} << "ELIMINATO='S'";
        QTest::newRow("locality typed in lower case")
            << ""
            << "navigli"
            << ""
            << "" << 0 << -1 << QStringList{"MI1"} << "LOCALITA='NAVIGLI' and ELIMINATO='N'";
        QTest::newRow("client shown by its e-mail")
            << ""
            << ""
            << ""
            << "verdi@mail.it" << 0 << -1 << QStringList{"TO1"} << "ID_CLIENTE=3 and ELIMINATO='N'";
    }
    void filtri()
    {
        QFETCH(QString, comune);
        QFETCH(QString, localita);
        QFETCH(QString, prezzoMin);
        QFETCH(QString, cliente);
        QFETCH(int, stato);
        QFETCH(int, priorita);
        QFETCH(QStringList, attesi);
        QFETCH(QString, espressione);
        ScriptedUiService ui;
        TempDatabase d;
        annunci::agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaAnnunci *f = p.menuRicerca();
        QVERIFY(f);
        if (!comune.isEmpty())
            f->EditComune->setCurrentIndex(f->EditComune->findText(comune));
        if (!cliente.isEmpty())
            f->EditCliente->setCurrentIndex(f->EditCliente->findText(cliente));
        if (!localita.isEmpty())
            QTest::keyClicks(f->EditLocalita, localita);
        if (!prezzoMin.isEmpty()) {
            f->EditPrezzoMin->selectAll();
            QTest::keyClicks(f->EditPrezzoMin, prezzoMin);
            QTest::keyClick(f->EditPrezzoMin, Qt::Key_Return);
        }
        f->ComboBoxStatoAnnunci->setCurrentIndex(stato);
        f->ComboBoxPriorita->setCurrentIndex(priorita);
        QCOMPARE(righe(f), attesi);
        QCOMPARE(p.tabella()->filter(), espressione);
        QCOMPARE(p.tabella()->isFiltered(), !espressione.isEmpty());

        // "Annulla i Parametri di Filtro": everything cleared, active listings again.
        f->MenuAnnullaParametriFiltro->trigger();
        QCOMPARE(righe(f), (QStringList{"AQ1", "MI1", "MI2", "TO1"}));
        QCOMPARE(f->EditLocalita->currentText(), QString());
        QCOMPARE(f->EditPrezzoMin->value(), 0.0);
        QCOMPARE(f->ComboBoxPriorita->currentIndex(), -1);
    }

    void tastoCancSuUnElencoAnnullaLaScelta()
    {
        ScriptedUiService ui;
        TempDatabase d;
        annunci::agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaAnnunci *f = p.menuRicerca();
        f->EditComune->setCurrentIndex(f->EditComune->findText(QStringLiteral("MILANO")));
        QCOMPARE(righe(f), (QStringList{"MI1", "MI2"}));
        QTest::keyClick(f->EditComune, Qt::Key_Delete);
        QCOMPARE(f->EditComune->currentIndex(), -1);
        QCOMPARE(righe(f), (QStringList{"AQ1", "MI1", "MI2", "TO1"}));
    }

    void fileParametri()
    {
        ScriptedUiService ui;
        TempDatabase d;
        annunci::agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaAnnunci *f = p.menuRicerca();
        const QString file = d.folder() + QStringLiteral("/milano.par");

        // Saved with a client and a municipality chosen.
        f->EditCliente->setCurrentIndex(f->EditCliente->findText(QStringLiteral("ROSSI MARIO")));
        f->EditComune->setCurrentIndex(f->EditComune->findText(QStringLiteral("MILANO")));
        QCOMPARE(righe(f), QStringList{"MI1"});
        ui.prossimoFile(file);
        f->MenuSalvaParametriFiltro->trigger();
        QCOMPARE(ui.ultimo().tipo, QStringLiteral("salva"));
        QCOMPARE(ui.ultimo().titolo, QStringLiteral("Elenco Annunci"));
        QCOMPARE(ui.ultimo().pulsanti, QStringList{"par"});
        QVERIFY(ui.ultimo().testo.startsWith(QStringLiteral("File Parametri (*.par)")));
        ParametriFiltroAnnunci salvati;
        QVERIFY(tavo::leggiParametriFiltro(file, salvati));
        QCOMPARE(salvati.cliente, QStringLiteral("ROSSI MARIO"));
        QCOMPARE(salvati.comune, QStringLiteral("MILANO"));

        // The client changes its name: the file names a client that no longer exists. Loading leaves the client
        // unselected and still applies the municipality.
        d.exec(QStringLiteral("update CLIENTI set DESCR='ROSSI MARIO SRL' where ID_CLIENTE=1"));
        f->AggiornaElenchi();
        f->MenuAnnullaParametriFiltro->trigger();
        f->EditCliente->setCurrentIndex(f->EditCliente->findText(QStringLiteral("BIANCHI")));
        ui.prossimoFile(file);
        f->MenuCaricaParametriFiltro->trigger();
        QCOMPARE(f->EditCliente->currentIndex(), -1);
        QCOMPARE(f->EditComune->currentText(), QStringLiteral("MILANO"));
        QCOMPARE(righe(f), (QStringList{"MI1", "MI2"}));
        QCOMPARE(p.tabella()->filter(), QStringLiteral("COMUNE='MILANO' and ELIMINATO='N'"));

        // A cancelled open dialog still filters (here: what the panel shows, the filter having been changed
        // behind its back).
        p.tabella()->setFilter(QString());
        f->MenuCaricaParametriFiltro->trigger();
        QCOMPARE(righe(f), (QStringList{"MI1", "MI2"}));

        // A file that cannot be read: a message, the panel as it was.
        ui.prossimoFile(d.folder() + QStringLiteral("/manca.par"));
        f->MenuCaricaParametriFiltro->trigger();
        QCOMPARE(ui.ultimo().tipo, QStringLiteral("messaggio"));
        QVERIFY(ui.ultimo().testo.startsWith(QStringLiteral("Impossibile leggere il file")));
        QCOMPARE(f->EditComune->currentText(), QStringLiteral("MILANO"));
    }

    void eliminaTogliUnaSolaRigaSenzaRicaricare()
    {
        ScriptedUiService ui;
        TempDatabase d;
        annunci::agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaAnnunci *f = p.menuRicerca();
        // The request table and the request search are open: both go with the deletion.
        tavo::TMemTable *richieste = p.main.DataModuleQueryComposte()->MemTableRichieste();
        richieste->open();
        p.main.ApriFinestra<TFormRicercaRichieste>();
        QVERIFY(vaiA(p, QStringLiteral("MI1")));

        ui.prossimaRisposta(QMessageBox::No);
        f->MenuEliminaAnnuncio->trigger();
        QCOMPARE(ui.ultimo().tipo, QStringLiteral("domanda"));
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Conferma l'eliminazione dell'annuncio corrente?\n\n"
                                                   "ATTENZIONE! L'eliminazione è IRREVERSIBILE!"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Avviso);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")).toInt(), 5);
        QCOMPARE(riferimenti(f).size(), 4);

        QSignalSpy ricaricamenti(p.tabella(), &tavo::TMemTable::tableReset);
        QSignalSpy rimosse(p.tabella(), &tavo::TMemTable::rowRemoved);
        ui.prossimaRisposta(QMessageBox::Yes);
        f->MenuEliminaAnnuncio->trigger();
        QCOMPARE(
            d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI where ID_ANNUNCIO_IMMOBILE=102")).toInt(),
            0);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")).toInt(), 4);
        QCOMPARE(righe(f), (QStringList{"AQ1", "MI2", "TO1"}));
        QCOMPARE(rimosse.size(), 1);
        QCOMPARE(ricaricamenti.size(), 0);
        QCOMPARE(p.tabella()->totalRowCount(), 4);
        QVERIFY(!richieste->isOpen());
        elaboraEliminazioni();
        QVERIFY(!p.main.finestraAperta(QStringLiteral("TFormRicercaRichieste")));
        // The lists no longer offer what only the deleted listing had.
        QCOMPARE(f->EditLocalita->findText(QStringLiteral("NAVIGLI")), -1);
        QCOMPARE(f->EditTipImmobile->findText(QStringLiteral("BILOCALE")), -1);
    }

    void eliminaRifiutataDalDatabaseLasciaLaRiga()
    {
        ScriptedUiService ui;
        TempDatabase d;
        annunci::agenzia(d.db());
        // A rule of the agency's database that refuses the deletion.
        d.exec(QStringLiteral("create exception E_NO 'Annuncio bloccato'"));
        d.exec(QStringLiteral("create trigger BLOCCA for ANNUNCI_IMMOBILI before delete as begin exception E_NO; end"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaAnnunci *f = p.menuRicerca();
        QVERIFY(vaiA(p, QStringLiteral("MI2")));
        ui.prossimaRisposta(QMessageBox::Yes);
        f->MenuEliminaAnnuncio->trigger();
        QCOMPARE(ui.ultimo().tipo, QStringLiteral("messaggio"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Errore);
        QVERIFY(ui.ultimo().testo.contains(QStringLiteral("Annuncio bloccato")));
        QCOMPARE(righe(f), (QStringList{"AQ1", "MI1", "MI2", "TO1"}));
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")).toInt(), 5);
    }

    void elencoCompletoEModalitaElenco()
    {
        ScriptedUiService ui;
        TempDatabase d;
        annunci::agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaAnnunci *f = p.menuRicerca();
        f->EditComune->setCurrentIndex(f->EditComune->findText(QStringLiteral("MILANO")));

        // The request search shows the matches of request 7 as that screen does: slots, closed table, list mode.
        p.tabella()->close();
        p.sqlAnnunci()[tavo::TDataModuleQueryComposte::RigaFiltroAnnunci] =
            QStringLiteral("and ID_ANNUNCIO_IMMOBILE in (103,101)");
        p.sqlAnnunci()[tavo::TDataModuleQueryComposte::RigaOrdineAnnunci] = QStringLiteral("order by PREZZO");
        TFormRicercaAnnunci *elenco = qobject_cast<TFormRicercaAnnunci *>(
            p.main.ApriFinestra(QStringLiteral("TFormRicercaAnnunci"), [] { return new TFormRicercaAnnunci; }));
        QCOMPARE(elenco, f);
        f->MostraElencoIncroci(QStringLiteral("Elenco Annunci incrociati su Richiesta BIANCHI"), 7);
        QVERIFY(f->PanelTop->isHidden());
        QCOMPARE(f->idRichiestaElenco(), 7);
        QCOMPARE(f->finestra()->windowTitle(), QStringLiteral("Elenco Annunci incrociati su Richiesta BIANCHI"));
        QCOMPARE(riferimenti(f), (QStringList{"MI2", "AQ1"})); // by price, no panel filter

        // The menu brings it back to the full list with the panel's filters.
        f = p.menuRicerca();
        QVERIFY(!f->PanelTop->isHidden());
        QCOMPARE(f->idRichiestaElenco(), 0);
        QCOMPARE(f->finestra()->windowTitle(), QStringLiteral("Elenco Annunci"));
        QCOMPARE(p.sqlAnnunci().at(tavo::TDataModuleQueryComposte::RigaFiltroAnnunci), QString());
        QCOMPARE(p.sqlAnnunci().at(tavo::TDataModuleQueryComposte::RigaOrdineAnnunci), QString());
        QCOMPARE(p.tabella()->totalRowCount(), 5);
        QCOMPARE(righe(f), (QStringList{"MI1", "MI2"}));

        // Already in search mode: only brought to the front, nothing recomputed.
        QSignalSpy ricaricamenti(p.tabella(), &tavo::TMemTable::tableReset);
        QCOMPARE(p.menuRicerca(), f);
        QCOMPARE(ricaricamenti.size(), 0);
        QCOMPARE(righe(f), (QStringList{"MI1", "MI2"}));

        // A refresh of one row leaves its slot behind; a reload of list mode puts the caller's slots back.
        p.tabella()->close();
        p.sqlAnnunci()[tavo::TDataModuleQueryComposte::RigaFiltroAnnunci] =
            QStringLiteral("and ID_ANNUNCIO_IMMOBILE in (103,101)");
        p.sqlAnnunci()[tavo::TDataModuleQueryComposte::RigaOrdineAnnunci] = QStringLiteral("order by PREZZO");
        f->MostraElencoIncroci(QStringLiteral("Elenco Annunci incrociati su Richiesta"), 0);
        p.main.DataModuleQueryComposte()->AggiornaAnnuncio(101);
        f->RicaricaElenco(101);
        QCOMPARE(riferimenti(f), (QStringList{"MI2", "AQ1"}));
        QCOMPARE(p.tabella()->value(QStringLiteral("RIFERIMENTO")).toString(), QStringLiteral("AQ1"));
    }

    void lucchettoScriveAutoForm()
    {
        ScriptedUiService ui;
        TempDatabase d;
        annunci::agenzia(d.db());
        {
            Programma p(d);
            QVERIFY(p.avvia());
            TFormRicercaAnnunci *f = p.menuRicerca();
            QVERIFY(!f->SpeedButtonLock->isChecked());
            QCOMPARE(f->SpeedButtonLock->toolTip(), QStringLiteral("Mantieni aperta alla prossima esecuzione"));
            // The client search keeps its own lock down: pressing this one releases it, without its handler.
            auto *clienti = qobject_cast<TRicercaClientiFinta *>(
                p.main.ApriFinestra(QStringLiteral("TFormRicercaClienti"), [] { return new TRicercaClientiFinta; }));
            f->SpeedButtonLock->click();
            QCOMPARE(d.scalar(QStringLiteral("select AUTO_FORM from OPZIONI where ID=0")).toInt(), 1);
            QVERIFY(!clienti->SpeedButtonLock->isChecked());
            QCOMPARE(clienti->scritture, 0);
            f->SpeedButtonLock->click();
            QCOMPARE(d.scalar(QStringLiteral("select AUTO_FORM from OPZIONI where ID=0")).toInt(), 0);
            f->SpeedButtonLock->click();
            QCOMPARE(d.scalar(QStringLiteral("select AUTO_FORM from OPZIONI where ID=0")).toInt(), 1);
        }
        // The next start opens the search by itself, lock down, full list.
        Programma p(d);
        QVERIFY(p.avvia());
        QTRY_VERIFY(p.ricerca());
        TFormRicercaAnnunci *f = p.ricerca();
        QVERIFY(f->SpeedButtonLock->isChecked());
        QVERIFY(!f->PanelTop->isHidden());
        QCOMPARE(righe(f), (QStringList{"AQ1", "MI1", "MI2", "TO1"}));
    }

    void righeInattiveInRosso()
    {
        ScriptedUiService ui;
        TempDatabase d;
        annunci::agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaAnnunci *f = p.menuRicerca();
        f->ComboBoxStatoAnnunci->setCurrentIndex(ParametriFiltroAnnunci::Tutti);
        QVERIFY(vaiA(p, QStringLiteral("AQ1"))); // the highlighted row is another one
        tavo::TSearchGrid *g = f->DBGridAnnunci;
        tavo::TMemTableModel *m = g->modelloTabella();
        const int riga = riferimenti(f).indexOf(QStringLiteral("RM1"));
        const int attiva = riferimenti(f).indexOf(QStringLiteral("MI2"));
        // Red pixels of a cell, brought into view first.
        auto rossi = [&](int r, const QString &nome) {
            const QModelIndex indice = m->index(r, m->sectionOf(nome));
            g->scrollTo(indice);
            const QImage immagine = g->viewport()->grab().toImage();
            const QRect cella = g->visualRect(indice).intersected(immagine.rect());
            int n = 0;
            for (int y = cella.top(); y <= cella.bottom(); ++y)
                for (int x = cella.left(); x <= cella.right(); ++x) {
                    const QColor c = immagine.pixelColor(x, y);
                    n += c.red() > 180 && c.green() < 90 && c.blue() < 90;
                }
            return n;
        };
        QVERIFY(rossi(riga, QStringLiteral("RIFERIMENTO")) > 0);
        QVERIFY(rossi(riga, QStringLiteral("COMUNE")) > 0);
        QCOMPARE(rossi(riga, QStringLiteral("DESCRIZIONE")), 0); // memo columns keep their colour
        QCOMPARE(rossi(attiva, QStringLiteral("RIFERIMENTO")), 0);
    }

    void esportazioneHtml()
    {
        ScriptedUiService ui;
        TempDatabase d;
        annunci::agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        // "Elenco Annunci" of the print menu: the search in full-list mode, the export grid written to a temporary
        // file and opened at once.
        p.main.findChild<QAction *>(QStringLiteral("MenuElencoAnnunci1"))->trigger();
        QVERIFY(p.ricerca());
        QCOMPARE(ui.fileAperti.size(), 1);
        QVERIFY(!p.main.AperturaDiretta);
        QVERIFY(p.main.FileTemporanei.contains(ui.fileAperti.first()));
        QFile file(ui.fileAperti.first());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        QVERIFY(html.contains(QStringLiteral("<title>Tavo - Elenco Annunci</title>")));
        QStringList titoli;
        const QRegularExpression th(QStringLiteral("<th>([^<]*)</th>"));
        for (auto it = th.globalMatch(html); it.hasNext();)
            titoli << it.next().captured(1);
        QCOMPARE(titoli, (QStringList{"Cliente", "Tipol. Immobile", "Tipol. Annuncio", "Comune", "Località",
                                      "Riferimento", "Prezzo", "Note Prezzo", "Super. MQ", "Descrizione",
                                      "Data Inserimento", "Data Ult. Modifica"}));
        // The rows shown (active only), in the grid's order.
        QStringList esportati;
        const QRegularExpression tr(QStringLiteral("<tr>(.*)</tr>"));
        for (auto it = tr.globalMatch(html); it.hasNext();) {
            const QStringList celle = it.next().captured(1).split(QStringLiteral("</td>"));
            if (celle.size() > 6)
                esportati << celle.at(5).mid(4); // "<td>" + RIFERIMENTO
        }
        QCOMPARE(esportati, riferimenti(p.ricerca()));
        QCOMPARE(righe(p.ricerca()), (QStringList{"AQ1", "MI1", "MI2", "TO1"}));
        QVERIFY(html.contains(QStringLiteral("<td>€ 99.999,00</td>")));

        // The menu entry of the grid asks where to save, then offers to open the file.
        TFormRicercaAnnunci *f = p.ricerca();
        const QString salvato = d.folder() + QStringLiteral("/annunci.htm");
        ui.prossimoFile(salvato);
        ui.prossimoPulsante(3); // "Continua"
        f->PopupMenuAnnunci->findChild<QAction *>(QStringLiteral("MenuEsportainHTML"))->trigger();
        QVERIFY(QFile::exists(salvato));
        QVERIFY(ui.ultimo().testo.contains(QStringLiteral("annunci.htm")));
    }

    void ordinamentoSalvatoERiapplicato_data()
    {
        QTest::addColumn<int>("clic");
        QTest::addColumn<QStringList>("ordine");
        QTest::newRow("ascending") << 1 << QStringList{"AQ1", "MI1", "MI2", "TO1"};
        QTest::newRow("descending") << 2 << QStringList{"TO1", "MI2", "MI1", "AQ1"};
    }
    void ordinamentoSalvatoERiapplicato()
    {
        QFETCH(int, clic);
        QFETCH(QStringList, ordine);
        ScriptedUiService ui;
        TempDatabase d;
        annunci::agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaAnnunci *f = p.menuRicerca();
        // Natural order first: by price would put MI1 first.
        f->DBGridAnnunciTitleClick(QStringLiteral("PREZZO"));
        QCOMPARE(riferimenti(f).first(), QStringLiteral("TO1")); // no price first
        f->DBGridAnnunciTitleClick(QStringLiteral("PREZZO"));
        f->DBGridAnnunciTitleClick(QStringLiteral("PREZZO"));
        QVERIFY(!p.tabella()->isSorted());
        for (int i = 0; i < clic; ++i)
            f->DBGridAnnunciTitleClick(QStringLiteral("RIFERIMENTO"));
        QCOMPARE(riferimenti(f), ordine);
        f->finestra()->close();
        elaboraEliminazioni();
        auto s = tavo::impostazioni(QStringLiteral("FormRicercaAnnunci"));
        QCOMPARE(s->value(QStringLiteral("SortedColumn")).toString(), QStringLiteral("RIFERIMENTO"));
        QCOMPARE(s->value(QStringLiteral("SortMarker")).toInt(), clic);
        QVERIFY(s->value(QStringLiteral("Posizione")).toRect().isValid());

        // The table outlives the screen; its order is forgotten here so that only the stored sort can bring it.
        p.tabella()->clearSort();
        f = p.menuRicerca();
        QCOMPARE(riferimenti(f), ordine);
        auto *intestazione = qobject_cast<tavo::TIntestazioneGriglia *>(f->DBGridAnnunci->horizontalHeader());
        QCOMPARE(intestazione->sezioneMarcata(), f->DBGridAnnunci->sezioneColonna(QStringLiteral("RIFERIMENTO")));
    }

    void comandiVersoAltreSchermate()
    {
        ScriptedUiService ui;
        TempDatabase d;
        annunci::agenzia(d.db());
        Doppi doppi;
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaAnnunci *f = p.menuRicerca();
        doppi.registra<TEditorAnnunciFinto>(QStringLiteral("TFormInsVarAnnunci"));
        doppi.registra<TFormRicercaRichieste>(QStringLiteral("TFormRicercaRichieste"));
        doppi.registra<TSchedeFinte>(QStringLiteral("TFormSelezioneAnnunciPerScheda"));
        f->AggiornaPulsanti();
        QVERIFY(f->ButtonAnnuncio->isEnabled());
        QVERIFY(f->ButtonNuovoAnnuncio->isEnabled());
        QVERIFY(f->ButtonIncroci->isEnabled());
        QVERIFY(!f->ButtonInviaEMail->isEnabled()); // its screen is still missing

        // The listing editor: open, a double click (the default entry), new, duplicate.
        QVERIFY(vaiA(p, QStringLiteral("MI2")));
        f->ButtonAnnuncio->click();
        tavo::TMemTableModel *m = f->DBGridAnnunci->modelloTabella();
        const QRect cella = f->DBGridAnnunci->visualRect(m->index(0, m->sectionOf(QStringLiteral("CLIENTE"))));
        QTest::mouseDClick(f->DBGridAnnunci->viewport(), Qt::LeftButton, {}, cella.center());
        f->ButtonNuovoAnnuncio->click();
        QVERIFY(vaiA(p, QStringLiteral("MI1")));
        ui.prossimaRisposta(QMessageBox::Yes);
        f->MenuDuplicaAnnuncio->trigger();
        QCOMPARE(ui.ultimo().testo,
                 QStringLiteral("Conferma la creazione di un nuovo annuncio duplicando l'annuncio corrente?"));
        QCOMPARE(TEditorAnnunciFinto::chiamate,
                 (QStringList{"CaricaAnnuncio 103", "CaricaAnnuncio 101", "CaricaAnnuncio 0", "CaricaAnnuncio 0",
                              "DuplicaAnnuncio 102"}));

        // "Mostra Incroci" on a listing without matches, then on MI2 (matched by request 7).
        QVERIFY(vaiA(p, QStringLiteral("AQ1")));
        f->ButtonIncroci->click();
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Nessuna richiesta si incrocia con l'annuncio corrente"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Errore);
        QVERIFY(!p.main.finestraAperta(QStringLiteral("TFormRicercaRichieste")));
        QVERIFY(vaiA(p, QStringLiteral("MI2")));
        f->MenuMostraIncroci->trigger();
        auto *richieste =
            qobject_cast<TFormRicercaRichieste *>(p.main.finestraAperta(QStringLiteral("TFormRicercaRichieste")));
        QVERIFY(richieste);
        QCOMPARE(richieste->windowTitle(), QStringLiteral("Elenco Richieste incrociati su Annuncio MI2"));
        QVERIFY(richieste->PanelTop->isHidden());
        QCOMPARE(richieste->PanelTop->property("tag").toInt(), 103);
        QCOMPARE(richieste->DBGridRichieste->voceDefault(), richieste->MenuVaiallaRichiesta);
        const QStringList &sql = p.main.DataModuleQueryComposte()->IBDataSetRichieste().SQL();
        QCOMPARE(sql.at(tavo::TDataModuleQueryComposte::RigaFiltroRichieste),
                 QStringLiteral("and ID_RICHIESTA in (7)"));
        QCOMPARE(sql.at(tavo::TDataModuleQueryComposte::RigaOrdineRichieste),
                 QStringLiteral("order by DATA_ULT_MODIFICA"));
        tavo::TMemTable *tr = p.main.DataModuleQueryComposte()->MemTableRichieste();
        QVERIFY(tr->isOpen());
        QCOMPARE(tr->recordCount(), 1);
        QCOMPARE(tr->value(QStringLiteral("ID_RICHIESTA")).toInt(), 7);

        // Sheets: every listing shown, in the grid's order, the current one staying current.
        f = p.menuRicerca();
        f->EditComune->setCurrentIndex(f->EditComune->findText(QStringLiteral("MILANO")));
        f->DBGridAnnunciTitleClick(QStringLiteral("RIFERIMENTO"));
        f->DBGridAnnunciTitleClick(QStringLiteral("RIFERIMENTO")); // descending
        QVERIFY(vaiA(p, QStringLiteral("MI1")));
        QVERIFY(f->MenuSchedaInternaTuttiAnnunci->isEnabled());
        f->MenuSchedaInternaTuttiAnnunci->trigger();
        QCOMPARE(p.tabella()->value(QStringLiteral("RIFERIMENTO")).toString(), QStringLiteral("MI1"));
        f->EditRiferimento->setEditText(QStringLiteral("MI2"));
        QVERIFY(!f->MenuSchedaVetrinaTuttiAnnunci->isEnabled()); // one row only
        f->MenuSchedaVetrinaAnnuncioCorrente->trigger();
        QCOMPARE(TSchedeFinte::chiamate, (QStringList{"Selezione Annunci per Scheda Annuncio Uso Interno 1 103,102",
                                                      "Selezione Annunci per Scheda Annuncio per Vetrina 3 103"}));
    }

    void vaiAlCliente()
    {
        ScriptedUiService ui;
        TempDatabase d;
        annunci::agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaAnnunci *f = p.menuRicerca();
        QVERIFY(vaiA(p, QStringLiteral("TO1")));
        f->ButtonCliente->click();
        auto *cliente = qobject_cast<TFormInsVarClienti *>(p.main.finestraAperta(QStringLiteral("TFormInsVarClienti")));
        QVERIFY(cliente);
        QCOMPARE(cliente->idCliente(), 3);
    }

    void trascinamentoVersoLeRiviste()
    {
        ScriptedUiService ui;
        TempDatabase d;
        annunci::agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaAnnunci *f = p.menuRicerca();
        f->ComboBoxStatoAnnunci->setCurrentIndex(ParametriFiltroAnnunci::Tutti);
        QVERIFY(vaiA(p, QStringLiteral("RM1")));
        QCOMPARE(f->testoTrascinamento(), QStringLiteral("104|RM1|3,5|ROMA|N"));
        // Without the magazine screen a move with the button held is an ordinary move.
        QVERIFY(!f->DBGridAnnunciMouseMove(QPoint(200, 200)));
    }
};

QTEST_MAIN(TestRicercaAnnunci)
#include "tst_ricercaannunci.moc"
