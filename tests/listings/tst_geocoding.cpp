// Coordinates of an address: fingerprint, answer parser, cache and the exchange with a map service
// (a real loopback HTTP server and a real agency database), and the map addresses of the editor.

#include "listings/modFunzioniGoogle.h"

#include "app/core/clock.h"
#include "serverhttp.h"
#include "tempdatabase.h"

#include <QtTest>

Q_DECLARE_METATYPE(tavo::test::RispostaHttp)

using namespace tavo;
using tavo::test::RispostaHttp;
using tavo::test::ServerHttp;
using tavo::test::TempDatabase;

namespace {

// Enough for a loopback answer; a failing test does not wait the two minutes of the program.
constexpr int kTimeOut = 10000;

QByteArray pagina(const QByteArray &righe)
{
    return "<html><head><script>\nvar x = 1;\n" + righe + "\n</script></head><body></body></html>\n";
}

const QByteArray kPaginaMilano = pagina("markers=1&latitude_e6=45464211&ll=2\nfoo&longitude_e6=9191383&spn=3");

} // namespace

class TestGeocoding : public QObject
{
    Q_OBJECT

private:
    int righeCache(TempDatabase &tdb) { return tdb.scalar(QStringLiteral("select count(*) from GOOGLE_MAPS")).toInt(); }

private slots:
    void init() { Clock::set(QDateTime(QDate(2024, 3, 5), QTime(10, 20, 30))); }
    void cleanup() { Clock::set(QDateTime()); }

    void impronta_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("impronta");
        // Vectors computed apart: printf '%s' ABCDEF | sha1sum, printf 'Q=CITT\xe0' | sha1sum, ...
        QTest::newRow("six characters") << "abcdef"
                                        << "970093678B182127F60BB51B8AF2C94D539ECA3A";
        QTest::newRow("mixed case") << "AbCdEf"
                                    << "970093678B182127F60BB51B8AF2C94D539ECA3A";
        QTest::newRow("no letters") << "123456"
                                    << "7C4A8D09CA3762AF61E59520943DC26494F8941B";
        // Only a-z are upper-cased; the accented letter is its single Windows-1252 byte 0xE0.
        QTest::newRow("accented letter kept")
            << QString::fromUtf8("q=città") << "368A5F385FF6B8909DB0735B79418327647BC7DC";
    }
    void impronta()
    {
        QFETCH(QString, query);
        QFETCH(QString, impronta);
        QCOMPARE(ImprontaQuery(query), impronta);
    }

    void leggiCoordinate_data()
    {
        QTest::addColumn<QString>("risposta");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("lon");
        QTest::addColumn<int>("lat");
        QTest::newRow("two lines") << "a\nx=latitude_e6=45464211&y\nlongitude_e6=9191383&z\n"
                                   << true << 9191383 << 45464211;
        QTest::newRow("both on one line")
            << "latitude_e6=45464211&longitude_e6=9191383&" << true << 9191383 << 45464211;
        QTest::newRow("one line, longitude first")
            << "longitude_e6=9191383&latitude_e6=45464211&" << true << 9191383 << 45464211;
        QTest::newRow("later latitude overwrites")
            << "latitude_e6=1&\nlatitude_e6=45464211&\nlongitude_e6=9191383&" << true << 9191383 << 45464211;
        QTest::newRow("walk stops at first longitude")
            << "latitude_e6=45464211&\nlongitude_e6=9191383&\nlatitude_e6=7&\nlongitude_e6=8&" << true << 9191383
            << 45464211;
        QTest::newRow("latitude after longitude unseen")
            << "longitude_e6=9191383&\nlatitude_e6=45464211&" << false << 9191383 << 0;
        QTest::newRow("no & after the number")
            << "latitude_e6=45464211\nlongitude_e6=9191383&" << false << 9191383 << 0;
        QTest::newRow("& only on the next line")
            << "latitude_e6=45464211&\nlongitude_e6=9191383\n&" << false << 0 << 45464211;
        QTest::newRow("zero") << "latitude_e6=0&\nlongitude_e6=9191383&" << false << 9191383 << 0;
        QTest::newRow("not a number") << "latitude_e6=45x&\nlongitude_e6=9191383&" << false << 9191383 << 0;
        QTest::newRow("empty value") << "latitude_e6=&\nlongitude_e6=9191383&" << false << 9191383 << 0;
        QTest::newRow("southern, western")
            << "latitude_e6=-33868820&\nlongitude_e6=-70668900&" << true << -70668900 << -33868820;
        QTest::newRow("CR LF and CR") << "a\r\nlatitude_e6=45464211&\rlongitude_e6=9191383&\r\n"
                                      << true << 9191383 << 45464211;
        QTest::newRow("no markers") << "<html>Nessun risultato</html>" << false << 0 << 0;
    }
    void leggiCoordinate()
    {
        QFETCH(QString, risposta);
        QFETCH(bool, ok);
        QFETCH(int, lon);
        QFETCH(int, lat);
        int l = -1, t = -1;
        QCOMPARE(LeggiCoordinate(risposta, &l, &t), ok);
        QCOMPARE(l, lon);
        QCOMPARE(t, lat);
    }

    void rispostaDelServizio()
    {
        TempDatabase tdb;
        ServerHttp server;
        server.accoda(RispostaHttp::testo(kPaginaMilano));
        const RisultatoCoordinate r =
            CalcolaCoordinate(tdb.db(), QStringLiteral("q=Via Dante 5 Milano"), server.indirizzo(), kTimeOut);
        QVERIFY2(r.ok, qPrintable(r.errore));
        QCOMPARE(r.errore, QString());
        QCOMPARE(r.longitudine, 9191383);
        QCOMPARE(r.latitudine, 45464211);

        // The request as sent: the query between the fixed parts, blanks encoded, nothing else touched.
        QCOMPARE(server.numeroRichieste(), 1);
        const auto richiesta = server.richieste().first();
        QCOMPARE(richiesta.metodo, QByteArray("GET"));
        QCOMPARE(richiesta.percorso, QByteArray("/maps"));
        QCOMPARE(richiesta.query, QByteArray("hl=it&f=q&q=Via%20Dante%205%20Milano&mrt=loc"));

        // The cache row, committed: visible from another transaction.
        db::Transaction tr(tdb.db());
        db::Query q(tr, QStringLiteral("select IMPRONTA,QUERY,COORD_LONG,COORD_LAT,DATA from GOOGLE_MAPS"));
        QVERIFY(q.first());
        QCOMPARE(q.text(QStringLiteral("IMPRONTA")), ImprontaQuery(QStringLiteral("q=Via Dante 5 Milano")));
        QCOMPARE(q.text(QStringLiteral("QUERY")), QStringLiteral("Q=VIA DANTE 5 MILANO"));
        QCOMPARE(q.integer(QStringLiteral("COORD_LONG")), 9191383);
        QCOMPARE(q.integer(QStringLiteral("COORD_LAT")), 45464211);
        QCOMPARE(q.value(QStringLiteral("DATA")).toDateTime(), QDateTime(QDate(2024, 3, 5), QTime(10, 20, 30)));
        QVERIFY(!q.next());
    }

    void maiuscoleEMinuscoleUnaRiga()
    {
        TempDatabase tdb;
        ServerHttp server;
        server.impostaRispostaPredefinita(RispostaHttp::testo(kPaginaMilano));
        const RisultatoCoordinate a =
            CalcolaCoordinate(tdb.db(), QStringLiteral("q=via dante 5 milano"), server.indirizzo(), kTimeOut);
        const RisultatoCoordinate b =
            CalcolaCoordinate(tdb.db(), QStringLiteral("Q=VIA DANTE 5 MILANO"), server.indirizzo(), kTimeOut);
        QVERIFY(a.ok);
        QVERIFY(b.ok);
        QCOMPARE(b.longitudine, a.longitudine);
        QCOMPARE(b.latitudine, a.latitudine);
        QCOMPARE(server.numeroRichieste(), 1);
        QCOMPARE(righeCache(tdb), 1);
    }

    void rigaInCacheVinceSulServizio()
    {
        TempDatabase tdb;
        tdb.exec(QStringLiteral("insert into GOOGLE_MAPS (IMPRONTA,QUERY,COORD_LONG,COORD_LAT,DATA) values "
                                "('%1','Q=ROMA',12496366,41902783,'2010-01-01 00:00:00')")
                     .arg(ImprontaQuery(QStringLiteral("Q=ROMA"))));
        ServerHttp server;
        server.impostaRispostaPredefinita(RispostaHttp::testo(kPaginaMilano));
        const RisultatoCoordinate r =
            CalcolaCoordinate(tdb.db(), QStringLiteral("q=Roma"), server.indirizzo(), kTimeOut);
        QVERIFY(r.ok);
        QCOMPARE(r.longitudine, 12496366);
        QCOMPARE(r.latitudine, 41902783);
        QCOMPARE(server.numeroRichieste(), 0);
    }

    void fallimenti_data()
    {
        QTest::addColumn<RispostaHttp>("risposta");
        QTest::addColumn<int>("timeOut");
        QTest::addColumn<QString>("errore"); // exact, or a prefix when it ends with "..."
        QTest::addColumn<int>("lon");
        QTest::addColumn<int>("lat");
        const QString nonIdentificata = QString::fromUtf8("Località non identificata");
        QTest::newRow("line ends after the number")
            << RispostaHttp::testo(pagina("latitude_e6=45464211&\nlongitude_e6=9191383")) << kTimeOut << nonIdentificata
            << 0 << 45464211;
        QTest::newRow("zero latitude") << RispostaHttp::testo(pagina("latitude_e6=0&longitude_e6=9191383&")) << kTimeOut
                                       << nonIdentificata << 9191383 << 0;
        QTest::newRow("no markers") << RispostaHttp::testo("<html>Nessun risultato</html>") << kTimeOut
                                    << nonIdentificata << 0 << 0;
        // The body of an error page is not read, even when it holds the markers.
        QTest::newRow("HTTP 500") << RispostaHttp::testo(kPaginaMilano, 500) << kTimeOut
                                  << "Il servizio delle mappe ha risposto con l'errore HTTP 500 (Internal Server Error)"
                                  << 0 << 0;
        QTest::newRow("HTTP 404") << RispostaHttp::testo("not here", 404) << kTimeOut
                                  << "Il servizio delle mappe ha risposto con l'errore HTTP 404 (Not Found)" << 0 << 0;
        QTest::newRow("connection dropped") << RispostaHttp::chiudi() << kTimeOut << "Errore di rete: ..." << 0 << 0;
        QTest::newRow("time-out") << RispostaHttp::taci() << 300 << "Errore di rete: ..." << 0 << 0;
    }
    void fallimenti()
    {
        QFETCH(RispostaHttp, risposta);
        QFETCH(int, timeOut);
        QFETCH(QString, errore);
        QFETCH(int, lon);
        QFETCH(int, lat);
        TempDatabase tdb;
        ServerHttp server;
        server.accoda(risposta);
        const RisultatoCoordinate r =
            CalcolaCoordinate(tdb.db(), QStringLiteral("q=Milano"), server.indirizzo(), timeOut);
        QVERIFY(!r.ok);
        if (errore.endsWith(QLatin1String("..."))) {
            errore.chop(3);
            QVERIFY2(r.errore.startsWith(errore) && r.errore.size() > errore.size(), qPrintable(r.errore));
        } else {
            QCOMPARE(r.errore, errore);
        }
        QCOMPARE(r.longitudine, lon);
        QCOMPARE(r.latitudine, lat);
        QCOMPARE(server.numeroRichieste(), 1);
        QCOMPARE(righeCache(tdb), 0);
    }

    void nessunServizio()
    {
        TempDatabase tdb;
        const quint16 porta = ServerHttp::portaChiusa();
        const RisultatoCoordinate r = CalcolaCoordinate(tdb.db(), QStringLiteral("q=Milano"),
                                                        QStringLiteral("http://127.0.0.1:%1").arg(porta), kTimeOut);
        QVERIFY(!r.ok);
        QCOMPARE(r.longitudine, 0);
        QCOMPARE(r.latitudine, 0);
        // The client's own message, naming the address it could not reach.
        QVERIFY2(r.errore.startsWith(QLatin1String("Errore di rete: ")), qPrintable(r.errore));
        QVERIFY2(r.errore.contains(QStringLiteral("127.0.0.1")) && r.errore.contains(QString::number(porta)),
                 qPrintable(r.errore));
        QCOMPARE(righeCache(tdb), 0);
    }

    void servizioNonHttp()
    {
        TempDatabase tdb;
        const RisultatoCoordinate r =
            CalcolaCoordinate(tdb.db(), QStringLiteral("q=Milano"), QStringLiteral("file:///etc"), kTimeOut);
        QVERIFY(!r.ok);
        QVERIFY2(r.errore.startsWith(QLatin1String("Errore di rete: ")), qPrintable(r.errore));
    }

    // Another seat is caching the same address at the same moment: its row is not committed yet, so
    // the insert fails. The coordinates found are still given, and nothing of ours is left behind.
    void cacheNonScrivibile()
    {
        TempDatabase tdb;
        ServerHttp server;
        server.impostaRispostaPredefinita(RispostaHttp::testo(kPaginaMilano));
        db::Database altroPosto;
        altroPosto.open(tdb.path(), TempDatabase::user(), TempDatabase::password());
        {
            db::Transaction tr(altroPosto);
            db::Query q(tr, QStringLiteral("insert into GOOGLE_MAPS (IMPRONTA,QUERY,COORD_LONG,COORD_LAT) values "
                                           "(:IMPRONTA,'Q=MILANO',1,1)"));
            q.setParam(QStringLiteral("IMPRONTA"), ImprontaQuery(QStringLiteral("q=Milano")));
            q.exec();
            const RisultatoCoordinate r =
                CalcolaCoordinate(tdb.db(), QStringLiteral("q=Milano"), server.indirizzo(), kTimeOut);
            QVERIFY2(r.ok, qPrintable(r.errore));
            QCOMPARE(r.longitudine, 9191383);
            QCOMPARE(r.latitudine, 45464211);
            tr.rollback();
        }
        QCOMPARE(righeCache(tdb), 0);
        // Not cached: the next call asks the service again, and caches.
        QVERIFY(CalcolaCoordinate(tdb.db(), QStringLiteral("q=Milano"), server.indirizzo(), kTimeOut).ok);
        QCOMPARE(server.numeroRichieste(), 2);
        QCOMPARE(righeCache(tdb), 1);
    }

    void indirizzoRicerca_data()
    {
        QTest::addColumn<QString>("servizio");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("indirizzo");
        QTest::newRow("blanks") << "http://maps.example.it"
                                << "q=Via Roma 1 Milano"
                                << "http://maps.example.it/maps?hl=it&f=q&q=Via%20Roma%201%20Milano&mrt=loc";
        QTest::newRow("separators kept") << "http://maps.example.it"
                                         << "q=a+b&z=1/2,3"
                                         << "http://maps.example.it/maps?hl=it&f=q&q=a+b&z=1/2,3&mrt=loc";
        QTest::newRow("characters a URL cannot hold")
            << "http://maps.example.it" << QString::fromUtf8("q=Forlì \"#3\" 50%")
            << "http://maps.example.it/maps?hl=it&f=q&q=Forl%C3%AC%20%22%233%22%2050%25&mrt=loc";
        QTest::newRow("trailing slash") << "http://maps.example.it:8080/ "
                                        << "q=Roma"
                                        << "http://maps.example.it:8080/maps?hl=it&f=q&q=Roma&mrt=loc";
        QTest::newRow("default service") << ""
                                         << "q=Roma"
                                         << "http://maps.google.it/maps?hl=it&f=q&q=Roma&mrt=loc";
    }
    void indirizzoRicerca()
    {
        QFETCH(QString, servizio);
        QFETCH(QString, query);
        QFETCH(QString, indirizzo);
        QCOMPARE(tavo::indirizzoRicerca(servizio, query), indirizzo);
    }

    void indirizzoMappa_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<int>("lon");
        QTest::addColumn<int>("lat");
        QTest::addColumn<QString>("indirizzo");
        const QString s = QStringLiteral("http://maps.example.it/maps?hl=it&f=q&");
        QTest::newRow("last query") << "q=Via Roma 1 Milano" << 9191383 << 45464211
                                    << s + "q=Via%20Roma%201%20Milano&mrt=loc";
        QTest::newRow("coordinates") << "" << 9191383 << 45464211 << s + "q=45.46421,9.19138&mrt=loc&z=16";
        QTest::newRow("rounded half away from zero")
            << "" << -70668905 << -33868825 << s + "q=-33.86883,-70.66891&mrt=loc&z=16";
        QTest::newRow("small and zero") << "" << -4 << 0 << s + "q=0.00000,0.00000&mrt=loc&z=16";
        QTest::newRow("three integer digits") << "" << 151209296 << 5 << s + "q=0.00001,151.20930&mrt=loc&z=16";
    }
    void indirizzoMappa()
    {
        QFETCH(QString, query);
        QFETCH(int, lon);
        QFETCH(int, lat);
        QFETCH(QString, indirizzo);
        QCOMPARE(tavo::indirizzoMappa(QStringLiteral("http://maps.example.it"), query, lon, lat), indirizzo);
    }

    void queryMappa_data()
    {
        QTest::addColumn<QString>("indirizzo");
        QTest::addColumn<QString>("civico");
        QTest::addColumn<QString>("localita");
        QTest::addColumn<QString>("comune");
        QTest::addColumn<QString>("query");
        QTest::newRow("address and number") << "Via Roma"
                                            << "12"
                                            << "Brera"
                                            << "Milano"
                                            << "q=Via Roma 12 Milano";
        QTest::newRow("locality when no address") << " "
                                                  << ""
                                                  << " Brera "
                                                  << "Milano"
                                                  << "q=Brera Milano";
        QTest::newRow("municipality only") << ""
                                           << ""
                                           << ""
                                           << "Milano"
                                           << "q=Milano";
        QTest::newRow("zone dropped") << "Via Po"
                                      << ""
                                      << ""
                                      << "Torino (ZONA Crocetta)"
                                      << "q=Via Po Torino";
        QTest::newRow("zone without blank") << ""
                                            << ""
                                            << ""
                                            << "Torino(ZONA Crocetta)"
                                            << "q=Torino";
    }
    void queryMappa()
    {
        QFETCH(QString, indirizzo);
        QFETCH(QString, civico);
        QFETCH(QString, localita);
        QFETCH(QString, comune);
        QFETCH(QString, query);
        QCOMPARE(tavo::queryMappa(indirizzoPerMappa(indirizzo, civico, localita), comunePerMappa(comune)), query);
    }
};

QTEST_GUILESS_MAIN(TestGeocoding)
#include "tst_geocoding.moc"
