// The request editor's logic on real databases: the conversions of the values on screen, the generic-request test
// and its question, the property-type groups, the locality and source suggestions, loading, the save with its link
// rows (rewritten on an edit, undone on a database error), and the "Mostra Incroci" query built line by line,
// which must find what the matching engine finds for the same values.

#include "tempdatabase.h"

#include "data/dmQueryComposte.h"
#include "requests/datirichiesta.h"

#include <QtTest>

#include <algorithm>

using tavo::DatiRichiesta;
using tavo::test::TempDatabase;
namespace db = tavo::db;

Q_DECLARE_METATYPE(DatiRichiesta)

namespace {

const int Milano = 15146, Roma = 58091;
const int Appartamento = 1, Bilocale = 3, Villa = 11;

void cliente(TempDatabase &d, int id, const QString &descr)
{
    d.exec(QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR) values (%1,'%2')").arg(id).arg(descr));
}

// One listing; the values are SQL literals, "null" included.
void annuncio(TempDatabase &d, int id, int comune, int tipo, int tipologiaAnnuncio, const QString &valori,
              const QString &eliminato = QStringLiteral("N"))
{
    d.exec(QStringLiteral("insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE,ID_CLIENTE,ID_COMUNE,"
                          "ID_TIPOLOGIA_IMMOBILE,ID_TIPOLOGIA_ANNUNCIO,RIFERIMENTO,ELIMINATO,PREZZO,MQ,NR_LOCALI,"
                          "NR_SERVIZI,NR_CAMERE,LOCALITA,BOX_AUTO,BALCONE,TERRAZZO,GIARDINO,CANTINA,CONDIZIONI,"
                          "ASCENSORE,CONDIZIONATORE) values (%1,1,%2,%3,%4,'R%1','%5',%6)")
               .arg(id)
               .arg(comune)
               .arg(tipo)
               .arg(tipologiaAnnuncio)
               .arg(eliminato, valori));
}

// Listings whose values sit on both sides of every criterion line.
void annunci(TempDatabase &d)
{
    cliente(d, 1, QStringLiteral("ROSSI"));
    // prezzo, mq, locali, servizi, camere, localita, box, balcone, terrazzo, giardino, cantina, condizioni,
    // ascensore, condizionatore
    annuncio(d, 101, Milano, Appartamento, 1,
             QStringLiteral("200000,80,3,1,2,'NAVIGLI','singolo','S','N','nessuno','S','buono','S','N'"));
    annuncio(d, 102, Milano, Bilocale, 1, QStringLiteral("150000,55.5,2,1,1,'BRERA','',null,'S','','',null,null,null"));
    annuncio(d, 103, Milano, Appartamento, 1,
             QStringLiteral("null,0,0,0,0,'','doppio','',null,'privato',null,'','','S'"));
    annuncio(d, 104, Milano, Appartamento, 1,
             QStringLiteral("0,null,null,null,null,null,null,null,null,null,null,null,null,null"));
    annuncio(d, 105, Milano, Appartamento, 1,
             QStringLiteral("350000,120,5,2,3,'NAVIGLI','singolo','S','S','privato','S','buono','S','S'"),
             QStringLiteral("S"));
    annuncio(d, 106, Roma, Appartamento, 1,
             QStringLiteral("180000,70,3,1,2,'EUR','posto auto','S','S','comune','S','ottimo','S','S'"));
    annuncio(d, 107, Milano, Villa, 2,
             QStringLiteral("1200,200,6,3,4,'','nessuno','N','N','comune','N','nuovo','N','N'"));
    annuncio(d, 108, Milano, Appartamento, 1,
             QStringLiteral("240000.5,85.7,4,2,3,null,null,null,null,null,null,'nuovo',null,'S'"));
}

// Milano, flats and two-room flats, for sale: the base of the matching cases.
DatiRichiesta base()
{
    DatiRichiesta d;
    d.comuni = {{Milano, QStringLiteral("MILANO")}};
    d.tipiImmobile = {Appartamento, Bilocale};
    d.tipiAnnuncio = {1};
    return d;
}

int conta(TempDatabase &d, const QString &sql)
{
    return d.scalar(sql).toInt();
}

} // namespace

class TestDatiRichiesta : public QObject
{
    Q_OBJECT

private slots:
    // --- conversions ------------------------------------------------------------------------------------------------

    void colonne()
    {
        DatiRichiesta d;
        d.idCliente = 7;
        d.prezzoMin = 1234.56789;
        d.prezzoMax = 250000.5;
        d.mqMin = 85.7;
        d.mqMax = 85.2;
        d.nrLocaliMin = 0.5;
        d.nrLocaliMax = 3.9;
        d.nrCamereMin = 2;
        d.boxAuto = std::nullopt;
        d.condizioni = QStringLiteral("buono");
        d.balcone = true;
        d.spazioAperto = true;
        d.fonte = QStringLiteral(" passaparola ");
        d.localita = QStringLiteral("  NAVIGLI ");
        d.note = QStringLiteral("riga 1\nriga 2");
        const QVariantMap c = tavo::colonneRichiesta(d);
        QCOMPARE(c.value("ID_CLIENTE").toInt(), 7);
        QCOMPARE(c.value("PREZZO_MIN").toDouble(), 1234.5679);
        QCOMPARE(c.value("PREZZO_MAX").toDouble(), 250000.5);
        QCOMPARE(c.value("MQ_MIN").toInt(), 85);
        QCOMPARE(c.value("MQ_MAX").toInt(), 85);
        QCOMPARE(c.value("NR_LOCALI_MIN").toInt(), 0);
        QCOMPARE(c.value("NR_LOCALI_MAX").toInt(), 3);
        QCOMPARE(c.value("NR_CAMERE_MIN").toInt(), 2);
        QCOMPARE(c.value("NR_SERVIZI_MAX").toInt(), 0);
        // No item chosen: the empty text, not a missing value.
        QVERIFY(!c.value("BOX_AUTO").toString().isNull());
        QCOMPARE(c.value("BOX_AUTO").toString(), QString());
        QCOMPARE(c.value("CONDIZIONI").toString(), QStringLiteral("buono"));
        QCOMPARE(c.value("BALCONE").toString(), QStringLiteral("S"));
        QCOMPARE(c.value("SPAZIO_APERTO").toString(), QStringLiteral("S"));
        for (const char *f : {"TERRAZZO", "CANTINA", "GIARDINO", "ASCENSORE", "CONDIZIONATORE"})
            QCOMPARE(c.value(f).toString(), QStringLiteral("N"));
        QCOMPARE(c.value("FONTE").toString(), QStringLiteral(" passaparola "));
        QCOMPARE(c.value("LOCALITA").toString(), QStringLiteral("NAVIGLI"));
        QCOMPARE(c.value("NOTE").toString(), QStringLiteral("riga 1\r\nriga 2"));
        QCOMPARE(c.size(), 23);
    }

    void superficieArrotondata_data()
    {
        QTest::addColumn<double>("memorizzata");
        QTest::addColumn<int>("mostrata");
        QTest::newRow("85.7") << 85.7 << 86;
        QTest::newRow("85.2") << 85.2 << 85;
        QTest::newRow("84.5 al pari") << 84.5 << 84;
        QTest::newRow("85.5 al pari") << 85.5 << 86;
        QTest::newRow("0") << 0.0 << 0;
    }
    void superficieArrotondata()
    {
        QFETCH(double, memorizzata);
        QFETCH(int, mostrata);
        QCOMPARE(tavo::superficieArrotondata(memorizzata), mostrata);
    }

    void richiestaGenerica_data()
    {
        QTest::addColumn<DatiRichiesta>("dati");
        QTest::addColumn<bool>("generica");
        const DatiRichiesta vuota = base();
        QTest::newRow("nulla") << vuota << true;
        DatiRichiesta d = vuota;
        d.boxAuto = QString();
        QTest::newRow("box auto vuoto scelto") << d << false;
        d = vuota;
        d.condizioni = QString();
        QTest::newRow("condizioni vuote scelte") << d << false;
        d = vuota;
        d.nrLocaliMin = 0.5;
        QTest::newRow("mezzo locale") << d << false;
        d = vuota;
        d.prezzoMax = 100000;
        QTest::newRow("prezzo") << d << false;
        d = vuota;
        d.localita = QStringLiteral("BRERA");
        QTest::newRow("località") << d << false;
        d = vuota;
        d.condizionatore = true;
        QTest::newRow("condizionatore") << d << false;
        d = vuota;
        d.spazioAperto = true;
        QTest::newRow("spazio aperto") << d << false;
        d = vuota;
        d.fonte = QStringLiteral("web");
        d.note = QStringLiteral("urgente");
        d.idCliente = 3;
        QTest::newRow("fonte e note non contano") << d << true;
    }
    void richiestaGenerica()
    {
        QFETCH(DatiRichiesta, dati);
        QFETCH(bool, generica);
        QCOMPARE(tavo::richiestaGenerica(dati), generica);
    }

    void domandaGenerica()
    {
        QCOMPARE(
            tavo::testoDomandaGenerica(false),
            QString::fromUtf8("Non è stata specificata alcuna caratteristica della ricerca.\nLa richiesta potrebbe "
                              "risultare troppo generica\n\nContinuare con la registrazione?"));
        QCOMPARE(
            tavo::testoDomandaGenerica(true),
            QString::fromUtf8("Non è stata specificata alcuna caratteristica della ricerca.\nLa richiesta potrebbe "
                              "risultare troppo generica\n\nContinuare con la ricerca?"));
    }

    void raggruppaTipologie()
    {
        // A group starts whenever the macro type differs from the previous row's, even if it was seen before.
        const QList<tavo::RigaTipologia> righe = {{1, "APPARTAMENTI", 1, "APPARTAMENTO"},
                                                  {1, "APPARTAMENTI", 3, "BILOCALE"},
                                                  {5, "BOX E POSTI AUTO", 30, "BOX"},
                                                  {1, "APPARTAMENTI", 9, "LOFT"}};
        const QList<tavo::GruppoTipologie> gruppi = tavo::raggruppaTipologie(righe);
        QCOMPARE(gruppi.size(), 3);
        QCOMPARE(gruppi.at(0).testo, QStringLiteral("APPARTAMENTI"));
        QCOMPARE(gruppi.at(0).tipi.size(), 2);
        QCOMPARE(gruppi.at(0).tipi.at(1).id, 3);
        QCOMPARE(gruppi.at(0).tipi.at(1).testo, QStringLiteral("BILOCALE"));
        QCOMPARE(gruppi.at(1).testo, QStringLiteral("BOX E POSTI AUTO"));
        QCOMPARE(gruppi.at(2).tipi.size(), 1);
        QVERIFY(tavo::raggruppaTipologie({}).isEmpty());
    }

    void tipologieDelDatabase()
    {
        TempDatabase d;
        db::Transaction tr(d.db());
        const QList<tavo::GruppoTipologie> gruppi = tavo::raggruppaTipologie(tavo::leggiRigheTipologie(tr));
        QCOMPARE(gruppi.size(), conta(d, QStringLiteral("select count(distinct ID_MACRO_TIPOLOGIA) from "
                                                        "TIPOLOGIE_IMMOBILI")));
        int tipi = 0;
        for (const auto &g : gruppi)
            tipi += g.tipi.size();
        QCOMPARE(tipi, conta(d, QStringLiteral("select count(*) from TIPOLOGIE_IMMOBILI")));
        // Groups by plural, types by description.
        QCOMPARE(gruppi.first().testo, QStringLiteral("APPARTAMENTI"));
        QCOMPARE(gruppi.first().tipi.first().testo, QStringLiteral("APPARTAMENTO"));
        QVERIFY(std::is_sorted(gruppi.cbegin(), gruppi.cend(),
                               [](const auto &a, const auto &b) { return a.testo < b.testo; }));
    }

    void localitaVerificata_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<QStringList>("voci");
        QTest::addColumn<QString>("risultato");
        const QStringList voci = {QStringLiteral(" "), QStringLiteral("BRERA"), QStringLiteral("NAVIGLI")};
        QTest::newRow("presente") << "BRERA" << voci << "BRERA";
        QTest::newRow("presente con spazi") << " BRERA " << voci << " BRERA ";
        QTest::newRow("assente") << "EUR" << voci << "";
        QTest::newRow("maiuscole diverse") << "Brera" << voci << "";
        QTest::newRow("vuota") << "" << voci << "";
        QTest::newRow("spazi") << "  " << voci << "  ";
        QTest::newRow("nessun comune") << "BRERA" << QStringList() << "";
    }
    void localitaVerificata()
    {
        QFETCH(QString, testo);
        QFETCH(QStringList, voci);
        QFETCH(QString, risultato);
        QCOMPARE(tavo::localitaVerificata(testo, voci), risultato);
    }

    void suggerimenti()
    {
        TempDatabase d;
        annunci(d);
        d.exec(QStringLiteral("insert into RICHIESTE (ID_RICHIESTA,ID_CLIENTE,FONTE) values (1,1,'web')"));
        d.exec(QStringLiteral("insert into RICHIESTE (ID_RICHIESTA,ID_CLIENTE,FONTE) values (2,1,'web')"));
        d.exec(QStringLiteral("insert into RICHIESTE (ID_RICHIESTA,ID_CLIENTE,FONTE) values (3,1,null)"));
        d.exec(QStringLiteral("insert into RICHIESTE (ID_RICHIESTA,ID_CLIENTE,FONTE) values (4,1,'agenzia')"));
        db::Transaction tr(d.db());
        auto ordinate = [](QStringList l) {
            l.sort();
            return l;
        };
        // The deleted listing's locality is known too (the view reads every listing); "" and null are not.
        QCOMPARE(ordinate(tavo::leggiLocalitaComuni(tr, {Milano})), (QStringList{" ", "BRERA", "NAVIGLI"}));
        QCOMPARE(ordinate(tavo::leggiLocalitaComuni(tr, {Milano, Roma})),
                 (QStringList{" ", "BRERA", "EUR", "NAVIGLI"}));
        QVERIFY(tavo::leggiLocalitaComuni(tr, {}).isEmpty());
        QCOMPARE(ordinate(tavo::leggiFonti(tr)), (QStringList{" ", "agenzia", "web"}));
    }

    // --- the "Mostra Incroci" query -----------------------------------------------------------------------------

    void righeQueryIncroci()
    {
        DatiRichiesta d = base();
        d.comuni.append({Roma, QStringLiteral("ROMA")});
        d.tipiAnnuncio = {1, 3};
        d.prezzoMin = 1000.123456;
        d.prezzoMax = 2000;
        d.mqMin = 85.7;
        d.mqMax = 100;
        d.nrLocaliMin = 0.5; // no bound
        d.nrLocaliMax = 4.9;
        d.nrServiziMin = 1;
        d.nrServiziMax = 2;
        d.nrCamereMin = 1;
        d.nrCamereMax = 3;
        d.localita = QStringLiteral(" NAVIGLI ");
        d.boxAuto = QStringLiteral("posto auto");
        d.terrazzo = d.giardino = d.spazioAperto = d.balcone = d.cantina = d.ascensore = d.condizionatore = true;
        d.condizioni = QStringLiteral("nuovo");
        const tavo::incroci::QueryIncroci q = tavo::queryIncrociRichiesta(d);
        const QStringList attese = {
            "select distinct ID_ANNUNCIO_IMMOBILE from ANNUNCI_IMMOBILI where ELIMINATO='N' ",
            "and ID_COMUNE in (15146,58091)",
            "and ID_TIPOLOGIA_IMMOBILE in (1,3)",
            "and ID_TIPOLOGIA_ANNUNCIO in (1,3)",
            "and ((PREZZO>=:PREZZO_MIN) or (PREZZO=0) or (PREZZO is null))",
            "and ((PREZZO<=:PREZZO_MAX) or (PREZZO=0) or (PREZZO is null))",
            "and ((MQ>=:MQ_MIN) or (MQ=0) or (MQ is null))",
            "and ((MQ<=:MQ_MAX) or (MQ=0) or (MQ is null))",
            "and ((NR_LOCALI<=:NR_LOCALI_MAX) or (NR_LOCALI=0) or (NR_LOCALI is null))",
            "and ((NR_SERVIZI>=:NR_SERVIZI_MIN) or (NR_SERVIZI=0) or (NR_SERVIZI is null))",
            "and ((NR_SERVIZI<=:NR_SERVIZI_MAX) or (NR_SERVIZI=0) or (NR_SERVIZI is null))",
            "and ((NR_CAMERE>=:NR_CAMERE_MIN) or (NR_CAMERE=0) or (NR_CAMERE is null))",
            "and ((NR_CAMERE<=:NR_CAMERE_MAX) or (NR_CAMERE=0) or (NR_CAMERE is null))",
            "and ((LOCALITA=:LOCALITA) or (LOCALITA='') or (LOCALITA is null))",
            "and ((BOX_AUTO='singolo') or (BOX_AUTO='doppio') or (BOX_AUTO='posto auto') or (BOX_AUTO=''))",
            "and ((TERRAZZO='S') or (TERRAZZO is null))",
            "and ((GIARDINO='privato') or (GIARDINO='comune') or (GIARDINO=''))",
            "and ((TERRAZZO='S') or (TERRAZZO is null) or (GIARDINO='privato') or (GIARDINO='comune') or "
            "(GIARDINO=''))",
            "and ((BALCONE='S') or (BALCONE is null))",
            "and ((CANTINA='S') or (CANTINA is null))",
            "and ((CONDIZIONI=:CONDIZIONI) or (CONDIZIONI is null))",
            "and ((ASCENSORE='S') or (ASCENSORE is null))",
            "and ((CONDIZIONATORE='S') or (CONDIZIONATORE is null))",
            "order by PREZZO"};
        QCOMPARE(q.righe, attese);
        QHash<QString, QVariant> parametri;
        for (const auto &p : q.parametri)
            parametri.insert(p.first, p.second);
        QCOMPARE(parametri.size(), 11);
        QCOMPARE(parametri.value("PREZZO_MIN").toDouble(), 1000.1235);
        QCOMPARE(parametri.value("MQ_MIN").toDouble(), 85.7);
        QCOMPARE(parametri.value("NR_LOCALI_MAX"), QVariant(4));
        QCOMPARE(parametri.value("LOCALITA").toString(), QStringLiteral("NAVIGLI"));
        QCOMPARE(parametri.value("CONDIZIONI").toString(), QStringLiteral("nuovo"));
        QVERIFY(!parametri.contains("NR_LOCALI_MIN"));

        // Nothing but the lists: the four fixed lines and the sort.
        QCOMPARE(tavo::queryIncrociRichiesta(base()).righe.size(), 5);
        // An empty list: no query at all.
        DatiRichiesta senzaComuni = base();
        senzaComuni.comuni.clear();
        QVERIFY(tavo::queryIncrociRichiesta(senzaComuni).righe.isEmpty());
        QCOMPARE(tavo::filtroAnnunciIncrociati({12, 7}), QStringLiteral("and ID_ANNUNCIO_IMMOBILE in (12,7)"));
    }

    void incrociComeIlMotore_data()
    {
        QTest::addColumn<DatiRichiesta>("dati");
        QTest::addColumn<QVector<int>>("attesi");
        const DatiRichiesta b = base();
        auto riga = [&b](const char *nome, const std::function<void(DatiRichiesta &)> &modifica,
                         const QVector<int> &attesi) {
            DatiRichiesta d = b;
            modifica(d);
            QTest::newRow(nome) << d << attesi;
        };
        // Price order, the missing price first; the deleted listing 105 never.
        riga("nessun criterio", [](DatiRichiesta &) {}, {103, 104, 102, 101, 108});
        riga("prezzo",
             [](DatiRichiesta &d) {
                 d.prezzoMin = 160000;
                 d.prezzoMax = 240000;
             },
             {103, 104, 101});
        riga("prezzo con decimali", [](DatiRichiesta &d) { d.prezzoMax = 240000.5; }, {103, 104, 102, 101, 108});
        riga("prezzo sotto i decimali", [](DatiRichiesta &d) { d.prezzoMax = 240000.49; }, {103, 104, 102, 101});
        riga("superficie come digitata",
             [](DatiRichiesta &d) {
                 d.mqMin = 60;
                 d.mqMax = 85.7;
             },
             {103, 104, 101, 108});
        riga("superficie 85", [](DatiRichiesta &d) { d.mqMax = 85; }, {103, 104, 102, 101});
        riga("mezzo locale", [](DatiRichiesta &d) { d.nrLocaliMin = 0.5; }, {103, 104, 102, 101, 108});
        riga("locali 3.9", [](DatiRichiesta &d) { d.nrLocaliMin = 3.9; }, {103, 104, 101, 108});
        riga("servizi", [](DatiRichiesta &d) { d.nrServiziMax = 1; }, {103, 104, 102, 101});
        riga("camere",
             [](DatiRichiesta &d) {
                 d.nrCamereMin = 2;
                 d.nrCamereMax = 2;
             },
             {103, 104, 101});
        riga("località", [](DatiRichiesta &d) { d.localita = QStringLiteral("NAVIGLI "); }, {103, 104, 101, 108});
        riga("box vuoto", [](DatiRichiesta &d) { d.boxAuto = QString(); }, {103, 104, 102, 101, 108});
        riga("box singolo", [](DatiRichiesta &d) { d.boxAuto = QStringLiteral("box singolo"); }, {102, 101});
        riga("box doppio", [](DatiRichiesta &d) { d.boxAuto = QStringLiteral("box doppio"); }, {103, 102});
        riga("posto auto", [](DatiRichiesta &d) { d.boxAuto = QStringLiteral("posto auto"); }, {103, 102, 101});
        riga("terrazzo", [](DatiRichiesta &d) { d.terrazzo = true; }, {103, 104, 102, 108});
        riga("giardino", [](DatiRichiesta &d) { d.giardino = true; }, {103, 102});
        riga("spazio aperto", [](DatiRichiesta &d) { d.spazioAperto = true; }, {103, 104, 102, 108});
        riga("balcone", [](DatiRichiesta &d) { d.balcone = true; }, {104, 102, 101, 108});
        riga("cantina", [](DatiRichiesta &d) { d.cantina = true; }, {103, 104, 101, 108});
        riga("condizioni", [](DatiRichiesta &d) { d.condizioni = QStringLiteral("buono"); }, {104, 102, 101});
        riga("condizioni vuote", [](DatiRichiesta &d) { d.condizioni = QString(); }, {103, 104, 102, 101, 108});
        riga("ascensore", [](DatiRichiesta &d) { d.ascensore = true; }, {104, 102, 101, 108});
        riga("condizionatore", [](DatiRichiesta &d) { d.condizionatore = true; }, {103, 104, 102, 108});
        riga("ville in affitto",
             [](DatiRichiesta &d) {
                 d.tipiImmobile = {Villa};
                 d.tipiAnnuncio = {2};
             },
             {107});
        riga("roma", [](DatiRichiesta &d) { d.comuni = {{Roma, QStringLiteral("ROMA")}}; }, {106});
        riga("insieme",
             [](DatiRichiesta &d) {
                 d.comuni.append({Roma, QStringLiteral("ROMA")});
                 d.prezzoMax = 200000;
                 d.balcone = true;
                 d.boxAuto = QStringLiteral("posto auto");
                 d.condizionatore = true;
             },
             {102, 106});
        riga("senza comuni", [](DatiRichiesta &d) { d.comuni.clear(); }, {});
    }
    void incrociComeIlMotore()
    {
        QFETCH(DatiRichiesta, dati);
        QFETCH(QVector<int>, attesi);
        TempDatabase d;
        annunci(d);
        db::Transaction tr(d.db());
        // The query as the editor builds it, line by line.
        QCOMPARE(tavo::eseguiQueryIncroci(tr, tavo::queryIncrociRichiesta(dati)), attesi);
        // The engine on the same values, both ways it computes.
        tavo::TDataModuleQueryComposte dm(d.db());
        const tavo::incroci::ValoriRichiesta valori = tavo::valoriIncrocio(dati);
        QCOMPARE(dm.IncrociRichiesta(valori), attesi);
        QCOMPARE(
            dm.IncrociRichiesta(valori, tavo::incroci::CollegamentiRichiesta::DaValori, tavo::MetodoIncroci::PerRiga),
            attesi);
    }

    // --- loading and saving -----------------------------------------------------------------------------------------

    void salvataggioELettura()
    {
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        cliente(d, 2, QStringLiteral("BIANCHI"));
        d.exec(QStringLiteral("set generator GEN_RICHIESTE_ID to 40"));
        db::Transaction tr(d.db());

        DatiRichiesta r = base();
        r.idCliente = 1;
        r.comuni.append({Roma, QStringLiteral("ROMA")});
        r.tipiImmobile = {Bilocale, Appartamento};
        r.tipiAnnuncio = {1, 3};
        r.prezzoMin = 1234.56789;
        r.mqMin = 85.7;
        r.nrLocaliMin = 0.5;
        r.boxAuto = QString();
        r.fonte = QStringLiteral(" web ");
        r.localita = QStringLiteral(" NAVIGLI");
        r.note = QStringLiteral("a\nb");
        const int id = tavo::salvaRichiesta(tr, r);
        QCOMPARE(id, 41);
        // Committed: another transaction sees it.
        auto valore = [&d, id](const char *colonna) {
            return d.scalar(QStringLiteral("select %1 from RICHIESTE where ID_RICHIESTA=%2").arg(colonna).arg(id));
        };
        QCOMPARE(valore("ID_CLIENTE").toInt(), 1);
        QCOMPARE(valore("PREZZO_MIN").toDouble(), 1234.5679);
        QCOMPARE(valore("MQ_MIN").toDouble(), 85.0);
        QCOMPARE(valore("NR_LOCALI_MIN").toInt(), 0);
        QCOMPARE(valore("BOX_AUTO"), QVariant(QString()));
        QCOMPARE(valore("CONDIZIONI"), QVariant(QString()));
        QCOMPARE(valore("BALCONE").toString(), QStringLiteral("N"));
        QCOMPARE(valore("FONTE").toString(), QStringLiteral(" web "));
        QCOMPARE(valore("LOCALITA").toString(), QStringLiteral("NAVIGLI"));
        QCOMPARE(valore("NOTE").toString(), QStringLiteral("a\r\nb"));
        // The editor leaves the date of the last change alone.
        QVERIFY(!valore("DATA_ULT_MODIFICA").isValid());
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_TIP_ANNUNCI where ID_RICHIESTA=41")), 2);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_TIP_IMMOBILI where ID_RICHIESTA=41")), 2);

        std::optional<DatiRichiesta> letta = tavo::leggiRichiesta(tr, id);
        QVERIFY(letta);
        QCOMPARE(letta->idCliente, 1);
        QCOMPARE(letta->prezzoMin, 1234.5679);
        QCOMPARE(letta->mqMin, 85.0);
        QCOMPARE(letta->boxAuto, std::optional<QString>(QString()));
        QCOMPARE(letta->fonte, QStringLiteral(" web "));
        QCOMPARE(letta->note, QStringLiteral("a\nb"));
        QCOMPARE(letta->tipiAnnuncio, (QVector<int>{1, 3}));
        QVector<int> tipi = letta->tipiImmobile;
        std::sort(tipi.begin(), tipi.end());
        QCOMPARE(tipi, (QVector<int>{Appartamento, Bilocale}));
        QCOMPARE(letta->comuni.size(), 2);
        QCOMPARE(letta->comuni.at(0).testo, QStringLiteral("MILANO"));
        QCOMPARE(letta->comuni.at(1).id, Roma);

        // An edit rewrites all three sets of link rows.
        const int primoComune = conta(d, QStringLiteral("select max(ID) from RICHIESTE_COMUNI"));
        letta->idCliente = 2;
        letta->comuni = {{Roma, QStringLiteral("ROMA")}, {Milano, QStringLiteral("MILANO")}};
        letta->tipiImmobile = {Appartamento};
        letta->tipiAnnuncio = {2};
        QCOMPARE(tavo::salvaRichiesta(tr, *letta), id);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE")), 1);
        QCOMPARE(valore("ID_CLIENTE").toInt(), 2);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_COMUNI where ID>%1").arg(primoComune)), 2);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_COMUNI")), 2);
        QCOMPARE(conta(d, QStringLiteral("select ID_TIP_ANNUNCIO from RICHIESTE_TIP_ANNUNCI")), 2);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_TIP_IMMOBILI")), 1);
        const std::optional<DatiRichiesta> riletta = tavo::leggiRichiesta(tr, id);
        QCOMPARE(riletta->comuni.first().id, Roma); // the order of entry
    }

    void letturaDeiValoriMemorizzati()
    {
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        d.exec(QStringLiteral("insert into TIPOLOGIE_ANNUNCI (ID_TIPOLOGIA_ANNUNCIO,DESCRIZIONE) values (4,'ASTA')"));
        d.exec(QStringLiteral("insert into RICHIESTE (ID_RICHIESTA,ID_CLIENTE,MQ_MIN,MQ_MAX,PREZZO_MAX,BOX_AUTO,"
                              "CONDIZIONI,TERRAZZO,SPAZIO_APERTO,CANTINA) values (5,1,84.5,85.5,99999.5,'garage',"
                              "null,'S','s','')"));
        d.exec(QStringLiteral("insert into RICHIESTE_TIP_ANNUNCI (ID_RICHIESTA,ID_TIP_ANNUNCIO) values (5,4)"));
        d.exec(QStringLiteral("insert into RICHIESTE_TIP_ANNUNCI (ID_RICHIESTA,ID_TIP_ANNUNCIO) values (5,2)"));
        db::Transaction tr(d.db());
        const std::optional<DatiRichiesta> r = tavo::leggiRichiesta(tr, 5);
        QVERIFY(r);
        QCOMPARE(r->mqMin, 84.0);
        QCOMPARE(r->mqMax, 86.0);
        QCOMPARE(r->prezzoMax, 99999.5);
        QCOMPARE(r->nrCamereMin, 0.0); // missing: 0
        QCOMPARE(r->boxAuto, std::optional<QString>(QStringLiteral("garage")));
        QCOMPARE(r->condizioni, std::optional<QString>(QString()));
        QVERIFY(r->terrazzo);
        QVERIFY(!r->spazioAperto); // only "S" checks a box
        QVERIFY(!r->cantina);
        QCOMPARE(r->tipiAnnuncio, QVector<int>{2}); // kinds other than 1 to 3 are left out
        QVERIFY(r->comuni.isEmpty());
        QVERIFY(!tavo::leggiRichiesta(tr, 6));
    }

    void erroreDelDatabaseNonLasciaNulla()
    {
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        db::Transaction tr(d.db());
        DatiRichiesta buona = base();
        buona.idCliente = 1;
        const int id = tavo::salvaRichiesta(tr, buona);

        // A new request whose last municipality does not exist: the row and the first link rows were written when
        // the last statement fails.
        DatiRichiesta cattiva = base();
        cattiva.idCliente = 1;
        cattiva.comuni.append({999999, QStringLiteral("NESSUNO")});
        QString messaggio;
        try {
            tavo::salvaRichiesta(tr, cattiva);
        } catch (const db::DbError &e) {
            messaggio = e.message();
        }
        QVERIFY(!messaggio.isEmpty());
        // An edit failing the same way: the stored request keeps its values and its link rows.
        DatiRichiesta modifica = buona;
        modifica.idRichiesta = id;
        modifica.prezzoMax = 5;
        modifica.comuni = {{999999, QStringLiteral("NESSUNO")}};
        QVERIFY_THROWS_EXCEPTION(db::DbError, tavo::salvaRichiesta(tr, modifica));

        // The next save of the same transaction commits only itself.
        DatiRichiesta altra = base();
        altra.idCliente = 1;
        altra.comuni = {{Roma, QStringLiteral("ROMA")}};
        const int idAltra = tavo::salvaRichiesta(tr, altra);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE")), 2);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE where ID_RICHIESTA not in (%1,%2)")
                              .arg(id)
                              .arg(idAltra)),
                 0);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_COMUNI")), 2);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_TIP_IMMOBILI")), 4);
        QCOMPARE(conta(d, QStringLiteral("select count(*) from RICHIESTE_TIP_ANNUNCI")), 2);
        QCOMPARE(d.scalar(QStringLiteral("select PREZZO_MAX from RICHIESTE where ID_RICHIESTA=%1").arg(id)).toDouble(),
                 0.0);
        QCOMPARE(conta(d, QStringLiteral("select ID_COMUNE from RICHIESTE_COMUNI where ID_RICHIESTA=%1").arg(id)),
                 Milano);
    }
};

QTEST_GUILESS_MAIN(TestDatiRichiesta)
#include "tst_datirichiesta.moc"
