#pragma once
// The request search's logic without widgets: the values of its filter panel and the filter expression they give
// on MemTableRichieste (in the language of data/memtable/filterexpression.h), the preset periods of "Date Predef.",
// and what the search reads and writes in the database (its two filter lists, the deletion of a request).
//
// Expression: one term per set control, joined by " and ", in the panel's order:
//   client                  ID_CLIENTE=<id>
//   start date              DATA_ULT_MODIFICA>='YYYY/MM/DD'
//   end date                DATA_ULT_MODIFICA<='YYYY/MM/DD 23.59.59'
//   municipality            the request's list COMUNI ("A, B, C") holds the name as one of its entries; the name is
//                           quoted with every "'" doubled (see espressioneComune)
//   minimum / maximum price PREZZO_MIN>=<integer part>, PREZZO_MAX<=<integer part>; 0 sets no bound
//
// Database functions run on the caller's transaction (the screen's own); errors go on as db::DbError.

#include "data/database.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace tavo {

struct ParametriFiltroRichieste
{
    int idCliente = 0; // 0: no client selected
    QDate dataInizio;  // invalid: no bound
    QDate dataFine;
    QString comune; // empty: no municipality
    double prezzoMin = 0;
    double prezzoMax = 0;

    bool operator==(const ParametriFiltroRichieste &o) const;
    bool operator!=(const ParametriFiltroRichieste &o) const { return !(*this == o); }
};

// The filter expression of the panel's values ("" when nothing is set).
QString espressioneFiltroRichieste(const ParametriFiltroRichieste &p);

// The municipality term alone. COMUNI joins the names with ", ", so the name is looked for as a whole entry (alone,
// first, last or in between): "ROMA" keeps "MILANO, ROMA" but not "ROMANO DI LOMBARDIA", and "ESTE" not "TRIESTE".
QString espressioneComune(const QString &comune);

// The entries of the "Date Predef." menu, in menu order.
enum class PeriodoPredefinito { UltimaSettimana, UltimoMese, Ultimi2Mesi, Ultimi3Mesi, Ultimi6Mesi, UltimoAnno };
QList<PeriodoPredefinito> periodiPredefiniti();
QString testoPeriodo(PeriodoPredefinito periodo);
// The start of a preset period ending today: 7 days back, or 1, 2, 3, 6, 12 months back on the same day of the month,
// moved to the month's last day when that month is shorter (31 March minus 1 month is 28 or 29 February).
QDate inizioPeriodo(PeriodoPredefinito periodo, const QDate &oggi);

// An entry of the client filter list.
struct ClienteRichieste
{
    int idCliente = 0;
    QString testo; // DESCR, else EMAIL, else the three phones joined by blanks, trimmed
};

// The clients that have at least one request, by DESCR: "select distinct R.ID_CLIENTE,C.DESCR,C.EMAIL,C.TELEFONO1,
// C.TELEFONO2,C.TELEFONO3 from RICHIESTE R join CLIENTI C on C.ID_CLIENTE=R.ID_CLIENTE order by C.DESCR".
QList<ClienteRichieste> caricaClientiRichieste(db::Transaction &tr);
// The names of the municipalities used by at least one request: "select distinct NOME from RICHIESTE_COMUNI RC join
// COMUNI C on C.id_comune=RC.id_comune order by NOME".
QStringList caricaComuniRichieste(db::Transaction &tr);

// "delete from RICHIESTE where ID_RICHIESTA=:ID_RICHIESTA", then commit retaining. Only this statement runs: the
// request's link rows, sends and appointments are left to the database's own rules.
void eliminaRichiesta(db::Transaction &tr, int idRichiesta);

} // namespace tavo
