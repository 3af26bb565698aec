#pragma once
// The listing editor ("Inserimento Annuncio" / "Modifica Annuncio"): creates, changes and duplicates a listing
// (ANNUNCI_IMMOBILI) with its photos and videos, and shows the requests the listing on screen satisfies.
//
// Callers open it with TFormMain::ApriFinestra<TFormInsVarAnnunci>() (or through the screen registry under
// "TFormInsVarAnnunci") and then call, by name or directly:
//   CaricaAnnuncio(int id)            0 = a new listing, else that listing;
//   DuplicaAnnuncio(int idSorgente)   after CaricaAnnuncio(0): a saved copy of that listing, photo and video
//                                     rows included, which the window then edits;
//   CaricaClienti(), EditClienteClick()  the client editor and the client search, after they change clients
//                                     (the client list is the QComboBox EditCliente, ID_CLIENTE as item data);
//   CaricaLocalita()                  the municipality picker, after a choice (through tavo::RichiedenteComune).
//
// Everything runs on the window's own transaction; the photo and video lists share it, so their changes last only
// if the listing is saved again. A save commits retaining; closing rolls back what is left.
//
// After a save the editor refreshes, when they are open: the matching engine's row (AggiornaAnnuncio); the
// listing search (TFormRicercaAnnunci::AggiornaElenchi()); and, by the slots these screens are to offer:
//   TFormRicercaClienti         Rifiltra()        run its filter change again;
//   TFormInvioAnnunciARiviste   AggiornaElenco()  reopen its queue;
// then it closes the request search (TFormRicercaRichieste) and the engine's MemTableRichieste.
//
// Screens reached through the screen registry (registroschermate.h), whose commands stay disabled until the class
// is registered:
//   TFormRicercaRichieste  "Mostra Incroci": the ids go into the request query's slots, then its controls
//                          DBGridRichieste (tavo::TSearchGrid: default entry MenuVaiallaRichiesta,
//                          riapplicaOrdinamento()), PanelTop (hidden, dynamic property "tag" = the edited id) and its
//                          caption are set and MemTableRichieste is opened (ConsegnaIncroci);
//   TFormRicercaClienti    "Cerca Cliente": opened in pick mode, its QAbstractButton ButtonCliente getting the
//                          dynamic property "tag" 1 and the caption "Scegli Cliente".

#include "clients/richiedentecomune.h"
#include "data/database.h"
#include "listings/datiannuncio.h"
#include "widgets/formbase.h"

#include "ui_frmInsVarAnnunci.h"

#include <QVector>

#include <memory>

class QButtonGroup;

namespace tavo {
class TGalleria;
class TMemTableModel;
} // namespace tavo

class TFormInsVarAnnunci : public tavo::TEditorBase, public Ui::TFormInsVarAnnunci, public tavo::RichiedenteComune
{
    Q_OBJECT
public:
    explicit TFormInsVarAnnunci(QWidget *parent = nullptr);
    ~TFormInsVarAnnunci() override;

    Q_INVOKABLE void CaricaAnnuncio(int id);
    Q_INVOKABLE void DuplicaAnnuncio(int idSorgente);
    Q_INVOKABLE void CaricaClienti();
    Q_INVOKABLE void CaricaLocalita();
    // The client list's choice: "Vai al Cliente" follows it and the listing counts as changed.
    Q_INVOKABLE void EditClienteClick();
    void ComuneScelto(const QString &testo, int idComune) override;

    // ---- State ----
    int idModificato() const { return m_idModificato; }
    int idSalvato() const { return m_idSalvato; }
    int idComune() const { return m_idComune; }
    QString queryMappa() const { return m_queryMappa; }
    bool clienteBloccato() const { return m_clienteBloccato; }
    tavo::TGalleria &galleriaFoto() const { return *m_foto; }
    tavo::TGalleria &galleriaVideo() const { return *m_video; }

    // The columns a save would write, from the controls (ID_ANNUNCIO_IMMOBILE = the edited id; dates and
    // CATEGORIA_ANNUNCIO are added by the save).
    tavo::ValoriAnnuncio valoriSchermo() const;

    // "Mostra Incroci", in two steps:
    //   IncrociSchermo   the ids of the requests that the listing on screen (saved or not) satisfies, from the
    //                    matching engine's listing-to-requests rule on the values on screen;
    //   ConsegnaIncroci  the hand-over to the request search: MemTableRichieste closed and unfiltered, the request
    //                    query's slots "and ID_RICHIESTA in (...)" and "order by DATA_ULT_MODIFICA", the screen
    //                    opened and prepared, the table opened. Nothing when the request search is not registered.
    QVector<int> IncrociSchermo();
    void ConsegnaIncroci(const QVector<int> &ids);

    // The request search's class name, by which "Mostra Incroci" finds it.
    static QString classeRicercaRichieste() { return QStringLiteral("TFormRicercaRichieste"); }
    static QString classeRicercaClienti() { return QStringLiteral("TFormRicercaClienti"); }

    // The size the window opens with the first time (its placement is kept afterwards).
    QSize sizeHint() const override { return QSize(880, 650); }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // The close question's "Sì": the confirmation; true when the window must close.
    bool salva() override;

private:
    enum class Esito { Rifiutata, Salvata, SalvataChiudi };

    void FormShow();
    void ButtonConfermaClick();
    void ButtonAnnullaClick();
    void ButtonIncrociClick();
    void ButtonCercaClienteClick();
    void ButtonNuovoClienteClick();
    void ButtonClienteClick();
    void ButtonSceltaComuneClick();
    void EditMacroTipologieClick();
    void EditMAPPAClick(bool selezionato);
    void ButtonRicalcolaClick();
    void ButtonGoogleMapsClick();
    void PageControlChange(int pagina);
    void ButtonInsFotoClick();
    void ButtonModFotoClick();
    void ButtonEliminaFotoClick();
    void ButtonAnteprimaCompletoClick();
    void ButtonInsVideoClick();
    void ButtonModVideoClick();
    void ButtonEliminaVideoClick();

    // The confirmation (steps 1 to 16), with its result.
    Esito Conferma();
    // Steps 1 to 7: false (with the message shown) when refused. perConferma adds the client and the reference.
    bool Convalida(bool perConferma);
    void rifiuta(const QString &testo, QLabel *etichetta, QWidget *campo);
    void ripristinaEtichetteRosse();
    void aggiornaAltreFinestre(int idSalvato);

    void svuotaCampi();
    void riempiCampi(const tavo::ValoriAnnuncio &valori, bool conRiferimento);
    void fineCaricamento(int id);
    void caricaTipologieImmobili(int idMacro);
    void bloccaCliente(bool bloccato);
    void aggiornaPulsanteCliente();
    void aggiornaComandi();
    void abilitaMappa();
    void mostraPagina(int pagina);

    void modificaFoto(bool nuova);
    void modificaVideo(bool nuovo);
    void aggiornaAnteprimaFoto();
    void aggiornaAnteprimaVideo();
    void aggiornaPulsantiGallerie();

    void errore(const QString &testo);
    QString titolo() const;

    tavo::db::Transaction m_tr;
    std::unique_ptr<tavo::TGalleria> m_foto;
    std::unique_ptr<tavo::TGalleria> m_video;
    QButtonGroup *m_gruppoTipologia = nullptr;
    QButtonGroup *m_gruppoPriorita = nullptr;
    QList<QCheckBox *> m_treStati;

    int m_idModificato = 0;
    int m_idSalvato = 0;
    int m_idComune = 0;
    bool m_fotoDopoSalvataggio = false;
    bool m_salvataggioSilenzioso = false;
    QString m_queryMappa;
    bool m_clienteBloccato = false;
    bool m_mostrata = false;
    bool m_cambioPaginaConsentito = false;
};
