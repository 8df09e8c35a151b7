#include "shotpicture/ui/SchussbildFenster.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontMetricsF>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/Abendzustand.h"
#include "core/Ini.h"
#include "core/Zahlen.h"
#include "platform/Drucker.h"
#include "platform/widgets/Bedienelemente.h"
#include "platform/widgets/Nebenfenster.h"

namespace {

// Draws on a widget in its pixels through the printer interface, so that the screen and
// the paper share one drawing.
class PainterZeichner : public Drucker {
  public:
    explicit PainterZeichner(QPainter& p) : p_(p) { p_.setRenderHint(QPainter::Antialiasing); }
    void schrift(double punkte, bool fett) override {
        QFont f = p_.font();
        f.setPointSizeF(std::max(1.0, punkte));
        f.setBold(fett);
        p_.setFont(f);
    }
    double textHoehe(const QString&) override { return QFontMetricsF(p_.font()).height(); }
    double textBreite(const QString& t) override {
        return QFontMetricsF(p_.font()).horizontalAdvance(t);
    }
    void text(double x, double y, const QString& t) override {
        p_.setPen(textFarbe_);
        p_.drawText(QPointF(x, y + QFontMetricsF(p_.font()).ascent()), t);
    }
    void linie(double x1, double y1, double x2, double y2) override {
        p_.setPen(Qt::black);
        p_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    }
    void rechteck(double x, double y, double b, double h) override {
        p_.setPen(Qt::black);
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(QRectF(x, y, b, h));
    }
    void kreis(double x, double y, double r, int fuellung, int rand) override {
        p_.setPen(QColor::fromRgb(static_cast<QRgb>(rand)));
        p_.setBrush(fuellung < 0 ? QBrush(Qt::NoBrush)
                                 : QBrush(QColor::fromRgb(static_cast<QRgb>(fuellung))));
        p_.drawEllipse(QPointF(x, y), r, r);
    }
    void textFarbe(int rgb) override { textFarbe_ = QColor::fromRgb(static_cast<QRgb>(rgb)); }
    void neueSeite() override {}
    bool beenden(QString*) override { return true; }

  private:
    QPainter& p_;
    QColor textFarbe_ = Qt::black;
};

}  // namespace

// The drawing area: the picture is drawn anew whenever it is painted, so it follows the
// window's size and stays sharp.
class Zeichenflaeche : public QWidget {
  public:
    explicit Zeichenflaeche(SchussbildFenster& f) : QWidget(&f), f_(f) {
        setObjectName(QStringLiteral("Bild"));
        setMinimumSize(300, 270);
    }

  protected:
    void paintEvent(QPaintEvent*) override { f_.malen(this); }

  private:
    SchussbildFenster& f_;
};

SchussbildFenster::SchussbildFenster(Ini& ini, Abendzustand& zustand, Dialogs& dialogs,
                                     const Clock& uhr, QWidget* parent)
    : QWidget(parent, Qt::Window), ini_(ini), zustand_(zustand), dialogs_(dialogs), uhr_(uhr) {
    setObjectName(QStringLiteral("Schussbild"));
    escSchliesst(this);
    setWindowTitle(QStringLiteral("Schussbild"));
    auto* haupt = new QHBoxLayout(this);
    flaeche_ = new Zeichenflaeche(*this);
    haupt->addWidget(flaeche_, 1);

    auto* seite = new QVBoxLayout;
    auto* scheiben = new QHBoxLayout;
    QPushButton* lg = knopf(this, QStringLiteral("LG_Butt"), QStringLiteral("LG"));
    QPushButton* lp = knopf(this, QStringLiteral("LP_butt"), QStringLiteral("LP"));
    connect(lg, &QPushButton::clicked, this, [this] { scheibe(QStringLiteral("LG")); });
    connect(lp, &QPushButton::clicked, this, [this] { scheibe(QStringLiteral("LP")); });
    scheiben->addWidget(lg);
    scheiben->addWidget(lp);
    seite->addLayout(scheiben);

    auto* bereiche = new QGridLayout;
    const std::pair<const char*, const char*> namen[] = {
        {"schuss1_10", "10"},  {"schuss11_20", "20"}, {"schuss21_30", "30"}, {"schuss31_40", "40"},
        {"schuss41_50", "50"}, {"schuss51_60", "60"}, {"schuss_all", "alle"}};
    for (int i = 0; i < 7; ++i) {
        QPushButton* b =
            knopf(this, QString::fromLatin1(namen[i].first), QString::fromLatin1(namen[i].second));
        const int erster = i < 6 ? i * 10 + 1 : 1;
        const int letzter = i < 6 ? i * 10 + 10 : 60;
        connect(b, &QPushButton::clicked, this,
                [this, erster, letzter] { bereich(erster, letzter); });
        bereiche->addWidget(b, i / 2, i % 2);
    }
    seite->addLayout(bereiche);

    X_Spiegel = haken(this, QStringLiteral("X_Spiegel"), QStringLiteral("X-Spiegel"));
    Y_Spiegel = haken(this, QStringLiteral("Y_Spiegel"), QStringLiteral("Y-Spiegel"));
    kleine_schuss = haken(this, QStringLiteral("kleine_schuss"), QStringLiteral("kl. Schuss"));
    Schuss_nummer = haken(this, QStringLiteral("Schuss_nummer"), QStringLiteral("Schuss Nummer"));
    for (QCheckBox* c : {X_Spiegel, Y_Spiegel, kleine_schuss, Schuss_nummer}) {
        seite->addWidget(c);
    }
    connect(X_Spiegel, &QCheckBox::clicked, this, [this](bool an) {
        ansicht_.spiegelX = an ? -1 : 1;
        ini_.IniSchreiben(zustand_.TargetType, QStringLiteral("X_Spiegel"),
                          an ? QStringLiteral("-1") : QStringLiteral("1"));
        Zeichne_Schuss();
    });
    connect(Y_Spiegel, &QCheckBox::clicked, this, [this](bool an) {
        ansicht_.spiegelY = an ? -1 : 1;
        ini_.IniSchreiben(zustand_.TargetType, QStringLiteral("Y_Spiegel"),
                          an ? QStringLiteral("-1") : QStringLiteral("1"));
        Zeichne_Schuss();
    });
    for (QCheckBox* c : {kleine_schuss, Schuss_nummer}) {
        connect(c, &QCheckBox::clicked, this, [this] {
            ansicht_.klein = kleine_schuss->isChecked();
            ansicht_.nummern = Schuss_nummer->isChecked();
            Zeichne_Schuss();
        });
    }
    auto* dreh = new QHBoxLayout;
    QPushButton* drehKnopf = knopf(this, QStringLiteral("Drehen_butt"), QStringLiteral("Drehen"));
    connect(drehKnopf, &QPushButton::clicked, this, &SchussbildFenster::drehen);
    Drehen_Label = new QLabel(this);
    Drehen_Label->setObjectName(QStringLiteral("Drehen_Label"));
    dreh->addWidget(drehKnopf);
    dreh->addWidget(Drehen_Label);
    seite->addLayout(dreh);
    QPushButton* druck = knopf(this, QStringLiteral("drucken"), QStringLiteral("drucken"));
    connect(druck, &QPushButton::clicked, this, &SchussbildFenster::drucken);
    seite->addWidget(druck);
    hinweis_ = new QLabel(this);
    hinweis_->setObjectName(QStringLiteral("Hinweis"));
    hinweis_->setWordWrap(true);
    seite->addWidget(hinweis_);
    seite->addStretch();
    haupt->addLayout(seite);
    resize(620, 420);
    einstellungenLesen();
}

SchussbildFenster::~SchussbildFenster() = default;

void SchussbildFenster::einstellungenLesen() {
    const QString abschnitt = zustand_.TargetType;
    gelesenFuer_ = abschnitt;
    const auto faktor = [&](const QString& key) {
        const double v = Zahlwert(ini_.IniLesen(abschnitt, key));
        return v < 0 ? -1.0 : 1.0;  // missing or 0 counts as 1
    };
    ansicht_.spiegelX = faktor(QStringLiteral("X_Spiegel"));
    ansicht_.spiegelY = faktor(QStringLiteral("Y_Spiegel"));
    const int d = static_cast<int>(Zahlwert(ini_.IniLesen(abschnitt, QStringLiteral("Drehen"))));
    ansicht_.drehung = (d == 90 || d == 180 || d == 270) ? d : 0;
    X_Spiegel->setChecked(ansicht_.spiegelX < 0);
    Y_Spiegel->setChecked(ansicht_.spiegelY < 0);
    Drehen_Label->setText(QString::number(ansicht_.drehung));
}

// Each opening reads the settings of the face the card was read on; activation shows all
// shots again.
void SchussbildFenster::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    einstellungenLesen();
    bereich(1, 60);
}

void SchussbildFenster::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        bereich(1, 60);
    }
}

void SchussbildFenster::scheibe(const QString& typ) {
    zustand_.TargetType = typ;
    einstellungenLesen();
    Zeichne_Schuss();
}

void SchussbildFenster::bereich(int erster, int letzter) {
    ansicht_.erster = erster;
    ansicht_.letzter = letzter;
    Zeichne_Schuss();
}

void SchussbildFenster::drehen() {
    ansicht_.drehung = (ansicht_.drehung + 90) % 360;
    Drehen_Label->setText(QString::number(ansicht_.drehung));
    ini_.IniSchreiben(zustand_.TargetType, QStringLiteral("Drehen"),
                      QString::number(ansicht_.drehung));
    Zeichne_Schuss();
}

void SchussbildFenster::Zeichne_Schuss() {
    if (zustand_.TargetType != gelesenFuer_) {
        einstellungenLesen();  // a reading or a recall changed the face
    }
    flaeche_->update();
    // The count of shots without a position is known without waiting for the paint.
    int ohne = 0;
    for (int s = ansicht_.erster; s <= ansicht_.letzter && s <= 60; ++s) {
        const ShotSlot& schuss = zustand_.Shots[static_cast<std::size_t>(s)];
        ohne += schuss.ValidFlag && !hatLage(schuss.X, schuss.Y, schuss.Teiler) ? 1 : 0;
    }
    ohneLage_ = ohne;
    hinweis_->setText(ohne == 0   ? QString()
                      : ohne == 1 ? QStringLiteral("1 Schuss ohne Lage (von Hand eingegeben) "
                                                   "ist nicht eingezeichnet.")
                                  : QStringLiteral("%1 Schüsse ohne Lage (von Hand eingegeben) "
                                                   "sind nicht eingezeichnet.")
                                        .arg(ohne));
}

void SchussbildFenster::malen(QWidget* auf) {
    QPainter p(auf);
    p.fillRect(auf->rect(), palette().window());
    PainterZeichner z(p);
    bildZeichnen(z, auf->width(), auf->height(), zustand_.TargetType, ansicht_, zustand_);
}

void SchussbildFenster::drucken() {
    const Ansicht gemerkt = ansicht_;
    ausdrucken(dialogs_, uhr_, druckerWahl_,
               [this](Drucker& d) { bildDrucken(d, zustand_.TargetType, ansicht_, zustand_); });
    ansicht_ = gemerkt;  // the window shows the same range as before
    Zeichne_Schuss();
}
