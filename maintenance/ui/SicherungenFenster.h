#pragma once

#include <QWidget>

#include <functional>

class QComboBox;
class QTableWidget;
class Clock;
class ClubDatabase;
class Dialogs;
class Ini;

// "Sicherung zurückholen": the backups of a database slot with their date, members,
// evenings and last evening; one is brought back after the state before is backed up.
class SicherungenFenster : public QWidget {
    Q_OBJECT
  public:
    SicherungenFenster(Ini& ini, ClubDatabase& club, Dialogs& dialogs, const Clock& uhr,
                       QWidget* parent = nullptr);

    // The main window's database opened again after a restore.
    void setWiederOeffnen(std::function<void()> f) { wiederOeffnen_ = std::move(f); }
    // The slot whose backups are shown (0 to 3).
    void slotWaehlen(int slot);
    void zurueckholen(int zeile);  // "Zurückholen"
    void jetztSichern();           // "Jetzt sichern"
    int zeilen() const;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void slotsLaden();
    void fuellen();
    QString datenbank() const;

    Ini& ini_;
    ClubDatabase& club_;
    Dialogs& dialogs_;
    const Clock& uhr_;
    std::function<void()> wiederOeffnen_;
    QComboBox* Slot_combo = nullptr;
    QTableWidget* Liste = nullptr;
    QStringList dateien_;
};
