#include "machine/ui/RMEinst.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/Abendzustand.h"
#include "core/Einstellungen.h"
#include "machine/Einleseablauf.h"
#include "platform/widgets/Nebenfenster.h"

namespace {
struct Wahl {
    const char* name;
    const char* text;
    const char* code;
    const char* wert;
};
}  // namespace

RMEinst::RMEinst(Abendzustand& zustand, Abendfenster& abend, QWidget* parent)
    : QWidget(parent, Qt::Window), zustand_(zustand), abend_(abend) {
    setObjectName(QStringLiteral("RMEinst"));
    escSchliesst(this);
    setWindowTitle(QStringLiteral("RM einstellen"));
    auto* raster = new QGridLayout(this);

    auto gruppe = [&](const QString& name, const QString& titel, std::initializer_list<Wahl> wahlen,
                      QString ProgrammWahl::*code, QString ProgrammWahl::*wert, int zeile,
                      int spalte) {
        auto* box = new QGroupBox(titel, this);
        box->setObjectName(name);
        auto* v = new QVBoxLayout(box);
        auto* knoepfe = new QButtonGroup(box);
        for (const Wahl& w : wahlen) {
            const QString c = QString::fromUtf8(w.code);
            const QString x = QString::fromUtf8(w.wert);
            QRadioButton* o = option(QString::fromLatin1(w.name), QString::fromUtf8(w.text), box,
                                     [this, code, wert, c, x] {
                                         wahl_.*code = c;
                                         if (wert)
                                             wahl_.*wert = x;
                                     });
            knoepfe->addButton(o);
            v->addWidget(o);
        }
        raster->addWidget(box, zeile, spalte);
    };

    gruppe(QStringLiteral("Styp"), QStringLiteral("Scheibe"),
           {{"SG", "Luftgewehr", "1", "LG"},
            {"SP", "Luftpistole", "2", "LP"},
            {"SL", "LG Laufende Scheibe", "4", "LS1"},
            {"SS", "Stutzen", "5", "ZS"},
            {"SK", "KK", "6", "KK;KAL=22"}},
           &ProgrammWahl::typCode, &ProgrammWahl::typName, 0, 0);
    gruppe(QStringLiteral("Slen"), QStringLiteral("Scheibenlänge"),
           {{"ES", "1", "1", "ES"},
            {"B5", "5er Streifen", "2", "5"},
            {"B10", "10er Streifen", "3", "10"}},
           &ProgrammWahl::laengeCode, &ProgrammWahl::laengeWert, 0, 1);
    gruppe(QStringLiteral("Sser"), QStringLiteral("Schuss"),
           {{"Ser1", "1er Serie", "0", "1"},
            {"Ser10", "10er Serie", "1", "10"},
            {"Ser20", "20er Serie", "2", "20"},
            {"Ser30", "30er Serie", "3", "30"},
            {"Ser40", "40er Serie", "4", "40"},
            {"Ser50", "50er Serie", "5", "50"},
            {"Ser60", "60er Serie", "6", "60"},
            {"Ser80", "80er Serie", "7", "80"},
            {"Ser100", "100er Serie", "8", "100"},
            {"Ser120", "120er Serie", "9", "120"}},
           &ProgrammWahl::serieCode, &ProgrammWahl::serieWert, 0, 2);
    gruppe(QStringLiteral("Steil"), QStringLiteral("Teilergrenze"),
           {{"T50", "50", "401", "TEA=ZT;TEG=50;"},
            {"T75", "75", "402", "TEA=ZT;TEG=75;"},
            {"T100", "100", "403", "TEA=ZT;TEG=100;"},
            {"T150", "150", "405", "TEA=ZT;TEG=150;"},
            {"T300", "300", "408", "TEA=ZT;TEG=300;"},
            {"T600", "600", "411", "TEA=ZT;TEG=600;"},
            {"T1000", "1000", "413", "TEA=ZT;TEG=1000;"},
            {"T2000", "2000", "414", "TEA=ZT;TEG=2000;"},
            {"T4000", "4000", "415", "TEA=ZT;TEG=4000;"},
            {"T8000", "8000", "416", "TEA=ZT;TEG=8000;"},
            {"TAus", "Aus", "101", "TEA=KT;"}},
           &ProgrammWahl::teilerCode, &ProgrammWahl::teilerStueck, 0, 3);
    gruppe(QStringLiteral("Sdruck"), QStringLiteral("Drucker"),
           {{"DEin", "Aufdruck Ein", "1", ""}, {"DAus", "Aufdruck Aus", "2", ""}},
           &ProgrammWahl::druckCode, nullptr, 1, 0);
    gruppe(QStringLiteral("Sschuss"), QStringLiteral("Schuß pro Scheibe"),
           {{"Schuss1", "1", "1", ""}, {"Schuss2", "2", "2", ""}, {"Schuss5", "5 (LP)", "5", ""}},
           &ProgrammWahl::schussCode, nullptr, 1, 1);

    auto* unten = new QGridLayout;
    ZText = new QLineEdit(this);
    ZText->setObjectName(QStringLiteral("ZText"));
    rm_control_string = new QLineEdit(this);
    rm_control_string->setObjectName(QStringLiteral("rm_control_string"));
    auto* Uebernehmen_butt = new QPushButton(QStringLiteral("Übernehmen"), this);
    Uebernehmen_butt->setObjectName(QStringLiteral("Uebernehmen_butt"));
    unten->addWidget(new QLabel(QStringLiteral("Aufdrucktext"), this), 0, 0);
    unten->addWidget(ZText, 0, 1);
    unten->addWidget(new QLabel(QStringLiteral("Programm"), this), 1, 0);
    unten->addWidget(rm_control_string, 1, 1);
    unten->addWidget(Uebernehmen_butt, 2, 1);
    raster->addLayout(unten, 1, 2, 1, 2);

    connect(ZText, &QLineEdit::textChanged, this, [this](const QString& text) {
        wahl_.setAufdruck(text);
        anzeigen();
    });
    connect(Uebernehmen_butt, &QPushButton::clicked, this, &RMEinst::uebernehmen);

    wahl_.festeZiffer = QStringLiteral("2");
    for (const char* standard : {"SG", "B10", "Ser40", "T300", "DEin", "Schuss1"}) {
        waehle(QString::fromLatin1(standard));
    }
}

QRadioButton* RMEinst::option(const QString& name, const QString& text, QWidget* parent,
                              std::function<void()> setzen) {
    auto* o = new QRadioButton(text, parent);
    o->setObjectName(name);
    connect(o, &QRadioButton::clicked, this, [this, setzen] {
        setzen();
        anzeigen();
    });
    return o;
}

void RMEinst::waehle(const QString& optionName) {
    if (auto* o = findChild<QRadioButton*>(optionName)) {
        o->click();
    }
}

void RMEinst::anzeigen() {
    rm_control_string->setText(wahl_.code());
}

void RMEinst::uebernehmen() {
    zustand_.ControlString = wahl_.controlString();
    if (zustand_.MachineName == ini::kMaschineRm3) {
        // The code as shown, with whatever the user typed into it.
        zustand_.ProgramCode = rm_control_string->text();
        abend_.programmZeigen(zustand_.ProgramCode);
    } else {
        abend_.programmZeigen(zustand_.ControlString);
    }
    hide();
}
