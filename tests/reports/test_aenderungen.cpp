// The log of corrections: what each change of a stored result or member writes, that a change
// that fails leaves no line, and the listing in the evaluation window with its printout.
#include <QtTest>

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSysInfo>
#include <QTableView>

#include "members/TabellenModell.h"
#include "reports/Klassenzuordnung.h"
#include "reports/ui/Auswertung.h"
#include "reports/ui/ZeilenModell.h"
#include "tests/support/PdfText.h"
#include "tests/support/Programmfenster.h"

namespace {

const QString kLog = QStringLiteral(
    "SELECT Tabelle, MitglNr, Datum, Feld, Alt, Neu, Anlass FROM Aenderungen ORDER BY rowid");

// One line of the log as the tests compare it.
QVariantList zeile(const char* tabelle, const QVariant& nr, const char* datum, const char* feld,
                   const QString& alt, const QString& neu, const char* anlass) {
    return {
        QString::fromUtf8(tabelle), nr,  datum ? QVariant(QString::fromLatin1(datum)) : QVariant(),
        QString::fromUtf8(feld),    alt, neu,
        QString::fromUtf8(anlass)};
}

struct Abend : Programmfenster {
    const QStringList ringe{"9",  "10", "8", "9",  "10", "1", "7",  "10", "9", "9",
                            "10", "9",  "9", "10", "8",  "9", "10", "0",  "9", "10"};
    Abend() {
        daten.mitglied(12, "Anna Alt", 2);
        daten.ringeZeile(80, 3, {2});
        starten();
    }
    // Member 12's evening typed in and stored with F4.
    void getipptUndGespeichert() {
        nummer("12");
        taste(Qt::Key_Return);
        for (const QString& r : ringe)
            QTest::keyClicks(QApplication::focusWidget(), r);
        taste(Qt::Key_F4);
    }
    void ring(int k, const char* wert) {
        schuss(k)->selectAll();
        QTest::keyClicks(schuss(k), wert);
    }
    std::vector<QVariantList> log() {
        std::vector<QVariantList> z = zeilen(kLog).rows;
        for (QVariantList& r : z)
            r[2] = r[2].isNull() ? QVariant() : QVariant(r[2].toString().left(10));
        return z;
    }
};

QString layoutText(const QString& pdf) {
    return pdfText(pdf, {QStringLiteral("-layout")});
}

}  // namespace

class TestAenderungen : public QObject {
    Q_OBJECT
  private slots:
    // As a user tries it: an evening stored, recalled, a ring corrected, F4, and the listing
    // shows the old and the new ring; printed and exported as shown.
    void ringKorrigiertUndGelistet() {
        Abend f;
        f.getipptUndGespeichert();
        QCOMPARE(f.zahl("SELECT count(*) FROM Ergebnis"), 1);
        QCOMPARE(f.zahl("SELECT count(*) FROM Aenderungen"), 0);  // a first store is no change
        f.taste(Qt::Key_F4);  // stored again unchanged: nothing written
        QCOMPARE(f.zahl("SELECT count(*) FROM Aenderungen"), 0);

        f.nummer("13");
        f.nummer("12");  // recalled
        QCOMPARE(f.schuss(7)->text(), QString("7"));
        f.ring(7, "10");
        f.ring(20, "0");
        f.taste(Qt::Key_F4);
        QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.join("|")));
        QCOMPARE(
            f.log(),
            (std::vector<QVariantList>{
                zeile("Ergebnis", 12, "2024-04-03", "S1", "82", "85", "Neu gespeichert"),
                zeile("Ergebnis", 12, "2024-04-03", "S2", "84", "74", "Neu gespeichert"),
                zeile("Ergebnis", 12, "2024-04-03", "Gesammt", "166", "159", "Neu gespeichert"),
                zeile("Ergebnis", 12, "2024-04-03", "Best10", "84", "85", "Neu gespeichert"),
                zeile("Ergebnis", 12, "2024-04-03", "Best20", "166", "159", "Neu gespeichert"),
                zeile("Einzelergebnisse", 12, "2024-04-03", "Schüsse", "",
                      "Schuss 7: 7 → 10, Schuss 20: 10 → 0", "Neu gespeichert")}));
        const QVariantList wer = f.zeile("SELECT Zeit, Platz, Benutzer FROM Aenderungen");
        QCOMPARE(wer[0].toString(), QString("2024-04-03 19:30:00"));  // the program's clock
        QCOMPARE(wer[1].toString(), QSysInfo::machineHostName().left(64));
        const QString umgebung = qEnvironmentVariable("USER", qEnvironmentVariable("LOGNAME"));
        if (!umgebung.isEmpty())
            QCOMPARE(wer[2].toString(), umgebung);
        else
            QVERIFY(!wer[2].toString().isEmpty());  // the system account (see below)

        // The listing: newest first, narrowed to a member and to days.
        f.daten.db().run(
            "INSERT INTO Aenderungen (Zeit, Tabelle, MitglNr, Datum, Feld, Alt, Neu, Anlass) "
            "VALUES ('2024-03-01 10:00:00', 'Mitglieder', 7, NULL, 'Name', 'Alt', 'Neu', "
            "'Tabellenansicht')");
        Auswertung a(f.club, *f.w, f.zustand, f.dialogs, f.uhr);
        a.show();
        QTest::mouseClick(a.findChild<QPushButton*>("Aenderungen_butt"), Qt::LeftButton);
        QCOMPARE(a.art(), Listenart::Aenderungen);
        const ZeilenModell& m = a.modell();
        QCOMPARE(m.rowCount(), 7);
        auto wert = [&](int r, const char* spalte) {
            for (int c = 0; c < m.columnCount(); ++c)
                if (m.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() == spalte)
                    return m.index(r, c).data().toString();
            return QString("(keine Spalte %1)").arg(spalte);
        };
        QCOMPARE(wert(0, "Neu"), QString("Schuss 7: 7 → 10, Schuss 20: 10 → 0"));
        QCOMPARE(wert(6, "Nr"), QString("7"));  // the oldest last
        auto filtern = [&](const char* nr, const char* von, const char* bis) {
            a.findChild<QLineEdit*>("AendNr")->setText(nr);
            a.findChild<QLineEdit*>("AendVon")->setText(von);
            a.findChild<QLineEdit*>("AendBis")->setText(bis);
            QTest::mouseClick(a.findChild<QPushButton*>("AendZeigen"), Qt::LeftButton);
            return m.rowCount();
        };
        QCOMPARE(filtern("7", "", ""), 1);
        QCOMPARE(filtern("", "2.3.2024", "3.4.2024"), 6);
        QCOMPARE(filtern("", "", "1.3.24"), 1);
        const int meldungen = f.dialogs.messages.size();
        QCOMPARE(filtern("7; DROP TABLE Ergebnis", "", ""), 1);  // refused, the listing stays
        QCOMPARE(f.dialogs.messages.size(), meldungen + 1);
        QVERIFY(f.dialogs.messages.last().contains("keine Mitgliedsnummer"));
        filtern("", "31.4.2024", "");
        QVERIFY(f.dialogs.messages.last().contains("kein Datum"));
        filtern("", "4.4.2024", "3.4.2024");
        QCOMPARE(f.dialogs.messages.last(),
                 QString("Das Ende des Zeitraums liegt vor seinem Anfang."));

        QCOMPARE(filtern("12", "", ""), 6);
        QTest::mouseClick(a.findChild<QPushButton*>("Drucken"), Qt::LeftButton);
        QVERIFY2(f.dialogs.messages.last().startsWith("Der Ausdruck wurde als PDF-Datei"),
                 qPrintable(f.dialogs.messages.last()));
        const QString text = layoutText(f.dialogs.messages.last().section('\n', 1));
        QVERIFY2(text.contains("Änderungen an gespeicherten Ergebnissen, Mitglied 12") &&
                     text.contains("Schuss 7: 7 → 10, Schuss 20: 10 → 0") &&
                     text.contains("vorher: 82") && text.contains("nachher: 85") &&
                     text.contains("Ergebnis.S1") && text.contains("Neu gespeichert") &&
                     text.contains("Anzahl Änderungen: 6") && !text.contains("Mitglieder.Name"),
                 qPrintable(text));

        f.zustand.Exporttrenner = ";";
        f.zustand.Exportdatei = f.daten.pfad("aenderungen.csv");
        QTest::mouseClick(a.findChild<QPushButton*>("Export"), Qt::LeftButton);
        QFile csv(f.zustand.Exportdatei);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QList<QByteArray> zeilen = csv.readAll().split('\n');
        QVERIFY(zeilen[0].startsWith("Zeit;Stand;Benutzer;Tabelle;Nr;Abend;Feld;Alt;Neu;Anlass"));
        QCOMPARE(zeilen.size(), 8);  // heading, six changes, the end of the last line
    }

    // Without USER and LOGNAME (a service, a desktop started without a login shell) the log
    // names the system account the program runs under.
    void benutzerOhneUmgebung() {
#ifdef Q_OS_WIN
        // Windows (and Wine) name the account in USERNAME to begin with.
        const QString konto = qEnvironmentVariable("USERNAME");
#else
        QProcess id;
        id.start("id", {"-un"});
        QVERIFY(id.waitForFinished(5000));
        const QString konto = QString::fromLocal8Bit(id.readAllStandardOutput()).trimmed();
#endif
        QVERIFY(!konto.isEmpty());
        const QByteArray user = qgetenv("USER"), logname = qgetenv("LOGNAME"),
                         username = qgetenv("USERNAME");
        qunsetenv("USER");
        qunsetenv("LOGNAME");
        qunsetenv("USERNAME");
        Abend f;
        f.getipptUndGespeichert();
        f.ring(7, "10");
        f.taste(Qt::Key_F4);
        const QVariantList wer = f.zeile("SELECT DISTINCT Benutzer FROM Aenderungen");
        qputenv("LOGNAME", "aufsicht");
        f.ring(7, "9");
        f.taste(Qt::Key_F4);
        const QVariantList danach =
            f.zeile("SELECT Benutzer FROM Aenderungen ORDER BY rowid DESC LIMIT 1");
        for (const auto& [name, wert] : {std::pair{"USER", user}, std::pair{"LOGNAME", logname},
                                         std::pair{"USERNAME", username}}) {
            if (wert.isNull())
                qunsetenv(name);
            else
                qputenv(name, wert);
        }
        QCOMPARE(wer, QVariantList{konto});
        QCOMPARE(danach, QVariantList{"aufsicht"});
    }

    // The log in the window: times as the other listings show dates, and every column side
    // by side on a 1366 pixel screen.
    void fensterPasstAuf1366() {
        Abend f;
        f.getipptUndGespeichert();
        for (int k = 1; k <= 20; ++k)
            f.ring(k, "5");  // a long summary of shots
        f.taste(Qt::Key_F4);
        Auswertung a(f.club, *f.w, f.zustand, f.dialogs, f.uhr);
        a.show();
        QTest::mouseClick(a.findChild<QPushButton*>("Aenderungen_butt"), Qt::LeftButton);
        const ZeilenModell& m = a.modell();
        QCOMPARE(m.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Zeit"));
        QCOMPARE(m.index(0, 0).data().toString(), QString("03.04.2024 19:30:00"));
        QCOMPARE(m.index(0, 5).data().toString(), QString("03.04.2024"));  // the evening
        const QModelIndex neu = m.index(0, 8);
        QVERIFY(neu.data().toString().startsWith("Schuss 1: 9 → 5, "));
        QCOMPARE(neu.data(Qt::ToolTipRole).toString(), neu.data().toString());
        a.resize(1366, 600);
        QTRY_COMPARE(a.width(), 1366);
        const QTableView& t = a.tabelle();
        QCOMPARE(t.horizontalScrollBar()->maximum(), 0);
        QVERIFY(t.columnViewportPosition(9) + t.columnWidth(9) <= t.viewport()->width());
        QVERIFY(a.minimumSizeHint().width() <= 1366);
    }

    // A change that fails is not logged, and a log that cannot be written stops the change.
    void fehlschlagOhneProtokoll() {
        Abend f;
        f.getipptUndGespeichert();
        f.ring(7, "10");
        f.daten.ausloeser(
            "CREATE TRIGGER halt BEFORE INSERT ON Einzelergebnisse BEGIN SELECT "
            "RAISE(ABORT, 'Platte voll'); END");
        f.taste(Qt::Key_F4);
        QVERIFY(!f.dialogs.messages.isEmpty());
        QCOMPARE(f.zahl("SELECT count(*) FROM Aenderungen"), 0);
        QCOMPARE(f.zahl("SELECT S1 FROM Ergebnis"), 82);
        f.daten.ausloeser("DROP TRIGGER halt");

        f.daten.ausloeser(
            "CREATE TRIGGER halt BEFORE INSERT ON Aenderungen BEGIN SELECT "
            "RAISE(ABORT, 'Protokoll gesperrt'); END");
        TabellenModell mitglieder(f.club, "Mitglieder", {"Nr", "Name"});
        mitglieder.protokollieren("Nr", f.uhr);
        mitglieder.laden();
        QString fehler;
        QVERIFY(!mitglieder.setzen(0, "Name", "Anna Neu", &fehler));
        QVERIFY(fehler.contains("Protokoll gesperrt"));
        QCOMPARE(f.zeile("SELECT Name FROM Mitglieder WHERE Nr = 12")[0].toString(),
                 QString("Anna Alt"));
        QVERIFY(!mitglieder.loeschen(0, &fehler));
        QCOMPARE(f.zahl("SELECT count(*) FROM Mitglieder"), 1);
    }

    // The members window, the raw table's delete and the class assignment, each with the
    // lines it writes.
    void mitgliederLoeschenKlassen() {
        Abend f;
        f.daten.mitglied(13, "Bernd Bauer", 1);
        f.daten.ergebnis({13, "2024-03-27", 90, 180, 360, 20.0, 4});
        TabellenModell mitglieder(f.club, "Mitglieder", {"Nr", "Name", "Klasse"});
        mitglieder.protokollieren("Nr", f.uhr);
        mitglieder.laden("Nr");
        QString fehler;
        QVERIFY(mitglieder.setzen(0, "Name", "Anna Berg", &fehler));
        QVERIFY(mitglieder.setzen(0, "Name", "Anna Berg", &fehler));  // same value: no line
        QVERIFY(mitglieder.loeschen(1, &fehler));

        Auswertung a(f.club, *f.w, f.zustand, f.dialogs, f.uhr);
        a.show();
        QTest::mouseClick(a.findChild<QPushButton*>("DelButt"), Qt::LeftButton);
        f.dialogs.answerYes();
        QTest::mouseClick(a.findChild<QPushButton*>("Loeschen_butt"), Qt::LeftButton);
        QCOMPARE(f.zahl("SELECT count(*) FROM Ergebnis"), 0);

        f.daten.db().run(
            "INSERT INTO Klassen (Klasse, Bez, UAlter, OAlter, Geschlecht) VALUES "
            "(3, 'Damen', 15, 99, 'mw')");
        f.daten.db().run(
            "UPDATE Mitglieder SET Geburtstag = '1980-01-01', Geschlecht = 'w' WHERE Nr = 12");
        // The classes' line is dated by the clock handed in, not by the machine's.
        const QDateTime berechnet(QDate(2024, 4, 5), QTime(21, 7, 9));
        klassenBerechnen(f.daten.db(), QDate(2024, 1, 1), "Nr", berechnet);
        klassenBerechnen(f.daten.db(), QDate(2024, 1, 1), "Nr", berechnet.addSecs(60));  // no line

        const std::vector<QVariantList> log = f.log();
        QCOMPARE(log.size(), std::size_t(4));
        QCOMPARE(log[0], zeile("Mitglieder", 12, nullptr, "Name", "Anna Alt", "Anna Berg",
                               "Tabellenansicht"));
        QCOMPARE(log[1], zeile("Mitglieder", 13, nullptr, "*", "Nr 13, Name Bernd Bauer, Klasse 1",
                               "", "Gelöscht"));
        QCOMPARE(log[2].mid(0, 4), zeile("Ergebnis", 13, "2024-03-27", "*", "", "", "").mid(0, 4));
        QVERIFY2(log[2][4].toString().contains("Gesammt 360") && log[2][5].toString().isEmpty() &&
                     log[2][6] == QString("Gelöscht"),
                 qPrintable(log[2][4].toString()));
        QCOMPARE(log[3], zeile("Mitglieder", 12, nullptr, "Klasse", "2", "3", "Klassen berechnet"));
        QCOMPARE(f.zeile("SELECT Zeit FROM Aenderungen WHERE Anlass = 'Klassen berechnet'")[0]
                     .toString(),
                 QString("2024-04-05 21:07:09"));
    }

    // A member's number changed in the members window takes the member's evenings along and
    // is refused for a number that is taken, as in the table browser.
    void mitgliedsnummerNimmtAbendeMit() {
        Abend f;
        f.daten.mitglied(13, "Bernd Bauer", 1);
        f.daten.ergebnis({13, "2024-03-27", 90, 180, 360, 20.0, 4});
        TabellenModell mitglieder(f.club, "Mitglieder", {"Nr", "Name"});
        mitglieder.eindeutig("Nr", "vergeben %1", "leer");
        mitglieder.protokollieren("Nr", f.uhr);
        mitglieder.laden("Nr");
        QString fehler;
        QVERIFY(!mitglieder.setzen(1, "Nr", "12", &fehler));
        QCOMPARE(fehler, QString("Die Mitgliedsnummer 12 ist schon vergeben."));
        QVERIFY2(mitglieder.setzen(1, "Nr", "23", &fehler), qPrintable(fehler));
        QCOMPARE(f.zahl("SELECT count(*) FROM Ergebnis WHERE MitglNr = 23"), 1);
        QCOMPARE(f.zahl("SELECT count(*) FROM Ergebnis WHERE MitglNr = 13"), 0);
        const std::vector<QVariantList> log = f.log();
        QVERIFY(!log.empty());
        QCOMPARE(log[0], zeile("Mitglieder", 13, nullptr, "Nr", "13", "23", "Tabellenansicht"));
    }
};

QTEST_MAIN(TestAenderungen)
#include "test_aenderungen.moc"
