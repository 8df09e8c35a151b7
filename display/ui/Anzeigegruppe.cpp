#include "display/ui/Anzeigegruppe.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QSpinBox>

#include "core/Ini.h"
#include "display/Anzeigeeinstellung.h"

namespace {
const QString kAlle = QStringLiteral("alle Adressen dieses PCs");
const QString kNurDieser = QStringLiteral("nur dieser PC");
}  // namespace

Anzeigegruppe::Anzeigegruppe(Ini& ini, QWidget* parent)
    : QGroupBox(QStringLiteral("Anzeige im Vereinsnetz"), parent), ini_(ini) {
    setObjectName(QStringLiteral("Anzeige"));
    auto* l = new QGridLayout(this);
    AnzeigeAn = new QCheckBox(QStringLiteral("&an"), this);
    AnzeigeAn->setObjectName(QStringLiteral("AnzeigeAn"));
    l->addWidget(AnzeigeAn, 0, 0);
    auto* portText = new QLabel(QStringLiteral("&Port"), this);
    AnzeigePort = new QSpinBox(this);
    AnzeigePort->setObjectName(QStringLiteral("AnzeigePort"));
    AnzeigePort->setRange(1, 65535);
    portText->setBuddy(AnzeigePort);
    l->addWidget(portText, 0, 1, Qt::AlignRight);
    l->addWidget(AnzeigePort, 0, 2);
    auto* adresseText = new QLabel(QStringLiteral("A&dresse"), this);
    AnzeigeAdresse = new QComboBox(this);
    AnzeigeAdresse->setObjectName(QStringLiteral("AnzeigeAdresse"));
    AnzeigeAdresse->setEditable(true);
    AnzeigeAdresse->addItem(kAlle);
    AnzeigeAdresse->addItem(kNurDieser);
    for (const QHostAddress& h : QNetworkInterface::allAddresses()) {
        if (h.protocol() == QAbstractSocket::IPv4Protocol && !h.isLoopback()) {
            AnzeigeAdresse->addItem(h.toString());
        }
    }
    adresseText->setBuddy(AnzeigeAdresse);
    l->addWidget(adresseText, 1, 0);
    l->addWidget(AnzeigeAdresse, 1, 1, 1, 2);
    AnzeigeKurz = new QCheckBox(QStringLiteral("Namen abkürzen"), this);
    AnzeigeKurz->setObjectName(QStringLiteral("AnzeigeKurz"));
    l->addWidget(AnzeigeKurz, 2, 0, 1, 3);
    AnzeigeOrt = new QLabel(this);
    AnzeigeOrt->setObjectName(QStringLiteral("AnzeigeOrt"));
    AnzeigeOrt->setTextInteractionFlags(Qt::TextSelectableByMouse);
    AnzeigeOrt->setStyleSheet(QStringLiteral("color: #505050;"));
    l->addWidget(AnzeigeOrt, 3, 0, 1, 3);

    connect(AnzeigeAn, &QCheckBox::toggled, this, &Anzeigegruppe::schreiben);
    connect(AnzeigeKurz, &QCheckBox::toggled, this, &Anzeigegruppe::schreiben);
    connect(AnzeigePort, &QSpinBox::valueChanged, this, &Anzeigegruppe::schreiben);
    connect(AnzeigeAdresse, &QComboBox::currentTextChanged, this, &Anzeigegruppe::schreiben);
}

void Anzeigegruppe::laden() {
    laden_ = true;
    const Anzeigeeinstellung e = Anzeigeeinstellung::lesen(ini_);
    AnzeigeAn->setChecked(e.an);
    AnzeigePort->setValue(e.port == 0 ? Anzeigeeinstellung::kStandardPort : e.port);
    AnzeigeAdresse->setCurrentText(e.adresse.isEmpty()                             ? kAlle
                                   : e.adresse == Anzeigeeinstellung::kNurDieserPc ? kNurDieser
                                                                                   : e.adresse);
    AnzeigeKurz->setChecked(e.kurznamen);
    laden_ = false;
    adressenZeigen();
}

void Anzeigegruppe::schreiben() {
    if (laden_) {
        return;
    }
    Anzeigeeinstellung e;
    e.an = AnzeigeAn->isChecked();
    e.port = static_cast<quint16>(AnzeigePort->value());
    const QString adresse = AnzeigeAdresse->currentText().trimmed();
    e.adresse = adresse == kAlle        ? QString()
                : adresse == kNurDieser ? Anzeigeeinstellung::kNurDieserPc
                                        : adresse;
    e.kurznamen = AnzeigeKurz->isChecked();
    e.schreiben(ini_);
    AnzeigeOrt->setText(e.an ? QStringLiteral("gilt beim Schließen dieses Fensters") : QString());
}

void Anzeigegruppe::adressenZeigen() {
    const QStringList a = adressen_ ? adressen_() : QStringList();
    AnzeigeOrt->setText(a.isEmpty() ? QString() : QStringLiteral("läuft: ") + a.first());
    AnzeigeOrt->setToolTip(a.join(u'\n'));
}
