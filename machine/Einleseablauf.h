#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include "machine/Leser.h"

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
};

// The course of one reading over the serial line: the program sent at the start, the
// three machines' dialogues, hand corrections and the finishing.
class Einleseablauf : public QObject {
    Q_OBJECT
  public:
    Einleseablauf(SerialLine& line, Ini& ini, Abendzustand& zustand, EinleseAnzeige& anzeige,
                  Abendfenster& abend, QObject* parent = nullptr);

    // Port set-up and opening by machine kind; false with the German reason.
    bool portEinrichten(QString* fehler);

    void ZuRM(const QString& text);
    void zuRMIII_WIN(const QString& text);
    void ZuSAM(const QByteArray& bytes);

    void auswertung_starten();
    void beenden();  // "Einlesen beenden" and the machines' end records
    void korrekturVerfahren();

    // The remote-control commands of the main window and the "SER" button.
    void fernsteuern();
    void normal();
    void sendeAck();

    int handshakeStep() const { return handshakeStep_; }
    bool liest() const { return liest_; }
    QTimer& timer1() { return timer1_; }
    QTimer& timer2() { return timer2_; }

    // How long ZuRM waits for the machine's DSR before it sends anyway.
    void setDsrWartezeit(int ms) { dsrWarteMs_ = ms; }

    // The line settings by machine kind ("2400,N,8,1" ...).
    QString leitungsEinstellung() const;

  signals:
    void gelesen();  // a reading has been finished and handed to the main window

  private:
    void empfangen();
    void timer1Tick();
    void timer2Tick();
    void winTick();
    void samTick();
    void winZeileAbgeben(const QString& line);
    void ereignis(Maschinenereignis e);
    void karteEnde();
    void lesenFertig();
    void debug(const QByteArray& text);
    void senden(const QByteArray& bytes);
    bool portOffen();

    SerialLine& line_;
    Ini& ini_;
    Abendzustand& z_;
    EinleseAnzeige& anzeige_;
    Abendfenster& abend_;

    QTimer timer1_;
    QTimer timer2_;
    QTimer rm3Ruhe_;  // an unfinished RM III line that stays quiet is taken as it is

    Rm3Leser rm3_;
    QByteArray samPuffer_;
    qsizetype samPufferVorher_ = -1;
    int handshakeStep_ = 1;
    QByteArray pendingMessage_;
    QByteArray outMessage_;
    QByteArray rxBuffer_;
    QString debugTrace_;
    int readCounter_ = 0;
    int dsrWarteMs_ = 3000;
    bool liest_ = false;
    bool korrekturLaeuft_ = false;
    bool beendenVerschoben_ = false;
};
