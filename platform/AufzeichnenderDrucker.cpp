#include "platform/AufzeichnenderDrucker.h"

namespace {
constexpr double kMmJePunkt = 25.4 / 72.0;
}

double AufzeichnenderDrucker::textHoehe(const QString& muster) {
    return muster.isEmpty() ? 0 : punkte_ * kMmJePunkt * 1.15;
}

double AufzeichnenderDrucker::textBreite(const QString& text) {
    return static_cast<double>(text.size()) * punkte_ * kMmJePunkt * 0.5;
}

void AufzeichnenderDrucker::text(double x, double y, const QString& text) {
    eintraege.append({Eintrag::Text, seite_, x, y, 0, 0, text, punkte_, fett_});
}

void AufzeichnenderDrucker::linie(double x1, double y1, double x2, double y2) {
    eintraege.append({Eintrag::Linie, seite_, x1, y1, x2, y2, {}, punkte_, fett_});
}

void AufzeichnenderDrucker::rechteck(double x, double y, double breite, double hoehe) {
    eintraege.append({Eintrag::Rechteck, seite_, x, y, breite, hoehe, {}, punkte_, fett_});
}

QStringList AufzeichnenderDrucker::texte() const {
    QStringList t;
    for (const Eintrag& e : eintraege) {
        if (e.art == Eintrag::Text) {
            t << e.text;
        }
    }
    return t;
}

const AufzeichnenderDrucker::Eintrag* AufzeichnenderDrucker::suche(const QString& anfang) const {
    for (const Eintrag& e : eintraege) {
        if (e.art == Eintrag::Text && e.text.startsWith(anfang)) {
            return &e;
        }
    }
    return nullptr;
}
