#include "UnitMsgBox.h"

#include "app/core/textutils.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>

namespace {

constexpr int kSinistraTesto = 70;
constexpr int kAltoTesto = 10;
constexpr int kSinistraIcona = 20;
constexpr int kDimensioneIcona = 32;
constexpr int kRigaPulsanti = 72; // distance of the button row from the bottom edge
constexpr int kLarghezzaMinimaPulsante = 70;
constexpr int kSpazioPulsanti = 10;

QIcon iconaPerTipo(int kind, const QStyle *style)
{
    switch (kind) {
    case 0: {
        const QIcon app = QApplication::windowIcon();
        return app.isNull() ? style->standardIcon(QStyle::SP_ComputerIcon) : app;
    }
    case 1:
    case 64:
        return style->standardIcon(QStyle::SP_MessageBoxInformation);
    case 2:
    case 48:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case 3:
    case 16:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case 4:
    case 32:
        return style->standardIcon(QStyle::SP_MessageBoxQuestion);
    case 5:
        return style->standardIcon(QStyle::SP_ComputerIcon);
    default:
        return QIcon();
    }
}

QScreen *schermoDi(QWidget *widget)
{
    if (widget && widget->screen())
        return widget->screen();
    return QGuiApplication::primaryScreen();
}

} // namespace

TFormMessage::TFormMessage(QWidget *centreOn, const QString &caption, const QString &message, const QString &buttons,
                           int kind)
    : QDialog(centreOn, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("FormMsgBox"));
    setModal(true);
    setWindowTitle(caption);

    const int nPulsanti = tavo::ContaCampi(buttons, QLatin1Char(';'));

    // 1. Starting size; room for the buttons.
    int larghezza = LarghezzaIniziale;
    int altezza = AltezzaIniziale;
    if (larghezza - 70 < 80 * nPulsanti)
        larghezza = 80 * nPulsanti + 80;

    // 2. The message, sized to its text, on as many lines as it has.
    m_labelMsg = new QLabel(this);
    m_labelMsg->setObjectName(QStringLiteral("LabelMsg"));
    m_labelMsg->setTextFormat(Qt::PlainText);
    m_labelMsg->setWordWrap(false);
    m_labelMsg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_labelMsg->setText(message);
    m_labelMsg->adjustSize();
    const QSize testo = m_labelMsg->size();
    if (larghezza < testo.width() + 70)
        larghezza = testo.width() + 80;
    if (altezza < testo.height() + 78)
        altezza = testo.height() + 85;
    if (QScreen *schermo = schermoDi(centreOn))
        altezza = std::min(altezza, schermo->availableGeometry().height());

    // 4. The buttons: widths first, since a row wider than the box widens it.
    QVector<int> larghezze;
    int riga = 0;
    for (int i = 1; i <= nPulsanti; ++i) {
        auto *pulsante = new QPushButton(tavo::EstraiCampo(i, buttons, QLatin1Char(';')), this);
        pulsante->setObjectName(QStringLiteral("ButtonMsg%1").arg(i));
        const int testoPulsante = pulsante->fontMetrics().horizontalAdvance(pulsante->text());
        const int w =
            testoPulsante > kLarghezzaMinimaPulsante ? testoPulsante + testoPulsante / 10 : kLarghezzaMinimaPulsante;
        larghezze.append(w);
        riga += w + kSpazioPulsanti;
        connect(pulsante, &QPushButton::clicked, this, [this, i] { ButtonMsgClick(i); });
        m_pulsanti.append(pulsante);
    }
    // Long labels would push the row past the edges: widen the box so that the centred row
    // keeps at least 10 pixels free on the left.
    if (larghezza < riga + 2 * kSpazioPulsanti)
        larghezza = riga + 2 * kSpazioPulsanti;

    setFixedSize(larghezza, altezza);
    m_labelMsg->setGeometry(kSinistraTesto, kAltoTesto, testo.width(), altezza - 78);

    int x = (larghezza - riga) / 2;
    const int y = altezza - kRigaPulsanti;
    for (int i = 0; i < m_pulsanti.size(); ++i) {
        m_pulsanti[i]->setGeometry(x, y, larghezze.at(i), AltezzaPulsante);
        x += larghezze.at(i) + kSpazioPulsanti;
    }
    if (!m_pulsanti.isEmpty()) {
        m_pulsanti.first()->setDefault(true);
        m_pulsanti.first()->setFocus();
    }

    // 3. The icon, centred in the part of the box above the button row.
    m_imageMsg = new QLabel(this);
    m_imageMsg->setObjectName(QStringLiteral("ImageMsg"));
    const QIcon icona = iconaPerTipo(kind, style());
    if (!icona.isNull())
        m_imageMsg->setPixmap(icona.pixmap(kDimensioneIcona, kDimensioneIcona));
    m_imageMsg->setGeometry(kSinistraIcona, std::max(0, (y - kDimensioneIcona) / 2), kDimensioneIcona,
                            kDimensioneIcona);

    posiziona(centreOn);
}

void TFormMessage::posiziona(QWidget *centreOn)
{
    QRect area;
    if (centreOn)
        area = centreOn->window()->frameGeometry();
    else if (QScreen *schermo = schermoDi(nullptr))
        area = schermo->availableGeometry();
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));
}

int TFormMessage::esegui()
{
    QApplication::beep();
    return exec();
}

void TFormMessage::reject()
{
    done(int(m_pulsanti.size()));
}

void TFormMessage::ButtonMsgClick(int numero)
{
    done(numero);
}

int MessaggioConPulsanti(QWidget *centreOn, const QString &caption, const QString &message, const QString &buttons,
                         int kind)
{
    TFormMessage box(centreOn, caption, message, buttons, kind);
    return box.esegui();
}
