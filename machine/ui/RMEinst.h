#pragma once

#include <QWidget>

#include "machine/ProgrammWahl.h"

class QLineEdit;
class QRadioButton;
struct Abendzustand;
class Abendfenster;

// "RM einstellen": composes a free target program from option buttons. The window is only
// hidden after a take-over, so the choices are there again at the next opening.
class RMEinst : public QWidget {
    Q_OBJECT
  public:
    RMEinst(Abendzustand& zustand, Abendfenster& abend, QWidget* parent = nullptr);

    const ProgrammWahl& wahl() const { return wahl_; }
    // Clicks an option by its name, as the user would.
    void waehle(const QString& optionName);
    void uebernehmen();

  private:
    QRadioButton* option(const QString& name, const QString& text, QWidget* parent,
                         std::function<void()> setzen);
    void anzeigen();

    Abendzustand& zustand_;
    Abendfenster& abend_;
    ProgrammWahl wahl_;
    QLineEdit* ZText = nullptr;
    QLineEdit* rm_control_string = nullptr;
};
