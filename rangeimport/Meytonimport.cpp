#include "rangeimport/Meytonimport.h"

#include <QDir>
#include <QElapsedTimer>

#include <array>
#include <cmath>
#include <utility>

#include <QDateTime>

#include "core/Abendzustand.h"
#include "core/Aenderungen.h"
#include "core/Einstellungen.h"
#include "core/Zahlen.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/OdbcQuelle.h"
#include "platform/Paths.h"
#include "platform/SqlDialect.h"
#include "rangeimport/Ergebniszeile.h"
#include "rangeimport/PunkteImport.h"
#include "rangeimport/Standleser.h"

namespace {

const QString kZeilenende = QStringLiteral("\r\n");
constexpr qint64 kStapelMs = 200;  // results stored together when nobody watches

const QString kNachSportpass = QStringLiteral(
    "SELECT Nr, Klasse FROM Mitglieder WHERE SportpassID IS NOT NULL AND "
    "TRIM(SportpassID) = ? ORDER BY rowid LIMIT 1");
const QString kNachName = QStringLiteral(
    "SELECT rowid, Nr, Klasse, SportpassID FROM Mitglieder WHERE Name = ? "
    "ORDER BY rowid");
const QString kSportpassSetzen =
    QStringLiteral("UPDATE Mitglieder SET SportpassID = ? WHERE rowid = ?");
const QString kVorhanden =
    QStringLiteral("SELECT rowid FROM Ergebnis WHERE MeytonScheibenID = ? ORDER BY rowid LIMIT 1");
const QString kNeu = QStringLiteral(
    "INSERT INTO Ergebnis (MitglNr, MeytonScheibenID, Datum, Jahr, Gesammt, Teiler, Anwesend, "
    "S1, S2, S3, S4, S5, S6, Punkte, Best10, Best20) "
    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
const QString kAendern = QStringLiteral(
    "UPDATE Ergebnis SET MitglNr = ?, MeytonScheibenID = ?, Datum = ?, Jahr = ?, Gesammt = ?, "
    "Teiler = ?, Anwesend = ?, S1 = ?, S2 = ?, S3 = ?, S4 = ?, S5 = ?, S6 = ?, Punkte = ?, "
    "Best10 = ?, Best20 = ? WHERE rowid = ?");
// Found again for every result: without an index each look-up reads the whole table.
const QString kIndex = QStringLiteral(
    "CREATE INDEX IF NOT EXISTS Ergebnis_MeytonScheibenID ON Ergebnis (MeytonScheibenID)");

QString blank(int n) {
    return zahlTextBlank(n);
}

}  // namespace

Importlogpfade Importlogpfade::standard() {
    const QDir d(paths::documentsDir());
    return {d.filePath(QStringLiteral("Import-Errorlog.txt")),
            d.filePath(QStringLiteral("Importlog.txt")),
            d.filePath(QStringLiteral("Import-Debuglog.txt"))};
}

Meytonimport::Meytonimport(Lesequelle& stand, Database& club, Ini& ini, Abendzustand& zustand,
                           Dialogs& dialogs, const Clock& uhr, Importlogpfade logs)
    : stand_(stand),
      club_(club),
      ini_(ini),
      zustand_(zustand),
      dialogs_(dialogs),
      uhr_(uhr),
      pfade_(std::move(logs)) {}

void Meytonimport::eintrag(Protokolldatei& log, const QString& text) {
    log.schreiben(text + kZeilenende);
}

bool Meytonimport::beginnen(const QString& auswahlSql, const Importoptionen& optionen) {
    optionen_ = optionen;
    zaehler_ = {};
    naechste_ = 0;
    abgebrochen_ = false;
    stopGrund_.clear();
    einzelschussGemeldet_ = false;
    scheiben_ = {};
    startup::leseSaisonversatz(ini_, zustand_);

    QString fehler;
    if (!fehlerLog_.oeffnen(pfade_.fehler, &fehler) ||
        !importLog_.oeffnen(pfade_.import, &fehler) || !debugLog_.oeffnen(pfade_.debug, &fehler)) {
        dialogs_.message(QStringLiteral("Der Import kann nicht beginnen.\n") + fehler);
        abschliessen();
        return false;
    }
    try {
        club_.run(kIndex);
    } catch (const DatabaseError& e) {
        dialogs_.message(QStringLiteral("Der Import kann nicht beginnen.\n") + e.message());
        abschliessen();
        return false;
    }
    eintrag(debugLog_, QStringLiteral("mSQL: ") + auswahlSql);
    try {
        scheiben_ = stand_.select(auswahlSql);
    } catch (const DatabaseError& e) {
        eintrag(fehlerLog_, QStringLiteral("Fehler: ") + e.message() + kZeilenende);
        dialogs_.message(QStringLiteral("Die Ergebnisse der Meyton Datenbank können nicht gelesen "
                                        "werden.\n") +
                         e.message());
        abschliessen();
        return false;
    }
    return true;
}

void Meytonimport::fehlerEintragen(const QString& text) {
    eintrag(fehlerLog_, text + kZeilenende);
    ++zaehler_.fehler;
}

void Meytonimport::stoppen(const QString& grund) {
    fehlerEintragen(QStringLiteral("Fehler: ") + grund);
    stopGrund_ = grund;
    abbrechen();
}

void Meytonimport::abbrechen() {
    if (abgebrochen_) {
        return;
    }
    // The result being imported when this is asked (from a question of its own) is
    // finished first; the logs say where it stopped when the import is closed.
    abgebrochen_ = true;
}

bool Meytonimport::mitgliedSuchen(std::size_t z, Mitglied* m) {
    const QString sportpass =
        scheiben_.value(z, QStringLiteral("SportpassID")).toString().trimmed();
    if (!sportpass.isEmpty()) {
        const SqlRows r = club_.run(kNachSportpass, {sportpass});
        if (!r.empty()) {
            m->nr = r.value(0, QStringLiteral("Nr")).toInt();
            m->klasse = r.value(0, QStringLiteral("Klasse")).toInt();
            return true;
        }
    }
    if (!optionen_.sportpassUebernehmen) {
        return false;
    }
    const QString nachname = scheiben_.value(z, QStringLiteral("Nachname")).toString();
    const QString vorname = scheiben_.value(z, QStringLiteral("Vorname")).toString();
    const QString name = nachname + u' ' + vorname;
    const SqlRows r = club_.run(kNachName, {name});
    if (r.empty()) {
        meldungen_ << QStringLiteral("Zu ") + name + QStringLiteral(" gibt es keine Einträge.");
        return false;
    }
    if (r.size() == 1) {
        // An empty number from the range would wipe the one the member has.
        if (!sportpass.isEmpty()) {
            const QVariant alt = r.value(0, QStringLiteral("SportpassID"));
            club_.run(kSportpassSetzen, {sportpass, r.value(0, QStringLiteral("rowid"))});
            if (!alt.toString().trimmed().isEmpty() && alt.toString().trimmed() != sportpass) {
                aenderungen::schreiben(
                    club_,
                    {{QStringLiteral("Mitglieder"), r.value(0, QStringLiteral("Nr")), QString(),
                      QStringLiteral("SportpassID"), alt.toString(), sportpass,
                      QStringLiteral("Import aktualisiert")}},
                    uhr_.now());
            }
        }
    } else {
        meldungen_ << QStringLiteral("Zu ") + name +
                          QStringLiteral(" gibt es mehrere Einträge - Von Hand zuordnen.");
    }
    m->nr = r.value(0, QStringLiteral("Nr")).toInt();
    m->klasse = r.value(0, QStringLiteral("Klasse")).toInt();
    return true;
}

Meytonimport::Art Meytonimport::ergebnisSchreiben(std::size_t z, const Mitglied& m) {
    double id = 0;
    scheibenId(scheiben_.value(z, QStringLiteral("ScheibenID")), &id);
    const SqlRows vorhanden = club_.run(kVorhanden, {id});
    if (!vorhanden.empty() && !optionen_.aktualisieren) {
        return Art::Belassen;
    }

    const QDate tag = zeitstempel(scheiben_.value(z, QStringLiteral("Zeitstempel"))).date();
    double totalRing = 0;
    standZahl(scheiben_.value(z, QStringLiteral("TotalRing")), &totalRing);
    double teiler01 = 0;
    standZahl(scheiben_.value(z, QStringLiteral("BesterTeiler01")), &teiler01);
    const std::int32_t teilerZehntel = zuInt32(teiler01);

    const Standserien serien = standserien(stand_.select(serienAbfrage(id)));
    const Importpunkte p =
        Punktegeben_import(club_, serien.summen, teilerZehntel, m.klasse, zustand_.Punktwertung);
    if (p.einzelschussWertung && !einzelschussGemeldet_) {
        // Once per import, not for every result.
        einzelschussGemeldet_ = true;
        meldungen_ << QStringLiteral(
            "Einzelschuss von Meyton werden bei der Wertung nicht berücksichtigt");
    }

    QVariantList werte;
    werte << m.nr << id << sqldialect::isoDate(tag)
          << startup::saisonJahr(tag, zustand_.Saisonversatz) << totalRing / 10 << teiler01 / 10
          << 1;
    for (const QVariant& s : serien.werte) {
        werte << s;
    }
    werte << p.punkte << p.best10 << p.best20;
    if (vorhanden.empty()) {
        club_.run(kNeu, werte);
        return Art::Neu;
    }
    // What the updated result held before goes into the log, in the result's savepoint.
    static const QStringList kFelder = {
        QStringLiteral("MitglNr"),  QStringLiteral("MeytonScheibenID"),
        QStringLiteral("Datum"),    QStringLiteral("Jahr"),
        QStringLiteral("Gesammt"),  QStringLiteral("Teiler"),
        QStringLiteral("Anwesend"), QStringLiteral("S1"),
        QStringLiteral("S2"),       QStringLiteral("S3"),
        QStringLiteral("S4"),       QStringLiteral("S5"),
        QStringLiteral("S6"),       QStringLiteral("Punkte"),
        QStringLiteral("Best10"),   QStringLiteral("Best20")};
    const SqlRows alt =
        club_.run(QStringLiteral("SELECT %1 FROM Ergebnis WHERE rowid = ?").arg(kFelder.join(u',')),
                  {vorhanden.value(0, QStringLiteral("rowid"))});
    std::vector<aenderungen::Eintrag> log;
    for (int i = 0; !alt.empty() && i < kFelder.size(); ++i) {
        const QVariant vorher = alt.rows[0].value(i);
        const bool gleich = kFelder[i] == QLatin1String("Datum")
                                ? vorher.toString().left(10) == werte[i].toString()
                                : aenderungen::gleich(vorher, werte[i]);
        if (!gleich) {
            log.push_back({QStringLiteral("Ergebnis"), m.nr, sqldialect::isoDate(tag), kFelder[i],
                           aenderungen::text(vorher), aenderungen::text(werte[i]),
                           QStringLiteral("Import aktualisiert")});
        }
    }
    aenderungen::schreiben(club_, log, uhr_.now());
    werte << vorhanden.value(0, QStringLiteral("rowid"));
    club_.run(kAendern, werte);
    return Art::Update;
}

std::optional<Meytonimport::Erledigt> Meytonimport::zeileImportieren(std::size_t z,
                                                                     const QString& zeile) {
    double id = 0;
    if (!scheibenId(scheiben_.value(z, QStringLiteral("ScheibenID")), &id)) {
        fehlerEintragen(QStringLiteral("Fehler: Ergebnis ohne ScheibenID (") + zeile + u')');
        return std::nullopt;
    }
    if (!zeitstempel(scheiben_.value(z, QStringLiteral("Zeitstempel"))).isValid()) {
        fehlerEintragen(QStringLiteral("Fehler: Ergebnis ohne Zeitstempel (") + zeile + u')');
        return std::nullopt;
    }
    Mitglied m;
    if (!mitgliedSuchen(z, &m)) {
        fehlerEintragen(QStringLiteral("Fehler: Mitgliedsnummer konnte nicht ermittelt werden (") +
                        zeile + u')');
        return std::nullopt;
    }
    return Erledigt{ergebnisSchreiben(z, m), QString::number(m.nr), zeile};
}

void Meytonimport::verbuchen(const Erledigt& e) {
    // Logged once the file has it, so the log never names a result that is not stored.
    eintrag(importLog_,
            QStringLiteral("Importiere (") + e.nr + QStringLiteral("): ") + e.zeile + kZeilenende);
    switch (e.art) {
        case Art::Neu:
            ++zaehler_.neu;
            eintrag(importLog_, QStringLiteral("Importiere als Neu (") + e.nr +
                                    QStringLiteral("): ") + e.zeile + kZeilenende);
            break;
        case Art::Update:
            ++zaehler_.update;
            eintrag(importLog_, QStringLiteral("Importiere als Update (") + e.nr +
                                    QStringLiteral("): ") + e.zeile + kZeilenende);
            break;
        case Art::Belassen:
            ++zaehler_.belassen;
            break;
    }
}

void Meytonimport::meldungenZeigen() {
    // Shown once nothing is open in the club file: a box waits, and meanwhile other
    // windows may want to store.
    const QStringList m = std::exchange(meldungen_, {});
    for (const QString& text : m) {
        dialogs_.message(text);
    }
}

void Meytonimport::schritt() {
    stapel(0);
}

void Meytonimport::stapel(qint64 hoechstensMs) {
    if (fertig()) {
        return;
    }
    const bool einzeln = optionen_.einzelnBestaetigen;
    if (einzeln) {
        // Asked before anything is opened in the club file: one result per turn.
        const QString zeile = ergebnisZeile(scheiben_, naechste_);
        eintrag(debugLog_, QStringLiteral("Verarbeite: ") + zeile + kZeilenende);
        if (!dialogs_.askYesNo(QStringLiteral("Import \n") + zeile)) {
            ++naechste_;
            ++zaehler_.uebersprungen;
            return;
        }
    }
    QElapsedTimer uhr;
    uhr.start();
    std::vector<Erledigt> erledigt;
    QString stop;
    try {
        Transaction t(club_);
        do {
            const std::size_t z = naechste_++;
            const QString zeile = ergebnisZeile(scheiben_, z);
            if (!einzeln) {
                eintrag(debugLog_, QStringLiteral("Verarbeite: ") + zeile + kZeilenende);
            }
            // Each result on its own: a failure takes back its half, not the others.
            club_.run(QStringLiteral("SAVEPOINT ergebnis"));
            try {
                if (const auto e = zeileImportieren(z, zeile)) {
                    erledigt.push_back(*e);
                }
                club_.run(QStringLiteral("RELEASE SAVEPOINT ergebnis"));
            } catch (const ZahlUeberlauf& e) {
                club_.run(QStringLiteral("ROLLBACK TO SAVEPOINT ergebnis"));
                club_.run(QStringLiteral("RELEASE SAVEPOINT ergebnis"));
                fehlerEintragen(QStringLiteral("Fehler: ") + e.message() + QStringLiteral(" (") +
                                zeile + u')');
            } catch (const DatabaseError& e) {
                // The club file or the range connection failed: every further result would
                // too. What this turn stored before stays.
                club_.run(QStringLiteral("ROLLBACK TO SAVEPOINT ergebnis"));
                club_.run(QStringLiteral("RELEASE SAVEPOINT ergebnis"));
                stop = e.message();
            }
        } while (stop.isEmpty() && !einzeln && !fertig() && uhr.elapsed() < hoechstensMs);
        t.commit();
    } catch (const DatabaseError& e) {
        erledigt.clear();  // nothing of this turn reached the file
        stop = e.message();
    }
    for (const Erledigt& e : erledigt) {
        verbuchen(e);
    }
    if (!stop.isEmpty()) {
        stoppen(stop);
    }
    meldungenZeigen();
}

QString Meytonimport::abschliessen() {
    if (abgebrochen_) {
        const QString wo = QStringLiteral("Import abgebrochen nach %1 von %2 Ergebnissen.")
                               .arg(erledigt())
                               .arg(gesamt());
        for (Protokolldatei* log : {&importLog_, &debugLog_, &fehlerLog_}) {
            eintrag(*log, wo + kZeilenende);
        }
    }
    fehlerLog_.schliessen();
    importLog_.schliessen();
    debugLog_.schliessen();
    QString text;
    if (abgebrochen_) {
        text += QStringLiteral("Der Import wurde nach %1 von %2 Ergebnissen abgebrochen.\n")
                    .arg(naechste_)
                    .arg(gesamt());
        if (!stopGrund_.isEmpty()) {
            text += stopGrund_ + u'\n';
        }
    }
    text += zaehler_.fehler == 0 ? QStringLiteral("Import ohne Fehler. Log in Datei ") +
                                       pfade_.import + QStringLiteral(" geschrieben.")
                                 : QStringLiteral("Fehler aufgetreten. Log in Datei ") +
                                       pfade_.fehler + QStringLiteral(" geschrieben.");
    text += QStringLiteral("\nNeu: ") + blank(zaehler_.neu) + QStringLiteral("\nUpdate: ") +
            blank(zaehler_.update) + QStringLiteral("\nFehler:") + blank(zaehler_.fehler);
    if (zaehler_.belassen > 0) {
        text += QStringLiteral("\nBelassen: ") + blank(zaehler_.belassen);
    }
    return text;
}

void Meytonimport::alles(const QString& auswahlSql, const Importoptionen& optionen) {
    if (!beginnen(auswahlSql, optionen)) {
        return;
    }
    while (!fertig()) {
        stapel(kStapelMs);
    }
    dialogs_.message(abschliessen());
}
