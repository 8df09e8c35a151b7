#include "tests/support/Simulation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "platform/SerialPortLine.h"

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
    QFile map(SerialPortLine::mappingFile(1));
    QDir().mkpath(QFileInfo(map).absolutePath());
    if (!map.open(QIODevice::WriteOnly))
        return false;
    map.write(erste.mid(4) + "\n");
    return true;
}

QByteArray Simulation::gelesen() {
    ausgabe += prozess.readAllStandardOutput();
    return ausgabe;
}

Simulation::~Simulation() {
    prozess.kill();
    prozess.waitForFinished(5000);
}
