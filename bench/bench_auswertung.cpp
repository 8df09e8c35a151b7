// The evaluation on the generated club database (ten seasons): the year table rebuild, the
// listing queries and laying out the season printout, each next to its floor, the bare
// SQLite statement over the same rows.
#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include "bench/Vereinsdaten.h"
#include "core/Hauptfelder.h"
#include "platform/AufzeichnenderDrucker.h"
#include "platform/Database.h"
#include "reports/Ausdruck.h"
#include "reports/Jahrestab.h"
#include "reports/Listen.h"

namespace {

using namespace bench;

constexpr int kSaison = 2020;

struct Felder : Hauptfelder {
    QString heuteText() const override { return QStringLiteral("08.01.2020"); }
    QString nTagText() const override { return QStringLiteral("01.01.2020"); }
    QString saisonText() const override { return QString::number(kSaison); }
    QString sNameText() const override { return QStringLiteral("Mitglied 120"); }
    QString sNummerText() const override { return QStringLiteral("120"); }
};

// Opened in main() before the first measurement and closed before the application goes.
Database* gDatenbank = nullptr;

Database& datenbank() {
    return *gDatenbank;
}

// The same statement run by bare SQLite, stepping every row.
void boden(benchmark::State& state, const char* sql) {
    sqlite3* db = nullptr;
    pruefe(sqlite3_open(Vereinsdaten::get().pfad().toUtf8().constData(), &db), db);
    {
        Anweisung a(db, sql);
        for (auto _ : state) {
            a.lauf(db);
        }
    }
    sqlite3_close(db);
}

void BM_Jahrestabelle(benchmark::State& state) {
    for (auto _ : state) {
        jahrestabNeuAufbauen(datenbank(), kSaison);
    }
}

void BM_Boden_Jahrestabelle(benchmark::State& state) {
    sqlite3* db = nullptr;
    pruefe(sqlite3_open(Vereinsdaten::get().pfad().toUtf8().constData(), &db), db);
    for (auto _ : state) {
        pruefe(sqlite3_exec(db,
                            "BEGIN; DELETE FROM Jahrestab; INSERT INTO Jahrestab (Name, Best10, "
                            "Best20, Gesammt, Teiler, Punkte, Anwesend, Geschossen, Klasse) "
                            "SELECT m.Name, SUM(e.Best10), SUM(e.Best20), SUM(e.Gesammt), "
                            "MIN(e.Teiler), SUM(e.Punkte), SUM(e.Anwesend), SUM(e.Best20 > 0), "
                            "m.Klasse FROM Mitglieder m JOIN Ergebnis e ON e.MitglNr = m.Nr "
                            "AND e.Jahr = 2020 GROUP BY m.Nr; COMMIT",
                            nullptr, nullptr, nullptr),
               db);
    }
    sqlite3_close(db);
}

void liste(benchmark::State& state, const Abfrage& a, const QString& sortierung) {
    std::size_t zeilen = 0;
    for (auto _ : state) {
        zeilen = datenbank().select(listen::sortiert(a.basis, sortierung)).size();
    }
    state.counters["Zeilen"] = static_cast<double>(zeilen);
}

void BM_ListeAbend(benchmark::State& state) {
    liste(state, listen::abend(Felder{}, Listenart::Heute), QStringLiteral("Name"));
}
void BM_Boden_ListeAbend(benchmark::State& state) {
    boden(state,
          "SELECT Name,Best10,Best20,Gesammt,Teiler,Punkte,Liegend FROM Heute WHERE Datum = "
          "'2020-01-08' ORDER BY Name");
}
void BM_ListeSaison(benchmark::State& state) {
    liste(state, listen::alles(Felder{}), QStringLiteral("Best10 DESC"));
}
void BM_Boden_ListeSaison(benchmark::State& state) {
    boden(state,
          "SELECT Name,Best10,Best20,Gesammt,Teiler,Punkte,Datum,Anwesend FROM Heute WHERE "
          "Jahr = 2020 ORDER BY Best10 DESC");
}
void BM_ListeSchuetze(benchmark::State& state) {
    liste(state, listen::schuetze(Felder{}), QStringLiteral("Datum"));
}
void BM_Boden_ListeSchuetze(benchmark::State& state) {
    boden(state,
          "SELECT Datum,Best10,Best20,Gesammt,Teiler,Punkte FROM Ergebnis WHERE MitglNr = 120 "
          "ORDER BY Datum");
}

// Laying out every page of the season printout; the rows are read once beforehand.
void BM_AusdruckSaison(benchmark::State& state) {
    const SqlRows zeilen = datenbank().select(
        listen::druckAbfrage(listen::alles(Felder{}).basis, QStringLiteral("Name")));
    const Druckkopf kopf{{}, {}, QStringLiteral("06.12.2026 20:00:00")};
    int seiten = 0;
    for (auto _ : state) {
        AufzeichnenderDrucker d;
        listeDrucken(d, Listenart::Alles, zeilen, kopf, [](const QString& n) { return n; });
        seiten = d.seiten();
    }
    state.counters["Seiten"] = seiten;
    state.counters["Zeilen"] = static_cast<double>(zeilen.size());
}

}  // namespace

#define ZK_BENCH(fn)                    \
    BENCHMARK(fn)                       \
        ->Unit(benchmark::kMillisecond) \
        ->UseRealTime()                 \
        ->Repetitions(5)                \
        ->ReportAggregatesOnly(true)

ZK_BENCH(BM_Jahrestabelle);
ZK_BENCH(BM_Boden_Jahrestabelle);
ZK_BENCH(BM_ListeAbend);
ZK_BENCH(BM_Boden_ListeAbend);
ZK_BENCH(BM_ListeSaison);
ZK_BENCH(BM_Boden_ListeSaison);
ZK_BENCH(BM_ListeSchuetze);
ZK_BENCH(BM_Boden_ListeSchuetze);
ZK_BENCH(BM_AusdruckSaison);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    Database db;
    QString fehler;
    if (!db.open(Vereinsdaten::get().pfad(), &fehler)) {  // generates the data first
        std::fprintf(stderr, "%s\n", qPrintable(fehler));
        return 1;
    }
    gDatenbank = &db;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
