#include "scripteduiservice.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace tavo::test {

ScriptedUiService::ScriptedUiService() { impostaUiService(this); }

ScriptedUiService::~ScriptedUiService() { impostaUiService(nullptr); }

int ScriptedUiService::conta(const QString &tipo) const
{
    int n = 0;
    for (const auto &m : mostrati)
        n += m.tipo == tipo;
    return n;
}

void ScriptedUiService::eseguiAzione()
{
    if (!m_azioni.isEmpty())
        m_azioni.dequeue()();
}

void ScriptedUiService::messaggio(QWidget *, const QString &titolo, const QString &testo, Icona icona)
{
    mostrati.append({QStringLiteral("messaggio"), titolo, testo, {}, icona, 0});
    eseguiAzione();
}

QMessageBox::StandardButton ScriptedUiService::domanda(QWidget *, const QString &titolo, const QString &testo,
                                                       QMessageBox::StandardButtons pulsanti,
                                                       QMessageBox::StandardButton predefinito, Icona icona)
{
    Mostrato m{QStringLiteral("domanda"), titolo, testo, {}, icona, int(pulsanti)};
    m.pulsanti << QString::number(int(predefinito));
    mostrati.append(m);
    eseguiAzione();
    if (m_risposte.isEmpty()) {
        senzaRisposta << testo;
        return (pulsanti & QMessageBox::Cancel) ? QMessageBox::Cancel : QMessageBox::No;
    }
    return static_cast<QMessageBox::StandardButton>(m_risposte.dequeue());
}

int ScriptedUiService::pulsanti(QWidget *, const QString &titolo, const QString &testo, const QStringList &etichette,
                                int tipo)
{
    mostrati.append({QStringLiteral("pulsanti"), titolo, testo, etichette, Icona::Nessuna, tipo});
    eseguiAzione();
    if (m_risposte.isEmpty()) {
        senzaRisposta << testo;
        return int(etichette.size()); // as closing the window: the last button
    }
    return m_risposte.dequeue();
}

QString ScriptedUiService::fileDaSalvare(QWidget *, const QString &titolo, const QString &proposto, const QString &filtro,
                                         const QString &estensione)
{
    mostrati.append({QStringLiteral("salva"), titolo, filtro, {estensione}, Icona::Nessuna, 0});
    ultimoProposto = proposto;
    if (m_file.isEmpty()) {
        senzaRisposta << titolo;
        return {};
    }
    return m_file.dequeue();
}

QString ScriptedUiService::fileDaAprire(QWidget *, const QString &titolo, const QString &cartella, const QString &filtro)
{
    mostrati.append({QStringLiteral("apri"), titolo, filtro, {cartella}, Icona::Nessuna, 0});
    if (m_file.isEmpty()) {
        senzaRisposta << titolo;
        return {};
    }
    return m_file.dequeue();
}

QStringList ScriptedUiService::fileDaAprireMultipli(QWidget *, const QString &titolo, const QString &cartella,
                                                    const QString &filtro)
{
    mostrati.append({QStringLiteral("apri"), titolo, filtro, {cartella}, Icona::Nessuna, 0});
    if (m_elenchi.isEmpty()) {
        senzaRisposta << titolo;
        return {};
    }
    return m_elenchi.dequeue();
}

bool ScriptedUiService::apriFile(const QString &percorso)
{
    fileAperti << percorso;
    return true;
}

bool ScriptedUiService::apriIndirizzo(const QUrl &indirizzo)
{
    indirizziAperti << indirizzo;
    return true;
}

bool ScriptedUiService::mostraNellaCartella(const QString &percorso)
{
    cartelleMostrate << percorso;
    return true;
}

bool ScriptedUiService::inviaAlProgrammaDiPosta(const MessaggioPosta &messaggio)
{
    posta << messaggio;
    return true;
}

void quandoAppare(const char *className, std::function<void(QWidget *)> f)
{
    auto *timer = new QTimer;
    auto tentativi = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, className, f, tentativi] {
        QWidget *w = QApplication::activeModalWidget();
        if (w && w->inherits(className) && w->isVisible()) {
            timer->stop();
            timer->deleteLater();
            f(w);
        } else if (++*tentativi > 500) {
            timer->stop();
            timer->deleteLater();
            qWarning("quandoAppare: %s never appeared", className);
        }
    });
    timer->start(10);
}

} // namespace tavo::test
