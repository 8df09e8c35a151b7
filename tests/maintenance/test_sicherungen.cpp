// Backups of the club database: the round trip from a wrong delete back to the evenings,
// the rule that keeps them over two years, a backup killed at random moments, and the
// command line. On a file, and with ZK_DB_ENGINE=mariadb on the test's server.
#include <QtTest>

#include <QProcess>

#include <random>

#include <csignal>
#include <sys/stat.h>

#include "core/Aenderungen.h"
#include "core/Ini.h"
#include "core/Schema.h"
#include "maintenance/Sicherungen.h"
#include "platform/Sicherung.h"
#include "platform/Database.h"
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

// A club of `n` members, each with an evening of ten shots.
void verein(TestDaten& d, int n) {
    for (int nr = 1; nr <= n; ++nr)
        d.mitglied(nr, QString("Mitglied %1").arg(nr), 1);
    abende(d, 1, n);
}

const QDateTime kT0(QDate(2026, 12, 2), QTime(22, 0));

Regel regelIn(const QString& ordner) {
    Regel r;
    r.ordner = ordner;
    return r;
}

QByteArray lesen(const QString& pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void schreiben(const QString& pfad, const QByteArray& inhalt) {
    QFile f(pfad);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(inhalt);
}

// The program run as an administrator runs it: exit code, standard output and error.
struct Lauf {
    int code = -1;
    QString aus, fehler;
};
Lauf programm(const QStringList& argumente) {
    QProcess p;
    p.start(QStringLiteral(ZK_APP), argumente);
    Lauf l;
    if (!p.waitForFinished(60000))
        return l;
    l.code = p.exitCode();
    l.aus = QString::fromUtf8(p.readAllStandardOutput());
    l.fehler = QString::fromUtf8(p.readAllStandardError());
    return l;
}

// What unfinished runs left in a folder (".part" in the name).
QStringList reste(const QString& ordner) {
    QStringList r;
    for (const QString& n : QDir(ordner).entryList(QDir::Files | QDir::Hidden))
        if (n.contains(".part"))
            r << n;
    return r;
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

QString standVon(const QString& datei) {
    Database db;
    QString fehler;
    if (!db.open(datei, &fehler, false, Database::Zugriff::NurLesen))
        return "<" + fehler + ">";
    return stand(db);
}

// A club file left as a crash leaves it: a transaction half written into the file, its
// rollback journal beside it. Made by a process that ends without rolling back.
void absturzMitJournal(const QString& datei) {
    QProcess p;
    p.start("python3",
            {"-c",
             "import sqlite3, os, sys\n"
             "c = sqlite3.connect(sys.argv[1], isolation_level=None)\n"
             "c.execute('PRAGMA cache_size=1')\n"
             "c.execute('BEGIN')\n"
             "c.execute(\"UPDATE Mitglieder SET Name = 'Absturz'\")\n"
             "for i in range(4000):\n"
             "    c.execute(\"INSERT INTO Einzelergebnisse (MitglNr, Datum, Schuss, Ring) "
             "VALUES (1, '2026-12-09', ?, 5)\", (i,))\n"
             "os._exit(0)\n",
             datei});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(QFile::exists(datei + "-journal"));
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
        Regel regel = regelIn(d.pfad("sicherungen"));
        const QString gesichert = stand(d.db());
        QString ziel, fehler;
        QCOMPARE(sichern(d.dbPfad(), regel, kT0, &ziel, &fehler), Ergebnis::Gesichert);
        QCOMPARE(QFileInfo(ziel).fileName(), stamm(d.dbPfad()) + " 2026-12-02 220000.db");
        QCOMPARE(sichern(d.dbPfad(), regel, kT0.addSecs(60), &ziel, &fehler),
                 Ergebnis::Unveraendert);  // nothing new: not kept twice
        QCOMPARE(liste(regel.ordner, d.dbPfad()).size(), std::size_t(1));
        // A backup, a change and a backup in the same second (a script): both are kept.
        const QString erste = ziel;
        abende(d, 6, 6);
        QCOMPARE(sichern(d.dbPfad(), regel, kT0, &ziel, &fehler), Ergebnis::Gesichert);
        QCOMPARE(QFileInfo(ziel).fileName(), stamm(d.dbPfad()) + " 2026-12-02 220001.db");
        QCOMPARE(inhalt(erste).abende, 3);
        QCOMPARE(liste(regel.ordner, d.dbPfad()).size(), std::size_t(2));
        QVERIFY(QFile::remove(ziel));
        d.db().run("DELETE FROM Ergebnis WHERE MitglNr = 6");
        d.db().run("DELETE FROM Einzelergebnisse WHERE MitglNr = 6");
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
                              kT0.addDays(1), &vorher, &fehler),
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

    // The club file named through a link (a share mounted elsewhere) and shared by a group:
    // a restore replaces the file the link points to, keeps the link, the file's mode and
    // group; a folder that cannot be written is named as such, not as another's work.
    void zurueckholenUeberLink() {
        TestDaten d;
        if (TestDaten::aufServer())
            QSKIP("files only");
        d.mitglied(1, "Gesichert", 1);
        d.db().close();
        QVERIFY(QDir().mkpath(d.pfad("nas")));
        const QString echt = d.pfad("nas/Verein.db"), link = d.pfad("Verein.db");
        QVERIFY(QFile::copy(d.dbPfad(), echt));
        QVERIFY(QFile::link(echt, link));
        QVERIFY(::chmod(QFile::encodeName(echt).constData(), 0660) == 0);
        Regel regel = regelIn(d.pfad("sicherungen"));
        QString ziel, fehler, vorher;
        QCOMPARE(sichern(link, regel, kT0, &ziel, &fehler), Ergebnis::Gesichert);
        {
            Database db;
            QVERIFY(db.open(link, &fehler));
            db.run("UPDATE Mitglieder SET Name = 'Danach'");
        }
        QVERIFY2(zurueckholen(ziel, link, regel, kT0.addSecs(5), &vorher, &fehler),
                 qPrintable(fehler));
        QVERIFY(QFileInfo(link).isSymLink());
        QVERIFY2(standVon(echt).endsWith(";1,Gesichert"), qPrintable(standVon(echt)));
        struct stat st {};
        QVERIFY(::stat(QFile::encodeName(echt).constData(), &st) == 0);
        QCOMPARE(int(st.st_mode & 0777), 0660);
        QVERIFY2(standVon(vorher).endsWith(";1,Danach"), qPrintable(standVon(vorher)));

        schreiben(d.pfad("keinordner"), "eine Datei, kein Ordner");
        QVERIFY(!sicherung::dateiSichern(echt, d.pfad("keinordner/Verein.db"), &fehler));
        QVERIFY2(fehler.contains("darf dieses Programm nicht schreiben, oder es gibt ihn nicht"),
                 qPrintable(fehler));
    }

    // Ten backups in one month, the club changed, the oldest brought back: the backup of
    // the state before runs the rule, which would drop the oldest; it is read first and
    // kept, and the restore holds exactly its rows.
    void dieGewaehlteSicherungBleibt() {
        TestDaten d;
        Regel regel = regelIn(d.pfad("sicherungen"));
        QString ziel, fehler, vorher;
        const QDateTime t0(QDate(2026, 11, 1), QTime(20, 0));
        QString ersterStand;
        for (int tag = 0; tag < 10; ++tag) {
            d.mitglied(tag + 1, QString("Mitglied %1").arg(tag + 1), 1);
            if (tag == 0)
                ersterStand = stand(d.db());
            QCOMPARE(sichern(d.dbPfad(), regel, t0.addDays(tag), &ziel, &fehler),
                     Ergebnis::Gesichert);
        }
        const QString aelteste = liste(regel.ordner, d.dbPfad()).back().datei;
        QCOMPARE(QFileInfo(aelteste).fileName(), stamm(d.dbPfad()) + " 2026-11-01 200000.db");
        d.mitglied(99, "Neu danach", 1);
        QVERIFY2(zurueckholen(aelteste, d.dbPfad(), regel, t0.addDays(10), &vorher, &fehler),
                 qPrintable(fehler));
        QVERIFY(QFile::exists(aelteste));
        QCOMPARE(standVon(aelteste), ersterStand);
        if (!TestDaten::aufServer())
            QCOMPARE(standVon(d.dbPfad()), ersterStand);
        else
            QCOMPARE(stand(d.db()), ersterStand);
        QVERIFY(standVon(vorher).contains("Neu danach"));
        // The rule still holds for the others: the next backup drops the oldest then.
        QCOMPARE(liste(regel.ordner, d.dbPfad()).size(), std::size_t(11));
    }

    // Only a club database is a backup: an empty file, a foreign SQLite file, a text and
    // a club file without a field are refused in German, the club file untouched; on the
    // command line too.
    void nurEineVereinsdatenbankIstEineSicherung() {
        TestDaten d;
        d.mitglied(1, "Bleibt", 1);
        Regel regel = regelIn(d.pfad("sicherungen"));
        const QString vorherStand = stand(d.db());
        schreiben(d.pfad("leer.db"), {});
        {
            Database fremd, ohneFeld;
            QString f;
            QVERIFY(fremd.open(d.pfad("fremd.db"), &f, true));
            fremd.run("CREATE TABLE Rezepte (Name TEXT, Zutaten TEXT)");
            QVERIFY(ohneFeld.open(d.pfad("ohneFeld.db"), &f, true));
            schema::erstelleTabellen(ohneFeld);
            ohneFeld.run("ALTER TABLE Ergebnis RENAME COLUMN Teiler TO Zehntel");
        }
        schreiben(d.pfad("text.db"), "Das ist keine Datenbank, nur ein Text.\n");
        const QStringList gruende = {"die Tabelle Mitglieder fehlt", "die Tabelle Mitglieder fehlt",
                                     "der Tabelle Ergebnis fehlt das Feld Teiler",
                                     "ist keine lesbare Datenbank"};
        const QStringList dateien = {"leer.db", "fremd.db", "ohneFeld.db", "text.db"};
        for (int i = 0; i < dateien.size(); ++i) {
            QString vorher, fehler;
            const QByteArray roh = TestDaten::aufServer() ? QByteArray() : lesen(d.dbPfad());
            QVERIFY(!zurueckholen(d.pfad(dateien[i]), d.dbPfad(), regel,
                                  QDateTime::currentDateTime(), &vorher, &fehler));
            QVERIFY2(fehler.startsWith("Die Sicherung kann nicht zurückgeholt werden: \"" +
                                       d.pfad(dateien[i]) +
                                       "\" ist keine Sicherung einer Vereinsdatenbank."),
                     qPrintable(fehler));
            QVERIFY2(fehler.contains(gruende[i]), qPrintable(fehler));
            QVERIFY(vorher.isEmpty());
            QCOMPARE(stand(d.db()), vorherStand);
            if (!TestDaten::aufServer())
                QCOMPARE(lesen(d.dbPfad()), roh);
            QVERIFY(!QFile::exists(d.dbPfad() + ".part"));
            QVERIFY(liste(regel.ordner, d.dbPfad()).empty());  // nothing done before the check
        }
        // The driver's own words come after the German sentence, named as such.
        QString fehler, vorher;
        zurueckholen(d.pfad("text.db"), d.dbPfad(), regel, QDateTime::currentDateTime(),
                     &vorher, &fehler);
        QVERIFY2(fehler.contains("\nMeldung des Datenbanktreibers: file is not a database"),
                 qPrintable(fehler));
        // Such a file is never kept as a backup either.
        QString ziel;
        QCOMPARE(sichern(d.pfad("fremd.db"), regel, QDateTime::currentDateTime(), &ziel, &fehler),
                 Ergebnis::Gescheitert);
        QVERIFY(liste(regel.ordner, d.pfad("fremd.db")).empty());
        QCOMPARE(reste(regel.ordner), QStringList());
        if (TestDaten::aufServer())
            return;
        const QByteArray roh = lesen(d.dbPfad());
        const Lauf l = programm({"--zurueckholen", d.pfad("leer.db"), d.dbPfad()});
        QCOMPARE(l.code, 1);
        QVERIFY2(l.fehler.startsWith("Die Sicherung wurde nicht zurückgeholt.\nDie Sicherung "
                                     "kann nicht zurückgeholt werden: \""),
                 qPrintable(l.fehler));
        QCOMPARE(lesen(d.dbPfad()), roh);
    }

    // The worst day: the club file gone, damaged, or left with a journal by a crash. The
    // restore goes ahead; what can be kept of the state before is kept.
    void notfaelle_data() {
        QTest::addColumn<QString>("fall");
        for (const char* f : {"fehlt", "Text", "Seiten kaputt", "Journal", "Stick fehlt"})
            QTest::newRow(f) << QString(f);
    }
    void notfaelle() {
        QFETCH(QString, fall);
        if (TestDaten::aufServer())
            QSKIP("a club file's own troubles");
        TestDaten d;
        verein(d, 40);
        Regel regel = regelIn(d.pfad("sicherungen"));
        QString ziel, fehler, vorher;
        QCOMPARE(sichern(d.dbPfad(), regel, kT0, &ziel, &fehler), Ergebnis::Gesichert);
        const QString gesichert = stand(d.db());
        d.db().run("UPDATE Mitglieder SET Name = 'Nach der Sicherung' WHERE Nr = 1");
        const QString danach = stand(d.db());
        d.db().close();
        const QString club = d.dbPfad();
        QByteArray kaputt;
        if (fall == "fehlt") {
            QVERIFY(QFile::remove(club));
        } else if (fall == "Text") {
            kaputt = "Ein Editor hat die Datei überschrieben.\n";
            schreiben(club, kaputt);
        } else if (fall == "Seiten kaputt") {
            kaputt = lesen(club);
            for (qsizetype i = 4096; i < kaputt.size(); i += 7)
                kaputt[i] = char(0xA5);
            schreiben(club, kaputt);
        } else if (fall == "Stick fehlt") {
            regel.ordner = d.pfad("nicht eingesteckt");  // the backups folder is not there
            regel.eigenerOrdner = true;
        } else {
            absturzMitJournal(club);
            // The nightly backup after the crash backs up the consistent state.
            const Lauf l = programm({"--sichern", club, regel.ordner});
            QCOMPARE(l.code, 0);
            QVERIFY2(l.aus.startsWith("Gesichert: "), qPrintable(l.aus + l.fehler));
            QCOMPARE(standVon(l.aus.mid(11).trimmed()), danach);
            QVERIFY(!QFile::exists(club + "-journal"));
            absturzMitJournal(club);  // and the crash once more, for the restore
        }
        const QString sicherungsdatei = liste(d.pfad("sicherungen"), club).back().datei;
        QVERIFY2(zurueckholen(sicherungsdatei, club, regel, kT0.addDays(1), &vorher, &fehler),
                 qPrintable(fehler));
        QCOMPARE(standVon(club), gesichert);
        QVERIFY(!QFile::exists(club + "-journal"));
        QCOMPARE(reste(QFileInfo(club).absolutePath()), QStringList());
        Database neu;
        QVERIFY(neu.open(club, &fehler));
        const QString alt =
            neu.run("SELECT Alt FROM Aenderungen WHERE Anlass = 'Zurückgeholt'").rows.at(0)[0].toString();
        if (fall == "fehlt") {
            QVERIFY(vorher.isEmpty());
            QCOMPARE(alt, QString("Vorher gab es die Datei nicht"));
        } else if (fall == "Stick fehlt") {
            // Kept beside the club file instead, whole.
            QCOMPARE(QFileInfo(vorher).absolutePath(), QFileInfo(club).absolutePath());
            QVERIFY2(QFileInfo(vorher).fileName().startsWith("Training vor dem Zurückholen "),
                     qPrintable(vorher));
            QCOMPARE(standVon(vorher), danach);
            QCOMPARE(alt, "Stand vorher aufbewahrt in " + QFileInfo(vorher).fileName());
        } else if (fall == "Journal") {
            // The state before is the consistent one: the crash's half transaction is gone.
            QCOMPARE(standVon(vorher), danach);
            QCOMPARE(alt, "Stand vorher gesichert in " + QFileInfo(vorher).fileName());
        } else {
            // A damaged file is kept as it is, beside the club file, named so.
            QCOMPARE(QFileInfo(vorher).absolutePath(), QFileInfo(club).absolutePath());
            QVERIFY2(QFileInfo(vorher).fileName().startsWith("Training beschädigt "),
                     qPrintable(vorher));
            QCOMPARE(lesen(vorher), kaputt);
            QCOMPARE(alt, "Beschädigter Stand vorher aufbewahrt in " + QFileInfo(vorher).fileName());
        }
    }

    // The corrections logged after the backup are carried into the file brought back,
    // in their order, followed by the restore's own row.
    void korrekturenSeitDerSicherung() {
        TestDaten d;
        d.mitglied(1, "Anna", 1);
        Regel regel = regelIn(d.pfad("sicherungen"));
        auto eintrag = [](const QString& neu) {
            return aenderungen::Eintrag{"Ergebnis", 1, "2026-12-02", "S1", "90", neu,
                                        "Tabellenansicht"};
        };
        aenderungen::schreiben(d.db(), {eintrag("91"), eintrag("92")}, kT0.addSecs(-60));
        QString ziel, fehler, vorher;
        QCOMPARE(sichern(d.dbPfad(), regel, kT0, &ziel, &fehler), Ergebnis::Gesichert);
        // after the backup: two new ones, one of them the same text as one before
        aenderungen::schreiben(d.db(), {eintrag("93")}, kT0.addSecs(60));
        aenderungen::schreiben(d.db(), {eintrag("91")}, kT0.addSecs(-60));
        d.db().run("UPDATE Mitglieder SET Name = 'Falsch'");
        if (!TestDaten::aufServer())
            d.db().close();
        QVERIFY2(zurueckholen(ziel, d.dbPfad(), regel, kT0.addSecs(120), &vorher, &fehler),
                 qPrintable(fehler));
        Database neu;
        QVERIFY(neu.open(d.dbPfad(), &fehler));
        const SqlRows r = neu.run(TestDaten::aufServer()
                                      ? "SELECT Zeit, Neu, Anlass FROM Aenderungen"
                                      : "SELECT Zeit, Neu, Anlass FROM Aenderungen ORDER BY rowid");
        QStringList zeilen;
        for (const QVariantList& z : r.rows)
            zeilen << z[0].toString() + " " + z[1].toString() + " " + z[2].toString();
        QCOMPARE(zeilen, (QStringList{"2026-12-02 21:59:00 91 Tabellenansicht",
                                      "2026-12-02 21:59:00 92 Tabellenansicht",
                                      "2026-12-02 22:01:00 93 Tabellenansicht",
                                      "2026-12-02 21:59:00 91 Tabellenansicht",
                                      "2026-12-02 22:02:00 " + QFileInfo(ziel).fileName() +
                                          " Zurückgeholt"}));
        QCOMPARE(neu.run("SELECT Name FROM Mitglieder").rows[0][0].toString(), QString("Anna"));
    }

    // Two clubs whose files have the same name: each its own series; the rule and the
    // list never touch the other's.
    void zweiVereineGleichenNamens() {
        if (TestDaten::aufServer())
            QSKIP("two club files");
        TestDaten d;
        QVERIFY(QDir().mkpath(d.pfad("a")) && QDir().mkpath(d.pfad("b")));
        QString fehler, ziel;
        const QString a = d.pfad("a/Training.db"), b = d.pfad("b/Training.db");
        QVERIFY(schema::neueVereinsdatenbank(a, &fehler));
        QVERIFY(schema::neueVereinsdatenbank(b, &fehler));
        QVERIFY(stamm(a) != stamm(b));
        QVERIFY(stamm(a).startsWith("Training ("));
        QCOMPARE(stamm(d.pfad("a/../a/Training.db")), stamm(a));
        Regel regel = regelIn(d.pfad("sicherungen"));
        regel.letzte = 2;
        regel.monate = 0;
        regel.jahre = false;
        const QDateTime t0(QDate(2026, 12, 1), QTime(20, 0));
        for (int i = 0; i < 4; ++i) {
            for (const QString& datei : {a, b}) {
                Database db;
                QVERIFY(db.open(datei, &fehler));
                db.run("INSERT INTO Mitglieder (Nr, Name) VALUES (?, ?)",
                       {i, QFileInfo(datei).absolutePath().right(1)});
                db.close();
                QCOMPARE(sichern(datei, regel, t0.addDays(i), &ziel, &fehler), Ergebnis::Gesichert);
            }
        }
        for (const QString& datei : {a, b}) {
            const std::vector<Sicherung> l = liste(regel.ordner, datei);
            QCOMPARE(l.size(), std::size_t(2));
            for (const Sicherung& s : l) {
                Database db;
                QVERIFY(db.open(s.datei, &fehler, false, Database::Zugriff::NurLesen));
                QCOMPARE(db.run("SELECT DISTINCT Name FROM Mitglieder").rows,
                         (std::vector<QVariantList>{{QFileInfo(datei).absolutePath().right(1)}}));
            }
        }
        QCOMPARE(QDir(regel.ordner).entryList(QDir::Files).size(), 4);
    }

    // What a killed backup or restore left is cleared by the next run as soon as its
    // writer is gone; a part whose writer still lives is left alone.
    void resteGetoeteterLaeufe() {
        if (TestDaten::aufServer())
            QSKIP("files beside a club file");
        TestDaten d;
        d.mitglied(1, "Anna", 1);
        const QString ordner = d.pfad("usb");
        QVERIFY(QDir().mkpath(ordner));
        const QString stammA = stamm(d.dbPfad());
        // Remains of killed runs: nobody holds them.
        schreiben(ordner + "/" + stammA + " 2026-12-01 200000.db.part", QByteArray(100000, 'x'));
        schreiben(ordner + "/" + stammA + " 2026-12-01 200000.db.part-journal", "j");
        schreiben(ordner + "/" + stammA + " 2026-12-01 210000.db.part.neu", "n");
        schreiben(d.dbPfad() + ".part", "halb zurückgeholt");
        schreiben(d.dbPfad() + ".part-journal", "j");
        // One whose writer lives (this test holds its lock).
        const sicherung::Teil lebt(ordner + "/" + stammA + " 2026-12-01 220000.db");
        QVERIFY(!lebt.belegt());
        schreiben(lebt.pfad(), "wird geschrieben");
        Lauf l = programm({"--sichern", d.dbPfad(), ordner});
        QCOMPARE(l.code, 0);
        QCOMPARE(reste(ordner), (QStringList{stammA + " 2026-12-01 220000.db.part",
                                             stammA + " 2026-12-01 220000.db.part.lock"}));
        const QString sicherungsdatei = liste(ordner, d.dbPfad()).front().datei;
        d.db().close();
        l = programm({"--zurueckholen", sicherungsdatei, d.dbPfad()});
        QCOMPARE(l.code, 0);
        QCOMPARE(reste(d.pfad(".")), QStringList());
    }

    // Two years of daily backups: the newest ten, the newest of each of the last twelve
    // months and of each year are kept, nothing else.
    void regelUeberZweiJahre() {
        Regel regel;
        std::vector<Sicherung> alle;
        const QDateTime heute(QDate(2026, 12, 7), QTime(23, 0));
        for (int tag = 0; tag < 730; ++tag)
            alle.push_back({QString::number(tag), heute.addDays(-tag)});
        // Days back from 7 Dec 2026: the newest ten (with 30 Nov), the last days of Oct 2026
        // to Jan 2026, and 31 Dec of 2025 and 2024.
        QStringList erwartet;
        for (int tag : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 37, 68, 98, 129, 160, 190, 221, 251, 282,
                        310, 341, 706})
            erwartet << QString::number(tag);
        QStringList ist;
        for (const Sicherung& s : behalten(alle, regel, heute))
            ist << s.datei;
        QCOMPARE(ist, erwartet);

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

    // Shut down or logged out while the program runs (SIGTERM, SIGHUP): it ends as the
    // close of its window does, with the end-of-program backup, and not killed on the spot.
    void endeDurchSignal_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void endeDurchSignal() {
        QFETCH(int, signal);
        TestDaten d;
        if (TestDaten::aufServer())
            QSKIP("watches the club file being opened");
        d.mitglied(1, "Anna Alt", 1);
        const QString ordner = d.pfad("sicher");
        QVERIFY(QDir().mkpath(ordner) && QDir().mkpath(d.pfad("heim/.config/zielkunst")));
        schreiben(d.pfad("heim/.config/zielkunst/wettk.ini"),
                  ("[DB1]\nNAME=Training\nDATEI=" + d.dbPfad() + "\n[SICHERUNG]\nORDNER=" +
                   ordner + "\n")
                      .toUtf8());
        QProcess p;
        QProcessEnvironment umgebung = QProcessEnvironment::systemEnvironment();
        umgebung.insert("HOME", d.pfad("heim"));
        umgebung.insert("XDG_CONFIG_HOME", d.pfad("heim/.config"));
        umgebung.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(umgebung);
        p.start(QStringLiteral(ZK_APP), QStringList{});
        QVERIFY(p.waitForStarted());
        // Ready once the main window holds the club file open.
        const QString fds = QString("/proc/%1/fd").arg(p.processId());
        auto offen = [&] {
            for (const QFileInfo& f : QDir(fds).entryInfoList(QDir::Files | QDir::System))
                if (f.symLinkTarget() == QFileInfo(d.dbPfad()).canonicalFilePath())
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(offen(), 60000);
        QVERIFY(liste(ordner, d.dbPfad()).empty());
        ::kill(static_cast<pid_t>(p.processId()), signal);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        const auto gesichert = liste(ordner, d.dbPfad());
        QCOMPARE(gesichert.size(), std::size_t(1));
        QCOMPARE(inhalt(gesichert.front().datei).mitglieder, 1);
    }

    // A backup killed at random moments: the club database stays sound, every backup with
    // a ".db" name is whole; the folder missing is said, not made.
    void abgebrochenUndOrdnerFehlt() {
        TestDaten d;
        verein(d, 300);
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
        // and one that is let run: it clears what the killed ones left
        QCOMPARE(programm({"--sichern", d.dbPfad(), ordner}).code, 0);
        QVERIFY(!liste(ordner, d.dbPfad()).empty());
        QVERIFY2(reste(ordner).isEmpty(), qPrintable(reste(ordner).join(", ")));

        Regel regel = regelIn(d.pfad("nicht/eingesteckt"));
        regel.eigenerOrdner = true;
        QString ziel;
        QCOMPARE(sichern(d.dbPfad(), regel, QDateTime::currentDateTime(), &ziel, &fehler),
                 Ergebnis::OrdnerFehlt);
        QVERIFY(fehler.contains("ist nicht da"));
        QVERIFY(!QFileInfo::exists(regel.ordner));
        // Named on the command line, the folder is made; one that cannot be is said plainly.
        QCOMPARE(programm({"--sichern", d.dbPfad(), regel.ordner}).code, 0);
        QCOMPARE(liste(regel.ordner, d.dbPfad()).size(), std::size_t(1));
        schreiben(d.pfad("datei"), "keine Ordner hier");
        const Lauf l = programm({"--sichern", d.dbPfad(), d.pfad("datei/unter")});
        QCOMPARE(l.code, 1);
        QCOMPARE(l.fehler.trimmed(), "Der Ordner \"" + d.pfad("datei/unter") +
                                         "\" fehlt und kann nicht angelegt werden; es wurde "
                                         "keine Sicherung angelegt.");
        QCOMPARE(programm({"--zurueckholen"}).code, 2);
    }
};

QTEST_MAIN(TestSicherungen)
#include "test_sicherungen.moc"
