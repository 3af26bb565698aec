#pragma once
// The similar-clients picker ("Clienti Simili"): the clients that resemble the data typed in the
// window that opened it, from which the user may adopt an existing client.
//
// The grid is the shared search grid: a title click sorts (natural, ascending, descending), the
// sorted title is marked, the right click on the titles chooses the visible columns, and the sort
// (SortedColumn, SortMarker), hidden columns and widths are kept under FormMostraClientiSimili.
//
// The opener (the window that creates a request from an appointment,
// TFormNuovaRichiestaDaApptsuAnnuncio) opens it through ApriFinestra and calls
// ImpostaFiltriSimili with its typed description, phone and e-mail. "Conferma" hands the chosen
// client back to the opener, in this order:
//   1. its labels LabelDescr, LabelTelefoni, LabelEmail go back to the normal colour;
//   2. its QLineEdit fields EditDESCR, EditTELEFONO1, EditEMAIL take the client's DESCR,
//      TELEFONO1 and EMAIL (setText: the opener's change handlers run and clear its chosen id);
//   3. its slot (or Q_INVOKABLE) ImpostaClienteScelto(int idCliente) receives the client's id;
// and the picker closes. The opener is FinestraRichiedente when set, else the open
// TFormNuovaRichiestaDaApptsuAnnuncio.

#include "clients/clientisimili.h"
#include "widgets/formbase.h"

#include "ui_frmMostraClientiSimili.h"

#include <QPointer>

class TFormMostraClientiSimili : public tavo::TFormBase, public Ui::TFormMostraClientiSimili
{
    Q_OBJECT
public:
    explicit TFormMostraClientiSimili(QWidget *parent = nullptr);

    // Keeps the description in capitals, the phone as its key (digits only) and the e-mail in
    // small letters, then reopens the list with the clients that match any of them.
    Q_INVOKABLE void ImpostaFiltriSimili(const QString &descr, const QString &telefono, const QString &email);

    QPointer<QWidget> FinestraRichiedente;

    tavo::TModelloClientiSimili *modello() const { return m_modello; }
    tavo::FiltriSimili filtri() const { return m_filtri; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void salvaStato() const override;
    void ripristinaStato() override;

private:
    void ButtonConfermaClick();
    void ButtonAnnullaClick();
    void FormShow();

    tavo::db::Transaction m_tr;
    tavo::db::Query m_query;
    tavo::TModelloClientiSimili *m_modello = nullptr;
    tavo::FiltriSimili m_filtri;
};
