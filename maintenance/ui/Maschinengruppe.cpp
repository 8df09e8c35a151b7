#include "maintenance/ui/Maschinengruppe.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include <array>

#include "core/Abendzustand.h"
#include "core/Einstellungen.h"
#include "core/Ini.h"
#include "core/Zahlen.h"
#include "maintenance/ui/Einstellungsteile.h"

Maschinengruppe::Maschinengruppe(Ini& ini, Abendzustand& zustand, QWidget* parent)
    : QWidget(parent), ini_(ini), zustand_(zustand) {
    auto* l = new QVBoxLayout(this);
    auto* wert = new QGroupBox(QStringLiteral("Wertmaschine"), this);
    auto* wl = new QVBoxLayout(wert);
    maschinen_ = new QButtonGroup(this);
    Disag = option(wert, maschinen_, QStringLiteral("Disag"), QStringLiteral("Disag RM III"));
    RMIV = option(wert, maschinen_, QStringLiteral("RMIV"),
                  QStringLiteral("Disag RM III WIN (RM IV Windows S)"));
    SAM = option(wert, maschinen_, QStringLiteral("SAM"), QStringLiteral("SAM"));
    for (QRadioButton* o : {Disag, RMIV, SAM}) {
        wl->addWidget(o);
    }
    l->addWidget(wert);
    l->addWidget(new QLabel(
        QStringLiteral("Bei SAM müssen die Werte an der Maschine eingegeben werden."), this));
    auto* port = new QHBoxLayout;
    auto* portText = new QLabel(QStringLiteral("Com Port"), this);
    Text1 = feld(this, QStringLiteral("Text1"));
    Text1->setMaximumWidth(60);
    portText->setBuddy(Text1);
    port->addWidget(portText);
    port->addWidget(Text1);
    port->addStretch();
    l->addLayout(port);
    Win_L = new QCheckBox(QStringLiteral("Windows L (Langsam)"), this);
    Win_L->setObjectName(QStringLiteral("Win_L"));
    l->addWidget(Win_L);
    auto* monat = new QHBoxLayout;
    auto* monatText = new QLabel(QStringLiteral("Monat Saisonende"), this);
    Mon_Saisonstart = feld(this, QStringLiteral("Mon_Saisonstart"));
    Mon_Saisonstart->setMaximumWidth(60);
    monatText->setBuddy(Mon_Saisonstart);
    monat->addWidget(monatText);
    monat->addWidget(Mon_Saisonstart);
    monat->addStretch();
    l->addLayout(monat);
    Anz_Debug = new QCheckBox(QStringLiteral("Debug Infos ausgeben"), this);
    Anz_Debug->setObjectName(QStringLiteral("Anz_Debug"));
    l->addWidget(Anz_Debug);
    l->addStretch();
    verbinden();
}

QStringList Maschinengruppe::maschine() const {
    return {ini_.IniLesen(ini::kWertmaschine, ini::kName),
            ini_.IniLesen(ini::kWertmaschine, ini::kComport),
            ini_.IniLesen(ini::kWertmaschine, ini::kSpeed)};
}

void Maschinengruppe::verbinden() {
    const std::array<std::pair<QRadioButton*, QString>, 3> maschinen = {
        {{Disag, ini::kMaschineRm3}, {RMIV, ini::kMaschineRm3Win}, {SAM, ini::kMaschineSam}}};
    for (const auto& [o, wert] : maschinen) {
        connect(o, &QRadioButton::toggled, this, [this, w = wert](bool an) {
            if (!an) {
                return;
            }
            ini_.IniSchreiben(ini::kWertmaschine, ini::kName, w);
            zustand_.MachineName = w;
        });
    }
    connect(Text1, &QLineEdit::textChanged, this, [this](const QString& text) {
        const double n = rundeGerade(Zahlwert(text));
        if (n == 1 || n == 2) {
            ini_.IniSchreiben(ini::kWertmaschine, ini::kComport,
                              QString::number(static_cast<int>(n)));
        }
    });
    connect(Win_L, &QCheckBox::toggled, this, [this](bool an) {
        ini_.IniSchreiben(ini::kWertmaschine, ini::kSpeed,
                          an ? QStringLiteral("L") : QStringLiteral("S"));
    });
    connect(Mon_Saisonstart, &QLineEdit::textChanged, this, [this](const QString& text) {
        const double monat = Zahlwert(text);
        // A season ends in one of the twelve months; a negative offset would put the
        // season ahead of the calendar.
        if (monat >= 13 || monat < 0) {
            return;
        }
        ini_.IniSchreiben(ini::kWertung, ini::kMonat, zahlTextBlank(monat));
        zustand_.Saisonversatz = static_cast<std::int16_t>(
            -rundeGerade(Zahlwert(ini_.IniLesen(ini::kWertung, ini::kMonat))));
    });
    connect(Anz_Debug, &QCheckBox::toggled, this, [this](bool an) { zustand_.DebugAnzeige = an; });
}

// Empty controls, without writing anything: loading then sets them as the user would.
void Maschinengruppe::zuruecksetzen() {
    keineWahl(maschinen_);
    for (QWidget* w : std::initializer_list<QWidget*>{Text1, Mon_Saisonstart, Win_L}) {
        const QSignalBlocker sperre(w);
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            e->clear();
        } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
            c->setChecked(false);
        }
    }
}

void Maschinengruppe::laden() {
    zuruecksetzen();
    const QString name = ini_.IniLesen(ini::kWertmaschine, ini::kName);
    if (name == ini::kMaschineSam) {
        SAM->setChecked(true);
    } else if (name == ini::kMaschineRm3Win) {
        RMIV->setChecked(true);
    } else if (name == ini::kMaschineRm3) {
        Disag->setChecked(true);
    }
    Text1->setText(ini_.IniLesen(ini::kWertmaschine, ini::kComport) == QLatin1String("2")
                       ? QStringLiteral("2")
                       : QStringLiteral("1"));
    if (ini_.IniLesen(ini::kWertmaschine, ini::kSpeed) == QLatin1String("L")) {
        Win_L->setChecked(true);
    }
    const QString monat = ini_.IniLesen(ini::kWertung, ini::kMonat);
    if (!monat.isEmpty()) {
        Mon_Saisonstart->setText(formatNull(Zahlwert(monat)));
    }
}
