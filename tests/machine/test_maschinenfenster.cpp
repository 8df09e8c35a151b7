// The machine controls of the main window, the reading window and "RM einstellen" over a
// scripted serial line.
#include <QtTest>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "tests/support/Programmfenster.h"
#include "tests/support/ScriptedLine.h"

namespace {
// The windows with the machine side attached to a scripted line.
struct Fenster : Programmfenster {
    ScriptedLine line;
    explicit Fenster(const QString& maschine) : Programmfenster(maschine) {
        daten.mitglied(12, "Anna Alt", 1);
    }
    void starten() { Programmfenster::starten(&line); }
    using Programmfenster::nummer;
    QLineEdit* nummer() const { return c("SNummer"); }
};
}  // namespace

class TestMaschinenfenster : public QObject {
    Q_OBJECT
  private slots:
    void maschinenEinrichtung() {
        Fenster rm3("RMIII");
        rm3.starten();
        QCOMPARE(rm3.c<QLabel>("WERTM_NAME")->text(), QString("DISAG RM III"));
        QVERIFY(rm3.line.isOpen());
        QVERIFY(rm3.line.dtr);
        QVERIFY(rm3.knopf("Start")->isEnabled());
        QVERIFY(rm3.dialogs.messages.isEmpty());
        QTest::keyClick(rm3.nummer(), Qt::Key_Return);  // a machine is ready: on to the start
        QTRY_COMPARE(QApplication::focusWidget(), rm3.knopf("Start"));
        QTest::keyClicks(rm3.knopf("Start"), "9");  // typed instead of reading: the first ring
        QCOMPARE(rm3.c("Schuss_1")->text(), QString("9"));
        QVERIFY(rm3.zustand.Shots[1].ValidFlag);
        rm3.line.dsrPegel = SerialLine::Pegel::Aus;  // a port with nothing behind it
        QTest::keyClick(rm3.nummer(), Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget(), rm3.c("Schuss_1"));

        Fenster win("RMIII_WIN");
        win.starten();
        QCOMPARE(win.c<QLabel>("WERTM_NAME")->text(), QString("DISAG RM III WIN"));
        QVERIFY(!win.line.dtr);

        Fenster sam("SAM");
        sam.starten();
        QCOMPARE(sam.c<QLabel>("WERTM_NAME")->text(), QString("SAM"));
        const QStringList titel{"1 Schuss",  "10 Schuss", "20 Schuss",
                                "30 Schuss", "40 Schuss", "60 Schuss"};
        const QStringList knoepfe{"S1x10", "S2x10", "S4x10", "S4x5", "S8x5", "S20x2"};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(sam.knopf(knoepfe[i])->text(), titel[i]);
        QVERIFY(sam.c("RMst")->isHidden());
        for (const char* n : {"SString", "AndereKarten", "ButtNormal"})
            QVERIFY2(sam.knopf(n)->isHidden(), n);
        QVERIFY(!sam.knopf("ButtFernsteuern")->isHidden());
        QVERIFY(sam.c<QRadioButton>("Option8")->isChecked());
        QCOMPARE(sam.zustand.ShotLimit, std::int16_t(40));
        sam.taste(Qt::Key_F10);  // F-keys still choose the programs
        QCOMPARE(sam.zustand.ShotLimit, std::int16_t(60));
        QVERIFY(sam.c<QRadioButton>("Option10")->isChecked());
    }

    void programmwahl() {
        Fenster f("RMIII_WIN");
        f.starten();
        f.taste(Qt::Key_F8);
        QCOMPARE(f.zustand.ProgramCode, QString("212410215"));
        QCOMPARE(f.c("RMst")->text(), QString("212410215"));
        QVERIFY(f.c<QRadioButton>("Option7")->isChecked());
        QCOMPARE(f.zustand.ShotLimit, std::int16_t(30));

        auto* liste = f.c<QComboBox>("schuss_combo");
        liste->setCurrentText("10x2 Schuss LP");
        emit liste->activated(liste->currentIndex());
        QVERIFY(f.c<QRadioButton>("Option_Combo")->isChecked());
        QCOMPARE(f.zustand.ProgramCode, QString("232408212"));
        // a WIN machine is shown its control string
        QCOMPARE(f.c("RMst")->text(), QString("SCH=LP;SZI=10;SGE=20;SSC=2;TEA=ZT;TEG=800;"));

        f.c("RMst")->setText("999999999");
        QTest::mouseClick(f.knopf("SString"), Qt::LeftButton);
        QCOMPARE(f.zustand.ProgramCode, QString("999999999"));
        QVERIFY(f.c<QRadioButton>("Option9")->isChecked());
    }

    void andereKartenUndRmEinstellen() {
        Fenster f("RMIII");
        f.starten();
        QTest::mouseClick(f.knopf("AndereKarten"), Qt::LeftButton);
        RMEinst* rm = f.einlesen->programmFenster();
        QVERIFY(rm && rm->isVisible());
        QCOMPARE(rm->windowTitle(), QString("RM einstellen"));
        QCOMPARE(f.c("rm_control_string")->text(), QString("134408211"));
        for (const char* o : {"SP", "B10", "Ser1", "T150", "DAus", "Schuss2"}) {
            auto* knopf = f.c<QRadioButton>(o);
            // on the indicator: a radio button reacts to its circle and caption only
            QTest::mouseClick(knopf, Qt::LeftButton, {}, QPoint(6, knopf->height() / 2));
            QVERIFY2(knopf->isChecked(), o);
        }
        QTest::keyClicks(f.c("ZText"), "Pokal 2024 Herbst");
        QCOMPARE(f.c("rm_control_string")->text(), QString("230405222Pokal 202"));
        QTest::mouseClick(f.knopf("Uebernehmen_butt"), Qt::LeftButton);
        QVERIFY(rm->isHidden());
        QCOMPARE(f.zustand.ProgramCode, QString("230405222Pokal 202"));
        QCOMPARE(f.c("RMst")->text(), QString("230405222Pokal 202"));
        QCOMPARE(f.zustand.ControlString, QString("SCH=LP;SZI=1;SGE=1;SSC=1;TEA=ZT;TEG=150;"));
        // The choices are still there at the next opening.
        QTest::mouseClick(f.knopf("AndereKarten"), Qt::LeftButton);
        QVERIFY(f.c<QRadioButton>("Ser1")->isChecked());

        Fenster sam("SAM");
        sam.starten();
        const QString code = sam.zustand.ProgramCode;
        sam.einlesen->programmWaehlen();
        QTest::mouseClick(sam.knopf("Uebernehmen_butt"), Qt::LeftButton);
        QCOMPARE(sam.zustand.ProgramCode, code);
        QCOMPARE(sam.zustand.ControlString,
                 QString("SCH=LG10;SZI=10;SGE=40;SSC=1;TEA=ZT;TEG=300;"));
    }

    void startFragtVorDemLoeschen() {
        Fenster f("RMIII");
        f.starten();
        QTest::keyClicks(f.nummer(), "12");
        for (int i = 1; i <= 10; ++i)
            QTest::keyClicks(f.c(QString("Schuss_%1").arg(i)), "9");
        QCOMPARE(f.c("Scheibe_1")->text(), QString("90"));
        f.line.nimmGesendet();
        f.dialogs.answerNo();
        f.taste(Qt::Key_F2);
        QCOMPARE(
            f.dialogs.questions.last(),
            QString::fromUtf8(
                "Wenn Sie weitermachen, werden vorhandene \nDaten gelöscht !!\nWeitermachen ?"));
        QCOMPARE(f.dialogs.questionsDefaultNo, f.dialogs.questions);  // Enter keeps the data
        QCOMPARE(f.c("Schuss_1")->text(), QString("9"));
        QVERIFY(f.einlesen->isHidden());
        QVERIFY(f.line.gesendet.isEmpty());

        f.dialogs.answerYes();
        f.taste(Qt::Key_F2);
        QCOMPARE(f.c("Schuss_1")->text(), QString());
        QVERIFY(f.einlesen->isVisible());
        QCOMPARE(f.line.nimmGesendet(), QByteArray("134403211\r"));
        QCOMPARE(f.c<QLabel>("status")->text(), QString("Bitte erste Scheibe einlegen"));
        QVERIFY(!f.zustand.Shots[1].ValidFlag);

        // "Einlesen beenden" with nothing read stores nothing and says so.
        QTest::mouseClick(f.knopf("beenden"), Qt::LeftButton);
        QVERIFY(f.einlesen->isHidden());
        QCOMPARE(f.daten.zahl("SELECT count(*) FROM Ergebnis"), 0);
        QVERIFY(f.c<QLabel>("Warnung")->text().startsWith("Von der Maschine kam kein Schuss"));
        QVERIFY(f.line.gesendet.isEmpty());  // an RM III gets no "ABR"
    }

    void fehlenderPortHaeltNichtsAuf() {
        Fenster f("RMIII");
        f.daten.ringeZeile(90, 1, {1});
        f.line.oeffnenScheitert = true;
        f.starten();
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY(f.dialogs.messages[0].contains("Schnittstelle 1"));
        QVERIFY(f.dialogs.messages[0].contains("von Hand"));
        QTest::keyClicks(f.nummer(), "12");
        QTest::keyClick(f.nummer(), Qt::Key_Return);  // no machine: on to the first ring
        QTRY_COMPARE(QApplication::focusWidget(), f.c("Schuss_1"));
        QTest::keyClicks(f.c("Schuss_1"), "9");
        f.taste(Qt::Key_F4);
        QCOMPARE(f.dialogs.messages.size(), 1);
        QCOMPARE(f.daten.zahl("SELECT S1 FROM Ergebnis"), 9);
    }

    // While the reading for member 5 waits for a hand entry, the official types member 6,
    // presses F2 and F4: each is refused in German, and the card is stored for member 5.
    void lesungHaeltIhrMitglied() {
        Fenster f("RMIII");
        f.daten.mitglied(5, "Fünf Fritz", 1);
        f.daten.mitglied(6, "Sechs Sina", 1);
        f.starten();
        f.nummer("5");
        f.taste(Qt::Key_F2);
        QVERIFY(f.einlesen->isVisible());
        QVERIFY(f.nummer()->isReadOnly());
        QStringList versucht;
        QTimer::singleShot(0, [&] {
            // inside the hand entry's wait
            QTest::keyClicks(f.nummer(), "6");
            versucht << f.text("SNummer");
            QTest::keyClick(f.nummer(), Qt::Key_F2);
            QTest::keyClick(f.nummer(), Qt::Key_F4);
            QTest::keyClick(f.nummer(), Qt::Key_F1);
            f.c("SName")->setFocus();
            QTest::keyClick(f.c("SName"), Qt::Key_Backspace);
            versucht << f.text("SName");
            QLineEdit* k = f.c("Korrektur_txt");
            k->selectAll();
            QTest::keyClicks(k, "8");
            QTest::keyClick(k, Qt::Key_Return);
        });
        QByteArray karte;
        for (int i = 1; i <= 10; ++i)
            karte += QByteArray::number(i) + (i == 3 ? ";?.?;" : ";9;") + "20.0;0,5;0,5;\r";
        f.line.feed(karte + "SCHEIBE\r");
        QCOMPARE(versucht, (QStringList{"5", "Fünf Fritz"}));
        QCOMPARE(f.dialogs.messages.size(), 5);
        for (const QString& m : f.dialogs.messages)
            QVERIFY2(m.startsWith("Es läuft eine Lesung für Nummer 5 (Fünf Fritz)"), qPrintable(m));
        QVERIFY(f.c<QRadioButton>("Option2")->isChecked());
        QVERIFY(!f.knopf("S2x10")->isEnabled());
        f.line.feed("ENDE\r");
        QTRY_VERIFY(f.einlesen->isHidden());
        QCOMPARE(f.zeile("SELECT MitglNr, S1 FROM Ergebnis"), (QVariantList{5, 89}));
        QCOMPARE(f.daten.zahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr=6"), 0);
        QVERIFY(!f.nummer()->isReadOnly());  // the reading is over: the next member
        f.nummer("6");
        QCOMPARE(f.text("SName"), QString("Sechs Sina"));
        QVERIFY(f.knopf("S2x10")->isEnabled());
    }

    // Every message of the reading window shows whole, and the window stays clear of the
    // member's number and name; a long warning in the main window wraps instead of widening it.
    void meldungenGanzUndSichtbar() {
        Fenster f("RMIII");
        f.starten();
        f.nummer("12");
        const int breite = f.w->width();
        f.taste(Qt::Key_F2);
        auto* status = f.c<QLabel>("status");
        const QRect nummer(f.nummer()->mapToGlobal(QPoint(0, 0)), f.nummer()->size());
        const QRect name(f.c("SName")->mapToGlobal(QPoint(0, 0)), f.c("SName")->size());
        QVERIFY(!f.einlesen->frameGeometry().intersects(nummer));
        QVERIFY(!f.einlesen->frameGeometry().intersects(name));
        f.line.close();
        emit f.line.getrennt(
            "Die Verbindung zur Ringlesemaschine an Schnittstelle 1 (ttyUSB0) ist unterbrochen.");
        QTRY_VERIFY(status->text().contains("„Einlesen beenden“ speichert sie."));
        QApplication::processEvents();
        QVERIFY2(status->height() >= status->heightForWidth(status->width()),
                 qPrintable(QString("%1 < %2")
                                .arg(status->height())
                                .arg(status->heightForWidth(status->width()))));
        QVERIFY(f.einlesen->height() <= 768 && f.einlesen->width() <= 1366);
        auto* warnung = f.c<QLabel>("Warnung");
        QVERIFY(warnung->text().contains("unterbrochen"));
        QApplication::processEvents();
        QCOMPARE(f.w->width(), breite);
        const int noetig = warnung->heightForWidth(warnung->width());
        QVERIFY(noetig >= 0 ? warnung->height() >= noetig
                            : warnung->fontMetrics().horizontalAdvance(warnung->text()) <=
                                  warnung->width());
        QTest::mouseClick(f.knopf("beenden"), Qt::LeftButton);
    }

    void debugfelder() {
        Fenster f("RMIII");
        f.zustand.DebugAnzeige = true;
        f.starten();
        f.taste(Qt::Key_F2);
        const int normal = f.einlesen->height();
        f.line.feed("1;9;5.0;0;0;\r");
        QVERIFY(f.c<QPlainTextEdit>("Debug_Text")->toPlainText().contains("1;9;5.0;0;0;"));
        QVERIFY(normal > 300);  // enlarged so that the debug fields show
    }
};

QTEST_MAIN(TestMaschinenfenster)
#include "test_maschinenfenster.moc"
