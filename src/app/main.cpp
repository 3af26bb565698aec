// Tavo: the program's entry point. Everything else lives in the main window and the screens.

#include "app/frmMain.h"
#include "widgets/tavoapplication.h"

#include <QFile>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {
// Milliseconds since this process started (for the start-up benchmark).
double msDallAvvioDelProcesso()
{
    QFile stat(QStringLiteral("/proc/self/stat")), uptime(QStringLiteral("/proc/uptime"));
    if (!stat.open(QIODevice::ReadOnly) || !uptime.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray s = stat.readAll();
    const QList<QByteArray> campi = s.mid(s.lastIndexOf(')') + 2).split(' ');
    const double avvio = campi.value(19).toDouble() / double(sysconf(_SC_CLK_TCK));
    const double ora = uptime.readAll().split(' ').value(0).toDouble();
    return (ora - avvio) * 1000.0;
}
} // namespace

int main(int argc, char *argv[])
{
    tavo::TavoApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Ramolfi"));
    QCoreApplication::setApplicationName(QStringLiteral("Tavo"));

    TFormMain main;
    if (!main.Avvia())
        return 1;
    if (qEnvironmentVariableIsSet("TAVO_MISURA_AVVIO")) {
        // Benchmark: report when the window is shown and connected, then leave.
        QObject::connect(&main, &TFormMain::schermataIniziale, &app, [&] {
            std::printf("avvio_ms=%.0f\n", msDallAvvioDelProcesso());
            std::fflush(stdout);
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
        });
    }
    main.show();
    return app.exec();
}
