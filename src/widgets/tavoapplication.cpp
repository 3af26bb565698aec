#include "widgets/tavoapplication.h"

#include "data/database.h"
#include "widgets/uiservice.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace tavo {

TavoApplication::TavoApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool TavoApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const db::DbError &e) {
        mostraErrore(e.message());
    } catch (const std::exception &e) {
        mostraErrore(QString::fromUtf8(e.what()));
    } catch (...) {
        mostraErrore(QStringLiteral("Errore imprevisto."));
    }
    return false;
}

void TavoApplication::mostraErrore(const QString &testo)
{
    QWidget *finestra = QApplication::activeWindow();
    QString titolo = finestra ? finestra->windowTitle() : QString();
    if (auto *mdi = finestra ? finestra->findChild<QMdiArea *>() : nullptr) {
        if (QMdiSubWindow *attiva = mdi->activeSubWindow())
            titolo = attiva->windowTitle();
    }
    ui().messaggio(finestra, titolo, testo, UiService::Icona::Errore);
}

} // namespace tavo
