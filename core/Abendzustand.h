#pragma once

#include <QString>

#include <array>
#include <cstdint>

// One shot of the card being worked on.
struct ShotSlot {
    static constexpr float kKeinTeiler = 9999.0f;  // the shot carries no Teiler

    std::int16_t Ring = 0;
    float Teiler = kKeinTeiler;
    float X = 0.0f;
    float Y = 0.0f;
    bool CorrectionFlag = false;  // the machine asked for a hand correction
    bool ValidFlag = false;       // the slot holds a shot; only such shots are stored
};

// The one evening state every window shares: the shot buffer, the computed series and best
// values, and the settings the main window copied at start-up.
struct Abendzustand {
    static constexpr int kSchuesse = 60;
    static constexpr int kSerien = 6;

    std::array<ShotSlot, kSchuesse + 1> Shots{};    // 1..60; slot 0 never used
    std::array<std::int16_t, kSerien + 1> Serie{};  // 1..6
    // 1..6 best Teiler per series, 0 of the evening; 9999 when none
    std::array<float, kSerien + 1> SerienTeiler{};
    std::int16_t Best10 = 0;
    std::int16_t Best20 = 0;
    std::int16_t Best40 = 0;
    std::int16_t NextShotIndex = 1;

    QString MachineName;
    std::int16_t Punktwertung = 0;
    QString Teilerwertung;
    std::int16_t Saisonversatz = 0;
    std::int16_t Saisonjahr = 0;
    QString Exportdatei;
    QString Exporttrenner = QStringLiteral(",");
    QString Datenbankdatei;
    std::int16_t AnwPunkte = 0;
    float PistolenTeiler = 0.0f;
    QString ProgramCode;
    QString ControlString;
    std::int16_t ShotLimit = 0;
    QString TargetType = QStringLiteral("LG");
    bool DebugAnzeige = false;
    QString Version = QStringLiteral("4.0.0");

    Abendzustand() { SerienTeiler.fill(ShotSlot::kKeinTeiler); }

    // Empties the shot buffer and the series; SerienTeiler stays as it is.
    void clearSchussPuffer();

    // Bounds-checked access for indexes that come from outside (machines, the database).
    ShotSlot* shot(int index) {
        return index >= 1 && index <= kSchuesse ? &Shots[static_cast<std::size_t>(index)] : nullptr;
    }
};
