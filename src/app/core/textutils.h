#pragma once
// Text routines shared by the screens: separator-delimited fields, the capitalisation of names
// and addresses typed in capitals, telephone numbers reduced to digits, a value chooser.
//
// Fields are the pieces between separator characters: every separator ends a field, so two
// separators in a row enclose an empty field, and a separator at the very end adds no field.

#include <QString>

namespace tavo {

// Number of fields of text: 0 for an empty text, else the separators plus 1 when the text does
// not end with a separator ("a;b;" and "a;b" both have 2 fields; ";" has 1).
int ContaCampi(const QString &text, QChar separatore);

// The n-th field (from 1) of text, or an empty text when there are fewer than n fields.
QString EstraiCampo(int n, const QString &text, QChar separatore);

// Whether word is a Roman numeral made of I, V and X (any case); an empty word counts as one,
// the word "vivi" does not.
bool NumeroRomano(const QString &word);

// Capitalises a name or address typed in capitals, word by word (words are split at single
// spaces, so runs of spaces are kept): street abbreviations keep only their first letter in
// capitals (P.zza, C.so), Roman numerals stay in capitals, other words get a capital after each
// full stop, apostrophe or hyphen ("PIAZZA D'ANNUNZIO-ROSSI" -> "Piazza D'Annunzio-Rossi").
// Leading and trailing spaces are removed.
QString FormattaNome(const QString &text);

// The text with every character that is not one of 0-9 removed, digits kept in order; used to
// compare telephone numbers written with "+", spaces, brackets and dashes.
QString NormalizzaTelefono(const QString &text);

// The first value when flag is set, else the second.
template <typename T> T ScegliValore(bool flag, const T &seVero, const T &seFalso)
{
    return flag ? seVero : seFalso;
}

// Text version, so that two literals of different lengths can be passed.
inline QString ScegliValore(bool flag, const QString &seVero, const QString &seFalso)
{
    return flag ? seVero : seFalso;
}

} // namespace tavo
