#include "app/core/configurazione.h"

#include "app/core/cifra.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

namespace tavo {

namespace {
QString chiaveIni(const QString &sezione, const QString &chiave)
{
    return sezione.trimmed().toUpper() + QLatin1Char('\n') + chiave.trimmed().toUpper();
}
} // namespace

bool FileIni::carica(const QString &percorso)
{
    m_valori.clear();
    QFile file(percorso);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QString sezione;
    const QByteArray content = file.readAll();
    // Setup.ini may come from a Windows machine: take UTF-8 when valid, else Latin-1.
    QString text = QString::fromUtf8(content);
    if (text.contains(QChar::ReplacementCharacter))
        text = QString::fromLatin1(content);
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            sezione = line.mid(1, line.size() - 2);
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        m_valori.insert(chiaveIni(sezione, line.left(eq)), line.mid(eq + 1).trimmed());
    }
    return true;
}

QString FileIni::leggi(const QString &sezione, const QString &chiave, const QString &predefinito) const
{
    return m_valori.value(chiaveIni(sezione, chiave), predefinito);
}

int FileIni::leggiIntero(const QString &sezione, const QString &chiave, int predefinito) const
{
    bool ok = false;
    const int n = leggi(sezione, chiave).toInt(&ok);
    return ok ? n : predefinito;
}

QString cartellaApplicazionePredefinita()
{
    const QString forzata = qEnvironmentVariable("TAVO_CARTELLA_APPLICAZIONE");
    if (!forzata.isEmpty())
        return forzata;
    const QString macchina = QStringLiteral("/var/lib/tavo");
    if (QDir().mkpath(macchina) && QFileInfo(macchina).isWritable())
        return macchina;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Tavo");
}

Configurazione leggiConfigurazione(const QString &cartellaProgramma)
{
    Configurazione c;
    c.cartellaApplicazione = cartellaApplicazionePredefinita();
    QDir().mkpath(c.cartellaApplicazione);
    QString candidatoFoto = c.cartellaApplicazione + QStringLiteral("/Foto");

    FileIni ini;
    ini.carica(QDir(cartellaProgramma).filePath(QStringLiteral("Setup.ini")));
    c.stringaDiConnessione = ini.leggi(QStringLiteral("DB"), QStringLiteral("StringaDiConnessione"),
                                       QDir(cartellaProgramma).filePath(QStringLiteral("Tavo.fdb")));
    // A connection string naming an existing file is a local database: its photos live beside it.
    const QFileInfo file(c.stringaDiConnessione);
    if (file.exists() && file.isFile())
        candidatoFoto = file.absolutePath() + QStringLiteral("/Foto");
    c.nomeUtente = ini.leggi(QStringLiteral("DB"), QStringLiteral("NomeUtente"), QStringLiteral("sysdba"));
    c.password = leggiPasswordCifrata(
        ini.leggi(QStringLiteral("DB"), QStringLiteral("Password"), QString::fromLatin1(PasswordPredefinitaCifrata)));
    c.percorsoFoto = ini.leggi(QStringLiteral("Percorsi"), QStringLiteral("Percorso Foto"), candidatoFoto);
    if (!QFileInfo(c.percorsoFoto).isDir())
        QDir().mkpath(c.percorsoFoto);

    c.host =
        ini.leggi(QStringLiteral("Connessione"), QStringLiteral("Host"), QStringLiteral("servizi.tavo-gestionale.it"));
    c.porta = ini.leggiIntero(QStringLiteral("Connessione"), QStringLiteral("Port"), 10110);
    c.timeOut = ini.leggiIntero(QStringLiteral("Connessione"), QStringLiteral("TimeOut"), 300000);
    c.emailAssistenza = ini.leggi(QStringLiteral("Connessione"), QStringLiteral("Email Assistenza"),
                                  QStringLiteral("assistenza@tavo-gestionale.it"));
    c.paginaServizi = ini.leggi(QStringLiteral("Connessione"), QStringLiteral("Pagina Servizi"),
                                QStringLiteral("https://www.tavo-gestionale.it/servizi"));
    c.servizioMappe = ini.leggi(QStringLiteral("Mappe"), QStringLiteral("Servizio"));
    return c;
}

} // namespace tavo
