#pragma once

#include <QSerialPort>

#include "Leitung.h"
#include "Leitungseinstellung.h"

// A COM port (Windows): the machine's side of a null-modem cable or of a virtual COM pair,
// at the machine's line settings.
class ComLeitung : public Leitung {
    Q_OBJECT
  public:
    ComLeitung(const QString& port, const Leitungseinstellung& einstellung);
    QString oeffnen() override;
    bool offen() const override { return port_.isOpen(); }
    void schreiben(const QByteArray& bytes) override;
    void ziehen() override;
    QByteArray kennung() const override { return "PORT"; }
    QString fehler() const override { return fehler_; }

  private:
    void portFehler(QSerialPort::SerialPortError e);

    QString name_;
    Leitungseinstellung einstellung_;
    QSerialPort port_;
    QString fehler_;
};
