#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

#include "core/Aenderungen.h"

class Database;

// An evening's rows belong together: its Ergebnis row, its shots in Einzelergebnisse and the
// note of its store. They are deleted and moved together, inside the caller's transaction,
// and logged in Aenderungen. Each throws DatabaseError.
namespace zeilenbund {

// Deletes the Ergebnis rows with these keys (rowid) and, for each evening left without a
// result, its shots and note. Returns the number of results deleted.
int ergebnisseLoeschen(Database& db, const QVariantList& schluessel, const QString& anlass,
                       const QDateTime& jetzt);

// One field of one row (by rowid) changes; when `log` is given and the value differs, its
// line goes to the log of corrections in the same transaction (the caller's).
void feldAendern(Database& db, const QString& tabelle, const QVariant& zeile, const QString& feld,
                 const QVariant& alt, const QVariant& neu, const aenderungen::Eintrag* log,
                 const QDateTime& jetzt);

// One row (by rowid) is deleted, with its line in the log when `log` is given.
void zeileLoeschen(Database& db, const QString& tabelle, const QVariant& zeile,
                   const aenderungen::Eintrag* log, const QDateTime& jetzt);

// The number a new member gets: one above the highest, 1 for the first.
int naechsteMitgliedsnummer(Database& db);

// "Die Mitgliedsnummer 13 ist schon vergeben."
QString nummerVergeben(const QVariant& nr);

// A member's number changes from `alt` to `neu`: the member's results, shots and notes go
// with it. "" when done, else the German reason why nothing was changed (the number is
// taken, or an evening under it would meet one of the member's).
QString mitgliedsnummerAendern(Database& db, const QVariant& zeile, const QVariant& alt,
                               const QVariant& neu, const QString& anlass, const QDateTime& jetzt);

// The number or date of one Ergebnis row changes (`feld` "MitglNr" or "Datum"): its shots
// and note go with it. "" when done, else the German reason why nothing was changed.
QString ergebnisVerschieben(Database& db, const QVariant& zeile, const QString& feld,
                            const QVariant& neu, const QString& anlass, const QDateTime& jetzt);

}  // namespace zeilenbund
