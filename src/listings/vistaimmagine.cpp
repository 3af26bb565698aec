#include "listings/vistaimmagine.h"

#include "widgets/uiservice.h"

#include <QFileInfo>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>

TVistaImmagine::TVistaImmagine(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
}

void TVistaImmagine::svuota()
{
    m_file.clear();
    m_immagine = QImage();
    update();
}

void TVistaImmagine::mostraFile(const QString &percorso)
{
    svuota();
    m_file = percorso;
    if (percorso.isEmpty() || !QFileInfo(percorso).isFile())
        return;
    QImageReader lettore(percorso);
    lettore.setAutoTransform(true);
    m_immagine = lettore.read(); // null when it cannot be read: the view stays empty
    update();
}

double TVistaImmagine::scala() const
{
    if (m_immagine.isNull())
        return 0;
    const QRect area = contentsRect();
    if (m_immagine.width() > m_immagine.height())
        return double(area.width()) / m_immagine.width();
    return double(area.height()) / m_immagine.height();
}

void TVistaImmagine::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_immagine.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect area = contentsRect();
    const double s = scala();
    const QSizeF dimensione(m_immagine.width() * s, m_immagine.height() * s);
    // Centred in the view, clipped to it.
    const QRectF destinazione(area.left() + (area.width() - dimensione.width()) / 2,
                              area.top() + (area.height() - dimensione.height()) / 2, dimensione.width(),
                              dimensione.height());
    p.setClipRect(area);
    p.drawImage(destinazione, m_immagine);
}

void TVistaImmagine::mouseDoubleClickEvent(QMouseEvent *event)
{
    QFrame::mouseDoubleClickEvent(event);
    emit doppioClic();
    if (!m_file.isEmpty() && QFileInfo(m_file).isFile())
        tavo::ui().apriFile(m_file);
}
