#pragma once
// The program's scramble routine and the stored form of its passwords.
//
// CifraTesto / DecifraTesto scramble single-byte text with a 16-bit running key; decoding with
// the same key what CifraTesto produced gives back the plain bytes. A stored password (Setup.ini
// "Password", OPZIONI.PWD_INGRESSO, OPZIONI.SMTP_PWD) is the Base64 text (standard alphabet,
// padded) of the bytes CifraTesto makes from the Windows-1252 plain text with ChiaveProgramma.
// The same key scrambles the command lines sent to the remote service.

#include <QByteArray>
#include <QString>

namespace tavo {

// The program key for passwords and remote command lines.
constexpr quint16 ChiaveProgramma = 40371;

// Stored form of the built-in database password, used when Setup.ini has no "Password".
constexpr const char *PasswordPredefinitaCifrata = "8IheDsfPkqsp1Uob";

// Scrambles every byte of plain; the output has the same length.
QByteArray CifraTesto(const QByteArray &plain, quint16 key);
// Reverses CifraTesto with the same key; the output has the same length.
QByteArray DecifraTesto(const QByteArray &scrambled, quint16 key);

// Base64-decodes a stored password and unscrambles it with ChiaveProgramma. Characters outside
// the Base64 alphabet are skipped as the usual decoders do; *ok (when given) tells whether the
// stored text was well-formed Base64.
QString leggiPasswordCifrata(const QString &stored, bool *ok = nullptr);
// The stored form of a plain password: CifraTesto with ChiaveProgramma, then Base64.
QString scriviPasswordCifrata(const QString &plain);

} // namespace tavo
