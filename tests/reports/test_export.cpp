// The delimited export, byte for byte, and through the evaluation window.
#include <QtTest>

#include <QPushButton>

#include "platform/Paths.h"
#include "reports/Export.h"
#include "reports/ui/Auswertung.h"
#include "tests/support/Programmfenster.h"

class TestExport : public QObject {
    Q_OBJECT
  private slots:
    void felderNachTyp_data() {
        QTest::addColumn<QString>("trenner");
        QTest::addColumn<QByteArray>("erwartet");
        QTest::newRow("komma") << ","
                               << QByteArray(
                                      "Name,Datum,Teiler,S1,Liegend,Best10,Nr,\r\n"
                                      "O'Brien,03.04.2024,12.5,91,Ja,95.5,7,\r\n"
                                      "M\xfcller ?,,0.0,,Nein,,,\r\n");
        QTest::newRow("semikolon") << ";"
                                   << QByteArray(
                                          "Name;Datum;Teiler;S1;Liegend;Best10;Nr;\r\n"
                                          "O'Brien;03.04.2024;12,5;91;Ja;95,5;7;\r\n"
                                          "M\xfcller ?;;0,0;;Nein;;;\r\n");
    }
    void felderNachTyp() {
        QFETCH(QString, trenner);
        QFETCH(QByteArray, erwartet);
        SqlRows z;
        z.columns = {"Name", "Datum", "Teiler", "S1", "Liegend", "Best10", "Nr"};
        z.rows.push_back({"O'Brien", "2024-04-03", 12.5, 91.4, 1, 95.5, 7});
        z.rows.push_back({QString::fromUtf8("Müller ☺"), QVariant(), 0.0, QVariant(), 0, QVariant(),
                          QVariant()});
        const std::vector<Spaltentyp> typen = {
            Spaltentyp::Text,   Spaltentyp::Datum,   Spaltentyp::Einfach, Spaltentyp::Lang,
            Spaltentyp::JaNein, Spaltentyp::Doppelt, Spaltentyp::Ganz};
        QCOMPARE(exportText(z, typen, trenner), erwartet);
        z.rows.clear();
        QCOMPARE(exportText(z, typen, trenner), erwartet.left(erwartet.indexOf('\n') + 1));
    }

    // The log's arrows have no Windows-1252 code: written as "->", not as "?".
    void pfeilAlsZeichenfolge() {
        SqlRows z;
        z.columns = {"Feld", "Neu"};
        z.rows.push_back({QString::fromUtf8("Schüsse"),
                          QString::fromUtf8("Schuss 7: Ring 10 → 5, Schuss 8: – → 9")});
        QString ohne;
        const QByteArray text = exportText(z, {Spaltentyp::Text, Spaltentyp::Text}, ";", &ohne);
        QCOMPARE(text,
                 QByteArray("Feld;Neu;\r\nSch\xfcsse;Schuss 7: Ring 10 -> 5, Schuss 8: \x96 -> "
                            "9;\r\n"));
        QVERIFY2(ohne.isEmpty(), qPrintable(ohne));
    }

    // Names holding the delimiter, quotes or a line break: quoted, so that every row stays
    // one line of the header's width as a spreadsheet reads it.
    void trennerUndAnfuehrungszeichenImFeld_data() {
        QTest::addColumn<QString>("trenner");
        QTest::addColumn<QByteArray>("erwartet");
        QTest::newRow("komma") << ","
                               << QByteArray(
                                      "Name,\"Ort, Land\",Teiler,\r\n"
                                      "\"M\xfcller, Hans\",\"Anna \"\"die Schnelle\"\"\",1.5,\r\n"
                                      "\"Zwei\r\nZeilen\",a;b,2.5,\r\n");
        QTest::newRow("semikolon") << ";"
                                   << QByteArray(
                                          "Name;Ort, Land;Teiler;\r\n"
                                          "M\xfcller, Hans;\"Anna \"\"die Schnelle\"\"\";1,5;\r\n"
                                          "\"Zwei\r\nZeilen\";\"a;b\";2,5;\r\n");
    }
    void trennerUndAnfuehrungszeichenImFeld() {
        QFETCH(QString, trenner);
        QFETCH(QByteArray, erwartet);
        SqlRows z;
        z.columns = {"Name", "Ort, Land", "Teiler"};
        z.rows.push_back({QString::fromUtf8("Müller, Hans"), "Anna \"die Schnelle\"", 1.5});
        z.rows.push_back({"Zwei\r\nZeilen", "a;b", 2.5});
        const std::vector<Spaltentyp> typen = {Spaltentyp::Text, Spaltentyp::Text,
                                               Spaltentyp::Einfach};
        QCOMPARE(exportText(z, typen, trenner), erwartet);
    }

    // A delimiter Windows-1252 lacks is written as "?": a field holding "?" (or a character
    // that becomes one) is quoted like one holding the delimiter.
    void trennerOhneCode() {
        SqlRows z;
        z.columns = {"Name", "Frage"};
        z.rows.push_back({QString::fromUtf8("Łukasz"), "wer?"});
        const QByteArray datei =
            exportText(z, {Spaltentyp::Text, Spaltentyp::Text}, QString::fromUtf8("✓"));
        QCOMPARE(datei, QByteArray("Name?Frage?\r\n\"?ukasz\"?\"wer?\"?\r\n"));
    }

    // The evening from the window: types from the club database, the file replaced as a
    // whole, and a folder that does not exist answered in German without a file.
    void ausDemFenster() {
        Programmfenster f;
        f.daten.mitglied(1, "Anna Alt", 1);
        f.daten.ergebnis({1, "2024-04-03", 95, 190, 380, 35.27, 5, 2024, true, true});
        f.starten();
        f.zustand.Exporttrenner = ";";
        const QString pfad = f.daten.pfad("liste.csv");
        f.zustand.Exportdatei = pfad;
        Auswertung a(f.club, *f.w, f.zustand, f.dialogs, f.uhr);
        a.show();
        for (int mal = 0; mal < 2; ++mal)  // twice: replaced, not appended
            QTest::mouseClick(a.findChild<QPushButton*>("Export"), Qt::LeftButton);
        QVERIFY(!f.dialogs.messages.isEmpty());
        QCOMPARE(f.dialogs.messages.last(), "Datei wurde nach " + pfad + " exportiert");
        // Read and closed again at once: on Windows a file held open cannot be replaced.
        const auto lesen = [](const QString& p) {
            QFile d(p);
            return d.open(QIODevice::ReadOnly) ? d.readAll() : QByteArray();
        };
        QCOMPARE(lesen(pfad), QByteArray("Name;Best10;Best20;Gesammt;Teiler;Punkte;Liegend;\r\n"
                                         "Anna Alt;95;190;380;35,3;5;Ja;\r\n"));

        // A name with letters Windows-1252 lacks: the file has "?", the message says which.
        f.daten.db().run("UPDATE Mitglieder SET Name = 'Łukasz Żak' WHERE Nr = 1");
        QTest::mouseClick(a.findChild<QPushButton*>("Export"), Qt::LeftButton);
        QVERIFY2(f.dialogs.messages.last().endsWith("stehen in der Datei als \"?\": ŁŻ"),
                 qPrintable(f.dialogs.messages.last()));
        const QByteArray mitFragezeichen = lesen(pfad);
        QVERIFY(mitFragezeichen.contains("\r\n?ukasz ?ak;"));

#ifdef Q_OS_WIN
        // A spreadsheet that holds the file open: the export says it could not write it,
        // and the file is the one before.
        {
            QFile offen(pfad);
            QVERIFY(offen.open(QIODevice::ReadOnly));
            const qsizetype vorher = f.dialogs.messages.size();
            QTest::mouseClick(a.findChild<QPushButton*>("Export"), Qt::LeftButton);
            QCOMPARE(f.dialogs.messages.size(), vorher + 1);
            QVERIFY2(f.dialogs.messages.last().startsWith("Es wurde nichts exportiert.\n") &&
                         f.dialogs.messages.last().contains(pfad),
                     qPrintable(f.dialogs.messages.last()));
        }
        QCOMPARE(lesen(pfad), mitFragezeichen);
        QVERIFY(QDir(f.daten.pfad("")).entryList({"*.csv*"}, QDir::Files) ==
                QStringList{"liste.csv"});  // no temporary file left beside it
#endif

        f.zustand.Exportdatei = f.daten.pfad("fehlt/liste.csv");
        QTest::mouseClick(a.findChild<QPushButton*>("Export"), Qt::LeftButton);
        QVERIFY(f.dialogs.messages.last().contains(f.daten.pfad("fehlt/liste.csv")));
        QVERIFY(!f.dialogs.messages.last().startsWith("Datei wurde nach"));
        QVERIFY(!QFileInfo::exists(f.daten.pfad("fehlt")));
    }
};

QTEST_MAIN(TestExport)
#include "test_export.moc"
