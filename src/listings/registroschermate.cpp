#include "listings/registroschermate.h"

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

} // namespace tavo
