#include "core/Einstellungen.h"

#include <algorithm>

#include "core/Abendzustand.h"
#include "core/Ini.h"
#include "core/Zahlen.h"
#include "platform/Paths.h"

namespace ini {
QString slotSection(int slot) {
    return QStringLiteral("DB%1").arg(slot + 1);
}

const std::array<QString, 4> kStandardFarben = {
    QStringLiteral("&H01D7FF_Gold"),
    QStringLiteral("&H01FFFF_Gelb"),
    QStringLiteral("&HD1CE01_Türkis"),
    QStringLiteral("&HFF7084_Violett"),
};
}  // namespace ini

namespace startup {

bool leseMaschine(Ini& ini, Abendzustand& zustand) {
    zustand.MachineName = ini.IniLesen(ini::kWertmaschine, ini::kName);
    const bool leer = zustand.MachineName.isEmpty();
    if (zustand.MachineName != ini::kMaschineSam && zustand.MachineName != ini::kMaschineRm3Win) {
        zustand.MachineName = ini::kMaschineRm3;
        ini.IniSchreiben(ini::kWertmaschine, ini::kName, ini::kMaschineRm3);
    }
    return leer;
}

void lesePunktwertung(const Ini& ini, Abendzustand& zustand) {
    zustand.Punktwertung =
        abgeschnittenInt16(Zahlwert(ini.IniLesen(ini::kWertung, ini::kPunktScheiben)));
}

void leseSaisonversatz(const Ini& ini, Abendzustand& zustand) {
    // Months beyond a century are nonsense; bounding them keeps the date arithmetic sane.
    const double monate =
        std::clamp(Zahlwert(ini.IniLesen(ini::kWertung, ini::kMonat)), -1200.0, 1200.0);
    zustand.Saisonversatz = static_cast<std::int16_t>(-rundeGerade(monate));
}

void schreibeFarbStandards(Ini& ini) {
    for (int slot = 0; slot < 4; ++slot) {
        if (Zahlwert(ini.IniLesen(ini::slotSection(slot), ini::kFarbe)) == 0) {
            ini.IniSchreiben(ini::slotSection(slot), ini::kFarbe,
                             ini::kStandardFarben[static_cast<std::size_t>(slot)]);
        }
    }
}

void leseExport(Ini& ini, Abendzustand& zustand) {
    const QString datei = ini.IniLesen(ini::kExport, ini::kFile);
    if (datei.isEmpty()) {
        zustand.Exportdatei = paths::defaultExportFile();
        ini.IniSchreiben(ini::kExport, ini::kFile, zustand.Exportdatei);
    } else {
        zustand.Exportdatei = datei;
    }
    const QString trenner = ini.IniLesen(ini::kExport, ini::kDelimiter);
    if (trenner.isEmpty()) {
        zustand.Exporttrenner = QStringLiteral(",");
        ini.IniSchreiben(ini::kExport, ini::kDelimiter, zustand.Exporttrenner);
    } else {
        zustand.Exporttrenner = trenner;
    }
}

void leseTeilerwertung(const Ini& ini, Abendzustand& zustand) {
    const QString modus = ini.IniLesen(ini::kWertung, ini::kTeiler);
    if (modus == QLatin1String("1") || modus == QLatin1String("10") ||
        modus == QLatin1String("60")) {
        zustand.Teilerwertung = modus;
    } else {
        zustand.Teilerwertung.clear();
    }
}

bool leseAlles(Ini& ini, Abendzustand& zustand) {
    const bool einstellungenOeffnen = leseMaschine(ini, zustand);
    lesePunktwertung(ini, zustand);
    leseSaisonversatz(ini, zustand);
    schreibeFarbStandards(ini);
    leseExport(ini, zustand);
    leseTeilerwertung(ini, zustand);
    return einstellungenOeffnen;
}

int saisonJahr(const QDate& tag, int saisonversatz) {
    return tag.addMonths(saisonversatz).year();
}

}  // namespace startup
