#include "data/testo/win1252.h"

#include <QHash>

namespace tavo {

namespace {

// Characters of the bytes 0x80..0x9F; the undefined positions keep their C1 control value.
constexpr char16_t kAlti[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98..9F
};

const QHash<char16_t, char> &inversa()
{
    static const QHash<char16_t, char> tabella = [] {
        QHash<char16_t, char> t;
        for (int i = 0; i < 32; ++i)
            t.insert(kAlti[i], char(0x80 + i));
        return t;
    }();
    return tabella;
}

} // namespace

QByteArray toWin1252(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    const QHash<char16_t, char> &alti = inversa();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out.append(char(c));
            continue;
        }
        const auto it = alti.constFind(c);
        if (it != alti.constEnd()) {
            out.append(it.value());
            continue;
        }
        // A surrogate pair is one character: one '?' for both halves.
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        out.append('?');
    }
    return out;
}

QString fromWin1252(const QByteArray &bytes)
{
    // Windows-1252 differs from Latin-1 only in 0x80-0x9F; texts without those bytes decode much faster as Latin-1.
    bool latin1 = true;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b < 0xA0) {
            latin1 = false;
            break;
        }
    }
    if (latin1)
        return QString::fromLatin1(bytes);
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *dest = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes.at(i));
        dest[i] = (b >= 0x80 && b < 0xA0) ? QChar(kAlti[b - 0x80]) : QChar(char16_t(b));
    }
    return out;
}

} // namespace tavo
