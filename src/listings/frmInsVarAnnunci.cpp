#include "listings/frmInsVarAnnunci.h"

#include "app/core/clock.h"
#include "app/frmMain.h"
#include "clients/frmInsVarClienti.h"
#include "clients/frmInserimentoComune.h"
#include "data/dmQueryComposte.h"
#include "data/memtable/memtablemodel.h"
#include "listings/galleria.h"
#include "listings/modFunzioniGoogle.h"
#include "listings/registroschermate.h"
#include "widgets/tavoapplication.h"
#include "widgets/uiservice.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMdiSubWindow>
#include <QSignalBlocker>
#include <QValidator>

using tavo::ui;
using tavo::UiService;
namespace db = tavo::db;

namespace {

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

// The busy cursor while the map service is asked.
class CursoreAttesa
{
public:
    CursoreAttesa() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursoreAttesa() { QGuiApplication::restoreOverrideCursor(); }
    CursoreAttesa(const CursoreAttesa &) = delete;
    CursoreAttesa &operator=(const CursoreAttesa &) = delete;
};

void selezionaPerId(QComboBox *combo, const QVariant &id)
{
    int indice = -1;
    if (id.isValid() && !id.isNull()) {
        for (int i = 0; i < combo->count(); ++i) {
            if (combo->itemData(i).toInt() == id.toInt()) {
                indice = i;
                break;
            }
        }
    }
    combo->setCurrentIndex(indice);
}

void selezionaRadio(QButtonGroup *gruppo, int id)
{
    if (QAbstractButton *b = gruppo->button(id)) {
        b->setChecked(true);
        return;
    }
    // No entry: an exclusive group lets go of its checked button only while it is not exclusive.
    gruppo->setExclusive(false);
    for (QAbstractButton *b : gruppo->buttons())
        b->setChecked(false);
    gruppo->setExclusive(true);
}

// Calls a documented slot of another screen when the screen is open and offers it.
void invoca(QWidget *schermata, const char *metodo)
{
    if (!schermata)
        return;
    const QByteArray firma = QByteArray(metodo) + "()";
    if (schermata->metaObject()->indexOfMethod(firma.constData()) >= 0)
        QMetaObject::invokeMethod(schermata, metodo, Qt::DirectConnection);
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

TFormInsVarAnnunci::TFormInsVarAnnunci(QWidget *parent)
    : TEditorBase(QStringLiteral("FormInsVarAnnunci"), parent), m_tr(TFormMain::istanza()->database()),
      m_foto(std::make_unique<tavo::TGalleria>(tavo::TipoGalleria::Foto, m_tr)),
      m_video(std::make_unique<tavo::TGalleria>(tavo::TipoGalleria::Video, m_tr))
{
    setupUi(this);

    m_gruppoTipologia = new QButtonGroup(this);
    m_gruppoTipologia->setObjectName(QStringLiteral("GruppoTipologiaAnnuncio"));
    m_gruppoTipologia->addButton(RadioVendita, 0);
    m_gruppoTipologia->addButton(RadioAffitto, 1);
    m_gruppoTipologia->addButton(RadioVacanze, 2);
    m_gruppoPriorita = new QButtonGroup(this);
    m_gruppoPriorita->setObjectName(QStringLiteral("GruppoPriorita"));
    const QList<QRadioButton *> priorita = {RadioNonPubblicare, RadioMinima, RadioBassa,
                                            RadioNormale,       RadioAlta,   RadioMassima};
    for (int i = 0; i < priorita.size(); ++i)
        m_gruppoPriorita->addButton(priorita.at(i), i);
    // The group's title turns red on a refusal; its entries keep their colour and weight.
    for (QAbstractButton *b : m_gruppoTipologia->buttons()) {
        QPalette p = b->palette();
        p.setColor(QPalette::WindowText, p.color(QPalette::WindowText)); // set, so no longer inherited
        b->setPalette(p);
        QFont f = b->font();
        f.setBold(false);
        b->setFont(f);
    }

    const struct
    {
        QComboBox *combo;
        const char *colonna;
    } liste[] = {{EditBOX_AUTO, "BOX_AUTO"},           {EditGIARDINO, "GIARDINO"},
                 {EditDISPONIBILITA, "DISPONIBILITA"}, {EditCUCINA, "CUCINA"},
                 {EditRISCALDAMENTO, "RISCALDAMENTO"}, {EditPIANO, "PIANO"},
                 {EditCONDIZIONI, "CONDIZIONI"}};
    for (const auto &l : liste) {
        l.combo->addItem(QString());
        l.combo->addItems(tavo::vociFisse(QLatin1String(l.colonna)));
        l.combo->setCurrentIndex(-1);
    }
    m_treStati = {EditBALCONE,   EditTERRAZZO,  EditMANSARDA, EditCANTINA,     EditCONDIZIONATORE,
                  EditASCENSORE, EditSOGGIORNO, EditSTUDIO,   EditRIPOSTIGLIO, EditTAVERNA,
                  EditSOFFITTA,  EditSOPPALCO,  EditARREDATO};

    EditRIFERIMENTO->setValidator(new ValidatoreMaiuscole(EditRIFERIMENTO));
    EditLOCALITA->lineEdit()->setValidator(new ValidatoreMaiuscole(EditLOCALITA));
    EditLOCALITA->lineEdit()->setMaxLength(255);

    // Photo and video lists.
    DBGridFoto->setModel(new tavo::TMemTableModel(m_foto->tabella(), DBGridFoto));
    DBGridVideo->setModel(new tavo::TMemTableModel(m_video->tabella(), DBGridVideo));
    NavigatoreFoto->impostaTabella(m_foto->tabella());
    NavigatoreVideo->impostaTabella(m_video->tabella());
    for (tavo::TMemTable *t : {m_foto->tabella(), m_video->tabella()}) {
        const bool foto = t == m_foto->tabella();
        auto anteprima = [this, foto] { foto ? aggiornaAnteprimaFoto() : aggiornaAnteprimaVideo(); };
        connect(t, &tavo::TMemTable::currentChanged, this, anteprima);
        connect(t, &tavo::TMemTable::tableReset, this, anteprima);
        connect(t, &tavo::TMemTable::tableReset, this, &TFormInsVarAnnunci::aggiornaPulsantiGallerie);
        connect(t, &tavo::TMemTable::rowInserted, this, &TFormInsVarAnnunci::aggiornaPulsantiGallerie);
        connect(t, &tavo::TMemTable::rowRemoved, this, &TFormInsVarAnnunci::aggiornaPulsantiGallerie);
    }
    for (QTableView *griglia : {static_cast<QTableView *>(DBGridFoto), static_cast<QTableView *>(DBGridVideo)}) {
        griglia->setEditTriggers(QAbstractItemView::NoEditTriggers);
        // An empty list shows whole titles; the grid sizes its columns to their content once rows come.
        griglia->horizontalHeader()->resizeSections(QHeaderView::ResizeToContents);
        griglia->horizontalHeader()->setStretchLastSection(true);
    }

    connect(ButtonConferma, &QPushButton::clicked, this, &TFormInsVarAnnunci::ButtonConfermaClick);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &TFormInsVarAnnunci::ButtonAnnullaClick);
    connect(ButtonIncroci, &QPushButton::clicked, this, &TFormInsVarAnnunci::ButtonIncrociClick);
    connect(ButtonCercaCliente, &QPushButton::clicked, this, &TFormInsVarAnnunci::ButtonCercaClienteClick);
    connect(ButtonNuovoCliente, &QPushButton::clicked, this, &TFormInsVarAnnunci::ButtonNuovoClienteClick);
    connect(ButtonCliente, &QPushButton::clicked, this, &TFormInsVarAnnunci::ButtonClienteClick);
    connect(ButtonSceltaComune, &QPushButton::clicked, this, &TFormInsVarAnnunci::ButtonSceltaComuneClick);
    connect(ButtonRicalcola, &QPushButton::clicked, this, &TFormInsVarAnnunci::ButtonRicalcolaClick);
    connect(ButtonGoogleMaps, &QPushButton::clicked, this, &TFormInsVarAnnunci::ButtonGoogleMapsClick);
    connect(EditCliente, &QComboBox::activated, this, &TFormInsVarAnnunci::EditClienteClick);
    connect(EditCliente, &QComboBox::currentIndexChanged, this, &TFormInsVarAnnunci::aggiornaPulsanteCliente);
    connect(EditMacroTipologie, &QComboBox::activated, this, &TFormInsVarAnnunci::EditMacroTipologieClick);
    connect(EditMAPPA, &QCheckBox::clicked, this, &TFormInsVarAnnunci::EditMAPPAClick);
    connect(EditMAPPA, &QCheckBox::toggled, this, &TFormInsVarAnnunci::abilitaMappa);
    connect(PageControl, &QTabWidget::currentChanged, this, &TFormInsVarAnnunci::PageControlChange);
    connect(ButtonInsFoto, &QPushButton::clicked, this, &TFormInsVarAnnunci::ButtonInsFotoClick);
    connect(ButtonModFoto, &QPushButton::clicked, this, &TFormInsVarAnnunci::ButtonModFotoClick);
    connect(ButtonEliminaFoto, &QPushButton::clicked, this, &TFormInsVarAnnunci::ButtonEliminaFotoClick);
    connect(ButtonAnteprimaCompleto, &QPushButton::clicked, this, &TFormInsVarAnnunci::ButtonAnteprimaCompletoClick);
    connect(ButtonInsVideo, &QPushButton::clicked, this, &TFormInsVarAnnunci::ButtonInsVideoClick);
    connect(ButtonModVideo, &QPushButton::clicked, this, &TFormInsVarAnnunci::ButtonModVideoClick);
    connect(ButtonEliminaVideo, &QPushButton::clicked, this, &TFormInsVarAnnunci::ButtonEliminaVideoClick);
    // A double click on a photo row changes it, as "Modifica" does.
    connect(DBGridFoto, &QAbstractItemView::doubleClicked, this, [this] {
        if (ButtonModFoto->isEnabled())
            ButtonModFotoClick();
    });
    connect(DBGridVideo, &QAbstractItemView::doubleClicked, this, [this] {
        if (ButtonModVideo->isEnabled())
            ButtonModVideoClick();
    });

    // What counts as a change of the listing ("Nuova Costruzione", "ATTIVO" and "Luogo per Appuntamento:" do not).
    QList<QWidget *> osservati = {EditRIFERIMENTO,
                                  EditPREZZO,
                                  EditPREZZO_VISIBILE,
                                  EditNOTE_PREZZO,
                                  EditMQ,
                                  EditNR_LOCALI,
                                  EditNOTE_LOCALI,
                                  EditLOCALITA,
                                  EditINDIRIZZO,
                                  EditNUM_CIVICO,
                                  EditINDIRIZZO_VISIBILE,
                                  EditCAP_ANNUNCIO,
                                  EditNR_CAMERE,
                                  EditNR_CAMERE_DOPPIE,
                                  EditNR_SERVIZI,
                                  EditNR_SERVIZI_FINESTR,
                                  EditBOX_AUTO,
                                  EditMQ_BOX,
                                  EditGIARDINO,
                                  EditMQ_GIARDINO,
                                  EditSPESE_COND_MENSILI,
                                  EditDISPONIBILITA,
                                  EditUNITA_VIZEREVADED,
                                  EditCUCINA,
                                  EditRISCALDAMENTO,
                                  EditTOTALE_PIANI,
                                  EditPIANO,
                                  EditCONDIZIONI,
                                  EditMAPPA,
                                  EditCOORD_LONG,
                                  EditCOORD_LAT,
                                  EditDESCRIZIONE,
                                  EditDESCRIZIONE_VETRINA,
                                  EditDESCRIZIONE_ING,
                                  EditDESCRIZIONE_FRA,
                                  EditDESCRIZIONE_TED,
                                  EditDESCRIZIONE_SPA,
                                  EditNOTE,
                                  EditTipologiaImmobile};
    for (QCheckBox *c : std::as_const(m_treStati))
        osservati << c;
    osservaModifiche(osservati);
    connect(EditLOCALITA->lineEdit(), &QLineEdit::textEdited, this, [this] { impostaModificato(true); });
    for (QButtonGroup *g : {m_gruppoTipologia, m_gruppoPriorita})
        connect(g, &QButtonGroup::idClicked, this, [this] { impostaModificato(true); });

    abilitaMappa();
    aggiornaPulsantiGallerie();
    aggiornaComandi();
}

TFormInsVarAnnunci::~TFormInsVarAnnunci()
{
    // The lists go before the grids and navigators that show them: nothing of theirs reaches this window again.
    m_foto->tabella()->disconnect(this);
    m_video->tabella()->disconnect(this);
}

QString TFormInsVarAnnunci::titolo() const
{
    return windowTitle();
}

void TFormInsVarAnnunci::errore(const QString &testo)
{
    ui().messaggio(this, titolo(), testo, UiService::Icona::Errore);
}

// --- showing and loading -------------------------------------------------------------------------------------------

void TFormInsVarAnnunci::showEvent(QShowEvent *event)
{
    TEditorBase::showEvent(event);
    if (!m_mostrata)
        FormShow();
}

void TFormInsVarAnnunci::FormShow()
{
    m_mostrata = true;
    try {
        CaricaClienti();
        const QSignalBlocker blocco(EditMacroTipologie);
        EditMacroTipologie->clear();
        for (const tavo::Voce &v : tavo::leggiMacroTipologie(m_tr))
            EditMacroTipologie->addItem(v.testo, v.id);
        EditMacroTipologie->setCurrentIndex(-1);
        EditTipologiaImmobile->clear();
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    }
    aggiornaComandi();
}

void TFormInsVarAnnunci::CaricaClienti()
{
    const QVariant scelto = EditCliente->currentIndex() >= 0 ? EditCliente->currentData() : QVariant();
    const QSignalBlocker blocco(EditCliente);
    EditCliente->clear();
    for (const tavo::Voce &v : tavo::leggiClienti(m_tr))
        EditCliente->addItem(v.testo, v.id);
    // The entry chosen before stays chosen when it is still listed.
    selezionaPerId(EditCliente, scelto);
    aggiornaPulsanteCliente();
}

void TFormInsVarAnnunci::EditClienteClick()
{
    aggiornaPulsanteCliente();
    impostaModificato(true);
}

void TFormInsVarAnnunci::aggiornaPulsanteCliente()
{
    ButtonCliente->setEnabled(EditCliente->currentIndex() >= 0);
}

void TFormInsVarAnnunci::caricaTipologieImmobili(int idMacro)
{
    const QSignalBlocker blocco(EditTipologiaImmobile);
    EditTipologiaImmobile->clear();
    for (const tavo::Voce &v : tavo::leggiTipologieImmobili(m_tr, idMacro))
        EditTipologiaImmobile->addItem(v.testo, v.id);
    EditTipologiaImmobile->setCurrentIndex(-1);
}

void TFormInsVarAnnunci::EditMacroTipologieClick()
{
    if (EditMacroTipologie->currentIndex() < 0)
        return;
    try {
        caricaTipologieImmobili(EditMacroTipologie->currentData().toInt());
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    }
    impostaModificato(true);
}

void TFormInsVarAnnunci::CaricaLocalita()
{
    QLineEdit *campo = EditLOCALITA->lineEdit();
    const QString testo = campo->text();
    QStringList voci;
    try {
        voci = tavo::leggiLocalita(m_tr, m_idComune);
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    }
    const QSignalBlocker blocco(EditLOCALITA);
    EditLOCALITA->clear();
    EditLOCALITA->addItems(voci);
    EditLOCALITA->setCurrentIndex(-1);
    // A typed locality that the municipality does not know is dropped.
    const QString cercato = testo.trimmed();
    bool presente = false;
    for (const QString &v : std::as_const(voci))
        presente = presente || v.trimmed().compare(cercato, Qt::CaseInsensitive) == 0;
    campo->setText(cercato.isEmpty() || presente ? testo : QString());
}

void TFormInsVarAnnunci::ComuneScelto(const QString &testo, int idComune)
{
    EditComune->setText(testo);
    m_idComune = idComune;
    impostaModificato(true);
    CaricaLocalita();
}

void TFormInsVarAnnunci::svuotaCampi()
{
    CheckBoxAttivo->setChecked(true);
    selezionaRadio(m_gruppoPriorita, 3);
    selezionaRadio(m_gruppoTipologia, -1);
    EditMacroTipologie->setCurrentIndex(-1);
    EditTipologiaImmobile->clear();
    EditNuovaCostruzione->setChecked(false);
    EditComune->clear();
    m_idComune = 0;
    EditRIFERIMENTO->clear();
    for (TEditNumero *n : findChildren<TEditNumero *>())
        n->impostaValore(0);
    for (QComboBox *c :
         {EditBOX_AUTO, EditGIARDINO, EditDISPONIBILITA, EditCUCINA, EditRISCALDAMENTO, EditPIANO, EditCONDIZIONI})
        c->setCurrentIndex(-1);
    for (QCheckBox *c : std::as_const(m_treStati))
        c->setCheckState(Qt::PartiallyChecked);
    EditPREZZO_VISIBILE->setChecked(true);
    EditINDIRIZZO_VISIBILE->setChecked(false);
    EditMAPPA->setChecked(false);
    for (QLineEdit *e :
         {EditNOTE_PREZZO, EditNOTE_LOCALI, EditINDIRIZZO, EditNUM_CIVICO, EditCAP_ANNUNCIO, EditLUOGO_X_APPUNTAMENTO})
        e->clear();
    EditLOCALITA->setEditText(QString());
    for (QPlainTextEdit *m : {EditDESCRIZIONE, EditDESCRIZIONE_VETRINA, EditDESCRIZIONE_ING, EditDESCRIZIONE_FRA,
                              EditDESCRIZIONE_TED, EditDESCRIZIONE_SPA, EditNOTE})
        m->clear();
}

void TFormInsVarAnnunci::riempiCampi(const tavo::ValoriAnnuncio &v, bool conRiferimento)
{
    auto valore = [&v](const char *colonna) { return v.value(QLatin1String(colonna)); };
    auto testo = [&v](const char *colonna) { return v.value(QLatin1String(colonna)).toString(); };

    selezionaPerId(EditCliente, valore("ID_CLIENTE"));
    aggiornaPulsanteCliente();
    selezionaRadio(m_gruppoTipologia, valore("ID_TIPOLOGIA_ANNUNCIO").toInt() - 1);
    selezionaRadio(m_gruppoPriorita, valore("PRIORITA").isNull() ? -1 : valore("PRIORITA").toInt());
    CheckBoxAttivo->setChecked(testo("ELIMINATO") == QLatin1String("N"));
    EditNuovaCostruzione->setChecked(testo("NCOSTRUZIONESN") == QLatin1String("S"));
    EditPREZZO_VISIBILE->setChecked(testo("PREZZO_VISIBILE") == QLatin1String("S"));
    EditINDIRIZZO_VISIBILE->setChecked(testo("INDIRIZZO_VISIBILE") == QLatin1String("S"));
    EditMAPPA->setChecked(testo("MAPPA") == QLatin1String("S"));
    for (QCheckBox *c : std::as_const(m_treStati))
        c->setCheckState(Qt::CheckState(tavo::statoDaFlag(v.value(c->objectName().mid(4)))));

    const struct
    {
        QComboBox *combo;
        const char *colonna;
    } liste[] = {{EditBOX_AUTO, "BOX_AUTO"},           {EditGIARDINO, "GIARDINO"},
                 {EditDISPONIBILITA, "DISPONIBILITA"}, {EditCUCINA, "CUCINA"},
                 {EditRISCALDAMENTO, "RISCALDAMENTO"}, {EditPIANO, "PIANO"},
                 {EditCONDIZIONI, "CONDIZIONI"}};
    for (const auto &l : liste)
        l.combo->setCurrentIndex(l.combo->findText(testo(l.colonna), Qt::MatchExactly | Qt::MatchCaseSensitive));

    for (TEditNumero *n : findChildren<TEditNumero *>())
        n->impostaValore(v.value(n->objectName().mid(4)).toDouble());
    const struct
    {
        QLineEdit *campo;
        const char *colonna;
    } testi[] = {{EditNOTE_PREZZO, "NOTE_PREZZO"},   {EditNOTE_LOCALI, "NOTE_LOCALI"},
                 {EditINDIRIZZO, "INDIRIZZO"},       {EditNUM_CIVICO, "NUM_CIVICO"},
                 {EditCAP_ANNUNCIO, "CAP_ANNUNCIO"}, {EditLUOGO_X_APPUNTAMENTO, "LUOGO_X_APPUNTAMENTO"}};
    for (const auto &t : testi)
        t.campo->setText(testo(t.colonna));
    EditLOCALITA->setEditText(testo("LOCALITA"));
    for (QPlainTextEdit *m : {EditDESCRIZIONE, EditDESCRIZIONE_VETRINA, EditDESCRIZIONE_ING, EditDESCRIZIONE_FRA,
                              EditDESCRIZIONE_TED, EditDESCRIZIONE_SPA, EditNOTE})
        m->setPlainText(tavo::memoPerSchermo(v.value(m->objectName().mid(4)).toString()));
    EditComune->setText(testo("NOME"));
    m_idComune = valore("ID_COMUNE").toInt();
    if (conRiferimento)
        EditRIFERIMENTO->setText(testo("RIFERIMENTO"));

    selezionaPerId(EditMacroTipologie, valore("ID_MACRO_TIPOLOGIA"));
    caricaTipologieImmobili(valore("ID_MACRO_TIPOLOGIA").toInt());
    selezionaPerId(EditTipologiaImmobile, valore("ID_TIPOLOGIA_IMMOBILE"));
    abilitaMappa();
}

void TFormInsVarAnnunci::CaricaAnnuncio(int id)
{
    if (!m_mostrata)
        FormShow();
    try {
        tavo::ValoriAnnuncio valori;
        if (id > 0) {
            valori = tavo::leggiAnnuncio(m_tr, id);
            if (valori.isEmpty()) {
                errore(QStringLiteral("L'annuncio richiesto non esiste più."));
                id = 0;
            }
        }
        if (id > 0) {
            riempiCampi(valori, true);
            setWindowTitle(QStringLiteral("Modifica Annuncio"));
            bloccaCliente(true);
        } else {
            svuotaCampi();
            if (tavo::riferimentoGenerato(m_tr))
                EditRIFERIMENTO->setText(tavo::propostaRiferimento(tavo::prossimoRiferimento(m_tr)));
            setWindowTitle(QStringLiteral("Inserimento Annuncio"));
            bloccaCliente(false);
        }
        fineCaricamento(id);
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    }
    if (id > 0)
        EditRIFERIMENTO->setFocus(Qt::OtherFocusReason);
    else
        EditCliente->setFocus(Qt::OtherFocusReason);
}

void TFormInsVarAnnunci::fineCaricamento(int id)
{
    CaricaLocalita();
    m_idModificato = id;
    m_idSalvato = id;
    impostaModificato(false);
    m_fotoDopoSalvataggio = false;
    m_salvataggioSilenzioso = false;
    m_queryMappa.clear();
    ripristinaEtichetteRosse();
    mostraPagina(0);
    m_foto->apri(id);
    m_video->apri(id);
    aggiornaPulsantiGallerie();
    aggiornaComandi();
}

void TFormInsVarAnnunci::bloccaCliente(bool bloccato)
{
    m_clienteBloccato = bloccato;
    EditCliente->setEnabled(!bloccato);
    ButtonNuovoCliente->setEnabled(!bloccato);
    ButtonCercaCliente->setText(bloccato ? QStringLiteral("Mod. Cliente") : QStringLiteral("Cerca Cliente"));
    aggiornaComandi();
}

void TFormInsVarAnnunci::aggiornaComandi()
{
    // Commands whose screen is not part of the program yet stay visible and disabled.
    ButtonCercaCliente->setEnabled(m_clienteBloccato || tavo::schermataRegistrata(classeRicercaClienti()));
    ButtonIncroci->setEnabled(tavo::schermataRegistrata(classeRicercaRichieste()));
}

void TFormInsVarAnnunci::mostraPagina(int pagina)
{
    m_cambioPaginaConsentito = true;
    PageControl->setCurrentIndex(pagina);
    m_cambioPaginaConsentito = false;
}

// --- duplication ---------------------------------------------------------------------------------------------------

void TFormInsVarAnnunci::DuplicaAnnuncio(int idSorgente)
{
    try {
        if (!tavo::riferimentoGenerato(m_tr))
            EditRIFERIMENTO->setText(tavo::riferimentoCopia(m_tr, idSorgente));
        const tavo::ValoriAnnuncio valori = tavo::leggiAnnuncio(m_tr, idSorgente);
        if (valori.isEmpty()) {
            errore(QStringLiteral("L'annuncio da duplicare non esiste più."));
            return;
        }
        riempiCampi(valori, false);
        CaricaLocalita();
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
        return;
    }
    bloccaCliente(true);
    m_salvataggioSilenzioso = true;
    const Esito esito = Conferma();
    m_salvataggioSilenzioso = false;
    if (esito == Esito::Rifiutata) {
        // No copy exists: the rows are not copied, and what is on screen is an unsaved listing.
        impostaModificato(true);
        return;
    }
    try {
        m_tr.commitRetaining();
        tavo::copiaFotoVideo(m_tr, idSorgente, m_idSalvato);
        m_foto->apri(m_idSalvato);
        m_video->apri(m_idSalvato);
        // The engine's row again, now with the copy's photo flag.
        if (tavo::TDataModuleQueryComposte *dm = TFormMain::istanza()->DataModuleQueryComposte())
            dm->AggiornaAnnuncio(m_idSalvato);
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
    }
    m_idModificato = m_idSalvato;
    aggiornaPulsantiGallerie();
    EditRIFERIMENTO->setFocus(Qt::OtherFocusReason);
}

// --- confirmation ----------------------------------------------------------------------------------------------------

void TFormInsVarAnnunci::ripristinaEtichetteRosse()
{
    tavo::ripristinaEtichette({LabelCliente, LabelTipologiaImmobile, LabelComune, LabelRIFERIMENTO});
    EditTipologiaAnnuncio->setPalette(QPalette());
}

void TFormInsVarAnnunci::rifiuta(const QString &testo, QLabel *etichetta, QWidget *campo)
{
    errore(testo);
    tavo::rifiutaCampo(etichetta, campo);
}

bool TFormInsVarAnnunci::Convalida(bool perConferma)
{
    ripristinaEtichetteRosse();
    if (perConferma && EditCliente->currentIndex() < 0) {
        rifiuta(QStringLiteral("Selezionare un Cliente"), LabelCliente, EditCliente);
        return false;
    }
    if (m_gruppoTipologia->checkedId() < 0) {
        errore(QStringLiteral("Selezionare una Tipologia di Annuncio"));
        QPalette p = EditTipologiaAnnuncio->palette();
        p.setColor(QPalette::WindowText, Qt::red);
        EditTipologiaAnnuncio->setPalette(p);
        RadioVendita->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (EditMacroTipologie->currentIndex() < 0) {
        rifiuta(QStringLiteral("Selezionare una Tipologia di Immobile"), LabelTipologiaImmobile, EditMacroTipologie);
        return false;
    }
    if (EditTipologiaImmobile->currentIndex() < 0) {
        rifiuta(QStringLiteral("Selezionare una Tipologia di Immobile"), LabelTipologiaImmobile, EditTipologiaImmobile);
        return false;
    }
    if (m_idComune <= 0) {
        rifiuta(QStringLiteral("Selezionare un Comune"), LabelComune, EditComune);
        return false;
    }
    if (perConferma) {
        if (EditRIFERIMENTO->text().isEmpty()) {
            rifiuta(QStringLiteral("Immettere un Riferimento"), LabelRIFERIMENTO, EditRIFERIMENTO);
            return false;
        }
        if (tavo::riferimentoUsato(m_tr, EditRIFERIMENTO->text(), m_idModificato)) {
            rifiuta(QStringLiteral("Il Riferimento immesso è già stato utilizzato per un altro Annuncio"),
                    LabelRIFERIMENTO, EditRIFERIMENTO);
            return false;
        }
    }
    return true;
}

tavo::ValoriAnnuncio TFormInsVarAnnunci::valoriSchermo() const
{
    tavo::ValoriAnnuncio v;
    auto imposta = [&v](const char *colonna, const QVariant &valore) { v.insert(QLatin1String(colonna), valore); };
    imposta("ID_ANNUNCIO_IMMOBILE", m_idModificato);
    imposta("ID_CLIENTE", EditCliente->currentIndex() >= 0 ? EditCliente->currentData() : QVariant());
    imposta("ID_COMUNE", m_idComune);
    imposta("ID_TIPOLOGIA_IMMOBILE",
            EditTipologiaImmobile->currentIndex() >= 0 ? EditTipologiaImmobile->currentData() : QVariant());
    imposta("ID_TIPOLOGIA_ANNUNCIO", m_gruppoTipologia->checkedId() + 1);
    imposta("RIFERIMENTO", EditRIFERIMENTO->text());
    imposta("PRIORITA", m_gruppoPriorita->checkedId() >= 0 ? QVariant(m_gruppoPriorita->checkedId()) : QVariant());
    imposta("ELIMINATO", CheckBoxAttivo->isChecked() ? QStringLiteral("N") : QStringLiteral("S"));
    imposta("NCOSTRUZIONESN", tavo::flag(EditNuovaCostruzione->isChecked()));
    imposta("PREZZO_VISIBILE", tavo::flag(EditPREZZO_VISIBILE->isChecked()));
    imposta("INDIRIZZO_VISIBILE", tavo::flag(EditINDIRIZZO_VISIBILE->isChecked()));
    imposta("MAPPA", tavo::flag(EditMAPPA->isChecked()));
    for (QCheckBox *c : m_treStati)
        v.insert(c->objectName().mid(4), tavo::flagTreStati(c->checkState()));

    // Money with four decimals; floats as typed; integer columns with the fraction cut off.
    imposta("PREZZO", tavo::valuta(EditPREZZO->valore()));
    imposta("SPESE_COND_MENSILI", tavo::valuta(EditSPESE_COND_MENSILI->valore()));
    imposta("MQ", EditMQ->valore());
    imposta("MQ_BOX", EditMQ_BOX->valore());
    imposta("MQ_GIARDINO", EditMQ_GIARDINO->valore());
    for (TEditNumero *n : {EditNR_LOCALI, EditNR_SERVIZI, EditNR_CAMERE, EditNR_CAMERE_DOPPIE, EditNR_SERVIZI_FINESTR,
                           EditUNITA_VIZEREVADED, EditTOTALE_PIANI, EditCOORD_LONG, EditCOORD_LAT})
        v.insert(n->objectName().mid(4), tavo::interoTroncato(n->valore()));

    for (QComboBox *c :
         {EditBOX_AUTO, EditGIARDINO, EditDISPONIBILITA, EditCUCINA, EditRISCALDAMENTO, EditPIANO, EditCONDIZIONI})
        v.insert(c->objectName().mid(4), c->currentIndex() >= 0 ? c->currentText() : QString(QLatin1String("")));
    for (QLineEdit *e :
         {EditNOTE_PREZZO, EditNOTE_LOCALI, EditINDIRIZZO, EditNUM_CIVICO, EditCAP_ANNUNCIO, EditLUOGO_X_APPUNTAMENTO})
        v.insert(e->objectName().mid(4), e->text());
    imposta("LOCALITA", EditLOCALITA->currentText().trimmed());
    for (QPlainTextEdit *m : {EditDESCRIZIONE, EditDESCRIZIONE_VETRINA, EditDESCRIZIONE_ING, EditDESCRIZIONE_FRA,
                              EditDESCRIZIONE_TED, EditDESCRIZIONE_SPA, EditNOTE})
        v.insert(m->objectName().mid(4), tavo::memoDaSchermo(m->toPlainText()));
    imposta("FOTOSN", m_foto->vuota() ? QStringLiteral("N") : QStringLiteral("S"));
    return v;
}

bool TFormInsVarAnnunci::salva()
{
    return Conferma() == Esito::SalvataChiudi;
}

void TFormInsVarAnnunci::ButtonConfermaClick()
{
    if (Conferma() == Esito::SalvataChiudi)
        finestra()->close();
}

void TFormInsVarAnnunci::ButtonAnnullaClick()
{
    finestra()->close();
}

TFormInsVarAnnunci::Esito TFormInsVarAnnunci::Conferma()
{
    const bool nuovo = m_idModificato == 0;
    int idSalvato = 0;
    try {
        if (!Convalida(true))
            return Esito::Rifiutata;
        idSalvato = tavo::salvaAnnuncio(m_tr, m_idModificato, valoriSchermo(), tavo::Clock::now());
    } catch (const db::DbError &e) {
        // Nothing was committed; the window stays open with its changes.
        tavo::TavoApplication::mostraErrore(e.message());
        return Esito::Rifiutata;
    }
    m_idSalvato = idSalvato;
    if (nuovo) {
        try {
            // The lists follow the listing's new id (they were empty: photos come after the first save).
            m_foto->apri(m_idSalvato);
            m_video->apri(m_idSalvato);
        } catch (const db::DbError &e) {
            tavo::TavoApplication::mostraErrore(e.message());
        }
    }
    aggiornaAltreFinestre(m_idSalvato);

    impostaModificato(false);
    if (m_fotoDopoSalvataggio) {
        m_fotoDopoSalvataggio = false;
        m_idModificato = m_idSalvato;
        mostraPagina(1);
        return Esito::Salvata;
    }
    if (m_idModificato != 0)
        return Esito::SalvataChiudi;
    if (m_salvataggioSilenzioso)
        return Esito::Salvata;
    const auto risposta =
        ui().domanda(this, titolo(),
                     QStringLiteral("L'annuncio è stata inserito correttamente. Procedere con un nuovo inserimento?"),
                     QMessageBox::Yes | QMessageBox::No, QMessageBox::No, UiService::Icona::Informazione);
    CaricaAnnuncio(0);
    return risposta == QMessageBox::Yes ? Esito::Salvata : Esito::SalvataChiudi;
}

void TFormInsVarAnnunci::aggiornaAltreFinestre(int idSalvato)
{
    TFormMain *main = TFormMain::istanza();
    tavo::TDataModuleQueryComposte *dm = main->DataModuleQueryComposte();
    try {
        if (dm)
            dm->AggiornaAnnuncio(idSalvato);
        invoca(main->finestraAperta(QStringLiteral("TFormRicercaAnnunci")), "AggiornaElenchi");
        invoca(main->finestraAperta(classeRicercaClienti()), "Rifiltra");
        invoca(main->finestraAperta(QStringLiteral("TFormInvioAnnunciARiviste")), "AggiornaElenco");
    } catch (const db::DbError &e) {
        // The listing is saved: a refresh that fails is shown and the rest goes on.
        tavo::TavoApplication::mostraErrore(e.message());
    }
    // Its counts are stale now.
    chiudiSchermata(main->finestraAperta(classeRicercaRichieste()));
    if (dm)
        dm->MemTableRichieste()->close();
}

void TFormInsVarAnnunci::closeEvent(QCloseEvent *event)
{
    TEditorBase::closeEvent(event);
    if (!event->isAccepted())
        return;
    // Photo and video rows added or deleted since the last save go away with the transaction.
    m_foto->chiudi();
    m_video->chiudi();
    try {
        m_tr.rollback();
    } catch (const db::DbError &) {
        // The window goes anyway; the server drops the transaction with the connection.
    }
}

// --- tab lock ------------------------------------------------------------------------------------------------------

void TFormInsVarAnnunci::PageControlChange(int pagina)
{
    if (m_cambioPaginaConsentito || m_idSalvato != 0 || pagina == 0)
        return;
    // The change is refused; a successful save shows "Foto e Video" by itself.
    mostraPagina(0);
    const auto risposta = ui().domanda(
        this, titolo(),
        QStringLiteral("E` necessario salvare i dati sin qui immessi prima di procedere.\n\nSalvarli ora?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, UiService::Icona::Domanda);
    if (risposta != QMessageBox::Yes)
        return;
    m_fotoDopoSalvataggio = true;
    if (Conferma() == Esito::Rifiutata)
        m_fotoDopoSalvataggio = false;
}

// --- client ---------------------------------------------------------------------------------------------------------

void TFormInsVarAnnunci::ButtonCercaClienteClick()
{
    if (m_clienteBloccato) {
        if (ui().domanda(
                this, titolo(), QStringLiteral("Conferma l'intenzione di modificare il cliente di questo annuncio?"),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No, UiService::Icona::Avviso) == QMessageBox::Yes)
            bloccaCliente(false);
        return;
    }
    tavo::apriSceltaCliente();
}

void TFormInsVarAnnunci::ButtonNuovoClienteClick()
{
    TFormMain::istanza()->ApriFinestra<TFormInsVarClienti>()->CaricaCliente(0);
}

void TFormInsVarAnnunci::ButtonClienteClick()
{
    if (EditCliente->currentIndex() < 0)
        return;
    const int id = EditCliente->currentData().toInt();
    TFormMain::istanza()->ApriFinestra<TFormInsVarClienti>()->CaricaCliente(id);
}

void TFormInsVarAnnunci::ButtonSceltaComuneClick()
{
    auto *scelta = TFormMain::istanza()->ApriFinestra<TFormInserimentoComune>();
    scelta->ButtonAggiungieContinua->setVisible(false);
    scelta->ButtonAggiungieFine->setText(QStringLiteral("Seleziona"));
    scelta->ButtonFine->setText(QStringLiteral("Annulla"));
    scelta->FinestraRichiedente = this;
}

// --- coordinates ----------------------------------------------------------------------------------------------------

void TFormInsVarAnnunci::abilitaMappa()
{
    const bool mappa = EditMAPPA->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{LabelCoordinate, EditCOORD_LONG, EditCOORD_LAT, ButtonRicalcola,
                                                       ButtonGoogleMaps})
        w->setEnabled(mappa);
}

void TFormInsVarAnnunci::EditMAPPAClick(bool selezionato)
{
    if (selezionato) {
        ButtonRicalcolaClick();
    } else {
        EditCOORD_LONG->impostaValore(0);
        EditCOORD_LAT->impostaValore(0);
    }
}

void TFormInsVarAnnunci::ButtonRicalcolaClick()
{
    const QString indirizzo =
        tavo::indirizzoPerMappa(EditINDIRIZZO->text(), EditNUM_CIVICO->text(), EditLOCALITA->currentText());
    const QString comune = tavo::comunePerMappa(EditComune->text());
    const QString servizio = TFormMain::istanza()->configurazione().servizioMappe;
    m_queryMappa = tavo::queryMappa(indirizzo, comune);
    tavo::RisultatoCoordinate r;
    try {
        CursoreAttesa attesa;
        r = tavo::CalcolaCoordinate(TFormMain::istanza()->database(), m_queryMappa, servizio);
        if (!r.ok && !indirizzo.isEmpty()) {
            // The municipality alone, when the address is not known to the service.
            m_queryMappa = tavo::queryMappa(QString(), comune);
            r = tavo::CalcolaCoordinate(TFormMain::istanza()->database(), m_queryMappa, servizio);
        }
    } catch (const db::DbError &e) {
        tavo::TavoApplication::mostraErrore(e.message());
        return;
    }
    if (r.ok) {
        EditCOORD_LONG->impostaValore(r.longitudine);
        EditCOORD_LAT->impostaValore(r.latitudine);
        impostaModificato(true);
    }
    if (tavo::interoTroncato(EditCOORD_LONG->valore()) == 0 && tavo::interoTroncato(EditCOORD_LAT->valore()) == 0)
        errore(QStringLiteral("Impossibile calcolare le coordinate per la mappa a causa del seguente errore:\n\n") +
               r.errore);
}

void TFormInsVarAnnunci::ButtonGoogleMapsClick()
{
    const QString indirizzo = tavo::indirizzoMappa(TFormMain::istanza()->configurazione().servizioMappe, m_queryMappa,
                                                   tavo::interoTroncato(EditCOORD_LONG->valore()),
                                                   tavo::interoTroncato(EditCOORD_LAT->valore()));
    ui().apriIndirizzo(QUrl::fromEncoded(indirizzo.toLatin1()));
}
