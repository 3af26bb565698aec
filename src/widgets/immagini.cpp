#include "widgets/immagini.h"

#include <QPainter>
#include <QPainterPath>

namespace tavo {

namespace {
const QColor Verde(120, 140, 30);
const QColor VerdeScuro(70, 85, 20);
const QColor Crema(245, 240, 215);

void casa(QPainter &p, const QRectF &r, const QColor &muro, const QColor &tetto)
{
    const qreal w = r.width(), h = r.height();
    QPainterPath t;
    t.moveTo(r.left() + w * 0.05, r.top() + h * 0.48);
    t.lineTo(r.center().x(), r.top() + h * 0.08);
    t.lineTo(r.right() - w * 0.05, r.top() + h * 0.48);
    t.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(tetto);
    p.drawPath(t);
    p.setBrush(muro);
    p.drawRect(QRectF(r.left() + w * 0.18, r.top() + h * 0.46, w * 0.64, h * 0.46));
    p.setBrush(tetto.darker(130));
    p.drawRect(QRectF(r.left() + w * 0.43, r.top() + h * 0.64, w * 0.16, h * 0.28));
    p.setBrush(QColor(180, 215, 240));
    p.drawRect(QRectF(r.left() + w * 0.24, r.top() + h * 0.56, w * 0.13, h * 0.12));
    p.drawRect(QRectF(r.left() + w * 0.64, r.top() + h * 0.56, w * 0.13, h * 0.12));
}

void lente(QPainter &p, const QRectF &r, const QColor &c)
{
    p.setPen(QPen(c, r.width() * 0.1, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(QColor(220, 235, 250, 200));
    const QRectF vetro(r.left() + r.width() * 0.12, r.top() + r.height() * 0.12, r.width() * 0.5, r.height() * 0.5);
    p.drawEllipse(vetro);
    p.drawLine(QPointF(vetro.right() - r.width() * 0.04, vetro.bottom() - r.height() * 0.04),
               QPointF(r.right() - r.width() * 0.1, r.bottom() - r.height() * 0.1));
}
} // namespace

QPixmap tessellaSfondo()
{
    QPixmap tile(64, 64);
    tile.fill(QColor(194, 205, 149));
    QPainter p(&tile);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(184, 196, 138), 1));
    for (int i = -64; i < 128; i += 16)
        p.drawLine(i, 0, i + 64, 64);
    return tile;
}

QPixmap logoPredefinito()
{
    QPixmap logo(360, 150);
    logo.fill(Qt::transparent);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(VerdeScuro, 2));
    p.setBrush(QColor(250, 250, 238, 230));
    p.drawRoundedRect(QRectF(1, 1, 358, 148), 18, 18);
    casa(p, QRectF(16, 18, 110, 110), QColor(236, 200, 120), QColor(170, 60, 40));
    QFont f(QStringLiteral("DejaVu Sans"), 40, QFont::Bold);
    p.setFont(f);
    p.setPen(VerdeScuro);
    p.drawText(QRectF(136, 22, 214, 64), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tavo"));
    f.setPointSize(13);
    f.setBold(false);
    p.setFont(f);
    p.setPen(Verde.darker(120));
    p.drawText(QRectF(138, 84, 214, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vuduvoveviv"));
    p.drawText(QRectF(138, 106, 214, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Gestionale Agenzia"));
    return logo;
}

QPixmap immagineIcona(Icona quale, int lato)
{
    QPixmap pm(lato, lato);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, lato, lato);
    switch (quale) {
    case Icona::Annunci:
        casa(p, r, QColor(236, 200, 120), QColor(170, 60, 40));
        break;
    case Icona::Richieste:
        casa(p, r.adjusted(0, 0, -lato * 0.2, -lato * 0.2), QColor(220, 220, 200), QColor(120, 120, 110));
        lente(p, r.adjusted(lato * 0.3, lato * 0.3, 0, 0), VerdeScuro);
        break;
    case Icona::TrovaVeloce: {
        QPainterPath fulmine;
        fulmine.moveTo(lato * 0.58, lato * 0.04);
        fulmine.lineTo(lato * 0.22, lato * 0.55);
        fulmine.lineTo(lato * 0.48, lato * 0.55);
        fulmine.lineTo(lato * 0.38, lato * 0.96);
        fulmine.lineTo(lato * 0.80, lato * 0.40);
        fulmine.lineTo(lato * 0.54, lato * 0.40);
        fulmine.closeSubpath();
        p.setPen(QPen(QColor(150, 100, 0), lato * 0.03));
        p.setBrush(QColor(250, 200, 40));
        p.drawPath(fulmine);
        break;
    }
    case Icona::Clienti:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 100, 160));
        p.drawEllipse(QRectF(lato * 0.33, lato * 0.08, lato * 0.34, lato * 0.34));
        p.drawRoundedRect(QRectF(lato * 0.15, lato * 0.48, lato * 0.7, lato * 0.46), lato * 0.2, lato * 0.2);
        break;
    case Icona::Agenda: {
        p.setPen(QPen(VerdeScuro, lato * 0.04));
        p.setBrush(Crema);
        const QRectF foglio(lato * 0.1, lato * 0.16, lato * 0.8, lato * 0.74);
        p.drawRoundedRect(foglio, lato * 0.06, lato * 0.06);
        p.setBrush(QColor(170, 60, 40));
        p.drawRect(QRectF(foglio.left(), foglio.top(), foglio.width(), lato * 0.18));
        p.setPen(QPen(VerdeScuro, lato * 0.02));
        for (int i = 1; i < 4; ++i)
            p.drawLine(QPointF(foglio.left() + lato * 0.08, foglio.top() + lato * (0.18 + 0.14 * i)),
                       QPointF(foglio.right() - lato * 0.08, foglio.top() + lato * (0.18 + 0.14 * i)));
        break;
    }
    case Icona::Servizi:
        p.setPen(QPen(QColor(30, 90, 150), lato * 0.04));
        p.setBrush(QColor(170, 210, 240));
        p.drawEllipse(r.adjusted(lato * 0.08, lato * 0.08, -lato * 0.08, -lato * 0.08));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(r.adjusted(lato * 0.3, lato * 0.08, -lato * 0.3, -lato * 0.08));
        p.drawLine(QPointF(lato * 0.08, lato * 0.5), QPointF(lato * 0.92, lato * 0.5));
        break;
    }
    return pm;
}

QIcon icona(Icona quale)
{
    QIcon i;
    for (int lato : {16, 24, 32, 48, 64})
        i.addPixmap(immagineIcona(quale, lato));
    return i;
}

QIcon iconaLucchetto()
{
    QPixmap px(40, 40);
    px.fill(Qt::transparent);
    QPainter p(&px);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(90, 90, 90), 4));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(11, 4, 18, 22), 0, 180 * 16);
    p.drawLine(QPointF(11, 15), QPointF(11, 20));
    p.drawLine(QPointF(29, 15), QPointF(29, 20));
    p.setPen(QPen(QColor(120, 85, 10), 2));
    p.setBrush(QColor(225, 175, 40));
    p.drawRoundedRect(QRectF(6, 18, 28, 19), 3, 3);
    p.setBrush(QColor(90, 60, 0));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(17, 23, 6, 6));
    p.drawRect(QRectF(19, 27, 2, 6));
    return QIcon(px);
}

} // namespace tavo
