#pragma once

#include <QString>

#include <array>
#include <functional>

class ClubDatabase;
class Dialogs;

// Brings the club files of the four slots to the schema of this version, each after a
// verified backup copy "Sicherung_<name>" beside it. The open club database is closed for
// the work (the main window meanwhile works on the copy) and `wiederOeffnen` opens the one
// chosen in the main window again at the end.
void DB_Convert(ClubDatabase& club, const std::array<QString, 4>& pfade, Dialogs& dialogs,
                const std::function<void()>& wiederOeffnen);

// One file: true when it is at the current version (or was brought there). The German
// reason of a failure is in *fehler; a failure leaves the file as it was.
bool dateiKonvertieren(const QString& pfad, const QString& anzeige, Dialogs& dialogs,
                       QString* fehler);
