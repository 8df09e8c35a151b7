#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <vector>

class Database;

// What the live display shows, read from the club database and written as JSON. Only
// the standings: no member numbers, no histories.
namespace anzeige {

struct Zeile {
    int nr = 0;  // only to know the row again, never sent
    QString name;
    std::vector<double> serien;  // S1..S6 as stored, 0 for none
    double gesamt = 0, best10 = 0, best20 = 0, teiler = 0, punkte = 0;
    int anwesend = 0, geschossen = 0;
    bool operator==(const Zeile&) const = default;
};

// The evening's results, best ten first (as the evaluation window's "Beste 10").
std::vector<Zeile> abendLesen(Database& db, const QDate& datum);
// The season's sums of every member with points, most points first.
std::vector<Zeile> jahrLesen(Database& db, int saison);

// "Paulsen, Paula" -> "Paula P."; "Paula Maria Paulsen" -> "Paula P.": the first name
// whole and the surname by its initial.
QString kurzname(const QString& name);

// Whether two rows hold the same result (the name aside: renaming a member stores nothing).
bool ergebnisGleich(const Zeile& a, const Zeile& b);

QByteArray abendJson(const QDate& datum, const std::vector<Zeile>& zeilen, bool kurz, int neuNr);
QByteArray jahrJson(int saison, const std::vector<Zeile>& zeilen, bool kurz);

}  // namespace anzeige
