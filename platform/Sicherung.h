#pragma once

#include <QString>

#include <functional>

// Consistent copies of SQLite files.
namespace sicherung {

// Copies the database file `quelle` to `ziel` with SQLite's backup interface, so that the
// copy is whole also while another program writes the file. The copy is written as
// "<ziel>.part", checked with PRAGMA integrity_check, and only then given its name (an
// older `ziel` is replaced in one step). False with the German reason; `ziel` is then as it
// was and no ".part" is left.
// `vorDemNamen` may still write the copy before it is checked and named; false stops.
bool dateiSichern(
    const QString& quelle, const QString& ziel, QString* fehler,
    const std::function<bool(const QString& teil, QString* fehler)>& vorDemNamen = {});

// PRAGMA integrity_check of a file: true when SQLite finds it sound.
bool unversehrt(const QString& datei, QString* fehler);

}  // namespace sicherung
