// The live display under load: 50 pages connected while 100 evenings are stored. Measured:
// the window's storing time with and without the display, and how long each update takes
// to reach every page.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWebSocket>

#include <algorithm>
#include <memory>
#include <vector>

#include "bench/Vereinsdaten.h"
#include "core/Abendzustand.h"
#include "display/Anzeige.h"
#include "evening/Abend.h"
#include "evening/Felder.h"
#include "platform/Database.h"

namespace {

using namespace bench;
constexpr int kSeiten = 50;
constexpr int kAbende = 100;

// Each run stores on evenings of its own, so that every store is a new row.
void speichern(Database& db, int nr, const QDate& tag) {
    Abendzustand z;
    z.Saisonjahr = static_cast<std::int16_t>(tag.year());
    for (int k = 1; k <= 40; ++k) {
        ShotSlot& s = z.Shots[static_cast<std::size_t>(k)];
        s.ValidFlag = true;
        s.Ring = static_cast<std::int16_t>(6 + (k + nr) % 5);
        s.Teiler = 20.0f + static_cast<float>(k);
    }
    Felder f;
    f.SNummer = QString::number(nr);
    f.SName = QStringLiteral("Mitglied %1").arg(nr);
    f.Heute = tag.toString(QStringLiteral("dd.MM.yyyy"));
    f.Scheibe[1] = QStringLiteral("95");
    f.GesScheibe = f.Best10 = f.Best = QStringLiteral("95");
    Abspeichern(f, z, db);
}

void lauf(benchmark::State& state, bool mitAnzeige) {
    static int runde = 0;
    Database db;
    QString fehler;
    if (!db.open(Vereinsdaten::get().pfad(), &fehler)) {
        state.SkipWithError(qPrintable(fehler));
        return;
    }
    const QDate tag = QDate(2026, 1, 7).addDays(7 * ++runde);
    Anzeige anzeige({[tag] { return tag; }, [] { return 2026; }, [&db] { return db.zugang(); }});
    std::vector<std::unique_ptr<QWebSocket>> seiten;
    std::vector<QString> zuletzt(kSeiten);
    if (mitAnzeige) {
        Anzeigeeinstellung e;
        e.an = true;
        e.port = 0;
        e.adresse = Anzeigeeinstellung::kNurDieserPc;
        if (const QString f = anzeige.anwenden(e); !f.isEmpty()) {
            state.SkipWithError(qPrintable(f));
            return;
        }
        for (int i = 0; i < kSeiten; ++i) {
            seiten.push_back(std::make_unique<QWebSocket>());
            QWebSocket* s = seiten.back().get();
            QObject::connect(s, &QWebSocket::textMessageReceived, [&zuletzt, i](const QString& t) {
                zuletzt[static_cast<std::size_t>(i)] = t;
            });
            s->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/live").arg(anzeige.port())));
        }
        QElapsedTimer warten;
        warten.start();
        while (warten.elapsed() < 5000 &&
               std::any_of(seiten.begin(), seiten.end(), [](const auto& s) {
                   return s->state() != QAbstractSocket::ConnectedState;
               })) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
    }
    double laengste = 0, summe = 0;
    int verpasst = 0, nr = 0;
    for (auto _ : state) {
        ++nr;
        QElapsedTimer uhr;
        uhr.start();
        speichern(db, nr, tag);
        state.SetIterationTime(static_cast<double>(uhr.nsecsElapsed()) / 1e9);
        if (!mitAnzeige) {
            // The same pace as with pages: a store after a pause, not one on the heels of
            // the last.
            QElapsedTimer pause;
            pause.start();
            while (pause.elapsed() < 300) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            }
            continue;
        }
        // Until every page has the new row (its name in the evening it was sent).
        const QString name = QStringLiteral("\"Mitglied %1\"").arg(nr);
        QElapsedTimer bis;
        bis.start();
        while (bis.elapsed() < 2000 &&
               std::any_of(zuletzt.begin(), zuletzt.end(),
                           [&](const QString& t) { return !t.contains(name); })) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        const double ms = static_cast<double>(uhr.nsecsElapsed()) / 1e6;  // from the store
        if (bis.elapsed() >= 2000) {
            ++verpasst;
        }
        laengste = std::max(laengste, ms);
        summe += ms;
    }
    if (mitAnzeige) {
        state.counters["Update_max_ms"] = laengste;
        state.counters["Update_mittel_ms"] = summe / kAbende;
        state.counters["Seiten_ohne_Update"] = verpasst;
    }
    db.run(QStringLiteral("DELETE FROM Einzelergebnisse WHERE Datum = ?"),
           {tag.toString(Qt::ISODate)});
    db.run(QStringLiteral("DELETE FROM Ergebnis WHERE Datum = ?"), {tag.toString(Qt::ISODate)});
}

void BM_SpeichernOhneAnzeige(benchmark::State& state) {
    lauf(state, false);
}

void BM_SpeichernMit50Seiten(benchmark::State& state) {
    lauf(state, true);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    // Each twice, alternating, so that a slow first run shows as such.
    for (int runde = 0; runde < 2; ++runde) {
        for (auto* b :
             {benchmark::RegisterBenchmark("BM_SpeichernOhneAnzeige", BM_SpeichernOhneAnzeige),
              benchmark::RegisterBenchmark("BM_SpeichernMit50Seiten", BM_SpeichernMit50Seiten)}) {
            b->UseManualTime()->Iterations(kAbende)->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
