#pragma once

#include <QString>

class Ini;

// The live display on the club's network, as wettk.ini keeps it in [ANZEIGE].
struct Anzeigeeinstellung {
    static constexpr quint16 kStandardPort = 8080;
    static inline const QString kNurDieserPc = QStringLiteral("127.0.0.1");

    bool an = false;
    quint16 port = kStandardPort;
    QString adresse;  // "" = every address of this PC
    bool kurznamen = false;

    bool operator==(const Anzeigeeinstellung&) const = default;

    static Anzeigeeinstellung lesen(const Ini& ini);
    void schreiben(Ini& ini) const;
};
