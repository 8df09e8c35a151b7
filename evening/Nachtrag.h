#pragma once

#include <QDateTime>

#include <functional>

#include "evening/Felder.h"

struct Abendzustand;
class Database;
class Dialogs;

// Adds shots to a member's stored evening and stores it again: the evening is recalled as
// it is stored, the new shots follow its last shot, series, best values and points are
// computed anew, and it is stored checked against what was recalled. `felder` names the
// member, date and flags as shown when the evening was stored; `einstellungen` gives the
// evening's settings. Returns the number of shots added, or -1 when they do not fit on the
// card (nothing is stored then). Throws AbendAnderswoGespeichert, DatabaseError and
// ZahlUeberlauf; on any of them nothing is stored.
int abendNachtragen(Felder felder, const Abendzustand& einstellungen, Database& db, int klasse,
                    Dialogs& dialogs, const QDateTime& jetzt,
                    const std::function<void(Abendzustand&)>& schuesse);
