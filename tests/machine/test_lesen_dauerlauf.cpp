// Fifty readings in a row in one program against an RM III WIN that plays its faults
// together: every line twice (its first ACK comes too late), every text in pieces of 1 to 8
// bytes, garbage before each card. Every reading stored exactly, for its own member.
#include <QtTest>

#include <QLabel>

#include "platform/SerialPortLine.h"
#include "tests/support/Programmfenster.h"
#include "tests/support/Simulation.h"

class TestLesenDauerlauf : public QObject {
    Q_OBJECT
  private slots:
    void fuenfzigLesungen() {
        Simulation sim;
        QVERIFY(
            sim.starten("RMIII_WIN", {"wiederholen", "geteilt", "muell", "seed 7"}, "kurz.txt"));
        SerialPortLine leitung;
        Programmfenster a("RMIII_WIN");
        a.ini.IniSchreiben("WERTMASCHINE", "COMPORT", "1");
        constexpr int kLesungen = 50;
        for (int nr = 1; nr <= kLesungen; ++nr)
            a.daten.mitglied(nr, QString("Schütze %1").arg(nr), 1);
        a.starten(&leitung);
        for (int nr = 1; nr <= kLesungen; ++nr) {
            a.nummer(QString::number(nr));
            QCOMPARE(a.text("SName"), QString("Schütze %1").arg(nr));
            a.taste(Qt::Key_F2);
            QTRY_VERIFY2_WITH_TIMEOUT(
                a.einlesen->isHidden(),
                qPrintable(QString("Lesung %1: %2").arg(nr).arg(a.c<QLabel>("status")->text())),
                20000);
            QCOMPARE(a.zahl("SELECT count(*) FROM Ergebnis"), nr);
        }
        const SqlRows r = a.zeilen(
            "SELECT e.MitglNr, e.S1, count(s.Schuss), sum(s.Ring), min(s.Schuss), max(s.Schuss) "
            "FROM Ergebnis e JOIN Einzelergebnisse s ON s.MitglNr = e.MitglNr "
            "GROUP BY e.MitglNr ORDER BY e.MitglNr");
        QCOMPARE(static_cast<int>(r.size()), kLesungen);
        for (int i = 0; i < kLesungen; ++i)
            QCOMPARE(r.rows[static_cast<std::size_t>(i)], (QVariantList{i + 1, 27, 3, 27, 1, 3}));
        // The machine stops sending what was acknowledged: the last end record goes out at
        // most once more (its first ACK came too late), not every 200 ms until the next reading.
        const auto vorher = sim.gelesen().count("TX WSE");
        QTest::qWait(1500);
        const auto nachher = sim.gelesen().count("TX WSE");
        QVERIFY2(nachher - vorher <= 1 && nachher <= 2 * kLesungen,
                 qPrintable(QString("%1 -> %2").arg(vorher).arg(nachher)));
        QVERIFY(!sim.gelesen().contains("STEUER ABR"));
    }
};

QTEST_MAIN(TestLesenDauerlauf)
#include "test_lesen_dauerlauf.moc"
