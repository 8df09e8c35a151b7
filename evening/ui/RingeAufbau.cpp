// Builds the controls of the main window, in reading order so that Tab follows it.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "evening/ui/Datenbankliste.h"
#include "evening/ui/Programmknoepfe.h"
#include "evening/ui/Ringe.h"
#include "evening/ui/Schussgitter.h"
#include "platform/widgets/Bedienelemente.h"

namespace {

QLineEdit* feld(const QString& name, QWidget* parent, int breite = 0) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    if (breite > 0) {
        e->setFixedWidth(breite);
    }
    return e;
}

QLabel* beschriftung(const QString& text, QWidget* parent, const QString& name = {}) {
    auto* l = new QLabel(text, parent);
    if (!name.isEmpty()) {
        l->setObjectName(name);
    }
    return l;
}

}  // namespace

void Ringe::aufbauen() {
    setObjectName(QStringLiteral("Ringe"));
    setWindowTitle(QStringLiteral("Zielkunst"));
    auto* zentrum = new QWidget(this);
    auto* haupt = new QHBoxLayout(zentrum);
    auto* links = new QVBoxLayout;
    links->addWidget(aufbauSchuetze());
    links->addWidget(aufbauSchuesse());
    links->addWidget(aufbauSummen());
    links->addStretch();
    haupt->addLayout(links, 1);
    haupt->addWidget(aufbauSeite());
    setCentralWidget(zentrum);
    tabReihenfolge();
}

QWidget* Ringe::aufbauSchuetze() {
    auto* box = new QWidget(this);
    auto* g = new QGridLayout(box);
    g->setContentsMargins(0, 0, 0, 0);

    SNummer = feld(QStringLiteral("SNummer"), box, 70);
    SNummer->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*")), SNummer));
    SName = feld(QStringLiteral("SName"), box);
    SName->setMinimumWidth(220);
    Label13 = beschriftung(QString(), box, QStringLiteral("Label13"));
    g->addWidget(beschriftung(QStringLiteral("Nummer:"), box), 0, 0);
    g->addWidget(SNummer, 0, 1);
    g->addWidget(beschriftung(QStringLiteral("Name:"), box), 0, 2);
    g->addWidget(SName, 0, 3);
    g->addWidget(Label13, 0, 4);

    Frame1 = new QGroupBox(QStringLiteral("Datum"), box);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* f1 = new QGridLayout(Frame1);
    Option1 = option(Frame1, QStringLiteral("Option1"), QStringLiteral("Nachschießen"));
    NTag = feld(QStringLiteral("NTag"), Frame1, 100);
    Option2 = option(Frame1, QStringLiteral("Option2"), QStringLiteral("Heute"));
    Heute = feld(QStringLiteral("Heute"), Frame1, 100);
    Option3 = option(Frame1, QStringLiteral("Option3"), QStringLiteral("Vorschießen"));
    VTag = feld(QStringLiteral("VTag"), Frame1, 100);
    f1->addWidget(Option1, 0, 0);
    f1->addWidget(NTag, 1, 0);
    f1->addWidget(Option2, 0, 1);
    f1->addWidget(Heute, 1, 1);
    f1->addWidget(Option3, 0, 2);
    f1->addWidget(VTag, 1, 2);
    Option2->setChecked(true);
    g->addWidget(Frame1, 1, 0, 1, 4);

    auto* rechts = new QGridLayout;
    Saison = feld(QStringLiteral("Saison"), box, 60);
    Saison->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,4}")), Saison));
    Label11 = beschriftung(QString(), box, QStringLiteral("Label11"));
    rechts->addWidget(beschriftung(QStringLiteral("Saison:"), box), 0, 0);
    rechts->addWidget(Saison, 0, 1);
    rechts->addWidget(Label11, 0, 2);
    Anwesend = haken(box, QStringLiteral("Anwesend"), QStringLiteral("Anwesend"));
    Liegend = haken(box, QStringLiteral("Liegend"), QStringLiteral("Liegend"));
    Wettkampf = haken(box, QStringLiteral("Wettkampf"), QStringLiteral("Wettkampf"));
    rechts->addWidget(Anwesend, 1, 0, 1, 3);
    rechts->addWidget(Liegend, 2, 0, 1, 3);
    rechts->addWidget(Wettkampf, 3, 0, 1, 3);
    g->addLayout(rechts, 1, 4);
    return box;
}

QWidget* Ringe::aufbauSchuesse() {
    gitter_ = new Schussgitter(this);
    Schuss = gitter_->Schuss;
    Scheibe = gitter_->Scheibe;
    Teiler = gitter_->Teiler;
    return gitter_;
}

QWidget* Ringe::aufbauSummen() {
    auto* box = new QWidget(this);
    auto* g = new QGridLayout(box);
    g->setContentsMargins(0, 0, 0, 0);
    GesScheibe = ausgabefeld(box, QStringLiteral("GesScheibe"), 64);
    BestTeiler = ausgabefeld(box, QStringLiteral("BestTeiler"), 64);
    Best10 = ausgabefeld(box, QStringLiteral("Best10"), 64);
    Best = ausgabefeld(box, QStringLiteral("Best"), 64);
    Punkte = ausgabefeld(box, QStringLiteral("Punkte"), 64);
    const std::array<std::pair<QString, QLineEdit*>, 5> reihe = {{
        {QStringLiteral("Gesamt"), GesScheibe},
        {QStringLiteral("Bester Teiler"), BestTeiler},
        {QStringLiteral("Wertung"), Best10},
        {QStringLiteral("Beste 20"), Best},
        {QStringLiteral("Punkte"), Punkte},
    }};
    int spalte = 0;
    for (const auto& [text, e] : reihe) {
        g->addWidget(beschriftung(text, box), 0, spalte);
        g->addWidget(e, 1, spalte);
        ++spalte;
    }
    Warnung = beschriftung(QString(), box, QStringLiteral("Warnung"));
    Warnung->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold;"));
    // A long warning wraps instead of widening the window.
    Warnung->setWordWrap(true);
    Warnung->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    g->addWidget(Warnung, 2, 0, 1, spalte);
    return box;
}

QWidget* Ringe::aufbauSeite() {
    auto* box = new QWidget(this);
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);

    v->addWidget(beschriftung(QStringLiteral("Datenbank:"), box));
    DBCombo = new Datenbankliste(ini_, steuerung_, box);
    v->addWidget(DBCombo);

    WERTM_NAME = beschriftung(QString(), box, QStringLiteral("WERTM_NAME"));
    WERTM_NAME->setStyleSheet(QStringLiteral("font-weight: bold;"));
    v->addWidget(WERTM_NAME);
    RMst = feld(QStringLiteral("RMst"), box);
    v->addWidget(RMst);

    programme_ = new Programmknoepfe(zustand_, RMst, box);
    v->addWidget(programme_);

    Start = knopf(box, QStringLiteral("Start"), QStringLiteral("Einlesen Starten"));
    Command1 =
        knopf(box, QStringLiteral("Command1"), QStringLiteral("Berechnen  und  (F4) Speichern"));
    Command1->setDefault(false);
    Command1->setAutoDefault(false);
    v->addWidget(Start);
    v->addWidget(Command1);
    auto* fern = new QHBoxLayout;
    ButtFernsteuern = knopf(box, QStringLiteral("ButtFernsteuern"), QStringLiteral("Fernsteuern"));
    ButtNormal = knopf(box, QStringLiteral("ButtNormal"), QStringLiteral("Normal"));
    fern->addWidget(ButtFernsteuern);
    fern->addWidget(ButtNormal);
    v->addLayout(fern);
    v->addStretch();

    auto* fenster = new QGridLayout;
    ButtAuswertung = knopf(box, QStringLiteral("ButtAuswertung"), QStringLiteral("Auswertung"));
    ButtMitglieder = knopf(box, QStringLiteral("ButtMitglieder"), QStringLiteral("Mitglieder"));
    Einstellungen_butt =
        knopf(box, QStringLiteral("Einstellungen_butt"), QStringLiteral("Einstellungen"));
    MeytonImport_butt =
        knopf(box, QStringLiteral("MeytonImport_butt"), QStringLiteral("Meyton Import"));
    Schussbild_butt = knopf(box, QStringLiteral("Schussbild_butt"), QStringLiteral("Schussbild"));
    Wett_Butt = knopf(box, QStringLiteral("Wett_Butt"), QStringLiteral("Wettkampf Teilnehmer"));
    const std::array<QPushButton*, 6> fensterKnoepfe = {ButtAuswertung,     ButtMitglieder,
                                                        Einstellungen_butt, MeytonImport_butt,
                                                        Schussbild_butt,    Wett_Butt};
    for (std::size_t i = 0; i < fensterKnoepfe.size(); ++i) {
        fenster->addWidget(fensterKnoepfe[i], static_cast<int>(i / 2), static_cast<int>(i % 2));
    }
    v->addLayout(fenster);

    // The machine controls come alive with setLesesteuerung(); the buttons of windows
    // that do not exist yet are shown but cannot be used.
    for (QWidget* w : std::initializer_list<QWidget*>{RMst,
                                                      Start,
                                                      ButtFernsteuern,
                                                      ButtNormal,
                                                      Wettkampf,
                                                      ButtAuswertung,
                                                      ButtMitglieder,
                                                      Einstellungen_butt,
                                                      MeytonImport_butt,
                                                      Schussbild_butt,
                                                      Wett_Butt}) {
        w->setEnabled(false);
    }
    return box;
}

void Ringe::tabReihenfolge() {
    QList<QWidget*> kette = {SNummer, SName, Option1, NTag,     Option2, Heute,
                             Option3, VTag,  Saison,  Anwesend, Liegend, Wettkampf};
    for (int s = 1; s <= 6; ++s) {
        for (int i = 1; i <= 10; ++i) {
            kette << Schuss[static_cast<std::size_t>((s - 1) * 10 + i)];
        }
        kette << Scheibe[static_cast<std::size_t>(s)] << Teiler[static_cast<std::size_t>(s)];
    }
    kette << GesScheibe << BestTeiler << Best10 << Best << Punkte << DBCombo << RMst;
    for (QWidget* k : programme_->knoepfe) {
        kette << k;
    }
    kette << programme_->SString << programme_->schuss_combo << programme_->AndereKarten << Start << Command1 << ButtFernsteuern << ButtNormal << ButtAuswertung << ButtMitglieder
          << Einstellungen_butt << MeytonImport_butt << Schussbild_butt << Wett_Butt;
    for (qsizetype i = 1; i < kette.size(); ++i) {
        setTabOrder(kette[i - 1], kette[i]);
    }
}
