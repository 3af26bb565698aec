// The listing editor's logic without widgets: the conversions of the screen's values, references, the save
// statements and their refusal, the copy of a listing's photo and video rows, the photo and video lists on the
// editor's transaction, and the files of the listing folder. Real agency databases, no screen.

#include "listings/datiannuncio.h"
#include "listings/galleria.h"

#include "tempdatabase.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

using namespace tavo;
using tavo::test::TempDatabase;

namespace {

const int Milano = 15146;
const int Appartamento = 1, Negozio = 19;
const int Vendita = 1, Vacanze = 3;

// Every column the editor writes, as a new listing has them.
ValoriAnnuncio valoriMinimi(int idCliente, const QString &riferimento)
{
    ValoriAnnuncio v;
    v[QStringLiteral("ID_CLIENTE")] = idCliente;
    v[QStringLiteral("ID_COMUNE")] = Milano;
    v[QStringLiteral("ID_TIPOLOGIA_IMMOBILE")] = Appartamento;
    v[QStringLiteral("ID_TIPOLOGIA_ANNUNCIO")] = Vendita;
    v[QStringLiteral("RIFERIMENTO")] = riferimento;
    v[QStringLiteral("PREZZO")] = 0.0;
    v[QStringLiteral("PRIORITA")] = 3;
    v[QStringLiteral("ELIMINATO")] = QStringLiteral("N");
    v[QStringLiteral("FOTOSN")] = QStringLiteral("N");
    v[QStringLiteral("BALCONE")] = QString(QLatin1String(""));
    return v;
}

void cliente(TempDatabase &d, int id, const char *proprietario)
{
    d.exec(QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR,PROPRIETARIO) values (%1,'CLIENTE %1','%2')")
               .arg(id)
               .arg(QLatin1String(proprietario)));
}

void annuncio(TempDatabase &d, int id, const QString &riferimento)
{
    d.exec(QStringLiteral("insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE,ID_CLIENTE,ID_COMUNE,"
                          "ID_TIPOLOGIA_IMMOBILE,ID_TIPOLOGIA_ANNUNCIO,RIFERIMENTO) values (%1,1,%2,1,1,'%3')")
               .arg(id)
               .arg(Milano)
               .arg(riferimento));
}

bool scriviJpeg(const QString &percorso, int larghezza, int altezza)
{
    QImage img(larghezza, altezza, QImage::Format_RGB32);
    img.fill(QColor(40, 120, 200));
    return img.save(percorso, "JPG");
}

} // namespace

class TestDatiAnnuncio : public QObject
{
    Q_OBJECT

private slots:
    // ---- conversions -----------------------------------------------------------------------------------------

    void numeri_data()
    {
        QTest::addColumn<QString>("testo");
        QTest::addColumn<double>("numero");
        QTest::addColumn<double>("moneta");
        QTest::addColumn<int>("intero");
        QTest::newRow("four decimals kept") << "1234,56789" << 1234.56789 << 1234.5679 << 1234;
        QTest::newRow("rooms cut") << "3,9" << 3.9 << 3.9 << 3;
        QTest::newRow("negative cut toward zero") << "-3,9" << -3.9 << -3.9 << -3;
        QTest::newRow("coordinate") << "1234,9" << 1234.9 << 1234.9 << 1234;
        QTest::newRow("empty") << "" << 0.0 << 0.0 << 0;
        QTest::newRow("not a number") << "abc" << 0.0 << 0.0 << 0;
        QTest::newRow("half to even at the fifth decimal") << "0,00005" << 0.00005 << 0.0 << 0;
    }
    void numeri()
    {
        QFETCH(QString, testo);
        QFETCH(double, numero);
        QFETCH(double, moneta);
        QFETCH(int, intero);
        QCOMPARE(numeroDaTesto(testo), numero);
        QCOMPARE(valuta(numeroDaTesto(testo)), moneta);
        QCOMPARE(interoTroncato(numeroDaTesto(testo)), intero);
    }

    void testiDeiNumeri()
    {
        QCOMPARE(testoNumero(95.5), QStringLiteral("95,5"));
        QCOMPARE(testoNumero(3), QStringLiteral("3"));
        QCOMPARE(testoNumero(1234.5679), QStringLiteral("1234,5679"));
        QCOMPARE(interoTroncato(1e12), std::numeric_limits<int>::max());
    }

    void flag_data()
    {
        QTest::addColumn<QVariant>("memorizzato");
        QTest::addColumn<int>("stato");
        QTest::addColumn<QString>("riscritto");
        QTest::newRow("S") << QVariant(QStringLiteral("S")) << int(Qt::Checked) << "S";
        QTest::newRow("N") << QVariant(QStringLiteral("N")) << int(Qt::Unchecked) << "N";
        QTest::newRow("empty text is not stated")
            << QVariant(QString(QLatin1String(""))) << int(Qt::PartiallyChecked) << "";
        QTest::newRow("null is not stated") << QVariant() << int(Qt::PartiallyChecked) << "";
        QTest::newRow("anything else is not stated")
            << QVariant(QStringLiteral("x")) << int(Qt::PartiallyChecked) << "";
    }
    void flag()
    {
        QFETCH(QVariant, memorizzato);
        QFETCH(int, stato);
        QFETCH(QString, riscritto);
        QCOMPARE(statoDaFlag(memorizzato), stato);
        const QString scritto = flagTreStati(stato);
        QCOMPARE(scritto, riscritto);
        QVERIFY(!scritto.isNull()); // the empty text, not NULL
        QCOMPARE(tavo::flag(true), QStringLiteral("S"));
        QCOMPARE(tavo::flag(false), QStringLiteral("N"));
    }

    void proposta_data()
    {
        QTest::addColumn<qint64>("numero");
        QTest::addColumn<QString>("riferimento");
        QTest::newRow("5") << qint64(5) << "005";
        QTest::newRow("7") << qint64(7) << "007";
        QTest::newRow("123") << qint64(123) << "123";
        QTest::newRow("1000") << qint64(1000) << "1000";
    }
    void proposta()
    {
        QFETCH(qint64, numero);
        QFETCH(QString, riferimento);
        QCOMPARE(propostaRiferimento(numero), riferimento);
    }

    void voceCliente_data()
    {
        QTest::addColumn<QStringList>("campi"); // descr, tel1, tel2, tel3, email
        QTest::addColumn<QString>("voce");
        QTest::newRow("all") << QStringList{"ROSSI", "02 1", "", "335 2", "r@x.it"} << "ROSSI 02 1  335 2 r@x.it";
        QTest::newRow("no description") << QStringList{"", "", "335 2", "", "r@x.it"} << "335 2 r@x.it";
        QTest::newRow("only e-mail") << QStringList{"", "", "", "", "r@x.it"} << "r@x.it";
        QTest::newRow("only description") << QStringList{"ROSSI", "", "", "", ""} << "ROSSI";
    }
    void voceCliente()
    {
        QFETCH(QStringList, campi);
        QFETCH(QString, voce);
        QCOMPARE(testoVoceCliente(campi[0], campi[1], campi[2], campi[3], campi[4]), voce);
    }

    void categoria()
    {
        QCOMPARE(categoriaAnnuncio(Vacanze, QStringLiteral("C")), QStringLiteral("vacanze"));
        QCOMPARE(categoriaAnnuncio(Vendita, QStringLiteral("C")), QStringLiteral("commerciale"));
        QCOMPARE(categoriaAnnuncio(2, QStringLiteral("R")), QStringLiteral("residenziale"));
        QCOMPARE(categoriaAnnuncio(Vendita, QVariant()), QStringLiteral("residenziale"));
    }

    void listeFisse()
    {
        QCOMPARE(vociFisse(QStringLiteral("BOX_AUTO")), (QStringList{"nessuno", "singolo", "doppio", "posto auto"}));
        QCOMPARE(vociFisse(QStringLiteral("PIANO")).size(), 13);
        QCOMPARE(vociFisse(QStringLiteral("PIANO")).last(), QString::fromUtf8("su più livelli"));
        QCOMPARE(vociFisse(QStringLiteral("DISPONIBILITA")).at(2), QString::fromUtf8("nuda proprietà"));
    }

    void valoriPerIncroci()
    {
        ValoriAnnuncio v;
        v[QStringLiteral("PREZZO")] = 1234.56789;
        v[QStringLiteral("NR_LOCALI")] = 3.9;
        v[QStringLiteral("LOCALITA")] = QStringLiteral("  CENTRO ");
        v[QStringLiteral("BALCONE")] = QString(QLatin1String(""));
        v[QStringLiteral("TERRAZZO")] = QStringLiteral("S");
        const incroci::ValoriAnnuncio a = valoriIncrocio(v);
        QCOMPARE(*a.prezzo, 1234.5679);
        QCOMPARE(*a.nrLocali, 3.0);
        QCOMPARE(*a.localita, QStringLiteral("CENTRO"));
        QCOMPARE(*a.balcone, QString());
        QCOMPARE(*a.terrazzo, QStringLiteral("S"));
    }

    // ---- database ----------------------------------------------------------------------------------------------

    void riferimenti()
    {
        TempDatabase d;
        cliente(d, 1, "N");
        annuncio(d, 10, QStringLiteral("a12"));
        annuncio(d, 11, QStringLiteral("A12_1"));
        db::Transaction tr(d.db());
        // Ignoring case, and never against the listing itself.
        QVERIFY(riferimentoUsato(tr, QStringLiteral("A12"), 0));
        QVERIFY(riferimentoUsato(tr, QStringLiteral("a12"), 0));
        QVERIFY(!riferimentoUsato(tr, QStringLiteral("A12"), 10));
        QVERIFY(!riferimentoUsato(tr, QStringLiteral("A13"), 0));
        // The copy of a12 is a12_2: A12_1 differs only in case, and the save would refuse a12_1.
        QCOMPARE(riferimentoCopia(tr, 10), QStringLiteral("a12_2"));
        QCOMPARE(riferimentoCopia(tr, 11), QStringLiteral("A12_1_1"));
        QCOMPARE(riferimentoCopia(tr, 999), QString());

        QVERIFY(!riferimentoGenerato(tr));
        d.exec(QStringLiteral("update OPZIONI set GEN_RIFERIMENTO='S' where ID=0"));
        db::Transaction tr2(d.db());
        QVERIFY(riferimentoGenerato(tr2));
        const qint64 primo = prossimoRiferimento(tr2);
        QCOMPARE(prossimoRiferimento(tr2), primo + 1);
    }

    void salvataggio()
    {
        TempDatabase d;
        cliente(d, 1, "N");
        const QDateTime adesso(QDate(2024, 5, 6), QTime(7, 8, 9));
        db::Transaction tr(d.db());
        ValoriAnnuncio v = valoriMinimi(1, QStringLiteral("X1"));
        v[QStringLiteral("PREZZO")] = valuta(1234.56789);
        v[QStringLiteral("NR_LOCALI")] = interoTroncato(3.9);
        const int id = salvaAnnuncio(tr, 0, v, adesso);
        QVERIFY(id > 0);
        // Durable at once: another transaction sees it.
        QCOMPARE(d.scalar(QStringLiteral("select PREZZO from ANNUNCI_IMMOBILI where ID_ANNUNCIO_IMMOBILE=%1").arg(id))
                     .toDouble(),
                 1234.5679);
        QCOMPARE(
            d.scalar(QStringLiteral("select NR_LOCALI from ANNUNCI_IMMOBILI where ID_ANNUNCIO_IMMOBILE=%1").arg(id))
                .toDouble(),
            3.0);
        QCOMPARE(d.scalar(QStringLiteral("select CATEGORIA_ANNUNCIO from ANNUNCI_IMMOBILI")).toString(),
                 QStringLiteral("residenziale"));
        QCOMPARE(d.scalar(QStringLiteral("select DATA_INSERIMENTO from ANNUNCI_IMMOBILI")).toDateTime(), adesso);
        QCOMPARE(d.scalar(QStringLiteral("select PROPRIETARIO from CLIENTI where ID_CLIENTE=1")).toString(),
                 QStringLiteral("S"));
        QCOMPARE(d.scalar(QStringLiteral("select BALCONE from ANNUNCI_IMMOBILI")).toString(), QString());
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI where BALCONE=''")).toInt(), 1);

        // An update: the category follows the kind and the type; the insertion date stays.
        d.exec(QStringLiteral("update ANNUNCI_IMMOBILI set ID_SOTTO_TIPOLOGIA_IMMOBILE=4"));
        v[QStringLiteral("ID_TIPOLOGIA_IMMOBILE")] = Negozio;
        QCOMPARE(salvaAnnuncio(tr, id, v, adesso.addDays(1)), id);
        QCOMPARE(d.scalar(QStringLiteral("select CATEGORIA_ANNUNCIO from ANNUNCI_IMMOBILI")).toString(),
                 QStringLiteral("commerciale"));
        QCOMPARE(d.scalar(QStringLiteral("select DATA_INSERIMENTO from ANNUNCI_IMMOBILI")).toDateTime(), adesso);
        QCOMPARE(d.scalar(QStringLiteral("select DATA_AGGIORNAMENTO from ANNUNCI_IMMOBILI")).toDateTime(),
                 adesso.addDays(1));
        QVERIFY(!d.scalar(QStringLiteral("select ID_SOTTO_TIPOLOGIA_IMMOBILE from ANNUNCI_IMMOBILI")).isValid());
        v[QStringLiteral("ID_TIPOLOGIA_ANNUNCIO")] = Vacanze;
        salvaAnnuncio(tr, id, v, adesso);
        QCOMPARE(d.scalar(QStringLiteral("select CATEGORIA_ANNUNCIO from ANNUNCI_IMMOBILI")).toString(),
                 QStringLiteral("vacanze"));

        const ValoriAnnuncio letto = leggiAnnuncio(tr, id);
        QCOMPARE(letto.value(QStringLiteral("RIFERIMENTO")).toString(), QStringLiteral("X1"));
        QCOMPARE(letto.value(QStringLiteral("NOME")).toString(), QStringLiteral("MILANO"));
        QCOMPARE(letto.value(QStringLiteral("ID_MACRO_TIPOLOGIA")).toInt(), 3);
        // DESCRIZIONE is the listing's, not the property type's.
        QVERIFY(letto.value(QStringLiteral("DESCRIZIONE")).isNull() ||
                letto.value(QStringLiteral("DESCRIZIONE")).toString().isEmpty());
        QVERIFY(leggiAnnuncio(tr, 999).isEmpty());
    }

    // A refused statement undoes its own work only: the photo rows already added on the transaction stay, the
    // generator's id is not used, and nothing is committed.
    void salvataggioFallito()
    {
        TempDatabase d;
        cliente(d, 1, "N");
        annuncio(d, 10, QStringLiteral("A1"));
        db::Transaction tr(d.db());
        TGalleria foto(TipoGalleria::Foto, tr);
        foto.apri(10);
        foto.nuova(10);
        foto.tabella()->setValue(QStringLiteral("PATH_IMAGE"), QStringLiteral("/x.jpg"));
        foto.registra();
        ValoriAnnuncio v = valoriMinimi(1, QStringLiteral("A1"));
        v[QStringLiteral("ID_COMUNE")] = -5; // no such municipality
        QVERIFY_THROWS_EXCEPTION(db::DbError, salvaAnnuncio(tr, 10, v, QDateTime::currentDateTime()));
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from PHOTOGALLERY")).toInt(), 0);
        QVERIFY_THROWS_EXCEPTION(db::DbError, salvaAnnuncio(tr, 0, v, QDateTime::currentDateTime()));
        // The photo row is still there for the next save.
        v[QStringLiteral("ID_COMUNE")] = Milano;
        salvaAnnuncio(tr, 10, v, QDateTime::currentDateTime());
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from PHOTOGALLERY where ID_ANNUNCIO_IMMOBILE=10")).toInt(),
                 1);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from ANNUNCI_IMMOBILI")).toInt(), 1);
    }

    void copiaRighe()
    {
        TempDatabase d;
        cliente(d, 1, "N");
        annuncio(d, 10, QStringLiteral("A1"));
        annuncio(d, 20, QStringLiteral("A2"));
        d.exec(QStringLiteral("insert into PHOTOGALLERY (ID_PHOTOGALLERY,ID_ANNUNCIO_IMMOBILE,PATH_IMAGE,DIDASCALIA,"
                              "PESO_KB,HEIGHT_PX,WIDTH_PX,INVIATA,PLANIMETRIA,PRINCIPALE) values "
                              "(1,10,'/f/a.jpg','Salone',150000,600,800,'S','N','S')"));
        d.exec(QStringLiteral("insert into PHOTOGALLERY (ID_PHOTOGALLERY,ID_ANNUNCIO_IMMOBILE,PATH_IMAGE) values "
                              "(2,10,'/f/b.jpg')"));
        d.exec(QStringLiteral("insert into VIDEOGALLERY (ID_VIDEOGALLERY,ID_ANNUNCIO_IMMOBILE,TITOLO,LINK_VIDEO,"
                              "CODICE_EMBEDDED,INVIATA) values (1,10,'Giro','http://v/1','<iframe/>','N')"));
        d.exec(QStringLiteral("set generator GEN_PHOTOGALLERY_ID to 100"));
        d.exec(QStringLiteral("set generator GEN_VIDEOGALLERY_ID to 100"));
        db::Transaction tr(d.db());
        copiaFotoVideo(tr, 10, 20);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from PHOTOGALLERY where ID_ANNUNCIO_IMMOBILE=20 and "
                                         "PATH_IMAGE='/f/a.jpg' and DIDASCALIA='Salone' and PESO_KB=150000 and "
                                         "HEIGHT_PX=600 and WIDTH_PX=800 and INVIATA='S' and PRINCIPALE='S'"))
                     .toInt(),
                 1);
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from PHOTOGALLERY where ID_ANNUNCIO_IMMOBILE=20")).toInt(),
                 2);
        QCOMPARE(d.scalar(QStringLiteral("select min(ID_PHOTOGALLERY) from PHOTOGALLERY where ID_ANNUNCIO_IMMOBILE=20"))
                     .toInt(),
                 101);
        QCOMPARE(d.scalar(QStringLiteral("select CODICE_EMBEDDED from VIDEOGALLERY where ID_ANNUNCIO_IMMOBILE=20"))
                     .toString(),
                 QStringLiteral("<iframe/>"));
    }

    void localitaDelComune()
    {
        TempDatabase d;
        cliente(d, 1, "N");
        d.exec(QStringLiteral("insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE,ID_CLIENTE,ID_COMUNE,"
                              "ID_TIPOLOGIA_IMMOBILE,ID_TIPOLOGIA_ANNUNCIO,RIFERIMENTO,LOCALITA) values "
                              "(1,1,%1,1,1,'A','NAVIGLI')")
                   .arg(Milano));
        d.exec(QStringLiteral("insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE,ID_CLIENTE,ID_COMUNE,"
                              "ID_TIPOLOGIA_IMMOBILE,ID_TIPOLOGIA_ANNUNCIO,RIFERIMENTO,LOCALITA) values "
                              "(2,1,%1,1,1,'B','BRERA')")
                   .arg(Milano));
        db::Transaction tr(d.db());
        const QStringList l = leggiLocalita(tr, Milano);
        QCOMPARE(l.size(), 3);
        QCOMPARE(l.first().trimmed(), QString());
        QVERIFY(l.contains(QStringLiteral("NAVIGLI")) && l.contains(QStringLiteral("BRERA")));
        QVERIFY(leggiLocalita(tr, 0).isEmpty());
        QCOMPARE(leggiMacroTipologie(tr).first().testo, QStringLiteral("APPARTAMENTI"));
        QCOMPARE(leggiTipologieImmobili(tr, 1).first().testo, QStringLiteral("APPARTAMENTO"));
    }

    // ---- photo and video rows ------------------------------------------------------------------------------------

    void righeNellaTransazione()
    {
        TempDatabase d;
        cliente(d, 1, "N");
        annuncio(d, 10, QStringLiteral("A1"));
        db::Transaction tr(d.db());
        TGalleria foto(TipoGalleria::Foto, tr);
        foto.apri(10);
        QVERIFY(foto.vuota());
        foto.nuova(10);
        QCOMPARE(foto.tabella()->value(QStringLiteral("PRINCIPALE")).toString(), QStringLiteral("N"));
        foto.tabella()->setValue(QStringLiteral("PATH_IMAGE"), QStringLiteral("/f/a.jpg"));
        foto.tabella()->setValue(QStringLiteral("PESO_KB"), 150000);
        foto.registra();
        QVERIFY(!foto.vuota());
        QCOMPARE(foto.tabella()->displayText(QStringLiteral("PESO_KB")), QStringLiteral("146,00"));

        foto.modifica();
        foto.tabella()->setValue(QStringLiteral("DIDASCALIA"), QStringLiteral("Cucina"));
        foto.tabella()->setValue(QStringLiteral("PRINCIPALE"), QStringLiteral("S"));
        foto.registra();
        foto.nuova(10);
        foto.tabella()->setValue(QStringLiteral("PATH_IMAGE"), QStringLiteral("/f/b.jpg"));
        foto.registra();

        // Seen by the transaction, not yet by anyone else.
        {
            db::Query q(tr, QStringLiteral("select count(*) from PHOTOGALLERY where DIDASCALIA='Cucina' and "
                                           "PRINCIPALE='S' and INVIATA='N' and PLANIMETRIA='N'"));
            QVERIFY(q.first());
            QCOMPARE(q.value(0).toInt(), 1);
        }
        const QList<FotoAnteprima> anteprima = foto.fotoAnteprima();
        QCOMPARE(anteprima.size(), 2);
        QCOMPARE(anteprima.at(0).didascalia, QStringLiteral("Cucina"));
        QVERIFY(anteprima.at(0).principale);

        foto.tabella()->first();
        foto.elimina();
        QCOMPARE(foto.tabella()->recordCount(), 1);
        foto.apri(10);
        QCOMPARE(foto.tabella()->recordCount(), 1);
        QCOMPARE(foto.tabella()->value(QStringLiteral("PATH_IMAGE")).toString(), QStringLiteral("/f/b.jpg"));
        tr.rollback();
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from PHOTOGALLERY")).toInt(), 0);

        // Videos: same cycle, their own statements.
        db::Transaction tr2(d.db());
        TGalleria video(TipoGalleria::Video, tr2);
        video.apri(10);
        video.nuova(10);
        video.tabella()->setValue(QStringLiteral("TITOLO"), QStringLiteral("Giro"));
        video.tabella()->setValue(QStringLiteral("CODICE_EMBEDDED"), QStringLiteral("<iframe/>"));
        video.registra();
        tr2.commitRetaining();
        QCOMPARE(d.scalar(QStringLiteral("select TITOLO from VIDEOGALLERY where INVIATA='N'")).toString(),
                 QStringLiteral("Giro"));
        QVERIFY(video.sqlInserimento().startsWith(
            QStringLiteral("insert into VIDEOGALLERY\n  (CODICE_EMBEDDED, ID_ANNUNCIO_IMMOBILE, ID_VIDEOGALLERY")));
        QVERIFY(video.sqlModifica().endsWith(QStringLiteral("ID_VIDEOGALLERY = :OLD_ID_VIDEOGALLERY")));
    }

    // ---- files ----------------------------------------------------------------------------------------------------

    void formati_data()
    {
        QTest::addColumn<QVariant>("byte");
        QTest::addColumn<QString>("testo");
        QTest::newRow("150000 bytes") << QVariant(150000) << "146,00";
        QTest::newRow("1023 bytes") << QVariant(1023) << "0,00";
        QTest::newRow("unreadable size") << QVariant(-1) << "0,00";
        QTest::newRow("thousands") << QVariant(2000000) << "1.953,00";
        QTest::newRow("null") << QVariant() << "";
    }
    void formati()
    {
        QFETCH(QVariant, byte);
        QFETCH(QString, testo);
        QCOMPARE(testoPeso(byte), testo);
        QCOMPARE(testoPixel(1024), QStringLiteral("1.024"));
    }

    void cartella_data()
    {
        QTest::addColumn<QString>("percorsoFoto");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("cartella");
        QTest::newRow("id 7") << "/dati/Foto" << 7 << "/dati/Foto/00000007/";
        QTest::newRow("id 1234, separator present") << "/dati/Foto/" << 1234 << "/dati/Foto/00001234/";
        QTest::newRow("drive only") << "C:" << 7 << "C:00000007/";
    }
    void cartella()
    {
        QFETCH(QString, percorsoFoto);
        QFETCH(int, id);
        QFETCH(QString, cartella);
        QCOMPARE(cartellaAnnuncio(percorsoFoto, id), cartella);
    }

    void mantieniPercorso()
    {
        QVERIFY(!percorsoEsterno(QString(), QStringLiteral("/dati/Foto")));
        QVERIFY(!percorsoEsterno(QStringLiteral("/DATI/foto/00000001/a.jpg"), QStringLiteral("/dati/Foto")));
        QVERIFY(percorsoEsterno(QStringLiteral("/home/u/a.jpg"), QStringLiteral("/dati/Foto")));
    }

    void copie()
    {
        QTemporaryDir dir;
        const QString foto = dir.filePath(QStringLiteral("Foto"));
        const QString altrove = dir.filePath(QStringLiteral("altrove"));
        QVERIFY(QDir().mkpath(altrove));
        const QString sorgente = altrove + QStringLiteral("/casa.jpg");
        QVERIFY(scriviJpeg(sorgente, 40, 30));

        // Into the listing's folder, created with its missing levels.
        const QString cartella7 = cartellaAnnuncio(foto, 7);
        const QString copiata = copiaNellaCartella(sorgente, cartella7);
        QCOMPARE(copiata, cartella7 + QStringLiteral("casa.jpg"));
        QVERIFY(QFile::exists(copiata));
        QVERIFY(QFile::exists(sorgente));
        // Already there: no copy.
        QFile::remove(sorgente);
        QCOMPARE(copiaNellaCartella(copiata, cartella7), copiata);
        // From another listing's folder: copied, replacing a file of that name.
        const QString cartella8 = cartellaAnnuncio(foto, 8);
        QVERIFY(QDir().mkpath(cartella8));
        {
            QFile vecchio(cartella8 + QStringLiteral("casa.jpg"));
            QVERIFY(vecchio.open(QIODevice::WriteOnly));
            vecchio.write("vecchio");
        }
        QCOMPARE(copiaNellaCartella(copiata, cartella8), cartella8 + QStringLiteral("casa.jpg"));
        QCOMPARE(QFileInfo(cartella8 + QStringLiteral("casa.jpg")).size(), QFileInfo(copiata).size());
        // Nothing to copy: the path stays as typed and no folder is made.
        QCOMPARE(copiaNellaCartella(QStringLiteral("https://video.example/1"), cartellaAnnuncio(foto, 9)),
                 QStringLiteral("https://video.example/1"));
        QVERIFY(!QFileInfo::exists(cartellaAnnuncio(foto, 9)));
        QCOMPARE(copiaNellaCartella(altrove + QStringLiteral("/manca.jpg"), cartella7),
                 altrove + QStringLiteral("/manca.jpg"));
    }

    void infoImmagine()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("a.jpg"));
        QVERIFY(scriviJpeg(file, 64, 48));
        const InfoImmagine info = leggiInfoImmagine(file);
        QCOMPARE(info.byte, QFileInfo(file).size());
        QCOMPARE(info.pixel, QSize(64, 48));
        const QString rotta = dir.filePath(QStringLiteral("rotta.jpg"));
        {
            QFile f(rotta);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("non sono una foto");
        }
        const InfoImmagine nulla = leggiInfoImmagine(rotta);
        QCOMPARE(nulla.byte, qint64(17));
        QVERIFY(!nulla.pixel.isValid());
        QCOMPARE(leggiInfoImmagine(dir.filePath(QStringLiteral("manca.jpg"))).byte, qint64(-1));
    }
};

QTEST_GUILESS_MAIN(TestDatiAnnuncio)
#include "tst_datiannuncio.moc"
