// Backups of the club database: the round trip from a wrong delete back to the evenings,
// the rule that keeps them over two years, a backup killed at random moments, and the
// command line. On a file, and with ZK_DB_ENGINE=mariadb on the test's server.
#include <QtTest>

#include <QProcess>

#include <random>

#include "core/Ini.h"
#include "core/Schema.h"
#include "maintenance/Sicherungen.h"
#include "platform/Sicherung.h"
#include "tests/support/TestDaten.h"

using namespace sicherungen;

namespace {

void abende(TestDaten& d, int von, int bis) {
    for (int nr = von; nr <= bis; ++nr) {
        d.db().run("INSERT INTO Ergebnis (MitglNr, Datum, S1, Jahr) VALUES (?, ?, 90, 2026)",
                   {nr, QDate(2026, 12, 2).toString(Qt::ISODate)});
        for (int k = 1; k <= 10; ++k)
            d.db().run(
                "INSERT INTO Einzelergebnisse (MitglNr, Datum, Schuss, Ring) VALUES (?, "
                "'2026-12-02', ?, 9)",
                {nr, k});
    }
}

QString stand(Database& db) {
    QStringList t;
    for (const char* sql : {"SELECT MitglNr, Datum, S1 FROM Ergebnis ORDER BY 1",
                            "SELECT count(*), COALESCE(sum(Ring), 0) FROM Einzelergebnisse",
                            "SELECT Nr, Name FROM Mitglieder ORDER BY 1"})
        for (const QVariantList& z : db.run(sql).rows) {
            QStringList f;
            for (const QVariant& v : z)
                f << v.toString();
            t << f.join(',');
        }
    return t.join(';');
}

}  // namespace

class TestSicherungen : public QObject {
    Q_OBJECT
  private slots:
    // Evenings stored, a backup, more evenings, a wrong delete, the backup brought back:
    // exactly the rows of the backup, and the state before it is a backup too.
    void hinUndZurueck() {
        TestDaten d;
        for (int nr = 1; nr <= 5; ++nr)
            d.mitglied(nr, QString("Mitglied %1").arg(nr), 1);
        abende(d, 1, 3);
        Regel regel;
        regel.ordner = d.pfad("sicherungen");
        const QString gesichert = stand(d.db());
        QString ziel, fehler;
        const QDateTime t0(QDate(2026, 12, 2), QTime(22, 0));
        QCOMPARE(sichern(d.dbPfad(), regel, t0, &ziel, &fehler), Ergebnis::Gesichert);
        QCOMPARE(QFileInfo(ziel).fileName(), stamm(d.dbPfad()) + " 2026-12-02 220000.db");
        QCOMPARE(sichern(d.dbPfad(), regel, t0.addSecs(60), &ziel, &fehler),
                 Ergebnis::Unveraendert);  // nothing new: not kept twice
        QCOMPARE(liste(regel.ordner, d.dbPfad()).size(), std::size_t(1));
        abende(d, 4, 5);
        d.db().run("DELETE FROM Einzelergebnisse");  // the wrong "Alle löschen"
        const QString falsch = stand(d.db());
        const Inhalt i = inhalt(liste(regel.ordner, d.dbPfad())[0].datei);
        QCOMPARE(i.mitglieder, 5);
        QCOMPARE(i.abende, 3);
        QCOMPARE(i.letzterAbend, QString("2026-12-02"));
        QString vorher;
        d.db().close();  // the program lets go of the file while it is replaced
        QVERIFY2(zurueckholen(liste(regel.ordner, d.dbPfad())[0].datei, d.dbPfad(), regel,
                              t0.addDays(1), &vorher, &fehler),
                 qPrintable(fehler));
        Database nachher;
        QVERIFY(nachher.open(d.dbPfad(), &fehler));
        QCOMPARE(stand(nachher), gesichert);
        // the database brought back says so in its log, naming both states
        QCOMPARE(nachher.run("SELECT Tabelle, Feld, Alt, Neu, Anlass FROM Aenderungen").rows,
                 (std::vector<QVariantList>{
                     {"Alle", "*", "Stand vorher gesichert in " + QFileInfo(vorher).fileName(),
                      stamm(d.dbPfad()) + " 2026-12-02 220000.db", "Zurückgeholt"}}));
        Database davor;
        QVERIFY(davor.open(vorher, &fehler));
        QCOMPARE(stand(davor), falsch);
        QCOMPARE(liste(regel.ordner, d.dbPfad()).size(), std::size_t(2));
    }

    // Two years of daily backups: the newest ten, the newest of each of the last twelve
    // months and of each year are kept, nothing else.
    void regelUeberZweiJahre() {
        Regel regel;
        std::vector<Sicherung> alle;
        const QDateTime heute(QDate(2026, 12, 7), QTime(23, 0));
        for (int tag = 0; tag < 730; ++tag)
            alle.push_back({QString::number(tag), heute.addDays(-tag)});
        const std::vector<Sicherung> gehalten = behalten(alle, regel, heute);
        QStringList erwartet;
        for (int tag = 0; tag < 730; ++tag) {
            const QDate d = heute.addDays(-tag).date();
            const bool neueste = tag < 10;
            // the last day of its month that has a backup: the month's last day, or today
            const bool monatsletzter = tag == 0 || d.day() == d.daysInMonth();
            const int monateZurueck = (2026 - d.year()) * 12 + 12 - d.month();
            const bool jahresletzter = tag == 0 || (d.month() == 12 && d.day() == 31);
            if (neueste || (monatsletzter && monateZurueck < 12) || jahresletzter)
                erwartet << QString::number(tag);
        }
        QStringList ist;
        for (const Sicherung& s : gehalten)
            ist << s.datei;
        QCOMPARE(ist, erwartet);
        QCOMPARE(ist.size(), 10 + 10 + 2);  // Dec and Nov are among the ten; 2025, 2024

        // And with real files, day by day, the folder ends with exactly that set.
        TestDaten d;
        regel.ordner = d.pfad("jahre");
        QString ziel, fehler;
        for (int tag = 729; tag >= 0; --tag) {
            d.db().run("INSERT INTO Mitglieder (Nr, Name) VALUES (?, 'x')", {1000 + tag});
            QCOMPARE(sichern(d.dbPfad(), regel, heute.addDays(-tag), &ziel, &fehler),
                     Ergebnis::Gesichert);
        }
        QStringList tage;
        for (const Sicherung& s : liste(regel.ordner, d.dbPfad()))
            tage << QString::number(s.zeit.daysTo(heute));
        QCOMPARE(tage, erwartet);
    }

    // A backup killed at random moments: the club database stays sound, every backup with
    // a ".db" name is whole; the folder missing is said, not made.
    void abgebrochenUndOrdnerFehlt() {
        TestDaten d;
        for (int nr = 1; nr <= 300; ++nr)
            d.mitglied(nr, QString("Mitglied %1").arg(nr), 1);
        abende(d, 1, 300);
        const QString ordner = d.pfad("usb");
        QVERIFY(QDir().mkpath(ordner));
        std::mt19937 zufall(7);
        for (int versuch = 0; versuch < 30; ++versuch) {
            d.db().run("UPDATE Mitglieder SET Name = ? WHERE Nr = 1", {QString::number(versuch)});
            QProcess p;
            p.start(QStringLiteral(ZK_APP), {"--sichern", d.dbPfad(), ordner});
            QTest::qWait(static_cast<int>(zufall() % 120));
            p.kill();
            p.waitForFinished(10000);
        }
        QString fehler;
        if (!TestDaten::aufServer())
            QVERIFY2(sicherung::unversehrt(d.dbPfad(), &fehler), qPrintable(fehler));
        for (const QFileInfo& f : QDir(ordner).entryInfoList({"*.db"}, QDir::Files)) {
            QVERIFY2(sicherung::unversehrt(f.absoluteFilePath(), &fehler), qPrintable(fehler));
            QCOMPARE(inhalt(f.absoluteFilePath()).abende, 300);
        }
        QProcess p;  // and one that is let run
        p.start(QStringLiteral(ZK_APP), {"--sichern", d.dbPfad(), ordner});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(!liste(ordner, d.dbPfad()).empty());

        Regel regel;
        regel.ordner = d.pfad("nicht/eingesteckt");
        regel.eigenerOrdner = true;
        QString ziel;
        QCOMPARE(sichern(d.dbPfad(), regel, QDateTime::currentDateTime(), &ziel, &fehler),
                 Ergebnis::OrdnerFehlt);
        QVERIFY(fehler.contains("ist nicht da"));
        QVERIFY(!QFileInfo::exists(regel.ordner));
        p.start(QStringLiteral(ZK_APP), {"--sichern", d.dbPfad(), regel.ordner});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        p.start(QStringLiteral(ZK_APP), {"--zurueckholen"});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 2);
    }
};

QTEST_MAIN(TestSicherungen)
#include "test_sicherungen.moc"
