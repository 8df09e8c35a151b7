// Zielkunst: the shooting evening of a sport-shooting club.
#include <QApplication>

#include <memory>

#include "app/Befehlszeile.h"
#include "competition/ui/Wett.h"
#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/Ini.h"
#include "core/Ueber.h"
#include "display/Anzeige.h"
#include "display/ui/Anzeigegruppe.h"
#include "evening/ui/Ringe.h"
#include "machine/ui/Einlesen.h"
#include "maintenance/Vorsorge.h"
#include "maintenance/ui/Altdateien.h"
#include "maintenance/ui/Einstellungen.h"
#include "maintenance/ui/SicherungenFenster.h"
#include "maintenance/ui/Tabellen.h"
#include "members/ui/FormPunkte.h"
#include "members/ui/KlassenFenster.h"
#include "members/ui/Mitgl.h"
#include "platform/Clock.h"
#include "platform/Dateiwechsel.h"
#include "platform/Konsole.h"
#include "platform/Laufzeit.h"
#include "platform/Paths.h"
#include "platform/SerialPortLine.h"
#include "platform/Signalende.h"
#include "platform/widgets/MessageBoxDialogs.h"
#include "platform/widgets/Passwortabfrage.h"
#include "platform/widgets/QtDeutsch.h"
#include "rangeimport/ui/MeytonImport.h"
#include "reports/ui/Auswertung.h"
#include "shotpicture/ui/SchussbildFenster.h"

int main(int argc, char* argv[]) {
    laufzeitEinrichten();
    konsoleAnbinden();
    // An option runs without a window: the command line for an administrator's scripts.
    const int befehl = befehlszeile::ausfuehren(argc, argv);
    if (befehl >= 0) {
        return befehl;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zielkunst"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zielkunst"));
    QApplication::setApplicationVersion(programmVersion());
    qtDeutschLaden(app);

    Ini ini(paths::settingsFile());
    Abendzustand zustand;
    ClubDatabase club(ini, zustand);
    MessageBoxDialogs dialogs;
    SystemClock uhr;
    // Shut down or logged out: end as the window's close does, so the backup at the end still
    // runs; a question open at that moment is left unanswered.
    Signalende signalende([] {
        QApplication::closeAllWindows();
        QCoreApplication::quit();
    });

    SerialPortLine leitung;

    Ringe ringe(ini, zustand, club, dialogs, uhr);
    dialogs.setParent(&ringe);
    passwortAbfrageEinrichten(&ringe);
    Einlesen einlesen(leitung, ini, zustand, ringe, dialogs);
    ringe.setLesesteuerung(&einlesen);
    // The other windows are made when first asked for and then only shown again.
    auto zeigen = [](QWidget& w) {
        w.show();
        w.raise();
        w.activateWindow();
    };
    std::unique_ptr<FormPunkte> punkte;
    std::unique_ptr<KlassenFenster> klassen;
    auto punkteZeigen = [&] {
        if (!punkte) {
            punkte = std::make_unique<FormPunkte>(club, zustand, dialogs);
        }
        zeigen(*punkte);
    };
    std::unique_ptr<Auswertung> auswertung;
    std::unique_ptr<Mitgl> mitglieder;
    ringe.setAuswertungOeffnen([&] {
        if (!auswertung) {
            auswertung = std::make_unique<Auswertung>(club, ringe, zustand, dialogs, uhr);
            auswertung->setPunkteOeffnen(punkteZeigen);
        }
        zeigen(*auswertung);
    });
    // The competition grid is made when first needed: by its button, or by a number typed in
    // competition mode.
    std::unique_ptr<Wett> wettkampf;
    auto wett = [&]() -> Wett& {
        if (!wettkampf) {
            altdateien::wettkampfPruefen(paths::defaultCompetitionDatabase(), dialogs, uhr, &ringe);
            wettkampf =
                std::make_unique<Wett>(ini, dialogs, uhr, paths::defaultCompetitionDatabase());
        }
        return *wettkampf;
    };
    struct Wettkampfgitter : Wettkampfzeilen {
        std::function<Wett&()> holen;
        QString schuetze(int zeile) const override { return holen().schuetze(zeile); }
        void serienEintragen(int zeile, const std::array<QString, 7>& serien,
                             const QString& gesamt) override {
            holen().serienEintragen(zeile, serien, gesamt);
        }
    } gitter;
    gitter.holen = wett;
    ringe.setWettkampf(&gitter, [&] { zeigen(wett()); });
    std::unique_ptr<SchussbildFenster> schussbild;
    ringe.setSchussbildOeffnen([&] {
        if (!schussbild) {
            schussbild = std::make_unique<SchussbildFenster>(ini, zustand, dialogs, uhr);
        }
        zeigen(*schussbild);
        schussbild->Zeichne_Schuss();
    });
    ringe.setMitgliederOeffnen([&] {
        if (!mitglieder) {
            mitglieder = std::make_unique<Mitgl>(club, ringe, zustand, dialogs, uhr);
            mitglieder->setPunkteOeffnen(punkteZeigen);
            mitglieder->setKlassenOeffnen([&] {
                if (!klassen) {
                    klassen = std::make_unique<KlassenFenster>(club, dialogs);
                }
                zeigen(*klassen);
            });
        }
        zeigen(*mitglieder);
    });
    // The settings window: opened anew each time it was closed; when it closes after the
    // machine, port or speed changed, the main window and the line follow.
    Einstellungen einstellungen(ini, zustand, club, dialogs, uhr);
    einstellungen.setDatenbankWiederOeffnen([&] { ringe.datenbankWiederOeffnen(); });
    std::unique_ptr<Tabellen> tabellen;
    einstellungen.setTabellenOeffnen([&] {
        if (!tabellen) {
            tabellen = std::make_unique<Tabellen>(club, zustand, dialogs, uhr);
        }
        zeigen(*tabellen);
    });
    QObject::connect(&einstellungen, &Einstellungen::slotsGeschrieben,
                     [&] { ringe.slotsGeaendert(); });
    // The live display follows the main window's evening and database; it reads its
    // settings at start and when the settings window closes.
    Anzeige anzeige({[&] {
                         return QDate::fromString(ringe.heuteText().trimmed(),
                                                  QStringLiteral("dd.MM.yyyy"));
                     },
                     [&] { return static_cast<int>(zustand.Saisonjahr); },
                     [&] { return club.isOpen() ? club.db().zugang() : Database::Zugang{}; }});
    einstellungen.anzeigegruppe().setAdressen([&] { return anzeige.adressen(); });
    QObject::connect(&ringe, &Ringe::abendGespeichert, &anzeige, &Anzeige::gespeichert);
    auto anzeigeAnwenden = [&] {
        const QString fehler = anzeige.anwenden(Anzeigeeinstellung::lesen(ini));
        if (!fehler.isEmpty()) {
            dialogs.message(fehler);
        }
    };
    QObject::connect(&einstellungen, &Einstellungen::geschlossen, [&] {
        if (einstellungen.maschineGeaendert()) {
            ringe.maschineEinrichten();
            einlesen.portEinrichten();
        }
        anzeigeAnwenden();
    });
    ringe.setVorDemOeffnen(
        [&](const QString& name) { altdateien::slotPruefen(ini, dialogs, uhr, &ringe, name); });
    ringe.setEinstellungenOeffnen([&] {
        if (!einstellungen.isVisible()) {
            einstellungen.oeffnen();
        }
        zeigen(einstellungen);
    });
    // Backups: before every operation that rewrites many rows, and when the program ends.
    Vorsorge vorsorge(club, ini, dialogs, uhr);
    std::unique_ptr<SicherungenFenster> sicherungenFenster;
    einstellungen.setSicherungenOeffnen([&] {
        if (!sicherungenFenster) {
            sicherungenFenster = std::make_unique<SicherungenFenster>(ini, club, dialogs, uhr);
            sicherungenFenster->setWiederOeffnen([&] {
                ringe.datenbankWiederOeffnen();
                ringe.gespeichertZeigen();
            });
        }
        zeigen(*sicherungenFenster);
    });
    // A backup brought back from the command line while the program runs is another file
    // under the same name: the main window lets go of the old one and shows what is stored.
    Dateiwechsel clubWechsel([&] { return club.isOpen() ? club.db().path() : QString(); });
    QObject::connect(&clubWechsel, &Dateiwechsel::ersetzt, [&] {
        ringe.datenbankWiederOeffnen();
        ringe.gespeichertZeigen();
    });
    std::unique_ptr<MeytonImport> meyton;
    ringe.setMeytonImportOeffnen([&] {
        if (!meyton) {
            meyton = std::make_unique<MeytonImport>(club, ringe, ini, zustand, dialogs, uhr);
        }
        zeigen(*meyton);
        if (!meyton->verbunden() && !meyton->laeuft()) {
            meyton->laden();
        }
    });
    ringe.show();
    ringe.laden();
    anzeigeAnwenden();
    const int ende = signalende.ausgeloest() ? 0 : QApplication::exec();
    vorsorge.sichern(QStringLiteral("Programmende"));
    sicherungenFenster.reset();
    meyton.reset();
    tabellen.reset();
    schussbild.reset();
    wettkampf.reset();
    mitglieder.reset();
    auswertung.reset();
    klassen.reset();
    punkte.reset();
    return ende;
}
