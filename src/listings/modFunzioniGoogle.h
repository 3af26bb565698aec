#pragma once
// Map coordinates of an address, and the addresses of the map pages shown in the browser.
//
// CalcolaCoordinate turns a query text ("q=Via Roma 1 Milano") into a longitude and a latitude in
// integer millionths of a degree. Answers are cached in GOOGLE_MAPS under the query's fingerprint,
// so an address is asked of the map service only once; cached rows never expire.
//
// The map service is any HTTP service that answers GET <service>/maps?hl=it&f=q&<query>&mrt=loc
// with a page holding "latitude_e6=<integer>&" and "longitude_e6=<integer>&".
//
// Nothing here shows a dialog or a cursor: the caller does.

#include <QString>

namespace tavo::db {
class Database;
}

namespace tavo {

// Used when Setup.ini has no [Mappe] Servizio.
inline constexpr const char *kServizioMappePredefinito = "http://maps.google.it";
// How long the exchange with the map service may last.
inline constexpr int kTimeOutMappeMs = 120000;

// The configured service address with no trailing "/", or the default when it is empty.
QString indirizzoServizioMappe(const QString &configurato);

// SHA-1 of the Windows-1252 bytes of the query with the letters a-z upper-cased, as 40 upper-case
// hexadecimal digits. Queries that differ only in the case of letters share one fingerprint.
QString ImprontaQuery(const QString &query);

// The query with only the ASCII letters a-z upper-cased (accented letters are kept as they are).
QString MaiuscoleQuery(const QString &query);

// Reads the coordinates out of the service's answer. Lines are walked in order: a line with
// "latitude_e6=" sets the latitude (later lines overwrite it), a line with "longitude_e6=" sets the
// longitude and ends the walk; on a line with both, the latitude is read first. A value is the
// text after the marker up to the next "&", as an integer; 0 when it is not a number or no "&"
// follows. Both results start at 0. True when both are non-zero.
bool LeggiCoordinate(const QString &risposta, int *lon, int *lat);

struct RisultatoCoordinate
{
    bool ok = false;
    int longitudine = 0; // degrees x 1,000,000
    int latitudine = 0;
    QString errore; // empty on success
};

// The coordinates of the query, from the cache or from the map service at indirizzoServizio (empty:
// the default). The call is synchronous and lasts at most timeOutMs.
//  - cache hit: success with the cached values, the service is not asked;
//  - the service answers with both values: success, and the row is cached on a private
//    transaction (a failure to cache is ignored: the next call asks the service again);
//  - no usable values: failure, "Località non identificata" (the values read, if any, are kept);
//  - network or HTTP error: failure, both values 0, the error's text.
// A database error of the cache lookup is thrown as db::DbError.
RisultatoCoordinate CalcolaCoordinate(tavo::db::Database &db, const QString &query, const QString &indirizzoServizio,
                                      int timeOutMs = kTimeOutMappeMs);

// The query text sent to the service, as the listing editor builds it:
//   indirizzoPerMappa  address + " " + street number, trimmed; when empty, the trimmed locality
//   comunePerMappa     the municipality's text without its " (ZONA ...)" part
//   queryMappa         "q=" + municipality without an address, else "q=" + address + " " + municipality
QString indirizzoPerMappa(const QString &indirizzo, const QString &numCivico, const QString &localita);
QString comunePerMappa(const QString &testoComune);
QString queryMappa(const QString &indirizzo, const QString &comune);

// The service's search page for a query text: <service>/maps?hl=it&f=q&<query>&mrt=loc, where
// <service> is indirizzoServizioMappe(servizio), so the configured value may be passed as it is. The query
// is kept as it is except for the characters a URL cannot hold (blanks, controls, non-ASCII, and
// " # % < > \ ^ ` { | }), which are percent-encoded as UTF-8. The result is an encoded URL.
QString indirizzoRicerca(const QString &servizio, const QString &query);

// The page "Mostra in GoogleMaps" opens: the search page of the last query sent when there is one,
// else the map centred on the coordinates (degrees with five decimals, "." as separator):
// <service>/maps?hl=it&f=q&q=<lat>,<lon>&mrt=loc&z=16.
QString indirizzoMappa(const QString &servizio, const QString &queryMappa, int longitudine, int latitudine);

// A coordinate in millionths of a degree as degrees, "##0.00000" with "." (rounded half away from zero).
QString gradiMappa(int milionesimi);

} // namespace tavo
