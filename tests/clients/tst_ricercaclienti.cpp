// The client search driven offscreen as a user would: the main window started on a test database, the screen
// opened, the filter panel typed into, the commands run through their buttons and menu entries, the results read
// from the grid, the dialogs and the database. The request screens, not yet part of the program, are stood in for
// by small doubles registered under their class names; the listing editor and search are the real ones.

#include "schermate.h"

#include "clients/frmInsVarClienti.h"
#include "clients/frmRicercaClienti.h"
#include "data/dmQueryComposte.h"
#include "data/memtable/memtable.h"
#include "listings/frmInsVarAnnunci.h"
#include "listings/frmRicercaAnnunci.h"
#include "listings/registroschermate.h"
#include "widgets/searchgrid.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QRegularExpression>
#include <QToolButton>
#include <QVBoxLayout>

using tavo::FiltriRicercaClienti;
using tavo::UiService;
using tavo::test::ScriptedUiService;
using tavo::test::TempDatabase;
using namespace tavo::test::schermate;
namespace db = tavo::db;

namespace {

// What the doubles were asked, in order, by all of them.
QStringList g_chiamate;

// A client list as the request screens have it: ID_CLIENTE as item data; the entry chosen before stays chosen.
void caricaClienti(QComboBox *lista)
{
    const QSignalBlocker blocco(lista);
    const QVariant scelto = lista->currentData();
    lista->clear();
    db::Transaction tr(TFormMain::istanza()->database());
    db::Query q(tr, QStringLiteral("select ID_CLIENTE,DESCR from CLIENTI order by DESCR"));
    q.exec();
    while (q.next())
        lista->addItem(q.text(QStringLiteral("DESCR")), q.integer(QStringLiteral("ID_CLIENTE")));
    lista->setCurrentIndex(scelto.isValid() ? lista->findData(scelto) : -1);
}

// The request editor: its client list and the two operations the picker calls.
class TEditorRichiesteFinto : public QWidget
{
    Q_OBJECT
public:
    TEditorRichiesteFinto()
    {
        auto *l = new QVBoxLayout(this);
        EditCliente = new QComboBox(this);
        EditCliente->setObjectName(QStringLiteral("EditCliente"));
        l->addWidget(EditCliente);
        caricaClienti(EditCliente);
    }
    Q_INVOKABLE void CaricaClienti()
    {
        caricaClienti(EditCliente);
        g_chiamate << QStringLiteral("editor richieste: CaricaClienti");
    }
    Q_INVOKABLE void EditClienteClick()
    {
        g_chiamate << QStringLiteral("editor richieste: EditClienteClick %1").arg(EditCliente->currentData().toInt());
    }
    QComboBox *EditCliente;
};

// The request search: its client list, its lock button, and what the client search calls on it.
class TRicercaRichiesteFinta : public QWidget
{
    Q_OBJECT
public:
    TRicercaRichiesteFinta()
    {
        auto *l = new QVBoxLayout(this);
        EditCliente = new QComboBox(this);
        EditCliente->setObjectName(QStringLiteral("EditCliente"));
        l->addWidget(EditCliente);
        caricaClienti(EditCliente);
        connect(EditCliente, &QComboBox::currentIndexChanged, this, [] { g_chiamate << QStringLiteral("segnale"); });
        SpeedButtonLock = new QToolButton(this);
        SpeedButtonLock->setObjectName(QStringLiteral("SpeedButtonLock"));
        SpeedButtonLock->setCheckable(true);
        SpeedButtonLock->setChecked(true);
        connect(SpeedButtonLock, &QToolButton::toggled, this, [this] { ++scritture; });
    }
    Q_INVOKABLE void AggiornaListe()
    {
        caricaClienti(EditCliente);
        g_chiamate << QStringLiteral("ricerca richieste: AggiornaListe");
    }
    Q_INVOKABLE void FiltroChange()
    {
        g_chiamate << QStringLiteral("ricerca richieste: FiltroChange %1").arg(EditCliente->currentData().toInt());
    }
    Q_INVOKABLE void MostraRichiesteCliente(int id)
    {
        g_chiamate << QStringLiteral("ricerca richieste: MostraRichiesteCliente %1").arg(id);
    }
    QComboBox *EditCliente;
    QToolButton *SpeedButtonLock;
    int scritture = 0;
};

// A screen whose close question is answered Cancel.
class TSchermataOstinata : public QWidget
{
protected:
    void closeEvent(QCloseEvent *event) override { event->ignore(); }
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
        g_chiamate.clear();
    }

private:
    QStringList m_classi;
};

//   id  DESCR         TELEFONO1    TELEFONO2  TELEFONO3        EMAIL            PROP. SMS CITTA   INDIRIZZO REFERENTE
//   1   ROSSI MARIO   335 1234567                              mario@rossi.it   S     1   MILANO  VIA ROMA 1
//   2   DEROSSI LUCA               0331 22                                      N     0   VARESE
//   3   BIANCHI ANNA                          +39 333 9876543  anna@bianchi.it  ''    3   TORINO
//   4   VERDI SRL     02 555       338 000                     info@verdi.it    S     2   MILANO  CORSO COMO 5 GIULIA
//   5   NERI PAOLO    06 777                                                    N     0   ROMA
// ROSSI MARIO has one listing (101, appointment A1) and three requests (201-203, appointment A2 on 202); VERDI SRL
// has listing 102 and request 204 with appointments A3 and A4.
void agenzia(TempDatabase &d)
{
    const char *clienti[] = {
        "(1,'ROSSI MARIO','335 1234567',NULL,NULL,'mario@rossi.it','S',1,'MILANO','VIA ROMA 1',NULL,'Cliente storico')",
        "(2,'DEROSSI LUCA',NULL,'0331 22',NULL,NULL,'N',0,'VARESE',NULL,NULL,NULL)",
        "(3,'BIANCHI ANNA',NULL,NULL,'+39 333 9876543','anna@bianchi.it','',3,'TORINO',NULL,NULL,NULL)",
        "(4,'VERDI SRL','02 555','338 000',NULL,'info@verdi.it','S',2,'MILANO','CORSO COMO 5','GIULIA',NULL)",
        "(5,'NERI PAOLO','06 777',NULL,NULL,NULL,'N',0,'ROMA',NULL,NULL,NULL)",
    };
    for (const char *c : clienti)
        d.exec(QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR,TELEFONO1,TELEFONO2,TELEFONO3,EMAIL,PROPRIETARIO,"
                              "TEL_X_SMS,CITTA,INDIRIZZO,REFERENTE,NOTE) values ") +
               QLatin1String(c));
    for (auto [id, cliente] : {std::pair{101, 1}, std::pair{102, 4}})
        d.exec(QStringLiteral("insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE,ID_CLIENTE,ID_COMUNE,"
                              "ID_TIPOLOGIA_IMMOBILE,ID_TIPOLOGIA_ANNUNCIO,RIFERIMENTO,PREZZO,ELIMINATO,FOTOSN,"
                              "DATA_INSERIMENTO) values (%1,%2,15146,1,1,'R%1',100000,'N','N','2024-03-01')")
                   .arg(id)
                   .arg(cliente));
    for (auto [id, cliente] : {std::pair{201, 1}, std::pair{202, 1}, std::pair{203, 1}, std::pair{204, 4}}) {
        d.exec(QStringLiteral("insert into RICHIESTE (ID_RICHIESTA,ID_CLIENTE,PREZZO_MIN,PREZZO_MAX,MQ_MIN,MQ_MAX,"
                              "NR_LOCALI_MIN,NR_LOCALI_MAX,NR_SERVIZI_MIN,NR_SERVIZI_MAX,NR_CAMERE_MIN,NR_CAMERE_MAX,"
                              "DATA_ULT_MODIFICA) values (%1,%2,0,0,0,0,0,0,0,0,0,0,'2024-03-02')")
                   .arg(id)
                   .arg(cliente));
        d.exec(QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA,ID_COMUNE) values (%1,15146)").arg(id));
    }
    const char *appuntamenti[] = {"('A1',101,0)", "('A2',0,202)", "('A3',102,0)", "('A4',0,204)"};
    for (const char *a : appuntamenti)
        d.exec(QStringLiteral("insert into APPUNTAMENTI (ID,ID_ANNUNCIO_IMMOBILE,ID_RICHIESTA,INIZIO,FINE) values ") +
               QString::fromLatin1(a).chopped(1) + QStringLiteral(",'2024-05-01 10:00','2024-05-01 11:00')"));
}

class Programma
{
public:
    explicit Programma(TempDatabase &d) : main(d.folder()) {}
    ~Programma() { chiudiTutto(main); }
    bool avvia() { return tavo::test::schermate::avvia(main); }
    TFormRicercaClienti *ricerca() const
    {
        return qobject_cast<TFormRicercaClienti *>(main.finestraAperta(QStringLiteral("TFormRicercaClienti")));
    }
    TFormMain main;
};

// The descriptions in the grid's order.
QStringList descrizioni(const TFormRicercaClienti *f)
{
    QStringList d;
    for (int r = 0; r < f->modello()->rowCount(); ++r)
        d << f->modello()->valore(r, QStringLiteral("DESCR"));
    return d;
}

QStringList ordinate(QStringList l)
{
    l.sort();
    return l;
}

bool vaiA(TFormRicercaClienti *f, const QString &descr)
{
    const int r = descrizioni(f).indexOf(descr);
    return r >= 0 && f->vaiAlCliente(f->modello()->idCliente(r));
}

QAction *voce(const TFormRicercaClienti *f, const char *nome)
{
    return f->PopupMenuClienti->findChild<QAction *>(QLatin1String(nome));
}

int conta(TempDatabase &d, const QString &sql)
{
    return d.scalar(sql).toInt();
}

} // namespace

class TestRicercaClienti : public QObject
{
    Q_OBJECT

private:
    Impostazioni m_impostazioni;

private slots:
    void init() { m_impostazioni.nuove(); }

    void apreElencoEComandi()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d);
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaClienti *f = TFormRicercaClienti::ApriRicerca();
        QCOMPARE(p.ricerca(), f);
        QCOMPARE(TFormRicercaClienti::ApriRicerca(), f); // one instance
        QCOMPARE(f->finestra()->windowTitle(), QStringLiteral("Ricerca Clienti"));
        QCOMPARE(descrizioni(f),
                 (QStringList{"ROSSI MARIO", "DEROSSI LUCA", "BIANCHI ANNA", "VERDI SRL", "NERI PAOLO"}));
        QCOMPARE(f->sql(), (QStringList{"select * from CLIENTI", "", "order by ID_CLIENTE"}));
        QCOMPARE(f->idClienteCorrente(), 1); // first row
        QVERIFY(f->RadioTutti->isChecked());
        QCOMPARE(f->EditProprietari->title(), QStringLiteral("Proprietari"));

        // The grid's columns and titles, in order.
        QStringList titoli;
        const QHeaderView *h = f->DBGridClienti->horizontalHeader();
        for (int v = 0; v < h->count(); ++v)
            titoli << f->modello()->headerData(h->logicalIndex(v), Qt::Horizontal).toString();
        QCOMPARE(titoli, (QStringList{"Cognome e Nome o Ragione Sociale", "Telefono 1", "Telefono 2", "Telefono 3",
                                      "Fax", "EMail", "Indirizzo", "CAP", "Città", "Prov.", "Partita IVA",
                                      "Codice Fiscale", "Referente", "Sito Web", "Proprietario", "Note"}));
        QCOMPARE(f->DBGridClienti->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(f->DBGridClienti->voceDefault(), f->MenuVaialCliente);

        // What works now, and what waits for its screen or for the options.
        QVERIFY(f->ButtonCliente->isEnabled());
        QVERIFY(f->ButtonNuovoCliente->isEnabled());
        QVERIFY(f->ButtonEliminaCliente->isEnabled());
        QVERIFY(f->MenuEliminaCliente->isEnabled());
        QVERIFY(f->ButtonAnnunci->isEnabled()); // the listing and request searches are part of the program
        QVERIFY(f->ButtonRichieste->isEnabled());
        QVERIFY(!f->ButtonAppuntamenti->isEnabled());
        QVERIFY(!f->MenuVaiagliAppuntamenti->isEnabled());
        QVERIFY(!f->MenuInviaEMail->menuAction()->isEnabled()); // no SMTP server in the options
        QVERIFY(!f->MenuInviaSMS->menuAction()->isEnabled());
        QVERIFY(voce(f, "MenuEsportainHTML")->isEnabled());
        for (const char *nome : {"MenuEsportainMSExcel", "MenuEsportainCSV", "MenuEsportainXML"}) {
            QVERIFY(voce(f, nome));
            QVERIFY(!voce(f, nome)->isEnabled());
        }
        Doppi doppi;
        doppi.registra<TRicercaRichiesteFinta>(QStringLiteral("TFormRicercaRichieste"));
        doppi.registra<TFormRicercaAnnunci>(QStringLiteral("TFormRicercaAnnunci"));
        f->AggiornaPulsanti();
        QVERIFY(f->ButtonAnnunci->isEnabled());
        QVERIFY(f->MenuVaialleRichieste->isEnabled());

        // Filtered down to nothing, the row commands go off.
        QTest::keyClicks(f->EditDescr, QStringLiteral("nessuno"));
        QCOMPARE(descrizioni(f), QStringList());
        QCOMPARE(f->idClienteCorrente(), 0);
        for (QObject *o : std::initializer_list<QObject *>{f->ButtonCliente, f->MenuVaialCliente,
                                                           f->ButtonEliminaCliente, f->MenuEliminaCliente,
                                                           f->ButtonAnnunci, f->MenuVaiagliAnnunci, f->ButtonRichieste,
                                                           f->MenuVaialleRichieste, voce(f, "MenuEsportainHTML")})
            QVERIFY2(!o->property("enabled").toBool(), qPrintable(o->objectName()));
        QVERIFY(f->ButtonNuovoCliente->isEnabled());
        QVERIFY(f->ButtonUscita->isEnabled());
        // Nothing to act on: the commands do nothing.
        f->MenuEliminaCliente->trigger();
        QVERIFY(ui.mostrati.isEmpty());

        // Escape closes it.
        QTest::keyClick(f->DBGridClienti, Qt::Key_Escape);
        elaboraEliminazioni();
        QVERIFY(!p.ricerca());
    }

    void filtri_data()
    {
        QTest::addColumn<QString>("campo"); // the edit typed into ("" none)
        QTest::addColumn<QString>("testo"); // typed
        QTest::addColumn<QString>("radio"); // "" leaves "Tutti"
        QTest::addColumn<QStringList>("attesi");
        QTest::addColumn<QString>("riga");
        const QString telefono = QStringLiteral("where (upper(TELEFONO1) like :TELEFONO or upper(TELEFONO2) like "
                                                ":TELEFONO or upper(TELEFONO3) like :TELEFONO)");
        QTest::newRow("phone 33: the numbers that start with it")
            << "EditTelefono"
            << "33"
            << "" << QStringList{"ROSSI MARIO", "VERDI SRL"} << telefono;
        QTest::newRow("phone 033") << "EditTelefono"
                                   << "033"
                                   << "" << QStringList{"DEROSSI LUCA"} << telefono;
        QTest::newRow("phone +39 33") << "EditTelefono"
                                      << "+39 33"
                                      << "" << QStringList{"BIANCHI ANNA"} << telefono;
        QTest::newRow("description ross, typed in small letters")
            << "EditDescr"
            << "ross"
            << "" << QStringList{"DEROSSI LUCA", "ROSSI MARIO"} << "where upper(DESCR) like :DESCR";
        QTest::newRow("e-mail") << "EditEMail"
                                << "@verdi"
                                << "" << QStringList{"VERDI SRL"} << "where upper(EMAIL) like :EMAIL";
        QTest::newRow("address") << "EditIndirizzo"
                                 << "via"
                                 << "" << QStringList{"ROSSI MARIO"} << "where upper(INDIRIZZO) like :INDIRIZZO";
        QTest::newRow("contact person") << "EditReferente"
                                        << "giu"
                                        << "" << QStringList{"VERDI SRL"} << "where upper(REFERENTE) like :REFERENTE";
        QTest::newRow("owners") << ""
                                << ""
                                << "RadioProprietari" << QStringList{"ROSSI MARIO", "VERDI SRL"}
                                << "where upper(PROPRIETARIO)='S'";
        QTest::newRow("non owners: an empty flag is not N")
            << ""
            << ""
            << "RadioNonProprietari" << QStringList{"DEROSSI LUCA", "NERI PAOLO"} << "where upper(PROPRIETARIO)='N'";
        QTest::newRow("city and owners") << "EditCitta"
                                         << "milano"
                                         << "RadioNonProprietari" << QStringList()
                                         << "where upper(CITTA) like :CITTA and upper(PROPRIETARIO)='N'";
    }
    void filtri()
    {
        QFETCH(QString, campo);
        QFETCH(QString, testo);
        QFETCH(QString, radio);
        QFETCH(QStringList, attesi);
        QFETCH(QString, riga);
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d);
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaClienti *f = TFormRicercaClienti::ApriRicerca();
        if (!campo.isEmpty()) {
            auto *e = f->findChild<QLineEdit *>(campo);
            QTest::keyClicks(e, testo);
            QCOMPARE(e->text(), testo.toUpper());
        }
        if (!radio.isEmpty())
            f->findChild<QRadioButton *>(radio)->click();
        QCOMPARE(ordinate(descrizioni(f)), attesi);
        QCOMPARE(f->sql().at(1), riga);
        QCOMPARE(f->ButtonCliente->isEnabled(), !attesi.isEmpty());

        // "Azzera Filtri": every text empty, "Tutti", the whole list, the focus on the description.
        f->ButtonAzzeraFiltri->click();
        QCOMPARE(f->filtri(), FiltriRicercaClienti());
        QVERIFY(f->RadioTutti->isChecked());
        QCOMPARE(descrizioni(f).size(), 5);
        QCOMPARE(f->sql().at(1), QString());
        QTRY_VERIFY(f->EditDescr->hasFocus());
        QVERIFY(ui.mostrati.isEmpty());
    }

    void rifiltroTieneIlClienteCorrente()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d);
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaClienti *f = TFormRicercaClienti::ApriRicerca();
        QVERIFY(vaiA(f, QStringLiteral("VERDI SRL")));
        QTest::keyClicks(f->EditCitta, QStringLiteral("MI"));
        QCOMPARE(descrizioni(f), (QStringList{"ROSSI MARIO", "VERDI SRL"}));
        QCOMPARE(f->idClienteCorrente(), 4);
        // The current client filtered out: the first row.
        QTest::keyClicks(f->EditDescr, QStringLiteral("ROSSI"));
        QCOMPARE(f->idClienteCorrente(), 1);

        // A listing save elsewhere: Rifiltra reads the list again.
        d.exec(QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR,CITTA) values (9,'ROSSINI','MILANO')"));
        QVERIFY(QMetaObject::invokeMethod(f, "Rifiltra", Qt::DirectConnection));
        QCOMPARE(descrizioni(f), (QStringList{"ROSSI MARIO", "ROSSINI"}));
        QCOMPARE(f->idClienteCorrente(), 1);
    }

    void ordinamento()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d);
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaClienti *f = TFormRicercaClienti::ApriRicerca();
        auto *intestazione = qobject_cast<tavo::TIntestazioneGriglia *>(f->DBGridClienti->horizontalHeader());
        QVERIFY(vaiA(f, QStringLiteral("NERI PAOLO")));

        // A click on the title itself: ascending, in the database.
        const int sezione = f->DBGridClienti->sezioneColonna(QStringLiteral("DESCR"));
        const QRect r(intestazione->sectionViewportPosition(sezione), 0, intestazione->sectionSize(sezione),
                      intestazione->height());
        QTest::mouseClick(intestazione->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(f->sql().at(2), QStringLiteral("order by DESCR"));
        QCOMPARE(descrizioni(f),
                 (QStringList{"BIANCHI ANNA", "DEROSSI LUCA", "NERI PAOLO", "ROSSI MARIO", "VERDI SRL"}));
        QCOMPARE(intestazione->sezioneMarcata(), sezione);
        QCOMPARE(f->idClienteCorrente(), 5); // the same client stays current
        f->DBGridClientiTitleClick(QStringLiteral("DESCR"));
        QCOMPARE(f->sql().at(2), QStringLiteral("order by DESCR desc"));
        QCOMPARE(descrizioni(f).first(), QStringLiteral("VERDI SRL"));
        // Another column keeps the direction.
        f->DBGridClientiTitleClick(QStringLiteral("CITTA"));
        QCOMPARE(f->sql().at(2), QStringLiteral("order by CITTA desc"));
        QCOMPARE(descrizioni(f).first(), QStringLiteral("DEROSSI LUCA")); // VARESE
        // The same column three times from none: back to ID_CLIENTE.
        f->DBGridClientiTitleClick(QStringLiteral("CITTA"));
        QCOMPARE(f->sql().at(2), QStringLiteral("order by ID_CLIENTE"));
        QCOMPARE(descrizioni(f),
                 (QStringList{"ROSSI MARIO", "DEROSSI LUCA", "BIANCHI ANNA", "VERDI SRL", "NERI PAOLO"}));
        QCOMPARE(intestazione->sezioneMarcata(), -1);
        for (int i = 0; i < 3; ++i)
            f->DBGridClientiTitleClick(QStringLiteral("DESCR"));
        QCOMPARE(f->sql().at(2), QStringLiteral("order by ID_CLIENTE"));
        QCOMPARE(f->idClienteCorrente(), 5);

        // A filter keeps the sort; the sort keeps the filter.
        f->DBGridClientiTitleClick(QStringLiteral("DESCR"));
        f->DBGridClientiTitleClick(QStringLiteral("DESCR"));
        QTest::keyClicks(f->EditDescr, QStringLiteral("ROSS"));
        QCOMPARE(descrizioni(f), (QStringList{"ROSSI MARIO", "DEROSSI LUCA"}));
        QVERIFY(ui.mostrati.isEmpty());

        // Stored on closing, applied at the next showing without advancing.
        f->finestra()->close();
        elaboraEliminazioni();
        auto s = tavo::impostazioni(QStringLiteral("FormRicercaClienti"));
        QCOMPARE(s->value(QStringLiteral("SortedColumn")).toString(), QStringLiteral("DESCR"));
        QCOMPARE(s->value(QStringLiteral("SortMarker")).toInt(), 2);
        QVERIFY(s->value(QStringLiteral("Posizione")).toRect().isValid());
        f = TFormRicercaClienti::ApriRicerca();
        QCOMPARE(f->sql().at(2), QStringLiteral("order by DESCR desc"));
        QCOMPARE(descrizioni(f).first(), QStringLiteral("VERDI SRL"));
        QCOMPARE(f->idClienteCorrente(), 4);
        intestazione = qobject_cast<tavo::TIntestazioneGriglia *>(f->DBGridClienti->horizontalHeader());
        QCOMPARE(intestazione->sezioneMarcata(), f->DBGridClienti->sezioneColonna(QStringLiteral("DESCR")));

        // A stored column that is not one of the grid's never reaches the statement.
        f->finestra()->close();
        elaboraEliminazioni();
        s->setValue(QStringLiteral("SortedColumn"), QStringLiteral("DESCR; delete from CLIENTI"));
        s->sync();
        f = TFormRicercaClienti::ApriRicerca();
        QCOMPARE(f->sql().at(2), QStringLiteral("order by ID_CLIENTE"));
        QCOMPARE(descrizioni(f).size(), 5);
        QVERIFY(ui.mostrati.isEmpty());
    }

    void eliminazione_data()
    {
        QTest::addColumn<QList<int>>("risposte"); // QMessageBox::Yes / No, in order
        QTest::addColumn<bool>("eliminato");
        const int si = QMessageBox::Yes, no = QMessageBox::No;
        QTest::newRow("no to the first question") << QList<int>{no} << false;
        QTest::newRow("no to the listings") << QList<int>{si, no} << false;
        QTest::newRow("no to the requests") << QList<int>{si, si, no} << false;
        QTest::newRow("yes three times") << QList<int>{si, si, si} << true;
    }
    void eliminazione()
    {
        QFETCH(QList<int>, risposte);
        QFETCH(bool, eliminato);
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d);
        Doppi doppi;
        Programma p(d);
        QVERIFY(p.avvia());
        // The four screens that go with a deletion, open; the match tables open.
        p.main.ApriFinestra<TFormInsVarAnnunci>()->CaricaAnnuncio(0);
        TFormRicercaAnnunci::ApriElencoCompleto();
        p.main.ApriFinestra(QStringLiteral("TFormRicercaRichieste"), [] { return new TRicercaRichiesteFinta; });
        p.main.ApriFinestra(QStringLiteral("TFormInsVarRichieste"), [] { return new TEditorRichiesteFinto; });
        tavo::TDataModuleQueryComposte *dm = p.main.DataModuleQueryComposte();
        dm->MemTableRichieste()->open();
        QVERIFY(dm->MemTableAnnunci()->isOpen());

        TFormRicercaClienti *f = TFormRicercaClienti::ApriRicerca();
        f->DBGridClientiTitleClick(QStringLiteral("DESCR"));
        QVERIFY(vaiA(f, QStringLiteral("ROSSI MARIO")));
        for (int r : risposte)
            ui.prossimaRisposta(QMessageBox::StandardButton(r));
        f->ButtonEliminaCliente->click();

        const QString spazi(25, QLatin1Char(' '));
        const QStringList domande{
            QStringLiteral("Conferma l'eliminazione del cliente \"ROSSI MARIO\"?\n\nATTENZIONE! L'eliminazione è "
                           "IRREVERSIBILE e comporta l'eliminazione di tutti gli annunci, richieste e appuntamenti "
                           "eventualmente associati al Cliente!"),
            QStringLiteral("ATTENZIONE! Proseguendo con l'eliminazione del cliente\n\n\"ROSSI MARIO\",\n\nverrà "
                           "eliminato anche\n\n") +
                spazi + QStringLiteral("UN annuncio.\n\nConferma questa operazione?"),
            QStringLiteral("ATTENZIONE! Proseguendo con l'eliminazione del cliente\n\n\"ROSSI MARIO\",\n\nverranno "
                           "eliminate anche\n\n") +
                spazi + QStringLiteral("3 richieste.\n\nConferma questa operazione?")};
        QCOMPARE(ui.mostrati.size(), risposte.size());
        for (int i = 0; i < risposte.size(); ++i) {
            const ScriptedUiService::Mostrato &m = ui.mostrati.at(i);
            QCOMPARE(m.tipo, QStringLiteral("domanda"));
            QCOMPARE(m.titolo, QStringLiteral("Eliminazione Cliente"));
            QCOMPARE(m.testo, domande.at(i));
            QCOMPARE(m.icona, UiService::Icona::Avviso);
            QCOMPARE(m.tipoPulsanti, int(QMessageBox::Yes | QMessageBox::No));
            QCOMPARE(m.pulsanti, QStringList{QString::number(int(QMessageBox::No))}); // No is the default
        }
        elaboraEliminazioni();

        const QStringList classi{"TFormRicercaRichieste", "TFormInsVarRichieste", "TFormRicercaAnnunci",
                                 "TFormInsVarAnnunci"};
        if (!eliminato) {
            QCOMPARE(conta(d, QStringLiteral("select count(*) from CLIENTI")), 5);
            QCOMPARE(conta(d, QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")), 2);
            QCOMPARE(descrizioni(f).size(), 5);
            for (const QString &c : classi)
                QVERIFY2(p.main.finestraAperta(c), qPrintable(c));
            QVERIFY(dm->MemTableAnnunci()->isOpen());
            return;
        }
        // Only ROSSI MARIO and what hangs on him are gone.
        QCOMPARE(conta(d, QStringLiteral("select count(*) from CLIENTI where ID_CLIENTE=1")), 0);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from CLIENTI")), 4);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from ANNUNCI_IMMOBILI where ID_CLIENTE=1")), 0);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE where ID_CLIENTE=1")), 0);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_COMUNI where ID_RICHIESTA<204")), 0);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from APPUNTAMENTI where ID in ('A1','A2')")), 0);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from ANNUNCI_IMMOBILI where ID_ANNUNCIO_IMMOBILE=102")), 1);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE where ID_RICHIESTA=204")), 1);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_COMUNI where ID_RICHIESTA=204")), 1);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from APPUNTAMENTI where ID in ('A3','A4')")), 2);
        // Committed: another connection sees it.
        {
            db::Database altro;
            altro.open(d.path(), TempDatabase::user(), TempDatabase::password());
            db::Transaction tr(altro);
            db::Query q(tr, QStringLiteral("select count(*) N from CLIENTI"));
            QVERIFY(q.first());
            QCOMPARE(q.integer(QStringLiteral("N")), 4);
        }
        // The row left the list (sorted by description: the next one is current), the others stay in order.
        QCOMPARE(descrizioni(f), (QStringList{"BIANCHI ANNA", "DEROSSI LUCA", "NERI PAOLO", "VERDI SRL"}));
        QCOMPARE(f->idClienteCorrente(), 4);
        for (const QString &c : classi)
            QVERIFY2(!p.main.finestraAperta(c), qPrintable(c));
        QVERIFY(!dm->MemTableAnnunci()->isOpen());
        QVERIFY(!dm->MemTableRichieste()->isOpen());

        // A client without listings or requests: one question only.
        QVERIFY(vaiA(f, QStringLiteral("NERI PAOLO")));
        ui.mostrati.clear();
        ui.prossimaRisposta(QMessageBox::Yes);
        f->MenuEliminaCliente->trigger();
        QCOMPARE(ui.mostrati.size(), 1);
        QCOMPARE(descrizioni(f), (QStringList{"BIANCHI ANNA", "DEROSSI LUCA", "VERDI SRL"}));
        QCOMPARE(f->idClienteCorrente(), 4); // the next row becomes current
        QCOMPARE(conta(d, QStringLiteral("select count(*) from CLIENTI")), 3);
    }

    void eliminazioneFermataDaUnaSchermataCheNonSiChiude()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d);
        Programma p(d);
        QVERIFY(p.avvia());
        // The request editor with unsaved changes whose close question is answered Cancel.
        QWidget *editor =
            p.main.ApriFinestra(QStringLiteral("TFormInsVarRichieste"), [] { return new TSchermataOstinata; });
        TFormRicercaClienti *f = TFormRicercaClienti::ApriRicerca();
        QVERIFY(vaiA(f, QStringLiteral("VERDI SRL")));
        for (int i = 0; i < 3; ++i)
            ui.prossimaRisposta(QMessageBox::Yes);
        f->ButtonEliminaCliente->click();
        QCOMPARE(ui.conta(QStringLiteral("domanda")), 3);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from CLIENTI where ID_CLIENTE=4")), 1);
        QCOMPARE(descrizioni(f).size(), 5);
        QCOMPARE(p.main.finestraAperta(QStringLiteral("TFormInsVarRichieste")), editor);
        static_cast<QWidget *>(editor->parentWidget())->setAttribute(Qt::WA_DeleteOnClose, false);
        delete editor->parentWidget();
    }

    void eliminazioneRifiutataDalDatabase()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d);
        d.exec(QStringLiteral("create exception E_NO 'Cliente bloccato'"));
        d.exec(QStringLiteral("create trigger BLOCCA for CLIENTI before delete as begin exception E_NO; end"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaClienti *f = TFormRicercaClienti::ApriRicerca();
        QVERIFY(vaiA(f, QStringLiteral("NERI PAOLO")));
        ui.prossimaRisposta(QMessageBox::Yes);
        f->ButtonEliminaCliente->click();
        QCOMPARE(ui.ultimo().tipo, QStringLiteral("messaggio"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Errore);
        QVERIFY(ui.ultimo().testo.contains(QStringLiteral("Cliente bloccato")));
        QCOMPARE(descrizioni(f).size(), 5);
        QCOMPARE(f->idClienteCorrente(), 5);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from CLIENTI")), 5);
    }

    void invioEmail()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d);
        d.exec(QStringLiteral("update OPZIONI set SMTP_SERVER='smtp.agenzia.it' where ID=0"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaClienti *f = TFormRicercaClienti::ApriRicerca();
        QVERIFY(f->MenuInviaEMail->menuAction()->isEnabled());
        QVERIFY(f->MenuInviaEMailClienteCorrente->isEnabled());

        // Every client shown that has an e-mail, in the grid's order; the current row stays.
        f->DBGridClientiTitleClick(QStringLiteral("DESCR"));
        QVERIFY(vaiA(f, QStringLiteral("NERI PAOLO")));
        f->MenuInviaEMailTuttiClienti->trigger();
        QCOMPARE(ui.posta.size(), 1);
        QStringList destinatari;
        for (const tavo::MessaggioPosta::Destinatario &dd : ui.posta.first().destinatari)
            destinatari << dd.nome + QStringLiteral(" <") + dd.indirizzo + QLatin1Char('>');
        QCOMPARE(destinatari, (QStringList{"BIANCHI ANNA <anna@bianchi.it>", "ROSSI MARIO <mario@rossi.it>",
                                           "VERDI SRL <info@verdi.it>"}));
        QCOMPARE(f->idClienteCorrente(), 5);

        // The current client has no e-mail.
        f->MenuInviaEMailClienteCorrente->trigger();
        QCOMPARE(ui.posta.size(), 1);
        QCOMPARE(ui.ultimo().tipo, QStringLiteral("messaggio"));
        QCOMPARE(ui.ultimo().titolo, QStringLiteral("Ricerca Clienti"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Errore);
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Impossibile inviare un'Email al Cliente corrente"));

        // The current client has one.
        QVERIFY(vaiA(f, QStringLiteral("VERDI SRL")));
        f->MenuInviaEMailClienteCorrente->trigger();
        QCOMPARE(ui.posta.size(), 2);
        QCOMPARE(ui.posta.last().destinatari.size(), 1);
        QCOMPARE(ui.posta.last().destinatari.first().nome, QStringLiteral("VERDI SRL"));
        QCOMPARE(ui.posta.last().destinatari.first().indirizzo, QStringLiteral("info@verdi.it"));

        // Nobody shown has one.
        f->RadioNonProprietari->click();
        f->MenuInviaEMailTuttiClienti->trigger();
        QCOMPARE(ui.posta.size(), 2);
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Nessun cliente a cui inviare un'Email"));
    }

    void invioSms()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d);
        d.exec(QStringLiteral(
            "update OPZIONI set SMS_TIPO=0,SMS_ACCOUNT='agenzia@mail.it',SMS_DOMAIN='sms.gestore.it' where ID=0"));
        {
            Programma p(d);
            QVERIFY(p.avvia());
            TFormRicercaClienti *f = TFormRicercaClienti::ApriRicerca();
            QVERIFY(f->MenuInviaSMS->menuAction()->isEnabled());
            QVERIFY(!f->MenuInviaEMail->menuAction()->isEnabled());
            f->MenuInviaSMSTuttiClienti->trigger();
            QCOMPARE(ui.posta.size(), 1);
            QStringList indirizzi;
            for (const tavo::MessaggioPosta::Destinatario &dd : ui.posta.first().destinatari)
                indirizzi << dd.nome + QLatin1Char('=') + dd.indirizzo;
            QCOMPARE(indirizzi,
                     (QStringList{"ROSSI MARIO=3351234567@sms.gestore.it", "BIANCHI ANNA=393339876543@sms.gestore.it",
                                  "VERDI SRL=338000@sms.gestore.it"}));
            QVERIFY(vaiA(f, QStringLiteral("DEROSSI LUCA")));
            f->MenuInviaSMSClienteCorrente->trigger();
            QCOMPARE(ui.ultimo().testo, QStringLiteral("Impossibile inviare un SMS al Cliente corrente"));
            QTest::keyClicks(f->EditDescr, QStringLiteral("NERI"));
            f->MenuInviaSMSTuttiClienti->trigger();
            QCOMPARE(ui.ultimo().testo, QStringLiteral("Nessun cliente a cui inviare un SMS"));
            QCOMPARE(ui.posta.size(), 1);
        }
        // The HTTP gateway's SMS screen is not part of the program: its entries stay off.
        d.exec(QStringLiteral("update OPZIONI set SMS_TIPO=1 where ID=0"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaClienti *f = TFormRicercaClienti::ApriRicerca();
        QVERIFY(!f->MenuInviaSMS->menuAction()->isEnabled());
        QVERIFY(!f->MenuInviaSMSTuttiClienti->isEnabled());
    }

    void sceltaDelClientePerGliEditorELaRicercaRichieste()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d);
        Doppi doppi;
        doppi.registra<TFormRicercaClienti>(QStringLiteral("TFormRicercaClienti"));
        Programma p(d);
        QVERIFY(p.avvia());
        // The real listing editor asks for a client with "Cerca Cliente".
        auto *annuncio = p.main.ApriFinestra<TFormInsVarAnnunci>();
        annuncio->CaricaAnnuncio(0);
        auto *editorRichieste = qobject_cast<TEditorRichiesteFinto *>(
            p.main.ApriFinestra(QStringLiteral("TFormInsVarRichieste"), [] { return new TEditorRichiesteFinto; }));
        auto *ricercaRichieste = qobject_cast<TRicercaRichiesteFinta *>(
            p.main.ApriFinestra(QStringLiteral("TFormRicercaRichieste"), [] { return new TRicercaRichiesteFinta; }));
        QVERIFY(annuncio->ButtonCercaCliente->isEnabled());
        annuncio->ButtonCercaCliente->click();
        TFormRicercaClienti *f = p.ricerca();
        QVERIFY(f);
        QVERIFY(f->modalitaScelta());
        QCOMPARE(f->ButtonCliente->text(), QStringLiteral("Scegli Cliente"));
        QCOMPARE(f->MenuVaialCliente->text(), QStringLiteral("Scegli Cliente"));

        // A double click on VERDI SRL's row chooses it.
        QVERIFY(vaiA(f, QStringLiteral("VERDI SRL")));
        const QRect cella = f->DBGridClienti->visualRect(f->modello()->index(3, 0));
        g_chiamate.clear();
        QTest::mouseDClick(f->DBGridClienti->viewport(), Qt::LeftButton, {}, cella.center());
        elaboraEliminazioni();
        QVERIFY(!p.ricerca());
        QCOMPARE(annuncio->EditCliente->currentData().toInt(), 4);
        QVERIFY(annuncio->modificato());
        QCOMPARE(editorRichieste->EditCliente->currentData().toInt(), 4);
        QCOMPARE(ricercaRichieste->EditCliente->currentData().toInt(), 4);
        // In this order, and the lists changed with their signals blocked.
        QCOMPARE(g_chiamate, (QStringList{"editor richieste: CaricaClienti", "editor richieste: EditClienteClick 4",
                                          "ricerca richieste: AggiornaListe", "ricerca richieste: FiltroChange 4"}));
        QVERIFY(!p.main.finestraAperta(QStringLiteral("TFormInsVarClienti")));

        // Opened again, the window is a plain search; a locked client list keeps its client.
        editorRichieste->EditCliente->setEnabled(false);
        f = TFormRicercaClienti::ApriRicerca();
        QVERIFY(!f->modalitaScelta());
        QCOMPARE(f->MenuVaialCliente->text(), QStringLiteral("Vai al Cliente"));
        f->ButtonCliente->setProperty("tag", 1);
        f->ButtonCliente->setText(QStringLiteral("Scegli Cliente"));
        QVERIFY(vaiA(f, QStringLiteral("NERI PAOLO")));
        g_chiamate.clear();
        f->ButtonCliente->click();
        QCOMPARE(editorRichieste->EditCliente->currentData().toInt(), 4);
        QCOMPARE(annuncio->EditCliente->currentData().toInt(), 5);
        QCOMPARE(g_chiamate.first(), QStringLiteral("editor richieste: CaricaClienti"));
        QVERIFY(!g_chiamate.contains(QStringLiteral("editor richieste: EditClienteClick 5")));
        annuncio->impostaModificato(false);
    }

    void vaiAlClienteENuovoCliente()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d);
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaClienti *f = TFormRicercaClienti::ApriRicerca();
        QVERIFY(vaiA(f, QStringLiteral("BIANCHI ANNA")));
        QTest::keyClick(f->DBGridClienti, Qt::Key_Return); // the default entry
        auto *editor = qobject_cast<TFormInsVarClienti *>(p.main.finestraAperta(QStringLiteral("TFormInsVarClienti")));
        QVERIFY(editor);
        QCOMPARE(editor->idCliente(), 3);
        QCOMPARE(editor->EditDescr->text(), QStringLiteral("BIANCHI ANNA"));

        // Saved with another description: the search reloads and goes to it, keeping its sort.
        f->DBGridClientiTitleClick(QStringLiteral("DESCR"));
        editor->EditDescr->setText(QStringLiteral("ZANARDI ANNA"));
        editor->ButtonConferma->click();
        elaboraEliminazioni();
        QCOMPARE(descrizioni(f),
                 (QStringList{"DEROSSI LUCA", "NERI PAOLO", "ROSSI MARIO", "VERDI SRL", "ZANARDI ANNA"}));
        QCOMPARE(f->idClienteCorrente(), 3);
        QCOMPARE(f->sql().at(2), QStringLiteral("order by DESCR"));

        // A client saved elsewhere is found by its description.
        d.exec(QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR) values (8,'MORI')"));
        f->AggiornaDopoSalvataggioCliente(QStringLiteral("MORI"));
        QCOMPARE(f->idClienteCorrente(), 8);

        f->ButtonNuovoCliente->click();
        editor = qobject_cast<TFormInsVarClienti *>(p.main.finestraAperta(QStringLiteral("TFormInsVarClienti")));
        QVERIFY(editor);
        QCOMPARE(editor->idCliente(), 0);
        QCOMPARE(editor->windowTitle(), QStringLiteral("Inserimento Clienti"));
    }

    void vaiAgliAnnunciEAlleRichieste()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d);
        Doppi doppi;
        doppi.registra<TFormRicercaAnnunci>(QStringLiteral("TFormRicercaAnnunci"));
        doppi.registra<TRicercaRichiesteFinta>(QStringLiteral("TFormRicercaRichieste"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaClienti *f = TFormRicercaClienti::ApriRicerca();

        QVERIFY(vaiA(f, QStringLiteral("NERI PAOLO")));
        f->ButtonAnnunci->click();
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Nessun annuncio per il cliente corrente"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Errore);
        QVERIFY(!p.main.finestraAperta(QStringLiteral("TFormRicercaAnnunci")));
        f->MenuVaialleRichieste->trigger();
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Nessuna richiesta per il cliente corrente"));
        QVERIFY(!p.main.finestraAperta(QStringLiteral("TFormRicercaRichieste")));

        QVERIFY(vaiA(f, QStringLiteral("VERDI SRL")));
        f->ButtonAnnunci->click();
        auto *annunci =
            qobject_cast<TFormRicercaAnnunci *>(p.main.finestraAperta(QStringLiteral("TFormRicercaAnnunci")));
        QVERIFY(annunci);
        QVERIFY(!annunci->modalitaElenco());
        QCOMPARE(annunci->EditCliente->currentData().toInt(), 4);
        QCOMPARE(annunci->EditCliente->currentText(), QStringLiteral("VERDI SRL"));
        QCOMPARE(annunci->DBGridAnnunci->voceDefault(), annunci->MenuVaiAllAnnuncio);
        tavo::TMemTable *t = p.main.DataModuleQueryComposte()->MemTableAnnunci();
        QCOMPARE(t->recordCount(), 1);
        QCOMPARE(t->value(QStringLiteral("RIFERIMENTO")).toString(), QStringLiteral("R102"));

        f = TFormRicercaClienti::ApriRicerca();
        QVERIFY(vaiA(f, QStringLiteral("ROSSI MARIO")));
        g_chiamate.clear();
        f->ButtonRichieste->click();
        QVERIFY(p.main.finestraAperta(QStringLiteral("TFormRicercaRichieste")));
        QCOMPARE(g_chiamate, QStringList{"ricerca richieste: MostraRichiesteCliente 1"});
    }

    void lucchettoScriveAutoForm()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d);
        auto autoForm = [&d] { return conta(d, QStringLiteral("select AUTO_FORM from OPZIONI where ID=0")); };
        {
            Programma p(d);
            QVERIFY(p.avvia());
            // The other two searches with their locks down.
            TFormRicercaAnnunci *annunci = TFormRicercaAnnunci::ApriElencoCompleto();
            annunci->SpeedButtonLock->click();
            QCOMPARE(autoForm(), 1);
            auto *richieste = qobject_cast<TRicercaRichiesteFinta *>(p.main.ApriFinestra(
                QStringLiteral("TFormRicercaRichieste"), [] { return new TRicercaRichiesteFinta; }));

            TFormRicercaClienti *f = TFormRicercaClienti::ApriRicerca();
            QVERIFY(!f->SpeedButtonLock->isChecked());
            QCOMPARE(f->SpeedButtonLock->toolTip(), QStringLiteral("Mantieni aperta alla prossima esecuzione"));
            f->SpeedButtonLock->click();
            QCOMPARE(autoForm(), 3);
            // Released without their own handlers (which would have written 0).
            QVERIFY(!annunci->SpeedButtonLock->isChecked());
            QVERIFY(!richieste->SpeedButtonLock->isChecked());
            QCOMPARE(richieste->scritture, 0);
            f->SpeedButtonLock->click();
            QCOMPARE(autoForm(), 0);
            f->SpeedButtonLock->click();
            QCOMPARE(autoForm(), 3);
        }
        // The next showing finds it pressed.
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaClienti *f = TFormRicercaClienti::ApriRicerca();
        QVERIFY(f->SpeedButtonLock->isChecked());
    }

    void esportazioneHtml()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d);
        Programma p(d);
        QVERIFY(p.avvia());
        // The main window's "Elenco Clienti": the list written to a temporary file and opened at once.
        TFormRicercaClienti *f = TFormRicercaClienti::ApriRicerca();
        QTest::keyClicks(f->EditCitta, QStringLiteral("MILANO"));
        QVERIFY(QMetaObject::invokeMethod(f, "EsportaInHTML", Qt::DirectConnection));
        QCOMPARE(ui.fileAperti.size(), 1);
        QVERIFY(!p.main.AperturaDiretta);
        QVERIFY(p.main.FileTemporanei.contains(ui.fileAperti.first()));
        QFile file(ui.fileAperti.first());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        QVERIFY(html.contains(QStringLiteral("<title>Tavo - Elenco Clienti</title>")));
        QStringList titoli;
        const QRegularExpression th(QStringLiteral("<th>([^<]*)</th>"));
        for (auto it = th.globalMatch(html); it.hasNext();)
            titoli << it.next().captured(1);
        QCOMPARE(titoli.size(), 16);
        QCOMPARE(titoli.first(), QStringLiteral("Cognome e Nome o Ragione Sociale"));
        QVERIFY(html.contains(QStringLiteral("<td>ROSSI MARIO</td>")));
        QVERIFY(html.contains(QStringLiteral("<td>VERDI SRL</td>")));
        QVERIFY(!html.contains(QStringLiteral("NERI PAOLO")));

        // The menu entry asks where to save, then offers to open the file.
        const QString salvato = d.folder() + QStringLiteral("/clienti.htm");
        ui.prossimoFile(salvato);
        ui.prossimoPulsante(3); // "Continua"
        voce(f, "MenuEsportainHTML")->trigger();
        QVERIFY(QFile::exists(salvato));
        QCOMPARE(ui.fileAperti.size(), 1);
    }

    void proprietariInBlu()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d);
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaClienti *f = TFormRicercaClienti::ApriRicerca();
        QVERIFY(vaiA(f, QStringLiteral("NERI PAOLO"))); // the rows looked at are not selected
        tavo::TSearchGrid *g = f->DBGridClienti;
        auto blu = [&](int riga, int colonna) {
            const QModelIndex indice = f->modello()->index(riga, colonna);
            g->scrollTo(indice);
            const QImage immagine = g->viewport()->grab().toImage();
            const QRect cella = g->visualRect(indice).intersected(immagine.rect());
            int n = 0;
            for (int y = cella.top(); y <= cella.bottom(); ++y)
                for (int x = cella.left(); x <= cella.right(); ++x) {
                    const QColor c = immagine.pixelColor(x, y);
                    n += c.blue() > 200 && c.red() < 120 && c.green() > 90 && c.green() < 190;
                }
            return n;
        };
        QVERIFY(blu(0, 0) > 0);  // ROSSI MARIO, owner
        QCOMPARE(blu(0, 15), 0); // his notes keep the normal colour
        QCOMPARE(blu(1, 0), 0);  // DEROSSI LUCA
        QCOMPARE(g->palette().color(QPalette::AlternateBase), g->palette().color(QPalette::ToolTipBase));
    }

    void elencoLungoLettoMentreScorre()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d);
        {
            db::Transaction tr(d.db());
            db::Query q(tr, QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR,EMAIL,PROPRIETARIO) values "
                                           "(:ID,:DESCR,:EMAIL,'N')"));
            for (int id = 1001; id <= 1250; ++id) {
                q.setParam(QStringLiteral("ID"), id);
                q.setParam(QStringLiteral("DESCR"), QStringLiteral("CLIENTE %1").arg(id));
                q.setParam(QStringLiteral("EMAIL"), QStringLiteral("c%1@posta.it").arg(id));
                q.exec();
            }
            tr.commit();
        }
        d.exec(QStringLiteral("update OPZIONI set SMTP_SERVER='smtp.agenzia.it' where ID=0"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaClienti *f = TFormRicercaClienti::ApriRicerca();
        const int blocco = tavo::TModelloRicercaClienti::Blocco;
        QCOMPARE(f->modello()->rowCount(), blocco);
        // Scrolled to the end, the grid reads the next block.
        f->DBGridClienti->scrollToBottom();
        QTRY_COMPARE(f->modello()->rowCount(), 2 * blocco);

        // A client saved far down the list is found.
        f->AggiornaDopoSalvataggioCliente(QStringLiteral("CLIENTE 1240"));
        QCOMPARE(f->idClienteCorrente(), 1240);
        QCOMPARE(f->modello()->rowCount(), 255);

        // A deletion while the list is read only in part, then the rest read.
        QVERIFY(vaiA(f, QStringLiteral("ROSSI MARIO")));
        QTest::keyClicks(f->EditDescr, QStringLiteral("CLIENTE"));
        QCOMPARE(f->modello()->rowCount(), blocco);
        QCOMPARE(f->idClienteCorrente(), 1001);
        QVERIFY(vaiA(f, QStringLiteral("CLIENTE 1003")));
        ui.prossimaRisposta(QMessageBox::Yes);
        f->ButtonEliminaCliente->click();
        QCOMPARE(conta(d, QStringLiteral("select count(*) from CLIENTI where ID_CLIENTE=1003")), 0);
        QCOMPARE(f->idClienteCorrente(), 1004);
        QCOMPARE(f->modello()->rowCount(), blocco - 1);

        // E-mail to every client shown: the rows not read yet included.
        f->MenuInviaEMailTuttiClienti->trigger();
        QCOMPARE(ui.posta.size(), 1);
        QCOMPARE(ui.posta.first().destinatari.size(), 249);
        QCOMPARE(ui.posta.first().destinatari.last().indirizzo, QStringLiteral("c1250@posta.it"));
        QCOMPARE(f->idClienteCorrente(), 1004);

        // The export too.
        QTest::keyClicks(f->EditDescr, QStringLiteral(" 1"));
        QCOMPARE(f->modello()->rowCount(), blocco);
        f->EsportaInHTML();
        QCOMPARE(ui.fileAperti.size(), 1);
        QFile file(ui.fileAperti.first());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()).count(QStringLiteral("<td>CLIENTE ")), 249);
        QCOMPARE(ui.conta(QStringLiteral("messaggio")), 0);
    }

    void etichetteIntereEIstantanea()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d);
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaClienti *f = TFormRicercaClienti::ApriRicerca();
        p.main.resize(1100, 780);
        f->finestra()->resize(980, 540);
        QTest::qWait(50);
        // Every caption shows whole at the opening size.
        for (QWidget *w : f->findChildren<QWidget *>()) {
            if (!w->isVisible())
                continue;
            if (auto *l = qobject_cast<QLabel *>(w))
                QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
            else if (qobject_cast<QPushButton *>(w) || qobject_cast<QRadioButton *>(w))
                QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(w->objectName()));
        }
        // A picture for looking at, when asked for.
        const QString cartella = qEnvironmentVariable("TAVO_ISTANTANEE");
        if (!cartella.isEmpty()) {
            QDir().mkpath(cartella);
            QVERIFY(vaiA(f, QStringLiteral("VERDI SRL")));
            f->DBGridClientiTitleClick(QStringLiteral("DESCR"));
            QVERIFY(f->finestra()->grab().save(cartella + QStringLiteral("/ricercaclienti.png")));
        }
    }
};

QTEST_MAIN(TestRicercaClienti)
#include "tst_ricercaclienti.moc"
