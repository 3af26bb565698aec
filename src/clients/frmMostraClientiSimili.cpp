#include "clients/frmMostraClientiSimili.h"

#include "app/frmMain.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

using tavo::TModelloClientiSimili;

TFormMostraClientiSimili::TFormMostraClientiSimili(QWidget *parent)
    : TFormBase(QStringLiteral("FormMostraClientiSimili"), parent), m_tr(TFormMain::istanza()->database()),
      m_query(m_tr)
{
    setupUi(this);
    setWindowTitle(QStringLiteral("Clienti Simili"));

    m_modello = new TModelloClientiSimili(this);
    DBGridClienti->setModel(m_modello);
    // Alternate rows in the info-tip colour.
    QPalette p = DBGridClienti->palette();
    p.setColor(QPalette::AlternateBase, p.color(QPalette::ToolTipBase));
    DBGridClienti->setPalette(p);
    // Owners in blue, cyan while selected; the notes column is drawn in the default way.
    auto proprietario = [this](int riga) {
        return m_modello->index(riga, 0).data(TModelloClientiSimili::ProprietarioRole).toBool();
    };
    DBGridClienti->impostaColoreTesto(
        [proprietario](int riga) { return proprietario(riga) ? TModelloClientiSimili::ColoreProprietario : QColor(); });
    DBGridClienti->impostaColoreTestoSelezionato([proprietario](int riga) {
        return proprietario(riga) ? TModelloClientiSimili::ColoreProprietarioSelezionato : QColor();
    });
    DBGridClienti->setItemDelegateForColumn(TModelloClientiSimili::ColonnaDelCampo(QStringLiteral("NOTE")),
                                            new QStyledItemDelegate(DBGridClienti));

    // A double click and Enter on the grid confirm, as the button does.
    auto *conferma = new QAction(QStringLiteral("Conferma"), this);
    conferma->setObjectName(QStringLiteral("AzioneConferma"));
    connect(conferma, &QAction::triggered, this, &TFormMostraClientiSimili::ButtonConfermaClick);
    DBGridClienti->impostaVoceDefault(conferma);

    connect(ButtonConferma, &QPushButton::clicked, this, &TFormMostraClientiSimili::ButtonConfermaClick);
    connect(ButtonAnnulla, &QPushButton::clicked, this, &TFormMostraClientiSimili::ButtonAnnullaClick);
}

void TFormMostraClientiSimili::ImpostaFiltriSimili(const QString &descr, const QString &telefono, const QString &email)
{
    m_filtri = tavo::FiltriSimili::Da(descr, telefono, email);
    m_modello->Apri(m_query, m_filtri);
    DBGridClienti->riapplicaOrdinamento();
    if (m_modello->rowCount() > 0)
        DBGridClienti->setCurrentIndex(m_modello->index(0, 0));
}

void TFormMostraClientiSimili::ButtonConfermaClick()
{
    const int riga = DBGridClienti->currentIndex().row();
    if (riga < 0 || riga >= m_modello->rowCount())
        return;
    QWidget *richiedente = FinestraRichiedente.data();
    if (!richiedente)
        richiedente = TFormMain::istanza()->finestraAperta(QStringLiteral("TFormNuovaRichiestaDaApptsuAnnuncio"));
    if (richiedente) {
        QList<QLabel *> etichette;
        for (const char *nome : {"LabelDescr", "LabelTelefoni", "LabelEmail"})
            if (auto *l = richiedente->findChild<QLabel *>(QLatin1String(nome)))
                etichette << l;
        tavo::ripristinaEtichette(etichette);
        const struct
        {
            const char *campo;
            const char *colonna;
        } copie[] = {{"EditDESCR", "DESCR"}, {"EditTELEFONO1", "TELEFONO1"}, {"EditEMAIL", "EMAIL"}};
        for (const auto &c : copie)
            if (auto *e = richiedente->findChild<QLineEdit *>(QLatin1String(c.campo)))
                e->setText(m_modello->valore(riga, QLatin1String(c.colonna)));
        // Last: the opener clears its chosen client whenever one of those fields changes.
        QMetaObject::invokeMethod(richiedente, "ImpostaClienteScelto", Qt::DirectConnection,
                                  Q_ARG(int, m_modello->idCliente(riga)));
    }
    finestra()->close();
}

void TFormMostraClientiSimili::ButtonAnnullaClick()
{
    finestra()->close();
}

void TFormMostraClientiSimili::keyPressEvent(QKeyEvent *event)
{
    // Enter anywhere in the window confirms.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & ~Qt::KeypadModifier)) {
        ButtonConfermaClick();
        return;
    }
    TFormBase::keyPressEvent(event);
}

void TFormMostraClientiSimili::FormShow()
{
    // The stored sort, hidden columns and widths; the sort is applied when the list is opened.
    DBGridClienti->ripristinaStato(this);
    DBGridClienti->riapplicaOrdinamento();
}

void TFormMostraClientiSimili::ripristinaStato()
{
    FormShow();
}

void TFormMostraClientiSimili::salvaStato() const
{
    DBGridClienti->salvaStato(this);
}
