// A strip a machine kept from an earlier reading, added to the evening it was read for.
#include <QLineEdit>
#include <QStatusBar>

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/Zahlen.h"
#include "evening/Abendstand.h"
#include "evening/Mitglieder.h"
#include "evening/Nachtrag.h"
#include "evening/ui/Ringe.h"
#include "platform/Clock.h"
#include "platform/Database.h"
#include "platform/Dialogs.h"

namespace {
// The fields as they were, to find and store that evening again.
struct FelderVermerk : Abendvermerk {
    Felder felder;
};
}  // namespace

std::shared_ptr<const Abendvermerk> Ringe::abendVermerk() const {
    auto v = std::make_shared<FelderVermerk>();
    v->felder = felderLesen();
    v->nummer = v->felder.SNummer.trimmed();
    v->name = v->felder.SName;
    v->datum = v->felder.datumText();
    return v;
}

bool Ringe::nachtragen(const Abendvermerk& abend,
                       const std::function<void(Abendzustand&)>& schuesse) {
    const auto* v = dynamic_cast<const FelderVermerk*>(&abend);
    const QString nicht =
        QStringLiteral("Der Streifen wurde dem Abend von %1 nicht nachgetragen:\n").arg(abend.wer());
    if (v == nullptr || v->felder.Wettkampf || v->felder.keinMitglied()) {
        dialogs_.message(nicht + QStringLiteral("Dieser Abend ist kein gespeicherter Abend eines "
                                                "Mitglieds (Wettkampf oder „Kein Eintrag“)."));
        return false;
    }
    if (!club_.isOpen()) {
        dialogs_.message(nicht + QStringLiteral("Es ist keine Vereinsdatenbank geöffnet."));
        return false;
    }
    QString fehler;
    try {
        Database& db = club_.db();
        const auto mitglied = mitgliedNachNummer(db, v->felder.SNummer);
        const int n = abendNachtragen(v->felder, zustand_, db, mitglied ? mitglied->Klasse : 0,
                                      dialogs_, clock_.now(), schuesse);
        if (n < 0) {
            fehler = QStringLiteral("Die Schüsse passen nicht mehr auf die Karte (60 Schuss).");
        } else {
            statusBar()->showMessage(
                QStringLiteral("%1 Schuss dem Abend von %2 am %3 nachgetragen und gespeichert.")
                    .arg(n)
                    .arg(abend.wer(), abend.datum));
            return true;
        }
    } catch (const AbendAnderswoGespeichert&) {
        fehler = QStringLiteral("Der Abend wurde inzwischen an einem anderen Platz gespeichert.");
    } catch (const DatabaseError& e) {
        fehler = e.message();
    } catch (const ZahlUeberlauf& e) {
        fehler = e.message();
    }
    dialogs_.message(nicht + fehler);
    return false;
}
