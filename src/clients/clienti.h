#pragma once
// The client register's rules, without widgets: the duplicate checks that the client editor runs
// while the user types and again at confirmation, reading and writing one CLIENTI row, and the
// rules of the similar-clients list.
//
// Every check runs on the caller's general-purpose query (the editor has one and runs each
// statement on it in turn); a client id greater than 0 excludes that client from the check, so an
// edited client never counts as its own duplicate. Database failures throw tavo::db::DbError.

#include "data/database.h"

#include <QString>

#include <functional>

namespace tavo {

// "Esiste un altro cliente " for one client, else "Esistono altri " + n + " clienti ".
QString AperturaClientiSimili(int quanti);
// The refusals of the duplicate checks, as shown to the user.
QString MessaggioDescrizioneSimile(int quanti);
QString MessaggioEmailSimile(int quanti);
QString MessaggioTelefonoNonUnivoco();
QString MessaggioEmailNonAccettabile();
QString MessaggioAlmenoUnContatto();

// The text with the letters a to z in capitals and every other character unchanged.
QString MaiuscoleAscii(const QString &testo);

// Number of other clients whose description contains descr, ignoring case (0 for an empty descr).
int ContaDescrizioniSimili(db::Query &q, const QString &descr, int idCliente);

// Number of other clients whose e-mail contains email, ignoring case (0 for an empty email).
int ContaEmailSimili(db::Query &q, const QString &email, int idCliente);

// Whether another client has a telephone whose key (NormalizzaTelefono) equals the key of
// telefono. A row that cannot be read is reported through segnalaErrore as
// "Rec " + row number + " Eccezione " + error text, and the walk goes on with the next row.
bool TelefonoGiaUsato(db::Query &q, const QString &telefono, int idCliente,
                      const std::function<void(const QString &)> &segnalaErrore);

// The e-mail test: an empty address passes, one without "@" is refused, and one contained in the
// e-mail of other clients is similar.
struct EsitoEmail
{
    enum Tipo { Valida, NonAccettabile, Simile };
    Tipo tipo = Valida;
    int quanti = 0;
    QString messaggio; // empty when valid
};
EsitoEmail ControllaEmail(db::Query &q, const QString &email, int idCliente);

// One row of CLIENTI as the editor shows it (NULL columns read as empty texts, TEL_X_SMS as 0).
struct DatiCliente
{
    QString descr;
    QString telefono1, telefono2, telefono3;
    int telXSms = 0; // 0 none, 1..3 the phone that receives SMS
    QString fax, email, sitoWeb, indirizzo, cap, citta, prov, partitaIva, codiceFiscale, referente;
    bool proprietario = false;
    QString note;
};

// Reads client id; false (and dati untouched) when there is no such client.
bool LeggiCliente(db::Query &q, int idCliente, DatiCliente &dati);

// Writes the client: an update of idCliente when it is not 0, else an insert with a new id from
// GEN_CLIENTI_ID. Returns the new id (0 for an update). Does not commit. An update that finds no
// row (the client was deleted meanwhile) throws, so that the typed data is not taken as saved.
int SalvaCliente(db::Query &q, const DatiCliente &dati, int idCliente);

// The filter of the similar-clients list: a description (kept in capitals), a phone key and an
// e-mail (kept in small letters). A client is similar when its description contains the
// description, or one of its phone keys equals the key, or its e-mail contains the e-mail; an
// empty filter value matches nothing.
struct FiltriSimili
{
    QString descr;
    QString telefono;
    QString email;

    static FiltriSimili Da(const QString &descr, const QString &telefono, const QString &email);
    bool Accetta(const QString &descrCliente, const QString &telefono1, const QString &telefono2,
                 const QString &telefono3, const QString &emailCliente) const;
};

} // namespace tavo
