#include "app/Befehlszeile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

#include "core/DatenbankSlots.h"
#include "core/Ini.h"
#include "core/Ueber.h"
#include "maintenance/Accessuebernahme.h"
#include "maintenance/Sicherungen.h"
#include "maintenance/Vereinsumzug.h"
#include "maintenance/ui/Tabellenfortschritt.h"
#include "platform/Clock.h"
#include "platform/Konsole.h"
#include "platform/Paths.h"

namespace befehlszeile {

namespace {

const char* const kHilfe =
    "Aufruf: zielkunst [OPTION]\n"
    "Ohne Option startet das Programm mit seinem Fenster.\n\n"
    "  --uebernehmen ALT.mdb NEU.db   eine Access-Datei des alten Programms übernehmen\n"
    "  --umziehen VON NACH            eine Vereinsdatenbank in eine neue Datei oder eine\n"
    "                                 leere Datenbank auf dem Server kopieren\n"
    "  --sichern [DB] [ORDNER]        die Vereinsdatenbank sichern (ohne DB die von\n"
    "                                 Datenbank 1; ein fehlender ORDNER wird angelegt)\n"
    "  --zurueckholen SICHERUNG DB    eine Sicherung zurückholen (der jetzige Stand\n"
    "                                 wird vorher gesichert)\n"
    "  --version                      die Version ausgeben\n"
    "  --help                         diese Hilfe ausgeben\n\n"
    "Rückgabewert: 0 bei Erfolg, 1 bei einem Fehler, 2 bei falschem Aufruf.";

void ausgeben(std::FILE* f, const QString& text) {
    konsoleSchreiben(f, text);
}

void konsolenFortschritt(int fertig, int gesamt, const QString& tabelle) {
    if (!tabelle.isEmpty()) {
        ausgeben(stdout, tabellenZeile(fertig, gesamt, tabelle));
    }
}

int hilfe() {
    // The folders as this user's desktop names them, not as a manual might guess them.
    Ini ini(paths::settingsFile());
    ausgeben(stdout, QString::fromUtf8(kHilfe) +
                       QStringLiteral("\n\nEinstellungen:       %1\n"
                                      "Vereinsdatenbank:    %2 (wenn nichts eingestellt ist)\n"
                                      "Sicherungsordner:    %3")
                           .arg(paths::settingsFile(), paths::defaultClubDatabase(),
                                sicherungen::regelLesen(ini).ordner));
    return 0;
}

// "zielkunst --uebernehmen ALT.mdb NEU.db"
int uebernehmen(const QStringList& a, const Clock& uhr) {
    if (a.size() != 4) {
        ausgeben(stderr, QStringLiteral("Aufruf: zielkunst --uebernehmen ALT.mdb NEU.db\n"
                                        "Übernimmt eine Access-Datei des alten Programms in eine "
                                        "neue Datei; vorher wird eine Sicherung angelegt."));
        return 2;
    }
    QString text;
    const bool ok = accessDateiUebernehmen(a[2], a[3], uhr.now(), konsolenFortschritt, &text);
    ausgeben(ok ? stdout : stderr, text);
    return ok ? 0 : 1;
}

// "zielkunst --umziehen VON NACH": a club database copied into a new file or an empty
// server database ("mariadb://user@host:port/db").
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
    ausgeben(stdout, QStringLiteral("\"%1\" wurde nach \"%2\" kopiert: %3 %4.\n")
                             .arg(a[2], a[3])
                             .arg(bericht.zeilen)
                             .arg(bericht.zeilen == 1 ? QStringLiteral("Zeile")
                                                      : QStringLiteral("Zeilen")) +
                         bericht.tabellen.join(u'\n'));
    return 0;
}

// "zielkunst --sichern [DB] [ORDNER]": a backup of the club database (slot 1 without DB)
// into the backups folder (or ORDNER), kept by the rule of wettk.ini.
int sichern(const QStringList& a, const Clock& uhr) {
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
    switch (sicherungen::sichern(db, regel, uhr.now(), &ziel, &fehler)) {
        case sicherungen::Ergebnis::Gesichert:
            ausgeben(stdout, QStringLiteral("Gesichert: ") + QDir::toNativeSeparators(ziel));
            return 0;
        case sicherungen::Ergebnis::Unveraendert:
            ausgeben(stdout, QStringLiteral("Unverändert seit ") + QDir::toNativeSeparators(ziel));
            return 0;
        default:
            ausgeben(stderr, fehler);
            return 1;
    }
}

// "zielkunst --zurueckholen SICHERUNG DB": a backup brought back, the state before backed
// up first.
int zurueckholen(const QStringList& a, const Clock& uhr) {
    if (a.size() != 4) {
        ausgeben(stderr, QStringLiteral("Aufruf: zielkunst --zurueckholen SICHERUNG DATENBANK\n"
                                        "Holt eine Sicherung zurück; der jetzige Stand wird "
                                        "vorher gesichert."));
        return 2;
    }
    Ini ini(paths::settingsFile());
    QString vorher;
    QString fehler;
    if (!sicherungen::zurueckholen(a[2], a[3], sicherungen::regelLesen(ini), uhr.now(), &vorher,
                                   &fehler)) {
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

bool ist(const char* arg, const char* lang, const char* kurz = nullptr) {
    return std::strcmp(arg, lang) == 0 || (kurz && std::strcmp(arg, kurz) == 0);
}

}  // namespace

int ausfuehren(int argc, char* argv[]) {
    if (argc < 2) {
        return -1;
    }
    const char* option = argv[1];
    if (ist(option, "--version", "-v")) {
        ausgeben(stdout, QStringLiteral("Zielkunst ") + programmVersion());
        return 0;
    }
    if (std::strncmp(option, "--", 2) != 0 && !ist(option, "-h")) {
        return -1;  // not an option of ours: the window starts
    }
    // For an administrator's scripts: no window, no display needed.
    QCoreApplication app(argc, argv);
    const QStringList argumente = QCoreApplication::arguments();
    const SystemClock uhr;
    if (ist(option, "--help", "-h")) {
        QCoreApplication::setApplicationName(QStringLiteral("zielkunst"));
        return hilfe();
    }
    if (ist(option, "--uebernehmen")) {
        return uebernehmen(argumente, uhr);
    }
    if (ist(option, "--umziehen")) {
        return umziehen(argumente);
    }
    if (ist(option, "--sichern")) {
        QCoreApplication::setApplicationName(QStringLiteral("zielkunst"));
        return sichern(argumente, uhr);
    }
    if (ist(option, "--zurueckholen")) {
        QCoreApplication::setApplicationName(QStringLiteral("zielkunst"));
        return zurueckholen(argumente, uhr);
    }
    ausgeben(stderr, QStringLiteral("Unbekannte Option \"%1\"; zielkunst --help zeigt die "
                                  "möglichen.")
                       .arg(QString::fromLocal8Bit(option)));
    return 2;
}

}  // namespace befehlszeile
