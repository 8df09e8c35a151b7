#include <QtTest>

#include <cmath>

#include "core/Abendzustand.h"
#include "machine/Leser.h"

namespace {
struct Ereignisse {
    QList<Maschinenereignis> liste;
    Ereignisempfaenger empfaenger() {
        return [this](Maschinenereignis e) { liste << e; };
    }
};

int gueltige(const Abendzustand& z) {
    int n = 0;
    for (const auto& s : z.Shots)
        n += s.ValidFlag ? 1 : 0;
    return n;
}

QByteArray samStreifen(const QList<QByteArray>& ringe) {
    QByteArray block = "SAM\r1\rLG\r-\r-\r-\r";
    for (const QByteArray& r : ringe)
        block += r == "??.?" ? QByteArray("??.?\r????.?\r-0001\r-0001\r") : r + "\r25,0\r10\r-20\r";
    return block;
}
}  // namespace

class TestLeser : public QObject {
    Q_OBJECT
  private slots:
    void ringe_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("ring");  // -1: no ring
        QTest::newRow("neun") << "9" << 9;
        QTest::newRow("zehn") << "10" << 10;
        QTest::newRow("null") << "0" << 0;
        QTest::newRow("zehntel") << "9.6" << 10;
        QTest::newRow("unlesbar") << "?.?" << -1;
        QTest::newRow("elf") << "11" << -1;
        QTest::newRow("minus eins") << "-1" << -1;
        QTest::newRow("leer") << "" << -1;
    }
    void ringe() {
        QFETCH(QString, text);
        QFETCH(int, ring);
        std::int16_t r = 77;
        QCOMPARE(ringAusText(text, &r), ring >= 0);
        if (ring >= 0)
            QCOMPARE(int(r), ring);
    }

    void rm3Schussatz() {
        Abendzustand z;
        Ereignisse e;
        Rm3Leser leser;
        leser.empfangen("3;9;12.5;1,5;-0,25;\r4;8;-;0;0;\r", z, e.empfaenger());
        QCOMPARE(z.Shots[3].Ring, std::int16_t(9));
        QCOMPARE(z.Shots[3].Teiler, 12.5f);
        QCOMPARE(z.Shots[3].X, 1.5f);
        QCOMPARE(z.Shots[3].Y, -0.25f);
        QVERIFY(z.Shots[3].ValidFlag && !z.Shots[3].CorrectionFlag);
        QCOMPARE(z.Shots[4].Teiler, 9999.0f);  // no Teiler delivered

        // Unreadable or impossible rings are asked for by hand, with or without the mark.
        leser.empfangen("3;?.?;11.0;0;0;M\r5;?.?;11.0;0;0;\r6;11;5.0;0;0;\r", z, e.empfaenger());
        QCOMPARE(z.Shots[3].Ring, std::int16_t(9));
        for (int i : {3, 5, 6})
            QVERIFY2(z.Shots[i].CorrectionFlag, qPrintable(QString::number(i)));
        QCOMPARE(z.Shots[6].Ring, std::int16_t(0));

        z.TargetType = "LP";
        z.PistolenTeiler = 2.5f;
        Rm3Leser::zeile("1;10;25.0;0;0;", z, e.empfaenger());
        QCOMPARE(z.Shots[1].Teiler, 10.0f);
        QVERIFY(e.liste.isEmpty());
    }

    void rm3ZeilenUndEnden() {
        Abendzustand z;
        Ereignisse e;
        Rm3Leser leser;
        leser.empfangen("SCHEIBEN\rxENDE\r7;10;3", z, e.empfaenger());
        QVERIFY(e.liste.isEmpty());  // only whole lines end a card or the reading
        QVERIFY(!z.Shots[7].ValidFlag && leser.hatRest());
        leser.empfangen(".1;0,1;0,05;\rSCHEI", z, e.empfaenger());
        QCOMPARE(z.Shots[7].Teiler, 3.1f);
        leser.empfangen("BE\r\nENDE", z, e.empfaenger());
        leser.flush(z, e.empfaenger());  // a piece that stays quiet is a line
        QCOMPARE(e.liste, (QList<Maschinenereignis>{Maschinenereignis::KarteEnde,
                                                    Maschinenereignis::LesenEnde}));
    }

    void slotsAusserhalbDerKarte() {
        Abendzustand z;
        Ereignisse e;
        Rm3Leser leser;
        leser.empfangen("75;9;5.0;0;0;\r-3;9;5.0;0;0;\r1e9;9;5;0;0;\r60;7;5.0;0;0;\r", z,
                        e.empfaenger());
        rm3WinZeile("SCH=61;9;5,0;0;", z, e.empfaenger());
        rm3WinZeile("SCH=999999;9;5,0;0;", z, e.empfaenger());
        QCOMPARE(z.Shots[60].Ring, std::int16_t(7));
        QCOMPARE(gueltige(z), 1);
    }

    void winSchussatz() {
        Abendzustand z;
        Ereignisse e;
        rm3WinZeile("SCH=7;10;25,5;90;", z, e.empfaenger());
        QCOMPARE(z.Shots[7].Ring, std::int16_t(10));
        QCOMPARE(z.Shots[7].Teiler, 25.5f);
        QVERIFY(std::fabs(z.Shots[7].X - 25.5f / 240) < 1e-4);
        QVERIFY(std::fabs(z.Shots[7].Y) < 1e-4);
        QVERIFY(z.Shots[7].ValidFlag && !z.Shots[7].CorrectionFlag);
        rm3WinZeile("SCH=3;?.?;25,5;90;U", z, e.empfaenger());
        rm3WinZeile("SCH=4;9;25,5;90;", z, e.empfaenger());
        QVERIFY(z.Shots[3].CorrectionFlag);
        QVERIFY(!z.Shots[4].CorrectionFlag);

        z.TargetType = "LP";
        rm3WinZeile("SCH=8;9;79,0;180;", z, e.empfaenger());
        QVERIFY(std::fabs(z.Shots[8].Y - 0.1f) < 1e-3);  // straight down, k = 790

        rm3WinZeile("WSEx", z, e.empfaenger());
        rm3WinZeile("STAF", z, e.empfaenger());
        rm3WinZeile("SCH=1;WESA;", z, e.empfaenger());
        QCOMPARE(e.liste, (QList<Maschinenereignis>{Maschinenereignis::LesenEnde,
                                                    Maschinenereignis::KarteEnde,
                                                    Maschinenereignis::LesenAbbruch}));
    }

    void samBlock() {
        Abendzustand z;
        QByteArray block = "SAM\r1\rLP\r-\r-\r-\r09\r12,5\r-81\r162\r10\r0\r0\r0\r";
        QVERIFY(::samBlock(block, z));
        QCOMPARE(z.TargetType, QString("LP"));
        QCOMPARE(z.Shots[1].Ring, std::int16_t(9));
        QCOMPARE(z.Shots[1].Teiler, 12.5f);
        QCOMPARE(z.Shots[1].Y, 0.1f);
        QCOMPARE(z.Shots[1].X, -0.2f);
        QCOMPARE(z.Shots[2].Teiler, 9999.0f);  // a Teiler of 0 is none
        QCOMPARE(z.NextShotIndex, std::int16_t(3));
        QVERIFY(!::samBlock("kurz\r", z));
    }

    void samLeereSlotsSindKeineSchuesse() {
        Abendzustand z;
        QVERIFY(::samBlock(
            samStreifen({"09", "10", "??.?", "08", "??.?", "??.?", "??.?", "??.?", "??.?", "??.?"}),
            z));
        QCOMPARE(z.NextShotIndex, std::int16_t(4));
        QCOMPARE(gueltige(z), 3);
        QCOMPARE(z.Shots[3].Ring, std::int16_t(8));
        QVERIFY(::samBlock(samStreifen({"11"}), z));  // impossible ring: asked for by hand
        QVERIFY(z.Shots[4].ValidFlag && z.Shots[4].CorrectionFlag);

        QList<QByteArray> viele;
        for (int i = 0; i < 65; ++i)
            viele << "08";
        Abendzustand voll;
        QVERIFY(::samBlock(samStreifen(viele), voll));
        QCOMPARE(voll.NextShotIndex, std::int16_t(61));
        QCOMPARE(gueltige(voll), 60);
    }

    void samRahmen() {
        const QByteArray block = samStreifen({"09"});
        unsigned char x = 0x02 ^ 0x17;  // the maker's sum runs from STX to ETB
        for (char c : block)
            x ^= static_cast<unsigned char>(c);
        const QByteArray rahmen = "\x15xx\x02" + block + '\x17' + char(x) + '$';
        SamRahmen r = samRahmenSuchen(rahmen);
        QCOMPARE(r.art, SamRahmen::Gut);
        QCOMPARE(r.block, block);
        QCOMPARE(r.ende, rahmen.size());
        QCOMPARE(samRahmenSuchen(rahmen.chopped(1)).art, SamRahmen::Unvollstaendig);
        QCOMPARE(samRahmenSuchen(block).art, SamRahmen::KeinRahmen);
        QByteArray falsch = rahmen;
        falsch[falsch.size() - 2] = char(x ^ 1);
        QCOMPARE(samRahmenSuchen(falsch).art, SamRahmen::PruefFehler);
        falsch = rahmen;
        falsch[falsch.size() - 1] = '#';
        QCOMPARE(samRahmenSuchen(falsch).art, SamRahmen::PruefFehler);
        // the resend after a NAK: from the first data byte, without STX
        const QByteArray nochmal = block + '\x17' + char(x) + '$';
        QCOMPARE(samRahmenSuchen(nochmal).art, SamRahmen::KeinRahmen);
        r = samRahmenSuchen(nochmal, true);
        QCOMPARE(r.art, SamRahmen::Gut);
        QCOMPARE(r.block, block);
        QCOMPARE(samRahmenSuchen(rahmen.mid(3), true).art, SamRahmen::Gut);  // with STX after all
        // a check byte that is STX, ETB, CR or "$" itself
        for (char pruef : {'\x02', '\x17', '\r', '$'}) {
            const QByteArray zeilen = QByteArray("A") + char(pruef ^ 'A' ^ 0x02 ^ 0x17);
            QCOMPARE(samRahmenSuchen("\x02" + zeilen + "\x17" + pruef + "$").art, SamRahmen::Gut);
            QCOMPARE(samRahmenSuchen(zeilen + "\x17" + pruef + "$", true).art, SamRahmen::Gut);
        }
    }
};

QTEST_GUILESS_MAIN(TestLeser)
#include "test_leser.moc"
