#pragma once

#include <QString>

#include <functional>

#include "reports/Listen.h"

class Drucker;
struct SqlRows;

// What a printout's titles name besides the rows.
struct Druckkopf {
    QString datum;     // the evening's date text (Heute or NTag), listings 1 and 2
    QString schuetze;  // the member's name (SName), listing 5
    QString jetzt;     // date and time of printing
};

// How a member's name is printed (with or without the class designation).
using Namensform = std::function<QString(const QString&)>;

// Lays out a listing as the evening, year, season or member printout: titles, headings, one
// ruled line a row, page breaks at 251 mm and the count line. Returns the rows printed; the
// raw result table prints nothing (-1).
int listeDrucken(Drucker& drucker, Listenart art, const SqlRows& zeilen, const Druckkopf& kopf,
                 const Namensform& name);
