#include "evening/ui/Tabellen.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "evening/Datensatzquelle.h"
#include "evening/ui/Seitenmodell.h"
#include "platform/Dialogs.h"
#include "platform/widgets/Knopf.h"
#include "reports/Export.h"

const QStringList Tabellen::kTabellen = {
    QStringLiteral("Mitglieder"), QStringLiteral("Ergebnis"), QStringLiteral("Einzelergebnisse"),
    QStringLiteral("Jahrestab"),  QStringLiteral("Klassen"),  QStringLiteral("Ringe"),
    QStringLiteral("Sonder"),     QStringLiteral("Teiler")};

Tabellen::Tabellen(ClubDatabase& club, Abendzustand& zustand, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), club_(club), zustand_(zustand), dialogs_(dialogs) {
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
    modell_ = new Seitenmodell(this);
    Tabellen_Grid->setModel(modell_);
    g->addWidget(Tabellen_Grid, 2, 0, 1, 5);
    g->setRowStretch(2, 1);
    auto* unten = new QHBoxLayout;
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
    anzeigen(QStringLiteral("SELECT * FROM ") + tabelle);
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
        for (const ColumnInfo& c : club_.db().columns(tabelle_)) {
            const QString typ = c.declaredType.toUpper();
            if (c.name.compare(Such_combo->currentText(), Qt::CaseInsensitive) == 0 &&
                (typ.startsWith(QLatin1String("INT")) || typ.startsWith(QLatin1String("LONG")) ||
                 typ.startsWith(QLatin1String("DOUBLE")) ||
                 typ.startsWith(QLatin1String("SINGLE")) ||
                 typ.startsWith(QLatin1String("YESNO")))) {
                dialogs_.message(
                    QStringLiteral("Im Feld %1 stehen Zahlen; nach dem Text \"%2\" "
                                   "findet die Suche nichts. Bitte eine Zahl eingeben.")
                        .arg(c.name, text));
            }
        }
    } catch (const DatabaseError&) {
    }
}

void Tabellen::sortieren() {
    anzeigen(::datensatzquelle(tabelle_, Such_combo->currentText(), Suchtext->text(),
                               Sortier_combo->currentText(), Filteranlass::Sortieren));
}

void Tabellen::inhaltLoeschen() {
    try {
        modell_->alleLoeschen();
    } catch (const DatabaseError& e) {
        dialogs_.message(QStringLiteral("Es wurde nichts gelöscht.\n") + e.message());
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
