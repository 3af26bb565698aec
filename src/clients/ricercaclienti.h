#pragma once
// The client search's rules, without widgets: the three-line query on CLIENTI with its filter line and
// parameters, the sort line, the list model the grid shows, the counts and the deletion, the options the
// screen reads, the texts of the deletion questions, and the recipients handed to the mail program (e-mail,
// e-mail-to-SMS gateway) or to the SMS screen.
//
// Everything runs on the caller's transaction (the screen's own); database failures throw tavo::db::DbError.

#include "clients/elencoclienti.h"
#include "data/database.h"

#include <QList>
#include <QStringList>
#include <QVector>

namespace tavo {

// ---- Filter and sort ------------------------------------------------------------------------------------------

// The filter panel's values. A text filter is active when its text is not empty (blanks count).
struct FiltriRicercaClienti
{
    enum Proprietari { SoloProprietari = 0, NonProprietari = 1, Tutti = 2 };

    QString descr;
    QString telefono;
    QString email;
    QString indirizzo;
    QString citta;
    QString referente;
    int proprietari = Tutti;

    bool operator==(const FiltriRicercaClienti &o) const;
};

// One bound parameter of the filter line.
struct ParametroFiltroClienti
{
    QString nome;   // without the colon
    QString valore; // "%" + text + "%", or text + "%" for the phone
};

// The query's three lines: "select * from CLIENTI", the filter line, the sort line.
QString rigaSelezioneClienti();
// "where " + the active conditions joined with " and " (order: description, phone, e-mail, address, city,
// contact person, owner), or an empty line when no filter is active.
QString rigaFiltroClienti(const FiltriRicercaClienti &f);
// The parameters of the active text conditions, in the same order.
QList<ParametroFiltroClienti> parametriFiltroClienti(const FiltriRicercaClienti &f);
// "order by ID_CLIENTE" (stato 0 or no column), "order by " + colonna (1), "order by " + colonna + " desc" (2).
// colonna must be one of TModelloRicercaClienti::Campi() (checked by the caller: it becomes SQL text).
QString rigaOrdineClienti(const QString &colonna, int stato);
// The whole statement as lines.
QStringList sqlRicercaClienti(const FiltriRicercaClienti &f, const QString &colonna, int stato);

// ---- The list model -------------------------------------------------------------------------------------------

// The rows of the query as the grid DBGridClienti shows them: the columns and owners' colours of every client list
// (elencoclienti.h), with the search's titles. The model never sorts itself: the database does.
//
// Rows are read from the open cursor as they are needed, a block at a time (the grid asks for more when it is
// scrolled to its end), so that a large agency's list opens and refilters at once. Whoever walks or exports the
// whole list reads the rest first (caricaTutto). The cursor belongs to the caller's query, which must outlive the
// model or be released with Chiudi() first.
class TModelloRicercaClienti : public TModelloElencoClienti
{
    Q_OBJECT
public:
    // Rows read at a time.
    static constexpr int Blocco = 100;

    explicit TModelloRicercaClienti(QObject *parent = nullptr);

    static QStringList Titoli();

    // Runs the statement (lines and parameters) on q and reads its first block of rows; the model is reset once,
    // and only when the statement succeeded (a failure leaves the rows read so far, with no more to come, and
    // throws).
    void Apri(db::Query &q, const QStringList &sql, const QList<ParametroFiltroClienti> &parametri);
    // No rows, and the cursor closed.
    void Chiudi();
    // Reads every row not read yet. Throws db::DbError (the rows read so far stay).
    void caricaTutto();
    bool tutteLette() const { return m_finito; }

    // The row of a client, reading on until it comes; -1 when it is not listed. Throws db::DbError.
    int trovaCliente(int idCliente);
    // The first row whose field equals valore exactly, reading on until it comes; -1 when none. Throws db::DbError.
    int trovaValore(const QString &campo, const QString &valore);
    // Removes one row (after its deletion in the database).
    void rimuoviRiga(int riga);

    bool canFetchMore(const QModelIndex &parent) const override;
    // The next block, for the grid. A database error ends the list where it is and is reported by erroreLettura.
    void fetchMore(const QModelIndex &parent) override;

signals:
    void erroreLettura(const QString &testo);

private:
    // Up to massimo rows from the cursor; at its end the cursor is closed and m_finito set. Throws db::DbError.
    QVector<Riga> leggi(int massimo);
    // Appends up to massimo rows read from the cursor. Throws db::DbError.
    void aggiungi(int massimo);
    void interrompi();

    db::Query *m_query = nullptr;
    bool m_finito = true;
    QVector<int> m_indici; // the cursor's column of each grid column
    int m_indiceId = -1;
    int m_indiceSms = -1;
};

// Whether a client is among the rows the filter lists (one lookup by key, so that a client no longer listed is not
// looked for through the whole list).
bool clienteNelFiltro(db::Query &q, const FiltriRicercaClienti &f, int idCliente);

// ---- Counts, deletion, options --------------------------------------------------------------------------------

// "select count(*) QUANTI from ANNUNCI_IMMOBILI where ID_CLIENTE=:ID_CLIENTE"
int contaAnnunciCliente(db::Query &q, int idCliente);
// "select count(*) QUANTI from RICHIESTE where ID_CLIENTE=:ID_CLIENTE"
int contaRichiesteCliente(db::Query &q, int idCliente);
// "delete from CLIENTI where ID_CLIENTE=:OLD_ID_CLIENTE", then commit retaining. The client's listings, requests
// and appointments go with it through the database's referential rules. Returns the rows deleted (0 when the
// client was already gone).
int eliminaCliente(db::Transaction &tr, int idCliente);

struct OpzioniRicercaClienti
{
    int autoForm = 0;
    QString smtpServer;
    QString smsAccount;
    QString smsDomain;
};
// "select AUTO_FORM,SMTP_SERVER,SMS_ACCOUNT,SMS_DOMAIN from OPZIONI where ID=0" (defaults without the row).
OpzioniRicercaClienti leggiOpzioniRicercaClienti(db::Query &q);

struct OpzioniSms
{
    int smsTipo = 0;
    QString smsAccount;
    QString smsDomain;
};
// "select SMS_TIPO,SMS_ACCOUNT,SMS_DOMAIN from OPZIONI where ID=0" (defaults without the row).
OpzioniSms leggiOpzioniSms(db::Query &q);

// ---- Deletion questions ---------------------------------------------------------------------------------------

// A count written with the thousands separator of the Italian settings ("#,##0": 1234 -> "1.234").
QString formattaMigliaia(int n);
QString domandaEliminazioneCliente(const QString &descr);
// The second question (n listings > 0) and the third (m requests > 0).
QString domandaEliminazioneAnnunci(const QString &descr, int n);
QString domandaEliminazioneRichieste(const QString &descr, int m);

// ---- E-mail and SMS recipients --------------------------------------------------------------------------------

// What the hand-over reads of a listed client.
struct ClientePerInvio
{
    QString descr;
    QString email;
    QString telefono1, telefono2, telefono3;
    int telXSms = 0;
};

struct DestinatarioCliente
{
    QString nome;
    QString indirizzo;
    bool operator==(const DestinatarioCliente &o) const { return nome == o.nome && indirizzo == o.indirizzo; }
};

// The e-mail recipient of a client: name DESCR, address EMAIL; none when EMAIL is empty.
bool destinatarioEmail(const ClientePerInvio &c, DestinatarioCliente *d);

// The SMS recipient of a client, when TEL_X_SMS (1..3) names a phone with at least one digit:
//   smsTipo 0: the phone's digits + "@" + dominio (an e-mail-to-SMS gateway address);
//   smsTipo 1: the international number: the digits after a leading "+", else "39" + the digits;
//   any other value: the name with an empty address.
bool destinatarioSms(const ClientePerInvio &c, int smsTipo, const QString &dominio, DestinatarioCliente *d);

// The recipients of a list of clients, in order (clients without one are skipped).
QList<DestinatarioCliente> destinatariEmail(const QList<ClientePerInvio> &clienti);
QList<DestinatarioCliente> destinatariSms(const QList<ClientePerInvio> &clienti, int smsTipo, const QString &dominio);

// The refusal without recipients, by the menu entry's tag: 0 and 10 e-mail (all shown / current client),
// 1 and 11 SMS.
QString messaggioNessunDestinatario(int tag);

} // namespace tavo
