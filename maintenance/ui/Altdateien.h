#pragma once

#include <QString>

class Clock;
class Dialogs;
class Ini;
class QWidget;

// Access files of the old program met on the way: a slot naming one, the competition file.
namespace altdateien {

// Before the slot `name` is opened: when it names an Access file that was not taken over
// yet, offer it; the slot is then pointed at the new file.
void slotPruefen(Ini& ini, Dialogs& dialogs, const Clock& uhr, QWidget* eltern,
                 const QString& name);

// Before the competition file is opened: "wettk.mdb" beside a missing "wettk.db".
void wettkampfPruefen(const QString& wettkDb, Dialogs& dialogs, const Clock& uhr,
                      QWidget* eltern);

}  // namespace altdateien
