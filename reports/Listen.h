#pragma once

#include <QString>

class Database;
class Hauptfelder;
struct SqlRows;

// The listings of the evaluation window and how their statements are built.
enum class Listenart {
    Roh = 0,          // the raw result table, for deleting rows
    Heute = 1,        // the current evening
    LetzteWoche = 2,  // the previous week's evening
    Jahr = 3,         // the year table
    Alles = 4,        // every result of the season
    Schuetze = 5,     // one member's results
    Aenderungen = 6,  // the log of corrections
};

// A listing's statement, or the German reason why the main window's fields do not allow it.
struct Abfrage {
    QString basis;  // without ORDER BY
    QString fehler;
    bool ok() const { return fehler.isEmpty(); }
};

namespace listen {

inline const QString kRoh = QStringLiteral(
    "SELECT MitglNr,Best10,Best20,Gesammt,Teiler,Punkte,Datum,Anwesend,Liegend FROM Ergebnis "
    "ORDER BY Datum, MitglNr");
inline const QString kJahr = QStringLiteral(
    "SELECT Name,Best10,Best20,Gesammt,Teiler,Punkte,Anwesend,Geschossen,Klasse FROM Jahrestab");

// The evening of the Heute (or NTag) field; the field must hold a date.
Abfrage abend(const Hauptfelder& felder, Listenart art);
// Every result of the season in the Saison field; it must hold a year.
Abfrage alles(const Hauptfelder& felder);
// The member in SNummer; none when the main window shows no member.
Abfrage schuetze(const Hauptfelder& felder);

// The statement shown: the base query sorted when the first four characters of the sort
// clause occur in it (a year table has no Datum, so a history's "Datum" leaves it unsorted).
QString sortiert(const QString& basis, const QString& sortierung);

// The statement a printout reads: sorted, unless the base query is already sorted that way.
QString druckAbfrage(const QString& basis, const QString& sortierung, const QString& gezeigt);

// The rows of a listing's statement. The raw table carries each row's key first (rowid,
// hidden in the window) so that a delete hits that row. Throws DatabaseError.
SqlRows lesen(Database& db, const QString& anweisung, bool mitSchluessel = false);

}  // namespace listen
