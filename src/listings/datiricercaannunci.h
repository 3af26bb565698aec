#pragma once
// What the listing search reads and writes in the database, without widgets: the contents of its filter lists,
// the deletion of a listing, the start-up preference and the photo list of a listing. Everything runs on the
// transaction the caller gives (the screen's own); database errors go on as db::DbError.

#include "data/database.h"

#include <QList>
#include <QStringList>
#include <QVariantList>

namespace tavo {

struct ClienteElenco
{
    int idCliente = 0;
    QString testo; // DESCR, else EMAIL, else the three phones joined by blanks, trimmed
};

struct ElenchiFiltroAnnunci
{
    QStringList localita;         // upper case, distinct, not null
    QList<ClienteElenco> clienti; // owners of listings, by DESCR
    QStringList comuni;           // municipalities used by listings
    QStringList tipImmobile;      // property types used by listings
    QStringList riferimenti;      // references of all listings, upper case
};

// Each list read by one query, in the order localities, clients, municipalities, property types, references.
ElenchiFiltroAnnunci caricaElenchiFiltroAnnunci(db::Transaction &tr);

// "delete from ANNUNCI_IMMOBILI where ID_ANNUNCIO_IMMOBILE=:ID_ANNUNCIO_IMMOBILE", then commit retaining.
void eliminaAnnuncio(db::Transaction &tr, int idAnnuncio);

// OPZIONI.AUTO_FORM of the row ID=0 (0 when the row or the value is missing).
int leggiAutoForm(db::Transaction &tr);
// "update OPZIONI set AUTO_FORM=<valore> where ID=0", then commit retaining.
void scriviAutoForm(db::Transaction &tr, int valore);

// The PATH_IMAGE of the listing's photos, by ID_PHOTOGALLERY.
QVariantList fotoAnnuncio(db::Transaction &tr, int idAnnuncio);

} // namespace tavo
