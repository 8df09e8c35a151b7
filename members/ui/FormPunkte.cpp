#include "members/ui/FormPunkte.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/Sonder.h"
#include "core/Zahlen.h"
#include "members/TabellenModell.h"
#include "platform/Dialogs.h"
#include "platform/widgets/Nebenfenster.h"

namespace {

QStringList spaltenMitKlassen(const QString& grenze) {
    QStringList s{grenze, QStringLiteral("Punkte")};
    for (int k = 1; k <= 9; ++k) {
        s << QStringLiteral("Klasse%1").arg(k);
    }
    return s;
}

}  // namespace

FormPunkte::FormPunkte(ClubDatabase& club, Abendzustand& zustand, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), club_(club), zustand_(zustand), dialogs_(dialogs) {
    setObjectName(QStringLiteral("FormPunkte"));
    escSchliesst(this);
    setWindowTitle(QStringLiteral("Punkte"));
    ringe_ = new TabellenModell(club_, QStringLiteral("Ringe"),
                                spaltenMitKlassen(QStringLiteral("URinge")), this);
    teiler_ = new TabellenModell(club_, QStringLiteral("Teiler"),
                                 spaltenMitKlassen(QStringLiteral("OTeiler")), this);
    ringe_->setUeberschriften({QStringLiteral("ab Ringen"), QStringLiteral("Punkte")});
    teiler_->setUeberschriften({QStringLiteral("unter Teiler"), QStringLiteral("Punkte")});
    ringTafel_.modell = ringe_;
    teilerTafel_.modell = teiler_;
    for (TabellenModell* m : {ringe_, teiler_}) {
        connect(m, &TabellenModell::abgelehnt, this,
                [this](const QString& grund) { dialogs_.message(grund); });
    }

    auto* haupt = new QVBoxLayout(this);
    haupt->addWidget(tafel(ringTafel_, QStringLiteral("Ringpunkte (ab Ringen)"),
                           QStringLiteral("DBGrid1"), QStringLiteral("Klass1a")));
    haupt->addWidget(tafel(teilerTafel_, QStringLiteral("Teilerpunkte (unter Teiler)"),
                           QStringLiteral("DBGrid2"), QStringLiteral("Klasse1b")));

    auto* sonder = new QGridLayout;
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text2 = new QLineEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    sonder->addWidget(new QLabel(QStringLiteral("Punkte für  Anwesenheit"), this), 0, 0);
    sonder->addWidget(Text1, 0, 1);
    sonder->addWidget(new QLabel(QStringLiteral("Teilerwert Luftpistole"), this), 1, 0);
    sonder->addWidget(Text2, 1, 1);
    sonder->setColumnStretch(2, 1);
    haupt->addLayout(sonder);
    connect(Text1, &QLineEdit::editingFinished, this,
            [this] { sonderSchreiben(QStringLiteral("AnwPunkte"), Text1); });
    connect(Text2, &QLineEdit::editingFinished, this,
            [this] { sonderSchreiben(QStringLiteral("PistolenTeiler"), Text2); });
    resize(760, 600);
    connect(&club_, &ClubDatabase::geoeffnet, this, &FormPunkte::laden);
}

FormPunkte::~FormPunkte() = default;

QWidget* FormPunkte::tafel(Tafel& t, const QString& titel, const QString& gridName,
                           const QString& boxName) {
    auto* box = new QGroupBox(titel, this);
    auto* v = new QVBoxLayout(box);
    t.tabelle = new QTableView(box);
    t.tabelle->setObjectName(gridName);
    t.tabelle->setModel(t.modell);
    t.tabelle->setSelectionBehavior(QAbstractItemView::SelectRows);
    t.tabelle->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int k = 1; k <= 9; ++k) {
        t.tabelle->setColumnHidden(k + 1, true);  // the check boxes below show them
    }
    v->addWidget(t.tabelle, 1);
    auto* zeile = new QHBoxLayout;
    zeile->addWidget(new QLabel(QStringLiteral("Gültig für Klasse 1 - 9"), box));
    for (int k = 1; k <= 9; ++k) {
        auto* c = new QCheckBox(QString::number(k), box);
        c->setObjectName(QStringLiteral("%1_%2").arg(boxName).arg(k));
        t.klassen[static_cast<std::size_t>(k)] = c;
        zeile->addWidget(c);
        // A click writes the field of the current row at once.
        connect(c, &QCheckBox::clicked, this, [this, &t, k](bool an) {
            const int r = t.tabelle->currentIndex().row();
            QString fehler;
            if (r >= 0 && !t.modell->setzen(r, QStringLiteral("Klasse%1").arg(k), an, &fehler)) {
                dialogs_.message(fehler);
            }
            haekchenZeigen(t);
        });
    }
    zeile->addStretch();
    auto* neu = new QPushButton(QStringLiteral("Neue Zeile"), box);
    auto* weg = new QPushButton(QStringLiteral("Zeile löschen"), box);
    zeile->addWidget(neu);
    zeile->addWidget(weg);
    v->addLayout(zeile);
    connect(t.tabelle->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this, &t] { haekchenZeigen(t); });
    connect(neu, &QPushButton::clicked, this, [this, &t] {
        QString fehler;
        const int r = t.modell->neu({0, 0}, &fehler);
        if (r < 0) {
            dialogs_.message(fehler);
            return;
        }
        t.tabelle->setCurrentIndex(t.modell->index(r, 0));
        t.tabelle->edit(t.modell->index(r, 0));
    });
    connect(weg, &QPushButton::clicked, this, [this, &t] {
        const int r = t.tabelle->currentIndex().row();
        if (r < 0 || !dialogs_.askYesNo(QStringLiteral("Diese Zeile wirklich löschen?"),
                                        Dialogs::Vorgabe::Nein)) {
            return;
        }
        QString fehler;
        if (!t.modell->loeschen(r, &fehler)) {
            dialogs_.message(fehler);
        }
        haekchenZeigen(t);
    });
    return box;
}

void FormPunkte::haekchenZeigen(Tafel& t) {
    const int r = t.tabelle->currentIndex().row();
    for (int k = 1; k <= 9; ++k) {
        QCheckBox* c = t.klassen[static_cast<std::size_t>(k)];
        c->setEnabled(r >= 0);
        c->setChecked(r >= 0 &&
                      t.modell->wert(r, QStringLiteral("Klasse%1").arg(k)).toDouble() != 0);
    }
}

void FormPunkte::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    laden();
}

void FormPunkte::laden() {
    for (Tafel* t : {&ringTafel_, &teilerTafel_}) {
        t->modell->laden();
        if (t->modell->rowCount() > 0) {
            t->tabelle->setCurrentIndex(t->modell->index(0, 0));
        }
        haekchenZeigen(*t);
    }
    try {
        const sonder::Werte s = sonder::lesen(club_.db());
        Text1->setText(s.da ? s.anwPunkte.toString() : QString());
        Text2->setText(s.da ? zahlText(s.pistolenTeiler.toDouble(), 7) : QString());
    } catch (const DatabaseError& e) {
        dialogs_.message(e.message());
    }
}

// The values live in the one row of Sonder; the evening uses its copies at once.
void FormPunkte::sonderSchreiben(const QString& feld, QLineEdit* e) {
    QString text = e->text().trimmed();
    text.replace(u',', u'.');
    bool ok = false;
    const double wert = text.isEmpty() ? 0 : text.toDouble(&ok);
    if (!text.isEmpty() && (!ok || !std::isfinite(wert) || std::fabs(wert) > 32767)) {
        dialogs_.message(QStringLiteral("\"%1\" ist keine gültige Zahl.").arg(e->text()));
        laden();
        return;
    }
    // An evening awards whole attendance points: what is stored is what it awards.
    if (feld == QLatin1String("AnwPunkte") && wert != std::trunc(wert)) {
        dialogs_.message(
            QStringLiteral("Punkte für Anwesenheit sind ganze Zahlen; \"%1\" ist keine.")
                .arg(e->text()));
        laden();
        return;
    }
    try {
        sonder::schreiben(club_.db(), feld, wert);
    } catch (const DatabaseError& ex) {
        dialogs_.message(ex.message());
        laden();
        return;
    }
    if (feld == QLatin1String("AnwPunkte")) {
        zustand_.AnwPunkte = static_cast<std::int16_t>(rundeGerade(wert));
    } else {
        zustand_.PistolenTeiler = static_cast<float>(wert);
    }
}
