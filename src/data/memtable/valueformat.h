#pragma once
// Texts shown for the values of in-memory tables, and the date-time text forms they read.
// Fixed Italian conventions, independent of the machine's locale: decimal comma, "." grouping for currency,
// dates as dd/MM/yyyy.

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <functional>

namespace tavo {

// Money as the grids show it ("€ ,0.00"): "€ 1.234,50", "€ 0,00", "-€ 12,00".
QString formatCurrency(double value);
// A float without a display format: shortest form (up to 15 significant digits), decimal comma, no grouping:
// 2.5 -> "2,5", 100 -> "100".
QString formatFloat(double value);
// "31/01/2024" at midnight, "31/01/2024 10:15:00" otherwise; "" for an invalid value.
QString formatDateTime(const QDateTime &value);

// Display hook for currency columns (see TMemColumn::setDisplay).
std::function<QString(const QVariant &)> currencyDisplay();

// The C locale without digit grouping: "." decimal point, "1,000" rejected. For reading numbers written by
// programs (filters, files), whatever the machine's settings.
QLocale plainNumberLocale();

// Reads "yyyy/MM/dd", "yyyy-MM-dd", optionally followed by a blank (or "T") and "hh.mm[.ss]" or "hh:mm[:ss]"
// (seconds may have ".zzz"). Returns an invalid QDateTime for anything else or an impossible date or time.
QDateTime parseIsoLikeDateTime(const QString &text);

} // namespace tavo
