#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

#include "platform/SqlDialect.h"

class Database;
class Dialogs;
struct SqlRows;

// How a column is written, by its declared type in the club database.
enum class Spaltentyp { Text, Datum, Einfach, Lang, JaNein, Ganz, Doppelt };

// The declared types of the columns of a listing whose statement reads `FROM tabelle`;
// columns the table does not declare count as text.
std::vector<Spaltentyp> spaltentypen(Database& db, const QString& anweisung,
                                     const QStringList& spalten);

// The delimited file: a header of the column names and one line a row, every field followed
// by the delimiter, CR LF line ends, Windows-1252 (a character it lacks becomes "?"). A field
// holding the delimiter, a quote or a line break is put in quotes, its quotes doubled.
// `ohneCode` gets the characters that became "?".
QByteArray exportText(const SqlRows& zeilen, const std::vector<Spaltentyp>& typen,
                      const QString& trenner, QString* ohneCode = nullptr);

// The rows of `anweisung` (the program's dialect) written to the export file `datei`
// (stored form, mapped like every path); the user is told where it went or why not.
void listeExportieren(Database& db, const QString& anweisung, sqldialect::HashDateOrder ordnung,
                      const QString& datei, const QString& trenner, Dialogs& dialogs);
