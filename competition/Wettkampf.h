#pragma once

#include <QString>

#include <array>

// One match of the team competition as the grid holds it: rows 1 to 7 the home team,
// rows 8 to 14 the guest team, every field the text the user typed.
struct Wettkampfzeile {
    QString name;  // Heim_Schuetze
    QString geb;
    QString serNr;
    std::array<QString, 7> s;  // S1..S6 at 1..6
    QString ges;
    bool markiert = false;  // Check1: stays with the row position, not with the shooter
};

struct Wettkampf {
    static constexpr int kZeilen = 14;
    std::array<Wettkampfzeile, kZeilen + 1> zeile;  // 1..14
    QString heimNummer, heimName, gastNummer, gastName;
    QString klasse, gruppe, datum;
    QString heimGes, gastGes;
    bool lp = false;
    bool lg = false;
};

// Who counts for a team.
enum class Wertungsmodus {
    ErsteVier,  // "Die ersten 4 eingetragenen"
    BesteDrei,  // "Die besten 3"
    BesteVier,  // "Die besten 4"
    Markierte,  // "Alle Markierten"
};

// Every shooter's total from the six series, then the team totals by the mode; the best-N
// modes rank each team's rows by total (equal totals keep their order).
void werten(Wettkampf& w, Wertungsmodus modus);
