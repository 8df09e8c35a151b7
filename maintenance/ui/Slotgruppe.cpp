#include "maintenance/ui/Slotgruppe.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/Einstellungen.h"
#include "core/Ini.h"
#include "maintenance/ui/Accessangebot.h"
#include "maintenance/ui/Einstellungsteile.h"
#include "platform/Cp1252.h"
#include "platform/Dialogs.h"
#include "platform/Paths.h"
#include "platform/widgets/Bedienelemente.h"

const QStringList Slotgruppe::kWochentage = {
    QStringLiteral("Mo"), QStringLiteral("Di"),   QStringLiteral("Mi"),
    QStringLiteral("Do"), QStringLiteral("Fr"),   QStringLiteral("Sa"),
    QStringLiteral("So"), QStringLiteral("KEIN"), QStringLiteral("REST")};

const QStringList Slotgruppe::kFarben = {
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

}  // namespace

Slotgruppe::Slotgruppe(Ini& ini, Dialogs& dialogs, const Clock& uhr, QWidget* parent)
    : QGroupBox(parent), ini_(ini), dialogs_(dialogs), uhr_(uhr) {
    auto* g = new QGridLayout(this);
    g->addWidget(new QLabel(QStringLiteral("DB Bezeichnung"), this), 0, 1);
    g->addWidget(new QLabel(QStringLiteral("DB Datei"), this), 0, 2);
    g->addWidget(new QLabel(QStringLiteral("Farbe"), this), 0, 4);
    g->addWidget(new QLabel(QStringLiteral("Wochentag"), this), 0, 5);
    for (int i = 0; i < 4; ++i) {
        const auto s = static_cast<std::size_t>(i);
        const QString n = QString::number(i + 1);
        g->addWidget(new QLabel(n, this), i + 1, 0);
        bez_[s] = feld(this, QStringLiteral("DB%1Bez").arg(n));
        datei_[s] = feld(this, QStringLiteral("DB%1Datei").arg(n));
        datei_[s]->setMinimumWidth(320);
        auswahl_[s] = knopf(this, QStringLiteral("Auswahl") + n, QStringLiteral("Auswahl"));
        farbe_[s] = liste(this, QStringLiteral("Farbe") + n);
        tag_[s] = liste(this, QStringLiteral("TAG") + n);
        g->addWidget(bez_[s], i + 1, 1);
        // A path of the old program ("C:\Eigene Dateien\Training.mdb") with the file it
        // stands for on this system below it.
        auto* spalte = new QVBoxLayout;
        spalte->setSpacing(0);
        spalte->addWidget(datei_[s]);
        dateiHinweis_[s] = new QLabel(this);
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
        connect(auswahl_[s], &QPushButton::clicked, this, [this, i] { dateiWaehlen(i); });
    }
    Enter = knopf(this, QStringLiteral("Enter"), QStringLiteral("Übernehmen"));
    g->addWidget(Enter, 5, 5);
    connect(Enter, &QPushButton::clicked, this, &Slotgruppe::schreiben);
}

QString Slotgruppe::datei(int slot) const {
    return datei_.at(static_cast<std::size_t>(slot))->text();
}

QString Slotgruppe::tag(int slot) const {
    return tag_.at(static_cast<std::size_t>(slot))->currentText();
}

void Slotgruppe::laden() {
    for (std::size_t s = 0; s < 4; ++s) {
        for (QComboBox* c : {farbe_[s], tag_[s]}) {
            const QSignalBlocker sperre(c);
            c->clear();
        }
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

void Slotgruppe::schreiben() {
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
    emit geschrieben();
}

void Slotgruppe::dateiWaehlen(int slot) {
    // The club files of this program are ".db"; old ".mdb" files are offered too.
    const QString datei =
        dialogs_.openFileName(QStringLiteral("Datenbank auswählen"), paths::documentsDir(),
                              QStringLiteral("Datenbanken (*.db *.mdb)"));
    if (datei.isEmpty()) {
        return;
    }
    QString neu;
    if (datei.endsWith(QStringLiteral(".mdb"), Qt::CaseInsensitive) &&
        accessUebernahmeAnbieten(datei, dialogs_, uhr_, this, &neu)) {
        // The slot names the new file; "Übernehmen" stores it as for any choice.
        datei_[static_cast<std::size_t>(slot)]->setText(neu);
        return;
    }
    datei_[static_cast<std::size_t>(slot)]->setText(datei);
}
