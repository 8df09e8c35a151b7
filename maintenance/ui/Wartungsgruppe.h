#pragma once

#include <QWidget>

#include <functional>

class QPushButton;
class Clock;
class ClubDatabase;
class Dialogs;
class Ini;
class Slotgruppe;

// The maintenance of the club files in the settings window: tables from slot 1 to slot 4,
// sorting by weekday, the conversion, the move to a new file or the server, the table
// browser, the backups and "Über Zielkunst". Each works on the files the slots name now.
class Wartungsgruppe : public QWidget {
    Q_OBJECT
  public:
    Wartungsgruppe(Ini& ini, ClubDatabase& club, Dialogs& dialogs, const Clock& uhr,
                   const Slotgruppe& dateien, QWidget* parent = nullptr);

    void setDatenbankWiederOeffnen(std::function<void()> f) { wiederOeffnen_ = std::move(f); }
    void setTabellenOeffnen(std::function<void()> f);
    void setSicherungenOeffnen(std::function<void()> f);

  private:
    void verbinden();
    void umziehen();

    Ini& ini_;
    ClubDatabase& club_;
    Dialogs& dialogs_;
    const Clock& uhr_;
    const Slotgruppe& slots_;
    std::function<void()> wiederOeffnen_;
    std::function<void()> tabellenOeffnen_;
    std::function<void()> sicherungenOeffnen_;
    QPushButton *DBTabAnz = nullptr, *Command1 = nullptr, *Command2 = nullptr,
                *Command3 = nullptr, *DB_Convert = nullptr, *Umzug_butt = nullptr,
                *Ueber_butt = nullptr, *Sicherungen_butt = nullptr;
};
