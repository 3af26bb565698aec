#pragma once
// Loader of the portal CSV layout into a TMemTable whose columns are defined beforehand.
//
// The layout (single-byte Windows-1252 text):
//   - lines end at CR or LF; any run of CR, LF and NUL bytes ends one line, so blank lines are skipped;
//   - the first line names the columns, separated by ","; each is matched to the table column of the same name
//     ignoring case; a name without a column is skipped, a column without a name stays null (calculated
//     columns are never loaded);
//   - every further line is one record; values are separated by ","; a value may be enclosed in double quotes,
//     inside which two double quotes stand for one, and the closing quote must be followed directly by "," or
//     the line end; an empty value without quotes is null (with quotes it is the empty text in text columns and
//     null in the others); a record with fewer values than the header leaves the rest null, one with more is
//     an error;
//   - in text and memo columns "%%" stands for "%", "%0" for a NUL character, "%c" for CR and "%n" for LF; any
//     other "%" is kept as it is;
//   - dates are "dd/mm/yyyy", optionally followed by a blank and "hh:mm:ss" (or "hh:mm"); decimal numbers use "."
//     and no grouping; integers are plain digits (an optional sign allowed). The machine's locale plays no part.
//
// All or nothing: the records are converted and checked first (values, required columns), then appended in one
// update (one model reset). On bad input a CsvError names the line (counted in the file, from 1) and the table is
// left unchanged. A closed table is opened first (an opened table keeps its rows: empty it to replace them).

#include "memtable.h"

#include <QByteArray>
#include <QString>

#include <stdexcept>

namespace tavo {

class CsvError : public std::runtime_error
{
public:
    explicit CsvError(const QString &message, int line = 0);
    QString message() const { return m_message; }
    int line() const { return m_line; } // 0 when the error is not about a line
private:
    QString m_message;
    int m_line;
};

// Returns the number of records appended.
int loadPortalCsv(TMemTable &table, const QByteArray &data);
int loadPortalCsvFile(TMemTable &table, const QString &fileName);

} // namespace tavo
