// The evening without a window: the controller on a plain record of the fields, two stands
// on one club database, a competition grid and a strip kept by the machine. The test links
// no Qt Widgets and runs without a GUI application.
#include <QSignalSpy>
#include <QtTest>

#include <initializer_list>

#include "core/Abendzustand.h"
#include "core/ClubDatabase.h"
#include "core/Ini.h"
#include "core/Platz.h"
#include "core/Wettkampfzeilen.h"
#include "evening/Abendsteuerung.h"
#include "platform/Clock.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestDaten.h"

namespace {

// The fields as a window would show them.
struct Bildschirm : Abendanzeige {
    Felder f;
    QStringList meldungen;
    Felder felderLesen() const override { return f; }
    void felderZeigen(const Felder& neu) override { f = neu; }
    void meldung(const QString& zeile, bool) override { meldungen << zeile; }
};

// One range PC on the club database, on Wednesday 3 April 2024.
struct Stand {
    Ini ini;
    Abendzustand zustand;
    ClubDatabase club{ini, zustand};
    ScriptedDialogs dialogs;
    FixedClock uhr{QDateTime(QDate(2024, 4, 3), QTime(19, 30))};
    Bildschirm bild;
    Abendsteuerung s{zustand, club, dialogs, uhr, bild};
    QSignalSpy gespeichert{&s, &Abendsteuerung::abendGespeichert};

    // With a settings file of its own (`name`.ini), the club database opened.
    Stand(TestDaten& d, const char* name) : ini(d.pfad(QString::fromLatin1(name) + ".ini")) {
        ini.IniSchreiben("DB1", "NAME", "Training");
        ini.IniSchreiben("DB1", "DATEI", d.dbPfad());
        zustand.Saisonjahr = 2024;
        bild.f.Heute = QStringLiteral("03.04.2024");
        bild.f.NTag = QStringLiteral("27.03.2024");
        bild.f.VTag = QStringLiteral("10.04.2024");
        bild.f.Saison = QStringLiteral("2024");
        bild.f.Anwesend = true;  // as F4 and a reading tick it for today
        if (!s.datenbankOeffnen(QStringLiteral("Training")))
            qFatal("Vereinsdatenbank nicht geöffnet");
    }
    void nummer(const QString& n) {
        bild.f.SNummer = n;
        s.mitgliedAbrufen();
    }
    // Rings typed from field `von` on, as the grid passes them.
    void ringe(int von, std::initializer_list<const char*> werte) {
        int k = von;
        for (const char* r : werte) {
            bild.f.Schuss[static_cast<std::size_t>(k)] = QString::fromLatin1(r);
            s.ringGesetzt(k, QString::fromLatin1(r));
            s.serieAddieren(k);
            ++k;
        }
    }
    void zehn(const char* ring) {
        for (int k = 1; k <= 10; ++k)
            ringe(k, {ring});
    }
    void speichern() { s.berechnenUndSpeichern(0); }
    // Ten shots read by a machine (10, then nine 8s; Teiler 2.5, then 62 ...), shown.
    void gelesen() {
        for (int k = 1; k <= 10; ++k) {
            ShotSlot& sl = zustand.Shots[static_cast<std::size_t>(k)];
            sl.Ring = static_cast<std::int16_t>(k == 1 ? 10 : 8);
            sl.Teiler = k == 1 ? 2.5f : 60.0f + static_cast<float>(k);
            sl.X = 0.1f;
            sl.ValidFlag = true;
        }
        zustand.NextShotIndex = 11;
        s.serienUndAnzeige();
    }
};

// A stand's name in the notes it leaves, for as long as it lives.
struct AlsStand {
    explicit AlsStand(const QString& name) { platz::setzeStand(name); }
    ~AlsStand() { platz::setzeStand(QStringLiteral("1")); }
};

struct Gitter : Wettkampfzeilen {
    QString schuetze(int zeile) const override { return QStringLiteral("Schütze %1").arg(zeile); }
    void serienEintragen(int zeile, const std::array<QString, 7>& serien,
                         const QString& gesamt) override {
        this->zeile = zeile;
        erste = serien[1];
        this->gesamt = gesamt;
    }
    int zeile = 0;
    QString erste, gesamt;
};

}  // namespace

class TestAbendsteuerung : public QObject {
    Q_OBJECT
    TestDaten daten;

    int gesamt(int nr) {
        return daten.zahl(QStringLiteral("SELECT Gesammt FROM Ergebnis WHERE MitglNr = %1 AND "
                                         "Datum = '2024-04-03'")
                              .arg(nr));
    }
    int zahl(const QString& sql) { return daten.zahl(sql); }

  private slots:
    void initTestCase() {
        QVERIFY(daten.ok());
        daten.mitglied(12, "Anna Alt", 1);
        daten.mitglied(13, "Bert Bau", 1);
        platz::setzeStand(QStringLiteral("1"));
    }
    void init() {
        daten.db().run("DELETE FROM Ergebnis");
        daten.db().run("DELETE FROM Einzelergebnisse");
    }

    // Typed rings reach the buffer, their series adds up, and storing writes the result and
    // every shot; a ring wiped from its field is no shot. Recalled at another stand, the
    // evening shows again; a number that names nobody shows none of it.
    void getippteRingeGespeichertUndAbgerufen() {
        Stand a(daten, "a");
        a.nummer("12");
        QCOMPARE(a.bild.f.SName, QString("Anna Alt"));
        a.ringe(1, {"9", "8", "10", "7", "9", "9", "8", "10", "9", "6"});
        QCOMPARE(a.bild.f.Scheibe[1], QString("85"));
        a.ringe(11, {"5", "4"});
        a.ringe(12, {""});
        a.speichern();
        QVERIFY(a.dialogs.messages.isEmpty());
        QVERIFY(a.dialogs.questions.isEmpty());
        QCOMPARE(gesamt(12), 85);  // the second series is not complete
        QCOMPARE(zahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr = 12"), 11);
        QCOMPARE(zahl("SELECT Ring FROM Einzelergebnisse WHERE MitglNr = 12 AND Schuss = 3"), 10);
        QCOMPARE(a.gespeichert.count(), 1);
        const QString zeile = a.bild.meldungen.last();
        QVERIFY2(zeile.startsWith("Gespeichert: Nr. 12 Anna Alt, Abend vom 03.04.2024, um "
                                  "19:30:00 Uhr. – Serie 2: 1 von 10 Schuss"),
                 qPrintable(zeile));
        QCOMPARE(a.dialogs.hinweise.size(), 1);  // the class without points, told once

        Stand b(daten, "b");
        b.nummer("12");
        QCOMPARE(b.bild.f.Schuss[3], QString("10"));
        QCOMPARE(b.bild.f.Schuss[11], QString("5"));
        QCOMPARE(b.bild.f.Scheibe[1].trimmed(), QString("85"));
        QCOMPARE(b.bild.f.GesScheibe.trimmed(), QString("85"));
        b.nummer("77");
        QCOMPARE(b.bild.f.SName, QString("Kein Eintrag"));
        QCOMPARE(b.bild.f.Schuss[3], QString());
        QCOMPARE(b.bild.f.GesScheibe, QString());
        QVERIFY(b.dialogs.messages.isEmpty());
    }

    // A total left in a series field never outlives its series: the lone first shot's total
    // goes when a second ring follows, and a complete series' total goes when one of its
    // rings is wiped, so Gesamt holds only what the grid shows.
    void serienSummeFolgtDenRingen() {
        Stand a(daten, "a");
        a.nummer("12");
        a.ringe(1, {"9"});
        QCOMPARE(a.bild.f.Scheibe[1], QString("9"));
        a.ringe(2, {"9", "9"});
        QVERIFY(a.bild.f.Scheibe[1].isEmpty());
        a.ringe(4, {"9", "9", "9", "9", "9", "9", "9"});
        QCOMPARE(a.bild.f.Scheibe[1], QString("90"));
        a.ringe(5, {""});
        QVERIFY(a.bild.f.Scheibe[1].isEmpty());
        a.speichern();
        QCOMPARE(gesamt(12), 0);
    }

    // Another stand stored the member's evening after this one recalled it: the question
    // defaults to "Nein", which keeps theirs and signals no store here. (The whole exchange
    // between two stands is played out in test_zweistaende.)
    void andererStandHatInzwischenGespeichert() {
        Stand a(daten, "a"), b(daten, "b");
        a.nummer("12");
        b.nummer("12");
        {
            AlsStand zwei(QStringLiteral("2"));
            b.zehn("8");
            b.speichern();
        }
        a.zehn("9");
        a.dialogs.answerNo();
        a.speichern();
        QCOMPARE(a.dialogs.questionsDefaultNo.size(), 1);
        QVERIFY2(a.dialogs.questions[0].contains("(Stand 2)"), qPrintable(a.dialogs.questions[0]));
        QCOMPARE(gesamt(12), 80);
        QCOMPARE(a.gespeichert.count(), 0);
        AlsStand benannt(QStringLiteral("Stand B"));  // named with the word itself
        QVERIFY2(platz::name().endsWith(" (Stand B)"), qPrintable(platz::name()));
    }

    // Only the result was deleted elsewhere, its shots left: "Ja" stores this stand's ten
    // shots in their place, not beside them.
    void abendAnderswoGeloescht() {
        Stand a(daten, "a");
        a.nummer("13");
        a.zehn("9");
        a.speichern();
        a.nummer("13");
        daten.db().run("DELETE FROM Ergebnis WHERE MitglNr = 13");
        a.zehn("8");
        a.dialogs.answerYes();
        a.speichern();
        QCOMPARE(a.dialogs.questions.size(), 1);
        QVERIFY(a.dialogs.questions[0].contains("wurde gelöscht"));
        QCOMPARE(gesamt(13), 80);
        QCOMPARE(zahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr = 13"), 10);
        QCOMPARE(a.gespeichert.count(), 2);
    }

    // In competition mode the number is a grid row: its shooter's name shows, the series
    // go into that row and nothing into the club database; a row beyond 14 is refused, and
    // the message line does not claim it was filled.
    void wettkampfGehtInsGitter() {
        Stand a(daten, "a");
        Gitter gitter;
        a.s.setWettkampf(&gitter);
        a.bild.f.Wettkampf = true;
        a.nummer("3");
        QCOMPARE(a.bild.f.SName, QString("Schütze 3"));
        a.zehn("9");
        for (int k = 11; k <= 20; ++k)
            a.ringe(k, {"7"});
        a.speichern();
        QCOMPARE(gitter.zeile, 3);
        QCOMPARE(gitter.erste, QString("90"));
        QCOMPARE(gitter.gesamt, QString("160"));
        QCOMPARE(a.bild.f.GesScheibe, QString("160"));
        QCOMPARE(a.bild.meldungen.last(), QString("In Zeile 3 des Wettkampfs eingetragen."));
        QCOMPARE(zahl("SELECT count(*) FROM Ergebnis"), 0);
        QCOMPARE(a.gespeichert.count(), 0);

        gitter.zeile = 0;
        a.bild.f.SNummer = QStringLiteral("15");
        a.speichern();
        QCOMPARE(gitter.zeile, 0);
        QCOMPARE(a.dialogs.messages.last(),
                 QString("Im Wettkampf ist die Nummer die Zeile 1 bis 14 der Wettkampftabelle; "
                         "\"15\" ist keine."));
        QCOMPARE(a.bild.meldungen.size(), 1);
    }

    // A ring typed over a read one has no Teiler and no place any more: neither the shot
    // stored nor the best Teiler keeps the machine's values; a ring shown again keeps them.
    void ueberschriebenerRingVerliertDenTeiler() {
        Stand a(daten, "a");
        a.nummer("12");
        a.gelesen();
        QCOMPARE(a.bild.f.BestTeiler, QString("2,5"));
        a.ringe(2, {"8"});  // the same ring again
        a.ringe(1, {"4"});
        QTRY_VERIFY(a.bild.f.BestTeiler != "2,5");
        QVERIFY(a.bild.f.Teiler[1] != "2,5");
        a.speichern();
        QCOMPARE(gesamt(12), 76);
        const auto wert = [&](const QString& sql) {
            const SqlRows r = daten.db().run(sql);
            return r.rows.empty() ? -1.0 : r.rows[0][0].toDouble();
        };
        const QString teiler = "SELECT Teiler FROM Einzelergebnisse WHERE MitglNr = 12 AND Schuss=";
        QVERIFY(qAbs(wert(teiler + "1") - 2.5) > 0.01);
        QCOMPARE(wert(teiler + "2"), 62.0);
        const double best = wert("SELECT Teiler FROM Ergebnis WHERE MitglNr = 12");
        QVERIFY2(qAbs(best - 2.5) > 0.01, qPrintable(QString::number(best)));
    }

    // A reading hands its shots over in the buffer: they show with their series and are
    // stored. A strip the machine kept is added to the evening it was read for, though
    // another member is shown by then; a record of no member's evening takes none.
    void lesungUndStreifenrest() {
        Stand a(daten, "a");
        a.nummer("12");
        QVERIFY(a.s.karteLeeren());  // nothing shown yet: no question
        a.gelesen();
        QCOMPARE(a.bild.f.Schuss[1], QString("10"));
        QCOMPARE(a.bild.f.Scheibe[1], QString("82"));
        a.speichern();
        QCOMPARE(gesamt(12), 82);
        // A new card over shown rings asks first; "Nein" keeps them.
        a.dialogs.answerNo();
        QVERIFY(!a.s.karteLeeren());
        QCOMPARE(a.bild.f.Scheibe[1], QString("82"));

        const Felder vermerkt = a.bild.f;
        a.nummer("13");
        const auto streifen = [](Abendzustand& z) {
            for (int r : {7, 6}) {
                ShotSlot& s = z.Shots[static_cast<std::size_t>(z.NextShotIndex)];
                s.Ring = static_cast<std::int16_t>(r);
                s.ValidFlag = true;
                ++z.NextShotIndex;
            }
        };
        QVERIFY(a.s.nachtragen(&vermerkt, "Nr. 12 (Anna Alt)", "03.04.2024", streifen));
        QCOMPARE(gesamt(12), 95);
        QCOMPARE(zahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr = 12"), 12);
        QCOMPARE(a.bild.meldungen.last(),
                 QString("2 Schuss dem Abend von Nr. 12 (Anna Alt) am 03.04.2024 nachgetragen "
                         "und gespeichert."));
        QCOMPARE(a.bild.f.SName, QString("Bert Bau"));  // the member shown stays
        QCOMPARE(a.gespeichert.count(), 2);

        QVERIFY(!a.s.nachtragen(nullptr, "Nr. 5 (x)", "03.04.2024", streifen));
        QVERIFY(a.dialogs.messages.last().startsWith(
            "Der Streifen wurde dem Abend von Nr. 5 (x) nicht nachgetragen:\n"));
        QCOMPARE(zahl("SELECT count(*) FROM Einzelergebnisse"), 12);
    }
};

QTEST_GUILESS_MAIN(TestAbendsteuerung)
#include "test_abendsteuerung.moc"
