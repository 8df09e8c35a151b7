#pragma once

#include <QObject>
#include <QString>

#include <memory>

#include "platform/Database.h"

struct Abendzustand;
class Ini;

// Outcome of opening a club database.
struct OeffnenErgebnis {
    bool ok = false;
    QString datei;    // the file that was (or was to be) opened
    QString fehler;   // German message naming the file, empty on success
    QString hinweis;  // opened, but the user should know something (German), else empty
    bool dateiFehlt = false;
    bool hatFarbe = false;   // a slot was found: colour the database list
    unsigned int farbe = 0;  // 0xRRGGBB
};

// The open club database. Exactly one is open at a time; a file that cannot be opened
// leaves the previous one open. Other windows follow the open file through `geoeffnet`
// and `geschlossen`.
class ClubDatabase : public QObject {
    Q_OBJECT
  public:
    ClubDatabase(Ini& ini, Abendzustand& zustand, QObject* parent = nullptr);
    ~ClubDatabase() override;

    // Opens the slot whose NAME equals `name` (the first such slot); an unknown or empty
    // name falls back to DB1, and empty settings to "Training" in the documents folder.
    OeffnenErgebnis OpenDatabase(const QString& name);

    // Opens a file directly, without a slot.
    OeffnenErgebnis OpenDatabaseDatei(const QString& datei);

    void CloseDatabase();

    bool isOpen() const;

    // The file OpenDatabase(name) would open (after writing the DB1 defaults if needed).
    QString dateiFuerSlot(const QString& name);

    // The open database; throws DatabaseError with a German message when none is open.
    Database& db();

  signals:
    void geoeffnet(const QString& datei);
    void geschlossen();

  private:
    Ini& ini_;
    Abendzustand& zustand_;
    std::unique_ptr<Database> db_;
};
