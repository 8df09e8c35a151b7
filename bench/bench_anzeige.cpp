// The live display under load: 50 pages connected while 100 evenings are stored. Measured:
// the window's storing time with and without the display, and how long each update takes
// to reach every page (the window tells the display of each store, as the main window does),
// next to its floor: the same message pushed to 50 pages by the bare web server.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWebSocket>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "bench/Vereinsdaten.h"
#include "core/Abendzustand.h"
#include "display/Anzeige.h"
#include "evening/Abend.h"
#include "evening/Felder.h"
#include "platform/Database.h"
#include "platform/Webserver.h"

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
    Abspeichern(f, z, db, QDateTime::currentDateTime());
}

// Mean, 95th percentile and longest of the times until every page had its message.
void zaehlen(benchmark::State& state, std::vector<double> zeiten,
             const std::string& name = "Update") {
    if (zeiten.empty()) {
        return;
    }
    std::sort(zeiten.begin(), zeiten.end());
    double summe = 0;
    for (const double z : zeiten) {
        summe += z;
    }
    const std::size_t p95 = (zeiten.size() * 95 + 99) / 100 - 1;
    state.counters[name + "_mittel_ms"] = summe / static_cast<double>(zeiten.size());
    state.counters[name + "_p95_ms"] = zeiten[p95];
    state.counters[name + "_max_ms"] = zeiten.back();
}

// Until every page's last message contains `text`, at most 2 s; false when one did not.
bool warten(const std::vector<QString>& zuletzt, const QString& text) {
    QElapsedTimer bis;
    bis.start();
    while (bis.elapsed() < 2000 && std::any_of(zuletzt.begin(), zuletzt.end(), [&](const QString& t) {
               return !t.contains(text);
           })) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return bis.elapsed() < 2000;
}

// 50 pages connected to `port`, each keeping its last message in `zuletzt`.
std::vector<std::unique_ptr<QWebSocket>> seitenOeffnen(quint16 port, std::vector<QString>& zuletzt) {
    std::vector<std::unique_ptr<QWebSocket>> seiten;
    zuletzt.assign(kSeiten, QString());
    for (int i = 0; i < kSeiten; ++i) {
        seiten.push_back(std::make_unique<QWebSocket>());
        QWebSocket* s = seiten.back().get();
        QObject::connect(s, &QWebSocket::textMessageReceived, [&zuletzt, i](const QString& t) {
            zuletzt[static_cast<std::size_t>(i)] = t;
        });
        s->open(QUrl(QStringLiteral("ws://127.0.0.1:%1/live").arg(port)));
    }
    QElapsedTimer warten;
    warten.start();
    while (warten.elapsed() < 5000 && std::any_of(seiten.begin(), seiten.end(), [](const auto& s) {
               return s->state() != QAbstractSocket::ConnectedState;
           })) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return seiten;
}

// The floor: a message of an evening's size pushed by the bare web server on a thread of its
// own to 50 pages, 100 times; from the push until every page has it.
void BM_Boden_Benachrichtigung(benchmark::State& state) {
    QThread faden;
    faden.start();
    QObject ort;  // where the server is made: on its thread
    ort.moveToThread(&faden);
    Webserver* server = nullptr;
    quint16 port = 0;
    QMetaObject::invokeMethod(
        &ort,
        [&] {
            server = new Webserver;
            server->setLive(QStringLiteral("/live"), [] { return QByteArray("{}"); });
            QString fehler;
            if (server->starten(QHostAddress::LocalHost, 0, &fehler)) {
                port = server->port();
            }
        },
        Qt::BlockingQueuedConnection);
    std::vector<QString> zuletzt;
    auto seiten = seitenOeffnen(port, zuletzt);
    std::vector<double> zeiten;
    int verpasst = 0, nr = 0;
    const QByteArray fuellung(3000, 'x');  // about an evening of 40 rows
    for (auto _ : state) {
        ++nr;
        const QByteArray nachricht = "{\"nr\":\"Nachricht " + QByteArray::number(nr) + "\",\"f\":\"" +
                                     fuellung + "\"}";
        QElapsedTimer uhr;
        uhr.start();
        QMetaObject::invokeMethod(server, [server, nachricht] { server->senden(nachricht); });
        if (!warten(zuletzt, QStringLiteral("\"Nachricht %1\"").arg(nr))) {
            ++verpasst;
        }
        const double ms = static_cast<double>(uhr.nsecsElapsed()) / 1e6;
        state.SetIterationTime(ms / 1e3);
        zeiten.push_back(ms);
    }
    zaehlen(state, zeiten);
    state.counters["Seiten_ohne_Update"] = verpasst;
    seiten.clear();
    QMetaObject::invokeMethod(
        &ort,
        [server, &ort] {
            delete server;
            ort.moveToThread(QCoreApplication::instance()->thread());
        },
        Qt::BlockingQueuedConnection);
    faden.quit();
    faden.wait();
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
        seiten = seitenOeffnen(anzeige.port(), zuletzt);
    }
    std::vector<double> zeiten, nachSpeichern;
    int verpasst = 0, nr = 0;
    for (auto _ : state) {
        ++nr;
        QElapsedTimer uhr;
        uhr.start();
        speichern(db, nr, tag);
        state.SetIterationTime(static_cast<double>(uhr.nsecsElapsed()) / 1e9);
        QElapsedTimer danach;  // from the store's end: the display's own share
        danach.start();
        anzeige.gespeichert();
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
        if (!warten(zuletzt, QStringLiteral("\"Mitglied %1\"").arg(nr))) {
            ++verpasst;
        }
        const double ms = static_cast<double>(uhr.nsecsElapsed()) / 1e6;  // from the store
        zeiten.push_back(ms);
        nachSpeichern.push_back(static_cast<double>(danach.nsecsElapsed()) / 1e6);
    }
    if (mitAnzeige) {
        zaehlen(state, zeiten);
        zaehlen(state, nachSpeichern, "NachSpeichern");
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
    benchmark::RegisterBenchmark("BM_Boden_Benachrichtigung", BM_Boden_Benachrichtigung)
        ->UseManualTime()
        ->Iterations(kAbende)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
