#pragma once
// The matching queries run one row at a time, as the program has always run them: the request-to-listings and
// listing-to-requests queries built line by line from one row's values, the two send-statistics queries and the
// three detail queries of a request. This is the exact reference of the engine in incroci.h, and the way to
// refresh a single row (AggiornaRichiesta, AggiornaAnnuncio), where one query beats loading everything.
//
// Deliberate choices, the same in the engine:
//   - "order by PREZZO" is written "order by PREZZO, ID_ANNUNCIO_IMMOBILE": listings at the same price come
//     in id order instead of an order the server leaves open (NULL prices come first);
//   - the three detail queries end with an order line (kinds by their number, types and municipalities by
//     the key that records the order of entry): without it the order depends on the server's plan.
// Everything else is the literal text. Parameters have the program's types: prices and surfaces as doubles,
// counts as integers (a listing's room and bathroom counts rounded half to even). Database errors are
// DbError and are not caught here.

#include "data/database.h"
#include "data/incroci.h"

#include <QPair>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <memory>

namespace tavo::incroci {

// Where the request-to-listings query takes the request's municipalities, types and kinds from.
enum class CollegamentiRichiesta {
    DaDatabase, // its stored link rows (subqueries on ID_RICHIESTA): a saved request
    DaValori,   // the lists in ValoriRichiesta ("in (...)" lines): a request on the editor's screen
};

// A matching query as text lines and its parameters.
struct QueryIncroci
{
    QStringList righe;
    QVector<QPair<QString, QVariant>> parametri;
};

QueryIncroci queryAnnunciDiRichiesta(const ValoriRichiesta &richiesta,
                                     CollegamentiRichiesta collegamenti = CollegamentiRichiesta::DaDatabase);
QueryIncroci queryRichiesteDiAnnuncio(const ValoriAnnuncio &annuncio);

// The three detail queries of a request (parameter ID_RICHIESTA).
QStringList righeDettaglioTipologieAnnuncio();
QStringList righeDettaglioTipologieImmobile();
QStringList righeDettaglioComuni();

// The request's listing kinds, property types (plural) and municipalities, each joined by ", ".
struct Riepiloghi
{
    QString tipologieAnnuncio, tipologieImmobile, comuni;
};

// Runs the per-row queries on one transaction, keeping the fixed ones prepared.
class IncrociPerRiga
{
public:
    explicit IncrociPerRiga(db::Transaction &tr);
    ~IncrociPerRiga();
    IncrociPerRiga(const IncrociPerRiga &) = delete;
    IncrociPerRiga &operator=(const IncrociPerRiga &) = delete;

    QVector<int> annunciDiRichiesta(const ValoriRichiesta &richiesta,
                                    CollegamentiRichiesta collegamenti = CollegamentiRichiesta::DaDatabase);
    QVector<int> richiesteDiAnnuncio(const ValoriAnnuncio &annuncio);
    Invii inviiRichiesta(int idRichiesta);
    Invii inviiAnnuncio(int idAnnuncio);
    Riepiloghi riepiloghiRichiesta(int idRichiesta);

private:
    QVector<int> esegui(const QueryIncroci &query);

    db::Query m_incroci;
    db::Query m_ultimoInvioRichiesta, m_nInviiRichiesta, m_ultimoInvioAnnuncio, m_nInviiAnnuncio;
    db::Query m_tipologieAnnuncio, m_tipologieImmobile, m_comuni;
};

} // namespace tavo::incroci
