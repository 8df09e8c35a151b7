// The settings window: what opening writes back, what each control writes, the slots, and
// the main window leading a newcomer there.
#include <QtTest>

#include <QSpinBox>

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QRadioButton>

#include "core/Ueber.h"
#include "maintenance/ui/Einstellungen.h"
#include "platform/Paths.h"
#include "tests/support/Programmfenster.h"
#include "tests/support/ScriptedLine.h"

namespace {

struct Fenster {
    TestDaten daten;
    Ini ini{daten.iniPfad()};
    Abendzustand zustand;
    ClubDatabase club{ini, zustand};
    ScriptedDialogs dialogs;
    FixedClock uhr{QDate(2024, 4, 3)};
    Einstellungen e{ini, zustand, club, dialogs, uhr};

    template <class T = QLineEdit>
    T* c(const char* name) {
        T* x = e.findChild<T*>(QString::fromLatin1(name));
        if (!x)
            qFatal("kein Steuerelement %s", name);
        return x;
    }
    QString wert(const char* sektion, const char* key) {
        return ini.IniLesen(QString::fromLatin1(sektion), QString::fromLatin1(key));
    }
    // The line as it stands in the file (reading trims the blank the month is written with).
    QString zeile(const char* key) {
        QFile datei(daten.iniPfad());
        datei.open(QIODevice::ReadOnly);
        for (const QByteArray& z : datei.readAll().split('\n'))
            if (z.startsWith(QByteArray(key) + '='))
                return QString::fromLatin1(z.trimmed());
        return {};
    }
    void tippen(const char* feld, const QString& text) {
        QLineEdit* f = c(feld);
        f->selectAll();
        QTest::keyClick(f, Qt::Key_Backspace);
        QTest::keyClicks(f, text);
    }
};

}  // namespace

class TestEinstellungsfenster : public QObject {
    Q_OBJECT
  private slots:
    void oeffnenSchreibtZurueck() {
        Fenster f;
        f.ini.IniSchreiben("WERTMASCHINE", "NAME", "SAM");
        f.ini.IniSchreiben("WERTMASCHINE", "COMPORT", "3");
        f.ini.IniSchreiben("WERTMASCHINE", "SPEED", "L");
        f.ini.IniSchreiben("WERTUNG", "PUNKT-SCHEIBEN", "-20");
        f.ini.IniSchreiben("WERTUNG", "MONAT", "4");
        f.e.oeffnen();
        QVERIFY(f.c<QRadioButton>("SAM")->isChecked());
        QVERIFY(f.c<QRadioButton>("Erste20")->isChecked());
        QCOMPARE(f.c("Text1")->text(), QStringLiteral("1"));
        QCOMPARE(f.c("Mon_Saisonstart")->text(), QStringLiteral("4"));
        // Opening writes what it shows: the port as "1", the month with its blank.
        QCOMPARE(f.wert("WERTMASCHINE", "COMPORT"), QStringLiteral("1"));
        QCOMPARE(f.wert("WERTUNG", "PUNKT-SCHEIBEN"), QStringLiteral("-20"));
        QCOMPARE(f.zeile("MONAT"), QStringLiteral("MONAT= 4"));
        QCOMPARE(f.wert("WERTMASCHINE", "SPEED"), QStringLiteral("L"));
        QCOMPARE(f.wert("WERTUNG", "TEILER"), QString());  // none chosen, nothing written
        QCOMPARE(f.zustand.Punktwertung, std::int16_t(-20));
        QCOMPARE(f.zustand.Saisonversatz, std::int16_t(-4));
        QCOMPARE(f.zustand.MachineName, QStringLiteral("SAM"));
        QVERIFY(f.e.maschineGeaendert());  // port 3 became 1
        // Opened and closed again without a change: the line is not set up anew (and the
        // SAM keeps its chosen program); a change of the speed alone counts.
        f.e.oeffnen();
        QVERIFY(!f.e.maschineGeaendert());
        f.c<QCheckBox>("Win_L")->click();
        QVERIFY(f.e.maschineGeaendert());
        f.c<QCheckBox>("Win_L")->click();
        QVERIFY(!f.e.maschineGeaendert());

        // A fresh file: the scoring becomes "20", the month stays away.
        Fenster leer;
        leer.e.oeffnen();
        QVERIFY(leer.c<QRadioButton>("Best20")->isChecked());
        QCOMPARE(leer.wert("WERTUNG", "PUNKT-SCHEIBEN"), QStringLiteral("20"));
        QCOMPARE(leer.wert("WERTUNG", "MONAT"), QString());
        QCOMPARE(leer.wert("WERTMASCHINE", "NAME"), QString());
        QCOMPARE(leer.wert("WERTMASCHINE", "SPEED"), QString());
        QVERIFY(!leer.c<QRadioButton>("Disag")->isChecked());

        // Opened again after the file changed elsewhere: shown and written anew.
        f.e.close();
        f.ini.IniSchreiben("WERTUNG", "PUNKT-SCHEIBEN", "-20");
        f.ini.IniSchreiben("WERTUNG", "TEILER", "10");
        f.zustand.Punktwertung = 0;
        f.e.oeffnen();
        QCOMPARE(f.zustand.Punktwertung, std::int16_t(-20));
        QVERIFY(f.c<QRadioButton>("T_Erste10")->isChecked());
        QCOMPARE(f.zustand.Teilerwertung, QStringLiteral("10"));
    }

    void jedesSteuerelementSchreibt() {
        Fenster f;
        f.e.oeffnen();
        f.tippen("Text1", "3");
        QCOMPARE(f.wert("WERTMASCHINE", "COMPORT"), QStringLiteral("1"));
        f.tippen("Text1", "2");
        QCOMPARE(f.wert("WERTMASCHINE", "COMPORT"), QStringLiteral("2"));

        f.tippen("Mon_Saisonstart", "12");
        QCOMPARE(f.zeile("MONAT"), QStringLiteral("MONAT= 12"));
        QCOMPARE(f.zustand.Saisonversatz, std::int16_t(-12));
        f.tippen("Mon_Saisonstart", "13");
        QCOMPARE(f.zeile("MONAT"), QStringLiteral("MONAT= 1"));  // "1" on the way to 13
        f.tippen("Mon_Saisonstart", "-3");
        QCOMPARE(f.zeile("MONAT"), QStringLiteral("MONAT= 0"));  // "-" alone reads as 0
        QCOMPARE(f.zustand.Saisonversatz, std::int16_t(0));
        f.tippen("Mon_Saisonstart", "x");
        QCOMPARE(f.zeile("MONAT"), QStringLiteral("MONAT= 0"));

        QTest::mouseClick(f.c<QRadioButton>("Best40"), Qt::LeftButton);
        QCOMPARE(f.wert("WERTUNG", "PUNKT-SCHEIBEN"), QStringLiteral("40"));
        QCOMPARE(f.zustand.Punktwertung, std::int16_t(40));
        QTest::mouseClick(f.c<QRadioButton>("T_Alle"), Qt::LeftButton);
        QCOMPARE(f.wert("WERTUNG", "TEILER"), QStringLiteral("60"));
        QTest::mouseClick(f.c<QRadioButton>("RMIV"), Qt::LeftButton);
        QCOMPARE(f.wert("WERTMASCHINE", "NAME"), QStringLiteral("RMIII_WIN"));
        QCOMPARE(f.zustand.MachineName, QStringLiteral("RMIII_WIN"));
        f.c<QCheckBox>("Win_L")->click();
        QCOMPARE(f.wert("WERTMASCHINE", "SPEED"), QStringLiteral("L"));
        f.c<QCheckBox>("Win_L")->click();
        QCOMPARE(f.wert("WERTMASCHINE", "SPEED"), QStringLiteral("S"));
        f.c<QCheckBox>("Anz_Debug")->click();
        QVERIFY(f.zustand.DebugAnzeige);
        f.c<QCheckBox>("Anz_Debug")->click();
        QVERIFY(!f.zustand.DebugAnzeige);

        // The live display: off and on port 8080 of every address until changed.
        QVERIFY(!f.c<QCheckBox>("AnzeigeAn")->isChecked());
        QCOMPARE(f.c<QSpinBox>("AnzeigePort")->value(), 8080);
        f.c<QCheckBox>("AnzeigeAn")->click();
        f.c<QSpinBox>("AnzeigePort")->setValue(8099);
        f.c<QComboBox>("AnzeigeAdresse")->setCurrentText("nur dieser PC");
        f.c<QCheckBox>("AnzeigeKurz")->click();
        QCOMPARE((QStringList{f.wert("ANZEIGE", "AN"), f.wert("ANZEIGE", "PORT"),
                              f.wert("ANZEIGE", "ADRESSE"), f.wert("ANZEIGE", "KURZNAMEN")}),
                 (QStringList{"1", "8099", "127.0.0.1", "1"}));
        f.c<QComboBox>("AnzeigeAdresse")->setCurrentText("alle Adressen dieses PCs");
        QCOMPARE(f.wert("ANZEIGE", "ADRESSE"), QString());
        f.ini.IniSchreiben("ANZEIGE", "PORT", "neunzig");  // a port the file cannot mean
        f.e.oeffnen();
        QCOMPARE(f.c<QSpinBox>("AnzeigePort")->value(), 8080);
        QVERIFY(f.c<QCheckBox>("AnzeigeAn")->isChecked());
    }

    void monatDreizehnSchreibtNichts() {
        Fenster f;
        f.ini.IniSchreiben("WERTUNG", "MONAT", "5");
        f.e.oeffnen();
        f.c("Mon_Saisonstart")->setText("13");  // pasted at once
        QCOMPARE(f.zeile("MONAT"), QStringLiteral("MONAT= 5"));
        f.c("Mon_Saisonstart")->setText("-3");
        QCOMPARE(f.zeile("MONAT"), QStringLiteral("MONAT= 5"));
        QCOMPARE(f.zustand.Saisonversatz, std::int16_t(-5));
    }

    void datenbankSlots() {
        Fenster f;
        f.ini.IniSchreiben("DB1", "NAME", "Training");
        f.ini.IniSchreiben("DB1", "DATEI", "/daten/training.db");
        f.ini.IniSchreiben("DB2", "NAME", "Liga");
        f.ini.IniSchreiben("DB2", "TAG", "Mi");
        f.ini.IniSchreiben("DB2", "FARBE", "&H123456_Eigen");
        f.e.oeffnen();
        QCOMPARE(f.c<QComboBox>("TAG2")->currentText(), QStringLiteral("Mi"));
        // Colours by their names; what is written back is the stored text, a club's own
        // colour included.
        auto* farbe2 = f.c<QComboBox>("Farbe2");
        QCOMPARE(farbe2->itemText(0), QStringLiteral("Weiß"));
        QCOMPARE(farbe2->currentText(), QStringLiteral("Eigen"));
        for (int i = 0; i < farbe2->count(); ++i)
            QVERIFY2(!farbe2->itemText(i).contains("&H"), qPrintable(farbe2->itemText(i)));

        // A file chosen for slot 3 fills its field only; the file changes with "Übernehmen".
        f.dialogs.answerFile("/daten/liga.db");
        f.c<QPushButton>("Auswahl3")->click();
        QCOMPARE(f.c("DB3Datei")->text(), QStringLiteral("/daten/liga.db"));
        QCOMPARE(f.wert("DB3", "DATEI"), QString());
        f.dialogs.answerFile("");  // cancelled
        f.c<QPushButton>("Auswahl3")->click();
        QCOMPARE(f.c("DB3Datei")->text(), QStringLiteral("/daten/liga.db"));

        // An empty name for slot 1 leaves DB1 alone; the others are written, empty or not.
        f.c("DB1Bez")->setText("");
        f.c("DB1Datei")->setText("/anders.db");
        f.c("DB2Bez")->clear();
        f.c("DB3Bez")->setText("Liga 2");
        f.c<QPushButton>("Enter")->click();
        QCOMPARE(f.wert("DB1", "NAME"), QStringLiteral("Training"));
        QCOMPARE(f.wert("DB1", "DATEI"), QStringLiteral("/daten/training.db"));
        QCOMPARE(f.wert("DB2", "NAME"), QString());
        QCOMPARE(f.wert("DB2", "TAG"), QStringLiteral("Mi"));
        QCOMPARE(f.wert("DB2", "FARBE"), QStringLiteral("&H123456_Eigen"));
        QCOMPARE(f.wert("DB3", "NAME"), QStringLiteral("Liga 2"));
        QCOMPARE(f.wert("DB3", "DATEI"), QStringLiteral("/daten/liga.db"));
        QCOMPARE(f.wert("DB4", "NAME"), QString());
        QVERIFY(!f.c<QPushButton>("DBTabAnz")->isEnabled());
        // "Übernehmen" tells the main window; an old program's path shows the file it means.
        QSignalSpy geschrieben(&f.e, &Einstellungen::slotsGeschrieben);
        f.c("DB2Datei")->setText("C:\\Eigene Dateien\\Training.mdb");
        f.c<QPushButton>("Enter")->click();
        QCOMPARE(geschrieben.size(), 1);
        QCOMPARE(f.e.findChild<QLabel*>("DB2Ort")->text(), "= " + paths::defaultClubDatabase());
        QVERIFY(f.e.findChild<QLabel*>("DB3Ort")->text().isEmpty());

        // The maintenance buttons work on the fields as shown, stored or not.
        f.dialogs.messages.clear();
        f.c("DB1Datei")->setText(f.daten.dbPfad());
        f.c("DB4Datei")->setText(f.daten.dbPfad());
        for (const char* k : {"Command1", "Command2", "Command3"})
            f.c<QPushButton>(k)->click();
        QCOMPARE(f.dialogs.messages, QStringList(3, "Unter 4 ist keine DB angegeben"));
        int wieder = 0;
        f.e.setDatenbankWiederOeffnen([&] { ++wieder; });
        for (const char* n : {"DB1Datei", "DB2Datei", "DB3Datei", "DB4Datei"})
            f.c(n)->clear();
        f.c<QPushButton>("DB_Convert")->click();
        QCOMPARE(wieder, 1);
        QCOMPARE(f.dialogs.messages.size(), 3);  // empty slots are passed over silently

        // The club of slot 1 copied into a new database 4, with its rows counted.
        f.daten.mitglied(7, "Schäfer Jürgen", 2);
        f.c("DB1Datei")->setText(f.daten.dbPfad());
        f.c("DB4Datei")->setText(f.daten.pfad("Umzug.db"));
        f.c<QPushButton>("Umzug_butt")->click();
        QVERIFY2(f.dialogs.messages.last().contains("Mitglieder: 1 Zeile"),
                 qPrintable(f.dialogs.messages.last()));
        Database neu;
        QString fehler;
        QVERIFY(neu.open(f.daten.pfad("Umzug.db"), &fehler));
        QCOMPARE(neu.run("SELECT Name FROM Mitglieder").rows[0][0], QVariant("Schäfer Jürgen"));
        f.c<QPushButton>("Umzug_butt")->click();  // never over an existing file
        QVERIFY(f.dialogs.messages.last().startsWith("Der Verein wurde nicht kopiert.\n"));
    }

    // A fresh start as a new club sees it: a real path, colour names, one version.
    void ersterStartZeigtWasGiltIst() {
        Programmfenster p("RMIII", false);
        p.dialogs.answerNo();  // no club database made yet
        p.starten();
        Einstellungen e(p.ini, p.zustand, p.club, p.dialogs, p.uhr);
        e.oeffnen();
        auto* datei = e.findChild<QLineEdit*>("DB1Datei");
        QCOMPARE(datei->text(), paths::defaultClubDatabase());
        QVERIFY(QDir::isAbsolutePath(datei->text()));
        QVERIFY(e.findChild<QLabel*>("DB1Ort")->isHidden());  // nothing to translate
        QCOMPARE(e.findChild<QComboBox*>("Farbe1")->currentText(), QStringLiteral("Gold"));
        QCOMPARE(e.findChild<QComboBox*>("Farbe4")->currentText(), QStringLiteral("Violett"));
        QStringList versionen;
        for (const QLabel* l : e.findChildren<QLabel*>()) {
            if (l->text().contains(QRegularExpression("\\d+\\.\\d+\\.\\d+")))
                versionen << l->text();
            for (const char* falsch : {"weden", "Datenban ", "V3.3", "&H"})
                QVERIFY2(!l->text().contains(falsch), qPrintable(l->text()));
        }
        QCOMPARE(versionen, QStringList{"Zielkunst " + programmVersion()});
        // "Übernehmen" keeps the colours as wettk.ini holds them.
        e.findChild<QPushButton*>("Enter")->click();
        QCOMPARE(p.ini.IniLesen("DB1", "FARBE"), QStringLiteral("&H01D7FF_Gold"));
        QCOMPARE(p.ini.IniLesen("DB1", "DATEI"), paths::defaultClubDatabase());
    }

    void neulingOhneMaschine() {
        // No machine configured: the settings window comes first, the port is not reported
        // as missing before anything was chosen.
        Programmfenster p{QString()};
        ScriptedLine line;
        line.oeffnenScheitert = true;
        Einstellungen e(p.ini, p.zustand, p.club, p.dialogs, p.uhr);
        int geoeffnet = 0;
        p.w = std::make_unique<Ringe>(p.ini, p.zustand, p.club, p.dialogs, p.uhr);
        p.einlesen = std::make_unique<Einlesen>(line, p.ini, p.zustand, *p.w, p.dialogs);
        p.w->setLesesteuerung(p.einlesen.get());
        p.w->setEinstellungenOeffnen([&] {
            ++geoeffnet;
            e.oeffnen();
        });
        p.w->laden();
        QCOMPARE(geoeffnet, 1);
        QVERIFY(p.dialogs.messages.isEmpty());
        QVERIFY(p.knopf("Einstellungen_butt")->isEnabled());

        // The machine is chosen; closing the window sets the line up and reports it.
        QTest::mouseClick(e.findChild<QRadioButton*>("SAM"), Qt::LeftButton);
        QVERIFY(e.maschineGeaendert());
        p.w->maschineEinrichten();
        p.einlesen->portEinrichten();
        QCOMPARE(p.c<QLabel>("WERTM_NAME")->text(), QStringLiteral("SAM"));
        QCOMPARE(p.dialogs.messages.size(), 1);
        QVERIFY(p.dialogs.messages[0].contains("kann nicht geöffnet werden"));

        // Back to the DISAG: its program buttons return.
        QTest::mouseClick(e.findChild<QRadioButton*>("Disag"), Qt::LeftButton);
        p.w->maschineEinrichten();
        QCOMPARE(p.knopf("S1x10")->text(), QStringLiteral("1x10 Schuß LG"));
        QCOMPARE(p.c<QLabel>("WERTM_NAME")->text(), QStringLiteral("DISAG RM III"));
    }
};

QTEST_MAIN(TestEinstellungsfenster)
#include "test_einstellungsfenster.moc"
