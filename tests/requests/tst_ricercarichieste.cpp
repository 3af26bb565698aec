// The request search driven offscreen as a user would: the main window started on a test database, the screen
// opened as the main window's commands open it, the filter panel used, the commands run through their buttons and
// menu entries, the results read from the grid, the match tables and the database. Screens not yet part of the
// program are stood in for by small doubles registered under their class names.

#include "scripteduiservice.h"
#include "tempdatabase.h"

#include "app/core/clock.h"
#include "app/core/impostazioni.h"
#include "app/frmMain.h"
#include "clients/frmInsVarClienti.h"
#include "data/demo.h"
#include "data/dmQueryComposte.h"
#include "listings/frmRicercaAnnunci.h"
#include "listings/registroschermate.h"
#include "requests/frmRicercaRichieste.h"
#include "widgets/searchgrid.h"

#include <QCalendarWidget>
#include <QDir>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <QToolTip>
#include <QtTest>

#include <algorithm>

using tavo::PeriodoPredefinito;
using tavo::UiService;
using tavo::test::ScriptedUiService;
using tavo::test::TempDatabase;
namespace db = tavo::db;

namespace {

const int Milano = 15146, Roma = 58091, Aquila = 66049, Torino = 1272;
const int Appartamento = 1, Bilocale = 3;
const int Vendita = 1, Affitto = 2;

// ---- Fixture --------------------------------------------------------------------------------------------------

void cliente(db::Transaction &tr, int id, const QVariant &descr, const QVariant &email)
{
    db::Query q(tr, QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR,EMAIL) values (:ID,:DESCR,:EMAIL)"));
    q.setParam(QStringLiteral("ID"), id);
    q.setParam(QStringLiteral("DESCR"), descr);
    q.setParam(QStringLiteral("EMAIL"), email);
    q.exec();
}

void richiesta(db::Transaction &tr, int id, int idCliente, const QList<int> &comuni, int tipImmobile, int tipAnnuncio,
               double prezzoMin, double prezzoMax, const QDateTime &data)
{
    db::Query q(tr, QStringLiteral("insert into RICHIESTE (ID_RICHIESTA,ID_CLIENTE,PREZZO_MIN,PREZZO_MAX,MQ_MIN,MQ_MAX,"
                                   "NR_LOCALI_MIN,NR_LOCALI_MAX,NR_SERVIZI_MIN,NR_SERVIZI_MAX,NR_CAMERE_MIN,"
                                   "NR_CAMERE_MAX,BOX_AUTO,DATA_ULT_MODIFICA) values (:ID,:CLIENTE,:MIN,:MAX,0,0,0,0,"
                                   "0,0,0,0,'',:DATA)"));
    q.setParam(QStringLiteral("ID"), id);
    q.setParam(QStringLiteral("CLIENTE"), idCliente);
    q.setParam(QStringLiteral("MIN"), prezzoMin);
    q.setParam(QStringLiteral("MAX"), prezzoMax);
    q.setParam(QStringLiteral("DATA"), data);
    q.exec();
    for (int comune : comuni) {
        db::Query c(tr, QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA,ID_COMUNE) values (:ID,:COMUNE)"));
        c.setParam(QStringLiteral("ID"), id);
        c.setParam(QStringLiteral("COMUNE"), comune);
        c.exec();
    }
    db::Query ti(tr,
                 QStringLiteral("insert into RICHIESTE_TIP_IMMOBILI (ID_RICHIESTA,ID_TIP_IMMOBILE) values (:ID,:T)"));
    ti.setParam(QStringLiteral("ID"), id);
    ti.setParam(QStringLiteral("T"), tipImmobile);
    ti.exec();
    db::Query ta(tr,
                 QStringLiteral("insert into RICHIESTE_TIP_ANNUNCI (ID_RICHIESTA,ID_TIP_ANNUNCIO) values (:ID,:T)"));
    ta.setParam(QStringLiteral("ID"), id);
    ta.setParam(QStringLiteral("T"), tipAnnuncio);
    ta.exec();
}

void annuncio(db::Transaction &tr, int id, int comune, const char *riferimento, double prezzo)
{
    db::Query q(tr, QStringLiteral("insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE,ID_CLIENTE,ID_COMUNE,"
                                   "ID_TIPOLOGIA_IMMOBILE,ID_TIPOLOGIA_ANNUNCIO,RIFERIMENTO,PREZZO,ELIMINATO,FOTOSN,"
                                   "DATA_INSERIMENTO) values (:ID,4,:COMUNE,1,1,:RIF,:PREZZO,'N','N','2024-01-01')"));
    q.setParam(QStringLiteral("ID"), id);
    q.setParam(QStringLiteral("COMUNE"), comune);
    q.setParam(QStringLiteral("RIF"), QString::fromLatin1(riferimento));
    q.setParam(QStringLiteral("PREZZO"), prezzo);
    q.exec();
}

QDateTime momento(int anno, int mese, int giorno, int ora = 0, int minuto = 0)
{
    return QDateTime(QDate(anno, mese, giorno), QTime(ora, minuto));
}

// Today is 31 March 2024 (leap year: a month back is 29 February).
//
//   request  client         municipalities      kind     type          min      max      last change       matches
//   10       ROSSI MARIO    MILANO              VENDITA  APPARTAMENTO  100000   200000   15/03/2024 10:00  MI-B MI-A
//   MI-C 11       ROSSI MARIO    ROMA                VENDITA  APPARTAMENTO  0        0        10/01/2024        RM-A 12
//   BIANCHI LUCA   L'AQUILA, MILANO    VENDITA  APPARTAMENTO  150000   0        31/03/2024 18:30  MI-A MI-C MI-D 13
//   verdi@mail.it  TORINO              AFFITTO  BILOCALE      150000   300000   28/02/2024 23:00  -
//
//   listing  MI-A 201 (150000)  MI-B 202 (120000)  MI-C 203 (199000)  MI-D 204 (250000): MILANO; RM-A 205 (90000):
//   ROMA; all flats for sale of NERI (client 4, no requests). Request 12 was sent MI-A and has an appointment.
void agenzia(db::Database &database)
{
    db::Transaction tr(database);
    cliente(tr, 1, QStringLiteral("ROSSI MARIO"), QVariant());
    cliente(tr, 2, QStringLiteral("BIANCHI LUCA"), QStringLiteral("bianchi@mail.it"));
    cliente(tr, 3, QVariant(), QStringLiteral("verdi@mail.it"));
    cliente(tr, 4, QStringLiteral("NERI"), QVariant());
    richiesta(tr, 10, 1, {Milano}, Appartamento, Vendita, 100000, 200000, momento(2024, 3, 15, 10));
    richiesta(tr, 11, 1, {Roma}, Appartamento, Vendita, 0, 0, momento(2024, 1, 10));
    richiesta(tr, 12, 2, {Aquila, Milano}, Appartamento, Vendita, 150000, 0, momento(2024, 3, 31, 18, 30));
    richiesta(tr, 13, 3, {Torino}, Bilocale, Affitto, 150000, 300000, momento(2024, 2, 28, 23));
    annuncio(tr, 201, Milano, "MI-A", 150000);
    annuncio(tr, 202, Milano, "MI-B", 120000);
    annuncio(tr, 203, Milano, "MI-C", 199000);
    annuncio(tr, 204, Milano, "MI-D", 250000);
    annuncio(tr, 205, Roma, "RM-A", 90000);
    db::Query invio(tr, QStringLiteral("insert into RICHIESTE_EMAIL (ID_ANNUNCIO_IMMOBILE,ID_RICHIESTA,DATA_ORA,TIPO,"
                                       "EMAIL) values (201,12,'2024-03-20 09:00','E','bianchi@mail.it')"));
    invio.exec();
    db::Query app(tr, QStringLiteral("insert into APPUNTAMENTI (ID,ID_RICHIESTA,INIZIO,FINE) values "
                                     "('A12',12,'2024-04-02 10:00','2024-04-02 11:00')"));
    app.exec();
    tr.commit();
}

// ---- Doubles --------------------------------------------------------------------------------------------------

// Records the calls made on the screens stood in for, in order.
QStringList &chiamate()
{
    static QStringList c;
    return c;
}

class TEditorRichiesteFinto : public QWidget
{
    Q_OBJECT
public:
    Q_INVOKABLE void CaricaRichiesta(int id) { chiamate() << QStringLiteral("CaricaRichiesta %1").arg(id); }
};

class TElenchiFinti : public QWidget
{
    Q_OBJECT
public:
    Q_INVOKABLE void ElencoAppuntamentiRichiesta(int id)
    {
        chiamate() << QStringLiteral("ElencoAppuntamentiRichiesta %1").arg(id);
    }
    Q_INVOKABLE void MostraInvii(int id) { chiamate() << QStringLiteral("MostraInvii %1").arg(id); }
    Q_INVOKABLE void ImpostaRichieste(const QString &ids) { chiamate() << QStringLiteral("ImpostaRichieste ") + ids; }
};

// The appointment calendar: the two presets and its date picker.
class TAgendaFinta : public QWidget
{
    Q_OBJECT
public:
    TAgendaFinta()
    {
        resize(300, 200);
        auto *data = new QWidget(this);
        data->setObjectName(QStringLiteral("DateTimePicker1"));
        data->setGeometry(10, 10, 120, 24);
    }
    Q_INVOKABLE void ImpostaRichiesta(int id) { chiamate() << QStringLiteral("ImpostaRichiesta %1").arg(id); }
    Q_INVOKABLE void ImpostaAnnuncio(int id) { chiamate() << QStringLiteral("ImpostaAnnuncio %1").arg(id); }
};

// The proposal window: what the opener hands over, and the listing table as it finds it.
class TInvioFinto : public QWidget
{
    Q_OBJECT
public:
    TInvioFinto()
    {
        DBGridAnnunci = new tavo::TSearchGrid(this);
        DBGridAnnunci->setObjectName(QStringLiteral("DBGridAnnunci"));
        DBGridAnnunci->setModel(new tavo::TMemTableModel(tabella(), DBGridAnnunci));
        DBGridAnnunci->impostaOrdinamento(QStringLiteral("RIFERIMENTO"), tavo::TSearchGrid::Decrescente);
    }
    static tavo::TMemTable *tabella() { return TFormMain::istanza()->DataModuleQueryComposte()->MemTableAnnunci(); }
    Q_INVOKABLE void PreparaInvio(int idRichiesta, int idCliente)
    {
        chiamate() << QStringLiteral("PreparaInvio %1 %2 %3").arg(idRichiesta).arg(idCliente).arg(tabella()->isOpen());
    }
    Q_INVOKABLE void SelezionaNonInviati()
    {
        QStringList rif;
        for (int r = 0; r < DBGridAnnunci->model()->rowCount(); ++r)
            rif << DBGridAnnunci->model()
                       ->index(r, DBGridAnnunci->modelloTabella()->sectionOf(QStringLiteral("RIFERIMENTO")))
                       .data()
                       .toString();
        chiamate() << QStringLiteral("SelezionaNonInviati ") + rif.join(QLatin1Char(','));
    }
    tavo::TSearchGrid *DBGridAnnunci;
};

// The client search: the picker button and the lock.
class TRicercaClientiFinta : public QWidget
{
    Q_OBJECT
public:
    TRicercaClientiFinta()
    {
        ButtonCliente = new QPushButton(QStringLiteral("Vai al Cliente"), this);
        ButtonCliente->setObjectName(QStringLiteral("ButtonCliente"));
        ButtonCliente->setProperty("tag", 0);
        SpeedButtonLock = new QToolButton(this);
        SpeedButtonLock->setObjectName(QStringLiteral("SpeedButtonLock"));
        SpeedButtonLock->setCheckable(true);
        SpeedButtonLock->setChecked(true);
        connect(SpeedButtonLock, &QToolButton::toggled, this, [this] { ++scritture; });
    }
    QPushButton *ButtonCliente;
    QToolButton *SpeedButtonLock;
    int scritture = 0;
};

// Registers screens by class name for one test (doubles, and this screen for the listing search) and removes them at
// its end.
class Doppi
{
public:
    template <class T> void registra(const QString &classe)
    {
        tavo::registraSchermata(classe, [] { return new T; });
        m_classi << classe;
    }
    void tutti()
    {
        registra<TEditorRichiesteFinto>(QStringLiteral("TFormInsVarRichieste"));
        registra<TElenchiFinti>(QStringLiteral("TFormElencoAppuntamenti"));
        registra<TElenchiFinti>(QStringLiteral("TFormElencoInviidaRichiesta"));
        registra<TElenchiFinti>(QStringLiteral("TFormSelezioneRichiestePerScheda"));
        registra<TAgendaFinta>(QStringLiteral("TFormAppuntamenti"));
        registra<TInvioFinto>(QStringLiteral("TFormInvioEmaildaRichiesta"));
        registra<TRicercaClientiFinta>(QStringLiteral("TFormRicercaClienti"));
    }
    ~Doppi()
    {
        for (const QString &c : std::as_const(m_classi))
            tavo::registraSchermata(c, {});
        chiamate().clear();
    }

private:
    QStringList m_classi;
};

// ---- Driving the program --------------------------------------------------------------------------------------

void elaboraEliminazioni()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The main window on the test database, shown and active; every screen closed before it goes.
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
        main.resize(1280, 860);
        main.show();
        main.activateWindow();
        return QTest::qWaitForWindowExposed(&main);
    }
    TFormRicercaRichieste *ricerca() const
    {
        return qobject_cast<TFormRicercaRichieste *>(main.finestraAperta(QStringLiteral("TFormRicercaRichieste")));
    }
    TFormRicercaAnnunci *ricercaAnnunci() const
    {
        return qobject_cast<TFormRicercaAnnunci *>(main.finestraAperta(QStringLiteral("TFormRicercaAnnunci")));
    }
    tavo::TMemTable *richieste() const { return main.DataModuleQueryComposte()->MemTableRichieste(); }
    tavo::TMemTable *annunci() const { return main.DataModuleQueryComposte()->MemTableAnnunci(); }
    QStringList &sqlRichieste() const { return main.DataModuleQueryComposte()->IBDataSetRichieste().SQL(); }
    QStringList &sqlAnnunci() const { return main.DataModuleQueryComposte()->IBDataSetAnnunci().SQL(); }
    bool vaiA(int idRichiesta) const { return richieste()->locate(QStringLiteral("ID_RICHIESTA"), idRichiesta); }

    TFormMain main;
};

// A column of a grid, in the grid's order.
QStringList colonna(const tavo::TSearchGrid *griglia, const QString &nome)
{
    tavo::TMemTableModel *m = griglia->modelloTabella();
    const int s = m->sectionOf(nome);
    QStringList valori;
    for (int r = 0; r < m->rowCount(); ++r)
        valori << m->index(r, s).data().toString();
    return valori;
}

// The request ids shown, in the grid's order.
QList<int> righe(const TFormRicercaRichieste *f)
{
    tavo::TMemTableModel *m = f->DBGridRichieste->modelloTabella();
    const int id = m->table()->columnIndex(QStringLiteral("ID_RICHIESTA"));
    QList<int> ids;
    for (int r = 0; r < m->rowCount(); ++r)
        ids << m->table()->rowValue(m->bookmark(r), id).toInt();
    return ids;
}

QList<int> ordinate(QList<int> ids)
{
    std::sort(ids.begin(), ids.end());
    return ids;
}

QStringList voci(const QComboBox *c)
{
    QStringList testi;
    for (int i = 0; i < c->count(); ++i)
        testi << c->itemText(i);
    return testi;
}

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

QAction *voceEsportazione(const TFormRicercaRichieste *f, const char *nome)
{
    return f->PopupMenuRichieste->findChild<QAction *>(QLatin1String(nome));
}

// A click on a column title, as the user makes it.
void clicTitolo(tavo::TSearchGrid *griglia, const QString &colonna)
{
    QHeaderView *h = griglia->horizontalHeader();
    const int s = griglia->sezioneColonna(colonna);
    griglia->scrollTo(griglia->model()->index(0, s));
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(s) + 4, h->height() / 2));
}

} // namespace

class TestRicercaRichieste : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_n = 0;

private slots:
    void init()
    {
        // A settings file and a data folder of its own for each test; today is 31 March 2024.
        tavo::impostaFileImpostazioni(m_dir.filePath(QStringLiteral("impostazioni%1.ini").arg(++m_n)));
        qputenv("TAVO_CARTELLA_APPLICAZIONE", QFile::encodeName(m_dir.filePath(QStringLiteral("dati"))));
        tavo::Clock::set(QDateTime(QDate(2024, 3, 31), QTime(12, 0)));
    }
    void cleanup() { tavo::Clock::set(QDateTime()); }

    void aperturaDalMenu_ElencoCompleto()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaRichieste *f = TFormRicercaRichieste::ApriElencoCompleto();
        QCOMPARE(p.ricerca(), f);
        QCOMPARE(f->finestra()->windowTitle(), QStringLiteral("Elenco Richieste"));
        QVERIFY(!f->PanelTop->isHidden());
        QCOMPARE(f->idAnnuncioElenco(), 0);
        QCOMPARE(f->DBGridRichieste->voceDefault(), f->MenuVaiallaRichiesta);
        QCOMPARE(righe(f), (QList<int>{10, 11, 12, 13}));
        QCOMPARE(p.richieste()->isFiltered(), false);
        QCOMPARE(f->NavigatoreRichieste->testo(), QStringLiteral("1 di 4"));

        // Columns and captions.
        QCOMPARE(colonneVisibili(f->DBGridRichieste), TFormRicercaRichieste::colonneGriglia());
        QStringList titoli;
        for (const QString &c : TFormRicercaRichieste::colonneGriglia())
            titoli << f->DBGridRichieste->model()
                          ->headerData(f->DBGridRichieste->sezioneColonna(c), Qt::Horizontal)
                          .toString();
        QCOMPARE(titoli.mid(0, 8), (QStringList{"Cliente", "N° Incroci", "N° Invii", "Data Ult. Invio",
                                                "Tipologie Annuncio", "Tipologie Immobile", "Comuni", "Località"}));
        QCOMPARE(titoli.mid(26), (QStringList{"Fonte", "Data Ult. Modifica"}));
        QCOMPARE(colonna(f->DBGridRichieste, QStringLiteral("N_INCROCI")), (QStringList{"3", "1", "3", "0"}));
        QCOMPARE(colonna(f->DBGridRichieste, QStringLiteral("N_INVII")), (QStringList{"0", "0", "1", "0"}));
        QCOMPARE(colonna(f->DBGridRichieste, QStringLiteral("COMUNI")).at(2), QStringLiteral("L'AQUILA, MILANO"));

        // The lists: clients with requests (by name; the one without a name by its e-mail), municipalities used.
        QCOMPARE(voci(f->EditCliente), (QStringList{"verdi@mail.it", "BIANCHI LUCA", "ROSSI MARIO"}));
        QCOMPARE(f->EditCliente->itemData(2).toInt(), 1);
        QCOMPARE(voci(f->EditComune), (QStringList{"L'AQUILA", "MILANO", "ROMA", "TORINO"}));
        QCOMPARE(f->EditCliente->currentIndex(), -1);
        QVERIFY(f->EditDataInizio->vuota());
        QCOMPARE(voci(f->EditComune).size(), 4);

        // What works now, and what waits for its screen.
        QVERIFY(f->ButtonIncroci->isEnabled());
        QVERIFY(f->ButtonEliminaRichiesta->isEnabled());
        QVERIFY(f->ButtonCliente->isEnabled());
        QVERIFY(voceEsportazione(f, "MenuEsportainHTML")->isEnabled());
        for (const char *nome : {"MenuEsportainMSExcel", "MenuEsportainCSV", "MenuEsportainXML"})
            QVERIFY(!voceEsportazione(f, nome)->isEnabled());
        // The request editor and the client search are part of the program; proposals and appointments are not yet.
        for (QWidget *w : QList<QWidget *>{f->ButtonRichiesta, f->ButtonNuovaRichiesta, f->ButtonCercaCliente})
            QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));
        for (QWidget *w : QList<QWidget *>{f->ButtonInviaEMail, f->ButtonAppuntamento})
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
        for (QAction *a : {f->MenuMostraInviigieffettuati, f->MenuVaiagliAppuntamenti, f->MenuRichiestaCorrente,
                           f->MenuStampaSchedaRichiesta->menuAction()})
            QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));

        // Escape closes it; the request table stays open with its rows.
        QTest::keyClick(f->DBGridRichieste, Qt::Key_Escape);
        elaboraEliminazioni();
        QVERIFY(!p.ricerca());
        QVERIFY(p.richieste()->isOpen());
        QCOMPARE(p.richieste()->totalRowCount(), 4);
        QVERIFY(ui.senzaRisposta.isEmpty());
    }

    void filtri_data()
    {
        QTest::addColumn<QString>("cliente");
        QTest::addColumn<int>("periodo"); // -1: none
        QTest::addColumn<QString>("comune");
        QTest::addColumn<QString>("prezzoMin"); // typed
        QTest::addColumn<QString>("prezzoMax"); // typed
        QTest::addColumn<QList<int>>("attese");
        const QString no;
        const int mese = int(PeriodoPredefinito::UltimoMese), settimana = int(PeriodoPredefinito::UltimaSettimana);
        QTest::newRow("ROSSI, Ultimo Mese") << "ROSSI MARIO" << mese << no << no << no << QList<int>{10};
        QTest::newRow("Ultimo Mese: from 29 February, today until 23.59.59")
            << no << mese << no << no << no << QList<int>{10, 12};
        QTest::newRow("Ultima Settimana") << no << settimana << no << no << no << QList<int>{12};
        QTest::newRow("MILANO, also second of two") << no << -1 << "MILANO" << no << no << QList<int>{10, 12};
        QTest::newRow("L'AQUILA") << no << -1 << "L'AQUILA" << no << no << QList<int>{12};
        QTest::newRow("minimum 150.000,75: integer part, 0 out")
            << no << -1 << no << "150000,75" << no << QList<int>{12, 13};
        QTest::newRow("maximum 250.000,90: integer part, 0 in")
            << no << -1 << no << no << "250000,90" << QList<int>{10, 11, 12};
        QTest::newRow("client by its e-mail") << "verdi@mail.it" << -1 << no << no << no << QList<int>{13};
    }
    void filtri()
    {
        QFETCH(QString, cliente);
        QFETCH(int, periodo);
        QFETCH(QString, comune);
        QFETCH(QString, prezzoMin);
        QFETCH(QString, prezzoMax);
        QFETCH(QList<int>, attese);
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaRichieste *f = TFormRicercaRichieste::ApriElencoCompleto();
        if (!cliente.isEmpty())
            f->EditCliente->setCurrentIndex(f->EditCliente->findText(cliente));
        if (!comune.isEmpty())
            f->EditComune->setCurrentIndex(f->EditComune->findText(comune));
        if (periodo >= 0) {
            QAction *voce = f->PopupMenuDatePredefinite->actions().at(periodo);
            QCOMPARE(voce->text(), tavo::testoPeriodo(PeriodoPredefinito(periodo)));
            voce->trigger();
            QCOMPARE(f->EditDataFine->data(), QDate(2024, 3, 31));
            QCOMPARE(f->EditDataInizio->data(), tavo::inizioPeriodo(PeriodoPredefinito(periodo), QDate(2024, 3, 31)));
        }
        for (auto [testo, campo] : {std::pair{prezzoMin, f->EditPrezzoMin}, std::pair{prezzoMax, f->EditPrezzoMax}}) {
            if (testo.isEmpty())
                continue;
            campo->selectAll();
            QTest::keyClicks(campo, testo);
            QTest::keyClick(campo, Qt::Key_Tab);
        }
        QCOMPARE(ordinate(righe(f)), attese);
        QCOMPARE(p.richieste()->filter(), tavo::espressioneFiltroRichieste(f->parametriFiltro()));
        QVERIFY(p.richieste()->isFiltered());

        // "Azzera Filtri": every request again, the panel empty.
        f->ButtonAzzeraFiltri->click();
        QCOMPARE(righe(f), (QList<int>{10, 11, 12, 13}));
        QVERIFY(!p.richieste()->isFiltered());
        QCOMPARE(f->EditCliente->currentIndex(), -1);
        QCOMPARE(f->EditComune->currentIndex(), -1);
        QVERIFY(f->EditDataInizio->vuota());
        QVERIFY(f->EditDataFine->vuota());
        QCOMPARE(f->EditPrezzoMin->value(), 0.0);
        QCOMPARE(f->EditPrezzoMax->value(), 0.0);
    }

    void tastoCancEColoreDelFiltroAttivo()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaRichieste *f = TFormRicercaRichieste::ApriElencoCompleto();
        const QColor normale = f->EditComune->palette().color(QPalette::Base);
        f->EditComune->setCurrentIndex(f->EditComune->findText(QStringLiteral("ROMA")));
        f->EditCliente->setCurrentIndex(f->EditCliente->findText(QStringLiteral("ROSSI MARIO")));
        QCOMPARE(righe(f), QList<int>{11});

        // The filter field with the focus is light orange; leaving it gives the normal colour back.
        QApplication::setActiveWindow(&p.main);
        QVERIFY(QTest::qWaitForWindowActive(&p.main));
        f->EditComune->setFocus();
        QTRY_COMPARE(f->EditComune->palette().color(QPalette::Base), QColor(234, 178, 132));
        QTest::keyClick(f->EditComune, Qt::Key_Delete);
        QCOMPARE(f->EditComune->currentIndex(), -1);
        QCOMPARE(righe(f), (QList<int>{10, 11}));
        f->EditCliente->setFocus();
        QTRY_COMPARE(f->EditCliente->palette().color(QPalette::Base), QColor(234, 178, 132));
        QCOMPARE(f->EditComune->palette().color(QPalette::Base), normale);
        QTest::keyClick(f->EditCliente, Qt::Key_Delete);
        QCOMPARE(f->EditCliente->currentIndex(), -1);
        QCOMPARE(righe(f), (QList<int>{10, 11, 12, 13}));
        f->EditPrezzoMin->setFocus();
        QTRY_COMPARE(f->EditPrezzoMin->palette().color(QPalette::Base), QColor(234, 178, 132));
        QCOMPARE(f->EditCliente->palette().color(QPalette::Base), normale);

        // The Delete key empties a date, which then sets no bound.
        f->PopupMenuDatePredefinite->actions().at(int(PeriodoPredefinito::UltimoMese))->trigger();
        QCOMPARE(ordinate(righe(f)), (QList<int>{10, 12}));
        f->EditDataInizio->setFocus();
        QTest::keyClick(f->EditDataInizio, Qt::Key_Delete);
        QVERIFY(f->EditDataInizio->vuota());
        QCOMPARE(f->EditDataInizio->text().trimmed(), QString());
        QCOMPARE(ordinate(righe(f)), (QList<int>{10, 11, 12, 13}));
        QCOMPARE(p.richieste()->filter(), QStringLiteral("DATA_ULT_MODIFICA<='2024/03/31 23.59.59'"));
        // A date typed into an empty field, day first.
        QTest::keyClicks(f->EditDataInizio, QStringLiteral("15032024"));
        QCOMPARE(f->EditDataInizio->data(), QDate(2024, 3, 15));
        QCOMPARE(ordinate(righe(f)), (QList<int>{10, 12}));
        QTest::keyClick(f->EditDataInizio, Qt::Key_Delete);
        // Its calendar opens on today's month.
        TEditData *data = f->EditDataInizio;
        QTest::mouseClick(data, Qt::LeftButton, {}, QPoint(data->width() - 6, data->height() / 2));
        QTRY_VERIFY(data->calendarWidget()->isVisible());
        QCOMPARE(data->calendarWidget()->monthShown(), 3);
        QCOMPARE(data->calendarWidget()->yearShown(), 2024);
        data->calendarWidget()->window()->hide();
        QVERIFY(data->vuota());
    }

    void nessunaRigaDisabilitaIComandi()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d.db());
        Doppi doppi;
        doppi.tutti();
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaRichieste *f = TFormRicercaRichieste::ApriElencoCompleto();
        const QList<QObject *> comandiRiga{f->ButtonRichiesta,
                                           f->ButtonEliminaRichiesta,
                                           f->ButtonIncroci,
                                           f->ButtonCliente,
                                           f->ButtonInviaEMail,
                                           f->ButtonAppuntamento,
                                           f->MenuVaiallaRichiesta,
                                           f->MenuEliminaRichiesta,
                                           f->MenuMostraIncroci,
                                           f->MenuVaialCliente,
                                           f->MenuInviaEMailSMS,
                                           f->MenuNuovoAppuntamento,
                                           f->MenuVaiagliAppuntamenti,
                                           f->MenuMostraInviigieffettuati,
                                           f->MenuStampaSchedaRichiesta->menuAction(),
                                           f->MenuRichiestaCorrente,
                                           f->MenuTutteleRichieste,
                                           voceEsportazione(f, "MenuEsportainHTML")};
        auto attivo = [](QObject *o) {
            if (auto *a = qobject_cast<QAction *>(o))
                return a->isEnabled();
            return qobject_cast<QWidget *>(o)->isEnabled();
        };
        // Every screen registered: with rows, every command is on.
        for (QObject *o : comandiRiga)
            QVERIFY2(attivo(o), qPrintable(o->objectName()));
        QVERIFY(f->ButtonCercaCliente->isEnabled());

        // One row: all but "Tutte le Richieste".
        f->EditCliente->setCurrentIndex(f->EditCliente->findText(QStringLiteral("verdi@mail.it")));
        QCOMPARE(righe(f), QList<int>{13});
        emit f->MenuStampaSchedaRichiesta->aboutToShow();
        QVERIFY(!f->MenuTutteleRichieste->isEnabled());
        QVERIFY(f->MenuRichiestaCorrente->isEnabled());

        // No row: every row command and the sheet menu off.
        f->EditComune->setCurrentIndex(f->EditComune->findText(QStringLiteral("MILANO")));
        QCOMPARE(righe(f), QList<int>{});
        for (QObject *o : comandiRiga)
            QVERIFY2(!attivo(o), qPrintable(o->objectName()));
        QCOMPARE(f->NavigatoreRichieste->testo(), QString());
        QVERIFY(f->ButtonNuovaRichiesta->isEnabled());
        QVERIFY(f->ButtonUscita->isEnabled());
        QVERIFY(f->ButtonAzzeraFiltri->isEnabled());
        // Back to rows: on again.
        f->ButtonAzzeraFiltri->click();
        for (QObject *o : comandiRiga)
            QVERIFY2(attivo(o), qPrintable(o->objectName()));
    }

    void ordinamentoPerTitolo()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaRichieste *f = TFormRicercaRichieste::ApriElencoCompleto();
        auto *intestazione = qobject_cast<tavo::TIntestazioneGriglia *>(f->DBGridRichieste->horizontalHeader());
        const int cliente = f->DBGridRichieste->sezioneColonna(QStringLiteral("CLIENTE"));

        // The same title three times: ascending (ignoring case), descending, then the loading order.
        clicTitolo(f->DBGridRichieste, QStringLiteral("CLIENTE"));
        QCOMPARE(righe(f), (QList<int>{12, 10, 11, 13}));
        QCOMPARE(intestazione->sezioneMarcata(), cliente);
        clicTitolo(f->DBGridRichieste, QStringLiteral("CLIENTE"));
        QCOMPARE(righe(f), (QList<int>{13, 10, 11, 12}));
        clicTitolo(f->DBGridRichieste, QStringLiteral("CLIENTE"));
        QCOMPARE(righe(f), (QList<int>{10, 11, 12, 13}));
        QCOMPARE(intestazione->sezioneMarcata(), -1);
        QVERIFY(!p.richieste()->isSorted());

        // Another column while a sort is on keeps the direction.
        clicTitolo(f->DBGridRichieste, QStringLiteral("N_INCROCI"));
        clicTitolo(f->DBGridRichieste, QStringLiteral("N_INCROCI"));
        QCOMPARE(righe(f), (QList<int>{10, 12, 11, 13}));
        clicTitolo(f->DBGridRichieste, QStringLiteral("DATA_ULT_MODIFICA"));
        QCOMPARE(righe(f), (QList<int>{12, 10, 13, 11}));

        // Stored with the screen and applied again by the next opening.
        f->finestra()->close();
        elaboraEliminazioni();
        auto s = tavo::impostazioni(QStringLiteral("FormRicercaRichieste"));
        QCOMPARE(s->value(QStringLiteral("SortedColumn")).toString(), QStringLiteral("DATA_ULT_MODIFICA"));
        QCOMPARE(s->value(QStringLiteral("SortMarker")).toInt(), 2);
        p.richieste()->clearSort();
        f = TFormRicercaRichieste::ApriElencoCompleto();
        QCOMPARE(righe(f), (QList<int>{12, 10, 13, 11}));

        // A column the table cannot sort on: the message, and the sort dropped.
        f->DBGridRichiesteTitleClick(QStringLiteral("COLONNA_INESISTENTE"));
        QCOMPARE(ui.ultimo().testo, QStringLiteral("L'ordinamento su questo campo non è possibile"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Errore);
        QCOMPARE(ui.ultimo().titolo, QStringLiteral("Elenco Richieste"));
        QCOMPARE(righe(f), (QList<int>{10, 11, 12, 13}));
        QCOMPARE(f->DBGridRichieste->statoOrdinamento(), int(tavo::TSearchGrid::Nessuno));
    }

    void eliminaRichiesta()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        // The listing search is open on the listing table, whose counts include request 12.
        TFormRicercaAnnunci::ApriElencoCompleto();
        QVERIFY(p.annunci()->locate(QStringLiteral("RIFERIMENTO"), QStringLiteral("MI-D")));
        QCOMPARE(p.annunci()->value(QStringLiteral("N_INCROCI")).toInt(), 1);
        TFormRicercaRichieste *f = TFormRicercaRichieste::ApriElencoCompleto();
        f->EditComune->setCurrentIndex(f->EditComune->findText(QStringLiteral("MILANO")));
        QVERIFY(p.vaiA(12));

        ui.prossimaRisposta(QMessageBox::No);
        f->ButtonEliminaRichiesta->click();
        QCOMPARE(ui.ultimo().tipo, QStringLiteral("domanda"));
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Conferma l'eliminazione della richiesta corrente?\n\n"
                                                   "ATTENZIONE! L'eliminazione è IRREVERSIBILE!"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Avviso);
        QCOMPARE(ui.ultimo().pulsanti, QStringList{QString::number(int(QMessageBox::No))}); // No is the default
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from RICHIESTE")).toInt(), 4);
        QVERIFY(p.ricercaAnnunci());

        QSignalSpy ricaricamenti(p.richieste(), &tavo::TMemTable::tableReset);
        QSignalSpy rimosse(p.richieste(), &tavo::TMemTable::rowRemoved);
        ui.prossimaRisposta(QMessageBox::Yes);
        f->MenuEliminaRichiesta->trigger();
        // One statement: the request row; its link rows, send and appointment went by the database's rules.
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from RICHIESTE where ID_RICHIESTA=12")).toInt(), 0);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from RICHIESTE")).toInt(), 3);
        for (const char *tabella :
             {"RICHIESTE_COMUNI", "RICHIESTE_TIP_IMMOBILI", "RICHIESTE_TIP_ANNUNCI", "RICHIESTE_EMAIL", "APPUNTAMENTI"})
            QCOMPARE(
                d.scalar(QStringLiteral("select count(*) from %1 where ID_RICHIESTA=12").arg(QLatin1String(tabella)))
                    .toInt(),
                0);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from RICHIESTE_COMUNI")).toInt(), 3);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")).toInt(), 5);
        // Only that row left the table; the filter stays.
        QCOMPARE(righe(f), QList<int>{10});
        QCOMPARE(rimosse.size(), 1);
        QCOMPARE(ricaricamenti.size(), 0);
        QCOMPARE(p.richieste()->totalRowCount(), 3);
        // The lists no longer offer what only that request had.
        QCOMPARE(voci(f->EditCliente), (QStringList{"verdi@mail.it", "ROSSI MARIO"}));
        QCOMPARE(voci(f->EditComune), (QStringList{"MILANO", "ROMA", "TORINO"}));
        QCOMPARE(f->EditComune->currentText(), QStringLiteral("MILANO"));
        // The listing search and its stale table are closed; opened again, the counts are recomputed.
        QVERIFY(!p.annunci()->isOpen());
        elaboraEliminazioni();
        QVERIFY(!p.ricercaAnnunci());
        TFormRicercaAnnunci::ApriElencoCompleto();
        QVERIFY(p.annunci()->locate(QStringLiteral("RIFERIMENTO"), QStringLiteral("MI-D")));
        QCOMPARE(p.annunci()->value(QStringLiteral("N_INCROCI")).toInt(), 0);
        QVERIFY(p.annunci()->locate(QStringLiteral("RIFERIMENTO"), QStringLiteral("MI-A")));
        QCOMPARE(p.annunci()->value(QStringLiteral("N_INCROCI")).toInt(), 1);
    }

    void eliminaRifiutataDalDatabase()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d.db());
        d.exec(QStringLiteral("create exception E_NO 'Richiesta bloccata'"));
        d.exec(QStringLiteral("create trigger BLOCCA for RICHIESTE before delete as begin exception E_NO; end"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaRichieste *f = TFormRicercaRichieste::ApriElencoCompleto();
        p.annunci()->open();
        QVERIFY(p.vaiA(11));
        ui.prossimaRisposta(QMessageBox::Yes);
        f->ButtonEliminaRichiesta->click();
        QCOMPARE(ui.ultimo().tipo, QStringLiteral("messaggio"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Errore);
        QVERIFY(ui.ultimo().testo.contains(QStringLiteral("Richiesta bloccata")));
        QCOMPARE(righe(f), (QList<int>{10, 11, 12, 13}));
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from RICHIESTE")).toInt(), 4);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from RICHIESTE_COMUNI where ID_RICHIESTA=11")).toInt(), 1);
        QVERIFY(p.annunci()->isOpen());
    }

    void mostraIncroci()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaRichieste *f = TFormRicercaRichieste::ApriElencoCompleto();

        // No match: the message, nothing opened.
        QVERIFY(p.vaiA(13));
        f->ButtonIncroci->click();
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Nessun annuncio si incrocia con la richiesta corrente"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Errore);
        QCOMPARE(ui.ultimo().titolo, QStringLiteral("Elenco Richieste"));
        QVERIFY(!p.ricercaAnnunci());

        // Three matches: the listing search lists exactly those, by price.
        QVERIFY(p.vaiA(10));
        f->MenuMostraIncroci->trigger();
        TFormRicercaAnnunci *annunci = p.ricercaAnnunci();
        QVERIFY(annunci);
        QCOMPARE(annunci->finestra()->windowTitle(),
                 QStringLiteral("Elenco Annunci incrociati su Richiesta ROSSI MARIO"));
        QVERIFY(annunci->PanelTop->isHidden());
        QCOMPARE(annunci->idRichiestaElenco(), 10);
        QCOMPARE(annunci->DBGridAnnunci->voceDefault(), annunci->MenuVaiAllAnnuncio);
        QCOMPARE(colonna(annunci->DBGridAnnunci, QStringLiteral("RIFERIMENTO")), (QStringList{"MI-B", "MI-A", "MI-C"}));
        QCOMPARE(p.sqlAnnunci().at(tavo::TDataModuleQueryComposte::RigaFiltroAnnunci),
                 QStringLiteral("and ID_ANNUNCIO_IMMOBILE in (202,201,203)"));
        QCOMPARE(p.sqlAnnunci().at(tavo::TDataModuleQueryComposte::RigaOrdineAnnunci),
                 QStringLiteral("order by PREZZO"));
        QVERIFY(!p.annunci()->isFiltered());
        QCOMPARE(p.annunci()->value(QStringLiteral("RIFERIMENTO")).toString(), QStringLiteral("MI-B"));

        // The other request: the same screen, now on its match.
        QVERIFY(p.vaiA(11));
        f->ButtonIncroci->click();
        QCOMPARE(p.ricercaAnnunci(), annunci);
        QCOMPARE(colonna(annunci->DBGridAnnunci, QStringLiteral("RIFERIMENTO")), QStringList{"RM-A"});
        QCOMPARE(annunci->idRichiestaElenco(), 11);
    }

    void invioEmailSms()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d.db());
        Doppi doppi;
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaAnnunci::ApriElencoCompleto();
        TFormRicercaRichieste *f = TFormRicercaRichieste::ApriElencoCompleto();
        QVERIFY(!f->ButtonInviaEMail->isEnabled());
        doppi.registra<TInvioFinto>(QStringLiteral("TFormInvioEmaildaRichiesta"));
        f->AggiornaPulsanti();
        QVERIFY(f->ButtonInviaEMail->isEnabled());

        QVERIFY(p.vaiA(13));
        f->MenuInviaEMailSMS->trigger();
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Nessun annuncio si incrocia con la richiesta corrente"));
        QVERIFY(!p.main.finestraAperta(QStringLiteral("TFormInvioEmaildaRichiesta")));

        // The listing search goes; the proposal window is prepared before the table opens, then finds its matches
        // in its own stored order.
        QVERIFY(p.vaiA(12));
        f->ButtonInviaEMail->click();
        elaboraEliminazioni();
        QVERIFY(!p.ricercaAnnunci());
        QVERIFY(p.main.finestraAperta(QStringLiteral("TFormInvioEmaildaRichiesta")));
        QCOMPARE(chiamate(), (QStringList{"PreparaInvio 12 2 0", "SelezionaNonInviati MI-D,MI-C,MI-A"}));
        QCOMPARE(p.sqlAnnunci().at(tavo::TDataModuleQueryComposte::RigaFiltroAnnunci),
                 QStringLiteral("and ID_ANNUNCIO_IMMOBILE in (201,203,204)"));
    }

    void consegnaDallaRicercaAnnunciEdElencoCompleto()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d.db());
        Doppi doppi;
        doppi.registra<TAgendaFinta>(QStringLiteral("TFormAppuntamenti"));
        doppi.registra<TFormRicercaRichieste>(QStringLiteral("TFormRicercaRichieste"));
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaRichieste *f = TFormRicercaRichieste::ApriElencoCompleto();
        f->EditCliente->setCurrentIndex(f->EditCliente->findText(QStringLiteral("ROSSI MARIO")));

        // "Mostra Incroci" of the listing search on MI-A (matched by requests 10 and 12).
        TFormRicercaAnnunci *annunci = TFormRicercaAnnunci::ApriElencoCompleto();
        annunci->AggiornaPulsanti();
        QVERIFY(p.annunci()->locate(QStringLiteral("RIFERIMENTO"), QStringLiteral("MI-A")));
        annunci->MenuMostraIncroci->trigger();
        QCOMPARE(p.ricerca(), f);
        QCOMPARE(f->finestra()->windowTitle(), QStringLiteral("Elenco Richieste incrociati su Annuncio MI-A"));
        QVERIFY(f->modalitaElenco());
        QCOMPARE(f->idAnnuncioElenco(), 201);
        QCOMPARE(f->DBGridRichieste->voceDefault(), f->MenuVaiallaRichiesta);
        QCOMPARE(righe(f), (QList<int>{10, 12})); // by the last change, no panel filter
        QVERIFY(f->ButtonIncroci->isEnabled());
        QVERIFY(f->ButtonAppuntamento->isEnabled());

        // A new appointment from here is about the request and the listing.
        QVERIFY(p.vaiA(12));
        f->ButtonAppuntamento->click();
        QCOMPARE(chiamate(), (QStringList{"ImpostaRichiesta 12", "ImpostaAnnuncio 201"}));
        QTRY_VERIFY(QToolTip::isVisible());
        QVERIFY(QToolTip::text().contains(QStringLiteral("Il nuovo appuntamento è pronto per essere creato")));
        QVERIFY(QToolTip::text().contains(QStringLiteral("&quot;Crea Appuntamento&quot;")));
        QToolTip::hideText();

        // The main window's command switches back to the full list with the default slots and the panel's filter.
        QCOMPARE(TFormRicercaRichieste::ApriElencoCompleto(), f);
        QCOMPARE(f->finestra()->windowTitle(), QStringLiteral("Elenco Richieste"));
        QVERIFY(!f->PanelTop->isHidden());
        QCOMPARE(f->idAnnuncioElenco(), 0);
        QCOMPARE(p.sqlRichieste().at(tavo::TDataModuleQueryComposte::RigaFiltroRichieste), QString());
        QCOMPARE(p.sqlRichieste().at(tavo::TDataModuleQueryComposte::RigaOrdineRichieste),
                 QStringLiteral("order by R.ID_RICHIESTA"));
        QCOMPARE(p.richieste()->totalRowCount(), 4);
        QCOMPARE(righe(f), (QList<int>{10, 11}));
        QCOMPARE(p.richieste()->filter(), QStringLiteral("ID_CLIENTE=1"));
        chiamate().clear();
        QVERIFY(p.vaiA(11));
        f->MenuNuovoAppuntamento->trigger();
        QCOMPARE(chiamate(), QStringList{"ImpostaRichiesta 11"});

        // Already in the full list: only brought to the front, nothing recomputed.
        QSignalSpy ricaricamenti(p.richieste(), &tavo::TMemTable::tableReset);
        QCOMPARE(TFormRicercaRichieste::ApriElencoCompleto(), f);
        QCOMPARE(ricaricamenti.size(), 0);
    }

    void richiesteDiUnCliente()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaRichieste *f = TFormRicercaRichieste::ApriElencoCompleto();
        f->EditComune->setCurrentIndex(f->EditComune->findText(QStringLiteral("MILANO")));
        f->PopupMenuDatePredefinite->actions().at(int(PeriodoPredefinito::UltimoAnno))->trigger();
        // List mode, as the listing editor leaves it.
        p.richieste()->close();
        p.sqlRichieste()[tavo::TDataModuleQueryComposte::RigaFiltroRichieste] =
            QStringLiteral("and ID_RICHIESTA in (13)");
        p.sqlRichieste()[tavo::TDataModuleQueryComposte::RigaOrdineRichieste] =
            QStringLiteral("order by DATA_ULT_MODIFICA");
        f->PanelTop->hide();
        f->DBGridRichieste->impostaVoceDefault(nullptr);
        p.richieste()->setFilter(QString());
        p.richieste()->open();

        // The client search's "Vai alle Richieste": the full list, the filters cleared, the client chosen.
        QMetaObject::invokeMethod(f, "MostraRichiesteCliente", Qt::DirectConnection, Q_ARG(int, 1));
        QVERIFY(!f->PanelTop->isHidden());
        QCOMPARE(f->DBGridRichieste->voceDefault(), f->MenuVaiallaRichiesta);
        QCOMPARE(f->EditCliente->currentText(), QStringLiteral("ROSSI MARIO"));
        QCOMPARE(f->EditComune->currentIndex(), -1);
        QVERIFY(f->EditDataInizio->vuota());
        QCOMPARE(righe(f), (QList<int>{10, 11}));
        QCOMPARE(p.richieste()->recNo(), 1);

        // A client whose first request came after the lists were read is found too.
        d.exec(QStringLiteral("insert into RICHIESTE (ID_RICHIESTA,ID_CLIENTE,PREZZO_MIN,PREZZO_MAX,"
                              "DATA_ULT_MODIFICA) values (14,4,0,0,'2024-03-30')"));
        p.richieste()->close();
        QMetaObject::invokeMethod(f, "MostraRichiesteCliente", Qt::DirectConnection, Q_ARG(int, 4));
        QCOMPARE(f->EditCliente->currentText(), QStringLiteral("NERI"));
        QCOMPARE(righe(f), QList<int>{14});
    }

    void aggiornaListe()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaRichieste *f = TFormRicercaRichieste::ApriElencoCompleto();
        f->EditCliente->setCurrentIndex(f->EditCliente->findText(QStringLiteral("ROSSI MARIO")));
        f->EditComune->setCurrentIndex(f->EditComune->findText(QStringLiteral("ROMA")));
        QCOMPARE(righe(f), QList<int>{11});

        // A request saved elsewhere for a new client in a new municipality: both appear; the choices stay.
        d.exec(QStringLiteral("insert into RICHIESTE (ID_RICHIESTA,ID_CLIENTE,PREZZO_MIN,PREZZO_MAX) values "
                              "(14,4,0,0)"));
        d.exec(QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA,ID_COMUNE) values (14,66049)"));
        d.exec(QStringLiteral("update CLIENTI set DESCR='ROSSI MARIO SRL' where ID_CLIENTE=1"));
        QMetaObject::invokeMethod(f, "AggiornaListe", Qt::DirectConnection);
        QCOMPARE(voci(f->EditCliente), (QStringList{"verdi@mail.it", "BIANCHI LUCA", "NERI", "ROSSI MARIO SRL"}));
        QCOMPARE(voci(f->EditComune), (QStringList{"L'AQUILA", "MILANO", "ROMA", "TORINO"}));
        QCOMPARE(f->EditCliente->currentText(), QStringLiteral("ROSSI MARIO SRL"));
        QCOMPARE(f->EditComune->currentText(), QStringLiteral("ROMA"));
        QCOMPARE(righe(f), QList<int>{11});

        // The only request in ROMA goes: its entry goes, and so does the choice and its filter.
        d.exec(QStringLiteral("delete from RICHIESTE where ID_RICHIESTA=11"));
        QMetaObject::invokeMethod(f, "AggiornaListe", Qt::DirectConnection);
        QCOMPARE(voci(f->EditComune), (QStringList{"L'AQUILA", "MILANO", "TORINO"}));
        QCOMPARE(f->EditComune->currentIndex(), -1);
        QCOMPARE(p.richieste()->filter(), QStringLiteral("ID_CLIENTE=1"));
        QCOMPARE(righe(f), (QList<int>{10, 11})); // the table is not recomputed by a list reload
    }

    void lucchetto()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d.db());
        auto autoForm = [&d] { return d.scalar(QStringLiteral("select AUTO_FORM from OPZIONI where ID=0")).toInt(); };
        {
            Programma p(d);
            QVERIFY(p.avvia());
            TFormRicercaAnnunci *annunci = TFormRicercaAnnunci::ApriElencoCompleto();
            annunci->SpeedButtonLock->click();
            QCOMPARE(autoForm(), 1);
            auto *clienti = qobject_cast<TRicercaClientiFinta *>(
                p.main.ApriFinestra(QStringLiteral("TFormRicercaClienti"), [] { return new TRicercaClientiFinta; }));
            TFormRicercaRichieste *f = TFormRicercaRichieste::ApriElencoCompleto();
            QVERIFY(!f->SpeedButtonLock->isChecked());
            QCOMPARE(f->SpeedButtonLock->toolTip(), QStringLiteral("Mantieni aperta alla prossima esecuzione"));

            // Down: 2, and the other searches' locks go up without their handlers.
            f->SpeedButtonLock->click();
            QCOMPARE(autoForm(), 2);
            QVERIFY(!annunci->SpeedButtonLock->isChecked());
            QVERIFY(!clienti->SpeedButtonLock->isChecked());
            QCOMPARE(clienti->scritture, 0);
            QCOMPARE(autoForm(), 2);

            // Up: 0; the client search's lock goes up again, the listing search's stays as it is.
            {
                const QSignalBlocker b1(annunci->SpeedButtonLock), b2(clienti->SpeedButtonLock);
                annunci->SpeedButtonLock->setChecked(true);
                clienti->SpeedButtonLock->setChecked(true);
            }
            f->SpeedButtonLock->click();
            QCOMPARE(autoForm(), 0);
            QVERIFY(annunci->SpeedButtonLock->isChecked());
            QVERIFY(!clienti->SpeedButtonLock->isChecked());
            f->SpeedButtonLock->click();
            QCOMPARE(autoForm(), 2);
        }
        // The next time the screen opens, the lock is down.
        Programma p(d);
        QVERIFY(p.avvia());
        QVERIFY(TFormRicercaRichieste::ApriElencoCompleto()->SpeedButtonLock->isChecked());
    }

    void esportazioneHtml()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d.db());
        Programma p(d);
        QVERIFY(p.avvia());
        // "Elenco Richieste": the full list, exported at once to a temporary file that is opened.
        TFormRicercaRichieste::StampaElencoRichieste();
        TFormRicercaRichieste *f = p.ricerca();
        QVERIFY(f);
        QCOMPARE(ui.fileAperti.size(), 1);
        QVERIFY(!p.main.AperturaDiretta);
        QVERIFY(p.main.FileTemporanei.contains(ui.fileAperti.first()));
        QFile file(ui.fileAperti.first());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        QVERIFY(html.contains(QStringLiteral("<title>Tavo - Elenco Richieste</title>")));
        QStringList titoli;
        const QRegularExpression th(QStringLiteral("<th>([^<]*)</th>"));
        for (auto it = th.globalMatch(html); it.hasNext();)
            titoli << it.next().captured(1);
        QCOMPARE(titoli.size(), TFormRicercaRichieste::colonneGriglia().size());
        QCOMPARE(titoli.first(), QStringLiteral("Cliente"));
        QVERIFY(titoli.contains(QStringLiteral("Località")));
        QCOMPARE(titoli.last(), QStringLiteral("Data Ult. Modifica"));
        QCOMPARE(html.count(QStringLiteral("<tr>")), 5); // the titles and four requests
        QVERIFY(html.contains(QStringLiteral("<td>L'AQUILA, MILANO</td>")) ||
                html.contains(QStringLiteral("<td>L&#39;AQUILA, MILANO</td>")));

        // The grid's entry asks where to save; only the rows shown are written.
        f->EditCliente->setCurrentIndex(f->EditCliente->findText(QStringLiteral("ROSSI MARIO")));
        const QString salvato = d.folder() + QStringLiteral("/richieste.htm");
        ui.prossimoFile(salvato);
        ui.prossimoPulsante(3); // "Continua"
        voceEsportazione(f, "MenuEsportainHTML")->trigger();
        QFile scritto(salvato);
        QVERIFY(scritto.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(scritto.readAll()).count(QStringLiteral("<tr>")), 3);
    }

    void comandiVersoAltreSchermate()
    {
        ScriptedUiService ui;
        TempDatabase d;
        agenzia(d.db());
        Doppi doppi;
        Programma p(d);
        QVERIFY(p.avvia());
        // Without the screens they open, the commands stay disabled.
        for (const char *classe : {"TFormInsVarRichieste", "TFormRicercaClienti"})
            tavo::registraSchermata(QLatin1String(classe), {});
        TFormRicercaRichieste *f = TFormRicercaRichieste::ApriElencoCompleto();
        QVERIFY(!f->ButtonRichiesta->isEnabled());
        QVERIFY(!f->ButtonCercaCliente->isEnabled());
        doppi.tutti();
        f->AggiornaPulsanti();
        QVERIFY(f->ButtonRichiesta->isEnabled());
        QVERIFY(f->ButtonNuovaRichiesta->isEnabled());

        // The request editor: the button, a double click (the default entry), a new request.
        QVERIFY(p.vaiA(11));
        f->ButtonRichiesta->click();
        tavo::TMemTableModel *m = f->DBGridRichieste->modelloTabella();
        const QRect cella = f->DBGridRichieste->visualRect(m->index(2, m->sectionOf(QStringLiteral("CLIENTE"))));
        QTest::mouseDClick(f->DBGridRichieste->viewport(), Qt::LeftButton, {}, cella.center());
        f->MenuNuovaRichiesta->trigger();
        // Appointments and sends of the request.
        QVERIFY(p.vaiA(10));
        f->MenuVaiagliAppuntamenti->trigger();
        f->MenuMostraInviigieffettuati->trigger();
        // Sheets: the current request, then every request shown in the grid's order, the current one staying.
        f->MenuRichiestaCorrente->trigger();
        f->DBGridRichiesteTitleClick(QStringLiteral("CLIENTE"));
        f->DBGridRichiesteTitleClick(QStringLiteral("CLIENTE")); // descending
        QVERIFY(p.vaiA(11));
        emit f->MenuStampaSchedaRichiesta->aboutToShow();
        QVERIFY(f->MenuTutteleRichieste->isEnabled());
        f->MenuTutteleRichieste->trigger();
        QCOMPARE(p.richieste()->value(QStringLiteral("ID_RICHIESTA")).toInt(), 11);
        QCOMPARE(chiamate(), (QStringList{"CaricaRichiesta 11", "CaricaRichiesta 12", "CaricaRichiesta 0",
                                          "ElencoAppuntamentiRichiesta 10", "MostraInvii 10", "ImpostaRichieste 10",
                                          "ImpostaRichieste 13,10,11,12"}));

        // The client editor, directly.
        QVERIFY(p.vaiA(13));
        f->ButtonCliente->click();
        auto *cliente = qobject_cast<TFormInsVarClienti *>(p.main.finestraAperta(QStringLiteral("TFormInsVarClienti")));
        QVERIFY(cliente);
        QCOMPARE(cliente->idCliente(), 3);

        // "Cerca Cliente": the client search as a picker; its choice comes back as the contract says.
        f->ButtonCercaCliente->click();
        auto *clienti =
            qobject_cast<TRicercaClientiFinta *>(p.main.finestraAperta(QStringLiteral("TFormRicercaClienti")));
        QVERIFY(clienti);
        QCOMPARE(clienti->ButtonCliente->property("tag").toInt(), 1);
        QCOMPARE(clienti->ButtonCliente->text(), QStringLiteral("Scegli Cliente"));
        QMetaObject::invokeMethod(f, "AggiornaListe", Qt::DirectConnection);
        {
            const QSignalBlocker blocco(f->EditCliente);
            f->EditCliente->setCurrentIndex(f->EditCliente->findData(2));
        }
        QMetaObject::invokeMethod(f, "FiltroChange", Qt::DirectConnection);
        QCOMPARE(righe(f), QList<int>{12});
        QVERIFY(ui.senzaRisposta.isEmpty());
    }

    // The screen with the sample agency, for a look at it (saved when TAVO_SCREENSHOT_DIR names a folder).
    void schermataConDatiDemo()
    {
        ScriptedUiService ui;
        TempDatabase d;
        tavo::db::addDemoAgency(d.db(), d.folder() + QStringLiteral("/foto"), 1);
        Programma p(d);
        QVERIFY(p.avvia());
        TFormRicercaRichieste *f = TFormRicercaRichieste::ApriElencoCompleto();
        f->finestra()->resize(1180, 620);
        f->finestra()->move(0, 0);
        f->DBGridRichiesteTitleClick(QStringLiteral("CLIENTE"));
        p.richieste()->first();
        p.richieste()->next();
        QApplication::setActiveWindow(&p.main);
        QVERIFY(QTest::qWaitForWindowActive(&p.main));
        f->EditPrezzoMin->setFocus();
        QTRY_COMPARE(f->EditPrezzoMin->palette().color(QPalette::Base), QColor(234, 178, 132));
        QCOMPARE(p.richieste()->recordCount(), 80);
        QVERIFY(!f->DBGridRichieste->isColumnHidden(f->DBGridRichieste->sezioneColonna(QStringLiteral("COMUNI"))));
        const QString cartella = qEnvironmentVariable("TAVO_SCREENSHOT_DIR");
        if (!cartella.isEmpty()) {
            QDir().mkpath(cartella);
            QVERIFY(f->finestra()->grab().save(cartella + QStringLiteral("/ricercarichieste.png")));
            QVERIFY(p.main.grab().save(cartella + QStringLiteral("/ricercarichieste_main.png")));
        }
    }
};

QTEST_MAIN(TestRicercaRichieste)
#include "tst_ricercarichieste.moc"
