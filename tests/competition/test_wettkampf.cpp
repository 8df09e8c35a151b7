// The team competition: scoring, slots, teams, the sheet and the main window's
// competition mode.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

#include "competition/Blatt.h"
#include "competition/Slots.h"
#include "competition/Wettkampf.h"
#include "competition/ui/Wett.h"
#include "platform/AufzeichnenderDrucker.h"
#include "platform/QtDrucker.h"
#include "tests/support/PdfText.h"
#include "tests/support/Programmfenster.h"

namespace {

Wettkampf mitGesamt(std::initializer_list<const char*> gesamt, int ab = 1) {
    Wettkampf w;
    int i = ab;
    for (const char* g : gesamt) {
        auto& z = w.zeile[static_cast<std::size_t>(i)];
        z.name = QString("S%1").arg(i);
        z.s[1] = g;
        ++i;
    }
    return w;
}

QStringList namen(const Wettkampf& w, int von, int bis) {
    QStringList n;
    for (int i = von; i <= bis; ++i)
        n << w.zeile[static_cast<std::size_t>(i)].name;
    return n;
}

}  // namespace

class TestWettkampf : public QObject {
    Q_OBJECT
  private slots:
    void wertung() {
        Wettkampf w = mitGesamt({"385", "390", "385", "392"});
        w.zeile[1].markiert = true;
        werten(w, Wertungsmodus::BesteDrei);
        QCOMPARE(namen(w, 1, 4), (QStringList{"S4", "S2", "S1", "S3"}));  // equal ones keep order
        QCOMPARE(w.heimGes, QString(" 1167"));
        QVERIFY(w.zeile[1].markiert && !w.zeile[3].markiert);  // marks stay with the row
        QCOMPARE(w.zeile[5].ges, QString(" 0"));
        werten(w, Wertungsmodus::BesteDrei);  // again: the same
        QCOMPARE(namen(w, 1, 4), (QStringList{"S4", "S2", "S1", "S3"}));

        Wettkampf zwei = mitGesamt({"95,5", "", "", "", "380"}, 8);
        werten(zwei, Wertungsmodus::BesteVier);
        QCOMPARE(zwei.gastGes, QString(" 475"));  // a decimal comma counts the whole 95
        Wettkampf erste = mitGesamt({"380", "", "370", "360", "390"});
        werten(erste, Wertungsmodus::ErsteVier);
        QCOMPARE(erste.heimGes, QString(" 1110"));  // rows 1 to 4, the fifth not

        Wettkampf mark = mitGesamt({"10.5", "11.5", "12"});
        mark.zeile[1].markiert = mark.zeile[2].markiert = true;
        werten(mark, Wertungsmodus::Markierte);
        QCOMPARE(mark.heimGes, QString(" 22"));  // 10.5 -> 10, 10 + 11.5 -> 22 (halves to even)
        QCOMPARE(mark.gastGes, QString(" 0"));
    }

    void slotsUndMannschaften() {
        Programmfenster f;
        const QString db = f.daten.pfad("wettk.db");
        Wett w(f.ini, f.dialogs, f.uhr, db);
        QVERIFY(f.dialogs.messages.last().contains("neu angelegt"));  // said once
        auto text = [&](const QString& name) { return w.findChild<QLineEdit*>(name); };
        text("Heim_Schuetze_1")->setText("Anna \"Jr.\" O'Brien");
        text("Geb_1")->setText("03/90");
        text("S1_1")->setText("95");
        text("Heim_Name")->setText("SV \"Tell\"");
        w.findChild<QCheckBox*>("Check1_1")->setChecked(true);
        w.slotWechseln(2);  // slot 1 kept, slot 2 empty
        QCOMPARE(text("Heim_Schuetze_1")->text(), QString());
        QVERIFY(w.findChild<QCheckBox*>("Check1_1")->isChecked());  // marks are not kept
        text("Klasse")->setText("A");
        w.slotWechseln(3);
        w.slotWechseln(2);
        QCOMPARE(text("Klasse")->text(), QString("A"));
        w.slotWechseln(1);
        QCOMPARE(text("Heim_Schuetze_1")->text(), QString("Anna \"Jr.\" O'Brien"));
        QCOMPARE(f.ini.IniLesen("1", "S11"), QString("95"));

        QTest::mouseClick(w.findChild<QPushButton*>("Speichern_Heim"), Qt::LeftButton);
        text("Heim_Schuetze_1")->setText("");
        text("Heim_Schuetze_3")->setText("Anna \"Jr.\" O'Brien");  // moved to row 3
        QTest::mouseClick(w.findChild<QPushButton*>("Speichern_Heim"), Qt::LeftButton);
        Wett neu(f.ini, f.dialogs, f.uhr, db);
        QCOMPARE(neu.findChild<QComboBox*>("Heimauswahl")->itemText(0), QString("SV \"Tell\""));
        neu.mannschaftWaehlen(false, "SV \"Tell\"");  // picked as guest: lands in its rows
        QCOMPARE(neu.findChild<QLineEdit*>("Heim_Schuetze_3")->text(),
                 QString("Anna \"Jr.\" O'Brien"));
        QCOMPARE(neu.findChild<QLineEdit*>("Gast_Name")->text(), QString("SV \"Tell\""));
        QCOMPARE(neu.findChild<QLineEdit*>("Heim_Schuetze_1")->text(), QString());  // moved, once
        {
            Database roh;  // a row no grid has: left out, and said
            QString fehler;
            QVERIFY(roh.open(db, &fehler));
            roh.run("INSERT INTO Schuetzen (Mannschaft, Schuetze, Nr) VALUES ('X', 'Zu weit', 20)");
        }
        neu.mannschaftWaehlen(true, "X");
        QVERIFY(f.dialogs.messages.last().contains("Zu weit"));
        neu.mannschaftLoeschen(false);
        Wett leer(f.ini, f.dialogs, f.uhr, db);
        QCOMPARE(leer.findChild<QComboBox*>("Heimauswahl")->count(), 0);
        leer.findChild<QLineEdit*>("Gast_Name")->clear();
        leer.mannschaftSpeichern(false);
        QCOMPARE(f.dialogs.messages.last(),
                 QString("Es wurde kein Name für die zu speichernde Gastmanschaft angegeben"));
        for (Wett* x : {&w, &neu, &leer})
            x->schliessen();
    }

    void blatt() {
        Wettkampf w = mitGesamt({"92", "95", "90", "91"});
        w.zeile[8].name = "Gast Eins";
        w.lp = true;
        w.klasse = "Kreisliga";
        werten(w, Wertungsmodus::BesteVier);
        AufzeichnenderDrucker d;
        blattDrucken(d, w);
        QCOMPARE(QPointF(d.suche("RUNDENWETTKAMPF")->x, d.suche("RUNDENWETTKAMPF")->y),
                 QPointF(65, 25));
        QCOMPARE(d.suche("Klasse: Kreisliga")->y, 45.0);
        const auto* heim = d.suche(" 368");
        QVERIFY(heim);
        QCOMPARE(QPointF(heim->x, heim->y), QPointF(174, 113));  // row 4 of the home table
        const auto* achter = d.suche(" 8.");
        QCOMPARE(QPointF(achter->x, achter->y), QPointF(17, 181));
        int diagonalen = 0;
        for (const auto& e : d.eintraege)
            if (e.art == AufzeichnenderDrucker::Eintrag::Linie && e.x == 180 && e.x2 == 185)
                ++diagonalen;
        QCOMPARE(diagonalen, 2);  // only the LP box is crossed

        QTemporaryDir dir;
        QtDrucker pdf(dir.filePath("blatt.pdf"));
        QString fehler;
        QVERIFY(pdf.beginnen(&fehler));
        blattDrucken(pdf, w);
        QVERIFY(pdf.beenden(&fehler));
        const QString text = pdfText(dir.filePath("blatt.pdf"), {}, &fehler);
        QVERIFY2(!text.isEmpty(), qPrintable(fehler));
        QVERIFY(text.contains("RUNDENWETTKAMPF") && text.contains("Gast Eins") &&
                text.contains("Zu Schießen ist nach der Sportordnung des DSB"));
    }

    // Competition mode: the number is a grid row; calculate-and-save fills its series.
    void wettkampfmodusImHauptfenster() {
        Programmfenster f;
        f.starten();
        Wett w(f.ini, f.dialogs, f.uhr, f.daten.pfad("wettk.db"));
        f.w->setWettkampf(&w, [&] { w.show(); });
        w.findChild<QLineEdit*>("Heim_Schuetze_3")->setText("Carla");
        f.c<QCheckBox>("Wettkampf")->setChecked(true);
        f.c<QRadioButton>("Option1")->setChecked(true);  // a grid row has no date: no question
        f.nummer("3");
        QCOMPARE(f.text("SName"), QString("Carla"));
        f.ringe(1, {"9", "9", "9", "9", "9", "9", "9", "9", "9", "10"});
        f.ringe(11, {"8", "8", "8", "8", "8", "8", "8", "8", "8", "8"});
        f.taste(Qt::Key_F4);
        QCOMPARE(w.findChild<QLineEdit*>("S1_3")->text(), QString("91"));
        QCOMPARE(w.findChild<QLineEdit*>("S2_3")->text(), QString("80"));
        QCOMPARE(w.findChild<QLineEdit*>("Ges_3")->text(), QString("171"));
        QCOMPARE(f.zahl("SELECT count(*) FROM Ergebnis"), 0);  // nothing in the club database
        QVERIFY(f.dialogs.questions.isEmpty());
        w.show();
        w.close();  // the title bar's close keeps the grid as "Formular schließen " does
        QVERIFY(!w.isVisible());
        QCOMPARE(f.ini.IniLesen("1", "S13"), QString("91"));
    }

    // Opened again, the window reads its teams anew: a team saved this session can be
    // picked; a competition database that cannot be read answers every save and delete.
    void wiederOeffnenUndKaputteDatenbank() {
        Programmfenster f;
        const QString db = f.daten.pfad("wettk.db");
        Wett w(f.ini, f.dialogs, f.uhr, db);
        w.show();
        w.findChild<QLineEdit*>("Heim_Name")->setText("SV Adler");
        w.findChild<QLineEdit*>("Heim_Schuetze_1")->setText("Anna");
        w.mannschaftSpeichern(true);
        auto* heim = w.findChild<QComboBox*>("Heimauswahl");
        QCOMPARE(heim->count(), 1);  // at once
        w.slotWechseln(2);
        w.findChild<QLineEdit*>("Datum")->setText("01.01.2020");
        w.schliessen();
        {
            Database roh;  // another window of the program saves a team meanwhile
            QString fehler;
            QVERIFY(roh.open(db, &fehler));
            roh.run("INSERT INTO Mannschaften (Mannschaft, HeimGast) VALUES ('SV Falke', 'Heim')");
        }
        w.show();
        QCOMPARE(heim->count(), 2);
        QCOMPARE(w.slot(), 1);
        QCOMPARE(w.findChild<QLineEdit*>("Datum")->text(), QString("03.04.2024"));
        w.schliessen();

        QFile kaputt(f.daten.pfad("kaputt.db"));
        QVERIFY(kaputt.open(QIODevice::WriteOnly) && kaputt.write(QByteArray(8192, 'k')) == 8192);
        kaputt.close();
        Wett k(f.ini, f.dialogs, f.uhr, kaputt.fileName());
        const qsizetype vorher = f.dialogs.messages.size();
        k.findChild<QLineEdit*>("Gast_Name")->setText("SV Tell");
        k.mannschaftSpeichern(false);
        QVERIFY(f.dialogs.messages.last().startsWith("Die Mannschaft wurde nicht gespeichert"));
        k.mannschaftLoeschen(false);
        QVERIFY(f.dialogs.messages.last().startsWith("Die Mannschaft wurde nicht gelöscht"));
        QCOMPARE(f.dialogs.messages.size(), vorher + 2);
        k.schliessen();
    }
};

QTEST_MAIN(TestWettkampf)
#include "test_wettkampf.moc"
