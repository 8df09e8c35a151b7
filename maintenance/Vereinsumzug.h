#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Moves a club to another engine: every club table of one club database copied into a new
// or empty one (an SQLite file, or a database on a MariaDB server) that gets the club
// schema first. The rows are written in one transaction; a failure leaves the target
// without rows (a new file is removed again).
struct Umzugsbericht {
    QStringList tabellen;  // "Mitglieder: 120 Zeilen"
    qint64 zeilen = 0;
};

using Umzugsfortschritt = std::function<void(int fertig, int gesamt, const QString& tabelle)>;

bool vereinUmziehen(const QString& von, const QString& nach, const Umzugsfortschritt& fortschritt,
                    Umzugsbericht* bericht, QString* fehler);
