#pragma once

#include <QGroupBox>

#include <array>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct Abendzustand;

// "Scheibenprogramm": the six program buttons (F5 to F10), the program list and the other
// cards. A program chosen goes into the evening's state and shows in the field RMst.
class Programmknoepfe : public QGroupBox {
    Q_OBJECT
  public:
    Programmknoepfe(Abendzustand& zustand, QLineEdit* rmst, QWidget* parent = nullptr);

    // The captions and buttons of the configured machine.
    void maschineZeigen(bool sam);
    // The program list in the machine's order, "5x2 Schuss LP" chosen.
    void listeFuellen();
    // Usable only with a reading window; the options just show the last choice.
    void mitMaschine(bool ja);
    // While a reading is open nothing here may change its card.
    void sperren(bool offen, bool mitMaschine);
    // The button of F5 (0) to F10 (5).
    void knopfDruecken(std::size_t index);
    // "Einlesen andere Karte" was chosen last: no program bound applies.
    bool andereKarteGewaehlt() const;

    std::array<QPushButton*, 6> knoepfe{};  // S1x10, S2x10, S4x10, S4x5, S8x5, S20x2
    std::array<QRadioButton*, 11> Option{};  // Option4 .. Option10 at their numbers
    QRadioButton* Option_Combo = nullptr;
    QComboBox* schuss_combo = nullptr;
    QPushButton* SString = nullptr;
    QPushButton* AndereKarten = nullptr;

  signals:
    // "Andere Karten wählen": the machine's program window is wanted.
    void andereKartenGewuenscht();

  private:
    void programmKnopf(std::size_t index);
    void programmListe();
    void andereKarte();

    Abendzustand& zustand_;
    QLineEdit* RMst;
};
