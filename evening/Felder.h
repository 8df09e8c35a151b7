#pragma once

#include <QString>

#include <array>

struct Abendzustand;

// Which of the three evening dates is chosen (Option1..Option3 of the main window).
enum class DatumsOption { Nachschiessen = 1, Heute = 2, Vorschiessen = 3 };

// The main window's fields as the evening's working variables. The rules of an evening
// read and write these texts; the window shows them and feeds back what the user typed,
// so the rules run the same with or without a display.
struct Felder {
    static inline const QString kKeinEintrag = QStringLiteral("Kein Eintrag");
    // The short date of the three date fields (a German system's).
    static inline const QString kDatumsformat = QStringLiteral("dd.MM.yyyy");

    QString SNummer;
    QString SName = kKeinEintrag;
    QString Label13;

    DatumsOption datum = DatumsOption::Heute;
    QString NTag;
    QString Heute;
    QString VTag;
    QString Saison;
    QString Label11;

    bool Anwesend = false;
    bool Liegend = false;
    bool Wettkampf = false;

    std::array<QString, 61> Schuss;  // 1..60
    std::array<QString, 7> Scheibe;  // 1..6
    std::array<QString, 7> Teiler;   // 1..6
    QString GesScheibe;
    QString BestTeiler;
    QString Best10;
    QString Best;
    QString Punkte;
    QString Warnung;

    bool Option1() const { return datum == DatumsOption::Nachschiessen; }
    bool Option2() const { return datum == DatumsOption::Heute; }
    bool Option3() const { return datum == DatumsOption::Vorschiessen; }

    bool keinMitglied() const { return SName == kKeinEintrag; }

    // The date text of the chosen option.
    const QString& datumText() const;

    // Empties the displayed evening (not the shot buffer); all SerienTeiler become 9999.
    void clearSchuss(Abendzustand& zustand);
};
