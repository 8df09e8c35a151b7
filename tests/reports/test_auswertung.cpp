// The evaluation window on the main window's fields: listings, sorting, the year table and
// the raw result table.
#include <QtTest>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "core/Zeilenbund.h"
#include "platform/Paths.h"
#include "reports/Jahrestab.h"
#include "reports/Klassenausdruck.h"
#include "reports/Listen.h"
#include "reports/ui/Auswertung.h"
#include "reports/ui/ZeilenModell.h"
#include "tests/support/PdfText.h"
#include "tests/support/Programmfenster.h"

namespace {

struct Fenster : Programmfenster {
    std::unique_ptr<Auswertung> a;
    Fenster() {
        daten.mitglied(1, "Anna Alt", 3);
        daten.mitglied(2, "O'Brien", 1);
        daten.mitglied(3, "Bernd \"Jr.\" Bauer", 2);
        // today (3 April 2024), last week, and a result of the last season
        daten.ergebnis({1, "2024-04-03", 95, 190, 380, 35.27, 5});
        daten.ergebnis({2, "2024-04-03", 98, 185, 370, 12.5, 3});
        daten.ergebnis({3, "2024-04-03", 0, 0, 0, 900, 0});
        daten.ergebnis({1, "2024-03-27", 90, 180, 360, 20.0, 4, 2024, true, true});
        daten.ergebnis({2, "2023-11-01", 99, 199, 399, 1.0, 9, 2023});
        starten();
        a = std::make_unique<Auswertung>(club, *w, zustand, dialogs, uhr);
        w->setAuswertungOeffnen([this] { a->show(); });
        QTest::mouseClick(knopf("ButtAuswertung"), Qt::LeftButton);
    }
    QStringList spalte(int c = 0) const {
        QStringList t;
        for (int r = 0; r < a->modell().rowCount(); ++r)
            t << a->modell().index(r, c).data().toString();
        return t;
    }
    void klassen() {
        daten.db().run("INSERT INTO Klassen (Klasse, Bez) VALUES (1, 'Schützenklasse'), "
                       "(2, 'Jugend'), (3, 'Senioren')");
    }
    void druecke(const char* name) {
        QTest::mouseClick(a->findChild<QPushButton*>(name), Qt::LeftButton);
    }
};

}  // namespace

class TestAuswertung : public QObject {
    Q_OBJECT
  private slots:
    void listenUndSortierung() {
        Fenster f;
        QVERIFY(f.a->isVisible());
        QCOMPARE(f.a->art(), Listenart::Heute);  // opening: the evening by name
        QCOMPARE(f.spalte(), (QStringList{"Anna Alt", "Bernd \"Jr.\" Bauer", "O'Brien"}));
        f.druecke("Best10butt");
        QCOMPARE(f.spalte(), (QStringList{"O'Brien", "Anna Alt", "Bernd \"Jr.\" Bauer"}));
        f.druecke("LWoche");
        QCOMPARE(f.spalte(1), QStringList{"90"});
        f.druecke("Alles");
        QCOMPARE(f.spalte().size(), 4);  // the season 2024 only
        QVERIFY(f.a->basis().endsWith("WHERE Jahr = 2024"));

        f.nummer("1");  // a member's history, by date
        f.druecke("Schuetze_butt");
        QCOMPARE(f.spalte(), (QStringList{"27.03.2024", "03.04.2024"}));
        f.druecke("NameButt");  // a history has no names: stays as it is
        QCOMPARE(f.spalte(), (QStringList{"27.03.2024", "03.04.2024"}));
        f.druecke("Drucken");  // and prints as it is shown, without an engine's error
        QVERIFY2(f.dialogs.messages.last().startsWith("Der Ausdruck wurde als PDF-Datei"),
                 qPrintable(f.dialogs.messages.last()));
        f.druecke("Best10butt");
        QCOMPARE(f.spalte(), (QStringList{"03.04.2024", "27.03.2024"}));
        f.a->sortieren("Datum");
        f.druecke("Jahr");  // right after a history: the year table unsorted
        QCOMPARE(f.a->basis(), listen::kJahr);
        QCOMPARE(f.spalte(), (QStringList{"Anna Alt", "O'Brien"}));

        f.a->aktiviert();  // coming back to the window
        QCOMPARE(f.a->sortierung(), QString("Name"));
        QCOMPARE(f.a->art(), Listenart::Heute);

        f.nummer("99");  // "Kein Eintrag": no history
        f.druecke("Schuetze_butt");
        QCOMPARE(f.dialogs.messages.last(),
                 QString("Bitte Schützennummer im Hauptformular angeben"));
        QCOMPARE(f.a->art(), Listenart::Heute);
    }

    // Ja/Nein only where the field is yes/no: the year table counts evenings in Anwesend.
    void jaNeinNurFuerJaNeinFelder() {
        Fenster f;
        const ZeilenModell& m = f.a->modell();
        QCOMPARE(m.headerData(6, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Liegend"));
        QCOMPARE(f.spalte(6), (QStringList{"Nein", "Nein", "Nein"}));
        QCOMPARE(m.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Gesamt"));
        QCOMPARE(f.a->findChild<QPushButton*>("GesammtButt")->text(), QString("Gesamt"));
        f.druecke("LWoche");
        QCOMPARE(f.spalte(6), QStringList{"Ja"});
        f.druecke("Alles");
        QCOMPARE(m.headerData(7, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Anwesend"));
        QCOMPARE(f.spalte(7), (QStringList{"Ja", "Ja", "Ja", "Ja"}));
        f.druecke("Jahr");
        QCOMPARE(m.headerData(6, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Anwesend"));
        QCOMPARE(f.spalte(), (QStringList{"Anna Alt", "O'Brien"}));
        QCOMPARE(f.spalte(6), (QStringList{"2", "1"}));  // evenings, as the table holds them
        QCOMPARE(f.spalte(7), (QStringList{"2", "1"}));
        f.druecke("GesammtButt");
        QCOMPARE(f.a->findChild<QLabel*>("Sortierung")->text(), QString("Gesamt DESC"));
        f.druecke("DelButt");
        QCOMPARE(f.spalte(7).first(), QString("Ja"));  // yes/no in the raw table again
    }

    void jahrNurNeuSortiert() {
        Fenster f;
        f.druecke("Jahr");
        QCOMPARE(f.spalte().size(), 2);
        f.daten.ergebnis({3, "2024-04-10", 90, 180, 360, 5.0, 2});
        f.druecke("TeilerButt");  // re-sorts the stored table, no rebuild
        QCOMPARE(f.spalte(), (QStringList{"O'Brien", "Anna Alt"}));
        f.druecke("Jahr");
        QCOMPARE(f.spalte(), (QStringList{"Bernd \"Jr.\" Bauer", "O'Brien", "Anna Alt"}));
    }

    // Names in German order on either engine: umlauts with their base letter, case ignored.
    void deutscheReihenfolge() {
        Fenster f;
        int nr = 10;
        for (const char* name : {"Zander", "anna klein", "Äbel", "Özdemir"}) {
            f.daten.mitglied(nr, QString::fromUtf8(name), 1);
            f.daten.ergebnis({nr++, "2024-04-03", 90, 180, 360, 20.0, 1});
        }
        f.druecke("Heute");
        f.druecke("NameButt");
        QCOMPARE(f.spalte(), (QStringList{"Äbel", "Anna Alt", "anna klein", "Bernd \"Jr.\" Bauer",
                                          "O'Brien", "Özdemir", "Zander"}));
        f.druecke("Jahr");
        f.druecke("NameButt");
        QCOMPARE(f.spalte().first(), QString("Äbel"));
        QCOMPARE(f.spalte().last(), QString("Zander"));
    }

    // Without a printer the printout becomes a PDF in the documents folder, and the user is
    // told where; a failed year table keeps the old one and says so.
    void druckenUndJahrestabelleMitFehler() {
        Fenster f;
        f.druecke("Jahr");
        f.druecke("Drucken");
        QVERIFY(
            f.dialogs.messages.last().startsWith("Der Ausdruck wurde als PDF-Datei gespeichert:"));
        const QString pdf = f.dialogs.messages.last().section('\n', 1);
        QVERIFY2(QFileInfo(pdf).size() > 1000, qPrintable(pdf));
        QVERIFY2(pdf.startsWith(paths::documentsDir()), qPrintable(pdf + " / " + paths::documentsDir()));
        // Printed again in the same second (the clock stands still): a file of its own.
        f.druecke("Drucken");
        const QString zweite = f.dialogs.messages.last().section('\n', 1);
        QVERIFY2(zweite != pdf && QFileInfo(zweite).size() > 1000, qPrintable(zweite));
        QVERIFY(QFileInfo(pdf).size() > 1000);

        f.daten.ausloeser(
            "CREATE TRIGGER kaputt BEFORE INSERT ON Jahrestab "
            "BEGIN SELECT RAISE(ABORT, 'Platte voll'); END");
        f.druecke("Jahr");
        QVERIFY(f.dialogs.messages.last().startsWith("Die Jahrestabelle konnte nicht neu"));
        QCOMPARE(f.spalte(), (QStringList{"Anna Alt", "O'Brien"}));  // the old table
    }

    // By class, once as a real PDF: one block a class with rows, the total of all of them;
    // a member whose class is outside the class table is not printed.
    void druckenNachKlassen() {
        Fenster f;
        f.klassen();
        f.daten.mitglied(4, "Dora Dreizehn", 13);
        f.daten.ergebnis({4, "2024-04-03", 80, 160, 320, 50, 1});
        f.druecke("DruckKl");
        const QString pdf = f.dialogs.messages.last().section('\n', 1);
        QString fehler;
        const QString text = pdfText(pdf, {"-layout"}, &fehler);
        QVERIFY2(!text.isEmpty(), qPrintable(fehler));
        QVERIFY2(
            text.contains("Schützenklasse") && text.contains("Jugend") && text.contains("Senioren"),
            qPrintable(text));
        QVERIFY(text.indexOf("O'Brien") < text.indexOf("Jugend"));  // class 1 first
        QVERIFY(!text.contains("Dora"));
        QVERIFY(text.contains("Personen: 3"));
    }

    // The rows of a class printout and of the raw table, read without a window.
    void klassenblockeUndSchluessel() {
        Fenster f;
        f.klassen();
        Database& db = f.daten.db();
        const Abfrage heute = listen::abend(*f.w, Listenart::Heute);
        QVERIFY2(heute.ok(), qPrintable(heute.fehler));
        const std::vector<KlassenBlock> b =
            listen::klassenBloecke(db, heute.basis, Listenart::Heute, "Name");
        QCOMPARE(b.size(), std::size_t(3));
        QCOMPARE(b[0].bez, QString("Schützenklasse"));
        QCOMPARE(b[1].bez, QString("Jugend"));
        QCOMPARE(b[0].zeilen.size(), std::size_t(1));
        QCOMPARE(b[0].zeilen.value(0, "Name").toString(), QString("O'Brien"));
        QCOMPARE(b[2].zeilen.value(0, "Name").toString(), QString("Anna Alt"));
        QVERIFY(listen::klassenBloecke(db, listen::kRoh, Listenart::Roh, "Name").empty());

        const SqlRows roh = listen::lesen(db, listen::kRoh, true);
        const SqlRows ohne = listen::lesen(db, listen::kRoh);
        QCOMPARE(roh.columns.size(), ohne.columns.size() + 1);
        QCOMPARE(roh.size(), std::size_t(5));
        // The key names the very row: deleting by it leaves the others.
        const QVariant erster = roh.rows[0][0];
        zeilenbund::ergebnisseLoeschen(db, {erster}, "Gelöscht", f.uhr.now());
        QCOMPARE(listen::lesen(db, listen::kRoh).size(), std::size_t(4));
        QVERIFY(listen::lesen(db, listen::kRoh, true).rows[0][0] != erster);
    }

    void falscheFelderImHauptfenster() {
        Fenster f;
        f.c("Heute")->setText("31.02.2024");
        f.druecke("Alles");
        f.druecke("Heute");
        QVERIFY(f.dialogs.messages.last().contains("\"Heute\""));
        QCOMPARE(f.a->art(), Listenart::Alles);  // the previous listing stays
        f.c("Saison")->setText("");
        f.druecke("Alles");
        QVERIFY(f.dialogs.messages.last().contains("Saison"));
    }

    void rohTabelleLoeschenFragtZuerst() {
        Fenster f;
        f.daten.db().run(
            "INSERT INTO Einzelergebnisse (MitglNr, Datum, Schuss, Ring) "
            "VALUES (2, '2024-04-03', 1, 9)");
        f.druecke("DelButt");
        QCOMPARE(f.spalte(6), (QStringList{"01.11.2023", "27.03.2024", "03.04.2024", "03.04.2024",
                                           "03.04.2024"}));
        auto* tabelle = f.a->findChild<QTableView*>("Tabelle");
        tabelle->setCurrentIndex(f.a->modell().index(3, 0));  // member 2, today
        f.dialogs.answerNo();
        QTest::keyClick(tabelle, Qt::Key_Delete);
        QCOMPARE(f.dialogs.questions.last(), QString("Diesen Datensatz wirklich löschen"));
        QVERIFY(f.dialogs.questionsDefaultNo.contains("Diesen Datensatz wirklich löschen"));
        QCOMPARE(f.zahl("SELECT count(*) FROM Ergebnis"), 5);
        f.dialogs.answerYes();
        QTest::mouseClick(f.a->findChild<QPushButton*>("Loeschen_butt"), Qt::LeftButton);
        QCOMPARE(f.zahl("SELECT count(*) FROM Ergebnis"), 4);
        QCOMPARE(f.zahl("SELECT count(*) FROM Ergebnis WHERE MitglNr=2 AND Datum='2024-04-03'"), 0);
        // The shots go with their result, and the log keeps both.
        QCOMPARE(f.zahl("SELECT count(*) FROM Einzelergebnisse"), 0);
        QCOMPARE(f.zahl("SELECT count(*) FROM Aenderungen WHERE Tabelle = 'Einzelergebnisse' AND "
                        "MitglNr = 2 AND Alt = 'Schuss 1: 9' AND Anlass = 'Gelöscht'"),
                 1);
        QCOMPARE(f.zahl("SELECT count(*) FROM Aenderungen WHERE Tabelle = 'Ergebnis'"), 1);
        QCOMPARE(tabelle->currentIndex().row(), 3);  // on to the next row
    }

    void jahrestabelle() {
        TestDaten d;
        d.mitglied(1, "Anna", 2);
        d.mitglied(2, "Bert", 1);
        d.mitglied(3, "Carl", 1);
        d.mitglied(4, "Dora", 1);
        for (const auto& [p, b20] : {std::pair{5.0, 190.0}, {0.0, 0.0}, {3.0, 185.0}})
            d.ergebnis({1, "2024-01-10", 0, b20, 0, 40.0, p});
        d.ergebnis({2, "2024-01-10", 90, 180, 360, 0, 0});         // present, no points
        d.ergebnis({3, "2024-01-10", 90, 180, 360, 0, 2});         // Teiler 0
        d.ergebnis({4, "2024-01-10", 90, 180, 360, 12000, 1});     // no Teiler
        d.ergebnis({1, "2023-01-10", 90, 180, 360, 1, 50, 2023});  // another season
        d.ergebnis({9, "2024-01-10", 90, 180, 360, 1, 50});        // no longer a member
        const QString sql =
            "SELECT Name, Punkte, Geschossen, Anwesend, Teiler, Klasse FROM "
            "Jahrestab ORDER BY rowid";
        const QList<QVariantList> erwartet = {
            {"Anna", 8, 2, 3, 40, 2}, {"Carl", 2, 1, 1, 0, 1}, {"Dora", 1, 1, 1, 9999.9, 1}};
        for (int mal = 0; mal < 2; ++mal) {  // twice: the same rows
            jahrestabNeuAufbauen(d.db(), 2024);
            const SqlRows r = d.db().run(sql);
            QCOMPARE(r.size(), std::size_t(3));
            for (int i = 0; i < 3; ++i)
                for (int c = 0; c < 6; ++c)
                    QCOMPARE(r.rows[i][c].toString(), erwartet[i][c].toString());
        }
        // A failure half-way leaves the old table.
        d.ausloeser(
            "CREATE TRIGGER kaputt BEFORE INSERT ON Jahrestab WHEN NEW.Name = 'Dora' "
            "BEGIN SELECT RAISE(ABORT, 'Platte voll'); END");
        QVERIFY_THROWS_EXCEPTION(DatabaseError, jahrestabNeuAufbauen(d.db(), 2024));
        QCOMPARE(d.zahl("SELECT count(*) FROM Jahrestab"), 3);
    }
};

QTEST_MAIN(TestAuswertung)
#include "test_auswertung.moc"
