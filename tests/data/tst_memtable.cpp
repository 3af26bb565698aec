// Tests of the in-memory table: filters as the search screens write them, sorting, cursor, bookmarks, editing,
// calculated columns, display texts, the grid model and the portal CSV loader.

#include "data/memtable/csvloader.h"
#include "data/memtable/filterexpression.h"
#include "data/memtable/memtable.h"
#include "data/memtable/memtablemodel.h"
#include "data/memtable/valueformat.h"
#include "data/testo/win1252.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>

#include <memory>

using namespace tavo;

// A compact value that makes its text when read, as the match tables keep their match ids.
struct Codici
{
    QVector<int> numeri;
    bool operator==(const Codici &o) const { return numeri == o.numeri; }
};
Q_DECLARE_METATYPE(Codici)

// A custom value without a text form.
struct Opaco
{
    int n = 0;
    bool operator==(const Opaco &o) const { return n == o.n; }
};
Q_DECLARE_METATYPE(Opaco)

namespace {

QString priorityText(const QVariant &v)
{
    static const char *const names[] = {"Non Pubblicare", "Minima", "Bassa", "Normale", "Alta", "Massima"};
    const int p = v.toInt();
    return p >= 0 && p <= 5 ? QString::fromUtf8(names[p]) : QString();
}

// Export description: the text when its trimmed form fits in 100 characters, else 97 characters and "...".
QVariant exportDescription(const TMemRecord &r)
{
    const QVariant d = r.value(QStringLiteral("DESCRIZIONE"));
    if (!d.isValid())
        return QVariant();
    const QString text = d.toString();
    if (text.trimmed().size() <= 100)
        return text;
    return QVariant(text.left(97) + QStringLiteral("..."));
}

QDateTime dt(int y, int m, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, mi, s));
}

const QString kLong150 = QString(150, QLatin1Char('x'));
const QString kExactly100 = QStringLiteral("  ") + QString(100, QLatin1Char('y')) + QStringLiteral("  ");

struct FixtureRow
{
    int id;
    QVariant idCliente, cliente, comune, comuni, prezzo, mq, nrLocali, priorita, eliminato, data, descrizione, localita,
        riferimento;
};

const QVariant N; // null

// Ten rows with nulls, apostrophes, accents, letter-case variants, dates, zero, negative and fractional numbers.
QVector<FixtureRow> fixtureRows()
{
    return {
        {1, 10, "ROSSI MARIO", "MILANO", "MILANO, MONZA", 150000.0, 80.0, 3.0, 3, "N", dt(2024, 1, 10, 9, 30),
         "Bilocale luminoso", "CENTRO", "A1"},
        {2, 11, "bianchi luca", "L'AQUILA", "L'AQUILA", 99999.99, 60.5, 2.5, 1, "N", dt(2024, 1, 31, 23, 59, 59),
         kLong150, "", "A2"},
        {3, 10, "Alfa srl", "ROMA", "ROMA, L'AQUILA", 0.0, 0.0, 0.0, 0, "S", dt(2024, 2, 1), kExactly100, N, "B1"},
        {4, 12, N, "MILANO", N, N, N, N, N, "N", N, N, "PERIFERIA", "B2"},
        {5, 13, QString::fromUtf8("Élite Casa"), QString::fromUtf8("FORLÌ"), QString::fromUtf8("FORLÌ"), 200000.0,
         120.0, 4.0, 5, "N", dt(2023, 12, 31, 10), "Riga uno\r\nRiga due", "CENTRO", "B3"},
        {6, 11, "rossi mario", "MILANO", "MONZA, MILANO", 200001.0, 95.0, 3.5, 4, "S", dt(2024, 2, 29, 12), "Trilocale",
         "CENTRO", "C1"},
        {7, 14, "zeta", QString::fromUtf8("SAN DONÀ DI PIAVE"), QString::fromUtf8("SAN DONÀ DI PIAVE"), 1250.5, 45.0,
         1.0, 2, "N", dt(2024, 3, 1), "Monolocale", "MARE", "C2"},
        {8, 15, "O'BRIEN", "L'AQUILA", "MILANO MARITTIMA", 100000.0, 70.0, 2.0, 0, "N", dt(2024, 2, 29, 23, 59, 59),
         "Villa", "CENTRO", "C3"},
        {9, 16, "Ettore", "MILANO", "", -5.0, 30.0, 1.0, 1, N, dt(2024, 2, 10, 8), "Box", "centro", "D1"},
        {10, 12, QString::fromUtf8("éva"), "ROMA", "ROMA", 500000.0, 200.0, 6.0, 6, "N", dt(2024, 2, 15), "Attico",
         "CENTRO", "D2"},
    };
}

void defineColumns(TMemTable &t)
{
    t.addColumn(TMemColumn("ID", FieldType::Integer).setRequired().setHidden());
    t.addColumn(TMemColumn("ID_CLIENTE", FieldType::Integer).setHidden());
    t.addColumn(TMemColumn("CLIENTE", FieldType::Text, 128).setCaption("Cliente"));
    t.addColumn(TMemColumn("COMUNE", FieldType::Text, 128).setCaption("Comune"));
    t.addColumn(TMemColumn("COMUNI", FieldType::Memo).setCaption("Comuni"));
    t.addColumn(TMemColumn("PREZZO", FieldType::Float).setCaption("Prezzo").setDisplay(currencyDisplay()));
    t.addColumn(TMemColumn("MQ", FieldType::Float).setCaption("Super. MQ"));
    t.addColumn(TMemColumn("NR_LOCALI", FieldType::Float).setCaption(QString::fromUtf8("N° Locali")));
    t.addColumn(
        TMemColumn("PRIORITA", FieldType::Integer).setCaption(QString::fromUtf8("Priorità")).setDisplay(priorityText));
    t.addColumn(TMemColumn("ELIMINATO", FieldType::Text, 1));
    t.addColumn(TMemColumn("DATA_ULT_MODIFICA", FieldType::DateTime).setCaption("Data Ult. Modifica"));
    t.addColumn(TMemColumn("DESCRIZIONE", FieldType::Memo).setCaption("Descrizione"));
    t.addColumn(TMemColumn("LOCALITA", FieldType::Text, 255).setCaption(QString::fromUtf8("Località")));
    t.addColumn(TMemColumn("RIFERIMENTO", FieldType::Text, 35).setCaption("Riferimento").setRequired());
    t.addColumn(TMemColumn("DESCR_ESPORTAZIONE", FieldType::Text, 100)
                    .setCaption("Descrizione")
                    .setCalculated(exportDescription));
}

void appendFixtureRow(TMemTable &t, const FixtureRow &r)
{
    t.append();
    t.setValue("ID", r.id);
    t.setValue("ID_CLIENTE", r.idCliente);
    t.setValue("CLIENTE", r.cliente);
    t.setValue("COMUNE", r.comune);
    t.setValue("COMUNI", r.comuni);
    t.setValue("PREZZO", r.prezzo);
    t.setValue("MQ", r.mq);
    t.setValue("NR_LOCALI", r.nrLocali);
    t.setValue("PRIORITA", r.priorita);
    t.setValue("ELIMINATO", r.eliminato);
    t.setValue("DATA_ULT_MODIFICA", r.data);
    t.setValue("DESCRIZIONE", r.descrizione);
    t.setValue("LOCALITA", r.localita);
    t.setValue("RIFERIMENTO", r.riferimento);
    t.post();
}

// A fixture table, opened through its open handler like the match tables.
std::unique_ptr<TMemTable> makeFixture()
{
    auto t = std::make_unique<TMemTable>(QStringLiteral("MemTableProva"));
    defineColumns(*t);
    t->setOpenHandler([](TMemTable &table) {
        for (const FixtureRow &r : fixtureRows())
            appendFixtureRow(table, r);
    });
    t->open();
    return t;
}

// The ID column of the visible rows, in the table's order.
QList<int> visibleIds(const TMemTable &t)
{
    QList<int> ids;
    const int idColumn = t.columnIndex("ID");
    for (RowId row : t.visibleRowIds())
        ids.append(t.rowValue(row, idColumn).toInt());
    return ids;
}

// The same, walking the cursor as the screens do.
QList<int> cursorIds(TMemTable &t)
{
    QList<int> ids;
    for (t.first(); !t.eof(); t.next())
        ids.append(t.value("ID").toInt());
    return ids;
}

} // namespace

class TestMemTable : public QObject
{
    Q_OBJECT

private slots:
    void memoKeepsValuesThatMakeTheirText();

    // Filters
    void filter_data();
    void filter();
    void filterEmptyAndSwitch();
    void malformedFilter_data();
    void malformedFilter();
    void malformedFilterKeepsPreviousFilter();

    // Sorting, cursor, locate, bookmarks
    void sortCycle_data();
    void sortCycle();
    void sortWithFilterAndPostedRows();
    void sortUnknownColumn();
    void cursorWalk();
    void locate();
    void bookmarksSurviveSortAndFilter();

    // Open/close and editing
    void openCloseSemantics();
    void openHandlerFailureClosesTable();
    void appendEditCancelPost();
    void requiredAndConversions();
    void editHidesAndShowsRows();
    void deleteRows();
    void appendRecordsAllOrNothing();

    // Calculated columns and display
    void calculatedColumn();
    void displayTexts();
    void currencyFormat_data();
    void currencyFormat();

    // Model
    void modelShape();
    void modelSignals();
    void modelBulkUpdateResetsOnce();
    void modelWithTester();

    // CSV
    void csvLoad_data();
    void csvLoad();
    void csvLineEndsAndHeader();
    void csvMalformed_data();
    void csvMalformed();
    void csvFileAndEncoding();
};

// ---------------------------------------------------------------------------------------------------------------
// Filters

void TestMemTable::filter_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QList<int>>("expected");

    // Terms of the listing search (ButtonFiltraClick), alone and joined with " and ".
    QTest::newRow("client") << "ID_CLIENTE=10" << QList<int>{1, 3};
    QTest::newRow("municipality with apostrophe") << "COMUNE='L''AQUILA'" << QList<int>{2, 8};
    QTest::newRow("municipality") << "COMUNE='MILANO'" << QList<int>{1, 4, 6, 9};
    QTest::newRow("accented municipality") << QString::fromUtf8("COMUNE='SAN DONÀ DI PIAVE'") << QList<int>{7};
    QTest::newRow("locality, exact case") << "LOCALITA='CENTRO'" << QList<int>{1, 5, 6, 8, 10};
    QTest::newRow("min price, fraction cut off") << "PREZZO>=99999" << QList<int>{1, 2, 5, 6, 8, 10};
    QTest::newRow("max price") << "PREZZO<=200000" << QList<int>{1, 2, 3, 5, 7, 8, 9};
    QTest::newRow("price range") << "PREZZO>=99999 and PREZZO<=200000" << QList<int>{1, 2, 5, 8};
    QTest::newRow("reference") << "RIFERIMENTO='B2'" << QList<int>{4};
    QTest::newRow("area range") << "MQ>=60 and MQ<=100" << QList<int>{1, 2, 6, 8};
    QTest::newRow("min rooms") << "NR_LOCALI>=3" << QList<int>{1, 5, 6, 10};
    QTest::newRow("max rooms") << "NR_LOCALI<=2" << QList<int>{3, 7, 8, 9};
    QTest::newRow("active") << "ELIMINATO='N'" << QList<int>{1, 2, 4, 5, 7, 8, 10};
    QTest::newRow("inactive") << "ELIMINATO='S'" << QList<int>{3, 6};
    QTest::newRow("priority") << "PRIORITA=3" << QList<int>{1};
    QTest::newRow("publishable") << "PRIORITA>0" << QList<int>{1, 2, 5, 6, 7, 9, 10};
    QTest::newRow("listing search, five terms")
        << "COMUNE='MILANO' and PREZZO>=100000 and PREZZO<=300000 and ELIMINATO='N' and PRIORITA>0" << QList<int>{1};

    // Terms of the request search (FiltroChange).
    QTest::newRow("start date") << "DATA_ULT_MODIFICA>='2024/01/31'" << QList<int>{2, 3, 6, 7, 8, 9, 10};
    QTest::newRow("end date with time") << "DATA_ULT_MODIFICA<='2024/02/29 23.59.59'"
                                        << QList<int>{1, 2, 3, 5, 6, 8, 9, 10};
    QTest::newRow("end date without time stops at midnight") << "DATA_ULT_MODIFICA<='2024/01/31'" << QList<int>{1, 5};
    QTest::newRow("date range") << "DATA_ULT_MODIFICA>='2024/02/01' and DATA_ULT_MODIFICA<='2024/02/29 23.59.59'"
                                << QList<int>{3, 6, 8, 9, 10};
    QTest::newRow("municipality list like") << "COMUNI like '*L''AQUILA*'" << QList<int>{2, 3};
    QTest::newRow("municipality list like, any place") << "COMUNI like '*MILANO*'" << QList<int>{1, 6, 8};
    QTest::newRow("like with accent") << QString::fromUtf8("COMUNI like '*FORLÌ*'") << QList<int>{5};
    QTest::newRow("request search, all terms")
        << "ID_CLIENTE=11 and DATA_ULT_MODIFICA>='2024/01/01' and DATA_ULT_MODIFICA<='2024/02/29 23.59.59' and "
           "COMUNI like '*MILANO*' and PREZZO>=100000"
        << QList<int>{6};

    // The rest of the language.
    QTest::newRow("not: null comparison is false, its negation true")
        << "not ELIMINATO='S'" << QList<int>{1, 2, 4, 5, 7, 8, 9, 10};
    QTest::newRow("<> skips nulls") << "ELIMINATO<>'S'" << QList<int>{1, 2, 4, 5, 7, 8, 10};
    QTest::newRow("!= as <>") << "ID_CLIENTE!=10" << QList<int>{2, 4, 5, 6, 7, 8, 9, 10};
    QTest::newRow("is null") << "ELIMINATO is null" << QList<int>{9};
    QTest::newRow("is not null") << "CLIENTE IS NOT NULL" << QList<int>{1, 2, 3, 5, 6, 7, 8, 9, 10};
    QTest::newRow("column name ignores case, text does not") << "cliente = 'rossi mario'" << QList<int>{6};
    QTest::newRow("or") << "CLIENTE='ROSSI MARIO' or CLIENTE='rossi mario'" << QList<int>{1, 6};
    QTest::newRow("parentheses") << QString::fromUtf8("(COMUNE='ROMA' or COMUNE='FORLÌ') and PREZZO>0")
                                 << QList<int>{5, 10};
    QTest::newRow("and binds tighter than or")
        << QString::fromUtf8("COMUNE='ROMA' or COMUNE='FORLÌ' and PREZZO>0") << QList<int>{3, 5, 10};
    QTest::newRow("keywords ignore case") << "comune='ROMA' AnD prezzo>0" << QList<int>{10};
    QTest::newRow("decimal literal") << "PREZZO=99999.99" << QList<int>{2};
    QTest::newRow("negative literal") << "PREZZO=-5" << QList<int>{9};
    QTest::newRow("zero is not null") << "PREZZO=0" << QList<int>{3};
    QTest::newRow("empty text is not null") << "LOCALITA=''" << QList<int>{2};
    QTest::newRow("empty memo") << "COMUNI=''" << QList<int>{9};
    QTest::newRow("like prefix") << "RIFERIMENTO like 'B*'" << QList<int>{3, 4, 5};
    QTest::newRow("like suffix") << "RIFERIMENTO like '*1'" << QList<int>{1, 3, 6, 9};
    QTest::newRow("like with %") << "RIFERIMENTO like 'C%'" << QList<int>{6, 7, 8};
    QTest::newRow("like without wildcard is equality") << "RIFERIMENTO like 'A1'" << QList<int>{1};
    QTest::newRow("like is case-sensitive") << "CLIENTE like '*rossi*'" << QList<int>{6};
    QTest::newRow("not like skips nulls") << "COMUNI not like '*MILANO*'" << QList<int>{2, 3, 5, 7, 9, 10};
    QTest::newRow("quoted number on numeric column") << "PRIORITA='3'" << QList<int>{1};
    QTest::newRow("date-time with colons") << "DATA_ULT_MODIFICA='2024/02/29 12:00:00'" << QList<int>{6};
    QTest::newRow("date equality at midnight") << "DATA_ULT_MODIFICA='2024/02/01'" << QList<int>{3};
    QTest::newRow("column against column") << "MQ>NR_LOCALI" << QList<int>{1, 2, 5, 6, 7, 8, 9, 10};
    QTest::newRow("constant true") << "1=1" << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    QTest::newRow("constant false") << "'A'='B'" << QList<int>{};
    QTest::newRow("hidden column") << "ID>=9" << QList<int>{9, 10};
    QTest::newRow("calculated column") << "DESCR_ESPORTAZIONE like '*...'" << QList<int>{2};
    QTest::newRow("blanks everywhere") << "  ( PREZZO >= 200000 )  and  ( ELIMINATO = 'N' ) " << QList<int>{5, 10};
}

void TestMemTable::filter()
{
    QFETCH(QString, expression);
    QFETCH(QList<int>, expected);
    auto t = makeFixture();
    t->setFilter(expression);
    t->setFiltered(true);
    QCOMPARE(visibleIds(*t), expected);
    QCOMPARE(cursorIds(*t), expected);
    QCOMPARE(t->recordCount(), expected.size());
}

void TestMemTable::filterEmptyAndSwitch()
{
    auto t = makeFixture();
    t->setFilter("ELIMINATO='S'");
    QCOMPARE(t->recordCount(), 10); // filtering still off
    t->setFiltered(true);
    QCOMPARE(visibleIds(*t), (QList<int>{3, 6}));
    t->setFiltered(false);
    QCOMPARE(t->recordCount(), 10);
    t->setFiltered(true);
    t->setFilter("   ");
    QVERIFY(t->isFiltered());
    QCOMPARE(t->recordCount(), 10); // a blank expression filters nothing
    QCOMPARE(t->totalRowCount(), 10);
}

void TestMemTable::malformedFilter_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("fragment");

    QTest::newRow("unknown column") << "PREZZ>=5"
                                    << "colonna sconosciuta PREZZ";
    QTest::newRow("missing closing parenthesis") << "(PREZZO>5"
                                                 << "parentesi non bilanciate";
    QTest::newRow("extra closing parenthesis") << "PREZZO>5)"
                                               << "parentesi non bilanciate";
    QTest::newRow("unterminated text") << "COMUNE='MILANO"
                                       << "non terminato";
    QTest::newRow("stray token") << "COMUNE='MILANO' MILANO"
                                 << "simbolo inatteso";
    QTest::newRow("missing operand") << "COMUNE="
                                     << "espressione incompleta";
    QTest::newRow("dangling and") << "COMUNE='A' and"
                                  << "espressione incompleta";
    QTest::newRow("leading and") << "and COMUNE='A'"
                                 << "simbolo inatteso";
    QTest::newRow("lone not") << "not"
                              << "espressione incompleta";
    QTest::newRow("operand without comparison") << "PREZZO"
                                                << "manca un confronto";
    QTest::newRow("operand in and") << "PREZZO and ELIMINATO='N'"
                                    << "manca un confronto";
    QTest::newRow("double operator") << "COMUNE=='A'"
                                     << "simbolo inatteso";
    QTest::newRow("text not a number") << "PREZZO>'abc'"
                                       << "numero non valido";
    QTest::newRow("impossible date") << "DATA_ULT_MODIFICA>='2024/13/01'"
                                     << "data non valida";
    QTest::newRow("date in another form") << "DATA_ULT_MODIFICA>='31/01/2024'"
                                          << "data non valida";
    QTest::newRow("number against date") << "DATA_ULT_MODIFICA>=5"
                                         << "impossibile confrontare";
    QTest::newRow("number against text") << "COMUNE=5"
                                         << "impossibile confrontare";
    QTest::newRow("like on a number") << "PREZZO like '*1*'"
                                      << "LIKE";
    QTest::newRow("like without pattern") << "COMUNE like COMUNI"
                                          << "LIKE";
    QTest::newRow("equals null") << "COMUNE = null"
                                 << "IS NULL";
    QTest::newRow("is without null") << "COMUNE is 'A'"
                                     << "IS";
    QTest::newRow("invalid character") << "COMUNE # 'A'"
                                       << "carattere non valido";
    QTest::newRow("double quotes") << "COMUNE=\"A\""
                                   << "carattere non valido";
    QTest::newRow("bad number") << "PREZZO>1.2.3"
                                << "numero non valido";
    QTest::newRow("text against date column") << "COMUNE>DATA_ULT_MODIFICA"
                                              << "impossibile confrontare";
    QTest::newRow("condition as operand") << "(PREZZO>1)=1"
                                          << "condizione";
    QTest::newRow("empty parentheses") << "()"
                                       << "parentesi";
}

void TestMemTable::malformedFilter()
{
    QFETCH(QString, expression);
    QFETCH(QString, fragment);
    auto t = makeFixture();
    try {
        t->setFilter(expression);
        QFAIL("FilterError expected");
    } catch (const FilterError &e) {
        QVERIFY2(e.message().startsWith(QStringLiteral("Espressione di filtro non valida: ")), qPrintable(e.message()));
        QVERIFY2(e.message().contains(fragment, Qt::CaseInsensitive), qPrintable(e.message()));
        QCOMPARE(QString::fromStdString(e.what()), e.message());
    }
}

void TestMemTable::malformedFilterKeepsPreviousFilter()
{
    auto t = makeFixture();
    t->setFilter("ELIMINATO='S'");
    t->setFiltered(true);
    try {
        t->setFilter("PREZZ>=5");
        QFAIL("FilterError expected");
    } catch (const FilterError &e) {
        QCOMPARE(e.message(), QStringLiteral("Espressione di filtro non valida: colonna sconosciuta PREZZ"));
    }
    QCOMPARE(t->filter(), QStringLiteral("ELIMINATO='S'"));
    QCOMPARE(visibleIds(*t), (QList<int>{3, 6}));
}

// ---------------------------------------------------------------------------------------------------------------
// Sorting, cursor, locate, bookmarks

void TestMemTable::sortCycle_data()
{
    QTest::addColumn<QString>("column");
    QTest::addColumn<QList<int>>("ascending");
    QTest::addColumn<QList<int>>("descending");

    // Null first ascending; letter case ignored, accents beside their letter; ties keep natural order.
    QTest::newRow("text") << "CLIENTE" << QList<int>{4, 3, 2, 5, 9, 10, 8, 1, 6, 7}
                          << QList<int>{7, 1, 6, 8, 10, 9, 5, 2, 3, 4};
    QTest::newRow("float") << "PREZZO" << QList<int>{4, 9, 3, 7, 2, 8, 1, 5, 6, 10}
                           << QList<int>{10, 6, 5, 1, 8, 2, 7, 3, 9, 4};
    QTest::newRow("integer with ties") << "ID_CLIENTE" << QList<int>{1, 3, 2, 6, 4, 10, 5, 7, 8, 9}
                                       << QList<int>{9, 8, 7, 5, 4, 10, 2, 6, 1, 3};
    QTest::newRow("date-time") << "DATA_ULT_MODIFICA" << QList<int>{4, 5, 1, 2, 3, 9, 10, 6, 8, 7}
                               << QList<int>{7, 8, 6, 10, 9, 3, 2, 1, 5, 4};
    QTest::newRow("column name ignores case")
        << "prezzo" << QList<int>{4, 9, 3, 7, 2, 8, 1, 5, 6, 10} << QList<int>{10, 6, 5, 1, 8, 2, 7, 3, 9, 4};
}

void TestMemTable::sortCycle()
{
    QFETCH(QString, column);
    QFETCH(QList<int>, ascending);
    QFETCH(QList<int>, descending);
    const QList<int> natural{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    auto t = makeFixture();
    QCOMPARE(visibleIds(*t), natural);
    t->sortOn(column, Qt::AscendingOrder);
    QVERIFY(t->isSorted());
    QCOMPARE(t->sortColumn().toUpper(), column.toUpper());
    QCOMPARE(visibleIds(*t), ascending);
    QCOMPARE(cursorIds(*t), ascending);
    t->sortOn(column, Qt::DescendingOrder);
    QCOMPARE(t->sortOrder(), Qt::DescendingOrder);
    QCOMPARE(visibleIds(*t), descending);
    t->clearSort();
    QVERIFY(!t->isSorted());
    QCOMPARE(visibleIds(*t), natural);
}

void TestMemTable::sortWithFilterAndPostedRows()
{
    auto t = makeFixture();
    t->setFilter("ELIMINATO='N'");
    t->setFiltered(true);
    t->sortOn("PREZZO", Qt::DescendingOrder);
    QCOMPARE(visibleIds(*t), (QList<int>{10, 5, 1, 8, 2, 7, 4}));

    // A posted row takes its sorted place; one the filter rejects stays out of sight.
    appendFixtureRow(*t, {11, 20, "NUOVO", "ROMA", "ROMA", 120000.0, N, N, 1, "N", N, N, N, "E1"});
    QCOMPARE(visibleIds(*t), (QList<int>{10, 5, 1, 11, 8, 2, 7, 4}));
    QCOMPARE(t->value("ID").toInt(), 11); // the cursor is on the posted row
    appendFixtureRow(*t, {12, 20, "ALTRO", "ROMA", "ROMA", 130000.0, N, N, 1, "S", N, N, N, "E2"});
    QCOMPARE(visibleIds(*t), (QList<int>{10, 5, 1, 11, 8, 2, 7, 4}));
    QCOMPARE(t->totalRowCount(), 12);

    // Sorting on a memo and on a calculated column works too.
    t->setFiltered(false);
    t->sortOn("DESCR_ESPORTAZIONE", Qt::AscendingOrder);
    QCOMPARE(visibleIds(*t).mid(0, 3), (QList<int>{4, 11, 12})); // nulls first, natural order among them
    t->sortOn("COMUNI", Qt::AscendingOrder);
    QCOMPARE(visibleIds(*t).first(), 4);
}

void TestMemTable::sortUnknownColumn()
{
    auto t = makeFixture();
    QVERIFY_THROWS_EXCEPTION(MemTableError, t->sortOn("INESISTENTE"));
    QVERIFY(!t->isSorted());
    TMemTable closed;
    defineColumns(closed);
    QVERIFY_THROWS_EXCEPTION(MemTableError, closed.sortOn("PREZZO"));
}

void TestMemTable::cursorWalk()
{
    auto t = makeFixture();
    t->first();
    QVERIFY(t->bof());
    QVERIFY(!t->eof());
    QCOMPARE(t->recNo(), 1);
    t->next();
    QCOMPARE(t->value("ID").toInt(), 2);
    QCOMPARE(t->recNo(), 2);
    t->last();
    QVERIFY(t->eof());
    QCOMPARE(t->value("ID").toInt(), 10);
    t->next(); // stays on the last row
    QCOMPARE(t->value("ID").toInt(), 10);
    t->prior();
    QCOMPARE(t->value("ID").toInt(), 9);
    QVERIFY(!t->eof());
    t->setRecNo(4);
    QCOMPARE(t->value("ID").toInt(), 4);
    t->first();
    t->prior();
    QVERIFY(t->bof());
    QCOMPARE(t->value("ID").toInt(), 1);

    t->setFilter("PREZZO>1000000");
    t->setFiltered(true);
    QVERIFY(t->isEmpty());
    t->first();
    QVERIFY(t->eof());
    QVERIFY(t->bof());
    QCOMPARE(t->recNo(), 0);
    QCOMPARE(t->bookmark(), RowId(0));
    QVERIFY(!t->value("ID").isValid()); // no current row: fields read null
    QCOMPARE(t->displayText("PRIORITA"), QString());
}

void TestMemTable::locate()
{
    auto t = makeFixture();
    QVERIFY(t->locate("RIFERIMENTO", "C1"));
    QCOMPARE(t->value("ID").toInt(), 6);
    QVERIFY(t->locate("CLIENTE", "rossi MARIO", TMemTable::CaseInsensitive));
    QCOMPARE(t->value("ID").toInt(), 1);
    QVERIFY(!t->locate("CLIENTE", "rossi MARIO")); // exact by default
    QCOMPARE(t->value("ID").toInt(), 1);           // cursor unchanged
    QVERIFY(t->locate("CLIENTE", "zet", TMemTable::PartialKey));
    QCOMPARE(t->value("ID").toInt(), 7);
    QVERIFY(t->locate("ID_CLIENTE", 13));
    QCOMPARE(t->value("ID").toInt(), 5);
    QVERIFY(t->locate("ID_CLIENTE", "12")); // converted to the column's type
    QCOMPARE(t->value("ID").toInt(), 4);
    QVERIFY(t->locate("PREZZO", 99999.99));
    QCOMPARE(t->value("ID").toInt(), 2);
    QVERIFY(t->locate("DATA_ULT_MODIFICA", dt(2024, 2, 15)));
    QCOMPARE(t->value("ID").toInt(), 10);
    QVERIFY(t->locate("ELIMINATO", QVariant())); // null finds the null
    QCOMPARE(t->value("ID").toInt(), 9);
    QVERIFY(!t->locate("ID_CLIENTE", "abc"));
    QVERIFY_THROWS_EXCEPTION(MemTableError, t->locate("NESSUNA", 1));

    // In the current order: descending client names meet "rossi mario"'s tie partner first.
    t->sortOn("CLIENTE", Qt::DescendingOrder);
    QVERIFY(t->locate("CLIENTE", "ROSSI MARIO", TMemTable::CaseInsensitive));
    QCOMPARE(t->value("ID").toInt(), 1);

    // The filter hides rows from locate but not from findRow.
    t->setFilter("ELIMINATO='S'");
    t->setFiltered(true);
    QVERIFY(!t->locate("RIFERIMENTO", "A1"));
    const RowId a1 = t->findRow("RIFERIMENTO", "A1");
    QVERIFY(a1 != 0);
    QCOMPARE(t->rowValue(a1, t->columnIndex("ID")).toInt(), 1);
    QCOMPARE(t->findRow("RIFERIMENTO", "ZZ"), RowId(0));
}

void TestMemTable::bookmarksSurviveSortAndFilter()
{
    auto t = makeFixture();
    QVERIFY(t->locate("RIFERIMENTO", "C1"));
    const RowId bm = t->bookmark();
    QVERIFY(bm != 0);

    t->sortOn("CLIENTE", Qt::AscendingOrder);
    QCOMPARE(t->value("ID").toInt(), 6); // sorting keeps the current row
    t->first();
    QVERIFY(t->gotoBookmark(bm));
    QCOMPARE(t->value("ID").toInt(), 6);
    QCOMPARE(t->recNo(), 9);

    t->setFilter("ELIMINATO='S'");
    t->setFiltered(true);
    QCOMPARE(t->value("ID").toInt(), 6); // still visible: still current
    QVERIFY(t->gotoBookmark(bm));
    t->setFilter("ELIMINATO='N'");
    QVERIFY(!t->isRowVisible(bm));
    QVERIFY(t->containsRow(bm));
    QVERIFY(!t->gotoBookmark(bm));
    QCOMPARE(t->recNo(), 1); // the hidden current row gave way to the first one
    t->setFiltered(false);
    QVERIFY(t->gotoBookmark(bm));

    // Deleting another row leaves the bookmark valid; deleting its row invalidates it.
    t->clearSort();
    QVERIFY(t->locate("RIFERIMENTO", "A1"));
    t->deleteCurrent();
    QVERIFY(t->gotoBookmark(bm));
    QCOMPARE(t->value("RIFERIMENTO").toString(), QStringLiteral("C1"));
    t->deleteCurrent();
    QVERIFY(!t->gotoBookmark(bm));
    QVERIFY(!t->containsRow(bm));
    QVERIFY(!t->gotoBookmark(0));
}

// ---------------------------------------------------------------------------------------------------------------
// Open/close and editing

void TestMemTable::openCloseSemantics()
{
    TMemTable t(QStringLiteral("MemTableAnnunci"));
    defineColumns(t);
    int fills = 0;
    t.setOpenHandler([&](TMemTable &table) {
        ++fills;
        appendFixtureRow(table, fixtureRows().at(0));
        appendFixtureRow(table, fixtureRows().at(1));
    });
    QVERIFY(!t.isOpen());
    QCOMPARE(t.recordCount(), 0);
    try {
        t.append();
        QFAIL("MemTableError expected");
    } catch (const MemTableError &e) {
        QCOMPARE(e.message(), QString::fromUtf8("La tabella MemTableAnnunci non è aperta."));
    }

    t.open();
    QVERIFY(t.isOpen());
    QCOMPARE(t.state(), TMemTable::State::Browse);
    QCOMPARE(fills, 1);
    QCOMPARE(t.recordCount(), 2);
    QCOMPARE(t.recNo(), 1); // positioned on the first row

    appendFixtureRow(t, fixtureRows().at(2)); // a refreshed row, as AggiornaAnnuncio appends
    t.open();                                 // already open: nothing happens
    QCOMPARE(fills, 1);
    QCOMPARE(t.recordCount(), 3);
    QVERIFY_THROWS_EXCEPTION(MemTableError, t.addColumn(TMemColumn("ALTRA", FieldType::Integer)));

    t.setFilter("ELIMINATO='N'");
    t.setFiltered(true);
    t.sortOn("PREZZO");
    t.close();
    QVERIFY(!t.isOpen());
    QCOMPARE(t.recordCount(), 0);
    QCOMPARE(t.totalRowCount(), 0);
    QVERIFY(!t.isSorted());                                // the sort goes with the rows
    QCOMPARE(t.filter(), QStringLiteral("ELIMINATO='N'")); // the filter stays, as the openers expect to clear it
    QVERIFY(t.isFiltered());
    t.close(); // closing a closed table is harmless

    t.open(); // recomputed
    QCOMPARE(fills, 2);
    QCOMPARE(visibleIds(t), (QList<int>{1, 2}));

    t.emptyTable();
    QVERIFY(t.isOpen());
    QVERIFY(t.isEmpty());
    QCOMPARE(fills, 2);
}

void TestMemTable::openHandlerFailureClosesTable()
{
    TMemTable t;
    defineColumns(t);
    int attempts = 0;
    t.setOpenHandler([&](TMemTable &table) {
        ++attempts;
        appendFixtureRow(table, fixtureRows().at(0));
        if (attempts == 1)
            throw std::runtime_error("errore del database");
    });
    TMemTableModel model(&t);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, t.open());
    QVERIFY(!t.isOpen()); // no half-filled table stays open
    QVERIFY(!t.isUpdating());
    QCOMPARE(model.rowCount(), 0);
    t.open();
    QCOMPARE(attempts, 2);
    QCOMPARE(t.recordCount(), 1);
    QCOMPARE(model.rowCount(), 1);
    QVERIFY(resets.count() >= 1);
}

void TestMemTable::appendEditCancelPost()
{
    auto t = makeFixture();
    t->append();
    QCOMPARE(t->state(), TMemTable::State::Insert);
    QCOMPARE(t->bookmark(), RowId(0));
    t->setValue("ID", 11);
    t->setValue("RIFERIMENTO", "X1");
    QCOMPARE(t->value("RIFERIMENTO").toString(), QStringLiteral("X1")); // reads the buffer
    t->cancel();
    QCOMPARE(t->state(), TMemTable::State::Browse);
    QCOMPARE(t->recordCount(), 10);

    t->append();
    t->setValue("ID", 11);
    t->setValue("RIFERIMENTO", "X1");
    t->setValue("PREZZO", 1500);
    t->post();
    QCOMPARE(t->recordCount(), 11);
    QCOMPARE(t->value("ID").toInt(), 11); // cursor on the new row
    QCOMPARE(t->recNo(), 11);             // at the end of the natural order
    QVERIFY(!t->value("CLIENTE").isValid());
    const RowId bm = t->bookmark();
    QVERIFY(bm != 0);

    QVERIFY(t->locate("RIFERIMENTO", "A1"));
    t->edit();
    QCOMPARE(t->state(), TMemTable::State::Edit);
    QCOMPARE(t->bookmark(), t->findRow("RIFERIMENTO", "A1"));
    t->setValue("PREZZO", 1.0);
    t->cancel();
    QCOMPARE(t->value("PREZZO").toDouble(), 150000.0);
    t->edit();
    t->setValue("PREZZO", QVariant()); // back to null
    t->setValue("CLIENTE", "VERDI");
    t->post();
    QVERIFY(!t->value("PREZZO").isValid());
    QCOMPARE(t->value("CLIENTE").toString(), QStringLiteral("VERDI"));
    QCOMPARE(t->recNo(), 1);

    // Navigation posts a pending edit, as a database cursor does.
    t->edit();
    t->setValue("CLIENTE", "NERI");
    t->next();
    QCOMPARE(t->state(), TMemTable::State::Browse);
    QCOMPARE(t->rowValue(t->findRow("RIFERIMENTO", "A1"), t->columnIndex("CLIENTE")).toString(),
             QStringLiteral("NERI"));

    QVERIFY(t->gotoBookmark(bm));
    QCOMPARE(t->value("RIFERIMENTO").toString(), QStringLiteral("X1"));
    QVERIFY_THROWS_EXCEPTION(MemTableError, t->setValue("CLIENTE", "X")); // not editing
}

void TestMemTable::requiredAndConversions()
{
    auto t = makeFixture();
    t->append();
    t->setValue("RIFERIMENTO", "X");
    try {
        t->post();
        QFAIL("MemTableError expected");
    } catch (const MemTableError &e) {
        QCOMPARE(e.message(), QStringLiteral("Il campo ID deve avere un valore."));
    }
    QCOMPARE(t->state(), TMemTable::State::Insert); // the buffer is kept for correction
    t->setValue("ID", "42");                        // text converted
    t->post();
    QCOMPARE(t->value("ID"), QVariant(42));

    t->edit();
    try {
        t->setValue("PREZZO", "abc");
        QFAIL("MemTableError expected");
    } catch (const MemTableError &e) {
        QCOMPARE(e.message(), QStringLiteral("Valore non valido per il campo PREZZO: abc"));
    }
    QVERIFY_THROWS_EXCEPTION(MemTableError, t->setValue("PREZZO", "1,5")); // "." is the decimal point
    QVERIFY_THROWS_EXCEPTION(MemTableError, t->setValue("ID_CLIENTE", "3.5"));
    QVERIFY_THROWS_EXCEPTION(MemTableError, t->setValue("DATA_ULT_MODIFICA", "31/01/2024"));
    QVERIFY_THROWS_EXCEPTION(MemTableError, t->setValue("DESCR_ESPORTAZIONE", "x")); // calculated
    QVERIFY_THROWS_EXCEPTION(MemTableError, t->setValue("NESSUNA", 1));

    t->setValue("PREZZO", "12.5");
    QCOMPARE(t->value("PREZZO"), QVariant(12.5));
    t->setValue("PREZZO", "");
    QVERIFY(!t->value("PREZZO").isValid()); // an empty text is null for numbers
    t->setValue("ID_CLIENTE", 2.5);
    QCOMPARE(t->value("ID_CLIENTE"), QVariant(2)); // halves to the even one
    t->setValue("ID_CLIENTE", 3.5);
    QCOMPARE(t->value("ID_CLIENTE"), QVariant(4));
    t->setValue("RIFERIMENTO", QString(40, QLatin1Char('R')));
    QCOMPARE(t->value("RIFERIMENTO").toString().size(), 35); // cut to the column size
    t->setValue("COMUNI", QString(5000, QLatin1Char('M')));
    QCOMPARE(t->value("COMUNI").toString().size(), 5000); // memo: no limit
    t->setValue("DATA_ULT_MODIFICA", QDate(2024, 5, 6));
    QCOMPARE(t->value("DATA_ULT_MODIFICA"), QVariant(dt(2024, 5, 6)));
    t->setValue("DATA_ULT_MODIFICA", "2024/05/06 10.20.30");
    QCOMPARE(t->value("DATA_ULT_MODIFICA"), QVariant(dt(2024, 5, 6, 10, 20, 30)));
    t->setValue("LOCALITA", "");
    QVERIFY(t->value("LOCALITA").isValid()); // an empty text stays an empty text
    t->setValue("ID", QVariant());
    QVERIFY_THROWS_EXCEPTION(MemTableError, t->post());
    t->cancel();
    QCOMPARE(t->value("ID"), QVariant(42));
}

void TestMemTable::editHidesAndShowsRows()
{
    auto t = makeFixture();
    TMemTableModel model(t.get());
    t->setFilter("ELIMINATO='N'");
    t->setFiltered(true);
    QCOMPARE(visibleIds(*t), (QList<int>{1, 2, 4, 5, 7, 8, 10}));
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);

    // An edit that the filter now rejects hides the row; the next row becomes current.
    QVERIFY(t->locate("RIFERIMENTO", "A2"));
    t->edit();
    t->setValue("ELIMINATO", "S");
    t->post();
    QCOMPARE(visibleIds(*t), (QList<int>{1, 4, 5, 7, 8, 10}));
    QCOMPARE(t->value("ID").toInt(), 4);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 1);
    QCOMPARE(model.rowCount(), 6);

    // A hidden row can be refreshed by id (as AggiornaRichiesta does) and comes into view.
    const RowId hidden = t->findRow("RIFERIMENTO", "B1");
    QVERIFY(!t->isRowVisible(hidden));
    QVERIFY(t->editRow(hidden));
    QCOMPARE(t->bookmark(), hidden);
    QCOMPARE(t->value("RIFERIMENTO").toString(), QStringLiteral("B1"));
    t->setValue("ELIMINATO", "N");
    t->post();
    QCOMPARE(visibleIds(*t), (QList<int>{1, 3, 4, 5, 7, 8, 10}));
    QCOMPARE(t->value("ID").toInt(), 3); // the cursor follows the refreshed row
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 1);
    QCOMPARE(model.rowCount(), 7);
    QCOMPARE(model.bookmark(1), hidden);
    QVERIFY(!t->editRow(999999));
}

void TestMemTable::deleteRows()
{
    auto t = makeFixture();
    t->sortOn("PREZZO", Qt::AscendingOrder); // 4,9,3,7,2,8,1,5,6,10
    t->setRecNo(3);
    QCOMPARE(t->value("ID").toInt(), 3);
    t->deleteCurrent();
    QCOMPARE(t->value("ID").toInt(), 7); // the following row takes its place
    QCOMPARE(visibleIds(*t), (QList<int>{4, 9, 7, 2, 8, 1, 5, 6, 10}));
    t->last();
    t->deleteCurrent();
    QCOMPARE(t->value("ID").toInt(), 6); // after the last one: the new last
    t->clearSort();
    QCOMPARE(visibleIds(*t), (QList<int>{1, 2, 4, 5, 6, 7, 8, 9}));

    t->append();
    t->deleteCurrent(); // on an unposted row: discards it
    QCOMPARE(t->recordCount(), 8);

    while (!t->isEmpty())
        t->deleteCurrent();
    try {
        t->deleteCurrent();
        QFAIL("MemTableError expected");
    } catch (const MemTableError &e) {
        QCOMPARE(e.message(), QStringLiteral("Nessuna riga corrente da eliminare."));
    }
    QVERIFY_THROWS_EXCEPTION(MemTableError, t->edit());
}

void TestMemTable::appendRecordsAllOrNothing()
{
    auto t = makeFixture();
    const int idCol = t->columnIndex("ID"), refCol = t->columnIndex("RIFERIMENTO");
    std::vector<QVector<QVariant>> good(2, QVector<QVariant>(t->columnCount()));
    good[0][idCol] = 11;
    good[0][refCol] = "N1";
    good[1][idCol] = "12";
    good[1][refCol] = "N2";
    std::vector<QVector<QVariant>> bad = good;
    bad[1][refCol] = QVariant();
    try {
        t->appendRecords(bad);
        QFAIL("MemTableError expected");
    } catch (const MemTableError &e) {
        QCOMPARE(e.message(), QStringLiteral("Riga 2: Il campo RIFERIMENTO deve avere un valore."));
    }
    QCOMPARE(t->totalRowCount(), 10);
    QCOMPARE(t->appendRecords(std::move(good)), 2);
    QCOMPARE(visibleIds(*t).mid(8), (QList<int>{9, 10, 11, 12}));
}

// ---------------------------------------------------------------------------------------------------------------
// Calculated columns and display

void TestMemTable::calculatedColumn()
{
    auto t = makeFixture();
    QVERIFY(t->locate("ID", 2));
    QCOMPARE(t->value("DESCR_ESPORTAZIONE").toString(), QString(97, QLatin1Char('x')) + QStringLiteral("..."));
    QVERIFY(t->locate("ID", 3));
    QCOMPARE(t->value("DESCR_ESPORTAZIONE").toString(), kExactly100); // 100 after trimming: unchanged
    QVERIFY(t->locate("ID", 4));
    QVERIFY(!t->value("DESCR_ESPORTAZIONE").isValid());

    // Computed on read: an edit shows at once, also in the edit buffer.
    QVERIFY(t->locate("ID", 1));
    t->edit();
    t->setValue("DESCRIZIONE", QString(101, QLatin1Char('z')));
    QCOMPARE(t->value("DESCR_ESPORTAZIONE").toString().size(), 100);
    t->post();
    QCOMPARE(t->value("DESCR_ESPORTAZIONE").toString(), QString(97, QLatin1Char('z')) + QStringLiteral("..."));
    QVERIFY(t->column(t->columnIndex("DESCR_ESPORTAZIONE")).isCalculated());
}

void TestMemTable::displayTexts()
{
    auto t = makeFixture();
    struct Expect
    {
        int id;
        const char *column;
        QString text;
    };
    const Expect cases[] = {
        {1, "PRIORITA", "Normale"},
        {3, "PRIORITA", "Non Pubblicare"},
        {10, "PRIORITA", ""}, // 6: no name
        {4, "PRIORITA", ""},  // null: empty
        {1, "PREZZO", QString::fromUtf8("€ 150.000,00")},
        {2, "PREZZO", QString::fromUtf8("€ 99.999,99")},
        {3, "PREZZO", QString::fromUtf8("€ 0,00")},
        {9, "PREZZO", QString::fromUtf8("-€ 5,00")},
        {7, "PREZZO", QString::fromUtf8("€ 1.250,50")},
        {4, "PREZZO", ""},
        {2, "MQ", "60,5"}, // a float without a hook: decimal comma
        {1, "MQ", "80"},
        {2, "NR_LOCALI", "2,5"},
        {2, "DATA_ULT_MODIFICA", "31/01/2024 23:59:59"},
        {3, "DATA_ULT_MODIFICA", "01/02/2024"},  // midnight: date only
        {5, "DESCRIZIONE", "Riga uno Riga due"}, // memo on one line
        {1, "ID_CLIENTE", "10"},
        {8, "CLIENTE", "O'BRIEN"},
    };
    for (const Expect &e : cases) {
        QVERIFY(t->locate("ID", e.id));
        QCOMPARE(t->displayText(QString::fromLatin1(e.column)), e.text);
    }
    QVERIFY(t->locate("ID", 5));
    QCOMPARE(t->value("DESCRIZIONE").toString(), QStringLiteral("Riga uno\r\nRiga due")); // raw value untouched
    QCOMPARE(t->value("PRIORITA"), QVariant(5));
}

void TestMemTable::currencyFormat_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << QString::fromUtf8("€ 0,00");
    QTest::newRow("hundreds") << 999.5 << QString::fromUtf8("€ 999,50");
    QTest::newRow("thousands") << 1234.5 << QString::fromUtf8("€ 1.234,50");
    QTest::newRow("millions") << 1234567.891 << QString::fromUtf8("€ 1.234.567,89");
    QTest::newRow("negative") << -1234.5 << QString::fromUtf8("-€ 1.234,50");
    QTest::newRow("negative rounding to zero") << -0.001 << QString::fromUtf8("€ 0,00");
}

void TestMemTable::currencyFormat()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatCurrency(value), text);
}

// ---------------------------------------------------------------------------------------------------------------
// Model

void TestMemTable::modelShape()
{
    auto t = makeFixture();
    TMemTableModel model(t.get());
    QCOMPARE(model.rowCount(), 10);
    QCOMPARE(model.columnCount(), t->columnCount() - 2); // ID and ID_CLIENTE are hidden
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Cliente"));
    QCOMPARE(model.headerData(0, Qt::Horizontal, TMemTableModel::ColumnNameRole).toString(), QStringLiteral("CLIENTE"));
    const int prezzo = model.sectionOf("prezzo");
    QCOMPARE(model.headerData(prezzo, Qt::Horizontal).toString(), QStringLiteral("Prezzo"));
    QCOMPARE(model.headerData(model.sectionOf("ELIMINATO"), Qt::Horizontal).toString(),
             QStringLiteral("ELIMINATO")); // no caption: the name
    QCOMPARE(model.sectionOf("ID"), -1);
    QCOMPARE(model.columnName(prezzo), QStringLiteral("PREZZO"));
    QCOMPARE(model.tableColumn(prezzo), t->columnIndex("PREZZO"));

    const QModelIndex price = model.index(0, prezzo);
    QCOMPARE(model.data(price).toString(), QString::fromUtf8("€ 150.000,00"));
    QCOMPARE(model.data(price, Qt::EditRole), QVariant(150000.0));
    QCOMPARE(model.data(price, Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
    QCOMPARE(model.data(model.index(0, 0), Qt::TextAlignmentRole).toInt(), int(Qt::AlignLeft | Qt::AlignVCenter));
    QCOMPARE(model.data(model.index(3, 0), Qt::EditRole), QVariant()); // null
    QCOMPARE(model.data(model.index(0, model.sectionOf("PRIORITA"))).toString(), QStringLiteral("Normale"));
    QCOMPARE(model.data(model.index(1, model.sectionOf("MQ"))).toString(), QStringLiteral("60,5"));
    const RowId bm = RowId(model.data(model.index(4, 0), TMemTableModel::BookmarkRole).toULongLong());
    QCOMPARE(t->rowValue(bm, t->columnIndex("ID")).toInt(), 5);
    QCOMPARE(model.rowOf(bm), 4);

    // Grid title clicks reach the table.
    model.sort(prezzo, Qt::DescendingOrder);
    QCOMPARE(t->sortColumn(), QStringLiteral("PREZZO"));
    QCOMPARE(model.data(model.index(0, prezzo), Qt::EditRole), QVariant(500000.0));

    t->setFilter("ELIMINATO='S'");
    t->setFiltered(true);
    QCOMPARE(model.rowCount(), 2);
    t->close();
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.columnCount(), t->columnCount() - 2);

    auto gone = std::make_unique<TMemTable>();
    defineColumns(*gone);
    TMemTableModel orphan(gone.get());
    gone.reset();
    QCOMPARE(orphan.rowCount(), 0);
    QCOMPARE(orphan.columnCount(), 0);
}

void TestMemTable::modelSignals()
{
    auto t = makeFixture();
    t->sortOn("PREZZO", Qt::AscendingOrder); // 4,9,3,7,2,8,1,5,6,10
    TMemTableModel model(t.get());
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);

    // A single append: one insertion at its sorted place.
    appendFixtureRow(*t, {11, 20, "NUOVO", "ROMA", "ROMA", 120000.0, N, N, 1, "N", N, N, N, "E1"});
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(inserted.at(0).at(1).toInt(), 6);
    QCOMPARE(model.rowCount(), 11);
    QCOMPARE(model.data(model.index(6, model.sectionOf("RIFERIMENTO"))).toString(), QStringLiteral("E1"));

    // An edit that keeps the place: dataChanged on that row only.
    const QPersistentModelIndex tracked = model.index(6, 0);
    t->edit();
    t->setValue("CLIENTE", "NUOVISSIMO");
    t->post();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>().row(), 6);
    QCOMPARE(model.data(model.index(6, 0)).toString(), QStringLiteral("NUOVISSIMO"));

    // An edit of the sorted column: the row moves, and a persistent index (the grid's current) follows it.
    t->edit();
    t->setValue("PREZZO", 1000000.0);
    t->post();
    QCOMPARE(moved.count(), 1);
    QCOMPARE(tracked.row(), 10);
    QCOMPARE(model.data(model.index(10, 0)).toString(), QStringLiteral("NUOVISSIMO"));
    QCOMPARE(t->recNo(), 11);
    t->edit();
    t->setValue("PREZZO", -100.0);
    t->post();
    QCOMPARE(moved.count(), 2);
    QCOMPARE(tracked.row(), 1); // after the null price
    QCOMPARE(model.bookmark(1), t->bookmark());

    // A delete: one removal.
    t->deleteCurrent();
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 1);
    QVERIFY(!tracked.isValid());
    QCOMPARE(model.rowCount(), 10);
    QCOMPARE(resets.count(), 0);

    // Sorting and filtering reset the model.
    t->clearSort();
    t->setFilter("ID<5");
    t->setFiltered(true);
    QCOMPARE(resets.count(), 2); // setFilter while filtering is off changes nothing on screen
    QCOMPARE(model.rowCount(), 4);
}

void TestMemTable::modelBulkUpdateResetsOnce()
{
    TMemTable t;
    defineColumns(t);
    t.open();
    TMemTableModel model(&t);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy current(&t, &TMemTable::currentChanged);
    {
        TMemTable::UpdateGuard guard(t);
        for (int i = 1; i <= 500; ++i)
            appendFixtureRow(t, {i, i % 7, QStringLiteral("C%1").arg(i), "ROMA", N, double(i), N, N, i % 6, "N", N, N,
                                 N, QStringLiteral("R%1").arg(i)});
        QCOMPARE(resets.count(), 0);
        QCOMPARE(model.rowCount(), 0); // the model waits for the end of the update
    }
    QCOMPARE(resets.count(), 1);
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(current.count(), 1);
    QCOMPARE(model.rowCount(), 500);
    QVERIFY(!t.isUpdating());

    // The open handler runs inside an update too: one reset for the whole fill.
    TMemTable filled;
    defineColumns(filled);
    filled.setOpenHandler([](TMemTable &table) {
        for (const FixtureRow &r : fixtureRows())
            appendFixtureRow(table, r);
    });
    TMemTableModel filledModel(&filled);
    QSignalSpy filledResets(&filledModel, &QAbstractItemModel::modelReset);
    QSignalSpy filledInserted(&filledModel, &QAbstractItemModel::rowsInserted);
    filled.open();
    QCOMPARE(filledResets.count(), 1);
    QCOMPARE(filledInserted.count(), 0);
    QCOMPARE(filledModel.rowCount(), 10);
    QCOMPARE(filled.recNo(), 1);

    // Nested updates: only the outermost end counts; an update without changes sends no reset.
    t.beginUpdate();
    t.beginUpdate();
    t.first();
    t.endUpdate();
    t.endUpdate();
    QCOMPARE(resets.count(), 1);
}

void TestMemTable::modelWithTester()
{
    auto t = makeFixture();
    TMemTableModel model(t.get());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    t->sortOn("CLIENTE", Qt::AscendingOrder);
    appendFixtureRow(*t, {11, 20, "MEZZO", "ROMA", "ROMA", 1.0, N, N, 1, "N", N, N, N, "E1"});
    t->edit();
    t->setValue("CLIENTE", "AAA");
    t->post();
    t->edit();
    t->setValue("CLIENTE", "ZZZ");
    t->post();
    t->deleteCurrent();
    t->setFilter("COMUNE='MILANO'");
    t->setFiltered(true);
    t->first();
    t->edit();
    t->setValue("COMUNE", "ROMA");
    t->post();
    t->clearSort();
    t->close();
    t->open();
    QCOMPARE(model.rowCount(), 4);
}

// ---------------------------------------------------------------------------------------------------------------
// CSV

namespace {

// The portal list file's table (MemElencoAnnunci) plus a memo and a float column.
void defineListColumns(TMemTable &t)
{
    t.addColumn(TMemColumn("ID_ANNUNCIO_IMMOBILE", FieldType::Integer).setRequired());
    t.addColumn(TMemColumn("RIFERIMENTO", FieldType::Text, 35));
    t.addColumn(TMemColumn("DATA_AGGIORNAMENTO", FieldType::DateTime));
    t.addColumn(TMemColumn("NFOTO", FieldType::Integer));
    t.addColumn(TMemColumn("NVIDEO", FieldType::Integer));
    t.addColumn(TMemColumn("ELIMINATO", FieldType::Text, 1));
    t.addColumn(TMemColumn("DESCRIZIONE", FieldType::Memo));
    t.addColumn(TMemColumn("PREZZO", FieldType::Float));
}

} // namespace

void TestMemTable::csvLoad_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("plain text") << QByteArray("1,AB12") << "RIFERIMENTO" << QVariant("AB12");
    QTest::newRow("quoted separator") << QByteArray("1,\"ROSSI, MARIO\"") << "RIFERIMENTO" << QVariant("ROSSI, MARIO");
    QTest::newRow("doubled quotes") << QByteArray("1,\"IL \"\"SOLE\"\"\"") << "RIFERIMENTO" << QVariant("IL \"SOLE\"");
    QTest::newRow("quote inside unquoted value is literal")
        << QByteArray("1,AB\"C") << "RIFERIMENTO" << QVariant("AB\"C");
    QTest::newRow("empty quoted text") << QByteArray("1,\"\"") << "RIFERIMENTO" << QVariant(QString(""));
    QTest::newRow("empty unquoted text is null") << QByteArray("1,,") << "RIFERIMENTO" << QVariant();
    QTest::newRow("empty quoted number is null") << QByteArray("1,,,\"\"") << "NFOTO" << QVariant();
    QTest::newRow("empty unquoted number is null") << QByteArray("1,,,,") << "NFOTO" << QVariant();
    QTest::newRow("missing values are null") << QByteArray("1") << "ELIMINATO" << QVariant();
    QTest::newRow("percent escapes") << QByteArray("1,,,,,,\"Riga1%c%nRiga2 100%% %0fine %x\"") << "DESCRIZIONE"
                                     << QVariant(QStringLiteral("Riga1\r\nRiga2 100% ") + QChar(0) +
                                                 QStringLiteral("fine %x"));
    QTest::newRow("percent escapes unquoted")
        << QByteArray("1,,,,,,a%nb%") << "DESCRIZIONE" << QVariant(QStringLiteral("a\nb%"));
    QTest::newRow("double percent") << QByteArray("1,50%%") << "RIFERIMENTO" << QVariant(QStringLiteral("50%"));
    QTest::newRow("date") << QByteArray("1,,31/01/2024") << "DATA_AGGIORNAMENTO" << QVariant(dt(2024, 1, 31));
    QTest::newRow("date and time") << QByteArray("1,,31/01/2024 10:11:12") << "DATA_AGGIORNAMENTO"
                                   << QVariant(dt(2024, 1, 31, 10, 11, 12));
    QTest::newRow("short date and time") << QByteArray("1,,1/2/2024 9:05") << "DATA_AGGIORNAMENTO"
                                         << QVariant(dt(2024, 2, 1, 9, 5));
    QTest::newRow("quoted date") << QByteArray("1,,\"29/02/2024\"") << "DATA_AGGIORNAMENTO"
                                 << QVariant(dt(2024, 2, 29));
    QTest::newRow("integer") << QByteArray("1,,,12") << "NFOTO" << QVariant(12);
    QTest::newRow("negative integer") << QByteArray("-7") << "ID_ANNUNCIO_IMMOBILE" << QVariant(-7);
    QTest::newRow("decimal point") << QByteArray("1,,,,,,,1234.56") << "PREZZO" << QVariant(1234.56);
    QTest::newRow("integral decimal") << QByteArray("1,,,,,,,150000") << "PREZZO" << QVariant(150000.0);
    QTest::newRow("windows-1252") << QByteArray("1,\x80 \xe0\x92\xe8") << "RIFERIMENTO"
                                  << QVariant(QString::fromUtf8("€ à’è"));
}

void TestMemTable::csvLoad()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, column);
    QFETCH(QVariant, expected);
    TMemTable t;
    defineListColumns(t);
    const QByteArray data =
        "ID_ANNUNCIO_IMMOBILE,RIFERIMENTO,DATA_AGGIORNAMENTO,NFOTO,NVIDEO,ELIMINATO,DESCRIZIONE,PREZZO\r\n" + line +
        "\r\n";
    QCOMPARE(loadPortalCsv(t, data), 1);
    QVERIFY(t.isOpen());
    t.first();
    const QVariant v = t.value(column);
    QCOMPARE(v.isValid(), expected.isValid());
    if (expected.isValid())
        QCOMPARE(v, expected);
}

void TestMemTable::csvLineEndsAndHeader()
{
    // Header names ignore case; unknown names are skipped; a column without a name stays null.
    const QByteArray body = "id_annuncio_immobile,Riferimento,SCONOSCIUTA,nfoto\n1,A,zz,3\n2,B,,4\n";
    const QList<QByteArray> variants{
        body,
        QByteArray(body).replace("\n", "\r\n"),
        QByteArray(body).replace("\n", "\r"),
        QByteArray("\r\n\r\n") + QByteArray(body).replace("\n", "\r\n\r\n\n"),
        QByteArray(body).replace("\n", QByteArray("\0\r\n", 3)),
        QByteArray(body).chopped(1), // no line end after the last record
    };
    for (const QByteArray &data : variants) {
        TMemTable t;
        defineListColumns(t);
        QCOMPARE(loadPortalCsv(t, data), 2);
        t.first();
        QCOMPARE(t.value("ID_ANNUNCIO_IMMOBILE"), QVariant(1));
        QCOMPARE(t.value("RIFERIMENTO"), QVariant("A"));
        QCOMPARE(t.value("NFOTO"), QVariant(3));
        QVERIFY(!t.value("ELIMINATO").isValid());
        t.next();
        QCOMPARE(t.value("RIFERIMENTO"), QVariant("B"));
        QCOMPARE(t.value("NFOTO"), QVariant(4));
    }

    // Loading appends to an open table, in one reset; an empty file or a header alone adds nothing.
    TMemTable t;
    defineListColumns(t);
    TMemTableModel model(&t);
    QCOMPARE(loadPortalCsv(t, body), 2);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QCOMPARE(loadPortalCsv(t, body), 2);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(loadPortalCsv(t, QByteArray()), 0);
    QCOMPARE(loadPortalCsv(t, "ID_ANNUNCIO_IMMOBILE,RIFERIMENTO\r\n"), 0);
    QCOMPARE(t.recordCount(), 4);
}

void TestMemTable::csvMalformed_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("fragment");

    const QByteArray h =
        "ID_ANNUNCIO_IMMOBILE,RIFERIMENTO,DATA_AGGIORNAMENTO,NFOTO,NVIDEO,ELIMINATO,DESCRIZIONE,PREZZO\r\n";
    const QByteArray ok = "1,A,31/01/2024,1,0,N,x,1.5\r\n";
    QTest::newRow("unterminated quote") << h + ok + "2,\"ABC,31/01/2024\r\n" << 3 << "virgolette non chiuse";
    QTest::newRow("text after closing quote") << h + ok + "2,\"AB\"C\r\n" << 3 << "virgola";
    QTest::newRow("too many values") << h + ok + "2,A,,,,,,,9\r\n" << 3 << "9 valori";
    QTest::newRow("trailing comma is one value more") << h + ok + "2,A,,,,,,1.5,\r\n" << 3 << "9 valori";
    QTest::newRow("bad integer") << h + "1,A,,12a\r\n" << 2 << "NFOTO";
    QTest::newRow("decimal in an integer") << h + "1,A,,1.0\r\n" << 2 << "intero";
    QTest::newRow("comma decimal") << h + "1,A,,,,,,\"1,5\"\r\n" << 2 << "PREZZO";
    QTest::newRow("two points") << h + "1,A,,,,,,1.2.3\r\n" << 2 << "PREZZO";
    QTest::newRow("impossible date") << h + "1,A,31/02/2024\r\n" << 2 << "DATA_AGGIORNAMENTO";
    QTest::newRow("iso date") << h + "1,A,2024-01-31\r\n" << 2 << "gg/mm/aaaa";
    QTest::newRow("bad time") << h + "1,A,31/01/2024 25:00:00\r\n" << 2 << "DATA_AGGIORNAMENTO";
    QTest::newRow("required value missing") << h + ok + ok + ",B\r\n" << 4 << "ID_ANNUNCIO_IMMOBILE";
    QTest::newRow("line counted after blank lines") << h + "\r\n\r\n" + ok + "x\r\n" << 5 << "intero";
    QTest::newRow("line counted with lone CR") << h + ok + "\r" + ok + "\ry\r" << 6 << "intero";
}

void TestMemTable::csvMalformed()
{
    QFETCH(QByteArray, data);
    QFETCH(int, line);
    QFETCH(QString, fragment);
    TMemTable t;
    defineListColumns(t);
    QCOMPARE(loadPortalCsv(t, "ID_ANNUNCIO_IMMOBILE,RIFERIMENTO\r\n99,PRIMA\r\n"), 1);
    TMemTableModel model(&t);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    try {
        loadPortalCsv(t, data);
        QFAIL("CsvError expected");
    } catch (const CsvError &e) {
        QCOMPARE(e.line(), line);
        QVERIFY2(e.message().startsWith(QStringLiteral("File CSV non valido, riga %1: ").arg(line)),
                 qPrintable(e.message()));
        QVERIFY2(e.message().contains(fragment), qPrintable(e.message()));
    }
    // Nothing of the bad file was appended.
    QCOMPARE(t.totalRowCount(), 1);
    t.first();
    QCOMPARE(t.value("RIFERIMENTO"), QVariant("PRIMA"));
    QCOMPARE(resets.count(), 0);
}

void TestMemTable::csvFileAndEncoding()
{
    // Every byte of the code page decodes to its character.
    QCOMPARE(fromWin1252(QByteArray("\x80\x8a\x9f\xa7\xff\x81")),
             QString::fromUtf8("€Š") + QChar(0x178) + QString::fromUtf8("§ÿ") + QChar(0x81));
    QCOMPARE(fromWin1252(QByteArray("L'Aquila")), QStringLiteral("L'Aquila"));

    QTemporaryFile file;
    QVERIFY(file.open());
    file.write("ID_ANNUNCIO_IMMOBILE,RIFERIMENTO,DATA_AGGIORNAMENTO,NFOTO,NVIDEO,ELIMINATO\r\n"
               "501,\"RIF-1\",15/03/2024 08:30:00,5,1,N\r\n"
               "502,\"CITT\xc0 ALTA\",16/03/2024,0,0,S\r\n");
    file.close();
    TMemTable t;
    defineListColumns(t);
    QCOMPARE(loadPortalCsvFile(t, file.fileName()), 2);
    t.last();
    QCOMPARE(t.value("RIFERIMENTO").toString(), QString::fromUtf8("CITTÀ ALTA"));
    QCOMPARE(t.value("DATA_AGGIORNAMENTO"), QVariant(dt(2024, 3, 16)));
    QCOMPARE(t.value("ELIMINATO"), QVariant("S"));

    try {
        loadPortalCsvFile(t, file.fileName() + QStringLiteral(".manca"));
        QFAIL("CsvError expected");
    } catch (const CsvError &e) {
        QVERIFY(e.message().startsWith(QStringLiteral("Impossibile leggere il file ")));
        QCOMPARE(e.line(), 0);
    }
    QCOMPARE(t.totalRowCount(), 2);
}

void TestMemTable::memoKeepsValuesThatMakeTheirText()
{
    QMetaType::registerConverter<Codici, QString>([](const Codici &c) {
        QStringList parti;
        for (int n : c.numeri)
            parti << QString::number(n);
        return parti.join(QLatin1Char('|'));
    });
    TMemTable t(QStringLiteral("T"));
    t.addColumn(TMemColumn("ID", FieldType::Integer));
    t.addColumn(TMemColumn("CODICI", FieldType::Memo));
    t.open();
    const QList<QVector<int>> righe = {{30, 4}, {7}, {}};
    for (int i = 0; i < righe.size(); ++i) {
        t.append();
        t.setValue("ID", i + 1);
        t.setValue("CODICI", QVariant::fromValue(Codici{righe.at(i)}));
        t.post();
    }
    // Kept as given, read as text, filtered and sorted on its text.
    t.first();
    QCOMPARE(t.value("CODICI").typeId(), qMetaTypeId<Codici>());
    QCOMPARE(t.value("CODICI").toString(), QStringLiteral("30|4"));
    t.setFilter(QStringLiteral("CODICI like '*4'"));
    t.setFiltered(true);
    QCOMPARE(t.recordCount(), 1);
    t.setFiltered(false);
    t.sortOn(QStringLiteral("CODICI"));
    t.first();
    QCOMPARE(t.value("ID").toInt(), 3);
    t.next();
    QCOMPARE(t.value("ID").toInt(), 1);
    // A value without a text form is refused.
    t.append();
    QVERIFY_THROWS_EXCEPTION(MemTableError, t.setValue("CODICI", QVariant::fromValue(Opaco{1})));
    t.cancel();
}

QTEST_GUILESS_MAIN(TestMemTable)
#include "tst_memtable.moc"
