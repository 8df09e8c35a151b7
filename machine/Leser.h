#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

struct Abendzustand;

// What a machine record means for the course of a reading.
enum class Maschinenereignis {
    KarteEnde,     // a card is done: correction, series, next card
    LesenEnde,     // the machine finished the reading
    LesenAbbruch,  // the machine asks to finish as if "Einlesen beenden" was pressed
};
using Ereignisempfaenger = std::function<void(Maschinenereignis)>;

// Ring values from a machine: whole rings within reason, anything else is no ring.
bool ringAusText(const QString& text, std::int16_t* ring);

// DISAG RM III: lines ending in CR, shot records "slot;ring;teiler;x;y;" and the lines
// "SCHEIBE" and "ENDE". A serial port delivers arbitrary pieces, so an unfinished line is
// kept until its CR arrives (or until flush() is called when the line stays quiet).
class Rm3Leser {
  public:
    // Parses every complete line of what arrived; events are reported as they occur.
    void empfangen(const QByteArray& bytes, Abendzustand& z, const Ereignisempfaenger& melde);
    // The kept piece as a line of its own.
    void flush(Abendzustand& z, const Ereignisempfaenger& melde);
    bool hatRest() const { return !rest_.isEmpty(); }
    void zuruecksetzen() { rest_.clear(); }

    // One line; public for the tests.
    static void zeile(const QString& line, Abendzustand& z, const Ereignisempfaenger& melde);

  private:
    QByteArray rest_;
};

// DISAG RM III WIN: one data line (without its CR), as taken from the receive buffer.
void rm3WinZeile(const QString& line, Abendzustand& z, const Ereignisempfaenger& melde);

// SAM: one block (header of six lines, then four lines per shot). Returns false when the
// block was too short to be one.
bool samBlock(const QByteArray& block, Abendzustand& z);
