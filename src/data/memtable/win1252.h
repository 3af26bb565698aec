#pragma once
// Windows-1252 ("ANSI" on Italian Windows) to QString, by table: Qt's own converters lack this code page.
// Bytes 0x80-0x9F take their Windows-1252 characters (0x80 is the euro sign); the five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same value, as Windows does.
// Every other byte is the Latin-1 character of the same value.

#include <QByteArray>
#include <QString>

namespace tavo {

QString decodeWindows1252(const char *data, qsizetype size);
inline QString decodeWindows1252(const QByteArray &bytes)
{
    return decodeWindows1252(bytes.constData(), bytes.size());
}

} // namespace tavo
