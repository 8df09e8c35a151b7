// Several range PCs on one server database: two places storing evenings at the same
// moment lose nothing and double nothing, while a third edits the members.
#include <QtTest>

#include <atomic>
#include <thread>

#include "core/Abendzustand.h"
#include "evening/Abend.h"
#include "evening/Felder.h"
#include "tests/support/TestDaten.h"

namespace {

constexpr int kSchuesse = 40;

// One PC storing `abende` evenings: members 1 to 10 in turn, on every `schritt`-th day
// from `ersterTag`. Counts what failed.
void platz(const QString& adresse, int ersterTag, int schritt, int abende, std::atomic<int>* fehler,
           QStringList* meldungen, std::mutex* sperre) {
    Database db;
    QString grund;
    if (!db.open(adresse, &grund)) {
        ++*fehler;
        return;
    }
    Abendzustand z;
    z.Saisonjahr = 2024;
    z.TargetType = QStringLiteral("LG");
    for (std::size_t k = 1; k <= std::size_t(kSchuesse); ++k)
        z.Shots[k] = ShotSlot{9, 30.5f, 0, 0, false, true};
    Felder f;
    f.SName = QStringLiteral("Schütze");
    for (int i = 0; i < abende; ++i) {
        f.SNummer = QString::number(i % 10 + 1);
        f.Heute = QDate(2024, 1, 1).addDays(ersterTag + (i / 10) * schritt).toString("dd.MM.yyyy");
        try {
            Abspeichern(f, z, db, QDateTime::currentDateTime());
        } catch (const DatabaseError& e) {
            ++*fehler;
            const std::lock_guard<std::mutex> l(*sperre);
            *meldungen << e.message();
        }
    }
}

}  // namespace

class TestMehrplatz : public QObject {
    Q_OBJECT
  private slots:
    void zweiPlaetzeSpeichernZugleich() {
        if (!TestDaten::aufServer())
            QSKIP("Mehrere Plätze gibt es nur mit einer Datenbank auf dem Server.");
        TestDaten d;
        QVERIFY(d.ok());
        for (int nr = 1; nr <= 10; ++nr)
            d.mitglied(nr, QStringLiteral("Mitglied %1").arg(nr), 1);
        constexpr int kAbende = 150;
        std::atomic<int> fehler{0};
        std::atomic<bool> fertig{false};
        std::atomic<int> bearbeitet{0};
        QStringList meldungen;
        std::mutex sperre;
        // A and B on alternate days; C stores the very same evenings as A, one place over.
        std::thread a(platz, d.dbPfad(), 0, 2, kAbende, &fehler, &meldungen, &sperre);
        std::thread b(platz, d.dbPfad(), 1, 2, kAbende, &fehler, &meldungen, &sperre);
        std::thread c(platz, d.dbPfad(), 0, 2, kAbende, &fehler, &meldungen, &sperre);
        // Meanwhile the members are edited at a fourth place.
        std::thread mitglieder([&] {
            Database db;
            QString grund;
            if (!db.open(d.dbPfad(), &grund)) {
                ++fehler;
                return;
            }
            while (!fertig) {
                try {
                    inTransaktion(db, [&] {
                        db.run("UPDATE Mitglieder SET Klasse = Klasse + 1 WHERE Nr = ?",
                               {bearbeitet % 10 + 1});
                    });
                    ++bearbeitet;
                } catch (const DatabaseError&) {
                    ++fehler;
                }
            }
        });
        a.join();
        b.join();
        c.join();
        fertig = true;
        mitglieder.join();
        QVERIFY2(fehler == 0, qPrintable(meldungen.join('\n')));
        // Every evening once: A's and C's are the same ones.
        QCOMPARE(d.zahl("SELECT count(*) FROM Ergebnis"), 2 * kAbende);
        QCOMPARE(d.zahl("SELECT count(*) FROM (SELECT MitglNr, Datum FROM Ergebnis GROUP BY "
                        "MitglNr, Datum HAVING count(*) > 1) AS doppelt"),
                 0);
        QCOMPARE(d.zahl("SELECT count(*) FROM Einzelergebnisse"), 2 * kAbende * kSchuesse);
        QCOMPARE(d.zahl("SELECT count(*) FROM Mitglieder"), 10);
        QCOMPARE(d.zahl("SELECT sum(Klasse) FROM Mitglieder"), 10 + bearbeitet);
        qInfo("%d Abende von drei Plätzen gespeichert, %d Mitglieder-Änderungen dazwischen",
              3 * kAbende, bearbeitet.load());
    }
};

QTEST_MAIN(TestMehrplatz)
#include "test_mehrplatz.moc"
