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

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/DatenbankSlots.h"
#include "core/Einstellungen.h"
#include "core/Ini.h"
#include "core/Platz.h"
#include "core/Schema.h"
#include "core/Ueber.h"
#include "core/Zahlen.h"
#include "evening/Abend.h"
#include "evening/Punkte.h"
#include "evening/Serien.h"
#include "machine/Lesesteuerung.h"
#include "machine/Programme.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/SqlDialect.h"

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
      clock_(clock) {
    aufbauen();

    for (QWidget* w : findChildren<QWidget*>()) {
        w->installEventFilter(this);  // F1..F10 work wherever the focus is
    }
    connect(SNummer, &QLineEdit::textEdited, this, &Ringe::nummerGeaendert);
    for (int k = 1; k <= 60; ++k) {
        // Every change of a ring field reaches the shot, however it was made (typing, paste,
        // cut, Delete, the program); the user's changes also move on and add up the series.
        connect(Schuss[idx(k)], &QLineEdit::textChanged, this, [this, k] { schussText(k); });
        connect(Schuss[idx(k)], &QLineEdit::textEdited, this, [this, k] { schussEingegeben(k); });
    }
    connect(SName, &QLineEdit::textEdited, this, &Ringe::nameGeaendert);
    connect(Option1, &QRadioButton::toggled, this, [this](bool an) {
        if (an)
            Anwesend->setChecked(false);
    });
    connect(Option3, &QRadioButton::toggled, this, [this](bool an) {
        if (an)
            Anwesend->setChecked(false);
    });
    connect(Saison, &QLineEdit::textChanged, this, &Ringe::saisonGeaendert);
    connect(Command1, &QPushButton::clicked, this, &Ringe::berechnenUndSpeichern);
    connect(DBCombo, &QComboBox::activated, this, &Ringe::datenbankGewaehlt);

    const std::array<QPushButton*, 6> programme = {S1x10, S2x10, S4x10, S4x5, S8x5, S20x2};
    for (std::size_t i = 0; i < programme.size(); ++i) {
        connect(programme[i], &QPushButton::clicked, this, [this, i] { programmKnopf(i); });
    }
    connect(schuss_combo, &QComboBox::activated, this, &Ringe::programmListe);
    connect(SString, &QPushButton::clicked, this, &Ringe::andereKarte);
    connect(AndereKarten, &QPushButton::clicked, this, [this] {
        if (lesen_) {
            lesen_->programmWaehlen();
        }
        andereKarte();
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
        datenbankGewaehlt(DBCombo->currentIndex());  // as a choice in the list does
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
    for (QWidget* w : std::initializer_list<QWidget*>{RMst, S1x10, S2x10, S4x10, S4x5, S8x5, S20x2,
                                                      schuss_combo, AndereKarten, SString, Start,
                                                      ButtFernsteuern, ButtNormal}) {
        w->setEnabled(lesen_ != nullptr);
    }
    // The options only show which program was chosen last.
    for (QRadioButton* o : {Option[4], Option[5], Option[6], Option[7], Option[8], Option[9],
                            Option[10], Option_Combo}) {
        o->setEnabled(lesen_ != nullptr);
        o->setAttribute(Qt::WA_TransparentForMouseEvents);
        o->setFocusPolicy(Qt::NoFocus);
    }
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
    datenbankOeffnen(DBCombo->currentText());
}

void Ringe::gespeichertZeigen() {
    if (club_.isOpen() && !Wettkampf->isChecked() && !SNummer->text().trimmed().isEmpty()) {
        nummerGeaendert();
    }
}

// The settings window wrote the slots: the list shows them, and when no database is open
// (the first question was answered "Nein") the day's one is opened at once.
void Ringe::slotsGeaendert() {
    datenbankListeFuellen();
    if (!club_.isOpen()) {
        offenerSlot_ = -1;
        datenbankGewaehlt(slotDesTages(leseSlots(ini_), clock_.today()));
    } else if (offenerSlot_ >= 0) {
        datenbankGewaehlt(offenerSlot_);  // the file of the open slot may have changed
    }
}

void Ringe::setMeytonImportOeffnen(std::function<void()> oeffnen) {
    meytonImportOeffnen_ = std::move(oeffnen);
    MeytonImport_butt->setEnabled(static_cast<bool>(meytonImportOeffnen_));
}

void Ringe::setWettkampf(Wettkampfzeilen* zeilen, std::function<void()> oeffnen) {
    wettkampf_ = zeilen;
    wettkampfOeffnen_ = std::move(oeffnen);
    Wett_Butt->setEnabled(wettkampf_ != nullptr);
    Wettkampf->setEnabled(wettkampf_ != nullptr);
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

bool Ringe::mitFeldern(const std::function<void(Felder&)>& regel, const QString& fehlerVorspann) {
    Felder f = felderLesen();
    QString fehler;
    try {
        regel(f);
    } catch (const ZahlUeberlauf& e) {
        fehler = e.message();
    } catch (const DatabaseError& e) {
        fehler = fehlerVorspann + e.message();
    }
    felderZeigen(f);
    if (!fehler.isEmpty()) {
        dialogs_.message(fehler);
        return false;
    }
    return true;
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

    {
        const QSignalBlocker sperre(schuss_combo);
        schuss_combo->clear();
        schuss_combo->addItems({QStringLiteral("1 Schuss LG"), QStringLiteral("1 Schuss LP"),
                                QStringLiteral("10x1 Schuss LP"), QStringLiteral("5x2 Schuss LP"),
                                QStringLiteral("20x1 Schuss LP"), QStringLiteral("10x2 Schuss LP"),
                                QStringLiteral("40x1 Schuss LP"), QStringLiteral("30x2 Schuss LP"),
                                QStringLiteral("6x10 Schuss LG")});
        schuss_combo->setCurrentText(QStringLiteral("5x2 Schuss LP"));
    }

    datenbankListeFuellen();
    {
        const QSignalBlocker sperre(DBCombo);
        DBCombo->setCurrentIndex(0);
    }
    const int slot = slotDesTages(leseSlots(ini_), heute);
    datenbankGewaehlt(slot);

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
    if (zustand_.MachineName == ini::kMaschineSam) {
        WERTM_NAME->setText(QStringLiteral("SAM"));
        const std::array<std::pair<QPushButton*, QString>, 6> titel = {
            {{S1x10, QStringLiteral("1 Schuss")},
             {S2x10, QStringLiteral("10 Schuss")},
             {S4x10, QStringLiteral("20 Schuss")},
             {S4x5, QStringLiteral("30 Schuss")},
             {S8x5, QStringLiteral("40 Schuss")},
             {S20x2, QStringLiteral("60 Schuss")}}};
        for (const auto& [knopf, text] : titel) {
            knopf->setText(text);
        }
        for (QWidget* w :
             std::initializer_list<QWidget*>{RMst, SString, AndereKarten, ButtNormal}) {
            w->hide();
        }
        Option[8]->setChecked(true);
        zustand_.ShotLimit = 40;
        return;
    }
    // A DISAG machine, also when the settings change from SAM while the program runs.
    const std::array<std::pair<QPushButton*, QString>, 6> titel = {
        {{S1x10, QStringLiteral("1x10 Schuß LG")},
         {S2x10, QStringLiteral("2x10 Schuß LG")},
         {S4x10, QStringLiteral("4x10 Schuß LG")},
         {S4x5, QStringLiteral("4x5 Schuß LP")},
         {S8x5, QStringLiteral("8x5 Schuß LP")},
         {S20x2, QStringLiteral("20x2 Schuß LP")}}};
    for (const auto& [knopf, text] : titel) {
        knopf->setText(text);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{RMst, SString, AndereKarten, ButtNormal}) {
        w->show();
    }
    if (zustand_.MachineName == ini::kMaschineRm3Win) {
        WERTM_NAME->setText(QStringLiteral("DISAG RM III WIN"));
    } else {
        WERTM_NAME->setText(QStringLiteral("DISAG RM III"));
        ButtFernsteuern->show();
    }
}

// ---- database list ------------------------------------------------------------------

void Ringe::datenbankListeFuellen() {
    const QSignalBlocker sperre(DBCombo);
    const int gewaehlt = DBCombo->currentIndex();
    const DatenbankSlots liste = leseSlots(ini_);
    if (DBCombo->count() != 4) {
        DBCombo->clear();
        for (const auto& slot : liste) {
            DBCombo->addItem(slot.name);
        }
    } else {
        for (int i = 0; i < 4; ++i) {
            DBCombo->setItemText(i, liste[idx(i)].name);
        }
    }
    DBCombo->setCurrentIndex(gewaehlt < 0 ? 0 : gewaehlt);
}

void Ringe::datenbankGewaehlt(int index) {
    if (index < 0 || index >= DBCombo->count()) {
        return;
    }
    const QString name = DBCombo->itemText(index);
    // The day's slot is opened even without a name: that is DB1's fallback to "Training".
    if (name.isEmpty() && offenerSlot_ >= 0) {
        return;
    }
    if (datenbankOeffnen(name)) {
        datenbankListeFuellen();
        offenerSlot_ = index;
        const QSignalBlocker sperre(DBCombo);
        DBCombo->setCurrentIndex(name.isEmpty() ? 0 : index);
    } else {
        const QSignalBlocker sperre(DBCombo);
        DBCombo->setCurrentIndex(offenerSlot_ >= 0 ? offenerSlot_ : index);
    }
}

bool Ringe::datenbankOeffnen(const QString& name) {
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
    if (e.hatFarbe) {
        DBCombo->setStyleSheet(QStringLiteral("QComboBox { background-color: #%1; }")
                                   .arg(e.farbe, 6, 16, QLatin1Char('0')));
    }
    // The member shown belongs to the file that was open before.
    mitglied_.reset();
    if (!SNummer->text().isEmpty() && SName->text() != Felder::kKeinEintrag) {
        try {
            mitglied_ = mitgliedNachNummer(club_.db(), SNummer->text());
        } catch (const DatabaseError&) {
        }
    }
    return true;
}

void Ringe::closeEvent(QCloseEvent* event) {
    event->accept();
    QApplication::closeAllWindows();
    // A window that refuses to close on its own (the competition) ends with the program.
    QCoreApplication::quit();
}
