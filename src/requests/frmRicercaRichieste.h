#pragma once
// The request search ("Elenco Richieste"): the rows of the matching engine's MemTableRichieste, narrowed by the
// filter panel PanelTop (an in-memory filter expression, see filtrorichieste.h), and the commands on a request.
//
// Two presentations, told apart by PanelTop: the normal list (panel shown, carried id 0, caption "Elenco Richieste")
// and list mode (panel hidden, the requests matching one listing, whose id the panel carries in its dynamic property
// "tag"). List mode is set up by the caller (listing search, listing editor): it writes the request query's slots,
// opens this screen by name, makes MenuVaiallaRichiesta the default entry of DBGridRichieste, sets the caption, hides
// PanelTop with the listing id in "tag", opens MemTableRichieste and calls DBGridRichieste->riapplicaOrdinamento().
//
// Entry points for other screens:
//   ApriElencoCompleto()          the main window's "Ricerca" / "Richieste" / AUTO_FORM 2: open or bring back the
//                                 screen in the normal list with the full table;
//   StampaElencoRichieste()       the main window's "Elenco Richieste": the same, then the HTML export opened at once;
//   AggiornaListe()               reload the municipality and client lists (request and client editors after a
//                                 save, the client search's pick mode);
//   FiltroChange()                apply the panel's filters (after a caller selected a client in EditCliente);
//   ButtonAzzeraFiltriClick()     clear the filters and apply them;
//   MostraRichiesteCliente(id)    the client search's "Vai alle Richieste";
//   EsportaInHTML()               "Esporta in HTML".
//
// Screens reached by class name (registroschermate.h); their commands stay disabled until the class is registered:
//   TFormInsVarRichieste               CaricaRichiesta(int id) (0 = new);
//   TFormRicercaClienti                picker mode: its ButtonCliente gets "tag" 1 and the text "Scegli Cliente";
//   TFormInvioEmaildaRichiesta         PreparaInvio(int idRichiesta, int idCliente), then SelezionaNonInviati(); its
//                                      grid (DBGridAnnunci, else its first TSearchGrid) gets riapplicaOrdinamento();
//   TFormAppuntamenti                  ImpostaRichiesta(int id), in list mode also ImpostaAnnuncio(int id); the hint
//                                      is shown on its control DateTimePicker1;
//   TFormElencoAppuntamenti            ElencoAppuntamentiRichiesta(int idRichiesta);
//   TFormElencoInviidaRichiesta        MostraInvii(int idRichiesta);
//   TFormSelezioneRichiestePerScheda   ImpostaRichieste(QString ids), the ids comma-separated;
//   TFormRicercaAnnunci, TFormRicercaClienti: their QAbstractButton SpeedButtonLock is released (signals blocked)
//                                      by this screen's lock button.
// The listing search (TFormRicercaAnnunci::MostraElencoIncroci) and the client editor are called directly.

#include "data/database.h"
#include "requests/filtrorichieste.h"
#include "widgets/formbase.h"

#include <QDateEdit>

class QMenu;

namespace tavo {
class TDataModuleQueryComposte;
class TMemTable;
class TMemTableModel;
} // namespace tavo

// A date field that may be empty (no bound). Empty shows no text; the Delete key empties it; a digit typed into the
// empty field starts from today's date, day first; the calendar opens on today's month when the field is empty.
class TEditData : public QDateEdit
{
    Q_OBJECT
public:
    explicit TEditData(QWidget *parent = nullptr);

    // The date, or an invalid QDate when empty.
    QDate data() const;
    // An invalid date empties the field.
    void impostaData(const QDate &data);
    bool vuota() const { return date() == minimumDate(); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};

#include "ui_frmRicercaRichieste.h"

class TFormRicercaRichieste : public tavo::TFormBase, public Ui::TFormRicercaRichieste
{
    Q_OBJECT
public:
    explicit TFormRicercaRichieste(QWidget *parent = nullptr);
    ~TFormRicercaRichieste() override;

    // The grid's columns, in order.
    static QStringList colonneGriglia();

    // The normal list from the main window (see the header comment). Returns the screen.
    static TFormRicercaRichieste *ApriElencoCompleto();
    static void StampaElencoRichieste();

    Q_INVOKABLE void AggiornaListe();
    Q_INVOKABLE void FiltroChange();
    Q_INVOKABLE void ButtonAzzeraFiltriClick();
    Q_INVOKABLE void MostraRichiesteCliente(int idCliente);
    Q_INVOKABLE void EsportaInHTML();
    Q_INVOKABLE void AggiornaPulsanti();
    // The stored sort applied again (a title click on no column), or a title click on a column.
    void DBGridRichiesteTitleClick(const QString &colonna = QString());
    // "Date Predef.": both dates set, then the filters applied.
    void DatePredefiniteClick(tavo::PeriodoPredefinito periodo);

    bool modalitaElenco() const { return PanelTop->isHidden(); }
    // The listing whose matches are listed (the panel's carried id); 0 in the normal list.
    int idAnnuncioElenco() const;
    tavo::ParametriFiltroRichieste parametriFiltro() const;

    QMenu *PopupMenuRichieste = nullptr;
    QMenu *MenuStampaSchedaRichiesta = nullptr;
    QMenu *PopupMenuDatePredefinite = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void salvaStato() const override;
    void ripristinaStato() override;

private:
    void FormShow();
    void ListaKeyDown(QComboBox *lista);
    void ButtonCercaClienteClick();
    void SpeedButtonLockClick(bool premuto);
    void MenuVaiallaRichiestaClick();
    void MenuNuovaRichiestaClick();
    void MenuEliminaRichiestaClick();
    void MenuVaialClienteClick();
    // tag 0 "Mostra Incroci", tag 1 "Invia EMail/SMS".
    void MenuMostraIncrociClick(int tag);
    void MenuMostraInviigieffettuatiClick();
    void MenuVaiagliAppuntamentiClick();
    void MenuNuovoAppuntamentoClick();
    void MenuRichiestaCorrenteClick();
    void MenuTutteleRichiesteClick();
    void MenuStampaSchedaRichiestaPopup();

    void creaMenu();
    void preparaGriglia();
    void caricaListe();
    void elencoNormale();
    tavo::TMemTable *tabella() const;
    int idCorrente() const;
    QString titolo() const;
    QString idRichiesteVisualizzate() const;
    // The screen registered under classe, opened through ApriFinestra; nullptr when it is not registered.
    QWidget *apriSchermata(const QString &classe) const;
    void errore(const QString &testo) const;

    tavo::db::Transaction m_tr;
    tavo::TDataModuleQueryComposte *m_dm = nullptr;
    tavo::TMemTableModel *m_modello = nullptr;
    bool m_mostrato = false;
    QList<QWidget *> m_controlliFiltro;
};
