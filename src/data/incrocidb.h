#pragma once
// What the matching engine reads from the database, in a few set-oriented queries (one per table, never one
// per row): all requests with their bounds and flags, all link rows, all listings' matching columns, the send
// statistics grouped by request and by listing, and the requests' kind/type/municipality names.
// Every function runs on the caller's transaction and throws DbError on a database failure.

#include "data/database.h"
#include "data/incroci.h"
#include "data/incrociriferimento.h"

#include <QHash>
#include <QVariant>
#include <QVector>

#include <vector>

namespace tavo::incroci {

// Query values as the engine's nullable types.
inline RealeN reale(const QVariant &v) { return v.isValid() ? RealeN(v.toDouble()) : std::nullopt; }
inline InteroN intero(const QVariant &v) { return v.isValid() ? InteroN(v.toInt()) : std::nullopt; }
inline TestoN testoN(const QVariant &v) { return v.isValid() ? TestoN(v.toString()) : std::nullopt; }

// A request's matching values from a row that has the RICHIESTE columns; `leggi(name)` gives a column's value.
// The link lists stay empty.
template <typename Leggi>
ValoriRichiesta valoriRichiesta(Leggi &&leggi)
{
    ValoriRichiesta v;
    v.idRichiesta = leggi(QStringLiteral("ID_RICHIESTA")).toInt();
    v.prezzoMin = reale(leggi(QStringLiteral("PREZZO_MIN")));
    v.prezzoMax = reale(leggi(QStringLiteral("PREZZO_MAX")));
    v.mqMin = reale(leggi(QStringLiteral("MQ_MIN")));
    v.mqMax = reale(leggi(QStringLiteral("MQ_MAX")));
    v.nrLocaliMin = intero(leggi(QStringLiteral("NR_LOCALI_MIN")));
    v.nrLocaliMax = intero(leggi(QStringLiteral("NR_LOCALI_MAX")));
    v.nrServiziMin = intero(leggi(QStringLiteral("NR_SERVIZI_MIN")));
    v.nrServiziMax = intero(leggi(QStringLiteral("NR_SERVIZI_MAX")));
    v.nrCamereMin = intero(leggi(QStringLiteral("NR_CAMERE_MIN")));
    v.nrCamereMax = intero(leggi(QStringLiteral("NR_CAMERE_MAX")));
    v.localita = testoN(leggi(QStringLiteral("LOCALITA")));
    v.boxAuto = testoN(leggi(QStringLiteral("BOX_AUTO")));
    v.balcone = testoN(leggi(QStringLiteral("BALCONE")));
    v.terrazzo = testoN(leggi(QStringLiteral("TERRAZZO")));
    v.cantina = testoN(leggi(QStringLiteral("CANTINA")));
    v.giardino = testoN(leggi(QStringLiteral("GIARDINO")));
    v.spazioAperto = testoN(leggi(QStringLiteral("SPAZIO_APERTO")));
    v.ascensore = testoN(leggi(QStringLiteral("ASCENSORE")));
    v.condizionatore = testoN(leggi(QStringLiteral("CONDIZIONATORE")));
    v.condizioni = testoN(leggi(QStringLiteral("CONDIZIONI")));
    return v;
}

// A listing's matching values from a row that has the ANNUNCI_IMMOBILI columns.
template <typename Leggi>
ValoriAnnuncio valoriAnnuncio(Leggi &&leggi)
{
    ValoriAnnuncio v;
    v.idAnnuncio = leggi(QStringLiteral("ID_ANNUNCIO_IMMOBILE")).toInt();
    v.idComune = leggi(QStringLiteral("ID_COMUNE")).toInt();
    v.idTipologiaImmobile = leggi(QStringLiteral("ID_TIPOLOGIA_IMMOBILE")).toInt();
    v.idTipologiaAnnuncio = leggi(QStringLiteral("ID_TIPOLOGIA_ANNUNCIO")).toInt();
    v.prezzo = reale(leggi(QStringLiteral("PREZZO")));
    v.mq = reale(leggi(QStringLiteral("MQ")));
    v.nrLocali = reale(leggi(QStringLiteral("NR_LOCALI")));
    v.nrServizi = reale(leggi(QStringLiteral("NR_SERVIZI")));
    v.nrCamere = intero(leggi(QStringLiteral("NR_CAMERE")));
    v.localita = testoN(leggi(QStringLiteral("LOCALITA")));
    v.boxAuto = testoN(leggi(QStringLiteral("BOX_AUTO")));
    v.balcone = testoN(leggi(QStringLiteral("BALCONE")));
    v.terrazzo = testoN(leggi(QStringLiteral("TERRAZZO")));
    v.cantina = testoN(leggi(QStringLiteral("CANTINA")));
    v.giardino = testoN(leggi(QStringLiteral("GIARDINO")));
    v.condizioni = testoN(leggi(QStringLiteral("CONDIZIONI")));
    v.ascensore = testoN(leggi(QStringLiteral("ASCENSORE")));
    v.condizionatore = testoN(leggi(QStringLiteral("CONDIZIONATORE")));
    v.eliminato = testoN(leggi(QStringLiteral("ELIMINATO")));
    return v;
}

// The link rows of requests, by request id: municipalities and property types in their order of entry (their
// key ID), listing kinds by number, as the three detail queries list them. Repetitions are kept.
struct Collegamenti
{
    QHash<int, QVector<int>> comuni, tipiImmobile, tipiAnnuncio;
    void applica(ValoriRichiesta &v) const
    {
        v.comuni = comuni.value(v.idRichiesta);
        v.tipiImmobile = tipiImmobile.value(v.idRichiesta);
        v.tipiAnnuncio = tipiAnnuncio.value(v.idRichiesta);
    }
};

Collegamenti caricaCollegamenti(db::Transaction &tr);
// The link rows of one request.
Collegamenti caricaCollegamenti(db::Transaction &tr, int idRichiesta);
// Every request (whether or not its client exists), with its link lists.
std::vector<ValoriRichiesta> caricaRichieste(db::Transaction &tr, const Collegamenti &collegamenti);
// Every listing (deleted ones too: the request-to-listings lines exclude them themselves).
std::vector<ValoriAnnuncio> caricaAnnunci(db::Transaction &tr);

// Send statistics from one read of RICHIESTE_EMAIL: by request (distinct listings sent, last send) and by listing
// (distinct requests, last send). Either pointer may be null.
void caricaInvii(db::Transaction &tr, QHash<int, Invii> *perRichiesta, QHash<int, Invii> *perAnnuncio);

// The names the three detail queries join to the link rows.
struct NomiCollegamenti
{
    QHash<int, QString> comuni, tipiImmobile, tipiAnnuncio; // plural names for the types
};
NomiCollegamenti caricaNomi(db::Transaction &tr);
// A request's summaries from its link lists (as ordered in Collegamenti): the names joined by ", ", a link whose
// row is missing from the named table left out (the detail queries join it).
Riepiloghi riepiloghi(const ValoriRichiesta &richiesta, const NomiCollegamenti &nomi);

} // namespace tavo::incroci
