// A whole reading for each machine kind: the real main window, reading window, serial port
// and protocol code against the simulated machine on a pseudo-terminal.
#include <QtTest>

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

#include "platform/SerialPortLine.h"
#include "tests/support/Programmfenster.h"

namespace {

struct Simulation {
    QProcess prozess;
    QByteArray ausgabe;

    bool starten(const QString& art, const QStringList& fehler = {}) {
        QStringList args{"--art", art, "--karten", QStringLiteral(ZK_TESTDATA "/karten.txt")};
        for (const QString& f : fehler)
            args << "--" + f;
        prozess.start(QStringLiteral(ZK_SIM), args);
        if (!prozess.waitForStarted(10000))
            return false;
        while (!ausgabe.contains('\n')) {
            if (!prozess.waitForReadyRead(10000))
                return false;
            ausgabe += prozess.readAllStandardOutput();
        }
        const QByteArray erste = ausgabe.left(ausgabe.indexOf('\n'));
        if (!erste.startsWith("PTY "))
            return false;
        // Port 1 leads to the simulator's pseudo-terminal.
        QFile map(SerialPortLine::mappingFile(1));
        QDir().mkpath(QFileInfo(map).absolutePath());
        if (!map.open(QIODevice::WriteOnly))
            return false;
        map.write(erste.mid(4) + "\n");
        return true;
    }
    QByteArray gelesen() {
        ausgabe += prozess.readAllStandardOutput();
        return ausgabe;
    }
    ~Simulation() {
        prozess.kill();
        prozess.waitForFinished(5000);
    }
};

struct Abend : Programmfenster {
    SerialPortLine leitung;
    explicit Abend(const QString& maschine) : Programmfenster(maschine) {
        ini.IniSchreiben("WERTMASCHINE", "COMPORT", "1");
        daten.mitglied(12, "Anna Alt", 1);
    }
    void starten() {
        Programmfenster::starten(&leitung);
        nummer("12");
    }
    int anzahl(const QString& sql) { return zahl(sql); }
};

// Answers the reading window's hand-entry prompts through Korrektur_txt, as a user would.
struct Korrekturhelfer {
    QTimer timer;
    QStringList gefragt;
    Korrekturhelfer(Abend& a, const QString& wert) {
        timer.setInterval(30);
        QObject::connect(&timer, &QTimer::timeout, [&a, wert, this] {
            const QString status = a.c<QLabel>("status")->text();
            if (status.endsWith(" angeben") && (gefragt.isEmpty() || gefragt.last() != status)) {
                gefragt << status;
                QLineEdit* k = a.c("Korrektur_txt");
                k->selectAll();
                QTest::keyClicks(k, "x");  // not a digit: ignored
                QTest::keyClicks(k, wert);
                QTest::keyClick(k, Qt::Key_Return);
            }
        });
        timer.start();
    }
};

}  // namespace

class TestLesenSimulator : public QObject {
    Q_OBJECT
  private slots:
    void rm3() {
        Simulation sim;
        QVERIFY(sim.starten("RMIII", {"geteilt", "muell", "falscher-slot"}));
        Abend a("RMIII");
        a.starten();
        QVERIFY(a.dialogs.messages.isEmpty());
        QTest::mouseClick(a.knopf("S2x10"), Qt::LeftButton);
        QCOMPARE(a.c("RMst")->text(), QString("132407211"));
        Korrekturhelfer helfer(a, "8");
        QTest::mouseClick(a.knopf("Start"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(a.anzahl("SELECT count(*) FROM Ergebnis") == 1, 30000);
        QVERIFY(sim.gelesen().contains("PROGRAMM 132407211"));
        QCOMPARE(helfer.gefragt, QStringList{"Schuss 3 angeben"});
        // The machine stops at shot 3 until it gets the report: 9 + 10 + 8 (corrected)
        QTRY_VERIFY2(sim.gelesen().contains("RX 10\nRX 27\nRX korr\nRX Edit\n"),
                     sim.gelesen().constData());
        QCOMPARE(a.anzahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr=12"), 20);
        QCOMPARE(a.anzahl("SELECT S1 FROM Ergebnis"), 91);
        QCOMPARE(a.anzahl("SELECT S2 FROM Ergebnis"), 93);
        QCOMPARE(a.anzahl("SELECT Ring FROM Einzelergebnisse WHERE Schuss=3"), 8);
        QCOMPARE(a.daten.db()
                     .run("SELECT Teiler FROM Einzelergebnisse WHERE Schuss=3")
                     .rows[0][0]
                     .toDouble(),
                 9999.0);
        QCOMPARE(a.c<QLabel>("status")->text(), QString("Fertig"));
        QVERIFY(a.einlesen->isHidden());
        QCOMPARE(a.c("Schuss_13")->text(), QString("9"));
        QCOMPARE(a.c<QLabel>("Warnung")->text(), QString());  // a pty counts as ready
    }

    void rm3WinMitNak() {
        Simulation sim;
        QVERIFY(sim.starten("RMIII_WIN", {"nak", "muell", "falscher-slot"}));
        Abend a("RMIII_WIN");
        a.starten();
        QTest::mouseClick(a.knopf("S2x10"), Qt::LeftButton);
        Korrekturhelfer helfer(a, "8");
        QTest::mouseClick(a.knopf("Start"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(a.c<QLabel>("Warnung")->text(),
                                  QString("NAK Empfangen (Fehlermeldung RM)"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(a.anzahl("SELECT count(*) FROM Ergebnis") == 1, 30000);
        QVERIFY(sim.gelesen().contains("STEUER SCH=LG10;SZI=10;SGE=20;SSC=1;TEA=ZT;TEG=300;"));
        QCOMPARE(helfer.gefragt, QStringList{"Schuss 3 angeben"});
        // The report names the last series: 10+9+9+10+8+9+10+9+10+9 = 93
        QTRY_VERIFY(sim.gelesen().contains("RX 20\nRX 93\nRX korr\nRX Edit\n"));
        QCOMPARE(a.anzahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr=12"), 20);
        QCOMPARE(a.anzahl("SELECT S1 FROM Ergebnis"), 91);
        QCOMPARE(a.anzahl("SELECT Ring FROM Einzelergebnisse WHERE Schuss=3"), 8);
        QVERIFY(!sim.gelesen().contains("STEUER ABR"));
    }

    void sam() {
        Simulation sim;
        QVERIFY(sim.starten("SAM", {"muell"}));
        Abend a("SAM");
        a.starten();
        QCOMPARE(a.knopf("S4x10")->text(), QString("20 Schuss"));
        QTest::keyClick(a.c("SNummer"), Qt::Key_F7);  // "20 Schuss"
        QCOMPARE(a.zustand.ShotLimit, std::int16_t(20));
        QTest::mouseClick(a.knopf("Start"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(a.anzahl("SELECT count(*) FROM Ergebnis") == 1, 30000);
        QCOMPARE(a.anzahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr=12"), 20);
        QCOMPARE(a.anzahl("SELECT S1 FROM Ergebnis"), 90);  // no hand correction: the 7 stays
        QCOMPARE(a.anzahl("SELECT S2 FROM Ergebnis"), 93);
        QVERIFY(std::fabs(a.zustand.Shots[1].X - 1.5f) < 0.01f);
    }
};

QTEST_MAIN(TestLesenSimulator)
#include "test_lesen_simulator.moc"
