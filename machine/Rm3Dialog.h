#pragma once

#include <QTimer>

#include "machine/Maschinendialog.h"

// DISAG RM III: the program code goes out with ZuRM; records arrive as lines ending in CR
// on every receive event.
class Rm3Dialog : public Maschinendialog {
  public:
    explicit Rm3Dialog(Lesekontext& k);

    QString leitungsEinstellung() const override { return QStringLiteral("2400,N,8,1"); }
    void starten() override;
    void empfangen(const QByteArray& bytes) override;
    void beenden(bool maschineFertig) override;
    void stillegen() override;
    void fernsteuern() override;

  private:
    Lesekontext& k_;
    Rm3Leser leser_;
    QTimer ruhe_;  // an unfinished line that stays quiet is taken as it is
};
