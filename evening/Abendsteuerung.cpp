#include "evening/Abendsteuerung.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/Schema.h"
#include "core/Wettkampfzeilen.h"
#include "core/Zahlen.h"
#include "evening/Abend.h"
#include "evening/Abendhinweise.h"
#include "evening/Nachtrag.h"
#include "evening/Punkte.h"
#include "evening/Serien.h"
#include "evening/Serienpruefung.h"
#include "platform/Clock.h"
#include "platform/Database.h"
#include "platform/Dialogs.h"
#include "platform/SqlDialect.h"

namespace {

std::size_t idx(int i) {
    return static_cast<std::size_t>(i);
}

const QString kKeineDatenbank = QStringLiteral("Es ist keine Vereinsdatenbank geöffnet.");

}  // namespace

Abendsteuerung::Abendsteuerung(Abendzustand& zustand, ClubDatabase& club, Dialogs& dialogs,
                               const Clock& clock, Abendanzeige& anzeige, QObject* parent)
    : QObject(parent),
      zustand_(zustand),
      club_(club),
      dialogs_(dialogs),
      clock_(clock),
      anzeige_(anzeige) {}

bool Abendsteuerung::mitFeldern(const std::function<void(Felder&)>& regel,
                                const QString& fehlerVorspann) {
    Felder f = anzeige_.felderLesen();
    QString fehler;
    try {
        regel(f);
    } catch (const ZahlUeberlauf& e) {
        fehler = e.message();
    } catch (const DatabaseError& e) {
        fehler = fehlerVorspann + e.message();
    }
    anzeige_.felderZeigen(f);
    if (!fehler.isEmpty()) {
        dialogs_.message(fehler);
        return false;
    }
    return true;
}

// ---- the club database --------------------------------------------------------------

bool Abendsteuerung::datenbankOeffnen(const QString& name, std::optional<unsigned>* farbe) {
    if (vorDemOeffnen_) {
        vorDemOeffnen_(name);
    }
    OeffnenErgebnis e = club_.OpenDatabase(name);
    if (!e.ok && e.dateiFehlt) {
        const QString frage = QStringLiteral(
                                  "Die Vereinsdatenbank \"%1\" gibt es noch nicht.\n"
                                  "Soll dort eine neue, leere Vereinsdatenbank angelegt werden?")
                                  .arg(e.datei);
        if (!dialogs_.askYesNo(frage)) {
            return false;
        }
        QString fehler;
        if (!schema::neueVereinsdatenbank(e.datei, &fehler)) {
            dialogs_.message(
                QStringLiteral("Die Vereinsdatenbank \"%1\" konnte nicht angelegt werden.\n%2")
                    .arg(e.datei, fehler));
            return false;
        }
        e = club_.OpenDatabase(name);
        // A new club starts with the usual classes if it likes; they can be changed.
        if (e.ok && dialogs_.askYesNo(QStringLiteral(
                        "Die neue Vereinsdatenbank hat noch keine Klassen.\n"
                        "Sollen die üblichen Altersklassen des Sportschießens eingetragen werden "
                        "(Schüler, Jugend, Junioren, Damen und Herren, Altersklassen, Senioren)?\n"
                        "Sie lassen sich unter „Mitglieder“ → „Klassen …“ ändern."))) {
            try {
                schema::startklassenEintragen(club_.db());
            } catch (const DatabaseError& ex) {
                dialogs_.message(ex.message());
            }
        }
    }
    if (!e.ok) {
        dialogs_.message(e.fehler);
        return false;
    }
    if (!e.hinweis.isEmpty()) {
        dialogs_.message(e.hinweis);
    }
    if (farbe && e.hatFarbe) {
        *farbe = e.farbe;
    }
    // The member shown belongs to the file that was open before.
    mitglied_.reset();
    const Felder f = anzeige_.felderLesen();
    if (!f.SNummer.isEmpty() && !f.keinMitglied()) {
        try {
            mitglied_ = mitgliedNachNummer(club_.db(), f.SNummer);
        } catch (const DatabaseError&) {
        }
    }
    return true;
}

// ---- member -------------------------------------------------------------------------

void Abendsteuerung::mitgliedAbrufen() {
    if (anzeige_.felderLesen().Wettkampf) {
        // The number is a row of the competition grid.
        mitFeldern([this](Felder& f) {
            const double zeile = Zahlwert(f.SNummer);
            if (wettkampf_ && zeile >= 1 && zeile <= 14) {
                f.SName = wettkampf_->schuetze(static_cast<int>(zeile));
                f.clearSchuss(zustand_);
            }
        });
        return;
    }
    if (!club_.isOpen()) {
        dialogs_.message(kKeineDatenbank);
        return;
    }
    mitFeldern(
        [this](Felder& f) {
            f.clearSchuss(zustand_);
            mitglied_.reset();
            geladen_ = {};
            mitgliedUnlesbar_ = false;
            try {
                mitglied_ = mitgliedNachNummer(club_.db(), f.SNummer);
            } catch (const DatabaseError&) {
                // The name shown belongs to the member typed before: it must not stay
                // above this number, nor may an evening be stored under it.
                mitgliedUnlesbar_ = true;
                f.SName.clear();
                zustand_.clearSchussPuffer();
                throw;
            }
            f.SName = mitglied_ ? mitglied_->Name : Felder::kKeinEintrag;
            // Without a member the buffer is emptied too, so that no hidden shots of the
            // member shown before can be stored under "Kein Eintrag".
            abendLaden(f);
        },
        QStringLiteral("Das Mitglied konnte nicht gelesen werden.\n"));
}

// The stored evening, and what this place saw of it: read before and after, so that an
// evening another place stores meanwhile is not taken for the one shown.
void Abendsteuerung::abendLaden(Felder& f) {
    Database& db = club_.db();
    for (int versuch = 0; versuch < 3; ++versuch) {
        GeladenerAbend vorher;
        try {
            vorher = geladenerAbend(db, f);
        } catch (const DatabaseError&) {
        }
        suchen(f, zustand_, db);
        try {
            geladen_ = geladenerAbend(db, f);
        } catch (const DatabaseError&) {
            geladen_ = {};  // unknown: storing asks before it replaces anything
            return;
        }
        if (geladen_.fingerabdruck == vorher.fingerabdruck) {
            return;
        }
    }
}

bool Abendsteuerung::nameGetippt() {
    Felder f = anzeige_.felderLesen();
    if (f.SName == Felder::kKeinEintrag) {
        return false;
    }
    if (!club_.isOpen()) {
        dialogs_.message(kKeineDatenbank);
        return false;
    }
    NamensTreffer treffer;
    try {
        treffer = mitgliederNachName(club_.db(), f.SName);
    } catch (const DatabaseError& e) {
        dialogs_.message(e.message());
        return false;
    }
    f.Label13 = QStringLiteral("Möglich: ") + zahlTextBlank(treffer.anzahl);
    if (treffer.anzahl != 1 || !treffer.erster) {
        anzeige_.felderZeigen(f);
        return false;
    }
    f.SNummer = QString::number(treffer.erster->Nr);
    anzeige_.felderZeigen(f);
    mitgliedAbrufen();
    mitFeldern([](Felder& g) { g.Label13.clear(); });
    return true;
}

// A number that is no member: asked whether to add the member now, with a name.
bool Abendsteuerung::mitgliedAnlegen() {
    const QString nummer = anzeige_.felderLesen().SNummer.trimmed();
    const double nr = Zahlwert(nummer);
    if (nummer.isEmpty() || !(nr >= 1 && nr <= 32767) || nr != static_cast<int>(nr)) {
        dialogs_.message(
            QStringLiteral("Bitte zuerst die Nummer eines Mitglieds eingeben; der "
                           "Abend wurde nicht gespeichert."));
        return false;
    }
    if (!dialogs_.askYesNo(QStringLiteral("Nummer %1 ist kein Mitglied; der Abend wurde nicht "
                                          "gespeichert.\n"
                                          "Soll Nummer %1 jetzt als neues Mitglied angelegt "
                                          "werden?")
                               .arg(nummer))) {
        return false;
    }
    const QString name = dialogs_.askText(
        QStringLiteral("Name des neuen Mitglieds Nr. %1 (Nachname Vorname):").arg(nummer));
    if (name.isEmpty() || name.size() > 50) {
        dialogs_.message(name.isEmpty()
                             ? QStringLiteral("Es wurde kein Mitglied angelegt; der Abend wurde "
                                              "nicht gespeichert.")
                             : QStringLiteral("Der Name ist länger als 50 Zeichen; es wurde "
                                              "kein Mitglied angelegt."));
        return false;
    }
    Felder f = anzeige_.felderLesen();
    try {
        Database& db = club_.db();
        db.run(QStringLiteral("INSERT INTO Mitglieder (Nr, Name) VALUES (?, ?)"),
               {static_cast<int>(nr), name});
        mitglied_ = mitgliedNachNummer(db, nummer);
        f.SName = name;
        geladen_ = geladenerAbend(db, f);
    } catch (const DatabaseError& e) {
        dialogs_.message(QStringLiteral("Das Mitglied wurde nicht angelegt.\n") + e.message());
        return false;
    }
    anzeige_.felderZeigen(f);
    return true;
}

// ---- shots, season, dates -----------------------------------------------------------

void Abendsteuerung::ringGesetzt(int k, const QString& text) {
    if (k < 1 || k > 60) {
        return;
    }
    const QString ring = text.trimmed();
    ShotSlot& shot = zustand_.Shots[idx(k)];
    const bool vorher = shot.ValidFlag;
    const std::int16_t alt = shot.Ring;
    const float altTeiler = shot.Teiler;
    if (ring.isEmpty()) {
        shot.Ring = 0;  // a ring wiped from the field is no shot any more
        shot.ValidFlag = false;
    } else {
        const double v = rundeGerade(Zahlwert(ring));
        shot.Ring = static_cast<std::int16_t>(std::clamp(v, -32768.0, 32767.0));
        shot.ValidFlag = true;
    }
    if (vorher && shot.ValidFlag && shot.Ring == alt) {
        return;  // the same ring shown again (a recall, a reading's display)
    }
    // A ring set by hand has no Teiler and no place on the target, as a hand correction
    // during a reading: the machine's values belonged to the ring that was there before.
    shot.Teiler = ShotSlot::kKeinTeiler;
    shot.X = 0;
    shot.Y = shot.ValidFlag ? static_cast<float>(10 - shot.Ring) : 0.0f;
    if (vorher && shot.ValidFlag && altTeiler > 0 && altTeiler < ShotSlot::kKeinTeiler) {
        // A ring typed over: the series' and the best Teiler shown came from that shot and
        // go with it (once the field's own change is through).
        const auto serie = idx((k - 1) / 10 + 1);
        QMetaObject::invokeMethod(
            this,
            [this, serie, altTeiler] {
                Felder f = anzeige_.felderLesen();
                auto gleich = [altTeiler](const QString& t) {
                    const float v = KommaZuPunkt(t);
                    return v > 0 && std::abs(v - altTeiler) < 0.05f;
                };
                bool geaendert = false;
                if (gleich(f.Teiler[serie])) {
                    f.Teiler[serie].clear();
                    zustand_.SerienTeiler[serie] = ShotSlot::kKeinTeiler;
                    geaendert = true;
                }
                if (gleich(f.BestTeiler)) {
                    f.BestTeiler.clear();
                    zustand_.SerienTeiler[0] = ShotSlot::kKeinTeiler;
                    geaendert = true;
                }
                if (geaendert) {
                    anzeige_.felderZeigen(f);
                }
            },
            Qt::QueuedConnection);
    }
}

void Abendsteuerung::serieAddieren(int k) {
    if (k < 1 || k > 60) {
        return;
    }
    Felder f = anzeige_.felderLesen();
    try {
        SerieNachEingabe(((k - 1) / 10 + 1) * 10, f);
        anzeige_.felderZeigen(f);
    } catch (const ZahlUeberlauf&) {
    }
}

void Abendsteuerung::saisonGeaendert() {
    Felder f = anzeige_.felderLesen();
    const double jahr = Zahlwert(f.Saison);
    if (jahr > 1990 && jahr <= 32766) {
        f.Label11 = QString::number(static_cast<int>(jahr) + 1);
        zustand_.Saisonjahr = static_cast<std::int16_t>(jahr);
        anzeige_.felderZeigen(f);
    }
}

void Abendsteuerung::teilerGetippt(const QString& text) {
    zustand_.Shots[1].Teiler = KommaZuPunkt(text);
    zustand_.Shots[1].ValidFlag = true;
}

QString Abendsteuerung::gueltigesDatum(const QString& text, int tage) const {
    if (sqldialect::parseShortDate(text).isValid()) {
        return text;
    }
    return clock_.today().addDays(tage).toString(Felder::kDatumsformat);
}

// ---- reading ------------------------------------------------------------------------

void Abendsteuerung::serienUndAnzeige() {
    mitFeldern([this](Felder& f) {
        Serienwertung(zustand_, f);
        Anzeige_fuellen(f, zustand_);
    });
}

bool Abendsteuerung::karteLeeren() {
    Felder f = anzeige_.felderLesen();
    if (f.Option2()) {
        f.Anwesend = true;
        anzeige_.felderZeigen(f);
    }
    if (Zahlwert(f.Scheibe[1]) > 0 &&
        !dialogs_.askYesNo(QStringLiteral("Wenn Sie weitermachen, werden vorhandene \n"
                                          "Daten gelöscht !!\nWeitermachen ?"),
                           Dialogs::Vorgabe::Nein)) {
        return false;
    }
    mitFeldern([this](Felder& g) { g.clearSchuss(zustand_); });
    return true;
}

bool Abendsteuerung::nachtragen(const Felder* abend, const QString& wer, const QString& datum,
                                const std::function<void(Abendzustand&)>& schuesse) {
    const QString nicht =
        QStringLiteral("Der Streifen wurde dem Abend von %1 nicht nachgetragen:\n").arg(wer);
    if (abend == nullptr || abend->Wettkampf || abend->keinMitglied()) {
        dialogs_.message(nicht + QStringLiteral("Dieser Abend ist kein gespeicherter Abend eines "
                                                "Mitglieds (Wettkampf oder „Kein Eintrag“)."));
        return false;
    }
    if (!club_.isOpen()) {
        dialogs_.message(nicht + kKeineDatenbank);
        return false;
    }
    QString fehler;
    try {
        Database& db = club_.db();
        const auto mitglied = mitgliedNachNummer(db, abend->SNummer);
        const int n = abendNachtragen(*abend, zustand_, db, mitglied ? mitglied->Klasse : 0,
                                      dialogs_, clock_.now(), schuesse);
        if (n < 0) {
            fehler = QStringLiteral("Die Schüsse passen nicht mehr auf die Karte (60 Schuss).");
        } else {
            anzeige_.meldung(
                QStringLiteral("%1 Schuss dem Abend von %2 am %3 nachgetragen und gespeichert.")
                    .arg(n)
                    .arg(wer, datum),
                false);
            emit abendGespeichert();
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

// ---- calculate and save -------------------------------------------------------------

// Competition mode: the series go into the grid row the number names, not into the club
// database.
bool Abendsteuerung::wettkampfEintragen(Felder& f) {
    double summe = 0;
    std::array<QString, 7> serien;
    for (int s = 1; s <= 6; ++s) {
        summe += Zahlwert(f.Scheibe[idx(s)]);
        serien[idx(s)] = f.Scheibe[idx(s)];
    }
    f.GesScheibe = zahlText(summe);
    const double zeile = Zahlwert(f.SNummer);
    if (!wettkampf_ || zeile < 1 || zeile > 14 || zeile != static_cast<int>(zeile)) {
        dialogs_.message(QStringLiteral("Im Wettkampf ist die Nummer die Zeile 1 bis 14 der "
                                        "Wettkampftabelle; \"%1\" ist keine.")
                             .arg(f.SNummer));
        return false;
    }
    wettkampf_->serienEintragen(static_cast<int>(zeile), serien, f.GesScheibe);
    return true;
}

void Abendsteuerung::speichern(int programm, bool ersetzen) {
    const Felder vorher = anzeige_.felderLesen();
    if (mitgliedUnlesbar_ && !vorher.Wettkampf) {
        dialogs_.message(QStringLiteral(
            "Mitglied konnte nicht gelesen werden: Der Abend wurde nicht gespeichert.\n"
            "Bitte die Nummer noch einmal eingeben, sobald die Vereinsdatenbank wieder "
            "erreichbar ist; die Ringe bleiben so lange auf dem Bildschirm."));
        return;
    }
    // No evening is stored under a number that names no member: it would reach no listing.
    if (!vorher.Wettkampf && vorher.keinMitglied() && club_.isOpen() && !mitgliedAnlegen()) {
        return;
    }
    std::optional<AbendAnderswoGespeichert> konflikt;
    std::optional<int> ohnePunkte;  // the class whose point tables are empty
    bool keineZeile = false;        // competition mode, and the number names no row
    QStringList hinweise;           // for the message line, never a box that waits
    const bool gespeichert = mitFeldern(
        [&](Felder& f) {
            for (int n = 10; n <= 60; n += 10) {
                Serberech(n, f);
            }
            hinweise = serienHinweise(f, programm);
            if (f.Wettkampf) {
                keineZeile = !wettkampfEintragen(f);
            } else {
                Database& db = club_.db();
                // The class as it stands now: the members window may have changed it.
                if (mitglied_ && !f.keinMitglied()) {
                    mitglied_ = mitgliedNachNummer(db, f.SNummer);
                }
                const int klasse = mitglied_ ? mitglied_->Klasse : 0;
                Punktegeben(f, zustand_, &db, klasse, dialogs_);
                if (mitglied_ && !punkteHinweisKlassen_.contains(std::max(klasse, 0)) &&
                    punktetabellenLeer(db, klasse)) {
                    ohnePunkte = std::max(klasse, 0);
                }
                try {
                    Abspeichern(f, zustand_, db, clock_.now(), {&geladen_, ersetzen});
                } catch (const AbendAnderswoGespeichert& e) {
                    konflikt = e;
                    return;
                }
            }
            f.Warnung.clear();
        },
        QStringLiteral("Der Abend wurde nicht gespeichert. Er bleibt auf dem Bildschirm.\n"));
    const Felder f = anzeige_.felderLesen();
    if (!konflikt) {
        if (gespeichert && !keineZeile) {
            if (ohnePunkte) {
                // Told once a program run per class, beside what was stored.
                punkteHinweisKlassen_.insert(*ohnePunkte);
                hinweise << punkteHinweis(*ohnePunkte);
                dialogs_.hinweis(punkteHinweis(*ohnePunkte));  // whole, where the line is short
            }
            hinweise.prepend(
                f.Wettkampf
                    ? QStringLiteral("In Zeile %1 des Wettkampfs eingetragen.").arg(f.SNummer)
                    : QStringLiteral("Gespeichert: Nr. %1 %2, Abend vom %3, um %4 Uhr.")
                          .arg(f.SNummer, f.SName, f.datumText(),
                               clock_.now().time().toString(QStringLiteral("HH:mm:ss"))));
            anzeige_.meldung(hinweise.join(QStringLiteral(" – ")), true);
            if (!f.Wettkampf) {
                emit abendGespeichert();
            }
        }
        return;
    }
    // This place recalled the member under another date and the date was changed here:
    // the evening stored under the new date is no other place's, and the rings shown stay.
    const QDate tag = sqldialect::parseShortDate(f.datumText());
    if (geladen_.nr == konflikt->nr() && tag.isValid() &&
        geladen_.datum != sqldialect::isoDate(tag)) {
        if (dialogs_.askYesNo(datumGewechseltFrage(club_.db(), konflikt->nr(), f.SName, tag),
                              Dialogs::Vorgabe::Nein)) {
            speichern(programm, true);
        }
        return;
    }
    // Another place stored this member's evening after this place recalled it, or it was
    // deleted there: nothing is replaced without the user's word.
    const QString frage = konfliktFrage(*konflikt, f.SName, f.datumText());
    if (dialogs_.askYesNo(frage, Dialogs::Vorgabe::Nein)) {
        speichern(programm, true);
        return;
    }
    mitFeldern([this](Felder& g) { abendLaden(g); });
}
