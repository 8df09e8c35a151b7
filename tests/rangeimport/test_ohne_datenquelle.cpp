// A range PC where nobody has configured the data source "ssmdb2": the import window says
// what is missing and does nothing else. Its own process, so that no data source read
// earlier is remembered by the driver manager.
#include <QtTest>

#include <QComboBox>
#include <QPushButton>

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/Hauptfelder.h"
#include "core/Ini.h"
#include "platform/Clock.h"
#include "rangeimport/ui/MeytonImport.h"
#include "tests/support/MariaDbServer.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDaten.h"

namespace {
class Haupt : public Hauptfelder {
  public:
    QString heuteText() const override { return QStringLiteral("05.03.2024"); }
    QString nTagText() const override { return {}; }
    QString saisonText() const override { return {}; }
    QString sNameText() const override { return {}; }
    QString sNummerText() const override { return {}; }
};
}  // namespace

class TestOhneDatenquelle : public QObject {
    Q_OBJECT
  private slots:
    void meldungUndLeereListen() {
        QVERIFY(MariaDbServer::datenquellenLeeren());
        TestDaten d;
        Ini ini(d.iniPfad());
        Abendzustand z;
        ClubDatabase club(ini, z);
        QVERIFY(club.OpenDatabaseDatei(d.dbPfad()).ok);
        Haupt haupt;
        ScriptedDialogs dialogs;
        const FixedClock uhr(QDate(2024, 3, 6));
        MeytonImport fenster(club, haupt, ini, z, dialogs, uhr);
        fenster.laden();
        QVERIFY(!fenster.verbunden());
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY2(dialogs.messages[0].startsWith(
                     "Fehler beim Öffnen der Datenbankverbindung zur Meyton-Datenbank. \nIm System "
                     "muss eine ODBC Verbindung mit dem Namen ssmdb2 konfiguriert sein, die Namen "
                     "und Passwort enthält."),
                 qPrintable(dialogs.messages[0]));
        QCOMPARE(fenster.findChild<QComboBox*>("Listen_Combo")->count(), 0);
        QCOMPARE(fenster.findChild<QComboBox*>("Disziplin_Combo")->count(), 0);
        // Import without a connection: the same message, nothing written.
        fenster.findChild<QPushButton*>("Import_butt")->click();
        QTRY_COMPARE(dialogs.messages.size(), 2);
        QCOMPARE(dialogs.messages[1], dialogs.messages[0]);
        QCOMPARE(d.zahl("SELECT count(*) FROM Ergebnis"), 0);
    }
};

QTEST_MAIN(TestOhneDatenquelle)
#include "test_ohne_datenquelle.moc"
