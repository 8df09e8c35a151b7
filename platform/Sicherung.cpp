#include "platform/Sicherung.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

#include <sqlite3.h>

namespace sicherung {

namespace {

// An sqlite3 connection that closes itself.
struct Verbindung {
    sqlite3* db = nullptr;
    ~Verbindung() {
        if (db) {
            sqlite3_close_v2(db);
        }
    }
    bool oeffnen(const QString& pfad, int flags) {
        return sqlite3_open_v2(QFile::encodeName(pfad).constData(), &db, flags, nullptr) ==
               SQLITE_OK;
    }
    QString fehler() const {
        return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("kein Speicher");
    }
};

void entfernen(const QString& pfad) {
    for (const char* endung : {"", "-journal", "-wal", "-shm"}) {
        QFile::remove(pfad + QLatin1String(endung));
    }
}

}  // namespace

bool unversehrt(const QString& datei, QString* fehler) {
    Verbindung v;
    if (!v.oeffnen(datei, SQLITE_OPEN_READONLY)) {
        *fehler = QStringLiteral("\"%1\" kann nicht geöffnet werden: %2").arg(datei, v.fehler());
        return false;
    }
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(v.db, "PRAGMA integrity_check", -1, &s, nullptr) != SQLITE_OK) {
        *fehler = QStringLiteral("\"%1\" ist keine lesbare Datenbank: %2").arg(datei, v.fehler());
        return false;
    }
    QString ergebnis;
    while (sqlite3_step(s) == SQLITE_ROW) {
        ergebnis += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    }
    sqlite3_finalize(s);
    if (ergebnis != QLatin1String("ok")) {
        *fehler = QStringLiteral("Die Prüfung von \"%1\" findet Fehler: %2")
                      .arg(datei, ergebnis.isEmpty() ? v.fehler() : ergebnis.left(300));
        return false;
    }
    return true;
}

bool dateiSichern(const QString& quelle, const QString& ziel, QString* fehler,
                  const std::function<bool(const QString& teil, QString* fehler)>& vorDemNamen) {
    const QString teil = ziel + QStringLiteral(".part");
    entfernen(teil);
    bool ok = false;
    {
        Verbindung von;
        Verbindung nach;
        if (!von.oeffnen(quelle, SQLITE_OPEN_READONLY)) {
            *fehler =
                QStringLiteral("\"%1\" kann nicht gelesen werden: %2").arg(quelle, von.fehler());
        } else if (!nach.oeffnen(teil, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) {
            *fehler =
                QStringLiteral("\"%1\" kann nicht angelegt werden: %2").arg(ziel, nach.fehler());
        } else {
            sqlite3_busy_timeout(von.db, 5000);
            sqlite3_backup* b = sqlite3_backup_init(nach.db, "main", von.db, "main");
            if (!b) {
                *fehler = QStringLiteral("Die Sicherung \"%1\" kann nicht beginnen: %2")
                              .arg(ziel, nach.fehler());
            } else {
                // All pages in one step: the copy is one consistent state of the file.
                int rc = SQLITE_OK;
                for (int versuch = 0; versuch < 50; ++versuch) {
                    rc = sqlite3_backup_step(b, -1);
                    if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED) {
                        break;
                    }
                    sqlite3_sleep(100);
                }
                sqlite3_backup_finish(b);
                if (rc != SQLITE_DONE) {
                    *fehler = rc == SQLITE_FULL
                                  ? QStringLiteral(
                                        "Der Datenträger ist voll; die Sicherung "
                                        "\"%1\" wurde nicht geschrieben.")
                                        .arg(ziel)
                                  : QStringLiteral("Die Sicherung \"%1\" ist gescheitert: %2")
                                        .arg(ziel, nach.fehler());
                } else {
                    ok = true;
                }
            }
        }
    }
    ok = ok && (!vorDemNamen || vorDemNamen(teil, fehler));
    ok = ok && unversehrt(teil, fehler);
    if (ok && std::rename(QFile::encodeName(teil).constData(),
                          QFile::encodeName(ziel).constData()) != 0) {
        *fehler = QStringLiteral("Die Sicherung kann nicht \"%1\" genannt werden.").arg(ziel);
        ok = false;
    }
    if (!ok) {
        entfernen(teil);
    }
    return ok;
}

}  // namespace sicherung
