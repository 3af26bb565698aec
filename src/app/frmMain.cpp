#include "app/frmMain.h"

#include "app/core/cifra.h"
#include "app/core/esportazione.h"
#include "app/core/impostazioni.h"
#include "app/core/sysinfo.h"
#include "app/core/clock.h"
#include "app/frmPassword.h"
#include "clients/frmInsVarClienti.h"
#include "clients/frmRicercaClienti.h"
#include "data/dmQueryComposte.h"
#include "listings/frmAnteprimaFoto.h"
#include "listings/frmInsVarAnnunci.h"
#include "listings/frmRicercaAnnunci.h"
#include "listings/registroschermate.h"
#include "requests/frmInsVarRichieste.h"
#include "requests/frmRicercaRichieste.h"
#include "widgets/frmAttesa.h"
#include "widgets/immagini.h"
#include "widgets/searchgrid.h"
#include "widgets/uiservice.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

using tavo::UiService;
using tavo::ui;

namespace {
TFormMain *g_istanza = nullptr;
const QColor ColoreFinestra(194, 205, 149);
} // namespace

// --- background -------------------------------------------------------------------------------

TMdiSfondo::TMdiSfondo(QWidget *parent) : QMdiArea(parent), m_tessella(tavo::tessellaSfondo()), m_logo(tavo::logoPredefinito())
{
    setObjectName(QStringLiteral("MDIClient"));
}

void TMdiSfondo::impostaLogo(const QPixmap &logo)
{
    m_logo = logo;
    viewport()->update();
}

void TMdiSfondo::paintEvent(QPaintEvent *)
{
    QPainter p(viewport());
    // Whole tiles from the top-left corner until the area is covered.
    const int righe = viewport()->height() / m_tessella.height() + 1;
    const int colonne = viewport()->width() / m_tessella.width() + 1;
    for (int r = 0; r < righe; ++r)
        for (int c = 0; c < colonne; ++c)
            p.drawPixmap(c * m_tessella.width(), r * m_tessella.height(), m_tessella);
    p.drawPixmap((viewport()->width() - m_logo.width()) / 2, (viewport()->height() - m_logo.height()) / 2, m_logo);
}

// --- main window ------------------------------------------------------------------------------

TFormMain::TFormMain(const QString &cartellaProgramma)
    : m_cartellaProgramma(cartellaProgramma.isEmpty() ? QCoreApplication::applicationDirPath() : cartellaProgramma)
{
    g_istanza = this;
    // The grids' export entries reach EsportaGriglia through the instance alive at that moment.
    tavo::TSearchGrid::impostaEsportatore([](int tipo, const QString &nome, QTableView *griglia) {
        return TFormMain::istanza() && TFormMain::istanza()->EsportaGriglia(tipo, nome, griglia);
    });
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(Caption());
    setWindowIcon(tavo::icona(tavo::Icona::Annunci));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColoreFinestra);
    setPalette(pal);

    m_mdi = new TMdiSfondo(this);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    auto *centro = new QWidget(this);
    auto *layout = new QVBoxLayout(centro);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    creaToolbar();
    layout->addWidget(m_toolbar);
    layout->addWidget(m_mdi, 1);
    setCentralWidget(centro);
    creaMenu();
    creaBarraStato();

    m_timerResize = new QTimer(this);
    m_timerResize->setObjectName(QStringLiteral("TimerResizeChildForm"));
    m_timerResize->setSingleShot(true);
    m_timerResize->setInterval(100);
    connect(m_timerResize, &QTimer::timeout, this, &TFormMain::TimerResizeChildFormTimer);

    resize(880, 663 + menuBar()->sizeHint().height());
}

TFormMain::~TFormMain()
{
    // The screens hold transactions on our connection: they go before it does.
    for (QMdiSubWindow *sub : m_mdi->subWindowList())
        delete sub;
    if (g_istanza == this)
        g_istanza = nullptr;
}

TFormMain *TFormMain::istanza() { return g_istanza; }

QAction *TFormMain::voce(QMenu *menu, const QString &nome, const QString &testo, int iconaIndice)
{
    auto *a = new QAction(testo, this);
    a->setObjectName(nome);
    if (iconaIndice >= 0)
        a->setIcon(tavo::icona(static_cast<tavo::Icona>(iconaIndice)));
    a->setIconVisibleInMenu(iconaIndice >= 0);
    // Every command whose screen is not part of the program yet stays visible and disabled.
    a->setEnabled(false);
    menu->addAction(a);
    return a;
}

void TFormMain::collegaPulsante(const QString &pulsante, QAction *comando)
{
    if (auto *b = m_toolbar->findChild<QToolButton *>(pulsante)) {
        b->setEnabled(true);
        connect(b, &QToolButton::clicked, comando, &QAction::trigger);
    }
}

void TFormMain::creaMenu()
{
    QMenuBar *barra = menuBar();
    barra->setObjectName(QStringLiteral("MainMenu"));
    // The top-level entries: the selected one in green, the bar in the window colour to its end,
    // captions 10 pixels from the left of each entry.
    barra->setStyleSheet(QStringLiteral(
        "QMenuBar { background-color: rgb(194, 205, 149); }"
        "QMenuBar::item { background: transparent; padding: 4px 10px 4px 10px; }"
        "QMenuBar::item:selected, QMenuBar::item:pressed { background-color: rgb(158, 175, 0); }"));

    auto menu = [&](const QString &nome, const QString &testo) {
        QMenu *m = barra->addMenu(testo);
        m->setObjectName(nome);
        m->menuAction()->setObjectName(nome);
        return m;
    };

    QMenu *annunci = menu(QStringLiteral("MenuAnnunci"), QStringLiteral("Annunci"));
    // The listing editor for a new listing. The editor and the photo preview are also registered by name for the
    // screens that reach them that way (the listing search).
    QAction *inserimentoAnnunci =
        voce(annunci, QStringLiteral("MenuInserimentoAnnunci"), QStringLiteral("Inserimento"), 0);
    inserimentoAnnunci->setEnabled(true);
    connect(inserimentoAnnunci, &QAction::triggered, this,
            [this] { ApriFinestra<TFormInsVarAnnunci>()->CaricaAnnuncio(0); });
    tavo::registraSchermataPredefinita(QStringLiteral("TFormInsVarAnnunci"), [] { return new TFormInsVarAnnunci; });
    tavo::registraSchermataPredefinita(QStringLiteral("TFormAnteprimaFoto"), [] { return new TFormAnteprimaFoto; });
    // Listings: the search in full-list mode, also from the toolbar button "Annunci" and, through the action,
    // at the first showing when AUTO_FORM is 1.
    QAction *ricercaAnnunci = voce(annunci, QStringLiteral("MenuRicercaAnnunci"), QStringLiteral("Ricerca"), 0);
    ricercaAnnunci->setEnabled(true);
    connect(ricercaAnnunci, &QAction::triggered, this, [] { TFormRicercaAnnunci::ApriElencoCompleto(); });
    collegaPulsante(QStringLiteral("SXSkinButtonAnnunci"), ricercaAnnunci);

    tavo::registraSchermataPredefinita(QStringLiteral("TFormRicercaAnnunci"), [] { return new TFormRicercaAnnunci; });

    QMenu *richieste = menu(QStringLiteral("MenuRichieste"), QStringLiteral("Richieste"));
    // Requests: the editor for a new request, the search in full-list mode (also the toolbar button "Richieste" and
    // AUTO_FORM 2) and the editor in quick-find mode (also the toolbar button "Trova Veloce").
    QAction *inserimentoRichieste =
        voce(richieste, QStringLiteral("MenuInserimentoRichieste"), QStringLiteral("Inserimento"), 1);
    inserimentoRichieste->setEnabled(true);
    connect(inserimentoRichieste, &QAction::triggered, this,
            [this] { ApriFinestra<TFormInsVarRichieste>()->CaricaRichiesta(0); });
    tavo::registraSchermataPredefinita(QStringLiteral("TFormInsVarRichieste"), [] { return new TFormInsVarRichieste; });
    QAction *ricercaRichieste = voce(richieste, QStringLiteral("MenuRicercaRichieste"), QStringLiteral("Ricerca"), 1);
    ricercaRichieste->setEnabled(true);
    connect(ricercaRichieste, &QAction::triggered, this, [] { TFormRicercaRichieste::ApriElencoCompleto(); });
    tavo::registraSchermataPredefinita(QStringLiteral("TFormRicercaRichieste"),
                                       [] { return new TFormRicercaRichieste; });
    richieste->addSeparator();
    QAction *trovaVeloce = voce(richieste, QStringLiteral("MenuTrovaVeloce"), QStringLiteral("Trova Veloce"), 2);
    trovaVeloce->setEnabled(true);
    connect(trovaVeloce, &QAction::triggered, this, [] { TFormInsVarRichieste::ApriTrovaVeloce(); });
    collegaPulsante(QStringLiteral("SXSkinButtonRichieste"), ricercaRichieste);
    collegaPulsante(QStringLiteral("SXSkinButtonAlVolo"), trovaVeloce);

    QMenu *clienti = menu(QStringLiteral("MenuClienti"), QStringLiteral("Clienti"));
    // Clients: "Inserimento" opens the client editor for a new client.
    QAction *inserimentoClienti =
        voce(clienti, QStringLiteral("MenuInserimentoClienti"), QStringLiteral("Inserimento"), 3);
    inserimentoClienti->setEnabled(true);
    connect(inserimentoClienti, &QAction::triggered, this,
            [this] { ApriFinestra<TFormInsVarClienti>()->CaricaCliente(0); });
    // The client search (also the toolbar button "Clienti" and AUTO_FORM 3), also the pickers' screen.
    QAction *ricercaClienti = voce(clienti, QStringLiteral("MenuRicercaClienti"), QStringLiteral("Ricerca"), 3);
    ricercaClienti->setEnabled(true);
    connect(ricercaClienti, &QAction::triggered, this, [] { TFormRicercaClienti::ApriRicerca(); });
    tavo::registraSchermataPredefinita(QStringLiteral("TFormRicercaClienti"), [] { return new TFormRicercaClienti; });
    collegaPulsante(QStringLiteral("SXSkinButtonClienti"), ricercaClienti);

    QMenu *appuntamenti = menu(QStringLiteral("MenuAppuntamenti"), QStringLiteral("Appuntamenti"));
    voce(appuntamenti, QStringLiteral("MenuConsultazioneAppuntamenti"), QStringLiteral("Consultazione Agenda"), 4);

    QMenu *stampe = menu(QStringLiteral("MenuStampe"), QStringLiteral("Stampe"));
    // The printed list of listings: the search in full-list mode, exported as HTML and opened at once.
    QAction *elencoAnnunci = voce(stampe, QStringLiteral("MenuElencoAnnunci1"), QStringLiteral("Elenco Annunci"));
    elencoAnnunci->setEnabled(true);
    connect(elencoAnnunci, &QAction::triggered, this, [] { TFormRicercaAnnunci::StampaElencoAnnunci(); });
    // The printed lists of requests and clients: the searches exported as HTML and opened at once.
    QAction *elencoRichieste =
        voce(stampe, QStringLiteral("MenuElencoRichieste1"), QStringLiteral("Elenco Richieste"));
    elencoRichieste->setEnabled(true);
    connect(elencoRichieste, &QAction::triggered, this, [] { TFormRicercaRichieste::StampaElencoRichieste(); });
    QAction *elencoClienti = voce(stampe, QStringLiteral("MenuElencoClienti1"), QStringLiteral("Elenco Clienti"));
    elencoClienti->setEnabled(true);
    connect(elencoClienti, &QAction::triggered, this, [] { TFormRicercaClienti::ApriRicerca()->EsportaInHTML(); });
    stampe->addSeparator();
    voce(stampe, QStringLiteral("MenuSchedaAnnuncioInterna"), QStringLiteral("Scheda Annuncio Uso Interno"))->setData(1);
    voce(stampe, QStringLiteral("MenuSchedaAnnuncioperCliente"), QStringLiteral("Scheda Annuncio per Cliente"))->setData(2);
    voce(stampe, QStringLiteral("MenuSchedaAnnuncioperVetrina"), QStringLiteral("Scheda Annuncio per Vetrina"))->setData(3);
    stampe->addSeparator();
    voce(stampe, QStringLiteral("MenuSchedaRichiesta"), QStringLiteral("Scheda Richiesta"));
    stampe->addSeparator();
    voce(stampe, QStringLiteral("MenuElencoAppuntamenti"), QStringLiteral("Elenco Appuntamenti"))->setData(4);

    QMenu *strumenti = menu(QStringLiteral("MenuStrumenti"), QStringLiteral("Strumenti"));
    voce(strumenti, QStringLiteral("MenuOpzioni"), QStringLiteral("Opzioni"));
    voce(strumenti, QStringLiteral("MenuRichiestaAssistenza"), QStringLiteral("Richiesta Assistenza"));
    voce(strumenti, QStringLiteral("MenuVerificaAggiornamenti"), QStringLiteral("Verifica Disponibilità Aggiornamenti"));
    strumenti->addSeparator();
    voce(strumenti, QStringLiteral("MenuGestioneRiviste"), QStringLiteral("Gestione Riviste"));
    voce(strumenti, QStringLiteral("MenuInvioAnnunciARiviste"), QStringLiteral("Invio Annunci a Riviste"));
    strumenti->addSeparator();
    voce(strumenti, QStringLiteral("MenuImportazioneAnnunci"), QStringLiteral("Importazione Iniziale"));
    voce(strumenti, QStringLiteral("MenuPubblicazioneAnnunci"), QStringLiteral("Pubblicazione Annunci"));
    strumenti->addSeparator();
    voce(strumenti, QStringLiteral("MenuComandiSQL"), QStringLiteral("Esecuzione comandi SQL"));

    QMenu *aiuto = menu(QStringLiteral("MenuAiuto"), QStringLiteral("Aiuto"));
    voce(aiuto, QStringLiteral("MenuOttieniAiutoinLinea"), QStringLiteral("Help online"));
    QAction *info = voce(aiuto, QStringLiteral("MenuInfo"), QStringLiteral("Info"));
    info->setEnabled(true);
    connect(info, &QAction::triggered, this, &TFormMain::MenuInfoClick);
    aiuto->addSeparator();
    voce(aiuto, QStringLiteral("MenuRichiestaAssistenza1"), QStringLiteral("Richiesta Assistenza"));
    aiuto->addSeparator();
    QAction *servizi =
        voce(aiuto, QStringLiteral("MenuAltriServiziTavoVizerevaded"), QStringLiteral("Altri Servizi Tavo Vuduvoveviv"));
    servizi->setEnabled(true);
    connect(servizi, &QAction::triggered, this, &TFormMain::MenuAltriServiziClick);

    QMenu *finestre = menu(QStringLiteral("MenuFinestre"), QStringLiteral("Finestre"));
    QAction *chiudi = voce(finestre, QStringLiteral("MenuChiudiTutto"), QStringLiteral("Chiudi Tutto"));
    chiudi->setEnabled(true);
    connect(chiudi, &QAction::triggered, this, &TFormMain::MenuChiudiTuttoClick);
    // Below a separator, the open child windows (the frame's window list).
    connect(finestre, &QMenu::aboutToShow, this, [this, finestre, chiudi] {
        for (QAction *a : finestre->actions())
            if (a != chiudi)
                finestre->removeAction(a), a->deleteLater();
        const auto figli = m_mdi->subWindowList();
        if (!figli.isEmpty())
            finestre->addSeparator();
        int n = 1;
        for (QMdiSubWindow *sub : figli) {
            QAction *a = finestre->addAction(QStringLiteral("&%1 %2").arg(n++).arg(sub->windowTitle()));
            a->setCheckable(true);
            a->setChecked(sub == m_mdi->activeSubWindow());
            connect(a, &QAction::triggered, this, [this, sub] {
                sub->showNormal();
                m_mdi->setActiveSubWindow(sub);
            });
        }
    });

    QAction *uscita = barra->addAction(QStringLiteral("Uscita"));
    uscita->setObjectName(QStringLiteral("MenuUscita"));
    uscita->setData(1);
    connect(uscita, &QAction::triggered, this, &QWidget::close);
}

void TFormMain::creaToolbar()
{
    m_toolbar = new QWidget(this);
    m_toolbar->setObjectName(QStringLiteral("PanelToolbar"));
    m_toolbar->setFixedHeight(102);
    m_toolbar->setAutoFillBackground(true);
    auto *layout = new QHBoxLayout(m_toolbar);
    layout->setContentsMargins(2, 3, 2, 3);
    layout->setSpacing(2);
    auto *barra = new QFrame(m_toolbar);
    barra->setFrameShape(QFrame::VLine);
    barra->setFrameShadow(QFrame::Sunken);
    layout->addWidget(barra);

    const struct {
        const char *nome;
        const char *testo;
        tavo::Icona icona;
        bool attivo;
    } pulsanti[] = {
        {"SXSkinButtonAnnunci", "Annunci", tavo::Icona::Annunci, false},
        {"SXSkinButtonRichieste", "Richieste", tavo::Icona::Richieste, false},
        {"SXSkinButtonAlVolo", "Trova Veloce", tavo::Icona::TrovaVeloce, false},
        {"SXSkinButtonClienti", "Clienti", tavo::Icona::Clienti, false},
        {"SXSkinButtonAppuntamenti", "Appuntamenti", tavo::Icona::Agenda, false},
        {"SXSkinButtonTavoWeb", "Espandi Tavo!", tavo::Icona::Servizi, true},
    };
    for (const auto &p : pulsanti) {
        auto *b = new QToolButton(m_toolbar);
        b->setObjectName(QLatin1String(p.nome));
        b->setText(QString::fromUtf8(p.testo));
        b->setIcon(tavo::icona(p.icona));
        b->setIconSize(QSize(56, 56));
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setFixedSize(96, 96);
        b->setAutoRaise(true);
        b->setEnabled(p.attivo);
        layout->addWidget(b);
    }
    connect(m_toolbar->findChild<QToolButton *>(QStringLiteral("SXSkinButtonTavoWeb")), &QToolButton::clicked, this,
            &TFormMain::MenuAltriServiziClick);

    // The two-day agenda: today and tomorrow, working hours in yellow. It fills with appointments
    // once the calendar is part of the program; until then it stays disabled.
    m_giorni = new QTableWidget(m_toolbar);
    m_giorni->setObjectName(QStringLiteral("JvTFDays"));
    m_giorni->setColumnCount(2);
    m_giorni->setRowCount(24 * 2);
    m_giorni->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_giorni->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_giorni->verticalHeader()->setDefaultSectionSize(18);
    m_giorni->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    const QLocale italiano(QLocale::Italian, QLocale::Italy);
    for (int d = 0; d < 2; ++d) {
        const QDate giorno = tavo::Clock::today().addDays(d);
        m_giorni->setHorizontalHeaderItem(
            d, new QTableWidgetItem(QStringLiteral("Appuntamenti - ") + italiano.toString(giorno, QStringLiteral("dddd dd/MM/yyyy"))));
    }
    for (int r = 0; r < 48; ++r) {
        m_giorni->setVerticalHeaderItem(r, new QTableWidgetItem(r % 2 ? QString() : QStringLiteral("%1:00").arg(r / 2, 2, 10, QLatin1Char('0'))));
        for (int d = 0; d < 2; ++d) {
            auto *cella = new QTableWidgetItem;
            if (r >= 18 && r < 38)
                cella->setBackground(QColor(255, 255, 200));
            m_giorni->setItem(r, d, cella);
        }
    }
    QFont piccolo = m_giorni->font();
    piccolo.setPointSizeF(piccolo.pointSizeF() * 0.85);
    m_giorni->setFont(piccolo);
    m_giorni->horizontalHeader()->setFont(piccolo);
    m_giorni->verticalHeader()->setFont(piccolo);
    m_giorni->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignTop);
    m_giorni->setMinimumWidth(300);
    m_giorni->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_giorni->setEnabled(false);
    layout->addWidget(m_giorni, 1);
}

void TFormMain::creaBarraStato()
{
    QStatusBar *barra = statusBar();
    barra->setObjectName(QStringLiteral("StatusBar"));
    barra->setSizeGripEnabled(true);
    const int larghezze[3] = {150, 450, 500};
    for (int i = 0; i < 3; ++i) {
        m_pannelli[i] = new QLabel(barra);
        m_pannelli[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        m_pannelli[i]->setFrameShape(QFrame::Panel);
        m_pannelli[i]->setFrameShadow(QFrame::Sunken);
        if (i < 2)
            m_pannelli[i]->setFixedWidth(larghezze[i]);
        else
            m_pannelli[i]->setMinimumWidth(100);
        barra->addWidget(m_pannelli[i], i == 2 ? 1 : 0);
    }
    m_pannelli[0]->setText(QStringLiteral("Tavo Vuduvoveviv ") + tavo::LeggiInfoVersione(QString(), QStringLiteral("FileVersion")));
    // The panel widths suit the old system font: never narrower than the product and version.
    m_pannelli[0]->setFixedWidth(qMax(larghezze[0], m_pannelli[0]->sizeHint().width() + 8));
}

QString TFormMain::testoPannello(int pannello) const
{
    return pannello >= 0 && pannello < 3 ? m_pannelli[pannello]->text() : QString();
}

bool TFormMain::Avvia()
{
    // A main window put away minimised comes back in normal state.
    {
        auto s = tavo::impostazioni(QStringLiteral("FormMain"));
        if (s->contains(QStringLiteral("ShowCmd")) && s->value(QStringLiteral("ShowCmd")).toInt() == 2)
            s->setValue(QStringLiteral("ShowCmd"), 1);
    }
    m_config = tavo::leggiConfigurazione(m_cartellaProgramma);

    try {
        m_db.open(m_config.stringaDiConnessione, m_config.nomeUtente, m_config.password);
    } catch (const db::DbError &e) {
        QString testo = e.message();
        if (testo.contains(QStringLiteral("incompatible with current")))
            testo += QStringLiteral("\n\nIl database è aperto da un altro programma che non lo condivide: "
                                    "chiudere quel programma e riavviare Tavo.");
        ui().messaggio(this, Caption(),
                       QStringLiteral("Impossibile aprire il Database per il seguente errore SQL:\n\n") + testo,
                       UiService::Icona::Errore);
        return false;
    }
    m_tr = std::make_unique<db::Transaction>(m_db);

    db::Query q(*m_tr, QStringLiteral("select PWD_INGRESSO from OPZIONI where ID=0"));
    const QString password = q.first() ? q.text(QStringLiteral("PWD_INGRESSO")) : QString();
    q.close();
    if (!password.isEmpty() &&
        !TFormPassword::Verifica(Caption(), tavo::leggiPasswordCifrata(password), this))
        return false;

    db::Query logo(*m_tr, QStringLiteral("select AZ_LOGO from OPZIONI where ID=0"));
    const QString fileLogo = logo.first() ? logo.text(QStringLiteral("AZ_LOGO")) : QString();
    logo.close();
    if (!fileLogo.isEmpty() && QFileInfo(fileLogo).isFile()) {
        const QPixmap immagine(fileLogo);
        if (!immagine.isNull())
            m_mdi->impostaLogo(immagine);
    }
    FileTemporanei.clear();
    LogConnessione.clear();

    // Placement of the last run.
    auto s = tavo::impostazioni(QStringLiteral("FormMain"));
    const QRect r = s->value(QStringLiteral("Posizione")).toRect();
    if (r.isValid())
        setGeometry(r);

    // The shared data module; the filling of a match table shows the wait window.
    m_dataModule = std::make_unique<tavo::TDataModuleQueryComposte>(m_db);
    m_dataModule->setFabbricaProgresso([this] { return std::make_unique<tavo::TFormAttesa>(this); });
    return true;
}

void TFormMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_primaVolta)
        return;
    m_primaVolta = false;
    QTimer::singleShot(0, this, &TFormMain::PrimaVisualizzazione);
}

void TFormMain::PrimaVisualizzazione()
{
    // The agenda opens on the working day.
    m_giorni->scrollTo(m_giorni->model()->index(18, 0), QAbstractItemView::PositionAtTop);
    if (!m_tr)
        return;
    db::Query q(*m_tr, QStringLiteral("select AUTO_FORM from OPZIONI where ID=0"));
    const int autoForm = q.first() ? q.value(QStringLiteral("AUTO_FORM")).toInt() : 0;
    q.close();
    const char *comandi[] = {nullptr, "MenuRicercaAnnunci", "MenuRicercaRichieste", "MenuRicercaClienti"};
    if (autoForm >= 1 && autoForm <= 3) {
        if (auto *a = findChild<QAction *>(QLatin1String(comandi[autoForm])); a && a->isEnabled())
            a->trigger();
    }
    emit schermataIniziale(autoForm);
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    // Children first: one that refuses to close keeps the program open.
    MenuChiudiTuttoClick();
    for (QMdiSubWindow *sub : m_mdi->subWindowList()) {
        if (sub->objectName() != QLatin1String("FormAppuntamenti")) {
            event->ignore();
            return;
        }
    }
    for (const QString &file : FileTemporanei)
        QFile::remove(file);
    FileTemporanei.clear();
    LogConnessione.clear();
    auto s = tavo::impostazioni(QStringLiteral("FormMain"));
    s->setValue(QStringLiteral("ShowCmd"), isMinimized() ? 2 : isMaximized() ? 3 : 1);
    s->setValue(QStringLiteral("Posizione"), normalGeometry());
    if (m_tr) {
        try {
            m_tr->commit();
        } catch (const db::DbError &) {
        }
    }
    QMainWindow::closeEvent(event);
}

QWidget *TFormMain::ApriFinestra(const QString &classe, const std::function<QWidget *()> &crea)
{
    if (QWidget *aperta = m_finestre.value(classe)) {
        QWidget *cornice = aperta->parentWidget() ? aperta->parentWidget() : aperta;
        if (auto *sub = qobject_cast<QMdiSubWindow *>(cornice)) {
            sub->showNormal();
            m_mdi->setActiveSubWindow(sub);
        }
        cornice->raise();
        aperta->show();
        return aperta;
    }
    QWidget *schermata = crea();
    QMdiSubWindow *sub = m_mdi->addSubWindow(schermata);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setObjectName(schermata->objectName());
    sub->setWindowIcon(schermata->windowIcon().isNull() ? windowIcon() : schermata->windowIcon());
    sub->installEventFilter(this);
    m_finestre.insert(classe, schermata);
    sub->show();
    return schermata;
}

bool TFormMain::ControllaDimensioniFiglio(QWidget *, int larghezza, int altezza) const
{
    const int larghezzaCliente = width();
    const int altezzaCliente = height() - menuBar()->height();
    return larghezza <= larghezzaCliente && altezza <= altezzaCliente - m_toolbar->height() - 25;
}

bool TFormMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        auto *figlio = qobject_cast<QMdiSubWindow *>(watched);
        auto *re = static_cast<QResizeEvent *>(event);
        // Refused: back to the previous size, and inside the frame a moment later. Only when the
        // previous size itself fits: a window restored at a size larger than the frame keeps it.
        if (figlio && !m_ripristinoDimensioni && re->oldSize().isValid() &&
            !ControllaDimensioniFiglio(figlio, re->size().width(), re->size().height()) &&
            ControllaDimensioniFiglio(figlio, re->oldSize().width(), re->oldSize().height())) {
            m_ripristinoDimensioni = true;
            figlio->resize(re->oldSize());
            m_ripristinoDimensioni = false;
            m_figlioRifiutato = figlio;
            m_timerResize->start();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFormMain::TimerResizeChildFormTimer()
{
    if (!m_figlioRifiutato)
        return;
    QPoint pos = m_figlioRifiutato->pos();
    pos.setX(qMax(0, pos.x()));
    pos.setY(qMax(0, pos.y()));
    m_figlioRifiutato->move(pos);
    m_figlioRifiutato = nullptr;
}

void TFormMain::MenuChiudiTuttoClick()
{
    for (;;) {
        QMdiSubWindow *prossimo = nullptr;
        for (QMdiSubWindow *sub : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
            if (sub->objectName() == QLatin1String("FormAppuntamenti") && sub->isMinimized())
                continue;
            prossimo = sub;
            break;
        }
        if (!prossimo)
            return;
        QPointer<QMdiSubWindow> guardia(prossimo);
        prossimo->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        if (guardia && m_mdi->subWindowList().contains(guardia))
            return; // it refused (its question answered Cancel): stop at the first refusal
    }
}

bool TFormMain::EsportaGriglia(int tipo, const QString &nome, QTableView *griglia)
{
    QVector<int> colonne;
    QHeaderView *intestazione = griglia->horizontalHeader();
    for (int v = 0; v < intestazione->count(); ++v) {
        const int logica = intestazione->logicalIndex(v);
        if (!griglia->isColumnHidden(logica))
            colonne << logica;
    }
    const QString estensione = tavo::estensioneEsportazione(tipo);
    QString file;
    if (AperturaDiretta) {
        file = tavo::InfoSistema(0) + QStringLiteral("%1").arg(tavo::tickCount(), 10, 10, QLatin1Char('0')) + estensione;
        FileTemporanei << file;
    } else {
        // A name remembered from an earlier export loses its old extension (all after the first ".").
        const QString proposto = m_ultimoFileEsportazione.section(QLatin1Char('.'), 0, 0);
        file = ui().fileDaSalvare(this, tavo::titoloEsportazione(tipo, nome), proposto,
                                  tavo::tipiFileEsportazione(tipo), estensione);
        if (file.isEmpty())
            return false;
        m_ultimoFileEsportazione = file;
    }
    QString errore;
    const bool ok = tavo::esportaModello(tipo, nome, *griglia->model(), colonne, file, &errore,
                                         tavo::ValoriExcel::Tipizzati);
    if (ok) {
        if (AperturaDiretta)
            ui().apriFile(file);
        else
            MostraFileSalvato(file);
    } else {
        ui().messaggio(this, Caption(), errore, UiService::Icona::Errore);
    }
    AperturaDiretta = false;
    return ok;
}

void TFormMain::MostraFileSalvato(const QString &file)
{
    const QString percorso = QFileInfo(file).absoluteFilePath();
    const int scelta = ui().pulsanti(this, Caption(), QStringLiteral("E` stato salvato il file \"%1\"").arg(percorso),
                                     {QStringLiteral("Apri il file"), QStringLiteral("Apri cartella contenente il file"),
                                      QStringLiteral("Continua")},
                                     64);
    if (scelta == 1)
        ui().apriFile(percorso);
    else if (scelta == 2)
        ui().mostraNellaCartella(percorso);
}

bool TFormMain::VerificaCodiceSQL()
{
    return TFormPassword::Verifica(QStringLiteral("Esecuzione Comandi SQL"), QStringLiteral("k71pam"), this);
}

void TFormMain::MenuInfoClick()
{
    ui().messaggio(this, Caption(), testoPannello(0), UiService::Icona::Informazione);
}

void TFormMain::MenuAltriServiziClick()
{
    ui().apriIndirizzo(QUrl(m_config.paginaServizi.isEmpty() ? tavo::leggiConfigurazione(m_cartellaProgramma).paginaServizi
                                                               : m_config.paginaServizi));
}
