#pragma once

#include <QString>

// The free program choice of the machine settings window: each option stores its code and
// value piece; the window shows the composed program code and takes over the control string.
struct ProgrammWahl {
    QString typCode, typName;          // SG SP SL SS SK
    QString laengeCode, laengeWert;    // ES B5 B10
    QString serieCode, serieWert;      // Ser1 .. Ser120
    QString teilerCode, teilerStueck;  // T50 .. T8000, TAus
    QString festeZiffer;               // always "2", set when the window loads
    QString druckCode;                 // DEin DAus
    QString schussCode;                // Schuss1 Schuss2 Schuss5
    QString aufdruck;                  // first nine characters of ZText

    void setAufdruck(const QString& text) { aufdruck = text.left(9); }

    // The program code as shown in rm_control_string; pieces not chosen add nothing.
    QString code() const;

    // The control string of the take-over.
    QString controlString() const;
};
