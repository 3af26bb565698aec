#pragma once
// The application object: an error raised in any handler (database, network, mail, file) is
// caught here, at the event loop, and shown with its text; the program goes on.

#include <QApplication>

namespace tavo {

class TavoApplication : public QApplication
{
    Q_OBJECT
public:
    TavoApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;

    // Shows an error caught at the event loop, titled with the active window's caption.
    static void mostraErrore(const QString &testo);
};

} // namespace tavo
