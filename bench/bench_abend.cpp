// Storing and recalling one evening on a club database of ten seasons, next to the floor:
// the same rows written by bare SQLite in one transaction.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <random>

#include "core/Abendzustand.h"
#include "core/Schema.h"
#include "evening/Abend.h"
#include "evening/Felder.h"
#include "platform/Database.h"
#include "platform/SqlDialect.h"

namespace {

constexpr int kMitglieder = 300;
constexpr int kSaisons = 10;
constexpr int kAbendeJeSaison = 50;
constexpr int kSchuetzenJeAbend = 40;
constexpr int kSchuesseJeSchuetze = 40;
const QDate kErsterAbend(2015, 1, 7);
const QDate kNeuerAbend(2026, 12, 2);  // not in the generated data

void pruefe(int rc, sqlite3* db) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::abort();
    }
}

struct Anweisung {
    sqlite3_stmt* s = nullptr;
    Anweisung(sqlite3* db, const char* sql) {
        pruefe(sqlite3_prepare_v2(db, sql, -1, &s, nullptr), db);
    }
    ~Anweisung() { sqlite3_finalize(s); }
    void lauf(sqlite3* db) {
        int rc;
        while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        }
        pruefe(rc, db);
        sqlite3_reset(s);
    }
};

// The generated club database, made once per run.
class Vereinsdaten {
  public:
    static Vereinsdaten& get() {
        static Vereinsdaten daten;
        return daten;
    }
    QString pfad() const { return dir_.filePath("Training.db"); }

  private:
    Vereinsdaten() : dir_(QDir::current().filePath("zk-bench-XXXXXX")) {
        QString fehler;
        if (!schema::neueVereinsdatenbank(pfad(), &fehler)) {
            std::fprintf(stderr, "%s\n", qPrintable(fehler));
            std::abort();
        }
        sqlite3* db = nullptr;
        pruefe(sqlite3_open(pfad().toUtf8().constData(), &db), db);
        pruefe(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
        {
            Anweisung m(db, "INSERT INTO Mitglieder (Nr, Name, Klasse) VALUES (?, ?, ?)");
            for (int nr = 1; nr <= kMitglieder; ++nr) {
                const QByteArray name = QStringLiteral("Mitglied %1").arg(nr).toUtf8();
                sqlite3_bind_int(m.s, 1, nr);
                sqlite3_bind_text(m.s, 2, name.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int(m.s, 3, 1 + nr % 4);
                m.lauf(db);
            }
            Anweisung e(
                db,
                "INSERT INTO Ergebnis (MitglNr, Datum, S1, S2, S3, S4, S5, S6, Gesammt, Teiler, "
                "Best10, Best20, Punkte, Jahr, Scheibentyp, Liegend, Anwesend) "
                "VALUES (?, ?, 90, 91, 92, 93, 0, 0, 366, 35.4, 93, 185, 3, ?, 'LG', 0, 1)");
            Anweisung s(db,
                        "INSERT INTO Einzelergebnisse (MitglNr, Datum, Schuss, Teiler, Ring, X, Y) "
                        "VALUES (?, ?, ?, ?, ?, ?, ?)");
            std::mt19937 zufall(42);
            int abend = 0;
            for (int saison = 0; saison < kSaisons; ++saison) {
                for (int a = 0; a < kAbendeJeSaison; ++a, ++abend) {
                    const QDate tag = kErsterAbend.addDays(7 * abend);
                    const QByteArray datum = sqldialect::isoDate(tag).toUtf8();
                    for (int k = 0; k < kSchuetzenJeAbend; ++k) {
                        const int nr = 1 + (abend * 7 + k) % kMitglieder;
                        sqlite3_bind_int(e.s, 1, nr);
                        sqlite3_bind_text(e.s, 2, datum.constData(), -1, SQLITE_STATIC);
                        sqlite3_bind_int(e.s, 3, tag.year());
                        e.lauf(db);
                        for (int schuss = 1; schuss <= kSchuesseJeSchuetze; ++schuss) {
                            sqlite3_bind_int(s.s, 1, nr);
                            sqlite3_bind_text(s.s, 2, datum.constData(), -1, SQLITE_STATIC);
                            sqlite3_bind_int(s.s, 3, schuss);
                            sqlite3_bind_double(s.s, 4, 5 + zufall() % 800 / 10.0);
                            sqlite3_bind_int(s.s, 5, 6 + static_cast<int>(zufall() % 5));
                            sqlite3_bind_double(s.s, 6, zufall() % 2000 / 10.0 - 100);
                            sqlite3_bind_double(s.s, 7, zufall() % 2000 / 10.0 - 100);
                            s.lauf(db);
                        }
                    }
                }
            }
        }
        pruefe(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
        sqlite3_close(db);
    }
    QTemporaryDir dir_;
};

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

void BM_AbendSpeichern(benchmark::State& state) {
    Database db;
    QString fehler;
    if (!db.open(Vereinsdaten::get().pfad(), &fehler)) {
        state.SkipWithError(qPrintable(fehler));
        return;
    }
    Felder f;
    Abendzustand z;
    abendFuellen(f, z, 17);
    for (auto _ : state) {
        Abspeichern(f, z, db);
    }
}

void BM_Boden_SqliteDirekt(benchmark::State& state) {
    sqlite3* db = nullptr;
    pruefe(sqlite3_open(Vereinsdaten::get().pfad().toUtf8().constData(), &db), db);
    {
        Anweisung begin(db, "BEGIN");
        Anweisung commit(db, "COMMIT");
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
            if (sqlite3_step(suche.s) == SQLITE_ROW) {
                sqlite3_bind_int64(aendern.s, 1, sqlite3_column_int64(suche.s, 0));
                sqlite3_reset(suche.s);
                aendern.lauf(db);
            } else {
                sqlite3_reset(suche.s);
                neu.lauf(db);
            }
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
    QString fehler;
    if (!db.open(Vereinsdaten::get().pfad(), &fehler)) {
        state.SkipWithError(qPrintable(fehler));
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
