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

// A ring from a machine: a number from 0 to 10. Anything else ("?.?", 11, -1) is no ring
// and the shot is asked for by hand.
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

// SAM: one block without its framing (header of six lines, then four lines per shot slot).
// A slot whose ring is no number was not shot and is passed over. Returns false when the
// block was too short to be one.
bool samBlock(const QByteArray& block, Abendzustand& z);

// A SAM's framing: STX, the lines, ETB, one check byte and "$". The check byte is the XOR
// of every byte from STX to ETB, both included, and may be any byte, CR and "$" included.
// After a NAK the SAM sends the block again from its first data byte, without the STX.
struct SamRahmen {
    enum Art {
        KeinRahmen,      // no STX: a machine that sends bare lines
        Unvollstaendig,  // the rest is still to come
        Gut,             // block holds the lines between STX and ETB
        PruefFehler,     // check byte or closing "$" wrong
    };
    Art art = KeinRahmen;
    QByteArray block;
    qsizetype anfang = 0;  // the block's first byte (its STX, if it came with one)
    qsizetype ende = 0;    // bytes of the buffer used up, noise before the STX included
};
// ohneStx: the program has just sent NAK, so the block may start without its STX.
SamRahmen samRahmenSuchen(const QByteArray& puffer, bool ohneStx = false);
// Whether a check byte fits the block between STX and ETB. The maker's sum runs over STX
// and ETB too; sums over the lines alone, or over the lines and ETB, are taken as well.
bool samPruefbyteStimmt(const QByteArray& block, unsigned char pruefbyte);
