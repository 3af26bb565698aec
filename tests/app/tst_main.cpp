// The start-up and the main window, driven as a user would, on real databases.

#include "app/core/cifra.h"
#include "app/core/impostazioni.h"
#include "app/frmMain.h"
#include "scripteduiservice.h"
#include "tempdatabase.h"
#include "widgets/formbase.h"
#include "widgets/immagini.h"
#include "widgets/tavoapplication.h"

#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using tavo::test::ScriptedUiService;
using tavo::test::TempDatabase;

namespace {

// A small screen for the window services: it can refuse to close.
class TFormProva : public tavo::TEditorBase
{
    Q_OBJECT
public:
    TFormProva() : TEditorBase(QStringLiteral("FormProva")) { setWindowTitle(QStringLiteral("Prova")); }
    bool salvato = false;

protected:
    bool salva() override { return salvato = true; }
};

class TFormAltra : public tavo::TFormBase
{
    Q_OBJECT
public:
    TFormAltra() : TFormBase(QStringLiteral("FormAppuntamenti")) { setWindowTitle(QStringLiteral("Agenda")); }
};

// A widget whose event handler fails, as a database error in a screen would.
class Difettoso : public QObject
{
public:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User)
            throw tavo::db::DbError(QStringLiteral("lock conflict on no wait transaction"));
        return QObject::event(e);
    }
};

} // namespace

class TestMain : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_n = 0;

    QString nuovaCartella()
    {
        const QString d = m_dir.filePath(QStringLiteral("c%1").arg(++m_n));
        QDir().mkpath(d);
        return d;
    }
    static void scriviIni(const QString &cartella, const QString &testo)
    {
        QFile f(cartella + QStringLiteral("/Setup.ini"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(testo.toUtf8());
    }

private slots:
    void init()
    {
        tavo::impostaFileImpostazioni(m_dir.filePath(QStringLiteral("impostazioni%1.ini").arg(++m_n)));
        qputenv("TAVO_CARTELLA_APPLICAZIONE", QFile::encodeName(m_dir.filePath(QStringLiteral("dati"))));
    }

    void startsWithoutSetupIni()
    {
        ScriptedUiService ui;
        TempDatabase db; // Tavo.fdb in its own folder, as beside the executable
        TFormMain main(db.folder());
        QVERIFY(main.Avvia());
        QCOMPARE(main.windowTitle(), QStringLiteral("TAVO - Gestione Agenzia Vuduvoveviv"));
        QCOMPARE(main.PercorsoFoto(), db.folder() + QStringLiteral("/Foto"));
        QVERIFY(QFileInfo(main.PercorsoFoto()).isDir());
        QCOMPARE(main.CartellaApplicazione(), m_dir.filePath(QStringLiteral("dati")));
        QVERIFY(QFileInfo(main.CartellaApplicazione()).isDir());
        QVERIFY(main.testoPannello(0).startsWith(QStringLiteral("Tavo Vuduvoveviv ")));
        QCOMPARE(main.testoPannello(0).mid(17).split(QLatin1Char('.')).size(), 4);
        QCOMPARE(ui.mostrati.size(), 0);
    }

    void logoFromTheOptions_data()
    {
        QTest::addColumn<bool>("fileEsiste");
        QTest::newRow("agency logo") << true;
        QTest::newRow("missing file: built-in logo") << false;
    }
    void logoFromTheOptions()
    {
        QFETCH(bool, fileEsiste);
        ScriptedUiService ui;
        TempDatabase db;
        const QString file = db.folder() + QStringLiteral("/logo.png");
        if (fileEsiste) {
            QImage logo(40, 20, QImage::Format_RGB32);
            logo.fill(Qt::blue);
            QVERIFY(logo.save(file));
        }
        db.exec(QStringLiteral("update OPZIONI set AZ_LOGO='%1' where ID=0").arg(file));
        TFormMain main(db.folder());
        QVERIFY(main.Avvia());
        QCOMPARE(main.mdiArea()->logo().size(), fileEsiste ? QSize(40, 20) : tavo::logoPredefinito().size());
        QCOMPARE(ui.mostrati.size(), 0);
    }

    void aDatabaseThatCannotBeOpened()
    {
        ScriptedUiService ui;
        const QString cartella = nuovaCartella();
        scriviIni(cartella, QStringLiteral("[DB]\nStringaDiConnessione=%1/manca.fdb\n").arg(cartella));
        TFormMain main(cartella);
        QVERIFY(!main.Avvia());
        QCOMPARE(ui.mostrati.size(), 1);
        QCOMPARE(ui.ultimo().titolo, TFormMain::Caption());
        QCOMPARE(ui.ultimo().icona, tavo::UiService::Icona::Errore);
        QVERIFY(ui.ultimo().testo.startsWith(
            QStringLiteral("Impossibile aprire il Database per il seguente errore SQL:\n\n")));
        QVERIFY2(ui.ultimo().testo.contains(QStringLiteral("manca.fdb")), qPrintable(ui.ultimo().testo));
        QVERIFY(!QFile::exists(cartella + QStringLiteral("/manca.fdb"))); // nothing written
    }

    void aFileHeldByAnEngineThatDoesNotShare()
    {
        // isql-fb with the installation's own configuration runs the engine in exclusive mode.
        const QString isql = QStandardPaths::findExecutable(QStringLiteral("isql-fb"));
        if (isql.isEmpty())
            QSKIP("isql-fb is not installed");
        ScriptedUiService ui;
        QString percorso;
        {
            TempDatabase db;
            percorso = m_dir.filePath(QStringLiteral("esclusivo.fdb"));
            QVERIFY(QFile::copy(db.path(), percorso));
        }
        QProcess isqlProc;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("FIREBIRD"));
        isqlProc.setProcessEnvironment(env);
        isqlProc.start(isql, {QStringLiteral("-q"), QStringLiteral("-user"), QStringLiteral("SYSDBA"), percorso});
        QVERIFY(isqlProc.waitForStarted());
        isqlProc.write("select 1 from RDB$DATABASE;\n");
        QTest::qWait(1500); // its output is buffered until it ends: give it time to attach
        QCOMPARE(isqlProc.state(), QProcess::Running);

        const QString cartella = nuovaCartella();
        scriviIni(cartella, QStringLiteral("[DB]\nStringaDiConnessione=%1\n").arg(percorso));
        TFormMain main(cartella);
        QVERIFY(!main.Avvia());
        QCOMPARE(ui.mostrati.size(), 1);
        QVERIFY2(ui.ultimo().testo.contains(QStringLiteral("chiudere quel programma")), qPrintable(ui.ultimo().testo));
        isqlProc.closeWriteChannel();
        QVERIFY(isqlProc.waitForFinished(10000));
    }

    void setupIniDecidesConnectionAndPhotos()
    {
        ScriptedUiService ui;
        TempDatabase db;
        const QString cartella = nuovaCartella();
        const QString foto = m_dir.filePath(QStringLiteral("altre/foto"));
        scriviIni(cartella, QStringLiteral("; configurazione\n[db]\nstringadiconnessione = %1\nNomeUtente=sysdba\n"
                                           "Password=%2\n[Percorsi]\nPercorso Foto=%3\n")
                                .arg(db.path(), tavo::scriviPasswordCifrata(QStringLiteral("qualsiasi")), foto));
        TFormMain main(cartella);
        QVERIFY(main.Avvia());
        QCOMPARE(main.PercorsoFoto(), foto);
        QVERIFY(QFileInfo(foto).isDir());
        QCOMPARE(main.configurazione().password, QStringLiteral("qualsiasi"));
    }

    void startupPassword_data()
    {
        QTest::addColumn<QVariant>("memorizzata"); // plain text, or null for NULL
        QTest::addColumn<QString>("digitata");     // empty: no dialog expected
        QTest::addColumn<bool>("avvia");
        QTest::newRow("NULL") << QVariant() << QString() << true;
        QTest::newRow("empty") << QVariant(QString()) << QString() << true;
        QTest::newRow("other case") << QVariant(QStringLiteral("Segreto")) << QStringLiteral("sEGRETO") << true;
        QTest::newRow("wrong") << QVariant(QStringLiteral("Segreto")) << QStringLiteral("segreta") << false;
        QTest::newRow("cancelled") << QVariant(QStringLiteral("Segreto")) << QStringLiteral("<annulla>") << false;
    }
    void startupPassword()
    {
        QFETCH(QVariant, memorizzata);
        QFETCH(QString, digitata);
        QFETCH(bool, avvia);
        ScriptedUiService ui;
        TempDatabase db;
        {
            tavo::db::Transaction tr(db.db());
            tavo::db::Query q(tr, QStringLiteral("update OPZIONI set PWD_INGRESSO=:P where ID=0"));
            q.setParam(QStringLiteral("P"), memorizzata.isNull()
                                                ? QVariant()
                                                : QVariant(memorizzata.toString().isEmpty()
                                                               ? QString()
                                                               : tavo::scriviPasswordCifrata(memorizzata.toString())));
            q.exec();
            tr.commit();
        }
        bool dialogoVisto = false;
        if (!digitata.isEmpty()) {
            tavo::test::quandoAppare("TFormPassword", [&](QWidget *d) {
                dialogoVisto = true;
                QCOMPARE(d->windowTitle(), TFormMain::Caption());
                if (digitata == QLatin1String("<annulla>")) {
                    QTest::keyClick(d, Qt::Key_Escape);
                    return;
                }
                auto *edit = d->findChild<QLineEdit *>(QStringLiteral("EditPassword"));
                QCOMPARE(edit->echoMode(), QLineEdit::Password);
                QTest::keyClicks(edit, digitata);
                QTest::keyClick(edit, Qt::Key_Return); // Enter confirms
            });
        }
        TFormMain main(db.folder());
        QCOMPARE(main.Avvia(), avvia);
        QCOMPARE(dialogoVisto, !digitata.isEmpty());
        QCOMPARE(ui.mostrati.size(), 0); // a refused password ends the program without a message
    }

    void showCmdMinimisedComesBackNormal_data()
    {
        QTest::addColumn<int>("salvato");
        QTest::addColumn<int>("dopo");
        QTest::newRow("minimised") << 2 << 1;
        QTest::newRow("maximised") << 3 << 3;
        QTest::newRow("normal") << 1 << 1;
    }
    void showCmdMinimisedComesBackNormal()
    {
        QFETCH(int, salvato);
        QFETCH(int, dopo);
        ScriptedUiService ui;
        TempDatabase db;
        tavo::impostazioni(QStringLiteral("FormMain"))->setValue(QStringLiteral("ShowCmd"), salvato);
        TFormMain main(db.folder());
        QVERIFY(main.Avvia());
        QCOMPARE(tavo::impostazioni(QStringLiteral("FormMain"))->value(QStringLiteral("ShowCmd")).toInt(), dopo);
    }

    void firstShowingReadsAutoForm_data()
    {
        QTest::addColumn<QVariant>("valore");
        QTest::addColumn<int>("atteso");
        QTest::newRow("NULL") << QVariant() << 0;
        QTest::newRow("0") << QVariant(0) << 0;
        QTest::newRow("1") << QVariant(1) << 1;
        QTest::newRow("2") << QVariant(2) << 2;
        QTest::newRow("3") << QVariant(3) << 3;
    }
    void firstShowingReadsAutoForm()
    {
        QFETCH(QVariant, valore);
        QFETCH(int, atteso);
        ScriptedUiService ui;
        TempDatabase db;
        {
            tavo::db::Transaction tr(db.db());
            tavo::db::Query q(tr, QStringLiteral("update OPZIONI set AUTO_FORM=:A where ID=0"));
            q.setParam(QStringLiteral("A"), valore);
            q.exec();
            tr.commit();
        }
        TFormMain main(db.folder());
        QVERIFY(main.Avvia());
        QSignalSpy spy(&main, &TFormMain::schermataIniziale);
        main.show();
        QVERIFY(spy.wait(2000));
        QCOMPARE(spy.first().first().toInt(), atteso);
        main.hide();
        main.show(); // only the first showing
        QTest::qWait(50);
        QCOMPARE(spy.size(), 1);
    }

    void menuEntriesAndToolbar()
    {
        ScriptedUiService ui;
        TempDatabase db;
        TFormMain main(db.folder());
        QVERIFY(main.Avvia());
        const struct {
            const char *nome;
            const char *testo;
        } voci[] = {{"MenuInserimentoAnnunci", "Inserimento"},
                    {"MenuRicercaRichieste", "Ricerca"},
                    {"MenuTrovaVeloce", "Trova Veloce"},
                    {"MenuConsultazioneAppuntamenti", "Consultazione Agenda"},
                    {"MenuSchedaAnnuncioperVetrina", "Scheda Annuncio per Vetrina"},
                    {"MenuVerificaAggiornamenti", "Verifica Disponibilità Aggiornamenti"},
                    {"MenuComandiSQL", "Esecuzione comandi SQL"},
                    {"MenuAltriServiziTavoVizerevaded", "Altri Servizi Tavo Vuduvoveviv"},
                    {"MenuChiudiTutto", "Chiudi Tutto"},
                    {"MenuUscita", "Uscita"}};
        for (const auto &v : voci) {
            auto *a = main.findChild<QAction *>(QLatin1String(v.nome));
            QVERIFY2(a, v.nome);
            QCOMPARE(a->text(), QString::fromUtf8(v.testo));
        }
        // Commands whose screens are not part of the program yet are there, disabled.
        for (const char *attivo : {"MenuInserimentoAnnunci", "MenuRicercaAnnunci", "MenuInserimentoRichieste",
                                   "MenuRicercaRichieste", "MenuTrovaVeloce", "MenuInserimentoClienti",
                                   "MenuRicercaClienti", "MenuElencoAnnunci1", "MenuElencoRichieste1",
                                   "MenuElencoClienti1", "MenuInfo"})
            QVERIFY2(main.findChild<QAction *>(QLatin1String(attivo))->isEnabled(), attivo);
        for (const char *inattivo : {"MenuConsultazioneAppuntamenti", "MenuSchedaRichiesta", "MenuOpzioni"})
            QVERIFY2(!main.findChild<QAction *>(QLatin1String(inattivo))->isEnabled(), inattivo);
        QVERIFY(main.findChild<QWidget *>(QStringLiteral("SXSkinButtonAlVolo"))->isEnabled());
        QVERIFY(!main.findChild<QWidget *>(QStringLiteral("SXSkinButtonAppuntamenti"))->isEnabled());
        for (const char *b : {"SXSkinButtonAnnunci", "SXSkinButtonRichieste", "SXSkinButtonAlVolo", "SXSkinButtonClienti",
                              "SXSkinButtonAppuntamenti", "SXSkinButtonTavoWeb"}) {
            auto *w = main.findChild<QWidget *>(QLatin1String(b));
            QVERIFY2(w, b);
            QCOMPARE(w->size(), QSize(96, 96));
        }
        QCOMPARE(main.PanelToolbar()->height(), 102);

        main.findChild<QAction *>(QStringLiteral("MenuInfo"))->trigger();
        QCOMPARE(ui.ultimo().testo, main.testoPannello(0));
        QCOMPARE(ui.ultimo().icona, tavo::UiService::Icona::Informazione);
        main.findChild<QAction *>(QStringLiteral("MenuAltriServiziTavoVizerevaded"))->trigger();
        QCOMPARE(ui.indirizziAperti.size(), 1);
        QVERIFY(ui.indirizziAperti.first().scheme().startsWith(QStringLiteral("http")));
    }

    void sqlConsoleAccessCode_data()
    {
        QTest::addColumn<QString>("digitato");
        QTest::addColumn<bool>("accettato");
        QTest::newRow("right") << "k71pam" << true;
        QTest::newRow("capitals") << "K71PAM" << true;
        QTest::newRow("wrong") << "k71pan" << false;
    }
    void sqlConsoleAccessCode()
    {
        QFETCH(QString, digitato);
        QFETCH(bool, accettato);
        ScriptedUiService ui;
        TempDatabase db;
        TFormMain main(db.folder());
        QVERIFY(main.Avvia());
        tavo::test::quandoAppare("TFormPassword", [&](QWidget *d) {
            QCOMPARE(d->windowTitle(), QStringLiteral("Esecuzione Comandi SQL"));
            QTest::keyClicks(d->findChild<QLineEdit *>(QStringLiteral("EditPassword")), digitato);
            QTest::mouseClick(d->findChild<QPushButton *>(QStringLiteral("ButtonConferma")), Qt::LeftButton);
        });
        QCOMPARE(main.VerificaCodiceSQL(), accettato);
        QCOMPARE(ui.mostrati.size(), 0); // no message either way
    }

    void apriFinestraKeepsOneInstance()
    {
        ScriptedUiService ui;
        TempDatabase db;
        TFormMain main(db.folder());
        QVERIFY(main.Avvia());
        main.show();
        auto *prima = main.ApriFinestra<TFormProva>();
        QVERIFY(prima);
        auto *sub = qobject_cast<QMdiSubWindow *>(prima->parentWidget());
        sub->showMinimized();
        auto *seconda = main.ApriFinestra<TFormProva>();
        QCOMPARE(seconda, prima);
        QVERIFY(!sub->isMinimized()); // brought back to normal
        QCOMPARE(main.mdiArea()->subWindowList().size(), 1);
        sub->close();
        QTest::qWait(10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!main.finestraAperta(QStringLiteral("TFormProva")));
        auto *terza = main.ApriFinestra<TFormProva>();
        QVERIFY(terza && terza != prima);
    }

    void chiudiTuttoStopsAtARefusalAndKeepsMinimisedCalendar()
    {
        ScriptedUiService ui;
        TempDatabase db;
        TFormMain main(db.folder());
        QVERIFY(main.Avvia());
        main.show();
        auto *agenda = main.ApriFinestra<TFormAltra>();
        qobject_cast<QMdiSubWindow *>(agenda->parentWidget())->showMinimized();
        auto *editor = main.ApriFinestra<TFormProva>();
        editor->impostaModificato(true);

        ui.prossimaRisposta(QMessageBox::Cancel); // the editor's close question: stay
        main.MenuChiudiTuttoClick();
        QCOMPARE(ui.conta(QStringLiteral("domanda")), 1);
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Campi modificati. Salvare i dati immessi?"));
        QCOMPARE(main.mdiArea()->subWindowList().size(), 2);

        ui.prossimaRisposta(QMessageBox::Yes); // now it saves and closes
        main.MenuChiudiTuttoClick();
        QVERIFY(ui.senzaRisposta.isEmpty());
        QCOMPARE(main.mdiArea()->subWindowList().size(), 1);
        QCOMPARE(main.mdiArea()->subWindowList().first()->objectName(), QStringLiteral("FormAppuntamenti"));
    }

    void childLargerThanTheFrameIsRefused()
    {
        ScriptedUiService ui;
        TempDatabase db;
        TFormMain main(db.folder());
        QVERIFY(main.Avvia());
        main.resize(900, 700);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        auto *figlio = main.ApriFinestra<TFormProva>();
        auto *sub = qobject_cast<QMdiSubWindow *>(figlio->parentWidget());
        sub->setGeometry(-40, -30, 300, 200);
        QVERIFY(main.ControllaDimensioniFiglio(sub, 300, 200));
        QVERIFY(!main.ControllaDimensioniFiglio(sub, main.width() + 1, 200));
        QVERIFY(!main.ControllaDimensioniFiglio(sub, 300, main.height()));
        sub->resize(main.width() + 50, 200);
        QCOMPARE(sub->size(), QSize(300, 200));
        QTRY_COMPARE_WITH_TIMEOUT(sub->pos(), QPoint(0, 0), 1000);

        // A window already larger than the frame (restored from a bigger frame) is not pushed back
        // to a size that does not fit either, which would never end.
        sub->removeEventFilter(&main);
        sub->resize(main.width() + 80, 200);
        sub->installEventFilter(&main);
        sub->resize(main.width() + 60, 210);
        QCOMPARE(sub->size(), QSize(main.width() + 60, 210));
    }

    void esportaGriglia()
    {
        ScriptedUiService ui;
        TempDatabase db;
        TFormMain main(db.folder());
        QVERIFY(main.Avvia());
        QStandardItemModel model(2, 3);
        model.setHorizontalHeaderLabels({QStringLiteral("Riferimento"), QStringLiteral("Nascosta"), QStringLiteral("Prezzo")});
        model.setItem(0, 0, new QStandardItem(QStringLiteral("A12")));
        model.setItem(0, 1, new QStandardItem(QStringLiteral("segreto")));
        model.setItem(0, 2, new QStandardItem(QStringLiteral("€ 150.000,00")));
        model.setItem(1, 0, new QStandardItem(QStringLiteral("B<7>")));
        QTableView griglia;
        griglia.setModel(&model);
        griglia.setColumnHidden(1, true);

        // Saved through the dialog, then the three-button question.
        const QString html = m_dir.filePath(QStringLiteral("elenco.htm"));
        ui.prossimoFile(html);
        ui.prossimoPulsante(3); // Continua
        QVERIFY(main.EsportaGriglia(1, QStringLiteral("Annunci"), &griglia));
        QCOMPARE(ui.mostrati.at(0).tipo, QStringLiteral("salva"));
        QCOMPARE(ui.mostrati.at(0).titolo, QStringLiteral("Tavo - Elenco Annunci"));
        QCOMPARE(ui.mostrati.at(0).pulsanti, QStringList{QStringLiteral(".htm")});
        QCOMPARE(ui.ultimo().pulsanti, (QStringList{QStringLiteral("Apri il file"),
                                                    QStringLiteral("Apri cartella contenente il file"),
                                                    QStringLiteral("Continua")}));
        QCOMPARE(ui.ultimo().testo, QStringLiteral("E` stato salvato il file \"%1\"").arg(html));
        QFile f(html);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString pagina = QString::fromUtf8(f.readAll());
        QVERIFY(pagina.contains(QStringLiteral("<title>Tavo - Elenco Annunci</title>")));
        QVERIFY(pagina.contains(QStringLiteral("B&lt;7&gt;")));
        QVERIFY(!pagina.contains(QStringLiteral("segreto")));
        QVERIFY(ui.fileAperti.isEmpty());

        // The next export proposes the remembered name without its extension; "Apri il file".
        const QString csv = m_dir.filePath(QStringLiteral("elenco.csv"));
        ui.prossimoFile(csv);
        ui.prossimoPulsante(1);
        QVERIFY(main.EsportaGriglia(2, QStringLiteral("Annunci"), &griglia));
        QCOMPARE(ui.ultimoProposto, m_dir.filePath(QStringLiteral("elenco")).section(QLatin1Char('.'), 0, 0));
        QCOMPARE(ui.fileAperti, QStringList{csv});

        // Cancelled dialog: nothing written, and a pending direct opening is not cleared.
        ui.prossimoFile(QString());
        QVERIFY(!main.EsportaGriglia(3, QStringLiteral("Annunci"), &griglia));

        // Direct opening: a temporary name of ten digits, opened at once, deleted at close.
        main.AperturaDiretta = true;
        QVERIFY(main.EsportaGriglia(0, QStringLiteral("Annunci"), &griglia));
        QVERIFY(!main.AperturaDiretta);
        QCOMPARE(main.FileTemporanei.size(), 1);
        const QString temporaneo = main.FileTemporanei.first();
        QVERIFY2(QRegularExpression(QStringLiteral("/\\d{10}\\.xlsx$")).match(temporaneo).hasMatch(),
                 qPrintable(temporaneo));
        QCOMPARE(ui.fileAperti.last(), temporaneo);
        QVERIFY(QFile::exists(temporaneo));
        main.close();
        QVERIFY(!QFile::exists(temporaneo));
    }

    void errorsInHandlersAreShownAndTheProgramGoesOn()
    {
        ScriptedUiService ui;
        auto *app = qobject_cast<tavo::TavoApplication *>(QCoreApplication::instance());
        QVERIFY(app);
        Difettoso oggetto;
        QCoreApplication::postEvent(&oggetto, new QEvent(QEvent::User));
        QCoreApplication::processEvents();
        QCOMPARE(ui.mostrati.size(), 1);
        QCOMPARE(ui.ultimo().testo, QStringLiteral("lock conflict on no wait transaction"));
        QCOMPARE(ui.ultimo().icona, tavo::UiService::Icona::Errore);
    }
};

int main(int argc, char **argv)
{
    tavo::TavoApplication app(argc, argv);
    TestMain test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_main.moc"
