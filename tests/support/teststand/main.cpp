// zk-teststand: one range PC for the tests, in a process of its own. The program's real main
// window (offscreen) on the club database named on the command line, driven by lines on
// standard input; what it shows and asks comes back on standard output:
//   nummer N        types the member number
//   ringe R ...     types the rings from shot 1 on
//   F4              calculate and save
//   antwort ja|nein how every question is answered from now on
//   felder          prints "FELDER Nummer|Name|S1|Schuss_1..Schuss_4"
//   ende
// Every command ends with a line "FERTIG"; messages come as "MELDUNG text", questions as
// "FRAGE text" (line breaks as " / ").
#include <QApplication>
#include <QLineEdit>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <iostream>
#include <string>

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/Ini.h"
#include "evening/ui/Ringe.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

namespace {

QString zeile(QString t) {
    return t.replace(u'\n', QStringLiteral(" / "));
}

void aus(const QString& text) {
    std::fputs((text + u'\n').toUtf8().constData(), stdout);
    std::fflush(stdout);
}

struct Ausgabedialoge : Dialogs {
    bool ja = false;
    void message(const QString& text) override { aus(QStringLiteral("MELDUNG ") + zeile(text)); }
    bool askYesNo(const QString& text, Vorgabe) override {
        aus(QStringLiteral("FRAGE ") + zeile(text));
        return ja;
    }
    QString openFileName(const QString&, const QString&, const QString&) override { return {}; }
};

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fputs("Aufruf: zk-teststand VEREINSDATENBANK [STANDNAME]\n", stderr);
        return 2;
    }
    QTemporaryDir dir;
    Ini ini(dir.filePath(QStringLiteral("wettk.ini")));
    ini.IniSchreiben(QStringLiteral("WERTMASCHINE"), QStringLiteral("NAME"),
                     QStringLiteral("RMIII"));
    ini.IniSchreiben(QStringLiteral("DB1"), QStringLiteral("NAME"), QStringLiteral("Training"));
    ini.IniSchreiben(QStringLiteral("DB1"), QStringLiteral("DATEI"),
                     QString::fromLocal8Bit(argv[1]));
    if (argc > 2) {
        // The stand's own name, so that two stands on this PC are told apart.
        ini.IniSchreiben(QStringLiteral("PLATZ"), QStringLiteral("NAME"),
                         QString::fromLocal8Bit(argv[2]));
    }
    Abendzustand zustand;
    ClubDatabase club(ini, zustand);
    Ausgabedialoge dialogs;
    SystemClock uhr;
    Ringe w(ini, zustand, club, dialogs, uhr);
    w.show();
    w.laden();
    auto* nummer = w.findChild<QLineEdit*>(QStringLiteral("SNummer"));
    auto feld = [&](const QString& name) { return w.findChild<QLineEdit*>(name); };
    aus(QStringLiteral("BEREIT"));

    std::string roh;
    while (std::getline(std::cin, roh)) {
        const QStringList teile = QString::fromStdString(roh).split(u' ', Qt::SkipEmptyParts);
        if (teile.isEmpty()) {
            continue;
        }
        const QString befehl = teile[0];
        if (befehl == QLatin1String("ende")) {
            break;
        }
        if (befehl == QLatin1String("nummer") && teile.size() == 2) {
            nummer->setFocus();
            nummer->selectAll();
            QTest::keyClick(nummer, Qt::Key_Backspace);
            QTest::keyClicks(nummer, teile[1]);
        } else if (befehl == QLatin1String("ringe")) {
            for (int i = 1; i < teile.size() && i <= 60; ++i) {
                QLineEdit* s = feld(QStringLiteral("Schuss_%1").arg(i));
                s->setFocus();
                s->selectAll();
                QTest::keyClicks(s, teile[i]);
            }
        } else if (befehl == QLatin1String("F4")) {
            QTest::keyClick(nummer, Qt::Key_F4);
        } else if (befehl == QLatin1String("antwort") && teile.size() == 2) {
            dialogs.ja = teile[1] == QLatin1String("ja");
        } else if (befehl == QLatin1String("felder")) {
            QStringList f{feld(QStringLiteral("SNummer"))->text(),
                          feld(QStringLiteral("SName"))->text(),
                          feld(QStringLiteral("Scheibe_1"))->text()};
            for (int i = 1; i <= 4; ++i) {
                f << feld(QStringLiteral("Schuss_%1").arg(i))->text();
            }
            aus(QStringLiteral("FELDER ") + f.join(u'|'));
        } else {
            aus(QStringLiteral("UNBEKANNT ") + befehl);
        }
        QApplication::processEvents();
        aus(QStringLiteral("FERTIG"));
    }
    return 0;
}
