#pragma once

#include "machine/Maschinendialog.h"

// SAM: polled with ENQ every second. A SAM frames each block (STX, lines, ETB, check byte,
// "$") and keeps it until it is acknowledged; after a NAK it sends the block again without
// its STX. A machine that sends bare lines (or STX and lines only) gets its block read once
// it has stopped growing.
class SamDialog : public Maschinendialog {
  public:
    explicit SamDialog(Lesekontext& k) : k_(k) {}

    // Failed checks of one block before the reading gives up on the machine.
    static constexpr int kVersuche = 3;
    // Poll ticks without a new byte before a started block counts as stalled.
    static constexpr int kRuheTicks = 2;

    QString leitungsEinstellung() const override { return QStringLiteral("9600,N,8,1"); }
    void starten() override;
    void empfangen(const QByteArray& bytes) override;
    void tick() override;
    void stillegen() override;
    void fernsteuern() override;

    bool aufgegeben() const { return aufgegeben_; }

  private:
    void rahmenVerarbeiten();
    bool rahmenStockt();  // true while a started block is awaited
    void blankLesen();
    void pruefFehler();
    void aufgeben();
    void blockAbgeben(const QByteArray& block);
    void zuruecksetzen();

    Lesekontext& k_;
    QByteArray puffer_;
    qsizetype groesseBeimTick_ = -1;
    int ruhigeTicks_ = 0;
    qsizetype blankVorher_ = -1;
    bool nachNak_ = false;  // NAK sent: the block comes again without its STX
    int fehlversuche_ = 0;  // failed checks of the block now awaited
    bool aufgegeben_ = false;
    QByteArray letzterBlock_;
};
