#include "widgets/formbase.h"

#include "app/core/impostazioni.h"
#include "widgets/uiservice.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>

namespace tavo {

TFormBase::TFormBase(const QString &gruppo, QWidget *parent) : QWidget(parent), m_gruppo(gruppo)
{
    setObjectName(gruppo);
    setAttribute(Qt::WA_DeleteOnClose);
}

QWidget *TFormBase::finestra() const
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        return sub;
    return const_cast<TFormBase *>(this);
}

void TFormBase::salvaImpostazione(const QString &chiave, const QVariant &valore) const
{
    impostazioni(m_gruppo)->setValue(chiave, valore);
}

QVariant TFormBase::leggiImpostazione(const QString &chiave, const QVariant &predefinito) const
{
    return impostazioni(m_gruppo)->value(chiave, predefinito);
}

void TFormBase::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        finestra()->close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TFormBase::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_ripristinato)
        return;
    m_ripristinato = true;
    const QRect r = leggiImpostazione(QStringLiteral("Posizione")).toRect();
    if (r.isValid())
        finestra()->setGeometry(r);
    ripristinaStato();
}

void TFormBase::closeEvent(QCloseEvent *event)
{
    salvaImpostazione(QStringLiteral("Posizione"), finestra()->geometry());
    salvaStato();
    QWidget::closeEvent(event);
}

void TEditorBase::closeEvent(QCloseEvent *event)
{
    if (m_modificato && chiedeAllaChiusura()) {
        const auto risposta =
            ui().domanda(this, finestra()->windowTitle(), QStringLiteral("Campi modificati. Salvare i dati immessi?"),
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
                         UiService::Icona::Domanda);
        if (risposta == QMessageBox::Cancel || (risposta == QMessageBox::Yes && !salva())) {
            event->ignore();
            return;
        }
    }
    TFormBase::closeEvent(event);
}

void TEditorBase::osservaModifiche(const QList<QWidget *> &controlli)
{
    auto segna = [this] { m_modificato = true; };
    for (QWidget *w : controlli) {
        if (auto *e = qobject_cast<QLineEdit *>(w))
            connect(e, &QLineEdit::textEdited, this, segna);
        else if (auto *t = qobject_cast<QPlainTextEdit *>(w))
            connect(t, &QPlainTextEdit::textChanged, this, segna);
        else if (auto *x = qobject_cast<QTextEdit *>(w))
            connect(x, &QTextEdit::textChanged, this, segna);
        else if (auto *c = qobject_cast<QComboBox *>(w))
            connect(c, &QComboBox::currentIndexChanged, this, segna);
        else if (auto *b = qobject_cast<QCheckBox *>(w))
            connect(b, &QCheckBox::stateChanged, this, segna);
        else if (auto *s = qobject_cast<QSpinBox *>(w))
            connect(s, &QSpinBox::valueChanged, this, segna);
        else if (auto *d = qobject_cast<QDoubleSpinBox *>(w))
            connect(d, &QDoubleSpinBox::valueChanged, this, segna);
        else if (auto *dt = qobject_cast<QDateTimeEdit *>(w))
            connect(dt, &QDateTimeEdit::dateTimeChanged, this, segna);
    }
}

void rifiutaCampo(QLabel *etichetta, QWidget *campo)
{
    if (etichetta) {
        QPalette p = etichetta->palette();
        p.setColor(QPalette::WindowText, Qt::red);
        etichetta->setPalette(p);
    }
    if (campo)
        campo->setFocus(Qt::OtherFocusReason);
}

void ripristinaEtichette(const QList<QLabel *> &etichette)
{
    for (QLabel *l : etichette)
        l->setPalette(QPalette());
}

void abilita(const QList<QObject *> &controlli, bool attivo)
{
    for (QObject *o : controlli) {
        if (auto *a = qobject_cast<QAction *>(o))
            a->setEnabled(attivo);
        else if (auto *w = qobject_cast<QWidget *>(o))
            w->setEnabled(attivo);
    }
}

} // namespace tavo
