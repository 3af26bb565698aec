// bench_incroci_genera: creates an agency database of a chosen size for the matching benchmark.
//
//   bench_incroci_genera PERCORSO --annunci N --richieste M [--seme S]
//
// The agency works in four provinces of Lombardy (Milano, with the city's zones, Monza e della Brianza, Bergamo,
// Como): most listings and requests are in the bigger towns; sale and rent with their own price ranges; the
// residential types mostly; requests with one or two kinds, one to three types, 0 to 5 municipalities of one
// province, bounds and wishes as agents write them; a history of sends (about four per request).

#include "data/database.h"
#include "data/schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cmath>
#include <cstdio>

using namespace tavo::db;

namespace {

class Generatore
{
public:
    Generatore(Database &db, quint32 seme) : m_tr(db), m_rnd(seme) {}

    void genera(int nAnnunci, int nRichieste)
    {
        caricaComuni();
        clienti(qMax(50, (nAnnunci + nRichieste) / 3));
        annunci(nAnnunci);
        richieste(nRichieste);
        invii(nRichieste * 4);
        m_tr.commit();
    }

private:
    struct Comune
    {
        int id;
        int provincia;
        double peso;
    };

    int intero(int n) { return int(m_rnd.bounded(n)); }
    bool p(int percento) { return intero(100) < percento; }
    template <typename T>
    const T &scegli(const QVector<T> &v) { return v.at(intero(int(v.size()))); }

    // A municipality drawn by weight: the biggest towns (and Milano's zones) hold most of the market.
    const Comune &comune(int provincia = 0)
    {
        const QVector<int> &indici = provincia == 0 ? m_tutti : m_perProvincia[provincia];
        const QVector<double> &cumulati = provincia == 0 ? m_cumulatiTutti : m_cumulati[provincia];
        const double x = m_rnd.generateDouble() * cumulati.last();
        const auto it = std::upper_bound(cumulati.begin(), cumulati.end(), x);
        return m_comuni.at(indici.at(int(qMin<qsizetype>(it - cumulati.begin(), indici.size() - 1))));
    }

    void caricaComuni()
    {
        Query q(m_tr, QStringLiteral("select ID_COMUNE, ID_PROVINCIA, NOME from COMUNI where ID_PROVINCIA in "
                                     "(15, 108, 16, 13) order by ID_COMUNE"));
        q.exec();
        int rango = 0;
        while (q.next()) {
            const int id = q.value(0).toInt();
            const int provincia = q.value(1).toInt();
            const QString nome = q.value(2).toString();
            double peso = 1.0 / (1.0 + 0.05 * rango++); // a long tail of small towns
            if (nome == QLatin1String("MILANO"))
                peso = 40;
            else if (nome.startsWith(QLatin1String("MILANO (ZONA")))
                peso = 6;
            else if (nome == QLatin1String("MONZA") || nome == QLatin1String("BERGAMO") || nome == QLatin1String("COMO"))
                peso = 12;
            m_comuni.append({id, provincia, peso});
        }
        for (int i = 0; i < m_comuni.size(); ++i) {
            const Comune &c = m_comuni.at(i);
            m_tutti.append(i);
            m_cumulatiTutti.append((m_cumulatiTutti.isEmpty() ? 0 : m_cumulatiTutti.last()) + c.peso);
            QVector<double> &cum = m_cumulati[c.provincia];
            m_perProvincia[c.provincia].append(i);
            cum.append((cum.isEmpty() ? 0 : cum.last()) + c.peso);
        }
        if (m_comuni.isEmpty())
            throw DbError(QStringLiteral("Nessun comune delle province scelte nel database."));
    }

    void clienti(int n)
    {
        Query q(m_tr, QStringLiteral("insert into CLIENTI (ID_CLIENTE, DESCR, TELEFONO1, TELEFONO2, EMAIL, TEL_X_SMS, "
                                     "PROPRIETARIO) values (:ID, :DESCR, :T1, :T2, :EMAIL, :SMS, :PROP)"));
        static const QVector<QString> nomi = {"ROSSI", "BIANCHI", "COLOMBO", "FERRARI", "RUSSO", "ROMANO", "GALLO",
                                               "COSTA", "FONTANA", "CONTI", "ESPOSITO", "RICCI", "BRUNO", "DE LUCA"};
        static const QVector<QString> propri = {"MARIO", "LUCA", "GIULIA", "ANNA", "MARCO", "SARA", "PAOLO", "ELENA"};
        for (int i = 1; i <= n; ++i) {
            q.setParam(QStringLiteral("ID"), i);
            q.setParam(QStringLiteral("DESCR"), scegli(nomi) + QLatin1Char(' ') + scegli(propri));
            q.setParam(QStringLiteral("T1"), QStringLiteral("02 %1").arg(1000000 + intero(8999999)));
            q.setParam(QStringLiteral("T2"), p(70) ? QVariant(QStringLiteral("3%1").arg(100000000 + intero(899999999)))
                                                   : QVariant());
            q.setParam(QStringLiteral("EMAIL"), p(80) ? QVariant(QStringLiteral("cliente%1@example.it").arg(i)) : QVariant());
            q.setParam(QStringLiteral("SMS"), p(60) ? 2 : 0);
            q.setParam(QStringLiteral("PROP"), p(40) ? QStringLiteral("S") : QStringLiteral("N"));
            q.exec();
        }
        m_nClienti = n;
    }

    int tipo()
    {
        // Flats first, then houses and a few commercial types.
        static const QVector<int> tipi = {1, 1, 1, 1, 3, 3, 3, 4, 4, 4, 5, 5, 2, 2, 6, 7, 8, 11, 13, 14, 19, 20, 30};
        return scegli(tipi);
    }
    int tipologiaAnnuncio() { return p(70) ? 1 : (p(93) ? 2 : 3); }

    void annunci(int n)
    {
        Query q(m_tr);
        q.setSql(QStringLiteral(
            "insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE, ID_CLIENTE, ID_COMUNE, ID_TIPOLOGIA_IMMOBILE, "
            "ID_TIPOLOGIA_ANNUNCIO, RIFERIMENTO, PREZZO, SPESE_COND_MENSILI, MQ, NR_LOCALI, NR_SERVIZI, NR_CAMERE, "
            "LOCALITA, FOTOSN, BOX_AUTO, BALCONE, TERRAZZO, CANTINA, GIARDINO, CONDIZIONI, ASCENSORE, CONDIZIONATORE, "
            "DESCRIZIONE, DATA_INSERIMENTO, DATA_AGGIORNAMENTO, PRIORITA, ELIMINATO) values (:ID, :CLI, :COM, :TI, "
            ":TA, :RIF, :PREZZO, :SPESE, :MQ, :NL, :NS, :NC, :LOC, :FOTO, :BOX, :BAL, :TER, :CAN, :GIA, :CON, :ASC, "
            ":CDZ, :DES, :DI, :DA, :PRI, :ELI)"));
        static const QVector<QString> box = {"", "nessuno", "nessuno", "singolo", "singolo", "doppio", "posto auto"};
        static const QVector<QString> giardino = {"", "nessuno", "nessuno", "privato", "comune"};
        static const QVector<QString> condizioni = {"", "ottime", "buone", "buone", "da ristrutturare", "nuovo"};
        static const QVector<QString> sn = {"S", "N", "N", ""};
        static const QVector<QString> localita = {"", "", "", "Centro", "Stazione", "Periferia", "Villaggio"};
        const QString testo = QStringLiteral(
            "Luminoso appartamento in contesto signorile, composto da ingresso, soggiorno con cucina a vista, "
            "due camere da letto, bagno finestrato e ripostiglio. Completano la proprietà cantina e posto auto. "
            "Riscaldamento centralizzato con contabilizzatori, serramenti in PVC, porta blindata. ");
        const QDateTime oggi(QDate(2024, 6, 1), QTime(9, 0));
        for (int i = 1; i <= n; ++i) {
            const Comune &c = comune();
            const int ta = tipologiaAnnuncio();
            const int ti = tipo();
            const double mq = 30 + intero(220);
            double prezzo = ta == 1 ? std::round((1500 + intero(4500)) * mq / 1000) * 1000 : 300 + 50 * intero(60);
            if (p(3))
                prezzo = 0; // "trattativa riservata"
            q.setParam(QStringLiteral("ID"), i);
            q.setParam(QStringLiteral("CLI"), 1 + intero(m_nClienti));
            q.setParam(QStringLiteral("COM"), c.id);
            q.setParam(QStringLiteral("TI"), ti);
            q.setParam(QStringLiteral("TA"), ta);
            q.setParam(QStringLiteral("RIF"), QStringLiteral("A%1").arg(i, 6, 10, QLatin1Char('0')));
            q.setParam(QStringLiteral("PREZZO"), p(2) ? QVariant() : QVariant(prezzo));
            q.setParam(QStringLiteral("SPESE"), p(60) ? QVariant(double(50 + intero(250))) : QVariant());
            q.setParam(QStringLiteral("MQ"), p(3) ? QVariant() : QVariant(mq));
            q.setParam(QStringLiteral("NL"), double(1 + intero(5)) + (p(15) ? 0.5 : 0.0));
            q.setParam(QStringLiteral("NS"), double(1 + intero(3)));
            q.setParam(QStringLiteral("NC"), intero(5));
            q.setParam(QStringLiteral("LOC"), scegli(localita));
            q.setParam(QStringLiteral("FOTO"), p(80) ? QStringLiteral("S") : QStringLiteral("N"));
            q.setParam(QStringLiteral("BOX"), scegli(box));
            q.setParam(QStringLiteral("BAL"), scegli(sn));
            q.setParam(QStringLiteral("TER"), scegli(sn));
            q.setParam(QStringLiteral("CAN"), scegli(sn));
            q.setParam(QStringLiteral("GIA"), scegli(giardino));
            q.setParam(QStringLiteral("CON"), scegli(condizioni));
            q.setParam(QStringLiteral("ASC"), scegli(sn));
            q.setParam(QStringLiteral("CDZ"), scegli(sn));
            q.setParam(QStringLiteral("DES"), testo.left(120 + intero(testo.size() - 120)));
            q.setParam(QStringLiteral("DI"), oggi.addDays(-intero(900)));
            q.setParam(QStringLiteral("DA"), oggi.addDays(-intero(60)));
            q.setParam(QStringLiteral("PRI"), intero(6));
            q.setParam(QStringLiteral("ELI"), p(5) ? QStringLiteral("S") : QStringLiteral("N"));
            q.exec();
        }
        m_nAnnunci = n;
    }

    void richieste(int n)
    {
        Query q(m_tr);
        q.setSql(QStringLiteral(
            "insert into RICHIESTE (ID_RICHIESTA, ID_CLIENTE, PREZZO_MIN, PREZZO_MAX, MQ_MIN, MQ_MAX, NR_LOCALI_MIN, "
            "NR_LOCALI_MAX, NR_SERVIZI_MIN, NR_SERVIZI_MAX, NR_CAMERE_MIN, NR_CAMERE_MAX, BOX_AUTO, BALCONE, "
            "TERRAZZO, CANTINA, GIARDINO, SPAZIO_APERTO, ASCENSORE, CONDIZIONATORE, CONDIZIONI, FONTE, LOCALITA, "
            "DATA_ULT_MODIFICA) values (:ID, :CLI, :PMIN, :PMAX, :MMIN, :MMAX, :LMIN, :LMAX, :SMIN, :SMAX, :CMIN, "
            ":CMAX, :BOX, :BAL, :TER, :CAN, :GIA, :SPA, :ASC, :CDZ, :CON, :FON, :LOC, :DUM)"));
        Query lc(m_tr, QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA, ID_COMUNE) values (:R, :X)"));
        Query lt(m_tr, QStringLiteral("insert into RICHIESTE_TIP_IMMOBILI (ID_RICHIESTA, ID_TIP_IMMOBILE) values (:R, :X)"));
        Query lk(m_tr, QStringLiteral("insert into RICHIESTE_TIP_ANNUNCI (ID_RICHIESTA, ID_TIP_ANNUNCIO) values (:R, :X)"));
        auto collega = [](Query &l, int r, int x) {
            l.setParam(QStringLiteral("R"), r);
            l.setParam(QStringLiteral("X"), x);
            l.exec();
        };
        static const QVector<QString> box = {"", "", "", "box singolo", "box doppio", "posto auto"};
        static const QVector<QString> fonti = {"", "Sito", "Passaparola", "Cartello", "Portale"};
        const QDateTime oggi(QDate(2024, 6, 1), QTime(9, 0));
        for (int i = 1; i <= n; ++i) {
            const int ta = p(65) ? 1 : 2;
            const bool vendita = ta == 1;
            const double massimo = vendita ? 100000.0 + 10000 * intero(60) : 500.0 + 100 * intero(20);
            const bool generica = p(20);
            q.setParam(QStringLiteral("ID"), i);
            q.setParam(QStringLiteral("CLI"), 1 + intero(m_nClienti));
            q.setParam(QStringLiteral("PMIN"), !generica && p(30) ? massimo * 0.6 : 0.0);
            q.setParam(QStringLiteral("PMAX"), !generica && p(85) ? massimo : 0.0);
            q.setParam(QStringLiteral("MMIN"), !generica && p(40) ? double(40 + 10 * intero(10)) : 0.0);
            q.setParam(QStringLiteral("MMAX"), 0.0);
            q.setParam(QStringLiteral("LMIN"), !generica && p(50) ? 1 + intero(3) : 0);
            q.setParam(QStringLiteral("LMAX"), !generica && p(20) ? 3 + intero(3) : 0);
            q.setParam(QStringLiteral("SMIN"), !generica && p(25) ? 1 + intero(2) : 0);
            q.setParam(QStringLiteral("SMAX"), 0);
            q.setParam(QStringLiteral("CMIN"), !generica && p(30) ? 1 + intero(3) : 0);
            q.setParam(QStringLiteral("CMAX"), 0);
            q.setParam(QStringLiteral("BOX"), generica ? QString() : scegli(box));
            const bool spazio = !generica && p(10);
            auto flag = [&](int percento) { return !generica && p(percento) ? QStringLiteral("S") : QStringLiteral("N"); };
            q.setParam(QStringLiteral("BAL"), flag(20));
            q.setParam(QStringLiteral("TER"), spazio ? QStringLiteral("N") : flag(10));
            q.setParam(QStringLiteral("CAN"), flag(15));
            q.setParam(QStringLiteral("GIA"), spazio ? QStringLiteral("N") : flag(10));
            q.setParam(QStringLiteral("SPA"), spazio ? QStringLiteral("S") : QStringLiteral("N"));
            q.setParam(QStringLiteral("ASC"), flag(25));
            q.setParam(QStringLiteral("CDZ"), flag(10));
            q.setParam(QStringLiteral("CON"), !generica && p(10) ? QStringLiteral("buone") : QString());
            q.setParam(QStringLiteral("FON"), scegli(fonti));
            q.setParam(QStringLiteral("LOC"), QString());
            q.setParam(QStringLiteral("DUM"), oggi.addDays(-intero(700)));
            q.exec();
            // 0 to 5 municipalities of one province (a request without any is an old one, left incomplete).
            const Comune &primo = comune();
            const int nComuni = p(3) ? 0 : 1 + intero(5);
            QVector<int> scelti;
            for (int k = 0; k < nComuni; ++k) {
                const int c = k == 0 ? primo.id : comune(primo.provincia).id;
                if (!scelti.contains(c)) {
                    scelti.append(c);
                    collega(lc, i, c);
                }
            }
            QVector<int> tipi;
            const int nTipi = 1 + intero(3);
            for (int k = 0; k < nTipi; ++k) {
                const int t = tipo();
                if (!tipi.contains(t)) {
                    tipi.append(t);
                    collega(lt, i, t);
                }
            }
            collega(lk, i, ta);
            if (p(10))
                collega(lk, i, ta == 1 ? 2 : 1);
        }
        m_nRichieste = n;
    }

    void invii(int n)
    {
        Query q(m_tr, QStringLiteral("insert into RICHIESTE_EMAIL (ID_ANNUNCIO_IMMOBILE, ID_RICHIESTA, DATA_ORA, TIPO, "
                                     "EMAIL, OGGETTO) values (:A, :R, :QUANDO, :TIPO, 'cliente@example.it', "
                                     "'Proposta immobile')"));
        const QDateTime inizio(QDate(2023, 1, 1), QTime(8, 0));
        for (int i = 0; i < n; ++i) {
            q.setParam(QStringLiteral("A"), 1 + intero(m_nAnnunci));
            q.setParam(QStringLiteral("R"), 1 + intero(m_nRichieste));
            q.setParam(QStringLiteral("QUANDO"), inizio.addSecs(qint64(m_rnd.bounded(86400 * 500))));
            q.setParam(QStringLiteral("TIPO"), p(80) ? QStringLiteral("E") : QStringLiteral("S"));
            q.exec();
        }
    }

    Transaction m_tr;
    QRandomGenerator m_rnd;
    QVector<Comune> m_comuni;
    QVector<int> m_tutti;
    QVector<double> m_cumulatiTutti;
    QHash<int, QVector<int>> m_perProvincia;
    QHash<int, QVector<double>> m_cumulati;
    int m_nClienti = 0, m_nAnnunci = 0, m_nRichieste = 0;
};

int uso()
{
    std::fprintf(stderr, "uso: bench_incroci_genera PERCORSO --annunci N --richieste M [--seme S]\n");
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return uso();
    const QString percorso = args.at(0);
    int nAnnunci = -1, nRichieste = -1;
    quint32 seme = 1;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args.at(i) == QLatin1String("--annunci"))
            nAnnunci = args.at(i + 1).toInt();
        else if (args.at(i) == QLatin1String("--richieste"))
            nRichieste = args.at(i + 1).toInt();
        else if (args.at(i) == QLatin1String("--seme"))
            seme = args.at(i + 1).toUInt();
        else
            return uso();
    }
    if (nAnnunci < 1 || nRichieste < 1)
        return uso();
    if (QFileInfo::exists(percorso)) {
        std::fprintf(stderr, "bench_incroci_genera: il file %s esiste già.\n", qPrintable(percorso));
        return 1;
    }
    try {
        QElapsedTimer t;
        t.start();
        createAgencyDatabase(percorso, QStringLiteral("SYSDBA"), QStringLiteral("masterkey"));
        Database db;
        db.open(percorso, QStringLiteral("SYSDBA"), QStringLiteral("masterkey"));
        Generatore(db, seme).genera(nAnnunci, nRichieste);
        std::printf("%s: %d annunci, %d richieste (%lld ms)\n", qPrintable(percorso), nAnnunci, nRichieste,
                    t.elapsed());
    } catch (const DbError &e) {
        QFile::remove(percorso);
        std::fprintf(stderr, "bench_incroci_genera: %s\n", e.message().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
