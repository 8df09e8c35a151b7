// The live display's web server fed what a network peer may send: request lines, headers,
// bodies, WebSocket upgrades and frames, over up to three connections at once, in pieces.
// The server has the display's paths and small limits, so that the limits are reached.
//
// Input: operations; the low two bits choose the connection, the next two what happens
// (send a piece, send a piece again and again, close), the high four bits and the next
// byte the length.
//
// Oracle: every answer is an HTTP status line of 101, 200, 404 or 405 (or the connection is
// closed); a 200 answer carries one of the pages and nothing else; a connection that sent
// more than the limit is closed; there are never more open connections than allowed, and a
// closed page is no longer counted as live.
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>
#include <QThread>

#include <array>
#include <memory>

#include "platform/Webserver.h"
#define ZK_FUZZ_EIGENER_START
#include "tests/fuzz/Fuzzhilfe.h"

namespace {

constexpr qint64 kBytesJeVerbindung = 8 * 1024;
constexpr int kVerbindungen = 2;

const QByteArray kSeite = "<!doctype html><title>Anzeige</title>";
const QByteArray kDaten = "{\"zeilen\":[]}";
const QByteArray kBegruessung = "{\"abend\":[]}";

Webserver& server() {
    static Webserver* w = [] {
        Webserver::Grenzen g;
        g.verbindungen = kVerbindungen;
        g.bytesJeVerbindung = kBytesJeVerbindung;
        auto* s = new Webserver(g);
        auto seite = [](const QByteArray& inhalt, const char* typ) {
            return [inhalt, typ] { return Webserver::Antwort{200, typ, inhalt}; };
        };
        for (const char* pfad : {"/", "/jahr", "/anzeige.css", "/anzeige.js"}) {
            s->seite(QString::fromLatin1(pfad), seite(kSeite, "text/html; charset=utf-8"));
        }
        for (const char* pfad : {"/daten/abend", "/daten/jahr"}) {
            s->seite(QString::fromLatin1(pfad), seite(kDaten, "application/json; charset=utf-8"));
        }
        s->setLive(QStringLiteral("/live"), [] { return kBegruessung; });
        QString fehler;
        if (!s->starten(QHostAddress::LocalHost, 0, &fehler)) {
            fuzz::verletzt("Server startet nicht", fehler);
        }
        return s;
    }();
    return *w;
}

struct Verbindung {
    std::unique_ptr<QTcpSocket> s;
    qint64 gesendet = 0;
    QByteArray empfangen;
    bool upgrade = false;  // answered with 101: what follows are WebSocket frames
};

// Lets the server and the peers work until nothing moves any more (or time is up).
void laufen(std::array<Verbindung, 3>& v, int hoechstensMs = 200) {
    QElapsedTimer uhr;
    uhr.start();
    int ruhig = 0;
    while (uhr.elapsed() < hoechstensMs && ruhig < 4) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        bool neu = false;
        for (Verbindung& c : v) {
            if (c.s && c.s->bytesAvailable() > 0) {
                c.empfangen += c.s->readAll();
                neu = true;
            }
        }
        ruhig = neu ? 0 : ruhig + 1;
        QThread::usleep(300);
    }
}

// Every answer on a connection that is no WebSocket yet.
void antwortenPruefen(Verbindung& c) {
    QByteArray& e = c.empfangen;
    while (!c.upgrade && !e.isEmpty()) {
        if (!(e.startsWith("HTTP/1.1 ") || e.startsWith("HTTP/1.0 ")) || e.size() < 12) {
            if (QByteArray("HTTP/1.1 ").startsWith(e.left(9)) ||
                QByteArray("HTTP/1.0 ").startsWith(e.left(9))) {
                return;  // the rest is still coming
            }
            fuzz::verletzt("keine HTTP-Antwort", QString::fromLatin1(e.left(60).toHex()));
        }
        const QByteArray status = e.mid(9, 3);
        if (status != "101" && status != "200" && status != "404" && status != "405" &&
            status != "400" && status != "413") {
            fuzz::verletzt("unerwarteter Status", QString::fromLatin1(status));
        }
        const qsizetype kopfEnde = e.indexOf("\r\n\r\n");
        if (kopfEnde < 0) {
            return;
        }
        if (status == "101") {
            c.upgrade = true;
            e.remove(0, kopfEnde + 4);
            return;
        }
        qsizetype laenge = 0;
        const QByteArray kopf = e.left(kopfEnde).toLower();
        const qsizetype cl = kopf.indexOf("content-length:");
        if (cl < 0) {
            e.clear();  // no length: the rest is this answer's
            return;
        }
        laenge = kopf.mid(cl + 15, kopf.indexOf("\r\n", cl) - cl - 15).trimmed().toLongLong();
        if (e.size() < kopfEnde + 4 + laenge) {
            return;
        }
        const QByteArray inhalt = e.mid(kopfEnde + 4, laenge);
        if (status == "200" && inhalt != kSeite && inhalt != kDaten) {
            fuzz::verletzt("200 mit fremdem Inhalt", QString::fromUtf8(inhalt.left(80)));
        }
        e.remove(0, kopfEnde + 4 + laenge);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::anwendung();
    server();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* daten, std::size_t groesse) {
    Webserver& w = server();
    fuzz::Bytes in(daten, groesse);
    std::array<Verbindung, 3> v;
    auto oeffnen = [&](Verbindung& c) {
        c = Verbindung{};
        c.s = std::make_unique<QTcpSocket>();
        c.s->connectToHost(QHostAddress::LocalHost, w.port());
        if (!c.s->waitForConnected(2000)) {
            fuzz::verletzt("keine Verbindung zum Server");
        }
    };
    int schritte = 0;
    while (!in.leer() && ++schritte <= 12) {
        const std::uint8_t op = in.byte();
        Verbindung& c = v[static_cast<std::size_t>(op & 3) % 3];
        const std::size_t laenge = (static_cast<std::size_t>(op >> 4) << 8 | in.byte()) + 1;
        switch ((op >> 2) & 3) {
            case 0:
            case 1: {
                if (!c.s) {
                    oeffnen(c);
                }
                const QByteArray b = in.stueck(laenge);
                c.s->write(b);
                c.gesendet += b.size();
                break;
            }
            case 2: {
                // The same piece again and again: past the limit of one connection.
                if (!c.s) {
                    oeffnen(c);
                }
                QByteArray b = in.stueck(laenge % 64 + 1);
                if (b.isEmpty()) {
                    b = "x";
                }
                const QByteArray flut =
                    b.repeated(static_cast<qsizetype>(kBytesJeVerbindung * 2 / b.size() + 1));
                c.s->write(flut);
                c.gesendet += flut.size();
                break;
            }
            case 3:
                if (c.s) {
                    c.s->abort();
                    c.s.reset();
                }
                break;
        }
        laufen(v);
        for (Verbindung& x : v) {
            if (x.s) {
                antwortenPruefen(x);
            }
        }
        if (w.offeneVerbindungen() > kVerbindungen) {
            fuzz::verletzt("mehr offene Verbindungen als erlaubt",
                           QString::number(w.offeneVerbindungen()));
        }
        for (Verbindung& x : v) {
            if (x.s && x.gesendet > 2 * kBytesJeVerbindung) {
                // Well past the limit: the server closes it at once, or at its next clean-up
                // tick where its request parser let go of the connection.
                QElapsedTimer uhr;
                uhr.start();
                while (x.s->state() == QAbstractSocket::ConnectedState && uhr.elapsed() < 1500) {
                    laufen(v, 50);
                    QThread::usleep(1000);
                }
                if (x.s->state() == QAbstractSocket::ConnectedState) {
                    fuzz::verletzt("Verbindung über der Grenze bleibt offen",
                                   QString::number(x.gesendet) + QStringLiteral(" gesendet, ") +
                                       QString::number(w.offeneVerbindungen()) +
                                       QStringLiteral(" offen, Antwort: ") +
                                       QString::fromLatin1(x.empfangen.left(200).toHex(' ')));
                }
            }
        }
    }
    for (Verbindung& x : v) {
        if (x.s) {
            x.s->abort();
            x.s.reset();
        }
    }
    QElapsedTimer uhr;
    uhr.start();
    while ((w.livePages() > 0 || w.offeneVerbindungen() > 0) && uhr.elapsed() < 2000) {
        QCoreApplication::processEvents();
        QThread::usleep(500);
    }
    if (w.livePages() > 0) {
        fuzz::verletzt("geschlossene Seite zählt noch als live",
                       QString::number(w.livePages()) + QStringLiteral(" live, ") +
                           QString::number(w.offeneVerbindungen()) + QStringLiteral(" offen"));
    }
    return 0;
}
