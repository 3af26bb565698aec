#include "listings/filtroannunci.h"

#include "data/testo/win1252.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>

#include <cmath>

namespace tavo {

namespace {

const QString Sezione = QStringLiteral("Ricerca Annunci");

// The keys of the parameter file, in the order they are written.
const char *const ChiaveCliente = "Cliente";
const char *const ChiaveComune = "Comune";
const char *const ChiaveTipImmobile = "Tipologia Immobili";
const char *const ChiaveTipAnnuncio = "Tipologia Annunci";
const char *const ChiaveLocalita = "Località";
const char *const ChiaveRiferimento = "Riferimento";
const char *const ChiavePrezzoMin = "Prezzo Min";
const char *const ChiavePrezzoMax = "Prezzo Max";
const char *const ChiaveMqMin = "Mq Min";
const char *const ChiaveMqMax = "Mq Max";
const char *const ChiaveLocaliMin = "Locali Min";
const char *const ChiaveLocaliMax = "Locali Max";
const char *const ChiaveInattivi = "Inattivi";
const char *const ChiavePriorita = "Priorità";

QString chiave(const char *testo)
{
    return QString::fromUtf8(testo);
}

// A number of the panel without its fraction, as a plain integer of any size.
QString intero(double valore)
{
    return QString::number(std::trunc(valore), 'f', 0);
}

void aggiungi(QString &espressione, const QString &termine)
{
    if (!espressione.isEmpty())
        espressione += QLatin1String(" and ");
    espressione += termine;
}

// The numbers as the user's locale writes them, without grouping, as many digits as a double holds.
QString testoNumero(double valore)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(valore, 'g', 15);
}

// A number written by this program on this machine (user's locale) or on another (C or Italian); 0 otherwise.
double leggiNumero(const QString &testo)
{
    const QString t = testo.trimmed();
    if (t.isEmpty())
        return 0;
    bool ok = false;
    double v = QLocale().toDouble(t, &ok);
    if (!ok)
        v = QLocale::c().toDouble(t, &ok);
    if (!ok)
        v = QLocale(QLocale::Italian, QLocale::Italy).toDouble(t, &ok);
    return ok && std::isfinite(v) ? v : 0;
}

int leggiIntero(const QString &testo, int predefinito)
{
    bool ok = false;
    const int v = testo.trimmed().toInt(&ok);
    return ok ? v : predefinito;
}

// Bytes of a text file: UTF-8 when they are valid UTF-8 (a byte order mark is dropped), else Windows-1252.
QString decodifica(const QByteArray &byte)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString testo = utf8.decode(byte);
    if (!utf8.hasError())
        return testo.startsWith(QChar(0xFEFF)) ? testo.mid(1) : testo;
    return fromWin1252(byte);
}

// The values of one section of an INI text, keys in upper case. A value loses the blanks around it and one pair
// of enclosing double quotes, as the system's profile routines do.
QHash<QString, QString> leggiSezione(const QString &testo, const QString &sezione)
{
    QHash<QString, QString> valori;
    bool dentro = false;
    const QStringList righe = testo.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    for (const QString &r : righe) {
        const QString riga = r.trimmed();
        if (riga.isEmpty() || riga.startsWith(QLatin1Char(';')))
            continue;
        if (riga.startsWith(QLatin1Char('[')) && riga.endsWith(QLatin1Char(']'))) {
            dentro = riga.mid(1, riga.size() - 2).trimmed().compare(sezione, Qt::CaseInsensitive) == 0;
            continue;
        }
        const int uguale = riga.indexOf(QLatin1Char('='));
        if (!dentro || uguale <= 0)
            continue;
        const QString nome = riga.left(uguale).trimmed().toUpper();
        QString valore = riga.mid(uguale + 1).trimmed();
        if (valore.size() >= 2 && valore.startsWith(QLatin1Char('"')) && valore.endsWith(QLatin1Char('"')))
            valore = valore.mid(1, valore.size() - 2);
        if (!valori.contains(nome)) // the first occurrence wins, as with the system's routines
            valori.insert(nome, valore);
    }
    return valori;
}

} // namespace

bool ParametriFiltroAnnunci::operator==(const ParametriFiltroAnnunci &o) const
{
    return idCliente == o.idCliente && cliente == o.cliente && comune == o.comune && tipImmobile == o.tipImmobile &&
           tipAnnuncio == o.tipAnnuncio && localita == o.localita && riferimento == o.riferimento &&
           prezzoMin == o.prezzoMin && prezzoMax == o.prezzoMax && mqMin == o.mqMin && mqMax == o.mqMax &&
           localiMin == o.localiMin && localiMax == o.localiMax && stato == o.stato && priorita == o.priorita;
}

QStringList vociStatoAnnunci()
{
    return {QStringLiteral("Attivi"), QStringLiteral("Inattivi"), QStringLiteral("Tutti")};
}

QStringList vociPriorita()
{
    return {QStringLiteral("Non Pubblicare"), QStringLiteral("Minima"), QStringLiteral("Bassa"),
            QStringLiteral("Normale"),        QStringLiteral("Alta"),   QStringLiteral("Massima"),
            QStringLiteral("Pubblicabili")};
}

QString testoQuotato(const QString &testo)
{
    QString t = testo;
    t.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + t + QLatin1Char('\'');
}

QString espressioneFiltroAnnunci(const ParametriFiltroAnnunci &p)
{
    QString e;
    auto testo = [&e](const QString &valore, const char *colonna) {
        if (!valore.trimmed().isEmpty())
            aggiungi(e, QLatin1String(colonna) + QLatin1Char('=') + testoQuotato(valore));
    };
    auto numero = [&e](double valore, const char *colonna, const char *confronto) {
        if (valore > 0)
            aggiungi(e, QLatin1String(colonna) + QLatin1String(confronto) + intero(valore));
    };
    if (p.idCliente != 0)
        aggiungi(e, QStringLiteral("ID_CLIENTE=%1").arg(p.idCliente));
    testo(p.comune, "COMUNE");
    testo(p.tipImmobile, "TIPOLOGIA_IMMOBILE");
    testo(p.tipAnnuncio, "TIPOLOGIA_ANNUNCIO");
    testo(p.localita, "LOCALITA");
    numero(p.prezzoMin, "PREZZO", ">=");
    numero(p.prezzoMax, "PREZZO", "<=");
    testo(p.riferimento, "RIFERIMENTO");
    numero(p.mqMin, "MQ", ">=");
    numero(p.mqMax, "MQ", "<=");
    numero(p.localiMin, "NR_LOCALI", ">=");
    numero(p.localiMax, "NR_LOCALI", "<=");
    if (p.stato == ParametriFiltroAnnunci::Attivi)
        aggiungi(e, QStringLiteral("ELIMINATO='N'"));
    else if (p.stato == ParametriFiltroAnnunci::Inattivi)
        aggiungi(e, QStringLiteral("ELIMINATO='S'"));
    if (p.priorita == ParametriFiltroAnnunci::Pubblicabili)
        aggiungi(e, QStringLiteral("PRIORITA>0"));
    else if (p.priorita >= 0 && p.priorita < ParametriFiltroAnnunci::Pubblicabili)
        aggiungi(e, QStringLiteral("PRIORITA=%1").arg(p.priorita));
    return e;
}

QString idIncrociInElenco(const QString &idIncroci)
{
    QStringList ids;
    for (const QString &riga : idIncroci.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")))) {
        if (!riga.trimmed().isEmpty())
            ids << riga.trimmed();
    }
    return ids.join(QLatin1Char(','));
}

bool scriviParametriFiltro(const QString &file, const ParametriFiltroAnnunci &p, QString *errore)
{
    QString testo = QLatin1Char('[') + Sezione + QLatin1String("]\r\n");
    auto riga = [&testo](const char *nome, const QString &valore) {
        testo += chiave(nome) + QLatin1Char('=') + valore + QLatin1String("\r\n");
    };
    // A value on one line: a line break in a text would start a line of its own.
    auto unaRiga = [](QString t) {
        return t.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    };
    riga(ChiaveCliente, unaRiga(p.cliente));
    riga(ChiaveComune, unaRiga(p.comune));
    riga(ChiaveTipImmobile, unaRiga(p.tipImmobile));
    riga(ChiaveTipAnnuncio, unaRiga(p.tipAnnuncio));
    riga(ChiaveLocalita, unaRiga(p.localita));
    riga(ChiaveRiferimento, unaRiga(p.riferimento));
    riga(ChiavePrezzoMin, testoNumero(p.prezzoMin));
    riga(ChiavePrezzoMax, testoNumero(p.prezzoMax));
    riga(ChiaveMqMin, testoNumero(p.mqMin));
    riga(ChiaveMqMax, testoNumero(p.mqMax));
    riga(ChiaveLocaliMin, testoNumero(p.localiMin));
    riga(ChiaveLocaliMax, testoNumero(p.localiMax));
    riga(ChiaveInattivi, QString::number(p.stato));
    riga(ChiavePriorita, QString::number(p.priorita));

    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly) || f.write(toWin1252(testo)) < 0 || !f.commit()) {
        if (errore)
            *errore = QStringLiteral("Impossibile salvare il file \"%1\":\n%2").arg(file, f.errorString());
        return false;
    }
    return true;
}

bool leggiParametriFiltro(const QString &file, ParametriFiltroAnnunci &p, QString *errore)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        if (errore)
            *errore = QStringLiteral("Impossibile leggere il file \"%1\":\n%2").arg(file, f.errorString());
        return false;
    }
    const QHash<QString, QString> v = leggiSezione(decodifica(f.readAll()), Sezione);
    auto testo = [&v](const char *nome) { return v.value(chiave(nome).toUpper()); };

    ParametriFiltroAnnunci letti;
    letti.cliente = testo(ChiaveCliente);
    letti.comune = testo(ChiaveComune);
    letti.tipImmobile = testo(ChiaveTipImmobile);
    letti.tipAnnuncio = testo(ChiaveTipAnnuncio);
    letti.localita = testo(ChiaveLocalita);
    letti.riferimento = testo(ChiaveRiferimento);
    letti.prezzoMin = leggiNumero(testo(ChiavePrezzoMin));
    letti.prezzoMax = leggiNumero(testo(ChiavePrezzoMax));
    letti.mqMin = leggiNumero(testo(ChiaveMqMin));
    letti.mqMax = leggiNumero(testo(ChiaveMqMax));
    letti.localiMin = leggiNumero(testo(ChiaveLocaliMin));
    letti.localiMax = leggiNumero(testo(ChiaveLocaliMax));
    letti.stato = leggiIntero(testo(ChiaveInattivi), ParametriFiltroAnnunci::Attivi);
    if (letti.stato < ParametriFiltroAnnunci::Attivi || letti.stato > ParametriFiltroAnnunci::Tutti)
        letti.stato = ParametriFiltroAnnunci::StatoNessuno;
    letti.priorita = leggiIntero(testo(ChiavePriorita), ParametriFiltroAnnunci::PrioritaNessuna);
    if (letti.priorita < 0 || letti.priorita > ParametriFiltroAnnunci::Pubblicabili)
        letti.priorita = ParametriFiltroAnnunci::PrioritaNessuna;
    p = letti;
    return true;
}

} // namespace tavo
