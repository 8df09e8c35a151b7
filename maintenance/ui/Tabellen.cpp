#include "maintenance/ui/Tabellen.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "maintenance/Datensatzquelle.h"
#include "maintenance/Seitenmodell.h"
#include "maintenance/VorAenderung.h"
#include "platform/Dialogs.h"
#include "platform/widgets/Bedienelemente.h"
#include "platform/widgets/Nebenfenster.h"
#include "reports/Export.h"

const QStringList Tabellen::kTabellen = {
    QStringLiteral("Mitglieder"), QStringLiteral("Ergebnis"), QStringLiteral("Einzelergebnisse"),
    QStringLiteral("Jahrestab"),  QStringLiteral("Klassen"),  QStringLiteral("Ringe"),
    QStringLiteral("Sonder"),     QStringLiteral("Teiler"),   QStringLiteral("Aenderungen")};

Tabellen::Tabellen(ClubDatabase& club, Abendzustand& zustand, Dialogs& dialogs, const Clock& uhr,
                   QWidget* parent)
    : QWidget(parent, Qt::Window), club_(club), zustand_(zustand), dialogs_(dialogs), uhr_(uhr) {
    aufbauen();
    connect(&club_, &ClubDatabase::geoeffnet, this, &Tabellen::datenbankGeoeffnet);
    connect(&club_, &ClubDatabase::geschlossen, this, [this] { modell_->leeren(); });
    Tabellen_combo->addItems(kTabellen);
    Tabellen_combo->setCurrentIndex(0);
    tabelleWaehlen(Tabellen_combo->currentText());
}

Tabellen::~Tabellen() = default;

void Tabellen::aufbauen() {
    setObjectName(QStringLiteral("Tabellen"));
    escSchliesst(this);
    setWindowTitle(QStringLiteral("Tabellen"));
    auto* g = new QGridLayout(this);
    auto combo = [this](const QString& name) {
        auto* c = new QComboBox(this);
        c->setObjectName(name);
        c->setMinimumWidth(160);
        return c;
    };
    Tabellen_combo = combo(QStringLiteral("Tabellen_combo"));
    Such_combo = combo(QStringLiteral("Such_combo"));
    Sortier_combo = combo(QStringLiteral("Sortier_combo"));
    Suchtext = new QLineEdit(this);
    Suchtext->setObjectName(QStringLiteral("Suchtext"));
    Suchen_butt = knopf(this, QStringLiteral("Suchen_butt"), QStringLiteral("Suchen"));
    delete_butt = knopf(this, QStringLiteral("delete_butt"), QStringLiteral("InhaltLöschen"));
    Export = knopf(this, QStringLiteral("Export"), QStringLiteral("Export"));
    NeueZeile_butt = knopf(this, QStringLiteral("NeueZeile_butt"), QStringLiteral("Neue Zeile"));
    auto label = [this](const QString& text, QWidget* fuer) {
        auto* l = new QLabel(text, this);
        l->setBuddy(fuer);
        return l;
    };
    g->addWidget(label(QStringLiteral("Tabellen / Abfragen"), Tabellen_combo), 0, 0);
    g->addWidget(Tabellen_combo, 1, 0);
    g->addWidget(label(QStringLiteral("Suchen in Feld nach"), Such_combo), 0, 1);
    g->addWidget(Such_combo, 1, 1);
    g->addWidget(Suchtext, 1, 2);
    g->addWidget(Suchen_butt, 1, 3);
    g->addWidget(label(QStringLiteral("Sortieren nach"), Sortier_combo), 0, 4);
    g->addWidget(Sortier_combo, 1, 4);
    Tabellen_Grid = new QTableView(this);
    Tabellen_Grid->setObjectName(QStringLiteral("Tabellen_Grid"));
    Tabellen_Grid->setMinimumSize(400, 200);
    Tabellen_Grid->verticalHeader()->setDefaultSectionSize(
        Tabellen_Grid->verticalHeader()->minimumSectionSize());
    modell_ = new Seitenmodell(uhr_, this);
    Tabellen_Grid->setModel(modell_);
    g->addWidget(Tabellen_Grid, 2, 0, 1, 5);
    g->setRowStretch(2, 1);
    auto* unten = new QHBoxLayout;
    unten->addWidget(NeueZeile_butt);
    unten->addWidget(delete_butt);
    unten->addStretch();
    unten->addWidget(Export);
    g->addLayout(unten, 3, 0, 1, 5);
    resize(900, 600);

    connect(Tabellen_combo, &QComboBox::activated, this,
            [this] { tabelleWaehlen(Tabellen_combo->currentText()); });
    connect(Suchen_butt, &QPushButton::clicked, this, &Tabellen::suchen);
    connect(Suchtext, &QLineEdit::returnPressed, this, &Tabellen::suchen);
    connect(Sortier_combo, &QComboBox::activated, this, &Tabellen::sortieren);
    connect(delete_butt, &QPushButton::clicked, this, &Tabellen::inhaltLoeschen);
    connect(NeueZeile_butt, &QPushButton::clicked, this, &Tabellen::neueZeile);
    connect(Export, &QPushButton::clicked, this, &Tabellen::exportieren);
    connect(modell_, &Seitenmodell::abgelehnt, this,
            [this](const QString& grund) { dialogs_.message(grund); });
}

bool Tabellen::anzeigen(const QString& quelle) {
    if (!club_.isOpen()) {
        modell_->leeren();
        quelle_ = quelle;
        return false;
    }
    QString fehler;
    const QString sql = mitZeilennummer(quelle, &fehler);
    if (sql.isEmpty()) {
        dialogs_.message(fehler);
        return false;
    }
    try {
        modell_->setQuelle(&club_.db(), tabelle_, sql);
    } catch (const DatabaseError& e) {
        dialogs_.message(e.message());  // the rows shown before stay
        return false;
    }
    quelle_ = quelle;
    return true;
}

void Tabellen::tabelleWaehlen(const QString& tabelle) {
    tabelle_ = tabelle;
    anzeigen(::datensatzquelle(tabelle, {}, {}, {}, Filteranlass::Suchen));
    Such_combo->clear();
    Sortier_combo->clear();
    Such_combo->addItems(modell_->spalten());
    Sortier_combo->addItems(modell_->spalten());
    Such_combo->setCurrentIndex(-1);
    Sortier_combo->setCurrentIndex(-1);
}

void Tabellen::suchen() {
    anzeigen(::datensatzquelle(tabelle_, Such_combo->currentText(), Suchtext->text(),
                               Sortier_combo->currentText(), Filteranlass::Suchen));
    // A text looked for in a field of numbers finds nothing: say why rather than show an
    // empty table.
    const QString text = Suchtext->text().trimmed();
    if (modell_->rowCount() > 0 || text.isEmpty() ||
        filterwert(text, Filteranlass::Suchen).op != QLatin1String(" LIKE ")) {
        return;
    }
    try {
        if (zahlenfeld(club_.db(), tabelle_, Such_combo->currentText())) {
            dialogs_.message(QStringLiteral("Im Feld %1 stehen Zahlen; nach dem Text \"%2\" "
                                            "findet die Suche nichts. Bitte eine Zahl eingeben.")
                                 .arg(Such_combo->currentText(), text));
        }
    } catch (const DatabaseError&) {
    }
}

void Tabellen::sortieren() {
    anzeigen(::datensatzquelle(tabelle_, Such_combo->currentText(), Suchtext->text(),
                               Sortier_combo->currentText(), Filteranlass::Sortieren));
}

void Tabellen::inhaltLoeschen() {
    const int zeilen = modell_->rowCount();
    if (zeilen == 0) {
        return;
    }
    const QString frage =
        zeilen == 1
            ? QStringLiteral("Die gezeigte Zeile der Tabelle %1 wirklich löschen?").arg(tabelle_)
            : QStringLiteral("Alle %1 gezeigten Zeilen der Tabelle %2 wirklich löschen?")
                  .arg(zeilen)
                  .arg(tabelle_);
    if (!dialogs_.askYesNo(frage, Dialogs::Vorgabe::Nein)) {
        return;
    }
    voraenderung::ankuendigen(QStringLiteral("Zeilen löschen"));
    try {
        modell_->alleLoeschen();
    } catch (const DatabaseError& e) {
        dialogs_.message(QStringLiteral("Es wurde nichts gelöscht.\n") + e.message());
    }
}

// A new row at the end of the table, shown and ready to be typed into; a member gets the
// next free number, since a member without one is refused.
void Tabellen::neueZeile() {
    if (!club_.isOpen() || tabelle_.isEmpty()) {
        return;
    }
    if (tabelle_ == QLatin1String("Aenderungen")) {
        dialogs_.message(QStringLiteral("Das Änderungsprotokoll wird nicht verändert."));
        return;
    }
    try {
        neueZeileAnlegen(club_.db(), tabelle_);
    } catch (const DatabaseError& e) {
        dialogs_.message(QStringLiteral("Es wurde keine Zeile angelegt.\n") + e.message());
        return;
    }
    Suchtext->clear();
    tabelleWaehlen(tabelle_);  // every row in stored order: the new one is the last
    const int letzte = modell_->rowCount() - 1;
    if (letzte >= 0) {
        const QModelIndex i = modell_->index(letzte, 0);
        Tabellen_Grid->setCurrentIndex(i);
        Tabellen_Grid->scrollTo(i);
        Tabellen_Grid->edit(i);
    }
}

void Tabellen::exportieren() {
    if (!club_.isOpen() || quelle_.isEmpty()) {
        return;
    }
    try {
        listeExportieren(club_.db(), quelle_, sqldialect::HashDateOrder::DayFirst,
                         zustand_.Exportdatei, zustand_.Exporttrenner, dialogs_);
    } catch (const DatabaseError& e) {
        dialogs_.message(e.message());
    }
}

void Tabellen::datenbankGeoeffnet() {
    // The same table of the newly opened file, from its first row.
    tabelleWaehlen(tabelle_.isEmpty() ? kTabellen.first() : tabelle_);
}
