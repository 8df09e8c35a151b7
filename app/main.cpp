// Zielkunst: the shooting evening of a sport-shooting club.
#include <QApplication>

#include <memory>

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/Ini.h"
#include "evening/ui/Ringe.h"
#include "machine/ui/Einlesen.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/SerialPortLine.h"
#include "platform/widgets/MessageBoxDialogs.h"
#include "reports/ui/Auswertung.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zielkunst"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zielkunst"));
    QApplication::setApplicationVersion(QStringLiteral("4.0.0"));

    Ini ini(paths::settingsFile());
    Abendzustand zustand;
    ClubDatabase club(ini, zustand);
    MessageBoxDialogs dialogs;
    SystemClock uhr;

    SerialPortLine leitung;

    Ringe ringe(ini, zustand, club, dialogs, uhr);
    dialogs.setParent(&ringe);
    Einlesen einlesen(leitung, ini, zustand, ringe, dialogs);
    ringe.setLesesteuerung(&einlesen);
    std::unique_ptr<Auswertung> auswertung;
    ringe.setAuswertungOeffnen([&] {
        if (!auswertung) {
            auswertung = std::make_unique<Auswertung>(club, ringe, zustand, dialogs, uhr);
        }
        auswertung->show();
        auswertung->raise();
        auswertung->activateWindow();
    });
    ringe.show();
    ringe.laden();
    const int ende = QApplication::exec();
    auswertung.reset();
    return ende;
}
