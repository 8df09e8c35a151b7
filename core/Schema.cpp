#include "core/Schema.h"

#include "core/Sonder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/Aenderungen.h"
#include "platform/Database.h"

namespace schema {
namespace {

QString klassenSpalten() {
    QStringList cols;
    for (int k = 1; k <= 9; ++k) {
        cols << QStringLiteral("Klasse%1 YESNO NOT NULL DEFAULT 0").arg(k);
    }
    return cols.join(QStringLiteral(", "));
}

QStringList anweisungen() {
    return {
        QStringLiteral("CREATE TABLE Mitglieder (Nr INTEGER, Name TEXT(50), Klasse INTEGER, "
                       "Geburtstag DATE, Geschlecht TEXT(1), Strasse TEXT(50), Ort TEXT(50), "
                       "SportpassID TEXT(20))"),
        QStringLiteral("CREATE TABLE Ergebnis (MitglNr INTEGER, Datum DATE, S1 LONG, S2 LONG, "
                       "S3 LONG, S4 LONG, S5 LONG, S6 LONG, Gesammt DOUBLE, Teiler SINGLE, "
                       "Best10 DOUBLE, Best20 DOUBLE, Punkte DOUBLE, Jahr INTEGER, "
                       "Scheibentyp TEXT(3), Liegend YESNO NOT NULL DEFAULT 0, "
                       "Anwesend YESNO NOT NULL DEFAULT 0, MeytonScheibenID DOUBLE)"),
        QStringLiteral("CREATE TABLE Einzelergebnisse (MitglNr INTEGER, Datum DATE, "
                       "Schuss INTEGER, Ring INTEGER, Teiler SINGLE, X SINGLE, Y SINGLE)"),
        QStringLiteral("CREATE TABLE Sonder (AnwPunkte INTEGER, PistolenTeiler SINGLE, "
                       "Version TEXT(10))"),
        QStringLiteral("CREATE TABLE Ringe (URinge DOUBLE, %1, Punkte DOUBLE)")
            .arg(klassenSpalten()),
        QStringLiteral("CREATE TABLE Teiler (OTeiler DOUBLE, %1, Punkte DOUBLE)")
            .arg(klassenSpalten()),
        QStringLiteral("CREATE TABLE Klassen (Klasse INTEGER, Bez TEXT(50), UAlter INTEGER, "
                       "OAlter INTEGER, Geschlecht TEXT(10))"),
        QStringLiteral("CREATE TABLE Jahrestab (Name TEXT(50), Best10 DOUBLE, Best20 DOUBLE, "
                       "Gesammt DOUBLE, Teiler SINGLE, Punkte DOUBLE, Anwesend INTEGER, "
                       "Geschossen INTEGER, Klasse INTEGER)"),
        QStringLiteral("CREATE VIEW Heute AS SELECT Mitglieder.Name AS Name, "
                       "Mitglieder.Klasse AS Klasse, Ergebnis.MitglNr AS MitglNr, "
                       "Ergebnis.Datum AS Datum, Ergebnis.S1 AS S1, Ergebnis.S2 AS S2, "
                       "Ergebnis.S3 AS S3, Ergebnis.S4 AS S4, Ergebnis.S5 AS S5, "
                       "Ergebnis.S6 AS S6, Ergebnis.Gesammt AS Gesammt, "
                       "Ergebnis.Teiler AS Teiler, Ergebnis.Best10 AS Best10, "
                       "Ergebnis.Best20 AS Best20, Ergebnis.Punkte AS Punkte, "
                       "Ergebnis.Jahr AS Jahr, Ergebnis.Scheibentyp AS Scheibentyp, "
                       "Ergebnis.Liegend AS Liegend, Ergebnis.Anwesend AS Anwesend, "
                       "Ergebnis.MeytonScheibenID AS MeytonScheibenID "
                       "FROM Ergebnis INNER JOIN Mitglieder ON Ergebnis.MitglNr = Mitglieder.Nr"),
        QStringLiteral("CREATE UNIQUE INDEX Mitglieder_Nr ON Mitglieder (Nr)"),
        QStringLiteral("CREATE INDEX Mitglieder_Name ON Mitglieder (Name)"),
        QStringLiteral("CREATE INDEX Ergebnis_Mitglied_Datum ON Ergebnis (MitglNr, Datum)"),
        QStringLiteral("CREATE INDEX Ergebnis_Datum ON Ergebnis (Datum)"),
        QStringLiteral("CREATE INDEX Ergebnis_Jahr ON Ergebnis (Jahr)"),
        QStringLiteral("CREATE INDEX Einzelergebnisse_Mitglied_Datum "
                       "ON Einzelergebnisse (MitglNr, Datum, Schuss)"),
        sonder::anlegen(),
    };
}

}  // namespace

const QStringList& pflichtTabellen() {
    static const QStringList tabellen = {
        QStringLiteral("Mitglieder"),
        QStringLiteral("Ergebnis"),
        QStringLiteral("Einzelergebnisse"),
        QStringLiteral("Sonder"),
        QStringLiteral("Ringe"),
        QStringLiteral("Teiler"),
    };
    return tabellen;
}

namespace {
const QString kSpeicherzeiten = QStringLiteral(
    "CREATE TABLE Speicherzeiten (MitglNr INTEGER, Datum DATE, Zeit TEXT(19), Platz TEXT(64))");
const QString kSpeicherzeitenIndex =
    QStringLiteral("CREATE INDEX Speicherzeiten_Mitglied_Datum ON Speicherzeiten (MitglNr, Datum)");
}  // namespace

void erstelleTabellen(Database& db) {
    Transaction t(db);
    for (const QString& sql : anweisungen()) {
        db.run(sql);
    }
    db.run(kSpeicherzeiten);
    db.run(kSpeicherzeitenIndex);
    for (const QString& sql : aenderungen::anlegen()) {
        db.run(sql);
    }
    t.commit();
}

void startklassenEintragen(Database& db) {
    struct Klasse {
        int nr;
        const char* bez;
        int von, bis;
        const char* geschlecht;
    };
    static const Klasse kKlassen[] = {{1, "Schüler", 0, 14, "mw"},
                                      {2, "Jugend", 15, 16, "mw"},
                                      {3, "Junioren", 17, 20, "mw"},
                                      {4, "Herren", 21, 40, "m"},
                                      {5, "Damen", 21, 40, "w"},
                                      {6, "Herren Altersklasse", 41, 50, "m"},
                                      {7, "Damen Altersklasse", 41, 50, "w"},
                                      {8, "Senioren", 51, 130, "m"},
                                      {9, "Seniorinnen", 51, 130, "w"}};
    Transaction t(db);
    if (db.run(QStringLiteral("SELECT count(*) FROM Klassen")).rows[0][0].toInt() > 0) {
        throw DatabaseError(QStringLiteral("Es sind schon Klassen eingetragen."));
    }
    for (const Klasse& k : kKlassen) {
        db.run(QStringLiteral(
                   "INSERT INTO Klassen (Klasse, Bez, UAlter, OAlter, Geschlecht) VALUES (?, ?, "
                   "?, ?, ?)"),
               {k.nr, QString::fromUtf8(k.bez), k.von, k.bis, QString::fromLatin1(k.geschlecht)});
    }
    t.commit();
}

const QStringList& programmTabellen() {
    static const QStringList tabellen = {QStringLiteral("Speicherzeiten"),
                                         QStringLiteral("Aenderungen")};
    return tabellen;
}

void ergaenzen(Database& db) {
    const QStringList da = db.tables();
    const std::pair<QString, QStringList> fehlend[] = {
        {QStringLiteral("Speicherzeiten"), {kSpeicherzeiten, kSpeicherzeitenIndex}},
        {QStringLiteral("Aenderungen"), aenderungen::anlegen()}};
    for (const auto& [tabelle, anweisungen] : fehlend) {
        if (da.contains(tabelle, Qt::CaseInsensitive)) {
            continue;
        }
        try {
            Transaction t(db);
            for (const QString& sql : anweisungen) {
                db.run(sql);
            }
            t.commit();
        } catch (const DatabaseError&) {
            // read-only, or another place made it at the same moment
        }
    }
}

bool neueVereinsdatenbank(const QString& path, QString* fehler) {
    if (Database::istServer(path)) {
        // A server database is set up by its administrator; it only gets its tables here.
        Database db;
        if (!db.open(path, fehler)) {
            return false;
        }
        if (!db.tables().isEmpty()) {
            if (fehler) {
                *fehler = QStringLiteral("Die Datenbank \"%1\" ist nicht leer.").arg(path);
            }
            return false;
        }
        try {
            erstelleTabellen(db);
        } catch (const DatabaseError& e) {
            if (fehler) {
                *fehler = e.message();
            }
            return false;
        }
        return true;
    }
    if (QFileInfo::exists(path)) {
        if (fehler) {
            *fehler = QStringLiteral("Die Datei \"%1\" gibt es schon.").arg(path);
        }
        return false;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    Database db;
    if (!db.open(path, fehler, /*create=*/true)) {
        return false;
    }
    try {
        erstelleTabellen(db);
    } catch (const DatabaseError& e) {
        db.close();
        QFile::remove(path);
        if (fehler) {
            *fehler = e.message();
        }
        return false;
    }
    return true;
}

}  // namespace schema
