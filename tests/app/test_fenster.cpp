// Every window of the program on a 1366x768 laptop: it fits the screen (or can be made to by
// shrinking it), and every secondary window closes with Esc and with its title bar.
#include <QtTest>

#include <QScrollArea>

#include "competition/ui/Wett.h"
#include "machine/ui/RMEinst.h"
#include "maintenance/ui/Einstellungen.h"
#include "maintenance/ui/Tabellen.h"
#include "members/ui/FormPunkte.h"
#include "members/ui/KlassenFenster.h"
#include "members/ui/Mitgl.h"
#include "rangeimport/ui/MeytonImport.h"
#include "reports/ui/Auswertung.h"
#include "shotpicture/ui/SchussbildFenster.h"
#include "tests/support/Programmfenster.h"
#include "tests/support/ScriptedLine.h"

namespace {
constexpr int kBreite = 1366;
constexpr int kHoehe = 768 - 40;  // a taskbar
}  // namespace

class TestFenster : public QObject {
    Q_OBJECT
  private slots:
    void passenUndSchliessen() {
        Programmfenster f;
        ScriptedLine line;
        f.starten(&line);
        std::vector<std::pair<QString, std::unique_ptr<QWidget>>> fenster;
        fenster.emplace_back(
            "Auswertung", std::make_unique<Auswertung>(f.club, *f.w, f.zustand, f.dialogs, f.uhr));
        fenster.emplace_back("Mitgl",
                             std::make_unique<Mitgl>(f.club, *f.w, f.zustand, f.dialogs, f.uhr));
        fenster.emplace_back("FormPunkte",
                             std::make_unique<FormPunkte>(f.club, f.zustand, f.dialogs));
        fenster.emplace_back("KlassenFenster", std::make_unique<KlassenFenster>(f.club, f.dialogs));
        fenster.emplace_back(
            "Wett", std::make_unique<Wett>(f.ini, f.dialogs, f.uhr, f.daten.pfad("wettk.db")));
        fenster.emplace_back("Einstellungen",
                             std::make_unique<Einstellungen>(f.ini, f.zustand, f.club, f.dialogs, f.uhr));
        fenster.emplace_back("Tabellen", std::make_unique<Tabellen>(f.club, f.zustand, f.dialogs, f.uhr));
        fenster.emplace_back(
            "Schussbild", std::make_unique<SchussbildFenster>(f.ini, f.zustand, f.dialogs, f.uhr));
        fenster.emplace_back("MeytonImport", std::make_unique<MeytonImport>(
                                                 f.club, *f.w, f.ini, f.zustand, f.dialogs, f.uhr));
        fenster.emplace_back("RMEinst", std::make_unique<RMEinst>(f.zustand, *f.w));
        QVERIFY(f.w->minimumSizeHint().width() <= kBreite);
        QVERIFY(f.w->minimumSizeHint().height() <= kHoehe);
        QVERIFY2(f.w->width() <= kBreite && f.w->height() <= kHoehe,
                 qPrintable(QString("Ringe %1x%2").arg(f.w->width()).arg(f.w->height())));
        for (auto& [name, w] : fenster) {
            w->show();
            QApplication::processEvents();
            const QSize min = w->minimumSizeHint().expandedTo(w->minimumSize());
            QVERIFY2(min.width() <= kBreite && min.height() <= kHoehe,
                     qPrintable(name + " braucht mindestens " + QString::number(min.width()) +
                                "x" + QString::number(min.height())));
            QVERIFY2(
                w->width() <= kBreite && w->height() <= kHoehe,
                qPrintable(QString("%1 ist %2x%3").arg(name).arg(w->width()).arg(w->height())));
            QTest::keyClick(w.get(), Qt::Key_Escape);
            QVERIFY2(!w->isVisible(), qPrintable(name + " schließt nicht mit Esc"));
            w->show();
            QVERIFY(w->close());  // as the title bar's close does
            QVERIFY2(!w->isVisible(), qPrintable(name + " schließt nicht"));
        }
        // The reading window: closed during a reading, it asks before it ends the reading.
        f.taste(Qt::Key_F2);
        QVERIFY(f.einlesen->isVisible());
        f.dialogs.answerNo();
        QTest::keyClick(f.einlesen.get(), Qt::Key_Escape);
        QVERIFY(f.einlesen->isVisible());  // "Nein"
        QVERIFY(f.dialogs.questionsDefaultNo.last().startsWith("Die Lesung beenden?"));
        f.dialogs.answerYes();
        f.einlesen->close();
        QVERIFY(!f.einlesen->isVisible());
        QCOMPARE(f.zahl("SELECT count(*) FROM Ergebnis"), 0);  // no member: nothing stored
    }
};

QTEST_MAIN(TestFenster)
#include "test_fenster.moc"
