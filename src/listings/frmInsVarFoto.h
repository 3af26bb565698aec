#pragma once
// The photo dialog of the listing editor ("Inserimento Foto" / "Modifica Foto"): the fields of the photo row in
// the editor's edit buffer (a new row or the current one). The dialog writes them back to the buffer on
// "Conferma"; the editor then copies the file into the listing's folder (unless "Mantieni Percorso Originale" is
// checked) and posts the row. "Annulla" and Escape leave the buffer as it was.

#include "ui_frmInsVarFoto.h"

#include <QDialog>

namespace tavo {
class TMemTable;
}

class TFormInsVarFoto : public QDialog, public Ui::TFormInsVarFoto
{
    Q_OBJECT
public:
    // riga: the photo list with the row in its edit buffer; percorsoFoto: the program's photo folder.
    TFormInsVarFoto(tavo::TMemTable *riga, const QString &percorsoFoto, bool inserimento, QWidget *parent = nullptr);

    bool mantieniPercorso() const { return CheckBoxMantieniPercorso->isChecked(); }

private:
    void ButtonSfogliaClick();
    void ButtonConfermaClick();

    tavo::TMemTable *m_riga;
    QVariant m_peso; // PESO_KB, in bytes
};
