// The message box with caller-named buttons: its geometry rules and the number it returns.

#include "widgets/UnitMsgBox.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

namespace {

QPushButton *pulsante(const TFormMessage &box, int n)
{
    return box.findChild<QPushButton *>(QStringLiteral("ButtonMsg%1").arg(n));
}

QLabel *etichetta(const TFormMessage &box)
{
    return box.findChild<QLabel *>(QStringLiteral("LabelMsg"));
}

// Width of a button's text in the box's font.
int testo(const QString &label)
{
    return QPushButton().fontMetrics().horizontalAdvance(label);
}

// A button is its text plus a tenth when the text is wider than 70 pixels, else 70.
int larghezzaPulsante(const QString &label)
{
    const int w = testo(label);
    return w > 70 ? w + w / 10 : 70;
}

// Size of the message as a label inside a window (a window of its own would be kept within the screen).
QSize dimensioneTesto(const QString &message)
{
    QWidget window;
    QLabel label(&window);
    label.setTextFormat(Qt::PlainText);
    label.setText(message);
    label.adjustSize();
    return label.size();
}

} // namespace

class TstMsgBox : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shortButtons_data();
    void shortButtons();
    void wideButtons();
    void rowWiderThanBox();
    void wideMessage();
    void tallMessage();
    void neverHigherThanScreen();
    void names();
    void icons_data();
    void icons();
    void answers_data();
    void answers();
    void noButtons();
    void centredOnWindow();
    void messaggioConPulsanti();
};

void TstMsgBox::initTestCase()
{
    // The fixed-number rows below assume these labels fit in the 70-pixel minimum.
    for (const char *label : {"OK", "Sì", "No", "Annulla", "Sì per tutti", "No per tutti", "A", "B", "C", "D"})
        QVERIFY2(testo(QString::fromUtf8(label)) <= 70, label);
}

void TstMsgBox::shortButtons_data()
{
    QTest::addColumn<QString>("buttons");
    QTest::addColumn<int>("width");
    QTest::addColumn<QList<int>>("lefts");
    // Starting width 320: up to three buttons fit (320 - 70 >= 80 x 3); from four on the box is
    // 80 x N + 80 wide. Every button is 70 wide; the row counts 80 per button and is centred.
    QTest::newRow("one") << QStringLiteral("OK") << 320 << QList<int>{120};
    QTest::newRow("three") << QStringLiteral("Sì;No;Annulla") << 320 << QList<int>{40, 120, 200};
    QTest::newRow("four") << QStringLiteral("A;B;C;D") << 400 << QList<int>{40, 120, 200, 280};
    QTest::newRow("import") << QStringLiteral("Sì;No;Sì per tutti;No per tutti;Annulla") << 480
                            << QList<int>{40, 120, 200, 280, 360};
    QTest::newRow("import, final ;") << QStringLiteral("Sì;No;Sì per tutti;No per tutti;Annulla;") << 480
                                     << QList<int>{40, 120, 200, 280, 360};
}

void TstMsgBox::shortButtons()
{
    QFETCH(QString, buttons);
    QFETCH(int, width);
    QFETCH(QList<int>, lefts);
    TFormMessage box(nullptr, QStringLiteral("Titolo"), QStringLiteral("Breve"), buttons, 48);
    QCOMPARE(box.width(), width);
    QCOMPARE(box.height(), 140);
    QCOMPARE(box.minimumSize(), box.maximumSize()); // a dialog border: not resizable
    QVERIFY(!pulsante(box, int(lefts.size()) + 1));
    for (int i = 0; i < lefts.size(); ++i) {
        QPushButton *b = pulsante(box, i + 1);
        QVERIFY(b);
        QCOMPARE(b->geometry(), QRect(lefts.at(i), 140 - 72, 70, TFormMessage::AltezzaPulsante));
    }
    QCOMPARE(pulsante(box, 3) ? pulsante(box, 3)->text() : QString(),
             lefts.size() >= 3 ? buttons.split(QLatin1Char(';')).at(2) : QString());
    QLabel *label = etichetta(box);
    QVERIFY(label);
    QCOMPARE(label->pos(), QPoint(70, 10));
    QCOMPARE(label->height(), 140 - 78);
}

void TstMsgBox::wideButtons()
{
    const QString lungo = QStringLiteral("Sovrascrivi tutti i file");
    QVERIFY(testo(lungo) > 70);
    TFormMessage box(nullptr, QStringLiteral("Titolo"), QStringLiteral("Breve"), lungo + QStringLiteral(";No"), 4);
    const int w1 = testo(lungo) + testo(lungo) / 10;
    QCOMPARE(pulsante(box, 1)->width(), w1);
    QCOMPARE(pulsante(box, 2)->width(), 70);
    // The row counts each width plus 10 and is centred; buttons stand 10 apart.
    const int row = (w1 + 10) + 80;
    QCOMPARE(box.width(), 320);
    QCOMPARE(pulsante(box, 1)->x(), (320 - row) / 2);
    QCOMPARE(pulsante(box, 2)->x(), pulsante(box, 1)->geometry().right() + 1 + 10);
}

void TstMsgBox::rowWiderThanBox()
{
    const QStringList labels = {QStringLiteral("Conferma e continua con il prossimo"),
                                QStringLiteral("Salta questo elemento senza salvarlo"), QStringLiteral("Annulla")};
    TFormMessage box(nullptr, QStringLiteral("Titolo"), QStringLiteral("Breve"), labels.join(QLatin1Char(';')), 1);
    int row = 0;
    for (const QString &l : labels)
        row += larghezzaPulsante(l) + 10;
    QVERIFY(row > 320);
    // The box grows so that no button falls outside it.
    QCOMPARE(box.width(), row + 20);
    QCOMPARE(pulsante(box, 1)->x(), 10);
    QVERIFY(pulsante(box, 3)->geometry().right() < box.width());
}

void TstMsgBox::wideMessage()
{
    const QString message = QStringLiteral("Il file di importazione contiene un cliente già presente in archivio: "
                                           "sostituire i dati esistenti?");
    const QSize text = dimensioneTesto(message);
    QVERIFY(text.width() + 70 > 480);
    TFormMessage box(nullptr, QStringLiteral("Titolo"), message,
                     QStringLiteral("Sì;No;Sì per tutti;No per tutti;Annulla"), 48);
    QCOMPARE(box.width(), text.width() + 80);
    QCOMPARE(etichetta(box)->geometry(), QRect(70, 10, text.width(), 140 - 78));
    // The button row stays centred in the wider box.
    QCOMPARE(pulsante(box, 1)->x(), (box.width() - 400) / 2);
}

void TstMsgBox::tallMessage()
{
    QStringList lines;
    for (int i = 1; i <= 8; ++i)
        lines << QStringLiteral("Riga %1 del messaggio").arg(i);
    const QString message = lines.join(QLatin1Char('\n'));
    const QSize text = dimensioneTesto(message);
    QVERIFY(text.height() + 78 > 140);
    TFormMessage box(nullptr, QStringLiteral("Titolo"), message, QStringLiteral("OK"), 1);
    const int height = text.height() + 85;
    QCOMPARE(box.height(), height);
    QCOMPARE(box.width(), 320);
    QCOMPARE(etichetta(box)->geometry(), QRect(70, 10, text.width(), height - 78));
    QCOMPARE(pulsante(box, 1)->y(), height - 72);
    // The icon is centred in the part above the button row.
    QLabel *icon = box.findChild<QLabel *>(QStringLiteral("ImageMsg"));
    QCOMPARE(icon->x(), 20);
    QCOMPARE(icon->y() + icon->height() / 2, (height - 72) / 2);
}

void TstMsgBox::neverHigherThanScreen()
{
    QStringList lines;
    for (int i = 1; i <= 400; ++i)
        lines << QStringLiteral("Riga %1").arg(i);
    TFormMessage box(nullptr, QStringLiteral("Titolo"), lines.join(QLatin1Char('\n')), QStringLiteral("OK"), 1);
    const int screen = QGuiApplication::primaryScreen()->availableGeometry().height();
    QVERIFY(dimensioneTesto(lines.join(QLatin1Char('\n'))).height() + 85 > screen);
    QCOMPARE(box.height(), screen);
    QCOMPARE(etichetta(box)->height(), screen - 78);
    QCOMPARE(pulsante(box, 1)->y(), screen - 72);
}

void TstMsgBox::names()
{
    TFormMessage box(nullptr, QStringLiteral("Importazione"), QStringLiteral("Testo <b>non</b> formattato"),
                     QStringLiteral("Sì;No"), 32);
    QCOMPARE(box.objectName(), QStringLiteral("FormMsgBox"));
    QCOMPARE(box.windowTitle(), QStringLiteral("Importazione"));
    QCOMPARE(etichetta(box)->text(), QStringLiteral("Testo <b>non</b> formattato"));
    QCOMPARE(etichetta(box)->textFormat(), Qt::PlainText);
    QCOMPARE(pulsante(box, 1)->text(), QStringLiteral("Sì"));
    QCOMPARE(pulsante(box, 2)->text(), QStringLiteral("No"));
    QVERIFY(pulsante(box, 1)->isDefault());
    QVERIFY(!pulsante(box, 2)->isDefault());
    QVERIFY(box.isModal());
    QVERIFY(!box.isVisible());
}

void TstMsgBox::icons_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("icon");
    for (int kind : {0, 1, 2, 3, 4, 5, 16, 32, 48, 64})
        QTest::addRow("kind %d", kind) << kind << true;
    for (int kind : {6, 17, 100, -1})
        QTest::addRow("kind %d", kind) << kind << false;
}

void TstMsgBox::icons()
{
    QFETCH(int, kind);
    QFETCH(bool, icon);
    TFormMessage box(nullptr, QStringLiteral("Titolo"), QStringLiteral("Testo"), QStringLiteral("OK"), kind);
    QLabel *image = box.findChild<QLabel *>(QStringLiteral("ImageMsg"));
    QVERIFY(image);
    QCOMPARE(!image->pixmap().isNull(), icon);
    QCOMPARE(image->x(), 20);
}

void TstMsgBox::answers_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("expected");
    QTest::newRow("click 1") << "click1" << 1;
    QTest::newRow("click 3") << "click3" << 3;
    QTest::newRow("click last") << "click5" << 5;
    QTest::newRow("Enter") << "enter" << 1;
    QTest::newRow("Escape") << "escape" << 5;
    QTest::newRow("close box") << "close" << 5;
}

void TstMsgBox::answers()
{
    QFETCH(QString, action);
    QFETCH(int, expected);
    TFormMessage box(nullptr, QStringLiteral("Importazione"), QStringLiteral("Cliente già presente"),
                     QStringLiteral("Sì;No;Sì per tutti;No per tutti;Annulla"), 48);
    QTimer::singleShot(0, &box, [&] {
        QVERIFY(box.isVisible());
        if (action.startsWith(QLatin1String("click")))
            QTest::mouseClick(pulsante(box, action.back().digitValue()), Qt::LeftButton);
        else if (action == QLatin1String("enter"))
            QTest::keyClick(&box, Qt::Key_Return);
        else if (action == QLatin1String("escape"))
            QTest::keyClick(&box, Qt::Key_Escape);
        else
            box.close();
    });
    QCOMPARE(box.esegui(), expected);
}

void TstMsgBox::noButtons()
{
    TFormMessage box(nullptr, QStringLiteral("Titolo"), QStringLiteral("Testo"), QString(), 1);
    QVERIFY(!pulsante(box, 1));
    QCOMPARE(box.width(), 320);
    QTimer::singleShot(0, &box, [&] { box.close(); });
    QCOMPARE(box.esegui(), 0);
}

void TstMsgBox::centredOnWindow()
{
    QWidget main;
    main.setGeometry(100, 80, 700, 500);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    TFormMessage box(&main, QStringLiteral("Titolo"), QStringLiteral("Testo"), QStringLiteral("OK"), 1);
    const QPoint centre = box.geometry().center();
    QVERIFY2(qAbs(centre.x() - main.frameGeometry().center().x()) <= 1, qPrintable(QString::number(centre.x())));
    QVERIFY2(qAbs(centre.y() - main.frameGeometry().center().y()) <= 1, qPrintable(QString::number(centre.y())));
}

void TstMsgBox::messaggioConPulsanti()
{
    QTimer::singleShot(0, qApp, [] {
        auto *box = qobject_cast<TFormMessage *>(QApplication::activeModalWidget());
        QVERIFY(box);
        QCOMPARE(box->objectName(), QStringLiteral("FormMsgBox"));
        QTest::mouseClick(pulsante(*box, 2), Qt::LeftButton);
    });
    QCOMPARE(MessaggioConPulsanti(nullptr, QStringLiteral("Titolo"), QStringLiteral("Procedere?"),
                                  QStringLiteral("Sì;No;Annulla"), 32),
             2);
}

QTEST_MAIN(TstMsgBox)
#include "tst_msgbox.moc"
