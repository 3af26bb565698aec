#include "listings/datiannuncio.h"

#include "data/memtable/valueformat.h"

#include <QDateTime>

#include <cmath>
#include <limits>

namespace tavo {

namespace {

QString testo(const db::Query &q, const char *colonna)
{
    return q.value(QLatin1String(colonna)).toString();
}

// Runs "select count(*) QUANTI ..." and tells whether QUANTI > 0.
bool contaPositivo(db::Query &q)
{
    return q.first() && q.integer(QStringLiteral("QUANTI")) > 0;
}

} // namespace

// ---- Conversions ----------------------------------------------------------------------------------------------

double numeroDaTesto(const QString &testo)
{
    QString s = testo;
    s.remove(QLatin1Char(' '));
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    if (s.isEmpty() || s == QLatin1String("-") || s == QLatin1String("."))
        return 0;
    bool ok = false;
    const double v = s.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0;
}

QString testoNumero(double valore)
{
    return formatFloat(valore);
}

double valuta(double valore)
{
    if (!std::isfinite(valore))
        return 0;
    // nearbyint follows the default rounding mode, to nearest with halves to the even one.
    return std::nearbyint(valore * 10000.0) / 10000.0;
}

int interoTroncato(double valore)
{
    if (!std::isfinite(valore))
        return 0;
    const double t = std::trunc(valore);
    if (t >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (t <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(t);
}

QString flag(bool selezionato)
{
    return selezionato ? QStringLiteral("S") : QStringLiteral("N");
}

QString flagTreStati(int stato)
{
    switch (stato) {
    case Qt::Checked:
        return QStringLiteral("S");
    case Qt::Unchecked:
        return QStringLiteral("N");
    default:
        return QString(QLatin1String(""));
    }
}

int statoDaFlag(const QVariant &valore)
{
    const QString s = valore.toString();
    if (s == QLatin1String("S"))
        return Qt::Checked;
    if (s == QLatin1String("N"))
        return Qt::Unchecked;
    return Qt::PartiallyChecked;
}

QString memoDaSchermo(const QString &testo)
{
    QString s = testo;
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return s.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

QString memoPerSchermo(const QString &memorizzato)
{
    QString s = memorizzato;
    return s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

// ---- Lists ------------------------------------------------------------------------------------------------------

QStringList vociFisse(const QString &colonna)
{
    const QString c = colonna.toUpper();
    if (c == QLatin1String("BOX_AUTO"))
        return {QStringLiteral("nessuno"), QStringLiteral("singolo"), QStringLiteral("doppio"),
                QStringLiteral("posto auto")};
    if (c == QLatin1String("GIARDINO"))
        return {QStringLiteral("nessuno"), QStringLiteral("privato"), QStringLiteral("comune")};
    if (c == QLatin1String("DISPONIBILITA"))
        return {QStringLiteral("libero"), QStringLiteral("occupato"), QStringLiteral("nuda proprietà"),
                QStringLiteral("affittato")};
    if (c == QLatin1String("CUCINA"))
        return {QStringLiteral("abitabile"), QStringLiteral("angolo cottura"), QStringLiteral("cucinotto"),
                QStringLiteral("semiabitabile")};
    if (c == QLatin1String("RISCALDAMENTO"))
        return {QStringLiteral("autonomo"), QStringLiteral("centralizzato"), QStringLiteral("assente")};
    if (c == QLatin1String("PIANO"))
        return {QStringLiteral("seminterrato"),
                QStringLiteral("pianoterra"),
                QStringLiteral("1"),
                QStringLiteral("2"),
                QStringLiteral("3"),
                QStringLiteral("4"),
                QStringLiteral("5"),
                QStringLiteral("6"),
                QStringLiteral("7"),
                QStringLiteral(">7"),
                QStringLiteral("ultimo"),
                QStringLiteral("piano rialzato"),
                QStringLiteral("su più livelli")};
    if (c == QLatin1String("CONDIZIONI"))
        return {QStringLiteral("abitabile"), QStringLiteral("buono"),         QStringLiteral("nuovo"),
                QStringLiteral("ottimo"),    QStringLiteral("ristrutturato"), QStringLiteral("da ristrutturare")};
    return {};
}

QString testoVoceCliente(const QString &descr, const QString &telefono1, const QString &telefono2,
                         const QString &telefono3, const QString &email)
{
    QStringList parti;
    if (!descr.isEmpty())
        parti << descr;
    const QString telefoni = (telefono1 + QLatin1Char(' ') + telefono2 + QLatin1Char(' ') + telefono3).trimmed();
    if (!telefoni.isEmpty())
        parti << telefoni;
    if (!email.isEmpty())
        parti << email;
    return parti.join(QLatin1Char(' '));
}

QList<Voce> leggiClienti(db::Transaction &tr)
{
    db::Query q(
        tr, QStringLiteral("select ID_CLIENTE,DESCR,EMAIL,TELEFONO1,TELEFONO2,TELEFONO3 from CLIENTI order by DESCR"));
    q.exec();
    QList<Voce> voci;
    while (q.next())
        voci.append({q.integer(QStringLiteral("ID_CLIENTE")),
                     testoVoceCliente(testo(q, "DESCR"), testo(q, "TELEFONO1"), testo(q, "TELEFONO2"),
                                      testo(q, "TELEFONO3"), testo(q, "EMAIL"))});
    return voci;
}

QList<Voce> leggiMacroTipologie(db::Transaction &tr)
{
    db::Query q(tr, QStringLiteral("select MT.id_macro_tipologia,upper(MT.descrizione_plurale) descrizione_plurale "
                                   "from macro_tipologie MT order by MT.descrizione_plurale"));
    q.exec();
    QList<Voce> voci;
    while (q.next())
        voci.append({q.integer(QStringLiteral("ID_MACRO_TIPOLOGIA")), testo(q, "DESCRIZIONE_PLURALE")});
    return voci;
}

QList<Voce> leggiTipologieImmobili(db::Transaction &tr, int idMacroTipologia)
{
    db::Query q(tr, QStringLiteral("select TA.id_tipologia_immobile,TA.descrizione from tipologie_immobili TA "
                                   "where TA.id_macro_tipologia=:id_macro_tipologia order by TA.descrizione"));
    q.setParam(QStringLiteral("id_macro_tipologia"), idMacroTipologia);
    q.exec();
    QList<Voce> voci;
    while (q.next())
        voci.append({q.integer(QStringLiteral("ID_TIPOLOGIA_IMMOBILE")), testo(q, "DESCRIZIONE")});
    return voci;
}

QStringList leggiLocalita(db::Transaction &tr, int idComune)
{
    if (idComune <= 0)
        return {};
    db::Query q(tr);
    q.setSql(QStringList{QStringLiteral("select cast(' ' as varchar(255)) LOCALITA from RDB$DATABASE union select "
                                        "LOCALITA from VIEW_LOCALITA"),
                         QStringLiteral("where ID_COMUNE=") + QString::number(idComune)});
    q.exec();
    QStringList voci;
    while (q.next())
        voci << testo(q, "LOCALITA");
    return voci;
}

// ---- References -------------------------------------------------------------------------------------------------

QString propostaRiferimento(qint64 numero)
{
    const bool negativo = numero < 0;
    QString cifre = QString::number(negativo ? -numero : numero);
    while (cifre.size() < 3)
        cifre.prepend(QLatin1Char('0'));
    return negativo ? QLatin1Char('-') + cifre : cifre;
}

bool riferimentoGenerato(db::Transaction &tr)
{
    db::Query q(tr, QStringLiteral("select GEN_RIFERIMENTO from OPZIONI where ID=0"));
    return q.first() && q.text(QStringLiteral("GEN_RIFERIMENTO")) == QLatin1String("S");
}

qint64 prossimoRiferimento(db::Transaction &tr)
{
    db::Query q(tr, QStringLiteral("select GEN_ID(GEN_RIFERIMENTO,1) RIF from RDB$DATABASE"));
    if (!q.first())
        throw db::DbError(QStringLiteral("Il generatore GEN_RIFERIMENTO non ha risposto."));
    return q.value(QStringLiteral("RIF")).toLongLong();
}

bool riferimentoUsato(db::Transaction &tr, const QString &riferimento, int idAnnuncio)
{
    db::Query q(tr, QStringLiteral("select count(*) QUANTI from ANNUNCI_IMMOBILI where upper(RIFERIMENTO)=:RIFERIMENTO "
                                   "and ID_ANNUNCIO_IMMOBILE<>:ID_ANNUNCIO_IMMOBILE"));
    // The field forces capitals as the user types; a text put there otherwise is compared in capitals too, so
    // that a clash that differs only in case is always found.
    q.setParam(QStringLiteral("RIFERIMENTO"), riferimento.toUpper());
    q.setParam(QStringLiteral("ID_ANNUNCIO_IMMOBILE"), idAnnuncio);
    return contaPositivo(q);
}

QString riferimentoCopia(db::Transaction &tr, int idSorgente)
{
    db::Query s(tr, QStringLiteral("select RIFERIMENTO from ANNUNCI_IMMOBILI AI where "
                                   "AI.ID_ANNUNCIO_IMMOBILE=:ID_ANNUNCIO_IMMOBILE"));
    s.setParam(QStringLiteral("ID_ANNUNCIO_IMMOBILE"), idSorgente);
    if (!s.first())
        return QString();
    const QString riferimento = s.text(QStringLiteral("RIFERIMENTO"));
    s.close();
    // Compared ignoring case, as references are unique (a case-sensitive test could propose a reference that the
    // save then refuses).
    db::Query q(
        tr, QStringLiteral("select count(*) QUANTI from ANNUNCI_IMMOBILI AI where upper(RIFERIMENTO)=:RIFERIMENTO"));
    for (int n = 1;; ++n) {
        const QString candidato = riferimento + QLatin1Char('_') + QString::number(n);
        q.setParam(QStringLiteral("RIFERIMENTO"), candidato.toUpper());
        const bool usato = contaPositivo(q);
        q.close();
        if (!usato)
            return candidato;
    }
}

// ---- Reading and saving -------------------------------------------------------------------------------------------

ValoriAnnuncio leggiAnnuncio(db::Transaction &tr, int idAnnuncio)
{
    db::Query q(tr, QStringLiteral("select * from ANNUNCI_IMMOBILI AI join COMUNI C on C.ID_COMUNE=AI.ID_COMUNE join "
                                   "TIPOLOGIE_IMMOBILI TI on TI.ID_TIPOLOGIA_IMMOBILE=AI.ID_TIPOLOGIA_IMMOBILE where "
                                   "AI.ID_ANNUNCIO_IMMOBILE=:ID_ANNUNCIO_IMMOBILE"));
    q.setParam(QStringLiteral("ID_ANNUNCIO_IMMOBILE"), idAnnuncio);
    ValoriAnnuncio valori;
    if (!q.first())
        return valori;
    // The listing's columns come first in "select *": a name that repeats keeps its first (the listing's) value.
    const QVector<db::Column> &colonne = q.columns();
    for (int i = 0; i < colonne.size(); ++i) {
        if (!valori.contains(colonne.at(i).name))
            valori.insert(colonne.at(i).name, q.value(i));
    }
    return valori;
}

QString categoriaAnnuncio(int idTipologiaAnnuncio, const QVariant &categoriaTipologia)
{
    if (idTipologiaAnnuncio == 3)
        return QStringLiteral("vacanze");
    return categoriaTipologia.toString() == QLatin1String("C") ? QStringLiteral("commerciale")
                                                               : QStringLiteral("residenziale");
}

QString sqlInserimentoAnnuncio()
{
    return QStringLiteral(
        "INSERT INTO ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE,ID_CLIENTE,ID_COMUNE,ID_TIPOLOGIA_IMMOBILE,"
        "ID_TIPOLOGIA_ANNUNCIO,RIFERIMENTO,PREZZO,NOTE_PREZZO,PREZZO_VISIBILE,MQ,NR_LOCALI,NOTE_LOCALI,NR_SERVIZI,"
        "LOCALITA,INDIRIZZO,NUM_CIVICO,DESCRIZIONE,DATA_INSERIMENTO,DATA_AGGIORNAMENTO,PRIORITA,MAPPA,NCOSTRUZIONESN,"
        "NR_CAMERE,BOX_AUTO,MQ_BOX,BALCONE,LUOGO_X_APPUNTAMENTO,TERRAZZO,MANSARDA,CANTINA,GIARDINO,MQ_GIARDINO,"
        "UNITA_VIZEREVADED,PIANO,TOTALE_PIANI,SPESE_COND_MENSILI,CONDIZIONI,ASCENSORE,CUCINA,RISCALDAMENTO,"
        "CONDIZIONATORE,INDIRIZZO_VISIBILE,DISPONIBILITA,DESCRIZIONE_TED,DESCRIZIONE_ING,DESCRIZIONE_FRA,"
        "DESCRIZIONE_SPA,DESCRIZIONE_VETRINA,NOTE,CAP_ANNUNCIO,COORD_LONG,COORD_LAT,FOTOSN,ELIMINATO,SOGGIORNO,STUDIO,"
        "RIPOSTIGLIO,TAVERNA,SOFFITTA,SOPPALCO,NR_CAMERE_DOPPIE,NR_SERVIZI_FINESTR,ARREDATO,CATEGORIA_ANNUNCIO) VALUES "
        "(:ID_ANNUNCIO_IMMOBILE,:ID_CLIENTE,:ID_COMUNE,:ID_TIPOLOGIA_IMMOBILE,:ID_TIPOLOGIA_ANNUNCIO,:RIFERIMENTO,"
        ":PREZZO,:NOTE_PREZZO,:PREZZO_VISIBILE,:MQ,:NR_LOCALI,:NOTE_LOCALI,:NR_SERVIZI,:LOCALITA,:INDIRIZZO,"
        ":NUM_CIVICO,:DESCRIZIONE,:DATA_INSERIMENTO,:DATA_AGGIORNAMENTO,:PRIORITA,:MAPPA,:NCOSTRUZIONESN,:NR_CAMERE,"
        ":BOX_AUTO,:MQ_BOX,:BALCONE,:LUOGO_X_APPUNTAMENTO,:TERRAZZO,:MANSARDA,:CANTINA,:GIARDINO,:MQ_GIARDINO,"
        ":UNITA_VIZEREVADED,:PIANO,:TOTALE_PIANI,:SPESE_COND_MENSILI,:CONDIZIONI,:ASCENSORE,:CUCINA,:RISCALDAMENTO,"
        ":CONDIZIONATORE,:INDIRIZZO_VISIBILE,:DISPONIBILITA,:DESCRIZIONE_TED,:DESCRIZIONE_ING,:DESCRIZIONE_FRA,"
        ":DESCRIZIONE_SPA,:DESCRIZIONE_VETRINA,:NOTE,:CAP_ANNUNCIO,:COORD_LONG,:COORD_LAT,:FOTOSN,:ELIMINATO,"
        ":SOGGIORNO,:STUDIO,:RIPOSTIGLIO,:TAVERNA,:SOFFITTA,:SOPPALCO,:NR_CAMERE_DOPPIE,:NR_SERVIZI_FINESTR,:ARREDATO,"
        ":CATEGORIA_ANNUNCIO)");
}

QString sqlModificaAnnuncio()
{
    return QStringLiteral(
        "UPDATE ANNUNCI_IMMOBILI SET ID_CLIENTE=:ID_CLIENTE,ID_COMUNE=:ID_COMUNE,"
        "ID_TIPOLOGIA_IMMOBILE=:ID_TIPOLOGIA_IMMOBILE,ID_TIPOLOGIA_ANNUNCIO=:ID_TIPOLOGIA_ANNUNCIO,"
        "RIFERIMENTO=:RIFERIMENTO,PREZZO=:PREZZO,NOTE_PREZZO=:NOTE_PREZZO,PREZZO_VISIBILE=:PREZZO_VISIBILE,MQ=:MQ,"
        "NR_LOCALI=:NR_LOCALI,NOTE_LOCALI=:NOTE_LOCALI,NR_SERVIZI=:NR_SERVIZI,LOCALITA=:LOCALITA,INDIRIZZO=:INDIRIZZO,"
        "NUM_CIVICO=:NUM_CIVICO,DESCRIZIONE=:DESCRIZIONE,DATA_AGGIORNAMENTO=:DATA_AGGIORNAMENTO,PRIORITA=:PRIORITA,"
        "MAPPA=:MAPPA,ID_SOTTO_TIPOLOGIA_IMMOBILE=:ID_SOTTO_TIPOLOGIA_IMMOBILE,NCOSTRUZIONESN=:NCOSTRUZIONESN,"
        "NR_CAMERE=:NR_CAMERE,BOX_AUTO=:BOX_AUTO,MQ_BOX=:MQ_BOX,BALCONE=:BALCONE,TERRAZZO=:TERRAZZO,"
        "MANSARDA=:MANSARDA,CANTINA=:CANTINA,GIARDINO=:GIARDINO,MQ_GIARDINO=:MQ_GIARDINO,"
        "UNITA_VIZEREVADED=:UNITA_VIZEREVADED,PIANO=:PIANO,TOTALE_PIANI=:TOTALE_PIANI,"
        "SPESE_COND_MENSILI=:SPESE_COND_MENSILI,CONDIZIONI=:CONDIZIONI,ASCENSORE=:ASCENSORE,CUCINA=:CUCINA,"
        "RISCALDAMENTO=:RISCALDAMENTO,CONDIZIONATORE=:CONDIZIONATORE,INDIRIZZO_VISIBILE=:INDIRIZZO_VISIBILE,"
        "DISPONIBILITA=:DISPONIBILITA,DESCRIZIONE_TED=:DESCRIZIONE_TED,DESCRIZIONE_ING=:DESCRIZIONE_ING,"
        "DESCRIZIONE_FRA=:DESCRIZIONE_FRA,DESCRIZIONE_SPA=:DESCRIZIONE_SPA,DESCRIZIONE_VETRINA=:DESCRIZIONE_VETRINA,"
        "NOTE=:NOTE,CAP_ANNUNCIO=:CAP_ANNUNCIO,COORD_LONG=:COORD_LONG,COORD_LAT=:COORD_LAT,FOTOSN=:FOTOSN,"
        "LUOGO_X_APPUNTAMENTO=:LUOGO_X_APPUNTAMENTO,ELIMINATO=:ELIMINATO,SOGGIORNO=:SOGGIORNO,STUDIO=:STUDIO,"
        "RIPOSTIGLIO=:RIPOSTIGLIO,TAVERNA=:TAVERNA,SOFFITTA=:SOFFITTA,SOPPALCO=:SOPPALCO,"
        "NR_CAMERE_DOPPIE=:NR_CAMERE_DOPPIE,NR_SERVIZI_FINESTR=:NR_SERVIZI_FINESTR,ARREDATO=:ARREDATO,"
        "CATEGORIA_ANNUNCIO=:CATEGORIA_ANNUNCIO WHERE (ID_ANNUNCIO_IMMOBILE=:ID_ANNUNCIO_IMMOBILE)");
}

int salvaAnnuncio(db::Transaction &tr, int idModificato, const ValoriAnnuncio &valori, const QDateTime &adesso)
{
    const QString savepoint = QStringLiteral("SALVA_ANNUNCIO");
    db::executeImmediate(tr, QStringLiteral("SAVEPOINT ") + savepoint);
    try {
        // The category of the listing.
        const int idTipologiaAnnuncio = valori.value(QStringLiteral("ID_TIPOLOGIA_ANNUNCIO")).toInt();
        QVariant categoriaTipologia;
        if (idTipologiaAnnuncio != 3) {
            db::Query c(tr, QStringLiteral("select CATEGORIA from TIPOLOGIE_IMMOBILI where "
                                           "ID_TIPOLOGIA_IMMOBILE=:ID_TIPOLOGIA_IMMOBILE"));
            c.setParam(QStringLiteral("ID_TIPOLOGIA_IMMOBILE"), valori.value(QStringLiteral("ID_TIPOLOGIA_IMMOBILE")));
            if (c.first())
                categoriaTipologia = c.value(QStringLiteral("CATEGORIA"));
        }
        const QString categoria = categoriaAnnuncio(idTipologiaAnnuncio, categoriaTipologia);

        int idSalvato = idModificato;
        if (idModificato == 0)
            idSalvato = int(db::generatorValue(tr, QStringLiteral("GEN_ANNUNCI_IMMOBILI_ID")));

        db::Query q(tr, idModificato != 0 ? sqlModificaAnnuncio() : sqlInserimentoAnnuncio());
        for (const QString &nome : q.paramNames()) {
            if (nome == QLatin1String("ID_ANNUNCIO_IMMOBILE"))
                q.setParam(nome, idSalvato);
            else if (nome == QLatin1String("DATA_INSERIMENTO") || nome == QLatin1String("DATA_AGGIORNAMENTO"))
                q.setParam(nome, adesso);
            else if (nome == QLatin1String("CATEGORIA_ANNUNCIO"))
                q.setParam(nome, categoria);
            else if (nome == QLatin1String("ID_SOTTO_TIPOLOGIA_IMMOBILE"))
                q.setParam(nome, QVariant());
            else
                q.setParam(nome, valori.value(nome));
        }
        q.exec();

        db::Query p(tr, QStringLiteral("UPDATE CLIENTI SET PROPRIETARIO='S' WHERE ID_CLIENTE=:ID_CLIENTE"));
        p.setParam(QStringLiteral("ID_CLIENTE"), valori.value(QStringLiteral("ID_CLIENTE")));
        p.exec();

        tr.commitRetaining();
        return idSalvato;
    } catch (const db::DbError &) {
        try {
            db::executeImmediate(tr, QStringLiteral("ROLLBACK TO SAVEPOINT ") + savepoint);
        } catch (const db::DbError &) {
            // The first error is the one worth showing.
        }
        throw;
    }
}

void copiaFotoVideo(db::Transaction &tr, int idSorgente, int idDestinazione)
{
    const QString nuovo = QString::number(idDestinazione);
    const QString sorgente = QString::number(idSorgente);
    db::Query foto(
        tr, QStringLiteral("insert into PHOTOGALLERY (ID_ANNUNCIO_IMMOBILE,PATH_IMAGE,DIDASCALIA,PESO_KB,"
                           "HEIGHT_PX,                          WIDTH_PX,INVIATA,PLANIMETRIA,PRINCIPALE) select ") +
                nuovo + QStringLiteral(",PATH_IMAGE,DIDASCALIA,PESO_KB,HEIGHT_PX,") +
                QStringLiteral("                          WIDTH_PX,INVIATA,PLANIMETRIA,PRINCIPALE ") +
                QStringLiteral("from PHOTOGALLERY ") + QStringLiteral("where ID_ANNUNCIO_IMMOBILE=") + sorgente);
    foto.exec();
    db::Query video(tr, QStringLiteral("insert into VIDEOGALLERY (ID_ANNUNCIO_IMMOBILE,TITOLO,PATH_IMAGE,LINK_VIDEO,"
                                       "CODICE_EMBEDDED,INVIATA) select ") +
                            nuovo + QStringLiteral(",TITOLO,PATH_IMAGE,LINK_VIDEO,CODICE_EMBEDDED,INVIATA ") +
                            QStringLiteral("from VIDEOGALLERY ") + QStringLiteral("where ID_ANNUNCIO_IMMOBILE=") +
                            sorgente);
    video.exec();
    // The copy was saved before it had photos: its photo flag follows the rows just copied.
    db::Query flag(tr, QStringLiteral("update ANNUNCI_IMMOBILI set FOTOSN='S' where ID_ANNUNCIO_IMMOBILE=") + nuovo +
                           QStringLiteral(" and exists (select 1 from PHOTOGALLERY where ID_ANNUNCIO_IMMOBILE=") +
                           nuovo + QLatin1Char(')'));
    flag.exec();
    tr.commitRetaining();
}

// ---- Matching -----------------------------------------------------------------------------------------------------

incroci::ValoriAnnuncio valoriIncrocio(const ValoriAnnuncio &valori)
{
    auto numero = [&valori](const char *colonna) { return valori.value(QLatin1String(colonna)).toDouble(); };
    auto testoN = [&valori](const char *colonna) -> incroci::TestoN {
        return valori.value(QLatin1String(colonna)).toString();
    };
    incroci::ValoriAnnuncio a;
    a.idAnnuncio = valori.value(QStringLiteral("ID_ANNUNCIO_IMMOBILE")).toInt();
    a.idComune = valori.value(QStringLiteral("ID_COMUNE")).toInt();
    a.idTipologiaImmobile = valori.value(QStringLiteral("ID_TIPOLOGIA_IMMOBILE")).toInt();
    a.idTipologiaAnnuncio = valori.value(QStringLiteral("ID_TIPOLOGIA_ANNUNCIO")).toInt();
    a.prezzo = valuta(numero("PREZZO"));
    a.mq = numero("MQ");
    // Whole numbers already: the engine's rounding of them changes nothing.
    a.nrLocali = double(interoTroncato(numero("NR_LOCALI")));
    a.nrServizi = double(interoTroncato(numero("NR_SERVIZI")));
    a.nrCamere = interoTroncato(numero("NR_CAMERE"));
    a.localita = valori.value(QStringLiteral("LOCALITA")).toString().trimmed();
    a.boxAuto = testoN("BOX_AUTO");
    a.balcone = testoN("BALCONE");
    a.terrazzo = testoN("TERRAZZO");
    a.cantina = testoN("CANTINA");
    a.giardino = testoN("GIARDINO");
    a.condizioni = testoN("CONDIZIONI");
    a.ascensore = testoN("ASCENSORE");
    a.condizionatore = testoN("CONDIZIONATORE");
    a.eliminato = testoN("ELIMINATO");
    return a;
}

} // namespace tavo
