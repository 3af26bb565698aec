// TFormInsVarAnnunci, continued: the "Foto e Video" page (the photo and video lists on the editor's transaction,
// their dialogs, the in-page previews and the photo preview window).

#include "app/frmMain.h"
#include "data/memtable/memtable.h"
#include "listings/frmAnteprimaFoto.h"
#include "listings/frmInsVarAnnunci.h"
#include "listings/frmInsVarFoto.h"
#include "listings/frmInsVarVideo.h"
#include "listings/galleria.h"
#include "widgets/tavoapplication.h"
#include "widgets/uiservice.h"

using tavo::ui;
using tavo::UiService;
namespace db = tavo::db;

// --- photos and videos ---------------------------------------------------------------------------------------------

void TFormInsVarAnnunci::aggiornaPulsantiGallerie()
{
    const bool foto = m_foto->isOpen();
    ButtonInsFoto->setEnabled(foto);
    ButtonModFoto->setEnabled(foto && !m_foto->vuota());
    ButtonEliminaFoto->setEnabled(foto && !m_foto->vuota());
    ButtonAnteprimaCompleto->setEnabled(foto && !m_foto->vuota());
    const bool video = m_video->isOpen();
    ButtonInsVideo->setEnabled(video);
    ButtonModVideo->setEnabled(video && !m_video->vuota());
    ButtonEliminaVideo->setEnabled(video && !m_video->vuota());
}

void TFormInsVarAnnunci::aggiornaAnteprimaFoto()
{
    tavo::TMemTable *t = m_foto->tabella();
    const bool riga = t->isOpen() && !t->isEmpty() && t->state() == tavo::TMemTable::State::Browse;
    ImgView32Foto->mostraFile(riga ? t->value(QStringLiteral("PATH_IMAGE")).toString() : QString());
}

void TFormInsVarAnnunci::aggiornaAnteprimaVideo()
{
    tavo::TMemTable *t = m_video->tabella();
    const bool riga = t->isOpen() && !t->isEmpty() && t->state() == tavo::TMemTable::State::Browse;
    ImgView32Video->mostraFile(riga ? t->value(QStringLiteral("PATH_IMAGE")).toString() : QString());
}

void TFormInsVarAnnunci::modificaFoto(bool nuova)
{
    if (m_idSalvato == 0) {
        errore(QStringLiteral("Operazione non possibile ora"));
        mostraPagina(0);
        return;
    }
    try {
        if (nuova)
            m_foto->nuova(m_idSalvato);
        else
            m_foto->modifica();
        const QString percorsoFoto = TFormMain::istanza()->PercorsoFoto();
        TFormInsVarFoto dialogo(m_foto->tabella(), percorsoFoto, nuova, this);
        if (dialogo.exec() != QDialog::Accepted) {
            m_foto->annulla();
            return;
        }
        if (!dialogo.mantieniPercorso()) {
            const QString cartella = tavo::cartellaAnnuncio(percorsoFoto, m_idSalvato);
            tavo::TMemTable *t = m_foto->tabella();
            t->setValue(QStringLiteral("PATH_IMAGE"),
                        tavo::copiaNellaCartella(t->value(QStringLiteral("PATH_IMAGE")).toString(), cartella));
        }
        m_foto->registra();
    } catch (const db::DbError &e) {
        m_foto->annulla();
        tavo::TavoApplication::mostraErrore(e.message());
        return;
    }
    aggiornaAnteprimaFoto();
    aggiornaPulsantiGallerie();
    impostaModificato(true);
}

void TFormInsVarAnnunci::modificaVideo(bool nuovo)
{
    if (m_idSalvato == 0) {
        errore(QStringLiteral("Operazione non possibile ora"));
        mostraPagina(0);
        return;
    }
    try {
        if (nuovo)
            m_video->nuova(m_idSalvato);
        else
            m_video->modifica();
        const QString percorsoFoto = TFormMain::istanza()->PercorsoFoto();
        TFormInsVarVideo dialogo(m_video->tabella(), percorsoFoto, nuovo, this);
        if (dialogo.exec() != QDialog::Accepted) {
            m_video->annulla();
            return;
        }
        if (!dialogo.mantieniPercorso()) {
            // The video first, then its preview picture, each on its own.
            const QString cartella = tavo::cartellaAnnuncio(percorsoFoto, m_idSalvato);
            tavo::TMemTable *t = m_video->tabella();
            for (const QString &colonna : {QStringLiteral("LINK_VIDEO"), QStringLiteral("PATH_IMAGE")})
                t->setValue(colonna, tavo::copiaNellaCartella(t->value(colonna).toString(), cartella));
        }
        m_video->registra();
    } catch (const db::DbError &e) {
        m_video->annulla();
        tavo::TavoApplication::mostraErrore(e.message());
        return;
    }
    aggiornaAnteprimaVideo();
    aggiornaPulsantiGallerie();
    impostaModificato(true);
}

void TFormInsVarAnnunci::ButtonInsFotoClick()
{
    modificaFoto(true);
}

void TFormInsVarAnnunci::ButtonModFotoClick()
{
    if (!m_foto->vuota())
        modificaFoto(false);
}

void TFormInsVarAnnunci::ButtonEliminaFotoClick()
{
    if (m_foto->vuota())
        return;
    if (ui().domanda(this, titolo(), QStringLiteral("Conferma l'Eliminazione dell'Immagine corrente?"),
                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No, UiService::Icona::Avviso) != QMessageBox::Yes)
        return;
    try {
        m_foto->elimina();
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
        return;
    }
    impostaModificato(true);
    aggiornaAnteprimaFoto();
    aggiornaPulsantiGallerie();
}

void TFormInsVarAnnunci::ButtonAnteprimaCompletoClick()
{
    if (m_foto->vuota())
        return;
    auto *anteprima = TFormMain::istanza()->ApriFinestra<TFormAnteprimaFoto>();
    anteprima->MostraFoto(EditRIFERIMENTO->text(), m_foto->fotoAnteprima());
}

void TFormInsVarAnnunci::ButtonInsVideoClick()
{
    modificaVideo(true);
}

void TFormInsVarAnnunci::ButtonModVideoClick()
{
    if (!m_video->vuota())
        modificaVideo(false);
}

void TFormInsVarAnnunci::ButtonEliminaVideoClick()
{
    if (m_video->vuota())
        return;
    if (ui().domanda(this, titolo(), QStringLiteral("Conferma l'Eliminazione del Video corrente?"),
                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No, UiService::Icona::Avviso) != QMessageBox::Yes)
        return;
    try {
        m_video->elimina();
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
        return;
    }
    impostaModificato(true);
    aggiornaAnteprimaVideo();
    aggiornaPulsantiGallerie();
}
