#include "listings/galleria.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace tavo {

namespace {

// An integer with "." between thousands, as "#,##0" writes it in Italian.
QString raggruppa(qint64 valore)
{
    const QString cifre = QString::number(valore < 0 ? -valore : valore);
    QString s;
    const int n = int(cifre.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            s += QLatin1Char('.');
        s += cifre.at(i);
    }
    return valore < 0 ? QLatin1Char('-') + s : s;
}

QString tabellaDi(TipoGalleria tipo)
{
    return tipo == TipoGalleria::Foto ? QStringLiteral("PHOTOGALLERY") : QStringLiteral("VIDEOGALLERY");
}

} // namespace

// ---- TGalleria ------------------------------------------------------------------------------------------------------

TGalleria::TGalleria(TipoGalleria tipo, db::Transaction &tr)
    : m_tipo(tipo), m_tr(tr),
      m_tabella(std::make_unique<TMemTable>(tipo == TipoGalleria::Foto ? QStringLiteral("IBDataSetFoto")
                                                                       : QStringLiteral("IBDataSetVideo")))
{
    definisciColonne();
}

TGalleria::~TGalleria() = default;

QString TGalleria::colonnaId() const
{
    return m_tipo == TipoGalleria::Foto ? QStringLiteral("ID_PHOTOGALLERY") : QStringLiteral("ID_VIDEOGALLERY");
}

void TGalleria::definisciColonne()
{
    TMemTable &t = *m_tabella;
    if (m_tipo == TipoGalleria::Foto) {
        t.addColumn(
            TMemColumn(QStringLiteral("PRINCIPALE"), FieldType::Text, 1).setCaption(QStringLiteral("Principale")));
        t.addColumn(
            TMemColumn(QStringLiteral("PLANIMETRIA"), FieldType::Text, 1).setCaption(QStringLiteral("Planimetria")));
        t.addColumn(
            TMemColumn(QStringLiteral("PATH_IMAGE"), FieldType::Text, 255).setCaption(QStringLiteral("Percorso")));
        t.addColumn(
            TMemColumn(QStringLiteral("DIDASCALIA"), FieldType::Text, 255).setCaption(QStringLiteral("Didascalia")));
        t.addColumn(TMemColumn(QStringLiteral("PESO_KB"), FieldType::Integer)
                        .setCaption(QStringLiteral("Peso in Kb"))
                        .setDisplay(testoPeso));
        t.addColumn(TMemColumn(QStringLiteral("HEIGHT_PX"), FieldType::Integer)
                        .setCaption(QStringLiteral("Altezza (px)"))
                        .setDisplay(testoPixel));
        t.addColumn(TMemColumn(QStringLiteral("WIDTH_PX"), FieldType::Integer)
                        .setCaption(QStringLiteral("Larghezza (px)"))
                        .setDisplay(testoPixel));
    } else {
        t.addColumn(TMemColumn(QStringLiteral("TITOLO"), FieldType::Text, 100).setCaption(QStringLiteral("Titolo")));
        t.addColumn(TMemColumn(QStringLiteral("PATH_IMAGE"), FieldType::Text, 255)
                        .setCaption(QStringLiteral("Immagine Anteprima")));
        t.addColumn(TMemColumn(QStringLiteral("LINK_VIDEO"), FieldType::Text, 255)
                        .setCaption(QStringLiteral("Percorso Video")));
        t.addColumn(TMemColumn(QStringLiteral("CODICE_EMBEDDED"), FieldType::Memo)
                        .setCaption(QStringLiteral("Codice Embedded")));
    }
    t.addColumn(TMemColumn(colonnaId(), FieldType::Integer).setHidden());
    t.addColumn(TMemColumn(QStringLiteral("ID_ANNUNCIO_IMMOBILE"), FieldType::Integer).setHidden());
    t.addColumn(TMemColumn(QStringLiteral("INVIATA"), FieldType::Text, 1).setHidden());
}

QStringList TGalleria::colonneScritte() const
{
    // In the order the statements name them.
    if (m_tipo == TipoGalleria::Foto)
        return {
            QStringLiteral("DIDASCALIA"),      QStringLiteral("HEIGHT_PX"),   QStringLiteral("ID_ANNUNCIO_IMMOBILE"),
            QStringLiteral("ID_PHOTOGALLERY"), QStringLiteral("INVIATA"),     QStringLiteral("PATH_IMAGE"),
            QStringLiteral("PESO_KB"),         QStringLiteral("PLANIMETRIA"), QStringLiteral("PRINCIPALE"),
            QStringLiteral("WIDTH_PX")};
    return {QStringLiteral("CODICE_EMBEDDED"), QStringLiteral("ID_ANNUNCIO_IMMOBILE"),
            QStringLiteral("ID_VIDEOGALLERY"), QStringLiteral("INVIATA"),
            QStringLiteral("LINK_VIDEO"),      QStringLiteral("PATH_IMAGE"),
            QStringLiteral("TITOLO")};
}

QString TGalleria::sqlSelezione() const
{
    if (m_tipo == TipoGalleria::Foto)
        return QStringLiteral("select * from PHOTOGALLERY\nwhere ID_ANNUNCIO_IMMOBILE=:ID_ANNUNCIO_IMMOBILE\n"
                              "order by ID_PHOTOGALLERY");
    return QStringLiteral("select * from VIDEOGALLERY\nwhere ID_ANNUNCIO_IMMOBILE=:ID_ANNUNCIO_IMMOBILE");
}

QString TGalleria::sqlInserimento() const
{
    const QStringList colonne = colonneScritte();
    QStringList parametri;
    for (const QString &c : colonne)
        parametri << QLatin1Char(':') + c;
    return QStringLiteral("insert into ") + tabellaDi(m_tipo) + QStringLiteral("\n  (") +
           colonne.join(QStringLiteral(", ")) + QStringLiteral(")\nvalues\n  (") +
           parametri.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QString TGalleria::sqlModifica() const
{
    QStringList assegnazioni;
    for (const QString &c : colonneScritte())
        assegnazioni << QStringLiteral("  ") + c + QStringLiteral(" = :") + c;
    return QStringLiteral("update ") + tabellaDi(m_tipo) + QStringLiteral("\nset\n") +
           assegnazioni.join(QStringLiteral(",\n")) + QStringLiteral("\nwhere\n  ") + colonnaId() +
           QStringLiteral(" = :OLD_") + colonnaId();
}

QString TGalleria::sqlEliminazione() const
{
    return QStringLiteral("delete from ") + tabellaDi(m_tipo) + QStringLiteral("\nwhere\n  ") + colonnaId() +
           QStringLiteral(" = :OLD_") + colonnaId();
}

QString TGalleria::sqlRilettura() const
{
    return QStringLiteral("select * from ") + tabellaDi(m_tipo) + QStringLiteral("\nwhere\n  ") + colonnaId() +
           QStringLiteral(" = :") + colonnaId();
}

void TGalleria::leggiRiga(const db::Query &q)
{
    for (int c = 0; c < m_tabella->columnCount(); ++c) {
        const QString nome = m_tabella->column(c).name();
        const int i = q.columnIndex(nome);
        if (i >= 0)
            m_tabella->setValue(c, q.value(i));
    }
}

void TGalleria::apri(int idAnnuncio)
{
    chiudi();
    db::Query q(m_tr, sqlSelezione());
    q.setParam(QStringLiteral("ID_ANNUNCIO_IMMOBILE"), idAnnuncio);
    q.exec();
    std::vector<QVector<QVariant>> righe;
    while (q.next()) {
        QVector<QVariant> r(m_tabella->columnCount());
        for (int c = 0; c < m_tabella->columnCount(); ++c) {
            const int i = q.columnIndex(m_tabella->column(c).name());
            if (i >= 0)
                r[c] = q.value(i);
        }
        righe.push_back(std::move(r));
    }
    m_tabella->setOpenHandler([righe = std::move(righe)](TMemTable &t) mutable { t.appendRecords(std::move(righe)); });
    m_tabella->open();
    m_tabella->setOpenHandler({});
}

void TGalleria::chiudi()
{
    if (inModifica())
        m_tabella->cancel();
    m_tabella->close();
}

bool TGalleria::inModifica() const
{
    return m_tabella->state() == TMemTable::State::Insert || m_tabella->state() == TMemTable::State::Edit;
}

void TGalleria::nuova(int idAnnuncio)
{
    const qint64 id = db::generatorValue(m_tr, m_tipo == TipoGalleria::Foto ? QStringLiteral("GEN_PHOTOGALLERY_ID")
                                                                            : QStringLiteral("GEN_VIDEOGALLERY_ID"));
    m_tabella->append();
    m_tabella->setValue(colonnaId(), id);
    m_tabella->setValue(QStringLiteral("ID_ANNUNCIO_IMMOBILE"), idAnnuncio);
    m_tabella->setValue(QStringLiteral("INVIATA"), QStringLiteral("N"));
    if (m_tipo == TipoGalleria::Foto) {
        m_tabella->setValue(QStringLiteral("PRINCIPALE"), QStringLiteral("N"));
        m_tabella->setValue(QStringLiteral("PLANIMETRIA"), QStringLiteral("N"));
    }
}

void TGalleria::modifica()
{
    m_tabella->edit();
}

void TGalleria::registra()
{
    const bool inserimento = m_tabella->state() == TMemTable::State::Insert;
    const QVariant id = m_tabella->value(colonnaId());
    // The row as it was before this edit (ids are never changed by the dialogs).
    const QVariant vecchioId =
        inserimento ? id : m_tabella->rowValue(m_tabella->bookmark(), m_tabella->columnIndex(colonnaId()));
    try {
        db::Query q(m_tr, inserimento ? sqlInserimento() : sqlModifica());
        for (const QString &c : colonneScritte())
            q.setParam(c, m_tabella->value(c));
        if (!inserimento)
            q.setParam(QStringLiteral("OLD_") + colonnaId(), vecchioId);
        q.exec();

        db::Query r(m_tr, sqlRilettura());
        r.setParam(colonnaId(), id);
        if (r.first())
            leggiRiga(r);
    } catch (const db::DbError &) {
        m_tabella->cancel();
        throw;
    }
    m_tabella->post();
}

void TGalleria::annulla()
{
    if (inModifica())
        m_tabella->cancel();
}

void TGalleria::elimina()
{
    if (!isOpen() || m_tabella->isEmpty())
        return;
    db::Query q(m_tr, sqlEliminazione());
    q.setParam(QStringLiteral("OLD_") + colonnaId(), m_tabella->value(colonnaId()));
    q.exec();
    m_tabella->deleteCurrent();
}

QList<FotoAnteprima> TGalleria::fotoAnteprima() const
{
    QList<FotoAnteprima> foto;
    if (!isOpen())
        return foto;
    const TMemTable &t = *m_tabella;
    const int percorso = t.columnIndex(QStringLiteral("PATH_IMAGE"));
    const int didascalia = t.columnIndex(QStringLiteral("DIDASCALIA"));
    const int principale = t.columnIndex(QStringLiteral("PRINCIPALE"));
    const int planimetria = t.columnIndex(QStringLiteral("PLANIMETRIA"));
    // Read by row id: the cursor, and so the grid and the in-page preview, stay where they are.
    for (RowId riga : t.visibleRowIds()) {
        FotoAnteprima f;
        f.percorso = t.rowValue(riga, percorso).toString();
        if (didascalia >= 0)
            f.didascalia = t.rowValue(riga, didascalia).toString();
        if (principale >= 0)
            f.principale = t.rowValue(riga, principale).toString() == QLatin1String("S");
        if (planimetria >= 0)
            f.planimetria = t.rowValue(riga, planimetria).toString() == QLatin1String("S");
        foto << f;
    }
    return foto;
}

// ---- Files ----------------------------------------------------------------------------------------------------------

QString cartellaAnnuncio(const QString &percorsoFoto, int idAnnuncio)
{
    QString cartella = percorsoFoto;
    if (!cartella.endsWith(QLatin1Char('/')) && !cartella.endsWith(QLatin1Char('\\')) &&
        !cartella.endsWith(QLatin1Char(':')))
        cartella += QLatin1Char('/');
    return cartella + QStringLiteral("%1").arg(idAnnuncio, 8, 10, QLatin1Char('0')) + QLatin1Char('/');
}

bool percorsoEsterno(const QString &percorso, const QString &percorsoFoto)
{
    return !percorso.isEmpty() && !percorso.startsWith(percorsoFoto, Qt::CaseInsensitive);
}

QString copiaNellaCartella(const QString &percorso, const QString &cartella)
{
    if (percorso.isEmpty())
        return percorso;
    const QFileInfo sorgente(percorso);
    const QString dirSorgente = QDir::cleanPath(sorgente.absolutePath());
    const QString dirDestinazione = QDir::cleanPath(QFileInfo(cartella).absoluteFilePath());
    if (dirSorgente.compare(dirDestinazione, Qt::CaseInsensitive) == 0)
        return percorso;
    // An address or a missing file cannot be copied: no folder is made for it.
    if (!sorgente.isFile() || !QDir().mkpath(dirDestinazione))
        return percorso;
    QString destinazione = cartella;
    if (!destinazione.endsWith(QLatin1Char('/')) && !destinazione.endsWith(QLatin1Char('\\')))
        destinazione += QLatin1Char('/');
    destinazione += sorgente.fileName();
    const QFileInfo info(destinazione);
    if (info.exists()) {
        // The same file reached by another way (a link): replacing it would destroy the source.
        if (info.canonicalFilePath() == sorgente.canonicalFilePath())
            return destinazione;
        if (!QFile::remove(destinazione))
            return percorso;
    }
    return QFile::copy(sorgente.absoluteFilePath(), destinazione) ? destinazione : percorso;
}

InfoImmagine leggiInfoImmagine(const QString &percorso)
{
    InfoImmagine info;
    const QFileInfo file(percorso);
    if (!file.isFile())
        return info;
    info.byte = file.size();
    QImageReader lettore(percorso);
    const QSize dimensione = lettore.size();
    if (dimensione.isValid())
        info.pixel = dimensione;
    else {
        // A format that does not tell its size without decoding.
        const QImage immagine = lettore.read();
        if (!immagine.isNull())
            info.pixel = immagine.size();
    }
    return info;
}

QString testoPeso(const QVariant &byte)
{
    if (!byte.isValid())
        return QString();
    return raggruppa(byte.toLongLong() / 1024) + QStringLiteral(",00");
}

QString testoPixel(const QVariant &pixel)
{
    if (!pixel.isValid())
        return QString();
    return raggruppa(pixel.toLongLong());
}

} // namespace tavo
