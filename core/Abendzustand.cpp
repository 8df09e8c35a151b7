#include "core/Abendzustand.h"

void Abendzustand::clearSchussPuffer() {
    for (int i = 1; i <= kSchuesse; ++i) {
        Shots[static_cast<std::size_t>(i)] = ShotSlot{};
    }
    Best10 = 0;
    Best20 = 0;
    for (int s = 1; s <= kSerien; ++s) {
        Serie[static_cast<std::size_t>(s)] = 0;
    }
    NextShotIndex = 1;
}
