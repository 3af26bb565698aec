#include "dmQueryComposte.h"

#include "data/incrocidb.h"
#include "data/memtable/valueformat.h"

#include <QTextStream>

#include <exception>
#include <thread>

namespace tavo {

using namespace incroci;

namespace {

const QString CaptionRichieste = QStringLiteral("Calcolo Incroci su Richieste");
const QString CaptionAnnunci = QStringLiteral("Calcolo Incroci su Annunci");
const QString TestoAttesa = QStringLiteral("Elaborazione in corso. Attendere, per favore...");

// fine() exactly once, also when the filling stops with an error.
class GuardiaProgresso
{
public:
    explicit GuardiaProgresso(std::unique_ptr<ProgressoIncroci> progresso) : m_progresso(std::move(progresso)) {}
    ~GuardiaProgresso()
    {
        if (!m_progresso)
            return;
        try {
            m_progresso->fine();
        } catch (...) {
            // The error that is already leaving (or the filling's result) matters more than this one.
        }
    }
    GuardiaProgresso(const GuardiaProgresso &) = delete;
    GuardiaProgresso &operator=(const GuardiaProgresso &) = delete;
    void inizio(const QString &caption, int massimo)
    {
        if (m_progresso)
            m_progresso->inizio(caption, TestoAttesa, massimo);
    }
    void avanza()
    {
        if (m_progresso)
            m_progresso->avanza();
    }

private:
    std::unique_ptr<ProgressoIncroci> m_progresso;
};

// The module's reads end with their operation: a commit when it went well, a rollback otherwise. A read
// transaction left open would hold back the server's garbage collection for the whole run.
class GuardiaTransazione
{
public:
    explicit GuardiaTransazione(db::Transaction &tr) : m_tr(tr) {}
    ~GuardiaTransazione()
    {
        if (!m_tr.isActive())
            return;
        try {
            m_tr.rollback();
        } catch (...) {
        }
    }
    GuardiaTransazione(const GuardiaTransazione &) = delete;
    GuardiaTransazione &operator=(const GuardiaTransazione &) = delete;
    void conferma()
    {
        if (m_tr.isActive())
            m_tr.commit();
    }

private:
    db::Transaction &m_tr;
};

class GuardiaDataSet
{
public:
    explicit GuardiaDataSet(TIBDataSet &ds) : m_ds(ds) {}
    ~GuardiaDataSet() { m_ds.close(); }
    GuardiaDataSet(const GuardiaDataSet &) = delete;
    GuardiaDataSet &operator=(const GuardiaDataSet &) = delete;

private:
    TIBDataSet &m_ds;
};

void impostaRiga(QStringList &righe, int indice, const QString &testo)
{
    while (righe.size() <= indice)
        righe.append(QString());
    righe[indice] = testo;
}

QVariant dataOVuoto(const QVariant &v)
{
    if (!v.isValid())
        return {};
    const QDateTime d = v.toDateTime();
    if (!d.isValid() || dataZero(d))
        return {};
    return d;
}

const QStringList CampiRichieste = {
    QStringLiteral("ID_RICHIESTA"),   QStringLiteral("ID_CLIENTE"),     QStringLiteral("DESCR"),
    QStringLiteral("EMAIL"),          QStringLiteral("TELEFONO1"),      QStringLiteral("TELEFONO2"),
    QStringLiteral("TELEFONO3"),      QStringLiteral("TEL_X_SMS"),      QStringLiteral("PREZZO_MIN"),
    QStringLiteral("PREZZO_MAX"),     QStringLiteral("MQ_MIN"),         QStringLiteral("MQ_MAX"),
    QStringLiteral("NR_LOCALI_MIN"),  QStringLiteral("NR_LOCALI_MAX"),  QStringLiteral("NR_SERVIZI_MIN"),
    QStringLiteral("NR_SERVIZI_MAX"), QStringLiteral("NR_CAMERE_MIN"),  QStringLiteral("NR_CAMERE_MAX"),
    QStringLiteral("LOCALITA"),       QStringLiteral("BOX_AUTO"),       QStringLiteral("BALCONE"),
    QStringLiteral("TERRAZZO"),       QStringLiteral("CANTINA"),        QStringLiteral("GIARDINO"),
    QStringLiteral("SPAZIO_APERTO"),  QStringLiteral("CONDIZIONI"),     QStringLiteral("ASCENSORE"),
    QStringLiteral("CONDIZIONATORE"), QStringLiteral("FONTE"),          QStringLiteral("DATA_ULT_MODIFICA"),
    QStringLiteral("NOTE"),
};

const QStringList CampiAnnunci = {
    QStringLiteral("ID_ANNUNCIO_IMMOBILE"), QStringLiteral("ID_CLIENTE"),           QStringLiteral("DESCR"),
    QStringLiteral("TELEFONO1"),            QStringLiteral("TELEFONO2"),            QStringLiteral("TELEFONO3"),
    QStringLiteral("EMAIL"),                QStringLiteral("ID_COMUNE"),            QStringLiteral("COMUNE"),
    QStringLiteral("ID_TIPOLOGIA_IMMOBILE"), QStringLiteral("TIPOLOGIA_IMMOBILE"),  QStringLiteral("ID_TIPOLOGIA_ANNUNCIO"),
    QStringLiteral("TIPOLOGIA_ANNUNCIO"),   QStringLiteral("RIFERIMENTO"),          QStringLiteral("PREZZO"),
    QStringLiteral("PRIORITA"),             QStringLiteral("SPESE_COND_MENSILI"),   QStringLiteral("NOTE_PREZZO"),
    QStringLiteral("MQ"),                   QStringLiteral("NR_LOCALI"),            QStringLiteral("NR_SERVIZI"),
    QStringLiteral("LOCALITA"),             QStringLiteral("FOTOSN"),               QStringLiteral("NR_CAMERE"),
    QStringLiteral("BOX_AUTO"),             QStringLiteral("MQ_BOX"),               QStringLiteral("BALCONE"),
    QStringLiteral("TERRAZZO"),             QStringLiteral("CANTINA"),              QStringLiteral("GIARDINO"),
    QStringLiteral("MQ_GIARDINO"),          QStringLiteral("CONDIZIONI"),           QStringLiteral("ASCENSORE"),
    QStringLiteral("CONDIZIONATORE"),       QStringLiteral("DESCRIZIONE"),          QStringLiteral("DATA_INSERIMENTO"),
    QStringLiteral("DATA_AGGIORNAMENTO"),   QStringLiteral("DESCRIZIONE_VETRINA"),  QStringLiteral("NOTE"),
    QStringLiteral("ELIMINATO"),
};

} // namespace

// ---- TIBDataSet -------------------------------------------------------------------------------------------------

TIBDataSet::TIBDataSet(db::Transaction &tr) : m_tr(tr) {}

void TIBDataSet::setParam(const QString &nome, const QVariant &valore) { m_parametri.insert(nome.toUpper(), valore); }

void TIBDataSet::open()
{
    if (m_aperto)
        return;
    db::Query q(m_tr);
    q.setSql(m_righe);
    for (auto it = m_parametri.cbegin(); it != m_parametri.cend(); ++it)
        q.setParam(it.key(), it.value());
    q.prepare();
    QHash<QString, int> indici;
    QVector<int> sorgenti; // query column of each kept column
    for (int i = 0; i < q.columnCount(); ++i) {
        const QString nome = q.columns().at(i).name;
        if (indici.contains(nome) || (!m_campiUsati.isEmpty() && !m_campiUsati.contains(nome)))
            continue;
        indici.insert(nome, int(sorgenti.size()));
        sorgenti.append(i);
    }
    std::vector<QVector<QVariant>> valori;
    q.exec();
    while (q.next()) {
        QVector<QVariant> riga(sorgenti.size());
        for (int k = 0; k < sorgenti.size(); ++k)
            riga[k] = q.value(sorgenti[k]);
        valori.push_back(std::move(riga));
    }
    m_indici = std::move(indici);
    m_valori = std::move(valori);
    m_posizione = 0;
    m_aperto = true;
}

void TIBDataSet::close()
{
    m_aperto = false;
    m_valori.clear();
    m_valori.shrink_to_fit();
    m_indici.clear();
    m_posizione = 0;
}

int TIBDataSet::fieldIndex(const QString &nome) const
{
    auto it = m_indici.constFind(nome);
    if (it == m_indici.constEnd())
        it = m_indici.constFind(nome.toUpper());
    return it == m_indici.constEnd() ? -1 : it.value();
}

QVariant TIBDataSet::value(const QString &nome) const { return value(m_posizione, nome); }

QVariant TIBDataSet::value(int riga, const QString &nome) const
{
    const int campo = fieldIndex(nome);
    if (campo < 0)
        throw db::DbError(QStringLiteral("Campo %1 non presente nella query.").arg(nome));
    if (riga < 0 || riga >= recordCount())
        throw db::DbError(QStringLiteral("Nessuna riga corrente nella query."));
    return m_valori[size_t(riga)].at(campo);
}

// ---- TDataModuleQueryComposte -----------------------------------------------------------------------------------

QStringList TDataModuleQueryComposte::testoRichiestePredefinito()
{
    return {
        QStringLiteral("select * from  RICHIESTE R"),
        QStringLiteral("join CLIENTI C on C.ID_CLIENTE=R.ID_CLIENTE"),
        QStringLiteral("where 0=0"),
        QString(),
        QStringLiteral("order by R.ID_RICHIESTA"),
    };
}

QStringList TDataModuleQueryComposte::testoAnnunciPredefinito()
{
    return {
        QStringLiteral("select  AI.id_annuncio_immobile, AI.id_cliente, CL.descr,CL.TELEFONO1,CL.TELEFONO2,"
                       "CL.TELEFONO3,CL.EMAIL,AI.ID_COMUNE, CO.NOME COMUNE,"),
        QStringLiteral("AI.id_tipologia_immobile, TI.descrizione TIPOLOGIA_IMMOBILE,"),
        QStringLiteral("AI.id_tipologia_annuncio, TA.descrizione TIPOLOGIA_ANNUNCIO,"),
        QStringLiteral("AI.riferimento, AI.prezzo, AI.priorita, AI.SPESE_COND_MENSILI,"),
        QStringLiteral("AI.note_prezzo, AI.mq, AI.nr_locali, AI.nr_servizi, AI.localita,"),
        QStringLiteral("AI.fotosn, AI.nr_camere, AI.box_auto, AI.mq_box,"),
        QStringLiteral("AI.balcone, AI.terrazzo, AI.cantina, AI.giardino, AI.mq_giardino,"),
        QStringLiteral("AI.condizioni, AI.ascensore, AI.condizionatore, AI.descrizione, AI.DATA_INSERIMENTO,"
                       "AI.DATA_AGGIORNAMENTO,AI.DESCRIZIONE_VETRINA,AI.NOTE,AI.ELIMINATO"),
        QStringLiteral("from annunci_immobili AI"),
        QStringLiteral("join clienti CL on CL.id_cliente=AI.id_cliente"),
        QStringLiteral("join comuni CO on CO.id_comune=AI.id_comune"),
        QStringLiteral("join tipologie_annunci TA on TA.id_tipologia_annuncio=AI.id_tipologia_annuncio"),
        QStringLiteral("join tipologie_immobili TI on TI.id_tipologia_immobile=AI.id_tipologia_immobile"),
        QStringLiteral("where 0=0"),
        QString(),
        QString(),
    };
}

TDataModuleQueryComposte::TDataModuleQueryComposte(db::Database &database, QObject *parent)
    : QObject(parent), m_database(database), m_transazione(database), m_ibDataSetRichieste(m_transazione),
      m_ibDataSetAnnunci(m_transazione)
{
    setObjectName(QStringLiteral("DataModuleQueryComposte"));
    static const bool convertitore = QMetaType::registerConverter<IdIncroci, QString>(
        [](const IdIncroci &valore) { return testoIdIncroci(valore.ids); });
    Q_UNUSED(convertitore);
    m_ibDataSetRichieste.SQL() = testoRichiestePredefinito();
    m_ibDataSetRichieste.setCampiUsati(CampiRichieste);
    m_ibDataSetAnnunci.SQL() = testoAnnunciPredefinito();
    m_ibDataSetAnnunci.setCampiUsati(CampiAnnunci);
    definisciTabelle();
}

TDataModuleQueryComposte::~TDataModuleQueryComposte() = default;

void TDataModuleQueryComposte::definisciTabelle()
{
    m_memTableRichieste = new TMemTable(QStringLiteral("MemTableRichieste"), this);
    m_memTableRichieste->setObjectName(QStringLiteral("MemTableRichieste"));
    TMemTable &r = *m_memTableRichieste;
    auto col = [](const char *nome, FieldType tipo, int dim = 0) { return TMemColumn(QLatin1String(nome), tipo, dim); };
    r.addColumn(col("ID_RICHIESTA", FieldType::Integer).setHidden().setRequired());
    r.addColumn(col("ID_CLIENTE", FieldType::Integer).setHidden());
    r.addColumn(col("CLIENTE", FieldType::Text, 128).setCaption(QStringLiteral("Cliente")));
    r.addColumn(col("CLIENTE_EMAIL", FieldType::Text, 128).setCaption(QStringLiteral("EMail Cliente")));
    r.addColumn(col("CLIENTE_TELSMS", FieldType::Text, 64).setCaption(QStringLiteral("Tel. x SMS")));
    r.addColumn(col("N_INCROCI", FieldType::Integer).setCaption(QStringLiteral("N° Incroci")));
    r.addColumn(col("N_INVII", FieldType::Integer).setCaption(QStringLiteral("N° Invii")));
    r.addColumn(col("DATA_ULT_INVIO", FieldType::DateTime).setCaption(QStringLiteral("Data Ult. Invio")));
    r.addColumn(col("TIPOLOGIE_ANNUNCIO", FieldType::Text, 64).setCaption(QStringLiteral("Tipologie Annuncio")));
    r.addColumn(col("TIPOLOGIE_IMMOBILE", FieldType::Memo).setCaption(QStringLiteral("Tipologie Immobile")));
    r.addColumn(col("COMUNI", FieldType::Memo).setCaption(QStringLiteral("Comuni")));
    r.addColumn(col("PREZZO_MIN", FieldType::Float).setCaption(QStringLiteral("Prezzo Min.")));
    r.addColumn(col("PREZZO_MAX", FieldType::Float).setCaption(QStringLiteral("Prezzo Max.")));
    r.addColumn(col("MQ_MIN", FieldType::Float).setCaption(QStringLiteral("Sup. MQ Min.")));
    r.addColumn(col("MQ_MAX", FieldType::Float).setCaption(QStringLiteral("Sup. MQ Max.")));
    r.addColumn(col("NR_LOCALI_MIN", FieldType::Integer).setCaption(QStringLiteral("N° Locali Min.")));
    r.addColumn(col("NR_LOCALI_MAX", FieldType::Integer).setCaption(QStringLiteral("N° Locali Max.")));
    r.addColumn(col("NR_SERVIZI_MIN", FieldType::Integer).setCaption(QStringLiteral("N° Servizi Min.")));
    r.addColumn(col("NR_SERVIZI_MAX", FieldType::Integer).setCaption(QStringLiteral("N° Servizi Max.")));
    r.addColumn(col("NR_CAMERE_MIN", FieldType::Integer).setCaption(QStringLiteral("N° Camere Min.")));
    r.addColumn(col("NR_CAMERE_MAX", FieldType::Integer).setCaption(QStringLiteral("N° Camere Max.")));
    r.addColumn(col("LOCALITA", FieldType::Text, 255));
    r.addColumn(col("BOX_AUTO", FieldType::Text, 20).setCaption(QStringLiteral("Box Auto")));
    r.addColumn(col("BALCONE", FieldType::Text, 1).setCaption(QStringLiteral("Balcone")));
    r.addColumn(col("TERRAZZO", FieldType::Text, 1).setCaption(QStringLiteral("Terrazzo")));
    r.addColumn(col("CANTINA", FieldType::Text, 1).setCaption(QStringLiteral("Cantina")));
    r.addColumn(col("GIARDINO", FieldType::Text, 1).setCaption(QStringLiteral("Giardino")));
    r.addColumn(col("SPAZIO_APERTO", FieldType::Text, 1));
    r.addColumn(col("CONDIZIONI", FieldType::Text, 20).setCaption(QStringLiteral("Condizioni")));
    r.addColumn(col("ASCENSORE", FieldType::Text, 1).setCaption(QStringLiteral("Ascensore")));
    r.addColumn(col("CONDIZIONATORE", FieldType::Text, 1).setCaption(QStringLiteral("Condizionatore")));
    r.addColumn(col("FONTE", FieldType::Text, 50));
    r.addColumn(col("ID_INCROCI", FieldType::Memo).setHidden());
    r.addColumn(col("DATA_ULT_MODIFICA", FieldType::DateTime).setCaption(QStringLiteral("Data Ult. Modifica")));
    r.addColumn(col("NOTE", FieldType::Memo));
    r.setOpenHandler([this](TMemTable &t) { MemTableRichiesteAfterOpen(t); });

    m_memTableAnnunci = new TMemTable(QStringLiteral("MemTableAnnunci"), this);
    m_memTableAnnunci->setObjectName(QStringLiteral("MemTableAnnunci"));
    TMemTable &a = *m_memTableAnnunci;
    a.addColumn(col("ID_ANNUNCIO_IMMOBILE", FieldType::Integer).setRequired());
    a.addColumn(col("ID_CLIENTE", FieldType::Integer).setRequired());
    a.addColumn(col("CLIENTE", FieldType::Text, 128).setCaption(QStringLiteral("Cliente")));
    a.addColumn(col("COMUNE", FieldType::Text, 128).setCaption(QStringLiteral("Comune")).setRequired());
    a.addColumn(col("N_INCROCI", FieldType::Integer).setCaption(QStringLiteral("N° Incroci")));
    a.addColumn(col("N_INVII", FieldType::Integer).setCaption(QStringLiteral("N° Invii")));
    a.addColumn(col("DATA_ULT_INVIO", FieldType::DateTime).setCaption(QStringLiteral("Data Ult. Invio")));
    a.addColumn(col("ID_TIPOLOGIA_IMMOBILE", FieldType::Integer).setRequired());
    a.addColumn(col("TIPOLOGIA_IMMOBILE", FieldType::Text, 255).setCaption(QStringLiteral("Tipol. Immobile")));
    a.addColumn(col("ID_TIPOLOGIA_ANNUNCIO", FieldType::Integer).setRequired());
    a.addColumn(col("TIPOLOGIA_ANNUNCIO", FieldType::Text, 255).setCaption(QStringLiteral("Tipol. Annuncio")));
    a.addColumn(col("RIFERIMENTO", FieldType::Text, 35).setCaption(QStringLiteral("Riferimento")).setRequired());
    a.addColumn(col("PRIORITA", FieldType::Integer)
                    .setCaption(QStringLiteral("Priorità"))
                    .setDisplay([](const QVariant &v) { return testoPriorita(v.toInt()); }));
    a.addColumn(col("PREZZO", FieldType::Float).setCaption(QStringLiteral("Prezzo")).setDisplay(currencyDisplay()));
    a.addColumn(col("NOTE_PREZZO", FieldType::Text, 50).setCaption(QStringLiteral("Note Prezzo")));
    a.addColumn(col("SPESE_COND_MENSILI", FieldType::Float)
                    .setCaption(QStringLiteral("Spese Cond."))
                    .setDisplay(currencyDisplay()));
    a.addColumn(col("MQ", FieldType::Float).setCaption(QStringLiteral("Super. MQ")));
    a.addColumn(col("NR_LOCALI", FieldType::Float).setCaption(QStringLiteral("N° Locali")));
    a.addColumn(col("NR_SERVIZI", FieldType::Float).setCaption(QStringLiteral("N° Servizi")));
    a.addColumn(col("NR_CAMERE", FieldType::Integer).setCaption(QStringLiteral("N° Camere")));
    a.addColumn(col("LOCALITA", FieldType::Text, 255).setCaption(QStringLiteral("Località")));
    a.addColumn(col("FOTOSN", FieldType::Text, 1).setCaption(QStringLiteral("Foto S/N")));
    a.addColumn(col("BOX_AUTO", FieldType::Text, 20).setCaption(QStringLiteral("Box Auto")));
    a.addColumn(col("MQ_BOX", FieldType::Float).setCaption(QStringLiteral("Box Mq.")));
    a.addColumn(col("BALCONE", FieldType::Text, 1).setCaption(QStringLiteral("Balcone")));
    a.addColumn(col("TERRAZZO", FieldType::Text, 1).setCaption(QStringLiteral("Terrazzo")));
    a.addColumn(col("CANTINA", FieldType::Text, 1).setCaption(QStringLiteral("Cantina")));
    a.addColumn(col("GIARDINO", FieldType::Text, 20).setCaption(QStringLiteral("Giardino")));
    a.addColumn(col("MQ_GIARDINO", FieldType::Float).setCaption(QStringLiteral("Giardino Mq.")));
    a.addColumn(col("CONDIZIONI", FieldType::Text, 20).setCaption(QStringLiteral("Condizioni")));
    a.addColumn(col("ASCENSORE", FieldType::Text, 1).setCaption(QStringLiteral("Ascensore")));
    a.addColumn(col("CONDIZIONATORE", FieldType::Text, 1).setCaption(QStringLiteral("Condizionatore")));
    a.addColumn(col("DESCRIZIONE", FieldType::Memo).setCaption(QStringLiteral("Descrizione")));
    a.addColumn(col("ID_INCROCI", FieldType::Memo).setHidden());
    a.addColumn(col("ELIMINATO", FieldType::Text, 1));
    a.addColumn(col("DATA_INSERIMENTO", FieldType::DateTime).setCaption(QStringLiteral("Data Inserimento")));
    a.addColumn(col("DATA_ULT_MODIFICA", FieldType::DateTime).setCaption(QStringLiteral("Data Ult. Modifica")));
    a.addColumn(col("DESCRIZIONE_VETRINA", FieldType::Memo).setCaption(QStringLiteral("Descrizione Vetrina")));
    a.addColumn(col("NOTE", FieldType::Memo).setCaption(QStringLiteral("Note")));
    const int descrizione = a.columnIndex(QStringLiteral("DESCRIZIONE"));
    a.addColumn(col("DESCR_ESPORTAZIONE", FieldType::Text, 100)
                    .setCaption(QStringLiteral("Descrizione"))
                    .setCalculated([descrizione](const TMemRecord &rec) {
                        return descrizioneEsportazione(rec.value(descrizione));
                    }));
    a.setOpenHandler([this](TMemTable &t) { MemTableAnnunciAfterOpen(t); });

    // The record builders address the computed columns by position.
    Q_ASSERT(r.columnIndex(QStringLiteral("ID_INCROCI")) == 32 && r.columnIndex(QStringLiteral("COMUNI")) == 10 &&
             r.columnIndex(QStringLiteral("DATA_ULT_MODIFICA")) == 33);
    Q_ASSERT(a.columnIndex(QStringLiteral("ID_INCROCI")) == 33 && a.columnIndex(QStringLiteral("DATA_ULT_INVIO")) == 6);
}

// ---- Texts ------------------------------------------------------------------------------------------------------

QString TDataModuleQueryComposte::nomeCliente(const QVariant &descr, const QVariant &email, const QVariant &telefono1,
                                              const QVariant &telefono2, const QVariant &telefono3)
{
    const QString d = descr.toString();
    if (!d.isEmpty())
        return d;
    const QString e = email.toString();
    if (!e.isEmpty())
        return e;
    return trimmed(telefono1.toString() + QLatin1Char(' ') + telefono2.toString() + QLatin1Char(' ') +
                   telefono3.toString());
}

QString TDataModuleQueryComposte::testoPriorita(int priorita)
{
    switch (priorita) {
    case 0:
        return QStringLiteral("Non Pubblicare");
    case 1:
        return QStringLiteral("Minima");
    case 2:
        return QStringLiteral("Bassa");
    case 3:
        return QStringLiteral("Normale");
    case 4:
        return QStringLiteral("Alta");
    case 5:
        return QStringLiteral("Massima");
    default:
        return QString();
    }
}

QVariant TDataModuleQueryComposte::descrizioneEsportazione(const QVariant &descrizione)
{
    if (!descrizione.isValid())
        return {};
    const QString testo = descrizione.toString();
    if (trimmed(testo).size() <= 100)
        return testo.left(100); // the column holds 100 characters
    return testo.left(97) + QStringLiteral("...");
}

QString TDataModuleQueryComposte::testoIdIncroci(const QVector<int> &ids)
{
    // Written digit by digit: a full table holds millions of ids.
    QString testo(ids.size() * 13, Qt::Uninitialized); // sign, 10 digits, CR LF
    QChar *p = testo.data();
    for (int id : ids) {
        qint64 n = id;
        if (n < 0) {
            *p++ = QLatin1Char('-');
            n = -n;
        }
        char cifre[12];
        int k = 0;
        do {
            cifre[k++] = char('0' + n % 10);
            n /= 10;
        } while (n > 0);
        while (k > 0)
            *p++ = QLatin1Char(cifre[--k]);
        *p++ = QLatin1Char('\r');
        *p++ = QLatin1Char('\n');
    }
    testo.truncate(p - testo.constData());
    return testo;
}

// ---- Rows -------------------------------------------------------------------------------------------------------

QVector<int> TDataModuleQueryComposte::mappaCampi(const TMemTable &table, const TIBDataSet &sorgente,
                                                 const QHash<QString, QString> &rinomina, const QStringList &altri)
{
    QVector<int> mappa(table.columnCount(), -1);
    for (int i = 0; i < table.columnCount(); ++i) {
        const QString nome = table.column(i).name();
        if (table.column(i).isCalculated())
            continue;
        mappa[i] = sorgente.fieldIndex(rinomina.value(nome, nome));
    }
    for (const QString &nome : altri) {
        const int campo = sorgente.fieldIndex(nome);
        if (campo < 0)
            throw db::DbError(QStringLiteral("Campo %1 non presente nella query.").arg(nome));
        mappa.append(campo);
    }
    return mappa;
}

namespace {
// The source columns that the computed columns read, after the table's columns in the map.
const QStringList AltriRichieste = {QStringLiteral("DESCR"),     QStringLiteral("EMAIL"),
                                    QStringLiteral("TELEFONO1"), QStringLiteral("TELEFONO2"),
                                    QStringLiteral("TELEFONO3"), QStringLiteral("TEL_X_SMS"),
                                    QStringLiteral("DATA_ULT_MODIFICA")};
const QStringList AltriAnnunci = {QStringLiteral("DESCR"), QStringLiteral("EMAIL"), QStringLiteral("TELEFONO1"),
                                  QStringLiteral("TELEFONO2"), QStringLiteral("TELEFONO3")};
enum { X_DESCR, X_EMAIL, X_TELEFONO1, X_TELEFONO2, X_TELEFONO3, X_TEL_X_SMS, X_DATA_ULT_MODIFICA };
} // namespace

// The columns that are not copied from the source column of the same name.
QVector<int> TDataModuleQueryComposte::mappaRichieste() const
{
    static const QHash<QString, QString> rinomina = {
        {QStringLiteral("CLIENTE_EMAIL"), QStringLiteral("EMAIL")},
        {QStringLiteral("CLIENTE"), QString()},          {QStringLiteral("CLIENTE_TELSMS"), QString()},
        {QStringLiteral("N_INCROCI"), QString()},        {QStringLiteral("N_INVII"), QString()},
        {QStringLiteral("DATA_ULT_INVIO"), QString()},   {QStringLiteral("TIPOLOGIE_ANNUNCIO"), QString()},
        {QStringLiteral("TIPOLOGIE_IMMOBILE"), QString()}, {QStringLiteral("COMUNI"), QString()},
        {QStringLiteral("ID_INCROCI"), QString()},       {QStringLiteral("DATA_ULT_MODIFICA"), QString()},
    };
    return mappaCampi(*m_memTableRichieste, m_ibDataSetRichieste, rinomina, AltriRichieste);
}

QVector<int> TDataModuleQueryComposte::mappaAnnunci() const
{
    static const QHash<QString, QString> rinomina = {
        {QStringLiteral("DATA_ULT_MODIFICA"), QStringLiteral("DATA_AGGIORNAMENTO")},
        {QStringLiteral("CLIENTE"), QString()},        {QStringLiteral("N_INCROCI"), QString()},
        {QStringLiteral("N_INVII"), QString()},        {QStringLiteral("DATA_ULT_INVIO"), QString()},
        {QStringLiteral("ID_INCROCI"), QString()},
    };
    return mappaCampi(*m_memTableAnnunci, m_ibDataSetAnnunci, rinomina, AltriAnnunci);
}

namespace {

// Column indexes of the tables (fixed by definisciTabelle).
enum ColonneRichieste {
    R_CLIENTE = 2, R_CLIENTE_TELSMS = 4, R_N_INCROCI = 5, R_N_INVII = 6, R_DATA_ULT_INVIO = 7,
    R_TIPOLOGIE_ANNUNCIO = 8, R_TIPOLOGIE_IMMOBILE = 9, R_COMUNI = 10, R_ID_INCROCI = 32, R_DATA_ULT_MODIFICA = 33,
};
enum ColonneAnnunci { A_CLIENTE = 2, A_N_INCROCI = 4, A_N_INVII = 5, A_DATA_ULT_INVIO = 6, A_ID_INCROCI = 33 };

} // namespace

QVector<QVariant> TDataModuleQueryComposte::recordRichiesta(const QVector<int> &mappa, int riga,
                                                           const QVector<int> &incroci, const Invii &invii,
                                                           const Riepiloghi &riepiloghi) const
{
    const TIBDataSet &s = m_ibDataSetRichieste;
    const int n = m_memTableRichieste->columnCount();
    QVector<QVariant> r(n);
    for (int i = 0; i < n; ++i)
        if (mappa[i] >= 0)
            r[i] = s.valueAt(riga, mappa[i]);
    auto altro = [&](int x) -> const QVariant & { return s.valueAt(riga, mappa[n + x]); };
    r[R_CLIENTE] = nomeCliente(altro(X_DESCR), altro(X_EMAIL), altro(X_TELEFONO1), altro(X_TELEFONO2),
                               altro(X_TELEFONO3));
    switch (altro(X_TEL_X_SMS).toInt()) {
    case 1:
        r[R_CLIENTE_TELSMS] = altro(X_TELEFONO1);
        break;
    case 2:
        r[R_CLIENTE_TELSMS] = altro(X_TELEFONO2);
        break;
    case 3:
        r[R_CLIENTE_TELSMS] = altro(X_TELEFONO3);
        break;
    default:
        r[R_CLIENTE_TELSMS] = QString();
        break;
    }
    r[R_N_INCROCI] = int(incroci.size());
    r[R_N_INVII] = invii.nInvii;
    r[R_DATA_ULT_INVIO] = invii.dataUltInvio;
    r[R_TIPOLOGIE_ANNUNCIO] = riepiloghi.tipologieAnnuncio;
    r[R_TIPOLOGIE_IMMOBILE] = riepiloghi.tipologieImmobile;
    r[R_COMUNI] = riepiloghi.comuni;
    r[R_ID_INCROCI] = QVariant::fromValue(IdIncroci{incroci});
    r[R_DATA_ULT_MODIFICA] = dataOVuoto(altro(X_DATA_ULT_MODIFICA));
    return r;
}

QVector<QVariant> TDataModuleQueryComposte::recordAnnuncio(const QVector<int> &mappa, int riga,
                                                          const QVector<int> &incroci, const Invii &invii) const
{
    const TIBDataSet &s = m_ibDataSetAnnunci;
    const int n = m_memTableAnnunci->columnCount();
    QVector<QVariant> r(n);
    for (int i = 0; i < n; ++i)
        if (mappa[i] >= 0)
            r[i] = s.valueAt(riga, mappa[i]);
    auto altro = [&](int x) -> const QVariant & { return s.valueAt(riga, mappa[n + x]); };
    r[A_CLIENTE] = nomeCliente(altro(X_DESCR), altro(X_EMAIL), altro(X_TELEFONO1), altro(X_TELEFONO2),
                               altro(X_TELEFONO3));
    r[A_N_INCROCI] = int(incroci.size());
    r[A_N_INVII] = invii.nInvii;
    r[A_DATA_ULT_INVIO] = invii.dataUltInvio;
    r[A_ID_INCROCI] = QVariant::fromValue(IdIncroci{incroci});
    return r;
}

void TDataModuleQueryComposte::scriviRecord(TMemTable &table, const QVector<QVariant> &record)
{
    for (int i = 0; i < table.columnCount(); ++i)
        if (!table.column(i).isCalculated())
            table.setValue(i, record.value(i));
}

void TDataModuleQueryComposte::CompilaRigaRichiesta()
{
    IncrociPerRiga perRiga(m_transazione);
    const ValoriRichiesta valori =
        valoriRichiesta([this](const QString &nome) { return m_ibDataSetRichieste.value(nome); });
    const QVector<int> ids = perRiga.annunciDiRichiesta(valori);
    const Invii invii = perRiga.inviiRichiesta(valori.idRichiesta);
    const Riepiloghi riepiloghi = perRiga.riepiloghiRichiesta(valori.idRichiesta);
    scriviRecord(*m_memTableRichieste,
                 recordRichiesta(mappaRichieste(), m_ibDataSetRichieste.recNo(), ids, invii, riepiloghi));
}

void TDataModuleQueryComposte::CompilaRigaAnnuncio()
{
    IncrociPerRiga perRiga(m_transazione);
    const ValoriAnnuncio valori =
        valoriAnnuncio([this](const QString &nome) { return m_ibDataSetAnnunci.value(nome); });
    const QVector<int> ids = perRiga.richiesteDiAnnuncio(valori);
    const Invii invii = perRiga.inviiAnnuncio(valori.idAnnuncio);
    scriviRecord(*m_memTableAnnunci, recordAnnuncio(mappaAnnunci(), m_ibDataSetAnnunci.recNo(), ids, invii));
}

// ---- Filling ----------------------------------------------------------------------------------------------------

template <typename Risultato>
std::future<Risultato> TDataModuleQueryComposte::avviaLetture(std::function<Risultato(db::Transaction &)> letture)
{
    if (!m_attaccoLettureProvato) {
        m_attaccoLettureProvato = true;
        auto attacco = std::make_unique<db::Database>();
        try {
            attacco->openLike(m_database);
            m_attaccoLetture = std::move(attacco);
        } catch (const db::DbError &) {
            // A server that refuses a second connection: the fillings read everything on the main one.
        }
    }
    if (!m_attaccoLetture)
        return std::async(std::launch::deferred, [this, letture] { return letture(m_transazione); });
    db::Database *attacco = m_attaccoLetture.get();
    return std::async(std::launch::async, [attacco, letture] {
        db::Transaction tr(*attacco);
        Risultato risultato = letture(tr);
        tr.commit();
        return risultato;
    });
}

namespace {

// Runs compila(riga) for every row, the second half on another thread: the rows are independent (each reads its
// own source row and the shared, read-only matching data, and writes its own record). The wait window advances
// with this thread's half, two steps a row. Small tables stay on one thread.
template <typename Compila>
void perOgniRiga(int righe, GuardiaProgresso &progresso, Compila compila)
{
    constexpr int MinimoPerDividere = 2000;
    const int meta = righe < MinimoPerDividere ? righe : righe / 2;
    std::exception_ptr erroreAltroThread;
    std::thread altro;
    if (meta < righe) {
        altro = std::thread([&] {
            try {
                for (int riga = meta; riga < righe; ++riga)
                    compila(riga);
            } catch (...) {
                erroreAltroThread = std::current_exception();
            }
        });
    }
    try {
        for (int riga = 0; riga < meta; ++riga) {
            compila(riga);
            progresso.avanza();
            if (meta < righe)
                progresso.avanza();
        }
    } catch (...) {
        if (altro.joinable())
            altro.join();
        throw;
    }
    if (altro.joinable())
        altro.join();
    if (erroreAltroThread)
        std::rethrow_exception(erroreAltroThread);
}

// What a filling of MemTableRichieste reads besides its source query.
struct LettureRichieste
{
    Collegamenti collegamenti;
    NomiCollegamenti nomi;
    std::shared_ptr<const IndiceAnnunci> indice;
    QHash<int, Invii> invii;
};
// And of MemTableAnnunci.
struct LettureAnnunci
{
    std::shared_ptr<const IndiceRichieste> indice;
    QHash<int, Invii> invii;
};
} // namespace

void TDataModuleQueryComposte::MemTableRichiesteAfterOpen(TMemTable &table)
{
    // Detached from the grids for the whole filling (the table also does it around this handler).
    TMemTable::UpdateGuard staccata(table);
    GuardiaProgresso progresso(m_fabbricaProgresso ? m_fabbricaProgresso() : nullptr);
    GuardiaTransazione transazione(m_transazione);
    TIBDataSet &sorgente = m_ibDataSetRichieste;
    sorgente.close();
    GuardiaDataSet chiusura(sorgente);
    std::future<LettureRichieste> letture;
    if (m_metodo == MetodoIncroci::Massivo) {
        letture = avviaLetture<LettureRichieste>([](db::Transaction &tr) {
            LettureRichieste l;
            l.collegamenti = caricaCollegamenti(tr);
            l.nomi = caricaNomi(tr);
            l.indice = std::make_shared<const IndiceAnnunci>(caricaAnnunci(tr));
            caricaInvii(tr, &l.invii, nullptr);
            return l;
        });
    }
    sorgente.open();
    progresso.inizio(CaptionRichieste, sorgente.recordCount());

    auto leggi = [&sorgente](const QString &nome) { return sorgente.value(nome); };
    std::vector<QVector<QVariant>> records;
    records.reserve(size_t(sorgente.recordCount()));
    const QVector<int> mappa = mappaRichieste();
    if (m_metodo == MetodoIncroci::Massivo) {
        const LettureRichieste l = letture.get();
        records.resize(size_t(sorgente.recordCount()));
        perOgniRiga(sorgente.recordCount(), progresso, [&](int riga) {
            ValoriRichiesta valori =
                valoriRichiesta([&sorgente, riga](const QString &nome) { return sorgente.value(riga, nome); });
            l.collegamenti.applica(valori);
            records[size_t(riga)] = recordRichiesta(mappa, riga, l.indice->cerca(valori),
                                                    l.invii.value(valori.idRichiesta), riepiloghi(valori, l.nomi));
        });
    } else {
        IncrociPerRiga perRiga(m_transazione);
        for (sorgente.first(); !sorgente.eof(); sorgente.next()) {
            const ValoriRichiesta valori = valoriRichiesta(leggi);
            records.push_back(recordRichiesta(mappa, sorgente.recNo(), perRiga.annunciDiRichiesta(valori),
                                              perRiga.inviiRichiesta(valori.idRichiesta),
                                              perRiga.riepiloghiRichiesta(valori.idRichiesta)));
            progresso.avanza();
        }
    }
    table.appendRecords(std::move(records));
    table.first();
    transazione.conferma();
}

void TDataModuleQueryComposte::MemTableAnnunciAfterOpen(TMemTable &table)
{
    TMemTable::UpdateGuard staccata(table);
    GuardiaProgresso progresso(m_fabbricaProgresso ? m_fabbricaProgresso() : nullptr);
    GuardiaTransazione transazione(m_transazione);
    TIBDataSet &sorgente = m_ibDataSetAnnunci;
    sorgente.close();
    GuardiaDataSet chiusura(sorgente);
    std::future<LettureAnnunci> letture;
    if (m_metodo == MetodoIncroci::Massivo) {
        letture = avviaLetture<LettureAnnunci>([](db::Transaction &tr) {
            LettureAnnunci l;
            l.indice = std::make_shared<const IndiceRichieste>(caricaRichieste(tr, caricaCollegamenti(tr)));
            caricaInvii(tr, nullptr, &l.invii);
            return l;
        });
    }
    sorgente.open();
    progresso.inizio(CaptionAnnunci, sorgente.recordCount());

    auto leggi = [&sorgente](const QString &nome) { return sorgente.value(nome); };
    std::vector<QVector<QVariant>> records;
    records.reserve(size_t(sorgente.recordCount()));
    const QVector<int> mappa = mappaAnnunci();
    if (m_metodo == MetodoIncroci::Massivo) {
        const LettureAnnunci l = letture.get();
        records.resize(size_t(sorgente.recordCount()));
        perOgniRiga(sorgente.recordCount(), progresso, [&](int riga) {
            const ValoriAnnuncio valori =
                valoriAnnuncio([&sorgente, riga](const QString &nome) { return sorgente.value(riga, nome); });
            records[size_t(riga)] =
                recordAnnuncio(mappa, riga, l.indice->cerca(valori), l.invii.value(valori.idAnnuncio));
        });
    } else {
        IncrociPerRiga perRiga(m_transazione);
        for (sorgente.first(); !sorgente.eof(); sorgente.next()) {
            const ValoriAnnuncio valori = valoriAnnuncio(leggi);
            records.push_back(recordAnnuncio(mappa, sorgente.recNo(), perRiga.richiesteDiAnnuncio(valori),
                                             perRiga.inviiAnnuncio(valori.idAnnuncio)));
            progresso.avanza();
        }
    }
    table.appendRecords(std::move(records));
    table.first();
    transazione.conferma();
}

// ---- Single rows ------------------------------------------------------------------------------------------------

void TDataModuleQueryComposte::AggiornaRichiesta(int idRichiesta)
{
    aggiornaRiga(*m_memTableRichieste, m_ibDataSetRichieste, RigaFiltroRichieste, RigaOrdineRichieste,
                 QStringLiteral("ID_RICHIESTA"), idRichiesta, [this] { CompilaRigaRichiesta(); });
}

void TDataModuleQueryComposte::AggiornaAnnuncio(int idAnnuncio)
{
    aggiornaRiga(*m_memTableAnnunci, m_ibDataSetAnnunci, RigaFiltroAnnunci, RigaOrdineAnnunci,
                 QStringLiteral("ID_ANNUNCIO_IMMOBILE"), idAnnuncio, [this] { CompilaRigaAnnuncio(); });
}

void TDataModuleQueryComposte::aggiornaRiga(TMemTable &table, TIBDataSet &sorgente, int rigaFiltro, int rigaOrdine,
                                            const QString &campoId, int id, const std::function<void()> &compila)
{
    if (!table.isOpen())
        return;
    GuardiaTransazione transazione(m_transazione);
    sorgente.close();
    impostaRiga(sorgente.SQL(), rigaFiltro, QStringLiteral("and %1=:%1").arg(campoId));
    impostaRiga(sorgente.SQL(), rigaOrdine, QString());
    sorgente.setParam(campoId, id);
    GuardiaDataSet chiusura(sorgente);
    sorgente.open();
    if (sorgente.recordCount() > 0) {
        sorgente.first();
        if (table.state() != TMemTable::State::Browse)
            table.cancel();
        const RowId riga = table.findRow(campoId, id);
        if (riga != 0) {
            table.editRow(riga);
        } else {
            table.append();
            table.setValue(campoId, id);
        }
        try {
            compila();
            table.post();
        } catch (...) {
            table.cancel();
            throw;
        }
        table.gotoBookmark(table.findRow(campoId, id));
    }
    transazione.conferma();
}

// ---- Matches of values ------------------------------------------------------------------------------------------

QVector<int> TDataModuleQueryComposte::IncrociRichiesta(const ValoriRichiesta &valori,
                                                        CollegamentiRichiesta collegamenti, MetodoIncroci metodo)
{
    GuardiaTransazione transazione(m_transazione);
    QVector<int> ids;
    if (metodo == MetodoIncroci::PerRiga) {
        IncrociPerRiga perRiga(m_transazione);
        ids = perRiga.annunciDiRichiesta(valori, collegamenti);
    } else {
        ValoriRichiesta v = valori;
        if (collegamenti == CollegamentiRichiesta::DaDatabase)
            caricaCollegamenti(m_transazione, v.idRichiesta).applica(v);
        ids = IndiceAnnunci(caricaAnnunci(m_transazione)).cerca(v);
    }
    transazione.conferma();
    return ids;
}

QVector<int> TDataModuleQueryComposte::IncrociAnnuncio(const ValoriAnnuncio &valori, MetodoIncroci metodo)
{
    GuardiaTransazione transazione(m_transazione);
    QVector<int> ids;
    if (metodo == MetodoIncroci::PerRiga) {
        IncrociPerRiga perRiga(m_transazione);
        ids = perRiga.richiesteDiAnnuncio(valori);
    } else {
        ids = IndiceRichieste(caricaRichieste(m_transazione, caricaCollegamenti(m_transazione))).cerca(valori);
    }
    transazione.conferma();
    return ids;
}

// ---- CSV --------------------------------------------------------------------------------------------------------

void scriviCsvIncroci(const TMemTable &richieste, const TMemTable &annunci, QTextStream &out)
{
    out << "TIPO,ID,N_INCROCI,N_INVII,DATA_ULT_INVIO,ID_INCROCI\n";
    auto scrivi = [&out](const TMemTable &t, const char *tipo, const char *colonnaId) {
        const int id = t.columnIndex(QLatin1String(colonnaId));
        const int nIncroci = t.columnIndex(QStringLiteral("N_INCROCI"));
        const int nInvii = t.columnIndex(QStringLiteral("N_INVII"));
        const int data = t.columnIndex(QStringLiteral("DATA_ULT_INVIO"));
        const int idIncroci = t.columnIndex(QStringLiteral("ID_INCROCI"));
        if (!t.isOpen())
            return;
        for (RowId riga : t.visibleRowIds()) {
            const QDateTime quando = t.rowValue(riga, data).toDateTime();
            QString ids = t.rowValue(riga, idIncroci).toString();
            if (ids.endsWith(QLatin1String("\r\n")))
                ids.chop(2);
            ids.replace(QLatin1String("\r\n"), QLatin1String("|"));
            out << tipo << ',' << t.rowValue(riga, id).toString() << ',' << t.rowValue(riga, nIncroci).toInt() << ','
                << t.rowValue(riga, nInvii).toInt() << ','
                << (quando.isValid() ? quando.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) : QString()) << ','
                << ids << '\n';
        }
    };
    scrivi(richieste, "R", "ID_RICHIESTA");
    scrivi(annunci, "A", "ID_ANNUNCIO_IMMOBILE");
}

} // namespace tavo
