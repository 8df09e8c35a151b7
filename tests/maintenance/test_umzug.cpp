// A club moved from its SQLite file to an empty database on the MariaDB server and back:
// every table and row arrives as it was.
#include <QtTest>

#include <QDir>
#include <QFile>
#include <QProcess>

#include <random>

#include "core/Schema.h"
#include "maintenance/Vereinsumzug.h"
#include "tests/support/TestDaten.h"

namespace {

// Every row of every club table, as text, in stored order.
QString inhalt(const QString& adresse) {
    Database db;
    QString fehler;
    if (!db.open(adresse, &fehler))
        return fehler;
    QStringList t;
    for (const char* tabelle : {"Mitglieder", "Ergebnis", "Einzelergebnisse", "Sonder", "Ringe"}) {
        QStringList spalten;
        for (const ColumnInfo& c : db.columns(tabelle))
            spalten << c.name;
        for (const QVariantList& z : db.run(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                                                .arg(spalten.join(','), tabelle))
                                         .rows) {
            QStringList felder;
            for (const QVariant& v : z)
                felder << (v.isNull() ? QStringLiteral("NULL") : v.toString());
            t << QStringLiteral("%1: %2").arg(tabelle, felder.join('|'));
        }
    }
    return t.join('\n');
}

// zielkunst --umziehen, agreeing to clear the remains of a cut-off move; killed after
// `killNachMs` unless that is negative. The exit code, -1 when killed.
int umziehen(const QString& quelle, const QString& ziel, int killNachMs = -1) {
    QProcess p;
    p.start(QStringLiteral(ZK_APP), {"--umziehen", quelle, ziel});
    p.write("j\n");
    p.closeWriteChannel();
    if (killNachMs >= 0) {
        QTest::qWait(killNachMs);
        p.kill();
    }
    p.waitForFinished(60000);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// Every table and view of a database on the server dropped.
void leeren(const QString& adresse) {
    Database db;
    QString fehler;
    QVERIFY2(db.open(adresse, &fehler), qPrintable(fehler));
    for (const QString& t : db.tables())
        db.run(QString("DROP %1 \"%2\"").arg(t == "Heute" ? "VIEW" : "TABLE", t));
}

}  // namespace

class TestUmzug : public QObject {
    Q_OBJECT
  private slots:
    void hinUndZurueck() {
        if (!TestDaten::aufServer())
            QSKIP("braucht den MariaDB-Server des Tests");
        TestDaten d;  // on the server; its folder holds the files
        const QString datei = d.pfad("Verein.db");
        QString fehler;
        QVERIFY(schema::neueVereinsdatenbank(datei, &fehler));
        {
            Database db;
            QVERIFY(db.open(datei, &fehler));
            db.run(
                "INSERT INTO Mitglieder (Nr, Name, Klasse, Geburtstag, SportpassID) VALUES "
                "(7, 'Schäfer Jürgen', 2, '1961-05-17', '4711'), (8, 'Groß Anna', 1, NULL, NULL)");
            db.run(
                "INSERT INTO Ergebnis (MitglNr, Datum, S1, S2, Gesammt, Teiler, Best10, Best20, "
                "Punkte, Jahr, Scheibentyp, Liegend, Anwesend) VALUES "
                "(7, '2024-04-03', 91, 93, 184, 12.3, 93, 184, 5, 2024, 'LG', 0, 1)");
            for (int k = 1; k <= 20; ++k) {
                db.run(
                    "INSERT INTO Einzelergebnisse (MitglNr, Datum, Schuss, Ring, Teiler, X, Y) "
                    "VALUES (7, '2024-04-03', ?, 9, 20.5, 1.25, -0.5)",
                    {k});
            }
            db.run("UPDATE Sonder SET AnwPunkte = 2, PistolenTeiler = 5.5");
            db.run("INSERT INTO Ringe (URinge, Klasse1, Klasse2, Punkte) VALUES (180, 1, 1, 5)");
        }
        const QString server = TestDaten::leereServerdatenbank();
        QStringList schritte;
        Umzugsbericht bericht;
        QVERIFY2(vereinUmziehen(
                     datei, server,
                     [&](int f, int g, const QString& t) {
                         schritte << QStringLiteral("%1/%2 %3").arg(f).arg(g).arg(t);
                     },
                     &bericht, &fehler),
                 qPrintable(fehler));
        QCOMPARE(bericht.zeilen, 2 + 1 + 20 + 1 + 1);
        QCOMPARE(bericht.tabellen.mid(0, 3),
                 (QStringList{"Mitglieder: 2 Zeilen", "Ergebnis: 1 Zeile",
                              "Einzelergebnisse: 20 Zeilen"}));
        QCOMPARE(schritte.last(),
                 QStringLiteral("10/10 "));  // the club tables and the program's notes
        QCOMPARE(inhalt(server), inhalt(datei));

        // And back into a new file: the same club.
        const QString zurueck = d.pfad("Zurueck.db");
        QVERIFY2(vereinUmziehen(server, zurueck, {}, &bericht, &fehler), qPrintable(fehler));
        QCOMPARE(inhalt(zurueck), inhalt(datei));
        QVERIFY(inhalt(datei).contains("Schäfer Jürgen"));

        // Nothing is written over: a server database with tables, an existing file.
        QVERIFY(!vereinUmziehen(datei, server, {}, &bericht, &fehler));
        QCOMPARE(fehler, "Die Datenbank \"" + server + "\" ist nicht leer.");
        QVERIFY(!vereinUmziehen(server, zurueck, {}, &bericht, &fehler));
        QVERIFY(fehler.contains("gibt es schon"));
        QCOMPARE(inhalt(zurueck), inhalt(datei));
    }

    // A move into a file builds "<name>.neu" first: one that is there and was not left by
    // a move of this program is refused and kept as it is; our own remains are cleared.
    void fremdeNeuDateiBleibt() {
        TestDaten d;
        const QString datei = d.pfad("Quelle.db");
        QString fehler;
        QVERIFY(schema::neueVereinsdatenbank(datei, &fehler));
        {
            Database db;
            QVERIFY(db.open(datei, &fehler));
            db.run("INSERT INTO Mitglieder (Nr, Name) VALUES (7, 'Schäfer Jürgen')");
        }
        const QString ziel = d.pfad("Ziel.db");
        Umzugsbericht bericht;
        for (const bool alsDatenbank : {false, true}) {
            QFile::remove(ziel + ".neu");
            if (alsDatenbank) {
                QVERIFY(schema::neueVereinsdatenbank(ziel + ".neu", &fehler));
            } else {
                QFile neu(ziel + ".neu");
                QVERIFY(neu.open(QIODevice::WriteOnly));
                neu.write("meine Notizen\n");
            }
            const QByteArray vorher = [&] {
                QFile f(ziel + ".neu");
                return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
            }();
            QVERIFY(!vereinUmziehen(datei, ziel, {}, &bericht, &fehler));
            QVERIFY2(fehler.startsWith("Die Datei \"" + ziel +
                                       ".neu\" gibt es schon; sie "
                                       "stammt nicht von einem Umzug"),
                     qPrintable(fehler));
            QFile f(ziel + ".neu");
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), vorher);
            QVERIFY(!QFile::exists(ziel));
        }
        // The empty file of a move cut off at once holds nothing: cleared.
        const QString zweites = d.pfad("Zweites.db");
        {
            QFile leer(zweites + ".neu");
            QVERIFY(leer.open(QIODevice::WriteOnly));
        }
        QVERIFY2(vereinUmziehen(datei, zweites, {}, &bericht, &fehler), qPrintable(fehler));
        QCOMPARE(inhalt(zweites), inhalt(datei));
        // Killed while the mark's transaction was written: after the journal's rollback the
        // file is a database without a table, larger than nothing. Cleared too.
        const QString drittes = d.pfad("Drittes.db");
        {
            Database db;
            QVERIFY(db.open(drittes + ".neu", &fehler, /*create=*/true));
            db.run("PRAGMA user_version = 7");
        }
        QVERIFY(QFileInfo(drittes + ".neu").size() > 0);
        QVERIFY2(vereinUmziehen(datei, drittes, {}, &bericht, &fehler), qPrintable(fehler));
        QCOMPARE(inhalt(drittes), inhalt(datei));
        // What a cut-off move left carries the mark: cleared, and the move goes through.
        QFile::remove(ziel + ".neu");
        QVERIFY(schema::neueVereinsdatenbank(ziel + ".neu", &fehler));
        {
            Database db;
            QVERIFY(db.open(ziel + ".neu", &fehler));
            db.run("CREATE TABLE " + kUmzugUnfertig + " (Beginn TEXT(19))");
            db.run("INSERT INTO Mitglieder (Nr, Name) VALUES (99, 'Halb Fertig')");
        }
        QVERIFY2(vereinUmziehen(datei, ziel, {}, &bericht, &fehler), qPrintable(fehler));
        QVERIFY(!QFile::exists(ziel + ".neu"));
        QCOMPARE(inhalt(ziel), inhalt(datei));
        Database fertig;
        QVERIFY(fertig.open(ziel, &fehler));
        QVERIFY(!fertig.hasTable(kUmzugUnfertig));
    }

    // Without the password in ~/.my.cnf the user is asked for it; nothing is stored.
    void passwortWirdErfragt() {
        if (!TestDaten::aufServer())
            QSKIP("braucht den MariaDB-Server des Tests");
        const QString adresse = TestDaten::leereServerdatenbank();
        QFile cnf(QDir::home().filePath(".my.cnf"));
        QVERIFY(cnf.open(QIODevice::ReadOnly));
        const QByteArray richtig = cnf.readAll();
        cnf.close();
        QVERIFY(cnf.open(QIODevice::WriteOnly | QIODevice::Truncate));
        cnf.write("[client]\npassword=falsch\n");
        cnf.close();
        QStringList gefragt;
        QString antwort = "vereinspw";
        Database::setPasswortAbfrage([&](const QString& a) {
            gefragt << a;
            return antwort;
        });
        Database db;
        QString fehler;
        QVERIFY2(db.open(adresse, &fehler), qPrintable(fehler));
        QCOMPARE(gefragt, QStringList{adresse});
        db.close();
        antwort.clear();  // cancelled
        QVERIFY(!db.open(adresse, &fehler));
        QVERIFY(fehler.startsWith("Die Datenbank \"" + adresse +
                                  "\" auf dem Server ist nicht erreichbar.\nMeldung des "
                                  "Datenbanktreibers: "));
        Database::setPasswortAbfrage({});
        QVERIFY(cnf.open(QIODevice::WriteOnly | QIODevice::Truncate));
        cnf.write(richtig);
    }

    // Clearing the remains of a cut-off move is itself killed at random moments: as long
    // as anything is left on the server, the mark of the unfinished move is left with it,
    // so that the next try still offers to clear instead of calling the database foreign.
    void abgebrochenesAufraeumen() {
        if (!TestDaten::aufServer())
            QSKIP("braucht den MariaDB-Server des Tests");
        TestDaten d;
        const QString quelle = d.pfad("Verein.db");
        QString fehler;
        QVERIFY(schema::neueVereinsdatenbank(quelle, &fehler));
        const QString ziel = TestDaten::leereServerdatenbank();
        auto resteAnlegen = [&] {
            Database db;
            QVERIFY(db.open(ziel, &fehler));
            db.run(QString("CREATE TABLE %1 (Beginn TEXT(19))").arg(kUmzugUnfertig));
            for (int i = 0; i < 120; ++i)
                db.run(QString("CREATE TABLE \"Rest%1\" (a INT)").arg(i, 3, 10, QChar('0')));
        };
        std::mt19937 zufall(7);
        int mitten = 0;
        for (int versuch = 0; versuch < 12; ++versuch) {
            resteAnlegen();
            umziehen(quelle, ziel, static_cast<int>(zufall() % 400));
            Database db;
            QVERIFY(db.open(ziel, &fehler));
            const QStringList tabellen = db.tables();
            const bool resteDa = !tabellen.filter(QRegularExpression("^Rest")).isEmpty();
            mitten += resteDa && tabellen.size() < 121 ? 1 : 0;  // killed while clearing
            if (!db.hasTable(kUmzugUnfertig)) {
                // Without the mark only an empty database or the whole club may be there.
                QVERIFY2(!resteDa, qPrintable("Reste ohne Marke: " + tabellen.join(',')));
                QVERIFY(tabellen.isEmpty() || inhalt(ziel) == inhalt(quelle));
            }
            // Whatever is left, the next move offers to clear it and completes.
            db.close();
            if (tabellen.contains(kUmzugUnfertig, Qt::CaseInsensitive))
                QCOMPARE(umziehen(quelle, ziel), 0);
            leeren(ziel);
        }
        qInfo("%d von 12 Abbrüchen trafen das Aufräumen", mitten);
    }

    // zielkunst --umziehen killed 30 times at random, into a file and onto the server: the
    // target never looks complete when it is not, and a retry after each kill completes
    // with nothing else at the target.
    void abgebrochenerUmzug_data() {
        QTest::addColumn<bool>("server");
        QTest::newRow("Datei") << false;
        QTest::newRow("Server") << true;
    }
    void abgebrochenerUmzug() {
        if (!TestDaten::aufServer())
            QSKIP("braucht den MariaDB-Server des Tests");
        QFETCH(bool, server);
        TestDaten d;
        const QString quelle = d.pfad("Gross.db");
        QString fehler;
        QVERIFY(schema::neueVereinsdatenbank(quelle, &fehler));
        {
            Database db;
            QVERIFY(db.open(quelle, &fehler));
            Transaction t(db);
            for (int nr = 1; nr <= 200; ++nr) {
                db.run("INSERT INTO Mitglieder (Nr, Name, Klasse) VALUES (?, ?, 1)",
                       {nr, QString("Mitglied %1").arg(nr)});
                for (int tag = 0; tag < 10; ++tag) {
                    const QString datum = QDate(2024, 1, 3).addDays(7 * tag).toString(Qt::ISODate);
                    db.run(
                        "INSERT INTO Ergebnis (MitglNr, Datum, S1, Jahr) VALUES (?, ?, 90, 2024)",
                        {nr, datum});
                    for (int k = 1; k <= 10; ++k) {
                        db.run(
                            "INSERT INTO Einzelergebnisse (MitglNr, Datum, Schuss, Ring, "
                            "Teiler, X, Y) VALUES (?, ?, ?, 9, 30.5, 0.5, 0.25)",
                            {nr, datum, k});
                    }
                }
            }
            t.commit();
        }
        // How long a whole move takes, for the moments of the kills.
        const QString probe = server ? TestDaten::leereServerdatenbank() : d.pfad("Probe.db");
        QElapsedTimer uhr;
        uhr.start();
        QCOMPARE(umziehen(quelle, probe), 0);
        const int dauer = static_cast<int>(uhr.elapsed());
        const QString ziel = server ? TestDaten::leereServerdatenbank() : d.pfad("ziel/Verein.db");
        std::mt19937 zufall(42);
        int fertig = 0;
        for (int versuch = 0; versuch < 30; ++versuch) {
            const int code = umziehen(quelle, ziel, static_cast<int>(zufall() % (dauer + 50)));
            Database db;
            const bool offen = db.open(ziel, &fehler);
            const bool unfertig = offen && db.hasTable(kUmzugUnfertig);
            const bool vorhanden = offen && !db.tables().isEmpty();
            db.close();
            if (vorhanden && !unfertig) {
                // The move was through before the kill: it must be the whole club.
                QCOMPARE(inhalt(ziel), inhalt(quelle));
                ++fertig;
                if (server)
                    leeren(ziel);
                else
                    QVERIFY(QFile::remove(ziel));
            } else {
                QVERIFY2(code != 0, "a move reported success without a complete club");
            }
        }
        QCOMPARE(umziehen(quelle, ziel), 0);
        QCOMPARE(inhalt(ziel), inhalt(quelle));
        if (server) {
            Database db;
            QVERIFY(db.open(ziel, &fehler));
            QVERIFY(!db.hasTable(kUmzugUnfertig));
        } else {
            QCOMPARE(QDir(QFileInfo(ziel).absolutePath()).entryList(QDir::Files),
                     QStringList{"Verein.db"});
        }
        qInfo("%d von 30 Umzügen waren vor dem Abbruch fertig", fertig);
    }
};

QTEST_MAIN(TestUmzug)
#include "test_umzug.moc"
