#include "clients/geografia.h"

#include <QSet>

namespace tavo {

namespace {

const QString SegnoZona = QStringLiteral(" (ZONA");

// Runs q (its parameter already bound) and lists NOME with the id column.
VociGeografiche leggi(db::Query &q, const QString &colonnaId)
{
    VociGeografiche voci;
    q.exec();
    while (q.next())
        voci.append({q.text(QStringLiteral("NOME")), q.integer(colonnaId)});
    q.close();
    return voci;
}

VociGeografiche righeProvincia(db::Query &q, int idProvincia)
{
    q.setSql(QStringLiteral("select * from COMUNI where ID_PROVINCIA=:ID_PROVINCIA order by NOME"));
    q.setParam(QStringLiteral("ID_PROVINCIA"), idProvincia);
    return leggi(q, QStringLiteral("ID_COMUNE"));
}

} // namespace

VociGeografiche Nazioni(db::Query &q)
{
    q.setSql(QStringLiteral("select * from NAZIONI order by NOME"));
    return leggi(q, QStringLiteral("ID_NAZIONE"));
}

VociGeografiche Regioni(db::Query &q, int idNazione)
{
    q.setSql(QStringLiteral("select * from REGIONI where ID_NAZIONE=:ID_NAZIONE order by NOME"));
    q.setParam(QStringLiteral("ID_NAZIONE"), idNazione);
    return leggi(q, QStringLiteral("ID_REGIONE"));
}

VociGeografiche Province(db::Query &q, int idRegione)
{
    q.setSql(QStringLiteral("select * from PROVINCE where ID_REGIONE=:ID_REGIONE order by NOME"));
    q.setParam(QStringLiteral("ID_REGIONE"), idRegione);
    return leggi(q, QStringLiteral("ID_PROVINCIA"));
}

QString ComuneDellaRiga(const QString &nome)
{
    const int zona = nome.indexOf(SegnoZona);
    return zona < 0 ? nome : nome.left(zona);
}

QString ZonaDellaRiga(const QString &nome)
{
    const int aperta = nome.indexOf(QLatin1Char('('));
    if (aperta < 0)
        return QString();
    const int chiusa = nome.indexOf(QLatin1Char(')'), aperta + 1);
    QString zona = chiusa < 0 ? nome.mid(aperta + 1) : nome.mid(aperta + 1, chiusa - aperta - 1);
    if (zona.startsWith(QLatin1String("ZONA ")))
        zona.remove(0, 5);
    return zona;
}

QString NomeZona(const QString &comune, const QString &zona)
{
    return comune + QStringLiteral(" (ZONA ") + zona + QLatin1Char(')');
}

VociGeografiche ComuniDellaProvincia(db::Query &q, int idProvincia)
{
    VociGeografiche comuni;
    QSet<QString> nomi;
    for (const VoceGeografica &riga : righeProvincia(q, idProvincia)) {
        // A zone row stands for its municipality, once, with the id of the first such row.
        const QString comune = ComuneDellaRiga(riga.nome);
        if (comune != riga.nome && nomi.contains(comune))
            continue;
        nomi.insert(comune);
        comuni.append({comune, riga.id});
    }
    return comuni;
}

VociGeografiche RigheDellaProvincia(db::Query &q, int idProvincia)
{
    return righeProvincia(q, idProvincia);
}

VociGeografiche ZoneDelComune(db::Query &q, const QString &comune)
{
    q.setSql(QStringLiteral("select * from COMUNI where NOME like :NOME order by NOME"));
    q.setParam(QStringLiteral("NOME"), comune + QStringLiteral(" (ZONA%"));
    VociGeografiche zone = leggi(q, QStringLiteral("ID_COMUNE"));
    for (VoceGeografica &z : zone)
        z.nome = ZonaDellaRiga(z.nome);
    return zone;
}

QString TestoSelezioneCorrente(const QString &provincia, const QString &comune, bool comuneConZone, const QString &zona)
{
    if (!zona.isEmpty())
        return QStringLiteral("Il comune di ") + NomeZona(comune, zona);
    if (!comune.isEmpty())
        return (comuneConZone ? QStringLiteral("Tutto il comune di ") : QStringLiteral("Il comune di ")) + comune;
    if (!provincia.isEmpty())
        return QStringLiteral("Tutta la provincia di ") + provincia;
    return QString();
}

VociGeografiche ComuniDaAggiungere(db::Query &q, const SceltaGeografica &scelta)
{
    if (scelta.zona >= 0 && scelta.zona < scelta.zone.size()) {
        const VoceGeografica &z = scelta.zone.at(scelta.zona);
        return {{NomeZona(scelta.comune.nome, z.nome), z.id}};
    }
    if (scelta.comune.id != 0) {
        if (scelta.zone.isEmpty())
            return {scelta.comune};
        VociGeografiche zone;
        for (const VoceGeografica &z : scelta.zone)
            zone.append({NomeZona(scelta.comune.nome, z.nome), z.id});
        return zone;
    }
    if (scelta.idProvincia != 0)
        return righeProvincia(q, scelta.idProvincia);
    return {};
}

VociGeografiche SenzaComuniPresenti(const VociGeografiche &voci, const QList<int> &presenti)
{
    QSet<int> visti(presenti.cbegin(), presenti.cend());
    VociGeografiche nuove;
    for (const VoceGeografica &v : voci) {
        if (visti.contains(v.id))
            continue;
        visti.insert(v.id);
        nuove.append(v);
    }
    return nuove;
}

} // namespace tavo
