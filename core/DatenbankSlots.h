#pragma once

#include <QDate>
#include <QString>

#include <array>

class Ini;

// The four configured club databases DB1..DB4.
struct DatenbankSlot {
    QString name;
    QString datei;
    QString farbe;
    QString tag;
};

using DatenbankSlots = std::array<DatenbankSlot, 4>;

DatenbankSlots leseSlots(const Ini& ini);

// "Mo", "Di", "Mi", "Do", "Fr", "Sa", "So".
QString wochentagKurz(const QDate& tag);

// Index 0..3 of the slot to open on `tag`: the first whose TAG names the weekday, else the
// first marked "REST", else DB1.
int slotDesTages(const DatenbankSlots& liste, const QDate& tag);

// The colour of a FARBE value as 0xRRGGBB (the stored number is blue, green, red from high
// to low byte, as the old program kept colours).
unsigned int farbeAlsRgb(const QString& farbe);
