// What the main window does with the user's keys and typing.
#include <QCheckBox>

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <algorithm>

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/Einstellungen.h"
#include "core/Ini.h"
#include "core/Ueber.h"
#include "core/Zahlen.h"
#include "evening/Abend.h"
#include "evening/Abendhinweise.h"
#include "evening/Punkte.h"
#include "evening/Serien.h"
#include "evening/Serienpruefung.h"
#include "evening/ui/Ringe.h"
#include "machine/Lesesteuerung.h"
#include "machine/Programme.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/SqlDialect.h"

namespace {

std::size_t idx(int i) {
    return static_cast<std::size_t>(i);
}

bool istZeichen(const QKeyEvent* e) {
    const QString t = e->text();
    return !t.isEmpty() && t[0].isPrint() &&
           !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

bool istZiffer(const QKeyEvent* e) {
    return e->text().size() == 1 && e->text()[0] >= u'0' && e->text()[0] <= u'9';
}

}  // namespace

bool Ringe::eventFilter(QObject* watched, QEvent* event) {
    if (lesungOffen_ && watched == DBCombo && dbListeGesperrt(event)) {
        lesungSperrt();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        auto* taste = static_cast<QKeyEvent*>(event);
        if (taste->key() >= Qt::Key_F1 && taste->key() <= Qt::Key_F10 &&
            taste->modifiers() == Qt::NoModifier) {
            funktionstaste(taste->key() - Qt::Key_F1 + 1);
            return true;
        }
        if (taste->key() == Qt::Key_F12 && taste->modifiers() == Qt::NoModifier) {
            dialogs_.message(
                ueberText(ini_.path(), club_.isOpen() ? club_.db().path() : QString()));
            return true;
        }
        if (lesungOffen_ && (watched == SNummer || watched == SName || vonDerMaschine(watched)) &&
            (istZeichen(taste) || taste->key() == Qt::Key_Backspace ||
             taste->key() == Qt::Key_Delete || taste->matches(QKeySequence::Paste) ||
             taste->matches(QKeySequence::Cut))) {
            lesungSperrt();
            return true;
        }
        if (watched == SNummer) {
            return nummerTaste(taste);
        }
        if (watched == Start && istZiffer(taste) && taste->modifiers() == Qt::NoModifier) {
            // A ring typed while "Einlesen Starten" waits is the first shot, not lost.
            Schuss[1]->setFocus();
            Schuss[1]->selectAll();
            Schuss[1]->insert(taste->text());
            return true;
        }
        for (int k = 1; k <= 60; ++k) {
            if (watched == Schuss[idx(k)]) {
                return schussTaste(k, taste);
            }
        }
    } else if (event->type() == QEvent::FocusIn && watched == BestTeiler) {
        bestTeilerBeimBetreten_ = BestTeiler->text();
    } else if (event->type() == QEvent::FocusOut) {
        if (watched == BestTeiler) {
            bestTeilerVerlassen();
        } else if (watched == NTag || watched == Heute || watched == VTag) {
            datumPruefen(static_cast<QLineEdit*>(watched));
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Ringe::funktionstaste(int n) {
    // The date options, the programs, a new reading and storing all change what the open
    // reading belongs to.
    if (lesungOffen_) {
        lesungSperrt();
        return;
    }
    switch (n) {
        case 1:
            Option1->setChecked(true);
            Anwesend->setChecked(false);
            Start->click();  // does nothing while no machine is attached
            break;
        case 2:
            Option2->setChecked(true);
            Start->click();
            break;
        case 3:
            Option3->setChecked(true);
            Anwesend->setChecked(false);
            Start->click();
            break;
        case 4:
            // F4 is today's key: a make-up or advance evening chosen stays on its date, and
            // is stored there only on the official's word. A competition row has no date.
            if (Option2->isChecked() || Wettkampf->isChecked()) {
                Option2->setChecked(true);
                Anwesend->setChecked(true);
                berechnenUndSpeichern();
            } else if (dialogs_.askYesNo(anderesDatumFrage(felderLesen()),
                                         Dialogs::Vorgabe::Nein)) {
                berechnenUndSpeichern();
            }
            break;
        case 5:
            S1x10->click();
            break;
        case 6:
            S2x10->click();
            break;
        case 7:
            S4x10->click();
            break;
        case 8:
            S4x5->click();
            break;
        case 9:
            S8x5->click();
            break;
        case 10:
            S20x2->click();
            break;
        default:
            break;
    }
    SNummer->setFocus();
    SNummer->selectAll();  // the next number replaces this one
}

// ---- member -------------------------------------------------------------------------

bool Ringe::nummerTaste(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        fokusNachMitglied();  // on to the cards without a dozen Tabs
        return true;
    }
    if (e->key() == Qt::Key_Backspace || !istZeichen(e)) {
        return false;
    }
    if (Zahlwert(SNummer->text()) > 3000) {
        // No club has that many members: the key takes the last digit back.
        SNummer->backspace();
        nummerGeaendert();
        return true;
    }
    return !istZiffer(e);
}

void Ringe::nummerGeaendert() {
    if (Wettkampf->isChecked()) {
        // The number is a row of the competition grid.
        const double zeile = Zahlwert(SNummer->text());
        if (wettkampf_ && zeile >= 1 && zeile <= 14) {
            mitFeldern([this, zeile](Felder& f) {
                f.SName = wettkampf_->schuetze(static_cast<int>(zeile));
                f.clearSchuss(zustand_);
            });
        }
        return;
    }
    if (!club_.isOpen()) {
        dialogs_.message(QStringLiteral("Es ist keine Vereinsdatenbank geöffnet."));
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
void Ringe::abendLaden(Felder& f) {
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

void Ringe::nameGeaendert() {
    const QString text = SName->text();
    if (text == Felder::kKeinEintrag) {
        return;
    }
    if (!club_.isOpen()) {
        dialogs_.message(QStringLiteral("Es ist keine Vereinsdatenbank geöffnet."));
        return;
    }
    NamensTreffer treffer;
    try {
        treffer = mitgliederNachName(club_.db(), text);
    } catch (const DatabaseError& e) {
        dialogs_.message(e.message());
        return;
    }
    Label13->setText(QStringLiteral("Möglich: ") + zahlTextBlank(treffer.anzahl));
    if (treffer.anzahl == 1 && treffer.erster) {
        SNummer->setText(QString::number(treffer.erster->Nr));
        nummerGeaendert();
        Label13->clear();
        fokusNachMitglied();
    }
}

void Ringe::fokusNachMitglied() {
    // With a machine ready the next step is "Einlesen Starten", else the first ring.
    if (lesen_ && lesen_->bereit()) {
        Start->setFocus();
    } else {
        Schuss[1]->setFocus();
    }
}

// ---- shots --------------------------------------------------------------------------

bool Ringe::schussTaste(int k, QKeyEvent* e) {
    if (e->key() == Qt::Key_Backspace || !istZeichen(e)) {
        return false;
    }
    if (!istZiffer(e)) {
        return true;
    }
    QLineEdit* feld = Schuss[idx(k)];
    const QString text = feld->text();
    if (feld->hasSelectedText() || text.isEmpty()) {
        return false;
    }
    if (text == QLatin1String("1") && e->text() == QLatin1String("0") &&
        feld->cursorPosition() == 1) {
        return false;  // 10
    }
    if (text == QLatin1String("1") && k < 60) {
        // The 1 was a whole ring: the digit belongs to the next shot.
        QLineEdit* naechstes = Schuss[idx(k + 1)];
        naechstes->setFocus();
        naechstes->selectAll();
        naechstes->insert(e->text());
        return true;
    }
    feld->selectAll();  // a full field takes the new ring instead of the old
    return false;
}

void Ringe::schussText(int k) {
    const QString text = Schuss[idx(k)]->text().trimmed();
    ShotSlot& shot = zustand_.Shots[idx(k)];
    if (text.isEmpty()) {
        shot.Ring = 0;  // a ring wiped from the field is no shot any more
        shot.ValidFlag = false;
        return;
    }
    const double v = rundeGerade(Zahlwert(text));
    shot.Ring = static_cast<std::int16_t>(std::clamp(v, -32768.0, 32767.0));
    shot.ValidFlag = true;
}

void Ringe::schussEingegeben(int k) {
    const QString text = Schuss[idx(k)]->text();
    // A lone 1 waits for the 0 of a 10; every other ring moves on at once.
    if (!text.isEmpty() && text != QLatin1String("1") && k < 60) {
        Schuss[idx(k + 1)]->setFocus();
    }
    // The series total shows as soon as its ten shots are there.
    Felder f = felderLesen();
    try {
        Serberech(((k - 1) / 10 + 1) * 10, f);
        felderZeigen(f);
    } catch (const ZahlUeberlauf&) {
    }
}

// ---- dates, season, Teiler ----------------------------------------------------------

void Ringe::datumPruefen(QLineEdit* feld) {
    if (sqldialect::parseShortDate(feld->text()).isValid()) {
        return;
    }
    const QDate heute = clock_.today();
    const int tage = feld == NTag ? -7 : feld == VTag ? 7 : 0;
    feld->setText(heute.addDays(tage).toString(Felder::kDatumsformat));
}

void Ringe::saisonGeaendert() {
    const double jahr = Zahlwert(Saison->text());
    if (jahr > 1990 && jahr <= 32766) {
        Label11->setText(QString::number(static_cast<int>(jahr) + 1));
        zustand_.Saisonjahr = static_cast<std::int16_t>(jahr);
    }
}

void Ringe::bestTeilerVerlassen() {
    const QString text = BestTeiler->text();
    if (text != bestTeilerBeimBetreten_ && text.size() > 1) {
        // A Teiler typed by hand travels with the shots, on the first one.
        zustand_.Shots[1].Teiler = KommaZuPunkt(text);
        zustand_.Shots[1].ValidFlag = true;
    }
    bestTeilerBeimBetreten_ = text;
}

// ---- calculate and save -------------------------------------------------------------

// Competition mode: the series go into the grid row the number names, not into the club
// database.
void Ringe::wettkampfEintragen(Felder& f) {
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
        return;
    }
    wettkampf_->serienEintragen(static_cast<int>(zeile), serien, f.GesScheibe);
}

void Ringe::berechnenUndSpeichern() {
    speichern(false);
}

void Ringe::speichern(bool ersetzen) {
    if (mitgliedUnlesbar_ && !Wettkampf->isChecked()) {
        dialogs_.message(QStringLiteral(
            "Mitglied konnte nicht gelesen werden: Der Abend wurde nicht gespeichert.\n"
            "Bitte die Nummer noch einmal eingeben, sobald die Vereinsdatenbank wieder "
            "erreichbar ist; die Ringe bleiben so lange auf dem Bildschirm."));
        return;
    }
    // No evening is stored under a number that names no member: it would reach no listing.
    if (!Wettkampf->isChecked() && SName->text() == Felder::kKeinEintrag && club_.isOpen() &&
        !mitgliedAnlegen()) {
        return;
    }
    // The chosen program's shots; a card typed by hand or a free program has no bound.
    const int programm = !lesen_ || Option[9]->isChecked() ? 0
                         : zustand_.MachineName == ini::kMaschineSam
                             ? zustand_.ShotLimit
                             : programmSchuesse(zustand_.ControlString);
    std::optional<AbendAnderswoGespeichert> konflikt;
    std::optional<int> ohnePunkte;  // the class whose point tables are empty
    QStringList hinweise;           // for the message line, never a box that waits
    const bool gespeichert = mitFeldern(
        [&](Felder& f) {
            for (int n = 10; n <= 60; n += 10) {
                Serberech(n, f);
            }
            hinweise = serienHinweise(f, programm);
            if (f.Wettkampf) {
                wettkampfEintragen(f);
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
                    Abspeichern(f, zustand_, db, {&geladen_, ersetzen, clock_.now()});
                } catch (const AbendAnderswoGespeichert& e) {
                    konflikt = e;
                    return;
                }
            }
            f.Warnung.clear();
        },
        QStringLiteral("Der Abend wurde nicht gespeichert. Er bleibt auf dem Bildschirm.\n"));
    if (!konflikt) {
        if (gespeichert) {
            emit abendGespeichert();
            const Felder f = felderLesen();
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
            const QString zeile = hinweise.join(QStringLiteral(" – "));
            statusBar()->showMessage(zeile);
            statusBar()->setToolTip(zeile);
        }
        return;
    }
    // This place recalled the member under another date and the date was changed here:
    // the evening stored under the new date is no other place's, and the rings shown stay.
    const QDate tag = sqldialect::parseShortDate(felderLesen().datumText());
    if (geladen_.nr == konflikt->nr() && tag.isValid() &&
        geladen_.datum != sqldialect::isoDate(tag)) {
        if (dialogs_.askYesNo(datumGewechseltFrage(club_.db(), konflikt->nr(), SName->text(), tag),
                              Dialogs::Vorgabe::Nein)) {
            speichern(true);
        }
        return;
    }
    // Another place stored this member's evening after this place recalled it, or it was
    // deleted there: nothing is replaced without the user's word.
    const QString frage = konfliktFrage(*konflikt, SName->text(), felderLesen().datumText());
    if (dialogs_.askYesNo(frage, Dialogs::Vorgabe::Nein)) {
        speichern(true);
        return;
    }
    mitFeldern([this](Felder& f) { abendLaden(f); });
}

// ---- reading ------------------------------------------------------------------------

void Ringe::starten() {
    if (!lesen_) {
        return;
    }
    if (Option2->isChecked()) {
        Anwesend->setChecked(true);
    }
    if (Zahlwert(Scheibe[1]->text()) > 0 &&
        !dialogs_.askYesNo(QStringLiteral("Wenn Sie weitermachen, werden vorhandene \n"
                                          "Daten gelöscht !!\nWeitermachen ?"),
                           Dialogs::Vorgabe::Nein)) {
        return;
    }
    mitFeldern([this](Felder& f) { f.clearSchuss(zustand_); });
    lesen_->lesenStarten();
}

// A number that is no member: asked whether to add the member now, with a name.
bool Ringe::mitgliedAnlegen() {
    const QString nummer = SNummer->text().trimmed();
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
    try {
        Database& db = club_.db();
        db.run(QStringLiteral("INSERT INTO Mitglieder (Nr, Name) VALUES (?, ?)"),
               {static_cast<int>(nr), name});
        mitglied_ = mitgliedNachNummer(db, nummer);
        Felder f = felderLesen();
        f.SName = name;
        geladen_ = geladenerAbend(db, f);
    } catch (const DatabaseError& e) {
        dialogs_.message(QStringLiteral("Das Mitglied wurde nicht angelegt.\n") + e.message());
        return false;
    }
    SName->setText(name);
    return true;
}

bool Ringe::lesungSperrt() {
    if (!lesungOffen_) {
        return false;
    }
    dialogs_.message(
        QStringLiteral(
            "Es läuft eine Lesung für Nummer %1 (%2).\n"
            "Nummer, Name, Datum und Programm bleiben gesperrt, bis sie mit „Einlesen beenden“ "
            "abgeschlossen und gespeichert ist; Ringe und Teiler kommen bis dahin von der "
            "Maschine.")
            .arg(SNummer->text(), SName->text()));
    return true;
}

// The controls whose change would move the reading's card to another member, evening or
// program are locked while it is open.
void Ringe::lesungOffen(bool offen) {
    lesungOffen_ = offen;
    for (QLineEdit* e : {SNummer, SName, NTag, Heute, VTag, Saison, RMst}) {
        e->setReadOnly(offen);
    }
    // The rings and Teiler come from the machine: a ring typed meanwhile would be stored
    // as one of the member's shots.
    for (QLineEdit* e : findChildren<QLineEdit*>()) {
        if (vonDerMaschine(e)) {
            e->setReadOnly(offen);
        }
    }
    for (QWidget* w : std::initializer_list<QWidget*>{
             Option1, Option2, Option3, S1x10, S2x10, S4x10, S4x5, S8x5, S20x2, schuss_combo,
             AndereKarten, SString, Start, Command1, Wettkampf, ButtFernsteuern, ButtNormal}) {
        w->setEnabled(!offen &&
                      (lesen_ != nullptr || w == Option1 || w == Option2 || w == Option3 ||
                       w == Command1 || (w == Wettkampf && wettkampf_ != nullptr)));
    }
}

// The database list keeps its colour by a style sheet, and a widget with one is polished
// anew each time it is enabled, leaving new cached pixmaps behind every reading: the list
// stays enabled and refuses a choice instead (Tab still passes).
bool Ringe::dbListeGesperrt(const QEvent* event) const {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
            return true;
        case QEvent::KeyPress: {
            const int key = static_cast<const QKeyEvent*>(event)->key();
            return key != Qt::Key_Tab && key != Qt::Key_Backtab;
        }
        default:
            return false;
    }
}

bool Ringe::vonDerMaschine(const QObject* feld) const {
    if (feld == BestTeiler) {
        return true;
    }
    for (std::size_t i = 1; i < Schuss.size(); ++i) {
        if (feld == Schuss[i]) {
            return true;
        }
    }
    for (std::size_t i = 1; i < Teiler.size(); ++i) {
        if (feld == Teiler[i]) {
            return true;
        }
    }
    return false;
}

QRect Ringe::freizuhalten() const {
    const QRect nummer(SNummer->mapToGlobal(QPoint(0, 0)), SNummer->size());
    const QRect name(SName->mapToGlobal(QPoint(0, 0)), SName->size());
    return nummer.united(name);
}

void Ringe::serienUndAnzeige() {
    mitFeldern([this](Felder& f) {
        Serienwertung(zustand_, f);
        Anzeige_fuellen(f, zustand_);
    });
}

void Ringe::warnung(const QString& text) {
    Warnung->setText(text);
}

void Ringe::nachVorne() {
    raise();
    activateWindow();
}

void Ringe::programmZeigen(const QString& text) {
    RMst->setText(text);
}

// ---- target programs ----------------------------------------------------------------

void Ringe::programmKnopf(std::size_t index) {
    if (index >= kProgrammKnoepfe.size()) {
        return;
    }
    const Scheibenprogramm& p = kProgrammKnoepfe[index];
    programmUebernehmen(p, zustand_);
    RMst->setText(zustand_.ProgramCode);
    if (auto* o = findChild<QRadioButton*>(QString::fromLatin1(p.option))) {
        o->setChecked(true);
    }
}

void Ringe::programmListe() {
    Option_Combo->setChecked(true);
    const auto p = listenProgramm(schuss_combo->currentText());
    if (!p) {
        return;
    }
    programmUebernehmen(*p, zustand_);
    RMst->setText(zustand_.MachineName == QLatin1String("RMIII_WIN") ? zustand_.ControlString
                                                                     : zustand_.ProgramCode);
}

void Ringe::andereKarte() {
    zustand_.ProgramCode = RMst->text();
    Option[9]->setChecked(true);
}
