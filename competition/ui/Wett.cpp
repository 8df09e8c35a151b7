#include "competition/ui/Wett.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "competition/Blatt.h"
#include "competition/Slots.h"
#include "core/Ini.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/widgets/Bedienelemente.h"

namespace {

QLineEdit* feld(QWidget* eltern, const QString& name, int breite = 0) {
    auto* e = new QLineEdit(eltern);
    e->setObjectName(name);
    if (breite > 0) {
        e->setMaximumWidth(breite);
    }
    return e;
}

}  // namespace

Wett::Wett(Ini& ini, Dialogs& dialogs, const Clock& uhr, const QString& datenbank, QWidget* parent)
    : QWidget(parent, Qt::Window), ini_(ini), dialogs_(dialogs), uhr_(uhr), datenbank_(datenbank) {
    aufbauen();
    datenbankOeffnen();
    mannschaftenLaden();
    Datum->setText(uhr_.today().toString(QStringLiteral("dd.MM.yyyy")));
    slot_ = 1;
    Wettkampf w = lesen();
    WettkLaden(ini_, slot_, w);
    zeigen(w);
}

void Wett::datenbankOeffnen() {
    QString fehler;
    bool angelegt = false;
    dbOffen_ = db_.oeffnen(datenbank_, &fehler, &angelegt);
    if (!dbOffen_) {
        dialogs_.message(QStringLiteral("Die Wettkampfdatenbank kann nicht geöffnet werden; "
                                        "Mannschaften können nicht gewählt oder gespeichert "
                                        "werden.\n") +
                         fehler);
    } else if (angelegt) {
        dialogs_.message(QStringLiteral("Die Wettkampfdatenbank \"%1\" gab es noch nicht; sie "
                                        "wurde neu angelegt.")
                             .arg(datenbank_));
    }
}

// The teams as the database holds them now: a team saved a moment ago can be picked.
void Wett::mannschaftenLaden() {
    for (QComboBox* c : {Heimauswahl, Gastauswahl}) {
        const QSignalBlocker sperre(c);
        c->clear();
    }
    if (dbOffen_) {
        try {
            Heimauswahl->addItems(db_.mannschaften(QStringLiteral("Heim")));
            Gastauswahl->addItems(db_.mannschaften(QStringLiteral("Gast")));
        } catch (const DatabaseError& e) {
            dialogs_.message(e.message());
        }
    }
    for (QComboBox* c : {Heimauswahl, Gastauswahl}) {
        const QSignalBlocker sperre(c);
        c->setCurrentIndex(-1);
    }
}

// Opened again after it was closed: the teams read anew, today's date, the first prepared
// match (what the grid held is kept in its slot first).
void Wett::showEvent(QShowEvent* event) {
    if (!event->spontaneous() && warGeschlossen_) {
        warGeschlossen_ = false;
        WettkSpeichern(ini_, slot_, lesen());
        if (!dbOffen_) {
            datenbankOeffnen();
        }
        mannschaftenLaden();
        slotWechseln(1);
        Datum->setText(uhr_.today().toString(QStringLiteral("dd.MM.yyyy")));
    }
    QWidget::showEvent(event);
}

// The program ends: what the grid holds is kept in the current slot.
Wett::~Wett() {
    WettkSpeichern(ini_, slot_, lesen());
}

void Wett::aufbauen() {
    setObjectName(QStringLiteral("Wett"));
    setWindowTitle(QStringLiteral("Wettkampf"));
    // The sheet scrolls in a window that fits a laptop's screen.
    auto* rahmen = new QVBoxLayout(this);
    rahmen->setContentsMargins(0, 0, 0, 0);
    auto* flaeche = new QScrollArea(this);
    flaeche->setObjectName(QStringLiteral("Blattflaeche"));
    flaeche->setWidgetResizable(true);
    flaeche->setFrameShape(QFrame::NoFrame);
    auto* inhalt = new QWidget(flaeche);
    auto* haupt = new QVBoxLayout(inhalt);
    rahmen->addWidget(flaeche);

    auto* oben = new QHBoxLayout;
    oben->addWidget(aufbauMannschaft(true));
    oben->addWidget(aufbauMannschaft(false));
    haupt->addLayout(oben);

    auto* daten = new QHBoxLayout;
    Klasse = feld(this, QStringLiteral("Klasse"), 80);
    Gruppe = feld(this, QStringLiteral("Gruppe"), 80);
    Datum = feld(this, QStringLiteral("Datum"), 100);
    LP = new QCheckBox(QStringLiteral("LP"), this);
    LP->setObjectName(QStringLiteral("LP"));
    LG = new QCheckBox(QStringLiteral("LG"), this);
    LG->setObjectName(QStringLiteral("LG"));
    for (const auto& [text, w] : {std::pair<const char*, QWidget*>{"Klasse", Klasse},
                                  {"Gruppe", Gruppe},
                                  {"Datum", Datum}}) {
        daten->addWidget(new QLabel(QString::fromLatin1(text), this));
        daten->addWidget(w);
    }
    daten->addWidget(LP);
    daten->addWidget(LG);
    daten->addStretch();
    auto* slotBox = new QGroupBox(QStringLiteral("Wettkampf"), this);
    auto* sl = new QHBoxLayout(slotBox);
    for (int n = 1; n <= 3; ++n) {
        auto* o = new QRadioButton(QString::number(n), slotBox);
        o->setObjectName(QStringLiteral("Wettk_%1_opt").arg(n));
        slotKnoepfe_[static_cast<std::size_t>(n)] = o;
        sl->addWidget(o);
        connect(o, &QRadioButton::clicked, this, [this, n] { slotWechseln(n); });
    }
    slotKnoepfe_[1]->setChecked(true);
    daten->addWidget(slotBox);
    haupt->addLayout(daten);

    auto* gitter = new QGridLayout;
    const QStringList koepfe = {QString(),
                                QStringLiteral("Name"),
                                QStringLiteral("Geboren"),
                                QStringLiteral("Scheibe"),
                                QStringLiteral("S1"),
                                QStringLiteral("S2"),
                                QStringLiteral("S3"),
                                QStringLiteral("S4"),
                                QStringLiteral("S5"),
                                QStringLiteral("S6"),
                                QStringLiteral("Ges"),
                                QString()};
    for (int c = 0; c < koepfe.size(); ++c) {
        gitter->addWidget(new QLabel(koepfe[c], this), 0, c);
    }
    for (int i = 1; i <= Wettkampf::kZeilen; ++i) {
        Zeile& z = zeilen_[static_cast<std::size_t>(i)];
        const int r = i + (i > 7 ? 1 : 0);  // a gap between the teams
        gitter->addWidget(new QLabel(QStringLiteral("%1.").arg(i), this), r, 0);
        z.name = feld(this, QStringLiteral("Heim_Schuetze_%1").arg(i));
        z.geb = feld(this, QStringLiteral("Geb_%1").arg(i), 70);
        z.serNr = feld(this, QStringLiteral("SerNr_%1").arg(i), 60);
        gitter->addWidget(z.name, r, 1);
        gitter->addWidget(z.geb, r, 2);
        gitter->addWidget(z.serNr, r, 3);
        for (int s = 1; s <= 6; ++s) {
            QLineEdit* e = feld(this, QStringLiteral("S%1_%2").arg(s).arg(i), 50);
            z.s[static_cast<std::size_t>(s)] = e;
            gitter->addWidget(e, r, 3 + s);
        }
        z.ges = feld(this, QStringLiteral("Ges_%1").arg(i), 60);
        gitter->addWidget(z.ges, r, 10);
        z.check = new QCheckBox(this);
        z.check->setObjectName(QStringLiteral("Check1_%1").arg(i));
        gitter->addWidget(z.check, r, 11);
    }
    gitter->setRowMinimumHeight(8, 10);
    haupt->addLayout(gitter);

    auto* unten = new QHBoxLayout;
    Heim_Ges = feld(this, QStringLiteral("Heim_Ges"), 80);
    Gast_Ges = feld(this, QStringLiteral("Gast_Ges"), 80);
    unten->addWidget(new QLabel(QStringLiteral("Heim:"), this));
    unten->addWidget(Heim_Ges);
    unten->addWidget(new QLabel(QStringLiteral("Gast:"), this));
    unten->addWidget(Gast_Ges);
    auto* modi = new QGroupBox(QStringLiteral("Wertung nach:"), this);
    auto* ml = new QVBoxLayout(modi);
    const QStringList texte = {QStringLiteral("Die ersten 4 eingetragenen"),
                               QStringLiteral("Die besten 3"), QStringLiteral("Die besten 4"),
                               QStringLiteral("Alle Markierten")};
    for (int n = 1; n <= 4; ++n) {
        auto* o = new QRadioButton(texte[n - 1], modi);
        o->setObjectName(QStringLiteral("Option%1").arg(n));
        modusKnoepfe_[static_cast<std::size_t>(n)] = o;
        ml->addWidget(o);
    }
    modusKnoepfe_[1]->setChecked(true);
    unten->addWidget(modi);
    auto* knoepfe = new QVBoxLayout;
    QPushButton* werten = knopf(this, QStringLiteral("Werten_Butt"), QStringLiteral("Werten"));
    connect(werten, &QPushButton::clicked, this, &Wett::werten);
    QPushButton* druck = knopf(this, QStringLiteral("Command1"), QStringLiteral("Drucken"));
    connect(druck, &QPushButton::clicked, this, &Wett::drucken);
    QPushButton* leer = knopf(this, QStringLiteral("Clear_butt"), QStringLiteral("Leeren"));
    connect(leer, &QPushButton::clicked, this, [this] {
        leeren(true);
        leeren(false);
        for (QLineEdit* e : {Heim_Nummer, Heim_Name, Gast_Nummer, Gast_Name, Klasse, Gruppe}) {
            e->clear();
        }
    });
    QPushButton* zu =
        knopf(this, QStringLiteral("Command2"), QStringLiteral("Formular schließen "));
    connect(zu, &QPushButton::clicked, this, &Wett::schliessen);
    for (QPushButton* b : {werten, druck, leer, zu}) {
        knoepfe->addWidget(b);
    }
    unten->addLayout(knoepfe);
    haupt->addLayout(unten);
    flaeche->setWidget(inhalt);
    const QSize voll = inhalt->sizeHint() + QSize(24, 4);
    resize(std::min(voll.width(), 1300), std::min(voll.height(), 700));
}

QWidget* Wett::aufbauMannschaft(bool heim) {
    auto* box = new QGroupBox(
        heim ? QStringLiteral("Heimmannschaft") : QStringLiteral("Gastmannschaft"), this);
    auto* g = new QGridLayout(box);
    QLineEdit* nummer =
        feld(box, heim ? QStringLiteral("Heim_Nummer") : QStringLiteral("Gast_Nummer"), 90);
    QLineEdit* name = feld(box, heim ? QStringLiteral("Heim_Name") : QStringLiteral("Gast_Name"));
    auto* auswahl = new QComboBox(box);
    auswahl->setObjectName(heim ? QStringLiteral("Heimauswahl") : QStringLiteral("Gastauswahl"));
    QPushButton* speichern =
        knopf(box, heim ? QStringLiteral("Speichern_Heim") : QStringLiteral("Speichern_Gast"),
              QStringLiteral("Speichern"));
    QPushButton* loeschen =
        knopf(box, heim ? QStringLiteral("Loeschen_heim") : QStringLiteral("Loeschen_gast"),
              QStringLiteral("Löschen"));
    g->addWidget(new QLabel(QStringLiteral("Nummer"), box), 0, 0);
    g->addWidget(nummer, 0, 1);
    g->addWidget(new QLabel(QStringLiteral("Name"), box), 0, 2);
    g->addWidget(name, 0, 3);
    g->addWidget(auswahl, 1, 0, 1, 2);
    g->addWidget(speichern, 1, 2);
    g->addWidget(loeschen, 1, 3);
    connect(auswahl, &QComboBox::activated, this,
            [this, heim, auswahl] { mannschaftWaehlen(heim, auswahl->currentText()); });
    connect(speichern, &QPushButton::clicked, this, [this, heim] { mannschaftSpeichern(heim); });
    connect(loeschen, &QPushButton::clicked, this, [this, heim] { mannschaftLoeschen(heim); });
    (heim ? Heim_Nummer : Gast_Nummer) = nummer;
    (heim ? Heim_Name : Gast_Name) = name;
    (heim ? Heimauswahl : Gastauswahl) = auswahl;
    return box;
}

// ---- fields -------------------------------------------------------------------------

Wettkampf Wett::lesen() const {
    Wettkampf w;
    for (int i = 1; i <= Wettkampf::kZeilen; ++i) {
        const Zeile& f = zeilen_[static_cast<std::size_t>(i)];
        Wettkampfzeile& z = w.zeile[static_cast<std::size_t>(i)];
        z.name = f.name->text();
        z.geb = f.geb->text();
        z.serNr = f.serNr->text();
        for (int s = 1; s <= 6; ++s) {
            z.s[static_cast<std::size_t>(s)] = f.s[static_cast<std::size_t>(s)]->text();
        }
        z.ges = f.ges->text();
        z.markiert = f.check->isChecked();
    }
    w.heimNummer = Heim_Nummer->text();
    w.heimName = Heim_Name->text();
    w.gastNummer = Gast_Nummer->text();
    w.gastName = Gast_Name->text();
    w.klasse = Klasse->text();
    w.gruppe = Gruppe->text();
    w.datum = Datum->text();
    w.heimGes = Heim_Ges->text();
    w.gastGes = Gast_Ges->text();
    w.lp = LP->isChecked();
    w.lg = LG->isChecked();
    return w;
}

void Wett::zeigen(const Wettkampf& w) {
    for (int i = 1; i <= Wettkampf::kZeilen; ++i) {
        const Zeile& f = zeilen_[static_cast<std::size_t>(i)];
        const Wettkampfzeile& z = w.zeile[static_cast<std::size_t>(i)];
        f.name->setText(z.name);
        f.geb->setText(z.geb);
        f.serNr->setText(z.serNr);
        for (int s = 1; s <= 6; ++s) {
            f.s[static_cast<std::size_t>(s)]->setText(z.s[static_cast<std::size_t>(s)]);
        }
        f.ges->setText(z.ges);
        f.check->setChecked(z.markiert);
    }
    Heim_Nummer->setText(w.heimNummer);
    Heim_Name->setText(w.heimName);
    Gast_Nummer->setText(w.gastNummer);
    Gast_Name->setText(w.gastName);
    Klasse->setText(w.klasse);
    Gruppe->setText(w.gruppe);
    Datum->setText(w.datum);
    Heim_Ges->setText(w.heimGes);
    Gast_Ges->setText(w.gastGes);
    LP->setChecked(w.lp);
    LG->setChecked(w.lg);
}

void Wett::leeren(bool heim) {
    const int von = heim ? 1 : 8;
    for (int i = von; i < von + 7; ++i) {
        const Zeile& f = zeilen_[static_cast<std::size_t>(i)];
        for (QLineEdit* e : {f.name, f.geb, f.serNr, f.ges}) {
            e->clear();
        }
        for (int s = 1; s <= 6; ++s) {
            f.s[static_cast<std::size_t>(s)]->clear();
        }
    }
    (heim ? Heim_Ges : Gast_Ges)->clear();
}

// ---- slots, scoring, printing -------------------------------------------------------

void Wett::slotWechseln(int n) {
    WettkSpeichern(ini_, slot_, lesen());
    slot_ = n;
    Wettkampf w = lesen();
    WettkLaden(ini_, slot_, w);
    zeigen(w);
    slotKnoepfe_[static_cast<std::size_t>(n)]->setChecked(true);
}

Wertungsmodus Wett::modus() const {
    if (modusKnoepfe_[2]->isChecked()) {
        return Wertungsmodus::BesteDrei;
    }
    if (modusKnoepfe_[3]->isChecked()) {
        return Wertungsmodus::BesteVier;
    }
    if (modusKnoepfe_[4]->isChecked()) {
        return Wertungsmodus::Markierte;
    }
    return Wertungsmodus::ErsteVier;
}

void Wett::werten() {
    Wettkampf w = lesen();
    ::werten(w, modus());
    zeigen(w);
}

void Wett::drucken() {
    WettkSpeichern(ini_, slot_, lesen());
    werten();
    const Wettkampf w = lesen();
    ausdrucken(dialogs_, uhr_, druckerWahl_, [&w](Drucker& d) { blattDrucken(d, w); });
}

void Wett::schliessen() {
    WettkSpeichern(ini_, slot_, lesen());
    schliessenErlaubt_ = true;
    close();
}

// The title bar's close and Esc close as "Formular schließen " does: the slot is saved.
void Wett::closeEvent(QCloseEvent* event) {
    if (!schliessenErlaubt_) {
        WettkSpeichern(ini_, slot_, lesen());
    }
    schliessenErlaubt_ = false;
    warGeschlossen_ = true;
    QWidget::closeEvent(event);
}

void Wett::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        schliessen();
        return;
    }
    QWidget::keyPressEvent(event);
}

// ---- teams --------------------------------------------------------------------------

void Wett::mannschaftWaehlen(bool heim, const QString& name) {
    if (!dbOffen_) {
        return;
    }
    std::vector<WettkampfDb::Schuetze> schuetzen;
    try {
        schuetzen = db_.schuetzen(name);
    } catch (const DatabaseError& e) {
        dialogs_.message(e.message());
        return;
    }
    leeren(heim);
    (heim ? Heim_Name : Gast_Name)->setText(name);
    QStringList ausserhalb;
    for (const auto& s : schuetzen) {
        // The row comes from the stored number, whichever side the team was picked for.
        if (s.nr < 1 || s.nr > Wettkampf::kZeilen) {
            ausserhalb << s.name;
            continue;
        }
        zeilen_[static_cast<std::size_t>(s.nr)].name->setText(s.name);
        zeilen_[static_cast<std::size_t>(s.nr)].geb->setText(s.geb);
    }
    if (!ausserhalb.isEmpty()) {
        dialogs_.message(QStringLiteral("Diese Schützen haben keine gültige Zeile (1 bis 14) und "
                                        "wurden ausgelassen: ") +
                         ausserhalb.join(QStringLiteral(", ")));
    }
}

void Wett::mannschaftSpeichern(bool heim) {
    const QString name = (heim ? Heim_Name : Gast_Name)->text();
    if (name.isEmpty()) {
        dialogs_.message(heim ? QStringLiteral("Es wurde kein Name für die zu speichernde "
                                               "Heimmanschaft angegeben")
                              : QStringLiteral("Es wurde kein Name für die zu speichernde "
                                               "Gastmanschaft angegeben"));
        return;
    }
    std::vector<WettkampfDb::Schuetze> reihen;
    const int von = heim ? 1 : 8;
    for (int i = von; i < von + 7; ++i) {
        const Zeile& f = zeilen_[static_cast<std::size_t>(i)];
        if (!f.name->text().isEmpty()) {
            reihen.push_back({f.name->text(), f.geb->text(), i});
        }
    }
    if (!dbOffen_) {
        dialogs_.message(QStringLiteral("Die Mannschaft wurde nicht gespeichert: die "
                                        "Wettkampfdatenbank \"%1\" kann nicht geöffnet werden.")
                             .arg(datenbank_));
        return;
    }
    try {
        db_.speichern(name, heim ? QStringLiteral("Heim") : QStringLiteral("Gast"), reihen);
    } catch (const DatabaseError& e) {
        dialogs_.message(QStringLiteral("Die Mannschaft wurde nicht gespeichert.\n") + e.message());
        return;
    }
    WettkSpeichern(ini_, slot_, lesen());
    const QString h = Heimauswahl->currentText(), g = Gastauswahl->currentText();
    mannschaftenLaden();
    (heim ? Heimauswahl : Gastauswahl)->setCurrentText(name);
    (heim ? Gastauswahl : Heimauswahl)->setCurrentText(heim ? g : h);
}

void Wett::mannschaftLoeschen(bool heim) {
    const QString name = (heim ? Heim_Name : Gast_Name)->text();
    if (name.isEmpty()) {
        dialogs_.message(heim ? QStringLiteral("Es wurde kein Name für die zu löschende "
                                               "Heimmanschaft angegeben")
                              : QStringLiteral("Es wurde kein Name für die zu löschende "
                                               "Gastmanschaft angegeben"));
        return;
    }
    if (!dbOffen_) {
        dialogs_.message(QStringLiteral("Die Mannschaft wurde nicht gelöscht: die "
                                        "Wettkampfdatenbank \"%1\" kann nicht geöffnet werden.")
                             .arg(datenbank_));
        return;
    }
    try {
        db_.loeschen(name);
    } catch (const DatabaseError& e) {
        dialogs_.message(QStringLiteral("Die Mannschaft wurde nicht gelöscht.\n") + e.message());
        return;
    }
    leeren(heim);
    mannschaftenLaden();
}

// ---- competition mode of the main window --------------------------------------------

QString Wett::schuetze(int zeile) const {
    if (zeile < 1 || zeile > Wettkampf::kZeilen) {
        return {};
    }
    return zeilen_[static_cast<std::size_t>(zeile)].name->text();
}

void Wett::serienEintragen(int zeile, const std::array<QString, 7>& serien, const QString& gesamt) {
    if (zeile < 1 || zeile > Wettkampf::kZeilen) {
        return;
    }
    const Zeile& f = zeilen_[static_cast<std::size_t>(zeile)];
    for (int s = 1; s <= 6; ++s) {
        f.s[static_cast<std::size_t>(s)]->setText(serien[static_cast<std::size_t>(s)]);
    }
    f.ges->setText(gesamt);
}
