#include "evening/ui/Ringe.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStatusBar>

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/DatenbankSlots.h"
#include "core/Einstellungen.h"
#include "core/Ini.h"
#include "core/Platz.h"
#include "core/Schema.h"
#include "core/Ueber.h"
#include "core/Zahlen.h"
#include "evening/ui/Datenbankliste.h"
#include "evening/ui/Programmknoepfe.h"
#include "evening/ui/Schussgitter.h"
#include "machine/Lesesteuerung.h"
#include "machine/Programme.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

namespace {

std::size_t idx(int i) {
    return static_cast<std::size_t>(i);
}

void setzeText(QLineEdit* e, const QString& text) {
    if (e->text() != text) {
        e->setText(text);
    }
}

void setzeText(QLabel* l, const QString& text) {
    if (l->text() != text) {
        l->setText(text);
    }
}

}  // namespace

Ringe::Ringe(Ini& ini, Abendzustand& zustand, ClubDatabase& club, Dialogs& dialogs,
             const Clock& clock, QWidget* parent)
    : QMainWindow(parent),
      ini_(ini),
      zustand_(zustand),
      club_(club),
      dialogs_(dialogs),
      clock_(clock),
      steuerung_(zustand, club, dialogs, clock, *this) {
    aufbauen();

    for (QWidget* w : findChildren<QWidget*>()) {
        w->installEventFilter(this);  // F1..F10 work wherever the focus is
    }
    connect(SNummer, &QLineEdit::textEdited, &steuerung_, &Abendsteuerung::mitgliedAbrufen);
    // Every change of a ring field reaches the shot, however it was made; the user's changes
    // also add up the series.
    connect(gitter_, &Schussgitter::ringGeaendert, &steuerung_, &Abendsteuerung::ringGesetzt);
    connect(gitter_, &Schussgitter::ringGetippt, &steuerung_, &Abendsteuerung::serieAddieren);
    connect(SName, &QLineEdit::textEdited, this, &Ringe::nameGeaendert);
    connect(Option1, &QRadioButton::toggled, this, [this](bool an) {
        if (an)
            Anwesend->setChecked(false);
    });
    connect(Option3, &QRadioButton::toggled, this, [this](bool an) {
        if (an)
            Anwesend->setChecked(false);
    });
    connect(Saison, &QLineEdit::textChanged, &steuerung_, &Abendsteuerung::saisonGeaendert);
    connect(&steuerung_, &Abendsteuerung::abendGespeichert, this, &Ringe::abendGespeichert);
    connect(Command1, &QPushButton::clicked, this, &Ringe::berechnenUndSpeichern);
    connect(programme_, &Programmknoepfe::andereKartenGewuenscht, this, [this] {
        if (lesen_) {
            lesen_->programmWaehlen();
        }
    });
    connect(Start, &QPushButton::clicked, this, &Ringe::starten);
    connect(Schussbild_butt, &QPushButton::clicked, this, [this] {
        if (schussbildOeffnen_)
            schussbildOeffnen_();
    });
    connect(Wett_Butt, &QPushButton::clicked, this, [this] {
        if (wettkampfOeffnen_)
            wettkampfOeffnen_();
    });
    connect(ButtMitglieder, &QPushButton::clicked, this, [this] {
        if (!mitgliederOeffnen_) {
            return;
        }
        DBCombo->waehlen(DBCombo->currentIndex());  // as a choice in the list does
        mitgliederOeffnen_();
    });
    connect(Einstellungen_butt, &QPushButton::clicked, this, [this] {
        if (einstellungenOeffnen_)
            einstellungenOeffnen_();
    });
    connect(MeytonImport_butt, &QPushButton::clicked, this, [this] {
        if (meytonImportOeffnen_)
            meytonImportOeffnen_();
    });
    connect(ButtAuswertung, &QPushButton::clicked, this, [this] {
        if (auswertungOeffnen_)
            auswertungOeffnen_();
    });
    connect(ButtFernsteuern, &QPushButton::clicked, this, [this] {
        if (lesen_)
            lesen_->fernsteuern();
    });
    connect(ButtNormal, &QPushButton::clicked, this, [this] {
        if (lesen_)
            lesen_->normal();
    });
}

void Ringe::setLesesteuerung(Lesesteuerung* lesen) {
    lesen_ = lesen;
    for (QWidget* w : std::initializer_list<QWidget*>{RMst, Start, ButtFernsteuern, ButtNormal}) {
        w->setEnabled(lesen_ != nullptr);
    }
    programme_->mitMaschine(lesen_ != nullptr);
}

Ringe::~Ringe() = default;

void Ringe::setAuswertungOeffnen(std::function<void()> oeffnen) {
    auswertungOeffnen_ = std::move(oeffnen);
    ButtAuswertung->setEnabled(static_cast<bool>(auswertungOeffnen_));
}

void Ringe::setMitgliederOeffnen(std::function<void()> oeffnen) {
    mitgliederOeffnen_ = std::move(oeffnen);
    ButtMitglieder->setEnabled(static_cast<bool>(mitgliederOeffnen_));
}

void Ringe::setEinstellungenOeffnen(std::function<void()> oeffnen) {
    einstellungenOeffnen_ = std::move(oeffnen);
    Einstellungen_butt->setEnabled(static_cast<bool>(einstellungenOeffnen_));
}

void Ringe::datenbankWiederOeffnen() {
    DBCombo->wiederOeffnen();
}

void Ringe::gespeichertZeigen() {
    if (club_.isOpen() && !Wettkampf->isChecked() && !SNummer->text().trimmed().isEmpty()) {
        steuerung_.mitgliedAbrufen();
    }
}

// The settings window wrote the slots: the list shows them, and when no database is open
// (the first question was answered "Nein") the day's one is opened at once.
void Ringe::slotsGeaendert() {
    DBCombo->fuellen();
    if (!club_.isOpen()) {
        DBCombo->vergessen();
        DBCombo->waehlen(slotDesTages(leseSlots(ini_), clock_.today()));
    } else if (DBCombo->offenerSlot() >= 0) {
        DBCombo->waehlen(DBCombo->offenerSlot());  // the file of the open slot may have changed
    }
}

void Ringe::setMeytonImportOeffnen(std::function<void()> oeffnen) {
    meytonImportOeffnen_ = std::move(oeffnen);
    MeytonImport_butt->setEnabled(static_cast<bool>(meytonImportOeffnen_));
}

void Ringe::setWettkampf(Wettkampfzeilen* zeilen, std::function<void()> oeffnen) {
    steuerung_.setWettkampf(zeilen);
    wettkampfOeffnen_ = std::move(oeffnen);
    Wett_Butt->setEnabled(zeilen != nullptr);
    Wettkampf->setEnabled(zeilen != nullptr);
}

void Ringe::setSchussbildOeffnen(std::function<void()> oeffnen) {
    schussbildOeffnen_ = std::move(oeffnen);
    Schussbild_butt->setEnabled(static_cast<bool>(schussbildOeffnen_));
}

QString Ringe::heuteText() const {
    return Heute->text();
}
QString Ringe::nTagText() const {
    return NTag->text();
}
QString Ringe::saisonText() const {
    return Saison->text();
}
QString Ringe::sNameText() const {
    return SName->text();
}
QString Ringe::sNummerText() const {
    return SNummer->text();
}

// ---- fields -------------------------------------------------------------------------

Felder Ringe::felderLesen() const {
    Felder f;
    f.SNummer = SNummer->text();
    f.SName = SName->text();
    f.Label13 = Label13->text();
    f.datum = Option1->isChecked()   ? DatumsOption::Nachschiessen
              : Option3->isChecked() ? DatumsOption::Vorschiessen
                                     : DatumsOption::Heute;
    f.NTag = NTag->text();
    f.Heute = Heute->text();
    f.VTag = VTag->text();
    f.Saison = Saison->text();
    f.Label11 = Label11->text();
    f.Anwesend = Anwesend->isChecked();
    f.Liegend = Liegend->isChecked();
    f.Wettkampf = Wettkampf->isChecked();
    for (int k = 1; k <= 60; ++k) {
        f.Schuss[idx(k)] = Schuss[idx(k)]->text();
    }
    for (int s = 1; s <= 6; ++s) {
        f.Scheibe[idx(s)] = Scheibe[idx(s)]->text();
        f.Teiler[idx(s)] = Teiler[idx(s)]->text();
    }
    f.GesScheibe = GesScheibe->text();
    f.BestTeiler = BestTeiler->text();
    f.Best10 = Best10->text();
    f.Best = Best->text();
    f.Punkte = Punkte->text();
    f.Warnung = Warnung->text();
    return f;
}

void Ringe::felderZeigen(const Felder& f) {
    setzeText(SNummer, f.SNummer);
    setzeText(SName, f.SName);
    setzeText(Label13, f.Label13);
    Option1->setChecked(f.datum == DatumsOption::Nachschiessen);
    Option2->setChecked(f.datum == DatumsOption::Heute);
    Option3->setChecked(f.datum == DatumsOption::Vorschiessen);
    setzeText(NTag, f.NTag);
    setzeText(Heute, f.Heute);
    setzeText(VTag, f.VTag);
    setzeText(Saison, f.Saison);
    setzeText(Label11, f.Label11);
    Anwesend->setChecked(f.Anwesend);
    Liegend->setChecked(f.Liegend);
    Wettkampf->setChecked(f.Wettkampf);
    for (int k = 1; k <= 60; ++k) {
        setzeText(Schuss[idx(k)], f.Schuss[idx(k)]);
    }
    for (int s = 1; s <= 6; ++s) {
        setzeText(Scheibe[idx(s)], f.Scheibe[idx(s)]);
        setzeText(Teiler[idx(s)], f.Teiler[idx(s)]);
    }
    setzeText(GesScheibe, f.GesScheibe);
    setzeText(BestTeiler, f.BestTeiler);
    setzeText(Best10, f.Best10);
    setzeText(Best, f.Best);
    setzeText(Punkte, f.Punkte);
    setzeText(Warnung, f.Warnung);
}

void Ringe::meldung(const QString& zeile, bool ganz) {
    statusBar()->showMessage(zeile);
    if (ganz) {
        statusBar()->setToolTip(zeile);
    }
}

// ---- start-up -----------------------------------------------------------------------

void Ringe::laden() {
    zustand_.Version = programmVersion();
    if (const QString problem = ini_.problem(); !problem.isEmpty()) {
        dialogs_.message(problem);
    }
    const bool ohneMaschine = startup::leseMaschine(ini_, zustand_);
    platz::ausEinstellungen(ini_);  // how this stand names itself in notes and questions
    maschineEinrichten();
    if (lesen_ && !ohneMaschine) {
        lesen_->laden();  // port set-up; a missing port is reported once, typing still works
    }
    startup::lesePunktwertung(ini_, zustand_);

    zustand_.ProgramCode = QStringLiteral("134403211");
    zustand_.TargetType = QStringLiteral("LG");
    zustand_.ControlString = startControlString();

    const QDate heute = clock_.today();
    Heute->setText(heute.toString(Felder::kDatumsformat));
    NTag->setText(heute.addDays(-7).toString(Felder::kDatumsformat));
    VTag->setText(heute.addDays(7).toString(Felder::kDatumsformat));

    startup::leseSaisonversatz(ini_, zustand_);
    const int jahr = startup::saisonJahr(heute, zustand_.Saisonversatz);
    Saison->setText(QString::number(jahr));
    zustand_.Saisonjahr = static_cast<std::int16_t>(jahr);

    SName->setText(Felder::kKeinEintrag);
    startup::schreibeFarbStandards(ini_);

    programme_->listeFuellen();

    DBCombo->fuellen();
    {
        const QSignalBlocker sperre(DBCombo);
        DBCombo->setCurrentIndex(0);
    }
    DBCombo->waehlen(slotDesTages(leseSlots(ini_), heute));

    startup::leseExport(ini_, zustand_);
    startup::leseTeilerwertung(ini_, zustand_);
    SNummer->setFocus();
    if (ohneMaschine) {
        // A newcomer chooses the machine first, and sees the defaults just written; its
        // port is set up when the settings window closes, not reported as missing before
        // anything was chosen.
        emit einstellungenGewuenscht();
        if (einstellungenOeffnen_) {
            einstellungenOeffnen_();
        }
    }
}

void Ringe::maschineEinrichten() {
    const bool sam = zustand_.MachineName == ini::kMaschineSam;
    programme_->maschineZeigen(sam);
    // A DISAG machine also when the settings change from SAM while the program runs.
    RMst->setVisible(!sam);
    ButtNormal->setVisible(!sam);
    if (sam) {
        WERTM_NAME->setText(QStringLiteral("SAM"));
        zustand_.ShotLimit = 40;
    } else if (zustand_.MachineName == ini::kMaschineRm3Win) {
        WERTM_NAME->setText(QStringLiteral("DISAG RM III WIN"));
    } else {
        WERTM_NAME->setText(QStringLiteral("DISAG RM III"));
        ButtFernsteuern->show();
    }
}

void Ringe::closeEvent(QCloseEvent* event) {
    event->accept();
    QApplication::closeAllWindows();
    // A window that refuses to close on its own (the competition) ends with the program.
    QCoreApplication::quit();
}
