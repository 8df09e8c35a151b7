#include "rangeimport/PunkteImport.h"

#include <algorithm>
#include <functional>

#include "evening/Punkte.h"

Importpunkte Punktegeben_import(Database& club, const std::array<std::int16_t, 6>& s,
                                std::int32_t teilerZehntel, int klasse, int punktwertung) {
    std::array<int, 6> a{};
    std::copy(s.begin(), s.end(), a.begin());
    std::sort(a.begin(), a.end(), std::greater<>());

    Importpunkte p;
    p.best10 = a[0];
    p.best20 = a[0] + a[1];
    const int best40 = a[0] + a[1] + a[2] + a[3];

    int basis = 0;
    switch (punktwertung) {
        case -10:
            basis = s[0];
            break;
        case 1:
            p.einzelschussWertung = true;
            break;
        case -20:
            basis = s[0] + s[1];
            break;
        case 20:
            basis = p.best20;
            break;
        case 40:
            basis = best40;
            break;
        case -40:
            basis = s[0] + s[1] + s[2] + s[3];
            break;
        case 60:
            basis = s[0] + s[1] + s[2] + s[3] + s[4] + s[5];
            break;
        default:
            basis = p.best10;
            break;
    }
    const int k = klasse < 1 ? 1 : klasse;
    p.punkte = ringPunkte(club, static_cast<float>(basis), k);
    const int t = teilerZehntel / 10;  // towards zero
    if (t > 0) {
        p.punkte += teilerPunkte(club, static_cast<float>(t), k);
    }
    return p;
}
