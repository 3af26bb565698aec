// The client register's rules and the geography of the municipality picker, on real databases,
// without widgets.

#include "clients/clienti.h"
#include "clients/clientisimili.h"
#include "data/memtable/memtablemodel.h"
#include "clients/geografia.h"
#include "tempdatabase.h"

#include <QBrush>
#include <QtTest>

using tavo::test::TempDatabase;
namespace db = tavo::db;

namespace {

// A client row with the given description, phones and e-mail (NULL for a null QString).
void inserisciCliente(TempDatabase &d, int id, const QString &descr, const QStringList &telefoni = {},
                      const QString &email = QString(), const QString &proprietario = QStringLiteral("N"))
{
    db::Transaction tr(d.db());
    db::Query q(tr, QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR,TELEFONO1,TELEFONO2,TELEFONO3,EMAIL,"
                                   "PROPRIETARIO,NOTE) values (:ID,:DESCR,:T1,:T2,:T3,:EMAIL,:P,:NOTE)"));
    q.setParam(QStringLiteral("ID"), id);
    q.setParam(QStringLiteral("DESCR"), descr.isNull() ? QVariant() : QVariant(descr));
    for (int i = 0; i < 3; ++i) {
        const QString t = telefoni.value(i);
        q.setParam(QStringLiteral("T%1").arg(i + 1), t.isNull() ? QVariant() : QVariant(t));
    }
    q.setParam(QStringLiteral("EMAIL"), email.isNull() ? QVariant() : QVariant(email));
    q.setParam(QStringLiteral("P"), proprietario);
    q.setParam(QStringLiteral("NOTE"), QStringLiteral("riga uno\r\nriga due"));
    q.exec();
    tr.commit();
}

// A small province of its own (names that exist nowhere else in Italy), under region 3.
void provinciaDiProva(TempDatabase &d, int idProvincia, const QStringList &comuni)
{
    d.exec(QStringLiteral("insert into PROVINCE (ID_PROVINCIA,ID_REGIONE,NOME) values (%1,3,'PROVA %1')")
               .arg(idProvincia));
    int id = idProvincia * 1000;
    for (const QString &c : comuni)
        d.exec(QStringLiteral("insert into COMUNI (ID_COMUNE,ID_PROVINCIA,NOME) values (%1,%2,'%3')")
                   .arg(++id)
                   .arg(idProvincia)
                   .arg(c));
}

QStringList nomi(const tavo::VociGeografiche &voci)
{
    QStringList n;
    for (const auto &v : voci)
        n << v.nome;
    return n;
}

} // namespace

class TestClienti : public QObject
{
    Q_OBJECT

private slots:
    void openingOfTheDuplicateMessages()
    {
        QCOMPARE(tavo::MessaggioDescrizioneSimile(1),
                 QStringLiteral("Esiste un altro cliente con una descrizione simile. Si prega di controllare il "
                                "valore immesso per evitare duplicazioni"));
        QCOMPARE(tavo::MessaggioEmailSimile(3),
                 QStringLiteral("Esistono altri 3 clienti con una EMail simile. Si prega di controllare il valore "
                                "immesso per evitare duplicazioni"));
        QCOMPARE(tavo::MaiuscoleAscii(QStringLiteral("rossi città")), QStringLiteral("ROSSI CITTà"));
    }

    void descriptionSimilarity_data()
    {
        QTest::addColumn<QString>("digitata");
        QTest::addColumn<int>("escluso");
        QTest::addColumn<int>("quanti");
        QTest::newRow("contained") << QStringLiteral("ROSSI") << 0 << 2; // ROSSI MARIO, DE ROSSI
        QTest::newRow("any case") << QStringLiteral("rossi mario") << 0 << 1;
        QTest::newRow("longer than stored") << QStringLiteral("ROSSI MARIO ANTONIO") << 0 << 0;
        QTest::newRow("itself excluded") << QStringLiteral("ROSSI MARIO") << 1 << 0;
        QTest::newRow("another excluded") << QStringLiteral("ROSSI") << 1 << 1;
        QTest::newRow("empty") << QString() << 0 << 0;
        QTest::newRow("full length") << QString(128, QLatin1Char('R')) << 0 << 0;
        QTest::newRow("full length, stored") << QString(128, QLatin1Char('L')) << 0 << 1;
        QTest::newRow("accented capitals") << QStringLiteral("CITTÀ") << 0 << 1;
    }
    void descriptionSimilarity()
    {
        QFETCH(QString, digitata);
        QFETCH(int, escluso);
        QFETCH(int, quanti);
        TempDatabase d;
        inserisciCliente(d, 1, QStringLiteral("ROSSI MARIO"), {QStringLiteral("1")});
        inserisciCliente(d, 2, QStringLiteral("De Rossi"), {QStringLiteral("2")});
        inserisciCliente(d, 3, QString(), {QStringLiteral("3")}); // no description at all
        inserisciCliente(d, 5, QString(128, QLatin1Char('L')), {QStringLiteral("5")});
        inserisciCliente(d, 6, QStringLiteral("NUOVA CITTÀ SRL"), {QStringLiteral("6")});
        db::Transaction tr(d.db());
        db::Query q(tr);
        QCOMPARE(tavo::ContaDescrizioniSimili(q, digitata, escluso), quanti);
    }

    void phoneUniqueness_data()
    {
        QTest::addColumn<QStringList>("memorizzati"); // the other client's three phones
        QTest::addColumn<QString>("digitato");
        QTest::addColumn<int>("escluso");
        QTest::addColumn<bool>("usato");
        const QStringList tutti{QStringLiteral("02 1234"), QStringLiteral("335/1234567"), QStringLiteral("06-55")};
        QTest::newRow("same key, other spelling") << tutti << QStringLiteral("335 123 4567") << 0 << true;
        QTest::newRow("third phone") << tutti << QStringLiteral("(06) 55") << 0 << true;
        QTest::newRow("prefix is another key") << tutti << QStringLiteral("+39 335 1234567") << 0 << false;
        QTest::newRow("the client itself") << tutti << QStringLiteral("335 123 4567") << 7 << false;
        QTest::newRow("a dash against an empty phone")
            << QStringList{QStringLiteral("02 1234")} << QStringLiteral("-") << 0 << true;
        QTest::newRow("a dash, every phone filled") << tutti << QStringLiteral("-") << 0 << false;
    }
    void phoneUniqueness()
    {
        QFETCH(QStringList, memorizzati);
        QFETCH(QString, digitato);
        QFETCH(int, escluso);
        QFETCH(bool, usato);
        TempDatabase d;
        inserisciCliente(d, 7, QStringLiteral("VERDI"), memorizzati);
        db::Transaction tr(d.db());
        db::Query q(tr);
        QStringList errori;
        QCOMPARE(tavo::TelefonoGiaUsato(q, digitato, escluso, [&](const QString &e) { errori << e; }), usato);
        QVERIFY(errori.isEmpty());
        QVERIFY(!q.isOpen());
    }

    void emailTest_data()
    {
        QTest::addColumn<QString>("digitata");
        QTest::addColumn<int>("escluso");
        QTest::addColumn<int>("tipo");
        QTest::addColumn<QString>("messaggio");
        const QString simile = tavo::MessaggioEmailSimile(1);
        QTest::newRow("empty") << QString() << 0 << int(tavo::EsitoEmail::Valida) << QString();
        QTest::newRow("no at sign") << QStringLiteral("mario.example.it") << 0 << int(tavo::EsitoEmail::NonAccettabile)
                                    << QStringLiteral("EMail non accettabile");
        QTest::newRow("other case") << QStringLiteral("Mario@Example.IT") << 0 << int(tavo::EsitoEmail::Simile)
                                    << simile;
        QTest::newRow("contained") << QStringLiteral("rio@example.it") << 0 << int(tavo::EsitoEmail::Simile) << simile;
        QTest::newRow("containing") << QStringLiteral("dario.mario@example.it") << 0 << int(tavo::EsitoEmail::Valida)
                                    << QString();
        QTest::newRow("full length") << QString(120, QLatin1Char('a')) + QStringLiteral("@test.it") << 0
                                     << int(tavo::EsitoEmail::Valida) << QString();
        QTest::newRow("itself") << QStringLiteral("mario@example.it") << 4 << int(tavo::EsitoEmail::Valida)
                                << QString();
    }
    void emailTest()
    {
        QFETCH(QString, digitata);
        QFETCH(int, escluso);
        QFETCH(int, tipo);
        QFETCH(QString, messaggio);
        TempDatabase d;
        inserisciCliente(d, 4, QStringLiteral("BIANCHI"), {}, QStringLiteral("mario@example.it"));
        db::Transaction tr(d.db());
        db::Query q(tr);
        const tavo::EsitoEmail esito = tavo::ControllaEmail(q, digitata, escluso);
        QCOMPARE(int(esito.tipo), tipo);
        QCOMPARE(esito.messaggio, messaggio);
    }

    void saveAndLoadAClient()
    {
        TempDatabase d;
        db::Transaction tr(d.db());
        db::Query q(tr);
        tavo::DatiCliente c;
        c.descr = QStringLiteral(" NERI SPA ");
        c.telefono2 = QStringLiteral("347 000 111");
        c.telXSms = 2;
        c.email = QStringLiteral("info@neri.it");
        c.cap = QStringLiteral("20100");
        c.prov = QStringLiteral("MI");
        c.proprietario = true;
        c.note = QStringLiteral("prima\r\nseconda");
        const int id = tavo::SalvaCliente(q, c, 0);
        QVERIFY(id > 0);
        tr.commitRetaining();
        QCOMPARE(d.scalar(QStringLiteral("select DESCR from CLIENTI where ID_CLIENTE=%1").arg(id)).toString(),
                 QStringLiteral(" NERI SPA ")); // as typed, not trimmed
        QCOMPARE(d.scalar(QStringLiteral("select TEL_X_SMS from CLIENTI where ID_CLIENTE=%1").arg(id)).toInt(), 2);
        QCOMPARE(d.scalar(QStringLiteral("select PROPRIETARIO from CLIENTI where ID_CLIENTE=%1").arg(id)).toString(),
                 QStringLiteral("S"));

        tavo::DatiCliente letto;
        QVERIFY(tavo::LeggiCliente(q, id, letto));
        QCOMPARE(letto.descr, c.descr);
        QCOMPARE(letto.telefono1, QString());
        QCOMPARE(letto.telefono2, c.telefono2);
        QCOMPARE(letto.telXSms, 2);
        QCOMPARE(letto.note, c.note);
        QVERIFY(letto.proprietario);

        letto.proprietario = false;
        letto.telXSms = 0;
        QCOMPARE(tavo::SalvaCliente(q, letto, id), 0);
        tr.commitRetaining();
        QCOMPARE(d.scalar(QStringLiteral("select PROPRIETARIO from CLIENTI where ID_CLIENTE=%1").arg(id)).toString(),
                 QStringLiteral("N"));
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from CLIENTI")).toInt(), 1);

        // A client deleted meanwhile is not "saved" by an update that finds no row.
        tavo::DatiCliente nessuno;
        QVERIFY(!tavo::LeggiCliente(q, 999, nessuno));
        QVERIFY_THROWS_EXCEPTION(db::DbError, tavo::SalvaCliente(q, letto, 999));
    }

    void similarFilter_data()
    {
        QTest::addColumn<QString>("descr");
        QTest::addColumn<QString>("telefono");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QStringList>("mostrati");
        QTest::newRow("description") << QStringLiteral("bianchi") << QString() << QString()
                                     << QStringList{QStringLiteral("BIANCHI LUCA"), QStringLiteral("De Bianchi")};
        QTest::newRow("phone key") << QString() << QStringLiteral("+39 (02) 55") << QString()
                                   << QStringList{QStringLiteral("ROSSI")};
        QTest::newRow("phone must be equal") << QString() << QStringLiteral("0255") << QString() << QStringList{};
        QTest::newRow("e-mail contained")
            << QString() << QString() << QStringLiteral("@ROSSI.IT") << QStringList{QStringLiteral("ROSSI")};
        QTest::newRow("empty filters") << QString() << QString() << QString() << QStringList{};
        QTest::newRow("any of them") << QStringLiteral("luca") << QString() << QStringLiteral("rossi.it")
                                     << QStringList{QStringLiteral("BIANCHI LUCA"), QStringLiteral("ROSSI")};
    }
    void similarFilter()
    {
        QFETCH(QString, descr);
        QFETCH(QString, telefono);
        QFETCH(QString, email);
        QFETCH(QStringList, mostrati);
        TempDatabase d;
        inserisciCliente(d, 1, QStringLiteral("ROSSI"), {QString(), QStringLiteral("39 02 55")},
                         QStringLiteral("Mario@Rossi.it"));
        inserisciCliente(d, 2, QStringLiteral("BIANCHI LUCA"), {QStringLiteral("333")});
        inserisciCliente(d, 3, QStringLiteral("De Bianchi"), {QStringLiteral("444")});
        inserisciCliente(d, 4, QStringLiteral("VERDI"), {}); // no phone: never found by an empty phone key
        db::Transaction tr(d.db());
        db::Query q(tr);
        tavo::TModelloClientiSimili modello;
        modello.Apri(q, tavo::FiltriSimili::Da(descr, telefono, email));
        QStringList righe;
        for (int r = 0; r < modello.rowCount(); ++r)
            righe << modello.valore(r, QStringLiteral("DESCR"));
        QCOMPARE(righe, mostrati);
    }

    void similarListSortsAndColours()
    {
        TempDatabase d;
        inserisciCliente(d, 1, QStringLiteral("ROSSI B"), {QStringLiteral("1")}, QStringLiteral("z@x.it"));
        inserisciCliente(d, 2, QStringLiteral("ROSSI A"), {QStringLiteral("2")}, QStringLiteral("b@x.it"),
                         QStringLiteral("S"));
        inserisciCliente(d, 3, QStringLiteral("ROSSI A"), {QStringLiteral("3")}, QStringLiteral("a@x.it"));
        db::Transaction tr(d.db());
        db::Query q(tr);
        tavo::TModelloClientiSimili m;
        m.Apri(q, tavo::FiltriSimili::Da(QStringLiteral("ROSSI"), QString(), QString()));
        auto ids = [&] {
            QList<int> l;
            for (int r = 0; r < m.rowCount(); ++r)
                l << m.idCliente(r);
            return l;
        };
        QCOMPARE(ids(), (QList<int>{3, 2, 1})); // order by DESCR,EMAIL
        QCOMPARE(m.headerData(13, Qt::Horizontal).toString(), QStringLiteral("Stiro Web"));

        QCOMPARE(m.headerData(13, Qt::Horizontal, tavo::TMemTableModel::ColumnNameRole).toString(),
                 QStringLiteral("SITO_WEB"));

        // Sorting keeps each persistent index on its client; column -1 is the query's order.
        const int telefono1 = tavo::TModelloClientiSimili::ColonnaDelCampo(QStringLiteral("TELEFONO1"));
        const QPersistentModelIndex cliente1(m.index(2, 0));
        m.sort(telefono1, Qt::DescendingOrder);
        QCOMPARE(ids(), (QList<int>{3, 2, 1}));
        m.sort(telefono1, Qt::AscendingOrder);
        QCOMPARE(ids(), (QList<int>{1, 2, 3}));
        QCOMPARE(cliente1.row(), 0);
        m.Apri(q, tavo::FiltriSimili::Da(QStringLiteral("ROSSI"), QString(), QString()));
        QCOMPARE(ids(), (QList<int>{1, 2, 3})); // reopening keeps the sort
        m.sort(-1);
        QCOMPARE(ids(), (QList<int>{3, 2, 1}));

        // The owner (id 2, second row) in blue, except in the notes column, shown on one line.
        const int note = tavo::TModelloClientiSimili::ColonnaDelCampo(QStringLiteral("NOTE"));
        QCOMPARE(m.data(m.index(1, 0), Qt::ForegroundRole).value<QBrush>().color(), QColor(18, 138, 255));
        QVERIFY(m.data(m.index(1, 0), tavo::TModelloClientiSimili::ProprietarioRole).toBool());
        QVERIFY(!m.data(m.index(1, note), Qt::ForegroundRole).isValid());
        QVERIFY(!m.data(m.index(0, 0), Qt::ForegroundRole).isValid());
        QCOMPARE(m.data(m.index(1, note)).toString(), QStringLiteral("riga uno riga due"));
    }

    void municipalitiesOfAProvince_data()
    {
        QTest::addColumn<QStringList>("righe");
        QTest::addColumn<QStringList>("comuni");
        QTest::addColumn<QList<int>>("ids");
        QTest::newRow("municipality with zones and one without")
            << QStringList{QStringLiteral("BORGOFINTO"), QStringLiteral("BORGOFINTO (ZONA CENTRO)"),
                           QStringLiteral("BORGOFINTO (ZONA NORD)"), QStringLiteral("MONTEFINTO")}
            << QStringList{QStringLiteral("BORGOFINTO"), QStringLiteral("MONTEFINTO")} << QList<int>{901001, 901004};
        QTest::newRow("two neighbours made only of zones")
            << QStringList{QStringLiteral("ALTOFINTO (ZONA EST)"), QStringLiteral("ALTOFINTO (ZONA OVEST)"),
                           QStringLiteral("BASSOFINTO (ZONA SUD)")}
            << QStringList{QStringLiteral("ALTOFINTO"), QStringLiteral("BASSOFINTO")} << QList<int>{901001, 901003};
    }
    void municipalitiesOfAProvince()
    {
        QFETCH(QStringList, righe);
        QFETCH(QStringList, comuni);
        QFETCH(QList<int>, ids);
        TempDatabase d;
        provinciaDiProva(d, 901, righe);
        db::Transaction tr(d.db());
        db::Query q(tr);
        const tavo::VociGeografiche voci = tavo::ComuniDellaProvincia(q, 901);
        QCOMPARE(nomi(voci), comuni);
        QList<int> trovati;
        for (const auto &v : voci)
            trovati << v.id;
        QCOMPARE(trovati, ids);
        QCOMPARE(tavo::RigheDellaProvincia(q, 901).size(), righe.size());
    }

    void zonesOfTheRealGeography()
    {
        TempDatabase d;
        db::Transaction tr(d.db());
        db::Query q(tr);
        QVERIFY(nomi(tavo::Nazioni(q)).contains(QStringLiteral("ITALIA")));
        QVERIFY(nomi(tavo::Regioni(q, 1)).contains(QStringLiteral("LOMBARDIA")));
        QVERIFY(nomi(tavo::Province(q, 3)).contains(QStringLiteral("MONZA E DELLA BRIANZA")));

        const tavo::VociGeografiche milano = tavo::ComuniDellaProvincia(q, 15);
        QCOMPARE(nomi(milano).count(QStringLiteral("MILANO")), 1);
        QVERIFY(!nomi(milano).join(QLatin1Char('|')).contains(QStringLiteral("(ZONA")));
        QCOMPARE(milano.at(nomi(milano).indexOf(QStringLiteral("MILANO"))).id, 15146);
        const tavo::VociGeografiche zone = tavo::ZoneDelComune(q, QStringLiteral("MILANO"));
        QCOMPARE(zone.size(), 35);
        QVERIFY(zone.contains(tavo::VoceGeografica{QStringLiteral("BRERA"), 11514602}));

        QVERIFY(nomi(tavo::ComuniDellaProvincia(q, 108)).contains(QStringLiteral("MONZA")));
        QVERIFY(tavo::ZoneDelComune(q, QStringLiteral("MONZA")).isEmpty());
        // A name that merely contains ZONA is a municipality of its own.
        QVERIFY(tavo::ZoneDelComune(q, QStringLiteral("BORZONASCA")).isEmpty());
    }

    void zoneNames()
    {
        QCOMPARE(tavo::ZonaDellaRiga(QStringLiteral("ROMA (ZONA EUR)")), QStringLiteral("EUR"));
        QCOMPARE(tavo::ZonaDellaRiga(QStringLiteral("ROMA (CENTRO)")), QStringLiteral("CENTRO"));
        QCOMPARE(tavo::ComuneDellaRiga(QStringLiteral("ROMA (ZONA EUR)")), QStringLiteral("ROMA"));
        QCOMPARE(tavo::ComuneDellaRiga(QStringLiteral("PIADENA DRIZZONA")), QStringLiteral("PIADENA DRIZZONA"));
        QCOMPARE(tavo::NomeZona(QStringLiteral("ROMA"), QStringLiteral("EUR")), QStringLiteral("ROMA (ZONA EUR)"));
    }

    void currentSelectionSentence_data()
    {
        QTest::addColumn<QString>("provincia");
        QTest::addColumn<QString>("comune");
        QTest::addColumn<bool>("conZone");
        QTest::addColumn<QString>("zona");
        QTest::addColumn<QString>("frase");
        QTest::newRow("nothing") << QString() << QString() << false << QString() << QString();
        QTest::newRow("province") << QStringLiteral("MILANO") << QString() << false << QString()
                                  << QStringLiteral("Tutta la provincia di MILANO");
        QTest::newRow("municipality with zones") << QStringLiteral("MILANO") << QStringLiteral("MILANO") << true
                                                 << QString() << QStringLiteral("Tutto il comune di MILANO");
        QTest::newRow("municipality") << QStringLiteral("MONZA E DELLA BRIANZA") << QStringLiteral("MONZA") << false
                                      << QString() << QStringLiteral("Il comune di MONZA");
        QTest::newRow("zone") << QStringLiteral("MILANO") << QStringLiteral("MILANO") << true << QStringLiteral("BRERA")
                              << QStringLiteral("Il comune di MILANO (ZONA BRERA)");
    }
    void currentSelectionSentence()
    {
        QFETCH(QString, provincia);
        QFETCH(QString, comune);
        QFETCH(bool, conZone);
        QFETCH(QString, zona);
        QFETCH(QString, frase);
        QCOMPARE(tavo::TestoSelezioneCorrente(provincia, comune, conZone, zona), frase);
    }

    void whatARequestReceives()
    {
        TempDatabase d;
        provinciaDiProva(d, 902,
                         {QStringLiteral("BORGOFINTO"), QStringLiteral("BORGOFINTO (ZONA CENTRO)"),
                          QStringLiteral("BORGOFINTO (ZONA NORD)"), QStringLiteral("MONTEFINTO")});
        db::Transaction tr(d.db());
        db::Query q(tr);
        tavo::SceltaGeografica s;
        s.idProvincia = 902;
        // Nothing below the province: every row, zones included.
        QCOMPARE(nomi(tavo::ComuniDaAggiungere(q, s)),
                 (QStringList{QStringLiteral("BORGOFINTO"), QStringLiteral("BORGOFINTO (ZONA CENTRO)"),
                              QStringLiteral("BORGOFINTO (ZONA NORD)"), QStringLiteral("MONTEFINTO")}));
        // A municipality with zones: its zones, not its own row.
        s.comune = {QStringLiteral("BORGOFINTO"), 902001};
        s.zone = tavo::ZoneDelComune(q, QStringLiteral("BORGOFINTO"));
        const tavo::VociGeografiche zone = tavo::ComuniDaAggiungere(q, s);
        QCOMPARE(zone, (tavo::VociGeografiche{{QStringLiteral("BORGOFINTO (ZONA CENTRO)"), 902002},
                                              {QStringLiteral("BORGOFINTO (ZONA NORD)"), 902003}}));
        // One zone.
        s.zona = 1;
        QCOMPARE(tavo::ComuniDaAggiungere(q, s),
                 (tavo::VociGeografiche{{QStringLiteral("BORGOFINTO (ZONA NORD)"), 902003}}));
        // A municipality without zones: itself.
        s = {};
        s.idProvincia = 902;
        s.comune = {QStringLiteral("MONTEFINTO"), 902004};
        QCOMPARE(tavo::ComuniDaAggiungere(q, s), (tavo::VociGeografiche{{QStringLiteral("MONTEFINTO"), 902004}}));
        // Ids already listed are left out.
        QCOMPARE(tavo::SenzaComuniPresenti(zone, {902002, 5}),
                 (tavo::VociGeografiche{{QStringLiteral("BORGOFINTO (ZONA NORD)"), 902003}}));
    }
};

QTEST_GUILESS_MAIN(TestClienti)
#include "tst_clienti.moc"
