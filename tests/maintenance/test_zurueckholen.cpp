// A backup brought back while the program runs, through "Sicherung zurückholen": the main
// window shows what is stored afterwards, the live display follows the file that took the
// old one's place, and a file that is no club database is refused with everything as it was.
#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTableWidget>
#include <QWebSocket>

#include "display/Anzeige.h"
#include "evening/Abend.h"
#include "core/Schema.h"
#include "evening/Felder.h"
#include "maintenance/Sicherungen.h"
#include "maintenance/ui/SicherungenFenster.h"
#include "platform/Dateiwechsel.h"
#include "platform/Sicherung.h"
#include "tests/support/Programmfenster.h"

namespace {

// The names on the display's evening, as the last message pushed to the page has them.
QStringList namen(const QStringList& nachrichten) {
    QStringList n;
    if (nachrichten.isEmpty())
        return n;
    const QJsonArray z = QJsonDocument::fromJson(nachrichten.last().toUtf8())["zeilen"].toArray();
    for (const QJsonValue& zeile : z)
        n << zeile.toObject()["name"].toString();
    return n;
}

// An evening stored by another stand on its own connection.
void andererStand(const QString& datei, int nr) {
    Database db;
    QString fehler;
    QVERIFY2(db.open(datei, &fehler), qPrintable(fehler));
    Abendzustand z;
    z.Saisonjahr = 2024;
    z.TargetType = QStringLiteral("LG");
    for (std::size_t k = 1; k <= 10; ++k)
        z.Shots[k] = ShotSlot{8, ShotSlot::kKeinTeiler, 0, 0, false, true};
    Felder f;
    f.SNummer = QString::number(nr);
    f.SName = QStringLiteral("x");
    f.Heute = QStringLiteral("03.04.2024");
    f.Scheibe[1] = QStringLiteral("80");
    f.GesScheibe = f.Best10 = f.Best = f.Scheibe[1];
    Abspeichern(f, z, db, QDateTime::currentDateTime());
}

}  // namespace

class TestZurueckholen : public QObject {
    Q_OBJECT
  private slots:
    // Another file put in the place of the one watched is noticed; writes to it, a moment
    // without it and a path that changes are not.
    void dateiwechsel() {
        TestDaten d;
        QString pfad = d.pfad("Verein.db");
        QString fehler;
        QVERIFY(schema::neueVereinsdatenbank(pfad, &fehler));
        QVERIFY(schema::neueVereinsdatenbank(d.pfad("Anderer.db"), &fehler));
        Dateiwechsel w([&] { return pfad; }, 20);
        QSignalSpy ersetzt(&w, &Dateiwechsel::ersetzt);
        {
            Database db;
            QVERIFY(db.open(pfad, &fehler));
            db.run("INSERT INTO Mitglieder (Nr, Name) VALUES (1, 'a')");
        }
        QTest::qWait(100);
        QCOMPARE(ersetzt.count(), 0);
        QVERIFY(sicherung::dateiSichern(d.pfad("Anderer.db"), pfad, &fehler));
        QTRY_COMPARE(ersetzt.count(), 1);
        QVERIFY(QFile::rename(pfad, d.pfad("weg.db")));
        QTest::qWait(100);
        QVERIFY(QFile::rename(d.pfad("weg.db"), pfad));  // the same file back: no change
        pfad = d.pfad("Anderer.db");
        QTest::qWait(100);
        QCOMPARE(ersetzt.count(), 1);
    }

    // An administrator brings a backup back on the command line while the program runs:
    // the main window follows the new file, and F4 stores into it.
    void vonDerKommandozeile() {
        if (TestDaten::aufServer())
            QSKIP("a club file");
        Programmfenster p;
        p.daten.mitglied(1, "Anna Alt", 1);
        p.starten();
        Dateiwechsel wechsel([&] { return p.club.isOpen() ? p.club.db().path() : QString(); },
                             100);
        connect(&wechsel, &Dateiwechsel::ersetzt, [&] {
            p.w->datenbankWiederOeffnen();
            p.w->gespeichertZeigen();
        });
        p.nummer("1");
        p.ringe(1, {"7"});
        p.taste(Qt::Key_F4);
        QString fehler;
        const QString sicherung = p.daten.pfad("Sicherung.db");
        QVERIFY(sicherung::dateiSichern(p.daten.dbPfad(), sicherung, &fehler));
        p.schuss(1)->selectAll();
        QTest::keyClicks(p.schuss(1), "3");
        p.taste(Qt::Key_F4);
        QCOMPARE(p.zahl("SELECT Ring FROM Einzelergebnisse WHERE MitglNr = 1"), 3);
        QProcess z;
        z.start(ZK_APP, {"--zurueckholen", sicherung, p.daten.dbPfad()});
        QVERIFY(z.waitForFinished(60000));
        QCOMPARE(z.exitCode(), 0);
        QTRY_COMPARE(p.schuss(1)->text(), QString("7"));
        p.schuss(1)->selectAll();
        QTest::keyClicks(p.schuss(1), "8");
        p.taste(Qt::Key_F4);
        Database neu;
        QVERIFY(neu.open(p.daten.dbPfad(), &fehler));
        QCOMPARE(neu.run("SELECT Ring FROM Einzelergebnisse WHERE MitglNr = 1").rows[0][0].toInt(),
                 8);
    }

    // The club file damaged at the start: the main window has no database; the backup
    // brought back through the window is opened, the damaged file kept as it was.
    void beschaedigteDateiImFenster() {
        if (TestDaten::aufServer())
            QSKIP("a club file");
        Programmfenster p;
        p.daten.mitglied(1, "Anna Alt", 1);
        p.ini.IniSchreiben("SICHERUNG", "ORDNER", p.daten.pfad("sicherungen"));
        QVERIFY(QDir().mkpath(p.daten.pfad("sicherungen")));
        QString ziel, fehler;
        QCOMPARE(sicherungen::sichern(p.daten.dbPfad(), sicherungen::regelLesen(p.ini),
                                      p.uhr.now().addDays(-1), &ziel, &fehler),
                 sicherungen::Ergebnis::Gesichert);
        p.daten.db().close();
        {
            QFile f(p.daten.dbPfad());
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("überschrieben");
        }
        p.starten();
        QVERIFY(!p.club.isOpen());
        SicherungenFenster fenster(p.ini, p.club, p.dialogs, p.uhr);
        fenster.setWiederOeffnen([&] {
            p.w->datenbankWiederOeffnen();
            p.w->gespeichertZeigen();
        });
        fenster.slotWaehlen(0);
        QCOMPARE(fenster.zeilen(), 1);
        p.dialogs.answerYes();
        fenster.zurueckholen(0);
        QVERIFY2(p.dialogs.messages.last().startsWith("Die Sicherung wurde zurückgeholt. Der "
                                                      "Stand davor ist aufbewahrt in \"" +
                                                      p.daten.pfad("Training beschädigt ")),
                 qPrintable(p.dialogs.messages.last()));
        QVERIFY(p.club.isOpen());
        p.nummer("1");
        QCOMPARE(p.text("SName"), QString("Anna Alt"));
    }

    void imLaufendenProgramm() {
        if (TestDaten::aufServer())
            QSKIP("a club file");
        Programmfenster p;
        p.daten.mitglied(1, "Anna Alt", 1);
        p.daten.mitglied(2, "Bernd Bauer", 1);
        p.daten.mitglied(3, "Carla Clausen", 1);
        p.ini.IniSchreiben("SICHERUNG", "ORDNER", p.daten.pfad("sicherungen"));
        QVERIFY(QDir().mkpath(p.daten.pfad("sicherungen")));
        p.uhr.set(QDateTime(QDate(2024, 4, 3), QTime(19, 30)));
        p.starten();
        Anzeige anzeige({[&] {
                             return QDate::fromString(p.w->heuteText().trimmed(), "dd.MM.yyyy");
                         },
                         [] { return 2024; },
                         [&] { return p.club.isOpen() ? p.club.db().zugang() : Database::Zugang{}; }});
        Anzeigeeinstellung e;
        e.an = true;
        e.port = 0;
        e.adresse = Anzeigeeinstellung::kNurDieserPc;
        QCOMPARE(anzeige.anwenden(e), QString());
        QWebSocket ws;
        QStringList nachrichten;
        connect(&ws, &QWebSocket::textMessageReceived, [&](const QString& t) { nachrichten << t; });
        ws.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/live").arg(anzeige.port())));
        QTRY_COMPARE(ws.state(), QAbstractSocket::ConnectedState);

        // Anna's evening, then a backup of it.
        p.nummer("1");
        p.ringe(1, {"9", "9", "9"});
        p.taste(Qt::Key_F4);
        QCOMPARE(p.zahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr = 1"), 3);
        QTRY_COMPARE(namen(nachrichten), QStringList{"Anna Alt"});
        SicherungenFenster fenster(p.ini, p.club, p.dialogs, p.uhr);
        fenster.setWiederOeffnen([&] {
            p.w->datenbankWiederOeffnen();
            p.w->gespeichertZeigen();
        });
        fenster.slotWaehlen(0);
        fenster.jetztSichern();
        QCOMPARE(fenster.zeilen(), 1);

        // Later: Anna's first shot corrected, Bernd stored at another stand.
        p.uhr.set(QDateTime(QDate(2024, 4, 3), QTime(20, 15)));
        p.schuss(1)->selectAll();
        QTest::keyClicks(p.schuss(1), "10");
        p.taste(Qt::Key_F4);
        QCOMPARE(p.zahl("SELECT Ring FROM Einzelergebnisse WHERE MitglNr = 1 AND Schuss = 1"), 10);
        andererStand(p.daten.dbPfad(), 2);
        QTRY_COMPARE(namen(nachrichten).size(), 2);

        // A file that is no club database, put among the backups: refused, nothing changed.
        const QString leer = p.daten.pfad("sicherungen/") +
                             sicherungen::stamm(p.daten.dbPfad()) + " 2024-04-03 200000.db";
        QFile(leer).open(QIODevice::WriteOnly);
        fenster.slotWaehlen(0);
        QCOMPARE(fenster.zeilen(), 2);
        p.dialogs.answerYes();
        fenster.zurueckholen(0);  // the newest: the empty file
        QVERIFY2(p.dialogs.messages.last().startsWith("Die Sicherung wurde nicht zurückgeholt.\n"),
                 qPrintable(p.dialogs.messages.last()));
        QVERIFY(p.dialogs.messages.last().contains("ist keine Sicherung einer Vereinsdatenbank"));
        QVERIFY(p.club.isOpen());
        QCOMPARE(p.zahl("SELECT count(*) FROM Ergebnis"), 2);
        QCOMPARE(p.schuss(1)->text(), QString("10"));
        QVERIFY(QFile::remove(leer));

        // The backup brought back at 20:30.
        p.uhr.set(QDateTime(QDate(2024, 4, 3), QTime(20, 30)));
        fenster.slotWaehlen(0);
        QCOMPARE(fenster.zeilen(), 1);
        p.dialogs.answerYes();
        fenster.zurueckholen(0);
        QVERIFY2(p.dialogs.messages.last().startsWith("Die Sicherung wurde zurückgeholt."),
                 qPrintable(p.dialogs.messages.last()));
        QVERIFY(p.club.isOpen());
        // The main window shows what is stored now, not the evening that no longer is.
        QCOMPARE(p.schuss(1)->text(), QString("9"));
        Database jetzt;
        QString fehler;
        QVERIFY(jetzt.open(p.daten.dbPfad(), &fehler));
        QCOMPARE(jetzt.run("SELECT Ring FROM Einzelergebnisse WHERE MitglNr = 1 AND Schuss = 1")
                     .rows[0][0]
                     .toInt(),
                 9);
        // The page shows the restored state within a second, and what is stored after it.
        QTRY_VERIFY_WITH_TIMEOUT(namen(nachrichten) == QStringList{"Anna Alt"}, 1000);
        andererStand(p.daten.dbPfad(), 3);
        QTRY_VERIFY_WITH_TIMEOUT(namen(nachrichten).contains("Carla Clausen"), 1000);
        // F4 in the main window stores what it shows: the restored evening.
        p.taste(Qt::Key_F4);
        QCOMPARE(jetzt.run("SELECT Ring FROM Einzelergebnisse WHERE MitglNr = 1 AND Schuss = 1")
                     .rows[0][0]
                     .toInt(),
                 9);
        QCOMPARE(jetzt.run("SELECT count(*) FROM Ergebnis WHERE MitglNr = 2").rows[0][0].toInt(), 0);
    }
};

QTEST_MAIN(TestZurueckholen)
#include "test_zurueckholen.moc"
