#include "core/DatenbankSlots.h"

#include "core/Einstellungen.h"
#include "core/Ini.h"
#include "core/Zahlen.h"

DatenbankSlots leseSlots(const Ini& ini) {
    DatenbankSlots liste;
    for (int i = 0; i < 4; ++i) {
        const QString section = ini::slotSection(i);
        auto& s = liste[static_cast<std::size_t>(i)];
        s.name = ini.IniLesen(section, ini::kName);
        s.datei = ini.IniLesen(section, ini::kDatei);
        s.farbe = ini.IniLesen(section, ini::kFarbe);
        s.tag = ini.IniLesen(section, ini::kTag);
    }
    return liste;
}

QString wochentagKurz(const QDate& tag) {
    static const std::array<QString, 7> namen = {
        QStringLiteral("Mo"), QStringLiteral("Di"), QStringLiteral("Mi"), QStringLiteral("Do"),
        QStringLiteral("Fr"), QStringLiteral("Sa"), QStringLiteral("So"),
    };
    const int d = tag.dayOfWeek();  // 1 = Monday
    return d >= 1 && d <= 7 ? namen[static_cast<std::size_t>(d - 1)] : QString();
}

int slotDesTages(const DatenbankSlots& liste, const QDate& tag) {
    const QString heute = wochentagKurz(tag);
    for (int i = 0; i < 4; ++i) {
        if (liste[static_cast<std::size_t>(i)].tag == heute) {
            return i;
        }
    }
    for (int i = 0; i < 4; ++i) {
        if (liste[static_cast<std::size_t>(i)].tag == QLatin1String("REST")) {
            return i;
        }
    }
    return 0;
}

unsigned int farbeAlsRgb(const QString& farbe) {
    const double wert = Zahlwert(farbe);
    const auto bgr = wert > 0 && wert <= 0xFFFFFF ? static_cast<unsigned int>(wert) : 0u;
    const unsigned int rot = bgr & 0xFF;
    const unsigned int gruen = (bgr >> 8) & 0xFF;
    const unsigned int blau = (bgr >> 16) & 0xFF;
    return (rot << 16) | (gruen << 8) | blau;
}
