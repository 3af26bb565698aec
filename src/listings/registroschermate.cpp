#include "listings/registroschermate.h"

#include "app/frmMain.h"

#include <QAbstractButton>
#include <QHash>

namespace tavo {

namespace {

QHash<QString, FabbricaSchermata> &registro()
{
    static QHash<QString, FabbricaSchermata> fabbriche;
    return fabbriche;
}

} // namespace

void registraSchermata(const QString &classe, FabbricaSchermata fabbrica)
{
    if (fabbrica)
        registro().insert(classe, std::move(fabbrica));
    else
        registro().remove(classe);
}

void registraSchermataPredefinita(const QString &classe, FabbricaSchermata fabbrica)
{
    if (!registro().contains(classe))
        registraSchermata(classe, std::move(fabbrica));
}

bool schermataRegistrata(const QString &classe)
{
    return registro().contains(classe);
}

FabbricaSchermata fabbricaSchermata(const QString &classe)
{
    return registro().value(classe);
}

QWidget *apriSceltaCliente()
{
    const QString classe = QStringLiteral("TFormRicercaClienti");
    const FabbricaSchermata fabbrica = fabbricaSchermata(classe);
    if (!fabbrica || !TFormMain::istanza())
        return nullptr;
    QWidget *ricerca = TFormMain::istanza()->ApriFinestra(classe, fabbrica);
    if (auto *scegli = ricerca->findChild<QAbstractButton *>(QStringLiteral("ButtonCliente"))) {
        scegli->setProperty("tag", 1);
        scegli->setText(QStringLiteral("Scegli Cliente"));
    }
    return ricerca;
}

} // namespace tavo
