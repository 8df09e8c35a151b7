#include "rangeimport/ui/MeytonImport.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "core/ClubDatabase.h"
#include "core/Hauptfelder.h"
#include "maintenance/VorAenderung.h"
#include "platform/Dialogs.h"
#include "platform/widgets/Bedienelemente.h"
#include "platform/widgets/Nebenfenster.h"

namespace {

// How long one turn of the event loop may import before the window answers again.
constexpr int kTaktMs = 40;

QComboBox* liste(QWidget* eltern, const QString& name) {
    auto* c = new QComboBox(eltern);
    c->setObjectName(name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMinimumWidth(220);
    return c;
}

}  // namespace

MeytonImport::MeytonImport(ClubDatabase& club, const Hauptfelder& haupt, Ini& ini,
                           Abendzustand& zustand, Dialogs& dialogs, const Clock& uhr,
                           QWidget* parent)
    : QWidget(parent, Qt::Window),
      club_(club),
      haupt_(haupt),
      ini_(ini),
      zustand_(zustand),
      dialogs_(dialogs),
      uhr_(uhr) {
    aufbauen();
    takt_ = new QTimer(this);
    takt_->setSingleShot(true);
    takt_->setInterval(0);
    connect(takt_, &QTimer::timeout, this, &MeytonImport::weiter);
}

MeytonImport::~MeytonImport() = default;

void MeytonImport::aufbauen() {
    setObjectName(QStringLiteral("MeytonImport"));
    escSchliesst(this);
    setWindowTitle(QStringLiteral("Meyton Import"));
    auto* haupt = new QVBoxLayout(this);

    auto* datum = new QGroupBox(QStringLiteral("Datumsoptionen"), this);
    auto* dl = new QGridLayout(datum);
    Alles_opt = option(datum, QStringLiteral("Alles_opt"), QStringLiteral("Alles"));
    Jahr_opt = option(datum, QStringLiteral("Jahr_opt"), QStringLiteral("Jahr"));
    Datum_opt = option(datum, QStringLiteral("Datum_opt"), QStringLiteral("Datum"));
    Jahr_txt = new QLineEdit(datum);
    Jahr_txt->setObjectName(QStringLiteral("Jahr_txt"));
    Jahr_txt->setMaxLength(4);
    Datum_txt = new QLineEdit(datum);
    Datum_txt->setObjectName(QStringLiteral("Datum_txt"));
    Datum_txt->setMaxLength(10);
    dl->addWidget(Alles_opt, 0, 0);
    dl->addWidget(Jahr_opt, 1, 0);
    dl->addWidget(Jahr_txt, 1, 1);
    dl->addWidget(Datum_opt, 2, 0);
    dl->addWidget(Datum_txt, 2, 1);
    Datum_opt->setChecked(true);
    haupt->addWidget(datum);

    auto* listen = new QGroupBox(QStringLiteral("Starterliste - Preisschießen"), this);
    auto* ll = new QGridLayout(listen);
    Liste_alle_opt = option(listen, QStringLiteral("Liste_alle_opt"), QStringLiteral("Alle"));
    Liste_opt = option(listen, QStringLiteral("Liste_opt"), QStringLiteral("Liste"));
    Listen_Combo = liste(listen, QStringLiteral("Listen_Combo"));
    ll->addWidget(Liste_alle_opt, 0, 0);
    ll->addWidget(Liste_opt, 1, 0);
    ll->addWidget(Listen_Combo, 1, 1);
    Liste_alle_opt->setChecked(true);
    haupt->addWidget(listen);

    auto* disziplin = new QGroupBox(QStringLiteral("Disziplin"), this);
    auto* zl = new QGridLayout(disziplin);
    Disziplin_alle_opt =
        option(disziplin, QStringLiteral("Disziplin_alle_opt"), QStringLiteral("Alle"));
    Disziplin_wertung_opt =
        option(disziplin, QStringLiteral("Disziplin_wertung_opt"), QStringLiteral("Alle Wertung"));
    Disziplin_opt = option(disziplin, QStringLiteral("Disziplin_opt"), QStringLiteral("Disziplin"));
    Disziplin_Combo = liste(disziplin, QStringLiteral("Disziplin_Combo"));
    zl->addWidget(Disziplin_alle_opt, 0, 0);
    zl->addWidget(Disziplin_wertung_opt, 1, 0);
    zl->addWidget(Disziplin_opt, 2, 0);
    zl->addWidget(Disziplin_Combo, 2, 1);
    Disziplin_alle_opt->setChecked(true);
    haupt->addWidget(disziplin);

    auto* vorhanden = new QGroupBox(QStringLiteral("Vorhandene Datensätze"), this);
    auto* vl = new QHBoxLayout(vorhanden);
    Aktualisieren_opt =
        option(vorhanden, QStringLiteral("Aktualisieren_opt"), QStringLiteral("Aktualisieren"));
    Belassen_opt = option(vorhanden, QStringLiteral("Belassen_opt"), QStringLiteral("Belassen"));
    vl->addWidget(Aktualisieren_opt);
    vl->addWidget(Belassen_opt);
    Aktualisieren_opt->setChecked(true);
    haupt->addWidget(vorhanden);

    Einzel_check = new QCheckBox(QStringLiteral("Einzeln bestätigen"), this);
    Einzel_check->setObjectName(QStringLiteral("Einzel_check"));
    SportpassID_check = new QCheckBox(QStringLiteral("SportpassID übernehmen"), this);
    SportpassID_check->setObjectName(QStringLiteral("SportpassID_check"));
    haupt->addWidget(Einzel_check);
    haupt->addWidget(SportpassID_check);

    Fortschritt = new QProgressBar(this);
    Fortschritt->setObjectName(QStringLiteral("Fortschritt"));
    Fortschritt->setRange(0, 1);
    Fortschritt->setValue(0);
    Fortschritt_lbl = new QLabel(this);
    Fortschritt_lbl->setObjectName(QStringLiteral("Fortschritt_lbl"));
    haupt->addWidget(Fortschritt);
    haupt->addWidget(Fortschritt_lbl);

    auto* knoepfe = new QHBoxLayout;
    Import_butt = knopf(this, QStringLiteral("Import_butt"), QStringLiteral("Import"));
    Abbrechen_butt = knopf(this, QStringLiteral("Abbrechen_butt"), QStringLiteral("Abbrechen"));
    Abbrechen_butt->setEnabled(false);
    knoepfe->addStretch();
    knoepfe->addWidget(Import_butt);
    knoepfe->addWidget(Abbrechen_butt);
    haupt->addLayout(knoepfe);

    connect(Import_butt, &QPushButton::clicked, this, &MeytonImport::importieren);
    connect(Abbrechen_butt, &QPushButton::clicked, this, &MeytonImport::abbrechen);
    // Choosing a list or discipline means filtering by it.
    connect(Listen_Combo, &QComboBox::activated, this, [this] { Liste_opt->setChecked(true); });
    connect(Disziplin_Combo, &QComboBox::activated, this,
            [this] { Disziplin_opt->setChecked(true); });
    for (QComboBox* c : {Listen_Combo, Disziplin_Combo}) {
        c->installEventFilter(this);
        c->lineEdit()->installEventFilter(this);
    }
    connect(Datum_txt, &QLineEdit::textEdited, this, [this] { Datum_opt->setChecked(true); });
    connect(Jahr_txt, &QLineEdit::textEdited, this, [this] { Jahr_opt->setChecked(true); });
}

bool MeytonImport::eventFilter(QObject* objekt, QEvent* ereignis) {
    if (ereignis->type() == QEvent::MouseButtonPress) {
        if (objekt == Listen_Combo || objekt == Listen_Combo->lineEdit()) {
            Liste_opt->setChecked(true);
        } else if (objekt == Disziplin_Combo || objekt == Disziplin_Combo->lineEdit()) {
            Disziplin_opt->setChecked(true);
        }
    }
    return QWidget::eventFilter(objekt, ereignis);
}

void MeytonImport::laden() {
    Datum_txt->setText(haupt_.heuteText());
    if (Jahr_txt->text().isEmpty()) {
        Jahr_txt->setText(haupt_.heuteText().right(4));
    }
    Listen_Combo->clear();
    Disziplin_Combo->clear();
    if (!verbinden()) {
        return;
    }
    listeFuellen(Listen_Combo, &starterlisten);
    listeFuellen(Disziplin_Combo, &disziplinen);
}

bool MeytonImport::verbinden() {
    // The range's server may have been restarted since the last read: a connection that
    // no longer answers is made anew.
    if (stand_.isOpen() && !stand_.gestoert() && standAntwortet(stand_)) {
        return true;
    }
    QString grund;
    if (stand_.open(kDatenquelle, &grund)) {
        return true;
    }
    verbindungsfehlerMelden(grund, stand_.einrichtungFehlt());
    return false;
}

// A data source that is not set up is the PC's matter; one that is set up but does not
// answer is the range's.
void MeytonImport::verbindungsfehlerMelden(const QString& grund, bool einrichtungFehlt) {
    if (einrichtungFehlt) {
        dialogs_.message(
            QStringLiteral("Fehler beim Öffnen der Datenbankverbindung zur Meyton-Datenbank. \n"
                           "Im System muss eine ODBC Verbindung mit dem Namen ssmdb2 konfiguriert "
                           "sein, die Namen und Passwort enthält.") +
            (grund.isEmpty() ? QString() : QStringLiteral("\n\n") + grund));
        return;
    }
    dialogs_.message(QStringLiteral("Der Rechner der Meyton-Anlage (Datenquelle %1) antwortet "
                                    "nicht oder ist nicht erreichbar; es wurde nichts gelesen.\n"
                                    "Bitte prüfen, ob er läuft und mit dem Netz verbunden ist, "
                                    "und es dann noch einmal versuchen.")
                         .arg(kDatenquelle) +
                     treiberzeile(grund));
}

void MeytonImport::listeFuellen(QComboBox* combo, QStringList (*werte)(Lesequelle&)) {
    try {
        combo->addItems(werte(stand_));
    } catch (const DatabaseError& e) {
        dialogs_.message(e.message());
    }
    combo->setCurrentIndex(-1);
}

Importauswahl MeytonImport::auswahl() const {
    Importauswahl a;
    a.datum = Alles_opt->isChecked()  ? Importauswahl::Datum::Alles
              : Jahr_opt->isChecked() ? Importauswahl::Datum::Jahr
                                      : Importauswahl::Datum::Tag;
    a.tag = Datum_txt->text();
    a.jahr = Jahr_txt->text();
    a.nurListe = Liste_opt->isChecked();
    a.liste = Listen_Combo->currentText();
    a.disziplin = Disziplin_opt->isChecked()           ? Importauswahl::Disziplin::Eine
                  : Disziplin_wertung_opt->isChecked() ? Importauswahl::Disziplin::Wertung
                                                       : Importauswahl::Disziplin::Alle;
    a.disziplinName = Disziplin_Combo->currentText();
    return a;
}

Importoptionen MeytonImport::optionen() const {
    Importoptionen o;
    o.aktualisieren = Aktualisieren_opt->isChecked();
    o.einzelnBestaetigen = Einzel_check->isChecked();
    o.sportpassUebernehmen = SportpassID_check->isChecked();
    return o;
}

void MeytonImport::importieren() {
    if (laeuft()) {
        return;
    }
    QString fehler;
    const QString sql = auswahlSql(auswahl(), &fehler);
    if (sql.isEmpty()) {
        dialogs_.message(fehler);
        return;
    }
    if (!club_.isOpen()) {
        dialogs_.message(QStringLiteral("Es ist keine Vereinsdatenbank geöffnet."));
        return;
    }
    // The range is read on a thread of its own: a range that does not answer holds neither
    // this window nor the main window, and "Abbrechen" stays at hand.
    bedienungFreigeben(false);
    Fortschritt->setRange(0, 0);
    Fortschritt_lbl->setText(QStringLiteral("Die Ergebnisse der Meyton-Anlage werden gelesen …"));
    const Importoptionen opt = optionen();
    leser_.starten(kDatenquelle, sql, this,
                   [this, sql, opt](Standleser::Ergebnis e) { gelesen(std::move(e), sql, opt); });
}

void MeytonImport::gelesen(Standleser::Ergebnis ergebnis, const QString& sql,
                           const Importoptionen& optionen) {
    Fortschritt->setRange(0, 1);
    Fortschritt->setValue(0);
    Fortschritt_lbl->clear();
    Database* club = nullptr;
    if (!ergebnis.daten) {
        verbindungsfehlerMelden(ergebnis.verbindungsfehler, ergebnis.einrichtungFehlt);
    } else {
        try {
            club = &club_.db();
        } catch (const DatabaseError& e) {
            dialogs_.message(e.message());
        }
    }
    if (!club) {
        bedienungFreigeben(true);
        emit importBeendet();
        return;
    }
    voraenderung::ankuendigen(QStringLiteral("Meyton Import"));
    vorgelesen_ = std::move(ergebnis.daten);
    import_ =
        std::make_unique<Meytonimport>(*vorgelesen_, *club, ini_, zustand_, dialogs_, uhr_,
                                       logpfade_);
    if (!import_->beginnen(sql, optionen)) {
        import_.reset();
        bedienungFreigeben(true);
        emit importBeendet();
        return;
    }
    Fortschritt->setRange(0, std::max(1, import_->gesamt()));
    Fortschritt->setValue(0);
    Fortschritt_lbl->setText(QStringLiteral("0 von %1 Ergebnissen").arg(import_->gesamt()));
    takt_->start();
}

void MeytonImport::weiter() {
    if (!import_) {
        return;
    }
    import_->stapel(kTaktMs);
    if (!import_) {
        return;
    }
    Fortschritt->setValue(import_->erledigt());
    Fortschritt_lbl->setText(
        QStringLiteral("%1 von %2 Ergebnissen").arg(import_->erledigt()).arg(import_->gesamt()));
    if (import_->fertig()) {
        beenden();
    } else {
        takt_->start();
    }
}

void MeytonImport::abbrechen() {
    if (!import_ && leser_.laeuft()) {
        // Still reading from the range: its answer is dropped whenever it comes.
        leser_.abbrechen();
        Fortschritt->setRange(0, 1);
        Fortschritt->setValue(0);
        Fortschritt_lbl->clear();
        bedienungFreigeben(true);
        dialogs_.message(QStringLiteral(
            "Der Import wurde abgebrochen, bevor die Ergebnisse der Meyton-Anlage gelesen "
            "waren; es wurde nichts importiert."));
        emit importBeendet();
        return;
    }
    if (import_) {
        import_->abbrechen();
        if (!takt_->isActive()) {
            // Asked from a box inside a turn: that turn ends the import.
            return;
        }
        takt_->stop();
        beenden();
    }
}

void MeytonImport::beenden() {
    std::unique_ptr<Meytonimport> fertig = std::move(import_);
    const QString text = fertig->abschliessen();
    fertig.reset();
    vorgelesen_.reset();
    bedienungFreigeben(true);
    dialogs_.message(text);
    emit importBeendet();
}

void MeytonImport::bedienungFreigeben(bool frei) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             Alles_opt, Jahr_opt, Datum_opt, Datum_txt, Jahr_txt, Liste_alle_opt, Liste_opt,
             Listen_Combo, Disziplin_alle_opt, Disziplin_wertung_opt, Disziplin_opt,
             Disziplin_Combo, Aktualisieren_opt, Belassen_opt, Einzel_check, SportpassID_check,
             Import_butt}) {
        w->setEnabled(frei);
    }
    Abbrechen_butt->setEnabled(!frei);
}

void MeytonImport::closeEvent(QCloseEvent* event) {
    if (!import_ && leser_.laeuft()) {
        leser_.abbrechen();  // closed while reading: nothing was imported, nothing to say
        bedienungFreigeben(true);
    } else {
        abbrechen();
    }
    stand_.close();
    QWidget::closeEvent(event);
}
