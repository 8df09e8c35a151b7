#include <QtTest>

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/DatenbankSlots.h"
#include "core/Ini.h"
#include "core/Schema.h"
#include "platform/Paths.h"
#include "tests/support/TestDaten.h"

namespace {
const QDate kMittwoch(2024, 4, 3);
const QDate kDonnerstag(2024, 4, 4);

QString neueDb(const QTemporaryDir& dir, const QString& name) {
    const QString p = dir.filePath(name);
    QString fehler;
    if (!schema::neueVereinsdatenbank(p, &fehler))
        qWarning("%s", qPrintable(fehler));
    return p;
}
}  // namespace

class TestClubDatabase : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString iniPfad() const { return dir_.filePath("wettk.ini"); }

  private slots:
    void init() { QFile::remove(iniPfad()); }

    void neueDatenbankHatJedeTabelleUndFeld() {
        TestDaten daten;
        QVERIFY(daten.ok());
        Database& db = daten.db();
        // Exports and grids format by the declared type.
        QCOMPARE(db.columns("Ergebnis")[9].declaredType, QString("SINGLE"));
        QCOMPARE(db.columns("Ergebnis")[1].declaredType, QString("DATE"));
        QCOMPARE(db.columns("Teiler")[9].declaredType, QString("YESNO"));
        const SqlRows sonder = db.run("SELECT Version, AnwPunkte FROM Sonder");
        QCOMPARE(sonder.size(), std::size_t(1));
        QCOMPARE(sonder.rows[0][0].toString(), QString("4.0.0"));

        daten.mitglied(7, "Anna Alt", 2);
        db.execute(
            "INSERT INTO Ergebnis (MitglNr, Datum, S1, Anwesend) VALUES (7, "
            "Datevalue('03.04.2024'), 95, TRUE)");
        db.execute(
            "INSERT INTO Ergebnis (MitglNr, Datum, S1) VALUES (99, Datevalue('03.04.2024'), 80)");
        const SqlRows heute =
            db.select("SELECT Name, Klasse, S1 FROM Heute WHERE Datum=Datevalue('03.04.2024')");
        QCOMPARE(heute.size(), std::size_t(1));  // only results with a member
        QCOMPARE(heute.value(0, "Name").toString(), QString("Anna Alt"));
        QCOMPARE(heute.value(0, "Klasse").toInt(), 2);
        QVERIFY_THROWS_EXCEPTION(DatabaseError, daten.mitglied(7, "Doppelt", 1));
    }

    void neueDatenbankUeberschreibtNichts() {
        const QString p = neueDb(dir_, "einmal.db");
        QString fehler;
        QVERIFY(!schema::neueVereinsdatenbank(p, &fehler));
        QVERIFY(fehler.contains(p));
    }

    void leereEinstellungenOeffnenTraining() {
        Ini ini(iniPfad());
        Abendzustand z;
        ClubDatabase club(ini, z);
        QVERIFY(!QFile::exists(paths::defaultClubDatabase()));
        const OeffnenErgebnis e = club.OpenDatabase("irgendwas");
        QCOMPARE(ini.IniLesen("DB1", "NAME"), QString("Training"));
        QCOMPARE(ini.IniLesen("DB1", "DATEI"), paths::defaultClubDatabase());  // a real path
        QCOMPARE(e.datei, paths::defaultClubDatabase());
        QVERIFY(!e.ok);
        QVERIFY(e.dateiFehlt);
        QVERIFY(e.fehler.contains(paths::defaultClubDatabase()));
        QVERIFY(
            !QFile::exists(paths::defaultClubDatabase()));  // nothing made behind the user's back
    }

    void slotNachNameUndFarbe() {
        Ini ini(iniPfad());
        const QString a = neueDb(dir_, "a.db");
        const QString b = neueDb(dir_, "b.db");
        ini.IniSchreiben("DB1", "NAME", "LG");
        ini.IniSchreiben("DB1", "DATEI", a);
        ini.IniSchreiben("DB2", "NAME", "LP");
        ini.IniSchreiben("DB2", "DATEI", b);
        ini.IniSchreiben("DB2", "FARBE", "&H01FFFF_Gelb");
        ini.IniSchreiben("DB3", "NAME", "LP");  // same name: never reached
        ini.IniSchreiben("DB3", "DATEI", a);
        Abendzustand z;
        ClubDatabase club(ini, z);
        QSignalSpy geoeffnet(&club, &ClubDatabase::geoeffnet);
        OeffnenErgebnis e = club.OpenDatabase("LP");
        QVERIFY(e.ok);
        QCOMPARE(e.datei, b);
        QVERIFY(e.hatFarbe);
        QCOMPARE(e.farbe, 0xFFFF01u);  // stored blue-green-red
        QCOMPARE(z.Datenbankdatei, b);
        QCOMPARE(geoeffnet.count(), 1);
        QCOMPARE(geoeffnet.at(0).at(0).toString(), b);
        e = club.OpenDatabase("gibtsnicht");
        QVERIFY(e.ok);
        QCOMPARE(e.datei, a);
        QVERIFY(!e.hatFarbe);
    }

    void slotDesTages() {
        DatenbankSlots s;
        s[1].tag = "Mi";
        s[3].tag = "REST";
        QCOMPARE(::slotDesTages(s, kMittwoch), 1);
        QCOMPARE(::slotDesTages(s, kDonnerstag), 3);
        s[3].tag = "KEIN";
        QCOMPARE(::slotDesTages(s, kDonnerstag), 0);
        s[2].tag = "Do";
        QCOMPARE(::slotDesTages(s, kDonnerstag), 2);
        QCOMPARE(wochentagKurz(QDate(2026, 12, 6)), QString("So"));
        QCOMPARE(wochentagKurz(QDate(2026, 12, 7)), QString("Mo"));
    }

    void nichtOeffnenbareDateiLaesstDieOffeneOffen() {
        Ini ini(iniPfad());
        Abendzustand z;
        ClubDatabase club(ini, z);
        const QString gut = neueDb(dir_, "gut.db");
        TestDaten daten;
        QVERIFY(club.OpenDatabaseDatei(gut).ok);

        const QString kaputt = dir_.filePath("kaputt.db");
        {
            QFile f(kaputt);
            QVERIFY(f.open(QIODevice::WriteOnly) &&
                    f.write("Das ist keine Datenbank, sondern ein Brief an den Vorstand.") > 0);
        }
        Database fremd;
        QString fehler;
        const QString ohneTabellen = dir_.filePath("fremd.db");
        QVERIFY(fremd.open(ohneTabellen, &fehler, true));
        fremd.run("CREATE TABLE Mitglieder (Nr INTEGER)");
        fremd.close();

        for (const QString& datei : {dir_.filePath("fehlt.db"), kaputt, ohneTabellen}) {
            const OeffnenErgebnis e = club.OpenDatabaseDatei(datei);
            QVERIFY(!e.ok);
            QVERIFY2(e.fehler.contains(datei), qPrintable(e.fehler));
            QVERIFY(e.fehler.startsWith("Die Vereinsdatenbank"));
            QVERIFY(club.isOpen());
            QCOMPARE(z.Datenbankdatei, gut);
        }
        QVERIFY(club.OpenDatabaseDatei(ohneTabellen).fehler.contains("Ergebnis"));
    }

    void sonderwerteUndSchliessen() {
        if (TestDaten::aufServer())
            QSKIP("Eine gelöschte Datei gibt es nur bei Dateien.");
        TestDaten daten;
        QVERIFY(daten.ok());
        daten.anwesenheitsPunkte(2);
        daten.db().run("UPDATE Sonder SET PistolenTeiler = 2.5");
        Ini ini(iniPfad());
        Abendzustand z;
        ClubDatabase club(ini, z);
        QVERIFY(club.OpenDatabaseDatei(daten.dbPfad()).ok);
        QCOMPARE(z.AnwPunkte, std::int16_t(2));
        QCOMPARE(z.PistolenTeiler, 2.5f);
        QSignalSpy geschlossen(&club, &ClubDatabase::geschlossen);
        club.CloseDatabase();
        QCOMPARE(geschlossen.count(), 1);
        QVERIFY(!club.isOpen());
        QVERIFY(z.Datenbankdatei.isEmpty());
        QVERIFY_THROWS_EXCEPTION(DatabaseError, club.db());
        // The file is free again: it can be replaced, as a backup copy does (on Windows a
        // file still open anywhere cannot be removed, so the test's own connection goes too).
        daten.db().close();
        QVERIFY(QFile::remove(daten.dbPfad()));
    }

    // Values that are no number count as 0, and the user hears of it once.
    void sonderwerteOhneZahl() {
        if (TestDaten::aufServer())
            QSKIP("Texte in Zahlenfeldern nimmt nur die Datei an; der Server lehnt sie ab.");
        TestDaten daten;
        daten.db().run("UPDATE Sonder SET AnwPunkte = 'nan', PistolenTeiler = 2.5");
        Ini ini(iniPfad());
        Abendzustand z;
        z.AnwPunkte = 7;
        ClubDatabase club(ini, z);
        const OeffnenErgebnis e = club.OpenDatabaseDatei(daten.dbPfad());
        QVERIFY(e.ok);
        QCOMPARE(z.AnwPunkte, std::int16_t(0));
        QCOMPARE(z.PistolenTeiler, 2.5f);
        QVERIFY2(e.hinweis.contains("AnwPunkte"), qPrintable(e.hinweis));
        daten.db().run("UPDATE Sonder SET AnwPunkte = 1");
        QVERIFY(club.OpenDatabaseDatei(daten.dbPfad()).hinweis.isEmpty());
    }

    // A file another program holds locked is reported as in use, not as unreadable.
    void gesperrteDatei() {
        if (TestDaten::aufServer())
            QSKIP("Eine ganze Datei sperren kann nur ein Programm auf demselben Rechner.");
        TestDaten daten;
        Database fremd;
        QString fehler;
        QVERIFY(fremd.open(daten.dbPfad(), &fehler));
        fremd.run("PRAGMA locking_mode = EXCLUSIVE");
        fremd.run("UPDATE Sonder SET AnwPunkte = 3");  // keeps the file locked
        Ini ini(iniPfad());
        Abendzustand z;
        ClubDatabase club(ini, z);
        const OeffnenErgebnis e = club.OpenDatabaseDatei(daten.dbPfad());
        QVERIFY(!e.ok);
        QVERIFY2(e.fehler.contains("von einem anderen Programm benutzt"), qPrintable(e.fehler));
        QVERIFY(!e.fehler.contains("keine lesbare"));
    }
};

QTEST_GUILESS_MAIN(TestClubDatabase)
#include "test_clubdatabase.moc"
