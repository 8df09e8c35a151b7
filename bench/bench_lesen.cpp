// A long evening at the machine: 100 readings in one program against the simulated RM III
// WIN (two cards of ten and seven shots, every text in pieces), through the real main window,
// reading window and serial port. Reports memory after readings 10, 50 and 100 and its growth
// from 10 to 100 (the goal: at most 1 MB), open files, and seconds per reading for the first
// and the last ten readings.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

#include "platform/SerialPortLine.h"
#include "tests/support/Programmfenster.h"
#include "tests/support/Simulation.h"

namespace {

double residentMb() {
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QList<QByteArray> teile = f.readAll().split(' ');
    return teile.size() > 1 ? teile[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / 1048576.0 : 0;
}

int offeneDateien() {
    return static_cast<int>(QDir(QStringLiteral("/proc/self/fd"))
                                .entryList(QDir::NoDotAndDotDot | QDir::System)
                                .size());
}

void BM_HundertLesungen(benchmark::State& state) {
    constexpr int kLesungen = 100;
    for (auto _ : state) {
        Simulation sim;
        if (!sim.starten("RMIII_WIN", {"geteilt"}, "streifen.txt")) {
            state.SkipWithError("Simulator startet nicht");
            return;
        }
        SerialPortLine leitung;
        Programmfenster a("RMIII_WIN");
        a.ini.IniSchreiben("WERTMASCHINE", "COMPORT", "1");
        for (int nr = 1; nr <= kLesungen; ++nr) {
            a.daten.mitglied(nr, QString("Schütze %1").arg(nr), 1);
        }
        a.starten(&leitung);
        double ersteSek = 0, letzteSek = 0, rssNach10 = 0, rssNach50 = 0;
        int fdsNach10 = 0;
        for (int nr = 1; nr <= kLesungen; ++nr) {
            QElapsedTimer uhr;
            uhr.start();
            a.nummer(QString::number(nr));
            a.taste(Qt::Key_F2);
            if (!QTest::qWaitFor([&] { return a.einlesen->isHidden(); }, 30000)) {
                state.SkipWithError("Lesung endet nicht");
                return;
            }
            const double s = double(uhr.elapsed()) / 1000.0;
            if (nr <= 10) {
                ersteSek += s / 10;
            }
            if (nr > kLesungen - 10) {
                letzteSek += s / 10;
            }
            if (nr == 10) {
                rssNach10 = residentMb();
                fdsNach10 = offeneDateien();
            }
            if (nr == 50) {
                rssNach50 = residentMb();
            }
        }
        if (a.zahl("SELECT count(*) FROM Einzelergebnisse") != 17 * kLesungen) {
            state.SkipWithError("nicht jede Lesung gespeichert");
            return;
        }
        state.counters["s_je_Lesung_erste10"] = ersteSek;
        state.counters["s_je_Lesung_letzte10"] = letzteSek;
        const double rssNach100 = residentMb();
        state.counters["MB_nach_10"] = rssNach10;
        state.counters["MB_nach_50"] = rssNach50;
        state.counters["MB_nach_100"] = rssNach100;
        state.counters["MB_Zuwachs_10_100"] = rssNach100 - rssNach10;
        state.counters["Dateien_nach_10"] = fdsNach10;
        state.counters["Dateien_nach_100"] = offeneDateien();
    }
}
BENCHMARK(BM_HundertLesungen)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    // A home of its own: the serial port mapping and settings of the user stay untouched.
    QTemporaryDir heim;
    qputenv("HOME", heim.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (heim.path() + "/.config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (heim.path() + "/.local/share").toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
