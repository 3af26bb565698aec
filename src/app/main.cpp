// Tavo: the program's entry point. Everything else lives in the main window and the screens.

#include "app/frmMain.h"
#include "widgets/tavoapplication.h"

int main(int argc, char *argv[])
{
    tavo::TavoApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Ramolfi"));
    QCoreApplication::setApplicationName(QStringLiteral("Tavo"));
    // The application's title, as the desktop shows it.
    QGuiApplication::setApplicationDisplayName(QStringLiteral("TAVO - Gestionale Agenzia Vuduvoveviv"));

    TFormMain main;
    if (!main.Avvia())
        return 1;
    main.show();
    return app.exec();
}
