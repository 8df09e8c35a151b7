// The serial dialogue of one machine kind (ZK_MASCHINE) fed the bytes of a line in the
// pieces the fuzzer chooses, with poll ticks, resends, finishing and a line that goes away
// in between, through the real course of a reading.
//
// Input: one byte choosing the target program, then operations; the low three bits of an
// operation say what happens, the high five bits how many bytes it takes (SAM frames: the
// high bits and the next byte).
//
// Oracle: no shot is stored that the bytes do not carry (each needs its own record: five
// ";" for RM III, four for RM III WIN, four lines for SAM), a SAM block the machine sends
// again because our ACK was lost is not counted again, and nothing is indexed outside the
// card (bounds-checked containers, ASan, UBSan).
#include <QTemporaryDir>

#include "core/Abendzustand.h"
#include "core/Ini.h"
#include "machine/Einleseablauf.h"
#include "machine/Programme.h"
#include "machine/Rm3WinDialog.h"
#include "machine/Steuerzeichen.h"
#include "tests/fuzz/Fuzzhilfe.h"
#include "tests/support/ScriptedLine.h"
#include "tests/support/StilleFenster.h"

namespace {

const QString kMaschine = QStringLiteral(ZK_MASCHINE);

using Anzeige = StilleAnzeige;
using Abend = StillerAbend;

int gueltige(const Abendzustand& z) {
    int n = 0;
    for (int i = 1; i <= Abendzustand::kSchuesse; ++i) {
        n += z.Shots[static_cast<std::size_t>(i)].ValidFlag ? 1 : 0;
    }
    return n;
}

// A SAM frame around the text: STX, lines, ETB, check byte (XOR from STX to ETB), "$".
QByteArray samRahmen(QByteArray text) {
    text.replace(steuer::STX, QByteArray());
    text.replace(steuer::ETB, QByteArray());
    const QByteArray innen = steuer::STX + text + steuer::ETB;
    unsigned char x = 0;
    for (char c : innen) {
        x ^= static_cast<unsigned char>(c);
    }
    return innen + static_cast<char>(x) + '$';
}

// What the shots of the bytes may be at most.
int hoechstens(const QByteArray& bytes) {
    if (kMaschine == QLatin1String("SAM")) {
        return static_cast<int>(bytes.count('\r') / 4);
    }
    const int felder = kMaschine == QLatin1String("RMIII_WIN") ? 4 : 5;
    return static_cast<int>(bytes.count(';') / felder);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    fuzz::Bytes in(daten, groesse);
    Ini ini(fuzz::arbeitsordner() + QStringLiteral("/wettk.ini"));
    Abendzustand z;
    z.MachineName = kMaschine;
    const std::uint8_t wahl = in.byte();
    programmUebernehmen(kProgrammKnoepfe[wahl % kProgrammKnoepfe.size()], z);
    z.PistolenTeiler = (wahl & 0x80) ? 3.0f : 0.0f;
    ScriptedLine line;
    Anzeige anzeige;
    Abend abend;
    Einleseablauf ablauf(line, ini, z, anzeige, abend);
    ablauf.setDsrWartezeit(0);
    QString fehler;
    if (!ablauf.portEinrichten(&fehler)) {
        fuzz::verletzt("Port", fehler);
    }

    QByteArray gezaehlt;  // every byte that may carry a shot
    int gespeichert = 0;  // shots of the readings finished
    QByteArray letzterRahmen;
    auto abschliessen = [&] {
        gespeichert += gueltige(z);
        z.clearSchussPuffer();
    };
    z.clearSchussPuffer();
    ablauf.auswertung_starten();
    while (!in.leer()) {
        const std::uint8_t op = in.byte();
        const std::size_t laenge = static_cast<std::size_t>(op >> 3) + 1;
        QByteArray rahmen;
        switch (op & 7) {
            case 0:
            case 1:
            case 2: {
                const QByteArray b = in.stueck(laenge);
                gezaehlt += b;
                line.feed(b);
                break;
            }
            case 3:
                emit ablauf.timer1().timeout({});
                break;
            case 4:
                if (kMaschine == QLatin1String("SAM")) {
                    // A whole frame around the next bytes; the same op with nothing after it
                    // is the machine sending that frame again after a lost ACK.
                    const std::size_t n = static_cast<std::size_t>(op >> 3) << 8 | in.byte();
                    rahmen = samRahmen(in.stueck(n));
                    gezaehlt += rahmen;
                    line.feed(rahmen);
                } else if (kMaschine == QLatin1String("RMIII_WIN")) {
                    emit static_cast<Rm3WinDialog&>(ablauf.dialog()).enqTimer().timeout({});
                } else {
                    const QByteArray b = in.stueck(laenge) + '\r';
                    gezaehlt += b;
                    line.feed(b);
                }
                break;
            case 5:
                if (!letzterRahmen.isEmpty()) {
                    rahmen = letzterRahmen;
                    line.feed(rahmen);  // not counted: the same shots again
                    rahmen.clear();
                }
                break;
            case 6:
                if (ablauf.liest()) {
                    ablauf.beenden();  // "Einlesen beenden"
                } else {
                    abschliessen();
                    line.open(1, ablauf.leitungsEinstellung(), nullptr);
                    ablauf.auswertung_starten();
                }
                break;
            case 7:
                line.close();
                emit line.getrennt(QStringLiteral("Die Verbindung ist weg."));
                break;
        }
        letzterRahmen = rahmen;
        QCoreApplication::processEvents();
    }
    if (ablauf.liest()) {
        ablauf.beenden();
        QCoreApplication::processEvents();
    }
    abschliessen();
    const int grenze = hoechstens(gezaehlt);
    if (qEnvironmentVariableIsSet("ZK_FUZZ_ZEIGEN")) {
        std::fprintf(stderr, "%d Schüsse gespeichert, höchstens %d\n", gespeichert, grenze);
    }
    if (gespeichert > grenze) {
        fuzz::verletzt("mehr Schüsse gespeichert, als die Bytes tragen",
                       QStringLiteral("%1 > %2").arg(gespeichert).arg(grenze));
    }
    return 0;
}
