#pragma once

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QRadioButton;
struct Abendzustand;
class Ini;

// The settings window's left column: the ring-reading machine, its port and line speed,
// the season's last month and the debug switch, each written to wettk.ini as it changes.
class Maschinengruppe : public QWidget {
    Q_OBJECT
  public:
    Maschinengruppe(Ini& ini, Abendzustand& zustand, QWidget* parent = nullptr);

    // Fills every control from wettk.ini as the user would set it.
    void laden();
    // Machine, port and speed as wettk.ini holds them now.
    QStringList maschine() const;

  private:
    void zuruecksetzen();
    void verbinden();

    Ini& ini_;
    Abendzustand& zustand_;
    QButtonGroup* maschinen_ = nullptr;
    QRadioButton *Disag = nullptr, *RMIV = nullptr, *SAM = nullptr;
    QLineEdit* Text1 = nullptr;
    QCheckBox* Win_L = nullptr;
    QLineEdit* Mon_Saisonstart = nullptr;
    QCheckBox* Anz_Debug = nullptr;
};
