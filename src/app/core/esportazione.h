#pragma once
// The writers behind the main window's grid export (EsportaGriglia): the visible columns and
// all rows of a model written as an Excel workbook, an HTML page, CSV text or XML.
//
// kind 0  Excel (.xlsx): one sheet named after the list (at most 31 characters, without
//         [ ] : * ? / \ and without apostrophes at its ends; "Elenco" when nothing is left),
//         a bold header row, then one row per model row; column widths are not fitted.
// kind 1  HTML (.htm): a complete UTF-8 page titled "Tavo - Elenco " + name, with the same text
//         as heading and the grid as a table (<th> headers); values HTML-escaped, line breaks
//         inside a value become <br>.
// kind 2  CSV (.csv): UTF-8 with byte order mark, fields separated by ";" (what Excel expects
//         with Italian settings), CR LF after every line, a field quoted with " when it holds
//         ";", a quote or a line break, quotes inside doubled; the first line holds the headers.
// kind 3  XML (.xml): UTF-8,
//             <Elenco nome="NAME">
//                 <Riga>
//                     <Campo nome="HEADER">value</Campo>   (one per column, in grid order)
//                 </Riga>
//             </Elenco>
//         characters that XML 1.0 cannot hold (control characters) are left out.
//
// Headers come from headerData(column, Qt::Horizontal, Qt::DisplayRole), values from
// data(Qt::DisplayRole) of the top-level rows 0..rowCount()-1, formatted as a grid's default
// delegate shows them (dates and numbers with the default QLocale). A lazily fetching model
// must be fetched completely by the caller. Column numbers outside the model are ignored.
//
// The file is replaced only when the export is complete; a failed export leaves an existing
// file as it was and creates none.

#include <QString>
#include <QVector>

class QAbstractItemModel;

namespace tavo {

enum TipoEsportazione { EsportaExcel = 0, EsportaHtml = 1, EsportaCsv = 2, EsportaXml = 3 };

// What the Excel cells receive.
enum class ValoriExcel {
    Visualizzati, // the displayed text of every cell
    Tipizzati,    // numbers as numbers and dates as dates where the EditRole value is numeric,
                  // a QDate or a QDateTime; the displayed text elsewhere
};

// Writes the export; false with an Italian text in *error (when given) on failure: unknown
// kind, file not writable, a list too large for one Excel sheet.
bool esportaModello(int kind, const QString &name, const QAbstractItemModel &model, const QVector<int> &columns,
                    const QString &fileName, QString *error, ValoriExcel valori = ValoriExcel::Visualizzati);

// The progress caption and (kind 1) page title: "Tavo - Elenco " + name for HTML,
// "Esportazione " + name for the others.
QString titoloEsportazione(int kind, const QString &name);

// The save dialog's filters in Qt form, e.g. "Excel (*.xlsx);;Tutti i file (*)"; empty for an
// unknown kind. Excel files are .xlsx workbooks.
QString tipiFileEsportazione(int kind);

// The default extension with its dot (".xlsx", ".htm", ".csv", ".xml"); empty for an unknown kind.
QString estensioneEsportazione(int kind);

} // namespace tavo
