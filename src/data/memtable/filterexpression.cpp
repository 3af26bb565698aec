#include "filterexpression.h"

#include "valueformat.h"

#include <QLocale>

#include <vector>

namespace tavo {

FilterError::FilterError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}

namespace {

const QString kPrefix = QStringLiteral("Espressione di filtro non valida: ");

[[noreturn]] void fail(const QString &detail)
{
    throw FilterError(kPrefix + detail);
}

enum class Tok { End, LParen, RParen, Op, String, Number, Ident, And, Or, Not, Like, Is, Null, Minus };

struct Token
{
    Tok kind = Tok::End;
    QString text; // operator, identifier, unquoted string, or number as written
    int pos = 0;  // 1-based character position, for messages
};

std::vector<Token> tokenize(const QString &s)
{
    std::vector<Token> out;
    const int n = int(s.size());
    int i = 0;
    while (i < n) {
        const QChar c = s.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token t;
        t.pos = i + 1;
        if (c == QLatin1Char('(')) {
            t.kind = Tok::LParen;
            t.text = c;
            ++i;
        } else if (c == QLatin1Char(')')) {
            t.kind = Tok::RParen;
            t.text = c;
            ++i;
        } else if (c == QLatin1Char('=')) {
            t.kind = Tok::Op;
            t.text = QStringLiteral("=");
            ++i;
        } else if (c == QLatin1Char('<') || c == QLatin1Char('>') || c == QLatin1Char('!')) {
            const QChar d = i + 1 < n ? s.at(i + 1) : QChar();
            t.kind = Tok::Op;
            if (c == QLatin1Char('<') && (d == QLatin1Char('>') || d == QLatin1Char('='))) {
                t.text = QString(c) + d;
                i += 2;
            } else if (c == QLatin1Char('>') && d == QLatin1Char('=')) {
                t.text = QStringLiteral(">=");
                i += 2;
            } else if (c == QLatin1Char('!') && d == QLatin1Char('=')) {
                t.text = QStringLiteral("<>");
                i += 2;
            } else if (c == QLatin1Char('!')) {
                fail(QStringLiteral("carattere non valido \"!\" alla posizione %1").arg(t.pos));
            } else {
                t.text = c;
                ++i;
            }
        } else if (c == QLatin1Char('-')) {
            t.kind = Tok::Minus;
            t.text = c;
            ++i;
        } else if (c == QLatin1Char('\'')) {
            t.kind = Tok::String;
            ++i;
            bool closed = false;
            while (i < n) {
                if (s.at(i) == QLatin1Char('\'')) {
                    if (i + 1 < n && s.at(i + 1) == QLatin1Char('\'')) {
                        t.text += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                t.text += s.at(i++);
            }
            if (!closed)
                fail(QStringLiteral("testo tra apici non terminato (aperto alla posizione %1)").arg(t.pos));
        } else if (c.isDigit()) {
            t.kind = Tok::Number;
            while (i < n && s.at(i).isDigit())
                t.text += s.at(i++);
            if (i < n && s.at(i) == QLatin1Char('.')) {
                t.text += s.at(i++);
                if (i >= n || !s.at(i).isDigit())
                    fail(QStringLiteral("numero non valido \"%1\" alla posizione %2").arg(t.text).arg(t.pos));
                while (i < n && s.at(i).isDigit())
                    t.text += s.at(i++);
            }
            if (i < n && (s.at(i).isLetter() || s.at(i) == QLatin1Char('_') || s.at(i) == QLatin1Char('.')))
                fail(QStringLiteral("numero non valido alla posizione %1").arg(t.pos));
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            while (i < n && (s.at(i).isLetterOrNumber() || s.at(i) == QLatin1Char('_')))
                t.text += s.at(i++);
            const QString upper = t.text.toUpper();
            if (upper == QLatin1String("AND"))
                t.kind = Tok::And;
            else if (upper == QLatin1String("OR"))
                t.kind = Tok::Or;
            else if (upper == QLatin1String("NOT"))
                t.kind = Tok::Not;
            else if (upper == QLatin1String("LIKE"))
                t.kind = Tok::Like;
            else if (upper == QLatin1String("IS"))
                t.kind = Tok::Is;
            else if (upper == QLatin1String("NULL"))
                t.kind = Tok::Null;
            else
                t.kind = Tok::Ident;
        } else {
            fail(QStringLiteral("carattere non valido \"%1\" alla posizione %2").arg(c).arg(i + 1));
        }
        out.push_back(t);
    }
    Token end;
    end.pos = n + 1;
    out.push_back(end);
    return out;
}

enum class Domain { Number, Text, Date };
enum class CmpOp { Eq, Ne, Lt, Le, Gt, Ge };

// An operand as written; resolved to a typed operand when its comparison is known.
struct RawOperand
{
    enum Kind { Column, String, Number } kind = Column;
    int column = -1;
    QString text; // column name, string content or number as written
};

// A typed operand: a column read per row, or a constant already converted to the comparison's domain.
struct Operand
{
    bool isColumn = false;
    int column = -1;
    double number = 0;
    QString text;
    qint64 moment = 0;
};

qint64 momentOf(const QDateTime &dt)
{
    return dt.date().toJulianDay() * qint64(86400000) + dt.time().msecsSinceStartOfDay();
}

} // namespace

struct TFilterExpression::Node
{
    enum Kind { And, Or, Not, Compare, Like, IsNull, Constant } kind = Constant;
    std::unique_ptr<Node> left, right;
    Domain domain = Domain::Number;
    CmpOp op = CmpOp::Eq;
    Operand a, b;
    bool negate = false;   // NOT LIKE, IS NOT NULL
    bool constant = false; // value of a Constant node
    QStringList likeParts; // pattern split at the wildcards
};

namespace {

using Node = TFilterExpression::Node;

// Wildcard match: the parts between "*" must appear in order, the first at the start and the last at the end.
bool likeMatches(const QString &text, const QStringList &parts)
{
    if (parts.size() == 1)
        return text == parts.first();
    const QString &head = parts.first();
    const QString &tail = parts.last();
    if (text.size() < head.size() + tail.size() || !text.startsWith(head) || !text.endsWith(tail))
        return false;
    qsizetype pos = head.size();
    const qsizetype end = text.size() - tail.size();
    for (qsizetype i = 1; i + 1 < parts.size(); ++i) {
        const QString &part = parts.at(i);
        if (part.isEmpty())
            continue;
        const qsizetype found = text.indexOf(part, pos);
        if (found < 0 || found + part.size() > end)
            return false;
        pos = found + part.size();
    }
    return true;
}

// Either a condition (node) or an operand, while parsing.
struct Item
{
    std::unique_ptr<Node> node;
    RawOperand operand;
    bool isCondition() const { return static_cast<bool>(node); }
};

QString describe(const Token &t)
{
    switch (t.kind) {
    case Tok::End:
        return QStringLiteral("fine dell'espressione");
    case Tok::String:
        return QStringLiteral("'%1'").arg(t.text);
    default:
        return QStringLiteral("\"%1\"").arg(t.text);
    }
}

QString describe(const RawOperand &o)
{
    return o.kind == RawOperand::String ? QStringLiteral("'%1'").arg(o.text) : o.text;
}

class Parser
{
public:
    Parser(const std::vector<Token> &tokens, const TMemTable &table) : m_tokens(tokens), m_table(table) {}

    std::unique_ptr<Node> parseAll()
    {
        Item item = parseOr();
        const Token &t = peek();
        if (t.kind == Tok::RParen)
            fail(QStringLiteral("parentesi non bilanciate (parentesi chiusa in più alla posizione %1)").arg(t.pos));
        if (t.kind != Tok::End)
            fail(QStringLiteral("simbolo inatteso %1 alla posizione %2").arg(describe(t)).arg(t.pos));
        return requireCondition(std::move(item));
    }

private:
    const Token &peek() const { return m_tokens[m_pos]; }
    const Token &take() { return m_tokens[m_pos++]; }

    std::unique_ptr<Node> requireCondition(Item item)
    {
        if (item.isCondition())
            return std::move(item.node);
        fail(QStringLiteral("manca un confronto dopo %1").arg(describe(item.operand)));
    }

    Item parseOr()
    {
        Item left = parseAnd();
        while (peek().kind == Tok::Or) {
            take();
            auto node = std::make_unique<Node>();
            node->kind = Node::Or;
            node->left = requireCondition(std::move(left));
            node->right = requireCondition(parseAnd());
            left = Item();
            left.node = std::move(node);
        }
        return left;
    }

    Item parseAnd()
    {
        Item left = parseNot();
        while (peek().kind == Tok::And) {
            take();
            auto node = std::make_unique<Node>();
            node->kind = Node::And;
            node->left = requireCondition(std::move(left));
            node->right = requireCondition(parseNot());
            left = Item();
            left.node = std::move(node);
        }
        return left;
    }

    Item parseNot()
    {
        if (peek().kind == Tok::Not) {
            take();
            auto node = std::make_unique<Node>();
            node->kind = Node::Not;
            node->left = requireCondition(parseNot());
            Item item;
            item.node = std::move(node);
            return item;
        }
        return parsePredicate();
    }

    Item parsePredicate()
    {
        Item left = parsePrimary();
        const Token &t = peek();
        if (t.kind == Tok::Op) {
            const QString op = take().text;
            const RawOperand a = requireOperand(std::move(left), op);
            const RawOperand b = requireOperand(parsePrimary(), op);
            return condition(makeCompare(a, op, b));
        }
        if (t.kind == Tok::Like || (t.kind == Tok::Not && m_tokens[m_pos + 1].kind == Tok::Like)) {
            bool negate = false;
            if (take().kind == Tok::Not) {
                negate = true;
                take();
            }
            const RawOperand a = requireOperand(std::move(left), QStringLiteral("LIKE"));
            const RawOperand b = requireOperand(parsePrimary(), QStringLiteral("LIKE"));
            return condition(makeLike(a, b, negate));
        }
        if (t.kind == Tok::Is) {
            take();
            bool negate = false;
            if (peek().kind == Tok::Not) {
                take();
                negate = true;
            }
            if (peek().kind != Tok::Null)
                fail(QStringLiteral("dopo IS si attende NULL o NOT NULL (posizione %1)").arg(peek().pos));
            take();
            const RawOperand a = requireOperand(std::move(left), QStringLiteral("IS NULL"));
            auto node = std::make_unique<Node>();
            node->negate = negate;
            if (a.kind == RawOperand::Column) {
                node->kind = Node::IsNull;
                node->a.isColumn = true;
                node->a.column = a.column;
            } else {
                node->kind = Node::Constant;
                node->constant = negate;
            }
            return condition(std::move(node));
        }
        return left;
    }

    static Item condition(std::unique_ptr<Node> node)
    {
        Item item;
        item.node = std::move(node);
        return item;
    }

    RawOperand requireOperand(Item item, const QString &op)
    {
        if (item.isCondition())
            fail(QStringLiteral("una condizione non può essere operando di %1").arg(op));
        return item.operand;
    }

    Item parsePrimary()
    {
        const Token &t = take();
        Item item;
        switch (t.kind) {
        case Tok::LParen: {
            item = parseOr();
            if (peek().kind != Tok::RParen) {
                if (peek().kind == Tok::End)
                    fail(QStringLiteral("parentesi non bilanciate (manca la parentesi chiusa di quella alla "
                                        "posizione %1)")
                             .arg(t.pos));
                fail(QStringLiteral("simbolo inatteso %1 alla posizione %2").arg(describe(peek())).arg(peek().pos));
            }
            take();
            return item;
        }
        case Tok::Ident: {
            const int column = m_table.columnIndex(t.text);
            if (column < 0)
                fail(QStringLiteral("colonna sconosciuta %1").arg(t.text));
            item.operand.kind = RawOperand::Column;
            item.operand.column = column;
            item.operand.text = m_table.column(column).name();
            return item;
        }
        case Tok::String:
            item.operand.kind = RawOperand::String;
            item.operand.text = t.text;
            return item;
        case Tok::Number:
            item.operand.kind = RawOperand::Number;
            item.operand.text = t.text;
            return item;
        case Tok::Minus: {
            const Token &n = take();
            if (n.kind != Tok::Number)
                fail(QStringLiteral("dopo il segno meno si attende un numero (posizione %1)").arg(n.pos));
            item.operand.kind = RawOperand::Number;
            item.operand.text = QLatin1Char('-') + n.text;
            return item;
        }
        case Tok::Null:
            fail(QStringLiteral("per i valori nulli usare IS NULL o IS NOT NULL (posizione %1)").arg(t.pos));
        case Tok::End:
            fail(QStringLiteral("espressione incompleta"));
        case Tok::RParen:
            fail(QStringLiteral("parentesi non bilanciate (parentesi chiusa inattesa alla posizione %1)").arg(t.pos));
        default:
            fail(QStringLiteral("simbolo inatteso %1 alla posizione %2").arg(describe(t)).arg(t.pos));
        }
    }

    Domain columnDomain(int column) const
    {
        switch (m_table.column(column).type()) {
        case FieldType::Integer:
        case FieldType::Float:
            return Domain::Number;
        case FieldType::DateTime:
            return Domain::Date;
        default:
            return Domain::Text;
        }
    }

    // Turns a written operand into a typed one of `domain`; `other` names the column it is compared with.
    Operand resolve(const RawOperand &raw, Domain domain, const QString &other) const
    {
        Operand o;
        if (raw.kind == RawOperand::Column) {
            o.isColumn = true;
            o.column = raw.column;
            return o;
        }
        switch (domain) {
        case Domain::Number: {
            bool ok = false;
            o.number = plainNumberLocale().toDouble(raw.text.trimmed(), &ok);
            if (!ok)
                fail(QStringLiteral("numero non valido %1 per la colonna %2").arg(describe(raw), other));
            break;
        }
        case Domain::Date: {
            if (raw.kind != RawOperand::String)
                fail(QStringLiteral("la colonna %1 è una data: scrivere la data tra apici come 'AAAA/MM/GG'")
                         .arg(other));
            const QDateTime dt = parseIsoLikeDateTime(raw.text);
            if (!dt.isValid())
                fail(QStringLiteral("data non valida %1 per la colonna %2").arg(describe(raw), other));
            o.moment = momentOf(dt);
            break;
        }
        case Domain::Text:
            if (raw.kind != RawOperand::String)
                fail(QStringLiteral("la colonna %1 è un testo: scrivere il valore tra apici").arg(other));
            o.text = raw.text;
            break;
        }
        return o;
    }

    std::unique_ptr<Node> makeCompare(const RawOperand &a, const QString &opText, const RawOperand &b)
    {
        auto node = std::make_unique<Node>();
        node->kind = Node::Compare;
        if (opText == QLatin1String("="))
            node->op = CmpOp::Eq;
        else if (opText == QLatin1String("<>"))
            node->op = CmpOp::Ne;
        else if (opText == QLatin1String("<"))
            node->op = CmpOp::Lt;
        else if (opText == QLatin1String("<="))
            node->op = CmpOp::Le;
        else if (opText == QLatin1String(">"))
            node->op = CmpOp::Gt;
        else
            node->op = CmpOp::Ge;

        const bool aCol = a.kind == RawOperand::Column, bCol = b.kind == RawOperand::Column;
        if (!aCol && !bCol) {
            // Two constants: decided now.
            if (a.kind != b.kind)
                fail(QStringLiteral("impossibile confrontare %1 con %2").arg(describe(a), describe(b)));
            node->domain = a.kind == RawOperand::Number ? Domain::Number : Domain::Text;
            node->a = resolve(a, node->domain, QString());
            node->b = resolve(b, node->domain, QString());
            const int c = node->domain == Domain::Number
                              ? (node->a.number < node->b.number ? -1 : (node->a.number > node->b.number ? 1 : 0))
                              : node->a.text.compare(node->b.text);
            node->kind = Node::Constant;
            node->constant = outcome(node->op, c);
            return node;
        }
        if (aCol && bCol) {
            const Domain da = columnDomain(a.column), db = columnDomain(b.column);
            if (da != db)
                fail(QStringLiteral("impossibile confrontare %1 con %2").arg(a.text, b.text));
            node->domain = da;
        } else {
            const RawOperand &col = aCol ? a : b;
            const RawOperand &lit = aCol ? b : a;
            node->domain = columnDomain(col.column);
            if (lit.kind == RawOperand::Number && node->domain != Domain::Number)
                fail(QStringLiteral("impossibile confrontare %1 con %2").arg(col.text, describe(lit)));
        }
        const QString columnName = aCol ? a.text : b.text;
        node->a = resolve(a, node->domain, columnName);
        node->b = resolve(b, node->domain, columnName);
        return node;
    }

    std::unique_ptr<Node> makeLike(const RawOperand &a, const RawOperand &b, bool negate)
    {
        if (b.kind != RawOperand::String)
            fail(QStringLiteral("LIKE vuole un modello tra apici, come '*TESTO*'"));
        auto node = std::make_unique<Node>();
        node->negate = negate;
        QString pattern = b.text;
        pattern.replace(QLatin1Char('%'), QLatin1Char('*'));
        node->likeParts = pattern.split(QLatin1Char('*'));
        if (a.kind == RawOperand::Column) {
            if (columnDomain(a.column) != Domain::Text)
                fail(QStringLiteral("LIKE si applica solo a colonne di testo, non a %1").arg(a.text));
            node->kind = Node::Like;
            node->a.isColumn = true;
            node->a.column = a.column;
            return node;
        }
        if (a.kind != RawOperand::String)
            fail(QStringLiteral("LIKE si applica solo a testi, non a %1").arg(describe(a)));
        node->kind = Node::Constant;
        node->a.text = a.text;
        node->constant = likeMatches(a.text, node->likeParts) != negate;
        return node;
    }

public:
    static bool outcome(CmpOp op, int c)
    {
        switch (op) {
        case CmpOp::Eq:
            return c == 0;
        case CmpOp::Ne:
            return c != 0;
        case CmpOp::Lt:
            return c < 0;
        case CmpOp::Le:
            return c <= 0;
        case CmpOp::Gt:
            return c > 0;
        case CmpOp::Ge:
            return c >= 0;
        }
        return false;
    }

private:
    const std::vector<Token> &m_tokens;
    const TMemTable &m_table;
    size_t m_pos = 0;
};

bool evaluate(const Node &node, const TMemRecord &record)
{
    switch (node.kind) {
    case Node::Constant:
        return node.constant;
    case Node::And:
        return evaluate(*node.left, record) && evaluate(*node.right, record);
    case Node::Or:
        return evaluate(*node.left, record) || evaluate(*node.right, record);
    case Node::Not:
        return !evaluate(*node.left, record);
    case Node::IsNull:
        return record.value(node.a.column).isValid() == node.negate;
    case Node::Like: {
        const QVariant v = record.value(node.a.column);
        if (!v.isValid())
            return false; // a null never matches, not even with NOT LIKE
        return likeMatches(v.toString(), node.likeParts) != node.negate;
    }
    case Node::Compare: {
        QVariant va, vb;
        if (node.a.isColumn) {
            va = record.value(node.a.column);
            if (!va.isValid())
                return false;
        }
        if (node.b.isColumn) {
            vb = record.value(node.b.column);
            if (!vb.isValid())
                return false;
        }
        int c = 0;
        switch (node.domain) {
        case Domain::Number: {
            const double x = node.a.isColumn ? va.toDouble() : node.a.number;
            const double y = node.b.isColumn ? vb.toDouble() : node.b.number;
            c = x < y ? -1 : (x > y ? 1 : 0);
            break;
        }
        case Domain::Date: {
            const qint64 x = node.a.isColumn ? momentOf(va.toDateTime()) : node.a.moment;
            const qint64 y = node.b.isColumn ? momentOf(vb.toDateTime()) : node.b.moment;
            c = x < y ? -1 : (x > y ? 1 : 0);
            break;
        }
        case Domain::Text: {
            const QString x = node.a.isColumn ? va.toString() : node.a.text;
            const QString y = node.b.isColumn ? vb.toString() : node.b.text;
            c = x.compare(y, Qt::CaseSensitive);
            break;
        }
        }
        return Parser::outcome(node.op, c);
    }
    }
    return false;
}

} // namespace

std::unique_ptr<TFilterExpression> TFilterExpression::parse(const QString &text, const TMemTable &table)
{
    if (text.trimmed().isEmpty())
        fail(QStringLiteral("espressione vuota"));
    const std::vector<Token> tokens = tokenize(text);
    Parser parser(tokens, table);
    std::unique_ptr<TFilterExpression> expr(new TFilterExpression());
    expr->m_text = text;
    expr->m_root = parser.parseAll();
    return expr;
}

TFilterExpression::~TFilterExpression() = default;

bool TFilterExpression::matches(const TMemRecord &record) const
{
    return evaluate(*m_root, record);
}

} // namespace tavo
