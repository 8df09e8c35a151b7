#include "maintenance/ui/SicherungenFenster.h"

#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/ClubDatabase.h"
#include "core/DatenbankSlots.h"
#include "core/Ini.h"
#include "maintenance/Sicherungen.h"
#include "platform/Clock.h"
#include "platform/Dateien.h"
#include "platform/Dialogs.h"
#include "platform/Paths.h"
#include "platform/widgets/Bedienelemente.h"
#include "platform/widgets/Nebenfenster.h"


SicherungenFenster::SicherungenFenster(Ini& ini, ClubDatabase& club, Dialogs& dialogs,
                                       const Clock& uhr, QWidget* parent)
    : QWidget(parent, Qt::Window), ini_(ini), club_(club), dialogs_(dialogs), uhr_(uhr) {
    setObjectName(QStringLiteral("Sicherungen"));
    setWindowTitle(QStringLiteral("Sicherung zurückholen"));
    escSchliesst(this);
    auto* v = new QVBoxLayout(this);
    auto* oben = new QHBoxLayout;
    oben->addWidget(new QLabel(QStringLiteral("Datenbank:"), this));
    Slot_combo = new QComboBox(this);
    Slot_combo->setObjectName(QStringLiteral("Slot_combo"));
    oben->addWidget(Slot_combo, 1);
    v->addLayout(oben);
    Liste = new QTableWidget(0, 4, this);
    Liste->setObjectName(QStringLiteral("Liste"));
    Liste->setHorizontalHeaderLabels({QStringLiteral("Gesichert am"), QStringLiteral("Mitglieder"),
                                      QStringLiteral("Abende"), QStringLiteral("Letzter Abend")});
    Liste->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Liste->setSelectionBehavior(QAbstractItemView::SelectRows);
    Liste->setSelectionMode(QAbstractItemView::SingleSelection);
    Liste->horizontalHeader()->setStretchLastSection(true);
    v->addWidget(Liste, 1);
    auto* knoepfe = new QHBoxLayout;
    QPushButton* sichern =
        knopf(this, QStringLiteral("Sichern_butt"), QStringLiteral("Jetzt sichern"));
    QPushButton* holen =
        knopf(this, QStringLiteral("Zurueckholen_butt"), QStringLiteral("Zurückholen"));
    QPushButton* zu = knopf(this, QStringLiteral("Schliessen_butt"), QStringLiteral("Schließen"));
    knoepfe->addWidget(sichern);
    knoepfe->addWidget(holen);
    knoepfe->addStretch();
    knoepfe->addWidget(zu);
    v->addLayout(knoepfe);
    connect(Slot_combo, &QComboBox::activated, this, [this] { fuellen(); });
    connect(sichern, &QPushButton::clicked, this, &SicherungenFenster::jetztSichern);
    connect(holen, &QPushButton::clicked, this,
            [this] { zurueckholen(Liste->currentRow()); });
    connect(zu, &QPushButton::clicked, this, &QWidget::close);
    resize(640, 420);
}

void SicherungenFenster::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    slotsLaden();
}

void SicherungenFenster::slotsLaden() {
    const int gewaehlt = std::max(0, Slot_combo->currentIndex());
    Slot_combo->clear();
    const DatenbankSlots liste = leseSlots(ini_);
    for (int i = 0; i < 4; ++i) {
        const auto& s = liste[static_cast<std::size_t>(i)];
        Slot_combo->addItem(QStringLiteral("%1: %2 (%3)")
                                .arg(i + 1)
                                .arg(s.name.isEmpty() ? QStringLiteral("–") : s.name,
                                     paths::resolve(s.datei)));
    }
    Slot_combo->setCurrentIndex(gewaehlt);
    fuellen();
}

void SicherungenFenster::slotWaehlen(int slot) {
    if (Slot_combo->count() == 0) {
        slotsLaden();
    }
    Slot_combo->setCurrentIndex(slot);
    fuellen();
}

QString SicherungenFenster::datenbank() const {
    const DatenbankSlots liste = leseSlots(ini_);
    const int i = std::clamp(Slot_combo->currentIndex(), 0, 3);
    return paths::resolve(liste[static_cast<std::size_t>(i)].datei);
}

int SicherungenFenster::zeilen() const {
    return Liste->rowCount();
}

void SicherungenFenster::fuellen() {
    const sicherungen::Regel regel = sicherungen::regelLesen(ini_);
    const std::vector<sicherungen::Sicherung> alle = sicherungen::liste(regel.ordner, datenbank());
    Liste->setRowCount(static_cast<int>(alle.size()));
    dateien_.clear();
    for (int r = 0; r < static_cast<int>(alle.size()); ++r) {
        const auto& s = alle[static_cast<std::size_t>(r)];
        const sicherungen::Inhalt i = sicherungen::inhalt(s.datei);
        dateien_ << s.datei;
        const QStringList felder = {s.zeit.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
                                    QString::number(i.mitglieder), QString::number(i.abende),
                                    QDate::fromString(i.letzterAbend, Qt::ISODate).toString(QStringLiteral("dd.MM.yyyy"))};
        for (int c = 0; c < felder.size(); ++c) {
            Liste->setItem(r, c, new QTableWidgetItem(felder[c]));
        }
    }
    Liste->resizeColumnsToContents();
}

void SicherungenFenster::jetztSichern() {
    QString ziel;
    QString fehler;
    const auto e = sicherungen::sichern(datenbank(), sicherungen::regelLesen(ini_), uhr_.now(),
                                        &ziel, &fehler);
    if (e == sicherungen::Ergebnis::Gesichert) {
        dialogs_.message(QStringLiteral("Gesichert in \"%1\".").arg(ziel));
    } else if (e == sicherungen::Ergebnis::Unveraendert) {
        dialogs_.message(QStringLiteral("Seit der letzten Sicherung hat sich nichts geändert."));
    } else {
        dialogs_.message(fehler);
    }
    fuellen();
}

void SicherungenFenster::zurueckholen(int zeile) {
    if (zeile < 0 || zeile >= dateien_.size()) {
        dialogs_.message(QStringLiteral("Bitte zuerst eine Sicherung in der Liste wählen."));
        return;
    }
    const QString db = datenbank();
    const QString frage =
        QStringLiteral("Die Datenbank \"%1\" durch die Sicherung vom %2 ersetzen?\n"
                       "Was seither gespeichert wurde, steht danach nur noch in der Sicherung "
                       "des jetzigen Stands, die zuerst angelegt wird.")
            .arg(db, Liste->item(zeile, 0)->text());
    if (!dialogs_.askYesNo(frage, Dialogs::Vorgabe::Nein)) {
        return;
    }
    // The main window lets go of the file while it is replaced, and opens it again after.
    const bool offen = club_.isOpen() && (club_.db().path() == db ||
                                          dateien::dieselbeDatei(club_.db().path(), db));
    if (offen) {
        club_.CloseDatabase();
    }
    QString vorher;
    QString fehler;
    const bool ok = sicherungen::zurueckholen(dateien_[zeile], db, sicherungen::regelLesen(ini_),
                                              uhr_.now(), &vorher, &fehler);
    // A club file that was missing or damaged could not be open: the main window opens
    // the one brought back.
    if (wiederOeffnen_ && (offen || (ok && !club_.isOpen()))) {
        wiederOeffnen_();
    }
    dialogs_.message(!ok ? QStringLiteral("Die Sicherung wurde nicht zurückgeholt.\n") + fehler
                     : vorher.isEmpty()
                         ? QStringLiteral("Die Sicherung wurde zurückgeholt. Die Datei \"%1\" "
                                          "gab es vorher nicht.")
                               .arg(db)
                         : QStringLiteral("Die Sicherung wurde zurückgeholt. Der Stand davor ist "
                                          "aufbewahrt in \"%1\".")
                               .arg(vorher));
    fuellen();
}
