#include <QtTest>

#include "platform/SqlDialect.h"

using namespace sqldialect;

class TestSqlDialect : public QObject {
    Q_OBJECT
  private slots:
    void translates_data() {
        QTest::addColumn<QString>("dialect");
        QTest::addColumn<QString>("sqlite");
        QTest::newRow("Datevalue")
            << "SELECT * FROM Einzelergebnisse WHERE MitglNr=12 AND Datum=Datevalue('05.12.2026')"
            << "SELECT * FROM Einzelergebnisse WHERE MitglNr=12 AND Datum='2026-12-05'";
        QTest::newRow("Datevalue kurz") << "Datum=DATEVALUE( '5.1.26' )"
                                        << "Datum='2026-01-05'";
        QTest::newRow("hash monat zuerst") << "Datum>=#12/05/2026#"
                                           << "Datum>='2026-12-05'";
        QTest::newRow("doppelte anfuehrung") << "Name LIKE \"Mü*\""
                                             << "Name LIKE 'Mü%'";
        QTest::newRow("fragezeichen") << "Name LIKE 'M?ller'"
                                      << "Name LIKE 'M_ller'";
        QTest::newRow("wahr")
            << "SELECT * FROM Ringe WHERE URinge<=196 AND Klasse2=TRUE ORDER BY URinge DESC"
            << "SELECT * FROM Ringe WHERE URinge<=196 AND Klasse2<>0 ORDER BY URinge DESC";
        QTest::newRow("falsch") << "Liegend = False"
                                << "Liegend =0";
        QTest::newRow("ungleich wahr") << "Anwesend<>TRUE"
                                       << "Anwesend=0";
        QTest::newRow("wert wahr") << "SET Anwesend=TRUE, x=(TRUE)"
                                   << "SET Anwesend<>0, x=(1)";
        QTest::newRow("anfuehrung im text") << "Name=\"O'Brien\""
                                            << "Name='O''Brien'";
        QTest::newRow("verdoppelte anfuehrung") << "Name=\"Sch\"\"utz\""
                                                << "Name='Sch\"utz'";
        QTest::newRow("literal bleibt literal") << "Name=\"#1 Datevalue('x') TRUE *\""
                                                << "Name='#1 Datevalue(''x'') TRUE *'";
        QTest::newRow("klammern") << "SELECT [Name] FROM [Mitglieder]"
                                  << "SELECT [Name] FROM [Mitglieder]";
        QTest::newRow("wort mit true") << "SELECT TrueValue FROM t"
                                       << "SELECT TrueValue FROM t";
        QTest::newRow("like prozent wörtlich") << "Name LIKE \"50%*\""
                                               << "Name LIKE '50\\%%' ESCAPE '\\'";
        QTest::newRow("like stern wörtlich") << "Name LIKE \"A[*]*\""
                                             << "Name LIKE 'A*%'";
    }
    void translates() {
        QFETCH(QString, dialect);
        QFETCH(QString, sqlite);
        const Translation t = translate(dialect);
        QVERIFY2(t.ok(), qPrintable(t.error));
        QCOMPARE(t.sql, sqlite);
    }

    void hashDatesCanBeReadDayFirst() {
        QCOMPARE(translate("#12/05/2026#", HashDateOrder::DayFirst).sql, QString("'2026-05-12'"));
        QCOMPARE(translate("#2026-05-12#").sql, QString("'2026-05-12'"));
    }

    void badInputIsAnErrorNotAGuess() {
        QVERIFY(!translate("Datum=Datevalue('31.02.2026')").ok());
        QVERIFY(!translate("Datum=#13/45/2026#").ok());
        QVERIFY(!translate("Datum=#12/05/2026").ok());
        QVERIFY(!translate("Name=\"offen").ok());
        QVERIFY(translate("Name=\"offen").error.contains("Anführungszeichen"));
    }

    void quotingHelpersRoundTrip() {
        QCOMPARE(quoted("Sch\"utz"), QString("\"Sch\"\"utz\""));
        QCOMPARE(translate("Name=" + quoted("x\" OR \"1\"=\"1")).sql,
                 QString("Name='x\" OR \"1\"=\"1'"));
        // A NUL would end the statement inside its literal: it is left out.
        const QString mitNul = QString("Sch") + QChar(u'\0') + QString("\"tz");
        QCOMPARE(quoted(mitNul), QString("\"Sch\"\"tz\""));
        QCOMPARE(translate("Name LIKE " + likePrefix(mitNul)).sql, QString("Name LIKE 'Sch\"tz%'"));
        QCOMPARE(likePrefix("Mü"), QString("\"Mü*\""));
        QCOMPARE(translate("Name LIKE " + likePrefix("A*b?")).sql, QString("Name LIKE 'A*b?%'"));
        QCOMPARE(translate("Name LIKE " + likePrefix("O\"B_")).sql,
                 QString("Name LIKE 'O\"B\\_%' ESCAPE '\\'"));
    }

    void shortDates() {
        QCOMPARE(parseShortDate("06.12.2026"), QDate(2026, 12, 6));
        QCOMPARE(parseShortDate("6.12.99"), QDate(1999, 12, 6));
        QVERIFY(!parseShortDate("").isValid());
        QVERIFY(!parseShortDate("06.13.2026").isValid());
        QCOMPARE(isoDate(QDate(2024, 4, 3)), QString("2024-04-03"));
    }
};

QTEST_GUILESS_MAIN(TestSqlDialect)
#include "test_sqldialect.moc"
