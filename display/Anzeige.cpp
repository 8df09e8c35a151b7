#include "display/Anzeige.h"

#include <QNetworkInterface>

#include "display/Anzeigedienst.h"

Anzeige::Anzeige(Quellen quellen, QObject* parent) : QObject(parent), quellen_(std::move(quellen)) {
    // The main window is looked at once a second: a date typed or a database opened reaches
    // the display without the window knowing of it.
    connect(&folgen_, &QTimer::timeout, this, &Anzeige::folgen);
    folgen_.setInterval(1000);
}

Anzeige::~Anzeige() {
    anhalten();
}

QString Anzeige::anwenden(const Anzeigeeinstellung& e) {
    if (e == e_ && (dienst_ != nullptr) == e.an) {
        return {};
    }
    anhalten();
    e_ = e;
    if (!e.an) {
        return {};
    }
    thread_.setObjectName(QStringLiteral("Anzeige"));
    thread_.start();
    dienst_ = new Anzeigedienst;
    dienst_->moveToThread(&thread_);
    datum_ = quellen_.datum ? quellen_.datum() : QDate();
    saison_ = quellen_.saison ? quellen_.saison() : 0;
    const Database::Zugang zugang = quellen_.zugang ? quellen_.zugang() : Database::Zugang{};
    pfad_ = zugang.pfad;
    bool ok = false;
    QString fehler;
    quint16 port = 0;
    Anzeigedienst* d = dienst_;
    QMetaObject::invokeMethod(
        d,
        [&] {
            d->setAbend(datum_, saison_);
            ok = d->starten(e, zugang, &fehler, taktMs_);
            port = d->port();
        },
        Qt::BlockingQueuedConnection);
    if (!ok) {
        anhalten();
        e_.an = false;
        return QStringLiteral("Die Anzeige im Vereinsnetz konnte nicht starten. ") + fehler;
    }
    port_ = port;
    folgen_.start();
    return {};
}

void Anzeige::anhalten() {
    folgen_.stop();
    if (dienst_) {
        // The service ends on its own thread, where its connection and sockets live. Its
        // deletion is posted straight to that thread: a thread that ends still carries out
        // the deletions posted to it, but not the calls queued for it.
        dienst_->deleteLater();
        dienst_ = nullptr;
    }
    if (thread_.isRunning()) {
        thread_.quit();
        thread_.wait();
    }
    port_ = 0;
}

void Anzeige::folgen() {
    if (!dienst_) {
        return;
    }
    const QDate datum = quellen_.datum ? quellen_.datum() : QDate();
    const int saison = quellen_.saison ? quellen_.saison() : 0;
    if (datum != datum_ || saison != saison_) {
        datum_ = datum;
        saison_ = saison;
        Anzeigedienst* d = dienst_;
        QMetaObject::invokeMethod(d, [d, datum, saison] { d->setAbend(datum, saison); });
    }
    const Database::Zugang zugang = quellen_.zugang ? quellen_.zugang() : Database::Zugang{};
    if (zugang.pfad != pfad_) {
        pfad_ = zugang.pfad;
        Anzeigedienst* d = dienst_;
        QMetaObject::invokeMethod(d, [d, zugang] { d->setDatenbank(zugang); });
    }
}

void Anzeige::gespeichert() {
    if (!dienst_) {
        return;
    }
    folgen();  // the stored evening may be one of a date just typed
    Anzeigedienst* d = dienst_;
    QMetaObject::invokeMethod(d, [d] { d->pruefen(); });
}

QStringList Anzeige::adressen() const {
    if (!dienst_) {
        return {};
    }
    QStringList a;
    auto url = [this](const QString& host) {
        return QStringLiteral("http://%1:%2/").arg(host).arg(port_);
    };
    if (!e_.adresse.isEmpty()) {
        return {url(e_.adresse)};
    }
    for (const QHostAddress& h : QNetworkInterface::allAddresses()) {
        if (h.protocol() == QAbstractSocket::IPv4Protocol && !h.isLoopback()) {
            a << url(h.toString());
        }
    }
    a << url(QStringLiteral("127.0.0.1"));
    return a;
}
