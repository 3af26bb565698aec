// The request editor driven offscreen as a user would, on real databases: new requests and the generic-request
// question, the refusals in order, the property-type tree with its groups and expand buttons, "Spazio Aperto", the
// municipalities and their localities, conversions, edits that rewrite the link rows, the client lock, the refreshes
// after a save, a database error during the confirmation, the close question, the quick find and "Mostra Incroci"
// of an unsaved request handed to the listing search. Screens that are not part of the program yet are stood in
// for by small doubles registered under their class names.
//
// With TAVO_SCREENSHOTS set to a folder, the editor is also drawn there (both tabs; insert, edit and quick find).

#include "../listings/fixtureeditorannunci.h"
#include "scripteduiservice.h"

#include "clients/frmInsVarClienti.h"
#include "clients/frmInserimentoComune.h"
#include "data/dmQueryComposte.h"
#include "listings/frmRicercaAnnunci.h"
#include "listings/registroschermate.h"
#include "requests/frmInsVarRichieste.h"

#include <QDir>
#include <QPushButton>
#include <QTreeWidget>

using tavo::UiService;
using tavo::test::ScriptedUiService;
using tavo::test::TempDatabase;
using namespace tavo::test::editorannunci;
namespace db = tavo::db;

namespace {

const int Bilocale = 3, Villa = 11, TerrenoAgricolo = 28, TerrenoEdificabile = 29;
const QString Editor = QStringLiteral("TFormInsVarRichieste");

// The client search in pick mode: the button the editor relabels.
class TRicercaClientiFinta : public QWidget
{
    Q_OBJECT
public:
    TRicercaClientiFinta()
    {
        ButtonCliente = new QPushButton(QStringLiteral("Vai al Cliente"), this);
        ButtonCliente->setObjectName(QStringLiteral("ButtonCliente"));
    }
    QPushButton *ButtonCliente;
};

// The request search, refreshed after a save.
class TRicercaRichiesteFinta : public QWidget
{
    Q_OBJECT
public:
    Q_INVOKABLE void AggiornaListe() { ++aggiornamenti; }
    int aggiornamenti = 0;
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
    }

private:
    QStringList m_classi;
};

TFormInsVarRichieste *editor(Programma &p)
{
    return qobject_cast<TFormInsVarRichieste *>(p.main.finestraAperta(Editor));
}

TFormInsVarRichieste *apri(Programma &p, int id)
{
    auto *f = p.main.ApriFinestra<TFormInsVarRichieste>();
    f->CaricaRichiesta(id);
    return f;
}

// A listing with a price and a locality (SQL literals).
void annuncioPrezzo(TempDatabase &d, int id, int comune, int tipo, int tipologiaAnnuncio, const QString &prezzo,
                    const QString &localita = QStringLiteral("null"))
{
    d.exec(QStringLiteral("insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE,ID_CLIENTE,ID_COMUNE,"
                          "ID_TIPOLOGIA_IMMOBILE,ID_TIPOLOGIA_ANNUNCIO,RIFERIMENTO,ELIMINATO,PREZZO,LOCALITA) values "
                          "(%1,1,%2,%3,%4,'R%1','N',%5,%6)")
               .arg(id)
               .arg(comune)
               .arg(tipo)
               .arg(tipologiaAnnuncio)
               .arg(prezzo, localita));
}

// A stored request of client 1 with values worth reading back and link rows (municipalities Roma then Milano).
void richiestaMemorizzata(TempDatabase &d, int id)
{
    d.exec(
        QStringLiteral("insert into RICHIESTE (ID_RICHIESTA,ID_CLIENTE,PREZZO_MIN,PREZZO_MAX,MQ_MIN,MQ_MAX,"
                       "NR_LOCALI_MIN,NR_LOCALI_MAX,NR_SERVIZI_MIN,NR_SERVIZI_MAX,NR_CAMERE_MIN,NR_CAMERE_MAX,BOX_AUTO,"
                       "BALCONE,TERRAZZO,CANTINA,GIARDINO,SPAZIO_APERTO,CONDIZIONI,ASCENSORE,CONDIZIONATORE,FONTE,"
                       "LOCALITA,NOTE) values (%1,1,0,250000.25,85.5,0,2,0,0,0,0,0,'box doppio','S','N','N','N','S',"
                       "'nuovo','N','N','web','NAVIGLI','prima riga')")
            .arg(id));
    d.exec(QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA,ID_COMUNE) values (%1,%2)").arg(id).arg(Roma));
    d.exec(QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA,ID_COMUNE) values (%1,%2)").arg(id).arg(Milano));
    for (int tipo : {Appartamento, Villa, TerrenoAgricolo, TerrenoEdificabile})
        d.exec(QStringLiteral("insert into RICHIESTE_TIP_IMMOBILI (ID_RICHIESTA,ID_TIP_IMMOBILE) values (%1,%2)")
                   .arg(id)
                   .arg(tipo));
    for (int tipo : {Vendita, Affitto})
        d.exec(QStringLiteral("insert into RICHIESTE_TIP_ANNUNCI (ID_RICHIESTA,ID_TIP_ANNUNCIO) values (%1,%2)")
                   .arg(id)
                   .arg(tipo));
}

void scegliCliente(TFormInsVarRichieste *f, int id)
{
    const int i = f->EditCliente->findData(id);
    QVERIFY(i >= 0);
    f->EditCliente->setCurrentIndex(i);
    emit f->EditCliente->activated(i);
}

// A click on a node's text, and on its expand button.
void clicNodo(QTreeWidget *albero, QTreeWidgetItem *nodo)
{
    QVERIFY(nodo);
    albero->scrollToItem(nodo);
    QTest::mouseClick(albero->viewport(), Qt::LeftButton, {}, albero->visualItemRect(nodo).center());
}

void clicEspansione(QTreeWidget *albero, QTreeWidgetItem *nodo)
{
    QVERIFY(nodo);
    albero->scrollToItem(nodo);
    const QRect r = albero->visualItemRect(nodo);
    QTest::mouseClick(albero->viewport(), Qt::LeftButton, {},
                      QPoint(r.left() - albero->indentation() / 2, r.center().y()));
}

void aggiungiComune(TFormInsVarRichieste *f, const QString &nome, int id)
{
    f->AggiungiComune(nome, id);
    f->ComuniAggiunti();
}

void selezionaComune(TFormInsVarRichieste *f, const QString &nome)
{
    f->EditComuni->clearSelection();
    const QList<QListWidgetItem *> trovati = f->EditComuni->findItems(nome, Qt::MatchExactly);
    QCOMPARE(trovati.size(), 1);
    trovati.first()->setSelected(true);
}

// Client, "Vendita", APPARTAMENTO, MILANO: the least a request needs (no client with idCliente 0).
void compila(TFormInsVarRichieste *f, int idCliente)
{
    if (idCliente)
        scegliCliente(f, idCliente);
    f->EditTipologieAnnuncio->item(0)->setCheckState(Qt::Checked);
    clicEspansione(f->EditTipologieImmobile, f->nodoGruppo(QStringLiteral("APPARTAMENTI")));
    clicNodo(f->EditTipologieImmobile, f->nodoTipologia(Appartamento));
    aggiungiComune(f, QStringLiteral("MILANO"), Milano);
}

QStringList voci(const QComboBox *c)
{
    QStringList l;
    for (int i = 0; i < c->count(); ++i)
        l << c->itemText(i);
    l.sort();
    return l;
}

QVector<int> statiFigli(const QTreeWidgetItem *gruppo)
{
    QVector<int> stati;
    for (int i = 0; i < gruppo->childCount(); ++i)
        stati << TFormInsVarRichieste::statoNodo(gruppo->child(i));
    return stati;
}

int conta(TempDatabase &d, const QString &sql)
{
    return d.scalar(sql).toInt();
}

const QString DomandaGenerica = QString::fromUtf8("Non è stata specificata alcuna caratteristica della ricerca.\n"
                                                  "La richiesta potrebbe risultare troppo generica\n\n"
                                                  "Continuare con la ");
const QString DomandaNuovoInserimento =
    QString::fromUtf8("La richiesta è stata inserita correttamente. Procedere con un nuovo inserimento?");

} // namespace

class TestInsVarRichieste : public QObject
{
    Q_OBJECT

private:
    Ambiente m_ambiente;

private slots:
    void init() { m_ambiente.nuovo(); }

    // --- a new request ----------------------------------------------------------------------------------------------

    void nuovaRichiestaGenerica()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI MARIO"));
        d.exec(QStringLiteral("update CLIENTI set TELEFONO2='02 123',EMAIL='m@r.it' where ID_CLIENTE=1"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarRichieste *f = apri(p, 0);
        QCOMPARE(f->windowTitle(), QStringLiteral("Inserimento Richiesta"));
        QCOMPARE(f->ButtonConferma->text(), QStringLiteral("Conferma"));
        QCOMPARE(f->ButtonCercaCliente->text(), QStringLiteral("Cerca Cliente"));
        QCOMPARE(f->EditCliente->itemText(0), QStringLiteral("ROSSI MARIO 02 123 m@r.it"));
        QCOMPARE(f->EditCliente->currentIndex(), -1);
        QCOMPARE(f->EditTipologieAnnuncio->count(), 3);
        QCOMPARE(f->EditTipologieAnnuncio->item(2)->text(), QStringLiteral("Vacanza"));
        QTreeWidgetItem *appartamenti = f->nodoGruppo(QStringLiteral("APPARTAMENTI"));
        QVERIFY(appartamenti && !appartamenti->isExpanded());
        QCOMPARE(TFormInsVarRichieste::statoNodo(appartamenti), 1);
        QCOMPARE(TFormInsVarRichieste::valoreNodo(appartamenti), 0);
        QCOMPARE(f->nodoTipologia(Appartamento)->parent(), appartamenti);
        QCOMPARE(f->EditBoxAuto->count(), 4);
        QCOMPARE(f->EditBoxAuto->itemText(0), QString());
        QCOMPARE(f->EditBoxAuto->currentIndex(), -1);
        QCOMPARE(f->EditCondizioni->itemText(6), QStringLiteral("da ristrutturare"));
        QCOMPARE(f->PageControl->tabText(0), QStringLiteral("Condizioni di Ricerca"));
        // Nothing squeezed: the window opens at least as large as its controls need.
        QVERIFY(f->width() >= f->minimumSizeHint().width() && f->height() >= f->minimumSizeHint().height());
        // The client search is part of the program; no client, no "Vai al Cliente"; nothing to delete.
        QVERIFY(f->ButtonCercaCliente->isEnabled());
        QVERIFY(!f->ButtonCliente->isEnabled());
        QVERIFY(!f->ButtonEliminaComuni->isEnabled());
        QVERIFY(!f->modificato());

        compila(f, 1);
        QVERIFY(f->ButtonCliente->isEnabled());
        QVERIFY(f->modificato());
        ui.prossimaRisposta(QMessageBox::Yes);
        ui.prossimaRisposta(QMessageBox::No);
        f->ButtonConferma->click();
        QCOMPARE(ui.mostrati.size(), 2);
        QCOMPARE(ui.mostrati.at(0).testo, DomandaGenerica + QStringLiteral("registrazione?"));
        QCOMPARE(ui.mostrati.at(0).icona, UiService::Icona::Avviso);
        QCOMPARE(ui.mostrati.at(0).titolo, QStringLiteral("Inserimento Richiesta"));
        QCOMPARE(ui.mostrati.at(1).testo, DomandaNuovoInserimento);
        QCOMPARE(ui.mostrati.at(1).icona, UiService::Icona::Informazione);
        QCOMPARE(ui.mostrati.at(1).pulsanti, QStringList{QString::number(QMessageBox::No)});
        elaboraEliminazioni();
        QVERIFY(!editor(p));

        // Bounds all 0, the seven flags "N", the lists "".
        QCOMPARE(
            conta(d, QStringLiteral("select count(*) from RICHIESTE where ID_CLIENTE=1 and PREZZO_MIN=0 and "
                                    "PREZZO_MAX=0 and MQ_MIN=0 and MQ_MAX=0 and NR_LOCALI_MIN=0 and NR_LOCALI_MAX=0 "
                                    "and NR_SERVIZI_MIN=0 and NR_SERVIZI_MAX=0 and NR_CAMERE_MIN=0 and "
                                    "NR_CAMERE_MAX=0 and BALCONE='N' and TERRAZZO='N' and CANTINA='N' and "
                                    "GIARDINO='N' and SPAZIO_APERTO='N' and ASCENSORE='N' and CONDIZIONATORE='N' "
                                    "and BOX_AUTO='' and CONDIZIONI='' and LOCALITA=''")),
            1);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_TIP_ANNUNCI where ID_TIP_ANNUNCIO=1")), 1);
        QCOMPARE(conta(d, QStringLiteral("select ID_TIP_IMMOBILE from RICHIESTE_TIP_IMMOBILI")), Appartamento);
        QCOMPARE(conta(d, QStringLiteral("select ID_COMUNE from RICHIESTE_COMUNI")), Milano);
    }

    void incrociChiedonoDellaRicercaSenzaCliente()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarRichieste *f = apri(p, 0);
        compila(f, 0);
        ui.prossimaRisposta(QMessageBox::No);
        f->ButtonMostraIncroci->click();
        QCOMPARE(ui.mostrati.size(), 1);
        QCOMPARE(ui.ultimo().testo, DomandaGenerica + QStringLiteral("ricerca?"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Avviso);
        // Declined: the focus on the minimum price, nothing searched.
        QCOMPARE(f->focusWidget(), f->EditPrezzoMin);
        QVERIFY(!p.main.finestraAperta(QStringLiteral("TFormRicercaAnnunci")));
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE")), 0);
    }

    void boxAutoVuotoEUnaCaratteristica()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarRichieste *f = apri(p, 0);
        compila(f, 1);
        f->EditBoxAuto->setCurrentIndex(0);
        // Delete clears the choice, in both lists.
        f->EditCondizioni->setCurrentIndex(2);
        QTest::keyClick(f->EditCondizioni, Qt::Key_Delete);
        QCOMPARE(f->EditCondizioni->currentIndex(), -1);
        QTest::keyClick(f->EditBoxAuto, Qt::Key_Delete);
        QCOMPARE(f->EditBoxAuto->currentIndex(), -1);
        QVERIFY(tavo::richiestaGenerica(f->valoriSchermo()));
        f->EditBoxAuto->setCurrentIndex(0);
        ui.prossimaRisposta(QMessageBox::No);
        f->ButtonConferma->click();
        // The only question is the one after the save.
        QCOMPARE(ui.mostrati.size(), 1);
        QCOMPARE(ui.ultimo().testo, DomandaNuovoInserimento);
        QCOMPARE(d.scalar(QStringLiteral("select BOX_AUTO from RICHIESTE")), QVariant(QString()));
    }

    void spazioAperto()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarRichieste *f = apri(p, 0);
        f->EditTerrazzo->click();
        f->EditGiardino->click();
        f->EditSpazioAperto->click();
        QVERIFY(!f->EditTerrazzo->isChecked() && !f->EditGiardino->isChecked());
        QVERIFY(!f->EditTerrazzo->isEnabled() && !f->EditGiardino->isEnabled());
        f->EditSpazioAperto->click();
        QVERIFY(f->EditTerrazzo->isEnabled() && f->EditGiardino->isEnabled());
        QVERIFY(!f->EditTerrazzo->isChecked() && !f->EditGiardino->isChecked());

        f->EditTerrazzo->click();
        f->EditSpazioAperto->click();
        compila(f, 1);
        ui.prossimaRisposta(QMessageBox::No);
        f->ButtonConferma->click();
        QCOMPARE(ui.mostrati.size(), 1);
        QCOMPARE(d.scalar(QStringLiteral("select SPAZIO_APERTO||TERRAZZO||GIARDINO from RICHIESTE")).toString(),
                 QStringLiteral("SNN"));
        // A new request enables them again.
        f = apri(p, 0);
        QVERIFY(f->EditTerrazzo->isEnabled() && !f->EditSpazioAperto->isChecked());
    }

    // --- the property-type tree -------------------------------------------------------------------------------------

    void alberoGruppiETipi()
    {
        ScriptedUiService ui;
        TempDatabase d;
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarRichieste *f = apri(p, 0);
        QTreeWidget *albero = f->EditTipologieImmobile;
        QTreeWidgetItem *gruppo = f->nodoGruppo(QStringLiteral("APPARTAMENTI"));
        const int figli = gruppo->childCount();
        QVERIFY(figli > 2);

        // A group checks and unchecks all its types.
        clicNodo(albero, gruppo);
        QCOMPARE(TFormInsVarRichieste::statoNodo(gruppo), 2);
        QCOMPARE(statiFigli(gruppo), QVector<int>(figli, 2));
        QVERIFY(f->modificato());

        // Its expand button changes no check.
        clicEspansione(albero, gruppo);
        QVERIFY(gruppo->isExpanded());
        QCOMPARE(TFormInsVarRichieste::statoNodo(gruppo), 2);
        QCOMPARE(statiFigli(gruppo), QVector<int>(figli, 2));

        // Unchecking one type of a full group unchecks the group; checking the last one checks it again.
        QTreeWidgetItem *tipo = gruppo->child(1);
        clicNodo(albero, tipo);
        QCOMPARE(TFormInsVarRichieste::statoNodo(tipo), 1);
        QCOMPARE(TFormInsVarRichieste::statoNodo(gruppo), 1);
        QCOMPARE(TFormInsVarRichieste::statoNodo(gruppo->child(0)), 2);
        clicNodo(albero, tipo);
        QCOMPARE(TFormInsVarRichieste::statoNodo(gruppo), 2);

        // A partial group clicked: all checked... and clicked again, all unchecked.
        clicNodo(albero, gruppo->child(0));
        QCOMPARE(TFormInsVarRichieste::statoNodo(gruppo), 1);
        clicNodo(albero, gruppo);
        QCOMPARE(statiFigli(gruppo), QVector<int>(figli, 2));
        clicNodo(albero, gruppo);
        QCOMPARE(statiFigli(gruppo), QVector<int>(figli, 1));
        QCOMPARE(TFormInsVarRichieste::statoNodo(gruppo), 1);

        // Collapsing changes nothing either; a type alone does not check its group.
        clicNodo(albero, gruppo->child(0));
        clicEspansione(albero, gruppo);
        QVERIFY(!gruppo->isExpanded());
        QCOMPARE(TFormInsVarRichieste::statoNodo(gruppo->child(0)), 2);
        QCOMPARE(TFormInsVarRichieste::statoNodo(gruppo), 1);

        // An expansion from the keyboard sets the flag, which the next real click does not obey.
        albero->setCurrentItem(gruppo);
        QTest::keyClick(albero, Qt::Key_Right);
        QVERIFY(gruppo->isExpanded());
        QVERIFY(f->ignoraProssimoClic());
        clicNodo(albero, gruppo->child(2));
        QCOMPARE(TFormInsVarRichieste::statoNodo(gruppo->child(2)), 2);
        QVERIFY(!f->ignoraProssimoClic());
        QCOMPARE(f->valoriSchermo().tipiImmobile, (QVector<int>{TFormInsVarRichieste::valoreNodo(gruppo->child(0)),
                                                                TFormInsVarRichieste::valoreNodo(gruppo->child(2))}));
    }

    // --- refusals -------------------------------------------------------------------------------------------------

    void rifiutiInOrdine()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarRichieste *f = apri(p, 0);
        struct Passo
        {
            QString messaggio;
            QLabel *etichetta;
            QWidget *campo;
            std::function<void()> correggi;
        };
        const QList<Passo> passi = {
            {QStringLiteral("Selezionare un Cliente"), f->LabelCliente, f->EditCliente, [f] { scegliCliente(f, 1); }},
            {QStringLiteral("Selezionare almeno una Tipologia di Annuncio"), f->LabelTipologieAnnuncio,
             f->EditTipologieAnnuncio, [f] { f->EditTipologieAnnuncio->item(2)->setCheckState(Qt::Checked); }},
            {QStringLiteral("Selezionare almeno una Tipologia di Immobile"), f->LabelTipologieImmobile,
             f->EditTipologieImmobile,
             [f] { clicNodo(f->EditTipologieImmobile, f->nodoGruppo(QStringLiteral("TERRENI"))); }},
            {QStringLiteral("Selezionare un Comune"), f->LabelComuni, f->EditComuni, [] {}},
        };
        const QList<QLabel *> etichette = {f->LabelCliente, f->LabelTipologieAnnuncio, f->LabelTipologieImmobile,
                                           f->LabelComuni};
        for (const Passo &passo : passi) {
            f->ButtonConferma->click();
            QCOMPARE(ui.ultimo().testo, passo.messaggio);
            QCOMPARE(ui.ultimo().icona, UiService::Icona::Errore);
            QCOMPARE(ui.ultimo().titolo, QStringLiteral("Inserimento Richiesta"));
            for (QLabel *l : etichette)
                QCOMPARE(rossa(l), l == passo.etichetta);
            QCOMPARE(f->focusWidget(), passo.campo);
            passo.correggi();
        }
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE")), 0);
        // The labels go back with a reset.
        f->CaricaRichiesta(0);
        QVERIFY(!rossa(f->LabelComuni));
        // "Mostra Incroci" needs no client.
        f->ButtonMostraIncroci->click();
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Selezionare almeno una Tipologia di Annuncio"));
        QVERIFY(!rossa(f->LabelCliente));
    }

    // --- municipalities and localities ---------------------------------------------------------------------------

    void comuniELocalita()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        annuncio(d, 10, 1, QStringLiteral("A1")); // Milano, NAVIGLI
        annuncioPrezzo(d, 11, Roma, Appartamento, Vendita, QStringLiteral("1"), QStringLiteral("'EUR'"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarRichieste *f = apri(p, 0);
        QCOMPARE(f->EditLocalita->count(), 0);
        aggiungiComune(f, QStringLiteral("MILANO"), Milano);
        aggiungiComune(f, QStringLiteral("ROMA"), Roma);
        aggiungiComune(f, QStringLiteral("MILANO"), Milano); // already listed
        QCOMPARE(f->EditComuni->count(), 2);
        QCOMPARE(f->ComuniPresenti(), (QList<int>{Milano, Roma}));
        QVERIFY(f->modificato());
        QCOMPARE(voci(f->EditLocalita), (QStringList{" ", "EUR", "NAVIGLI"}));
        f->EditLocalita->setEditText(QStringLiteral("EUR"));

        QVERIFY(!f->ButtonEliminaComuni->isEnabled());
        selezionaComune(f, QStringLiteral("ROMA"));
        QVERIFY(f->ButtonEliminaComuni->isEnabled());
        ui.prossimaRisposta(QMessageBox::No);
        f->ButtonEliminaComuni->click();
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Conferma l'eliminazione degli elementi selezionati dalla lista "
                                                   "dei comuni della richiesta?"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Domanda);
        QCOMPARE(f->EditComuni->count(), 2);

        f->impostaModificato(false);
        ui.prossimaRisposta(QMessageBox::Yes);
        f->ButtonEliminaComuni->click();
        QCOMPARE(f->ComuniPresenti(), QList<int>{Milano});
        QVERIFY(!f->ButtonEliminaComuni->isEnabled());
        QVERIFY(f->modificato());
        // EUR is not a locality of Milano.
        QCOMPARE(voci(f->EditLocalita), (QStringList{" ", "NAVIGLI"}));
        QCOMPARE(f->EditLocalita->currentText(), QString());

        f->EditLocalita->setEditText(QStringLiteral("NAVIGLI"));
        f->EditComuni->selectAll();
        ui.prossimaRisposta(QMessageBox::Yes);
        f->ButtonEliminaComuni->click();
        QCOMPARE(f->EditComuni->count(), 0);
        QCOMPARE(f->EditLocalita->count(), 0);
        QCOMPARE(f->EditLocalita->currentText(), QString());
    }

    void apreLaSceltaDelComune()
    {
        ScriptedUiService ui;
        TempDatabase d;
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarRichieste *f = apri(p, 0);
        f->ButtonAggiungiComune->click();
        auto *scelta =
            qobject_cast<TFormInserimentoComune *>(p.main.finestraAperta(QStringLiteral("TFormInserimentoComune")));
        QVERIFY(scelta);
        QCOMPARE(scelta->FinestraRichiedente.data(), f);
        QVERIFY(!scelta->ButtonAggiungieContinua->isHidden());
        QCOMPARE(scelta->ButtonAggiungieFine->text(), QStringLiteral("Aggiungi e Fine Selezione"));
        QCOMPARE(scelta->ButtonFine->text(), QStringLiteral("Fine Selezione"));
    }

    // --- conversions ------------------------------------------------------------------------------------------------

    void valoriDigitati()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarRichieste *f = apri(p, 0);
        compila(f, 1);
        f->impostaModificato(false);
        // A "." typed is a decimal comma.
        f->EditMqMin->selectAll(); // the field shows 0, which the user types over
        QTest::keyClicks(f->EditMqMin, QStringLiteral("85.7"));
        QCOMPARE(f->EditMqMin->text(), QStringLiteral("85,7"));
        QVERIFY(f->modificato());
        QTest::keyClicks(f->EditPrezzoMin, QStringLiteral("123456.78"));
        f->EditNrLocaliMin->selectAll();
        QTest::keyClicks(f->EditNrLocaliMin, QStringLiteral("0.5"));
        f->EditNrCamereMax->selectAll();
        QTest::keyClicks(f->EditNrCamereMax, QStringLiteral("3.9"));
        f->EditPrezzoMax->impostaValore(1234.5);
        QCOMPARE(f->EditPrezzoMax->text(), QStringLiteral("€ 1.234,50"));
        ui.prossimaRisposta(QMessageBox::No);
        f->ButtonConferma->click();
        QCOMPARE(ui.mostrati.size(), 1);
        auto valore = [&d](const char *colonna) {
            return d.scalar(QStringLiteral("select %1 from RICHIESTE").arg(colonna));
        };
        QCOMPARE(valore("MQ_MIN").toDouble(), 85.0);
        QCOMPARE(valore("PREZZO_MIN").toDouble(), 123456.78);
        QCOMPARE(valore("PREZZO_MAX").toDouble(), 1234.5);
        QCOMPARE(valore("NR_LOCALI_MIN").toInt(), 0);
        QCOMPARE(valore("NR_CAMERE_MAX").toInt(), 3);
    }

    // --- editing --------------------------------------------------------------------------------------------------

    void modificaRiscriveICollegamenti()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        annuncio(d, 10, 1, QStringLiteral("A1")); // NAVIGLI is a locality of Milano
        richiestaMemorizzata(d, 7);
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarRichieste *f = apri(p, 7);
        QCOMPARE(f->windowTitle(), QStringLiteral("Modifica Richiesta"));
        QCOMPARE(f->idRichiesta(), 7);
        QCOMPARE(f->ButtonCercaCliente->text(), QStringLiteral("Mod. Cliente"));
        QVERIFY(f->ButtonCercaCliente->isEnabled());
        QVERIFY(!f->EditCliente->isEnabled() && !f->ButtonNuovoCliente->isEnabled());
        QCOMPARE(f->EditCliente->currentData().toInt(), 1);
        QVERIFY(f->ButtonCliente->isEnabled());
        QCOMPARE(f->EditTipologieAnnuncio->item(0)->checkState(), Qt::Checked);
        QCOMPARE(f->EditTipologieAnnuncio->item(1)->checkState(), Qt::Checked);
        QCOMPARE(f->EditTipologieAnnuncio->item(2)->checkState(), Qt::Unchecked);
        // Groups with a checked type are expanded; a group whose types are all checked is checked.
        QVERIFY(f->nodoGruppo(QStringLiteral("APPARTAMENTI"))->isExpanded());
        QCOMPARE(TFormInsVarRichieste::statoNodo(f->nodoGruppo(QStringLiteral("APPARTAMENTI"))), 1);
        QVERIFY(f->nodoGruppo(QStringLiteral("CASE INDIPENDENTI"))->isExpanded());
        QVERIFY(f->nodoGruppo(QStringLiteral("TERRENI"))->isExpanded());
        QCOMPARE(TFormInsVarRichieste::statoNodo(f->nodoGruppo(QStringLiteral("TERRENI"))), 2);
        QVERIFY(!f->nodoGruppo(QStringLiteral("BOX E POSTI AUTO"))->isExpanded());
        QVERIFY(!f->ignoraProssimoClic());
        QCOMPARE(f->ComuniPresenti(), (QList<int>{Roma, Milano}));
        QCOMPARE(f->EditComuni->item(0)->text(), QStringLiteral("ROMA"));
        QCOMPARE(f->EditPrezzoMax->valore(), 250000.25);
        QCOMPARE(f->EditMqMin->valore(), 86.0); // 85.5 rounded
        QCOMPARE(f->EditNrLocaliMin->valore(), 2.0);
        QCOMPARE(f->EditBoxAuto->currentText(), QStringLiteral("box doppio"));
        QCOMPARE(f->EditCondizioni->currentText(), QStringLiteral("nuovo"));
        QVERIFY(f->EditBalcone->isChecked() && f->EditSpazioAperto->isChecked());
        QVERIFY(!f->EditTerrazzo->isEnabled() && !f->EditGiardino->isEnabled());
        QCOMPARE(f->EditLocalita->currentText(), QStringLiteral("NAVIGLI"));
        QCOMPARE(f->EditFONTE->currentText(), QStringLiteral("web"));
        QCOMPARE(f->MemoNote->toPlainText(), QStringLiteral("prima riga"));
        QVERIFY(!f->modificato());
        QCOMPARE(f->focusWidget(), f->EditTipologieAnnuncio);

        // Fewer types and municipalities: the link rows are written again.
        const int massimoComuni = conta(d, QStringLiteral("select max(ID) from RICHIESTE_COMUNI"));
        const int massimoTipi = conta(d, QStringLiteral("select max(ID) from RICHIESTE_TIP_IMMOBILI"));
        clicNodo(f->EditTipologieImmobile, f->nodoTipologia(Villa));
        selezionaComune(f, QStringLiteral("ROMA"));
        ui.prossimaRisposta(QMessageBox::Yes);
        f->ButtonEliminaComuni->click();
        f->EditTipologieAnnuncio->item(1)->setCheckState(Qt::Unchecked);
        f->ButtonConferma->click();
        elaboraEliminazioni();
        QVERIFY(!editor(p));             // an edit closes after the save
        QCOMPARE(ui.mostrati.size(), 1); // the deletion's question only
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE")), 1);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_COMUNI where ID_RICHIESTA=7 and "
                                         "ID_COMUNE=%1 and ID>%2")
                              .arg(Milano)
                              .arg(massimoComuni)),
                 1);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_COMUNI")), 1);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_TIP_IMMOBILI where ID>%1").arg(massimoTipi)),
                 3);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_TIP_IMMOBILI")), 3);
        QCOMPARE(
            conta(d, QStringLiteral("select count(*) from RICHIESTE_TIP_IMMOBILI where ID_TIP_IMMOBILE=%1").arg(Villa)),
            0);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_TIP_ANNUNCI")), 1);
        QCOMPARE(d.scalar(QStringLiteral("select PREZZO_MAX from RICHIESTE")).toDouble(), 250000.25);
        QCOMPARE(d.scalar(QStringLiteral("select FONTE||LOCALITA||BOX_AUTO from RICHIESTE")).toString(),
                 QStringLiteral("webNAVIGLIbox doppio"));
    }

    // A stored locality that no listing names any more is kept on loading and by a save of another change.
    void localitaMemorizzataResta()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        annuncioPrezzo(d, 11, Roma, Appartamento, Vendita, QStringLiteral("1"), QStringLiteral("'EUR'"));
        richiestaMemorizzata(d, 7); // LOCALITA NAVIGLI, no listing in Milano
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarRichieste *f = apri(p, 7);
        QCOMPARE(f->EditLocalita->currentText(), QStringLiteral("NAVIGLI"));
        QVERIFY(!f->modificato());
        f->EditPrezzoMin->impostaValore(1000);
        f->ButtonConferma->click();
        elaboraEliminazioni();
        QVERIFY(!editor(p));
        QCOMPARE(d.scalar(QStringLiteral("select LOCALITA from RICHIESTE where ID_RICHIESTA=7")).toString(),
                 QStringLiteral("NAVIGLI"));
        QCOMPARE(d.scalar(QStringLiteral("select PREZZO_MIN from RICHIESTE where ID_RICHIESTA=7")).toDouble(), 1000.0);
    }

    void senzaTipologieNonSiSalva()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        d.exec(QStringLiteral("insert into RICHIESTE (ID_RICHIESTA,ID_CLIENTE,PREZZO_MAX) values (8,1,100)"));
        d.exec(QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA,ID_COMUNE) values (8,%1)").arg(Milano));
        d.exec(QStringLiteral("insert into RICHIESTE_TIP_IMMOBILI (ID_RICHIESTA,ID_TIP_IMMOBILE) values (8,%1)")
                   .arg(Bilocale));
        d.exec(QStringLiteral("insert into RICHIESTE_TIP_ANNUNCI (ID_RICHIESTA,ID_TIP_ANNUNCIO) values (8,1)"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarRichieste *f = apri(p, 8);
        clicNodo(f->EditTipologieImmobile, f->nodoTipologia(Bilocale));
        f->ButtonConferma->click();
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Selezionare almeno una Tipologia di Immobile"));
        QCOMPARE(ui.ultimo().titolo, QStringLiteral("Modifica Richiesta"));
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_TIP_IMMOBILI")), 1);
        QVERIFY(editor(p));

        // A request deleted meanwhile: said so, and the window is ready for a new one.
        f->impostaModificato(false);
        f->CaricaRichiesta(999);
        QCOMPARE(ui.ultimo().testo, QString::fromUtf8("La richiesta selezionata non esiste più."));
        QCOMPARE(f->windowTitle(), QStringLiteral("Inserimento Richiesta"));
        QCOMPARE(f->idRichiesta(), 0);
        QVERIFY(f->ComuniPresenti().isEmpty());
    }

    void clienteBloccato()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        cliente(d, 2, QStringLiteral("VERDI"));
        annuncio(d, 10, 1, QStringLiteral("A1"));
        richiestaMemorizzata(d, 7);
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarRichieste *f = apri(p, 7);
        ui.prossimaRisposta(QMessageBox::No);
        f->ButtonCercaCliente->click();
        QCOMPARE(ui.ultimo().testo,
                 QStringLiteral("Conferma l'intenzione di modificare il cliente di questa richiesta?"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Avviso);
        QCOMPARE(ui.ultimo().pulsanti, QStringList{QString::number(QMessageBox::No)});
        QVERIFY(f->clienteBloccato() && !f->EditCliente->isEnabled());
        ui.prossimaRisposta(QMessageBox::Yes);
        f->ButtonCercaCliente->click();
        QVERIFY(!f->clienteBloccato());
        QCOMPARE(f->ButtonCercaCliente->text(), QStringLiteral("Cerca Cliente"));
        QVERIFY(f->EditCliente->isEnabled() && f->ButtonNuovoCliente->isEnabled());
        QVERIFY(f->ButtonCercaCliente->isEnabled()); // the client search is part of the program
        scegliCliente(f, 2);
        f->ButtonConferma->click();
        QCOMPARE(d.scalar(QStringLiteral("select ID_CLIENTE from RICHIESTE")).toInt(), 2);
    }

    void clientiDaAltreSchermate()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        cliente(d, 2, QStringLiteral("VERDI"));
        Doppi doppi;
        doppi.registra<TRicercaClientiFinta>(TFormInsVarRichieste::classeRicercaClienti());
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarRichieste *f = apri(p, 0);
        QVERIFY(f->ButtonCercaCliente->isEnabled());
        f->ButtonCercaCliente->click();
        auto *ricerca =
            qobject_cast<TRicercaClientiFinta *>(p.main.finestraAperta(TFormInsVarRichieste::classeRicercaClienti()));
        QVERIFY(ricerca);
        QCOMPARE(ricerca->ButtonCliente->property("tag").toInt(), 1);
        QCOMPARE(ricerca->ButtonCliente->text(), QStringLiteral("Scegli Cliente"));

        // The pick as the client search makes it: reload, select, then the editor's handler.
        d.exec(QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR) values (3,'BIANCHI')"));
        QMetaObject::invokeMethod(f, "CaricaClienti", Qt::DirectConnection);
        {
            const QSignalBlocker blocco(f->EditCliente);
            f->EditCliente->setCurrentIndex(f->EditCliente->findData(3));
        }
        QMetaObject::invokeMethod(f, "EditClienteClick", Qt::DirectConnection);
        QCOMPARE(f->EditCliente->currentText(), QStringLiteral("BIANCHI"));
        QVERIFY(f->ButtonCliente->isEnabled() && f->modificato());

        // "Vai al Cliente" and "Nuovo Cliente": the client editor.
        f->ButtonCliente->click();
        auto *clienti = qobject_cast<TFormInsVarClienti *>(p.main.finestraAperta(QStringLiteral("TFormInsVarClienti")));
        QVERIFY(clienti);
        QCOMPARE(clienti->EditDescr->text(), QStringLiteral("BIANCHI"));
        f->ButtonNuovoCliente->click();
        QCOMPARE(clienti->EditDescr->text(), QString());
    }

    // --- after a save ---------------------------------------------------------------------------------------------

    void nuovoInserimentoTieneIlCliente()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        annuncio(d, 10, 1, QStringLiteral("A1"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarRichieste *f = apri(p, 0);
        compila(f, 1);
        f->EditPrezzoMax->impostaValore(300000);
        f->EditLocalita->setEditText(QStringLiteral("NAVIGLI"));
        f->EditBoxAuto->setCurrentIndex(2);
        f->EditCantina->setChecked(true);
        f->EditFONTE->setEditText(QStringLiteral("vetrina"));
        f->MemoNote->setPlainText(QStringLiteral("chiamare la sera"));
        f->EditComuni->selectAll();
        ui.prossimaRisposta(QMessageBox::Yes);
        f->ButtonConferma->click();
        QCOMPARE(ui.mostrati.size(), 1);
        QCOMPARE(editor(p), f);
        QCOMPARE(f->windowTitle(), QStringLiteral("Inserimento Richiesta"));
        QCOMPARE(f->idRichiesta(), 0);
        QCOMPARE(f->EditCliente->currentData().toInt(), 1);
        QVERIFY(f->EditCliente->isEnabled());
        const tavo::DatiRichiesta v = f->valoriSchermo();
        QVERIFY(v.tipiAnnuncio.isEmpty() && v.tipiImmobile.isEmpty() && v.comuni.isEmpty());
        QVERIFY(tavo::richiestaGenerica(v));
        QCOMPARE(v.fonte, QString());
        QCOMPARE(v.note, QString());
        QCOMPARE(TFormInsVarRichieste::statoNodo(f->nodoGruppo(QStringLiteral("APPARTAMENTI"))), 1);
        QVERIFY(!f->ButtonEliminaComuni->isEnabled());
        QVERIFY(!f->modificato());
        QCOMPARE(f->focusWidget(), f->EditCliente);
        // The source just stored is a suggestion now.
        QVERIFY(f->EditFONTE->findText(QStringLiteral("vetrina")) >= 0);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE where FONTE='vetrina' and CANTINA='S'")), 1);
    }

    void aggiornamentiDopoIlSalvataggio()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        annuncio(d, 10, 1, QStringLiteral("A1"));
        Programma p(d);
        QVERIFY(p.avvia());
        tavo::TDataModuleQueryComposte *dm = p.main.DataModuleQueryComposte();
        dm->MemTableRichieste()->open();
        auto *richieste = new TRicercaRichiesteFinta;
        p.main.ApriFinestra(TFormInsVarRichieste::classeRicercaRichieste(), [richieste] { return richieste; });
        TFormRicercaAnnunci::ApriElencoCompleto();
        QVERIFY(dm->MemTableAnnunci()->isOpen());

        TFormInsVarRichieste *f = apri(p, 0);
        compila(f, 1);
        f->EditPrezzoMax->impostaValore(300000);
        ui.prossimaRisposta(QMessageBox::No);
        f->ButtonConferma->click();
        elaboraEliminazioni();
        const int id = conta(d, QStringLiteral("select ID_RICHIESTA from RICHIESTE"));
        QVERIFY(id > 0);
        // The new request's row with its match; the listing table and search closed; the request search told.
        QVERIFY(dm->MemTableRichieste()->locate(QStringLiteral("ID_RICHIESTA"), id));
        QCOMPARE(dm->MemTableRichieste()->value(QStringLiteral("N_INCROCI")).toInt(), 1);
        QVERIFY(!dm->MemTableAnnunci()->isOpen());
        QVERIFY(!p.main.finestraAperta(QStringLiteral("TFormRicercaAnnunci")));
        QCOMPARE(richieste->aggiornamenti, 1);
    }

    void erroreDelDatabase()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarRichieste *f = apri(p, 0);
        compila(f, 1);
        f->EditPrezzoMax->impostaValore(300000);
        // A municipality that does not exist: the last statement of the save fails.
        aggiungiComune(f, QStringLiteral("NESSUNO"), 999999);
        f->ButtonConferma->click();
        QCOMPARE(ui.mostrati.size(), 1);
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Errore);
        QVERIFY2(ui.ultimo().testo.contains(QStringLiteral("FK_RICCOM_COMUNE")), qPrintable(ui.ultimo().testo));
        QCOMPARE(editor(p), f);
        QVERIFY(f->modificato());
        QCOMPARE(f->idRichiesta(), 0);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE")), 0);

        // Corrected, the next save writes only what is on screen.
        selezionaComune(f, QStringLiteral("NESSUNO"));
        ui.prossimaRisposta(QMessageBox::Yes);
        f->ButtonEliminaComuni->click();
        ui.prossimaRisposta(QMessageBox::No);
        f->ButtonConferma->click();
        QCOMPARE(ui.ultimo().testo, DomandaNuovoInserimento);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE")), 1);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_COMUNI")), 1);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_TIP_IMMOBILI")), 1);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_TIP_ANNUNCI")), 1);
    }

    // --- closing ----------------------------------------------------------------------------------------------------

    void domandaAllaChiusura()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarRichieste *f = apri(p, 0);
        QTest::keyClicks(f->EditPrezzoMin, QStringLiteral("5"));
        QVERIFY(f->modificato());
        ui.prossimaRisposta(QMessageBox::Cancel);
        f->ButtonAnnulla->click();
        elaboraEliminazioni();
        QCOMPARE(editor(p), f);
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Campi modificati. Salvare i dati immessi?"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Avviso);
        QCOMPARE(ui.ultimo().titolo, QStringLiteral("Inserimento Richiesta"));

        // Yes: the confirmation; refused, the window stays.
        ui.prossimaRisposta(QMessageBox::Yes);
        QTest::keyClick(f, Qt::Key_Escape);
        elaboraEliminazioni();
        QCOMPARE(editor(p), f);
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Selezionare un Cliente"));

        // Yes, saved, and another request wanted: the window stays, empty.
        compila(f, 1);
        ui.prossimaRisposta(QMessageBox::Yes);
        ui.prossimaRisposta(QMessageBox::Yes);
        f->ButtonAnnulla->click();
        elaboraEliminazioni();
        QCOMPARE(editor(p), f);
        QCOMPARE(ui.ultimo().testo, DomandaNuovoInserimento);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE")), 1);

        // No: closed without saving.
        aggiungiComune(f, QStringLiteral("ROMA"), Roma);
        ui.prossimaRisposta(QMessageBox::No);
        f->ButtonAnnulla->click();
        elaboraEliminazioni();
        QVERIFY(!editor(p));
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE")), 1);
        QVERIFY(ui.senzaRisposta.isEmpty());
    }

    // --- quick find and the matches of the request on screen --------------------------------------------------------

    void trovaVeloceEMostraIncroci()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        annuncioPrezzo(d, 11, Milano, Appartamento, Vendita, QStringLiteral("300000"));
        annuncioPrezzo(d, 12, Milano, Appartamento, Vendita, QStringLiteral("150000"));
        annuncioPrezzo(d, 13, Milano, Appartamento, Vendita, QStringLiteral("0"));
        annuncioPrezzo(d, 14, Milano, Bilocale, Vendita, QStringLiteral("220000.5"));
        annuncioPrezzo(d, 15, Roma, Appartamento, Vendita, QStringLiteral("100000"));
        annuncioPrezzo(d, 16, Milano, Appartamento, Affitto, QStringLiteral("900"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarRichieste *f = TFormInsVarRichieste::ApriTrovaVeloce();
        QCOMPARE(editor(p), f);
        QCOMPARE(f->windowTitle(), QStringLiteral("Trova Veloce"));
        QCOMPARE(f->ButtonConferma->text(), QStringLiteral("Salva come Richiesta"));
        QCOMPARE(f->finestra()->windowIcon().cacheKey(), f->windowIcon().cacheKey());
        QVERIFY(!f->windowIcon().isNull());

        compila(f, 0);
        clicEspansione(f->EditTipologieImmobile, f->nodoTipologia(Bilocale)->parent());
        clicNodo(f->EditTipologieImmobile, f->nodoTipologia(Bilocale));
        f->EditPrezzoMax->impostaValore(250000);
        f->ButtonMostraIncroci->click();
        QVERIFY(ui.mostrati.isEmpty());
        auto *ricerca =
            qobject_cast<TFormRicercaAnnunci *>(p.main.finestraAperta(QStringLiteral("TFormRicercaAnnunci")));
        QVERIFY(ricerca);
        QCOMPARE(ricerca->windowTitle(), QStringLiteral("Elenco Annunci incrociati su Richiesta"));
        QVERIFY(ricerca->modalitaElenco());
        QCOMPARE(ricerca->idRichiestaElenco(), 0);
        const QStringList &sql = p.main.DataModuleQueryComposte()->IBDataSetAnnunci().SQL();
        QCOMPARE(sql.at(tavo::TDataModuleQueryComposte::RigaFiltroAnnunci),
                 QStringLiteral("and ID_ANNUNCIO_IMMOBILE in (13,12,14)"));
        QCOMPARE(sql.at(tavo::TDataModuleQueryComposte::RigaOrdineAnnunci), QStringLiteral("order by PREZZO"));
        // Exactly the listings of the query built line by line, in price order.
        QCOMPARE(ricerca->idAnnunciVisualizzati(), QStringLiteral("13,12,14"));
        {
            db::Transaction tr(p.main.database());
            QCOMPARE(tavo::eseguiQueryIncroci(tr, tavo::queryIncrociRichiesta(f->valoriSchermo())),
                     (QVector<int>{13, 12, 14}));
        }
        // Nothing written, the editor unchanged.
        QVERIFY(f->modificato());
        QCOMPARE(f->windowTitle(), QStringLiteral("Trova Veloce"));
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE")), 0);

        // No listing at all: the message, and the listing search is not opened.
        ricerca->finestra()->close();
        elaboraEliminazioni();
        f->EditTipologieAnnuncio->item(0)->setCheckState(Qt::Unchecked);
        f->EditTipologieAnnuncio->item(2)->setCheckState(Qt::Checked);
        f->ButtonMostraIncroci->click();
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Nessun Annuncio soddisfa le condizioni immesse"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Errore);
        QCOMPARE(ui.ultimo().titolo, QStringLiteral("Trova Veloce"));
        QVERIFY(!p.main.finestraAperta(QStringLiteral("TFormRicercaAnnunci")));

        // Saved as a request: the reset gives the insert caption, the button keeps its text.
        f->EditTipologieAnnuncio->item(0)->setCheckState(Qt::Checked);
        scegliCliente(f, 1);
        ui.prossimaRisposta(QMessageBox::Yes);
        f->ButtonConferma->click();
        QCOMPARE(ui.ultimo().testo, DomandaNuovoInserimento);
        QCOMPARE(f->windowTitle(), QStringLiteral("Inserimento Richiesta"));
        QCOMPARE(f->ButtonConferma->text(), QStringLiteral("Salva come Richiesta"));
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_TIP_ANNUNCI")), 2);

        // A saved request's matches carry its id.
        const int id = conta(d, QStringLiteral("select ID_RICHIESTA from RICHIESTE"));
        f = apri(p, id);
        f->ButtonMostraIncroci->click();
        ricerca = qobject_cast<TFormRicercaAnnunci *>(p.main.finestraAperta(QStringLiteral("TFormRicercaAnnunci")));
        QVERIFY(ricerca);
        QCOMPARE(ricerca->idRichiestaElenco(), id);
        QCOMPARE(ricerca->idAnnunciVisualizzati(), QStringLiteral("13,12,14"));
    }

    void trovaVeloceSenzaDomandaAllaChiusura()
    {
        ScriptedUiService ui;
        TempDatabase d;
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarRichieste *f = TFormInsVarRichieste::ApriTrovaVeloce();
        QTest::keyClicks(f->EditPrezzoMin, QStringLiteral("5"));
        aggiungiComune(f, QStringLiteral("MILANO"), Milano);
        QVERIFY(f->modificato());
        f->ButtonAnnulla->click();
        elaboraEliminazioni();
        QVERIFY(!editor(p));
        QVERIFY(ui.mostrati.isEmpty());
    }

    // --- pictures of the window -------------------------------------------------------------------------------------

    void immagini()
    {
        const QString cartella = qEnvironmentVariable("TAVO_SCREENSHOTS");
        if (cartella.isEmpty())
            QSKIP("TAVO_SCREENSHOTS not set");
        QDir().mkpath(cartella);
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI MARIO"));
        d.exec(QStringLiteral("update CLIENTI set TELEFONO1='02 4567 8901',EMAIL='mario.rossi@esempio.it' where "
                              "ID_CLIENTE=1"));
        cliente(d, 2, QStringLiteral("BIANCHI ANNA"));
        annuncio(d, 10, 1, QStringLiteral("A1"));
        richiestaMemorizzata(d, 7);
        d.exec(QStringLiteral("update RICHIESTE set NOTE='Cerca in zona servita dai mezzi.'||ascii_char(13)||"
                              "ascii_char(10)||'Disponibile a visite il sabato.' where ID_RICHIESTA=7"));
        Programma p(d);
        QVERIFY(p.avvia());
        auto salva = [&](QWidget *w, const QString &nome) {
            QCoreApplication::processEvents();
            QVERIFY(w->grab().save(cartella + QStringLiteral("/editor_") + nome + QStringLiteral(".png")));
        };
        TFormInsVarRichieste *f = apri(p, 0);
        f->finestra()->move(0, 0);
        salva(&p.main, QStringLiteral("inserimento"));
        f->CaricaRichiesta(7);
        salva(f->finestra(), QStringLiteral("modifica"));
        f->PageControl->setCurrentIndex(1);
        salva(f->finestra(), QStringLiteral("modifica_note"));
        f->PageControl->setCurrentIndex(0);
        f->impostaModificato(false);
        f = TFormInsVarRichieste::ApriTrovaVeloce();
        compila(f, 0);
        f->EditPrezzoMax->impostaValore(300000);
        f->EditBoxAuto->setCurrentIndex(1);
        f->EditSpazioAperto->setChecked(true);
        f->ButtonConferma->setFocus();
        salva(&p.main, QStringLiteral("trova_veloce"));
    }
};

QTEST_MAIN(TestInsVarRichieste)
#include "tst_insvarrichieste.moc"
