#pragma once

#include <QString>

class Database;

// The season's sums of each member with points (Name, Best10, Best20, Gesammt, Teiler,
// Punkte, Anwesend, Geschossen, Klasse), the season bound as the only value.
extern const QString kJahresSummen;

// Rebuilds the year table of the season: one row per member with points in that season,
// with the season's sums, attendance and shot counts and the best Teiler. All of it is one
// transaction: on failure the old table stays and DatabaseError is thrown.
void jahrestabNeuAufbauen(Database& db, int saison);
