#pragma once

#include <QWidget>

#include <array>

class QCheckBox;
class QLineEdit;
class QTableView;
class ClubDatabase;
class Dialogs;
class TabellenModell;
struct Abendzustand;

// The point tables: ring points (table Ringe) and Teiler points (table Teiler), each row
// valid for some of the classes 1 to 9, and the club-wide attendance points and pistol
// Teiler divisor (table Sonder).
class FormPunkte : public QWidget {
    Q_OBJECT
  public:
    FormPunkte(ClubDatabase& club, Abendzustand& zustand, Dialogs& dialogs,
               QWidget* parent = nullptr);
    ~FormPunkte() override;

    TabellenModell& ringe() { return *ringe_; }
    TabellenModell& teiler() { return *teiler_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    struct Tafel {
        TabellenModell* modell = nullptr;
        QTableView* tabelle = nullptr;
        std::array<QCheckBox*, 10> klassen{};  // 1..9
    };
    QWidget* tafel(Tafel& t, const QString& titel, const QString& gridName, const QString& boxName);
    void haekchenZeigen(Tafel& t);
    void laden();
    void sonderSchreiben(const QString& feld, QLineEdit* e);

    ClubDatabase& club_;
    Abendzustand& zustand_;
    Dialogs& dialogs_;
    TabellenModell* ringe_ = nullptr;
    TabellenModell* teiler_ = nullptr;
    Tafel ringTafel_;
    Tafel teilerTafel_;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
};
