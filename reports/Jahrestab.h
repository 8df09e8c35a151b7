#pragma once

class Database;

// Rebuilds the year table of the season: one row per member with points in that season,
// with the season's sums, attendance and shot counts and the best Teiler. All of it is one
// transaction: on failure the old table stays and DatabaseError is thrown.
void jahrestabNeuAufbauen(Database& db, int saison);
