// Windows under Wine: the live display's web server in a Windows program, asked by a Linux
// client (python3, started through Wine): the page, the evening's data, and a WebSocket that
// hears of an evening stored after it connected.
#include <QtTest>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "display/Anzeige.h"
#include "tests/support/Abendspeichern.h"
#include "tests/support/LinuxProgramm.h"
#include "tests/support/TestDaten.h"

namespace {

const QDate kAbend(2024, 4, 3);

void speichern(Database& db, int nr, int ring) {
    abendSpeichern(db, kAbend, nr, ring, QDateTime(kAbend, QTime(19, 30)));
}

}  // namespace

class TestAnzeigeWine : public QObject {
    Q_OBJECT
  private slots:
    void linuxFragtWindows() {
        if (linuxprogramm::unixPfad(QDir::tempPath()).isEmpty()) {
            QSKIP("only under Wine, where Linux's python3 can be started");
        }
        TestDaten d;
        QVERIFY(d.ok());
        d.mitglied(1, "Paula Paulsen", 1);
        d.mitglied(3, QStringLiteral("Carla Clausen-Ösch"), 1);
        speichern(d.db(), 1, 9);
        Anzeige anzeige{{[] { return kAbend; }, [] { return 2024; }, [&d] { return d.db().zugang(); }}};
        Anzeigeeinstellung e;
        e.an = true;
        e.port = 0;
        e.adresse = Anzeigeeinstellung::kNurDieserPc;
        QCOMPARE(anzeige.anwenden(e), QString());
        QVERIFY(anzeige.port() != 0);

        const QString bereit = d.pfad("bereit"), halb = d.pfad("abruf.halb"),
                      ziel = d.pfad("abruf.json");
        QVERIFY(linuxprogramm::starten(
            {QStringLiteral("/usr/bin/python3"), QStringLiteral(ZK_ANZEIGE_ABRUF),
             // ASCII only: Wine hands arguments to Unix programs in the locale's encoding.
             QString::number(anzeige.port()), QStringLiteral("Carla Clausen"),
             linuxprogramm::unixPfad(bereit), linuxprogramm::unixPfad(halb)},
            halb, ziel));
        // Stored once the client's WebSocket has the evening as it was.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(bereit) || QFile::exists(ziel + ".fehler"), 30000);
        QVERIFY2(QFile::exists(bereit), "der Linux-Client bekommt keine erste Nachricht");
        speichern(d.db(), 3, 8);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ziel) || QFile::exists(ziel + ".fehler"), 30000);
        QString fehler;
        const QByteArray roh = linuxprogramm::warten(ziel, 0, &fehler);
        QVERIFY2(!roh.isNull(), qPrintable(fehler));
        const QJsonObject r = QJsonDocument::fromJson(roh).object();

        const QJsonObject seite = r["seite"].toObject();
        QCOMPARE(seite["status"].toInt(), 200);
        QVERIFY(seite["typ"].toString().startsWith("text/html"));
        QVERIFY(seite["text"].toString().contains("<title>Schießabend – Zielkunst</title>"));
        const QJsonObject abend =
            QJsonDocument::fromJson(r["abend"]["text"].toString().toUtf8()).object();
        QCOMPARE(abend["datum"].toString(), QString("03.04.2024"));
        QCOMPARE(abend["zeilen"].toArray().size(), 1);
        QCOMPARE(abend["zeilen"][0]["name"].toString(), QString("Paula Paulsen"));

        QVERIFY(r["handschlag"]["status"].toString().startsWith("HTTP/1.1 101"));
        QVERIFY(r["handschlag"]["annahme_stimmt"].toBool());
        const QJsonArray erste =
            QJsonDocument::fromJson(r["erste"].toString().toUtf8())["zeilen"].toArray();
        QCOMPARE(erste.size(), 1);
        const QJsonArray danach =
            QJsonDocument::fromJson(r["danach"].toString().toUtf8())["zeilen"].toArray();
        QCOMPARE(danach.size(), 2);
        QCOMPARE(danach[1]["name"].toString(), QStringLiteral("Carla Clausen-Ösch"));
        QVERIFY2(danach[1]["neu"].toBool(), qPrintable(r["danach"].toString()));
    }
};

QTEST_MAIN(TestAnzeigeWine)
#include "test_anzeige_wine.moc"
