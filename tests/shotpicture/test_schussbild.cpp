// The shot picture: geometry on the recording printer, the window, and the printed page.
#include <QtTest>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "platform/AufzeichnenderDrucker.h"
#include "platform/QtDrucker.h"
#include "shotpicture/Schussbild.h"
#include "shotpicture/ui/SchussbildFenster.h"
#include "tests/support/Programmfenster.h"

namespace {

using Eintrag = AufzeichnenderDrucker::Eintrag;

// The circles drawn with the fill `fuellung` (shots: red on the screen, dark on paper).
QList<QPointF> schuesse(const AufzeichnenderDrucker& d, int fuellung) {
    QList<QPointF> p;
    for (const Eintrag& e : d.eintraege)
        if (e.art == Eintrag::Kreis && static_cast<int>(e.y2) == fuellung)
            p << QPointF(e.x, e.y);
    return p;
}

void schuss(Abendzustand& z, int s, float x, float y, float teiler = 20) {
    z.Shots[static_cast<std::size_t>(s)] = ShotSlot{9, teiler, x, y, false, true};
}

}  // namespace

class TestSchussbild : public QObject {
    Q_OBJECT
  private slots:
    void geometrie() {
        Ansicht a;
        QCOMPARE(schussLage(3000, 3000, 250, a, 1, 0), QPointF(3250, 3000));
        QCOMPARE(schussLage(3000, 3000, 250, a, 0, 2), QPointF(3000, 3500));  // ring 8, corrected
        a.spiegelX = -1;
        QCOMPARE(schussLage(3000, 3000, 250, a, 1, 0), QPointF(2750, 3000));
        a.spiegelX = 1;
        a.drehung = 90;
        QCOMPARE(schussLage(3000, 3000, 250, a, 1, 0), QPointF(3000, 3250));
        a.drehung = 180;
        QCOMPARE(schussLage(3000, 3000, 250, a, 1, 0), QPointF(2750, 3000));
        a.drehung = 270;
        QCOMPARE(schussLage(3000, 3000, 250, a, 1, 0), QPointF(3000, 2750));
        // In an area that is not square the face turns about its own centre: the central ten
        // stays there, a shot one ring right lands one ring below (90) or above (270).
        for (const auto& [breite, hoehe] : {std::pair{6000.0, 4000.0}, {4000.0, 6000.0}}) {
            AufzeichnenderDrucker d;
            Abendzustand z;
            schuss(z, 1, 0, 0);
            schuss(z, 2, 1, 0);
            for (int grad : {90, 270}) {
                a.drehung = grad;
                d.eintraege.clear();
                bildZeichnen(d, breite, hoehe, "LG", a, z);
                const double u = std::round(std::min(breite, hoehe) / 2 / 12);
                const QPointF mitte(breite / 2, hoehe / 2);
                QCOMPARE(schuesse(d, 0xFF0000),
                         (QList<QPointF>{mitte, mitte + QPointF(0, grad == 90 ? u : -u)}));
            }
        }
        a.drehung = 0;
        QVERIFY(!hatLage(0, 0, 9999));  // typed by hand: no position
        QVERIFY(hatLage(0, 0, 0.0f));   // a machine's dead centre
        QVERIFY(hatLage(0, 2, 9999));   // a corrected shot below the centre
    }

    void nurGueltigeImBereich() {
        Abendzustand z;
        schuss(z, 1, 1, 0);
        schuss(z, 12, 0.5, 0.5);
        schuss(z, 13, 0, 0, 9999);  // typed: left out and counted
        z.Shots[14].X = 3;          // no shot at all
        Ansicht a;
        a.erster = 11;
        a.letzter = 20;
        a.nummern = true;
        AufzeichnenderDrucker d;
        QCOMPARE(bildZeichnen(d, 6000, 6000, "LG", a, z), 1);
        QCOMPARE(schuesse(d, 0xFF0000), QList<QPointF>{QPointF(3125, 3125)});
        // Besides the ring numbers (9 to 1, four times each) only shot 12 is labelled.
        QStringList beschriftet = d.texte();
        for (int ring = 1; ring <= 9; ++ring)
            for (int seite = 0; seite < 4; ++seite)
                QVERIFY(beschriftet.removeOne(QString::number(ring)));
        QCOMPARE(beschriftet, QStringList{"12"});
        const Eintrag* scheibe = nullptr;
        for (const Eintrag& e : d.eintraege)
            if (e.art == Eintrag::Kreis && !scheibe)
                scheibe = &e;
        QCOMPARE(scheibe->x2, 6.2 * 250);  // the black of the LG face
    }

    void fensterMitEinstellungen() {
        Programmfenster f;
        f.starten();
        schuss(f.zustand, 1, 1, 0);
        schuss(f.zustand, 2, 0, 0, 9999);
        SchussbildFenster w(f.ini, f.zustand, f.dialogs, f.uhr);
        f.w->setSchussbildOeffnen([&] { w.show(); });
        QTest::mouseClick(f.knopf("Schussbild_butt"), Qt::LeftButton);
        QVERIFY(w.isVisible());
        QCOMPARE(w.findChild<QLabel*>("Hinweis")->text(),
                 QString("1 Schuss ohne Lage (von Hand eingegeben) ist nicht eingezeichnet."));
        for (int i = 0; i < 4; ++i)
            QTest::mouseClick(w.findChild<QPushButton*>("Drehen_butt"), Qt::LeftButton);
        QCOMPARE(w.ansicht().drehung, 0);
        QCOMPARE(f.ini.IniLesen("LG", "Drehen"), QString("0"));
        w.findChild<QCheckBox*>("X_Spiegel")->click();
        QCOMPARE(f.ini.IniLesen("LG", "X_Spiegel"), QString("-1"));
        QTest::mouseClick(w.findChild<QPushButton*>("LP_butt"), Qt::LeftButton);
        QCOMPARE(f.zustand.TargetType, QString("LP"));
        QVERIFY(!w.findChild<QCheckBox*>("X_Spiegel")->isChecked());  // LP keeps its own
        QTest::mouseClick(w.findChild<QPushButton*>("LG_Butt"), Qt::LeftButton);
        QVERIFY(w.findChild<QCheckBox*>("X_Spiegel")->isChecked());
        // The picture is drawn at the window's size, not a scaled bitmap.
        w.flaeche()->resize(400, 400);
        const QImage bild = w.flaeche()->grab().toImage();
        // u = 17 px: X 1 mirrored lies one ring width left of the centre
        QCOMPARE(bild.pixelColor(200 - 17, 200), QColor(Qt::red));
        QCOMPARE(bild.pixelColor(200 + 17, 200), QColor(Qt::black));

        // Closed, a card read on LP, opened again: the LP face with LP's own settings.
        f.ini.IniSchreiben("LP", "Drehen", "180");
        w.close();
        f.zustand.TargetType = "LP";
        QTest::mouseClick(f.knopf("Schussbild_butt"), Qt::LeftButton);
        QVERIFY(!w.findChild<QCheckBox*>("X_Spiegel")->isChecked());
        QCOMPARE(w.ansicht().drehung, 180);
        f.zustand.TargetType = "LG";  // the next card, shown while the window stays open
        w.Zeichne_Schuss();
        QVERIFY(w.findChild<QCheckBox*>("X_Spiegel")->isChecked());
        QCOMPARE(w.ansicht().drehung, 0);

        QTest::mouseClick(w.findChild<QPushButton*>("schuss11_20"), Qt::LeftButton);
        AufzeichnenderDrucker* druck = nullptr;
        w.setDruckerWahl([&](QString*, QString*) {
            auto d = std::make_unique<AufzeichnenderDrucker>();
            druck = d.get();
            return std::unique_ptr<Drucker>(std::move(d));
        });
        w.drucken();
        QVERIFY(druck != nullptr);         // the page went to the printer chosen
        QCOMPARE(w.ansicht().erster, 11);  // the range is restored after printing
        QVERIFY(f.dialogs.messages.isEmpty());
    }

    // Seven pictures at their centres: shots 1-10, 11-20 ... and all of them large.
    void druckseite() {
        Abendzustand z;
        for (int s = 1; s <= 12; ++s)
            schuss(z, s, 1, 0);
        Ansicht a;
        a.drehung = 90;  // not on paper
        AufzeichnenderDrucker d;
        bildDrucken(d, "LG", a, z);
        const double ha = d.breite() / 2;
        const double b = d.hoehe() / 5;
        // the faces' centres (light grey)
        QCOMPARE(schuesse(d, 0xC8C8C8),
                 (QList<QPointF>{{0.5 * ha, 0.7 * b}, {1.5 * ha, 0.7 * b}, {0.5 * ha, 2 * b},
                                 {1.5 * ha, 2 * b}, {0.5 * ha, 4.2 * b}, {1.5 * ha, 4.2 * b},
                                 {ha, 3.1 * b}}));
        const QList<QPointF> s = schuesse(d, 0x141414);
        QCOMPARE(s.size(), 10 + 2 + 12);
        QCOMPARE(s.first(), QPointF(0.5 * ha + ha / 27, 0.7 * b));  // no rotation on paper

        QTemporaryDir dir;
        QtDrucker pdf(dir.filePath("bild.pdf"));
        QString fehler;
        QVERIFY(pdf.beginnen(&fehler));
        bildDrucken(pdf, "LP", a, z);
        QVERIFY(pdf.beenden(&fehler));
        QVERIFY(QFileInfo(dir.filePath("bild.pdf")).size() > 1000);
    }
};

QTEST_MAIN(TestSchussbild)
#include "test_schussbild.moc"
