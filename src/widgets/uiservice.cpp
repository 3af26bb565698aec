#include "widgets/uiservice.h"

#include "widgets/UnitMsgBox.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrlQuery>

namespace tavo {

namespace {
QMessageBox::Icon iconaBox(UiService::Icona icona)
{
    switch (icona) {
    case UiService::Icona::Informazione:
        return QMessageBox::Information;
    case UiService::Icona::Avviso:
        return QMessageBox::Warning;
    case UiService::Icona::Errore:
        return QMessageBox::Critical;
    case UiService::Icona::Domanda:
        return QMessageBox::Question;
    case UiService::Icona::Nessuna:
        break;
    }
    return QMessageBox::NoIcon;
}

void traduciPulsanti(QMessageBox &box)
{
    const struct {
        QMessageBox::StandardButton pulsante;
        const char *testo;
    } testi[] = {{QMessageBox::Yes, "&Sì"}, {QMessageBox::No, "&No"}, {QMessageBox::Cancel, "Annulla"},
                 {QMessageBox::Ok, "OK"}};
    for (const auto &t : testi)
        if (QAbstractButton *b = box.button(t.pulsante))
            b->setText(QString::fromUtf8(t.testo));
}

UiService *&servizioCorrente()
{
    static UiService *s = nullptr;
    return s;
}
} // namespace

void UiService::messaggio(QWidget *parent, const QString &titolo, const QString &testo, Icona icona)
{
    QMessageBox box(iconaBox(icona), titolo, testo, QMessageBox::Ok, parent);
    traduciPulsanti(box);
    box.exec();
}

QMessageBox::StandardButton UiService::domanda(QWidget *parent, const QString &titolo, const QString &testo,
                                               QMessageBox::StandardButtons pulsanti,
                                               QMessageBox::StandardButton predefinito, Icona icona)
{
    QMessageBox box(iconaBox(icona), titolo, testo, pulsanti, parent);
    box.setDefaultButton(predefinito);
    traduciPulsanti(box);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

int UiService::pulsanti(QWidget *parent, const QString &titolo, const QString &testo, const QStringList &etichette,
                        int tipo)
{
    return MessaggioConPulsanti(parent, titolo, testo, etichette.join(QLatin1Char(';')), tipo);
}

QString UiService::fileDaSalvare(QWidget *parent, const QString &titolo, const QString &proposto,
                                 const QString &filtro, const QString &estensione)
{
    QFileDialog dialog(parent, titolo, proposto, filtro);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(estensione.startsWith(QLatin1Char('.')) ? estensione.mid(1) : estensione);
    if (!proposto.isEmpty())
        dialog.selectFile(proposto);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QString UiService::fileDaAprire(QWidget *parent, const QString &titolo, const QString &cartella, const QString &filtro)
{
    return QFileDialog::getOpenFileName(parent, titolo, cartella, filtro);
}

QStringList UiService::fileDaAprireMultipli(QWidget *parent, const QString &titolo, const QString &cartella,
                                            const QString &filtro)
{
    return QFileDialog::getOpenFileNames(parent, titolo, cartella, filtro);
}

bool UiService::apriFile(const QString &percorso) { return QDesktopServices::openUrl(QUrl::fromLocalFile(percorso)); }

bool UiService::apriIndirizzo(const QUrl &indirizzo) { return QDesktopServices::openUrl(indirizzo); }

bool UiService::mostraNellaCartella(const QString &percorso)
{
    // The freedesktop file manager interface selects the file; without it, open the folder.
    const QString dbus = QStandardPaths::findExecutable(QStringLiteral("dbus-send"));
    if (!dbus.isEmpty()) {
        const int esito = QProcess::execute(
            dbus, {QStringLiteral("--session"), QStringLiteral("--dest=org.freedesktop.FileManager1"),
                   QStringLiteral("--type=method_call"), QStringLiteral("/org/freedesktop/FileManager1"),
                   QStringLiteral("org.freedesktop.FileManager1.ShowItems"),
                   QStringLiteral("array:string:") + QUrl::fromLocalFile(percorso).toString(), QStringLiteral("string:")});
        if (esito == 0)
            return true;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(percorso).absolutePath()));
}

QUrl indirizzoMailto(const MessaggioPosta &messaggio)
{
    QStringList indirizzi;
    for (const auto &d : messaggio.destinatari)
        indirizzi << d.indirizzo;
    QUrl url(QStringLiteral("mailto:") + indirizzi.join(QLatin1Char(',')));
    QUrlQuery query;
    if (!messaggio.oggetto.isEmpty())
        query.addQueryItem(QStringLiteral("subject"), QString::fromLatin1(QUrl::toPercentEncoding(messaggio.oggetto)));
    if (!messaggio.testo.isEmpty())
        query.addQueryItem(QStringLiteral("body"), QString::fromLatin1(QUrl::toPercentEncoding(messaggio.testo)));
    url.setQuery(query);
    return url;
}

bool UiService::inviaAlProgrammaDiPosta(const MessaggioPosta &messaggio)
{
    const QString xdg = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (!xdg.isEmpty()) {
        QStringList args;
        if (!messaggio.oggetto.isEmpty())
            args << QStringLiteral("--subject") << messaggio.oggetto;
        if (!messaggio.testo.isEmpty())
            args << QStringLiteral("--body") << messaggio.testo;
        for (const QString &a : messaggio.allegati)
            args << QStringLiteral("--attach") << a;
        for (const auto &d : messaggio.destinatari)
            args << (d.nome.isEmpty() ? d.indirizzo : QStringLiteral("%1 <%2>").arg(d.nome, d.indirizzo));
        return QProcess::startDetached(xdg, args);
    }
    return QDesktopServices::openUrl(indirizzoMailto(messaggio));
}

UiService &ui()
{
    static UiService desktop;
    return servizioCorrente() ? *servizioCorrente() : desktop;
}

void impostaUiService(UiService *servizio) { servizioCorrente() = servizio; }

} // namespace tavo
