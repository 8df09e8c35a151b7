#include "maintenance/Vereinsumzug.h"

#include "core/Schema.h"
#include "platform/Database.h"
#include "platform/Dateien.h"

namespace {

QString name(const QString& bezeichner) {
    return u'"' + QString(bezeichner).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

const QStringList& vereinstabellen() {
    static const QStringList t = {QStringLiteral("Mitglieder"),
                                  QStringLiteral("Ergebnis"),
                                  QStringLiteral("Einzelergebnisse"),
                                  QStringLiteral("Sonder"),
                                  QStringLiteral("Ringe"),
                                  QStringLiteral("Teiler"),
                                  QStringLiteral("Klassen"),
                                  QStringLiteral("Jahrestab")};
    return t;
}

qint64 tabelleKopieren(Database& von, Database& nach, const QString& tabelle) {
    QStringList felder;
    const std::vector<ColumnInfo> ziel = nach.columns(tabelle);
    for (const ColumnInfo& c : von.columns(tabelle)) {
        for (const ColumnInfo& z : ziel) {
            if (z.name.compare(c.name, Qt::CaseInsensitive) == 0) {
                felder << name(c.name);
            }
        }
    }
    nach.run(QStringLiteral("DELETE FROM %1").arg(name(tabelle)));
    if (felder.isEmpty()) {
        return 0;
    }
    const QString liste = felder.join(QStringLiteral(", "));
    const SqlRows zeilen =
        von.run(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid").arg(liste, name(tabelle)));
    const QString einfuegen =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(name(tabelle), liste, QStringList(felder.size(), QStringLiteral("?")).join(u','));
    for (const QVariantList& z : zeilen.rows) {
        nach.run(einfuegen, z);
    }
    return static_cast<qint64>(zeilen.size());
}

// What a cut-off move left of a file: the file and its journals.
void dateiUndJournaleEntfernen(const QString& pfad) {
    for (const char* endung : {"", "-journal", "-wal", "-shm"}) {
        dateien::entfernen(pfad + QLatin1String(endung));
    }
}

// A file that a cut-off move of this program left: a database holding the move's mark, or
// one holding nothing at all (a move cut off before or while it wrote the mark; a database
// without a single table has nothing in it to lose).
bool vonUnseremUmzug(const QString& pfad) {
    if (dateien::groesse(pfad) == 0) {
        return true;
    }
    Database db;
    QString fehler;
    // Opened for writing: a move killed mid-way left a journal that only a writer rolls back,
    // and rolling back the mark's own transaction leaves no table.
    return db.open(pfad, &fehler) && (db.hasTable(kUmzugUnfertig) || db.tables().isEmpty());
}

// Every table and view of a server database that an unfinished move left.
void serverLeeren(Database& ziel) {
    const SqlRows r =
        ziel.run(QStringLiteral("SELECT table_name, table_type FROM information_schema.tables "
                                "WHERE table_schema = DATABASE()"));
    for (const QVariantList& z : r.rows) {
        if (z[1].toString() == QLatin1String("VIEW")) {
            ziel.run(QStringLiteral("DROP VIEW %1").arg(name(z[0].toString())));
        }
    }
    // The mark goes last: a clearing cut off half-way must still be seen as remains.
    bool mitMarke = false;
    for (const QVariantList& z : r.rows) {
        const QString tabelle = z[0].toString();
        if (tabelle.compare(kUmzugUnfertig, Qt::CaseInsensitive) == 0) {
            mitMarke = true;
        } else if (z[1].toString() != QLatin1String("VIEW")) {
            ziel.run(QStringLiteral("DROP TABLE %1").arg(name(tabelle)));
        }
    }
    if (mitMarke) {
        ziel.run(QStringLiteral("DROP TABLE %1").arg(kUmzugUnfertig));
    }
}

bool zeilenKopieren(Database& quelle, Database& ziel, const Umzugsfortschritt& fortschritt,
                    Umzugsbericht* bericht, QString* fehler,
                    const std::function<void(Database&)>& zuletzt = {}) {
    QStringList tabellen;
    for (const QString& t : vereinstabellen() + schema::programmTabellen()) {
        if (quelle.hasTable(t) && ziel.hasTable(t)) {
            tabellen << t;
        }
    }
    try {
        Transaction t(ziel);
        for (int i = 0; i < tabellen.size(); ++i) {
            if (fortschritt) {
                fortschritt(i, static_cast<int>(tabellen.size()), tabellen[i]);
            }
            const qint64 n = tabelleKopieren(quelle, ziel, tabellen[i]);
            bericht->tabellen << QStringLiteral("%1: %2 %3")
                                     .arg(tabellen[i])
                                     .arg(n)
                                     .arg(n == 1 ? QStringLiteral("Zeile")
                                                 : QStringLiteral("Zeilen"));
            bericht->zeilen += n;
        }
        if (zuletzt) {
            zuletzt(ziel);
        }
        t.commit();
    } catch (const DatabaseError& e) {
        *fehler = e.message();
        return false;
    }
    if (fortschritt) {
        fortschritt(static_cast<int>(tabellen.size()), static_cast<int>(tabellen.size()), {});
    }
    return true;
}

bool inDatei(Database& quelle, const QString& nach, const Umzugsfortschritt& fortschritt,
             Umzugsbericht* bericht, QString* fehler) {
    if (dateien::existiert(nach)) {
        *fehler = QStringLiteral("Die Datei \"%1\" gibt es schon.").arg(nach);
        return false;
    }
    const QString neu = nach + QStringLiteral(".neu");
    if (dateien::existiert(neu)) {
        // What a move that was cut off left carries its mark; anything else is not ours.
        if (!vonUnseremUmzug(neu)) {
            *fehler = QStringLiteral(
                          "Die Datei \"%1\" gibt es schon; sie stammt nicht von einem Umzug "
                          "dieses Programms und wird nicht angerührt. Bitte sie umbenennen oder "
                          "an einen anderen Ort legen und den Umzug dann noch einmal beginnen.")
                          .arg(neu);
            return false;
        }
        dateiUndJournaleEntfernen(neu);
    }
    // The mark is the first thing written into the new file: a move cut off at any later
    // moment leaves a file that says it is ours.
    dateien::ordnerFuer(neu);
    bool ok = false;
    {
        Database ziel;
        ok = ziel.open(neu, fehler, /*create=*/true);
        try {
            if (ok) {
                ziel.run(QStringLiteral("CREATE TABLE %1 (Beginn TEXT(19))").arg(kUmzugUnfertig));
                schema::erstelleTabellen(ziel);
            }
            ok = ok && zeilenKopieren(quelle, ziel, fortschritt, bericht, fehler);
            if (ok) {
                ziel.run(QStringLiteral("DROP TABLE %1").arg(kUmzugUnfertig));
            }
        } catch (const DatabaseError& e) {
            *fehler = e.message();
            ok = false;
        }
    }
    if (ok && !dateien::umbenennen(neu, nach)) {
        *fehler = QStringLiteral("Die fertige Datei konnte nicht \"%1\" genannt werden.").arg(nach);
        ok = false;
    }
    if (!ok) {
        fehler->replace(neu, nach);
        dateiUndJournaleEntfernen(neu);
    }
    return ok;
}

bool aufServer(Database& quelle, const QString& nach, const Umzugsfortschritt& fortschritt,
               Umzugsbericht* bericht, QString* fehler, const Umzugsfrage& fragen) {
    Database ziel;
    if (!ziel.open(nach, fehler)) {
        return false;
    }
    try {
        const QStringList vorhanden = ziel.tables();
        if (vorhanden.contains(kUmzugUnfertig, Qt::CaseInsensitive)) {
            const QString frage =
                QStringLiteral(
                    "Ein früherer Umzug nach \"%1\" wurde nicht fertig.\n"
                    "Sollen seine Reste gelöscht und der Umzug neu begonnen werden?")
                    .arg(nach);
            if (!fragen || !fragen(frage)) {
                *fehler = QStringLiteral(
                              "In \"%1\" stehen die Reste eines Umzugs, der nicht fertig "
                              "wurde; sie wurden nicht gelöscht.")
                              .arg(nach);
                return false;
            }
            serverLeeren(ziel);
        } else if (!vorhanden.isEmpty()) {
            *fehler = QStringLiteral("Die Datenbank \"%1\" ist nicht leer.").arg(nach);
            return false;
        }
        // Tables made on a server stay even when the move stops: the mark says so first.
        ziel.run(QStringLiteral("CREATE TABLE %1 (Beginn TEXT(19))").arg(kUmzugUnfertig));
        schema::erstelleTabellen(ziel);
    } catch (const DatabaseError& e) {
        *fehler = e.message();
        return false;
    }
    if (!zeilenKopieren(quelle, ziel, fortschritt, bericht, fehler)) {
        return false;
    }
    try {
        ziel.run(QStringLiteral("DROP TABLE %1").arg(kUmzugUnfertig));
    } catch (const DatabaseError& e) {
        *fehler = e.message();
        return false;
    }
    return true;
}

}  // namespace

const QString kUmzugUnfertig = QStringLiteral("ZK_Umzug_unfertig");

bool vereinErsetzen(const QString& von, const QString& nach, Umzugsbericht* bericht,
                    QString* fehler, const std::function<void(Database&)>& zuletzt) {
    *bericht = {};
    Database quelle;
    Database ziel;
    if (!quelle.open(von, fehler) || !ziel.open(nach, fehler)) {
        return false;
    }
    return zeilenKopieren(quelle, ziel, {}, bericht, fehler, zuletzt);
}

bool vereinUmziehen(const QString& von, const QString& nach, const Umzugsfortschritt& fortschritt,
                    Umzugsbericht* bericht, QString* fehler, const Umzugsfrage& fragen) {
    *bericht = {};
    Database quelle;
    if (!quelle.open(von, fehler)) {
        return false;
    }
    for (const QString& t : schema::pflichtTabellen()) {
        if (!quelle.hasTable(t)) {
            *fehler = QStringLiteral("\"%1\" ist keine Vereinsdatenbank (die Tabelle %2 fehlt).")
                          .arg(von, t);
            return false;
        }
    }
    if (Database::istServer(nach)) {
        return aufServer(quelle, nach, fortschritt, bericht, fehler, fragen);
    }
    return inDatei(quelle, nach, fortschritt, bericht, fehler);
}
