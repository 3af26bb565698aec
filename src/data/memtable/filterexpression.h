#pragma once
// The filter language of TMemTable, as the search screens write it.
//
//   condition  := or-term
//   or-term    := and-term { OR and-term }
//   and-term   := not-term { AND not-term }
//   not-term   := NOT not-term | predicate
//   predicate  := operand ( "=" | "<>" | "!=" | "<" | "<=" | ">" | ">=" ) operand
//               | operand [NOT] LIKE 'pattern'
//               | operand IS [NOT] NULL
//               | "(" condition ")"
//   operand    := COLUMN | 'text' | number | "(" operand ")"
//
// Keywords and column names ignore letter case. Texts are in single quotes, a doubled quote standing for one
// ('L''AQUILA'). Numbers are decimal digits with an optional "." fraction and an optional leading "-".
// Date-time columns are compared with texts 'YYYY/MM/DD' or 'YYYY/MM/DD hh.mm.ss' ("-" and ":" also accepted).
// Numeric columns accept numbers or texts holding a number.
//
// Meaning:
//   - texts compare exactly (case-sensitive, character by character); the screens upper-case what they compare;
//   - LIKE works on text and memo columns; "*" (or "%") stands for any run of characters, everything else is
//     literal and case-sensitive: COMUNI like '*MILANO*' keeps the rows whose COMUNI contains MILANO;
//   - a comparison or LIKE with a null value is false, so NOT of it is true (two-valued logic); use IS NULL to
//     select nulls. An empty text is not null.
//
// A malformed expression (unknown column, unbalanced parentheses, unterminated text, stray token, operands
// that cannot be compared, invalid date or number) throws FilterError with an Italian message that starts with
// "Espressione di filtro non valida: ".

#include "memtable.h"

#include <QString>

#include <memory>
#include <stdexcept>

namespace tavo {

class FilterError : public std::runtime_error
{
public:
    explicit FilterError(const QString &message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

class TFilterExpression
{
public:
    struct Node;

    // Parses `text` against the columns of `table` (their names and types). Throws FilterError.
    static std::unique_ptr<TFilterExpression> parse(const QString &text, const TMemTable &table);
    ~TFilterExpression();

    // True when the row passes.
    bool matches(const TMemRecord &record) const;
    QString text() const { return m_text; }

private:
    TFilterExpression() = default;
    QString m_text;
    std::unique_ptr<Node> m_root;
};

} // namespace tavo
