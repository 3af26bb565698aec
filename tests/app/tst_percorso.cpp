// The whole program driven through its screens only, as a user would, from the main window of an empty agency:
// two clients, a listing of one, a request of the other, the request search with its match count, and "Mostra
// Incroci" from the request to the listing and back; then the quick find, which shows the listing without storing
// anything. Every step goes through the menu commands, buttons, fields and lists the user sees; the database is
// only read, to check what the screens stored.

#include "../listings/fixtureeditorannunci.h"
#include "scripteduiservice.h"

#include "clients/frmInsVarClienti.h"
#include "clients/frmInserimentoComune.h"
#include "data/dmQueryComposte.h"
#include "data/memtable/memtablemodel.h"
#include "listings/frmInsVarAnnunci.h"
#include "listings/frmRicercaAnnunci.h"
#include "requests/frmInsVarRichieste.h"
#include "requests/frmRicercaRichieste.h"
#include "widgets/searchgrid.h"
#include "widgets/tavoapplication.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTreeWidget>

using tavo::test::ScriptedUiService;
using tavo::test::TempDatabase;
using namespace tavo::test::editorannunci;

// A step of the scenario is a helper with checks of its own: the test stops at the first one that failed.
#define PASSO(istruzione)                                                                                              \
    do {                                                                                                               \
        istruzione;                                                                                                    \
        if (QTest::currentTestFailed())                                                                                \
            return;                                                                                                    \
    } while (false)

namespace {

const QString DomandaNuovoCliente =
    QStringLiteral("Il cliente è stato inserito correttamente. Procedere con un nuovo inserimento?");
const QString DomandaNuovoAnnuncio =
    QStringLiteral("L'annuncio è stata inserito correttamente. Procedere con un nuovo inserimento?");
const QString DomandaNuovaRichiesta =
    QStringLiteral("La richiesta è stata inserita correttamente. Procedere con un nuovo inserimento?");

template <class T> T *aperta(const TFormMain &main)
{
    return qobject_cast<T *>(main.finestraAperta(QString::fromLatin1(T::staticMetaObject.className())));
}

// A command of the main window's menus.
void comando(TFormMain &main, const char *nome)
{
    auto *a = main.findChild<QAction *>(QLatin1String(nome));
    QVERIFY2(a, nome);
    QVERIFY2(a->isEnabled(), nome);
    a->trigger();
}

// A click on a button; on a check box or radio button, on its indicator (a stretched one does not take a click
// far from its box and caption).
void clic(QAbstractButton *pulsante)
{
    QVERIFY2(pulsante->isVisible() && pulsante->isEnabled(), qPrintable(pulsante->objectName()));
    QPoint punto = pulsante->rect().center();
    const bool casella = qobject_cast<QCheckBox *>(pulsante);
    if (casella || qobject_cast<QRadioButton *>(pulsante)) {
        QStyleOptionButton opzioni;
        opzioni.initFrom(pulsante);
        punto = pulsante->style()
                    ->subElementRect(casella ? QStyle::SE_CheckBoxIndicator : QStyle::SE_RadioButtonIndicator,
                                     &opzioni, pulsante)
                    .center();
    }
    QTest::mouseClick(pulsante, Qt::LeftButton, {}, punto);
}

// A click into the field, its text selected and replaced by what is typed.
void digita(QLineEdit *campo, const QString &testo)
{
    QTest::mouseClick(campo, Qt::LeftButton);
    campo->selectAll();
    QTest::keyClicks(campo, testo);
}

// A closed list chosen from the keyboard: the typed letters go to the first entry starting with them.
void scegliDaTastiera(QComboBox *lista, const QString &inizio)
{
    lista->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(lista, inizio);
    QVERIFY2(lista->currentText().startsWith(inizio), qPrintable(lista->objectName() + QLatin1String(": ") +
                                                                  lista->currentText()));
}

void clicVoce(QListWidget *lista, const QString &testo)
{
    const QList<QListWidgetItem *> trovate = lista->findItems(testo, Qt::MatchExactly);
    QVERIFY2(trovate.size() == 1, qPrintable(testo));
    lista->scrollToItem(trovate.first());
    QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, lista->visualItemRect(trovate.first()).center());
}

// A check box entry of a list, ticked with the space bar.
void spunta(QListWidget *lista, const QString &testo)
{
    const QList<QListWidgetItem *> trovate = lista->findItems(testo, Qt::MatchExactly);
    QVERIFY2(trovate.size() == 1, qPrintable(testo));
    lista->setFocus(Qt::TabFocusReason);
    lista->setCurrentItem(trovate.first());
    QTest::keyClick(lista, Qt::Key_Space);
    QCOMPARE(trovate.first()->checkState(), Qt::Checked);
}

QTreeWidgetItem *nodo(QTreeWidget *albero, const QString &testo)
{
    const QList<QTreeWidgetItem *> trovati = albero->findItems(testo, Qt::MatchExactly | Qt::MatchRecursive);
    return trovati.size() == 1 ? trovati.first() : nullptr;
}

// A click on a node's text, and on its expand button.
void clicNodo(QTreeWidget *albero, QTreeWidgetItem *n)
{
    QVERIFY(n);
    albero->scrollToItem(n);
    QTest::mouseClick(albero->viewport(), Qt::LeftButton, {}, albero->visualItemRect(n).center());
}

void clicEspansione(QTreeWidget *albero, QTreeWidgetItem *n)
{
    QVERIFY(n);
    albero->scrollToItem(n);
    const QRect r = albero->visualItemRect(n);
    QTest::mouseClick(albero->viewport(), Qt::LeftButton, {}, QPoint(r.left() - albero->indentation() / 2,
                                                                      r.center().y()));
}

// In the open municipality picker: LOMBARDIA, province and municipality MILANO, the zone BRERA (MILANO has zones:
// a listing needs one, and a request takes the chosen one), then the given button.
void scegliMilanoBrera(TFormMain &main, QPushButton *TFormInserimentoComune::*pulsante)
{
    auto *picker = aperta<TFormInserimentoComune>(main);
    QVERIFY(picker);
    scegliDaTastiera(picker->EditRegione, QStringLiteral("LOMBARDIA"));
    scegliDaTastiera(picker->EditProvincia, QStringLiteral("MILANO"));
    clicVoce(picker->EditComune, QStringLiteral("MILANO"));
    QVERIFY(picker->EditZona->isVisible());
    clicVoce(picker->EditZona, QStringLiteral("BRERA"));
    QCOMPARE(picker->EditSelezioneCorrente->text(), QStringLiteral("Il comune di MILANO (ZONA BRERA)"));
    clic(picker->*pulsante);
    elaboraEliminazioni();
    QVERIFY(!main.finestraAperta(QStringLiteral("TFormInserimentoComune")));
}

// The values of a column, in the grid's order.
QStringList colonna(const tavo::TSearchGrid *griglia, const QString &nome)
{
    tavo::TMemTableModel *m = griglia->modelloTabella();
    const int s = m->sectionOf(nome);
    QStringList valori;
    for (int r = 0; r < m->rowCount(); ++r)
        valori << m->index(r, s).data().toString();
    return valori;
}

QString titoloColonna(const tavo::TSearchGrid *griglia, const QString &nome)
{
    return griglia->model()->headerData(griglia->sezioneColonna(nome), Qt::Horizontal).toString();
}

// The rows of a table, optionally followed by a condition ("RICHIESTE where ...").
int conta(TempDatabase &d, const QString &tabellaECondizione)
{
    return d.scalar(QStringLiteral("select count(*) from ") + tabellaECondizione).toInt();
}

} // namespace

class TestPercorso : public QObject
{
    Q_OBJECT

private:
    Ambiente m_ambiente;

    // Clienti > Inserimento: a new client with a telephone, confirmed, and no further insertion.
    static void inserisciCliente(Programma &p, ScriptedUiService &ui, const QString &digitato,
                                 const QString &telefono, bool proprietario)
    {
        comando(p.main, "MenuInserimentoClienti");
        auto *f = aperta<TFormInsVarClienti>(p.main);
        QVERIFY(f);
        QCOMPARE(f->windowTitle(), QStringLiteral("Inserimento Clienti"));
        digita(f->EditDescr, digitato);
        digita(f->EditTelefono1, telefono);
        if (proprietario) {
            clic(f->EditProprietario);
            QVERIFY(f->EditProprietario->isChecked());
        }
        const int prima = ui.mostrati.size();
        ui.prossimaRisposta(QMessageBox::No);
        clic(f->ButtonConferma);
        QCOMPARE(ui.mostrati.size(), prima + 1);
        QCOMPARE(ui.ultimo().testo, DomandaNuovoCliente);
        elaboraEliminazioni();
        QVERIFY(!aperta<TFormInsVarClienti>(p.main));
    }

    // Annunci > Inserimento: a flat for sale of the client, in MILANO (ZONA BRERA), at the given price.
    static void inserisciAnnuncio(Programma &p, ScriptedUiService &ui, const QString &cliente,
                                  const QString &riferimento, const QString &prezzo)
    {
        comando(p.main, "MenuInserimentoAnnunci");
        auto *f = aperta<TFormInsVarAnnunci>(p.main);
        QVERIFY(f);
        QCOMPARE(f->windowTitle(), QStringLiteral("Inserimento Annuncio"));
        scegliDaTastiera(f->EditCliente, cliente);
        QVERIFY(f->ButtonCliente->isEnabled());
        digita(f->EditRIFERIMENTO, riferimento);
        clic(f->RadioVendita);
        QVERIFY(f->RadioVendita->isChecked());
        scegliDaTastiera(f->EditMacroTipologie, QStringLiteral("APPARTAMENTI"));
        scegliDaTastiera(f->EditTipologiaImmobile, QStringLiteral("APPARTAMENTO"));
        QCOMPARE(f->EditTipologiaImmobile->currentText(), QStringLiteral("APPARTAMENTO"));

        clic(f->ButtonSceltaComune);
        auto *picker = aperta<TFormInserimentoComune>(p.main);
        QVERIFY(picker);
        QCOMPARE(picker->ButtonAggiungieFine->text(), QStringLiteral("Seleziona"));
        QVERIFY(!picker->ButtonAggiungieContinua->isVisible());
        scegliMilanoBrera(p.main, &TFormInserimentoComune::ButtonAggiungieFine);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(f->EditComune->text(), QStringLiteral("MILANO (ZONA BRERA)"));

        digita(f->EditPREZZO, prezzo);
        const int prima = ui.mostrati.size();
        ui.prossimaRisposta(QMessageBox::No);
        clic(f->ButtonConferma);
        QCOMPARE(ui.mostrati.size(), prima + 1);
        QCOMPARE(ui.ultimo().testo, DomandaNuovoAnnuncio);
        elaboraEliminazioni();
        QVERIFY(!aperta<TFormInsVarAnnunci>(p.main));
    }

    // The wish of both tests, in the request editor on screen: "Vendita", APPARTAMENTO ticked in the tree,
    // MILANO (ZONA BRERA) through "Aggiungi", the maximum price.
    static void compilaDesiderio(Programma &p, TFormInsVarRichieste *f, const QString &prezzoMax)
    {
        spunta(f->EditTipologieAnnuncio, QStringLiteral("Vendita"));
        QTreeWidget *albero = f->EditTipologieImmobile;
        clicEspansione(albero, nodo(albero, QStringLiteral("APPARTAMENTI")));
        QVERIFY(nodo(albero, QStringLiteral("APPARTAMENTI"))->isExpanded());
        clicNodo(albero, nodo(albero, QStringLiteral("APPARTAMENTO")));
        QCOMPARE(TFormInsVarRichieste::statoNodo(nodo(albero, QStringLiteral("APPARTAMENTO"))), 2);

        clic(f->ButtonAggiungiComune);
        auto *picker = aperta<TFormInserimentoComune>(p.main);
        QVERIFY(picker);
        QVERIFY(picker->ButtonAggiungieContinua->isVisible());
        QCOMPARE(picker->ButtonAggiungieFine->text(), QStringLiteral("Aggiungi e Fine Selezione"));
        scegliMilanoBrera(p.main, &TFormInserimentoComune::ButtonAggiungieFine);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(f->EditComuni->count(), 1);
        QCOMPARE(f->EditComuni->item(0)->text(), QStringLiteral("MILANO (ZONA BRERA)"));

        digita(f->EditPrezzoMax, prezzoMax);
    }

private slots:
    void initTestCase()
    {
        // The letters of one word typed into a closed list make one search even on a loaded machine, where the
        // lists a letter refills (provinces, municipalities) can take longer than the usual pause between words.
        QApplication::setKeyboardInputInterval(10000);
    }
    void init() { m_ambiente.nuovo(); }

    void dalClienteAgliIncrociERitorno()
    {
        ScriptedUiService ui;
        TempDatabase d;
        Programma p(d);
        QVERIFY(p.avvia());
        QCOMPARE(conta(d, QStringLiteral("CLIENTI")), 0);

        // 1. The two clients; the description is stored in capitals whatever is typed.
        PASSO(inserisciCliente(p, ui, QStringLiteral("Bianchi Luca"), QStringLiteral("02 1234567"), false));
        PASSO(inserisciCliente(p, ui, QStringLiteral("VERDI ANNA"), QStringLiteral("02 7654321"), true));
        QCOMPARE(conta(d, QStringLiteral("CLIENTI")), 2);
        const int bianchi =
            d.scalar(QStringLiteral("select ID_CLIENTE from CLIENTI where DESCR='BIANCHI LUCA' and "
                                    "TELEFONO1='02 1234567' and PROPRIETARIO='N'"))
                .toInt();
        const int verdi = d.scalar(QStringLiteral("select ID_CLIENTE from CLIENTI where DESCR='VERDI ANNA' and "
                                                  "TELEFONO1='02 7654321' and PROPRIETARIO='S'"))
                              .toInt();
        QVERIFY(bianchi > 0 && verdi > 0);

        // 2. The listing of VERDI ANNA.
        PASSO(inserisciAnnuncio(p, ui, QStringLiteral("VERDI ANNA"), QStringLiteral("mi-001"),
                                QStringLiteral("250000")));
        QCOMPARE(conta(d, QStringLiteral("ANNUNCI_IMMOBILI")), 1);
        const int annuncio =
            d.scalar(QStringLiteral("select ID_ANNUNCIO_IMMOBILE from ANNUNCI_IMMOBILI where RIFERIMENTO='MI-001' "
                                    "and ID_CLIENTE=%1 and ID_COMUNE=11514602 and ID_TIPOLOGIA_IMMOBILE=%2 and "
                                    "ID_TIPOLOGIA_ANNUNCIO=%3 and PREZZO=250000 and ELIMINATO='N'")
                         .arg(verdi)
                         .arg(Appartamento)
                         .arg(Vendita))
                .toInt();
        QVERIFY(annuncio > 0);

        // 3. The request of BIANCHI LUCA.
        comando(p.main, "MenuInserimentoRichieste");
        auto *editor = aperta<TFormInsVarRichieste>(p.main);
        QVERIFY(editor);
        QCOMPARE(editor->windowTitle(), QStringLiteral("Inserimento Richiesta"));
        scegliDaTastiera(editor->EditCliente, QStringLiteral("BIANCHI LUCA"));
        QCOMPARE(editor->EditCliente->currentData().toInt(), bianchi);
        PASSO(compilaDesiderio(p, editor, QStringLiteral("300000")));
        const int primaDellaRichiesta = ui.mostrati.size();
        ui.prossimaRisposta(QMessageBox::No);
        clic(editor->ButtonConferma);
        // Not a generic request (it has a price): the only question is the one after the save.
        QCOMPARE(ui.mostrati.size(), primaDellaRichiesta + 1);
        QCOMPARE(ui.ultimo().testo, DomandaNuovaRichiesta);
        elaboraEliminazioni();
        QVERIFY(!aperta<TFormInsVarRichieste>(p.main));
        QCOMPARE(conta(d, QStringLiteral("RICHIESTE")), 1);
        const int richiesta =
            d.scalar(QStringLiteral("select ID_RICHIESTA from RICHIESTE where ID_CLIENTE=%1 and PREZZO_MAX=300000")
                         .arg(bianchi))
                .toInt();
        QVERIFY(richiesta > 0);
        // Its link rows: one kind, one type, one municipality.
        const struct {
            const char *tabella;
            const char *colonna;
            int valore;
        } collegamenti[] = {{"RICHIESTE_TIP_ANNUNCI", "ID_TIP_ANNUNCIO", Vendita},
                            {"RICHIESTE_TIP_IMMOBILI", "ID_TIP_IMMOBILE", Appartamento},
                            {"RICHIESTE_COMUNI", "ID_COMUNE", 11514602}};
        for (const auto &c : collegamenti) {
            QCOMPARE(conta(d, QLatin1String(c.tabella)), 1);
            QCOMPARE(conta(d, QStringLiteral("%1 where ID_RICHIESTA=%2 and %3=%4")
                                  .arg(QLatin1String(c.tabella))
                                  .arg(richiesta)
                                  .arg(QLatin1String(c.colonna))
                                  .arg(c.valore)),
                     1);
        }

        // 4. Richieste > Ricerca: the request, matched by the listing.
        comando(p.main, "MenuRicercaRichieste");
        auto *ricercaRichieste = aperta<TFormRicercaRichieste>(p.main);
        QVERIFY(ricercaRichieste);
        QCOMPARE(ricercaRichieste->windowTitle(), QStringLiteral("Elenco Richieste"));
        QVERIFY(!ricercaRichieste->modalitaElenco());
        tavo::TMemTable *richieste = p.main.DataModuleQueryComposte()->MemTableRichieste();
        QVERIFY(richieste->isOpen());
        QCOMPARE(richieste->recordCount(), 1);
        QCOMPARE(richieste->value(QStringLiteral("ID_RICHIESTA")).toInt(), richiesta);
        QCOMPARE(richieste->value(QStringLiteral("CLIENTE")).toString(), QStringLiteral("BIANCHI LUCA"));
        QCOMPARE(richieste->value(QStringLiteral("N_INCROCI")).toInt(), 1);
        tavo::TSearchGrid *grigliaRichieste = ricercaRichieste->DBGridRichieste;
        QVERIFY(!grigliaRichieste->colonnaNascosta(QStringLiteral("N_INCROCI")));
        QCOMPARE(titoloColonna(grigliaRichieste, QStringLiteral("N_INCROCI")), QStringLiteral("N° Incroci"));
        QCOMPARE(colonna(grigliaRichieste, QStringLiteral("CLIENTE")), QStringList{QStringLiteral("BIANCHI LUCA")});
        QCOMPARE(colonna(grigliaRichieste, QStringLiteral("N_INCROCI")), QStringList{QStringLiteral("1")});
        QCOMPARE(colonna(grigliaRichieste, QStringLiteral("COMUNI")),
                 QStringList{QStringLiteral("MILANO (ZONA BRERA)")});

        // 5. Its "Mostra Incroci": the listing search in list mode on exactly the listing.
        clic(ricercaRichieste->ButtonIncroci);
        auto *ricercaAnnunci = aperta<TFormRicercaAnnunci>(p.main);
        QVERIFY(ricercaAnnunci);
        QCOMPARE(ricercaAnnunci->windowTitle(), QStringLiteral("Elenco Annunci incrociati su Richiesta BIANCHI LUCA"));
        QCOMPARE(ricercaAnnunci->finestra()->windowTitle(), ricercaAnnunci->windowTitle());
        QVERIFY(ricercaAnnunci->modalitaElenco());
        QCOMPARE(ricercaAnnunci->idRichiestaElenco(), richiesta);
        tavo::TMemTable *annunci = p.main.DataModuleQueryComposte()->MemTableAnnunci();
        QCOMPARE(annunci->recordCount(), 1);
        QCOMPARE(annunci->value(QStringLiteral("ID_ANNUNCIO_IMMOBILE")).toInt(), annuncio);
        QCOMPARE(annunci->value(QStringLiteral("N_INCROCI")).toInt(), 1);
        QCOMPARE(colonna(ricercaAnnunci->DBGridAnnunci, QStringLiteral("RIFERIMENTO")),
                 QStringList{QStringLiteral("MI-001")});

        // 6. The listing's "Mostra Incroci": the request search in list mode on exactly the request.
        clic(ricercaAnnunci->ButtonIncroci);
        QCOMPARE(aperta<TFormRicercaRichieste>(p.main), ricercaRichieste);
        QCOMPARE(ricercaRichieste->windowTitle(), QStringLiteral("Elenco Richieste incrociati su Annuncio MI-001"));
        QVERIFY(ricercaRichieste->PanelTop->isHidden());
        QCOMPARE(ricercaRichieste->PanelTop->property("tag").toInt(), annuncio);
        QCOMPARE(ricercaRichieste->idAnnuncioElenco(), annuncio);
        QCOMPARE(ricercaRichieste->DBGridRichieste->voceDefault(), ricercaRichieste->MenuVaiallaRichiesta);
        QCOMPARE(richieste->recordCount(), 1);
        QCOMPARE(richieste->value(QStringLiteral("ID_RICHIESTA")).toInt(), richiesta);
        QCOMPARE(colonna(grigliaRichieste, QStringLiteral("CLIENTE")), QStringList{QStringLiteral("BIANCHI LUCA")});
        QCOMPARE(colonna(grigliaRichieste, QStringLiteral("N_INCROCI")), QStringList{QStringLiteral("1")});

        // Nothing went unanswered, and no error was shown on the way.
        QVERIFY2(ui.senzaRisposta.isEmpty(), qPrintable(ui.senzaRisposta.join(QLatin1Char('\n'))));
        QCOMPARE(ui.conta(QStringLiteral("messaggio")), 0);
    }

    void trovaVeloceNonSalvaNulla()
    {
        ScriptedUiService ui;
        TempDatabase d;
        Programma p(d);
        QVERIFY(p.avvia());
        PASSO(inserisciCliente(p, ui, QStringLiteral("VERDI ANNA"), QStringLiteral("02 7654321"), true));
        PASSO(inserisciAnnuncio(p, ui, QStringLiteral("VERDI ANNA"), QStringLiteral("MI-001"),
                                QStringLiteral("250000")));
        const int annuncio =
            d.scalar(QStringLiteral("select ID_ANNUNCIO_IMMOBILE from ANNUNCI_IMMOBILI where RIFERIMENTO='MI-001'"))
                .toInt();
        QVERIFY(annuncio > 0);
        const int mostrati = ui.mostrati.size();

        comando(p.main, "MenuTrovaVeloce");
        auto *f = aperta<TFormInsVarRichieste>(p.main);
        QVERIFY(f);
        QCOMPARE(f->windowTitle(), QStringLiteral("Trova Veloce"));
        QCOMPARE(f->ButtonConferma->text(), QStringLiteral("Salva come Richiesta"));
        PASSO(compilaDesiderio(p, f, QStringLiteral("300000")));
        clic(f->ButtonMostraIncroci);

        auto *ricercaAnnunci = aperta<TFormRicercaAnnunci>(p.main);
        QVERIFY(ricercaAnnunci);
        QVERIFY(ricercaAnnunci->modalitaElenco());
        QCOMPARE(ricercaAnnunci->windowTitle(), QStringLiteral("Elenco Annunci incrociati su Richiesta"));
        QCOMPARE(ricercaAnnunci->idRichiestaElenco(), 0);
        tavo::TMemTable *annunci = p.main.DataModuleQueryComposte()->MemTableAnnunci();
        QCOMPARE(annunci->recordCount(), 1);
        QCOMPARE(annunci->value(QStringLiteral("ID_ANNUNCIO_IMMOBILE")).toInt(), annuncio);
        QCOMPARE(colonna(ricercaAnnunci->DBGridAnnunci, QStringLiteral("RIFERIMENTO")),
                 QStringList{QStringLiteral("MI-001")});
        QCOMPARE(conta(d, QStringLiteral("RICHIESTE")), 0);

        // Closing the quick find asks nothing and stores nothing.
        QVERIFY(f->modificato());
        clic(f->ButtonAnnulla);
        elaboraEliminazioni();
        QVERIFY(!aperta<TFormInsVarRichieste>(p.main));
        QCOMPARE(ui.mostrati.size(), mostrati);
        for (const char *tabella : {"RICHIESTE", "RICHIESTE_TIP_ANNUNCI", "RICHIESTE_TIP_IMMOBILI", "RICHIESTE_COMUNI"})
            QCOMPARE(conta(d, QLatin1String(tabella)), 0);
    }
};

int main(int argc, char **argv)
{
    tavo::TavoApplication app(argc, argv);
    TestPercorso test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_percorso.moc"
