#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>

class Database;

// An evening's rows belong together: its Ergebnis row, its shots in Einzelergebnisse and the
// note of its store. They are deleted and moved together, inside the caller's transaction,
// and logged in Aenderungen. Each throws DatabaseError.
namespace zeilenbund {

// Deletes the Ergebnis rows with these keys (rowid) and, for each evening left without a
// result, its shots and note. Returns the number of results deleted.
int ergebnisseLoeschen(Database& db, const QVariantList& schluessel, const QString& anlass,
                       const QDateTime& jetzt);

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
