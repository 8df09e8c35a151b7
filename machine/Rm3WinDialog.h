#pragma once

#include <QTimer>

#include "machine/Maschinendialog.h"

// DISAG RM III in its WIN mode: an ENQ/STX handshake carries the framed control string,
// then the machine sends data lines, each acknowledged with ACK.
class Rm3WinDialog : public Maschinendialog {
  public:
    explicit Rm3WinDialog(Lesekontext& k);

    QString leitungsEinstellung() const override;
    bool dtr() const override { return false; }
    void starten() override;
    void empfangen(const QByteArray& bytes) override;
    void tick() override;
    void beenden(bool maschineFertig) override;
    void stillegen() override;
    void fernsteuern() override;

    // Starts the handshake that delivers text + check character + CR.
    void zuRMIII_WIN(const QString& text);
    int handshakeStep() const { return step_; }
    QTimer& enqTimer() { return enq_; }

    // Unanswered ENQ repeats (2 s apart) before the machine counts as silent.
    static constexpr int kVersuche = 4;

  private:
    bool handschlag();  // true when the handshake moved on
    void wachhund();
    void zeileAbgeben(const QByteArray& line);
    void nachDemLesen(const QByteArray& bytes);
    void spur(const QByteArray& input);

    Lesekontext& k_;
    QTimer enq_;    // ENQ repeat in step 1; in steps 2 and 3 it watches for a stalled handshake
    int step_ = 4;  // 1..3 handshake, 4 data (or idle)
    int versuche_ = 0;
    QByteArray pending_;
    QByteArray hs_;  // handshake input not yet understood
    QByteArray rx_;  // data lines
    QByteArray letzteZeile_;
    QString trace_;
};
