#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>
#include <vector>

#include "Ausgang.h"
#include "Karten.h"
#include "Leitung.h"

// A ring-reading machine at its end of a serial line. It answers the program's
// messages as the machine would and plays the cards it was given.
class Simulator : public QObject {
    Q_OBJECT
  public:
    enum class Art { Rm3, Rm3Win, Sam };
    struct Fehler {
        bool geteilt = false;           // every text in pieces of 1 to 8 bytes, as an adapter
        bool muell = false;             // garbage bytes before the first card
        bool nak = false;               // the first ENQ is answered with NAK
        bool falscherSlot = false;      // a record for slot 75 / a SAM block of 65 shots
        bool wiederholen = false;       // RM III WIN: the first ACK of every line comes too late
        bool ohneRahmen = false;        // SAM: bare lines, no STX, ETB or check byte
        bool ohneEtb = false;           // SAM: STX and the lines, but never ETB and check byte
        bool pruefFalsch = false;       // SAM: the first send of every block has a wrong check
        bool pruefImmerFalsch = false;  // SAM: every send has a wrong check byte
        int abbruchNach = 0;            // the line goes away after this many lines (0: never)
        int dreimalFalsch = 0;          // SAM: this strip's first three sends have a wrong check
        bool erstesOhneEtb = false;     // SAM: each strip's first send lacks ETB, check and "$"
        bool ohneEtbWartet = false;     // SAM: never an ETB, yet each strip is kept until ACK
        bool ackTaub = false;           // SAM: an ACK is never taken; the strip comes again
        int schnitt = 0;                // SAM: the line goes after this many bytes of strip 2
                                        // and comes back (on a new pty) a second later
        quint32 seed = 1;               // for the pieces
    };

    Simulator(Art art, std::vector<SimKarte> karten, Fehler fehler,
              std::unique_ptr<Leitung> leitung);
    ~Simulator() override;

    // Opens the line; returns what the program is to open, or "" (the reason in
    // leitung().fehler()).
    QString oeffnen();
    const Leitung& leitung() const { return *leitung_; }

  private:
    void lesbar(const QByteArray& bytes);
    void verloren();
    void empfangen(char c);
    void zeileEmpfangen(const QByteArray& zeile);
    void steuerzeichen(char c);
    void schreiben(const QByteArray& bytes);
    void schreibeTeile(const QByteArray& bytes, std::function<void()> danach = {});
    void melde(const QByteArray& was, const QByteArray& text);
    void geschrieben(const QByteArray& text);
    void leitungZiehen();
    void wiederAnstecken();

    // One file per machine: SimRm3.cpp, SimRm3Win.cpp, SimSam.cpp.
    void rm3Zeile(const QByteArray& zeile);
    void rm3Karte();
    void winSteuerzeichen(char c);
    void winZeile(const QByteArray& zeile);
    void winSteuer(const QByteArray& text);
    void winAck();
    void winKarte();
    void winNaechsteZeile();
    void winZeileSenden();
    void samSteuerzeichen(char c);
    void samEnq();
    void samNak();
    bool samFalschDiesmal() const;
    QByteArray samSendung() const;
    void samSenden(const QByteArray& bytes);
    QByteArray samStreifen(const SimKarte& karte);
    QByteArray rm3Satz(int slot, const SimSchuss& s) const;
    QByteArray winSatz(int slot, const SimSchuss& s) const;

    Art art_;
    std::vector<SimKarte> karten_;
    Fehler fehler_;
    Ausgang ausgang_;
    std::unique_ptr<Leitung> leitung_;
    QByteArray zeile_;
    std::size_t naechsteKarte_ = 0;
    int slot_ = 1;
    int zeilenGesendet_ = 0;
    bool wartetAufEdit_ = false;
    bool nakGesendet_ = false;
    int winSchritt_ = 0;                 // 0 idle, 1 STX sent, 2 SNR answered, 3 second STX sent
    bool winDaten_ = false;              // cards are being played
    std::deque<QByteArray> winAusgang_;  // lines of the card, the front one unacknowledged
    bool winOffen_ = false;              // the front line is out and waits for its ACK
    bool winAckVerspaetet_ = false;      // its first ACK was let pass (wiederholen)
    QTimer winWiederholung_;             // an unacknowledged line goes out again
    QByteArray samOffen_;                // a framed block, with its STX, not yet acknowledged
    int samSendungen_ = 0;               // sends of that block
    std::size_t samStreifenNr_ = 0;      // 1-based number of that block's strip
    bool geschnitten_ = false;           // the cut has happened
    QElapsedTimer samUhr_;               // since the last SAM block
};
