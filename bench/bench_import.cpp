// The range import end to end against a local MariaDB server reached through its ODBC
// driver: 2,000 range results matched to members, their series read, points awarded and
// written to a club file, as the import window does it: the range read first, then the
// results imported. Reports results per second and the share of the time that reading the
// range takes (the selection, and the series a block of results at a time).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

#include "core/Abendzustand.h"
#include "core/Ini.h"
#include "core/Schema.h"
#include "platform/Clock.h"
#include "platform/Database.h"
#include "platform/Dialogs.h"
#include "platform/OdbcQuelle.h"
#include "rangeimport/Meytonimport.h"
#include "rangeimport/Standleser.h"
#include "tests/support/MariaDbServer.h"

namespace {

constexpr int kErgebnisse = 2000;
constexpr int kMitglieder = 300;
const QString kAuswahl = QStringLiteral("SELECT * FROM Scheiben ");

class Still : public Dialogs {
  public:
    void message(const QString&) override {}
    bool askYesNo(const QString&, Vorgabe) override { return true; }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
};

struct Umgebung {
    QTemporaryDir dir;
    MariaDbServer server;
    OdbcQuelle stand;
    Database club;
    std::unique_ptr<Ini> ini;
    Abendzustand zustand;
    Still dialogs;
    SystemClock uhr;
};
Umgebung* gU = nullptr;

bool aufbauen(Umgebung& u) {
    const QString odbc = u.dir.filePath(QStringLiteral("odbc"));
    QDir().mkpath(odbc);
    qputenv("ODBCSYSINI", odbc.toUtf8());
    qputenv("ODBCINI", (odbc + QStringLiteral("/odbc.ini")).toUtf8());
    if (!u.server.starten()) {
        std::fprintf(stderr, "%s\n", qPrintable(u.server.fehler()));
        return false;
    }
    QFile schema(QStringLiteral(ZK_TESTDATA "/meyton.sql"));
    if (!schema.open(QIODevice::ReadOnly) || !u.server.sql(QString::fromUtf8(schema.readAll()))) {
        return false;
    }
    // Results of 300 members over a season of evenings, four series each.
    const QString fuellen =
        QStringLiteral(
            "INSERT INTO Scheiben (ScheibenID, Starterliste, StarterlistenID, StartNr, Nachname, "
            "Vorname, SportpassID, StandNr, Disziplin, DisziplinlID, Klasse, KlassenID, Verein, "
            "VereinsID, Trefferzahl, TotalRing, TotalRing01, Zeitstempel, BesterTeiler01) "
            "SELECT seq, 'Training', 1, seq, CONCAT('Name', seq %% %1), 'Vorname', "
            "CONCAT('SP', seq %% %1), 1 + seq %% 8, 'LG 40 Wertung', 11, 'Herren', 1, "
            "'SV Musterdorf', 77, 40, 3700 + seq %% 200, 37000 + seq %% 2000, "
            "TIMESTAMP('2024-01-03 19:00:00') + INTERVAL seq DIV 40 WEEK + INTERVAL seq %% 40 "
            "MINUTE, 100 + seq %% 900 FROM seq_1_to_%2;"
            "INSERT INTO Serien (ScheibenID, Serie, Ring) SELECT s.seq, r.seq, 90 + (s.seq + "
            "r.seq) %% 10 FROM seq_1_to_%2 s, seq_1_to_4 r;")
            .arg(kMitglieder)
            .arg(kErgebnisse);
    if (!u.server.sql(QString(fuellen).replace(QStringLiteral("%%"), QStringLiteral("%"))) ||
        !u.server.datenquelleEinrichten(QStringLiteral("ssmdb2"))) {
        std::fprintf(stderr, "%s\n", qPrintable(u.server.fehler()));
        return false;
    }
    QString fehler;
    if (!u.stand.open(QStringLiteral("ssmdb2"), &fehler)) {
        std::fprintf(stderr, "%s\n", qPrintable(fehler));
        return false;
    }
    const QString datei = u.dir.filePath(QStringLiteral("Training.db"));
    if (!schema::neueVereinsdatenbank(datei, &fehler) || !u.club.open(datei, &fehler)) {
        std::fprintf(stderr, "%s\n", qPrintable(fehler));
        return false;
    }
    {
        Transaction t(u.club);
        for (int n = 0; n < kMitglieder; ++n) {
            u.club.run(
                QStringLiteral("INSERT INTO Mitglieder (Nr, Name, Klasse, SportpassID) "
                               "VALUES (?, ?, 1, ?)"),
                {n + 1, QStringLiteral("Name%1 Vorname").arg(n), QStringLiteral("SP%1").arg(n)});
        }
        for (int r = 300; r <= 400; r += 10) {
            u.club.run(
                QStringLiteral("INSERT INTO Ringe (URinge, Klasse1, Punkte) VALUES (?, 1, ?)"),
                {r, (r - 300) / 10});
        }
        u.club.run(
            QStringLiteral("INSERT INTO Teiler (OTeiler, Klasse1, Punkte) VALUES (50, 1, 3)"));
        t.commit();
    }
    u.ini = std::make_unique<Ini>(u.dir.filePath(QStringLiteral("wettk.ini")));
    u.zustand.Punktwertung = 40;
    return true;
}

void BM_Import2000(benchmark::State& state) {
    Umgebung& u = *gU;
    const Importlogpfade logs{u.dir.filePath(QStringLiteral("fehler.txt")),
                              u.dir.filePath(QStringLiteral("import.txt")),
                              u.dir.filePath(QStringLiteral("debug.txt"))};
    double importSekunden = 0;
    double standSekunden = 0;
    for (auto _ : state) {
        state.PauseTiming();
        u.club.run(QStringLiteral("DELETE FROM Ergebnis"));
        state.ResumeTiming();
        QElapsedTimer uhr;
        uhr.start();
        // As the window does it: the range read first (on its thread there), then imported.
        const std::shared_ptr<Vorgelesen> daten = vorlesen(u.stand, kAuswahl, [] { return true; });
        standSekunden += uhr.nsecsElapsed() / 1e9;
        if (!daten || !daten->fehler().isEmpty()) {
            state.SkipWithError("die Anlage wurde nicht gelesen");
            return;
        }
        Meytonimport import(*daten, u.club, *u.ini, u.zustand, u.dialogs, u.uhr, logs);
        import.beginnen(kAuswahl, {});
        while (!import.fertig()) {
            import.stapel(40);  // as the window does it
        }
        import.abschliessen();
        importSekunden += uhr.nsecsElapsed() / 1e9;
        if (import.zaehler().neu != kErgebnisse) {
            state.SkipWithError("nicht alle Ergebnisse importiert");
            return;
        }
    }
    state.counters["Ergebnisse_pro_s"] = benchmark::Counter(
        static_cast<double>(kErgebnisse) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["Anteil_Standabfragen"] = standSekunden / importSekunden;
}
BENCHMARK(BM_Import2000)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Umgebung u;
    if (!aufbauen(u)) {
        return 1;
    }
    gU = &u;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gU = nullptr;
    return 0;
}
