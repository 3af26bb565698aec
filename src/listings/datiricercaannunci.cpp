#include "listings/datiricercaannunci.h"

#include "data/dmQueryComposte.h"

namespace tavo {

namespace {

QStringList colonna(db::Transaction &tr, const QString &sql)
{
    QStringList valori;
    db::Query q(tr, sql);
    q.exec();
    while (q.next())
        valori << q.value(0).toString();
    return valori;
}

} // namespace

ElenchiFiltroAnnunci caricaElenchiFiltroAnnunci(db::Transaction &tr)
{
    ElenchiFiltroAnnunci e;
    e.localita = colonna(tr, QStringLiteral("select distinct upper(LOCALITA) LOCALITA from ANNUNCI_IMMOBILI where "
                                            "LOCALITA is not null order by upper(LOCALITA)"));
    {
        db::Query q(tr, QStringLiteral("select distinct A.ID_CLIENTE,C.DESCR,C.EMAIL,C.TELEFONO1,C.TELEFONO2,"
                                       "C.TELEFONO3 from ANNUNCI_IMMOBILI A join CLIENTI C on "
                                       "C.ID_CLIENTE=A.ID_CLIENTE order by C.DESCR"));
        q.exec();
        while (q.next()) {
            e.clienti.append({q.integer(QStringLiteral("ID_CLIENTE")),
                              TDataModuleQueryComposte::nomeCliente(
                                  q.value(QStringLiteral("DESCR")), q.value(QStringLiteral("EMAIL")),
                                  q.value(QStringLiteral("TELEFONO1")), q.value(QStringLiteral("TELEFONO2")),
                                  q.value(QStringLiteral("TELEFONO3")))});
        }
    }
    e.comuni = colonna(tr, QStringLiteral("select distinct C.NOME from ANNUNCI_IMMOBILI AI join comuni C on "
                                          "C.id_comune=AI.id_comune order by C.NOME"));
    e.tipImmobile = colonna(tr, QStringLiteral("select distinct T.DESCRIZIONE from ANNUNCI_IMMOBILI AI join "
                                               "TIPOLOGIE_IMMOBILI T on T.id_tipologia_immobile="
                                               "AI.id_tipologia_immobile order by T.DESCRIZIONE"));
    e.riferimenti = colonna(tr, QStringLiteral("select distinct upper(AI.RIFERIMENTO) RIFERIMENTO from "
                                               "annunci_immobili AI order by AI.RIFERIMENTO"));
    return e;
}

void eliminaAnnuncio(db::Transaction &tr, int idAnnuncio)
{
    db::Query q(tr, QStringLiteral("delete from ANNUNCI_IMMOBILI where ID_ANNUNCIO_IMMOBILE=:ID_ANNUNCIO_IMMOBILE"));
    q.setParam(QStringLiteral("ID_ANNUNCIO_IMMOBILE"), idAnnuncio);
    q.exec();
    tr.commitRetaining();
}

int leggiAutoForm(db::Transaction &tr)
{
    db::Query q(tr, QStringLiteral("select AUTO_FORM from OPZIONI where ID=0"));
    const int valore = q.first() ? q.value(QStringLiteral("AUTO_FORM")).toInt() : 0;
    q.close();
    return valore;
}

void scriviAutoForm(db::Transaction &tr, int valore)
{
    db::Query q(tr, QStringLiteral("update OPZIONI set AUTO_FORM=%1 where ID=0").arg(valore));
    q.exec();
    tr.commitRetaining();
}

QVariantList fotoAnnuncio(db::Transaction &tr, int idAnnuncio)
{
    db::Query q(tr, QStringList{QStringLiteral("select * from PHOTOGALLERY"),
                                QStringLiteral("where ID_ANNUNCIO_IMMOBILE=:ID_ANNUNCIO_IMMOBILE"),
                                QStringLiteral("order by ID_PHOTOGALLERY")}
                        .join(QLatin1Char('\n')));
    q.setParam(QStringLiteral("ID_ANNUNCIO_IMMOBILE"), idAnnuncio);
    q.exec();
    QVariantList righe;
    while (q.next()) {
        QVariantMap riga;
        for (const char *campo : {"PATH_IMAGE", "DIDASCALIA", "PRINCIPALE", "PLANIMETRIA"})
            riga.insert(QLatin1String(campo), q.value(QLatin1String(campo)));
        righe << riga;
    }
    return righe;
}

} // namespace tavo
