#include "maintenance/ui/Accessangebot.h"

#include "maintenance/Accessuebernahme.h"
#include "maintenance/ui/Tabellenfortschritt.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

bool accessUebernahmeAnbieten(const QString& mdb, Dialogs& dialogs, const Clock& uhr,
                              QWidget* eltern, QString* neu) {
    const QString ziel = uebernahmeZiel(mdb);
    if (!dialogs.askYesNo(QStringLiteral("\"%1\" ist eine Datenbank des alten Programms "
                                         "(Access).\nSoll sie jetzt in die neue Datei \"%2\" "
                                         "übernommen werden? Vorher wird eine Sicherung "
                                         "angelegt.")
                              .arg(mdb, ziel))) {
        return false;
    }
    QString text;
    bool ok = false;
    {
        Tabellenfortschritt fortschritt(QStringLiteral("Übernahme"),
                                        QStringLiteral("Übernehme \"%1\" ...").arg(mdb), eltern);
        ok = accessDateiUebernehmen(
            mdb, ziel, uhr.now(),
            [&](int fertig, int gesamt, const QString& t) {
                fortschritt.melden(fertig, gesamt, t);
            },
            &text);
    }
    dialogs.message(text);
    if (ok) {
        *neu = ziel;
    }
    return ok;
}
