#pragma once

#include <QString>

class Database;

// The record source of the table browser: one table, filtered by one field, sorted by
// one field, as a statement in the program's SQL dialect.

// What asked for the statement: "Suchen" filters a date from that day on, a sort choice
// on that very day.
enum class Filteranlass { Suchen, Sortieren };

struct Filterwert {
    QString op;    // " = ", " LIKE " or " >= "
    QString wert;  // a number, a quoted text or a #day/month/year# date
};

// The filter for a typed text: a number as that number, a text as a LIKE pattern ("*" is
// the wildcard; quotes in it stay inside the literal), a date day first.
Filterwert filterwert(const QString& text, Filteranlass anlass);

// "SELECT * FROM tabelle [WHERE feld op wert] [ORDER BY sortierung]".
QString datensatzquelle(const QString& tabelle, const QString& feld, const QString& text,
                        const QString& sortierung, Filteranlass anlass);

// The record source in the engine's own SQL with the row's identity first (column
// "zk_rowid"), so that a row shown can be changed or deleted. "" and the German reason
// when the dialect text cannot be translated.
QString mitZeilennummer(const QString& quelle, QString* fehler);

// Appends an empty row to `tabelle` of the table browser, stored last. A member gets the next
// free number, since a member without one is refused. Throws DatabaseError.
void neueZeileAnlegen(Database& db, const QString& tabelle);

// The field `feld` of `tabelle` holds numbers or yes/no: a text looked for in it finds
// nothing. Throws DatabaseError.
bool zahlenfeld(Database& db, const QString& tabelle, const QString& feld);
