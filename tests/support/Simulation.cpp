#include "tests/support/Simulation.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "platform/SerialPortLine.h"

namespace {
bool portAuf(const QByteArray& pfad) {
    QFile map(SerialPortLine::mappingFile(1));
    QDir().mkpath(QFileInfo(map).absolutePath());
    if (!map.open(QIODevice::WriteOnly))
        return false;
    map.write(pfad + "\n");
    return true;
}
}  // namespace

bool Simulation::starten(const QString& art, const QStringList& fehler, const QString& karten) {
    QStringList args{"--art", art, "--karten", QStringLiteral(ZK_TESTDATA "/") + karten};
    for (const QString& f : fehler)
        args << f.split(' ').replaceInStrings(QRegularExpression("^(?=[a-z])"), "--");
    prozess.start(QStringLiteral(ZK_SIM), args);
    if (!prozess.waitForStarted(10000))
        return false;
    while (!ausgabe.contains('\n')) {
        if (!prozess.waitForReadyRead(10000))
            return false;
        ausgabe += prozess.readAllStandardOutput();
    }
    const QByteArray erste = ausgabe.left(ausgabe.indexOf('\n'));
    if (!erste.startsWith("PTY "))
        return false;
    // Port 1 leads to the simulator's pseudo-terminal.
    return portAuf(erste.mid(4));
}

bool Simulation::wiederDa(int ms) {
    QElapsedTimer uhr;
    uhr.start();
    for (;;) {
        const qsizetype zweite = gelesen().indexOf("\nPTY ");
        if (zweite >= 0 && ausgabe.indexOf('\n', zweite + 1) > 0) {
            const qsizetype ende = ausgabe.indexOf('\n', zweite + 1);
            return portAuf(ausgabe.mid(zweite + 5, ende - zweite - 5));
        }
        if (uhr.elapsed() > ms)
            return false;
        QTest::qWait(50);  // the program goes on meanwhile
    }
}

QByteArray Simulation::gelesen() {
    ausgabe += prozess.readAllStandardOutput();
    return ausgabe;
}

Simulation::~Simulation() {
    prozess.kill();
    prozess.waitForFinished(5000);
}
