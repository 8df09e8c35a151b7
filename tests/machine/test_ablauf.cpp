#include <QtTest>

#include "core/Abendzustand.h"
#include "core/Ini.h"
#include "machine/Einleseablauf.h"
#include "machine/Rm3WinDialog.h"
#include "tests/support/ScriptedLine.h"

namespace {
constexpr char ENQ = 0x05, STX = 0x02, ACK = 0x06, NAK = 0x15;

struct Anzeige : EinleseAnzeige {
    QStringList stati;
    QList<int> antworten;
    std::function<void()> waehrendKorrektur;
    QStringList debug;
    bool verborgen = false;
    void status(const QString& t) override { stati << t; }
    QString status() const override { return stati.isEmpty() ? QString() : stati.last(); }
    void debugAnhaengen(const QString& t) override { debug << t; }
    void debugLabel(const QString&) override {}
    int korrekturErfragen(int, int ring) override {
        if (waehrendKorrektur)
            waehrendKorrektur();
        return antworten.isEmpty() ? ring : antworten.takeFirst();
    }
    void verbergen() override { verborgen = true; }
    // The questions asked, their answers, and what is chosen (by text; default: Enter).
    QStringList fragen;
    QList<QStringList> angeboten;
    QStringList wahl;
    int waehlen(const QString& text, const QStringList& antworten, int vorgabe) override {
        fragen << text;
        angeboten << antworten;
        return wahl.isEmpty() ? vorgabe : static_cast<int>(antworten.indexOf(wahl.takeFirst()));
    }
};

struct Abend : Abendfenster {
    int gespeichert = 0;
    QStringList warnungen;
    QString nummer = "31";
    // What was added to an earlier evening, by member number.
    QMap<QString, Abendzustand> nachgetragen;
    bool nachtragenGelingt = true;
    void serienUndAnzeige() override {}
    void berechnenUndSpeichern() override { ++gespeichert; }
    void warnung(const QString& t) override { warnungen << t; }
    void nachVorne() override {}
    void programmZeigen(const QString&) override {}
    std::shared_ptr<const Abendvermerk> abendVermerk() const override {
        auto v = std::make_shared<Abendvermerk>();
        v->nummer = nummer;
        v->name = "Mitglied " + nummer;
        v->datum = "03.04.2024";
        return v;
    }
    bool nachtragen(const Abendvermerk& a,
                    const std::function<void(Abendzustand&)>& schuesse) override {
        if (!nachtragenGelingt)
            return false;
        Abendzustand z;
        schuesse(z);
        nachgetragen[a.nummer] = z;
        return true;
    }
};

struct Aufbau {
    QTemporaryDir dir;
    Ini ini;
    Abendzustand z;
    ScriptedLine line;
    Anzeige anzeige;
    Abend abend;
    Einleseablauf ablauf{line, ini, z, anzeige, abend};

    // With a settings file of its own, or the one given (a program started again).
    explicit Aufbau(const QString& maschine, const QString& iniPfad = {})
        : ini(iniPfad.isEmpty() ? dir.filePath("wettk.ini") : iniPfad) {
        z.MachineName = maschine;
        ini.IniSchreiben("WERTMASCHINE", "NAME", maschine);
        QString fehler;
        ablauf.portEinrichten(&fehler);
        ablauf.setDsrWartezeit(100);
    }
    void tick(int n = 1) {
        for (int i = 0; i < n; ++i)
            emit ablauf.timer1().timeout({});
    }
    Rm3WinDialog& win() { return static_cast<Rm3WinDialog&>(ablauf.dialog()); }
    // The RM III WIN's side of the handshake up to the control string.
    void winAntwortet() {
        line.feed(QByteArray(1, STX));
        line.feed(gerahmt("SNR=4711"));
        line.feed(QByteArray(1, STX));
    }
    void winHandschlag() {
        ablauf.auswertung_starten();
        winAntwortet();
        line.nimmGesendet();
    }
    static QByteArray gerahmt(const QByteArray& text) {
        unsigned char x = 0;
        for (char c : text)
            x ^= static_cast<unsigned char>(c);
        return text + static_cast<char>(x < 32 ? x + 32 : x) + '\r';
    }
};

// A SAM reading started for `schuss` shots.
struct Sam : Aufbau {
    explicit Sam(int schuss = 20) : Aufbau("SAM") {
        z.ShotLimit = static_cast<std::int16_t>(schuss);
        ablauf.auswertung_starten();
    }
};

QByteArray rm3Karte(int erster, const QList<int>& ringe, const QList<int>& markiert) {
    QByteArray karte;
    for (int i = 0; i < ringe.size(); ++i) {
        const int slot = erster + i;
        karte += QByteArray::number(slot) + ";" +
                 (ringe[i] < 0 ? QByteArray("?.?") : QByteArray::number(ringe[i])) +
                 ";20.0;0,5;0,5;" + (markiert.contains(slot) ? "M" : "") + "\r";
    }
    return karte;
}
}  // namespace

class TestAblauf : public QObject {
    Q_OBJECT
  private slots:
    // Each machine's line settings and remote-control command; "DISAG" is the RM III.
    void porteinstellungenUndFernsteuerung() {
        Aufbau rm3("DISAG");
        QCOMPARE(rm3.z.MachineName, QString("RMIII"));
        QCOMPARE(rm3.ini.IniLesen("WERTMASCHINE", "NAME"), QString("RMIII"));
        QCOMPARE(rm3.ini.IniLesen("WERTMASCHINE", "COMPORT"), QString("1"));
        QCOMPARE(rm3.line.einstellungen, QStringList{"2400,N,8,1"});
        QVERIFY(rm3.line.dtr);
        rm3.ablauf.fernsteuern();
        QCOMPARE(rm3.line.nimmGesendet(), QByteArray("V\r"));

        Aufbau win("RMIII_WIN");
        QCOMPARE(win.line.einstellungen, QStringList{"38400,N,8,1"});
        QVERIFY(!win.line.dtr);
        win.ini.IniSchreiben("WERTMASCHINE", "SPEED", "L");
        win.ablauf.fernsteuern();
        QCOMPARE(win.line.nimmGesendet(), QByteArray(1, ENQ));
        QCOMPARE(win.line.einstellungen.mid(1), (QStringList{"2400,N,8,1", "9600,N,8,1"}));
        win.ablauf.sendeAck();
        QCOMPARE(win.line.nimmGesendet(), QByteArray(1, ACK));

        Aufbau sam("SAM");
        sam.ablauf.fernsteuern();
        QCOMPARE(sam.line.nimmGesendet(), QByteArray(1, static_cast<char>(178)));
        sam.ini.IniSchreiben("WERTMASCHINE", "COMPORT", "3");
        QString fehler;
        QVERIFY(sam.ablauf.portEinrichten(&fehler));
        QCOMPARE(sam.line.port(), 3);
        QCOMPARE(sam.line.einstellungen.last(), QString("9600,N,8,1"));
        sam.ini.IniSchreiben("WERTMASCHINE", "COMPORT", "9");  // outside 1..4: port stays
        QVERIFY(sam.ablauf.portEinrichten(&fehler));
        QCOMPARE(sam.line.port(), 3);
    }

    // Slots 3 and 7 are marked, slot 5 unreadable without a mark; the rest of the card
    // arrives while the first hand entry waits. The report names the whole card.
    void rm3KorrekturUndBerichtDerGanzenKarte() {
        Aufbau a("RMIII");
        a.z.ProgramCode = "212410215";
        a.ablauf.auswertung_starten();
        QCOMPARE(a.line.nimmGesendet(), QByteArray("212410215\r"));
        QCOMPARE(a.z.TargetType, QString("LP"));
        QCOMPARE(a.anzeige.status(), QString("Bitte erste Scheibe einlegen"));

        const QList<int> ringe{9, 9, 9, 9, -1, 9, 9, 9, 9, 9};
        const QByteArray karte = rm3Karte(1, ringe, {3, 7}) + "SCHEIBE\r";
        a.anzeige.antworten << 8 << 7 << 6;
        a.anzeige.waehrendKorrektur = [&] {
            a.anzeige.waehrendKorrektur = nullptr;
            a.line.feed(karte.mid(80));  // read only once the hand entry is done
        };
        a.line.feed(karte.left(80));  // shots 1-4
        QTRY_VERIFY(a.anzeige.stati.contains("Schuss 7 angeben"));
        QCOMPARE(a.anzeige.stati.filter("angeben"),
                 (QStringList{"Schuss 3 angeben", "Schuss 5 angeben", "Schuss 7 angeben"}));
        QCOMPARE(a.z.Shots[3].Ring, std::int16_t(8));
        QCOMPARE(a.z.Shots[3].Teiler, 9999.0f);
        QCOMPARE(a.z.Shots[3].Y, 2.0f);  // straight below the centre at 10 - ring
        // 7 x 9 + 8 + 7 + 6, sent once, after the card's end
        QTRY_VERIFY(a.line.gesendet == "10\r84\rkorr\rEdit\r");
        a.line.nimmGesendet();
        QCOMPARE(a.anzeige.status(), QString("Bitte nächste Scheibe einlegen"));
        QCOMPARE(a.abend.gespeichert, 0);

        a.line.feed("ENDE\r");
        QCOMPARE(a.anzeige.status(), QString("Fertig"));
        QCOMPARE(a.abend.gespeichert, 1);
        QVERIFY(a.anzeige.verborgen);
        QVERIFY(a.line.gesendet.isEmpty());  // no second report, no "ABR"
    }

    // "Einlesen beenden" while a shot is asked for says that it waits for that shot, and
    // then ends the reading with it.
    void beendenWaehrendSchussAngeben() {
        Aufbau a("RMIII");
        a.z.ProgramCode = "212410215";
        a.ablauf.auswertung_starten();
        a.line.nimmGesendet();
        QString waehrenddessen;
        a.anzeige.antworten << 8;
        a.anzeige.waehrendKorrektur = [&] {
            a.anzeige.waehrendKorrektur = nullptr;
            a.ablauf.beenden();
            waehrenddessen = a.anzeige.status();
        };
        a.line.feed(rm3Karte(1, {9, 9, 9, 9, 9, 9, 9, 9, 9, 9}, {3}) + "SCHEIBE\r");
        QTRY_COMPARE(a.abend.gespeichert, 1);
        QCOMPARE(waehrenddessen, QString("Schuss 3 angeben: danach wird das Einlesen beendet"));
        QCOMPARE(a.z.Shots[3].Ring, std::int16_t(8));
    }

    // A machine that waits for the report before it goes on gets it when the line is quiet.
    void rm3BerichtWennDieKarteNichtWeitergeht() {
        Aufbau a("RMIII");
        a.ablauf.setBerichtWartezeit(50);
        a.ablauf.auswertung_starten();
        a.line.nimmGesendet();
        a.anzeige.antworten << 10;
        a.line.feed(rm3Karte(21, {9, 9, 9, 9, 7}, {25}));
        QTRY_VERIFY(a.line.gesendet == "30\r46\rkorr\rEdit\r");
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

    // NAK, ENQ repeat, answers split across reads and the serial number line repeated.
    void winHandschlag() {
        Aufbau a("RMIII_WIN");
        a.z.ControlString = "SCH=LP;SZI=10;SGE=20;SSC=5;TEA=ZT;TEG=800;";
        a.ablauf.auswertung_starten();
        QCOMPARE(a.z.TargetType, QString("LP"));
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ENQ));
        QCOMPARE(a.ablauf.timer1().interval(), 200);

        a.line.feed(QByteArray(1, NAK));
        QCOMPARE(a.abend.warnungen, QStringList{"NAK Empfangen (Fehlermeldung RM)"});
        QCOMPARE(a.win().handshakeStep(), 1);
        emit a.win().enqTimer().timeout({});
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ENQ));

        a.line.feed(QByteArray(1, STX));
        QCOMPARE(a.line.nimmGesendet(), QByteArray("SNR=r\r"));
        const QByteArray snr = Aufbau::gerahmt("SNR=4711");
        a.line.feed(snr.left(5));
        QVERIFY(a.line.gesendet.isEmpty());
        a.line.feed(snr.mid(5));
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ACK) + ENQ);
        a.line.feed(snr);  // the machine missed our ACK and repeats itself
        QVERIFY(a.line.gesendet.isEmpty());
        a.line.feed(QByteArray(1, STX) + Aufbau::gerahmt("SCH=1;10;7,9;0;;"));
        QCOMPARE(a.line.nimmGesendet(),
                 Aufbau::gerahmt("SCH=LP;SZI=10;SGE=20;SSC=5;TEA=ZT;TEG=800;"));
        QCOMPARE(a.win().handshakeStep(), 4);
        QCOMPARE(a.ablauf.timer1().interval(), 100);
        a.tick();
        QCOMPARE(a.z.Shots[1].Teiler, 7.9f);  // the line that came with the STX
    }

    // One line per tick, each acknowledged; a repeated line counts once; the check character
    // is dropped only when it is one.
    void winDatenzeilen() {
        Aufbau a("RMIII_WIN");
        a.z.DebugAnzeige = true;
        a.winHandschlag();
        const QByteArray eins = Aufbau::gerahmt("SCH=1;10;7,9;0;;");
        a.line.feed(eins + eins + Aufbau::gerahmt("WSC=1") + "SCH=2;9;15,8;90;U\r");
        a.tick();
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ACK));
        QVERIFY(a.z.Shots[1].ValidFlag && !a.z.Shots[2].ValidFlag);
        a.tick(3);
        QCOMPARE(a.line.nimmGesendet(), QByteArray(3, ACK));
        QCOMPARE(a.anzeige.debug.size(), 2);    // shot 1 once, shot 2
        QVERIFY(a.z.Shots[2].CorrectionFlag);   // no check character: the "U" is the mark
        a.line.feed("SCH=1;0;30,0;270; ;U\r");  // here "U" is the check character
        a.tick();
        QVERIFY(!a.z.Shots[1].CorrectionFlag);
        QCOMPARE(a.z.Shots[1].Ring, std::int16_t(0));
    }

    // The machine ends, a hand entry follows: no "ABR", the report names card 1.
    void winEndeMitKorrektur() {
        Aufbau a("RMIII_WIN");
        a.winHandschlag();
        a.anzeige.antworten << 8;
        QByteArray daten;
        for (int i = 1; i <= 20; ++i)
            daten += Aufbau::gerahmt("SCH=" + QByteArray::number(i) + ";" + (i == 3 ? "?.?" : "9") +
                                     ";25,5;90;" + (i == 3 ? "U" : "") + ";");
        daten += Aufbau::gerahmt("WSE");
        a.line.feed(daten);
        a.tick(21);
        QCOMPARE(a.abend.gespeichert, 1);
        QCOMPARE(a.anzeige.status(), QString("Fertig"));
        const QByteArray gesendet = a.line.nimmGesendet();
        QVERIFY(gesendet.endsWith("10\r89\rkorr\rEdit\r"));
        QCOMPARE(gesendet.count(ENQ), 0);
        QVERIFY(!a.win().enqTimer().isActive());
        // The end record again, its ACK having come late: acknowledged so that the machine
        // stops; nothing else is answered or read between readings.
        a.line.feed(Aufbau::gerahmt("SCH=21;9;25,5;90;;").left(6));
        a.line.feed(Aufbau::gerahmt("SCH=21;9;25,5;90;;").mid(6) + Aufbau::gerahmt("WSE").left(2));
        QVERIFY(a.line.gesendet.isEmpty());
        a.line.feed(Aufbau::gerahmt("WSE").mid(2));
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ACK));
        QVERIFY(!a.z.Shots[21].ValidFlag);
        QCOMPARE(a.abend.gespeichert, 1);
    }

    void winAbbruchErreichtDieMaschine() {
        Aufbau a("RMIII_WIN");
        a.winHandschlag();
        a.ablauf.beenden();  // the user ends before the machine did: no shot, nothing stored
        QCOMPARE(a.abend.gespeichert, 0);
        QVERIFY(a.abend.warnungen.last().startsWith("Von der Maschine kam kein Schuss"));
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ENQ));
        a.winAntwortet();
        QVERIFY(a.line.gesendet.endsWith(Aufbau::gerahmt("ABR")));
        QVERIFY(!a.ablauf.timer1().isActive());
    }

    void winOhneAntwortGibtAuf() {
        Aufbau a("RMIII_WIN");
        a.ablauf.auswertung_starten();
        for (int i = 0; i < 20; ++i)
            emit a.win().enqTimer().timeout({});
        QCOMPARE(a.line.nimmGesendet().count(ENQ), 1 + Rm3WinDialog::kVersuche);
        QVERIFY(!a.win().enqTimer().isActive());
        QVERIFY(a.anzeige.status().startsWith("Die Ringlesemaschine antwortet nicht"));
        QCOMPARE(a.abend.warnungen.size(), 1);
    }

    void samBlankerBlock() {
        Sam a(10);
        QCOMPARE(a.ablauf.timer1().interval(), 1000);
        QByteArray block = "SAM\r1\rLG\r-\r-\r-\r";
        for (int i = 0; i < 10; ++i)
            block += "09\r25,0\r10\r-20\r";
        a.line.feed("#kurz\r", false);  // too short for a block: dropped, the reading goes on
        a.tick(2);
        QVERIFY(a.ablauf.timer1().isActive());
        QCOMPARE(a.line.nimmGesendet(), QByteArray(2, ENQ));
        a.line.feed(block.left(25));  // the block comes in two pieces
        a.tick();
        QVERIFY(!a.z.Shots[1].ValidFlag);
        a.line.feed(block.mid(25));
        a.tick();
        QVERIFY(a.z.Shots[10].ValidFlag);
        QCOMPARE(a.abend.gespeichert, 1);
        QCOMPARE(a.z.NextShotIndex, std::int16_t(1));
        QVERIFY(!a.ablauf.timer1().isActive());
        // a bare block is acknowledged once it is taken; the noise before it is not
        QCOMPARE(a.line.nimmGesendet(), QByteArray(2, ENQ) + ACK);
        QVERIFY(a.ablauf.streifenrest() == std::nullopt);
    }

    // A bare block that stops in the middle (its lines are not the header and whole shots)
    // is dropped whole, said, and not acknowledged; a whole one after it is read.
    void samBlankerBlockAbgeschnitten() {
        Sam a(20);
        a.tick();
        a.line.nimmGesendet();
        a.line.feed(samDaten().left(70));  // header, three shots and half of the fourth
        a.tick(2);
        QVERIFY(!a.z.Shots[1].ValidFlag);
        QVERIFY(!a.line.gesendet.contains(ACK));
        QVERIFY2(a.anzeige.stati.join("|").contains("nur zum Teil an (70 Byte)"),
                 qPrintable(a.anzeige.stati.join("|")));
        a.line.nimmGesendet();
        a.line.feed(samDaten());
        a.tick();
        QCOMPARE(a.z.NextShotIndex, std::int16_t(8));
        QVERIFY(a.line.nimmGesendet().startsWith(QByteArray(1, ENQ) + ACK));
    }

    // A strip as a SAM sends it: seven shots and three empty slots, the check byte 'L' being
    // the XOR of every byte from STX to ETB (the lines alone give 0x59, with ETB 0x4E).
    static QByteArray samDaten() {
        return "SAM\r1\rLG\r-\r-\r-\r09\r12,5\r60\r-360\r10\r3,1\r-12\r-24\r08\r48,0\r-240\r360\r"
               "09\r20,0\r-120\r-120\r10\r5,5\r24\r-12\r08\r60,2\r-96\r432\r09\r25,3\r-144\r-216\r"
               "??.?\r????.?\r-0001\r-0001\r??.?\r????.?\r-0001\r-0001\r"
               "??.?\r????.?\r-0001\r-0001\r";
    }
    static QByteArray samRahmen(char pruef = 'L') {
        return "\x02" + samDaten() + "\x17" + pruef + "$";
    }
    // The next strip (number 2), by default with its right check byte.
    static QByteArray zweiterRahmen(char pruef = 'L' ^ '1' ^ '2') {
        QByteArray r = samRahmen(pruef);
        r[5] = '2';
        return r;
    }

    void samGerahmterBlock() {
        Sam a(20);
        a.line.feed(QByteArray(1, NAK) + samRahmen().left(30));  // no card yet, then a strip
        QVERIFY(a.line.nimmGesendet().isEmpty());
        a.line.feed(samRahmen().mid(30));
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ACK));
        QCOMPARE(a.z.NextShotIndex, std::int16_t(8));
        QVERIFY(a.z.Shots[7].ValidFlag && !a.z.Shots[8].ValidFlag);
        QCOMPARE(a.z.Shots[3].Ring, std::int16_t(8));
        QCOMPARE(a.z.Shots[1].X, 1.5f);
        a.line.feed(samRahmen());  // our ACK was lost: acknowledged again, not stored twice
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ACK));
        QCOMPARE(a.z.NextShotIndex, std::int16_t(8));
        QVERIFY(a.ablauf.timer1().isActive());
        // a framed block too short for a strip is acknowledged and dropped, not kept waiting
        a.line.feed(QByteArray("\x02kurz\x17") + char(0x02 ^ 'k' ^ 'u' ^ 'r' ^ 'z' ^ 0x17) + '$');
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ACK));
        QCOMPARE(a.z.NextShotIndex, std::int16_t(8));
        // the sums over the lines alone, and over the lines and ETB, are taken too
        for (const char pruef : {char(0x59), char(0x4e)}) {
            Sam b(20);
            b.line.feed(samRahmen(pruef));
            QCOMPARE(b.line.nimmGesendet(), QByteArray(1, ACK));
        }
    }

    // A stray STX on the line before a strip is noise: the strip is the one stored, so that
    // when it comes again (our ACK was lost) it is recognised and not counted twice.
    void samStxVorDemRahmen() {
        Sam a(20);
        a.line.feed(QByteArray(1, STX));
        for (int mal = 0; mal < 2; ++mal) {
            a.line.feed(samRahmen());
            QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ACK));
            QCOMPARE(a.z.NextShotIndex, std::int16_t(8));
        }
        QVERIFY(!a.z.Shots[8].ValidFlag);
    }

    // After a NAK the SAM sends the block again from its first data byte, without STX; the
    // poll sends no ENQ into the middle of it.
    void samWiederholungOhneStx() {
        Sam a(20);
        a.line.feed(samRahmen('X'));
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, NAK));
        QVERIFY(!a.z.Shots[1].ValidFlag);
        const QByteArray nochmal = samRahmen().mid(1);
        a.line.feed(nochmal.left(50));
        a.tick();
        QVERIFY(a.line.nimmGesendet().isEmpty());
        a.line.feed(nochmal.mid(50));
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ACK));
        QCOMPARE(a.z.NextShotIndex, std::int16_t(8));
        // a check byte that is a CR or "$" itself, in a resend
        Sam b(20);
        QByteArray daten = samDaten();
        daten[9] = '-' ^ 'L' ^ '\r';  // header line 4 "l" makes the sum a CR
        b.line.feed("\x02" + daten + "\x17" + "x$");
        QCOMPARE(b.line.nimmGesendet(), QByteArray(1, NAK));
        b.line.feed(daten + "\x17\r$");
        QCOMPARE(b.line.nimmGesendet(), QByteArray(1, ACK));
        QVERIFY(b.z.Shots[7].ValidFlag);
        // a held block sent again at a new reading's ENQ without its STX, as after a NAK
        Sam c(20);
        c.line.feed(samRahmen().mid(1).left(40));
        c.tick();
        QVERIFY(!c.z.Shots[1].ValidFlag);
        c.line.nimmGesendet();
        c.line.feed(samRahmen().mid(41));
        QCOMPARE(c.line.nimmGesendet(), QByteArray(1, ACK));
        QCOMPARE(c.z.NextShotIndex, std::int16_t(8));
    }

    // Three bad check bytes on the very first strip: nothing came, so nothing is stored and
    // an evening stored before stays as it was.
    void samDreimalFalschOhneSchuss() {
        Sam a(30);
        QByteArray erster = samRahmen('X');
        a.line.feed(erster);
        a.line.feed(erster.mid(1));
        a.line.feed(erster.mid(1));
        QVERIFY(a.anzeige.status().contains("nicht fehlerfrei gelesen"));
        a.ablauf.beenden();
        QCOMPARE(a.abend.gespeichert, 0);
        QVERIFY2(a.abend.warnungen.join('|').contains("kein Schuss: Es wurde nichts gespeichert"),
                 qPrintable(a.abend.warnungen.join('|')));
    }

    // Three failed checks of one block: no fourth NAK, the user is told, the shots read so
    // far stay and are stored by "Einlesen beenden", and what still comes is not read.
    void samDreimalFalsch() {
        Sam a(30);
        a.line.feed(samRahmen());
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ACK));
        const QByteArray zweiter = zweiterRahmen('X');
        a.line.feed(zweiter);
        a.line.feed(zweiter.mid(1));
        QCOMPARE(a.line.nimmGesendet(), QByteArray(2, NAK));
        a.line.feed(zweiter.mid(1));
        QVERIFY(a.line.nimmGesendet().isEmpty());
        QVERIFY(!a.ablauf.timer1().isActive());
        QVERIFY2(a.anzeige.status().contains("nicht fehlerfrei gelesen"),
                 qPrintable(a.anzeige.status()));
        QVERIFY(a.anzeige.status().contains("„Einlesen beenden“ speichert sie"));
        QCOMPARE(a.abend.warnungen.size(), 1);
        a.line.feed(samRahmen().replace("\r1\r", "\r9\r"));  // ignored, not acknowledged
        a.tick(3);
        QVERIFY(a.line.nimmGesendet().isEmpty());
        QCOMPARE(a.z.NextShotIndex, std::int16_t(8));
        QCOMPARE(a.abend.gespeichert, 0);
        a.ablauf.beenden();
        QCOMPARE(a.abend.gespeichert, 1);
        QCOMPARE(a.z.Shots[7].Ring, std::int16_t(9));
        // the machine keeps the second strip: noted for member 31 and said
        QVERIFY(a.ablauf.streifenrest().has_value());
        QCOMPARE(a.ablauf.streifenrest()->block, zweiter.mid(1, zweiter.indexOf('\x17') - 1));
        QVERIFY(!a.anzeige.verborgen);
        QVERIFY2(a.anzeige.status().startsWith("Der Streifen von Nr. 31 (Mitglied 31) am "
                                               "03.04.2024 liegt noch in der Maschine"),
                 qPrintable(a.anzeige.status()));
        QVERIFY(a.abend.warnungen.last().contains("liegt noch in der Maschine"));
        // the next member's reading: the machine sends that strip first, now with a sound
        // check; Enter drops it (acknowledged) and stores nothing of it
        a.abend.nummer = "32";
        a.z.clearSchussPuffer();
        a.ablauf.auswertung_starten();
        const QByteArray gut = zweiterRahmen();
        a.line.feed(gut);
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ACK));
        QCOMPARE(a.anzeige.fragen.size(), 1);
        QVERIFY2(a.anzeige.fragen[0].startsWith("Die SAM sendet zuerst den Streifen, der bei der "
                                                "Lesung für Nr. 31 (Mitglied 31) am 03.04.2024"),
                 qPrintable(a.anzeige.fragen[0]));
        QVERIFY(a.anzeige.fragen[0].contains("7 Schuss, Ringe 9 10 8 9 10 8 9"));
        QCOMPARE(a.anzeige.angeboten[0], (QStringList{"Verwerfen", "Zu Nr. 31 nachtragen",
                                                      "Für Nr. 32 übernehmen"}));
        QCOMPARE(a.z.NextShotIndex, std::int16_t(1));
        QVERIFY(!a.z.Shots[1].ValidFlag);
        QVERIFY(a.abend.nachgetragen.isEmpty());
        QVERIFY(a.ablauf.timer1().isActive());  // and the next strip is asked for
        a.line.feed(gut);                       // its resend is not asked about again
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ACK));
        QCOMPARE(a.anzeige.fragen.size(), 1);
        a.line.feed(samRahmen());  // member 32's own strip
        QCOMPARE(a.z.NextShotIndex, std::int16_t(8));
        QVERIFY(a.ablauf.streifenrest() == std::nullopt);
        QCOMPARE(a.ini.IniLesen("WERTMASCHINE", "STREIFENREST"), QString());
    }

    // The official's other answers: the strip added to the evening it was read for, or taken
    // for the member now reading; an addition that fails leaves the other two answers.
    void samRestNachtragenOderUebernehmen() {
        struct Fall {
            const char* wahl;
            bool gelingt;
            int nachgetragenRing3;  // 0: nothing added to member 31
            int naechster;
        };
        for (const Fall& f : {Fall{"Zu Nr. 31 nachtragen", true, 8, 1},
                              Fall{"Für Nr. 32 übernehmen", true, 0, 8},
                              Fall{"Zu Nr. 31 nachtragen", false, 0, 1}}) {  // then Enter
            Sam a(30);
            a.line.feed(samRahmen('X'));
            a.line.feed(samRahmen('X').mid(1));
            a.line.feed(samRahmen('X').mid(1));
            a.ablauf.beenden();
            a.abend.nummer = "32";
            a.abend.nachtragenGelingt = f.gelingt;
            a.z.clearSchussPuffer();
            a.ablauf.auswertung_starten();
            a.line.nimmGesendet();
            a.anzeige.wahl << f.wahl;
            a.line.feed(samRahmen());
            QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ACK));
            QCOMPARE(a.abend.nachgetragen.value("31").Shots[3].Ring,
                     std::int16_t(f.nachgetragenRing3));
            QCOMPARE(a.z.NextShotIndex, std::int16_t(f.naechster));
            QCOMPARE(a.anzeige.angeboten.size(), f.gelingt ? 1 : 2);
            if (!f.gelingt)
                QCOMPARE(a.anzeige.angeboten[1],
                         (QStringList{"Verwerfen", "Für Nr. 32 übernehmen"}));
        }
    }

    // After a restart the note still stands: a strip that matches it is asked about (it
    // can be dropped or taken, not added), one that does not is the new member's own.
    void samRestNachNeustart() {
        QTemporaryDir dir;
        const QString ini = dir.filePath("wettk.ini");
        {
            Aufbau a("SAM", ini);
            a.z.ShotLimit = 30;
            a.ablauf.auswertung_starten();
            a.line.feed("\x02" + samDaten().left(90));  // the line goes in the middle
            a.line.close();
            emit a.line.getrennt("Die Verbindung ist unterbrochen.");
            QVERIFY2(a.abend.warnungen.last().contains("brach nach 91 Byte ab und wurde ganz "
                                                       "verworfen"),
                     qPrintable(a.abend.warnungen.last()));
            a.ablauf.beenden();
            QVERIFY(!a.z.Shots[1].ValidFlag);
            QCOMPARE(a.ablauf.streifenrest()->block, samDaten().left(90));
        }
        const QString vermerk = Ini(ini).IniLesen("WERTMASCHINE", "STREIFENREST");
        QVERIFY(vermerk.startsWith("0|"));
        for (const bool passt : {true, false}) {
            Ini(ini).IniSchreiben("WERTMASCHINE", "STREIFENREST", vermerk);
            Aufbau a("SAM", ini);
            QVERIFY(a.ablauf.streifenrest().has_value());
            QVERIFY(!a.ablauf.streifenrest()->ausDiesemLauf);
            a.abend.nummer = "40";
            a.z.ShotLimit = 30;
            a.ablauf.auswertung_starten();
            QByteArray anderer = samRahmen();
            anderer[1] = 'X';
            anderer[anderer.size() - 2] =
                static_cast<char>(anderer[anderer.size() - 2] ^ 'S' ^ 'X');
            a.line.feed(passt ? samRahmen() : anderer);
            QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ACK));
            QCOMPARE(a.anzeige.fragen.size(), passt ? 1 : 0);
            QVERIFY(a.ablauf.streifenrest() == std::nullopt);
            QCOMPARE(a.ini.IniLesen("WERTMASCHINE", "STREIFENREST"), QString());
            if (passt) {
                QVERIFY(a.anzeige.fragen[0].contains("Nr. 31 (Mitglied 31) am 03.04.2024"));
                QCOMPARE(a.anzeige.angeboten[0],
                         (QStringList{"Verwerfen", "Für Nr. 40 übernehmen"}));
                QVERIFY(!a.z.Shots[1].ValidFlag);
            } else {
                QCOMPARE(a.z.NextShotIndex, std::int16_t(8));
            }
        }
    }

    // A machine that does not take the ACK: the third send of the same strip is explained,
    // its shots are stored once, and what it still holds is noted as stored already.
    void samNimmtAckNichtAn() {
        Sam a(30);
        for (int i = 0; i < 3; ++i) {
            a.line.feed(samRahmen());
            QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ACK));
            QCOMPARE(a.anzeige.status().contains("nimmt die Bestätigung nicht an"), i == 2);
        }
        QVERIFY(a.anzeige.status().contains("3-mal dieselben Daten"));
        a.tick();
        QVERIFY(a.anzeige.status().contains("nimmt die Bestätigung nicht an"));  // stays
        QCOMPARE(a.z.NextShotIndex, std::int16_t(8));
        a.ablauf.beenden();
        QVERIFY(a.ablauf.streifenrest()->gespeichert);
        QVERIFY(a.anzeige.status().contains("ist gespeichert, liegt aber noch in der Maschine"));
        a.abend.nummer = "32";
        a.ablauf.auswertung_starten();
        a.line.feed(samRahmen());
        QCOMPARE(a.anzeige.angeboten.value(0), (QStringList{"Verwerfen", "Für Nr. 32 übernehmen"}));
        QVERIFY(a.anzeige.fragen.value(0).contains("Er ist dort schon gespeichert."));
    }

    // "Einlesen beenden" while the answer to the last ENQ is on its way: the strip that
    // comes afterwards is held by the machine, noted for that reading and said.
    void samStreifenNachDemEnde() {
        Sam a(30);
        a.line.feed(samRahmen());
        a.tick();
        a.line.nimmGesendet();
        a.ablauf.beenden();
        QVERIFY(a.anzeige.verborgen);
        QVERIFY(a.ablauf.streifenrest() == std::nullopt);
        a.abend.nummer = "77";  // the official types the next number meanwhile
        const QByteArray zweiter = zweiterRahmen();
        a.line.feed(zweiter.left(40));
        a.line.feed(zweiter.mid(40));
        QVERIFY(a.line.nimmGesendet().isEmpty());  // not acknowledged
        QVERIFY(a.ablauf.streifenrest().has_value());
        QCOMPARE(a.ablauf.streifenrest()->block, zweiter.mid(1, zweiter.size() - 4));
        QVERIFY(a.anzeige.status().startsWith("Der Streifen von Nr. 31 (Mitglied 31)"));
        // the first strip again (our ACK was lost) is acknowledged and noted as nothing
        Sam b(30);
        b.line.feed(samRahmen());
        b.ablauf.beenden();
        b.line.nimmGesendet();
        b.line.feed(samRahmen());
        QCOMPARE(b.line.nimmGesendet(), QByteArray(1, ACK));
        QVERIFY(b.ablauf.streifenrest() == std::nullopt);
    }

    // A machine that sends STX and its lines but no ETB: after two quiet ticks the block is
    // read by its bare lines.
    void samStxOhneEtb() {
        Sam a(20);
        a.tick();
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ENQ));
        a.line.feed("\x02" + samDaten().left(80));
        a.tick();
        a.line.feed(samDaten().mid(80));
        a.tick(2);
        QVERIFY(!a.z.Shots[1].ValidFlag);
        QVERIFY(a.line.nimmGesendet().isEmpty());  // no ENQ into a block that is coming
        a.tick();
        QCOMPARE(a.z.NextShotIndex, std::int16_t(8));
        // taken bare and acknowledged, so that a SAM that keeps it until then lets it go
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ACK));
        a.tick();
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ENQ));  // the next strip is asked for
        // STX and lines that stop in the middle of a shot: dropped whole, asked for again
        a.line.feed("\x02" + samDaten().left(100));
        a.tick(3);
        QCOMPARE(a.z.NextShotIndex, std::int16_t(8));
        QVERIFY(!a.line.gesendet.contains(ACK));
        a.tick();
        QCOMPARE(a.line.nimmGesendet(), QByteArray(1, ENQ));
    }
};

QTEST_GUILESS_MAIN(TestAblauf)
#include "test_ablauf.moc"
