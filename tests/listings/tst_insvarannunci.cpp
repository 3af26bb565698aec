// The listing editor driven offscreen as a user would, on real databases: new listings, references, refusals,
// edits, duplication, the tab lock, the client lock, the municipality, coordinates through a loopback map service,
// the refreshes after a save, the close question, and "Mostra Incroci" of an unsaved listing (into the real request
// search). Screens that are not part of the program yet are stood in for by small doubles registered under their
// class names.

#include "fixtureeditorannunci.h"
#include "scripteduiservice.h"
#include "serverhttp.h"

#include "app/core/clock.h"
#include "clients/frmInserimentoComune.h"
#include "data/dmQueryComposte.h"
#include "listings/galleria.h"
#include "listings/registroschermate.h"
#include "requests/frmRicercaRichieste.h"
#include "widgets/searchgrid.h"

#include <QAction>

using tavo::UiService;
using tavo::test::RispostaHttp;
using tavo::test::ScriptedUiService;
using tavo::test::ServerHttp;
using tavo::test::TempDatabase;
using namespace tavo::test::editorannunci;
namespace db = tavo::db;

namespace {

// The searches refreshed after a save.
class TRicercaFinta : public QWidget
{
    Q_OBJECT
public:
    Q_INVOKABLE void AggiornaElenchi() { chiamate << QStringLiteral("AggiornaElenchi"); }
    Q_INVOKABLE void Rifiltra() { chiamate << QStringLiteral("Rifiltra"); }
    Q_INVOKABLE void AggiornaElenco() { chiamate << QStringLiteral("AggiornaElenco"); }
    QStringList chiamate;
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

// A request for Milano, flats, for sale, with the given bounds and flags.
void richiesta(TempDatabase &d, int id, double prezzoMin, double prezzoMax, const QString &balcone,
               const QString &boxAuto = QString())
{
    d.exec(QStringLiteral("insert into RICHIESTE (ID_RICHIESTA,ID_CLIENTE,PREZZO_MIN,PREZZO_MAX,MQ_MIN,MQ_MAX,"
                          "NR_LOCALI_MIN,NR_LOCALI_MAX,NR_SERVIZI_MIN,NR_SERVIZI_MAX,NR_CAMERE_MIN,NR_CAMERE_MAX,"
                          "BALCONE,BOX_AUTO,LOCALITA,CONDIZIONI,DATA_ULT_MODIFICA) values "
                          "(%1,1,%2,%3,0,0,0,0,0,0,0,0,'%4','%5','','','2024-01-%6')")
               .arg(id)
               .arg(prezzoMin)
               .arg(prezzoMax)
               .arg(balcone, boxAuto)
               .arg(30 - id, 2, 10, QLatin1Char('0')));
    d.exec(QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA,ID_COMUNE) values (%1,%2)").arg(id).arg(Milano));
    d.exec(QStringLiteral("insert into RICHIESTE_TIP_IMMOBILI (ID_RICHIESTA,ID_TIP_IMMOBILE) values (%1,1)").arg(id));
    d.exec(QStringLiteral("insert into RICHIESTE_TIP_ANNUNCI (ID_RICHIESTA,ID_TIP_ANNUNCIO) values (%1,1)").arg(id));
}

QVariant campo(TempDatabase &d, const QString &colonna, const QString &riferimento)
{
    return d.scalar(QStringLiteral("select %1 from ANNUNCI_IMMOBILI where RIFERIMENTO='%2'").arg(colonna, riferimento));
}

const QDateTime Adesso(QDate(2024, 6, 3), QTime(9, 30, 0));

} // namespace

class TestInsVarAnnunci : public QObject
{
    Q_OBJECT

private:
    Ambiente m_ambiente;

private slots:
    void init()
    {
        m_ambiente.nuovo();
        tavo::Clock::set(Adesso);
    }
    void cleanup() { tavo::Clock::set(QDateTime()); }

    // --- a new listing ----------------------------------------------------------------------------------------------

    void menuApreUnNuovoAnnuncio()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI MARIO"));
        Programma p(d);
        QVERIFY(p.avvia());
        auto *voce = p.main.findChild<QAction *>(QStringLiteral("MenuInserimentoAnnunci"));
        QVERIFY(voce && voce->isEnabled());
        voce->trigger();
        TFormInsVarAnnunci *f = p.editor();
        QVERIFY(f);
        QCOMPARE(f->windowTitle(), QStringLiteral("Inserimento Annuncio"));
        QCOMPARE(f->idModificato(), 0);
        QVERIFY(f->CheckBoxAttivo->isChecked());
        QVERIFY(f->RadioNormale->isChecked());
        QVERIFY(!f->RadioVendita->isChecked() && !f->RadioAffitto->isChecked() && !f->RadioVacanze->isChecked());
        QCOMPARE(f->EditMacroTipologie->currentIndex(), -1);
        QCOMPARE(f->EditTipologiaImmobile->count(), 0);
        QCOMPARE(f->EditBOX_AUTO->currentIndex(), -1);
        QCOMPARE(f->EditBOX_AUTO->itemText(0), QString());
        QCOMPARE(f->EditBALCONE->checkState(), Qt::PartiallyChecked);
        QCOMPARE(f->EditARREDATO->checkState(), Qt::PartiallyChecked);
        QVERIFY(f->EditPREZZO_VISIBILE->isChecked());
        QVERIFY(!f->EditMAPPA->isChecked() && !f->EditCOORD_LONG->isEnabled() && !f->ButtonRicalcola->isEnabled());
        QCOMPARE(f->EditRIFERIMENTO->text(), QString());
        QCOMPARE(f->PageControl->currentIndex(), 0);
        QVERIFY(!f->modificato());
        // The client list: description, phones and e-mail; "Vai al Cliente" only with a client chosen.
        QCOMPARE(f->EditCliente->itemText(0), QStringLiteral("ROSSI MARIO"));
        QVERIFY(!f->ButtonCliente->isEnabled());
        // The request search and the client search are reached from here.
        QVERIFY(f->ButtonIncroci->isEnabled());
        QVERIFY(f->ButtonCercaCliente->isEnabled());
        QCOMPARE(f->minimumSize(), QSize(787, 549));
    }

    void riferimentoProposto_data()
    {
        QTest::addColumn<int>("precedente");
        QTest::addColumn<QString>("proposto");
        QTest::newRow("5") << 4 << "005";
        QTest::newRow("123") << 122 << "123";
        QTest::newRow("1000") << 999 << "1000";
    }
    void riferimentoProposto()
    {
        QFETCH(int, precedente);
        QFETCH(QString, proposto);
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        d.exec(QStringLiteral("update OPZIONI set GEN_RIFERIMENTO='S' where ID=0"));
        d.exec(QStringLiteral("set generator GEN_RIFERIMENTO to %1").arg(precedente));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarAnnunci *f = p.apri(0);
        QCOMPARE(f->EditRIFERIMENTO->text(), proposto);
        // The number is used up even if the listing is never saved; the user may type another reference.
        f->CaricaAnnuncio(0);
        QVERIFY(f->EditRIFERIMENTO->text() != proposto);
        compila(f, 1, QStringLiteral("mio-7"));
        ui.prossimaRisposta(QMessageBox::No);
        f->ButtonConferma->click();
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI where RIFERIMENTO='MIO-7'")).toInt(),
                 1);
    }

    void salvataggioDiUnNuovoAnnuncio()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"), "N");
        Programma p(d);
        QVERIFY(p.avvia());
        p.main.findChild<QAction *>(QStringLiteral("MenuInserimentoAnnunci"))->trigger();
        TFormInsVarAnnunci *f = p.editor();
        compila(f, 1, QStringLiteral("a12"));
        QCOMPARE(f->EditRIFERIMENTO->text(), QStringLiteral("A12")); // capitals as typed
        f->EditPREZZO->clear();
        QTest::keyClicks(f->EditPREZZO, QStringLiteral("1234.56789"));
        QCOMPARE(f->EditPREZZO->text(), QStringLiteral("1234,56789"));
        QTest::keyClicks(f->EditSPESE_COND_MENSILI, QStringLiteral("12.5"));
        QCOMPARE(f->EditSPESE_COND_MENSILI->text(), QStringLiteral("12,5"));
        // Only the money and area fields turn "." into ",".
        f->EditMQ->clear();
        QTest::keyClicks(f->EditMQ, QStringLiteral("95.5"));
        QCOMPARE(f->EditMQ->text(), QStringLiteral("955"));
        f->EditNR_LOCALI->clear();
        QTest::keyClicks(f->EditNR_LOCALI, QStringLiteral("3,9"));
        f->EditMAPPA->setChecked(true); // without asking the map service
        f->EditCOORD_LONG->clear();
        QTest::keyClicks(f->EditCOORD_LONG, QStringLiteral("1234,9"));
        f->EditBALCONE->setCheckState(Qt::Checked);
        f->EditTERRAZZO->setCheckState(Qt::Unchecked);
        scegli(f->EditBOX_AUTO, QStringLiteral("posto auto"));
        scegli(f->EditPIANO, QString::fromUtf8("su più livelli"));
        f->EditDESCRIZIONE->setPlainText(QStringLiteral("Riga uno\nRiga due"));
        f->CheckBoxAttivo->setChecked(false);
        QVERIFY(f->modificato());

        ui.prossimaRisposta(QMessageBox::No);
        f->ButtonConferma->click();
        QCOMPARE(ui.ultimo().testo,
                 QStringLiteral("L'annuncio è stata inserito correttamente. Procedere con un nuovo inserimento?"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Informazione);
        QCOMPARE(ui.ultimo().pulsanti.value(0).toInt(), int(QMessageBox::No));
        elaboraEliminazioni();
        QVERIFY(!p.editor()); // No closes the window

        const QString rif = QStringLiteral("A12");
        QCOMPARE(campo(d, QStringLiteral("PREZZO"), rif).toDouble(), 1234.5679);
        QCOMPARE(campo(d, QStringLiteral("SPESE_COND_MENSILI"), rif).toDouble(), 12.5);
        QCOMPARE(campo(d, QStringLiteral("MQ"), rif).toDouble(), 955.0);
        QCOMPARE(campo(d, QStringLiteral("NR_LOCALI"), rif).toDouble(), 3.0);
        QCOMPARE(campo(d, QStringLiteral("COORD_LONG"), rif).toInt(), 1234);
        QCOMPARE(campo(d, QStringLiteral("MAPPA"), rif).toString(), QStringLiteral("S"));
        QCOMPARE(campo(d, QStringLiteral("BALCONE"), rif).toString(), QStringLiteral("S"));
        QCOMPARE(campo(d, QStringLiteral("TERRAZZO"), rif).toString(), QStringLiteral("N"));
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI where CANTINA=''")).toInt(), 1);
        QCOMPARE(campo(d, QStringLiteral("BOX_AUTO"), rif).toString(), QStringLiteral("posto auto"));
        QCOMPARE(campo(d, QStringLiteral("PIANO"), rif).toString(), QString::fromUtf8("su più livelli"));
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI where GIARDINO=''")).toInt(), 1);
        QCOMPARE(campo(d, QStringLiteral("DESCRIZIONE"), rif).toString(), QStringLiteral("Riga uno\r\nRiga due"));
        QCOMPARE(campo(d, QStringLiteral("ELIMINATO"), rif).toString(), QStringLiteral("S"));
        QCOMPARE(campo(d, QStringLiteral("PRIORITA"), rif).toInt(), 3);
        QCOMPARE(campo(d, QStringLiteral("PREZZO_VISIBILE"), rif).toString(), QStringLiteral("S"));
        QCOMPARE(campo(d, QStringLiteral("FOTOSN"), rif).toString(), QStringLiteral("N"));
        QCOMPARE(campo(d, QStringLiteral("CATEGORIA_ANNUNCIO"), rif).toString(), QStringLiteral("residenziale"));
        QCOMPARE(campo(d, QStringLiteral("DATA_INSERIMENTO"), rif).toDateTime(), Adesso);
        QCOMPARE(campo(d, QStringLiteral("ID_COMUNE"), rif).toInt(), Milano);
        // The owner is flagged as such.
        QCOMPARE(d.scalar(QStringLiteral("select PROPRIETARIO from CLIENTI where ID_CLIENTE=1")).toString(),
                 QStringLiteral("S"));
    }

    void nuovoInserimentoConLoStessoCliente()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        cliente(d, 2, QStringLiteral("VERDI"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarAnnunci *f = p.apri(0);
        compila(f, 2, QStringLiteral("V1"));
        f->RadioVacanze->click();
        scegli(f->EditMacroTipologie, QStringLiteral("IMMOBILI COMMERCIALI"));
        scegli(f->EditTipologiaImmobile, QStringLiteral("NEGOZIO"));
        ui.prossimaRisposta(QMessageBox::Yes);
        f->ButtonConferma->click();
        // A holiday listing is "vacanze" whatever its property type.
        QCOMPARE(campo(d, QStringLiteral("CATEGORIA_ANNUNCIO"), QStringLiteral("V1")).toString(),
                 QStringLiteral("vacanze"));
        QCOMPARE(p.editor(), f);
        QCOMPARE(f->idModificato(), 0);
        QCOMPARE(f->EditRIFERIMENTO->text(), QString());
        QCOMPARE(f->EditComune->text(), QString());
        QCOMPARE(f->EditCliente->currentData().toInt(), 2);
        QVERIFY(f->EditCliente->isEnabled());
        QVERIFY(!f->modificato());
    }

    // --- refusals ---------------------------------------------------------------------------------------------------

    void rifiuti_data()
    {
        QTest::addColumn<QString>("manca");
        QTest::addColumn<QString>("messaggio");
        QTest::addColumn<QString>("etichetta");
        QTest::addColumn<QString>("fuoco");
        QTest::newRow("client") << "cliente"
                                << "Selezionare un Cliente"
                                << "LabelCliente"
                                << "EditCliente";
        QTest::newRow("listing kind") << "tipologia"
                                      << "Selezionare una Tipologia di Annuncio"
                                      << "EditTipologiaAnnuncio"
                                      << "RadioVendita";
        QTest::newRow("macro type") << "macro"
                                    << "Selezionare una Tipologia di Immobile"
                                    << "LabelTipologiaImmobile"
                                    << "EditMacroTipologie";
        QTest::newRow("property type") << "tipo"
                                       << "Selezionare una Tipologia di Immobile"
                                       << "LabelTipologiaImmobile"
                                       << "EditTipologiaImmobile";
        QTest::newRow("municipality") << "comune"
                                      << "Selezionare un Comune"
                                      << "LabelComune"
                                      << "EditComune";
        QTest::newRow("reference") << "riferimento"
                                   << "Immettere un Riferimento"
                                   << "LabelRIFERIMENTO"
                                   << "EditRIFERIMENTO";
        QTest::newRow("reference of another listing, other case")
            << "doppio" << QString::fromUtf8("Il Riferimento immesso è già stato utilizzato per un altro Annuncio")
            << "LabelRIFERIMENTO"
            << "EditRIFERIMENTO";
    }
    void rifiuti()
    {
        QFETCH(QString, manca);
        QFETCH(QString, messaggio);
        QFETCH(QString, etichetta);
        QFETCH(QString, fuoco);
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        d.exec(QStringLiteral("insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE,ID_CLIENTE,ID_COMUNE,"
                              "ID_TIPOLOGIA_IMMOBILE,ID_TIPOLOGIA_ANNUNCIO,RIFERIMENTO) values (50,1,%1,1,1,'b7')")
                   .arg(Milano));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarAnnunci *f = p.apri(0);
        if (manca != QLatin1String("cliente"))
            scegliCliente(f, 1);
        if (manca != QLatin1String("tipologia"))
            f->RadioVendita->click();
        if (manca != QLatin1String("macro")) {
            scegli(f->EditMacroTipologie, QStringLiteral("APPARTAMENTI"));
            if (manca != QLatin1String("tipo"))
                scegli(f->EditTipologiaImmobile, QStringLiteral("APPARTAMENTO"));
        }
        if (manca != QLatin1String("comune"))
            f->ComuneScelto(QStringLiteral("MILANO"), Milano);
        if (manca != QLatin1String("riferimento"))
            QTest::keyClicks(f->EditRIFERIMENTO,
                             manca == QLatin1String("doppio") ? QStringLiteral("B7") : QStringLiteral("N1"));
        f->ButtonConferma->click();
        QCOMPARE(ui.mostrati.size(), 1);
        QCOMPARE(ui.ultimo().testo, messaggio);
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Errore);
        QCOMPARE(ui.ultimo().titolo, QStringLiteral("Inserimento Annuncio"));
        auto *rifiutato = f->findChild<QWidget *>(etichetta);
        QVERIFY(rifiutato && rossa(rifiutato));
        QTRY_VERIFY(f->findChild<QWidget *>(fuoco)->hasFocus());
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")).toInt(), 1);
        QVERIFY(p.editor());
        QVERIFY(f->modificato() || manca == QLatin1String("cliente"));

        // Once the field is right the listing is saved and the label is back to its colour.
        compila(f, 1, QStringLiteral("N2"));
        ui.prossimaRisposta(QMessageBox::Yes);
        f->ButtonConferma->click();
        QVERIFY(!rossa(rifiutato));
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")).toInt(), 2);
    }

    void senzaComuneNienteLocalita()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        annuncio(d, 10, 1, QStringLiteral("M1"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarAnnunci *f = p.apri(0);
        QCOMPARE(f->EditLOCALITA->count(), 0);
        QTest::keyClicks(f->EditLOCALITA->lineEdit(), QStringLiteral("brera"));
        QCOMPARE(f->EditLOCALITA->currentText(), QStringLiteral("BRERA"));
        // Without a municipality the list stays empty and the typed locality goes.
        f->CaricaLocalita();
        QCOMPARE(f->EditLOCALITA->count(), 0);
        QCOMPARE(f->EditLOCALITA->currentText(), QString());
        // With Milano: the localities of its listings, the first a blank; a known one typed stays.
        QTest::keyClicks(f->EditLOCALITA->lineEdit(), QStringLiteral("navigli"));
        f->ComuneScelto(QStringLiteral("MILANO"), Milano);
        QCOMPARE(f->EditLOCALITA->count(), 2);
        QCOMPARE(f->EditLOCALITA->itemText(1), QStringLiteral("NAVIGLI"));
        QCOMPARE(f->EditLOCALITA->currentText(), QStringLiteral("NAVIGLI"));
        QCOMPARE(f->EditComune->text(), QStringLiteral("MILANO"));
        QVERIFY(f->modificato());
    }

    void sceltaDelComune()
    {
        ScriptedUiService ui;
        TempDatabase d;
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarAnnunci *f = p.apri(0);
        f->ButtonSceltaComune->click();
        auto *scelta =
            qobject_cast<TFormInserimentoComune *>(p.main.finestraAperta(QStringLiteral("TFormInserimentoComune")));
        QVERIFY(scelta);
        QVERIFY(scelta->ButtonAggiungieContinua->isHidden());
        QCOMPARE(scelta->ButtonAggiungieFine->text(), QStringLiteral("Seleziona"));
        QCOMPARE(scelta->ButtonFine->text(), QStringLiteral("Annulla"));
        QCOMPARE(scelta->FinestraRichiedente.data(), static_cast<QWidget *>(f));
    }

    // --- an existing listing
    // ------------------------------------------------------------------------------------------

    void modificaDiUnAnnuncio()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"), "N");
        cliente(d, 2, QStringLiteral("VERDI"), "N");
        annuncio(d, 10, 1, QStringLiteral("a12"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarAnnunci *f = p.apri(10);
        QCOMPARE(f->windowTitle(), QStringLiteral("Modifica Annuncio"));
        QCOMPARE(f->idModificato(), 10);
        QCOMPARE(f->EditCliente->currentData().toInt(), 1);
        QVERIFY(f->ButtonCliente->isEnabled());
        QVERIFY(f->RadioVendita->isChecked());
        QVERIFY(f->RadioAlta->isChecked());
        QCOMPARE(f->EditMacroTipologie->currentText(), QStringLiteral("APPARTAMENTI"));
        QCOMPARE(f->EditTipologiaImmobile->currentText(), QStringLiteral("APPARTAMENTO"));
        QCOMPARE(f->EditComune->text(), QStringLiteral("MILANO"));
        QCOMPARE(f->idComune(), Milano);
        QCOMPARE(f->EditRIFERIMENTO->text(), QStringLiteral("A12")); // the field shows capitals
        QCOMPARE(f->EditPREZZO->valore(), 250000.0);
        QCOMPARE(f->EditPREZZO->text(), QStringLiteral("€ 250.000,00"));
        QCOMPARE(f->EditMQ->text(), QStringLiteral("95,5"));
        QCOMPARE(f->EditBALCONE->checkState(), Qt::Checked);
        QCOMPARE(f->EditTERRAZZO->checkState(), Qt::Unchecked);
        QCOMPARE(f->EditCANTINA->checkState(), Qt::PartiallyChecked);
        QCOMPARE(f->EditMANSARDA->checkState(), Qt::PartiallyChecked); // null
        QCOMPARE(f->EditBOX_AUTO->currentText(), QStringLiteral("doppio"));
        QCOMPARE(f->EditCUCINA->currentText(), QString()); // null: the empty entry
        QCOMPARE(f->EditLOCALITA->currentText(), QStringLiteral("NAVIGLI"));
        QVERIFY(f->EditNuovaCostruzione->isChecked());
        QVERIFY(f->EditMAPPA->isChecked() && f->EditCOORD_LAT->isEnabled() && f->ButtonGoogleMaps->isEnabled());
        QCOMPARE(f->EditCOORD_LAT->text(), QStringLiteral("45464211"));
        QCOMPARE(f->EditDESCRIZIONE->toPlainText(), QStringLiteral("Bilocale luminoso"));
        QVERIFY(!f->modificato());

        // "ATTIVO", "Nuova Costruzione" and the meeting place are no change of the listing.
        f->CheckBoxAttivo->click();
        f->EditNuovaCostruzione->click();
        QTest::keyClicks(f->EditLUOGO_X_APPUNTAMENTO, QStringLiteral("Bar"));
        QVERIFY(!f->modificato());

        // The client is locked; "Mod. Cliente" asks, No keeps it locked, Yes frees it.
        QVERIFY(f->clienteBloccato());
        QVERIFY(!f->EditCliente->isEnabled() && !f->ButtonNuovoCliente->isEnabled());
        QCOMPARE(f->ButtonCercaCliente->text(), QStringLiteral("Mod. Cliente"));
        QVERIFY(f->ButtonCercaCliente->isEnabled());
        f->ButtonCercaCliente->click();
        QCOMPARE(ui.ultimo().testo,
                 QStringLiteral("Conferma l'intenzione di modificare il cliente di questo annuncio?"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Avviso);
        QCOMPARE(ui.ultimo().pulsanti.value(0).toInt(), int(QMessageBox::No));
        QVERIFY(f->clienteBloccato());
        ui.prossimaRisposta(QMessageBox::Yes);
        f->ButtonCercaCliente->click();
        QVERIFY(!f->clienteBloccato());
        QVERIFY(f->EditCliente->isEnabled() && f->ButtonNuovoCliente->isEnabled());
        QCOMPARE(f->ButtonCercaCliente->text(), QStringLiteral("Cerca Cliente"));
        scegliCliente(f, 2);

        // Its own reference is accepted (written in capitals, as the field shows it); the save updates the row and
        // closes the window.
        tavo::Clock::set(Adesso.addDays(1));
        f->ButtonConferma->click();
        elaboraEliminazioni();
        QVERIFY(!p.editor());
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")).toInt(), 1);
        QCOMPARE(campo(d, QStringLiteral("ID_CLIENTE"), QStringLiteral("A12")).toInt(), 2);
        QCOMPARE(campo(d, QStringLiteral("ELIMINATO"), QStringLiteral("A12")).toString(), QStringLiteral("S"));
        QCOMPARE(campo(d, QStringLiteral("NCOSTRUZIONESN"), QStringLiteral("A12")).toString(), QStringLiteral("N"));
        QCOMPARE(campo(d, QStringLiteral("LUOGO_X_APPUNTAMENTO"), QStringLiteral("A12")).toString(),
                 QStringLiteral("Bar"));
        QCOMPARE(campo(d, QStringLiteral("DATA_AGGIORNAMENTO"), QStringLiteral("A12")).toDateTime(), Adesso.addDays(1));
        QCOMPARE(campo(d, QStringLiteral("CANTINA"), QStringLiteral("A12")).toString(), QString());
        QCOMPARE(campo(d, QStringLiteral("MANSARDA"), QStringLiteral("A12")).toString(), QString());
        QCOMPARE(d.scalar(QStringLiteral("select PROPRIETARIO from CLIENTI where ID_CLIENTE=2")).toString(),
                 QStringLiteral("S"));
    }

    void domandaAllaChiusura()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        annuncio(d, 10, 1, QStringLiteral("A1"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarAnnunci *f = p.apri(10);
        f->EditNOTE_PREZZO->clear();
        QTest::keyClicks(f->EditNOTE_PREZZO, QStringLiteral("trattabile"));
        QVERIFY(f->modificato());
        // Cancel stays, Yes saves (and the save of a stored listing closes the window).
        ui.prossimaRisposta(QMessageBox::Cancel);
        QTest::keyClick(f->EditNOTE_PREZZO, Qt::Key_Escape);
        elaboraEliminazioni();
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Campi modificati. Salvare i dati immessi?"));
        QCOMPARE(p.editor(), f);
        ui.prossimaRisposta(QMessageBox::Yes);
        f->finestra()->close();
        elaboraEliminazioni();
        QVERIFY(!p.editor());
        QCOMPARE(campo(d, QStringLiteral("NOTE_PREZZO"), QStringLiteral("A1")).toString(),
                 QStringLiteral("trattabile"));
    }

    // --- the tab lock
    // -------------------------------------------------------------------------------------------------

    void bloccoDellePagine()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarAnnunci *f = p.apri(0);
        compila(f, 1, QStringLiteral("F1"));
        // No: nothing saved, still on the first page.
        f->PageControl->setCurrentIndex(1);
        QCOMPARE(ui.ultimo().testo,
                 QStringLiteral("E` necessario salvare i dati sin qui immessi prima di procedere.\n\nSalvarli ora?"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Domanda);
        QCOMPARE(f->PageControl->currentIndex(), 0);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")).toInt(), 0);
        // Yes from the "Note" tab: saved, and "Foto e Video" is shown with the window still open.
        ui.prossimaRisposta(QMessageBox::Yes);
        f->PageControl->setCurrentIndex(2);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")).toInt(), 1);
        QCOMPARE(f->PageControl->currentIndex(), 1);
        const int id = d.scalar(QStringLiteral("select ID_ANNUNCIO_IMMOBILE from ANNUNCI_IMMOBILI")).toInt();
        QCOMPARE(f->idSalvato(), id);
        QCOMPARE(f->idModificato(), id);
        QVERIFY(f->ButtonInsFoto->isEnabled());
        QVERIFY(!f->ButtonModFoto->isEnabled());
        // Pages change freely now; a later save updates the same row and closes the window.
        f->PageControl->setCurrentIndex(2);
        QCOMPARE(f->PageControl->currentIndex(), 2);
        f->EditNOTE->setPlainText(QStringLiteral("chiavi in agenzia"));
        f->ButtonConferma->click();
        elaboraEliminazioni();
        QVERIFY(!p.editor());
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")).toInt(), 1);
        QCOMPARE(campo(d, QStringLiteral("NOTE"), QStringLiteral("F1")).toString(),
                 QStringLiteral("chiavi in agenzia"));

        // A refused save keeps the first page and the question comes again next time.
        TFormInsVarAnnunci *g = p.apri(0);
        ui.prossimaRisposta(QMessageBox::Yes);
        g->PageControl->setCurrentIndex(1);
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Selezionare un Cliente"));
        QCOMPARE(g->PageControl->currentIndex(), 0);
        compila(g, 1, QStringLiteral("F2"));
        ui.prossimaRisposta(QMessageBox::No);
        g->ButtonConferma->click();
        QCOMPARE(ui.ultimo().testo,
                 QStringLiteral("L'annuncio è stata inserito correttamente. Procedere con un nuovo inserimento?"));
    }

    // --- duplication
    // ----------------------------------------------------------------------------------------------------

    void duplicazione()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        annuncio(d, 10, 1, QStringLiteral("A12"));
        annuncio(d, 11, 1, QStringLiteral("A12_1"), Roma);
        d.exec(QStringLiteral("insert into PHOTOGALLERY (ID_PHOTOGALLERY,ID_ANNUNCIO_IMMOBILE,PATH_IMAGE,DIDASCALIA,"
                              "PRINCIPALE) values (1,10,'/foto/00000010/a.jpg','Salone','S')"));
        d.exec(
            QStringLiteral("insert into VIDEOGALLERY (ID_VIDEOGALLERY,ID_ANNUNCIO_IMMOBILE,TITOLO,LINK_VIDEO) values "
                           "(1,10,'Giro','http://video/1')"));
        d.exec(QStringLiteral("set generator GEN_PHOTOGALLERY_ID to 10"));
        d.exec(QStringLiteral("set generator GEN_VIDEOGALLERY_ID to 10"));
        d.exec(QStringLiteral("set generator GEN_ANNUNCI_IMMOBILI_ID to 100"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarAnnunci *f = p.apri(0);
        f->DuplicaAnnuncio(10);
        QVERIFY(ui.mostrati.isEmpty()); // a silent save
        QCOMPARE(f->EditRIFERIMENTO->text(), QStringLiteral("A12_2"));
        const int copia = campo(d, QStringLiteral("ID_ANNUNCIO_IMMOBILE"), QStringLiteral("A12_2")).toInt();
        QCOMPARE(copia, 101);
        QCOMPARE(f->idModificato(), copia);
        QCOMPARE(f->idSalvato(), copia);
        QVERIFY(f->clienteBloccato());
        QCOMPARE(p.editor(), f);
        QCOMPARE(campo(d, QStringLiteral("PREZZO"), QStringLiteral("A12_2")).toDouble(), 250000.0);
        QCOMPARE(campo(d, QStringLiteral("LOCALITA"), QStringLiteral("A12_2")).toString(), QStringLiteral("NAVIGLI"));
        QCOMPARE(campo(d, QStringLiteral("FOTOSN"), QStringLiteral("A12_2")).toString(), QStringLiteral("S"));
        // The same photo file, a new row; the window shows the copy's rows.
        QCOMPARE(
            d.scalar(QStringLiteral("select PATH_IMAGE from PHOTOGALLERY where ID_ANNUNCIO_IMMOBILE=%1").arg(copia))
                .toString(),
            QStringLiteral("/foto/00000010/a.jpg"));
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from VIDEOGALLERY where ID_ANNUNCIO_IMMOBILE=%1").arg(copia))
                     .toInt(),
                 1);
        QCOMPARE(f->galleriaFoto().tabella()->recordCount(), 1);
        QCOMPARE(f->galleriaFoto().tabella()->value(QStringLiteral("ID_ANNUNCIO_IMMOBILE")).toInt(), copia);
        QCOMPARE(f->galleriaVideo().tabella()->recordCount(), 1);
        QVERIFY(f->ButtonModFoto->isEnabled());
        // The window edits the copy: a change updates it and closes.
        f->EditNOTE_PREZZO->setText(QStringLiteral("copia"));
        f->ButtonConferma->click();
        QCOMPARE(campo(d, QStringLiteral("NOTE_PREZZO"), QStringLiteral("A12_2")).toString(), QStringLiteral("copia"));
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")).toInt(), 3);
    }

    void duplicazioneRifiutata()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        annuncio(d, 10, 1, QStringLiteral("A12"));
        annuncio(d, 11, 1, QStringLiteral("005"));
        d.exec(QStringLiteral("insert into PHOTOGALLERY (ID_PHOTOGALLERY,ID_ANNUNCIO_IMMOBILE,PATH_IMAGE) values "
                              "(1,10,'/foto/a.jpg')"));
        d.exec(QStringLiteral("update OPZIONI set GEN_RIFERIMENTO='S' where ID=0"));
        d.exec(QStringLiteral("set generator GEN_RIFERIMENTO to 4"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarAnnunci *f = p.apri(0);
        QCOMPARE(f->EditRIFERIMENTO->text(), QStringLiteral("005"));
        // The generated reference is taken by another listing: the save is refused and nothing is copied.
        f->DuplicaAnnuncio(10);
        QCOMPARE(ui.ultimo().testo,
                 QString::fromUtf8("Il Riferimento immesso è già stato utilizzato per un altro Annuncio"));
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")).toInt(), 2);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from PHOTOGALLERY")).toInt(), 1);
        QCOMPARE(f->idModificato(), 0);
        QVERIFY(f->modificato());
        QVERIFY(f->galleriaFoto().vuota());
    }

    // --- coordinates
    // ----------------------------------------------------------------------------------------------------

    void coordinate()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        ServerHttp server;
        scriviSetup(d, server.indirizzo());
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarAnnunci *f = p.apri(0);
        f->ComuneScelto(QStringLiteral("MILANO (ZONA CENTRO)"), Milano);
        f->EditINDIRIZZO->setText(QStringLiteral("Via Roma"));
        f->EditNUM_CIVICO->setText(QStringLiteral("1"));
        server.accoda(RispostaHttp::testo("x\nlatitude_e6=45464211&longitude_e6=9191383&\n"));
        f->EditMAPPA->click();
        QCOMPARE(server.numeroRichieste(), 1);
        QCOMPARE(QUrl::fromPercentEncoding(server.richieste().at(0).query),
                 QStringLiteral("hl=it&f=q&q=Via Roma 1 MILANO&mrt=loc"));
        QCOMPARE(f->EditCOORD_LONG->text(), QStringLiteral("9191383"));
        QCOMPARE(f->EditCOORD_LAT->text(), QStringLiteral("45464211"));
        QCOMPARE(f->queryMappa(), QStringLiteral("q=Via Roma 1 MILANO"));
        QVERIFY(f->EditCOORD_LONG->isEnabled() && f->ButtonRicalcola->isEnabled());
        QVERIFY(ui.mostrati.isEmpty());
        // The map page of the query sent.
        f->ButtonGoogleMaps->click();
        QCOMPARE(ui.indirizziAperti.size(), 1);
        QCOMPARE(QUrl::fromPercentEncoding(ui.indirizziAperti.at(0).toEncoded()),
                 server.indirizzo() + QStringLiteral("/maps?hl=it&f=q&q=Via Roma 1 MILANO&mrt=loc"));

        // Unchecking clears the coordinates and disables them.
        f->EditMAPPA->click();
        QCOMPARE(f->EditCOORD_LONG->valore(), 0.0);
        QVERIFY(!f->EditCOORD_LONG->isEnabled() && !f->ButtonGoogleMaps->isEnabled());

        // An unknown address: the municipality alone is asked next.
        f->EditINDIRIZZO->setText(QStringLiteral("Via Ignota"));
        server.accoda(RispostaHttp::testo("niente"));
        server.accoda(RispostaHttp::testo("latitude_e6=45000000&longitude_e6=9000000&"));
        f->EditMAPPA->click();
        QCOMPARE(server.numeroRichieste(), 3);
        QCOMPARE(f->queryMappa(), QStringLiteral("q=MILANO"));
        QCOMPARE(f->EditCOORD_LAT->valore(), 45000000.0);

        // Nothing found at all: the message with the service's error; a later "Mostra in GoogleMaps" without a
        // query uses the coordinates.
        f->EditMAPPA->click();
        f->EditINDIRIZZO->setText(QStringLiteral("Via Nessuna"));
        f->ComuneScelto(QStringLiteral("ROMA"), Roma);
        server.impostaRispostaPredefinita(RispostaHttp::testo("niente"));
        f->EditMAPPA->click();
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Errore);
        QCOMPARE(ui.ultimo().testo,
                 QStringLiteral("Impossibile calcolare le coordinate per la mappa a causa del seguente errore:\n\n"
                                "Località non identificata"));
        f->CaricaAnnuncio(0);
        QCOMPARE(f->queryMappa(), QString());
        f->EditMAPPA->setChecked(true);
        f->EditCOORD_LAT->impostaValore(45464211);
        f->EditCOORD_LONG->impostaValore(9191383);
        f->ButtonGoogleMaps->click();
        QCOMPARE(QUrl::fromPercentEncoding(ui.indirizziAperti.last().toEncoded()),
                 server.indirizzo() + QStringLiteral("/maps?hl=it&f=q&q=45.46421,9.19138&mrt=loc&z=16"));
    }

    // --- the other screens after a save -----------------------------------------------------------------------------

    void aggiornamentiDopoIlSalvataggio()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        annuncio(d, 10, 1, QStringLiteral("A1"));
        Doppi doppi;
        doppi.registra<TFormRicercaRichieste>(TFormInsVarAnnunci::classeRicercaRichieste());
        Programma p(d);
        QVERIFY(p.avvia());
        tavo::TDataModuleQueryComposte *dm = p.main.DataModuleQueryComposte();
        dm->MemTableAnnunci()->open();
        dm->MemTableRichieste()->open();
        auto *ricercaAnnunci = new TRicercaFinta;
        p.main.ApriFinestra(QStringLiteral("TFormRicercaAnnunci"), [ricercaAnnunci] { return ricercaAnnunci; });
        auto *ricercaClienti = new TRicercaFinta;
        p.main.ApriFinestra(QStringLiteral("TFormRicercaClienti"), [ricercaClienti] { return ricercaClienti; });
        auto *riviste = new TRicercaFinta;
        p.main.ApriFinestra(QStringLiteral("TFormInvioAnnunciARiviste"), [riviste] { return riviste; });
        p.main.ApriFinestra(TFormInsVarAnnunci::classeRicercaRichieste(), [] { return new TFormRicercaRichieste; });

        TFormInsVarAnnunci *f = p.apri(0);
        compila(f, 1, QStringLiteral("N1"));
        ui.prossimaRisposta(QMessageBox::Yes);
        f->ButtonConferma->click();
        elaboraEliminazioni();
        const int id = campo(d, QStringLiteral("ID_ANNUNCIO_IMMOBILE"), QStringLiteral("N1")).toInt();
        QVERIFY(dm->MemTableAnnunci()->locate(QStringLiteral("ID_ANNUNCIO_IMMOBILE"), id));
        QCOMPARE(dm->MemTableAnnunci()->value(QStringLiteral("RIFERIMENTO")).toString(), QStringLiteral("N1"));
        QCOMPARE(ricercaAnnunci->chiamate, QStringList{QStringLiteral("AggiornaElenchi")});
        QCOMPARE(ricercaClienti->chiamate, QStringList{QStringLiteral("Rifiltra")});
        QCOMPARE(riviste->chiamate, QStringList{QStringLiteral("AggiornaElenco")});
        QVERIFY(!p.main.finestraAperta(TFormInsVarAnnunci::classeRicercaRichieste()));
        QVERIFY(!dm->MemTableRichieste()->isOpen());
    }

    // --- requests matching the listing on screen ---------------------------------------------------------------------

    void incrociDiUnAnnuncioNonSalvato()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        richiesta(d, 1, 0, 0, QString()); // no bounds, balcony not stated
        richiesta(d, 2, 80000, 120000, QStringLiteral("N"));
        richiesta(d, 3, 120000, 0, QStringLiteral("S")); // too cheap for it
        richiesta(d, 4, 0, 0, QStringLiteral("S"), QStringLiteral("box doppio"));
        Doppi doppi;
        doppi.registra<TFormRicercaRichieste>(TFormInsVarAnnunci::classeRicercaRichieste());
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarAnnunci *f = p.apri(0);
        QVERIFY(f->ButtonIncroci->isEnabled());

        // Neither client nor reference is needed; the kind is.
        f->ButtonIncroci->click();
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Selezionare una Tipologia di Annuncio"));
        f->RadioVendita->click();
        scegli(f->EditMacroTipologie, QStringLiteral("APPARTAMENTI"));
        scegli(f->EditTipologiaImmobile, QStringLiteral("APPARTAMENTO"));
        f->ComuneScelto(QStringLiteral("MILANO"), Milano);

        // Price 0 and nothing stated: every request of Milano, flats, sale.
        QCOMPARE(f->IncrociSchermo(), (QVector<int>{1, 2, 3, 4}));
        f->EditPREZZO->impostaValore(100000);
        QCOMPARE(f->IncrociSchermo(), (QVector<int>{1, 2, 4}));
        // Balcony checked: requests with "S" or "N", not those with the empty text.
        f->EditBALCONE->setCheckState(Qt::Checked);
        QCOMPARE(f->IncrociSchermo(), (QVector<int>{2, 4}));
        // Unchecked: only "N".
        f->EditBALCONE->setCheckState(Qt::Unchecked);
        QCOMPARE(f->IncrociSchermo(), (QVector<int>{2}));
        f->EditBALCONE->setCheckState(Qt::PartiallyChecked);
        // A garage "doppio" is a request's "box doppio" (or none asked).
        scegli(f->EditBOX_AUTO, QStringLiteral("doppio"));
        QCOMPARE(f->IncrociSchermo(), (QVector<int>{1, 2, 4}));
        scegli(f->EditBOX_AUTO, QStringLiteral("posto auto"));
        QCOMPARE(f->IncrociSchermo(), (QVector<int>{1, 2}));

        // The hand-over: the ids into the request query, the request search prepared, the table opened.
        f->ButtonIncroci->click();
        auto *ricerca =
            qobject_cast<TFormRicercaRichieste *>(p.main.finestraAperta(TFormInsVarAnnunci::classeRicercaRichieste()));
        QVERIFY(ricerca);
        QCOMPARE(ricerca->windowTitle(), QStringLiteral("Elenco Richieste incrociati su Annuncio"));
        QVERIFY(ricerca->PanelTop->isHidden());
        QCOMPARE(ricerca->PanelTop->property("tag").toInt(), 0);
        QCOMPARE(ricerca->DBGridRichieste->voceDefault(), ricerca->MenuVaiallaRichiesta);
        const QStringList &sql = p.main.DataModuleQueryComposte()->IBDataSetRichieste().SQL();
        QCOMPARE(sql.at(tavo::TDataModuleQueryComposte::RigaFiltroRichieste),
                 QStringLiteral("and ID_RICHIESTA in (1,2)"));
        QCOMPARE(sql.at(tavo::TDataModuleQueryComposte::RigaOrdineRichieste),
                 QStringLiteral("order by DATA_ULT_MODIFICA"));
        tavo::TMemTable *t = p.main.DataModuleQueryComposte()->MemTableRichieste();
        QVERIFY(t->isOpen());
        QCOMPARE(t->recordCount(), 2);
        // Ordered by the last change: request 2 changed before request 1.
        t->first();
        QCOMPARE(t->value(QStringLiteral("ID_RICHIESTA")).toInt(), 2);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")).toInt(), 0);

        // No match at all.
        f->ComuneScelto(QStringLiteral("ROMA"), Roma);
        f->ButtonIncroci->click();
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Nessuna Richiesta soddisfa le condizioni immesse"));
        QCOMPARE(ui.ultimo().titolo, QStringLiteral("Inserimento Annuncio"));
    }
};

QTEST_MAIN(TestInsVarAnnunci)
#include "tst_insvarannunci.moc"
