#include "clients/clientisimili.h"

#include <QBrush>

#include <algorithm>

namespace tavo {

const QColor TModelloClientiSimili::ColoreProprietario(18, 138, 255);
const QColor TModelloClientiSimili::ColoreProprietarioSelezionato(0, 255, 255);

namespace {
const char *const CampiGriglia[][2] = {
    {"DESCR", "Cognome e Nome o Ragione Sociale"},
    {"TELEFONO1", "Telefono 1"},
    {"TELEFONO2", "Telefono 2"},
    {"TELEFONO3", "Telefono 3"},
    {"FAX", "Fax"},
    {"EMAIL", "EMail"},
    {"INDIRIZZO", "Indirizzo"},
    {"CAP", "CAP"},
    {"CITTA", "Città"},
    {"PROV", "Prov."},
    {"PARTITA_IVA", "Partita IVA"},
    {"CODICE_FISCALE", "Cod. Fiscale"},
    {"REFERENTE", "Referente"},
    {"SITO_WEB", "Stiro Web"},
    {"PROPRIETARIO", "Proprietario"},
    {"NOTE", "Note"},
};
constexpr int NumeroColonne = int(sizeof CampiGriglia / sizeof CampiGriglia[0]);
const int ColonnaNote = NumeroColonne - 1;
} // namespace

TModelloClientiSimili::TModelloClientiSimili(QObject *parent) : QAbstractTableModel(parent) {}

QStringList TModelloClientiSimili::Campi()
{
    QStringList campi;
    for (const auto &c : CampiGriglia)
        campi << QLatin1String(c[0]);
    return campi;
}

QStringList TModelloClientiSimili::Titoli()
{
    QStringList titoli;
    for (const auto &c : CampiGriglia)
        titoli << QString::fromUtf8(c[1]);
    return titoli;
}

int TModelloClientiSimili::ColonnaDelCampo(const QString &campo)
{
    return Campi().indexOf(campo);
}

void TModelloClientiSimili::Apri(db::Query &q, const FiltriSimili &filtri)
{
    const QStringList campi = Campi();
    QVector<Riga> righe;
    q.setSql(QStringList{QStringLiteral("select * from CLIENTI"), QStringLiteral("order by DESCR,EMAIL")});
    q.exec();
    while (q.next()) {
        Riga r;
        for (const QString &campo : campi)
            r.valori << q.text(campo);
        if (!filtri.Accetta(r.valori.at(0), r.valori.at(1), r.valori.at(2), r.valori.at(3), r.valori.at(5)))
            continue;
        r.id = q.integer(QStringLiteral("ID_CLIENTE"));
        r.proprietario = r.valori.at(campi.indexOf(QStringLiteral("PROPRIETARIO"))) == QLatin1String("S");
        r.posizione = righe.size();
        righe.append(r);
    }
    q.close();
    beginResetModel();
    m_righe = righe;
    applicaOrdinamento();
    endResetModel();
}

void TModelloClientiSimili::sort(int column, Qt::SortOrder order)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList prima = persistentIndexList();
    QVector<int> posizioni; // query order of each persistent index's row
    for (const QModelIndex &i : prima)
        posizioni << m_righe.at(i.row()).posizione;
    m_colonna = column >= 0 && column < NumeroColonne ? column : -1;
    m_verso = order;
    applicaOrdinamento();
    QVector<int> rigaDi(m_righe.size());
    for (int r = 0; r < m_righe.size(); ++r)
        rigaDi[m_righe.at(r).posizione] = r;
    QModelIndexList dopo;
    for (int k = 0; k < prima.size(); ++k)
        dopo << index(rigaDi.at(posizioni.at(k)), prima.at(k).column());
    changePersistentIndexList(prima, dopo);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TModelloClientiSimili::applicaOrdinamento()
{
    const int c = m_colonna;
    const bool discendente = m_verso == Qt::DescendingOrder;
    std::stable_sort(m_righe.begin(), m_righe.end(), [&](const Riga &a, const Riga &b) {
        if (c < 0)
            return a.posizione < b.posizione;
        const int confronto = a.valori.at(c).compare(b.valori.at(c), Qt::CaseInsensitive);
        return discendente ? confronto > 0 : confronto < 0;
    });
}

QString TModelloClientiSimili::valore(int riga, const QString &campo) const
{
    const int c = ColonnaDelCampo(campo);
    if (riga < 0 || riga >= m_righe.size() || c < 0)
        return QString();
    return m_righe.at(riga).valori.at(c);
}

int TModelloClientiSimili::idCliente(int riga) const
{
    return riga >= 0 && riga < m_righe.size() ? m_righe.at(riga).id : 0;
}

int TModelloClientiSimili::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_righe.size());
}

int TModelloClientiSimili::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : NumeroColonne;
}

QVariant TModelloClientiSimili::data(const QModelIndex &index, int role) const
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

QVariant TModelloClientiSimili::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= NumeroColonne)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromUtf8(CampiGriglia[section][1]);
    case TMemTableModel::ColumnNameRole:
        return QLatin1String(CampiGriglia[section][0]);
    default:
        return {};
    }
}

} // namespace tavo
