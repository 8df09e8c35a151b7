#pragma once

#include <QSocketNotifier>

#include <memory>

#include "Leitung.h"

// A pseudo-terminal: the simulator holds the master side, the program opens the slave's path.
class PtyLeitung : public Leitung {
    Q_OBJECT
  public:
    ~PtyLeitung() override;
    QString oeffnen() override;
    bool offen() const override { return master_ >= 0; }
    void schreiben(const QByteArray& bytes) override;
    void ziehen() override;
    QByteArray kennung() const override { return "PTY"; }
    QString fehler() const override;

  private:
    void lesbar();
    void schliessen();

    int master_ = -1;
    int slave_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};
