// The evening, year, season and member printouts: laid out on the recording printer, and
// once a real PDF for each listing read back with pdftotext.
#include <QtTest>

#include <QRegularExpression>

#include "platform/AufzeichnenderDrucker.h"
#include "platform/QtDrucker.h"
#include "reports/Ausdruck.h"
#include "reports/Klassenausdruck.h"
#include "reports/Klassenname.h"
#include "tests/support/PdfText.h"
#include "tests/support/TestDaten.h"

namespace {

const Druckkopf kKopf{"03.04.2024", "Anna Alt", "03.04.2024 19:30:00"};

SqlRows abendZeilen(int n) {
    SqlRows z;
    z.columns = {"Name", "Best10", "Best20", "Gesammt", "Teiler", "Punkte", "Liegend"};
    for (int i = 0; i < n; ++i)
        z.rows.push_back({QString("Schütze %1").arg(i + 1), 95, 190, 380, 35.27, 5, 1});
    return z;
}

Namensform unveraendert() {
    return [](const QString& n) { return n; };
}

}  // namespace

class TestAusdruck : public QObject {
    Q_OBJECT
  private slots:
    void abendausdruck() {
        SqlRows z = abendZeilen(3);
        z.rows[1] = {"Bert", 0, 185, 370, 800.0, 3.5, 0};
        z.rows[2] = {"Carl", 90, 180, 360, 800.1, 0, 0};
        AufzeichnenderDrucker d;
        QCOMPARE(listeDrucken(d, Listenart::Heute, z, kKopf, unveraendert()), 3);
        const auto* titel = d.suche("Ausdruck des Schießens vom: ");
        QVERIFY(titel);
        QCOMPARE(titel->text, QString("Ausdruck des Schießens vom: 03.04.2024     Ausgedruckt am: "
                                      "03.04.2024 19:30:00"));
        // 12 points, smaller only as far as needed to end at the 190 mm the lines end at
        QVERIFY(titel->punkte <= 12);
        QVERIFY(titel->x + titel->text.size() * titel->punkte * 25.4 / 72 * 0.5 <= 190.01);
        QCOMPARE(QPointF(titel->x, titel->y), QPointF(35, 10));
        // line height at 10 pt: 4.06 mm; headings at 2 TH + 10 = 18 mm, first row at 26 mm
        QCOMPARE(d.suche("Beste 20")->x, 100.0);
        QCOMPARE(d.suche("Beste 20")->y, 18.0);
        QCOMPARE(d.texte().mid(8, 7),
                 (QStringList{"Schütze 1", "95", "190", "380", "35,3", " 5", "X"}));
        QCOMPARE(d.suche("Schütze 1")->y, 26.0);
        QCOMPARE(d.texte().mid(15, 7), (QStringList{"Bert", "", "185", "370", "800", " 3.5", ""}));
        QCOMPARE(d.texte().mid(22, 5), (QStringList{"Carl", "90", "180", "360", "-"}));
        QCOMPARE(d.texte().last(), QString("Personen: 3"));
        QCOMPARE(d.eintraege.last().x, 15.0);
        QVERIFY(!d.beendet);  // the caller ends the job
    }

    void seitenumbruchUndLeererAbend() {
        AufzeichnenderDrucker d;
        QCOMPARE(listeDrucken(d, Listenart::LetzteWoche, abendZeilen(60), kKopf, unveraendert()),
                 60);
        QCOMPARE(d.seiten(), 2);
        for (const auto& e : d.eintraege)
            QVERIFY2(e.y < 251 || e.art != AufzeichnenderDrucker::Eintrag::Text ||
                         !e.text.startsWith("Schütze"),
                     qPrintable(QString::number(e.y)));
        QStringList titel;
        for (const auto& e : d.eintraege)
            if (e.text.startsWith("Ausdruck des"))
                titel << QString("%1:%2").arg(e.seite).arg(e.text.left(38));
        QCOMPARE(titel, (QStringList{"1:Ausdruck des Schießens vom: 03.04.2024",
                                     "2:Ausdruck des Schießens vom: 03.04.2024"}));
        AufzeichnenderDrucker leer;
        listeDrucken(leer, Listenart::Heute, abendZeilen(0), kKopf, unveraendert());
        QCOMPARE(leer.texte().last(), QString("Personen: 0"));
        QCOMPARE(leer.texte().size(), 1 + 7 + 1);  // title, headings, count
    }

    void jahrUndSchuetze() {
        SqlRows jahr;
        jahr.columns = {"Name",   "Best10",   "Best20",     "Gesammt", "Teiler",
                        "Punkte", "Anwesend", "Geschossen", "Klasse"};
        jahr.rows.push_back({"Anna", 950, 1900, 3800, 12.5, 40, 12, 10, 3});
        AufzeichnenderDrucker d;
        listeDrucken(d, Listenart::Jahr, jahr, kKopf, unveraendert());
        QCOMPARE(d.texte().first(),
                 QString("Ausdruck Jahresleistung           Ausgedruckt am: 03.04.2024 19:30:00"));
        QCOMPARE(d.suche("12 /10")->x, 145.0);
        QCOMPARE(d.suche("Klasse")->x, 175.0);

        SqlRows verlauf;
        verlauf.columns = {"Datum", "Best10", "Best20", "Gesammt", "Teiler", "Punkte"};
        verlauf.rows.push_back({"2024-03-27", 90, 180, 360, 20.0, 4});
        AufzeichnenderDrucker s;
        listeDrucken(s, Listenart::Schuetze, verlauf, kKopf, [](const QString& n) {
            return n + "(x)";  // dates are no names
        });
        QCOMPARE(s.texte().first().left(37), QString("Jahresausdruck Schütze   Anna Alt   A"));
        QCOMPARE(s.eintraege.first().x, 25.0);
        QVERIFY(s.suche("27.03.2024"));
        QCOMPARE(s.texte().last(), QString("Anzahl Ergebnisse: 1"));
        AufzeichnenderDrucker roh;
        QCOMPARE(listeDrucken(roh, Listenart::Roh, verlauf, kKopf, unveraendert()), -1);
        QVERIFY(roh.eintraege.isEmpty());
    }

    void namenMitKlasse() {
        TestDaten d;
        d.mitglied(1, "Anna Alt", 3);
        d.mitglied(2, "O'Brien \"Jr.\"", 3);
        d.mitglied(3, "Ohne Klasse", 7);
        d.db().run("INSERT INTO Klassen (Klasse, Bez) VALUES (3, 'Schüler')");
        QCOMPARE(NameMitKlasse(d.db(), "Anna Alt", true), QString("Anna Alt(Schüler)"));
        QCOMPARE(NameMitKlasse(d.db(), "O'Brien \"Jr.\"", true),
                 QString("O'Brien \"Jr.\"(Schüler)"));
        QCOMPARE(NameMitKlasse(d.db(), "Ohne Klasse", true), QString("Ohne Klasse"));
        QCOMPARE(NameMitKlasse(d.db(), "Niemand", true), QString("Niemand"));
        QCOMPARE(NameMitKlasse(d.db(), "Anna Alt", false), QString("Anna Alt"));
    }

    void klassenausdruck() {
        std::vector<KlassenBlock> bloecke = {
            {"Schützen", abendZeilen(2)}, {"Jugend", abendZeilen(0)}, {"Damen", abendZeilen(1)}};
        AufzeichnenderDrucker d;
        QCOMPARE(klassenDrucken(d, Listenart::Heute, bloecke, kKopf), 3);
        QVERIFY(d.texte().first().startsWith("Ausdruck des Schießens vom: 03.04.2024     "));
        QCOMPARE(d.eintraege.first().x, 25.0);
        QVERIFY(!d.texte().contains("Jugend"));  // a class without rows takes no space
        // 12 pt line 4.87 mm, 10 pt 4.06 mm: class at 15, headings at 20, rows at 28 and 32
        QCOMPARE(d.suche("Schützen")->y, 15.0);
        QCOMPARE(d.suche("Beste 10")->y, 20.0);
        QCOMPARE(d.suche("Schütze 2")->y, 32.0);
        QCOMPARE(d.suche("Damen")->y, 40.0);
        QCOMPARE(d.texte().last(), QString("Personen: 3"));

        AufzeichnenderDrucker lang;
        klassenDrucken(lang, Listenart::LetzteWoche, {{"Schützen", abendZeilen(70)}}, kKopf);
        QCOMPARE(lang.seiten(), 2);
        const auto* folge = lang.suche("Ausdruck des Schießens vom: 03.04.2024");
        for (const auto& e : lang.eintraege)
            if (e.seite == 2 && e.text.startsWith("Ausdruck"))
                folge = &e;
        QCOMPARE(folge->seite, 2);
        QCOMPARE(folge->x, 0.0);
        QCOMPARE(listen::klassenAbfrage(listen::kJahr, Listenart::Jahr, 3, "Teiler"),
                 listen::kJahr + " WHERE Klasse = 3 ORDER BY Teiler");
        QCOMPARE(listen::klassenAnzahl(Listenart::Heute, 12), 12);
        QCOMPARE(listen::klassenAnzahl(Listenart::Jahr, 12), 9);
        QCOMPARE(listen::klassenAnzahl(Listenart::Schuetze, 12), 0);
    }

    // At every page boundary: a class heading stands on the page of its first row, every
    // row is printed within the page, and "Personen:" counts exactly the rows printed.
    void klassenausdruckAnJederSeitengrenze() {
        for (int n = 1; n <= 120; ++n) {
            SqlRows zweite = abendZeilen(3);
            for (auto& z : zweite.rows)
                z[0] = "Zweite " + z[0].toString();
            AufzeichnenderDrucker d;
            QCOMPARE(
                klassenDrucken(d, Listenart::Heute,
                               {{"Klasse Eins", abendZeilen(n)}, {"Klasse Zwei", zweite}}, kKopf),
                n + 3);
            int zeilen = 0;
            for (const auto& e : d.eintraege) {
                if (e.art != AufzeichnenderDrucker::Eintrag::Text)
                    continue;
                QVERIFY2(
                    e.y + 4.06 <= 280,
                    qPrintable(QString("%1 Zeilen: \"%2\" bei %3 mm").arg(n).arg(e.text).arg(e.y)));
                zeilen += e.text.contains("Schütze ") ? 1 : 0;
            }
            QCOMPARE(zeilen, n + 3);
            const auto* kopf = d.suche("Klasse Zwei");
            const auto* erste = d.suche("Zweite Schütze 1");
            QCOMPARE(kopf->seite, erste->seite);
            QVERIFY(erste->y > kopf->y);
            QCOMPARE(d.texte().last(), QString("Personen: %1").arg(n + 3));
        }
    }

    // Each listing once as a real PDF: the words stand where the layout put them.
    void pdfJeListe_data() {
        QTest::addColumn<int>("art");
        QTest::addColumn<QString>("wort");
        QTest::addColumn<double>("xMm");
        QTest::newRow("abend") << 1 << "Liegend" << 175.0;
        QTest::newRow("letzte woche") << 2 << "Personen:" << 15.0;
        QTest::newRow("jahr") << 3 << "Anw/Gesch" << 145.0;
        QTest::newRow("alles") << 4 << "Beste" << 65.0;
        QTest::newRow("schuetze") << 5 << "Anzahl" << 15.0;
    }
    void pdfJeListe() {
        QFETCH(int, art);
        QFETCH(QString, wort);
        QFETCH(double, xMm);
        QTemporaryDir dir;
        const QString pdf = dir.filePath("liste.pdf");
        QtDrucker d(pdf);
        QString fehler;
        QVERIFY2(d.beginnen(&fehler), qPrintable(fehler));
        listeDrucken(d, static_cast<Listenart>(art), abendZeilen(2), kKopf, unveraendert());
        QVERIFY(d.beenden(&fehler));

        const QString html = pdfText(pdf, {"-bbox"}, &fehler);
        QVERIFY2(!html.isEmpty(), qPrintable(fehler));
        const QRegularExpression re(
            QString("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>%1</word>")
                .arg(QRegularExpression::escape(wort)));
        const auto m = re.match(html);
        QVERIFY2(m.hasMatch(), qPrintable(html.left(2000)));
        // 10 mm page margin, then the layout's millimetres; PDF units are points
        const double x = m.captured(1).toDouble() * 25.4 / 72 - 10;
        QVERIFY2(std::fabs(x - xMm) < 1.5, qPrintable(QString::number(x)));
        QVERIFY(html.contains(">19:30:00</word>"));
    }
};

QTEST_MAIN(TestAusdruck)
#include "test_ausdruck.moc"
