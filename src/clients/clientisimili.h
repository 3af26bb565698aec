#pragma once
// The list of the similar-clients picker, without widgets: the clients that pass a FiltriSimili,
// in the order "order by DESCR,EMAIL" or sorted on one column, as a table model for the shared
// search grid (which runs the title-click cycle and paints the sort marker). Columns and owners'
// colours are those of every client list (elencoclienti.h), with this picker's own titles.

#include "clients/clienti.h"
#include "clients/elencoclienti.h"

#include <QStringList>
#include <QVector>

namespace tavo {

class TModelloClientiSimili : public TModelloElencoClienti
{
    Q_OBJECT
public:
    explicit TModelloClientiSimili(QObject *parent = nullptr);

    static QStringList Titoli();

    // Closes and reopens the list: "select * from CLIENTI" "order by DESCR,EMAIL", keeping only
    // the rows that pass the filter; the current sort is applied again.
    void Apri(db::Query &q, const FiltriSimili &filtri);

    // Sorts on a column, ignoring case; column -1 goes back to the order of the query. Rows keep
    // their persistent indexes, so the grid's current client stays current. The sort is applied
    // again by the next Apri.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int colonnaOrdinata() const { return m_colonna; }
    Qt::SortOrder verso() const { return m_verso; }

private:
    void applicaOrdinamento();

    int m_colonna = -1;
    Qt::SortOrder m_verso = Qt::AscendingOrder;
};

} // namespace tavo
