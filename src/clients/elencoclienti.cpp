#include "clients/elencoclienti.h"

#include "data/memtable/memtablemodel.h"

#include <QBrush>

namespace tavo {

const QColor TModelloElencoClienti::ColoreProprietario(18, 138, 255);
const QColor TModelloElencoClienti::ColoreProprietarioSelezionato(0, 255, 255);

namespace {

const char *const CampiGriglia[] = {"DESCR",    "TELEFONO1",   "TELEFONO2",      "TELEFONO3", "FAX",
                                    "EMAIL",    "INDIRIZZO",   "CAP",            "CITTA",     "PROV",
                                    "PARTITA_IVA", "CODICE_FISCALE", "REFERENTE", "SITO_WEB", "PROPRIETARIO",
                                    "NOTE"};
constexpr int NumeroColonne = int(sizeof CampiGriglia / sizeof CampiGriglia[0]);
const int ColonnaNote = NumeroColonne - 1;
const int ColonnaProprietario = NumeroColonne - 2;

} // namespace

TModelloElencoClienti::TModelloElencoClienti(const QStringList &titoli, QObject *parent)
    : QAbstractTableModel(parent), m_titoli(titoli)
{
    Q_ASSERT(m_titoli.size() == NumeroColonne);
}

QStringList TModelloElencoClienti::Campi()
{
    QStringList campi;
    for (const char *c : CampiGriglia)
        campi << QLatin1String(c);
    return campi;
}

int TModelloElencoClienti::ColonnaDelCampo(const QString &campo)
{
    for (int i = 0; i < NumeroColonne; ++i) {
        if (campo.compare(QLatin1String(CampiGriglia[i]), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

TModelloElencoClienti::Riga TModelloElencoClienti::nuovaRiga(int id, QStringList valori)
{
    Riga r;
    r.id = id;
    r.proprietario = valori.value(ColonnaProprietario) == QLatin1String("S");
    r.valori = std::move(valori);
    return r;
}

QString TModelloElencoClienti::valore(int riga, const QString &campo) const
{
    const int c = ColonnaDelCampo(campo);
    if (riga < 0 || riga >= m_righe.size() || c < 0)
        return QString();
    return m_righe.at(riga).valori.at(c);
}

int TModelloElencoClienti::idCliente(int riga) const
{
    return riga >= 0 && riga < m_righe.size() ? m_righe.at(riga).id : 0;
}

int TModelloElencoClienti::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_righe.size());
}

int TModelloElencoClienti::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : NumeroColonne;
}

QVariant TModelloElencoClienti::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_righe.size() || index.column() >= NumeroColonne)
        return {};
    const Riga &r = m_righe.at(index.row());
    switch (role) {
    case Qt::DisplayRole: {
        QString testo = r.valori.at(index.column());
        if (index.column() == ColonnaNote) // a memo on one grid line
            testo.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
        return testo;
    }
    case Qt::EditRole:
        return r.valori.at(index.column());
    case Qt::ForegroundRole:
        if (r.proprietario && index.column() != ColonnaNote)
            return QBrush(ColoreProprietario);
        return {};
    case IdClienteRole:
        return r.id;
    case ProprietarioRole:
        return r.proprietario && index.column() != ColonnaNote;
    default:
        return {};
    }
}

QVariant TModelloElencoClienti::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= NumeroColonne)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return m_titoli.at(section);
    case TMemTableModel::ColumnNameRole:
        return QLatin1String(CampiGriglia[section]);
    default:
        return {};
    }
}

} // namespace tavo
