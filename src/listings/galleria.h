#pragma once
// The photos (PHOTOGALLERY) and videos (VIDEOGALLERY) of a listing, without widgets.
//
// TGalleria keeps the rows of one listing in a TMemTable (shown by the editor's grid through a TMemTableModel)
// and writes every change at once on the transaction it is given, the listing editor's: a posted row is
// inserted or updated, a deleted row deleted, so the changes become permanent with the listing's next save
// and disappear when the editor rolls its transaction back. The statements are the program's usual five per
// list (select, insert, update, delete, refresh of one row).
//
// The files themselves live on disk, normally in the listing's folder under the photo folder: the helpers
// below compute that folder, copy a picked file into it, read a picture's size, and format the weight column.

#include "data/database.h"
#include "data/memtable/memtable.h"

#include <QList>
#include <QSize>
#include <QString>

#include <memory>

namespace tavo {

enum class TipoGalleria { Foto, Video };

// One thumbnail of the photo preview: the file, its caption and how its frame is coloured.
struct FotoAnteprima
{
    QString percorso;
    QString didascalia;
    bool principale = false;
    bool planimetria = false;
};

class TGalleria
{
public:
    TGalleria(TipoGalleria tipo, db::Transaction &tr);
    ~TGalleria();
    TGalleria(const TGalleria &) = delete;
    TGalleria &operator=(const TGalleria &) = delete;

    TipoGalleria tipo() const { return m_tipo; }
    // The rows: photos PRINCIPALE, PLANIMETRIA, PATH_IMAGE, DIDASCALIA, PESO_KB (shown in Kb), HEIGHT_PX,
    // WIDTH_PX and the hidden ID_PHOTOGALLERY, ID_ANNUNCIO_IMMOBILE, INVIATA; videos TITOLO, PATH_IMAGE,
    // LINK_VIDEO, CODICE_EMBEDDED and the hidden ID_VIDEOGALLERY, ID_ANNUNCIO_IMMOBILE, INVIATA.
    TMemTable *tabella() const { return m_tabella.get(); }
    QString colonnaId() const;

    // The rows of a listing (select), cursor on the first; replaces what was open.
    void apri(int idAnnuncio);
    void chiudi();
    bool isOpen() const { return m_tabella->isOpen(); }
    bool vuota() const { return !isOpen() || m_tabella->isEmpty(); }

    // The edit cycle of the current row, as a bound dataset has it:
    //   nuova      a new row in the edit buffer: id from the generator, the listing id, "N" in INVIATA (and for
    //              photos in PRINCIPALE and PLANIMETRIA);
    //   modifica   the current row in the edit buffer;
    //   registra   the insert or update statement with the buffer's values, the row read back, the buffer
    //              posted. On a database error the buffer is cancelled and the error goes on;
    //   annulla    the buffer dropped;
    //   elimina    the delete statement, then the row removed from the list.
    void nuova(int idAnnuncio);
    void modifica();
    void registra();
    void annulla();
    void elimina();
    bool inModifica() const;

    // The photos in list order, for the preview; the current row stays current.
    QList<FotoAnteprima> fotoAnteprima() const;

    // The statements (for tests and for reading).
    QString sqlSelezione() const;
    QString sqlInserimento() const;
    QString sqlModifica() const;
    QString sqlEliminazione() const;
    QString sqlRilettura() const;

private:
    void definisciColonne();
    void leggiRiga(const db::Query &q);
    QStringList colonneScritte() const;

    TipoGalleria m_tipo;
    db::Transaction &m_tr;
    std::unique_ptr<TMemTable> m_tabella;
};

// The listing's folder: the photo folder, a separator unless it already ends with one (or with ":"), the id
// with eight digits, a separator ("/foto" and 1234 give "/foto/00001234/").
QString cartellaAnnuncio(const QString &percorsoFoto, int idAnnuncio);

// Whether "Mantieni Percorso Originale" starts checked for a row's path: a non-empty path that does not begin
// with the photo folder (ignoring case).
bool percorsoEsterno(const QString &percorso, const QString &percorsoFoto);

// Puts a picked file in the listing's folder: when the file's folder is not that folder (ignoring case), the
// folder is created and the file copied there under its own name, replacing a file of that name. Returns the
// new path, or the path unchanged when no copy was needed or the copy failed (a missing file, an address).
QString copiaNellaCartella(const QString &percorso, const QString &cartella);

// What the photo dialog fills in after a choice: the size in bytes (-1 when it cannot be read) and the picture's
// size in pixels (invalid when the picture cannot be read).
struct InfoImmagine
{
    qint64 byte = -1;
    QSize pixel;
};
InfoImmagine leggiInfoImmagine(const QString &percorso);

// The weight column: the stored bytes divided by 1024 (integer division), "#,##0.00" (150000 -> "146,00",
// 1023 -> "0,00"); the pixel columns "#,##0". A null value shows as "".
QString testoPeso(const QVariant &byte);
QString testoPixel(const QVariant &pixel);

} // namespace tavo
