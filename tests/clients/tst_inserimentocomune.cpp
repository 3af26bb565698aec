// The municipality picker, driven offscreen as a user would, on the real geography of Italy and
// a small province of its own. The request and listing editors are stood in for by doubles that
// implement the picker's two interfaces.

#include "schermate.h"

#include "clients/frmInserimentoComune.h"
#include "clients/richiedentecomune.h"

#include <QComboBox>
#include <QListWidget>

using tavo::UiService;
using tavo::test::ScriptedUiService;
using tavo::test::TempDatabase;
using namespace tavo::test::schermate;
namespace db = tavo::db;

namespace {

// The request editor as the municipality picker sees it.
class TRichiestaComuniFinta : public QWidget, public tavo::RichiedenteComuni
{
    Q_OBJECT
public:
    QList<int> ComuniPresenti() const override
    {
        QList<int> ids;
        for (const auto &c : comuni)
            ids << c.second;
        return ids;
    }
    void AggiungiComune(const QString &testo, int idComune) override { comuni.append({testo, idComune}); }
    void ComuniAggiunti() override { ++aggiunte; }
    QList<QPair<QString, int>> comuni;
    int aggiunte = 0;
};

// The listing editor as the municipality picker sees it.
class TAnnuncioComuneFinto : public QWidget, public tavo::RichiedenteComune
{
    Q_OBJECT
public:
    void ComuneScelto(const QString &testo, int idComune) override { scelte.append({testo, idComune}); }
    QList<QPair<QString, int>> scelte;
};

} // namespace

class TestInserimentoComune : public QObject
{
    Q_OBJECT

private:
    Impostazioni m_impostazioni;

    static TFormInserimentoComune *apriPicker(TFormMain &main, QWidget *richiedente)
    {
        auto *p = main.ApriFinestra<TFormInserimentoComune>();
        p->FinestraRichiedente = richiedente;
        return p;
    }

    static void scegliRiga(QListWidget *lista, const QString &testo)
    {
        const auto trovati = lista->findItems(testo, Qt::MatchExactly);
        QVERIFY2(!trovati.isEmpty(), qPrintable(testo));
        lista->scrollToItem(trovati.first());
        QTest::mouseClick(lista->viewport(), Qt::LeftButton, {}, lista->visualItemRect(trovati.first()).center());
    }

    static void scegliCombo(QComboBox *combo, const QString &testo)
    {
        const int i = combo->findText(testo);
        QVERIFY2(i >= 0, qPrintable(testo));
        combo->setCurrentIndex(i);
    }

private slots:
    void init() { m_impostazioni.nuove(); }

    // --- municipality picker ---------------------------------------------------------------------

    void firstShowingWithNothingRemembered()
    {
        ScriptedUiService ui;
        TempDatabase d;
        TFormMain main(d.folder());
        QVERIFY(avvia(main));
        auto *p = main.ApriFinestra<TFormInserimentoComune>();
        QCOMPARE(p->finestra()->windowTitle(), QStringLiteral("Scelta e inserimento Comune"));
        QCOMPARE(p->size(), QSize(677, 382));
        QVERIFY(!p->EditNazione->isVisible() && !p->LabelNazione->isVisible());
        QCOMPARE(p->EditNazione->currentText(), QStringLiteral("ITALIA"));
        QCOMPARE(p->EditRegione->count(), 20);
        QCOMPARE(p->EditRegione->currentIndex(), -1);
        QCOMPARE(p->EditProvincia->count(), 0);
        QCOMPARE(p->EditComune->count(), 0);
        QVERIFY(!p->EditZona->isVisible() && !p->LabelZona->isVisible());
        QVERIFY(p->EditSelezioneCorrente->text().isEmpty());
        chiudiTutto(main);
        auto s = tavo::impostazioni(QStringLiteral("FormInserimentoComune"));
        for (const char *chiave :
             {"EditRegione_ItemIndex", "EditProvincia_ItemIndex", "EditComune_ItemIndex", "EditZona_ItemIndex"})
            QCOMPARE(s->value(QLatin1String(chiave)).toInt(), -1);
    }

    void walkingDownAndRemembering()
    {
        ScriptedUiService ui;
        TempDatabase d;
        TFormMain main(d.folder());
        QVERIFY(avvia(main));
        auto *p = main.ApriFinestra<TFormInserimentoComune>();
        scegliCombo(p->EditRegione, QStringLiteral("LOMBARDIA"));
        QVERIFY(p->EditProvincia->count() > 10);
        scegliCombo(p->EditProvincia, QStringLiteral("MILANO"));
        QCOMPARE(p->EditSelezioneCorrente->text(), QStringLiteral("Tutta la provincia di MILANO"));
        QCOMPARE(p->EditComune->findItems(QStringLiteral("MILANO"), Qt::MatchExactly).size(), 1);
        QVERIFY(p->EditComune->findItems(QStringLiteral("(ZONA"), Qt::MatchContains).isEmpty());
        QVERIFY(!p->EditZona->isVisible());
        scegliRiga(p->EditComune, QStringLiteral("MILANO"));
        QCOMPARE(p->EditSelezioneCorrente->text(), QStringLiteral("Tutto il comune di MILANO"));
        QVERIFY(p->EditZona->isVisible() && p->LabelZona->isVisible());
        QCOMPARE(p->EditZona->count(), 35);
        scegliRiga(p->EditZona, QStringLiteral("BRERA"));
        QCOMPARE(p->EditSelezioneCorrente->text(), QStringLiteral("Il comune di MILANO (ZONA BRERA)"));
        const int regione = p->EditRegione->currentIndex();
        const int zona = p->EditZona->currentRow();
        p->ButtonFine->click();
        elaboraEliminazioni();
        QVERIFY(!main.finestraAperta(QStringLiteral("TFormInserimentoComune")));
        auto s = tavo::impostazioni(QStringLiteral("FormInserimentoComune"));
        QCOMPARE(s->value(QStringLiteral("EditRegione_ItemIndex")).toInt(), regione);
        QCOMPARE(s->value(QStringLiteral("EditZona_ItemIndex")).toInt(), zona);

        // The next showing comes back to the same zone.
        p = main.ApriFinestra<TFormInserimentoComune>();
        QCOMPARE(p->EditProvincia->currentText(), QStringLiteral("MILANO"));
        QCOMPARE(p->EditComune->selectedItems().value(0)->text(), QStringLiteral("MILANO"));
        QCOMPARE(p->EditZona->selectedItems().value(0)->text(), QStringLiteral("BRERA"));
        QCOMPARE(p->EditSelezioneCorrente->text(), QStringLiteral("Il comune di MILANO (ZONA BRERA)"));

        // MONZA has no zones; a new province empties the lists below it.
        scegliCombo(p->EditProvincia, QStringLiteral("MONZA E DELLA BRIANZA"));
        QVERIFY(!p->EditZona->isVisible());
        QVERIFY(p->EditComune->selectedItems().isEmpty());
        scegliRiga(p->EditComune, QStringLiteral("MONZA"));
        QVERIFY(!p->EditZona->isVisible());
        QCOMPARE(p->EditSelezioneCorrente->text(), QStringLiteral("Il comune di MONZA"));
        QTest::keyClick(p->EditComune, Qt::Key_Escape); // Escape closes
        elaboraEliminazioni();
        QVERIFY(!main.finestraAperta(QStringLiteral("TFormInserimentoComune")));
        QCOMPARE(s->value(QStringLiteral("EditZona_ItemIndex")).toInt(), -1);
        chiudiTutto(main);
    }

    void rememberedPositionBeyondTheList()
    {
        ScriptedUiService ui;
        TempDatabase d;
        TFormMain main(d.folder());
        QVERIFY(avvia(main));
        {
            auto s = tavo::impostazioni(QStringLiteral("FormInserimentoComune"));
            s->setValue(QStringLiteral("EditRegione_ItemIndex"), 0);
            s->setValue(QStringLiteral("EditProvincia_ItemIndex"), 999);
            s->setValue(QStringLiteral("EditComune_ItemIndex"), 3);
        }
        auto *p = main.ApriFinestra<TFormInserimentoComune>();
        QCOMPARE(p->EditRegione->currentIndex(), 0);
        QVERIFY(p->EditProvincia->count() > 0);
        QCOMPARE(p->EditProvincia->currentIndex(), -1);
        QCOMPARE(p->EditComune->count(), 0);
        QVERIFY(p->EditSelezioneCorrente->text().isEmpty());
        chiudiTutto(main);
    }

    void addingForARequest()
    {
        ScriptedUiService ui;
        TempDatabase d;
        // A small province: a municipality with two zones, and one without.
        d.exec(QStringLiteral("insert into PROVINCE (ID_PROVINCIA,ID_REGIONE,NOME) values (901,3,'AAA PROVA')"));
        const char *righe[] = {"BORGOFINTO", "BORGOFINTO (ZONA CENTRO)", "BORGOFINTO (ZONA NORD)", "MONTEFINTO"};
        for (int i = 0; i < 4; ++i)
            d.exec(QStringLiteral("insert into COMUNI (ID_COMUNE,ID_PROVINCIA,NOME) values (%1,901,'%2')")
                       .arg(901001 + i)
                       .arg(QLatin1String(righe[i])));
        TFormMain main(d.folder());
        QVERIFY(avvia(main));
        auto *richiesta = static_cast<TRichiestaComuniFinta *>(
            main.ApriFinestra(QStringLiteral("TFormInsVarRichieste"), [] { return new TRichiestaComuniFinta; }));
        auto *p = apriPicker(main, richiesta);

        // No province: refused.
        p->ButtonAggiungieContinua->click();
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Selezionare almeno una provincia"));
        QCOMPARE(ui.ultimo().titolo, QStringLiteral("Scelta e inserimento Comune"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Errore);
        QVERIFY(p->EditProvincia->hasFocus());
        QCOMPARE(richiesta->aggiunte, 0);

        // The province alone: every row, zones included.
        scegliCombo(p->EditRegione, QStringLiteral("LOMBARDIA"));
        scegliCombo(p->EditProvincia, QStringLiteral("AAA PROVA"));
        QCOMPARE(p->EditComune->count(), 2);
        p->ButtonAggiungieContinua->click();
        QCOMPARE(richiesta->comuni.size(), 4);
        QCOMPARE(richiesta->comuni.at(1), qMakePair(QStringLiteral("BORGOFINTO (ZONA CENTRO)"), 901002));
        QCOMPARE(richiesta->aggiunte, 1);

        // Again: nothing new, but the editor is told all the same.
        p->ButtonAggiungieContinua->click();
        QCOMPARE(richiesta->comuni.size(), 4);
        QCOMPARE(richiesta->aggiunte, 2);

        // MILANO without a zone: its 35 zones, not its own row; then the next municipality.
        richiesta->comuni.clear();
        scegliCombo(p->EditProvincia, QStringLiteral("MILANO"));
        scegliRiga(p->EditComune, QStringLiteral("MILANO"));
        const int riga = p->EditComune->currentRow();
        p->ButtonAggiungieContinua->click();
        QCOMPARE(richiesta->comuni.size(), 35);
        QVERIFY(!richiesta->ComuniPresenti().contains(15146));
        QVERIFY(richiesta->comuni.contains(qMakePair(QStringLiteral("MILANO (ZONA BRERA)"), 11514602)));
        QCOMPARE(p->EditComune->selectedItems().value(0), p->EditComune->item(riga + 1));
        QVERIFY(!p->EditZona->isVisible());
        QCOMPARE(p->EditSelezioneCorrente->text(),
                 QStringLiteral("Il comune di ") + p->EditComune->item(riga + 1)->text());

        // One zone, then the next zone is selected.
        richiesta->comuni.clear();
        scegliRiga(p->EditComune, QStringLiteral("MILANO"));
        scegliRiga(p->EditZona, QStringLiteral("BRERA"));
        const int zona = p->EditZona->currentRow();
        p->ButtonAggiungieContinua->click();
        QCOMPARE(richiesta->comuni, (QList<QPair<QString, int>>{{QStringLiteral("MILANO (ZONA BRERA)"), 11514602}}));
        QCOMPARE(p->EditZona->selectedItems().value(0), p->EditZona->item(zona + 1));

        // A double click adds and leaves the choices as they are.
        const QString prossima = p->EditZona->item(zona + 1)->text();
        const QPoint punto = p->EditZona->visualItemRect(p->EditZona->item(zona + 1)).center();
        QTest::mouseClick(p->EditZona->viewport(), Qt::LeftButton, {}, punto);
        QTest::mouseDClick(p->EditZona->viewport(), Qt::LeftButton, {}, punto);
        QCOMPARE(richiesta->comuni.size(), 2);
        QCOMPARE(richiesta->comuni.last().first, QStringLiteral("MILANO (ZONA ") + prossima + QLatin1Char(')'));
        QCOMPARE(p->EditZona->selectedItems().value(0)->text(), prossima);

        // "Aggiungi e Fine Selezione" adds and closes.
        scegliCombo(p->EditProvincia, QStringLiteral("MONZA E DELLA BRIANZA"));
        scegliRiga(p->EditComune, QStringLiteral("MONZA"));
        p->ButtonAggiungieFine->click();
        QCOMPARE(richiesta->comuni.last(), qMakePair(QStringLiteral("MONZA"), 108033));
        elaboraEliminazioni();
        QVERIFY(!main.finestraAperta(QStringLiteral("TFormInserimentoComune")));

        // Once the request editor is closed, adding does nothing.
        p = apriPicker(main, richiesta);
        richiesta->parentWidget()->close();
        elaboraEliminazioni();
        const int messaggi = ui.mostrati.size();
        p->ButtonAggiungieFine->click();
        QCOMPARE(ui.mostrati.size(), messaggi);
        QCOMPARE(main.finestraAperta(QStringLiteral("TFormInserimentoComune")), p);
        chiudiTutto(main);
    }

    void choosingForAListing_data()
    {
        QTest::addColumn<QString>("provincia");
        QTest::addColumn<QString>("comune");
        QTest::addColumn<QString>("zona");
        QTest::addColumn<QString>("messaggio");
        QTest::addColumn<QString>("testo");
        QTest::addColumn<int>("id");
        QTest::newRow("nothing") << QString() << QString() << QString() << QStringLiteral("Selezionare un Comune")
                                 << QString() << 0;
        QTest::newRow("province only") << QStringLiteral("MILANO") << QString() << QString()
                                       << QStringLiteral("Selezionare un Comune") << QString() << 0;
        QTest::newRow("zones, none chosen") << QStringLiteral("MILANO") << QStringLiteral("MILANO") << QString()
                                            << QStringLiteral("Selezionare una zona") << QString() << 0;
        QTest::newRow("a zone") << QStringLiteral("MILANO") << QStringLiteral("MILANO") << QStringLiteral("BRERA")
                                << QString() << QStringLiteral("MILANO (ZONA BRERA)") << 11514602;
        QTest::newRow("no zones") << QStringLiteral("MONZA E DELLA BRIANZA") << QStringLiteral("MONZA") << QString()
                                  << QString() << QStringLiteral("MONZA") << 108033;
    }
    void choosingForAListing()
    {
        QFETCH(QString, provincia);
        QFETCH(QString, comune);
        QFETCH(QString, zona);
        QFETCH(QString, messaggio);
        QFETCH(QString, testo);
        QFETCH(int, id);
        ScriptedUiService ui;
        TempDatabase d;
        TFormMain main(d.folder());
        QVERIFY(avvia(main));
        auto *annuncio = static_cast<TAnnuncioComuneFinto *>(
            main.ApriFinestra(QStringLiteral("TFormInsVarAnnunci"), [] { return new TAnnuncioComuneFinto; }));
        auto *p = apriPicker(main, annuncio);
        // The listing editor's buttons.
        p->ButtonAggiungieContinua->setVisible(false);
        p->ButtonAggiungieFine->setText(QStringLiteral("Seleziona"));
        p->ButtonFine->setText(QStringLiteral("Annulla"));
        if (!provincia.isEmpty()) {
            scegliCombo(p->EditRegione, QStringLiteral("LOMBARDIA"));
            scegliCombo(p->EditProvincia, provincia);
        }
        if (!comune.isEmpty())
            scegliRiga(p->EditComune, comune);
        if (!zona.isEmpty())
            scegliRiga(p->EditZona, zona);
        p->ButtonAggiungieFine->click();
        elaboraEliminazioni();
        if (messaggio.isEmpty()) {
            QCOMPARE(ui.mostrati.size(), 0);
            QCOMPARE(annuncio->scelte, (QList<QPair<QString, int>>{{testo, id}}));
            QVERIFY(!main.finestraAperta(QStringLiteral("TFormInserimentoComune")));
        } else {
            QCOMPARE(ui.mostrati.size(), 1);
            QCOMPARE(ui.ultimo().testo, messaggio);
            QCOMPARE(ui.ultimo().icona, UiService::Icona::Errore);
            QVERIFY((zona.isEmpty() && !comune.isEmpty() ? p->EditZona : p->EditComune)->hasFocus());
            QVERIFY(annuncio->scelte.isEmpty());
            QCOMPARE(main.finestraAperta(QStringLiteral("TFormInserimentoComune")), p);
        }
        chiudiTutto(main);
    }
};

int main(int argc, char **argv)
{
    tavo::TavoApplication app(argc, argv);
    TestInserimentoComune test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_inserimentocomune.moc"
