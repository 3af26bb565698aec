#pragma once
// The municipality picker ("Scelta e inserimento Comune"): region, province, municipality and
// zone, handed to the editor that opened it. It only reads the geography tables.
//
// The editor opens it with TFormMain::ApriFinestra<TFormInserimentoComune>(), sets the captions
// and visibility of ButtonAggiungieContinua, ButtonAggiungieFine and ButtonFine, and sets
// FinestraRichiedente to itself. An editor that inherits tavo::RichiedenteComuni (the request
// editor) receives any number of municipalities and zones; one that inherits
// tavo::RichiedenteComune (the listing editor) receives one choice, after which the picker closes
// (see clients/richiedentecomune.h). If that editor has been closed, adding does nothing.
//
// The positions of the region, province, municipality and zone lists are remembered in the
// settings group FormInserimentoComune (EditRegione_ItemIndex, ...; -1 for none).

#include "clients/geografia.h"
#include "widgets/formbase.h"

#include "ui_frmInserimentoComune.h"

#include <QPointer>

class TFormInserimentoComune : public tavo::TFormBase, public Ui::TFormInserimentoComune
{
    Q_OBJECT
public:
    explicit TFormInserimentoComune(QWidget *parent = nullptr);

    // The editor to fill (request editor or listing editor).
    QPointer<QWidget> FinestraRichiedente;

protected:
    void salvaStato() const override;
    void ripristinaStato() override;

private:
    void FormShow();
    void EditNazioneChange();
    void EditRegioneChange();
    void EditProvinciaChange();
    void EditComuneClick();
    void EditZonaClick();
    void EditComuneDblClick();
    void EditZonaDblClick();
    void ButtonAggiungiClick(QPushButton *pulsante);
    void ButtonFineClick();

    // The buttons and double clicks: adding for a request editor, choosing for a listing editor.
    // pulsante is nullptr for a double click.
    void Aggiungi(QPushButton *pulsante);
    void AggiungiPerRichiesta(QPushButton *pulsante);
    void ScegliPerAnnuncio();

    void riempiCombo(QComboBox *combo, const tavo::VociGeografiche &voci);
    void riempiLista(QListWidget *lista, const tavo::VociGeografiche &voci);
    void svuotaComuni();
    void svuotaZone();
    void selezionaRiga(QListWidget *lista, int riga);
    static int rigaSelezionata(const QListWidget *lista);
    tavo::SceltaGeografica scelta() const;
    void aggiornaSelezioneCorrente();
    void errore(const QString &testo, QWidget *campo);

    tavo::db::Transaction m_tr;
    tavo::db::Query m_query;
    tavo::VociGeografiche m_nazioni, m_regioni, m_province, m_comuni, m_zone;
};
