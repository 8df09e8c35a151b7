#include "platform/Sicherung.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <sqlite3.h>

#include "platform/Dateien.h"

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
        if (db) {
            sqlite3_close_v2(db);
            db = nullptr;
        }
        // SQLite takes file names in UTF-8 everywhere, on Windows too.
        return sqlite3_open_v2(pfad.toUtf8().constData(), &db, flags, nullptr) == SQLITE_OK;
    }
    QString fehler() const {
        return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("kein Speicher");
    }
};

// What belongs to a part: SQLite's files beside it, and what a copy or a move writes.
const char* const kBeiTeil[] = {"", "-journal", "-wal", "-shm", ".neu", ".neu-journal"};

}  // namespace

QString treibermeldung(const QString& text) {
    return text.trimmed().isEmpty() ? QString()
                                    : QStringLiteral("\nMeldung des Datenbanktreibers: ") +
                                          text.trimmed();
}

Teil::Teil(const QString& ziel) : pfad_(ziel + QStringLiteral(".part")) {
    const QString sperre = pfad_ + QStringLiteral(".lock");
#ifdef Q_OS_UNIX
    sperrDatei_ = ::open(QFile::encodeName(sperre).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    gesperrt_ = sperrDatei_ >= 0 && ::flock(sperrDatei_, LOCK_EX | LOCK_NB) == 0;
    unschreibbar_ = sperrDatei_ < 0;
#else
    sperre_ = std::make_unique<QLockFile>(sperre);
    // Never stale by age: only a process that is gone gives its part up.
    sperre_->setStaleLockTime(0);
    gesperrt_ = sperre_->tryLock(0);
    unschreibbar_ = !gesperrt_ && sperre_->error() != QLockFile::LockFailedError;
#endif
    if (gesperrt_) {
        entfernen();  // a part nobody holds is a killed process's remains
    }
}

Teil::~Teil() {
#ifdef Q_OS_UNIX
    if (sperrDatei_ >= 0) {
        if (gesperrt_) {
            QFile::remove(pfad_ + QStringLiteral(".lock"));
        }
        ::close(sperrDatei_);
    }
#else
    if (gesperrt_) {
        sperre_->unlock();
    }
#endif
}

void Teil::entfernen() const {
    for (const char* endung : kBeiTeil) {
        QFile::remove(pfad_ + QLatin1String(endung));
    }
}

void resteEntfernen(const QString& ordner, const QString& praefix) {
    static const QRegularExpression muster(
        QStringLiteral(R"(^(.*)\.part(-journal|-wal|-shm|\.neu|\.neu-journal|\.lock)?$)"));
    QStringList ziele;
    for (const QString& name : QDir(ordner).entryList(QDir::Files | QDir::Hidden)) {
        const QRegularExpressionMatch m = muster.match(name);
        if (m.hasMatch() && name.startsWith(praefix) && !ziele.contains(m.captured(1))) {
            ziele << m.captured(1);
        }
    }
    for (const QString& z : ziele) {
        const Teil t(QDir(ordner).filePath(z));  // removes it unless its writer still lives
    }
}

bool unversehrt(const QString& datei, QString* fehler) {
    Verbindung v;
    if (!QFileInfo(datei).isFile() || !v.oeffnen(datei, SQLITE_OPEN_READONLY)) {
        *fehler = QStringLiteral("\"%1\" kann nicht geöffnet werden.").arg(datei) +
                  treibermeldung(v.db ? v.fehler() : QString());
        return false;
    }
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(v.db, "PRAGMA integrity_check", -1, &s, nullptr) != SQLITE_OK) {
        *fehler = QStringLiteral("\"%1\" ist keine lesbare Datenbank.").arg(datei) +
                  treibermeldung(v.fehler());
        return false;
    }
    QString ergebnis;
    while (sqlite3_step(s) == SQLITE_ROW) {
        ergebnis += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    }
    sqlite3_finalize(s);
    if (ergebnis != QLatin1String("ok")) {
        *fehler = QStringLiteral("Die Prüfung von \"%1\" findet Fehler.").arg(datei) +
                  treibermeldung(ergebnis.isEmpty() ? v.fehler() : ergebnis.left(300));
        return false;
    }
    return true;
}

QString echteDatei(const QString& pfad) {
    const QFileInfo info(pfad);
    const QString echt = info.isSymLink() ? info.canonicalFilePath() : QString();
    return echt.isEmpty() ? pfad : echt;
}

namespace {

// A club file shared by a group keeps its mode and group when a restore replaces it.
void rechteUebernehmen(const QString& alt, const QString& neu) {
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::stat(QFile::encodeName(alt).constData(), &st) != 0) {
        return;
    }
    const QByteArray n = QFile::encodeName(neu);
    if (::chown(n.constData(), st.st_uid, st.st_gid) != 0) {
        [[maybe_unused]] const int r = ::chown(n.constData(), static_cast<uid_t>(-1), st.st_gid);
    }
    ::chmod(n.constData(), st.st_mode & 07777);
#else
    QFile::setPermissions(neu, QFile::permissions(alt));
#endif
}

}  // namespace

bool dateiSichern(const QString& quelle, const QString& zielAngabe, QString* fehler,
                  const std::function<bool(const QString& teil, QString* fehler)>& vorDemNamen) {
    const QString ziel = echteDatei(zielAngabe);
    const Teil teil(ziel);
    if (teil.unschreibbar()) {
        *fehler = QStringLiteral("\"%1\" kann nicht geschrieben werden: In den Ordner \"%2\" "
                                 "darf dieses Programm nicht schreiben, oder es gibt ihn nicht.")
                      .arg(ziel, QFileInfo(ziel).absolutePath());
        return false;
    }
    if (teil.belegt()) {
        *fehler = QStringLiteral("\"%1\" wird gerade von einem anderen Vorgang geschrieben.")
                      .arg(ziel);
        return false;
    }
    bool ok = false;
    {
        Verbindung von;
        Verbindung nach;
        // Read-write where possible: a journal left by a crash is then rolled back, and the
        // copy is the file's last consistent state. A file that cannot be written is read.
        const bool da = QFileInfo(quelle).isFile();
        const bool offen = da && (von.oeffnen(quelle, SQLITE_OPEN_READWRITE) ||
                                  von.oeffnen(quelle, SQLITE_OPEN_READONLY));
        if (!offen) {
            *fehler = (da ? QStringLiteral("\"%1\" kann nicht gelesen werden.")
                          : QStringLiteral("\"%1\" gibt es nicht."))
                          .arg(quelle) +
                      treibermeldung(da ? von.fehler() : QString());
        } else if (!nach.oeffnen(teil.pfad(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) {
            *fehler = QStringLiteral("\"%1\" kann nicht angelegt werden.").arg(ziel) +
                      treibermeldung(nach.fehler());
        } else {
            sqlite3_busy_timeout(von.db, 5000);
            sqlite3_backup* b = sqlite3_backup_init(nach.db, "main", von.db, "main");
            if (!b) {
                *fehler = QStringLiteral("Die Sicherung \"%1\" kann nicht beginnen.").arg(ziel) +
                          treibermeldung(nach.fehler());
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
                                  : QStringLiteral("Die Kopie von \"%1\" ist gescheitert.")
                                            .arg(quelle) +
                                        treibermeldung(QString::fromUtf8(sqlite3_errstr(rc)));
                } else {
                    ok = true;
                }
            }
        }
    }
    ok = ok && (!vorDemNamen || vorDemNamen(teil.pfad(), fehler));
    ok = ok && unversehrt(teil.pfad(), fehler);
    if (ok && QFileInfo::exists(ziel)) {
        rechteUebernehmen(ziel, teil.pfad());
    }
    if (ok && !dateien::ersetzen(teil.pfad(), ziel)) {
        *fehler = QStringLiteral("Die Kopie kann nicht \"%1\" genannt werden.").arg(ziel);
        ok = false;
    }
    if (!ok) {
        teil.entfernen();
    }
    return ok;
}

}  // namespace sicherung
