#pragma once

#include <QWidget>

#include <functional>

#include "platform/widgets/Bedienelemente.h"

class QLabel;

// A record navigator: caption, first / previous / next / last, and "3 von 12".
class Navigator : public QWidget {
    Q_OBJECT
  public:
    // `gehe` moves to a row (the window clamps it); `aktuell` and `anzahl` tell where it is.
    Navigator(const QString& titel, std::function<int()> aktuell, std::function<int()> anzahl,
              std::function<void(int)> gehe, QWidget* eltern);
    void zeigen();  // the position text anew

  private:
    std::function<int()> aktuell_;
    std::function<int()> anzahl_;
    QLabel* position_ = nullptr;
};
