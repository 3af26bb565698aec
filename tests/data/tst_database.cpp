// The database access layer and the script runner against real Firebird databases.

#include "data/database.h"
#include "data/scriptrunner.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace tavo::db;

class TestDatabase : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<Database> m_db;

    Database &db() { return *m_db; }
    void exec(const QString &sql)
    {
        Transaction tr(db());
        executeImmediate(tr, sql);
        tr.commit();
    }

private slots:
    void initTestCase()
    {
        m_db = std::make_unique<Database>();
        m_db->create(m_dir.filePath(QStringLiteral("layer.fdb")), QStringLiteral("SYSDBA"), QStringLiteral("x"));
        exec(QStringLiteral("create table T (ID integer not null primary key, NOME varchar(40), PREZZO double precision,"
                            " QUANDO date, NOTE blob sub_type 1, FLAG varchar(1), PICCOLO smallint, FISSO char(5))"));
    }

    void parameters_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("parsed");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("repeated") << "select * from T where ID=:ID or :id is null" << "select * from T where ID=? or ? is null"
                                  << QStringList{"ID", "ID"};
        QTest::newRow("literal") << "select ':X', \"a:b\" from T where NOME=:NOME" << "select ':X', \"a:b\" from T where NOME=?"
                                 << QStringList{"NOME"};
        QTest::newRow("doubled quote") << "select 'l''a:b' from T where ID=:A" << "select 'l''a:b' from T where ID=?"
                                       << QStringList{"A"};
        QTest::newRow("comments") << "select /* :NO */ ID -- :NEITHER\nfrom T where ID=:SI"
                                  << "select /* :NO */ ID -- :NEITHER\nfrom T where ID=?" << QStringList{"SI"};
        QTest::newRow("names with digits") << "insert into T (ID) values (:ID_2)" << "insert into T (ID) values (?)"
                                           << QStringList{"ID_2"};
    }
    void parameters()
    {
        QFETCH(QString, sql);
        QFETCH(QString, parsed);
        QFETCH(QStringList, names);
        QStringList found;
        QCOMPARE(Query::parseParameters(sql, &found), parsed);
        QCOMPARE(found, names);
    }

    void roundTripOfEveryType()
    {
        const QString longText = QString(QStringLiteral("Città è più bella; ")).repeated(3000); // past one segment
        const QDateTime when(QDate(2026, 12, 11), QTime(9, 30, 15, 250));
        Transaction tr(db());
        Query ins(tr, QStringLiteral("insert into T (ID, NOME, PREZZO, QUANDO, NOTE, FLAG, PICCOLO, FISSO) "
                                     "values (:ID, :NOME, :PREZZO, :QUANDO, :NOTE, :FLAG, :PICCOLO, :FISSO)"));
        ins.setParam(QStringLiteral("ID"), 1);
        ins.setParam(QStringLiteral("NOME"), QStringLiteral("L’AQUILA À € 1…"));
        ins.setParam(QStringLiteral("PREZZO"), 1234.5679);
        ins.setParam(QStringLiteral("QUANDO"), when);
        ins.setParam(QStringLiteral("NOTE"), longText);
        ins.setParam(QStringLiteral("FLAG"), QString());
        ins.setParam(QStringLiteral("PICCOLO"), 7);
        ins.setParam(QStringLiteral("FISSO"), QStringLiteral("ab"));
        ins.exec();
        QCOMPARE(ins.rowsAffected(), 1);
        ins.setParam(QStringLiteral("ID"), 2);
        for (const char *name : {"NOME", "PREZZO", "QUANDO", "NOTE", "FLAG", "PICCOLO", "FISSO"})
            ins.setParam(QLatin1String(name), QVariant());
        ins.exec();
        tr.commit();

        Transaction rd(db());
        Query q(rd, QStringLiteral("select * from T order by ID"));
        QVERIFY(q.first());
        // The Windows-1252 signs between 0x80 and 0x9F (’ € …) are not Latin-1.
        QCOMPARE(q.text(QStringLiteral("nome")), QStringLiteral("L’AQUILA À € 1…"));
        QCOMPARE(q.number(QStringLiteral("PREZZO")), 1234.5679);
        QCOMPARE(q.value(QStringLiteral("QUANDO")).toDateTime(), when.addMSecs(0));
        QCOMPARE(q.text(QStringLiteral("NOTE")), longText);
        QVERIFY(!q.isNull(QStringLiteral("FLAG")));
        QCOMPARE(q.text(QStringLiteral("FLAG")), QString());
        QCOMPARE(q.value(QStringLiteral("PICCOLO")).typeId(), QMetaType::Int);
        QCOMPARE(q.text(QStringLiteral("FISSO")), QStringLiteral("ab   "));
        QVERIFY(q.next());
        for (const char *name : {"NOME", "PREZZO", "QUANDO", "NOTE", "FLAG", "PICCOLO", "FISSO"}) {
            QVERIFY2(q.isNull(QLatin1String(name)), name);
            QVERIFY(!q.value(QLatin1String(name)).isValid());
        }
        QVERIFY(!q.next());

        // Stored as WIN1252: one byte per character, so the accented text fits its declared size.
        Query len(rd, QStringLiteral("select octet_length(NOME) from T where ID=1"));
        QVERIFY(len.first());
        QCOMPARE(len.value(0).toInt(), 15);
        rd.commit();
        exec(QStringLiteral("delete from T"));
    }

    void commitRetainingKeepsTheTransaction()
    {
        Transaction tr(db());
        Query ins(tr, QStringLiteral("insert into T (ID) values (:ID)"));
        ins.setParam(QStringLiteral("ID"), 10);
        ins.exec();
        tr.commitRetaining();
        QVERIFY(tr.isActive());
        ins.setParam(QStringLiteral("ID"), 11);
        ins.exec();
        tr.rollback(); // undoes 11 only: 10 was made durable

        Transaction other(db());
        Query q(other, QStringLiteral("select list(ID) from T"));
        QVERIFY(q.first());
        QCOMPARE(q.text(QStringLiteral("LIST")), QStringLiteral("10"));
        other.commit();
        exec(QStringLiteral("delete from T"));
    }

    void errorsCarryTheServerText()
    {
        Transaction tr(db());
        Query q(tr, QStringLiteral("select NON_ESISTE from T"));
        try {
            q.exec();
            QFAIL("no error");
        } catch (const DbError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("NON_ESISTE")), qPrintable(e.message()));
            QCOMPARE(e.sqlCode(), -206);
        }
        Query dup(tr, QStringLiteral("insert into T (ID) values (1)"));
        dup.exec();
        try {
            dup.exec();
            QFAIL("no error");
        } catch (const DbError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("PRIMARY")) || e.message().contains(QStringLiteral("unique")),
                     qPrintable(e.message()));
        }
        Query missing(tr, QStringLiteral("select * from T where ID=:ID"));
        QVERIFY_THROWS_EXCEPTION(DbError, missing.exec());
        tr.rollback();
    }

    void generators()
    {
        exec(QStringLiteral("create generator GEN_PROVA"));
        Transaction tr(db());
        QCOMPARE(generatorValue(tr, QStringLiteral("GEN_PROVA")), 1);
        QCOMPARE(generatorValue(tr, QStringLiteral("GEN_PROVA")), 2);
        QCOMPARE(generatorValue(tr, QStringLiteral("GEN_PROVA"), 0), 2);
        tr.commit();
    }

    void openFailsWithServerText()
    {
        Database other;
        try {
            other.open(m_dir.filePath(QStringLiteral("manca.fdb")), QStringLiteral("SYSDBA"), QStringLiteral("x"));
            QFAIL("opened a missing file");
        } catch (const DbError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("manca.fdb")), qPrintable(e.message()));
        }
        QVERIFY(!other.isOpen());
    }

    void secondProcessSharesTheFile()
    {
        // The embedded engine runs in SuperClassic mode, so another program can open the same file.
        const QString isql = QStandardPaths::findExecutable(QStringLiteral("isql-fb"));
        if (isql.isEmpty())
            QSKIP("isql-fb is not installed");
        QProcess p;
        p.start(isql, {QStringLiteral("-q"), QStringLiteral("-user"), QStringLiteral("SYSDBA"), m_db->connectionString()});
        QVERIFY(p.waitForStarted());
        p.write("select count(*) from RDB$DATABASE;\n");
        p.closeWriteChannel();
        QVERIFY(p.waitForFinished(30000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        QVERIFY2(out.contains(QStringLiteral("COUNT")) && !out.contains(QStringLiteral("incompatible")), qPrintable(out));
    }

    void scriptRunner()
    {
        const QString script = QStringLiteral(
            "/* Script di prova: commenti,\n   terminatori e un errore */\n"
            "SET SQL DIALECT 1;\n"
            "SET NAMES WIN1252;\n"
            "create table S (ID integer, NOTA varchar(20));\n"
            "create generator GEN_S;\n"
            "SET TERM ^ ;\n"
            "create trigger S_BI for S before insert as\n"
            "begin\n"
            "  if (new.ID is null) then new.ID = gen_id(GEN_S, 1); /* ; inside a body */\n"
            "  new.NOTA = coalesce(new.NOTA, 'vuota;');\n"
            "end^\n"
            "SET TERM ; ^\n"
            "insert into S (NOTA) values ('prima');\n"
            "insert into NON_ESISTE values (1);\n"
            "insert into S (ID) values (:nessun_parametro_qui);\n"
            "-- a line comment; with a semicolon\n"
            "insert into S (NOTA) values ('it''s; fine');\n"
            "COMMIT;\n"
            "insert into S (NOTA) values ('poi annullata');\n"
            "ROLLBACK;\n");
        Transaction tr(db());
        ScriptRunner strict(tr);
        QVERIFY_THROWS_EXCEPTION(DbError, strict.run(script, ScriptRunner::Strict));
        tr.rollback();
        exec(QStringLiteral("drop trigger S_BI"));
        exec(QStringLiteral("drop table S"));
        exec(QStringLiteral("drop generator GEN_S"));

        ScriptRunner update(tr);
        QVERIFY2(update.run(script, ScriptRunner::Update), qPrintable(update.checkError()));
        QCOMPARE(update.errors().size(), 2);
        QVERIFY(update.errors().at(0).startsWith(QStringLiteral("riga 15:")));
        QVERIFY(tr.isActive()); // committed with its context kept
        Query q(tr, QStringLiteral("select list(ID || '=' || NOTA, '|') from S"));
        QVERIFY(q.first());
        QCOMPARE(q.value(0).toString(), QStringLiteral("1=prima|2=it's; fine"));
        tr.commit();
    }

    void scriptCheckFailsBeforeRunning_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("message");
        QTest::newRow("unterminated") << "create table U (A integer);\ninsert into U values (1)" << "Riga 2";
        QTest::newRow("open comment") << "create table U (A integer);\n/* never closed" << "commento";
        QTest::newRow("open string") << "create table U (A integer);\ninsert into U values ('x);\n" << "stringa";
        QTest::newRow("bad dialect") << "create table U (A integer);\nSET SQL DIALECT 9;" << "dialetto";
        QTest::newRow("term never reset") << "create table U (A integer);\nSET TERM ^ ;\ncreate table V (A integer);"
                                          << "manca";
    }
    void scriptCheckFailsBeforeRunning()
    {
        QFETCH(QString, script);
        QFETCH(QString, message);
        Transaction tr(db());
        ScriptRunner runner(tr);
        QVERIFY(!runner.run(script, ScriptRunner::Update));
        QVERIFY2(runner.checkError().contains(message), qPrintable(runner.checkError()));
        tr.commit();
        Transaction check(db());
        Query q(check, QStringLiteral("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME='U'"));
        QVERIFY(q.first());
        QCOMPARE(q.value(0).toInt(), 0); // nothing ran
        check.commit();
    }

    void serverConnection()
    {
        // The test command starts a Firebird server on loopback and names it here.
        const QString server = qEnvironmentVariable("TAVO_TEST_SERVER");
        if (server.isEmpty())
            QSKIP("no Firebird server started for this run (TAVO_TEST_SERVER)");
        const QString password = qEnvironmentVariable("TAVO_TEST_SERVER_PASSWORD");
        const QString connection = server + QLatin1Char(':') + m_dir.filePath(QStringLiteral("remota.fdb"));
        {
            Database remote;
            remote.create(connection, QStringLiteral("SYSDBA"), password);
            Transaction tr(remote);
            executeImmediate(tr, QStringLiteral("create table R (A varchar(10))"));
            tr.commitRetaining();
            Query q(tr, QStringLiteral("insert into R values (:A)"));
            q.setParam(QStringLiteral("A"), QStringLiteral("perché"));
            q.exec();
            tr.commit();
        }
        Database again;
        again.open(connection, QStringLiteral("SYSDBA"), password);
        Transaction tr(again);
        Query q(tr, QStringLiteral("select A from R"));
        QVERIFY(q.first());
        QCOMPARE(q.text(QStringLiteral("A")), QStringLiteral("perché"));
        tr.commit();
        // A second attachment with the same credentials, for work on another thread.
        Database second;
        second.openLike(again);
        Transaction tr2(second);
        Query q2(tr2, QStringLiteral("select A from R"));
        QVERIFY(q2.first());
        QCOMPARE(q2.text(QStringLiteral("A")), QStringLiteral("perché"));
        tr2.commit();
        Database wrong;
        QVERIFY_THROWS_EXCEPTION(DbError, wrong.open(connection, QStringLiteral("SYSDBA"), QStringLiteral("sbagliata")));
        Database closed;
        QVERIFY_THROWS_EXCEPTION(DbError, closed.openLike(wrong));
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
