// What the main window does with the user's keys and typing.
#include <QStatusBar>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/Einstellungen.h"
#include "core/Ini.h"
#include "core/Ueber.h"
#include "core/Zahlen.h"
#include "evening/Abendhinweise.h"
#include "evening/Serienpruefung.h"
#include "evening/ui/Datenbankliste.h"
#include "evening/ui/Programmknoepfe.h"
#include "evening/ui/Ringe.h"
#include "evening/ui/Schussgitter.h"
#include "machine/Lesesteuerung.h"
#include "machine/Programme.h"
#include "platform/Dialogs.h"
#include "platform/widgets/Bedienelemente.h"

bool Ringe::eventFilter(QObject* watched, QEvent* event) {
    if (lesungOffen_ && watched == DBCombo && Datenbankliste::sperrt(event)) {
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
        // The ring fields' own keys are the grid's.
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
        case 6:
        case 7:
        case 8:
        case 9:
        case 10:
            programme_->knopfDruecken(static_cast<std::size_t>(n - 5));
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
        steuerung_.mitgliedAbrufen();
        return true;
    }
    return !istZiffer(e);
}

void Ringe::nameGeaendert() {
    if (steuerung_.nameGetippt()) {
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

// ---- dates, season, Teiler ----------------------------------------------------------

void Ringe::datumPruefen(QLineEdit* feld) {
    const int tage = feld == NTag ? -7 : feld == VTag ? 7 : 0;
    const QString datum = steuerung_.gueltigesDatum(feld->text(), tage);
    if (datum != feld->text()) {
        feld->setText(datum);
    }
}

void Ringe::bestTeilerVerlassen() {
    const QString text = BestTeiler->text();
    if (text != bestTeilerBeimBetreten_ && text.size() > 1) {
        steuerung_.teilerGetippt(text);
    }
    bestTeilerBeimBetreten_ = text;
}

void Ringe::berechnenUndSpeichern() {
    // The chosen program's shots; a card typed by hand or a free program has no bound.
    const int programm = !lesen_ || programme_->andereKarteGewaehlt() ? 0
                         : zustand_.MachineName == ini::kMaschineSam
                             ? zustand_.ShotLimit
                             : programmSchuesse(zustand_.ControlString);
    steuerung_.berechnenUndSpeichern(programm);
}

// ---- reading ------------------------------------------------------------------------

void Ringe::starten() {
    if (lesen_ && steuerung_.karteLeeren()) {
        lesen_->lesenStarten();
    }
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
    for (QWidget* w : std::initializer_list<QWidget*>{Option1, Option2, Option3, Start, Command1,
                                                      Wettkampf, ButtFernsteuern, ButtNormal}) {
        w->setEnabled(!offen && (lesen_ != nullptr || w == Option1 || w == Option2 ||
                                 w == Option3 || w == Command1 ||
                                 (w == Wettkampf && steuerung_.hatWettkampf())));
    }
    programme_->sperren(offen, lesen_ != nullptr);
}

bool Ringe::vonDerMaschine(const QObject* feld) const {
    return feld == BestTeiler || gitter_->istMaschinenfeld(feld);
}

QRect Ringe::freizuhalten() const {
    const QRect nummer(SNummer->mapToGlobal(QPoint(0, 0)), SNummer->size());
    const QRect name(SName->mapToGlobal(QPoint(0, 0)), SName->size());
    return nummer.united(name);
}

void Ringe::serienUndAnzeige() {
    steuerung_.serienUndAnzeige();
}

void Ringe::warnung(const QString& text) {
    Warnung->setText(text);
}

void Ringe::nichtsGelesen(const QString& text) {
    steuerung_.mitgliedAbrufen();  // the fields wiped for the reading show what is stored
    warnung(text);
    statusBar()->showMessage(text);
}

void Ringe::nachVorne() {
    raise();
    activateWindow();
}

void Ringe::programmZeigen(const QString& text) {
    RMst->setText(text);
}
