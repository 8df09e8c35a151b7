#include "shotpicture/Schussbild.h"

#include <cmath>

#include "core/Abendzustand.h"
#include "core/Zahlen.h"
#include "platform/Drucker.h"

namespace {

constexpr int kSchwarz = 0x000000;
constexpr int kWeiss = 0xFFFFFF;
constexpr int kRot = 0xFF0000;
constexpr int kHellgrau = 0xC8C8C8;  // RGB(200, 200, 200)
constexpr int kDunkel = 0x141414;    // RGB(20, 20, 20)

bool istLp(const QString& typ) {
    return typ == QLatin1String("LP");
}

// The ring numbers 10 - i at four places around the centre; `versatz` is the
// distance of the text from the axis (30 twips on the old screen, as a part of u here).
// Numbers that stand on the black of the screen face (up to `weissBis`) are white.
void ringZahlen(Drucker& d, double cx, double cy, double u, bool lp, int weissBis = 0) {
    const double v = 0.12 * u;
    for (int i = 1; i <= 9; ++i) {
        const QString t = QString::number(10 - i);
        d.textFarbe(i <= weissBis ? kWeiss : kSchwarz);
        if (lp) {
            d.text(cx - v, cy - (i + 0.7) * u, t);
            d.text(cx - v, cy + (i - 1 + 0.9) * u, t);
            d.text(cx - (i + 0.4) * u, cy - v, t);
            d.text(cx + (i - 1 + 0.9) * u, cy - v, t);
        } else {
            d.text(cx - v, cy - i * u + 0.05 * u, t);
            d.text(cx - v, cy + (i - 1) * u + 0.25 * u, t);
            d.text(cx - i * u + 0.125 * u, cy - v, t);
            d.text(cx + (i - 1) * u + 0.3 * u, cy - v, t);
        }
    }
}

}  // namespace

// Turned clockwise about the face's centre; in a square area (cx = cy) these are the
// old formulas, (2cy - y, x) for 90 degrees and (y, 2cx - x) for 270.
QPointF schussLage(double cx, double cy, double u, const Ansicht& a, double x, double y) {
    const double px = cx + u * x * a.spiegelX;
    const double py = cy + u * y * a.spiegelY;
    switch (a.drehung) {
        case 90:
            return {cx - (py - cy), cy + (px - cx)};
        case 180:
            return {2 * cx - px, 2 * cy - py};
        case 270:
            return {cx + (py - cy), cy - (px - cx)};
        default:
            return {px, py};
    }
}

bool hatLage(float x, float y, float teiler) {
    return !(x == 0.0f && y == 0.0f && teiler >= ShotSlot::kKeinTeiler);
}

int bildZeichnen(Drucker& d, double breite, double hoehe, const QString& typ, const Ansicht& a,
                 const Abendzustand& z) {
    // The face in the largest square of the area, so that it stays whole and round and
    // turns about its centre.
    const double cx = std::round(breite / 2);
    const double cy = std::round(hoehe / 2);
    const double u = std::round(std::min(cx, cy) / 12);
    const bool lp = istLp(typ);
    d.schrift(std::max(6.0, u / 4));
    if (lp) {
        d.kreis(cx, cy, (3 + 5.75 / 8) * u, kSchwarz, kSchwarz);
        d.kreis(cx, cy, 2.5 / 8 * u, Drucker::kKeineFuellung, kWeiss);
        for (int k = 0; k <= 9; ++k) {
            d.kreis(cx, cy, (5.75 / 8 + k) * u, Drucker::kKeineFuellung,
                    k <= 3 ? kWeiss : kSchwarz);
        }
    } else {
        d.kreis(cx, cy, 6.2 * u, kSchwarz, kSchwarz);
        d.kreis(cx, cy, 0.2 * u, kWeiss, kWeiss);
        for (int k = 1; k <= 9; ++k) {
            d.kreis(cx, cy, (0.2 + k) * u, Drucker::kKeineFuellung, k <= 6 ? kWeiss : kSchwarz);
        }
    }
    ringZahlen(d, cx, cy, u, lp, lp ? 3 : 6);

    const double ringbreite = lp ? 8 : 2.5;
    const double r = 4.5 / ringbreite * u / (a.klein ? 4 : 2.1);
    int ohneLage = 0;
    for (int s = std::max(a.erster, 1); s <= std::min(a.letzter, 60); ++s) {
        const ShotSlot& schuss = z.Shots[static_cast<std::size_t>(s)];
        if (!schuss.ValidFlag) {
            continue;
        }
        if (!hatLage(schuss.X, schuss.Y, schuss.Teiler)) {
            ++ohneLage;
            continue;
        }
        const QPointF p = schussLage(cx, cy, u, a, schuss.X, schuss.Y);
        const int grau = std::min(4 * s, 255);
        d.kreis(p.x(), p.y(), r, kRot, (grau << 16) | (grau << 8) | grau);
        if (a.nummern) {
            const double k = r < 100 ? 0.8 : 0.5;
            const double nx = cx + u * schuss.X * a.spiegelX - r * k * a.spiegelX;
            const double ny = cy + u * schuss.Y * a.spiegelY - r * k * a.spiegelY;
            // the number's corner turns with the picture, as the shot does
            Ansicht ohneSpiegel = a;
            ohneSpiegel.spiegelX = ohneSpiegel.spiegelY = 1;
            const QPointF t = schussLage(cx, cy, u, ohneSpiegel, (nx - cx) / u, (ny - cy) / u);
            d.textFarbe(kWeiss);
            d.text(t.x(), t.y(), QString::number(s));
        }
    }
    return ohneLage;
}

void bildDrucken(Drucker& d, const QString& typ, const Ansicht& a, const Abendzustand& z) {
    const double ha = d.breite() / 2;
    const double b = d.hoehe() / 5;
    struct Bild {
        int von, bis;
        double x, y, teiler;
    };
    const Bild bilder[] = {{1, 10, 0.5, 0.7, 27}, {11, 20, 1.5, 0.7, 27}, {21, 30, 0.5, 2, 27},
                           {31, 40, 1.5, 2, 27},  {41, 50, 0.5, 4.2, 27}, {51, 60, 1.5, 4.2, 27},
                           {1, 60, 1, 3.1, 20}};
    const bool lp = istLp(typ);
    for (const Bild& bild : bilder) {
        const double cx = bild.x * ha;
        const double cy = bild.y * b;
        const double u = ha / bild.teiler;
        d.textFarbe(kSchwarz);
        d.schrift(std::max(4.0, u * 1.2));
        if (lp) {
            d.kreis(cx, cy, 3.71 * u, kHellgrau, kSchwarz);
            d.kreis(cx, cy, 0.3 * u, Drucker::kKeineFuellung, kSchwarz);
            for (int k = 0; k <= 9; ++k) {
                d.kreis(cx, cy, (0.71 + k) * u, Drucker::kKeineFuellung, kSchwarz);
            }
        } else {
            d.kreis(cx, cy, 6.1 * u, kHellgrau, kSchwarz);
            d.kreis(cx, cy, 0.1 * u, kWeiss, kSchwarz);
            for (int k = 1; k <= 9; ++k) {
                d.kreis(cx, cy, (k + 0.1) * u, Drucker::kKeineFuellung, kSchwarz);
            }
        }
        ringZahlen(d, cx, cy, u, lp);
        for (int s = bild.von; s <= bild.bis; ++s) {
            const ShotSlot& schuss = z.Shots[static_cast<std::size_t>(s)];
            if (!schuss.ValidFlag || !hatLage(schuss.X, schuss.Y, schuss.Teiler)) {
                continue;
            }
            const double x = cx + u * schuss.X * a.spiegelX;
            const double y = cy + u * schuss.Y * a.spiegelY;
            d.kreis(x, y, (lp ? 0.3 : 0.9) * u, kDunkel, kDunkel);
            if (a.nummern) {
                d.textFarbe(kWeiss);
                d.text(x - 0.7 * u * a.spiegelX, y - 0.7 * u * a.spiegelY, QString::number(s));
                d.textFarbe(kSchwarz);
            }
        }
    }
}
