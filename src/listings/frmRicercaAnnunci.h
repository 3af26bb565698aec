#pragma once
// The listing search ("Ricerca Annunci"): the rows of the matching engine's MemTableAnnunci, narrowed by the
// filter panel PanelTop (an in-memory filter expression, see filtroannunci.h), and the commands on a listing.
//
// Two presentations, told apart by PanelTop: search mode (panel shown, carried id 0) and list mode (panel hidden,
// the listings matching one request, whose id the panel carries in its dynamic property "tag").
//
// Entry points for other screens:
//   ApriElencoCompleto()            the main window's "Ricerca" / "Annunci" / "Elenco Annunci": open or bring
//                                   back the screen in search mode with the full table;
//   MostraElencoIncroci(caption, id) list mode, after the caller has written the listing query's slots and
//                                   closed MemTableAnnunci (request editor and request search);
//   AggiornaElenchi()               reload the filter lists (listing and client editors after a save);
//   RicaricaElenco(id)              reload the table keeping the presentation, then go to the listing (proposals);
//   FiltraPerCliente(id, descr)     the client search's "Vai agli Annunci";
//   ButtonFiltraClick(), AnnullaParametriFiltro(), AggiornaPulsanti().
//
// Screens this one opens before they are part of the program are reached by class name (registroschermate.h);
// their commands stay disabled until the class is registered. What is called on them:
//   TFormInsVarAnnunci              CaricaAnnuncio(int id) (0 = new), DuplicaAnnuncio(int idSorgente);
//   TFormRicercaRichieste           the controls PanelTop (hidden, dynamic property "tag" = the listing id),
//                                   DBGridRichieste (tavo::TSearchGrid on MemTableRichieste, riapplicaOrdinamento())
//                                   and the action MenuVaiallaRichiesta (made the grid's default entry);
//   TFormInvioEmaildaAnnuncio       PreparaInvio(int idAnnuncio), then SelezionaNonInviati(); its grid
//                                   DBGridRichieste gets riapplicaOrdinamento();
//   TFormSelezioneAnnunciPerScheda  ImpostaScheda(int tipoScheda, QString idAnnunci) after its caption is set
//                                   ("Selezione Annunci per ..."); the ids are comma-separated;
//   TFormAnteprimaFoto              MostraFoto(QString riferimento, QStringList percorsiFoto);
//   TFormRicercaRichieste, TFormRicercaClienti: their QAbstractButton SpeedButtonLock is released (signals
//                                   blocked) when this screen's lock is pressed;
//   TFormInvioAnnunciARiviste       while it is open, a row dragged from the grid carries the text
//                                   "ID|RIFERIMENTO|NR_LOCALI|COMUNE|FOTOSN".
// The client editor (TFormInsVarClienti) is called directly.

#include "data/database.h"
#include "listings/filtroannunci.h"
#include "widgets/formbase.h"

#include "ui_frmRicercaAnnunci.h"

#include <QPoint>

class QAbstractButton;
class QMenu;

namespace tavo {
struct ElenchiFiltroAnnunci;
class TDataModuleQueryComposte;
class TMemTable;
class TMemTableModel;
} // namespace tavo

class TFormRicercaAnnunci : public tavo::TFormBase, public Ui::TFormRicercaAnnunci
{
    Q_OBJECT
public:
    explicit TFormRicercaAnnunci(QWidget *parent = nullptr);
    ~TFormRicercaAnnunci() override;

    // The grid's columns and the export grid's columns, in order.
    static QStringList colonneGriglia();
    static QStringList colonneEsportazione();

    // Search mode from the main window (see the header comment). Returns the screen.
    static TFormRicercaAnnunci *ApriElencoCompleto();
    // The main window's "Elenco Annunci": search mode, then the HTML export opened at once.
    static void StampaElencoAnnunci();

    Q_INVOKABLE void MostraElencoIncroci(const QString &caption, int idRichiesta);
    Q_INVOKABLE void AggiornaElenchi();
    Q_INVOKABLE void AggiornaPulsanti();
    Q_INVOKABLE void ButtonFiltraClick();
    Q_INVOKABLE void AnnullaParametriFiltro();
    Q_INVOKABLE void RicaricaElenco(int idAnnuncio);
    Q_INVOKABLE void FiltraPerCliente(int idCliente, const QString &descr);
    // The stored sort applied again (a title click on no column), or a title click on a column.
    void DBGridAnnunciTitleClick(const QString &colonna = QString());
    // "Esporta in HTML" of the grid menu: the export grid through the main window's EsportaGriglia.
    void MenuEsportainHTMLClick();

    bool modalitaElenco() const { return PanelTop->isHidden(); }
    // The request whose matches are listed (the panel's carried id); 0 in search mode.
    int idRichiestaElenco() const;
    // The values of the filter panel and their expression.
    tavo::ParametriFiltroAnnunci parametriFiltro() const;
    // Puts values on the panel (lists by their entry's text, the client by its text too) without filtering.
    void impostaParametriFiltro(const tavo::ParametriFiltroAnnunci &p);
    // The text a dragged row carries.
    QString testoTrascinamento() const;
    // The ids of the rows shown, in the grid's order, joined with "," (the current row stays current).
    QString idAnnunciVisualizzati() const;
    // A move of the mouse over the grid with the left button held since the last press; true when it started a
    // drag (only while the magazine sending screen is open).
    bool DBGridAnnunciMouseMove(const QPoint &punto);

    QMenu *PopupMenuAnnunci = nullptr;
    QMenu *PopupMenuFiltro = nullptr;
    QMenu *MenuSchedaAnnuncioUsoInterno = nullptr;
    QMenu *MenuSchedaAnnuncioperCliente = nullptr;
    QMenu *MenuSchedaAnnuncioperVetrina = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void salvaStato() const override;
    void ripristinaStato() override;

private:
    void FormShow();
    void FiltroChange();
    void ListaKeyDown(QWidget *lista);
    void SpeedButtonLockClick(bool premuto);
    void MenuVaiAllAnnuncioClick();
    void MenuNuovoAnnuncioClick();
    void MenuDuplicaAnnuncioClick();
    void MenuEliminaAnnuncioClick();
    void MenuVaialClienteClick();
    // tag 0 "Mostra Incroci", tag 1 "Invia EMail/SMS".
    void MenuMostraIncrociClick(int tag);
    void MenuAnteprimaFotoClick();
    // tag 1..3 the current listing, 11..13 every listing shown.
    void MenuSchedaClick(int tag, QMenu *voce);
    void MenuSalvaParametriFiltroClick();
    void MenuCaricaParametriFiltroClick();

    void creaMenu();
    void preparaGriglie();
    void caricaElenchi(bool ripristina);
    void mostraElenchi(const tavo::ElenchiFiltroAnnunci &e, bool ripristina);
    void modalitaRicerca();
    tavo::TMemTable *tabella() const;
    int idCorrente() const;
    QString titolo() const;
    // The screen registered under classe, opened through ApriFinestra; nullptr when it is not registered.
    QWidget *apriSchermata(const QString &classe) const;
    void chiudiSchermata(const QString &classe) const;
    void errore(const QString &testo) const;

    tavo::db::Transaction m_tr;
    tavo::TDataModuleQueryComposte *m_dm = nullptr;
    tavo::TMemTableModel *m_modello = nullptr;
    tavo::TMemTableModel *m_modelloEsportazione = nullptr;
    QPoint m_puntoPressione;
    bool m_premuto = false;
    bool m_mostrato = false;
    // The listing query's slots of list mode, written again by a reload.
    QStringList m_slotElenco;
    QList<QWidget *> m_controlliFiltro;
};
