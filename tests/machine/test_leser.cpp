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
}  // namespace

class TestLeser : public QObject {
    Q_OBJECT
  private slots:
    void rm3Schussatz() {
        Abendzustand z;
        Ereignisse e;
        Rm3Leser leser;
        leser.empfangen("3;9;12.5;1,5;-0,25;\r", z, e.empfaenger());
        QCOMPARE(z.Shots[3].Ring, std::int16_t(9));
        QCOMPARE(z.Shots[3].Teiler, 12.5f);
        QCOMPARE(z.Shots[3].X, 1.5f);
        QCOMPARE(z.Shots[3].Y, -0.25f);
        QVERIFY(z.Shots[3].ValidFlag);
        QVERIFY(!z.Shots[3].CorrectionFlag);

        leser.empfangen("3;?.?;11.0;0;0;M\r", z, e.empfaenger());
        QCOMPARE(z.Shots[3].Ring, std::int16_t(9));  // unreadable ring: kept
        QVERIFY(z.Shots[3].CorrectionFlag);
        leser.empfangen("4;8;-;0;0;\r", z, e.empfaenger());
        QCOMPARE(z.Shots[4].Teiler, 9999.0f);  // no Teiler delivered
        QVERIFY(e.liste.isEmpty());
    }

    void rm3PistolenTeiler() {
        Abendzustand z;
        z.TargetType = "LP";
        z.PistolenTeiler = 2.5f;
        Ereignisse e;
        Rm3Leser::zeile("1;10;25.0;0;0;", z, e.empfaenger());
        QCOMPARE(z.Shots[1].Teiler, 10.0f);
    }

    void rm3NurGanzeZeilenBeendenKarten() {
        Abendzustand z;
        Ereignisse e;
        Rm3Leser leser;
        leser.empfangen("SCHEIBEN\rxENDE\rSCHEIBE\r\nENDE\r", z, e.empfaenger());
        QCOMPARE(e.liste, (QList<Maschinenereignis>{Maschinenereignis::KarteEnde,
                                                    Maschinenereignis::LesenEnde}));
    }

    void rm3GeteilterSatzWirdZusammengesetzt() {
        Abendzustand z;
        Ereignisse e;
        Rm3Leser leser;
        leser.empfangen("7;10;3", z, e.empfaenger());
        QVERIFY(!z.Shots[7].ValidFlag);
        QVERIFY(leser.hatRest());
        leser.empfangen(".1;0,1;0,05;\rSCHEI", z, e.empfaenger());
        QVERIFY(z.Shots[7].ValidFlag);
        QCOMPARE(z.Shots[7].Teiler, 3.1f);
        leser.empfangen("BE\r", z, e.empfaenger());
        QCOMPARE(e.liste, QList<Maschinenereignis>{Maschinenereignis::KarteEnde});
        // A piece that never gets its CR is taken as a line when the line stays quiet.
        leser.empfangen("ENDE", z, e.empfaenger());
        leser.flush(z, e.empfaenger());
        QCOMPARE(e.liste.size(), 2);
        QVERIFY(!leser.hatRest());
    }

    void slotsAusserhalbDerKarteWerdenIgnoriert() {
        Abendzustand z;
        Ereignisse e;
        Rm3Leser leser;
        leser.empfangen("75;9;5.0;0;0;\r-3;9;5.0;0;0;\r1e9;9;5;0;0;\r60;7;5.0;0;0;\r", z,
                        e.empfaenger());
        QCOMPARE(z.Shots[60].Ring, std::int16_t(7));
        int gueltig = 0;
        for (const auto& s : z.Shots)
            gueltig += s.ValidFlag ? 1 : 0;
        QCOMPARE(gueltig, 1);
        rm3WinZeile("SCH=61;9;5,0;0;", z, e.empfaenger());
        rm3WinZeile("SCH=999999;9;5,0;0;", z, e.empfaenger());
        gueltig = 0;
        for (const auto& s : z.Shots)
            gueltig += s.ValidFlag ? 1 : 0;
        QCOMPARE(gueltig, 1);
        Rm3Leser::zeile("2;99999;5;0;0;", z, e.empfaenger());  // absurd ring: no ring
        QCOMPARE(z.Shots[2].Ring, std::int16_t(0));
    }

    void winSchussatz() {
        Abendzustand z;
        Ereignisse e;
        rm3WinZeile("SCH=7;10;25,5;90;", z, e.empfaenger());
        QVERIFY(z.Shots[7].ValidFlag);
        QCOMPARE(z.Shots[7].Ring, std::int16_t(10));
        QCOMPARE(z.Shots[7].Teiler, 25.5f);
        QVERIFY(std::fabs(z.Shots[7].X - 25.5f / 240) < 1e-4);
        QVERIFY(std::fabs(z.Shots[7].Y) < 1e-4);
        QVERIFY(!z.Shots[7].CorrectionFlag);

        z.TargetType = "LP";
        rm3WinZeile("SCH=8;9;79,0;180;", z, e.empfaenger());
        QVERIFY(std::fabs(z.Shots[8].Y - 0.1f) < 1e-3);  // straight down, k = 790
    }

    void winKorrekturzeichenNichtDasPruefzeichen() {
        Abendzustand z;
        Ereignisse e;
        // The check character at the end happens to be "U": a healthy shot.
        rm3WinZeile("SCH=4;9;30,0;45;U", z, e.empfaenger());
        QVERIFY(z.Shots[4].ValidFlag);
        QVERIFY(!z.Shots[4].CorrectionFlag);
        rm3WinZeile("SCH=5;9;30,0;45;;U", z, e.empfaenger());
        QVERIFY(!z.Shots[5].CorrectionFlag);
        // The mark after the fourth ";" asks for a hand correction.
        rm3WinZeile("SCH=6;?.?;30,0;45;U;x", z, e.empfaenger());
        QVERIFY(z.Shots[6].CorrectionFlag);
    }

    void winEndsaetze() {
        Abendzustand z;
        Ereignisse e;
        rm3WinZeile("WSEx", z, e.empfaenger());
        rm3WinZeile("STAF", z, e.empfaenger());
        rm3WinZeile("SCH=1;WESA;", z, e.empfaenger());
        QCOMPARE(e.liste, (QList<Maschinenereignis>{Maschinenereignis::LesenEnde,
                                                    Maschinenereignis::KarteEnde,
                                                    Maschinenereignis::LesenAbbruch}));
    }

    void samBlock() {
        Abendzustand z;
        z.NextShotIndex = 1;
        QByteArray block = "SAM\r1\rLP\r-\r-\r-\r";
        block += "09\r12,5\r-81\r162\r";
        block += "10\r0\r0\r0\r";
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

    void samMehrSchuesseAlsPlaetze() {
        Abendzustand z;
        QByteArray block = "SAM\r1\rLG\r-\r-\r-\r";
        for (int i = 0; i < 65; ++i)
            block += "08\r40,0\r10\r10\r";
        QVERIFY(::samBlock(block, z));
        QCOMPARE(z.NextShotIndex, std::int16_t(61));
        QVERIFY(z.Shots[60].ValidFlag);
        QCOMPARE(z.Shots[0].ValidFlag, false);
    }
};

QTEST_GUILESS_MAIN(TestLeser)
#include "test_leser.moc"
