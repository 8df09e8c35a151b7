#pragma once

#include <QString>

#include <optional>

class Database;

struct Mitglied {
    int Nr = 0;
    QString Name;
    int Klasse = 0;
};

// The member with the number typed into SNummer ("0" for an empty field).
std::optional<Mitglied> mitgliedNachNummer(Database& db, const QString& nummerText);

struct NamensTreffer {
    int anzahl = 0;
    std::optional<Mitglied> erster;  // the first hit by name
};

// Members whose name starts with `anfang`, exactly as typed: wildcard and quote characters
// match only themselves.
NamensTreffer mitgliederNachName(Database& db, const QString& anfang);
