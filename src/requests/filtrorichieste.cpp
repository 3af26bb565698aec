#include "requests/filtrorichieste.h"

#include "data/dmQueryComposte.h"

#include <cmath>

namespace tavo {

namespace {

void aggiungi(QString &espressione, const QString &termine)
{
    if (!espressione.isEmpty())
        espressione += QLatin1String(" and ");
    espressione += termine;
}

// A text in single quotes, every "'" doubled.
QString quotato(const QString &testo)
{
    QString t = testo;
    t.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

// The integer part written as a plain number (99999.99 gives "99999").
QString parteIntera(double valore)
{
    return QString::number(static_cast<qint64>(std::trunc(valore)));
}

QString data(const QDate &d)
{
    return d.toString(QStringLiteral("yyyy/MM/dd"));
}

} // namespace

bool ParametriFiltroRichieste::operator==(const ParametriFiltroRichieste &o) const
{
    return idCliente == o.idCliente && dataInizio == o.dataInizio && dataFine == o.dataFine && comune == o.comune &&
           prezzoMin == o.prezzoMin && prezzoMax == o.prezzoMax;
}

QString espressioneComune(const QString &comune)
{
    // COMUNI is "A, B, C": the name alone, first, last or between two others; or one of the municipality's
    // zones, "MILANO (ZONA BRERA)", anywhere. ROMA does not take ROMANO DI LOMBARDIA, nor ESTE TRIESTE.
    const QString nome = comune;
    return QStringLiteral("(COMUNI=%1 or COMUNI like %2 or COMUNI like %3 or COMUNI like %4 or COMUNI like %5 or "
                          "COMUNI like %6)")
        .arg(quotato(nome), quotato(nome + QStringLiteral(", *")), quotato(QStringLiteral("*, ") + nome),
             quotato(QStringLiteral("*, ") + nome + QStringLiteral(", *")), quotato(nome + QStringLiteral(" (*")),
             quotato(QStringLiteral("*, ") + nome + QStringLiteral(" (*")));
}

QString espressioneFiltroRichieste(const ParametriFiltroRichieste &p)
{
    QString e;
    if (p.idCliente != 0)
        aggiungi(e, QStringLiteral("ID_CLIENTE=%1").arg(p.idCliente));
    if (p.dataInizio.isValid())
        aggiungi(e, QStringLiteral("DATA_ULT_MODIFICA>='%1'").arg(data(p.dataInizio)));
    if (p.dataFine.isValid())
        aggiungi(e, QStringLiteral("DATA_ULT_MODIFICA<='%1 23.59.59'").arg(data(p.dataFine)));
    if (!p.comune.isEmpty())
        aggiungi(e, espressioneComune(p.comune));
    if (p.prezzoMin != 0)
        aggiungi(e, QStringLiteral("PREZZO_MIN>=") + parteIntera(p.prezzoMin));
    if (p.prezzoMax != 0)
        aggiungi(e, QStringLiteral("PREZZO_MAX<=") + parteIntera(p.prezzoMax));
    return e;
}

QList<PeriodoPredefinito> periodiPredefiniti()
{
    return {PeriodoPredefinito::UltimaSettimana, PeriodoPredefinito::UltimoMese,  PeriodoPredefinito::Ultimi2Mesi,
            PeriodoPredefinito::Ultimi3Mesi,     PeriodoPredefinito::Ultimi6Mesi, PeriodoPredefinito::UltimoAnno};
}

QString testoPeriodo(PeriodoPredefinito periodo)
{
    switch (periodo) {
    case PeriodoPredefinito::UltimaSettimana:
        return QStringLiteral("Ultima Settimana");
    case PeriodoPredefinito::UltimoMese:
        return QStringLiteral("Ultimo Mese");
    case PeriodoPredefinito::Ultimi2Mesi:
        return QStringLiteral("Ultimi 2 Mesi");
    case PeriodoPredefinito::Ultimi3Mesi:
        return QStringLiteral("Ultimi 3 Mesi");
    case PeriodoPredefinito::Ultimi6Mesi:
        return QStringLiteral("Ultimi 6 mesi");
    case PeriodoPredefinito::UltimoAnno:
        return QStringLiteral("Ultimo Anno");
    }
    return QString();
}

QDate inizioPeriodo(PeriodoPredefinito periodo, const QDate &oggi)
{
    // QDate::addMonths keeps the day of the month and moves it to the month's last day when that month is shorter.
    switch (periodo) {
    case PeriodoPredefinito::UltimaSettimana:
        return oggi.addDays(-7);
    case PeriodoPredefinito::UltimoMese:
        return oggi.addMonths(-1);
    case PeriodoPredefinito::Ultimi2Mesi:
        return oggi.addMonths(-2);
    case PeriodoPredefinito::Ultimi3Mesi:
        return oggi.addMonths(-3);
    case PeriodoPredefinito::Ultimi6Mesi:
        return oggi.addMonths(-6);
    case PeriodoPredefinito::UltimoAnno:
        return oggi.addMonths(-12);
    }
    return oggi;
}

QList<ClienteRichieste> caricaClientiRichieste(db::Transaction &tr)
{
    QList<ClienteRichieste> clienti;
    db::Query q(tr, QStringLiteral("select distinct R.ID_CLIENTE,C.DESCR,C.EMAIL,C.TELEFONO1,C.TELEFONO2,C.TELEFONO3 "
                                   "from RICHIESTE R join CLIENTI C on C.ID_CLIENTE=R.ID_CLIENTE order by C.DESCR"));
    q.exec();
    while (q.next()) {
        clienti.append({q.integer(QStringLiteral("ID_CLIENTE")),
                        TDataModuleQueryComposte::nomeCliente(
                            q.value(QStringLiteral("DESCR")), q.value(QStringLiteral("EMAIL")),
                            q.value(QStringLiteral("TELEFONO1")), q.value(QStringLiteral("TELEFONO2")),
                            q.value(QStringLiteral("TELEFONO3")))});
    }
    return clienti;
}

QStringList caricaComuniRichieste(db::Transaction &tr)
{
    QStringList comuni;
    db::Query q(tr, QStringLiteral("select distinct NOME from RICHIESTE_COMUNI RC join COMUNI C on "
                                   "C.id_comune=RC.id_comune order by NOME"));
    q.exec();
    while (q.next())
        comuni << q.value(0).toString();
    return comuni;
}

void eliminaRichiesta(db::Transaction &tr, int idRichiesta)
{
    db::Query q(tr, QStringLiteral("delete from RICHIESTE where ID_RICHIESTA=:ID_RICHIESTA"));
    q.setParam(QStringLiteral("ID_RICHIESTA"), idRichiesta);
    q.exec();
    tr.commitRetaining();
}

} // namespace tavo
