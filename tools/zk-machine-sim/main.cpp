// zk-machine-sim: a ring-reading machine on a pseudo-terminal (Linux) or a COM port (Windows),
// for tests and for trying a reading without hardware.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>

#include "Simulator.h"

#ifdef Q_OS_WIN
#include "ComLeitung.h"
#else
#include "PtyLeitung.h"
#endif

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zk-machine-sim"));
    QCommandLineParser cli;
#ifdef Q_OS_WIN
    cli.setApplicationDescription(QStringLiteral(
        "Simuliert eine Ringlesemaschine (RMIII, RMIII_WIN, SAM) an einer COM-Schnittstelle "
        "(Nullmodemkabel oder virtuelles COM-Paar zur Schnittstelle des Programms)."));
#else
    cli.setApplicationDescription(QStringLiteral(
        "Simuliert eine Ringlesemaschine (RMIII, RMIII_WIN, SAM) an einem Pseudo-Terminal."));
#endif
    cli.addHelpOption();
#ifdef Q_OS_WIN
    cli.addOption({QStringLiteral("port"),
                   QStringLiteral("COM-Schnittstelle der Maschine, z. B. COM3 (Pflicht)"),
                   QStringLiteral("name")});
    cli.addOption({QStringLiteral("leitung"),
                   QStringLiteral("Leitungseinstellung, z. B. 9600,N,8,1 (sonst die der "
                                  "Maschine: RMIII 2400, RMIII_WIN 38400, SAM 9600)"),
                   QStringLiteral("einstellung")});
#endif
    cli.addOption({QStringLiteral("art"), QStringLiteral("Maschine: RMIII, RMIII_WIN oder SAM"),
                   QStringLiteral("art"), QStringLiteral("RMIII")});
    cli.addOption({QStringLiteral("karten"), QStringLiteral("Datei mit den Karten"),
                   QStringLiteral("datei")});
    cli.addOption({QStringLiteral("geteilt"),
                   QStringLiteral("jeden Text in Stücken von 1 bis 8 Byte schreiben")});
    cli.addOption({QStringLiteral("seed"), QStringLiteral("Startwert für die Stücke"),
                   QStringLiteral("n"), QStringLiteral("1")});
    cli.addOption({QStringLiteral("muell"), QStringLiteral("Müll-Bytes vor der ersten Karte")});
    cli.addOption(
        {QStringLiteral("nak"), QStringLiteral("erstes ENQ mit NAK beantworten (RMIII_WIN)")});
    cli.addOption({QStringLiteral("falscher-slot"),
                   QStringLiteral("Satz für Schuss 75 / SAM-Block mit 65 Schüssen")});
    cli.addOption({QStringLiteral("wiederholen"),
                   QStringLiteral("das erste ACK jeder Zeile kommt zu spät: jede Zeile geht "
                                  "nach 200 ms noch einmal hinaus (RMIII_WIN)")});
    cli.addOption({QStringLiteral("ohne-rahmen"),
                   QStringLiteral("SAM: nackte Zeilen ohne STX, ETB und Prüfbyte")});
    cli.addOption({QStringLiteral("ohne-etb"),
                   QStringLiteral("SAM: STX und Zeilen, aber nie ETB und Prüfbyte")});
    cli.addOption({QStringLiteral("pruefbyte-falsch"),
                   QStringLiteral("SAM: falsches Prüfbyte beim ersten Senden jedes Blocks")});
    cli.addOption({QStringLiteral("pruefbyte-immer-falsch"),
                   QStringLiteral("SAM: falsches Prüfbyte bei jedem Senden")});
    cli.addOption({QStringLiteral("abbruch-nach"),
                   QStringLiteral("die Leitung nach N Zeilen trennen"), QStringLiteral("n")});
    cli.addOption({QStringLiteral("dreimal-falsch"),
                   QStringLiteral("SAM: falsches Prüfbyte bei den ersten drei Sendungen von "
                                  "Streifen N, danach richtig"),
                   QStringLiteral("n")});
    cli.addOption({QStringLiteral("erstes-ohne-etb"),
                   QStringLiteral("SAM: die erste Sendung jedes Streifens ohne ETB, Prüfbyte "
                                  "und \"$\"; der Streifen bleibt bis zum ACK")});
    cli.addOption({QStringLiteral("ohne-etb-wartet"),
                   QStringLiteral("SAM: nie ETB, aber jeder Streifen bleibt bis zum ACK")});
    cli.addOption({QStringLiteral("ack-taub"),
                   QStringLiteral("SAM: nimmt kein ACK an und sendet den Streifen immer wieder")});
    cli.addOption({QStringLiteral("schnitt"),
                   QStringLiteral("SAM: Leitung nach N Byte von Streifen 2 trennen, eine "
                                  "Sekunde später an einem neuen Pseudo-Terminal zurück"),
                   QStringLiteral("n")});
#ifdef Q_OS_WIN
    // Qt puts help and errors into a message box when it sees no console window (started
    // from a script, or under Wine): this console tool writes them to its output instead.
    if (!cli.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "zk-machine-sim: %s\n", qPrintable(cli.errorText()));
        return 1;
    }
    if (cli.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(cli.helpText()), stdout);
        return 0;
    }
#else
    cli.process(app);
#endif

    const QString artText = cli.value(QStringLiteral("art"));
    Simulator::Art art = Simulator::Art::Rm3;
    if (artText == QLatin1String("RMIII_WIN")) {
        art = Simulator::Art::Rm3Win;
    } else if (artText == QLatin1String("SAM")) {
        art = Simulator::Art::Sam;
    } else if (artText != QLatin1String("RMIII")) {
        std::fprintf(stderr, "Unbekannte Maschine: %s\n", qPrintable(artText));
        return 2;
    }

    std::vector<SimKarte> karten;
    if (cli.isSet(QStringLiteral("karten"))) {
        QFile f(cli.value(QStringLiteral("karten")));
        QString fehler;
        if (!f.open(QIODevice::ReadOnly) ||
            !kartenLesen(QString::fromUtf8(f.readAll()), &karten, &fehler)) {
            std::fprintf(stderr, "Karten nicht lesbar: %s %s\n", qPrintable(f.fileName()),
                         qPrintable(fehler));
            return 2;
        }
    }
    Simulator::Fehler fehler;
    fehler.geteilt = cli.isSet(QStringLiteral("geteilt"));
    fehler.muell = cli.isSet(QStringLiteral("muell"));
    fehler.nak = cli.isSet(QStringLiteral("nak"));
    fehler.falscherSlot = cli.isSet(QStringLiteral("falscher-slot"));
    fehler.wiederholen = cli.isSet(QStringLiteral("wiederholen"));
    fehler.ohneRahmen = cli.isSet(QStringLiteral("ohne-rahmen"));
    fehler.ohneEtb = cli.isSet(QStringLiteral("ohne-etb"));
    fehler.pruefFalsch = cli.isSet(QStringLiteral("pruefbyte-falsch"));
    fehler.pruefImmerFalsch = cli.isSet(QStringLiteral("pruefbyte-immer-falsch"));
    fehler.seed = cli.value(QStringLiteral("seed")).toUInt();
    fehler.abbruchNach = cli.value(QStringLiteral("abbruch-nach")).toInt();
    fehler.dreimalFalsch = cli.value(QStringLiteral("dreimal-falsch")).toInt();
    fehler.erstesOhneEtb = cli.isSet(QStringLiteral("erstes-ohne-etb"));
    fehler.ohneEtbWartet = cli.isSet(QStringLiteral("ohne-etb-wartet"));
    fehler.ackTaub = cli.isSet(QStringLiteral("ack-taub"));
    fehler.schnitt = cli.value(QStringLiteral("schnitt")).toInt();

#ifdef Q_OS_WIN
    const QString port = cli.value(QStringLiteral("port")).trimmed();
    if (port.isEmpty()) {
        std::fprintf(stderr, "Welche COM-Schnittstelle? Zum Beispiel: --port COM3\n");
        return 2;
    }
    Leitungseinstellung einstellung = leitungseinstellungFuer(art);
    if (cli.isSet(QStringLiteral("leitung")) &&
        !leitungseinstellungLesen(cli.value(QStringLiteral("leitung")), &einstellung)) {
        std::fprintf(stderr, "Leitungseinstellung nicht lesbar: %s (Form: 9600,N,8,1)\n",
                     qPrintable(cli.value(QStringLiteral("leitung"))));
        return 2;
    }
    auto leitung = std::make_unique<ComLeitung>(port, einstellung);
#else
    auto leitung = std::make_unique<PtyLeitung>();
#endif
    Simulator sim(art, std::move(karten), fehler, std::move(leitung));
    const QString pfad = sim.oeffnen();
    if (pfad.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(sim.leitung().fehler()));
        return 1;
    }
    std::printf("%s %s\n", sim.leitung().kennung().constData(), qPrintable(pfad));
    std::fflush(stdout);
    return QCoreApplication::exec();
}
