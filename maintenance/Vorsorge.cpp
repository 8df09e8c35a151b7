#include "maintenance/Vorsorge.h"

#include "core/ClubDatabase.h"
#include "core/Ini.h"
#include "maintenance/Sicherungen.h"
#include "maintenance/VorAenderung.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

Vorsorge::Vorsorge(ClubDatabase& club, const Ini& ini, Dialogs& dialogs, const Clock& uhr)
    : club_(club), ini_(ini), dialogs_(dialogs), uhr_(uhr) {
    voraenderung::setSichern([this](const QString& anlass) { sichern(anlass); });
}

Vorsorge::~Vorsorge() {
    voraenderung::setSichern({});
}

void Vorsorge::sichern(const QString& anlass) {
    if (!club_.isOpen()) {
        return;
    }
    QString ziel;
    QString fehler;
    const auto e = sicherungen::sichern(club_.db().path(), sicherungen::regelLesen(ini_),
                                        uhr_.now(), &ziel, &fehler);
    if (e == sicherungen::Ergebnis::Gescheitert ||
        (e == sicherungen::Ergebnis::OrdnerFehlt && !ordnerGemeldet_)) {
        ordnerGemeldet_ = ordnerGemeldet_ || e == sicherungen::Ergebnis::OrdnerFehlt;
        dialogs_.message(QStringLiteral("Vor „%1“ sollte die Vereinsdatenbank gesichert "
                                        "werden; das ging nicht.\n")
                             .arg(anlass) +
                         fehler);
    }
}
