#include "reports/Mitgliederliste.h"

#include "platform/Database.h"
#include "platform/Drucker.h"
#include "reports/Druckwerte.h"

namespace {

QString wertText(const SqlRows& z, std::size_t r, const QString& feld) {
    const QVariant v = z.value(r, feld);
    return feld == QLatin1String("Geburtstag") ? druck::kurzesDatum(v.toString()) : v.toString();
}

}  // namespace

void mitgliederDrucken(Drucker& d, const SqlRows& z, std::size_t ab, const QString& jetzt) {
    const QString muster = QStringLiteral("fghf");
    const QString titel = QStringLiteral(" Mitgliederausdruck vom: ") + jetzt;
    d.schriftart(QStringLiteral("Arial"));
    d.schrift(15);
    d.text(15, 10, titel);
    double th = d.textHoehe(muster);
    auto kopfzeile = [&](double y) {
        d.schrift(8);
        const std::pair<const char*, double> koepfe[] = {{"Nr", 15},         {"Name", 30},
                                                         {"Geburtstag", 70}, {"Straße", 100},
                                                         {"Ort", 145},       {"Klasse", 180}};
        for (const auto& [text, x] : koepfe) {
            d.text(x, y, QString::fromUtf8(text));
        }
    };
    double y = 10 + 2 * th;
    kopfzeile(y);
    th = d.textHoehe(muster);
    y += 2 * th;
    const std::pair<const char*, double> felder[] = {{"Nr", 15},         {"Name", 25},
                                                     {"Geburtstag", 70}, {"Strasse", 95},
                                                     {"Ort", 140},       {"Klasse", 185}};
    for (std::size_t r = ab; r < z.size(); ++r) {
        for (const auto& [feld, x] : felder) {
            d.text(x, y, wertText(z, r, QString::fromLatin1(feld)));
        }
        y += 1.5 * th;
        if (y >= 270 && r + 1 < z.size()) {
            d.neueSeite();
            d.text(15, 10, titel);  // in the 8-point font
            kopfzeile(10 + 2 * th);
            y = 10 + 4 * th;
        }
    }
}
