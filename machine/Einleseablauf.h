#pragma once

#include <QByteArray>
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <bitset>
#include <functional>
#include <memory>
#include <optional>

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
    // A question with several answers; Enter and Esc give `vorgabe`. The index chosen.
    virtual int waehlen(const QString& text, const QStringList& antworten, int vorgabe) {
        (void)text, (void)antworten;
        return vorgabe;
    }
    // A note shown between readings, without taking the keyboard.
    virtual void hinweis(const QString& text) { status(text); }
};

// What the main window notes of the evening a reading is for, to find that evening again.
class Abendvermerk {
  public:
    virtual ~Abendvermerk() = default;
    QString nummer;
    QString name;
    QString datum;
    QString wer() const {
        return QStringLiteral("Nr. %1 (%2)").arg(nummer, name);
    }
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
    // A reading that brought no shot stores nothing: the evening stored before stays, and
    // the window shows it again.
    virtual void nichtsGelesen(const QString& text) { warnung(text); }
    // A reading is open (true) or over: while it is open the member, the date and the
    // target program must not change under it.
    virtual void lesungOffen(bool offen) { (void)offen; }
    // Where the member's number and name are on the screen: the reading window keeps clear
    // of them, so that the official sees whose card is read.
    virtual QRect freizuhalten() const { return {}; }
    // The member and evening now shown (null when there is none to note).
    virtual std::shared_ptr<const Abendvermerk> abendVermerk() const { return {}; }
    // Adds shots to the noted evening and stores it at once; false after telling the user
    // why not.
    virtual bool nachtragen(const Abendvermerk& abend,
                            const std::function<void(Abendzustand&)>& schuesse) {
        (void)abend, (void)schuesse;
        return false;
    }
};

// A strip the machine still held when a reading ended, with the reading it came in.
struct Streifenrest {
    QByteArray block;                           // its lines as far as they came
    std::shared_ptr<const Abendvermerk> abend;  // null after a restart
    QString wer;                                // "Nr. 31 (Alt Anna) am 03.04.2024"
    bool gespeichert = false;  // stored already; the machine did not take the ACK
    bool ausDiesemLauf = true;  // noted by this run of the program
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

    // The strip left in the machine by an earlier reading, if any.
    const std::optional<Streifenrest>& streifenrest() const { return rest_; }

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
    Streifenwahl ersterStreifen(const QByteArray& block,
                                const std::function<void(Abendzustand&)>& einlesen) override;
    void nachgekommen(const QByteArray& block) override;

    void empfangen();
    void wartenVorbei();
    QString restMerken();
    QString restText() const;
    void restSichern();
    void restLaden();
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
    int korrekturSlot_ = 0;  // the shot whose ring is being asked for
    std::bitset<7> offeneBerichte_;  // cards 1..6 corrected but not yet reported
    std::shared_ptr<const Abendvermerk> jetzt_;    // the evening of the reading now open
    std::shared_ptr<const Abendvermerk> letzter_;  // that of the reading ended last
    std::optional<Streifenrest> rest_;
};
