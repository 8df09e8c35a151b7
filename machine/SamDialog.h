#pragma once

#include "machine/Maschinendialog.h"

// SAM: polled with ENQ every second. A SAM frames each block (STX, lines, ETB, check byte,
// "$") and keeps it until it is acknowledged; after a NAK it sends the block again without
// its STX. A machine that sends bare lines (or STX and lines only) gets its block read once
// it has stopped growing. Every block taken is acknowledged, framed or bare, so that a SAM
// that keeps its strip until then moves on; one that does not wait ignores the ACK.
class SamDialog : public Maschinendialog {
  public:
    explicit SamDialog(Lesekontext& k) : k_(k) {}

    // Failed checks of one block before the reading gives up on the machine.
    static constexpr int kVersuche = 3;
    // Poll ticks without a new byte before a started block counts as stalled.
    static constexpr int kRuheTicks = 2;
    // Sends of the same block, acknowledged each time, before the official is told that the
    // machine does not take the acknowledgement.
    static constexpr int kTaubNach = 3;

    QString leitungsEinstellung() const override { return QStringLiteral("9600,N,8,1"); }
    void starten() override;
    void empfangen(const QByteArray& bytes) override;
    void tick() override;
    void beenden(bool maschineFertig) override;
    void stillegen() override;
    void fernsteuern() override;
    QByteArray liegtNoch(bool* gespeichert) const override;
    QString verworfen() const override { return verworfen_; }

    bool aufgegeben() const { return aufgegeben_; }

  private:
    void rahmenVerarbeiten();
    bool rahmenStockt();  // true while a started block is awaited
    void blankLesen();
    void pruefFehler();
    void aufgeben();
    void blockAbgeben(const QByteArray& block);
    void unvollstaendig(const QByteArray& block);
    void zuruecksetzen();
    void festhalten();
    void nachkommen(const QByteArray& bytes);

    Lesekontext& k_;
    QByteArray puffer_;
    qsizetype groesseBeimTick_ = -1;
    int ruhigeTicks_ = 0;
    qsizetype blankVorher_ = -1;
    bool nachNak_ = false;  // NAK sent: the block comes again without its STX
    int fehlversuche_ = 0;  // failed checks of the block now awaited
    bool aufgegeben_ = false;
    QByteArray abgelehnt_;  // the block whose check failed, as it came
    QByteArray letzterBlock_;
    int sendungen_ = 0;      // how often letzterBlock_ has come
    bool taub_ = false;      // the machine does not take the acknowledgement
    bool gelesen_ = false;   // a block was taken in this reading
    bool nachlauf_ = false;  // the reading is over; what comes answers its last ENQ
    QByteArray nachlaufPuffer_;
    QByteArray imGeraet_;  // what the machine still holds when the reading ends
    bool imGeraetGespeichert_ = false;
    QString verworfen_;
};
