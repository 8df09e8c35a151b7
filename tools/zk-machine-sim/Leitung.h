#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The machine's end of the serial line: a pseudo-terminal on Linux, a COM port on Windows
// (a null-modem cable or a virtual COM pair to the program's port).
class Leitung : public QObject {
    Q_OBJECT
  public:
    // Opens the line; returns what the program is to open (a device path, a port name) or "",
    // with the reason in fehler().
    virtual QString oeffnen() = 0;
    virtual bool offen() const = 0;
    // Writes what it can without waiting; a line that is gone takes nothing.
    virtual void schreiben(const QByteArray& bytes) = 0;
    // The adapter is pulled: what was written goes out first, then the line closes.
    virtual void ziehen() = 0;
    // How the opened line is announced on standard output ("PTY", "PORT").
    virtual QByteArray kennung() const = 0;
    virtual QString fehler() const = 0;

  signals:
    void empfangen(const QByteArray& bytes);
    void verloren();  // the line failed on its own (a USB adapter pulled out)
};
