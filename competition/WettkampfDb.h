#pragma once

#include <QStringList>

#include <vector>

#include "platform/Database.h"

// The competition database (wettk.db): teams and their shooters, so that a team can be
// picked from a list. Names are bound, so any name is stored as it is.
class WettkampfDb {
  public:
    struct Schuetze {
        QString name;
        QString geb;
        int nr = 0;  // grid row: 1..7 saved as home, 8..14 as guest
    };

    // Opens the file; a missing one is created with its two tables and *angelegt set.
    bool oeffnen(const QString& pfad, QString* fehler, bool* angelegt);

    QStringList mannschaften(const QString& heimGast);  // "Heim" or "Gast"
    std::vector<Schuetze> schuetzen(const QString& mannschaft);
    // Adds the team (keeping the side of its first save) and adds or updates its shooters,
    // all in one transaction. Throws DatabaseError.
    void speichern(const QString& mannschaft, const QString& heimGast,
                   const std::vector<Schuetze>& reihen);
    // Deletes the team and every shooter of it, in one transaction.
    void loeschen(const QString& mannschaft);

  private:
    Database db_;
};
