// The club database on a MariaDB server next to the SQLite file: storing one evening (60
// shots, one transaction) and recalling it, each as a ratio to SQLite; and two places
// storing 1,000 evenings each at the same time: every evening stored once, evenings per
// second.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <thread>

#include "core/Abendzustand.h"
#include "core/Schema.h"
#include "evening/Abend.h"
#include "evening/Felder.h"
#include "platform/Database.h"
#include "tests/support/MariaDbServer.h"

namespace {

struct Umgebung {
    QString datei;
    QString server;
    QString serverZweiSchreiber;
    MariaDbServer* mariadb = nullptr;
};
Umgebung* gU = nullptr;

void abendFuellen(Abendzustand& z, Felder& f, int nr, const QDate& tag) {
    z.Saisonjahr = 2024;
    z.TargetType = QStringLiteral("LG");
    for (int k = 1; k <= 60; ++k) {
        ShotSlot& s = z.Shots[static_cast<std::size_t>(k)];
        s.ValidFlag = true;
        s.Ring = 9;
        s.Teiler = 25.5f;
    }
    f.SName = QStringLiteral("Schütze");
    f.SNummer = QString::number(nr);
    f.Heute = tag.toString(QStringLiteral("dd.MM.yyyy"));
}

// Seconds for `runden` stores and recalls of one evening on `adresse`.
std::pair<double, double> messen(const QString& adresse, int runden) {
    Database db;
    QString fehler;
    if (!db.open(adresse, &fehler)) {
        std::fprintf(stderr, "%s\n", qPrintable(fehler));
        return {0, 0};
    }
    Abendzustand z;
    Felder f;
    abendFuellen(z, f, 120, QDate(2024, 4, 3));
    QElapsedTimer uhr;
    uhr.start();
    for (int i = 0; i < runden; ++i) {
        Abspeichern(f, z, db, QDateTime::currentDateTime());
    }
    const double speichern = uhr.nsecsElapsed() / 1e9;
    uhr.restart();
    for (int i = 0; i < runden; ++i) {
        suchen(f, z, db);
    }
    return {speichern, uhr.nsecsElapsed() / 1e9};
}

void BM_SpeichernUndAbrufen(benchmark::State& state) {
    constexpr int kRunden = 50;
    double sqlite[2] = {0, 0}, server[2] = {0, 0};
    for (auto _ : state) {
        const auto s = messen(gU->datei, kRunden);
        const auto m = messen(gU->server, kRunden);
        sqlite[0] += s.first;
        sqlite[1] += s.second;
        server[0] += m.first;
        server[1] += m.second;
        state.SetIterationTime(m.first + m.second);
    }
    const double n = static_cast<double>(state.iterations()) * kRunden;
    state.counters["SQLite_Speichern_ms"] = sqlite[0] / n * 1e3;
    state.counters["MariaDB_Speichern_ms"] = server[0] / n * 1e3;
    state.counters["Speichern_MariaDB_zu_SQLite"] = server[0] / sqlite[0];
    state.counters["SQLite_Abrufen_ms"] = sqlite[1] / n * 1e3;
    state.counters["MariaDB_Abrufen_ms"] = server[1] / n * 1e3;
    state.counters["Abrufen_MariaDB_zu_SQLite"] = server[1] / sqlite[1];
}
BENCHMARK(BM_SpeichernUndAbrufen)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void schreiber(const QString& adresse, int ersterTag, int abende) {
    Database db;
    QString fehler;
    if (!db.open(adresse, &fehler)) {
        return;
    }
    Abendzustand z;
    Felder f;
    for (int i = 0; i < abende; ++i) {
        abendFuellen(z, f, i % 100 + 1, QDate(2020, 1, 1).addDays(ersterTag + 2 * (i / 100)));
        try {
            Abspeichern(f, z, db, QDateTime::currentDateTime());
        } catch (const DatabaseError& e) {
            std::fprintf(stderr, "%s\n", qPrintable(e.message()));  // counted as missing below
        }
    }
}

void BM_ZweiPlaetzeJe1000Abende(benchmark::State& state) {
    constexpr int kAbende = 1000;
    for (auto _ : state) {
        state.PauseTiming();
        Database db;
        QString fehler;
        db.open(gU->serverZweiSchreiber, &fehler);
        db.run(QStringLiteral("DELETE FROM Ergebnis"));
        db.run(QStringLiteral("DELETE FROM Einzelergebnisse"));
        state.ResumeTiming();
        std::thread a(schreiber, gU->serverZweiSchreiber, 0, kAbende);
        std::thread b(schreiber, gU->serverZweiSchreiber, 1, kAbende);
        a.join();
        b.join();
        state.PauseTiming();
        const int gespeichert =
            db.run(QStringLiteral("SELECT count(*) FROM Ergebnis")).rows[0][0].toInt();
        const int doppelt =
            db.run(QStringLiteral("SELECT count(*) FROM (SELECT MitglNr, Datum FROM Ergebnis "
                                  "GROUP BY MitglNr, Datum HAVING count(*) > 1) AS d"))
                .rows[0][0]
                .toInt();
        if (gespeichert != 2 * kAbende || doppelt != 0) {
            state.SkipWithError("nicht jeder Abend genau einmal gespeichert");
            return;
        }
        state.counters["gespeichert"] = gespeichert;
        state.ResumeTiming();
    }
    state.counters["Abende_pro_s"] = benchmark::Counter(
        2.0 * kAbende * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ZweiPlaetzeJe1000Abende)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    // The server's client settings (~/.my.cnf) go into a home of the benchmark's own.
    qputenv("HOME", dir.path().toUtf8());
    const QString odbc = dir.filePath(QStringLiteral("odbc"));
    qputenv("ODBCSYSINI", odbc.toUtf8());
    qputenv("ODBCINI", (odbc + QStringLiteral("/odbc.ini")).toUtf8());
    MariaDbServer server;
    if (!server.starten()) {
        std::fprintf(stderr, "%s\n", qPrintable(server.fehler()));
        return 1;
    }
    Umgebung u;
    u.mariadb = &server;
    u.datei = dir.filePath(QStringLiteral("Training.db"));
    u.server = server.vereinsdatenbank();
    u.serverZweiSchreiber = server.vereinsdatenbank();
    QString fehler;
    for (const QString& ziel : {u.datei, u.server, u.serverZweiSchreiber}) {
        if (!schema::neueVereinsdatenbank(ziel, &fehler)) {
            std::fprintf(stderr, "%s\n", qPrintable(fehler));
            return 1;
        }
    }
    gU = &u;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gU = nullptr;
    return 0;
}
