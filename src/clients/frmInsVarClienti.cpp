#include "clients/frmInsVarClienti.h"

#include "app/frmMain.h"
#include "clients/clienti.h"
#include "widgets/uiservice.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolTip>
#include <QValidator>

using tavo::ui;
using tavo::UiService;

namespace {

// Forced upper case: every typed or pasted letter becomes a capital (one character for one, so
// that the length limit and the cursor stay right).
class ValidatoreMaiuscole : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        for (QChar &c : input)
            c = c.toUpper();
        return Acceptable;
    }
};

QString maiuscole(const QString &testo)
{
    QString out = testo;
    for (QChar &c : out)
        c = c.toUpper();
    return out;
}

const char *const TitoloSuggerimentoSms = "Informazioni sul Numero per l'Invio di SMS";

QString suggerimentoSms()
{
    const QString testo =
        QStringLiteral("Il numero di cellulare per l'invio di SMS può avere il prefisso internazionale,\n"
                       "nel qual caso deve iniziare con il carattere \"+\".\n\n"
                       "Se il numero NON inizia con \"+\", si presuppone che sia un numero di un gestore italiano e "
                       "verrà usato come tale.");
    return QStringLiteral("<p style='white-space:pre'><b>%1</b><br><br>%2</p>")
        .arg(QString::fromUtf8(TitoloSuggerimentoSms).toHtmlEscaped(),
             testo.toHtmlEscaped().replace(QLatin1Char('\n'), QLatin1String("<br>")));
}

// The client list of an open request or listing editor, after a client was saved: reloaded, then
// the saved client selected (list enabled, with the editor's handler run) or the entry selected
// before kept (list disabled: the editor's client is locked).
void aggiornaListaClienti(QWidget *editor, int idCliente)
{
    auto *lista = editor->findChild<QComboBox *>(QStringLiteral("EditCliente"));
    const QVariant ricordato = lista && lista->currentIndex() >= 0 ? lista->currentData() : QVariant();
    QMetaObject::invokeMethod(editor, "CaricaClienti", Qt::DirectConnection);
    if (!lista)
        return;
    auto trova = [lista](const QVariant &id) {
        for (int i = 0; i < lista->count(); ++i)
            if (id.isValid() && lista->itemData(i).isValid() && lista->itemData(i).toInt() == id.toInt())
                return i;
        return -1;
    };
    if (lista->isEnabled()) {
        const int i = trova(idCliente);
        if (i >= 0) {
            {
                const QSignalBlocker blocco(lista);
                lista->setCurrentIndex(i);
            }
            QMetaObject::invokeMethod(editor, "EditClienteClick", Qt::DirectConnection);
        }
    } else {
        const int i = trova(ricordato);
        if (i >= 0) {
            const QSignalBlocker blocco(lista);
            lista->setCurrentIndex(i);
        }
    }
}

} // namespace

TFormInsVarClienti::TFormInsVarClienti(QWidget *parent)
    : TEditorBase(QStringLiteral("FormInsVarClienti"), parent), m_tr(TFormMain::istanza()->database()), m_query(m_tr)
{
    setupUi(this);

    TimerAssegnaFocus = new QTimer(this);
    TimerAssegnaFocus->setObjectName(QStringLiteral("TimerAssegnaFocus"));
    TimerAssegnaFocus->setSingleShot(true);
    TimerAssegnaFocus->setInterval(100);
    connect(TimerAssegnaFocus, &QTimer::timeout, this, &TFormInsVarClienti::TimerAssegnaFocusTimer);

    for (QLineEdit *e : {EditDescr, EditCAP, EditProv, EditPartitaIVA, EditCodiceFiscale})
        e->setValidator(new ValidatoreMaiuscole(e));

    osservaModifiche({EditDescr, EditTelefono1, EditTelefono2, EditTelefono3, EditFax, EditEmail, EditIndirizzo,
                      EditCAP, EditCitta, EditProv, EditPartitaIVA, EditCodiceFiscale, EditSitoWeb, EditReferente,
                      EditNote});

    // Enter confirms and Escape cancels in the fields (EditCAP excepted) and in the notes; the
    // three checked fields report when the user leaves them.
    const QList<QWidget *> campi{EditDescr,         EditTelefono1, EditTelefono2, EditTelefono3, EditFax,
                                 EditEmail,         EditIndirizzo, EditCitta,     EditProv,      EditPartitaIVA,
                                 EditCodiceFiscale, EditSitoWeb,   EditReferente, EditNote};
    for (QWidget *w : campi)
        w->installEventFilter(this);
    LabelSMS->installEventFilter(this);

    connect(ButtonConferma, &QPushButton::clicked, this, &TFormInsVarClienti::ButtonConfermaClick);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &TFormInsVarClienti::ButtonAnnullaClick);
    for (QCheckBox *c : {EditSMS1, EditSMS2, EditSMS3})
        connect(c, &QCheckBox::clicked, this, [this, c] { EditSMSClick(c); });

    setWindowTitle(QStringLiteral("Inserimento Clienti"));
}

TFormInsVarClienti::~TFormInsVarClienti()
{
    QToolTip::hideText();
}

void TFormInsVarClienti::CaricaCliente(int id)
{
    for (QCheckBox *c : {EditSMS1, EditSMS2, EditSMS3})
        c->setChecked(false);
    QToolTip::hideText();
    TimerAssegnaFocus->stop();

    tavo::DatiCliente d;
    if (id > 0) {
        // A client deleted meanwhile leaves the fields empty; saving then reports it.
        tavo::LeggiCliente(m_query, id, d);
        setWindowTitle(QStringLiteral("Modifica Cliente"));
    } else {
        setWindowTitle(QStringLiteral("Inserimento Clienti"));
    }
    EditDescr->setText(maiuscole(d.descr));
    EditTelefono1->setText(d.telefono1);
    EditTelefono2->setText(d.telefono2);
    EditTelefono3->setText(d.telefono3);
    if (d.telXSms >= 1 && d.telXSms <= 3)
        QList<QCheckBox *>{EditSMS1, EditSMS2, EditSMS3}.at(d.telXSms - 1)->setChecked(true);
    EditFax->setText(d.fax);
    EditEmail->setText(d.email);
    EditSitoWeb->setText(d.sitoWeb);
    EditIndirizzo->setText(d.indirizzo);
    EditCAP->setText(maiuscole(d.cap));
    EditCitta->setText(d.citta);
    EditProv->setText(maiuscole(d.prov));
    EditPartitaIVA->setText(maiuscole(d.partitaIva));
    EditCodiceFiscale->setText(maiuscole(d.codiceFiscale));
    EditReferente->setText(d.referente);
    EditProprietario->setChecked(d.proprietario);
    QString note = d.note;
    EditNote->setPlainText(note.replace(QLatin1String("\r\n"), QLatin1String("\n")));

    m_idCliente = id;
    impostaModificato(false);
    tavo::ripristinaEtichette({LabelDescr, LabelTelefoni, LabelEmail});
    focalizza(EditDescr);
}

tavo::DatiCliente TFormInsVarClienti::datiDaCampi() const
{
    tavo::DatiCliente d;
    d.descr = EditDescr->text();
    d.telefono1 = EditTelefono1->text();
    d.telefono2 = EditTelefono2->text();
    d.telefono3 = EditTelefono3->text();
    d.telXSms = EditSMS1->isChecked() ? 1 : EditSMS2->isChecked() ? 2 : EditSMS3->isChecked() ? 3 : 0;
    d.fax = EditFax->text();
    d.email = EditEmail->text();
    d.sitoWeb = EditSitoWeb->text();
    d.indirizzo = EditIndirizzo->text();
    d.cap = EditCAP->text();
    d.citta = EditCitta->text();
    d.prov = EditProv->text();
    d.partitaIva = EditPartitaIVA->text();
    d.codiceFiscale = EditCodiceFiscale->text();
    d.referente = EditReferente->text();
    d.proprietario = EditProprietario->isChecked();
    // The memo's lines, joined by Windows line breaks as every stored text.
    d.note = EditNote->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return d;
}

// --- confirmation ------------------------------------------------------------------------------

void TFormInsVarClienti::ButtonConfermaClick()
{
    if (Conferma())
        finestra()->close();
}

void TFormInsVarClienti::ButtonAnnullaClick()
{
    finestra()->close();
}

bool TFormInsVarClienti::salva()
{
    return Conferma();
}

bool TFormInsVarClienti::Conferma()
{
    TimerAssegnaFocus->stop();
    const QString descr = EditDescr->text();
    const QString email = EditEmail->text();

    // 1. At least one way to reach the client.
    if (EditTelefono1->text().isEmpty() && EditTelefono2->text().isEmpty() && EditTelefono3->text().isEmpty() &&
        email.isEmpty()) {
        if (descr.isEmpty())
            rosso(LabelDescr);
        rosso(LabelTelefoni);
        rosso(LabelEmail);
        errore(tavo::MessaggioAlmenoUnContatto());
        focalizza(descr.isEmpty() ? static_cast<QWidget *>(EditDescr) : static_cast<QWidget *>(EditTelefono1));
        return false;
    }

    // 2.
    tavo::ripristinaEtichette({LabelDescr, LabelTelefoni, LabelEmail});

    // 3. Description.
    if (!descr.isEmpty()) {
        const int quanti = tavo::ContaDescrizioniSimili(m_query, descr, m_idCliente);
        if (quanti > 0) {
            rosso(LabelDescr);
            errore(tavo::MessaggioDescrizioneSimile(quanti));
            focalizza(EditDescr);
            return false;
        }
    }

    // 4. Telephones, in order.
    for (QLineEdit *campo : {EditTelefono1, EditTelefono2, EditTelefono3}) {
        if (campo->text().isEmpty())
            continue;
        if (telefonoUsato(campo)) {
            rosso(LabelTelefoni);
            errore(tavo::MessaggioTelefonoNonUnivoco());
            focalizza(campo);
            return false;
        }
    }

    // 5. E-mail.
    const tavo::EsitoEmail esito = tavo::ControllaEmail(m_query, email, m_idCliente);
    if (esito.tipo != tavo::EsitoEmail::Valida) {
        rosso(LabelEmail);
        errore(esito.messaggio);
        focalizza(EditEmail);
        return false;
    }

    // 6. Write; a database error reaches the application's error display with nothing committed.
    const bool nuovo = m_idCliente == 0;
    const int nuovoId = tavo::SalvaCliente(m_query, datiDaCampi(), m_idCliente);
    m_tr.commitRetaining();

    // 7-11. The other screens that show clients.
    aggiornaFinestreAperte(descr, nuovo, nuovoId);

    // 12.
    impostaModificato(false);
    if (m_idCliente != 0)
        return true;
    const auto risposta =
        ui().domanda(this, windowTitle(),
                     QStringLiteral("Il cliente è stato inserito correttamente. Procedere con un nuovo inserimento?"),
                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No, UiService::Icona::Informazione);
    CaricaCliente(0);
    return risposta != QMessageBox::Yes;
}

void TFormInsVarClienti::aggiornaFinestreAperte(const QString &descr, bool nuovo, int nuovoId)
{
    TFormMain *main = TFormMain::istanza();
    if (QWidget *ricerca = main->finestraAperta(QStringLiteral("TFormRicercaClienti")))
        QMetaObject::invokeMethod(ricerca, "AggiornaDopoSalvataggioCliente", Qt::DirectConnection,
                                  Q_ARG(QString, descr));

    QWidget *editorRichieste = main->finestraAperta(QStringLiteral("TFormInsVarRichieste"));
    QWidget *editorAnnunci = main->finestraAperta(QStringLiteral("TFormInsVarAnnunci"));
    // A client created from one of those editors is handed to it, and this editor then closes.
    if ((editorRichieste || editorAnnunci) && nuovo)
        m_idCliente = nuovoId;
    if (editorRichieste)
        aggiornaListaClienti(editorRichieste, m_idCliente);
    if (editorAnnunci)
        aggiornaListaClienti(editorAnnunci, m_idCliente);

    if (QWidget *ricercaRichieste = main->finestraAperta(QStringLiteral("TFormRicercaRichieste")))
        QMetaObject::invokeMethod(ricercaRichieste, "AggiornaListe", Qt::DirectConnection);
    if (QWidget *ricercaAnnunci = main->finestraAperta(QStringLiteral("TFormRicercaAnnunci")))
        QMetaObject::invokeMethod(ricercaAnnunci, "AggiornaElenchi", Qt::DirectConnection);
}

// --- field-exit checks ---------------------------------------------------------------------------

bool TFormInsVarClienti::telefonoUsato(QLineEdit *campo)
{
    // A row that cannot be read is reported in a plain box, and the test goes on.
    return tavo::TelefonoGiaUsato(m_query, campo->text(), m_idCliente, [this](const QString &testo) {
        ui().messaggio(this, windowTitle(), testo, UiService::Icona::Nessuna);
    });
}

void TFormInsVarClienti::EditDescrExit()
{
    const QString descr = EditDescr->text();
    if (descr.isEmpty()) {
        normale(LabelDescr);
        return;
    }
    const int quanti = tavo::ContaDescrizioniSimili(m_query, descr, m_idCliente);
    if (quanti > 0) {
        rosso(LabelDescr);
        errore(tavo::MessaggioDescrizioneSimile(quanti));
        assegnaFocus(EditDescr);
    } else {
        normale(LabelDescr);
    }
}

void TFormInsVarClienti::EditTelefonoExit(QLineEdit *campo)
{
    if (campo->text().isEmpty()) {
        normale(LabelTelefoni);
        return;
    }
    if (telefonoUsato(campo)) {
        rosso(LabelTelefoni);
        errore(tavo::MessaggioTelefonoNonUnivoco());
        assegnaFocus(campo);
    } else {
        normale(LabelTelefoni);
    }
}

void TFormInsVarClienti::EditEmailExit()
{
    const tavo::EsitoEmail esito = tavo::ControllaEmail(m_query, EditEmail->text(), m_idCliente);
    switch (esito.tipo) {
    case tavo::EsitoEmail::Valida:
        normale(LabelEmail);
        break;
    case tavo::EsitoEmail::NonAccettabile:
        rosso(LabelEmail);
        errore(esito.messaggio);
        focalizza(EditEmail); // at once
        break;
    case tavo::EsitoEmail::Simile:
        rosso(LabelEmail);
        errore(esito.messaggio);
        assegnaFocus(EditEmail);
        break;
    }
}

void TFormInsVarClienti::TimerAssegnaFocusTimer()
{
    TimerAssegnaFocus->stop();
    if (m_daFocalizzare)
        focalizza(m_daFocalizzare);
}

void TFormInsVarClienti::assegnaFocus(QWidget *campo)
{
    m_daFocalizzare = campo;
    TimerAssegnaFocus->start();
}

void TFormInsVarClienti::focalizza(QWidget *campo)
{
    const bool prima = m_spostamentoInterno;
    m_spostamentoInterno = true;
    campo->setFocus(Qt::OtherFocusReason);
    m_spostamentoInterno = prima;
}

bool TFormInsVarClienti::controlloUscitaAttivo() const
{
    return isVisible() && !m_spostamentoInterno && !m_inChiusura && !m_inControllo;
}

// --- SMS boxes -----------------------------------------------------------------------------------

void TFormInsVarClienti::EditSMSClick(QCheckBox *casella)
{
    if (!casella->isChecked()) {
        QToolTip::hideText();
        return;
    }
    for (QCheckBox *c : {EditSMS1, EditSMS2, EditSMS3})
        if (c != casella)
            c->setChecked(false);
    QToolTip::showText(casella->mapToGlobal(casella->rect().center()), suggerimentoSms(), casella, QRect(), 15000);
}

void TFormInsVarClienti::LabelSMSDblClick()
{
    for (QCheckBox *c : {EditSMS1, EditSMS2, EditSMS3})
        c->setChecked(false);
    QToolTip::hideText();
}

// --- events --------------------------------------------------------------------------------------

bool TFormInsVarClienti::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *tasto = static_cast<QKeyEvent *>(event);
        if (tasto->key() == Qt::Key_Return || tasto->key() == Qt::Key_Enter) {
            // In the notes, Shift+Enter or Ctrl+Enter starts a new line.
            if (watched == EditNote && (tasto->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))) {
                EditNote->insertPlainText(QStringLiteral("\n"));
                return true;
            }
            ButtonConfermaClick();
            return true;
        }
        if (tasto->key() == Qt::Key_Escape) {
            ButtonAnnullaClick();
            return true;
        }
        break;
    }
    case QEvent::FocusOut: {
        // Only a move made by the user counts as leaving a field: not a dialog or menu taking the
        // focus, nor the editor moving it itself, nor the window closing.
        const Qt::FocusReason motivo = static_cast<QFocusEvent *>(event)->reason();
        if (motivo == Qt::ActiveWindowFocusReason || motivo == Qt::PopupFocusReason || !controlloUscitaAttivo())
            break;
        const QScopedValueRollback<bool> inControllo(m_inControllo, true);
        if (watched == EditDescr)
            EditDescrExit();
        else if (watched == EditTelefono1 || watched == EditTelefono2 || watched == EditTelefono3)
            EditTelefonoExit(static_cast<QLineEdit *>(watched));
        else if (watched == EditEmail)
            EditEmailExit();
        break;
    }
    case QEvent::MouseButtonDblClick:
        if (watched == LabelSMS) {
            LabelSMSDblClick();
            return true;
        }
        break;
    default:
        break;
    }
    return TEditorBase::eventFilter(watched, event);
}

void TFormInsVarClienti::closeEvent(QCloseEvent *event)
{
    {
        // Also when the confirmation run by the close question fails with a database error.
        const QScopedValueRollback<bool> chiusura(m_inChiusura, true);
        TEditorBase::closeEvent(event);
    }
    m_inChiusura = event->isAccepted();
    if (event->isAccepted())
        QToolTip::hideText();
}

// --- helpers -------------------------------------------------------------------------------------

void TFormInsVarClienti::errore(const QString &testo)
{
    ui().messaggio(this, windowTitle(), testo, UiService::Icona::Errore);
}

void TFormInsVarClienti::rosso(QLabel *etichetta)
{
    tavo::rifiutaCampo(etichetta, nullptr);
}

void TFormInsVarClienti::normale(QLabel *etichetta)
{
    tavo::ripristinaEtichette({etichetta});
}
