#pragma once

// What the main window asks of the machine side: the reading window and the machine
// settings window stand behind it.
class Lesesteuerung {
  public:
    virtual ~Lesesteuerung() = default;
    // Port set-up and opening at start-up; a port that cannot be opened is reported once.
    virtual void laden() = 0;
    // The port set up again after the machine settings changed (not during a reading);
    // a port that cannot be opened is reported.
    virtual void portEinrichten() = 0;
    // A machine is attached and ready: a reading can start.
    virtual bool bereit() = 0;
    // Shows the reading window, empties the shot buffer and starts the reading.
    virtual void lesenStarten() = 0;
    virtual void fernsteuern() = 0;
    virtual void normal() = 0;
    // Opens the machine settings window ("RM einstellen").
    virtual void programmWaehlen() = 0;
};
