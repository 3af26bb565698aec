#pragma once
// The list of the similar-clients picker, without widgets: the clients that pass a FiltriSimili,
// in the order "order by DESCR,EMAIL" or sorted on one column, as a table model for the shared
// search grid (which runs the title-click cycle and paints the sort marker).
//
// Columns, in order: DESCR, TELEFONO1, TELEFONO2, TELEFONO3, FAX, EMAIL, INDIRIZZO, CAP, CITTA,
// PROV, PARTITA_IVA, CODICE_FISCALE, REFERENTE, SITO_WEB, PROPRIETARIO, NOTE; each title carries
// its field name in TMemTableModel::ColumnNameRole. Owners' rows (PROPRIETARIO = "S") have blue
// text, the notes column excepted.

#include "clients/clienti.h"
#include "data/memtable/memtablemodel.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>
#include <QVector>

namespace tavo {

class TModelloClientiSimili : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Ruolo {
        IdClienteRole = Qt::UserRole + 1, // data(): the row's ID_CLIENTE
        ProprietarioRole,                 // data(): the cell is drawn in the owners' colours
    };

    static const QColor ColoreProprietario;            // RGB (18, 138, 255)
    static const QColor ColoreProprietarioSelezionato; // RGB (0, 255, 255)

    explicit TModelloClientiSimili(QObject *parent = nullptr);

    static QStringList Campi();
    static QStringList Titoli();
    static int ColonnaDelCampo(const QString &campo); // -1 when unknown

    // Closes and reopens the list: "select * from CLIENTI" "order by DESCR,EMAIL", keeping only
    // the rows that pass the filter; the current sort is applied again.
    void Apri(db::Query &q, const FiltriSimili &filtri);

    // Sorts on a column, ignoring case; column -1 goes back to the order of the query. Rows keep
    // their persistent indexes, so the grid's current client stays current. The sort is applied
    // again by the next Apri.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    int colonnaOrdinata() const { return m_colonna; }
    Qt::SortOrder verso() const { return m_verso; }

    QString valore(int riga, const QString &campo) const;
    int idCliente(int riga) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Riga
    {
        QStringList valori; // one per column
        int id = 0;
        bool proprietario = false;
        int posizione = 0; // order of the query
    };
    void applicaOrdinamento();

    QVector<Riga> m_righe;
    int m_colonna = -1;
    Qt::SortOrder m_verso = Qt::AscendingOrder;
};

} // namespace tavo
