// The live display's server as a hostile or careless network sees it, over raw sockets:
// requests begun and left hanging, too much input, HEAD, WebSockets from another site;
// and what the page shows: short names, the highlight, long names on a TV.
#include <QtTest>

#include <QJsonArray>

#include "display/Anzeigedaten.h"
#include "display/Anzeigedienst.h"
#include "platform/Webserver.h"
#include "tests/display/Anzeigestand.h"

namespace {

// A connected raw socket.
std::unique_ptr<QTcpSocket> roh(quint16 port) {
    auto s = std::make_unique<QTcpSocket>();
    s->connectToHost(QHostAddress::LocalHost, port);
    if (!s->waitForConnected(2000))
        return nullptr;
    return s;
}

// Waits until the server closes the socket; the milliseconds it took, -1 if it stayed open.
// The event loop runs meanwhile: the server may live on this thread.
qint64 geschlossenNach(QTcpSocket& s, int hoechstens) {
    QElapsedTimer uhr;
    uhr.start();
    while (uhr.elapsed() < hoechstens) {
        if (s.state() == QAbstractSocket::UnconnectedState)
            return uhr.elapsed();
        QTest::qWait(10);
        s.readAll();
    }
    return -1;
}

// Everything the server sends within `ms`.
QByteArray lesen(QTcpSocket& s, int ms) {
    QByteArray a;
    QElapsedTimer uhr;
    uhr.start();
    while (uhr.elapsed() < ms && s.state() == QAbstractSocket::ConnectedState) {
        QTest::qWait(10);
        a += s.readAll();
    }
    return a + s.readAll();
}

// A silent connection closed after `stummMs`, a whole request's kept for a minute.
Webserver::Grenzen grenzen(int stummMs, qint64 bytesJeVerbindung = 256 * 1024) {
    Webserver::Grenzen g;
    g.stummMs = stummMs;
    g.ruheMs = 60000;
    g.bytesJeVerbindung = bytesJeVerbindung;
    return g;
}

struct Server {
    Webserver w;
    explicit Server(const Webserver::Grenzen& g = {}) : w(g) {
        w.seite("/", [] { return Webserver::Antwort{200, "text/plain", "Hallo Stand"}; });
        w.setLive("/live", [] { return QByteArray("{}"); });
        QString fehler;
        if (!w.starten(QHostAddress::LocalHost, 0, &fehler))
            qWarning("%s", qPrintable(fehler));
    }
};

QByteArray handshake(quint16 port, const QByteArray& origin) {
    QByteArray h = "GET /live HTTP/1.1\r\nHost: 127.0.0.1:" + QByteArray::number(port) +
                   "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                   "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n";
    if (!origin.isNull())
        h += "Origin: " + origin + "\r\n";
    return h + "\r\n";
}

}  // namespace

class TestAnzeigegrenzen : public QObject {
    Q_OBJECT
  private slots:
    // A request begun and left hanging is closed like a silent one; a whole request keeps
    // its connection for the long time.
    void halbeAnfrageNachKurzerZeit() {
        Server s(grenzen(400));
        auto stumm = roh(s.w.port());
        auto einByte = roh(s.w.port());
        auto halb = roh(s.w.port());
        auto ganz = roh(s.w.port());
        QVERIFY(stumm && einByte && halb && ganz);
        einByte->write("G");
        halb->write("GET / HTTP/1.1\r\nHost: x\r\n");  // the blank line never comes
        ganz->write("GET / HTTP/1.1\r\nHost: x\r\n\r\n");
        QVERIFY(lesen(*ganz, 300).startsWith("HTTP/1.1 200"));
        for (QTcpSocket* t : {stumm.get(), einByte.get(), halb.get()}) {
            const qint64 ms = geschlossenNach(*t, 3000);
            QVERIFY2(ms >= 0, "a connection without a whole request stayed open");
        }
        QTest::qWait(600);
        QCOMPARE(ganz->state(), QAbstractSocket::ConnectedState);  // kept alive
        ganz->write("GET / HTTP/1.1\r\nHost: x\r\n\r\n");
        QVERIFY(lesen(*ganz, 300).contains("Hallo Stand"));
    }

    // More than the bound: closed at once, before a page is served from it.
    void zuVielEingabeSofortGeschlossen() {
        Server s(grenzen(60000, 256 * 1024));
        auto t = roh(s.w.port());
        QVERIFY(t);
        QByteArray viel = "GET / HTTP/1.1\r\nHost: x\r\nX-Viel: " + QByteArray(300 * 1024, 'a');
        t->write(viel);
        const qint64 ms = geschlossenNach(*t, 2000);
        QVERIFY2(ms >= 0 && ms < 1500, qPrintable(QString("nach %1 ms").arg(ms)));
        QCOMPARE(s.w.offeneVerbindungen(), 0);
        // The next visitor is served as usual.
        auto u = roh(s.w.port());
        QVERIFY(u);
        u->write("GET / HTTP/1.1\r\nHost: x\r\n\r\n");
        QVERIFY(lesen(*u, 500).contains("Hallo Stand"));
    }

    // A WebSocket request whose Connection header asks for no switch: Qt does not take it
    // over, so it is answered and closed here, never left hanging for the long time.
    void halbesUpgradeGeschlossen() {
        Server s(grenzen(60000));
        auto t = roh(s.w.port());
        QVERIFY(t);
        t->write("GET /live HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\n"
                 "Connection: Up\xff\xff\r\n"
                 "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n");
        QVERIFY(lesen(*t, 3000).startsWith("HTTP/1.1 400"));
        QCOMPARE(t->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(s.w.livePages(), 0);
        QTRY_COMPARE(s.w.offeneVerbindungen(), 0);
    }

    // A page that asks for the WebSocket and is gone before the answer (a reload, a TV
    // switched off) is never counted as a live page.
    void abgebrochenesUpgradeNichtLive() {
        Server s;
        for (int i = 0; i < 30; ++i) {
            auto t = roh(s.w.port());
            QVERIFY(t);
            t->write(handshake(s.w.port(), {}));
            t->waitForBytesWritten(100);
            if (i % 2 == 0)
                QTest::qWait(i % 5);  // now and then while the server answers
            t->abort();
        }
        QTRY_COMPARE_WITH_TIMEOUT(s.w.livePages(), 0, 2000);
        QTRY_COMPARE(s.w.offeneVerbindungen(), 0);
    }

    // HEAD answers with GET's header and length, and no body.
    void headBeantwortet() {
        Server s;
        auto t = roh(s.w.port());
        QVERIFY(t);
        t->write("HEAD / HTTP/1.1\r\nHost: x\r\n\r\n");
        const QByteArray a = lesen(*t, 500);
        QVERIFY2(a.startsWith("HTTP/1.1 200"), a.constData());
        QVERIFY(a.toLower().contains("content-length: 11\r\n"));
        QVERIFY(a.endsWith("\r\n\r\n"));  // the header only
        QVERIFY(!a.contains("Hallo"));
        t->write("HEAD /gibtsnicht HTTP/1.1\r\nHost: x\r\n\r\n");
        QVERIFY(lesen(*t, 500).startsWith("HTTP/1.1 404"));
        t->write("OPTIONS / HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\n\r\n");
        const QByteArray o = lesen(*t, 500);
        QVERIFY2(o.startsWith("HTTP/1.1 405") && o.contains("Allow: GET, HEAD"), o.constData());
    }

    // Only the display's own pages open the WebSocket; another site's page is refused.
    void webSocketNurVonDerEigenenSeite() {
        Server s;
        const QByteArray port = QByteArray::number(s.w.port());
        struct Fall {
            QByteArray origin;
            bool angenommen;
        };
        std::vector<std::unique_ptr<QTcpSocket>> offen;
        for (const Fall& fall :
             {Fall{"http://127.0.0.1:" + port, true}, Fall{"HTTP://127.0.0.1:" + port, true},
              Fall{QByteArray(), true},  // no browser
              Fall{"http://boese.example", false},
              Fall{"http://127.0.0.1:" + port + ".boese.example", false},
              Fall{"http://127.0.0.1:1", false}, Fall{"null", false}, Fall{"file://", false}}) {
            auto t = roh(s.w.port());
            QVERIFY(t);
            t->write(handshake(s.w.port(), fall.origin));
            const QByteArray a = lesen(*t, 400);
            QVERIFY2(a.startsWith("HTTP/1.1 101") == fall.angenommen,
                     (fall.origin + ": " + a.left(40)).constData());
            offen.push_back(std::move(t));
        }
        QTRY_COMPARE(s.w.livePages(), 3);  // the three accepted ones are live pages
    }

    void kurznamen() {
        QCOMPARE(anzeige::kurzname("Paulsen, Paula"), QString("Paula P."));
        QCOMPARE(anzeige::kurzname("Müller-Lüdenscheidt, Jürgen"), QString("Jürgen M."));
        QCOMPARE(anzeige::kurzname(" Hahn ,  Karl  Heinz "), QString("Karl H."));
        QCOMPARE(anzeige::kurzname("Karl Heinz Müller"), QString("Karl M."));
        QCOMPARE(anzeige::kurzname("Paula Paulsen"), QString("Paula P."));
        QCOMPARE(anzeige::kurzname("Ötzi"), QString("Ötzi"));
        QCOMPARE(anzeige::kurzname("Ötzi,"), QString("Ötzi"));
        QCOMPARE(anzeige::kurzname(", Eva"), QString("Eva"));
        QCOMPARE(anzeige::kurzname("   "), QString());
    }

    // A renamed member is no new result: the highlight stays on the one stored last.
    void hervorhebungNurFuerGespeichertes() {
        Anzeigestand s(true);
        s.d.mitglied(1, "Paulsen, Paula", 1);
        s.d.mitglied(2, "Bauer, Bernd", 1);
        auto abend = [&] { return koerperJson(get(s.port(), "/daten/abend"))["zeilen"].toArray(); };
        auto neu = [&] {
            QStringList n;
            for (const QJsonValue z : abend())
                if (z["neu"].toBool())
                    n << z["name"].toString();
            return n.join(',');
        };
        s.speichern(1, 9);
        QTRY_COMPARE(neu(), QString("Paula P."));
        s.speichern(2, 8);
        QTRY_COMPARE(neu(), QString("Bernd B."));
        s.d.db().run("UPDATE Mitglieder SET Name = 'Paulsen-Meier, Paula' WHERE Nr = 1");
        QTRY_COMPARE(abend().size(), 2);
        QTest::qWait(3 * Anzeigedienst::kTaktMs);
        QCOMPARE(neu(), QString("Bernd B."));
        s.speichern(1, 10);
        QTRY_COMPARE(neu(), QString("Paula P."));
    }

    // On a 1920 pixel screen a very long name ends in "…" and every number stays visible.
    void langerNameImBrowser() {
        if (Browser::fehlt())
            QSKIP("Chromium oder chromedriver fehlt");
        Anzeigestand s;
        const QString lang = "Freifrau " + QString(12, u'X').replace("X", "von Lang ") + "Name";
        s.d.mitglied(1, lang, 1);
        s.d.mitglied(2, "Kurz, Kai", 1);
        s.speichern(1, 9);
        s.speichern(2, 8);
        Browser b(s.port(), s.d.pfad("chromium"));
        QCOMPARE(b.antwort(), QByteArray("bereit"));
        QVERIFY(b.antwort("warte " + lang.toUtf8()).startsWith("ok "));
        // the page's width, the widest row's right edge, whether the name is cut
        const QByteArray a = b.antwort("breite");
        const QList<QByteArray> w = a.split(' ');
        QVERIFY2(w.size() == 4 && w[0] == "breite", a.constData());
        QVERIFY2(w[1].toInt() <= 1920, a.constData());
        QVERIFY2(w[2].toInt() <= 1920, a.constData());
        QCOMPARE(w[3], QByteArray("gekuerzt"));
        const QString bild = qEnvironmentVariable("ZK_ANZEIGE_LANG_BILD");
        if (!bild.isEmpty())
            QCOMPARE(b.antwort("bild " + bild.toUtf8()), QByteArray("ok"));
        QVERIFY(b.beenden());
    }
};

QTEST_MAIN(TestAnzeigegrenzen)
#include "test_anzeigegrenzen.moc"
