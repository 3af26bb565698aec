#include "clients/ricercaclienti.h"

#include "app/core/textutils.h"
#include "data/memtable/memtablemodel.h"

#include <QLocale>

#include <limits>

namespace tavo {

// ---- Filter and sort ------------------------------------------------------------------------------------------

bool FiltriRicercaClienti::operator==(const FiltriRicercaClienti &o) const
{
    return descr == o.descr && telefono == o.telefono && email == o.email && indirizzo == o.indirizzo &&
           citta == o.citta && referente == o.referente && proprietari == o.proprietari;
}

namespace {

// The text conditions, in the order of the filter line: condition, parameter, whether the value is a prefix.
struct CondizioneTesto
{
    QString FiltriRicercaClienti::*campo;
    const char *condizione;
    const char *parametro;
    bool prefisso;
};

const CondizioneTesto CondizioniTesto[] = {
    {&FiltriRicercaClienti::descr, "upper(DESCR) like :DESCR", "DESCR", false},
    // Phones are compared as typed: the number must start with the text.
    {&FiltriRicercaClienti::telefono,
     "(upper(TELEFONO1) like :TELEFONO or upper(TELEFONO2) like :TELEFONO or upper(TELEFONO3) like :TELEFONO)",
     "TELEFONO", true},
    {&FiltriRicercaClienti::email, "upper(EMAIL) like :EMAIL", "EMAIL", false},
    {&FiltriRicercaClienti::indirizzo, "upper(INDIRIZZO) like :INDIRIZZO", "INDIRIZZO", false},
    {&FiltriRicercaClienti::citta, "upper(CITTA) like :CITTA", "CITTA", false},
    {&FiltriRicercaClienti::referente, "upper(REFERENTE) like :REFERENTE", "REFERENTE", false},
};

} // namespace

QString rigaSelezioneClienti()
{
    return QStringLiteral("select * from CLIENTI");
}

QString rigaFiltroClienti(const FiltriRicercaClienti &f)
{
    QStringList condizioni;
    for (const CondizioneTesto &c : CondizioniTesto) {
        if (!(f.*c.campo).isEmpty())
            condizioni << QString::fromLatin1(c.condizione);
    }
    if (f.proprietari == FiltriRicercaClienti::SoloProprietari)
        condizioni << QStringLiteral("upper(PROPRIETARIO)='S'");
    else if (f.proprietari == FiltriRicercaClienti::NonProprietari)
        condizioni << QStringLiteral("upper(PROPRIETARIO)='N'");
    if (condizioni.isEmpty())
        return QString();
    return QStringLiteral("where ") + condizioni.join(QStringLiteral(" and "));
}

QList<ParametroFiltroClienti> parametriFiltroClienti(const FiltriRicercaClienti &f)
{
    QList<ParametroFiltroClienti> parametri;
    for (const CondizioneTesto &c : CondizioniTesto) {
        const QString &testo = f.*c.campo;
        if (testo.isEmpty())
            continue;
        const QString valore = c.prefisso ? testo + QLatin1Char('%') : QLatin1Char('%') + testo + QLatin1Char('%');
        parametri.append({QString::fromLatin1(c.parametro), valore});
    }
    return parametri;
}

QString rigaOrdineClienti(const QString &colonna, int stato)
{
    if (stato == 1 && !colonna.isEmpty())
        return QStringLiteral("order by ") + colonna;
    if (stato == 2 && !colonna.isEmpty())
        return QStringLiteral("order by ") + colonna + QStringLiteral(" desc");
    return QStringLiteral("order by ID_CLIENTE");
}

QStringList sqlRicercaClienti(const FiltriRicercaClienti &f, const QString &colonna, int stato)
{
    return {rigaSelezioneClienti(), rigaFiltroClienti(f), rigaOrdineClienti(colonna, stato)};
}

// ---- The list model -------------------------------------------------------------------------------------------

namespace {
const char *const TitoliGriglia[] = {
    "Cognome e Nome o Ragione Sociale", "Telefono 1", "Telefono 2", "Telefono 3", "Fax", "EMail", "Indirizzo", "CAP",
    "Città", "Prov.", "Partita IVA", "Codice Fiscale", "Referente", "Sito Web", "Proprietario", "Note"};
} // namespace

TModelloRicercaClienti::TModelloRicercaClienti(QObject *parent) : TModelloElencoClienti(Titoli(), parent) {}

QStringList TModelloRicercaClienti::Titoli()
{
    QStringList titoli;
    for (const char *t : TitoliGriglia)
        titoli << QString::fromUtf8(t);
    return titoli;
}

void TModelloRicercaClienti::Apri(db::Query &q, const QStringList &sql, const QList<ParametroFiltroClienti> &parametri)
{
    // The rows shown so far stay until the new ones are there, with no more to come from the old cursor.
    interrompi();
    q.setSql(sql);
    for (const ParametroFiltroClienti &p : parametri)
        q.setParam(p.nome, p.valore);
    q.exec();

    // The columns are found once: the rows are many.
    m_indici.clear();
    for (const QString &campo : Campi())
        m_indici << q.columnIndex(campo);
    m_indiceId = q.columnIndex(QStringLiteral("ID_CLIENTE"));
    m_indiceSms = q.columnIndex(QStringLiteral("TEL_X_SMS"));
    m_query = &q;
    m_finito = false;
    QVector<Riga> prime;
    try {
        prime = leggi(Blocco);
    } catch (const db::DbError &) {
        interrompi();
        throw;
    }
    beginResetModel();
    m_righe = std::move(prime);
    endResetModel();
}

void TModelloRicercaClienti::Chiudi()
{
    interrompi();
    m_query = nullptr;
    beginResetModel();
    m_righe.clear();
    endResetModel();
}

void TModelloRicercaClienti::interrompi()
{
    m_finito = true;
    if (!m_query)
        return;
    try {
        m_query->close();
    } catch (const db::DbError &) {
        // A cursor that cannot be closed is released with its statement.
    }
}

QVector<TModelloRicercaClienti::Riga> TModelloRicercaClienti::leggi(int massimo)
{
    QVector<Riga> righe;
    if (m_finito || !m_query)
        return righe;
    db::Query &q = *m_query;
    while (righe.size() < massimo) {
        if (!q.next()) {
            interrompi();
            break;
        }
        QStringList valori;
        valori.reserve(m_indici.size());
        for (int i : std::as_const(m_indici))
            valori << (i >= 0 ? q.value(i).toString() : QString());
        Riga r = nuovaRiga(m_indiceId >= 0 ? q.value(m_indiceId).toInt() : 0, std::move(valori));
        r.telXSms = m_indiceSms >= 0 ? q.value(m_indiceSms).toInt() : 0;
        righe.append(std::move(r));
    }
    return righe;
}

void TModelloRicercaClienti::aggiungi(int massimo)
{
    QVector<Riga> nuove;
    try {
        nuove = leggi(massimo);
    } catch (const db::DbError &) {
        interrompi();
        throw;
    }
    if (nuove.isEmpty())
        return;
    beginInsertRows(QModelIndex(), int(m_righe.size()), int(m_righe.size() + nuove.size() - 1));
    m_righe += nuove;
    endInsertRows();
}

bool TModelloRicercaClienti::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && !m_finito;
}

void TModelloRicercaClienti::fetchMore(const QModelIndex &parent)
{
    if (parent.isValid())
        return;
    // Called by the view from its events: nothing may be thrown from here.
    try {
        aggiungi(Blocco);
    } catch (const db::DbError &e) {
        emit erroreLettura(e.message());
    }
}

void TModelloRicercaClienti::caricaTutto()
{
    aggiungi(std::numeric_limits<int>::max());
}

int TModelloRicercaClienti::trovaCliente(int idCliente)
{
    for (int r = 0;; ++r) {
        if (r == m_righe.size()) {
            if (m_finito)
                return -1;
            aggiungi(Blocco);
            if (r == m_righe.size())
                return -1;
        }
        if (m_righe.at(r).id == idCliente)
            return r;
    }
}

int TModelloRicercaClienti::trovaValore(const QString &campo, const QString &valore)
{
    const int c = ColonnaDelCampo(campo);
    if (c < 0)
        return -1;
    for (int r = 0;; ++r) {
        if (r == m_righe.size()) {
            if (m_finito)
                return -1;
            aggiungi(Blocco);
            if (r == m_righe.size())
                return -1;
        }
        if (m_righe.at(r).valori.at(c) == valore)
            return r;
    }
}

void TModelloRicercaClienti::rimuoviRiga(int riga)
{
    if (riga < 0 || riga >= m_righe.size())
        return;
    beginRemoveRows(QModelIndex(), riga, riga);
    m_righe.remove(riga);
    endRemoveRows();
}

bool clienteNelFiltro(db::Query &q, const FiltriRicercaClienti &f, int idCliente)
{
    const QString filtro = rigaFiltroClienti(f);
    q.close();
    q.setSql(QStringList{QStringLiteral("select count(*) QUANTI from CLIENTI"),
                         filtro.isEmpty() ? QStringLiteral("where ID_CLIENTE=:ID_CLIENTE")
                                          : filtro + QStringLiteral(" and ID_CLIENTE=:ID_CLIENTE")});
    for (const ParametroFiltroClienti &p : parametriFiltroClienti(f))
        q.setParam(p.nome, p.valore);
    q.setParam(QStringLiteral("ID_CLIENTE"), idCliente);
    const bool trovato = q.first() && q.integer(QStringLiteral("QUANTI")) > 0;
    q.close();
    return trovato;
}

// ---- Counts, deletion, options --------------------------------------------------------------------------------

namespace {

int conta(db::Query &q, const QString &tabella, int idCliente)
{
    q.close();
    q.setSql(QStringLiteral("select count(*) QUANTI from ") + tabella +
             QStringLiteral(" where ID_CLIENTE=:ID_CLIENTE"));
    q.setParam(QStringLiteral("ID_CLIENTE"), idCliente);
    const int n = q.first() ? q.integer(QStringLiteral("QUANTI")) : 0;
    q.close();
    return n;
}

} // namespace

int contaAnnunciCliente(db::Query &q, int idCliente)
{
    return conta(q, QStringLiteral("ANNUNCI_IMMOBILI"), idCliente);
}

int contaRichiesteCliente(db::Query &q, int idCliente)
{
    return conta(q, QStringLiteral("RICHIESTE"), idCliente);
}

int eliminaCliente(db::Transaction &tr, int idCliente)
{
    db::Query q(tr, QStringLiteral("delete from CLIENTI where ID_CLIENTE=:OLD_ID_CLIENTE"));
    q.setParam(QStringLiteral("OLD_ID_CLIENTE"), idCliente);
    q.exec();
    const int righe = q.rowsAffected();
    tr.commitRetaining();
    return righe;
}

OpzioniRicercaClienti leggiOpzioniRicercaClienti(db::Query &q)
{
    OpzioniRicercaClienti o;
    q.close();
    q.setSql(QStringLiteral("select AUTO_FORM,SMTP_SERVER,SMS_ACCOUNT,SMS_DOMAIN from OPZIONI where ID=0"));
    if (q.first()) {
        o.autoForm = q.integer(QStringLiteral("AUTO_FORM"));
        o.smtpServer = q.text(QStringLiteral("SMTP_SERVER"));
        o.smsAccount = q.text(QStringLiteral("SMS_ACCOUNT"));
        o.smsDomain = q.text(QStringLiteral("SMS_DOMAIN"));
    }
    q.close();
    return o;
}

OpzioniSms leggiOpzioniSms(db::Query &q)
{
    OpzioniSms o;
    q.close();
    q.setSql(QStringLiteral("select SMS_TIPO,SMS_ACCOUNT,SMS_DOMAIN from OPZIONI where ID=0"));
    if (q.first()) {
        o.smsTipo = q.integer(QStringLiteral("SMS_TIPO"));
        o.smsAccount = q.text(QStringLiteral("SMS_ACCOUNT"));
        o.smsDomain = q.text(QStringLiteral("SMS_DOMAIN"));
    }
    q.close();
    return o;
}

// ---- Deletion questions ---------------------------------------------------------------------------------------

QString formattaMigliaia(int n)
{
    QLocale italiano(QLocale::Italian, QLocale::Italy);
    italiano.setNumberOptions(QLocale::DefaultNumberOptions);
    return italiano.toString(n);
}

namespace {

const QString A_capo = QStringLiteral("\n\n");

QString rientro()
{
    return QString(25, QLatin1Char(' '));
}

QString domandaProseguimento(const QString &descr, const QString &x)
{
    return QStringLiteral("ATTENZIONE! Proseguendo con l'eliminazione del cliente") + A_capo + QLatin1Char('"') +
           descr + QStringLiteral("\",") + A_capo + x + A_capo + QStringLiteral("Conferma questa operazione?");
}

} // namespace

QString domandaEliminazioneCliente(const QString &descr)
{
    return QStringLiteral("Conferma l'eliminazione del cliente \"") + descr + QStringLiteral("\"?") + A_capo +
           QStringLiteral("ATTENZIONE! L'eliminazione è IRREVERSIBILE e comporta l'eliminazione di tutti gli annunci, "
                          "richieste e appuntamenti eventualmente associati al Cliente!");
}

QString domandaEliminazioneAnnunci(const QString &descr, int n)
{
    const QString x =
        n == 1 ? QStringLiteral("verrà eliminato anche") + A_capo + rientro() + QStringLiteral("UN annuncio.")
               : QStringLiteral("verranno eliminati anche") + A_capo + rientro() + formattaMigliaia(n) +
                     QStringLiteral(" annunci.");
    return domandaProseguimento(descr, x);
}

QString domandaEliminazioneRichieste(const QString &descr, int m)
{
    const QString x =
        m == 1 ? QStringLiteral("verrà eliminata anche") + A_capo + rientro() + QStringLiteral("UNA richiesta.")
               : QStringLiteral("verranno eliminate anche") + A_capo + rientro() + formattaMigliaia(m) +
                     QStringLiteral(" richieste.");
    return domandaProseguimento(descr, x);
}

// ---- E-mail and SMS recipients --------------------------------------------------------------------------------

bool destinatarioEmail(const ClientePerInvio &c, DestinatarioCliente *d)
{
    if (c.email.isEmpty())
        return false;
    *d = {c.descr, c.email};
    return true;
}

bool destinatarioSms(const ClientePerInvio &c, int smsTipo, const QString &dominio, DestinatarioCliente *d)
{
    QString telefono;
    switch (c.telXSms) {
    case 1:
        telefono = c.telefono1;
        break;
    case 2:
        telefono = c.telefono2;
        break;
    case 3:
        telefono = c.telefono3;
        break;
    default:
        return false; // no phone marked for SMS
    }
    // A marked phone without digits would give an address of the gateway's domain or of the country code alone.
    const QString cifre = NormalizzaTelefono(telefono);
    if (cifre.isEmpty())
        return false;
    QString indirizzo;
    if (smsTipo == 0) {
        indirizzo = cifre + QLatin1Char('@') + dominio;
    } else if (smsTipo == 1) {
        // Blanks before the plus sign do not make the number a national one.
        const QString scritto = telefono.trimmed();
        indirizzo =
            scritto.startsWith(QLatin1Char('+')) ? NormalizzaTelefono(scritto.mid(1)) : QStringLiteral("39") + cifre;
    }
    *d = {c.descr, indirizzo};
    return true;
}

QList<DestinatarioCliente> destinatariEmail(const QList<ClientePerInvio> &clienti)
{
    QList<DestinatarioCliente> elenco;
    DestinatarioCliente d;
    for (const ClientePerInvio &c : clienti) {
        if (destinatarioEmail(c, &d))
            elenco << d;
    }
    return elenco;
}

QList<DestinatarioCliente> destinatariSms(const QList<ClientePerInvio> &clienti, int smsTipo, const QString &dominio)
{
    QList<DestinatarioCliente> elenco;
    DestinatarioCliente d;
    for (const ClientePerInvio &c : clienti) {
        if (destinatarioSms(c, smsTipo, dominio, &d))
            elenco << d;
    }
    return elenco;
}

QString messaggioNessunDestinatario(int tag)
{
    switch (tag) {
    case 0:
        return QStringLiteral("Nessun cliente a cui inviare un'Email");
    case 1:
        return QStringLiteral("Nessun cliente a cui inviare un SMS");
    case 10:
        return QStringLiteral("Impossibile inviare un'Email al Cliente corrente");
    case 11:
        return QStringLiteral("Impossibile inviare un SMS al Cliente corrente");
    default:
        return QString();
    }
}

} // namespace tavo
