// The photos and videos of the listing editor driven offscreen: the two dialogs, the copy into the listing's folder
// under the photo folder, "Mantieni Percorso Originale", the rows living in the editor's transaction until the
// listing is saved, the grids and the in-page preview, and the photo preview window with its frames.

#include "fixtureeditorannunci.h"
#include "scripteduiservice.h"

#include "listings/frmAnteprimaFoto.h"
#include "listings/frmInsVarFoto.h"
#include "listings/frmInsVarVideo.h"
#include "listings/galleria.h"
#include "widgets/searchgrid.h"

#include <QDir>
#include <QImage>
#include <QListWidget>

using tavo::UiService;
using tavo::test::quandoAppare;
using tavo::test::ScriptedUiService;
using tavo::test::TempDatabase;
using namespace tavo::test::editorannunci;

namespace {

// A JPEG picture; with `byte` > 0 padded after its end to exactly that size (readers ignore the padding).
QString jpeg(const QString &percorso, int larghezza, int altezza, qint64 byte = 0)
{
    QDir().mkpath(QFileInfo(percorso).absolutePath());
    QImage img(larghezza, altezza, QImage::Format_RGB32);
    img.fill(QColor(200, 120, 40));
    if (!img.save(percorso, "JPG"))
        return QString();
    if (byte > 0) {
        QFile f(percorso);
        if (!f.open(QIODevice::Append) || f.size() > byte)
            return QString();
        f.write(QByteArray(int(byte - f.size()), '\0'));
    }
    return percorso;
}

int righeFoto(TempDatabase &d)
{
    return d.scalar(QStringLiteral("select count(*) from PHOTOGALLERY")).toInt();
}

QString testoGriglia(tavo::TSearchGrid *griglia, int riga, const QString &colonna)
{
    tavo::TMemTableModel *m = griglia->modelloTabella();
    return m->index(riga, m->sectionOf(colonna)).data().toString();
}

} // namespace

class TestFotoAnnunci : public QObject
{
    Q_OBJECT

private:
    Ambiente m_ambiente;
    QTemporaryDir m_altrove; // pictures picked outside the photo folder

private slots:
    void init() { m_ambiente.nuovo(); }

    void fotoCopiateNellaCartellaDellAnnuncio()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        annuncio(d, 7, 1, QStringLiteral("A7"));
        const QString casa = jpeg(m_altrove.filePath(QStringLiteral("uno/casa.jpg")), 64, 48, 150000);
        const QString pianta = jpeg(m_altrove.filePath(QStringLiteral("uno/pianta.jpg")), 30, 40);
        QVERIFY(!casa.isEmpty() && !pianta.isEmpty());
        Programma p(d);
        QVERIFY(p.avvia());
        const QString percorsoFoto = p.main.PercorsoFoto();
        const QString cartella = tavo::cartellaAnnuncio(percorsoFoto, 7);
        QVERIFY(cartella.endsWith(QStringLiteral("/00000007/")));
        TFormInsVarAnnunci *f = p.apri(7);
        f->PageControl->setCurrentIndex(1);
        QCOMPARE(f->PageControl->currentIndex(), 1);
        QVERIFY(f->ButtonInsFoto->isEnabled());
        QVERIFY(!f->ButtonModFoto->isEnabled() && !f->ButtonEliminaFoto->isEnabled());
        QVERIFY(!f->ButtonAnteprimaCompleto->isEnabled());

        // A picture from elsewhere: its size and pixels are read, and "Conferma" copies it.
        ui.prossimoFile(casa);
        bool visto = false;
        quandoAppare("TFormInsVarFoto", [&](QWidget *w) {
            auto *dlg = qobject_cast<TFormInsVarFoto *>(w);
            visto = dlg->windowTitle() == QStringLiteral("Inserimento Foto") && !dlg->mantieniPercorso();
            dlg->ButtonSfoglia->click();
            QCOMPARE(dlg->EditPATH_IMAGE->text(), casa);
            QCOMPARE(dlg->EditPESO_KB->text(), QStringLiteral("146,00"));
            QCOMPARE(dlg->EditWIDTH_PX->value(), 64);
            QCOMPARE(dlg->EditHEIGHT_PX->value(), 48);
            dlg->EditDIDASCALIA->setText(QStringLiteral("Salone"));
            dlg->EditPRINCIPALE->setChecked(true);
            dlg->ButtonConferma->click();
        });
        f->ButtonInsFoto->click();
        QVERIFY(visto);
        QCOMPARE(ui.ultimo().testo, QStringLiteral("JPEG Image File (*.jpg *.jpeg)"));
        tavo::TMemTable *t = f->galleriaFoto().tabella();
        QCOMPARE(t->recordCount(), 1);
        QCOMPARE(t->value(QStringLiteral("PATH_IMAGE")).toString(), cartella + QStringLiteral("casa.jpg"));
        QVERIFY(QFileInfo(cartella + QStringLiteral("casa.jpg")).isFile());
        QVERIFY(QFileInfo(casa).isFile());
        QCOMPARE(t->value(QStringLiteral("PESO_KB")).toInt(), 150000);
        QCOMPARE(t->value(QStringLiteral("PRINCIPALE")).toString(), QStringLiteral("S"));
        QCOMPARE(t->value(QStringLiteral("PLANIMETRIA")).toString(), QStringLiteral("N"));
        QCOMPARE(t->value(QStringLiteral("INVIATA")).toString(), QStringLiteral("N"));
        QCOMPARE(t->value(QStringLiteral("ID_ANNUNCIO_IMMOBILE")).toInt(), 7);
        QCOMPARE(testoGriglia(f->DBGridFoto, 0, QStringLiteral("PESO_KB")), QStringLiteral("146,00"));
        QCOMPARE(testoGriglia(f->DBGridFoto, 0, QStringLiteral("WIDTH_PX")), QStringLiteral("64"));
        QCOMPARE(f->DBGridFoto->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Principale"));
        QVERIFY(f->ButtonModFoto->isEnabled() && f->ButtonEliminaFoto->isEnabled());
        QVERIFY(f->ButtonAnteprimaCompleto->isEnabled());
        QCOMPARE(f->NavigatoreFoto->testo(), QStringLiteral("1 di 1"));
        // The in-page preview: a picture wider than tall fits the view's width.
        QVERIFY(f->ImgView32Foto->haImmagine());
        QCOMPARE(f->ImgView32Foto->scala(), double(f->ImgView32Foto->contentsRect().width()) / 64);
        QVERIFY(f->modificato());
        // Only the editor's transaction sees the row.
        QCOMPARE(righeFoto(d), 0);

        // "Mantieni Percorso Originale": the path stays as chosen.
        ui.prossimoFile(pianta);
        quandoAppare("TFormInsVarFoto", [](QWidget *w) {
            auto *dlg = qobject_cast<TFormInsVarFoto *>(w);
            dlg->ButtonSfoglia->click();
            dlg->CheckBoxMantieniPercorso->setChecked(true);
            dlg->EditPLANIMETRIA->setChecked(true);
            dlg->ButtonConferma->click();
        });
        f->ButtonInsFoto->click();
        QCOMPARE(t->recordCount(), 2);
        QCOMPARE(t->value(QStringLiteral("PATH_IMAGE")).toString(), pianta);
        QVERIFY(!QFileInfo::exists(cartella + QStringLiteral("pianta.jpg")));
        // A picture taller than wide fits the view's height.
        QCOMPARE(f->ImgView32Foto->scala(), double(f->ImgView32Foto->contentsRect().height()) / 40);

        // Changing a photo kept outside the photo folder: the dialog opens with the box checked; Annulla changes
        // nothing.
        bool mantenuto = false;
        quandoAppare("TFormInsVarFoto", [&](QWidget *w) {
            auto *dlg = qobject_cast<TFormInsVarFoto *>(w);
            mantenuto = dlg->windowTitle() == QStringLiteral("Modifica Foto") && dlg->mantieniPercorso();
            dlg->EditDIDASCALIA->setText(QStringLiteral("non salvata"));
            dlg->ButtonAnnulla->click();
        });
        f->ButtonModFoto->click();
        QVERIFY(mantenuto);
        QCOMPARE(t->value(QStringLiteral("DIDASCALIA")).toString(), QString());

        // Closing without saving: the rows go, the copied file stays.
        ui.prossimaRisposta(QMessageBox::No);
        f->finestra()->close();
        elaboraEliminazioni();
        QVERIFY(!p.editor());
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Campi modificati. Salvare i dati immessi?"));
        QCOMPARE(righeFoto(d), 0);
        QVERIFY(QFileInfo(cartella + QStringLiteral("casa.jpg")).isFile());
    }

    void fotoSalvateConLAnnuncio()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        annuncio(d, 7, 1, QStringLiteral("A7"));
        annuncio(d, 8, 1, QStringLiteral("A8"));
        Programma p(d);
        QVERIFY(p.avvia());
        const QString percorsoFoto = p.main.PercorsoFoto();
        // One picture already in this listing's folder, one in another listing's folder (and an older file of
        // that name here, which the copy replaces).
        const QString qui = jpeg(tavo::cartellaAnnuncio(percorsoFoto, 7) + QStringLiteral("qui.jpg"), 20, 10);
        const QString altro = jpeg(tavo::cartellaAnnuncio(percorsoFoto, 8) + QStringLiteral("altro.jpg"), 50, 10);
        {
            QFile vecchio(tavo::cartellaAnnuncio(percorsoFoto, 7) + QStringLiteral("altro.jpg"));
            QVERIFY(vecchio.open(QIODevice::WriteOnly));
            vecchio.write("vecchio");
        }
        TFormInsVarAnnunci *f = p.apri(7);
        for (const QString &file : {qui, altro}) {
            ui.prossimoFile(file);
            quandoAppare("TFormInsVarFoto", [](QWidget *w) {
                auto *dlg = qobject_cast<TFormInsVarFoto *>(w);
                dlg->ButtonSfoglia->click();
                dlg->ButtonConferma->click();
            });
            f->ButtonInsFoto->click();
        }
        f->ButtonConferma->click();
        elaboraEliminazioni();
        QVERIFY(!p.editor());
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from PHOTOGALLERY where ID_ANNUNCIO_IMMOBILE=7")).toInt(), 2);
        QCOMPARE(
            d.scalar(QStringLiteral("select PATH_IMAGE from PHOTOGALLERY where PATH_IMAGE like '%qui.jpg'")).toString(),
            qui);
        const QString copiata = tavo::cartellaAnnuncio(percorsoFoto, 7) + QStringLiteral("altro.jpg");
        QCOMPARE(d.scalar(QStringLiteral("select PATH_IMAGE from PHOTOGALLERY where PATH_IMAGE like '%altro.jpg'"))
                     .toString(),
                 copiata);
        QCOMPARE(QFileInfo(copiata).size(), QFileInfo(altro).size());
        QCOMPARE(
            d.scalar(QStringLiteral("select FOTOSN from ANNUNCI_IMMOBILI where ID_ANNUNCIO_IMMOBILE=7")).toString(),
            QStringLiteral("S"));

        // Deleting: asked, the row goes (for good with the next save), the file stays.
        f = p.apri(7);
        QCOMPARE(f->galleriaFoto().tabella()->recordCount(), 2);
        f->ButtonEliminaFoto->click();
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Conferma l'Eliminazione dell'Immagine corrente?"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Avviso);
        QCOMPARE(ui.ultimo().pulsanti.value(0).toInt(), int(QMessageBox::No));
        QCOMPARE(f->galleriaFoto().tabella()->recordCount(), 2);
        QVERIFY(!f->modificato());
        ui.prossimaRisposta(QMessageBox::Yes);
        f->ButtonEliminaFoto->click();
        QCOMPARE(f->galleriaFoto().tabella()->recordCount(), 1);
        QVERIFY(f->modificato());
        f->ButtonConferma->click();
        QCOMPARE(d.scalar(QStringLiteral("select count(*) from PHOTOGALLERY where ID_ANNUNCIO_IMMOBILE=7")).toInt(), 1);
        QVERIFY(QFileInfo(qui).isFile());
    }

    void primaDelSalvataggioNoFoto()
    {
        ScriptedUiService ui;
        TempDatabase d;
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarAnnunci *f = p.apri(0);
        f->ButtonInsFoto->click();
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Operazione non possibile ora"));
        QCOMPARE(ui.ultimo().icona, UiService::Icona::Errore);
        QCOMPARE(f->PageControl->currentIndex(), 0);
        QVERIFY(f->galleriaFoto().vuota());
    }

    void video()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        annuncio(d, 7, 1, QStringLiteral("A7"));
        const QString immagine = jpeg(m_altrove.filePath(QStringLiteral("video/anteprima.jpg")), 40, 30);
        Programma p(d);
        QVERIFY(p.avvia());
        const QString cartella = tavo::cartellaAnnuncio(p.main.PercorsoFoto(), 7);
        TFormInsVarAnnunci *f = p.apri(7);
        QVERIFY(f->ButtonInsVideo->isEnabled() && !f->ButtonModVideo->isEnabled());
        ui.prossimoFile(immagine);
        quandoAppare("TFormInsVarVideo", [](QWidget *w) {
            auto *dlg = qobject_cast<TFormInsVarVideo *>(w);
            dlg->EditLINK_VIDEO->setText(QStringLiteral("https://video.example/tour"));
            dlg->ButtonSfogliaImmagine->click();
            dlg->EditTITOLO->setText(QStringLiteral("Visita"));
            dlg->EditCODICE_EMBEDDED->setPlainText(QStringLiteral("<iframe>\n</iframe>"));
            dlg->ButtonEseguiVideo->click(); // an address, not a file: nothing opens
            dlg->ButtonConferma->click();
        });
        f->ButtonInsVideo->click();
        QVERIFY(ui.fileAperti.isEmpty());
        tavo::TMemTable *t = f->galleriaVideo().tabella();
        QCOMPARE(t->recordCount(), 1);
        // The address stays as typed; the preview picture is copied on its own.
        QCOMPARE(t->value(QStringLiteral("LINK_VIDEO")).toString(), QStringLiteral("https://video.example/tour"));
        QCOMPARE(t->value(QStringLiteral("PATH_IMAGE")).toString(), cartella + QStringLiteral("anteprima.jpg"));
        QVERIFY(f->ImgView32Video->haImmagine());
        QCOMPARE(testoGriglia(f->DBGridVideo, 0, QStringLiteral("TITOLO")), QStringLiteral("Visita"));
        QVERIFY(f->ButtonModVideo->isEnabled() && f->ButtonEliminaVideo->isEnabled());

        ui.prossimaRisposta(QMessageBox::Yes);
        f->finestra()->close(); // the close question's Yes saves
        elaboraEliminazioni();
        QCOMPARE(d.scalar(QStringLiteral("select CODICE_EMBEDDED from VIDEOGALLERY where ID_ANNUNCIO_IMMOBILE=7"))
                     .toString(),
                 QStringLiteral("<iframe>\r\n</iframe>"));

        f = p.apri(7);
        f->ButtonEliminaVideo->click();
        QCOMPARE(ui.ultimo().testo, QStringLiteral("Conferma l'Eliminazione del Video corrente?"));
        QCOMPARE(f->galleriaVideo().tabella()->recordCount(), 1);
    }

    void anteprimaCompleta()
    {
        ScriptedUiService ui;
        TempDatabase d;
        cliente(d, 1, QStringLiteral("ROSSI"));
        annuncio(d, 7, 1, QStringLiteral("A7"));
        const QString a = jpeg(m_altrove.filePath(QStringLiteral("ant/a.jpg")), 300, 200);
        const QString b = jpeg(m_altrove.filePath(QStringLiteral("ant/b.jpg")), 50, 80);
        const QString c = jpeg(m_altrove.filePath(QStringLiteral("ant/c.jpg")), 60, 60);
        const auto riga = [&d](int id, const QString &percorso, const char *didascalia, const char *principale,
                               const char *planimetria) {
            d.exec(
                QStringLiteral("insert into PHOTOGALLERY (ID_PHOTOGALLERY,ID_ANNUNCIO_IMMOBILE,PATH_IMAGE,DIDASCALIA,"
                               "PRINCIPALE,PLANIMETRIA) values (%1,7,'%2','%3','%4','%5')")
                    .arg(id)
                    .arg(percorso, QLatin1String(didascalia), QLatin1String(principale), QLatin1String(planimetria)));
        };
        riga(1, a, "Facciata", "S", "S");
        riga(2, b, "Pianta", "N", "S");
        riga(3, m_altrove.filePath(QStringLiteral("ant/manca.jpg")), "", "N", "N");
        riga(4, c, "", "N", "N");
        Programma p(d);
        QVERIFY(p.avvia());
        TFormInsVarAnnunci *f = p.apri(7);
        f->ButtonAnteprimaCompleto->click();
        auto *anteprima =
            qobject_cast<TFormAnteprimaFoto *>(p.main.finestraAperta(QStringLiteral("TFormAnteprimaFoto")));
        QVERIFY(anteprima);
        QCOMPARE(anteprima->windowTitle(), QStringLiteral("Anteprima Foto dell'annuncio con riferimento \"A7\""));
        // Filled a moment later; the missing file is left out.
        QCOMPARE(anteprima->ThumbViewFoto->count(), 0);
        QTRY_COMPARE(anteprima->ThumbViewFoto->count(), 3);
        QListWidget *v = anteprima->ThumbViewFoto;
        QCOMPARE(v->item(0)->text(), QStringLiteral("Facciata"));
        QCOMPARE(v->item(0)->data(TFormAnteprimaFoto::RuoloCornice).value<QColor>(), QColor(234, 178, 132));
        QCOMPARE(v->item(1)->text(), QStringLiteral("Pianta"));
        QCOMPARE(v->item(1)->data(TFormAnteprimaFoto::RuoloCornice).value<QColor>(), QColor(163, 199, 107));
        QCOMPARE(v->item(2)->text(), QString());
        QCOMPARE(v->item(2)->data(TFormAnteprimaFoto::RuoloCornice).value<QColor>(),
                 anteprima->palette().color(QPalette::Window));
        // The editor's current row stays where it was.
        QCOMPARE(f->galleriaFoto().tabella()->recNo(), 1);
        // A double click opens the file.
        v->scrollToItem(v->item(1));
        const QPoint punto = v->visualItemRect(v->item(1)).center();
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, punto);
        QVERIFY(ui.fileAperti.isEmpty()); // a single click only selects
        QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, punto);
        QCOMPARE(ui.fileAperti, QStringList{b});
        // The listing search's call by name: plain frames.
        QVERIFY(QMetaObject::invokeMethod(anteprima, "MostraFoto", Qt::DirectConnection, Q_ARG(QString, "B2"),
                                          Q_ARG(QStringList, (QStringList{a, c}))));
        QTRY_COMPARE(v->count(), 2);
        QCOMPARE(anteprima->windowTitle(), QStringLiteral("Anteprima Foto dell'annuncio con riferimento \"B2\""));
        QCOMPARE(v->item(0)->data(TFormAnteprimaFoto::RuoloCornice).value<QColor>(),
                 anteprima->palette().color(QPalette::Window));
        QTest::keyClick(v, Qt::Key_Escape);
        elaboraEliminazioni();
        QVERIFY(!p.main.finestraAperta(QStringLiteral("TFormAnteprimaFoto")));
    }
};

QTEST_MAIN(TestFotoAnnunci)
#include "tst_fotoannunci.moc"
