#include "clients/frmInserimentoComune.h"

#include "app/frmMain.h"
#include "clients/richiedentecomune.h"
#include "widgets/uiservice.h"

#include <QSignalBlocker>

using tavo::ui;
using tavo::UiService;

namespace {
const char *const ChiaviPosizioni[] = {"EditRegione_ItemIndex", "EditProvincia_ItemIndex", "EditComune_ItemIndex",
                                       "EditZona_ItemIndex"};
} // namespace

TFormInserimentoComune::TFormInserimentoComune(QWidget *parent)
    : TFormBase(QStringLiteral("FormInserimentoComune"), parent), m_tr(TFormMain::istanza()->database()), m_query(m_tr)
{
    setupUi(this);
    setWindowTitle(QStringLiteral("Scelta e inserimento Comune"));
    setFixedSize(677, 382);
    // The nation is always Italy: its list stays hidden.
    LabelNazione->setVisible(false);
    EditNazione->setVisible(false);
    // The zone list keeps its place while hidden, so the other lists do not move.
    for (QWidget *w : {static_cast<QWidget *>(LabelZona), static_cast<QWidget *>(EditZona)}) {
        QSizePolicy politica = w->sizePolicy();
        politica.setRetainSizeWhenHidden(true);
        w->setSizePolicy(politica);
        w->setVisible(false);
    }

    connect(EditNazione, &QComboBox::currentIndexChanged, this, &TFormInserimentoComune::EditNazioneChange);
    connect(EditRegione, &QComboBox::currentIndexChanged, this, &TFormInserimentoComune::EditRegioneChange);
    connect(EditProvincia, &QComboBox::currentIndexChanged, this, &TFormInserimentoComune::EditProvinciaChange);
    connect(EditComune, &QListWidget::itemSelectionChanged, this, &TFormInserimentoComune::EditComuneClick);
    connect(EditZona, &QListWidget::itemSelectionChanged, this, &TFormInserimentoComune::EditZonaClick);
    connect(EditComune, &QListWidget::itemDoubleClicked, this, &TFormInserimentoComune::EditComuneDblClick);
    connect(EditZona, &QListWidget::itemDoubleClicked, this, &TFormInserimentoComune::EditZonaDblClick);
    connect(ButtonAggiungieContinua, &QPushButton::clicked, this,
            [this] { ButtonAggiungiClick(ButtonAggiungieContinua); });
    connect(ButtonAggiungieFine, &QPushButton::clicked, this, [this] { ButtonAggiungiClick(ButtonAggiungieFine); });
    connect(ButtonFine, &QPushButton::clicked, this, &TFormInserimentoComune::ButtonFineClick);
}

// --- lists ---------------------------------------------------------------------------------------

void TFormInserimentoComune::riempiCombo(QComboBox *combo, const tavo::VociGeografiche &voci)
{
    const QSignalBlocker blocco(combo);
    combo->clear();
    for (const auto &v : voci)
        combo->addItem(v.nome, v.id);
    combo->setCurrentIndex(-1);
}

void TFormInserimentoComune::riempiLista(QListWidget *lista, const tavo::VociGeografiche &voci)
{
    const QSignalBlocker blocco(lista);
    lista->clear();
    for (const auto &v : voci) {
        auto *item = new QListWidgetItem(v.nome, lista);
        item->setData(Qt::UserRole, v.id);
    }
    lista->setCurrentRow(-1);
}

void TFormInserimentoComune::svuotaComuni()
{
    m_comuni.clear();
    riempiLista(EditComune, m_comuni);
    svuotaZone();
}

void TFormInserimentoComune::svuotaZone()
{
    m_zone.clear();
    riempiLista(EditZona, m_zone);
    LabelZona->setVisible(false);
    EditZona->setVisible(false);
}

void TFormInserimentoComune::selezionaRiga(QListWidget *lista, int riga)
{
    const QSignalBlocker blocco(lista);
    if (riga >= 0 && riga < lista->count()) {
        lista->setCurrentRow(riga, QItemSelectionModel::ClearAndSelect);
        lista->scrollToItem(lista->item(riga));
    } else {
        lista->clearSelection();
        lista->setCurrentRow(-1);
    }
}

int TFormInserimentoComune::rigaSelezionata(const QListWidget *lista)
{
    const auto selezionati = lista->selectedItems();
    return selezionati.isEmpty() ? -1 : lista->row(selezionati.first());
}

tavo::SceltaGeografica TFormInserimentoComune::scelta() const
{
    tavo::SceltaGeografica s;
    const int provincia = EditProvincia->currentIndex();
    if (provincia >= 0 && provincia < m_province.size())
        s.idProvincia = m_province.at(provincia).id;
    const int comune = rigaSelezionata(EditComune);
    if (comune >= 0 && comune < m_comuni.size()) {
        s.comune = m_comuni.at(comune);
        s.zone = m_zone;
        s.zona = rigaSelezionata(EditZona);
    }
    return s;
}

void TFormInserimentoComune::aggiornaSelezioneCorrente()
{
    const tavo::SceltaGeografica s = scelta();
    const int provincia = EditProvincia->currentIndex();
    EditSelezioneCorrente->setText(
        tavo::TestoSelezioneCorrente(provincia >= 0 ? m_province.at(provincia).nome : QString(), s.comune.nome,
                                     !s.zone.isEmpty(), s.zona >= 0 ? s.zone.at(s.zona).nome : QString()));
}

// --- showing and choosing ------------------------------------------------------------------------

void TFormInserimentoComune::ripristinaStato()
{
    FormShow();
}

void TFormInserimentoComune::FormShow()
{
    int posizioni[4];
    for (int i = 0; i < 4; ++i)
        posizioni[i] = leggiImpostazione(QLatin1String(ChiaviPosizioni[i]), -1).toInt();

    m_nazioni = tavo::Nazioni(m_query);
    riempiCombo(EditNazione, m_nazioni);
    {
        const QSignalBlocker blocco(EditNazione);
        EditNazione->setCurrentIndex(EditNazione->findText(QStringLiteral("ITALIA")));
    }
    EditNazioneChange();

    // Each remembered position that exists is chosen in turn; the first missing one stops.
    auto valida = [](int pos, int quante) { return pos >= 0 && pos < quante; };
    if (valida(posizioni[0], EditRegione->count())) {
        {
            const QSignalBlocker blocco(EditRegione);
            EditRegione->setCurrentIndex(posizioni[0]);
        }
        EditRegioneChange();
        if (valida(posizioni[1], EditProvincia->count())) {
            {
                const QSignalBlocker blocco(EditProvincia);
                EditProvincia->setCurrentIndex(posizioni[1]);
            }
            EditProvinciaChange();
            if (valida(posizioni[2], EditComune->count())) {
                selezionaRiga(EditComune, posizioni[2]);
                EditComuneClick();
                if (valida(posizioni[3], EditZona->count())) {
                    selezionaRiga(EditZona, posizioni[3]);
                    EditZonaClick();
                }
            }
        }
    }
    aggiornaSelezioneCorrente();
}

void TFormInserimentoComune::EditNazioneChange()
{
    const int i = EditNazione->currentIndex();
    if (i < 0 || i >= m_nazioni.size()) {
        m_regioni.clear();
    } else {
        m_regioni = tavo::Regioni(m_query, m_nazioni.at(i).id);
    }
    riempiCombo(EditRegione, m_regioni);
    m_province.clear();
    riempiCombo(EditProvincia, m_province);
    svuotaComuni();
    aggiornaSelezioneCorrente();
}

void TFormInserimentoComune::EditRegioneChange()
{
    const int i = EditRegione->currentIndex();
    m_province = i >= 0 && i < m_regioni.size() ? tavo::Province(m_query, m_regioni.at(i).id) : tavo::VociGeografiche();
    riempiCombo(EditProvincia, m_province);
    svuotaComuni();
    aggiornaSelezioneCorrente();
}

void TFormInserimentoComune::EditProvinciaChange()
{
    svuotaComuni();
    const int i = EditProvincia->currentIndex();
    if (i >= 0 && i < m_province.size())
        m_comuni = tavo::ComuniDellaProvincia(m_query, m_province.at(i).id);
    riempiLista(EditComune, m_comuni);
    aggiornaSelezioneCorrente();
}

void TFormInserimentoComune::EditComuneClick()
{
    const int i = rigaSelezionata(EditComune);
    if (i < 0 || i >= m_comuni.size()) {
        svuotaZone();
        aggiornaSelezioneCorrente();
        return;
    }
    m_zone = tavo::ZoneDelComune(m_query, m_comuni.at(i).nome);
    riempiLista(EditZona, m_zone);
    const bool conZone = !m_zone.isEmpty();
    LabelZona->setVisible(conZone);
    EditZona->setVisible(conZone);
    aggiornaSelezioneCorrente();
}

void TFormInserimentoComune::EditZonaClick()
{
    aggiornaSelezioneCorrente();
}

void TFormInserimentoComune::EditComuneDblClick()
{
    Aggiungi(nullptr);
}

void TFormInserimentoComune::EditZonaDblClick()
{
    Aggiungi(nullptr);
}

void TFormInserimentoComune::ButtonAggiungiClick(QPushButton *pulsante)
{
    Aggiungi(pulsante);
}

void TFormInserimentoComune::ButtonFineClick()
{
    finestra()->close();
}

// --- handing over --------------------------------------------------------------------------------

void TFormInserimentoComune::Aggiungi(QPushButton *pulsante)
{
    QWidget *richiedente = FinestraRichiedente.data();
    if (!richiedente)
        return;
    if (dynamic_cast<tavo::RichiedenteComuni *>(richiedente))
        AggiungiPerRichiesta(pulsante);
    else if (dynamic_cast<tavo::RichiedenteComune *>(richiedente))
        ScegliPerAnnuncio();
}

void TFormInserimentoComune::AggiungiPerRichiesta(QPushButton *pulsante)
{
    auto *editor = dynamic_cast<tavo::RichiedenteComuni *>(FinestraRichiedente.data());
    const tavo::SceltaGeografica s = scelta();
    if (s.idProvincia == 0) {
        errore(QStringLiteral("Selezionare almeno una provincia"), EditProvincia);
        return;
    }
    const tavo::VociGeografiche voci =
        tavo::SenzaComuniPresenti(tavo::ComuniDaAggiungere(m_query, s), editor->ComuniPresenti());
    for (const auto &v : voci)
        editor->AggiungiComune(v.nome, v.id);
    editor->ComuniAggiunti();

    if (!pulsante)
        return; // a double click leaves the choices as they are
    if (pulsante->property("tag").toInt() == 1) {
        finestra()->close();
        return;
    }
    const int comune = rigaSelezionata(EditComune);
    if (s.zona < 0 && comune >= 0 && comune < EditComune->count() - 1) {
        selezionaRiga(EditComune, comune + 1);
        EditComuneClick();
    } else if (s.zona >= 0 && s.zona < EditZona->count() - 1) {
        selezionaRiga(EditZona, s.zona + 1);
        EditZonaClick();
    }
}

void TFormInserimentoComune::ScegliPerAnnuncio()
{
    auto *editor = dynamic_cast<tavo::RichiedenteComune *>(FinestraRichiedente.data());
    const tavo::SceltaGeografica s = scelta();
    if (s.zone.isEmpty()) {
        if (s.comune.id == 0) {
            errore(QStringLiteral("Selezionare un Comune"), EditComune);
            return;
        }
        editor->ComuneScelto(s.comune.nome, s.comune.id);
    } else {
        if (s.zona < 0) {
            errore(QStringLiteral("Selezionare una zona"), EditZona);
            return;
        }
        const tavo::VoceGeografica &z = s.zone.at(s.zona);
        editor->ComuneScelto(tavo::NomeZona(s.comune.nome, z.nome), z.id);
    }
    finestra()->close();
}

void TFormInserimentoComune::errore(const QString &testo, QWidget *campo)
{
    ui().messaggio(this, windowTitle(), testo, UiService::Icona::Errore);
    campo->setFocus(Qt::OtherFocusReason);
}

void TFormInserimentoComune::salvaStato() const
{
    salvaImpostazione(QLatin1String(ChiaviPosizioni[0]), EditRegione->currentIndex());
    salvaImpostazione(QLatin1String(ChiaviPosizioni[1]), EditProvincia->currentIndex());
    salvaImpostazione(QLatin1String(ChiaviPosizioni[2]), rigaSelezionata(EditComune));
    salvaImpostazione(QLatin1String(ChiaviPosizioni[3]), rigaSelezionata(EditZona));
}
