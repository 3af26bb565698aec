// The wait window of the match tables: look, progress, cursor, and its use by the data module's filling.

#include "data/dmQueryComposte.h"
#include "tempdatabase.h"
#include "widgets/frmAttesa.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QtTest>

using namespace tavo;

namespace {

// Records what the window showed at each step of a real filling.
class AttesaOsservata : public TFormAttesa
{
public:
    using TFormAttesa::TFormAttesa;
    void avanza() override
    {
        TFormAttesa::avanza();
        passi << ProgressBar()->value();
        visibileDurante = visibileDurante && isVisible();
        cursoreDurante = cursoreDurante && QApplication::overrideCursor() &&
                         QApplication::overrideCursor()->shape() == Qt::WaitCursor;
    }
    static inline QList<int> passi;
    static inline bool visibileDurante = true;
    static inline bool cursoreDurante = true;
};

} // namespace

class TestFormAttesa : public QObject
{
    Q_OBJECT

private slots:
    void aspettoEProgresso()
    {
        QWidget principale;
        principale.setGeometry(100, 100, 900, 700);
        principale.show();
        {
            TFormAttesa attesa(&principale);
            QCOMPARE(attesa.objectName(), QStringLiteral("FormAttesa"));
            QVERIFY(!attesa.isModal());
            QVERIFY(!(attesa.windowFlags() & Qt::WindowCloseButtonHint));
            QVERIFY(!(attesa.windowFlags() & Qt::WindowSystemMenuHint));
            QVERIFY(!(attesa.windowFlags() & Qt::WindowMinMaxButtonsHint));
            QVERIFY(!attesa.ProgressBar()->isTextVisible());

            attesa.inizio(QStringLiteral("Calcolo Incroci su Richieste"),
                          QStringLiteral("Elaborazione in corso. Attendere, per favore..."), 3);
            QVERIFY(attesa.isVisible());
            QCOMPARE(attesa.windowTitle(), QStringLiteral("Calcolo Incroci su Richieste"));
            QCOMPARE(attesa.LabelTesto()->text(), QStringLiteral("Elaborazione in corso. Attendere, per favore..."));
            QCOMPARE(attesa.ProgressBar()->maximum(), 3);
            QCOMPARE(attesa.ProgressBar()->value(), 0);
            QVERIFY(QApplication::overrideCursor());
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            const QPoint centro = principale.frameGeometry().center();
            QVERIFY2((attesa.frameGeometry().center() - centro).manhattanLength() <= 4,
                     "la finestra non è centrata sulla principale");

            // Neither Escape nor a close request ends it.
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&attesa, &esc);
            attesa.close();
            QVERIFY(attesa.isVisible());

            for (int i = 1; i <= 4; ++i)
                attesa.avanza();
            QCOMPARE(attesa.ProgressBar()->value(), 3);

            attesa.fine();
            QVERIFY(!attesa.isVisible());
            QVERIFY(!QApplication::overrideCursor());
        }
        QVERIFY(!QApplication::overrideCursor());
    }

    void distruttaSenzaFine()
    {
        {
            TFormAttesa attesa;
            attesa.inizio(QStringLiteral("Calcolo Incroci su Annunci"), QStringLiteral("x"), 10);
            QVERIFY(QApplication::overrideCursor());
        }
        QVERIFY(!QApplication::overrideCursor());
    }

    void riempimentoDelModulo()
    {
        test::TempDatabase db;
        db.exec(QStringLiteral("insert into CLIENTI (ID_CLIENTE, DESCR) values (1, 'Rossi')"));
        const int comune = db.scalar(QStringLiteral("select min(ID_COMUNE) from COMUNI")).toInt();
        for (int i = 1; i <= 3; ++i)
            db.exec(QStringLiteral("insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE, ID_CLIENTE, ID_COMUNE, "
                                   "ID_TIPOLOGIA_IMMOBILE, ID_TIPOLOGIA_ANNUNCIO, RIFERIMENTO, ELIMINATO) "
                                   "values (%1, 1, %2, 1, 1, 'R%1', 'N')")
                        .arg(i)
                        .arg(comune));
        QWidget principale;
        principale.show();
        TDataModuleQueryComposte modulo(db.db());
        QPointer<TFormAttesa> creata;
        modulo.setFabbricaProgresso([&]() -> std::unique_ptr<ProgressoIncroci> {
            auto f = std::make_unique<AttesaOsservata>(&principale);
            creata = f.get();
            return f;
        });
        AttesaOsservata::passi.clear();
        modulo.MemTableAnnunci()->open();
        QCOMPARE(AttesaOsservata::passi, (QList<int>{1, 2, 3}));
        QVERIFY(AttesaOsservata::visibileDurante);
        QVERIFY(AttesaOsservata::cursoreDurante);
        QVERIFY(creata.isNull()); // destroyed with the filling
        QVERIFY(!QApplication::overrideCursor());

        // A failing filling also takes the window and the hourglass away.
        modulo.IBDataSetRichieste().SQL()[TDataModuleQueryComposte::RigaFiltroRichieste] =
            QStringLiteral("and NON_ESISTE=1");
        QVERIFY_THROWS_EXCEPTION(db::DbError, modulo.MemTableRichieste()->open());
        QVERIFY(creata.isNull());
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(TestFormAttesa)
#include "tst_formattesa.moc"
