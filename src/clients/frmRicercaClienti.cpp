#include "clients/frmRicercaClienti.h"

#include "app/frmMain.h"
#include "clients/frmInsVarClienti.h"
#include "data/dmQueryComposte.h"
#include "data/memtable/memtable.h"
#include "listings/datiricercaannunci.h"
#include "listings/registroschermate.h"
#include "widgets/immagini.h"
#include "widgets/searchgrid.h"
#include "widgets/tavoapplication.h"
#include "widgets/uiservice.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QValidator>

#include <vector>

using tavo::FiltriRicercaClienti;
using tavo::TModelloRicercaClienti;
using tavo::ui;
using tavo::UiService;
namespace db = tavo::db;

namespace {

const QString ClasseRicercaAnnunci = QStringLiteral("TFormRicercaAnnunci");
const QString ClasseRicercaRichieste = QStringLiteral("TFormRicercaRichieste");
const QString ClasseEditorAnnunci = QStringLiteral("TFormInsVarAnnunci");
const QString ClasseEditorRichieste = QStringLiteral("TFormInsVarRichieste");
const QString TitoloEliminazione = QStringLiteral("Eliminazione Cliente");

// Forced upper case: every typed or pasted letter becomes a capital, one character for one.
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

// The busy cursor for the length of a hand-over, also when it ends by an error.
class CursoreOccupato
{
public:
    CursoreOccupato() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursoreOccupato() { QGuiApplication::restoreOverrideCursor(); }
    CursoreOccupato(const CursoreOccupato &) = delete;
    CursoreOccupato &operator=(const CursoreOccupato &) = delete;
};


// Selects, with its signals blocked, the first entry of a client list carrying the id; false when none does.
bool selezionaCliente(QComboBox *lista, int idCliente)
{
    if (!lista)
        return false;
    for (int i = 0; i < lista->count(); ++i) {
        const QVariant dato = lista->itemData(i);
        if (dato.isValid() && dato.toInt() == idCliente) {
            const QSignalBlocker blocco(lista);
            lista->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

} // namespace

TFormRicercaClienti::TFormRicercaClienti(QWidget *parent)
    : TFormBase(QStringLiteral("FormRicercaClienti"), parent), m_tr(TFormMain::istanza()->database()), m_query(m_tr),
      m_queryServizio(m_tr)
{
    setupUi(this);
    setWindowIcon(tavo::icona(tavo::Icona::Clienti));
    m_sql = tavo::sqlRicercaClienti(FiltriRicercaClienti(), QString(), 0);

    ButtonCliente->setProperty("tag", 0);
    ButtonCliente->installEventFilter(this);

    for (QLineEdit *e : {EditDescr, EditTelefono, EditEMail, EditIndirizzo, EditCitta, EditReferente}) {
        e->setValidator(new ValidatoreMaiuscole(e));
        e->setClearButtonEnabled(true);
        connect(e, &QLineEdit::textChanged, this, &TFormRicercaClienti::FiltroChange);
    }
    GruppoProprietari = new QButtonGroup(this);
    GruppoProprietari->setObjectName(QStringLiteral("GruppoProprietari"));
    GruppoProprietari->addButton(RadioProprietari, FiltriRicercaClienti::SoloProprietari);
    GruppoProprietari->addButton(RadioNonProprietari, FiltriRicercaClienti::NonProprietari);
    GruppoProprietari->addButton(RadioTutti, FiltriRicercaClienti::Tutti);
    connect(GruppoProprietari, &QButtonGroup::idToggled, this, [this](int, bool scelto) {
        if (scelto)
            FiltroChange();
    });

    SpeedButtonLock->setIcon(tavo::iconaLucchetto());
    preparaGriglia();
    creaMenu();

    connect(ButtonCliente, &QPushButton::clicked, this, &TFormRicercaClienti::ButtonClienteClick);
    connect(MenuVaialCliente, &QAction::triggered, this, &TFormRicercaClienti::ButtonClienteClick);
    connect(ButtonNuovoCliente, &QPushButton::clicked, this, &TFormRicercaClienti::ButtonNuovoClienteClick);
    connect(MenuNuovoCliente, &QAction::triggered, this, &TFormRicercaClienti::ButtonNuovoClienteClick);
    connect(ButtonEliminaCliente, &QPushButton::clicked, this, &TFormRicercaClienti::ButtonEliminaClienteClick);
    connect(MenuEliminaCliente, &QAction::triggered, this, &TFormRicercaClienti::ButtonEliminaClienteClick);
    connect(ButtonAnnunci, &QPushButton::clicked, this, &TFormRicercaClienti::ButtonAnnunciClick);
    connect(MenuVaiagliAnnunci, &QAction::triggered, this, &TFormRicercaClienti::ButtonAnnunciClick);
    connect(ButtonRichieste, &QPushButton::clicked, this, &TFormRicercaClienti::ButtonRichiesteClick);
    connect(MenuVaialleRichieste, &QAction::triggered, this, &TFormRicercaClienti::ButtonRichiesteClick);
    connect(ButtonAzzeraFiltri, &QPushButton::clicked, this, &TFormRicercaClienti::ButtonAzzeraFiltriClick);
    connect(SpeedButtonLock, &QToolButton::clicked, this, &TFormRicercaClienti::SpeedButtonLockClick);
    connect(ButtonUscita, &QPushButton::clicked, this, [this] { finestra()->close(); });
    connect(MenuInviaEMailClienteCorrente, &QAction::triggered, this, [this] { MenuInviaClick(10); });
    connect(MenuInviaEMailTuttiClienti, &QAction::triggered, this, [this] { MenuInviaClick(0); });
    connect(MenuInviaSMSClienteCorrente, &QAction::triggered, this, [this] { MenuInviaClick(11); });
    connect(MenuInviaSMSTuttiClienti, &QAction::triggered, this, [this] { MenuInviaClick(1); });

    // Until the query is open every command on a row waits.
    AggiornaPulsanti();
}

TFormRicercaClienti::~TFormRicercaClienti()
{
    // The list's cursor belongs to m_query, which goes before the model does.
    m_modello->Chiudi();
}

TFormRicercaClienti *TFormRicercaClienti::ApriRicerca()
{
    return TFormMain::istanza()->ApriFinestra<TFormRicercaClienti>();
}

// ---- Grid and menu --------------------------------------------------------------------------------------------

void TFormRicercaClienti::preparaGriglia()
{
    m_modello = new TModelloRicercaClienti(this);
    DBGridClienti->impostaOrdinamentoDatabase(true);
    DBGridClienti->setModel(m_modello);
    // Alternate rows in the info-tip colour.
    QPalette p = DBGridClienti->palette();
    p.setColor(QPalette::AlternateBase, p.color(QPalette::ToolTipBase));
    DBGridClienti->setPalette(p);
    // Owners in blue, cyan while selected; the notes column is drawn in the default way.
    auto proprietario = [this](int riga) {
        return riga >= 0 && riga < m_modello->rowCount() && m_modello->riga(riga).proprietario;
    };
    DBGridClienti->impostaColoreTesto([proprietario](int riga) {
        return proprietario(riga) ? TModelloRicercaClienti::ColoreProprietario : QColor();
    });
    DBGridClienti->impostaColoreTestoSelezionato([proprietario](int riga) {
        return proprietario(riga) ? TModelloRicercaClienti::ColoreProprietarioSelezionato : QColor();
    });
    DBGridClienti->setItemDelegateForColumn(TModelloRicercaClienti::ColonnaDelCampo(QStringLiteral("NOTE")),
                                            new QStyledItemDelegate(DBGridClienti));
    connect(DBGridClienti, &tavo::TSearchGrid::ordinamentoRichiesto, this, &TFormRicercaClienti::ordinamentoRichiesto);
    // A block read while the grid scrolls that fails: the list ends there, and the error is shown.
    connect(m_modello, &TModelloRicercaClienti::erroreLettura, this,
            [](const QString &testo) { tavo::TavoApplication::mostraErrore(testo); });
}

void TFormRicercaClienti::creaMenu()
{
    PopupMenuClienti = new QMenu(this);
    PopupMenuClienti->setObjectName(QStringLiteral("PopupMenuClienti"));
    PopupMenuClienti->addActions({MenuVaialCliente, MenuNuovoCliente, MenuEliminaCliente});
    PopupMenuClienti->addSeparator();
    PopupMenuClienti->addActions({MenuVaiagliAnnunci, MenuVaialleRichieste, MenuVaiagliAppuntamenti});
    PopupMenuClienti->addSeparator();

    auto sottomenu = [this](const char *nome, const char *titolo, QAction *corrente, QAction *tutti, int tag) {
        QMenu *m = PopupMenuClienti->addMenu(QString::fromUtf8(titolo));
        m->setObjectName(QLatin1String(nome));
        m->menuAction()->setObjectName(QLatin1String(nome));
        corrente->setData(tag + 10);
        tutti->setData(tag);
        m->addActions({corrente, tutti});
        return m;
    };
    MenuInviaEMail =
        sottomenu("MenuInviaEMail", "Invia EMail", MenuInviaEMailClienteCorrente, MenuInviaEMailTuttiClienti, 0);
    MenuInviaSMS = sottomenu("MenuInviaSMS", "Invia SMS", MenuInviaSMSClienteCorrente, MenuInviaSMSTuttiClienti, 1);
    PopupMenuClienti->addSeparator();
    // The grid's export entries; only HTML is offered. Each reads the whole list first (the grid reads it as it
    // scrolls).
    static const char *const testi[] = {"Esporta in MS Excel", "Esporta in HTML", "Esporta in CSV", "Esporta in XML"};
    static const char *const nomi[] = {"MenuEsportainMSExcel", "MenuEsportainHTML", "MenuEsportainCSV",
                                       "MenuEsportainXML"};
    for (int tipo = 0; tipo < 4; ++tipo) {
        QAction *voce = PopupMenuClienti->addAction(QString::fromUtf8(testi[tipo]));
        voce->setObjectName(QString::fromLatin1(nomi[tipo]));
        voce->setData(tipo);
        voce->setEnabled(false);
        if (tipo == 1)
            connect(voce, &QAction::triggered, this, &TFormRicercaClienti::MenuEsportainHTMLClick);
    }

    DBGridClienti->impostaMenu(PopupMenuClienti);
    DBGridClienti->impostaVoceDefault(MenuVaialCliente);
}

// ---- Opening and settings -------------------------------------------------------------------------------------

void TFormRicercaClienti::showEvent(QShowEvent *event)
{
    TFormBase::showEvent(event);
    if (m_mostrato)
        return;
    m_mostrato = true;
    FormShow();
}

void TFormRicercaClienti::FormShow()
{
    try {
        m_opzioni = tavo::leggiOpzioniRicercaClienti(m_queryServizio);
        // The kind of SMS decides whether the hand-over can be made (see MenuInviaClick).
        m_smsTipo = tavo::leggiOpzioniSms(m_queryServizio).smsTipo;
        const QSignalBlocker blocco(SpeedButtonLock);
        SpeedButtonLock->setChecked(m_opzioni.autoForm == 3);
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    }
    // The stored sort (ripristinaStato) is applied without advancing; it opens the query, on the first row.
    DBGridClientiTitleClick();
    selezionaRiga(0);
    AggiornaPulsanti();
}

void TFormRicercaClienti::salvaStato() const
{
    DBGridClienti->salvaStato(this);
}

void TFormRicercaClienti::ripristinaStato()
{
    DBGridClienti->ripristinaStato(this);
}

bool TFormRicercaClienti::eventFilter(QObject *watched, QEvent *event)
{
    // The picker's opener sets the tag of ButtonCliente: the menu entry follows its caption.
    if (watched == ButtonCliente && event->type() == QEvent::DynamicPropertyChange &&
        static_cast<QDynamicPropertyChangeEvent *>(event)->propertyName() == "tag") {
        MenuVaialCliente->setText(modalitaScelta() ? QStringLiteral("Scegli Cliente")
                                                   : QStringLiteral("Vai al Cliente"));
    }
    return TFormBase::eventFilter(watched, event);
}

// ---- Filtering and sorting ------------------------------------------------------------------------------------

FiltriRicercaClienti TFormRicercaClienti::filtri() const
{
    FiltriRicercaClienti f;
    f.descr = EditDescr->text();
    f.telefono = EditTelefono->text();
    f.email = EditEMail->text();
    f.indirizzo = EditIndirizzo->text();
    f.citta = EditCitta->text();
    f.referente = EditReferente->text();
    const int scelta = GruppoProprietari->checkedId();
    f.proprietari = scelta >= 0 ? scelta : FiltriRicercaClienti::Tutti;
    return f;
}

void TFormRicercaClienti::apri(int idCliente)
{
    m_aperta = false;
    const FiltriRicercaClienti f = filtri();
    m_modello->Apri(m_query, m_sql, tavo::parametriFiltroClienti(f));
    m_aperta = true;
    // The rows are read up to the client only when it is listed: a client filtered out would make every row read.
    int riga = -1;
    for (int r = 0; idCliente > 0 && riga < 0 && r < m_modello->rowCount(); ++r) {
        if (m_modello->idCliente(r) == idCliente)
            riga = r;
    }
    if (riga < 0 && idCliente > 0 && !m_modello->tutteLette() && tavo::clienteNelFiltro(m_queryServizio, f, idCliente))
        riga = m_modello->trovaCliente(idCliente);
    selezionaRiga(riga >= 0 ? riga : 0);
}

void TFormRicercaClienti::FiltroChange()
{
    m_sql[1] = tavo::rigaFiltroClienti(filtri());
    if (!m_mostrato)
        return; // the showing opens the query
    const int id = idClienteCorrente();
    try {
        apri(id);
    } catch (const db::DbError &e) {
        chiudiElenco();
        tavo::TavoApplication::mostraErrore(e.message());
    }
    AggiornaPulsanti();
}

void TFormRicercaClienti::chiudiElenco()
{
    m_aperta = false;
    m_modello->Chiudi();
}

void TFormRicercaClienti::Rifiltra()
{
    FiltroChange();
}

void TFormRicercaClienti::DBGridClientiTitleClick(const QString &colonna)
{
    DBGridClienti->TitleClick(colonna);
}

void TFormRicercaClienti::ordinamentoRichiesto(const QString &colonna, int stato)
{
    // The column becomes SQL text: only the grid's own fields are taken (a settings file edited by hand may name
    // anything).
    QString campo;
    if (stato != 0) {
        const int c = TModelloRicercaClienti::ColonnaDelCampo(colonna);
        if (c < 0) {
            DBGridClienti->impostaOrdinamento(QString(), 0);
            stato = 0;
        } else {
            campo = TModelloRicercaClienti::Campi().at(c);
        }
    }
    const int id = idClienteCorrente();
    m_sql[2] = tavo::rigaOrdineClienti(campo, stato);
    try {
        apri(id);
    } catch (const db::DbError &e) {
        if (stato != 0) {
            // The database cannot sort on this column (the notes): the natural order again.
            m_sql[2] = tavo::rigaOrdineClienti(QString(), 0);
            try {
                apri(id);
            } catch (const db::DbError &) {
                chiudiElenco();
            }
            DBGridClienti->rifiutaOrdinamento();
        } else {
            chiudiElenco();
            tavo::TavoApplication::mostraErrore(e.message());
        }
    }
    AggiornaPulsanti();
}

void TFormRicercaClienti::AggiornaDopoSalvataggioCliente(const QString &descr)
{
    if (!m_mostrato)
        return;
    DBGridClientiTitleClick();
    if (m_aperta) {
        try {
            const int riga = m_modello->trovaValore(QStringLiteral("DESCR"), descr);
            if (riga >= 0)
                selezionaRiga(riga);
        } catch (const db::DbError &e) {
            tavo::TavoApplication::mostraErrore(e.message());
        }
    }
    AggiornaPulsanti();
}

void TFormRicercaClienti::ButtonAzzeraFiltriClick()
{
    {
        // One reload for the whole reset, not one per field.
        std::vector<QSignalBlocker> blocchi;
        for (QObject *o : std::initializer_list<QObject *>{EditDescr, EditTelefono, EditEMail, EditIndirizzo, EditCitta,
                                                           EditReferente, GruppoProprietari})
            blocchi.emplace_back(o);
        for (QLineEdit *e : {EditDescr, EditTelefono, EditEMail, EditIndirizzo, EditCitta, EditReferente})
            e->clear();
        RadioTutti->setChecked(true);
    }
    FiltroChange();
    EditDescr->setFocus(Qt::OtherFocusReason);
}

// ---- Current row and buttons ----------------------------------------------------------------------------------

int TFormRicercaClienti::rigaCorrente() const
{
    const QModelIndex i = DBGridClienti->currentIndex();
    return i.isValid() && i.row() < m_modello->rowCount() ? i.row() : -1;
}

int TFormRicercaClienti::idClienteCorrente() const
{
    return m_modello->idCliente(rigaCorrente());
}

void TFormRicercaClienti::selezionaRiga(int riga)
{
    if (riga < 0 || riga >= m_modello->rowCount())
        return;
    // The first visible column keeps the row's cells in view.
    const QHeaderView *h = DBGridClienti->horizontalHeader();
    int colonna = DBGridClienti->currentIndex().isValid() ? DBGridClienti->currentIndex().column() : -1;
    for (int v = 0; (colonna < 0 || DBGridClienti->isColumnHidden(colonna)) && v < h->count(); ++v)
        colonna = h->logicalIndex(v);
    const QModelIndex indice = m_modello->index(riga, qMax(0, colonna));
    DBGridClienti->selectionModel()->setCurrentIndex(indice,
                                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (DBGridClienti->isVisible())
        DBGridClienti->scrollTo(indice);
}

bool TFormRicercaClienti::vaiAlCliente(int idCliente)
{
    int riga = -1;
    try {
        riga = m_modello->trovaCliente(idCliente);
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    }
    if (riga < 0)
        return false;
    selezionaRiga(riga);
    return true;
}

bool TFormRicercaClienti::modalitaScelta() const
{
    return ButtonCliente->property("tag").toInt() == 1;
}

void TFormRicercaClienti::AggiornaPulsanti()
{
    const bool righe = m_aperta && m_modello->rowCount() > 0;
    tavo::abilita({ButtonCliente, MenuVaialCliente, ButtonEliminaCliente, MenuEliminaCliente}, righe);
    tavo::abilita({ButtonNuovoCliente, MenuNuovoCliente}, true);
    tavo::abilita({ButtonAnnunci, MenuVaiagliAnnunci}, righe && tavo::schermataRegistrata(ClasseRicercaAnnunci));
    tavo::abilita({ButtonRichieste, MenuVaialleRichieste}, righe && tavo::schermataRegistrata(ClasseRicercaRichieste));
    // The appointment list is not part of the program yet.
    tavo::abilita({ButtonAppuntamenti, MenuVaiagliAppuntamenti}, false);

    const bool email = righe && !m_opzioni.smtpServer.isEmpty();
    // Only the e-mail-to-SMS gateway (SMS_TIPO 0) has a hand-over today: the SMS screen of the HTTP gateway is not
    // part of the program yet.
    const bool sms = righe && !m_opzioni.smsAccount.isEmpty() && !m_opzioni.smsDomain.isEmpty() && m_smsTipo == 0;
    tavo::abilita({MenuInviaEMail->menuAction(), MenuInviaEMailClienteCorrente, MenuInviaEMailTuttiClienti}, email);
    tavo::abilita({MenuInviaSMS->menuAction(), MenuInviaSMSClienteCorrente, MenuInviaSMSTuttiClienti}, sms);
    if (QAction *html = PopupMenuClienti->findChild<QAction *>(QStringLiteral("MenuEsportainHTML")))
        html->setEnabled(righe);
}

QString TFormRicercaClienti::titolo() const
{
    return finestra()->windowTitle();
}

void TFormRicercaClienti::errore(const QString &testo)
{
    ui().messaggio(this, titolo(), testo, UiService::Icona::Errore);
}

QWidget *TFormRicercaClienti::apriSchermata(const QString &classe) const
{
    const tavo::FabbricaSchermata fabbrica = tavo::fabbricaSchermata(classe);
    return fabbrica ? TFormMain::istanza()->ApriFinestra(classe, fabbrica) : nullptr;
}

bool TFormRicercaClienti::chiudiSchermata(const QString &classe) const
{
    QWidget *w = TFormMain::istanza()->finestraAperta(classe);
    if (!w || !w->isVisible())
        return true;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget()))
        return sub->close();
    return w->close();
}

// ---- Commands -------------------------------------------------------------------------------------------------

void TFormRicercaClienti::ButtonClienteClick()
{
    if (!m_aperta || rigaCorrente() < 0)
        return;
    const int id = idClienteCorrente();
    if (modalitaScelta()) {
        sceltaCliente(id);
        return;
    }
    TFormMain::istanza()->ApriFinestra<TFormInsVarClienti>()->CaricaCliente(id);
}

void TFormRicercaClienti::ButtonNuovoClienteClick()
{
    TFormMain::istanza()->ApriFinestra<TFormInsVarClienti>()->CaricaCliente(0);
}

void TFormRicercaClienti::sceltaCliente(int idCliente)
{
    TFormMain *main = TFormMain::istanza();
    // The two editors: their list reloaded, the client selected, their handler run. An editor whose client is
    // locked (its list disabled) keeps its own client.
    for (const QString &classe : {ClasseEditorRichieste, ClasseEditorAnnunci}) {
        QWidget *editor = main->finestraAperta(classe);
        if (!editor)
            continue;
        QMetaObject::invokeMethod(editor, "CaricaClienti", Qt::DirectConnection);
        auto *lista = editor->findChild<QComboBox *>(QStringLiteral("EditCliente"));
        if (lista && lista->isEnabled() && selezionaCliente(lista, idCliente))
            QMetaObject::invokeMethod(editor, "EditClienteClick", Qt::DirectConnection);
    }
    if (QWidget *ricerca = main->finestraAperta(ClasseRicercaRichieste)) {
        QMetaObject::invokeMethod(ricerca, "AggiornaListe", Qt::DirectConnection);
        selezionaCliente(ricerca->findChild<QComboBox *>(QStringLiteral("EditCliente")), idCliente);
        QMetaObject::invokeMethod(ricerca, "FiltroChange", Qt::DirectConnection);
    }
    finestra()->close();
}

void TFormRicercaClienti::ButtonAnnunciClick()
{
    if (!m_aperta || rigaCorrente() < 0 || !tavo::schermataRegistrata(ClasseRicercaAnnunci))
        return;
    const int id = idClienteCorrente();
    const QString descr = m_modello->valore(rigaCorrente(), QStringLiteral("DESCR"));
    try {
        if (tavo::contaAnnunciCliente(m_queryServizio, id) == 0) {
            errore(QStringLiteral("Nessun annuncio per il cliente corrente"));
            return;
        }
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
        return;
    }
    // The listing search opened as the main window opens it, so that it shows every listing (not the matches of
    // a request it may be listing).
    TFormMain *main = TFormMain::istanza();
    QAction *apertura = main->findChild<QAction *>(QStringLiteral("MenuRicercaAnnunci"));
    if (apertura && apertura->isEnabled())
        apertura->trigger();
    QWidget *ricerca = main->finestraAperta(ClasseRicercaAnnunci);
    if (!ricerca)
        ricerca = apriSchermata(ClasseRicercaAnnunci);
    if (!ricerca)
        return;
    if (auto *griglia = ricerca->findChild<tavo::TSearchGrid *>(QStringLiteral("DBGridAnnunci")))
        griglia->impostaVoceDefault(ricerca->findChild<QAction *>(QStringLiteral("MenuVaiAllAnnuncio")));
    QMetaObject::invokeMethod(ricerca, "FiltraPerCliente", Qt::DirectConnection, Q_ARG(int, id), Q_ARG(QString, descr));
}

void TFormRicercaClienti::ButtonRichiesteClick()
{
    if (!m_aperta || rigaCorrente() < 0 || !tavo::schermataRegistrata(ClasseRicercaRichieste))
        return;
    const int id = idClienteCorrente();
    try {
        if (tavo::contaRichiesteCliente(m_queryServizio, id) == 0) {
            errore(QStringLiteral("Nessuna richiesta per il cliente corrente"));
            return;
        }
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
        return;
    }
    if (QWidget *ricerca = apriSchermata(ClasseRicercaRichieste))
        QMetaObject::invokeMethod(ricerca, "MostraRichiesteCliente", Qt::DirectConnection, Q_ARG(int, id));
}

void TFormRicercaClienti::ButtonEliminaClienteClick()
{
    const int riga = rigaCorrente();
    if (!m_aperta || riga < 0)
        return;
    const int id = idClienteCorrente();
    const QString descr = m_modello->valore(riga, QStringLiteral("DESCR"));
    auto conferma = [this](const QString &testo) {
        return ui().domanda(this, TitoloEliminazione, testo, QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
                            UiService::Icona::Avviso) == QMessageBox::Yes;
    };
    if (!conferma(tavo::domandaEliminazioneCliente(descr)))
        return;
    try {
        const int annunci = tavo::contaAnnunciCliente(m_queryServizio, id);
        if (annunci > 0 && !conferma(tavo::domandaEliminazioneAnnunci(descr, annunci)))
            return;
        const int richieste = tavo::contaRichiesteCliente(m_queryServizio, id);
        if (richieste > 0 && !conferma(tavo::domandaEliminazioneRichieste(descr, richieste)))
            return;
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
        return;
    }

    // The screens that may show the client's listings and requests go first. An editor kept open by its close
    // question (Cancel) stops the deletion: its listing or request would lose its client under it.
    for (const QString &classe :
         {ClasseRicercaRichieste, ClasseEditorRichieste, ClasseRicercaAnnunci, ClasseEditorAnnunci}) {
        if (!chiudiSchermata(classe))
            return;
    }

    try {
        tavo::eliminaCliente(m_tr, id);
    } catch (const db::DbError &e) {
        // Shown as every database error is; nothing was committed and the row stays.
        tavo::TavoApplication::mostraErrore(e.message());
        return;
    }
    m_modello->rimuoviRiga(riga);
    selezionaRiga(qMin(riga, m_modello->rowCount() - 1));
    AggiornaPulsanti();

    // The match tables counted the client's listings and requests: they are rebuilt when next opened.
    if (tavo::TDataModuleQueryComposte *dm = TFormMain::istanza()->DataModuleQueryComposte()) {
        dm->MemTableAnnunci()->close();
        dm->MemTableRichieste()->close();
    }
}

void TFormRicercaClienti::SpeedButtonLockClick(bool premuto)
{
    try {
        tavo::scriviAutoForm(m_tr, premuto ? 3 : 0);
    } catch (const db::DbError &e) {
        const QSignalBlocker blocco(SpeedButtonLock);
        SpeedButtonLock->setChecked(!premuto);
        tavo::TavoApplication::mostraErrore(e.message());
        return;
    }
    if (!premuto)
        return;
    // One screen only opens at start-up: the other searches' locks go up (their own handlers do not run).
    for (const QString &classe : {ClasseRicercaAnnunci, ClasseRicercaRichieste}) {
        if (QWidget *w = TFormMain::istanza()->finestraAperta(classe)) {
            if (auto *lock = w->findChild<QAbstractButton *>(QStringLiteral("SpeedButtonLock"))) {
                const QSignalBlocker blocco(lock);
                lock->setChecked(false);
            }
        }
    }
}

bool TFormRicercaClienti::caricaTutto()
{
    try {
        m_modello->caricaTutto();
        return true;
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
        return false;
    }
}

void TFormRicercaClienti::MenuEsportainHTMLClick()
{
    if (caricaTutto())
        DBGridClienti->esporta(1, QStringLiteral("Clienti"));
}

void TFormRicercaClienti::EsportaInHTML()
{
    if (!caricaTutto())
        return;
    TFormMain::istanza()->AperturaDiretta = true;
    if (!DBGridClienti->esporta(1, QStringLiteral("Clienti")))
        TFormMain::istanza()->AperturaDiretta = false;
}

void TFormRicercaClienti::MenuInviaClick(int tag)
{
    const int riga = rigaCorrente();
    if (!m_aperta || riga < 0)
        return;
    const bool sms = tag % 10 == 1;
    QList<tavo::DestinatarioCliente> destinatari;
    tavo::OpzioniSms opzioni;
    QString erroreDatabase;
    {
        // The rows are read from the list itself: the current row stays where it is.
        const CursoreOccupato occupato;
        try {
            if (tag < 10)
                m_modello->caricaTutto();
            if (sms)
                opzioni = tavo::leggiOpzioniSms(m_queryServizio);
        } catch (const db::DbError &e) {
            erroreDatabase = e.message();
        }
        QList<tavo::ClientePerInvio> clienti;
        const int prima = tag >= 10 ? riga : 0;
        const int ultima = tag >= 10 ? riga : m_modello->rowCount() - 1;
        for (int r = prima; erroreDatabase.isEmpty() && r <= ultima; ++r) {
            tavo::ClientePerInvio c;
            c.descr = m_modello->valore(r, QStringLiteral("DESCR"));
            c.email = m_modello->valore(r, QStringLiteral("EMAIL"));
            c.telefono1 = m_modello->valore(r, QStringLiteral("TELEFONO1"));
            c.telefono2 = m_modello->valore(r, QStringLiteral("TELEFONO2"));
            c.telefono3 = m_modello->valore(r, QStringLiteral("TELEFONO3"));
            c.telXSms = m_modello->riga(r).telXSms;
            clienti << c;
        }
        destinatari =
            sms ? tavo::destinatariSms(clienti, opzioni.smsTipo, opzioni.smsDomain) : tavo::destinatariEmail(clienti);
    }
    if (!erroreDatabase.isEmpty()) {
        tavo::TavoApplication::mostraErrore(erroreDatabase);
        return;
    }
    if (destinatari.isEmpty()) {
        errore(tavo::messaggioNessunDestinatario(tag));
        return;
    }
    if (sms && opzioni.smsTipo != 0) {
        // The options changed since the window opened: the HTTP gateway's SMS screen is not available.
        m_smsTipo = opzioni.smsTipo;
        AggiornaPulsanti();
        errore(QStringLiteral("L'invio di SMS tramite il gestore non è disponibile"));
        return;
    }
    tavo::MessaggioPosta messaggio;
    for (const tavo::DestinatarioCliente &d : std::as_const(destinatari))
        messaggio.destinatari.append({d.nome, d.indirizzo});
    if (!ui().inviaAlProgrammaDiPosta(messaggio))
        errore(QStringLiteral("Impossibile aprire il programma di posta elettronica"));
}
