#pragma once

#include <QString>
#include <QStringList>

struct Felder;

// What F4 tells the official about the shots on screen: a series that is not complete, and
// whether its total is part of Gesamt (a typed one is not; a reading may bring its own total),
// and a shot beyond the chosen program.
// `programmSchuesse` is the program's number of shots, 0 when it is not known.
// One text per finding, in shot order, e.g. "Serie 2: 9 von 10 Schuss, zählt nicht im
// Gesamt".
QStringList serienHinweise(const Felder& felder, int programmSchuesse);

// The number of shots of a control string ("...;SGE=20;..."), 0 when it names none.
int programmSchuesse(const QString& controlString);
