#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class Database;

// Moves a club to another engine: every club table of one club database copied into a new
// or empty one (an SQLite file, or a database on a MariaDB server) that gets the club
// schema first. The rows are written in one transaction. A file is made as "<name>.neu"
// and gets its name only when complete; a server database is marked unfinished until the
// last row is in, and a later move onto such a database clears it after `fragen` agreed.
// A failed or cut-off move never leaves a club file that looks complete.
struct Umzugsbericht {
    QStringList tabellen;  // "Mitglieder: 120 Zeilen"
    qint64 zeilen = 0;
};

using Umzugsfortschritt = std::function<void(int fertig, int gesamt, const QString& tabelle)>;

using Umzugsfrage = std::function<bool(const QString& frage)>;

bool vereinUmziehen(const QString& von, const QString& nach, const Umzugsfortschritt& fortschritt,
                    Umzugsbericht* bericht, QString* fehler, const Umzugsfrage& fragen = {});

// Every club table of `von` copied into the same tables of the existing club database
// `nach`, replacing their rows, in one transaction (a backup brought back onto a server);
// `zuletzt` writes in the same transaction after the rows.
bool vereinErsetzen(const QString& von, const QString& nach, Umzugsbericht* bericht,
                    QString* fehler, const std::function<void(Database&)>& zuletzt = {});

// The table that marks a server database whose move is not finished.
extern const QString kUmzugUnfertig;
