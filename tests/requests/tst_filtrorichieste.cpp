// The request search's logic without widgets: the filter expression (written, and applied to the real
// MemTableRichieste filled from a test database), the preset periods, the filter lists and the deletion of a request.

#include "tempdatabase.h"

#include "data/dmQueryComposte.h"
#include "requests/filtrorichieste.h"

#include <QtTest>

#include <algorithm>

using tavo::ParametriFiltroRichieste;
using tavo::PeriodoPredefinito;
using tavo::test::TempDatabase;
namespace db = tavo::db;

Q_DECLARE_METATYPE(ParametriFiltroRichieste)
Q_DECLARE_METATYPE(PeriodoPredefinito)

namespace {

const int Milano = 15146, Roma = 58091, Aquila = 66049, RomanoDiLombardia = 16183, Trieste = 32006,
          SantaCaterinaDEste = 28108;

void cliente(db::Transaction &tr, int id, const QVariant &descr, const QVariant &email,
             const QVariant &telefono1 = QVariant(), const QVariant &telefono3 = QVariant())
{
    db::Query q(tr, QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR,EMAIL,TELEFONO1,TELEFONO3) values "
                                   "(:ID,:DESCR,:EMAIL,:T1,:T3)"));
    q.setParam(QStringLiteral("ID"), id);
    q.setParam(QStringLiteral("DESCR"), descr);
    q.setParam(QStringLiteral("EMAIL"), email);
    q.setParam(QStringLiteral("T1"), telefono1);
    q.setParam(QStringLiteral("T3"), telefono3);
    q.exec();
}

// A request for flats for sale in the given municipalities, in that order.
void richiesta(db::Transaction &tr, int id, int idCliente, const QList<int> &comuni, double prezzoMin, double prezzoMax,
               const QVariant &data)
{
    db::Query q(tr, QStringLiteral("insert into RICHIESTE (ID_RICHIESTA,ID_CLIENTE,PREZZO_MIN,PREZZO_MAX,MQ_MIN,MQ_MAX,"
                                   "NR_LOCALI_MIN,NR_LOCALI_MAX,NR_SERVIZI_MIN,NR_SERVIZI_MAX,NR_CAMERE_MIN,"
                                   "NR_CAMERE_MAX,DATA_ULT_MODIFICA) values (:ID,:CLIENTE,:MIN,:MAX,0,0,0,0,0,0,0,0,"
                                   ":DATA)"));
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
                 QStringLiteral("insert into RICHIESTE_TIP_IMMOBILI (ID_RICHIESTA,ID_TIP_IMMOBILE) values (:ID,1)"));
    ti.setParam(QStringLiteral("ID"), id);
    ti.exec();
    db::Query ta(tr, QStringLiteral("insert into RICHIESTE_TIP_ANNUNCI (ID_RICHIESTA,ID_TIP_ANNUNCIO) values (:ID,1)"));
    ta.setParam(QStringLiteral("ID"), id);
    ta.exec();
}

QDateTime momento(int anno, int mese, int giorno, int ora = 0, int minuto = 0, int secondo = 0)
{
    return QDateTime(QDate(anno, mese, giorno), QTime(ora, minuto, secondo));
}

// Five clients (one known by e-mail only, one by phones only, one without requests) and six requests.
//
//   id  client         municipalities                    min      max      last change
//   1   ROSSI          MILANO                            100000   200000   15/03/2024 10:00
//   2   ROSSI          ROMANO DI LOMBARDIA               0        0        29/02/2024 00:00
//   3   BIANCHI        L'AQUILA, MILANO                  150000   0        31/03/2024 23:59:59
//   4   verdi@mail.it  TRIESTE                           150000   300000   28/02/2024 23:00
//   5   BIANCHI        SANTA CATERINA D'ESTE             0        250000   -
//   6   (phones)       ROMA, TRIESTE                     0        0        10/01/2024
void agenzia(db::Database &database)
{
    db::Transaction tr(database);
    cliente(tr, 1, QStringLiteral("ROSSI"), QVariant());
    cliente(tr, 2, QStringLiteral("BIANCHI"), QStringLiteral("bianchi@mail.it"));
    cliente(tr, 3, QVariant(), QStringLiteral("verdi@mail.it"));
    cliente(tr, 4, QStringLiteral("NESSUNA RICHIESTA"), QVariant());
    cliente(tr, 5, QString(), QString(), QStringLiteral("02 123"), QStringLiteral("333 4"));
    richiesta(tr, 1, 1, {Milano}, 100000, 200000, momento(2024, 3, 15, 10));
    richiesta(tr, 2, 1, {RomanoDiLombardia}, 0, 0, momento(2024, 2, 29));
    richiesta(tr, 3, 2, {Aquila, Milano}, 150000, 0, momento(2024, 3, 31, 23, 59, 59));
    richiesta(tr, 4, 3, {Trieste}, 150000, 300000, momento(2024, 2, 28, 23));
    richiesta(tr, 5, 2, {SantaCaterinaDEste}, 0, 250000, QVariant());
    richiesta(tr, 6, 5, {Roma, Trieste}, 0, 0, momento(2024, 1, 10));
    tr.commit();
}

// The ids of the rows the filter lets through, ascending.
QList<int> filtrate(tavo::TMemTable *t, const QString &espressione)
{
    t->setFilter(espressione);
    t->setFiltered(!espressione.isEmpty());
    QList<int> ids;
    for (t->first(); !t->eof(); t->next())
        ids << t->value(QStringLiteral("ID_RICHIESTA")).toInt();
    std::sort(ids.begin(), ids.end());
    return ids;
}

} // namespace

class TestFiltroRichieste : public QObject
{
    Q_OBJECT

private slots:
    void espressione_data()
    {
        QTest::addColumn<ParametriFiltroRichieste>("p");
        QTest::addColumn<QString>("attesa");
        ParametriFiltroRichieste p;
        QTest::newRow("nothing set") << p << QString();
        p.idCliente = 12;
        QTest::newRow("client") << p << QStringLiteral("ID_CLIENTE=12");
        p = {};
        p.dataInizio = QDate(2024, 2, 29);
        p.dataFine = QDate(2024, 3, 31);
        QTest::newRow("dates") << p
                               << QStringLiteral("DATA_ULT_MODIFICA>='2024/02/29' and "
                                                 "DATA_ULT_MODIFICA<='2024/03/31 23.59.59'");
        p = {};
        p.comune = QStringLiteral("L'AQUILA");
        QTest::newRow("municipality, quote doubled")
            << p
            << QStringLiteral("(COMUNI='L''AQUILA' or COMUNI like 'L''AQUILA, *' or COMUNI like '*, L''AQUILA' or "
                              "COMUNI like '*, L''AQUILA, *' or COMUNI like 'L''AQUILA (*' or "
                              "COMUNI like '*, L''AQUILA (*')");
        p = {};
        p.prezzoMin = 99999.99;
        p.prezzoMax = 250000.5;
        QTest::newRow("integer parts") << p << QStringLiteral("PREZZO_MIN>=99999 and PREZZO_MAX<=250000");
        p = {};
        p.idCliente = 3;
        p.dataFine = QDate(2024, 1, 5);
        p.comune = QStringLiteral("MILANO");
        p.prezzoMax = 1000;
        QTest::newRow("all, in the panel's order")
            << p
            << QStringLiteral("ID_CLIENTE=3 and DATA_ULT_MODIFICA<='2024/01/05 23.59.59' and (COMUNI='MILANO' or "
                              "COMUNI like 'MILANO, *' or COMUNI like '*, MILANO' or COMUNI like '*, MILANO, *' or "
                              "COMUNI like 'MILANO (*' or COMUNI like '*, MILANO (*') and "
                              "PREZZO_MAX<=1000");
    }
    void espressione()
    {
        QFETCH(ParametriFiltroRichieste, p);
        QFETCH(QString, attesa);
        QCOMPARE(tavo::espressioneFiltroRichieste(p), attesa);
    }

    // The municipality part on the texts the engine writes in COMUNI, zones included.
    void comuneEZone_data()
    {
        QTest::addColumn<QString>("comune");
        QTest::addColumn<QList<int>>("attese");
        QTest::newRow("MILANO takes its zones") << QStringLiteral("MILANO") << QList<int>{1, 2, 3};
        QTest::newRow("one zone only") << QStringLiteral("MILANO (ZONA BRERA)") << QList<int>{2};
        QTest::newRow("ROMA is not ROMANO DI LOMBARDIA") << QStringLiteral("ROMA") << QList<int>{5};
        QTest::newRow("ESTE is not TRIESTE") << QStringLiteral("ESTE") << QList<int>{};
    }
    void comuneEZone()
    {
        QFETCH(QString, comune);
        QFETCH(QList<int>, attese);
        tavo::TMemTable t(QStringLiteral("Comuni"));
        t.addColumn(tavo::TMemColumn(QStringLiteral("ID_RICHIESTA"), tavo::FieldType::Integer));
        t.addColumn(tavo::TMemColumn(QStringLiteral("COMUNI"), tavo::FieldType::Memo));
        t.open();
        const QStringList righe = {QStringLiteral("MILANO"), QStringLiteral("MONZA, MILANO (ZONA BRERA)"),
                                   QStringLiteral("MILANO (ZONA ISOLA), LODI"), QStringLiteral("ROMANO DI LOMBARDIA"),
                                   QStringLiteral("TRIESTE, ROMA"), QStringLiteral("MILANESE")};
        for (int i = 0; i < righe.size(); ++i) {
            t.append();
            t.setValue(QStringLiteral("ID_RICHIESTA"), i + 1);
            t.setValue(QStringLiteral("COMUNI"), righe.at(i));
            t.post();
        }
        try {
            QCOMPARE(filtrate(&t, tavo::espressioneComune(comune)), attese);
        } catch (const tavo::MemTableError &e) {
            QFAIL(qPrintable(e.message()));
        }
    }

    // The expressions on the real request table, filled by the matching engine from the database.
    void filtroSullaTabella_data()
    {
        QTest::addColumn<ParametriFiltroRichieste>("p");
        QTest::addColumn<QList<int>>("attese");
        ParametriFiltroRichieste p;
        QTest::newRow("no filter") << p << QList<int>{1, 2, 3, 4, 5, 6};
        p.idCliente = 1;
        QTest::newRow("client") << p << QList<int>{1, 2};
        p = {};
        p.comune = QStringLiteral("MILANO");
        QTest::newRow("MILANO, also as the second of two") << p << QList<int>{1, 3};
        p.comune = QStringLiteral("L'AQUILA");
        QTest::newRow("L'AQUILA, first of two") << p << QList<int>{3};
        p.comune = QStringLiteral("TRIESTE");
        QTest::newRow("TRIESTE alone and last of two") << p << QList<int>{4, 6};
        p.comune = QStringLiteral("ROMA");
        QTest::newRow("ROMA is not ROMANO DI LOMBARDIA") << p << QList<int>{6};
        p.comune = QStringLiteral("ESTE");
        QTest::newRow("ESTE is neither TRIESTE nor SANTA CATERINA D'ESTE") << p << QList<int>{};
        p.comune = QStringLiteral("SANTA CATERINA D'ESTE");
        QTest::newRow("quote in the name") << p << QList<int>{5};
        p = {};
        p.prezzoMin = 150000.75;
        QTest::newRow("minimum by its integer part; PREZZO_MIN 0 out") << p << QList<int>{3, 4};
        p = {};
        p.prezzoMax = 250000.9;
        QTest::newRow("maximum by its integer part; PREZZO_MAX 0 in") << p << QList<int>{1, 2, 3, 5, 6};
        p = {};
        p.dataInizio = QDate(2024, 2, 29);
        QTest::newRow("from the start of the day") << p << QList<int>{1, 2, 3};
        p = {};
        p.dataFine = QDate(2024, 2, 29);
        QTest::newRow("to the end of the day") << p << QList<int>{2, 4, 6};
        p.dataFine = QDate(2024, 3, 31);
        QTest::newRow("23.59.59 is in") << p << QList<int>{1, 2, 3, 4, 6};
        p = {};
        p.idCliente = 1;
        p.dataInizio = QDate(2024, 2, 29);
        p.dataFine = QDate(2024, 3, 31);
        p.prezzoMin = 1;
        QTest::newRow("client, period and minimum") << p << QList<int>{1};
    }
    void filtroSullaTabella()
    {
        QFETCH(ParametriFiltroRichieste, p);
        QFETCH(QList<int>, attese);
        TempDatabase d;
        agenzia(d.db());
        tavo::TDataModuleQueryComposte dm(d.db());
        tavo::TMemTable *t = dm.MemTableRichieste();
        t->open();
        // The municipalities are listed in the order they were linked.
        QVERIFY(t->locate(QStringLiteral("ID_RICHIESTA"), 3));
        QCOMPARE(t->value(QStringLiteral("COMUNI")).toString(), QStringLiteral("L'AQUILA, MILANO"));
        QCOMPARE(filtrate(t, tavo::espressioneFiltroRichieste(p)), attese);
    }

    void periodi_data()
    {
        QTest::addColumn<PeriodoPredefinito>("periodo");
        QTest::addColumn<QDate>("oggi");
        QTest::addColumn<QDate>("inizio");
        QTest::newRow("week across months")
            << PeriodoPredefinito::UltimaSettimana << QDate(2024, 3, 3) << QDate(2024, 2, 25);
        QTest::newRow("31 March - 1 month, leap year")
            << PeriodoPredefinito::UltimoMese << QDate(2024, 3, 31) << QDate(2024, 2, 29);
        QTest::newRow("31 March - 1 month")
            << PeriodoPredefinito::UltimoMese << QDate(2023, 3, 31) << QDate(2023, 2, 28);
        QTest::newRow("31 July - 1 month")
            << PeriodoPredefinito::UltimoMese << QDate(2024, 7, 31) << QDate(2024, 6, 30);
        QTest::newRow("15 January - 1 month")
            << PeriodoPredefinito::UltimoMese << QDate(2024, 1, 15) << QDate(2023, 12, 15);
        QTest::newRow("30 April - 2 months")
            << PeriodoPredefinito::Ultimi2Mesi << QDate(2024, 4, 30) << QDate(2024, 2, 29);
        QTest::newRow("31 May - 3 months")
            << PeriodoPredefinito::Ultimi3Mesi << QDate(2023, 5, 31) << QDate(2023, 2, 28);
        QTest::newRow("31 August - 6 months")
            << PeriodoPredefinito::Ultimi6Mesi << QDate(2024, 8, 31) << QDate(2024, 2, 29);
        QTest::newRow("29 February - 1 year")
            << PeriodoPredefinito::UltimoAnno << QDate(2024, 2, 29) << QDate(2023, 2, 28);
    }
    void periodi()
    {
        QFETCH(PeriodoPredefinito, periodo);
        QFETCH(QDate, oggi);
        QFETCH(QDate, inizio);
        QCOMPARE(tavo::inizioPeriodo(periodo, oggi), inizio);
    }

    void vociPeriodi()
    {
        QStringList voci;
        for (PeriodoPredefinito p : tavo::periodiPredefiniti())
            voci << tavo::testoPeriodo(p);
        QCOMPARE(voci, (QStringList{"Ultima Settimana", "Ultimo Mese", "Ultimi 2 Mesi", "Ultimi 3 Mesi",
                                    "Ultimi 6 mesi", "Ultimo Anno"}));
    }

    void elenchi()
    {
        TempDatabase d;
        agenzia(d.db());
        db::Transaction tr(d.db());
        // Clients with requests only, by DESCR (no name first), each by its name, else e-mail, else phones.
        QStringList testi;
        QList<int> ids;
        for (const tavo::ClienteRichieste &c : tavo::caricaClientiRichieste(tr)) {
            testi << c.testo;
            ids << c.idCliente;
        }
        QCOMPARE(testi, (QStringList{"verdi@mail.it", "02 123  333 4", "BIANCHI", "ROSSI"}));
        QCOMPARE(ids, (QList<int>{3, 5, 2, 1}));
        // Municipalities used by requests, once each, by name.
        QCOMPARE(tavo::caricaComuniRichieste(tr), (QStringList{"L'AQUILA", "MILANO", "ROMA", "ROMANO DI LOMBARDIA",
                                                               "SANTA CATERINA D'ESTE", "TRIESTE"}));
    }

    void eliminazione()
    {
        TempDatabase d;
        agenzia(d.db());
        // What hangs on request 3: a send and an appointment; the listing that was sent.
        d.exec(QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR) values (9,'PROPRIETARIO')"));
        d.exec(QStringLiteral("insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE,ID_CLIENTE,ID_COMUNE,"
                              "ID_TIPOLOGIA_IMMOBILE,ID_TIPOLOGIA_ANNUNCIO,RIFERIMENTO,ELIMINATO) values "
                              "(50,9,15146,1,1,'MI1','N')"));
        d.exec(QStringLiteral("insert into RICHIESTE_EMAIL (ID_ANNUNCIO_IMMOBILE,ID_RICHIESTA,DATA_ORA,TIPO,EMAIL) "
                              "values (50,3,'2024-03-01','E','bianchi@mail.it')"));
        d.exec(QStringLiteral("insert into APPUNTAMENTI (ID,ID_RICHIESTA,INIZIO,FINE) values "
                              "('A1',3,'2024-04-02 10:00','2024-04-02 11:00')"));

        db::Transaction tr(d.db());
        tavo::eliminaRichiesta(tr, 3);
        // Committed (read on another transaction), and the transaction is still usable.
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from RICHIESTE where ID_RICHIESTA=3")).toInt(), 0);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from RICHIESTE")).toInt(), 5);
        // The database's own rules took the rows that referred to it, and only those.
        for (const char *tabella :
             {"RICHIESTE_COMUNI", "RICHIESTE_TIP_IMMOBILI", "RICHIESTE_TIP_ANNUNCI", "RICHIESTE_EMAIL", "APPUNTAMENTI"})
            QCOMPARE(
                d.scalar(QStringLiteral("select count(*) from %1 where ID_RICHIESTA=3").arg(QLatin1String(tabella)))
                    .toInt(),
                0);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from RICHIESTE_COMUNI")).toInt(), 6);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")).toInt(), 1);
        tavo::eliminaRichiesta(tr, 4);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from RICHIESTE")).toInt(), 4);
        // A request that does not exist: nothing happens.
        tavo::eliminaRichiesta(tr, 99);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from RICHIESTE")).toInt(), 4);
    }
};

QTEST_GUILESS_MAIN(TestFiltroRichieste)
#include "tst_filtrorichieste.moc"
