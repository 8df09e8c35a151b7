// A whole reading for each machine kind: the real main window, reading window, serial port
// and protocol code against the simulated machine on a pseudo-terminal.
#include <QtTest>

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSerialPort>

#include <sys/resource.h>

#include "platform/SerialPortLine.h"
#include "tests/support/Programmfenster.h"
#include "tests/support/Simulation.h"

namespace {

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
};

// Shots stored, the two series, shot 3 as corrected by hand (ring, no Teiler).
const QString kGespeichert = QStringLiteral(
    "SELECT (SELECT count(*) FROM Einzelergebnisse WHERE MitglNr=12), S1, S2, s.Ring, s.Teiler "
    "FROM Ergebnis, Einzelergebnisse s WHERE s.Schuss=3");

double cpuSekunden() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

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
    // A card with shot 3 unreadable, corrected by hand: the RM III told its program code, the
    // WIN its control string, with a NAK and every line repeated once (its ACK came too
    // late). Nothing lost, doubled or invented, no stall.
    void rm3_data() {
        QTest::addColumn<QString>("art");
        QTest::addColumn<QStringList>("fehler");
        QTest::addColumn<QString>("programm");  // what the machine is told to read
        QTest::newRow("RMIII") << "RMIII" << QStringList{"geteilt", "muell", "falscher-slot"}
                               << "PROGRAMM 132407211";
        QTest::newRow("RMIII_WIN") << "RMIII_WIN"
                                   << QStringList{"nak", "muell", "falscher-slot", "wiederholen"}
                                   << "STEUER SCH=LG10;SZI=10;SGE=20;SSC=1;TEA=ZT;TEG=300;";
    }
    void rm3() {
        QFETCH(QString, art);
        QFETCH(QStringList, fehler);
        QFETCH(QString, programm);
        Simulation sim;
        QVERIFY(sim.starten(art, fehler));
        Abend a(art);
        a.starten();
        QVERIFY(a.dialogs.messages.isEmpty());
        QTest::mouseClick(a.knopf("S2x10"), Qt::LeftButton);
        QCOMPARE(a.c("RMst")->text(), QString("132407211"));
        Korrekturhelfer helfer(a, "8");
        QTest::mouseClick(a.knopf("Start"), Qt::LeftButton);
        if (fehler.contains("nak"))
            QTRY_COMPARE_WITH_TIMEOUT(a.c<QLabel>("Warnung")->text(),
                                      QString("NAK Empfangen (Fehlermeldung RM)"), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(a.zahl("SELECT count(*) FROM Ergebnis") == 1, 30000);
        QVERIFY(sim.gelesen().contains(programm.toLatin1()));
        QCOMPARE(helfer.gefragt, QStringList{"Schuss 3 angeben"});
        // The machine waits after the card for the report: the whole card with shot 3 as 8
        QTRY_VERIFY2(sim.gelesen().contains("RX 10\nRX 91\nRX korr\nRX Edit\n"),
                     sim.gelesen().constData());
        QCOMPARE(a.zeile(kGespeichert), (QVariantList{20, 91, 93, 8, 9999.0}));
        QVERIFY(!sim.gelesen().contains("STEUER ABR"));
        QCOMPARE(a.c<QLabel>("status")->text(), QString("Fertig"));
        QVERIFY(a.einlesen->isHidden());
        QCOMPARE(a.c("Schuss_13")->text(), QString("9"));
        if (!fehler.contains("nak"))
            QCOMPARE(a.c<QLabel>("Warnung")->text(), QString());  // a pty counts as ready
    }

    // Two strips as a SAM sends them (ten slots, the second with three empty), in pieces,
    // with each of the machine's faults: every shot stored once, nothing invented, and the
    // NAKs bounded.
    void sam_data() {
        QTest::addColumn<QStringList>("fehler");
        QTest::addColumn<int>("naks");
        QTest::newRow("gerahmt") << QStringList{"geteilt"} << 0;
        QTest::newRow("pruefbyte falsch") << QStringList{"pruefbyte-falsch", "geteilt"} << 2;
        QTest::newRow("ohne ETB") << QStringList{"ohne-etb", "geteilt"} << 0;
        QTest::newRow("ohne Rahmen") << QStringList{"ohne-rahmen", "muell"} << 0;
    }
    void sam() {
        QFETCH(QStringList, fehler);
        QFETCH(int, naks);
        Simulation sim;
        QVERIFY(sim.starten("SAM", fehler, "streifen.txt"));
        Abend a("SAM");
        a.starten();
        QTest::keyClick(a.c("SNummer"), Qt::Key_F7);  // "20 Schuss"
        QTest::keyClick(a.c("SNummer"), Qt::Key_F2);
        QTRY_COMPARE_WITH_TIMEOUT(a.gezeigt(), 17, 30000);
        if (!fehler.contains("ohne-etb") && !fehler.contains("ohne-rahmen"))
            QTRY_VERIFY(sim.gelesen().count("RX <06>") >= 2);  // the second strip acknowledged
        QCOMPARE(sim.gelesen().count("RX <15>"), naks);
        QTest::mouseClick(a.knopf("beenden"), Qt::LeftButton);
        QCOMPARE(a.zeile("SELECT (SELECT count(*) FROM Einzelergebnisse), "
                         "(SELECT max(Schuss) FROM Einzelergebnisse), S1, S2 FROM Ergebnis"),
                 (QVariantList{17, 17, 91, 65}));
        QCOMPARE(a.zeile("SELECT Ring, Teiler FROM Einzelergebnisse WHERE Schuss=11"),
                 (QVariantList{10, 4.0}));
    }

    // A SAM whose every block fails its check: two NAKs, then the reading stops with a German
    // message, sends nothing more, and a reading with a sound machine works afterwards.
    void samDreimalFalsch() {
        Abend a("SAM");
        {
            Simulation sim;
            QVERIFY(sim.starten("SAM", {"pruefbyte-immer-falsch"}, "streifen.txt"));
            a.starten();
            QTest::keyClick(a.c("SNummer"), Qt::Key_F7);
            QTest::keyClick(a.c("SNummer"), Qt::Key_F2);
            QTRY_VERIFY_WITH_TIMEOUT(
                a.c<QLabel>("status")->text().contains("nicht fehlerfrei gelesen"), 30000);
            const QByteArray bisher = sim.gelesen();
            QCOMPARE(bisher.count("RX <15>"), 2);
            QTest::qWait(2500);
            QCOMPARE(sim.gelesen().size(), bisher.size());  // no ENQ, no NAK after giving up
            QCOMPARE(a.gezeigt(), 0);
            QTest::mouseClick(a.knopf("beenden"), Qt::LeftButton);
        }
        // the machine is switched off and another one takes its place
        QTRY_VERIFY(a.c<QLabel>("Warnung")->text().contains("unterbrochen"));
        Simulation wieder;
        QVERIFY(wieder.starten("SAM", {}, "streifen.txt"));
        a.dialogs.answerYes();  // the evening stored without shots may be read anew
        // the strip the old machine kept is asked about first; this machine's is the member's
        a.dialogs.answerChoice("Für Nr. 12 übernehmen");
        QTest::keyClick(a.c("SNummer"), Qt::Key_F2);
        QTRY_COMPARE_WITH_TIMEOUT(a.gezeigt(), 17, 30000);
        QCOMPARE(a.dialogs.choices.size(), 1);
        QVERIFY(a.dialogs.choices[0].contains("Lesung für Nr. 12 (Anna Alt)"));
        QTRY_VERIFY(wieder.gelesen().count("RX <06>") >= 2);
        QTest::mouseClick(a.knopf("beenden"), Qt::LeftButton);
        QCOMPARE(a.zahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr=12"), 17);
    }

    // What a user is told when the port cannot be opened: the cause in German and the way
    // to link the device.
    void portFehlerAufDeutsch() {
        QFile map(SerialPortLine::mappingFile(1));
        QDir().mkpath(QFileInfo(map).absolutePath());
        QVERIFY(map.open(QIODevice::WriteOnly));
        map.write("/dev/gibt-es-nicht-ttyUSB7\n");
        map.close();
        SerialPortLine leitung;
        QString fehler;
        QVERIFY(!leitung.open(1, "2400,N,8,1", &fehler));
        QVERIFY2(fehler.contains("/dev/gibt-es-nicht-ttyUSB7 gibt es nicht"), qPrintable(fehler));
        QVERIFY(fehler.contains("ln -sf /dev/ttyUSB0 " + SerialPortLine::mappingFile(1)));
        QVERIFY(!fehler.contains("error", Qt::CaseInsensitive));
        const QString belegt =
            SerialPortLine::oeffnenFehlerText(1, map.fileName(), QSerialPort::PermissionError,
                                              "Permission error while locking the device");
        QVERIFY2(belegt.contains("von einem anderen Programm benutzt"), qPrintable(belegt));
    }

    // The line goes away in the middle of a reading: the user is told within two seconds,
    // nothing spins, the shots read so far are stored, and a new reading works once the
    // machine is back.
    void leitungGehtWeg_data() {
        QTest::addColumn<QString>("art");
        QTest::addColumn<int>("nach");
        QTest::newRow("RMIII") << "RMIII" << 12;
        QTest::newRow("RMIII_WIN") << "RMIII_WIN" << 14;
        QTest::newRow("SAM") << "SAM" << 46;
    }
    void leitungGehtWeg() {
        QFETCH(QString, art);
        QFETCH(int, nach);
        Abend a(art);
        {
            Simulation sim;
            QVERIFY(sim.starten(art, {"abbruch-nach " + QString::number(nach)}, "streifen.txt"));
            a.starten();
            QTest::keyClick(a.c("SNummer"), Qt::Key_F7);
            QTest::mouseClick(a.knopf("Start"), Qt::LeftButton);
            QTRY_VERIFY_WITH_TIMEOUT(sim.gelesen().contains("GETRENNT"), 30000);
            QTRY_VERIFY_WITH_TIMEOUT(a.c<QLabel>("status")->text().contains("unterbrochen"), 2000);
        }
        QVERIFY(a.c<QLabel>("Warnung")->text().contains("unterbrochen"));
        const double cpu = cpuSekunden();
        QTest::qWait(1000);
        QVERIFY2(cpuSekunden() - cpu < 0.5, "the program spins on the dead line");
        const int gelesen = a.gezeigt();
        QVERIFY2(gelesen >= 10, qPrintable(QString::number(gelesen)));
        QTest::mouseClick(a.knopf("beenden"), Qt::LeftButton);
        QCOMPARE(a.zahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr=12"), gelesen);

        Simulation wieder;
        QVERIFY(wieder.starten(art, {"muell"}, "streifen.txt"));
        a.dialogs.answerYes();  // the stored evening may be read anew
        QTest::mouseClick(a.knopf("Start"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(a.gezeigt(), 17, 30000);
    }
};

QTEST_MAIN(TestLesenSimulator)
#include "test_lesen_simulator.moc"
