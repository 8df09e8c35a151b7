#pragma once

#include <QString>

class QSqlDatabase;

// Names in the order a German reader expects: umlauts with their base letter, case ignored
// ("Äbel", "anna klein", "Özdemir", "Zander").
namespace deutsch {

// Compares two texts in that order: <0, 0, >0.
int vergleichen(const QString& a, const QString& b);

// Registers on an SQLite connection the collation "DEUTSCH" and a LIKE that ignores case
// for every letter, umlauts included ("öz%" matches "Özdemir"). False when the connection
// is no SQLite one.
bool sqliteEinrichten(const QSqlDatabase& db);

// A statement whose ORDER BY names the field Name sorts it in German order: on SQLite with
// the collation above, on a MariaDB server with its Unicode collation.
QString namenOrdnen(const QString& sql, bool server);

}  // namespace deutsch
