// The matching engine: the edge cases of the two matching directions checked with both methods (in-memory engine
// and per-row queries), differential comparisons on randomised databases, the module's tables, slots, single-row
// refreshes, progress and failures, and tavo-incroci.

#include "data/demo.h"
#include "data/dmQueryComposte.h"
#include "data/incrocidb.h"
#include "data/memtable/memtablemodel.h"
#include "tempdatabase.h"

#include <QProcess>
#include <QRegularExpression>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace tavo;
using namespace tavo::incroci;
using tavo::test::TempDatabase;

Q_DECLARE_METATYPE(tavo::MetodoIncroci)

namespace {

// Rows of a table in its order, every column, as text for readable failures.
QStringList righeTabella(const TMemTable &t)
{
    QStringList righe;
    for (RowId id : t.visibleRowIds()) {
        QStringList campi;
        for (int c = 0; c < t.columnCount(); ++c) {
            const QVariant v = t.rowValue(id, c);
            campi << t.column(c).name() + QLatin1Char('=') +
                         (v.isValid() ? (v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'g', 17)
                                                                         : v.toString())
                                      : QStringLiteral("<null>"));
        }
        righe << campi.join(QLatin1Char('|'));
    }
    return righe;
}

// First difference between two tables, or "" when equal (values and types compared exactly).
QString differenza(const TMemTable &a, const TMemTable &b)
{
    const QVector<RowId> ra = a.visibleRowIds(), rb = b.visibleRowIds();
    if (ra.size() != rb.size())
        return QStringLiteral("righe %1 contro %2").arg(ra.size()).arg(rb.size());
    for (int i = 0; i < ra.size(); ++i)
        for (int c = 0; c < a.columnCount(); ++c) {
            const QVariant va = a.rowValue(ra[i], c), vb = b.rowValue(rb[i], c);
            if (va != vb || va.isValid() != vb.isValid() || va.typeId() != vb.typeId())
                return QStringLiteral("riga %1 (%2) colonna %3: \"%4\" contro \"%5\"")
                    .arg(i)
                    .arg(a.rowValue(ra[i], 0).toString(), a.column(c).name(), va.toString(), vb.toString());
        }
    return QString();
}

class ProgressoRegistrato : public ProgressoIncroci
{
public:
    struct Stato
    {
        QString caption, testo;
        int massimo = -1, passi = 0, inizi = 0, fini = 0, distrutti = 0;
        int fallisciAl = 0; // avanza() throws at this step (0: never)
    };
    explicit ProgressoRegistrato(Stato &s) : m_s(s) {}
    ~ProgressoRegistrato() override { ++m_s.distrutti; }
    void inizio(const QString &caption, const QString &testo, int massimo) override
    {
        ++m_s.inizi;
        m_s.caption = caption;
        m_s.testo = testo;
        m_s.massimo = massimo;
    }
    void avanza() override
    {
        ++m_s.passi;
        if (m_s.fallisciAl != 0 && m_s.passi == m_s.fallisciAl)
            throw std::runtime_error("interrotto");
    }
    void fine() override { ++m_s.fini; }

private:
    Stato &m_s;
};

} // namespace

class TestIncroci : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempDatabase> m_db;
    int m_comune = 0, m_comune2 = 0, m_zona = 0;

    void exec(const QString &sql) { m_db->exec(sql); }
    QVariant scalar(const QString &sql) { return m_db->scalar(sql); }
    void svuota()
    {
        exec(QStringLiteral("delete from RICHIESTE_EMAIL"));
        exec(QStringLiteral("delete from RICHIESTE"));
        exec(QStringLiteral("delete from ANNUNCI_IMMOBILI"));
        exec(QStringLiteral("delete from CLIENTI"));
    }
    void cliente(int id, const QString &assegnazioni = QString())
    {
        exec(QStringLiteral("insert into CLIENTI (ID_CLIENTE, DESCR, EMAIL, TELEFONO1, TELEFONO2, TELEFONO3, TEL_X_SMS) "
                            "values (%1, 'Cliente %1', 'c%1@example.it', '0200%1', '3330%1', '0399%1', 2)")
                 .arg(id));
        if (!assegnazioni.isEmpty())
            exec(QStringLiteral("update CLIENTI set %1 where ID_CLIENTE=%2").arg(assegnazioni).arg(id));
    }
    // A listing in m_comune, type 1, kind 1, not deleted, everything else NULL; then the assignments.
    void annuncio(int id, const QString &assegnazioni = QString(), int idCliente = 1)
    {
        exec(QStringLiteral("insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE, ID_CLIENTE, ID_COMUNE, "
                            "ID_TIPOLOGIA_IMMOBILE, ID_TIPOLOGIA_ANNUNCIO, RIFERIMENTO, ELIMINATO) "
                            "values (%1, %2, %3, 1, 1, 'RIF%1', 'N')")
                 .arg(id)
                 .arg(idCliente)
                 .arg(m_comune));
        if (!assegnazioni.isEmpty())
            exec(QStringLiteral("update ANNUNCI_IMMOBILI set %1 where ID_ANNUNCIO_IMMOBILE=%2").arg(assegnazioni).arg(id));
    }
    // A request as the editor stores it (bounds 0, flags 'N', empty texts) for m_comune, type 1, kind 1.
    void richiesta(int id, const QString &assegnazioni = QString(), bool collegamenti = true, int idCliente = 1)
    {
        exec(QStringLiteral("insert into RICHIESTE (ID_RICHIESTA, ID_CLIENTE, PREZZO_MIN, PREZZO_MAX, MQ_MIN, MQ_MAX, "
                            "NR_LOCALI_MIN, NR_LOCALI_MAX, NR_SERVIZI_MIN, NR_SERVIZI_MAX, NR_CAMERE_MIN, NR_CAMERE_MAX, "
                            "BOX_AUTO, BALCONE, TERRAZZO, CANTINA, GIARDINO, SPAZIO_APERTO, ASCENSORE, CONDIZIONATORE, "
                            "CONDIZIONI, LOCALITA, DATA_ULT_MODIFICA) values (%1, %2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "
                            "'', 'N', 'N', 'N', 'N', 'N', 'N', 'N', '', '', '2024-03-01 10:00:00')")
                 .arg(id)
                 .arg(idCliente == 0 ? QStringLiteral("NULL") : QString::number(idCliente)));
        if (!assegnazioni.isEmpty())
            exec(QStringLiteral("update RICHIESTE set %1 where ID_RICHIESTA=%2").arg(assegnazioni).arg(id));
        if (collegamenti) {
            exec(QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA, ID_COMUNE) values (%1, %2)").arg(id).arg(m_comune));
            exec(QStringLiteral("insert into RICHIESTE_TIP_IMMOBILI (ID_RICHIESTA, ID_TIP_IMMOBILE) values (%1, 1)").arg(id));
            exec(QStringLiteral("insert into RICHIESTE_TIP_ANNUNCI (ID_RICHIESTA, ID_TIP_ANNUNCIO) values (%1, 1)").arg(id));
        }
    }
    void invio(int idRichiesta, int idAnnuncio, const QString &quando)
    {
        exec(QStringLiteral("insert into RICHIESTE_EMAIL (ID_ANNUNCIO_IMMOBILE, ID_RICHIESTA, DATA_ORA, TIPO, EMAIL) "
                            "values (%1, %2, '%3', 'E', 'x@example.it')")
                 .arg(idAnnuncio)
                 .arg(idRichiesta)
                 .arg(quando));
    }
    std::unique_ptr<TDataModuleQueryComposte> modulo(MetodoIncroci metodo)
    {
        auto m = std::make_unique<TDataModuleQueryComposte>(m_db->db());
        m->setMetodo(metodo);
        return m;
    }
    static QVariant valoreRiga(TMemTable *t, const char *colonnaId, int id, const char *colonna)
    {
        const RowId r = t->findRow(QLatin1String(colonnaId), id);
        if (r == 0)
            return QStringLiteral("<manca la riga>");
        return t->rowValue(r, t->columnIndex(QLatin1String(colonna)));
    }
    static QString testoRiga(TMemTable *t, const char *colonnaId, int id, const char *colonna)
    {
        const RowId r = t->findRow(QLatin1String(colonnaId), id);
        if (r == 0)
            return QStringLiteral("<manca la riga>");
        return t->rowDisplayText(r, t->columnIndex(QLatin1String(colonna)));
    }
    static void aggiungiMetodi()
    {
        QTest::addColumn<MetodoIncroci>("metodo");
        QTest::newRow("massivo") << MetodoIncroci::Massivo;
        QTest::newRow("per riga") << MetodoIncroci::PerRiga;
    }

    // ---- Randomised agency ----
    void generaAgenzia(quint32 seme, int nAnnunci, int nRichieste);

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<TempDatabase>();
        m_comune = scalar(QStringLiteral("select min(ID_COMUNE) from COMUNI where ID_PROVINCIA=15")).toInt();
        m_comune2 = scalar(QStringLiteral("select min(ID_COMUNE) from COMUNI where ID_PROVINCIA=15 and ID_COMUNE>%1")
                               .arg(m_comune))
                        .toInt();
        m_zona = scalar(QStringLiteral("select min(ID_COMUNE) from COMUNI where NOME starting with 'MILANO (ZONA'")).toInt();
        QVERIFY(m_comune > 0 && m_comune2 > 0 && m_zona > 0);
    }
    void init() { svuota(); }

    // ---- Edge cases of the two directions ----
    void direzioni_data();
    void direzioni();

    void ordineIdIncrociEPrezziUguali_data() { aggiungiMetodi(); }
    void ordineIdIncrociEPrezziUguali();
    void colonneCopiate_data() { aggiungiMetodi(); }
    void colonneCopiate();
    void invii_data() { aggiungiMetodi(); }
    void invii();
    void richiestaSenzaCliente_data() { aggiungiMetodi(); }
    void richiestaSenzaCliente();
    void testiEsportazionePriorita();
    void definizioneTabelle();

    // ---- Module behaviour ----
    void aperturaEChiusura();
    void slotDiFiltroEOrdine_data() { aggiungiMetodi(); }
    void slotDiFiltroEOrdine();
    void aggiornaRichiesta();
    void aggiornaAnnuncio();
    void progresso();
    void erroreDuranteIlRiempimento();
    void incrociDiValori();

    // ---- Differential ----
    void differenziale_data();
    void differenziale();

    // ---- tavo-incroci ----
    void csvSullaDemo();
};

// -----------------------------------------------------------------------------------------------------------------
// The two directions: one listing (id 1) and one request (id 1) sharing municipality, type and kind; the columns
// set as given. "trova" = the request finds the listing (request-to-listings query); "trovata" = the listing
// finds the request (listing-to-requests query).

void TestIncroci::direzioni_data()
{
    QTest::addColumn<QString>("annuncio");
    QTest::addColumn<QString>("richiesta");
    QTest::addColumn<bool>("collegamenti");
    QTest::addColumn<bool>("trova");
    QTest::addColumn<bool>("trovata");

    auto riga = [](const char *nome, const char *a, const char *r, bool trova, bool trovata, bool coll = true) {
        QTest::newRow(nome) << QString::fromUtf8(a) << QString::fromUtf8(r) << coll << trova << trovata;
    };
    riga("nessun vincolo", "", "", true, true);
    riga("prezzo 200000 con massimo 200000", "PREZZO=200000", "PREZZO_MAX=200000", true, true);
    riga("prezzo 200001 con massimo 200000", "PREZZO=200001", "PREZZO_MAX=200000", false, false);
    riga("prezzo 0 con massimo 200000", "PREZZO=0", "PREZZO_MAX=200000", true, true);
    riga("prezzo nullo con massimo 200000", "PREZZO=NULL", "PREZZO_MAX=200000", true, true);
    riga("prezzo sotto il minimo", "PREZZO=90000", "PREZZO_MIN=100000", false, false);
    riga("massimo nullo: trova ma non è trovata", "PREZZO=100000", "PREZZO_MAX=NULL", true, false);
    riga("massimo nullo e prezzo nullo", "PREZZO=NULL", "PREZZO_MAX=NULL", true, true);
    riga("minimo MQ nullo con MQ 0", "MQ=0", "MQ_MIN=NULL", true, true);
    riga("MQ frazionario uguale al minimo", "MQ=80.5", "MQ_MIN=80.5", true, true);
    riga("locali 2.5 contro massimo 2", "NR_LOCALI=2.5", "NR_LOCALI_MAX=2", false, true);
    riga("locali 2.5 contro minimo 3", "NR_LOCALI=2.5", "NR_LOCALI_MIN=3", false, false);
    riga("locali 3.5 contro minimo 4", "NR_LOCALI=3.5", "NR_LOCALI_MIN=4", false, true);
    riga("locali 3.5 contro massimo 3", "NR_LOCALI=3.5", "NR_LOCALI_MAX=3", false, false);
    riga("locali 0.4 diventa 0", "NR_LOCALI=0.4", "NR_LOCALI_MIN=1", false, false);
    riga("servizi 1.5 contro massimo 2", "NR_SERVIZI=1.5", "NR_SERVIZI_MAX=2", true, true);
    riga("camere sotto il minimo", "NR_CAMERE=3", "NR_CAMERE_MIN=4", false, false);
    riga("camere nulle", "NR_CAMERE=NULL", "NR_CAMERE_MIN=4", true, true);
    riga("posto auto con posto auto", "BOX_AUTO='posto auto'", "BOX_AUTO='posto auto'", true, true);
    riga("posto auto con richiesta vuota", "BOX_AUTO='posto auto'", "BOX_AUTO=''", true, true);
    riga("posto auto con box singolo", "BOX_AUTO='posto auto'", "BOX_AUTO='box singolo'", false, false);
    riga("posto auto con box doppio", "BOX_AUTO='posto auto'", "BOX_AUTO='box doppio'", false, false);
    riga("singolo con richiesta posto auto", "BOX_AUTO='singolo'", "BOX_AUTO='posto auto'", true, false);
    riga("singolo con box singolo", "BOX_AUTO='singolo'", "BOX_AUTO='box singolo'", true, true);
    riga("doppio con box singolo", "BOX_AUTO='doppio'", "BOX_AUTO='box singolo'", false, false);
    riga("nessuno con box singolo", "BOX_AUTO='nessuno'", "BOX_AUTO='box singolo'", false, true);
    riga("box nullo con box singolo", "BOX_AUTO=NULL", "BOX_AUTO='box singolo'", false, true);
    riga("posto auto con spazio finale", "BOX_AUTO='posto auto '", "BOX_AUTO='posto auto'", true, true);
    riga("richiesta posto auto con spazio finale", "BOX_AUTO='posto auto'", "BOX_AUTO='posto auto '", true, true);
    riga("giardino privato", "GIARDINO='privato'", "GIARDINO='S'", true, true);
    riga("giardino comune", "GIARDINO='comune'", "GIARDINO='S'", true, true);
    riga("giardino vuoto", "GIARDINO=''", "GIARDINO='S'", true, true);
    riga("giardino nessuno", "GIARDINO='nessuno'", "GIARDINO='S'", false, false);
    riga("giardino nullo", "GIARDINO=NULL", "GIARDINO='S'", false, true);
    riga("giardino privato e richiesta senza giardino", "GIARDINO='privato'", "GIARDINO='', SPAZIO_APERTO=''", true,
         false);
    riga("giardino privato e spazio aperto N", "GIARDINO='privato'", "GIARDINO='', SPAZIO_APERTO='N'", true, true);
    riga("giardino nessuno e richiesta N", "GIARDINO='nessuno'", "GIARDINO='N'", true, true);
    riga("spazio aperto con terrazzo S", "TERRAZZO='S'", "SPAZIO_APERTO='S'", true, true);
    riga("spazio aperto con terrazzo e giardino nulli", "", "SPAZIO_APERTO='S'", true, true);
    riga("spazio aperto con terrazzo N e giardino nessuno", "TERRAZZO='N', GIARDINO='nessuno'", "SPAZIO_APERTO='S'",
         false, true);
    riga("spazio aperto con terrazzo N e giardino vuoto", "TERRAZZO='N', GIARDINO=''", "SPAZIO_APERTO='S'", true,
         true);
    riga("terrazzo S trova chi chiede solo spazio aperto", "TERRAZZO='S'", "TERRAZZO='', SPAZIO_APERTO='S'", true,
         true);
    riga("terrazzo S e richiesta senza terrazzo né spazio", "TERRAZZO='S'", "TERRAZZO='', SPAZIO_APERTO=''", true,
         false);
    riga("balcone nullo", "BALCONE=NULL", "BALCONE='S'", true, true);
    riga("balcone vuoto", "BALCONE=''", "BALCONE='S'", false, true);
    riga("balcone S", "BALCONE='S'", "BALCONE='S'", true, true);
    riga("balcone N con richiesta S", "BALCONE='N'", "BALCONE='S'", false, false);
    riga("balcone S con richiesta vuota", "BALCONE='S'", "BALCONE=''", true, false);
    riga("cantina vuota", "CANTINA=''", "CANTINA='S'", false, true);
    riga("ascensore vuoto", "ASCENSORE=''", "ASCENSORE='S'", false, true);
    riga("condizionatore nullo", "CONDIZIONATORE=NULL", "CONDIZIONATORE='S'", true, true);
    riga("terrazzo vuoto", "TERRAZZO=''", "TERRAZZO='S'", false, true);
    riga("condizioni nulle", "CONDIZIONI=NULL", "CONDIZIONI='buone'", true, true);
    riga("condizioni vuote", "CONDIZIONI=''", "CONDIZIONI='buone'", false, true);
    riga("condizioni con richiesta vuota", "CONDIZIONI='buone'", "CONDIZIONI=''", true, true);
    riga("condizioni diverse", "CONDIZIONI='buone'", "CONDIZIONI='ottime'", false, false);
    riga("condizioni con spazio finale", "CONDIZIONI='buone '", "CONDIZIONI='buone'", true, true);
    riga("località uguale con spazi finali", "LOCALITA='Centro  '", "LOCALITA='Centro'", true, true);
    riga("località vuota", "LOCALITA=''", "LOCALITA='Centro'", true, true);
    riga("località diversa", "LOCALITA='Periferia'", "LOCALITA='Centro'", false, false);
    riga("località della richiesta di soli spazi", "LOCALITA='Periferia'", "LOCALITA='  '", true, true);
    riga("annuncio eliminato", "ELIMINATO='S'", "", false, true);
    riga("eliminato nullo", "ELIMINATO=NULL", "", false, true);
    riga("richiesta senza collegamenti", "", "", false, false, false);
}

void TestIncroci::direzioni()
{
    QFETCH(QString, annuncio);
    QFETCH(QString, richiesta);
    QFETCH(bool, collegamenti);
    QFETCH(bool, trova);
    QFETCH(bool, trovata);
    cliente(1);
    this->annuncio(1, annuncio);
    this->richiesta(1, richiesta, collegamenti);
    for (MetodoIncroci metodo : {MetodoIncroci::Massivo, MetodoIncroci::PerRiga}) {
        const char *nome = metodo == MetodoIncroci::Massivo ? "massivo" : "per riga";
        auto m = modulo(metodo);
        m->MemTableRichieste()->open();
        m->MemTableAnnunci()->open();
        QCOMPARE(m->MemTableRichieste()->recordCount(), 1);
        QCOMPARE(m->MemTableAnnunci()->recordCount(), 1);
        QVERIFY2(valoreRiga(m->MemTableRichieste(), "ID_RICHIESTA", 1, "ID_INCROCI").toString() ==
                     (trova ? QStringLiteral("1\r\n") : QString()),
                 nome);
        QVERIFY2(valoreRiga(m->MemTableRichieste(), "ID_RICHIESTA", 1, "N_INCROCI").toInt() == (trova ? 1 : 0), nome);
        QVERIFY2(valoreRiga(m->MemTableAnnunci(), "ID_ANNUNCIO_IMMOBILE", 1, "ID_INCROCI").toString() ==
                     (trovata ? QStringLiteral("1\r\n") : QString()),
                 nome);
        QVERIFY2(valoreRiga(m->MemTableAnnunci(), "ID_ANNUNCIO_IMMOBILE", 1, "N_INCROCI").toInt() == (trovata ? 1 : 0),
                 nome);

        // The same answers for the values of the two rows, as an editor passes them.
        ValoriRichiesta vr;
        {
            db::Transaction tr(m_db->db());
            db::Query q(tr, QStringLiteral("select * from RICHIESTE where ID_RICHIESTA=1"));
            QVERIFY(q.first());
            vr = valoriRichiesta([&](const QString &n) { return q.value(n); });
            q.close();
            caricaCollegamenti(tr, 1).applica(vr);
        }
        ValoriAnnuncio va;
        {
            db::Transaction tr(m_db->db());
            db::Query q(tr, QStringLiteral("select * from ANNUNCI_IMMOBILI where ID_ANNUNCIO_IMMOBILE=1"));
            QVERIFY(q.first());
            va = valoriAnnuncio([&](const QString &n) { return q.value(n); });
        }
        const QVector<int> uno{1};
        QCOMPARE(m->IncrociRichiesta(vr, CollegamentiRichiesta::DaValori, metodo), trova ? uno : QVector<int>());
        QCOMPARE(m->IncrociRichiesta(vr, CollegamentiRichiesta::DaDatabase, metodo), trova ? uno : QVector<int>());
        QCOMPARE(m->IncrociAnnuncio(va, metodo), trovata ? uno : QVector<int>());
    }
}

void TestIncroci::ordineIdIncrociEPrezziUguali()
{
    QFETCH(MetodoIncroci, metodo);
    cliente(1);
    annuncio(12, QStringLiteral("PREZZO=100000"));
    annuncio(7, QStringLiteral("PREZZO=150000"));
    richiesta(1);
    auto m = modulo(metodo);
    m->MemTableRichieste()->open();
    QCOMPARE(valoreRiga(m->MemTableRichieste(), "ID_RICHIESTA", 1, "ID_INCROCI").toString(),
             QStringLiteral("12\r\n7\r\n"));
    QCOMPARE(valoreRiga(m->MemTableRichieste(), "ID_RICHIESTA", 1, "N_INCROCI").toInt(), 2);

    // Equal prices in id order, NULL prices first, a deleted listing never.
    annuncio(3, QStringLiteral("PREZZO=100000"));
    annuncio(20, QStringLiteral("PREZZO=NULL"));
    annuncio(15, QStringLiteral("PREZZO=NULL"));
    annuncio(2, QStringLiteral("PREZZO=0"));
    annuncio(30, QStringLiteral("PREZZO=1, ELIMINATO='S'"));
    m->MemTableRichieste()->close();
    m->MemTableRichieste()->open();
    QCOMPARE(valoreRiga(m->MemTableRichieste(), "ID_RICHIESTA", 1, "ID_INCROCI").toString(),
             QStringLiteral("15\r\n20\r\n2\r\n3\r\n12\r\n7\r\n"));

    // Requests of a listing in ascending id order; a second municipality, a zone and other types do not count.
    richiesta(9);
    richiesta(4);
    richiesta(6, QString(), false);
    exec(QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA, ID_COMUNE) values (6, %1)").arg(m_zona));
    exec(QStringLiteral("insert into RICHIESTE_TIP_IMMOBILI (ID_RICHIESTA, ID_TIP_IMMOBILE) values (6, 1)"));
    exec(QStringLiteral("insert into RICHIESTE_TIP_ANNUNCI (ID_RICHIESTA, ID_TIP_ANNUNCIO) values (6, 1)"));
    richiesta(5, QString(), false);
    exec(QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA, ID_COMUNE) values (5, %1)").arg(m_comune));
    exec(QStringLiteral("insert into RICHIESTE_TIP_IMMOBILI (ID_RICHIESTA, ID_TIP_IMMOBILE) values (5, 2)"));
    exec(QStringLiteral("insert into RICHIESTE_TIP_ANNUNCI (ID_RICHIESTA, ID_TIP_ANNUNCIO) values (5, 1)"));
    m->MemTableAnnunci()->open();
    QCOMPARE(valoreRiga(m->MemTableAnnunci(), "ID_ANNUNCIO_IMMOBILE", 7, "ID_INCROCI").toString(),
             QStringLiteral("1\r\n4\r\n9\r\n"));
    QCOMPARE(valoreRiga(m->MemTableAnnunci(), "ID_ANNUNCIO_IMMOBILE", 30, "ID_INCROCI").toString(),
             QStringLiteral("1\r\n4\r\n9\r\n"));
    QCOMPARE(valoreRiga(m->MemTableAnnunci(), "ID_ANNUNCIO_IMMOBILE", 7, "N_INCROCI").toInt(), 3);
}

void TestIncroci::colonneCopiate()
{
    QFETCH(MetodoIncroci, metodo);
    cliente(1, QStringLiteral("TEL_X_SMS=0"));
    cliente(2, QStringLiteral("DESCR='', EMAIL=''"));
    cliente(3, QStringLiteral("DESCR=NULL, EMAIL='solo@example.it'"));
    cliente(4, QStringLiteral("TEL_X_SMS=3"));
    exec(QStringLiteral("insert into CLIENTI (ID_CLIENTE, TELEFONO1, TELEFONO3) values (5, ' 02 1234', '333 99 ')"));
    annuncio(1, QStringLiteral("PREZZO=150000, SPESE_COND_MENSILI=80.5, PRIORITA=6, NR_LOCALI=2.5, NOTE='nota', "
                               "DESCRIZIONE='%1', DATA_AGGIORNAMENTO='2024-05-02 08:30:00'")
                    .arg(QString(150, QLatin1Char('x'))));
    annuncio(2, QStringLiteral("PRIORITA=0, DESCRIZIONE='%1'").arg(QString(100, QLatin1Char('y'))), 5);
    richiesta(1, QStringLiteral("FONTE='web', LOCALITA='Centro', NOTE='appunti', DATA_ULT_MODIFICA='1899-12-30'"));
    richiesta(2, QStringLiteral("DATA_ULT_MODIFICA=NULL"), true, 2);
    richiesta(3, QString(), true, 3);
    richiesta(4, QString(), true, 4);
    richiesta(5, QString(), true, 5);
    exec(QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA, ID_COMUNE) values (1, %1)").arg(m_comune2));
    exec(QStringLiteral("insert into RICHIESTE_TIP_ANNUNCI (ID_RICHIESTA, ID_TIP_ANNUNCIO) values (1, 2)"));
    exec(QStringLiteral("insert into RICHIESTE_TIP_IMMOBILI (ID_RICHIESTA, ID_TIP_IMMOBILE) values (1, 3)"));

    auto m = modulo(metodo);
    TMemTable *r = m->MemTableRichieste();
    TMemTable *a = m->MemTableAnnunci();
    r->open();
    a->open();
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 1, "CLIENTE").toString(), QStringLiteral("Cliente 1"));
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 1, "CLIENTE_EMAIL").toString(), QStringLiteral("c1@example.it"));
    QCOMPARE(testoRiga(r, "ID_RICHIESTA", 1, "CLIENTE_TELSMS"), QString()); // TEL_X_SMS 0
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 2, "CLIENTE").toString(), QStringLiteral("02002 33302 03992"));
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 2, "CLIENTE_TELSMS").toString(), QStringLiteral("33302"));
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 3, "CLIENTE").toString(), QStringLiteral("solo@example.it"));
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 4, "CLIENTE_TELSMS").toString(), QStringLiteral("03994"));
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 5, "CLIENTE").toString(), QStringLiteral("02 1234  333 99"));
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 1, "FONTE").toString(), QStringLiteral("web"));
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 1, "NOTE").toString(), QStringLiteral("appunti"));
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 1, "PREZZO_MIN").toDouble(), 0.0);
    QVERIFY(!valoreRiga(r, "ID_RICHIESTA", 1, "DATA_ULT_MODIFICA").isValid()); // zero date
    QVERIFY(!valoreRiga(r, "ID_RICHIESTA", 2, "DATA_ULT_MODIFICA").isValid()); // missing
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 3, "DATA_ULT_MODIFICA").toDateTime(),
             QDateTime(QDate(2024, 3, 1), QTime(10, 0)));
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 1, "TIPOLOGIE_ANNUNCIO").toString(), QStringLiteral("VENDITA, AFFITTO"));
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 1, "TIPOLOGIE_IMMOBILE").toString(), QStringLiteral("APPARTAMENTI, BILOCALI"));
    const QString nome1 = scalar(QStringLiteral("select NOME from COMUNI where ID_COMUNE=%1").arg(m_comune)).toString();
    const QString nome2 = scalar(QStringLiteral("select NOME from COMUNI where ID_COMUNE=%1").arg(m_comune2)).toString();
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 1, "COMUNI").toString(), nome1 + QStringLiteral(", ") + nome2);

    QCOMPARE(valoreRiga(a, "ID_ANNUNCIO_IMMOBILE", 1, "COMUNE").toString(), nome1);
    QCOMPARE(valoreRiga(a, "ID_ANNUNCIO_IMMOBILE", 1, "TIPOLOGIA_IMMOBILE").toString(), QStringLiteral("APPARTAMENTO"));
    QCOMPARE(valoreRiga(a, "ID_ANNUNCIO_IMMOBILE", 1, "TIPOLOGIA_ANNUNCIO").toString(), QStringLiteral("VENDITA"));
    QCOMPARE(valoreRiga(a, "ID_ANNUNCIO_IMMOBILE", 1, "NR_LOCALI").toDouble(), 2.5);
    QCOMPARE(testoRiga(a, "ID_ANNUNCIO_IMMOBILE", 1, "PREZZO"), QStringLiteral("€ 150.000,00"));
    QCOMPARE(testoRiga(a, "ID_ANNUNCIO_IMMOBILE", 1, "SPESE_COND_MENSILI"), QStringLiteral("€ 80,50"));
    QCOMPARE(testoRiga(a, "ID_ANNUNCIO_IMMOBILE", 1, "PRIORITA"), QString());
    QCOMPARE(valoreRiga(a, "ID_ANNUNCIO_IMMOBILE", 1, "PRIORITA").toInt(), 6);
    QCOMPARE(testoRiga(a, "ID_ANNUNCIO_IMMOBILE", 2, "PRIORITA"), QStringLiteral("Non Pubblicare"));
    QCOMPARE(valoreRiga(a, "ID_ANNUNCIO_IMMOBILE", 1, "DESCR_ESPORTAZIONE").toString(),
             QString(97, QLatin1Char('x')) + QStringLiteral("..."));
    QCOMPARE(valoreRiga(a, "ID_ANNUNCIO_IMMOBILE", 2, "DESCR_ESPORTAZIONE").toString(), QString(100, QLatin1Char('y')));
    QCOMPARE(valoreRiga(a, "ID_ANNUNCIO_IMMOBILE", 1, "DATA_ULT_MODIFICA").toDateTime(),
             QDateTime(QDate(2024, 5, 2), QTime(8, 30)));
    QCOMPARE(valoreRiga(a, "ID_ANNUNCIO_IMMOBILE", 1, "NOTE").toString(), QStringLiteral("nota"));
    QCOMPARE(valoreRiga(a, "ID_ANNUNCIO_IMMOBILE", 1, "ELIMINATO").toString(), QStringLiteral("N"));
    QCOMPARE(valoreRiga(a, "ID_ANNUNCIO_IMMOBILE", 2, "CLIENTE").toString(), QStringLiteral("02 1234  333 99"));

    // TEL_X_SMS 0 stays empty after a refresh too.
    m->AggiornaRichiesta(1);
    QCOMPARE(testoRiga(r, "ID_RICHIESTA", 1, "CLIENTE_TELSMS"), QString());
}

void TestIncroci::invii()
{
    QFETCH(MetodoIncroci, metodo);
    cliente(1);
    annuncio(1);
    annuncio(2);
    annuncio(3);
    richiesta(1);
    richiesta(2);
    richiesta(3);
    invio(1, 1, QStringLiteral("2024-01-10 09:00:00"));
    invio(1, 1, QStringLiteral("2024-02-11 10:30:00"));
    invio(1, 2, QStringLiteral("2024-01-05 12:00:00"));
    invio(2, 1, QStringLiteral("2023-12-01 08:00:00"));
    invio(3, 3, QStringLiteral("1899-12-30 00:00:00")); // the program's zero date: no date
    auto m = modulo(metodo);
    m->MemTableRichieste()->open();
    m->MemTableAnnunci()->open();
    TMemTable *r = m->MemTableRichieste();
    TMemTable *a = m->MemTableAnnunci();
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 1, "N_INVII").toInt(), 2);
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 1, "DATA_ULT_INVIO").toDateTime(), QDateTime(QDate(2024, 2, 11), QTime(10, 30)));
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 3, "N_INVII").toInt(), 1);
    QVERIFY(!valoreRiga(r, "ID_RICHIESTA", 3, "DATA_ULT_INVIO").isValid());
    QCOMPARE(valoreRiga(a, "ID_ANNUNCIO_IMMOBILE", 1, "N_INVII").toInt(), 2);
    QCOMPARE(valoreRiga(a, "ID_ANNUNCIO_IMMOBILE", 1, "DATA_ULT_INVIO").toDateTime(),
             QDateTime(QDate(2024, 2, 11), QTime(10, 30)));
    QCOMPARE(valoreRiga(a, "ID_ANNUNCIO_IMMOBILE", 2, "N_INVII").toInt(), 1);
    exec(QStringLiteral("delete from RICHIESTE_EMAIL where ID_RICHIESTA=2"));
    m->AggiornaRichiesta(2);
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 2, "N_INVII").toInt(), 0);
    QVERIFY(!valoreRiga(r, "ID_RICHIESTA", 2, "DATA_ULT_INVIO").isValid());
}

void TestIncroci::richiestaSenzaCliente()
{
    // The schema's keys make a listing without client, municipality, kind or type impossible; a request may have
    // no client (ID_CLIENTE is nullable): it is not listed, but listings still find it.
    QFETCH(MetodoIncroci, metodo);
    cliente(1);
    annuncio(1);
    richiesta(1, QString(), true, 0);
    richiesta(2);
    auto m = modulo(metodo);
    m->MemTableRichieste()->open();
    m->MemTableAnnunci()->open();
    QCOMPARE(m->MemTableRichieste()->recordCount(), 1);
    QCOMPARE(m->MemTableRichieste()->findRow(QStringLiteral("ID_RICHIESTA"), 1), RowId(0));
    QCOMPARE(valoreRiga(m->MemTableAnnunci(), "ID_ANNUNCIO_IMMOBILE", 1, "ID_INCROCI").toString(),
             QStringLiteral("1\r\n2\r\n"));
    // Refreshing it leaves the table unchanged.
    m->AggiornaRichiesta(1);
    QCOMPARE(m->MemTableRichieste()->recordCount(), 1);
}

void TestIncroci::testiEsportazionePriorita()
{
    const QStringList parole = {QStringLiteral("Non Pubblicare"), QStringLiteral("Minima"), QStringLiteral("Bassa"),
                                QStringLiteral("Normale"), QStringLiteral("Alta"), QStringLiteral("Massima")};
    for (int p = 0; p < parole.size(); ++p)
        QCOMPARE(TDataModuleQueryComposte::testoPriorita(p), parole.at(p));
    QCOMPARE(TDataModuleQueryComposte::testoPriorita(6), QString());
    QCOMPARE(TDataModuleQueryComposte::testoPriorita(-1), QString());

    const QString cento(100, QLatin1Char('a'));
    QCOMPARE(TDataModuleQueryComposte::descrizioneEsportazione(cento).toString(), cento);
    QCOMPARE(TDataModuleQueryComposte::descrizioneEsportazione(cento + QStringLiteral("b")).toString(),
             QString(97, QLatin1Char('a')) + QStringLiteral("..."));
    QCOMPARE(TDataModuleQueryComposte::descrizioneEsportazione(QStringLiteral("  ") + QString(99, QLatin1Char('c')) +
                                                                QStringLiteral(" \r\n"))
                 .toString()
                 .size(),
             100); // trimmed 99: the text itself, within the column's 100 characters
    QVERIFY(!TDataModuleQueryComposte::descrizioneEsportazione(QVariant()).isValid());

    QCOMPARE(arrotondaPari(2.5), 2);
    QCOMPARE(arrotondaPari(3.5), 4);
    QCOMPARE(arrotondaPari(-2.5), -2);
    QCOMPARE(arrotondaPari(2.6), 3);
    QCOMPARE(arrotondaPari(1e12), INT_MAX);
}

void TestIncroci::definizioneTabelle()
{
    TDataModuleQueryComposte m(m_db->db());
    struct Col
    {
        const char *nome;
        FieldType tipo;
        int dim;
        const char *caption; // nullptr: none (the name)
        bool richiesta, nascosta;
    };
    using F = FieldType;
    const Col richieste[] = {
        {"ID_RICHIESTA", F::Integer, 0, nullptr, true, true},
        {"ID_CLIENTE", F::Integer, 0, nullptr, false, true},
        {"CLIENTE", F::Text, 128, "Cliente", false, false},
        {"CLIENTE_EMAIL", F::Text, 128, "EMail Cliente", false, false},
        {"CLIENTE_TELSMS", F::Text, 64, "Tel. x SMS", false, false},
        {"N_INCROCI", F::Integer, 0, "N° Incroci", false, false},
        {"N_INVII", F::Integer, 0, "N° Invii", false, false},
        {"DATA_ULT_INVIO", F::DateTime, 0, "Data Ult. Invio", false, false},
        {"TIPOLOGIE_ANNUNCIO", F::Text, 64, "Tipologie Annuncio", false, false},
        {"TIPOLOGIE_IMMOBILE", F::Memo, 0, "Tipologie Immobile", false, false},
        {"COMUNI", F::Memo, 0, "Comuni", false, false},
        {"PREZZO_MIN", F::Float, 0, "Prezzo Min.", false, false},
        {"PREZZO_MAX", F::Float, 0, "Prezzo Max.", false, false},
        {"MQ_MIN", F::Float, 0, "Sup. MQ Min.", false, false},
        {"MQ_MAX", F::Float, 0, "Sup. MQ Max.", false, false},
        {"NR_LOCALI_MIN", F::Integer, 0, "N° Locali Min.", false, false},
        {"NR_LOCALI_MAX", F::Integer, 0, "N° Locali Max.", false, false},
        {"NR_SERVIZI_MIN", F::Integer, 0, "N° Servizi Min.", false, false},
        {"NR_SERVIZI_MAX", F::Integer, 0, "N° Servizi Max.", false, false},
        {"NR_CAMERE_MIN", F::Integer, 0, "N° Camere Min.", false, false},
        {"NR_CAMERE_MAX", F::Integer, 0, "N° Camere Max.", false, false},
        {"LOCALITA", F::Text, 255, nullptr, false, false},
        {"BOX_AUTO", F::Text, 20, "Box Auto", false, false},
        {"BALCONE", F::Text, 1, "Balcone", false, false},
        {"TERRAZZO", F::Text, 1, "Terrazzo", false, false},
        {"CANTINA", F::Text, 1, "Cantina", false, false},
        {"GIARDINO", F::Text, 1, "Giardino", false, false},
        {"SPAZIO_APERTO", F::Text, 1, nullptr, false, false},
        {"CONDIZIONI", F::Text, 20, "Condizioni", false, false},
        {"ASCENSORE", F::Text, 1, "Ascensore", false, false},
        {"CONDIZIONATORE", F::Text, 1, "Condizionatore", false, false},
        {"FONTE", F::Text, 50, nullptr, false, false},
        {"ID_INCROCI", F::Memo, 0, nullptr, false, true},
        {"DATA_ULT_MODIFICA", F::DateTime, 0, "Data Ult. Modifica", false, false},
        {"NOTE", F::Memo, 0, nullptr, false, false},
    };
    const Col annunci[] = {
        {"ID_ANNUNCIO_IMMOBILE", F::Integer, 0, nullptr, true, false},
        {"ID_CLIENTE", F::Integer, 0, nullptr, true, false},
        {"CLIENTE", F::Text, 128, "Cliente", false, false},
        {"COMUNE", F::Text, 128, "Comune", true, false},
        {"N_INCROCI", F::Integer, 0, "N° Incroci", false, false},
        {"N_INVII", F::Integer, 0, "N° Invii", false, false},
        {"DATA_ULT_INVIO", F::DateTime, 0, "Data Ult. Invio", false, false},
        {"ID_TIPOLOGIA_IMMOBILE", F::Integer, 0, nullptr, true, false},
        {"TIPOLOGIA_IMMOBILE", F::Text, 255, "Tipol. Immobile", false, false},
        {"ID_TIPOLOGIA_ANNUNCIO", F::Integer, 0, nullptr, true, false},
        {"TIPOLOGIA_ANNUNCIO", F::Text, 255, "Tipol. Annuncio", false, false},
        {"RIFERIMENTO", F::Text, 35, "Riferimento", true, false},
        {"PRIORITA", F::Integer, 0, "Priorità", false, false},
        {"PREZZO", F::Float, 0, "Prezzo", false, false},
        {"NOTE_PREZZO", F::Text, 50, "Note Prezzo", false, false},
        {"SPESE_COND_MENSILI", F::Float, 0, "Spese Cond.", false, false},
        {"MQ", F::Float, 0, "Super. MQ", false, false},
        {"NR_LOCALI", F::Float, 0, "N° Locali", false, false},
        {"NR_SERVIZI", F::Float, 0, "N° Servizi", false, false},
        {"NR_CAMERE", F::Integer, 0, "N° Camere", false, false},
        {"LOCALITA", F::Text, 255, "Località", false, false},
        {"FOTOSN", F::Text, 1, "Foto S/N", false, false},
        {"BOX_AUTO", F::Text, 20, "Box Auto", false, false},
        {"MQ_BOX", F::Float, 0, "Box Mq.", false, false},
        {"BALCONE", F::Text, 1, "Balcone", false, false},
        {"TERRAZZO", F::Text, 1, "Terrazzo", false, false},
        {"CANTINA", F::Text, 1, "Cantina", false, false},
        {"GIARDINO", F::Text, 20, "Giardino", false, false},
        {"MQ_GIARDINO", F::Float, 0, "Giardino Mq.", false, false},
        {"CONDIZIONI", F::Text, 20, "Condizioni", false, false},
        {"ASCENSORE", F::Text, 1, "Ascensore", false, false},
        {"CONDIZIONATORE", F::Text, 1, "Condizionatore", false, false},
        {"DESCRIZIONE", F::Memo, 0, "Descrizione", false, false},
        {"ID_INCROCI", F::Memo, 0, nullptr, false, true},
        {"ELIMINATO", F::Text, 1, nullptr, false, false},
        {"DATA_INSERIMENTO", F::DateTime, 0, "Data Inserimento", false, false},
        {"DATA_ULT_MODIFICA", F::DateTime, 0, "Data Ult. Modifica", false, false},
        {"DESCRIZIONE_VETRINA", F::Memo, 0, "Descrizione Vetrina", false, false},
        {"NOTE", F::Memo, 0, "Note", false, false},
        {"DESCR_ESPORTAZIONE", F::Text, 100, "Descrizione", false, false},
    };
    auto verifica = [](const TMemTable &t, const Col *cols, int n) {
        QCOMPARE(t.columnCount(), n);
        for (int i = 0; i < n; ++i) {
            const TMemColumn &c = t.column(i);
            const QString nome = QLatin1String(cols[i].nome);
            QCOMPARE(c.name(), nome);
            QVERIFY2(c.type() == cols[i].tipo, cols[i].nome);
            QVERIFY2(c.type() != FieldType::Text || c.size() == cols[i].dim, cols[i].nome);
            QCOMPARE(c.caption(), cols[i].caption ? QString::fromUtf8(cols[i].caption) : nome);
            QVERIFY2(c.isRequired() == cols[i].richiesta, cols[i].nome);
            QVERIFY2(c.isHidden() == cols[i].nascosta, cols[i].nome);
        }
    };
    verifica(*m.MemTableRichieste(), richieste, int(std::size(richieste)));
    verifica(*m.MemTableAnnunci(), annunci, int(std::size(annunci)));
    QVERIFY(m.MemTableAnnunci()->column(m.MemTableAnnunci()->columnIndex(QStringLiteral("DESCR_ESPORTAZIONE")))
                .isCalculated());

    // The source queries' lines and slots.
    QCOMPARE(m.IBDataSetRichieste().SQL(),
             (QStringList{QStringLiteral("select * from  RICHIESTE R"),
                          QStringLiteral("join CLIENTI C on C.ID_CLIENTE=R.ID_CLIENTE"), QStringLiteral("where 0=0"),
                          QString(), QStringLiteral("order by R.ID_RICHIESTA")}));
    const QStringList &la = m.IBDataSetAnnunci().SQL();
    QCOMPARE(la.size(), 16);
    QCOMPARE(la.at(8), QStringLiteral("from annunci_immobili AI"));
    QCOMPARE(la.at(12), QStringLiteral("join tipologie_immobili TI on TI.id_tipologia_immobile=AI.id_tipologia_immobile"));
    QCOMPARE(la.at(13), QStringLiteral("where 0=0"));
    QCOMPARE(la.at(14), QString());
    QCOMPARE(la.at(15), QString());
}

// -----------------------------------------------------------------------------------------------------------------

void TestIncroci::aperturaEChiusura()
{
    cliente(1);
    annuncio(1);
    richiesta(1);
    TDataModuleQueryComposte m(m_db->db());
    TMemTable *a = m.MemTableAnnunci();
    QVERIFY(!a->isOpen());
    a->open();
    QCOMPARE(a->recordCount(), 1);
    annuncio(2);
    a->open(); // already open: nothing recomputed
    QCOMPARE(a->recordCount(), 1);
    QCOMPARE(valoreRiga(m.MemTableAnnunci(), "ID_ANNUNCIO_IMMOBILE", 1, "N_INCROCI").toInt(), 1);
    a->close();
    QVERIFY(!a->isOpen());
    QCOMPARE(a->totalRowCount(), 0);
    a->open();
    QCOMPARE(a->recordCount(), 2);
    QVERIFY(!a->isUpdating());
}

void TestIncroci::slotDiFiltroEOrdine()
{
    QFETCH(MetodoIncroci, metodo);
    cliente(1);
    annuncio(1, QStringLiteral("PREZZO=300"));
    annuncio(2, QStringLiteral("PREZZO=100"));
    annuncio(3, QStringLiteral("PREZZO=200"));
    richiesta(1, QStringLiteral("DATA_ULT_MODIFICA='2024-05-01'"));
    richiesta(2, QStringLiteral("DATA_ULT_MODIFICA='2024-01-01'"));
    richiesta(3, QStringLiteral("DATA_ULT_MODIFICA='2024-03-01'"));
    auto m = modulo(metodo);
    QStringList &lr = m->IBDataSetRichieste().SQL();
    lr[TDataModuleQueryComposte::RigaFiltroRichieste] = QStringLiteral("and ID_RICHIESTA in (1,3)");
    lr[TDataModuleQueryComposte::RigaOrdineRichieste] = QStringLiteral("order by DATA_ULT_MODIFICA");
    QStringList &la = m->IBDataSetAnnunci().SQL();
    la[TDataModuleQueryComposte::RigaFiltroAnnunci] = QStringLiteral("and ID_ANNUNCIO_IMMOBILE in (1,2,3)");
    la[TDataModuleQueryComposte::RigaOrdineAnnunci] = QStringLiteral("order by PREZZO");
    m->MemTableRichieste()->open();
    m->MemTableAnnunci()->open();
    QString testo;
    QTextStream out(&testo);
    scriviCsvIncroci(*m->MemTableRichieste(), *m->MemTableAnnunci(), out);
    QCOMPARE(testo, QStringLiteral("TIPO,ID,N_INCROCI,N_INVII,DATA_ULT_INVIO,ID_INCROCI\n"
                                   "R,3,3,0,,2|3|1\n"
                                   "R,1,3,0,,2|3|1\n"
                                   "A,2,3,0,,1|2|3\n"
                                   "A,3,3,0,,1|2|3\n"
                                   "A,1,3,0,,1|2|3\n"));
    // The slots keep what was written.
    QCOMPARE(m->IBDataSetRichieste().SQL().at(3), QStringLiteral("and ID_RICHIESTA in (1,3)"));
}

void TestIncroci::aggiornaRichiesta()
{
    cliente(1);
    annuncio(1, QStringLiteral("PREZZO=100000"));
    annuncio(2, QStringLiteral("PREZZO=300000"));
    richiesta(1);
    TDataModuleQueryComposte m(m_db->db());
    TMemTable *r = m.MemTableRichieste();

    m.AggiornaRichiesta(1); // closed table: nothing
    QVERIFY(!r->isOpen());
    QCOMPARE(m.IBDataSetRichieste().SQL().at(3), QString());

    r->open();
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 1, "N_INCROCI").toInt(), 2);
    // An existing row refreshed in place.
    exec(QStringLiteral("update RICHIESTE set PREZZO_MAX=200000, FONTE='agenzia' where ID_RICHIESTA=1"));
    m.AggiornaRichiesta(1);
    QCOMPARE(r->recordCount(), 1);
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 1, "N_INCROCI").toInt(), 1);
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 1, "ID_INCROCI").toString(), QStringLiteral("1\r\n"));
    QCOMPARE(valoreRiga(r, "ID_RICHIESTA", 1, "FONTE").toString(), QStringLiteral("agenzia"));
    QCOMPARE(m.IBDataSetRichieste().SQL().at(3), QStringLiteral("and ID_RICHIESTA=:ID_RICHIESTA"));
    QCOMPARE(m.IBDataSetRichieste().SQL().at(4), QString());
    QVERIFY(!m.IBDataSetRichieste().isOpen());

    // A new request appended, the cursor on it.
    richiesta(5, QStringLiteral("PREZZO_MIN=250000"));
    m.AggiornaRichiesta(5);
    QCOMPARE(r->recordCount(), 2);
    QCOMPARE(r->value(QStringLiteral("ID_RICHIESTA")).toInt(), 5);
    QCOMPARE(r->value(QStringLiteral("ID_INCROCI")).toString(), QStringLiteral("2\r\n"));
    QCOMPARE(r->value(QStringLiteral("COMUNI")).toString(),
             scalar(QStringLiteral("select NOME from COMUNI where ID_COMUNE=%1").arg(m_comune)).toString());

    // Deleted in between: the table is unchanged.
    const QStringList prima = righeTabella(*r);
    exec(QStringLiteral("delete from RICHIESTE where ID_RICHIESTA=5"));
    m.AggiornaRichiesta(5);
    QCOMPARE(righeTabella(*r), prima);
    QCOMPARE(r->state(), TMemTable::State::Browse);
}

void TestIncroci::aggiornaAnnuncio()
{
    cliente(1);
    annuncio(1, QStringLiteral("PREZZO=100000"));
    richiesta(1, QStringLiteral("PREZZO_MAX=150000"));
    richiesta(2, QStringLiteral("PREZZO_MIN=120000"));
    TDataModuleQueryComposte m(m_db->db());
    TMemTable *a = m.MemTableAnnunci();
    a->open();
    QCOMPARE(valoreRiga(a, "ID_ANNUNCIO_IMMOBILE", 1, "ID_INCROCI").toString(), QStringLiteral("1\r\n"));
    a->setFilter(QStringLiteral("ID_ANNUNCIO_IMMOBILE = 99"));
    a->setFiltered(true); // the refreshed row is found also when the in-memory filter hides it

    exec(QStringLiteral("update ANNUNCI_IMMOBILI set PREZZO=130000, RIFERIMENTO='NUOVO' where ID_ANNUNCIO_IMMOBILE=1"));
    m.AggiornaAnnuncio(1);
    QCOMPARE(a->totalRowCount(), 1);
    QCOMPARE(valoreRiga(a, "ID_ANNUNCIO_IMMOBILE", 1, "ID_INCROCI").toString(), QStringLiteral("1\r\n2\r\n"));
    QCOMPARE(valoreRiga(a, "ID_ANNUNCIO_IMMOBILE", 1, "RIFERIMENTO").toString(), QStringLiteral("NUOVO"));
    QCOMPARE(m.IBDataSetAnnunci().SQL().at(14), QStringLiteral("and ID_ANNUNCIO_IMMOBILE=:ID_ANNUNCIO_IMMOBILE"));
    QCOMPARE(m.IBDataSetAnnunci().SQL().at(15), QString());
    a->setFiltered(false);

    annuncio(2, QStringLiteral("PREZZO=140000"));
    m.AggiornaAnnuncio(2);
    QCOMPARE(a->recordCount(), 2);
    QCOMPARE(a->value(QStringLiteral("ID_ANNUNCIO_IMMOBILE")).toInt(), 2);
    QCOMPARE(a->value(QStringLiteral("N_INCROCI")).toInt(), 2);

    const QStringList prima = righeTabella(*a);
    exec(QStringLiteral("delete from ANNUNCI_IMMOBILI where ID_ANNUNCIO_IMMOBILE=2"));
    m.AggiornaAnnuncio(2);
    QCOMPARE(righeTabella(*a), prima);
}

void TestIncroci::progresso()
{
    cliente(1);
    for (int i = 1; i <= 4; ++i)
        annuncio(i);
    richiesta(1);
    richiesta(2);
    for (MetodoIncroci metodo : {MetodoIncroci::Massivo, MetodoIncroci::PerRiga}) {
        ProgressoRegistrato::Stato s;
        TDataModuleQueryComposte m(m_db->db());
        m.setMetodo(metodo);
        m.setFabbricaProgresso([&s] { return std::make_unique<ProgressoRegistrato>(s); });
        m.MemTableAnnunci()->open();
        QCOMPARE(s.caption, QStringLiteral("Calcolo Incroci su Annunci"));
        QCOMPARE(s.testo, QStringLiteral("Elaborazione in corso. Attendere, per favore..."));
        QCOMPARE(s.massimo, 4);
        QCOMPARE(s.passi, 4);
        QCOMPARE(s.inizi, 1);
        QCOMPARE(s.fini, 1);
        QCOMPARE(s.distrutti, 1);
        s = ProgressoRegistrato::Stato();
        m.MemTableRichieste()->open();
        QCOMPARE(s.caption, QStringLiteral("Calcolo Incroci su Richieste"));
        QCOMPARE(s.massimo, 2);
        QCOMPARE(s.passi, 2);
        QCOMPARE(s.fini, 1);
    }
}

void TestIncroci::erroreDuranteIlRiempimento()
{
    cliente(1);
    for (int i = 1; i <= 5; ++i)
        annuncio(i);
    richiesta(1);
    ProgressoRegistrato::Stato s;
    TDataModuleQueryComposte m(m_db->db());
    m.setFabbricaProgresso([&s] { return std::make_unique<ProgressoRegistrato>(s); });
    TMemTable *a = m.MemTableAnnunci();
    TMemTableModel modello(a);

    // The progress stops the filling at the third row.
    s.fallisciAl = 3;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, a->open());
    QCOMPARE(s.fini, 1);
    QCOMPARE(s.distrutti, 1);
    QVERIFY(!a->isOpen());
    QVERIFY(!a->isUpdating());
    QVERIFY(!m.IBDataSetAnnunci().isOpen());

    // A database error (a slot the server refuses).
    s = ProgressoRegistrato::Stato();
    m.IBDataSetAnnunci().SQL()[TDataModuleQueryComposte::RigaFiltroAnnunci] = QStringLiteral("and NON_ESISTE=1");
    try {
        a->open();
        QFAIL("the filling should have failed");
    } catch (const db::DbError &e) {
        QVERIFY(e.message().contains(QStringLiteral("NON_ESISTE")));
    }
    QCOMPARE(s.fini, 1);
    QVERIFY(!a->isOpen());
    QVERIFY(!a->isUpdating());

    // The table is still usable.
    s = ProgressoRegistrato::Stato();
    m.IBDataSetAnnunci().SQL()[TDataModuleQueryComposte::RigaFiltroAnnunci] = QString();
    a->open();
    QCOMPARE(a->recordCount(), 5);
    QCOMPARE(modello.rowCount(), 5);
    QCOMPARE(s.fini, 1);
}

void TestIncroci::incrociDiValori()
{
    // A request on the editor's screen: its lists, not stored rows.
    cliente(1);
    annuncio(1, QStringLiteral("PREZZO=100"));
    annuncio(2, QStringLiteral("PREZZO=50, ID_COMUNE=%1").arg(m_comune2));
    annuncio(3, QStringLiteral("ID_TIPOLOGIA_IMMOBILE=2"));
    TDataModuleQueryComposte m(m_db->db());
    ValoriRichiesta v;
    v.comuni = {m_comune, m_comune2};
    v.tipiImmobile = {1};
    v.tipiAnnuncio = {1, 2};
    v.prezzoMax = 0.0;
    for (MetodoIncroci metodo : {MetodoIncroci::Massivo, MetodoIncroci::PerRiga})
        QCOMPARE(m.IncrociRichiesta(v, CollegamentiRichiesta::DaValori, metodo), (QVector<int>{2, 1}));
    v.comuni.clear();
    for (MetodoIncroci metodo : {MetodoIncroci::Massivo, MetodoIncroci::PerRiga})
        QCOMPARE(m.IncrociRichiesta(v, CollegamentiRichiesta::DaValori, metodo), QVector<int>());

    // A listing on the editor's screen.
    richiesta(4, QStringLiteral("BALCONE='N'"));
    richiesta(2, QStringLiteral("BALCONE='S'"));
    richiesta(3, QStringLiteral("BALCONE=''"));
    ValoriAnnuncio a;
    a.idComune = m_comune;
    a.idTipologiaImmobile = 1;
    a.idTipologiaAnnuncio = 1;
    a.balcone = QStringLiteral("S");
    for (MetodoIncroci metodo : {MetodoIncroci::Massivo, MetodoIncroci::PerRiga})
        QCOMPARE(m.IncrociAnnuncio(a, metodo), (QVector<int>{2, 4}));
    a.balcone = QStringLiteral("N");
    for (MetodoIncroci metodo : {MetodoIncroci::Massivo, MetodoIncroci::PerRiga})
        QCOMPARE(m.IncrociAnnuncio(a, metodo), (QVector<int>{4}));
}

// -----------------------------------------------------------------------------------------------------------------
// Differential: a randomised agency full of the awkward values, both tables computed both ways, every column.

void TestIncroci::generaAgenzia(quint32 seme, int nAnnunci, int nRichieste)
{
    QRandomGenerator rnd(seme);
    auto scegli = [&rnd](const QVector<QVariant> &valori) { return valori.at(int(rnd.bounded(valori.size()))); };
    auto p = [&rnd](int percento) { return int(rnd.bounded(100)) < percento; };
    const QVariant N;
    auto t = [](const char *s) { return QVariant(QString::fromUtf8(s)); };

    QVector<int> comuni;
    {
        db::Transaction tr(m_db->db());
        db::Query q(tr, QStringLiteral("select first 6 ID_COMUNE from COMUNI where ID_PROVINCIA=15 order by ID_COMUNE"));
        q.exec();
        while (q.next())
            comuni << q.value(0).toInt();
        db::Query z(tr, QStringLiteral("select first 3 ID_COMUNE from COMUNI where NOME starting with 'MILANO (ZONA' "
                                       "order by ID_COMUNE"));
        z.exec();
        while (z.next())
            comuni << z.value(0).toInt();
    }
    const QVector<QVariant> flag = {N, t(""), t(" "), t("S"), t("N"), t("s")};
    const QVector<QVariant> flagRichiesta = {N, t(""), t("S"), t("N"), t(" ")};
    const QVector<QVariant> localita = {N, t(""), t(" "), t("Centro"), t("Centro "), t(" Centro"), t("Periferia")};
    const QVector<QVariant> condizioni = {N, t(""), t("buone"), t("buone "), t("ottime"), t("da ristrutturare")};
    const QVector<QVariant> date = {N, QVariant(QDateTime(QDate(1899, 12, 30), QTime(0, 0))),
                                    QVariant(QDateTime(QDate(2024, 2, 1), QTime(9, 15))),
                                    QVariant(QDateTime(QDate(2023, 7, 9), QTime(0, 0)))};

    db::Transaction tr(m_db->db());
    db::Query qc(tr, QStringLiteral("insert into CLIENTI (ID_CLIENTE, DESCR, EMAIL, TELEFONO1, TELEFONO2, TELEFONO3, "
                                    "TEL_X_SMS) values (:ID, :DESCR, :EMAIL, :T1, :T2, :T3, :SMS)"));
    const int nClienti = 60;
    for (int c = 1; c <= nClienti; ++c) {
        qc.setParam(QStringLiteral("ID"), c);
        qc.setParam(QStringLiteral("DESCR"), scegli({N, t(""), QVariant(QStringLiteral("Cliente %1").arg(c))}));
        qc.setParam(QStringLiteral("EMAIL"), scegli({N, t(""), QVariant(QStringLiteral("c%1@example.it").arg(c))}));
        qc.setParam(QStringLiteral("T1"), scegli({N, t(""), t("02 123")}));
        qc.setParam(QStringLiteral("T2"), scegli({N, t("333 1")}));
        qc.setParam(QStringLiteral("T3"), scegli({N, t(" 039 ")}));
        qc.setParam(QStringLiteral("SMS"), scegli({N, 0, 1, 2, 3, 4}));
        qc.exec();
    }

    db::Query qa(tr);
    qa.setSql(QStringLiteral(
        "insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE, ID_CLIENTE, ID_COMUNE, ID_TIPOLOGIA_IMMOBILE, "
        "ID_TIPOLOGIA_ANNUNCIO, RIFERIMENTO, PREZZO, NOTE_PREZZO, SPESE_COND_MENSILI, MQ, NR_LOCALI, NR_SERVIZI, "
        "NR_CAMERE, LOCALITA, FOTOSN, BOX_AUTO, MQ_BOX, BALCONE, TERRAZZO, CANTINA, GIARDINO, MQ_GIARDINO, CONDIZIONI, "
        "ASCENSORE, CONDIZIONATORE, DESCRIZIONE, DESCRIZIONE_VETRINA, NOTE, PRIORITA, DATA_INSERIMENTO, "
        "DATA_AGGIORNAMENTO, ELIMINATO) values (:ID, :CLI, :COM, :TI, :TA, :RIF, :PREZZO, :NP, :SPESE, :MQ, :NL, :NS, "
        ":NC, :LOC, :FOTO, :BOX, :MQB, :BAL, :TER, :CAN, :GIA, :MQG, :CON, :ASC, :CDZ, :DES, :VET, :NOTE, :PRI, :DI, "
        ":DA, :ELI)"));
    for (int i = 1; i <= nAnnunci; ++i) {
        const int id = i * 3 + int(rnd.bounded(3)); // ids not in insertion-free order
        qa.setParam(QStringLiteral("ID"), id);
        qa.setParam(QStringLiteral("CLI"), 1 + int(rnd.bounded(nClienti)));
        qa.setParam(QStringLiteral("COM"), comuni.at(int(rnd.bounded(comuni.size()))));
        qa.setParam(QStringLiteral("TI"), 1 + int(rnd.bounded(4)));
        qa.setParam(QStringLiteral("TA"), 1 + int(rnd.bounded(3)));
        qa.setParam(QStringLiteral("RIF"), QStringLiteral("R%1").arg(id));
        qa.setParam(QStringLiteral("PREZZO"), scegli({N, 0.0, 50000.0, 100000.0, 150000.0, 200000.0, 200001.0,
                                                      250000.5, 99999.99}));
        qa.setParam(QStringLiteral("NP"), scegli({N, t("trattabile")}));
        qa.setParam(QStringLiteral("SPESE"), scegli({N, 0.0, 120.5}));
        qa.setParam(QStringLiteral("MQ"), scegli({N, 0.0, 50.0, 80.5, 100.0, 120.0}));
        qa.setParam(QStringLiteral("NL"), scegli({N, 0.0, 0.4, 1.0, 2.0, 2.5, 3.0, 3.5, 4.0, 5.5}));
        qa.setParam(QStringLiteral("NS"), scegli({N, 0.0, 1.0, 1.5, 2.0, 2.5}));
        qa.setParam(QStringLiteral("NC"), scegli({N, 0, 1, 2, 3, 4}));
        qa.setParam(QStringLiteral("LOC"), scegli(localita));
        qa.setParam(QStringLiteral("FOTO"), scegli({N, t("S"), t("N")}));
        qa.setParam(QStringLiteral("BOX"), scegli({N, t(""), t("  "), t("nessuno"), t("nessuno "), t("singolo"),
                                                   t("doppio"), t("posto auto"), t("posto auto ")}));
        qa.setParam(QStringLiteral("MQB"), scegli({N, 15.0}));
        qa.setParam(QStringLiteral("BAL"), scegli(flag));
        qa.setParam(QStringLiteral("TER"), scegli(flag));
        qa.setParam(QStringLiteral("CAN"), scegli(flag));
        qa.setParam(QStringLiteral("GIA"), scegli({N, t(""), t(" "), t("nessuno"), t("nessuno "), t("privato"),
                                                   t("privato "), t("comune")}));
        qa.setParam(QStringLiteral("MQG"), scegli({N, 0.0, 200.0}));
        qa.setParam(QStringLiteral("CON"), scegli(condizioni));
        qa.setParam(QStringLiteral("ASC"), scegli(flag));
        qa.setParam(QStringLiteral("CDZ"), scegli(flag));
        qa.setParam(QStringLiteral("DES"), scegli({N, t(""), t("Bilocale luminoso"),
                                                   QVariant(QString(150, QLatin1Char('d'))),
                                                   QVariant(QStringLiteral(" ") + QString(100, QLatin1Char('e')) +
                                                            QStringLiteral(" "))}));
        qa.setParam(QStringLiteral("VET"), scegli({N, t("vetrina")}));
        qa.setParam(QStringLiteral("NOTE"), scegli({N, t("note")}));
        qa.setParam(QStringLiteral("PRI"), scegli({N, 0, 3, 5, 6}));
        qa.setParam(QStringLiteral("DI"), scegli(date));
        qa.setParam(QStringLiteral("DA"), scegli(date));
        qa.setParam(QStringLiteral("ELI"), p(85) ? t("N") : scegli({N, t(""), t("S")}));
        qa.exec();
    }

    db::Query qr(tr);
    qr.setSql(QStringLiteral(
        "insert into RICHIESTE (ID_RICHIESTA, ID_CLIENTE, PREZZO_MIN, PREZZO_MAX, MQ_MIN, MQ_MAX, NR_LOCALI_MIN, "
        "NR_LOCALI_MAX, NR_SERVIZI_MIN, NR_SERVIZI_MAX, NR_CAMERE_MIN, NR_CAMERE_MAX, BOX_AUTO, BALCONE, TERRAZZO, "
        "CANTINA, GIARDINO, SPAZIO_APERTO, ASCENSORE, CONDIZIONATORE, CONDIZIONI, FONTE, LOCALITA, NOTE, "
        "DATA_ULT_MODIFICA) values (:ID, :CLI, :PMIN, :PMAX, :MMIN, :MMAX, :LMIN, :LMAX, :SMIN, :SMAX, :CMIN, :CMAX, "
        ":BOX, :BAL, :TER, :CAN, :GIA, :SPA, :ASC, :CDZ, :CON, :FON, :LOC, :NOTE, :DUM)"));
    db::Query lc(tr, QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA, ID_COMUNE) values (:R, :X)"));
    db::Query lt(tr, QStringLiteral("insert into RICHIESTE_TIP_IMMOBILI (ID_RICHIESTA, ID_TIP_IMMOBILE) values (:R, :X)"));
    db::Query lk(tr, QStringLiteral("insert into RICHIESTE_TIP_ANNUNCI (ID_RICHIESTA, ID_TIP_ANNUNCIO) values (:R, :X)"));
    auto collega = [&](db::Query &q, int r, int x) {
        q.setParam(QStringLiteral("R"), r);
        q.setParam(QStringLiteral("X"), x);
        q.exec();
    };
    const QVector<QVariant> prezzi = {N, 0.0, 100000.0, 150000.0, 200000.0, 99999.99};
    const QVector<QVariant> superfici = {N, 0.0, 50.0, 80.5, 100.0};
    const QVector<QVariant> conteggi = {N, 0, 1, 2, 3, 4};
    for (int i = 1; i <= nRichieste; ++i) {
        const int id = i * 2 + int(rnd.bounded(2));
        qr.setParam(QStringLiteral("ID"), id);
        qr.setParam(QStringLiteral("CLI"), p(8) ? QVariant() : QVariant(1 + int(rnd.bounded(nClienti))));
        qr.setParam(QStringLiteral("PMIN"), p(50) ? QVariant(0.0) : scegli(prezzi));
        qr.setParam(QStringLiteral("PMAX"), p(50) ? QVariant(0.0) : scegli(prezzi));
        qr.setParam(QStringLiteral("MMIN"), p(50) ? QVariant(0.0) : scegli(superfici));
        qr.setParam(QStringLiteral("MMAX"), p(50) ? QVariant(0.0) : scegli(superfici));
        for (const char *nome : {"LMIN", "LMAX", "SMIN", "SMAX", "CMIN", "CMAX"})
            qr.setParam(QLatin1String(nome), p(50) ? QVariant(0) : scegli(conteggi));
        qr.setParam(QStringLiteral("BOX"), scegli({N, t(""), t("box singolo"), t("box doppio"), t("posto auto"),
                                                   t("posto auto "), t("nessuno")}));
        for (const char *nome : {"BAL", "TER", "CAN", "GIA", "SPA", "ASC", "CDZ"})
            qr.setParam(QLatin1String(nome), scegli(flagRichiesta));
        qr.setParam(QStringLiteral("CON"), scegli(condizioni));
        qr.setParam(QStringLiteral("FON"), scegli({N, t("web")}));
        qr.setParam(QStringLiteral("LOC"), scegli(localita));
        qr.setParam(QStringLiteral("NOTE"), scegli({N, t("appunto")}));
        qr.setParam(QStringLiteral("DUM"), scegli(date));
        qr.exec();
        if (p(5))
            continue; // no link rows at all
        const int nc = int(rnd.bounded(6));
        for (int k = 0; k < nc; ++k)
            collega(lc, id, comuni.at(int(rnd.bounded(comuni.size()))));
        const int nt = int(rnd.bounded(4));
        for (int k = 0; k < nt; ++k)
            collega(lt, id, 1 + int(rnd.bounded(4)));
        const int nk = 1 + int(rnd.bounded(2));
        for (int k = 0; k < nk; ++k)
            collega(lk, id, 1 + int(rnd.bounded(3)));
    }

    // Sends history, a few at the zero date.
    db::Query qi(tr, QStringLiteral("insert into RICHIESTE_EMAIL (ID_ANNUNCIO_IMMOBILE, ID_RICHIESTA, DATA_ORA, TIPO, "
                                    "EMAIL) select first 1 A.ID_ANNUNCIO_IMMOBILE, R.ID_RICHIESTA, :QUANDO, 'E', 'x' "
                                    "from ANNUNCI_IMMOBILI A, RICHIESTE R where A.ID_ANNUNCIO_IMMOBILE>=:A and "
                                    "R.ID_RICHIESTA>=:R"));
    for (int k = 0; k < nRichieste / 2; ++k) {
        qi.setParam(QStringLiteral("A"), int(rnd.bounded(nAnnunci * 3)));
        qi.setParam(QStringLiteral("R"), int(rnd.bounded(nRichieste * 2)));
        qi.setParam(QStringLiteral("QUANDO"),
                    p(3) ? QDateTime(QDate(1899, 12, 30), QTime(0, 0))
                         : QDateTime(QDate(2024, 1, 1), QTime(8, 0)).addSecs(qint64(rnd.bounded(86400 * 300))));
        qi.exec();
    }
    tr.commit();
}

void TestIncroci::differenziale_data()
{
    QTest::addColumn<quint32>("seme");
    QTest::addColumn<int>("annunci");
    QTest::addColumn<int>("richieste");
    QTest::newRow("piccola") << 7u << 300 << 300;
    QTest::newRow("2000 x 2000") << 20240501u << 2000 << 2000;
}

void TestIncroci::differenziale()
{
    QFETCH(quint32, seme);
    QFETCH(int, annunci);
    QFETCH(int, richieste);
    generaAgenzia(seme, annunci, richieste);

    TDataModuleQueryComposte massivo(m_db->db());
    TDataModuleQueryComposte perRiga(m_db->db());
    perRiga.setMetodo(MetodoIncroci::PerRiga);
    for (auto *m : {&massivo, &perRiga}) {
        m->MemTableRichieste()->open();
        m->MemTableAnnunci()->open();
    }
    QVERIFY(massivo.MemTableRichieste()->recordCount() > richieste / 2);
    QCOMPARE(massivo.MemTableAnnunci()->recordCount(), annunci);
    QCOMPARE(differenza(*massivo.MemTableRichieste(), *perRiga.MemTableRichieste()), QString());
    QCOMPARE(differenza(*massivo.MemTableAnnunci(), *perRiga.MemTableAnnunci()), QString());

    // Matches are not trivially empty or full.
    int conIncroci = 0, senzaIncroci = 0;
    TMemTable *r = massivo.MemTableRichieste();
    for (RowId id : r->visibleRowIds())
        (r->rowValue(id, r->columnIndex(QStringLiteral("N_INCROCI"))).toInt() > 0 ? conIncroci : senzaIncroci)++;
    QVERIFY(conIncroci > 10);
    QVERIFY(senzaIncroci > 10);

    // The functions of values agree too, on a sample of stored rows (as an unsaved editor would pass them).
    db::Transaction tr(m_db->db());
    const Collegamenti collegamenti = caricaCollegamenti(tr);
    const std::vector<ValoriRichiesta> tutteRichieste = caricaRichieste(tr, collegamenti);
    const std::vector<ValoriAnnuncio> tuttiAnnunci = caricaAnnunci(tr);
    tr.commit();
    const IndiceAnnunci indiceAnnunci(tuttiAnnunci);
    const IndiceRichieste indiceRichieste(tutteRichieste);
    db::Transaction trRif(m_db->db());
    IncrociPerRiga rif(trRif);
    for (size_t i = 0; i < tutteRichieste.size(); i += 37)
        QCOMPARE(indiceAnnunci.cerca(tutteRichieste[i]),
                 rif.annunciDiRichiesta(tutteRichieste[i], CollegamentiRichiesta::DaValori));
    for (size_t i = 0; i < tuttiAnnunci.size(); i += 37)
        QCOMPARE(indiceRichieste.cerca(tuttiAnnunci[i]), rif.richiesteDiAnnuncio(tuttiAnnunci[i]));
}

// -----------------------------------------------------------------------------------------------------------------

void TestIncroci::csvSullaDemo()
{
    TempDatabase demo;
    QTemporaryDir foto;
    db::addDemoAgency(demo.db(), foto.path(), 3);

    QString massivo, perRiga;
    for (MetodoIncroci metodo : {MetodoIncroci::Massivo, MetodoIncroci::PerRiga}) {
        TDataModuleQueryComposte m(demo.db());
        m.setMetodo(metodo);
        m.MemTableRichieste()->open();
        m.MemTableAnnunci()->open();
        QString testo;
        QTextStream out(&testo);
        scriviCsvIncroci(*m.MemTableRichieste(), *m.MemTableAnnunci(), out);
        out.flush();
        (metodo == MetodoIncroci::Massivo ? massivo : perRiga) = testo;
    }
    QCOMPARE(massivo, perRiga);
    const QStringList righe = massivo.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(righe.first(), QStringLiteral("TIPO,ID,N_INCROCI,N_INVII,DATA_ULT_INVIO,ID_INCROCI"));
    QCOMPARE(righe.filter(QRegularExpression(QStringLiteral("^R,"))).size(),
             demo.scalar(QStringLiteral("select count(*) from RICHIESTE R join CLIENTI C on "
                                            "C.ID_CLIENTE=R.ID_CLIENTE"))
                     .toInt());
    QVERIFY(righe.filter(QRegularExpression(QStringLiteral("^R,\\d+,[1-9]"))).size() > 0);
    QVERIFY(righe.filter(QRegularExpression(QStringLiteral("^A,\\d+,[1-9]"))).size() > 0);
    QVERIFY(righe.filter(QRegularExpression(QStringLiteral("^[RA],\\d+,\\d+,[1-9]\\d*,\\d{4}-\\d\\d-\\d\\d "
                                                           "\\d\\d:\\d\\d:\\d\\d,")))
                .size() > 0);

    // The program itself, both ways, on the same file.
    const QString programma = QCoreApplication::applicationDirPath() + QStringLiteral("/tavo-incroci");
    if (!QFileInfo::exists(programma))
        QSKIP("tavo-incroci non è stato compilato");
    for (const QStringList &opzioni : {QStringList(), QStringList{QStringLiteral("--per-riga")}}) {
        QProcess p;
        p.start(programma, opzioni + QStringList{QStringLiteral("--user"), TempDatabase::user(),
                                                 QStringLiteral("--password"), TempDatabase::password(), demo.path()});
        QVERIFY(p.waitForFinished(120000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), massivo);
    }
    QProcess p;
    p.start(programma, {QStringLiteral("/non/esiste/Tavo.fdb")});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 1);
    QVERIFY(QString::fromLocal8Bit(p.readAllStandardError()).contains(QStringLiteral("impossibile aprire il database")));
}

QTEST_GUILESS_MAIN(TestIncroci)
#include "tst_incroci.moc"
