#include "clients/clientisimili.h"


#include <algorithm>

namespace tavo {

namespace {
const char *const TitoliGriglia[] = {
    "Cognome e Nome o Ragione Sociale", "Telefono 1", "Telefono 2", "Telefono 3", "Fax", "EMail", "Indirizzo", "CAP",
    "Città", "Prov.", "Partita IVA", "Cod. Fiscale", "Referente", "Stiro Web", "Proprietario", "Note"};
} // namespace

TModelloClientiSimili::TModelloClientiSimili(QObject *parent) : TModelloElencoClienti(Titoli(), parent) {}

QStringList TModelloClientiSimili::Titoli()
{
    QStringList titoli;
    for (const char *t : TitoliGriglia)
        titoli << QString::fromUtf8(t);
    return titoli;
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
        r = nuovaRiga(q.integer(QStringLiteral("ID_CLIENTE")), r.valori);
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
    m_colonna = column >= 0 && column < columnCount() ? column : -1;
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

} // namespace tavo
