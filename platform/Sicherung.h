#pragma once

#include <QString>

// Consistent copies of SQLite files.
namespace sicherung {

// Copies the database file `quelle` to `ziel` with SQLite's backup interface, so that the
// copy is whole also while another program writes the file. The copy is written as
// "<ziel>.part", checked with PRAGMA integrity_check, and only then given its name (an
// older `ziel` is replaced in one step). False with the German reason; `ziel` is then as it
// was and no ".part" is left.
bool dateiSichern(const QString& quelle, const QString& ziel, QString* fehler);

// PRAGMA integrity_check of a file: true when SQLite finds it sound.
bool unversehrt(const QString& datei, QString* fehler);

}  // namespace sicherung
