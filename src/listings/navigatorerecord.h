#pragma once
// TNavigatoreRecord: the record navigator under the listing editor's photo and video grids: first, previous,
// "record n di m", next, last, over a TMemTable's cursor (the grid follows the cursor).

#include <QPointer>
#include <QWidget>

class QLabel;
class QToolButton;

namespace tavo {
class TMemTable;
}

class TNavigatoreRecord : public QWidget
{
    Q_OBJECT
public:
    explicit TNavigatoreRecord(QWidget *parent = nullptr);

    void impostaTabella(tavo::TMemTable *tabella);
    // Reads the cursor again (after the table was opened, closed or changed).
    void aggiorna();
    QString testo() const;

private:
    void vai(int comando);

    QPointer<tavo::TMemTable> m_tabella;
    QToolButton *m_pulsanti[4] = {};
    QLabel *m_posizione = nullptr;
};
