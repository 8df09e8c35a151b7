// Windows under Wine: a whole reading over a COM port. scripts/windows-tests starts the
// simulator (Linux's, on a pseudo-terminal), maps a COM port to it in Wine's registry and
// names the port in ZK_WINE_COM; the real main window, reading window, SerialPortLine with
// its Windows port names and the protocol code read a card from it and store it.
#include <QtTest>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/SerialPortLine.h"
#include "tests/support/Programmfenster.h"

class TestComWine : public QObject {
    Q_OBJECT
  private slots:
    void rm3UeberCom() {
        const QString port = qEnvironmentVariable("ZK_WINE_COM");
        if (port.isEmpty()) {
            QSKIP("scripts/windows-tests maps the port and names it in ZK_WINE_COM");
        }
        // Ports 1 to 4 only: any other number would leave the line on a port the test did
        // not make.
        QVERIFY2(port.toInt() >= 1 && port.toInt() <= 4, qPrintable(port));
        Programmfenster a("RMIII");
        a.ini.IniSchreiben("WERTMASCHINE", "COMPORT", port);
        a.daten.mitglied(12, "Anna Alt", 1);
        SerialPortLine leitung;
        QCOMPARE(leitung.deviceOf(port.toInt()), "COM" + port);
        a.starten(&leitung);
        a.nummer("12");
        QTest::mouseClick(a.knopf("S2x10"), Qt::LeftButton);
        // Shot 3 of the simulator's first card is unreadable: answered by hand, as a user does.
        QStringList gefragt;
        QTimer helfer;
        helfer.setInterval(30);
        connect(&helfer, &QTimer::timeout, [&] {
            const QString status = a.c<QLabel>("status")->text();
            if (status.endsWith(" angeben") && (gefragt.isEmpty() || gefragt.last() != status)) {
                gefragt << status;
                QLineEdit* k = a.c("Korrektur_txt");
                k->selectAll();
                QTest::keyClicks(k, "8");
                QTest::keyClick(k, Qt::Key_Return);
            }
        });
        helfer.start();
        QTest::mouseClick(a.knopf("Start"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(a.zahl("SELECT count(*) FROM Ergebnis") == 1, 60000);
        QCOMPARE(a.zahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr=12"), 20);
        QCOMPARE(gefragt, QStringList{"Schuss 3 angeben"});
        QTRY_COMPARE(a.c<QLabel>("status")->text(), QString("Fertig"));
    }
};

QTEST_MAIN(TestComWine)
#include "test_com_wine.moc"
