#include <QtTest>

#include "core/Abendzustand.h"
#include "core/Ini.h"
#include "machine/Einleseablauf.h"
#include "tests/support/ScriptedLine.h"

namespace {
constexpr char ENQ = 0x05, STX = 0x02, ACK = 0x06, NAK = 0x15;

struct Anzeige : EinleseAnzeige {
    QStringList stati;
    QList<int> antworten;
    QStringList debug;
    QString label;
    bool verborgen = false;
    void status(const QString& t) override { stati << t; }
    QString status() const override { return stati.isEmpty() ? QString() : stati.last(); }
    void debugAnhaengen(const QString& t) override { debug << t; }
    void debugLabel(const QString& t) override { label = t; }
    int korrekturErfragen(int, int ring) override {
        return antworten.isEmpty() ? ring : antworten.takeFirst();
    }
    void verbergen() override { verborgen = true; }
};

struct Abend : Abendfenster {
    int serien = 0, gespeichert = 0;
    QStringList warnungen;
    QString rmst;
    void serienUndAnzeige() override { ++serien; }
    void berechnenUndSpeichern() override { ++gespeichert; }
    void warnung(const QString& t) override { warnungen << t; }
    void nachVorne() override {}
    void programmZeigen(const QString& t) override { rmst = t; }
};

struct Aufbau {
    QTemporaryDir dir;
    Ini ini{dir.filePath("wettk.ini")};
    Abendzustand z;
    ScriptedLine line;
    Anzeige anzeige;
    Abend abend;
    Einleseablauf ablauf{line, ini, z, anzeige, abend};

    explicit Aufbau(const QString& maschine) {
        z.MachineName = maschine;
        ini.IniSchreiben("WERTMASCHINE", "NAME", maschine);
        QString fehler;
        ablauf.portEinrichten(&fehler);
        ablauf.setDsrWartezeit(100);
    }
    void tick() { emit ablauf.timer1().timeout({}); }
};

QByteArray gerahmt(const QByteArray& text) {
    unsigned char x = 0;
    for (char c : text)
        x ^= static_cast<unsigned char>(c);
    return text + static_cast<char>(x < 32 ? x + 32 : x) + '\r';
}
}  // namespace

class TestAblauf : public QObject {
    Q_OBJECT
  private slots:
    void porteinstellungen() {
        Aufbau rm3("DISAG");
        QCOMPARE(rm3.z.MachineName, QString("RMIII"));
        QCOMPARE(rm3.ini.IniLesen("WERTMASCHINE", "NAME"), QString("RMIII"));
        QCOMPARE(rm3.ini.IniLesen("WERTMASCHINE", "COMPORT"), QString("1"));
        QCOMPARE(rm3.line.einstellungen, QStringList{"2400,N,8,1"});
        QVERIFY(rm3.line.dtr);

        Aufbau win("RMIII_WIN");
        QCOMPARE(win.line.einstellungen, QStringList{"38400,N,8,1"});
        QVERIFY(!win.line.dtr);

        Aufbau sam("SAM");
        sam.ini.IniSchreiben("WERTMASCHINE", "COMPORT", "3");
        QString fehler;
        QVERIFY(sam.ablauf.portEinrichten(&fehler));
        QCOMPARE(sam.line.port(), 3);
        QCOMPARE(sam.line.einstellungen.last(), QString("9600,N,8,1"));
        sam.ini.IniSchreiben("WERTMASCHINE", "COMPORT", "9");  // outside 1..4: port stays
        QVERIFY(sam.ablauf.portEinrichten(&fehler));
        QCOMPARE(sam.line.port(), 3);
    }

    void rm3LesungMitKorrektur() {
        Aufbau a("RMIII");
        a.z.ProgramCode = "212410215";
        a.ablauf.auswertung_starten();
        QCOMPARE(a.line.nimmGesendet(), QByteArray("212410215\r"));
        QCOMPARE(a.z.TargetType, QString("LP"));
        QVERIFY(a.line.rts);
        QCOMPARE(a.anzeige.status(), QString("Bitte erste Scheibe einlegen"));

        a.anzeige.antworten << 8 << 6;
        QByteArray karte;
        for (int i = 1; i <= 10; ++i) {
            karte +=
                QByteArray::number(i) + ";9;20.0;0,5;0,5;" + (i == 3 || i == 7 ? "M" : "") + "\r";
        }
        a.line.feed(karte.left(40));  // the port delivers the card in two pieces
        a.line.feed(karte.mid(40) + "SCHEIBE\r");
        QVERIFY(a.anzeige.stati.contains("Schuss 3 angeben"));
        QVERIFY(a.anzeige.stati.contains("Schuss 7 angeben"));
        QCOMPARE(a.anzeige.stati.indexOf("Schuss 3 angeben") <
                     a.anzeige.stati.indexOf("Schuss 7 angeben"),
                 true);
        QCOMPARE(a.z.Shots[3].Ring, std::int16_t(8));
        QCOMPARE(a.z.Shots[3].Teiler, 9999.0f);
        QCOMPARE(a.z.Shots[3].Y, 2.0f);  // straight below the centre at 10 - ring
        QCOMPARE(a.z.Shots[7].Ring, std::int16_t(6));
        // series end 10, sum 8 x 9 + 8 + 6
        QCOMPARE(a.line.nimmGesendet(), QByteArray("10\r86\rkorr\rEdit\r"));
        QCOMPARE(a.anzeige.status(), QString("Bitte nächste Scheibe einlegen"));
        QCOMPARE(a.abend.gespeichert, 0);

        a.line.feed("ENDE\r");
        QCOMPARE(a.anzeige.status(), QString("Fertig"));
        QCOMPARE(a.abend.gespeichert, 1);
        QVERIFY(a.anzeige.verborgen);
        QVERIFY(a.line.gesendet.isEmpty());  // no "ABR" after the machine's own end
    }

    void korrekturBerichtUeberDieLetzteSerie() {
        Aufbau a("RMIII");
        a.anzeige.antworten << 10;
        a.line.feed("21;9;5.0;0;0;\r25;7;5.0;0;0;M\r");
        QCOMPARE(a.line.nimmGesendet(), QByteArray("30\r19\rkorr\rEdit\r"));
    }

    void dsrWartenIstBegrenzt() {
        Aufbau a("RMIII");
        a.line.dsrPegel = SerialLine::Pegel::Aus;
        QElapsedTimer uhr;
        uhr.start();
        a.ablauf.ZuRM("V");
        QVERIFY(uhr.elapsed() < 5000);
        QCOMPARE(a.line.nimmGesendet(), QByteArray("V\r"));
        QCOMPARE(a.abend.warnungen.size(), 1);
        QVERIFY(a.abend.warnungen[0].contains("DSR"));
        a.line.dsrPegel = SerialLine::Pegel::Unbekannt;  // a pty: ready
        a.ablauf.normal();
        QCOMPARE(a.line.nimmGesendet(), QByteArray("EXIT\r"));
        QCOMPARE(a.abend.warnungen.size(), 1);
    }

    void winHandschlagUndDaten() {
        Aufbau a("RMIII_WIN");
        a.z.ControlString = "SCH=LP;SZI=10;SGE=20;SSC=5;TEA=ZT;TEG=800;";
        a.ablauf.auswertung_starten();
        QCOMPARE(a.z.TargetType, QString("LP"));
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ENQ));
        QVERIFY(a.ablauf.timer2().isActive());
        QCOMPARE(a.ablauf.timer1().interval(), 200);

        a.line.feed(QByteArray(1, NAK), false);
        a.tick();
        QCOMPARE(a.abend.warnungen, QStringList{"NAK Empfangen (Fehlermeldung RM)"});
        QCOMPARE(a.ablauf.handshakeStep(), 1);
        emit a.ablauf.timer2().timeout({});
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ENQ));

        a.line.feed(QByteArray(1, STX), false);
        a.tick();
        QCOMPARE(a.line.nimmGesendet(), QByteArray("SNR=r\r"));
        QVERIFY(!a.ablauf.timer2().isActive());
        a.line.feed(gerahmt("SNR=4711"), false);
        a.tick();
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ACK) + ENQ);
        a.line.feed(QByteArray(1, STX), false);
        a.tick();
        QCOMPARE(a.line.nimmGesendet(), gerahmt("SCH=LP;SZI=10;SGE=20;SSC=5;TEA=ZT;TEG=800;"));
        QCOMPARE(a.ablauf.handshakeStep(), 4);
        QCOMPARE(a.ablauf.timer1().interval(), 100);

        // Three lines at once: one per tick, each acknowledged.
        a.line.feed(gerahmt("SCH=1;10;7,9;0;;") + gerahmt("WSC=1") + gerahmt("SCH=2;9;15,8;90;;"),
                    false);
        a.tick();
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ACK));
        QVERIFY(a.z.Shots[1].ValidFlag);
        QVERIFY(!a.z.Shots[2].ValidFlag);
        QCOMPARE(a.z.Shots[1].Teiler, 7.9f);
        a.tick();
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ACK));
        a.tick();
        QVERIFY(a.z.Shots[2].ValidFlag);
        QVERIFY(std::fabs(a.z.Shots[2].X - 15.8f / 790) < 1e-4);

        a.line.feed(QByteArray("\x06\r", 2) + gerahmt("WSE"), false);  // a stray short piece first
        a.tick();
        a.tick();
        QCOMPARE(a.anzeige.status(), QString("Fertig"));
        QCOMPARE(a.abend.gespeichert, 1);
        QVERIFY(!a.ablauf.timer1().isActive());
        QVERIFY(!a.line.gesendet.contains("ABR"));
    }

    void winAbbruchErreichtDieMaschine() {
        Aufbau a("RMIII_WIN");
        a.z.ControlString = "SCH=LG10;SZI=10;SGE=10;SSC=1;TEA=ZT;TEG=300;";
        a.ablauf.auswertung_starten();
        a.line.nimmGesendet();
        a.ablauf.beenden();  // the user ends before the machine did
        QCOMPARE(a.abend.gespeichert, 1);
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ENQ));
        QVERIFY(a.ablauf.timer1().isActive());  // the handshake for "ABR" still runs
        a.line.feed(QByteArray(1, STX), false);
        a.tick();
        a.line.feed(gerahmt("SNR=4711"), false);
        a.tick();
        a.line.feed(QByteArray(1, STX), false);
        a.tick();
        QVERIFY(a.line.gesendet.endsWith(gerahmt("ABR")));
        QVERIFY(!a.ablauf.timer1().isActive());
    }

    void samLesungEndetAmSchusslimit() {
        Aufbau a("SAM");
        a.z.ShotLimit = 10;
        a.ablauf.auswertung_starten();
        QCOMPARE(a.ablauf.timer1().interval(), 1000);
        QByteArray block = "SAM\r1\rLG\r-\r-\r-\r";
        for (int i = 0; i < 10; ++i)
            block += "09\r25,0\r10\r-20\r";
        a.line.feed("#kurz\r", false);  // too short for a block: dropped, the reading goes on
        a.tick();
        a.tick();
        QVERIFY(a.ablauf.timer1().isActive());
        QCOMPARE(a.line.nimmGesendet(), QByteArray(2, ENQ));
        a.line.feed(block.left(25), false);  // the block comes in two pieces
        a.tick();
        QVERIFY(!a.z.Shots[1].ValidFlag);
        a.line.feed(block.mid(25), false);
        a.tick();
        QVERIFY(a.z.Shots[10].ValidFlag);
        QCOMPARE(a.abend.gespeichert, 1);
        QCOMPARE(a.z.NextShotIndex, std::int16_t(1));
        QVERIFY(!a.ablauf.timer1().isActive());
    }

    void fernsteuerung() {
        Aufbau sam("SAM");
        sam.ablauf.fernsteuern();
        QCOMPARE(sam.line.nimmGesendet(), QByteArray(1, static_cast<char>(178)));
        Aufbau rm3("RMIII");
        rm3.ablauf.fernsteuern();
        QCOMPARE(rm3.line.nimmGesendet(), QByteArray("V\r"));
        Aufbau win("RMIII_WIN");
        win.ini.IniSchreiben("WERTMASCHINE", "SPEED", "L");
        win.ablauf.fernsteuern();
        QCOMPARE(win.line.nimmGesendet(), QByteArray(1, ENQ));
        QCOMPARE(win.line.einstellungen.mid(1), (QStringList{"2400,N,8,1", "9600,N,8,1"}));
        win.ablauf.sendeAck();
        QCOMPARE(win.line.nimmGesendet(), QByteArray(1, ACK));
    }
};

QTEST_GUILESS_MAIN(TestAblauf)
#include "test_ablauf.moc"
