#include "listings/editnumero.h"

#include "data/memtable/valueformat.h"
#include "listings/datiannuncio.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

TEditNumero::TEditNumero(QWidget *parent) : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    aggiornaValidatore();
    connect(this, &QLineEdit::textEdited, this, &TEditNumero::testoModificato);
    mostra();
}

void TEditNumero::aggiornaValidatore()
{
    const QString segno = m_segno ? QStringLiteral("-?") : QString();
    // The currency form on show is not typed: it goes away with the focus.
    setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^") + segno + QStringLiteral("[0-9]*(,[0-9]*)?$")), this));
}

void TEditNumero::setSegno(bool segno)
{
    m_segno = segno;
    aggiornaValidatore();
}

void TEditNumero::setValuta(bool valuta)
{
    m_valuta = valuta;
    mostra();
}

double TEditNumero::valore() const
{
    return m_formattato ? m_valore : tavo::numeroDaTesto(text());
}

void TEditNumero::impostaValore(double valore)
{
    m_valore = valore;
    mostra();
}

void TEditNumero::testoModificato(const QString &testo)
{
    m_valore = tavo::numeroDaTesto(testo);
}

void TEditNumero::mostra()
{
    if (m_valuta && !hasFocus()) {
        // The formatted text does not pass the validator: set it with the validator out of the way.
        const QValidator *v = validator();
        setValidator(nullptr);
        setText(tavo::formatCurrency(m_valore));
        setValidator(v);
        m_formattato = true;
    } else {
        setText(tavo::testoNumero(m_valore));
        m_formattato = false;
    }
}

void TEditNumero::keyPressEvent(QKeyEvent *event)
{
    if (m_formattato) {
        // A key reaching the field before its focus event (a test, an accessibility tool): the plain form,
        // selected as a field entered with Tab is, so that typing replaces it.
        setText(tavo::testoNumero(m_valore));
        selectAll();
        m_formattato = false;
    }
    if (m_puntoInVirgola && event->text() == QLatin1String(".")) {
        QKeyEvent virgola(event->type(), Qt::Key_Comma, event->modifiers(), QStringLiteral(","));
        QLineEdit::keyPressEvent(&virgola);
        event->setAccepted(virgola.isAccepted());
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TEditNumero::focusInEvent(QFocusEvent *event)
{
    if (m_formattato) {
        setText(tavo::testoNumero(m_valore));
        m_formattato = false;
    }
    QLineEdit::focusInEvent(event);
}

void TEditNumero::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (m_valuta) {
        m_valore = tavo::numeroDaTesto(text());
        mostra();
    }
}
