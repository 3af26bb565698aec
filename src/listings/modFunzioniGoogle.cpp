#include "listings/modFunzioniGoogle.h"

#include "app/core/clock.h"
#include "data/database.h"
#include "data/testo/win1252.h"
#include "tavo_version.h"

#include <QCryptographicHash>
#include <QRegularExpression>

#include <curl/curl.h>

#include <memory>
#include <mutex>

namespace tavo {

namespace {

// A page larger than this is not a map page: the exchange is stopped rather than filling memory.
constexpr qsizetype kMassimaRisposta = 32 * 1024 * 1024;

void inizializzaCurl()
{
    static std::once_flag fatto;
    std::call_once(fatto, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlDeleter
{
    void operator()(CURL *h) const { curl_easy_cleanup(h); }
};
using CurlPtr = std::unique_ptr<CURL, CurlDeleter>;

struct Ricezione
{
    QByteArray corpo;
    QByteArray motivo; // reason phrase of the last status line (the last one after redirects)
    bool troppoGrande = false;
};

size_t scriviCorpo(char *dati, size_t size, size_t n, void *utente)
{
    auto *r = static_cast<Ricezione *>(utente);
    const size_t byte = size * n;
    if (r->corpo.size() + qsizetype(byte) > kMassimaRisposta) {
        r->troppoGrande = true;
        return 0; // makes libcurl stop with CURLE_WRITE_ERROR
    }
    r->corpo.append(dati, qsizetype(byte));
    return byte;
}

size_t leggiIntestazione(char *dati, size_t size, size_t n, void *utente)
{
    auto *r = static_cast<Ricezione *>(utente);
    const QByteArray riga = QByteArray(dati, qsizetype(size * n)).trimmed();
    if (riga.startsWith("HTTP/")) {
        // "HTTP/1.1 500 Internal Server Error": the reason is what follows the code.
        const QList<QByteArray> parti = riga.split(' ');
        r->motivo = parti.size() > 2 ? riga.mid(parti.at(0).size() + parti.at(1).size() + 2).trimmed() : QByteArray();
    }
    return size * n;
}

struct Scambio
{
    bool ok = false;
    QByteArray corpo;
    QString errore;
};

// One GET, answered with the whole body, or the error's text.
Scambio scaricaPagina(const QString &indirizzo, int timeOutMs)
{
    inizializzaCurl();
    Scambio s;
    // The buffers outlive the handle that writes into them.
    char bufferErrore[CURL_ERROR_SIZE] = {};
    Ricezione ricezione;
    const QByteArray url = indirizzo.toLatin1(); // already encoded: plain ASCII
    CurlPtr curl(curl_easy_init());
    if (!curl) {
        s.errore = QStringLiteral("Errore di rete: impossibile preparare la richiesta");
        return s;
    }
    CURL *h = curl.get();
    curl_easy_setopt(h, CURLOPT_URL, url.constData());
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, bufferErrore);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    // Direct connection: no proxy, not even one named by the environment.
    curl_easy_setopt(h, CURLOPT_PROXY, "");
    // HTTP/1.1 keeps the connection alive; TCP keep-alive guards the long wait for the answer.
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, long(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(h, CURLOPT_TCP_KEEPALIVE, 1L);
#if LIBCURL_VERSION_NUM >= 0x073E00
    curl_easy_setopt(h, CURLOPT_UPLOAD_BUFFERSIZE, 32768L);
#endif
    // The time-out bounds the whole exchange, so the window never waits longer than that.
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, long(timeOutMs));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, long(timeOutMs));
    // Only HTTP(S), also across redirects: the address comes from a text file.
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
#else
    curl_easy_setopt(h, CURLOPT_PROTOCOLS, long(CURLPROTO_HTTP | CURLPROTO_HTTPS));
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS, long(CURLPROTO_HTTP | CURLPROTO_HTTPS));
#endif
    // A moved page is followed, as browsers and the system's HTTP client do.
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(h, CURLOPT_USERAGENT, "Tavo/" TAVO_FILE_VERSION);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, scriviCorpo);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &ricezione);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, leggiIntestazione);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &ricezione);

    const CURLcode esito = curl_easy_perform(h);
    if (ricezione.troppoGrande) {
        s.errore = QStringLiteral("La risposta del servizio delle mappe supera i %1 MB").arg(kMassimaRisposta >> 20);
        return s;
    }
    if (esito != CURLE_OK) {
        const QString testo = bufferErrore[0] ? QString::fromLocal8Bit(bufferErrore).trimmed()
                                              : QString::fromLatin1(curl_easy_strerror(esito));
        s.errore = QStringLiteral("Errore di rete: ") + testo;
        return s;
    }
    long stato = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &stato);
    if (stato >= 400) {
        s.errore = QStringLiteral("Il servizio delle mappe ha risposto con l'errore HTTP %1").arg(stato);
        if (!ricezione.motivo.isEmpty())
            s.errore += QStringLiteral(" (%1)").arg(QString::fromLatin1(ricezione.motivo));
        return s;
    }
    s.ok = true;
    s.corpo = std::move(ricezione.corpo);
    return s;
}

// The integer after marker on riga, up to the next "&"; 0 when unreadable or not closed by "&".
int valoreDopo(const QString &riga, const QString &marker)
{
    const qsizetype inizio = riga.indexOf(marker) + marker.size();
    const qsizetype fine = riga.indexOf(QLatin1Char('&'), inizio);
    if (fine < 0)
        return 0;
    bool ok = false;
    const int v = riga.mid(inizio, fine - inizio).toInt(&ok);
    return ok ? v : 0;
}

// Characters kept as they are in the query: printable ASCII except those a URL cannot hold.
bool daCodificare(unsigned char c)
{
    if (c <= 0x20 || c >= 0x7F)
        return true;
    static const char kVietati[] = "\"#%<>\\^`{|}";
    for (const char *p = kVietati; *p; ++p)
        if (*p == char(c))
            return true;
    return false;
}

QString codificaQuery(const QString &query)
{
    static const char kEsa[] = "0123456789ABCDEF";
    QString out;
    const QByteArray byte = query.toUtf8();
    out.reserve(byte.size());
    for (const char ch : byte) {
        const auto c = static_cast<unsigned char>(ch);
        if (daCodificare(c)) {
            out += QLatin1Char('%');
            out += QLatin1Char(kEsa[c >> 4]);
            out += QLatin1Char(kEsa[c & 0x0F]);
        } else {
            out += QLatin1Char(ch);
        }
    }
    return out;
}

} // namespace

QString indirizzoServizioMappe(const QString &configurato)
{
    QString s = configurato.trimmed();
    while (s.endsWith(QLatin1Char('/')))
        s.chop(1);
    return s.isEmpty() ? QString::fromLatin1(kServizioMappePredefinito) : s;
}

QString MaiuscoleQuery(const QString &query)
{
    QString s = query;
    for (QChar &c : s)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return s;
}

QString ImprontaQuery(const QString &query)
{
    const QByteArray digest = QCryptographicHash::hash(toWin1252(MaiuscoleQuery(query)), QCryptographicHash::Sha1);
    return QString::fromLatin1(digest.toHex()).toUpper();
}

bool LeggiCoordinate(const QString &risposta, int *lon, int *lat)
{
    static const QString kLatitudine = QStringLiteral("latitude_e6=");
    static const QString kLongitudine = QStringLiteral("longitude_e6=");
    static const QRegularExpression kFineRiga(QStringLiteral("\r\n|\r|\n"));
    *lon = 0;
    *lat = 0;
    const QStringList righe = risposta.split(kFineRiga);
    for (const QString &riga : righe) {
        if (riga.contains(kLatitudine))
            *lat = valoreDopo(riga, kLatitudine);
        if (riga.contains(kLongitudine)) {
            *lon = valoreDopo(riga, kLongitudine);
            break;
        }
    }
    return *lon != 0 && *lat != 0;
}

RisultatoCoordinate CalcolaCoordinate(db::Database &db, const QString &query, const QString &indirizzoServizio,
                                      int timeOutMs)
{
    RisultatoCoordinate r;
    const QString impronta = ImprontaQuery(query);

    // A private transaction (IBTransactionAgg): the cache row outlives the listing editor's own
    // transaction, whether or not the listing is saved. Its destructor rolls back what is left.
    db::Transaction IBTransactionAgg(db);
    IBTransactionAgg.start();
    {
        db::Query cerca(IBTransactionAgg,
                        QStringLiteral("select COORD_LONG,COORD_LAT,DATA from GOOGLE_MAPS where IMPRONTA=:IMPRONTA"));
        cerca.setParam(QStringLiteral("IMPRONTA"), impronta);
        if (cerca.first()) {
            r.ok = true;
            r.longitudine = cerca.integer(QStringLiteral("COORD_LONG"));
            r.latitudine = cerca.integer(QStringLiteral("COORD_LAT"));
            return r;
        }
    }

    const Scambio scambio = scaricaPagina(indirizzoRicerca(indirizzoServizio, query), timeOutMs);
    if (!scambio.ok) {
        r.errore = scambio.errore;
        return r;
    }
    if (!LeggiCoordinate(QString::fromLatin1(scambio.corpo), &r.longitudine, &r.latitudine)) {
        r.errore = QStringLiteral("Località non identificata");
        return r;
    }
    r.ok = true;

    // The cache only saves a later request: failing to write it (another seat caching the same
    // address at the same moment, a lost connection) must not lose the coordinates just found.
    try {
        db::Query inserisci(IBTransactionAgg,
                            QStringLiteral("insert into GOOGLE_MAPS (IMPRONTA,QUERY,COORD_LONG,COORD_LAT,DATA) values "
                                           "(:IMPRONTA,:QUERY,:COORD_LONG,:COORD_LAT,:DATA)"));
        inserisci.setParam(QStringLiteral("IMPRONTA"), impronta);
        // QUERY is VARCHAR(1024) and only informative: a longer query is still cached by its fingerprint.
        inserisci.setParam(QStringLiteral("QUERY"), MaiuscoleQuery(query).left(1024));
        inserisci.setParam(QStringLiteral("COORD_LONG"), r.longitudine);
        inserisci.setParam(QStringLiteral("COORD_LAT"), r.latitudine);
        inserisci.setParam(QStringLiteral("DATA"), Clock::now());
        inserisci.exec();
        IBTransactionAgg.commit();
    } catch (const db::DbError &) {
        try {
            IBTransactionAgg.rollback();
        } catch (const db::DbError &) {
        }
    }
    return r;
}

QString indirizzoPerMappa(const QString &indirizzo, const QString &numCivico, const QString &localita)
{
    const QString s = (indirizzo + QLatin1Char(' ') + numCivico).trimmed();
    return s.isEmpty() ? localita.trimmed() : s;
}

QString comunePerMappa(const QString &testoComune)
{
    const qsizetype zona = testoComune.indexOf(QLatin1String("(ZONA"));
    if (zona < 0)
        return testoComune;
    QString s = testoComune.left(zona);
    while (s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    return s;
}

QString queryMappa(const QString &indirizzo, const QString &comune)
{
    return indirizzo.isEmpty() ? QStringLiteral("q=") + comune
                               : QStringLiteral("q=") + indirizzo + QLatin1Char(' ') + comune;
}

QString indirizzoRicerca(const QString &servizio, const QString &query)
{
    return indirizzoServizioMappe(servizio) + QStringLiteral("/maps?hl=it&f=q&") + codificaQuery(query) +
           QStringLiteral("&mrt=loc");
}

QString gradiMappa(int milionesimi)
{
    // Integer arithmetic: the five decimals are exact, with no binary rounding of the division.
    const qint64 assoluto = milionesimi < 0 ? -qint64(milionesimi) : qint64(milionesimi);
    const qint64 centomillesimi = (assoluto + 5) / 10;
    QString s = QString::number(centomillesimi / 100000) + QLatin1Char('.') +
                QString::number(centomillesimi % 100000).rightJustified(5, QLatin1Char('0'));
    if (milionesimi < 0 && centomillesimi != 0)
        s.prepend(QLatin1Char('-'));
    return s;
}

QString indirizzoMappa(const QString &servizio, const QString &queryMappa, int longitudine, int latitudine)
{
    if (!queryMappa.isEmpty())
        return indirizzoRicerca(servizio, queryMappa);
    return indirizzoServizioMappe(servizio) + QStringLiteral("/maps?hl=it&f=q&q=") + gradiMappa(latitudine) +
           QLatin1Char(',') + gradiMappa(longitudine) + QStringLiteral("&mrt=loc&z=16");
}

} // namespace tavo
