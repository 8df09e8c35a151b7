#pragma once

#include <array>
#include <cstdint>

class Database;

// The points of an imported range result.
struct Importpunkte {
    double punkte = 0;
    int best10 = 0;
    int best20 = 0;
    // Scoring by single shots is asked for, which the range's series cannot give: the
    // result gets no ring points and the user must be told.
    bool einzelschussWertung = false;
};

// Ring and Teiler points of a range result for a member class: the scoring total taken
// from the six series as `punktwertung` says, the Teiler in tenths (rounded) cut to whole
// tenths of ten. No attendance points. Throws DatabaseError.
Importpunkte Punktegeben_import(Database& club, const std::array<std::int16_t, 6>& serien,
                                std::int32_t teilerZehntel, int klasse, int punktwertung);
