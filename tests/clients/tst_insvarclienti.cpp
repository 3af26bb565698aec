// The client editor and the similar-clients picker, driven offscreen as a user would, on real
// databases. The screens they talk to (the listing and request editors, the searches, the request
// from an appointment) are stood in for by small doubles opened under those screens' class names.

#include "schermate.h"

#include "app/core/textutils.h"
#include "clients/frmInsVarClienti.h"
#include "clients/frmMostraClientiSimili.h"
#include "widgets/searchgrid.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolTip>
#include <QVBoxLayout>

using tavo::UiService;
using tavo::test::ScriptedUiService;
using tavo::test::TempDatabase;
using namespace tavo::test::schermate;
namespace db = tavo::db;

namespace {

// The listing or request editor: its client list and the two operations the client editor calls.
class TEditorFinto : public QWidget
{
    Q_OBJECT
public:
    TEditorFinto()
    {
        auto *l = new QVBoxLayout(this);
        EditCliente = new QComboBox(this);
        EditCliente->setObjectName(QStringLiteral("EditCliente"));
        l->addWidget(EditCliente);
        CaricaClienti();
    }
    Q_INVOKABLE void CaricaClienti()
    {
        EditCliente->clear();
        db::Transaction tr(TFormMain::istanza()->database());
        db::Query q(tr, QStringLiteral("select ID_CLIENTE,DESCR from CLIENTI order by DESCR"));
        q.exec();
        while (q.next())
            EditCliente->addItem(q.text(QStringLiteral("DESCR")), q.integer(QStringLiteral("ID_CLIENTE")));
        EditCliente->setCurrentIndex(-1);
        ++caricamenti;
    }
    Q_INVOKABLE void EditClienteClick() { clic << EditCliente->currentData().toInt(); }
    int idSelezionato() const { return EditCliente->currentIndex() < 0 ? 0 : EditCliente->currentData().toInt(); }

    QComboBox *EditCliente;
    int caricamenti = 0;
    QList<int> clic; // the id selected each time the handler ran
};

// The three searches: their refresh operations.
class TRicercaFinta : public QWidget
{
    Q_OBJECT
public:
    Q_INVOKABLE void AggiornaDopoSalvataggioCliente(const QString &descr) { chiamate << QStringLiteral("C:") + descr; }
    Q_INVOKABLE void AggiornaListe() { chiamate << QStringLiteral("AggiornaListe"); }
    Q_INVOKABLE void AggiornaElenchi() { chiamate << QStringLiteral("AggiornaElenchi"); }
    QStringList chiamate;
};

// The request from an appointment: three fields, their labels and the chosen client, which any
// change of the fields clears.
class TNuovaRichiestaFinta : public QWidget
{
    Q_OBJECT
public:
    TNuovaRichiestaFinta()
    {
        auto *l = new QVBoxLayout(this);
        for (const char *nome : {"LabelDescr", "LabelTelefoni", "LabelEmail"}) {
            auto *e = new QLabel(QLatin1String(nome), this);
            e->setObjectName(QLatin1String(nome));
            tavo::rifiutaCampo(e, nullptr); // red, as after a failed check
            l->addWidget(e);
        }
        for (const char *nome : {"EditDESCR", "EditTELEFONO1", "EditEMAIL"}) {
            auto *e = new QLineEdit(this);
            e->setObjectName(QLatin1String(nome));
            connect(e, &QLineEdit::textChanged, this, [this] { scelto = 0; });
            l->addWidget(e);
        }
        scelto = -1;
    }
    Q_INVOKABLE void ImpostaClienteScelto(int id) { scelto = id; }
    int scelto;
};

} // namespace

class TestInsVarClienti : public QObject
{
    Q_OBJECT

private:
    Impostazioni m_impostazioni;

    static void cliente(TempDatabase &d, int id, const QString &descr, const QString &telefono1,
                        const QString &telefono2, const QString &email, int telXSms = 0)
    {
        db::Transaction tr(d.db());
        db::Query q(tr, QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR,TELEFONO1,TELEFONO2,EMAIL,TEL_X_SMS,"
                                       "PROPRIETARIO) values (:ID,:DESCR,:T1,:T2,:EMAIL,:SMS,'N')"));
        q.setParam(QStringLiteral("ID"), id);
        q.setParam(QStringLiteral("DESCR"), descr);
        q.setParam(QStringLiteral("T1"), telefono1.isNull() ? QVariant() : QVariant(telefono1));
        q.setParam(QStringLiteral("T2"), telefono2.isNull() ? QVariant() : QVariant(telefono2));
        q.setParam(QStringLiteral("EMAIL"), email.isNull() ? QVariant() : QVariant(email));
        q.setParam(QStringLiteral("SMS"), telXSms);
        q.exec();
        tr.commit();
    }

    // ROSSI MARIO with two phones and an e-mail, VERDI with one phone (its second is empty).
    static void clientiDiProva(TempDatabase &d)
    {
        cliente(d, 1001, QStringLiteral("ROSSI MARIO"), QStringLiteral("335/1234567"), QStringLiteral("02 555"),
                QStringLiteral("mario@rossi.it"), 1);
        cliente(d, 1002, QStringLiteral("VERDI"), QStringLiteral("011 22"), QString(), QString());
    }

    static TFormInsVarClienti *apriEditor(TFormMain &main, int id)
    {
        auto *f = main.ApriFinestra<TFormInsVarClienti>();
        f->CaricaCliente(id);
        return f;
    }

private slots:
    void init() { m_impostazioni.nuove(); }

    // --- client editor ---------------------------------------------------------------------------

    void menuOpensANewClient()
    {
        ScriptedUiService ui;
        TempDatabase d;
        TFormMain main(d.folder());
        QVERIFY(avvia(main));
        auto *voce = main.findChild<QAction *>(QStringLiteral("MenuInserimentoClienti"));
        QVERIFY(voce && voce->isEnabled());
        voce->trigger();
        auto *f = qobject_cast<TFormInsVarClienti *>(main.finestraAperta(QStringLiteral("TFormInsVarClienti")));
        QVERIFY(f);
        QCOMPARE(f->finestra()->windowTitle(), QStringLiteral("Inserimento Clienti"));
        QCOMPARE(f->idCliente(), 0);
        QTRY_VERIFY(f->EditDescr->hasFocus());
        chiudiTutto(main);
    }

    void fieldsForceCapitalsAndLimits()
    {
        ScriptedUiService ui;
        TempDatabase d;
        TFormMain main(d.folder());
        QVERIFY(avvia(main));
        auto *f = apriEditor(main, 0);
        QTest::keyClicks(f->EditDescr, QStringLiteral("rossi mario"));
        QCOMPARE(f->EditDescr->text(), QStringLiteral("ROSSI MARIO"));
        QVERIFY(f->modificato());
        QTest::keyClicks(f->EditProv, QStringLiteral("mil"));
        QCOMPARE(f->EditProv->text(), QStringLiteral("MI"));
        QTest::keyClicks(f->EditCodiceFiscale, QStringLiteral("rssmra80a01f205x9"));
        QCOMPARE(f->EditCodiceFiscale->text(), QStringLiteral("RSSMRA80A01F205X"));
        QTest::keyClicks(f->EditCitta, QStringLiteral("Milano"));
        QCOMPARE(f->EditCitta->text(), QStringLiteral("Milano")); // as typed
        QCOMPARE(f->EditCAP->maxLength(), 5);
        QCOMPARE(f->EditTelefono1->maxLength(), 64);
        QCOMPARE(f->EditPartitaIVA->maxLength(), 11);
        // Enter in the CAP does not confirm; in the other fields it does.
        QTest::keyClick(f->EditCAP, Qt::Key_Return);
        QCOMPARE(ui.mostrati.size(), 0);
        QTest::keyClick(f->EditCitta, Qt::Key_Return);
        QCOMPARE(ui.mostrati.size(), 1);
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Inserire almeno uno fra i campi evidenziati in ROSSO"));
        // The check boxes do not count as changes.
        f->CaricaCliente(0);
        QVERIFY(!f->modificato());
        QTest::mouseClick(f->EditProprietario, Qt::LeftButton, {}, QPoint(8, f->EditProprietario->height() / 2));
        QVERIFY(f->EditProprietario->isChecked());
        QVERIFY(!f->modificato());
        chiudiTutto(main);
    }

    void atLeastOneContact_data()
    {
        QTest::addColumn<QString>("descr");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<bool>("descrRossa");
        QTest::newRow("only a description") << QStringLiteral("MARIO") << QStringLiteral("EditTelefono1") << false;
        QTest::newRow("nothing at all") << QString() << QStringLiteral("EditDescr") << true;
    }
    void atLeastOneContact()
    {
        QFETCH(QString, descr);
        QFETCH(QString, focus);
        QFETCH(bool, descrRossa);
        ScriptedUiService ui;
        TempDatabase d;
        TFormMain main(d.folder());
        QVERIFY(avvia(main));
        auto *f = apriEditor(main, 0);
        QTest::keyClicks(f->EditDescr, descr);
        QTest::keyClicks(f->EditFax, QStringLiteral("02 999"));
        QTest::keyClick(f->EditFax, Qt::Key_Return);
        QCOMPARE(ui.mostrati.size(), 1);
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Inserire almeno uno fra i campi evidenziati in ROSSO"));
        QCOMPARE(ui.ultimo().titolo, QStringLiteral("Inserimento Clienti"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Errore);
        QCOMPARE(rossa(f->LabelDescr), descrRossa);
        QVERIFY(rossa(f->LabelTelefoni));
        QVERIFY(rossa(f->LabelEmail));
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from CLIENTI")).toInt(), 0);
        QVERIFY(f->isVisible());
        chiudiTutto(main);
    }

    void confirmationChecks_data()
    {
        QTest::addColumn<QString>("descr");
        QTest::addColumn<QString>("telefono1");
        QTest::addColumn<QString>("telefono2");
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("messaggio"); // empty: saved
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("etichetta");
        const QString telefono = QStringLiteral("Il numero di telefono immesso non è univoco. Si prega di controllare "
                                                "il valore immesso per evitare duplicazioni");
        QTest::newRow("only a phone") << QString() << QStringLiteral("333 7654321") << QString() << QString()
                                      << QString() << QString() << QString();
        QTest::newRow("ROSSI against ROSSI MARIO")
            << QStringLiteral("ROSSI") << QStringLiteral("333 7654321") << QString() << QString()
            << QStringLiteral("Esiste un altro cliente con una descrizione simile. Si prega di controllare il valore "
                              "immesso per evitare duplicazioni")
            << QStringLiteral("EditDescr") << QStringLiteral("LabelDescr");
        QTest::newRow("a longer description passes")
            << QStringLiteral("ROSSI MARIO ANTONIO") << QStringLiteral("333 7654321") << QString() << QString()
            << QString() << QString() << QString();
        QTest::newRow("same phone key, other spelling")
            << QStringLiteral("BIANCHI") << QStringLiteral("335 123 4567") << QString() << QString() << telefono
            << QStringLiteral("EditTelefono1") << QStringLiteral("LabelTelefoni");
        QTest::newRow("a phone of one dash")
            << QStringLiteral("BIANCHI") << QStringLiteral("333 7654321") << QStringLiteral("-") << QString()
            << telefono << QStringLiteral("EditTelefono2") << QStringLiteral("LabelTelefoni");
        QTest::newRow("e-mail without at sign")
            << QStringLiteral("BIANCHI") << QString() << QString() << QStringLiteral("bianchi.it")
            << QStringLiteral("EMail non accettabile") << QStringLiteral("EditEmail") << QStringLiteral("LabelEmail");
        QTest::newRow("e-mail contained in another")
            << QStringLiteral("BIANCHI") << QString() << QString() << QStringLiteral("RIO@Rossi.IT")
            << QStringLiteral("Esiste un altro cliente con una EMail simile. Si prega di controllare il valore "
                              "immesso per evitare duplicazioni")
            << QStringLiteral("EditEmail") << QStringLiteral("LabelEmail");
        QTest::newRow("only an e-mail") << QString() << QString() << QString() << QStringLiteral("luca@bianchi.it")
                                        << QString() << QString() << QString();
    }
    void confirmationChecks()
    {
        QFETCH(QString, descr);
        QFETCH(QString, telefono1);
        QFETCH(QString, telefono2);
        QFETCH(QString, email);
        QFETCH(QString, messaggio);
        QFETCH(QString, focus);
        QFETCH(QString, etichetta);
        ScriptedUiService ui;
        TempDatabase d;
        clientiDiProva(d);
        TFormMain main(d.folder());
        QVERIFY(avvia(main));
        auto *f = apriEditor(main, 0);
        QTest::keyClicks(f->EditDescr, descr);
        QTest::keyClicks(f->EditTelefono1, telefono1);
        QTest::keyClicks(f->EditTelefono2, telefono2);
        QTest::keyClicks(f->EditEmail, email);
        if (messaggio.isEmpty())
            ui.prossimaRisposta(QMessageBox::No); // no further client
        f->ButtonConferma->click();

        if (messaggio.isEmpty()) {
            QCOMPARE(ui.mostrati.size(), 1);
            QCOMPARE(ui.ultimo().tipo, QStringLiteral("domanda"));
            QCOMPARE(ui.ultimo().testo,
                     QStringLiteral("Il cliente è stato inserito correttamente. Procedere con un nuovo inserimento?"));
            QCOMPARE(ui.ultimo().icona, UiService::Icona::Informazione);
            QCOMPARE(ui.ultimo().pulsanti, QStringList{QString::number(int(QMessageBox::No))}); // No is the default
            QCOMPARE(d.scalar(QStringLiteral("select count(*) from CLIENTI")).toInt(), 3);
            QCOMPARE(d.scalar(QStringLiteral("select TELEFONO1 from CLIENTI where ID_CLIENTE=1")).toString(),
                     telefono1);
            QCOMPARE(d.scalar(QStringLiteral("select DESCR from CLIENTI where ID_CLIENTE=1")).toString(), descr);
            QCOMPARE(d.scalar(QStringLiteral("select EMAIL from CLIENTI where ID_CLIENTE=1")).toString(), email);
            elaboraEliminazioni();
            QVERIFY(!main.finestraAperta(QStringLiteral("TFormInsVarClienti"))); // "No" closes
            return;
        }
        QCOMPARE(ui.mostrati.size(), 1);
        QCOMPARE(ui.ultimo().testo, messaggio);
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Errore);
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        for (QLabel *l : {f->LabelDescr, f->LabelTelefoni, f->LabelEmail})
            QCOMPARE(rossa(l), l->objectName() == etichetta);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from CLIENTI")).toInt(), 2);
        QVERIFY(f->modificato());
        chiudiTutto(main);
    }

    void editedClientDoesNotRefuseItself()
    {
        ScriptedUiService ui;
        TempDatabase d;
        clientiDiProva(d);
        TFormMain main(d.folder());
        QVERIFY(avvia(main));
        auto *f = apriEditor(main, 1001);
        QCOMPARE(f->finestra()->windowTitle(), QStringLiteral("Modifica Cliente"));
        QCOMPARE(f->EditDescr->text(), QStringLiteral("ROSSI MARIO"));
        QCOMPARE(f->EditTelefono2->text(), QStringLiteral("02 555"));
        QVERIFY(f->EditSMS1->isChecked() && !f->EditSMS2->isChecked());
        QVERIFY(!f->modificato());
        QTest::keyClicks(f->EditFax, QStringLiteral("02 777"));
        QTest::keyClicks(f->EditNote, QStringLiteral("prima"));
        QTest::keyClick(f->EditNote, Qt::Key_Return, Qt::ShiftModifier); // a new line, not a confirmation
        QTest::keyClicks(f->EditNote, QStringLiteral("seconda"));
        QCOMPARE(ui.mostrati.size(), 0);
        QTest::keyClick(f->EditFax, Qt::Key_Return);
        QCOMPARE(ui.mostrati.size(), 0); // no refusal, no question: an edit closes the window
        elaboraEliminazioni();
        QVERIFY(!main.finestraAperta(QStringLiteral("TFormInsVarClienti")));
        QCOMPARE(d.scalar(QStringLiteral("select FAX from CLIENTI where ID_CLIENTE=1001")).toString(),
                 QStringLiteral("02 777"));
        QCOMPARE(d.scalar(QStringLiteral("select NOTE from CLIENTI where ID_CLIENTE=1001")).toString(),
                 QStringLiteral("prima\r\nseconda"));
        QCOMPARE(d.scalar(QStringLiteral("select TEL_X_SMS from CLIENTI where ID_CLIENTE=1001")).toInt(), 1);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from CLIENTI")).toInt(), 2);
        chiudiTutto(main);
    }

    void aClientDeletedMeanwhileIsNotTakenAsSaved()
    {
        ScriptedUiService ui;
        TempDatabase d;
        clientiDiProva(d);
        TFormMain main(d.folder());
        QVERIFY(avvia(main));
        auto *f = apriEditor(main, 1002);
        d.exec(QStringLiteral("delete from CLIENTI where ID_CLIENTE=1002"));
        QTest::keyClicks(f->EditFax, QStringLiteral("1"));
        QTest::keyClick(f->EditFax, Qt::Key_Return); // the error reaches the application's display
        QCOMPARE(ui.mostrati.size(), 1);
        QVERIFY2(ui.ultimo().testo.startsWith(QStringLiteral("Il cliente non è più presente nell'archivio")),
                 qPrintable(ui.ultimo().testo));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Errore);
        QVERIFY(f->isVisible());
        QVERIFY(f->modificato());
        chiudiTutto(main);
    }

    void anotherClientAfterSaving()
    {
        ScriptedUiService ui;
        TempDatabase d;
        TFormMain main(d.folder());
        QVERIFY(avvia(main));
        auto *f = apriEditor(main, 0);
        QTest::keyClicks(f->EditDescr, QStringLiteral("NERI"));
        QTest::keyClicks(f->EditTelefono3, QStringLiteral("347 1"));
        QTest::mouseClick(f->EditProprietario, Qt::LeftButton, {}, QPoint(8, f->EditProprietario->height() / 2));
        ui.prossimaRisposta(QMessageBox::Yes);
        QTest::keyClick(f->EditTelefono3, Qt::Key_Return);
        QVERIFY(ui.senzaRisposta.isEmpty());
        QCOMPARE(d.scalar(QStringLiteral("select PROPRIETARIO from CLIENTI where DESCR='NERI'")).toString(),
                 QStringLiteral("S"));
        // "Sì": the editor stays, empty, for the next client.
        QCOMPARE(main.finestraAperta(QStringLiteral("TFormInsVarClienti")), f);
        QVERIFY(f->EditDescr->text().isEmpty() && f->EditTelefono3->text().isEmpty());
        QVERIFY(!f->EditProprietario->isChecked());
        QCOMPARE(f->idCliente(), 0);
        QVERIFY(!f->modificato());
        QCOMPARE(f->finestra()->windowTitle(), QStringLiteral("Inserimento Clienti"));
        QTRY_VERIFY(f->EditDescr->hasFocus());
        chiudiTutto(main);
    }

    void smsBoxes()
    {
        ScriptedUiService ui;
        TempDatabase d;
        TFormMain main(d.folder());
        QVERIFY(avvia(main));
        auto *f = apriEditor(main, 0);
        QTest::keyClicks(f->EditTelefono2, QStringLiteral("347 2222"));
        QTest::mouseClick(f->EditSMS1, Qt::LeftButton);
        QTRY_VERIFY(QToolTip::isVisible());
        QVERIFY(QToolTip::text().contains(QStringLiteral("Informazioni sul Numero per l'Invio di SMS")));
        QVERIFY(QToolTip::text().contains(QStringLiteral("verrà usato come tale.")));
        QTest::mouseClick(f->EditSMS2, Qt::LeftButton);
        QVERIFY(!f->EditSMS1->isChecked() && f->EditSMS2->isChecked() && !f->EditSMS3->isChecked());
        QTest::mouseClick(f->EditSMS2, Qt::LeftButton); // unchecking hides the hint
        QTRY_VERIFY(!QToolTip::isVisible());
        QTest::mouseClick(f->EditSMS3, Qt::LeftButton);
        QTest::mouseDClick(f->LabelSMS, Qt::LeftButton); // clears all three
        QVERIFY(!f->EditSMS1->isChecked() && !f->EditSMS2->isChecked() && !f->EditSMS3->isChecked());
        QTest::mouseClick(f->EditSMS1, Qt::LeftButton);
        QTest::mouseClick(f->EditSMS2, Qt::LeftButton);
        ui.prossimaRisposta(QMessageBox::No);
        f->ButtonConferma->click();
        QCOMPARE(d.scalar(QStringLiteral("select TEL_X_SMS from CLIENTI")).toInt(), 2);
        chiudiTutto(main);
    }

    void fieldExitChecks()
    {
        ScriptedUiService ui;
        TempDatabase d;
        clientiDiProva(d);
        TFormMain main(d.folder());
        QVERIFY(avvia(main));
        auto *f = apriEditor(main, 0);
        QTRY_VERIFY(f->EditDescr->hasFocus());

        // A similar description: the message, the label red, the focus back a moment later.
        QTest::keyClicks(f->EditDescr, QStringLiteral("ROSSI"));
        QTest::keyClick(f->EditDescr, Qt::Key_Tab);
        QCOMPARE(ui.mostrati.size(), 1);
        QVERIFY(ui.ultimo().testo.startsWith(QStringLiteral("Esiste un altro cliente con una descrizione simile")));
        QVERIFY(rossa(f->LabelDescr));
        QVERIFY(f->EditTelefono1->hasFocus());
        QTRY_VERIFY(f->EditDescr->hasFocus());
        QCOMPARE(ui.mostrati.size(), 1); // the editor moving the focus checks nothing

        // A description no other client contains: the label back to normal.
        QTest::keyClicks(f->EditDescr, QStringLiteral(" MARIO ANTONIO"));
        QTest::keyClick(f->EditDescr, Qt::Key_Tab);
        QCOMPARE(ui.mostrati.size(), 1);
        QVERIFY(!rossa(f->LabelDescr));

        // A phone another client uses (as its second phone), written otherwise.
        QVERIFY(f->EditTelefono1->hasFocus());
        QTest::keyClicks(f->EditTelefono1, QStringLiteral("+ 02-555"));
        QTest::keyClick(f->EditTelefono1, Qt::Key_Tab);
        QCOMPARE(ui.mostrati.size(), 2);
        QVERIFY(ui.ultimo().testo.startsWith(QStringLiteral("Il numero di telefono immesso non è univoco")));
        QVERIFY(rossa(f->LabelTelefoni));
        QTRY_VERIFY(f->EditTelefono1->hasFocus());
        f->EditTelefono1->clear();
        QTest::keyClick(f->EditTelefono1, Qt::Key_Tab); // empty: back to normal
        QVERIFY(!rossa(f->LabelTelefoni));

        // An e-mail without "@" takes the focus back at once.
        f->EditEmail->setFocus(Qt::MouseFocusReason);
        QTest::keyClicks(f->EditEmail, QStringLiteral("mario"));
        QTest::keyClick(f->EditEmail, Qt::Key_Tab);
        QCOMPARE(ui.ultimo().testo, QStringLiteral("EMail non accettabile"));
        QVERIFY(rossa(f->LabelEmail));
        QVERIFY(f->EditEmail->hasFocus());
        // A similar one through the timer.
        QTest::keyClicks(f->EditEmail, QStringLiteral("@rossi.it"));
        QTest::keyClick(f->EditEmail, Qt::Key_Tab);
        QVERIFY(ui.ultimo().testo.startsWith(QStringLiteral("Esiste un altro cliente con una EMail simile")));
        QVERIFY(!f->EditEmail->hasFocus());
        QTRY_VERIFY(f->EditEmail->hasFocus());
        QCOMPARE(ui.conta(QStringLiteral("messaggio")), 4);
        for (const auto &m : ui.mostrati) {
            QCOMPARE(m.titolo, QStringLiteral("Inserimento Clienti"));
            QCOMPARE(m.icona, UiService::Icona::Errore);
        }
        chiudiTutto(main);
    }

    void closeQuestion()
    {
        ScriptedUiService ui;
        TempDatabase d;
        clientiDiProva(d);
        TFormMain main(d.folder());
        QVERIFY(avvia(main));
        auto *f = apriEditor(main, 1002);
        QTest::keyClicks(f->EditCitta, QStringLiteral("Torino"));

        ui.prossimaRisposta(QMessageBox::Cancel);
        QTest::keyClick(f->EditCitta, Qt::Key_Escape);
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Campi modificati. Salvare i dati immessi?"));
        elaboraEliminazioni();
        QCOMPARE(main.finestraAperta(QStringLiteral("TFormInsVarClienti")), f);

        // "Sì" runs the confirmation: a refusal keeps the window open.
        f->EditTelefono1->setText(QStringLiteral("335-1234567"));
        ui.prossimaRisposta(QMessageBox::Yes);
        f->ButtonAnnulla->click();
        QVERIFY(ui.ultimo().testo.startsWith(QStringLiteral("Il numero di telefono immesso non è univoco")));
        elaboraEliminazioni();
        QCOMPARE(main.finestraAperta(QStringLiteral("TFormInsVarClienti")), f);

        // "Sì" with valid data saves the edit, which closes the window.
        f->EditTelefono1->setText(QStringLiteral("011 22"));
        ui.prossimaRisposta(QMessageBox::Yes);
        f->ButtonAnnulla->click();
        elaboraEliminazioni();
        QVERIFY(!main.finestraAperta(QStringLiteral("TFormInsVarClienti")));
        QCOMPARE(d.scalar(QStringLiteral("select CITTA from CLIENTI where ID_CLIENTE=1002")).toString(),
                 QStringLiteral("Torino"));

        // "No" closes without saving.
        f = apriEditor(main, 1002);
        QTest::keyClicks(f->EditCitta, QStringLiteral("XX"));
        ui.prossimaRisposta(QMessageBox::No);
        QTest::keyClick(f->EditCitta, Qt::Key_Escape);
        elaboraEliminazioni();
        QVERIFY(!main.finestraAperta(QStringLiteral("TFormInsVarClienti")));
        QCOMPARE(d.scalar(QStringLiteral("select CITTA from CLIENTI where ID_CLIENTE=1002")).toString(),
                 QStringLiteral("Torino"));
        QVERIFY(ui.senzaRisposta.isEmpty());
        chiudiTutto(main);
    }

    void otherScreensAreRefreshed_data()
    {
        QTest::addColumn<bool>("listaAttiva");
        QTest::newRow("client list enabled") << true;
        QTest::newRow("client list locked") << false;
    }
    void otherScreensAreRefreshed()
    {
        QFETCH(bool, listaAttiva);
        ScriptedUiService ui;
        TempDatabase d;
        clientiDiProva(d);
        TFormMain main(d.folder());
        QVERIFY(avvia(main));
        auto *annunci = static_cast<TEditorFinto *>(
            main.ApriFinestra(QStringLiteral("TFormInsVarAnnunci"), [] { return new TEditorFinto; }));
        annunci->EditCliente->setCurrentIndex(annunci->EditCliente->findData(1002)); // VERDI
        annunci->EditCliente->setEnabled(listaAttiva);
        TRicercaFinta *ricerche[3];
        const char *nomi[] = {"TFormRicercaClienti", "TFormRicercaRichieste", "TFormRicercaAnnunci"};
        for (int i = 0; i < 3; ++i)
            ricerche[i] = static_cast<TRicercaFinta *>(
                main.ApriFinestra(QLatin1String(nomi[i]), [] { return new TRicercaFinta; }));

        // A new client while the listing editor is open: no question, the editor closes and the
        // new client is chosen in the listing editor (when its list is not locked).
        auto *f = apriEditor(main, 0);
        QTest::keyClicks(f->EditDescr, QStringLiteral("GIALLI"));
        QTest::keyClicks(f->EditEmail, QStringLiteral("g@gialli.it"));
        QTest::keyClick(f->EditEmail, Qt::Key_Return);
        QCOMPARE(ui.mostrati.size(), 0);
        elaboraEliminazioni();
        QVERIFY(!main.finestraAperta(QStringLiteral("TFormInsVarClienti")));
        const int nuovo = d.scalar(QStringLiteral("select ID_CLIENTE from CLIENTI where DESCR='GIALLI'")).toInt();
        QCOMPARE(annunci->caricamenti, 2);
        QCOMPARE(annunci->EditCliente->count(), 3);
        if (listaAttiva) {
            QCOMPARE(annunci->idSelezionato(), nuovo);
            QCOMPARE(annunci->clic, QList<int>{nuovo});
        } else {
            QCOMPARE(annunci->idSelezionato(), 1002); // the listing's client stays
            QVERIFY(annunci->clic.isEmpty());
        }
        QCOMPARE(ricerche[0]->chiamate, QStringList{QStringLiteral("C:GIALLI")});
        QCOMPARE(ricerche[1]->chiamate, QStringList{QStringLiteral("AggiornaListe")});
        QCOMPARE(ricerche[2]->chiamate, QStringList{QStringLiteral("AggiornaElenchi")});
        chiudiTutto(main);
    }

    // --- similar-clients picker ------------------------------------------------------------------

    void similarClientsPicker()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1001, QStringLiteral("BIANCHI LUCA"), QStringLiteral("333"), QString(), QStringLiteral("l@b.it"));
        cliente(d, 1002, QStringLiteral("DE BIANCHI"), QStringLiteral("02 44"), QString(), QStringLiteral("d@b.it"));
        cliente(d, 1003, QStringLiteral("VERDI"), QString(), QString(), QString());
        TFormMain main(d.folder());
        QVERIFY(avvia(main));
        auto *opener = static_cast<TNuovaRichiestaFinta *>(main.ApriFinestra(
            QStringLiteral("TFormNuovaRichiestaDaApptsuAnnuncio"), [] { return new TNuovaRichiestaFinta; }));
        auto *p = main.ApriFinestra<TFormMostraClientiSimili>();
        QCOMPARE(p->finestra()->windowTitle(), QStringLiteral("Clienti Simili"));
        p->ImpostaFiltriSimili(QStringLiteral("bianchi"), tavo::NormalizzaTelefono(QString()), QString());
        QCOMPARE(p->modello()->rowCount(), 2);
        QCOMPARE(p->modello()->valore(0, QStringLiteral("DESCR")), QStringLiteral("BIANCHI LUCA"));
        QCOMPARE(p->modello()->valore(1, QStringLiteral("DESCR")), QStringLiteral("DE BIANCHI"));
        QCOMPARE(p->filtri().descr, QStringLiteral("BIANCHI"));
        QHeaderView *titoli = p->DBGridClienti->horizontalHeader();
        QCOMPARE(titoli->count(), 16);
        QCOMPARE(p->modello()->headerData(0, Qt::Horizontal).toString(),
                 QStringLiteral("Cognome e Nome o Ragione Sociale"));

        // Title clicks on "Telefono 1": ascending, then descending, with the title marked.
        auto *griglia = p->DBGridClienti;
        auto clicTitolo = [&](int sezione) {
            QTest::mouseClick(titoli->viewport(), Qt::LeftButton, {},
                              QPoint(titoli->sectionViewportPosition(sezione) + 5, titoli->height() / 2));
        };
        clicTitolo(1);
        QCOMPARE(p->modello()->colonnaOrdinata(), 1);
        QCOMPARE(p->modello()->verso(), Qt::AscendingOrder);
        QCOMPARE(p->modello()->valore(0, QStringLiteral("DESCR")), QStringLiteral("DE BIANCHI")); // "02 44" < "333"
        clicTitolo(1);
        QCOMPARE(p->modello()->verso(), Qt::DescendingOrder);
        QCOMPARE(static_cast<tavo::TIntestazioneGriglia *>(titoli)->sezioneMarcata(), 1);
        // The current row stays on its client across sorts.
        QCOMPARE(p->modello()->idCliente(griglia->currentIndex().row()), 1001);

        // The sort is kept in the settings and applied at the next opening.
        QTest::keyClick(griglia, Qt::Key_Escape);
        elaboraEliminazioni();
        QVERIFY(!main.finestraAperta(QStringLiteral("TFormMostraClientiSimili")));
        QCOMPARE(opener->scelto, -1); // "Annulla" changes nothing
        auto s = tavo::impostazioni(QStringLiteral("FormMostraClientiSimili"));
        QCOMPARE(s->value(QStringLiteral("SortedColumn")).toString(), QStringLiteral("TELEFONO1"));
        QCOMPARE(s->value(QStringLiteral("SortMarker")).toInt(), 2);

        p = main.ApriFinestra<TFormMostraClientiSimili>();
        p->ImpostaFiltriSimili(QString(), QStringLiteral("0244"), QStringLiteral("L@B.IT"));
        QCOMPARE(p->modello()->colonnaOrdinata(), 1);
        QCOMPARE(p->modello()->verso(), Qt::DescendingOrder);
        QCOMPARE(p->modello()->rowCount(), 2);
        QCOMPARE(p->modello()->valore(0, QStringLiteral("DESCR")), QStringLiteral("BIANCHI LUCA"));

        // Enter anywhere confirms the current row: labels back to normal, fields copied, then the id.
        p->DBGridClienti->setCurrentIndex(p->modello()->index(1, 0));
        QTest::keyClick(p->DBGridClienti, Qt::Key_Return);
        elaboraEliminazioni();
        QVERIFY(!main.finestraAperta(QStringLiteral("TFormMostraClientiSimili")));
        QCOMPARE(opener->findChild<QLineEdit *>(QStringLiteral("EditDESCR"))->text(), QStringLiteral("DE BIANCHI"));
        QCOMPARE(opener->findChild<QLineEdit *>(QStringLiteral("EditTELEFONO1"))->text(), QStringLiteral("02 44"));
        QCOMPARE(opener->findChild<QLineEdit *>(QStringLiteral("EditEMAIL"))->text(), QStringLiteral("d@b.it"));
        QCOMPARE(opener->scelto, 1002); // set after the fields, which cleared it
        for (const char *nome : {"LabelDescr", "LabelTelefoni", "LabelEmail"})
            QVERIFY(!rossa(opener->findChild<QLabel *>(QLatin1String(nome))));

        // A double click on a row confirms it as well.
        p = main.ApriFinestra<TFormMostraClientiSimili>();
        p->ImpostaFiltriSimili(QStringLiteral("verdi"), QString(), QString());
        QCOMPARE(p->modello()->rowCount(), 1);
        const QRect cella = p->DBGridClienti->visualRect(p->modello()->index(0, 0));
        QTest::mouseClick(p->DBGridClienti->viewport(), Qt::LeftButton, {}, cella.center());
        QTest::mouseDClick(p->DBGridClienti->viewport(), Qt::LeftButton, {}, cella.center());
        elaboraEliminazioni();
        QVERIFY(!main.finestraAperta(QStringLiteral("TFormMostraClientiSimili")));
        QCOMPARE(opener->scelto, 1003);
        QCOMPARE(opener->findChild<QLineEdit *>(QStringLiteral("EditDESCR"))->text(), QStringLiteral("VERDI"));
        QCOMPARE(ui.mostrati.size(), 0);
        chiudiTutto(main);
    }
};

int main(int argc, char **argv)
{
    tavo::TavoApplication app(argc, argv);
    TestInsVarClienti test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_insvarclienti.moc"
