#include "maintenance/ui/Accessangebot.h"

#include <QProgressDialog>

#include "maintenance/Accessuebernahme.h"
#include "platform/Dialogs.h"

bool accessUebernahmeAnbieten(const QString& mdb, Dialogs& dialogs, QWidget* eltern, QString* neu) {
    const QString ziel = uebernahmeZiel(mdb);
    if (!dialogs.askYesNo(QStringLiteral("\"%1\" ist eine Datenbank des alten Programms "
                                         "(Access).\nSoll sie jetzt in die neue Datei \"%2\" "
                                         "übernommen werden? Vorher wird eine Sicherung "
                                         "angelegt.")
                              .arg(mdb, ziel))) {
        return false;
    }
    QProgressDialog fortschritt(QStringLiteral("Übernehme \"%1\" ...").arg(mdb), QString(), 0, 1,
                                eltern);
    fortschritt.setWindowTitle(QStringLiteral("Übernahme"));
    fortschritt.setWindowModality(Qt::WindowModal);
    fortschritt.setMinimumDuration(0);
    fortschritt.setCancelButton(nullptr);
    QString text;
    const bool ok = accessDateiUebernehmen(
        mdb, ziel,
        [&](int fertig, int gesamt, const QString& tabelle) {
            fortschritt.setMaximum(gesamt);
            fortschritt.setLabelText(tabelle.isEmpty() ? QStringLiteral("Fertig.")
                                                       : QStringLiteral("Tabelle %1 von %2: %3")
                                                             .arg(fertig + 1)
                                                             .arg(gesamt)
                                                             .arg(tabelle));
            fortschritt.setValue(fertig);  // a modal dialog keeps the window painted
        },
        &text);
    fortschritt.close();
    dialogs.message(text);
    if (ok) {
        *neu = ziel;
    }
    return ok;
}
