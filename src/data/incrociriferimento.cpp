#include "incrociriferimento.h"

namespace tavo::incroci {

namespace {

const QString &testo(const TestoN &t)
{
    static const QString vuoto = QStringLiteral("");
    return t ? *t : vuoto;
}

bool uguale(const TestoN &t, const char *latin1) { return t && *t == QLatin1String(latin1); }

QString elenco(const QVector<int> &ids)
{
    QStringList parti;
    parti.reserve(ids.size());
    for (int id : ids)
        parti.append(QString::number(id));
    return parti.join(QLatin1Char(','));
}

Invii leggiInvii(db::Query &ultimo, db::Query &numero, const QString &parametro, int id)
{
    Invii invii;
    ultimo.setParam(parametro, id);
    if (ultimo.first()) {
        const QVariant v = ultimo.value(0);
        if (v.isValid() && !dataZero(v.toDateTime()))
            invii.dataUltInvio = v;
    }
    ultimo.close();
    numero.setParam(parametro, id);
    if (numero.first())
        invii.nInvii = numero.value(0).toInt();
    numero.close();
    return invii;
}

QString unisci(db::Query &q, int idRichiesta)
{
    QString risultato;
    q.setParam(QStringLiteral("ID_RICHIESTA"), idRichiesta);
    q.exec();
    bool primo = true;
    while (q.next()) {
        if (!primo)
            risultato += QStringLiteral(", ");
        risultato += q.value(1).toString();
        primo = false;
    }
    return risultato;
}

} // namespace

QueryIncroci queryAnnunciDiRichiesta(const ValoriRichiesta &r, CollegamentiRichiesta collegamenti)
{
    QueryIncroci q;
    QStringList &l = q.righe;
    auto param = [&](const char *nome, const QVariant &valore) { q.parametri.append({QLatin1String(nome), valore}); };
    if (collegamenti == CollegamentiRichiesta::DaDatabase) {
        l << QStringLiteral("select distinct ID_ANNUNCIO_IMMOBILE from ANNUNCI_IMMOBILI where ELIMINATO='N' and "
                            "ID_COMUNE in (select ID_COMUNE from RICHIESTE_COMUNI where ID_RICHIESTA=:ID_RICHIESTA) "
                            "and ID_TIPOLOGIA_IMMOBILE in (select ID_TIP_IMMOBILE from RICHIESTE_TIP_IMMOBILI where "
                            "ID_RICHIESTA=:ID_RICHIESTA) and ID_TIPOLOGIA_ANNUNCIO in (select ID_TIP_ANNUNCIO from "
                            "RICHIESTE_TIP_ANNUNCI where ID_RICHIESTA=:ID_RICHIESTA) ");
        param("ID_RICHIESTA", r.idRichiesta);
    } else {
        // A request on screen has no stored link rows: its lists go into the text, as the request editor
        // writes them. An empty list matches nothing (and "in ()" would not even parse).
        if (r.comuni.isEmpty() || r.tipiImmobile.isEmpty() || r.tipiAnnuncio.isEmpty())
            return {};
        l << QStringLiteral("select distinct ID_ANNUNCIO_IMMOBILE from ANNUNCI_IMMOBILI where ELIMINATO='N' ");
        l << QStringLiteral("and ID_COMUNE in (") + elenco(r.comuni) + QStringLiteral(")");
        l << QStringLiteral("and ID_TIPOLOGIA_IMMOBILE in (") + elenco(r.tipiImmobile) + QStringLiteral(")");
        l << QStringLiteral("and ID_TIPOLOGIA_ANNUNCIO in (") + elenco(r.tipiAnnuncio) + QStringLiteral(")");
    }
    // The stored values as the program reads them: a missing number is 0, a missing text ''.
    const double prezzoMin = r.prezzoMin.value_or(0), prezzoMax = r.prezzoMax.value_or(0);
    const double mqMin = r.mqMin.value_or(0), mqMax = r.mqMax.value_or(0);
    if (prezzoMin != 0) {
        l << QStringLiteral("and ((PREZZO>=:PREZZO_MIN) or (PREZZO=0) or (PREZZO is null))");
        param("PREZZO_MIN", prezzoMin);
    }
    if (prezzoMax != 0) {
        l << QStringLiteral("and ((PREZZO<=:PREZZO_MAX) or (PREZZO=0) or (PREZZO is null))");
        param("PREZZO_MAX", prezzoMax);
    }
    if (mqMin != 0) {
        l << QStringLiteral("and ((MQ>=:MQ_MIN) or (MQ=0) or (MQ is null))");
        param("MQ_MIN", mqMin);
    }
    if (mqMax != 0) {
        l << QStringLiteral("and ((MQ<=:MQ_MAX) or (MQ=0) or (MQ is null))");
        param("MQ_MAX", mqMax);
    }
    struct Conteggio
    {
        const InteroN &valore;
        const char *riga;
        const char *nome;
    };
    const Conteggio conteggi[] = {
        {r.nrLocaliMin, "and ((NR_LOCALI>=:NR_LOCALI_MIN) or (NR_LOCALI=0) or (NR_LOCALI is null))", "NR_LOCALI_MIN"},
        {r.nrLocaliMax, "and ((NR_LOCALI<=:NR_LOCALI_MAX) or (NR_LOCALI=0) or (NR_LOCALI is null))", "NR_LOCALI_MAX"},
        {r.nrServiziMin, "and ((NR_SERVIZI>=:NR_SERVIZI_MIN) or (NR_SERVIZI=0) or (NR_SERVIZI is null))",
         "NR_SERVIZI_MIN"},
        {r.nrServiziMax, "and ((NR_SERVIZI<=:NR_SERVIZI_MAX) or (NR_SERVIZI=0) or (NR_SERVIZI is null))",
         "NR_SERVIZI_MAX"},
        {r.nrCamereMin, "and ((NR_CAMERE>=:NR_CAMERE_MIN) or (NR_CAMERE=0) or (NR_CAMERE is null))", "NR_CAMERE_MIN"},
        {r.nrCamereMax, "and ((NR_CAMERE<=:NR_CAMERE_MAX) or (NR_CAMERE=0) or (NR_CAMERE is null))", "NR_CAMERE_MAX"},
    };
    for (const Conteggio &c : conteggi) {
        const int valore = c.valore.value_or(0);
        if (valore != 0) {
            l << QLatin1String(c.riga);
            param(c.nome, valore);
        }
    }
    const QString localita = trimmed(testo(r.localita));
    if (!localita.isEmpty()) {
        l << QStringLiteral("and ((LOCALITA=:LOCALITA) or (LOCALITA='') or (LOCALITA is null))");
        param("LOCALITA", localita);
    }
    if (uguale(r.boxAuto, "box singolo"))
        l << QStringLiteral("and ((BOX_AUTO='singolo') or (BOX_AUTO=''))");
    else if (uguale(r.boxAuto, "box doppio"))
        l << QStringLiteral("and ((BOX_AUTO='doppio') or (BOX_AUTO=''))");
    else if (uguale(r.boxAuto, "posto auto"))
        l << QStringLiteral(
            "and ((BOX_AUTO='singolo') or (BOX_AUTO='doppio') or (BOX_AUTO='posto auto') or (BOX_AUTO=''))");
    if (uguale(r.balcone, "S"))
        l << QStringLiteral("and ((BALCONE='S') or (BALCONE is null))");
    if (uguale(r.terrazzo, "S"))
        l << QStringLiteral("and ((TERRAZZO='S') or (TERRAZZO is null))");
    if (uguale(r.giardino, "S"))
        l << QStringLiteral("and ((GIARDINO='privato') or (GIARDINO='comune') or (GIARDINO=''))");
    if (uguale(r.spazioAperto, "S"))
        l << QStringLiteral("and ((TERRAZZO='S') or (TERRAZZO is null) or (GIARDINO='privato') or "
                            "(GIARDINO='comune') or (GIARDINO=''))");
    if (uguale(r.cantina, "S"))
        l << QStringLiteral("and ((CANTINA='S') or (CANTINA is null))");
    if (r.condizioni && !r.condizioni->isEmpty()) {
        l << QStringLiteral("and ((CONDIZIONI=:CONDIZIONI) or (CONDIZIONI is null))");
        param("CONDIZIONI", *r.condizioni);
    }
    if (uguale(r.ascensore, "S"))
        l << QStringLiteral("and ((ASCENSORE='S') or (ASCENSORE is null))");
    if (uguale(r.condizionatore, "S"))
        l << QStringLiteral("and ((CONDIZIONATORE='S') or (CONDIZIONATORE is null))");
    // Ties at the same price in id order (the plain "order by PREZZO" leaves them open).
    l << QStringLiteral("order by PREZZO, ID_ANNUNCIO_IMMOBILE");
    return q;
}

QueryIncroci queryRichiesteDiAnnuncio(const ValoriAnnuncio &a)
{
    QueryIncroci q;
    QStringList &l = q.righe;
    auto param = [&](const char *nome, const QVariant &valore) { q.parametri.append({QLatin1String(nome), valore}); };
    // ID_RICHIESTA without alias is ambiguous between the four tables: dialect 1 answers with a warning and
    // the value is the same in all of them (they are joined on it), so the text stays as it always was.
    l << QStringLiteral("select distinct ID_RICHIESTA from RICHIESTE R left join RICHIESTE_COMUNI RC on "
                        "RC.id_richiesta=R.id_richiesta left join RICHIESTE_TIP_ANNUNCI RA on "
                        "RA.id_richiesta=R.id_richiesta left join RICHIESTE_TIP_IMMOBILI RI on "
                        "RI.id_richiesta=R.id_richiesta where (RC.id_comune=:ID_COMUNE) and "
                        "(RA.id_tip_annuncio=:ID_TIP_ANNUNCIO) and (RI.id_tip_immobile=:ID_TIP_IMMOBILE)");
    param("ID_COMUNE", a.idComune);
    param("ID_TIP_ANNUNCIO", a.idTipologiaAnnuncio);
    param("ID_TIP_IMMOBILE", a.idTipologiaImmobile);
    const double prezzo = a.prezzo.value_or(0);
    if (prezzo != 0) {
        l << QStringLiteral("and ((R.PREZZO_MIN<=:PREZZO) or (R.PREZZO_MIN=0))");
        l << QStringLiteral("and ((R.PREZZO_MAX>=:PREZZO) or (R.PREZZO_MAX=0))");
        param("PREZZO", prezzo);
    }
    const double mq = a.mq.value_or(0);
    if (mq != 0) {
        l << QStringLiteral("and ((R.MQ_MIN<=:MQ) or (R.MQ_MIN=0))");
        l << QStringLiteral("and ((R.MQ_MAX>=:MQ) or (R.MQ_MAX=0))");
        param("MQ", mq);
    }
    const double locali = a.nrLocali.value_or(0);
    if (locali != 0) {
        l << QStringLiteral("and ((R.NR_LOCALI_MIN<=:NR_LOCALI) or (R.NR_LOCALI_MIN=0))");
        l << QStringLiteral("and ((R.NR_LOCALI_MAX>=:NR_LOCALI) or (R.NR_LOCALI_MAX=0))");
        param("NR_LOCALI", arrotondaPari(locali));
    }
    const double servizi = a.nrServizi.value_or(0);
    if (servizi != 0) {
        l << QStringLiteral("and ((R.NR_SERVIZI_MIN<=:NR_SERVIZI) or (R.NR_SERVIZI_MIN=0))");
        l << QStringLiteral("and ((R.NR_SERVIZI_MAX>=:NR_SERVIZI) or (R.NR_SERVIZI_MAX=0))");
        param("NR_SERVIZI", arrotondaPari(servizi));
    }
    const int camere = a.nrCamere.value_or(0);
    if (camere != 0) {
        l << QStringLiteral("and ((R.NR_CAMERE_MIN<=:NR_CAMERE) or (R.NR_CAMERE_MIN=0))");
        l << QStringLiteral("and ((R.NR_CAMERE_MAX>=:NR_CAMERE) or (R.NR_CAMERE_MAX=0))");
        param("NR_CAMERE", camere);
    }
    const QString localita = trimmed(testo(a.localita));
    if (!localita.isEmpty()) {
        l << QStringLiteral("and ((R.LOCALITA=:LOCALITA) or (R.LOCALITA=''))");
        param("LOCALITA", localita);
    }
    const QString &box = testo(a.boxAuto);
    if (!trimmed(box).isEmpty() && box != QLatin1String("nessuno")) {
        l << QStringLiteral("and ((R.BOX_AUTO=:BOX_AUTO) or (R.BOX_AUTO=''))");
        if (box == QLatin1String("singolo"))
            param("BOX_AUTO", QStringLiteral("box singolo"));
        else if (box == QLatin1String("doppio"))
            param("BOX_AUTO", QStringLiteral("box doppio"));
        else
            param("BOX_AUTO", box);
    }
    if (uguale(a.balcone, "S"))
        l << QStringLiteral("and ((R.BALCONE='S') or (R.BALCONE='N'))");
    else if (uguale(a.balcone, "N"))
        l << QStringLiteral("and ((R.BALCONE='N'))");
    if (uguale(a.terrazzo, "S"))
        l << QStringLiteral(
            "and ((R.TERRAZZO='S') or (R.TERRAZZO='N') or (R.SPAZIO_APERTO='S') or (SPAZIO_APERTO='N'))");
    else if (uguale(a.terrazzo, "N"))
        l << QStringLiteral("and ((R.TERRAZZO='N'))");
    if (uguale(a.cantina, "S"))
        l << QStringLiteral("and ((R.CANTINA='S') or (R.CANTINA='N'))");
    else if (uguale(a.cantina, "N"))
        l << QStringLiteral("and ((R.CANTINA='N'))");
    const QString giardino = trimmed(testo(a.giardino));
    if (!giardino.isEmpty() && giardino != QLatin1String("nessuno"))
        l << QStringLiteral(
            "and ((R.GIARDINO='S') or (R.GIARDINO='N') or (R.SPAZIO_APERTO='S') or (SPAZIO_APERTO='N'))");
    else if (uguale(a.giardino, "nessuno"))
        l << QStringLiteral("and ((R.GIARDINO='N'))");
    if (!trimmed(testo(a.condizioni)).isEmpty()) {
        l << QStringLiteral("and ((R.CONDIZIONI=:CONDIZIONI) or (R.CONDIZIONI=''))");
        param("CONDIZIONI", *a.condizioni);
    }
    if (uguale(a.ascensore, "S"))
        l << QStringLiteral("and ((R.ASCENSORE='S') or (R.ASCENSORE='N'))");
    else if (uguale(a.ascensore, "N"))
        l << QStringLiteral("and ((R.ASCENSORE='N'))");
    if (uguale(a.condizionatore, "S"))
        l << QStringLiteral("and ((R.CONDIZIONATORE='S') or (R.CONDIZIONATORE='N'))");
    else if (uguale(a.condizionatore, "N"))
        l << QStringLiteral("and ((R.CONDIZIONATORE='N'))");
    return q;
}

QStringList righeDettaglioTipologieAnnuncio()
{
    return {QStringLiteral("select R.ID_TIP_ANNUNCIO,TA.DESCRIZIONE"), QStringLiteral("from RICHIESTE_TIP_ANNUNCI R"),
            QStringLiteral("join  TIPOLOGIE_ANNUNCI TA on TA.ID_TIPOLOGIA_ANNUNCIO=R.ID_TIP_ANNUNCIO"),
            QStringLiteral("where R.ID_RICHIESTA=:ID_RICHIESTA"), QStringLiteral("order by R.ID_TIP_ANNUNCIO")};
}

QStringList righeDettaglioTipologieImmobile()
{
    return {QStringLiteral("select R.ID_TIP_IMMOBILE,TI.descrizione_plurale"),
            QStringLiteral("from RICHIESTE_TIP_IMMOBILI R"),
            QStringLiteral("join  TIPOLOGIE_IMMOBILI TI on TI.ID_TIPOLOGIA_IMMOBILE=R.ID_TIP_IMMOBILE"),
            QStringLiteral("where R.ID_RICHIESTA=:ID_RICHIESTA"), QStringLiteral("order by R.ID")};
}

QStringList righeDettaglioComuni()
{
    return {QStringLiteral("select C.ID_COMUNE,CO.nome"), QStringLiteral("from RICHIESTE_COMUNI C"),
            QStringLiteral("join COMUNI CO on CO.id_comune=C.id_comune"),
            QStringLiteral("where C.ID_RICHIESTA=:ID_RICHIESTA"), QStringLiteral("order by C.ID")};
}

// ---- IncrociPerRiga ----------------------------------------------------------------------------------------------

IncrociPerRiga::IncrociPerRiga(db::Transaction &tr)
    : m_incroci(tr),
      m_ultimoInvioRichiesta(
          tr, QStringLiteral("select max(DATA_ORA) DATA_ULT_INVIO from RICHIESTE_EMAIL where ID_RICHIESTA=:ID_RICHIESTA")),
      m_nInviiRichiesta(tr, QStringLiteral("select count(distinct ID_ANNUNCIO_IMMOBILE) N_INVII from RICHIESTE_EMAIL "
                                           "where ID_RICHIESTA=:ID_RICHIESTA")),
      m_ultimoInvioAnnuncio(tr, QStringLiteral("select max(DATA_ORA) DATA_ULT_INVIO from RICHIESTE_EMAIL where "
                                               "ID_ANNUNCIO_IMMOBILE=:ID_ANNUNCIO_IMMOBILE")),
      m_nInviiAnnuncio(tr, QStringLiteral("select count(distinct ID_RICHIESTA) N_INVII from RICHIESTE_EMAIL where "
                                          "ID_ANNUNCIO_IMMOBILE=:ID_ANNUNCIO_IMMOBILE")),
      m_tipologieAnnuncio(tr), m_tipologieImmobile(tr), m_comuni(tr)
{
    m_tipologieAnnuncio.setSql(righeDettaglioTipologieAnnuncio());
    m_tipologieImmobile.setSql(righeDettaglioTipologieImmobile());
    m_comuni.setSql(righeDettaglioComuni());
}

IncrociPerRiga::~IncrociPerRiga() = default;

QVector<int> IncrociPerRiga::esegui(const QueryIncroci &query)
{
    QVector<int> ids;
    if (query.righe.isEmpty())
        return ids;
    m_incroci.setSql(query.righe);
    for (const auto &p : query.parametri)
        m_incroci.setParam(p.first, p.second);
    m_incroci.exec();
    while (m_incroci.next())
        ids.append(m_incroci.value(0).toInt());
    return ids;
}

QVector<int> IncrociPerRiga::annunciDiRichiesta(const ValoriRichiesta &richiesta, CollegamentiRichiesta collegamenti)
{
    return esegui(queryAnnunciDiRichiesta(richiesta, collegamenti));
}

QVector<int> IncrociPerRiga::richiesteDiAnnuncio(const ValoriAnnuncio &annuncio)
{
    return esegui(queryRichiesteDiAnnuncio(annuncio));
}

Invii IncrociPerRiga::inviiRichiesta(int idRichiesta)
{
    return leggiInvii(m_ultimoInvioRichiesta, m_nInviiRichiesta, QStringLiteral("ID_RICHIESTA"), idRichiesta);
}

Invii IncrociPerRiga::inviiAnnuncio(int idAnnuncio)
{
    return leggiInvii(m_ultimoInvioAnnuncio, m_nInviiAnnuncio, QStringLiteral("ID_ANNUNCIO_IMMOBILE"), idAnnuncio);
}

Riepiloghi IncrociPerRiga::riepiloghiRichiesta(int idRichiesta)
{
    Riepiloghi r;
    r.tipologieAnnuncio = unisci(m_tipologieAnnuncio, idRichiesta);
    r.tipologieImmobile = unisci(m_tipologieImmobile, idRichiesta);
    r.comuni = unisci(m_comuni, idRichiesta);
    return r;
}

} // namespace tavo::incroci
