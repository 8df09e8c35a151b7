#pragma once

#include <QWidget>

#include <functional>
#include <memory>

#include "platform/Druckausgabe.h"
#include "reports/Aenderungsliste.h"
#include "reports/Ausdruck.h"
#include "reports/Listen.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class ClubDatabase;
class Clock;
class Dialogs;
class Drucker;
class Hauptfelder;
class Navigator;
class ZeilenModell;
struct Abendzustand;

// The evaluation window: the evening, last week, the year table, the season, one member's
// history or the raw result table, sorted by one criterion, and printed.
class Auswertung : public QWidget {
    Q_OBJECT
  public:
    Auswertung(ClubDatabase& club, const Hauptfelder& felder, const Abendzustand& zustand,
               Dialogs& dialogs, const Clock& uhr, QWidget* parent = nullptr);
    ~Auswertung() override;

    void setDruckerWahl(DruckerWahl wahl) { druckerWahl_ = std::move(wahl); }
    // How "Einstellungen" opens the point tables; without it the button stays disabled.
    void setPunkteOeffnen(std::function<void()> oeffnen);

    Listenart art() const { return art_; }
    const QString& basis() const { return basis_; }
    const QString& sortierung() const { return sortierung_; }
    const ZeilenModell& modell() const { return *modell_; }
    const QTableView& tabelle() const { return *tabelle_; }

    // What becoming the active window does: the evening, sorted by name.
    void aktiviert();

    void heute();
    void letzteWoche();
    void jahr();
    void alles();
    void schuetze();
    void roh();
    // The log of corrections, narrowed by the filter fields.
    void aenderungen();
    void sortieren(const QString& sortierung);
    void drucken();
    // The listing grouped by class ("Drucken nach Klassen").
    void druckenNachKlassen();
    // Writes the listing now shown into the export file of the settings.
    void exportieren();
    // Deletes the current row of the raw result table after asking.
    void loeschen();

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void aufbauen();
    bool zeigen(const QString& basis, const QString& anweisung, Listenart art);
    void schuetzenliste();
    void gehe(int zeile);
    void positionZeigen();
    // The log's columns side by side within the screen (1366 pixels on a laptop).
    void spaltenEinpassen();
    // Prints through the chosen printer and tells where a PDF went.
    void ausgeben(const std::function<void(Drucker&)>& layout);
    Druckkopf kopf() const;

    ClubDatabase& club_;
    const Hauptfelder& felder_;
    const Abendzustand& zustand_;
    Dialogs& dialogs_;
    const Clock& uhr_;
    DruckerWahl druckerWahl_;

    QString basis_;
    QString anweisung_;  // the statement shown, with its ORDER BY
    Listenart art_ = Listenart::Heute;
    QString sortierung_ = QStringLiteral("Name");
    bool neuSortieren_ = false;  // the next year listing only re-sorts
    bool zuDialog_ = false;      // the focus went to a message box

    ZeilenModell* modell_ = nullptr;
    QTableView* tabelle_ = nullptr;
    QCheckBox* check_klassen = nullptr;
    QLabel* sortiertNach_ = nullptr;
    Navigator* navigator_ = nullptr;
    QPushButton* Loeschen_butt = nullptr;
    QPushButton* Einst = nullptr;
    QWidget* aendFilter_ = nullptr;
    QLineEdit* AendNr = nullptr;
    QLineEdit* AendVon = nullptr;
    QLineEdit* AendBis = nullptr;
    aenderungsliste::Filter aendGezeigt_;  // the filter of the log as it is shown
    std::function<void()> punkteOeffnen_;
};
