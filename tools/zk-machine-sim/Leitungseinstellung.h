#pragma once

#include <QString>

#include "Simulator.h"

// Baud rate, parity, data and stop bits of a COM port, as "9600,N,8,1".
struct Leitungseinstellung {
    int baud = 9600;
    char paritaet = 'N';
    int datenbits = 8;
    int stoppbits = 1;

    QString text() const;
};

// What each machine uses when the program talks to it (the RM III WIN at its fast setting).
Leitungseinstellung leitungseinstellungFuer(Simulator::Art art);
// False when the text is not of the form "9600,N,8,1" or asks for what no port does.
bool leitungseinstellungLesen(const QString& text, Leitungseinstellung* out);
