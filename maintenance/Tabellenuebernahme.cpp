#include "maintenance/Tabellenuebernahme.h"

#include <QDate>
#include <QDateTime>

#include <functional>

#include "core/Aenderungen.h"
#include "core/DatenbankSlots.h"
#include "core/Schema.h"
#include "maintenance/VorAenderung.h"
#include "platform/Clock.h"
#include "platform/Database.h"
#include "platform/Dateien.h"
#include "platform/Dialogs.h"
#include "platform/Paths.h"

namespace {

const QString kFertig = QStringLiteral("Ausgewählte Dateien wurden übernommen");

QString name(const QString& bezeichner) {
    return u'"' + QString(bezeichner).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QStringList spalten(Database& db, const QString& schema, const QString& tabelle) {
    QStringList namen;
    const SqlRows r =
        db.run(QStringLiteral("SELECT name FROM pragma_table_info(?, ?)"), {tabelle, schema});
    for (const QVariantList& z : r.rows) {
        namen << z[0].toString();
    }
    return namen;
}

// The fields both tables have, by name (case as the engine compares them), in the order
// of the source.
QString gemeinsameSpalten(Database& db, const QString& von, const QString& nach,
                          const QString& tabelle) {
    const QStringList ziel = spalten(db, nach, tabelle);
    QStringList gemeinsam;
    for (const QString& s : spalten(db, von, tabelle)) {
        if (ziel.contains(s, Qt::CaseInsensitive)) {
            gemeinsam << name(s);
        }
    }
    return gemeinsam.join(QStringLiteral(", "));
}

bool hatTabelle(Database& db, const QString& schema, const QString& tabelle) {
    return !db.run(QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE type = 'table' AND "
                                  "name = ? COLLATE NOCASE")
                       .arg(schema),
                   {tabelle})
                .empty();
}

// Moves the results of `von` whose weekday `bewegen` accepts into `nach`, each with its
// single shots, unless `nach` has a result of that member and day already.
int verschieben(Database& db, const QString& von, const QString& nach,
                const std::function<bool(const QString&)>& bewegen) {
    const QString ergebnis = gemeinsameSpalten(db, von, nach, QStringLiteral("Ergebnis"));
    const QString schuesse = gemeinsameSpalten(db, von, nach, QStringLiteral("Einzelergebnisse"));
    const SqlRows zeilen = db.run(
        QStringLiteral("SELECT rowid, MitglNr, Datum FROM %1.Ergebnis ORDER BY rowid").arg(von));
    int bewegt = 0;
    for (const QVariantList& z : zeilen.rows) {
        const QVariant& rowid = z[0];
        const QVariant& nr = z[1];
        const QVariant& datum = z[2];
        const QDate tag = QDate::fromString(datum.toString().left(10), Qt::ISODate);
        if (!bewegen(tag.isValid() ? wochentagKurz(tag) : QString())) {
            continue;
        }
        if (!db.run(QStringLiteral("SELECT 1 FROM %1.Ergebnis WHERE MitglNr = ? AND Datum = ? "
                                   "LIMIT 1")
                        .arg(nach),
                    {nr, datum})
                 .empty()) {
            continue;  // the other file has this evening already: both stay where they are
        }
        db.run(QStringLiteral("INSERT INTO %1.Ergebnis (%3) SELECT %3 FROM %2.Ergebnis "
                              "WHERE rowid = ?")
                   .arg(nach, von, ergebnis),
               {rowid});
        db.run(QStringLiteral("DELETE FROM %1.Ergebnis WHERE rowid = ?").arg(von), {rowid});
        if (!schuesse.isEmpty()) {
            db.run(QStringLiteral("INSERT INTO %1.Einzelergebnisse (%3) SELECT %3 FROM "
                                  "%2.Einzelergebnisse WHERE MitglNr = ? AND Datum = ? "
                                  "ORDER BY rowid")
                       .arg(nach, von, schuesse),
                   {nr, datum});
            db.run(QStringLiteral("DELETE FROM %1.Einzelergebnisse WHERE MitglNr = ? AND Datum = ?")
                       .arg(von),
                   {nr, datum});
        }
        ++bewegt;
    }
    return bewegt;
}

QString anzahlErgebnisse(int n) {
    return n == 1 ? QStringLiteral("1 Ergebnis") : QStringLiteral("%1 Ergebnisse").arg(n);
}

bool protokolliert(const QString& tabelle) {
    for (const char* t : {"Ergebnis", "Einzelergebnisse", "Mitglieder"}) {
        if (tabelle.compare(QLatin1String(t), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

// One line in the log of the file `schema` for rows a transfer replaced or took away; a file
// an older program made gets the log's table first.
void uebernahmeProtokollieren(Database& db, const QString& schema, const QString& tabelle,
                              const QString& alt, const QString& neu, const QDateTime& jetzt) {
    if (!hatTabelle(db, schema, aenderungen::kTabelle)) {
        for (const QString& sql : aenderungen::anlegen(schema)) {
            db.run(sql);
        }
    }
    aenderungen::schreiben(db,
                           {{tabelle, QVariant(), QString(), QStringLiteral("*"), alt, neu,
                             QStringLiteral("Übernahme")}},
                           jetzt, schema);
}

}  // namespace

Tabellenuebernahme::Tabellenuebernahme(Dialogs& dialogs, const Clock& uhr, QString db1,
                                       QString db4)
    : dialogs_(dialogs),
      uhr_(uhr),
      db1Text_(std::move(db1)),
      db4Text_(std::move(db4)),
      db1_(paths::resolve(db1Text_)),
      db4_(paths::resolve(db4Text_)) {}

bool Tabellenuebernahme::vorbedingung() {
    if (Database::istServer(db1_) || Database::istServer(db4_)) {
        dialogs_.message(QStringLiteral(
            "Tabellen werden nur zwischen Dateien übertragen. Für eine Datenbank auf dem Server "
            "bitte \"Vereinsdatenbank 1 in neue Datenbank 4 kopieren\" nehmen."));
        return false;
    }
    if (!dateien::existiert(db4_) || db1Text_ == db4Text_) {
        dialogs_.message(QStringLiteral("Unter 4 ist keine DB angegeben"));
        return false;
    }
    if (dateien::dieselbeDatei(db1_, db4_)) {
        // Copying a file into itself would first empty the table it reads from.
        dialogs_.message(QStringLiteral("Unter 1 und unter 4 ist dieselbe Datei angegeben "
                                        "(\"%1\"); es wird nichts übernommen.")
                             .arg(db4_));
        return false;
    }
    return true;
}

bool Tabellenuebernahme::oeffnen(Database& db) {
    QString fehler;
    if (!db.open(db1_, &fehler)) {
        dialogs_.message(fehler);
        return false;
    }
    try {
        db.run(QStringLiteral("ATTACH DATABASE ? AS ziel"), {db4_});
        db.run(QStringLiteral("SELECT count(*) FROM ziel.sqlite_master"));
    } catch (const DatabaseError& e) {
        dialogs_.message(QStringLiteral("Die Datei \"%1\" kann nicht geöffnet werden: %2")
                             .arg(db4_, e.message()));
        return false;
    }
    return true;
}

QStringList Tabellenuebernahme::angeboteneTabellen(Database& db) {
    QStringList namen;
    const SqlRows r = db.run(
        QStringLiteral("SELECT name FROM main.sqlite_master WHERE type = 'table' AND name NOT LIKE "
                       "'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"));
    // In the file's own order; the program's notes belong to the file they were made in.
    for (const QVariantList& z : r.rows) {
        const QString n = z[0].toString();
        if (!n.startsWith(QLatin1String("MS")) && !schema::programmTabellen().contains(n)) {
            namen << n;
        }
    }
    return namen;
}

bool Tabellenuebernahme::tabelleKopieren(Database& db, const QString& tabelle) {
    if (!dialogs_.askYesNo(QStringLiteral("Tabelle ") + tabelle +
                           QStringLiteral(" übernehmen ?"))) {
        return true;
    }
    if (!hatTabelle(db, QStringLiteral("ziel"), tabelle)) {
        dialogs_.message(QStringLiteral("Die Tabelle %1 gibt es in \"%2\" nicht; sie wird nicht "
                                        "übernommen.")
                             .arg(tabelle, db4_));
        return false;
    }
    const bool loeschen = dialogs_.askYesNo(QStringLiteral("Alte Daten vor Übernahme löschen"),
                                            Dialogs::Vorgabe::Nein);
    const QString felder =
        gemeinsameSpalten(db, QStringLiteral("main"), QStringLiteral("ziel"), tabelle);
    // Members whose number slot 4 has already stay out; the others are copied.
    const bool mitglieder = tabelle.compare(QLatin1String("Mitglieder"), Qt::CaseInsensitive) == 0;
    const QString ohneDoppelte =
        mitglieder && !loeschen
            ? QStringLiteral(
                  " WHERE Nr IS NULL OR Nr NOT IN (SELECT Nr FROM ziel.Mitglieder "
                  "WHERE Nr IS NOT NULL)")
            : QString();
    QStringList doppelt;
    try {
        Transaction t(db);
        if (loeschen) {
            const int alt =
                db.run(QStringLiteral("SELECT count(*) FROM ziel.%1").arg(name(tabelle)))
                    .rows[0][0]
                    .toInt();
            if (alt > 0 && protokolliert(tabelle)) {
                uebernahmeProtokollieren(
                    db, QStringLiteral("ziel"), tabelle,
                    alt == 1 ? QStringLiteral("1 Zeile") : QStringLiteral("%1 Zeilen").arg(alt),
                    QStringLiteral("ersetzt durch die Zeilen aus \"%1\"").arg(db1_), uhr_.now());
            }
            db.run(QStringLiteral("DELETE FROM ziel.%1").arg(name(tabelle)));
        }
        if (!ohneDoppelte.isEmpty()) {
            for (const QVariantList& z :
                 db.run(QStringLiteral("SELECT Nr, Name FROM main.Mitglieder WHERE Nr IN "
                                       "(SELECT Nr FROM ziel.Mitglieder) ORDER BY Nr"))
                     .rows) {
                doppelt << z[0].toString() + u' ' + z[1].toString();
            }
        }
        if (!felder.isEmpty()) {
            db.run(QStringLiteral("INSERT INTO ziel.%1 (%2) SELECT %2 FROM main.%1%3")
                       .arg(name(tabelle), felder, ohneDoppelte));
        }
        t.commit();
    } catch (const DatabaseError& e) {
        // The engine names the file the connection was opened on; the failure was in 4.
        QString grund = e.message();
        grund.remove(QStringLiteral("Die Datenbank \"%1\" meldet einen Fehler.\n").arg(db1_));
        dialogs_.message(QStringLiteral("Die Tabelle %1 wurde nicht übernommen; \"%2\" ist "
                                        "unverändert.\n%3")
                             .arg(tabelle, db4_, grund));
        return false;
    }
    if (!doppelt.isEmpty()) {
        dialogs_.message(QStringLiteral("Diese Mitglieder haben in \"%1\" schon ihre Nummer und "
                                        "wurden nicht übernommen:\n%2")
                             .arg(db4_, doppelt.join(u'\n')));
    }
    return true;
}

void Tabellenuebernahme::ausgewaehlteTabellen() {
    Database db;
    if (!vorbedingung()) {
        return;
    }
    voraenderung::ankuendigen(QStringLiteral("Tabellen von 1 nach 4 übernehmen"));
    if (!oeffnen(db)) {
        return;
    }
    try {
        for (const QString& t : angeboteneTabellen(db)) {
            tabelleKopieren(db, t);
        }
    } catch (const DatabaseError& e) {
        dialogs_.message(e.message());
    }
}

void Tabellenuebernahme::mitglieder() {
    Database db;
    if (!vorbedingung()) {
        return;
    }
    voraenderung::ankuendigen(QStringLiteral("Mitglieder von 1 nach 4 übernehmen"));
    if (!oeffnen(db)) {
        return;
    }
    if (tabelleKopieren(db, QStringLiteral("Mitglieder"))) {
        dialogs_.message(kFertig);
    }
}

void Tabellenuebernahme::nachTagSortieren(const QString& tag1) {
    Database db;
    if (!vorbedingung()) {
        return;
    }
    voraenderung::ankuendigen(QStringLiteral("Ergebnisse nach Tag sortieren"));
    if (!oeffnen(db)) {
        return;
    }
    try {
        // Both passes in one transaction over both files: a result is in exactly one of
        // them whatever happens.
        Transaction t(db);
        const int nach4 = verschieben(db, QStringLiteral("main"), QStringLiteral("ziel"),
                                      [&](const QString& tag) { return tag != tag1; });
        const int nach1 = verschieben(db, QStringLiteral("ziel"), QStringLiteral("main"),
                                      [&](const QString& tag) { return tag == tag1; });
        // Each file notes the results that left it.
        if (nach4 > 0) {
            uebernahmeProtokollieren(db, QStringLiteral("main"), QStringLiteral("Ergebnis"),
                                     anzahlErgebnisse(nach4),
                                     QStringLiteral("verschoben nach \"%1\"").arg(db4_),
                                     uhr_.now());
        }
        if (nach1 > 0) {
            uebernahmeProtokollieren(db, QStringLiteral("ziel"), QStringLiteral("Ergebnis"),
                                     anzahlErgebnisse(nach1),
                                     QStringLiteral("verschoben nach \"%1\"").arg(db1_),
                                     uhr_.now());
        }
        t.commit();
    } catch (const DatabaseError& e) {
        dialogs_.message(QStringLiteral("Die Ergebnisse wurden nicht sortiert; beide Dateien "
                                        "sind unverändert.\n") +
                         e.message());
        return;
    }
    dialogs_.message(kFertig);
}
