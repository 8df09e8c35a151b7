#include "evening/Serien.h"

#include <algorithm>
#include <array>
#include <functional>

#include "core/Abendzustand.h"
#include "core/Zahlen.h"
#include "evening/Felder.h"

namespace {

constexpr float kKein = ShotSlot::kKeinTeiler;

std::size_t idx(int i) {
    return static_cast<std::size_t>(i);
}

bool hatText(const QString& s) {
    return !s.trimmed().isEmpty();
}

}  // namespace

namespace {

// Whether the series that ends with shot n has a total: all ten shots, or the lone first
// shot of a single-shot card.
bool serieHatSumme(int n, const Felder& felder) {
    bool vollstaendig = true;
    for (int i = n - 9; i <= n; ++i) {
        vollstaendig = vollstaendig && hatText(felder.Schuss[idx(i)]);
    }
    const bool einzelschuss = n == 10 && hatText(felder.Schuss[1]) && !hatText(felder.Schuss[2]) &&
                              !hatText(felder.Schuss[3]);
    return vollstaendig || einzelschuss;
}

}  // namespace

void Serberech(int n, Felder& felder) {
    if (n < 10 || n > 60 || n % 10 != 0) {
        return;
    }
    std::int16_t summe = 0;
    for (int i = n - 9; i <= n; ++i) {
        summe = zuInt16(summe + Zahlwert(felder.Schuss[idx(i)]));
    }
    if (serieHatSumme(n, felder)) {
        felder.Scheibe[idx(n / 10)] = zahlText(summe);
    }
}

void SerieNachEingabe(int n, Felder& felder) {
    if (n < 10 || n > 60 || n % 10 != 0) {
        return;
    }
    Serberech(n, felder);
    if (!serieHatSumme(n, felder)) {
        felder.Scheibe[idx(n / 10)].clear();
    }
}

void Serienwertung(Abendzustand& z, const Felder& felder) {
    for (int s = 1; s <= 6; ++s) {
        std::int16_t summe = 0;
        for (int i = 1; i <= 10; ++i) {
            summe = zuInt16(summe + z.Shots[idx((s - 1) * 10 + i)].Ring);
        }
        z.Serie[idx(s)] = summe;
    }

    std::array<std::int16_t, 6> sortiert{};
    std::copy(z.Serie.begin() + 1, z.Serie.end(), sortiert.begin());
    std::sort(sortiert.begin(), sortiert.end(), std::greater<>());
    z.Best10 = sortiert[0];
    z.Best20 = zuInt16(sortiert[0] + sortiert[1]);
    z.Best40 = zuInt16(sortiert[0] + sortiert[1] + sortiert[2] + sortiert[3]);

    // A non-zero Teiler shown in a field that is not worse than the computed one stays:
    // a Teiler typed by hand beats the machine's.
    auto feldLaesstZu = [&](int s, float t) {
        const float v = KommaZuPunkt(felder.Teiler[idx(s)]);
        return v == 0.0f || v > t;
    };

    if (z.Teilerwertung == QLatin1String("10")) {
        float t = kKein;
        for (int i = 1; i <= 10; ++i) {
            t = std::min(t, z.Shots[idx(i)].Teiler);
        }
        if (t < kKein && feldLaesstZu(1, t)) {
            z.SerienTeiler[1] = t;
            z.SerienTeiler[0] = t;
        }
    } else if (z.Teilerwertung == QLatin1String("1")) {
        // The first shot counts also while its field is still empty, as in the other modes.
        const float t = z.Shots[1].Teiler;
        if (t > 0.0f && t < kKein && feldLaesstZu(1, t)) {
            z.SerienTeiler[1] = t;
            z.SerienTeiler[0] = t;
        }
    } else {
        for (int s = 1; s <= 6; ++s) {
            float t = kKein;
            for (int i = 1; i <= 10; ++i) {
                t = std::min(t, z.Shots[idx((s - 1) * 10 + i)].Teiler);
            }
            if (t < kKein && feldLaesstZu(s, t)) {
                z.SerienTeiler[idx(s)] = t;
                if (t < z.SerienTeiler[0]) {
                    z.SerienTeiler[0] = t;
                }
            }
        }
    }
}
