#pragma once

#include <QComboBox>

class Abendsteuerung;
class Ini;

// "Datenbank:": the four database slots of the settings; a slot chosen is opened, and the
// list keeps showing the slot that is open when another cannot be.
class Datenbankliste : public QComboBox {
    Q_OBJECT
  public:
    Datenbankliste(Ini& ini, Abendsteuerung& steuerung, QWidget* parent = nullptr);

    // The slots' names as the settings hold them now; the choice stays.
    void fuellen();
    // Opens the slot at `index` (the day's slot at start-up).
    void waehlen(int index);
    // The slot shown opened again (after its files were converted).
    void wiederOeffnen();
    // The slot open now; -1 before one was.
    int offenerSlot() const { return offenerSlot_; }
    void vergessen() { offenerSlot_ = -1; }

    // While a reading is open the list stays enabled (its colour would be polished anew
    // each time) and refuses a choice instead; Tab still passes.
    static bool sperrt(const QEvent* event);

  private:
    bool oeffnen(const QString& name);

    Ini& ini_;
    Abendsteuerung& steuerung_;
    int offenerSlot_ = -1;
};
