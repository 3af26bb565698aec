#include "listings/navigatorerecord.h"

#include "data/memtable/memtable.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

TNavigatoreRecord::TNavigatoreRecord(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    const struct
    {
        const char *nome;
        QStyle::StandardPixmap icona;
        const char *suggerimento;
    } pulsanti[] = {
        {"ButtonPrimo", QStyle::SP_MediaSkipBackward, "Primo"},
        {"ButtonPrecedente", QStyle::SP_MediaSeekBackward, "Precedente"},
        {"ButtonSuccessivo", QStyle::SP_MediaSeekForward, "Successivo"},
        {"ButtonUltimo", QStyle::SP_MediaSkipForward, "Ultimo"},
    };
    m_posizione = new QLabel(this);
    m_posizione->setObjectName(QStringLiteral("LabelPosizione"));
    m_posizione->setAlignment(Qt::AlignCenter);
    m_posizione->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000 di 000")) + 12);
    for (int i = 0; i < 4; ++i) {
        auto *b = new QToolButton(this);
        b->setObjectName(QLatin1String(pulsanti[i].nome));
        b->setIcon(style()->standardIcon(pulsanti[i].icona));
        b->setToolTip(QString::fromUtf8(pulsanti[i].suggerimento));
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this, [this, i] { vai(i); });
        m_pulsanti[i] = b;
        if (i == 2)
            layout->addWidget(m_posizione);
        layout->addWidget(b);
    }
    layout->addStretch(1);
    aggiorna();
}

void TNavigatoreRecord::impostaTabella(tavo::TMemTable *tabella)
{
    if (m_tabella)
        disconnect(m_tabella, nullptr, this, nullptr);
    m_tabella = tabella;
    if (tabella) {
        for (auto segnale : {&tavo::TMemTable::currentChanged, &tavo::TMemTable::tableReset})
            connect(tabella, segnale, this, &TNavigatoreRecord::aggiorna);
        connect(tabella, &tavo::TMemTable::rowInserted, this, &TNavigatoreRecord::aggiorna);
        connect(tabella, &tavo::TMemTable::rowRemoved, this, &TNavigatoreRecord::aggiorna);
    }
    aggiorna();
}

QString TNavigatoreRecord::testo() const
{
    return m_posizione->text();
}

void TNavigatoreRecord::aggiorna()
{
    const bool aperta = m_tabella && m_tabella->isOpen() && m_tabella->state() == tavo::TMemTable::State::Browse;
    const int n = aperta ? m_tabella->recordCount() : 0;
    const int corrente = aperta ? m_tabella->recNo() : 0;
    m_posizione->setText(n > 0 ? QStringLiteral("%1 di %2").arg(corrente).arg(n) : QString());
    m_pulsanti[0]->setEnabled(n > 0 && corrente > 1);
    m_pulsanti[1]->setEnabled(n > 0 && corrente > 1);
    m_pulsanti[2]->setEnabled(n > 0 && corrente < n);
    m_pulsanti[3]->setEnabled(n > 0 && corrente < n);
}

void TNavigatoreRecord::vai(int comando)
{
    if (!m_tabella || !m_tabella->isOpen() || m_tabella->state() != tavo::TMemTable::State::Browse)
        return;
    switch (comando) {
    case 0:
        m_tabella->first();
        break;
    case 1:
        m_tabella->prior();
        if (m_tabella->bof())
            m_tabella->first();
        break;
    case 2:
        m_tabella->next();
        if (m_tabella->eof())
            m_tabella->last();
        break;
    default:
        m_tabella->last();
        break;
    }
    aggiorna();
}
