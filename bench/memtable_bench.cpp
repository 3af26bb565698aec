// Times the in-memory table on a listing-sized load: 50,000 rows of 40 columns filled with a model attached,
// then sorted on a text and a number column, filtered the way the search screens filter, and loaded from CSV.

#include "data/memtable/csvloader.h"
#include "data/memtable/memtable.h"
#include "data/memtable/memtablemodel.h"
#include "data/memtable/valueformat.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <vector>

using namespace tavo;

namespace {

constexpr int kRows = 50000;
constexpr int kColumns = 40;

const char *const kComuni[] = {"MILANO", "L'AQUILA", "ROMA", "TORINO", "Forlì", "ÉTROUBLES", "napoli", "BARI"};

void defineColumns(TMemTable &t)
{
    t.addColumn(TMemColumn("ID", FieldType::Integer).setRequired().setHidden());
    t.addColumn(TMemColumn("CLIENTE", FieldType::Text, 128).setCaption("Cliente"));
    t.addColumn(TMemColumn("COMUNE", FieldType::Text, 128).setCaption("Comune"));
    t.addColumn(TMemColumn("PREZZO", FieldType::Float).setCaption("Prezzo").setDisplay(currencyDisplay()));
    t.addColumn(TMemColumn("PRIORITA", FieldType::Integer).setCaption("Priorità"));
    t.addColumn(TMemColumn("DATA_ULT_MODIFICA", FieldType::DateTime).setCaption("Data Ult. Modifica"));
    t.addColumn(TMemColumn("DESCRIZIONE", FieldType::Memo).setCaption("Descrizione"));
    t.addColumn(TMemColumn("ELIMINATO", FieldType::Text, 1));
    for (int c = t.columnCount(); c < kColumns; ++c) {
        const FieldType type = c % 3 == 0 ? FieldType::Integer : (c % 3 == 1 ? FieldType::Float : FieldType::Text);
        t.addColumn(TMemColumn(QStringLiteral("C%1").arg(c), type, 20));
    }
}

double ms(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    out.setRealNumberPrecision(1);
    out.setRealNumberNotation(QTextStream::FixedNotation);

    TMemTable table(QStringLiteral("Bench"));
    defineColumns(table);
    TMemTableModel model(&table);
    int resets = 0;
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&] { ++resets; });

    // Source rows as a database cursor would hand them over; a pool of distinct rows reused cyclically, so that
    // the timing measures the table and not the making of the values.
    constexpr int kPool = 1000;
    const QDateTime base(QDate(2020, 1, 1), QTime(9, 0));
    std::vector<QVector<QVariant>> pool(kPool, QVector<QVariant>(kColumns));
    for (int r = 0; r < kPool; ++r) {
        QVector<QVariant> &v = pool[size_t(r)];
        v[1] = QStringLiteral("Cliente %1").arg((r * 7919) % kPool);
        v[2] = QString::fromUtf8(kComuni[r % 8]);
        v[3] = r % 11 == 0 ? QVariant() : QVariant(50000.0 + (r * 3701) % 400000 + 0.5);
        v[4] = r % 6;
        v[5] = base.addSecs(qint64(r) * 36070);
        v[6] = QStringLiteral("Appartamento luminoso, %1 locali").arg(r % 7);
        v[7] = r % 5 == 0 ? QStringLiteral("S") : QStringLiteral("N");
        for (int c = 8; c < kColumns; ++c) {
            if (c % 3 == 0)
                v[c] = r + c;
            else if (c % 3 == 1)
                v[c] = (r + c) * 0.25;
            else
                v[c] = QStringLiteral("V%1").arg(r % 100);
        }
    }

    QElapsedTimer timer;
    timer.start();
    table.setOpenHandler([&](TMemTable &t) {
        for (int r = 0; r < kRows; ++r) {
            const QVector<QVariant> &source = pool[size_t(r % kPool)];
            t.append();
            t.setValue(0, r + 1);
            for (int c = 1; c < kColumns; ++c)
                t.setValue(c, source[c]);
            t.post();
        }
    });
    table.open();
    out << "fill " << kRows << " x " << kColumns << " (model attached, " << resets << " reset): " << ms(timer)
        << " ms\n";

    timer.restart();
    table.sortOn(QStringLiteral("CLIENTE"), Qt::AscendingOrder);
    out << "sort on a text column:   " << ms(timer) << " ms\n";
    timer.restart();
    table.sortOn(QStringLiteral("PREZZO"), Qt::DescendingOrder);
    out << "sort on a float column:  " << ms(timer) << " ms\n";
    timer.restart();
    table.clearSort();
    out << "back to natural order:   " << ms(timer) << " ms\n";

    timer.restart();
    table.setFilter(QStringLiteral("COMUNE='L''AQUILA' and PREZZO>=100000 and PREZZO<=300000 and ELIMINATO='N' "
                                   "and PRIORITA>0"));
    table.setFiltered(true);
    out << "filter (5 terms):        " << ms(timer) << " ms, " << table.recordCount() << " rows\n";
    timer.restart();
    table.setFilter(QStringLiteral("DATA_ULT_MODIFICA>='2021/01/01' and DATA_ULT_MODIFICA<='2021/12/31 23.59.59' "
                                   "and DESCRIZIONE like '*3 locali*'"));
    out << "filter (dates, like):    " << ms(timer) << " ms, " << table.recordCount() << " rows\n";
    timer.restart();
    table.setFiltered(false);
    out << "filter off:              " << ms(timer) << " ms\n";

    // The same rows through the CSV loader.
    QByteArray csv = "ID,CLIENTE,COMUNE,PREZZO,PRIORITA,DATA_ULT_MODIFICA,DESCRIZIONE,ELIMINATO\r\n";
    for (int r = 0; r < kRows; ++r)
        csv += QByteArray::number(r + 1) + ",\"Cliente " + QByteArray::number(r) + "\",ROMA," +
               QByteArray::number(1000.5 + r, 'f', 2) + ",3,01/02/2021 10:11:12,Riga%nseconda,N\r\n";
    TMemTable loaded(QStringLiteral("Csv"));
    defineColumns(loaded);
    timer.restart();
    const int n = loadPortalCsv(loaded, csv);
    out << "CSV load of " << n << " records: " << ms(timer) << " ms\n";
    return 0;
}
