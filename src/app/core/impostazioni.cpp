#include "app/core/impostazioni.h"

namespace tavo {

namespace {
QString &fileDiProva()
{
    static QString f;
    return f;
}
} // namespace

std::unique_ptr<QSettings> impostazioni(const QString &gruppo)
{
    std::unique_ptr<QSettings> s;
    if (!fileDiProva().isEmpty())
        s = std::make_unique<QSettings>(fileDiProva(), QSettings::IniFormat);
    else
        s = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Ramolfi"),
                                        QStringLiteral("Tavo"));
    if (!gruppo.isEmpty())
        s->beginGroup(gruppo);
    return s;
}

void impostaFileImpostazioni(const QString &percorso)
{
    fileDiProva() = percorso;
}

} // namespace tavo
