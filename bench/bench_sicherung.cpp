// Backing up the benchmark club file (20,000 results, 800,000 shots) with SQLite's backup
// interface and its integrity check, next to a plain copy of the file. Goal: at most 2 s
// and at most 1.5 times the plain copy.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

#include "bench/Vereinsdaten.h"
#include "maintenance/Sicherungen.h"

namespace {

void BM_Sicherung(benchmark::State& state) {
    const QString quelle = bench::Vereinsdaten::get().pfad();
    QTemporaryDir ordner;
    sicherungen::Regel regel;
    regel.ordner = ordner.path();
    regel.letzte = 1;
    QDateTime jetzt(QDate(2026, 12, 7), QTime(22, 0));
    for (auto _ : state) {
        // each a backup of its own: the folder keeps only the newest, so none is "unchanged"
        QDir(ordner.path()).removeRecursively();
        QDir().mkpath(ordner.path());
        jetzt = jetzt.addSecs(1);
        QString ziel, fehler;
        if (sicherungen::sichern(quelle, regel, jetzt, &ziel, &fehler) !=
            sicherungen::Ergebnis::Gesichert) {
            state.SkipWithError(qPrintable(fehler));
            return;
        }
    }
    state.counters["MB"] = double(QFile(quelle).size()) / 1048576.0;
}
BENCHMARK(BM_Sicherung)->Unit(benchmark::kMillisecond)->Iterations(5);

// The floor: the file copied as it is.
void BM_Dateikopie(benchmark::State& state) {
    const QString quelle = bench::Vereinsdaten::get().pfad();
    QTemporaryDir ordner;
    const QString ziel = ordner.filePath("kopie.db");
    for (auto _ : state) {
        QFile::remove(ziel);
        if (!QFile::copy(quelle, ziel)) {
            state.SkipWithError("Kopie gescheitert");
            return;
        }
        QFile f(ziel);  // written to disk, as the backup is
        f.open(QIODevice::ReadWrite);
        ::fsync(f.handle());
    }
}
BENCHMARK(BM_Dateikopie)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
