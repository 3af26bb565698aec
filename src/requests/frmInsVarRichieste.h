#pragma once
// The request editor ("Inserimento Richiesta" / "Modifica Richiesta"), which is also the quick-find window
// ("Trova Veloce"): creates or changes a request (RICHIESTE) with its listing kinds, property types and
// municipalities, and shows the listings that the request on screen satisfies without saving it ("Mostra Incroci").
//
// Callers open it through TFormMain::ApriFinestra (or the screen registry under "TFormInsVarRichieste") and then
// call, by name or directly:
//   CaricaRichiesta(int id)       0 = a new request (the client chosen stays chosen), else that request;
//   CaricaClienti(), EditClienteClick()  the client editor and the client search, after they change clients (the
//                                 client list is the QComboBox EditCliente, ID_CLIENTE as item data; it is disabled
//                                 while the client of a saved request is locked);
//   CaricaLocalita()              the locality suggestions of the municipalities listed;
//   ApriTrovaVeloce()             the main window's "Trova Veloce".
// The municipality picker (TFormInserimentoComune) fills EditComuni through tavo::RichiedenteComuni.
//
// A save writes the request row and its link rows on the window's own transaction and commits retaining; a
// database error leaves nothing of that save in the transaction. After a save the editor closes the matching
// engine's MemTableAnnunci and refreshes the request's row (AggiornaRichiesta), calls AggiornaListe() on the request
// search (TFormRicercaRichieste) when it is open, and closes the listing search.
//
// Screens reached through the screen registry, whose commands stay disabled until the class is registered:
//   TFormRicercaClienti  "Cerca Cliente": opened in pick mode, its QAbstractButton ButtonCliente getting the dynamic
//                        property "tag" 1 and the caption "Scegli Cliente".
// The client editor, the municipality picker and the listing search are called directly.

#include "clients/richiedentecomune.h"
#include "data/database.h"
#include "requests/datirichiesta.h"
#include "widgets/formbase.h"

#include "ui_frmInsVarRichieste.h"

#include <QIcon>
#include <QVector>

class QTreeWidgetItem;

class TFormInsVarRichieste : public tavo::TEditorBase, public Ui::TFormInsVarRichieste, public tavo::RichiedenteComuni
{
    Q_OBJECT
public:
    explicit TFormInsVarRichieste(QWidget *parent = nullptr);
    ~TFormInsVarRichieste() override;

    // The main window's "Trova Veloce": the editor opened (or brought back) and reset for a new request, with the
    // caption "Trova Veloce", "Salva come Richiesta" on ButtonConferma and the quick-find icon.
    static TFormInsVarRichieste *ApriTrovaVeloce();

    Q_INVOKABLE void CaricaRichiesta(int id);
    Q_INVOKABLE void CaricaClienti();
    // The client list's choice: "Vai al Cliente" follows it and the request counts as changed.
    Q_INVOKABLE void EditClienteClick();
    Q_INVOKABLE void CaricaLocalita();

    // ---- tavo::RichiedenteComuni (the municipality picker) ----
    QList<int> ComuniPresenti() const override;
    void AggiungiComune(const QString &testo, int idComune) override;
    void ComuniAggiunti() override;

    // ---- State ----
    int idRichiesta() const { return m_idRichiesta; }
    bool clienteBloccato() const { return m_clienteBloccato; }
    bool ignoraProssimoClic() const { return m_ignoraProssimoClic; }
    // The request on screen, as a save would write it and "Mostra Incroci" would search it.
    tavo::DatiRichiesta valoriSchermo() const;

    // The property-type tree: a node's state (1 unchecked, 2 checked) and value (ID_TIPOLOGIA_IMMOBILE, 0 for a
    // group); the type node of an id and the group node of a text (nullptr when none).
    static int statoNodo(const QTreeWidgetItem *nodo);
    static int valoreNodo(const QTreeWidgetItem *nodo);
    QTreeWidgetItem *nodoTipologia(int idTipologia) const;
    QTreeWidgetItem *nodoGruppo(const QString &testo) const;

    // "Mostra Incroci", in two steps:
    //   IncrociSchermo   the ids of the listings the request on screen satisfies, in price order, from the
    //                    matching engine's request-to-listings rule on the values on screen;
    //   ConsegnaIncroci  the hand-over to the listing search: MemTableAnnunci closed and unfiltered, the listing
    //                    query's slots "and ID_ANNUNCIO_IMMOBILE in (...)" and "order by PREZZO", the screen opened in
    //                    list mode with the caption "Elenco Annunci incrociati su Richiesta" and this request's id.
    QVector<int> IncrociSchermo();
    void ConsegnaIncroci(const QVector<int> &ids);

    static QString classeRicercaRichieste() { return QStringLiteral("TFormRicercaRichieste"); }
    static QString classeRicercaClienti() { return QStringLiteral("TFormRicercaClienti"); }
    static QString captionTrovaVeloce() { return QStringLiteral("Trova Veloce"); }

    // The size the window opens with the first time (its placement is kept afterwards).
    QSize sizeHint() const override { return QSize(800, 660); }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // The close question's "Sì": the confirmation; true when the window must close.
    bool salva() override;
    // The question is this window's own (a warning, and none in quick-find mode): see closeEvent.
    bool chiedeAllaChiusura() const override { return false; }

private:
    enum class Esito { Rifiutata, Salvata, SalvataChiudi };

    void FormShow();
    void ButtonConfermaClick();
    void ButtonAnnullaClick();
    void ButtonMostraIncrociClick();
    void ButtonCercaClienteClick();
    void ButtonNuovoClienteClick();
    void ButtonClienteClick();
    void ButtonAggiungiComuneClick();
    void ButtonEliminaComuniClick();
    void EditTipologieImmobileClick(QTreeWidgetItem *nodo);
    void EditSpazioApertoClick();
    void aggiornaPulsanteElimina();

    // The confirmation, with its result.
    Esito Conferma();
    // The four tests, in order; false (with the message shown) when refused. perConferma adds the client.
    bool Convalida(bool perConferma);
    // The generic-request question when nothing describes the wish; false when the user declined.
    bool ConfermaRichiestaGenerica(bool perRicerca);
    void rifiuta(const QString &testo, QLabel *etichetta, QWidget *campo);
    void ripristinaEtichetteRosse();
    void aggiornaAltreFinestre(int idSalvato);

    void costruisciAlbero();
    void impostaStatoNodo(QTreeWidgetItem *nodo, int stato);
    void svuotaCampi();
    void riempiCampi(const tavo::DatiRichiesta &d);
    void caricaFonti();
    void bloccaCliente(bool bloccato);
    void aggiornaPulsanteCliente();
    void aggiornaComandi();
    void disponiTipologieAnnuncio();
    void disegnaLinguette();

    void errore(const QString &testo);
    QString titolo() const;

    tavo::db::Transaction m_tr;
    QIcon m_iconaNonSpuntato, m_iconaSpuntato;
    int m_idRichiesta = 0;
    bool m_clienteBloccato = false;
    bool m_ignoraProssimoClic = false;
    bool m_mostrata = false;
};
