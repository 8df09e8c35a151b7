#include "maintenance/ui/Punktegruppe.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <array>

#include "core/Abendzustand.h"
#include "core/Einstellungen.h"
#include "core/Ini.h"
#include "maintenance/ui/Einstellungsteile.h"

Punktegruppe::Punktegruppe(Ini& ini, Abendzustand& zustand, QWidget* parent)
    : QWidget(parent), ini_(ini), zustand_(zustand) {
    auto* l = new QHBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);  // the window's row has its own margins
    auto* ringe = new QGroupBox(QStringLiteral("Punkte Ringe"), this);
    auto* rl = new QVBoxLayout(ringe);
    punkte_ = new QButtonGroup(this);
    Erster_Schuss =
        option(ringe, punkte_, QStringLiteral("Erster_Schuss"), QStringLiteral("Erster Schuss"));
    Erste10 = option(ringe, punkte_, QStringLiteral("Erste10"), QStringLiteral("Erste 10  Schuss"));
    Erste20 = option(ringe, punkte_, QStringLiteral("Erste20"), QStringLiteral("Erste 20  Schuss"));
    Erste40 = option(ringe, punkte_, QStringLiteral("Erste40"), QStringLiteral("Erste 40 Schuss"));
    Best10 = option(ringe, punkte_, QStringLiteral("Best10"), QStringLiteral("Beste 10 Schuss"));
    Best20 = option(ringe, punkte_, QStringLiteral("Best20"), QStringLiteral("Beste 20 Schuss "));
    Best40 = option(ringe, punkte_, QStringLiteral("Best40"), QStringLiteral("Beste 40 Schuss"));
    Best60 = option(ringe, punkte_, QStringLiteral("Best60"), QStringLiteral("60 Schuss"));
    for (QRadioButton* o :
         {Erster_Schuss, Erste10, Erste20, Erste40, Best10, Best20, Best40, Best60}) {
        rl->addWidget(o);
    }
    l->addWidget(ringe);
    auto* teiler = new QGroupBox(QStringLiteral("Punkte Teiler"), this);
    auto* tl = new QVBoxLayout(teiler);
    teiler_ = new QButtonGroup(this);
    T_Erster = option(teiler, teiler_, QStringLiteral("T_Erster"), QStringLiteral("Erster Schuss"));
    T_Erste10 =
        option(teiler, teiler_, QStringLiteral("T_Erste10"), QStringLiteral("Erste 10  Schuss"));
    T_Alle = option(teiler, teiler_, QStringLiteral("T_Alle"), QStringLiteral("Alle  Schuss"));
    for (QRadioButton* o : {T_Erster, T_Erste10, T_Alle}) {
        tl->addWidget(o);
    }
    tl->addStretch();
    l->addWidget(teiler);
    verbinden();
}

void Punktegruppe::verbinden() {
    const std::array<std::pair<QRadioButton*, int>, 8> punkte = {{{Erster_Schuss, 1},
                                                                  {Erste10, -10},
                                                                  {Erste20, -20},
                                                                  {Erste40, -40},
                                                                  {Best10, 10},
                                                                  {Best20, 20},
                                                                  {Best40, 40},
                                                                  {Best60, 60}}};
    for (const auto& [o, wert] : punkte) {
        connect(o, &QRadioButton::toggled, this, [this, w = wert](bool an) {
            if (!an) {
                return;  // the option left behind writes nothing
            }
            ini_.IniSchreiben(ini::kWertung, ini::kPunktScheiben, QString::number(w));
            zustand_.Punktwertung = static_cast<std::int16_t>(w);
        });
    }
    const std::array<std::pair<QRadioButton*, QString>, 3> teiler = {
        {{T_Erster, QStringLiteral("1")},
         {T_Erste10, QStringLiteral("10")},
         {T_Alle, QStringLiteral("60")}}};
    for (const auto& [o, wert] : teiler) {
        connect(o, &QRadioButton::toggled, this, [this, w = wert](bool an) {
            if (!an) {
                return;
            }
            ini_.IniSchreiben(ini::kWertung, ini::kTeiler, w);
            zustand_.Teilerwertung = w;
        });
    }
}

void Punktegruppe::laden() {
    keineWahl(punkte_);
    keineWahl(teiler_);
    const QString punkte = ini_.IniLesen(ini::kWertung, ini::kPunktScheiben);
    const std::array<std::pair<const char*, QRadioButton*>, 7> punkteOptionen = {
        {{"10", Best10},
         {"-10", Erste10},
         {"-20", Erste20},
         {"1", Erster_Schuss},
         {"-40", Erste40},
         {"40", Best40},
         {"60", Best60}}};
    QRadioButton* gewaehlt = Best20;
    for (const auto& [wert, o] : punkteOptionen) {
        if (punkte == QLatin1String(wert)) {
            gewaehlt = o;
        }
    }
    gewaehlt->setChecked(true);
    const QString teiler = ini_.IniLesen(ini::kWertung, ini::kTeiler);
    if (teiler == QLatin1String("1")) {
        T_Erster->setChecked(true);
    } else if (teiler == QLatin1String("10")) {
        T_Erste10->setChecked(true);
    } else if (teiler == QLatin1String("60")) {
        T_Alle->setChecked(true);
    }
}
