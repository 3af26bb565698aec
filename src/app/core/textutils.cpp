#include "textutils.h"

#include <QStringList>

namespace tavo {

int ContaCampi(const QString &text, QChar separatore)
{
    if (text.isEmpty())
        return 0;
    const int separatori = int(text.count(separatore));
    return text.endsWith(separatore) ? separatori : separatori + 1;
}

QString EstraiCampo(int n, const QString &text, QChar separatore)
{
    if (n < 1)
        return QString();
    int campo = 1;
    qsizetype inizio = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != separatore)
            continue;
        if (campo == n)
            return text.mid(inizio, i - inizio);
        ++campo;
        inizio = i + 1;
    }
    // The last field runs to the end of the text; a final separator adds no field.
    if (campo == n && inizio < text.size())
        return text.mid(inizio);
    return QString();
}

bool NumeroRomano(const QString &word)
{
    if (word.compare(QLatin1String("vivi"), Qt::CaseInsensitive) == 0)
        return false;
    for (const QChar c : word) {
        const QChar u = c.toUpper();
        if (u != QLatin1Char('I') && u != QLatin1Char('V') && u != QLatin1Char('X'))
            return false;
    }
    return true;
}

namespace {

// Street and company abbreviations written with only the first letter in capitals.
bool abbreviazione(const QString &upper)
{
    static const QStringList elenco = {
        QStringLiteral("C.DA"),  QStringLiteral("C.SO"), QStringLiteral("C.NA"),  QStringLiteral("F.LLI"),
        QStringLiteral("L.GO"),  QStringLiteral("P.LE"), QStringLiteral("P.TTA"), QStringLiteral("P.ZA"),
        QStringLiteral("P.ZZA"), QStringLiteral("S.TA"), QStringLiteral("V.LE"),  QStringLiteral("V.LO"),
    };
    return elenco.contains(upper);
}

// First letter of each part in capitals, parts being the pieces between full stops,
// apostrophes and hyphens; the word arrives already in lower case.
QString capitalizzaParti(QString word)
{
    bool inizioParte = true;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QChar c = word.at(i);
        if (c == QLatin1Char('.') || c == QLatin1Char('\'') || c == QLatin1Char('-')) {
            inizioParte = true;
        } else if (inizioParte) {
            word[i] = c.toUpper();
            inizioParte = false;
        }
    }
    return word;
}

} // namespace

QString FormattaNome(const QString &text)
{
    QString out;
    out.reserve(text.size() + 1);
    const QStringList campi = text.split(QLatin1Char(' '));
    for (const QString &campo : campi) {
        const QString parola = campo.toLower();
        if (!parola.isEmpty()) {
            const QString maiuscola = parola.toUpper();
            if (abbreviazione(maiuscola))
                out += maiuscola.left(1) + parola.mid(1);
            else if (maiuscola == QLatin1String("P.ZAZ") || maiuscola == QLatin1String("P.ZZ"))
                out += QLatin1String("P.zza");
            else if (maiuscola == QLatin1String("VIA.LE"))
                out += QLatin1String("V.le");
            else if (NumeroRomano(parola))
                out += maiuscola;
            else
                out += capitalizzaParti(parola);
        }
        out += QLatin1Char(' ');
    }
    qsizetype inizio = 0;
    qsizetype fine = out.size();
    while (inizio < fine && out.at(inizio) == QLatin1Char(' '))
        ++inizio;
    while (fine > inizio && out.at(fine - 1) == QLatin1Char(' '))
        --fine;
    return out.mid(inizio, fine - inizio);
}

QString NormalizzaTelefono(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            out += c;
    }
    return out;
}

} // namespace tavo
