#include "maintenance/Sicherungen.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
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

// The club's tables with the fields even the oldest club files have.
const std::vector<std::pair<QString, QStringList>>& vereinsfelder() {
    static const std::vector<std::pair<QString, QStringList>> felder = {
        {QStringLiteral("Mitglieder"),
         {QStringLiteral("Nr"), QStringLiteral("Name"), QStringLiteral("Klasse")}},
        {QStringLiteral("Ergebnis"),
         {QStringLiteral("MitglNr"), QStringLiteral("Datum"), QStringLiteral("S1"),
          QStringLiteral("S2"), QStringLiteral("S3"), QStringLiteral("S4"),
          QStringLiteral("Gesammt"), QStringLiteral("Teiler"), QStringLiteral("Best10"),
          QStringLiteral("Best20"), QStringLiteral("Punkte"), QStringLiteral("Jahr")}},
        {QStringLiteral("Einzelergebnisse"),
         {QStringLiteral("MitglNr"), QStringLiteral("Datum"), QStringLiteral("Schuss"),
          QStringLiteral("Ring")}},
        {QStringLiteral("Sonder"), {QStringLiteral("AnwPunkte"), QStringLiteral("PistolenTeiler")}},
        {QStringLiteral("Ringe"), {QStringLiteral("URinge"), QStringLiteral("Punkte")}},
        {QStringLiteral("Teiler"), {QStringLiteral("OTeiler"), QStringLiteral("Punkte")}},
    };
    return felder;
}

// The club's tables and their fields are there (the file's soundness checked apart).
bool vereinstabellenDa(const QString& datei, QString* fehler);

// The full path that tells one club database from another of the same name.
QString schluessel(const QString& db) {
    if (Database::istServer(db)) {
        return db.trimmed();
    }
    const QFileInfo info(db);
    const QString ordner = QFileInfo(info.absolutePath()).canonicalFilePath();
    QString pfad = QDir::cleanPath((ordner.isEmpty() ? info.absolutePath() : ordner) + u'/' +
                                   info.fileName());
#ifdef Q_OS_WIN
    pfad = pfad.toLower();
#endif
    return pfad;
}

const QString kLogFelder =
    QStringLiteral("Zeit, Platz, Benutzer, Tabelle, MitglNr, Datum, Feld, Alt, Neu, Anlass");

std::vector<QVariantList> logZeilen(const QString& datei) {
    Database db;
    QString fehler;
    if (datei.isEmpty() || !db.open(datei, &fehler, false, Database::Zugriff::NurLesen) ||
        !db.hasTable(aenderungen::kTabelle)) {
        return {};
    }
    try {
        return db.run(QStringLiteral("SELECT %1 FROM Aenderungen ORDER BY rowid").arg(kLogFelder))
            .rows;
    } catch (const DatabaseError&) {
        return {};  // a damaged state before: its log stays in the copy that was kept
    }
}

QString zeilenSchluessel(const QVariantList& z) {
    QStringList t;
    for (const QVariant& v : z) {
        t << (v.isNull() ? QStringLiteral("\x01") : aenderungen::text(v));
    }
    return t.join(QChar(0x1f));
}

// The rows of the log in the state before that the backup does not have, in their order.
std::vector<QVariantList> nachzutragen(const QString& vorher, const QString& sicherung) {
    QHash<QString, int> schon;
    for (const QVariantList& z : logZeilen(sicherung)) {
        ++schon[zeilenSchluessel(z)];
    }
    std::vector<QVariantList> neu;
    for (const QVariantList& z : logZeilen(vorher)) {
        int& n = schon[zeilenSchluessel(z)];
        if (n > 0) {
            --n;
        } else {
            neu.push_back(z);
        }
    }
    return neu;
}

void nachtragen(Database& db, const std::vector<QVariantList>& zeilen) {
    const QString sql =
        QStringLiteral("INSERT INTO Aenderungen (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
            .arg(kLogFelder);
    for (const QVariantList& z : zeilen) {
        db.run(sql, z);
    }
}

// A file as it is, with a journal beside it, copied to `ziel`.
bool rohKopieren(const QString& db, const QString& ziel, QString* fehler) {
    if (!dateien::kopieren(db, ziel, fehler)) {
        return false;
    }
    for (const char* endung : {"-journal", "-wal"}) {
        const QString j = db + QLatin1String(endung);
        if (dateien::existiert(j) && !dateien::kopieren(j, ziel + QLatin1String(endung), fehler)) {
            return false;
        }
    }
    return true;
}

// Keeps the state of the club file before a restore: a backup in the folder when it can be
// made, else a copy beside the club file (a damaged file as it is, named so). *vorher the
// copy, "" when there was no file; *alt the text for the restore's row in the log.
bool standVorherBehalten(const QString& db, const QString& sicherung, const Regel& regel,
                         const QDateTime& jetzt, QString* vorher, QString* alt,
                         QString* fehler) {
    vorher->clear();
    if (!Database::istServer(db) && !QFileInfo::exists(db)) {
        *alt = QStringLiteral("Vorher gab es die Datei nicht");
        return true;
    }
    QString grund;
    const Ergebnis e = sichern(db, regel, jetzt, vorher, &grund, sicherung);
    if (e == Ergebnis::Gesichert || e == Ergebnis::Unveraendert) {
        *alt = QStringLiteral("Stand vorher gesichert in ") + QFileInfo(*vorher).fileName();
        return true;
    }
    if (Database::istServer(db)) {
        *fehler = QStringLiteral(
                      "Vor dem Zurückholen muss der jetzige Stand gesichert werden; das ging "
                      "nicht.\n") +
                  grund;
        return false;
    }
    QString pruefung;
    const bool heil = istVereinsdatenbank(db, &pruefung);
    const QFileInfo info(db);
    *vorher = info.absolutePath() + u'/' + info.completeBaseName() +
              (heil ? QStringLiteral(" vor dem Zurückholen ") : QStringLiteral(" beschädigt ")) +
              jetzt.toString(QStringLiteral("yyyy-MM-dd HHmmss")) + QStringLiteral(".db");
    QString kopie;
    if (!rohKopieren(db, *vorher, &kopie)) {
        *fehler = QStringLiteral(
                      "Vor dem Zurückholen muss der jetzige Stand aufbewahrt werden; das ging "
                      "nicht.\n") +
                  grund + u'\n' + kopie;
        vorher->clear();
        return false;
    }
    *alt = (heil ? QStringLiteral("Stand vorher aufbewahrt in ")
                 : QStringLiteral("Beschädigter Stand vorher aufbewahrt in ")) +
           QFileInfo(*vorher).fileName();
    return true;
}

}  // namespace

bool istVereinsdatenbank(const QString& datei, QString* fehler) {
    return sicherung::unversehrt(datei, fehler) && vereinstabellenDa(datei, fehler);
}

namespace {

bool vereinstabellenDa(const QString& datei, QString* fehler) {
    Database db;
    QString grund;
    if (!db.open(datei, &grund, false, Database::Zugriff::NurLesen)) {
        *fehler = QStringLiteral("\"%1\" kann nicht geöffnet werden.\n").arg(datei) + grund;
        return false;
    }
    try {
        for (const auto& [tabelle, felder] : vereinsfelder()) {
            if (!db.hasTable(tabelle)) {
                *fehler = QStringLiteral(
                              "\"%1\" ist keine Vereinsdatenbank (die Tabelle %2 fehlt).")
                              .arg(datei, tabelle);
                return false;
            }
            const std::vector<ColumnInfo> da = db.columns(tabelle);
            for (const QString& f : felder) {
                const bool vorhanden = std::any_of(da.begin(), da.end(), [&](const ColumnInfo& c) {
                    return c.name.compare(f, Qt::CaseInsensitive) == 0;
                });
                if (!vorhanden) {
                    *fehler = QStringLiteral(
                                  "\"%1\" ist keine Vereinsdatenbank (der Tabelle %2 fehlt das "
                                  "Feld %3).")
                                  .arg(datei, tabelle, f);
                    return false;
                }
            }
        }
    } catch (const DatabaseError& e) {
        *fehler = QStringLiteral("\"%1\" kann nicht gelesen werden.\n").arg(datei) + e.message();
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
    const QString name = Database::istServer(db) ? QUrl(db.trimmed()).path().mid(1)
                                                 : QFileInfo(db).completeBaseName();
    const QByteArray pfad =
        QCryptographicHash::hash(schluessel(db).toUtf8(), QCryptographicHash::Sha1);
    return name + QStringLiteral(" (") + QString::fromLatin1(pfad.toHex().left(8)) + u')';
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
                 QString* fehler, const QString& schonen) {
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
    // What a backup that was cut off (the program killed, the power gone) left behind, as
    // soon as the process that wrote it is gone.
    sicherung::resteEntfernen(regel.ordner, stamm(db));
    // A backup in the same second as one before (a backup, a change, a backup in a script)
    // takes the next free second: neither that one nor the one being brought back is ever
    // replaced.
    QDateTime zeit = jetzt;
    do {
        *ziel = QDir(regel.ordner)
                    .filePath(stamm(db) + u' ' + zeit.toString(kZeitformat) + QStringLiteral(".db"));
        zeit = zeit.addSecs(1);
    } while ((!schonen.isEmpty() && dateien::dieselbeDatei(*ziel, schonen)) ||
             QFileInfo::exists(*ziel));
    const std::vector<Sicherung> vorher = liste(regel.ordner, db);
    const QByteArray neueste = vorher.empty() ? QByteArray() : fingerabdruck(vorher.front().datei);
    bool gleich = false;
    // Only a club database becomes a backup, and a copy of the newest is not kept twice.
    // (A file's copy is checked for soundness by the copy itself, once.)
    const bool server = Database::istServer(db);
    const auto pruefen = [&](const QString& teil, QString* f) {
        if (!(server ? istVereinsdatenbank(teil, f) : vereinstabellenDa(teil, f))) {
            f->replace(teil, db);
            return false;
        }
        if (!neueste.isEmpty() && fingerabdruck(teil) == neueste) {
            gleich = true;
            return false;
        }
        return true;
    };
    bool ok = false;
    if (server) {
        // A server database is copied by the move into a file.
        const sicherung::Teil teil(*ziel);
        Umzugsbericht bericht;
        ok = !teil.belegt() && vereinUmziehen(db, teil.pfad(), {}, &bericht, fehler) &&
             pruefen(teil.pfad(), fehler);
        if (ok && !dateien::ersetzen(teil.pfad(), *ziel)) {
            *fehler = QStringLiteral("\"%1\" kann nicht geschrieben werden.").arg(*ziel);
            ok = false;
        }
        if (!ok) {
            teil.entfernen();
        }
    } else {
        ok = sicherung::dateiSichern(db, *ziel, fehler, pruefen);
    }
    if (gleich) {
        *ziel = vorher.front().datei;
        fehler->clear();
        return Ergebnis::Unveraendert;
    }
    if (!ok) {
        *fehler = QStringLiteral("Die Sicherung von \"%1\" ist gescheitert:\n").arg(db) + *fehler;
        return Ergebnis::Gescheitert;
    }
    const std::vector<Sicherung> alle = liste(regel.ordner, db);
    const std::vector<Sicherung> gehalten = behalten(alle, regel, jetzt);
    for (const Sicherung& s : alle) {
        const bool bleibt = std::any_of(gehalten.begin(), gehalten.end(),
                                        [&](const Sicherung& g) { return g.datei == s.datei; });
        if (!bleibt && !dateien::dieselbeDatei(s.datei, schonen)) {
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
    vorher->clear();
    const auto nicht = [&](const QString& grund) {
        *fehler = QStringLiteral("Die Sicherung kann nicht zurückgeholt werden: ") + grund;
        return false;
    };
    QString grund;
    if (!istVereinsdatenbank(sicherung, &grund)) {
        return nicht(QStringLiteral("\"%1\" ist keine Sicherung einer Vereinsdatenbank. Die "
                                    "Vereinsdatenbank bleibt, wie sie ist.\n")
                         .arg(sicherung) +
                     grund);
    }
    // The database brought back notes in its log that it was, with the change; before that
    // row come the corrections logged since the backup.
    aenderungen::Eintrag eintrag{QStringLiteral("Alle"), QVariant(), QString(),
                                 QStringLiteral("*"), QString(), QFileInfo(sicherung).fileName(),
                                 QStringLiteral("Zurückgeholt")};
    if (Database::istServer(db)) {
        if (!standVorherBehalten(db, sicherung, regel, jetzt, vorher, &eintrag.alt, fehler)) {
            return false;
        }
        const std::vector<QVariantList> seither = nachzutragen(*vorher, sicherung);
        Umzugsbericht bericht;
        return vereinErsetzen(sicherung, db, &bericht, fehler, [&](Database& ziel) {
            nachtragen(ziel, seither);
            aenderungen::schreiben(ziel, {eintrag}, jetzt);
        });
    }
    // The backup is copied beside the club file first: whatever the backing up of the state
    // before does to the folder, what is brought back has been read. The copy then takes
    // the file's place in one step.
    return sicherung::dateiSichern(sicherung, db, fehler, [&](const QString& teil, QString* f) {
        if (!standVorherBehalten(db, sicherung, regel, jetzt, vorher, &eintrag.alt, f)) {
            return false;
        }
        const std::vector<QVariantList> seither = nachzutragen(*vorher, sicherung);
        Database kopie;
        if (!kopie.open(teil, f)) {
            return false;
        }
        try {
            schema::ergaenzen(kopie);
            Transaction t(kopie);
            nachtragen(kopie, seither);
            aenderungen::schreiben(kopie, {eintrag}, jetzt);
            t.commit();
        } catch (const DatabaseError& e) {
            *f = e.message();
            return false;
        }
        kopie.close();
        // What a crash left beside the old file would be taken for the new file's: the
        // state before is kept, so it goes.
        for (const char* endung : {"-journal", "-wal", "-shm"}) {
            QFile::remove(sicherung::echteDatei(db) + QLatin1String(endung));
        }
        return true;
    });
}

}  // namespace sicherungen
