#include <QtTest>

#include "platform/Database.h"
#include "platform/DeutscheOrdnung.h"
#include "platform/SqlDialect.h"

class TestDatabase : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

  private slots:
    void missingFileIsNotCreated() {
        Database db;
        QString error;
        const QString path = dir_.filePath("fehlt.db");
        QVERIFY(!db.open(path, &error));
        QVERIFY(error.contains(path));
        QVERIFY(!QFile::exists(path));
        QVERIFY(!db.isOpen());
        QVERIFY_THROWS_EXCEPTION(DatabaseError, db.select("SELECT 1"));
    }

    void garbageFileIsRefused() {
        const QString path = dir_.filePath("kaputt.db");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
        f.close();
        Database db;
        QString error;
        QVERIFY(!db.open(path, &error));
        QVERIFY(error.contains(path));
        QVERIFY(!db.isOpen());
    }

    // Read-only and locked files are told apart; an engine error never shows its SQL.
    void readOnlyAndLockedFiles() {
        const QString path = dir_.filePath("sperre.db");
        Database db;
        QString error;
        QVERIFY(db.open(path, &error, true));
        db.run("CREATE TABLE t (a INTEGER)");
        QVERIFY(!db.schreibgeschuetzt());
        Database lesend;
        QVERIFY(lesend.open(path, &error, false, Database::Zugriff::NurLesen));
        QVERIFY(lesend.schreibgeschuetzt());
        try {
            lesend.run("INSERT INTO t VALUES (1)");
            QFAIL("a read-only file took a row");
        } catch (const DatabaseError& e) {
            QVERIFY2(e.message().contains("schreibgeschützt"), qPrintable(e.message()));
            QVERIFY(!e.message().contains("INSERT"));
        }
        db.begin();
        db.run("INSERT INTO t VALUES (2)");  // holds the write lock
        Database zweites;
        QVERIFY(zweites.open(path, &error));
        QVERIFY(!zweites.schreibgeschuetzt());  // in use is not read-only
        try {
            zweites.run("INSERT INTO t VALUES (3)");
            QFAIL("a locked file took a row");
        } catch (const DatabaseError& e) {
            QVERIFY2(e.message().contains("von einem anderen Programm benutzt"),
                     qPrintable(e.message()));
            QVERIFY(!e.message().contains("INSERT"));
        }
        db.rollback();
    }

    // A failure reads German first; the engine's own words follow as a line of their own.
    void meldungMitTreiberzeile() {
        Database db;
        QString error;
        QVERIFY(db.open(dir_.filePath("meldung.db"), &error, true));
        try {
            db.run("SELECT nichtda FROM sqlite_master");
            QFAIL("an unknown column was taken");
        } catch (const DatabaseError& e) {
            const QStringList zeilen = e.message().split(u'\n');
            QCOMPARE(zeilen.size(), 2);
            QVERIFY2(zeilen[0].startsWith("Die Datenbank \""), qPrintable(e.message()));
            QVERIFY2(zeilen[1].startsWith("Meldung des Datenbanktreibers: ") &&
                         zeilen[1].contains("nichtda"),
                     qPrintable(e.message()));
            QVERIFY(!e.wiederholbar() && !e.gesperrt());
        }
        QCOMPARE(treiberzeile("  "), QString());
    }

    void declaredTypesAndRows() {
        Database db;
        QString error;
        QVERIFY(db.open(dir_.filePath("typen.db"), &error, true));
        db.run("CREATE TABLE t (Name TEXT(50), Teiler SINGLE, Liegend YESNO, Datum DATE)");
        QCOMPARE(db.columns("T")[1].declaredType, QString("SINGLE"));  // names match without case
        QVERIFY(db.hasTable("t"));
        QVERIFY(!db.hasTable("u"));
        QCOMPARE(db.execute("INSERT INTO t VALUES (\"Anna\", 12.5, TRUE, Datevalue('05.12.2026'))"),
                 1);
        const SqlRows rows = db.select("SELECT * FROM t WHERE Liegend=TRUE AND Datum=#12/05/2026#");
        QCOMPARE(rows.size(), std::size_t(1));
        QCOMPARE(rows.value(0, "NAME").toString(), QString("Anna"));
        QCOMPARE(rows.value(0, "Datum").toString(), QString("2026-12-05"));
        QVERIFY(!rows.value(0, "gibtsnicht").isValid());
        QVERIFY(!rows.value(5, "Name").isValid());
    }

    void quotedTextsCannotChangeAStatement() {
        Database db;
        QString error;
        QVERIFY(db.open(dir_.filePath("namen.db"), &error, true));
        db.run("CREATE TABLE Mitglieder (Nr INTEGER, Name TEXT)");
        const QStringList names = {"O'Brien",   "Sch\"utz", "x\" OR \"1\"=\"1",
                                   "50% Meier", "Star*",    "Müller"};
        int nr = 0;
        for (const QString& n : names) {
            db.execute("INSERT INTO Mitglieder (Nr, Name) VALUES (" + QString::number(++nr) + ", " +
                       sqldialect::quoted(n) + ")");
        }
        for (const QString& n : names) {
            const SqlRows exact =
                db.select("SELECT * FROM Mitglieder WHERE Name=" + sqldialect::quoted(n));
            QCOMPARE(exact.size(), std::size_t(1));
            QCOMPARE(exact.value(0, "Name").toString(), n);
            const SqlRows prefix =
                db.select("SELECT * FROM Mitglieder WHERE Name LIKE " + sqldialect::likePrefix(n));
            QCOMPARE(prefix.size(), std::size_t(1));
        }
        QCOMPARE(
            db.select("SELECT * FROM Mitglieder WHERE Name LIKE " + sqldialect::likePrefix("%"))
                .size(),
            std::size_t(0));
        QCOMPARE(db.select("SELECT * FROM Mitglieder WHERE Name LIKE \"*\"").size(),
                 names.size() + 0u);
    }

    // German order and a LIKE that ignores the case of umlauts, on an SQLite file.
    void deutscheOrdnung() {
        QCOMPARE(deutsch::namenOrdnen("SELECT * FROM Heute ORDER BY Name", false),
                 QString("SELECT * FROM Heute ORDER BY Name COLLATE DEUTSCH"));
        QCOMPARE(deutsch::namenOrdnen("SELECT a FROM t ORDER BY Best10 DESC, m.Name DESC", false),
                 QString("SELECT a FROM t ORDER BY Best10 DESC, m.Name COLLATE DEUTSCH DESC"));
        QCOMPARE(deutsch::namenOrdnen("SELECT Name FROM t ORDER BY Nr", false),
                 QString("SELECT Name FROM t ORDER BY Nr"));
        QCOMPARE(deutsch::namenOrdnen("SELECT 1 ORDER BY Name LIMIT 5", true),
                 QString("SELECT 1 ORDER BY CONVERT(Name USING utf8mb4) COLLATE "
                         "utf8mb4_unicode_ci LIMIT 5"));
        Database db;
        QString error;
        QVERIFY(db.open(dir_.filePath("ordnung.db"), &error, true));
        db.run("CREATE TABLE Mitglieder (Nr INTEGER, Name TEXT)");
        int nr = 0;
        for (const char* n : {"Zander", "anna klein", "Özdemir", "Äbel", "Ober", "ZANDER"})
            db.run("INSERT INTO Mitglieder VALUES (?, ?)", {++nr, QString::fromUtf8(n)});
        QStringList namen;
        for (const QVariantList& z : db.select("SELECT Name FROM Mitglieder ORDER BY Name").rows)
            namen << z[0].toString();
        QCOMPARE(namen, (QStringList{"Äbel", "anna klein", "Ober", "Özdemir", "ZANDER", "Zander"}));
        QCOMPARE(db.select("SELECT Nr FROM Mitglieder WHERE Name LIKE \"öz*\"").rows,
                 (std::vector<QVariantList>{{3}}));
        QCOMPARE(db.run("SELECT count(*) FROM Mitglieder WHERE Name LIKE 'ä_EL'").rows[0][0], 1);
        QCOMPARE(db.run("SELECT count(*) FROM Mitglieder WHERE Name LIKE 'z%'").rows[0][0], 2);
    }

    void transactionRollsBackUnlessCommitted() {
        Database db;
        QString error;
        QVERIFY(db.open(dir_.filePath("tx.db"), &error, true));
        db.run("CREATE TABLE t (v INTEGER)");
        db.run("INSERT INTO t VALUES (1)");
        try {
            Transaction t(db);
            db.run("DELETE FROM t");
            db.run("INSERT INTO t VALUES (2)");
            db.run("INSERT INTO gibtsnicht VALUES (3)");
            t.commit();
            QFAIL("Fehler nicht gemeldet");
        } catch (const DatabaseError& e) {
            QVERIFY(e.message().contains("gibtsnicht"));
        }
        QVERIFY(!db.inTransaction());
        const SqlRows rows = db.run("SELECT v FROM t");
        QCOMPARE(rows.size(), std::size_t(1));
        QCOMPARE(rows.rows[0][0].toInt(), 1);
        {
            Transaction t(db);
            db.run("UPDATE t SET v = ?", {7});
            t.commit();
        }
        QCOMPARE(db.run("SELECT v FROM t").rows[0][0].toInt(), 7);
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "test_database.moc"
