#include <QtTest>

#include "core/Abendzustand.h"
#include "core/Zahlen.h"
#include "evening/Felder.h"
#include "evening/Serien.h"
#include "evening/Serienpruefung.h"

namespace {
void serienSetzen(Abendzustand& z, std::initializer_list<int> summen) {
    // Nine shots of 10 and one of (sum - 90) make up a series, or fewer for small sums.
    int s = 1;
    for (int summe : summen) {
        int rest = summe;
        for (int i = 1; i <= 10 && rest > 0; ++i) {
            const int ring = std::min(rest, 10);
            z.Shots[(s - 1) * 10 + i].Ring = static_cast<std::int16_t>(ring);
            z.Shots[(s - 1) * 10 + i].ValidFlag = true;
            rest -= ring;
        }
        ++s;
    }
}
}  // namespace

class TestSerien : public QObject {
    Q_OBJECT
  private slots:
    void serberechZaehltNurVolleSerien() {
        Felder f;
        for (int i = 11; i <= 20; ++i)
            f.Schuss[i] = "9";
        f.Schuss[20] = "10";
        Serberech(20, f);
        QCOMPARE(f.Scheibe[2], QString("91"));

        f.Scheibe[1] = "77";  // shown before: an incomplete series keeps it
        for (int i = 1; i <= 9; ++i)
            f.Schuss[i] = "10";
        Serberech(10, f);
        QCOMPARE(f.Scheibe[1], QString("77"));

        Felder einzel;
        einzel.Schuss[1] = "8";
        Serberech(10, einzel);
        QCOMPARE(einzel.Scheibe[1], QString("8"));

        Felder zwei;  // two shots are not a single-shot card
        zwei.Schuss[1] = "8";
        zwei.Schuss[2] = "9";
        Serberech(10, zwei);
        QCOMPARE(zwei.Scheibe[1], QString());

        // 2.5 -> 2, 4.5 -> 4, ... 20.5 -> 20; rounding only at the end would give 25
        for (int i = 1; i <= 10; ++i)
            zwei.Schuss[i] = "2.5";
        Serberech(10, zwei);
        QCOMPARE(zwei.Scheibe[1], QString("20"));
        zwei.Schuss[4] = "99999";
        QVERIFY_THROWS_EXCEPTION(ZahlUeberlauf, Serberech(10, zwei));
        QCOMPARE(zwei.Scheibe[1], QString("20"));
    }

    void besteSerien() {
        Abendzustand z;
        Felder f;
        serienSetzen(z, {95, 98, 91, 98, 0, 0});
        Serienwertung(z, f);
        QCOMPARE(z.Serie[1], std::int16_t(95));
        QCOMPARE(z.Serie[4], std::int16_t(98));
        QCOMPARE(z.Best10, std::int16_t(98));
        QCOMPARE(z.Best20, std::int16_t(196));
        QCOMPARE(z.Best40, std::int16_t(382));
        // shots typed by hand carry no Teiler: none is found
        for (int s = 0; s <= 6; ++s)
            QCOMPARE(z.SerienTeiler[s], 9999.0f);

        Abendzustand leer;  // no shots: nothing counts, nothing changes
        leer.SerienTeiler[3] = 44.0f;
        Serienwertung(leer, f);
        QCOMPARE(leer.Best40, std::int16_t(0));
        QCOMPARE(leer.SerienTeiler[3], 44.0f);
    }

    // The Teiler of each series (0: the evening's best) from the shots' Teiler, by the
    // scoring rule; a better Teiler already shown in a series' field is kept (9999: none
    // found better). Shots and fields as "index:value" pairs.
    void serienTeiler_data() {
        QTest::addColumn<QString>("wertung");
        QTest::addColumn<QString>("schuesse");
        QTest::addColumn<QString>("felder");
        QTest::addColumn<QString>("erwartet");
        QTest::newRow("alle") << "" << "12:35.2 17:12.7 23:20" << ""
                              << "0:12.7 1:9999 2:12.7 3:20";
        QTest::newRow("frueher besser") << "" << "3:5 17:12.7" << "" << "0:5 2:12.7";
        QTest::newRow("feld besser") << "" << "17:12.7" << "2:10,5" << "2:9999";
        QTest::newRow("feld schlechter") << "" << "17:12.7" << "2:14,0" << "2:12.7";
        QTest::newRow("erste zehn") << "10" << "4:30 9:22 15:3" << "" << "0:22 1:22 2:9999";
        QTest::newRow("erste zehn, feld besser") << "10" << "9:22" << "1:20,5" << "1:9999";
        QTest::newRow("erster schuss") << "1" << "1:40 2:2" << "1:50,0" << "0:40";
        QTest::newRow("erster schuss, feld leer") << "1" << "1:40" << "" << "1:40";
    }
    void serienTeiler() {
        QFETCH(QString, wertung);
        QFETCH(QString, schuesse);
        QFETCH(QString, felder);
        QFETCH(QString, erwartet);
        const auto paare = [](const QString& t) {
            std::vector<std::pair<int, QString>> p;
            for (const QString& e : t.split(u' ', Qt::SkipEmptyParts))
                p.emplace_back(e.section(u':', 0, 0).toInt(), e.section(u':', 1));
            return p;
        };
        Abendzustand z;
        Felder f;
        z.Teilerwertung = wertung;
        for (const auto& [k, t] : paare(schuesse))
            z.Shots[static_cast<std::size_t>(k)].Teiler = t.toFloat();
        for (const auto& [s, t] : paare(felder))
            f.Teiler[static_cast<std::size_t>(s)] = t;
        Serienwertung(z, f);
        for (const auto& [s, t] : paare(erwartet))
            QCOMPARE(z.SerienTeiler[static_cast<std::size_t>(s)], t.toFloat());
    }

    void schussUndSerienfelderLeeren() {
        Abendzustand z;
        Felder f;
        f.Schuss[60] = f.Scheibe[6] = "90";
        f.Teiler[3] = f.BestTeiler = "12,7";
        f.Liegend = f.Anwesend = true;
        z.SerienTeiler[0] = 12.7f;
        z.Shots[60].Ring = 9;
        f.clearSchuss(z);
        QVERIFY(f.Schuss[60].isEmpty() && f.Scheibe[6].isEmpty() && f.Teiler[3].isEmpty());
        QVERIFY(f.BestTeiler.isEmpty() && !f.Liegend);
        QVERIFY(f.Anwesend);  // attendance is not part of the displayed evening
        QCOMPARE(z.SerienTeiler[0], 9999.0f);
        QCOMPARE(z.Shots[60].Ring, std::int16_t(9));  // the buffer stays
    }

    // What F4 names: a series short of ten (not the lone shot of a single-shot card) and
    // shots beyond the program; the series totals themselves follow the usual rule.
    void hinweiseZuSerienUndProgramm() {
        Felder f;
        for (int i = 1; i <= 19; ++i)
            f.Schuss[i] = "9";
        QCOMPARE(serienHinweise(f, 0),
                 QStringList{"Serie 2: 9 von 10 Schuss, zählt nicht im Gesamt"});
        Serberech(10, f);
        Serberech(20, f);
        QCOMPARE(f.Scheibe[1], QString("90"));
        QVERIFY(f.Scheibe[2].isEmpty());  // the rule stands: only told, not changed
        f.Scheibe[2] = "81";  // a reading's own total of the short series does count
        QCOMPARE(serienHinweise(f, 0),
                 QStringList{"Serie 2: 9 von 10 Schuss, zählt mit 81 im Gesamt"});
        f.Scheibe[2] = "0";
        QCOMPARE(serienHinweise(f, 0),
                 QStringList{"Serie 2: 9 von 10 Schuss, zählt nicht im Gesamt"});
        f.Scheibe[2].clear();

        f.Schuss[20] = "9";
        f.Schuss[21] = "10";
        QCOMPARE(serienHinweise(f, 20),
                 (QStringList{"Serie 3: 1 von 10 Schuss, zählt nicht im Gesamt",
                              "Schuss 21 liegt hinter dem Programm (20 Schuss)"}));
        for (int i = 22; i <= 30; ++i)
            f.Schuss[i] = "8";
        f.Schuss[33] = "7";
        QCOMPARE(serienHinweise(f, 20),
                 (QStringList{"Serie 4: 1 von 10 Schuss, zählt nicht im Gesamt",
                              "Schuss 21 bis 33 liegen hinter dem Programm (20 Schuss)"}));
        QCOMPARE(serienHinweise(f, 60).size(), 1);  // a 60-shot program holds all of them

        Felder einzeln;  // a single-shot card is a whole series
        einzeln.Schuss[1] = "8";
        QVERIFY(serienHinweise(einzeln, 1).isEmpty());
        einzeln.Schuss[2] = " ";  // blanks are no shot
        QVERIFY(serienHinweise(einzeln, 0).isEmpty());
        einzeln.Schuss[2] = "7";
        QCOMPARE(serienHinweise(einzeln, 0),
                 QStringList{"Serie 1: 2 von 10 Schuss, zählt nicht im Gesamt"});
        QCOMPARE(serienHinweise(einzeln, 1),
                 (QStringList{"Serie 1: 2 von 10 Schuss, zählt nicht im Gesamt",
                              "Schuss 2 liegt hinter dem Programm (1 Schuss)"}));

        QCOMPARE(programmSchuesse("SCH=LG10;SZI=10;SGE=20;SSC=1;TEA=ZT;TEG=300;"), 20);
        QCOMPARE(programmSchuesse("SGE=60;"), 60);
        QCOMPARE(programmSchuesse("SCH=LP;SZI=10;SGE=99;"), 0);
        QCOMPARE(programmSchuesse("SCH=LP;XSGE=20;"), 0);
        QCOMPARE(programmSchuesse("134403211"), 0);
    }
};

QTEST_GUILESS_MAIN(TestSerien)
#include "test_serien.moc"
