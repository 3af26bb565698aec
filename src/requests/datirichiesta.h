#pragma once
// What the request editor (TFormInsVarRichieste) computes and reads and writes, without widgets.
//
// A request travels between the database and the screen as a DatiRichiesta: the values as the controls hold them
// (numbers as typed, the two lists' chosen entry or none, check boxes as booleans) and the three sets of link rows
// (listing kinds, property types, municipalities). The conversions to the stored columns (money with four
// decimals, integer parts for surfaces and counts, "S"/"N" flags, the locality trimmed) are made here.
//
// The database functions run on the transaction the caller gives (the editor's own); database errors go on as
// db::DbError carrying the server's text. The client list of the editor is the listing editor's (leggiClienti and
// testoVoceCliente in listings/datiannuncio.h): the same query and the same text.

#include "data/database.h"
#include "data/incroci.h"
#include "data/incrociriferimento.h"
#include "listings/datiannuncio.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <QVector>

#include <optional>

namespace tavo {

// ---- Fixed lists of the screen ----

// The check list of listing kinds: item n (from 1) stands for ID_TIP_ANNUNCIO n.
QStringList vociTipologieAnnuncio();
// "Box Auto:" and "Condizioni:", each starting with the blank item.
QStringList vociBoxAutoRichiesta();
QStringList vociCondizioniRichiesta();

// ---- A request as the editor holds it ----

struct DatiRichiesta
{
    int idRichiesta = 0; // 0 while a new request is entered
    int idCliente = 0;   // 0 when no client is selected
    // The ten bounds as typed (0 = no bound).
    double prezzoMin = 0, prezzoMax = 0, mqMin = 0, mqMax = 0;
    double nrLocaliMin = 0, nrLocaliMax = 0, nrServiziMin = 0, nrServiziMax = 0, nrCamereMin = 0, nrCamereMax = 0;
    // The text of the chosen item; nullopt when no item is chosen (the blank item is a choice: "").
    std::optional<QString> boxAuto, condizioni;
    QString localita; // as typed (saved trimmed)
    bool balcone = false, terrazzo = false, cantina = false, giardino = false, ascensore = false,
         condizionatore = false, spazioAperto = false;
    QString fonte; // as typed, saved untrimmed
    QString note;
    QVector<int> tipiAnnuncio; // numbers (from 1) of the checked kinds, in list order
    QVector<int> tipiImmobile; // ID_TIPOLOGIA_IMMOBILE of the checked type nodes, in tree order
    QList<Voce> comuni;        // the municipality list: display text and ID_COMUNE, in list order

    QVector<int> idComuni() const;
};

// ---- Conversions ----

// A stored surface shown in the editor: the nearest integer, halves to the even one (85.5 -> 86, 84.5 -> 84).
int superficieArrotondata(double valore);

// The values of the insert and update statements (every parameter but ID_RICHIESTA): ID_CLIENTE, the prices as
// money (four decimals), surfaces and counts as their integer part (85.7 -> 85, 0.5 -> 0), BOX_AUTO and
// CONDIZIONI the chosen texts ("" when none), the seven flags "S"/"N", FONTE as typed, LOCALITA trimmed, NOTE
// with CR LF line ends.
QVariantMap colonneRichiesta(const DatiRichiesta &d);

// True when nothing but kinds, types and municipalities describes the wish: the ten bounds are 0, neither list
// has an item chosen (the blank item counts as chosen), the locality text is empty and no box is checked.
bool richiestaGenerica(const DatiRichiesta &d);
// The question asked then; perRicerca: "Mostra Incroci" ("ricerca"), otherwise "Conferma" ("registrazione").
QString testoDomandaGenerica(bool perRicerca);

// ---- Matching of the request on screen ----

// The values the matching engine compares: prices as money, surfaces as typed, the counts' integer parts, the
// locality trimmed, the garage and condition texts ("" when none), the flags "S"/"N", the three lists.
incroci::ValoriRichiesta valoriIncrocio(const DatiRichiesta &d);

// The listings query of "Mostra Incroci", line by line as the editor has always built it (the lists written into
// the text, then the criterion lines in the editor's order, "order by PREZZO"), with its parameters. The engine's
// request-to-listings function on valoriIncrocio() gives the same listings; this text is the reference. Empty
// (no lines) when a list is empty: "in ()" would not parse and nothing can match.
incroci::QueryIncroci queryIncrociRichiesta(const DatiRichiesta &d);
// Runs such a query: the ID_ANNUNCIO_IMMOBILE values in the order returned.
QVector<int> eseguiQueryIncroci(db::Transaction &tr, const incroci::QueryIncroci &query);
// The listing query's filter slot for these ids: "and ID_ANNUNCIO_IMMOBILE in (12,7)".
QString filtroAnnunciIncrociati(const QVector<int> &ids);

// ---- Lists read from the database ----

// One row of the property-type query: its macro type (upper-case plural) and the type.
struct RigaTipologia
{
    int idMacro = 0;
    QString gruppo;
    int idTipologia = 0;
    QString descrizione;
};
struct GruppoTipologie
{
    QString testo;
    QList<Voce> tipi;
};
// "select MT.id_macro_tipologia,upper(MT.descrizione_plurale) descrizione_plurale,TA.id_tipologia_immobile,..."
QList<RigaTipologia> leggiRigheTipologie(db::Transaction &tr);
// A new group each time the macro type differs from the previous row's, the types under the current group.
QList<GruppoTipologie> raggruppaTipologie(const QList<RigaTipologia> &righe);

// The locality suggestions of these municipalities (VIEW_LOCALITA), the first a single blank; none without
// municipalities.
QStringList leggiLocalitaComuni(db::Transaction &tr, const QVector<int> &comuni);
// The locality text kept after the suggestions change: emptied when its trimmed text is not empty and is not
// exactly one of the suggestions.
QString localitaVerificata(const QString &testo, const QStringList &suggerimenti);
// The source suggestions: a single blank, then the distinct FONTE values stored (missing ones left out).
QStringList leggiFonti(db::Transaction &tr);

// ---- Reading and saving ----

// The request with its link rows, as the editor shows it (prices as money, surfaces rounded, counts as stored,
// missing numbers 0, BOX_AUTO and CONDIZIONI as stored, "S" flags checked, only the kinds 1 to 3; municipalities
// in the order of entry). nullopt when the request does not exist.
std::optional<DatiRichiesta> leggiRichiesta(db::Transaction &tr, int idRichiesta);

// The two statements of the request row, as the program has always written them.
QString sqlInserimentoRichiesta();
QString sqlModificaRichiesta();

// Saves the request: d.idRichiesta 0 inserts a row with an id from GEN_RICHIESTE_ID, otherwise updates that row
// and deletes its three sets of link rows; then writes the link rows again and commits retaining. Returns the
// saved id. On a database error the statements already run are undone (a savepoint): nothing of this save is
// committed, the error goes on.
int salvaRichiesta(db::Transaction &tr, const DatiRichiesta &d);

} // namespace tavo
