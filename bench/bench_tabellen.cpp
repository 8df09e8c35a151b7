// The table browser on the generated club database: opening Ergebnis (about 20,000 rows)
// in the grid and scrolling to its end, painted as a user sees it. Reports the pages of
// rows that were read for it.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <QTableView>

#include <cstdio>

#include "bench/Vereinsdaten.h"
#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/Ini.h"
#include "maintenance/Seitenmodell.h"
#include "maintenance/ui/Tabellen.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

namespace {

class Still : public Dialogs {
  public:
    void message(const QString& text) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    bool askYesNo(const QString&, Vorgabe) override { return true; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
};

Tabellen* gFenster = nullptr;

void BM_ErgebnisOeffnenBisZumEnde(benchmark::State& state) {
    Tabellen& t = *gFenster;
    auto* grid = t.findChild<QTableView*>(QStringLiteral("Tabellen_Grid"));
    int seiten = 0;
    int zeilen = 0;
    for (auto _ : state) {
        t.tabelleWaehlen(QStringLiteral("Ergebnis"));
        grid->scrollToBottom();
        grid->viewport()->grab();  // paints the rows now in view
        seiten = t.modell().geleseneSeiten();
        zeilen = t.modell().rowCount();
        state.PauseTiming();
        t.tabelleWaehlen(QStringLiteral("Mitglieder"));
        state.ResumeTiming();
    }
    state.counters["Zeilen"] = zeilen;
    state.counters["gelesene_Seiten"] = seiten;
}
BENCHMARK(BM_ErgebnisOeffnenBisZumEnde)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    const QString datei = bench::Vereinsdaten::get().pfad();  // generates the data first
    Ini ini(datei + QStringLiteral(".ini"));
    Abendzustand zustand;
    ClubDatabase club(ini, zustand);
    if (!club.OpenDatabaseDatei(datei).ok) {
        std::fprintf(stderr, "%s kann nicht geöffnet werden\n", qPrintable(datei));
        return 1;
    }
    Still dialogs;
    SystemClock uhr;
    Tabellen fenster(club, zustand, dialogs, uhr);
    fenster.resize(1000, 700);
    fenster.show();
    gFenster = &fenster;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gFenster = nullptr;
    return 0;
}
