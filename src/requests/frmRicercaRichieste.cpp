#include "requests/frmRicercaRichieste.h"

#include "app/core/clock.h"
#include "app/frmMain.h"
#include "clients/frmInsVarClienti.h"
#include "data/dmQueryComposte.h"
#include "data/memtable/filterexpression.h"
#include "data/memtable/memtablemodel.h"
#include "listings/datiricercaannunci.h"
#include "listings/filtroannunci.h"
#include "listings/frmRicercaAnnunci.h"
#include "listings/registroschermate.h"
#include "widgets/immagini.h"
#include "widgets/tavoapplication.h"
#include "widgets/uiservice.h"

#include <QCalendarWidget>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <vector>

using tavo::ParametriFiltroRichieste;
using tavo::TMemTable;
using tavo::ui;
using tavo::UiService;
namespace db = tavo::db;

namespace {

const QString ClasseEditor = QStringLiteral("TFormInsVarRichieste");
const QString ClasseRicercaClienti = QStringLiteral("TFormRicercaClienti");
const QString ClasseRicercaAnnunci = QStringLiteral("TFormRicercaAnnunci");
const QString ClasseInvioEmail = QStringLiteral("TFormInvioEmaildaRichiesta");
const QString ClasseAppuntamenti = QStringLiteral("TFormAppuntamenti");
const QString ClasseElencoAppuntamenti = QStringLiteral("TFormElencoAppuntamenti");
const QString ClasseElencoInvii = QStringLiteral("TFormElencoInviidaRichiesta");
const QString ClasseSchede = QStringLiteral("TFormSelezioneRichiestePerScheda");

const QString OrdinePredefinito = QStringLiteral("order by R.ID_RICHIESTA");
const QColor ColoreFocus(234, 178, 132);
// How long the hint on the calendar's date picker stays.
const int DurataSuggerimento = 30000;

// The table's columns whose grid caption is not the table's own.
QString didascaliaPropria(const QString &colonna)
{
    if (colonna == QLatin1String("LOCALITA"))
        return QStringLiteral("Località");
    if (colonna == QLatin1String("FONTE"))
        return QStringLiteral("Fonte");
    return QString();
}

// The grid's model: the table's rows, with the captions of this grid and the cell text as hint (long lists of
// municipalities and types do not fit their column).
class TModelloRichieste : public tavo::TMemTableModel
{
public:
    using TMemTableModel::TMemTableModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::ToolTipRole) {
            const QString testo = TMemTableModel::data(index, Qt::DisplayRole).toString();
            return testo.isEmpty() ? QVariant() : QVariant(testo);
        }
        return TMemTableModel::data(index, role);
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
            const QString propria = didascaliaPropria(columnName(section));
            if (!propria.isEmpty())
                return propria;
        }
        return TMemTableModel::headerData(section, orientation, role);
    }
};

// Memo columns on one line.
class TDelegatoMemo : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant &value, const QLocale &locale) const override
    {
        QString testo = QStyledItemDelegate::displayText(value, locale);
        testo.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
        return testo;
    }
};


// The grid shows exactly `colonne`, in that order; the table's other columns stay hidden.
void disponiColonne(tavo::TSearchGrid *griglia, tavo::TMemTableModel *modello, const QStringList &colonne)
{
    QHeaderView *h = griglia->horizontalHeader();
    for (int i = 0; i < colonne.size(); ++i) {
        const int sezione = modello->sectionOf(colonne.at(i));
        if (sezione >= 0)
            h->moveSection(h->visualIndex(sezione), i);
    }
    for (int s = 0; s < modello->columnCount(); ++s) {
        const QString nome = modello->columnName(s);
        if (!colonne.contains(nome, Qt::CaseInsensitive))
            griglia->nascondiColonna(nome, true);
    }
}

void chiudiSchermata(const QString &classe)
{
    QWidget *w = TFormMain::istanza()->finestraAperta(classe);
    if (!w)
        return;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget()))
        sub->close();
    else
        w->close();
}

// The lock button of another search goes up without running its handler.
void rilasciaLucchetto(const QString &classe)
{
    QWidget *w = TFormMain::istanza()->finestraAperta(classe);
    if (!w)
        return;
    if (auto *lock = w->findChild<QAbstractButton *>(QStringLiteral("SpeedButtonLock"))) {
        const QSignalBlocker blocco(lock);
        lock->setChecked(false);
    }
}

} // namespace

// ---- Date field -----------------------------------------------------------------------------------------------

TEditData::TEditData(QWidget *parent) : QDateEdit(parent)
{
    setLocale(QLocale(QLocale::Italian, QLocale::Italy));
    setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    setCalendarPopup(true);
    // The first day the field can hold stands for "no date" and shows no text.
    setMinimumDate(QDate(1900, 1, 1));
    setSpecialValueText(QStringLiteral(" "));
    setDate(minimumDate());
    calendarWidget()->setFirstDayOfWeek(Qt::Monday);
    calendarWidget()->installEventFilter(this);
}

QDate TEditData::data() const
{
    return vuota() ? QDate() : date();
}

void TEditData::impostaData(const QDate &data)
{
    setDate(data.isValid() && data > minimumDate() ? data : minimumDate());
}

void TEditData::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier) {
        impostaData(QDate());
        event->accept();
        return;
    }
    // A digit typed into an empty field starts a date from today's, day first: the empty text has no sections to
    // type into.
    if (vuota() && !event->text().isEmpty() && event->text().at(0).isDigit()) {
        {
            const QSignalBlocker blocco(this);
            setDate(tavo::Clock::today());
        }
        setCurrentSection(QDateTimeEdit::DaySection);
        setSelectedSection(QDateTimeEdit::DaySection);
    }
    QDateEdit::keyPressEvent(event);
}

bool TEditData::eventFilter(QObject *watched, QEvent *event)
{
    // An empty field opens the calendar on this month, not on January 1900.
    if (watched == calendarWidget() && event->type() == QEvent::Show && vuota()) {
        const QDate oggi = tavo::Clock::today();
        calendarWidget()->setCurrentPage(oggi.year(), oggi.month());
    }
    return QDateEdit::eventFilter(watched, event);
}

// ---- Screen ---------------------------------------------------------------------------------------------------

TFormRicercaRichieste::TFormRicercaRichieste(QWidget *parent)
    : TFormBase(QStringLiteral("FormRicercaRichieste"), parent), m_tr(TFormMain::istanza()->database()),
      m_dm(TFormMain::istanza()->DataModuleQueryComposte())
{
    setupUi(this);
    setWindowIcon(tavo::icona(tavo::Icona::Richieste));
    PanelTop->setProperty("tag", 0);

    // Amounts as the agency writes them: "€ 99.999,99".
    const QLocale italiano(QLocale::Italian, QLocale::Italy);
    for (QDoubleSpinBox *s : {EditPrezzoMin, EditPrezzoMax})
        s->setLocale(italiano);
    for (QComboBox *c : {EditCliente, EditComune})
        c->setCurrentIndex(-1);

    m_controlliFiltro = {EditCliente, EditDataInizio, EditDataFine, EditComune, EditPrezzoMin, EditPrezzoMax};
    for (QWidget *w : std::as_const(m_controlliFiltro))
        w->installEventFilter(this);

    SpeedButtonLock->setIcon(tavo::iconaLucchetto());
    preparaGriglia();
    creaMenu();
    NavigatoreRichieste->impostaTabella(tabella());

    for (QComboBox *c : {EditCliente, EditComune})
        connect(c, &QComboBox::currentIndexChanged, this, &TFormRicercaRichieste::FiltroChange);
    for (TEditData *d : {EditDataInizio, EditDataFine})
        connect(d, &QDateEdit::dateChanged, this, &TFormRicercaRichieste::FiltroChange);
    for (QDoubleSpinBox *s : {EditPrezzoMin, EditPrezzoMax})
        connect(s, &QDoubleSpinBox::valueChanged, this, &TFormRicercaRichieste::FiltroChange);
    connect(ButtonAzzeraFiltri, &QPushButton::clicked, this, &TFormRicercaRichieste::ButtonAzzeraFiltriClick);
    connect(ButtonCercaCliente, &QPushButton::clicked, this, &TFormRicercaRichieste::ButtonCercaClienteClick);

    connect(ButtonIncroci, &QPushButton::clicked, this, [this] { MenuMostraIncrociClick(0); });
    connect(MenuMostraIncroci, &QAction::triggered, this, [this] { MenuMostraIncrociClick(0); });
    connect(ButtonInviaEMail, &QPushButton::clicked, this, [this] { MenuMostraIncrociClick(1); });
    connect(MenuInviaEMailSMS, &QAction::triggered, this, [this] { MenuMostraIncrociClick(1); });
    connect(ButtonRichiesta, &QPushButton::clicked, this, &TFormRicercaRichieste::MenuVaiallaRichiestaClick);
    connect(MenuVaiallaRichiesta, &QAction::triggered, this, &TFormRicercaRichieste::MenuVaiallaRichiestaClick);
    connect(ButtonNuovaRichiesta, &QPushButton::clicked, this, &TFormRicercaRichieste::MenuNuovaRichiestaClick);
    connect(MenuNuovaRichiesta, &QAction::triggered, this, &TFormRicercaRichieste::MenuNuovaRichiestaClick);
    connect(ButtonEliminaRichiesta, &QPushButton::clicked, this, &TFormRicercaRichieste::MenuEliminaRichiestaClick);
    connect(MenuEliminaRichiesta, &QAction::triggered, this, &TFormRicercaRichieste::MenuEliminaRichiestaClick);
    connect(ButtonCliente, &QPushButton::clicked, this, &TFormRicercaRichieste::MenuVaialClienteClick);
    connect(MenuVaialCliente, &QAction::triggered, this, &TFormRicercaRichieste::MenuVaialClienteClick);
    connect(MenuMostraInviigieffettuati, &QAction::triggered, this,
            &TFormRicercaRichieste::MenuMostraInviigieffettuatiClick);
    connect(MenuVaiagliAppuntamenti, &QAction::triggered, this, &TFormRicercaRichieste::MenuVaiagliAppuntamentiClick);
    connect(ButtonAppuntamento, &QPushButton::clicked, this, &TFormRicercaRichieste::MenuNuovoAppuntamentoClick);
    connect(MenuNuovoAppuntamento, &QAction::triggered, this, &TFormRicercaRichieste::MenuNuovoAppuntamentoClick);
    connect(MenuRichiestaCorrente, &QAction::triggered, this, &TFormRicercaRichieste::MenuRichiestaCorrenteClick);
    connect(MenuTutteleRichieste, &QAction::triggered, this, &TFormRicercaRichieste::MenuTutteleRichiesteClick);
    connect(ButtonUscita, &QPushButton::clicked, this, [this] { finestra()->close(); });
    connect(SpeedButtonLock, &QToolButton::clicked, this, &TFormRicercaRichieste::SpeedButtonLockClick);
    // The commands follow the rows whoever changes them (the editors refresh rows, the listing screens reload).
    connect(tabella(), &TMemTable::tableReset, this, &TFormRicercaRichieste::AggiornaPulsanti);
    connect(tabella(), &TMemTable::rowRemoved, this, &TFormRicercaRichieste::AggiornaPulsanti);
    connect(tabella(), &TMemTable::rowInserted, this, &TFormRicercaRichieste::AggiornaPulsanti);

    // Until the table is open every command on a row waits.
    tavo::abilita(
        {ButtonIncroci, ButtonInviaEMail, ButtonRichiesta, ButtonEliminaRichiesta, ButtonCliente, ButtonAppuntamento},
        false);
    for (QAction *a : PopupMenuRichieste->actions())
        a->setEnabled(false);
    MenuRichiestaCorrente->setEnabled(false);
    MenuTutteleRichieste->setEnabled(false);
    ButtonCercaCliente->setEnabled(tavo::schermataRegistrata(ClasseRicercaClienti));
    tavo::abilita({ButtonNuovaRichiesta, MenuNuovaRichiesta}, tavo::schermataRegistrata(ClasseEditor));
}

TFormRicercaRichieste::~TFormRicercaRichieste() = default;

QStringList TFormRicercaRichieste::colonneGriglia()
{
    return QStringLiteral("CLIENTE N_INCROCI N_INVII DATA_ULT_INVIO TIPOLOGIE_ANNUNCIO TIPOLOGIE_IMMOBILE COMUNI "
                          "LOCALITA PREZZO_MIN PREZZO_MAX MQ_MIN MQ_MAX NR_LOCALI_MIN NR_LOCALI_MAX NR_SERVIZI_MIN "
                          "NR_SERVIZI_MAX NR_CAMERE_MIN NR_CAMERE_MAX BOX_AUTO BALCONE TERRAZZO CANTINA GIARDINO "
                          "CONDIZIONI ASCENSORE CONDIZIONATORE FONTE DATA_ULT_MODIFICA")
        .split(QLatin1Char(' '));
}

// ---- Grid and menus -------------------------------------------------------------------------------------------

void TFormRicercaRichieste::preparaGriglia()
{
    m_modello = new TModelloRichieste(tabella(), this);
    DBGridRichieste->setModel(m_modello);
    disponiColonne(DBGridRichieste, m_modello, colonneGriglia());
    auto *delegatoMemo = new TDelegatoMemo(DBGridRichieste);
    for (int s = 0; s < m_modello->columnCount(); ++s) {
        if (tabella()->column(m_modello->tableColumn(s)).type() == tavo::FieldType::Memo)
            DBGridRichieste->setItemDelegateForColumn(s, delegatoMemo);
    }
    // Alternate rows in the tooltip colour.
    QPalette p = DBGridRichieste->palette();
    p.setColor(QPalette::AlternateBase, p.color(QPalette::ToolTipBase));
    DBGridRichieste->setPalette(p);

    // The column chooser offers the grid's own columns only.
    QHeaderView *h = DBGridRichieste->horizontalHeader();
    disconnect(h, &QWidget::customContextMenuRequested, DBGridRichieste, nullptr);
    connect(h, &QWidget::customContextMenuRequested, this, [this, h](const QPoint &pos) {
        QMenu *menu = DBGridRichieste->menuColonne();
        const QStringList proprie = colonneGriglia();
        for (QAction *a : menu->actions()) {
            if (a->data().isValid() && !proprie.contains(a->data().toString(), Qt::CaseInsensitive))
                menu->removeAction(a);
        }
        menu->popup(h->viewport()->mapToGlobal(pos));
    });
}

void TFormRicercaRichieste::creaMenu()
{
    PopupMenuRichieste = new QMenu(this);
    PopupMenuRichieste->setObjectName(QStringLiteral("PopupMenuRichieste"));
    PopupMenuRichieste->addActions({MenuMostraIncroci, MenuInviaEMailSMS, MenuMostraInviigieffettuati});
    PopupMenuRichieste->addSeparator();
    PopupMenuRichieste->addActions({MenuVaiallaRichiesta, MenuNuovaRichiesta, MenuEliminaRichiesta});
    PopupMenuRichieste->addSeparator();
    PopupMenuRichieste->addAction(MenuVaialCliente);
    PopupMenuRichieste->addSeparator();
    PopupMenuRichieste->addActions({MenuNuovoAppuntamento, MenuVaiagliAppuntamenti});
    PopupMenuRichieste->addSeparator();
    MenuStampaSchedaRichiesta = PopupMenuRichieste->addMenu(QStringLiteral("Stampa Scheda Richiesta"));
    MenuStampaSchedaRichiesta->setObjectName(QStringLiteral("MenuStampaSchedaRichiesta"));
    MenuStampaSchedaRichiesta->menuAction()->setObjectName(QStringLiteral("MenuStampaSchedaRichiesta"));
    MenuStampaSchedaRichiesta->addActions({MenuRichiestaCorrente, MenuTutteleRichieste});
    connect(MenuStampaSchedaRichiesta, &QMenu::aboutToShow, this,
            &TFormRicercaRichieste::MenuStampaSchedaRichiestaPopup);
    PopupMenuRichieste->addSeparator();
    // Only HTML is offered.
    DBGridRichieste->aggiungiVociEsportazione(PopupMenuRichieste, QStringLiteral("Richieste"), {1});

    DBGridRichieste->impostaMenu(PopupMenuRichieste);
    DBGridRichieste->impostaVoceDefault(MenuVaiallaRichiesta);

    PopupMenuDatePredefinite = new QMenu(this);
    PopupMenuDatePredefinite->setObjectName(QStringLiteral("PopupMenuDatePredefinite"));
    for (tavo::PeriodoPredefinito periodo : tavo::periodiPredefiniti()) {
        QAction *a = PopupMenuDatePredefinite->addAction(tavo::testoPeriodo(periodo));
        a->setObjectName(QStringLiteral("Menu") + tavo::testoPeriodo(periodo).remove(QLatin1Char(' ')));
        connect(a, &QAction::triggered, this, [this, periodo] { DatePredefiniteClick(periodo); });
    }
    ButtonDatePredefinite->setMenu(PopupMenuDatePredefinite);
}

// ---- Opening --------------------------------------------------------------------------------------------------

TFormRicercaRichieste *TFormRicercaRichieste::ApriElencoCompleto()
{
    TFormMain *main = TFormMain::istanza();
    auto *esistente =
        qobject_cast<TFormRicercaRichieste *>(main->finestraAperta(QStringLiteral("TFormRicercaRichieste")));
    const bool conPannello = esistente && !esistente->PanelTop->isHidden();
    auto *f = main->ApriFinestra<TFormRicercaRichieste>();
    f->DBGridRichieste->impostaVoceDefault(f->MenuVaiallaRichiesta);
    if (conPannello)
        return f;
    try {
        f->elencoNormale();
        f->tabella()->open();
        f->FiltroChange();
        f->DBGridRichiesteTitleClick();
        f->tabella()->first();
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    } catch (const tavo::MemTableError &e) {
        f->errore(e.message());
    }
    f->AggiornaPulsanti();
    return f;
}

void TFormRicercaRichieste::StampaElencoRichieste()
{
    TFormRicercaRichieste *f = ApriElencoCompleto();
    TFormMain::istanza()->AperturaDiretta = true;
    f->EsportaInHTML();
}

void TFormRicercaRichieste::elencoNormale()
{
    QStringList &sql = m_dm->IBDataSetRichieste().SQL();
    const int filtro = tavo::TDataModuleQueryComposte::RigaFiltroRichieste;
    const int ordine = tavo::TDataModuleQueryComposte::RigaOrdineRichieste;
    // A caller's restriction in the slots: the full table is computed again without it.
    if (!sql.at(filtro).isEmpty() || sql.at(ordine) != OrdinePredefinito) {
        tabella()->close();
        sql[filtro].clear();
        sql[ordine] = OrdinePredefinito;
    }
    tabella()->setFilter(QString());
    tabella()->setFiltered(false);
    setWindowTitle(QStringLiteral("Elenco Richieste"));
    PanelTop->show();
    PanelTop->setProperty("tag", 0);
}

void TFormRicercaRichieste::MostraRichiesteCliente(int idCliente)
{
    DBGridRichieste->impostaVoceDefault(MenuVaiallaRichiesta);
    try {
        elencoNormale();
        {
            std::vector<QSignalBlocker> blocchi;
            for (QWidget *w : std::as_const(m_controlliFiltro))
                blocchi.emplace_back(w);
            EditDataInizio->impostaData(QDate());
            EditDataFine->impostaData(QDate());
            EditComune->setCurrentIndex(-1);
            EditPrezzoMin->setValue(0);
            EditPrezzoMax->setValue(0);
            // A client whose first request was saved while the list was not reloaded is found after a reload.
            if (EditCliente->findData(idCliente) < 0)
                caricaListe();
            EditCliente->setCurrentIndex(EditCliente->findData(idCliente));
        }
        tabella()->open();
        FiltroChange();
        DBGridRichiesteTitleClick();
        tabella()->first();
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    } catch (const tavo::MemTableError &e) {
        errore(e.message());
    }
    AggiornaPulsanti();
}

void TFormRicercaRichieste::showEvent(QShowEvent *event)
{
    TFormBase::showEvent(event);
    if (m_mostrato)
        return;
    m_mostrato = true;
    FormShow();
}

void TFormRicercaRichieste::FormShow()
{
    try {
        {
            const QSignalBlocker blocco(SpeedButtonLock);
            SpeedButtonLock->setChecked(tavo::leggiAutoForm(m_tr) == 2);
        }
        caricaListe();
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    }
    // The stored sort is already the grid's state (ripristinaStato); the opener applies it.
    AggiornaPulsanti();
}

void TFormRicercaRichieste::salvaStato() const
{
    DBGridRichieste->salvaStato(this);
}

void TFormRicercaRichieste::ripristinaStato()
{
    DBGridRichieste->ripristinaStato(this);
    // The stored hidden columns replace the grid's list: the table's own columns stay out of the grid.
    disponiColonne(DBGridRichieste, m_modello, colonneGriglia());
}

// ---- Filter lists ---------------------------------------------------------------------------------------------

void TFormRicercaRichieste::caricaListe()
{
    // Municipalities first, then clients; reloading a list clears its choice.
    const QStringList comuni = tavo::caricaComuniRichieste(m_tr);
    {
        const QSignalBlocker blocco(EditComune);
        EditComune->clear();
        EditComune->addItems(comuni);
        EditComune->setCurrentIndex(-1);
    }
    const QList<tavo::ClienteRichieste> clienti = tavo::caricaClientiRichieste(m_tr);
    {
        const QSignalBlocker blocco(EditCliente);
        EditCliente->clear();
        for (const tavo::ClienteRichieste &c : clienti)
            EditCliente->addItem(c.testo, c.idCliente);
        EditCliente->setCurrentIndex(-1);
    }
}

void TFormRicercaRichieste::AggiornaListe()
{
    const ParametriFiltroRichieste prima = parametriFiltro();
    try {
        caricaListe();
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    }
    // The choices still on the lists stay chosen, so that the panel keeps telling the filter of the rows shown; a
    // choice whose entry is gone (its last request was deleted) is dropped and the rows are filtered again.
    {
        const QSignalBlocker b1(EditCliente), b2(EditComune);
        EditCliente->setCurrentIndex(prima.idCliente != 0 ? EditCliente->findData(prima.idCliente) : -1);
        EditComune->setCurrentIndex(prima.comune.isEmpty() ? -1 : EditComune->findText(prima.comune));
    }
    if (!modalitaElenco() && parametriFiltro() != prima)
        FiltroChange();
    AggiornaPulsanti();
}

ParametriFiltroRichieste TFormRicercaRichieste::parametriFiltro() const
{
    ParametriFiltroRichieste p;
    if (EditCliente->currentIndex() >= 0)
        p.idCliente = EditCliente->currentData().toInt();
    p.dataInizio = EditDataInizio->data();
    p.dataFine = EditDataFine->data();
    p.comune = EditComune->currentIndex() >= 0 ? EditComune->currentText() : QString();
    p.prezzoMin = EditPrezzoMin->value();
    p.prezzoMax = EditPrezzoMax->value();
    return p;
}

// ---- Filtering ------------------------------------------------------------------------------------------------

void TFormRicercaRichieste::FiltroChange()
{
    const QString espressione = tavo::espressioneFiltroRichieste(parametriFiltro());
    try {
        tabella()->setFilter(espressione);
        tabella()->setFiltered(!espressione.isEmpty());
    } catch (const tavo::FilterError &e) {
        errore(e.message());
    } catch (const tavo::MemTableError &e) {
        errore(e.message());
    }
    AggiornaPulsanti();
}

void TFormRicercaRichieste::ButtonAzzeraFiltriClick()
{
    {
        std::vector<QSignalBlocker> blocchi;
        for (QWidget *w : std::as_const(m_controlliFiltro))
            blocchi.emplace_back(w);
        EditCliente->setCurrentIndex(-1);
        EditDataInizio->impostaData(QDate());
        EditDataFine->impostaData(QDate());
        EditComune->setCurrentIndex(-1);
        EditPrezzoMin->setValue(0);
        EditPrezzoMax->setValue(0);
    }
    FiltroChange();
}

void TFormRicercaRichieste::DatePredefiniteClick(tavo::PeriodoPredefinito periodo)
{
    const QDate oggi = tavo::Clock::today();
    {
        const QSignalBlocker b1(EditDataInizio), b2(EditDataFine);
        EditDataInizio->impostaData(tavo::inizioPeriodo(periodo, oggi));
        EditDataFine->impostaData(oggi);
    }
    FiltroChange();
}

void TFormRicercaRichieste::ListaKeyDown(QComboBox *lista)
{
    {
        const QSignalBlocker blocco(lista);
        lista->setCurrentIndex(-1);
    }
    FiltroChange();
}

bool TFormRicercaRichieste::eventFilter(QObject *watched, QEvent *event)
{
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || !m_controlliFiltro.contains(w))
        return TFormBase::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::FocusIn: {
        // The filter control with the focus is shown in light orange.
        QPalette p = w->palette();
        p.setColor(QPalette::Base, ColoreFocus);
        p.setColor(QPalette::Button, ColoreFocus);
        w->setPalette(p);
        break;
    }
    case QEvent::FocusOut:
        w->setPalette(QPalette());
        break;
    case QEvent::KeyPress: {
        auto *ke = static_cast<QKeyEvent *>(event);
        if ((w == EditCliente || w == EditComune) && ke->key() == Qt::Key_Delete) {
            ListaKeyDown(static_cast<QComboBox *>(w));
            return true;
        }
        break;
    }
    default:
        break;
    }
    return TFormBase::eventFilter(watched, event);
}

// ---- Commands -------------------------------------------------------------------------------------------------

TMemTable *TFormRicercaRichieste::tabella() const
{
    return m_dm->MemTableRichieste();
}

int TFormRicercaRichieste::idCorrente() const
{
    return tabella()->value(QStringLiteral("ID_RICHIESTA")).toInt();
}

int TFormRicercaRichieste::idAnnuncioElenco() const
{
    return PanelTop->property("tag").toInt();
}

QString TFormRicercaRichieste::titolo() const
{
    return finestra()->windowTitle();
}

void TFormRicercaRichieste::errore(const QString &testo) const
{
    ui().messaggio(const_cast<TFormRicercaRichieste *>(this), titolo(), testo, UiService::Icona::Errore);
}

QWidget *TFormRicercaRichieste::apriSchermata(const QString &classe) const
{
    const tavo::FabbricaSchermata fabbrica = tavo::fabbricaSchermata(classe);
    return fabbrica ? TFormMain::istanza()->ApriFinestra(classe, fabbrica) : nullptr;
}

void TFormRicercaRichieste::AggiornaPulsanti()
{
    const bool editor = tavo::schermataRegistrata(ClasseEditor);
    ButtonCercaCliente->setEnabled(tavo::schermataRegistrata(ClasseRicercaClienti));
    tavo::abilita({ButtonNuovaRichiesta, MenuNuovaRichiesta}, editor);
    if (!tabella()->isOpen())
        return;
    const int righe = tabella()->recordCount();
    const bool riga = righe > 0;
    const bool schede = tavo::schermataRegistrata(ClasseSchede);
    tavo::abilita({ButtonRichiesta, MenuVaiallaRichiesta}, riga && editor);
    tavo::abilita({ButtonEliminaRichiesta, MenuEliminaRichiesta, ButtonCliente, MenuVaialCliente, ButtonIncroci,
             MenuMostraIncroci},
            riga);
    tavo::abilita({ButtonInviaEMail, MenuInviaEMailSMS}, riga && tavo::schermataRegistrata(ClasseInvioEmail));
    tavo::abilita({ButtonAppuntamento, MenuNuovoAppuntamento}, riga && tavo::schermataRegistrata(ClasseAppuntamenti));
    tavo::abilita({MenuVaiagliAppuntamenti}, riga && tavo::schermataRegistrata(ClasseElencoAppuntamenti));
    tavo::abilita({MenuMostraInviigieffettuati}, riga && tavo::schermataRegistrata(ClasseElencoInvii));
    tavo::abilita({MenuStampaSchedaRichiesta->menuAction(), MenuRichiestaCorrente}, riga && schede);
    MenuTutteleRichieste->setEnabled(righe > 1 && schede);
    if (QAction *html = PopupMenuRichieste->findChild<QAction *>(QStringLiteral("MenuEsportainHTML")))
        html->setEnabled(riga);
}

void TFormRicercaRichieste::DBGridRichiesteTitleClick(const QString &colonna)
{
    DBGridRichieste->TitleClick(colonna);
}

void TFormRicercaRichieste::EsportaInHTML()
{
    DBGridRichieste->esporta(1, QStringLiteral("Richieste"));
}

void TFormRicercaRichieste::ButtonCercaClienteClick()
{
    // The client search as a picker: its choice comes back through AggiornaListe, EditCliente and FiltroChange.
    tavo::apriSceltaCliente();
}

void TFormRicercaRichieste::MenuVaiallaRichiestaClick()
{
    if (!tabella()->isOpen() || tabella()->isEmpty())
        return;
    const int id = idCorrente();
    if (QWidget *editor = apriSchermata(ClasseEditor))
        QMetaObject::invokeMethod(editor, "CaricaRichiesta", Qt::DirectConnection, Q_ARG(int, id));
}

void TFormRicercaRichieste::MenuNuovaRichiestaClick()
{
    if (QWidget *editor = apriSchermata(ClasseEditor))
        QMetaObject::invokeMethod(editor, "CaricaRichiesta", Qt::DirectConnection, Q_ARG(int, 0));
}

void TFormRicercaRichieste::MenuEliminaRichiestaClick()
{
    if (!tabella()->isOpen() || tabella()->isEmpty())
        return;
    const int id = idCorrente();
    const tavo::RowId riga = tabella()->bookmark();
    if (ui().domanda(this, titolo(),
                     QStringLiteral("Conferma l'eliminazione della richiesta corrente?\n\n"
                                    "ATTENZIONE! L'eliminazione è IRREVERSIBILE!"),
                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No, UiService::Icona::Avviso) != QMessageBox::Yes)
        return;
    try {
        tavo::eliminaRichiesta(m_tr, id);
    } catch (const db::DbError &e) {
        // Shown as every database error is; nothing was committed and the row stays.
        tavo::TavoApplication::mostraErrore(e.message());
        return;
    }
    // Only this row leaves the table: the others keep their computed matches.
    try {
        if (tabella()->gotoBookmark(riga) || tabella()->locate(QStringLiteral("ID_RICHIESTA"), id))
            tabella()->deleteCurrent();
    } catch (const tavo::MemTableError &e) {
        errore(e.message());
    }
    AggiornaListe();
    // The listings' match counts are stale now: recomputed at the next opening.
    chiudiSchermata(ClasseRicercaAnnunci);
    m_dm->MemTableAnnunci()->close();
}

void TFormRicercaRichieste::MenuVaialClienteClick()
{
    if (!tabella()->isOpen() || tabella()->isEmpty())
        return;
    const int idCliente = tabella()->value(QStringLiteral("ID_CLIENTE")).toInt();
    TFormMain::istanza()->ApriFinestra<TFormInsVarClienti>()->CaricaCliente(idCliente);
}

void TFormRicercaRichieste::MenuMostraIncrociClick(int tag)
{
    if (!tabella()->isOpen() || tabella()->isEmpty())
        return;
    if (tag == 1 && !tavo::schermataRegistrata(ClasseInvioEmail))
        return;
    if (tabella()->value(QStringLiteral("N_INCROCI")).toInt() == 0) {
        errore(QStringLiteral("Nessun annuncio si incrocia con la richiesta corrente"));
        return;
    }
    // The ids as computed when the row was filled or last refreshed.
    const QString ids = tavo::idIncrociInElenco(tabella()->value(QStringLiteral("ID_INCROCI")).toString());
    const int idRichiesta = idCorrente();
    const int idCliente = tabella()->value(QStringLiteral("ID_CLIENTE")).toInt();
    const QString cliente = tabella()->value(QStringLiteral("CLIENTE")).toString();

    TMemTable *annunci = m_dm->MemTableAnnunci();
    try {
        annunci->close();
        annunci->setFilter(QString());
        annunci->setFiltered(false);
        QStringList &sql = m_dm->IBDataSetAnnunci().SQL();
        sql[tavo::TDataModuleQueryComposte::RigaFiltroAnnunci] =
            QStringLiteral("and ID_ANNUNCIO_IMMOBILE in (") + ids + QLatin1Char(')');
        sql[tavo::TDataModuleQueryComposte::RigaOrdineAnnunci] = QStringLiteral("order by PREZZO");

        if (tag == 0) {
            // List mode of the listing search: default entry, caption, hidden panel carrying this request, table
            // opened, its stored sort, first row.
            TFormRicercaAnnunci *ricerca = TFormMain::istanza()->ApriFinestra<TFormRicercaAnnunci>();
            ricerca->MostraElencoIncroci(QStringLiteral("Elenco Annunci incrociati su Richiesta ") + cliente,
                                         idRichiesta);
        } else {
            chiudiSchermata(ClasseRicercaAnnunci);
            QWidget *invio = apriSchermata(ClasseInvioEmail);
            QMetaObject::invokeMethod(invio, "PreparaInvio", Qt::DirectConnection, Q_ARG(int, idRichiesta),
                                      Q_ARG(int, idCliente));
            annunci->open();
            auto *griglia = invio->findChild<tavo::TSearchGrid *>(QStringLiteral("DBGridAnnunci"));
            if (!griglia)
                griglia = invio->findChild<tavo::TSearchGrid *>();
            if (griglia)
                griglia->riapplicaOrdinamento();
            annunci->first();
            QMetaObject::invokeMethod(invio, "SelezionaNonInviati", Qt::DirectConnection);
        }
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    } catch (const tavo::MemTableError &e) {
        errore(e.message());
    }
}

void TFormRicercaRichieste::MenuMostraInviigieffettuatiClick()
{
    if (!tabella()->isOpen() || tabella()->isEmpty())
        return;
    const int id = idCorrente();
    if (QWidget *invii = apriSchermata(ClasseElencoInvii))
        QMetaObject::invokeMethod(invii, "MostraInvii", Qt::DirectConnection, Q_ARG(int, id));
}

void TFormRicercaRichieste::MenuVaiagliAppuntamentiClick()
{
    if (!tabella()->isOpen() || tabella()->isEmpty())
        return;
    const int id = idCorrente();
    if (QWidget *elenco = apriSchermata(ClasseElencoAppuntamenti))
        QMetaObject::invokeMethod(elenco, "ElencoAppuntamentiRichiesta", Qt::DirectConnection, Q_ARG(int, id));
}

void TFormRicercaRichieste::MenuNuovoAppuntamentoClick()
{
    if (!tabella()->isOpen() || tabella()->isEmpty())
        return;
    const int id = idCorrente();
    QWidget *agenda = apriSchermata(ClasseAppuntamenti);
    if (!agenda)
        return;
    QMetaObject::invokeMethod(agenda, "ImpostaRichiesta", Qt::DirectConnection, Q_ARG(int, id));
    // Shown as the requests matching a listing: the appointment is about that listing too.
    if (modalitaElenco())
        QMetaObject::invokeMethod(agenda, "ImpostaAnnuncio", Qt::DirectConnection, Q_ARG(int, idAnnuncioElenco()));
    if (auto *data = agenda->findChild<QWidget *>(QStringLiteral("DateTimePicker1"))) {
        const QString testo =
            QStringLiteral("<b>%1</b><br>%2")
                .arg(QStringLiteral("Il nuovo appuntamento è pronto per essere creato").toHtmlEscaped(),
                     QStringLiteral("Selezionare il giorno, l'ora e la durata dell'impegno, scrivere eventualmente "
                                    "una nota aggiuntiva e premere su \"Crea Appuntamento\"")
                         .toHtmlEscaped());
        QToolTip::showText(data->mapToGlobal(QPoint(data->width() / 2, data->height())), testo, data, QRect(),
                           DurataSuggerimento);
    }
}

void TFormRicercaRichieste::MenuStampaSchedaRichiestaPopup()
{
    const bool aperta = tabella()->isOpen();
    MenuTutteleRichieste->setEnabled(aperta && tabella()->recordCount() > 1 && tavo::schermataRegistrata(ClasseSchede));
}

void TFormRicercaRichieste::MenuRichiestaCorrenteClick()
{
    if (!tabella()->isOpen() || tabella()->isEmpty())
        return;
    const QString id = QString::number(idCorrente());
    if (QWidget *schede = apriSchermata(ClasseSchede))
        QMetaObject::invokeMethod(schede, "ImpostaRichieste", Qt::DirectConnection, Q_ARG(QString, id));
}

QString TFormRicercaRichieste::idRichiesteVisualizzate() const
{
    TMemTable *t = tabella();
    if (!t->isOpen())
        return QString();
    QStringList ids;
    // The grids stay still while the cursor walks the rows (also when an error ends the walk); the current row comes
    // back.
    TMemTable::UpdateGuard fermo(*t);
    const tavo::RowId corrente = t->bookmark();
    try {
        for (t->first(); !t->eof(); t->next())
            ids << QString::number(t->value(QStringLiteral("ID_RICHIESTA")).toInt());
    } catch (...) {
        t->gotoBookmark(corrente);
        throw;
    }
    t->gotoBookmark(corrente);
    return ids.join(QLatin1Char(','));
}

void TFormRicercaRichieste::MenuTutteleRichiesteClick()
{
    if (!tabella()->isOpen() || tabella()->recordCount() < 2)
        return;
    QString ids;
    try {
        ids = idRichiesteVisualizzate();
    } catch (const tavo::MemTableError &e) {
        errore(e.message());
        return;
    }
    if (QWidget *schede = apriSchermata(ClasseSchede))
        QMetaObject::invokeMethod(schede, "ImpostaRichieste", Qt::DirectConnection, Q_ARG(QString, ids));
}

void TFormRicercaRichieste::SpeedButtonLockClick(bool premuto)
{
    try {
        tavo::scriviAutoForm(m_tr, premuto ? 2 : 0);
    } catch (const db::DbError &e) {
        const QSignalBlocker blocco(SpeedButtonLock);
        SpeedButtonLock->setChecked(!premuto);
        tavo::TavoApplication::mostraErrore(e.message());
        return;
    }
    // One screen only opens at start-up: the other searches' locks go up (their own handlers do not run).
    if (premuto)
        rilasciaLucchetto(ClasseRicercaAnnunci);
    rilasciaLucchetto(ClasseRicercaClienti);
}
