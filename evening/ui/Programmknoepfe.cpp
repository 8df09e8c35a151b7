#include "evening/ui/Programmknoepfe.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include "core/Abendzustand.h"
#include "machine/Programme.h"
#include "platform/widgets/Bedienelemente.h"

Programmknoepfe::Programmknoepfe(Abendzustand& zustand, QLineEdit* rmst, QWidget* parent)
    : QGroupBox(QStringLiteral("Scheibenprogramm"), parent), zustand_(zustand), RMst(rmst) {
    setObjectName(QStringLiteral("Frame2"));
    auto* f2 = new QGridLayout(this);
    knoepfe = {knopf(this, QStringLiteral("S1x10"), QStringLiteral("1x10 Schuß LG")),
               knopf(this, QStringLiteral("S2x10"), QStringLiteral("2x10 Schuß LG")),
               knopf(this, QStringLiteral("S4x10"), QStringLiteral("4x10 Schuß LG")),
               knopf(this, QStringLiteral("S4x5"), QStringLiteral("4x5 Schuß LP")),
               knopf(this, QStringLiteral("S8x5"), QStringLiteral("8x5 Schuß LP")),
               knopf(this, QStringLiteral("S20x2"), QStringLiteral("20x2 Schuß LP"))};
    const std::array<int, 6> nummern = {4, 5, 6, 7, 8, 10};
    int zeile = 0;
    for (std::size_t i = 0; i < knoepfe.size(); ++i) {
        const int nummer = nummern[i];
        const QString taste =
            nummer == 10 ? QStringLiteral("F10") : QStringLiteral("F%1").arg(nummer + 1);
        auto* o = option(this, QStringLiteral("Option%1").arg(nummer), taste);
        Option[static_cast<std::size_t>(nummer)] = o;
        f2->addWidget(o, zeile, 0);
        f2->addWidget(knoepfe[i], zeile, 1);
        ++zeile;
        connect(knoepfe[i], &QPushButton::clicked, this, [this, i] { programmKnopf(i); });
    }
    Option[9] = option(this, QStringLiteral("Option9"), QString());
    SString = knopf(this, QStringLiteral("SString"), QStringLiteral("Einlesen andere Karte"));
    f2->addWidget(Option[9], zeile, 0);
    f2->addWidget(SString, zeile, 1);
    ++zeile;
    Option_Combo = option(this, QStringLiteral("Option_Combo"), QString());
    schuss_combo = new QComboBox(this);
    schuss_combo->setObjectName(QStringLiteral("schuss_combo"));
    f2->addWidget(Option_Combo, zeile, 0);
    f2->addWidget(schuss_combo, zeile, 1);
    ++zeile;
    AndereKarten =
        knopf(this, QStringLiteral("AndereKarten"), QStringLiteral("Andere Karten wählen"));
    f2->addWidget(AndereKarten, zeile, 0, 1, 2);

    connect(schuss_combo, &QComboBox::activated, this, &Programmknoepfe::programmListe);
    connect(SString, &QPushButton::clicked, this, &Programmknoepfe::andereKarte);
    connect(AndereKarten, &QPushButton::clicked, this, [this] {
        emit andereKartenGewuenscht();
        andereKarte();
    });
    mitMaschine(false);  // alive with a reading window
}

void Programmknoepfe::maschineZeigen(bool sam) {
    const std::array<const char*, 6> titel =
        sam ? std::array<const char*, 6>{"1 Schuss", "10 Schuss", "20 Schuss", "30 Schuss",
                                         "40 Schuss", "60 Schuss"}
            : std::array<const char*, 6>{"1x10 Schuß LG", "2x10 Schuß LG", "4x10 Schuß LG",
                                         "4x5 Schuß LP", "8x5 Schuß LP", "20x2 Schuß LP"};
    for (std::size_t i = 0; i < knoepfe.size(); ++i) {
        knoepfe[i]->setText(QString::fromUtf8(titel[i]));
    }
    SString->setVisible(!sam);
    AndereKarten->setVisible(!sam);
    if (sam) {
        Option[8]->setChecked(true);
    }
}

void Programmknoepfe::listeFuellen() {
    const QSignalBlocker sperre(schuss_combo);
    schuss_combo->clear();
    schuss_combo->addItems({QStringLiteral("1 Schuss LG"), QStringLiteral("1 Schuss LP"),
                            QStringLiteral("10x1 Schuss LP"), QStringLiteral("5x2 Schuss LP"),
                            QStringLiteral("20x1 Schuss LP"), QStringLiteral("10x2 Schuss LP"),
                            QStringLiteral("40x1 Schuss LP"), QStringLiteral("30x2 Schuss LP"),
                            QStringLiteral("6x10 Schuss LG")});
    schuss_combo->setCurrentText(QStringLiteral("5x2 Schuss LP"));
}

void Programmknoepfe::mitMaschine(bool ja) {
    for (QPushButton* b : knoepfe) {
        b->setEnabled(ja);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{schuss_combo, AndereKarten, SString}) {
        w->setEnabled(ja);
    }
    for (QRadioButton* o : {Option[4], Option[5], Option[6], Option[7], Option[8], Option[9],
                            Option[10], Option_Combo}) {
        o->setEnabled(ja);
        o->setAttribute(Qt::WA_TransparentForMouseEvents);
        o->setFocusPolicy(Qt::NoFocus);
    }
}

void Programmknoepfe::sperren(bool offen, bool mitMaschine) {
    for (QPushButton* b : knoepfe) {
        b->setEnabled(!offen && mitMaschine);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{schuss_combo, AndereKarten, SString}) {
        w->setEnabled(!offen && mitMaschine);
    }
}

void Programmknoepfe::knopfDruecken(std::size_t index) {
    if (index < knoepfe.size()) {
        knoepfe[index]->click();  // does nothing while the button is disabled
    }
}

bool Programmknoepfe::andereKarteGewaehlt() const {
    return Option[9]->isChecked();
}

void Programmknoepfe::programmKnopf(std::size_t index) {
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

void Programmknoepfe::programmListe() {
    Option_Combo->setChecked(true);
    const auto p = listenProgramm(schuss_combo->currentText());
    if (!p) {
        return;
    }
    programmUebernehmen(*p, zustand_);
    RMst->setText(zustand_.MachineName == QLatin1String("RMIII_WIN") ? zustand_.ControlString
                                                                     : zustand_.ProgramCode);
}

void Programmknoepfe::andereKarte() {
    zustand_.ProgramCode = RMst->text();
    Option[9]->setChecked(true);
}
