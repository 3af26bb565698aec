// The listing search's logic without widgets: the filter expression (checked against the real MemTableAnnunci),
// the ".par" parameter files, and the search's reads and writes on a real database.

#include "fixtureannunci.h"
#include "tempdatabase.h"

#include "data/dmQueryComposte.h"
#include "data/testo/win1252.h"
#include "listings/datiricercaannunci.h"
#include "listings/filtroannunci.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using tavo::ParametriFiltroAnnunci;
using tavo::test::TempDatabase;
namespace db = tavo::db;
namespace annunci = tavo::test::annunci;

Q_DECLARE_METATYPE(ParametriFiltroAnnunci)

namespace {

QByteArray leggi(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void scrivi(const QString &file, const QByteArray &byte)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(byte);
}

} // namespace

class TestFiltroAnnunci : public QObject
{
    Q_OBJECT

private slots:
    void espressione_data()
    {
        QTest::addColumn<ParametriFiltroAnnunci>("p");
        QTest::addColumn<QString>("attesa");
        ParametriFiltroAnnunci p;
        p.stato = ParametriFiltroAnnunci::StatoNessuno;
        QTest::newRow("nothing set") << p << QString();
        p.stato = ParametriFiltroAnnunci::Tutti;
        QTest::newRow("only Tutti") << p << QString();
        p.comune = QStringLiteral("L'AQUILA");
        QTest::newRow("quote doubled") << p << QStringLiteral("COMUNE='L''AQUILA'");
        p = {};
        p.stato = ParametriFiltroAnnunci::Tutti;
        p.prezzoMin = 99999.99;
        QTest::newRow("fraction cut") << p << QStringLiteral("PREZZO>=99999");
        p.prezzoMin = 0;
        p.prezzoMax = -5;
        p.mqMin = 0.5;
        QTest::newRow("numbers above 0 only") << p << QStringLiteral("MQ>=0");
        p = {};
        p.priorita = ParametriFiltroAnnunci::Pubblicabili;
        QTest::newRow("Pubblicabili") << p << QStringLiteral("ELIMINATO='N' and PRIORITA>0");
        p.priorita = 0;
        p.stato = ParametriFiltroAnnunci::Inattivi;
        QTest::newRow("Non Pubblicare, Inattivi") << p << QStringLiteral("ELIMINATO='S' and PRIORITA=0");
        p.localita = QStringLiteral("   ");
        p.priorita = ParametriFiltroAnnunci::PrioritaNessuna;
        QTest::newRow("blank text is not set") << p << QStringLiteral("ELIMINATO='S'");

        ParametriFiltroAnnunci tutto;
        tutto.idCliente = 12;
        tutto.comune = QStringLiteral("MILANO");
        tutto.tipImmobile = QStringLiteral("VILLA");
        tutto.tipAnnuncio = QStringLiteral("VENDITA");
        tutto.localita = QStringLiteral("SANT'ELIA");
        tutto.prezzoMin = 1000.9;
        tutto.prezzoMax = 3e12;
        tutto.riferimento = QStringLiteral("A'B");
        tutto.mqMin = 10;
        tutto.mqMax = 20;
        tutto.localiMin = 2.5;
        tutto.localiMax = 4;
        tutto.priorita = 5;
        QTest::newRow("every control, in the panel's order")
            << tutto
            << QStringLiteral("ID_CLIENTE=12 and COMUNE='MILANO' and TIPOLOGIA_IMMOBILE='VILLA' and "
                              "TIPOLOGIA_ANNUNCIO='VENDITA' and LOCALITA='SANT''ELIA' and PREZZO>=1000 and "
                              "PREZZO<=3000000000000 and RIFERIMENTO='A''B' and MQ>=10 and MQ<=20 and NR_LOCALI>=2 "
                              "and NR_LOCALI<=4 and ELIMINATO='N' and PRIORITA=5");
    }
    void espressione()
    {
        QFETCH(ParametriFiltroAnnunci, p);
        QFETCH(QString, attesa);
        QCOMPARE(tavo::espressioneFiltroAnnunci(p), attesa);
    }

    // Every expression the panel can build is one the listing table accepts, and selects what it says.
    void espressioneSullaTabella_data()
    {
        QTest::addColumn<ParametriFiltroAnnunci>("p");
        QTest::addColumn<QStringList>("riferimenti");
        ParametriFiltroAnnunci p;
        p.comune = QStringLiteral("L'AQUILA");
        QTest::newRow("L'Aquila") << p << QStringList{QStringLiteral("AQ1")};
        p = {};
        p.prezzoMin = 99999.99;
        QTest::newRow("99999,99") << p
                                  << QStringList{QStringLiteral("AQ1"), QStringLiteral("MI1"), QStringLiteral("MI2")};
        p = {};
        p.stato = ParametriFiltroAnnunci::Tutti;
        p.priorita = ParametriFiltroAnnunci::Pubblicabili;
        QTest::newRow("Pubblicabili") << p
                                      << QStringList{QStringLiteral("AQ1"), QStringLiteral("MI2"),
                                                     QStringLiteral("RM1")};
        p = {};
        p.localiMin = 3.9;
        p.stato = ParametriFiltroAnnunci::Tutti;
        QTest::newRow("rooms cut to 3") << p
                                        << QStringList{QStringLiteral("AQ1"), QStringLiteral("MI2"),
                                                       QStringLiteral("RM1")};
    }
    void espressioneSullaTabella()
    {
        QFETCH(ParametriFiltroAnnunci, p);
        QFETCH(QStringList, riferimenti);
        TempDatabase d;
        annunci::agenzia(d.db());
        tavo::TDataModuleQueryComposte modulo(d.db());
        tavo::TMemTable *t = modulo.MemTableAnnunci();
        t->open();
        t->setFilter(tavo::espressioneFiltroAnnunci(p));
        t->setFiltered(true);
        QStringList trovati;
        for (t->first(); !t->eof(); t->next())
            trovati << t->value(QStringLiteral("RIFERIMENTO")).toString();
        trovati.sort(); // the source query has no order of its own
        QCOMPARE(trovati, riferimenti);
    }

    void idIncroci()
    {
        QCOMPARE(tavo::idIncrociInElenco(QStringLiteral("12\r\n7\r\n")), QStringLiteral("12,7"));
        QCOMPARE(tavo::idIncrociInElenco(QString()), QString());
    }

    // ---- parameter files ----------------------------------------------------------------------------------------

    void fileParametriAndataERitorno()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("filtro.par"));
        ParametriFiltroAnnunci p;
        p.idCliente = 3; // not kept: the screen finds the client by its text
        p.cliente = QStringLiteral("ROSSI MARIO");
        p.comune = QStringLiteral("L'AQUILA");
        p.tipImmobile = QStringLiteral("APPARTAMENTO");
        p.tipAnnuncio = QStringLiteral("VENDITA");
        p.localita = QStringLiteral("SANTA LUCÌA");
        p.riferimento = QStringLiteral("AQ1");
        p.prezzoMin = 99999.99;
        p.prezzoMax = 250000;
        p.mqMin = 80.5;
        p.mqMax = 0;
        p.localiMin = 2.5;
        p.localiMax = 4;
        p.stato = ParametriFiltroAnnunci::Tutti;
        p.priorita = ParametriFiltroAnnunci::Pubblicabili;
        QString errore;
        QVERIFY2(tavo::scriviParametriFiltro(file, p, &errore), qPrintable(errore));

        // One section, the keys as named, single-byte text with CR LF.
        const QByteArray byte = leggi(file);
        QVERIFY(byte.startsWith("[Ricerca Annunci]\r\n"));
        QVERIFY(byte.contains(tavo::toWin1252(QStringLiteral("Località=SANTA LUCÌA\r\n"))));
        QVERIFY(byte.contains(tavo::toWin1252(QStringLiteral("Priorità=6\r\n"))));
        QVERIFY(byte.contains("Inattivi=2\r\n"));
        QVERIFY(byte.contains("Comune=L'AQUILA\r\n"));

        ParametriFiltroAnnunci letti;
        QVERIFY(tavo::leggiParametriFiltro(file, letti, &errore));
        p.idCliente = 0;
        QVERIFY(letti == p);
    }

    // Files written elsewhere: UTF-8, other letter case, quotes, blanks, values that are not numbers, positions
    // out of the lists, keys missing.
    void fileParametriScrittiAltrove_data()
    {
        QTest::addColumn<QByteArray>("contenuto");
        QTest::addColumn<ParametriFiltroAnnunci>("atteso");
        ParametriFiltroAnnunci vuoto;
        vuoto.stato = ParametriFiltroAnnunci::Attivi;
        QTest::newRow("empty file: defaults") << QByteArray() << vuoto;
        QTest::newRow("another section only") << QByteArray("[Altro]\nComune=MILANO\n") << vuoto;

        ParametriFiltroAnnunci a = vuoto;
        a.comune = QStringLiteral("MILANO");
        a.localita = QStringLiteral("CITTÀ ALTA");
        a.prezzoMin = 1500.5;
        a.mqMax = 0;
        a.stato = ParametriFiltroAnnunci::Inattivi;
        a.priorita = 3;
        QTest::newRow("UTF-8, any case, quotes and blanks")
            << QByteArray("\xEF\xBB\xBF; comment\n[ricerca annunci]\n  COMUNE =  \"MILANO\"  \nlocalità=CITTÀ ALTA\n"
                          "Prezzo Min=1500.5\nMq Max=tanti\ninattivi=1\nPRIORITÀ=3\n")
            << a;
        ParametriFiltroAnnunci b = vuoto;
        b.localita = QStringLiteral("CITTÀ");
        b.stato = ParametriFiltroAnnunci::StatoNessuno;
        b.priorita = ParametriFiltroAnnunci::PrioritaNessuna;
        QTest::newRow("Windows-1252, positions out of the lists")
            << (QByteArray("[Ricerca Annunci]\r\nLocalit\xE0=CITT\xC0\r\nInattivi=7\r\nPriorit\xE0=9\r\n")) << b;
    }
    void fileParametriScrittiAltrove()
    {
        QFETCH(QByteArray, contenuto);
        QFETCH(ParametriFiltroAnnunci, atteso);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("x.par"));
        scrivi(file, contenuto);
        ParametriFiltroAnnunci letti;
        letti.comune = QStringLiteral("PRIMA");
        QVERIFY(tavo::leggiParametriFiltro(file, letti));
        QCOMPARE(letti.comune, atteso.comune);
        QCOMPARE(letti.localita, atteso.localita);
        QCOMPARE(letti.prezzoMin, atteso.prezzoMin);
        QCOMPARE(letti.mqMax, atteso.mqMax);
        QCOMPARE(letti.stato, atteso.stato);
        QCOMPARE(letti.priorita, atteso.priorita);
        QVERIFY(letti == atteso);
    }

    void fileParametriIllegibileONonScrivibile()
    {
        QTemporaryDir dir;
        ParametriFiltroAnnunci p;
        p.comune = QStringLiteral("MILANO");
        QString errore;
        QVERIFY(!tavo::leggiParametriFiltro(dir.filePath(QStringLiteral("manca.par")), p, &errore));
        QVERIFY(errore.startsWith(QStringLiteral("Impossibile leggere il file")));
        QCOMPARE(p.comune, QStringLiteral("MILANO")); // left as it was

        // A folder where the file should go: nothing written, the message says so.
        const QString cartella = dir.filePath(QStringLiteral("cartella.par"));
        QVERIFY(QDir().mkpath(cartella));
        QVERIFY(!tavo::scriviParametriFiltro(cartella, p, &errore));
        QVERIFY(errore.startsWith(QStringLiteral("Impossibile salvare il file")));

        // An existing file stays whole when the new one cannot be written in its place.
        const QString file = dir.filePath(QStringLiteral("buono.par"));
        QVERIFY(tavo::scriviParametriFiltro(file, p));
        const QByteArray prima = leggi(file);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        p.comune = QStringLiteral("ROMA");
        const bool scritto = tavo::scriviParametriFiltro(file, p, &errore);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (scritto)
            QSKIP("running as a user that writes into read-only folders");
        QCOMPARE(leggi(file), prima);
    }

    // ---- database -----------------------------------------------------------------------------------------------

    void elenchiFiltro()
    {
        TempDatabase d;
        annunci::agenzia(d.db());
        {
            db::Transaction tr(d.db());
            db::Query q(tr,
                        QStringLiteral("update ANNUNCI_IMMOBILI set LOCALITA='centro' where ID_ANNUNCIO_IMMOBILE=103"));
            q.exec();
            tr.commit();
        }
        db::Transaction tr(d.db());
        const tavo::ElenchiFiltroAnnunci e = tavo::caricaElenchiFiltroAnnunci(tr);
        QCOMPARE(e.localita,
                 (QStringList{QStringLiteral("CENTRO"), QStringLiteral("NAVIGLI"), QStringLiteral("PRATI")}));
        QCOMPARE(e.comuni, (QStringList{QStringLiteral("L'AQUILA"), QStringLiteral("MILANO"), QStringLiteral("ROMA"),
                                        QStringLiteral("TORINO")}));
        QCOMPARE(e.tipImmobile, (QStringList{QStringLiteral("APPARTAMENTO"), QStringLiteral("BILOCALE"),
                                             QStringLiteral("TRILOCALE")}));
        QCOMPARE(e.riferimenti, (QStringList{QStringLiteral("AQ1"), QStringLiteral("MI1"), QStringLiteral("MI2"),
                                             QStringLiteral("RM1"), QStringLiteral("TO1")}));
        // Owners only, by DESCR (a null DESCR first), the one without a name shown by its e-mail.
        QCOMPARE(e.clienti.size(), 3);
        QCOMPARE(e.clienti.at(0).testo, QStringLiteral("verdi@mail.it"));
        QCOMPARE(e.clienti.at(0).idCliente, 3);
        QCOMPARE(e.clienti.at(1).testo, QStringLiteral("BIANCHI"));
        QCOMPARE(e.clienti.at(2).testo, QStringLiteral("ROSSI MARIO"));
    }

    void eliminaEAutoFormEFoto()
    {
        TempDatabase d;
        annunci::agenzia(d.db());
        d.exec(QStringLiteral("insert into PHOTOGALLERY (ID_PHOTOGALLERY,ID_ANNUNCIO_IMMOBILE,PATH_IMAGE) "
                              "values (9,103,'/foto/b.jpg')"));
        d.exec(QStringLiteral("insert into PHOTOGALLERY (ID_PHOTOGALLERY,ID_ANNUNCIO_IMMOBILE,PATH_IMAGE) "
                              "values (8,103,'/foto/a.jpg')"));
        db::Transaction tr(d.db());
        const QVariantList foto = tavo::fotoAnnuncio(tr, 103);
        QCOMPARE(foto.size(), 2);
        QCOMPARE(foto.at(0).toMap().value(QStringLiteral("PATH_IMAGE")).toString(), QStringLiteral("/foto/a.jpg"));
        QCOMPARE(foto.at(1).toMap().value(QStringLiteral("PATH_IMAGE")).toString(), QStringLiteral("/foto/b.jpg"));

        QCOMPARE(tavo::leggiAutoForm(tr), 0);
        tavo::scriviAutoForm(tr, 1);
        QCOMPARE(d.scalar(QStringLiteral("select AUTO_FORM from OPZIONI where ID=0")).toInt(), 1); // durable at once
        QCOMPARE(tavo::leggiAutoForm(tr), 1);

        tavo::eliminaAnnuncio(tr, 103);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")).toInt(), 4);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from PHOTOGALLERY")).toInt(), 0);
        tr.commit();
    }
};

QTEST_GUILESS_MAIN(TestFiltroAnnunci)
#include "tst_filtroannunci.moc"
