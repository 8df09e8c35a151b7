#pragma once

#include <QString>
#include <QVariant>

class Database;

// The one row of the table Sonder: the club's attendance points, its pistol Teiler divisor
// and the version of the schema the file has. Each throws DatabaseError.
namespace sonder {

// The schema version this program writes and converts to.
inline const QString kSchemaVersion = QStringLiteral("4.0.0");

// The statement that makes the row of a new file.
QString anlegen();

// Makes the row (no points, no divisor) when the table has none.
void zeileSichern(Database& db);

// Gives the file this program's schema version, making the row when it has none.
void versionSetzen(Database& db);

struct Werte {
    bool da = false;  // the table has its row
    QVariant anwPunkte;
    QVariant pistolenTeiler;
};
Werte lesen(Database& db);

// Writes one of the club's values ("AnwPunkte" or "PistolenTeiler") into the row, making
// the row first when the table has none.
void schreiben(Database& db, const QString& feld, double wert);

}  // namespace sonder
