// The shared search grid: the title click cycle over a TMemTable and in database mode, the refused
// sort, the current row across sorting and filtering, the default menu entry, the column chooser and
// the settings, the sorted title's painting, the row colour hooks and the export entries.

#include "app/core/impostazioni.h"
#include "data/memtable/memtable.h"
#include "data/memtable/memtablemodel.h"
#include "scripteduiservice.h"
#include "widgets/formbase.h"
#include "widgets/searchgrid.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

using tavo::FieldType;
using tavo::TMemColumn;
using tavo::TMemTable;
using tavo::TMemTableModel;
using tavo::TSearchGrid;
using tavo::test::ScriptedUiService;

namespace {

const QColor Arancio(254, 213, 153);

// A screen with a grid over four listings whose names differ in letter case:
// natural order 1 bianchi, 2 Alberti, 3 carli, 4 Dossi.
class Banco
{
public:
    Banco()
    {
        tabella.addColumn(TMemColumn(QStringLiteral("ID"), FieldType::Integer).setRequired().setCaption("Id"));
        tabella.addColumn(TMemColumn(QStringLiteral("NOME"), FieldType::Text, 40).setCaption("Nome"));
        tabella.addColumn(TMemColumn(QStringLiteral("CITTA"), FieldType::Text, 40).setCaption("Città"));
        tabella.addColumn(TMemColumn(QStringLiteral("PREZZO"), FieldType::Float).setCaption("Prezzo"));
        tabella.addColumn(TMemColumn(QStringLiteral("ATTIVO"), FieldType::Text, 1).setCaption("Attivo"));
        tabella.addColumn(TMemColumn(QStringLiteral("ID_INCROCI"), FieldType::Memo).setHidden());
        tabella.setOpenHandler([](TMemTable &t) {
            std::vector<QVector<QVariant>> righe;
            righe.push_back({1, "bianchi", "Roma", 300.0, "S", "7"});
            righe.push_back({2, "Alberti", "milano", 100.0, "N", "8"});
            righe.push_back({3, "carli", "Bari", 200.0, "S", "9"});
            righe.push_back({4, "Dossi", "aosta", 150.0, "S", "10"});
            t.appendRecords(std::move(righe));
        });
        tabella.open();
        form.setWindowTitle(QStringLiteral("Ricerca Prova"));
        auto *layout = new QVBoxLayout(&form);
        griglia = new TSearchGrid(&form);
        griglia->setObjectName(QStringLiteral("DBGridProva"));
        layout->addWidget(griglia);
        griglia->setModel(&modello);
        form.resize(700, 300);
    }

    void mostra()
    {
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
    }

    QList<int> ids() const
    {
        QList<int> r;
        for (int riga = 0; riga < modello.rowCount(); ++riga)
            r << tabella.rowValue(modello.bookmark(riga), tabella.columnIndex("ID")).toInt();
        return r;
    }

    int rigaDi(int id) const { return modello.rowOf(tabella.findRow(QStringLiteral("ID"), id)); }

    int idCorrenteGriglia() const
    {
        const QModelIndex i = griglia->currentIndex();
        return i.isValid() ? tabella.rowValue(modello.bookmark(i.row()), 0).toInt() : 0;
    }

    void clicTitolo(const QString &colonna)
    {
        QHeaderView *h = griglia->horizontalHeader();
        const int s = griglia->sezioneColonna(colonna);
        QVERIFY2(s >= 0, qPrintable(colonna));
        const QPoint centro(h->sectionViewportPosition(s) + h->sectionSize(s) / 2, h->height() / 2);
        QTest::mouseClick(h->viewport(), Qt::LeftButton, Qt::NoModifier, centro);
    }

    QPoint centroRiga(int riga) const { return griglia->visualRect(modello.index(riga, 1)).center(); }

    TMemTable tabella;
    TMemTableModel modello{&tabella};
    tavo::TFormBase form{QStringLiteral("FormProva")};
    TSearchGrid *griglia = nullptr;
};

using Ids = QList<int>;

} // namespace

class TstSearchGrid : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cicloOrdinamento_data();
    void cicloOrdinamento();
    void ordinamentoImpossibile_data();
    void ordinamentoImpossibile();
    void ordinamentoDatabase();
    void rigaCorrente();
    void colonneDopoOrdinamento();
    void voceDefault();
    void menuRighe();
    void escapeChiude();
    void sceltaColonneESalvataggio();
    void impostazioniErrate();
    void titoloOrdinato_data();
    void titoloOrdinato();
    void coloriRighe();
    void vociEsportazione();

private:
    QTemporaryDir m_dir;
    int m_n = 0;
};

void TstSearchGrid::init()
{
    QVERIFY(m_dir.isValid());
    tavo::impostaFileImpostazioni(m_dir.filePath(QStringLiteral("impostazioni%1.ini").arg(++m_n)));
}

void TstSearchGrid::cicloOrdinamento_data()
{
    QTest::addColumn<QStringList>("clic");
    QTest::addColumn<int>("stato");
    QTest::addColumn<QString>("colonna");
    QTest::addColumn<Ids>("ordine");

    const QString nome = QStringLiteral("NOME");
    const QString prezzo = QStringLiteral("PREZZO");
    // Ascending by name ignoring case is Alberti, bianchi, carli, Dossi (case-sensitive would put Dossi second).
    QTest::newRow("primo clic: crescente") << QStringList{nome} << 1 << nome << Ids{2, 1, 3, 4};
    QTest::newRow("secondo clic: decrescente") << QStringList{nome, nome} << 2 << nome << Ids{4, 3, 1, 2};
    QTest::newRow("terzo clic: ordine naturale") << QStringList{nome, nome, nome} << 0 << QString() << Ids{1, 2, 3, 4};
    QTest::newRow("quarto clic: di nuovo crescente")
        << QStringList{nome, nome, nome, nome} << 1 << nome << Ids{2, 1, 3, 4};
    QTest::newRow("altra colonna tiene il crescente") << QStringList{nome, prezzo} << 1 << prezzo << Ids{2, 4, 3, 1};
    QTest::newRow("altra colonna tiene il decrescente")
        << QStringList{nome, nome, prezzo} << 2 << prezzo << Ids{1, 3, 4, 2};
    QTest::newRow("poi la stessa colonna avanza")
        << QStringList{nome, prezzo, prezzo} << 2 << prezzo << Ids{1, 3, 4, 2};
    QTest::newRow("senza ordinamento un'altra colonna parte crescente")
        << QStringList{nome, nome, nome, prezzo} << 1 << prezzo << Ids{2, 4, 3, 1};
}

void TstSearchGrid::cicloOrdinamento()
{
    QFETCH(QStringList, clic);
    QFETCH(int, stato);
    QFETCH(QString, colonna);
    QFETCH(Ids, ordine);

    ScriptedUiService ui;
    Banco b;
    b.mostra();
    QSignalSpy cliccati(b.griglia, &TSearchGrid::titoloCliccato);
    for (const QString &c : clic)
        b.clicTitolo(c);

    QCOMPARE(cliccati.count(), clic.size());
    QCOMPARE(b.griglia->statoOrdinamento(), stato);
    QCOMPARE(b.griglia->colonnaOrdinata(), colonna);
    QCOMPARE(b.ids(), ordine);
    auto *h = qobject_cast<tavo::TIntestazioneGriglia *>(b.griglia->horizontalHeader());
    QVERIFY(h);
    QCOMPARE(h->sezioneMarcata(), stato ? b.griglia->sezioneColonna(colonna) : -1);
    QVERIFY(ui.mostrati.isEmpty());
}

void TstSearchGrid::ordinamentoImpossibile_data()
{
    QTest::addColumn<bool>("rigaInSospeso");
    QTest::newRow("colonna che la tabella non ha") << false;
    QTest::newRow("riga aggiunta senza un campo obbligatorio") << true;
}

void TstSearchGrid::ordinamentoImpossibile()
{
    QFETCH(bool, rigaInSospeso);
    ScriptedUiService ui;
    Banco b;
    b.mostra();
    b.clicTitolo(QStringLiteral("NOME"));
    QCOMPARE(b.ids(), (Ids{2, 1, 3, 4}));

    if (rigaInSospeso) {
        // The sort must post the row first, and ID is required.
        b.tabella.append();
        b.tabella.setValue(QStringLiteral("NOME"), QStringLiteral("Esposito"));
        b.clicTitolo(QStringLiteral("PREZZO"));
    } else {
        // A sort kept in the settings by an older version, on a column that is gone.
        b.griglia->impostaOrdinamento(QStringLiteral("SPARITA"), 2);
        b.griglia->riapplicaOrdinamento();
    }

    QCOMPARE(ui.conta("messaggio"), 1);
    QCOMPARE(ui.ultimo().testo, QStringLiteral("L'ordinamento su questo campo non è possibile"));
    QCOMPARE(ui.ultimo().titolo, QStringLiteral("Ricerca Prova"));
    QCOMPARE(ui.ultimo().icona, tavo::UiService::Icona::Errore);
    QCOMPARE(b.griglia->statoOrdinamento(), 0);
    QVERIFY(b.griglia->colonnaOrdinata().isEmpty());
    auto *h = qobject_cast<tavo::TIntestazioneGriglia *>(b.griglia->horizontalHeader());
    QCOMPARE(h->sezioneMarcata(), -1);
    if (rigaInSospeso) {
        b.tabella.cancel();
    } else {
        // The order shown matches the cleared marker.
        QCOMPARE(b.ids(), (Ids{1, 2, 3, 4}));
    }
    // The next click starts the cycle again.
    b.clicTitolo(QStringLiteral("PREZZO"));
    QCOMPARE(b.griglia->statoOrdinamento(), 1);
    QCOMPARE(b.ids(), (Ids{2, 4, 3, 1}));
}

void TstSearchGrid::ordinamentoDatabase()
{
    ScriptedUiService ui;
    Banco b;
    b.griglia->setProperty("ordinamentoDatabase", true); // as a .ui file sets it
    b.mostra();
    QSignalSpy richieste(b.griglia, &TSearchGrid::ordinamentoRichiesto);
    // The screen cannot order by the city: it refuses.
    QObject::connect(b.griglia, &TSearchGrid::ordinamentoRichiesto, b.griglia, [&b](const QString &colonna, int) {
        if (colonna == QLatin1String("CITTA"))
            b.griglia->rifiutaOrdinamento();
    });

    for (const char *c : {"NOME", "NOME", "PREZZO", "PREZZO"})
        b.clicTitolo(QString::fromLatin1(c));
    b.griglia->riapplicaOrdinamento();

    const QList<QPair<QString, int>> attese = {{"NOME", 1}, {"NOME", 2}, {"PREZZO", 2}, {QString(), 0}, {QString(), 0}};
    QCOMPARE(richieste.count(), attese.size());
    for (int i = 0; i < attese.size(); ++i) {
        QCOMPARE(richieste.at(i).at(0).toString(), attese[i].first);
        QCOMPARE(richieste.at(i).at(1).toInt(), attese[i].second);
    }
    // The rows stay as the screen loaded them: the grid sorts nothing itself.
    QCOMPARE(b.ids(), (Ids{1, 2, 3, 4}));
    QVERIFY(ui.mostrati.isEmpty());

    b.clicTitolo(QStringLiteral("CITTA"));
    QCOMPARE(ui.conta("messaggio"), 1);
    QCOMPARE(ui.ultimo().testo, QStringLiteral("L'ordinamento su questo campo non è possibile"));
    QCOMPARE(b.griglia->statoOrdinamento(), 0);
    QVERIFY(b.griglia->colonnaOrdinata().isEmpty());
}

void TstSearchGrid::rigaCorrente()
{
    ScriptedUiService ui;
    Banco b;
    b.mostra();
    // A click on carli's row makes it the table's current row too.
    QTest::mouseClick(b.griglia->viewport(), Qt::LeftButton, Qt::NoModifier, b.centroRiga(b.rigaDi(3)));
    QCOMPARE(b.tabella.value(QStringLiteral("ID")).toInt(), 3);

    b.clicTitolo(QStringLiteral("NOME"));
    QCOMPARE(b.ids(), (Ids{2, 1, 3, 4}));
    QCOMPARE(b.idCorrenteGriglia(), 3);
    QCOMPARE(b.griglia->currentIndex().row(), 2);
    QVERIFY(b.griglia->selectionModel()->isRowSelected(2, QModelIndex()));

    b.tabella.setFilter(QStringLiteral("PREZZO>=150"));
    b.tabella.setFiltered(true);
    QCOMPARE(b.ids(), (Ids{1, 3, 4}));
    QCOMPARE(b.idCorrenteGriglia(), 3);

    // The current row filtered away: both go to the first row.
    b.tabella.setFilter(QStringLiteral("PREZZO>250"));
    QCOMPARE(b.ids(), (Ids{1}));
    QCOMPARE(b.idCorrenteGriglia(), 1);
    QCOMPARE(b.tabella.value(QStringLiteral("ID")).toInt(), 1);

    // A move of the table's cursor (a screen's locate) shows in the grid.
    b.tabella.setFiltered(false);
    QVERIFY(b.tabella.locate(QStringLiteral("ID"), 4));
    QCOMPARE(b.idCorrenteGriglia(), 4);
}

void TstSearchGrid::colonneDopoOrdinamento()
{
    ScriptedUiService ui;
    Banco b;
    b.mostra();
    // Sized to the content on the first fill: the header "Prezzo" and "300,00" need less than the default 100.
    const int prezzo = b.griglia->sezioneColonna(QStringLiteral("PREZZO"));
    const int citta = b.griglia->sezioneColonna(QStringLiteral("CITTA"));
    QVERIFY(b.griglia->columnWidth(prezzo) != b.griglia->horizontalHeader()->defaultSectionSize());
    QVERIFY(b.griglia->columnWidth(prezzo) >= b.griglia->horizontalHeader()->sectionSizeHint(prezzo));

    // What the user did survives the model resets of sorting.
    b.griglia->setColumnWidth(prezzo, 177);
    b.griglia->nascondiColonna(QStringLiteral("CITTA"), true);
    b.clicTitolo(QStringLiteral("NOME"));
    b.clicTitolo(QStringLiteral("NOME"));
    QCOMPARE(b.griglia->columnWidth(prezzo), 177);
    QVERIFY(b.griglia->isColumnHidden(citta));
    // Hidden-flag columns never reach the grid.
    QCOMPARE(b.griglia->sezioneColonna(QStringLiteral("ID_INCROCI")), -1);
    QCOMPARE(b.modello.columnCount(), 5);
}

void TstSearchGrid::voceDefault()
{
    ScriptedUiService ui;
    Banco b;
    QMenu menu;
    QAction *nuovo = menu.addAction(QStringLiteral("Nuovo Annuncio"));
    QAction *vai = menu.addAction(QStringLiteral("Vai All'Annuncio"));
    b.griglia->impostaMenu(&menu);
    b.griglia->impostaVoceDefault(vai);
    QCOMPARE(menu.defaultAction(), vai);
    QVERIFY(vai->font().bold());
    b.mostra();

    QList<int> aperti;
    QObject::connect(vai, &QAction::triggered, &b.form,
                     [&] { aperti << b.tabella.value(QStringLiteral("ID")).toInt(); });
    QSignalSpy nuovi(nuovo, &QAction::triggered);

    QTest::mouseDClick(b.griglia->viewport(), Qt::LeftButton, Qt::NoModifier, b.centroRiga(b.rigaDi(3)));
    QCOMPARE(aperti, (QList<int>{3}));

    b.griglia->setFocus();
    QTest::keyClick(b.griglia, Qt::Key_Down);
    QTest::keyClick(b.griglia, Qt::Key_Return);
    QCOMPARE(aperti, (QList<int>{3, 4}));

    // Below the last row there is nothing to open.
    const QPoint vuoto(10, b.griglia->viewport()->height() - 5);
    QVERIFY(!b.griglia->indexAt(vuoto).isValid());
    QTest::mouseDClick(b.griglia->viewport(), Qt::LeftButton, Qt::NoModifier, vuoto);
    // A disabled default entry does not run.
    vai->setEnabled(false);
    QTest::mouseDClick(b.griglia->viewport(), Qt::LeftButton, Qt::NoModifier, b.centroRiga(0));
    QCOMPARE(aperti.size(), 2);

    // Another default: the old one loses its bold face.
    b.griglia->impostaVoceDefault(nuovo);
    QVERIFY(!vai->font().bold());
    QTest::mouseDClick(b.griglia->viewport(), Qt::LeftButton, Qt::NoModifier, b.centroRiga(1));
    QCOMPARE(nuovi.count(), 1);
}

void TstSearchGrid::menuRighe()
{
    ScriptedUiService ui;
    Banco b;
    QMenu menu;
    menu.addAction(QStringLiteral("Vai All'Annuncio"));
    b.griglia->impostaMenu(&menu);
    b.mostra();
    const QPoint pos = b.centroRiga(b.rigaDi(4));
    QContextMenuEvent evento(QContextMenuEvent::Mouse, pos, b.griglia->viewport()->mapToGlobal(pos));
    QApplication::sendEvent(b.griglia->viewport(), &evento);
    QTRY_VERIFY(menu.isVisible());
    // The menu acts on the row it was asked on.
    QCOMPARE(b.tabella.value(QStringLiteral("ID")).toInt(), 4);
    menu.close();
}

void TstSearchGrid::escapeChiude()
{
    ScriptedUiService ui;
    Banco b;
    b.form.setAttribute(Qt::WA_DeleteOnClose, false);
    b.mostra();
    b.griglia->setFocus();
    QTest::keyClick(b.griglia, Qt::Key_Escape);
    // Escape reaches the screen, which closes (searches close on Escape).
    QVERIFY(!b.form.isVisible());
}

void TstSearchGrid::sceltaColonneESalvataggio()
{
    ScriptedUiService ui;
    {
        Banco b;
        b.mostra();
        QHeaderView *h = b.griglia->horizontalHeader();
        const QPoint pos(h->sectionViewportPosition(0) + 5, h->height() / 2);
        QContextMenuEvent evento(QContextMenuEvent::Mouse, pos, h->viewport()->mapToGlobal(pos));
        QApplication::sendEvent(h->viewport(), &evento);
        auto *scelta = b.griglia->findChild<QMenu *>(QStringLiteral("MenuColonne"));
        QVERIFY(scelta);
        QTRY_VERIFY(scelta->isVisible());
        QAction *citta = scelta->findChild<QAction *>(QStringLiteral("ColonnaCITTA"));
        QVERIFY(citta);
        QCOMPARE(citta->text(), QStringLiteral("Città"));
        QVERIFY(citta->isChecked());
        citta->trigger();
        scelta->close();
        QVERIFY(b.griglia->isColumnHidden(b.griglia->sezioneColonna(QStringLiteral("CITTA"))));

        // Down to one visible column: that one cannot be unticked.
        for (const char *c : {"ID", "NOME", "PREZZO"})
            b.griglia->nascondiColonna(QString::fromLatin1(c), true);
        scelta = b.griglia->menuColonne();
        QVERIFY(!scelta->findChild<QAction *>(QStringLiteral("ColonnaATTIVO"))->isEnabled());
        QVERIFY(scelta->findChild<QAction *>(QStringLiteral("ColonnaNOME"))->isEnabled());
        for (const char *c : {"ID", "NOME", "PREZZO"})
            b.griglia->nascondiColonna(QString::fromLatin1(c), false);

        b.griglia->setColumnWidth(b.griglia->sezioneColonna(QStringLiteral("NOME")), 211);
        b.clicTitolo(QStringLiteral("NOME"));
        b.clicTitolo(QStringLiteral("NOME"));
        b.griglia->salvaStato(&b.form);
    }
    {
        QSettings s(m_dir.filePath(QStringLiteral("impostazioni%1.ini").arg(m_n)), QSettings::IniFormat);
        s.beginGroup(QStringLiteral("FormProva"));
        QCOMPARE(s.value(QStringLiteral("SortMarker")).toInt(), 2);
        QCOMPARE(s.value(QStringLiteral("SortedColumn")).toString(), QStringLiteral("NOME"));
        QCOMPARE(s.value(QStringLiteral("ColonneNascoste")).toStringList(), QStringList{"CITTA"});
    }
    {
        Banco b;
        b.griglia->ripristinaStato(&b.form);
        b.mostra();
        QVERIFY(b.griglia->isColumnHidden(b.griglia->sezioneColonna(QStringLiteral("CITTA"))));
        QVERIFY(!b.griglia->isColumnHidden(b.griglia->sezioneColonna(QStringLiteral("NOME"))));
        QCOMPARE(b.griglia->columnWidth(b.griglia->sezioneColonna(QStringLiteral("NOME"))), 211);
        QCOMPARE(b.griglia->statoOrdinamento(), 2);
        QCOMPARE(b.griglia->colonnaOrdinata(), QStringLiteral("NOME"));
        // Restoring sets the sort; the screen applies it once its data is open.
        QCOMPARE(b.ids(), (Ids{1, 2, 3, 4}));
        b.griglia->riapplicaOrdinamento();
        QCOMPARE(b.ids(), (Ids{4, 3, 1, 2}));
        QCOMPARE(b.griglia->statoOrdinamento(), 2);
        // The user shows the column again from the chooser.
        b.griglia->menuColonne()->findChild<QAction *>(QStringLiteral("ColonnaCITTA"))->trigger();
        QVERIFY(!b.griglia->isColumnHidden(b.griglia->sezioneColonna(QStringLiteral("CITTA"))));
    }
    QVERIFY(ui.mostrati.isEmpty());
}

void TstSearchGrid::impostazioniErrate()
{
    ScriptedUiService ui;
    {
        auto s = tavo::impostazioni(QStringLiteral("FormProva"));
        s->setValue(QStringLiteral("SortMarker"), 7);
        s->setValue(QStringLiteral("SortedColumn"), QStringLiteral("NOME"));
        s->setValue(QStringLiteral("ColonneNascoste"), QStringList{"ID", "NOME", "CITTA", "PREZZO", "ATTIVO"});
        s->setValue(QStringLiteral("LarghezzeColonne"), QStringList{"NOME=abc", "PREZZO=-5", "CITTA"});
    }
    Banco b;
    b.griglia->ripristinaStato(&b.form);
    b.mostra();
    QCOMPARE(b.griglia->statoOrdinamento(), 0);
    QVERIFY(b.griglia->colonnaOrdinata().isEmpty());
    // Never a grid without columns.
    int visibili = 0;
    for (int s = 0; s < b.modello.columnCount(); ++s)
        visibili += !b.griglia->isColumnHidden(s);
    QCOMPARE(visibili, 1);
    QVERIFY(b.griglia->columnWidth(b.griglia->sezioneColonna(QStringLiteral("ID"))) > 10);
    QVERIFY(ui.mostrati.isEmpty());
}

void TstSearchGrid::titoloOrdinato_data()
{
    QTest::addColumn<int>("clic");
    QTest::newRow("crescente: freccia in su") << 1;
    QTest::newRow("decrescente: freccia in giù") << 2;
}

void TstSearchGrid::titoloOrdinato()
{
    QFETCH(int, clic);
    ScriptedUiService ui;
    Banco b;
    b.mostra();
    for (int i = 0; i < clic; ++i)
        b.clicTitolo(QStringLiteral("NOME"));

    QHeaderView *h = b.griglia->horizontalHeader();
    const QImage img = h->grab().toImage();
    const qreal dpr = img.devicePixelRatio();
    auto pixel = [&](int x, int y) { return QColor(img.pixel(int(x * dpr), int(y * dpr))); };
    const int nome = b.griglia->sezioneColonna(QStringLiteral("NOME"));
    const int prezzo = b.griglia->sezioneColonna(QStringLiteral("PREZZO"));
    const int x0 = h->sectionViewportPosition(nome);
    QCOMPARE(pixel(x0 + 2, 2), Arancio);
    QCOMPARE(pixel(x0 + h->sectionSize(nome) / 2, h->height() - 4), Arancio);
    QVERIFY(pixel(h->sectionViewportPosition(prezzo) + 2, 2) != Arancio);

    // The arrow sits at the right end of the title, past its text: its widest row of dark pixels is at the
    // bottom when it points up (ascending) and at the top when it points down.
    const int destra = x0 + h->sectionSize(nome) - 1;
    int primaRiga = -1, ultimaRiga = -1, larghezzaPrima = 0, larghezzaUltima = 0;
    for (int y = 0; y < h->height(); ++y) {
        int scuri = 0;
        for (int x = destra - 12; x < destra; ++x)
            scuri += pixel(x, y).lightness() < 110;
        if (scuri == 0)
            continue;
        if (primaRiga < 0) {
            primaRiga = y;
            larghezzaPrima = scuri;
        }
        ultimaRiga = y;
        larghezzaUltima = scuri;
    }
    QVERIFY2(primaRiga >= 0 && ultimaRiga > primaRiga, "no arrow drawn");
    if (clic == 1)
        QVERIFY(larghezzaUltima > larghezzaPrima);
    else
        QVERIFY(larghezzaPrima > larghezzaUltima);

    // Back to the natural order: no marked title.
    b.clicTitolo(QStringLiteral("NOME"));
    if (clic == 1)
        b.clicTitolo(QStringLiteral("NOME"));
    QVERIFY(QColor(h->grab().toImage().pixel(int((x0 + 2) * dpr), int(2 * dpr))) != Arancio);
}

void TstSearchGrid::coloriRighe()
{
    ScriptedUiService ui;
    Banco b;
    const QColor verde(200, 255, 200);
    const int attivo = b.tabella.columnIndex(QStringLiteral("ATTIVO"));
    // Inactive listings in red on a green background (the background only to test the second hook).
    auto inattiva = [&b, attivo](int riga) {
        return b.tabella.rowValue(b.modello.bookmark(riga), attivo).toString() == QLatin1String("N");
    };
    b.griglia->impostaColoreTesto([&](int riga) { return inattiva(riga) ? QColor(Qt::red) : QColor(); });
    b.griglia->impostaColoreSfondo([&](int riga) { return inattiva(riga) ? verde : QColor(); });
    b.mostra();
    b.tabella.locate(QStringLiteral("ID"), 4); // the selection away from the rows looked at

    const QImage img = b.griglia->viewport()->grab().toImage();
    const qreal dpr = img.devicePixelRatio();
    auto rossi = [&](int riga, QColor *sfondo) {
        const QRect r = b.griglia->visualRect(b.modello.index(riga, b.griglia->sezioneColonna("NOME")));
        *sfondo = QColor(img.pixel(int((r.left() + 1) * dpr), int(r.center().y() * dpr)));
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c(img.pixel(int(x * dpr), int(y * dpr)));
                n += c.red() > 180 && c.green() < 90 && c.blue() < 90;
            }
        return n;
    };
    QColor sfondoAlberti, sfondoBianchi, sfondoCarli;
    QVERIFY(rossi(b.rigaDi(2), &sfondoAlberti) > 0);
    QCOMPARE(sfondoAlberti, verde);
    QCOMPARE(rossi(b.rigaDi(1), &sfondoBianchi), 0);
    QCOMPARE(rossi(b.rigaDi(3), &sfondoCarli), 0);
    QVERIFY(sfondoBianchi != verde);
}

void TstSearchGrid::vociEsportazione()
{
    ScriptedUiService ui;
    Banco b;
    QMenu menu;
    const QList<QAction *> voci = b.griglia->aggiungiVociEsportazione(&menu, QStringLiteral("Annunci"));
    QCOMPARE(voci.size(), 4);
    const QStringList testi = {"Esporta in MS Excel", "Esporta in HTML", "Esporta in CSV", "Esporta in XML"};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(voci[i]->text(), testi[i]);
        QCOMPARE(voci[i]->data().toInt(), i);
        QCOMPARE(voci[i]->isEnabled(), i == 1);
    }
    QCOMPARE(voci[1]->objectName(), QStringLiteral("MenuEsportainHTML"));

    // No exporter installed (no main window): nothing happens.
    QVERIFY(!b.griglia->esporta(1, QStringLiteral("Annunci")));

    QList<QPair<int, QString>> chiamate;
    QTableView *griglia = nullptr;
    TSearchGrid::impostaEsportatore([&](int tipo, const QString &nome, QTableView *g) {
        chiamate << qMakePair(tipo, nome);
        griglia = g;
        return true;
    });
    voci[1]->trigger();
    TSearchGrid::impostaEsportatore(nullptr);
    QCOMPARE(chiamate, (QList<QPair<int, QString>>{{1, "Annunci"}}));
    QCOMPARE(griglia, b.griglia);
}

QTEST_MAIN(TstSearchGrid)
#include "tst_searchgrid.moc"
