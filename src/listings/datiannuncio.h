#pragma once
// What the listing editor (TFormInsVarAnnunci) computes and reads and writes, without widgets.
//
// A listing travels between the database and the screen as a ValoriAnnuncio map: column name -> value, the
// names being the ANNUNCI_IMMOBILI columns (the same names as the parameters of the insert and update
// statements). The screen turns its controls into column values with the conversions below (money with four
// decimals, integers with the fraction cut off, "S"/"N" flags, three-state flags with "" for not stated) and
// back.
//
// The database functions run on the transaction the caller gives (the editor's own); database errors go on
// as db::DbError carrying the server's text.

#include "data/database.h"
#include "data/incroci.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace tavo {

using ValoriAnnuncio = QVariantMap;

// ---- Conversions of the screen's values ----

// A number as typed in an edit field: decimal comma, optional sign, blanks ignored; "" or text that is not a
// number gives 0.
double numeroDaTesto(const QString &testo);
// The editable text of a number: shortest form, decimal comma, no grouping (95.5 -> "95,5", 3 -> "3").
QString testoNumero(double valore);
// Money as stored: rounded to four decimals, halves to the even one (1234.56789 -> 1234.5679).
double valuta(double valore);
// An integer column from a typed number: the fraction cut off (3.9 -> 3, -3.9 -> -3), clamped to the int range.
int interoTroncato(double valore);

// A check box as stored: "S" checked, "N" not.
QString flag(bool selezionato);
// A three-state box (Qt::CheckState as int): "S" checked, "N" unchecked, "" greyed (not stated).
QString flagTreStati(int stato);
// The state of a three-state box from its stored value: "S" checked, "N" unchecked, anything else greyed.
int statoDaFlag(const QVariant &valore);

// A memo as stored, its lines joined by CR LF as the program's other memos are, and as an edit control shows it.
QString memoDaSchermo(const QString &testo);
QString memoPerSchermo(const QString &memorizzato);

// ---- Lists of the screen ----

// The fixed lists (without the leading empty entry, which every list has): BOX_AUTO, GIARDINO, DISPONIBILITA,
// CUCINA, RISCALDAMENTO, PIANO, CONDIZIONI.
QStringList vociFisse(const QString &colonna);

struct Voce
{
    int id = 0;
    QString testo;
};

// The entry of a client in the editor's client list: the description; the three phones joined by blanks and
// trimmed; the e-mail; each part only when not empty, the parts separated by one blank.
QString testoVoceCliente(const QString &descr, const QString &telefono1, const QString &telefono2,
                         const QString &telefono3, const QString &email);

// "select ID_CLIENTE,DESCR,EMAIL,TELEFONO1,TELEFONO2,TELEFONO3 from CLIENTI order by DESCR".
QList<Voce> leggiClienti(db::Transaction &tr);
// The macro types (upper-case plural), by plural.
QList<Voce> leggiMacroTipologie(db::Transaction &tr);
// The property types of a macro type, by description.
QList<Voce> leggiTipologieImmobili(db::Transaction &tr, int idMacroTipologia);
// The localities of a municipality (VIEW_LOCALITA), the first being a single blank; empty for id <= 0.
QStringList leggiLocalita(db::Transaction &tr, int idComune);

// ---- References ----

// A generated reference: the number with at least three digits (7 -> "007", 1234 -> "1234").
QString propostaRiferimento(qint64 numero);
// OPZIONI.GEN_RIFERIMENTO of the row ID=0 is "S".
bool riferimentoGenerato(db::Transaction &tr);
// The next value of GEN_RIFERIMENTO (consumed even if the listing is never saved).
qint64 prossimoRiferimento(db::Transaction &tr);
// Whether another listing (id other than idAnnuncio) has this reference, ignoring case.
bool riferimentoUsato(db::Transaction &tr, const QString &riferimento, int idAnnuncio);
// The reference of a copy: the source's reference + "_1", "_2", ... the first that no listing has (ignoring
// case, as the save compares). Empty when the source does not exist.
QString riferimentoCopia(db::Transaction &tr, int idSorgente);

// ---- Reading and saving ----

// The listing joined to its municipality and property type: every column of ANNUNCI_IMMOBILI (the listing's own
// when a name repeats), plus NOME (the municipality's name) and ID_MACRO_TIPOLOGIA. Empty when not found.
ValoriAnnuncio leggiAnnuncio(db::Transaction &tr, int idAnnuncio);

// CATEGORIA_ANNUNCIO: "vacanze" for the listing kind 3 (Vacanze), else "commerciale" when the property type's
// CATEGORIA is "C", else "residenziale".
QString categoriaAnnuncio(int idTipologiaAnnuncio, const QVariant &categoriaTipologia);

// The two statements of the save, as the program has always written them.
QString sqlInserimentoAnnuncio();
QString sqlModificaAnnuncio();

// Saves the listing: idModificato 0 inserts a new row with an id from GEN_ANNUNCI_IMMOBILI_ID (DATA_INSERIMENTO
// = adesso), otherwise updates that row (ID_SOTTO_TIPOLOGIA_IMMOBILE null). valori holds every column of the
// statements but the id, the dates and CATEGORIA_ANNUNCIO, which are computed here. Then the owner client is
// marked PROPRIETARIO='S' and the transaction is committed retaining. Returns the saved id.
// On a database error the statements already run are undone (a savepoint), nothing is committed, and the
// error goes on: the transaction keeps its earlier uncommitted work (the photo rows).
int salvaAnnuncio(db::Transaction &tr, int idModificato, const ValoriAnnuncio &valori, const QDateTime &adesso);

// Copies the photo and video rows of one listing to another (same files); the destination's FOTOSN becomes "S"
// when it now has photos. Then commits retaining.
void copiaFotoVideo(db::Transaction &tr, int idSorgente, int idDestinazione);

// ---- Matching ----

// The values the matching engine compares, from the editor's columns: municipality, kinds, price (money),
// area, the integer parts of the rooms, bathrooms and bedrooms, the trimmed locality, the garage and garden
// list texts, the condition, and the balcony, terrace, cellar, lift and air-conditioning flags ("" when not
// stated, which adds no condition).
incroci::ValoriAnnuncio valoriIncrocio(const ValoriAnnuncio &valori);

} // namespace tavo
