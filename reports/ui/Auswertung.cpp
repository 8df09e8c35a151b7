#include "reports/ui/Auswertung.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include "core/Abendzustand.h"
#include "core/Aenderungen.h"
#include "core/ClubDatabase.h"
#include "core/Hauptfelder.h"
#include "core/Zahlen.h"
#include "core/Zeilenbund.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Druckausgabe.h"
#include "platform/Paths.h"
#include "platform/Textdatei.h"
#include "platform/widgets/Nebenfenster.h"
#include "platform/widgets/Twips.h"
#include "reports/Aenderungsliste.h"
#include "reports/Ausdruck.h"
#include "reports/Export.h"
#include "reports/Jahrestab.h"
#include "reports/Klassenausdruck.h"
#include "reports/Klassenname.h"
#include "reports/ui/Navigator.h"
#include "reports/ui/ZeilenModell.h"

Auswertung::Auswertung(ClubDatabase& club, const Hauptfelder& felder, const Abendzustand& zustand,
                       Dialogs& dialogs, const Clock& uhr, QWidget* parent)
    : QWidget(parent, Qt::Window),
      club_(club),
      felder_(felder),
      zustand_(zustand),
      dialogs_(dialogs),
      uhr_(uhr) {
    aufbauen();
}

Auswertung::~Auswertung() = default;

void Auswertung::setPunkteOeffnen(std::function<void()> oeffnen) {
    punkteOeffnen_ = std::move(oeffnen);
    Einst->setEnabled(static_cast<bool>(punkteOeffnen_));
}

void Auswertung::aufbauen() {
    setObjectName(QStringLiteral("Auswertung"));
    escSchliesst(this);
    setWindowTitle(QStringLiteral("Auswertung"));
    auto* haupt = new QVBoxLayout(this);

    auto* listen = new QHBoxLayout;
    const std::array<std::tuple<const char*, const char*, void (Auswertung::*)()>, 7> arten = {{
        {"Heute", "Heute", &Auswertung::heute},
        {"LWoche", "Letzte Woche", &Auswertung::letzteWoche},
        {"Jahr", "Jahr", &Auswertung::jahr},
        {"Alles", "Alles", &Auswertung::alles},
        {"Schuetze_butt", "Einzelschütze", &Auswertung::schuetze},
        {"DelButt", "X", &Auswertung::roh},
        {"Aenderungen_butt", "Änderungen", &Auswertung::aenderungen},
    }};
    for (const auto& [name, text, handler] : arten) {
        QPushButton* b = knopf(this, QString::fromLatin1(name), QString::fromUtf8(text));
        connect(b, &QPushButton::clicked, this, handler);
        listen->addWidget(b);
    }
    listen->addStretch();
    check_klassen = new QCheckBox(QStringLiteral("Klassen ang."), this);
    check_klassen->setObjectName(QStringLiteral("check_klassen"));
    listen->addWidget(check_klassen);
    haupt->addLayout(listen);

    auto* sortZeile = new QHBoxLayout;
    sortZeile->addWidget(new QLabel(QStringLiteral("Sortiert nach"), this));
    sortiertNach_ = new QLabel(this);
    sortiertNach_->setObjectName(QStringLiteral("Sortierung"));
    sortiertNach_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Gesammt DESC")));
    sortZeile->addWidget(sortiertNach_);
    const std::array<std::tuple<const char*, const char*, const char*>, 6> sortierungen = {{
        {"NameButt", "Name", "Name"},
        {"Best10butt", "Beste 10", "Best10 DESC"},
        {"Best20Butt", "Beste 20", "Best20 DESC"},
        {"GesammtButt", "Gesamt", "Gesammt DESC"},
        {"TeilerButt", "Teiler", "Teiler"},
        {"PunkteButt", "Punkte", "Punkte DESC"},
    }};
    for (const auto& [name, text, klausel] : sortierungen) {
        QPushButton* b = knopf(this, QString::fromLatin1(name), QString::fromLatin1(text));
        const QString k = QString::fromLatin1(klausel);
        connect(b, &QPushButton::clicked, this, [this, k] { sortieren(k); });
        sortZeile->addWidget(b);
    }
    sortZeile->addStretch();
    haupt->addLayout(sortZeile);

    // The log's filter, shown with its listing.
    aendFilter_ = new QWidget(this);
    auto* filter = new QHBoxLayout(aendFilter_);
    filter->setContentsMargins(0, 0, 0, 0);
    auto feld = [this, filter](const char* name, const char* beschriftung, int zeichen) {
        auto* e = new QLineEdit(aendFilter_);
        e->setObjectName(QString::fromLatin1(name));
        e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QString(zeichen + 2, u'0')));
        auto* l = new QLabel(QString::fromUtf8(beschriftung), aendFilter_);
        l->setBuddy(e);
        filter->addWidget(l);
        filter->addWidget(e);
        connect(e, &QLineEdit::returnPressed, this, &Auswertung::aenderungen);
        return e;
    };
    AendNr = feld("AendNr", "&Mitglied", 6);
    AendVon = feld("AendVon", "geändert &vom", 10);
    AendBis = feld("AendBis", "&bis", 10);
    QPushButton* anzeigen =
        knopf(aendFilter_, QStringLiteral("AendZeigen"), QStringLiteral("Anzeigen"));
    connect(anzeigen, &QPushButton::clicked, this, &Auswertung::aenderungen);
    filter->addWidget(anzeigen);
    filter->addStretch();
    aendFilter_->hide();
    haupt->addWidget(aendFilter_);

    modell_ = new ZeilenModell(this);
    tabelle_ = new QTableView(this);
    tabelle_->setObjectName(QStringLiteral("Tabelle"));
    tabelle_->setModel(modell_);
    tabelle_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabelle_->setSelectionMode(QAbstractItemView::SingleSelection);
    tabelle_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tabelle_->installEventFilter(this);
    haupt->addWidget(tabelle_, 1);
    connect(tabelle_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &Auswertung::positionZeigen);

    auto* unten = new QHBoxLayout;
    navigator_ = new Navigator(
        QStringLiteral("Datensatz"), [this] { return tabelle_->currentIndex().row(); },
        [this] { return modell_->rowCount(); }, [this](int zeile) { gehe(zeile); }, this);
    unten->addWidget(navigator_);
    unten->addStretch();
    Loeschen_butt = knopf(this, QStringLiteral("Loeschen_butt"), QStringLiteral("Löschen"));
    connect(Loeschen_butt, &QPushButton::clicked, this, &Auswertung::loeschen);
    unten->addWidget(Loeschen_butt);
    QPushButton* drucken = knopf(this, QStringLiteral("Drucken"), QStringLiteral("Drucken"));
    connect(drucken, &QPushButton::clicked, this, &Auswertung::drucken);
    unten->addWidget(drucken);
    QPushButton* exportKnopf = knopf(this, QStringLiteral("Export"), QStringLiteral("Export"));
    connect(exportKnopf, &QPushButton::clicked, this, &Auswertung::exportieren);
    unten->addWidget(exportKnopf);
    QPushButton* klassen =
        knopf(this, QStringLiteral("DruckKl"), QStringLiteral("Drucken nach Klassen"));
    connect(klassen, &QPushButton::clicked, this, &Auswertung::druckenNachKlassen);
    unten->addWidget(klassen);
    Einst = knopf(this, QStringLiteral("Einst"), QStringLiteral("Einstellungen"));
    Einst->setEnabled(false);  // until the point tables are attached
    connect(Einst, &QPushButton::clicked, this, [this] {
        if (punkteOeffnen_)
            punkteOeffnen_();
    });
    unten->addWidget(Einst);
    haupt->addLayout(unten);
    resize(760, 520);
}

// ---- activation ---------------------------------------------------------------------

void Auswertung::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    aktiviert();
}

void Auswertung::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange) {
        return;
    }
    // Back from another window of the program: the evening again. Back from a message box
    // (a modal window took the focus): everything stays as it was.
    if (!isActiveWindow()) {
        zuDialog_ = QApplication::activeModalWidget() != nullptr;
        return;
    }
    if (!zuDialog_) {
        aktiviert();
    }
    zuDialog_ = false;
}

void Auswertung::aktiviert() {
    sortierung_ = QStringLiteral("Name");
    heute();
}

// ---- listings -----------------------------------------------------------------------

bool Auswertung::zeigen(const QString& basis, const QString& anweisung, Listenart art) {
    SqlRows zeilen;
    const bool roh = art == Listenart::Roh;
    try {
        zeilen = listen::lesen(club_.db(), anweisung, roh);
    } catch (const DatabaseError& e) {
        dialogs_.message(e.message());
        return false;
    }
    // In the year table Anwesend counts the evenings; elsewhere it and Liegend are yes/no.
    modell_->setZeilen(std::move(zeilen), roh,
                       art == Listenart::Jahr || art == Listenart::Aenderungen
                           ? QStringList()
                           : QStringList{QStringLiteral("Anwesend"), QStringLiteral("Liegend")});
    basis_ = basis;
    anweisung_ = anweisung;
    art_ = art;
    Loeschen_butt->setEnabled(roh);
    aendFilter_->setVisible(art == Listenart::Aenderungen);
    sortiertNach_->setText(
        art == Listenart::Aenderungen
            ? QStringLiteral("Zeit, neueste zuerst")
            : QString(sortierung_).replace(QStringLiteral("Gesammt"), QStringLiteral("Gesamt")));
    if (roh) {
        tabelle_->setColumnWidth(5, twipsZuPixel(tabelle_, 800));
    }
    if (art == Listenart::Aenderungen) {
        spaltenEinpassen();
    }
    gehe(0);
    return true;
}

void Auswertung::spaltenEinpassen() {
    // A long summary of shots is cut in its cell; the whole text is its tooltip.
    const int hoechstens = fontMetrics().horizontalAdvance(QString(34, u'0'));
    tabelle_->resizeColumnsToContents();
    int breite = tabelle_->verticalHeader()->width() + 2 * tabelle_->frameWidth() +
                 tabelle_->verticalScrollBar()->sizeHint().width() + 4;
    for (int c = 0; c < modell_->columnCount(); ++c) {
        tabelle_->setColumnWidth(c, std::min(tabelle_->columnWidth(c), hoechstens));
        breite += tabelle_->columnWidth(c);
    }
    const QMargins rand = layout()->contentsMargins();
    breite += rand.left() + rand.right();
    const QScreen* bildschirm = screen();
    const int platz = bildschirm ? bildschirm->availableGeometry().width() : 1366;
    if (width() < breite) {
        resize(std::min(breite, platz), height());
    }
}

void Auswertung::heute() {
    const Abfrage a = listen::abend(felder_, Listenart::Heute);
    if (!a.ok()) {
        dialogs_.message(a.fehler);
        return;
    }
    zeigen(a.basis, listen::sortiert(a.basis, sortierung_), Listenart::Heute);
}

void Auswertung::letzteWoche() {
    const Abfrage a = listen::abend(felder_, Listenart::LetzteWoche);
    if (!a.ok()) {
        dialogs_.message(a.fehler);
        return;
    }
    zeigen(a.basis, listen::sortiert(a.basis, sortierung_), Listenart::LetzteWoche);
}

void Auswertung::alles() {
    const Abfrage a = listen::alles(felder_);
    if (!a.ok()) {
        dialogs_.message(a.fehler);
        return;
    }
    zeigen(a.basis, listen::sortiert(a.basis, sortierung_), Listenart::Alles);
}

void Auswertung::jahr() {
    if (!neuSortieren_) {
        try {
            jahrestabNeuAufbauen(club_.db(), zustand_.Saisonjahr);
        } catch (const DatabaseError& e) {
            dialogs_.message(QStringLiteral("Die Jahrestabelle konnte nicht neu berechnet werden; "
                                            "es bleibt die bisherige.\n") +
                             e.message());
        }
    }
    neuSortieren_ = false;
    zeigen(listen::kJahr, listen::sortiert(listen::kJahr, sortierung_), Listenart::Jahr);
}

void Auswertung::schuetze() {
    sortierung_ = QStringLiteral("Datum");
    schuetzenliste();
}

void Auswertung::schuetzenliste() {
    const Abfrage a = listen::schuetze(felder_);
    if (!a.ok()) {
        dialogs_.message(a.fehler);
        return;
    }
    zeigen(a.basis, a.basis + QStringLiteral(" ORDER BY ") + sortierung_, Listenart::Schuetze);
}

void Auswertung::roh() {
    zeigen(listen::kRoh, listen::kRoh, Listenart::Roh);
}

void Auswertung::aenderungen() {
    const aenderungsliste::Filter filter{AendNr->text(), AendVon->text(), AendBis->text()};
    const Abfrage a = aenderungsliste::abfrage(filter);
    if (!a.ok()) {
        dialogs_.message(a.fehler);
        return;
    }
    if (zeigen(a.basis, a.basis, Listenart::Aenderungen)) {
        aendGezeigt_ = filter;
    }
}

void Auswertung::sortieren(const QString& sortierung) {
    sortierung_ = sortierung;
    sortiertNach_->setText(
        QString(sortierung_).replace(QStringLiteral("Gesammt"), QStringLiteral("Gesamt")));
    switch (art_) {
        case Listenart::Heute:
            heute();
            break;
        case Listenart::LetzteWoche:
            letzteWoche();
            break;
        case Listenart::Alles:
            alles();
            break;
        case Listenart::Schuetze:
            // a history has no names to sort by
            if (sortierung != QLatin1String("Name")) {
                schuetzenliste();
            }
            break;
        case Listenart::Jahr:
            neuSortieren_ = true;
            jahr();
            break;
        case Listenart::Roh:
        case Listenart::Aenderungen:  // always newest first
            sortiertNach_->setText(QStringLiteral("Zeit, neueste zuerst"));
            break;
    }
}

// ---- the raw table ------------------------------------------------------------------

bool Auswertung::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tabelle_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        loeschen();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Auswertung::loeschen() {
    const int zeile = tabelle_->currentIndex().row();
    if (art_ != Listenart::Roh || zeile < 0) {
        return;
    }
    const bool ja = dialogs_.askYesNo(QStringLiteral("Diesen Datensatz wirklich löschen"),
                                      Dialogs::Vorgabe::Nein);
    if (!ja) {
        return;
    }
    try {
        // The row goes with its shots, and what they held stays in the log, together.
        Database& db = club_.db();
        Transaction t(db);
        zeilenbund::ergebnisseLoeschen(db, {modell_->schluessel(zeile)}, QStringLiteral("Gelöscht"),
                                       uhr_.now());
        t.commit();
    } catch (const DatabaseError& e) {
        dialogs_.message(e.message());
        return;
    }
    if (zeigen(listen::kRoh, listen::kRoh, Listenart::Roh)) {
        gehe(std::min(zeile, modell_->rowCount() - 1));  // on to the next row
    }
}

void Auswertung::gehe(int zeile) {
    if (modell_->rowCount() == 0) {
        positionZeigen();
        return;
    }
    zeile = std::clamp(zeile, 0, modell_->rowCount() - 1);
    tabelle_->setCurrentIndex(modell_->index(zeile, 0));
    positionZeigen();
}

void Auswertung::positionZeigen() {
    navigator_->zeigen();
}

// ---- printing -----------------------------------------------------------------------

void Auswertung::ausgeben(const std::function<void(Drucker&)>& layout) {
    ausdrucken(dialogs_, uhr_, druckerWahl_, layout);
}

Druckkopf Auswertung::kopf() const {
    return {art_ == Listenart::LetzteWoche ? felder_.nTagText() : felder_.heuteText(),
            felder_.sNameText(), uhr_.now().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"))};
}

void Auswertung::drucken() {
    if (art_ == Listenart::Roh) {
        return;
    }
    if (art_ == Listenart::Aenderungen) {
        SqlRows zeilen;
        try {
            zeilen = listen::lesen(club_.db(), anweisung_);
        } catch (const DatabaseError& e) {
            dialogs_.message(e.message());
            return;
        }
        ausgeben([&](Drucker& d) { aenderungsliste::drucken(d, zeilen, kopf(), aendGezeigt_); });
        return;
    }
    SqlRows zeilen;
    try {
        zeilen = listen::lesen(club_.db(), listen::druckAbfrage(basis_, sortierung_, anweisung_));
    } catch (const DatabaseError& e) {
        dialogs_.message(e.message());
        return;
    }
    const bool mitKlasse = check_klassen->isChecked();
    Database& db = club_.db();
    ausgeben([&](Drucker& d) {
        listeDrucken(d, art_, zeilen, kopf(), [&db, mitKlasse](const QString& name) {
            try {
                return NameMitKlasse(db, name, mitKlasse);
            } catch (const DatabaseError&) {
                return name;  // a name whose class cannot be read prints as it is
            }
        });
    });
}

void Auswertung::druckenNachKlassen() {
    std::vector<KlassenBlock> bloecke;
    try {
        bloecke = listen::klassenBloecke(club_.db(), basis_, art_, sortierung_);
        if (bloecke.empty()) {
            return;  // a history and the raw table have no classes to print
        }
    } catch (const DatabaseError& e) {
        dialogs_.message(e.message());
        return;
    }
    ausgeben([&](Drucker& d) { klassenDrucken(d, art_, bloecke, kopf()); });
}

// ---- export -------------------------------------------------------------------------

void Auswertung::exportieren() {
    if (anweisung_.isEmpty()) {
        return;
    }
    try {
        listeExportieren(club_.db(), anweisung_, sqldialect::HashDateOrder::MonthFirst,
                         zustand_.Exportdatei, zustand_.Exporttrenner, dialogs_);
    } catch (const DatabaseError& e) {
        dialogs_.message(e.message());
    }
}
