#pragma once
// Exact conversion between QString and single-byte Windows-1252 text.
//
// Every text the program stores or scrambles is single-byte in the Windows ANSI code page
// (Windows-1252 for Italian). Qt 6.4 has no converter for it, so this is a table-based one.
//
//   toWin1252    characters that Windows-1252 cannot represent become '?' (one per character,
//                also for characters outside the Basic Multilingual Plane)
//   fromWin1252  every byte maps to one character; the five bytes without a glyph in the code page
//                (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same value, as Windows
//                does, so that bytes -> text -> bytes is lossless for every byte string

#include <QByteArray>
#include <QString>

namespace tavo {

QByteArray toWin1252(const QString &text);
QString fromWin1252(const QByteArray &bytes);

} // namespace tavo
