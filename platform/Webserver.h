#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>

class QWebSocket;
class QTimer;

// A small web server for pages of the program on the club's network: fixed paths, GET and
// HEAD only, and updates pushed to the pages over WebSocket (from the server's own pages
// only). What the network may send is bounded: a connection that has not sent a whole
// request is closed after a while, one that sends more than a page request ever needs is
// closed at once, and there is an upper bound on open connections.
class Webserver : public QObject {
    Q_OBJECT
  public:
    struct Antwort {
        int status = 200;
        QByteArray typ;  // Content-Type
        QByteArray inhalt;
    };
    using Seite = std::function<Antwort()>;

    struct Grenzen {
        int verbindungen = 256;  // open connections at most
        int stummMs = 10000;     // one without a whole request is closed after this
        int ruheMs = 60000;      // one that is no live page after this (browsers open anew)
        qint64 bytesJeVerbindung = 256 * 1024;  // more than this from one connection: closed
        int pingMs = 20000;  // live pages are pinged so their connection counts as used
    };

    explicit Webserver(QObject* parent = nullptr);
    explicit Webserver(const Grenzen& grenzen, QObject* parent = nullptr);
    ~Webserver() override;

    // A page under an exact path ("/", "/daten/abend"); nothing else is ever served.
    void seite(const QString& pfad, Seite s);
    // The path pages open their WebSocket on; `begruessung` is sent to each new one.
    void setLive(const QString& pfad, std::function<QByteArray()> begruessung);

    // Listens on the address and port (0: any free port). False with the German reason.
    bool starten(const QHostAddress& adresse, quint16 port, QString* fehler);
    quint16 port() const;

    // A text message to every live page.
    void senden(const QByteArray& nachricht);
    int livePages();
    int offeneVerbindungen();

  private:
    class Kern;
    class Annahme;
    void liveAnnehmen();
    static bool abgerissen(const QWebSocket& s);
    void abgerisseneWeg();

    std::unique_ptr<Kern> kern_;
    Annahme* annahme_ = nullptr;
    std::map<QString, Seite> seiten_;
    QString livePfad_;
    std::function<QByteArray()> begruessung_;
    std::vector<QWebSocket*> live_;
    QTimer* ping_ = nullptr;
};
