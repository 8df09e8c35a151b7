// The range import: the selection texts, the points, and whole imports from a real MariaDB
// server reached through its ODBC driver as data source "ssmdb2".
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/Hauptfelder.h"
#include "core/Ini.h"
#include "platform/Clock.h"
#include "platform/OdbcQuelle.h"
#include "rangeimport/Auswahl.h"
#include "rangeimport/Ergebniszeile.h"
#include "rangeimport/Meytonimport.h"
#include "rangeimport/PunkteImport.h"
#include "rangeimport/Standleser.h"
#include "rangeimport/ui/MeytonImport.h"
#include "tests/support/MariaDbServer.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDaten.h"

namespace {

QString lesen(const QString& pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QStringLiteral("<fehlt>");
}

QString q(const QString& text) {
    return text.isNull() ? QStringLiteral("NULL")
                         : u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\'';
}

struct Scheibe {
    int id;
    QString liste = QStringLiteral("Training");
    QString nachname = QStringLiteral("Huber");
    QString vorname = QStringLiteral("Anna");
    QString sportpass = QStringLiteral("4711");
    QString disziplin = QStringLiteral("LG 40 Wertung");
    int totalRing = 1920;
    QString zeit = QStringLiteral("2024-03-05 19:30:00");
    int teiler01 = 356;
};

QString einfuegen(const Scheibe& s) {
    return QStringLiteral(
               "INSERT INTO Scheiben (ScheibenID, Starterliste, StarterlistenID, StartNr, "
               "Nachname, Vorname, SportpassID, StandNr, Disziplin, DisziplinlID, Klasse, "
               "KlassenID, Verein, VereinsID, Trefferzahl, TotalRing, TotalRing01, Zeitstempel, "
               "BesterTeiler01) VALUES (%1, %2, 3, 12, %3, %4, %5, 4, %6, 11, 'Damen', 2, "
               "'SV Musterdorf', 77, 40, %7, %8, %9, %10);")
        .arg(s.id)
        .arg(q(s.liste), q(s.nachname), q(s.vorname), q(s.sportpass), q(s.disziplin))
        .arg(s.totalRing)
        .arg(s.totalRing * 10 + 3)
        .arg(q(s.zeit))
        .arg(s.teiler01);
}

class Haupt : public Hauptfelder {
  public:
    QString heute = QStringLiteral("05.03.2024");
    QString heuteText() const override { return heute; }
    QString nTagText() const override { return {}; }
    QString saisonText() const override { return {}; }
    QString sNameText() const override { return {}; }
    QString sNummerText() const override { return {}; }
};

// Answers every confirmation with "Ja" and presses "Abbrechen" at the n-th.
class AbbrechenBei : public ScriptedDialogs {
  public:
    MeytonImport* fenster = nullptr;
    int bei = 0;
    int gefragt = 0;
    bool askYesNo(const QString& text, Vorgabe = Vorgabe::Ja) override {
        questions << text;
        if (++gefragt == bei) {
            fenster->findChild<QPushButton*>("Abbrechen_butt")->click();
        }
        return true;
    }
};

}  // namespace

class TestMeytonImport : public QObject {
    Q_OBJECT
    MariaDbServer server_;
    std::unique_ptr<TestDaten> d_;
    std::unique_ptr<Ini> ini_;
    Abendzustand z_;
    ScriptedDialogs dialogs_;
    FixedClock uhr_{QDateTime(QDate(2024, 3, 6), QTime(20, 15, 30))};
    OdbcQuelle stand_;
    Importlogpfade logs_;

    Meytonimport neuerImport(Dialogs& dialogs) {
        return Meytonimport(stand_, d_->db(), *ini_, z_, dialogs, uhr_, logs_);
    }
    void rangeLeeren() {
        QVERIFY2(server_.sql("DELETE FROM Scheiben; DELETE FROM Serien;"),
                 qPrintable(server_.fehler()));
    }
    // The message of an import without errors.
    QString ohneFehler(const QString& zahlen) const {
        return "Import ohne Fehler. Log in Datei " + logs_.import + " geschrieben.\n" + zahlen;
    }
    void range(const QString& sql) { QVERIFY2(server_.sql(sql), qPrintable(server_.fehler())); }
    // The member the range's default result belongs to (sport pass 4711).
    void huberAnna(int nr, int klasse) {
        d_->mitglied(nr, QStringLiteral("Huber Anna"), klasse);
        d_->db().run("UPDATE Mitglieder SET SportpassID = '4711' WHERE Nr = ?", {nr});
    }

  private slots:
    void initTestCase() {
        QVERIFY2(server_.starten(), qPrintable(server_.fehler()));
        QFile schema(QStringLiteral(ZK_TESTDATA "/meyton.sql"));
        QVERIFY(schema.open(QIODevice::ReadOnly));
        range(QString::fromUtf8(schema.readAll()));
        QVERIFY(server_.datenquelleEinrichten(QStringLiteral("ssmdb2")));
        QString fehler;
        QVERIFY2(stand_.open(QStringLiteral("ssmdb2"), &fehler), qPrintable(fehler));
    }

    void init() {
        d_ = std::make_unique<TestDaten>();
        QVERIFY(d_->ok());
        ini_ = std::make_unique<Ini>(d_->iniPfad());
        ini_->IniSchreiben(QStringLiteral("WERTUNG"), QStringLiteral("MONAT"), QStringLiteral("4"));
        z_ = Abendzustand();
        z_.Punktwertung = 20;
        dialogs_ = ScriptedDialogs();
        logs_ = {d_->pfad("fehler.txt"), d_->pfad("import.txt"), d_->pfad("debug.txt")};
        rangeLeeren();
        d_->ringeZeile(190, 5, {1, 2});
        d_->ringeZeile(180, 3, {1, 2});
        d_->teilerZeile(50, 2, {1, 2});
        d_->teilerZeile(30, 4, {1, 2});
    }

    void auswahlTexte() {
        QString fehler;
        Importauswahl a;
        QCOMPARE(auswahlSql(a, &fehler), QStringLiteral("SELECT * FROM Scheiben "));

        a.datum = Importauswahl::Datum::Tag;
        a.tag = QStringLiteral("05.03.2024");
        // The whole day: midnight and the day's last second with its fractions included.
        QCOMPARE(auswahlSql(a, &fehler),
                 QStringLiteral("SELECT * FROM Scheiben WHERE Zeitstempel >= '2024-03-05 00:00:00' "
                                "AND Zeitstempel < '2024-03-06 00:00:00'"));

        a.datum = Importauswahl::Datum::Alles;
        a.nurListe = true;
        a.liste = QStringLiteral("Preis");
        a.disziplin = Importauswahl::Disziplin::Wertung;
        QCOMPARE(auswahlSql(a, &fehler),
                 QStringLiteral("SELECT * FROM Scheiben WHERE Starterliste = 'Preis' AND "
                                "Disziplin like '%Wertung%'"));

        // The year alone is a condition of its own, never a bare "WHERE ".
        Importauswahl j;
        j.datum = Importauswahl::Datum::Jahr;
        j.jahr = QStringLiteral("2024");
        QCOMPARE(auswahlSql(j, &fehler),
                 QStringLiteral("SELECT * FROM Scheiben WHERE Zeitstempel >= '2024-01-01 00:00:00' "
                                "AND Zeitstempel < '2025-01-01 00:00:00'"));
        j.jahr = QStringLiteral("20x4");
        QCOMPARE(auswahlSql(j, &fehler), QString());
        QCOMPARE(fehler, QStringLiteral("\"20x4\" ist kein gültiges Jahr."));
        Importauswahl t;
        t.datum = Importauswahl::Datum::Tag;
        t.tag = QStringLiteral("31.02.2024");
        QCOMPARE(auswahlSql(t, &fehler), QString());
        QCOMPARE(fehler, QStringLiteral("\"31.02.2024\" ist kein gültiges Datum."));

        // Quotes and backslashes stay inside the literal.
        Importauswahl n;
        n.disziplin = Importauswahl::Disziplin::Eine;
        n.disziplinName = QStringLiteral("O'Brien\\' OR '1'='1");
        QCOMPARE(auswahlSql(n, &fehler),
                 QStringLiteral("SELECT * FROM Scheiben WHERE Disziplin = 'O''Brien\\\\'' OR "
                                "''1''=''1'"));
    }

    void punkteEinesErgebnisses() {
        // 95 and 97 scored by the best twenty: basis 192 -> 5 points; Teiler 356 -> 35 ->
        // the first OTeiler above 35 is 50 -> 2 points.
        Importpunkte p = Punktegeben_import(d_->db(), {95, 97, 0, 0, 0, 0}, 356, 2, 20);
        QCOMPARE(p.best10, 97);
        QCOMPARE(p.best20, 192);
        QCOMPARE(p.punkte, 7.0);
        QVERIFY(!p.einzelschussWertung);
        // Best ten 97 reaches no ring row; a Teiler of 29.9 (299 -> 29) earns 4.
        QCOMPARE(Punktegeben_import(d_->db(), {95, 97, 0, 0, 0, 0}, 299, 1, 10).punkte, 4.0);
        // First two series 95 + 97 by -20; a class below 1 counts as 1.
        QCOMPARE(Punktegeben_import(d_->db(), {95, 97, 90, 0, 0, 0}, 0, 0, -20).punkte, 5.0);
        // Single-shot scoring cannot be had from series: no ring points, flagged.
        p = Punktegeben_import(d_->db(), {95, 97, 0, 0, 0, 0}, 356, 1, 1);
        QVERIFY(p.einzelschussWertung);
        QCOMPARE(p.punkte, 2.0);
        // A Teiler under one tenth of ten gives no Teiler points at all.
        QCOMPARE(Punktegeben_import(d_->db(), {0, 0, 0, 0, 0, 0}, 9, 1, 20).punkte, 0.0);
    }

    void zweiLaeufeNeuUpdateBelassen() {
        huberAnna(7, 2);
        range(einfuegen({.id = 1}) + einfuegen({.id = 2, .zeit = "2024-03-05 20:00:00"}) +
              "INSERT INTO Serien VALUES (1, 1, 95), (1, 2, 97), (2, 1, 90), (2, 2, 91);");
        const QString sql = QStringLiteral("SELECT * FROM Scheiben ORDER BY ScheibenID");

        Meytonimport erster = neuerImport(dialogs_);
        erster.alles(sql, {});
        QCOMPARE(dialogs_.messages.last(), ohneFehler("Neu:  2\nUpdate:  0\nFehler: 0"));
        const SqlRows r = d_->db().run(
            "SELECT MitglNr, Datum, Jahr, Gesammt, Teiler, Anwesend, S1, S2, S3, Punkte, Best10, "
            "Best20 FROM Ergebnis WHERE MeytonScheibenID = 1");
        QCOMPARE(r.size(), std::size_t(1));
        QCOMPARE(r.rows[0].mid(0, 8),
                 (QVariantList{7, "2024-03-05", 2023, 192.0, 35.6, 1, 95, 97}));
        QVERIFY(r.rows[0][8].isNull());  // a series the range does not have
        QCOMPARE(r.rows[0].mid(9), (QVariantList{7.0, 97.0, 192.0}));

        // The log: every entry followed by an empty line; the result line as the range has it.
        const QString zeile =
            " 1,Training, 3, 12,Huber,Anna,4711, 4,LG 40 Wertung, 11,Damen, 2,SV Musterdorf, "
            "77,,,,, 40, 1920, 19203, 356,05.03.2024 19:30:00(05.03.2024)";
        QVERIFY2(lesen(logs_.import)
                     .startsWith("Importiere (7): " + zeile +
                                 "\r\n\r\nImportiere als Neu (7): " + zeile + "\r\n\r\n"),
                 qPrintable(lesen(logs_.import)));
        QVERIFY(lesen(logs_.debug)
                    .startsWith("mSQL: " + sql + "\r\nVerarbeite: " + zeile + "\r\n\r\n"));

        // Second run, the range's result changed meanwhile: "Aktualisieren" rewrites it.
        range("UPDATE Serien SET Ring = 99 WHERE ScheibenID = 1 AND Serie = 1;");
        neuerImport(dialogs_).alles(sql, {});
        QCOMPARE(dialogs_.messages.last(), ohneFehler("Neu:  0\nUpdate:  2\nFehler: 0"));
        QCOMPARE(d_->zahl("SELECT count(*) FROM Ergebnis"), 2);
        QCOMPARE(d_->zahl("SELECT S1 FROM Ergebnis WHERE MeytonScheibenID = 1"), 99);
        // what the update replaced is in the log (the total is the range's own and stays);
        // the unchanged result adds nothing
        QCOMPARE(
            d_->db()
                .run("SELECT Tabelle, MitglNr, Datum, Feld, Alt, Neu, Anlass FROM "
                     "Aenderungen ORDER BY rowid")
                .rows,
            (std::vector<QVariantList>{
                {"Ergebnis", 7, "2024-03-05", "S1", "95", "99", "Import aktualisiert"},
                {"Ergebnis", 7, "2024-03-05", "Best10", "97", "99", "Import aktualisiert"},
                {"Ergebnis", 7, "2024-03-05", "Best20", "192", "196", "Import aktualisiert"}}));
        // "Belassen" writes nothing, logs nothing beyond the member, and says how many it left.
        range("UPDATE Serien SET Ring = 50 WHERE ScheibenID = 1 AND Serie = 1;");
        Importoptionen belassen;
        belassen.aktualisieren = false;
        neuerImport(dialogs_).alles(sql, belassen);
        QCOMPARE(dialogs_.messages.last(),
                 ohneFehler("Neu:  0\nUpdate:  0\nFehler: 0\nBelassen:  2"));
        QCOMPARE(d_->zahl("SELECT S1 FROM Ergebnis WHERE MeytonScheibenID = 1"), 99);
        QVERIFY(!lesen(logs_.import).contains("als"));
    }

    void mitgliederFinden() {
        d_->mitglied(1, QStringLiteral("Text Tina"), 1);
        d_->db().run("UPDATE Mitglieder SET SportpassID = 'A-17' WHERE Nr = 1");
        d_->mitglied(2, QStringLiteral("Schäfer Erna"), 1);  // umlauts through ODBC
        d_->db().run("UPDATE Mitglieder SET SportpassID = 'alt' WHERE Nr = 2");
        d_->mitglied(3, QStringLiteral("Doppelt Dora"), 1);
        d_->mitglied(4, QStringLiteral("Doppelt Dora"), 1);
        d_->mitglied(5, QStringLiteral("Leer Lena"), 1);
        d_->db().run("UPDATE Mitglieder SET SportpassID = '' WHERE Nr = 5");
        range(
            einfuegen({.id = 10, .nachname = "Text", .vorname = "Tina", .sportpass = "A-17"}) +
            einfuegen({.id = 11, .nachname = "Schäfer", .vorname = "Erna", .sportpass = "00815"}) +
            einfuegen({.id = 12, .nachname = "Doppelt", .vorname = "Dora", .sportpass = "999"}) +
            einfuegen({.id = 13, .nachname = "Fremd", .vorname = "Franz", .sportpass = "1"}) +
            einfuegen({.id = 14, .nachname = "Niemand", .vorname = "Nina", .sportpass = ""}));
        const QString sql = QStringLiteral("SELECT * FROM Scheiben ORDER BY ScheibenID");

        // Without taking names over only the text ID finds its member; an empty ID nobody.
        neuerImport(dialogs_).alles(sql, {});
        QCOMPARE(d_->zahl("SELECT count(*) FROM Ergebnis"), 1);
        QCOMPARE(d_->zahl("SELECT MitglNr FROM Ergebnis"), 1);
        QVERIFY(dialogs_.messages.last().startsWith("Fehler aufgetreten. Log in Datei " +
                                                    logs_.fehler + " geschrieben.\n"));
        QVERIFY(dialogs_.messages.last().endsWith("\nFehler: 4"));
        const QString fehlerLog = lesen(logs_.fehler);
        QCOMPARE(fehlerLog.count("Fehler: Mitgliedsnummer konnte nicht ermittelt werden ( 11,"), 1);
        QCOMPARE(fehlerLog.count("\r\n\r\n"), 4);

        dialogs_.messages.clear();
        Importoptionen namen;
        namen.sportpassUebernehmen = true;
        neuerImport(dialogs_).alles(sql, namen);
        QCOMPARE(dialogs_.messages.mid(0, 3),
                 (QStringList{"Zu Doppelt Dora gibt es mehrere Einträge - Von Hand zuordnen.",
                              "Zu Fremd Franz gibt es keine Einträge.",
                              "Zu Niemand Nina gibt es keine Einträge."}));
        QCOMPARE(d_->db().run("SELECT MitglNr FROM Ergebnis ORDER BY MeytonScheibenID").rows,
                 (std::vector<QVariantList>{{1}, {2}, {3}}));
        // One hit takes the range's number as the range has it; several hits take none.
        QCOMPARE(d_->db().run("SELECT SportpassID FROM Mitglieder WHERE Nr = 2").rows[0][0],
                 QVariant("00815"));
        QCOMPARE(
            d_->db()
                .run("SELECT Tabelle, MitglNr, Feld, Alt, Neu, Anlass, Zeit FROM Aenderungen")
                .rows,
            (std::vector<QVariantList>{{"Mitglieder", 2, "SportpassID", "alt", "00815",
                                        "Import aktualisiert", "2024-03-06 20:15:30"}}));
        QVERIFY(
            d_->db().run("SELECT SportpassID FROM Mitglieder WHERE Nr = 3").rows[0][0].isNull());

        // Next time Erna is found by her number even after her name was changed.
        d_->db().run("UPDATE Mitglieder SET Name = 'Verheiratet Erna' WHERE Nr = 2");
        d_->db().run("DELETE FROM Ergebnis");
        neuerImport(dialogs_).alles(sql, {});
        QCOMPARE(d_->db().run("SELECT MitglNr FROM Ergebnis ORDER BY MeytonScheibenID").rows,
                 (std::vector<QVariantList>{{1}, {2}}));
    }

    void tagFilterUndFehlendeZeit() {
        huberAnna(7, 1);
        range(einfuegen({.id = 20, .liste = "O'Brien", .zeit = "2024-03-05 00:00:00.000"}) +
              einfuegen({.id = 21, .zeit = "2024-03-05 23:59:59.500"}) +
              einfuegen({.id = 22, .zeit = "2024-03-06 00:00:00"}) +
              einfuegen({.id = 23, .zeit = "2024-03-04 23:59:59.999"}) +
              einfuegen({.id = 24, .zeit = QString()}));
        Importauswahl a;
        a.datum = Importauswahl::Datum::Tag;
        a.tag = QStringLiteral("05.03.2024");
        QString fehler;
        neuerImport(dialogs_).alles(auswahlSql(a, &fehler), {});
        QCOMPARE(d_->db().run("SELECT MeytonScheibenID FROM Ergebnis ORDER BY 1").rows,
                 (std::vector<QVariantList>{{20.0}, {21.0}}));

        // A list name with a quote selects its results.
        a.datum = Importauswahl::Datum::Alles;
        a.nurListe = true;
        a.liste = QStringLiteral("O'Brien");
        d_->db().run("DELETE FROM Ergebnis");
        neuerImport(dialogs_).alles(auswahlSql(a, &fehler), {});
        QCOMPARE(d_->zahl("SELECT count(*) FROM Ergebnis"), 1);

        // A result without its time stamp is named in the error log, not stored undated.
        d_->db().run("DELETE FROM Ergebnis");
        neuerImport(dialogs_).alles("SELECT * FROM Scheiben WHERE ScheibenID = 24", {});
        QCOMPARE(d_->zahl("SELECT count(*) FROM Ergebnis"), 0);
        QVERIFY(lesen(logs_.fehler).startsWith("Fehler: Ergebnis ohne Zeitstempel ( 24,"));
        QVERIFY(dialogs_.messages.last().endsWith("Fehler: 1"));
    }

    // More results than the range's series are read for at once: the range is asked once
    // for the selection and once a block of results, every result gets its own series, also
    // across the blocks, and one without series stays without. A reading called off asks
    // nothing more.
    void serienUeberMehrereBloecke() {
        huberAnna(7, 1);
        range(QStringLiteral(
            "INSERT INTO Scheiben (ScheibenID, Starterliste, StarterlistenID, StartNr, Nachname, "
            "Vorname, SportpassID, StandNr, Disziplin, DisziplinlID, Klasse, KlassenID, Verein, "
            "VereinsID, Trefferzahl, TotalRing, TotalRing01, Zeitstempel, BesterTeiler01) "
            "SELECT 1000 + seq, 'Training', 1, seq, 'Huber', 'Anna', '4711', 1, 'LG 40 Wertung', "
            "11, 'Damen', 1, 'SV', 77, 20, 1800, 18000, TIMESTAMP('2024-03-05 19:00:00') + "
            "INTERVAL seq MINUTE, 400 FROM seq_1_to_250;"
            "INSERT INTO Serien (ScheibenID, Serie, Ring) SELECT 1000 + s.seq, r.seq, "
            "80 + (s.seq * r.seq) % 20 FROM seq_1_to_250 s, seq_1_to_2 r WHERE s.seq <> 137;"));
        struct Zaehlend : Lesequelle {
            Lesequelle& stand;
            int gefragt = 0;
            explicit Zaehlend(Lesequelle& s) : stand(s) {}
            SqlRows select(const QString& sql) override {
                ++gefragt;
                return stand.select(sql);
            }
        } zaehlend(stand_);
        // The selection names one result twice: it is read once.
        const QString sql = QStringLiteral(
            "SELECT * FROM Scheiben UNION ALL SELECT * FROM Scheiben WHERE ScheibenID = 1001 "
            "ORDER BY ScheibenID");
        int gefragt = 0;
        QVERIFY(!vorlesen(zaehlend, sql, [&] { return ++gefragt < 2; }));
        QCOMPARE(zaehlend.gefragt, 2);
        zaehlend.gefragt = 0;
        const auto daten = vorlesen(zaehlend, sql, [] { return true; });
        QVERIFY(daten && daten->fehler().isEmpty());
        QCOMPARE(zaehlend.gefragt, 1 + 3);
        QCOMPARE(daten->select(serienAbfrage(1137)).size(), std::size_t(0));
        QCOMPARE(daten->select(serienAbfrage(1137)).column("Ring"), 2);
        Meytonimport(*daten, d_->db(), *ini_, z_, dialogs_, uhr_, logs_).alles(sql, {});
        QVERIFY2(dialogs_.messages.last().contains("Neu:  250\n"),
                 qPrintable(dialogs_.messages.last()));
        const SqlRows r =
            d_->db().run("SELECT MeytonScheibenID, S1, S2 FROM Ergebnis ORDER BY MeytonScheibenID");
        QCOMPARE(r.size(), std::size_t(250));
        for (const QVariantList& z : r.rows) {
            const int seq = z[0].toInt() - 1000;
            if (seq == 137) {
                QVERIFY(z[1].isNull() && z[2].isNull());
                continue;
            }
            QCOMPARE(z[1].toInt(), 80 + seq % 20);
            QCOMPARE(z[2].toInt(), 80 + (2 * seq) % 20);
        }
    }

    void fehlschlagLaesstKeinenHalbenDatensatz() {
        huberAnna(7, 1);
        d_->mitglied(2, QStringLiteral("Einmal Erna"), 1);
        range(einfuegen({.id = 30}) +
              einfuegen({.id = 31, .nachname = "Einmal", .vorname = "Erna", .sportpass = "77"}) +
              einfuegen({.id = 32}));
        // The club file refuses the second result: the member's new number goes back with
        // it, the first result stays, and the import stops instead of failing every further
        // result.
        d_->ausloeser(
            "CREATE TRIGGER nein BEFORE INSERT ON Ergebnis WHEN NEW.MeytonScheibenID = 31 "
            "BEGIN SELECT RAISE(ABORT, 'Platte voll'); END");
        Importoptionen namen;
        namen.sportpassUebernehmen = true;
        neuerImport(dialogs_).alles("SELECT * FROM Scheiben ORDER BY ScheibenID", namen);
        QCOMPARE(d_->db().run("SELECT MeytonScheibenID FROM Ergebnis").rows,
                 (std::vector<QVariantList>{{30.0}}));
        QVERIFY(
            d_->db().run("SELECT SportpassID FROM Mitglieder WHERE Nr = 2").rows[0][0].isNull());
        const QString text = dialogs_.messages.last();
        QVERIFY2(text.startsWith("Der Import wurde nach 2 von 3 Ergebnissen abgebrochen.\n"),
                 qPrintable(text));
        QVERIFY(text.contains("Platte voll"));
        QVERIFY(text.contains("\nNeu:  1\n"));
        const QString log = lesen(logs_.import);
        QCOMPARE(log.count("als Neu"), 1);
        QVERIFY(log.endsWith("Import abgebrochen nach 2 von 3 Ergebnissen.\r\n\r\n"));
    }

    void fensterListenImportUndAbbruch() {
        huberAnna(7, 1);
        QString rows;
        for (int i = 1; i <= 10; ++i) {
            rows += einfuegen({.id = 100 + i,
                               .liste = i % 2 ? QStringLiteral("Preis") : QStringLiteral("König"),
                               .disziplin = i % 3 ? QStringLiteral("LG") : QStringLiteral("LP")});
        }
        range(rows);
        ClubDatabase club(*ini_, z_);
        QVERIFY(club.OpenDatabaseDatei(d_->dbPfad()).ok);
        Haupt haupt;
        AbbrechenBei dialogs;
        MeytonImport fenster(club, haupt, *ini_, z_, dialogs, uhr_);
        fenster.setLogpfade(logs_);
        fenster.laden();
        auto* listen = fenster.findChild<QComboBox*>("Listen_Combo");
        QCOMPARE(listen->count(), 2);  // distinct, in the range's order
        QCOMPARE(listen->itemText(0), QStringLiteral("König"));
        QCOMPARE(listen->itemText(1), QStringLiteral("Preis"));
        QCOMPARE(fenster.findChild<QComboBox*>("Disziplin_Combo")->count(), 2);
        QCOMPARE(fenster.findChild<QLineEdit*>("Datum_txt")->text(), haupt.heute);
        QTest::mouseClick(listen->lineEdit(), Qt::LeftButton);
        QVERIFY(fenster.findChild<QRadioButton*>("Liste_opt")->isChecked());
        listen->setCurrentIndex(1);

        // Confirm each; "Abbrechen" pressed during the third question stops after it.
        fenster.findChild<QCheckBox*>("Einzel_check")->setChecked(true);
        dialogs.fenster = &fenster;
        dialogs.bei = 3;
        QSignalSpy beendet(&fenster, &MeytonImport::importBeendet);
        const auto importieren = [&](int ms = 20000) {
            fenster.findChild<QPushButton*>("Import_butt")->click();
            return beendet.wait(ms);
        };
        QVERIFY(importieren());
        QCOMPARE(dialogs.questions.size(), 3);
        QVERIFY(dialogs.questions[0].startsWith("Import \n 101,Preis,"));
        QCOMPARE(d_->zahl("SELECT count(*) FROM Ergebnis"), 3);
        QVERIFY2(dialogs.messages.last().startsWith(
                     "Der Import wurde nach 3 von 5 Ergebnissen abgebrochen.\nImport ohne Fehler."),
                 qPrintable(dialogs.messages.last()));
        QVERIFY(
            lesen(logs_.import).endsWith("Import abgebrochen nach 3 von 5 Ergebnissen.\r\n\r\n"));

        // The rest, without questions: the bar ends full, the buttons are back.
        fenster.findChild<QCheckBox*>("Einzel_check")->setChecked(false);
        QVERIFY(importieren());
        QCOMPARE(d_->zahl("SELECT count(*) FROM Ergebnis"), 5);
        QCOMPARE(fenster.findChild<QProgressBar*>("Fortschritt")->value(), 5);
        QVERIFY(fenster.findChild<QPushButton*>("Import_butt")->isEnabled());
        QVERIFY(!fenster.findChild<QPushButton*>("Abbrechen_butt")->isEnabled());

        // The range's server is restarted while the window stays open: the next Import runs.
        d_->db().run("DELETE FROM Ergebnis");
        QVERIFY2(server_.neuStarten(), qPrintable(server_.fehler()));
        const qsizetype meldungen = dialogs.messages.size();
        QVERIFY(importieren());
        QCOMPARE(d_->zahl("SELECT count(*) FROM Ergebnis"), 5);
        QCOMPARE(dialogs.messages.size(), meldungen + 1);
        QVERIFY2(dialogs.messages.last().contains("Neu:  5"), qPrintable(dialogs.messages.last()));

        // While it is down, the range's computer is named, not the ODBC set-up, and the
        // reason is the driver's, never empty.
        server_.stoppen();
        QVERIFY(importieren(30000));
        QVERIFY2(dialogs.messages.last().startsWith("Der Rechner der Meyton-Anlage (Datenquelle "
                                                    "ssmdb2) antwortet nicht"),
                 qPrintable(dialogs.messages.last()));
        QVERIFY(!dialogs.messages.last().contains("ODBC"));
        QVERIFY(dialogs.messages.last().contains("\nMeldung des Datenbanktreibers: "));
        QVERIFY2(!dialogs.messages.last().trimmed().endsWith(':'),
                 qPrintable(dialogs.messages.last()));
        QVERIFY2(server_.neuStarten(), qPrintable(server_.fehler()));
        QVERIFY(importieren());
        QCOMPARE(d_->zahl("SELECT count(*) FROM Ergebnis"), 5);
    }

    // The range's server stops answering (SIGSTOP) while the window imports: the window
    // keeps answering, "Abbrechen" ends the import at once with nothing imported; left
    // alone, the import ends within the time allowed with a message naming the range's
    // computer. After SIGCONT the next Import takes every result.
    void standSchweigt() {
        huberAnna(8, 1);
        range(einfuegen({.id = 201}) + einfuegen({.id = 202}));
        ClubDatabase club(*ini_, z_);
        QVERIFY(club.OpenDatabaseDatei(d_->dbPfad()).ok);
        Haupt haupt;
        ScriptedDialogs dialogs;
        MeytonImport fenster(club, haupt, *ini_, z_, dialogs, uhr_);
        fenster.setLogpfade(logs_);
        fenster.show();
        fenster.laden();
        fenster.findChild<QRadioButton*>("Alles_opt")->setChecked(true);
        auto* import = fenster.findChild<QPushButton*>("Import_butt");
        auto* abbrechen = fenster.findChild<QPushButton*>("Abbrechen_butt");
        QSignalSpy beendet(&fenster, &MeytonImport::importBeendet);
        QVERIFY(server_.anhalten());
        const auto weiter = qScopeGuard([this] { server_.fortsetzen(); });
        QElapsedTimer uhr;
        uhr.start();
        import->click();
        QVERIFY2(uhr.elapsed() < 2000, qPrintable(QString::number(uhr.elapsed())));
        QVERIFY(abbrechen->isEnabled());
        QVERIFY(!import->isEnabled());
        int takte = 0;
        QTimer takt;
        connect(&takt, &QTimer::timeout, [&] { ++takte; });
        takt.start(50);
        QTest::qWait(1000);
        QVERIFY(takte >= 10);  // the window's events go on
        QVERIFY(fenster.laeuft());
        QTest::mouseClick(abbrechen, Qt::LeftButton);
        QCOMPARE(beendet.size(), 1);
        QCOMPARE(dialogs.messages.last(),
                 QString("Der Import wurde abgebrochen, bevor die Ergebnisse der Meyton-Anlage "
                         "gelesen waren; es wurde nichts importiert."));
        QVERIFY(import->isEnabled());
        QVERIFY(!abbrechen->isEnabled());
        QCOMPARE(d_->zahl("SELECT count(*) FROM Ergebnis"), 0);

        uhr.restart();
        import->click();
        QVERIFY(beendet.wait(1000 * 3 * kAntwortfristSekunden));
        QVERIFY2(uhr.elapsed() < 1000 * (2 * kAntwortfristSekunden + 5),
                 qPrintable(QString::number(uhr.elapsed())));
        QVERIFY2(dialogs.messages.last().startsWith("Der Rechner der Meyton-Anlage (Datenquelle "
                                                    "ssmdb2) antwortet nicht"),
                 qPrintable(dialogs.messages.last()));
        QVERIFY(import->isEnabled());
        QCOMPARE(d_->zahl("SELECT count(*) FROM Ergebnis"), 0);

        QVERIFY(server_.fortsetzen());
        import->click();
        QVERIFY(beendet.wait(30000));
        QVERIFY2(dialogs.messages.last().contains("Neu:  2"), qPrintable(dialogs.messages.last()));
        QCOMPARE(d_->zahl("SELECT count(*) FROM Ergebnis WHERE MitglNr = 8"), 2);
    }
};

QTEST_MAIN(TestMeytonImport)
#include "test_meytonimport.moc"
