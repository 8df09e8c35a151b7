#include "maintenance/Sicherungen.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <cstdio>
#include <set>

#include "core/Aenderungen.h"
#include "core/Ini.h"
#include "core/Schema.h"
#include "maintenance/Vereinsumzug.h"
#include "platform/Database.h"
#include "platform/Dateien.h"
#include "platform/Paths.h"
#include "platform/Sicherung.h"

namespace sicherungen {

namespace {

const QString kSektion = QStringLiteral("SICHERUNG");
const QString kZeitformat = QStringLiteral("yyyy-MM-dd HHmmss");

int zahl(const Ini& ini, const QString& key, int vorgabe) {
    bool ok = false;
    const int n = ini.IniLesen(kSektion, key).trimmed().toInt(&ok);
    return ok && n >= 0 ? n : vorgabe;
}

// The content of a database file without its header, whose counters every write changes:
// two backups of the same state compare equal.
QByteArray fingerabdruck(const QString& datei) {
    QFile f(datei);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    QCryptographicHash h(QCryptographicHash::Sha256);
    f.seek(100);
    while (!f.atEnd()) {
        h.addData(f.read(1 << 20));
    }
    return h.result();
}

void teilEntfernen(const QString& pfad) {
    for (const char* endung : {"", ".neu", "-journal", ".neu-journal"}) {
        QFile::remove(pfad + QLatin1String(endung));
    }
}

// A consistent copy of the club database into `teil`, checked: a file through SQLite's
// backup interface, a server database by the copy a move makes.
bool kopieren(const QString& db, const QString& teil, QString* fehler) {
    teilEntfernen(teil);
    if (Database::istServer(db)) {
        Umzugsbericht bericht;
        if (!vereinUmziehen(db, teil, {}, &bericht, fehler) ||
            !sicherung::unversehrt(teil, fehler)) {
            teilEntfernen(teil);
            return false;
        }
        return true;
    }
    // dateiSichern writes "<teil>.part" itself; here the whole file is the part.
    const QString zwischen = teil + QStringLiteral(".tmp");
    if (!sicherung::dateiSichern(db, zwischen, fehler)) {
        return false;
    }
    if (std::rename(QFile::encodeName(zwischen).constData(), QFile::encodeName(teil).constData()) !=
        0) {
        QFile::remove(zwischen);
        *fehler = QStringLiteral("\"%1\" kann nicht geschrieben werden.").arg(teil);
        return false;
    }
    return true;
}

}  // namespace

Regel regelLesen(const Ini& ini) {
    Regel r;
    const QString ordner = ini.IniLesen(kSektion, QStringLiteral("ORDNER")).trimmed();
    r.eigenerOrdner = !ordner.isEmpty();
    r.ordner = r.eigenerOrdner
                   ? paths::resolve(ordner)
                   : QDir(paths::documentsDir()).filePath(QStringLiteral("Zielkunst-Sicherungen"));
    r.letzte = zahl(ini, QStringLiteral("LETZTE"), r.letzte);
    r.monate = zahl(ini, QStringLiteral("MONATE"), r.monate);
    r.jahre = ini.IniLesen(kSektion, QStringLiteral("JAHRE")).trimmed() != QLatin1String("0");
    return r;
}

QString stamm(const QString& db) {
    if (Database::istServer(db)) {
        return QUrl(db.trimmed()).path().mid(1);
    }
    return QFileInfo(db).completeBaseName();
}

std::vector<Sicherung> liste(const QString& ordner, const QString& db) {
    std::vector<Sicherung> alle;
    const QString name = stamm(db);
    const QRegularExpression muster(QStringLiteral("^") + QRegularExpression::escape(name) +
                                    QStringLiteral(R"( (\d{4}-\d{2}-\d{2} \d{6})\.db$)"));
    for (const QFileInfo& f : QDir(ordner).entryInfoList({QStringLiteral("*.db")}, QDir::Files)) {
        const QRegularExpressionMatch m = muster.match(f.fileName());
        if (!m.hasMatch()) {
            continue;
        }
        const QDateTime zeit = QDateTime::fromString(m.captured(1), kZeitformat);
        if (zeit.isValid()) {
            alle.push_back({f.absoluteFilePath(), zeit});
        }
    }
    std::sort(alle.begin(), alle.end(),
              [](const Sicherung& a, const Sicherung& b) { return a.zeit > b.zeit; });
    return alle;
}

std::vector<Sicherung> behalten(const std::vector<Sicherung>& alle, const Regel& regel,
                                const QDateTime& jetzt) {
    std::set<std::size_t> bleibt;
    for (std::size_t i = 0; i < alle.size() && static_cast<int>(i) < regel.letzte; ++i) {
        bleibt.insert(i);
    }
    // The newest of each month (this month and the ones before) and of each year.
    const int monatJetzt = jetzt.date().year() * 12 + jetzt.date().month() - 1;
    std::set<int> monateGesehen;
    std::set<int> jahreGesehen;
    for (std::size_t i = 0; i < alle.size(); ++i) {
        const QDate d = alle[i].zeit.date();
        const int monat = d.year() * 12 + d.month() - 1;
        if (monatJetzt - monat < regel.monate && monateGesehen.insert(monat).second) {
            bleibt.insert(i);
        }
        if (regel.jahre && jahreGesehen.insert(d.year()).second) {
            bleibt.insert(i);
        }
    }
    std::vector<Sicherung> gehalten;
    for (std::size_t i : bleibt) {
        gehalten.push_back(alle[i]);
    }
    std::sort(gehalten.begin(), gehalten.end(),
              [](const Sicherung& a, const Sicherung& b) { return a.zeit > b.zeit; });
    return gehalten;
}

Ergebnis sichern(const QString& db, const Regel& regel, const QDateTime& jetzt, QString* ziel,
                 QString* fehler) {
    if (regel.eigenerOrdner && !QFileInfo(regel.ordner).isDir()) {
        *fehler = QStringLiteral(
                      "Der Sicherungsordner \"%1\" ist nicht da (ein USB-Stick nicht "
                      "eingesteckt, ein Netzlaufwerk nicht verbunden?); es wurde "
                      "keine Sicherung angelegt.")
                      .arg(regel.ordner);
        return Ergebnis::OrdnerFehlt;
    }
    if (!QDir().mkpath(regel.ordner)) {
        *fehler = QStringLiteral("Der Sicherungsordner \"%1\" kann nicht angelegt werden.")
                      .arg(regel.ordner);
        return Ergebnis::Gescheitert;
    }
    // What a backup that was cut off (the program killed, the power gone) left behind.
    for (const QFileInfo& f :
         QDir(regel.ordner).entryInfoList({stamm(db) + QStringLiteral(" *.part")}, QDir::Files)) {
        if (f.lastModified().secsTo(QDateTime::currentDateTime()) > 3600) {
            QFile::remove(f.absoluteFilePath());
        }
    }
    const QString name = stamm(db) + u' ' + jetzt.toString(kZeitformat) + QStringLiteral(".db");
    *ziel = QDir(regel.ordner).filePath(name);
    const QString teil = *ziel + QStringLiteral(".part");
    if (!kopieren(db, teil, fehler)) {
        *fehler = QStringLiteral("Die Sicherung von \"%1\" ist gescheitert: %2").arg(db, *fehler);
        return Ergebnis::Gescheitert;
    }
    const std::vector<Sicherung> vorher = liste(regel.ordner, db);
    if (!vorher.empty() && fingerabdruck(vorher.front().datei) == fingerabdruck(teil)) {
        QFile::remove(teil);
        *ziel = vorher.front().datei;
        return Ergebnis::Unveraendert;
    }
    QFile::remove(*ziel);  // a backup in the same second: the newer one counts
    if (!QFile::rename(teil, *ziel)) {
        QFile::remove(teil);
        *fehler = QStringLiteral("Die Sicherung \"%1\" kann nicht angelegt werden.").arg(*ziel);
        return Ergebnis::Gescheitert;
    }
    const std::vector<Sicherung> alle = liste(regel.ordner, db);
    const std::vector<Sicherung> gehalten = behalten(alle, regel, jetzt);
    for (const Sicherung& s : alle) {
        const bool bleibt = std::any_of(gehalten.begin(), gehalten.end(),
                                        [&](const Sicherung& g) { return g.datei == s.datei; });
        if (!bleibt) {
            QFile::remove(s.datei);
        }
    }
    return Ergebnis::Gesichert;
}

Inhalt inhalt(const QString& sicherung) {
    Inhalt i;
    Database db;
    QString fehler;
    if (!db.open(sicherung, &fehler, false, Database::Zugriff::NurLesen)) {
        return i;
    }
    try {
        i.mitglieder = db.run(QStringLiteral("SELECT count(*) FROM Mitglieder")).rows[0][0].toInt();
        const SqlRows r = db.run(QStringLiteral("SELECT count(*), max(Datum) FROM Ergebnis"));
        i.abende = r.rows[0][0].toInt();
        i.letzterAbend = r.rows[0][1].toString().left(10);
    } catch (const DatabaseError&) {
    }
    return i;
}

bool zurueckholen(const QString& sicherung, const QString& db, const Regel& regel,
                  const QDateTime& jetzt, QString* vorher, QString* fehler) {
    if (!sicherung::unversehrt(sicherung, fehler)) {
        *fehler = QStringLiteral("Die Sicherung kann nicht zurückgeholt werden: ") + *fehler;
        return false;
    }
    // The state before is a backup of its own, so that a wrong choice can be undone.
    const Ergebnis e = sichern(db, regel, jetzt, vorher, fehler);
    if (e == Ergebnis::OrdnerFehlt || e == Ergebnis::Gescheitert) {
        *fehler = QStringLiteral(
                      "Vor dem Zurückholen muss der jetzige Stand gesichert werden; "
                      "das ging nicht.\n") +
                  *fehler;
        return false;
    }
    // The database brought back notes in its log that it was, with the change.
    const aenderungen::Eintrag eintrag{
        QStringLiteral("Alle"),
        QVariant(),
        QString(),
        QStringLiteral("*"),
        !vorher || vorher->isEmpty()
            ? QString()
            : QStringLiteral("Stand vorher gesichert in ") + QFileInfo(*vorher).fileName(),
        QFileInfo(sicherung).fileName(),
        QStringLiteral("Zurückgeholt")};
    if (Database::istServer(db)) {
        Umzugsbericht bericht;
        return vereinErsetzen(sicherung, db, &bericht, fehler, [&](Database& ziel) {
            aenderungen::schreiben(ziel, {eintrag}, jetzt);
        });
    }
    // A checked copy takes the file's place in one step.
    return sicherung::dateiSichern(sicherung, db, fehler, [&](const QString& teil, QString* f) {
        Database kopie;
        if (!kopie.open(teil, f)) {
            return false;
        }
        try {
            schema::ergaenzen(kopie);
            Transaction t(kopie);
            aenderungen::schreiben(kopie, {eintrag}, jetzt);
            t.commit();
        } catch (const DatabaseError& e) {
            *f = e.message();
            return false;
        }
        return true;
    });
}

}  // namespace sicherungen
