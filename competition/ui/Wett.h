#pragma once

#include <QWidget>

#include <array>
#include <memory>

#include "competition/Wettkampf.h"
#include "competition/WettkampfDb.h"
#include "core/Wettkampfzeilen.h"
#include "platform/Druckausgabe.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class Clock;
class Dialogs;
class Ini;

// The competition window: one home-versus-guest match in a grid of 14 rows, its teams
// from the competition database, three prepared matches in the settings file, the scoring
// and the printed sheet. Closing it (its button "Formular schließen ", the title bar or Esc)
// keeps the grid in its prepared match.
class Wett : public QWidget, public Wettkampfzeilen {
    Q_OBJECT
  public:
    Wett(Ini& ini, Dialogs& dialogs, const Clock& uhr, const QString& datenbank,
         QWidget* parent = nullptr);
    ~Wett() override;

    void setDruckerWahl(DruckerWahl wahl) { druckerWahl_ = std::move(wahl); }

    // The fields as the match, and back.
    Wettkampf lesen() const;
    void zeigen(const Wettkampf& w);

    int slot() const { return slot_; }
    void slotWechseln(int n);
    void werten();
    void drucken();
    void schliessen();  // "Formular schließen "
    void mannschaftWaehlen(bool heim, const QString& name);
    void mannschaftSpeichern(bool heim);
    void mannschaftLoeschen(bool heim);

    // Wettkampfzeilen
    QString schuetze(int zeile) const override;
    void serienEintragen(int zeile, const std::array<QString, 7>& serien,
                         const QString& gesamt) override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void aufbauen();
    void datenbankOeffnen();
    void mannschaftenLaden();
    QWidget* aufbauMannschaft(bool heim);
    Wertungsmodus modus() const;
    void leeren(bool heim);

    Ini& ini_;
    Dialogs& dialogs_;
    const Clock& uhr_;
    DruckerWahl druckerWahl_;
    WettkampfDb db_;
    bool dbOffen_ = false;
    int slot_ = 1;
    bool schliessenErlaubt_ = false;
    bool warGeschlossen_ = false;  // closed: the next showing is a new opening
    QString datenbank_;

    struct Zeile {
        QLineEdit* name = nullptr;
        QLineEdit* geb = nullptr;
        QLineEdit* serNr = nullptr;
        std::array<QLineEdit*, 7> s{};
        QLineEdit* ges = nullptr;
        QCheckBox* check = nullptr;
    };
    std::array<Zeile, Wettkampf::kZeilen + 1> zeilen_{};
    QLineEdit *Heim_Nummer = nullptr, *Heim_Name = nullptr, *Gast_Nummer = nullptr,
              *Gast_Name = nullptr;
    QLineEdit *Klasse = nullptr, *Gruppe = nullptr, *Datum = nullptr;
    QLineEdit *Heim_Ges = nullptr, *Gast_Ges = nullptr;
    QCheckBox *LP = nullptr, *LG = nullptr;
    QComboBox *Heimauswahl = nullptr, *Gastauswahl = nullptr;
    std::array<QRadioButton*, 4> slotKnoepfe_{};   // 1..3
    std::array<QRadioButton*, 5> modusKnoepfe_{};  // Option1..Option4
};
