#pragma once

// What the main window asks of the machine side: the reading window and the machine
// settings window stand behind it.
class Lesesteuerung {
  public:
    virtual ~Lesesteuerung() = default;
    // Port set-up and opening at start-up; a port that cannot be opened is reported once.
    virtual void laden() = 0;
    // The port to the machine is open: a reading can start.
    virtual bool bereit() const = 0;
    // Shows the reading window, empties the shot buffer and starts the reading.
    virtual void lesenStarten() = 0;
    virtual void fernsteuern() = 0;
    virtual void normal() = 0;
    // Opens the machine settings window ("RM einstellen").
    virtual void programmWaehlen() = 0;
};
