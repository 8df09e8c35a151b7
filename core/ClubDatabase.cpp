#include "core/ClubDatabase.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

#include "core/Abendzustand.h"
#include "core/DatenbankSlots.h"
#include "core/Einstellungen.h"
#include "core/Ini.h"
#include "core/Schema.h"
#include "core/Zahlen.h"
#include "platform/Paths.h"

namespace {
const QString kStandardName = QStringLiteral("Training");
}  // namespace

ClubDatabase::ClubDatabase(Ini& ini, Abendzustand& zustand, QObject* parent)
    : QObject(parent), ini_(ini), zustand_(zustand) {}

ClubDatabase::~ClubDatabase() = default;

bool ClubDatabase::isOpen() const {
    return db_ && db_->isOpen();
}

Database& ClubDatabase::db() {
    if (!isOpen()) {
        throw DatabaseError(QStringLiteral("Es ist keine Vereinsdatenbank geöffnet."));
    }
    return *db_;
}

QString ClubDatabase::dateiFuerSlot(const QString& name) {
    const DatenbankSlots liste = leseSlots(ini_);
    for (const auto& slot : liste) {
        if (!name.isEmpty() && slot.name == name) {
            return paths::resolve(slot.datei);
        }
    }
    if (!liste[0].name.isEmpty()) {
        return paths::resolve(liste[0].datei);
    }
    // Empty settings: "Training" in the documents folder, written into DB1 as the real path
    // of this system, so that the settings window shows where the file is.
    const QString section = ini::slotSection(0);
    const QString datei = paths::defaultClubDatabase();
    ini_.IniSchreiben(section, ini::kName, kStandardName);
    ini_.IniSchreiben(section, ini::kDatei, datei);
    return datei;
}

OeffnenErgebnis ClubDatabase::OpenDatabase(const QString& name) {
    const DatenbankSlots liste = leseSlots(ini_);
    const auto found = std::find_if(liste.begin(), liste.end(), [&](const DatenbankSlot& s) {
        return !name.isEmpty() && s.name == name;
    });
    OeffnenErgebnis ergebnis = OpenDatabaseDatei(dateiFuerSlot(name));
    if (found != liste.end()) {
        ergebnis.hatFarbe = true;
        ergebnis.farbe = farbeAlsRgb(found->farbe);
    }
    return ergebnis;
}

OeffnenErgebnis ClubDatabase::OpenDatabaseDatei(const QString& datei) {
    OeffnenErgebnis ergebnis;
    ergebnis.datei = datei;
    auto neu = std::make_unique<Database>();
    QString grund;
    auto scheitern = [&](const QString& warum) {
        ergebnis.fehler =
            QStringLiteral("Die Vereinsdatenbank \"%1\" kann nicht geöffnet werden.\n%2")
                .arg(datei, warum);
        return ergebnis;
    };
    if (!neu->open(datei, &grund)) {
        ergebnis.dateiFehlt = !Database::istServer(datei) && !QFileInfo::exists(datei);
        return scheitern(grund);
    }
    if (neu->aufServer() && neu->hasTable(QStringLiteral("ZK_Umzug_unfertig"))) {
        return scheitern(QStringLiteral(
            "Der Umzug in diese Datenbank wurde nicht fertig; bitte den Umzug wiederholen."));
    }
    if (neu->aufServer() && neu->tables().isEmpty()) {
        // An empty server database is where a new club database may be set up.
        ergebnis.dateiFehlt = true;
        return scheitern(QStringLiteral("Die Datenbank ist leer."));
    }
    for (const QString& tabelle : schema::pflichtTabellen()) {
        if (!neu->hasTable(tabelle)) {
            return scheitern(
                QStringLiteral("Die Datei ist keine Vereinsdatenbank (die Tabelle %1 fehlt).")
                    .arg(tabelle));
        }
    }
    std::int16_t anwPunkte = 0;
    float pistolenTeiler = 0.0f;
    try {
        const SqlRows sonder =
            neu->run(QStringLiteral("SELECT AnwPunkte, PistolenTeiler FROM Sonder"));
        if (!sonder.empty()) {
            // A value that is no finite number ("nan", a text) counts as 0.
            bool anwOk = false;
            const double anw = sonder.rows[0][0].isNull() ? 0 : sonder.rows[0][0].toDouble(&anwOk);
            bool teilerOk = false;
            const double teiler =
                sonder.rows[0][1].isNull() ? 0 : sonder.rows[0][1].toDouble(&teilerOk);
            const bool anwGut = sonder.rows[0][0].isNull() || (anwOk && std::isfinite(anw));
            const bool teilerGut = sonder.rows[0][1].isNull() ||
                                   (teilerOk && std::isfinite(teiler) && std::fabs(teiler) < 1e30);
            if (anwGut) {
                anwPunkte =
                    static_cast<std::int16_t>(std::clamp(rundeGerade(anw), -32768.0, 32767.0));
            }
            if (teilerGut) {
                pistolenTeiler = static_cast<float>(teiler);
            }
            if (!anwGut || !teilerGut) {
                ergebnis.hinweis =
                    QStringLiteral(
                        "In der Tabelle Sonder steht bei %1 keine gültige Zahl; es wird mit 0 "
                        "gerechnet.")
                        .arg(anwGut ? QStringLiteral("PistolenTeiler")
                                    : QStringLiteral("AnwPunkte"));
            }
        }
    } catch (const DatabaseError& e) {
        return scheitern(e.message());
    }

    if (neu->schreibgeschuetzt()) {
        const QString nurLesen =
            QStringLiteral(
                "Die Vereinsdatenbank \"%1\" ist schreibgeschützt: Ergebnisse können "
                "angesehen, aber nicht gespeichert werden.")
                .arg(datei);
        ergebnis.hinweis =
            ergebnis.hinweis.isEmpty() ? nurLesen : nurLesen + u'\n' + ergebnis.hinweis;
    } else {
        schema::ergaenzen(*neu);
    }
    db_ = std::move(neu);
    zustand_.AnwPunkte = anwPunkte;
    zustand_.PistolenTeiler = pistolenTeiler;
    zustand_.Datenbankdatei = datei;
    ergebnis.ok = true;
    emit geoeffnet(datei);
    return ergebnis;
}

void ClubDatabase::CloseDatabase() {
    if (db_) {
        db_->close();
        db_.reset();
    }
    zustand_.Datenbankdatei.clear();
    emit geschlossen();
}
