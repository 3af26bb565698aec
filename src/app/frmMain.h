#pragma once
// The main window: the multiple-document frame of the whole program, with its menu bar, toolbar,
// status bar and painted background. It owns the database connection and the services the
// screens call back: ApriFinestra, EsportaGriglia, ControllaDimensioniFiglio.

#include "app/core/configurazione.h"
#include "data/database.h"

#include <QHash>
#include <QMainWindow>
#include <QMdiArea>
#include <QPointer>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMdiSubWindow;
class QMenu;
class QTableView;
class QTimer;
class QToolButton;
class QTableWidget;

namespace db = tavo::db;

namespace tavo {
class TDataModuleQueryComposte;
}

// The frame's client area: a tiled background picture with the logo in the middle.
class TMdiSfondo : public QMdiArea
{
    Q_OBJECT
public:
    explicit TMdiSfondo(QWidget *parent = nullptr);
    void impostaLogo(const QPixmap &logo);
    QPixmap logo() const { return m_logo; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_tessella;
    QPixmap m_logo;
};

class TFormMain : public QMainWindow
{
    Q_OBJECT
public:
    static QString Caption() { return QStringLiteral("TAVO - Gestione Agenzia Vuduvoveviv"); }

    // cartellaProgramma: where Setup.ini and the default Tavo.fdb are (empty: the executable's).
    explicit TFormMain(const QString &cartellaProgramma = QString());
    ~TFormMain() override;

    // The start-up: settings store, folders, Setup.ini, connection, start-up password, logo.
    // False when the program must end (the reason, if any, has been shown).
    bool Avvia();

    static TFormMain *istanza();

    db::Database &database() { return m_db; }
    db::Transaction &transazione() { return *m_tr; }
    // The program's one data module (match tables), created at the end of Avvia(); nullptr before.
    tavo::TDataModuleQueryComposte *DataModuleQueryComposte() const { return m_dataModule.get(); }
    const tavo::Configurazione &configurazione() const { return m_config; }
    QString PercorsoFoto() const { return m_config.percorsoFoto; }
    QString CartellaApplicazione() const { return m_config.cartellaApplicazione; }
    QStringList FileTemporanei;
    QStringList LogConnessione;
    bool AperturaDiretta = false;

    TMdiSfondo *mdiArea() const { return m_mdi; }
    QWidget *PanelToolbar() const { return m_toolbar; }
    QString testoPannello(int pannello) const;

    // Opens a screen once: creates it into its slot, or brings the open one back to normal and
    // to the front. The slot is per class and empties itself when the screen is destroyed.
    QWidget *ApriFinestra(const QString &classe, const std::function<QWidget *()> &crea);
    template<class T>
    T *ApriFinestra()
    {
        return qobject_cast<T *>(ApriFinestra(QString::fromLatin1(T::staticMetaObject.className()),
                                              [] { return new T(); }));
    }
    QWidget *finestraAperta(const QString &classe) const { return m_finestre.value(classe); }

    bool ControllaDimensioniFiglio(QWidget *figlio, int larghezza, int altezza) const;
    // Exports the rows and visible columns of a grid: 0 Excel, 1 HTML, 2 CSV, 3 XML.
    bool EsportaGriglia(int tipo, const QString &nome, QTableView *griglia);
    void MostraFileSalvato(const QString &file);
    // The SQL console's access code ("k71pam"), asked with the start-up password dialog.
    bool VerificaCodiceSQL();
    void MenuChiudiTuttoClick();

signals:
    // The screen chosen in the options for the first showing (OPZIONI.AUTO_FORM).
    void schermataIniziale(int autoForm);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void creaMenu();
    void creaToolbar();
    void creaBarraStato();
    QAction *voce(QMenu *menu, const QString &nome, const QString &testo, int iconaIndice = -1);
    // Enables a toolbar button and makes it run the menu command with the same role.
    void collegaPulsante(const QString &pulsante, QAction *comando);
    void PrimaVisualizzazione();
    void MenuInfoClick();
    void MenuAltriServiziClick();
    void TimerResizeChildFormTimer();

    QString m_cartellaProgramma;
    tavo::Configurazione m_config;
    db::Database m_db;
    std::unique_ptr<db::Transaction> m_tr;
    std::unique_ptr<tavo::TDataModuleQueryComposte> m_dataModule; // after m_db: it goes first
    TMdiSfondo *m_mdi = nullptr;
    QWidget *m_toolbar = nullptr;
    QTableWidget *m_giorni = nullptr;
    QLabel *m_pannelli[3] = {};
    QHash<QString, QPointer<QWidget>> m_finestre;
    QPointer<QWidget> m_figlioRifiutato;
    bool m_ripristinoDimensioni = false;
    QTimer *m_timerResize = nullptr;
    QString m_ultimoFileEsportazione;
    bool m_primaVolta = true;
};
