// Shared shell utilities: scramble routine and stored passwords, Windows-1252 text, field and
// name routines, system information, file compression and the grid export writers.

#include "app/core/cifra.h"
#include "app/core/compressione.h"
#include "app/core/esportazione.h"
#include "app/core/sysinfo.h"
#include "app/core/textutils.h"
#include "data/testo/win1252.h"
#include "tavo_version.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

using namespace tavo;

namespace {

QByteArray leggiFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

bool scriviFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

QByteArray casuale(int size, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray out(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        out[i] = char(gen.bounded(256));
    return out;
}

} // namespace

class TstCore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void win1252_data();
    void win1252();
    void win1252EveryByteRoundTrips();

    void scrambleRoundTrip_data();
    void scrambleRoundTrip();
    void scrambleKnownVector();
    void scrambleEmpty();
    void storedPasswords_data();
    void storedPasswords();
    void defaultPassword();
    void storedPasswordNotBase64();

    void contaCampi_data();
    void contaCampi();
    void estraiCampo_data();
    void estraiCampo();
    void formattaNome_data();
    void formattaNome();
    void numeroRomano_data();
    void numeroRomano();
    void normalizzaTelefono();
    void scegliValore();

    void infoSistemaTempFolder();
    void infoSistemaTempFileName();
    void infoSistemaSkipsExistingNames();
    void versione();

    void compressRoundTrip_data();
    void compressRoundTrip();
    void decompressBadInput_data();
    void decompressBadInput();
    void compressMissingSource();

    void exportXlsx();
    void exportXlsxTypedValues();
    void exportHtml();
    void exportCsv();
    void exportXml();
    void exportUnwritable_data();
    void exportUnwritable();
    void exportFailureKeepsExistingFile();
    void exportLabels_data();
    void exportLabels();

private:
    QStandardItemModel *nuovoModello();
    QTemporaryDir m_dir;
};

void TstCore::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Temporary names of InfoSistema land in a folder of this run only.
    QDir(m_dir.path()).mkpath(QStringLiteral("tmp"));
    qputenv("TMPDIR", QFile::encodeName(m_dir.filePath(QStringLiteral("tmp"))));
}

// ---- Windows-1252

void TstCore::win1252_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("back");
    QTest::newRow("ascii") << QStringLiteral("Via Roma 1") << QByteArray("Via Roma 1") << QStringLiteral("Via Roma 1");
    QTest::newRow("latin1 accents") << QStringLiteral("perché è più") << QByteArray("perch\xE9 \xE8 pi\xF9")
                                    << QStringLiteral("perché è più");
    QTest::newRow("euro and quotes") << QStringLiteral("€ “x” – …") << QByteArray("\x80 \x93x\x94 \x96 \x85")
                                     << QStringLiteral("€ “x” – …");
    QTest::newRow("section sign") << QStringLiteral("a§b")
                                  << QByteArray("a\xA7"
                                                "b")
                                  << QStringLiteral("a§b");
    QTest::newRow("not representable") << QStringLiteral("a漢b\U0001F600c") << QByteArray("a?b?c")
                                       << QStringLiteral("a?b?c");
}

void TstCore::win1252()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, back);
    QCOMPARE(toWin1252(text), bytes);
    QCOMPARE(fromWin1252(bytes), back);
}

void TstCore::win1252EveryByteRoundTrips()
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    const QString text = fromWin1252(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(toWin1252(text), all);
}

// ---- Scramble routine

void TstCore::scrambleRoundTrip_data()
{
    QTest::addColumn<int>("key");
    for (int key : {0, 1, 255, 256, 31477, 40371, 65535})
        QTest::addRow("key %d", key) << key;
    QRandomGenerator gen(7);
    for (int i = 0; i < 5; ++i) {
        const int key = int(gen.bounded(65536));
        QTest::addRow("random key %d", key) << key;
    }
}

void TstCore::scrambleRoundTrip()
{
    QFETCH(int, key);
    const QByteArray plain = casuale(300, quint32(key) + 1);
    const QByteArray scrambled = CifraTesto(plain, quint16(key));
    QCOMPARE(scrambled.size(), 300);
    QVERIFY(scrambled != plain);
    QCOMPARE(DecifraTesto(scrambled, quint16(key)), plain);
    // The last byte is scrambled too: changing it changes only the last output byte.
    QByteArray changed = plain;
    changed[299] = char(plain.at(299) ^ 0x5A);
    const QByteArray scrambled2 = CifraTesto(changed, quint16(key));
    QCOMPARE(scrambled2.left(299), scrambled.left(299));
    QVERIFY(scrambled2.at(299) != scrambled.at(299));
}

void TstCore::scrambleKnownVector()
{
    // "ABC" with key 1000 (0x03E8):
    //   k = 0x03E8, high byte 0x03: 'A' 0x41 ^ 0x03 = 0x42;
    //     k = (1000 + 0x42) * 31477 + 27061 = 1066 * 31477 + 27061 = 33581543 = 512 * 65536 + 27111 -> 0x69E7
    //   high byte 0x69: 'B' 0x42 ^ 0x69 = 0x2B;
    //     k = (27111 + 0x2B) * 31477 + 27061 = 27154 * 31477 + 27061 = 854753519 = 13042 * 65536 + 33007 -> 0x80EF
    //   high byte 0x80: 'C' 0x43 ^ 0x80 = 0xC3.
    const QByteArray expected("\x42\x2B\xC3", 3);
    QCOMPARE(CifraTesto(QByteArray("ABC"), 1000), expected);
    QCOMPARE(DecifraTesto(expected, 1000), QByteArray("ABC"));
}

void TstCore::scrambleEmpty()
{
    QVERIFY(CifraTesto(QByteArray(), ChiaveProgramma).isEmpty());
    QVERIFY(DecifraTesto(QByteArray(), ChiaveProgramma).isEmpty());
    QVERIFY(scriviPasswordCifrata(QString()).isEmpty());
    QVERIFY(leggiPasswordCifrata(QString()).isEmpty());
}

void TstCore::storedPasswords_data()
{
    QTest::addColumn<QString>("plain");
    QTest::newRow("simple") << QStringLiteral("segreto");
    QTest::newRow("accents and euro") << QStringLiteral("Perché€99");
    QTest::newRow("long") << QString(40, QLatin1Char('x'));
}

void TstCore::storedPasswords()
{
    QFETCH(QString, plain);
    const QString stored = scriviPasswordCifrata(plain);
    // Base64 of as many scrambled bytes as the plain text has characters.
    QCOMPARE(QByteArray::fromBase64(stored.toLatin1()).size(), plain.size());
    QCOMPARE(stored, QString::fromLatin1(CifraTesto(toWin1252(plain), 40371).toBase64()));
    bool ok = false;
    QCOMPARE(leggiPasswordCifrata(stored, &ok), plain);
    QVERIFY(ok);
}

void TstCore::defaultPassword()
{
    QCOMPARE(qstrlen(PasswordPredefinitaCifrata), 16u);
    QCOMPARE(QByteArray::fromBase64(PasswordPredefinitaCifrata).size(), 12);
    bool ok = false;
    QCOMPARE(leggiPasswordCifrata(QString::fromLatin1(PasswordPredefinitaCifrata), &ok),
             QStringLiteral("masterkey012"));
    QVERIFY(ok);
    QCOMPARE(scriviPasswordCifrata(QStringLiteral("masterkey012")), QString::fromLatin1(PasswordPredefinitaCifrata));
}

void TstCore::storedPasswordNotBase64()
{
    bool ok = true;
    leggiPasswordCifrata(QStringLiteral("non è base64!"), &ok);
    QVERIFY(!ok);
}

// ---- Fields

void TstCore::contaCampi_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("one separator") << QStringLiteral(";") << 1;
    QTest::newRow("one field") << QStringLiteral("abc") << 1;
    QTest::newRow("empty middle") << QStringLiteral("a;;c") << 3;
    QTest::newRow("five buttons") << QStringLiteral("Sì;No;Sì per tutti;No per tutti;Annulla") << 5;
    QTest::newRow("five buttons, final ;") << QStringLiteral("Sì;No;Sì per tutti;No per tutti;Annulla;") << 5;
    QTest::newRow("two separators") << QStringLiteral(";;") << 2;
}

void TstCore::contaCampi()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QCOMPARE(ContaCampi(text, QLatin1Char(';')), count);
}

void TstCore::estraiCampo_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("field");
    const QString bottoni = QStringLiteral("Sì;No;Sì per tutti;No per tutti;Annulla");
    QTest::newRow("a;;c 1") << QStringLiteral("a;;c") << 1 << QStringLiteral("a");
    QTest::newRow("a;;c 2 empty") << QStringLiteral("a;;c") << 2 << QString();
    QTest::newRow("a;;c 3") << QStringLiteral("a;;c") << 3 << QStringLiteral("c");
    QTest::newRow("a;;c 4 missing") << QStringLiteral("a;;c") << 4 << QString();
    QTest::newRow("buttons 3") << bottoni << 3 << QStringLiteral("Sì per tutti");
    QTest::newRow("buttons 5") << bottoni << 5 << QStringLiteral("Annulla");
    QTest::newRow("buttons; 5") << bottoni + QLatin1Char(';') << 5 << QStringLiteral("Annulla");
    QTest::newRow("buttons; 6") << bottoni + QLatin1Char(';') << 6 << QString();
    QTest::newRow("zero") << bottoni << 0 << QString();
    QTest::newRow("empty text") << QString() << 1 << QString();
}

void TstCore::estraiCampo()
{
    QFETCH(QString, text);
    QFETCH(int, n);
    QFETCH(QString, field);
    QCOMPARE(EstraiCampo(n, text, QLatin1Char(';')), field);
}

// ---- Names

void TstCore::formattaNome_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("address") << QStringLiteral("VIA DEI MILLE 12") << QStringLiteral("Via Dei Mille 12");
    QTest::newRow("apostrophe and hyphen")
        << QStringLiteral("PIAZZA D'ANNUNZIO-ROSSI") << QStringLiteral("Piazza D'Annunzio-Rossi");
    QTest::newRow("roman numeral") << QStringLiteral("VIA PIO XII") << QStringLiteral("Via Pio XII");
    QTest::newRow("two spaces kept") << QStringLiteral("VIA  ROMA") << QStringLiteral("Via  Roma");
    QTest::newRow("outer spaces removed") << QStringLiteral("  CORSO ITALIA ") << QStringLiteral("Corso Italia");
    QTest::newRow("P.ZZA") << QStringLiteral("P.ZZA GARIBALDI") << QStringLiteral("P.zza Garibaldi");
    QTest::newRow("P.ZAZ") << QStringLiteral("P.ZAZ GARIBALDI") << QStringLiteral("P.zza Garibaldi");
    QTest::newRow("P.ZZ") << QStringLiteral("p.zz garibaldi") << QStringLiteral("P.zza Garibaldi");
    QTest::newRow("VIA.LE") << QStringLiteral("VIA.LE MONZA") << QStringLiteral("V.le Monza");
    QTest::newRow("C.SO") << QStringLiteral("C.SO BUENOS AIRES") << QStringLiteral("C.so Buenos Aires");
    QTest::newRow("F.LLI") << QStringLiteral("F.LLI BIANCHI SNC") << QStringLiteral("F.lli Bianchi Snc");
    QTest::newRow("other dotted word") << QStringLiteral("S.R.L.") << QStringLiteral("S.R.L.");
    QTest::newRow("VIVI is a word") << QStringLiteral("VIVI CASA") << QStringLiteral("Vivi Casa");
    QTest::newRow("single roman") << QStringLiteral("VIA I MAGGIO") << QStringLiteral("Via I Maggio");
    QTest::newRow("accented") << QStringLiteral("ÀNCORA CITTÀ") << QStringLiteral("Àncora Città");
    QTest::newRow("empty") << QString() << QString();
}

void TstCore::formattaNome()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(FormattaNome(in), out);
}

void TstCore::numeroRomano_data()
{
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("roman");
    QTest::newRow("VIVI") << QStringLiteral("VIVI") << false;
    QTest::newRow("vivi") << QStringLiteral("vivi") << false;
    QTest::newRow("XIV") << QStringLiteral("XIV") << true;
    QTest::newRow("xii lower") << QStringLiteral("xii") << true;
    QTest::newRow("empty") << QString() << true;
    QTest::newRow("L not allowed") << QStringLiteral("XL") << false;
    QTest::newRow("word") << QStringLiteral("VIA") << false;
}

void TstCore::numeroRomano()
{
    QFETCH(QString, word);
    QFETCH(bool, roman);
    QCOMPARE(NumeroRomano(word), roman);
}

void TstCore::normalizzaTelefono()
{
    QCOMPARE(NormalizzaTelefono(QStringLiteral("+39 (02) 123-45 67")), QStringLiteral("39021234567"));
    QCOMPARE(NormalizzaTelefono(QStringLiteral("tel. ٣٤ 0x1")), QStringLiteral("01"));
    QCOMPARE(NormalizzaTelefono(QString()), QString());
}

void TstCore::scegliValore()
{
    QCOMPARE(ScegliValore(true, QStringLiteral("S"), QStringLiteral("N")), QStringLiteral("S"));
    QCOMPARE(ScegliValore(false, "Sì", "No"), QStringLiteral("No"));
    QCOMPARE(ScegliValore(false, 3, 4), 4);
}

// ---- System information

void TstCore::infoSistemaTempFolder()
{
    const QString temp = InfoSistema(0);
    QCOMPARE(temp, QDir::toNativeSeparators(m_dir.filePath(QStringLiteral("tmp"))) + QDir::separator());
    QVERIFY(QFileInfo(temp).isDir());
}

void TstCore::infoSistemaTempFileName()
{
    const QString temp = InfoSistema(0);
    const QString first = InfoSistema(8);
    const QRegularExpression form(QLatin1Char('^') + QRegularExpression::escape(temp) +
                                  QStringLiteral("~[0-9A-F]{8}\\.tmp$"));
    QVERIFY2(form.match(first).hasMatch(), qPrintable(first));
    QVERIFY(!QFileInfo::exists(first));
    QVERIFY(scriviFile(first, "x"));
    const QString second = InfoSistema(8);
    QVERIFY2(form.match(second).hasMatch(), qPrintable(second));
    QVERIFY(second != first);
    QVERIFY(!QFileInfo::exists(second));
}

void TstCore::infoSistemaSkipsExistingNames()
{
    // Occupy the names of the next 300 ms: the routine must step past all of them.
    const QString temp = InfoSistema(0);
    const quint32 start = tickCount();
    QStringList occupied;
    for (quint32 i = 0; i < 300; ++i) {
        const QString hex = QStringLiteral("%1").arg(start + i, 8, 16, QLatin1Char('0')).toUpper();
        const QString name = temp + QLatin1Char('~') + hex + QLatin1String(".tmp");
        QVERIFY(scriviFile(name, QByteArray()));
        occupied.append(name);
    }
    const QString name = InfoSistema(8);
    QVERIFY(QFileInfo::exists(occupied.first()));
    QVERIFY(!occupied.contains(name));
    QVERIFY(!QFileInfo::exists(name));
    for (const QString &f : std::as_const(occupied))
        QFile::remove(f);
}

void TstCore::versione()
{
    const QString version = LeggiInfoVersione(QString(), QStringLiteral("FileVersion"));
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$")).match(version).hasMatch(),
             qPrintable(version));
    QCOMPARE(version, QStringLiteral(TAVO_FILE_VERSION));
    QCOMPARE(InfoSistema(12), version);
    QCOMPARE(LeggiInfoVersione(QCoreApplication::applicationFilePath(), QStringLiteral("ProductName")),
             QStringLiteral("Tavo Vuduvoveviv"));
    QCOMPARE(LeggiInfoVersione(QString(), QStringLiteral("CompanyName")), QStringLiteral("Ramolfi"));
    QVERIFY(LeggiInfoVersione(QString(), QStringLiteral("NonEsiste")).isEmpty());
    const QString other = m_dir.filePath(QStringLiteral("altro.exe"));
    QVERIFY(scriviFile(other, "MZ"));
    QVERIFY(LeggiInfoVersione(other, QStringLiteral("FileVersion")).isEmpty());
}

// ---- Compression

void TstCore::compressRoundTrip_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one byte") << QByteArray("x");
    QTest::newRow("one block exactly") << casuale(1024, 3);
    QTest::newRow("1 MB random") << casuale(1024 * 1024, 11);
    QTest::newRow("1 MB text") << QByteArray("Annuncio di prova; ").repeated(55189);
}

void TstCore::compressRoundTrip()
{
    QFETCH(QByteArray, content);
    const QString src = m_dir.filePath(QStringLiteral("sorgente.bin"));
    const QString packed = m_dir.filePath(QStringLiteral("compresso.z"));
    const QString back = m_dir.filePath(QStringLiteral("ritorno.bin"));
    QVERIFY(scriviFile(src, content));
    QVERIFY(scriviFile(back, "older content that must be replaced"));
    ComprimiFile(src, packed);
    DecomprimiFile(packed, back);
    QCOMPARE(leggiFile(back), content);

    // A standard zlib stream: Qt's own decoder (length prefix + zlib data) reads it too.
    const QByteArray z = leggiFile(packed);
    QVERIFY(z.size() >= 2);
    QCOMPARE(quint8(z.at(0)), quint8(0x78));
    QByteArray prefixed(4, 0);
    qToBigEndian<quint32>(quint32(content.size()), prefixed.data());
    QCOMPARE(qUncompress(prefixed + z), content);
}

void TstCore::decompressBadInput_data()
{
    QTest::addColumn<QByteArray>("packed");
    QTest::addColumn<QString>("message");
    const QByteArray good = qCompress(casuale(5000, 5)).mid(4);
    QTest::newRow("garbage") << casuale(3000, 9) << QStringLiteral("Dati compressi non validi");
    QTest::newRow("empty file") << QByteArray() << QStringLiteral("Dati compressi incompleti");
    QTest::newRow("truncated") << good.left(good.size() - 10) << QStringLiteral("Dati compressi incompleti");
    QTest::newRow("bad checksum") << good.left(good.size() - 1) + char(good.back() ^ 1)
                                  << QStringLiteral("Dati compressi non validi");
    QTest::newRow("trailing bytes") << good + "xyz" << QStringLiteral("Dati estranei");
}

void TstCore::decompressBadInput()
{
    QFETCH(QByteArray, packed);
    QFETCH(QString, message);
    const QString src = m_dir.filePath(QStringLiteral("rovinato.z"));
    const QString fresh = m_dir.filePath(QStringLiteral("nuovo.bin"));
    const QString existing = m_dir.filePath(QStringLiteral("esistente.bin"));
    QFile::remove(fresh);
    QVERIFY(scriviFile(src, packed));
    QVERIFY(scriviFile(existing, "dati precedenti"));

    for (const QString &dst : {fresh, existing}) {
        try {
            DecomprimiFile(src, dst);
            QFAIL("no error raised");
        } catch (const FileError &e) {
            QVERIFY2(e.message().contains(message), qPrintable(e.message()));
            QVERIFY2(e.message().contains(QDir::toNativeSeparators(src)), qPrintable(e.message()));
        }
    }
    // Nothing half-written: no new file, the old one untouched, no temporary left behind.
    QVERIFY(!QFileInfo::exists(fresh));
    QCOMPARE(leggiFile(existing), QByteArray("dati precedenti"));
    const QStringList left = QDir(m_dir.path()).entryList(QDir::Files);
    for (const QString &f : left)
        QVERIFY2(!f.startsWith(QLatin1String("nuovo.bin")) && !f.startsWith(QLatin1String("esistente.bin.")),
                 qPrintable(f));
}

void TstCore::compressMissingSource()
{
    const QString missing = m_dir.filePath(QStringLiteral("manca.bin"));
    const QString dst = m_dir.filePath(QStringLiteral("mai.z"));
    QVERIFY_THROWS_EXCEPTION(FileError, ComprimiFile(missing, dst));
    QVERIFY_THROWS_EXCEPTION(FileError, DecomprimiFile(missing, dst));
    QVERIFY(!QFileInfo::exists(dst));
    const QString src = m_dir.filePath(QStringLiteral("c.bin"));
    QVERIFY(scriviFile(src, "abc"));
    try {
        ComprimiFile(src, m_dir.filePath(QStringLiteral("cartella/che/non/esiste.z")));
        QFAIL("no error raised");
    } catch (const FileError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("esiste.z")), qPrintable(e.message()));
    }
}

// ---- Exports

// Four columns; the grid shows Cognome (3), Nome (0) and Prezzo (2), in that order, and hides
// Segreto (1).
QStandardItemModel *TstCore::nuovoModello()
{
    auto *model = new QStandardItemModel(0, 4, this);
    model->setHorizontalHeaderLabels(
        {QStringLiteral("Nome"), QStringLiteral("Segreto"), QStringLiteral("Prezzo"), QStringLiteral("Cognome")});
    auto riga = [&](const QString &nome, const QString &cognome, const QString &prezzo) {
        model->appendRow({new QStandardItem(nome), new QStandardItem(QStringLiteral("NASCOSTO")),
                          new QStandardItem(prezzo), new QStandardItem(cognome)});
    };
    riga(QStringLiteral("Mario"), QStringLiteral("Rossi; Bianchi"), QStringLiteral("€ 1.234,50"));
    riga(QStringLiteral("Anna \"Nina\""), QStringLiteral("<b>Verdi</b> & C."), QStringLiteral("€ 99,00"));
    riga(QStringLiteral("Luca\r\nSecondo"), QStringLiteral("D'Amico"), QString());
    return model;
}

void TstCore::exportXlsx()
{
    if (QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty())
        QSKIP("unzip is not installed");
    QStandardItemModel *model = nuovoModello();
    const QString file = m_dir.filePath(QStringLiteral("elenco.xlsx"));
    QString error;
    QVERIFY2(esportaModello(EsportaExcel, QStringLiteral("Clienti [prova]: a/b*c?d\\e molto molto lunghi"), *model,
                            {3, 0, 2}, file, &error),
             qPrintable(error));
    QCOMPARE(leggiFile(file).left(2), QByteArray("PK"));

    auto unzip = [&](const QString &entry) {
        QProcess p;
        p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), file, entry});
        p.waitForFinished();
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    const QString sheet = unzip(QStringLiteral("xl/worksheets/sheet1.xml"));
    const QString strings = unzip(QStringLiteral("xl/sharedStrings.xml"));
    const QString workbook = unzip(QStringLiteral("xl/workbook.xml"));
    QVERIFY2(sheet.contains(QLatin1String("<sheetData>")), qPrintable(sheet));
    for (const char *value : {"Cognome", "Nome", "Prezzo", "Rossi; Bianchi", "Mario", "€ 1.234,50",
                              "&lt;b&gt;Verdi&lt;/b&gt; &amp; C.", "D'Amico"})
        QVERIFY2(strings.contains(QString::fromUtf8(value)), value);
    QVERIFY(!strings.contains(QLatin1String("NASCOSTO")));
    QVERIFY(!strings.contains(QLatin1String("Segreto")));
    // Three columns A..C, header + 3 rows (the last price is empty); column D never appears.
    QVERIFY(sheet.contains(QLatin1String("r=\"B4\"")));
    QVERIFY(!sheet.contains(QLatin1String("r=\"D1\"")));
    // The sheet name: no [ ] : * ? / \ and at most 31 characters.
    QVERIFY2(workbook.contains(QLatin1String("name=\"Clienti prova abcde molto molto\"")), qPrintable(workbook));
    // The header row is bold: its cells use a style that is not the default one.
    QVERIFY2(QRegularExpression(QStringLiteral("<c r=\"A1\" s=\"[1-9]")).match(sheet).hasMatch(), qPrintable(sheet));
}

void TstCore::exportXlsxTypedValues()
{
    if (QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty())
        QSKIP("unzip is not installed");
    // A model whose EditRole differs from the DisplayRole, as a formatted grid model has.
    class Modello : public QStandardItemModel
    {
    public:
        using QStandardItemModel::QStandardItemModel;
        QVariant data(const QModelIndex &index, int role) const override
        {
            if (index.column() == 0)
                return role == Qt::EditRole ? QVariant(1234.5) : QVariant(QStringLiteral("€ 1.234,50"));
            if (index.column() == 1)
                return role == Qt::EditRole ? QVariant(QDate(2024, 3, 15)) : QVariant(QStringLiteral("15/03/2024"));
            return QStringLiteral("testo");
        }
    } model(1, 3);
    const QString file = m_dir.filePath(QStringLiteral("tipi.xlsx"));
    QString error;
    QVERIFY2(
        esportaModello(EsportaExcel, QStringLiteral("Annunci"), model, {0, 1, 2}, file, &error, ValoriExcel::Tipizzati),
        qPrintable(error));
    QProcess p;
    p.start(QStringLiteral("unzip"), {QStringLiteral("-p"), file, QStringLiteral("xl/worksheets/sheet1.xml")});
    p.waitForFinished();
    const QString sheet = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY2(sheet.contains(QLatin1String("<v>1234.5</v>")), qPrintable(sheet));
    // 15 March 2024 is Excel serial day 45366.
    QVERIFY2(sheet.contains(QLatin1String("<v>45366</v>")), qPrintable(sheet));
}

void TstCore::exportHtml()
{
    QStandardItemModel *model = nuovoModello();
    const QString file = m_dir.filePath(QStringLiteral("elenco.htm"));
    QString error;
    QVERIFY2(esportaModello(EsportaHtml, QStringLiteral("Clienti & Co"), *model, {3, 0, 2}, file, &error),
             qPrintable(error));
    const QString page = QString::fromUtf8(leggiFile(file));
    QVERIFY(page.startsWith(QLatin1String("<!DOCTYPE html>")));
    QVERIFY(page.contains(QLatin1String("<meta charset=\"utf-8\">")));
    QVERIFY2(page.contains(QLatin1String("<title>Tavo - Elenco Clienti &amp; Co</title>")), qPrintable(page));
    QVERIFY(page.contains(QLatin1String("<h1>Tavo - Elenco Clienti &amp; Co</h1>")));
    QVERIFY(page.contains(QLatin1String("<tr><th>Cognome</th><th>Nome</th><th>Prezzo</th></tr>")));
    QVERIFY(page.contains(QStringLiteral("<tr><td>Rossi; Bianchi</td><td>Mario</td><td>€ 1.234,50</td></tr>")));
    QVERIFY(page.contains(QLatin1String("<td>&lt;b&gt;Verdi&lt;/b&gt; &amp; C.</td><td>Anna &quot;Nina&quot;</td>")));
    QVERIFY(page.contains(QLatin1String("<td>Luca<br>Secondo</td>")));
    QVERIFY(!page.contains(QLatin1String("NASCOSTO")));
    QVERIFY(page.trimmed().endsWith(QLatin1String("</html>")));
}

void TstCore::exportCsv()
{
    QStandardItemModel *model = nuovoModello();
    const QString file = m_dir.filePath(QStringLiteral("elenco.csv"));
    QString error;
    QVERIFY2(esportaModello(EsportaCsv, QStringLiteral("Clienti"), *model, {3, 0, 2}, file, &error), qPrintable(error));
    const QByteArray expected =
        QByteArrayLiteral("\xEF\xBB\xBF") + QStringLiteral("Cognome;Nome;Prezzo\r\n"
                                                           "\"Rossi; Bianchi\";Mario;€ 1.234,50\r\n"
                                                           "<b>Verdi</b> & C.;\"Anna \"\"Nina\"\"\";€ 99,00\r\n"
                                                           "D'Amico;\"Luca\r\nSecondo\";\r\n")
                                                .toUtf8();
    QCOMPARE(leggiFile(file), expected);
}

void TstCore::exportXml()
{
    QStandardItemModel *model = nuovoModello();
    model->item(0, 0)->setText(QStringLiteral("Ma\x01rio")); // a control character XML cannot carry
    const QString file = m_dir.filePath(QStringLiteral("elenco.xml"));
    QString error;
    QVERIFY2(esportaModello(EsportaXml, QStringLiteral("Clienti <tutti>"), *model, {3, 0, 2}, file, &error),
             qPrintable(error));

    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&f);
    QString nomeElenco;
    QVector<QVector<QPair<QString, QString>>> righe;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("Elenco"))
            nomeElenco = xml.attributes().value(QLatin1String("nome")).toString();
        else if (xml.name() == QLatin1String("Riga"))
            righe.append(QVector<QPair<QString, QString>>());
        else if (xml.name() == QLatin1String("Campo")) {
            QVERIFY(!righe.isEmpty());
            const QString nome = xml.attributes().value(QLatin1String("nome")).toString();
            righe.last().append({nome, xml.readElementText()});
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(nomeElenco, QStringLiteral("Clienti <tutti>"));
    QCOMPARE(righe.size(), 3);
    using Campo = QPair<QString, QString>;
    QCOMPARE(righe.at(0), (QVector<Campo>{{QStringLiteral("Cognome"), QStringLiteral("Rossi; Bianchi")},
                                          {QStringLiteral("Nome"), QStringLiteral("Mario")},
                                          {QStringLiteral("Prezzo"), QStringLiteral("€ 1.234,50")}}));
    QCOMPARE(righe.at(1).at(0).second, QStringLiteral("<b>Verdi</b> & C."));
    QCOMPARE(righe.at(1).at(1).second, QStringLiteral("Anna \"Nina\""));
    QCOMPARE(righe.at(2).at(1).second, QStringLiteral("Luca\nSecondo"));
    QCOMPARE(righe.at(2).at(2).second, QString());
}

void TstCore::exportUnwritable_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("xlsx") << int(EsportaExcel);
    QTest::newRow("html") << int(EsportaHtml);
    QTest::newRow("csv") << int(EsportaCsv);
    QTest::newRow("xml") << int(EsportaXml);
}

void TstCore::exportUnwritable()
{
    QFETCH(int, kind);
    QStandardItemModel *model = nuovoModello();
    const QString file = m_dir.filePath(QStringLiteral("manca/elenco") + estensioneEsportazione(kind));
    QString error;
    QVERIFY(!esportaModello(kind, QStringLiteral("Clienti"), *model, {0}, file, &error));
    QVERIFY2(error.contains(QStringLiteral("Impossibile creare il file")), qPrintable(error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(file)), qPrintable(error));
    QVERIFY(!QFileInfo::exists(file));
}

void TstCore::exportFailureKeepsExistingFile()
{
    QStandardItemModel *model = nuovoModello();
    const QString file = m_dir.filePath(QStringLiteral("tenuto.csv"));
    QVERIFY(scriviFile(file, "precedente"));
    QString error;
    QVERIFY(!esportaModello(7, QStringLiteral("Clienti"), *model, {0}, file, &error));
    QVERIFY2(error.contains(QStringLiteral("Tipo di esportazione non valido")), qPrintable(error));
    QCOMPARE(leggiFile(file), QByteArray("precedente"));
}

void TstCore::exportLabels_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("extension");
    QTest::newRow("excel") << 0 << "Esportazione Clienti"
                           << "Excel (*.xlsx);;Tutti i file (*)"
                           << ".xlsx";
    QTest::newRow("html") << 1 << "Tavo - Elenco Clienti"
                          << "HTML (*.htm);;Tutti i file (*)"
                          << ".htm";
    QTest::newRow("csv") << 2 << "Esportazione Clienti"
                         << "CSV (*.csv);;Tutti i file (*)"
                         << ".csv";
    QTest::newRow("xml") << 3 << "Esportazione Clienti"
                         << "XML (*.xml);;Tutti i file (*)"
                         << ".xml";
    QTest::newRow("unknown") << 9 << "Esportazione Clienti"
                             << ""
                             << "";
}

void TstCore::exportLabels()
{
    QFETCH(int, kind);
    QFETCH(QString, title);
    QFETCH(QString, filter);
    QFETCH(QString, extension);
    QCOMPARE(titoloEsportazione(kind, QStringLiteral("Clienti")), title);
    QCOMPARE(tipiFileEsportazione(kind), filter);
    QCOMPARE(estensioneEsportazione(kind), extension);
}

QTEST_GUILESS_MAIN(TstCore)
#include "tst_core.moc"
