#include "maintenance/ui/Altdateien.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

#include "core/DatenbankSlots.h"
#include "core/Einstellungen.h"
#include "core/Ini.h"
#include "maintenance/Accessuebernahme.h"
#include "maintenance/Sicherungen.h"
#include "maintenance/Vereinsumzug.h"
#include "maintenance/ui/Accessangebot.h"
#include "maintenance/ui/Tabellenfortschritt.h"
#include "platform/Database.h"
#include "platform/Dateien.h"
#include "platform/Paths.h"

namespace altdateien {

namespace {
void ausgeben(std::FILE* f, const QString& text) {
    std::fputs(text.toUtf8().constData(), f);
    std::fputc('\n', f);
    std::fflush(f);
}

void konsolenFortschritt(int fertig, int gesamt, const QString& tabelle) {
    if (!tabelle.isEmpty()) {
        ausgeben(stdout, tabellenZeile(fertig, gesamt, tabelle));
    }
}
}  // namespace

namespace {
// A club file that has no member: nothing in it would be lost by taking an old file over.
bool ohneMitglieder(const QString& datei) {
    Database db;
    QString fehler;
    if (!db.open(datei, &fehler, false, Database::Zugriff::NurLesen)) {
        return false;
    }
    try {
        return db.run(QStringLiteral("SELECT count(*) FROM Mitglieder")).rows[0][0].toInt() == 0 &&
               db.run(QStringLiteral("SELECT count(*) FROM Ergebnis")).rows[0][0].toInt() == 0;
    } catch (const DatabaseError&) {
        return false;
    }
}
}  // namespace

void slotPruefen(Ini& ini, Dialogs& dialogs, QWidget* eltern, const QString& name) {
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
    if (dateien::existiert(ziel) && !ohneMitglieder(ziel)) {
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
        if (!accessUebernahmeAnbieten(mdb, dialogs, eltern, &neu)) {
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

void wettkampfPruefen(const QString& wettkDb, Dialogs& dialogs, QWidget* eltern) {
    const QFileInfo info(wettkDb);
    const QString mdb = info.path() + u'/' + info.completeBaseName() + QStringLiteral(".mdb");
    if (dateien::existiert(wettkDb) || !dateien::existiert(mdb)) {
        return;
    }
    QString neu;
    accessUebernahmeAnbieten(mdb, dialogs, eltern, &neu);
}

int kommandozeile(const QStringList& a) {
    if (a.size() != 4) {
        ausgeben(stderr, QStringLiteral("Aufruf: zielkunst --uebernehmen ALT.mdb NEU.db\n"
                                        "Übernimmt eine Access-Datei des alten Programms in eine "
                                        "neue Datei; vorher wird eine Sicherung angelegt."));
        return 2;
    }
    QString text;
    const bool ok = accessDateiUebernehmen(a[2], a[3], konsolenFortschritt, &text);
    ausgeben(ok ? stdout : stderr, text);
    return ok ? 0 : 1;
}

int umziehen(const QStringList& a) {
    if (a.size() != 4) {
        ausgeben(stderr,
                 QStringLiteral("Aufruf: zielkunst --umziehen VON NACH\n"
                                "Kopiert eine Vereinsdatenbank in eine neue Datei oder eine "
                                "leere Datenbank auf dem Server "
                                "(mariadb://benutzer@rechner:port/datenbank)."));
        return 2;
    }
    Umzugsbericht bericht;
    QString fehler;
    // A question (the remains of a move that was cut off) is answered on standard input.
    const auto fragen = [](const QString& frage) {
        ausgeben(stdout, frage + QStringLiteral(" (j/n) "));
        std::fflush(stdout);
        char zeile[16] = {};
        if (!std::fgets(zeile, sizeof zeile, stdin)) {
            return false;
        }
        return zeile[0] == 'j' || zeile[0] == 'J' || zeile[0] == 'y' || zeile[0] == 'Y';
    };
    const bool ok = vereinUmziehen(a[2], a[3], konsolenFortschritt, &bericht, &fehler, fragen);
    if (!ok) {
        ausgeben(stderr, QStringLiteral("Der Verein wurde nicht kopiert.\n") + fehler);
        return 1;
    }
    ausgeben(stdout, QStringLiteral("\"%1\" wurde nach \"%2\" kopiert: %3 Zeilen.\n")
                             .arg(a[2], a[3])
                             .arg(bericht.zeilen) +
                         bericht.tabellen.join(u'\n'));
    return 0;
}

int sichern(const QStringList& a) {
    if (a.size() > 4) {
        ausgeben(stderr, QStringLiteral("Aufruf: zielkunst --sichern [DATENBANK] [ORDNER]\n"
                                        "Sichert die Vereinsdatenbank (ohne Angabe die von "
                                        "Datenbank 1) in den Sicherungsordner."));
        return 2;
    }
    Ini ini(paths::settingsFile());
    sicherungen::Regel regel = sicherungen::regelLesen(ini);
    const QString db = a.size() >= 3 ? a[2]
                                     : paths::resolve(leseSlots(ini)[0].datei.isEmpty()
                                                          ? QStringLiteral("C:\\Eigene Dateien\\Training.mdb")
                                                          : leseSlots(ini)[0].datei);
    if (a.size() == 4) {
        // A folder named here is made when it is missing.
        regel.ordner = paths::resolve(a[3]);
        regel.eigenerOrdner = false;
        if (!QFileInfo(regel.ordner).isDir() && !QDir().mkpath(regel.ordner)) {
            ausgeben(stderr, QStringLiteral("Der Ordner \"%1\" fehlt und kann nicht angelegt "
                                            "werden; es wurde keine Sicherung angelegt.")
                                 .arg(regel.ordner));
            return 1;
        }
    }
    QString ziel;
    QString fehler;
    switch (sicherungen::sichern(db, regel, QDateTime::currentDateTime(), &ziel, &fehler)) {
        case sicherungen::Ergebnis::Gesichert:
            ausgeben(stdout, QStringLiteral("Gesichert: ") + ziel);
            return 0;
        case sicherungen::Ergebnis::Unveraendert:
            ausgeben(stdout, QStringLiteral("Unverändert seit ") + ziel);
            return 0;
        default:
            ausgeben(stderr, fehler);
            return 1;
    }
}

int zurueckholen(const QStringList& a) {
    if (a.size() != 4) {
        ausgeben(stderr, QStringLiteral("Aufruf: zielkunst --zurueckholen SICHERUNG DATENBANK\n"
                                        "Holt eine Sicherung zurück; der jetzige Stand wird "
                                        "vorher gesichert."));
        return 2;
    }
    Ini ini(paths::settingsFile());
    QString vorher;
    QString fehler;
    if (!sicherungen::zurueckholen(a[2], a[3], sicherungen::regelLesen(ini),
                                   QDateTime::currentDateTime(), &vorher, &fehler)) {
        ausgeben(stderr, QStringLiteral("Die Sicherung wurde nicht zurückgeholt.\n") + fehler);
        return 1;
    }
    ausgeben(stdout, vorher.isEmpty()
                         ? QStringLiteral("Zurückgeholt. Vorher gab es die Datei \"%1\" nicht.")
                               .arg(a[3])
                         : QStringLiteral("Zurückgeholt. Der Stand davor ist aufbewahrt in \"%1\".")
                               .arg(vorher));
    return 0;
}

}  // namespace altdateien
