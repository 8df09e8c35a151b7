#include "members/ui/KlassenFenster.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/ClubDatabase.h"
#include "core/Schema.h"
#include "members/TabellenModell.h"
#include "platform/Dialogs.h"
#include "platform/widgets/Bedienelemente.h"
#include "reports/Klassenregeln.h"

KlassenFenster::KlassenFenster(ClubDatabase& club, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), club_(club), dialogs_(dialogs) {
    setObjectName(QStringLiteral("KlassenFenster"));
    setWindowTitle(QStringLiteral("Klassen"));
    modell_ = new TabellenModell(
        club_, QStringLiteral("Klassen"),
        {QStringLiteral("Klasse"), QStringLiteral("Bez"), QStringLiteral("UAlter"),
         QStringLiteral("OAlter"), QStringLiteral("Geschlecht")},
        this);
    modell_->setUeberschriften({QStringLiteral("Klasse (1–9)"), QStringLiteral("Bezeichnung"),
                                QStringLiteral("Alter von"), QStringLiteral("Alter bis"),
                                QStringLiteral("Geschlecht (m, w, mw)")});
    modell_->eindeutig(QStringLiteral("Klasse"), QStringLiteral("Die Klasse %1 gibt es schon."),
                       QStringLiteral("Jede Klasse braucht eine Nummer von 1 bis 9."));
    modell_->setPruefung(&klassen::feldPruefen);
    connect(modell_, &TabellenModell::abgelehnt, this,
            [this](const QString& grund) { dialogs_.message(grund); });
    connect(modell_, &TabellenModell::dataChanged, this, &KlassenFenster::pruefen);

    auto* v = new QVBoxLayout(this);
    v->addWidget(new QLabel(QStringLiteral("Ein Mitglied kommt in die erste Klasse, zu der "
                                           "sein Alter am Stichtag und sein Geschlecht passen."),
                            this));
    tabelle_ = new QTableView(this);
    tabelle_->setObjectName(QStringLiteral("Klassen_Grid"));
    tabelle_->setModel(modell_);
    tabelle_->horizontalHeader()->setStretchLastSection(true);
    tabelle_->setSelectionBehavior(QAbstractItemView::SelectRows);
    v->addWidget(tabelle_, 1);
    hinweis_ = new QLabel(this);
    hinweis_->setObjectName(QStringLiteral("Hinweis"));
    hinweis_->setWordWrap(true);
    hinweis_->setStyleSheet(QStringLiteral("color: #b00000;"));
    v->addWidget(hinweis_);
    auto* knoepfe = new QHBoxLayout;
    QPushButton* neuKnopf = knopf(this, QStringLiteral("Neu_butt"), QStringLiteral("Neue Klasse"));
    QPushButton* weg =
        knopf(this, QStringLiteral("Loeschen_butt"), QStringLiteral("Klasse löschen"));
    QPushButton* start =
        knopf(this, QStringLiteral("Start_butt"), QStringLiteral("Übliche Klassen eintragen"));
    QPushButton* zu = knopf(this, QStringLiteral("Schliessen_butt"), QStringLiteral("Schließen"));
    for (QPushButton* b : {neuKnopf, weg, start}) {
        knoepfe->addWidget(b);
    }
    knoepfe->addStretch();
    knoepfe->addWidget(zu);
    v->addLayout(knoepfe);
    connect(neuKnopf, &QPushButton::clicked, this, &KlassenFenster::neu);
    connect(weg, &QPushButton::clicked, this, &KlassenFenster::loeschen);
    connect(start, &QPushButton::clicked, this, &KlassenFenster::startklassen);
    connect(zu, &QPushButton::clicked, this, &QWidget::close);
    connect(&club_, &ClubDatabase::geoeffnet, this, &KlassenFenster::laden);
    resize(640, 420);
}

void KlassenFenster::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    laden();
}

void KlassenFenster::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void KlassenFenster::laden() {
    modell_->laden(QStringLiteral("Klasse"));
    pruefen();
}

QString KlassenFenster::hinweis() const {
    return hinweis_->text();
}

void KlassenFenster::pruefen() {
    SqlRows k;
    k.columns = {QStringLiteral("Klasse"), QStringLiteral("Bez"), QStringLiteral("UAlter"),
                 QStringLiteral("OAlter"), QStringLiteral("Geschlecht")};
    for (int r = 0; r < modell_->rowCount(); ++r) {
        QVariantList z;
        for (const QString& s : k.columns) {
            z << modell_->wert(r, s);
        }
        k.rows.push_back(z);
    }
    const QStringList u = klassen::ueberschneidungen(k);
    hinweis_->setText(u.isEmpty() ? QString()
                                  : QStringLiteral("Überschneidungen (es zählt die erste "
                                                   "passende Klasse):\n") +
                                        u.join(u'\n'));
}

void KlassenFenster::neu() {
    QList<int> belegt;
    for (int r = 0; r < modell_->rowCount(); ++r) {
        belegt << modell_->wert(r, QStringLiteral("Klasse")).toInt();
    }
    int frei = 1;
    while (frei <= 9 && belegt.contains(frei)) {
        ++frei;
    }
    if (frei > 9) {
        dialogs_.message(
            QStringLiteral("Es gibt schon neun Klassen, mehr kennen die "
                           "Punktetabellen nicht."));
        return;
    }
    QString fehler;
    const int r = modell_->neu({frei, QString(), 0, 130, QStringLiteral("mw")}, &fehler);
    if (r < 0) {
        dialogs_.message(QStringLiteral("Es wurde keine Klasse angelegt.\n") + fehler);
        return;
    }
    tabelle_->setCurrentIndex(modell_->index(r, 1));
    tabelle_->edit(modell_->index(r, 1));
    pruefen();
}

void KlassenFenster::loeschen() {
    const int r = tabelle_->currentIndex().row();
    if (r < 0) {
        return;
    }
    const QString frage = QStringLiteral("Klasse %1 (%2) wirklich löschen?")
                              .arg(modell_->wert(r, QStringLiteral("Klasse")).toString(),
                                   modell_->wert(r, QStringLiteral("Bez")).toString());
    if (!dialogs_.askYesNo(frage, Dialogs::Vorgabe::Nein)) {
        return;
    }
    QString fehler;
    if (!modell_->loeschen(r, &fehler)) {
        dialogs_.message(fehler);
    }
    pruefen();
}

void KlassenFenster::startklassen() {
    try {
        schema::startklassenEintragen(club_.db());
    } catch (const DatabaseError& e) {
        dialogs_.message(QStringLiteral("Die üblichen Klassen wurden nicht eingetragen.\n") +
                         e.message());
        return;
    }
    laden();
}
