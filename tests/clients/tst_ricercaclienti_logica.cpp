// The client search's rules without widgets: the filter line and its parameters, the sort line, the deletion
// questions, the e-mail and SMS recipients, and the list model read from a real database.

#include "clients/ricercaclienti.h"
#include "data/memtable/memtablemodel.h"
#include "tempdatabase.h"

#include <QtTest>

using tavo::ClientePerInvio;
using tavo::DestinatarioCliente;
using tavo::FiltriRicercaClienti;
using tavo::TModelloRicercaClienti;
using tavo::test::TempDatabase;
namespace db = tavo::db;

Q_DECLARE_METATYPE(FiltriRicercaClienti)

class TestRicercaClientiLogica : public QObject
{
    Q_OBJECT

private slots:
    void rigaFiltroEParametri_data()
    {
        QTest::addColumn<FiltriRicercaClienti>("filtri");
        QTest::addColumn<QString>("riga");
        QTest::addColumn<QStringList>("parametri"); // NAME=value

        QTest::newRow("nothing: no line") << FiltriRicercaClienti() << QString() << QStringList();
        FiltriRicercaClienti f;
        f.descr = QStringLiteral("ROSS");
        QTest::newRow("description") << f << QStringLiteral("where upper(DESCR) like :DESCR")
                                     << QStringList{"DESCR=%ROSS%"};
        f = FiltriRicercaClienti();
        f.telefono = QStringLiteral("33");
        QTest::newRow("phone: a prefix, three columns")
            << f
            << QStringLiteral("where (upper(TELEFONO1) like :TELEFONO or upper(TELEFONO2) like :TELEFONO or "
                              "upper(TELEFONO3) like :TELEFONO)")
            << QStringList{"TELEFONO=33%"};
        f = FiltriRicercaClienti();
        f.proprietari = FiltriRicercaClienti::NonProprietari;
        QTest::newRow("non owners only") << f << QStringLiteral("where upper(PROPRIETARIO)='N'") << QStringList();
        f = FiltriRicercaClienti();
        f.citta = QStringLiteral(" ");
        QTest::newRow("a blank is a filter")
            << f << QStringLiteral("where upper(CITTA) like :CITTA") << QStringList{"CITTA=% %"};
        // Every filter, set in the reverse order: the line keeps its own order.
        f.proprietari = FiltriRicercaClienti::SoloProprietari;
        f.referente = QStringLiteral("GIULIA");
        f.citta = QStringLiteral("MILANO");
        f.indirizzo = QStringLiteral("VIA");
        f.email = QStringLiteral("@");
        f.telefono = QStringLiteral("02");
        f.descr = QStringLiteral("SRL");
        QTest::newRow("all, in order")
            << f
            << QStringLiteral("where upper(DESCR) like :DESCR and (upper(TELEFONO1) like :TELEFONO or upper(TELEFONO2) "
                              "like :TELEFONO or upper(TELEFONO3) like :TELEFONO) and upper(EMAIL) like :EMAIL and "
                              "upper(INDIRIZZO) like :INDIRIZZO and upper(CITTA) like :CITTA and upper(REFERENTE) like "
                              ":REFERENTE and upper(PROPRIETARIO)='S'")
            << QStringList{"DESCR=%SRL%",     "TELEFONO=02%",   "EMAIL=%@%",
                           "INDIRIZZO=%VIA%", "CITTA=%MILANO%", "REFERENTE=%GIULIA%"};
    }
    void rigaFiltroEParametri()
    {
        QFETCH(FiltriRicercaClienti, filtri);
        QFETCH(QString, riga);
        QFETCH(QStringList, parametri);
        QCOMPARE(tavo::rigaFiltroClienti(filtri), riga);
        QStringList letti;
        for (const tavo::ParametroFiltroClienti &p : tavo::parametriFiltroClienti(filtri))
            letti << p.nome + QLatin1Char('=') + p.valore;
        QCOMPARE(letti, parametri);
        QCOMPARE(tavo::sqlRicercaClienti(filtri, QString(), 0),
                 (QStringList{"select * from CLIENTI", riga, "order by ID_CLIENTE"}));
    }

    void rigaOrdine_data()
    {
        QTest::addColumn<QString>("colonna");
        QTest::addColumn<int>("stato");
        QTest::addColumn<QString>("riga");
        QTest::newRow("natural") << "DESCR" << 0 << "order by ID_CLIENTE";
        QTest::newRow("ascending") << "DESCR" << 1 << "order by DESCR";
        QTest::newRow("descending") << "CITTA" << 2 << "order by CITTA desc";
        QTest::newRow("no column") << "" << 1 << "order by ID_CLIENTE";
    }
    void rigaOrdine()
    {
        QFETCH(QString, colonna);
        QFETCH(int, stato);
        QFETCH(QString, riga);
        QCOMPARE(tavo::rigaOrdineClienti(colonna, stato), riga);
    }

    void domandeEliminazione()
    {
        const QString spazi(25, QLatin1Char(' '));
        QCOMPARE(
            tavo::domandaEliminazioneCliente(QStringLiteral("ROSSI MARIO")),
            QStringLiteral("Conferma l'eliminazione del cliente \"ROSSI MARIO\"?\n\nATTENZIONE! L'eliminazione è "
                           "IRREVERSIBILE e comporta l'eliminazione di tutti gli annunci, richieste e appuntamenti "
                           "eventualmente associati al Cliente!"));
        const QString apertura =
            QStringLiteral("ATTENZIONE! Proseguendo con l'eliminazione del cliente\n\n\"ROSSI MARIO\",\n\n");
        const QString chiusura = QStringLiteral("\n\nConferma questa operazione?");
        QCOMPARE(tavo::domandaEliminazioneAnnunci(QStringLiteral("ROSSI MARIO"), 1),
                 apertura + QStringLiteral("verrà eliminato anche\n\n") + spazi + QStringLiteral("UN annuncio.") +
                     chiusura);
        QCOMPARE(tavo::domandaEliminazioneAnnunci(QStringLiteral("ROSSI MARIO"), 1234),
                 apertura + QStringLiteral("verranno eliminati anche\n\n") + spazi + QStringLiteral("1.234 annunci.") +
                     chiusura);
        QCOMPARE(tavo::domandaEliminazioneRichieste(QStringLiteral("ROSSI MARIO"), 1),
                 apertura + QStringLiteral("verrà eliminata anche\n\n") + spazi + QStringLiteral("UNA richiesta.") +
                     chiusura);
        QCOMPARE(tavo::domandaEliminazioneRichieste(QStringLiteral("ROSSI MARIO"), 3),
                 apertura + QStringLiteral("verranno eliminate anche\n\n") + spazi + QStringLiteral("3 richieste.") +
                     chiusura);
        QCOMPARE(tavo::formattaMigliaia(999), QStringLiteral("999"));
        QCOMPARE(tavo::formattaMigliaia(1234567), QStringLiteral("1.234.567"));
    }

    void destinatariSms_data()
    {
        QTest::addColumn<int>("telXSms");
        QTest::addColumn<QString>("telefono"); // put in the phone that TEL_X_SMS names (the first when 0 or 4)
        QTest::addColumn<int>("smsTipo");
        QTest::addColumn<bool>("aggiunto");
        QTest::addColumn<QString>("indirizzo");
        QTest::newRow("gateway by e-mail: digits and domain")
            << 1 << "335 123-4567" << 0 << true << "3351234567@sms.agenzia.it";
        QTest::newRow("gateway by e-mail keeps the country digits")
            << 2 << "+39 335 1234567" << 0 << true << "393351234567@sms.agenzia.it";
        QTest::newRow("HTTP: a plus loses the plus and the blanks")
            << 3 << "+39 335 123 4567" << 1 << true << "393351234567";
        QTest::newRow("HTTP: without plus, 39 in front") << 1 << "335/1234567" << 1 << true << "393351234567";
        QTest::newRow("HTTP: a foreign number keeps its own code")
            << 2 << "+44 20 7946 0000" << 1 << true << "442079460000";
        QTest::newRow("HTTP: 00 is not a plus") << 1 << "0044 20" << 1 << true << "39004420";
        QTest::newRow("HTTP: blanks before the plus") << 1 << " +44 20" << 1 << true << "4420";
        QTest::newRow("another kind: the name only") << 1 << "335 1234567" << 2 << true << "";
        QTest::newRow("no phone marked") << 0 << "335 1234567" << 0 << false << "";
        QTest::newRow("a mark naming no phone") << 4 << "335 1234567" << 1 << false << "";
        QTest::newRow("the marked phone without digits") << 2 << " - " << 0 << false << "";
    }
    void destinatariSms()
    {
        QFETCH(int, telXSms);
        QFETCH(QString, telefono);
        QFETCH(int, smsTipo);
        QFETCH(bool, aggiunto);
        QFETCH(QString, indirizzo);
        ClientePerInvio c;
        c.descr = QStringLiteral("ROSSI MARIO");
        c.telefono1 = c.telefono2 = c.telefono3 = QStringLiteral("02 999"); // the other phones never count
        (telXSms == 2 ? c.telefono2 : telXSms == 3 ? c.telefono3 : c.telefono1) = telefono;
        c.telXSms = telXSms;
        DestinatarioCliente d{QStringLiteral("x"), QStringLiteral("x")};
        QCOMPARE(tavo::destinatarioSms(c, smsTipo, QStringLiteral("sms.agenzia.it"), &d), aggiunto);
        if (aggiunto)
            QCOMPARE(d, (DestinatarioCliente{QStringLiteral("ROSSI MARIO"), indirizzo}));
        else
            QCOMPARE(d, (DestinatarioCliente{QStringLiteral("x"), QStringLiteral("x")}));
    }

    void destinatariInOrdine()
    {
        QList<ClientePerInvio> clienti(3);
        clienti[0].descr = QStringLiteral("A");
        clienti[0].email = QStringLiteral("a@x.it");
        clienti[0].telefono2 = QStringLiteral("333 1");
        clienti[0].telXSms = 2;
        clienti[1].descr = QStringLiteral("B"); // neither
        clienti[1].telefono1 = QStringLiteral("333 2");
        clienti[2].descr = QString(); // no name: still a recipient
        clienti[2].email = QStringLiteral("c@x.it");
        clienti[2].telefono1 = QStringLiteral("333 3");
        clienti[2].telXSms = 1;
        QCOMPARE(tavo::destinatariEmail(clienti), (QList<DestinatarioCliente>{{"A", "a@x.it"}, {QString(), "c@x.it"}}));
        QCOMPARE(tavo::destinatariSms(clienti, 1, QString()),
                 (QList<DestinatarioCliente>{{"A", "393331"}, {QString(), "393333"}}));
        QCOMPARE(tavo::destinatariEmail({clienti[1]}), QList<DestinatarioCliente>());
    }

    void messaggiSenzaDestinatari_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("testo");
        QTest::newRow("e-mail, all") << 0 << "Nessun cliente a cui inviare un'Email";
        QTest::newRow("SMS, all") << 1 << "Nessun cliente a cui inviare un SMS";
        QTest::newRow("e-mail, current") << 10 << "Impossibile inviare un'Email al Cliente corrente";
        QTest::newRow("SMS, current") << 11 << "Impossibile inviare un SMS al Cliente corrente";
    }
    void messaggiSenzaDestinatari()
    {
        QFETCH(int, tag);
        QFETCH(QString, testo);
        QCOMPARE(tavo::messaggioNessunDestinatario(tag), testo);
    }

    void modelloDalDatabase()
    {
        TempDatabase d;
        d.exec(QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR,TELEFONO1,TEL_X_SMS,PROPRIETARIO,NOTE) values "
                              "(7,'ROSSI MARIO','335',1,'S','prima riga'||ascii_char(13)||ascii_char(10)||'seconda')"));
        d.exec(QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR,EMAIL) values (3,'DEROSSI','d@x.it')"));
        d.exec(QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR) values (5,'BIANCHI')"));
        db::Transaction tr(d.db());
        db::Query q(tr);
        TModelloRicercaClienti m;
        QCOMPARE(m.columnCount(), 16);
        QCOMPARE(m.headerData(11, Qt::Horizontal).toString(), QStringLiteral("Codice Fiscale"));
        QCOMPARE(m.headerData(13, Qt::Horizontal).toString(), QStringLiteral("Sito Web"));
        QCOMPARE(m.headerData(8, Qt::Horizontal, tavo::TMemTableModel::ColumnNameRole).toString(),
                 QStringLiteral("CITTA"));

        FiltriRicercaClienti f;
        f.descr = QStringLiteral("ROSS");
        m.Apri(q, tavo::sqlRicercaClienti(f, QStringLiteral("DESCR"), 2), tavo::parametriFiltroClienti(f));
        QCOMPARE(m.rowCount(), 2);
        QCOMPARE(m.valore(0, QStringLiteral("DESCR")), QStringLiteral("ROSSI MARIO"));
        QCOMPARE(m.idCliente(0), 7);
        QCOMPARE(m.riga(0).telXSms, 1);
        QCOMPARE(m.trovaCliente(3), 1);
        QCOMPARE(m.trovaCliente(5), -1);
        QVERIFY(m.tutteLette());
        // Owners blue, the notes excepted; the notes on one line; NULL as empty.
        QCOMPARE(m.index(0, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(18, 138, 255));
        QVERIFY(!m.index(0, 15).data(Qt::ForegroundRole).isValid());
        QVERIFY(!m.index(1, 0).data(Qt::ForegroundRole).isValid());
        QCOMPARE(m.index(0, 15).data().toString(), QStringLiteral("prima riga seconda"));
        QCOMPARE(m.index(1, 1).data().toString(), QString());

        QVERIFY(tavo::clienteNelFiltro(q, f, 3));
        QVERIFY(!tavo::clienteNelFiltro(q, f, 5));
        QVERIFY(tavo::clienteNelFiltro(q, FiltriRicercaClienti(), 5));
        QVERIFY(!tavo::clienteNelFiltro(q, FiltriRicercaClienti(), 6));

        // The longest texts the panel accepts still fit the statement's parameters.
        f.descr = QString(126, QLatin1Char('X'));
        f.telefono = QString(63, QLatin1Char('9'));
        f.email = f.indirizzo = f.citta = f.referente = f.descr;
        m.Apri(q, tavo::sqlRicercaClienti(f, QString(), 0), tavo::parametriFiltroClienti(f));
        QCOMPARE(m.rowCount(), 0);

        // A failed statement leaves the rows as they were.
        f = FiltriRicercaClienti();
        m.Apri(q, tavo::sqlRicercaClienti(f, QString(), 0), tavo::parametriFiltroClienti(f));
        QCOMPARE(m.rowCount(), 3);
        QVERIFY_THROWS_EXCEPTION(db::DbError, m.Apri(q, {"select * from CLIENTI", "", "order by NESSUNA"}, {}));
        QCOMPARE(m.rowCount(), 3);
    }

    void modelloLeggeABlocchi()
    {
        TempDatabase d;
        const int quanti = 2 * TModelloRicercaClienti::Blocco + 30;
        {
            db::Transaction tr(d.db());
            db::Query ins(tr, QStringLiteral("insert into CLIENTI (ID_CLIENTE,DESCR) values (:ID,:DESCR)"));
            for (int id = 1; id <= quanti; ++id) {
                ins.setParam(QStringLiteral("ID"), id);
                ins.setParam(QStringLiteral("DESCR"), QStringLiteral("CLIENTE %1").arg(id, 4, 10, QLatin1Char('0')));
                ins.exec();
            }
            tr.commit();
        }
        db::Transaction tr(d.db());
        db::Query q(tr);
        TModelloRicercaClienti m;
        QSignalSpy reset(&m, &QAbstractItemModel::modelReset);
        QSignalSpy inserite(&m, &QAbstractItemModel::rowsInserted);
        const FiltriRicercaClienti f;
        m.Apri(q, tavo::sqlRicercaClienti(f, QString(), 0), {});
        QCOMPARE(reset.size(), 1);
        QCOMPARE(m.rowCount(), TModelloRicercaClienti::Blocco);
        QVERIFY(m.canFetchMore(QModelIndex()));
        // The grid scrolled to the end asks for the next block.
        m.fetchMore(QModelIndex());
        QCOMPARE(m.rowCount(), 2 * TModelloRicercaClienti::Blocco);
        QCOMPARE(inserite.size(), 1);
        // Finding a client reads on as far as needed.
        QCOMPARE(m.trovaValore(QStringLiteral("DESCR"), QStringLiteral("CLIENTE 0205")), 204);
        QCOMPARE(m.rowCount(), quanti);
        QVERIFY(m.tutteLette());
        QVERIFY(!m.canFetchMore(QModelIndex()));
        QCOMPARE(m.trovaCliente(quanti + 1), -1);

        // Reopened: the first block again; the rest read at once.
        m.Apri(q, tavo::sqlRicercaClienti(f, QStringLiteral("DESCR"), 2), {});
        QCOMPARE(m.rowCount(), TModelloRicercaClienti::Blocco);
        QCOMPARE(m.idCliente(0), quanti);
        m.caricaTutto();
        QCOMPARE(m.rowCount(), quanti);
        QCOMPARE(m.idCliente(quanti - 1), 1);
        m.Chiudi();
        QCOMPARE(m.rowCount(), 0);
        QVERIFY(!m.canFetchMore(QModelIndex()));
    }
};

QTEST_GUILESS_MAIN(TestRicercaClientiLogica)
#include "tst_ricercaclienti_logica.moc"
