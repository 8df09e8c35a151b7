// A whole reading for each machine kind: the real main window, reading window, serial port
// and protocol code against the simulated machine on a pseudo-terminal.
#include <QtTest>

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/Ini.h"
#include "evening/ui/Ringe.h"
#include "machine/ui/Einlesen.h"
#include "platform/Clock.h"
#include "platform/SerialPortLine.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDaten.h"

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

struct Abend {
    TestDaten daten;
    Ini ini{daten.iniPfad()};
    Abendzustand zustand;
    ClubDatabase club{ini, zustand};
    ScriptedDialogs dialogs;
    FixedClock uhr{QDate(2024, 4, 3)};
    SerialPortLine leitung;
    std::unique_ptr<Ringe> ringe;
    std::unique_ptr<Einlesen> einlesen;

    explicit Abend(const QString& maschine) {
        ini.IniSchreiben("DB1", "NAME", "Training");
        ini.IniSchreiben("DB1", "DATEI", daten.dbPfad());
        ini.IniSchreiben("WERTMASCHINE", "NAME", maschine);
        ini.IniSchreiben("WERTMASCHINE", "COMPORT", "1");
        daten.mitglied(12, "Anna Alt", 1);
    }
    void starten() {
        ringe = std::make_unique<Ringe>(ini, zustand, club, dialogs, uhr);
        einlesen = std::make_unique<Einlesen>(leitung, ini, zustand, *ringe, dialogs);
        einlesen->ablauf().setDsrWartezeit(200);
        ringe->setLesesteuerung(einlesen.get());
        ringe->show();
        ringe->laden();
        QLineEdit* nummer = ringe->findChild<QLineEdit*>("SNummer");
        nummer->setFocus();
        QTest::keyClicks(nummer, "12");
    }
    template <class T = QPushButton>
    T* c(const QString& name) const {
        if (auto* x = ringe->findChild<T*>(name))
            return x;
        return einlesen->findChild<T*>(name);
    }
    int anzahl(const QString& sql) { return daten.zahl(sql); }
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
                QLineEdit* k = a.c<QLineEdit>("Korrektur_txt");
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
        QTest::mouseClick(a.c("S2x10"), Qt::LeftButton);
        QCOMPARE(a.c<QLineEdit>("RMst")->text(), QString("132407211"));
        Korrekturhelfer helfer(a, "8");
        QTest::mouseClick(a.c("Start"), Qt::LeftButton);
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
        QCOMPARE(a.c<QLineEdit>("Schuss_13")->text(), QString("9"));
        QCOMPARE(a.c<QLabel>("Warnung")->text(), QString());  // a pty counts as ready
    }

    void rm3WinMitNak() {
        Simulation sim;
        QVERIFY(sim.starten("RMIII_WIN", {"nak", "muell", "falscher-slot"}));
        Abend a("RMIII_WIN");
        a.starten();
        QTest::mouseClick(a.c("S2x10"), Qt::LeftButton);
        Korrekturhelfer helfer(a, "8");
        QTest::mouseClick(a.c("Start"), Qt::LeftButton);
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
        QCOMPARE(a.c("S4x10")->text(), QString("20 Schuss"));
        QTest::keyClick(a.c<QLineEdit>("SNummer"), Qt::Key_F7);  // "20 Schuss"
        QCOMPARE(a.zustand.ShotLimit, std::int16_t(20));
        QTest::mouseClick(a.c("Start"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(a.anzahl("SELECT count(*) FROM Ergebnis") == 1, 30000);
        QCOMPARE(a.anzahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr=12"), 20);
        QCOMPARE(a.anzahl("SELECT S1 FROM Ergebnis"), 90);  // no hand correction: the 7 stays
        QCOMPARE(a.anzahl("SELECT S2 FROM Ergebnis"), 93);
        QVERIFY(std::fabs(a.zustand.Shots[1].X - 1.5f) < 0.01f);
    }
};

QTEST_MAIN(TestLesenSimulator)
#include "test_lesen_simulator.moc"
