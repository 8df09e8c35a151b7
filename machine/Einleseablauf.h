#pragma once

#include <QByteArray>
#include <QObject>
#include <QRect>
#include <QString>
#include <QTimer>

#include <bitset>
#include <memory>

#include "machine/Maschinendialog.h"

struct Abendzustand;
class Ini;
class SerialLine;

// What a reading shows in the reading window.
class EinleseAnzeige {
  public:
    virtual ~EinleseAnzeige() = default;
    virtual void status(const QString& text) = 0;
    virtual QString status() const = 0;
    virtual void debugAnhaengen(const QString& text) = 0;  // Debug_Text
    virtual void debugLabel(const QString& text) = 0;      // Debug_L
    // Asks for the ring of a flagged shot and waits, keeping events going, for a value
    // from 0 to 10.
    virtual int korrekturErfragen(int slot, int ring) = 0;
    virtual void verbergen() = 0;
};

// What a reading asks of the main window.
class Abendfenster {
  public:
    virtual ~Abendfenster() = default;
    virtual void serienUndAnzeige() = 0;       // series from the buffer, shown in the fields
    virtual void berechnenUndSpeichern() = 0;  // calculate and save
    virtual void warnung(const QString& text) = 0;
    virtual void nachVorne() = 0;
    virtual void programmZeigen(const QString& text) = 0;  // RMst
    // A reading is open (true) or over: while it is open the member, the date and the
    // target program must not change under it.
    virtual void lesungOffen(bool offen) { (void)offen; }
    // Where the member's number and name are on the screen: the reading window keeps clear
    // of them, so that the official sees whose card is read.
    virtual QRect freizuhalten() const { return {}; }
};

// The course of one reading over the serial line: the start, the cards, the hand
// corrections and their reports, the finishing, and a line that goes away. What the bytes
// on the line mean is the business of the machine's dialogue.
class Einleseablauf : public QObject, private Lesekontext {
    Q_OBJECT
  public:
    Einleseablauf(SerialLine& line, Ini& ini, Abendzustand& zustand, EinleseAnzeige& anzeige,
                  Abendfenster& abend, QObject* parent = nullptr);
    ~Einleseablauf() override;

    // Port set-up and opening by machine kind; false with the German reason.
    bool portEinrichten(QString* fehler);
    // A machine is attached: the port is open and DSR is not off.
    bool bereit();

    void ZuRM(const QString& text);
    void ZuSAM(const QByteArray& bytes);

    void auswertung_starten();
    void beenden();  // "Einlesen beenden" and the machines' end records
    void korrekturVerfahren();

    // The remote-control commands of the main window and the "SER" button.
    void fernsteuern();
    void normal();
    void sendeAck();

    bool liest() const override { return liest_; }
    QTimer& timer1() { return timer1_; }
    Maschinendialog& dialog();

    // How long ZuRM waits for the machine's DSR before it sends anyway.
    void setDsrWartezeit(int ms) { dsrWarteMs_ = ms; }
    // How long a corrected card may stay without its end before its report goes out.
    void setBerichtWartezeit(int ms) { berichtRuhe_.setInterval(ms); }

    // The line settings by machine kind ("2400,N,8,1" ...).
    QString leitungsEinstellung();

  signals:
    void gelesen();  // a reading has been finished and handed to the main window

  private:
    // Lesekontext
    Abendzustand& zustand() override { return z_; }
    Ini& ini() override { return ini_; }
    void senden(const QByteArray& bytes) override;
    void leitungEinstellen(const QString& settings) override;
    void zuRM(const QString& text) override { ZuRM(text); }
    bool portOffen() override;
    void ereignis(Maschinenereignis e) override;
    void korrektur() override { korrekturVerfahren(); }
    void schuesseZeigen() override;
    void lesenFertig() override;
    void status(const QString& text) override;
    void warnung(const QString& text) override;
    void debug(const QByteArray& text) override;
    void debugLabel(const QString& text) override;
    void pollen(int ms) override;

    void empfangen();
    void timer1Tick();
    void karteEnde();
    void berichteSenden();
    void leitungWeg(const QString& grund);

    SerialLine& line_;
    Ini& ini_;
    Abendzustand& z_;
    EinleseAnzeige& anzeige_;
    Abendfenster& abend_;
    std::unique_ptr<Maschinendialog> dialog_;
    QString dialogFuer_;

    QTimer timer1_;       // the poll timer
    QTimer berichtRuhe_;  // a corrected card whose end does not come is reported anyway
    int dsrWarteMs_ = 3000;
    bool liest_ = false;
    bool maschineFertig_ = false;  // the machine sent its end record
    bool korrekturLaeuft_ = false;
    bool beendenVerschoben_ = false;
    std::bitset<7> offeneBerichte_;  // cards 1..6 corrected but not yet reported
};
