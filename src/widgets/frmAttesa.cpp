#include "frmAttesa.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace tavo {

TFormAttesa::TFormAttesa(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("FormAttesa"));
    setModal(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(12);
    m_labelTesto = new QLabel(this);
    m_labelTesto->setObjectName(QStringLiteral("LabelTesto"));
    m_labelTesto->setAlignment(Qt::AlignCenter);
    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("ProgressBar"));
    m_progressBar->setTextVisible(false); // a smooth bar, no percentage
    m_progressBar->setMinimum(0);
    m_progressBar->setMaximum(0);
    layout->addWidget(m_labelTesto);
    layout->addWidget(m_progressBar);
    setMinimumWidth(360);
}

TFormAttesa::~TFormAttesa() { fine(); }

void TFormAttesa::inizio(const QString &caption, const QString &testo, int massimo)
{
    setWindowTitle(caption);
    m_labelTesto->setText(testo);
    m_progressBar->setMaximum(qMax(0, massimo));
    m_progressBar->setValue(0);
    if (!m_cursore) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_cursore = true;
    }
    adjustSize();
    centraSulGenitore();
    show();
    QApplication::processEvents();
    m_ultimiEventi.start();
}

void TFormAttesa::avanza()
{
    if (m_progressBar->value() < m_progressBar->maximum())
        m_progressBar->setValue(m_progressBar->value() + 1);
    constexpr qint64 IntervalloEventiMs = 40;
    if (!m_ultimiEventi.isValid() || m_ultimiEventi.elapsed() >= IntervalloEventiMs ||
        m_progressBar->value() == m_progressBar->maximum()) {
        QApplication::processEvents();
        m_ultimiEventi.start();
    }
}

void TFormAttesa::fine()
{
    hide();
    if (m_cursore) {
        QApplication::restoreOverrideCursor();
        m_cursore = false;
    }
}

void TFormAttesa::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFormAttesa::closeEvent(QCloseEvent *event) { event->ignore(); }

void TFormAttesa::centraSulGenitore()
{
    QRect area;
    if (QWidget *p = parentWidget())
        area = QRect(p->mapToGlobal(QPoint(0, 0)), p->size());
    else if (QScreen *s = QGuiApplication::primaryScreen())
        area = s->availableGeometry();
    if (!area.isValid())
        return;
    QRect r = frameGeometry();
    r.moveCenter(area.center());
    move(r.topLeft());
}

} // namespace tavo
