#include "sysinfo.h"

#include "tavo_version.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <ctime>

#include <pwd.h>
#include <unistd.h>

namespace tavo {

quint32 tickCount()
{
#ifdef CLOCK_BOOTTIME
    // Counts also the time spent suspended, as the Windows tick count does.
    timespec ts{};
    if (clock_gettime(CLOCK_BOOTTIME, &ts) == 0)
        return static_cast<quint32>(quint64(ts.tv_sec) * 1000u + quint64(ts.tv_nsec) / 1000000u);
#endif
    QElapsedTimer timer;
    timer.start();
    return static_cast<quint32>(timer.msecsSinceReference());
}

namespace {

QString cartella(const QString &path)
{
    if (path.isEmpty())
        return QString();
    QString out = QDir::toNativeSeparators(QDir::cleanPath(path));
    if (!out.endsWith(QDir::separator()))
        out += QDir::separator();
    return out;
}

QString cartellaStandard(QStandardPaths::StandardLocation location)
{
    return cartella(QStandardPaths::writableLocation(location));
}

QString nomeUtente()
{
    QString nome = QString::fromLocal8Bit(qgetenv("USER"));
    if (nome.isEmpty()) {
        if (const passwd *pw = getpwuid(getuid()))
            nome = QString::fromLocal8Bit(pw->pw_name);
    }
    return nome.toUpper();
}

QString nuovoFileTemporaneo()
{
    const QString temp = cartellaStandard(QStandardPaths::TempLocation);
    QString nome;
    do {
        QThread::msleep(10);
        nome = temp + QLatin1Char('~') + QStringLiteral("%1").arg(tickCount(), 8, 16, QLatin1Char('0')).toUpper() +
               QLatin1String(".tmp");
    } while (QFileInfo::exists(nome));
    return nome;
}

QString percorsoEseguibile()
{
    if (QCoreApplication::instance())
        return QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

} // namespace

QString InfoSistema(int n)
{
    // Taken first: anything below may change errno.
    const int ultimoErrore = errno;
    switch (n) {
    case 0:
        return cartellaStandard(QStandardPaths::TempLocation);
    case 1:
        return cartella(QStringLiteral("/usr/lib"));
    case 2:
        return cartella(QStringLiteral("/usr"));
    case 3:
        return nomeUtente();
    case 4:
        return cartella(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                        QLatin1String("/autostart"));
    case 5:
        return QString();
    case 6:
        return QSysInfo::machineHostName().toUpper();
    case 7:
        return QString::fromLocal8Bit(std::strerror(ultimoErrore)).trimmed();
    case 8:
        return nuovoFileTemporaneo();
    case 9:
        return cartellaStandard(QStandardPaths::GenericDataLocation);
    case 10:
    case 13:
        return cartellaStandard(QStandardPaths::DesktopLocation);
    case 11:
        return cartellaStandard(QStandardPaths::ApplicationsLocation);
    case 12:
        return LeggiInfoVersione(QString(), QStringLiteral("FileVersion"));
    case 14:
        return cartellaStandard(QStandardPaths::DocumentsLocation);
    default:
        return QString();
    }
}

QString LeggiInfoVersione(const QString &file, const QString &valueName)
{
    if (!file.isEmpty()) {
        const QString richiesto = QFileInfo(file).canonicalFilePath();
        if (richiesto.isEmpty() || richiesto != percorsoEseguibile())
            return QString();
    }
    struct Valore
    {
        const char *nome;
        const char *testo;
    };
    static const Valore valori[] = {
        {"FileVersion", TAVO_FILE_VERSION},
        {"ProductVersion", TAVO_FILE_VERSION},
        {"ProductName", "Tavo Vuduvoveviv"},
        {"CompanyName", "Ramolfi"},
        {"FileDescription", "TAVO - Gestionale Agenzia Vuduvoveviv"},
        {"LegalCopyright", "Copyright \xC2\xA9 Ramolfi"},
    };
    for (const Valore &v : valori) {
        if (valueName.compare(QLatin1String(v.nome), Qt::CaseInsensitive) == 0)
            return QString::fromUtf8(v.testo);
    }
    return QString();
}

} // namespace tavo
