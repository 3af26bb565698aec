// bench_ricercaclienti: the client search on an agency with many clients, as a user meets it. Prints, on one line
// each: the opening (the list read from the database and shown), the description typed letter by letter, a phone
// prefix typed digit by digit, the owner filter, a sort, and the filters cleared.
//
//   bench_ricercaclienti [NUMERO_CLIENTI]
//
// A new agency database with NUMERO_CLIENTI clients (20000 when not given) is created in a temporary folder. It
// runs offscreen unless a display is chosen with QT_QPA_PLATFORM; the per-user settings go to a temporary file.

#include "app/core/impostazioni.h"
#include "app/frmMain.h"
#include "clients/frmRicercaClienti.h"
#include "data/database.h"
#include "data/schema.h"
#include "widgets/tavoapplication.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <cstdio>
#include <functional>

namespace db = tavo::db;

namespace {

long piccoMiB()
{
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return uso.ru_maxrss / 1024;
}

// Lets the windows process what the last step posted (repaints, deferred layouts), as the event loop would.
void attendiInterfaccia()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Clients with realistic texts: surnames and names, Italian phones (mobile, landline, some with +39), e-mails for
// two in three, a note for one in five, owners for one in three.
void riempiClienti(db::Database &database, int quanti)
{
    const QStringList cognomi =
        QStringLiteral(
            "ROSSI RUSSO FERRARI ESPOSITO BIANCHI ROMANO COLOMBO RICCI MARINO GRECO BRUNO GALLO CONTI DE LUCA MANCINI "
            "COSTA GIORDANO RIZZO LOMBARDI MORETTI BARBIERI FONTANA SANTORO MARIANI RINALDI CARUSO FERRARA GALLI "
            "MARTINI "
            "LEONE LONGO GENTILE MARTINELLI VITALE LOMBARDO SERRA COPPOLA DE SANTIS D'ANGELO MARCHETTI PARISI VILLA "
            "CONTE "
            "FERRARO FERRI FABBRI BIANCO MARINI GRASSO VALENTINI MESSINA SALA DE ANGELIS GATTI PELLEGRINI PALUMBO "
            "SANNA "
            "FARINA RIZZI MONTI CATTANEO MORELLI AMATO SILVESTRI MAZZA TESTA GRASSI PELLEGRINO CARBONE GIULIANI "
            "BENEDETTI "
            "BARONE ROSSETTI CAPUTO MONTANARI GUERRA PALMIERI BERNARDI MARTINO FIORE DE ROSA FERRETTI BELLINI BASILE "
            "RIVA DONATI PIRAS VITALI BATTAGLIA SARTORI NERI COSTANTINI MILANI PAGANO RUGGIERO SORRENTINO D'AMICO "
            "ORLANDO "
            "DAMICO NEGRI DEROSSI ROSSINI")
            .split(QLatin1Char(' '));
    const QStringList nomi =
        QStringLiteral(
            "MARIO LUCA GIUSEPPE ANNA MARIA FRANCESCO GIOVANNI PAOLA ANTONIO LAURA MARCO GIULIA ALESSANDRO SARA ANDREA "
            "CHIARA ROBERTO FRANCESCA STEFANO ELENA SRL SNC SAS")
            .split(QLatin1Char(' '));
    const QStringList citta =
        QStringLiteral("MILANO ROMA TORINO NAPOLI BOLOGNA FIRENZE GENOVA BARI PALERMO VERONA PADOVA BRESCIA")
            .split(QLatin1Char(' '));
    QRandomGenerator caso(20240501);
    db::Transaction tr(database);
    db::Query q(tr, QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR,TELEFONO1,TELEFONO2,TELEFONO3,TEL_X_SMS,"
                                   "EMAIL,INDIRIZZO,CAP,CITTA,PROV,REFERENTE,PROPRIETARIO,NOTE) values (:ID,:DESCR,:T1,"
                                   ":T2,:T3,:SMS,:EMAIL,:INDIRIZZO,:CAP,:CITTA,:PROV,:REFERENTE,:PROPRIETARIO,:NOTE)"));
    auto cifre = [&](int n) {
        QString s;
        for (int i = 0; i < n; ++i)
            s += QChar(u'0' + caso.bounded(10));
        return s;
    };
    for (int id = 1; id <= quanti; ++id) {
        const QString cognome = cognomi.at(caso.bounded(cognomi.size()));
        const QString nome = nomi.at(caso.bounded(nomi.size()));
        const QString cellulare = (caso.bounded(5) == 0 ? QStringLiteral("+39 3") : QStringLiteral("3")) + cifre(2) +
                                  QLatin1Char(' ') + cifre(7);
        const QString fisso = QStringLiteral("0") + cifre(1 + caso.bounded(3)) + QLatin1Char(' ') + cifre(6);
        const bool mobilePrima = caso.bounded(2) == 0;
        q.setParam(QStringLiteral("ID"), id);
        q.setParam(QStringLiteral("DESCR"), cognome + QLatin1Char(' ') + nome);
        q.setParam(QStringLiteral("T1"), mobilePrima ? cellulare : fisso);
        q.setParam(QStringLiteral("T2"), mobilePrima ? QVariant() : QVariant(cellulare));
        q.setParam(QStringLiteral("T3"), caso.bounded(10) == 0 ? QVariant(fisso) : QVariant());
        q.setParam(QStringLiteral("SMS"), mobilePrima ? 1 : 2);
        q.setParam(QStringLiteral("EMAIL"), caso.bounded(3) == 0 ? QVariant()
                                                                 : QVariant(nome.toLower() + QLatin1Char('.') +
                                                                            cognome.toLower().remove(QLatin1Char(' ')) +
                                                                            QStringLiteral("@posta.it")));
        q.setParam(
            QStringLiteral("INDIRIZZO"),
            QStringLiteral("VIA %1 %2").arg(cognomi.at(caso.bounded(cognomi.size()))).arg(1 + caso.bounded(200)));
        q.setParam(QStringLiteral("CAP"), cifre(5));
        q.setParam(QStringLiteral("CITTA"), citta.at(caso.bounded(citta.size())));
        q.setParam(QStringLiteral("PROV"), QStringLiteral("MI"));
        q.setParam(QStringLiteral("REFERENTE"),
                   nome == QLatin1String("SRL") ? QVariant(QStringLiteral("UFFICIO")) : QVariant());
        q.setParam(QStringLiteral("PROPRIETARIO"), caso.bounded(3) == 0 ? QStringLiteral("S") : QStringLiteral("N"));
        q.setParam(QStringLiteral("NOTE"),
                   caso.bounded(5) == 0 ? QVariant(QStringLiteral("Cerca in zona centro.\r\nRichiamare la sera."))
                                        : QVariant());
        q.exec();
    }
    tr.commit();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("TZ"))
        qputenv("TZ", ":/etc/localtime");
    tavo::TavoApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const int quanti = args.isEmpty() ? 20000 : args.at(0).toInt();
    if (quanti <= 0) {
        std::fprintf(stderr, "uso: bench_ricercaclienti [NUMERO_CLIENTI]\n");
        return 1;
    }
    QTemporaryDir cartella;
    const QString percorso = cartella.filePath(QStringLiteral("Tavo.fdb"));
    QElapsedTimer t;
    t.start();
    try {
        db::createAgencyDatabase(percorso, QStringLiteral("SYSDBA"), QStringLiteral("masterkey"));
        db::Database database;
        database.open(percorso, QStringLiteral("SYSDBA"), QStringLiteral("masterkey"));
        riempiClienti(database, quanti);
    } catch (const db::DbError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    std::printf("database con %d clienti creato in %lld ms\n", quanti, t.elapsed());
    {
        QFile setup(cartella.filePath(QStringLiteral("Setup.ini")));
        if (!setup.open(QIODevice::WriteOnly))
            return 1;
        setup.write("[DB]\nStringaDiConnessione=" + QFile::encodeName(percorso) + "\n");
    }
    tavo::impostaFileImpostazioni(cartella.filePath(QStringLiteral("impostazioni.ini")));
    qputenv("TAVO_CARTELLA_APPLICAZIONE", QFile::encodeName(cartella.filePath(QStringLiteral("dati"))));

    TFormMain main(cartella.path());
    if (!main.Avvia())
        return 1;
    main.resize(1280, 900);
    main.show();
    attendiInterfaccia();

    t.restart();
    TFormRicercaClienti *f = TFormRicercaClienti::ApriRicerca();
    attendiInterfaccia();
    std::printf("%-36s %7lld ms, %6d righe\n", "apertura (elenco completo)", t.elapsed(), f->modello()->rowCount());

    auto misura = [&](const QString &nome, const std::function<void()> &passo) {
        t.restart();
        passo();
        attendiInterfaccia();
        std::printf("%-36s %7lld ms, %6d righe\n", qPrintable(nome), t.elapsed(), f->modello()->rowCount());
    };
    // Typed as the user does: one refilter per character.
    for (const QString &testo :
         {QStringLiteral("R"), QStringLiteral("RO"), QStringLiteral("ROS"), QStringLiteral("ROSS")})
        misura(QStringLiteral("descrizione \"%1\"").arg(testo), [&] { f->EditDescr->setText(testo); });
    for (const QString &testo : {QStringLiteral("ROS"), QStringLiteral("RO"), QStringLiteral("R"), QString()})
        misura(QStringLiteral("cancellato fino a \"%1\"").arg(testo), [&] { f->EditDescr->setText(testo); });
    for (const QString &testo :
         {QStringLiteral("3"), QStringLiteral("33"), QStringLiteral("333"), QStringLiteral("333 1")})
        misura(QStringLiteral("telefono \"%1\"").arg(testo), [&] { f->EditTelefono->setText(testo); });
    misura(QStringLiteral("+ Proprietari"), [&] { f->RadioProprietari->click(); });
    misura(QStringLiteral("Azzera Filtri"), [&] { f->ButtonAzzeraFiltri->click(); });
    misura(QStringLiteral("ordinamento su Cognome e Nome"),
           [&] { f->DBGridClientiTitleClick(QStringLiteral("DESCR")); });
    misura(QStringLiteral("ordinamento discendente"), [&] { f->DBGridClientiTitleClick(QStringLiteral("DESCR")); });
    misura(QStringLiteral("città \"MILANO\" (ordinato)"), [&] { f->EditCitta->setText(QStringLiteral("MILANO")); });
    misura(QStringLiteral("Azzera Filtri, fine elenco (scorrendo)"), [&] {
        f->ButtonAzzeraFiltri->click();
        while (f->modello()->canFetchMore(QModelIndex())) {
            f->DBGridClienti->scrollToBottom();
            QCoreApplication::processEvents();
        }
    });
    {
        // What the grid avoids by reading rows as it scrolls: the statement with all its rows, alone and read into a
        // model (as the e-mail to every client and the export do).
        db::Transaction tr(main.database());
        db::Query q(tr);
        const QStringList sql = tavo::sqlRicercaClienti(tavo::FiltriRicercaClienti(), QString(), 0);
        t.restart();
        q.setSql(sql);
        q.exec();
        int righe = 0;
        while (q.next())
            ++righe;
        q.close();
        std::printf("%-36s %7lld ms, %6d righe\n", "confronto: statement, tutte le righe", t.elapsed(), righe);
        tavo::TModelloRicercaClienti modello;
        t.restart();
        modello.Apri(q, sql, {});
        modello.caricaTutto();
        std::printf("%-36s %7lld ms, %6d righe\n", "confronto: tutte le righe nel modello", t.elapsed(),
                    modello.rowCount());
    }
    std::printf("memoria di picco %ld MiB\n", piccoMiB());

    main.MenuChiudiTuttoClick();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
