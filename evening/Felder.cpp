#include "evening/Felder.h"

#include "core/Abendzustand.h"

const QString& Felder::datumText() const {
    switch (datum) {
        case DatumsOption::Nachschiessen:
            return NTag;
        case DatumsOption::Vorschiessen:
            return VTag;
        case DatumsOption::Heute:
            break;
    }
    return Heute;
}

void Felder::clearSchuss(Abendzustand& zustand) {
    for (QString& s : Schuss) {
        s.clear();
    }
    for (int i = 0; i < 7; ++i) {
        Scheibe[static_cast<std::size_t>(i)].clear();
        Teiler[static_cast<std::size_t>(i)].clear();
    }
    zustand.SerienTeiler.fill(9999.0f);
    GesScheibe.clear();
    BestTeiler.clear();
    Best.clear();
    Best10.clear();
    Punkte.clear();
    Liegend = false;
    Warnung.clear();
}
