// Tavo: the program's entry point. Everything else lives in the main window and the screens.

#include "app/frmMain.h"
#include "widgets/tavoapplication.h"

#include <QFile>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_segnale[2] = {-1, -1};

void suSegnale(int)
{
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_segnale[0], &c, 1);
}

// The database engine takes SIGTERM and SIGINT for itself once a database is open, and the
// program would then ignore a logout or a kill: they close the main window as the user would.
void chiudiSuSegnale(TFormMain &main)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_segnale) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_segnale[1], QSocketNotifier::Read, &main);
    QObject::connect(notifier, &QSocketNotifier::activated, &main, [&main, notifier] {
        char c;
        [[maybe_unused]] const auto n = ::read(g_segnale[1], &c, 1);
        notifier->setEnabled(false);
        main.close();
        QCoreApplication::quit();
    });
    struct sigaction sa = {};
    sa.sa_handler = suSegnale;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
}

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
    // Without TZ the C library looks at /etc/localtime again for every date it converts, which
    // dominates reading tens of thousands of rows.
    if (qEnvironmentVariableIsEmpty("TZ"))
        qputenv("TZ", ":/etc/localtime");
    tavo::TavoApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Ramolfi"));
    QCoreApplication::setApplicationName(QStringLiteral("Tavo"));

    TFormMain main;
    if (!main.Avvia())
        return 1;
    chiudiSuSegnale(main);
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
