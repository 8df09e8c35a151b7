// The club database on a MariaDB server next to the SQLite file, each as the program runs
// it (the file with its journal and full sync, the server writing its log to disk at every
// commit): storing evenings as the stand does (a new evening, then a ring corrected in it;
// every store writes) and recalling them, each as a ratio to SQLite; and two places storing
// 1,000 evenings each at the same time: every evening stored once, evenings per second.
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
#include "evening/Abendstand.h"
#include "evening/Felder.h"
#include "platform/Database.h"
#include "platform/SqlDialect.h"
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

struct Messung {
    double speichern = 0;  // seconds
    double abrufen = 0;
    double leer = 0;  // a statement that reads nothing, as often as the recalls
    int gespeichert = 0;  // evenings whose rows are there afterwards
};

// `runden` evenings of one member stored as the stand stores them (each checked against what
// the place recalled, a new evening and then one ring corrected in it: two stores that write)
// and recalled, on `adresse`. Every round a date of its own, so that no store finds its
// evening unchanged.
Messung messen(const QString& adresse, int runden, int ersterTag) {
    Messung m;
    Database db;
    QString fehler;
    if (!db.open(adresse, &fehler)) {
        std::fprintf(stderr, "%s\n", qPrintable(fehler));
        return m;
    }
    constexpr int kNr = 120;
    db.run(QStringLiteral("DELETE FROM Mitglieder WHERE Nr = ?"), {kNr});
    db.run(QStringLiteral("INSERT INTO Mitglieder (Nr, Name) VALUES (?, ?)"),
           {kNr, QStringLiteral("Schütze")});
    const QDate erster = QDate(2024, 4, 3).addDays(ersterTag);
    Abendzustand z;
    Felder f;
    QElapsedTimer uhr;
    uhr.start();
    for (int i = 0; i < runden; ++i) {
        abendFuellen(z, f, kNr, erster.addDays(i));
        GeladenerAbend geladen{kNr, sqldialect::isoDate(erster.addDays(i)), {}, {}};
        const QDateTime jetzt(erster.addDays(i), QTime(20, 0));
        Abspeichern(f, z, db, jetzt, {&geladen, false});
        z.Shots[static_cast<std::size_t>(i % 60 + 1)].Ring = 10;
        Abspeichern(f, z, db, jetzt.addSecs(60), {&geladen, false});
    }
    m.speichern = uhr.nsecsElapsed() / 1e9;
    uhr.restart();
    for (int i = 0; i < runden; ++i) {
        abendFuellen(z, f, kNr, erster.addDays(i));
        suchen(f, z, db);
        m.gespeichert += z.Shots[static_cast<std::size_t>(i % 60 + 1)].Ring == 10 ? 1 : 0;
    }
    m.abrufen = uhr.nsecsElapsed() / 1e9;
    // The least any statement costs: one that reads nothing, run as often.
    uhr.restart();
    for (int i = 0; i < runden; ++i) {
        db.run(QStringLiteral("SELECT ?"), {i});
    }
    m.leer = uhr.nsecsElapsed() / 1e9;
    return m;
}

void BM_SpeichernUndAbrufen(benchmark::State& state) {
    constexpr int kRunden = 50;
    double sqlite[3] = {0, 0, 0}, server[3] = {0, 0, 0};
    int durchgang = 0;
    for (auto _ : state) {
        const Messung s = messen(gU->datei, kRunden, durchgang * kRunden);
        const Messung m = messen(gU->server, kRunden, durchgang * kRunden);
        ++durchgang;
        if (s.gespeichert != kRunden || m.gespeichert != kRunden) {
            state.SkipWithError("nicht jeder Abend wie gespeichert abgerufen");
            return;
        }
        sqlite[0] += s.speichern;
        sqlite[1] += s.abrufen;
        server[0] += m.speichern;
        server[1] += m.abrufen;
        sqlite[2] += s.leer;
        server[2] += m.leer;
        state.SetIterationTime(m.speichern + m.abrufen);
    }
    const double n = static_cast<double>(state.iterations()) * kRunden;
    state.counters["SQLite_Speichern_ms"] = sqlite[0] / (2 * n) * 1e3;
    state.counters["MariaDB_Speichern_ms"] = server[0] / (2 * n) * 1e3;
    state.counters["Speichern_MariaDB_zu_SQLite"] = server[0] / sqlite[0];
    state.counters["SQLite_Abrufen_ms"] = sqlite[1] / n * 1e3;
    state.counters["MariaDB_Abrufen_ms"] = server[1] / n * 1e3;
    state.counters["Abrufen_MariaDB_zu_SQLite"] = server[1] / sqlite[1];
    state.counters["SQLite_leere_Anweisung_ms"] = sqlite[2] / n * 1e3;
    state.counters["MariaDB_leere_Anweisung_ms"] = server[2] / n * 1e3;
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
    // Durability as the program leaves it, said beside the figures.
    {
        Database datei, server;
        if (datei.open(u.datei, &fehler) && server.open(u.server, &fehler)) {
            const auto wert = [](Database& db, const QString& sql) {
                return db.run(sql).rows.at(0).at(0).toString();
            };
            std::printf("SQLite: synchronous=%s journal_mode=%s; MariaDB: "
                        "innodb_flush_log_at_trx_commit=%s\n",
                        qPrintable(wert(datei, QStringLiteral("PRAGMA synchronous"))),
                        qPrintable(wert(datei, QStringLiteral("PRAGMA journal_mode"))),
                        qPrintable(wert(server, QStringLiteral(
                                                    "SELECT @@innodb_flush_log_at_trx_commit"))));
        }
    }
    gU = &u;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gU = nullptr;
    return 0;
}
