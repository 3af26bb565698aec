#pragma once
// A loopback HTTP/1.1 server for tests of HTTP clients.
//
// It listens on 127.0.0.1 on a free port and runs its own event loop in a thread of its own, so a
// synchronous client in the test's thread (libcurl) and an asynchronous one (QNetworkAccessManager)
// can both talk to it. Every request is recorded. The answer to a request is, in order of
// precedence: the handler's (impostaGestore), the next scripted answer (accoda), the default one
// (impostaRispostaPredefinita; at first "404 Not Found"). An answer may be delayed, or replaced by
// dropping the connection or by holding it open with no answer. Each connection carries one
// exchange and is closed after the answer ("Connection: close").
//
// Destroying the server stops its thread at once: delayed answers and held connections are dropped,
// so a test ends by itself as long as its handler returns.

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QPair>
#include <QQueue>
#include <QString>
#include <QWaitCondition>

#include <functional>
#include <memory>

namespace tavo::test {

using IntestazioniHttp = QList<QPair<QByteArray, QByteArray>>;

struct RichiestaHttp
{
    QByteArray metodo;       // "GET"
    QByteArray destinazione; // the request target as sent: "/maps?hl=it&f=q&q=Roma&mrt=loc"
    QByteArray percorso;     // the target before "?"
    QByteArray query;        // the target after "?", not decoded; empty when there is none
    IntestazioniHttp intestazioni;
    QByteArray corpo; // after Content-Length or chunked decoding

    // The first header of that name (ignoring case); empty when absent.
    QByteArray intestazione(const QByteArray &nome) const;
};

struct RispostaHttp
{
    enum class Azione {
        Rispondi, // send the answer (after ritardoMs)
        Chiudi,   // close the connection without answering (after ritardoMs)
        Taci,     // keep the connection open and never answer
    };

    int stato = 200;
    QByteArray motivo;             // reason phrase; empty: the usual one for the status
    IntestazioniHttp intestazioni; // Content-Length and Connection are added unless given
    QByteArray corpo;
    int ritardoMs = 0;
    Azione azione = Azione::Rispondi;

    static RispostaHttp testo(const QByteArray &corpo, int stato = 200,
                              const QByteArray &tipo = QByteArrayLiteral("text/html; charset=UTF-8"));
    static RispostaHttp chiudi(int ritardoMs = 0);
    static RispostaHttp taci();
};

class ServerHttp
{
public:
    using Gestore = std::function<RispostaHttp(const RichiestaHttp &)>;

    ServerHttp(); // listening when constructed (fails the test binary when it cannot listen)
    ~ServerHttp();
    ServerHttp(const ServerHttp &) = delete;
    ServerHttp &operator=(const ServerHttp &) = delete;

    quint16 porta() const { return m_porta; }
    QString indirizzo() const; // "http://127.0.0.1:<port>"

    void accoda(const RispostaHttp &risposta);
    // Called in the server's thread; it must not block.
    void impostaGestore(Gestore gestore);
    void impostaRispostaPredefinita(const RispostaHttp &risposta);

    QList<RichiestaHttp> richieste() const;
    int numeroRichieste() const;
    // Waits until at least n requests were received; false when timeOutMs passed first.
    bool attendiRichieste(int n, int timeOutMs) const;
    // Forgets the requests received and the answers still queued.
    void azzera();

    // A loopback port with nobody listening on it (a connection to it is refused).
    static quint16 portaChiusa();

private:
    class Filo;
    friend class Filo;

    RispostaHttp rispostaPer(const RichiestaHttp &richiesta); // records the request, picks the answer

    mutable QMutex m_mutex;
    mutable QWaitCondition m_arrivata;
    QList<RichiestaHttp> m_richieste;
    QQueue<RispostaHttp> m_coda;
    Gestore m_gestore;
    RispostaHttp m_predefinita;
    quint16 m_porta = 0;
    std::unique_ptr<Filo> m_filo;
};

} // namespace tavo::test
