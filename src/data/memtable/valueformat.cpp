#include "valueformat.h"

#include <QLocale>
#include <QRegularExpression>
#include <QVariant>

#include <cmath>

namespace tavo {

QString formatCurrency(double value)
{
    // Built by hand so that the machine's locale plays no part.
    QString digits = QString::number(std::fabs(value), 'f', 2);
    const bool negative = value < 0 && digits != QLatin1String("0.00");
    const int dot = int(digits.indexOf(QLatin1Char('.')));
    QString integerPart = digits.left(dot);
    const QString fraction = digits.mid(dot + 1);
    QString grouped;
    const int n = int(integerPart.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            grouped += QLatin1Char('.');
        grouped += integerPart.at(i);
    }
    return (negative ? QStringLiteral("-€ ") : QStringLiteral("€ ")) + grouped + QLatin1Char(',') + fraction;
}

QString formatFloat(double value)
{
    if (!std::isfinite(value))
        return QString();
    QString text = QString::number(value, 'g', 15);
    if (text.contains(QLatin1Char('e'))) {
        // Very large or small magnitudes: keep a plain decimal form rather than an exponent.
        text = QString::number(value, 'f', 6);
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

QString formatDateTime(const QDateTime &value)
{
    if (!value.isValid())
        return QString();
    const QTime t = value.time();
    if (t.hour() == 0 && t.minute() == 0 && t.second() == 0 && t.msec() == 0)
        return value.toString(QStringLiteral("dd/MM/yyyy"));
    return value.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
}

std::function<QString(const QVariant &)> currencyDisplay()
{
    return [](const QVariant &v) { return formatCurrency(v.toDouble()); };
}

QLocale plainNumberLocale()
{
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

QDateTime parseIsoLikeDateTime(const QString &text)
{
    static const QRegularExpression re(QStringLiteral(
        R"(^\s*(\d{4})[/-](\d{1,2})[/-](\d{1,2})(?:[ T]+(\d{1,2})[.:](\d{1,2})(?:[.:](\d{1,2})(?:\.(\d{1,3}))?)?)?\s*$)"));
    const QRegularExpressionMatch m = re.match(text);
    if (!m.hasMatch())
        return QDateTime();
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    if (!date.isValid())
        return QDateTime();
    QTime time(0, 0);
    if (m.capturedLength(4) > 0) {
        int msec = 0;
        if (m.capturedLength(7) > 0)
            msec = m.captured(7).leftJustified(3, QLatin1Char('0')).toInt();
        time = QTime(m.captured(4).toInt(), m.captured(5).toInt(), m.capturedLength(6) > 0 ? m.captured(6).toInt() : 0,
                     msec);
        if (!time.isValid())
            return QDateTime();
    }
    return QDateTime(date, time);
}

} // namespace tavo
