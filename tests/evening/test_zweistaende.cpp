// Two range PCs on one club database, each the main window in a process of its own
// (zk-teststand): an evening stored at one is never replaced without a word at the other.
// On a file and on the test's server, there also with the server going away and back.
#include <QtTest>

#include <QLabel>
#include <QProcess>

#include <map>
#include <random>

#include "core/Zeilenbund.h"
#include "tests/support/MariaDbServer.h"
#include "tests/support/Programmfenster.h"

namespace {

struct Stand {
    QProcess p;
    QByteArray rest;

    bool starten(const QString& db, const QString& name = {}) {
        p.setProcessChannelMode(QProcess::SeparateChannels);
        p.start(QStringLiteral(ZK_STAND), name.isEmpty() ? QStringList{db} : QStringList{db, name});
        return p.waitForStarted(10000) && warten().contains("BEREIT");
    }
    // The lines up to "FERTIG" (or "BEREIT").
    QStringList warten() {
        QStringList zeilen;
        for (;;) {
            const qsizetype nl = rest.indexOf('\n');
            if (nl >= 0) {
                const QString z = QString::fromUtf8(rest.left(nl));
                rest.remove(0, nl + 1);
                if (z == QLatin1String("FERTIG") || z == QLatin1String("BEREIT")) {
                    zeilen << z;
                    return zeilen;
                }
                zeilen << z;
                continue;
            }
            if (!p.waitForReadyRead(30000)) {
                zeilen << QStringLiteral("ZEIT UM: ") + QString::fromUtf8(p.readAllStandardError());
                return zeilen;
            }
            rest += p.readAllStandardOutput();
        }
    }
    void senden(const QString& befehl) { p.write((befehl + u'\n').toUtf8()); }
    QStringList befehl(const QString& b) {
        senden(b);
        return warten();
    }
    // Shots 1 to 4 as shown, "" when none.
    QString gesehen() {
        for (const QString& z : befehl(QStringLiteral("felder"))) {
            if (z.startsWith(QLatin1String("FELDER "))) {
                const QStringList f = z.mid(7).split(u'|');
                const QString s = f.mid(3).join(u',');
                return s == QLatin1String(",,,") ? QString() : s;
            }
        }
        return QStringLiteral("?");
    }
    ~Stand() {
        if (p.state() != QProcess::NotRunning) {
            senden(QStringLiteral("ende"));
            if (!p.waitForFinished(5000))
                p.kill();
            p.waitForFinished(5000);
        }
    }
};

bool hat(const QStringList& zeilen, const QString& anfang) {
    for (const QString& z : zeilen)
        if (z.startsWith(anfang))
            return true;
    return false;
}

QString frage(const QStringList& zeilen) {
    for (const QString& z : zeilen)
        if (z.startsWith(QLatin1String("FRAGE ")))
            return z;
    return {};
}

// Shots 1 to 4 of the member's evening of today as stored.
QString gespeichert(TestDaten& d, int nr) {
    QStringList ringe;
    const QString heute = QDate::currentDate().toString(Qt::ISODate);
    for (const QVariantList& z : d.db().run("SELECT Ring FROM Einzelergebnisse WHERE MitglNr = ? "
                                            "AND Datum = ? AND Schuss <= 4 ORDER BY Schuss",
                                            {nr, heute}).rows)
        ringe << z[0].toString();
    return ringe.join(u',');
}

}  // namespace

class TestZweiStaende : public QObject {
    Q_OBJECT
  private slots:
    // Both places show member 3's evening; A stores, then B: B is asked, never silently
    // replaces; "Nein" shows A's evening, "Ja" replaces it. A first evening typed at both
    // places is asked about too.
    void zusammenstoss() {
        TestDaten d;
        d.mitglied(3, "Wagner Ute", 1);
        d.mitglied(5, "Klein Eva", 1);
        d.ringeZeile(90, 1, {1});
        Stand a, b;
        // Two stands on this one PC, told apart by their own names.
        QVERIFY(a.starten(d.dbPfad(), "Links"));
        QVERIFY(b.starten(d.dbPfad(), "Rechts"));
        a.befehl("nummer 3");
        a.befehl("ringe 9 9 9 9");
        QVERIFY(!hat(a.befehl("F4"), "FRAGE"));
        a.befehl("nummer 3");
        b.befehl("nummer 3");
        QCOMPARE(b.gesehen(), QString("9,9,9,9"));
        a.befehl("ringe 8 8 8 8");
        QVERIFY(!hat(a.befehl("F4"), "FRAGE"));
        QCOMPARE(gespeichert(d, 3), QString("8,8,8,8"));
        b.befehl("ringe 7 7 7 7");
        const QString f = frage(b.befehl("F4"));
        QVERIFY2(f.contains("Der Abend von Nummer 3 (Wagner Ute)"), qPrintable(f));
        QVERIFY2(f.contains("inzwischen an einem anderen Platz gespeichert (am "), qPrintable(f));
        QVERIFY(f.contains(" Uhr an „"));
        QVERIFY2(f.contains("(Stand Links)“"), qPrintable(f));
        QCOMPARE(gespeichert(d, 3), QString("8,8,8,8"));  // nothing replaced
        QCOMPARE(b.gesehen(), QString("8,8,8,8"));        // "Nein": A's evening shown
        b.befehl("ringe 7 7 7 7");
        QVERIFY(!hat(b.befehl("F4"), "FRAGE"));  // B has seen it now
        QCOMPARE(gespeichert(d, 3), QString("7,7,7,7"));
        a.befehl("ringe 6 6 6 6");  // A still shows its own evening
        a.befehl("antwort ja");
        QVERIFY(hat(a.befehl("F4"), "FRAGE"));
        QCOMPARE(gespeichert(d, 3), QString("6,6,6,6"));  // "Ja" replaced it

        // A first evening, typed at both places.
        a.befehl("antwort nein");
        a.befehl("nummer 5");
        b.befehl("nummer 5");
        a.befehl("ringe 5 5 5 5");
        b.befehl("ringe 4 4 4 4");
        QVERIFY(!hat(a.befehl("F4"), "FRAGE"));
        QVERIFY(hat(b.befehl("F4"), "FRAGE"));
        QCOMPARE(gespeichert(d, 5), QString("5,5,5,5"));
    }

    // Member 3's evening deleted elsewhere after B recalled it: B's F4 asks, saying it was
    // deleted (not stored elsewhere); "Nein" shows the empty evening, the next F4 stores.
    void geloeschtAmAnderenPlatz() {
        TestDaten d;
        d.mitglied(3, "Wagner Ute", 1);
        d.ringeZeile(90, 1, {1});
        Stand b;
        QVERIFY(b.starten(d.dbPfad(), "B"));
        b.befehl("nummer 3");
        b.befehl("ringe 9 9 9 9");
        QVERIFY(!hat(b.befehl("F4"), "FRAGE"));
        b.befehl("nummer 3");
        QCOMPARE(b.gesehen(), QString("9,9,9,9"));
        {
            Transaction t(d.db());
            const QVariant zeile =
                d.db().run("SELECT rowid FROM Ergebnis WHERE MitglNr = 3").rows.at(0).at(0);
            QCOMPARE(zeilenbund::ergebnisseLoeschen(d.db(), {zeile}, "Gelöscht",
                                                    QDateTime::currentDateTime()),
                     1);
            t.commit();
        }
        QCOMPARE(d.zahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr = 3"), 0);
        QCOMPARE(d.zahl("SELECT count(*) FROM Speicherzeiten WHERE MitglNr = 3"), 0);
        b.befehl("ringe 8 8 8 8");
        const QString f = frage(b.befehl("F4"));
        QVERIFY2(f.contains("Der Abend von Nummer 3 (Wagner Ute)"), qPrintable(f));
        QVERIFY2(f.contains("wurde gelöscht, nachdem dieser Platz ihn geladen hatte"),
                 qPrintable(f));
        QVERIFY2(!f.contains("anderen Platz gespeichert"), qPrintable(f));
        QCOMPARE(gespeichert(d, 3), QString());
        QCOMPARE(b.gesehen(), QString());  // "Nein": what is stored, an empty evening
        QCOMPARE(d.zahl("SELECT count(*) FROM Ergebnis WHERE MitglNr = 3"), 0);
        b.befehl("ringe 7 7 7 7");
        QVERIFY(!hat(b.befehl("F4"), "FRAGE"));
        QCOMPARE(gespeichert(d, 3), QString("7,7,7,7"));
        // B changes its own evening again: never asked about its own store.
        b.befehl("ringe 6 6 6 6");
        QVERIFY(!hat(b.befehl("F4"), "FRAGE"));
        QCOMPARE(gespeichert(d, 3), QString("6,6,6,6"));
        // Changed where no note is left (the table browser): B's own note is not taken for
        // another place's store.
        d.db().run("UPDATE Ergebnis SET Gesammt = 1 WHERE MitglNr = 3");
        b.befehl("ringe 5 5 5 5");
        const QString g = frage(b.befehl("F4"));
        QVERIFY2(g.contains("wurde geändert, nachdem dieser Platz ihn geladen hatte (zuletzt "
                            "hier gespeichert am "),
                 qPrintable(g));
        QVERIFY2(!g.contains("anderen Platz gespeichert"), qPrintable(g));
        QCOMPARE(gespeichert(d, 3), QString("6,6,6,6"));
    }

    // As at a range: two stands, the club server stopped (SIGSTOP) while F4 is pressed.
    // Both say the server does not answer and keep their evenings; after SIGCONT each
    // stores its own once, and B then sees A's evening.
    void serverAngehaltenZweiStaende() {
        if (!TestDaten::aufServer())
            QSKIP("nur mit einer Datenbank auf dem Server");
        TestDaten d;
        d.mitglied(3, "Wagner Ute", 1);
        d.mitglied(5, "Klein Eva", 1);
        d.ringeZeile(90, 1, {1});
        Stand a, b;
        QVERIFY(a.starten(d.dbPfad(), "A"));
        QVERIFY(b.starten(d.dbPfad(), "B"));
        a.befehl("nummer 3");
        a.befehl("ringe 9 8 7 6");
        b.befehl("nummer 5");
        b.befehl("ringe 5 5 5 5");
        QVERIFY(TestDaten::server()->anhalten());
        a.senden("F4");
        b.senden("F4");
        const QString ausA = a.warten().join(u'\n'), ausB = b.warten().join(u'\n');
        QVERIFY(TestDaten::server()->fortsetzen());
        QVERIFY2(ausA.contains("antwortet nicht"), qPrintable(ausA));
        QVERIFY2(ausB.contains("antwortet nicht"), qPrintable(ausB));
        QCOMPARE(a.gesehen(), QString("9,8,7,6"));
        QCOMPARE(b.gesehen(), QString("5,5,5,5"));
        for (Stand* s : {&a, &b}) {
            const QStringList nochmal = s->befehl("F4");
            QVERIFY2(!hat(nochmal, "FRAGE") && !hat(nochmal, "MELDUNG"),
                     qPrintable(nochmal.join(u'\n')));
        }
        QCOMPARE(gespeichert(d, 3), QString("9,8,7,6"));
        QCOMPARE(gespeichert(d, 5), QString("5,5,5,5"));
        QCOMPARE(d.zahl("SELECT count(*) FROM Ergebnis"), 2);
        b.befehl("nummer 3");
        QCOMPARE(b.gesehen(), QString("9,8,7,6"));
    }

    // 200 evenings from both places at once, random members: every store either reaches
    // the evening its place had seen, or asks. Each member's stored evenings form one chain
    // from "none" to what is stored now: no evening was replaced unseen.
    void zweihundertAbende() {
        TestDaten d;
        for (int nr = 1; nr <= 10; ++nr)
            d.mitglied(nr, QStringLiteral("Mitglied %1").arg(nr), 1);
        d.ringeZeile(90, 1, {1});
        Stand staende[2];
        QVERIFY(staende[0].starten(d.dbPfad()));
        QVERIFY(staende[1].starten(d.dbPfad()));
        std::mt19937 zufall(4711);
        struct Gespeichert {
            QString gesehen, neu;
        };
        std::map<int, std::vector<Gespeichert>> kette;
        int fragen = 0, fehler = 0;
        QStringList fehlertexte;
        for (int schritt = 0; schritt < 100; ++schritt) {
            int nr[2];
            QString neu[2], gesehen[2];
            for (int s = 0; s < 2; ++s) {
                nr[s] = static_cast<int>(zufall() % 10) + 1;
                staende[s].senden(QStringLiteral("nummer %1").arg(nr[s]));
            }
            for (auto& s : staende)
                s.warten();
            for (int s = 0; s < 2; ++s) {
                gesehen[s] = staende[s].gesehen();
                neu[s] = QString("%1,%2,%3,%4").arg(s + 2).arg(schritt % 8 + 2)
                             .arg(schritt / 8 % 8 + 2).arg(schritt / 64 % 8 + 2);
                staende[s].senden(QStringLiteral("ringe ") + QString(neu[s]).replace(u',', u' '));
            }
            for (auto& s : staende)
                s.warten();
            for (auto& s : staende)
                s.senden(QStringLiteral("F4"));
            for (int s = 0; s < 2; ++s) {
                const QStringList aus = staende[s].warten();
                if (hat(aus, "FRAGE")) {
                    ++fragen;
                } else if (hat(aus, "MELDUNG")) {
                    ++fehler;
                    fehlertexte << aus.join(u'\n');
                } else {
                    kette[nr[s]].push_back({gesehen[s], neu[s]});
                }
            }
        }
        QVERIFY2(fehler == 0, qPrintable(fehlertexte.join("\n---\n")));
        int gespeicherteAbende = 0;
        for (auto& [nr, abende] : kette) {
            gespeicherteAbende += static_cast<int>(abende.size());
            QString stand;  // none stored at first
            std::vector<bool> benutzt(abende.size(), false);
            for (std::size_t n = 0; n < abende.size(); ++n) {
                bool gefunden = false;
                for (std::size_t i = 0; i < abende.size() && !gefunden; ++i) {
                    if (!benutzt[i] && abende[i].gesehen == stand) {
                        benutzt[i] = true;
                        stand = abende[i].neu;
                        gefunden = true;
                    }
                }
                QVERIFY2(gefunden, qPrintable(QString("Mitglied %1: ein Abend wurde ungesehen ersetzt "
                                                      "(nach %2)").arg(nr).arg(stand)));
            }
            QCOMPARE(gespeichert(d, nr), stand);
        }
        QCOMPARE(gespeicherteAbende + fragen, 200);
        QVERIFY(fragen > 0);  // the places did meet
    }

    // The server stops and comes back between two stores: the second one stores. While it
    // is down a number typed shows no name of the member before, and F4 refuses.
    void serverKommtZurueck() {
        if (!TestDaten::aufServer())
            QSKIP("nur mit einer Datenbank auf dem Server");
        Programmfenster f;
        f.daten.mitglied(3, "Wagner Ute", 1);
        f.daten.mitglied(4, "Bauer Jan", 1);
        f.daten.ringeZeile(90, 1, {1});
        f.starten();
        f.nummer("3");
        f.ringe(1, {"9", "8"});
        f.taste(Qt::Key_F4);
        QVERIFY(f.dialogs.messages.isEmpty());
        QVERIFY(TestDaten::server()->neuStarten());
        f.ringe(3, {"7"});
        f.taste(Qt::Key_F4);
        QVERIFY2(f.dialogs.messages.isEmpty(), qPrintable(f.dialogs.messages.join("\n")));
        QCOMPARE(f.zahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr = 3"), 3);

        TestDaten::server()->stoppen();
        f.nummer("4");
        QCOMPARE(f.text("SName"), QString());
        QVERIFY2(f.dialogs.messages.last().startsWith("Das Mitglied konnte nicht gelesen werden."),
                 qPrintable(f.dialogs.messages.join("\n---\n")));
        QVERIFY(f.dialogs.messages.last().contains("nicht erreichbar"));
        f.ringe(1, {"5"});
        f.taste(Qt::Key_F4);
        QVERIFY(f.dialogs.messages.last().startsWith("Mitglied konnte nicht gelesen werden"));
        QVERIFY(TestDaten::server()->neuStarten());
        f.taste(Qt::Key_F4);  // still refused: the screen names nobody
        QVERIFY(f.dialogs.messages.last().startsWith("Mitglied konnte nicht gelesen werden"));
        QCOMPARE(f.zahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr = 3"), 3);
        f.nummer("4");
        QCOMPARE(f.text("SName"), QString("Bauer Jan"));
        f.ringe(1, {"5"});
        const qsizetype meldungen = f.dialogs.messages.size();
        f.taste(Qt::Key_F4);
        QCOMPARE(f.dialogs.messages.size(), meldungen);
        QCOMPARE(f.zahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr = 4"), 1);
        QCOMPARE(f.zahl("SELECT count(*) FROM Einzelergebnisse WHERE MitglNr = 3"), 3);
    }
};

QTEST_MAIN(TestZweiStaende)
#include "test_zweistaende.moc"
