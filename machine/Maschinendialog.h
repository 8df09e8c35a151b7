#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

#include "machine/Leser.h"

struct Abendzustand;
class Ini;

// What becomes of the first strip of a reading while the machine still held one from an
// earlier reading.
enum class Streifenwahl {
    Uebernehmen,  // read for the member now reading (also when nothing was left)
    Nachgetragen, // added to the evening it was read for
    Verworfen,    // acknowledged and dropped
};

// What a machine's dialogue may use of the reading around it.
class Lesekontext {
  public:
    virtual ~Lesekontext() = default;
    virtual Abendzustand& zustand() = 0;
    virtual Ini& ini() = 0;
    virtual bool liest() const = 0;  // a reading is running
    virtual void senden(const QByteArray& bytes) = 0;
    virtual void leitungEinstellen(const QString& settings) = 0;  // "2400,N,8,1"
    // RTS on, wait (bounded) for DSR, then text + CR.
    virtual void zuRM(const QString& text) = 0;
    // Opens the port again if it was closed; false after telling the user.
    virtual bool portOffen() = 0;
    // A card ended, the machine ended the reading, or it asks to finish.
    virtual void ereignis(Maschinenereignis e) = 0;
    // Asks for the shots the machine marked for a hand entry.
    virtual void korrektur() = 0;
    virtual void schuesseZeigen() = 0;  // series from the buffer, shown in the main window
    // The reading is complete as the machine counts it (SAM shot limit).
    virtual void lesenFertig() = 0;
    virtual void status(const QString& text) = 0;
    virtual void warnung(const QString& text) = 0;     // the main window's Warnung
    virtual void debug(const QByteArray& text) = 0;    // Debug_Text, with the debug switch on
    virtual void debugLabel(const QString& text) = 0;  // Debug_L
    virtual void pollen(int ms) = 0;                   // poll timer on at ms, 0 = off
    // The first block of a reading: when the machine still held a strip of an earlier
    // reading, the official says whose it is. `einlesen` puts the block's shots into a
    // buffer. Afterwards pending input is handed on again.
    virtual Streifenwahl ersterStreifen(const QByteArray& block,
                                        const std::function<void(Abendzustand&)>& einlesen) {
        (void)block, (void)einlesen;
        return Streifenwahl::Uebernehmen;
    }
    // Bytes of a block that came after the reading ended: the machine holds that block.
    virtual void nachgekommen(const QByteArray& block) { (void)block; }
};

// One machine kind's side of the serial dialogue. Each kind is a file of its own behind
// this interface; the course of a reading (cards, corrections, finishing) stays in
// Einleseablauf.
class Maschinendialog {
  public:
    virtual ~Maschinendialog() = default;

    // "2400,N,8,1" and the like.
    virtual QString leitungsEinstellung() const = 0;
    // DTR while the port is open.
    virtual bool dtr() const { return true; }
    // What goes out when a reading starts.
    virtual void starten() = 0;
    // Bytes from the machine, in whatever pieces the port delivers them.
    virtual void empfangen(const QByteArray& bytes) = 0;
    // The poll timer.
    virtual void tick() {}
    // What finishing sends; maschineFertig when the machine reported its end itself.
    virtual void beenden(bool maschineFertig) { (void)maschineFertig; }
    // The line is gone: what has come is taken, then every timer of the dialogue stops.
    virtual void stillegen() {}
    // "Fernsteuern" of the main window.
    virtual void fernsteuern() = 0;
    // After a reading ended: the block the machine still holds because it was never
    // acknowledged (as far as it came), or "". `gespeichert`: its shots were taken although
    // the machine did not accept the acknowledgement.
    virtual QByteArray liegtNoch(bool* gespeichert) const {
        (void)gespeichert;
        return {};
    }
    // What was dropped of a block cut off when the line went ("" when nothing).
    virtual QString verworfen() const { return {}; }
};

// The dialogue for MachineName ("RMIII", "RMIII_WIN", "SAM").
std::unique_ptr<Maschinendialog> maschinendialogFuer(const QString& maschine, Lesekontext& k);
