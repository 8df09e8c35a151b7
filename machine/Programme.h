#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

struct Abendzustand;

// The predefined target programs of the program buttons and of the program list.
struct Scheibenprogramm {
    const char* bezeichnung;  // caption or list text
    const char* programCode;
    const char* controlString;
    std::int16_t shotLimit;
    const char* option;  // objectName of the indicator option in the main window
};

// The six program buttons S1x10, S2x10, S4x10, S4x5, S8x5, S20x2, in this order.
extern const std::array<Scheibenprogramm, 6> kProgrammKnoepfe;
// The entries of the program list, in list order.
extern const std::array<Scheibenprogramm, 9> kProgrammListe;

// Takes a program into the evening state (code, control string, shot limit).
void programmUebernehmen(const Scheibenprogramm& p, Abendzustand& zustand);

// The list entry with exactly this text.
std::optional<Scheibenprogramm> listenProgramm(const QString& text);

// The control string the main window starts with: the default program with its check
// character.
QString startControlString();
