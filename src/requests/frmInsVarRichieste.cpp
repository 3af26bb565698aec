#include "requests/frmInsVarRichieste.h"

#include "app/frmMain.h"
#include "clients/frmInsVarClienti.h"
#include "clients/frmInserimentoComune.h"
#include "data/dmQueryComposte.h"
#include "listings/frmRicercaAnnunci.h"
#include "listings/registroschermate.h"
#include "widgets/immagini.h"
#include "widgets/tavoapplication.h"
#include "widgets/uiservice.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTreeWidgetItemIterator>
#include <QValidator>

using tavo::ui;
using tavo::UiService;
namespace db = tavo::db;

namespace {

constexpr int RuoloValore = Qt::UserRole;    // ID_TIPOLOGIA_IMMOBILE of a type node, 0 for a group
constexpr int RuoloStato = Qt::UserRole + 1; // 1 unchecked, 2 checked
constexpr int StatoNonSpuntato = 1;
constexpr int StatoSpuntato = 2;
constexpr int RuoloIdComune = Qt::UserRole;

// Forced upper case, one character for one.
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

void selezionaTesto(QComboBox *combo, const std::optional<QString> &testo)
{
    int indice = -1;
    if (testo) {
        for (int i = 0; i < combo->count() && indice < 0; ++i)
            if (combo->itemText(i) == *testo)
                indice = i;
    }
    combo->setCurrentIndex(indice);
}

void selezionaPerId(QComboBox *combo, int id)
{
    int indice = -1;
    for (int i = 0; i < combo->count() && indice < 0; ++i)
        if (combo->itemData(i).toInt() == id)
            indice = i;
    combo->setCurrentIndex(indice);
}

// A picture of a check box, as the tree's two state images.
QIcon immagineCasella(QWidget *w, bool spuntata)
{
    const int lato = w->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w);
    const qreal scala = w->devicePixelRatioF();
    QPixmap pm(QSize(lato, lato) * scala);
    pm.setDevicePixelRatio(scala);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QStyleOptionButton o;
    o.initFrom(w);
    o.rect = QRect(0, 0, lato, lato);
    o.state = QStyle::State_Enabled | (spuntata ? QStyle::State_On : QStyle::State_Off);
    w->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &o, &p, w);
    return QIcon(pm);
}

void chiudiSchermata(QWidget *schermata)
{
    if (!schermata)
        return;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(schermata->parentWidget()))
        sub->close();
    else
        schermata->close();
}

} // namespace

TFormInsVarRichieste::TFormInsVarRichieste(QWidget *parent)
    : TEditorBase(QStringLiteral("FormInsVarRichieste"), parent), m_tr(TFormMain::istanza()->database())
{
    setupUi(this);

    for (const QString &voce : tavo::vociTipologieAnnuncio()) {
        auto *item = new QListWidgetItem(voce, EditTipologieAnnuncio);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    // One row of three columns, as tall as an entry.
    const int altezzaVoce = qMax(fontMetrics().height(), style()->pixelMetric(QStyle::PM_IndicatorHeight)) + 8;
    EditTipologieAnnuncio->setFixedHeight(altezzaVoce + 2 * EditTipologieAnnuncio->frameWidth());
    EditTipologieAnnuncio->viewport()->installEventFilter(this);

    EditBoxAuto->addItems(tavo::vociBoxAutoRichiesta());
    EditBoxAuto->setCurrentIndex(-1);
    EditCondizioni->addItems(tavo::vociCondizioniRichiesta());
    EditCondizioni->setCurrentIndex(-1);
    // Delete clears the choice of these two lists.
    EditBoxAuto->installEventFilter(this);
    EditCondizioni->installEventFilter(this);

    EditLocalita->setInsertPolicy(QComboBox::NoInsert);
    EditLocalita->lineEdit()->setValidator(new ValidatoreMaiuscole(EditLocalita));
    EditLocalita->lineEdit()->setMaxLength(255);
    EditFONTE->setInsertPolicy(QComboBox::NoInsert);
    EditFONTE->lineEdit()->setMaxLength(50);

    m_iconaNonSpuntato = immagineCasella(EditTipologieImmobile, false);
    m_iconaSpuntato = immagineCasella(EditTipologieImmobile, true);
    EditTipologieImmobile->viewport()->installEventFilter(this);
    PageControl->tabBar()->installEventFilter(this);

    connect(ButtonConferma, &QPushButton::clicked, this, &TFormInsVarRichieste::ButtonConfermaClick);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &TFormInsVarRichieste::ButtonAnnullaClick);
    connect(ButtonMostraIncroci, &QPushButton::clicked, this, &TFormInsVarRichieste::ButtonMostraIncrociClick);
    connect(ButtonCercaCliente, &QPushButton::clicked, this, &TFormInsVarRichieste::ButtonCercaClienteClick);
    connect(ButtonNuovoCliente, &QPushButton::clicked, this, &TFormInsVarRichieste::ButtonNuovoClienteClick);
    connect(ButtonCliente, &QPushButton::clicked, this, &TFormInsVarRichieste::ButtonClienteClick);
    connect(ButtonAggiungiComune, &QPushButton::clicked, this, &TFormInsVarRichieste::ButtonAggiungiComuneClick);
    connect(ButtonEliminaComuni, &QPushButton::clicked, this, &TFormInsVarRichieste::ButtonEliminaComuniClick);
    connect(EditCliente, &QComboBox::activated, this, &TFormInsVarRichieste::EditClienteClick);
    connect(EditCliente, &QComboBox::currentIndexChanged, this, &TFormInsVarRichieste::aggiornaPulsanteCliente);
    connect(EditComuni, &QListWidget::itemSelectionChanged, this, &TFormInsVarRichieste::aggiornaPulsanteElimina);
    connect(EditSpazioAperto, &QCheckBox::toggled, this, &TFormInsVarRichieste::EditSpazioApertoClick);
    connect(EditTipologieImmobile, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *nodo) { EditTipologieImmobileClick(nodo); });
    // The click that expands or collapses a node does not also change its check.
    connect(EditTipologieImmobile, &QTreeWidget::itemExpanded, this, [this] { m_ignoraProssimoClic = true; });
    connect(EditTipologieImmobile, &QTreeWidget::itemCollapsed, this, [this] { m_ignoraProssimoClic = true; });
    connect(EditTipologieAnnuncio, &QListWidget::itemChanged, this, [this] { impostaModificato(true); });

    // What counts as a change of the request.
    osservaModifiche({EditPrezzoMin,   EditPrezzoMax,    EditMqMin,        EditMqMax,          EditNrLocaliMin,
                      EditNrLocaliMax, EditNrServiziMin, EditNrServiziMax, EditNrCamereMin,    EditNrCamereMax,
                      EditLocalita,    EditBoxAuto,      EditCondizioni,   EditBalcone,        EditTerrazzo,
                      EditCantina,     EditGiardino,     EditAscensore,    EditCondizionatore, EditSpazioAperto,
                      MemoNote,        EditFONTE});
    for (QComboBox *c : {EditLocalita, EditFONTE})
        connect(c->lineEdit(), &QLineEdit::textEdited, this, [this] { impostaModificato(true); });

    svuotaCampi();
    aggiornaPulsanteCliente();
    aggiornaComandi();
}

TFormInsVarRichieste::~TFormInsVarRichieste() = default;

TFormInsVarRichieste *TFormInsVarRichieste::ApriTrovaVeloce()
{
    TFormMain *main = TFormMain::istanza();
    if (!main)
        return nullptr;
    auto *f = main->ApriFinestra<TFormInsVarRichieste>();
    f->CaricaRichiesta(0);
    f->setWindowTitle(captionTrovaVeloce());
    f->ButtonConferma->setText(QStringLiteral("Salva come Richiesta"));
    const QIcon icona = tavo::icona(tavo::Icona::TrovaVeloce);
    f->setWindowIcon(icona);
    f->finestra()->setWindowIcon(icona);
    return f;
}

QString TFormInsVarRichieste::titolo() const
{
    return windowTitle();
}

void TFormInsVarRichieste::errore(const QString &testo)
{
    ui().messaggio(this, titolo(), testo, UiService::Icona::Errore);
}

// --- showing and loading -------------------------------------------------------------------------------------------

void TFormInsVarRichieste::showEvent(QShowEvent *event)
{
    TEditorBase::showEvent(event);
    if (!m_mostrata)
        FormShow();
}

void TFormInsVarRichieste::FormShow()
{
    m_mostrata = true;
    try {
        CaricaClienti();
        costruisciAlbero();
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    }
    aggiornaComandi();
}

void TFormInsVarRichieste::CaricaClienti()
{
    const QVariant scelto = EditCliente->currentIndex() >= 0 ? EditCliente->currentData() : QVariant();
    {
        const QSignalBlocker blocco(EditCliente);
        EditCliente->clear();
        try {
            for (const tavo::Voce &v : tavo::leggiClienti(m_tr))
                EditCliente->addItem(v.testo, v.id);
        } catch (const db::DbError &e) {
            tavo::TavoApplication::mostraErrore(e.message());
        }
        // The entry chosen before stays chosen when it is still listed.
        selezionaPerId(EditCliente, scelto.isValid() ? scelto.toInt() : -1);
    }
    aggiornaPulsanteCliente();
}

void TFormInsVarRichieste::EditClienteClick()
{
    aggiornaPulsanteCliente();
    impostaModificato(true);
}

void TFormInsVarRichieste::aggiornaPulsanteCliente()
{
    ButtonCliente->setEnabled(EditCliente->currentIndex() >= 0);
}

void TFormInsVarRichieste::costruisciAlbero()
{
    const QList<tavo::GruppoTipologie> gruppi = tavo::raggruppaTipologie(tavo::leggiRigheTipologie(m_tr));
    const QSignalBlocker blocco(EditTipologieImmobile);
    EditTipologieImmobile->clear();
    for (const tavo::GruppoTipologie &g : gruppi) {
        auto *gruppo = new QTreeWidgetItem(EditTipologieImmobile, QStringList{g.testo});
        gruppo->setData(0, RuoloValore, 0);
        impostaStatoNodo(gruppo, StatoNonSpuntato);
        for (const tavo::Voce &t : g.tipi) {
            auto *tipo = new QTreeWidgetItem(gruppo, QStringList{t.testo});
            tipo->setData(0, RuoloValore, t.id);
            impostaStatoNodo(tipo, StatoNonSpuntato);
        }
    }
}

void TFormInsVarRichieste::CaricaLocalita()
{
    const QString testo = EditLocalita->currentText();
    QStringList voci;
    try {
        voci = tavo::leggiLocalitaComuni(m_tr, ComuniPresenti());
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    }
    const QSignalBlocker blocco(EditLocalita);
    EditLocalita->clear();
    EditLocalita->addItems(voci);
    EditLocalita->setCurrentIndex(-1);
    EditLocalita->setEditText(tavo::localitaVerificata(testo, voci));
}

void TFormInsVarRichieste::caricaFonti()
{
    const QString testo = EditFONTE->currentText();
    QStringList voci;
    try {
        voci = tavo::leggiFonti(m_tr);
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    }
    const QSignalBlocker blocco(EditFONTE);
    EditFONTE->clear();
    EditFONTE->addItems(voci);
    EditFONTE->setCurrentIndex(-1);
    EditFONTE->setEditText(testo);
}

void TFormInsVarRichieste::svuotaCampi()
{
    {
        const QSignalBlocker blocco(EditTipologieAnnuncio);
        for (int i = 0; i < EditTipologieAnnuncio->count(); ++i)
            EditTipologieAnnuncio->item(i)->setCheckState(Qt::Unchecked);
    }
    for (QTreeWidgetItemIterator it(EditTipologieImmobile); *it; ++it)
        impostaStatoNodo(*it, StatoNonSpuntato);
    EditComuni->clear();
    aggiornaPulsanteElimina();
    for (TEditNumero *n : {EditPrezzoMin, EditPrezzoMax, EditMqMin, EditMqMax, EditNrLocaliMin, EditNrLocaliMax,
                           EditNrServiziMin, EditNrServiziMax, EditNrCamereMin, EditNrCamereMax})
        n->impostaValore(0);
    EditBoxAuto->setCurrentIndex(-1);
    EditCondizioni->setCurrentIndex(-1);
    for (QCheckBox *c :
         {EditBalcone, EditTerrazzo, EditCantina, EditGiardino, EditAscensore, EditCondizionatore, EditSpazioAperto})
        c->setChecked(false);
    EditTerrazzo->setEnabled(true);
    EditGiardino->setEnabled(true);
    EditFONTE->setEditText(QString());
    EditLocalita->setEditText(QString());
    MemoNote->clear();
}

void TFormInsVarRichieste::riempiCampi(const tavo::DatiRichiesta &d)
{
    {
        const QSignalBlocker blocco(EditCliente);
        selezionaPerId(EditCliente, d.idCliente);
    }
    EditClienteClick();

    EditPrezzoMin->impostaValore(d.prezzoMin);
    EditPrezzoMax->impostaValore(d.prezzoMax);
    EditMqMin->impostaValore(d.mqMin);
    EditMqMax->impostaValore(d.mqMax);
    EditNrLocaliMin->impostaValore(d.nrLocaliMin);
    EditNrLocaliMax->impostaValore(d.nrLocaliMax);
    EditNrServiziMin->impostaValore(d.nrServiziMin);
    EditNrServiziMax->impostaValore(d.nrServiziMax);
    EditNrCamereMin->impostaValore(d.nrCamereMin);
    EditNrCamereMax->impostaValore(d.nrCamereMax);
    selezionaTesto(EditBoxAuto, d.boxAuto);
    selezionaTesto(EditCondizioni, d.condizioni);

    EditBalcone->setChecked(d.balcone);
    EditTerrazzo->setChecked(d.terrazzo);
    EditCantina->setChecked(d.cantina);
    EditGiardino->setChecked(d.giardino);
    EditAscensore->setChecked(d.ascensore);
    EditCondizionatore->setChecked(d.condizionatore);
    EditSpazioAperto->setChecked(d.spazioAperto);
    EditSpazioApertoClick();

    EditFONTE->setEditText(d.fonte);
    EditLocalita->setEditText(d.localita);
    MemoNote->setPlainText(d.note);

    {
        const QSignalBlocker blocco(EditTipologieAnnuncio);
        for (int i = 0; i < EditTipologieAnnuncio->count(); ++i)
            EditTipologieAnnuncio->item(i)->setCheckState(d.tipiAnnuncio.contains(i + 1) ? Qt::Checked : Qt::Unchecked);
    }

    for (QTreeWidgetItemIterator it(EditTipologieImmobile); *it; ++it)
        impostaStatoNodo(*it, StatoNonSpuntato);
    for (int id : d.tipiImmobile)
        if (QTreeWidgetItem *nodo = nodoTipologia(id))
            impostaStatoNodo(nodo, StatoSpuntato);
    {
        // Expanding here is not a user's click.
        const QSignalBlocker blocco(EditTipologieImmobile);
        for (int g = 0; g < EditTipologieImmobile->topLevelItemCount(); ++g) {
            QTreeWidgetItem *gruppo = EditTipologieImmobile->topLevelItem(g);
            if (gruppo->childCount() == 0)
                continue;
            bool qualcuno = false, tutti = true;
            for (int c = 0; c < gruppo->childCount(); ++c) {
                const int stato = statoNodo(gruppo->child(c));
                qualcuno = qualcuno || stato != StatoNonSpuntato;
                tutti = tutti && stato == StatoSpuntato;
            }
            if (qualcuno)
                gruppo->setExpanded(true);
            if (tutti)
                impostaStatoNodo(gruppo, StatoSpuntato);
        }
    }

    EditComuni->clear();
    for (const tavo::Voce &c : d.comuni) {
        auto *item = new QListWidgetItem(c.testo, EditComuni);
        item->setData(RuoloIdComune, c.id);
    }
    aggiornaPulsanteElimina();
}

void TFormInsVarRichieste::CaricaRichiesta(int id)
{
    if (!m_mostrata)
        FormShow();
    try {
        std::optional<tavo::DatiRichiesta> dati;
        if (id != 0) {
            dati = tavo::leggiRichiesta(m_tr, id);
            if (!dati) {
                errore(QStringLiteral("La richiesta selezionata non esiste più."));
                id = 0;
            }
        }
        if (id != 0) {
            riempiCampi(*dati);
            setWindowTitle(QStringLiteral("Modifica Richiesta"));
            bloccaCliente(true);
        } else {
            svuotaCampi();
            setWindowTitle(QStringLiteral("Inserimento Richiesta"));
            bloccaCliente(false);
        }
        CaricaLocalita();
        // The locality stored with the request stays, even when no listing of its municipalities names it any
        // more: emptying it here would drop it at the next save of an unrelated change.
        const QString salvata = dati && id != 0 ? dati->localita.trimmed() : QString();
        if (!salvata.isEmpty() && EditLocalita->currentText().trimmed().isEmpty()) {
            const QSignalBlocker blocco(EditLocalita);
            EditLocalita->addItem(salvata);
            EditLocalita->setCurrentIndex(-1);
            EditLocalita->setEditText(salvata);
        }
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
        CaricaLocalita();
    }
    caricaFonti();
    m_idRichiesta = id;
    impostaModificato(false);
    ripristinaEtichetteRosse();
    PageControl->setCurrentIndex(0);
    if (id != 0)
        EditTipologieAnnuncio->setFocus(Qt::OtherFocusReason);
    else
        EditCliente->setFocus(Qt::OtherFocusReason);
}

void TFormInsVarRichieste::bloccaCliente(bool bloccato)
{
    m_clienteBloccato = bloccato;
    EditCliente->setEnabled(!bloccato);
    ButtonNuovoCliente->setEnabled(!bloccato);
    ButtonCercaCliente->setText(bloccato ? QStringLiteral("Mod. Cliente") : QStringLiteral("Cerca Cliente"));
    aggiornaComandi();
}

void TFormInsVarRichieste::aggiornaComandi()
{
    // The client search, while it is not part of the program, leaves "Cerca Cliente" visible and disabled.
    ButtonCercaCliente->setEnabled(m_clienteBloccato || tavo::schermataRegistrata(classeRicercaClienti()));
}

// --- the property-type tree -----------------------------------------------------------------------------------------

int TFormInsVarRichieste::statoNodo(const QTreeWidgetItem *nodo)
{
    return nodo ? nodo->data(0, RuoloStato).toInt() : 0;
}

int TFormInsVarRichieste::valoreNodo(const QTreeWidgetItem *nodo)
{
    return nodo ? nodo->data(0, RuoloValore).toInt() : 0;
}

QTreeWidgetItem *TFormInsVarRichieste::nodoTipologia(int idTipologia) const
{
    for (QTreeWidgetItemIterator it(EditTipologieImmobile); *it; ++it)
        if (valoreNodo(*it) == idTipologia && idTipologia != 0)
            return *it;
    return nullptr;
}

QTreeWidgetItem *TFormInsVarRichieste::nodoGruppo(const QString &testo) const
{
    for (int g = 0; g < EditTipologieImmobile->topLevelItemCount(); ++g)
        if (EditTipologieImmobile->topLevelItem(g)->text(0) == testo)
            return EditTipologieImmobile->topLevelItem(g);
    return nullptr;
}

void TFormInsVarRichieste::impostaStatoNodo(QTreeWidgetItem *nodo, int stato)
{
    nodo->setData(0, RuoloStato, stato);
    nodo->setIcon(0, stato == StatoSpuntato ? m_iconaSpuntato : m_iconaNonSpuntato);
}

void TFormInsVarRichieste::EditTipologieImmobileClick(QTreeWidgetItem *nodo)
{
    if (m_ignoraProssimoClic) {
        m_ignoraProssimoClic = false;
        return;
    }
    if (!nodo)
        return;
    const int nuovo = statoNodo(nodo) == StatoNonSpuntato ? StatoSpuntato : StatoNonSpuntato;
    impostaStatoNodo(nodo, nuovo);
    impostaModificato(true);
    if (nodo->childCount() > 0) {
        for (int c = 0; c < nodo->childCount(); ++c)
            impostaStatoNodo(nodo->child(c), nuovo);
        return;
    }
    QTreeWidgetItem *padre = nodo->parent();
    if (!padre)
        return;
    if (nuovo == StatoNonSpuntato) {
        impostaStatoNodo(padre, StatoNonSpuntato);
        return;
    }
    for (int c = 0; c < padre->childCount(); ++c)
        if (statoNodo(padre->child(c)) != StatoSpuntato)
            return;
    impostaStatoNodo(padre, StatoSpuntato);
}

// --- other controls --------------------------------------------------------------------------------------------------

void TFormInsVarRichieste::EditSpazioApertoClick()
{
    // Any open space includes a terrace and a garden.
    const bool aperto = EditSpazioAperto->isChecked();
    if (aperto) {
        EditTerrazzo->setChecked(false);
        EditGiardino->setChecked(false);
    }
    EditTerrazzo->setEnabled(!aperto);
    EditGiardino->setEnabled(!aperto);
}

void TFormInsVarRichieste::disponiTipologieAnnuncio()
{
    const QSize area = EditTipologieAnnuncio->viewport()->size();
    const QSize cella(qMax(1, area.width() / 3), qMax(1, area.height()));
    if (EditTipologieAnnuncio->gridSize() != cella)
        EditTipologieAnnuncio->setGridSize(cella);
}

bool TFormInsVarRichieste::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == PageControl->tabBar() && event->type() == QEvent::Paint) {
        disegnaLinguette();
        return true;
    }
    if (watched == EditTipologieImmobile->viewport() && event->type() == QEvent::MouseButtonPress) {
        // A flag left by an expansion that was not a click (the keyboard) does not eat this click.
        m_ignoraProssimoClic = false;
        return false;
    }
    if ((watched == EditBoxAuto || watched == EditCondizioni) && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        static_cast<QComboBox *>(watched)->setCurrentIndex(-1);
        return true;
    }
    if (watched == EditTipologieAnnuncio->viewport() && event->type() == QEvent::Resize)
        disponiTipologieAnnuncio();
    return TEditorBase::eventFilter(watched, event);
}

void TFormInsVarRichieste::disegnaLinguette()
{
    QTabBar *barra = PageControl->tabBar();
    QPainter p(barra);
    const QColor colore = TFormMain::istanza() ? TFormMain::istanza()->palette().color(QPalette::Window)
                                               : palette().color(QPalette::Window);
    const QPalette pal = barra->palette();
    for (int i = 0; i < barra->count(); ++i) {
        const bool corrente = i == barra->currentIndex();
        QRect r = barra->tabRect(i);
        if (!corrente)
            r.adjust(0, 2, 0, 0);
        // Each tab in the main window's colour, the current one a shade lighter and joined to its page.
        p.fillRect(r.adjusted(1, 1, -1, 0), corrente ? colore.lighter(108) : colore);
        p.setPen(pal.color(QPalette::Dark));
        p.drawLine(r.topLeft() + QPoint(1, 0), r.topRight() - QPoint(1, 0));
        p.drawLine(r.topLeft() + QPoint(0, 1), r.bottomLeft());
        p.drawLine(r.topRight() + QPoint(0, 1), r.bottomRight());
        if (!corrente)
            p.drawLine(r.bottomLeft(), r.bottomRight());
        // The caption on one line, vertically centred, 5 pixels from the tab's left edge.
        p.setPen(pal.color(barra->isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        p.drawText(r.adjusted(5, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, barra->tabText(i));
    }
}

// --- municipalities -------------------------------------------------------------------------------------------------

QList<int> TFormInsVarRichieste::ComuniPresenti() const
{
    QList<int> ids;
    for (int i = 0; i < EditComuni->count(); ++i)
        ids << EditComuni->item(i)->data(RuoloIdComune).toInt();
    return ids;
}

void TFormInsVarRichieste::AggiungiComune(const QString &testo, int idComune)
{
    if (ComuniPresenti().contains(idComune))
        return;
    auto *item = new QListWidgetItem(testo, EditComuni);
    item->setData(RuoloIdComune, idComune);
}

void TFormInsVarRichieste::ComuniAggiunti()
{
    impostaModificato(true);
    CaricaLocalita();
}

void TFormInsVarRichieste::aggiornaPulsanteElimina()
{
    ButtonEliminaComuni->setEnabled(!EditComuni->selectedItems().isEmpty());
}

void TFormInsVarRichieste::ButtonAggiungiComuneClick()
{
    auto *scelta = TFormMain::istanza()->ApriFinestra<TFormInserimentoComune>();
    scelta->ButtonAggiungieContinua->setVisible(true);
    scelta->ButtonAggiungieFine->setText(QStringLiteral("Aggiungi e Fine Selezione"));
    scelta->ButtonFine->setText(QStringLiteral("Fine Selezione"));
    scelta->FinestraRichiedente = this;
}

void TFormInsVarRichieste::ButtonEliminaComuniClick()
{
    if (EditComuni->selectedItems().isEmpty())
        return;
    const auto risposta = ui().domanda(
        this, titolo(),
        QStringLiteral("Conferma l'eliminazione degli elementi selezionati dalla lista dei comuni della richiesta?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, UiService::Icona::Domanda);
    if (risposta == QMessageBox::No)
        return;
    qDeleteAll(EditComuni->selectedItems());
    aggiornaPulsanteElimina();
    CaricaLocalita();
    impostaModificato(true);
}

// --- client -------------------------------------------------------------------------------------------------------

void TFormInsVarRichieste::ButtonCercaClienteClick()
{
    if (m_clienteBloccato) {
        const auto risposta = ui().domanda(
            this, titolo(), QStringLiteral("Conferma l'intenzione di modificare il cliente di questa richiesta?"),
            QMessageBox::Yes | QMessageBox::No, QMessageBox::No, UiService::Icona::Avviso);
        if (risposta != QMessageBox::No)
            bloccaCliente(false);
        return;
    }
    tavo::apriSceltaCliente();
}

void TFormInsVarRichieste::ButtonNuovoClienteClick()
{
    TFormMain::istanza()->ApriFinestra<TFormInsVarClienti>()->CaricaCliente(0);
}

void TFormInsVarRichieste::ButtonClienteClick()
{
    if (EditCliente->currentIndex() < 0)
        return;
    const int id = EditCliente->currentData().toInt();
    TFormMain::istanza()->ApriFinestra<TFormInsVarClienti>()->CaricaCliente(id);
}

// --- validation -----------------------------------------------------------------------------------------------------

void TFormInsVarRichieste::ripristinaEtichetteRosse()
{
    tavo::ripristinaEtichette({LabelCliente, LabelTipologieAnnuncio, LabelTipologieImmobile, LabelComuni});
}

void TFormInsVarRichieste::rifiuta(const QString &testo, QLabel *etichetta, QWidget *campo)
{
    errore(testo);
    tavo::rifiutaCampo(etichetta, campo);
}

bool TFormInsVarRichieste::Convalida(bool perConferma)
{
    ripristinaEtichetteRosse();
    if (perConferma && EditCliente->currentIndex() < 0) {
        rifiuta(QStringLiteral("Selezionare un Cliente"), LabelCliente, EditCliente);
        return false;
    }
    const tavo::DatiRichiesta d = valoriSchermo();
    if (d.tipiAnnuncio.isEmpty()) {
        rifiuta(QStringLiteral("Selezionare almeno una Tipologia di Annuncio"), LabelTipologieAnnuncio,
                EditTipologieAnnuncio);
        return false;
    }
    bool spuntato = false;
    for (QTreeWidgetItemIterator it(EditTipologieImmobile); *it && !spuntato; ++it)
        spuntato = statoNodo(*it) == StatoSpuntato;
    if (!spuntato) {
        rifiuta(QStringLiteral("Selezionare almeno una Tipologia di Immobile"), LabelTipologieImmobile,
                EditTipologieImmobile);
        return false;
    }
    if (EditComuni->count() == 0) {
        rifiuta(QStringLiteral("Selezionare un Comune"), LabelComuni, EditComuni);
        return false;
    }
    return true;
}

bool TFormInsVarRichieste::ConfermaRichiestaGenerica(bool perRicerca)
{
    if (!tavo::richiestaGenerica(valoriSchermo()))
        return true;
    const auto risposta = ui().domanda(this, titolo(), tavo::testoDomandaGenerica(perRicerca),
                                       QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, UiService::Icona::Avviso);
    if (risposta == QMessageBox::Yes)
        return true;
    EditPrezzoMin->setFocus(Qt::OtherFocusReason);
    return false;
}

tavo::DatiRichiesta TFormInsVarRichieste::valoriSchermo() const
{
    tavo::DatiRichiesta d;
    d.idRichiesta = m_idRichiesta;
    d.idCliente = EditCliente->currentIndex() >= 0 ? EditCliente->currentData().toInt() : 0;
    d.prezzoMin = EditPrezzoMin->valore();
    d.prezzoMax = EditPrezzoMax->valore();
    d.mqMin = EditMqMin->valore();
    d.mqMax = EditMqMax->valore();
    d.nrLocaliMin = EditNrLocaliMin->valore();
    d.nrLocaliMax = EditNrLocaliMax->valore();
    d.nrServiziMin = EditNrServiziMin->valore();
    d.nrServiziMax = EditNrServiziMax->valore();
    d.nrCamereMin = EditNrCamereMin->valore();
    d.nrCamereMax = EditNrCamereMax->valore();
    if (EditBoxAuto->currentIndex() >= 0)
        d.boxAuto = EditBoxAuto->currentText();
    if (EditCondizioni->currentIndex() >= 0)
        d.condizioni = EditCondizioni->currentText();
    d.localita = EditLocalita->currentText();
    d.balcone = EditBalcone->isChecked();
    d.terrazzo = EditTerrazzo->isChecked();
    d.cantina = EditCantina->isChecked();
    d.giardino = EditGiardino->isChecked();
    d.ascensore = EditAscensore->isChecked();
    d.condizionatore = EditCondizionatore->isChecked();
    d.spazioAperto = EditSpazioAperto->isChecked();
    d.fonte = EditFONTE->currentText();
    d.note = MemoNote->toPlainText();
    for (int i = 0; i < EditTipologieAnnuncio->count(); ++i)
        if (EditTipologieAnnuncio->item(i)->checkState() == Qt::Checked)
            d.tipiAnnuncio << i + 1;
    for (QTreeWidgetItemIterator it(EditTipologieImmobile); *it; ++it)
        if (valoreNodo(*it) != 0 && statoNodo(*it) == StatoSpuntato)
            d.tipiImmobile << valoreNodo(*it);
    for (int i = 0; i < EditComuni->count(); ++i)
        d.comuni.append({EditComuni->item(i)->data(RuoloIdComune).toInt(), EditComuni->item(i)->text()});
    return d;
}

// --- confirmation ---------------------------------------------------------------------------------------------------

bool TFormInsVarRichieste::salva()
{
    return Conferma() == Esito::SalvataChiudi;
}

void TFormInsVarRichieste::ButtonConfermaClick()
{
    if (Conferma() == Esito::SalvataChiudi)
        finestra()->close();
}

void TFormInsVarRichieste::ButtonAnnullaClick()
{
    finestra()->close();
}

TFormInsVarRichieste::Esito TFormInsVarRichieste::Conferma()
{
    const bool nuova = m_idRichiesta == 0;
    int idSalvato = 0;
    try {
        if (!Convalida(true) || !ConfermaRichiestaGenerica(false))
            return Esito::Rifiutata;
        idSalvato = tavo::salvaRichiesta(m_tr, valoriSchermo());
    } catch (const db::DbError &e) {
        // Nothing of this save was committed; the window stays open with its changes.
        tavo::TavoApplication::mostraErrore(e.message());
        return Esito::Rifiutata;
    }
    aggiornaAltreFinestre(idSalvato);
    impostaModificato(false);
    if (!nuova)
        return Esito::SalvataChiudi;
    const auto risposta = ui().domanda(
        this, titolo(),
        QString::fromUtf8("La richiesta è stata inserita correttamente. Procedere con un nuovo inserimento?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No, UiService::Icona::Informazione);
    CaricaRichiesta(0);
    return risposta == QMessageBox::Yes ? Esito::Salvata : Esito::SalvataChiudi;
}

void TFormInsVarRichieste::aggiornaAltreFinestre(int idSalvato)
{
    TFormMain *main = TFormMain::istanza();
    tavo::TDataModuleQueryComposte *dm = main->DataModuleQueryComposte();
    try {
        if (dm) {
            // Its counts are stale now.
            dm->MemTableAnnunci()->close();
            dm->AggiornaRichiesta(idSalvato);
        }
        if (QWidget *ricerca = main->finestraAperta(classeRicercaRichieste());
            ricerca && ricerca->metaObject()->indexOfMethod("AggiornaListe()") >= 0)
            QMetaObject::invokeMethod(ricerca, "AggiornaListe", Qt::DirectConnection);
    } catch (const db::DbError &e) {
        // The request is saved: a refresh that fails is shown and the rest goes on.
        tavo::TavoApplication::mostraErrore(e.message());
    } catch (const tavo::MemTableError &e) {
        errore(e.message());
    }
    chiudiSchermata(main->finestraAperta(QStringLiteral("TFormRicercaAnnunci")));
}

void TFormInsVarRichieste::closeEvent(QCloseEvent *event)
{
    if (modificato() && titolo() != captionTrovaVeloce()) {
        const auto risposta = ui().domanda(this, titolo(), QStringLiteral("Campi modificati. Salvare i dati immessi?"),
                                           QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
                                           UiService::Icona::Avviso);
        if (risposta == QMessageBox::Cancel || (risposta == QMessageBox::Yes && !salva())) {
            event->ignore();
            return;
        }
    }
    TEditorBase::closeEvent(event);
}

// --- matches of the request on screen -------------------------------------------------------------------------------

void TFormInsVarRichieste::ButtonMostraIncrociClick()
{
    QVector<int> ids;
    try {
        if (!Convalida(false) || !ConfermaRichiestaGenerica(true))
            return;
        ids = IncrociSchermo();
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
        return;
    }
    if (ids.isEmpty()) {
        errore(QStringLiteral("Nessun Annuncio soddisfa le condizioni immesse"));
        return;
    }
    ConsegnaIncroci(ids);
}

QVector<int> TFormInsVarRichieste::IncrociSchermo()
{
    tavo::TDataModuleQueryComposte *dm = TFormMain::istanza()->DataModuleQueryComposte();
    if (!dm)
        return {};
    return dm->IncrociRichiesta(tavo::valoriIncrocio(valoriSchermo()));
}

void TFormInsVarRichieste::ConsegnaIncroci(const QVector<int> &ids)
{
    tavo::TDataModuleQueryComposte *dm = TFormMain::istanza()->DataModuleQueryComposte();
    if (!dm || ids.isEmpty())
        return;
    try {
        tavo::TMemTable *annunci = dm->MemTableAnnunci();
        annunci->close();
        annunci->setFilter(QString());
        annunci->setFiltered(false);
        QStringList &sql = dm->IBDataSetAnnunci().SQL();
        sql[tavo::TDataModuleQueryComposte::RigaFiltroAnnunci] = tavo::filtroAnnunciIncrociati(ids);
        sql[tavo::TDataModuleQueryComposte::RigaOrdineAnnunci] = QStringLiteral("order by PREZZO");
        TFormRicercaAnnunci *ricerca = TFormMain::istanza()->ApriFinestra<TFormRicercaAnnunci>();
        ricerca->MostraElencoIncroci(QStringLiteral("Elenco Annunci incrociati su Richiesta"), m_idRichiesta);
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    } catch (const tavo::MemTableError &e) {
        errore(e.message());
    }
}
