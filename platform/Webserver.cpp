#include "platform/Webserver.h"

#include <QElapsedTimer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>
#include <QWebSocket>
#include <QtHttpServer/QAbstractHttpServer>

#include <algorithm>

namespace {

// A browser names the page that opens a WebSocket in Origin: only the display's own pages
// may, so that no other site a visitor has open can listen in. A client that is no browser
// sends none.
bool eigeneHerkunft(const QByteArray& origin, const QByteArray& host) {
    if (origin.isEmpty()) {
        return true;
    }
    const QUrl url(QString::fromLatin1(origin));
    if (!url.isValid() ||
        (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))) {
        return false;
    }
    const QString erwartet = QString::fromLatin1(host).trimmed().toLower();
    const QString name = url.host().toLower();
    const QString hier = (name.contains(u':') ? u'[' + name + u']' : name) +
                         (url.port() >= 0 ? QStringLiteral(":%1").arg(url.port()) : QString());
    return !erwartet.isEmpty() && hier == erwartet;
}

// "Connection: Upgrade" (a list of tokens) is what makes a request a protocol switch.
bool verbindungWirdGewechselt(const QByteArray& connection) {
    const QList<QByteArray> teile = connection.split(',');
    return std::any_of(teile.begin(), teile.end(), [](const QByteArray& t) {
        return t.trimmed().compare("upgrade", Qt::CaseInsensitive) == 0;
    });
}

QByteArray statusText(int status) {
    switch (status) {
        case 400:
            return "Ungültige Anfrage.\n";
        case 404:
            return "Nicht gefunden.\n";
        case 405:
            return "Nur GET und HEAD werden beantwortet.\n";
        default:
            return {};
    }
}

}  // namespace

// Takes the connections in, within the bounds.
class Webserver::Annahme : public QTcpServer {
  public:
    Annahme(const Grenzen& g, QObject* parent) : QTcpServer(parent), g_(g) {
        uhr_.start();
        auto* aufraeumen = new QTimer(this);
        connect(aufraeumen, &QTimer::timeout, this, &Annahme::aufraeumen);
        aufraeumen->start(std::max(100, std::min(g_.stummMs, 1000) / 2));
    }

    int offen() {
        wegraeumen();
        return static_cast<int>(offen_.size());
    }

    // A connection that sent a whole request: from now on it is timed as a used one.
    void anfrageGanz(const QTcpSocket* s) {
        for (Verbindung& v : offen_) {
            if (v.s == s) {
                v.ganz = true;
            }
        }
    }

    // A connection a page's WebSocket took over: it may stay as long as it lives.
    void alsLive(const QHostAddress& adresse, quint16 port) {
        for (Verbindung& v : offen_) {
            if (v.s && v.s->peerPort() == port && v.s->peerAddress() == adresse) {
                v.live = true;
            }
        }
    }

  protected:
    void incomingConnection(qintptr handle) override {
        wegraeumen();
        if (static_cast<int>(offen_.size()) >= g_.verbindungen) {
            // Room is made by the oldest connection that is no live page, the silent first.
            auto weg = std::find_if(offen_.begin(), offen_.end(),
                                    [](const Verbindung& v) { return !v.ganz && !v.live; });
            if (weg == offen_.end()) {
                weg = std::find_if(offen_.begin(), offen_.end(),
                                   [](const Verbindung& v) { return !v.live; });
            }
            if (weg == offen_.end()) {
                QTcpSocket abgewiesen;
                abgewiesen.setSocketDescriptor(handle);
                abgewiesen.abort();
                return;
            }
            weg->s->abort();
            wegraeumen();
        }
        auto* s = new QTcpSocket(this);
        if (!s->setSocketDescriptor(handle)) {
            delete s;
            return;
        }
        // Everything a connection sends is counted as it arrives, whether or not the request
        // parser takes it (a parser that gave up leaves it lying), and more than a page request
        // ever needs closes the connection there and then.
        // The buffer holds one byte more than allowed: a connection whose reader is gone (Qt
        // lets go of one whose request it cannot parse) fills it and is closed by the
        // clean-up, and what it sends on waits in the network, not in memory.
        s->setReadBufferSize(g_.bytesJeVerbindung + 1);
        offen_.push_back({s, uhr_.elapsed()});
        connect(s, &QTcpSocket::readyRead, this, [this, s] {
            for (Verbindung& v : offen_) {
                if (v.s != s) {
                    continue;
                }
                v.gelesen += std::max<qint64>(0, s->bytesAvailable() - v.liegt);
                v.liegt = s->bytesAvailable();
                if (v.gelesen > g_.bytesJeVerbindung) {
                    s->abort();
                    return;
                }
                // What the parser leaves unread is not counted twice.
                QMetaObject::invokeMethod(
                    this,
                    [this, p = QPointer<QTcpSocket>(s)] {
                        for (Verbindung& w : offen_) {
                            if (p && w.s == p) {
                                w.liegt = p->bytesAvailable();
                            }
                        }
                    },
                    Qt::QueuedConnection);
            }
        });
        addPendingConnection(s);
    }

  private:
    struct Verbindung {
        QPointer<QTcpSocket> s;
        qint64 seit = 0;  // ms on uhr_
        qint64 gelesen = 0;
        qint64 liegt = 0;   // received and not yet taken by the parser
        bool ganz = false;  // a whole request arrived
        bool live = false;
    };

    void wegraeumen() {
        offen_.erase(std::remove_if(offen_.begin(), offen_.end(),
                                    [](const Verbindung& v) {
                                        return !v.s ||
                                               v.s->state() == QAbstractSocket::UnconnectedState;
                                    }),
                     offen_.end());
    }

    void aufraeumen() {
        const qint64 jetzt = uhr_.elapsed();
        for (const Verbindung& v : offen_) {
            const qint64 alter = jetzt - v.seit;
            // Whoever has not sent a whole request in the short time (nothing, or a request
            // begun and left hanging) goes; a used connection after the long one.
            if (v.s && !v.live &&
                ((!v.ganz && alter > g_.stummMs) || alter > g_.ruheMs ||
                 v.gelesen + std::max<qint64>(0, v.s->bytesAvailable() - v.liegt) >
                     g_.bytesJeVerbindung)) {
                v.s->abort();
            }
            // A live page's WebSocket reads what it is sent; a full buffer means nobody does,
            // and a socket that reads no more would never notice its peer is gone.
            if (v.s && v.live && v.s->bytesAvailable() > g_.bytesJeVerbindung) {
                v.s->abort();
            }
        }
        wegraeumen();
    }

    Grenzen g_;
    QElapsedTimer uhr_;  // the age of a connection, whatever the wall clock does
    std::vector<Verbindung> offen_;
};

// The requests: only GET of a known path is answered.
class Webserver::Kern : public QAbstractHttpServer {
  public:
    explicit Kern(Webserver& w) : w_(w) {}

  protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override {
        w_.annahme_->anfrageGanz(socket);
        // A page's WebSocket: Qt hands the connection over when this writes nothing and says
        // it is taken; on any other path, or from another site's page, it is refused.
        if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) == 0) {
            if (!verbindungWirdGewechselt(request.value("connection"))) {
                // Qt takes over only a connection that asks to switch: any other such request
                // would be left unanswered while it keeps sending. Answered and closed.
                makeResponder(request, socket)
                    .write(statusText(400), {{"Content-Type", "text/plain; charset=utf-8"}},
                           QHttpServerResponder::StatusCode::BadRequest);
                socket->disconnectFromHost();
                return true;
            }
            return !w_.livePfad_.isEmpty() && request.url().path() == w_.livePfad_ &&
                   request.method() == QHttpServerRequest::Method::Get &&
                   !request.value("sec-websocket-key").isEmpty() &&
                   eigeneHerkunft(request.value("origin"), request.value("host"));
        }
        QHttpServerResponder antwort = makeResponder(request, socket);
        const bool kopf = request.method() == QHttpServerRequest::Method::Head;
        if (request.method() != QHttpServerRequest::Method::Get && !kopf) {
            antwort.write(statusText(405),
                          {{"Content-Type", "text/plain; charset=utf-8"}, {"Allow", "GET, HEAD"}},
                          QHttpServerResponder::StatusCode::MethodNotAllowed);
            return true;
        }
        const auto seite = w_.seiten_.find(request.url().path());
        if (seite == w_.seiten_.end()) {
            antwort.write(statusText(404), {{"Content-Type", "text/plain; charset=utf-8"}},
                          QHttpServerResponder::StatusCode::NotFound);
            return true;
        }
        const Antwort a = seite->second();
        const QHttpServerResponder::HeaderList kopfzeilen = {
            {"Content-Type", a.typ},
            {"Cache-Control", "no-store"},
            {"X-Content-Type-Options", "nosniff"},
            {"Content-Security-Policy",
             "default-src 'self'; connect-src 'self' ws: wss:; img-src 'self' data:"}};
        const auto status = static_cast<QHttpServerResponder::StatusCode>(a.status);
        if (kopf) {
            // HEAD: the same header, the length of what GET would send, and no body.
            antwort.writeStatusLine(status);
            antwort.writeHeaders(kopfzeilen);
            antwort.writeHeader("Content-Length", QByteArray::number(a.inhalt.size()));
            antwort.writeBody(QByteArray());
            return true;
        }
        antwort.write(a.inhalt, kopfzeilen, status);
        return true;
    }

    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override {
        w_.annahme_->anfrageGanz(socket);
        makeResponder(request, socket)
            .write(statusText(404), {{"Content-Type", "text/plain; charset=utf-8"}},
                   QHttpServerResponder::StatusCode::NotFound);
    }

  private:
    Webserver& w_;
};

Webserver::Webserver(QObject* parent) : Webserver(Grenzen{}, parent) {}

Webserver::Webserver(const Grenzen& grenzen, QObject* parent)
    : QObject(parent), kern_(std::make_unique<Kern>(*this)) {
    annahme_ = new Annahme(grenzen, kern_.get());
    connect(kern_.get(), &QAbstractHttpServer::newWebSocketConnection, this,
            &Webserver::liveAnnehmen);
    ping_ = new QTimer(this);
    connect(ping_, &QTimer::timeout, this, [this] {
        abgerisseneWeg();
        for (QWebSocket* s : live_) {
            s->ping();
        }
    });
    ping_->start(grenzen.pingMs);
    auto* abgerissen = new QTimer(this);
    connect(abgerissen, &QTimer::timeout, this, &Webserver::abgerisseneWeg);
    abgerissen->start(1000);
}

Webserver::~Webserver() {
    for (QWebSocket* s : live_) {
        s->disconnect(this);
        s->abort();
        delete s;
    }
}

void Webserver::seite(const QString& pfad, Seite s) {
    seiten_[pfad] = std::move(s);
}

void Webserver::setLive(const QString& pfad, std::function<QByteArray()> begruessung) {
    livePfad_ = pfad;
    begruessung_ = std::move(begruessung);
}

bool Webserver::starten(const QHostAddress& adresse, quint16 port, QString* fehler) {
    if (!annahme_->listen(adresse, port)) {
        *fehler = QStringLiteral("Port %1 auf %2 kann nicht geöffnet werden: %3")
                      .arg(port)
                      .arg(adresse == QHostAddress::Any ? QStringLiteral("allen Adressen")
                                                        : adresse.toString(),
                           annahme_->errorString());
        return false;
    }
    kern_->bind(annahme_);
    return true;
}

quint16 Webserver::port() const {
    return annahme_->serverPort();
}

void Webserver::liveAnnehmen() {
    while (kern_->hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> s = kern_->nextPendingWebSocketConnection();
        if (!s) {
            break;
        }
        if (livePfad_.isEmpty() || s->requestUrl().path() != livePfad_ || abgerissen(*s)) {
            s->close(QWebSocketProtocol::CloseCodePolicyViolated);
            s.release()->deleteLater();
            continue;
        }
        annahme_->alsLive(s->peerAddress(), s->peerPort());
        QWebSocket* w = s.release();
        w->setParent(this);
        // A page sends nothing but pongs; anything it sends is read and forgotten.
        w->setMaxAllowedIncomingFrameSize(1024);
        w->setMaxAllowedIncomingMessageSize(1024);
        connect(w, &QWebSocket::disconnected, this, [this, w] {
            live_.erase(std::remove(live_.begin(), live_.end(), w), live_.end());
            w->deleteLater();
        });
        live_.push_back(w);
        if (begruessung_) {
            w->sendTextMessage(QString::fromUtf8(begruessung_()));
        }
    }
}

// A page whose connection went before its WebSocket was handed over never hears of it:
// Qt's socket forgets its peer when it closes, and that is what is looked at.
bool Webserver::abgerissen(const QWebSocket& s) {
    return s.state() == QAbstractSocket::UnconnectedState || s.peerPort() == 0;
}

void Webserver::abgerisseneWeg() {
    for (auto it = live_.begin(); it != live_.end();) {
        if (abgerissen(**it)) {
            (*it)->disconnect(this);
            (*it)->deleteLater();
            it = live_.erase(it);
        } else {
            ++it;
        }
    }
}

void Webserver::senden(const QByteArray& nachricht) {
    abgerisseneWeg();
    const QString text = QString::fromUtf8(nachricht);
    for (QWebSocket* s : live_) {
        s->sendTextMessage(text);
    }
}

int Webserver::livePages() {
    abgerisseneWeg();
    return static_cast<int>(live_.size());
}

int Webserver::offeneVerbindungen() {
    return annahme_->offen();
}
