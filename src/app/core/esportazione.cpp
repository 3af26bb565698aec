#include "esportazione.h"

#include <QAbstractItemModel>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QTime>
#include <QXmlStreamWriter>

#include <xlsxwriter.h>

#include <cmath>
#include <memory>

namespace tavo {

namespace {

QString nomeFile(const QString &file)
{
    return QDir::toNativeSeparators(file);
}

bool fallito(QString *error, const QString &testo)
{
    if (error)
        *error = testo;
    return false;
}

QString erroreCreazione(const QFileDevice &file)
{
    return QStringLiteral("Impossibile creare il file \"%1\" (%2).").arg(nomeFile(file.fileName()), file.errorString());
}

QString erroreScrittura(const QFileDevice &file)
{
    return QStringLiteral("Errore di scrittura del file \"%1\" (%2).")
        .arg(nomeFile(file.fileName()), file.errorString());
}

// The text a grid's default delegate shows for a value.
QString testoVisualizzato(const QVariant &value)
{
    const QLocale locale;
    switch (value.typeId()) {
    case QMetaType::Double:
        return locale.toString(value.toDouble(), 'g', 6);
    case QMetaType::Float:
        return locale.toString(value.toFloat(), 'g', 6);
    case QMetaType::Int:
    case QMetaType::LongLong:
        return locale.toString(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return locale.toString(value.toULongLong());
    case QMetaType::QDate:
        return locale.toString(value.toDate(), QLocale::ShortFormat);
    case QMetaType::QTime:
        return locale.toString(value.toTime(), QLocale::ShortFormat);
    case QMetaType::QDateTime:
        return locale.toString(value.toDateTime(), QLocale::ShortFormat);
    default:
        return value.toString();
    }
}

struct Tabella
{
    QVector<int> colonne;
    QStringList intestazioni;
    int righe = 0;
};

Tabella preparaTabella(const QAbstractItemModel &model, const QVector<int> &columns)
{
    Tabella t;
    const int nColonne = model.columnCount();
    for (int c : columns) {
        if (c < 0 || c >= nColonne)
            continue;
        t.colonne.append(c);
        t.intestazioni.append(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    }
    t.righe = model.rowCount();
    return t;
}

QString cella(const QAbstractItemModel &model, int row, int column)
{
    return testoVisualizzato(model.data(model.index(row, column), Qt::DisplayRole));
}

bool scrivi(QSaveFile &file, const QByteArray &dati, QString *error)
{
    if (file.write(dati) != dati.size())
        return fallito(error, erroreScrittura(file));
    return true;
}

bool conferma(QSaveFile &file, QString *error)
{
    if (!file.commit())
        return fallito(error, erroreScrittura(file));
    return true;
}

bool apri(QSaveFile &file, QString *error)
{
    if (!file.open(QIODevice::WriteOnly))
        return fallito(error, erroreCreazione(file));
    return true;
}

// ---- HTML

QString html(const QString &testo)
{
    QString out = testo.toHtmlEscaped();
    out.replace(QLatin1String("\r\n"), QLatin1String("<br>"));
    out.replace(QLatin1Char('\n'), QLatin1String("<br>"));
    out.replace(QLatin1Char('\r'), QLatin1String("<br>"));
    return out;
}

bool esportaHtml(const QString &name, const QAbstractItemModel &model, const Tabella &t, const QString &fileName,
                 QString *error)
{
    QSaveFile file(fileName);
    if (!apri(file, error))
        return false;
    const QString titolo = html(titoloEsportazione(EsportaHtml, name));
    QString testa;
    testa += QLatin1String("<!DOCTYPE html>\n<html lang=\"it\">\n<head>\n<meta charset=\"utf-8\">\n");
    testa += QLatin1String("<title>") + titolo + QLatin1String("</title>\n");
    testa +=
        QLatin1String("<style>\n"
                      "body { font-family: sans-serif; font-size: 10pt; }\n"
                      "table { border-collapse: collapse; }\n"
                      "th, td { border: 1px solid #999; padding: 2px 6px; text-align: left; vertical-align: top; }\n"
                      "th { background: #fed599; }\n"
                      "</style>\n</head>\n<body>\n");
    testa += QLatin1String("<h1>") + titolo + QLatin1String("</h1>\n<table>\n<thead>\n<tr>");
    for (const QString &h : t.intestazioni)
        testa += QLatin1String("<th>") + html(h) + QLatin1String("</th>");
    testa += QLatin1String("</tr>\n</thead>\n<tbody>\n");
    if (!scrivi(file, testa.toUtf8(), error))
        return false;
    for (int r = 0; r < t.righe; ++r) {
        QString riga = QLatin1String("<tr>");
        for (int c : t.colonne)
            riga += QLatin1String("<td>") + html(cella(model, r, c)) + QLatin1String("</td>");
        riga += QLatin1String("</tr>\n");
        if (!scrivi(file, riga.toUtf8(), error))
            return false;
    }
    if (!scrivi(file, QByteArrayLiteral("</tbody>\n</table>\n</body>\n</html>\n"), error))
        return false;
    return conferma(file, error);
}

// ---- CSV

QString campoCsv(const QString &testo)
{
    static const QString speciali = QStringLiteral(";\"\r\n");
    bool virgolette = false;
    for (const QChar c : testo) {
        if (speciali.contains(c)) {
            virgolette = true;
            break;
        }
    }
    if (!virgolette)
        return testo;
    QString out = testo;
    out.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

QByteArray rigaCsv(const QStringList &campi)
{
    QString riga;
    for (int i = 0; i < campi.size(); ++i) {
        if (i > 0)
            riga += QLatin1Char(';');
        riga += campoCsv(campi.at(i));
    }
    riga += QLatin1String("\r\n");
    return riga.toUtf8();
}

bool esportaCsv(const QAbstractItemModel &model, const Tabella &t, const QString &fileName, QString *error)
{
    QSaveFile file(fileName);
    if (!apri(file, error))
        return false;
    if (!scrivi(file, QByteArrayLiteral("\xEF\xBB\xBF") + rigaCsv(t.intestazioni), error))
        return false;
    for (int r = 0; r < t.righe; ++r) {
        QStringList campi;
        campi.reserve(t.colonne.size());
        for (int c : t.colonne)
            campi.append(cella(model, r, c));
        if (!scrivi(file, rigaCsv(campi), error))
            return false;
    }
    return conferma(file, error);
}

// ---- XML

// Leaves out what XML 1.0 cannot carry: control characters other than tab, CR and LF,
// U+FFFE, U+FFFF and unpaired surrogates.
QString testoXml(const QString &testo)
{
    QString out;
    out.reserve(testo.size());
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const QChar c = testo.at(i);
        const char16_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < testo.size() && testo.at(i + 1).isLowSurrogate()) {
            out += c;
            out += testo.at(++i);
            continue;
        }
        if (c.isSurrogate() || u == 0xFFFE || u == 0xFFFF)
            continue;
        if (u < 0x20 && u != '\t' && u != '\n' && u != '\r')
            continue;
        out += c;
    }
    return out;
}

bool esportaXml(const QString &name, const QAbstractItemModel &model, const Tabella &t, const QString &fileName,
                QString *error)
{
    QSaveFile file(fileName);
    if (!apri(file, error))
        return false;
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(4);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("Elenco"));
    xml.writeAttribute(QStringLiteral("nome"), testoXml(name));
    QStringList intestazioni;
    for (const QString &h : t.intestazioni)
        intestazioni.append(testoXml(h));
    for (int r = 0; r < t.righe && !xml.hasError(); ++r) {
        xml.writeStartElement(QStringLiteral("Riga"));
        for (int i = 0; i < t.colonne.size(); ++i) {
            xml.writeStartElement(QStringLiteral("Campo"));
            xml.writeAttribute(QStringLiteral("nome"), intestazioni.at(i));
            xml.writeCharacters(testoXml(cella(model, r, t.colonne.at(i))));
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    if (xml.hasError())
        return fallito(error, erroreScrittura(file));
    return conferma(file, error);
}

// ---- Excel

// Excel's limit on the characters of one cell.
constexpr int kMassimoTestoCella = 32767;

QString nomeFoglio(const QString &name)
{
    QString pulito;
    for (const QChar c : name) {
        if (!QStringLiteral("[]:*?/\\").contains(c))
            pulito += c;
    }
    // At most 31 characters, a surrogate pair counting as one and never cut in two.
    QString corto;
    int caratteri = 0;
    for (qsizetype i = 0; i < pulito.size() && caratteri < LXW_SHEETNAME_MAX; ++i, ++caratteri) {
        corto += pulito.at(i);
        if (pulito.at(i).isHighSurrogate() && i + 1 < pulito.size())
            corto += pulito.at(++i);
    }
    while (corto.startsWith(QLatin1Char('\'')))
        corto.remove(0, 1);
    while (corto.endsWith(QLatin1Char('\'')))
        corto.chop(1);
    if (corto.trimmed().isEmpty())
        return QStringLiteral("Elenco");
    return corto;
}

struct ChiudiWorkbook
{
    void operator()(lxw_workbook *wb) const
    {
        // Only reached on an early exit: frees the workbook (writing a file nobody keeps).
        workbook_close(wb);
    }
};

bool valoreNumerico(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Double:
    case QMetaType::Float:
        return std::isfinite(v.toDouble());
    default:
        return false;
    }
}

lxw_datetime dataExcel(const QDate &d, const QTime &t)
{
    lxw_datetime out{};
    out.year = d.year();
    out.month = d.month();
    out.day = d.day();
    out.hour = t.hour();
    out.min = t.minute();
    out.sec = t.second() + t.msec() / 1000.0;
    return out;
}

bool dataValidaPerExcel(const QDate &d)
{
    return d.isValid() && d.year() >= 1900 && d.year() <= 9999;
}

bool scriviExcel(const QString &name, const QAbstractItemModel &model, const Tabella &t, const QString &percorso,
                 ValoriExcel valori, QString *error)
{
    if (t.righe + 1 > LXW_ROW_MAX)
        return fallito(
            error,
            QStringLiteral("L'elenco ha troppe righe per un foglio Excel (al massimo %1).").arg(LXW_ROW_MAX - 1));
    if (t.colonne.size() > LXW_COL_MAX)
        return fallito(
            error, QStringLiteral("L'elenco ha troppe colonne per un foglio Excel (al massimo %1).").arg(LXW_COL_MAX));

    const QByteArray percorsoLocale = QFile::encodeName(percorso);
    std::unique_ptr<lxw_workbook, ChiudiWorkbook> wb(workbook_new(percorsoLocale.constData()));
    if (!wb)
        return fallito(error, QStringLiteral("Memoria insufficiente per creare il file Excel."));
    lxw_worksheet *ws = workbook_add_worksheet(wb.get(), nomeFoglio(name).toUtf8().constData());
    lxw_format *grassetto = workbook_add_format(wb.get());
    format_set_bold(grassetto);
    lxw_format *formatoData = workbook_add_format(wb.get());
    format_set_num_format(formatoData, "dd/mm/yyyy");
    lxw_format *formatoDataOra = workbook_add_format(wb.get());
    format_set_num_format(formatoDataOra, "dd/mm/yyyy hh:mm");
    if (!ws)
        return fallito(error, QStringLiteral("Impossibile creare il foglio Excel \"%1\".").arg(nomeFoglio(name)));

    lxw_error esito = LXW_NO_ERROR;
    auto testo = [&](lxw_row_t r, lxw_col_t c, const QString &s, lxw_format *f) {
        if (esito == LXW_NO_ERROR && !s.isEmpty())
            esito = worksheet_write_string(ws, r, c, s.left(kMassimoTestoCella).toUtf8().constData(), f);
    };
    for (int i = 0; i < t.intestazioni.size(); ++i)
        testo(0, lxw_col_t(i), t.intestazioni.at(i), grassetto);
    for (int r = 0; r < t.righe && esito == LXW_NO_ERROR; ++r) {
        const auto riga = lxw_row_t(r + 1);
        for (int i = 0; i < t.colonne.size() && esito == LXW_NO_ERROR; ++i) {
            const auto col = lxw_col_t(i);
            const QModelIndex idx = model.index(r, t.colonne.at(i));
            if (valori == ValoriExcel::Tipizzati) {
                const QVariant v = model.data(idx, Qt::EditRole);
                if (valoreNumerico(v)) {
                    esito = worksheet_write_number(ws, riga, col, v.toDouble(), nullptr);
                    continue;
                }
                if (v.typeId() == QMetaType::QDate && dataValidaPerExcel(v.toDate())) {
                    lxw_datetime dt = dataExcel(v.toDate(), QTime(0, 0));
                    esito = worksheet_write_datetime(ws, riga, col, &dt, formatoData);
                    continue;
                }
                if (v.typeId() == QMetaType::QDateTime && dataValidaPerExcel(v.toDateTime().date())) {
                    const QDateTime d = v.toDateTime();
                    lxw_datetime dt = dataExcel(d.date(), d.time());
                    esito = worksheet_write_datetime(ws, riga, col, &dt, formatoDataOra);
                    continue;
                }
            }
            testo(riga, col, testoVisualizzato(model.data(idx, Qt::DisplayRole)), nullptr);
        }
    }
    if (esito != LXW_NO_ERROR)
        return fallito(
            error,
            QStringLiteral("Errore nella creazione del file Excel: %1.").arg(QString::fromUtf8(lxw_strerror(esito))));
    esito = workbook_close(wb.release());
    if (esito != LXW_NO_ERROR)
        return fallito(
            error,
            QStringLiteral("Errore nella creazione del file Excel: %1.").arg(QString::fromUtf8(lxw_strerror(esito))));
    return true;
}

bool esportaExcel(const QString &name, const QAbstractItemModel &model, const Tabella &t, const QString &fileName,
                  ValoriExcel valori, QString *error)
{
    // The library writes the workbook itself; it goes to a temporary file first and is copied
    // over the destination only when complete.
    QTemporaryFile temporaneo(QDir::tempPath() + QLatin1String("/tavo-esportazione-XXXXXX.xlsx"));
    if (!temporaneo.open())
        return fallito(error, erroreCreazione(temporaneo));
    temporaneo.close();
    if (!scriviExcel(name, model, t, temporaneo.fileName(), valori, error))
        return false;
    if (!temporaneo.open())
        return fallito(error, QStringLiteral("Impossibile leggere il file temporaneo \"%1\" (%2).")
                                  .arg(nomeFile(temporaneo.fileName()), temporaneo.errorString()));
    QSaveFile file(fileName);
    if (!apri(file, error))
        return false;
    while (!temporaneo.atEnd()) {
        const QByteArray blocco = temporaneo.read(64 * 1024);
        if (blocco.isEmpty() && !temporaneo.atEnd())
            return fallito(error, QStringLiteral("Impossibile leggere il file temporaneo \"%1\" (%2).")
                                      .arg(nomeFile(temporaneo.fileName()), temporaneo.errorString()));
        if (!scrivi(file, blocco, error))
            return false;
    }
    return conferma(file, error);
}

} // namespace

bool esportaModello(int kind, const QString &name, const QAbstractItemModel &model, const QVector<int> &columns,
                    const QString &fileName, QString *error, ValoriExcel valori)
{
    if (kind < EsportaExcel || kind > EsportaXml)
        return fallito(error, QStringLiteral("Tipo di esportazione non valido (%1).").arg(kind));
    const Tabella t = preparaTabella(model, columns);
    switch (kind) {
    case EsportaExcel:
        return esportaExcel(name, model, t, fileName, valori, error);
    case EsportaHtml:
        return esportaHtml(name, model, t, fileName, error);
    case EsportaCsv:
        return esportaCsv(model, t, fileName, error);
    default:
        return esportaXml(name, model, t, fileName, error);
    }
}

QString titoloEsportazione(int kind, const QString &name)
{
    if (kind == EsportaHtml)
        return QStringLiteral("Tavo - Elenco ") + name;
    return QStringLiteral("Esportazione ") + name;
}

QString tipiFileEsportazione(int kind)
{
    const QString tutti = QStringLiteral(";;Tutti i file (*)");
    switch (kind) {
    case EsportaExcel:
        return QStringLiteral("Excel (*.xlsx)") + tutti;
    case EsportaHtml:
        return QStringLiteral("HTML (*.htm)") + tutti;
    case EsportaCsv:
        return QStringLiteral("CSV (*.csv)") + tutti;
    case EsportaXml:
        return QStringLiteral("XML (*.xml)") + tutti;
    default:
        return QString();
    }
}

QString estensioneEsportazione(int kind)
{
    switch (kind) {
    case EsportaExcel:
        return QStringLiteral(".xlsx");
    case EsportaHtml:
        return QStringLiteral(".htm");
    case EsportaCsv:
        return QStringLiteral(".csv");
    case EsportaXml:
        return QStringLiteral(".xml");
    default:
        return QString();
    }
}

} // namespace tavo
