#pragma once
// The program's built-in pictures, drawn rather than shipped: the background tile and logo of the
// main window, and the icons of the main commands (listings, requests, quick find, clients,
// agenda, services).

#include <QIcon>
#include <QPixmap>

namespace tavo {

enum class Icona { Annunci = 0, Richieste = 1, TrovaVeloce = 2, Clienti = 3, Agenda = 4, Servizi = 5 };

QPixmap tessellaSfondo();
QPixmap logoPredefinito();
QIcon icona(Icona quale);
// The lock of the searches' button "Mantieni aperta alla prossima esecuzione".
QIcon iconaLucchetto();
QPixmap immagineIcona(Icona quale, int lato);

} // namespace tavo
