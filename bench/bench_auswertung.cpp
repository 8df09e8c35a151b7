// The evaluation on the generated club database (ten seasons): the year table rebuild, the
// listing queries and laying out the season printout, each next to its floor, the bare
// SQLite statement over the same rows.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

#include "bench/Vereinsdaten.h"
#include "core/Hauptfelder.h"
#include "core/Schema.h"
#include "platform/AufzeichnenderDrucker.h"
#include "platform/Database.h"
#include "platform/Textdatei.h"
#include "reports/Ausdruck.h"
#include "reports/Export.h"
#include "reports/Jahrestab.h"
#include "reports/Klassenzuordnung.h"
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
    const QString basis = listen::alles(Felder{}).basis;
    const QString sortierung = QStringLiteral("Name");
    const SqlRows zeilen = datenbank().select(
        listen::druckAbfrage(basis, sortierung, listen::sortiert(basis, sortierung)));
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

// A club of 1,000 members with birthdays and nine classes, for the class assignment.
class Tausend {
  public:
    static Tausend& get() {
        static Tausend t;
        return t;
    }
    QString pfad() const { return dir_.filePath("Klassen.db"); }

  private:
    Tausend() {
        QString fehler;
        if (!schema::neueVereinsdatenbank(pfad(), &fehler)) {
            std::abort();
        }
        sqlite3* db = nullptr;
        pruefe(sqlite3_open(pfad().toUtf8().constData(), &db), db);
        pruefe(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
        {
            Anweisung k(db,
                        "INSERT INTO Klassen (Klasse, Bez, UAlter, OAlter, Geschlecht) "
                        "VALUES (?, 'K', ?, ?, ?)");
            for (int i = 1; i <= 9; ++i) {
                sqlite3_bind_int(k.s, 1, i);
                sqlite3_bind_int(k.s, 2, (i - 1) * 10);
                sqlite3_bind_int(k.s, 3, i * 10 - 1);
                sqlite3_bind_text(k.s, 4, i % 2 ? "m" : "mw", -1, SQLITE_STATIC);
                k.lauf(db);
            }
            Anweisung m(db,
                        "INSERT INTO Mitglieder (Nr, Name, Geburtstag, Geschlecht) "
                        "VALUES (?, ?, ?, ?)");
            for (int nr = 1; nr <= 1000; ++nr) {
                const QByteArray name = QStringLiteral("Mitglied %1").arg(nr).toUtf8();
                const QByteArray geb =
                    QDate(1940 + nr % 70, 1 + nr % 12, 1 + nr % 28).toString(Qt::ISODate).toUtf8();
                sqlite3_bind_int(m.s, 1, nr);
                sqlite3_bind_text(m.s, 2, name.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(m.s, 3, geb.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(m.s, 4, nr % 3 ? "m" : "w", -1, SQLITE_STATIC);
                m.lauf(db);
            }
        }
        pruefe(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
        sqlite3_close(db);
    }
    QTemporaryDir dir_;
};

void BM_KlassenBerechnen(benchmark::State& state) {
    Database db;
    QString fehler;
    if (!db.open(Tausend::get().pfad(), &fehler)) {
        state.SkipWithError(qPrintable(fehler));
        return;
    }
    for (auto _ : state) {
        klassenBerechnen(db, QDate(2020, 10, 1), QStringLiteral("Name"),
                         QDateTime(QDate(2020, 10, 1), QTime(19, 30)));
    }
}

// The same work in bare SQLite: every member read, its class looked up and written.
void BM_Boden_KlassenBerechnen(benchmark::State& state) {
    sqlite3* db = nullptr;
    pruefe(sqlite3_open(Tausend::get().pfad().toUtf8().constData(), &db), db);
    {
        Anweisung alle(db, "SELECT rowid, Geburtstag, Geschlecht FROM Mitglieder ORDER BY Name");
        Anweisung suche(db,
                        "SELECT Klasse FROM Klassen WHERE UAlter <= ?1 AND OAlter >= ?1 "
                        "AND Geschlecht LIKE ?2");
        Anweisung setze(db, "UPDATE Mitglieder SET Klasse = ? WHERE rowid = ?");
        for (auto _ : state) {
            pruefe(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
            while (sqlite3_step(alle.s) == SQLITE_ROW) {
                const QDate geb = QDate::fromString(QString::fromUtf8(reinterpret_cast<const char*>(
                                                        sqlite3_column_text(alle.s, 1))),
                                                    Qt::ISODate);
                const int alter = ((2020 - geb.year()) * 12 + 10 - geb.month() - 1) / 12 + 1;
                sqlite3_bind_int(suche.s, 1, alter);
                sqlite3_bind_text(suche.s, 2,
                                  reinterpret_cast<const char*>(sqlite3_column_text(alle.s, 2)), -1,
                                  SQLITE_TRANSIENT);
                if (sqlite3_step(suche.s) == SQLITE_ROW) {
                    sqlite3_bind_int(setze.s, 1, sqlite3_column_int(suche.s, 0));
                    sqlite3_bind_int64(setze.s, 2, sqlite3_column_int64(alle.s, 0));
                    setze.lauf(db);
                }
                sqlite3_reset(suche.s);
            }
            sqlite3_reset(alle.s);
            pruefe(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
        }
    }
    sqlite3_close(db);
}

// Every result of the ten seasons (the raw listing) into the export file.
void BM_Export(benchmark::State& state) {
    const QString datei = QDir::current().filePath("zk-bench-export.csv");
    std::size_t zeilen = 0;
    for (auto _ : state) {
        const SqlRows z = datenbank().select(listen::kRoh);
        zeilen = z.size();
        QString fehler;
        if (!dateiErsetzen(datei,
                           exportText(z, spaltentypen(datenbank(), listen::kRoh, z.columns),
                                      QStringLiteral(";")),
                           &fehler)) {
            state.SkipWithError(qPrintable(fehler));
        }
    }
    state.counters["Zeilen"] = static_cast<double>(zeilen);
    QFile::remove(datei);
}

void BM_Boden_Export(benchmark::State& state) {
    sqlite3* db = nullptr;
    pruefe(sqlite3_open(Vereinsdaten::get().pfad().toUtf8().constData(), &db), db);
    const QByteArray datei = QDir::current().filePath("zk-bench-boden.csv").toLocal8Bit();
    {
        Anweisung a(db,
                    "SELECT MitglNr,Best10,Best20,Gesammt,Teiler,Punkte,Datum,Anwesend,Liegend "
                    "FROM Ergebnis ORDER BY Datum, MitglNr");
        for (auto _ : state) {
            std::FILE* f = std::fopen(datei.constData(), "wb");
            while (sqlite3_step(a.s) == SQLITE_ROW) {
                for (int c = 0; c < 9; ++c) {
                    std::fprintf(f, "%s;",
                                 reinterpret_cast<const char*>(sqlite3_column_text(a.s, c)));
                }
                std::fputs("\r\n", f);
            }
            sqlite3_reset(a.s);
            std::fclose(f);
        }
    }
    sqlite3_close(db);
    std::remove(datei.constData());
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
ZK_BENCH(BM_KlassenBerechnen);
ZK_BENCH(BM_Boden_KlassenBerechnen);
ZK_BENCH(BM_Export);
ZK_BENCH(BM_Boden_Export);

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
