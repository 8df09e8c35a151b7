#include <QtTest>

#include "core/Abendzustand.h"
#include "core/Einstellungen.h"
#include "core/Ini.h"
#include "platform/Paths.h"

class TestEinstellungen : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString path() const { return dir_.filePath("wettk.ini"); }

  private slots:
    void init() { QFile::remove(path()); }

    void ersterStartOhneDatei() {
        Ini ini(path());
        Abendzustand z;
        QVERIFY(startup::leseAlles(ini, z));  // the settings window must open
        QCOMPARE(z.MachineName, QString("RMIII"));
        QCOMPARE(ini.IniLesen("WERTMASCHINE", "NAME"), QString("RMIII"));
        QCOMPARE(ini.IniLesen("EXPORT", "FILE"), paths::defaultExportFile());
        QVERIFY(ini.IniLesen("EXPORT", "FILE").endsWith("ausgabe.csv"));
        QCOMPARE(ini.IniLesen("DB3", "FARBE"), QString::fromUtf8("&HD1CE01_Türkis"));
    }

    void maschinenNameWirdGenauVerglichen_data() {
        QTest::addColumn<QString>("gespeichert");
        QTest::addColumn<QString>("erwartet");
        QTest::newRow("sam") << "SAM" << "SAM";
        QTest::newRow("win") << "RMIII_WIN" << "RMIII_WIN";
        QTest::newRow("win klein") << "rmiii_win" << "RMIII";
        QTest::newRow("unbekannt") << "DISAG" << "RMIII";
    }
    void maschinenNameWirdGenauVerglichen() {
        QFETCH(QString, gespeichert);
        QFETCH(QString, erwartet);
        Ini ini(path());
        ini.IniSchreiben("WERTMASCHINE", "NAME", gespeichert);
        Abendzustand z;
        QVERIFY(!startup::leseMaschine(ini, z));
        QCOMPARE(z.MachineName, erwartet);
        QCOMPARE(ini.IniLesen("WERTMASCHINE", "NAME"), erwartet);
    }

    void teilerwertungNurBekannteWerte() {
        Ini ini(path());
        Abendzustand z;
        for (const char* wert : {"1", "10", "60"}) {
            ini.IniSchreiben("WERTUNG", "TEILER", wert);
            startup::leseTeilerwertung(ini, z);
            QCOMPARE(z.Teilerwertung, QString(wert));
        }
        for (const char* wert : {"30", "10,0", "abc"}) {
            ini.IniSchreiben("WERTUNG", "TEILER", wert);
            startup::leseTeilerwertung(ini, z);
            QCOMPARE(z.Teilerwertung, QString());
        }
    }

    void punktwertungUndSaison() {
        Ini ini(path());
        Abendzustand z;
        ini.IniSchreiben("WERTUNG", "PUNKT-SCHEIBEN", "-20");
        ini.IniSchreiben("WERTUNG", "MONAT", "4");
        startup::lesePunktwertung(ini, z);
        startup::leseSaisonversatz(ini, z);
        QCOMPARE(z.Punktwertung, std::int16_t(-20));
        QCOMPARE(z.Saisonversatz, std::int16_t(-4));
        QCOMPARE(startup::saisonJahr(QDate(2024, 4, 15), z.Saisonversatz), 2023);
        QCOMPARE(startup::saisonJahr(QDate(2024, 5, 15), z.Saisonversatz), 2024);
        QCOMPARE(startup::saisonJahr(QDate(2024, 1, 1), 0), 2024);
        ini.IniSchreiben("WERTUNG", "PUNKT-SCHEIBEN", "viele");
        startup::lesePunktwertung(ini, z);
        QCOMPARE(z.Punktwertung, std::int16_t(0));
        ini.IniSchreiben("WERTUNG", "MONAT", "99999999");
        startup::leseSaisonversatz(ini, z);  // nonsense stays bounded
        QVERIFY(QDate(2024, 4, 15).addMonths(z.Saisonversatz).isValid());
    }

    void vorhandeneWerteBleiben() {
        Ini ini(path());
        ini.IniSchreiben("EXPORT", "FILE", "/tmp/liste.csv");
        ini.IniSchreiben("EXPORT", "DELIMITER", ";");
        ini.IniSchreiben("DB1", "FARBE", "&HFFFFFF_Weiss");
        ini.IniSchreiben("DB2", "FARBE", "Gold");  // reads as 0: replaced
        Abendzustand z;
        startup::leseExport(ini, z);
        startup::schreibeFarbStandards(ini);
        QCOMPARE(z.Exportdatei, QString("/tmp/liste.csv"));
        QCOMPARE(z.Exporttrenner, QString(";"));
        QCOMPARE(ini.IniLesen("DB1", "FARBE"), QString("&HFFFFFF_Weiss"));
        QCOMPARE(ini.IniLesen("DB2", "FARBE"), QString("&H01FFFF_Gelb"));
    }
};

QTEST_GUILESS_MAIN(TestEinstellungen)
#include "test_einstellungen.moc"
