// The club server through ODBC, as the Windows build reaches it: the connection string that
// serverodbc builds, used with Debian's MariaDB ODBC driver against a server of the test's own.
#include <QtTest>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include "platform/ServerOdbc.h"
#include "tests/support/MariaDbServer.h"

namespace {
// Debian's odbc-mariadb; unixODBC takes the library itself where Windows takes the name that
// serverodbc::treibername() finds (the test's own ODBC configuration registers no driver).
const QString kTreiber = QStringLiteral("/usr/lib/x86_64-linux-gnu/odbc/libmaodbc.so");
// Every character an ODBC connection string treats specially.
const QString kPasswort = QStringLiteral("a}b;c{d=e}");

QString fehlerText(const QSqlDatabase& db) {
    return db.lastError().text();
}
}  // namespace

class TestServerOdbc : public QObject {
    Q_OBJECT
    MariaDbServer server;

  private slots:
    void initTestCase() {
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QODBC"))) {
            QSKIP("Qt's ODBC driver (libqt6sql6-odbc) is needed");
        }
        QVERIFY2(server.starten(), qPrintable(server.fehler()));
        QVERIFY(server.sql(QStringLiteral(
            "CREATE USER 'odbc'@'127.0.0.1' IDENTIFIED BY '%1';"
            "GRANT ALL ON meyton.* TO 'odbc'@'127.0.0.1';"
            "CREATE TABLE Mitglieder (Nr INTEGER, Name VARCHAR(50));"
            "INSERT INTO Mitglieder VALUES (7, 'Jörg Weiß');").arg(kPasswort)));
    }

    void zeichenInWertenWerdenGeklammert() {
        const QString s = serverodbc::verbindung(QStringLiteral("T"), QStringLiteral("h"), 3307,
                                                 QStringLiteral("db"), QStringLiteral("u"),
                                                 QStringLiteral("p}w"), 5, 30);
        QVERIFY2(s.startsWith(QStringLiteral("DRIVER={T};SERVER={h};PORT=3307;DATABASE={db};"
                                             "UID={u};PWD={p}}w};OPTION=2;")),
                 qPrintable(s));
        QVERIFY(s.contains(QStringLiteral("CONN_TIMEOUT=5;READ_TIMEOUT=30;WRITE_TIMEOUT=30")));
    }

    void verbindetMitSonderzeichenImPasswort() {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), QStringLiteral("a"));
        db.setDatabaseName(serverodbc::verbindung(kTreiber, QStringLiteral("127.0.0.1"),
                                                  server.port(), QStringLiteral("meyton"),
                                                  QStringLiteral("odbc"), kPasswort, 5, 30));
        QVERIFY2(db.open(), qPrintable(fehlerText(db)));
        QSqlQuery q(db);
        // Umlauts come back as they were stored.
        QVERIFY(q.exec(QStringLiteral("SELECT Name FROM Mitglieder WHERE Nr = 7")) && q.next());
        QCOMPARE(q.value(0).toString(), QStringLiteral("Jörg Weiß"));
        // A row that matched counts even when nothing changed: the program's write checks
        // rely on it, as with its MariaDB connection (CLIENT_FOUND_ROWS).
        QVERIFY(q.exec(QStringLiteral("UPDATE Mitglieder SET Name = 'Jörg Weiß' WHERE Nr = 7")));
        QCOMPARE(q.numRowsAffected(), 1);
        q = QSqlQuery();
        db.close();
    }

    void falschesPasswortWirdAbgewiesen() {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), QStringLiteral("b"));
        db.setDatabaseName(serverodbc::verbindung(kTreiber, QStringLiteral("127.0.0.1"),
                                                  server.port(), QStringLiteral("meyton"),
                                                  QStringLiteral("odbc"), QStringLiteral("a}b"),
                                                  5, 30));
        QVERIFY(!db.open());
        // The program asks for the password again on exactly this text.
        QVERIFY2(fehlerText(db).contains(QLatin1String("Access denied")), qPrintable(fehlerText(db)));
    }
};

QTEST_MAIN(TestServerOdbc)
#include "test_serverodbc.moc"
