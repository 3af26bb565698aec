#pragma once
// The matching engine ("Incroci") as pure functions over plain values, with no database access.
//
// A match is a pair of a request (RICHIESTE) and a listing (ANNUNCI_IMMOBILI). The two directions are
// written separately and are not mirror images of each other:
//   - request -> listings: the request's values decide which lines are added to
//       "select distinct ID_ANNUNCIO_IMMOBILE from ANNUNCI_IMMOBILI where ELIMINATO='N' and ..."
//     and the listings' columns are compared by the server;
//   - listing -> requests: the listing's values decide which lines are added to
//       "select distinct ID_RICHIESTA from RICHIESTE R left join ... where ..."
//     and the requests' columns are compared by the server.
// This file answers both questions in memory, with the server's own semantics:
//   - NULL compared with anything is not true;
//   - texts are compared as Firebird compares VARCHARs in the WIN1252 character set: byte for byte,
//     after padding the shorter one with blanks (so trailing blanks never count: 'a' = 'a  ', '' = ' ');
//   - numbers are compared as doubles (DOUBLE PRECISION columns, or integer parameters against them),
//     integers against integers;
//   - on the side whose values build the query, a missing (NULL) number is read as 0 ("no line added"),
//     a missing text as the empty one, as the program reads them into parameters;
//   - listing room and bathroom counts become integer parameters rounded half to even.
// The results are those of the queries row for row: listings of a request sorted by price (NULL prices
// first, as Firebird sorts ascending), ties broken by listing id; requests of a listing by ascending id.
//
// IndiceAnnunci and IndiceRichieste index all listings (all requests) by municipality, property type and
// listing kind, so that a search touches only the candidates of its own combinations.

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVariant>
#include <QVector>

#include <optional>
#include <unordered_map>
#include <vector>

namespace tavo::incroci {

using TestoN = std::optional<QString>; // NULL is std::nullopt; '' is an empty QString
using RealeN = std::optional<double>;
using InteroN = std::optional<int>;

// What a request asks for: its stored columns (or the values on the request editor's screen) and its
// municipalities, property types and listing kinds (the rows of its three link tables, in any order,
// repetitions allowed).
struct ValoriRichiesta
{
    int idRichiesta = 0;
    RealeN prezzoMin, prezzoMax, mqMin, mqMax;
    InteroN nrLocaliMin, nrLocaliMax, nrServiziMin, nrServiziMax, nrCamereMin, nrCamereMax;
    TestoN localita, boxAuto, balcone, terrazzo, cantina, giardino, spazioAperto, ascensore, condizionatore,
        condizioni;
    QVector<int> comuni, tipiImmobile, tipiAnnuncio;
};

// What a listing offers: its stored columns (or the values on the listing editor's screen).
struct ValoriAnnuncio
{
    int idAnnuncio = 0;
    int idComune = 0, idTipologiaImmobile = 0, idTipologiaAnnuncio = 0;
    RealeN prezzo, mq, nrLocali, nrServizi;
    InteroN nrCamere;
    TestoN localita, boxAuto, balcone, terrazzo, cantina, giardino, condizioni, ascensore, condizionatore,
        eliminato;
};

// ---- Helpers shared with the per-row reference ----

// Trim as the program's text routines do: characters up to the blank (controls included) at both ends.
QString trimmed(const QString &text);
// The text Firebird compares: trailing blanks removed.
QString chiaveConfronto(const QString &text);
// A float passed as an integer parameter: nearest integer, halves to the even one (2.5 -> 2, 3.5 -> 4),
// clamped to the integer range.
int arrotondaPari(double value);

// ---- Text dictionary: equal texts (for Firebird) share a code ----

class Dizionario
{
public:
    static constexpr int Nullo = -1;   // NULL: equal to nothing
    static constexpr int Assente = -2; // a parameter text no stored value has: equal to nothing stored
    int aggiungi(const TestoN &text);  // code of a stored value (added when new)
    int cerca(const QString &text) const; // code of a parameter, Assente when no stored value has it
    int cerca(const char *latin1) const { return cerca(QString::fromLatin1(latin1)); }

private:
    QHash<QString, int> m_codici;
};

// ---- request -> listings ----

class IndiceAnnunci
{
public:
    IndiceAnnunci() = default;
    explicit IndiceAnnunci(const std::vector<ValoriAnnuncio> &annunci);

    // Ids of the listings that the request-to-listings query returns for this request.
    QVector<int> cerca(const ValoriRichiesta &richiesta) const;
    int size() const { return int(m_annunci.size()); }

    // A listing as the request-to-listings lines see it. A missing number is NaN: no comparison accepts it, as
    // none accepts Firebird's NULL, and the "or X is null" of the lines is written as "not below the bound".
    struct Annuncio
    {
        int id = 0;
        double prezzo = 0, mq = 0, nrLocali = 0, nrServizi = 0, nrCamere = 0;
        int localita = Dizionario::Nullo, boxAuto = Dizionario::Nullo, balcone = Dizionario::Nullo,
            terrazzo = Dizionario::Nullo, cantina = Dizionario::Nullo, giardino = Dizionario::Nullo,
            condizioni = Dizionario::Nullo, ascensore = Dizionario::Nullo, condizionatore = Dizionario::Nullo;
        bool eliminatoN = false;
    };

private:
    struct Chiave
    {
        int comune, tipoImmobile, tipoAnnuncio;
        bool operator==(const Chiave &o) const
        {
            return comune == o.comune && tipoImmobile == o.tipoImmobile && tipoAnnuncio == o.tipoAnnuncio;
        }
    };
    struct HashChiave
    {
        size_t operator()(const Chiave &k) const;
    };

    Dizionario m_diz;
    std::vector<Annuncio> m_annunci; // in the order of the price sort; the position is the rank
    std::unordered_map<Chiave, std::vector<int>, HashChiave> m_gruppi; // positions, ascending
};

// ---- listing -> requests ----

class IndiceRichieste
{
public:
    IndiceRichieste() = default;
    explicit IndiceRichieste(const std::vector<ValoriRichiesta> &richieste);

    // Ids of the requests that the listing-to-requests query returns for this listing, ascending.
    QVector<int> cerca(const ValoriAnnuncio &annuncio) const;
    int size() const { return int(m_richieste.size()); }

    // A request as the listing-to-requests lines see it: its ten bounds (NaN for NULL, which fails every
    // comparison, "= 0" included, as NULL does) and its texts as dictionary codes.
    struct Richiesta
    {
        enum { PrezzoMin, PrezzoMax, MqMin, MqMax, LocaliMin, LocaliMax, ServiziMin, ServiziMax, CamereMin, CamereMax };
        int id = 0;
        double limiti[10] = {};
        int localita = Dizionario::Nullo, boxAuto = Dizionario::Nullo, balcone = Dizionario::Nullo,
            terrazzo = Dizionario::Nullo, cantina = Dizionario::Nullo, giardino = Dizionario::Nullo,
            spazioAperto = Dizionario::Nullo, ascensore = Dizionario::Nullo, condizionatore = Dizionario::Nullo,
            condizioni = Dizionario::Nullo;
    };

private:
    struct Chiave
    {
        int comune, tipoImmobile, tipoAnnuncio;
        bool operator==(const Chiave &o) const
        {
            return comune == o.comune && tipoImmobile == o.tipoImmobile && tipoAnnuncio == o.tipoAnnuncio;
        }
    };
    struct HashChiave
    {
        size_t operator()(const Chiave &k) const;
    };

    Dizionario m_diz;
    std::vector<Richiesta> m_richieste; // ascending id
    std::unordered_map<Chiave, std::vector<int>, HashChiave> m_gruppi; // positions, ascending
};

// ---- Send statistics ----

struct Invii
{
    int nInvii = 0;         // distinct listings (requests) sent
    QVariant dataUltInvio;  // QDateTime of the last send; invalid when none or zero
};

// The program's "zero" moment (30/12/1899 00:00), which counts as no date.
bool dataZero(const QDateTime &value);

} // namespace tavo::incroci
