#include "serverhttp.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

namespace tavo::test {

namespace {

// Requests are small: a larger head is refused rather than buffered without end.
constexpr qsizetype kMassimaTestata = 1024 * 1024;

enum class Lettura { Incompleta, Completa, Errata };

QByteArray valoreIntestazione(const IntestazioniHttp &intestazioni, const QByteArray &nome)
{
    for (const auto &i : intestazioni)
        if (i.first.compare(nome, Qt::CaseInsensitive) == 0)
            return i.second;
    return QByteArray();
}

// Decodes a chunked body starting at inizio; Incompleta until the last chunk has arrived.
Lettura leggiABlocchi(const QByteArray &dati, qsizetype inizio, QByteArray *corpo)
{
    QByteArray out;
    qsizetype pos = inizio;
    for (;;) {
        const qsizetype fineRiga = dati.indexOf("\r\n", pos);
        if (fineRiga < 0)
            return Lettura::Incompleta;
        bool ok = false;
        const qsizetype dimensione = dati.mid(pos, fineRiga - pos).split(';').first().trimmed().toLongLong(&ok, 16);
        if (!ok || dimensione < 0)
            return Lettura::Errata;
        pos = fineRiga + 2;
        if (dimensione == 0) {
            // The last chunk: then an empty line, or trailer lines ended by an empty line.
            const bool finito = dati.mid(pos, 2) == "\r\n" || dati.indexOf("\r\n\r\n", pos) >= 0;
            if (!finito)
                return Lettura::Incompleta;
            *corpo = out;
            return Lettura::Completa;
        }
        if (dati.size() < pos + dimensione + 2)
            return Lettura::Incompleta;
        out += dati.mid(pos, dimensione);
        pos += dimensione + 2;
    }
}

// Reads one request out of what arrived so far. When only the body is missing, *r already holds the
// head (so the caller can see an "Expect: 100-continue").
Lettura leggiRichiesta(const QByteArray &dati, RichiestaHttp *r)
{
    const qsizetype fineTestata = dati.indexOf("\r\n\r\n");
    if (fineTestata < 0)
        return dati.size() > kMassimaTestata ? Lettura::Errata : Lettura::Incompleta;
    const QList<QByteArray> righe = dati.left(fineTestata).split('\n');
    const QList<QByteArray> prima = righe.first().trimmed().split(' ');
    if (prima.size() != 3)
        return Lettura::Errata;
    RichiestaHttp nuova;
    nuova.metodo = prima.at(0);
    nuova.destinazione = prima.at(1);
    const qsizetype domanda = nuova.destinazione.indexOf('?');
    nuova.percorso = domanda < 0 ? nuova.destinazione : nuova.destinazione.left(domanda);
    nuova.query = domanda < 0 ? QByteArray() : nuova.destinazione.mid(domanda + 1);
    for (qsizetype i = 1; i < righe.size(); ++i) {
        const QByteArray riga = righe.at(i).trimmed();
        const qsizetype dp = riga.indexOf(':');
        if (dp > 0)
            nuova.intestazioni.append({riga.left(dp).trimmed(), riga.mid(dp + 1).trimmed()});
    }
    *r = nuova;
    const qsizetype inizioCorpo = fineTestata + 4;
    if (r->intestazione("Transfer-Encoding").toLower().contains("chunked"))
        return leggiABlocchi(dati, inizioCorpo, &r->corpo);
    const QByteArray lunghezza = r->intestazione("Content-Length");
    bool ok = true;
    const qsizetype attesa = lunghezza.isEmpty() ? 0 : lunghezza.toLongLong(&ok);
    if (!ok || attesa < 0)
        return Lettura::Errata;
    if (dati.size() - inizioCorpo < attesa)
        return Lettura::Incompleta;
    r->corpo = dati.mid(inizioCorpo, attesa);
    return Lettura::Completa;
}

QByteArray motivoPredefinito(int stato)
{
    switch (stato) {
    case 100:
        return "Continue";
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

QByteArray componiRisposta(const RispostaHttp &r)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(r.stato) + ' ' +
                     (r.motivo.isEmpty() ? motivoPredefinito(r.stato) : r.motivo) + "\r\n";
    for (const auto &i : r.intestazioni)
        out += i.first + ": " + i.second + "\r\n";
    if (valoreIntestazione(r.intestazioni, "Content-Length").isEmpty() &&
        valoreIntestazione(r.intestazioni, "Transfer-Encoding").isEmpty())
        out += "Content-Length: " + QByteArray::number(r.corpo.size()) + "\r\n";
    if (valoreIntestazione(r.intestazioni, "Connection").isEmpty())
        out += "Connection: close\r\n";
    out += "\r\n";
    out += r.corpo;
    return out;
}

} // namespace

QByteArray RichiestaHttp::intestazione(const QByteArray &nome) const
{
    return valoreIntestazione(intestazioni, nome);
}

RispostaHttp RispostaHttp::testo(const QByteArray &corpo, int stato, const QByteArray &tipo)
{
    RispostaHttp r;
    r.stato = stato;
    r.corpo = corpo;
    r.intestazioni.append({"Content-Type", tipo});
    return r;
}

RispostaHttp RispostaHttp::chiudi(int ritardoMs)
{
    RispostaHttp r;
    r.azione = Azione::Chiudi;
    r.ritardoMs = ritardoMs;
    return r;
}

RispostaHttp RispostaHttp::taci()
{
    RispostaHttp r;
    r.azione = Azione::Taci;
    return r;
}

// The server's thread: every socket lives and dies in it, within run().
class ServerHttp::Filo : public QThread
{
public:
    explicit Filo(ServerHttp &server) : m_server(server) {}

    quint16 avvia()
    {
        start();
        m_pronto.acquire();
        return m_porta;
    }

protected:
    void run() override
    {
        QTcpServer ascolto;
        if (ascolto.listen(QHostAddress::LocalHost, 0))
            m_porta = ascolto.serverPort();
        QObject::connect(&ascolto, &QTcpServer::newConnection, &ascolto, [this, &ascolto] {
            while (QTcpSocket *s = ascolto.nextPendingConnection())
                segui(s);
        });
        m_pronto.release();
        if (m_porta != 0)
            exec();
        // The sockets are children of the server: they close here, in their own thread.
    }

private:
    struct Stato
    {
        QByteArray dati;
        bool continuaInviato = false;
        bool letta = false;
    };

    void segui(QTcpSocket *s)
    {
        auto stato = std::make_shared<Stato>();
        QObject::connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, stato] {
            stato->dati += s->readAll();
            if (stato->letta)
                return;
            RichiestaHttp richiesta;
            switch (leggiRichiesta(stato->dati, &richiesta)) {
            case Lettura::Incompleta:
                if (!stato->continuaInviato &&
                    richiesta.intestazione("Expect").compare("100-continue", Qt::CaseInsensitive) == 0) {
                    stato->continuaInviato = true;
                    s->write("HTTP/1.1 100 Continue\r\n\r\n");
                }
                return;
            case Lettura::Errata:
                stato->letta = true;
                s->write(componiRisposta(RispostaHttp::testo("bad request", 400, "text/plain")));
                s->disconnectFromHost();
                return;
            case Lettura::Completa:
                stato->letta = true;
                rispondi(s, m_server.rispostaPer(richiesta));
                return;
            }
        });
    }

    static void rispondi(QTcpSocket *s, const RispostaHttp &r)
    {
        if (r.azione == RispostaHttp::Azione::Taci)
            return;
        auto agisci = [s, r] {
            if (s->state() != QAbstractSocket::ConnectedState)
                return;
            if (r.azione == RispostaHttp::Azione::Chiudi) {
                s->abort();
                s->deleteLater();
                return;
            }
            s->write(componiRisposta(r));
            s->disconnectFromHost(); // after the pending bytes are written
        };
        if (r.ritardoMs > 0)
            QTimer::singleShot(r.ritardoMs, s, agisci); // dropped with the socket
        else
            agisci();
    }

    ServerHttp &m_server;
    QSemaphore m_pronto;
    quint16 m_porta = 0;
};

ServerHttp::ServerHttp()
{
    m_predefinita = RispostaHttp::testo("not found", 404, "text/plain");
    m_filo = std::make_unique<Filo>(*this);
    m_porta = m_filo->avvia();
    if (m_porta == 0)
        qFatal("ServerHttp: cannot listen on 127.0.0.1");
}

ServerHttp::~ServerHttp()
{
    m_filo->quit();
    m_filo->wait();
}

QString ServerHttp::indirizzo() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_porta);
}

void ServerHttp::accoda(const RispostaHttp &risposta)
{
    QMutexLocker lock(&m_mutex);
    m_coda.enqueue(risposta);
}

void ServerHttp::impostaGestore(Gestore gestore)
{
    QMutexLocker lock(&m_mutex);
    m_gestore = std::move(gestore);
}

void ServerHttp::impostaRispostaPredefinita(const RispostaHttp &risposta)
{
    QMutexLocker lock(&m_mutex);
    m_predefinita = risposta;
}

QList<RichiestaHttp> ServerHttp::richieste() const
{
    QMutexLocker lock(&m_mutex);
    return m_richieste;
}

int ServerHttp::numeroRichieste() const
{
    QMutexLocker lock(&m_mutex);
    return int(m_richieste.size());
}

bool ServerHttp::attendiRichieste(int n, int timeOutMs) const
{
    QDeadlineTimer scadenza(timeOutMs);
    QMutexLocker lock(&m_mutex);
    while (m_richieste.size() < n)
        if (!m_arrivata.wait(&m_mutex, scadenza))
            return m_richieste.size() >= n;
    return true;
}

void ServerHttp::azzera()
{
    QMutexLocker lock(&m_mutex);
    m_richieste.clear();
    m_coda.clear();
}

RispostaHttp ServerHttp::rispostaPer(const RichiestaHttp &richiesta)
{
    Gestore gestore;
    {
        QMutexLocker lock(&m_mutex);
        m_richieste.append(richiesta);
        m_arrivata.wakeAll();
        if (!m_gestore) {
            return m_coda.isEmpty() ? m_predefinita : m_coda.dequeue();
        }
        gestore = m_gestore;
    }
    // Outside the lock: the handler may look at the server.
    return gestore(richiesta);
}

quint16 ServerHttp::portaChiusa()
{
    QTcpServer libero;
    if (!libero.listen(QHostAddress::LocalHost, 0))
        qFatal("ServerHttp: cannot find a free loopback port");
    const quint16 porta = libero.serverPort();
    libero.close();
    return porta;
}

} // namespace tavo::test
