#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The cards a simulated machine plays: one shot a line "ring;teiler;x;y[;M]" (ring "?" for
// a ring the machine could not read, M for "correct by hand"), cards separated by "---",
// "#" starts a comment.
struct SimSchuss {
    QString ring;  // "9", "10", "?"
    double teiler = 0;
    double x = 0;  // ring widths, right positive
    double y = 0;  // ring widths, down positive
    bool korrektur = false;
};
using SimKarte = std::vector<SimSchuss>;

bool kartenLesen(const QString& text, std::vector<SimKarte>* karten, QString* fehler);
