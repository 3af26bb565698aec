#pragma once
// The client editor: creates a CLIENTI row or changes one, refusing a client whose description,
// telephones or e-mail would duplicate another client's (checked while the user leaves each
// field, and again at confirmation).
//
// Callers open it with TFormMain::ApriFinestra<TFormInsVarClienti>() and then call
// CaricaCliente(id), with 0 for a new client.
//
// After a save it refreshes the other screens that are open, calling them by name so that each
// screen only has to provide the slot (Q_INVOKABLE or slot):
//   TFormRicercaClienti    AggiornaDopoSalvataggioCliente(QString descr)  reload keeping the sort,
//                          go to the first row whose DESCR is descr, update the buttons;
//   TFormInsVarRichieste,  CaricaClienti() and EditClienteClick(); their client list is the
//   TFormInsVarAnnunci     QComboBox "EditCliente" whose entries carry ID_CLIENTE as item data;
//   TFormRicercaRichieste  AggiornaListe();
//   TFormRicercaAnnunci    AggiornaElenchi().

#include "data/database.h"
#include "widgets/formbase.h"

#include "ui_frmInsVarClienti.h"

#include <QPointer>

class QCheckBox;
class QLineEdit;
class QTimer;

namespace tavo {
struct DatiCliente;
}

class TFormInsVarClienti : public tavo::TEditorBase, public Ui::TFormInsVarClienti
{
    Q_OBJECT
public:
    explicit TFormInsVarClienti(QWidget *parent = nullptr);
    ~TFormInsVarClienti() override;

    // Prepares the editor: id > 0 loads that client ("Modifica Cliente"), 0 empties every field
    // for a new one ("Inserimento Clienti").
    Q_INVOKABLE void CaricaCliente(int id);
    int idCliente() const { return m_idCliente; }

    QTimer *TimerAssegnaFocus = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // The close question's "Sì": the confirmation decides whether the window closes.
    bool salva() override;

private:
    void ButtonConfermaClick();
    void ButtonAnnullaClick();
    void EditDescrExit();
    void EditTelefonoExit(QLineEdit *campo);
    void EditEmailExit();
    void EditSMSClick(QCheckBox *casella);
    void LabelSMSDblClick();
    void TimerAssegnaFocusTimer();

    // The confirmation; true when the window must close.
    bool Conferma();
    tavo::DatiCliente datiDaCampi() const;
    bool telefonoUsato(QLineEdit *campo);
    void aggiornaFinestreAperte(const QString &descr, bool nuovo, int nuovoId);

    void errore(const QString &testo);
    void rosso(QLabel *etichetta);
    void normale(QLabel *etichetta);
    // Moves the focus from inside the editor: the fields' exit checks do not run for it.
    void focalizza(QWidget *campo);
    // The focus goes back to campo a moment later, through TimerAssegnaFocus.
    void assegnaFocus(QWidget *campo);
    bool controlloUscitaAttivo() const;

    tavo::db::Transaction m_tr;
    tavo::db::Query m_query;
    int m_idCliente = 0;
    QPointer<QWidget> m_daFocalizzare;
    bool m_spostamentoInterno = false;
    bool m_inChiusura = false;
    bool m_inControllo = false;
};
