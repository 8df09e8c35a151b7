#pragma once

#include <QString>

class ClubDatabase;
class Clock;
class Dialogs;
class Ini;

// The program's backup policy: the open club database is backed up by the rule of
// wettk.ini before every operation that rewrites many rows (they announce themselves through
// voraenderung) and when the program ends. A backup that fails is said; a missing backups
// folder (a USB stick not plugged in) only once a start.
class Vorsorge {
  public:
    // Takes over voraenderung's announcements for as long as it lives.
    Vorsorge(ClubDatabase& club, const Ini& ini, Dialogs& dialogs, const Clock& uhr);
    ~Vorsorge();
    Vorsorge(const Vorsorge&) = delete;
    Vorsorge& operator=(const Vorsorge&) = delete;

    // Backs the open club database up before `anlass` ("Programmende", "Klassen berechnen").
    void sichern(const QString& anlass);

  private:
    ClubDatabase& club_;
    const Ini& ini_;
    Dialogs& dialogs_;
    const Clock& uhr_;
    bool ordnerGemeldet_ = false;
};
