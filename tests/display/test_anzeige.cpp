// The live display: its data, the web server's answers to good and bad requests, pushed
// updates, and a real browser that sees an evening stored here and at a second stand.
#include <QtTest>

#include <QJsonArray>
#include <QWebSocket>

#include "display/Anzeigedaten.h"
#include "display/Anzeigedienst.h"
#include "platform/Webserver.h"
#include "tests/display/Anzeigestand.h"

namespace {
void speichern(Database& db, int nr, int ring) {
    abendSpeichern(db, kAbend, nr, ring);
}

// A page's WebSocket on the live path: every message it gets lands in `nachrichten`.
bool live(QWebSocket& ws, quint16 port, QStringList& nachrichten) {
    QObject::connect(&ws, &QWebSocket::textMessageReceived,
                     [&nachrichten](const QString& t) { nachrichten << t; });
    ws.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/live").arg(port)));
    return QTest::qWaitFor([&] { return ws.state() == QAbstractSocket::ConnectedState; });
}

struct Stand : Anzeigestand {
    quint16 port = 0;
    explicit Stand(bool kurz = false, int taktMs = 0) : Anzeigestand(kurz, taktMs) {
        d.mitglied(1, "Paula Paulsen", 1);
        d.mitglied(2, "Bernd <b>Bauer</b>", 1);
        d.mitglied(3, "Carla Clausen", 1);
        port = anzeige.port();
    }
};
}  // namespace

class TestAnzeige : public QObject {
    Q_OBJECT
  private slots:
    // Ranks share equal values; names shortened on request; no member numbers leave.
    void datenUndKurznamen() {
        QCOMPARE(anzeige::kurzname("  Meier   Hans Peter "), QString("Meier P."));
        Stand s(true);
        speichern(s.d.db(), 1, 9);
        speichern(s.d.db(), 2, 10);
        speichern(s.d.db(), 3, 9);
        QJsonObject o;
        QTRY_COMPARE((o = koerperJson(get(s.port, "/daten/abend")))["zeilen"].toArray().size(), 3);
        QCOMPARE(o["datum"].toString(), QString("03.04.2024"));
        const QJsonArray z = o["zeilen"].toArray();
        QCOMPARE(z[0]["name"].toString(), QString("Bernd <."));  // shortened as it is typed
        QCOMPARE((QList<int>{z[0]["platz"].toInt(), z[1]["platz"].toInt(), z[2]["platz"].toInt()}),
                 (QList<int>{1, 2, 2}));
        QCOMPARE(z[0]["best10"].toInt(), 100);
        QCOMPARE(z[0]["teiler"].toDouble(), 30.5);
        QVERIFY(!QJsonDocument(o).toJson().contains("\"nr\""));
        const QJsonObject jahr = koerperJson(get(s.port, "/daten/jahr"));
        QCOMPARE(jahr["saison"].toInt(), 2024);
    }

    // Only GET of the known paths; everything else a plain error, and the program goes on.
    void schlechteAnfragen() {
        Stand s;
        QVERIFY(s.port != 0);
        QByteArray a = get(s.port, "/");
        QVERIFY2(a.startsWith("HTTP/1.1 200"), a.constData());
        QVERIFY(a.contains("text/html") && a.contains("anzeige.js"));
        QVERIFY(get(s.port, "/anzeige.js").contains("WebSocket"));
        for (const QByteArray& pfad :
             {QByteArray("/schuetze/1"), QByteArray("/../../etc/passwd"),
              QByteArray("/%2e%2e/%2e%2e/etc/passwd"), QByteArray("/index.html/.."),
              QByteArray("/anzeige.js/../../wettk.ini"), QByteArray("//etc/passwd")}) {
            a = get(s.port, pfad);
            QVERIFY2(a.startsWith("HTTP/1.1 404"), (pfad + ": " + a.left(40)).constData());
            QVERIFY(!a.contains("root:"));
        }
        for (const char* methode : {"POST", "PUT", "DELETE", "OPTIONS"}) {
            a = anfrage(s.port,
                        QByteArray(methode) +
                            " /daten/abend HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n");
            QVERIFY2(a.startsWith("HTTP/1.1 405"), (QByteArray(methode) + ": " + a).constData());
        }
        // Garbage, a header of a megabyte: closed or refused, never answered with a page.
        a = anfrage(s.port, "\x16\x03\x01 kein HTTP\r\n\r\n", 1500);
        QVERIFY(!a.contains("200 OK"));
        a = anfrage(
            s.port,
            "GET / HTTP/1.1\r\nHost: x\r\nX-Gross: " + QByteArray(1 << 20, 'a') + "\r\n\r\n", 3000);
        QVERIFY(!a.contains("200 OK"));
        // 500 connections opened and left silent: the page is still served at once.
        std::vector<std::unique_ptr<QTcpSocket>> stumm;
        for (int i = 0; i < 500; ++i) {
            stumm.push_back(std::make_unique<QTcpSocket>());
            stumm.back()->connectToHost(QHostAddress::LocalHost, s.port);
        }
        for (auto& t : stumm)
            t->waitForConnected(1000);
        QTest::qWait(200);
        QVERIFY(get(s.port, "/daten/abend").startsWith("HTTP/1.1 200"));
        QVERIFY(get(s.port, "/").startsWith("HTTP/1.1 200"));
    }

    // Switched off and on again in the settings, many times: each time the port is given
    // back, so the display starts again on the very same port.
    void ausUndWiederAn() {
        Stand s;
        const quint16 port = s.port;
        QVERIFY(port != 0);
        const Anzeigeeinstellung e = Anzeigestand::einstellung(false, port);
        for (int i = 0; i < 30; ++i) {
            Anzeigeeinstellung aus = e;
            aus.an = false;
            QCOMPARE(s.anzeige.anwenden(aus), QString());
            QVERIFY(get(port, "/").startsWith("keine Verbindung"));
            QCOMPARE(s.anzeige.anwenden(e), QString());
            QVERIFY(get(port, "/daten/abend").startsWith("HTTP/1.1 200"));
        }
    }

    // Silent connections are closed after the server's time; one over the bound makes room.
    void grenzenDesServers() {
        Webserver::Grenzen g;
        g.verbindungen = 5;
        g.stummMs = 300;
        Webserver w(g);
        w.seite("/", [] { return Webserver::Antwort{200, "text/plain", "ja"}; });
        QString fehler;
        QVERIFY(w.starten(QHostAddress::LocalHost, 0, &fehler));
        std::vector<std::unique_ptr<QTcpSocket>> stumm;
        for (int i = 0; i < 8; ++i) {
            stumm.push_back(std::make_unique<QTcpSocket>());
            stumm.back()->connectToHost(QHostAddress::LocalHost, w.port());
            QVERIFY(stumm.back()->waitForConnected(1000));
        }
        QTRY_VERIFY(w.offeneVerbindungen() <= 5);
        QTRY_COMPARE_WITH_TIMEOUT(w.offeneVerbindungen(), 0, 3000);
        QTRY_VERIFY(std::all_of(stumm.begin(), stumm.end(), [](const auto& t) {
            return t->state() == QAbstractSocket::UnconnectedState;
        }));
    }

    // A page's WebSocket gets every change within a second; a store here and one at a second
    // stand on the same file.
    void gesendetNachDemSpeichern() {
        Stand s;
        QWebSocket ws;
        QStringList nachrichten;
        QVERIFY(live(ws, s.port, nachrichten));
        QTRY_COMPARE(nachrichten.size(), 1);  // the evening as it is
        speichern(s.d.db(), 1, 9);
        QTRY_VERIFY_WITH_TIMEOUT(nachrichten.last().contains("Paula Paulsen"), 1000);
        Database zweiter;
        QString fehler;
        QVERIFY(zweiter.open(s.d.db().zugang(), &fehler, Database::Zugriff::LesenSchreiben));
        speichern(zweiter, 3, 8);
        QTRY_VERIFY_WITH_TIMEOUT(nachrichten.last().contains("Carla Clausen"), 1000);
        const QJsonArray z =
            QJsonDocument::fromJson(nachrichten.last().toUtf8())["zeilen"].toArray();
        QCOMPARE(z[1]["name"].toString(), QString("Carla Clausen"));
        QVERIFY(z[1]["neu"].toBool());  // the latest store is marked
        QVERIFY(!z[0]["neu"].toBool());
        // A deleted evening goes from the page too.
        s.d.db().run("DELETE FROM Ergebnis WHERE MitglNr = 1");
        QTRY_VERIFY_WITH_TIMEOUT(!nachrichten.last().contains("Paula"), 1000);
        // A WebSocket on another path is refused.
        QWebSocket falsch;
        falsch.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/anders").arg(s.port)));
        QTRY_COMPARE(falsch.state(), QAbstractSocket::UnconnectedState);
    }

    // A store the window reports reaches the pages at once, not at the service's next look
    // (here once an hour, so that only the report can bring it).
    void gespeichertOhneZuWarten() {
        Stand s(false, 3600 * 1000);
        QWebSocket ws;
        QStringList nachrichten;
        QVERIFY(live(ws, s.port, nachrichten));
        QTRY_COMPARE(nachrichten.size(), 1);
        speichern(s.d.db(), 1, 9);
        QTest::qWait(2 * Anzeigedienst::kTaktMs);
        QCOMPARE(nachrichten.size(), 1);  // nothing looked by itself
        s.anzeige.gespeichert();
        QTRY_VERIFY_WITH_TIMEOUT(nachrichten.last().contains("Paula Paulsen"), 2000);
        speichern(s.d.db(), 3, 8);
        s.anzeige.gespeichert();
        QTRY_VERIFY_WITH_TIMEOUT(nachrichten.last().contains("Carla Clausen"), 2000);
        // Told of a store while switched off: nothing happens.
        Anzeigeeinstellung aus;
        QCOMPARE(s.anzeige.anwenden(aus), QString());
        s.anzeige.gespeichert();
        QVERIFY(!s.anzeige.laeuft());
    }

    // A real browser: the page shows a new evening within 2 s, without reloading.
    void imBrowser() {
        if (Browser::fehlt())
            QSKIP("Chromium oder chromedriver fehlt");
        Stand s;
        Browser b(s.port, s.d.pfad("chromium"));
        QCOMPARE(b.antwort(), QByteArray("bereit"));
        speichern(s.d.db(), 1, 9);
        QByteArray a = b.antwort("warte Paula Paulsen");
        QVERIFY2(a.startsWith("ok "), a.constData());
        Database zweiter;
        QString fehler;
        QVERIFY(zweiter.open(s.d.db().zugang(), &fehler, Database::Zugriff::LesenSchreiben));
        speichern(zweiter, 2, 10);
        a = b.antwort("warte Bernd <b>Bauer</b>");  // shown as text, not as markup
        QVERIFY2(a.startsWith("ok "), a.constData());
        QCOMPARE(b.antwort("neu"), QByteArray("neu Bernd <b>Bauer</b>"));
        const QString bild = qEnvironmentVariable("ZK_ANZEIGE_BILD");
        if (!bild.isEmpty()) {
            speichern(s.d.db(), 3, 8);
            b.antwort("warte Carla Clausen");
            QCOMPARE(b.antwort("bild " + bild.toUtf8()), QByteArray("ok"));
        }
        QVERIFY(b.beenden());
    }
};

QTEST_MAIN(TestAnzeige)
#include "test_anzeige.moc"
