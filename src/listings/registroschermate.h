#pragma once
// The screens that other screens open by class name, so that a command can be written before the screen it opens
// is part of the program: the command stays disabled until a factory is registered under that name, and then
// opens the screen through TFormMain::ApriFinestra(classe, fabbrica) and talks to it by its documented slots
// (QMetaObject::invokeMethod) and control names.
//
// A screen that lands registers itself once at start-up, next to the main window's menu wiring:
//   tavo::registraSchermata(QStringLiteral("TFormInsVarAnnunci"), [] { return new TFormInsVarAnnunci; });
// Everything runs on the user-interface thread.

#include <QString>
#include <QWidget>

#include <functional>

namespace tavo {

using FabbricaSchermata = std::function<QWidget *()>;

// Registers (or replaces, or with an empty factory removes) the factory of a screen class.
void registraSchermata(const QString &classe, FabbricaSchermata fabbrica);
// The program's own screen for a class, registered by the main window: a factory registered before it (a test's
// stand-in, for one) stays.
void registraSchermataPredefinita(const QString &classe, FabbricaSchermata fabbrica);
bool schermataRegistrata(const QString &classe);
// The registered factory (empty when none).
FabbricaSchermata fabbricaSchermata(const QString &classe);

// Opens (or brings back) the client search as a client picker for the editors and the request search: its
// ButtonCliente gets the dynamic property "tag" 1 and the caption "Scegli Cliente". Null while the client search is
// not part of the program.
QWidget *apriSceltaCliente();

} // namespace tavo
