#pragma once
// The client search ("Ricerca Clienti"): the rows of CLIENTI narrowed by six text filters and the owner filter,
// filtered and sorted in the database (every change rebuilds the query's filter line and reopens it), and the
// actions on a client: editor, new client, deletion with everything attached, its listings, requests and
// appointments, the HTML export, and the hand-over of the clients' addresses to the mail program.
//
// The same window is the client picker of the listing editor, the request editor and the request search: the
// opener sets the dynamic property "tag" of ButtonCliente to 1 and its caption to "Scegli Cliente"; the choice
// then goes back, in this order, to TFormInsVarRichieste and TFormInsVarAnnunci (CaricaClienti(), the id selected
// in their QComboBox EditCliente, EditClienteClick()) and to TFormRicercaRichieste (AggiornaListe(), the id
// selected in EditCliente, FiltroChange()); then the window closes.
//
// Entry points for other screens:
//   ApriRicerca()                          the main window's menu, toolbar and AUTO_FORM 3: open or bring back;
//   AggiornaDopoSalvataggioCliente(descr)  the client editor after a save: reload keeping the sort, go to the
//                                          first row whose DESCR is descr;
//   Rifiltra()                             the listing editor after a save: the filter change again;
//   EsportaInHTML()                        the main window's "Elenco Clienti": the list as HTML, opened at once.
//
// Screens reached by class name (registroschermate.h); their commands stay disabled until they are registered:
//   TFormRicercaAnnunci    "Vai agli Annunci": opened as the main window's "Ricerca" of "Annunci" does (its action
//                          MenuRicercaAnnunci when present), DBGridAnnunci's default entry MenuVaiAllAnnuncio,
//                          then FiltraPerCliente(int, QString);
//   TFormRicercaRichieste  "Vai alle Richieste": MostraRichiesteCliente(int);
//   TFormRicercaAnnunci, TFormRicercaRichieste: their QAbstractButton SpeedButtonLock is released (signals
//                          blocked) when this screen's lock is pressed.
// The deletion closes TFormRicercaRichieste, TFormInsVarRichieste, TFormRicercaAnnunci and TFormInsVarAnnunci when
// they are open. The client editor is called directly.

#include "clients/ricercaclienti.h"
#include "data/database.h"
#include "widgets/formbase.h"

#include "ui_frmRicercaClienti.h"

class QButtonGroup;
class QMenu;

class TFormRicercaClienti : public tavo::TFormBase, public Ui::TFormRicercaClienti
{
    Q_OBJECT
public:
    explicit TFormRicercaClienti(QWidget *parent = nullptr);
    ~TFormRicercaClienti() override;

    // Opens the screen through ApriFinestra (or brings it back) and returns it.
    static TFormRicercaClienti *ApriRicerca();

    Q_INVOKABLE void AggiornaDopoSalvataggioCliente(const QString &descr);
    Q_INVOKABLE void Rifiltra();
    Q_INVOKABLE void EsportaInHTML();
    Q_INVOKABLE void AggiornaPulsanti();

    // A title click on a column, or with no column the current sort applied again.
    void DBGridClientiTitleClick(const QString &colonna = QString());

    // The panel's values.
    tavo::FiltriRicercaClienti filtri() const;
    // Picker mode: ButtonCliente carries tag 1.
    bool modalitaScelta() const;
    // The client of the current row; 0 when no row is current.
    int idClienteCorrente() const;
    // Moves to the first row of that client; false when it is not listed.
    bool vaiAlCliente(int idCliente);
    tavo::TModelloRicercaClienti *modello() const { return m_modello; }
    // The query's three lines as last opened.
    QStringList sql() const { return m_sql; }

    QMenu *PopupMenuClienti = nullptr;
    QMenu *MenuInviaEMail = nullptr;
    QMenu *MenuInviaSMS = nullptr;
    QButtonGroup *GruppoProprietari = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void salvaStato() const override;
    void ripristinaStato() override;

private:
    void FormShow();
    void FiltroChange();
    void ButtonClienteClick();
    void ButtonNuovoClienteClick();
    void ButtonEliminaClienteClick();
    void ButtonAnnunciClick();
    void ButtonRichiesteClick();
    void ButtonAzzeraFiltriClick();
    void SpeedButtonLockClick(bool premuto);
    // "Esporta in HTML" of the grid's menu: the save dialog, then the main window's export.
    void MenuEsportainHTMLClick();
    // tag 0 / 10 e-mail to every client shown / the current one, 1 / 11 SMS.
    void MenuInviaClick(int tag);

    void creaMenu();
    void preparaGriglia();
    // The grid's title click in database mode: the sort line changes and the query reopens.
    void ordinamentoRichiesto(const QString &colonna, int stato);
    // Reopens the query as m_sql says with the panel's parameters, then goes back to idCliente (else the first
    // row). Database errors go on.
    void apri(int idCliente);
    void sceltaCliente(int idCliente);
    // The query closed after an error: no rows, the row commands off.
    void chiudiElenco();
    // Reads the rows the grid has not read yet; false (the error shown) when the database failed.
    bool caricaTutto();
    int rigaCorrente() const;
    void selezionaRiga(int riga);
    QWidget *apriSchermata(const QString &classe) const;
    // Closes an open screen; false when it refused (its close question answered Cancel).
    bool chiudiSchermata(const QString &classe) const;
    QString titolo() const;
    void errore(const QString &testo);

    tavo::db::Transaction m_tr;
    tavo::db::Query m_query;         // the list (IBDataSetClienti)
    tavo::db::Query m_queryServizio; // counts and options
    tavo::TModelloRicercaClienti *m_modello = nullptr;
    QStringList m_sql;
    bool m_aperta = false;
    bool m_mostrato = false;
    tavo::OpzioniRicercaClienti m_opzioni;
    int m_smsTipo = 0;
};
