#pragma once

#include <QWidget>

class QButtonGroup;
class QRadioButton;
struct Abendzustand;
class Ini;

// The scoring rules in the settings window: which shots give the ring points and which the
// Teiler points, written to wettk.ini as they are chosen.
class Punktegruppe : public QWidget {
    Q_OBJECT
  public:
    Punktegruppe(Ini& ini, Abendzustand& zustand, QWidget* parent = nullptr);

    // Chooses the options wettk.ini holds, as the user would.
    void laden();

  private:
    void verbinden();

    Ini& ini_;
    Abendzustand& zustand_;
    QButtonGroup *punkte_ = nullptr, *teiler_ = nullptr;
    QRadioButton *Erster_Schuss = nullptr, *Erste10 = nullptr, *Erste20 = nullptr,
                 *Erste40 = nullptr, *Best10 = nullptr, *Best20 = nullptr, *Best40 = nullptr,
                 *Best60 = nullptr;
    QRadioButton *T_Erster = nullptr, *T_Erste10 = nullptr, *T_Alle = nullptr;
};
