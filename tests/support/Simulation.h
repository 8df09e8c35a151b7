#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

// The simulated ring-reading machine (zk-machine-sim) in a process of its own, its
// pseudo-terminal linked as serial port 1.
struct Simulation {
    QProcess prozess;
    QByteArray ausgabe;

    // Faults without their "--" ("geteilt", "abbruch-nach 12"); the cards from tests/data.
    bool starten(const QString& art, const QStringList& fehler = {},
                 const QString& karten = QStringLiteral("karten.txt"));
    // The machine came back on a new pseudo-terminal (after a cut): port 1 leads there now.
    bool wiederDa(int ms = 10000);
    // Everything the machine has printed so far (RX/TX lines, PROGRAMM, GETRENNT ...).
    QByteArray gelesen();
    ~Simulation();
};
