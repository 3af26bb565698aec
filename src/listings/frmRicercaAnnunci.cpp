#include "listings/frmRicercaAnnunci.h"

#include "app/frmMain.h"
#include "clients/frmInsVarClienti.h"
#include "data/dmQueryComposte.h"
#include "data/memtable/filterexpression.h"
#include "data/memtable/memtablemodel.h"
#include "listings/datiricercaannunci.h"
#include "listings/registroschermate.h"
#include "widgets/immagini.h"
#include "widgets/tavoapplication.h"
#include "widgets/uiservice.h"

#include <QDrag>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QValidator>

#include <future>
#include <optional>
#include <vector>

using tavo::ParametriFiltroAnnunci;
using tavo::TMemTable;
using tavo::ui;
using tavo::UiService;
namespace db = tavo::db;

namespace {

const QString ClasseEditor = QStringLiteral("TFormInsVarAnnunci");
const QString ClasseRicercaRichieste = QStringLiteral("TFormRicercaRichieste");
const QString ClasseRicercaClienti = QStringLiteral("TFormRicercaClienti");
const QString ClasseInvioEmail = QStringLiteral("TFormInvioEmaildaAnnuncio");
const QString ClasseSchede = QStringLiteral("TFormSelezioneAnnunciPerScheda");
const QString ClasseAnteprimaFoto = QStringLiteral("TFormAnteprimaFoto");
const QString ClasseRiviste = QStringLiteral("TFormInvioAnnunciARiviste");

const QColor ColoreFocus(234, 178, 132);
// The mouse must move this far with the button held before a row is dragged.
const int SogliaTrascinamento = 9;

// Forced upper case: every typed or pasted letter becomes a capital, one character for one.
class ValidatoreMaiuscole : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

// Memo columns: one line of text, and never the red of inactive listings (the grid's row colour hooks live in
// its own delegate, which a column delegate replaces).
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


int indiceTesto(const QComboBox *lista, const QString &testo)
{
    if (testo.isEmpty())
        return -1;
    for (int i = 0; i < lista->count(); ++i)
        if (lista->itemText(i) == testo)
            return i;
    return -1;
}

} // namespace

TFormRicercaAnnunci::TFormRicercaAnnunci(QWidget *parent)
    : TFormBase(QStringLiteral("FormRicercaAnnunci"), parent), m_tr(TFormMain::istanza()->database()),
      m_dm(TFormMain::istanza()->DataModuleQueryComposte())
{
    setupUi(this);
    setWindowIcon(tavo::icona(tavo::Icona::Annunci));
    PanelTop->setProperty("tag", 0);

    EditTipAnnuncio->addItems({QStringLiteral("VENDITA"), QStringLiteral("AFFITTO"), QStringLiteral("VACANZE")});
    EditTipAnnuncio->setCurrentIndex(-1);
    ComboBoxStatoAnnunci->addItems(tavo::vociStatoAnnunci());
    ComboBoxStatoAnnunci->setCurrentIndex(ParametriFiltroAnnunci::Attivi);
    ComboBoxPriorita->addItems(tavo::vociPriorita());
    ComboBoxPriorita->setCurrentIndex(ParametriFiltroAnnunci::PrioritaNessuna);
    for (QComboBox *c : {EditLocalita, EditRiferimento}) {
        c->setValidator(new ValidatoreMaiuscole(c));
        c->setCurrentIndex(-1);
    }
    // Amounts as the agency writes them: "€ 99.999,99".
    const QLocale italiano(QLocale::Italian, QLocale::Italy);
    for (QDoubleSpinBox *s : {EditPrezzoMin, EditPrezzoMax, EditMqMin, EditMqMax, EditLocaliMin, EditLocaliMax})
        s->setLocale(italiano);

    m_controlliFiltro = {
        EditCliente,          EditComune,       EditTipImmobile, EditTipAnnuncio, EditLocalita, EditRiferimento,
        ComboBoxStatoAnnunci, ComboBoxPriorita, EditPrezzoMin,   EditPrezzoMax,   EditMqMin,    EditMqMax,
        EditLocaliMin,        EditLocaliMax};
    for (QWidget *w : std::as_const(m_controlliFiltro))
        w->installEventFilter(this);

    SpeedButtonLock->setIcon(tavo::iconaLucchetto());
    preparaGriglie();
    creaMenu();

    connect(ButtonFiltra, &QPushButton::clicked, this, &TFormRicercaAnnunci::ButtonFiltraClick);
    for (QComboBox *c :
         {EditCliente, EditComune, EditTipImmobile, EditTipAnnuncio, ComboBoxStatoAnnunci, ComboBoxPriorita})
        connect(c, &QComboBox::currentIndexChanged, this, &TFormRicercaAnnunci::FiltroChange);
    for (QComboBox *c : {EditLocalita, EditRiferimento})
        connect(c, &QComboBox::editTextChanged, this, &TFormRicercaAnnunci::FiltroChange);

    connect(ButtonAnnuncio, &QPushButton::clicked, this, &TFormRicercaAnnunci::MenuVaiAllAnnuncioClick);
    connect(MenuVaiAllAnnuncio, &QAction::triggered, this, &TFormRicercaAnnunci::MenuVaiAllAnnuncioClick);
    connect(ButtonNuovoAnnuncio, &QPushButton::clicked, this, &TFormRicercaAnnunci::MenuNuovoAnnuncioClick);
    connect(MenuNuovoAnnuncio, &QAction::triggered, this, &TFormRicercaAnnunci::MenuNuovoAnnuncioClick);
    connect(MenuDuplicaAnnuncio, &QAction::triggered, this, &TFormRicercaAnnunci::MenuDuplicaAnnuncioClick);
    connect(MenuEliminaAnnuncio, &QAction::triggered, this, &TFormRicercaAnnunci::MenuEliminaAnnuncioClick);
    connect(ButtonCliente, &QPushButton::clicked, this, &TFormRicercaAnnunci::MenuVaialClienteClick);
    connect(MenuVaialCliente, &QAction::triggered, this, &TFormRicercaAnnunci::MenuVaialClienteClick);
    connect(ButtonIncroci, &QPushButton::clicked, this, [this] { MenuMostraIncrociClick(0); });
    connect(MenuMostraIncroci, &QAction::triggered, this, [this] { MenuMostraIncrociClick(0); });
    connect(ButtonInviaEMail, &QPushButton::clicked, this, [this] { MenuMostraIncrociClick(1); });
    connect(MenuInviaEMailSMS, &QAction::triggered, this, [this] { MenuMostraIncrociClick(1); });
    connect(MenuAnteprimaFoto, &QAction::triggered, this, &TFormRicercaAnnunci::MenuAnteprimaFotoClick);
    connect(MenuSalvaParametriFiltro, &QAction::triggered, this, &TFormRicercaAnnunci::MenuSalvaParametriFiltroClick);
    connect(MenuCaricaParametriFiltro, &QAction::triggered, this, &TFormRicercaAnnunci::MenuCaricaParametriFiltroClick);
    connect(MenuAnnullaParametriFiltro, &QAction::triggered, this, &TFormRicercaAnnunci::AnnullaParametriFiltro);
    connect(ButtonUscita, &QPushButton::clicked, this, [this] { finestra()->close(); });
    connect(SpeedButtonLock, &QToolButton::clicked, this, &TFormRicercaAnnunci::SpeedButtonLockClick);
    // The commands follow the rows whoever changes them (the proposal and editor screens reload the table too).
    connect(tabella(), &TMemTable::tableReset, this, &TFormRicercaAnnunci::AggiornaPulsanti);
    connect(tabella(), &TMemTable::rowRemoved, this, &TFormRicercaAnnunci::AggiornaPulsanti);
    connect(tabella(), &TMemTable::rowInserted, this, &TFormRicercaAnnunci::AggiornaPulsanti);

    // Until the table is open every command on a row waits.
    tavo::abilita({ButtonAnnuncio, ButtonNuovoAnnuncio, ButtonCliente, ButtonIncroci, ButtonInviaEMail, ButtonAppuntamento},
            false);
    for (QAction *a : PopupMenuAnnunci->actions())
        a->setEnabled(false);
}

TFormRicercaAnnunci::~TFormRicercaAnnunci() = default;

QStringList TFormRicercaAnnunci::colonneGriglia()
{
    return QStringLiteral(
               "CLIENTE N_INCROCI N_INVII DATA_ULT_INVIO TIPOLOGIA_IMMOBILE TIPOLOGIA_ANNUNCIO COMUNE LOCALITA "
               "RIFERIMENTO PRIORITA PREZZO NOTE_PREZZO SPESE_COND_MENSILI MQ NR_LOCALI NR_SERVIZI NR_CAMERE "
               "FOTOSN BOX_AUTO MQ_BOX BALCONE TERRAZZO CANTINA GIARDINO MQ_GIARDINO ASCENSORE CONDIZIONATORE "
               "CONDIZIONI DESCRIZIONE NOTE DATA_INSERIMENTO DATA_ULT_MODIFICA")
        .split(QLatin1Char(' '));
}

QStringList TFormRicercaAnnunci::colonneEsportazione()
{
    return QStringLiteral(
               "CLIENTE TIPOLOGIA_IMMOBILE TIPOLOGIA_ANNUNCIO COMUNE LOCALITA RIFERIMENTO PREZZO NOTE_PREZZO MQ "
               "DESCR_ESPORTAZIONE DATA_INSERIMENTO DATA_ULT_MODIFICA")
        .split(QLatin1Char(' '));
}

// ---- Grids and menus ------------------------------------------------------------------------------------------

namespace {

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

} // namespace

void TFormRicercaAnnunci::preparaGriglie()
{
    m_modello = new tavo::TMemTableModel(tabella(), this);
    DBGridAnnunci->setModel(m_modello);
    disponiColonne(DBGridAnnunci, m_modello, colonneGriglia());
    m_modelloEsportazione = new tavo::TMemTableModel(tabella(), this);
    DBGridEsportazione->setModel(m_modelloEsportazione);
    disponiColonne(DBGridEsportazione, m_modelloEsportazione, colonneEsportazione());

    // Inactive listings in red, memo columns excepted.
    const int eliminato = tabella()->columnIndex(QStringLiteral("ELIMINATO"));
    auto rosso = [this, eliminato](int riga) -> QColor {
        const tavo::RowId id = m_modello->bookmark(riga);
        return tabella()->rowValue(id, eliminato).toString() == QLatin1String("S") ? QColor(Qt::red) : QColor();
    };
    DBGridAnnunci->impostaColoreTesto(rosso);
    auto *delegatoMemo = new TDelegatoMemo(DBGridAnnunci);
    for (int s = 0; s < m_modello->columnCount(); ++s) {
        if (tabella()->column(m_modello->tableColumn(s)).type() == tavo::FieldType::Memo)
            DBGridAnnunci->setItemDelegateForColumn(s, delegatoMemo);
    }

    // The column chooser offers the grid's own columns only.
    QHeaderView *h = DBGridAnnunci->horizontalHeader();
    disconnect(h, &QWidget::customContextMenuRequested, DBGridAnnunci, nullptr);
    connect(h, &QWidget::customContextMenuRequested, this, [this, h](const QPoint &pos) {
        QMenu *menu = DBGridAnnunci->menuColonne();
        const QStringList proprie = colonneGriglia();
        for (QAction *a : menu->actions()) {
            if (a->data().isValid() && !proprie.contains(a->data().toString(), Qt::CaseInsensitive))
                menu->removeAction(a);
        }
        menu->popup(h->viewport()->mapToGlobal(pos));
    });

    // Dragging a row to the magazine sending screen.
    DBGridAnnunci->viewport()->installEventFilter(this);
}

void TFormRicercaAnnunci::creaMenu()
{
    PopupMenuAnnunci = new QMenu(this);
    PopupMenuAnnunci->setObjectName(QStringLiteral("PopupMenuAnnunci"));
    PopupMenuAnnunci->addActions({MenuVaiAllAnnuncio, MenuNuovoAnnuncio, MenuDuplicaAnnuncio, MenuEliminaAnnuncio});
    PopupMenuAnnunci->addSeparator();
    PopupMenuAnnunci->addAction(MenuVaialCliente);
    PopupMenuAnnunci->addSeparator();
    PopupMenuAnnunci->addActions({MenuMostraIncroci, MenuInviaEMailSMS, MenuMostraInviigieffettuati});
    PopupMenuAnnunci->addSeparator();
    PopupMenuAnnunci->addActions({MenuNuovoAppuntamento, MenuMostraAppuntamenti, MenuNuovaRichiestaperlAnnuncio});
    PopupMenuAnnunci->addSeparator();
    PopupMenuAnnunci->addAction(MenuAnteprimaFoto);
    PopupMenuAnnunci->addSeparator();

    auto scheda = [this](const char *nome, const char *titolo, QAction *corrente, QAction *tutti, int tag) {
        QMenu *m = PopupMenuAnnunci->addMenu(QString::fromUtf8(titolo));
        m->setObjectName(QLatin1String(nome));
        m->menuAction()->setObjectName(QLatin1String(nome));
        corrente->setData(tag);
        tutti->setData(tag + 10);
        m->addActions({corrente, tutti});
        connect(corrente, &QAction::triggered, this, [this, m, tag] { MenuSchedaClick(tag, m); });
        connect(tutti, &QAction::triggered, this, [this, m, tag] { MenuSchedaClick(tag + 10, m); });
        return m;
    };
    MenuSchedaAnnuncioUsoInterno = scheda("MenuSchedaAnnuncioUsoInterno", "Scheda Annuncio Uso Interno",
                                          MenuSchedaInternaAnnuncioCorrente, MenuSchedaInternaTuttiAnnunci, 1);
    MenuSchedaAnnuncioperCliente = scheda("MenuSchedaAnnuncioperCliente", "Scheda Annuncio per Cliente",
                                          MenuSchedaClienteAnnuncioCorrente, MenuSchedaClienteTuttiAnnunci, 2);
    MenuSchedaAnnuncioperVetrina = scheda("MenuSchedaAnnuncioperVetrina", "Scheda Annuncio per Vetrina",
                                          MenuSchedaVetrinaAnnuncioCorrente, MenuSchedaVetrinaTuttiAnnunci, 3);
    PopupMenuAnnunci->addSeparator();
    // The export grid is what the export entries write; only HTML is offered.
    DBGridEsportazione->aggiungiVociEsportazione(PopupMenuAnnunci, QStringLiteral("Annunci"), {1});

    DBGridAnnunci->impostaMenu(PopupMenuAnnunci);
    DBGridAnnunci->impostaVoceDefault(MenuVaiAllAnnuncio);

    PopupMenuFiltro = new QMenu(this);
    PopupMenuFiltro->setObjectName(QStringLiteral("PopupMenuFiltro"));
    PopupMenuFiltro->addActions({MenuSalvaParametriFiltro, MenuCaricaParametriFiltro});
    PopupMenuFiltro->addSeparator();
    PopupMenuFiltro->addAction(MenuAnnullaParametriFiltro);
    ButtonParametriFiltro->setMenu(PopupMenuFiltro);
    PanelTop->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(PanelTop, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenuFiltro->popup(PanelTop->mapToGlobal(pos)); });
}

// ---- Opening --------------------------------------------------------------------------------------------------

TFormRicercaAnnunci *TFormRicercaAnnunci::ApriElencoCompleto()
{
    TFormMain *main = TFormMain::istanza();
    auto *esistente = qobject_cast<TFormRicercaAnnunci *>(main->finestraAperta(QStringLiteral("TFormRicercaAnnunci")));
    const bool conPannello = esistente && !esistente->PanelTop->isHidden();
    auto *f = main->ApriFinestra<TFormRicercaAnnunci>();
    f->DBGridAnnunci->impostaVoceDefault(f->MenuVaiAllAnnuncio);
    if (!conPannello)
        f->modalitaRicerca();
    return f;
}

void TFormRicercaAnnunci::StampaElencoAnnunci()
{
    TFormRicercaAnnunci *f = ApriElencoCompleto();
    TFormMain::istanza()->AperturaDiretta = true;
    f->MenuEsportainHTMLClick();
}

void TFormRicercaAnnunci::modalitaRicerca()
{
    try {
        QStringList &sql = m_dm->IBDataSetAnnunci().SQL();
        const int filtro = tavo::TDataModuleQueryComposte::RigaFiltroAnnunci;
        const int ordine = tavo::TDataModuleQueryComposte::RigaOrdineAnnunci;
        // A caller's restriction in the slots: the full table is computed again without it.
        if (!sql.at(filtro).isEmpty() || !sql.at(ordine).isEmpty()) {
            tabella()->close();
            sql[filtro].clear();
            sql[ordine].clear();
        }
        tabella()->setFilter(QString());
        tabella()->setFiltered(false);
        setWindowTitle(QStringLiteral("Elenco Annunci"));
        PanelTop->show();
        PanelTop->setProperty("tag", 0);
        m_slotElenco.clear();
        tabella()->open();
        ButtonFiltraClick();
        DBGridAnnunciTitleClick();
        tabella()->first();
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    } catch (const tavo::MemTableError &e) {
        errore(e.message());
    }
}

void TFormRicercaAnnunci::MostraElencoIncroci(const QString &caption, int idRichiesta)
{
    DBGridAnnunci->impostaVoceDefault(MenuVaiAllAnnuncio);
    setWindowTitle(caption);
    PanelTop->hide();
    PanelTop->setProperty("tag", idRichiesta);
    // The caller's slots, for a reload after a refresh of one row has overwritten them.
    const QStringList &sql = m_dm->IBDataSetAnnunci().SQL();
    m_slotElenco = {sql.at(tavo::TDataModuleQueryComposte::RigaFiltroAnnunci),
                    sql.at(tavo::TDataModuleQueryComposte::RigaOrdineAnnunci)};
    try {
        tabella()->setFilter(QString());
        tabella()->setFiltered(false);
        tabella()->open();
        DBGridAnnunciTitleClick();
        tabella()->first();
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    } catch (const tavo::MemTableError &e) {
        errore(e.message());
    }
    AggiornaPulsanti();
}

void TFormRicercaAnnunci::RicaricaElenco(int idAnnuncio)
{
    try {
        QStringList &sql = m_dm->IBDataSetAnnunci().SQL();
        tabella()->close();
        sql[tavo::TDataModuleQueryComposte::RigaFiltroAnnunci] = m_slotElenco.value(0);
        sql[tavo::TDataModuleQueryComposte::RigaOrdineAnnunci] = m_slotElenco.value(1);
        tabella()->setFilter(QString());
        tabella()->setFiltered(false);
        tabella()->open();
        if (!modalitaElenco())
            ButtonFiltraClick();
        DBGridAnnunciTitleClick();
        if (!tabella()->locate(QStringLiteral("ID_ANNUNCIO_IMMOBILE"), idAnnuncio))
            tabella()->first();
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    } catch (const tavo::MemTableError &e) {
        errore(e.message());
    }
    AggiornaPulsanti();
}

void TFormRicercaAnnunci::showEvent(QShowEvent *event)
{
    TFormBase::showEvent(event);
    if (m_mostrato)
        return;
    m_mostrato = true;
    FormShow();
}

void TFormRicercaAnnunci::FormShow()
{
    try {
        {
            const QSignalBlocker blocco(SpeedButtonLock);
            SpeedButtonLock->setChecked(tavo::leggiAutoForm(m_tr) == 1);
        }
        // The filter lists are read on a second attachment while the match table fills: on a large agency each
        // takes about a second. A server that refuses the second connection gets them read here afterwards.
        std::future<std::optional<tavo::ElenchiFiltroAnnunci>> elenchi =
            std::async(std::launch::async, [&principale = TFormMain::istanza()->database()] {
                db::Database attacco;
                try {
                    attacco.openLike(principale);
                } catch (const db::DbError &) {
                    return std::optional<tavo::ElenchiFiltroAnnunci>();
                }
                db::Transaction tr(attacco);
                std::optional<tavo::ElenchiFiltroAnnunci> e = tavo::caricaElenchiFiltroAnnunci(tr);
                tr.commit();
                return e;
            });
        // The stored sort is already the grid's state (ripristinaStato); the opener applies it.
        try {
            tabella()->open();
        } catch (...) {
            elenchi.wait();
            throw;
        }
        const std::optional<tavo::ElenchiFiltroAnnunci> letti = elenchi.get();
        if (letti)
            mostraElenchi(*letti, false);
        else
            caricaElenchi(false);
        tabella()->first();
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    } catch (const tavo::MemTableError &e) {
        errore(e.message());
    }
    AggiornaPulsanti();
}

void TFormRicercaAnnunci::salvaStato() const
{
    DBGridAnnunci->salvaStato(this);
}

void TFormRicercaAnnunci::ripristinaStato()
{
    DBGridAnnunci->ripristinaStato(this);
    // The stored hidden columns replace the grid's list: the table's own columns stay out of the grid.
    disponiColonne(DBGridAnnunci, m_modello, colonneGriglia());
}

// ---- Filter lists ---------------------------------------------------------------------------------------------

void TFormRicercaAnnunci::caricaElenchi(bool ripristina)
{
    mostraElenchi(tavo::caricaElenchiFiltroAnnunci(m_tr), ripristina);
}

void TFormRicercaAnnunci::mostraElenchi(const tavo::ElenchiFiltroAnnunci &e, bool ripristina)
{
    const ParametriFiltroAnnunci prima = parametriFiltro();
    {
        const QSignalBlocker b1(EditLocalita), b2(EditCliente), b3(EditComune), b4(EditTipImmobile),
            b5(EditRiferimento);
        EditLocalita->clear();
        EditLocalita->addItems(e.localita);
        EditLocalita->setCurrentIndex(-1);
        EditLocalita->setEditText(QString());
        EditCliente->clear();
        for (const tavo::ClienteElenco &c : e.clienti)
            EditCliente->addItem(c.testo, c.idCliente);
        EditCliente->setCurrentIndex(-1);
        EditComune->clear();
        EditComune->addItems(e.comuni);
        EditComune->setCurrentIndex(-1);
        EditTipImmobile->clear();
        EditTipImmobile->addItems(e.tipImmobile);
        EditTipImmobile->setCurrentIndex(-1);
        EditRiferimento->clear();
        EditRiferimento->addItems(e.riferimenti);
        EditRiferimento->setCurrentIndex(-1);
        EditRiferimento->setEditText(QString());
    }
    if (ripristina)
        impostaParametriFiltro(prima);
}

void TFormRicercaAnnunci::AggiornaElenchi()
{
    const ParametriFiltroAnnunci prima = parametriFiltro();
    try {
        caricaElenchi(true);
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    }
    // A choice whose entry is gone (the last listing of that municipality was deleted) is dropped: the panel and
    // the rows shown must keep telling the same filter.
    if (!modalitaElenco() && parametriFiltro() != prima)
        ButtonFiltraClick();
    AggiornaPulsanti();
}

ParametriFiltroAnnunci TFormRicercaAnnunci::parametriFiltro() const
{
    ParametriFiltroAnnunci p;
    if (EditCliente->currentIndex() >= 0) {
        p.idCliente = EditCliente->currentData().toInt();
        p.cliente = EditCliente->currentText();
    }
    p.comune = EditComune->currentIndex() >= 0 ? EditComune->currentText() : QString();
    p.tipImmobile = EditTipImmobile->currentIndex() >= 0 ? EditTipImmobile->currentText() : QString();
    p.tipAnnuncio = EditTipAnnuncio->currentIndex() >= 0 ? EditTipAnnuncio->currentText() : QString();
    p.localita = EditLocalita->currentText();
    p.riferimento = EditRiferimento->currentText();
    p.prezzoMin = EditPrezzoMin->value();
    p.prezzoMax = EditPrezzoMax->value();
    p.mqMin = EditMqMin->value();
    p.mqMax = EditMqMax->value();
    p.localiMin = EditLocaliMin->value();
    p.localiMax = EditLocaliMax->value();
    p.stato = ComboBoxStatoAnnunci->currentIndex();
    p.priorita = ComboBoxPriorita->currentIndex();
    return p;
}

void TFormRicercaAnnunci::impostaParametriFiltro(const ParametriFiltroAnnunci &p)
{
    std::vector<QSignalBlocker> blocchi;
    blocchi.reserve(size_t(m_controlliFiltro.size()));
    for (QWidget *w : std::as_const(m_controlliFiltro))
        blocchi.emplace_back(w);
    int cliente = p.idCliente != 0 ? EditCliente->findData(p.idCliente) : indiceTesto(EditCliente, p.cliente);
    EditCliente->setCurrentIndex(cliente);
    EditComune->setCurrentIndex(indiceTesto(EditComune, p.comune));
    EditTipImmobile->setCurrentIndex(indiceTesto(EditTipImmobile, p.tipImmobile));
    EditTipAnnuncio->setCurrentIndex(indiceTesto(EditTipAnnuncio, p.tipAnnuncio));
    EditLocalita->setEditText(p.localita.toUpper());
    EditRiferimento->setEditText(p.riferimento.toUpper());
    EditPrezzoMin->setValue(p.prezzoMin);
    EditPrezzoMax->setValue(p.prezzoMax);
    EditMqMin->setValue(p.mqMin);
    EditMqMax->setValue(p.mqMax);
    EditLocaliMin->setValue(p.localiMin);
    EditLocaliMax->setValue(p.localiMax);
    ComboBoxStatoAnnunci->setCurrentIndex(p.stato >= 0 && p.stato < ComboBoxStatoAnnunci->count() ? p.stato : -1);
    ComboBoxPriorita->setCurrentIndex(p.priorita >= 0 && p.priorita < ComboBoxPriorita->count() ? p.priorita : -1);
}

// ---- Filtering ------------------------------------------------------------------------------------------------

void TFormRicercaAnnunci::ButtonFiltraClick()
{
    const QString espressione = tavo::espressioneFiltroAnnunci(parametriFiltro());
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

void TFormRicercaAnnunci::FiltroChange()
{
    ButtonFiltraClick();
}

void TFormRicercaAnnunci::AnnullaParametriFiltro()
{
    impostaParametriFiltro(ParametriFiltroAnnunci());
    ButtonFiltraClick();
}

void TFormRicercaAnnunci::FiltraPerCliente(int idCliente, const QString &descr)
{
    AnnullaParametriFiltro();
    const int i = EditCliente->findData(idCliente);
    {
        const QSignalBlocker blocco(EditCliente);
        if (i >= 0)
            EditCliente->setItemText(i, descr.isEmpty() ? EditCliente->itemText(i) : descr);
        EditCliente->setCurrentIndex(i);
    }
    ButtonFiltraClick();
}

void TFormRicercaAnnunci::ListaKeyDown(QWidget *lista)
{
    auto *c = qobject_cast<QComboBox *>(lista);
    if (!c)
        return;
    {
        const QSignalBlocker blocco(c);
        c->setCurrentIndex(-1);
    }
    ButtonFiltraClick();
}

bool TFormRicercaAnnunci::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DBGridAnnunci->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto *me = static_cast<QMouseEvent *>(event);
            m_premuto = me->button() == Qt::LeftButton;
            m_puntoPressione = me->position().toPoint();
        } else if (event->type() == QEvent::MouseButtonRelease) {
            m_premuto = false;
        } else if (event->type() == QEvent::MouseMove) {
            auto *me = static_cast<QMouseEvent *>(event);
            if (m_premuto && (me->buttons() & Qt::LeftButton))
                return DBGridAnnunciMouseMove(me->position().toPoint());
        }
        return TFormBase::eventFilter(watched, event);
    }
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
        const bool lista = w == EditCliente || w == EditComune || w == EditTipImmobile || w == EditTipAnnuncio;
        if (lista && ke->key() == Qt::Key_Delete) {
            ListaKeyDown(w);
            return true;
        }
        if (auto *numero = qobject_cast<QDoubleSpinBox *>(w);
            numero && (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter)) {
            numero->interpretText();
            ButtonFiltraClick();
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

TMemTable *TFormRicercaAnnunci::tabella() const
{
    return m_dm->MemTableAnnunci();
}

int TFormRicercaAnnunci::idCorrente() const
{
    return tabella()->value(QStringLiteral("ID_ANNUNCIO_IMMOBILE")).toInt();
}

int TFormRicercaAnnunci::idRichiestaElenco() const
{
    return PanelTop->property("tag").toInt();
}

QString TFormRicercaAnnunci::titolo() const
{
    return finestra()->windowTitle();
}

void TFormRicercaAnnunci::errore(const QString &testo) const
{
    ui().messaggio(const_cast<TFormRicercaAnnunci *>(this), titolo(), testo, UiService::Icona::Errore);
}

QWidget *TFormRicercaAnnunci::apriSchermata(const QString &classe) const
{
    const tavo::FabbricaSchermata fabbrica = tavo::fabbricaSchermata(classe);
    return fabbrica ? TFormMain::istanza()->ApriFinestra(classe, fabbrica) : nullptr;
}

void TFormRicercaAnnunci::chiudiSchermata(const QString &classe) const
{
    QWidget *w = TFormMain::istanza()->finestraAperta(classe);
    if (!w)
        return;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget()))
        sub->close();
    else
        w->close();
}

void TFormRicercaAnnunci::AggiornaPulsanti()
{
    if (!tabella()->isOpen())
        return;
    const int righe = tabella()->recordCount();
    const bool riga = righe > 0;
    const bool editor = tavo::schermataRegistrata(ClasseEditor);
    const bool schede = tavo::schermataRegistrata(ClasseSchede);
    tavo::abilita({ButtonAnnuncio, MenuVaiAllAnnuncio, MenuDuplicaAnnuncio}, riga && editor);
    tavo::abilita({ButtonNuovoAnnuncio, MenuNuovoAnnuncio}, editor);
    tavo::abilita({MenuEliminaAnnuncio, ButtonCliente, MenuVaialCliente}, riga);
    tavo::abilita({ButtonIncroci, MenuMostraIncroci}, riga && tavo::schermataRegistrata(ClasseRicercaRichieste));
    tavo::abilita({ButtonInviaEMail, MenuInviaEMailSMS}, riga && tavo::schermataRegistrata(ClasseInvioEmail));
    tavo::abilita({MenuAnteprimaFoto}, riga && tavo::schermataRegistrata(ClasseAnteprimaFoto));
    // Appointments, requests from an appointment and the send history are not part of the program yet.
    tavo::abilita({ButtonAppuntamento, MenuNuovoAppuntamento, MenuMostraAppuntamenti, MenuNuovaRichiestaperlAnnuncio,
             MenuMostraInviigieffettuati},
            false);
    for (QMenu *m : {MenuSchedaAnnuncioUsoInterno, MenuSchedaAnnuncioperCliente, MenuSchedaAnnuncioperVetrina}) {
        m->menuAction()->setEnabled(riga && schede);
        const QList<QAction *> voci = m->actions();
        voci.at(0)->setEnabled(riga && schede);
        voci.at(1)->setEnabled(righe > 1 && schede);
    }
    if (QAction *html = PopupMenuAnnunci->findChild<QAction *>(QStringLiteral("MenuEsportainHTML")))
        html->setEnabled(riga);
}

void TFormRicercaAnnunci::DBGridAnnunciTitleClick(const QString &colonna)
{
    DBGridAnnunci->TitleClick(colonna);
}

void TFormRicercaAnnunci::MenuEsportainHTMLClick()
{
    DBGridEsportazione->esporta(1, QStringLiteral("Annunci"));
}

void TFormRicercaAnnunci::MenuVaiAllAnnuncioClick()
{
    if (!tabella()->isOpen() || tabella()->isEmpty())
        return;
    const int id = idCorrente();
    if (QWidget *editor = apriSchermata(ClasseEditor))
        QMetaObject::invokeMethod(editor, "CaricaAnnuncio", Qt::DirectConnection, Q_ARG(int, id));
}

void TFormRicercaAnnunci::MenuNuovoAnnuncioClick()
{
    if (QWidget *editor = apriSchermata(ClasseEditor))
        QMetaObject::invokeMethod(editor, "CaricaAnnuncio", Qt::DirectConnection, Q_ARG(int, 0));
}

void TFormRicercaAnnunci::MenuDuplicaAnnuncioClick()
{
    if (!tabella()->isOpen() || tabella()->isEmpty() || !tavo::schermataRegistrata(ClasseEditor))
        return;
    const int id = idCorrente();
    if (ui().domanda(this, titolo(),
                     QStringLiteral("Conferma la creazione di un nuovo annuncio duplicando l'annuncio corrente?"),
                     QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
                     UiService::Icona::Avviso) != QMessageBox::Yes)
        return;
    if (QWidget *editor = apriSchermata(ClasseEditor)) {
        QMetaObject::invokeMethod(editor, "CaricaAnnuncio", Qt::DirectConnection, Q_ARG(int, 0));
        QMetaObject::invokeMethod(editor, "DuplicaAnnuncio", Qt::DirectConnection, Q_ARG(int, id));
    }
}

void TFormRicercaAnnunci::MenuEliminaAnnuncioClick()
{
    if (!tabella()->isOpen() || tabella()->isEmpty())
        return;
    const int id = idCorrente();
    const tavo::RowId riga = tabella()->bookmark();
    if (ui().domanda(this, titolo(),
                     QStringLiteral("Conferma l'eliminazione dell'annuncio corrente?\n\n"
                                    "ATTENZIONE! L'eliminazione è IRREVERSIBILE!"),
                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No, UiService::Icona::Avviso) != QMessageBox::Yes)
        return;
    try {
        tavo::eliminaAnnuncio(m_tr, id);
    } catch (const db::DbError &e) {
        // Shown as every database error is; the row stays.
        tavo::TavoApplication::mostraErrore(e.message());
        return;
    }
    // Only this row leaves the table: the others keep their computed matches.
    try {
        if (tabella()->gotoBookmark(riga) || tabella()->locate(QStringLiteral("ID_ANNUNCIO_IMMOBILE"), id))
            tabella()->deleteCurrent();
    } catch (const tavo::MemTableError &e) {
        errore(e.message());
    }
    AggiornaElenchi();
    chiudiSchermata(ClasseRicercaRichieste);
    m_dm->MemTableRichieste()->close();
}

void TFormRicercaAnnunci::MenuVaialClienteClick()
{
    if (!tabella()->isOpen() || tabella()->isEmpty())
        return;
    const int idCliente = tabella()->value(QStringLiteral("ID_CLIENTE")).toInt();
    TFormMain::istanza()->ApriFinestra<TFormInsVarClienti>()->CaricaCliente(idCliente);
}

void TFormRicercaAnnunci::MenuMostraIncrociClick(int tag)
{
    if (!tabella()->isOpen() || tabella()->isEmpty())
        return;
    const QString classe = tag == 0 ? ClasseRicercaRichieste : ClasseInvioEmail;
    if (!tavo::schermataRegistrata(classe))
        return;
    if (tabella()->value(QStringLiteral("N_INCROCI")).toInt() == 0) {
        errore(QStringLiteral("Nessuna richiesta si incrocia con l'annuncio corrente"));
        return;
    }
    const QString ids = tavo::idIncrociInElenco(tabella()->value(QStringLiteral("ID_INCROCI")).toString());
    const int idAnnuncio = idCorrente();
    const QString riferimento = tabella()->value(QStringLiteral("RIFERIMENTO")).toString();

    TMemTable *richieste = m_dm->MemTableRichieste();
    try {
        richieste->close();
        richieste->setFilter(QString());
        richieste->setFiltered(false);
        QStringList &sql = m_dm->IBDataSetRichieste().SQL();
        sql[tavo::TDataModuleQueryComposte::RigaFiltroRichieste] = QStringLiteral("and ID_RICHIESTA in (") + ids + ')';
        sql[tavo::TDataModuleQueryComposte::RigaOrdineRichieste] = QStringLiteral("order by DATA_ULT_MODIFICA");

        if (tag == 0) {
            QWidget *ricerca = apriSchermata(ClasseRicercaRichieste);
            auto *griglia = ricerca->findChild<tavo::TSearchGrid *>(QStringLiteral("DBGridRichieste"));
            if (griglia)
                griglia->impostaVoceDefault(ricerca->findChild<QAction *>(QStringLiteral("MenuVaiallaRichiesta")));
            ricerca->setWindowTitle(QStringLiteral("Elenco Richieste incrociati su Annuncio ") + riferimento);
            if (auto *pannello = ricerca->findChild<QWidget *>(QStringLiteral("PanelTop"))) {
                pannello->hide();
                pannello->setProperty("tag", idAnnuncio);
            }
            richieste->open();
            if (griglia)
                griglia->riapplicaOrdinamento();
            richieste->first();
        } else {
            chiudiSchermata(ClasseRicercaRichieste);
            QWidget *invio = apriSchermata(ClasseInvioEmail);
            QMetaObject::invokeMethod(invio, "PreparaInvio", Qt::DirectConnection, Q_ARG(int, idAnnuncio));
            richieste->open();
            if (auto *griglia = invio->findChild<tavo::TSearchGrid *>(QStringLiteral("DBGridRichieste")))
                griglia->riapplicaOrdinamento();
            richieste->first();
            QMetaObject::invokeMethod(invio, "SelezionaNonInviati", Qt::DirectConnection);
        }
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    } catch (const tavo::MemTableError &e) {
        errore(e.message());
    }
}

void TFormRicercaAnnunci::MenuAnteprimaFotoClick()
{
    if (!tabella()->isOpen() || tabella()->isEmpty() || !tavo::schermataRegistrata(ClasseAnteprimaFoto))
        return;
    const QString riferimento = tabella()->value(QStringLiteral("RIFERIMENTO")).toString();
    QVariantList foto;
    try {
        foto = tavo::fotoAnnuncio(m_tr, idCorrente());
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
        return;
    }
    if (QWidget *anteprima = apriSchermata(ClasseAnteprimaFoto))
        QMetaObject::invokeMethod(anteprima, "MostraFotoRighe", Qt::DirectConnection, Q_ARG(QString, riferimento),
                                  Q_ARG(QVariantList, foto));
}

QString TFormRicercaAnnunci::idAnnunciVisualizzati() const
{
    TMemTable *t = tabella();
    if (!t->isOpen())
        return QString();
    QStringList ids;
    // The grid stays still while the cursor walks the rows; the current row comes back.
    TMemTable::UpdateGuard fermo(*t);
    const tavo::RowId corrente = t->bookmark();
    for (t->first(); !t->eof(); t->next())
        ids << QString::number(t->value(QStringLiteral("ID_ANNUNCIO_IMMOBILE")).toInt());
    t->gotoBookmark(corrente);
    return ids.join(QLatin1Char(','));
}

void TFormRicercaAnnunci::MenuSchedaClick(int tag, QMenu *voce)
{
    if (!tabella()->isOpen() || tabella()->isEmpty() || !tavo::schermataRegistrata(ClasseSchede))
        return;
    const QString ids = tag > 10 ? idAnnunciVisualizzati() : QString::number(idCorrente());
    QWidget *scheda = apriSchermata(ClasseSchede);
    scheda->setWindowTitle(QStringLiteral("Selezione Annunci per ") + voce->title().remove(QLatin1Char('&')));
    QMetaObject::invokeMethod(scheda, "ImpostaScheda", Qt::DirectConnection, Q_ARG(int, tag % 10), Q_ARG(QString, ids));
}

void TFormRicercaAnnunci::SpeedButtonLockClick(bool premuto)
{
    try {
        tavo::scriviAutoForm(m_tr, premuto ? 1 : 0);
    } catch (const db::DbError &e) {
        const QSignalBlocker blocco(SpeedButtonLock);
        SpeedButtonLock->setChecked(!premuto);
        tavo::TavoApplication::mostraErrore(e.message());
        return;
    }
    if (!premuto)
        return;
    // One screen only opens at start-up: the other searches' locks go up (their own handlers do not run).
    for (const QString &classe : {ClasseRicercaRichieste, ClasseRicercaClienti}) {
        if (QWidget *w = TFormMain::istanza()->finestraAperta(classe)) {
            if (auto *lock = w->findChild<QAbstractButton *>(QStringLiteral("SpeedButtonLock"))) {
                const QSignalBlocker blocco(lock);
                lock->setChecked(false);
            }
        }
    }
}

void TFormRicercaAnnunci::MenuSalvaParametriFiltroClick()
{
    const QString file = ui().fileDaSalvare(
        this, titolo(), QString(), QStringLiteral("File Parametri (*.par);;Tutti i File (*)"), QStringLiteral("par"));
    if (file.isEmpty())
        return;
    QString motivo;
    if (!tavo::scriviParametriFiltro(file, parametriFiltro(), &motivo))
        errore(motivo);
}

void TFormRicercaAnnunci::MenuCaricaParametriFiltroClick()
{
    const QString file =
        ui().fileDaAprire(this, titolo(), QString(), QStringLiteral("File Parametri (*.par);;Tutti i File (*)"));
    if (!file.isEmpty()) {
        ParametriFiltroAnnunci p;
        QString motivo;
        if (tavo::leggiParametriFiltro(file, p, &motivo))
            impostaParametriFiltro(p);
        else
            errore(motivo);
    }
    ButtonFiltraClick();
}

// ---- Dragging to the magazine sending screen ------------------------------------------------------------------

QString TFormRicercaAnnunci::testoTrascinamento() const
{
    TMemTable *t = tabella();
    if (!t->isOpen() || t->isEmpty())
        return QString();
    return QStringList{t->value(QStringLiteral("ID_ANNUNCIO_IMMOBILE")).toString(),
                       t->value(QStringLiteral("RIFERIMENTO")).toString(), t->displayText(QStringLiteral("NR_LOCALI")),
                       t->value(QStringLiteral("COMUNE")).toString(), t->value(QStringLiteral("FOTOSN")).toString()}
        .join(QLatin1Char('|'));
}

bool TFormRicercaAnnunci::DBGridAnnunciMouseMove(const QPoint &punto)
{
    if (!TFormMain::istanza()->finestraAperta(ClasseRiviste) || !tabella()->isOpen() || tabella()->isEmpty())
        return false;
    if (qAbs(punto.x() - m_puntoPressione.x()) <= SogliaTrascinamento &&
        qAbs(punto.y() - m_puntoPressione.y()) <= SogliaTrascinamento)
        return false;
    m_premuto = false;
    auto *dati = new QMimeData;
    dati->setText(testoTrascinamento());
    auto *trascinamento = new QDrag(DBGridAnnunci->viewport());
    trascinamento->setMimeData(dati);
    const Qt::DropAction esito = trascinamento->exec(Qt::CopyAction);
    if (esito != Qt::CopyAction)
        errore(esito == Qt::IgnoreAction ? QStringLiteral("Drop cancelled")
                                         : QStringLiteral("Can't drop - unknown reason."));
    return true;
}
