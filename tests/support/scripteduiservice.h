#pragma once
// A dialog service for tests: answers come from a script the test writes beforehand, and every
// message, question, dialog and desktop hand-over is recorded for the test to read.

#include "widgets/uiservice.h"

#include <QList>
#include <QQueue>
#include <QVariant>

#include <functional>

namespace tavo::test {

class ScriptedUiService : public UiService
{
public:
    struct Mostrato
    {
        QString tipo; // "messaggio", "domanda", "pulsanti", "salva", "apri"
        QString titolo;
        QString testo;
        QStringList pulsanti;
        Icona icona = Icona::Nessuna;
        int tipoPulsanti = 0;
    };

    ScriptedUiService();  // installs itself
    ~ScriptedUiService() override; // and goes away

    // Answers, used in order by the next questions and dialogs of any kind.
    void prossimaRisposta(QMessageBox::StandardButton risposta) { m_risposte.enqueue(int(risposta)); }
    void prossimoPulsante(int numero) { m_risposte.enqueue(numero); }
    void prossimoFile(const QString &file) { m_file.enqueue(file); }
    void prossimiFile(const QStringList &files) { m_elenchi.enqueue(files); }
    // Runs while the next message or question is shown (for checks at that moment).
    void allaProssimaDomanda(std::function<void()> f) { m_azioni.enqueue(std::move(f)); }

    QList<Mostrato> mostrati;
    QStringList fileAperti;
    QList<QUrl> indirizziAperti;
    QStringList cartelleMostrate;
    QList<MessaggioPosta> posta;
    // Dialog texts asked for without a scripted answer (a test may check this stays empty).
    QStringList senzaRisposta;
    // The name proposed by the last save dialog.
    QString ultimoProposto;

    const Mostrato &ultimo() const { return mostrati.last(); }
    int conta(const QString &tipo) const;

    void messaggio(QWidget *parent, const QString &titolo, const QString &testo, Icona icona) override;
    QMessageBox::StandardButton domanda(QWidget *parent, const QString &titolo, const QString &testo,
                                        QMessageBox::StandardButtons pulsanti, QMessageBox::StandardButton predefinito,
                                        Icona icona) override;
    int pulsanti(QWidget *parent, const QString &titolo, const QString &testo, const QStringList &etichette,
                 int tipo) override;
    QString fileDaSalvare(QWidget *parent, const QString &titolo, const QString &proposto, const QString &filtro,
                          const QString &estensione) override;
    QString fileDaAprire(QWidget *parent, const QString &titolo, const QString &cartella,
                         const QString &filtro) override;
    QStringList fileDaAprireMultipli(QWidget *parent, const QString &titolo, const QString &cartella,
                                     const QString &filtro) override;
    bool apriFile(const QString &percorso) override;
    bool apriIndirizzo(const QUrl &indirizzo) override;
    bool mostraNellaCartella(const QString &percorso) override;
    bool inviaAlProgrammaDiPosta(const MessaggioPosta &messaggio) override;

private:
    void eseguiAzione();
    QQueue<int> m_risposte;
    QQueue<QString> m_file;
    QQueue<QStringList> m_elenchi;
    QQueue<std::function<void()>> m_azioni;
};

// Runs f on the next modal dialog of type T once it is shown (for dialogs outside the service,
// such as the password dialog). Polls for up to five seconds.
void quandoAppare(const char *className, std::function<void(QWidget *)> f);

} // namespace tavo::test
