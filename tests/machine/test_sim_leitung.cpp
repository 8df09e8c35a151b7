// The simulator's COM port (Windows) must speak as the program listens: each machine's line
// settings as the program opens its port for that machine, and settings typed with
// --leitung read as the program reads its own.
#include <QtTest>

#include "core/Abendzustand.h"
#include "core/Ini.h"
#include "machine/Einleseablauf.h"
#include "platform/SerialLine.h"
#include "tests/support/ScriptedLine.h"
#include "tests/support/StilleFenster.h"
#include "tools/zk-machine-sim/Leitungseinstellung.h"

namespace {
using Anzeige = StilleAnzeige;
using Abend = StillerAbend;

bool gleich(const Leitungseinstellung& sim, const LineSettings& programm) {
    return sim.baud == programm.baud && sim.paritaet == programm.parity &&
           sim.datenbits == programm.dataBits && sim.stoppbits == programm.stopBits;
}
}  // namespace

class TestSimLeitung : public QObject {
    Q_OBJECT
  private slots:
    void wieDasProgrammDieMaschineOeffnet_data() {
        QTest::addColumn<QString>("maschine");
        QTest::addColumn<int>("art");
        QTest::newRow("RMIII") << "RMIII" << int(Simulator::Art::Rm3);
        QTest::newRow("RMIII_WIN") << "RMIII_WIN" << int(Simulator::Art::Rm3Win);
        QTest::newRow("SAM") << "SAM" << int(Simulator::Art::Sam);
    }
    void wieDasProgrammDieMaschineOeffnet() {
        QFETCH(QString, maschine);
        QFETCH(int, art);
        QTemporaryDir dir;
        Ini ini(dir.filePath("wettk.ini"));
        ini.IniSchreiben("WERTMASCHINE", "NAME", maschine);
        Abendzustand z;
        z.MachineName = maschine;
        ScriptedLine line;
        Anzeige anzeige;
        Abend abend;
        Einleseablauf ablauf(line, ini, z, anzeige, abend);
        QString fehler;
        QVERIFY2(ablauf.portEinrichten(&fehler), qPrintable(fehler));
        QVERIFY(!line.einstellungen.isEmpty());
        LineSettings programm;
        QVERIFY(parseLineSettings(line.einstellungen.last(), &programm));
        const Leitungseinstellung sim = leitungseinstellungFuer(static_cast<Simulator::Art>(art));
        QVERIFY2(gleich(sim, programm),
                 qPrintable(sim.text() + " statt " + line.einstellungen.last()));
    }

    // What both accept they read alike; the simulator refuses rates no COM port has.
    void eingabeWieImProgramm_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("simNimmt");
        QTest::newRow("einfach") << "9600,N,8,1" << true;
        QTest::newRow("leerzeichen, klein") << " 2400 , e , 7 , 2 " << true;
        QTest::newRow("ungerade") << "38400,o,8,1" << true;
        QTest::newRow("115200") << "115200,N,8,1" << true;
        QTest::newRow("parität X") << "9600,X,8,1" << false;
        QTest::newRow("9 datenbits") << "9600,N,9,1" << false;
        QTest::newRow("3 stoppbits") << "9600,N,8,3" << false;
        QTest::newRow("semikolon") << "9600;N;8;1" << false;
        QTest::newRow("leer") << "" << false;
        QTest::newRow("zu langsam") << "99,N,8,1" << false;
        QTest::newRow("keine schnittstelle so schnell") << "999999,N,8,1" << false;
        QTest::newRow("angehängt") << "9600,N,8,1;rm -rf" << false;
    }
    void eingabeWieImProgramm() {
        QFETCH(QString, text);
        QFETCH(bool, simNimmt);
        Leitungseinstellung sim;
        LineSettings programm;
        QCOMPARE(leitungseinstellungLesen(text, &sim), simNimmt);
        const bool programmNimmt = parseLineSettings(text, &programm);
        if (simNimmt) {
            QVERIFY(programmNimmt);
            QVERIFY2(gleich(sim, programm), qPrintable(sim.text()));
            // What the simulator announces reads back the same.
            Leitungseinstellung wieder;
            QVERIFY(leitungseinstellungLesen(sim.text(), &wieder));
            QVERIFY(gleich(wieder, programm));
        } else {
            QCOMPARE(sim.text(), Leitungseinstellung{}.text());  // left as it was
        }
    }
};

QTEST_GUILESS_MAIN(TestSimLeitung)
#include "test_sim_leitung.moc"
