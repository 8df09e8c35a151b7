#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

class Ini;

// Backups of club databases: a consistent, checked copy into the backups folder as
// "<name> JJJJ-MM-TT HHMMSS.db", kept by a rule, and brought back when asked.
namespace sicherungen {

// Where backups go and which are kept (wettk.ini, section [SICHERUNG]: ORDNER, LETZTE,
// MONATE, JAHRE).
struct Regel {
    QString ordner;          // the documents folder's "Zielkunst-Sicherungen" by default
    bool eigenerOrdner = false;  // set in wettk.ini: it must be there (a USB stick, a share)
    int letzte = 10;         // the newest ones
    int monate = 12;         // one a month for this many months back
    bool jahre = true;       // one a year
};
Regel regelLesen(const Ini& ini);

struct Sicherung {
    QString datei;
    QDateTime zeit;
};

// The backups of the club database `db` (a file or a server address) in the folder, newest
// first. Each club database has a series of its own, by its full path: two clubs whose
// files have the same name never see or prune each other's backups.
std::vector<Sicherung> liste(const QString& ordner, const QString& db);

// The name a backup of `db` gets before its time: the file's name without ".db" (or the
// server database's), and a short mark of the full path ("Training (3f2a9c1b)").
QString stamm(const QString& db);

// A file is a club database: sound by PRAGMA integrity_check, with the club's tables and
// their fields. False with the German reason.
bool istVereinsdatenbank(const QString& datei, QString* fehler);

// Which of the backups (newest first) the rule keeps, at `jetzt`.
std::vector<Sicherung> behalten(const std::vector<Sicherung>& alle, const Regel& regel,
                                const QDateTime& jetzt);

enum class Ergebnis { Gesichert, Unveraendert, OrdnerFehlt, Gescheitert };

// Backs up `db` (file or server) by the rule at `jetzt`: written as ".part", checked to be a
// club database, then named; a copy identical to the newest backup is not kept;
// afterwards the rule removes what it does not keep, never `schonen`. What a killed backup
// left in the folder is removed first. *ziel the new backup, *fehler the German reason.
Ergebnis sichern(const QString& db, const Regel& regel, const QDateTime& jetzt, QString* ziel,
                 QString* fehler, const QString& schonen = {});

// Members, evenings and the last evening of a backup, for choosing one.
struct Inhalt {
    int mitglieder = 0;
    int abende = 0;
    QString letzterAbend;  // ISO date
};
Inhalt inhalt(const QString& sicherung);

// Brings a backup back as `db`: a file is replaced in one step by a checked copy; a server
// database is emptied and refilled in one transaction. The backup is read (and checked to
// be a club database) before anything else. The state before is kept: as a backup, or
// beside the club file when that cannot be (a damaged file as it is, named so); a club
// file that is missing is no obstacle. The corrections logged since the backup are
// carried over, followed by the row of the restore. *vorher names what was kept ("" when
// there was nothing). False with the German reason; then `db` is as it was.
bool zurueckholen(const QString& sicherung, const QString& db, const Regel& regel,
                  const QDateTime& jetzt, QString* vorher, QString* fehler);

}  // namespace sicherungen
