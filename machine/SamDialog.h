#pragma once

#include "machine/Maschinendialog.h"

// SAM: polled with ENQ every second. A SAM frames each block (STX, lines, ETB, check byte,
// "$") and sends it again on every ENQ until it is acknowledged; a machine that sends bare
// lines gets its block read once more than ten characters have come.
class SamDialog : public Maschinendialog {
  public:
    explicit SamDialog(Lesekontext& k) : k_(k) {}

    QString leitungsEinstellung() const override { return QStringLiteral("9600,N,8,1"); }
    void starten() override;
    void empfangen(const QByteArray& bytes) override;
    void tick() override;
    void stillegen() override;
    void fernsteuern() override;

  private:
    void verarbeiten(bool tick);
    void blockAbgeben(const QByteArray& block);

    Lesekontext& k_;
    QByteArray puffer_;
    qsizetype pufferVorher_ = -1;
    QByteArray letzterBlock_;
};
