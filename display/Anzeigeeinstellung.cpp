#include "display/Anzeigeeinstellung.h"

#include "core/Ini.h"

namespace {
const QString kAbschnitt = QStringLiteral("ANZEIGE");
const QString kAn = QStringLiteral("AN");
const QString kPort = QStringLiteral("PORT");
const QString kAdresse = QStringLiteral("ADRESSE");
const QString kKurznamen = QStringLiteral("KURZNAMEN");
}  // namespace

Anzeigeeinstellung Anzeigeeinstellung::lesen(const Ini& ini) {
    Anzeigeeinstellung e;
    e.an = ini.IniLesen(kAbschnitt, kAn).trimmed() == QLatin1String("1");
    bool ok = false;
    const uint port = ini.IniLesen(kAbschnitt, kPort).trimmed().toUInt(&ok);
    // A port the file cannot mean is the usual one; 0 lets the system choose (for tests).
    e.port = ok && port <= 65535 ? static_cast<quint16>(port) : kStandardPort;
    e.adresse = ini.IniLesen(kAbschnitt, kAdresse).trimmed();
    e.kurznamen = ini.IniLesen(kAbschnitt, kKurznamen).trimmed() == QLatin1String("1");
    return e;
}

void Anzeigeeinstellung::schreiben(Ini& ini) const {
    ini.IniSchreiben(kAbschnitt,
                     {{kAn, an ? QStringLiteral("1") : QStringLiteral("0")},
                      {kPort, QString::number(port)},
                      {kAdresse, adresse},
                      {kKurznamen, kurznamen ? QStringLiteral("1") : QStringLiteral("0")}});
}
