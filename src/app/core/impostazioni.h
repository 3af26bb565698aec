#pragma once
// The per-user settings store: organisation "Ramolfi", application "Tavo", one group per screen
// ("FormMain", "FormRicercaAnnunci", ...). Everything that reads or writes it goes through here.

#include <QSettings>

#include <memory>

namespace tavo {

// A settings object on the store, opened on the given group (empty: the root).
std::unique_ptr<QSettings> impostazioni(const QString &gruppo = QString());

// Tests point the store at a file of their own.
void impostaFileImpostazioni(const QString &percorso);

} // namespace tavo
