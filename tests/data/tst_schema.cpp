// The agency database as the creation scripts build it: lookup and geography content, the
// referential rules, the key triggers, VIEW_LOCALITA, and the demo agency.

#include "data/database.h"
#include "data/demo.h"
#include "data/schema.h"
#include "data/scriptrunner.h"

#include "../support/tempdatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

using namespace tavo::db;
using tavo::test::TempDatabase;

namespace {

// Every row of a one-column query, as text, joined with ",".
QString column(Database &db, const QString &sql)
{
    Transaction tr(db);
    Query q(tr, sql);
    q.exec();
    QStringList values;
    while (q.next())
        values << q.value(0).toString().trimmed();
    q.close();
    tr.commit();
    return values.join(QLatin1Char(','));
}

void execAll(Database &db, const QStringList &statements)
{
    Transaction tr(db);
    for (const QString &sql : statements) {
        Query q(tr, sql);
        q.exec();
    }
    tr.commit();
}

} // namespace

class TestSchema : public QObject
{
    Q_OBJECT

private slots:
    // ---- creation ----------------------------------------------------------------------------

    void scriptsParse()
    {
        const QStringList scripts = creationScripts();
        QCOMPARE(scripts.size(), 3);
        for (const QString &script : scripts) {
            QVector<ScriptStatement> statements;
            QString error;
            QVERIFY2(ScriptRunner::parse(script, &statements, &error), qPrintable(error));
            QVERIFY(statements.size() > 5);
        }
    }

    void createFreshDatabase()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("nuovo.fdb"));
        QElapsedTimer timer;
        timer.start();
        createAgencyDatabase(path, TempDatabase::user(), TempDatabase::password());
        qDebug("createAgencyDatabase: %lld ms", timer.elapsed());

        Database db;
        db.open(path, TempDatabase::user(), TempDatabase::password());
        QCOMPARE(column(db, QStringLiteral("select count(*) from REGIONI")), QStringLiteral("20"));
        QCOMPARE(column(db, QStringLiteral("select GEN_RIFERIMENTO from OPZIONI")), QStringLiteral("N"));
    }

    void createRefusesExistingFile()
    {
        // The creation must fail without harming a file that is already there.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("esistente.fdb"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("dati preziosi");
        }
        QVERIFY_THROWS_EXCEPTION(DbError, createAgencyDatabase(path, TempDatabase::user(), TempDatabase::password()));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("dati preziosi"));
    }

    // ---- lookup content ----------------------------------------------------------------------

    void listingKinds()
    {
        TempDatabase t;
        QCOMPARE(
            column(t.db(), QStringLiteral("select ID_TIPOLOGIA_ANNUNCIO || '=' || DESCRIZIONE from TIPOLOGIE_ANNUNCI "
                                          "order by ID_TIPOLOGIA_ANNUNCIO")),
            QStringLiteral("1=VENDITA,2=AFFITTO,3=VACANZE"));
    }

    void propertyTypes_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("plural");
        QTest::addColumn<bool>("commercial");
        QTest::newRow("appartamento") << "APPARTAMENTO"
                                      << "APPARTAMENTI" << false;
        QTest::newRow("monolocale") << "MONOLOCALE"
                                    << "MONOLOCALI" << false;
        QTest::newRow("stanza") << "STANZA"
                                << "STANZE" << false;
        QTest::newRow("villetta") << "VILLETTA A SCHIERA"
                                  << "VILLETTE A SCHIERA" << false;
        QTest::newRow("negozio") << "NEGOZIO"
                                 << "NEGOZI" << true;
        QTest::newRow("ufficio") << "UFFICIO"
                                 << "UFFICI" << true;
        QTest::newRow("capannone") << "CAPANNONE"
                                   << "CAPANNONI" << true;
        QTest::newRow("box") << "BOX"
                             << "BOX" << false;
        QTest::newRow("terreno") << "TERRENO EDIFICABILE"
                                 << "TERRENI EDIFICABILI" << false;
        QTest::newRow("accent") << "ATTIVITÀ COMMERCIALE"
                                << "ATTIVITÀ COMMERCIALI" << true;
    }
    void propertyTypes()
    {
        QFETCH(QString, type);
        QFETCH(QString, plural);
        QFETCH(bool, commercial);
        TempDatabase t;
        Transaction tr(t.db());
        Query q(tr, QStringLiteral("select T.DESCRIZIONE_PLURALE, T.CATEGORIA, M.DESCRIZIONE_PLURALE MACRO "
                                   "from TIPOLOGIE_IMMOBILI T join MACRO_TIPOLOGIE M "
                                   "on M.ID_MACRO_TIPOLOGIA=T.ID_MACRO_TIPOLOGIA where T.DESCRIZIONE=:D"));
        q.setParam(QStringLiteral("D"), type);
        QVERIFY2(q.first(), qPrintable(type));
        QCOMPARE(q.text(QStringLiteral("DESCRIZIONE_PLURALE")), plural);
        QCOMPARE(q.text(QStringLiteral("CATEGORIA")) == QLatin1String("C"), commercial);
        QVERIFY(!q.text(QStringLiteral("MACRO")).isEmpty());
    }

    void everyTypeComplete()
    {
        TempDatabase t;
        QCOMPARE(t.scalar(QStringLiteral("select count(*) from TIPOLOGIE_IMMOBILI where ID_MACRO_TIPOLOGIA is null "
                                         "or DESCRIZIONE_PLURALE is null or DESCRIZIONE_PLURALE=''"))
                     .toInt(),
                 0);
        QCOMPARE(column(t.db(), QStringLiteral("select NOME from NAZIONI")), QStringLiteral("ITALIA"));
    }

    void geography()
    {
        TempDatabase t;
        QCOMPARE(t.scalar(QStringLiteral("select count(*) from REGIONI R join NAZIONI N on N.ID_NAZIONE=R.ID_NAZIONE "
                                         "where N.NOME='ITALIA'"))
                     .toInt(),
                 20);
        const int provinces = t.scalar(QStringLiteral("select count(*) from PROVINCE")).toInt();
        QVERIFY2(provinces >= 100 && provinces <= 110, qPrintable(QString::number(provinces)));
        const int municipalities =
            t.scalar(QStringLiteral("select count(*) from COMUNI where NOME not like '% (ZONA %'")).toInt();
        QVERIFY2(municipalities > 7800 && municipalities < 8000, qPrintable(QString::number(municipalities)));
        // No empty province, no municipality outside a province.
        QCOMPARE(t.scalar(QStringLiteral("select count(*) from PROVINCE P where not exists "
                                         "(select 1 from COMUNI C where C.ID_PROVINCIA=P.ID_PROVINCIA)"))
                     .toInt(),
                 0);
        QCOMPARE(t.scalar(QStringLiteral("select count(*) from COMUNI where ID_PROVINCIA is null")).toInt(), 0);
    }

    void placeNames_data()
    {
        QTest::addColumn<QString>("municipality");
        QTest::addColumn<QString>("province");
        QTest::addColumn<QString>("region");
        QTest::newRow("apostrophe") << "L'AQUILA"
                                    << "L'AQUILA"
                                    << "ABRUZZO";
        QTest::newRow("accent") << "FORLÌ"
                                << "FORLÌ-CESENA"
                                << "EMILIA-ROMAGNA";
        QTest::newRow("bilingual") << "BOLZANO"
                                   << "BOLZANO"
                                   << "TRENTINO-ALTO ADIGE";
        QTest::newRow("monza") << "MONZA"
                               << "MONZA E DELLA BRIANZA"
                               << "LOMBARDIA";
        QTest::newRow("aosta") << "AOSTA"
                               << "AOSTA"
                               << "VALLE D'AOSTA";
        QTest::newRow("slovene half dropped") << "SAVOGNA D'ISONZO"
                                              << "GORIZIA"
                                              << "FRIULI-VENEZIA GIULIA";
    }
    void placeNames()
    {
        QFETCH(QString, municipality);
        QFETCH(QString, province);
        QFETCH(QString, region);
        TempDatabase t;
        Transaction tr(t.db());
        Query q(tr, QStringLiteral("select P.NOME PROVINCIA, R.NOME REGIONE from COMUNI C "
                                   "join PROVINCE P on P.ID_PROVINCIA=C.ID_PROVINCIA "
                                   "join REGIONI R on R.ID_REGIONE=P.ID_REGIONE where C.NOME=:NOME"));
        q.setParam(QStringLiteral("NOME"), municipality);
        QVERIFY2(q.first(), qPrintable(municipality));
        QCOMPARE(q.text(QStringLiteral("PROVINCIA")), province);
        QCOMPARE(q.text(QStringLiteral("REGIONE")), region);
        QVERIFY(!q.next()); // one municipality of that name
    }

    void namesUpperCase()
    {
        TempDatabase t;
        const QString names =
            column(t.db(), QStringLiteral("select NOME from COMUNI union all select NOME from PROVINCE "
                                          "union all select NOME from REGIONI"));
        QVERIFY(!names.isEmpty());
        QCOMPARE(names, names.toUpper());
        QVERIFY(!names.contains(QLatin1Char('?')));
        QVERIFY(!names.contains(QLatin1Char('/')));
    }

    void zones_data()
    {
        QTest::addColumn<QString>("city");
        QTest::addColumn<bool>("hasZones");
        QTest::newRow("milano") << "MILANO" << true;
        QTest::newRow("roma") << "ROMA" << true;
        QTest::newRow("napoli") << "NAPOLI" << true;
        QTest::newRow("torino") << "TORINO" << true;
        QTest::newRow("monza") << "MONZA" << false;
        QTest::newRow("bergamo") << "BERGAMO" << false;
    }
    void zones()
    {
        QFETCH(QString, city);
        QFETCH(bool, hasZones);
        TempDatabase t;
        // The picker's own lookup of the zones of a municipality.
        Transaction tr(t.db());
        Query q(tr,
                QStringLiteral("select C.NOME, C.ID_PROVINCIA, M.ID_PROVINCIA CITTA_PROVINCIA from COMUNI C, COMUNI M "
                               "where C.NOME like :NOME and M.NOME=:CITTA order by C.NOME"));
        q.setParam(QStringLiteral("NOME"), city + QStringLiteral(" (ZONA%"));
        q.setParam(QStringLiteral("CITTA"), city);
        q.exec();
        int found = 0;
        while (q.next()) {
            ++found;
            const QString name = q.text(QStringLiteral("NOME"));
            QVERIFY2(name.startsWith(city + QStringLiteral(" (ZONA ")) && name.endsWith(QLatin1Char(')')),
                     qPrintable(name));
            QCOMPARE(name.count(QLatin1Char('(')), 1);
            QCOMPARE(q.integer(QStringLiteral("ID_PROVINCIA")), q.integer(QStringLiteral("CITTA_PROVINCIA")));
        }
        QCOMPARE(found > 0, hasZones);
    }

    void romeEur()
    {
        TempDatabase t;
        QCOMPARE(t.scalar(QStringLiteral("select count(*) from COMUNI where NOME='ROMA (ZONA EUR)'")).toInt(), 1);
    }

    void optionsRow()
    {
        TempDatabase t;
        Transaction tr(t.db());
        Query q(tr, QStringLiteral("select * from OPZIONI"));
        QVERIFY(q.first());
        QCOMPARE(q.integer(QStringLiteral("ID")), 0);
        QCOMPARE(q.integer(QStringLiteral("AUTO_FORM")), 0);
        QCOMPARE(q.text(QStringLiteral("GEN_RIFERIMENTO")), QStringLiteral("N"));
        QCOMPARE(q.integer(QStringLiteral("AGG_DB")), 0);
        QVERIFY(q.text(QStringLiteral("PWD_INGRESSO")).isEmpty());
        QVERIFY(q.text(QStringLiteral("AZ_RAGSOC")).isEmpty());
        QVERIFY(!q.next());
        q.close();
        Query gen(tr, QStringLiteral("select GEN_ID(GEN_RIFERIMENTO,0)+1 RIF from RDB$DATABASE"));
        QVERIFY(gen.first());
        QCOMPARE(gen.value(0).toInt(), 1);
    }

    // ---- referential rules -------------------------------------------------------------------

    // Two clients, A (1) and B (2), each with a listing (10, 20), a request (100, 200), photos,
    // videos, link rows; sends and appointments that cross between them; two magazines.
    void cascades_data()
    {
        QTest::addColumn<QString>("deletion");
        QTest::addColumn<QStringList>("expected"); // table=remaining keys, in the order of world()
        QTest::newRow("client A") << "delete from CLIENTI where ID_CLIENTE=1"
                                  << QStringList{"CLIENTI=2",
                                                 "ANNUNCI_IMMOBILI=20",
                                                 "RICHIESTE=200",
                                                 "PHOTOGALLERY=2000",
                                                 "VIDEOGALLERY=2000",
                                                 "RICHIESTE_COMUNI=200",
                                                 "RICHIESTE_TIP_IMMOBILI=200",
                                                 "RICHIESTE_TIP_ANNUNCI=200",
                                                 "RICHIESTE_EMAIL=20-200",
                                                 "APPUNTAMENTI=B-BOTH,X-NONE,X-ZERO",
                                                 "INVII_RIVISTA=1-20,2-20"};
        QTest::newRow("listing 10") << "delete from ANNUNCI_IMMOBILI where ID_ANNUNCIO_IMMOBILE=10"
                                    << QStringList{"CLIENTI=1,2",
                                                   "ANNUNCI_IMMOBILI=20",
                                                   "RICHIESTE=100,200",
                                                   "PHOTOGALLERY=2000",
                                                   "VIDEOGALLERY=2000",
                                                   "RICHIESTE_COMUNI=100,200",
                                                   "RICHIESTE_TIP_IMMOBILI=100,200",
                                                   "RICHIESTE_TIP_ANNUNCI=100,200",
                                                   "RICHIESTE_EMAIL=20-100,20-200",
                                                   "APPUNTAMENTI=A-R100,B-BOTH,MIX,X-NONE,X-ZERO",
                                                   "INVII_RIVISTA=1-20,2-20"};
        QTest::newRow("request 100") << "delete from RICHIESTE where ID_RICHIESTA=100"
                                     << QStringList{"CLIENTI=1,2",
                                                    "ANNUNCI_IMMOBILI=10,20",
                                                    "RICHIESTE=200",
                                                    "PHOTOGALLERY=1000,1001,2000",
                                                    "VIDEOGALLERY=1000,2000",
                                                    "RICHIESTE_COMUNI=200",
                                                    "RICHIESTE_TIP_IMMOBILI=200",
                                                    "RICHIESTE_TIP_ANNUNCI=200",
                                                    "RICHIESTE_EMAIL=10-200,20-200",
                                                    "APPUNTAMENTI=A-L10,B-BOTH,X-NONE,X-ZERO",
                                                    "INVII_RIVISTA=1-10,1-20,2-20"};
        QTest::newRow("magazine 1") << "delete from RIVISTE where ID=1"
                                    << QStringList{"CLIENTI=1,2",
                                                   "ANNUNCI_IMMOBILI=10,20",
                                                   "RICHIESTE=100,200",
                                                   "PHOTOGALLERY=1000,1001,2000",
                                                   "VIDEOGALLERY=1000,2000",
                                                   "RICHIESTE_COMUNI=100,200",
                                                   "RICHIESTE_TIP_IMMOBILI=100,200",
                                                   "RICHIESTE_TIP_ANNUNCI=100,200",
                                                   "RICHIESTE_EMAIL=10-200,20-100,20-200",
                                                   "APPUNTAMENTI=A-L10,A-R100,B-BOTH,MIX,X-NONE,X-ZERO",
                                                   "INVII_RIVISTA=2-20"};
    }
    void cascades()
    {
        QFETCH(QString, deletion);
        QFETCH(QStringList, expected);
        TempDatabase t;
        world(t.db());
        execAll(t.db(), {deletion});
        QCOMPARE(snapshot(t.db()), expected);
    }

    void appointmentReferences_data()
    {
        QTest::addColumn<QString>("listing");
        QTest::addColumn<QString>("request");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("none") << "null"
                              << "null" << true;
        QTest::newRow("zeros") << "0"
                               << "0" << true;
        QTest::newRow("existing") << "10"
                                  << "200" << true;
        QTest::newRow("missing listing") << "77"
                                         << "0" << false;
        QTest::newRow("missing request") << "0"
                                         << "777" << false;
    }
    void appointmentReferences()
    {
        QFETCH(QString, listing);
        QFETCH(QString, request);
        QFETCH(bool, accepted);
        TempDatabase t;
        world(t.db());
        const QString insert =
            QStringLiteral("insert into APPUNTAMENTI (ID,ID_ANNUNCIO_IMMOBILE,ID_RICHIESTA,INIZIO,FINE) "
                           "values ('NUOVO',%1,%2,'NOW','NOW')")
                .arg(listing, request);
        if (accepted) {
            execAll(t.db(), {insert});
            QCOMPARE(t.scalar(QStringLiteral("select count(*) from APPUNTAMENTI where ID='NUOVO'")).toInt(), 1);
            // A stored 0 stays 0.
            QCOMPARE(t.scalar(QStringLiteral("select coalesce(ID_ANNUNCIO_IMMOBILE,-1) from APPUNTAMENTI "
                                             "where ID='NUOVO'"))
                         .toString(),
                     listing == QLatin1String("null") ? QStringLiteral("-1") : listing);
        } else {
            try {
                execAll(t.db(), {insert});
                QFAIL("the appointment was stored");
            } catch (const DbError &e) {
                QVERIFY2(e.message().contains(QStringLiteral("non esiste")), qPrintable(e.message()));
            }
            QCOMPARE(t.scalar(QStringLiteral("select count(*) from APPUNTAMENTI where ID='NUOVO'")).toInt(), 0);
        }
    }

    void referenceUniqueIgnoringCase()
    {
        TempDatabase t;
        world(t.db());
        try {
            execAll(t.db(), {QStringLiteral("insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE,ID_CLIENTE,ID_COMUNE,"
                                            "ID_TIPOLOGIA_IMMOBILE,ID_TIPOLOGIA_ANNUNCIO,RIFERIMENTO) "
                                            "values (30,2,15146,1,1,'a10')")});
            QFAIL("a second listing with reference A10 was stored");
        } catch (const DbError &) {
        }
        QCOMPARE(t.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")).toInt(), 2);
    }

    // ---- key triggers ------------------------------------------------------------------------

    void linkRowsNumberedInOrder()
    {
        TempDatabase t;
        world(t.db());
        // The program never gives these ids; a value given anyway is replaced.
        execAll(t.db(),
                {
                    QStringLiteral("delete from RICHIESTE_COMUNI where ID_RICHIESTA=100"),
                    QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA,ID_COMUNE) values (100,58091)"),
                    QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA,ID_COMUNE) values (100,1272)"),
                    QStringLiteral("insert into RICHIESTE_COMUNI (ID,ID_RICHIESTA,ID_COMUNE) values (1,100,15146)"),
                    QStringLiteral("delete from RICHIESTE_TIP_IMMOBILI where ID_RICHIESTA=100"),
                    QStringLiteral("insert into RICHIESTE_TIP_IMMOBILI (ID_RICHIESTA,ID_TIP_IMMOBILE) values (100,10)"),
                    QStringLiteral("insert into RICHIESTE_TIP_IMMOBILI (ID_RICHIESTA,ID_TIP_IMMOBILE) values (100,2)"),
                    QStringLiteral("insert into RICHIESTE_EMAIL (ID,ID_ANNUNCIO_IMMOBILE,ID_RICHIESTA,DATA_ORA,EMAIL) "
                                   "values (1,20,100,'NOW','a@b.example')"),
                });
        QCOMPARE(
            column(t.db(), QStringLiteral("select ID_COMUNE from RICHIESTE_COMUNI where ID_RICHIESTA=100 order by ID")),
            QStringLiteral("58091,1272,15146"));
        QCOMPARE(column(t.db(),
                        QStringLiteral(
                            "select ID_TIP_IMMOBILE from RICHIESTE_TIP_IMMOBILI where ID_RICHIESTA=100 order by ID")),
                 QStringLiteral("10,2"));
        // The world's three sends took 1 to 3.
        QCOMPARE(t.scalar(QStringLiteral("select ID from RICHIESTE_EMAIL where EMAIL='a@b.example'")).toInt(), 4);
    }

    void galleryKeys_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("generator");
        QTest::newRow("photos") << "PHOTOGALLERY"
                                << "ID_PHOTOGALLERY"
                                << "GEN_PHOTOGALLERY_ID";
        QTest::newRow("videos") << "VIDEOGALLERY"
                                << "ID_VIDEOGALLERY"
                                << "GEN_VIDEOGALLERY_ID";
    }
    void galleryKeys()
    {
        QFETCH(QString, table);
        QFETCH(QString, key);
        QFETCH(QString, generator);
        TempDatabase t;
        world(t.db());
        Transaction tr(t.db());
        const qint64 before = generatorValue(tr, generator, 0);
        Query given(tr, QStringLiteral("insert into %1 (%2,ID_ANNUNCIO_IMMOBILE,PATH_IMAGE) values (5000,20,'x.jpg')")
                            .arg(table, key));
        given.exec();
        Query omitted(
            tr, QStringLiteral("insert into %1 (ID_ANNUNCIO_IMMOBILE,PATH_IMAGE) values (20,'y.jpg')").arg(table));
        omitted.exec();
        tr.commit();
        QCOMPARE(t.scalar(QStringLiteral("select PATH_IMAGE from %1 where %2=5000").arg(table, key)).toString(),
                 QStringLiteral("x.jpg"));
        QCOMPARE(t.scalar(QStringLiteral("select %2 from %1 where PATH_IMAGE='y.jpg'").arg(table, key)).toLongLong(),
                 before + 1);
    }

    // ---- VIEW_LOCALITA -----------------------------------------------------------------------

    void localities()
    {
        TempDatabase t;
        world(t.db());
        const QString insert = QStringLiteral("insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE,ID_CLIENTE,ID_COMUNE,"
                                              "ID_TIPOLOGIA_IMMOBILE,ID_TIPOLOGIA_ANNUNCIO,RIFERIMENTO,LOCALITA) "
                                              "values (%1,1,%2,1,1,'L%1',%3)");
        execAll(t.db(), {
                            insert.arg(31).arg(108033).arg(QStringLiteral("'SAN BIAGIO'")),
                            insert.arg(32).arg(108033).arg(QStringLiteral("'SAN BIAGIO'")),
                            insert.arg(33).arg(108033).arg(QStringLiteral("'TRIANTE'")),
                            insert.arg(34).arg(108033).arg(QStringLiteral("''")),
                            insert.arg(35).arg(108033).arg(QStringLiteral("null")),
                            insert.arg(36).arg(15146).arg(QStringLiteral("'DARSENA'")),
                        });
        // The suggestion query of the editors.
        const QString suggestions = QStringLiteral("select cast(' ' as varchar(255)) LOCALITA from RDB$DATABASE union "
                                                   "select LOCALITA from VIEW_LOCALITA\nwhere ID_COMUNE=%1");
        QCOMPARE(column(t.db(), suggestions.arg(108033)), QStringLiteral(",SAN BIAGIO,TRIANTE"));
        QCOMPARE(column(t.db(), suggestions.arg(15146)), QStringLiteral(",DARSENA"));
        QCOMPARE(column(t.db(), suggestions.arg(1272)), QString());
        QCOMPARE(column(t.db(), QStringLiteral("select LOCALITA from VIEW_LOCALITA where ID_COMUNE in (108033,15146) "
                                               "order by LOCALITA")),
                 QStringLiteral("DARSENA,SAN BIAGIO,TRIANTE"));
    }

    // ---- demo agency -------------------------------------------------------------------------

    void demoAgency()
    {
        TempDatabase t;
        const QString photos = t.folder() + QStringLiteral("/Foto");
        QElapsedTimer timer;
        timer.start();
        addDemoAgency(t.db(), photos, 1);
        qDebug("addDemoAgency: %lld ms", timer.elapsed());

        QCOMPARE(t.scalar(QStringLiteral("select AZ_RAGSOC from OPZIONI where ID=0")).toString(),
                 QStringLiteral("Immobiliare Demo"));
        QVERIFY(t.scalar(QStringLiteral("select CORPO_EMAIL from OPZIONI"))
                    .toString()
                    .contains(QStringLiteral("%CLIENTE%")));
        QCOMPARE(t.scalar(QStringLiteral("select count(*) from CLIENTI")).toInt(), 60);
        QCOMPARE(t.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")).toInt(), 120);
        QCOMPARE(t.scalar(QStringLiteral("select count(*) from RICHIESTE")).toInt(), 80);
        QCOMPARE(t.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI where FOTOSN<>'S'")).toInt(), 0);
        // Every listing's owner is marked as one, and the references are the generator's numbers.
        QCOMPARE(t.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI A join CLIENTI C "
                                         "on C.ID_CLIENTE=A.ID_CLIENTE where C.PROPRIETARIO<>'S'"))
                     .toInt(),
                 0);
        QCOMPARE(t.scalar(QStringLiteral("select GEN_ID(GEN_RIFERIMENTO,0) from RDB$DATABASE")).toInt(), 120);
        QCOMPARE(t.scalar(QStringLiteral("select min(RIFERIMENTO) from ANNUNCI_IMMOBILI")).toString(),
                 QStringLiteral("001"));
        // Listings lie in the two provinces, Milano only by zones.
        QCOMPARE(
            t.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI A join COMUNI C on C.ID_COMUNE=A.ID_COMUNE "
                                    "where C.ID_PROVINCIA not in (15,108) or C.NOME='MILANO'"))
                .toInt(),
            0);
        QVERIFY(
            t.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI A join COMUNI C on C.ID_COMUNE=A.ID_COMUNE "
                                    "where C.NOME like 'MILANO (ZONA %'"))
                .toInt() > 0);
        // Each request has all three kinds of link rows.
        for (const char *link : {"RICHIESTE_COMUNI", "RICHIESTE_TIP_IMMOBILI", "RICHIESTE_TIP_ANNUNCI"}) {
            QCOMPARE(t.scalar(QStringLiteral("select count(*) from RICHIESTE R where not exists "
                                             "(select 1 from %1 L where L.ID_RICHIESTA=R.ID_RICHIESTA)")
                                  .arg(QLatin1String(link)))
                         .toInt(),
                     0);
        }
        // Requests that find listings, by the municipality/type/kind part of the matching.
        const int matched =
            t
                .scalar(QStringLiteral(
                    "select count(*) from RICHIESTE R where exists (select 1 from ANNUNCI_IMMOBILI A "
                    "where A.ELIMINATO='N' "
                    "and A.ID_COMUNE in (select ID_COMUNE from RICHIESTE_COMUNI where ID_RICHIESTA=R.ID_RICHIESTA) "
                    "and A.ID_TIPOLOGIA_IMMOBILE in (select ID_TIP_IMMOBILE from RICHIESTE_TIP_IMMOBILI "
                    "where ID_RICHIESTA=R.ID_RICHIESTA) "
                    "and A.ID_TIPOLOGIA_ANNUNCIO in (select ID_TIP_ANNUNCIO from RICHIESTE_TIP_ANNUNCI "
                    "where ID_RICHIESTA=R.ID_RICHIESTA))"))
                .toInt();
        QVERIFY2(matched >= 30, qPrintable(QString::number(matched)));
        QVERIFY(t.scalar(QStringLiteral("select count(*) from RICHIESTE_EMAIL")).toInt() > 0);
        QVERIFY(t.scalar(QStringLiteral("select count(*) from RIVISTE")).toInt() > 0);
        // Appointments around today, some tied to a listing and a request.
        const QDateTime from = QDate::currentDate().addDays(-3).startOfDay();
        const QDateTime to = QDate::currentDate().addDays(8).startOfDay();
        {
            Transaction tr(t.db());
            Query q(tr, QStringLiteral("select count(*) N, min(INIZIO) PRIMO, max(FINE) ULTIMO, "
                                       "count(ID_RICHIESTA) CON_RICHIESTA from APPUNTAMENTI"));
            QVERIFY(q.first());
            QVERIFY(q.integer(QStringLiteral("N")) >= 10);
            QVERIFY(q.integer(QStringLiteral("CON_RICHIESTA")) > 0);
            QVERIFY(q.value(QStringLiteral("PRIMO")).toDateTime() >= from);
            QVERIFY(q.value(QStringLiteral("ULTIMO")).toDateTime() < to);
        }

        // Photos: one to three per listing, files in the listing's folder, sizes as stored.
        QCOMPARE(t.scalar(QStringLiteral(
                              "select count(*) from ANNUNCI_IMMOBILI A where (select count(*) from PHOTOGALLERY P "
                              "where P.ID_ANNUNCIO_IMMOBILE=A.ID_ANNUNCIO_IMMOBILE) not between 1 and 3"))
                     .toInt(),
                 0);
        QCOMPARE(t.scalar(QStringLiteral(
                              "select count(*) from ANNUNCI_IMMOBILI A where (select count(*) from PHOTOGALLERY P "
                              "where P.ID_ANNUNCIO_IMMOBILE=A.ID_ANNUNCIO_IMMOBILE and P.PRINCIPALE='S') <> 1"))
                     .toInt(),
                 0);
        Transaction tr(t.db());
        Query q(tr,
                QStringLiteral("select ID_ANNUNCIO_IMMOBILE,PATH_IMAGE,PESO_KB,WIDTH_PX,HEIGHT_PX from PHOTOGALLERY"));
        q.exec();
        int files = 0;
        while (q.next()) {
            const QString path = q.text(QStringLiteral("PATH_IMAGE"));
            const QString folder = QDir::toNativeSeparators(
                photos + QLatin1Char('/') +
                QString::number(q.integer(QStringLiteral("ID_ANNUNCIO_IMMOBILE"))).rightJustified(8, QLatin1Char('0')) +
                QLatin1Char('/'));
            QVERIFY2(path.startsWith(folder), qPrintable(path));
            const QFileInfo info(path);
            QVERIFY2(info.exists(), qPrintable(path));
            QCOMPARE(info.size(), q.value(QStringLiteral("PESO_KB")).toLongLong());
            const QSize size = QImageReader(path).size();
            QCOMPARE(size.width(), q.integer(QStringLiteral("WIDTH_PX")));
            QCOMPARE(size.height(), q.integer(QStringLiteral("HEIGHT_PX")));
            ++files;
        }
        QVERIFY(files >= 120);
    }

    void demoDeterministic()
    {
        TempDatabase a, b, c;
        addDemoAgency(a.db(), a.folder() + QStringLiteral("/Foto"), 7);
        addDemoAgency(b.db(), b.folder() + QStringLiteral("/Foto"), 7);
        addDemoAgency(c.db(), c.folder() + QStringLiteral("/Foto"), 8);
        QCOMPARE(digest(a.db()), digest(b.db()));
        QVERIFY(digest(a.db()) != digest(c.db()));
    }

    void demoAddedTwice()
    {
        // The agency uses the generators, so it can join data already there.
        TempDatabase t;
        addDemoAgency(t.db(), t.folder() + QStringLiteral("/Foto"), 1);
        addDemoAgency(t.db(), t.folder() + QStringLiteral("/Foto"), 1);
        QCOMPARE(t.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")).toInt(), 240);
        QCOMPARE(t.scalar(QStringLiteral("select count(*) from CLIENTI")).toInt(), 120);
    }

private:
    static void world(Database &db)
    {
        execAll(
            db,
            {
                QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR,PROPRIETARIO) values (1,'ROSSI MARIO','S')"),
                QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR,PROPRIETARIO) values (2,'BIANCHI ANNA','S')"),
                QStringLiteral(
                    "insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE,ID_CLIENTE,ID_COMUNE,ID_TIPOLOGIA_IMMOBILE,"
                    "ID_TIPOLOGIA_ANNUNCIO,RIFERIMENTO,ELIMINATO) values (10,1,15146,1,1,'A10','N')"),
                QStringLiteral(
                    "insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE,ID_CLIENTE,ID_COMUNE,ID_TIPOLOGIA_IMMOBILE,"
                    "ID_TIPOLOGIA_ANNUNCIO,RIFERIMENTO,ELIMINATO) values (20,2,108033,2,2,'B20','N')"),
                QStringLiteral(
                    "insert into PHOTOGALLERY (ID_PHOTOGALLERY,ID_ANNUNCIO_IMMOBILE,PATH_IMAGE) values (1000,10,'a')"),
                QStringLiteral(
                    "insert into PHOTOGALLERY (ID_PHOTOGALLERY,ID_ANNUNCIO_IMMOBILE,PATH_IMAGE) values (1001,10,'b')"),
                QStringLiteral(
                    "insert into PHOTOGALLERY (ID_PHOTOGALLERY,ID_ANNUNCIO_IMMOBILE,PATH_IMAGE) values (2000,20,'c')"),
                QStringLiteral(
                    "insert into VIDEOGALLERY (ID_VIDEOGALLERY,ID_ANNUNCIO_IMMOBILE,TITOLO) values (1000,10,'v')"),
                QStringLiteral(
                    "insert into VIDEOGALLERY (ID_VIDEOGALLERY,ID_ANNUNCIO_IMMOBILE,TITOLO) values (2000,20,'w')"),
                QStringLiteral("insert into RICHIESTE (ID_RICHIESTA,ID_CLIENTE) values (100,1)"),
                QStringLiteral("insert into RICHIESTE (ID_RICHIESTA,ID_CLIENTE) values (200,2)"),
                QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA,ID_COMUNE) values (100,108033)"),
                QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA,ID_COMUNE) values (200,15146)"),
                QStringLiteral("insert into RICHIESTE_TIP_IMMOBILI (ID_RICHIESTA,ID_TIP_IMMOBILE) values (100,2)"),
                QStringLiteral("insert into RICHIESTE_TIP_IMMOBILI (ID_RICHIESTA,ID_TIP_IMMOBILE) values (200,1)"),
                QStringLiteral("insert into RICHIESTE_TIP_ANNUNCI (ID_RICHIESTA,ID_TIP_ANNUNCIO) values (100,2)"),
                QStringLiteral("insert into RICHIESTE_TIP_ANNUNCI (ID_RICHIESTA,ID_TIP_ANNUNCIO) values (200,1)"),
                QStringLiteral("insert into RICHIESTE_EMAIL (ID_ANNUNCIO_IMMOBILE,ID_RICHIESTA,DATA_ORA,EMAIL,TIPO) "
                               "values (10,200,'NOW','b@x.example','E')"),
                QStringLiteral("insert into RICHIESTE_EMAIL (ID_ANNUNCIO_IMMOBILE,ID_RICHIESTA,DATA_ORA,EMAIL,TIPO) "
                               "values (20,100,'NOW','a@x.example','E')"),
                QStringLiteral("insert into RICHIESTE_EMAIL (ID_ANNUNCIO_IMMOBILE,ID_RICHIESTA,DATA_ORA,EMAIL,TIPO) "
                               "values (20,200,'NOW','b@x.example','S')"),
                QStringLiteral("insert into APPUNTAMENTI (ID,ID_ANNUNCIO_IMMOBILE,ID_RICHIESTA,INIZIO,FINE) "
                               "values ('A-L10',10,null,'NOW','NOW')"),
                QStringLiteral("insert into APPUNTAMENTI (ID,ID_ANNUNCIO_IMMOBILE,ID_RICHIESTA,INIZIO,FINE) "
                               "values ('A-R100',0,100,'NOW','NOW')"),
                QStringLiteral("insert into APPUNTAMENTI (ID,ID_ANNUNCIO_IMMOBILE,ID_RICHIESTA,INIZIO,FINE) "
                               "values ('B-BOTH',20,200,'NOW','NOW')"),
                QStringLiteral("insert into APPUNTAMENTI (ID,ID_ANNUNCIO_IMMOBILE,ID_RICHIESTA,INIZIO,FINE) "
                               "values ('MIX',20,100,'NOW','NOW')"),
                QStringLiteral("insert into APPUNTAMENTI (ID,ID_ANNUNCIO_IMMOBILE,ID_RICHIESTA,INIZIO,FINE) "
                               "values ('X-NONE',null,null,'NOW','NOW')"),
                QStringLiteral("insert into APPUNTAMENTI (ID,ID_ANNUNCIO_IMMOBILE,ID_RICHIESTA,INIZIO,FINE) "
                               "values ('X-ZERO',0,0,'NOW','NOW')"),
                QStringLiteral("insert into RIVISTE (ID,DESCRIZIONE,EMAIL) values (1,'CASA OGGI','r1@x.example')"),
                QStringLiteral("insert into RIVISTE (ID,DESCRIZIONE,EMAIL) values (2,'VETRINA','r2@x.example')"),
                QStringLiteral(
                    "insert into INVII_RIVISTA (ID,ID_RIVISTA,ID_ANNUNCIO_IMMOBILE,FOTO) values (1,1,10,'S')"),
                QStringLiteral(
                    "insert into INVII_RIVISTA (ID,ID_RIVISTA,ID_ANNUNCIO_IMMOBILE,FOTO) values (2,1,20,'S')"),
                QStringLiteral(
                    "insert into INVII_RIVISTA (ID,ID_RIVISTA,ID_ANNUNCIO_IMMOBILE,FOTO) values (3,2,20,'N')"),
            });
    }

    static QStringList snapshot(Database &db)
    {
        const QList<QPair<QString, QString>> tables = {
            {"CLIENTI", "ID_CLIENTE"},
            {"ANNUNCI_IMMOBILI", "ID_ANNUNCIO_IMMOBILE"},
            {"RICHIESTE", "ID_RICHIESTA"},
            {"PHOTOGALLERY", "ID_PHOTOGALLERY"},
            {"VIDEOGALLERY", "ID_VIDEOGALLERY"},
            {"RICHIESTE_COMUNI", "ID_RICHIESTA"},
            {"RICHIESTE_TIP_IMMOBILI", "ID_RICHIESTA"},
            {"RICHIESTE_TIP_ANNUNCI", "ID_RICHIESTA"},
            {"RICHIESTE_EMAIL", "ID_ANNUNCIO_IMMOBILE || '-' || ID_RICHIESTA"},
            {"APPUNTAMENTI", "ID"},
            {"INVII_RIVISTA", "ID_RIVISTA || '-' || ID_ANNUNCIO_IMMOBILE"},
        };
        QStringList out;
        for (const auto &[table, key] : tables)
            out << table + QLatin1Char('=') +
                       column(db, QStringLiteral("select %1 K from %2 order by 1").arg(key, table));
        return out;
    }

    // The demo content that does not depend on the day of the run.
    static QByteArray digest(Database &db)
    {
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (const char *sql :
             {"select DESCR || '|' || coalesce(EMAIL,'') || '|' || coalesce(TELEFONO1,'') from CLIENTI order by "
              "ID_CLIENTE",
              "select RIFERIMENTO || '|' || ID_COMUNE || '|' || PREZZO || '|' || MQ || '|' || ID_CLIENTE "
              "from ANNUNCI_IMMOBILI order by ID_ANNUNCIO_IMMOBILE",
              "select ID_RICHIESTA || '|' || ID_CLIENTE || '|' || PREZZO_MAX from RICHIESTE order by ID_RICHIESTA",
              "select ID_RICHIESTA || '|' || ID_COMUNE from RICHIESTE_COMUNI order by ID",
              "select PESO_KB from PHOTOGALLERY order by ID_PHOTOGALLERY"})
            hash.addData(column(db, QLatin1String(sql)).toUtf8());
        return hash.result();
    }
};

QTEST_MAIN(TestSchema)
#include "tst_schema.moc"
