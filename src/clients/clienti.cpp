#include "clients/clienti.h"

#include "app/core/textutils.h"

namespace tavo {

QString AperturaClientiSimili(int quanti)
{
    if (quanti == 1)
        return QStringLiteral("Esiste un altro cliente ");
    return QStringLiteral("Esistono altri %1 clienti ").arg(quanti);
}

QString MessaggioDescrizioneSimile(int quanti)
{
    return AperturaClientiSimili(quanti) +
           QStringLiteral("con una descrizione simile. Si prega di controllare il valore immesso per evitare "
                          "duplicazioni");
}

QString MessaggioEmailSimile(int quanti)
{
    return AperturaClientiSimili(quanti) +
           QStringLiteral("con una EMail simile. Si prega di controllare il valore immesso per evitare duplicazioni");
}

QString MessaggioTelefonoNonUnivoco()
{
    return QStringLiteral("Il numero di telefono immesso non è univoco. Si prega di controllare il valore immesso per "
                          "evitare duplicazioni");
}

QString MessaggioEmailNonAccettabile()
{
    return QStringLiteral("EMail non accettabile");
}

QString MessaggioAlmenoUnContatto()
{
    return QStringLiteral("Inserire almeno uno fra i campi evidenziati in ROSSO");
}

QString MaiuscoleAscii(const QString &testo)
{
    QString out = testo;
    for (QChar &c : out) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return out;
}

namespace {

// "select count(*) QUANTI from CLIENTI where upper(COLUMN) like :COLUMN", other clients only. The
// pattern is two characters longer than the typed text, so it is given room beyond the column's
// 128 characters: a text typed to the full length must not fail with a string truncation.
int contaSimili(db::Query &q, const QString &colonna, const QString &valore, int idCliente)
{
    QStringList sql{QStringLiteral("select count(*) QUANTI from CLIENTI where upper(%1) like cast(:%1 as varchar(130))")
                        .arg(colonna)};
    if (idCliente > 0)
        sql << QStringLiteral("and ID_CLIENTE<>:ID_CLIENTE");
    q.setSql(sql);
    q.setParam(colonna, QStringLiteral("%") + MaiuscoleAscii(valore) + QStringLiteral("%"));
    if (idCliente > 0)
        q.setParam(QStringLiteral("ID_CLIENTE"), idCliente);
    const int quanti = q.first() ? q.integer(QStringLiteral("QUANTI")) : 0;
    q.close();
    return quanti;
}

QString testo(const db::Query &q, const char *colonna)
{
    return q.text(QLatin1String(colonna));
}

} // namespace

int ContaDescrizioniSimili(db::Query &q, const QString &descr, int idCliente)
{
    if (descr.isEmpty())
        return 0;
    return contaSimili(q, QStringLiteral("DESCR"), descr, idCliente);
}

int ContaEmailSimili(db::Query &q, const QString &email, int idCliente)
{
    if (email.isEmpty())
        return 0;
    return contaSimili(q, QStringLiteral("EMAIL"), email, idCliente);
}

bool TelefonoGiaUsato(db::Query &q, const QString &telefono, int idCliente,
                      const std::function<void(const QString &)> &segnalaErrore)
{
    const QString chiave = NormalizzaTelefono(telefono);
    QStringList sql{QStringLiteral("select TELEFONO1,TELEFONO2,TELEFONO3 from CLIENTI")};
    if (idCliente > 0)
        sql << QStringLiteral("where ID_CLIENTE<>") + QString::number(idCliente);
    q.setSql(sql);
    q.exec();
    bool usato = false;
    int riga = 0;
    int falliteDiSeguito = 0;
    while (!usato) {
        ++riga;
        try {
            if (!q.next())
                break;
            falliteDiSeguito = 0;
            for (const char *colonna : {"TELEFONO1", "TELEFONO2", "TELEFONO3"}) {
                if (NormalizzaTelefono(testo(q, colonna)) == chiave) {
                    usato = true;
                    break;
                }
            }
        } catch (const db::DbError &e) {
            if (segnalaErrore)
                segnalaErrore(QStringLiteral("Rec %1 Eccezione %2").arg(riga).arg(e.message()));
            // A cursor that fails twice in a row cannot go on: the walk ends there.
            if (++falliteDiSeguito > 1 || !q.isOpen())
                break;
        }
    }
    q.close();
    return usato;
}

EsitoEmail ControllaEmail(db::Query &q, const QString &email, int idCliente)
{
    EsitoEmail esito;
    if (email.isEmpty())
        return esito;
    if (!email.contains(QLatin1Char('@'))) {
        esito.tipo = EsitoEmail::NonAccettabile;
        esito.messaggio = MessaggioEmailNonAccettabile();
        return esito;
    }
    esito.quanti = ContaEmailSimili(q, email, idCliente);
    if (esito.quanti > 0) {
        esito.tipo = EsitoEmail::Simile;
        esito.messaggio = MessaggioEmailSimile(esito.quanti);
    }
    return esito;
}

bool LeggiCliente(db::Query &q, int idCliente, DatiCliente &dati)
{
    q.setSql(QStringLiteral("select * from CLIENTI where ID_CLIENTE=:ID_CLIENTE"));
    q.setParam(QStringLiteral("ID_CLIENTE"), idCliente);
    if (!q.first()) {
        q.close();
        return false;
    }
    DatiCliente d;
    d.descr = testo(q, "DESCR");
    d.telefono1 = testo(q, "TELEFONO1");
    d.telefono2 = testo(q, "TELEFONO2");
    d.telefono3 = testo(q, "TELEFONO3");
    d.telXSms = q.integer(QStringLiteral("TEL_X_SMS"));
    d.fax = testo(q, "FAX");
    d.email = testo(q, "EMAIL");
    d.sitoWeb = testo(q, "SITO_WEB");
    d.indirizzo = testo(q, "INDIRIZZO");
    d.cap = testo(q, "CAP");
    d.citta = testo(q, "CITTA");
    d.prov = testo(q, "PROV");
    d.partitaIva = testo(q, "PARTITA_IVA");
    d.codiceFiscale = testo(q, "CODICE_FISCALE");
    d.referente = testo(q, "REFERENTE");
    d.proprietario = testo(q, "PROPRIETARIO") == QLatin1String("S");
    d.note = testo(q, "NOTE");
    q.close();
    dati = d;
    return true;
}

int SalvaCliente(db::Query &q, const DatiCliente &d, int idCliente)
{
    int nuovoId = 0;
    if (idCliente != 0) {
        q.setSql(QStringLiteral(
            "update CLIENTI set DESCR=:DESCR,TELEFONO1=:TELEFONO1,TELEFONO2=:TELEFONO2,TELEFONO3=:TELEFONO3,"
            "TEL_X_SMS=:TEL_X_SMS,FAX=:FAX,EMAIL=:EMAIL,SITO_WEB=:SITO_WEB,INDIRIZZO=:INDIRIZZO,CAP=:CAP,CITTA=:CITTA,"
            "PROV=:PROV,PARTITA_IVA=:PARTITA_IVA,CODICE_FISCALE=:CODICE_FISCALE,REFERENTE=:REFERENTE,"
            "PROPRIETARIO=:PROPRIETARIO,NOTE=:NOTE where ID_CLIENTE=:ID_CLIENTE"));
        q.setParam(QStringLiteral("ID_CLIENTE"), idCliente);
    } else {
        q.setSql(QStringLiteral("select GEN_ID(GEN_CLIENTI_ID,1) ID_CLIENTE from rdb$database"));
        q.first();
        nuovoId = q.integer(QStringLiteral("ID_CLIENTE"));
        q.close();
        q.setSql(QStringLiteral(
            "insert into CLIENTI (ID_CLIENTE,DESCR,TELEFONO1,TELEFONO2,TELEFONO3,TEL_X_SMS,FAX,EMAIL,SITO_WEB,"
            "INDIRIZZO,CAP,CITTA,PROV,PARTITA_IVA,CODICE_FISCALE,REFERENTE,PROPRIETARIO,NOTE) values (:ID_CLIENTE,"
            ":DESCR,:TELEFONO1,:TELEFONO2,:TELEFONO3,:TEL_X_SMS,:FAX,:EMAIL,:SITO_WEB,:INDIRIZZO,:CAP,:CITTA,:PROV,"
            ":PARTITA_IVA,:CODICE_FISCALE,:REFERENTE,:PROPRIETARIO,:NOTE)"));
        q.setParam(QStringLiteral("ID_CLIENTE"), nuovoId);
    }
    q.setParam(QStringLiteral("DESCR"), d.descr);
    q.setParam(QStringLiteral("TELEFONO1"), d.telefono1);
    q.setParam(QStringLiteral("TELEFONO2"), d.telefono2);
    q.setParam(QStringLiteral("TELEFONO3"), d.telefono3);
    q.setParam(QStringLiteral("TEL_X_SMS"), d.telXSms);
    q.setParam(QStringLiteral("FAX"), d.fax);
    q.setParam(QStringLiteral("EMAIL"), d.email);
    q.setParam(QStringLiteral("SITO_WEB"), d.sitoWeb);
    q.setParam(QStringLiteral("INDIRIZZO"), d.indirizzo);
    q.setParam(QStringLiteral("CAP"), d.cap);
    q.setParam(QStringLiteral("CITTA"), d.citta);
    q.setParam(QStringLiteral("PROV"), d.prov);
    q.setParam(QStringLiteral("PARTITA_IVA"), d.partitaIva);
    q.setParam(QStringLiteral("CODICE_FISCALE"), d.codiceFiscale);
    q.setParam(QStringLiteral("REFERENTE"), d.referente);
    q.setParam(QStringLiteral("PROPRIETARIO"), d.proprietario ? QStringLiteral("S") : QStringLiteral("N"));
    q.setParam(QStringLiteral("NOTE"), d.note);
    q.exec();
    if (idCliente != 0 && q.rowsAffected() == 0)
        throw db::DbError(QStringLiteral("Il cliente non è più presente nell'archivio (eliminato da un'altra "
                                         "postazione?): i dati non sono stati salvati."));
    return nuovoId;
}

FiltriSimili FiltriSimili::Da(const QString &descr, const QString &telefono, const QString &email)
{
    return {descr.toUpper(), NormalizzaTelefono(telefono), email.toLower()};
}

bool FiltriSimili::Accetta(const QString &descrCliente, const QString &telefono1, const QString &telefono2,
                           const QString &telefono3, const QString &emailCliente) const
{
    if (!descr.isEmpty() && descrCliente.toUpper().contains(descr))
        return true;
    if (!telefono.isEmpty() && (NormalizzaTelefono(telefono1) == telefono ||
                                NormalizzaTelefono(telefono2) == telefono || NormalizzaTelefono(telefono3) == telefono))
        return true;
    return !email.isEmpty() && emailCliente.toLower().contains(email);
}

} // namespace tavo
