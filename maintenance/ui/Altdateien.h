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

}  // namespace altdateien
