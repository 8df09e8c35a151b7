#include "maintenance/ui/Altdateien.h"

#include <QFileInfo>

#include "core/DatenbankSlots.h"
#include "core/Einstellungen.h"
#include "core/Ini.h"
#include "maintenance/Accessuebernahme.h"
#include "maintenance/ui/Accessangebot.h"
#include "platform/Dateien.h"
#include "platform/Paths.h"

namespace altdateien {

void slotPruefen(Ini& ini, Dialogs& dialogs, const Clock& uhr, QWidget* eltern,
                 const QString& name) {
    const DatenbankSlots liste = leseSlots(ini);
    int slot = 0;  // an unknown or empty name opens DB1
    for (int i = 0; i < 4 && !name.isEmpty(); ++i) {
        if (liste[static_cast<std::size_t>(i)].name == name) {
            slot = i;
            break;
        }
    }
    QString gespeichert = liste[static_cast<std::size_t>(slot)].datei;
    if (slot == 0 && (gespeichert.trimmed().isEmpty() ||
                      paths::resolve(gespeichert) == paths::defaultClubDatabase())) {
        // No settings yet: the old program's default file, which a club may bring along.
        gespeichert = QStringLiteral("C:\\Eigene Dateien\\Training.mdb");
    }
    const QString mdb = paths::accessDatei(gespeichert);
    if (mdb.isEmpty() || !dateien::existiert(mdb)) {
        return;
    }
    const QString ziel = uebernahmeZiel(mdb);
    QString neu;
    if (dateien::existiert(ziel) && !vereinsdateiLeer(ziel)) {
        neu = ziel;  // taken over before: the slot follows the new file
    } else {
        // A new file that holds no member yet (made at a first start that did not know of
        // the old one) is put aside, and the old file is offered once more.
        const QString beiseite =
            ziel.left(ziel.size() - 3) + QStringLiteral(" (leer, vor der Übernahme).db");
        if (dateien::existiert(ziel) &&
            (dateien::existiert(beiseite) || !dateien::umbenennen(ziel, beiseite))) {
            return;
        }
        if (!accessUebernahmeAnbieten(mdb, dialogs, uhr, eltern, &neu)) {
            if (!dateien::existiert(ziel) && dateien::existiert(beiseite)) {
                dateien::umbenennen(beiseite, ziel);  // declined: everything as it was
            }
            return;
        }
    }
    if (paths::resolve(gespeichert) != neu) {
        ini.IniSchreiben(ini::slotSection(slot), ini::kDatei, neu);
    }
}

void wettkampfPruefen(const QString& wettkDb, Dialogs& dialogs, const Clock& uhr,
                      QWidget* eltern) {
    const QFileInfo info(wettkDb);
    const QString mdb = info.path() + u'/' + info.completeBaseName() + QStringLiteral(".mdb");
    if (dateien::existiert(wettkDb) || !dateien::existiert(mdb)) {
        return;
    }
    QString neu;
    accessUebernahmeAnbieten(mdb, dialogs, uhr, eltern, &neu);
}

}  // namespace altdateien
