#pragma once
// TDataModuleQueryComposte: the shared data module of the match tables ("Incroci").
//
// It owns
//   - the two source queries, IBDataSetRichieste and IBDataSetAnnunci, held as lines with two slot lines each
//     that the openers overwrite (requests: filter line 3, sort line 4, by default "" and "order by
//     R.ID_RICHIESTA"; listings: filter line 14, sort line 15, both "" by default). The slots keep whatever was
//     written last;
//   - the two in-memory tables MemTableRichieste and MemTableAnnunci. Opening a closed table fills it from its
//     source query: every row with its matches (ID_INCROCI, N_INCROCI), its sends (N_INVII, DATA_ULT_INVIO) and,
//     for requests, its kinds, types and municipalities. Opening an open table does nothing; closing discards
//     the rows;
//   - one read-committed transaction for all its reads, ended after each operation.
//
// A filling reads what matching needs in a few set-oriented queries and computes both directions in memory
// (MetodoIncroci::Massivo, the default), or runs the per-row queries (MetodoIncroci::PerRiga, the exact
// reference). Both give the same tables. While filling, the table is detached from its grids (its update
// counter) and the progress goes to a ProgressoIncroci made by the factory, if one is set (the main window sets
// one that makes the wait window). Database errors are not caught: they leave open() as DbError, the table stays
// closed, the progress object has had fine(), the source query is closed and the grids are attached again.
//
// AggiornaRichiesta / AggiornaAnnuncio refresh one saved row with the per-row queries (one query beats loading
// everything for one row); they leave their single-row filter in the filter slot and an empty sort line.
// Everything runs on the thread that owns the module.

#include "data/database.h"
#include "data/incroci.h"
#include "data/incrociriferimento.h"
#include "data/memtable/memtable.h"
#include "data/progressoincroci.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <future>
#include <memory>
#include <vector>

class QTextStream;

namespace tavo {

// The value of ID_INCROCI in the match tables: the ids, whose text (each id followed by CR LF) is made only when the
// value is read as text (QVariant::toString()); a full table holds millions of ids.
struct IdIncroci
{
    QVector<int> ids;
    bool operator==(const IdIncroci &altro) const { return ids == altro.ids; }
};

enum class MetodoIncroci {
    Massivo, // a few set-oriented queries, matching in memory
    PerRiga, // the per-row queries (the reference)
};

// A source query: its text as lines (callers overwrite the slot lines), its ":NAME" parameters, and, once open,
// all its rows in memory with a cursor (open() reads to the end, so the row count is known at once).
// Duplicate column names (select * over a join) keep the first column of that name.
class TIBDataSet
{
public:
    explicit TIBDataSet(db::Transaction &tr);

    // The lines of the text. Changing them is allowed while closed; the next open() uses them.
    QStringList &SQL() { return m_righe; }
    const QStringList &SQL() const { return m_righe; }
    void setParam(const QString &nome, const QVariant &valore);
    // Only these columns are kept in memory (all when empty); reading another one is an error.
    void setCampiUsati(const QStringList &campi) { m_campiUsati = campi; }

    void open(); // does nothing when already open
    void close();
    bool isOpen() const { return m_aperto; }
    int recordCount() const { return int(m_valori.size()); }
    void first() { m_posizione = 0; }
    void next()
    {
        if (m_posizione < recordCount())
            ++m_posizione;
    }
    bool eof() const { return m_posizione >= recordCount(); }
    int recNo() const { return m_posizione; }

    bool hasField(const QString &nome) const { return fieldIndex(nome) >= 0; }
    int fieldIndex(const QString &nome) const; // -1 when absent
    // Value of a column in the current row (invalid QVariant for NULL); DbError when there is no current row or
    // no such column.
    QVariant value(const QString &nome) const;
    // The same by the column's index (fieldIndex), without checks: for loops over many rows.
    const QVariant &valueAt(int campo) const { return m_valori[size_t(m_posizione)].at(campo); }
    // Any row by number, without moving the cursor (several threads may read rows at once).
    const QVariant &valueAt(int riga, int campo) const { return m_valori[size_t(riga)].at(campo); }
    QVariant value(int riga, const QString &nome) const;

private:
    db::Transaction &m_tr;
    QStringList m_righe;
    QHash<QString, QVariant> m_parametri;
    QStringList m_campiUsati;
    QHash<QString, int> m_indici;
    std::vector<QVector<QVariant>> m_valori;
    int m_posizione = 0;
    bool m_aperto = false;
};

class TDataModuleQueryComposte : public QObject
{
    Q_OBJECT

public:
    static constexpr int RigaFiltroRichieste = 3;
    static constexpr int RigaOrdineRichieste = 4;
    static constexpr int RigaFiltroAnnunci = 14;
    static constexpr int RigaOrdineAnnunci = 15;

    // The module reads through the given connection, which must outlive it.
    explicit TDataModuleQueryComposte(db::Database &database, QObject *parent = nullptr);
    ~TDataModuleQueryComposte() override;

    TMemTable *MemTableRichieste() const { return m_memTableRichieste; }
    TMemTable *MemTableAnnunci() const { return m_memTableAnnunci; }
    TIBDataSet &IBDataSetRichieste() { return m_ibDataSetRichieste; }
    TIBDataSet &IBDataSetAnnunci() { return m_ibDataSetAnnunci; }
    // The default texts of the two source queries.
    static QStringList testoRichiestePredefinito();
    static QStringList testoAnnunciPredefinito();

    void setMetodo(MetodoIncroci metodo) { m_metodo = metodo; }
    MetodoIncroci metodo() const { return m_metodo; }

    // Makes the progress object of one filling (may return nullptr: no progress shown).
    using FabbricaProgresso = std::function<std::unique_ptr<ProgressoIncroci>()>;
    void setFabbricaProgresso(FabbricaProgresso fabbrica) { m_fabbricaProgresso = std::move(fabbrica); }

    // Fill the current row of the table (in insert or edit state, id already set) from the current row of the
    // source query (open, on a row), with the per-row queries.
    void CompilaRigaRichiesta();
    void CompilaRigaAnnuncio();
    // Recompute one saved row in its table (appended when missing). Nothing when the table is closed; a row
    // that no longer exists (or no longer passes the source query's joins) leaves the table unchanged.
    void AggiornaRichiesta(int idRichiesta);
    void AggiornaAnnuncio(int idAnnuncio);

    // The matches of values that are not (or not yet) stored, e.g. an editor's unsaved record: listing ids in
    // price order, request ids ascending. Massivo loads the other side's rows once per call.
    QVector<int> IncrociRichiesta(const incroci::ValoriRichiesta &valori,
                                  incroci::CollegamentiRichiesta collegamenti = incroci::CollegamentiRichiesta::DaValori,
                                  MetodoIncroci metodo = MetodoIncroci::Massivo);
    QVector<int> IncrociAnnuncio(const incroci::ValoriAnnuncio &valori, MetodoIncroci metodo = MetodoIncroci::Massivo);

    // ---- Texts of the tables ----
    // DESCR when not empty, else EMAIL when not empty, else the three phones joined by blanks, trimmed.
    static QString nomeCliente(const QVariant &descr, const QVariant &email, const QVariant &telefono1,
                               const QVariant &telefono2, const QVariant &telefono3);
    // PRIORITA as a word: 0 "Non Pubblicare" ... 5 "Massima"; any other value "".
    static QString testoPriorita(int priorita);
    // DESCR_ESPORTAZIONE: the description when its trimmed text has at most 100 characters, else its first 97
    // characters and "...".
    static QVariant descrizioneEsportazione(const QVariant &descrizione);
    // ID_INCROCI: each id followed by CR LF.
    static QString testoIdIncroci(const QVector<int> &ids);

private:
    void definisciTabelle();
    void MemTableRichiesteAfterOpen(TMemTable &table);
    void MemTableAnnunciAfterOpen(TMemTable &table);
    // Table column -> source column (-1: computed), for the current text of the source query, followed by the
    // source columns of `altri`.
    static QVector<int> mappaCampi(const TMemTable &table, const TIBDataSet &sorgente,
                                   const QHash<QString, QString> &rinomina, const QStringList &altri);
    // The table record of row `riga` of the source query.
    QVector<QVariant> recordRichiesta(const QVector<int> &mappa, int riga, const QVector<int> &incroci,
                                      const incroci::Invii &invii, const incroci::Riepiloghi &riepiloghi) const;
    QVector<QVariant> recordAnnuncio(const QVector<int> &mappa, int riga, const QVector<int> &incroci,
                                     const incroci::Invii &invii) const;
    QVector<int> mappaRichieste() const;
    QVector<int> mappaAnnunci() const;
    void scriviRecord(TMemTable &table, const QVector<QVariant> &record);
    // One saved row recomputed with the per-row queries (AggiornaRichiesta, AggiornaAnnuncio).
    void aggiornaRiga(TMemTable &table, TIBDataSet &sorgente, int rigaFiltro, int rigaOrdine, const QString &campoId,
                      int id, const std::function<void()> &compila);

    // Runs `letture` (the matching data of a filling) on a second attachment on another thread, so that the engine
    // reads it while this thread runs the source query; without a second attachment, on this one when asked for.
    template <typename Risultato>
    std::future<Risultato> avviaLetture(std::function<Risultato(db::Transaction &)> letture);

    db::Database &m_database;
    db::Transaction m_transazione;
    // The second attachment of the parallel reads, opened at the first filling (none when it could not be opened).
    std::unique_ptr<db::Database> m_attaccoLetture;
    bool m_attaccoLettureProvato = false;
    TIBDataSet m_ibDataSetRichieste;
    TIBDataSet m_ibDataSetAnnunci;
    TMemTable *m_memTableRichieste = nullptr;
    TMemTable *m_memTableAnnunci = nullptr;
    MetodoIncroci m_metodo = MetodoIncroci::Massivo;
    FabbricaProgresso m_fabbricaProgresso;
};

// The match tables as CSV for comparisons and scripts: header "TIPO,ID,N_INCROCI,N_INVII,DATA_ULT_INVIO,ID_INCROCI",
// one line per visible request (TIPO R) then per visible listing (TIPO A), in the tables' order; DATA_ULT_INVIO as
// "yyyy-MM-dd hh:mm:ss" or empty; ID_INCROCI's ids joined by "|". Lines end with "\n".
void scriviCsvIncroci(const TMemTable &richieste, const TMemTable &annunci, QTextStream &out);

} // namespace tavo

Q_DECLARE_METATYPE(tavo::IdIncroci)
