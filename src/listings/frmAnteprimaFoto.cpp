#include "listings/frmAnteprimaFoto.h"

#include "widgets/uiservice.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QTimer>

namespace {
// Thumbnails of 100 pixels, a 4-pixel frame around them.
const int Lato = 100;
const int Cornice = 4;
} // namespace

TFormAnteprimaFoto::TFormAnteprimaFoto(QWidget *parent) : TFormBase(QStringLiteral("FormAnteprimaFoto"), parent)
{
    setupUi(this);
    ThumbViewFoto->setWrapping(true);
    const int esterno = Lato + 2 * Cornice;
    ThumbViewFoto->setIconSize(QSize(esterno, esterno));
    // Room for the picture and two lines of title below it.
    ThumbViewFoto->setGridSize(QSize(esterno + 24, esterno + 2 * fontMetrics().height() + 8));
    ThumbViewFoto->setTextElideMode(Qt::ElideRight);

    TimerCaricamento = new QTimer(this);
    TimerCaricamento->setObjectName(QStringLiteral("TimerCaricamento"));
    TimerCaricamento->setSingleShot(true);
    TimerCaricamento->setInterval(100);
    connect(TimerCaricamento, &QTimer::timeout, this, &TFormAnteprimaFoto::TimerCaricamentoTimer);
    connect(ThumbViewFoto, &QListWidget::itemDoubleClicked, this, &TFormAnteprimaFoto::ThumbViewFotoDblClick);
}

QColor TFormAnteprimaFoto::coloreCornice(const tavo::FotoAnteprima &foto) const
{
    if (foto.principale)
        return colorePrincipale();
    if (foto.planimetria)
        return colorePlanimetria();
    return palette().color(QPalette::Window);
}

void TFormAnteprimaFoto::MostraFoto(const QString &riferimento, const QList<tavo::FotoAnteprima> &foto)
{
    setWindowTitle(QStringLiteral("Anteprima Foto dell'annuncio con riferimento \"") + riferimento + QLatin1Char('"'));
    m_foto = foto;
    // Drawn first, filled a moment later.
    TimerCaricamento->start();
}

void TFormAnteprimaFoto::MostraFoto(const QString &riferimento, const QStringList &percorsi)
{
    QList<tavo::FotoAnteprima> foto;
    for (const QString &p : percorsi)
        foto.append({p, QString(), false, false});
    MostraFoto(riferimento, foto);
}

void TFormAnteprimaFoto::MostraFotoRighe(const QString &riferimento, const QVariantList &righe)
{
    QList<tavo::FotoAnteprima> foto;
    for (const QVariant &r : righe) {
        const QVariantMap m = r.toMap();
        foto.append({m.value(QStringLiteral("PATH_IMAGE")).toString(), m.value(QStringLiteral("DIDASCALIA")).toString(),
                     m.value(QStringLiteral("PRINCIPALE")).toString() == QLatin1String("S"),
                     m.value(QStringLiteral("PLANIMETRIA")).toString() == QLatin1String("S")});
    }
    MostraFoto(riferimento, foto);
}

void TFormAnteprimaFoto::TimerCaricamentoTimer()
{
    ThumbViewFoto->clear();
    const int esterno = Lato + 2 * Cornice;
    for (const tavo::FotoAnteprima &f : std::as_const(m_foto)) {
        if (f.percorso.isEmpty() || !QFileInfo(f.percorso).isFile())
            continue;
        QImageReader lettore(f.percorso);
        lettore.setAutoTransform(true);
        const QSize originale = lettore.size();
        if (originale.isValid())
            lettore.setScaledSize(originale.scaled(Lato, Lato, Qt::KeepAspectRatio));
        QImage immagine = lettore.read();
        if (immagine.isNull())
            continue; // unreadable: skipped without a message
        if (immagine.width() > Lato || immagine.height() > Lato)
            immagine = immagine.scaled(Lato, Lato, Qt::KeepAspectRatio, Qt::SmoothTransformation);

        const QColor colore = coloreCornice(f);
        QPixmap miniatura(esterno, esterno);
        miniatura.fill(Qt::transparent);
        {
            QPainter p(&miniatura);
            const QRect quadro((esterno - immagine.width()) / 2 - Cornice, (esterno - immagine.height()) / 2 - Cornice,
                               immagine.width() + 2 * Cornice, immagine.height() + 2 * Cornice);
            p.fillRect(quadro, colore);
            p.drawImage(quadro.topLeft() + QPoint(Cornice, Cornice), immagine);
        }
        auto *voce = new QListWidgetItem(QIcon(miniatura), f.didascalia, ThumbViewFoto);
        voce->setData(RuoloPercorso, f.percorso);
        voce->setData(RuoloCornice, colore);
        voce->setToolTip(f.didascalia.isEmpty() ? f.percorso : f.didascalia);
        voce->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
}

void TFormAnteprimaFoto::ThumbViewFotoDblClick(QListWidgetItem *voce)
{
    if (!voce)
        return;
    const QString percorso = voce->data(RuoloPercorso).toString();
    if (QFileInfo(percorso).isFile())
        tavo::ui().apriFile(percorso);
}
