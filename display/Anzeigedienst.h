#pragma once

#include <QDate>
#include <QObject>

#include <memory>

#include "display/Anzeigedaten.h"
#include "display/Anzeigeeinstellung.h"
#include "platform/Database.h"

class QTimer;
class Webserver;

// The live display's work, on a thread of its own: the web server, a connection of its own
// to the club database, and a look every few tenths of a second whether the evening or the
// season changed (stored here or at another stand). Changes are pushed to every page.
class Anzeigedienst : public QObject {
    Q_OBJECT
  public:
    explicit Anzeigedienst(QObject* parent = nullptr);
    ~Anzeigedienst() override;

    // Opens the database and starts listening. False with the German reason.
    // `taktMs` 0 looks every kTaktMs.
    bool starten(const Anzeigeeinstellung& e, const Database::Zugang& zugang, QString* fehler,
                 int taktMs = 0);
    quint16 port() const;

    // The evening and season the main window shows.
    void setAbend(const QDate& datum, int saison);
    void setDatenbank(const Database::Zugang& zugang);
    // Looks at the database now (also every kTaktMs).
    void pruefen();

    static constexpr int kTaktMs = 300;

    // For tests and benchmarks.
    int livePages() const;
    Webserver& server() { return *server_; }

  private:
    // True when the evening shown changed.
    bool abendNeu();
    bool jahrNeu();

    Anzeigeeinstellung e_;
    Database db_;
    Database::Zugang zugang_;
    std::unique_ptr<Webserver> server_;
    QTimer* takt_ = nullptr;
    QDate datum_;
    int saison_ = 0;
    std::vector<anzeige::Zeile> abend_;
    int neuNr_ = 0;
    QByteArray abendJson_;
    QByteArray jahrJson_;
    qint64 datenstand_ = -1;  // SQLite's data_version, -1 when not known
    QString kennung_;         // which file the connection reads (a restore puts another there)
    int jahrTakte_ = 0;
    bool fehlerGemeldet_ = false;
};
