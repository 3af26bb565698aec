#include "compressione.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <zlib.h>

namespace tavo {

FileError::FileError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}

namespace {

constexpr int kBlocco = 1024;

QString nome(const QString &file)
{
    return QDir::toNativeSeparators(file);
}

QString zlibMessaggio(const z_stream &zs, int codice)
{
    if (zs.msg)
        return QString::fromLatin1(zs.msg);
    return QString::fromLatin1(zError(codice));
}

void apriSorgente(QFile &file)
{
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(
            QStringLiteral("Impossibile aprire il file \"%1\" (%2).").arg(nome(file.fileName()), file.errorString()));
}

void apriDestinazione(QSaveFile &file)
{
    if (!file.open(QIODevice::WriteOnly))
        throw FileError(
            QStringLiteral("Impossibile creare il file \"%1\" (%2).").arg(nome(file.fileName()), file.errorString()));
}

qint64 leggi(QFile &file, char *buffer)
{
    const qint64 letti = file.read(buffer, kBlocco);
    if (letti < 0)
        throw FileError(
            QStringLiteral("Errore di lettura del file \"%1\" (%2).").arg(nome(file.fileName()), file.errorString()));
    return letti;
}

void scrivi(QSaveFile &file, const char *dati, qint64 quanti)
{
    if (quanti > 0 && file.write(dati, quanti) != quanti)
        throw FileError(
            QStringLiteral("Errore di scrittura del file \"%1\" (%2).").arg(nome(file.fileName()), file.errorString()));
}

void conferma(QSaveFile &file)
{
    if (!file.commit())
        throw FileError(
            QStringLiteral("Impossibile salvare il file \"%1\" (%2).").arg(nome(file.fileName()), file.errorString()));
}

// Owns an initialised zlib stream, so that every exit releases it.
class Flusso
{
public:
    explicit Flusso(bool comprimi) : m_comprimi(comprimi) {}
    ~Flusso()
    {
        if (m_attivo)
            m_comprimi ? deflateEnd(&m_zs) : inflateEnd(&m_zs);
    }
    Flusso(const Flusso &) = delete;
    Flusso &operator=(const Flusso &) = delete;

    z_stream *inizia(const QString &file)
    {
        const int rc = m_comprimi ? deflateInit(&m_zs, Z_DEFAULT_COMPRESSION) : inflateInit(&m_zs);
        if (rc != Z_OK)
            throw FileError(QStringLiteral("Errore della libreria zlib per il file \"%1\": %2.")
                                .arg(nome(file), zlibMessaggio(m_zs, rc)));
        m_attivo = true;
        return &m_zs;
    }

private:
    z_stream m_zs{};
    bool m_comprimi;
    bool m_attivo = false;
};

} // namespace

void ComprimiFile(const QString &src, const QString &dst)
{
    QFile in(src);
    apriSorgente(in);
    QSaveFile out(dst);
    apriDestinazione(out);
    Flusso flusso(true);
    z_stream *zs = flusso.inizia(src);

    char ingresso[kBlocco];
    char uscita[kBlocco];
    int flush = Z_NO_FLUSH;
    do {
        const qint64 letti = leggi(in, ingresso);
        flush = in.atEnd() ? Z_FINISH : Z_NO_FLUSH;
        zs->next_in = reinterpret_cast<Bytef *>(ingresso);
        zs->avail_in = static_cast<uInt>(letti);
        do {
            zs->next_out = reinterpret_cast<Bytef *>(uscita);
            zs->avail_out = kBlocco;
            const int rc = deflate(zs, flush);
            if (rc == Z_STREAM_ERROR)
                throw FileError(QStringLiteral("Errore di compressione del file \"%1\": %2.")
                                    .arg(nome(src), zlibMessaggio(*zs, rc)));
            scrivi(out, uscita, kBlocco - zs->avail_out);
        } while (zs->avail_out == 0);
    } while (flush != Z_FINISH);
    conferma(out);
}

void DecomprimiFile(const QString &src, const QString &dst)
{
    QFile in(src);
    apriSorgente(in);
    QSaveFile out(dst);
    apriDestinazione(out);
    Flusso flusso(false);
    z_stream *zs = flusso.inizia(src);

    char ingresso[kBlocco];
    char uscita[kBlocco];
    bool finito = false;
    while (!finito) {
        const qint64 letti = leggi(in, ingresso);
        if (letti == 0)
            throw FileError(QStringLiteral("Dati compressi incompleti nel file \"%1\".").arg(nome(src)));
        zs->next_in = reinterpret_cast<Bytef *>(ingresso);
        zs->avail_in = static_cast<uInt>(letti);
        do {
            zs->next_out = reinterpret_cast<Bytef *>(uscita);
            zs->avail_out = kBlocco;
            const int rc = inflate(zs, Z_NO_FLUSH);
            if (rc == Z_NEED_DICT || rc == Z_DATA_ERROR || rc == Z_STREAM_ERROR)
                throw FileError(QStringLiteral("Dati compressi non validi nel file \"%1\": %2.")
                                    .arg(nome(src), zlibMessaggio(*zs, rc)));
            if (rc == Z_MEM_ERROR)
                throw FileError(
                    QStringLiteral("Memoria insufficiente per decomprimere il file \"%1\".").arg(nome(src)));
            scrivi(out, uscita, kBlocco - zs->avail_out);
            if (rc == Z_STREAM_END) {
                finito = true;
                break;
            }
        } while (zs->avail_out == 0);
    }
    // Anything after the end of the stream means the file is not what the sender wrote.
    if (zs->avail_in > 0 || !in.atEnd())
        throw FileError(
            QStringLiteral("Dati estranei dopo la fine dei dati compressi nel file \"%1\".").arg(nome(src)));
    conferma(out);
}

} // namespace tavo
