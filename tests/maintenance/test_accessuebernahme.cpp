// Old Access club files taken over into SQLite: mdbtools' texts read correctly, the club
// tables mapped from captured output, the public sample files taken over end to end with
// the real mdbtools, and every failure answered in German with nothing written over.
#include <QtTest>

#include <QFile>
#include <QProcess>

#include "core/Schema.h"
#include "core/Ueber.h"
#include "maintenance/Accessuebernahme.h"
#include "maintenance/ui/Altdateien.h"
#include "platform/AccessLeser.h"
#include "platform/Paths.h"
#include "tests/support/Programmfenster.h"

namespace {

// The time the safety copies are named by.
const QDateTime kJetzt(QDate(2024, 4, 3), QTime(19, 30, 5));


QByteArray lesen(const QString& pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What mdbtools printed for a club file, from the captured texts.
class Mitschnitt : public AccessLeser {
  public:
    explicit Mitschnitt(QString ordner) : ordner_(std::move(ordner)) {}
    QStringList tabellen() override {
        return QString::fromUtf8(lesen(ordner_ + "/tabellen.txt")).split(u'\n', Qt::SkipEmptyParts);
    }
    QString schema(const QString& t) override {
        return QString::fromUtf8(lesen(ordner_ + "/" + t + ".schema"));
    }
    QByteArray daten(const QString& t) override { return lesen(ordner_ + "/" + t + ".csv"); }

  private:
    QString ordner_;
};

QString typVon(Database& db, const QString& tabelle, const QString& spalte) {
    for (const ColumnInfo& c : db.columns(tabelle)) {
        if (c.name == spalte) {
            return c.declaredType;
        }
    }
    return QStringLiteral("<fehlt>");
}

const QString kDaten = QStringLiteral(ZK_TESTDATA);

QString sicherungsordner() {
    return QDir(paths::documentsDir()).filePath("Zielkunst-Sicherungen");
}

QStringList inhalt(const QString& ordner) {
    return QDir(ordner).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

#ifdef Q_OS_WIN
// mdbtools' programs beside the test program, put out of the way while it lives (and PATH
// emptied, where another copy could be found), so that the takeover finds none.
class OhneMdbtools {
  public:
    OhneMdbtools() : pfad_(qgetenv("PATH")) {
        const QDir hier(QCoreApplication::applicationDirPath());
        for (const QString& p : MdbToolsLeser::kProgramme) {
            const QString exe = hier.filePath(p + ".exe");
            QFile::rename(exe + ".weg", exe);  // left by a run that crashed
            if (QFile::rename(exe, exe + ".weg")) {
                weg_ << exe;
            }
        }
        qputenv("PATH", leer_.path().toUtf8());
    }
    ~OhneMdbtools() {
        qputenv("PATH", pfad_);
        for (const QString& exe : weg_) {
            QFile::rename(exe + ".weg", exe);
        }
    }
    int weggelegt() const { return int(weg_.size()); }

  private:
    QByteArray pfad_;
    QTemporaryDir leer_;
    QStringList weg_;
};
#else
// A stand-in for an mdbtools program: a shell script in a folder put first on PATH.
void skript(const QString& ordner, const QString& name, const QByteArray& rumpf) {
    QFile f(ordner + "/" + name);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n" + rumpf + "\n");
    f.close();
    QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                             QFileDevice::ExeOwner));
}
#endif

}  // namespace

class TestAccessuebernahme : public QObject {
    Q_OBJECT
  private slots:
    void mdbTexte() {
        const auto s =
            mdbtext::spalten(QString::fromUtf8(lesen(kDaten + "/access-verein/Ergebnis.schema")));
        QCOMPARE(s.size(), std::size_t(18));
        QCOMPARE(s[1].name, QStringLiteral("Datum"));
        QCOMPARE(s[1].typ, QStringLiteral("DateTime"));
        QCOMPARE(s[15].typ, QStringLiteral("Boolean"));  // NOT NULL is no part of the type

        QStringList kopf;
        const auto z =
            mdbtext::zeilen("A,B,C\r\n1,\"x \"\"y\"\"\nz\",\n,\"\",\"Köln, Süd\"\n", &kopf);
        QCOMPARE(kopf, (QStringList{"A", "B", "C"}));
        QCOMPARE(z.size(), std::size_t(2));
        QCOMPARE(z[0][1].toString(), QStringLiteral("x \"y\"\nz"));
        QVERIFY(z[0][2].isNull());  // nothing between the commas: NULL
        QVERIFY(z[1][0].isNull());
        QVERIFY(!z[1][1].isNull());  // "" is an empty text
        QCOMPARE(z[1][2].toString(), QStringLiteral("Köln, Süd"));

        QCOMPARE(mdbtext::deklarierterTyp("Long Integer"), QStringLiteral("LONG"));
        QCOMPARE(mdbtext::deklarierterTyp("Text (50)"), QStringLiteral("TEXT(50)"));
        QCOMPARE(mdbtext::deklarierterTyp("Memo/Hyperlink (255)"), QStringLiteral("TEXT"));
        QCOMPARE(mdbtext::deklarierterTyp("OLE (255)"), QStringLiteral("BLOB"));
        QCOMPARE(mdbtext::deklarierterTyp("Currency"), QStringLiteral("DOUBLE"));

        QCOMPARE(mdbtext::wert("-1", "YESNO"), QVariant(1));
        QCOMPARE(mdbtext::wert("TRUE", "YESNO"), QVariant(1));
        QCOMPARE(mdbtext::wert("0", "YESNO"), QVariant(0));
        QCOMPARE(mdbtext::wert("2024-04-03 00:00:00", "DATE"), QVariant("2024-04-03"));
        QCOMPARE(mdbtext::wert("2019-08-01 18:30:00", "DATE"), QVariant("2019-08-01 18:30:00"));
        QCOMPARE(mdbtext::wert("1900-01-00 00:00:00", "DATE"), QVariant("1900-01-00 00:00:00"));
        QCOMPARE(mdbtext::wert("12.3000001907349", "SINGLE"), QVariant(12.3));
        QCOMPARE(mdbtext::wert("4711", "TEXT(20)"), QVariant("4711"));
        QCOMPARE(mdbtext::wert("89504E47", "BLOB"), QVariant(QByteArray("\x89PNG")));
        QVERIFY(mdbtext::wert(QVariant(), "LONG").isNull());
    }

    void vereinstabellenAusMitschnitt() {
        Programmfenster p;
        const QString neu = p.daten.pfad("Verein.db");
        Mitschnitt leser(kDaten + "/access-verein");
        QStringList fortschritt;
        Uebernahmebericht bericht;
        QString fehler;
        QVERIFY2(Accessuebernahme(
                     leser,
                     [&](int fertig, int gesamt, const QString& t) {
                         fortschritt << QStringLiteral("%1/%2 %3").arg(fertig).arg(gesamt).arg(t);
                     })
                     .uebernehmen(neu, &bericht, &fehler),
                 qPrintable(fehler));
        QVERIFY(bericht.vereinsdatenbank);
        QCOMPARE(bericht.tabellen, (QStringList{"Mitglieder: 2 Zeilen", "Ergebnis: 2 Zeilen",
                                                "Einzelergebnisse: 40 Zeilen", "Sonder: 1 Zeile",
                                                "Ringe: 2 Zeilen", "Notizen: 1 Zeile"}));
        QCOMPARE(fortschritt.first(), QStringLiteral("0/6 Mitglieder"));
        QCOMPARE(fortschritt.last(), QStringLiteral("6/6 "));

        Database db;
        QVERIFY(db.open(neu, &fehler));
        // The club schema's own types; umlauts, dates and yes/no as the club file keeps them.
        QCOMPARE(typVon(db, "Ergebnis", "Datum"), QStringLiteral("DATE"));
        QCOMPARE(typVon(db, "Ergebnis", "Liegend"), QStringLiteral("YESNO"));
        QCOMPARE(db.run("SELECT Nr, Name, Geburtstag, Ort, SportpassID, Strasse FROM Mitglieder "
                        "ORDER BY Nr")
                     .rows,
                 (std::vector<QVariantList>{
                     {7, "Schäfer Jürgen", "1961-05-17", "Öhringen", "4711", "Hauptstraße 5"},
                     {8, "Groß Anna", QString(), "Köln", QString(), ""}}));
        QVERIFY(
            db.run("SELECT Geburtstag IS NULL, SportpassID IS NULL FROM Mitglieder WHERE Nr = 8")
                .rows[0] == (QVariantList{1, 1}));
        QCOMPARE(db.run("SELECT Liegend, Anwesend, Teiler FROM Ergebnis ORDER BY MitglNr").rows,
                 (std::vector<QVariantList>{{0, 1, 12.3}, {1, 1, 35.5}}));
        // An older Sonder: the new version, its extra field with the line break kept.
        QCOMPARE(db.run("SELECT AnwPunkte, Version, Bemerkung FROM Sonder").rows,
                 (std::vector<QVariantList>{{2, "4.0.0", "Zeile eins\nZeile \"zwei\""}}));
        QCOMPARE(typVon(db, "Notizen", "Am"), QStringLiteral("DATE"));
        QCOMPARE(db.run("SELECT Text, Am FROM Notizen").rows,
                 (std::vector<QVariantList>{
                     {"Schießstand renoviert, Kosten 1.200 €", "2019-08-01 18:30:00"}}));
        QCOMPARE(db.run("SELECT count(*) FROM Heute").rows[0][0].toInt(), 2);
        db.close();

        // The main window opens the file and recalls the evening with its shots.
        p.ini.IniSchreiben("DB1", "DATEI", neu);
        p.starten();
        p.nummer("7");
        QTRY_COMPARE(p.text("SName"), QStringLiteral("Schäfer Jürgen"));
        QCOMPARE(p.texte({"Schuss_1", "Schuss_2", "Schuss_40"}), (QStringList{"9", "10", "9"}));
        QCOMPARE(p.texte({"Scheibe_1", "Scheibe_4"}), (QStringList{" 91", " 93"}));
        QVERIFY(p.dialogs.messages.isEmpty());
    }

    void oeffentlicheDateienEndeZuEnde() {
        TestDaten d;
        for (const char* name : {"nwind.mdb", "DateTestDatabase.mdb"}) {
            QVERIFY(QFile::copy(kDaten + "/" + name, d.pfad(name)));
        }
        QString text;
        const QString nwind = d.pfad("nwind.mdb");
        QVERIFY2(accessDateiUebernehmen(nwind, uebernahmeZiel(nwind), kJetzt, {}, &text), qPrintable(text));
        QCOMPARE(uebernahmeZiel(nwind), d.pfad("nwind.db"));
        QVERIFY(text.contains("9 Tabellen, 4032 Zeilen"));
        // The safety copy is in the backups folder, nothing new beside the old file.
        const QString kopie = text.section("\nSicherung: ", -1);
        QCOMPARE(QFileInfo(kopie).absolutePath(),
                 QDir(paths::documentsDir()).filePath("Zielkunst-Sicherungen"));
        QCOMPARE(QFileInfo(kopie).fileName(), QString("Sicherung_nwind 2024-04-03 193005.mdb"));
        QCOMPARE(lesen(kopie), lesen(nwind));
        QVERIFY(!QFile::exists(d.pfad("Sicherung_nwind.mdb")));
        QFile::remove(kopie);

        Database db;
        QString fehler;
        QVERIFY(db.open(d.pfad("nwind.db"), &fehler));
        const std::vector<std::pair<const char*, int>> anzahl = {
            {"Order Details", 2155}, {"Orders", 830},   {"Products", 77},
            {"Shippers", 3},         {"Categories", 8}, {"Customers", 91},
            {"Employees", 9},        {"Suppliers", 29}, {"Umsätze", 830}};
        for (const auto& [tabelle, n] : anzahl) {
            QCOMPARE(db.run(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(tabelle))
                         .rows[0][0]
                         .toInt(),
                     n);
        }
        QCOMPARE(typVon(db, "Products", "Discontinued"), QStringLiteral("YESNO"));
        QCOMPARE(db.run("SELECT count(*) FROM Products WHERE Discontinued NOT IN (0, 1)")
                     .rows[0][0]
                     .toInt(),
                 0);
        QCOMPARE(db.run("SELECT sum(Discontinued) FROM Products").rows[0][0].toInt(), 8);
        QCOMPARE(typVon(db, "Orders", "OrderDate"), QStringLiteral("DATE"));
        QCOMPARE(db.run("SELECT OrderDate FROM Orders WHERE OrderID = 10330").rows[0][0],
                 QVariant("1994-11-16"));
        QCOMPARE(db.run("SELECT City FROM Customers WHERE CustomerID = 'BERGS'").rows[0][0],
                 QVariant("Luleå"));
        QCOMPARE(db.run("SELECT CompanyName FROM Customers WHERE CustomerID = 'FOLKO'").rows[0][0],
                 QVariant("Folk och fä HB"));
        QVERIFY(db.run("SELECT Picture FROM Categories WHERE CategoryID = 1")
                    .rows[0][0]
                    .toByteArray()
                    .size() > 1000);
        QCOMPARE(typVon(db, "Categories", "Picture"), QStringLiteral("BLOB"));
        QVERIFY(!db.hasTable("Heute"));  // no club file: no club schema
        db.close();

        const QString datum = d.pfad("DateTestDatabase.mdb");
        QVERIFY2(accessDateiUebernehmen(datum, uebernahmeZiel(datum), kJetzt, {}, &text), qPrintable(text));
        QVERIFY(db.open(d.pfad("DateTestDatabase.db"), &fehler));
        QCOMPARE(db.run("SELECT IDCol, DateTimeCol, LongTextCol FROM DateTest WHERE IDCol IN (1, "
                        "6) ORDER BY 1")
                     .rows,
                 (std::vector<QVariantList>{{1, "2021-12-02", "Hello"},
                                            {6, "2021-12-02", "New line\r\nin field"}}));
        QCOMPARE(db.run("SELECT count(*) FROM DateTest").rows[0][0].toInt(), 6);
        // Days mdbtools cannot read keep its text and are named, never left empty.
        QCOMPARE(db.run("SELECT DateTimeCol, DateCol, TimeCol FROM DateTest WHERE IDCol = 3").rows,
                 (std::vector<QVariantList>{
                     {"1900-01-00 00:00:00", "1900-01-00 00:00:00", "1900-01-01"}}));
        QVERIFY2(text.contains("DateTest: 8 Datumswerte (Feld DateTimeCol, DateCol, TimeCol) kann "
                               "mdbtools nicht lesen"),
                 qPrintable(text));
    }

    // A folder and a name as a club's PC has them: umlauts, a letter Windows' own 8-bit
    // code page lacks, a leading dash that a program could take for an option.
    void besondereNamen() {
        TestDaten d;
        QVERIFY(QDir().mkpath(d.pfad("Jürgen Groß (Łódź)")));
        const QString alt = d.pfad("Jürgen Groß (Łódź)/-Schießabend Łódź.mdb");
        QVERIFY(QFile::copy(kDaten + "/DateTestDatabase.mdb", alt));
        const QString neu = d.pfad("Jürgen Groß (Łódź)/Schießabend.db");
        QString text;
        QVERIFY2(accessDateiUebernehmen(alt, neu, kJetzt, {}, &text, d.pfad("sicherungen")),
                 qPrintable(text));
        QVERIFY2(text.contains("1 Tabelle, 6 Zeilen"), qPrintable(text));
        Database db;
        QString fehler;
        QVERIFY(db.open(neu, &fehler));
        QCOMPARE(db.run("SELECT LongTextCol FROM DateTest WHERE IDCol = 1").rows[0][0],
                 QVariant("Hello"));
    }

    // Files of the same name taken over in the same second each keep their own safety
    // copy, and a takeover that fails removes only its own.
    void sicherungNieUeberschrieben() {
        TestDaten d;
        const QByteArray muster = lesen(kDaten + "/DateTestDatabase.mdb");
        for (const char* ordner : {"a", "b", "c"}) {
            QVERIFY(QDir().mkpath(d.pfad(ordner)));
            QVERIFY(QFile::copy(kDaten + "/DateTestDatabase.mdb", d.pfad(ordner) + "/Alt.mdb"));
        }
        QFile kaputt(d.pfad("c/Alt.mdb"));
        QVERIFY(kaputt.setPermissions(kaputt.permissions() | QFileDevice::WriteOwner));
        QVERIFY(kaputt.resize(10 * 4096));
        QString text;
        for (const char* ordner : {"a", "b"}) {
            const QString alt = d.pfad(ordner) + "/Alt.mdb";
            QVERIFY2(accessDateiUebernehmen(alt, uebernahmeZiel(alt), kJetzt, {}, &text,
                                            d.pfad("sicherungen")),
                     qPrintable(text));
        }
        QVERIFY(text.endsWith("Sicherung_Alt 2024-04-03 193005 (2).mdb"));
        QVERIFY(!accessDateiUebernehmen(d.pfad("c/Alt.mdb"), d.pfad("c/Alt.db"), kJetzt, {}, &text,
                                        d.pfad("sicherungen")));
        QCOMPARE(inhalt(d.pfad("sicherungen")),
                 (QStringList{"Sicherung_Alt 2024-04-03 193005 (2).mdb",
                              "Sicherung_Alt 2024-04-03 193005.mdb"}));
        for (const QString& kopie : inhalt(d.pfad("sicherungen"))) {
            QCOMPARE(lesen(d.pfad("sicherungen/" + kopie)), muster);
        }
    }

    void fehlerAufDeutschNichtsUeberschrieben() {
        TestDaten d;
        QString text;
        // Not an Access file.
        QFile kein(d.pfad("kein.mdb"));
        QVERIFY(kein.open(QIODevice::WriteOnly));
        kein.write("Dies ist eine Textdatei.\n");
        kein.close();
        QVERIFY(!accessDateiUebernehmen(d.pfad("kein.mdb"), d.pfad("kein.db"), kJetzt, {}, &text));
        QCOMPARE(text, "Die Datei \"" + d.pfad("kein.mdb") + "\" ist keine Access-Datenbank.");
        QVERIFY(!QFile::exists(d.pfad("kein.db")));
        // Unreadable: a folder where the file should be.
        QVERIFY(QDir().mkpath(d.pfad("ordner.mdb")));
        QVERIFY(!accessDateiUebernehmen(d.pfad("ordner.mdb"), d.pfad("ordner.db"), kJetzt, {}, &text));
        QCOMPARE(text, "Die Datei \"" + d.pfad("ordner.mdb") + "\" kann nicht gelesen werden.");
        // The target exists: it stays as it was.
        QVERIFY(QFile::copy(kDaten + "/DateTestDatabase.mdb", d.pfad("alt.mdb")));
        QFile ziel(d.pfad("alt.db"));
        QVERIFY(ziel.open(QIODevice::WriteOnly));
        ziel.write("wichtig");
        ziel.close();
        QVERIFY(!accessDateiUebernehmen(d.pfad("alt.mdb"), d.pfad("alt.db"), kJetzt, {}, &text));
        QVERIFY(text.contains("gibt es schon; sie wird nicht überschrieben"));
        QCOMPARE(lesen(d.pfad("alt.db")), QByteArray("wichtig"));
        // No mdbtools on the machine.
        const QByteArray vorher = lesen(d.pfad("alt.mdb"));
#ifdef Q_OS_WIN
        {
            OhneMdbtools ohne;
            QCOMPARE(ohne.weggelegt(), 5);  // they lie beside the program
            QVERIFY(!accessDateiUebernehmen(d.pfad("alt.mdb"), d.pfad("neu.db"), kJetzt, {}, &text));
        }
        QCOMPARE(text, "Die Programme zum Lesen alter Access-Dateien fehlen (mdb-ver.exe, "
                       "mdb-tables.exe, mdb-schema.exe, mdb-export.exe, mdb-count.exe); sie "
                       "gehören zu Zielkunst und liegen sonst neben zielkunst.exe in \"" +
                           QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) +
                           "\". Bitte Zielkunst neu installieren. Es wurde nichts übernommen; "
                           "die Datei bleibt, wie sie ist.");
        // Back beside the program, they are found again.
        QVERIFY2(accessDateiUebernehmen(d.pfad("alt.mdb"), d.pfad("wieder.db"), kJetzt, {}, &text),
                 qPrintable(text));
        QVERIFY(QFile::exists(d.pfad("wieder.db")));
#else
        const QByteArray pfad = qgetenv("PATH");
        QTemporaryDir leer;
        qputenv("PATH", leer.path().toUtf8());
        const bool ok = accessDateiUebernehmen(d.pfad("alt.mdb"), d.pfad("neu.db"), kJetzt, {}, &text);
        qputenv("PATH", pfad);
        QVERIFY(!ok);
        QCOMPARE(text, QStringLiteral("Die Programme von mdbtools fehlen (mdb-ver, mdb-tables, "
                                      "mdb-schema, mdb-export, mdb-count). Bitte das Paket "
                                      "\"mdbtools\" installieren."));
#endif
        QVERIFY(!QFile::exists(d.pfad("neu.db")));
        QCOMPARE(lesen(d.pfad("alt.mdb")), vorher);
        // A reader that fails half-way leaves no file behind.
        struct Bricht : Mitschnitt {
            using Mitschnitt::Mitschnitt;
            QByteArray daten(const QString& t) override {
                if (t == "Einzelergebnisse") {
                    throw AccessFehler("\"mdb-export\" ist gescheitert: Lesefehler");
                }
                return Mitschnitt::daten(t);
            }
        } bricht(kDaten + "/access-verein");
        Uebernahmebericht bericht;
        QVERIFY(!Accessuebernahme(bricht).uebernehmen(d.pfad("halb.db"), &bericht, &text));
        QCOMPARE(text, QStringLiteral("\"mdb-export\" ist gescheitert: Lesefehler"));
        QVERIFY(!QFile::exists(d.pfad("halb.db")));
        QVERIFY(!QFile::exists(d.pfad("halb.db.neu")));
    }

    // A damaged file: every mdbtools run is held to its limits, the takeover stops with a
    // German message, nothing is written and the original stays as it was.
    void beschaedigteDatei_data() {
        QTest::addColumn<qint64>("laenge");
        QTest::newRow("1,5 MB") << qint64(1500000);
        QTest::newRow("1,0 MB") << qint64(1000000);
        QTest::newRow("0,2 MB") << qint64(200000);
    }
    void beschaedigteDatei() {
        QFETCH(qint64, laenge);
        TestDaten d;
        const QString kaputt = d.pfad("Kaputt.mdb");
        QVERIFY(QFile::copy(kDaten + "/nwind.mdb", kaputt));
        QFile f(kaputt);
        QVERIFY(f.setPermissions(f.permissions() | QFileDevice::WriteOwner));
        QVERIFY(f.resize(laenge));
        const QByteArray vorher = lesen(kaputt);
        QElapsedTimer uhr;
        uhr.start();
        QString text;
        QVERIFY(!accessDateiUebernehmen(kaputt, d.pfad("Kaputt.db"), kJetzt, {}, &text));
        QVERIFY2(text.contains("beschädigt"), qPrintable(text));
        // mdbtools' own words only after the German sentence, named as such.
        const qsizetype meldung = text.indexOf("\nMeldung von mdbtools: ");
        const qsizetype englisch = std::max(text.indexOf("offset"), text.indexOf("Unrecognized"));
        QVERIFY2(englisch < 0 || (meldung >= 0 && englisch > meldung), qPrintable(text));
        QVERIFY(!QFile::exists(d.pfad("Kaputt.db")));
        QVERIFY(!QFile::exists(d.pfad("Kaputt.db.neu")));
        QCOMPARE(lesen(kaputt), vorher);
        // The export of a table that never ends (warnings on every row) is cut off.
        MdbToolsLeser leser(kaputt);
        bool abgebrochen = false;
        try {
            QVERIFY(leser.daten("Orders").size() <= 10 * laenge);
        } catch (const AccessFehler& e) {
            QVERIFY2(e.text().contains("beschädigt"), qPrintable(e.text()));
            abgebrochen = true;
        }
        QVERIFY(abgebrochen || laenge != 1500000);  // that one prints warnings without end
        QVERIFY2(uhr.elapsed() < MdbToolsLeser::kZeitMs + 30000,
                 qPrintable(QString::number(uhr.elapsed())));
    }

    // Copies of the public samples cut off at several lengths (whole pages and not): never
    // a success, the German message names the damage, nothing is left beside the old file
    // and no safety copy stays behind.
    void abgeschnitteneDateien_data() {
        QTest::addColumn<QString>("muster");
        QTest::addColumn<qint64>("laenge");
        QTest::addColumn<QString>("grund");
        QTest::newRow("Jet 4, 10 Seiten")
            << "DateTestDatabase.mdb" << qint64(10 * 4096)
            << "ihr Verzeichnis der Tabellen kann nicht gelesen werden. Es wurde nichts "
               "übernommen; die Datei bleibt, wie sie ist.\nMeldung von mdbtools: offset 69632 "
               "is beyond EOF";
        QTest::newRow("Jet 4, 30 Seiten") << "DateTestDatabase.mdb" << qint64(30 * 4096)
                                          << "ihr Verzeichnis der Tabellen";
        QTest::newRow("Jet 4, 100000") << "DateTestDatabase.mdb" << qint64(100000)
                                       << "kein Vielfaches ihrer Seitengröße (4096 Bytes)";
        QTest::newRow("Jet 4, 274431") << "DateTestDatabase.mdb" << qint64(274431)
                                       << "kein Vielfaches";
        QTest::newRow("Jet 3, 440 Seiten") << "nwind.mdb" << qint64(440 * 2048) << "beschädigt: ";
        QTest::newRow("Jet 3, 2702131") << "nwind.mdb" << qint64(2702131)
                                        << "kein Vielfaches ihrer Seitengröße (2048 Bytes)";
    }
    void abgeschnitteneDateien() {
        QFETCH(QString, muster);
        QFETCH(qint64, laenge);
        QFETCH(QString, grund);
        TestDaten d;
        QVERIFY(QDir().mkpath(d.pfad("stick")));
        const QString alt = d.pfad("stick/Alt.mdb");
        QVERIFY(QFile::copy(kDaten + "/" + muster, alt));
        QFile f(alt);
        QVERIFY(f.setPermissions(f.permissions() | QFileDevice::WriteOwner));
        QVERIFY(f.resize(laenge));
        f.close();
        const QStringList vorher = inhalt(d.pfad("stick"));
        const QStringList sicherungen = inhalt(sicherungsordner());
        QString text;
        QVERIFY(!accessDateiUebernehmen(alt, d.pfad("stick/Alt.db"), kJetzt, {}, &text));
        QVERIFY2(text.contains("\"" + alt + "\" ist beschädigt") && text.contains(grund),
                 qPrintable(text));
        QVERIFY2(text.contains("Es wurde nichts übernommen"), qPrintable(text));
        QCOMPARE(inhalt(d.pfad("stick")), vorher);
        QCOMPARE(inhalt(sicherungsordner()), sicherungen);
        QCOMPARE(QFileInfo(alt).size(), laenge);
#ifndef Q_OS_WIN  // the program built here is Linux's
        // The same on the command line: exit code 1, the message on standard error.
        QProcess p;
        p.start(ZK_APP, {"--uebernehmen", alt, d.pfad("Alt.db")});
        QVERIFY(p.waitForFinished(120000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains("ist beschädigt"));
        QVERIFY(!QFile::exists(d.pfad("Alt.db")));
        QCOMPARE(inhalt(d.pfad("stick")), vorher);
#endif
    }

    // A table that gives fewer rows than the file declares ends the takeover, naming it.
    void wenigerZeilenAlsErklaert() {
        struct Verliert : Mitschnitt {
            using Mitschnitt::Mitschnitt;
            qint64 zeilenzahl(const QString& t) override {
                const QByteArray csv = daten(t);
                QStringList kopf;
                const qint64 n = static_cast<qint64>(mdbtext::zeilen(csv, &kopf).size());
                return t == "Einzelergebnisse" ? n + 1 : n;  // one row lost on a bad page
            }
        } leser(kDaten + "/access-verein");
        TestDaten d;
        Uebernahmebericht bericht;
        QString text;
        QVERIFY(!Accessuebernahme(leser).uebernehmen(d.pfad("neu.db"), &bericht, &text));
        QVERIFY2(text.startsWith("Die Access-Datei ist beschädigt: die Tabelle Einzelergebnisse "
                                 "hat "),
                 qPrintable(text));
        QVERIFY(!QFile::exists(d.pfad("neu.db")));
        QVERIFY(!QFile::exists(d.pfad("neu.db.neu")));
    }

    // An old file on a stick that cannot be written is taken over: the safety copy goes to
    // the backups folder, nothing is written beside the old file.
    void schreibgeschuetzteQuelle() {
        TestDaten d;
        QVERIFY(QDir().mkpath(d.pfad("stick")));
        const QString alt = d.pfad("stick/Training.mdb");
        QVERIFY(QFile::copy(kDaten + "/DateTestDatabase.mdb", alt));
        QVERIFY(QFile::setPermissions(alt, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        QVERIFY(QFile::setPermissions(d.pfad("stick"),
                                      QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const QStringList vorher = inhalt(d.pfad("stick"));
        QString text;
        const bool ok = accessDateiUebernehmen(alt, d.pfad("Neu.db"), kJetzt, {}, &text,
                                               d.pfad("sicherungen"));
        const QStringList nachher = inhalt(d.pfad("stick"));
        QFile::setPermissions(d.pfad("stick"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner);
        QVERIFY2(ok, qPrintable(text));
        QCOMPARE(nachher, vorher);
        QVERIFY(text.contains("1 Tabelle, 6 Zeilen"));
        const QStringList kopien = inhalt(d.pfad("sicherungen"));
        QCOMPARE(kopien.size(), 1);
        QVERIFY(kopien[0].startsWith("Sicherung_Training ") && kopien[0].endsWith(".mdb"));
        QCOMPARE(lesen(d.pfad("sicherungen/" + kopien[0])), lesen(alt));
    }

    // A program that never stops writing is stopped as the bytes arrive: the takeover
    // stays far below 100 MB, on standard output and on the error channel alike.
    void endloserSchreiber_data() {
#ifdef Q_OS_WIN
        QSKIP("Nur unter Linux: die Programme sind hier Shell-Skripte, gemessen mit python3.");
#endif
        QTest::addColumn<QByteArray>("ausgeben");
        QTest::addColumn<QString>("meldung");
        QTest::newRow("Ausgabe") << QByteArray("echo 'a,b'; exec yes '1,\"xxxxxxxxxxxxxxxxxxxx\"'")
                                 << "mdb-export kommt an kein Ende";
        QTest::newRow("Warnungen")
            << QByteArray("echo 'a,b'; exec yes 'Warning: mdb_col_to_string called on "
                          "unsupported data type 0.' >&2")
            << "die Tabelle T kann nicht ganz gelesen werden. Es wurde nichts übernommen; die "
               "Datei bleibt, wie sie ist.\nMeldung von mdbtools: Warning: mdb_col_to_string";
    }
    void endloserSchreiber() {
#ifdef Q_OS_WIN
        QSKIP("Nur unter Linux: die Programme sind hier Shell-Skripte, gemessen mit python3.");
#else
        QFETCH(QByteArray, ausgeben);
        QFETCH(QString, meldung);
        TestDaten d;
        const QString bin = d.pfad("bin");
        QVERIFY(QDir().mkpath(bin));
        skript(bin, "mdb-ver", "echo JET4");
        skript(bin, "mdb-tables", "echo T");
        skript(bin, "mdb-schema", "printf 'CREATE TABLE [T]\\n (\\n\\t[a]\\t\\t\\tText (5),\\n\\t[b]\\t\\t\\tText (50)\\n);\\n'");
        skript(bin, "mdb-count", "echo 1");
        skript(bin, "mdb-export", ausgeben);
        QFile alt(d.pfad("alt.mdb"));
        QVERIFY(alt.open(QIODevice::WriteOnly));
        alt.write(QByteArray(4096, '\0'));
        alt.close();
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PATH", bin + ":/usr/bin:/bin");
        p.setProcessEnvironment(env);
        // Python reports the peak memory of the program and what it started.
        p.start("python3", {"-c",
                            "import resource, subprocess, sys\n"
                            "r = subprocess.run(sys.argv[1:], capture_output=True, text=True)\n"
                            "print(r.returncode)\n"
                            "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)\n"
                            "print(r.stderr)\n",
                            ZK_APP, "--uebernehmen", alt.fileName(), d.pfad("neu.db")});
        QVERIFY(p.waitForFinished(120000));
        const QStringList aus = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
        QVERIFY2(aus.size() >= 3, qPrintable(aus.join('\n')));
        QCOMPARE(aus[0], QString("1"));
        const qint64 kib = aus[1].toLongLong();
        qInfo("Höchster Speicher: %lld KiB", kib);
        QVERIFY2(kib > 0 && kib < 100 * 1024, qPrintable(aus[1]));
        QVERIFY2(aus.mid(2).join('\n').contains(meldung), qPrintable(aus.mid(2).join('\n')));
        QVERIFY(!QFile::exists(d.pfad("neu.db")));
        QVERIFY(!QFile::exists(d.pfad("neu.db.neu")));
#endif
    }

    // What mdbtools can and cannot give: Binary as bytes, Currency and Numeric with every
    // digit, old and extended dates named in the report with their text kept, a club
    // result's date with a time of day taken as its day.
    void verlusteWerdenGenannt() {
        struct Gemacht : Mitschnitt {
            using Mitschnitt::Mitschnitt;
            QStringList tabellen() override { return Mitschnitt::tabellen() << "Geraete"; }
            QString schema(const QString& t) override {
                if (t != "Geraete")
                    return Mitschnitt::schema(t);
                return "CREATE TABLE [Geraete]\n (\n\t[Nr]\t\t\tLong Integer, \n"
                       "\t[Kennung]\t\t\tBinary (16), \n\t[Preis]\t\t\tCurrency, \n"
                       "\t[Summe]\t\t\tCurrency, \n\t[Anteil]\t\t\tNumeric (28, 4), \n"
                       "\t[Gekauft]\t\t\tDateTime, \n\t[Geprueft]\t\t\tDateTime Extended\n);\n";
            }
            QByteArray daten(const QString& t) override {
                if (t == "Ergebnis")
                    return Mitschnitt::daten(t).replace("\"2024-04-03 00:00:00\"",
                                                        "\"2024-04-03 19:30:00\"");
                if (t != "Geraete")
                    return Mitschnitt::daten(t);
                return "Nr,Kennung,Preis,Summe,Anteil,Gekauft,Geprueft\n"
                       "1,6162FF00,18.0000,12345678901234.5678,0.1234567890123456789012,"
                       "\"1900-01-00 00:00:00\",\n"
                       "2,,19.9900,0.5000,1.5000,\"2021-12-02 00:00:00\",\n";
            }
        } leser(kDaten + "/access-verein");
        Programmfenster p;
        const QString neu = p.daten.pfad("ordner/fehlt/noch/Verein.db");  // made, as a move does
        Uebernahmebericht bericht;
        QString fehler;
        QVERIFY2(Accessuebernahme(leser).uebernehmen(neu, &bericht, &fehler), qPrintable(fehler));
        QCOMPARE(bericht.nichtLesbar,
                 (QStringList{"Geraete: 1 Datumswerte (Feld Gekauft) kann mdbtools nicht lesen, "
                              "meist Tage vor 1900; übernommen wurde sein Text, z. B. "
                              "\"1900-01-00 00:00:00\".",
                              "Geraete: Das Feld Geprueft (Datum/Zeit erweitert) kann mdbtools "
                              "nicht lesen; es bleibt leer."}));
        QVERIFY(bericht.text("alt", neu).contains("\n\nNicht lesbar:\nGeraete: 1 Datumswerte"));
        Database db;
        QVERIFY(db.open(neu, &fehler));
        QCOMPARE(typVon(db, "Geraete", "Kennung"), QStringLiteral("BLOB"));
        QCOMPARE(db.run("SELECT Kennung, typeof(Kennung) FROM Geraete WHERE Nr = 1").rows[0],
                 (QVariantList{QByteArray("ab\xff\x00", 4), "blob"}));
        QCOMPARE(typVon(db, "Geraete", "Preis"), QStringLiteral("DOUBLE"));
        QCOMPARE(typVon(db, "Geraete", "Summe"), QStringLiteral("TEXT"));
        QCOMPARE(typVon(db, "Geraete", "Anteil"), QStringLiteral("TEXT"));
        QCOMPARE(db.run("SELECT Preis, Summe, Anteil, Gekauft FROM Geraete ORDER BY Nr").rows,
                 (std::vector<QVariantList>{{18.0, "12345678901234.5678",
                                             "0.1234567890123456789012", "1900-01-00 00:00:00"},
                                            {19.99, "0.5000", "1.5000", "2021-12-02"}}));
        QCOMPARE(db.run("SELECT Datum FROM Ergebnis WHERE MitglNr = 7").rows[0][0],
                 QVariant("2024-04-03"));
        db.close();
        // The evening is found by its day.
        p.ini.IniSchreiben("DB1", "DATEI", neu);
        p.starten();
        p.nummer("7");
        QCOMPARE(p.text("Scheibe_1"), QStringLiteral(" 91"));
        QVERIFY(mdbtext::passtInDouble("123456789012345.0000"));
        QVERIFY(!mdbtext::passtInDouble("1234567890123456"));
        QVERIFY(mdbtext::passtInDouble("-0.000000000012345"));
    }

    void slotUndWettkampfdatei() {
        // A slot naming an old file: offered before it is opened, then pointed at the new one.
        Programmfenster p{QStringLiteral("RMIII"), false};
        QVERIFY(QFile::copy(kDaten + "/DateTestDatabase.mdb", p.daten.pfad("Alt.mdb")));
        p.ini.IniSchreiben("DB1", "NAME", "Training");
        p.ini.IniSchreiben("DB1", "DATEI", p.daten.pfad("Alt.mdb"));
        p.dialogs.answerNo();
        altdateien::slotPruefen(p.ini, p.dialogs, p.uhr, nullptr, "Training");
        QVERIFY(p.dialogs.questions.last().startsWith("\"" + p.daten.pfad("Alt.mdb") +
                                                      "\" ist eine Datenbank des alten Programms"));
        QVERIFY(!QFile::exists(p.daten.pfad("Alt.db")));
        QCOMPARE(p.ini.IniLesen("DB1", "DATEI"), p.daten.pfad("Alt.mdb"));
        p.dialogs.answerYes();
        altdateien::slotPruefen(p.ini, p.dialogs, p.uhr, nullptr, "");  // "" opens DB1 as well
        QVERIFY(QFile::exists(p.daten.pfad("Alt.db")));
        QCOMPARE(p.ini.IniLesen("DB1", "DATEI"), p.daten.pfad("Alt.db"));
        QVERIFY(p.dialogs.messages.last().contains("1 Tabelle, 6 Zeilen"));
        QVERIFY(!QFile::exists(p.daten.pfad("Sicherung_Alt.mdb")));
        QVERIFY(p.dialogs.messages.last().contains(
            "\nSicherung: " + QDir(paths::documentsDir()).filePath("Zielkunst-Sicherungen/Sicherung_Alt ")));
        // Asked again, nothing happens: the slot has the new file.
        const int fragen = p.dialogs.questions.size();
        altdateien::slotPruefen(p.ini, p.dialogs, p.uhr, nullptr, "Training");
        QCOMPARE(p.dialogs.questions.size(), fragen);

        // The competition file "wettk.mdb" beside a missing "wettk.db".
        QVERIFY(QFile::copy(kDaten + "/DateTestDatabase.mdb", p.daten.pfad("wettk.mdb")));
        p.dialogs.answerYes();
        altdateien::wettkampfPruefen(p.daten.pfad("wettk.db"), p.dialogs, p.uhr, nullptr);
        QVERIFY(QFile::exists(p.daten.pfad("wettk.db")));
        altdateien::wettkampfPruefen(p.daten.pfad("wettk.db"), p.dialogs, p.uhr, nullptr);  // no question
        QVERIFY(p.dialogs.allAnswersUsed());
        QCOMPARE(p.dialogs.unansweredQuestions, 0);
    }

    // A first start without wettk.ini, the old Training.mdb in the documents folder, and an
    // empty Training.db made before: the takeover is offered, the empty file put aside.
    void ersterStartMitAlterDatei() {
        Programmfenster p{QStringLiteral("RMIII"), false};
        const QString alt = QDir(paths::documentsDir()).filePath("Training.mdb");
        QDir().mkpath(QFileInfo(alt).absolutePath());
        QFile::remove(alt);
        QVERIFY(QFile::copy(kDaten + "/DateTestDatabase.mdb", alt));
        const QString neu = paths::defaultClubDatabase();
        QFile::remove(neu);
        QString fehler;
        QVERIFY(schema::neueVereinsdatenbank(neu, &fehler));  // empty, from a first start
        p.dialogs.answerYes();
        altdateien::slotPruefen(p.ini, p.dialogs, p.uhr, nullptr, "");
        // The folder as Windows writes it, where it is Windows.
        QVERIFY2(p.dialogs.questions.last().startsWith("\"" + QDir::toNativeSeparators(alt) +
                                                       "\" ist eine Datenbank"),
                 qPrintable(p.dialogs.questions.join('|')));
        QVERIFY(p.dialogs.messages.last().contains("1 Tabelle, 6 Zeilen"));
        Database db;
        QVERIFY(db.open(neu, &fehler));
        QVERIFY(db.hasTable("DateTest"));
        QVERIFY(QFile::exists(
            QDir(paths::documentsDir()).filePath("Training (leer, vor der Übernahme).db")));
        db.close();
        // Now the file holds what was taken over: not offered again.
        const int fragen = p.dialogs.questions.size();
        altdateien::slotPruefen(p.ini, p.dialogs, p.uhr, nullptr, "");
        QCOMPARE(p.dialogs.questions.size(), fragen);
        for (const QString& f :
             {alt, neu,
              QDir(paths::documentsDir()).filePath("Training (leer, vor der Übernahme).db")})
            QFile::remove(f);
    }

    void kommandozeile() {
#ifdef Q_OS_WIN
        QSKIP("Nur unter Linux: ruft das für Linux gebaute Programm auf.");
#else
        {
            // --version and --help answer without a window (no display needed).
            QProcess v;
            QProcessEnvironment ohneAnzeige = QProcessEnvironment::systemEnvironment();
            ohneAnzeige.remove("QT_QPA_PLATFORM");
            ohneAnzeige.remove("DISPLAY");
            v.setProcessEnvironment(ohneAnzeige);
            v.start(ZK_APP, {"--version"});
            QVERIFY(v.waitForFinished(10000));
            QCOMPARE(v.exitCode(), 0);
            QCOMPARE(QString::fromUtf8(v.readAllStandardOutput()).trimmed(),
                     QString("Zielkunst ") + programmVersion());
            v.start(ZK_APP, {"--help"});
            QVERIFY(v.waitForFinished(10000));
            QCOMPARE(v.exitCode(), 0);
            const QString hilfe = QString::fromUtf8(v.readAllStandardOutput());
            QVERIFY(hilfe.contains("--uebernehmen") && hilfe.contains("--umziehen"));
            // the folders this user really has
            QVERIFY2(hilfe.contains(QDir(paths::documentsDir()).filePath("Zielkunst-Sicherungen")),
                     qPrintable(hilfe));
            QVERIFY(hilfe.contains("/zielkunst/wettk.ini"));
            v.start(ZK_APP, {"--gibtsnicht"});
            QVERIFY(v.waitForFinished(10000));
            QCOMPARE(v.exitCode(), 2);
        }
        TestDaten d;
        QVERIFY(QFile::copy(kDaten + "/DateTestDatabase.mdb", d.pfad("alt.mdb")));
        QProcess p;
        p.start(ZK_APP, {"--uebernehmen", d.pfad("alt.mdb"), d.pfad("neu.db")});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(QString::fromUtf8(p.readAllStandardOutput()).contains("1 Tabelle, 6 Zeilen"));
        QVERIFY(QFile::exists(d.pfad("neu.db")));
        p.start(ZK_APP, {"--uebernehmen", d.pfad("alt.mdb"), d.pfad("neu.db")});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains("nicht überschrieben"));
        p.start(ZK_APP, {"--uebernehmen", d.pfad("alt.mdb")});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(QString::fromUtf8(p.readAllStandardError())
                    .startsWith("Aufruf: zielkunst --uebernehmen ALT.mdb NEU.db"));
#endif
    }
};

QTEST_MAIN(TestAccessuebernahme)
#include "test_accessuebernahme.moc"
