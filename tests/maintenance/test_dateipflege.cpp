// Moving data between the club files of slot 1 and slot 4, and bringing older club files to
// the current schema with a backup first.
#include <QtTest>

#include <QFile>

#include "core/Schema.h"
#include "maintenance/Konvertierung.h"
#include "maintenance/Tabellenuebernahme.h"
#include "platform/Clock.h"
#include "platform/Sicherung.h"
#include "tests/support/Programmfenster.h"

namespace {

// The time every transfer's log line carries.
const FixedClock uhr{QDateTime(QDate(2026, 12, 9), QTime(20, 15, 7))};

// A club file of its own in the fixture's folder.
struct Datei {
    QString pfad;
    Database db;
    Datei(TestDaten& d, const QString& name, bool schema = true) : pfad(d.pfad(name)) {
        QString fehler;
        if (schema)
            QVERIFY2(schema::neueVereinsdatenbank(pfad, &fehler), qPrintable(fehler));
        QVERIFY2(db.open(pfad, &fehler, true), qPrintable(fehler));
    }
    int zahl(const QString& sql) { return db.run(sql).rows[0][0].toInt(); }
    void ergebnis(int nr, const char* datum, int schuesse) {
        db.run("INSERT INTO Ergebnis (MitglNr, Datum, S1) VALUES (?, ?, 90)", {nr, datum});
        for (int s = 1; s <= schuesse; ++s) {
            db.run(
                "INSERT INTO Einzelergebnisse (MitglNr, Datum, Schuss, Ring) VALUES (?, ?, ?, 9)",
                {nr, datum, s});
        }
    }
    // Member and day of every result, and the number of single shots, as one text.
    QString abende() {
        QStringList t;
        for (const auto& z : db.run("SELECT MitglNr, Datum, (SELECT count(*) FROM Einzelergebnisse s "
                                    "WHERE s.MitglNr = e.MitglNr AND s.Datum = e.Datum) "
                                    "FROM Ergebnis e ORDER BY 1, 2")
                                 .rows)
            t << QString("%1/%2/%3").arg(z[0].toInt()).arg(z[1].toString()).arg(z[2].toInt());
        return t.join(u' ');
    }
    QByteArray bytes() {
        QFile f(pfad);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    // Every table's definition and rows, as one text.
    QString inhalt() {
        QStringList t;
        const char* tabellen = "SELECT name, sql FROM sqlite_master WHERE type = 'table' ORDER BY 1";
        for (const auto& tab : db.run(tabellen).rows) {
            t << tab[1].toString();
            const QString sql = QString("SELECT * FROM \"%1\" ORDER BY rowid").arg(tab[0].toString());
            for (const auto& z : db.run(sql).rows) {
                QStringList f;
                for (const QVariant& v : z)
                    f << (v.isNull() ? QStringLiteral("NULL") : v.toString());
                t << f.join(u'|');
            }
        }
        return t.join(u'\n');
    }
};

const QString kKeineDb = QStringLiteral("Unter 4 ist keine DB angegeben");

}  // namespace

class TestDateipflege : public QObject {
    Q_OBJECT
  private slots:
    void vorbedingung() {
        TestDaten d;
        Datei eins(d, "eins.db");
        eins.db.run("INSERT INTO Mitglieder (Nr, Name) VALUES (1, 'A')");
        ScriptedDialogs dialogs;
        Tabellenuebernahme(dialogs, uhr, eins.pfad, eins.pfad).mitglieder();
        Tabellenuebernahme(dialogs, uhr, eins.pfad, d.pfad("fehlt.db")).mitglieder();
        QCOMPARE(dialogs.messages, (QStringList{kKeineDb, kKeineDb}));
        // The same file written differently: refused, the table is not emptied.
        dialogs.answerYes();
        dialogs.answerYes();
        Tabellenuebernahme(dialogs, uhr, eins.pfad, d.pfad("./eins.db")).mitglieder();
        QVERIFY(dialogs.messages.last().startsWith("Unter 1 und unter 4 ist dieselbe Datei"));
        QVERIFY(dialogs.questions.isEmpty());
        QCOMPARE(eins.zahl("SELECT count(*) FROM Mitglieder"), 1);
        Tabellenuebernahme(dialogs, uhr, eins.pfad, "mariadb://verein@127.0.0.1:3306/verein")
            .mitglieder();
        QVERIFY(dialogs.messages.last().startsWith("Tabellen werden nur zwischen Dateien"));
    }

    void tabellenKopieren() {
        TestDaten d;
        Datei eins(d, "eins.db");
        Datei vier(d, "vier.db", false);
        eins.db.run(
            "INSERT INTO Mitglieder (Nr, Name, Klasse) VALUES (1, 'Anna', 2), "
            "(2, 'Bernd', 1), (3, 'Carla', 3)");
        eins.db.run("CREATE TABLE MSysObjekte (x)");
        eins.db.run("CREATE TABLE Zusatz (x)");
        // Slot 4 orders the fields its own way and lacks some: the copy goes by name.
        vier.db.run("CREATE TABLE Mitglieder (Name TEXT, Nr INTEGER, Extra TEXT DEFAULT 'x')");
        vier.db.run("CREATE TABLE Klassen (Klasse INTEGER, Bez TEXT)");
        vier.db.run("INSERT INTO Mitglieder (Name, Nr) VALUES ('Alt', 9)");

        ScriptedDialogs dialogs;
        for (const char* antwort :
             {"Ja", "Nein", "Nein", "Nein", "Nein", "Nein", "Nein", "Nein", "Nein", "Ja"}) {
            antwort[0] == 'J' ? dialogs.answerYes() : dialogs.answerNo();
        }
        Tabellenuebernahme(dialogs, uhr, eins.pfad, vier.pfad).ausgewaehlteTabellen();
        // in the file's order; the program's own notes are not offered
        QCOMPARE(
            dialogs.questions,
            (QStringList{"Tabelle Mitglieder übernehmen ?", "Alte Daten vor Übernahme löschen",
                         "Tabelle Ergebnis übernehmen ?", "Tabelle Einzelergebnisse übernehmen ?",
                         "Tabelle Sonder übernehmen ?", "Tabelle Ringe übernehmen ?",
                         "Tabelle Teiler übernehmen ?", "Tabelle Klassen übernehmen ?",
                         "Tabelle Jahrestab übernehmen ?", "Tabelle Zusatz übernehmen ?"}));
        QCOMPARE(dialogs.messages, QStringList{"Die Tabelle Zusatz gibt es in \"" + vier.pfad +
                                               "\" nicht; sie wird nicht übernommen."});
        QCOMPARE(vier.db.run("SELECT Name, Nr, Extra FROM Mitglieder ORDER BY Nr").rows,
                 (std::vector<QVariantList>{
                     {"Anna", 1, "x"}, {"Bernd", 2, "x"}, {"Carla", 3, "x"}, {"Alt", 9, "x"}}));

        // "Nein" to deleting: members whose number 4 has already are named, not copied twice;
        // deleting is asked with "Nein" as the default.
        eins.db.run("INSERT INTO Mitglieder (Nr, Name, Klasse) VALUES (4, 'Dora', 1)");
        dialogs.answerYes();
        dialogs.answerNo();
        Tabellenuebernahme(dialogs, uhr, eins.pfad, vier.pfad).mitglieder();
        QCOMPARE(dialogs.messages.mid(dialogs.messages.size() - 2),
                 (QStringList{"Diese Mitglieder haben in \"" + vier.pfad +
                                  "\" schon ihre Nummer und wurden nicht übernommen:\n1 Anna\n"
                                  "2 Bernd\n3 Carla",
                              "Ausgewählte Dateien wurden übernommen"}));
        QVERIFY(dialogs.questionsDefaultNo.contains("Alte Daten vor Übernahme löschen"));
        QCOMPARE(vier.zahl("SELECT count(*) FROM Mitglieder"), 5);
        eins.db.run("DELETE FROM Mitglieder WHERE Nr = 4");
        dialogs.answerYes();
        dialogs.answerYes();
        Tabellenuebernahme(dialogs, uhr, eins.pfad, vier.pfad).mitglieder();
        QCOMPARE(vier.zahl("SELECT count(*) FROM Mitglieder"), 3);
        // the members replaced are noted in 4's log, made for this file of an older program
        const QString log = "SELECT Tabelle, MitglNr, Feld, Alt, Neu, Anlass FROM Aenderungen";
        const std::vector<QVariantList> ersetzt{
            {"Mitglieder", QVariant(), "*", "5 Zeilen",
             "ersetzt durch die Zeilen aus \"" + eins.pfad + "\"", "Übernahme"}};
        auto ohneNull = [&](Datei& datei) {
            std::vector<QVariantList> z = datei.db.run(log).rows;
            for (QVariantList& r : z)
                r[1] = r[1].isNull() ? QVariant() : r[1];
            return z;
        };
        QCOMPARE(ohneNull(vier), ersetzt);
        QCOMPARE(vier.db.run("SELECT Zeit FROM Aenderungen").rows[0][0].toString(),
                 QStringLiteral("2026-12-09 20:15:07"));
        // A copy that fails is named under slot 4's file and never reported as done.
        vier.db.run(
            "CREATE TRIGGER nein BEFORE INSERT ON Mitglieder "
            "BEGIN SELECT RAISE(ABORT, 'Platte voll'); END");
        dialogs.answerYes();
        dialogs.answerYes();
        Tabellenuebernahme(dialogs, uhr, eins.pfad, vier.pfad).mitglieder();
        QCOMPARE(dialogs.messages.last(), "Die Tabelle Mitglieder wurde nicht übernommen; \"" +
                                              vier.pfad +
                                              "\" ist unverändert.\nMeldung des "
                                              "Datenbanktreibers: Platte voll");
        QCOMPARE(vier.zahl("SELECT count(*) FROM Mitglieder"), 3);
        QCOMPARE(ohneNull(vier), ersetzt);  // nor is a failed one logged
        vier.db.run("DROP TRIGGER nein");
        QCOMPARE(eins.zahl("SELECT count(*) FROM Mitglieder"), 3);
        // Declined: the closing message all the same, nothing copied.
        dialogs.answerNo();
        Tabellenuebernahme(dialogs, uhr, eins.pfad, vier.pfad).mitglieder();
        QCOMPARE(dialogs.messages.last(), QStringLiteral("Ausgewählte Dateien wurden übernommen"));
        QCOMPARE(vier.zahl("SELECT count(*) FROM Mitglieder"), 3);
    }

    void ergebnisseNachTag() {
        TestDaten d;
        Datei eins(d, "eins.db");
        Datei vier(d, "vier.db");
        eins.ergebnis(1, "2024-04-01", 3);  // Monday: stays
        eins.ergebnis(1, "2024-04-03", 2);  // Wednesday: moves to 4
        eins.ergebnis(2, "2024-04-03", 5);  // also in 4: stays in both
        vier.ergebnis(2, "2024-04-03", 1);
        vier.ergebnis(3, "2024-04-08", 4);  // Monday in 4: moves to 1
        vier.ergebnis(4, "2024-04-05", 0);  // Friday: stays
        ScriptedDialogs dialogs;
        Tabellenuebernahme(dialogs, uhr, eins.pfad, vier.pfad).nachTagSortieren("Mo");
        QCOMPARE(dialogs.messages, QStringList{"Ausgewählte Dateien wurden übernommen"});
        QCOMPARE(eins.abende(), QStringLiteral("1/2024-04-01/3 2/2024-04-03/5 3/2024-04-08/4"));
        QCOMPARE(vier.abende(), QStringLiteral("1/2024-04-03/2 2/2024-04-03/1 4/2024-04-05/0"));
        QCOMPARE(eins.zahl("SELECT count(*) FROM Einzelergebnisse"), 12);
        QCOMPARE(vier.zahl("SELECT count(*) FROM Einzelergebnisse"), 3);
        // each file notes what left it
        const QString log = "SELECT Tabelle, Feld, Alt, Neu, Anlass FROM Aenderungen";
        QCOMPARE(
            eins.db.run(log).rows,
            (std::vector<QVariantList>{{"Ergebnis", "*", "1 Ergebnis",
                                        "verschoben nach \"" + vier.pfad + "\"", "Übernahme"}}));
        QCOMPARE(
            vier.db.run(log).rows,
            (std::vector<QVariantList>{{"Ergebnis", "*", "1 Ergebnis",
                                        "verschoben nach \"" + eins.pfad + "\"", "Übernahme"}}));
    }

    void verschiebenScheitertGanz() {
        TestDaten d;
        Datei eins(d, "eins.db");
        Datei vier(d, "vier.db");
        eins.ergebnis(1, "2024-04-03", 2);
        eins.ergebnis(2, "2024-04-03", 2);
        vier.ergebnis(3, "2024-04-08", 4);
        // The second result's shots cannot be written into slot 4.
        vier.db.run(
            "CREATE TRIGGER voll BEFORE INSERT ON Einzelergebnisse WHEN NEW.MitglNr = 2 "
            "BEGIN SELECT RAISE(ABORT, 'Datenträger voll'); END");
        const QString vorher1 = eins.abende(), vorher4 = vier.abende();
        ScriptedDialogs dialogs;
        Tabellenuebernahme(dialogs, uhr, eins.pfad, vier.pfad).nachTagSortieren("Mo");
        QVERIFY2(dialogs.messages.last().startsWith(
                     "Die Ergebnisse wurden nicht sortiert; beide Dateien sind unverändert.\n"),
                 qPrintable(dialogs.messages.last()));
        QVERIFY(dialogs.messages.last().contains("Datenträger voll"));
        QCOMPARE(eins.abende(), vorher1);
        QCOMPARE(vier.abende(), vorher4);
        QCOMPARE(eins.zahl("SELECT count(*) FROM Aenderungen") +
                     vier.zahl("SELECT count(*) FROM Aenderungen"),
                 0);
    }

    void konvertieren() {
        Programmfenster p;
        p.starten();
        TestDaten& d = p.daten;
        const QString aktuell = d.dbPfad();  // the main window's database, at 4.0.0
        {
            Datei alt(d, "alt.db", false);
            alt.db.run("CREATE TABLE Sonder (AnwPunkte INTEGER, PistolenTeiler SINGLE)");
            alt.db.run("INSERT INTO Sonder VALUES (2, 5.5)");
            alt.db.run(
                "CREATE TABLE Ergebnis (MitglNr INTEGER, Datum DATE, S1 LONG, S2 LONG, "
                "S3 LONG, S4 LONG, Gesammt DOUBLE)");
            alt.db.run("INSERT INTO Ergebnis VALUES (7, '2003-05-06', 90, 91, 92, 93, 366)");
            Datei andere(d, "andere.db", false);
            andere.db.run("CREATE TABLE Sonder (AnwPunkte INTEGER, Version TEXT(10))");
            andere.db.run("INSERT INTO Sonder VALUES (2, '3.2')");
            andere.db.run("CREATE TABLE Ergebnis (MitglNr INTEGER, S5 LONG, S6 LONG)");
        }
        const QString altVorher = Datei(d, "alt.db", false).inhalt();
        const QString aktuellVorher = Datei(d, "Training.db", false).inhalt();
        const QString fehlt = d.pfad("nicht/da.db");
        ScriptedDialogs dialogs;
        DB_Convert(p.club, {aktuell, d.pfad("alt.db"), fehlt, d.pfad("andere.db")}, dialogs,
                   [&] { p.w->datenbankWiederOeffnen(); });
        const QString alt = d.pfad("alt.db"), andere = d.pfad("andere.db");
        QCOMPARE(
            dialogs.messages,
            (QStringList{"Prüfe Datei " + aktuell, "Prüfe Datei " + alt,
                         "Setze Version von " + alt + " auf 4.0.0",
                         "Setze Version von " + alt + " auf 4.0.0", "Prüfe Datei " + fehlt,
                         "Datenbank " + fehlt +
                             " konnte nicht konvertiert werden, da diese geöffnet ist ! "
                             "Bitte im Hauptfenser andere DB Auswählen und erneut "
                             "versuchen\nDie Datei \"" +
                             fehlt + "\" gibt es nicht.",
                         "Prüfe Datei " + andere, "Setze Version von " + andere + " auf 4.0.0"}));
        // Each backup is the file as it was; the old file has every field now, its row kept.
        QCOMPARE(Datei(d, "Sicherung_alt.db", false).inhalt(), altVorher);
        QCOMPARE(Datei(d, "Sicherung_Training.db", false).inhalt(), aktuellVorher);
        QCOMPARE(Datei(d, "Training.db", false).inhalt(), aktuellVorher);
        Datei altNachher(d, "alt.db", false);
        QCOMPARE(altNachher.db.run("SELECT Version, AnwPunkte FROM Sonder").rows,
                 (std::vector<QVariantList>{{"4.0.0", 2}}));
        QCOMPARE(altNachher.db.run("SELECT MitglNr, S4, S5 IS NULL, S6 IS NULL, Liegend, "
                                   "Scheibentyp IS NULL FROM Ergebnis").rows,
                 (std::vector<QVariantList>{{7, 93, 1, 1, 0, 1}}));
        Datei andereNachher(d, "andere.db", false);
        QStringList felder;
        for (const ColumnInfo& c : andereNachher.db.columns("Ergebnis"))
            felder << c.name;
        QCOMPARE(felder, (QStringList{"MitglNr", "S5", "S6", "Liegend", "Scheibentyp"}));
        // The main window is back on its own file.
        QCOMPARE(p.club.db().path(), aktuell);
    }

    // The backup is one committed state of the file while another program writes it, and a
    // damaged file gives no backup at all.
    void sicherungIstStimmig() {
        TestDaten d;
        Datei quelle(d, "quelle.db");
        quelle.ergebnis(7, "2024-04-03", 20);
        Database anderer;  // another program in the middle of a write
        QString fehler;
        QVERIFY(anderer.open(quelle.pfad, &fehler));
        anderer.begin();
        anderer.run("INSERT INTO Ergebnis (MitglNr, Datum) VALUES (8, '2024-04-03')");
        const QString ziel = d.pfad("sicher.db");
        QVERIFY2(sicherung::dateiSichern(quelle.pfad, ziel, &fehler), qPrintable(fehler));
        anderer.commit();
        Datei kopie(d, "sicher.db", false);
        QCOMPARE(kopie.abende(), QString("7/2024-04-03/20"));
        QVERIFY(!QFile::exists(ziel + ".part"));

        QFile f(quelle.pfad);  // every page after the first one overwritten
        QVERIFY(f.open(QIODevice::ReadWrite));
        const qint64 laenge = f.size();
        f.seek(4096);
        f.write(QByteArray(laenge - 4096, '\x5a'));
        f.close();
        const QString kaputt = d.pfad("kaputt-sicher.db");
        QVERIFY(!sicherung::dateiSichern(quelle.pfad, kaputt, &fehler));
        QVERIFY2(fehler.contains("Fehler") || fehler.contains("lesbar") ||
                     fehler.contains("gescheitert"),
                 qPrintable(fehler));
        QVERIFY(!QFile::exists(kaputt));
        QVERIFY(!QFile::exists(kaputt + ".part"));
    }

    void scheiternLaesstDieDateiStehen() {
        TestDaten d;
        {
            Datei leer(d, "leer.db", false);
            leer.db.run("CREATE TABLE Sonder (AnwPunkte INTEGER)");  // no row to hold a version
            leer.db.run("CREATE TABLE Ergebnis (MitglNr INTEGER)");
        }
        const QByteArray vorher = Datei(d, "leer.db", false).bytes();
        ScriptedDialogs dialogs;
        QString fehler;
        QVERIFY(!dateiKonvertieren(d.pfad("leer.db"), "leer", dialogs, &fehler));
        QCOMPARE(fehler, QStringLiteral("Die Tabelle Sonder hat keine Zeile."));
        QCOMPARE(Datei(d, "leer.db", false).bytes(), vorher);
        // A file that is no database at all.
        QFile kaputt(d.pfad("kaputt.db"));
        QVERIFY(kaputt.open(QIODevice::WriteOnly));
        kaputt.write(QByteArray(4096, 'x'));
        kaputt.close();
        QVERIFY(!dateiKonvertieren(d.pfad("kaputt.db"), "kaputt", dialogs, &fehler));
        QVERIFY(fehler.contains("keine lesbare Datenbank"));
    }
};

QTEST_MAIN(TestDateipflege)
#include "test_dateipflege.moc"
