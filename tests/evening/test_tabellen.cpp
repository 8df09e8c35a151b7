// The table browser: the record source for each kind of filter, run on a real club file;
// deleting the rows shown; edits written through; rows read as they are shown.
#include <QtTest>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/Ini.h"
#include "core/Schema.h"
#include "core/Zeilenbund.h"
#include "maintenance/Datensatzquelle.h"
#include "maintenance/Seitenmodell.h"
#include "maintenance/ui/Tabellen.h"
#include "platform/Clock.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDaten.h"

namespace {

struct Browser {
    TestDaten d;
    Ini ini{d.iniPfad()};
    Abendzustand zustand;
    ClubDatabase club{ini, zustand};
    ScriptedDialogs dialogs;
    FixedClock uhr{QDateTime(QDate(2026, 12, 9), QTime(20, 15, 7))};
    std::unique_ptr<Tabellen> t;

    Browser() {
        d.mitglied(12, "Meier Hans", 1);
        d.mitglied(13, "Meister Eva", 2);
        d.mitglied(14, "Huber Karl", 1);
        d.mitglied(15, "O'Neil \"Bob\"", 1);
        for (const char* tag : {"2026-12-04", "2026-12-05", "2026-12-06"})
            d.db().run("INSERT INTO Ergebnis (MitglNr, Datum, Gesammt) VALUES (12, ?, 380)", {tag});
        club.OpenDatabaseDatei(d.dbPfad());
        t = std::make_unique<Tabellen>(club, zustand, dialogs, uhr);
    }
    template <class T>
    T* c(const char* name) {
        return t->findChild<T*>(QString::fromLatin1(name));
    }
    void waehlen(const char* tabelle) {
        c<QComboBox>("Tabellen_combo")->setCurrentText(tabelle);
        t->tabelleWaehlen(tabelle);
    }
    int suchen(const char* feld, const QString& text) {
        c<QComboBox>("Such_combo")->setCurrentText(feld);
        c<QLineEdit>("Suchtext")->setText(text);
        c<QPushButton>("Suchen_butt")->click();
        return t->modell().rowCount();
    }
    // The row whose field `spalte` holds `wert` (a date as ISO text), -1 when none.
    int zeileMit(const char* spalte, const QString& wert) {
        const int s = static_cast<int>(t->modell().spalten().indexOf(spalte));
        for (int z = 0; z < t->modell().rowCount(); ++z)
            if (t->modell().wert(z, s).toString().left(10) == wert)
                return z;
        return -1;
    }
    bool aendern(const char* spalte, int zeile, const QString& wert) {
        auto& m = const_cast<Seitenmodell&>(t->modell());
        const int s = static_cast<int>(m.spalten().indexOf(spalte));
        return m.setData(m.index(zeile, s), wert, Qt::EditRole);
    }
    void schuesse(int nr, const char* tag, int anzahl) {
        for (int k = 1; k <= anzahl; ++k)
            d.db().run(
                "INSERT INTO Einzelergebnisse (MitglNr, Datum, Schuss, Ring) VALUES (?, ?, ?, 9)",
                {nr, tag, k});
    }
    int zahl(const QString& sql) { return d.zahl(sql); }
    std::vector<QVariantList> zeilen(const QString& sql) { return d.db().run(sql).rows; }
    QString text(const QString& sql) { return zeilen(sql)[0][0].toString(); }
    Seitenmodell& m() { return const_cast<Seitenmodell&>(t->modell()); }
    void loeschen(bool ja) {
        ja ? dialogs.answerYes() : dialogs.answerNo();
        c<QPushButton>("delete_butt")->click();
    }
    QString feld(int zeile, int spalte) {
        return t->modell().data(t->modell().index(zeile, spalte), Qt::DisplayRole).toString();
    }
};

}  // namespace

class TestTabellen : public QObject {
    Q_OBJECT
  private slots:
    // What a run of the filter (filterAusgefuehrt) cannot tell apart.
    void quelleTexte() {
        const auto s = Filteranlass::Suchen;
        QCOMPARE(datensatzquelle("Mitglieder", "Name", "  ", "Nr", s),
                 QStringLiteral("SELECT * FROM Mitglieder ORDER BY Nr"));
        // What was typed never leaves its literal, and a number is only its number.
        QCOMPARE(datensatzquelle("Mitglieder", "Name", "x\" OR \"1\"=\"1", "", s),
                 QStringLiteral(
                     "SELECT * FROM Mitglieder WHERE Name LIKE \"x\"\" OR \"\"1\"\"=\"\"1\""));
        QCOMPARE(datensatzquelle("Mitglieder", "Nr", "12; DELETE FROM Mitglieder", "", s),
                 QStringLiteral("SELECT * FROM Mitglieder WHERE Nr = 12"));
        QCOMPARE(datensatzquelle("Ergebnis", "Datum", "5.12.2026", "", s),
                 QStringLiteral("SELECT * FROM Ergebnis WHERE Datum >= #05/12/2026#"));
    }

    void filterAusgefuehrt() {
        Browser b;
        QCOMPARE(b.t->modell().rowCount(), 4);  // Mitglieder, the first entry
        QCOMPARE(b.c<QComboBox>("Such_combo")->count(), 8);
        QCOMPARE(b.suchen("Name", "Mei*"), 2);
        QCOMPARE(b.suchen("Nr", "12"), 1);
        QCOMPARE(b.feld(0, 1), QStringLiteral("Meier Hans"));
        QCOMPARE(b.suchen("Name", "O'Neil \"Bob\""), 1);
        QCOMPARE(b.suchen("Name", "x\" OR \"1\"=\"1"), 0);
        QCOMPARE(b.suchen("Nr", ""), 4);
        b.waehlen("Ergebnis");
        QCOMPARE(b.suchen("Datum", "05.12.2026"), 2);
        QCOMPARE(b.feld(0, 1), QStringLiteral("05.12.2026"));
        b.c<QComboBox>("Sortier_combo")->setCurrentText("Datum");
        b.t->sortieren();
        QCOMPARE(
            b.t->datensatzquelle(),
            QStringLiteral("SELECT * FROM Ergebnis WHERE Datum = #05/12/2026# ORDER BY Datum"));
        QCOMPARE(b.t->modell().rowCount(), 1);
        QVERIFY(b.dialogs.messages.isEmpty());
    }

    // "öz*" finds "Özdemir" on either engine; a text in a field of numbers is answered.
    void filterDeutschUndZahlenfeld() {
        Browser b;
        b.d.mitglied(16, "Özdemir Ali", 1);
        b.waehlen("Mitglieder");
        QCOMPARE(b.suchen("Name", "öz*"), 1);
        QCOMPARE(b.feld(0, 1), QStringLiteral("Özdemir Ali"));
        QCOMPARE(b.suchen("Name", "MEI*"), 2);
        QVERIFY(b.dialogs.messages.isEmpty());
        QCOMPARE(b.suchen("Nr", "zwölf"), 0);
        QCOMPARE(b.dialogs.messages.size(), 1);
        QVERIFY(b.dialogs.messages[0].startsWith("Im Feld Nr stehen Zahlen"));
        // The member number stays required and unique; a name keeps to its 50 characters.
        b.suchen("Nr", "");
        Seitenmodell& m = b.m();
        QVERIFY(!m.setData(m.index(0, 0), "", Qt::EditRole));
        QVERIFY(b.dialogs.messages.last().startsWith("Jedes Mitglied braucht eine Nummer"));
        QVERIFY(!m.setData(m.index(0, 0), "13", Qt::EditRole));
        QCOMPARE(b.dialogs.messages.last(), QString("Die Mitgliedsnummer 13 ist schon vergeben."));
        QVERIFY(!m.setData(m.index(0, 1), QString(51, u'y'), Qt::EditRole));
        QVERIFY(b.dialogs.messages.last().startsWith("Der Text ist 51 Zeichen lang"));
        QCOMPARE(b.d.zahl("SELECT count(*) FROM Mitglieder WHERE Nr = 12 AND Name = 'Meier Hans'"),
                 1);
    }

    void loeschenNachFilter() {
        Browser b;
        b.waehlen("Ergebnis");
        QCOMPARE(b.suchen("Datum", "05.12.2026"), 2);
        // A refusing file keeps every row, and says so.
        b.d.ausloeser(
            "CREATE TRIGGER halt BEFORE DELETE ON Ergebnis WHEN OLD.Datum = '2026-12-06' "
            "BEGIN SELECT RAISE(ABORT, 'gesperrt'); END");
        b.loeschen(true);
        QCOMPARE(b.d.zahl("SELECT count(*) FROM Ergebnis"), 3);
        QCOMPARE(b.dialogs.messages.size(), 1);
        QVERIFY(b.dialogs.messages[0].startsWith("Es wurde nichts gelöscht.\n"));
        b.d.ausloeser("DROP TRIGGER halt");
        b.loeschen(false);  // "Nein": nothing deleted
        QCOMPARE(b.d.zahl("SELECT count(*) FROM Ergebnis"), 3);
        QCOMPARE(b.dialogs.questionsDefaultNo.last(),
                 QString("Alle 2 gezeigten Zeilen der Tabelle Ergebnis wirklich löschen?"));
        b.loeschen(true);
        QCOMPARE(b.d.zahl("SELECT count(*) FROM Ergebnis"), 1);
        QCOMPARE(b.t->modell().rowCount(), 0);
        // the refused delete left no line, the done one a line a row with what it held
        QCOMPARE(b.zeilen("SELECT MitglNr, Datum, Feld, Neu, Anlass FROM Aenderungen"),
                 (std::vector<QVariantList>{{12, "2026-12-05", "*", "", "Gelöscht"},
                                            {12, "2026-12-06", "*", "", "Gelöscht"}}));
        QVERIFY(b.text("SELECT Alt FROM Aenderungen").contains("Gesammt 380"));
        b.waehlen("Ergebnis");
        b.loeschen(true);
        QCOMPARE(b.dialogs.questions.last(),
                 QString("Die gezeigte Zeile der Tabelle Ergebnis wirklich löschen?"));
        QCOMPARE(b.d.zahl("SELECT count(*) FROM Ergebnis"), 0);
        QCOMPARE(b.d.zahl("SELECT count(*) FROM Mitglieder"), 4);
    }

    // An evening's result and its shots never part: deleting results takes their shots,
    // changing a result's number or date takes them along, changing a member's number takes
    // the member's evenings; each in one transaction and logged, or refused with the reason.
    void abendZeilenBleibenBeisammen() {
        Browser b;
        b.schuesse(12, "2026-12-04", 3);
        b.schuesse(12, "2026-12-05", 2);
        const QString waisen = QStringLiteral(
            "SELECT count(*) FROM Einzelergebnisse s WHERE NOT EXISTS (SELECT 1 FROM Ergebnis e "
            "WHERE e.MitglNr = s.MitglNr AND e.Datum = s.Datum)");
        b.waehlen("Ergebnis");
        QCOMPARE(b.suchen("Datum", "05.12.2026"), 2);
        b.loeschen(true);
        QCOMPARE(b.zahl("SELECT count(*) FROM Ergebnis"), 1);
        QCOMPARE(b.zahl("SELECT count(*) FROM Einzelergebnisse WHERE Datum = '2026-12-05'"), 0);
        QCOMPARE(b.zahl("SELECT count(*) FROM Einzelergebnisse WHERE Datum = '2026-12-04'"), 3);
        QCOMPARE(b.zeilen("SELECT Alt, Anlass FROM Aenderungen WHERE Tabelle = 'Einzelergebnisse'"),
                 (std::vector<QVariantList>{{"Schuss 1: 9, Schuss 2: 9", "Gelöscht"}}));

        // The date of a result: its shots go with it.
        b.waehlen("Ergebnis");
        QVERIFY2(b.aendern("Datum", b.zeileMit("Datum", "2026-12-04"), "10.12.2026"),
                 qPrintable(b.dialogs.messages.join("//")));
        QCOMPARE(b.zahl("SELECT count(*) FROM Einzelergebnisse WHERE Datum = '2026-12-10'"), 3);
        QCOMPARE(b.zahl(waisen), 0);
        // Onto an evening the member has already: refused, nothing moved.
        b.d.db().run("INSERT INTO Ergebnis (MitglNr, Datum, Gesammt) VALUES (12, '2026-12-11', 1)");
        b.schuesse(12, "2026-12-11", 1);
        b.waehlen("Ergebnis");
        QVERIFY(!b.aendern("Datum", b.zeileMit("Datum", "2026-12-10"), "11.12.2026"));
        QVERIFY2(b.dialogs.messages.last().startsWith(
                     "Für Nummer 12 ist am 11.12.2026 schon ein Abend gespeichert"),
                 qPrintable(b.dialogs.messages.last()));
        QCOMPARE(b.zahl("SELECT count(*) FROM Einzelergebnisse WHERE Datum = '2026-12-10'"), 3);
        QCOMPARE(b.zahl("SELECT count(*) FROM Ergebnis WHERE Datum = '2026-12-10'"), 1);
        // The number of a result: its shots go to the other member.
        QVERIFY(b.aendern("MitglNr", b.zeileMit("Datum", "2026-12-11"), "14"));
        QCOMPARE(b.zahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr = 14"), 1);
        QCOMPARE(b.zahl(waisen), 0);

        // A member's number: every evening of the member goes along, logged.
        b.waehlen("Mitglieder");
        QVERIFY(b.aendern("Nr", b.zeileMit("Nr", "12"), "28"));
        QCOMPARE(b.zahl("SELECT count(*) FROM Ergebnis WHERE MitglNr = 28"), 1);
        QCOMPARE(b.zahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr = 28"), 3);
        QCOMPARE(b.zahl("SELECT count(*) FROM Ergebnis WHERE MitglNr = 12"), 0);
        QCOMPARE(b.zahl("SELECT count(*) FROM Aenderungen WHERE Tabelle = 'Mitglieder' AND "
                        "Feld = 'Nr' AND Alt = '12' AND Neu = '28'"),
                 1);
        QCOMPARE(b.zahl("SELECT count(*) FROM Aenderungen WHERE Tabelle = 'Ergebnis' AND "
                        "Feld = 'MitglNr' AND Alt = '12' AND Neu = '28'"),
                 1);
        // Refused: a number taken, or one whose old evenings fall on the member's.
        QVERIFY(!b.aendern("Nr", b.zeileMit("Nr", "28"), "13"));
        QCOMPARE(b.dialogs.messages.last(), QString("Die Mitgliedsnummer 13 ist schon vergeben."));
        b.d.db().run("INSERT INTO Ergebnis (MitglNr, Datum, Gesammt) VALUES (30, '2026-12-10', 2)");
        QVERIFY(!b.aendern("Nr", b.zeileMit("Nr", "28"), "30"));
        QVERIFY2(b.dialogs.messages.last().startsWith("Unter Nummer 30 sind schon Abende"),
                 qPrintable(b.dialogs.messages.last()));
        QCOMPARE(b.zahl("SELECT count(*) FROM Mitglieder WHERE Nr = 28"), 1);
        QCOMPARE(b.zahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr = 28"), 3);
        // A shot cannot leave its evening on its own.
        b.waehlen("Einzelergebnisse");
        QVERIFY(!b.aendern("MitglNr", 0, "15"));
        QVERIFY(b.dialogs.messages.last().startsWith("Ein Schuss gehört zu seinem Abend."));
        QCOMPARE(b.zahl(waisen), 0);
    }

    // Yes/no as words, a Teiler of a shot typed by hand (9999) or 0 as nothing.
    void rohwerteLesbar() {
        Browser b;
        b.d.db().run("UPDATE Ergebnis SET Anwesend = 1, Teiler = 0 WHERE Datum = '2026-12-04'");
        b.d.db().run(
            "INSERT INTO Einzelergebnisse (MitglNr, Datum, Schuss, Ring, Teiler) VALUES "
            "(12, '2026-12-04', 1, 9, 9999), (12, '2026-12-04', 2, 10, 12.5)");
        b.waehlen("Ergebnis");
        const int anwesend = static_cast<int>(b.t->modell().spalten().indexOf("Anwesend"));
        const int teiler = static_cast<int>(b.t->modell().spalten().indexOf("Teiler"));
        QCOMPARE(b.feld(0, anwesend), QString("Ja"));
        QCOMPARE(b.feld(1, anwesend), QString("Nein"));
        QCOMPARE(b.feld(0, teiler), QString());
        Seitenmodell& m = b.m();
        QVERIFY(m.setData(m.index(0, anwesend), "Nein", Qt::EditRole));
        QCOMPARE(b.d.zahl("SELECT Anwesend FROM Ergebnis WHERE Datum = '2026-12-04'"), 0);
        b.waehlen("Einzelergebnisse");
        const int t = static_cast<int>(b.t->modell().spalten().indexOf("Teiler"));
        QCOMPARE(b.feld(0, t), QString());
        QCOMPARE(b.feld(1, t), QString("12,5"));
    }

    // A row is added in the grid: at the end, ready for typing; a member with the next
    // free number.
    void neueZeile() {
        Browser b;
        b.waehlen("Klassen");
        b.c<QPushButton>("NeueZeile_butt")->click();
        QCOMPARE(b.t->modell().rowCount(), 1);
        Seitenmodell& m = b.m();
        QVERIFY(m.setData(m.index(0, 0), "1", Qt::EditRole));
        QVERIFY(m.setData(m.index(0, 1), "Schüler", Qt::EditRole));
        QCOMPARE(b.d.zahl("SELECT count(*) FROM Klassen WHERE Klasse = 1 AND Bez = 'Schüler'"), 1);
        b.waehlen("Mitglieder");
        b.c<QPushButton>("NeueZeile_butt")->click();
        QCOMPARE(b.t->modell().rowCount(), 5);
        QCOMPARE(b.feld(4, 0), QString("16"));
        QVERIFY(b.dialogs.messages.isEmpty());
    }

    // The browser's rules without a window: which fields hold numbers, the next member
    // number of an empty and of a filled table, a new row in a table without a key.
    void regelnOhneFenster() {
        TestDaten d;
        Database& db = d.db();
        QVERIFY(zahlenfeld(db, "Mitglieder", "Nr"));
        QVERIFY(zahlenfeld(db, "Mitglieder", "nr"));  // a field named in another case
        QVERIFY(!zahlenfeld(db, "Mitglieder", "Name"));
        QVERIFY(!zahlenfeld(db, "Mitglieder", "keinFeld"));
        QCOMPARE(zeilenbund::naechsteMitgliedsnummer(db), 1);
        neueZeileAnlegen(db, "Mitglieder");
        neueZeileAnlegen(db, "Mitglieder");
        QCOMPARE(d.zahl("SELECT count(*) FROM Mitglieder"), 2);
        QCOMPARE(d.zahl("SELECT MAX(Nr) FROM Mitglieder"), 2);
        d.mitglied(40, "Weit Oben", 1);
        QCOMPARE(zeilenbund::naechsteMitgliedsnummer(db), 41);
        neueZeileAnlegen(db, "Klassen");
        QCOMPARE(d.zahl("SELECT count(*) FROM Klassen WHERE Klasse IS NULL"), 1);
    }

    void bearbeiten() {
        Browser b;
        Seitenmodell& m = b.m();
        QVERIFY(m.setData(m.index(0, 1), "Meier Johann", Qt::EditRole));
        QCOMPARE(b.text("SELECT Name FROM Mitglieder WHERE Nr = 12"), QString("Meier Johann"));
        QCOMPARE(b.feld(0, 1), QStringLiteral("Meier Johann"));
        QCOMPARE(b.zeilen("SELECT Tabelle, MitglNr, Feld, Alt, Neu, Anlass FROM Aenderungen"),
                 (std::vector<QVariantList>{
                {"Mitglieder", 12, "Name", "Meier Hans", "Meier Johann", "Tabellenansicht"}}));
        // The log row carries the program's clock, not the machine's.
        QCOMPARE(b.text("SELECT Zeit FROM Aenderungen"), QString("2026-12-09 20:15:07"));
        // Refused in German, the old value stays in the file and on screen.
        QVERIFY(!m.setData(m.index(0, 2), "zwei", Qt::EditRole));
        QCOMPARE(b.dialogs.messages.last(), QStringLiteral("\"zwei\" ist keine Zahl."));
        QCOMPARE(b.d.zahl("SELECT Klasse FROM Mitglieder WHERE Nr = 12"), 1);
        QCOMPARE(b.feld(0, 2), QStringLiteral("1"));
        b.waehlen("Ergebnis");
        QVERIFY(!m.setData(m.index(0, 1), "31.02.2026", Qt::EditRole));
        QCOMPARE(b.dialogs.messages.last(),
                 QStringLiteral("\"31.02.2026\" ist kein gültiges Datum (TT.MM.JJJJ)."));
        QVERIFY(m.setData(m.index(0, 1), "1.1.2027", Qt::EditRole));
        QCOMPARE(b.text("SELECT Datum FROM Ergebnis ORDER BY rowid"), QString("2027-01-01"));
        QCOMPARE(b.zeilen("SELECT MitglNr, Datum, Feld, Alt, Neu FROM Aenderungen "
                          "WHERE Tabelle = 'Ergebnis'"),
                 (std::vector<QVariantList>{
                     {12, "2026-12-04", "Datum", "2026-12-04", "2027-01-01"}}));
        // the log itself is shown, never changed
        b.waehlen("Aenderungen");
        QCOMPARE(m.rowCount(), 2);
        QVERIFY(!(m.flags(m.index(0, 0)) & Qt::ItemIsEditable));
        QVERIFY(!m.setData(m.index(0, 0), "2000-01-01", Qt::EditRole));
        QCOMPARE(b.dialogs.messages.last(),
                 QStringLiteral("Das Änderungsprotokoll wird nicht verändert."));
        // A table the file has lost: the engine's reason, the rows shown before stay.
        const int vorher = m.rowCount();
        b.d.db().run("DROP TABLE Sonder");
        b.waehlen("Sonder");
        QCOMPARE(m.rowCount(), vorher);
        QVERIFY(b.dialogs.messages.last().contains("Sonder"));
    }

    // A shot edited in the browser is logged with its number, as F4 logs changed shots.
    void schussMitNummerProtokolliert() {
        Browser b;
        b.d.db().run(
            "INSERT INTO Einzelergebnisse (MitglNr, Datum, Schuss, Ring, Teiler, X, Y) "
            "VALUES (12, '2026-12-04', 7, 10, 35.2, 0, 0)");
        b.waehlen("Einzelergebnisse");
        Seitenmodell& m = b.m();
        QCOMPARE(m.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QString("Ring"));
        QVERIFY(m.setData(m.index(0, 3), "5", Qt::EditRole));
        QVERIFY(m.setData(m.index(0, 4), "12,7", Qt::EditRole));
        QVERIFY(m.setData(m.index(0, 2), "8", Qt::EditRole));
        QCOMPARE(b.zeilen("SELECT Tabelle, MitglNr, Datum, Feld, Alt, Neu, Anlass FROM "
                          "Aenderungen ORDER BY rowid"),
                 (std::vector<QVariantList>{{"Einzelergebnisse", 12, "2026-12-04", "Schüsse", "",
                                             "Schuss 7: Ring 10 → 5", "Tabellenansicht"},
                                            {"Einzelergebnisse", 12, "2026-12-04", "Schüsse", "",
                                             "Schuss 7: Teiler 35.2 → 12.7", "Tabellenansicht"},
                                            {"Einzelergebnisse", 12, "2026-12-04", "Schüsse", "",
                                             "Schuss 7 → 8", "Tabellenansicht"}}));
        QCOMPARE(b.d.zahl("SELECT Ring FROM Einzelergebnisse WHERE Schuss = 8"), 5);
    }

    void seitenweiseUndFolgtDerDatenbank() {
        Browser b;
        {
            Transaction t(b.d.db());
            for (int i = 0; i < 1000; ++i) {
                b.d.db().run(
                    "INSERT INTO Einzelergebnisse (MitglNr, Datum, Schuss, Ring) "
                    "VALUES (12, '2026-12-05', ?, 9)",
                    {i});
            }
            t.commit();
        }
        b.waehlen("Einzelergebnisse");
        const Seitenmodell& m = b.t->modell();
        QCOMPARE(m.rowCount(), 1000);
        QCOMPARE(m.geleseneSeiten(), 1);
        QCOMPARE(m.wert(999, 2).toInt(), 999);  // the last row: one more page, not all
        QCOMPARE(m.geleseneSeiten(), 2);

        // Another file opened in the main window: its rows; closed: none.
        TestDaten andere;
        andere.mitglied(1, "Anders", 1);
        b.club.OpenDatabaseDatei(andere.dbPfad());
        QCOMPARE(m.rowCount(), 0);  // its Einzelergebnisse are empty
        b.waehlen("Mitglieder");
        QCOMPARE(m.rowCount(), 1);
        b.club.CloseDatabase();
        QCOMPARE(m.rowCount(), 0);
    }

    void exportDerGezeigtenZeilen() {
        Browser b;
        b.zustand.Exportdatei = b.d.pfad("tabelle.csv");
        b.zustand.Exporttrenner = ";";
        QCOMPARE(b.suchen("Name", "Mei*"), 2);
        b.c<QPushButton>("Export")->click();
        QCOMPARE(b.dialogs.messages.last(),
                 "Datei wurde nach " + b.d.pfad("tabelle.csv") + " exportiert");
        QFile f(b.d.pfad("tabelle.csv"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> zeilen = f.readAll().split('\n');
        QCOMPARE(zeilen.size(), 4);  // header, two members, the end after the last CR LF
        QVERIFY(zeilen[1].startsWith("12;Meier Hans;"));
    }
};

QTEST_MAIN(TestTabellen)
#include "test_tabellen.moc"
