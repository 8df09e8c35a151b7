#include <QtTest>

#include "core/Abendzustand.h"
#include "evening/Felder.h"
#include "evening/Punkte.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDaten.h"

namespace {
// Series totals as the calculate button leaves them in the fields and in the buffer.
void abend(Felder& f, Abendzustand& z, std::initializer_list<int> summen) {
    int s = 1;
    for (int summe : summen) {
        f.Scheibe[s] = summe ? QString::number(summe) : QString();
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

class TestPunkte : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDaten> daten_;

  private slots:
    void init() {
        daten_ = std::make_unique<TestDaten>();
        QVERIFY(daten_->ok());
        daten_->mitglied(1, "Anna", 2);
        daten_->ringeZeile(150, 1, {1, 2});
        daten_->ringeZeile(190, 3, {2});
        daten_->ringeZeile(200, 4, {2});
        daten_->ringeZeile(180, 7, {1});
        daten_->teilerZeile(30, 5, {2});
        daten_->teilerZeile(40, 2, {2});
        daten_->teilerZeile(36, 9, {1});
        daten_->teilerZeile(37, 3, {1});
        daten_->anwesenheitsPunkte(1);
    }

    void beispielKlasseZwei() {
        Felder f;
        Abendzustand z;
        z.Punktwertung = 20;
        z.AnwPunkte = 1;
        f.SName = "Anna";
        f.Anwesend = true;
        abend(f, z, {95, 98, 91, 98, 0, 0});
        f.Teiler[2] = "35,4";
        f.Teiler[3] = "41,0";
        ScriptedDialogs d;
        Punktegeben(f, z, &daten_->db(), 2, d);
        QCOMPARE(f.Best10, QString("196"));
        QCOMPARE(f.Best, QString("196"));
        QCOMPARE(f.GesScheibe, QString("382"));
        QCOMPARE(f.BestTeiler, QString("35,4"));
        QCOMPARE(z.SerienTeiler[0], 35.4f);
        // 3 ring points (190 <= 196 < 200), 2 Teiler points (35 < 40), 1 attendance point
        QCOMPARE(ringPunkte(daten_->db(), 196, 2), 3.0);
        QCOMPARE(ringPunkte(daten_->db(), 190, 2), 3.0);  // a lower bound counts as reached
        QCOMPARE(ringPunkte(daten_->db(), 189, 2), 1.0);
        QCOMPARE(ringPunkte(daten_->db(), 189.5f, 2), 3.0);  // rounded as shown: 190
        QCOMPARE(ringPunkte(daten_->db(), 189.4f, 2), 1.0);
        QCOMPARE(ringPunkte(daten_->db(), 0.3f, 2), 0.0);  // rounds to nothing: no points, no error
        QCOMPARE(teilerPunkte(daten_->db(), 35.4f, 2), 2);
        QCOMPARE(f.Punkte, QString("6"));
        QVERIFY(d.questions.isEmpty());
    }

    void wertungNachModus_data() {
        QTest::addColumn<int>("modus");
        QTest::addColumn<QString>("wertung");
        QTest::newRow("erste 10") << -10 << "95";
        QTest::newRow("erster schuss") << 1 << "7";
        QTest::newRow("erste 20") << -20 << "193";
        QTest::newRow("erste 40") << -40 << "382";
        QTest::newRow("beste 10") << 10 << "98";
        QTest::newRow("unbekannt wie 10") << 0 << "98";
        QTest::newRow("beste 20") << 20 << "196";
        QTest::newRow("beste 40") << 40 << "382";
        QTest::newRow("60") << 60 << "467";
    }
    void wertungNachModus() {
        QFETCH(int, modus);
        QFETCH(QString, wertung);
        Felder f;
        Abendzustand z;
        z.Punktwertung = static_cast<std::int16_t>(modus);
        abend(f, z, {95, 98, 91, 98, 85, 0});
        f.Schuss[1] = "7";
        ScriptedDialogs d;
        Punktegeben(f, z, &daten_->db(), 1, d);
        QCOMPARE(f.Best10, wertung);
        QCOMPARE(f.GesScheibe, QString("467"));
    }

    void ohneMitgliedKeineTabelle() {
        Felder f;
        Abendzustand z;
        z.AnwPunkte = 2;
        abend(f, z, {95, 98, 0, 0, 0, 0});
        f.Teiler[1] = "20,0";
        ScriptedDialogs d;
        Punktegeben(f, z, nullptr, 0, d);  // no database needed
        QCOMPARE(f.Punkte, QString("0"));
        QCOMPARE(f.Best10, QString("98"));
        QCOMPARE(f.Best, QString("193"));
        QCOMPARE(f.BestTeiler, QString("20,0"));
        f.Anwesend = true;
        Punktegeben(f, z, nullptr, 0, d);
        QCOMPARE(f.Punkte, QString("2"));
        QVERIFY(d.questions.isEmpty());
    }

    void teilerfelderUndKlasseNull() {
        Felder f;
        Abendzustand z;
        f.SName = "Anna";
        f.Anwesend = true;
        abend(f, z, {90, 95, 0, 0, 0, 0});
        f.Teiler[3] = "0";
        ScriptedDialogs d;
        Punktegeben(f, z, &daten_->db(), 0, d);
        QCOMPARE(f.BestTeiler, QString());  // no Teiler: empty, no Teiler points
        QCOMPARE(f.Punkte, QString("0"));   // class 0 is class 1: 95 is below 150

        f.Teiler[1] = "36,5";  // 36.5 -> 36 (half to even): row "below 37" for class 1
        f.Teiler[4] = "37,2";
        z.Punktwertung = 20;  // 185 -> 7 points for class 1
        Punktegeben(f, z, &daten_->db(), 0, d);
        QCOMPARE(f.BestTeiler, QString("36,5"));
        QCOMPARE(f.Punkte, QString("10"));
        f.Teiler[1] = "35,5";  // -> 36 as well
        Punktegeben(f, z, &daten_->db(), 0, d);
        QCOMPARE(f.Punkte, QString("10"));
        QCOMPARE(teilerPunkte(daten_->db(), 35.4f, 1), 9);
        QCOMPARE(teilerPunkte(daten_->db(), 38.0f, 1), 0);  // above every row
        QCOMPARE(ringPunkte(daten_->db(), 100, 1), 0.0);    // below every row
        QCOMPARE(ringPunkte(daten_->db(), 196, 12), 0.0);   // a class without a column
    }

    void ersteSerieLeer() {
        Felder f;
        Abendzustand z;
        z.Punktwertung = -10;
        f.SName = "Anna";
        f.Anwesend = true;
        abend(f, z, {0, 98, 0, 0, 0, 0});
        ScriptedDialogs d;
        Punktegeben(f, z, &daten_->db(), 2, d);
        QCOMPARE(f.Best10, QString());
        QCOMPARE(f.Punkte, QString("0"));
    }

    void anwesenheitsfrage_data() {
        QTest::addColumn<int>("antwort");  // -1: no question expected
        QTest::addColumn<bool>("nachschiessen");
        QTest::addColumn<bool>("anwesend");
        QTest::addColumn<QString>("punkte");
        QTest::newRow("streichen") << 1 << false << false << "3";
        QTest::newRow("behalten") << 0 << false << true << "4";
        QTest::newRow("nachschiessen fragt nicht") << -1 << true << false << "3";
    }
    void anwesenheitsfrage() {
        QFETCH(int, antwort);
        QFETCH(bool, nachschiessen);
        QFETCH(bool, anwesend);
        QFETCH(QString, punkte);
        Abendzustand z;
        z.AnwPunkte = 1;
        z.Punktwertung = 20;
        Felder f;
        f.SName = "Anna";
        f.datum = nachschiessen ? DatumsOption::Nachschiessen : DatumsOption::Heute;
        abend(f, z, {95, 98, 0, 0, 0, 0});
        ScriptedDialogs d;
        if (antwort >= 0)
            antwort ? d.answerYes() : d.answerNo();
        Punktegeben(f, z, &daten_->db(), 2, d);
        QCOMPARE(d.questions,
                 antwort < 0 ? QStringList() : QStringList{"Anwesenheit wirklich streichen"});
        QCOMPARE(f.Anwesend, anwesend);
        QCOMPARE(f.Punkte, punkte);
    }
};

QTEST_GUILESS_MAIN(TestPunkte)
#include "test_punkte.moc"
