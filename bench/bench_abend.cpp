// Storing and recalling one evening on a club database of ten seasons, next to the floor:
// the same rows written by bare SQLite in one transaction. A store that corrects a ring
// writes the log of corrections too; one that changes nothing writes nothing.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <random>

#include "bench/Vereinsdaten.h"
#include "core/Abendzustand.h"
#include "core/Schema.h"
#include "evening/Abend.h"
#include "evening/Felder.h"
#include "platform/Database.h"
#include "platform/SqlDialect.h"

namespace {

using namespace bench;
const QDate kNeuerAbend(2026, 12, 2);  // not in the generated data

void abendFuellen(Felder& f, Abendzustand& z, int nr) {
    f.SNummer = QString::number(nr);
    f.SName = QStringLiteral("Mitglied %1").arg(nr);
    f.Heute = kNeuerAbend.toString(QStringLiteral("dd.MM.yyyy"));
    f.Anwesend = true;
    for (int s = 1; s <= 6; ++s) {
        f.Scheibe[static_cast<std::size_t>(s)] = QStringLiteral("95");
    }
    f.GesScheibe = QStringLiteral("570");
    f.BestTeiler = QStringLiteral("12,7");
    f.Best10 = QStringLiteral("98");
    f.Best = QStringLiteral("196");
    f.Punkte = QStringLiteral("4");
    z.Saisonjahr = 2026;
    for (int k = 1; k <= 60; ++k) {
        ShotSlot& s = z.Shots[static_cast<std::size_t>(k)];
        s.Ring = static_cast<std::int16_t>(6 + k % 5);
        s.Teiler = 10.0f + static_cast<float>(k);
        s.X = static_cast<float>(k);
        s.Y = -static_cast<float>(k);
        s.ValidFlag = true;
    }
}

// The benchmark's club database; false (and the run skipped) when it cannot be opened.
bool oeffnen(Database& db, benchmark::State& state) {
    QString fehler;
    if (!db.open(Vereinsdaten::get().pfad(), &fehler)) {
        state.SkipWithError(qPrintable(fehler));
        return false;
    }
    return true;
}

void BM_AbendSpeichern(benchmark::State& state) {
    Database db;
    if (!oeffnen(db, state)) {
        return;
    }
    Felder f;
    Abendzustand z;
    abendFuellen(f, z, 17);
    // Every store corrects one ring: the stored evening is replaced and the log written.
    ShotSlot& s = z.Shots[7];
    for (auto _ : state) {
        s.Ring = s.Ring == 10 ? 9 : 10;
        Abspeichern(f, z, db, QDateTime::currentDateTime());
    }
}

// The same evening stored again as it is: nothing to write.
void BM_AbendSpeichernUnveraendert(benchmark::State& state) {
    Database db;
    if (!oeffnen(db, state)) {
        return;
    }
    Felder f;
    Abendzustand z;
    abendFuellen(f, z, 19);
    Abspeichern(f, z, db, QDateTime::currentDateTime());
    for (auto _ : state) {
        Abspeichern(f, z, db, QDateTime::currentDateTime());
    }
}

// The same rows as a correcting store reads and writes: the member's row, the stored result
// and shots (to compare), the result, one line of the log of corrections, the 60 shots.
void BM_Boden_SqliteDirekt(benchmark::State& state) {
    sqlite3* db = nullptr;
    pruefe(sqlite3_open(Vereinsdaten::get().pfad().toUtf8().constData(), &db), db);
    {
        Anweisung begin(db, "BEGIN");
        Anweisung commit(db, "COMMIT");
        Anweisung mitglied(db, "SELECT Nr FROM Mitglieder WHERE Nr = 18");
        Anweisung schuesse(db,
                           "SELECT Schuss, Ring, Teiler, X, Y FROM Einzelergebnisse WHERE "
                           "MitglNr = 18 AND Datum = '2026-12-02' ORDER BY Schuss");
        Anweisung log(db,
                      "INSERT INTO Aenderungen (Zeit, Platz, Benutzer, Tabelle, MitglNr, Datum, "
                      "Feld, Alt, Neu, Anlass) VALUES ('2026-12-02 20:00:00', 'pc', 'wer', "
                      "'Einzelergebnisse', 18, '2026-12-02', 'Schüsse', '', 'Schuss 7: 9 → 10', "
                      "'Neu gespeichert')");
        Anweisung suche(
            db, "SELECT rowid FROM Ergebnis WHERE MitglNr = 18 AND Datum = '2026-12-02' LIMIT 1");
        Anweisung neu(
            db,
            "INSERT INTO Ergebnis (MitglNr, Datum, S1, S2, S3, S4, S5, S6, Gesammt, Teiler, "
            "Best10, Best20, Punkte, Jahr, Scheibentyp, Liegend, Anwesend) VALUES "
            "(18, '2026-12-02', 95, 95, 95, 95, 95, 95, 570, 12.7, 98, 196, 4, 2026, 'LG', 0, 1)");
        Anweisung aendern(
            db,
            "UPDATE Ergebnis SET S1 = 95, S2 = 95, S3 = 95, S4 = 95, S5 = 95, S6 = 95, "
            "Gesammt = 570, Teiler = 12.7, Best10 = 98, Best20 = 196, Punkte = 4, "
            "Jahr = 2026, Scheibentyp = 'LG', Liegend = 0, Anwesend = 1 WHERE rowid = ?");
        Anweisung loeschen(
            db, "DELETE FROM Einzelergebnisse WHERE MitglNr = 18 AND Datum = '2026-12-02'");
        Anweisung schuss(
            db,
            "INSERT INTO Einzelergebnisse (MitglNr, Datum, Schuss, Teiler, Ring, X, Y) "
            "VALUES (18, '2026-12-02', ?, ?, ?, ?, ?)");
        for (auto _ : state) {
            begin.lauf(db);
            mitglied.lauf(db);
            schuesse.lauf(db);
            if (sqlite3_step(suche.s) == SQLITE_ROW) {
                sqlite3_bind_int64(aendern.s, 1, sqlite3_column_int64(suche.s, 0));
                sqlite3_reset(suche.s);
                aendern.lauf(db);
            } else {
                sqlite3_reset(suche.s);
                neu.lauf(db);
            }
            log.lauf(db);
            loeschen.lauf(db);
            for (int k = 1; k <= 60; ++k) {
                sqlite3_bind_int(schuss.s, 1, k);
                sqlite3_bind_double(schuss.s, 2, 10.0 + k);
                sqlite3_bind_int(schuss.s, 3, 6 + k % 5);
                sqlite3_bind_double(schuss.s, 4, k);
                sqlite3_bind_double(schuss.s, 5, -k);
                schuss.lauf(db);
            }
            commit.lauf(db);
        }
    }
    sqlite3_close(db);
}

void BM_AbendAbrufen(benchmark::State& state) {
    Database db;
    if (!oeffnen(db, state)) {
        return;
    }
    // An evening in the middle of the data: member 120 shot on the 250th evening.
    const int abend = 250;
    const int nr = 1 + (abend * 7 + 0) % kMitglieder;
    Felder f;
    f.SNummer = QString::number(nr);
    f.SName = QStringLiteral("Mitglied %1").arg(nr);
    f.Heute = kErsterAbend.addDays(7 * abend).toString(QStringLiteral("dd.MM.yyyy"));
    Abendzustand z;
    for (auto _ : state) {
        suchen(f, z, db);
        Anzeige_fuellen(f, z);
        benchmark::DoNotOptimize(f.Schuss[40]);
    }
    if (f.Schuss[40].isEmpty()) {
        state.SkipWithError("Abend nicht gefunden");
    }
}

}  // namespace

BENCHMARK(BM_AbendSpeichern)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_AbendSpeichernUnveraendert)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Boden_SqliteDirekt)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_AbendAbrufen)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
