#include "incrocidb.h"

#include <algorithm>

namespace tavo::incroci {

namespace {

struct Legame
{
    qint64 ordine; // the key that orders the rows of one request
    int richiesta;
    int valore;
};

// Reads link rows "select ORDER_KEY, ID_RICHIESTA, VALUE ..." and groups them by request in key order (stable for
// equal keys). Rows without a request are skipped: "where ID_RICHIESTA=:ID_RICHIESTA" never finds them.
void leggiLegami(db::Transaction &tr, const QString &sql, QHash<int, QVector<int>> &dest, int idRichiesta = 0)
{
    db::Query q(tr, sql);
    if (idRichiesta != 0)
        q.setParam(QStringLiteral("ID_RICHIESTA"), idRichiesta);
    std::vector<Legame> righe;
    q.exec();
    while (q.next()) {
        if (q.isNull(1) || q.isNull(2))
            continue;
        righe.push_back({q.value(0).toLongLong(), q.value(1).toInt(), q.value(2).toInt()});
    }
    std::stable_sort(righe.begin(), righe.end(), [](const Legame &a, const Legame &b) { return a.ordine < b.ordine; });
    for (const Legame &l : righe)
        dest[l.richiesta].append(l.valore);
}

const QString SqlComuni = QStringLiteral("select ID, ID_RICHIESTA, ID_COMUNE from RICHIESTE_COMUNI");
const QString SqlTipiImmobile = QStringLiteral("select ID, ID_RICHIESTA, ID_TIP_IMMOBILE from RICHIESTE_TIP_IMMOBILI");
const QString SqlTipiAnnuncio =
    QStringLiteral("select ID_TIP_ANNUNCIO, ID_RICHIESTA, ID_TIP_ANNUNCIO from RICHIESTE_TIP_ANNUNCI");
const QString PerRichiesta = QStringLiteral(" where ID_RICHIESTA=:ID_RICHIESTA");

} // namespace

Collegamenti caricaCollegamenti(db::Transaction &tr)
{
    Collegamenti c;
    leggiLegami(tr, SqlComuni, c.comuni);
    leggiLegami(tr, SqlTipiImmobile, c.tipiImmobile);
    leggiLegami(tr, SqlTipiAnnuncio, c.tipiAnnuncio);
    return c;
}

Collegamenti caricaCollegamenti(db::Transaction &tr, int idRichiesta)
{
    Collegamenti c;
    leggiLegami(tr, SqlComuni + PerRichiesta, c.comuni, idRichiesta);
    leggiLegami(tr, SqlTipiImmobile + PerRichiesta, c.tipiImmobile, idRichiesta);
    leggiLegami(tr, SqlTipiAnnuncio + PerRichiesta, c.tipiAnnuncio, idRichiesta);
    return c;
}

std::vector<ValoriRichiesta> caricaRichieste(db::Transaction &tr, const Collegamenti &collegamenti)
{
    // Read by position (a name lookup per value costs more than the value on 50,000 rows).
    db::Query q(tr, QStringLiteral("select ID_RICHIESTA, PREZZO_MIN, PREZZO_MAX, MQ_MIN, MQ_MAX, NR_LOCALI_MIN, "
                                   "NR_LOCALI_MAX, NR_SERVIZI_MIN, NR_SERVIZI_MAX, NR_CAMERE_MIN, NR_CAMERE_MAX, "
                                   "LOCALITA, BOX_AUTO, BALCONE, TERRAZZO, CANTINA, GIARDINO, SPAZIO_APERTO, "
                                   "ASCENSORE, CONDIZIONATORE, CONDIZIONI from RICHIESTE"));
    std::vector<ValoriRichiesta> richieste;
    q.exec();
    while (q.next()) {
        ValoriRichiesta v;
        v.idRichiesta = q.value(0).toInt();
        v.prezzoMin = reale(q.value(1));
        v.prezzoMax = reale(q.value(2));
        v.mqMin = reale(q.value(3));
        v.mqMax = reale(q.value(4));
        v.nrLocaliMin = intero(q.value(5));
        v.nrLocaliMax = intero(q.value(6));
        v.nrServiziMin = intero(q.value(7));
        v.nrServiziMax = intero(q.value(8));
        v.nrCamereMin = intero(q.value(9));
        v.nrCamereMax = intero(q.value(10));
        v.localita = testoN(q.value(11));
        v.boxAuto = testoN(q.value(12));
        v.balcone = testoN(q.value(13));
        v.terrazzo = testoN(q.value(14));
        v.cantina = testoN(q.value(15));
        v.giardino = testoN(q.value(16));
        v.spazioAperto = testoN(q.value(17));
        v.ascensore = testoN(q.value(18));
        v.condizionatore = testoN(q.value(19));
        v.condizioni = testoN(q.value(20));
        collegamenti.applica(v);
        richieste.push_back(std::move(v));
    }
    return richieste;
}

std::vector<ValoriAnnuncio> caricaAnnunci(db::Transaction &tr)
{
    db::Query q(tr, QStringLiteral("select ID_ANNUNCIO_IMMOBILE, ID_COMUNE, ID_TIPOLOGIA_IMMOBILE, "
                                   "ID_TIPOLOGIA_ANNUNCIO, PREZZO, MQ, NR_LOCALI, NR_SERVIZI, NR_CAMERE, LOCALITA, "
                                   "BOX_AUTO, BALCONE, TERRAZZO, CANTINA, GIARDINO, CONDIZIONI, ASCENSORE, "
                                   "CONDIZIONATORE, ELIMINATO from ANNUNCI_IMMOBILI"));
    std::vector<ValoriAnnuncio> annunci;
    q.exec();
    while (q.next()) {
        ValoriAnnuncio v;
        v.idAnnuncio = q.value(0).toInt();
        v.idComune = q.value(1).toInt();
        v.idTipologiaImmobile = q.value(2).toInt();
        v.idTipologiaAnnuncio = q.value(3).toInt();
        v.prezzo = reale(q.value(4));
        v.mq = reale(q.value(5));
        v.nrLocali = reale(q.value(6));
        v.nrServizi = reale(q.value(7));
        v.nrCamere = intero(q.value(8));
        v.localita = testoN(q.value(9));
        v.boxAuto = testoN(q.value(10));
        v.balcone = testoN(q.value(11));
        v.terrazzo = testoN(q.value(12));
        v.cantina = testoN(q.value(13));
        v.giardino = testoN(q.value(14));
        v.condizioni = testoN(q.value(15));
        v.ascensore = testoN(q.value(16));
        v.condizionatore = testoN(q.value(17));
        v.eliminato = testoN(q.value(18));
        annunci.push_back(std::move(v));
    }
    return annunci;
}

void caricaInvii(db::Transaction &tr, QHash<int, Invii> *perRichiesta, QHash<int, Invii> *perAnnuncio)
{
    struct Invio
    {
        int richiesta, annuncio;
        QDateTime quando;
    };
    std::vector<Invio> invii;
    db::Query q(tr, QStringLiteral("select ID_RICHIESTA, ID_ANNUNCIO_IMMOBILE, DATA_ORA from RICHIESTE_EMAIL"));
    q.exec();
    while (q.next()) {
        if (q.isNull(0) || q.isNull(1))
            continue;
        invii.push_back({q.value(0).toInt(), q.value(1).toInt(), q.value(2).toDateTime()});
    }
    // "max(DATA_ORA)" and "count(distinct OTHER_ID)" grouped by one id: sort by (id, other id) and count changes.
    auto aggrega = [&invii](QHash<int, Invii> &dest, auto chiave, auto altro) {
        std::sort(invii.begin(), invii.end(), [&](const Invio &a, const Invio &b) {
            return chiave(a) != chiave(b) ? chiave(a) < chiave(b) : altro(a) < altro(b);
        });
        dest.reserve(qsizetype(invii.size()));
        for (size_t i = 0; i < invii.size();) {
            const int id = chiave(invii[i]);
            Invii risultato;
            QDateTime ultimo;
            for (; i < invii.size() && chiave(invii[i]) == id; ++i) {
                if (i == 0 || chiave(invii[i - 1]) != id || altro(invii[i - 1]) != altro(invii[i]))
                    ++risultato.nInvii;
                if (invii[i].quando.isValid() && (!ultimo.isValid() || invii[i].quando > ultimo))
                    ultimo = invii[i].quando;
            }
            if (ultimo.isValid() && !dataZero(ultimo))
                risultato.dataUltInvio = ultimo;
            dest.insert(id, risultato);
        }
    };
    if (perRichiesta)
        aggrega(*perRichiesta, [](const Invio &x) { return x.richiesta; }, [](const Invio &x) { return x.annuncio; });
    if (perAnnuncio)
        aggrega(*perAnnuncio, [](const Invio &x) { return x.annuncio; }, [](const Invio &x) { return x.richiesta; });
}

NomiCollegamenti caricaNomi(db::Transaction &tr)
{
    NomiCollegamenti n;
    auto leggi = [&tr](const QString &sql, QHash<int, QString> &dest) {
        db::Query q(tr, sql);
        q.exec();
        while (q.next())
            dest.insert(q.value(0).toInt(), q.value(1).toString());
    };
    leggi(QStringLiteral("select ID_COMUNE, NOME from COMUNI where ID_COMUNE in (select ID_COMUNE from "
                         "RICHIESTE_COMUNI)"),
          n.comuni);
    leggi(QStringLiteral("select ID_TIPOLOGIA_IMMOBILE, DESCRIZIONE_PLURALE from TIPOLOGIE_IMMOBILI"), n.tipiImmobile);
    leggi(QStringLiteral("select ID_TIPOLOGIA_ANNUNCIO, DESCRIZIONE from TIPOLOGIE_ANNUNCI"), n.tipiAnnuncio);
    return n;
}

Riepiloghi riepiloghi(const ValoriRichiesta &richiesta, const NomiCollegamenti &nomi)
{
    auto unisci = [](const QVector<int> &ids, const QHash<int, QString> &nomi) {
        QString testo;
        bool primo = true;
        for (int id : ids) {
            const auto it = nomi.constFind(id);
            if (it == nomi.constEnd())
                continue;
            if (!primo)
                testo += QStringLiteral(", ");
            testo += it.value();
            primo = false;
        }
        return testo;
    };
    Riepiloghi r;
    r.tipologieAnnuncio = unisci(richiesta.tipiAnnuncio, nomi.tipiAnnuncio);
    r.tipologieImmobile = unisci(richiesta.tipiImmobile, nomi.tipiImmobile);
    r.comuni = unisci(richiesta.comuni, nomi.comuni);
    return r;
}

} // namespace tavo::incroci
