#include "maintenance/ui/Einstellungen.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/Einstellungen.h"
#include "core/Ini.h"
#include "core/Ueber.h"
#include "core/Zahlen.h"
#include "display/ui/Anzeigegruppe.h"
#include "maintenance/Konvertierung.h"
#include "maintenance/Tabellenuebernahme.h"
#include "maintenance/Vereinsumzug.h"
#include "maintenance/ui/Accessangebot.h"
#include "maintenance/ui/Tabellenfortschritt.h"
#include "platform/Cp1252.h"
#include "platform/Dialogs.h"
#include "platform/Paths.h"
#include "platform/widgets/Knopf.h"
#include "platform/widgets/Nebenfenster.h"

const QStringList Einstellungen::kWochentage = {
    QStringLiteral("Mo"), QStringLiteral("Di"),   QStringLiteral("Mi"),
    QStringLiteral("Do"), QStringLiteral("Fr"),   QStringLiteral("Sa"),
    QStringLiteral("So"), QStringLiteral("KEIN"), QStringLiteral("REST")};

const QStringList Einstellungen::kFarben = {
    QStringLiteral("&HFFFFFF_Weiss"),      QStringLiteral("&H0101FF_Rot"),
    QStringLiteral("&H01FFFF_Gelb"),       QStringLiteral("&H2FFFAD_Grüngelb"),
    QStringLiteral("&HFF901E_Doger Blau"), QStringLiteral("&HFF7084_Violett"),
    QStringLiteral("&HD4FF7F_Aquamarin"),  QStringLiteral("&H8F8FBC_Rost"),
    QStringLiteral("&H13458B_Braun"),      QStringLiteral("&H1E69D2_Schokolade"),
    QStringLiteral("&H0FB9FF_Dunke Gold"), QStringLiteral("&H01D7FF_Gold"),
    QStringLiteral("&HFFE2C6_Grau"),       QStringLiteral("&H01FF01_Zitronengrün"),
    QStringLiteral("&H01A5FF_Orange"),     QStringLiteral("&H7280FA_Lachs"),
    QStringLiteral("&H9314FF_Pink"),       QStringLiteral("&HD1CE01_Türkis")};

namespace {

QRadioButton* option(QWidget* eltern, QButtonGroup* gruppe, const QString& name,
                     const QString& text) {
    auto* o = new QRadioButton(text, eltern);
    o->setObjectName(name);
    gruppe->addButton(o);
    return o;
}

// A colour as wettk.ini keeps it ("&H01D7FF_Gold": the value, then its name) is shown by
// its name; the stored text is the item's data and is what is written back.
QString farbname(const QString& gespeichert) {
    const qsizetype strich = gespeichert.indexOf(u'_');
    const QString name = strich >= 0 ? gespeichert.mid(strich + 1).trimmed() : QString();
    if (name == QLatin1String("Doger Blau")) {
        return QStringLiteral("Dodgerblau");
    }
    if (name == QLatin1String("Dunke Gold")) {
        return QStringLiteral("Dunkelgold");
    }
    if (name == QLatin1String("Weiss")) {
        return QStringLiteral("Weiß");
    }
    return name.isEmpty() ? gespeichert : name;
}

void farbeZeigen(QComboBox* c, const QString& gespeichert) {
    int i = c->findData(gespeichert);
    if (i < 0 && !gespeichert.isEmpty()) {
        c->addItem(farbname(gespeichert), gespeichert);  // a colour of the club's own
        i = c->count() - 1;
    }
    if (i >= 0) {
        c->setCurrentIndex(i);
    } else {
        c->setEditText(gespeichert);
    }
}

QString farbeWert(const QComboBox* c) {
    const QString text = c->currentText();
    const int i = c->findText(text);
    return i >= 0 ? c->itemData(i).toString() : text;  // typed by hand: as typed
}

QLineEdit* feld(QWidget* eltern, const QString& name) {
    auto* e = new QLineEdit(eltern);
    e->setObjectName(name);
    return e;
}

QComboBox* liste(QWidget* eltern, const QString& name) {
    auto* c = new QComboBox(eltern);
    c->setObjectName(name);
    c->setEditable(true);  // a stored value outside the list is shown as it is
    c->setInsertPolicy(QComboBox::NoInsert);
    return c;
}

}  // namespace

Einstellungen::Einstellungen(Ini& ini, Abendzustand& zustand, ClubDatabase& club, Dialogs& dialogs,
                             QWidget* parent)
    : QWidget(parent, Qt::Window), ini_(ini), zustand_(zustand), club_(club), dialogs_(dialogs) {
    aufbauen();
    verbinden();
}

Einstellungen::~Einstellungen() = default;

void Einstellungen::aufbauen() {
    setObjectName(QStringLiteral("Einstellungen"));
    escSchliesst(this);
    setWindowTitle(QStringLiteral("Einstellungen"));
    auto* haupt = new QGridLayout(this);
    haupt->addWidget(aufbauMaschine(), 0, 0);
    haupt->addWidget(aufbauPunkte(), 0, 1);
    haupt->addWidget(aufbauSlots(), 1, 0, 1, 2);
    haupt->addWidget(aufbauWartung(), 2, 0, 1, 2);
    // The version of this program, as --version says it.
    auto* programm = new QLabel(QStringLiteral("Zielkunst ") + programmVersion(), this);
    programm->setObjectName(QStringLiteral("Programmversion"));
    haupt->addWidget(programm, 3, 1, Qt::AlignRight);
}

QWidget* Einstellungen::aufbauMaschine() {
    auto* box = new QWidget(this);
    auto* l = new QVBoxLayout(box);
    auto* wert = new QGroupBox(QStringLiteral("Wertmaschine"), box);
    auto* wl = new QVBoxLayout(wert);
    maschinen_ = new QButtonGroup(this);
    Disag = option(wert, maschinen_, QStringLiteral("Disag"), QStringLiteral("Disag RM III"));
    RMIV = option(wert, maschinen_, QStringLiteral("RMIV"),
                  QStringLiteral("Disag RM III WIN (RM IV Windows S)"));
    SAM = option(wert, maschinen_, QStringLiteral("SAM"), QStringLiteral("SAM"));
    for (QRadioButton* o : {Disag, RMIV, SAM}) {
        wl->addWidget(o);
    }
    l->addWidget(wert);
    l->addWidget(new QLabel(
        QStringLiteral("Bei SAM müssen die Werte an der Maschine eingegeben werden."), box));
    auto* port = new QHBoxLayout;
    auto* portText = new QLabel(QStringLiteral("Com Port"), box);
    Text1 = feld(box, QStringLiteral("Text1"));
    Text1->setMaximumWidth(60);
    portText->setBuddy(Text1);
    port->addWidget(portText);
    port->addWidget(Text1);
    port->addStretch();
    l->addLayout(port);
    Win_L = new QCheckBox(QStringLiteral("Windows L (Langsam)"), box);
    Win_L->setObjectName(QStringLiteral("Win_L"));
    l->addWidget(Win_L);
    auto* monat = new QHBoxLayout;
    auto* monatText = new QLabel(QStringLiteral("Monat Saisonende"), box);
    Mon_Saisonstart = feld(box, QStringLiteral("Mon_Saisonstart"));
    Mon_Saisonstart->setMaximumWidth(60);
    monatText->setBuddy(Mon_Saisonstart);
    monat->addWidget(monatText);
    monat->addWidget(Mon_Saisonstart);
    monat->addStretch();
    l->addLayout(monat);
    Anz_Debug = new QCheckBox(QStringLiteral("Debug Infos ausgeben"), box);
    Anz_Debug->setObjectName(QStringLiteral("Anz_Debug"));
    l->addWidget(Anz_Debug);
    l->addStretch();
    return box;
}

QWidget* Einstellungen::aufbauPunkte() {
    auto* box = new QWidget(this);
    auto* l = new QHBoxLayout(box);
    auto* ringe = new QGroupBox(QStringLiteral("Punkte Ringe"), box);
    auto* rl = new QVBoxLayout(ringe);
    punkte_ = new QButtonGroup(this);
    Erster_Schuss =
        option(ringe, punkte_, QStringLiteral("Erster_Schuss"), QStringLiteral("Erster Schuss"));
    Erste10 = option(ringe, punkte_, QStringLiteral("Erste10"), QStringLiteral("Erste 10  Schuss"));
    Erste20 = option(ringe, punkte_, QStringLiteral("Erste20"), QStringLiteral("Erste 20  Schuss"));
    Erste40 = option(ringe, punkte_, QStringLiteral("Erste40"), QStringLiteral("Erste 40 Schuss"));
    Best10 = option(ringe, punkte_, QStringLiteral("Best10"), QStringLiteral("Beste 10 Schuss"));
    Best20 = option(ringe, punkte_, QStringLiteral("Best20"), QStringLiteral("Beste 20 Schuss "));
    Best40 = option(ringe, punkte_, QStringLiteral("Best40"), QStringLiteral("Beste 40 Schuss"));
    Best60 = option(ringe, punkte_, QStringLiteral("Best60"), QStringLiteral("60 Schuss"));
    for (QRadioButton* o :
         {Erster_Schuss, Erste10, Erste20, Erste40, Best10, Best20, Best40, Best60}) {
        rl->addWidget(o);
    }
    l->addWidget(ringe);
    auto* teiler = new QGroupBox(QStringLiteral("Punkte Teiler"), box);
    auto* tl = new QVBoxLayout(teiler);
    teiler_ = new QButtonGroup(this);
    T_Erster = option(teiler, teiler_, QStringLiteral("T_Erster"), QStringLiteral("Erster Schuss"));
    T_Erste10 =
        option(teiler, teiler_, QStringLiteral("T_Erste10"), QStringLiteral("Erste 10  Schuss"));
    T_Alle = option(teiler, teiler_, QStringLiteral("T_Alle"), QStringLiteral("Alle  Schuss"));
    for (QRadioButton* o : {T_Erster, T_Erste10, T_Alle}) {
        tl->addWidget(o);
    }
    tl->addStretch();
    l->addWidget(teiler);
    // The live display sits below the points, where the column has room.
    anzeige_ = new Anzeigegruppe(ini_, box);
    l->addWidget(anzeige_);
    return box;
}

QWidget* Einstellungen::aufbauSlots() {
    auto* box = new QGroupBox(this);
    auto* g = new QGridLayout(box);
    g->addWidget(new QLabel(QStringLiteral("DB Bezeichnung"), box), 0, 1);
    g->addWidget(new QLabel(QStringLiteral("DB Datei"), box), 0, 2);
    g->addWidget(new QLabel(QStringLiteral("Farbe"), box), 0, 4);
    g->addWidget(new QLabel(QStringLiteral("Wochentag"), box), 0, 5);
    for (int i = 0; i < 4; ++i) {
        const auto s = static_cast<std::size_t>(i);
        const QString n = QString::number(i + 1);
        g->addWidget(new QLabel(n, box), i + 1, 0);
        bez_[s] = feld(box, QStringLiteral("DB%1Bez").arg(n));
        datei_[s] = feld(box, QStringLiteral("DB%1Datei").arg(n));
        datei_[s]->setMinimumWidth(320);
        auswahl_[s] = knopf(box, QStringLiteral("Auswahl") + n, QStringLiteral("Auswahl"));
        farbe_[s] = liste(box, QStringLiteral("Farbe") + n);
        tag_[s] = liste(box, QStringLiteral("TAG") + n);
        g->addWidget(bez_[s], i + 1, 1);
        // A path of the old program ("C:\Eigene Dateien\Training.mdb") with the file it
        // stands for on this system below it.
        auto* spalte = new QVBoxLayout;
        spalte->setSpacing(0);
        spalte->addWidget(datei_[s]);
        dateiHinweis_[s] = new QLabel(box);
        dateiHinweis_[s]->setObjectName(QStringLiteral("DB%1Ort").arg(n));
        dateiHinweis_[s]->setStyleSheet(QStringLiteral("color: #505050; font-size: small;"));
        dateiHinweis_[s]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        dateiHinweis_[s]->hide();
        spalte->addWidget(dateiHinweis_[s]);
        g->addLayout(spalte, i + 1, 2);
        connect(datei_[s], &QLineEdit::textChanged, this, [this, s](const QString& text) {
            const QString datei = paths::resolve(text);
            const bool anders = !text.trimmed().isEmpty() && datei != text.trimmed();
            dateiHinweis_[s]->setText(anders ? QStringLiteral("= ") + datei : QString());
            dateiHinweis_[s]->setVisible(anders);
        });
        g->addWidget(auswahl_[s], i + 1, 3);
        g->addWidget(farbe_[s], i + 1, 4);
        g->addWidget(tag_[s], i + 1, 5);
    }
    Enter = knopf(box, QStringLiteral("Enter"), QStringLiteral("Übernehmen"));
    g->addWidget(Enter, 5, 5);
    return box;
}

QWidget* Einstellungen::aufbauWartung() {
    auto* box = new QWidget(this);
    auto* g = new QGridLayout(box);
    Command1 = knopf(box, QStringLiteral("Command1"),
                     QStringLiteral("Ausgewählte Tabellen von 1 nach 4 übernehmen"));
    Command2 = knopf(box, QStringLiteral("Command2"),
                     QStringLiteral("Mitglieder Tabellen von 1 nach 4 übernehmen"));
    Command3 = knopf(box, QStringLiteral("Command3"),
                     QStringLiteral("Ergebnisse Tabelle 1 und 4 nach Tag sortieren"));
    DB_Convert =
        knopf(box, QStringLiteral("DB_Convert"), QStringLiteral("DB Version aktualisieren "));
    DBTabAnz = knopf(box, QStringLiteral("DBTabAnz"), QStringLiteral("DB Tabellen anzeigen"));
    DBTabAnz->setEnabled(false);
    Umzug_butt = knopf(box, QStringLiteral("Umzug_butt"),
                       QStringLiteral("Vereinsdatenbank 1 in neue Datenbank 4 kopieren"));
    g->addWidget(Command1, 0, 0);
    g->addWidget(Command2, 1, 0);
    g->addWidget(
        new QLabel(QStringLiteral("Jede Tabelle wird abgefragt, ob sie übernommen werden soll"),
                   box),
        0, 1, 2, 1);
    g->addWidget(Command3, 2, 0);
    g->addWidget(
        new QLabel(
            QStringLiteral(
                "Bei Datenbank 1 muss ein Wochentag ausgewählt werden, bei Datenbank 4 „REST“"),
            box),
        2, 1);
    g->addWidget(DB_Convert, 3, 0);
    g->addWidget(DBTabAnz, 3, 1);
    g->addWidget(Umzug_butt, 4, 0);
    g->addWidget(new QLabel(QStringLiteral("4: eine neue Datei oder eine leere Datenbank auf dem "
                                           "Server (mariadb://benutzer@rechner:port/datenbank)"),
                            box),
                 4, 1);
    QPushButton* ueber =
        knopf(box, QStringLiteral("Ueber_butt"), QStringLiteral("Über Zielkunst (F12)"));
    g->addWidget(ueber, 5, 0);
    Sicherungen_butt =
        knopf(box, QStringLiteral("Sicherungen_butt"), QStringLiteral("Sicherung zurückholen"));
    Sicherungen_butt->setEnabled(false);
    g->addWidget(Sicherungen_butt, 5, 1);
    connect(Sicherungen_butt, &QPushButton::clicked, this, [this] {
        if (sicherungenOeffnen_) {
            sicherungenOeffnen_();
        }
    });
    connect(ueber, &QPushButton::clicked, this, [this] {
        dialogs_.message(ueberText(ini_.path(), club_.isOpen() ? club_.db().path() : QString()));
    });
    return box;
}

QStringList Einstellungen::maschineJetzt() const {
    return {ini_.IniLesen(ini::kWertmaschine, ini::kName),
            ini_.IniLesen(ini::kWertmaschine, ini::kComport),
            ini_.IniLesen(ini::kWertmaschine, ini::kSpeed)};
}

void Einstellungen::verbinden() {
    const std::array<std::pair<QRadioButton*, QString>, 3> maschinen = {
        {{Disag, ini::kMaschineRm3}, {RMIV, ini::kMaschineRm3Win}, {SAM, ini::kMaschineSam}}};
    for (const auto& [o, wert] : maschinen) {
        connect(o, &QRadioButton::toggled, this, [this, w = wert](bool an) {
            if (!an) {
                return;
            }
            ini_.IniSchreiben(ini::kWertmaschine, ini::kName, w);
            zustand_.MachineName = w;
        });
    }
    connect(Text1, &QLineEdit::textChanged, this, [this](const QString& text) {
        const double n = rundeGerade(Zahlwert(text));
        if (n == 1 || n == 2) {
            ini_.IniSchreiben(ini::kWertmaschine, ini::kComport,
                              QString::number(static_cast<int>(n)));
        }
    });
    connect(Win_L, &QCheckBox::toggled, this, [this](bool an) {
        ini_.IniSchreiben(ini::kWertmaschine, ini::kSpeed,
                          an ? QStringLiteral("L") : QStringLiteral("S"));
    });
    const std::array<std::pair<QRadioButton*, int>, 8> punkte = {{{Erster_Schuss, 1},
                                                                  {Erste10, -10},
                                                                  {Erste20, -20},
                                                                  {Erste40, -40},
                                                                  {Best10, 10},
                                                                  {Best20, 20},
                                                                  {Best40, 40},
                                                                  {Best60, 60}}};
    for (const auto& [o, wert] : punkte) {
        connect(o, &QRadioButton::toggled, this, [this, w = wert](bool an) {
            if (!an) {
                return;  // the option left behind writes nothing
            }
            ini_.IniSchreiben(ini::kWertung, ini::kPunktScheiben, QString::number(w));
            zustand_.Punktwertung = static_cast<std::int16_t>(w);
        });
    }
    const std::array<std::pair<QRadioButton*, QString>, 3> teiler = {
        {{T_Erster, QStringLiteral("1")},
         {T_Erste10, QStringLiteral("10")},
         {T_Alle, QStringLiteral("60")}}};
    for (const auto& [o, wert] : teiler) {
        connect(o, &QRadioButton::toggled, this, [this, w = wert](bool an) {
            if (!an) {
                return;
            }
            ini_.IniSchreiben(ini::kWertung, ini::kTeiler, w);
            zustand_.Teilerwertung = w;
        });
    }
    connect(Mon_Saisonstart, &QLineEdit::textChanged, this, [this](const QString& text) {
        const double monat = Zahlwert(text);
        // A season ends in one of the twelve months; a negative offset would put the
        // season ahead of the calendar.
        if (monat >= 13 || monat < 0) {
            return;
        }
        ini_.IniSchreiben(ini::kWertung, ini::kMonat, zahlTextBlank(monat));
        zustand_.Saisonversatz = static_cast<std::int16_t>(
            -rundeGerade(Zahlwert(ini_.IniLesen(ini::kWertung, ini::kMonat))));
    });
    connect(Anz_Debug, &QCheckBox::toggled, this, [this](bool an) { zustand_.DebugAnzeige = an; });
    for (int i = 0; i < 4; ++i) {
        connect(auswahl_[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [this, i] { dateiWaehlen(i); });
    }
    connect(Enter, &QPushButton::clicked, this, &Einstellungen::slotsSchreiben);
    connect(DBTabAnz, &QPushButton::clicked, this, [this] {
        if (tabellenOeffnen_) {
            tabellenOeffnen_();
        }
    });
    connect(Command1, &QPushButton::clicked, this, [this] {
        Tabellenuebernahme(dialogs_, datei_[0]->text(), datei_[3]->text()).ausgewaehlteTabellen();
    });
    connect(Command2, &QPushButton::clicked, this, [this] {
        Tabellenuebernahme(dialogs_, datei_[0]->text(), datei_[3]->text()).mitglieder();
    });
    connect(Command3, &QPushButton::clicked, this, [this] {
        Tabellenuebernahme(dialogs_, datei_[0]->text(), datei_[3]->text())
            .nachTagSortieren(tag_[0]->currentText());
    });
    connect(Umzug_butt, &QPushButton::clicked, this, &Einstellungen::umziehen);
    connect(DB_Convert, &QPushButton::clicked, this, [this] {
        const std::array<QString, 4> pfade = {datei_[0]->text(), datei_[1]->text(),
                                              datei_[2]->text(), datei_[3]->text()};
        ::DB_Convert(club_, pfade, dialogs_, [this] {
            if (wiederOeffnen_) {
                wiederOeffnen_();
            }
        });
    });
}

void Einstellungen::setSicherungenOeffnen(std::function<void()> f) {
    sicherungenOeffnen_ = std::move(f);
    Sicherungen_butt->setEnabled(static_cast<bool>(sicherungenOeffnen_));
}

void Einstellungen::setTabellenOeffnen(std::function<void()> f) {
    tabellenOeffnen_ = std::move(f);
    DBTabAnz->setEnabled(static_cast<bool>(tabellenOeffnen_));
}

// Empty controls, without writing anything: opening then sets them as the user would.
void Einstellungen::zuruecksetzen() {
    for (QButtonGroup* g : {maschinen_, punkte_, teiler_}) {
        g->setExclusive(false);
        for (QAbstractButton* b : g->buttons()) {
            const QSignalBlocker sperre(b);
            b->setChecked(false);
        }
        g->setExclusive(true);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{Text1, Mon_Saisonstart, Win_L}) {
        const QSignalBlocker sperre(w);
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            e->clear();
        } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
            c->setChecked(false);
        }
    }
    for (std::size_t s = 0; s < 4; ++s) {
        for (QComboBox* c : {farbe_[s], tag_[s]}) {
            const QSignalBlocker sperre(c);
            c->clear();
        }
    }
}

void Einstellungen::oeffnen() {
    // What the window writes while it fills its fields is no change of the user's.
    maschineBeimOeffnen_ = maschineJetzt();
    zuruecksetzen();
    anzeige_->laden();
    const QString name = ini_.IniLesen(ini::kWertmaschine, ini::kName);
    if (name == ini::kMaschineSam) {
        SAM->setChecked(true);
    } else if (name == ini::kMaschineRm3Win) {
        RMIV->setChecked(true);
    } else if (name == ini::kMaschineRm3) {
        Disag->setChecked(true);
    }
    Text1->setText(ini_.IniLesen(ini::kWertmaschine, ini::kComport) == QLatin1String("2")
                       ? QStringLiteral("2")
                       : QStringLiteral("1"));
    if (ini_.IniLesen(ini::kWertmaschine, ini::kSpeed) == QLatin1String("L")) {
        Win_L->setChecked(true);
    }
    const QString punkte = ini_.IniLesen(ini::kWertung, ini::kPunktScheiben);
    const std::array<std::pair<const char*, QRadioButton*>, 7> punkteOptionen = {
        {{"10", Best10},
         {"-10", Erste10},
         {"-20", Erste20},
         {"1", Erster_Schuss},
         {"-40", Erste40},
         {"40", Best40},
         {"60", Best60}}};
    QRadioButton* gewaehlt = Best20;
    for (const auto& [wert, o] : punkteOptionen) {
        if (punkte == QLatin1String(wert)) {
            gewaehlt = o;
        }
    }
    gewaehlt->setChecked(true);
    const QString teiler = ini_.IniLesen(ini::kWertung, ini::kTeiler);
    if (teiler == QLatin1String("1")) {
        T_Erster->setChecked(true);
    } else if (teiler == QLatin1String("10")) {
        T_Erste10->setChecked(true);
    } else if (teiler == QLatin1String("60")) {
        T_Alle->setChecked(true);
    }
    const QString monat = ini_.IniLesen(ini::kWertung, ini::kMonat);
    if (!monat.isEmpty()) {
        Mon_Saisonstart->setText(formatNull(Zahlwert(monat)));
    }
    for (std::size_t s = 0; s < 4; ++s) {
        tag_[s]->addItems(kWochentage);
    }
    for (std::size_t s = 0; s < 4; ++s) {
        for (const QString& farbe : kFarben) {
            farbe_[s]->addItem(farbname(farbe), farbe);
        }
    }
    for (int i = 0; i < 4; ++i) {
        const auto s = static_cast<std::size_t>(i);
        const QString sektion = ini::slotSection(i);
        bez_[s]->setText(ini_.IniLesen(sektion, ini::kName));
        datei_[s]->setText(ini_.IniLesen(sektion, ini::kDatei));
        farbeZeigen(farbe_[s], ini_.IniLesen(sektion, ini::kFarbe));
        tag_[s]->setCurrentText(ini_.IniLesen(sektion, ini::kTag));
    }
}

void Einstellungen::slotsSchreiben() {
    // wettk.ini is Windows-1252: what it cannot hold is said once, before it becomes "?".
    QString ohneCode;
    for (std::size_t s = 0; s < 4; ++s) {
        ohneCode += cp1252::ohneCode(bez_[s]->text() + datei_[s]->text());
    }
    ohneCode = cp1252::ohneCode(ohneCode);
    if (!ohneCode.isEmpty() && !ohneCodeGesagt_) {
        ohneCodeGesagt_ = true;
        dialogs_.message(QStringLiteral("Diese Zeichen kann wettk.ini nicht aufnehmen; sie werden "
                                        "als \"?\" gespeichert: ") +
                         ohneCode);
    }
    for (int i = 0; i < 4; ++i) {
        const auto s = static_cast<std::size_t>(i);
        if (i == 0 && bez_[s]->text().isEmpty()) {
            continue;  // slot 1 is never emptied: it is the database of last resort
        }
        ini_.IniSchreiben(ini::slotSection(i), {{ini::kName, bez_[s]->text()},
                                                {ini::kDatei, datei_[s]->text()},
                                                {ini::kFarbe, farbeWert(farbe_[s])},
                                                {ini::kTag, tag_[s]->currentText()}});
    }
    emit slotsGeschrieben();
}

void Einstellungen::dateiWaehlen(int slot) {
    // The club files of this program are ".db"; old ".mdb" files are offered too.
    const QString datei =
        dialogs_.openFileName(QStringLiteral("Datenbank auswählen"), paths::documentsDir(),
                              QStringLiteral("Datenbanken (*.db *.mdb)"));
    if (datei.isEmpty()) {
        return;
    }
    QString neu;
    if (datei.endsWith(QStringLiteral(".mdb"), Qt::CaseInsensitive) &&
        accessUebernahmeAnbieten(datei, dialogs_, this, &neu)) {
        // The slot names the new file; "Übernehmen" stores it as for any choice.
        datei_[static_cast<std::size_t>(slot)]->setText(neu);
        return;
    }
    datei_[static_cast<std::size_t>(slot)]->setText(datei);
}

void Einstellungen::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit geschlossen();
}

void Einstellungen::umziehen() {
    const QString von = paths::resolve(datei_[0]->text());
    const QString nach = paths::resolve(datei_[3]->text());
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
