#pragma once

#include <QString>
#include <QStringList>

class Database;

// The tables of a club database.
namespace schema {

// Tables a file must have to count as a club database.
const QStringList& pflichtTabellen();

// Creates every table, the view Heute, the indexes and the one Sonder row in `db`,
// in one transaction. Throws DatabaseError.
void erstelleTabellen(Database& db);

// The program's own tables beside the club tables: not offered for transfer between slots.
const QStringList& programmTabellen();

// The program's own tables beside the club tables (when and where an evening was stored);
// older programs pass them over. Creates what is missing; a file that cannot be written
// stays as it is.
void ergaenzen(Database& db);

// The usual age classes of German sport shooting, for a new club to change as it likes;
// written into an empty Klassen table in one transaction. Throws DatabaseError.
void startklassenEintragen(Database& db);

// Creates a new empty club database file at `path`. Fails, with a German reason, when the
// file exists already or cannot be written; a half-made file is removed.
bool neueVereinsdatenbank(const QString& path, QString* fehler);

}  // namespace schema
