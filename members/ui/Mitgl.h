#pragma once

#include <QWidget>

#include <array>
#include <functional>

#include "platform/Druckausgabe.h"

class QLabel;
class QPushButton;
class QLineEdit;
class QTableView;
class ClubDatabase;
class Clock;
class Dialogs;
class Hauptfelder;
class Navigator;
class TabellenModell;
struct Abendzustand;

// The members window: the member table in an editable grid with bound fields, sorted by
// name or number, the class assignment and the member list.
class Mitgl : public QWidget {
    Q_OBJECT
  public:
    Mitgl(ClubDatabase& club, const Hauptfelder& felder, const Abendzustand& zustand,
          Dialogs& dialogs, const Clock& uhr, QWidget* parent = nullptr);
    ~Mitgl() override;

    void setDruckerWahl(DruckerWahl wahl) { druckerWahl_ = std::move(wahl); }
    // How "Klassen …" and "Punktetabellen …" open their windows; disabled without.
    void setKlassenOeffnen(std::function<void()> f);
    void setPunkteOeffnen(std::function<void()> f);
    const TabellenModell& modell() const { return *modell_; }
    int aktuelleZeile() const;

    void sortieren(const QString& ordnung);  // "Name" or "Nr"
    void klassenBerechnen();                 // "Klassen berechnen"
    void drucken();
    void neu();
    void loeschen();
    void gehe(int zeile);

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void felderZeigen();
    void feldUebernehmen(int feld);

    ClubDatabase& club_;
    const Hauptfelder& felder_;
    const Abendzustand& zustand_;
    Dialogs& dialogs_;
    const Clock& uhr_;
    DruckerWahl druckerWahl_;

    TabellenModell* modell_ = nullptr;
    QTableView* tabelle_ = nullptr;
    std::array<QLineEdit*, 7> Text{};  // Text1..Text6
    Navigator* navigator_ = nullptr;
    QPushButton* klassenKnopf_ = nullptr;
    QPushButton* punkteKnopf_ = nullptr;
    std::function<void()> klassenOeffnen_;
    std::function<void()> punkteOeffnen_;
};
