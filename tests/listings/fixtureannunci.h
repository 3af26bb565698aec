#pragma once
// A small agency for the listing search's tests: four owners (one known only by e-mail, one without listings)
// and five listings chosen for the filter's edge cases, plus one request that matches MI2 only.
//
//   id   ref  owner          municipality  type          kind     price    prio  mq    rooms  locality  state
//   101  AQ1  ROSSI MARIO    L'AQUILA      APPARTAMENTO  VENDITA  150000   3     80    3      CENTRO    active
//   102  MI1  ROSSI MARIO    MILANO        BILOCALE      AFFITTO  99999    0     50    2      NAVIGLI   active
//   103  MI2  BIANCHI        MILANO        APPARTAMENTO  VENDITA  100000   5     120   4      -         active
//   104  RM1  BIANCHI        ROMA          APPARTAMENTO  VENDITA  250000   1     95.5  3.5    PRATI     inactive
//   105  TO1  verdi@mail.it  TORINO        TRILOCALE     VENDITA  -        -     -     -      -         active

#include "data/database.h"

#include <QStringList>
#include <QVariant>

namespace tavo::test::annunci {

inline void cliente(db::Transaction &tr, int id, const QVariant &descr, const QVariant &email)
{
    db::Query q(tr, QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR,EMAIL,PROPRIETARIO) values "
                                   "(:ID,:DESCR,:EMAIL,'S')"));
    q.setParam(QStringLiteral("ID"), id);
    q.setParam(QStringLiteral("DESCR"), descr);
    q.setParam(QStringLiteral("EMAIL"), email);
    q.exec();
}

struct Annuncio
{
    int id;
    int cliente;
    int comune;
    int tipImmobile;
    int tipAnnuncio;
    const char *riferimento;
    QVariant prezzo;
    QVariant priorita;
    QVariant mq;
    QVariant locali;
    QVariant localita;
    const char *eliminato;
    QVariant descrizione = QVariant();
};

inline void annuncio(db::Transaction &tr, const Annuncio &a)
{
    db::Query q(tr, QStringLiteral(
                        "insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE,ID_CLIENTE,ID_COMUNE,ID_TIPOLOGIA_IMMOBILE,"
                        "ID_TIPOLOGIA_ANNUNCIO,RIFERIMENTO,PREZZO,PRIORITA,MQ,NR_LOCALI,LOCALITA,ELIMINATO,DESCRIZIONE,"
                        "FOTOSN,DATA_INSERIMENTO) values (:ID,:CLIENTE,:COMUNE,:TI,:TA,:RIF,:PREZZO,:PRIO,:MQ,:LOCALI,"
                        ":LOCALITA,:ELIMINATO,:DESCRIZIONE,'N','2024-03-01')"));
    q.setParam(QStringLiteral("ID"), a.id);
    q.setParam(QStringLiteral("CLIENTE"), a.cliente);
    q.setParam(QStringLiteral("COMUNE"), a.comune);
    q.setParam(QStringLiteral("TI"), a.tipImmobile);
    q.setParam(QStringLiteral("TA"), a.tipAnnuncio);
    q.setParam(QStringLiteral("RIF"), QString::fromUtf8(a.riferimento));
    q.setParam(QStringLiteral("PREZZO"), a.prezzo);
    q.setParam(QStringLiteral("PRIO"), a.priorita);
    q.setParam(QStringLiteral("MQ"), a.mq);
    q.setParam(QStringLiteral("LOCALI"), a.locali);
    q.setParam(QStringLiteral("LOCALITA"), a.localita);
    q.setParam(QStringLiteral("ELIMINATO"), QString::fromLatin1(a.eliminato));
    q.setParam(QStringLiteral("DESCRIZIONE"), a.descrizione);
    q.exec();
}

const int Aquila = 66049, Milano = 15146, Roma = 58091, Torino = 1272;
const int Appartamento = 1, Bilocale = 3, Trilocale = 4;
const int Vendita = 1, Affitto = 2;

inline void agenzia(db::Database &database)
{
    db::Transaction tr(database);
    cliente(tr, 1, QStringLiteral("ROSSI MARIO"), QVariant());
    cliente(tr, 2, QStringLiteral("BIANCHI"), QVariant());
    cliente(tr, 3, QVariant(), QStringLiteral("verdi@mail.it"));
    cliente(tr, 4, QStringLiteral("NESSUN ANNUNCIO"), QVariant());
    annuncio(tr, {101, 1, Aquila, Appartamento, Vendita, "AQ1", 150000.0, 3, 80.0, 3.0, QStringLiteral("CENTRO"), "N"});
    annuncio(tr, {102, 1, Milano, Bilocale, Affitto, "MI1", 99999.0, 0, 50.0, 2.0, QStringLiteral("NAVIGLI"), "N"});
    annuncio(tr, {103, 2, Milano, Appartamento, Vendita, "MI2", 100000.0, 5, 120.0, 4.0, QVariant(), "N"});
    annuncio(tr, {104, 2, Roma, Appartamento, Vendita, "RM1", 250000.0, 1, 95.5, 3.5, QStringLiteral("PRATI"), "S",
                  QStringLiteral("Attico luminoso con terrazzo")});
    annuncio(tr, {105, 3, Torino, Trilocale, Vendita, "TO1", QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
                  "N"});

    // A request for a flat for sale in Milano: it matches MI2 only.
    db::Query r(tr, QStringLiteral("insert into RICHIESTE (ID_RICHIESTA,ID_CLIENTE,PREZZO_MIN,PREZZO_MAX,MQ_MIN,MQ_MAX,"
                                   "NR_LOCALI_MIN,NR_LOCALI_MAX,NR_SERVIZI_MIN,NR_SERVIZI_MAX,NR_CAMERE_MIN,"
                                   "NR_CAMERE_MAX,DATA_ULT_MODIFICA) values (7,4,0,0,0,0,0,0,0,0,0,0,'2024-03-02')"));
    r.exec();
    db::Query c(tr, QStringLiteral("insert into RICHIESTE_COMUNI (ID_RICHIESTA,ID_COMUNE) values (7,15146)"));
    c.exec();
    db::Query ti(tr, QStringLiteral("insert into RICHIESTE_TIP_IMMOBILI (ID_RICHIESTA,ID_TIP_IMMOBILE) values (7,1)"));
    ti.exec();
    db::Query ta(tr, QStringLiteral("insert into RICHIESTE_TIP_ANNUNCI (ID_RICHIESTA,ID_TIP_ANNUNCIO) values (7,1)"));
    ta.exec();
    tr.commit();
}

} // namespace tavo::test::annunci
