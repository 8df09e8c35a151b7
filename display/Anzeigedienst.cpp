#include "display/Anzeigedienst.h"

#include <QFile>
#include <QHostAddress>
#include <QTimer>

#include <map>

#include "platform/Dateien.h"
#include "platform/Webserver.h"

// The pages live in a static library: their resources are registered by hand.
static void seitenEinbinden() {
    Q_INIT_RESOURCE(anzeige);
}

namespace {

const QString kSpeicherzeit = QStringLiteral(
    "SELECT MitglNr FROM Speicherzeiten WHERE Datum = ? ORDER BY Zeit DESC, rowid DESC LIMIT 1");

QByteArray resource(const char* name) {
    QFile f(QStringLiteral(":/anzeige/") + QString::fromLatin1(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

Webserver::Seite fest(const char* name, const char* typ) {
    const QByteArray inhalt = resource(name);
    return [inhalt, typ] { return Webserver::Antwort{200, typ, inhalt}; };
}

}  // namespace

Anzeigedienst::Anzeigedienst(QObject* parent) : QObject(parent) {
    seitenEinbinden();
}

Anzeigedienst::~Anzeigedienst() = default;

bool Anzeigedienst::starten(const Anzeigeeinstellung& e, const Database::Zugang& zugang,
                            QString* fehler, int taktMs) {
    e_ = e;
    QHostAddress adresse(QHostAddress::Any);
    if (!e.adresse.isEmpty() && !adresse.setAddress(e.adresse)) {
        *fehler = QStringLiteral("„%1“ ist keine Netzwerkadresse dieses PCs.").arg(e.adresse);
        return false;
    }
    server_ = std::make_unique<Webserver>();
    server_->seite(QStringLiteral("/"), fest("index.html", "text/html; charset=utf-8"));
    server_->seite(QStringLiteral("/jahr"), fest("jahr.html", "text/html; charset=utf-8"));
    server_->seite(QStringLiteral("/anzeige.css"), fest("anzeige.css", "text/css; charset=utf-8"));
    server_->seite(QStringLiteral("/anzeige.js"),
                   fest("anzeige.js", "text/javascript; charset=utf-8"));
    server_->seite(QStringLiteral("/daten/abend"), [this] {
        return Webserver::Antwort{200, "application/json; charset=utf-8", abendJson_};
    });
    server_->seite(QStringLiteral("/daten/jahr"), [this] {
        return Webserver::Antwort{200, "application/json; charset=utf-8", jahrJson_};
    });
    server_->setLive(QStringLiteral("/live"), [this] { return abendJson_; });
    if (!server_->starten(adresse, e.port, fehler)) {
        server_.reset();
        return false;
    }
    setDatenbank(zugang);
    takt_ = new QTimer(this);
    connect(takt_, &QTimer::timeout, this, &Anzeigedienst::pruefen);
    takt_->start(taktMs > 0 ? taktMs : kTaktMs);
    return true;
}

quint16 Anzeigedienst::port() const {
    return server_ ? server_->port() : 0;
}

int Anzeigedienst::livePages() const {
    return server_ ? server_->livePages() : 0;
}

void Anzeigedienst::setDatenbank(const Database::Zugang& zugang) {
    zugang_ = zugang;
    kennung_ = Database::istServer(zugang.pfad) ? QString() : dateien::kennung(zugang.pfad);
    QString fehler;
    if (zugang.pfad.isEmpty() || !db_.open(zugang, &fehler)) {
        db_.close();
    }
    datenstand_ = -1;
    abend_.clear();
    neuNr_ = 0;
    abendJson_ = anzeige::abendJson(datum_, {}, e_.kurznamen, 0);
    jahrJson_ = anzeige::jahrJson(saison_, {}, e_.kurznamen);
    pruefen();
}

void Anzeigedienst::setAbend(const QDate& datum, int saison) {
    if (datum == datum_ && saison == saison_) {
        return;
    }
    datum_ = datum;
    saison_ = saison;
    abend_.clear();
    neuNr_ = 0;
    datenstand_ = -1;
    pruefen();
}

void Anzeigedienst::pruefen() {
    if (!server_) {
        return;
    }
    if (!db_.isOpen()) {
        QString fehler;
        if (zugang_.pfad.isEmpty() || !db_.open(zugang_, &fehler)) {
            return;
        }
        kennung_ = db_.aufServer() ? QString() : dateien::kennung(zugang_.pfad);
    }
    // A backup brought back is another file under the same name: the connection follows.
    if (!db_.aufServer()) {
        const QString jetzt = dateien::kennung(zugang_.pfad);
        if (!jetzt.isEmpty() && jetzt != kennung_) {
            setDatenbank(zugang_);
            return;
        }
    }
    try {
        // A file tells cheaply whether anybody wrote it since the last look.
        bool geaendert = true;
        if (!db_.aufServer()) {
            const qint64 stand =
                db_.run(QStringLiteral("PRAGMA data_version")).rows[0][0].toLongLong();
            geaendert = stand != datenstand_;
            datenstand_ = stand;
        }
        if (!geaendert) {
            return;
        }
        // The season on a server is read with every change of the evening and every few
        // seconds (a result of another day); on a file with every change. Everything is
        // read before anything is sent: a stand that stores right after its page changed
        // does not wait for this connection's reading.
        const bool abendAnders = abendNeu();
        bool jahrAnders = false;
        if (!db_.aufServer() || abendAnders || ++jahrTakte_ >= 10) {
            jahrTakte_ = 0;
            jahrAnders = jahrNeu();
        }
        if (abendAnders) {
            server_->senden(abendJson_);
        }
        if (jahrAnders) {
            server_->senden(jahrJson_);
        }
    } catch (const DatabaseError&) {
        // The display keeps what it showed; the next look tries again.
        datenstand_ = -1;
    }
}

bool Anzeigedienst::abendNeu() {
    std::vector<anzeige::Zeile> zeilen =
        datum_.isValid() ? anzeige::abendLesen(db_, datum_) : std::vector<anzeige::Zeile>{};
    const bool erstesMal = abend_.empty() && neuNr_ == 0;
    if (zeilen == abend_ && !abendJson_.isEmpty() && !erstesMal) {
        return false;
    }
    // The row that is new or changed since the last look is the one just stored.
    std::map<int, const anzeige::Zeile*> vorher;
    for (const anzeige::Zeile& z : abend_) {
        vorher[z.nr] = &z;
    }
    int neu = 0;
    for (const anzeige::Zeile& z : zeilen) {
        const auto it = vorher.find(z.nr);
        if (it == vorher.end() || !anzeige::ergebnisGleich(*it->second, z)) {
            neu = z.nr;
        }
    }
    if (erstesMal) {
        const SqlRows r = db_.run(kSpeicherzeit, {datum_.toString(Qt::ISODate)});
        neu = r.empty() ? 0 : r.rows[0][0].toInt();
    } else if (neu == 0) {
        neu = neuNr_;  // a row went: the highlight stays where it was
    }
    neuNr_ = neu;
    const bool anders = zeilen != abend_ || abendJson_.isEmpty();
    abend_ = std::move(zeilen);
    const QByteArray json = anzeige::abendJson(datum_, abend_, e_.kurznamen, neuNr_);
    if (json == abendJson_ && !anders) {
        return false;
    }
    abendJson_ = json;
    return true;
}

bool Anzeigedienst::jahrNeu() {
    const QByteArray json =
        anzeige::jahrJson(saison_, anzeige::jahrLesen(db_, saison_), e_.kurznamen);
    if (json == jahrJson_) {
        return false;
    }
    jahrJson_ = json;
    return true;
}
