#include "maintenance/ui/Wartungsgruppe.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include <array>

#include "core/ClubDatabase.h"
#include "core/Ini.h"
#include "core/Ueber.h"
#include "maintenance/Konvertierung.h"
#include "maintenance/Tabellenuebernahme.h"
#include "maintenance/Vereinsumzug.h"
#include "maintenance/ui/Slotgruppe.h"
#include "maintenance/ui/Tabellenfortschritt.h"
#include "platform/Dialogs.h"
#include "platform/Paths.h"
#include "platform/widgets/Bedienelemente.h"

Wartungsgruppe::Wartungsgruppe(Ini& ini, ClubDatabase& club, Dialogs& dialogs, const Clock& uhr,
                               const Slotgruppe& dateien, QWidget* parent)
    : QWidget(parent), ini_(ini), club_(club), dialogs_(dialogs), uhr_(uhr), slots_(dateien) {
    auto* g = new QGridLayout(this);
    Command1 = knopf(this, QStringLiteral("Command1"),
                     QStringLiteral("Ausgewählte Tabellen von 1 nach 4 übernehmen"));
    Command2 = knopf(this, QStringLiteral("Command2"),
                     QStringLiteral("Mitglieder Tabellen von 1 nach 4 übernehmen"));
    Command3 = knopf(this, QStringLiteral("Command3"),
                     QStringLiteral("Ergebnisse Tabelle 1 und 4 nach Tag sortieren"));
    DB_Convert =
        knopf(this, QStringLiteral("DB_Convert"), QStringLiteral("DB Version aktualisieren "));
    DBTabAnz = knopf(this, QStringLiteral("DBTabAnz"), QStringLiteral("DB Tabellen anzeigen"));
    DBTabAnz->setEnabled(false);
    Umzug_butt = knopf(this, QStringLiteral("Umzug_butt"),
                       QStringLiteral("Vereinsdatenbank 1 in neue Datenbank 4 kopieren"));
    g->addWidget(Command1, 0, 0);
    g->addWidget(Command2, 1, 0);
    g->addWidget(
        new QLabel(QStringLiteral("Jede Tabelle wird abgefragt, ob sie übernommen werden soll"),
                   this),
        0, 1, 2, 1);
    g->addWidget(Command3, 2, 0);
    g->addWidget(
        new QLabel(
            QStringLiteral(
                "Bei Datenbank 1 muss ein Wochentag ausgewählt werden, bei Datenbank 4 „REST“"),
            this),
        2, 1);
    g->addWidget(DB_Convert, 3, 0);
    g->addWidget(DBTabAnz, 3, 1);
    g->addWidget(Umzug_butt, 4, 0);
    g->addWidget(new QLabel(QStringLiteral("4: eine neue Datei oder eine leere Datenbank auf dem "
                                           "Server (mariadb://benutzer@rechner:port/datenbank)"),
                            this),
                 4, 1);
    Ueber_butt = knopf(this, QStringLiteral("Ueber_butt"), QStringLiteral("Über Zielkunst (F12)"));
    g->addWidget(Ueber_butt, 5, 0);
    Sicherungen_butt =
        knopf(this, QStringLiteral("Sicherungen_butt"), QStringLiteral("Sicherung zurückholen"));
    Sicherungen_butt->setEnabled(false);
    g->addWidget(Sicherungen_butt, 5, 1);
    verbinden();
}

void Wartungsgruppe::verbinden() {
    connect(Sicherungen_butt, &QPushButton::clicked, this, [this] {
        if (sicherungenOeffnen_) {
            sicherungenOeffnen_();
        }
    });
    connect(Ueber_butt, &QPushButton::clicked, this, [this] {
        dialogs_.message(ueberText(ini_.path(), club_.isOpen() ? club_.db().path() : QString()));
    });
    connect(DBTabAnz, &QPushButton::clicked, this, [this] {
        if (tabellenOeffnen_) {
            tabellenOeffnen_();
        }
    });
    connect(Command1, &QPushButton::clicked, this, [this] {
        Tabellenuebernahme(dialogs_, uhr_, slots_.datei(0), slots_.datei(3)).ausgewaehlteTabellen();
    });
    connect(Command2, &QPushButton::clicked, this, [this] {
        Tabellenuebernahme(dialogs_, uhr_, slots_.datei(0), slots_.datei(3)).mitglieder();
    });
    connect(Command3, &QPushButton::clicked, this, [this] {
        Tabellenuebernahme(dialogs_, uhr_, slots_.datei(0), slots_.datei(3))
            .nachTagSortieren(slots_.tag(0));
    });
    connect(Umzug_butt, &QPushButton::clicked, this, &Wartungsgruppe::umziehen);
    connect(DB_Convert, &QPushButton::clicked, this, [this] {
        const std::array<QString, 4> pfade = {slots_.datei(0), slots_.datei(1), slots_.datei(2),
                                              slots_.datei(3)};
        ::DB_Convert(club_, pfade, dialogs_, [this] {
            if (wiederOeffnen_) {
                wiederOeffnen_();
            }
        });
    });
}

void Wartungsgruppe::setSicherungenOeffnen(std::function<void()> f) {
    sicherungenOeffnen_ = std::move(f);
    Sicherungen_butt->setEnabled(static_cast<bool>(sicherungenOeffnen_));
}

void Wartungsgruppe::setTabellenOeffnen(std::function<void()> f) {
    tabellenOeffnen_ = std::move(f);
    DBTabAnz->setEnabled(static_cast<bool>(tabellenOeffnen_));
}

void Wartungsgruppe::umziehen() {
    const QString von = paths::resolve(slots_.datei(0));
    const QString nach = paths::resolve(slots_.datei(3));
    if (von.isEmpty() || nach.isEmpty() || von == nach) {
        dialogs_.message(
            QStringLiteral("Unter 1 und unter 4 müssen zwei verschiedene "
                           "Datenbanken angegeben sein."));
        return;
    }
    Umzugsbericht bericht;
    QString fehler;
    bool ok = false;
    {
        Tabellenfortschritt fortschritt(QStringLiteral("Umzug"),
                                        QStringLiteral("Kopiere den Verein ..."), this);
        ok = vereinUmziehen(
            von, nach,
            [&](int fertig, int gesamt, const QString& t) {
                fortschritt.melden(fertig, gesamt, t);
            },
            &bericht, &fehler,
            [this](const QString& frage) {
                return dialogs_.askYesNo(frage, Dialogs::Vorgabe::Nein);
            });
    }
    if (!ok) {
        dialogs_.message(QStringLiteral("Der Verein wurde nicht kopiert.\n") + fehler);
        return;
    }
    dialogs_.message(QStringLiteral("\"%1\" wurde nach \"%2\" kopiert: %3 Zeilen.\n")
                         .arg(von, nach)
                         .arg(bericht.zeilen) +
                     bericht.tabellen.join(u'\n'));
}
