#include "core/Zeilenbund.h"

#include <QDate>
#include <QSet>

#include <vector>

#include "core/Aenderungen.h"
#include "platform/Database.h"

namespace {

const QString kErgebnisZeile = QStringLiteral("SELECT * FROM Ergebnis WHERE rowid = ?");
const QString kErgebnisDa =
    QStringLiteral("SELECT rowid FROM Ergebnis WHERE MitglNr = ? AND Datum = ? ORDER BY rowid");
const QString kSchuesse = QStringLiteral(
    "SELECT Schuss, Ring FROM Einzelergebnisse WHERE MitglNr = ? AND Datum = ? ORDER BY Schuss");
const QString kSchuesseLoeschen =
    QStringLiteral("DELETE FROM Einzelergebnisse WHERE MitglNr = ? AND Datum = ?");
const QString kNotizLoeschen =
    QStringLiteral("DELETE FROM Speicherzeiten WHERE MitglNr = ? AND Datum = ?");

QString tag(const QVariant& datum) {
    return datum.toString().left(10);
}

// A date as the user reads it.
QString tagText(const QVariant& datum) {
    const QDate d = QDate::fromString(tag(datum), Qt::ISODate);
    return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : datum.toString();
}

// The shots of an evening in one line for the log: "Schuss 1: 9, Schuss 2: 10".
QString schussliste(const SqlRows& schuesse) {
    QStringList teile;
    for (const QVariantList& r : schuesse.rows) {
        teile << QStringLiteral("Schuss %1: %2")
                     .arg(r.value(0).toString(), aenderungen::text(r.value(1)));
    }
    return teile.join(QStringLiteral(", "));
}

bool mitNotizen(Database& db) {
    return db.hasTable(QStringLiteral("Speicherzeiten"));
}

}  // namespace

namespace zeilenbund {

int ergebnisseLoeschen(Database& db, const QVariantList& schluessel, const QString& anlass,
                       const QDateTime& jetzt) {
    std::vector<aenderungen::Eintrag> log;
    std::vector<std::pair<QVariant, QVariant>> abende;  // (MitglNr, Datum) as stored
    int geloescht = 0;
    for (const QVariant& k : schluessel) {
        const SqlRows alt = db.run(kErgebnisZeile, {k});
        if (alt.empty()) {
            continue;
        }
        const QVariant nr = alt.value(0, QStringLiteral("MitglNr"));
        const QVariant datum = alt.value(0, QStringLiteral("Datum"));
        log.push_back({QStringLiteral("Ergebnis"), nr, tag(datum), QStringLiteral("*"),
                       aenderungen::zeile(alt.columns, alt.rows[0]), QString(), anlass});
        db.run(QStringLiteral("DELETE FROM Ergebnis WHERE rowid = ?"), {k});
        geloescht += db.changedRows();
        abende.emplace_back(nr, datum);
    }
    const bool notizen = mitNotizen(db);
    QSet<QString> gesehen;
    for (const auto& [nr, datum] : abende) {
        if (nr.isNull() || datum.isNull()) {
            continue;
        }
        const QString schluesselText = nr.toString() + u'|' + datum.toString();
        if (gesehen.contains(schluesselText)) {
            continue;
        }
        gesehen.insert(schluesselText);
        // Another result of the same evening (a doubled row) keeps the shots.
        if (!db.run(kErgebnisDa, {nr, datum}).empty()) {
            continue;
        }
        const SqlRows schuesse = db.run(kSchuesse, {nr, datum});
        if (!schuesse.empty()) {
            log.push_back({QStringLiteral("Einzelergebnisse"), nr, tag(datum),
                           QStringLiteral("Schüsse"), schussliste(schuesse), QString(), anlass});
            db.run(kSchuesseLoeschen, {nr, datum});
        }
        if (notizen) {
            db.run(kNotizLoeschen, {nr, datum});
        }
    }
    aenderungen::schreiben(db, log, jetzt);
    return geloescht;
}

namespace {
QString bezeichner(const QString& name) {
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}
}  // namespace

void feldAendern(Database& db, const QString& tabelle, const QVariant& zeile, const QString& feld,
                 const QVariant& alt, const QVariant& neu, const aenderungen::Eintrag* log,
                 const QDateTime& jetzt) {
    db.run(QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?")
               .arg(bezeichner(tabelle), bezeichner(feld)),
           {neu, zeile});
    if (log && !aenderungen::gleich(alt, neu)) {
        aenderungen::schreiben(db, {*log}, jetzt);
    }
}

void zeileLoeschen(Database& db, const QString& tabelle, const QVariant& zeile,
                   const aenderungen::Eintrag* log, const QDateTime& jetzt) {
    db.run(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(bezeichner(tabelle)), {zeile});
    if (log) {
        aenderungen::schreiben(db, {*log}, jetzt);
    }
}

int naechsteMitgliedsnummer(Database& db) {
    return db.run(QStringLiteral("SELECT COALESCE(MAX(Nr), 0) + 1 FROM Mitglieder"))
        .rows[0][0]
        .toInt();
}

QString nummerVergeben(const QVariant& nr) {
    return QStringLiteral("Die Mitgliedsnummer %1 ist schon vergeben.").arg(nr.toString());
}

QString mitgliedsnummerAendern(Database& db, const QVariant& zeile, const QVariant& alt,
                               const QVariant& neu, const QString& anlass, const QDateTime& jetzt) {
    if (!db.run(QStringLiteral("SELECT 1 FROM Mitglieder WHERE Nr = ? AND rowid <> ?"),
                {neu, zeile})
             .empty()) {
        return nummerVergeben(neu);
    }
    const bool mitnehmen = !alt.isNull() && !aenderungen::gleich(alt, neu);
    if (mitnehmen) {
        // Rows left under the new number (of a member deleted long ago) must not meet the
        // member's own evenings.
        const SqlRows treffen =
            db.run(QStringLiteral("SELECT DISTINCT a.Datum FROM Ergebnis a, Ergebnis b WHERE "
                                  "a.MitglNr = ? AND b.MitglNr = ? AND a.Datum = b.Datum "
                                  "UNION SELECT DISTINCT a.Datum FROM Einzelergebnisse a, "
                                  "Einzelergebnisse b WHERE a.MitglNr = ? AND b.MitglNr = ? AND "
                                  "a.Datum = b.Datum ORDER BY 1 LIMIT 3"),
                   {neu, alt, neu, alt});
        if (!treffen.empty()) {
            return QStringLiteral(
                       "Unter Nummer %1 sind schon Abende gespeichert, die auf Abende von Nummer "
                       "%2 fallen (zum Beispiel am %3); die Nummer wird nicht geändert.")
                .arg(neu.toString(), alt.toString(), tagText(treffen.rows[0][0]));
        }
    }
    db.run(QStringLiteral("UPDATE Mitglieder SET Nr = ? WHERE rowid = ?"), {neu, zeile});
    std::vector<aenderungen::Eintrag> log;
    if (!aenderungen::gleich(alt, neu)) {
        log.push_back({QStringLiteral("Mitglieder"), alt, QString(), QStringLiteral("Nr"),
                       aenderungen::text(alt), aenderungen::text(neu), anlass});
    }
    if (mitnehmen) {
        db.run(QStringLiteral("UPDATE Ergebnis SET MitglNr = ? WHERE MitglNr = ?"), {neu, alt});
        const int abende = db.changedRows();
        db.run(QStringLiteral("UPDATE Einzelergebnisse SET MitglNr = ? WHERE MitglNr = ?"),
               {neu, alt});
        const int schuesse = db.changedRows();
        if (mitNotizen(db)) {
            db.run(QStringLiteral("UPDATE Speicherzeiten SET MitglNr = ? WHERE MitglNr = ?"),
                   {neu, alt});
        }
        // The log's reason has room for 30 characters: what went along is said by its rows.
        if (abende > 0) {
            log.push_back({QStringLiteral("Ergebnis"), neu, QString(), QStringLiteral("MitglNr"),
                           aenderungen::text(alt), aenderungen::text(neu),
                           QStringLiteral("Mit Mitglied verschoben")});
        }
        if (schuesse > 0) {
            log.push_back({QStringLiteral("Einzelergebnisse"), neu, QString(),
                           QStringLiteral("MitglNr"), aenderungen::text(alt),
                           aenderungen::text(neu), QStringLiteral("Mit Mitglied verschoben")});
        }
    }
    aenderungen::schreiben(db, log, jetzt);
    return {};
}

QString ergebnisVerschieben(Database& db, const QVariant& zeile, const QString& feld,
                            const QVariant& neu, const QString& anlass, const QDateTime& jetzt) {
    const SqlRows alt = db.run(kErgebnisZeile, {zeile});
    if (alt.empty()) {
        return QStringLiteral("Die Zeile gibt es nicht mehr.");
    }
    const bool nummer = feld.compare(QLatin1String("MitglNr"), Qt::CaseInsensitive) == 0;
    const QVariant nr = alt.value(0, QStringLiteral("MitglNr"));
    const QVariant datum = alt.value(0, QStringLiteral("Datum"));
    const QVariant zielNr = nummer ? neu : nr;
    const QVariant zielDatum = nummer ? datum : neu;
    if (neu.isNull()) {
        return nummer ? QStringLiteral("Ein Ergebnis braucht eine Mitgliedsnummer.")
                      : QStringLiteral("Ein Ergebnis braucht ein Datum.");
    }
    const QString altWert = aenderungen::text(nummer ? nr : datum);
    if (altWert == aenderungen::text(neu) || (!nummer && tag(datum) == tag(neu))) {
        return {};
    }
    // The evening it would become must be free: two results of one evening, or shots that
    // are not its own, would be mixed.
    const bool belegt = !db.run(QStringLiteral("SELECT 1 FROM Ergebnis WHERE MitglNr = ? AND "
                                               "Datum = ? AND rowid <> ? LIMIT 1"),
                                {zielNr, zielDatum, zeile})
                             .empty() ||
                        !db.run(QStringLiteral("SELECT 1 FROM Einzelergebnisse WHERE MitglNr = ? "
                                               "AND Datum = ? LIMIT 1"),
                                {zielNr, zielDatum})
                             .empty();
    if (belegt) {
        return QStringLiteral(
                   "Für Nummer %1 ist am %2 schon ein Abend gespeichert; das Ergebnis wird "
                   "nicht dorthin verschoben.")
            .arg(zielNr.toString(), tagText(zielDatum));
    }
    // Shots of a doubled result stay with the row that remains.
    const bool allein = db.run(kErgebnisDa, {nr, datum}).size() <= 1;
    db.run(QStringLiteral("UPDATE Ergebnis SET MitglNr = ?, Datum = ? WHERE rowid = ?"),
           {zielNr, zielDatum, zeile});
    std::vector<aenderungen::Eintrag> log{
        {QStringLiteral("Ergebnis"), nr, tag(datum),
         nummer ? QStringLiteral("MitglNr") : QStringLiteral("Datum"), altWert,
         aenderungen::text(neu), anlass}};
    if (allein && !nr.isNull() && !datum.isNull()) {
        db.run(QStringLiteral("UPDATE Einzelergebnisse SET MitglNr = ?, Datum = ? WHERE "
                              "MitglNr = ? AND Datum = ?"),
               {zielNr, zielDatum, nr, datum});
        const int schuesse = db.changedRows();
        if (mitNotizen(db)) {
            db.run(QStringLiteral("UPDATE Speicherzeiten SET MitglNr = ?, Datum = ? WHERE "
                                  "MitglNr = ? AND Datum = ?"),
                   {zielNr, zielDatum, nr, datum});
        }
        if (schuesse > 0) {
            log.push_back({QStringLiteral("Einzelergebnisse"), nr, tag(datum),
                           nummer ? QStringLiteral("MitglNr") : QStringLiteral("Datum"), altWert,
                           aenderungen::text(neu), QStringLiteral("Mit Ergebnis verschoben")});
        }
    }
    aenderungen::schreiben(db, log, jetzt);
    return {};
}

}  // namespace zeilenbund
