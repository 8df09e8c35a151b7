// Members and classes, the point tables, and a new club database used from the first start.
#include <QtTest>

#include <QCheckBox>
#include <QPushButton>
#include <QTableView>

#include "members/ui/FormPunkte.h"
#include "members/ui/KlassenFenster.h"
#include "members/ui/Mitgl.h"
#include "members/TabellenModell.h"
#include "platform/AufzeichnenderDrucker.h"
#include "reports/Klassenzuordnung.h"
#include "reports/Mitgliederliste.h"
#include "tests/support/Programmfenster.h"

class TestMitglieder : public QObject {
    Q_OBJECT
  private slots:
    void alterUndStichtag() {
        const QDate stich(2005, 10, 1);
        QCOMPARE(monateBis(QDate(1990, 9, 15), stich), 181);
        QCOMPARE(klassenAlter(181), 16);
        QCOMPARE(klassenAlter(monateBis(QDate(1990, 11, 15), stich)), 15);
        QCOMPARE(stichtag(QDate(2006, 2, 1), -4), stich);  // season offset of four months
        QCOMPARE(stichtag(QDate(2006, 5, 1), -4), QDate(2006, 10, 1));
    }

    void klassenzuordnung() {
        TestDaten d;
        d.db().run(
            "INSERT INTO Klassen (Klasse, Bez, UAlter, OAlter, Geschlecht) VALUES "
            "(4, 'Schüler', 0, 14, 'mw'), (2, 'Damen', 15, 99, 'w'), "
            "(1, 'Herren', 15, 99, 'm'), (3, 'Alle', 15, 99, 'mw')");
        const auto mitglied = [&](int nr, const char* name, const QVariant& geb, const char* g) {
            d.db().run(
                "INSERT INTO Mitglieder (Nr, Name, Geburtstag, Geschlecht, Klasse) "
                "VALUES (?, ?, ?, ?, 9)",
                {nr, name, geb, g});
        };
        mitglied(1, "September", "2001-09-30", "w");  // 49 months: 5
        mitglied(2, "Oktober", "2001-10-01", "m");    // 48 months: 4, taken as 5
        mitglied(3, "Gross", "1970-05-05", "W");      // upper case: searched as "m"
        mitglied(4, "Frau", "1970-05-05", "w");       // "Damen" comes before "Alle"
        mitglied(5, "Ohne", QVariant(), "m");         // no birthday: stays 9
        mitglied(6, "Alt", "1890-01-01", "m");        // 115: no class, stays 9
        const Klassenzuordnung z = klassenBerechnen(d.db(), QDate(2005, 10, 1), "Nr",
                                                    QDateTime(QDate(2005, 10, 1), QTime(19, 30)));
        QCOMPARE(d.db().run("SELECT Klasse FROM Mitglieder ORDER BY Nr").rows,
                 (std::vector<QVariantList>{{4}, {4}, {1}, {2}, {9}, {9}}));
        QCOMPARE(z.zugeordnet, 4);
        QCOMPARE(z.meldungen,
                 (QStringList{"Geburtstag von Oktober(01.10.2001) ist vermutlich falsch",
                              "Geschlecht von Gross(W) ist vermutlich falsch",
                              "Geburtstag von Ohne fehlt; die Klasse bleibt.",
                              "Keine Klasse zu Alt gefunden"}));
    }

    void mitgliederliste() {
        SqlRows z;
        z.columns = {"Nr", "Name", "Geburtstag", "Geschlecht", "Strasse", "Ort", "Klasse"};
        for (int i = 1; i <= 60; ++i)
            z.rows.push_back(
                {i, QString("Mitglied %1").arg(i), "1980-02-03", "m", "Weg 1", "Ort", 1});
        AufzeichnenderDrucker d;
        mitgliederDrucken(d, z, 0, "03.04.2024 19:30:00");
        QCOMPARE(d.texte().first(), QString(" Mitgliederausdruck vom: 03.04.2024 19:30:00"));
        QCOMPARE(d.eintraege.first().punkte, 15.0);
        QCOMPARE(d.suche("Straße")->x, 100.0);
        QCOMPARE(d.suche("Mitglied 1")->x, 25.0);
        QVERIFY(d.suche("03.02.1980"));
        QCOMPARE(d.seiten(), 2);
        for (const auto& e : d.eintraege)
            QVERIFY(e.y < 275);
        AufzeichnenderDrucker ab;
        mitgliederDrucken(ab, z, 59, "x");  // from the current row to the end
        QVERIFY(!ab.suche("Mitglied 1 ") && ab.suche("Mitglied 60"));
    }

    // A new club database from the first start: members added, classes assigned, point
    // tables entered, an evening scored with the points of the member's class.
    // Classes kept in the program: checked as typed, overlaps named, the usual classes for a
    // new club; the window is reached from the members window, as are the point tables,
    // whose grids have German headings.
    void klassenfenster() {
        Programmfenster f;
        f.starten();
        Mitgl m(f.club, *f.w, f.zustand, f.dialogs, f.uhr);
        KlassenFenster k(f.club, f.dialogs);
        FormPunkte p(f.club, f.zustand, f.dialogs);
        m.setKlassenOeffnen([&] { k.show(); });
        m.setPunkteOeffnen([&] { p.show(); });
        QTest::mouseClick(m.findChild<QPushButton*>("Klassen_butt"), Qt::LeftButton);
        QVERIFY(k.isVisible());
        QTest::mouseClick(k.findChild<QPushButton*>("Start_butt"), Qt::LeftButton);
        QCOMPARE(k.modell().rowCount(), 9);
        QCOMPARE(f.zeile("SELECT Bez, UAlter, OAlter, Geschlecht FROM Klassen WHERE Klasse = 2"),
                 (QVariantList{"Jugend", 15, 16, "mw"}));
        QCOMPARE(k.hinweis(), QString());
        QTest::mouseClick(k.findChild<QPushButton*>("Start_butt"), Qt::LeftButton);  // not twice
        QVERIFY(f.dialogs.messages.last().contains("Es sind schon Klassen eingetragen"));
        QString fehler;
        QVERIFY(!k.modell().setzen(0, "Klasse", "12", &fehler));
        QCOMPARE(fehler, QString("Die Nummer einer Klasse ist eine ganze Zahl von 1 bis 9."));
        QVERIFY(!k.modell().setzen(0, "Klasse", "2", &fehler));
        QCOMPARE(fehler, QString("Die Klasse 2 gibt es schon."));
        QVERIFY(!k.modell().setzen(0, "Geschlecht", "x", &fehler));
        QVERIFY(!k.modell().setzen(0, "OAlter", "200", &fehler));
        QVERIFY(k.modell().setzen(0, "OAlter", "16", &fehler));  // Schüler now up to 16
        QCOMPARE(k.hinweis(), QString("Überschneidungen (es zählt die erste passende Klasse):\n"
                                      "Klasse 1 (Schüler) und Klasse 2 (Jugend) überschneiden "
                                      "sich: 15 bis 16 Jahre, m und w"));
        QTest::mouseClick(k.findChild<QPushButton*>("Neu_butt"), Qt::LeftButton);
        QVERIFY(f.dialogs.messages.last().startsWith("Es gibt schon neun Klassen"));
        QCOMPARE(k.modell().headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QString("Bezeichnung"));
        QTest::keyClick(&k, Qt::Key_Escape);
        QVERIFY(!k.isVisible());

        QTest::mouseClick(m.findChild<QPushButton*>("Punkte_butt"), Qt::LeftButton);
        QVERIFY(p.isVisible());
        QCOMPARE(p.ringe().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QString("ab Ringen"));
    }

    void neuerVereinVomErstenStart() {
        Programmfenster f;
        f.daten.db().run(
            "INSERT INTO Klassen (Klasse, Bez, UAlter, OAlter, Geschlecht) "
            "VALUES (1, 'Schützen', 15, 99, 'mw'), (2, 'Jugend', 0, 14, 'mw')");
        f.starten();
        Mitgl m(f.club, *f.w, f.zustand, f.dialogs, f.uhr);
        f.w->setMitgliederOeffnen([&] { m.show(); });
        QTest::mouseClick(f.knopf("ButtMitglieder"), Qt::LeftButton);
        QVERIFY(m.isVisible());
        const QList<QStringList> neue = {{"Anna Alt", "15.09.1990", "w"},
                                         {"Ben Bauer", "01.01.2012", "m"},
                                         {"Carl O'Neil", "24.12.1985", "m"}};
        for (const QStringList& n : neue) {
            QTest::mouseClick(m.findChild<QPushButton*>("Neu_butt"), Qt::LeftButton);
            for (int i = 0; i < 3; ++i) {
                QLineEdit* feld = m.findChild<QLineEdit*>(QString("Text%1").arg(i + 2));
                feld->setFocus();
                feld->selectAll();
                feld->setText(n[i]);
                QTest::keyClick(feld, Qt::Key_Return);
            }
        }
        QCOMPARE(f.zahl("SELECT count(*) FROM Mitglieder"), 3);
        QCOMPARE(f.zeile("SELECT Nr, Geburtstag FROM Mitglieder WHERE Name='Anna Alt'"),
                 (QVariantList{1, "1990-09-15"}));

        // A number taken twice, a date that is none: refused in German, the old value stays.
        QLineEdit* nr = m.findChild<QLineEdit*>("Text1");
        nr->setText("1");
        QTest::keyClick(nr, Qt::Key_Return);
        QCOMPARE(f.dialogs.messages.last(), QString("Die Mitgliedsnummer 1 ist schon vergeben."));
        QCOMPARE(nr->text(), QString("3"));
        // An emptied number, a broken one, a name longer than the field: refused as well.
        for (const char* falsch : {"", "2,5"}) {
            nr->setText(falsch);
            QTest::keyClick(nr, Qt::Key_Return);
            QCOMPARE(nr->text(), QString("3"));
        }
        QVERIFY(f.dialogs.messages.at(f.dialogs.messages.size() - 2)
                    .startsWith("Jedes Mitglied braucht eine Nummer"));
        QCOMPARE(f.dialogs.messages.last(), QString("\"2,5\" ist keine ganze Zahl."));
        QLineEdit* name = m.findChild<QLineEdit*>("Text2");
        name->setText(QString(51, u'x'));
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(f.dialogs.messages.last(),
                 QString("Der Text ist 51 Zeichen lang; das Feld fasst höchstens 50."));
        QCOMPARE(name->text(), QString("Carl O'Neil"));
        QCOMPARE(f.zahl("SELECT count(*) FROM Mitglieder WHERE Nr = 3"), 1);
        QLineEdit* geb = m.findChild<QLineEdit*>("Text3");
        geb->setText("31.02.1985");
        QTest::keyClick(geb, Qt::Key_Return);
        QVERIFY(f.dialogs.messages.last().contains("kein gültiges Datum"));
        QCOMPARE(geb->text(), QString("24.12.1985"));

        QTest::mouseClick(m.findChild<QPushButton*>("Command2"), Qt::LeftButton);
        QCOMPARE(f.zeilen("SELECT Klasse FROM Mitglieder ORDER BY Nr").rows,
                 (std::vector<QVariantList>{{1}, {2}, {1}}));
        QCOMPARE(m.aktuelleZeile(), 0);  // back at the first member: printing prints all

        f.dialogs.answerNo();
        QTest::keyClick(m.findChild<QTableView*>("Tabelle"), Qt::Key_Delete);
        QCOMPARE(f.dialogs.questions.last(),
                 QString("Mitglied Anna Alt (Nr. 1) wirklich löschen?"));
        QCOMPARE(f.dialogs.questionsDefaultNo.last(), f.dialogs.questions.last());
        QCOMPARE(f.zahl("SELECT count(*) FROM Mitglieder"), 3);

        // The point tables: 85 rings and more give 3 points in class 1; 2 for attendance.
        FormPunkte p(f.club, f.zustand, f.dialogs);
        p.show();
        QTest::mouseClick(p.findChildren<QPushButton*>().first(), Qt::LeftButton);  // Neue Zeile
        QString fehler;
        QVERIFY(p.ringe().setzen(0, "URinge", "85", &fehler));
        QVERIFY(p.ringe().setzen(0, "Punkte", "3", &fehler));
        QVERIFY(!p.ringe().setzen(0, "Punkte", "drei", &fehler));
        QCOMPARE(fehler, QString("\"drei\" ist keine Zahl."));
        p.findChild<QCheckBox*>("Klass1a_1")->click();
        QLineEdit* anw = p.findChild<QLineEdit*>("Text1");
        anw->setText("2");
        QTest::keyClick(anw, Qt::Key_Return);
        QCOMPARE(f.zeile("SELECT URinge, Punkte, Klasse1, Klasse2 FROM Ringe"),
                 (QVariantList{85, 3, 1, 0}));
        QCOMPARE(f.zustand.AnwPunkte, std::int16_t(2));
        anw->setText("2,5");  // evenings award whole points only
        QTest::keyClick(anw, Qt::Key_Return);
        QVERIFY(f.dialogs.messages.last().startsWith("Punkte für Anwesenheit sind ganze Zahlen"));
        QCOMPARE(anw->text(), QString("2"));
        QCOMPARE(f.zahl("SELECT AnwPunkte FROM Sonder"), 2);

        f.nummer("3");
        QCOMPARE(f.text("SName"), QString("Carl O'Neil"));
        f.ringe(1, {"9", "9", "9", "9", "9", "9", "9", "9", "9", "9"});
        f.daten.db().run("UPDATE Mitglieder SET Klasse = 2 WHERE Nr = 3");  // changed meanwhile
        f.taste(Qt::Key_F4);
        QCOMPARE(f.text("Punkte"), QString("2"));  // class 2 has no ring points
        f.daten.db().run("UPDATE Mitglieder SET Klasse = 1 WHERE Nr = 3");
        f.taste(Qt::Key_F4);
        QCOMPARE(f.text("Punkte"), QString("5"));
        QCOMPARE(f.zahl("SELECT Punkte FROM Ergebnis WHERE MitglNr=3"), 5);
    }
};

QTEST_MAIN(TestMitglieder)
#include "test_mitglieder.moc"
