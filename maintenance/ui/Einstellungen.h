#pragma once

#include <QWidget>

#include <functional>

struct Abendzustand;
class Anzeigegruppe;
class Clock;
class ClubDatabase;
class Dialogs;
class Ini;
class Maschinengruppe;
class Punktegruppe;
class Slotgruppe;
class Wartungsgruppe;

// The settings window: machine and port, the scoring rules, the live display, the season's
// last month and the four club-database slots, each written to wettk.ini as soon as it
// changes (the slots by "Übernehmen"); and the maintenance of the club files. Each group is
// a widget of its own; the window puts them together and tells the program when it closes.
class Einstellungen : public QWidget {
    Q_OBJECT
  public:
    Einstellungen(Ini& ini, Abendzustand& zustand, ClubDatabase& club, Dialogs& dialogs,
                  const Clock& uhr, QWidget* parent = nullptr);
    ~Einstellungen() override;

    // Fills every control from the settings file, exactly as if the user set them, so
    // what is shown is also what is stored. Run each time the window is opened.
    void oeffnen();

    // The main window's chosen database, opened again after the conversion.
    void setDatenbankWiederOeffnen(std::function<void()> f);
    // The table browser; its button stays disabled without it.
    void setTabellenOeffnen(std::function<void()> f);
    // The list of backups ("Sicherung zurückholen"); its button stays disabled without it.
    void setSicherungenOeffnen(std::function<void()> f);
    // The live display's settings.
    Anzeigegruppe& anzeigegruppe() { return *anzeige_; }

    // Machine, port or line speed differ from what they were when the window was opened.
    bool maschineGeaendert() const;

  signals:
    void geschlossen();
    // "Übernehmen" wrote the four database slots.
    void slotsGeschrieben();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    Maschinengruppe* maschine_ = nullptr;
    Punktegruppe* punkte_ = nullptr;
    Anzeigegruppe* anzeige_ = nullptr;
    Slotgruppe* slots_ = nullptr;
    Wartungsgruppe* wartung_ = nullptr;
    QStringList maschineBeimOeffnen_;
};
