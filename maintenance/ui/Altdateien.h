#pragma once

#include <QString>

class Dialogs;
class Ini;
class QWidget;

// Access files of the old program met on the way: a slot naming one, the competition file,
// and the command line for an administrator.
namespace altdateien {

// Before the slot `name` is opened: when it names an Access file that was not taken over
// yet, offer it; the slot is then pointed at the new file.
void slotPruefen(Ini& ini, Dialogs& dialogs, QWidget* eltern, const QString& name);

// Before the competition file is opened: "wettk.mdb" beside a missing "wettk.db".
void wettkampfPruefen(const QString& wettkDb, Dialogs& dialogs, QWidget* eltern);

// "zielkunst --uebernehmen ALT.mdb NEU.db": the exit code (0 done, 1 failed, 2 misused).
int kommandozeile(const QStringList& argumente);

// "zielkunst --umziehen VON NACH": a club database copied into a new file or an empty
// server database ("mariadb://user@host:port/db"). The exit code as above.
int umziehen(const QStringList& argumente);

// "zielkunst --sichern [DB] [ORDNER]": a backup of the club database (slot 1 without DB)
// into the backups folder (or ORDNER), kept by the rule of wettk.ini.
int sichern(const QStringList& argumente);

// "zielkunst --zurueckholen SICHERUNG DB": a backup brought back, the state before backed
// up first.
int zurueckholen(const QStringList& argumente);

}  // namespace altdateien
