// The program's statements on a MariaDB server run on the connection's own client handle:
// the values they read are the ones Qt's driver reads, and they belong to the driver's
// session and transaction.
#include <QtTest>

#include "platform/Database.h"
#include "tests/support/MariaDbServer.h"
#include "tests/support/TestDaten.h"

class TestServeranweisungen : public QObject {
    Q_OBJECT

    QString adresse_;

    // A table with a column of every declared type the club's files know, and three rows:
    // values, NULLs, and empty texts.
    static void probeAnlegen(Database& db) {
        db.execute(
            "CREATE TABLE Probe (i INTEGER, l LONG, s SINGLE, d DOUBLE, j YESNO, t DATE, "
            "k TEXT(50), m TEXT, b BLOB)");
        const QString neu = "INSERT INTO Probe VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)";
        db.run(neu, {1, qlonglong(70000), 0.1, 25.5, true, QString("2024-04-03"),
                     QString("Jürgen „Ö“"), QString(3000, QChar(u'ß')),
                     QByteArray("\x00\x01\xff", 3)});
        db.run(neu, {2, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
                     QVariant(), QVariant()});
        db.run(neu, {3, -5, -1.5e-7, 1e300, false, QString("1999-12-31"), QString(""),
                     QString(""), QByteArray("")});
    }

  private slots:
    void initTestCase() {
        adresse_ = TestDaten::leereServerdatenbank();
        QVERIFY(!adresse_.isEmpty());
    }

    // Read on the client handle (run) and through the driver (a listing's select): the same
    // columns, types and values, NULL as NULL and an empty text as an empty text.
    void werteWieDerTreiber() {
        Database db;
        QString fehler;
        QVERIFY2(db.open(adresse_, &fehler), qPrintable(fehler));
        probeAnlegen(db);
        const SqlRows direkt = db.run("SELECT * FROM Probe ORDER BY i");
        const SqlRows treiber = db.select("SELECT * FROM Probe ORDER BY i");
        QCOMPARE(direkt.columns, treiber.columns);
        QCOMPARE(direkt.size(), std::size_t(3));
        QCOMPARE(treiber.size(), std::size_t(3));
        for (std::size_t r = 0; r < 3; ++r) {
            for (int c = 0; c < direkt.columns.size(); ++c) {
                const QVariant& a = direkt.rows[r][c];
                const QVariant& b = treiber.rows[r][c];
                const QByteArray wo = QStringLiteral("Zeile %1, %2: %3 / %4")
                                          .arg(r)
                                          .arg(direkt.columns[c], a.toString(), b.toString())
                                          .toUtf8();
                QVERIFY2(a.metaType() == b.metaType(), wo.constData());
                QVERIFY2(a.isNull() == b.isNull(), wo.constData());
                QVERIFY2(a == b, wo.constData());
            }
        }
        // What was bound came back: the single-precision value as the driver shows it, the
        // long text (longer than a first read takes) whole, the bytes with their zero.
        QCOMPARE(direkt.value(0, "s").toDouble(), 0.1);
        QCOMPARE(direkt.value(0, "t").toString(), QString("2024-04-03"));
        QCOMPARE(direkt.value(0, "m").toString(), QString(3000, QChar(u'ß')));
        QCOMPARE(direkt.value(0, "b").toByteArray(), QByteArray("\x00\x01\xff", 3));
        QCOMPARE(direkt.value(0, "k").toString(), QString("Jürgen „Ö“"));
        QVERIFY(!direkt.value(2, "k").toString().isNull());
        QCOMPARE(direkt.value(2, "d").toDouble(), 1e300);
        // Rows found by a change count as changed, as on the driver's connection.
        db.run("UPDATE Probe SET j = ? WHERE i <= ?", {0, 3});
        QCOMPARE(db.changedRows(), 3);
        db.execute("DROP TABLE Probe");
    }

    // The client handle's statements are in the driver's transaction: rolled back with it,
    // kept with its commit; a refused statement is a German message, and the connection
    // goes on.
    void inDerTransaktionDesTreibers() {
        Database db;
        QString fehler;
        QVERIFY2(db.open(adresse_, &fehler), qPrintable(fehler));
        db.execute("CREATE TABLE Konto (n INTEGER)");
        try {
            Transaction t(db);
            db.run("INSERT INTO Konto VALUES (?)", {1});
            QCOMPARE(db.run("SELECT count(*) FROM Konto").rows[0][0].toInt(), 1);
            db.run("INSERT INTO GibtsNicht VALUES (?)", {2});
            t.commit();
            QFAIL("Fehler nicht gemeldet");
        } catch (const DatabaseError& e) {
            QVERIFY2(e.message().contains("meldet einen Fehler") &&
                         e.message().contains("GibtsNicht"),
                     qPrintable(e.message()));
            QVERIFY(!e.verbindungWeg());
        }
        QCOMPARE(db.run("SELECT count(*) FROM Konto").rows[0][0].toInt(), 0);
        {
            Transaction t(db);
            db.run("INSERT INTO Konto VALUES (?)", {5});
            t.commit();
        }
        Database andere;
        QVERIFY2(andere.open(adresse_, &fehler), qPrintable(fehler));
        QCOMPARE(andere.run("SELECT n FROM Konto").rows.at(0).at(0).toInt(), 5);
        // Too few values are refused, not sent.
        QVERIFY_THROWS_EXCEPTION(DatabaseError, db.run("INSERT INTO Konto VALUES (?)", {}));
        QCOMPARE(andere.run("SELECT count(*) FROM Konto").rows[0][0].toInt(), 1);
        db.execute("DROP TABLE Konto");
    }
};

QTEST_GUILESS_MAIN(TestServeranweisungen)
#include "test_serveranweisungen.moc"
