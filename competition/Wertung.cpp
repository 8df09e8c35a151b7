#include "competition/Wettkampf.h"

#include <algorithm>

#include "core/Zahlen.h"

namespace {

double wert(const QString& text) {
    return Zahlwert(text);  // a comma is no decimal separator: "95,5" counts 95
}

// Moves everything of a row but its mark.
void tauschen(Wettkampfzeile& a, Wettkampfzeile& b) {
    std::swap(a.name, b.name);
    std::swap(a.geb, b.geb);
    std::swap(a.serNr, b.serNr);
    std::swap(a.s, b.s);
    std::swap(a.ges, b.ges);
}

void sortieren(Wettkampf& w, int von, int bis) {
    bool getauscht = true;
    while (getauscht) {
        getauscht = false;
        for (int i = von; i < bis; ++i) {
            auto& oben = w.zeile[static_cast<std::size_t>(i)];
            auto& unten = w.zeile[static_cast<std::size_t>(i + 1)];
            if (wert(unten.ges) > wert(oben.ges)) {
                tauschen(oben, unten);
                getauscht = true;
            }
        }
    }
}

double summe(const Wettkampf& w, int von, int bis) {
    double s = 0;
    for (int i = von; i <= bis; ++i) {
        s += wert(w.zeile[static_cast<std::size_t>(i)].ges);
    }
    return s;
}

// The marked rows' sum is held as a 16-bit whole number, rounded after every addition.
double markierte(const Wettkampf& w, int von, int bis) {
    double s = 0;
    for (int i = von; i <= bis; ++i) {
        const auto& z = w.zeile[static_cast<std::size_t>(i)];
        if (z.markiert) {
            s = std::clamp(rundeGerade(s + wert(z.ges)), -32768.0, 32767.0);
        }
    }
    return s;
}

}  // namespace

void werten(Wettkampf& w, Wertungsmodus modus) {
    for (int i = 1; i <= Wettkampf::kZeilen; ++i) {
        auto& z = w.zeile[static_cast<std::size_t>(i)];
        double ges = 0;
        for (int s = 1; s <= 6; ++s) {
            ges += wert(z.s[static_cast<std::size_t>(s)]);
        }
        z.ges = zahlTextBlank(ges);
    }
    double heim = 0;
    double gast = 0;
    switch (modus) {
        case Wertungsmodus::ErsteVier:
            heim = summe(w, 1, 4);
            gast = summe(w, 8, 11);
            break;
        case Wertungsmodus::BesteDrei:
        case Wertungsmodus::BesteVier: {
            const int n = modus == Wertungsmodus::BesteDrei ? 3 : 4;
            sortieren(w, 1, 7);
            sortieren(w, 8, 14);
            heim = summe(w, 1, n);
            gast = summe(w, 8, 7 + n);
            break;
        }
        case Wertungsmodus::Markierte:
            heim = markierte(w, 1, 7);
            gast = markierte(w, 8, 14);
            break;
    }
    w.heimGes = zahlTextBlank(heim);
    w.gastGes = zahlTextBlank(gast);
}
