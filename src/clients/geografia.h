#pragma once
// The geography behind the municipality picker, without widgets: nations, regions, provinces,
// municipalities and zones read from the database, the "Selezione Corrente" sentences, and what
// the picker hands to a request editor.
//
// A zone is a COMUNI row of its own named after its municipality: "MILANO (ZONA BRERA)". In the
// municipality list each municipality appears once, also when it exists only as zones (it then
// carries the id of its first zone row).

#include "data/database.h"

#include <QList>
#include <QString>

namespace tavo {

// One entry of a picker list: the text shown and the id it carries.
struct VoceGeografica
{
    QString nome;
    int id = 0;

    bool operator==(const VoceGeografica &o) const { return nome == o.nome && id == o.id; }
};
using VociGeografiche = QList<VoceGeografica>;

VociGeografiche Nazioni(db::Query &q);
VociGeografiche Regioni(db::Query &q, int idNazione);
VociGeografiche Province(db::Query &q, int idRegione);
// The municipalities of a province, each once, in name order.
VociGeografiche ComuniDellaProvincia(db::Query &q, int idProvincia);
// Every COMUNI row of a province, zones included, in name order (a whole province added to a request).
VociGeografiche RigheDellaProvincia(db::Query &q, int idProvincia);
// The zones of a municipality: the zone names ("BRERA") with the ids of their rows.
VociGeografiche ZoneDelComune(db::Query &q, const QString &comune);

// The municipality of a COMUNI row: its name, or for a zone row the text before " (ZONA".
QString ComuneDellaRiga(const QString &nome);
// The zone of a COMUNI row: the text between "(" and ")" without a leading "ZONA ".
QString ZonaDellaRiga(const QString &nome);
// The display text (and row name) of a zone: "MILANO (ZONA BRERA)".
QString NomeZona(const QString &comune, const QString &zona);

// The sentence describing what the picker's buttons would add, from the deepest choice made:
// a zone, a municipality (with or without zones), a province; empty when no province is chosen.
QString TestoSelezioneCorrente(const QString &provincia, const QString &comune, bool comuneConZone,
                               const QString &zona);

// The choice made in the picker.
struct SceltaGeografica
{
    int idProvincia = 0;   // 0: no province chosen
    VoceGeografica comune; // id 0: no municipality chosen
    VociGeografiche zone;  // the zones of the chosen municipality (empty when it has none)
    int zona = -1;         // position of the chosen zone in zone, -1 for none
};

// What "Aggiungi" hands to a request editor: the chosen zone; else every zone of the chosen
// municipality, or the municipality itself when it has no zones; else every row of the province.
VociGeografiche ComuniDaAggiungere(db::Query &q, const SceltaGeografica &scelta);

// The entries of voci whose id is neither in presenti nor earlier in voci, in their order.
VociGeografiche SenzaComuniPresenti(const VociGeografiche &voci, const QList<int> &presenti);

} // namespace tavo
