#include "csvloader.h"

#include "valueformat.h"
#include "data/testo/win1252.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <limits>
#include <vector>

namespace tavo {

CsvError::CsvError(const QString &message, int line)
    : std::runtime_error(message.toStdString()), m_message(message), m_line(line)
{
}

namespace {

struct RawValue
{
    QByteArray bytes;
    bool quoted = false;
};

struct Line
{
    QByteArray text;
    int number = 0; // 1-based line in the file
};

bool isBreak(char c)
{
    return c == '\r' || c == '\n' || c == '\0';
}

// Splits into non-empty lines; each keeps the number of its line in the file (CR LF, LF and a lone CR each end
// one line; NUL bytes end a line without counting).
std::vector<Line> splitLines(const QByteArray &data)
{
    std::vector<Line> lines;
    const char *p = data.constData();
    const qsizetype n = data.size();
    qsizetype i = 0;
    int lineNo = 1;
    while (i < n) {
        while (i < n && isBreak(p[i])) {
            if (p[i] == '\n' || (p[i] == '\r' && (i + 1 >= n || p[i + 1] != '\n')))
                ++lineNo;
            ++i;
        }
        if (i >= n)
            break;
        const qsizetype start = i;
        while (i < n && !isBreak(p[i]))
            ++i;
        lines.push_back(Line{QByteArray(p + start, i - start), lineNo});
    }
    return lines;
}

[[noreturn]] void failLine(int line, const QString &detail)
{
    throw CsvError(QStringLiteral("File CSV non valido, riga %1: %2").arg(line).arg(detail), line);
}

std::vector<RawValue> splitValues(const Line &line)
{
    std::vector<RawValue> values;
    const QByteArray &t = line.text;
    const qsizetype n = t.size();
    qsizetype i = 0;
    while (true) {
        RawValue v;
        if (i < n && t.at(i) == '"') {
            v.quoted = true;
            ++i;
            bool closed = false;
            while (i < n) {
                const char c = t.at(i);
                if (c == '"') {
                    if (i + 1 < n && t.at(i + 1) == '"') {
                        v.bytes += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                v.bytes += c;
                ++i;
            }
            if (!closed)
                failLine(line.number, QStringLiteral("virgolette non chiuse nel valore %1").arg(values.size() + 1));
            if (i < n && t.at(i) != ',')
                failLine(line.number, QStringLiteral("dopo le virgolette di chiusura del valore %1 si attende una "
                                                     "virgola")
                                          .arg(values.size() + 1));
        } else {
            const qsizetype start = i;
            while (i < n && t.at(i) != ',')
                ++i;
            v.bytes = t.mid(start, i - start);
        }
        values.push_back(v);
        if (i >= n)
            break;
        ++i; // the comma; a comma at the end of the line leaves one more, empty, value
    }
    return values;
}

QString unescapePercent(const QString &s)
{
    if (!s.contains(QLatin1Char('%')))
        return s;
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (c == QLatin1Char('%') && i + 1 < s.size()) {
            const QChar d = s.at(i + 1);
            if (d == QLatin1Char('%')) {
                out += QLatin1Char('%');
                ++i;
                continue;
            }
            if (d == QLatin1Char('0')) {
                out += QChar(0);
                ++i;
                continue;
            }
            if (d == QLatin1Char('c')) {
                out += QLatin1Char('\r');
                ++i;
                continue;
            }
            if (d == QLatin1Char('n')) {
                out += QLatin1Char('\n');
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

// Optional blanks, an optional sign, digits, and (for decimals) an optional "." fraction; nothing else.
bool isPlainNumber(const QString &text, bool decimal)
{
    const QString t = text.trimmed();
    qsizetype i = 0;
    if (i < t.size() && (t.at(i) == QLatin1Char('-') || t.at(i) == QLatin1Char('+')))
        ++i;
    qsizetype digits = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            ++digits;
        else if (decimal && c == QLatin1Char('.') && !point)
            point = true;
        else
            return false;
    }
    return digits > 0;
}

QVariant convertValue(const TMemColumn &column, const RawValue &raw, int lineNo)
{
    if (raw.bytes.isEmpty()) {
        if (raw.quoted && column.isText())
            return QVariant(QString(QLatin1String("")));
        return QVariant();
    }
    const QString text = fromWin1252(raw.bytes);
    auto invalid = [&](const QString &expected) {
        failLine(lineNo, QStringLiteral("valore \"%1\" non valido per il campo %2 (%3)")
                             .arg(text.left(60), column.name(), expected));
    };
    switch (column.type()) {
    case FieldType::Text:
    case FieldType::Memo:
        return column.convert(QVariant(unescapePercent(text)));
    case FieldType::Integer: {
        bool ok = false;
        qlonglong v = 0;
        if (isPlainNumber(text, false))
            v = plainNumberLocale().toLongLong(text.trimmed(), &ok);
        if (!ok || v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
            invalid(QStringLiteral("atteso un numero intero"));
        return QVariant(int(v));
    }
    case FieldType::Float: {
        bool ok = false;
        double v = 0;
        if (isPlainNumber(text, true))
            v = plainNumberLocale().toDouble(text.trimmed(), &ok);
        if (!ok || !std::isfinite(v))
            invalid(QStringLiteral("atteso un numero con il punto decimale"));
        return QVariant(v);
    }
    case FieldType::DateTime: {
        static const QRegularExpression re(
            QStringLiteral("^\\s*(\\d{1,2})/(\\d{1,2})/(\\d{4})(?: +(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?\\s*$"));
        const QRegularExpressionMatch m = re.match(text);
        if (!m.hasMatch())
            invalid(QStringLiteral("attesa una data gg/mm/aaaa"));
        const QDate date(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
        QTime time(0, 0);
        if (m.capturedLength(4) > 0)
            time = QTime(m.captured(4).toInt(), m.captured(5).toInt(),
                         m.capturedLength(6) > 0 ? m.captured(6).toInt() : 0);
        if (!date.isValid() || !time.isValid())
            invalid(QStringLiteral("data inesistente"));
        return QVariant(QDateTime(date, time));
    }
    }
    return QVariant();
}

} // namespace

int loadPortalCsv(TMemTable &table, const QByteArray &data)
{
    const std::vector<Line> lines = splitLines(data);
    if (lines.empty())
        return 0;

    // Header: which table column each position feeds (-1: skipped).
    const std::vector<RawValue> header = splitValues(lines.front());
    std::vector<int> target(header.size(), -1);
    std::vector<bool> used(size_t(table.columnCount()), false);
    for (size_t i = 0; i < header.size(); ++i) {
        const int c = table.columnIndex(fromWin1252(header[i].bytes).trimmed());
        if (c >= 0 && !table.column(c).isCalculated() && !used[size_t(c)]) {
            target[i] = c;
            used[size_t(c)] = true;
        }
    }

    std::vector<QVector<QVariant>> records;
    records.reserve(lines.size() - 1);
    for (size_t l = 1; l < lines.size(); ++l) {
        const Line &line = lines[l];
        const std::vector<RawValue> values = splitValues(line);
        if (values.size() > header.size())
            failLine(
                line.number,
                QStringLiteral("%1 valori, ma l'intestazione ha %2 colonne").arg(values.size()).arg(header.size()));
        QVector<QVariant> record(table.columnCount());
        for (size_t i = 0; i < values.size(); ++i) {
            const int c = target[i];
            if (c < 0)
                continue;
            try {
                record[c] = convertValue(table.column(c), values[i], line.number);
            } catch (const MemTableError &e) {
                failLine(line.number, e.message());
            }
        }
        for (int c = 0; c < table.columnCount(); ++c) {
            const TMemColumn &col = table.column(c);
            if (col.isRequired() && !col.isCalculated() && !record[c].isValid())
                failLine(line.number, QStringLiteral("il campo %1 deve avere un valore").arg(col.name()));
        }
        records.push_back(std::move(record));
    }

    table.open();
    try {
        return table.appendRecords(std::move(records));
    } catch (const MemTableError &e) {
        throw CsvError(QStringLiteral("File CSV non valido: %1").arg(e.message()));
    }
}

int loadPortalCsvFile(TMemTable &table, const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw CsvError(QStringLiteral("Impossibile leggere il file %1: %2").arg(fileName, file.errorString()));
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw CsvError(QStringLiteral("Impossibile leggere il file %1: %2").arg(fileName, file.errorString()));
    return loadPortalCsv(table, data);
}

} // namespace tavo
