#include "widgets/searchgrid.h"

#include "widgets/formbase.h"
#include "widgets/uiservice.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>
#include <QTimer>

namespace tavo {

namespace {

const int LarghezzaFreccia = 8;
const int AltezzaFreccia = 5;
// Columns sized to their content stop here, so that a long description does not push the others away.
const int LarghezzaMassimaIniziale = 300;

QString chiaveColonna(const QString &nome)
{
    return nome.trimmed().toUpper();
}

TSearchGrid::Esportatore &esportatoreInstallato()
{
    static TSearchGrid::Esportatore esportatore;
    return esportatore;
}

} // namespace

// ---- Header ---------------------------------------------------------------------------------------------------

TIntestazioneGriglia::TIntestazioneGriglia(QWidget *parent) : QHeaderView(Qt::Horizontal, parent)
{
    setObjectName(QStringLiteral("IntestazioneGriglia"));
}

void TIntestazioneGriglia::impostaMarcatore(int sezione, int stato)
{
    if (stato == 0)
        sezione = -1;
    if (sezione == m_sezione && stato == m_stato)
        return;
    m_sezione = sezione;
    m_stato = stato;
    viewport()->update();
}

void TIntestazioneGriglia::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (logicalIndex != m_sezione || m_stato == 0 || !rect.isValid()) {
        QHeaderView::paintSection(painter, rect, logicalIndex);
        return;
    }
    // Drawn by hand: every style shades its header buttons, and the sorted title must show this colour.
    QStyleOptionHeader opt;
    initStyleOption(&opt);
    initStyleOptionForIndex(&opt, logicalIndex);
    opt.sortIndicator = QStyleOptionHeader::None;
    const int margine = style()->pixelMetric(QStyle::PM_HeaderMargin, &opt, this);

    painter->save();
    painter->fillRect(rect, coloreOrdinamento());
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());

    opt.rect = rect.adjusted(margine, 0, -(2 * margine + LarghezzaFreccia), 0);
    opt.palette.setColor(QPalette::ButtonText, palette().color(QPalette::ButtonText));
    style()->drawControl(QStyle::CE_HeaderLabel, &opt, painter, this);

    // Up arrow for ascending, down arrow for descending.
    const qreal x = rect.right() - margine - LarghezzaFreccia;
    const qreal y = rect.center().y() - AltezzaFreccia / 2.0;
    QPainterPath freccia;
    if (m_stato == 1) {
        freccia.moveTo(x, y + AltezzaFreccia);
        freccia.lineTo(x + LarghezzaFreccia, y + AltezzaFreccia);
        freccia.lineTo(x + LarghezzaFreccia / 2.0, y);
    } else {
        freccia.moveTo(x, y);
        freccia.lineTo(x + LarghezzaFreccia, y);
        freccia.lineTo(x + LarghezzaFreccia / 2.0, y + AltezzaFreccia);
    }
    freccia.closeSubpath();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(palette().color(QPalette::ButtonText));
    painter->drawPath(freccia);
    painter->restore();
}

QSize TIntestazioneGriglia::sectionSizeFromContents(int logicalIndex) const
{
    // Room for the arrow, so that sorting never cuts a title.
    QSize s = QHeaderView::sectionSizeFromContents(logicalIndex);
    s.rwidth() += LarghezzaFreccia + style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
    return s;
}

// ---- Row colours ----------------------------------------------------------------------------------------------

class TDelegatoGriglia : public QStyledItemDelegate
{
public:
    explicit TDelegatoGriglia(TSearchGrid *griglia) : QStyledItemDelegate(griglia), m_griglia(griglia) {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const int riga = index.row();
        if (m_griglia->m_coloreTesto) {
            const QColor c = m_griglia->m_coloreTesto(riga);
            if (c.isValid())
                option->palette.setColor(QPalette::Text, c);
        }
        if (m_griglia->m_coloreTestoSelezionato) {
            const QColor c = m_griglia->m_coloreTestoSelezionato(riga);
            if (c.isValid())
                option->palette.setColor(QPalette::HighlightedText, c);
        }
        if (m_griglia->m_coloreSfondo) {
            const QColor c = m_griglia->m_coloreSfondo(riga);
            if (c.isValid())
                option->backgroundBrush = c;
        }
    }

private:
    TSearchGrid *m_griglia;
};

// ---- Grid -----------------------------------------------------------------------------------------------------

TSearchGrid::TSearchGrid(QWidget *parent) : QTableView(parent)
{
    m_intestazione = new TIntestazioneGriglia(this);
    setHorizontalHeader(m_intestazione);
    m_intestazione->setSectionsClickable(true);
    m_intestazione->setHighlightSections(false);
    m_intestazione->setSortIndicatorShown(false);
    m_intestazione->setSectionResizeMode(QHeaderView::Interactive);
    m_intestazione->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_intestazione->setMinimumSectionSize(24);
    m_intestazione->setStretchLastSection(false);
    m_intestazione->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_intestazione, &QHeaderView::sectionClicked, this, &TSearchGrid::sezioneCliccata);
    connect(m_intestazione, &QWidget::customContextMenuRequested, this, &TSearchGrid::menuIntestazione);

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);

    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    setWordWrap(false);
    setSortingEnabled(false);
    setTabKeyNavigation(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setItemDelegate(new TDelegatoGriglia(this));

    // The current row stays highlighted while another control has the focus.
    QPalette p = palette();
    p.setBrush(QPalette::Inactive, QPalette::Highlight, p.brush(QPalette::Active, QPalette::Highlight));
    p.setBrush(QPalette::Inactive, QPalette::HighlightedText, p.brush(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
}

void TSearchGrid::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
}

void TSearchGrid::showEvent(QShowEvent *event)
{
    QTableView::showEvent(event);
    // The current row chosen before the grid was shown comes into view once the layout has sized it.
    QTimer::singleShot(0, this, [this] {
        if (currentIndex().isValid())
            scrollTo(currentIndex());
    });
}

void TSearchGrid::setModel(QAbstractItemModel *nuovo)
{
    for (const auto &c : std::as_const(m_connessioniModello))
        disconnect(c);
    m_connessioniModello.clear();
    disconnect(m_connessioneTabella);
    m_tabella = nullptr;

    QTableView::setModel(nuovo);
    if (!nuovo)
        return;

    m_connessioniModello << connect(nuovo, &QAbstractItemModel::modelAboutToBeReset, this, &TSearchGrid::primaDelReset)
                         << connect(nuovo, &QAbstractItemModel::modelReset, this, &TSearchGrid::dopoIlReset)
                         << connect(nuovo, &QAbstractItemModel::columnsInserted, this, &TSearchGrid::colonneCambiate)
                         << connect(nuovo, &QAbstractItemModel::rowsInserted, this, &TSearchGrid::dimensionaPrimaVolta)
                         << connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                                    &TSearchGrid::rigaCorrenteCambiata);
    if (TMemTableModel *mm = modelloTabella()) {
        m_tabella = mm->table();
        if (m_tabella)
            m_connessioneTabella =
                connect(m_tabella, &TMemTable::currentChanged, this, &TSearchGrid::cursoreTabellaCambiato);
    }
    colonneCambiate();
    vaiAllaRigaDellaTabella(true);
}

TMemTableModel *TSearchGrid::modelloTabella() const
{
    return qobject_cast<TMemTableModel *>(model());
}

bool TSearchGrid::selezioneMultipla() const
{
    return selectionMode() == QAbstractItemView::ExtendedSelection;
}

void TSearchGrid::impostaSelezioneMultipla(bool multipla)
{
    setSelectionMode(multipla ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

// ---- Sorting --------------------------------------------------------------------------------------------------

void TSearchGrid::sezioneCliccata(int sezione)
{
    const QString nome = nomeColonna(sezione);
    if (!nome.isEmpty())
        TitleClick(nome);
}

void TSearchGrid::TitleClick(const QString &colonna)
{
    if (!colonna.isEmpty()) {
        emit titoloCliccato(colonna);
        // Another column while a sort is active takes over the direction; otherwise the state moves on.
        const bool altraColonna =
            m_stato != Nessuno && !m_colonna.isEmpty() && colonna.compare(m_colonna, Qt::CaseInsensitive) != 0;
        m_colonna = colonna;
        if (!altraColonna)
            m_stato = (m_stato + 1) % 3;
        if (m_stato == Nessuno)
            m_colonna.clear();
    }
    aggiornaMarcatore();
    applicaOrdinamento();
}

void TSearchGrid::impostaOrdinamento(const QString &colonna, int stato)
{
    if ((stato != Crescente && stato != Decrescente) || colonna.trimmed().isEmpty()) {
        m_stato = Nessuno;
        m_colonna.clear();
    } else {
        m_stato = stato;
        m_colonna = colonna.trimmed();
    }
    aggiornaMarcatore();
}

void TSearchGrid::applicaOrdinamento()
{
    if (m_ordinamentoDatabase) {
        emit ordinamentoRichiesto(m_colonna, m_stato);
        return;
    }
    const Qt::SortOrder verso = m_stato == Decrescente ? Qt::DescendingOrder : Qt::AscendingOrder;
    TMemTableModel *mm = modelloTabella();
    if (!mm) {
        // Another model sorts itself; column -1 is its natural order.
        if (model())
            model()->sort(m_stato == Nessuno ? -1 : sezioneColonna(m_colonna), verso);
        return;
    }
    TMemTable *tabella = mm->table();
    // A closed table has no order to change: the state waits for the reapply after it is opened.
    if (!tabella || !tabella->isOpen())
        return;
    try {
        if (m_stato == Nessuno)
            tabella->clearSort();
        else
            tabella->sortOn(m_colonna, verso);
    } catch (const MemTableError &) {
        rifiutaOrdinamento();
    }
}

void TSearchGrid::rifiutaOrdinamento()
{
    m_colonna.clear();
    m_stato = Nessuno;
    aggiornaMarcatore();
    // The table goes back to its natural order, so that what is shown matches the cleared marker.
    if (!m_ordinamentoDatabase) {
        if (TMemTableModel *mm = modelloTabella()) {
            if (mm->table() && mm->table()->isOpen()) {
                try {
                    mm->table()->clearSort();
                } catch (const MemTableError &) {
                    // A pending edit that cannot be posted: the order stays as it is.
                }
            }
        }
    }
    ui().messaggio(schermata(), titoloSchermata(), QStringLiteral("L'ordinamento su questo campo non è possibile"),
                   UiService::Icona::Errore);
}

void TSearchGrid::aggiornaMarcatore()
{
    m_intestazione->impostaMarcatore(m_stato == Nessuno ? -1 : sezioneColonna(m_colonna), m_stato);
}

// ---- Columns --------------------------------------------------------------------------------------------------

QString TSearchGrid::nomeColonna(int sezione) const
{
    if (!model() || sezione < 0 || sezione >= model()->columnCount())
        return QString();
    if (TMemTableModel *mm = modelloTabella())
        return mm->columnName(sezione);
    const QVariant nome = model()->headerData(sezione, Qt::Horizontal, TMemTableModel::ColumnNameRole);
    if (nome.isValid() && !nome.toString().isEmpty())
        return nome.toString();
    return model()->headerData(sezione, Qt::Horizontal, Qt::DisplayRole).toString();
}

int TSearchGrid::sezioneColonna(const QString &nome) const
{
    if (!model() || nome.trimmed().isEmpty())
        return -1;
    const int n = model()->columnCount();
    for (int s = 0; s < n; ++s) {
        if (nomeColonna(s).compare(nome.trimmed(), Qt::CaseInsensitive) == 0)
            return s;
    }
    return -1;
}

void TSearchGrid::nascondiColonna(const QString &nome, bool nascosta)
{
    const QString chiave = chiaveColonna(nome);
    if (chiave.isEmpty())
        return;
    if (nascosta)
        m_nascoste.insert(chiave);
    else
        m_nascoste.remove(chiave);
    const int s = sezioneColonna(nome);
    if (s >= 0)
        setColumnHidden(s, nascosta);
}

bool TSearchGrid::colonnaNascosta(const QString &nome) const
{
    const int s = sezioneColonna(nome);
    return s >= 0 ? isColumnHidden(s) : m_nascoste.contains(chiaveColonna(nome));
}

QMenu *TSearchGrid::menuColonne()
{
    if (!m_menuColonne) {
        m_menuColonne = new QMenu(this);
        m_menuColonne->setObjectName(QStringLiteral("MenuColonne"));
        m_menuColonne->setTitle(QStringLiteral("Colonne visibili"));
    }
    m_menuColonne->clear();
    m_menuColonne->addSection(QStringLiteral("Colonne visibili"));
    if (!model())
        return m_menuColonne;
    int visibili = 0;
    for (int s = 0; s < model()->columnCount(); ++s)
        visibili += !isColumnHidden(s);
    for (int v = 0; v < m_intestazione->count(); ++v) {
        const int s = m_intestazione->logicalIndex(v);
        const QString nome = nomeColonna(s);
        QAction *voce = m_menuColonne->addAction(model()->headerData(s, Qt::Horizontal, Qt::DisplayRole).toString());
        voce->setObjectName(QStringLiteral("Colonna") + nome);
        voce->setData(nome);
        voce->setCheckable(true);
        voce->setChecked(!isColumnHidden(s));
        // The last visible column stays: a grid without columns could not give its menu back.
        voce->setEnabled(isColumnHidden(s) || visibili > 1);
        connect(voce, &QAction::toggled, this, [this, nome](bool visibile) { nascondiColonna(nome, !visibile); });
    }
    return m_menuColonne;
}

void TSearchGrid::menuIntestazione(const QPoint &pos)
{
    menuColonne()->popup(m_intestazione->viewport()->mapToGlobal(pos));
}

void TSearchGrid::colonneCambiate()
{
    applicaColonne();
    dimensionaPrimaVolta();
    aggiornaMarcatore();
}

void TSearchGrid::applicaColonne()
{
    if (!model())
        return;
    const int n = model()->columnCount();
    int nascoste = 0;
    for (int s = 0; s < n; ++s) {
        const QString chiave = chiaveColonna(nomeColonna(s));
        const bool nascosta = m_nascoste.contains(chiave);
        setColumnHidden(s, nascosta);
        nascoste += nascosta;
        const auto l = m_larghezze.constFind(chiave);
        if (l != m_larghezze.constEnd())
            setColumnWidth(s, l.value());
    }
    // Settings that hide every column would leave an empty grid with no header to right-click on.
    if (n > 0 && nascoste == n)
        nascondiColonna(nomeColonna(0), false);
}

void TSearchGrid::dimensionaPrimaVolta()
{
    if (m_dimensionata || !model() || model()->rowCount() == 0 || model()->columnCount() == 0)
        return;
    m_dimensionata = true;
    for (int s = 0; s < model()->columnCount(); ++s) {
        if (m_larghezze.contains(chiaveColonna(nomeColonna(s))))
            continue;
        resizeColumnToContents(s);
        if (columnWidth(s) > LarghezzaMassimaIniziale)
            setColumnWidth(s, LarghezzaMassimaIniziale);
    }
}

void TSearchGrid::primaDelReset()
{
    // A reset forgets the header's sections: keep what the user made of them by column name.
    if (!model() || !m_dimensionata)
        return;
    for (int s = 0; s < model()->columnCount(); ++s) {
        if (!isColumnHidden(s))
            m_larghezze.insert(chiaveColonna(nomeColonna(s)), columnWidth(s));
    }
}

void TSearchGrid::dopoIlReset()
{
    colonneCambiate();
    vaiAllaRigaDellaTabella(true);
}

// ---- Current row ----------------------------------------------------------------------------------------------

void TSearchGrid::rigaCorrenteCambiata(const QModelIndex &corrente)
{
    TMemTableModel *mm = modelloTabella();
    if (m_sincronizzando || !corrente.isValid() || !mm || !m_tabella || !m_tabella->isOpen() ||
        m_tabella->state() != TMemTable::State::Browse)
        return;
    const RowId id = mm->bookmark(corrente.row());
    if (id == 0 || id == m_tabella->bookmark())
        return;
    m_sincronizzando = true;
    try {
        m_tabella->gotoBookmark(id);
    } catch (const MemTableError &) {
        // Browse state was checked: nothing to post, so nothing can fail here.
    }
    m_sincronizzando = false;
}

void TSearchGrid::cursoreTabellaCambiato()
{
    if (!m_sincronizzando)
        vaiAllaRigaDellaTabella(!selezioneMultipla());
}

void TSearchGrid::vaiAllaRigaDellaTabella(bool seleziona)
{
    TMemTableModel *mm = modelloTabella();
    if (!mm || !m_tabella || !m_tabella->isOpen())
        return;
    const int riga = mm->rowOf(m_tabella->bookmark());
    if (riga < 0)
        return;
    int colonna = currentIndex().isValid() ? currentIndex().column() : -1;
    for (int v = 0; colonna < 0 && v < m_intestazione->count(); ++v) {
        if (!m_intestazione->isSectionHidden(m_intestazione->logicalIndex(v)))
            colonna = m_intestazione->logicalIndex(v);
    }
    if (colonna < 0)
        return;
    const QModelIndex indice = mm->index(riga, colonna);
    m_sincronizzando = true;
    selectionModel()->setCurrentIndex(indice, seleziona
                                                  ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
                                                  : QItemSelectionModel::NoUpdate);
    m_sincronizzando = false;
    // A hidden grid has no real height yet: scrolling now would leave it scrolled by part of a row.
    if (isVisible())
        scrollTo(indice);
}

// ---- Row colours ----------------------------------------------------------------------------------------------

void TSearchGrid::impostaColoreTesto(ColoreRiga colore)
{
    m_coloreTesto = std::move(colore);
    viewport()->update();
}

void TSearchGrid::impostaColoreTestoSelezionato(ColoreRiga colore)
{
    m_coloreTestoSelezionato = std::move(colore);
    viewport()->update();
}

void TSearchGrid::impostaColoreSfondo(ColoreRiga colore)
{
    m_coloreSfondo = std::move(colore);
    viewport()->update();
}

// ---- Pop-up menu ----------------------------------------------------------------------------------------------

void TSearchGrid::impostaMenu(QMenu *menu)
{
    m_menu = menu;
    if (m_menu && m_voceDefault && m_menu->actions().contains(m_voceDefault))
        m_menu->setDefaultAction(m_voceDefault);
}

void TSearchGrid::impostaVoceDefault(QAction *voce)
{
    if (m_voceDefault && m_voceDefault != voce) {
        QFont f = m_voceDefault->font();
        f.setBold(false);
        m_voceDefault->setFont(f);
    }
    m_voceDefault = voce;
    if (voce) {
        QFont f = voce->font();
        f.setBold(true);
        voce->setFont(f);
    }
    if (m_menu)
        m_menu->setDefaultAction(voce && m_menu->actions().contains(voce) ? voce : nullptr);
}

void TSearchGrid::eseguiVoceDefault()
{
    if (m_voceDefault && m_voceDefault->isEnabled())
        m_voceDefault->trigger();
}

void TSearchGrid::contextMenuEvent(QContextMenuEvent *event)
{
    if (!m_menu) {
        event->ignore();
        return;
    }
    // The menu acts on the row under the mouse.
    const QModelIndex indice = indexAt(event->pos());
    if (indice.isValid() && event->reason() == QContextMenuEvent::Mouse &&
        !(selezioneMultipla() && selectionModel()->isRowSelected(indice.row(), indice.parent())))
        selectionModel()->setCurrentIndex(indice, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_menu->popup(event->globalPos());
    event->accept();
}

void TSearchGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        eseguiVoceDefault();
}

void TSearchGrid::keyPressEvent(QKeyEvent *event)
{
    const bool invio = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (invio && m_voceDefault && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (currentIndex().isValid())
            eseguiVoceDefault();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

// ---- Export ---------------------------------------------------------------------------------------------------

QList<QAction *> TSearchGrid::aggiungiVociEsportazione(QMenu *menu, const QString &nome, const QList<int> &abilitati)
{
    static const char *const testi[] = {"Esporta in MS Excel", "Esporta in HTML", "Esporta in CSV", "Esporta in XML"};
    static const char *const nomi[] = {"MenuEsportainMSExcel", "MenuEsportainHTML", "MenuEsportainCSV",
                                       "MenuEsportainXML"};
    QList<QAction *> voci;
    for (int tipo = 0; tipo < 4; ++tipo) {
        QAction *voce = menu->addAction(QString::fromUtf8(testi[tipo]));
        voce->setObjectName(QString::fromLatin1(nomi[tipo]));
        voce->setData(tipo);
        voce->setEnabled(abilitati.contains(tipo));
        connect(voce, &QAction::triggered, this, [this, tipo, nome] { esporta(tipo, nome); });
        voci << voce;
    }
    return voci;
}

bool TSearchGrid::esporta(int tipo, const QString &nome)
{
    const Esportatore &esportatore = esportatoreInstallato();
    return esportatore && esportatore(tipo, nome, this);
}

void TSearchGrid::impostaEsportatore(Esportatore esportatore)
{
    esportatoreInstallato() = std::move(esportatore);
}

// ---- Settings -------------------------------------------------------------------------------------------------

void TSearchGrid::salvaStato(const TFormBase *form, const QString &prefisso) const
{
    if (!form)
        return;
    form->salvaImpostazione(prefisso + QStringLiteral("SortedColumn"), m_stato == Nessuno ? QString() : m_colonna);
    form->salvaImpostazione(prefisso + QStringLiteral("SortMarker"), m_stato);

    QStringList nascoste(m_nascoste.cbegin(), m_nascoste.cend());
    nascoste.sort();
    form->salvaImpostazione(prefisso + QStringLiteral("ColonneNascoste"), nascoste);

    // Widths are the user's only once the grid has sized itself; before that they are the defaults.
    QHash<QString, int> larghezze = m_larghezze;
    if (m_dimensionata && model()) {
        for (int s = 0; s < model()->columnCount(); ++s) {
            if (!isColumnHidden(s))
                larghezze.insert(chiaveColonna(nomeColonna(s)), columnWidth(s));
        }
    }
    QStringList voci;
    for (auto it = larghezze.cbegin(); it != larghezze.cend(); ++it)
        voci << it.key() + QLatin1Char('=') + QString::number(it.value());
    voci.sort();
    form->salvaImpostazione(prefisso + QStringLiteral("LarghezzeColonne"), voci);
}

void TSearchGrid::ripristinaStato(const TFormBase *form, const QString &prefisso)
{
    if (!form)
        return;
    // Values edited by hand that make no sense are ignored, one by one.
    bool ok = false;
    int marcatore = form->leggiImpostazione(prefisso + QStringLiteral("SortMarker"), 0).toInt(&ok);
    if (!ok)
        marcatore = Nessuno;
    impostaOrdinamento(form->leggiImpostazione(prefisso + QStringLiteral("SortedColumn")).toString(), marcatore);

    m_nascoste.clear();
    const QStringList nascoste = form->leggiImpostazione(prefisso + QStringLiteral("ColonneNascoste")).toStringList();
    for (const QString &nome : nascoste) {
        if (!chiaveColonna(nome).isEmpty())
            m_nascoste.insert(chiaveColonna(nome));
    }

    m_larghezze.clear();
    const QStringList voci = form->leggiImpostazione(prefisso + QStringLiteral("LarghezzeColonne")).toStringList();
    for (const QString &voce : voci) {
        const QString nome = chiaveColonna(voce.section(QLatin1Char('='), 0, 0));
        const int larghezza = voce.section(QLatin1Char('='), 1).trimmed().toInt(&ok);
        if (!nome.isEmpty() && ok && larghezza >= 10 && larghezza <= 5000)
            m_larghezze.insert(nome, larghezza);
    }
    colonneCambiate();
}

// ---- Screen ---------------------------------------------------------------------------------------------------

QWidget *TSearchGrid::schermata() const
{
    for (QWidget *w = parentWidget(); w; w = w->parentWidget()) {
        if (auto *form = qobject_cast<TFormBase *>(w))
            return form;
    }
    return window();
}

QString TSearchGrid::titoloSchermata() const
{
    for (QWidget *w = parentWidget(); w; w = w->parentWidget()) {
        if (auto *form = qobject_cast<TFormBase *>(w))
            return form->finestra()->windowTitle();
    }
    return window()->windowTitle();
}

} // namespace tavo
