#pragma once
// The list of clients that the client grids show (the client search and the similar-clients picker), as a table
// model for the shared search grid, without widgets.
//
// Columns, in order: DESCR, TELEFONO1, TELEFONO2, TELEFONO3, FAX, EMAIL, INDIRIZZO, CAP, CITTA, PROV, PARTITA_IVA,
// CODICE_FISCALE, REFERENTE, SITO_WEB, PROPRIETARIO, NOTE, with the titles each screen gives; each title carries its
// field name in TMemTableModel::ColumnNameRole. Owners' cells (PROPRIETARIO = "S") are blue, the notes column
// excepted; the notes show on one line. How the rows are read and ordered is the subclass's.

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>
#include <QVector>

namespace tavo {

class TModelloElencoClienti : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Ruolo {
        IdClienteRole = Qt::UserRole + 1, // data(): the row's ID_CLIENTE
        ProprietarioRole,                 // data(): the cell is drawn in the owners' colours
    };

    static const QColor ColoreProprietario;            // RGB (18, 138, 255)
    static const QColor ColoreProprietarioSelezionato; // RGB (0, 255, 255)

    static QStringList Campi();
    static int ColonnaDelCampo(const QString &campo); // -1 when unknown (case ignored)

    struct Riga
    {
        int id = 0;
        int telXSms = 0;
        bool proprietario = false;
        QStringList valori; // one per column, NULL read as empty
        int posizione = 0;  // order of reading
    };
    // A row from its column values (in the order of Campi()): the owner flag is derived from PROPRIETARIO.
    static Riga nuovaRiga(int id, QStringList valori);
    const Riga &riga(int r) const { return m_righe.at(r); }
    QString valore(int riga, const QString &campo) const;
    int idCliente(int riga) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    // titoli: one per column of Campi().
    TModelloElencoClienti(const QStringList &titoli, QObject *parent);

    QVector<Riga> m_righe;

private:
    QStringList m_titoli;
};

} // namespace tavo
