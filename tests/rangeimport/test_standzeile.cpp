// The range row conversion on values a range database may hold.
#include <QtTest>

#include <cmath>
#include <limits>

#include "core/Zahlen.h"
#include "platform/OdbcQuelle.h"
#include "rangeimport/Auswahl.h"
#include "rangeimport/Ergebniszeile.h"

namespace {
// A range that answers every statement with the same rows, or fails.
struct Stand : Lesequelle {
    SqlRows antwort;
    bool weg = false;
    QStringList gefragt;
    SqlRows select(const QString& sql) override {
        gefragt << sql;
        if (weg)
            throw DatabaseError(QStringLiteral("Die Anlage antwortet nicht."));
        return antwort;
    }
};
}  // namespace

class TestStandzeile : public QObject {
    Q_OBJECT
  private slots:
    // The lists offered for the selection: each value once, in the range's order, without
    // the empty ones; a range that does not answer says so and offers nothing.
    void listenDerAnlage() {
        Stand stand;
        stand.antwort.columns = {"Starterliste"};
        stand.antwort.rows = {{"Liga"}, {QVariant()}, {"Kreis"}, {"Liga"}, {"Verein"}, {"Kreis"}};
        QCOMPARE(starterlisten(stand), (QStringList{"Liga", "Kreis", "Verein"}));
        QCOMPARE(disziplinen(stand), (QStringList{"Liga", "Kreis", "Verein"}));
        QCOMPARE(stand.gefragt,
                 (QStringList{"SELECT Starterliste FROM Scheiben order by Starterliste",
                              "SELECT Disziplin FROM Scheiben order by Disziplin"}));
        QVERIFY(standAntwortet(stand));
        stand.weg = true;
        QVERIFY(!standAntwortet(stand));
        QVERIFY_THROWS_EXCEPTION(DatabaseError, starterlisten(stand));
    }

    // Only a whole number a double carries exactly is a ScheibenID; anything else would
    // name another result's series, or no number at all (1e300 has no 64-bit form).
    void scheibenIdNurGanzUndExakt_data() {
        QTest::addColumn<QVariant>("wert");
        QTest::addColumn<bool>("gilt");
        QTest::addColumn<double>("id");
        QTest::newRow("ganz") << QVariant(4711) << true << 4711.0;
        QTest::newRow("text") << QVariant("4711") << true << 4711.0;
        QTest::newRow("double") << QVariant(4711.0) << true << 4711.0;
        QTest::newRow("negativ") << QVariant(qint64(-12)) << true << -12.0;
        QTest::newRow("2^53") << QVariant(9007199254740992.0) << true << 9007199254740992.0;
        QTest::newRow("bruch") << QVariant(1.5) << false << 0.0;
        QTest::newRow("riesig") << QVariant(1e300) << false << 0.0;
        QTest::newRow("riesig text") << QVariant("-1e19") << false << 0.0;
        QTest::newRow("über 2^53") << QVariant(qint64(1) << 60) << false << 0.0;
        QTest::newRow("nan") << QVariant(std::numeric_limits<double>::quiet_NaN()) << false << 0.0;
        QTest::newRow("unendlich")
            << QVariant(std::numeric_limits<double>::infinity()) << false << 0.0;
        QTest::newRow("null") << QVariant(QMetaType::fromType<int>()) << false << 0.0;
        QTest::newRow("kein wert") << QVariant() << false << 0.0;
        QTest::newRow("buchstaben") << QVariant("12a") << false << 0.0;
    }
    void scheibenIdNurGanzUndExakt() {
        QFETCH(QVariant, wert);
        QFETCH(bool, gilt);
        QFETCH(double, id);
        double gelesen = -1;
        QCOMPARE(scheibenId(wert, &gelesen), gilt);
        if (gilt) {
            QCOMPARE(gelesen, id);
            QCOMPARE(serienAbfrage(gelesen),
                     QStringLiteral("SELECT * from Serien where ScheibenID = ") +
                         QString::number(static_cast<qlonglong>(id)));
        } else {
            QCOMPARE(gelesen, -1.0);
        }
    }

    // Series rows: the last row of a series counts, rows without a series 1..6 or without
    // a ring are passed over, and a missing series stays NULL.
    void serien() {
        SqlRows r;
        r.columns = {"ScheibenID", "Serie", "Ring"};
        r.rows.push_back({17, 1, 95});
        r.rows.push_back({17, "2", "97.4"});
        r.rows.push_back({17, 1, 96});  // the same series again: the last one counts
        r.rows.push_back({17, 0, 90});
        r.rows.push_back({17, 7, 90});
        r.rows.push_back({17, 3.5, 90});
        r.rows.push_back({17, std::numeric_limits<double>::quiet_NaN(), 90});
        r.rows.push_back({17, 4, QVariant()});
        r.rows.push_back({17, 6, "x"});
        const Standserien s = standserien(r);
        QCOMPARE(s.summen, (std::array<std::int16_t, 6>{96, 97, 0, 0, 0, 0}));
        QCOMPARE(s.werte[0].toInt(), 96);
        QCOMPARE(s.werte[1].toInt(), 97);
        for (std::size_t k = 2; k < 6; ++k) {
            QVERIFY2(s.werte[k].isNull(), qPrintable(QString::number(k)));
        }
    }

    // A ring beyond what the club database stores stops this result, not the program.
    void ringZuGross() {
        SqlRows r;
        r.columns = {"Serie", "Ring"};
        r.rows.push_back({2, 40000});
        QVERIFY_THROWS_EXCEPTION(ZahlUeberlauf, standserien(r));
    }
};

QTEST_GUILESS_MAIN(TestStandzeile)
#include "test_standzeile.moc"
