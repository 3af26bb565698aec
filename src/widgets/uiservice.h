#pragma once
// The one service through which the program talks to the user and the desktop: message boxes,
// questions, the buttons dialog, file dialogs, opening files and addresses, and handing a message
// to the mail program. Screens never call QMessageBox or QFileDialog themselves; tests install a
// scripted service (tests/support) that answers in their place and records what was shown.

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;

namespace tavo {

// A message handed to the user's mail program (the compose window opens; nothing is sent).
struct MessaggioPosta
{
    struct Destinatario
    {
        QString nome;
        QString indirizzo;
    };
    QList<Destinatario> destinatari;
    QString oggetto;
    QString testo;
    QStringList allegati;
};

class UiService
{
public:
    enum class Icona { Nessuna, Informazione, Avviso, Errore, Domanda };

    virtual ~UiService() = default;

    // A message with an OK button, titled with the caption of the window that shows it.
    virtual void messaggio(QWidget *parent, const QString &titolo, const QString &testo, Icona icona);
    // A question; returns the button pressed (Cancel/No/Escape as the box decides when closed).
    virtual QMessageBox::StandardButton domanda(QWidget *parent, const QString &titolo, const QString &testo,
                                                QMessageBox::StandardButtons pulsanti,
                                                QMessageBox::StandardButton predefinito, Icona icona);
    // A dialog with the caller's buttons; returns the number (from 1) of the button pressed.
    // Used for the ";"-separated labels of MessaggioConPulsanti and for the task dialogs.
    virtual int pulsanti(QWidget *parent, const QString &titolo, const QString &testo, const QStringList &etichette,
                         int tipo);
    // Save and open dialogs; the filter uses Qt's form ("HTML (*.htm);;Tutti i file (*)").
    // An empty result means cancelled.
    virtual QString fileDaSalvare(QWidget *parent, const QString &titolo, const QString &proposto,
                                  const QString &filtro, const QString &estensione);
    virtual QString fileDaAprire(QWidget *parent, const QString &titolo, const QString &cartella,
                                 const QString &filtro);
    virtual QStringList fileDaAprireMultipli(QWidget *parent, const QString &titolo, const QString &cartella,
                                             const QString &filtro);
    // Opens a file with its associated program, an address in the browser, a folder in the file
    // manager with the file selected. Each returns false when the desktop refused.
    virtual bool apriFile(const QString &percorso);
    virtual bool apriIndirizzo(const QUrl &indirizzo);
    virtual bool mostraNellaCartella(const QString &percorso);
    // Hands a message to the user's mail program (xdg-email, else a mailto: address).
    virtual bool inviaAlProgrammaDiPosta(const MessaggioPosta &messaggio);
};

// The service in use (the desktop one unless a test installed its own).
UiService &ui();
// Installs a service (ownership stays with the caller); nullptr goes back to the desktop one.
void impostaUiService(UiService *servizio);

// The mailto: address for a message, as handed to the mail program when xdg-email is missing.
QUrl indirizzoMailto(const MessaggioPosta &messaggio);

} // namespace tavo
