#include "cifra.h"

#include "data/testo/win1252.h"

namespace tavo {

namespace {

constexpr quint16 kMoltiplicatore = 31477;
constexpr quint16 kIncremento = 27061;

// Both directions feed the key with the scrambled byte: the output when scrambling, the input
// when unscrambling. That is what makes the same key undo its own work.
QByteArray trasforma(const QByteArray &in, quint16 key, bool cifra)
{
    QByteArray out(in.size(), Qt::Uninitialized);
    quint16 k = key;
    for (qsizetype i = 0; i < in.size(); ++i) {
        const auto b = static_cast<quint8>(in.at(i));
        const auto o = static_cast<quint8>(b ^ (k >> 8));
        out[i] = static_cast<char>(o);
        const quint8 cifrato = cifra ? o : b;
        k = static_cast<quint16>((static_cast<quint32>(k) + cifrato) * kMoltiplicatore + kIncremento);
    }
    return out;
}

} // namespace

QByteArray CifraTesto(const QByteArray &plain, quint16 key)
{
    return trasforma(plain, key, true);
}

QByteArray DecifraTesto(const QByteArray &scrambled, quint16 key)
{
    return trasforma(scrambled, key, false);
}

QString leggiPasswordCifrata(const QString &stored, bool *ok)
{
    const QByteArray base64 = stored.toLatin1();
    const auto strict = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    if (ok)
        *ok = bool(strict);
    const QByteArray bytes = strict ? *strict : QByteArray::fromBase64(base64);
    return fromWin1252(DecifraTesto(bytes, ChiaveProgramma));
}

QString scriviPasswordCifrata(const QString &plain)
{
    return QString::fromLatin1(CifraTesto(toWin1252(plain), ChiaveProgramma).toBase64());
}

} // namespace tavo
