#pragma once
// What the listing editor's screen tests share: a settings file and data folder of their own for each test, the
// main window started on a test database (optionally with a Setup.ini naming a map service), a few clients and
// listings, and the user's way of filling the editor's required fields. Every screen is closed before the main
// window goes (their transactions use its connection).

#include "tempdatabase.h"

#include "app/core/impostazioni.h"
#include "app/frmMain.h"
#include "listings/frmInsVarAnnunci.h"
#include "widgets/formbase.h"

#include <QComboBox>
#include <QFile>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QtTest>

namespace tavo::test::editorannunci {

const int Milano = 15146, Roma = 58091;
const int Appartamento = 1, Negozio = 19;
const int Vendita = 1, Affitto = 2, Vacanze = 3;

// A fresh settings file and data folder for each test.
class Ambiente
{
public:
    void nuovo()
    {
        impostaFileImpostazioni(m_dir.filePath(QStringLiteral("impostazioni%1.ini").arg(++m_n)));
        qputenv("TAVO_CARTELLA_APPLICAZIONE", QFile::encodeName(m_dir.filePath(QStringLiteral("dati"))));
    }

private:
    QTemporaryDir m_dir;
    int m_n = 0;
};

inline void elaboraEliminazioni()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Setup.ini beside the test database, with the map service at `servizio`.
inline void scriviSetup(const TempDatabase &d, const QString &servizio)
{
    QFile f(d.folder() + QStringLiteral("/Setup.ini"));
    if (f.open(QIODevice::WriteOnly))
        f.write("[Mappe]\r\nServizio=" + servizio.toUtf8() + "\r\n");
}

class Programma
{
public:
    explicit Programma(TempDatabase &d) : main(d.folder()) {}
    ~Programma() { chiudiTutto(); }

    bool avvia()
    {
        if (!main.Avvia())
            return false;
        // Room for the editor's minimum size (787 x 549) inside the frame, toolbar and status bar included.
        main.resize(1200, 900);
        main.show();
        main.activateWindow();
        return QTest::qWaitForWindowActive(&main);
    }
    void chiudiTutto()
    {
        for (QMdiSubWindow *sub : main.mdiArea()->subWindowList())
            if (auto *editor = qobject_cast<TEditorBase *>(sub->widget()))
                editor->impostaModificato(false);
        main.MenuChiudiTuttoClick();
        elaboraEliminazioni();
    }
    TFormInsVarAnnunci *editor() const
    {
        return qobject_cast<TFormInsVarAnnunci *>(main.finestraAperta(QStringLiteral("TFormInsVarAnnunci")));
    }
    TFormInsVarAnnunci *apri(int id)
    {
        auto *f = main.ApriFinestra<TFormInsVarAnnunci>();
        f->CaricaAnnuncio(id);
        return f;
    }

    TFormMain main;
};

inline void cliente(TempDatabase &d, int id, const QString &descr, const char *proprietario = "N")
{
    d.exec(QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR,PROPRIETARIO) values (%1,'%2','%3')")
               .arg(id)
               .arg(descr, QLatin1String(proprietario)));
}

// A stored listing with a few values worth reading back.
inline void annuncio(TempDatabase &d, int id, int idCliente, const QString &riferimento, int comune = Milano,
                     int tipo = Appartamento, int tipologiaAnnuncio = Vendita)
{
    d.exec(QStringLiteral("insert into ANNUNCI_IMMOBILI (ID_ANNUNCIO_IMMOBILE,ID_CLIENTE,ID_COMUNE,"
                          "ID_TIPOLOGIA_IMMOBILE,ID_TIPOLOGIA_ANNUNCIO,RIFERIMENTO,PREZZO,PRIORITA,MQ,NR_LOCALI,"
                          "LOCALITA,INDIRIZZO,NUM_CIVICO,BALCONE,TERRAZZO,CANTINA,BOX_AUTO,GIARDINO,MAPPA,COORD_LONG,"
                          "COORD_LAT,ELIMINATO,NCOSTRUZIONESN,PREZZO_VISIBILE,DESCRIZIONE,FOTOSN) values "
                          "(%1,%2,%3,%4,%5,'%6',250000,4,95.5,3,'NAVIGLI','Via Roma','1','S','N','','doppio','privato',"
                          "'S',9191383,45464211,'N','S','S','Bilocale luminoso','N')")
               .arg(id)
               .arg(idCliente)
               .arg(comune)
               .arg(tipo)
               .arg(tipologiaAnnuncio)
               .arg(riferimento));
}

// Chooses an entry as the user does: the entry, then the handler of the choice.
inline void scegli(QComboBox *combo, const QString &testo)
{
    const int i = combo->findText(testo);
    QVERIFY2(i >= 0, qPrintable(testo));
    combo->setCurrentIndex(i);
    emit combo->activated(i);
}

inline void scegliCliente(TFormInsVarAnnunci *f, int id)
{
    const int i = f->EditCliente->findData(id);
    QVERIFY(i >= 0);
    f->EditCliente->setCurrentIndex(i);
    emit f->EditCliente->activated(i);
}

// The required fields of a new listing: client, kind "Vendita", APPARTAMENTI / APPARTAMENTO, MILANO, reference.
inline void compila(TFormInsVarAnnunci *f, int idCliente, const QString &riferimento)
{
    scegliCliente(f, idCliente);
    f->RadioVendita->click();
    scegli(f->EditMacroTipologie, QStringLiteral("APPARTAMENTI"));
    scegli(f->EditTipologiaImmobile, QStringLiteral("APPARTAMENTO"));
    f->ComuneScelto(QStringLiteral("MILANO"), Milano);
    f->EditRIFERIMENTO->clear();
    QTest::keyClicks(f->EditRIFERIMENTO, riferimento);
}

inline bool rossa(const QWidget *w)
{
    return w->palette().color(QPalette::WindowText) == QColor(Qt::red);
}

} // namespace tavo::test::editorannunci
