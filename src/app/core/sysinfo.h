#pragma once
// System folders, names and version values.
//
// InfoSistema numbers (folders end with the platform separator, '/' on Linux; names are in
// capitals):
//   0 temporary folder                 8 new temporary file name (below)
//   1 system folder (/usr/lib/)        9 user's application data folder
//   2 operating-system folder (/usr/)  10 desktop
//   3 user's log-on name               11 user's programs menu folder (applications folder)
//   4 user's start-up folder           12 the program's FileVersion
//     (~/.config/autostart/)           13 all-users desktop (here: the user's desktop)
//   5 send-to folder: none here, ""    14 user's documents folder
//   6 computer name                    other numbers: empty text
//   7 text of the last system error (errno), without a final line break
//
// Number 8: the temporary folder + "~" + tickCount() as eight upper-case hexadecimal digits +
// ".tmp"; the routine waits 10 ms before each attempt and tries again while a file of that name
// exists. The file itself is not created.

#include <QString>

namespace tavo {

// Milliseconds since the machine booted, wrapping at 2^32 like the Windows tick count.
quint32 tickCount();

QString InfoSistema(int n);

// A value of the program's version information: FileVersion, ProductVersion, ProductName,
// CompanyName, FileDescription, LegalCopyright (names compared without regard to case).
// file empty or naming this executable; any other file, or an unknown value name, gives an
// empty text.
QString LeggiInfoVersione(const QString &file, const QString &valueName);

} // namespace tavo
