#include "members/ui/Mitgl.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/Hauptfelder.h"
#include "core/Zeilenbund.h"
#include "maintenance/VorAenderung.h"
#include "members/TabellenModell.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/SqlDialect.h"
#include "platform/widgets/Nebenfenster.h"
#include "reports/Feldeingabe.h"
#include "reports/Klassenzuordnung.h"
#include "reports/Mitgliederliste.h"
#include "reports/ui/Navigator.h"

namespace {

const QStringList kSpalten = {QStringLiteral("Nr"),         QStringLiteral("Name"),
                              QStringLiteral("Geburtstag"), QStringLiteral("Geschlecht"),
                              QStringLiteral("Strasse"),    QStringLiteral("Ort"),
                              QStringLiteral("Klasse")};

}  // namespace

Mitgl::Mitgl(ClubDatabase& club, const Hauptfelder& felder, const Abendzustand& zustand,
             Dialogs& dialogs, const Clock& uhr, QWidget* parent)
    : QWidget(parent, Qt::Window),
      club_(club),
      felder_(felder),
      zustand_(zustand),
      dialogs_(dialogs),
      uhr_(uhr) {
    setObjectName(QStringLiteral("Mitgl"));
    escSchliesst(this);
    setWindowTitle(QStringLiteral("Mitglieder"));
    modell_ = new TabellenModell(club_, QStringLiteral("Mitglieder"), kSpalten, this);
    modell_->eindeutig(QStringLiteral("Nr"), zeilenbund::nummerVergeben(QStringLiteral("%1")),
                       mitgliedsnummerFehlt());
    modell_->protokollieren(QStringLiteral("Nr"), uhr_);
    connect(modell_, &TabellenModell::abgelehnt, this,
            [this](const QString& grund) { dialogs_.message(grund); });

    auto* haupt = new QVBoxLayout(this);
    tabelle_ = new QTableView(this);
    tabelle_->setObjectName(QStringLiteral("Tabelle"));
    tabelle_->setModel(modell_);
    tabelle_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabelle_->setSelectionMode(QAbstractItemView::SingleSelection);
    tabelle_->installEventFilter(this);
    haupt->addWidget(tabelle_, 1);
    connect(tabelle_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &Mitgl::felderZeigen);
    connect(modell_, &QAbstractItemModel::dataChanged, this, &Mitgl::felderZeigen);

    auto* felderBox = new QGridLayout;
    const QStringList titel = {QStringLiteral("Nr"),         QStringLiteral("Name"),
                               QStringLiteral("Geburtstag"), QStringLiteral("Geschlecht"),
                               QStringLiteral("Straße"),     QStringLiteral("Ort")};
    for (int i = 1; i <= 6; ++i) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QStringLiteral("Text%1").arg(i));
        e->installEventFilter(this);
        Text[static_cast<std::size_t>(i)] = e;
        felderBox->addWidget(new QLabel(titel[i - 1], this), (i - 1) / 3, ((i - 1) % 3) * 2);
        felderBox->addWidget(e, (i - 1) / 3, ((i - 1) % 3) * 2 + 1);
        // What is typed reaches the table when the field is left (or Enter is pressed).
        connect(e, &QLineEdit::editingFinished, this, [this, i] { feldUebernehmen(i); });
    }
    haupt->addLayout(felderBox);
    haupt->addWidget(new QLabel(
        QStringLiteral("Mit Pfeiltasten kann ins nächste Feld gesprungen werden."), this));

    auto* unten = new QHBoxLayout;
    navigator_ = new Navigator(
        QStringLiteral("Mitglieder"), [this] { return aktuelleZeile(); },
        [this] { return modell_->rowCount(); }, [this](int zeile) { gehe(zeile); }, this);
    unten->addWidget(navigator_);
    unten->addSpacing(20);
    unten->addWidget(new QLabel(QStringLiteral("Sortieren nach"), this));
    QPushButton* nachName = knopf(this, QStringLiteral("NameButt"), QStringLiteral("Name"));
    connect(nachName, &QPushButton::clicked, this, [this] { sortieren(QStringLiteral("Name")); });
    unten->addWidget(nachName);
    QPushButton* nachNr = knopf(this, QStringLiteral("NrButt"), QStringLiteral("Mitglieds-Nr."));
    connect(nachNr, &QPushButton::clicked, this, [this] { sortieren(QStringLiteral("Nr")); });
    unten->addWidget(nachNr);
    unten->addStretch();
    haupt->addLayout(unten);

    auto* aktionen = new QHBoxLayout;
    QPushButton* neuKnopf =
        knopf(this, QStringLiteral("Neu_butt"), QStringLiteral("Neues Mitglied"));
    connect(neuKnopf, &QPushButton::clicked, this, &Mitgl::neu);
    QPushButton* weg =
        knopf(this, QStringLiteral("Loeschen_butt"), QStringLiteral("Mitglied löschen"));
    connect(weg, &QPushButton::clicked, this, &Mitgl::loeschen);
    QPushButton* klassen =
        knopf(this, QStringLiteral("Command2"), QStringLiteral("Klassen berechnen"));
    connect(klassen, &QPushButton::clicked, this, &Mitgl::klassenBerechnen);
    QPushButton* druck = knopf(this, QStringLiteral("Drucken"), QStringLiteral("Drucken"));
    connect(druck, &QPushButton::clicked, this, &Mitgl::drucken);
    for (QPushButton* b : {neuKnopf, weg, klassen, druck}) {
        aktionen->addWidget(b);
    }
    aktionen->addStretch();
    // The club's classes and point tables, where a newcomer looks for them.
    klassenKnopf_ = knopf(this, QStringLiteral("Klassen_butt"), QStringLiteral("Klassen …"));
    punkteKnopf_ = knopf(this, QStringLiteral("Punkte_butt"), QStringLiteral("Punktetabellen …"));
    for (QPushButton* b : {klassenKnopf_, punkteKnopf_}) {
        b->setEnabled(false);
        aktionen->addWidget(b);
    }
    connect(klassenKnopf_, &QPushButton::clicked, this, [this] {
        if (klassenOeffnen_)
            klassenOeffnen_();
    });
    connect(punkteKnopf_, &QPushButton::clicked, this, [this] {
        if (punkteOeffnen_)
            punkteOeffnen_();
    });
    haupt->addLayout(aktionen);
    resize(820, 560);

    // The window follows the club database the main window has open.
    connect(&club_, &ClubDatabase::geoeffnet, this, [this] {
        modell_->laden(modell_->ordnung());
        gehe(0);
    });
}

Mitgl::~Mitgl() = default;

void Mitgl::setKlassenOeffnen(std::function<void()> f) {
    klassenOeffnen_ = std::move(f);
    klassenKnopf_->setEnabled(static_cast<bool>(klassenOeffnen_));
}

void Mitgl::setPunkteOeffnen(std::function<void()> f) {
    punkteOeffnen_ = std::move(f);
    punkteKnopf_->setEnabled(static_cast<bool>(punkteOeffnen_));
}

void Mitgl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    modell_->laden(modell_->ordnung());
    gehe(0);
}

int Mitgl::aktuelleZeile() const {
    return tabelle_->currentIndex().row();
}

void Mitgl::gehe(int zeile) {
    if (modell_->rowCount() > 0) {
        zeile = std::clamp(zeile, 0, modell_->rowCount() - 1);
        tabelle_->setCurrentIndex(modell_->index(zeile, 0));
    }
    felderZeigen();
}

void Mitgl::felderZeigen() {
    const int z = aktuelleZeile();
    for (int i = 1; i <= 6; ++i) {
        const QVariant v = modell_->data(modell_->index(z, i - 1), Qt::DisplayRole);
        Text[static_cast<std::size_t>(i)]->setText(z < 0 ? QString() : v.toString());
    }
    navigator_->zeigen();
}

void Mitgl::feldUebernehmen(int feld) {
    const int z = aktuelleZeile();
    if (z < 0) {
        return;
    }
    const QString spalte = kSpalten[feld - 1];
    QLineEdit* e = Text[static_cast<std::size_t>(feld)];
    const QString gezeigt = modell_->data(modell_->index(z, feld - 1), Qt::DisplayRole).toString();
    if (e->text() == gezeigt) {
        return;
    }
    QString fehler;
    if (!modell_->setzen(z, spalte, e->text(), &fehler)) {
        dialogs_.message(fehler);
        e->setText(gezeigt);  // the old value stays, on screen as in the table
    }
}

bool Mitgl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    auto* taste = static_cast<QKeyEvent*>(event);
    // Delete in an open cell editor reaches the editor, not the grid.
    if (watched == tabelle_ && taste->key() == Qt::Key_Delete) {
        loeschen();
        return true;
    }
    for (int i = 1; i <= 6; ++i) {
        if (watched == Text[static_cast<std::size_t>(i)] &&
            (taste->key() == Qt::Key_Down || taste->key() == Qt::Key_Up)) {
            const int ziel = taste->key() == Qt::Key_Down ? std::min(i + 1, 6) : std::max(i - 1, 1);
            Text[static_cast<std::size_t>(ziel)]->setFocus();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Mitgl::sortieren(const QString& ordnung) {
    modell_->laden(ordnung);
    gehe(0);
}

void Mitgl::neu() {
    int nr = 1;
    try {
        nr = zeilenbund::naechsteMitgliedsnummer(club_.db());
    } catch (const DatabaseError& e) {
        dialogs_.message(e.message());
        return;
    }
    QString fehler;
    const int zeile = modell_->neu(
        {nr, QStringLiteral("Neues Mitglied"), QVariant(), QStringLiteral("m")}, &fehler);
    if (zeile < 0) {
        dialogs_.message(fehler);
        return;
    }
    gehe(zeile);
    Text[2]->setFocus();
    Text[2]->selectAll();
}

void Mitgl::loeschen() {
    const int z = aktuelleZeile();
    if (z < 0) {
        return;
    }
    const QString name = modell_->wert(z, QStringLiteral("Name")).toString();
    const QString nr = modell_->wert(z, QStringLiteral("Nr")).toString();
    if (!dialogs_.askYesNo(QStringLiteral("Mitglied %1 (Nr. %2) wirklich löschen?").arg(name, nr),
                           Dialogs::Vorgabe::Nein)) {
        return;
    }
    QString fehler;
    if (!modell_->loeschen(z, &fehler)) {
        dialogs_.message(fehler);
        return;
    }
    gehe(z);
}

void Mitgl::klassenBerechnen() {
    const QDate abend = sqldialect::parseShortDate(felder_.heuteText());
    if (!abend.isValid()) {
        dialogs_.message(QStringLiteral("Im Feld \"Heute\" des Hauptfensters steht kein gültiges "
                                        "Datum: \"%1\".")
                             .arg(felder_.heuteText()));
        return;
    }
    voraenderung::ankuendigen(QStringLiteral("Klassen berechnen"));
    Klassenzuordnung z;
    try {
        z = ::klassenBerechnen(club_.db(), stichtag(abend, zustand_.Saisonversatz),
                               modell_->ordnung(), uhr_.now());
    } catch (const DatabaseError& e) {
        dialogs_.message(QStringLiteral("Die Klassen wurden nicht berechnet.\n") + e.message());
        return;
    }
    modell_->laden(modell_->ordnung());
    gehe(0);  // back at the first member, so that "Drucken" prints everyone
    if (!z.meldungen.isEmpty()) {
        dialogs_.message(z.meldungen.join(u'\n'));
    }
}

void Mitgl::drucken() {
    const int ab = std::max(aktuelleZeile(), 0);
    SqlRows zeilen;
    for (int r = 0; r < modell_->rowCount(); ++r) {
        QVariantList zeile;
        for (const QString& s : kSpalten) {
            zeile << modell_->wert(r, s);
        }
        zeilen.rows.push_back(zeile);
    }
    zeilen.columns = kSpalten;
    const QString jetzt = uhr_.now().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    ausdrucken(dialogs_, uhr_, druckerWahl_, [&](Drucker& d) {
        mitgliederDrucken(d, zeilen, static_cast<std::size_t>(ab), jetzt);
    });
}
