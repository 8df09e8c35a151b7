#include "maintenance/Konvertierung.h"

#include <QFileInfo>

#include "core/ClubDatabase.h"
#include "core/Sonder.h"
#include "maintenance/VorAenderung.h"
#include "platform/Database.h"
#include "platform/Dateien.h"
#include "platform/Dialogs.h"
#include "platform/Paths.h"
#include "platform/Sicherung.h"

namespace {

const QString& kVersion = sonder::kSchemaVersion;

bool hatSpalte(const std::vector<ColumnInfo>& spalten, const QString& name) {
    for (const ColumnInfo& c : spalten) {
        if (c.name.compare(name, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

QString setzeVersion(const QString& anzeige) {
    return QStringLiteral("Setze Version von ") + anzeige + QStringLiteral(" auf ") + kVersion;
}

void versionSchreiben(Database& db) {
    db.run(QStringLiteral("UPDATE Sonder SET Version = ? WHERE rowid = (SELECT min(rowid) FROM "
                          "Sonder)"),
           {kVersion});
    if (db.changedRows() != 1) {
        throw DatabaseError(QStringLiteral("Die Tabelle Sonder hat keine Zeile."));
    }
}

}  // namespace

bool dateiKonvertieren(const QString& pfad, const QString& anzeige, Dialogs& dialogs,
                       QString* fehler) {
    Database db;
    if (!db.open(pfad, fehler)) {
        return false;
    }
    try {
        if (!db.hasTable(QStringLiteral("Sonder"))) {
            throw DatabaseError(QStringLiteral("Die Tabelle Sonder fehlt."));
        }
        // Everything or nothing: a failure leaves the file as it was.
        Transaction t(db);
        QString stand;
        // Older files are told by their missing field, whatever else their Sonder holds.
        if (!hatSpalte(db.columns(QStringLiteral("Sonder")), QStringLiteral("Version"))) {
            db.run(QStringLiteral("ALTER TABLE Sonder ADD COLUMN Version TEXT(10)"));
            dialogs.message(setzeVersion(anzeige));
            versionSchreiben(db);
            stand = QStringLiteral("0");
        } else {
            const SqlRows r =
                db.run(QStringLiteral("SELECT Version FROM Sonder ORDER BY rowid LIMIT 1"));
            if (r.empty()) {
                throw DatabaseError(QStringLiteral("Die Tabelle Sonder hat keine Zeile."));
            }
            stand = r.rows[0][0].toString();
        }
        if (stand == kVersion) {
            t.commit();
            return true;
        }
        dialogs.message(setzeVersion(anzeige));
        versionSchreiben(db);
        const std::vector<ColumnInfo> ergebnis = db.columns(QStringLiteral("Ergebnis"));
        if (ergebnis.empty()) {
            throw DatabaseError(QStringLiteral("Die Tabelle Ergebnis fehlt."));
        }
        const std::array<std::pair<QString, QString>, 4> felder = {{
            {QStringLiteral("S5"), QStringLiteral("LONG")},
            {QStringLiteral("S6"), QStringLiteral("LONG")},
            {QStringLiteral("Liegend"), QStringLiteral("YESNO NOT NULL DEFAULT 0")},
            {QStringLiteral("Scheibentyp"), QStringLiteral("TEXT(3)")},
        }};
        for (const auto& [feld, typ] : felder) {
            if (!hatSpalte(ergebnis, feld)) {
                db.run(QStringLiteral("ALTER TABLE Ergebnis ADD COLUMN %1 %2").arg(feld, typ));
            }
        }
        t.commit();
    } catch (const DatabaseError& e) {
        *fehler = e.message();
        return false;
    }
    return true;
}

void DB_Convert(ClubDatabase& club, const std::array<QString, 4>& pfade, Dialogs& dialogs,
                const std::function<void()>& wiederOeffnen) {
    voraenderung::ankuendigen(QStringLiteral("DB Version aktualisieren"));
    club.CloseDatabase();
    for (const QString& anzeige : pfade) {
        if (anzeige.isEmpty()) {
            continue;
        }
        const QString pfad = paths::resolve(anzeige);
        if (Database::istServer(pfad)) {
            continue;  // a server database is made with this version's tables
        }
        dialogs.message(QStringLiteral("Prüfe Datei ") + anzeige);
        const QString name = dateien::nameWennVorhanden(pfad);
        const QString sicherung =
            pfad.left(pfad.size() - name.size()) + QStringLiteral("Sicherung_") + name;
        QString fehler;
        bool ok = false;
        if (name.isEmpty()) {
            fehler = QStringLiteral("Die Datei \"%1\" gibt es nicht.").arg(pfad);
        } else if (sicherung::dateiSichern(pfad, sicherung, &fehler)) {
            // (a consistent copy, checked by SQLite itself, before the file is changed)
            // The main window works on the copy while the file itself is changed.
            club.OpenDatabaseDatei(sicherung);
            ok = dateiKonvertieren(pfad, anzeige, dialogs, &fehler);
        }
        if (!ok) {
            dialogs.message(QStringLiteral("Datenbank ") + anzeige +
                            QStringLiteral(" konnte nicht konvertiert werden, da diese geöffnet "
                                           "ist ! Bitte im Hauptfenser andere DB Auswählen und "
                                           "erneut versuchen\n") +
                            fehler);
        }
    }
    wiederOeffnen();
}
