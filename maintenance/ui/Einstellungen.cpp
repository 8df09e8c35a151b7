#include "maintenance/ui/Einstellungen.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "core/Ueber.h"
#include "display/ui/Anzeigegruppe.h"
#include "maintenance/ui/Maschinengruppe.h"
#include "maintenance/ui/Punktegruppe.h"
#include "maintenance/ui/Slotgruppe.h"
#include "maintenance/ui/Wartungsgruppe.h"
#include "platform/widgets/Nebenfenster.h"

Einstellungen::Einstellungen(Ini& ini, Abendzustand& zustand, ClubDatabase& club, Dialogs& dialogs,
                             const Clock& uhr, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Einstellungen"));
    escSchliesst(this);
    setWindowTitle(QStringLiteral("Einstellungen"));
    maschine_ = new Maschinengruppe(ini, zustand, this);
    // The live display sits beside the points, where the column has room.
    auto* rechts = new QWidget(this);
    auto* reihe = new QHBoxLayout(rechts);
    punkte_ = new Punktegruppe(ini, zustand, rechts);
    anzeige_ = new Anzeigegruppe(ini, rechts);
    reihe->addWidget(punkte_);
    reihe->addWidget(anzeige_);
    slots_ = new Slotgruppe(ini, dialogs, uhr, this);
    wartung_ = new Wartungsgruppe(ini, club, dialogs, uhr, *slots_, this);
    auto* haupt = new QGridLayout(this);
    haupt->addWidget(maschine_, 0, 0);
    haupt->addWidget(rechts, 0, 1);
    haupt->addWidget(slots_, 1, 0, 1, 2);
    haupt->addWidget(wartung_, 2, 0, 1, 2);
    // The version of this program, as --version says it.
    auto* programm = new QLabel(QStringLiteral("Zielkunst ") + programmVersion(), this);
    programm->setObjectName(QStringLiteral("Programmversion"));
    haupt->addWidget(programm, 3, 1, Qt::AlignRight);
    connect(slots_, &Slotgruppe::geschrieben, this, &Einstellungen::slotsGeschrieben);
}

Einstellungen::~Einstellungen() = default;

void Einstellungen::setDatenbankWiederOeffnen(std::function<void()> f) {
    wartung_->setDatenbankWiederOeffnen(std::move(f));
}

void Einstellungen::setTabellenOeffnen(std::function<void()> f) {
    wartung_->setTabellenOeffnen(std::move(f));
}

void Einstellungen::setSicherungenOeffnen(std::function<void()> f) {
    wartung_->setSicherungenOeffnen(std::move(f));
}

bool Einstellungen::maschineGeaendert() const {
    return maschine_->maschine() != maschineBeimOeffnen_;
}

void Einstellungen::oeffnen() {
    // What the window writes while it fills its fields is no change of the user's.
    maschineBeimOeffnen_ = maschine_->maschine();
    anzeige_->laden();
    maschine_->laden();
    punkte_->laden();
    slots_->laden();
}

void Einstellungen::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit geschlossen();
}
