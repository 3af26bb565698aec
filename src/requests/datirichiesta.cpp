#include "requests/datirichiesta.h"

#include <cmath>
#include <limits>

namespace tavo {

namespace {

QString flagRichiesta(bool selezionato)
{
    return selezionato ? QStringLiteral("S") : QStringLiteral("N");
}

QString elenco(const QVector<int> &ids)
{
    QStringList parti;
    parti.reserve(ids.size());
    for (int id : ids)
        parti << QString::number(id);
    return parti.join(QLatin1Char(','));
}

double numero(const db::Query &q, const char *colonna)
{
    return q.value(QLatin1String(colonna)).toDouble();
}

} // namespace

// ---- Fixed lists -------------------------------------------------------------------------------------------------

QStringList vociTipologieAnnuncio()
{
    return {QStringLiteral("Vendita"), QStringLiteral("Affitto"), QStringLiteral("Vacanza")};
}

QStringList vociBoxAutoRichiesta()
{
    return {QString(), QStringLiteral("box singolo"), QStringLiteral("box doppio"), QStringLiteral("posto auto")};
}

QStringList vociCondizioniRichiesta()
{
    return {QString(),
            QStringLiteral("abitabile"),
            QStringLiteral("buono"),
            QStringLiteral("nuovo"),
            QStringLiteral("ottimo"),
            QStringLiteral("ristrutturato"),
            QStringLiteral("da ristrutturare")};
}

QVector<int> DatiRichiesta::idComuni() const
{
    QVector<int> ids;
    ids.reserve(comuni.size());
    for (const Voce &c : comuni)
        ids << c.id;
    return ids;
}

// ---- Conversions -------------------------------------------------------------------------------------------------

int superficieArrotondata(double valore)
{
    if (!std::isfinite(valore))
        return 0;
    const double r = std::nearbyint(valore);
    if (r >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (r <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(r);
}

QVariantMap colonneRichiesta(const DatiRichiesta &d)
{
    QVariantMap c;
    auto imposta = [&c](const char *colonna, const QVariant &valore) { c.insert(QLatin1String(colonna), valore); };
    imposta("ID_CLIENTE", d.idCliente);
    imposta("PREZZO_MIN", valuta(d.prezzoMin));
    imposta("PREZZO_MAX", valuta(d.prezzoMax));
    imposta("MQ_MIN", interoTroncato(d.mqMin));
    imposta("MQ_MAX", interoTroncato(d.mqMax));
    imposta("NR_LOCALI_MIN", interoTroncato(d.nrLocaliMin));
    imposta("NR_LOCALI_MAX", interoTroncato(d.nrLocaliMax));
    imposta("NR_SERVIZI_MIN", interoTroncato(d.nrServiziMin));
    imposta("NR_SERVIZI_MAX", interoTroncato(d.nrServiziMax));
    imposta("NR_CAMERE_MIN", interoTroncato(d.nrCamereMin));
    imposta("NR_CAMERE_MAX", interoTroncato(d.nrCamereMax));
    // A list without a chosen item has the empty text, as the blank item has.
    imposta("BOX_AUTO", d.boxAuto.value_or(QString(QLatin1String(""))));
    imposta("CONDIZIONI", d.condizioni.value_or(QString(QLatin1String(""))));
    imposta("BALCONE", flagRichiesta(d.balcone));
    imposta("TERRAZZO", flagRichiesta(d.terrazzo));
    imposta("CANTINA", flagRichiesta(d.cantina));
    imposta("GIARDINO", flagRichiesta(d.giardino));
    imposta("SPAZIO_APERTO", flagRichiesta(d.spazioAperto));
    imposta("ASCENSORE", flagRichiesta(d.ascensore));
    imposta("CONDIZIONATORE", flagRichiesta(d.condizionatore));
    imposta("FONTE", d.fonte);
    imposta("LOCALITA", d.localita.trimmed());
    imposta("NOTE", memoDaSchermo(d.note));
    // Null texts would be written as NULL: the columns get the empty text instead.
    for (auto it = c.begin(); it != c.end(); ++it)
        if (it.value().typeId() == QMetaType::QString && it.value().toString().isNull())
            it.value() = QString(QLatin1String(""));
    return c;
}

bool richiestaGenerica(const DatiRichiesta &d)
{
    const double limiti[] = {d.prezzoMin,   d.prezzoMax,    d.mqMin,        d.mqMax,       d.nrLocaliMin,
                             d.nrLocaliMax, d.nrServiziMin, d.nrServiziMax, d.nrCamereMin, d.nrCamereMax};
    for (double l : limiti)
        if (l != 0)
            return false;
    return !d.boxAuto && d.localita.isEmpty() && !d.condizioni && !d.balcone && !d.terrazzo && !d.cantina &&
           !d.giardino && !d.ascensore && !d.condizionatore && !d.spazioAperto;
}

QString testoDomandaGenerica(bool perRicerca)
{
    return QString::fromUtf8("Non è stata specificata alcuna caratteristica della ricerca.\n"
                             "La richiesta potrebbe risultare troppo generica\n\n"
                             "Continuare con la ") +
           (perRicerca ? QStringLiteral("ricerca") : QStringLiteral("registrazione")) + QLatin1Char('?');
}

// ---- Matching ----------------------------------------------------------------------------------------------------

incroci::ValoriRichiesta valoriIncrocio(const DatiRichiesta &d)
{
    incroci::ValoriRichiesta r;
    r.idRichiesta = d.idRichiesta;
    r.prezzoMin = valuta(d.prezzoMin);
    r.prezzoMax = valuta(d.prezzoMax);
    r.mqMin = d.mqMin;
    r.mqMax = d.mqMax;
    r.nrLocaliMin = interoTroncato(d.nrLocaliMin);
    r.nrLocaliMax = interoTroncato(d.nrLocaliMax);
    r.nrServiziMin = interoTroncato(d.nrServiziMin);
    r.nrServiziMax = interoTroncato(d.nrServiziMax);
    r.nrCamereMin = interoTroncato(d.nrCamereMin);
    r.nrCamereMax = interoTroncato(d.nrCamereMax);
    r.localita = d.localita.trimmed();
    r.boxAuto = d.boxAuto.value_or(QString(QLatin1String("")));
    r.condizioni = d.condizioni.value_or(QString(QLatin1String("")));
    r.balcone = flagRichiesta(d.balcone);
    r.terrazzo = flagRichiesta(d.terrazzo);
    r.cantina = flagRichiesta(d.cantina);
    r.giardino = flagRichiesta(d.giardino);
    r.spazioAperto = flagRichiesta(d.spazioAperto);
    r.ascensore = flagRichiesta(d.ascensore);
    r.condizionatore = flagRichiesta(d.condizionatore);
    r.comuni = d.idComuni();
    r.tipiImmobile = d.tipiImmobile;
    r.tipiAnnuncio = d.tipiAnnuncio;
    return r;
}

incroci::QueryIncroci queryIncrociRichiesta(const DatiRichiesta &d)
{
    incroci::QueryIncroci q;
    const QVector<int> comuni = d.idComuni();
    if (comuni.isEmpty() || d.tipiImmobile.isEmpty() || d.tipiAnnuncio.isEmpty())
        return q;
    QStringList &l = q.righe;
    auto param = [&q](const char *nome, const QVariant &valore) { q.parametri.append({QLatin1String(nome), valore}); };

    l << QStringLiteral("select distinct ID_ANNUNCIO_IMMOBILE from ANNUNCI_IMMOBILI where ELIMINATO='N' ");
    l << QStringLiteral("and ID_COMUNE in (") + elenco(comuni) + QLatin1Char(')');
    l << QStringLiteral("and ID_TIPOLOGIA_IMMOBILE in (") + elenco(d.tipiImmobile) + QLatin1Char(')');
    l << QStringLiteral("and ID_TIPOLOGIA_ANNUNCIO in (") + elenco(d.tipiAnnuncio) + QLatin1Char(')');

    const double prezzoMin = valuta(d.prezzoMin), prezzoMax = valuta(d.prezzoMax);
    if (prezzoMin != 0) {
        l << QStringLiteral("and ((PREZZO>=:PREZZO_MIN) or (PREZZO=0) or (PREZZO is null))");
        param("PREZZO_MIN", prezzoMin);
    }
    if (prezzoMax != 0) {
        l << QStringLiteral("and ((PREZZO<=:PREZZO_MAX) or (PREZZO=0) or (PREZZO is null))");
        param("PREZZO_MAX", prezzoMax);
    }
    if (d.mqMin != 0) {
        l << QStringLiteral("and ((MQ>=:MQ_MIN) or (MQ=0) or (MQ is null))");
        param("MQ_MIN", d.mqMin);
    }
    if (d.mqMax != 0) {
        l << QStringLiteral("and ((MQ<=:MQ_MAX) or (MQ=0) or (MQ is null))");
        param("MQ_MAX", d.mqMax);
    }
    const struct
    {
        double valore;
        const char *riga;
        const char *nome;
    } conteggi[] = {
        {d.nrLocaliMin, "and ((NR_LOCALI>=:NR_LOCALI_MIN) or (NR_LOCALI=0) or (NR_LOCALI is null))", "NR_LOCALI_MIN"},
        {d.nrLocaliMax, "and ((NR_LOCALI<=:NR_LOCALI_MAX) or (NR_LOCALI=0) or (NR_LOCALI is null))", "NR_LOCALI_MAX"},
        {d.nrServiziMin, "and ((NR_SERVIZI>=:NR_SERVIZI_MIN) or (NR_SERVIZI=0) or (NR_SERVIZI is null))",
         "NR_SERVIZI_MIN"},
        {d.nrServiziMax, "and ((NR_SERVIZI<=:NR_SERVIZI_MAX) or (NR_SERVIZI=0) or (NR_SERVIZI is null))",
         "NR_SERVIZI_MAX"},
        {d.nrCamereMin, "and ((NR_CAMERE>=:NR_CAMERE_MIN) or (NR_CAMERE=0) or (NR_CAMERE is null))", "NR_CAMERE_MIN"},
        {d.nrCamereMax, "and ((NR_CAMERE<=:NR_CAMERE_MAX) or (NR_CAMERE=0) or (NR_CAMERE is null))", "NR_CAMERE_MAX"},
    };
    // A count is a bound only by its integer part: 0.5 rooms add no line.
    for (const auto &c : conteggi) {
        const int valore = interoTroncato(c.valore);
        if (valore != 0) {
            l << QLatin1String(c.riga);
            param(c.nome, valore);
        }
    }
    const QString localita = d.localita.trimmed();
    if (!localita.isEmpty()) {
        l << QStringLiteral("and ((LOCALITA=:LOCALITA) or (LOCALITA='') or (LOCALITA is null))");
        param("LOCALITA", localita);
    }
    const QString box = d.boxAuto.value_or(QString());
    if (box == QLatin1String("box singolo"))
        l << QStringLiteral("and ((BOX_AUTO='singolo') or (BOX_AUTO=''))");
    else if (box == QLatin1String("box doppio"))
        l << QStringLiteral("and ((BOX_AUTO='doppio') or (BOX_AUTO=''))");
    else if (box == QLatin1String("posto auto"))
        l << QStringLiteral(
            "and ((BOX_AUTO='singolo') or (BOX_AUTO='doppio') or (BOX_AUTO='posto auto') or (BOX_AUTO=''))");
    if (d.terrazzo)
        l << QStringLiteral("and ((TERRAZZO='S') or (TERRAZZO is null))");
    if (d.giardino)
        l << QStringLiteral("and ((GIARDINO='privato') or (GIARDINO='comune') or (GIARDINO=''))");
    if (d.spazioAperto)
        l << QStringLiteral("and ((TERRAZZO='S') or (TERRAZZO is null) or (GIARDINO='privato') or "
                            "(GIARDINO='comune') or (GIARDINO=''))");
    if (d.balcone)
        l << QStringLiteral("and ((BALCONE='S') or (BALCONE is null))");
    if (d.cantina)
        l << QStringLiteral("and ((CANTINA='S') or (CANTINA is null))");
    const QString condizioni = d.condizioni.value_or(QString());
    if (!condizioni.isEmpty()) {
        l << QStringLiteral("and ((CONDIZIONI=:CONDIZIONI) or (CONDIZIONI is null))");
        param("CONDIZIONI", condizioni);
    }
    if (d.ascensore)
        l << QStringLiteral("and ((ASCENSORE='S') or (ASCENSORE is null))");
    if (d.condizionatore)
        l << QStringLiteral("and ((CONDIZIONATORE='S') or (CONDIZIONATORE is null))");
    l << QStringLiteral("order by PREZZO");
    return q;
}

QVector<int> eseguiQueryIncroci(db::Transaction &tr, const incroci::QueryIncroci &query)
{
    QVector<int> ids;
    if (query.righe.isEmpty())
        return ids;
    db::Query q(tr);
    q.setSql(query.righe);
    for (const auto &p : query.parametri)
        q.setParam(p.first, p.second);
    q.exec();
    while (q.next())
        ids << q.value(0).toInt();
    return ids;
}

QString filtroAnnunciIncrociati(const QVector<int> &ids)
{
    return QStringLiteral("and ID_ANNUNCIO_IMMOBILE in (") + elenco(ids) + QLatin1Char(')');
}

// ---- Lists -------------------------------------------------------------------------------------------------------

QList<RigaTipologia> leggiRigheTipologie(db::Transaction &tr)
{
    db::Query q(tr, QStringLiteral("select MT.id_macro_tipologia,upper(MT.descrizione_plurale) descrizione_plurale,"
                                   "TA.id_tipologia_immobile,TA.descrizione from macro_tipologie MT join "
                                   "tipologie_immobili TA on TA.id_macro_tipologia=MT.id_macro_tipologia order by "
                                   "MT.descrizione_plurale,TA.descrizione"));
    q.exec();
    QList<RigaTipologia> righe;
    while (q.next())
        righe.append({q.integer(QStringLiteral("ID_MACRO_TIPOLOGIA")), q.text(QStringLiteral("DESCRIZIONE_PLURALE")),
                      q.integer(QStringLiteral("ID_TIPOLOGIA_IMMOBILE")), q.text(QStringLiteral("DESCRIZIONE"))});
    return righe;
}

QList<GruppoTipologie> raggruppaTipologie(const QList<RigaTipologia> &righe)
{
    QList<GruppoTipologie> gruppi;
    for (int i = 0; i < righe.size(); ++i) {
        const RigaTipologia &r = righe.at(i);
        if (i == 0 || r.idMacro != righe.at(i - 1).idMacro)
            gruppi.append({r.gruppo, {}});
        gruppi.last().tipi.append({r.idTipologia, r.descrizione});
    }
    return gruppi;
}

QStringList leggiLocalitaComuni(db::Transaction &tr, const QVector<int> &comuni)
{
    if (comuni.isEmpty())
        return {};
    db::Query q(tr);
    q.setSql(QStringList{QStringLiteral("select cast(' ' as varchar(255)) LOCALITA from RDB$DATABASE union select "
                                        "LOCALITA from VIEW_LOCALITA"),
                         QStringLiteral("where ID_COMUNE in (") + elenco(comuni) + QLatin1Char(')')});
    q.exec();
    QStringList voci;
    while (q.next())
        voci << q.text(QStringLiteral("LOCALITA"));
    return voci;
}

QString localitaVerificata(const QString &testo, const QStringList &suggerimenti)
{
    const QString cercato = testo.trimmed();
    if (cercato.isEmpty() || suggerimenti.contains(cercato))
        return testo;
    return QString();
}

QStringList leggiFonti(db::Transaction &tr)
{
    db::Query q(tr, QStringLiteral("select cast(' ' as varchar(50)) FONTE from RDB$DATABASE union select distinct "
                                   "FONTE from RICHIESTE"));
    q.exec();
    QStringList voci;
    while (q.next())
        if (!q.isNull(0))
            voci << q.text(QStringLiteral("FONTE"));
    return voci;
}

// ---- Reading and saving ------------------------------------------------------------------------------------------

std::optional<DatiRichiesta> leggiRichiesta(db::Transaction &tr, int idRichiesta)
{
    db::Query q(tr, QStringLiteral("select * from RICHIESTE where ID_RICHIESTA=:ID_RICHIESTA"));
    q.setParam(QStringLiteral("ID_RICHIESTA"), idRichiesta);
    if (!q.first())
        return std::nullopt;
    DatiRichiesta d;
    d.idRichiesta = idRichiesta;
    d.idCliente = q.integer(QStringLiteral("ID_CLIENTE"));
    d.prezzoMin = valuta(numero(q, "PREZZO_MIN"));
    d.prezzoMax = valuta(numero(q, "PREZZO_MAX"));
    d.mqMin = superficieArrotondata(numero(q, "MQ_MIN"));
    d.mqMax = superficieArrotondata(numero(q, "MQ_MAX"));
    d.nrLocaliMin = q.integer(QStringLiteral("NR_LOCALI_MIN"));
    d.nrLocaliMax = q.integer(QStringLiteral("NR_LOCALI_MAX"));
    d.nrServiziMin = q.integer(QStringLiteral("NR_SERVIZI_MIN"));
    d.nrServiziMax = q.integer(QStringLiteral("NR_SERVIZI_MAX"));
    d.nrCamereMin = q.integer(QStringLiteral("NR_CAMERE_MIN"));
    d.nrCamereMax = q.integer(QStringLiteral("NR_CAMERE_MAX"));
    d.boxAuto = q.text(QStringLiteral("BOX_AUTO"));
    d.condizioni = q.text(QStringLiteral("CONDIZIONI"));
    auto si = [&q](const char *colonna) { return q.text(QLatin1String(colonna)) == QLatin1String("S"); };
    d.balcone = si("BALCONE");
    d.terrazzo = si("TERRAZZO");
    d.cantina = si("CANTINA");
    d.giardino = si("GIARDINO");
    d.ascensore = si("ASCENSORE");
    d.condizionatore = si("CONDIZIONATORE");
    d.spazioAperto = si("SPAZIO_APERTO");
    d.fonte = q.text(QStringLiteral("FONTE"));
    d.localita = q.text(QStringLiteral("LOCALITA"));
    d.note = memoPerSchermo(q.text(QStringLiteral("NOTE")));
    q.close();

    q.setSql(QStringLiteral("select * from RICHIESTE_TIP_ANNUNCI where ID_RICHIESTA=:ID_RICHIESTA"));
    q.setParam(QStringLiteral("ID_RICHIESTA"), idRichiesta);
    q.exec();
    bool spuntati[3] = {false, false, false};
    while (q.next()) {
        const int tipo = q.integer(QStringLiteral("ID_TIP_ANNUNCIO"));
        if (tipo >= 1 && tipo <= 3)
            spuntati[tipo - 1] = true;
    }
    for (int i = 0; i < 3; ++i)
        if (spuntati[i])
            d.tipiAnnuncio << i + 1;

    q.setSql(QStringLiteral("select * from RICHIESTE_TIP_IMMOBILI where ID_RICHIESTA=:ID_RICHIESTA"));
    q.setParam(QStringLiteral("ID_RICHIESTA"), idRichiesta);
    q.exec();
    while (q.next())
        d.tipiImmobile << q.integer(QStringLiteral("ID_TIP_IMMOBILE"));

    q.setSql(QStringLiteral("select RC.id_comune,C.nome from RICHIESTE_COMUNI RC join COMUNI C on "
                            "C.id_comune=RC.id_comune where ID_RICHIESTA=:ID_RICHIESTA order by ID"));
    q.setParam(QStringLiteral("ID_RICHIESTA"), idRichiesta);
    q.exec();
    while (q.next())
        d.comuni.append({q.integer(QStringLiteral("ID_COMUNE")), q.text(QStringLiteral("NOME"))});
    return d;
}

QString sqlInserimentoRichiesta()
{
    return QStringLiteral(
        "insert into RICHIESTE (ID_RICHIESTA,ID_CLIENTE,PREZZO_MIN,PREZZO_MAX,MQ_MIN,MQ_MAX,NR_LOCALI_MIN,"
        "NR_LOCALI_MAX,NR_SERVIZI_MIN,NR_SERVIZI_MAX,NR_CAMERE_MIN,NR_CAMERE_MAX,BOX_AUTO,BALCONE,TERRAZZO,CANTINA,"
        "GIARDINO,SPAZIO_APERTO,CONDIZIONI,ASCENSORE,CONDIZIONATORE,FONTE,LOCALITA,NOTE) values (:ID_RICHIESTA,"
        ":ID_CLIENTE,:PREZZO_MIN,:PREZZO_MAX,:MQ_MIN,:MQ_MAX,:NR_LOCALI_MIN,:NR_LOCALI_MAX,:NR_SERVIZI_MIN,"
        ":NR_SERVIZI_MAX,:NR_CAMERE_MIN,:NR_CAMERE_MAX,:BOX_AUTO,:BALCONE,:TERRAZZO,:CANTINA,:GIARDINO,"
        ":SPAZIO_APERTO,:CONDIZIONI,:ASCENSORE,:CONDIZIONATORE,:FONTE,:LOCALITA,:NOTE)");
}

QString sqlModificaRichiesta()
{
    return QStringLiteral(
        "update RICHIESTE set ID_CLIENTE=:ID_CLIENTE,PREZZO_MIN=:PREZZO_MIN,PREZZO_MAX=:PREZZO_MAX,MQ_MIN=:MQ_MIN,"
        "MQ_MAX=:MQ_MAX,NR_LOCALI_MIN=:NR_LOCALI_MIN,NR_LOCALI_MAX=:NR_LOCALI_MAX,NR_SERVIZI_MIN=:NR_SERVIZI_MIN,"
        "NR_SERVIZI_MAX=:NR_SERVIZI_MAX,NR_CAMERE_MIN=:NR_CAMERE_MIN,NR_CAMERE_MAX=:NR_CAMERE_MAX,"
        "BOX_AUTO=:BOX_AUTO,BALCONE=:BALCONE,TERRAZZO=:TERRAZZO,CANTINA=:CANTINA,GIARDINO=:GIARDINO,"
        "SPAZIO_APERTO=:SPAZIO_APERTO,CONDIZIONI=:CONDIZIONI,ASCENSORE=:ASCENSORE,CONDIZIONATORE=:CONDIZIONATORE,"
        "FONTE=:FONTE,LOCALITA=:LOCALITA,NOTE=:NOTE where ID_RICHIESTA=:ID_RICHIESTA");
}

int salvaRichiesta(db::Transaction &tr, const DatiRichiesta &d)
{
    // The save has no handling of its own for a failed statement: the savepoint makes sure that nothing it ran
    // stays pending in the transaction, to be committed by a later save.
    const QString savepoint = QStringLiteral("SALVA_RICHIESTA");
    db::executeImmediate(tr, QStringLiteral("SAVEPOINT ") + savepoint);
    try {
        db::Query q(tr);
        const bool modifica = d.idRichiesta != 0;
        int id = d.idRichiesta;
        if (!modifica) {
            q.setSql(QStringLiteral("select GEN_ID(GEN_RICHIESTE_ID,1) ID_RICHIESTA from rdb$database"));
            if (!q.first())
                throw db::DbError(QStringLiteral("Il generatore GEN_RICHIESTE_ID non ha risposto."));
            id = q.value(0).toInt();
            q.close();
        }

        // 1. The request row.
        q.setSql(modifica ? sqlModificaRichiesta() : sqlInserimentoRichiesta());
        const QVariantMap colonne = colonneRichiesta(d);
        for (auto it = colonne.cbegin(); it != colonne.cend(); ++it)
            q.setParam(it.key(), it.value());
        q.setParam(QStringLiteral("ID_RICHIESTA"), id);
        q.exec();

        // 2. An edited request's link rows go, to be written again.
        if (modifica) {
            for (const char *tabella : {"RICHIESTE_TIP_ANNUNCI", "RICHIESTE_TIP_IMMOBILI", "RICHIESTE_COMUNI"}) {
                q.setSql(QStringLiteral("delete from ") + QLatin1String(tabella) +
                         QStringLiteral(" where ID_RICHIESTA=:ID_RICHIESTA"));
                q.setParam(QStringLiteral("ID_RICHIESTA"), id);
                q.exec();
            }
        }

        // 3. to 5. Listing kinds, property types, municipalities, in the screen's order.
        q.setSql(QStringLiteral("insert into RICHIESTE_TIP_ANNUNCI (ID_RICHIESTA,ID_TIP_ANNUNCIO) values "
                                "(:ID_RICHIESTA,:ID_TIP_ANNUNCIO)"));
        for (int tipo : d.tipiAnnuncio) {
            q.setParam(QStringLiteral("ID_RICHIESTA"), id);
            q.setParam(QStringLiteral("ID_TIP_ANNUNCIO"), tipo);
            q.exec();
        }
        q.setSql(QStringLiteral("insert into RICHIESTE_TIP_IMMOBILI (ID_RICHIESTA,ID_TIP_IMMOBILE) values "
                                "(:ID_RICHIESTA,:ID_TIP_IMMOBILE)"));
        for (int tipo : d.tipiImmobile) {
            q.setParam(QStringLiteral("ID_RICHIESTA"), id);
            q.setParam(QStringLiteral("ID_TIP_IMMOBILE"), tipo);
            q.exec();
        }
        q.setSql(QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA,ID_COMUNE) values "
                                "(:ID_RICHIESTA,:ID_COMUNE)"));
        for (const Voce &comune : d.comuni) {
            q.setParam(QStringLiteral("ID_RICHIESTA"), id);
            q.setParam(QStringLiteral("ID_COMUNE"), comune.id);
            q.exec();
        }

        // 6. Durable, and the transaction stays open.
        tr.commitRetaining();
        return id;
    } catch (const db::DbError &) {
        try {
            db::executeImmediate(tr, QStringLiteral("ROLLBACK TO SAVEPOINT ") + savepoint);
        } catch (const db::DbError &) {
            // The first error is the one worth showing.
        }
        throw;
    }
}

} // namespace tavo
