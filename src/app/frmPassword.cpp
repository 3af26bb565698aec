#include "app/frmPassword.h"

#include "ui_frmPassword.h"

#include <QGuiApplication>
#include <QScreen>

TFormPassword::TFormPassword(const QString &caption, const QString &atteso, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::TFormPassword>()), m_atteso(atteso)
{
    m_ui->setupUi(this);
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // Enter confirms (Conferma is the default button), Escape cancels (QDialog's own reject).
    connect(m_ui->ButtonConferma, &QPushButton::clicked, this, &TFormPassword::ButtonConfermaClick);
    connect(m_ui->ButtonAnnulla, &QPushButton::clicked, this, &TFormPassword::ButtonAnnullaClick);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TFormPassword::~TFormPassword() = default;

void TFormPassword::ButtonConfermaClick()
{
    if (m_ui->EditPassword->text().toLower() == m_atteso.toLower())
        accept();
    else
        reject(); // no second attempt
}

void TFormPassword::ButtonAnnullaClick() { reject(); }

bool TFormPassword::Verifica(const QString &caption, const QString &atteso, QWidget *parent)
{
    TFormPassword dialog(caption, atteso, parent);
    return dialog.exec() == QDialog::Accepted;
}
