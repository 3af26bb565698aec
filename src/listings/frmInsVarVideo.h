#pragma once
// The video dialog of the listing editor ("Inserimento Video" / "Modifica Video"): the fields of the video row in
// the editor's edit buffer, written back on "Conferma". "Esegui Video" opens the video file with its associated
// program when it exists. The editor applies the copy into the listing's folder to LINK_VIDEO and PATH_IMAGE
// unless "Mantieni Percorso Originale" is checked.

#include "ui_frmInsVarVideo.h"

#include <QDialog>

namespace tavo {
class TMemTable;
}

class TFormInsVarVideo : public QDialog, public Ui::TFormInsVarVideo
{
    Q_OBJECT
public:
    TFormInsVarVideo(tavo::TMemTable *riga, const QString &percorsoFoto, bool inserimento, QWidget *parent = nullptr);

    bool mantieniPercorso() const { return CheckBoxMantieniPercorso->isChecked(); }

private:
    void ButtonSfogliaVideoClick();
    void ButtonSfogliaImmagineClick();
    void ButtonEseguiVideoClick();
    void ButtonConfermaClick();

    tavo::TMemTable *m_riga;
};
