#pragma once
// The installation's configuration: Setup.ini beside the executable, read and never written,
// and the two folders the program keeps (the data folder and the photo folder).

#include <QHash>
#include <QString>

namespace tavo {

// A Windows-style INI file: "[Section]" lines, then "Key=Value" lines. Sections and keys are
// matched without regard to case; blank lines and lines starting with ";" or "#" are skipped.
class FileIni
{
public:
    bool carica(const QString &percorso); // false when the file cannot be read (defaults then apply)
    QString leggi(const QString &sezione, const QString &chiave, const QString &predefinito = QString()) const;
    int leggiIntero(const QString &sezione, const QString &chiave, int predefinito) const;

private:
    QHash<QString, QString> m_valori; // "SEZIONE\nCHIAVE" in upper case
};

struct Configurazione
{
    QString stringaDiConnessione;
    QString nomeUtente;
    QString password; // in clear, after decoding
    QString percorsoFoto;
    QString cartellaApplicazione;
    QString host;
    int porta = 10110;
    int timeOut = 300000;
    QString emailAssistenza;
    QString paginaServizi;
    QString servizioMappe; // address of the geocoding service
};

// The machine-wide data folder ("Tavo" in the machine-wide data directory, /var/lib/tavo), or the
// per-user one when the machine-wide one cannot be created or written. TAVO_CARTELLA_APPLICAZIONE
// overrides both.
QString cartellaApplicazionePredefinita();

// Reads Setup.ini in cartellaProgramma and works out the folders, creating them when missing
// (a failure to create them is not an error: the start-up goes on).
Configurazione leggiConfigurazione(const QString &cartellaProgramma);

} // namespace tavo
